// Timings of the library's calls on fixed positions, one thread, with
// noise 0 and with the engine's 0.145. Before the timings it prints a hash
// of the final stones of a fixed list of noise-0 shots (the signature of
// the model's behaviour), then the slowest call and the shots that reached
// a work limit among freeze shots and among records of piled stones.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "korvane/korvane.h"
#include "korvane/shot.h"
#include "korvane/tools/fixed_shots.h"

namespace {

void PrintSignature() {
  int shots = 0;
  const unsigned long long h = FixedShotSignature(&shots);
  std::printf("signature %016llx over %d noise-0 shots\n", h, shots);
}

// Plays shots one at a time and reports the slowest call, the shots that
// reached a work limit and the most contacts in one shot.
template <typename Make>
void PrintWorst(const char* what, int count, Make make) {
  korvane::Rng rng;
  korvane::SeedRng(&rng, 7);
  double slowest = 0;
  int limited = 0, contacts = 0;
  std::vector<double> times;
  for (int k = 0; k < count; ++k) {
    GameState s;
    ShotVec v;
    make(k, &s, &v);
    korvane::ShotStats stats;
    // Processor time, so that other processes on a loaded machine do not count.
    const std::clock_t start = std::clock();
    korvane::PlayShot(&s, v, float(game::kExecutionNoise), nullptr, -1, &rng, &stats);
    const double took = 1e6 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    times.push_back(took);
    slowest = std::max(slowest, took);
    limited += stats.limitsReached > 0;
    contacts = std::max(contacts, stats.contacts);
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "%s: %d shots, median %.2f us, slowest %.1f us, %d reached a limit, at most %d contacts\n",
      what, count, times[times.size() / 2], slowest, limited, contacts);
}

// Freeze shots, and records of fifteen stones piled around the tee (the
// worst records for the event loop), played with the engine's noise.
void PrintWorstCases() {
  Lcg lcg;
  PrintWorst("freeze shots", 20000,
             [&](int, GameState* s, ShotVec* v) { ContactShot(&lcg, kFreeze, s, v); });
  PrintWorst("piled stones", 400, [&](int k, GameState* s, ShotVec* v) {
    *s = EmptyEnd(15);
    const float spread = k % 3 == 0 ? 0.001f : (k % 3 == 1 ? 0.05f : 0.25f);
    for (int i = 0; i < 15; ++i) {
      s->stones[i][0] = 2.375f + lcg.Next(-spread, spread);
      s->stones[i][1] = 4.88f + lcg.Next(-spread, spread);
    }
    *v = k % 2 == 0 ? HitAt(2.375f, 4.88f, 30.0f, k & 1) : DrawTo(2.375f, 4.88f, k & 1);
  });
}

void BM_DrawEmptySheet(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : float(game::kExecutionNoise);
  const ShotVec v = DrawTo(2.375f, 4.88f, 0);
  const GameState start = EmptyEnd(0);
  for (auto _ : st) {
    GameState s = start;
    Simulation(&s, v, noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

void BM_TakeoutSingleStone(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : float(game::kExecutionNoise);
  const ShotVec v = HitAt(2.2f, 4.7f, 16.0f, 0);
  const GameState start = SingleStone();
  for (auto _ : st) {
    GameState s = start;
    Simulation(&s, v, noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

void BM_RandomShotCrowdedEnd(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : float(game::kExecutionNoise);
  Lcg lcg;
  ShotVec shots[256];
  for (ShotVec& v : shots) v = RandomShot(&lcg);
  const GameState start = CrowdedEnd();
  unsigned k = 0;
  for (auto _ : st) {
    GameState s = start;
    Simulation(&s, shots[k++ & 255u], noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

// Draws that come to rest against a stone in a house of 5 to 12 stones.
void BM_FreezeShot(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : float(game::kExecutionNoise);
  Lcg lcg;
  GameState starts[256];
  ShotVec shots[256];
  for (int k = 0; k < 256; ++k) ContactShot(&lcg, kFreeze, &starts[k], &shots[k]);
  unsigned k = 0;
  for (auto _ : st) {
    GameState s = starts[k & 255u];
    Simulation(&s, shots[k++ & 255u], noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

void BM_CreateShot(benchmark::State& st) {
  Lcg lcg;
  ShotPos targets[256];
  for (ShotPos& p : targets) p = Target(lcg.Next(0, 4.75f), lcg.Next(0, 30), lcg.Next(0, 1) < .5f);
  unsigned k = 0;
  ShotVec v;
  for (auto _ : st) {
    CreateShot(targets[k++ & 255u], &v);
    benchmark::DoNotOptimize(v);
  }
}

void BM_CreateHitShot(benchmark::State& st) {
  Lcg lcg;
  ShotPos targets[256];
  for (ShotPos& p : targets) p = Target(lcg.Next(1, 3.75f), lcg.Next(3, 11), lcg.Next(0, 1) < .5f);
  unsigned k = 0;
  ShotVec v;
  for (auto _ : st) {
    CreateHitShot(targets[k & 255u], (k & 1) ? 16.0f : 8.0f, &v);
    ++k;
    benchmark::DoNotOptimize(v);
  }
}

}  // namespace

BENCHMARK(BM_DrawEmptySheet)->Arg(0)->Arg(1);
BENCHMARK(BM_TakeoutSingleStone)->Arg(0)->Arg(1);
BENCHMARK(BM_RandomShotCrowdedEnd)->Arg(0)->Arg(1);
BENCHMARK(BM_FreezeShot)->Arg(0)->Arg(1);
BENCHMARK(BM_CreateShot);
BENCHMARK(BM_CreateHitShot);

int main(int argc, char** argv) {
  PrintSignature();
  PrintWorstCases();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
