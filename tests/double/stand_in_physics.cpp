#include "tests/double/stand_in_physics.h"

#include "tests/double/stand_in.h"

namespace {

thread_local uint64_t randomState = 1;

// Uniform in [-1, 1), from a 64-bit linear congruential generator.
double NextOffset() {
  randomState = randomState * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<double>(randomState >> 11) / 4503599627370496.0 - 1.0;
}

int Simulate(GameState* s, ShotVec vec, float noise, PathFrame*, int) {
  if (!StartThrow(s)) return 0;
  float x = static_cast<float>(vec.vx + noise * NextOffset());
  float y = static_cast<float>(vec.vy + noise * NextOffset());
  if (!RestsInPlay(x, y)) {
    x = float(sheet::kOutX);
    y = float(sheet::kOutY);
  }
  s->stones[s->shotIndex][0] = x;
  s->stones[s->shotIndex][1] = y;
  FinishThrow(s, ClosestStoneScore);
  return 1;
}

void Seed(uint64_t seed) { randomState = seed * 2 + 1; }

const char* Version() { return "stand-in physics"; }

}  // namespace

RunnerPhysics StandInPhysics() {
  return RunnerPhysics{&Simulate, &ClosestStoneScore, &Seed, &Version};
}
