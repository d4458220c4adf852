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

// "A 3 - 1 B, A wins" (or "draw").
std::string FormatResult(const GameRecord& game);
