// House geometry, the ranking of thrown stones and the placement rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "fake_simulator.h"
#include "strategy/decision.h"
#include "strategy/geometry.h"

namespace {

constexpr float kFar = 0.0f;  // (0, 0): the reset position, off the sheet

// A record with every stone at (0, 0) and shotIndex shots thrown.
GameState Record(int32_t shotIndex) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.shotIndex = shotIndex;
  return state;
}

void Put(GameState* state, int stone, float x, float y) {
  state->stones[stone][0] = x;
  state->stones[stone][1] = y;
}

// A point whose squared tee distance, computed step by step in floats, is
// exactly the house limit. Found by walking y up from the tee and taking, for
// each y, the first x at or beyond the limit.
std::pair<float, float> ExactBoundaryPoint() {
  float y = kTeeY;
  for (int step = 0; step < 100000; ++step, y = std::nextafter(y, 10.0f)) {
    const float dy = y - kTeeY;
    float x = kTeeX + std::sqrt(kHouseRadiusSquared - dy * dy) - 1e-5f;
    while (TeeDistanceSquared(x, y) < kHouseRadiusSquared) x = std::nextafter(x, 10.0f);
    if (TeeDistanceSquared(x, y) == kHouseRadiusSquared) return {x, y};
  }
  return {0.0f, 0.0f};
}

TEST(IsInHouse, BoundaryCircleItselfIsOutside) {
  const auto [x, y] = ExactBoundaryPoint();
  ASSERT_EQ(TeeDistanceSquared(x, y), 3.900625f);
  EXPECT_FALSE(IsInHouse(x, y));
  EXPECT_TRUE(IsInHouse(std::nextafter(x, 0.0f), y));
  EXPECT_TRUE(IsInHouse(kTeeX, kTeeY));
}

TEST(IsInHouse, FarAndNonFiniteStonesAreOutside) {
  EXPECT_NEAR(TeeDistanceSquared(kFar, kFar), 29.4548f, 1e-3f);
  EXPECT_FALSE(IsInHouse(kFar, kFar));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(IsInHouse(nan, kTeeY));
  EXPECT_FALSE(IsInHouse(kTeeX, nan));
  EXPECT_FALSE(IsInHouse(std::numeric_limits<float>::infinity(), kTeeY));
}

TEST(RankStones, SortsOnlyThrownStonesStably) {
  GameState state = Record(5);
  Put(&state, 0, 3.375f, kTeeY);  // exactly 1 m^2
  Put(&state, 1, 2.375f, 5.0f);   // 0.0144 m^2
  Put(&state, 2, 1.375f, kTeeY);  // exactly 1 m^2 again: after stone 0
  Put(&state, 3, 2.375f, 4.88f);  // on the tee
  Put(&state, 4, kFar, kFar);
  Put(&state, 5, 2.375f, 4.88f);  // not thrown yet
  int32_t rank[16];
  RankStonesByTeeDistance(rank, state);
  const int32_t expected[16] = {3, 1, 0, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(rank[i], expected[i]) << i;
}

TEST(RankStones, NoneOrNegativeThrownKeepsIdentityOrder) {
  for (int32_t shotIndex : {0, 1, -3}) {
    GameState state = Record(shotIndex);
    for (int i = 0; i < 16; ++i) Put(&state, i, 2.375f, 4.88f + 0.1f * (15 - i));
    int32_t rank[16];
    RankStonesByTeeDistance(rank, state);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(rank[i], i) << shotIndex;
  }
}

TEST(RankStones, NanDistanceStopsTheSifting) {
  GameState state = Record(3);
  Put(&state, 0, 2.375f, 6.0f);
  Put(&state, 1, std::numeric_limits<float>::quiet_NaN(), 4.88f);
  Put(&state, 2, 2.375f, 4.88f);
  int32_t rank[16];
  RankStonesByTeeDistance(rank, state);
  EXPECT_EQ(rank[0], 0);
  EXPECT_EQ(rank[1], 1);
  EXPECT_EQ(rank[2], 2);
}

class Placement : public testing::Test {
 protected:
  void SetUp() override { InstallFakeSimulator(FakeScript{}); }

  // Decides on state; the fakes make a draw's vector its target and a hit's
  // vector (x, -y).
  ShotVec Decide(const GameState& state) {
    ShotVec out;
    std::memset(&out, 0xcc, sizeof out);
    testing::internal::CaptureStderr();
    DecideShot(state, &out);
    stderrText = testing::internal::GetCapturedStderr();
    return out;
  }
  std::string stderrText;
};

TEST_F(Placement, FreshRecordDrawsToTheTee) {
  const ShotVec v = Decide(Record(0));
  EXPECT_EQ(v.vx, kTeeX);
  EXPECT_EQ(v.vy, kTeeY);
  EXPECT_EQ(v.curl, 0);
  EXPECT_EQ(fakeCounts.createShot, 1);
  EXPECT_EQ(fakeCounts.simulation, 0);
}

TEST_F(Placement, ClosestStoneOutsideTheHouseDrawsToTheTee) {
  GameState state = Record(4);
  Put(&state, 1, 2.375f, 8.0f);
  const auto [x, y] = ExactBoundaryPoint();
  Put(&state, 2, x, y);           // on the circle: outside
  Put(&state, 4, 2.375f, 4.88f);  // in the house but not thrown
  const ShotVec v = Decide(state);
  EXPECT_EQ(v.vx, kTeeX);
  EXPECT_EQ(v.vy, kTeeY);
  EXPECT_EQ(v.curl, 0);
}

TEST_F(Placement, OwnStoneIsGuardedTwoMetresFurtherWithCurlBySide) {
  const struct {
    float x;
    int curl;
  } cases[] = {{2.0f, 0}, {2.375f, 1}, {3.0f, 1}};
  for (const auto& c : cases) {
    GameState state = Record(2);
    Put(&state, 0, c.x, 5.0f);
    Put(&state, 1, kFar, kFar);
    const ShotVec v = Decide(state);
    EXPECT_EQ(v.vx, c.x);
    EXPECT_EQ(v.vy, 7.0f);
    EXPECT_EQ(v.curl, c.curl) << c.x;
  }
  EXPECT_EQ(fakeCounts.simulation, 0);
}

TEST_F(Placement, FirstStoneInTheHouseBeforeAnyThrowCountsAsOwn) {
  GameState state = Record(0);
  Put(&state, 0, 2.5f, 4.5f);
  const ShotVec v = Decide(state);
  EXPECT_EQ(v.vx, 2.5f);
  EXPECT_EQ(v.vy, 6.5f);
  EXPECT_EQ(v.curl, 1);
}

TEST_F(Placement, OpponentStoneIsTakenOutWithPowerByShot) {
  const struct {
    int32_t shotIndex;
    long heavy;
    long light;
  } cases[] = {{1, 0, 2}, {5, 0, 2}, {6, 2, 0}, {10, 2, 0}};
  for (const auto& c : cases) {
    InstallFakeSimulator(FakeScript{});
    GameState state = Record(c.shotIndex);
    Put(&state, c.shotIndex - 1, 2.4f, 4.9f);  // the opponent's last stone
    const ShotVec v = Decide(state);
    EXPECT_EQ(v.vx, 2.4f);
    EXPECT_EQ(v.vy, -4.9f) << "a hit, not a draw";
    // Each worker makes both hits; only the ratio of powers matters here.
    EXPECT_EQ(fakeCounts.heavyHits % 2, 0);
    EXPECT_EQ(fakeCounts.heavyHits > 0, c.heavy > 0) << c.shotIndex;
    EXPECT_EQ(fakeCounts.lightHits > 0, c.light > 0) << c.shotIndex;
    EXPECT_EQ(fakeCounts.simulation, 400);
  }
}

TEST_F(Placement, NegativeShotIndexUsesStoneZeroByParity) {
  GameState even = Record(-2);
  Put(&even, 0, 2.375f, 4.88f);
  ShotVec v = Decide(even);
  EXPECT_EQ(v.vy, 6.88f) << "even: own stone, guarded";
  EXPECT_EQ(fakeCounts.simulation, 0);

  GameState odd = Record(-3);
  Put(&odd, 0, 2.375f, 4.88f);
  v = Decide(odd);
  EXPECT_EQ(v.vy, -4.88f) << "odd: the opponent's, taken out";
  EXPECT_GT(fakeCounts.lightHits, 0);
  EXPECT_EQ(fakeCounts.heavyHits, 0);
}

TEST_F(Placement, ShotTenIsPlacementAndElevenIsTheSearch) {
  Decide(Record(10));
  EXPECT_EQ(fakeCounts.createShot, 1);
  EXPECT_EQ(stderrText.find("Result: "), std::string::npos);
  InstallFakeSimulator(FakeScript{});
  Decide(Record(11));
  EXPECT_EQ(fakeCounts.createShot, 400 + 1 + 16000);
  EXPECT_NE(stderrText.find("Result: 0, 0.000000\n"), std::string::npos);
}

}  // namespace
