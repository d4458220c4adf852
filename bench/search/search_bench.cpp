// Speed of the search player with the real physics linked in: samples per
// second per thread before shots 0, 8, 14 and 15 at 1 and 2 threads, and
// how far a timed search overruns its time over whole self-play games.
// --two-ply 0 answers stone 14 by the play-outs alone, as before the
// two-ply search.
//
//   search_bench [--games N] [--movetime MS] [--threads N] [--rates 0|1] [--two-ply 0|1]
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "korvane/korvane.h"
#include "positions.h"
#include "search/physics.h"
#include "search/search.h"
#include "sim/sheet.h"

namespace {

constexpr int kShots[] = {0, 8, 14, 15};
constexpr int64_t kSamplesFor[] = {6000, 12000, 60000, 200000};
constexpr int kShotCount = 4;
bool twoPly = true;

void BindLinkedPhysics() {
  search::PhysicsCalls calls;
  calls.simulate = Simulation;
  calls.createShot = CreateShot;
  calls.createHitShot = CreateHitShot;
  calls.seed = KorvaneSeed;
  search::BindPhysics(calls);
}

// Samples per second per thread: the best of three fixed-count searches,
// so that a moment of load on a shared machine does not count; and per
// second of CPU time, which a starved process does not distort (run with
// OMP_WAIT_POLICY=passive, or spinning threads count as busy).
void SampleRates() {
  std::printf("%-6s %-8s %12s %14s %14s\n", "shot", "threads", "samples", "per s/thread",
              "per CPU s");
  for (int i = 0; i < kShotCount; ++i) {
    double perThread[3] = {};
    for (int threads = 1; threads <= 2; ++threads) {
      double best = 0;
      double bestCpu = 0;
      search::SearchReport report;
      for (int rep = 0; rep < 3; ++rep) {
        const GameState state = BenchPosition(kShots[i]);
        search::SearchLimits limits;
        limits.samples = kSamplesFor[i];
        limits.threads = threads;
        limits.seed = 7 + rep;
        limits.twoPly = twoPly;
        ShotVec vec;
        const std::clock_t c0 = std::clock();
        search::SearchShot(state, limits, &vec, &report);
        const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
        const double rate = report.samples / (report.milliseconds / 1000.0) / threads;
        if (rate > best) best = rate;
        if (report.samples / cpu > bestCpu) bestCpu = report.samples / cpu;
      }
      perThread[threads] = best;
      std::printf("%-6d %-8d %12lld %14.0f %14.0f\n", kShots[i], threads,
                  static_cast<long long>(report.samples), best, bestCpu);
    }
    std::printf("%-6d speed-up at 2 threads: %.2f\n", kShots[i], 2 * perThread[2] / perThread[1]);
  }
}

// Whole games of the search player against itself at movetime ms: the
// largest overrun of one GO beyond its time, ms.
void Overshoot(int games, double movetime, int threads) {
  double worst = -1e9;
  double total = 0;
  int gos = 0;
  for (int g = 0; g < games; ++g) {
    GameState state;
    std::memset(&state, 0, sizeof state);
    state.lastEnd = 8;
    for (int end = 0; end < 8; ++end) {
      state.endIndex = end;
      state.shotIndex = 0;
      std::memset(state.stones, 0, sizeof state.stones);
      for (int shot = 0; shot < 16; ++shot) {
        search::SearchLimits limits;
        limits.milliseconds = movetime;
        limits.threads = threads;
        limits.seed = static_cast<uint64_t>(g * 1000 + end * 16 + shot);
        limits.twoPly = twoPly;
        ShotVec vec;
        const auto t0 = std::chrono::steady_clock::now();
        const std::clock_t c0 = std::clock();
        search::SearchReport report;
        search::SearchShot(state, limits, &vec, &report);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        worst = ms - movetime > worst ? ms - movetime : worst;
        if (ms - movetime > 20) {
          char line[512];
          search::FormatReport(report, line, sizeof line);
          const double cpu = 1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
          std::printf("  overrun %.1f ms (%.1f ms of CPU) at end %d shot %d: %s\n", ms - movetime,
                      cpu, end, shot, line);
        }
        total += ms;
        ++gos;
        Simulation(&state, vec, float(game::kExecutionNoise), nullptr, -1);
      }
      state.sideToMove = state.endScore[end] > 0   ? 1
                         : state.endScore[end] < 0 ? 0
                                                   : state.sideToMove;
    }
  }
  std::printf("movetime %.0f ms, %d threads, %d GOs: mean %.1f ms, largest overrun %.1f ms\n",
              movetime, threads, gos, total / gos, worst);
}

const char* const kUsage =
    "usage: search_bench [--games N] [--movetime MS] [--threads N] [--rates 0|1] [--two-ply 0|1]\n"
    "  --games N      self-play games of the search player, its overrun per GO (default 0)\n"
    "  --movetime MS  their time per GO (default 100)\n"
    "  --threads N    their threads (default 1)\n"
    "  --rates 0|1    samples per second at shots 0, 8 and 15 first (default 1)\n"
    "  --two-ply 0|1  weigh the opponent's best reply on the stone before the hammer (default 1)\n";

// A whole number within [low, high] and nothing else.
bool WholeIn(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  errno = 0;
  *value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && *value >= low && *value <= high;
}

}  // namespace

int main(int argc, char** argv) {
  long games = 0;
  long threads = 1;
  long rates = 1;
  long movetime = 100;
  long twoPlyOn = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    const char* value = i + 1 < argc ? argv[++i] : "";
    const bool ok = name == "--games"      ? WholeIn(value, 0, 100000, &games)
                    : name == "--movetime" ? WholeIn(value, 1, 86400000, &movetime)
                    : name == "--threads"  ? WholeIn(value, 1, 512, &threads)
                    : name == "--rates"    ? WholeIn(value, 0, 1, &rates)
                    : name == "--two-ply"  ? WholeIn(value, 0, 1, &twoPlyOn)
                                           : false;
    if (!ok) {
      std::fprintf(stderr, "search_bench: bad option or value: %s %s\n%s", name.c_str(), value,
                   kUsage);
      return 2;
    }
  }
  twoPly = twoPlyOn != 0;
  BindLinkedPhysics();
  if (rates != 0) SampleRates();
  if (games > 0)
    Overshoot(static_cast<int>(games), static_cast<double>(movetime), static_cast<int>(threads));
  return 0;
}
