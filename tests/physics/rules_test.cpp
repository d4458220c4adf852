// The rules a shot is played under and the score of an end.
#include "korvane/rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "helpers.h"

using namespace korvane_test;

TEST(Removal, EachLineRemovesTheStonesTheRulesSay) {
  const std::tuple<double, double, int, bool> cases[] = {
      {2.375, 12.0, 0, true},           // short of the hog line
      {2.375, 11.28 - 0.15, 0, false},  // wholly past it
      {2.375, 2.95, 0, false},          // still touching the back line
      {2.375, 2.85, 0, true},           // wholly over it
      {0.14, 5.0, 0, true},             // touching a side line
      {4.61, 5.0, 0, true},
      {0.16, 5.0, 0, false},  // curling toward the line: the path never passes the rest point
      {4.59, 5.0, 1, false},
  };
  for (const auto& [x, y, curl, out] : cases) {
    GameState s = EmptyEnd();
    Simulation(&s, Draw(x, y, curl), 0.0f, nullptr, -1);
    EXPECT_EQ(IsOut(s, 0), out) << x << "," << y;
  }
}

TEST(Removal, StoneThatHitsAStoneInPlayMayStopShortOfTheHogLine) {
  // A guard just past the hog line, struck head-on by a very light stone.
  GameState s = EmptyEnd(1);
  Put(&s, 0, 2.375, 11.0);
  Simulation(&s, Hit(2.375, 11.0 + 0.29, 0.4, 0), 0.0f, nullptr, -1);
  EXPECT_GT(s.stones[1][1], 11.28 - 0.145);  // kept, not at the reset position
}

TEST(FreeGuardZone, OnlyTakingOutAnOpponentsGuardBeforeTheSixthStoneIsUndone) {
  const std::tuple<int, int, double, double, bool> cases[] = {
      {1, 0, 8.0, 16.0, true},  {2, 1, 8.0, 16.0, true},  {3, 2, 8.0, 16.0, true},
      {4, 3, 8.0, 16.0, true},  {5, 4, 8.0, 16.0, false},  // from the sixth stone on
      {2, 0, 8.0, 16.0, false},                            // the mover's own guard
      {1, 0, 5.0, 16.0, false},                            // in the house: no guard
      {1, 0, 9.0, 2.0, false},                             // moved, but still in play
  };
  for (const auto& [shot, guard, y, power, undone] : cases) {
    GameState s = EmptyEnd(shot);
    Put(&s, guard, 2.375, y);
    if (shot >= 2 && guard != shot - 2) Put(&s, shot - 2, 2.0, 4.5);  // own, in the house
    const GameState before = s;
    Simulation(&s, Hit(2.375, y, power, 0), 0.0f, nullptr, -1);
    EXPECT_EQ(IsOut(s, shot), undone) << shot << " " << guard;
    EXPECT_EQ(std::memcmp(s.stones, before.stones, shot * sizeof s.stones[0]) == 0, undone)
        << shot << " " << guard;
  }
}

TEST(Score, CountsTheClosestSidesStonesInsideTheOpponentsBest) {
  using Stones = std::vector<std::tuple<int, double, double>>;  // index, x, y
  // Side 0 owns the stones of the parity of shotIndex + sideToMove; stone 4
  // lies behind the opponent's best.
  const Stones four = {{0, 2.375, 4.9}, {2, 2.375, 5.3}, {4, 2.375, 6.5}, {1, 2.375, 5.6}};
  const std::tuple<int, int, Stones, int> cases[] = {
      {16, 0, {{0, 2.375, 8.0}, {1, 0, 0}}, 0},  // none in the house
      {16, 0, four, 2},
      {16, 1, four, -2},
      {15, 0, four, -2},  // 15: the odd stones are side 0's
      // One side alone; the stone on the back line is outside the 1.975 reach.
      {16, 0, {{1, 2.375, 4.0}, {3, 3.0, 5.5}, {5, 2.375, 2.0}}, -2},
      {16, 0, {{0, 2.375, 5.5}, {1, 2.375, 4.26}}, 0},  // tie for shot stone
      // The house edge is strict, and a stone not yet thrown does not count.
      {2, 0, {{0, 2.375, 4.88 + 1.976}, {2, 2.375, 4.88}}, 0},
      {2, 0, {{0, 2.375, 4.88 + 1.976}, {2, 2.375, 4.88}, {1, 2.375, 4.88 + 1.97}}, -1},
  };
  for (const auto& [shot, side, stones, score] : cases) {
    GameState s = EmptyEnd(shot);
    s.sideToMove = static_cast<uint8_t>(side);
    for (const auto& [i, x, y] : stones) Put(&s, i, x, y);
    EXPECT_EQ(GetScore(&s), score) << "shot " << shot << " side " << side;
  }
}

// Nothing else changes: not the unthrown slots (stone 13 lies on the path
// of the draw at shot 2 and must not stop it), padding, lastEnd or the other
// scores. A record that cannot be played only advances shotIndex.
TEST(Bookkeeping, ShotAdvancesIndexFlipsSideAndOnlyTheSixteenthScoresTheEnd) {
  const std::pair<int, int> cases[] = {{2, 4},   {15, 4},       {15, 9},       {15, 10},
                                       {15, -1}, {15, INT_MAX}, {15, INT_MIN}, {16, 4},
                                       {17, 4},  {-1, 4},       {INT_MIN, 4},  {INT_MAX, 4}};
  for (const auto& [shot, endIndex] : cases) {
    GameState s = EmptyEnd(shot);
    s.endIndex = endIndex;
    s.sideToMove = shot & 1;
    s.lastEnd = 9;
    s.endScore[3] = -2;
    s.padding[1] = 0x5A;
    Put(&s, 13, 2.375, 5.2);
    Put(&s, 15, 2.0, 30.0);
    GameState expected = s;
    const bool playable = shot >= 0 && shot < 16;
    EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1), playable ? 1 : 0);
    expected.shotIndex = shot == INT_MAX ? INT_MAX : shot + 1;
    if (playable) {
      expected.sideToMove = 1 - (shot & 1);
      std::memcpy(expected.stones, s.stones, (shot + 1) * sizeof s.stones[0]);
    }
    if (shot == 2) {
      EXPECT_LT(std::hypot(s.stones[2][0] - 2.375, s.stones[2][1] - 4.88), 0.001);
    }
    if (shot == 15) {
      expected.endIndex = endIndex == INT_MAX ? INT_MAX : endIndex + 1;
      // Stones 13 and 15 were thrown by the side whose flag is 1: negative.
      if (endIndex >= 0 && endIndex < 10) expected.endScore[endIndex] = -2;
    }
    EXPECT_EQ(std::memcmp(&s, &expected, sizeof s), 0) << shot << " " << endIndex;
  }
}

// Launch vectors a few float steps apart put rest points across every
// line that decides play, some within rounding of it: in play in double
// precision but not as stored, or the other way round. The stored floats
// decide: the stone is in play by them or at the reset position, and a
// later shot that does not touch it leaves it where it is.
TEST(Removal, RulesHoldOnTheStoredFloatsNearEveryLine) {
  struct Line {
    double x, y;            // a point on the limit of the stone's centre
    int curl;               // drifting away from a side line, not across it
    double otherX, otherY;  // where the later shot draws to, clear of the stone
  };
  const Line lines[] = {
      {sheet::kStoneRadius, 7.0, 0, 3.5, 5.0},           // left side line
      {4.75 - sheet::kStoneRadius, 7.0, 1, 1.2, 5.0},    // right side line
      {3.3, 3.05 - sheet::kStoneRadius, 0, 2.375, 9.0},  // back line, off the centre line
      {0.6, 11.28 - sheet::kStoneRadius, 0, 4.0, 6.0},   // far hog line, off the centre line
  };
  // Float steps either way in vx and in vy. Off the centre line a step of vx
  // turns the rest point by nanometres across a back or hog line, a step of
  // vy moves it some micrometres.
  constexpr int kStepsX = 1500, kStepsY = 20;
  for (const Line& line : lines) {
    int inPlay = 0, removed = 0, rounded = 0;
    const ShotVec centre = Draw(line.x, line.y, line.curl);
    ShotVec v = centre;
    v.vy = centre.vy;
    for (int k = 0; k < kStepsY; ++k) v.vy = std::nextafter(v.vy, -INFINITY);
    for (int b = -kStepsY; b <= kStepsY; ++b, v.vy = std::nextafter(v.vy, INFINITY)) {
      v.vx = centre.vx;
      for (int k = 0; k < kStepsX; ++k) v.vx = std::nextafter(v.vx, -INFINITY);
      for (int a = -kStepsX; a <= kStepsX; ++a, v.vx = std::nextafter(v.vx, INFINITY)) {
        const auto [rx, ry] = RestOf(Delivery(v));
        const bool edge = korvane::InPlay(rx, ry) !=
                          korvane::InPlay(static_cast<float>(rx), static_cast<float>(ry));
        rounded += edge;
        if (!edge && (a + b) % 97 != 0) continue;  // play the edge cases and a sample
        GameState s = EmptyEnd();
        Simulation(&s, v, 0.0f, nullptr, -1);
        if (IsOut(s, 0)) {
          ++removed;
          continue;
        }
        ++inPlay;
        ASSERT_TRUE(korvane::InPlay(s.stones[0][0], s.stones[0][1]))
            << s.stones[0][0] << "," << s.stones[0][1];
        const GameState before = s;
        Simulation(&s, Draw(line.otherX, line.otherY, 0), 0.0f, nullptr, -1);
        EXPECT_EQ(std::memcmp(s.stones[0], before.stones[0], sizeof s.stones[0]), 0);
      }
    }
    std::printf("line at (%.3f, %.3f): %d in play, %d removed, %d within rounding\n", line.x,
                line.y, inPlay, removed, rounded);
    EXPECT_GT(inPlay, 0);
    EXPECT_GT(removed, 0);
    EXPECT_GT(rounded, 0);
  }
}
