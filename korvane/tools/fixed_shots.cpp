#include "korvane/tools/fixed_shots.h"

#include <cmath>
#include <cstring>

#include "korvane/korvane.h"

GameState EmptyEnd(int shotIndex) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.shotIndex = shotIndex;
  return s;
}

GameState SingleStone() {
  GameState s = EmptyEnd(1);
  s.stones[0][0] = 2.2f;
  s.stones[0][1] = 4.7f;
  return s;
}

GameState CrowdedEnd() {
  GameState s = EmptyEnd(12);
  const float spots[12][2] = {{2.375f, 4.88f}, {2.0f, 5.3f}, {2.8f, 5.1f}, {2.375f, 6.2f},
                              {1.6f, 4.4f},    {3.1f, 4.6f}, {2.2f, 7.9f}, {2.6f, 8.6f},
                              {1.9f, 3.6f},    {2.9f, 3.9f}, {1.2f, 5.6f}, {3.5f, 6.0f}};
  std::memcpy(s.stones, spots, sizeof spots);
  return s;
}

ShotPos Target(float x, float y, int curl) {
  ShotPos p;
  std::memset(&p, 0, sizeof p);
  p.x = x;
  p.y = y;
  p.curl = static_cast<uint8_t>(curl);
  return p;
}

ShotVec DrawTo(float x, float y, int curl) {
  ShotVec v;
  CreateShot(Target(x, y, curl), &v);
  return v;
}

ShotVec HitAt(float x, float y, float power, int curl) {
  ShotVec v;
  CreateHitShot(Target(x, y, curl), power, &v);
  return v;
}

float Lcg::Next(float lo, float hi) {
  state = state * 6364136223846793005ull + 1442695040888963407ull;
  return lo + (hi - lo) * static_cast<float>(state >> 40) / 16777216.0f;
}

ShotVec RandomShot(Lcg* lcg) {
  const float x = lcg->Next(1.2f, 3.5f), y = lcg->Next(3.0f, 9.0f);
  const int curl = lcg->Next(0, 1) < 0.5f ? 0 : 1;
  if (lcg->Next(0, 1) < 0.5f) return DrawTo(x, y, curl);
  return HitAt(x, y, lcg->Next(2.0f, 16.0f), curl);
}

void ContactShot(Lcg* lcg, int kind, GameState* state, ShotVec* vec) {
  constexpr float kRadius = float(sheet::kStoneRadius);
  *state = EmptyEnd(5 + static_cast<int>(lcg->Next(0, 7.999f)));
  for (int i = 0; i < state->shotIndex; ++i) {
    for (bool clear = false; !clear;) {
      state->stones[i][0] = lcg->Next(1.2f, 3.55f);
      state->stones[i][1] = lcg->Next(3.2f, 8.5f);
      clear = true;
      for (int j = 0; j < i; ++j) {
        const float dx = state->stones[j][0] - state->stones[i][0];
        const float dy = state->stones[j][1] - state->stones[i][1];
        clear = clear && dx * dx + dy * dy > (2 * kRadius + 0.001f) * (2 * kRadius + 0.001f);
      }
    }
  }
  const int target = static_cast<int>(lcg->Next(0, state->shotIndex - 0.001f));
  const float angle = lcg->Next(-1.05f, 1.05f);  // from the thrower's side, radians
  // A freeze aims at most 5 cm into the stone, so that it arrives at a crawl.
  const float reach = 2 * kRadius + (kind == kFreeze ? lcg->Next(-0.05f, 0.01f) : 0.0f);
  const float x = state->stones[target][0] + reach * std::sin(angle);
  const float y = state->stones[target][1] + reach * std::cos(angle);
  const int curl = lcg->Next(0, 1) < 0.5f ? 0 : 1;
  if (kind == kFreeze) {
    *vec = DrawTo(x, y, curl);
  } else {
    *vec = HitAt(x, y, kind == kTap ? lcg->Next(0.2f, 2.0f) : lcg->Next(2.0f, 16.0f), curl);
  }
}

namespace {

constexpr int kRandomCrowdedShots = 200;

void Play(GameState s, ShotVec v, void (*visit)(const GameState&, void*), void* context,
          int* shots) {
  Simulation(&s, v, 0.0f, nullptr, -1);
  visit(s, context);
  ++*shots;
}

}  // namespace

int PlayFixedShots(void (*visit)(const GameState& after, void* context), void* context) {
  int shots = 0;
  Play(EmptyEnd(0), DrawTo(float(sheet::kTeeX), float(sheet::kTeeY), 0), visit, context, &shots);
  Play(EmptyEnd(0), DrawTo(float(sheet::kTeeX), float(sheet::kTeeY), 1), visit, context, &shots);
  Play(SingleStone(), HitAt(2.2f, 4.7f, 16.0f, 0), visit, context, &shots);
  Play(SingleStone(), HitAt(2.3f, 4.7f, 8.0f, 1), visit, context, &shots);
  Lcg lcg;
  for (int k = 0; k < kRandomCrowdedShots; ++k)
    Play(CrowdedEnd(), RandomShot(&lcg), visit, context, &shots);
  return shots;
}

uint64_t FixedShotSignature(int* shots) {
  uint64_t h = 1469598103934665603ull;
  *shots = PlayFixedShots(
      [](const GameState& after, void* context) {
        uint64_t* hash = static_cast<uint64_t*>(context);
        const unsigned char* p = reinterpret_cast<const unsigned char*>(after.stones);
        for (size_t i = 0; i < sizeof after.stones; ++i) *hash = (*hash ^ p[i]) * 1099511628211ull;
      },
      &h);
  return h;
}
