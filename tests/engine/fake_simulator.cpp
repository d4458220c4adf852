#include "fake_simulator.h"

#include <limits>

#include "sim/simulator.h"

FakeCounts fakeCounts;

namespace {

constexpr int kStones = 16;
constexpr int kEndSlots = 10;
constexpr float kExpectedNoise = 0.145f;

FakeScript script;
// Bumped by every install, so that each test counts its threads afresh.
std::atomic<long> installGeneration{0};
thread_local long countedGeneration = -1;

void PlayHit(GameState* state, int32_t shot, ShotVec vec) {
  const int k = vec.curl != 0 ? 1 : 0;
  const bool removes = fakeCounts.hitsPlayed[k].fetch_add(1) < script.hitSuccesses[k];
  for (int i = 0; i < shot; ++i) {
    if (state->stones[i][0] == vec.vx && state->stones[i][1] == -vec.vy) {
      if (removes) {
        state->stones[i][0] = 0.0f;
        state->stones[i][1] = 0.0f;
      }
      break;
    }
  }
  state->stones[shot][0] = script.keepThrownStone ? 2.375f : 0.0f;
  state->stones[shot][1] = script.keepThrownStone ? 4.88f : 0.0f;
}

int EndScore(const GameState* state) {
  if (script.scoreStone < 0 || script.scoreStone >= kStones) return script.score;
  return state->stones[script.scoreStone][0] < kFakeCentreLineX ? script.score : -script.score;
}

int FakeSimulation(GameState* state, ShotVec vec, float noise, PathFrame* path, int capacity) {
  fakeCounts.simulation.fetch_add(1);
  const long generation = installGeneration.load();
  if (countedGeneration != generation) {
    countedGeneration = generation;
    fakeCounts.threads.fetch_add(1);
  }
  if (noise != kExpectedNoise || path != nullptr || capacity != -1) {
    fakeCounts.badArguments.fetch_add(1);
  }
  const int32_t shot = state->shotIndex;
  if (shot >= 0 && shot < kStones) {
    if (vec.vy < 0.0f) {
      PlayHit(state, shot, vec);
    } else {
      state->stones[shot][0] = vec.vx;
      state->stones[shot][1] = vec.vy;
    }
    state->sideToMove ^= 1;
    if (shot == kStones - 1) {
      if (state->endIndex >= 0 && state->endIndex < kEndSlots) {
        state->endScore[state->endIndex] = EndScore(state);
      }
      if (state->endIndex < std::numeric_limits<int32_t>::max()) ++state->endIndex;
    }
  }
  if (shot < std::numeric_limits<int32_t>::max()) state->shotIndex = shot + 1;
  return 1;
}

int FakeCreateShot(ShotPos target, ShotVec* out) {
  fakeCounts.createShot.fetch_add(1);
  out->vx = target.x;
  out->vy = target.y;
  out->curl = target.curl;
  return 1;
}

int FakeCreateHitShot(ShotPos target, float power, ShotVec* out) {
  fakeCounts.createHitShot.fetch_add(1);
  if (power == 16.0f) fakeCounts.heavyHits.fetch_add(1);
  if (power == 8.0f) fakeCounts.lightHits.fetch_add(1);
  out->vx = target.x;
  out->vy = -target.y;
  out->curl = target.curl;
  return 1;
}

int FakeGetScore(const GameState* state) { return EndScore(state); }

}  // namespace

void InstallFakeSimulator(const FakeScript& newScript) {
  script = newScript;
  fakeCounts.simulation = 0;
  fakeCounts.createShot = 0;
  fakeCounts.createHitShot = 0;
  fakeCounts.heavyHits = 0;
  fakeCounts.lightHits = 0;
  fakeCounts.badArguments = 0;
  fakeCounts.threads = 0;
  fakeCounts.hitsPlayed[0] = 0;
  fakeCounts.hitsPlayed[1] = 0;
  installGeneration.fetch_add(1);
  Simulation = FakeSimulation;
  CreateShot = FakeCreateShot;
  CreateHitShot = FakeCreateHitShot;
  GetScore = FakeGetScore;
}
