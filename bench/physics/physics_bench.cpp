// Timings of the library's calls on fixed positions, one thread, with
// noise 0 and with the engine's 0.145. Before the timings it prints a hash
// of the final stones of a fixed list of noise-0 shots: the signature of
// the model's behaviour.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "korvane/korvane.h"

namespace {

constexpr float kEngineNoise = 0.145f;  // m

GameState EmptyEnd(int shotIndex) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.shotIndex = shotIndex;
  return s;
}

ShotPos Target(float x, float y, int curl) {
  ShotPos p;
  std::memset(&p, 0, sizeof p);
  p.x = x;
  p.y = y;
  p.curl = static_cast<uint8_t>(curl);
  return p;
}

GameState SingleStone() {
  GameState s = EmptyEnd(1);
  s.stones[0][0] = 2.2f;
  s.stones[0][1] = 4.7f;
  return s;
}

// Twelve stones in play in and around the house.
GameState CrowdedEnd() {
  GameState s = EmptyEnd(12);
  const float spots[12][2] = {{2.375f, 4.88f}, {2.0f, 5.3f}, {2.8f, 5.1f}, {2.375f, 6.2f},
                              {1.6f, 4.4f},    {3.1f, 4.6f}, {2.2f, 7.9f}, {2.6f, 8.6f},
                              {1.9f, 3.6f},    {2.9f, 3.9f}, {1.2f, 5.6f}, {3.5f, 6.0f}};
  std::memcpy(s.stones, spots, sizeof spots);
  return s;
}

ShotVec DrawTo(float x, float y, int curl) {
  ShotVec v;
  CreateShot(Target(x, y, curl), &v);
  return v;
}

ShotVec HitAt(float x, float y, float power, int curl) {
  ShotVec v;
  CreateHitShot(Target(x, y, curl), power, &v);
  return v;
}

// Random targets of the kind the engine's searches try, from a fixed LCG.
struct Lcg {
  uint64_t state = 88172645463325252ull;
  float Next(float lo, float hi) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return lo + (hi - lo) * static_cast<float>(state >> 40) / 16777216.0f;
  }
};

ShotVec RandomShot(Lcg* lcg) {
  const float x = lcg->Next(1.2f, 3.5f), y = lcg->Next(3.0f, 9.0f);
  const int curl = lcg->Next(0, 1) < 0.5f ? 0 : 1;
  if (lcg->Next(0, 1) < 0.5f) return DrawTo(x, y, curl);
  return HitAt(x, y, lcg->Next(2.0f, 16.0f), curl);
}

uint64_t Fnv(uint64_t h, const void* data, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

void PrintSignature() {
  uint64_t h = 1469598103934665603ull;
  int shots = 0;
  auto play = [&](GameState s, ShotVec v) {
    Simulation(&s, v, 0.0f, nullptr, -1);
    h = Fnv(h, s.stones, sizeof s.stones);
    ++shots;
  };
  play(EmptyEnd(0), DrawTo(2.375f, 4.88f, 0));
  play(EmptyEnd(0), DrawTo(2.375f, 4.88f, 1));
  play(SingleStone(), HitAt(2.2f, 4.7f, 16.0f, 0));
  play(SingleStone(), HitAt(2.3f, 4.7f, 8.0f, 1));
  Lcg lcg;
  for (int k = 0; k < 200; ++k) play(CrowdedEnd(), RandomShot(&lcg));
  std::printf("signature %016llx over %d noise-0 shots\n", static_cast<unsigned long long>(h),
              shots);
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
