// The players that the end-score measurement can put in self-play, by
// name. A player takes its physics as function pointers, because the
// measurement links Korvane.dll directly rather than through the engine's
// run-time binding.
#pragma once

#include <string>

#include "sim/physics_calls.h"
#include "sim/records.h"

namespace win_table {

// Fills vec with the shot to play from state. It must not use threads of
// its own: the measurement plays ends on its threads, and each thread's
// random engine is seeded per end for reproducible counts.
using PlayerFn = void (*)(const GameState& state, const PhysicsCalls& physics, ShotVec* vec);

struct Player {
  const char* name;  // as given on the command line
  PlayerFn play;
  std::string (*describe)();  // how it plays, recorded with the measured counts
};

// The registered players, and their count.
extern const Player kPlayers[];
extern const int kPlayerCount;

// The player of that name, or null.
const Player* FindPlayer(const char* name);

}  // namespace win_table
