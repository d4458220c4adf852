#include "view/replay_page.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "record/line_score.h"
#include "record/record_json.h"
#include "view/caption.h"
#include "view/markup.h"
#include "view/svg.h"

namespace {

using Json = nlohmann::ordered_json;

// As the record writes it: whole numbers (the stones out of play at
// (0, 0)) without a decimal point, the others in their shortest form.
Json Coordinate(float v) {
  if (v == 0.0f && !std::signbit(v)) return 0;
  return FloatNumber(v);
}

Json Point(float x, float y) { return Json::array({Coordinate(x), Coordinate(y)}); }

Json StoneData(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  Json after = Json::array();
  for (const auto& p : s.after) after.push_back(Point(p[0], p[1]));
  // The page shows the sheet from the far hog line on: a stone's points
  // before it comes into view are left out (all but the last of them).
  Json paths = Json::array();
  for (const MovedStone& m : s.path.stones) {
    size_t first = 0;
    while (first + 1 < m.points.size() &&
           m.points[first + 1][1] > kSvgBottomY + sheet::kStoneRadius)
      ++first;
    Json points = Json::array();
    for (size_t k = first; k < m.points.size(); ++k)
      points.push_back(Point(m.points[k][0], m.points[k][1]));
    paths.push_back(
        Json{{"stone", m.stone}, {"from", m.from + static_cast<int>(first)}, {"points", points}});
  }
  Json times = Json::array();
  for (float t : s.path.times) times.push_back(FloatNumber(t));
  return Json{{"seat", std::string(1, SeatLetter(s.seat))},
              {"headline", CaptionHeadline(game, end, s)},
              {"story", CaptionStory(end, s)},
              {"after", after},
              {"times", times},
              {"paths", paths}};
}

Json GameData(const GameRecord& game) {
  Json ends = Json::array();
  for (const EndRecord& e : game.ends) {
    if (!e.finished) continue;
    if (e.stones.empty()) continue;
    Json stones = Json::array();
    for (const StoneRecord& s : e.stones) stones.push_back(StoneData(game, e, s));
    Json start = Json::array();
    for (const auto& p : e.stones[0].before) start.push_back(Point(p[0], p[1]));
    ends.push_back(Json{{"end", e.endIndex + 1},
                        {"firstShot", e.stones[0].shotIndex},
                        {"start", start},
                        {"first", std::string(1, SeatLetter(e.firstThrower))},
                        {"hammer", std::string(1, SeatLetter(Opponent(e.firstThrower)))},
                        {"score", e.scoreForA},
                        {"stones", stones}});
  }
  // Points scored before the first recorded end (a game started from a
  // position): the totals less the recorded ends.
  int before[2] = {PointsFor(game.table, kSeatA), PointsFor(game.table, kSeatB)};
  for (const EndRecord& e : game.ends) {
    if (!e.finished) continue;
    before[0] -= e.scoreForA > 0 ? e.scoreForA : 0;
    before[1] -= e.scoreForA < 0 ? -e.scoreForA : 0;
  }
  return Json{{"game", game.gameIndex + 1},
              {"before", {before[0], before[1]}},
              {"labels", {EngineLabel(game, kSeatA), EngineLabel(game, kSeatB)}},
              {"colours", {kColourA, kColourB}},
              {"result", game.complete ? FormatResult(game) : "game not finished"},
              {"ends", ends}};
}

// JSON inside a script element: "</script" or "<!--" would change how the
// page is read. '<' only occurs inside JSON strings, where \u003c means it.
std::string ScriptSafe(const std::string& json) {
  std::string out;
  for (char c : json) {
    if (c == '<')
      out += "\\u003c";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string ReplayPageHtml(const GameRecord& game) {
  const std::string title = "Game " + std::to_string(game.gameIndex + 1) + ": " +
                            EngineLabel(game, kSeatA) + " v " + EngineLabel(game, kSeatB);
  const std::string view = "0 " + std::to_string(kSvgSheetTopY) + " " +
                           std::to_string(sheet::kWidth) + " " +
                           std::to_string(kSvgBottomY - kSvgSheetTopY);
  return "<!DOCTYPE html>\n<html lang=\"en\" data-end=\"1\" data-shot=\"0\">\n<head>\n"
         "<meta charset=\"utf-8\">\n<title>" +
         Escaped(title) + "</title>\n<style>\n" + kReplayPageStyle + "</style>\n</head>\n<body>\n" +
         "<h1>" + Escaped(title) + "</h1>\n<table id=\"linescore\"></table>\n" +
         "<div id=\"legend\"></div>\n<div id=\"controls\">"
         "<button id=\"first\" title=\"Home\">first</button>"
         "<button id=\"prevEnd\" title=\"Page Up\">&#x25C0;&#x25C0; end</button>"
         "<button id=\"prev\" title=\"Arrow left\">&#x25C0; stone</button>"
         "<button id=\"next\" title=\"Arrow right\">stone &#x25B6;</button>"
         "<button id=\"nextEnd\" title=\"Page Down\">end &#x25B6;&#x25B6;</button>"
         "<button id=\"last\" title=\"End\">last</button></div>\n"
         "<p id=\"headline\"></p><p id=\"story\"></p>\n"
         "<svg id=\"house\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         std::to_string(SvgWidthPx()) + "\" height=\"" +
         std::to_string(static_cast<int>((kSvgBottomY - kSvgSheetTopY) * kSvgScale)) +
         "\" viewBox=\"" + view + "\">\n" + SheetSvg() +
         "<g id=\"paths\"></g><g id=\"stones\"></g></svg>\n" +
         "<p id=\"result\"></p>\n<script type=\"application/json\" id=\"game-data\">" +
         ScriptSafe(GameData(game).dump()) + "</script>\n<script>\n" + ReplayPageScript() +
         "</script>\n</body>\n</html>\n";
}
