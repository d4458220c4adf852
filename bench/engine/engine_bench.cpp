// Engine benchmarks with the real Korvane.dll:
// - BM_Go/<shot>/<threads>: one GO (DecideShot) at shot 1 and 6 (take-outs)
//   and 11 to 15 (random-candidate search).
// - BM_SimulatorCalls/<shot>/<threads>: the same simulator calls alone, in
//   the same parallel split (state copies, CreateShot, CreateHitShot and
//   Simulation, with the random targets drawn beforehand): the engine's own
//   overhead is the difference. A fresh pool of targets is drawn before each
//   iteration, untimed, so that the bare calls play a new sample of shots
//   every time, as the GO does, rather than one fixed sample.
// - BM_RandomTargets/<shot>/<threads>: the part of that overhead which the
//   engine cannot shed: drawing, in the same split, the random targets that a
//   GO at that shot plays, each from its own freshly seeded MT19937 with a
//   seed from the system (the seeding recurrence alone is about 400 dependent
//   steps per target).
// - BM_EngineProcessRss: peak resident memory (VmHWM) of a curling-engine
//   process that has answered one GO at shot 11.
// The searches' reports are sent to /dev/null while they run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <omp.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "positions.h"
#include "sim/simulator.h"
#include "strategy/candidate_search.h"
#include "strategy/decision.h"
#include "strategy/rollout.h"
#include "strategy/takeout_search.h"
#include "subprocess.h"

namespace {

constexpr int kTargetPool = 4096;  // pre-drawn random targets for the bare calls

// Sends the standard error stream to /dev/null for its lifetime.
struct QuietStderr {
  QuietStderr() : saved(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    close(null);
  }
  ~QuietStderr() {
    dup2(saved, STDERR_FILENO);
    close(saved);
  }
  int saved;
};

bool EnsureSimulator() {
  static const bool loaded = LoadSimulator();
  return loaded;
}

void BM_Go(benchmark::State& bench) {
  if (!EnsureSimulator()) return bench.SkipWithError("Korvane.dll not found");
  const GameState position = BenchPosition(static_cast<int32_t>(bench.range(0)));
  omp_set_num_threads(static_cast<int>(bench.range(1)));
  QuietStderr quiet;
  for (auto _ : bench) {
    ShotVec vec;
    DecideShot(position, &vec);
    benchmark::DoNotOptimize(vec);
  }
}

// The take-out's calls: two hits per thread, 2 x 200 trials.
void TakeoutCalls(const GameState& position, int32_t target, float power) {
#pragma omp parallel
  {
    ShotPos aim{position.stones[target][0], position.stones[target][1], 0, {0, 0, 0}};
    ShotVec vec[2];
    CreateHitShot(aim, power, &vec[0]);
    aim.curl = 1;
    CreateHitShot(aim, power, &vec[1]);
    GameState scratch;
#pragma omp for schedule(static)
    for (int trial = 0; trial < kTrialCount; ++trial) {
      for (int k = 0; k < 2; ++k) {
        scratch = position;
        Simulation(&scratch, vec[k], float(game::kExecutionNoise), nullptr, -1);
        benchmark::DoNotOptimize(scratch);
      }
    }
  }
}

// The search's calls: per candidate one CreateShot and ten rollouts of a
// candidate shot and random shots to the sixteenth stone, then one more
// CreateShot.
void CandidateCalls(const GameState& position, const std::vector<ShotPos>& targets) {
  const int count = CandidateCountFor(position.shotIndex);
#pragma omp parallel for schedule(static)
  for (int i = 0; i < count; ++i) {
    ShotVec candidate;
    CreateShot(targets[i % kTargetPool], &candidate);
    for (int r = 0; r < kRolloutsPerCandidate; ++r) {
      GameState scratch = position;
      Simulation(&scratch, candidate, float(game::kExecutionNoise), nullptr, -1);
      for (int n = position.shotIndex + 1, k = 0; n < game::kStonesPerEnd; ++n, ++k) {
        ShotVec next;
        CreateShot(targets[(i * 7 + r * 3 + k) % kTargetPool], &next);
        Simulation(&scratch, next, float(game::kExecutionNoise), nullptr, -1);
      }
      benchmark::DoNotOptimize(scratch);
    }
  }
  ShotVec result;
  CreateShot(targets[0], &result);
  benchmark::DoNotOptimize(result);
}

void BM_SimulatorCalls(benchmark::State& bench) {
  if (!EnsureSimulator()) return bench.SkipWithError("Korvane.dll not found");
  const GameState position = BenchPosition(static_cast<int32_t>(bench.range(0)));
  omp_set_num_threads(static_cast<int>(bench.range(1)));
  std::mt19937 mt(2026);
  RandomTargetDistributions d;
  std::vector<ShotPos> targets(kTargetPool);
  const bool takeout = position.shotIndex <= kLastPlacementShot;
  const float power = position.shotIndex >= kFirstHeavyHitShot ? kHeavyHitPower : kLightHitPower;
  const int32_t target = position.shotIndex == 1 ? 0 : 5;
  for (auto _ : bench) {
    if (takeout) {
      TakeoutCalls(position, target, power);
    } else {
      bench.PauseTiming();
      for (ShotPos& t : targets) t = DrawRandomTarget(d, mt);
      bench.ResumeTiming();
      CandidateCalls(position, targets);
    }
  }
}

// The random targets of one GO at the position's shot, drawn as its
// rollouts draw them, in the same split over the threads.
void BM_RandomTargets(benchmark::State& bench) {
  const int32_t shot = static_cast<int32_t>(bench.range(0));
  omp_set_num_threads(static_cast<int>(bench.range(1)));
  const int count =
      CandidateCountFor(shot) * kRolloutsPerCandidate * (game::kStonesPerEnd - 1 - shot);
  for (auto _ : bench) {
#pragma omp parallel
    {
      RandomShotSource shots;
      OpenRandomShotSource(&shots);
#pragma omp for schedule(static)
      for (int i = 0; i < count; ++i) benchmark::DoNotOptimize(NextRandomTarget(&shots));
    }
  }
  bench.counters["targets"] = count;
}

long ReadVmHwmKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

void BM_EngineProcessRss(benchmark::State& bench) {
  long hwm = -1;
  for (auto _ : bench) {
    WatchedChild child;
    if (!StartChild(&child, ENGINE_EXE,
                    {{"LD_LIBRARY_PATH", KORVANE_DIR}, {"OMP_NUM_THREADS", "2"}})) {
      return bench.SkipWithError("curling-engine did not start");
    }
    const GameState p = BenchPosition(11);
    char position[1024];
    int used = std::snprintf(position, sizeof position, "POSITION");
    for (int i = 0; i < game::kStonesPerEnd; ++i) {
      used +=
          std::snprintf(position + used, sizeof position - used, " %f %f",
                        static_cast<double>(p.stones[i][0]), static_cast<double>(p.stones[i][1]));
    }
    const std::string steps[] = {"SETSTATE 11 3 8 1\n", std::string(position) + "\n", "GO\n"};
    for (int k = 0; k < 3; ++k) {
      WriteToChild(&child, steps[k]);
      WaitForStderr(&child, "recieved: ", k + 1, 60000);
    }
    WaitForStdout(&child, "BESTSHOT ", 1, 60000);
    hwm = ReadVmHwmKiB(child.process.pid);
    FinishChild(&child, 60000);
  }
  bench.counters["VmHWM_KiB"] = static_cast<double>(hwm);
}

void ShotArgs(benchmark::internal::Benchmark* b) {
  for (int threads : {1, 2}) {
    for (int shot : {1, 6, 11, 12, 13, 14, 15}) b->Args({shot, threads});
  }
  b->ArgNames({"shot", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Go)->Apply(ShotArgs);
BENCHMARK(BM_SimulatorCalls)->Apply(ShotArgs);
BENCHMARK(BM_RandomTargets)->ArgsProduct({{11, 12, 13, 14}, {1, 2}})->Apply([](auto* b) {
  b->ArgNames({"shot", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime();
});
BENCHMARK(BM_EngineProcessRss)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
