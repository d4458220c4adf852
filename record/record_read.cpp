// Reading a game record back (GameFromJson): every field checked for its
// type and range, so that a damaged or hostile file gives a message, never
// a crash or an out-of-range index.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "record/record_json.h"

namespace {

using Json = nlohmann::json;

struct Bad : std::runtime_error {
  using std::runtime_error::runtime_error;
};

const Json& Field(const Json& object, const char* name, const std::string& where) {
  if (!object.is_object() || !object.contains(name))
    throw Bad(where + ": missing \"" + name + "\"");
  return object.at(name);
}

int Int(const Json& object, const char* name, const std::string& where, int low, int high) {
  const Json& v = Field(object, name, where);
  if (!v.is_number_integer() || v.get<long long>() < low || v.get<long long>() > high)
    throw Bad(where + ": \"" + name + "\" is not an integer from " + std::to_string(low) + " to " +
              std::to_string(high));
  return static_cast<int>(v.get<long long>());
}

std::string Text(const Json& object, const char* name, const std::string& where) {
  const Json& v = Field(object, name, where);
  if (!v.is_string()) throw Bad(where + ": \"" + name + "\" is not a string");
  return v.get<std::string>();
}

bool Flag(const Json& object, const char* name, const std::string& where) {
  const Json& v = Field(object, name, where);
  if (!v.is_boolean()) throw Bad(where + ": \"" + name + "\" is not true or false");
  return v.get<bool>();
}

// A number, or null for a value that was not finite.
double Number(const Json& v, const std::string& where) {
  if (v.is_null()) return std::numeric_limits<double>::quiet_NaN();
  if (!v.is_number()) throw Bad(where + " is not a number");
  return v.get<double>();
}

double Number(const Json& object, const char* name, const std::string& where) {
  return Number(Field(object, name, where), where + ": \"" + name + "\"");
}

// For a field that older records lack: absent when they do.
double NumberOr(const Json& object, const char* name, const std::string& where, double absent) {
  return object.is_object() && object.contains(name) ? Number(object, name, where) : absent;
}

uint64_t Seed(const Json& object, const char* name, const std::string& where) {
  const std::string text = Text(object, name, where);
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text.size() > 20 || *end != '\0' || text[0] == '-' ||
      (v == std::numeric_limits<unsigned long long>::max() && text != "18446744073709551615"))
    throw Bad(where + ": \"" + name + "\" is not a decimal seed");
  return v;
}

Seat SeatOf(const Json& object, const char* name, const std::string& where) {
  const std::string s = Text(object, name, where);
  if (s != "A" && s != "B") throw Bad(where + ": \"" + name + "\" is neither A nor B");
  return s == "A" ? kSeatA : kSeatB;
}

std::array<float, 2> Point(const Json& v, const std::string& where) {
  if (!v.is_array() || v.size() != 2) throw Bad(where + " is not a pair [x, y]");
  return {static_cast<float>(Number(v[0], where)), static_cast<float>(Number(v[1], where))};
}

void Stones(const Json& object, const char* name, const std::string& where, float (*out)[2]) {
  const Json& v = Field(object, name, where);
  if (!v.is_array() || v.size() != game::kStonesPerEnd)
    throw Bad(where + ": \"" + name + "\" is not " + std::to_string(game::kStonesPerEnd) +
              " stones");
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    const auto p = Point(v[i], where + ": " + name + "[" + std::to_string(i) + "]");
    out[i][0] = p[0];
    out[i][1] = p[1];
  }
}

bool Vector(const Json& object, const char* name, const std::string& where, ShotVec* out) {
  const Json& v = Field(object, name, where);
  if (v.is_null()) return false;
  const std::string at = where + ": " + name;
  out->vx = static_cast<float>(Number(v, "vx", at));
  out->vy = static_cast<float>(Number(v, "vy", at));
  out->curl = static_cast<unsigned char>(Int(v, "curl", at, 0, 1));
  return true;
}

ShotPath Path(const Json& v, const std::string& where) {
  ShotPath path;
  if (v.is_null()) return path;
  const Json& times = Field(v, "times", where);
  if (!times.is_array()) throw Bad(where + ": path times are not a list");
  for (const Json& t : times) path.times.push_back(static_cast<float>(Number(t, where + ": time")));
  const Json& stones = Field(v, "stones", where);
  if (!stones.is_array()) throw Bad(where + ": path stones are not a list");
  for (const Json& s : stones) {
    MovedStone moved;
    moved.stone = Int(s, "stone", where + ": path", 0, game::kStonesPerEnd - 1);
    const int frames = static_cast<int>(path.times.size());
    moved.from = Int(s, "from", where + ": path", 0, frames > 0 ? frames - 1 : 0);
    const Json& points = Field(s, "points", where + ": path");
    if (!points.is_array() || points.empty() ||
        points.size() > static_cast<size_t>(frames - moved.from))
      throw Bad(where + ": path of stone " + std::to_string(moved.stone) +
                " does not fit its times");
    for (const Json& p : points) moved.points.push_back(Point(p, where + ": path point"));
    path.stones.push_back(moved);
  }
  return path;
}

StoneStatus StatusOf(const std::string& name, const std::string& where) {
  for (StoneStatus s : {StoneStatus::kPlayed, StoneStatus::kTimeout, StoneStatus::kOutOfTime,
                        StoneStatus::kCrashed, StoneStatus::kGarbage, StoneStatus::kTwoReplies})
    if (name == StatusName(s)) return s;
  throw Bad(where + ": unknown status \"" + name + "\"");
}

StoneRecord ReadStone(const Json& j, const std::string& where) {
  StoneRecord s;
  s.shotIndex = Int(j, "shotIndex", where, 0, game::kStonesPerEnd - 1);
  s.seat = SeatOf(j, "engine", where);
  const Json& sent = Field(j, "sent", where);
  s.setState = Text(sent, "setstate", where);
  s.position = Text(sent, "position", where);
  s.reply = Text(j, "reply", where);
  s.thinkMs = Number(j, "thinkMs", where);
  s.status = StatusOf(Text(j, "status", where), where);
  s.note = Text(j, "note", where);
  const bool played = s.status == StoneStatus::kPlayed;
  if (played) s.physicsSeed = Seed(j, "physicsSeed", where);
  if (Vector(j, "vec", where, &s.vec) != played)
    throw Bad(where + ": a vector belongs to a played stone, and only to one");
  s.executedKnown = Vector(j, "executed", where, &s.executed);
  Stones(j, "before", where, s.before);
  Stones(j, "after", where, s.after);
  s.scoreAsItLies =
      Int(j, "scoreAsItLies", where, -game::kMostPointsPerEnd, game::kMostPointsPerEnd);
  s.path = Path(Field(j, "path", where), where);
  return s;
}

EndRecord ReadEnd(const Json& j, const std::string& where) {
  EndRecord e;
  e.endIndex = Int(j, "endIndex", where, 0, 1000);
  e.firstThrower = SeatOf(j, "firstThrower", where);
  e.scoreForA = Int(j, "score", where, -game::kMostPointsPerEnd, game::kMostPointsPerEnd);
  e.finished = true;
  const Json& stones = Field(j, "stones", where);
  if (!stones.is_array() || stones.size() > game::kStonesPerEnd)
    throw Bad(where + ": \"stones\" is not up to " + std::to_string(game::kStonesPerEnd) +
              " stones");
  for (size_t k = 0; k < stones.size(); ++k) {
    const std::string at = where + " stone " + std::to_string(k + 1);
    e.stones.push_back(ReadStone(stones[k], at));
    // A game started from a position records an end from its first stone
    // played; from there the stones follow one another.
    if (k > 0 && e.stones.back().shotIndex != e.stones[0].shotIndex + static_cast<int>(k))
      throw Bad(at + ": stones out of order");
  }
  return e;
}

// clock: the game's settings, which an engine without a clock of its own had.
EngineSummary ReadEngine(const Json& j, const std::string& where, const GameSettings& clock) {
  EngineSummary e;
  e.name = Text(j, "name", where);
  e.command = Text(j, "command", where);
  e.readyNote = Text(j, "readyNote", where);
  e.exit = Text(j, "exit", where);
  e.goCount = Int(j, "goCount", where, 0, std::numeric_limits<int>::max());
  e.stonesLost = Int(j, "stonesLost", where, 0, std::numeric_limits<int>::max());
  e.thinkMsTotal = Number(j, "thinkMsTotal", where);
  e.thinkMsMax = Number(j, "thinkMsMax", where);
  e.budgetMs = NumberOr(j, "timeBudgetMs", where, clock.budgetMs);
  e.incMs = NumberOr(j, "incrementMs", where, clock.incMs);
  return e;
}

void ReadSettings(const Json& j, GameSettings* s) {
  const std::string where = "settings";
  s->ends = Int(j, "ends", where, 1, 1000);
  s->noise = static_cast<float>(Number(j, "noise", where));
  s->extraEnds = Flag(j, "extraEnds", where);
  s->goTimeoutMs = Number(j, "goTimeoutMs", where);
  s->budgetMs = Number(j, "timeBudgetMs", where);
  s->incMs = NumberOr(j, "incrementMs", where, 0.0);
  s->pauseMs = Int(j, "pauseMs", where, 0, std::numeric_limits<int>::max());
  s->recover = Flag(j, "recover", where);
}

void ReadGame(const Json& j, GameRecord* g) {
  if (Text(j, "format", "record") != kRecordFormat)
    throw Bad("record: format is not \"" + std::string(kRecordFormat) + "\"");
  g->runnerVersion = Text(j, "runnerVersion", "record");
  g->libraryVersion = Text(j, "libraryVersion", "record");
  g->startedAt = Text(j, "startedAt", "record");
  const Json& args = Field(j, "arguments", "record");
  if (!args.is_array()) throw Bad("record: \"arguments\" is not a list");
  for (const Json& a : args) {
    if (!a.is_string()) throw Bad("record: an argument is not a string");
    g->arguments.push_back(a.get<std::string>());
  }
  g->gameIndex = Int(j, "game", "record", 1, std::numeric_limits<int>::max()) - 1;
  g->seed = Seed(j, "seed", "record");
  ReadSettings(Field(j, "settings", "record"), &g->settings);
  const Json& engines = Field(j, "engines", "record");
  g->engines[0] = ReadEngine(Field(engines, "A", "engines"), "engine A", g->settings);
  g->engines[1] = ReadEngine(Field(engines, "B", "engines"), "engine B", g->settings);
  const Json& ends = Field(j, "ends", "record");
  if (!ends.is_array()) throw Bad("record: \"ends\" is not a list");
  for (size_t k = 0; k < ends.size(); ++k) {
    const std::string at = "end " + std::to_string(k + 1);
    g->ends.push_back(ReadEnd(ends[k], at));
    if (k > 0 && g->ends.back().endIndex != g->ends[0].endIndex + static_cast<int>(k))
      throw Bad(at + ": ends out of order");
    g->table.endScores.push_back(g->ends.back().scoreForA);
  }
  g->complete = Flag(j, "complete", "record");
  const Json& result = Field(j, "result", "record");
  const std::string r = result.is_string() ? result.get<std::string>() : "";
  GameResult named;
  if (g->complete && !ResultFromName(r, &named)) throw Bad("record: bad \"result\"");
  const Json& forfeit = Field(j, "forfeit", "record");
  if (!forfeit.is_null()) {
    g->forfeitSeat = SeatOf(forfeit, "engine", "forfeit");
    g->forfeitReason = Text(forfeit, "reason", "forfeit");
  }
  // The result is not kept but follows from the record. Only a forfeit's
  // can be checked against it: the points of a game started from an
  // opening include ends scored before its first recorded one.
  if (g->complete && g->forfeitSeat >= 0 && r != ResultName(ResultOfGame(*g)))
    throw Bad("record: \"result\" is " + r + ", yet " +
              SeatLetter(static_cast<Seat>(g->forfeitSeat)) + " forfeited");
}

}  // namespace

bool GameFromJson(const std::string& text, GameRecord* game, std::string* error) {
  try {
    const Json j = Json::parse(text, nullptr, false);
    if (j.is_discarded()) throw Bad("not JSON");
    if (!j.is_object()) throw Bad("not a JSON object");
    *game = GameRecord{};
    ReadGame(j, game);
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
}
