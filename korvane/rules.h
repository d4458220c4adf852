// The rules a shot is played under: which stones are in play, what a shot
// removes, the free guard zone and the score of an end.
#pragma once

#include "sim/records.h"

namespace korvane {

// In play as the rules have it: clear of both side lines, not wholly behind
// the back line, wholly past the far hog line. Non-finite is out of play.
bool InPlay(double x, double y);

// On the sheet between the side lines and back lines; such a stone is
// something a moving stone can strike (a delivered stone kept short of the
// hog line after a hit is one).
bool OnSheet(double x, double y);

// Centre closer to the tee than house radius + stone radius, in float
// arithmetic as the engine's own test.
bool InHouse(float x, float y);

// Lies in the free guard zone: in play, on the hog side of the tee line,
// outside the house.
bool InGuardZone(double x, double y);

// Score of the end as the stones lie, counting stones below shotIndex
// (clamped to 0..game::kStonesPerEnd): positive for the side whose sideToMove flag is 0.
int ScoreEnd(const GameState& state);

// The next value of a counter, without overflow.
int SaturatingIncrement(int value);

}  // namespace korvane
