// Engine message handling: arbitrary bytes as one read, every command GO
// included, over the tests' exact stand-in for the physics: a draw, and a
// hit too, comes to rest on its target (with the stand-in's execution
// error), so a GO with thousands of simulated shots takes milliseconds.
#include <cstddef>
#include <cstdint>

#include "fuzz/engine_message.h"
#include "sim/simulator.h"
#include "tests/double/stand_in.h"
#include "tests/double/stand_in_physics.h"

namespace {

int TargetAsVector(ShotPos target, ShotVec* out) {
  out->vx = target.x;
  out->vy = target.y;
  out->curl = target.curl != 0 ? 1 : 0;
  return 1;
}

int HitAsVector(ShotPos target, float, ShotVec* out) { return TargetAsVector(target, out); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetUpEngineFuzzing();
  Simulation = StandInPhysics().simulate;
  GetScore = ClosestStoneScore;
  CreateShot = TargetAsVector;
  CreateHitShot = HitAsVector;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  HandleFuzzMessage(data, size);
  return 0;
}
