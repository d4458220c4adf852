// The search as a whole: on last stones whose best shot a brute-force grid
// can find, it finds one as good; on the stone before the hammer it
// answers the opponent's best reply, not the play-outs'; and with a seed
// and a sample count it gives the same shot every time, whatever the
// thread count.
#include "search/search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "search/end_value.h"
#include "search/sampling.h"
#include "search/win_table.h"
#include "sim/tee_geometry.h"
#include "support.h"

namespace {

using search_test::Position;

class SearchShotTest : public ::testing::Test {
 protected:
  void SetUp() override { search_test::BindLinkedPhysics(); }
  void TearDown() override { search::BindPhysics(search::PhysicsCalls{}); }
};

// Mean P(win) of vec over samples [0, n) seeded with seed.
double WinRate(const GameState& s, const ShotVec& vec, uint64_t seed, int n) {
  search::SampleJob job;
  job.root = &s;
  job.physics = search_test::LinkedPhysics();
  job.seed = seed;
  job.noise = 0.145f;
  job.moverParity = s.shotIndex & 1;
  const search::EndValues v = search::MakeEndValues(search::DefaultWinTable(), s);
  double sum = 0;
  for (int j = 0; j < n; ++j) sum += v.win[search::SampleSlot(job, vec, j)];
  return sum / n;
}

// A grid of draws over the house and hits on every stone, laid out apart
// from the search's own candidates.
std::vector<ShotVec> BruteForceGrid(const GameState& s) {
  std::vector<ShotVec> grid;
  for (int curl = 0; curl < 2; ++curl) {
    for (float dx = -1.8f; dx <= 1.81f; dx += 0.3f) {
      for (float dy = -1.8f; dy <= 1.81f; dy += 0.3f) {
        if (dx * dx + dy * dy > 1.9f * 1.9f) continue;
        ShotPos p{kTeeX + dx, kTeeY + dy, static_cast<uint8_t>(curl), {}};
        ShotVec v;
        CreateShot(p, &v);
        grid.push_back(v);
      }
    }
    for (int i = 0; i < s.shotIndex; ++i) {
      if (!IsInHouse(s.stones[i][0], s.stones[i][1])) continue;
      for (const float power : {2.0f, 5.0f, 10.0f, 18.0f}) {
        for (const float off : {-0.14f, -0.07f, 0.0f, 0.07f, 0.14f}) {
          ShotPos p{s.stones[i][0] + off, s.stones[i][1], static_cast<uint8_t>(curl), {}};
          ShotVec v;
          CreateHitShot(p, power, &v);
          grid.push_back(v);
        }
      }
    }
  }
  return grid;
}

// Last stones, the mover (side 1) with the hammer in the last end; side
// 0's lead is in endScore[0].
TEST_F(SearchShotTest, LastStonesAreAsGoodAsTheBestOfABruteForceGrid) {
  const struct {
    const char* what;
    std::vector<search_test::Stone> stones;
    int lead;
  } cases[] = {
      {"tied, one opponent stone on the button", {{0, 2.375f, 4.88f}}, 0},
      {"down one, own stone second", {{4, 2.45f, 4.95f}, {3, 2.05f, 5.45f}}, 1},
      {"down two, two own stones in the house",
       {{6, 2.3f, 4.8f}, {1, 2.9f, 5.3f}, {5, 1.7f, 4.4f}, {8, 2.4f, 8.2f}},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GameState s = Position(15, c.stones, 7, 8, 1);
    s.endScore[0] = c.lead;
    const std::vector<ShotVec> grid = BruteForceGrid(s);
    ASSERT_GT(grid.size(), 200u);
    ShotVec gridBest = grid[0];
    double bestRate = -1;
    for (const ShotVec& v : grid) {
      const double r = WinRate(s, v, 101, 1500);
      if (r > bestRate) {
        bestRate = r;
        gridBest = v;
      }
    }
    search::SearchLimits limits;
    limits.samples = 150000;
    limits.seed = 7;
    limits.threads = 2;
    ShotVec chosen;
    search::SearchShot(s, limits, &chosen);
    // A fresh set of samples, shared by both shots.
    EXPECT_GE(WinRate(s, chosen, 202, 20000), WinRate(s, gridBest, 202, 20000) - 0.03);
  }
}

// The mover's mean P(win) after vec, each of n throws answered by the
// opponent's own search (the true two-ply value, as far as that search
// finds the best reply), the reply thrown with the noise.
double AnsweredWinRate(const GameState& s, const ShotVec& vec, int n) {
  const search::EndValues v = search::MakeEndValues(search::DefaultWinTable(), s);
  search::SearchLimits limits;
  limits.samples = 1500;
  limits.threads = 2;
  double sum = 0;
  for (int e = 0; e < n; ++e) {
    KorvaneSeed(search::SampleSeed(303, e));
    GameState p = s;
    Simulation(&p, vec, 0.145f, nullptr, -1);
    limits.seed = search::SampleSeed(404, e);
    ShotVec reply;
    search::SearchShot(p, limits, &reply);
    Simulation(&p, reply, 0.145f, nullptr, -1);
    sum += v.win[search::ScoreSlot(search::EndScoreFor(p, 16, s.shotIndex & 1))];
  }
  return sum / n;
}

// Stone 14 of the last end, tied, the mover without the hammer and one
// stone of its own at the top of the four-foot, off centre. The play-outs'
// hammer takes out an open shot stone, which makes a stone tucked in
// beside it look safe; the opponent's best reply draws for the point
// instead, and the two-ply search plays for that.
TEST_F(SearchShotTest, TheStoneBeforeTheHammerMeetsTheOpponentsBestReply) {
  const GameState s = Position(14, {{0, kTeeX + 0.3f, kTeeY + 0.7f}}, 7);
  search::SearchLimits limits;
  limits.samples = 40000;
  limits.seed = 1;
  limits.threads = 2;
  ShotVec onePly, twoPly;
  search::SearchReport report;
  search::SearchShot(s, limits, &twoPly, &report);
  EXPECT_EQ(report.twoPlyFinalists, 4);
  limits.twoPly = false;
  search::SearchShot(s, limits, &onePly);
  EXPECT_GT(AnsweredWinRate(s, twoPly, 80), AnsweredWinRate(s, onePly, 80) + 0.05);
}

TEST_F(SearchShotTest, SeedAndSamplesGiveTheSameShotOnAnyThreadCount) {
  // A mid-end stone, and stone 14 with its two-ply search.
  const struct {
    GameState state;
    int64_t samples;
  } cases[] = {
      {Position(9, {{0, 2.2f, 5.1f}, {3, 2.6f, 4.6f}, {4, 2.3f, 8.5f}, {7, 1.6f, 5.8f}}, 3, 8, 1),
       3000},
      {Position(14, {{0, 2.2f, 5.1f}, {3, 2.6f, 4.6f}, {4, 2.3f, 8.5f}, {7, 1.6f, 5.8f}}, 3),
       30000},
  };
  for (const auto& c : cases) {
    search::SearchLimits limits;
    limits.samples = c.samples;
    limits.seed = 99;
    ShotVec a, b, d;
    search::SearchReport ra, rb, rd;
    limits.threads = 1;
    search::SearchShot(c.state, limits, &a, &ra);
    search::SearchShot(c.state, limits, &b, &rb);
    limits.threads = 2;
    search::SearchShot(c.state, limits, &d, &rd);
    for (const ShotVec* v : {&b, &d}) {
      EXPECT_EQ(v->vx, a.vx);
      EXPECT_EQ(v->vy, a.vy);
      EXPECT_EQ(v->curl, a.curl);
    }
    EXPECT_EQ(rb.bestWin, ra.bestWin);
    EXPECT_EQ(rd.bestWin, ra.bestWin);
    EXPECT_EQ(rd.samples, ra.samples);
    EXPECT_EQ(rd.twoPlySamples, ra.twoPlySamples);
    EXPECT_EQ(ra.twoPlyFinalists > 0, c.state.shotIndex == 14);
  }
}

TEST_F(SearchShotTest, RecordsItCannotSearchGetADrawToTheTee) {
  search::SearchLimits limits;
  limits.samples = 100;
  ShotVec v{1, 1, 1, {}};
  GameState s = Position(16, {});
  search::SearchShot(s, limits, &v);
  ShotVec tee;
  CreateShot(ShotPos{kTeeX, kTeeY, 0, {}}, &tee);
  EXPECT_EQ(v.vx, tee.vx);
  EXPECT_EQ(v.vy, tee.vy);
  s.shotIndex = -4;
  search::SearchShot(s, limits, &v);
  EXPECT_EQ(v.vy, tee.vy);
  // Without physics there is nothing to search with.
  search::BindPhysics(search::PhysicsCalls{});
  s.shotIndex = 3;
  search::SearchShot(s, limits, &v);
  EXPECT_EQ(v.vx, 0.0f);
  EXPECT_EQ(v.vy, 0.0f);
}

}  // namespace
