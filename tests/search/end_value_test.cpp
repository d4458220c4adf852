// An end's value: the score as the rules count it, and the win table read
// with the lead and the hammer that the score leaves.
#include "search/end_value.h"

#include <gtest/gtest.h>

#include "search/win_table.h"
#include "support.h"

namespace {

using search::EndScoreFor;
using search_test::Position;

TEST(EndScore, NearestSideCountsItsStonesInsideTheOthersBest) {
  // Even stones: two in front of the odd side's best, one behind it.
  const GameState s = Position(16, {{0, 2.375f, 4.9f},
                                    {2, 2.6f, 4.8f},
                                    {4, 2.375f, 6.5f},
                                    {1, 2.375f, 5.6f},
                                    {3, 2.375f, 3.2f}});
  EXPECT_EQ(EndScoreFor(s, 16, 0), 2);
  EXPECT_EQ(EndScoreFor(s, 16, 1), -2);
  // Only thrown stones count: before stone 2 was thrown, one point.
  EXPECT_EQ(EndScoreFor(s, 2, 0), 1);
}

TEST(EndScore, StonesOutsideTheHouseOrOutOfPlayDoNotCount) {
  const GameState s =
      Position(16, {{0, 2.375f, 4.88f + 1.98f}, {1, 0.0f, 0.0f}, {3, 2.375f, 9.0f}});
  EXPECT_EQ(EndScoreFor(s, 16, 0), 0);
  EXPECT_EQ(EndScoreFor(Position(16, {}), 16, 1), 0);
}

TEST(EndValue, LeadAndHammerAfterTheEndComeFromTheScore) {
  const search::WinTable& t = search::DefaultWinTable();
  // Last end (endIndex 7 of 8), tied, the mover (side 1) throws last.
  GameState s = Position(15, {}, 7, 8, 1);
  search::EndValues v = search::MakeEndValues(t, s);
  EXPECT_EQ(v.win[search::ScoreSlot(1)], 1.0);
  EXPECT_EQ(v.win[search::ScoreSlot(-1)], 0.0);
  // A blank keeps the hammer for the extra end.
  EXPECT_EQ(v.win[search::ScoreSlot(0)], search::WinProbability(t, 0, 0, true));
  s.shotIndex = 14;
  v = search::MakeEndValues(t, s);
  EXPECT_EQ(v.win[search::ScoreSlot(0)], search::WinProbability(t, 0, 0, false));

  // Side 0 leads by 2 after two ends; side 1 to move, three ends to come.
  s = Position(5, {}, 2, 6, 1);
  s.endScore[0] = 3;
  s.endScore[1] = -1;
  EXPECT_EQ(search::MoverLead(s), -2);
  EXPECT_EQ(search::EndsLeftAfter(s), 3);
  v = search::MakeEndValues(t, s);
  // Scoring gives up the hammer; being scored on gets it.
  EXPECT_EQ(v.win[search::ScoreSlot(2)], search::WinProbability(t, 3, 0, false));
  EXPECT_EQ(v.win[search::ScoreSlot(-1)], search::WinProbability(t, 3, -3, true));
  // More points are better on either side of a blank; a blank itself may
  // beat a single point, since it keeps the hammer.
  for (int sc = 1; sc < 8; ++sc) {
    EXPECT_LE(v.win[search::ScoreSlot(sc)], v.win[search::ScoreSlot(sc + 1)]) << sc;
    EXPECT_LE(v.win[search::ScoreSlot(-sc - 1)], v.win[search::ScoreSlot(-sc)]) << -sc;
  }
}

TEST(EndValue, ExtraEndsAndOddRecordsStayInRange) {
  // An extra end (endIndex past the score slots) and a negative lastEnd.
  GameState s = Position(15, {}, 12, 13, 0);
  EXPECT_EQ(search::EndsLeftAfter(s), 0);
  s.lastEnd = -5;
  EXPECT_EQ(search::EndsLeftAfter(s), 0);
  s.endIndex = -3;
  EXPECT_EQ(search::MoverLead(s), 0);
}

}  // namespace
