// One sample of one candidate: the candidate thrown with the execution
// error, the end played out by the policy, the end's score read. Sample j
// seeds the physics' random engine the same way for every candidate
// (common random numbers), so differences between candidates show with
// far fewer samples, and a sample's outcome depends on (candidate, j)
// alone, whichever thread plays it.
#pragma once

#include <cstdint>

#include "search/physics.h"
#include "sim/records.h"

namespace search {

struct SampleJob {
  const GameState* root = nullptr;
  PhysicsCalls physics;
  uint64_t seed = 0;
  float noise = 0;
  int moverParity = 0;  // the root mover owns the stones of this parity
};

// The seed of sample j of a search seeded with seed.
uint64_t SampleSeed(uint64_t seed, uint64_t j);

// The end-score slot (ScoreSlot of the mover's score) of sample j of vec.
int SampleSlot(const SampleJob& job, const ShotVec& vec, uint64_t j);

}  // namespace search
