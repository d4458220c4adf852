#include "korvane/rng.h"

#include <cmath>
#include <random>

#include "sim/splitmix.h"

namespace korvane {
namespace {

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t DeviceSeed() {
  std::random_device device;
  return (static_cast<uint64_t>(device()) << 32) ^ device();
}

struct ThreadEngine {
  Rng rng;
  ThreadEngine() { SeedRng(&rng, DeviceSeed()); }
};

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

void SeedRng(Rng* rng, uint64_t seed) {
  uint64_t k = 0;
  for (uint64_t& word : rng->s) word = SplitMix64(seed, k++);
}

uint64_t NextU64(Rng* rng) {
  uint64_t* s = rng->s;
  const uint64_t result = Rotl(s[1] * 5, 7) * 9;
  const uint64_t t = s[1] << 17;
  s[2] ^= s[0];
  s[3] ^= s[1];
  s[1] ^= s[2];
  s[0] ^= s[3];
  s[2] ^= t;
  s[3] = Rotl(s[3], 45);
  return result;
}

void NormalPair(Rng* rng, double* a, double* b) {
  // u1 in (0, 1], so log(u1) is finite.
  const double u1 = (static_cast<double>(NextU64(rng) >> 11) + 1.0) * 0x1.0p-53;
  const double u2 = static_cast<double>(NextU64(rng) >> 11) * 0x1.0p-53;
  const double r = std::sqrt(-2.0 * std::log(u1));
  *a = r * std::cos(kTwoPi * u2);
  *b = r * std::sin(kTwoPi * u2);
}

Rng* ThreadRng() {
  thread_local ThreadEngine engine;
  return &engine.rng;
}

}  // namespace korvane
