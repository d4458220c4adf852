// The runner's command line as a whole process (over the stand-in physics).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "match/options.h"
#include "match/process.h"
#include "tests/match/json_check.h"
#include "tests/match/support.h"

namespace {

std::string Runner(const std::string& args, const std::string& a, const std::string& b) {
  return std::string(CLI_DOUBLE) + " " + args + " '" + a + "' '" + b + "' 2>&1";
}

Json RecordAt(const std::string& path) {
  Json j;
  EXPECT_TRUE(ParseJson(ReadFile(path), &j)) << path;
  return j;
}

// The resting places of every stone of every end, to compare replays.
std::string Placements(const Json& record) {
  std::string s;
  for (const Json& end : record["ends"].items)
    for (const Json& stone : end["stones"].items)
      for (const Json& xy : stone["after"].items)
        s += std::to_string(xy[0].number) + "," + std::to_string(xy[1].number) + " ";
  return s;
}

}  // namespace

TEST(MatchOptions, DefaultsAndValues) {
  MatchOptions o;
  std::string error;
  const char* none[] = {"curling-match"};
  ASSERT_EQ(ParseOptions(1, none, &o, &error), ParseOutcome::kRun);
  EXPECT_EQ(o.settings.ends, 10);
  EXPECT_FLOAT_EQ(o.settings.noise, 0.145f);
  EXPECT_TRUE(o.settings.extraEnds);
  EXPECT_TRUE(o.engines[0].empty());
  const char* some[] = {"m",   "--ends", "4",   "--seed=2026", "--no-extra-ends", "--time",
                        "1.5", "--svg",  "out", "./a",         "./b --x"};
  ASSERT_EQ(ParseOptions(11, some, &o, &error), ParseOutcome::kRun) << error;
  EXPECT_EQ(o.settings.ends, 4);
  EXPECT_TRUE(o.haveSeed);
  EXPECT_EQ(o.seed, 2026u);
  EXPECT_FALSE(o.settings.extraEnds);
  EXPECT_DOUBLE_EQ(o.settings.budgetMs, 1500.0);
  EXPECT_EQ(o.svgDir, "out");
  EXPECT_EQ(o.engines[1], "./b --x");
}

TEST(MatchOptions, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<const char*>> bad = {
      {"m", "--ends", "0"}, {"m", "--ends"},   {"m", "--noise", "x"}, {"m", "--seed", "-1"},
      {"m", "--bogus"},     {"m", "only-one"}, {"m", "a", "b", "c"}};
  for (const auto& args : bad) {
    MatchOptions o;
    std::string error;
    EXPECT_EQ(ParseOptions(static_cast<int>(args.size()), args.data(), &o, &error),
              ParseOutcome::kError)
        << args[1];
    EXPECT_FALSE(error.empty());
  }
  const CommandResult r = RunCommand(std::string(CLI_DOUBLE) + " --ends x 2>&1");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("bad value for --ends"), std::string::npos) << r.output;
}

TEST(MatchCommandLine, PrintsLineScoreAndWritesRecordAndPictures) {
  const std::string dir = MakeTempDir();
  const CommandResult r = RunCommand(
      Runner("--ends 2 --seed 5 --pause-ms 1 --record " + dir + "/g.json --svg " + dir + "/svg",
             FakeEngine("--plan 2.375,4.88"), FakeEngine("--plan 2.375,5.5")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("B has the hammer (*) in end 1"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("end  1  A  8  =  8    B  0* =  0\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("end  2  A  8   8  = 16    B  0*  0* =  0\n"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("final: A 16 - 0 B, A wins"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("summary of 1 game"), std::string::npos) << r.output;
  const Json j = RecordAt(dir + "/g.json");
  EXPECT_TRUE(j["complete"].boolean);
  EXPECT_EQ(j["ends"].size(), 2u);
  int pictures = 0;
  for (const auto& f : std::filesystem::directory_iterator(dir + "/svg"))
    pictures += f.path().extension() == ".svg";
  EXPECT_EQ(pictures, 32);
  EXPECT_TRUE(std::filesystem::exists(dir + "/svg/game01-end02-stone16.svg"));
}

TEST(MatchCommandLine, SameSeedReplaysTheSameGame) {
  const std::string dir = MakeTempDir();
  const std::string a = FakeEngine("--plan 2.3,5");
  const std::string b = FakeEngine("--plan 2.5,5.2");
  for (const char* run : {"1", "2", "3"}) {
    const std::string seed = std::string(run) == "3" ? "12" : "11";
    ASSERT_EQ(RunCommand(Runner("--ends 1 --noise 0.3 --pause-ms 1 --seed " + seed + " --record " +
                                    dir + "/" + run + ".json",
                                a, b))
                  .status,
              0);
  }
  const std::string first = Placements(RecordAt(dir + "/1.json"));
  EXPECT_EQ(first, Placements(RecordAt(dir + "/2.json")));
  EXPECT_NE(first, Placements(RecordAt(dir + "/3.json")));
}

TEST(MatchCommandLine, GamesInPairsSwapTheFirstHammerAndSum) {
  const std::string dir = MakeTempDir();
  const CommandResult r = RunCommand(
      Runner("--games 2 --ends 1 --no-extra-ends --pause-ms 1 --record " + dir + "/g.json",
             FakeEngine("--plan 2.375,4.88"), FakeEngine("--plan 2.375,5.5")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("game 1/2: A 8 - 0 B, A wins"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("game 2/2: A 8 - 0 B, A wins   running: A 2 wins"), std::string::npos);
  EXPECT_NE(r.output.find("summary of 2 games"), std::string::npos);
  EXPECT_EQ(RecordAt(dir + "/g-1.json")["ends"][0]["hammer"].text, "B");
  EXPECT_EQ(RecordAt(dir + "/g-2.json")["ends"][0]["hammer"].text, "A");
}

TEST(MatchCommandLine, InterruptedRunLeavesFinishedEndsReadableAndNoEngines) {
  const std::string dir = MakeTempDir();
  const std::string record = dir + "/g.json";
  ChildProcess runner;
  // B stops answering at its first stone of end 2; the runner is killed then.
  ASSERT_TRUE(StartProgram(
      {CLI_DOUBLE, "--ends", "3", "--go-timeout", "30", "--pause-ms", "1", "--record", record,
       FakeEngine("--pid " + dir + "/a.pid"), FakeEngine("--pid " + dir + "/b.pid --fault hang@9")},
      "", &runner));
  Json j;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline &&
         !(ParseJson(ReadFile(record), &j) && j["ends"].size() == 1))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // into end 2
  kill(runner.pid, SIGKILL);
  StopProcess(&runner, 0);

  j = RecordAt(record);
  ASSERT_EQ(j["ends"].size(), 1u);
  EXPECT_EQ(j["ends"][0]["stones"].size(), 16u);
  EXPECT_FALSE(j["complete"].boolean);
  // The engines die with the runner.
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    gone = !PidFileProcessAlive(dir + "/a.pid") && !PidFileProcessAlive(dir + "/b.pid");
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(gone);
}
