#include "match/opening.h"

#include <gtest/gtest.h>

#include <cmath>

// Start situations: the earlier ends' scores that give the opening's
// points (one side scores in an end, eight at most), or why none can.
TEST(Openings, EarlierEndsGiveTheScoreOrTheOpeningIsRefused) {
  struct Case {
    int startEnd, pointsA, pointsB, stones;
    std::vector<int> scores;  // when accepted
    const char* problem;      // a part of it; "" when accepted
  };
  const Case cases[] = {
      {0, 0, 0, 0, {}, ""},
      {3, 9, 2, 15, {8, 1, -2}, ""},
      {4, 0, 0, 1, {0, 0, 0, 0}, ""},
      {1, 1, 1, 0, {}, "cannot arise"},
      {2, 17, 0, 0, {}, "cannot arise"},
      {-1, 0, 0, 0, {}, "not one of the game's"},
      {10, 0, 0, 0, {}, "not one of the game's"},
      {2, -1, 0, 0, {}, "negative"},
      {0, 0, 0, 16, {}, "more stones"},
  };
  for (const Case& c : cases) {
    Opening o;
    o.startEnd = c.startEnd;
    o.pointsA = c.pointsA;
    o.pointsB = c.pointsB;
    o.firstStones.assign(static_cast<size_t>(c.stones), {2.375f, 4.88f});
    const std::string problem = OpeningProblem(o, 10);
    SCOPED_TRACE(problem);
    if (*c.problem) {
      EXPECT_NE(problem.find(c.problem), std::string::npos);
      continue;
    }
    ASSERT_EQ(problem, "");
    const ScoreTable table{EarlierEndScores(o)};
    EXPECT_EQ(table.endScores, c.scores);
    EXPECT_EQ(PointsFor(table, kSeatA), c.pointsA);
    EXPECT_EQ(PointsFor(table, kSeatB), c.pointsB);
  }
  Opening offSheet;
  offSheet.firstStones = {{0.0f, std::nanf("")}};
  EXPECT_NE(OpeningProblem(offSheet, 10), "");
  Opening second;
  second.startEnd = 1;
  second.pointsA = second.pointsB = 1;
  EXPECT_EQ(OpeningProblem(second, 10), "a score of 1-1 cannot arise in 1 end");
  EXPECT_EQ(OpeningProblem(second, 1), "start end 2 is not one of the game's 1 end");
}
