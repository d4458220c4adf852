#include "search/two_ply.h"

#include <algorithm>
#include <atomic>
#include <numeric>

#include "search/halving.h"

namespace search {
namespace {

// The hammer's replies: draws on rings and the plainer hits, no guards.
// The full hammer menu (a fine grid, many weights) would cost several
// times as much a position, and the race over the finalists stays fair as
// long as every finalist meets the same menu.
constexpr CandidateDensity kReplyDensity{false, 0.0f, false, false};
// The reply race's throws, per reply offered.
constexpr int64_t kThrowsPerReply = 3;
// Simulated throws in one sample of the race on stone 14.
constexpr int64_t kThrowsPerRaceSample = 2;
// Fewer two-ply samples a finalist than this and the race's choice stands.
constexpr int64_t kMinSamples = 6;
// Timed, the units run to the deadline and the estimate only sizes the
// table of their values, with this much room.
constexpr int64_t kTimedRoom = 8;
// Streams of the finalists' throws and of the replies' throws, apart from
// the race's samples.
constexpr uint64_t kThrowStream = 0x2b5f3c1d9e8a7b64ull;
constexpr uint64_t kReplyStream = 0x6a09e667f3bcc909ull;

// The opponent wins whenever the mover does not.
EndValues OpponentValues(const EndValues& v) {
  EndValues o{};
  for (int s = -kMaxEndScore; s <= kMaxEndScore; ++s) {
    o.win[ScoreSlot(s)] = 1.0 - v.win[ScoreSlot(-s)];
  }
  return o;
}

int64_t RepliesAfter(const SampleJob& job, const ShotVec& vec) {
  GameState p = *job.root;
  job.physics.simulate(&p, vec, 0.0f, nullptr, -1);
  std::vector<Candidate> replies;
  GenerateCandidates(p, job.physics, kReplyDensity, &replies);
  return static_cast<int64_t>(replies.size());
}

// Sample i of vec: thrown with that sample's noise, then the opponent's
// reply chosen by successive halving over its menu. The winner's mean is
// the largest of several noisy means, so it flatters the opponent; it
// does so alike for every finalist, which keeps the ranking fair. Returns
// the throws played; *value is the mover's P(win) after the reply.
int64_t ValueAfterBestReply(const SampleJob& job, const EndValues& opponent, const ShotVec& vec,
                            uint64_t i, int64_t replyThrows, double* value) {
  if (job.physics.seed != nullptr) job.physics.seed(SampleSeed(job.seed ^ kThrowStream, i));
  GameState p = *job.root;
  job.physics.simulate(&p, vec, job.noise, nullptr, -1);
  std::vector<Candidate> replies;
  GenerateCandidates(p, job.physics, kReplyDensity, &replies);
  SampleJob reply = job;
  reply.root = &p;
  reply.seed = SampleSeed(job.seed ^ kReplyStream, i);
  reply.moverParity = job.moverParity ^ 1;
  Budget budget = SampleBudget(replyThrows);
  std::vector<Arm> arms;
  std::vector<int> alive(replies.size());
  std::iota(alive.begin(), alive.end(), 0);
  SuccessiveHalving(reply, opponent, replies, 1, 1.0, 1, &budget, &arms, &alive);
  *value = 1.0 - arms[alive.front()].mean;
  return 1 + budget.used;
}

// Two-ply samples the budget affords, a whole number per finalist. A timed
// budget's rate was measured on the race's samples, each the candidate's
// throw and the hammer's: a reply, thrown alone, costs half of one in an
// open house and up to 0.85 in a full one, where more replies are hits.
// The estimate may run high there; a search cut short below the floor
// keeps the race's choice, while one that errs low gives up two-ply in
// most stones at a quarter of a second on a busy machine.
int64_t AffordableUnits(const Budget& budget, int64_t unitCost, int finalists) {
  const int64_t throws = SamplesLeft(budget) * (budget.timed ? kThrowsPerRaceSample : 1);
  const int64_t units = throws / unitCost;
  return units - units % finalists;
}

struct Units {
  std::vector<double> value;  // by unit k: finalist k % F, sample k / F
  int64_t done = 0;           // units 0 .. done-1 were played
  int64_t throws = 0;
};

// Plays units in order from a shared counter until `units` are played or,
// timed, until the next would end past the deadline by the longest a unit
// of this thread has taken (at first the estimate).
Units PlayUnits(const SampleJob& job, const EndValues& opponent,
                const std::vector<Candidate>& cands, const std::vector<int>& finalists,
                int threads, const Budget& budget, int64_t units, int64_t replyThrows) {
  const int64_t width = static_cast<int64_t>(finalists.size());
  const double rate = SampleRate(budget);
  const double estimate =
      rate > 0 ? static_cast<double>(1 + replyThrows) / (rate * kThrowsPerRaceSample) : 0.0;
  Units out;
  out.value.assign(static_cast<std::size_t>(units), 0.0);
  std::atomic<int64_t> next{0};
  std::atomic<int64_t> throws{0};
#pragma omp parallel num_threads(threads)
  {
    double longest = estimate;
    bool measured = false;
    int64_t mine = 0;
    while (!budget.timed || SecondsUntil(budget.deadline) >= longest) {
      const int64_t k = next.fetch_add(1, std::memory_order_relaxed);
      if (k >= units) break;
      const Clock::time_point t0 = Clock::now();
      mine += ValueAfterBestReply(job, opponent, cands[finalists[k % width]].vec,
                                  static_cast<uint64_t>(k / width), replyThrows,
                                  &out.value[static_cast<std::size_t>(k)]);
      const double took = SecondsSince(t0);
      longest = measured ? std::max(longest, took) : took;
      measured = true;
    }
    throws.fetch_add(mine, std::memory_order_relaxed);
  }
  // Every unit handed out was played, so the played ones are a prefix.
  out.done = std::min(next.load(), units);
  out.throws = throws.load();
  return out;
}

}  // namespace

TwoPlyResult TwoPly(const SampleJob& job, const EndValues& values,
                    const std::vector<Candidate>& cands, const std::vector<int>& finalists,
                    int threads, Budget* budget) {
  TwoPlyResult result;
  const int width = static_cast<int>(finalists.size());
  if (width < 2) return result;
  // One reply budget for every sample, so that all cost alike and the
  // plan is exact: a few throws per reply that the best finalist's
  // noise-free position offers.
  const int64_t replyThrows = kThrowsPerReply * RepliesAfter(job, cands[finalists.front()].vec);
  const int64_t planned = AffordableUnits(*budget, 1 + replyThrows, width);
  if (planned / width < kMinSamples) return result;
  result.affordable = true;
  const int64_t units = budget->timed ? planned * kTimedRoom : planned;
  const Units played = PlayUnits(job, OpponentValues(values), cands, finalists, threads, *budget,
                                 units, replyThrows);
  budget->used += played.throws;
  const int64_t n = played.done / width;
  if (n < kMinSamples) return result;
  // Summed in a fixed order, so that the means do not depend on which
  // thread played what.
  for (int f = 0; f < width; ++f) {
    double sum = 0;
    for (int64_t i = 0; i < n; ++i) sum += played.value[static_cast<std::size_t>(i * width + f)];
    const double mean = sum / static_cast<double>(n);
    if (result.best < 0 || mean > result.bestWin) {
      result.best = finalists[f];
      result.bestWin = mean;
    }
  }
  result.finalists = width;
  result.samples = n;
  return result;
}

}  // namespace search
