// The package's one binding to Korvane.dll, made the way the engine makes
// its own (sim/simulator.h, by file name at run time), so that the
// extension holds the engine's global call pointers that the classic
// player reads and never links the library's functions of the same names.
#pragma once

#include <cstdint>
#include <string>

#include "sim/physics_calls.h"

// Loads the library once, and binds the search player's physics to it;
// later calls return the same binding. False, with
// *error saying why, when the library or one of its five exports is missing.
bool BindPhysics(PhysicsCalls* out, std::string* error);
