#include "match/svg.h"

#include <cmath>
#include <cstdio>

#include "match/line_score.h"

namespace {

// The house and the lines of the sheet, m.
constexpr double kTeeX = 2.375;
constexpr double kTeeY = 4.88;
constexpr double kTwelveFoot = 1.83;
constexpr double kEightFoot = 1.22;
constexpr double kFourFoot = 0.61;
constexpr double kButton = 0.15;
constexpr double kBackLineY = 3.05;
constexpr double kHogLineY = 11.28;
constexpr double kStoneRadius = 0.145;
constexpr double kLineWidth = 0.02;
constexpr double kCaptionSize = 0.17;  // m of text height
// A stone that moved less than this during the shot gets no path, m.
constexpr float kMovedAtLeast = 0.001f;

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

bool InPlay(float x, float y) {
  return std::isfinite(x) && std::isfinite(y) && !(x == 0.0f && y == 0.0f);
}

const char* ColourOf(const EndRecord& end, int stone) {
  return SeatOfStone(end.firstThrower, stone) == kSeatA ? kColourA : kColourB;
}

std::string Circle(double x, double y, double r, const char* fill, const std::string& extra) {
  return "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"" + Num(r) + "\" fill=\"" + fill +
         "\"" + extra + "/>\n";
}

std::string Line(double x1, double y1, double x2, double y2, double width) {
  return "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" +
         Num(y2) + "\" stroke=\"#334\" stroke-width=\"" + Num(width) + "\"/>\n";
}

std::string Sheet() {
  std::string out = "<rect x=\"0\" y=\"" + Num(kSvgTopY) + "\" width=\"" + Num(kSheetWidth) +
                    "\" height=\"" + Num(kSvgBottomY - kSvgTopY) + "\" fill=\"#f4f8fb\"/>\n";
  out += Circle(kTeeX, kTeeY, kTwelveFoot, "#2f5fb3", "");
  out += Circle(kTeeX, kTeeY, kEightFoot, "#ffffff", "");
  out += Circle(kTeeX, kTeeY, kFourFoot, "#8fb4e8", "");
  out += Circle(kTeeX, kTeeY, kButton, "#ffffff", "");
  out += Line(0, kTeeY, kSheetWidth, kTeeY, kLineWidth);
  out += Line(0, kBackLineY, kSheetWidth, kBackLineY, kLineWidth);
  out += Line(0, kHogLineY, kSheetWidth, kHogLineY, 3 * kLineWidth);
  out += Line(kTeeX, kSvgTopY, kTeeX, kSvgBottomY, kLineWidth);
  return out;
}

// The polyline of stone i through the frames while it stays in play.
std::string PathOf(const StoneView& view, int i) {
  std::string points;
  float x0 = 0.0f, y0 = 0.0f;
  bool moved = false;
  for (int f = 0; f < view.frameCount; ++f) {
    const float x = view.frames[f].stones[i][0];
    const float y = view.frames[f].stones[i][1];
    if (!InPlay(x, y)) {
      if (points.empty()) continue;  // not yet in play (the thrown stone before release)
      break;                         // removed from play
    }
    if (points.empty()) {
      x0 = x;
      y0 = y;
    }
    if (std::fabs(x - x0) > kMovedAtLeast || std::fabs(y - y0) > kMovedAtLeast) moved = true;
    points += Num(x) + "," + Num(y) + " ";
  }
  if (!moved) return "";
  return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + ColourOf(*view.end, i) +
         "\" stroke-width=\"0.03\" stroke-dasharray=\"0.08 0.05\" opacity=\"0.8\"/>\n";
}

std::string Caption(const StoneView& view) {
  const StoneRecord& s = *view.stone;
  const GameRecord& g = *view.game;
  const char seat = SeatLetter(s.seat);
  char line1[160];
  std::snprintf(line1, sizeof line1, "Game %d  End %d  Stone %d/16 by %c  Hammer %c",
                g.gameIndex + 1, view.end->endIndex + 1, s.shotIndex + 1, seat,
                SeatLetter(Opponent(view.end->firstThrower)));
  char line2[160];
  std::snprintf(line2, sizeof line2, "Score A %d - %d B   this end as it lies: %+d (A)",
                PointsFor(g.table, kSeatA), PointsFor(g.table, kSeatB), s.scoreAsItLies);
  std::string line3 = s.status == StoneStatus::kPlayed
                          ? "played: " + s.reply
                          : std::string("lost (") + StatusName(s.status) + "): " + s.note;
  if (line3.size() > 70) line3 = line3.substr(0, 70) + "...";
  std::string out;
  const std::string style =
      "\" font-family=\"sans-serif\" font-size=\"" + Num(kCaptionSize) + "\" fill=\"#111\">";
  const char* lines[3] = {line1, line2, line3.c_str()};
  for (int k = 0; k < 3; ++k)
    out += "<text x=\"0.08\" y=\"" + Num(kSvgTopY + (k + 1) * 1.25 * kCaptionSize) + style +
           Escaped(lines[k]) + "</text>\n";
  return out;
}

}  // namespace

double SvgPixelX(double x) { return x * kSvgScale; }
double SvgPixelY(double y) { return (y - kSvgTopY) * kSvgScale; }
int SvgWidthPx() { return static_cast<int>(std::lround(kSheetWidth * kSvgScale)); }
int SvgHeightPx() { return static_cast<int>(std::lround((kSvgBottomY - kSvgTopY) * kSvgScale)); }

std::string StoneSvg(const StoneView& view) {
  std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(SvgWidthPx()) + "\" height=\"" + std::to_string(SvgHeightPx()) +
                    "\" viewBox=\"0 " + Num(kSvgTopY) + " " + Num(kSheetWidth) + " " +
                    Num(kSvgBottomY - kSvgTopY) + "\">\n";
  out += Sheet();
  const int thrown = view.stone->shotIndex + 1;
  for (int i = 0; i < thrown; ++i) out += PathOf(view, i);
  for (int i = 0; i < thrown; ++i) {
    const float x = view.stone->after[i][0];
    const float y = view.stone->after[i][1];
    if (!InPlay(x, y)) continue;
    out += Circle(x, y, kStoneRadius, ColourOf(*view.end, i),
                  " stroke=\"#444\" stroke-width=\"0.025\"");
  }
  out += Caption(view);
  return out + "</svg>\n";
}

std::string SvgFileName(int gameIndex, int endIndex, int shotIndex) {
  char name[64];
  std::snprintf(name, sizeof name, "game%02d-end%02d-stone%02d.svg", gameIndex + 1, endIndex + 1,
                shotIndex + 1);
  return name;
}
