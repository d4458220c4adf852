#include "search/halving.h"

#include <algorithm>
#include <atomic>

namespace search {
namespace {

// Each thread takes this long's worth of samples at a time, s, so the
// deadline is checked often without the shared counter being hammered.
constexpr double kGrainSeconds = 0.0005;
constexpr int64_t kMaxGrain = 64;
constexpr int64_t kUntimedGrain = 16;

// One round: samples from..from+units/width-1 of each candidate in alive,
// taken in sample-major order, so that a round cut short still leaves
// every candidate within a sample of the others.
struct Round {
  const std::vector<int>* alive = nullptr;
  int64_t from = 0;
  int64_t units = 0;
  int64_t grain = 1;
  double grainSeconds = 0;  // how long a grain is expected to take
  std::atomic<int64_t> next{0};
  std::atomic<bool> stop{false};
};

// A thread's share of a round, tallied into its own counts
// (local[candidate * kEndScoreSlots + slot]); returns how many it played.
int64_t WorkRound(const SampleJob& job, const std::vector<Candidate>& cands, Round* round,
                  const Budget& budget, int64_t* local) {
  const std::vector<int>& alive = *round->alive;
  const int64_t width = static_cast<int64_t>(alive.size());
  int64_t played = 0;
  while (!round->stop.load(std::memory_order_relaxed)) {
    if (budget.timed && SecondsUntil(budget.deadline) < round->grainSeconds) {
      round->stop.store(true, std::memory_order_relaxed);
      break;
    }
    const int64_t begin = round->next.fetch_add(round->grain, std::memory_order_relaxed);
    if (begin >= round->units) break;
    const int64_t end = std::min(begin + round->grain, round->units);
    for (int64_t k = begin; k < end; ++k) {
      const int c = alive[k % width];
      ++local[c * kEndScoreSlots + SampleSlot(job, cands[c].vec, round->from + k / width)];
    }
    played += end - begin;
  }
  return played;
}

void Merge(const std::vector<int>& alive, int64_t* local, std::vector<Arm>* arms) {
  for (const int c : alive) {
    Arm& arm = (*arms)[c];
    for (int s = 0; s < kEndScoreSlots; ++s) {
      const int64_t n = local[c * kEndScoreSlots + s];
      arm.counts[s] += n;
      arm.n += n;
      local[c * kEndScoreSlots + s] = 0;
    }
  }
}

void Plan(const Budget& budget, int threads, int64_t from, int64_t units, Round* round) {
  round->from = from;
  round->units = units;
  round->next.store(0);
  round->stop.store(false);
  const double perThread = SampleRate(budget) / threads;
  if (!budget.timed) {
    round->grain = kUntimedGrain;
    round->grainSeconds = 0;
  } else if (perThread <= 0) {
    round->grain = 1;
    round->grainSeconds = 0;
  } else {
    round->grain =
        std::clamp<int64_t>(static_cast<int64_t>(perThread * kGrainSeconds), 1, kMaxGrain);
    round->grainSeconds = round->grain / perThread;
  }
}

int CeilLog2(int64_t n) {
  int r = 0;
  while ((int64_t{1} << r) < n) ++r;
  return r;
}

// Runs rounds in the calling team until the plan says stop. next(round)
// is called by one thread between rounds, all others waiting; it returns
// false to end.
template <typename NextRound>
void RunRounds(const SampleJob& job, const std::vector<Candidate>& cands, int threads,
               Budget* budget, std::vector<Arm>* arms, Round* round, NextRound next) {
  bool finished = false;
#pragma omp parallel num_threads(threads)
  {
    std::vector<int64_t> local(cands.size() * kEndScoreSlots, 0);
    while (true) {
      const int64_t played = WorkRound(job, cands, round, *budget, local.data());
#pragma omp critical(search_tally)
      {
        Merge(*round->alive, local.data(), arms);
        budget->used += played;
      }
#pragma omp barrier
#pragma omp single
      finished = !next();
      if (finished) break;
    }
  }
}

}  // namespace

void UpdateMean(const EndValues& values, Arm* arm) {
  double sum = 0;
  for (int s = 0; s < kEndScoreSlots; ++s) sum += arm->counts[s] * values.win[s];
  arm->mean = arm->n > 0 ? sum / arm->n : 0.0;
}

void RankByMean(const std::vector<Arm>& arms, std::vector<int>* indices) {
  std::sort(indices->begin(), indices->end(), [&](int a, int b) {
    if (arms[a].mean != arms[b].mean) return arms[a].mean > arms[b].mean;
    return a < b;
  });
}

int SuccessiveHalving(const SampleJob& job, const EndValues& values,
                      const std::vector<Candidate>& cands, int threads, double share, int keep,
                      Budget* budget, std::vector<Arm>* arms, std::vector<int>* alive) {
  arms->resize(cands.size());
  for (const int c : *alive) (*arms)[c] = Arm{};
  if (alive->empty()) return 0;
  // This race spends a share of what is left: of the time to the
  // deadline, or of the samples.
  Budget own = ShareOf(*budget, share);
  keep = std::max(keep, 1);
  int rounds = 0;
  // Round 0: one sample each, which also measures the rate.
  Round round;
  round.alive = alive;
  Plan(own, threads, 0, static_cast<int64_t>(alive->size()), &round);
  int64_t have = 1;
  bool first = true;
  RunRounds(job, cands, threads, &own, arms, &round, [&]() {
    for (const int c : *alive) UpdateMean(values, &(*arms)[c]);
    if (round.stop.load()) return false;
    if (!first) {
      RankByMean(*arms, alive);
      alive->resize(std::max<std::size_t>((alive->size() + 1) / 2, keep));
      ++rounds;
    }
    first = false;
    if (static_cast<int>(alive->size()) <= keep) return false;
    const int64_t samples = SamplesLeft(own);
    if (samples <= 0) return false;
    // Each round still to come gets an equal share of what is left.
    const int64_t width = static_cast<int64_t>(alive->size());
    const int64_t roundsLeft = std::max(CeilLog2((width + keep - 1) / keep), 1);
    const int64_t add = std::max<int64_t>(samples / (roundsLeft * width), 1);
    Plan(own, threads, have, width * add, &round);
    have += add;
    return true;
  });
  budget->used = own.used;
  RankByMean(*arms, alive);
  return rounds;
}

}  // namespace search
