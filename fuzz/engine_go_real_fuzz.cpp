// Engine message handling over the real Korvane.dll, opened as the engine
// opens it. The library's calls are counted per input; past the cap each
// returns at once (Simulation with the record untouched, the vector makers
// with a zero vector; the engine never reads the results), so an input of
// several searches stays well within a second while the first thousands of
// calls of each input are real physics.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/engine_message.h"
#include "sim/simulator.h"

namespace {

// Real library calls per input: a few placement searches (400 shots each)
// or the opening part of one random-candidate search.
constexpr long kLibraryCallCap = 2000;

SimulationFn realSimulation = nullptr;
CreateShotFn realCreateShot = nullptr;
CreateHitShotFn realCreateHitShot = nullptr;
std::atomic<long> callsLeft{0};

bool TakeCall() { return callsLeft.fetch_sub(1) > 0; }

ShotVec ZeroVector(const ShotPos& target) {
  ShotVec vec{};
  vec.curl = target.curl != 0 ? 1 : 0;
  return vec;
}

int CappedSimulation(GameState* state, ShotVec vec, float noise, PathFrame* path,
                     int pathCapacity) {
  if (!TakeCall()) return 0;
  return realSimulation(state, vec, noise, path, pathCapacity);
}

int CappedCreateShot(ShotPos target, ShotVec* out) {
  if (TakeCall()) return realCreateShot(target, out);
  *out = ZeroVector(target);
  return 0;
}

int CappedCreateHitShot(ShotPos target, float power, ShotVec* out) {
  if (TakeCall()) return realCreateHitShot(target, power, out);
  *out = ZeroVector(target);
  return 0;
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
  realCreateShot = CreateShot;
  realCreateHitShot = CreateHitShot;
  Simulation = CappedSimulation;
  CreateShot = CappedCreateShot;
  CreateHitShot = CappedCreateHitShot;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  callsLeft = kLibraryCallCap;
  HandleFuzzMessage(data, size);
  return 0;
}
