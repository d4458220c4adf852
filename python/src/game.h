// One game as the environment plays it: the runner's rules (match/rules.h)
// around the physics, with a log of every stone for the game record. The
// agent plays seat A (side flag 0); seat B is the opponent, or the agent
// again in self-play.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/sheet.h"
#include "record/rules.h"
#include "physics_binding.h"
#include "sim/records.h"

// The observation, from one seat's side (see python/README.md).
constexpr int kObsStones = 32;      // own 8 stones (x, y), then the other side's 8
constexpr int kObsShot = 32;        // index of the next stone of the end, 0..16
constexpr int kObsEnd = 33;         // index of the current end, from 0
constexpr int kObsEndsLeft = 34;    // regular ends still to play after this one
constexpr int kObsScoreDiff = 35;   // own points minus the other side's
constexpr int kObsHammer = 36;      // 1 when this seat throws the end's last stone
constexpr int kObsSize = 37;

// Most ends a game can have: the slots of the record, then the extra ends.
constexpr int kMaxRegularEnds = 10;

struct LoggedStone {
  int endIndex = 0;
  int shotIndex = 0;
  Seat seat = kSeatA;
  Seat firstThrower = kSeatA;
  ShotVec vec{};
  uint64_t physicsSeed = 0;
  float before[16][2] = {};
  float after[16][2] = {};
  int scoreAsItLies = 0;  // for A
};

struct Game {
  GameState state{};       // the end in play; after the last end, as it finished
  uint64_t seed = 0;       // the stones' physics seeds are mixed from it
  Seat firstThrower = kSeatA;  // of the end in state
  ScoreTable table;        // finished ends, positive for A
  bool over = false;
  Seat lastThrower = kSeatA;
  std::vector<LoggedStone> log;  // this game's stones, for its record
};

struct GameRules {
  int ends = 8;
  float noise = float(game::kExecutionNoise);
};

// A new game with the given seed; the agent (A) has the first end's hammer
// when agentHammer is 1, not when 0, and by the seed's choice when -1.
void StartGame(Game* game, const GameRules& rules, uint64_t seed, int agentHammer);

// Throws the next stone with vec. True, with *endScoreForA set, when the
// stone finished an end; the next end is then set up unless the game is
// over.
bool PlayStone(Game* game, const GameRules& rules, const PhysicsCalls& physics, ShotVec vec,
               int* endScoreForA);

// The seat that throws the next stone (meaningless once the game is over).
Seat SeatToMove(const Game& game);

// The observation from seat's side, kObsSize floats.
void Observe(const Game& game, const GameRules& rules, Seat seat, float* out);

// Points of the finished ends, and the game's result from seat's side:
// +1 won, -1 lost, 0 drawn or not over.
int Points(const Game& game, Seat seat);
int Outcome(const Game& game, Seat seat);
