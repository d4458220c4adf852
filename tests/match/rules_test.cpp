#include "match/rules.h"

#include <gtest/gtest.h>

#include "match/line_score.h"
#include "match/summary.h"

TEST(MatchRules, StonesAlternateFromTheFirstThrower) {
  EXPECT_EQ(SeatOfStone(kSeatB, 0), kSeatB);
  EXPECT_EQ(SeatOfStone(kSeatB, 15), kSeatA);
  EXPECT_EQ(SeatOfStone(kSeatA, 14), kSeatA);
}

TEST(MatchRules, ScoringSideThrowsFirstAndBlankEndKeepsHammer) {
  EXPECT_EQ(FirstThrowerAfter(kSeatB, 2), kSeatA);   // A scored: A gives up the hammer
  EXPECT_EQ(FirstThrowerAfter(kSeatA, -1), kSeatB);  // B scored
  EXPECT_EQ(FirstThrowerAfter(kSeatA, 0), kSeatA);   // blank: B keeps the hammer
  EXPECT_EQ(FirstThrowerAfter(kSeatB, 0), kSeatB);
  EXPECT_EQ(FirstThrowerOfGame(0), kSeatA);
  EXPECT_EQ(FirstThrowerOfGame(1), kSeatB);
}

TEST(MatchRules, ExtraEndsOnlyWhileTied) {
  ScoreTable t{{1, -1}};
  EXPECT_TRUE(AnotherEnd(t, 2, true));
  EXPECT_FALSE(AnotherEnd(t, 2, false));
  EXPECT_EQ(ResultOf(t), GameResult::kDraw);
  t.endScores.push_back(0);  // a blank extra end settles nothing
  EXPECT_TRUE(AnotherEnd(t, 2, true));
  t.endScores.push_back(-2);
  EXPECT_FALSE(AnotherEnd(t, 2, true));
  EXPECT_EQ(ResultOf(t), GameResult::kWinB);
  EXPECT_EQ(PointsFor(t, kSeatA), 1);
  EXPECT_EQ(PointsFor(t, kSeatB), 3);
  ScoreTable endless{std::vector<int>(2 + kMaxExtraEnds, 0)};
  EXPECT_FALSE(AnotherEnd(endless, 2, true));
  EXPECT_EQ(LastEndToSend(10, 3), 10);
  EXPECT_EQ(LastEndToSend(10, 10), 11);
}

namespace {

GameRecord GameWithEnds(const std::vector<std::pair<Seat, int>>& ends) {
  GameRecord g;
  for (size_t k = 0; k < ends.size(); ++k) {
    EndRecord e;
    e.endIndex = static_cast<int>(k);
    e.firstThrower = ends[k].first;
    e.scoreForA = ends[k].second;
    e.finished = true;
    g.ends.push_back(e);
    g.table.endScores.push_back(e.scoreForA);
  }
  return g;
}

}  // namespace

TEST(LineScore, EndsAcrossWithHammerMarked) {
  const GameRecord g = GameWithEnds({{kSeatA, -1}, {kSeatB, 2}, {kSeatA, 0}});
  EXPECT_EQ(FormatEndLine(g), "end  3  A  0   2*  0  =  2    B  1*  0   0* =  1\n");
  EXPECT_EQ(FormatFinalBoard(g),
            "End     1   2   3  | Total\n"
            "A       0   2*  0  |   2\n"
            "B       1*  0   0* |   1\n"
            "final: A 2 - 1 B, A wins\n");
}

TEST(MatchSummary, CountsFromEachSideAndBoundsTheShare) {
  MatchTally t;
  AddGame(GameWithEnds({{kSeatA, 3}}), &t);
  AddGame(GameWithEnds({{kSeatB, -2}}), &t);
  AddGame(GameWithEnds({{kSeatA, 0}}), &t);
  AddGame(GameWithEnds({{kSeatB, 1}}), &t);
  EXPECT_EQ(t.winsA, 2);
  EXPECT_EQ(t.winsB, 1);
  EXPECT_EQ(t.draws, 1);
  EXPECT_EQ(t.pointsA, 4);
  EXPECT_EQ(t.pointsB, 2);
  const ScoreShare s = ScoreShareOf(t);
  EXPECT_DOUBLE_EQ(s.share, 0.625);
  EXPECT_LT(s.low, s.share);
  EXPECT_GT(s.high, s.share);
  MatchTally sweep;
  for (int g = 0; g < 20; ++g) AddGame(GameWithEnds({{kSeatA, 1}}), &sweep);
  // Twenty wins out of twenty: the textbook Wilson interval [0.839, 1].
  EXPECT_NEAR(ScoreShareOf(sweep).low, 0.8389, 1e-3);
  EXPECT_DOUBLE_EQ(ScoreShareOf(sweep).high, 1.0);
}
