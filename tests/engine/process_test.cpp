// curling-engine as a process, over pipes, with the scripted test double:
// replies to the byte, how reads become messages, odd input, loading the
// library, and every kind of GO with its report lines, choice and simulator
// calls for 1, 2 and 3 OpenMP threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "process_fixture.h"

namespace {

const std::string kEngine = Tested().program;
const std::string kDouble = Tested().doubleDir;
const std::string kTeeDraw = "BESTSHOT 2.375000 4.880000 0";
constexpr int kThreadCounts[] = {1, 2, 3};

// A fresh engine fed each message in reads of its own (a read takes at most
// 1023 bytes), then the end of input. The double writes its counts from its
// exit handler, so they also show that the end of input ended the engine
// normally.
EngineRun RunMessages(const std::vector<std::string>& messages,
                      std::vector<EnvSetting> settings = {}, int threads = 2,
                      const std::string& dir = kDouble, const std::string& program = kEngine) {
  static const TempDir countsDir("curling-engine-test");
  const std::string countsFile = countsDir / "counts";
  std::remove(countsFile.c_str());
  settings.push_back({"KORVANE_DOUBLE_COUNTS", countsFile});
  settings.push_back({"OMP_NUM_THREADS", std::to_string(threads)});
  EngineSession engine;
  EXPECT_TRUE(StartEngine(&engine, dir, settings, program));
  for (const std::string& m : messages) {
    EXPECT_TRUE(Send(&engine, m, static_cast<int>(m.size() + 1022) / 1023)) << m;
  }
  EngineRun run = Ended(engine, Finish(&engine));
  run.counts = ReadCounts(countsFile);
  return run;
}

// Each test's own folder, removed in the teardown.
class EngineProcess : public ::testing::Test {
 protected:
  TempDir dir{"curling-engine-test"};
};

TEST_F(EngineProcess, RepliesAndEchoesToTheByte) {
  EngineSession engine;
  ASSERT_TRUE(StartEngine(&engine, kDouble, {}, kEngine));
  ASSERT_TRUE(Send(&engine, "isready\r\n"));
  ASSERT_TRUE(Send(&engine, "SETSTATE 0 0 10 0\r\nGO\n\nisready"));
  // The last line has no terminator and is still answered before the input ends.
  EXPECT_TRUE(WaitForStdout(&engine.child, "READYOK", 2, kStepTimeoutMs));
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(engine.child.stdoutText, "READYOK" + kTeeDraw + "READYOK");
  EXPECT_EQ(engine.child.stderrText,
            "recieved: isready\r\n\nrecieved: SETSTATE 0 0 10 0\r\nGO\n\nisready\n");
}

TEST_F(EngineProcess, OddInputGetsNoReply) {
  // Split, the POSITION that would make a guard is lost.
  EngineRun run = RunMessages({"POSI", "TION 2.5 4.5\n", "GO\n", "POSITION 2.5 4.5\n", "GO\n"});
  EXPECT_EQ(run.out, kTeeDraw + "BESTSHOT 2.500000 6.500000 1");
  run = RunMessages({"GO\t\n", "GOX\n", "\r\n", "      \n", "SETSTATE 5 2\n", "POSITION 1 2 3\n",
                     "SCORE\n", "SETSTATE 1 12 10 0\n", "SCORE 3\n", "NEWGAME\n", "hello world\n"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(CountOccurrences(run.err, "recieved: "), 11);
  // 1023 bytes: one read. 1024 with its line feed: the line feed comes in a
  // read of its own. 2000 bytes and 4000 random ones: ignored.
  std::mt19937 bytes(2026);
  std::string garbage(4000, '\0');
  for (char& c : garbage) c = static_cast<char>(bytes() & 0xff);
  run = RunMessages({"ISREADY" + std::string(1016, ' '), "isready" + std::string(1016, ' ') + "\n",
                     std::string(2000, 'A'), garbage, "ISREADY\n"});
  EXPECT_EQ(run.out, "READYOKREADYOKREADYOK");
}

TEST_F(EngineProcess, EndsNormallyOnceItsOutputHasNoReader) {
  // A reply that finds no reader ends the engine as the end of its input
  // would, though the input stays open: status 0 (not death by SIGPIPE), the
  // library's exit handler run (it writes the counts), and the rest of the
  // message left alone (the GO after the failed reply makes no calls).
  const struct {
    std::string message;
    long simulations;
  } cases[] = {{"ISREADY\nSETSTATE 11 3 10 0\nGO\n", 0},
               {"SETSTATE 11 3 10 0\nGO\nGO\nISREADY\n", 20000}};
  for (const auto& c : cases) {
    const std::string countsFile = dir / ("counts-" + std::to_string(&c - cases));
    EngineSession engine;
    ASSERT_TRUE(StartEngine(&engine, kDouble, {{"KORVANE_DOUBLE_COUNTS", countsFile}}, kEngine));
    CloseChildOutput(&engine.child);
    ASSERT_TRUE(WriteToChild(&engine.child, c.message));
    EXPECT_EQ(AwaitChild(&engine.child, kStepTimeoutMs), 0) << c.message;
    std::map<std::string, long> counts = ReadCounts(countsFile);
    EXPECT_EQ(counts.count("Simulation"), 1u) << c.message;
    EXPECT_EQ(counts["Simulation"], c.simulations) << c.message;
  }
}

TEST_F(EngineProcess, LibraryComesFromTheSearchPathOrTheExecutablesFolder) {
  const std::string copy = dir / BaseName(kEngine);
  const std::string noLibrary = dir / "no-library";
  ASSERT_TRUE(std::filesystem::create_directory(noLibrary));
  ASSERT_TRUE(CopyFile(kEngine, copy));
  // Nothing to load: the engine ends at once without reading.
  EngineSession engine;
  ASSERT_TRUE(StartEngine(&engine, noLibrary, {}, copy));
  WriteToChild(&engine.child, "ISREADY\n");
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(engine.child.stdoutText, "");
  EXPECT_EQ(engine.child.stderrText, "failed to load Korvane.dll\n");

  // The double next to the executable adds 100 to vx. Linux searches
  // LD_LIBRARY_PATH before the executable's folder; Windows searches the
  // executable's folder first.
  ASSERT_TRUE(CopyFile(Tested().offsetDoubleDir + "/Korvane.dll",
                       copy.substr(0, copy.rfind('/')) + "/Korvane.dll"));
  const std::string besideExecutable = "BESTSHOT 102.375000 4.880000 0";
  EXPECT_EQ(RunMessages({"GO\n"}, {}, 2, "", copy).out, besideExecutable);
  EXPECT_EQ(RunMessages({"GO\n"}, {}, 2, kDouble, copy).out,
            Tested().windows ? besideExecutable : kTeeDraw);
}

TEST(PlacementProcess, ClosestStoneDecidesDrawGuardOrTakeOut) {
  // The double's draw is its target and its hit is (x, -y). In turn: the
  // closest thrown stone lies on the house's edge (stone 4 is not thrown
  // yet); two stones tie for closest and the lower index, an own stone,
  // wins; own stones are guarded two metres further, curling away from the
  // centre line; with a negative shot index nothing is ranked and stone 0 is
  // the thrower's own for even indexes.
  const EngineRun run = RunMessages({
      "ISREADY\nGO\n",
      "SETSTATE 4 0 10 0\n" +
          PositionMessage(
              {{0, 0}, {2.375f, 8.0f}, {4.3499999f, 4.88059855f}, {0, 0}, {2.375f, 4.88f}}) +
          "  go\n",
      "SETSTATE 4 0 10 0\n" +
          PositionMessage(
              {{3.375f, 4.88f}, {1.375f, 4.88f}, {2.375f, 6.5f}, {0, 0}, {2.375f, 4.88f}}) +
          "GO\n",
      "SETSTATE 2 0 10 0\n" + PositionMessage({{2.0f, 5.0f}}) + "GO\n",
      PositionMessage({{2.375f, 5.0f}}) + "GO\n",
      PositionMessage({{3.0f, 5.0f}}) + "GO\n",
      "SETSTATE -2 0 10 0\n" + PositionMessage({{2.375f, 4.88f}}) + "GO\n",
      "SETSTATE -3 0 10 0\nGO\n",
      "ISREADY\nSETSTATE 10 0 10 0\nGO\n",
  });
  EXPECT_EQ(run.out, "READYOK" + kTeeDraw + kTeeDraw + "BESTSHOT 3.375000 6.880000 1" +
                         "BESTSHOT 2.000000 7.000000 0" + "BESTSHOT 2.375000 7.000000 1" +
                         "BESTSHOT 3.000000 7.000000 1" + "BESTSHOT 2.375000 6.880000 1" +
                         "BESTSHOT 2.375000 -4.880000 0" + "READYOK" + kTeeDraw);
  EXPECT_EQ(CountOccurrences(run.err, "Result: "), 0);
}

TEST(TakeoutProcess, ReportsBothCountsAndPlaysTheBetterHit) {
  const struct {
    std::string state;
    const char* hits;  // hits per curl that remove their target
    const char* report;
    const char* reply;
    const char* power;
  } cases[] = {
      // The opponent's stone 4 before shot 6: light hits. The own stone 1
      // stays in the house, yet only the target decides a trial.
      {"SETSTATE 5 0 10 0\n" +
           PositionMessage({{0, 0}, {2.375f, 6.0f}, {0, 0}, {0, 0}, {2.375f, 4.88f}}),
       "57 63", "shot[0] (57/200)\nshot[1] (63/200)\nbest_num = 1\n",
       "BESTSHOT 2.375000 -4.880000 1", "LightHits"},
      // From shot 6 heavy hits; equal counts keep vector 0.
      {"SETSTATE 6 0 10 0\n" +
           PositionMessage({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3.0f, 5.5f}}),
       "200 200", "shot[0] (200/200)\nshot[1] (200/200)\nbest_num = 0\n",
       "BESTSHOT 3.000000 -5.500000 0", "HeavyHits"},
  };
  for (const auto& c : cases) {
    for (int threads : kThreadCounts) {
      EngineRun run = RunMessages({c.state + "GO\n"}, {{"KORVANE_DOUBLE_HITS", c.hits}}, threads);
      EXPECT_EQ(run.status, 0);
      EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
      EXPECT_EQ(CountOccurrences(run.err, "best_num = "), 1);
      EXPECT_EQ(run.out, c.reply);
      EXPECT_EQ(run.counts["Simulation"], 400) << threads;
      EXPECT_EQ(run.counts[c.power], run.counts["CreateHitShot"]);  // every hit at this power
      EXPECT_EQ(run.counts["Threads"], threads);
      EXPECT_EQ(run.counts["BadArguments"], 0);
    }
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
      EngineRun run =
          RunMessages({"SETSTATE " + std::to_string(row.shotIndex) + " 3 10 0\nGO\n"}, {}, threads);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.counts["Simulation"], row.simulations) << row.shotIndex << " " << threads;
      EXPECT_EQ(run.counts["CreateShot"], row.candidates + 1 + row.randomShots);
      EXPECT_EQ(run.counts["Threads"], threads);
      EXPECT_EQ(run.counts["BadArguments"], 0);
      // Every rollout is worth 0: candidate 0 is played.
      EXPECT_EQ(CountOccurrences(run.err, "Result: "), 1);
      EXPECT_NE(run.err.find("Result: 0, 0.000000\n"), std::string::npos);
    }
  }
}

TEST(CandidateProcess, ExtraEndRolloutsSeeTheRealScore) {
  // An end without a score slot is played as the table's last end, so its
  // score is still seen; a rollout that completes no end is worth 0. Scores
  // count for side 0 and are negated for side 1. Scored by the last stone,
  // +1 left of the centre line and -1 right of it, a left candidate must
  // win for side 0 and a right one for side 1.
  const struct {
    const char* state;
    const char* score;
    const char* stone;
    const char* mean;
    int left;  // whether the reply must lie left of the centre line, or -1
  } cases[] = {{"SETSTATE 14 10 10 1\n", "-2", "-1", ", 2.000000\n", -1},
               {"SETSTATE 14 -1 10 1\n", "-2", "-1", ", 2.000000\n", -1},
               {"SETSTATE 14 2147483647 10 1\n", "-2", "-1", ", 2.000000\n", -1},
               {"SETSTATE 12 -2147483648 10 0\n", "-2", "-1", ", -2.000000\n", -1},
               {"SETSTATE 13 3 10 0\n", "3", "-1", ", 3.000000\n", -1},
               {"SETSTATE 16 3 10 0\nSCORE 7\n", "5", "-1", ", 0.000000\n", -1},
               {"SETSTATE 2147483647 3 10 0\n", "5", "-1", ", 0.000000\n", -1},
               {"SETSTATE 15 2 10 0\n", "1", "15", ", 1.000000\n", 1},
               {"SETSTATE 15 2 10 1\n", "1", "15", ", 1.000000\n", 0}};
  for (const auto& c : cases) {
    const EngineRun run =
        RunMessages({std::string(c.state) + "GO\n"},
                    {{"KORVANE_DOUBLE_SCORE", c.score}, {"KORVANE_DOUBLE_SCORE_STONE", c.stone}});
    EXPECT_EQ(run.status, 0) << c.state;
    const size_t result = run.err.find("Result: ");
    ASSERT_NE(result, std::string::npos) << c.state << run.err;
    EXPECT_NE(run.err.find(c.mean, result), std::string::npos) << c.state << run.err;
    float vx = 0.0f;
    ASSERT_EQ(std::sscanf(run.out.c_str(), "BESTSHOT %f", &vx), 1) << run.out;
    EXPECT_TRUE(c.left < 0 || (vx < 2.375f) == (c.left == 1)) << c.state << run.out;
  }
}

}  // namespace
