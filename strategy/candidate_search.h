// Random-candidate search for the last stones of an end: random targets,
// each scored by rollouts, the best one played.
#pragma once

#include <cstdint>

#include "sim/records.h"

// Capacity of the candidate and reward tables; no shot needs more.
constexpr int kCandidateCapacity = 1500;
// Rollouts summed into each candidate's reward.
constexpr int kRolloutsPerCandidate = 10;

// Candidates drawn for a shot: 500, 800 and 1200 for shots 13, 14 and 15,
// 400 for any other.
int CandidateCountFor(int32_t shotIndex);

// Index of the first maximum of reward[0 .. count-1]; 0 when count <= 0.
int ChooseBestCandidate(const int32_t* reward, int count);

// Draws the candidates, scores them in parallel and writes into out the
// launch vector for the best one, made anew by CreateShot. Reports the
// choice and its mean rollout value on the standard error stream.
void RandomCandidateSearch(const GameState& state, ShotVec* out);
