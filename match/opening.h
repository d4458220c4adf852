// A start situation for a game: which end it starts in, the score so far,
// who has the hammer, and optionally stones already thrown in that first
// end. The default is an ordinary game from its first end.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "record/rules.h"
#include "sim/sheet.h"

struct Opening {
  int startEnd = 0;      // index of the first end played, from 0; earlier ends count as played
  int pointsA = 0;       // points seat A has scored before startEnd
  int pointsB = 0;       // points seat B has scored before startEnd
  Seat hammer = kSeatB;  // seat with the last stone of the first end played
  // Stones already thrown in the first end played, in throwing order (so
  // stone k belongs to the side without the hammer when k is even); (0, 0)
  // for one out of play. The engines are asked from stone firstStones.size().
  std::vector<std::array<float, 2>> firstStones;  // m
};

// "" when the opening can be played in a game of regularEnds ends,
// otherwise what is wrong: startEnd outside [0, regularEnds), negative
// points, a score that cannot arise in startEnd ends (one side scores in
// an end, at most game::kMostPointsPerEnd), as many stones as an end has or more, or a stone
// outside
// [-100, 100] m or not finite.
std::string OpeningProblem(const Opening& opening, int regularEnds);

// The scores for A of the ends before opening.startEnd, as the record and
// the runner's score table hold them: A's points in ends of up to eight,
// then B's, then blank ends. Only for an opening OpeningProblem accepts.
std::vector<int> EarlierEndScores(const Opening& opening);
