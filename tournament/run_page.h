// The index page of a run of many games with --html: the tables as
// printed, the plots of the run so far and one row per game linking its
// replay page. Rewritten whole as games end, atomically, so a browser
// reloading it never sees half a page.
#pragma once

#include <string>
#include <vector>

#include "tournament/game_output.h"
#include "tournament/run_series.h"

// Whether the run has one: --html and more than one game (a single game's
// FILE is its replay page).
bool HasRunPage(const GameOutputOptions& o);

// Writes the page (nothing without one): tables over `games`, the series
// of the same games. running: the browser is told to reload it until the
// run ends. False when it could not be written (said on standard error).
bool WriteRunPage(const GameOutputOptions& o, const Tables& tables, const RunSeries& series,
                  const std::vector<GameLine>& games, bool running);
