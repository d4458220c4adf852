// Re-executes a recorded game through the physics: every played stone from
// the positions recorded before it, with its recorded seed, vector and the
// game's noise, must come to rest exactly (to the bit) where the record
// says. What it cannot check: the engines' choices, which come from their
// own non-deterministic random sources.
#pragma once

#include <string>

#include "record/physics.h"
#include "record/record.h"

struct ReplayOutcome {
  bool same = true;
  int stonesChecked = 0;
  std::string firstDifference;  // "end 2 stone 7 (B): stone 3 rests at ... , the record says ..."
};

ReplayOutcome ReplayGame(const GameRecord& game, const RunnerPhysics& physics);

// The one-line summary for the command line.
std::string ReplaySummary(const GameRecord& game, const ReplayOutcome& outcome,
                          const std::string& libraryVersion);
