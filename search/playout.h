// The play-out after a candidate: a cheap, sensible policy that throws the
// rest of the end for both sides, so that a candidate is judged by ends
// that resemble real ones rather than by random shots.
#pragma once

#include "search/physics.h"
#include "sim/records.h"

namespace search {

// The policy's shot for the side to move in state: take out the
// opponent's shot stone when it lies in the house and can be reached,
// draw around a guard when it cannot, guard an own shot stone early, and
// otherwise draw into the house on its open side.
ShotVec PolicyShot(const GameState& state, const PhysicsCalls& physics);

// Plays the policy, each shot with the execution error, until the end's
// last stone has been thrown (shotIndex 16).
void PlayOut(GameState* state, const PhysicsCalls& physics, float noise);

}  // namespace search
