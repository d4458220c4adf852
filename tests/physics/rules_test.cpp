// The rules a shot is played under and the score of an end.
#include "korvane/rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "helpers.h"

using namespace korvane_test;

TEST(Bookkeeping, ShotAdvancesIndexAndFlipsSide) {
  GameState s = EmptyEnd(3);
  s.sideToMove = 1;
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1), 1);
  EXPECT_EQ(s.shotIndex, 4);
  EXPECT_EQ(s.sideToMove, 0);
  EXPECT_EQ(Simulation(&s, Draw(2.375, 6.0, 0), 0.0f, nullptr, -1), 1);
  EXPECT_EQ(s.sideToMove, 1);
}

TEST(Bookkeeping, UnthrownStonesAndOtherFieldsAreLeftAlone) {
  GameState s = EmptyEnd(2);
  Put(&s, 9, 1.0, 1.0);
  Put(&s, 15, 2.0, 30.0);
  s.padding[1] = 0x5A;
  s.lastEnd = 7;
  s.endScore[3] = -2;
  Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, nullptr, -1);
  EXPECT_EQ(s.stones[9][0], 1.0f);
  EXPECT_EQ(s.stones[15][1], 30.0f);
  EXPECT_EQ(s.padding[1], 0x5A);
  EXPECT_EQ(s.lastEnd, 7);
  EXPECT_EQ(s.endScore[3], -2);
}

TEST(Removal, StoneShortOfTheHogLineIsRemoved) {
  GameState s = EmptyEnd();
  Simulation(&s, Draw(2.375, 12.0, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 0));
  // Wholly past the line (centre one radius beyond it) it stays.
  s = EmptyEnd();
  Simulation(&s, Draw(2.375, 11.28 - 0.15, 0), 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 0));
}

TEST(Removal, StoneThatHitsAStoneInPlayMayStopShortOfTheHogLine) {
  // A guard just past the hog line, struck head-on by a very light stone.
  GameState s = EmptyEnd(1);
  Put(&s, 0, 2.375, 11.0);
  const ShotVec v = Hit(2.375, 11.0 + 0.29, 0.4, 0);
  Simulation(&s, v, 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 1));
  EXPECT_GT(s.stones[1][1], 11.28 - 0.145);
}

TEST(Removal, StoneWhollyOverTheBackLineIsRemoved) {
  GameState s = EmptyEnd();
  Simulation(&s, Draw(2.375, 2.95, 0), 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 0));  // still touches the back line
  s = EmptyEnd();
  Simulation(&s, Draw(2.375, 2.85, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 0));
}

TEST(Removal, StoneTouchingASideLineIsRemovedAtOnce) {
  for (double x : {0.14, 4.61}) {
    GameState s = EmptyEnd();
    Simulation(&s, Draw(x, 5.0, 0), 0.0f, nullptr, -1);
    EXPECT_TRUE(IsOut(s, 0)) << x;
  }
  // Curling toward the line, the path never passes the point of rest.
  GameState s = EmptyEnd();
  Simulation(&s, Draw(0.16, 5.0, 0), 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 0));
  s = EmptyEnd();
  Simulation(&s, Draw(4.59, 5.0, 1), 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 0));
}

TEST(Removal, ThrownStonesOffTheSheetGoToTheResetPosition) {
  GameState s = EmptyEnd(2);
  Put(&s, 0, 7.0, 5.0);
  Put(&s, 1, NAN, 5.0);
  Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 0));
  EXPECT_TRUE(IsOut(s, 1));
}

// An opponent's guard in front of the house and a delivery that takes it out.
GameState GuardPosition(int shotIndex) {
  GameState s = EmptyEnd(shotIndex);
  Put(&s, shotIndex - 1, 2.375, 8.0);                    // opponent's guard
  if (shotIndex >= 2) Put(&s, shotIndex - 2, 2.0, 4.5);  // own stone in the house
  return s;
}

TEST(FreeGuardZone, TakingOutAProtectedGuardIsUndone) {
  for (int shot = 1; shot <= 4; ++shot) {
    GameState s = GuardPosition(shot);
    const GameState before = s;
    Simulation(&s, Hit(2.375, 8.0, 16.0, 0), 0.0f, nullptr, -1);
    EXPECT_TRUE(IsOut(s, shot)) << shot;
    for (int i = 0; i < shot; ++i) {
      EXPECT_EQ(s.stones[i][0], before.stones[i][0]);
      EXPECT_EQ(s.stones[i][1], before.stones[i][1]);
    }
    EXPECT_EQ(s.shotIndex, shot + 1);
  }
}

TEST(FreeGuardZone, FromTheSixthStoneTheGuardMayBeRemoved) {
  GameState s = GuardPosition(5);
  Simulation(&s, Hit(2.375, 8.0, 16.0, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 4));
  EXPECT_FALSE(IsOut(s, 5));
}

TEST(FreeGuardZone, OwnGuardsAndStonesInTheHouseAreNotProtected) {
  GameState s = EmptyEnd(2);
  Put(&s, 0, 2.375, 8.0);  // the mover's own guard
  Simulation(&s, Hit(2.375, 8.0, 16.0, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 0));
  s = EmptyEnd(1);
  Put(&s, 0, 2.375, 5.0);  // opponent's, but in the house
  Simulation(&s, Hit(2.375, 5.0, 16.0, 0), 0.0f, nullptr, -1);
  EXPECT_TRUE(IsOut(s, 0));
  EXPECT_FALSE(IsOut(s, 1));
}

TEST(FreeGuardZone, MovingAProtectedGuardInPlayIsAllowed) {
  GameState s = EmptyEnd(1);
  Put(&s, 0, 2.375, 9.0);
  Simulation(&s, Hit(2.375, 9.0, 2.0, 0), 0.0f, nullptr, -1);
  EXPECT_FALSE(IsOut(s, 0));
  EXPECT_LT(s.stones[0][1], 9.0f);
}

TEST(Score, NoStoneInTheHouseScoresNothing) {
  GameState s = EmptyEnd(16);
  Put(&s, 0, 2.375, 8.0);
  Put(&s, 1, 0.0, 0.0);
  EXPECT_EQ(GetScore(&s), 0);
}

TEST(Score, ClosestSideCountsStonesInsideTheOpponentsBest) {
  GameState s = EmptyEnd(16);
  s.sideToMove = 0;  // side 0 owns the parity of shotIndex: even stones
  Put(&s, 0, 2.375, 4.9);
  Put(&s, 2, 2.375, 5.3);
  Put(&s, 4, 2.375, 6.5);  // behind the opponent's best
  Put(&s, 1, 2.375, 5.6);
  EXPECT_EQ(GetScore(&s), 2);
  s.sideToMove = 1;  // now the even stones belong to side 1: the sign turns
  EXPECT_EQ(GetScore(&s), -2);
  s.shotIndex = 15;  // odd stones belong to the side to move; only 15 thrown
  s.sideToMove = 0;
  EXPECT_EQ(GetScore(&s), -2);
}

TEST(Score, OneSideAloneCountsAllItsStonesInTheHouse) {
  GameState s = EmptyEnd(16);
  Put(&s, 1, 2.375, 4.0);
  Put(&s, 3, 3.0, 5.5);
  Put(&s, 5, 2.375, 2.0);  // on the back line, outside the 1.975 reach
  EXPECT_EQ(GetScore(&s), -2);
}

TEST(Score, TieForClosestScoresNothing) {
  GameState s = EmptyEnd(16);
  Put(&s, 0, 2.375, 5.5);
  Put(&s, 1, 2.375, 4.26);
  EXPECT_EQ(GetScore(&s), 0);
}

TEST(Score, HouseEdgeIsStrictAndOnlyThrownStonesCount) {
  GameState s = EmptyEnd(2);
  Put(&s, 0, 2.375, 4.88 + 1.976);
  Put(&s, 2, 2.375, 4.88);  // not thrown yet
  EXPECT_EQ(GetScore(&s), 0);
  Put(&s, 1, 2.375, 4.88 + 1.97);
  EXPECT_EQ(GetScore(&s), -1);
}

TEST(EndOfEnd, SixteenthStoneWritesTheScoreAndAdvancesTheEnd) {
  GameState s = EmptyEnd(15);
  s.endIndex = 4;
  s.sideToMove = 1;
  Put(&s, 13, 2.375, 5.2);
  Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1);
  EXPECT_EQ(s.shotIndex, 16);
  EXPECT_EQ(s.endIndex, 5);
  // Stones 13 and 15 were thrown by the side whose flag is 1: negative.
  EXPECT_EQ(s.endScore[4], -2);
  EXPECT_EQ(GetScore(&s), -2);
  EXPECT_FALSE(IsOut(s, 15));
}

TEST(EndOfEnd, EndIndexOutsideTheTableWritesNoScore) {
  for (int endIndex : {10, -1, INT_MAX, INT_MIN}) {
    GameState s = EmptyEnd(15);
    s.endIndex = endIndex;
    const GameState before = s;
    Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1);
    EXPECT_EQ(std::memcmp(s.endScore, before.endScore, sizeof s.endScore), 0);
    EXPECT_EQ(s.endIndex, endIndex == INT_MAX ? INT_MAX : endIndex + 1);
    EXPECT_EQ(s.shotIndex, 16);
  }
}

TEST(EndOfEnd, RecordThatCannotBePlayedOnlyAdvancesShotIndex) {
  for (int shot : {16, 17, -1, INT_MIN, INT_MAX}) {
    GameState s = EmptyEnd(shot);
    Put(&s, 0, 2.375, 4.88);
    const GameState before = s;
    EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), 0.0f, nullptr, -1), 0);
    EXPECT_EQ(s.shotIndex, shot == INT_MAX ? INT_MAX : shot + 1);
    EXPECT_EQ(std::memcmp(reinterpret_cast<char*>(&s) + 4,
                          reinterpret_cast<const char*>(&before) + 4, sizeof s - 4),
              0);
  }
}
