// Every kind of candidate does what its name says when played without
// execution error.
#include "search/candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "search/end_value.h"
#include "sim/tee_geometry.h"
#include "support.h"

namespace {

using search::Candidate;
using search::ShotKind;
using search_test::Position;

std::vector<Candidate> CandidatesFor(const GameState& s) {
  std::vector<Candidate> out;
  search::GenerateCandidates(s, search_test::LinkedPhysics(), search::DensityFor(s.shotIndex),
                             &out);
  return out;
}

float Moved(const GameState& before, const GameState& after, int i) {
  return std::hypot(after.stones[i][0] - before.stones[i][0],
                    after.stones[i][1] - before.stones[i][1]);
}

std::ptrdiff_t Count(const std::vector<Candidate>& cands, ShotKind kind) {
  return std::count_if(cands.begin(), cands.end(),
                       [kind](const Candidate& c) { return c.kind == kind; });
}

TEST(CandidateShots, DrawsAndGuardsRestOnTheirTargetsOnAnOpenSheet) {
  for (const int shot : {2, 15}) {
    const GameState s = Position(shot, {});
    const std::vector<Candidate> cands = CandidatesFor(s);
    ASSERT_GT(Count(cands, ShotKind::kDraw), 20);
    if (shot == 2) {
      ASSERT_GT(Count(cands, ShotKind::kGuard), 4);
    }
    for (const Candidate& c : cands) {
      if (c.kind != ShotKind::kDraw && c.kind != ShotKind::kGuard) continue;
      const GameState after = search_test::Played(s, c.vec);
      const float x = after.stones[shot][0];
      const float y = after.stones[shot][1];
      EXPECT_LT(std::hypot(x - c.x, y - c.y), 0.001f) << "target " << c.x << " " << c.y;
      if (c.kind == ShotKind::kGuard) {
        EXPECT_TRUE(search::InFreeGuardZone(x, y));
      }
    }
  }
}

TEST(CandidateShots, HitsRaisesAndPeelsMoveTheStoneTheyAimAt) {
  // An opponent's stone in the house, an own stone beside it and an
  // opponent's guard off to the side, none in the path to another.
  const GameState s = Position(7, {{0, 1.75f, 4.7f}, {1, 3.2f, 5.3f}, {2, 1.1f, 8.3f}});
  const std::vector<Candidate> cands = CandidatesFor(s);
  ASSERT_GT(Count(cands, ShotKind::kHit), 10);
  ASSERT_GT(Count(cands, ShotKind::kRaise), 1);
  ASSERT_GT(Count(cands, ShotKind::kPeel), 1);
  for (const Candidate& c : cands) {
    if (c.kind != ShotKind::kHit && c.kind != ShotKind::kRaise && c.kind != ShotKind::kPeel) {
      continue;
    }
    ASSERT_GE(c.stone, 0);
    const GameState after = search_test::Played(s, c.vec);
    EXPECT_GT(Moved(s, after, c.stone), 0.05f)
        << search::ShotKindName(c.kind) << " on stone " << int{c.stone} << " power " << c.power
        << " aim " << c.x << " curl " << int{c.vec.curl};
    if (c.kind == ShotKind::kPeel) {
      EXPECT_FALSE(search::StoneInPlay(after.stones[c.stone][0], after.stones[c.stone][1]));
    }
  }
}

TEST(CandidateShots, FreezesComeToRestAgainstTheirStoneAndComeAroundsBehindIt) {
  // A stone in the house and a guard well off its line.
  const GameState s = Position(4, {{1, 2.2f, 5.3f}, {3, 3.2f, 8.6f}});
  const std::vector<Candidate> cands = CandidatesFor(s);
  int freezes = 0;
  int comeArounds = 0;
  for (const Candidate& c : cands) {
    const GameState after = search_test::Played(s, c.vec);
    const float x = after.stones[4][0];
    const float y = after.stones[4][1];
    if (c.kind == ShotKind::kFreeze && c.stone == 1) {
      ++freezes;
      const float gap = std::hypot(x - after.stones[1][0], y - after.stones[1][1]);
      EXPECT_LT(gap, 0.29f + 0.03f) << "curl " << int{c.vec.curl};
      EXPECT_LT(Moved(s, after, 1), 0.1f);
    }
    if (c.kind == ShotKind::kComeAround && c.stone == 3) {
      ++comeArounds;
      EXPECT_LT(y, s.stones[3][1] - 0.5f);
      EXPECT_EQ(Moved(s, after, 3), 0.0f);
    }
  }
  EXPECT_EQ(freezes, 2);
  // Both turns find a way behind the guard, at either depth.
  EXPECT_EQ(comeArounds, 4);
}

TEST(CandidateShots, ThroughShotsLeaveThePlayAndTouchNothing) {
  const GameState s = Position(9, {{0, 1.5f, 4.4f}, {2, 3.3f, 5.6f}});
  int seen = 0;
  for (const Candidate& c : CandidatesFor(s)) {
    if (c.kind != ShotKind::kThrough) continue;
    ++seen;
    const GameState after = search_test::Played(s, c.vec);
    EXPECT_FALSE(search::StoneInPlay(after.stones[9][0], after.stones[9][1]));
    EXPECT_EQ(Moved(s, after, 0), 0.0f);
    EXPECT_EQ(Moved(s, after, 2), 0.0f);
  }
  EXPECT_EQ(seen, 2);
}

TEST(CandidateShots, NoHardHitOnAGuardTheFreeGuardZoneProtects) {
  // Shot 3: the opponent's stone 2 guards; stone 0 (also the opponent's)
  // lies in the house and may be hit.
  const GameState s = Position(3, {{0, 2.1f, 4.9f}, {2, 2.375f, 8.3f}});
  int hitsInHouse = 0;
  for (const Candidate& c : CandidatesFor(s)) {
    if (c.stone == 2 && (c.kind == ShotKind::kHit || c.kind == ShotKind::kPeel)) {
      EXPECT_LT(c.power, 5.0f) << "a hit the rules would undo";
    }
    if (c.stone == 0 && c.kind == ShotKind::kHit && c.power > 8) ++hitsInHouse;
  }
  EXPECT_GT(hitsInHouse, 0);
  // From shot 5 on the guard may be taken out.
  GameState later = s;
  later.shotIndex = 5;
  EXPECT_GT(Count(CandidatesFor(later), ShotKind::kPeel), 0);
}

}  // namespace
