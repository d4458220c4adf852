#include "search/search.h"

#include <omp.h>

#include <cstdio>
#include <vector>

#include "search/budget.h"
#include "search/end_value.h"
#include "search/halving.h"
#include "search/physics.h"
#include "search/sampling.h"
#include "search/win_table.h"
#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace search {
namespace {

int ThreadsFor(const SearchLimits& limits) {
  return limits.threads > 0 ? limits.threads : omp_get_max_threads();
}

void TeeDraw(const PhysicsCalls& physics, ShotVec* out) {
  *out = ShotVec{};
  if (physics.createShot == nullptr) return;
  *out = MakeDraw(physics, ShotKind::kDraw, -1, kTeeX, kTeeY, 0).vec;
}

}  // namespace

void SearchShot(const GameState& state, const SearchLimits& limits, ShotVec* out,
                SearchReport* report) {
  const Clock::time_point start = Clock::now();
  const PhysicsCalls physics = BoundPhysics();
  SearchReport r;
  r.threads = ThreadsFor(limits);
  if (!PhysicsReady(physics) || state.shotIndex < 0 ||
      state.shotIndex >= game::kStonesPerEnd) {
    TeeDraw(physics, out);
    if (report != nullptr) *report = r;
    return;
  }
  Budget budget = limits.samples > 0 ? SampleBudget(limits.samples)
                                     : TimedBudget(start, limits.milliseconds);

  std::vector<Candidate> cands;
  GenerateCandidates(state, physics, DensityFor(state.shotIndex), &cands);
  SampleJob job;
  job.root = &state;
  job.physics = physics;
  job.seed = limits.seed;
  job.noise = static_cast<float>(game::kExecutionNoise);
  job.moverParity = state.shotIndex & 1;
  const EndValues values = MakeEndValues(DefaultWinTable(), state);

  std::vector<Arm> arms;
  const HalvingResult h = SuccessiveHalving(job, values, cands, r.threads, &budget, &arms);

  *out = cands[h.best].vec;
  r.candidates = static_cast<int>(cands.size());
  r.samples = budget.used;
  r.rounds = h.rounds;
  r.best = cands[h.best];
  r.bestWin = arms[h.best].mean;
  r.bestSamples = arms[h.best].n;
  r.milliseconds = SecondsSince(start) * 1000.0;
  if (report != nullptr) *report = r;
}

void FormatReport(const SearchReport& r, char* text, std::size_t size) {
  std::snprintf(text, size,
                "search: %d candidates, %lld samples, %d rounds, best %s stone %d "
                "(%.3f %.3f) P(win) %.4f over %lld, %.1f ms, %d threads",
                r.candidates, static_cast<long long>(r.samples), r.rounds,
                ShotKindName(r.best.kind), r.best.stone, static_cast<double>(r.best.x),
                static_cast<double>(r.best.y), r.bestWin, static_cast<long long>(r.bestSamples),
                r.milliseconds, r.threads);
}

}  // namespace search
