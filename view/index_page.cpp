#include "view/index_page.h"

#include "view/markup.h"

namespace {

std::string Head(const IndexPage& page) {
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  if (page.refreshSeconds > 0)
    out +=
        "<meta http-equiv=\"refresh\" content=\"" + std::to_string(page.refreshSeconds) + "\">\n";
  return out + "<title>" + Escaped(page.title) +
         "</title>\n<style>\nbody { font-family: sans-serif; margin: 12px; }\n"
         "table { border-collapse: collapse; }\n"
         "td, th { border: 1px solid #999; padding: 2px 8px; }\n"
         "svg { background: #fafafa; }\n"
         "svg .axis { stroke: #333; }\nsvg .level { stroke: #c33; stroke-dasharray: 4 3; }\n"
         "svg .bar { stroke: #88a; }\nsvg circle { fill: #1a4fa0; }\n"
         "svg text { font-size: 11px; text-anchor: end; }\n</style>\n</head>\n";
}

}  // namespace

std::string IndexPageHtml(const IndexPage& page) {
  std::string out = Head(page) + "<body>\n<h1>" + Escaped(page.title) +
                    "</h1>\n<pre id=\"tables\">" + Escaped(page.tablesText) + "</pre>\n";
  for (const RunPlot& plot : page.plots) out += RunPlotHtml(plot);
  out +=
      "<table id=\"games\">\n<tr><th>Game</th><th>A</th><th>B</th><th>Result</th>"
      "<th>Replay</th></tr>\n";
  for (const IndexRow& r : page.rows)
    out += "<tr><td>" + std::to_string(r.game) + "</td><td>" + Escaped(r.engineA) + "</td><td>" +
           Escaped(r.engineB) + "</td><td>" + Escaped(r.result) + "</td><td><a href=\"" +
           Escaped(r.link) + "\">watch</a></td></tr>\n";
  return out + "</table>\n</body>\n</html>\n";
}
