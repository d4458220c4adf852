#include "search/search.h"

#include <omp.h>

#include <cstdio>
#include <vector>

#include "search/budget.h"
#include "search/end_value.h"
#include "search/halving.h"
#include "search/physics.h"
#include "search/sampling.h"
#include "search/two_ply.h"
#include "search/win_table.h"
#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace search {
namespace {

// On the hammer stone, where samples are cheap and a few centimetres
// decide, the race over all candidates ends with this many finalists and
// leaves this share of the budget for a local search around them.
constexpr int kFinalists = 4;
constexpr double kRefineShare = 0.3;
// The local search needs this many samples per shot in its race, and its
// winner at least this many, or the first choice stands.
constexpr int64_t kMinRefineSamples = 8;
// On the stone before the hammer the race ends with this many finalists
// and leaves this share of the budget to answer each with the opponent's
// best reply.
constexpr int kTwoPlyFinalists = 4;
constexpr double kTwoPlyShare = 0.5;

// How the race over every candidate ends on the stone to be thrown.
struct RacePlan {
  double share = 1.0;
  int keep = 1;
};

RacePlan PlanFor(const GameState& state, const SearchLimits& limits) {
  if (state.shotIndex == game::kStonesPerEnd - 1) return {1.0 - kRefineShare, kFinalists};
  if (state.shotIndex == game::kStonesPerEnd - 2 && limits.twoPly) {
    return {1.0 - kTwoPlyShare, kTwoPlyFinalists};
  }
  return {};
}

int ThreadsFor(const SearchLimits& limits) {
  return limits.threads > 0 ? limits.threads : omp_get_max_threads();
}

void TeeDraw(const PhysicsCalls& physics, ShotVec* out) {
  *out = ShotVec{};
  if (physics.createShot == nullptr) return;
  *out = MakeDraw(physics, ShotKind::kDraw, -1, kTeeX, kTeeY, 0).vec;
}

// Step 2, a local search: the finalists and shots near them race again,
// from fresh samples, when the budget still has enough for a race worth
// the name; a race cut short keeps the first choice. Returns the choice.
int Refine(const SampleJob& job, const EndValues& values, int threads,
           std::vector<Candidate>* cands, Budget* budget, std::vector<Arm>* arms,
           std::vector<int>* alive, SearchReport* r) {
  const int first = alive->front();
  const Arm firstArm = (*arms)[first];
  const std::size_t firstNew = cands->size();
  for (const int c : std::vector<int>(*alive)) AddNeighbours(job.physics, (*cands)[c], cands);
  for (std::size_t i = firstNew; i < cands->size(); ++i) alive->push_back(static_cast<int>(i));
  if (SamplesLeft(*budget) < kMinRefineSamples * static_cast<int64_t>(alive->size())) {
    return first;
  }
  r->candidates = static_cast<int>(cands->size());
  r->rounds += SuccessiveHalving(job, values, *cands, threads, 1.0, 1, budget, arms, alive);
  if ((*arms)[alive->front()].n >= kMinRefineSamples) return alive->front();
  (*arms)[first] = firstArm;
  return first;
}

// Step 2 on the stone before the hammer: the finalists answered by the
// opponent's best reply. A budget too small for that lets the finalists
// race on by their play-outs; a two-ply search cut short by the deadline
// keeps the race's choice. Returns the choice.
int AnswerFinalists(const SampleJob& job, const EndValues& values, int threads,
                    const std::vector<Candidate>& cands, Budget* budget, std::vector<Arm>* arms,
                    std::vector<int>* alive, SearchReport* r) {
  // A race cut short leaves more than the finalists in it, best first.
  if (alive->size() > static_cast<std::size_t>(kTwoPlyFinalists)) alive->resize(kTwoPlyFinalists);
  const TwoPlyResult t = TwoPly(job, values, cands, *alive, threads, budget);
  if (!t.affordable) {
    r->rounds += SuccessiveHalving(job, values, cands, threads, 1.0, 1, budget, arms, alive);
    return alive->front();
  }
  if (t.finalists == 0) return alive->front();
  r->twoPlyFinalists = t.finalists;
  r->twoPlySamples = t.samples;
  (*arms)[t.best].mean = t.bestWin;
  (*arms)[t.best].n = t.samples;
  return t.best;
}

}  // namespace

void SearchShot(const GameState& state, const SearchLimits& limits, ShotVec* out,
                SearchReport* report) {
  const Clock::time_point start = Clock::now();
  const PhysicsCalls physics = BoundPhysics();
  SearchReport r;
  r.threads = ThreadsFor(limits);
  if (!PhysicsReady(physics) || state.shotIndex < 0 || state.shotIndex >= game::kStonesPerEnd) {
    TeeDraw(physics, out);
    if (report != nullptr) *report = r;
    return;
  }
  Budget budget =
      limits.samples > 0 ? SampleBudget(limits.samples) : TimedBudget(start, limits.milliseconds);

  std::vector<Candidate> cands;
  GenerateCandidates(state, physics, DensityFor(state.shotIndex), &cands);
  SampleJob job;
  job.root = &state;
  job.physics = physics;
  job.seed = limits.seed;
  job.noise = static_cast<float>(game::kExecutionNoise);
  job.moverParity = state.shotIndex & 1;
  const EndValues values = MakeEndValues(DefaultWinTable(), state);

  // Step 1: a race over every candidate.
  const RacePlan plan = PlanFor(state, limits);
  std::vector<Arm> arms;
  std::vector<int> alive(cands.size());
  for (std::size_t i = 0; i < cands.size(); ++i) alive[i] = static_cast<int>(i);
  r.candidates = static_cast<int>(cands.size());
  r.rounds = SuccessiveHalving(job, values, cands, r.threads, plan.share, plan.keep, &budget,
                               &arms, &alive);
  int best = alive.front();
  if (state.shotIndex == game::kStonesPerEnd - 1) {
    best = Refine(job, values, r.threads, &cands, &budget, &arms, &alive, &r);
  } else if (plan.keep > 1) {
    best = AnswerFinalists(job, values, r.threads, cands, &budget, &arms, &alive, &r);
  }

  *out = cands[best].vec;
  r.samples = budget.used;
  r.best = cands[best];
  r.bestWin = arms[best].mean;
  r.bestSamples = arms[best].n;
  r.milliseconds = SecondsSince(start) * 1000.0;
  if (report != nullptr) *report = r;
}

void FormatReport(const SearchReport& r, char* text, std::size_t size) {
  char twoPly[48] = "";
  if (r.twoPlyFinalists > 0) {
    std::snprintf(twoPly, sizeof twoPly, ", two-ply %dx%lld", r.twoPlyFinalists,
                  static_cast<long long>(r.twoPlySamples));
  }
  std::snprintf(text, size,
                "search: %d candidates, %lld samples, %d rounds%s, best %s stone %d "
                "(%.3f %.3f) P(win) %.4f over %lld, %.1f ms, %d threads",
                r.candidates, static_cast<long long>(r.samples), r.rounds, twoPly,
                ShotKindName(r.best.kind), r.best.stone, static_cast<double>(r.best.x),
                static_cast<double>(r.best.y), r.bestWin, static_cast<long long>(r.bestSamples),
                r.milliseconds, r.threads);
}

}  // namespace search
