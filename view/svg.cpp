#include "view/svg.h"

#include <cmath>
#include <cstdio>

#include "view/caption.h"
#include "view/markup.h"

namespace {

constexpr double kLineWidth = 0.02;    // m, a painted line
constexpr double kCaptionSize = 0.17;  // m of text height
constexpr double kNumberSize = 0.13;   // m, the number on a stone

std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

std::string Circle(double x, double y, double r, const char* fill, const std::string& extra) {
  return "<circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) + "\" r=\"" + Num(r) + "\" fill=\"" + fill +
         "\"" + extra + "/>\n";
}

std::string Line(double x1, double y1, double x2, double y2, double width) {
  return "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" +
         Num(y2) + "\" stroke=\"#334\" stroke-width=\"" + Num(width) + "\"/>\n";
}

std::string Text(double x, double y, double size, const std::string& text,
                 const std::string& extra = "") {
  return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" font-family=\"sans-serif\" font-size=\"" +
         Num(size) + "\"" + extra + ">" + Escaped(text) + "</text>\n";
}

// The polyline of one moved stone while it is in play.
std::string PathOf(const EndRecord& end, const MovedStone& m) {
  std::string points;
  for (const auto& p : m.points)
    if (StoneInPlay(p[0], p[1])) points += Num(p[0]) + "," + Num(p[1]) + " ";
  if (points.empty()) return "";
  return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + ColourOf(end, m.stone) +
         "\" stroke-width=\"0.03\" stroke-dasharray=\"0.08 0.05\" opacity=\"0.8\"/>\n";
}

std::string NumberedStone(const EndRecord& end, int i, float x, float y, bool thrown) {
  std::string out;
  if (thrown)
    out += Circle(x, y, kThrownRingRadius, "none",
                  " stroke=\"" + std::string(kThrownRing) + "\" stroke-width=\"0.03\"");
  out += Circle(x, y, sheet::kStoneRadius, ColourOf(end, i),
                " stroke=\"#444\" stroke-width=\"0.025\"");
  out += Text(x, y + kNumberSize * 0.35, kNumberSize, std::to_string(i + 1),
              " text-anchor=\"middle\" fill=\"#111\"");
  return out;
}

std::string Legend(const GameRecord& game, double y) {
  std::string out;
  double x = 0.12;
  for (Seat seat : {kSeatA, kSeatB}) {
    out += Circle(x, y - kCaptionSize * 0.3, kCaptionSize * 0.45,
                  seat == kSeatA ? kColourA : kColourB, " stroke=\"#444\" stroke-width=\"0.015\"");
    out += Text(x + 0.15, y, kCaptionSize, EngineLabel(game, seat), " fill=\"#111\"");
    x += sheet::kWidth / 2;
  }
  return out;
}

std::string Caption(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  const double step = 1.3 * kCaptionSize;
  std::string out = "<rect x=\"0\" y=\"" + Num(kSvgTopY) + "\" width=\"" + Num(sheet::kWidth) +
                    "\" height=\"" + Num(kSvgSheetTopY - kSvgTopY) + "\" fill=\"#ffffff\"/>\n";
  out += Text(0.08, kSvgTopY + step, kCaptionSize, CaptionHeadline(game, end, s), " fill=\"#111\"");
  out += Text(0.08, kSvgTopY + 2 * step, kCaptionSize, CaptionStory(end, s), " fill=\"#111\"");
  out += Legend(game, kSvgTopY + 3 * step + 0.05);
  return out;
}

}  // namespace

const char* ColourOf(const EndRecord& end, int stone) {
  return SeatOfStone(end.firstThrower, stone) == kSeatA ? kColourA : kColourB;
}

double SvgPixelX(double x) { return x * kSvgScale; }
double SvgPixelY(double y) { return (y - kSvgTopY) * kSvgScale; }
int SvgWidthPx() { return static_cast<int>(std::lround(sheet::kWidth * kSvgScale)); }
int SvgHeightPx() { return static_cast<int>(std::lround((kSvgBottomY - kSvgTopY) * kSvgScale)); }

std::string SheetSvg() {
  const double top = kSvgSheetTopY;
  std::string out = "<rect x=\"0\" y=\"" + Num(top) + "\" width=\"" + Num(sheet::kWidth) +
                    "\" height=\"" + Num(kSvgBottomY - top) + "\" fill=\"#f4f8fb\"/>\n";
  const double x = sheet::kTeeX, y = sheet::kTeeY, width = sheet::kWidth;
  out += Circle(x, y, sheet::kHouseRadius, "#2f5fb3", "");
  out += Circle(x, y, sheet::kEightFootRadius, "#ffffff", "");
  out += Circle(x, y, sheet::kFourFootRadius, "#8fb4e8", "");
  out += Circle(x, y, sheet::kButtonRadius, "#ffffff", "");
  out += Line(0, y, width, y, kLineWidth);
  out += Line(0, sheet::kBackLineY, width, sheet::kBackLineY, kLineWidth);
  out += Line(0, sheet::kFarHogY, width, sheet::kFarHogY, 3 * kLineWidth);
  out += Line(x, top, x, kSvgBottomY, kLineWidth);
  return out;
}

std::string StoneSvg(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(SvgWidthPx()) + "\" height=\"" + std::to_string(SvgHeightPx()) +
                    "\" viewBox=\"0 " + Num(kSvgTopY) + " " + Num(sheet::kWidth) + " " +
                    Num(kSvgBottomY - kSvgTopY) + "\">\n";
  out += SheetSvg();
  for (const MovedStone& m : s.path.stones) out += PathOf(end, m);
  for (int i = 0; i <= s.shotIndex && i < game::kStonesPerEnd; ++i)
    if (StoneInPlay(s.after[i][0], s.after[i][1]))
      out += NumberedStone(end, i, s.after[i][0], s.after[i][1], i == s.shotIndex);
  out += Caption(game, end, s);
  return out + "</svg>\n";
}

std::string SvgFileName(int gameIndex, int endIndex, int shotIndex) {
  char name[64];
  std::snprintf(name, sizeof name, "game%02d-end%02d-stone%02d.svg", gameIndex + 1, endIndex + 1,
                shotIndex + 1);
  return name;
}
