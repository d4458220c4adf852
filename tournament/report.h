// The lines a run prints while it plays: one per finished game (plain
// output), or one progress line kept up to date in place on a terminal.
#pragma once

#include <string>

#include "tournament/tables.h"

// "game 3/12: alpha 6 - 3 beta, alpha wins", with the reason of a forfeit;
// ended. runGames: the games of the whole run (game numbers are the run's).
std::string FormatGameLine(const GameLine& game, const Tables& tables, int runGames);

// "12/100 games  alpha vs beta +35.2 Elo [+1.0, +70.0]  LLR 1.20  left 0:12:30",
// or "+35.2 Elo (too few games for an interval)" while the first pairing has
// none; not ended; secondsLeft < 0 when unknown.
std::string FormatProgressLine(const Tables& tables, double secondsLeft);

// What redraws the progress line in place: a carriage return, the line, and
// blanks over whatever a longer line before it left on screen. A terminal of
// `columns` (0: unknown) gets the line cut to columns - 1, since a line that
// wraps could not be redrawn in place. shownWidth: the display width of the
// line on screen, 0 when none is; updated.
std::string RedrawProgressLine(const std::string& line, int columns, int* shownWidth);
