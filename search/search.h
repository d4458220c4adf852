// The search player: from a game record to one shot, by weighing many
// candidate shots, each played many times with the game's execution error
// and played out to the end of the end, every end valued by the chance to
// win the game that it leaves. One entry point, SearchShot, for the engine
// and for any other caller in process; the physics is whatever BindPhysics
// was given.
#pragma once

#include <cstddef>
#include <cstdint>

#include "search/candidates.h"
#include "sim/records.h"

namespace search {

struct SearchLimits {
  double milliseconds = 1000;  // the time for this shot, when samples is 0
  int64_t samples = 0;         // > 0: this many samples instead of a time
  int threads = 0;             // 0: the OpenMP default
  uint64_t seed = 0;           // the samples' noise; same seed, same search
  bool twoPly = true;          // stone 14 answered by the opponent's best reply
};

// What a search came to, for its diagnostic line.
struct SearchReport {
  int candidates = 0;
  int64_t samples = 0;      // candidate throws played, each with its play-out,
                            // and on stone 14 every throw of the two-ply search
  int rounds = 0;           // halving rounds completed
  double bestWin = 0;       // the chosen shot's mean P(win)
  int64_t bestSamples = 0;  // samples behind that figure
  Candidate best{};
  int twoPlyFinalists = 0;  // stone 14: finalists valued two-ply, 0 for none
  int64_t twoPlySamples = 0;  // and the two-ply samples behind each
  double milliseconds = 0;
  int threads = 0;
};

// Fills out with the shot for the side to move in state. With samples set
// and the same seed, the same state gives the same shot on every run with
// the same thread count. A record that cannot be searched (no bound
// physics, shotIndex outside 0..15) gets a draw to the tee, or a zero
// vector without physics.
void SearchShot(const GameState& state, const SearchLimits& limits, ShotVec* out,
                SearchReport* report = nullptr);

// One line that describes the search, without a line end.
void FormatReport(const SearchReport& report, char* text, std::size_t size);

}  // namespace search
