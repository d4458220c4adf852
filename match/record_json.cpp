#include "match/record_json.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

std::string Millis(double ms) {
  char text[40];
  std::snprintf(text, sizeof text, "%.3f", ms);
  return text;
}

std::string Bool(bool b) { return b ? "true" : "false"; }

std::string SeatName(Seat s) { return std::string(1, SeatLetter(s)); }

std::string ResultName(GameResult r) {
  if (r == GameResult::kWinA) return "A";
  if (r == GameResult::kWinB) return "B";
  return "draw";
}

std::string Stones(const float (&stones)[16][2]) {
  std::string out = "[";
  for (int i = 0; i < 16; ++i) {
    if (i) out += ",";
    out += "[" + Number(stones[i][0]) + "," + Number(stones[i][1]) + "]";
  }
  return out + "]";
}

std::string StoneJson(const StoneRecord& s) {
  std::string vec = "null";
  if (s.status == StoneStatus::kPlayed)
    vec = "{\"vx\":" + Number(s.vec.vx) + ",\"vy\":" + Number(s.vec.vy) +
          ",\"curl\":" + std::to_string(s.vec.curl) + "}";
  return "{\"shot\":" + std::to_string(s.shotIndex + 1) +
         ",\"shotIndex\":" + std::to_string(s.shotIndex) + ",\"engine\":\"" + SeatName(s.seat) +
         "\",\"sideFlag\":" + std::to_string(SideFlag(s.seat)) +
         ",\"sent\":{\"setstate\":" + JsonString(s.setState) +
         ",\"position\":" + JsonString(s.position) + "},\"reply\":" + JsonString(s.reply) +
         ",\"thinkMs\":" + Millis(s.thinkMs) + ",\"status\":\"" + StatusName(s.status) +
         "\",\"note\":" + JsonString(s.note) + ",\"vec\":" + vec + ",\"after\":" + Stones(s.after) +
         ",\"scoreAsItLies\":" + std::to_string(s.scoreAsItLies) + "}";
}

std::string EndJson(const EndRecord& e) {
  std::string stones;
  for (const StoneRecord& s : e.stones) stones += (stones.empty() ? "" : ",\n    ") + StoneJson(s);
  int a = e.scoreForA > 0 ? e.scoreForA : 0;
  int b = e.scoreForA < 0 ? -e.scoreForA : 0;
  return "{\"end\":" + std::to_string(e.endIndex + 1) +
         ",\"endIndex\":" + std::to_string(e.endIndex) + ",\"firstThrower\":\"" +
         SeatName(e.firstThrower) + "\",\"hammer\":\"" + SeatName(Opponent(e.firstThrower)) +
         "\",\"score\":" + std::to_string(e.scoreForA) + ",\"pointsA\":" + std::to_string(a) +
         ",\"pointsB\":" + std::to_string(b) + ",\"stones\":[\n    " + stones + "]}";
}

std::string EngineJson(const EngineSummary& e, Seat s) {
  return "{\"command\":" + JsonString(e.command) + ",\"sideFlag\":" + std::to_string(SideFlag(s)) +
         ",\"readyNote\":" + JsonString(e.readyNote) + ",\"goCount\":" + std::to_string(e.goCount) +
         ",\"thinkMsTotal\":" + Millis(e.thinkMsTotal) + ",\"thinkMsMax\":" + Millis(e.thinkMsMax) +
         ",\"stonesLost\":" + std::to_string(e.stonesLost) + ",\"exit\":" + JsonString(e.exit) +
         "}";
}

}  // namespace

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

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  char escaped[8];
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 32 || c >= 127) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string GameToJson(const GameRecord& game) {
  const GameSettings& s = game.settings;
  std::string ends;
  for (const EndRecord& e : game.ends)
    if (e.finished) ends += (ends.empty() ? "\n  " : ",\n  ") + EndJson(e);
  return "{\"format\":\"curling-match game record 1\",\n \"game\":" +
         std::to_string(game.gameIndex + 1) + ",\"seed\":\"" + std::to_string(game.seed) + "\"" +
         ",\n \"settings\":{\"ends\":" + std::to_string(s.ends) + ",\"noise\":" + Number(s.noise) +
         ",\"extraEnds\":" + Bool(s.extraEnds) + ",\"goTimeoutMs\":" + Millis(s.goTimeoutMs) +
         ",\"timeBudgetMs\":" + Millis(s.budgetMs) + ",\"pauseMs\":" + std::to_string(s.pauseMs) +
         "},\n \"scoreSign\":\"positive: A scored\"" +
         ",\n \"engines\":{\"A\":" + EngineJson(game.engines[0], kSeatA) +
         ",\n  \"B\":" + EngineJson(game.engines[1], kSeatB) + "},\n \"ends\":[" + ends +
         "],\n \"totals\":{\"A\":" + std::to_string(PointsFor(game.table, kSeatA)) +
         ",\"B\":" + std::to_string(PointsFor(game.table, kSeatB)) +
         "},\n \"complete\":" + Bool(game.complete) + ",\"result\":" +
         (game.complete ? "\"" + ResultName(game.result) + "\"" : std::string("null")) +
         ",\"forfeit\":" +
         (game.forfeitSeat < 0 ? std::string("null")
                               : "{\"engine\":\"" + SeatName(static_cast<Seat>(game.forfeitSeat)) +
                                     "\",\"reason\":" + JsonString(game.forfeitReason) + "}") +
         "}\n";
}
