#include "tests/match/stand_in_physics.h"

#include <cmath>

namespace {

constexpr float kTeeX = 2.375f;
constexpr float kTeeY = 4.88f;
constexpr float kHouseReach = 1.975f;  // house radius + stone radius, m
constexpr float kReleaseY = 33.23f;    // near hog line, m
constexpr int kStones = 16;
constexpr int kScoreSlots = 10;

thread_local uint64_t randomState = 1;

// Uniform in [-1, 1), from a 64-bit linear congruential generator.
double NextOffset() {
  randomState = randomState * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<double>(randomState >> 11) / 4503599627370496.0 - 1.0;
}

bool InPlay(float x, float y) { return x > 0.145f && x < 4.605f && y > 2.905f && y < 11.135f; }

float TeeDistanceSquared(const float* stone) {
  const float dx = stone[0] - kTeeX;
  const float dy = stone[1] - kTeeY;
  return dx * dx + dy * dy;
}

int Score(const GameState* s) {
  const int thrown = s->shotIndex < kStones ? (s->shotIndex < 0 ? 0 : s->shotIndex) : kStones;
  const int sideZeroParity = (s->shotIndex + s->sideToMove) % 2;
  float best[2] = {1e30f, 1e30f};  // closest in-house stone of parity 0 and 1
  for (int i = 0; i < thrown; ++i) {
    const float d = TeeDistanceSquared(s->stones[i]);
    if (d < kHouseReach * kHouseReach && d < best[i % 2]) best[i % 2] = d;
  }
  const int winner = best[0] < best[1] ? 0 : (best[1] < best[0] ? 1 : -1);
  if (winner < 0) return 0;
  int points = 0;
  for (int i = winner; i < thrown; i += 2)
    if (TeeDistanceSquared(s->stones[i]) < best[1 - winner]) points++;
  return winner == sideZeroParity ? points : -points;
}

int Simulate(GameState* s, ShotVec vec, float noise, PathFrame* path, int capacity) {
  if (s->shotIndex < 0 || s->shotIndex >= kStones) return 0;
  const int k = s->shotIndex;
  float x = static_cast<float>(vec.vx + noise * NextOffset());
  float y = static_cast<float>(vec.vy + noise * NextOffset());
  if (!InPlay(x, y)) x = y = 0.0f;
  if (path && capacity > 0) {
    const int frames = capacity < 4 ? capacity : 4;
    for (int f = 0; f < frames; ++f) {
      path[f].time = f < 3 ? 0.5f * f : -1.0f;
      for (int i = 0; i < kStones; ++i)
        for (int c = 0; c < 2; ++c) path[f].stones[i][c] = s->stones[i][c];
      const float t = 0.5f * f;  // release, half way, rest
      path[f].stones[k][0] = f == 2 ? x : kTeeX + t * (x - kTeeX);
      path[f].stones[k][1] = f == 2 ? y : kReleaseY + t * (y - kReleaseY);
    }
  }
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

}  // namespace

PhysicsCalls StandInPhysics() { return PhysicsCalls{&Simulate, &Score, &Seed}; }
