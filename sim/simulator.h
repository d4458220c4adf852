// The engine's binding to the physics library Korvane.dll: the records it
// exchanges with it and the four entry points, bound once at start-up and
// kept for the life of the process (the library is never unloaded).
#pragma once

#include "sim/records.h"

// Calling convention of the library's plain C exports (cdecl on 32-bit
// Windows, the platform default everywhere else).
using SimulationFn = int (*)(GameState* state, ShotVec vec, float noise, PathFrame* path,
                             int pathCapacity);
using CreateShotFn = int (*)(ShotPos target, ShotVec* out);
using CreateHitShotFn = int (*)(ShotPos target, float power, ShotVec* out);
using GetScoreFn = int (*)(const GameState* state);

extern SimulationFn Simulation;
extern CreateShotFn CreateShot;
extern CreateHitShotFn CreateHitShot;
extern GetScoreFn GetScore;

// Loads Korvane.dll by bare file name through the platform's ordinary
// search and binds "Simulation", "CreateShot", "CreateHitShot", "GetScore"
// in that order. False only when the library itself cannot be loaded.
bool LoadSimulator();
