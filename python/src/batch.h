// Many independent physics calls at once, on plain arrays, in threads. No
// Python here: the bindings check the arrays and release the interpreter
// around these calls.
#pragma once

#include <cstdint>

#include "sim/sheet.h"
#include "physics_binding.h"
#include "sim/records.h"

// The seed of item `index` of a seeded batch: a mix of the two, so that an
// item's random numbers never depend on which thread plays it.
uint64_t ItemSeed(uint64_t batchSeed, int64_t index);

struct BatchOptions {
  float noise = float(game::kExecutionNoise);
  bool seeded = false;
  uint64_t seed = 0;
  int threads = 0;  // 0: every processor
};

// A shot or target as the package passes it: three floats, the third the
// curl (any value but 0 counts as 1).
ShotVec ShotFromRow(const float* row);
ShotPos TargetFromRow(const float* row);
void RowFromShot(const ShotVec& vec, float* row);

// out[i] = in[i] after shots[i] (rows of three floats), for i < count. With frameCount > 0,
// positions receives count * frameCount * 16 * 2 floats: the motion sampled
// as the library samples it into frameCount frames, and after the last
// frame it writes, the stones where they came to rest.
void SimulateBatch(const PhysicsCalls& physics, const GameState* in, GameState* out,
                   const float* shots, int64_t count, const BatchOptions& options, float* positions,
                   int frameCount);

// Targets and launch vectors in rows of three floats.
void CreateShotBatch(const PhysicsCalls& physics, const float* targets, int64_t count, float* out,
                     int threads);
void CreateHitShotBatch(const PhysicsCalls& physics, const float* targets, const float* power,
                        int64_t count, float* out, int threads);
void ScoreBatch(const PhysicsCalls& physics, const GameState* states, int64_t count, int32_t* out,
                int threads);
