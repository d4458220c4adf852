#include "bench/greedy/greedy.h"

#include <cstdio>

namespace greedy {
namespace {

// House grid, m from the tee: across, and along y (positive toward the
// thrower, where a stone in front of the tee also guards it).
constexpr float kHouseOffsetsX[kHouseColumns] = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};
constexpr float kHouseOffsetsY[kHouseRows] = {-0.8f, 0.0f, 0.6f, 1.2f};
// Guard grid, m from the tee: both rows lie outside the house and short of
// the far hog line, where the free guard zone protects a stone.
constexpr float kGuardOffsetsX[kGuardColumns] = {-0.7f, 0.0f, 0.7f};
constexpr float kGuardOffsetsY[kGuardRows] = {2.6f, 4.0f};
constexpr float kHitPowers[kHitWeights] = {kLightHitPower, kFirmHitPower};

ShotPos Target(float dx, float dy, int curl) {
  ShotPos p{};
  p.x = static_cast<float>(sheet::kTeeX) + dx;
  p.y = static_cast<float>(sheet::kTeeY) + dy;
  p.curl = static_cast<uint8_t>(curl);
  return p;
}

// Out of play is stored as (0, 0), a point off the sheet.
bool InPlay(const float stone[2]) { return stone[0] != 0.0f || stone[1] != 0.0f; }

}  // namespace

int MakeCandidates(const GameState& state, const PhysicsCalls& physics, ShotVec out[]) {
  int n = 0;
  for (int curl = 0; curl < 2; ++curl) {
    for (const float dx : kHouseOffsetsX) {
      for (const float dy : kHouseOffsetsY) physics.createShot(Target(dx, dy, curl), &out[n++]);
    }
    for (const float dx : kGuardOffsetsX) {
      for (const float dy : kGuardOffsetsY) physics.createShot(Target(dx, dy, curl), &out[n++]);
    }
  }
  // The opponent owns the stones of the other parity than shotIndex.
  const int thrown = state.shotIndex < game::kStonesPerEnd ? state.shotIndex : game::kStonesPerEnd;
  for (int i = (state.shotIndex + 1) % 2; i < thrown; i += 2) {
    if (!InPlay(state.stones[i])) continue;
    for (const float power : kHitPowers) {
      for (int curl = 0; curl < 2; ++curl) {
        ShotPos p{};
        p.x = state.stones[i][0];
        p.y = state.stones[i][1];
        p.curl = static_cast<uint8_t>(curl);
        physics.createHitShot(p, power, &out[n++]);
      }
    }
  }
  return n;
}

int MoverScoreAfter(const GameState& state, const PhysicsCalls& physics, ShotVec vec, float noise) {
  GameState copy = state;
  physics.simulate(&copy, vec, noise, nullptr, -1);
  // GetScore counts for the side whose flag is 0.
  const int score = physics.getScore(&copy);
  return state.sideToMove == 0 ? score : -score;
}

void GreedyShot(const GameState& state, const PhysicsCalls& physics, const Settings& settings,
                ShotVec* out) {
  ShotVec candidates[kMaxCandidates];
  const int n = MakeCandidates(state, physics, candidates);
  long totals[kMaxCandidates] = {};
#pragma omp parallel for schedule(dynamic) if (settings.parallel)
  for (int c = 0; c < n; ++c) {
    long total = 0;
    for (int s = 0; s < settings.samples; ++s) {
      total += MoverScoreAfter(state, physics, candidates[c], settings.noise);
    }
    totals[c] = total;
  }
  // Every candidate has the same number of samples: the best total is the
  // best mean.
  int best = 0;
  for (int c = 1; c < n; ++c) {
    if (totals[c] > totals[best]) best = c;
  }
  *out = candidates[best];
}

std::string Describe(const Settings& settings) {
  char text[160];
  std::snprintf(text, sizeof text,
                "one-ply greedy: %d draws and up to %d hits, %d samples each at noise %g m",
                kDrawCandidates, kMaxCandidates - kDrawCandidates, settings.samples,
                static_cast<double>(settings.noise));
  return text;
}

}  // namespace greedy
