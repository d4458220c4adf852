// The comparisons that the replies show only in part: the house's exact
// edge, and the best of candidates that all lost.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "strategy/candidate_search.h"
#include "strategy/geometry.h"

namespace {

TEST(IsInHouse, TheBoundaryCircleAndNanAreOutside) {
  // Its squared tee distance, rounded step by step in floats, is exactly the
  // limit.
  const float x = 4.3499999f, y = 4.88059855f;
  ASSERT_EQ(TeeDistanceSquared(x, y), 3.900625f);
  EXPECT_FALSE(IsInHouse(x, y));
  EXPECT_TRUE(IsInHouse(std::nextafter(x, 0.0f), y));
  EXPECT_FALSE(IsInHouse(std::numeric_limits<float>::quiet_NaN(), float(sheet::kTeeY)));
}

TEST(ChooseBestCandidate, FirstMaximumEvenWhenAllAreNegative) {
  const int32_t ties[] = {3, 7, 7, -1};
  const int32_t negative[] = {-50, -13, -20, -13};
  const int32_t lowest[] = {std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::min()};
  EXPECT_EQ(ChooseBestCandidate(ties, 4), 1);
  EXPECT_EQ(ChooseBestCandidate(negative, 4), 1);
  EXPECT_EQ(ChooseBestCandidate(lowest, 2), 0);
}

}  // namespace
