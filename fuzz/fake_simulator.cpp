#include "fuzz/fake_simulator.h"

#include <limits>

#include "sim/simulator.h"

namespace {

constexpr int kStones = game::kStonesPerEnd;
constexpr int kEndSlots = game::kEndSlots;
constexpr float kTeeX = float(sheet::kTeeX);
constexpr float kTeeY = float(sheet::kTeeY);
constexpr float kHouseRadius = float(sheet::kHouseReach);
constexpr float kHitReach = 0.3f;  // m: a hit removes a stone this close to its target

float TeeDistanceSquared(float x, float y) {
  const float dx = x - kTeeX;
  const float dy = y - kTeeY;
  return dx * dx + dy * dy;
}

bool Thrown(const GameState& state, int stone) {
  return state.stones[stone][0] != 0.0f || state.stones[stone][1] != 0.0f;
}

// One point to the side (by stone parity) of the stone nearest the tee in
// the house, positive for the side whose flag is 0.
int FakeScore(const GameState* state) {
  int best = -1;
  float bestDistance = kHouseRadius * kHouseRadius;
  for (int i = 0; i < kStones; ++i) {
    if (!Thrown(*state, i)) continue;
    const float d = TeeDistanceSquared(state->stones[i][0], state->stones[i][1]);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  if (best < 0) return 0;
  return best % 2 == 0 ? 1 : -1;
}

void Hit(GameState* state, int shot, float x, float y) {
  int nearest = -1;
  float nearestDistance = kHitReach * kHitReach;
  for (int i = 0; i < shot; ++i) {
    const float dx = state->stones[i][0] - x;
    const float dy = state->stones[i][1] - y;
    const float d = dx * dx + dy * dy;
    if (d < nearestDistance) {
      nearestDistance = d;
      nearest = i;
    }
  }
  if (nearest >= 0) {
    state->stones[nearest][0] = 0.0f;
    state->stones[nearest][1] = 0.0f;
  }
  state->stones[shot][0] = 0.0f;
  state->stones[shot][1] = 0.0f;
}

int FakeSimulation(GameState* state, ShotVec vec, float, PathFrame*, int) {
  const int32_t shot = state->shotIndex;
  if (shot < 0 || shot >= kStones) return 0;
  if (vec.vy < 0.0f) {
    Hit(state, shot, vec.vx, -vec.vy);
  } else {
    state->stones[shot][0] = vec.vx;
    state->stones[shot][1] = vec.vy;
  }
  state->sideToMove ^= 1;
  if (shot == kStones - 1) {
    if (state->endIndex >= 0 && state->endIndex < kEndSlots) {
      state->endScore[state->endIndex] = FakeScore(state);
    }
    if (state->endIndex < std::numeric_limits<int32_t>::max()) ++state->endIndex;
  }
  state->shotIndex = shot + 1;
  return 1;
}

int FakeCreateShot(ShotPos target, ShotVec* out) {
  out->vx = target.x;
  out->vy = target.y;
  out->curl = target.curl != 0 ? 1 : 0;
  return 1;
}

int FakeCreateHitShot(ShotPos target, float, ShotVec* out) {
  out->vx = target.x;
  out->vy = -target.y;
  out->curl = target.curl != 0 ? 1 : 0;
  return 1;
}

}  // namespace

void BindFakeSimulator() {
  Simulation = FakeSimulation;
  CreateShot = FakeCreateShot;
  CreateHitShot = FakeCreateHitShot;
  GetScore = FakeScore;
}
