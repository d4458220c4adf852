// The play-out after a candidate: a cheap, sensible policy that throws the
// rest of the end for both sides, so that a candidate is judged by ends
// that resemble real ones rather than by random shots.
#pragma once

#include "search/end_value.h"
#include "search/physics.h"
#include "sim/records.h"

namespace search {

// The policy's shot for the side to move in state: take out the
// opponent's shot stone when it lies in the house and can be reached,
// draw around a guard when it cannot, guard an own shot stone early, and
// otherwise draw into the house on its open side.
ShotVec PolicyShot(const GameState& state, const PhysicsCalls& physics);

// The last stone of an end, chosen from a short menu (draws to the button
// and the open sides, a throw-through, takeouts and a freeze on the shot
// stone) by its noise-free result valued for the side to move: values are
// the root mover's, who owns the stones of rootParity.
ShotVec LastStoneShot(const GameState& state, const PhysicsCalls& physics,
                      const EndValues& values, int rootParity);

// Plays the policy, each shot with the execution error, until the end's
// last stone has been thrown (shotIndex 16); the last stone by
// LastStoneShot when values are given.
void PlayOut(GameState* state, const PhysicsCalls& physics, float noise,
             const EndValues* values = nullptr, int rootParity = 0);

}  // namespace search
