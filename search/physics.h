// How the search library reaches the physics: through function pointers
// that its caller binds once, so that the engine can hand it the exports
// it loaded from Korvane.dll by name and a test or a Python module the
// ones it links in, without the library depending on either.
#pragma once

#include "sim/physics_calls.h"

namespace search {

// The search needs simulate, createShot and createHitShot; without seed it
// runs unseeded.
using ::PhysicsCalls;

// Binds the calls that every later search uses. Not to be called while a
// search runs.
void BindPhysics(const PhysicsCalls& calls);
const PhysicsCalls& BoundPhysics();

// True when the three calls a search cannot do without are bound.
bool PhysicsReady(const PhysicsCalls& calls);

}  // namespace search
