// The physics calls the runner makes and a replay repeats, as a table of
// plain function pointers: the real library for games (tournament/
// korvane_physics.h), an exact stand-in for the tests (so that a test knows
// where every stone comes to rest).
#pragma once

#include <cstdint>

#include "sim/records.h"

struct RunnerPhysics {
  int (*simulate)(GameState* state, ShotVec vec, float noise, PathFrame* path, int pathCapacity);
  int (*score)(const GameState* state);
  void (*seed)(uint64_t seed);
  // What the records say of the physics: name, version and the signature
  // of its fixed noise-0 shots, so that a replay elsewhere can tell a
  // different library from a wrong record.
  const char* (*version)();
};
