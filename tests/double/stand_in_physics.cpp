#include "tests/double/stand_in_physics.h"

#include <algorithm>

namespace {

constexpr float kTeeX = float(sheet::kTeeX);
constexpr float kTeeY = float(sheet::kTeeY);
constexpr float kHouseReach = float(sheet::kHouseReach);
constexpr int kStones = game::kStonesPerEnd;
constexpr int kScoreSlots = game::kEndSlots;

thread_local uint64_t randomState = 1;

// Uniform in [-1, 1), from a 64-bit linear congruential generator.
double NextOffset() {
  randomState = randomState * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<double>(randomState >> 11) / 4503599627370496.0 - 1.0;
}

bool InPlay(float x, float y) { return x > 0.145f && x < 4.605f && y > 2.905f && y < 11.135f; }

// Squared distance from the tee for a stone in the house, else "far".
float HouseDistance(const float* stone) {
  const float d = (stone[0] - kTeeX) * (stone[0] - kTeeX) + (stone[1] - kTeeY) * (stone[1] - kTeeY);
  return d < kHouseReach * kHouseReach ? d : 1e30f;
}

int Score(const GameState* s) {
  const int thrown = std::min(std::max(s->shotIndex, 0), kStones);
  const int sideZeroParity = (s->shotIndex + s->sideToMove) % 2;
  float best[2] = {1e30f, 1e30f};  // closest in-house stone of parity 0 and 1
  for (int i = 0; i < thrown; ++i) best[i % 2] = std::min(best[i % 2], HouseDistance(s->stones[i]));
  const int winner = best[0] < best[1] ? 0 : (best[1] < best[0] ? 1 : -1);
  if (winner < 0) return 0;
  int points = 0;
  for (int i = winner; i < thrown; i += 2) points += HouseDistance(s->stones[i]) < best[1 - winner];
  return winner == sideZeroParity ? points : -points;
}

int Simulate(GameState* s, ShotVec vec, float noise, PathFrame*, int) {
  if (s->shotIndex < 0 || s->shotIndex >= kStones) return 0;
  const int k = s->shotIndex;
  float x = static_cast<float>(vec.vx + noise * NextOffset());
  float y = static_cast<float>(vec.vy + noise * NextOffset());
  if (!InPlay(x, y)) x = y = 0.0f;
  s->stones[k][0] = x;
  s->stones[k][1] = y;
  s->shotIndex++;
  s->sideToMove ^= 1;
  if (s->shotIndex == kStones) {
    if (s->endIndex >= 0 && s->endIndex < kScoreSlots) s->endScore[s->endIndex] = Score(s);
    s->endIndex++;
  }
  return 1;
}

void Seed(uint64_t seed) { randomState = seed * 2 + 1; }

const char* Version() { return "stand-in physics"; }

}  // namespace

PhysicsCalls StandInPhysics() { return PhysicsCalls{&Simulate, &Score, &Seed, &Version}; }
