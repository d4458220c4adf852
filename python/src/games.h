// Many games stepped at once: the agent's stones, then the built-in
// opponent's, for every game of a batch in one call, in threads. The
// environments of the Python package are views of one of these.
#pragma once

#include <cstdint>
#include <vector>

#include "game.h"
#include "opponents.h"
#include "physics_binding.h"

enum class ActionKind { kTarget, kVelocity };
enum class RewardKind { kWin, kEnd };

struct GamesConfig {
  GameRules rules;
  OpponentOptions opponent;
  ActionKind action = ActionKind::kTarget;
  RewardKind reward = RewardKind::kWin;
  int threads = 0;  // 0: every processor
};

struct Games {
  GamesConfig config;
  PhysicsCalls physics;
  std::vector<Game> games;
};

// What a call leaves for each game of the batch; arrays of games.size()
// (obs: times kObsSize), only the entries of the games it touched written.
// obs is from the agent's side: seat A, or in self-play the side to move
// (at the end of the game, the side that threw the last stone). reward is
// for the agent: seat A, or in self-play the side that threw the stone.
struct StepOutputs {
  float* obs;
  float* reward;
  uint8_t* terminated;
  uint8_t* awaiting;  // an external opponent is to move
};

// The launch vector of an action: a draw target or a launch vector, with
// the curl as a float that is 0 or 1.
ShotVec ActionShot(const PhysicsCalls& physics, ActionKind kind, const float* action);

// Starts a new game in every game where mask is set, with seeds[i] and
// hammer[i] (1: the agent has it, 0: not, -1: the seed decides), and plays
// the opponent's stones up to the agent's first.
void ResetGames(Games* games, const uint8_t* mask, const uint64_t* seeds, const int8_t* hammer,
                const StepOutputs& out);

// Plays actions[i] (3 floats) in every game where mask is set and the game
// is not over, then the built-in opponent's stones up to the agent's next;
// where restart is set instead, starts a new game as ResetGames does (with
// seeds[i], the seed deciding the hammer). One call, so that one team of
// threads does both.
void StepGames(Games* games, const uint8_t* mask, const float* actions, const uint8_t* restart,
               const uint64_t* seeds, const StepOutputs& out);

// Plays an external opponent's actions where mask is set and it is to
// move, then continues as StepGames; rewards add to those already written.
void OpponentMoves(Games* games, const uint8_t* mask, const float* actions,
                   const StepOutputs& out);
