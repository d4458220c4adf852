#include "strategy/rollout.h"

#include "sim/simulator.h"
#include "strategy/random_source.h"

namespace {

// A play-out follows the candidate only when it leaves the end at these
// shots; anything else (every stone thrown, or a next end's 0) is complete
// or not in play.
constexpr int32_t kFirstPlayoutShot = 11;
constexpr int32_t kLastPlayoutShot = game::kStonesPerEnd - 1;

}  // namespace

void OpenRandomShotSource(RandomShotSource* source) {
  OpenSeedSource(&source->seeds);
  source->next = kRandomShotBatch;
}

ShotPos NextRandomTarget(RandomShotSource* source) {
  if (source->next == kRandomShotBatch) {
    uint32_t seeds[kRandomShotBatch];
    for (uint32_t& seed : seeds) seed = DrawSeed(&source->seeds);
    PreparedMt19937 engines[kRandomShotBatch];
    PrepareMt19937Batch(engines, seeds, kRandomShotBatch);
    for (int k = 0; k < kRandomShotBatch; ++k) {
      source->targets[k] = DrawRandomTarget(source->distributions, engines[k]);
    }
    source->next = 0;
  }
  return source->targets[source->next++];
}

ShotVec RandomShot(RandomShotSource* source) {
  const ShotPos pos = NextRandomTarget(source);
  ShotVec vec;
  CreateShot(pos, &vec);
  return vec;
}

int32_t RolloutValue(ShotVec vec, const GameState& state, RandomShotSource* shots) {
  GameState scratch = state;
  // An extra end (or a negative index) has no score slot, and the simulator
  // scores only into slots 0..9. Played as the table's last end, the
  // rollout still sees the score of the end it completes.
  if (scratch.endIndex < 0 || scratch.endIndex >= game::kEndSlots) {
    scratch.endIndex = game::kEndSlots - 1;
  }
  const int32_t playedEnd = scratch.endIndex;

  Simulation(&scratch, vec, float(game::kExecutionNoise), nullptr, -1);
  int32_t n = scratch.shotIndex;
  const int32_t limit = (n >= kFirstPlayoutShot && n <= kLastPlayoutShot) ? game::kStonesPerEnd : 0;
  while (n < limit) {
    const ShotVec next = RandomShot(shots);
    Simulation(&scratch, next, float(game::kExecutionNoise), nullptr, -1);
    ++n;
  }

  // The shot that completes an end moves endIndex on by one; without it no
  // end was scored.
  if (scratch.endIndex != playedEnd + 1) return 0;
  const int32_t v = scratch.endScore[playedEnd];
  return state.sideToMove != 0 ? WrappingNegate(v) : v;
}
