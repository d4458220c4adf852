// An exact stand-in for the physics library: a thrown stone comes to rest
// at (vx, vy) plus noise times a reproducible pseudo-random offset, or out
// of play (0, 0) when that point is not in play; nothing else moves and no
// path is drawn. Scores by the closest-stone rule with the library's sign
// convention.
#pragma once

#include "record/physics.h"

PhysicsCalls StandInPhysics();
