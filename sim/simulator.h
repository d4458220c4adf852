// The engine's binding to the physics library Korvane.dll: the records it
// exchanges with it and the four entry points, bound once at start-up and
// kept for the life of the process (the library is never unloaded).
#pragma once

#include "sim/physics_calls.h"
#include "sim/records.h"

// The library's plain C exports are called through these pointers; the
// classic player never reads their results. Null until LoadSimulator has
// run; tests may point them at stand-ins.
extern SimulationFn Simulation;
extern CreateShotFn CreateShot;
extern CreateHitShotFn CreateHitShot;
extern GetScoreFn GetScore;

// The library's file name on every platform (on Linux too, a shared object
// of that name).
constexpr const char* kSimulatorLibraryName = "Korvane.dll";

// Loads Korvane.dll by bare file name through the platform's ordinary
// search and binds "Simulation", "CreateShot", "CreateHitShot", "GetScore"
// in that order. False only when the library itself cannot be loaded; the
// look-ups are not checked.
bool LoadSimulator();

// The address of another export of the loaded library (the search player
// looks up "KorvaneSeed"); null when the library is not loaded or has no
// such export.
void* FindSimulatorExport(const char* name);
