// The two parallel searches with scripted stand-ins for the simulator: their
// choices, reports and simulator calls for 1, 2 and 3 threads.
#include <gtest/gtest.h>
#include <omp.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "fake_simulator.h"
#include "strategy/candidate_search.h"
#include "strategy/takeout_search.h"

namespace {

constexpr int kThreadCounts[] = {1, 2, 3};

GameState TakeoutRecord() {
  GameState state;
  std::memset(&state, 0, sizeof state);
  std::memset(state.padding, 0xab, sizeof state.padding);
  state.shotIndex = 3;
  state.stones[2][0] = 2.5f;
  state.stones[2][1] = 4.5f;
  return state;
}

struct TakeoutRun {
  ShotVec out;
  std::string report;
};

TakeoutRun RunTakeout(long hits0, long hits1, int threads, bool keepThrownStone = false) {
  FakeScript script;
  script.hitSuccesses[0] = hits0;
  script.hitSuccesses[1] = hits1;
  script.keepThrownStone = keepThrownStone;
  InstallFakeSimulator(script);
  omp_set_num_threads(threads);
  const GameState state = TakeoutRecord();
  TakeoutRun run;
  testing::internal::CaptureStderr();
  TakeoutTrialSearch(state, 2, 8.0f, &run.out);
  run.report = testing::internal::GetCapturedStderr();
  GameState after = TakeoutRecord();
  EXPECT_EQ(std::memcmp(&state, &after, sizeof state), 0);
  return run;
}

std::string Report(int count0, int count1, int best) {
  char text[128];
  std::snprintf(text, sizeof text, "shot[0] (%d/200)\nshot[1] (%d/200)\nbest_num = %d\n", count0,
                count1, best);
  return text;
}

TEST(TakeoutSearch, EqualCountsKeepFirstVector) {
  for (int threads : kThreadCounts) {
    for (long hits : {0L, 57L, 200L}) {
      const TakeoutRun run = RunTakeout(hits, hits, threads);
      EXPECT_EQ(run.report, Report(hits, hits, 0)) << threads;
      EXPECT_EQ(run.out.curl, 0);
      EXPECT_EQ(run.out.vx, 2.5f);
      EXPECT_EQ(run.out.vy, -4.5f);
    }
  }
}

TEST(TakeoutSearch, OneMoreSuccessChoosesSecondVector) {
  for (int threads : kThreadCounts) {
    const TakeoutRun run = RunTakeout(57, 58, threads);
    EXPECT_EQ(run.report, Report(57, 58, 1)) << threads;
    EXPECT_EQ(run.out.curl, 1);
    EXPECT_EQ(run.out.vx, 2.5f);
    EXPECT_EQ(run.out.vy, -4.5f);
  }
}

TEST(TakeoutSearch, PlaysEachVectorTwoHundredTimesOnEveryThread) {
  for (int threads : kThreadCounts) {
    RunTakeout(1000, 0, threads);
    EXPECT_EQ(fakeCounts.simulation, 400);
    EXPECT_EQ(fakeCounts.hitsPlayed[0], 200);
    EXPECT_EQ(fakeCounts.hitsPlayed[1], 200);
    EXPECT_EQ(fakeCounts.threads, threads);
    EXPECT_EQ(fakeCounts.createHitShot, 2 * threads);
    EXPECT_EQ(fakeCounts.lightHits, 2 * threads);
    EXPECT_EQ(fakeCounts.badArguments, 0);
  }
}

TEST(TakeoutSearch, OnlyTheTargetStoneDecidesATrial) {
  // The thrown stone comes to rest on the tee every time: still a success
  // whenever the target left the house.
  const TakeoutRun run = RunTakeout(30, 20, 2, true);
  EXPECT_EQ(run.report, Report(30, 20, 0));
}

TEST(CandidateSearch, CountsByShotIndex) {
  EXPECT_EQ(CandidateCountFor(11), 400);
  EXPECT_EQ(CandidateCountFor(12), 400);
  EXPECT_EQ(CandidateCountFor(13), 500);
  EXPECT_EQ(CandidateCountFor(14), 800);
  EXPECT_EQ(CandidateCountFor(15), 1200);
  EXPECT_EQ(CandidateCountFor(16), 400);
  EXPECT_EQ(CandidateCountFor(-1), 400);
}

TEST(CandidateSearch, FirstMaximumWinsEvenWhenAllAreNegative) {
  const int32_t ties[] = {3, 7, 7, -1};
  EXPECT_EQ(ChooseBestCandidate(ties, 4), 1);
  const int32_t negative[] = {-50, -13, -20, -13};
  EXPECT_EQ(ChooseBestCandidate(negative, 4), 1);
  const int32_t lowest[] = {-2147483647 - 1, -2147483647 - 1};
  EXPECT_EQ(ChooseBestCandidate(lowest, 2), 0);
  EXPECT_EQ(ChooseBestCandidate(ties, 0), 0);
}

struct SearchRun {
  ShotVec out;
  std::string report;
  int best = -1;
  double mean = 0.0;
};

SearchRun RunSearch(const GameState& state, const FakeScript& script, int threads) {
  InstallFakeSimulator(script);
  omp_set_num_threads(threads);
  SearchRun run;
  const GameState before = state;
  testing::internal::CaptureStderr();
  RandomCandidateSearch(state, &run.out);
  run.report = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::sscanf(run.report.c_str(), "Result: %d, %lf\n", &run.best, &run.mean), 2);
  EXPECT_EQ(std::memcmp(&before, &state, sizeof state), 0);
  return run;
}

GameState LateRecord(int32_t shotIndex, uint8_t sideToMove) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  std::memset(state.padding, 0xab, sizeof state.padding);
  state.shotIndex = shotIndex;
  state.endIndex = 2;
  state.lastEnd = 8;
  state.sideToMove = sideToMove;
  return state;
}

TEST(CandidateSearch, EqualRewardsPlayCandidateZero) {
  FakeScript script;
  script.score = 3;
  const SearchRun run = RunSearch(LateRecord(13, 0), script, 2);
  EXPECT_EQ(run.report, "Result: 0, 3.000000\n");
}

TEST(CandidateSearch, PlaysTheFirstBestCandidateForEitherSide) {
  // The last stone scores +1 when it rests left of the centre line, -1 when
  // right: the first left candidate wins for side 0, the first right one for
  // side 1, and the reply is CreateShot of the reported target.
  FakeScript script;
  script.score = 1;
  script.scoreStone = 15;
  for (int threads : kThreadCounts) {
    for (uint8_t side : {0, 1}) {
      const SearchRun run = RunSearch(LateRecord(15, side), script, threads);
      EXPECT_EQ(run.mean, 1.0) << run.report;
      const bool left = run.out.vx < kFakeCentreLineX;
      EXPECT_EQ(left, side == 0) << run.out.vx;
      EXPECT_GE(run.out.vy, 3.195f);
      EXPECT_LE(run.out.vy, 11.425f);
      // A first maximum this late would mean 30 misses in a row (odds 1e-9).
      EXPECT_LT(run.best, 30);
    }
  }
}

}  // namespace
