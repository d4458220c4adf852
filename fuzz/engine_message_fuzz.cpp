// Engine message handling: arbitrary bytes as one read, every command GO
// included, over the deterministic stand-in for the physics.
#include <cstddef>
#include <cstdint>

#include "fuzz/engine_message.h"
#include "fuzz/fake_simulator.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SetUpEngineFuzzing();
  BindFakeSimulator();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  HandleFuzzMessage(data, size);
  return 0;
}
