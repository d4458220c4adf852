#include "view/svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "view/caption.h"
#include "view/markup.h"
#include "view/text_fit.h"

namespace {

constexpr double kLineWidth = 0.02;                  // m, a painted line
constexpr double kCaptionSize = 0.17;                // m of text height
constexpr double kNumberSize = 0.13;                 // m, the number on a stone
constexpr double kCaptionStep = 1.3 * kCaptionSize;  // m from one caption line to the next
constexpr double kCaptionMargin = 0.08;              // m, on either side of the caption
constexpr double kSwatchX = 0.12;      // m, a legend swatch's centre from its entry's start
constexpr double kLegendTextX = 0.27;  // m, a legend entry's text from its start
// Headline, story and legend: the lines the band above the sheet holds.
constexpr int kUsualCaptionLines = 3;

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

// One piece of text in the caption band; a legend entry's has its side's
// swatch before it (swatch: the seat, or -1).
struct CaptionItem {
  double x;  // where the text starts, m
  std::string text;
  int swatch;
};

struct CaptionBand {
  std::vector<std::vector<CaptionItem>> lines;
  double top;  // of the picture, m
};

// text wrapped to the picture's width from x on, the swatch on its first line.
void AddWrapped(const std::string& text, double x, int swatch, CaptionBand* band) {
  for (const std::string& line :
       WrapText(text, (sheet::kWidth - x - kCaptionMargin) / kCaptionSize)) {
    band->lines.push_back({CaptionItem{x, line, swatch}});
    swatch = -1;
  }
}

// Headline, story and legend, each wrapped to the picture's width; the
// legend's two entries side by side when both fit their half. The band
// grows upwards by a line for every line beyond the usual three.
CaptionBand LayOutCaption(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  CaptionBand band;
  AddWrapped(CaptionHeadline(game, end, s), kCaptionMargin, -1, &band);
  AddWrapped(CaptionStory(end, s), kCaptionMargin, -1, &band);
  const double half = sheet::kWidth / 2;
  const std::string labels[2] = {EngineLabel(game, kSeatA), EngineLabel(game, kSeatB)};
  bool sideBySide = true;
  for (const std::string& label : labels)
    sideBySide &= TextWidthEm(label) * kCaptionSize <= half - kLegendTextX - kCaptionMargin;
  if (sideBySide)
    band.lines.push_back({CaptionItem{kLegendTextX, labels[0], kSeatA},
                          CaptionItem{half + kLegendTextX, labels[1], kSeatB}});
  else
    for (Seat seat : {kSeatA, kSeatB}) AddWrapped(labels[seat], kLegendTextX, seat, &band);
  const int extra = std::max(0, static_cast<int>(band.lines.size()) - kUsualCaptionLines);
  band.top = kSvgTopY - extra * kCaptionStep;
  return band;
}

std::string CaptionItemSvg(const CaptionItem& item, double y) {
  std::string out;
  if (item.swatch >= 0)
    out += Circle(item.x - kLegendTextX + kSwatchX, y - kCaptionSize * 0.3, kCaptionSize * 0.45,
                  item.swatch == kSeatA ? kColourA : kColourB,
                  " stroke=\"#444\" stroke-width=\"0.015\"");
  return out + Text(item.x, y, kCaptionSize, item.text, " fill=\"#111\"");
}

std::string Caption(const CaptionBand& band) {
  std::string out = "<rect x=\"0\" y=\"" + Num(band.top) + "\" width=\"" + Num(sheet::kWidth) +
                    "\" height=\"" + Num(kSvgSheetTopY - band.top) + "\" fill=\"#ffffff\"/>\n";
  double y = band.top;
  for (const std::vector<CaptionItem>& line : band.lines) {
    y += kCaptionStep;
    for (const CaptionItem& item : line) out += CaptionItemSvg(item, y);
  }
  return out;
}

}  // namespace

const char* ColourOf(const EndRecord& end, int stone) {
  return SeatOfStone(end.firstThrower, stone) == kSeatA ? kColourA : kColourB;
}

double SvgPixelX(double x) { return x * kSvgScale; }
double SvgPixelY(double y, double topY) { return (y - topY) * kSvgScale; }
int SvgWidthPx() { return static_cast<int>(std::lround(sheet::kWidth * kSvgScale)); }
int SvgHeightPx(double topY) {
  return static_cast<int>(std::lround((kSvgBottomY - topY) * kSvgScale));
}

double StoneSvgTopY(const GameRecord& game, const EndRecord& end, const StoneRecord& stone) {
  return LayOutCaption(game, end, stone).top;
}

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

std::string SheetPictureStart(double topY) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(SvgWidthPx()) +
         "\" height=\"" + std::to_string(SvgHeightPx(topY)) + "\" viewBox=\"0 " + Num(topY) +
         " " + Num(sheet::kWidth) + " " + Num(kSvgBottomY - topY) + "\">\n" + SheetSvg();
}

std::string StoneSvg(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  const CaptionBand band = LayOutCaption(game, end, s);
  std::string out = SheetPictureStart(band.top);
  for (const MovedStone& m : s.path.stones) out += PathOf(end, m);
  for (int i = 0; i <= s.shotIndex && i < game::kStonesPerEnd; ++i)
    if (StoneInPlay(s.after[i][0], s.after[i][1]))
      out += NumberedStone(end, i, s.after[i][0], s.after[i][1], i == s.shotIndex);
  out += Caption(band);
  return out + "</svg>\n";
}

std::string SvgFileName(int gameIndex, int endIndex, int shotIndex) {
  char name[64];
  std::snprintf(name, sizeof name, "game%02d-end%02d-stone%02d.svg", gameIndex + 1, endIndex + 1,
                shotIndex + 1);
  return name;
}
