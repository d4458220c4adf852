// The tally of a run of games between the same two engines, and its
// summary: results, points, the score share with a confidence interval,
// thinking times.
#pragma once

#include <string>
#include <vector>

#include "match/record.h"

struct MatchTally {
  int games = 0;
  int winsA = 0;
  int winsB = 0;
  int draws = 0;
  int pointsA = 0;
  int pointsB = 0;
  std::vector<double> gameScoresA;  // 1 win, 0.5 draw, 0 loss, per game
  EngineSummary engines[2];         // times and lost stones summed over games
};

void AddGame(const GameRecord& game, MatchTally* tally);

struct ScoreShare {
  double share = 0.0;  // mean game score of A: (wins + draws / 2) / games
  double low = 0.0;    // 95 % confidence interval
  double high = 1.0;
};

// The Wilson score interval, a draw counting as half a win. It stays
// meaningful for a one-sided run (ten wins out of ten is not [1, 1]); with
// draws it is a little wider than it needs to be.
ScoreShare ScoreShareOf(const MatchTally& tally);

// The summary table, one row per engine, lines ended.
std::string FormatSummary(const MatchTally& tally);

// One progress line after game `done` of `total`, ended.
std::string FormatProgress(const GameRecord& game, const MatchTally& tally, int total);
