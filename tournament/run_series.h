// The first pairing's figures over the games of a run, for the plots of
// its index page: the SPRT's LLR after every game (when the run has an
// SPRT) and the Elo difference with its interval after every game that
// gives one. A point is taken from the very tables the console shows, so
// the plots end where the tables stand.
#pragma once

#include <vector>

#include "tournament/tables.h"
#include "view/run_plot.h"

struct RunSeries {
  std::vector<PlotPoint> llr;  // empty without an SPRT
  std::vector<PlotPoint> elo;  // only where the games give an interval
};

// Adds the point of `game`, the last of the games `tables` counts; the
// games come in game order, one call each.
void AddToSeries(const Tables& tables, const GameLine& game, RunSeries* series);

// The series of a run's games (Deduplicate'd: in game order), as a run
// reporting them one by one builds it: a resumed or merged run gets the
// plots of one played in one go. Tables of every prefix: quadratic in the
// games, meant for a file read once.
RunSeries SeriesOf(const RunInfo& info, const std::vector<GameLine>& games);
