// Spreading a whole game's thinking time over its stones: more on the last
// stones of an end and in close games, never more than is left, with a
// reserve for what the clock charges besides the searches.
#pragma once

#include "sim/records.h"

namespace search {

struct GameTimeLeft {
  double remainingMs = 0;  // what the game clock still allows
  double incrementMs = 0;  // added after each own stone
  double totalMs = 0;      // the whole game's budget, for the reserve
};

// The thinking time for the stone state->shotIndex, ms; at least 1.
double MoveTimeFor(const GameState& state, const GameTimeLeft& clock);

// The share of the remaining time the clock keeps back, ms: a fixed part
// of the whole budget and a little per stone still to throw (reading the
// commands, writing the reply, starting threads).
double ReserveMs(const GameState& state, const GameTimeLeft& clock);

// What is likely left of a game's budget when the clock starts at this
// stone rather than at the first (an engine restarted in mid-game, or a
// game begun from an opening): the stones already thrown are taken to have
// had their share of the plan, so a restart never trusts a full clock it
// no longer has. Ms.
double ClockAtFirstSearch(const GameState& state, double totalMs);

}  // namespace search
