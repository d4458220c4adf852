// The one-ply greedy player, a deliberately simple reference opponent: a
// fixed list of candidate shots, each played a few times with execution
// error on a copy of the record, and the one whose mean "score if the end
// ended now" is best for the side to move.
#pragma once

#include <string>

#include "sim/physics_calls.h"
#include "sim/records.h"
#include "sim/sheet.h"

namespace greedy {

// Draw targets: a grid over the house and one over the guard zone, each
// thrown with both turns.
constexpr int kHouseColumns = 5;
constexpr int kHouseRows = 4;
constexpr int kGuardColumns = 3;
constexpr int kGuardRows = 2;
constexpr int kDrawCandidates = 2 * (kHouseColumns * kHouseRows + kGuardColumns * kGuardRows);
// Hits: every opponent stone in play at two weights, both turns.
constexpr int kHitWeights = 2;
constexpr float kLightHitPower = 8.0f;  // m of travel left at the stone
constexpr float kFirmHitPower = 16.0f;  // m
constexpr int kMaxCandidates = kDrawCandidates + 2 * kHitWeights * (game::kStonesPerEnd / 2);

struct Settings {
  int samples = 16;                                         // noisy plays per candidate
  float noise = static_cast<float>(game::kExecutionNoise);  // m
  bool parallel = true;  // OpenMP over the candidates; off for a caller that runs its own threads
};

// The candidates for the side to move in state, launch vectors from the
// physics' CreateShot and CreateHitShot. Returns how many were written
// (at most kMaxCandidates).
int MakeCandidates(const GameState& state, const PhysicsCalls& physics, ShotVec out[]);

// The score the end would give as the stones lie after vec is played from
// state, from the view of the side that threw it.
int MoverScoreAfter(const GameState& state, const PhysicsCalls& physics, ShotVec vec, float noise);

// Fills out with the candidate of best mean mover's score over
// settings.samples plays (the first one on a tie).
void GreedyShot(const GameState& state, const PhysicsCalls& physics, const Settings& settings,
                ShotVec* out);

// One line that says how the player is set, for records of measurements.
std::string Describe(const Settings& settings);

}  // namespace greedy
