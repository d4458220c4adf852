// Per-thread random numbers for the execution error.
#pragma once

#include <cstdint>

namespace korvane {

// xoshiro256** state; small, fast and identical on every platform, so a
// seeded game replays the same everywhere.
struct Rng {
  uint64_t s[4];
};

void SeedRng(Rng* rng, uint64_t seed);
uint64_t NextU64(Rng* rng);
// Two independent standard normal deviates (Box-Muller).
void NormalPair(Rng* rng, double* a, double* b);

// The calling thread's engine, seeded from std::random_device on first use.
Rng* ThreadRng();

}  // namespace korvane
