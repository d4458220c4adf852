// Korvane.dll linked directly, for in-process tools. Its exports share
// their names with the engine's binding pointers (sim/simulator.h), so a
// program that uses this must not link the engine's binding.
#pragma once

#include <cstdint>

#include "sim/physics_calls.h"

namespace win_table {

PhysicsCalls KorvanePhysics();

// Seeds the calling thread's physics random engine.
void SeedKorvane(uint64_t seed);

}  // namespace win_table
