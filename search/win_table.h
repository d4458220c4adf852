// Win probability of a curling game by (ends left, score difference,
// hammer), by dynamic programming over the distribution of one end's score.
// Every leaf of the search player is valued by it, so that the player plays
// for the game and not for the end.
#pragma once

#include <vector>

namespace search {

// Scores one end can give, from the hammer side's view: -kMaxEndScore
// (the other side steals eight) .. +kMaxEndScore.
constexpr int kMaxEndScore = 8;
constexpr int kEndScoreSlots = 2 * kMaxEndScore + 1;

// P(hammer side scores s) at index s + kMaxEndScore; sums to 1.
struct EndScoreDistribution {
  double p[kEndScoreSlots];
};

// P(win) for one side, before an end starts.
struct WinTable {
  int maxEndsLeft = 0;  // rows 0 .. maxEndsLeft; more ends left reads the last row
  int maxLead = 0;      // leads beyond +-maxLead read as +-maxLead
  std::vector<double> win;  // [endsLeft][lead + maxLead][hammer]
};

// Builds the table for up to maxEndsLeft ends. The rules it follows: the
// side that scores gives up the hammer, a blank end keeps it, a steal
// leaves it where it was; a game tied after its last end goes on with extra
// ends, played from the same distribution.
WinTable BuildWinTable(const EndScoreDistribution& hammerSide, int maxEndsLeft, int maxLead);

// P(win) for a side that leads by lead (negative: trails) with endsLeft
// ends still to play (0: the game is over unless tied), holding the hammer
// in the next end or not.
double WinProbability(const WinTable& table, int endsLeft, int lead, bool hammer);

// The table compiled into the player, from end scores measured in
// self-play (win_table_data.inc records how they were measured).
const WinTable& DefaultWinTable();
const EndScoreDistribution& MeasuredEndScores();

}  // namespace search
