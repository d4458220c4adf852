// The play-out policy: ends reach their last stone, and the policy does the
// obvious thing in the obvious positions.
#include "search/playout.h"

#include <gtest/gtest.h>

#include "search/end_value.h"
#include "sim/tee_geometry.h"
#include "support.h"

namespace {

using search_test::Position;

TEST(PlayOut, EveryEndIsPlayedToItsLastStone) {
  const search::PhysicsCalls physics = search_test::LinkedPhysics();
  for (const int shot : {0, 7, 15}) {
    KorvaneSeed(static_cast<uint64_t>(shot));
    GameState s = Position(shot, {{0, 2.3f, 5.0f}});
    search::PlayOut(&s, physics, 0.145f);
    EXPECT_EQ(s.shotIndex, 16);
  }
  GameState done = Position(16, {});
  search::PlayOut(&done, physics, 0.145f);
  EXPECT_EQ(done.shotIndex, 16);
}

// s after the policy's shot, played without execution error.
GameState AfterPolicy(const GameState& s) {
  return search_test::Played(s, search::PolicyShot(s, search_test::LinkedPhysics()));
}

TEST(PolicyShot, TakesOutTheOpponentsShotStoneAndDrawsToAnEmptyHouse) {
  const GameState s = AfterPolicy(Position(9, {{0, 2.6f, 5.1f}}));
  EXPECT_FALSE(IsInHouse(s.stones[0][0], s.stones[0][1]));
  const GameState empty = AfterPolicy(Position(3, {}));
  EXPECT_LT(TeeDistanceSquared(empty.stones[3][0], empty.stones[3][1]), 0.3f * 0.3f);
  // A centre guard in front of an empty house: the draw goes beside it.
  const GameState guarded = AfterPolicy(Position(3, {{0, 2.4f, 8.2f}}));
  EXPECT_EQ(guarded.stones[0][1], 8.2f);
  EXPECT_TRUE(IsInHouse(guarded.stones[3][0], guarded.stones[3][1]));
}

TEST(PolicyShot, GuardsAnOwnShotStoneEarlyAndPeelsTheGuardOfTheOpponents) {
  // Own stone 0 sits on the button at shot 4: a guard goes in front.
  const GameState s = AfterPolicy(Position(4, {{0, 2.375f, 4.9f}}));
  EXPECT_GT(s.stones[4][1], 6.9f);
  EXPECT_NEAR(s.stones[4][0], 2.375f, 0.3f);
  EXPECT_EQ(s.stones[0][1], 4.9f);
  // The opponent's shot stone behind its own guard: the guard is struck
  // hard (here straight onto the shot stone).
  GameState g = AfterPolicy(Position(13, {{0, 2.375f, 5.0f}, {2, 2.375f, 7.8f}}));
  EXPECT_LT(g.stones[2][1], 7.0f);
  // Under the free guard zone the guard stays, and the shot draws into the
  // house instead.
  g = AfterPolicy(Position(3, {{0, 2.375f, 5.0f}, {2, 2.375f, 7.8f}}));
  EXPECT_EQ(g.stones[2][1], 7.8f);
  EXPECT_TRUE(IsInHouse(g.stones[3][0], g.stones[3][1]));
}

}  // namespace
