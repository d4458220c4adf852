#include "strategy/candidate_search.h"

#include <cstdio>
#include <limits>

#include "sim/simulator.h"
#include "strategy/random_source.h"
#include "strategy/rollout.h"

int CandidateCountFor(int32_t shotIndex) {
  if (shotIndex == 14) return 800;
  if (shotIndex == 15) return 1200;
  if (shotIndex == 13) return 500;
  return 400;
}

int ChooseBestCandidate(const int32_t* reward, int count) {
  int32_t bestReward = std::numeric_limits<int32_t>::min();
  int best = 0;
  for (int i = 0; i < count; ++i) {
    if (reward[i] > bestReward) {
      bestReward = reward[i];
      best = i;
    }
  }
  return best;
}

void RandomCandidateSearch(const GameState& state, ShotVec* out) {
  ShotPos cand[kCandidateCapacity];
  int32_t reward[kCandidateCapacity] = {};
#pragma omp parallel
  {
    RandomShotSource shots;
    OpenRandomShotSource(&shots);
    Mt19937 mt;
    SeedMt19937(&mt, DrawSeed(&shots.seeds));
    RandomTargetDistributions distributions;
    const int candidateCount = CandidateCountFor(state.shotIndex);

    // Step 1, generation. Each thread fills one contiguous block of the table
    // from its own engine.
#pragma omp for schedule(static) nowait
    for (int i = 0; i < candidateCount; ++i) cand[i] = DrawRandomTarget(distributions, mt);

#pragma omp barrier

      // Step 2, scoring. A static loop over the same range hands every thread
      // the same block again, so each scores the candidates it generated.
#pragma omp for schedule(static)
    for (int i = 0; i < candidateCount; ++i) {
      ShotVec shotVec;
      CreateShot(cand[i], &shotVec);
      for (int r = 0; r < kRolloutsPerCandidate; ++r) {
        reward[i] = WrappingAdd(reward[i], RolloutValue(shotVec, state, &shots));
      }
    }

    // Step 3, the choice: once, after every block has been scored.
#pragma omp single
    {
      const int best = ChooseBestCandidate(reward, candidateCount);
      std::fprintf(stderr, "Result: %d, %f\n", best,
                   reward[best] / static_cast<double>(kRolloutsPerCandidate));
      std::fflush(stderr);
      CreateShot(cand[best], out);
    }
  }
}
