#include "record/rules.h"

#include <gtest/gtest.h>

TEST(MatchRules, ExtraEndsOnlyWhileTiedAndNeverForEver) {
  EXPECT_FALSE(AnotherEnd(ScoreTable{{1, -1}}, 2, false));
  EXPECT_FALSE(AnotherEnd(ScoreTable{std::vector<int>(2 + kMaxExtraEnds, 0)}, 2, true));
}
