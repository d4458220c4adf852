// The physics library's plain C exports as function-pointer types, for
// every caller that binds them: the engine through the library it loads
// by name, and the search library through whatever pointers its caller
// hands it (the loaded library, or one linked in).
#pragma once

#include <cstdint>

#include "sim/records.h"

// cdecl on 32-bit Windows, the platform default everywhere else.
using SimulationFn = int (*)(GameState* state, ShotVec vec, float noise, PathFrame* path,
                             int pathCapacity);
using CreateShotFn = int (*)(ShotPos target, ShotVec* out);
using CreateHitShotFn = int (*)(ShotPos target, float power, ShotVec* out);
using GetScoreFn = int (*)(const GameState* state);
// Seeds the calling thread's random engine for the execution error.
using SeedFn = void (*)(uint64_t seed);
