#include "match/rules.h"

#include <gtest/gtest.h>

#include "match/summary.h"

TEST(MatchRules, ExtraEndsOnlyWhileTiedAndNeverForEver) {
  EXPECT_FALSE(AnotherEnd(ScoreTable{{1, -1}}, 2, false));
  EXPECT_FALSE(AnotherEnd(ScoreTable{std::vector<int>(2 + kMaxExtraEnds, 0)}, 2, true));
}

TEST(MatchSummary, CountsWinsDrawsAndPointsAndBoundsTheShare) {
  auto add = [](std::vector<int> ends, MatchTally* t) {
    GameRecord g;
    g.table.endScores = ends;
    AddGame(g, t);
  };
  MatchTally t;
  for (const std::vector<int>& ends : {std::vector<int>{3}, {-2}, {0}, {1, -1, 1}}) add(ends, &t);
  EXPECT_EQ((std::vector<int>{t.winsA, t.winsB, t.draws, t.pointsA, t.pointsB}),
            (std::vector<int>{2, 1, 1, 5, 3}));
  EXPECT_DOUBLE_EQ(ScoreShareOf(t).share, 0.625);
  MatchTally sweep;
  for (int g = 0; g < 20; ++g) add({1}, &sweep);
  // Twenty wins out of twenty: the textbook Wilson interval [0.839, 1].
  EXPECT_NEAR(ScoreShareOf(sweep).low, 0.8389, 1e-3);
  EXPECT_DOUBLE_EQ(ScoreShareOf(sweep).high, 1.0);
}
