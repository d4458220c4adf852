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
    round->grain = std::clamp<int64_t>(static_cast<int64_t>(perThread * kGrainSeconds), 1,
                                       kMaxGrain);
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

HalvingResult SuccessiveHalving(const SampleJob& job, const EndValues& values,
                                const std::vector<Candidate>& cands, int threads, Budget* budget,
                                std::vector<Arm>* arms) {
  HalvingResult result;
  arms->assign(cands.size(), Arm{});
  std::vector<int> alive(cands.size());
  for (std::size_t i = 0; i < cands.size(); ++i) alive[i] = static_cast<int>(i);
  if (alive.empty()) return result;

  // Round 0: one sample each, which also measures the rate.
  Round round;
  round.alive = &alive;
  Plan(*budget, threads, 0, static_cast<int64_t>(alive.size()), &round);
  int64_t have = 1;
  bool first = true;
  RunRounds(job, cands, threads, budget, arms, &round, [&]() {
    for (const int c : alive) UpdateMean(values, &(*arms)[c]);
    if (round.stop.load()) return false;
    if (!first) {
      RankByMean(*arms, &alive);
      alive.resize((alive.size() + 1) / 2);
      ++result.rounds;
    }
    first = false;
    if (alive.size() <= 1) return false;
    const int64_t left = SamplesLeft(*budget);
    if (left <= 0) return false;
    // Each round still to come gets an equal share of what is left.
    const int64_t width = static_cast<int64_t>(alive.size());
    const int64_t add = std::max<int64_t>(left / (CeilLog2(width) * width), 1);
    Plan(*budget, threads, have, width * add, &round);
    have += add;
    return true;
  });
  RankByMean(*arms, &alive);
  result.best = alive.front();
  result.finalSamples = have;
  result.finalists = alive;
  return result;
}

void PlaySamples(const SampleJob& job, const EndValues& values,
                 const std::vector<Candidate>& cands, const std::vector<int>& which, int64_t from,
                 int64_t to, int threads, Budget* budget, std::vector<Arm>* arms) {
  if (which.empty() || to <= from) return;
  Round round;
  round.alive = &which;
  Plan(*budget, threads, from, static_cast<int64_t>(which.size()) * (to - from), &round);
  RunRounds(job, cands, threads, budget, arms, &round, [&]() {
    for (const int c : which) UpdateMean(values, &(*arms)[c]);
    return false;
  });
}

}  // namespace search
