// Successive halving: every candidate starts with a sample, then the
// candidates still in the race get an equal share of the samples left,
// the better half is kept, and so on until one is left or the budget is
// spent. Samples go where they can still change the choice. The whole
// search is one parallel region; threads take samples from a shared
// counter and meet only between rounds.
#pragma once

#include <cstdint>
#include <vector>

#include "search/budget.h"
#include "search/candidates.h"
#include "search/end_value.h"
#include "search/sampling.h"

namespace search {

// What the samples of one candidate came to: how many ends scored each s.
struct Arm {
  int64_t counts[kEndScoreSlots] = {};
  int64_t n = 0;
  double mean = 0;  // mean P(win) over its samples
};

struct HalvingResult {
  int best = 0;                // index into the candidates
  int rounds = 0;              // halvings done
  int64_t finalSamples = 0;    // samples each finalist was meant to have
  std::vector<int> finalists;  // the candidates still in the race, best first
};

// Runs successive halving over every candidate; arms gets one entry per
// candidate. Sample j of every candidate shares its noise (SampleJob).
HalvingResult SuccessiveHalving(const SampleJob& job, const EndValues& values,
                                const std::vector<Candidate>& cands, int threads, Budget* budget,
                                std::vector<Arm>* arms);

// Plays samples [from, to) of each listed candidate (all of them, unless
// the deadline comes first) and adds them to arms. For refinements that
// compare new candidates with old ones on the same samples.
void PlaySamples(const SampleJob& job, const EndValues& values,
                 const std::vector<Candidate>& cands, const std::vector<int>& which, int64_t from,
                 int64_t to, int threads, Budget* budget, std::vector<Arm>* arms);

// Orders candidates best first by mean, the lower index first on a tie.
void RankByMean(const std::vector<Arm>& arms, std::vector<int>* indices);

void UpdateMean(const EndValues& values, Arm* arm);

}  // namespace search
