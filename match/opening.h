// A start situation for a game: which end it starts in, the score so far,
// who has the hammer, and optionally stones already thrown in that first
// end. The default is an ordinary game from its first end.
#pragma once

#include <array>
#include <vector>

#include "match/rules.h"

struct Opening {
  int startEnd = 0;     // index of the first end played, from 0; earlier ends count as played
  int pointsA = 0;      // points seat A has scored before startEnd
  int pointsB = 0;      // points seat B has scored before startEnd
  Seat hammer = kSeatB;  // seat with the last stone of the first end played
  // Stones already thrown in the first end played, in throwing order (so
  // stone k belongs to the side without the hammer when k is even); (0, 0)
  // for one out of play. The engines are asked from stone firstStones.size().
  std::vector<std::array<float, 2>> firstStones;  // m
};
