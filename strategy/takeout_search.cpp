#include "strategy/takeout_search.h"

#include <cstdio>

#include "sim/simulator.h"
#include "strategy/geometry.h"

int ChooseTakeoutVector(unsigned count0, unsigned count1) { return count1 > count0 ? 1 : 0; }

void TakeoutTrialSearch(const GameState& state, int32_t target, float power, ShotVec* out) {
  unsigned successes[2] = {0, 0};
#pragma omp parallel
  {
    // Each worker makes both vectors itself: the simulator returns the same
    // vector for the same arguments, so no vector has to be shared.
    ShotPos aim{};
    aim.x = state.stones[target][0];
    aim.y = state.stones[target][1];
    ShotVec vec[2];
    aim.curl = 0;
    CreateHitShot(aim, power, &vec[0]);
    aim.curl = 1;
    CreateHitShot(aim, power, &vec[1]);
    GameState scratch;

    // Only the target stone decides a trial, whatever became of the others.
#pragma omp for schedule(static) reduction(+ : successes[:2])
    for (int trial = 0; trial < kTrialCount; ++trial) {
      for (int k = 0; k < 2; ++k) {
        scratch = state;
        Simulation(&scratch, vec[k], float(game::kExecutionNoise), nullptr, -1);
        if (!IsInHouse(scratch.stones[target][0], scratch.stones[target][1])) ++successes[k];
      }
    }

    // The loop's closing barrier has made the totals complete.
#pragma omp single
    {
      const int best = ChooseTakeoutVector(successes[0], successes[1]);
      for (int k = 0; k < 2; ++k) {
        std::fprintf(stderr, "shot[%d] (%u/%d)\n", k, successes[k], kTrialCount);
        std::fflush(stderr);
      }
      std::fprintf(stderr, "best_num = %d\n", best);
      std::fflush(stderr);
      *out = vec[best];
    }
  }
}
