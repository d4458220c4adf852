// One delivery played on a record: the execution error, the motion of every
// stone, the removal rules, the free guard zone and the end's bookkeeping.
#pragma once

#include "korvane/rng.h"
#include "sim/records.h"

namespace korvane {

// What the event loop did during one shot.
struct ShotStats {
  int contacts = 0;       // contacts resolved
  int refinements = 0;    // bounds refined
  int limitsReached = 0;  // times the work budget ran out (see field.h)
};

// What Simulation does, with the random engine given. Returns 1, or 0 when
// the record or the vector could not be used as given (README.md lists the
// fallbacks). stats, when not null, receives what the event loop did.
int PlayShot(GameState* state, ShotVec vec, float noise, PathFrame* path, int pathCapacity,
             Rng* rng, ShotStats* stats = nullptr);

// The delivery actually played for vec with the error (dx, dy) of the
// unobstructed resting point, m. False when vec or the error was unusable
// and a fallback was taken.
bool PerturbedDelivery(ShotVec vec, double dx, double dy, double* vx, double* vy);

}  // namespace korvane
