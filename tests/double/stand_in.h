// What every stand-in for the physics library shares with the library
// itself: how a throw moves the game record on, the closest-stone score and
// which resting places are in play. The stand-ins replace only the model
// (where the stones come to rest) with exact, simple rules, so that a test
// knows where every stone lies.
#pragma once

#include "sim/records.h"

using ScoreFn = int (*)(const GameState* state);

// Whether stone state->shotIndex can be thrown. When it cannot (an index
// outside the end), the index advances without overflowing, as the library
// does, and the throw is over.
bool StartThrow(GameState* state);

// Once the stand-in has put the stones where its rule says: the side to
// move changes, the index advances, and the end's last stone scores the
// end with score into its slot (when the end has one) and opens the next
// end.
void FinishThrow(GameState* state, ScoreFn score);

// The end's score as the stones below shotIndex lie, by the closest-stone
// rule within the house's reach: positive for the side whose sideToMove
// flag is 0, as the library's GetScore.
int ClosestStoneScore(const GameState* state);

// Whether a stone resting at (x, y) is in play: clear of both side lines,
// not wholly behind the back line, wholly past the far hog line.
bool RestsInPlay(float x, float y);
