// Rollouts and random shots with scripted stand-ins for the simulator.
#include "strategy/rollout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "fake_simulator.h"

namespace {

GameState Record(int32_t shotIndex, int32_t endIndex, uint8_t sideToMove) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  std::memset(state.padding, 0xab, sizeof state.padding);
  state.shotIndex = shotIndex;
  state.endIndex = endIndex;
  state.lastEnd = 8;
  state.sideToMove = sideToMove;
  for (int k = 0; k < 10; ++k) state.endScore[k] = 50 + k;  // stale slots
  return state;
}

class Rollout : public testing::Test {
 protected:
  void SetUp() override { OpenRandomShotSource(&shots); }

  int32_t Value(const GameState& state, int score) {
    FakeScript script;
    script.score = score;
    InstallFakeSimulator(script);
    const GameState before = state;
    const ShotVec candidate{2.0f, 5.0f, 1, {0, 0, 0}};
    const int32_t v = RolloutValue(candidate, state, &shots);
    EXPECT_EQ(std::memcmp(&before, &state, sizeof state), 0);
    return v;
  }
  RandomShotSource shots;
};

TEST_F(Rollout, PlaysOutToTheSixteenthStone) {
  for (int32_t s = 11; s <= 15; ++s) {
    EXPECT_EQ(Value(Record(s, 3, 0), 4), 4);
    EXPECT_EQ(fakeCounts.simulation, 16 - s) << s;
    EXPECT_EQ(fakeCounts.createShot, 15 - s) << "random shots after " << s;
    EXPECT_EQ(fakeCounts.badArguments, 0);
  }
}

TEST_F(Rollout, ScoreIsNegatedForSideOne) {
  EXPECT_EQ(Value(Record(14, 0, 1), 3), -3);
  EXPECT_EQ(Value(Record(14, 0, 1), -2), 2);
  EXPECT_EQ(Value(Record(14, 0, 1), 0), 0);
  EXPECT_EQ(Value(Record(14, 0, 0), -2), -2);
}

TEST_F(Rollout, ExtraEndIsScoredInTheLastSlot) {
  for (int32_t end :
       {9, 10, 25, -1, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
    EXPECT_EQ(Value(Record(13, end, 0), 2), 2) << end;
    EXPECT_EQ(Value(Record(13, end, 1), 2), -2) << end;
  }
}

TEST_F(Rollout, NoCompletedEndIsWorthZero) {
  for (int32_t s : {16, 17, 40, std::numeric_limits<int32_t>::max()}) {
    EXPECT_EQ(Value(Record(s, 3, 0), 5), 0) << s;
    EXPECT_EQ(fakeCounts.simulation, 1);
  }
  // A candidate that leaves the end below shot 11 gets no play-out.
  EXPECT_EQ(Value(Record(4, 3, 0), 5), 0);
  EXPECT_EQ(fakeCounts.simulation, 1);
}

TEST(RandomShot, TargetsStayInTheRectangleWithBothCurls) {
  InstallFakeSimulator(FakeScript{});
  RandomShotSource shots;
  OpenRandomShotSource(&shots);
  int curls[2] = {0, 0};
  for (int i = 0; i < 20000; ++i) {
    const ShotVec v = RandomShot(&shots);  // the fake returns the target
    ASSERT_GE(v.vx, kRandomXMin);
    ASSERT_LE(v.vx, kRandomXMax);
    ASSERT_GE(v.vy, kRandomYMin);
    ASSERT_LE(v.vy, kRandomYMax);
    ASSERT_LE(v.curl, 1);
    ++curls[v.curl];
  }
  EXPECT_GT(curls[0], 9000);
  EXPECT_GT(curls[1], 9000);
}

TEST(RandomShot, TwoShotsInARowDiffer) {
  InstallFakeSimulator(FakeScript{});
  RandomShotSource shots;
  OpenRandomShotSource(&shots);
  const ShotVec a = RandomShot(&shots);
  const ShotVec b = RandomShot(&shots);
  EXPECT_FALSE(a.vx == b.vx && a.vy == b.vy);
}

}  // namespace
