// Engine message handling over the real Korvane.dll, opened as the engine
// opens it. The library's calls are counted per input; past the cap the
// wrapper returns at once with the record untouched (the engine never reads
// the results), so an input of several searches stays well within a second
// while the first thousands of shots of each input are real physics.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/engine_message.h"
#include "sim/simulator.h"

namespace {

// Real Simulation calls per input: a few placement searches (400 each) or
// the opening part of one random-candidate search.
constexpr long kSimulationCap = 2000;

SimulationFn realSimulation = nullptr;
std::atomic<long> simulationsLeft{0};

int CappedSimulation(GameState* state, ShotVec vec, float noise, PathFrame* path,
                     int pathCapacity) {
  if (simulationsLeft.fetch_sub(1) <= 0) return 0;
  return realSimulation(state, vec, noise, path, pathCapacity);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetUpEngineFuzzing();
  if (!LoadSimulator() || Simulation == nullptr || CreateShot == nullptr ||
      CreateHitShot == nullptr || GetScore == nullptr) {
    std::fputs("fuzz_engine_go_real: cannot load Korvane.dll and its four functions\n", stderr);
    std::exit(1);
  }
  realSimulation = Simulation;
  Simulation = CappedSimulation;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  simulationsLeft = kSimulationCap;
  HandleFuzzMessage(data, size);
  return 0;
}
