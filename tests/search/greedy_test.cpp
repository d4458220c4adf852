// The greedy player: it hits the opponent's stones only, and it plays for
// the side to move whichever flag that side has.
#include "bench/greedy/greedy.h"

#include <gtest/gtest.h>

#include <vector>

#include "bench/win_table/korvane_physics.h"
#include "sim/sheet.h"

namespace {

std::vector<ShotPos> hitTargets;

int StubShot(ShotPos, ShotVec* out) {
  *out = ShotVec{};
  return 1;
}
int StubHit(ShotPos target, float, ShotVec* out) {
  hitTargets.push_back(target);
  *out = ShotVec{};
  return 1;
}

// Shot 7: the mover owns the odd stones; of the opponent's 0, 2, 4 and 6,
// stone 2 is out of play.
TEST(GreedyCandidates, HitsEachOpponentStoneInPlayAtBothWeightsAndTurns) {
  GameState state{};
  state.shotIndex = 7;
  for (int i = 0; i < 7; ++i) {
    state.stones[i][0] = 1.0f + 0.1f * i;
    state.stones[i][1] = 5.0f;
  }
  state.stones[2][0] = state.stones[2][1] = 0.0f;
  hitTargets.clear();
  const PhysicsCalls stub{nullptr, StubShot, StubHit, nullptr};
  ShotVec out[greedy::kMaxCandidates];
  EXPECT_EQ(greedy::MakeCandidates(state, stub, out), greedy::kDrawCandidates + 3 * 4);
  ASSERT_EQ(hitTargets.size(), 12u);
  int perStone[7] = {};
  for (const ShotPos& t : hitTargets) {
    for (int i = 0; i < 7; ++i) perStone[i] += t.x == state.stones[i][0] && t.y == 5.0f;
  }
  EXPECT_EQ(perStone[0], 4);
  EXPECT_EQ(perStone[4], 4);
  EXPECT_EQ(perStone[6], 4);
  hitTargets.clear();
}

// The last stone, the opponent's on the button and nothing else in play:
// playing for the wrong side would leave it there (-1 every time).
TEST(GreedyShot, PlaysForTheSideToMoveWhicheverFlagItHas) {
  const PhysicsCalls physics = win_table::KorvanePhysics();
  for (const uint8_t flag : {uint8_t{0}, uint8_t{1}}) {
    GameState state{};
    state.shotIndex = 15;
    state.sideToMove = flag;
    state.stones[14][0] = static_cast<float>(sheet::kTeeX);
    state.stones[14][1] = static_cast<float>(sheet::kTeeY);
    win_table::SeedKorvane(11);
    greedy::Settings settings;
    settings.parallel = false;
    ShotVec vec{};
    greedy::GreedyShot(state, physics, settings, &vec);
    // GetScore counts for flag 0.
    constexpr int kPlays = 64;
    int total = 0;
    for (int i = 0; i < kPlays; ++i) {
      GameState after = state;
      physics.simulate(&after, vec, settings.noise, nullptr, -1);
      total += flag == 0 ? physics.getScore(&after) : -physics.getScore(&after);
    }
    EXPECT_GT(total, 0) << "flag " << int{flag};
  }
}

}  // namespace
