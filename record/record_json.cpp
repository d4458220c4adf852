#include "record/record_json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

constexpr float kWholeUpTo = 16777216.0f;  // 2^24: every whole float below it is exact

// Whole numbers (the many stones at (0, 0)) without a decimal point.
Json Coordinate(float v) {
  if (!std::isfinite(v)) return nullptr;
  if (v == std::trunc(v) && std::fabs(v) < kWholeUpTo && !std::signbit(v))
    return Json(static_cast<long long>(v));
  return Json(FloatNumber(v));
}

Json Millis(double ms) {
  return std::isfinite(ms) ? Json(std::round(ms * 1000.0) / 1000.0) : Json();
}

std::string SeatName(Seat s) { return std::string(1, SeatLetter(s)); }

Json Stones(const float (&stones)[game::kStonesPerEnd][2]) {
  Json out = Json::array();
  for (const auto& s : stones) out.push_back(Json::array({Coordinate(s[0]), Coordinate(s[1])}));
  return out;
}

Json Vector(const ShotVec& v) {
  return Json{{"vx", Coordinate(v.vx)}, {"vy", Coordinate(v.vy)}, {"curl", v.curl ? 1 : 0}};
}

Json PathJson(const ShotPath& path) {
  if (path.times.empty()) return nullptr;
  Json times = Json::array();
  for (float t : path.times) times.push_back(std::round(t * 1000.0) / 1000.0);
  Json stones = Json::array();
  for (const MovedStone& m : path.stones) {
    Json points = Json::array();
    for (const auto& p : m.points)
      points.push_back(Json::array({Coordinate(p[0]), Coordinate(p[1])}));
    stones.push_back(Json{{"stone", m.stone}, {"from", m.from}, {"points", points}});
  }
  return Json{{"times", times}, {"stones", stones}};
}

Json StoneJson(const StoneRecord& s) {
  const bool played = s.status == StoneStatus::kPlayed;
  return Json{{"shot", s.shotIndex + 1},
              {"shotIndex", s.shotIndex},
              {"engine", SeatName(s.seat)},
              {"sideFlag", SideFlag(s.seat)},
              {"sent", {{"setstate", s.setState}, {"position", s.position}}},
              {"reply", s.reply},
              {"thinkMs", Millis(s.thinkMs)},
              {"status", StatusName(s.status)},
              {"note", s.note},
              {"physicsSeed", played ? Json(std::to_string(s.physicsSeed)) : Json()},
              {"vec", played ? Vector(s.vec) : Json()},
              {"executed", played && s.executedKnown ? Vector(s.executed) : Json()},
              {"before", Stones(s.before)},
              {"after", Stones(s.after)},
              {"scoreAsItLies", s.scoreAsItLies},
              {"path", PathJson(s.path)}};
}

Json EngineJson(const EngineSummary& e, Seat s) {
  return Json{{"name", e.name},
              {"command", e.command},
              {"sideFlag", SideFlag(s)},
              {"readyNote", e.readyNote},
              {"goCount", e.goCount},
              {"thinkMsTotal", Millis(e.thinkMsTotal)},
              {"thinkMsMax", Millis(e.thinkMsMax)},
              {"stonesLost", e.stonesLost},
              {"exit", e.exit},
              {"timeBudgetMs", Millis(e.budgetMs)},
              {"incrementMs", Millis(e.incMs)}};
}

Json SettingsJson(const GameSettings& s) {
  return Json{{"ends", s.ends},
              {"noise", FloatNumber(s.noise)},
              {"extraEnds", s.extraEnds},
              {"goTimeoutMs", Millis(s.goTimeoutMs)},
              {"timeBudgetMs", Millis(s.budgetMs)},
              {"incrementMs", Millis(s.incMs)},
              {"pauseMs", s.pauseMs},
              {"recover", s.recover}};
}

// An end's own fields, then its stones one per line.
std::string EndText(const EndRecord& e) {
  Json head{{"end", e.endIndex + 1},
            {"endIndex", e.endIndex},
            {"firstThrower", SeatName(e.firstThrower)},
            {"hammer", SeatName(Opponent(e.firstThrower))},
            {"score", e.scoreForA},
            {"pointsA", e.scoreForA > 0 ? e.scoreForA : 0},
            {"pointsB", e.scoreForA < 0 ? -e.scoreForA : 0}};
  std::string text = head.dump();
  text.pop_back();
  text += ",\"stones\":[";
  for (size_t k = 0; k < e.stones.size(); ++k)
    text += (k ? ",\n    " : "\n    ") + StoneJson(e.stones[k]).dump();
  return text + "]}";
}

}  // namespace

std::string FloatText(float v) {
  char text[40];
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(v));
    if (std::strtof(text, nullptr) == v) break;
  }
  return text;
}

double FloatNumber(float v) { return std::strtod(FloatText(v).c_str(), nullptr); }

const char* ResultName(GameResult r) {
  if (r == GameResult::kWinA) return "A";
  if (r == GameResult::kWinB) return "B";
  return "draw";
}

bool ResultFromName(const std::string& name, GameResult* result) {
  for (GameResult r : {GameResult::kWinA, GameResult::kWinB, GameResult::kDraw}) {
    if (name == ResultName(r)) {
      *result = r;
      return true;
    }
  }
  return false;
}

const char* StatusName(StoneStatus status) {
  switch (status) {
    case StoneStatus::kPlayed:
      return "played";
    case StoneStatus::kTimeout:
      return "timeout";
    case StoneStatus::kOutOfTime:
      return "out of time";
    case StoneStatus::kCrashed:
      return "crashed";
    case StoneStatus::kGarbage:
      return "garbage";
    case StoneStatus::kTwoReplies:
      return "two replies";
  }
  return "?";
}

std::string GameToJson(const GameRecord& game) {
  Json engines{{"A", EngineJson(game.engines[0], kSeatA)},
               {"B", EngineJson(game.engines[1], kSeatB)}};
  Json forfeit;
  if (game.forfeitSeat == 0 || game.forfeitSeat == 1)
    forfeit = Json{{"engine", SeatName(static_cast<Seat>(game.forfeitSeat))},
                   {"reason", game.forfeitReason}};
  const Json top[] = {Json{{"format", kRecordFormat},
                           {"runnerVersion", game.runnerVersion},
                           {"libraryVersion", game.libraryVersion},
                           {"startedAt", game.startedAt},
                           {"arguments", game.arguments}},
                      Json{{"game", game.gameIndex + 1},
                           {"seed", std::to_string(game.seed)},
                           {"settings", SettingsJson(game.settings)},
                           {"scoreSign", "positive: A scored"}},
                      Json{{"engines", engines}}};
  std::string text = "{";
  for (const Json& part : top) text += part.dump().substr(1, part.dump().size() - 2) + ",\n ";
  text += "\"ends\":[";
  bool first = true;
  for (const EndRecord& e : game.ends) {
    if (!e.finished) continue;
    text += (first ? "\n  " : ",\n  ") + EndText(e);
    first = false;
  }
  const Json tail{
      {"totals", {{"A", PointsFor(game.table, kSeatA)}, {"B", PointsFor(game.table, kSeatB)}}},
      {"complete", game.complete},
      {"result", game.complete ? Json(ResultName(ResultOfGame(game))) : Json()},
      {"forfeit", forfeit}};
  return text + "],\n " + tail.dump().substr(1) + "\n";
}
