#include "app/search_player.h"

#include <chrono>
#include <cstdio>

#include "app/protocol.h"
#include "platform/entropy.h"
#include "search/physics.h"
#include "search/search.h"
#include "search/time_plan.h"
#include "sim/simulator.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

EngineOptions settings;
// The game clock, when the game has one budget: what is left of it, ms;
// and whether this game has searched yet.
double remainingMs = 0;
bool clockRunning = false;

uint64_t FreshSeed() {
  uint64_t seed = 0;
  if (!SystemRandomBytes(&seed, sizeof seed)) {
    seed = static_cast<uint64_t>(SteadyClock::now().time_since_epoch().count());
  }
  return seed;
}

void RestartGameClock() {
  remainingMs = settings.gameTimeSec * 1000.0;
  clockRunning = false;
}

search::SearchLimits LimitsFor(const GameState& state) {
  search::SearchLimits limits;
  limits.threads = settings.threads;
  // A seeded engine answers a position the same way whenever it meets it.
  limits.seed = settings.seeded ? settings.seed : FreshSeed();
  if (settings.samples > 0) {
    limits.samples = settings.samples;
  } else if (settings.gameTimeSec > 0) {
    if (!clockRunning) remainingMs = search::ClockAtFirstSearch(state, settings.gameTimeSec * 1000.0);
    clockRunning = true;
    search::GameTimeLeft clock;
    clock.remainingMs = remainingMs;
    clock.incrementMs = settings.incSec * 1000.0;
    clock.totalMs = settings.gameTimeSec * 1000.0;
    limits.milliseconds = search::MoveTimeFor(state, clock);
  } else {
    limits.milliseconds = static_cast<double>(settings.movetimeMs);
  }
  return limits;
}

void SearchDecide(const GameState& state, ShotVec* vec) {
  const SteadyClock::time_point start = SteadyClock::now();
  const search::SearchLimits limits = LimitsFor(state);
  search::SearchReport report;
  search::SearchShot(state, limits, vec, &report);
  char line[512];
  search::FormatReport(report, line, sizeof line);
  if (settings.gameTimeSec > 0 && settings.samples == 0) {
    const double spent =
        std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    remainingMs += settings.incSec * 1000.0 - spent;
    std::fprintf(stderr, "%s, budget %.1f ms, game clock %.1f ms left\n", line, limits.milliseconds,
                 remainingMs);
  } else {
    std::fprintf(stderr, "%s\n", line);
  }
  std::fflush(stderr);
}

}  // namespace

void InstallSearchPlayer(const EngineOptions& options) {
  settings = options;
  RestartGameClock();
  SetShotDecider(SearchDecide);
  SetGameStartHook(RestartGameClock);
}

void BindSearchPhysics() {
  search::PhysicsCalls calls;
  calls.simulate = Simulation;
  calls.createShot = CreateShot;
  calls.createHitShot = CreateHitShot;
  calls.seed = reinterpret_cast<SeedFn>(FindSimulatorExport("KorvaneSeed"));
  search::BindPhysics(calls);
}
