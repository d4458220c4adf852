// The physics library's four calls as function pointers, and a struct that
// carries them, so that a player can be handed its physics: the engine's
// run-time binding (sim/simulator.h) in the engine, the library linked
// directly in an in-process tool, or a stand-in in a test.
#pragma once

#include <cstdint>

#include "sim/records.h"

// The library's plain C exports (cdecl on 32-bit Windows, the platform
// default everywhere else).
using SimulationFn = int (*)(GameState* state, ShotVec vec, float noise, PathFrame* path,
                             int pathCapacity);
using CreateShotFn = int (*)(ShotPos target, ShotVec* out);
using CreateHitShotFn = int (*)(ShotPos target, float power, ShotVec* out);
using GetScoreFn = int (*)(const GameState* state);

// Seeds the calling thread's random engine for the execution error.
using SeedFn = void (*)(uint64_t seed);

struct PhysicsCalls {
  SimulationFn simulate = nullptr;
  CreateShotFn createShot = nullptr;
  CreateHitShotFn createHitShot = nullptr;
  GetScoreFn getScore = nullptr;
  SeedFn seed = nullptr;  // may stay null: callers then play unseeded
};
