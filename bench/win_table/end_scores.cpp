#include "bench/win_table/end_scores.h"

#include <omp.h>

#include <algorithm>
#include <cstdio>

#include "sim/sheet.h"

namespace win_table {

int PlayEnd(PlayerFn play, const PhysicsCalls& physics, float noise, int firstFlag) {
  // The first end of a tied ten-end game: a player that reads the game
  // situation sees the same one in every end.
  GameState state{};
  state.lastEnd = game::kEndSlots - 1;
  state.sideToMove = static_cast<uint8_t>(firstFlag);
  for (int stone = 0; stone < game::kStonesPerEnd; ++stone) {
    ShotVec vec{};
    play(state, physics, &vec);
    physics.simulate(&state, vec, noise, nullptr, -1);
  }
  // GetScore counts for flag 0; the hammer is the side that threw second.
  const int score = physics.getScore(&state);
  const int hammer = firstFlag == 0 ? -score : score;
  return std::clamp(hammer, -search::kMaxEndScore, search::kMaxEndScore);
}

uint64_t EndSeed(uint64_t runSeed, int end) {
  // Korvane mixes its seed with SplitMix64, so distinct inputs are enough.
  return runSeed * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(end);
}

EndScoreCounts MeasureEndScores(PlayerFn play, const PhysicsCalls& physics, SeedFn seed,
                                const MeasureSettings& settings) {
  EndScoreCounts total{};
  const int tenth = std::max(1, settings.ends / 10);
  int done = 0;
#pragma omp parallel num_threads(std::max(1, settings.threads))
  {
    EndScoreCounts mine{};
#pragma omp for schedule(dynamic)
    for (int end = 0; end < settings.ends; ++end) {
      seed(EndSeed(settings.seed, end));
      ++mine.count[PlayEnd(play, physics, settings.noise, end % 2) + search::kMaxEndScore];
      int finished;
#pragma omp atomic capture
      finished = ++done;
      if (settings.progress && finished % tenth == 0)
        std::fprintf(stderr, "%d of %d ends\n", finished, settings.ends);
    }
#pragma omp critical
    for (int s = 0; s < search::kEndScoreSlots; ++s) total.count[s] += mine.count[s];
  }
  return total;
}

}  // namespace win_table
