#include "view/index_page.h"

#include "view/markup.h"

std::string IndexPageHtml(const std::string& title, const std::string& tablesText,
                          const std::vector<IndexRow>& rows) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
      Escaped(title) +
      "</title>\n<style>\nbody { font-family: sans-serif; margin: 12px; }\n"
      "table { border-collapse: collapse; }\n"
      "td, th { border: 1px solid #999; padding: 2px 8px; }\n</style>\n</head>\n<body>\n<h1>" +
      Escaped(title) + "</h1>\n<pre id=\"tables\">" + Escaped(tablesText) +
      "</pre>\n<table id=\"games\">\n<tr><th>Game</th><th>A</th><th>B</th><th>Result</th>"
      "<th>Replay</th></tr>\n";
  for (const IndexRow& r : rows)
    out += "<tr><td>" + std::to_string(r.game) + "</td><td>" + Escaped(r.engineA) + "</td><td>" +
           Escaped(r.engineB) + "</td><td>" + Escaped(r.result) + "</td><td><a href=\"" +
           Escaped(r.link) + "\">watch</a></td></tr>\n";
  return out + "</table>\n</body>\n</html>\n";
}
