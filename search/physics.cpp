#include "search/physics.h"

namespace search {
namespace {

PhysicsCalls bound;

}  // namespace

void BindPhysics(const PhysicsCalls& calls) { bound = calls; }

const PhysicsCalls& BoundPhysics() { return bound; }

bool PhysicsReady(const PhysicsCalls& calls) {
  return calls.simulate != nullptr && calls.createShot != nullptr && calls.createHitShot != nullptr;
}

}  // namespace search
