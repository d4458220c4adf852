// The win table: the game's rules as the dynamic programme follows them,
// checked by hand on a small made-up distribution, and the shape that any
// sensible distribution (the measured one included) must give.
#include "search/win_table.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using search::BuildWinTable;
using search::EndScoreDistribution;
using search::WinProbability;
using search::WinTable;

constexpr int kEnds = 10;
constexpr int kLead = 40;

// The hammer side steals against itself 0.1, blanks 0.2, scores one 0.4
// and two 0.3.
EndScoreDistribution MadeUp() {
  EndScoreDistribution d{};
  d.p[search::kMaxEndScore - 1] = 0.1;
  d.p[search::kMaxEndScore + 0] = 0.2;
  d.p[search::kMaxEndScore + 1] = 0.4;
  d.p[search::kMaxEndScore + 2] = 0.3;
  return d;
}

// A tied game after its last end goes on with extra ends from the same
// distribution; a blank extra end is played again with the same hammer, so
// tied with the hammer is P(score) / (1 - P(blank)) = 0.7 / 0.8.
TEST(WinTableRules, TiedAfterTheLastEndPlaysExtraEnds) {
  const WinTable t = BuildWinTable(MadeUp(), kEnds, kLead);
  EXPECT_NEAR(WinProbability(t, 0, 0, true), 0.875, 1e-12);
  EXPECT_NEAR(WinProbability(t, 0, 0, false), 0.125, 1e-12);
  EXPECT_EQ(WinProbability(t, 0, 1, false), 1.0);
  EXPECT_EQ(WinProbability(t, 0, -1, true), 0.0);

  EndScoreDistribution alwaysBlank{};
  alwaysBlank.p[search::kMaxEndScore] = 1.0;
  const WinTable never = BuildWinTable(alwaysBlank, kEnds, kLead);
  EXPECT_EQ(WinProbability(never, 0, 0, true), 0.5);
  EXPECT_EQ(WinProbability(never, 3, 0, false), 0.5);
  EXPECT_EQ(WinProbability(never, 3, 1, false), 1.0);
}

TEST(WinTableRules, LastEndByHand) {
  const WinTable t = BuildWinTable(MadeUp(), kEnds, kLead);
  // Up one without the hammer: a steal or a blank wins, one point for them
  // ties and hands back the hammer (0.875), two loses.
  EXPECT_NEAR(WinProbability(t, 1, 1, false), 0.1 + 0.2 + 0.4 * 0.875, 1e-12);
  // Down one with the hammer: two wins, one ties and gives up the hammer.
  EXPECT_NEAR(WinProbability(t, 1, -1, true), 0.3 + 0.4 * 0.125, 1e-12);
  // Tied: whoever scores wins, a blank keeps the hammer into an extra end.
  EXPECT_NEAR(WinProbability(t, 1, 0, true), 0.7 + 0.2 * 0.875, 1e-12);
  EXPECT_NEAR(WinProbability(t, 1, 0, false), 0.1 + 0.2 * 0.125, 1e-12);
}

// Two ends: a steal against us leaves us the hammer, scoring passes it on.
TEST(WinTableRules, HammerPassesToTheSideThatDidNotScore) {
  const WinTable t = BuildWinTable(MadeUp(), kEnds, kLead);
  const double downOneHammer = 0.35, tiedHammer = 0.875, upOneNoHammer = 0.65;
  const double upTwoNoHammer = 0.1 + 0.2 + 0.4 + 0.3 * 0.875;
  EXPECT_NEAR(WinProbability(t, 2, 0, true),
              0.1 * downOneHammer + 0.2 * tiedHammer + 0.4 * upOneNoHammer + 0.3 * upTwoNoHammer,
              1e-12);
}

class WinTableShape : public ::testing::TestWithParam<bool> {
 protected:
  // The measured distribution, or the made-up one.
  WinTable Table() const {
    return GetParam() ? search::DefaultWinTable() : BuildWinTable(MadeUp(), kEnds, kLead);
  }
};

// More lead never hurts; tied, the hammer is worth more; and both sides
// see the same game, one side's win the other's loss.
TEST_P(WinTableShape, MonotoneHammerWorthMoreAndTheSidesSumToOne) {
  const WinTable t = Table();
  for (int e = 0; e <= kEnds; ++e) {
    EXPECT_GT(WinProbability(t, e, 0, true), WinProbability(t, e, 0, false)) << e;
    for (const bool hammer : {false, true}) {
      for (int lead = -15; lead <= 15; ++lead) {
        SCOPED_TRACE(::testing::Message()
                     << e << " ends left, lead " << lead << ", hammer " << hammer);
        const double p = WinProbability(t, e, lead, hammer);
        if (lead < 15) {
          EXPECT_LE(p, WinProbability(t, e, lead + 1, hammer));
        }
        EXPECT_NEAR(p + WinProbability(t, e, -lead, !hammer), 1.0, 1e-9);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(MeasuredAndMadeUp, WinTableShape, ::testing::Bool());

TEST(MeasuredEndScores, IsADistribution) {
  const EndScoreDistribution& d = search::MeasuredEndScores();
  for (const double p : d.p) EXPECT_GE(p, 0.0);
  EXPECT_NEAR(std::accumulate(d.p, d.p + search::kEndScoreSlots, 0.0), 1.0, 1e-6);
}

}  // namespace
