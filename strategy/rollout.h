// Rollout evaluation: the value of one shot, played with execution error and
// followed by random shots to the end of the end.
#pragma once

#include <cstdint>
#include <random>

#include "sim/records.h"
#include "strategy/random_source.h"

// Rectangle of the random targets, m: a stone resting there lies wholly
// between the side lines and wholly in front of the back line, and reaches
// at most a stone's radius beyond the far hog line. Float constants,
// widened to double for the uniform draws over [min, max).
constexpr float kRandomXMin = float(sheet::kStoneRadius);
constexpr float kRandomXMax = float(sheet::kWidth - sheet::kStoneRadius);
constexpr float kRandomYMin = float(sheet::kBackLineY + sheet::kStoneRadius);
constexpr float kRandomYMax = float(sheet::kFarHogY + sheet::kStoneRadius);
// The draws depend on these floats to the bit.
static_assert(kRandomXMin == 0.145f && kRandomXMax == 4.605f, "random target rectangle, x");
static_assert(kRandomYMin == 3.195f && kRandomYMax == 11.425f, "random target rectangle, y");

// The three draws of a random target, in the order they are taken.
struct RandomTargetDistributions {
  std::uniform_real_distribution<double> randX{static_cast<double>(kRandomXMin),
                                               static_cast<double>(kRandomXMax)};
  std::uniform_real_distribution<double> randY{static_cast<double>(kRandomYMin),
                                               static_cast<double>(kRandomYMax)};
  std::uniform_int_distribution<int> randAngle{0, 1};
};

// Draws x, then y, then the rotation from engine into a target.
template <typename Engine>
ShotPos DrawRandomTarget(RandomTargetDistributions& d, Engine& engine) {
  ShotPos pos{};
  pos.x = static_cast<float>(d.randX(engine));
  pos.y = static_cast<float>(d.randY(engine));
  pos.curl = d.randAngle(engine) != 0 ? 1 : 0;
  return pos;
}

// Random targets drawn ahead in batches, one per thread and search. Every
// target still comes from its own freshly seeded MT19937 with its own seed
// from the thread's non-deterministic source; the batch only lets the
// engines' seeding run side by side.
constexpr int kRandomShotBatch = 32;

struct RandomShotSource {
  SeedSource seeds;
  RandomTargetDistributions distributions;
  ShotPos targets[kRandomShotBatch];
  int next = kRandomShotBatch;  // index of the next unused target
};

// Opens the thread's seed source; no target is drawn yet.
void OpenRandomShotSource(RandomShotSource* source);

// The next random target: uniform over the rectangle, with a random curl.
ShotPos NextRandomTarget(RandomShotSource* source);

// A draw to the next random target, made by CreateShot.
ShotVec RandomShot(RandomShotSource* source);

// Plays vec on a copy of state, then random shots until the sixteenth stone,
// and returns the completed end's score for the side to move in state
// (positive is good for it). 0 when the rollout completes no end. An extra
// end (endIndex outside the ten score slots) is played as slot 9, so that
// its score can still be read.
int32_t RolloutValue(ShotVec vec, const GameState& state, RandomShotSource* shots);

// 32-bit sums and negations that wrap instead of overflowing.
inline int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrappingNegate(int32_t a) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
