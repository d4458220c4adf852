// Self-play of whole ends from an empty sheet, counting what the hammer
// side scores: the end-score distribution that the win table is built from.
#pragma once

#include <cstdint>

#include "bench/win_table/players.h"
#include "search/win_table.h"
#include "sim/physics_calls.h"
#include "sim/records.h"

namespace win_table {

// Seeds the calling thread's physics random engine (Korvane's KorvaneSeed).
using SeedFn = void (*)(uint64_t seed);

struct MeasureSettings {
  int ends = 0;
  uint64_t seed = 0;
  int threads = 1;
  float noise = 0.0f;     // m, the execution error of every thrown stone
  bool progress = false;  // a line on the standard error stream every tenth of the run
};

// count[s + search::kMaxEndScore]: ends in which the hammer side scored s.
struct EndScoreCounts {
  long long count[search::kEndScoreSlots];
};

// Plays one end, all sixteen stones chosen by play, from an empty sheet with
// the side of flag firstFlag throwing first (so the other side holds the
// hammer). Returns what the hammer side scored.
int PlayEnd(PlayerFn play, const PhysicsCalls& physics, float noise, int firstFlag);

// The physics seed of end `end` of a run: each end is played from a seed of
// its own, so the counts do not depend on the number of threads.
uint64_t EndSeed(uint64_t runSeed, int end);

// Plays settings.ends ends on settings.threads threads. The side that
// throws first alternates from end to end, so both flags hold the hammer
// equally often.
EndScoreCounts MeasureEndScores(PlayerFn play, const PhysicsCalls& physics, SeedFn seed,
                                const MeasureSettings& settings);

}  // namespace win_table
