// Draws the paths of a few shots onto a picture of the sheet, as SVG on
// the standard output: two draws (one with each curl), a guard, a takeout
// whose shooter rolls out and a double takeout. Every shot is played with
// noise 0 through the path frames of Simulation.
//
//   korvane-paths > korvane/paths.svg
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "korvane/korvane.h"
#include "korvane/sheet.h"
#include "korvane/tools/fixed_shots.h"

namespace {

using namespace korvane;

constexpr double kScale = 40.0;        // px per m
constexpr double kTopY = 13.0;         // m: the panels show the house end, hog line and beyond
constexpr double kBottomY = 2.0;       // m
constexpr double kPanelGap = 20.0;     // px
constexpr double kTitleHeight = 30.0;  // px
constexpr int kFrameCapacity = 1024;
const char* const kColour[2] = {"#c62828", "#f9a825"};  // even stones, odd stones

struct Shot {
  const char* title;
  int shotIndex;
  int stoneCount;
  float stones[4][2];
  ShotPos target;
  float power;  // < 0: a draw
};

double Px(double x, int panel) { return panel * (sheet::kWidth * kScale + kPanelGap) + x * kScale; }
double Py(double y) { return kTitleHeight + (kTopY - y) * kScale; }

void DrawSheet(int panel, const char* title) {
  const double left = Px(0, panel), width = sheet::kWidth * kScale;
  std::printf("<rect x='%.1f' y='%.1f' width='%.1f' height='%.1f' fill='#eef6fb' stroke='#789'/>\n",
              left, Py(kTopY), width, (kTopY - kBottomY) * kScale);
  const double rings[4][2] = {{sheet::kHouseRadius, 0},
                              {sheet::kEightFootRadius, 1},
                              {sheet::kFourFootRadius, 2},
                              {sheet::kButtonRadius, 3}};
  const char* fills[4] = {"#90caf9", "#ffffff", "#ef9a9a", "#ffffff"};
  for (const auto& r : rings) {
    std::printf("<circle cx='%.1f' cy='%.1f' r='%.1f' fill='%s'/>\n", Px(sheet::kCentreX, panel),
                Py(sheet::kTeeY), r[0] * kScale, fills[static_cast<int>(r[1])]);
  }
  const double lines[3] = {sheet::kTeeY, sheet::kBackLineY, sheet::kFarHogY};
  for (double y : lines) {
    std::printf("<line x1='%.1f' y1='%.1f' x2='%.1f' y2='%.1f' stroke='#456' stroke-width='%s'/>\n",
                left, Py(y), left + width, Py(y), y == sheet::kFarHogY ? "3" : "1");
  }
  std::printf("<line x1='%.1f' y1='%.1f' x2='%.1f' y2='%.1f' stroke='#456'/>\n",
              Px(sheet::kCentreX, panel), Py(kTopY), Px(sheet::kCentreX, panel), Py(kBottomY));
  std::printf("<text x='%.1f' y='20' font-family='sans-serif' font-size='14'>%s</text>\n", left,
              title);
}

bool Visible(float x, float y) { return !(x == 0 && y == 0) && y <= kTopY + 1.0f; }

// The path of every stone through the frames, clipped to the panel.
void DrawPaths(int panel, const std::vector<PathFrame>& frames, int count) {
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    std::string points;
    char point[32];
    for (int k = 0; k < count; ++k) {
      const float x = frames[k].stones[i][0], y = frames[k].stones[i][1];
      if (Visible(x, y) && y <= kTopY && y >= kBottomY - 0.3f) {
        std::snprintf(point, sizeof point, "%.1f,%.1f ", Px(x, panel), Py(y));
        points += point;
      }
    }
    if (points.empty()) continue;
    std::printf("<polyline fill='none' stroke='%s' stroke-width='2' points='%s'/>\n",
                kColour[i & 1], points.c_str());
  }
}

void DrawStones(int panel, const PathFrame& frame, int thrown, const char* style) {
  for (int i = 0; i < thrown; ++i) {
    const float x = frame.stones[i][0], y = frame.stones[i][1];
    if (!Visible(x, y) || y > kTopY) continue;
    std::printf("<circle cx='%.1f' cy='%.1f' r='%.1f' fill='%s' stroke='#333' %s/>\n", Px(x, panel),
                Py(y), sheet::kStoneRadius * kScale, kColour[i & 1], style);
  }
}

void PlayAndDraw(int panel, const Shot& shot) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.shotIndex = shot.shotIndex;
  for (int i = 0; i < shot.stoneCount; ++i) {
    s.stones[i][0] = shot.stones[i][0];
    s.stones[i][1] = shot.stones[i][1];
  }
  ShotVec v;
  if (shot.power < 0) {
    CreateShot(shot.target, &v);
  } else {
    CreateHitShot(shot.target, shot.power, &v);
  }
  std::vector<PathFrame> frames(kFrameCapacity);
  Simulation(&s, v, 0.0f, frames.data(), kFrameCapacity);
  int count = 1;
  while (count < kFrameCapacity && frames[count].time >= 0) ++count;
  DrawStones(panel, frames[0], shot.shotIndex, "opacity='0.35'");
  DrawPaths(panel, frames, count);
  DrawStones(panel, frames[count - 1], shot.shotIndex + 1, "");
  std::fprintf(stderr, "%s: vector (%.4f, %.4f) curl %d, %d frames, %.1f s\n", shot.title, v.vx,
               v.vy, v.curl, count, frames[count - 1].time);
  for (int i = 0; i <= shot.shotIndex; ++i) {
    std::fprintf(stderr, "  stone %d rests at (%.3f, %.3f)\n", i, s.stones[i][0], s.stones[i][1]);
  }
}

}  // namespace

int main() {
  const Shot shots[] = {
      {"Draw, curl 0", 0, 0, {}, Target(float(sheet::kTeeX), float(sheet::kTeeY), 0), -1},
      {"Draw, curl 1", 1, 0, {}, Target(float(sheet::kTeeX), float(sheet::kTeeY), 1), -1},
      {"Guard", 1, 1, {{2.3f, 4.6f}}, Target(2.3f, 8.2f, 0), -1},
      {"Takeout, shooter rolls out", 1, 1, {{2.5f, 4.6f}}, Target(2.62f, 4.6f, 1), 16.0f},
      {"Double takeout", 3, 3, {{1.9f, 5.4f}, {}, {2.85f, 5.0f}}, Target(2.08f, 5.4f, 0), 16.0f},
  };
  const int panels = static_cast<int>(sizeof shots / sizeof shots[0]);
  const double width = panels * (sheet::kWidth * kScale + kPanelGap);
  const double height = kTitleHeight + (kTopY - kBottomY) * kScale + 10;
  std::printf("<svg xmlns='http://www.w3.org/2000/svg' width='%.0f' height='%.0f'>\n", width,
              height);
  std::printf("<rect width='100%%' height='100%%' fill='white'/>\n");
  for (int p = 0; p < panels; ++p) {
    DrawSheet(p, shots[p].title);
    PlayAndDraw(p, shots[p]);
  }
  std::printf("</svg>\n");
  return 0;
}
