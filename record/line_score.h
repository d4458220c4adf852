// The curling line score as text: ends across, each side's points in its
// row, the side with the hammer (the last stone of the end) marked '*'.
#pragma once

#include <string>

#include "record/record.h"

constexpr char kHammerMark = '*';

// The board of the finished ends: a header of end numbers, then one row per
// side with its points and its total, each line ended; 54 columns for ten
// ends, four more for every further one.
//   End     1   2   3  | Total
//   A       0   2*  0  |   2
//   B       1*  0   0* |   1
std::string FormatBoard(const GameRecord& game);

// A game's result as every output words it, its seats named `names`:
// "alpha 3 - 1 beta, alpha wins" (or "draw"), and after a forfeit, which
// decides whatever the points, "A 0 - 4 B, A wins (B forfeits: why)".
std::string FormatResult(const std::string (&names)[2], const int (&points)[2],
                         GameResult result, int forfeitSeat, const std::string& forfeitReason);

// FormatResult of a complete game with its seats named A and B.
std::string FormatResult(const GameRecord& game);
