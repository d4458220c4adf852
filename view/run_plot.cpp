#include "view/run_plot.h"

#include <algorithm>
#include <cstdio>

#include "view/markup.h"

namespace {

// The plot area in pixels, and the margin left for the axis labels.
constexpr double kWidth = 640.0, kHeight = 220.0, kLeft = 56.0, kBottom = 20.0, kTop = 8.0;

struct Frame {
  double games = 1.0, low = -1.0, high = 1.0;
  double X(double played) const { return kLeft + (kWidth - kLeft - 8.0) * played / games; }
  double Y(double v) const { return kTop + (kHeight - kTop - kBottom) * (high - v) / (high - low); }
};

std::string Num(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v + 0.0);
  return text;
}

// Everything drawn fits: the points with their intervals and the levels,
// with a tenth of the span spare above and below.
Frame FrameOf(const RunPlot& p) {
  Frame f;
  f.games = std::max(1, p.games);
  double low = p.levels.empty() ? p.points.front().value : p.levels.front(), high = low;
  for (double v : p.levels) low = std::min(low, v), high = std::max(high, v);
  for (const PlotPoint& q : p.points) {
    low = std::min({low, q.value, q.hasInterval ? q.low : q.value});
    high = std::max({high, q.value, q.hasInterval ? q.high : q.value});
  }
  const double spare = std::max((high - low) / 10.0, 0.5);
  f.low = low - spare;
  f.high = high + spare;
  for (const PlotPoint& q : p.points) f.games = std::max(f.games, static_cast<double>(q.played));
  return f;
}

std::string Line(double x1, double y1, double x2, double y2, const char* cls) {
  return "<line class=\"" + std::string(cls) + "\" x1=\"" + Num(x1, 1) + "\" y1=\"" + Num(y1, 1) +
         "\" x2=\"" + Num(x2, 1) + "\" y2=\"" + Num(y2, 1) + "\"/>";
}

std::string Axes(const RunPlot& p, const Frame& f) {
  std::string out = Line(kLeft, kTop, kLeft, kHeight - kBottom, "axis") +
                    Line(kLeft, kHeight - kBottom, kWidth - 8.0, kHeight - kBottom, "axis");
  for (double v : p.levels)
    out += Line(kLeft, f.Y(v), kWidth - 8.0, f.Y(v), "level") + "<text x=\"" + Num(kLeft - 4.0, 1) +
           "\" y=\"" + Num(f.Y(v) + 4.0, 1) + "\">" + Num(v, 2) + "</text>";
  out += "<text x=\"" + Num(kWidth - 8.0, 1) + "\" y=\"" + Num(kHeight - 4.0, 1) + "\">" +
         std::to_string(static_cast<int>(f.games)) + " games</text>";
  return out;
}

std::string Dot(const RunPlot& p, const Frame& f, const PlotPoint& q) {
  std::string out;
  if (q.hasInterval) out += Line(f.X(q.played), f.Y(q.low), f.X(q.played), f.Y(q.high), "bar");
  out += "<circle r=\"2.5\" cx=\"" + Num(f.X(q.played), 1) + "\" cy=\"" + Num(f.Y(q.value), 1) +
         "\" data-game=\"" + std::to_string(q.game) + "\" data-" + p.name + "=\"" +
         Num(q.value, 6) + "\"";
  if (q.hasInterval) out += " data-lo=\"" + Num(q.low, 6) + "\" data-hi=\"" + Num(q.high, 6) + "\"";
  return out + "><title>game " + std::to_string(q.game) + ": " + Num(q.value, 2) +
         "</title></circle>";
}

}  // namespace

std::string RunPlotHtml(const RunPlot& p) {
  std::string out = "<figure id=\"" + Escaped(p.name) + "-plot\">\n<figcaption>" +
                    Escaped(p.title) + "</figcaption>\n";
  if (p.points.empty()) return out + "<p>nothing to draw yet</p>\n</figure>\n";
  const Frame f = FrameOf(p);
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kWidth, 0) + "\" height=\"" +
         Num(kHeight, 0) + "\" viewBox=\"0 0 " + Num(kWidth, 0) + " " + Num(kHeight, 0) + "\">\n" +
         Axes(p, f) + "\n";
  for (const PlotPoint& q : p.points) out += Dot(p, f, q) + "\n";
  return out + "</svg>\n</figure>\n";
}
