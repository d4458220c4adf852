#include "game.h"

#include <algorithm>
#include <cstring>

#include "record/shot_record.h"
#include "sim/sheet.h"

namespace {

void StartEnd(Game* game, const GameRules& rules) {
  GameState& s = game->state;
  std::memset(&s, 0, sizeof s);
  s.endIndex = static_cast<int32_t>(game->table.endScores.size());
  s.lastEnd = LastEndToSend(rules.ends, s.endIndex);
  for (int k = 0; k < s.endIndex && k < kMaxRegularEnds; ++k) s.endScore[k] = game->table.endScores[k];
  s.sideToMove = static_cast<uint8_t>(SideFlag(game->firstThrower));
}

}  // namespace

void StartGame(Game* game, const GameRules& rules, uint64_t seed, int agentHammer) {
  game->seed = seed;
  game->table.endScores.clear();
  game->over = false;
  game->log.clear();
  // Not the seed's low bit, which callers that count seeds up alternate.
  const bool hammer = agentHammer < 0 ? (StoneSeed(seed, -1, 0) >> 63) != 0 : agentHammer == 1;
  game->firstThrower = hammer ? kSeatB : kSeatA;
  StartEnd(game, rules);
}

Seat SeatToMove(const Game& game) { return game.state.sideToMove == 0 ? kSeatA : kSeatB; }

bool PlayStone(Game* game, const GameRules& rules, const PhysicsCalls& physics, ShotVec vec,
               int* endScoreForA) {
  GameState& s = game->state;
  LoggedStone stone;
  stone.endIndex = s.endIndex;
  stone.shotIndex = s.shotIndex;
  stone.seat = SeatToMove(*game);
  stone.firstThrower = game->firstThrower;
  stone.vec = vec;
  stone.vec.curl = vec.curl != 0 ? 1 : 0;
  stone.physicsSeed = StoneSeed(game->seed, s.endIndex, s.shotIndex);
  std::memcpy(stone.before, s.stones, sizeof stone.before);
  game->lastThrower = stone.seat;
  physics.seed(stone.physicsSeed);
  physics.simulate(&s, stone.vec, rules.noise, nullptr, -1);
  stone.scoreAsItLies = physics.getScore(&s);
  std::memcpy(stone.after, s.stones, sizeof stone.after);
  game->log.push_back(stone);
  if (s.shotIndex < ::game::kStonesPerEnd) return false;
  *endScoreForA = stone.scoreAsItLies;
  game->table.endScores.push_back(stone.scoreAsItLies);
  game->over = !AnotherEnd(game->table, rules.ends, true);
  // A finished game keeps its last end in view, with that end's thrower.
  if (!game->over) {
    game->firstThrower = FirstThrowerAfter(game->firstThrower, stone.scoreAsItLies);
    StartEnd(game, rules);
  }
  return true;
}

void Observe(const Game& game, const GameRules& rules, Seat seat, float* out) {
  const GameState& s = game.state;
  const Seat first = game.firstThrower;  // owns the even stones
  const int ownParity = seat == first ? 0 : 1;
  for (int k = 0; k < 8; ++k) {
    for (int c = 0; c < 2; ++c) {
      out[2 * k + c] = s.stones[2 * k + ownParity][c];
      out[16 + 2 * k + c] = s.stones[2 * k + 1 - ownParity][c];
    }
  }
  const int played = static_cast<int>(game.table.endScores.size());
  const int end = game.over ? played - 1 : s.endIndex;
  out[kObsShot] = static_cast<float>(game.over ? ::game::kStonesPerEnd : s.shotIndex);
  out[kObsEnd] = static_cast<float>(end);
  out[kObsEndsLeft] = static_cast<float>(std::max(rules.ends - end - 1, 0));
  out[kObsScoreDiff] = static_cast<float>(Points(game, seat) - Points(game, Opponent(seat)));
  out[kObsHammer] = first != seat ? 1.0f : 0.0f;
}

int Points(const Game& game, Seat seat) { return PointsFor(game.table, seat); }

int Outcome(const Game& game, Seat seat) {
  if (!game.over) return 0;
  const int diff = Points(game, seat) - Points(game, Opponent(seat));
  return diff > 0 ? 1 : diff < 0 ? -1 : 0;
}
