// The engine's binding to the physics library Korvane.dll: the records it
// exchanges with it and the four entry points, bound once at start-up and
// kept for the life of the process (the library is never unloaded).
#pragma once

#include "sim/records.h"

// The library's plain C exports, called through these pointers (cdecl on
// 32-bit Windows, the platform default everywhere else). The engine never
// reads their results.
using SimulationFn = int (*)(GameState* state, ShotVec vec, float noise, PathFrame* path,
                             int pathCapacity);
using CreateShotFn = int (*)(ShotPos target, ShotVec* out);
using CreateHitShotFn = int (*)(ShotPos target, float power, ShotVec* out);
using GetScoreFn = int (*)(const GameState* state);

// Null until LoadSimulator has run; tests may point them at stand-ins.
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
