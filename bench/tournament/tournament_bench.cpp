// Tournament throughput: BM_Games/<concurrency> plays one run of whole
// 10-end games (two pairs) of curling-engine against itself, threads=1
// each, through the runner's real command line and the real physics, in
// this process. Counters:
// - games_per_hour: finished games per hour of wall time;
// - runner_cpu_ms_per_game: this process's CPU time (getrusage) minus the
//   CPU time spent inside the physics calls (thread CPU clocks around each
//   call), per game: the runner's own work, the engines being children;
// - runner_cpu_share_pct: that time as a share of a game's wall time.
// The runner's output goes to /dev/null while it plays.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "tournament/cli.h"
#include "tournament/korvane_physics.h"

namespace {

constexpr int kGames = 4;

std::atomic<int64_t> physicsNs{0};

int64_t ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

RunnerPhysics Real() { return KorvanePhysics(); }

int TimedSimulate(GameState* s, ShotVec v, float noise, PathFrame* path, int capacity) {
  const int64_t start = ThreadCpuNs();
  const int r = Real().simulate(s, v, noise, path, capacity);
  physicsNs += ThreadCpuNs() - start;
  return r;
}

int TimedScore(const GameState* s) {
  const int64_t start = ThreadCpuNs();
  const int r = Real().score(s);
  physicsNs += ThreadCpuNs() - start;
  return r;
}

// Sends the standard output to /dev/null for its lifetime.
struct QuietStdout {
  QuietStdout() : saved(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
  int saved;
};

void BM_Games(benchmark::State& state) {
  const std::string concurrency = std::to_string(state.range(0));
  const std::string engine = std::string("cmd=") + ENGINE_EXE;
  const std::vector<std::string> args = {"curling-match",
                                         "--ends",
                                         "10",
                                         "--games",
                                         std::to_string(kGames),
                                         "--seed",
                                         "2026",
                                         "--concurrency",
                                         concurrency,
                                         "--engine",
                                         "name=a",
                                         engine,
                                         "threads=1",
                                         "--engine",
                                         "name=b",
                                         engine,
                                         "threads=1"};
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  const RunnerPhysics timed{&TimedSimulate, &TimedScore, Real().seed, Real().version};
  double wall = 0.0, runnerCpu = 0.0;
  for (auto _ : state) {
    physicsNs = 0;
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    int status = 0;
    {
      QuietStdout quiet;
      status = RunCurlingMatch(static_cast<int>(argv.size()), argv.data(), timed);
    }
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    runnerCpu += ProcessCpuSeconds() - cpu0 - static_cast<double>(physicsNs.load()) * 1e-9;
    if (status != 0) state.SkipWithError("the run failed");
  }
  const double games = static_cast<double>(kGames) * static_cast<double>(state.iterations());
  state.counters["games_per_hour"] = games / wall * 3600.0;
  state.counters["runner_cpu_ms_per_game"] = runnerCpu / games * 1000.0;
  // Per game: the games overlap at concurrency N, so a game's wall time is
  // N times the run's wall time per game.
  state.counters["runner_cpu_share_pct"] =
      100.0 * runnerCpu / (wall * static_cast<double>(state.range(0)));
}
BENCHMARK(BM_Games)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
