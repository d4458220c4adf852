// The curling line score as text: ends across, each side's points in its
// row, the side with the hammer (the last stone of the end) marked '*'.
#pragma once

#include <string>

#include "record/record.h"

constexpr char kHammerMark = '*';

// One line after each finished end: both rows so far and their totals, e.g.
//   end  3  A  0  2* 0  =  2   B  1* 0  0* =  1
std::string FormatEndLine(const GameRecord& game);

// The board of the whole game (header, row A, row B with totals) and a
// final line saying who won, each line ended.
std::string FormatFinalBoard(const GameRecord& game);

// A game's result as every output words it, its seats named `names`:
// "alpha 3 - 1 beta, alpha wins" (or "draw"), and after a forfeit, which
// decides whatever the points, "A 0 - 4 B, A wins (B forfeits: why)".
std::string FormatResult(const std::string (&names)[2], const int (&points)[2],
                         GameResult result, int forfeitSeat, const std::string& forfeitReason);

// FormatResult of a complete game with its seats named A and B.
std::string FormatResult(const GameRecord& game);
