// The physics calls the runner makes, as a table of plain function
// pointers: the real library for games, an exact stand-in for the tests of
// the rules (so that a test knows where every stone comes to rest).
#pragma once

#include <cstdint>

#include "sim/records.h"

struct PhysicsCalls {
  int (*simulate)(GameState* state, ShotVec vec, float noise, PathFrame* path, int pathCapacity);
  int (*score)(const GameState* state);
  void (*seed)(uint64_t seed);
};

// The Korvane library's Simulation, GetScore and KorvaneSeed.
PhysicsCalls KorvanePhysics();
