// Start situations for the games of a run, read from JSON lines, one
// opening per line (blank lines are skipped):
//
//   {"end": 9, "score": [3, 4], "hammer": "A", "stones": [[2.4, 5.1], [0, 0]]}
//
// end: the end to start at, counted from 1 (earlier ends count as played);
// score: points of seats A and B before it; hammer: "A" or "B", the seat
// with the last stone of that end; stones (optional): stones already
// thrown in that end, in throwing order, [x, y] in m with [0, 0] for a
// stone out of play. Only "end" is required: score defaults to [0, 0],
// hammer to "B". Each opening is played as a pair of games with the
// engines' seats swapped, so each engine plays each side once.
#pragma once

#include <string>
#include <vector>

#include "match/opening.h"

// Most stones an opening may hold: the engines must have one left to throw.
constexpr int kMaxOpeningStones = game::kStonesPerEnd - 1;
constexpr int kMaxOpeningEnd = 100;
constexpr int kMaxOpeningScore = 1000;

// Fills out with every opening of text, in order. False (out untouched)
// with error naming the line for malformed JSON, unknown keys, values of
// the wrong type or out of range, or a text without any opening.
bool ParseOpenings(const std::string& text, std::vector<Opening>* out, std::string* error);

// The JSON line of one opening, as ParseOpenings reads it back.
std::string OpeningToJsonLine(const Opening& opening);
