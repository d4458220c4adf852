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

// Runs successive halving over the candidates in alive (a fresh race:
// their arms start empty) until at most keep are left or the budget is
// spent, spending about share of what the budget has left. alive ends
// best first; returns the halvings done. Sample j of every candidate
// shares its noise (SampleJob).
int SuccessiveHalving(const SampleJob& job, const EndValues& values,
                      const std::vector<Candidate>& cands, int threads, double share, int keep,
                      Budget* budget, std::vector<Arm>* arms, std::vector<int>* alive);

// Orders candidates best first by mean, the lower index first on a tie.
void RankByMean(const std::vector<Arm>& arms, std::vector<int>* indices);

void UpdateMean(const EndValues& values, Arm* arm);

}  // namespace search
