// Timings of the library's calls on fixed positions, one thread, with
// noise 0 and with the engine's 0.145. Before the timings it prints a hash
// of the final stones of a fixed list of noise-0 shots: the signature of
// the model's behaviour.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "korvane/korvane.h"
#include "korvane/tools/fixed_shots.h"

namespace {

void PrintSignature() {
  int shots = 0;
  const unsigned long long h = FixedShotSignature(&shots);
  std::printf("signature %016llx over %d noise-0 shots\n", h, shots);
}

void BM_DrawEmptySheet(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : kEngineNoise;
  const ShotVec v = DrawTo(2.375f, 4.88f, 0);
  const GameState start = EmptyEnd(0);
  for (auto _ : st) {
    GameState s = start;
    Simulation(&s, v, noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

void BM_TakeoutSingleStone(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : kEngineNoise;
  const ShotVec v = HitAt(2.2f, 4.7f, 16.0f, 0);
  const GameState start = SingleStone();
  for (auto _ : st) {
    GameState s = start;
    Simulation(&s, v, noise, nullptr, -1);
    benchmark::DoNotOptimize(s);
  }
}

void BM_RandomShotCrowdedEnd(benchmark::State& st) {
  const float noise = st.range(0) == 0 ? 0.0f : kEngineNoise;
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
BENCHMARK(BM_CreateShot);
BENCHMARK(BM_CreateHitShot);

int main(int argc, char** argv) {
  PrintSignature();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
