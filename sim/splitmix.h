// SplitMix64 (Steele, Lea and Flood, "Fast splittable pseudorandom number
// generators", OOPSLA 2014): a 64-bit counter stepped by the golden ratio
// and a strong bit mixer. Every side uses it to turn one seed into
// unrelated ones (the physics' random engine, a stone's seed, a pair's
// seed), so it is written once, here.
#pragma once

#include <cstdint>

// Output number `index` (from 0) of the SplitMix64 stream seeded with seed.
// Each output depends on the seed and the index alone, so any one of them
// can be had without the others.
constexpr uint64_t SplitMix64(uint64_t seed, uint64_t index) {
  uint64_t z = seed + 0x9E3779B97F4A7C15ull * (index + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
