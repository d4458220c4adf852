// What the runner keeps of a game: every stone with the commands sent, the
// reply, the time it took, the physics seed and the executed result, and
// the end scores. record_json.h writes and reads it; replay.h re-executes
// it; the pictures and the replay page are drawn from it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "record/rules.h"
#include "sim/records.h"

enum class StoneStatus {
  kPlayed,      // the reply was executed
  kTimeout,     // no complete reply before the per-GO deadline
  kOutOfTime,   // the engine's thinking-time budget for the game was spent
  kCrashed,     // the engine had ended or closed its output
  kGarbage,     // the reply could not be parsed
  kTwoReplies,  // more than one reply to one GO
};

const char* StatusName(StoneStatus status);

// Whether a recorded position is a stone in play: one out of play (or not
// yet thrown) lies at (sheet::kOutX, sheet::kOutY), and a position that is
// not finite is no stone at all. Not the rules' "in play" (inside the
// lines), which the physics decides before it records a position.
inline bool StoneInPlay(float x, float y) {
  return std::isfinite(x) && std::isfinite(y) &&
         !(x == float(sheet::kOutX) && y == float(sheet::kOutY));
}

// The motion of one shot, thinned to a few frames per second: enough to
// draw and animate it, small enough for a whole game in one page. A moved
// stone's points start at frame `from` (before it the stone stands where
// its first point is) and may end early (after its last point it stays
// where that point is).
struct MovedStone {
  int stone = 0;                             // index of the stone, from 0
  int from = 0;                              // index into ShotPath::times
  std::vector<std::array<float, 2>> points;  // m; (0, 0) once out of play
};
struct ShotPath {
  std::vector<float> times;        // s since release, one per kept frame
  std::vector<MovedStone> stones;  // only the stones that moved
};

struct StoneRecord {
  int shotIndex = 0;
  Seat seat = kSeatA;
  std::string setState;  // the commands sent, without their line feed
  std::string position;
  std::string reply;     // printable form of the bytes received after GO
  double thinkMs = 0.0;  // from writing GO to the complete reply
  StoneStatus status = StoneStatus::kPlayed;
  std::string note;  // why a stone was lost, or stray output seen before it
  ShotVec vec{};     // as the engine asked; meaningful when status is kPlayed
  // The delivery after the execution error, as measured from the library's
  // first path frames (the library reports positions only); valid when
  // executedKnown. Replay does not need it: the seed reproduces it.
  bool executedKnown = false;
  ShotVec executed{};
  uint64_t physicsSeed = 0;  // the library was seeded with it just before the shot
  float before[game::kStonesPerEnd][2] = {};
  float after[game::kStonesPerEnd][2] = {};  // stones at rest; a stone out of play lies at (0, 0)
  int scoreAsItLies = 0;                     // the end's score for A if it ended after this stone
  ShotPath path;                             // empty when the stone was not executed
};

struct EndRecord {
  int endIndex = 0;
  Seat firstThrower = kSeatA;  // the other side has the hammer
  std::vector<StoneRecord> stones;
  bool finished = false;
  int scoreForA = 0;  // valid when finished
};

struct EngineSummary {
  std::string name;  // as the run calls the engine; "" when unnamed
  std::string command;
  std::string readyNote;  // empty when READYOK came in time
  std::string exit;       // how the process ended
  double thinkMsTotal = 0.0;
  double thinkMsMax = 0.0;
  int goCount = 0;
  int stonesLost = 0;
  // The engine's own clock, which may differ from the other's (time odds).
  double budgetMs = 0.0;
  double incMs = 0.0;
};

struct GameSettings {
  int ends = 10;
  float noise = float(game::kExecutionNoise);
  bool extraEnds = true;
  double goTimeoutMs = 60000.0;
  double budgetMs = 900000.0;  // thinking time per engine per game
  double incMs = 0.0;          // added to an engine's time after each of its stones
  int pauseMs = 5;
  bool recover = false;  // an engine that exits or crashes is restarted and loses only that stone
};

struct GameRecord {
  int gameIndex = 0;  // from 0
  uint64_t seed = 0;
  std::string runnerVersion;
  std::string libraryVersion;          // what the physics calls say of themselves
  std::string startedAt;               // UTC, ISO 8601
  std::vector<std::string> arguments;  // the runner's command line after its name
  GameSettings settings;
  EngineSummary engines[2];
  std::vector<EndRecord> ends;
  ScoreTable table;  // one entry per finished end
  bool complete = false;
  // The seat that forfeited, or -1. A forfeited game is complete, won by
  // the other seat, and ends with the stone that decided it.
  int forfeitSeat = -1;
  std::string forfeitReason;
};

// Who won a complete game: a forfeit decides it whatever the points, else
// the points do. The one place that says so, so that no output can give a
// forfeited game to the side that was ahead.
inline GameResult ResultOfGame(const GameRecord& game) {
  if (game.forfeitSeat == kSeatA) return GameResult::kWinB;
  if (game.forfeitSeat == kSeatB) return GameResult::kWinA;
  return ResultOf(game.table);
}
