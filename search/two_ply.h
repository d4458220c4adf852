// The stone before the hammer, answered by the opponent's best reply rather
// than by the play-outs' policy: each finalist of the race is thrown with
// the noise, and on every position it leaves the hammer's shots race each
// other by their own noisy throws; the finalist whose positions leave the
// opponent's best reply the least wins.
#pragma once

#include <cstdint>
#include <vector>

#include "search/budget.h"
#include "search/candidates.h"
#include "search/end_value.h"
#include "search/sampling.h"

namespace search {

struct TwoPlyResult {
  bool affordable = false;  // the budget had room for the floor of samples
  int finalists = 0;        // 0: not done or cut short; the race's choice stands
  int64_t samples = 0;      // two-ply samples behind each finalist
  int best = -1;            // the chosen candidate
  double bestWin = 0;       // its mean P(win) after the opponent's best reply
};

// Values the finalists (candidate indices, best first by the race) two-ply.
// Sample i of every finalist shares its noise, and so do the replies'
// throws on it. Every simulated throw counts as one sample of the budget:
// a two-ply sample is the finalist's throw and its reply race's throws.
// With a sample budget the result depends on the counts alone, for any
// thread count.
TwoPlyResult TwoPly(const SampleJob& job, const EndValues& values,
                    const std::vector<Candidate>& cands, const std::vector<int>& finalists,
                    int threads, Budget* budget);

}  // namespace search
