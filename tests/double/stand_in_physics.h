// The runner's exact stand-in for the physics library: a thrown stone comes
// to rest at (vx, vy) plus noise times a reproducible pseudo-random offset,
// or out of play when that point is not in play; nothing else moves and no
// path is drawn. The record moves on and the end is scored as the library
// does it (stand_in.h). The engine's fuzzing binds its simulator to the
// same calls.
#pragma once

#include "record/physics.h"

RunnerPhysics StandInPhysics();
