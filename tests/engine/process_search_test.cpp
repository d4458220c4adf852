// Both searches through the whole process with the scripted test double:
// report lines, choices and the simulator calls that each GO makes, for 1, 2
// and 3 OpenMP threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "process_fixture.h"

namespace {

const std::string kEngine = Tested().program;
const std::string kDouble = Tested().doubleDir;
constexpr int kThreadCounts[] = {1, 2, 3};

struct GoRun {
  int status = -1;
  std::string out;
  std::string err;
  std::map<std::string, long> counts;
};

// One GO after the given state, in a fresh engine with OMP_NUM_THREADS set.
GoRun RunGo(const std::string& setState, const std::string& position, int threads,
            std::vector<EnvSetting> settings) {
  const std::string countsFile = MakeTempDir() + "/counts";
  settings.push_back({"KORVANE_DOUBLE_COUNTS", countsFile});
  settings.push_back({"OMP_NUM_THREADS", std::to_string(threads)});
  EngineSession engine;
  GoRun run;
  EXPECT_TRUE(StartEngine(&engine, kDouble, settings, kEngine));
  for (const std::string& m : {setState, position, std::string("GO\n")}) {
    EXPECT_TRUE(Send(&engine, m)) << m;
  }
  run.status = Finish(&engine);
  run.out = engine.child.stdoutText;
  run.err = engine.child.stderrText;
  run.counts = ReadCounts(countsFile);
  return run;
}

std::string TakeoutReport(int count0, int count1, int best) {
  char text[128];
  std::snprintf(text, sizeof text, "shot[0] (%d/200)\nshot[1] (%d/200)\nbest_num = %d\n", count0,
                count1, best);
  return text;
}

TEST(TakeoutProcess, ReportsBothCountsAndPlaysTheBetterHit) {
  for (int threads : kThreadCounts) {
    // Stone 0 is the opponent's at shot 1: a light hit.
    GoRun run = RunGo("SETSTATE 1 0 10 0\n", PositionMessage({{2.375f, 4.88f}}), threads,
                      {{"KORVANE_DOUBLE_HITS", "57 63"}});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find(TakeoutReport(57, 63, 1)), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "BESTSHOT 2.375000 -4.880000 1");
    EXPECT_EQ(run.counts["Simulation"], 400);
    EXPECT_EQ(run.counts["CreateHitShot"], 2 * threads);
    EXPECT_EQ(run.counts["LightHits"], 2 * threads);
    EXPECT_EQ(run.counts["Threads"], threads);
    EXPECT_EQ(run.counts["BadArguments"], 0);
  }
}

TEST(TakeoutProcess, EqualCountsKeepFirstVectorWithHeavyHitFromShotSix) {
  for (int threads : kThreadCounts) {
    GoRun run = RunGo("SETSTATE 6 0 10 0\n",
                      PositionMessage({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3.0f, 5.5f}}),
                      threads, {{"KORVANE_DOUBLE_HITS", "200 200"}});
    EXPECT_NE(run.err.find(TakeoutReport(200, 200, 0)), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "BESTSHOT 3.000000 -5.500000 0");
    EXPECT_EQ(run.counts["HeavyHits"], 2 * threads);
    EXPECT_EQ(CountOccurrences(run.err, "best_num = "), 1);
  }
}

TEST(CandidateProcess, MakesTheSimulatorCallsOfItsCostTable) {
  const struct {
    int shotIndex;
    long candidates, simulations, randomShots;
  } table[] = {{11, 400, 20000, 16000},
               {12, 400, 16000, 12000},
               {13, 500, 15000, 10000},
               {14, 800, 16000, 8000},
               {15, 1200, 12000, 0}};
  for (int threads : kThreadCounts) {
    for (const auto& row : table) {
      const std::string setState = "SETSTATE " + std::to_string(row.shotIndex) + " 3 10 0\n";
      GoRun run = RunGo(setState, PositionMessage({}), threads, {});
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.counts["Simulation"], row.simulations) << row.shotIndex << " " << threads;
      EXPECT_EQ(run.counts["CreateShot"], row.candidates + 1 + row.randomShots);
      EXPECT_EQ(run.counts["CreateHitShot"], 0);
      EXPECT_EQ(run.counts["GetScore"], 0);
      EXPECT_EQ(run.counts["Threads"], threads);
      EXPECT_EQ(run.counts["BadArguments"], 0);
      // Every rollout is worth 0: candidate 0 is played.
      EXPECT_NE(run.err.find("Result: 0, 0.000000\n"), std::string::npos);
      EXPECT_EQ(CountOccurrences(run.err, "Result: "), 1);
      EXPECT_EQ(run.out.rfind("BESTSHOT ", 0), 0u);
    }
  }
}

TEST(CandidateProcess, ExtraEndRolloutsSeeTheRealScore) {
  GoRun run =
      RunGo("SETSTATE 14 10 10 1\n", PositionMessage({}), 2, {{"KORVANE_DOUBLE_SCORE", "-2"}});
  EXPECT_NE(run.err.find("Result: 0, 2.000000\n"), std::string::npos) << run.err;
}

}  // namespace
