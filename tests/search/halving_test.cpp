// Successive halving with a stand-in physics whose outcomes are known: a
// thrown stone rests |vx| m from the tee, give or take the noise, beside
// an opponent's stone 0.5 m out; the smaller |vx|, the likelier the point.
#include "search/halving.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "search/win_table.h"
#include "sim/tee_geometry.h"
#include "support.h"

namespace {

using search::Arm;
using search::Candidate;

thread_local uint64_t standInState = 1;

void StandInSeed(uint64_t seed) { standInState = seed; }

double StandInNormal() {
  // Two SplitMix64 draws through Box-Muller: enough for a test.
  auto next = [] {
    uint64_t z = (standInState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
  };
  const double u1 = next() + 1e-12;
  const double u2 = next();
  return std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

int StandInSimulate(GameState* s, ShotVec vec, float noise, PathFrame*, int) {
  const double r = std::fabs(vec.vx) + noise * StandInNormal();
  s->stones[s->shotIndex][0] = kTeeX + static_cast<float>(r);
  s->stones[s->shotIndex][1] = kTeeY;
  ++s->shotIndex;
  return 1;
}

struct Race {
  GameState root = search_test::Position(15, {{0, kTeeX - 0.5f, kTeeY}}, 7, 8, 1);
  search::EndValues values = search::MakeEndValues(search::DefaultWinTable(), root);
  search::SampleJob job;
  std::vector<Candidate> cands;
  std::vector<Arm> arms;
  std::vector<int> alive;

  explicit Race(const std::vector<float>& distances) {
    job.root = &root;
    // The race plays the candidates' own vectors: no shot is ever made.
    job.physics = {StandInSimulate, nullptr, nullptr, nullptr, StandInSeed};
    job.seed = 5;
    job.noise = 0.145f;
    job.moverParity = 1;
    for (const float d : distances) {
      Candidate c{};
      c.vec.vx = d;
      cands.push_back(c);
      alive.push_back(static_cast<int>(alive.size()));
    }
  }

  int Run(int threads, int64_t samples, int keep = 1) {
    search::Budget budget = search::SampleBudget(samples);
    search::SuccessiveHalving(job, values, cands, threads, 1.0, keep, &budget, &arms, &alive);
    used = budget.used;
    return alive.front();
  }
  int64_t used = 0;
};

TEST(SuccessiveHalving, FindsTheClearlyBestCandidateWithinItsBudget) {
  std::vector<float> distances;
  for (int i = 0; i < 40; ++i) distances.push_back(0.3f + 0.03f * ((i * 17) % 40));
  distances[23] = 0.0f;  // the button, far the likeliest point
  Race race(distances);
  EXPECT_EQ(race.Run(2, 20000), 23);
  EXPECT_NEAR(race.used, 20000, 40);
  const Arm& best = race.arms[23];
  int64_t counted = 0;
  for (const int64_t n : best.counts) counted += n;
  EXPECT_EQ(counted, best.n);
  // The winner got the most samples: halving spent them where it mattered.
  for (std::size_t i = 0; i < race.arms.size(); ++i) EXPECT_LE(race.arms[i].n, best.n);
}

TEST(SuccessiveHalving, SameShotsSeeTheSameSamplesOnAnyThreadCount) {
  // Common random numbers: identical candidates tally identically, and so
  // does every candidate whatever the thread count.
  const std::vector<float> distances = {0.4f, 0.4f, 0.45f, 0.45f};
  Race one(distances);
  one.Run(1, 4000, 3);
  Race three(distances);
  three.Run(3, 4000, 3);
  for (int c = 0; c < 4; ++c) {
    ASSERT_GT(one.arms[c].n, 500) << c;
    EXPECT_EQ(one.arms[c].mean, three.arms[c].mean) << c;
    EXPECT_EQ(one.arms[c].n, three.arms[c].n) << c;
  }
  EXPECT_EQ(one.arms[0].mean, one.arms[1].mean);
  EXPECT_EQ(one.arms[2].mean, one.arms[3].mean);
  EXPECT_NE(one.arms[0].mean, one.arms[2].mean);
}

TEST(SuccessiveHalving, KeepsAsManyFinalistsAsAskedBestFirst) {
  Race race({0.9f, 0.1f, 0.7f, 0.3f, 0.5f, 0.8f});
  race.Run(2, 6000, 3);
  ASSERT_EQ(race.alive.size(), 3u);
  EXPECT_EQ(race.alive[0], 1);
  EXPECT_GE(race.arms[race.alive[0]].mean, race.arms[race.alive[1]].mean);
  EXPECT_GE(race.arms[race.alive[1]].mean, race.arms[race.alive[2]].mean);
}

TEST(SuccessiveHalving, ATimedRaceStopsAtItsDeadline) {
  // A deadline already past: every candidate still gets its first sample
  // or none, and the race ends at once without a choice made of nothing.
  Race race({0.2f, 0.6f});
  search::Budget budget = search::TimedBudget(search::Clock::now(), 0.0);
  search::SuccessiveHalving(race.job, race.values, race.cands, 2, 1.0, 1, &budget, &race.arms,
                            &race.alive);
  EXPECT_EQ(race.alive.size(), 2u);
  EXPECT_LE(budget.used, 2);
}

}  // namespace
