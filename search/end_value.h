// What an end is worth to the side to move: its chance to win the game
// after the end, read from the win table by the end's score, the lead it
// leaves and who throws last in the next end.
#pragma once

#include "search/win_table.h"
#include "sim/records.h"

namespace search {

// Index of an end score s (from the mover's view) in EndValues::win and in
// the outcome counts: s + kMaxEndScore.
inline int ScoreSlot(int score) { return score + kMaxEndScore; }

struct EndValues {
  double win[kEndScoreSlots];  // P(win) of the mover after the end scores s
};

// The values for the side to move in root (the end in play, its lead, its
// hammer, the ends still to come).
EndValues MakeEndValues(const WinTable& table, const GameState& root);

// The mover's lead before the end in play: the ends played so far, summed
// from side 0's view and turned to the mover's.
int MoverLead(const GameState& root);

// Ends still to play after the end in play (0 in the last or an extra end).
int EndsLeftAfter(const GameState& root);

// The score the end gives as the stones lie, counting the first `thrown`
// stones, from the view of the side that owns the stones of parity
// ownerParity; in -8 .. 8.
int EndScoreFor(const GameState& state, int thrown, int ownerParity);

// A stone that the rules keep in play: clear of the side lines and the back
// line, past the far hog line.
bool StoneInPlay(float x, float y);

}  // namespace search
