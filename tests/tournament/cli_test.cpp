// The runner's command line as a whole process (over the stand-in physics):
// refusals, a single game shown live, game pairs, an interrupted game.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "match/version.h"
#include "platform/process.h"
#include "tests/tournament/support.h"

namespace {

std::string Runner(const std::string& args, const std::string& a, const std::string& b) {
  return CLI_DOUBLE " --pause-ms 1 " + args + " '" + a + "' '" + b + "' 2>&1";
}

}  // namespace

// Suites whose tests write files: each test gets a folder of its own.
class TournamentCommandLine : public TempDirTest {};

TEST_F(TournamentCommandLine, RefusesBadArguments) {
  const std::string two = " --engine cmd=a --engine cmd=b";
  for (const std::string& args :
       std::vector<std::string>{"--ends 0",
                                "--ends",
                                "--noise x",
                                "--seed -1",
                                "--seed 18446744073709551616",
                                "--bogus",
                                "only-one",
                                "a b c",
                                "--games 3",
                                "--concurrency 0",
                                "--tournament swiss",
                                "--shard 3/2" + two,
                                "--shard 1" + two,
                                "--sprt elo0=5 elo1=0 --games 2" + two,
                                "--sprt elo0=0 --games 1" + two,
                                "--engine name=x",
                                "--engine cmd=x bogus=1 --engine cmd=y",
                                "--engine cmd=x threads=0" + two,
                                "--engine cmd=x time=0 --engine cmd=y",
                                "--engine cmd=x inc=-1 --engine cmd=y",
                                "--each tme=1" + two,
                                "--each conf=x" + two,
                                "--engine conf=x --engine cmd=b",
                                "--engine conf= cmd=a --engine cmd=b",
                                "--inc -1" + two,
                                "--sprt pairing=a:c --games 2" + two,
                                "--sprt pairing=a --games 2" + two,
                                "--engine cmd=x",
                                "--engine name=x cmd=a --engine name=x cmd=b",
                                "--engine cmd=a --engine cmd=b --engine cmd=c",
                                "a b" + two,
                                "merge",
                                "merge /no/such/file"}) {
    const CommandResult r = RunCommand(CLI_DOUBLE " " + args + " 2>&1 </dev/null");
    EXPECT_EQ(r.status, 2) << args << ": " << r.output;
    EXPECT_EQ(r.output.find("game 1"), std::string::npos) << args << ": " << r.output;
  }
  // CLI11's own messages name the range, and help and version exit 0.
  EXPECT_NE(RunCommand(CLI_DOUBLE " --ends 0 2>&1").output.find("not in range 1 to 100"),
            std::string::npos);
  EXPECT_NE(RunCommand(CLI_DOUBLE " --help").output.find("--concurrency"), std::string::npos);
  const CommandResult version = RunCommand(CLI_DOUBLE " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, std::string("curling-match ") + kRunnerVersion + "\n");
}

// Whatever is wrong with the engines file, one line says what, and nothing is played.
TEST_F(TournamentCommandLine, AnEnginesFileThatCannotServeIsOneLineAndExitTwo) {
  std::ofstream(dir + "/bad.json") << "{\"engines\": [{\"name\": \"x\"";
  std::ofstream(dir + "/odd.json") << "{\"engines\": [{\"name\": \"x\", \"args\": [1]}]}";
  std::ofstream(dir + "/ok.json") << "{\"engines\": [{\"name\": \"x\", \"cmd\": \"a\"}]}";
  const struct {
    std::string args, says;
  } kCases[] = {
      {"--engines-file " + dir + "/none.json", "none.json: cannot be read"},
      {"--engines-file " + dir + "/bad.json", "bad.json: not JSON of the form"},
      {"--engines-file " + dir + "/odd.json", "\"args\" holds a value that is not a string"},
      {"--engines-file " + dir + "/ok.json --engine conf=y", "names no such engine (it names: x)"}};
  for (const auto& c : kCases) {
    const CommandResult r = RunCommand(CLI_DOUBLE " " + c.args + " --engine cmd=b 2>&1 </dev/null");
    EXPECT_EQ(r.status, 2) << c.args << ": " << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
  }
}

TEST_F(TournamentCommandLine, PrintsLineScoreAndWritesRecordAndPictures) {
  // B's command line holds a quote, a tab and a backslash, which the
  // record must escape. B never says READYOK: it is named, and plays on.
  const CommandResult r = RunCommand(Runner(
      "--ends 2 --noise 0 --time 90 --go-timeout 1 --record " + dir + "/g.json --svg " + dir +
          "/svg",
      FakeEngine("--fault garbage@3"), FakeEngine("--no-ready --plan 2.375,5.5 \"x\"\t\\")));
  ASSERT_EQ(r.status, 0) << r.output;
  for (const char* line :
       {"B has the hammer (*) in end 1\nengine B (fake_engine-2): no READYOK within 1 s\n",
        "end 1 stone 5 of A lost (garbage)",
        "\nEnd     1  | Total\nA       7  |   7\nB       0* |   0\n",
        "\nEnd     1   2  | Total\nA       7   8  |  15\nB       0*  0* |   0\n"
        "final: A 15 - 0 B, A wins\n"})
    EXPECT_NE(r.output.find(line), std::string::npos) << line << " in\n" << r.output;
  // One game has no rating tables: its closing board says it all.
  EXPECT_EQ(r.output.find("after 1 of 1 games"), std::string::npos) << r.output;

  const std::string record = dir + "/g.json";
  EXPECT_EQ(
      RecordQuery(
          record,
          "r['settings']['timeBudgetMs'], r['complete'], r['result'], r['totals'], "
          "[(e['hammer'], e['pointsA']) for e in r['ends']], "
          "r['engines']['B']['command'].endswith(chr(34) + 'x' + chr(34) + chr(9) + chr(92))"),
      "(90000.0, True, 'A', {'A': 15, 'B': 0}, [('B', 7), ('B', 8)], True)");
  EXPECT_EQ(
      RecordQuery(record,
                  "[(s['sent']['setstate'], s['status'], s['vec'], s['after'][s['shotIndex']]) "
                  "for s in r['ends'][0]['stones'][3:5]]"),
      "[('SETSTATE 3 0 2 1', 'played', {'vx': 2.375, 'vy': 5.5, 'curl': 0}, [2.375, 5.5]), "
      "('SETSTATE 4 0 2 0', 'garbage', None, [0, 0])]");
  using Dir = std::filesystem::directory_iterator;
  EXPECT_EQ(std::distance(Dir(dir), Dir()), 2);  // g.json and svg/: no temporary file left
  EXPECT_EQ(std::distance(Dir(dir + "/svg"), Dir()), 32);
}

TEST_F(TournamentCommandLine, GamesInPairsSwapTheSeatsAndTheSeedReplaysAGame) {
  const std::string a = FakeEngine("--plan 2.3,5"), b = FakeEngine("--plan 2.5,5.2");
  const std::string args = "--ends 1 --no-extra-ends --noise 0.3 --record " + dir;
  const CommandResult pair = RunCommand(Runner(args + "/g.json --games 2 --seed 11", a, b));
  ASSERT_EQ(pair.status, 0) << pair.output;
  EXPECT_NE(pair.output.find("after 2 of 2 games"), std::string::npos) << pair.output;
  ASSERT_EQ(RunCommand(Runner(args + "/same.json --seed 11", a, b)).status, 0);
  ASSERT_EQ(RunCommand(Runner(args + "/other.json --seed 12", a, b)).status, 0);

  EXPECT_EQ(RecordQuery(dir + "/g-1.json", "r['ends'][0]['hammer'], r['engines']['A']['command']"),
            "('B', '" + a + "')");
  EXPECT_EQ(RecordQuery(dir + "/g-2.json", "r['ends'][0]['hammer'], r['engines']['A']['command']"),
            "('B', '" + b + "')");
  const std::string placements = "[s['after'] for e in r['ends'] for s in e['stones']]";
  const std::string first = RecordQuery(dir + "/g-1.json", placements);
  EXPECT_EQ(first, RecordQuery(dir + "/same.json", placements));
  // The pair's second game throws with the same seed: the same errors.
  const std::string errors =
      "[round(s['after'][s['shotIndex']][0] - s['vec']['vx'], 4) "
      "for e in r['ends'] for s in e['stones']]";
  EXPECT_EQ(RecordQuery(dir + "/g-1.json", errors), RecordQuery(dir + "/g-2.json", errors));
  EXPECT_NE(first, RecordQuery(dir + "/other.json", placements));
}

TEST_F(TournamentCommandLine, InterruptedRunLeavesFinishedEndsReadableAndNoEngines) {
  const std::string record = dir + "/g.json";
  ChildProcess runner;
  // B stops answering at its first stone of end 2 (its ninth GO); the
  // runner is killed once B has been asked for it.
  const std::string bLog = dir + "/b.log";
  ASSERT_TRUE(
      StartProgram({CLI_DOUBLE, "--ends", "3", "--go-timeout", "30", "--pause-ms", "1", "--record",
                    record, FakeEngine("--pid " + dir + "/a.pid"),
                    FakeEngine("--pid " + dir + "/b.pid --log " + bLog + " --fault hang@9")},
                   "", &runner));
  auto goesSent = [&bLog] {
    const std::vector<std::string> reads = LoggedReads(bLog);
    return std::count(reads.begin(), reads.end(), "GO\n");
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline && goesSent() < 9)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  kill(runner.pid, SIGKILL);
  StopProcess(&runner, 0);

  EXPECT_EQ(RecordQuery(record, "len(r['ends']), len(r['ends'][0]['stones']), r['complete']"),
            "(1, 16, False)");
  bool gone = false;  // the engines die with the runner
  for (int i = 0; i < 100 && !gone; ++i) {
    gone = !PidFileProcessAlive(dir + "/a.pid") && !PidFileProcessAlive(dir + "/b.pid");
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(gone);
}

TEST(TournamentHelp, FitsOneHundredColumnsAndListsEveryOptionOnce) {
  const CommandResult help = RunCommand(CLI_DOUBLE " --help");
  ASSERT_EQ(help.status, 0);
  std::istringstream lines(help.output);
  std::map<std::string, int> listed;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 100u) << line;
    if (line.rfind("Examples:", 0) == 0) break;  // the examples repeat option names
    if (line.rfind("  -", 0) != 0) continue;
    // An entry: its names, separated by ", ", then a value or the description.
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      const bool more = word.back() == ',';
      if (more) word.pop_back();
      if (word[0] == '-') ++listed[word];
      if (!more) break;
    }
  }
  const std::vector<std::string> all{
      "--engine",  "--each",       "--engines-file", "--tournament", "--games", "--concurrency",
      "--seed",    "--shard",      "--openings", "--sprt",      "--report-every", "--results",
      "--summary", "--record",     "--svg",     "--html",       "--engine-log", "--ends",
      "--extra-ends", "--no-extra-ends", "--noise", "--time",   "--inc",       "--go-timeout",
      "--pause-ms", "--recover",   "-h",        "--help",       "--version"};
  for (const std::string& name : all) EXPECT_EQ(listed[name], 1) << name;
  EXPECT_EQ(listed.size(), all.size());
  EXPECT_NE(help.output.find("Examples:"), std::string::npos);
  // The help states the defaults the parser really has.
  EXPECT_NE(help.output.find("default --extra-ends"), std::string::npos);

  const CommandResult merge = RunCommand(CLI_DOUBLE " merge --help");
  EXPECT_EQ(merge.status, 0);
  EXPECT_NE(merge.output.find("  --summary FILE"), std::string::npos) << merge.output;
  // merge writes no replay page: its --html is the index page of the files' games.
  EXPECT_NE(merge.output.find("  --html FILE             the index page"), std::string::npos)
      << merge.output;
}

TEST(TournamentHelp, AMistypedOptionSuggestsTheNearestOne) {
  const CommandResult slip = RunCommand(CLI_DOUBLE " --gmaes 4 2>&1 </dev/null");
  EXPECT_EQ(slip.status, 2);
  EXPECT_NE(slip.output.find("--gmaes: did you mean --games?"), std::string::npos) << slip.output;
  const CommandResult value = RunCommand(CLI_DOUBLE " --concurency=2 2>&1 </dev/null");
  EXPECT_EQ(value.status, 2);
  EXPECT_NE(value.output.find("did you mean --concurrency?"), std::string::npos) << value.output;
  // Nothing is close to a word made up: no guess then.
  const CommandResult far = RunCommand(CLI_DOUBLE " --bogus 2>&1 </dev/null");
  EXPECT_EQ(far.status, 2);
  EXPECT_EQ(far.output.find("did you mean"), std::string::npos) << far.output;
}

TEST_F(TournamentCommandLine, AnInterruptPrintsTheTablesWritesTheSummaryAndLeavesNoEngines) {
  for (const auto& [sig, status] : std::vector<std::pair<int, int>>{{SIGINT, 130}, {SIGTERM, 143}}) {
    const std::string results = dir + "/r" + std::to_string(sig) + ".jsonl";
    const std::string summary = dir + "/s" + std::to_string(sig) + ".json";
    // Slow engines, so that the run is far from its end when the signal comes.
    const std::vector<std::string> args = Concat(
        {{CLI_DOUBLE, "--pause-ms", "1", "--ends", "1", "--games", "40", "--results", results,
          "--summary", summary},
         FakeEngineWords("a", {"--delay-ms", "20", "--pid", dir + "/a.pid"}),
         FakeEngineWords("b", {"--delay-ms", "20", "--pid", dir + "/b.pid"})});
    ChildProcess runner;
    ASSERT_TRUE(StartProgram(args, "", &runner));
    std::string output;
    // The signal comes once a game's results line is written.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && FileLines(results).size() < 2)
      ReadSome(&runner, 10, &output);
    kill(runner.pid, sig);
    while (std::chrono::steady_clock::now() < deadline &&
           ReadSome(&runner, 100, &output) != ReadStatus::kClosed) {
    }
    while (std::chrono::steady_clock::now() < deadline && !HasExited(&runner))
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(runner.exitStatus, status) << runner.exitDescription;
    StopProcess(&runner, 0);

    // Every game counted in the message is in the results file, and only those.
    const size_t games = FileLines(results).size() - 1;
    EXPECT_LT(games, 40u);
    const std::string message = "interrupted after " + std::to_string(games) +
                                " of 40 games; run the same command again to resume\n";
    ASSERT_GE(output.size(), message.size()) << output;
    EXPECT_EQ(output.substr(output.size() - message.size()), message) << output;
    EXPECT_NE(output.find("engines: GO mean and max"), std::string::npos) << output;
    EXPECT_FALSE(ReadFile(summary).empty());
    bool gone = false;  // the engines of the game in play end with the runner
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = !PidFileProcessAlive(dir + "/a.pid") && !PidFileProcessAlive(dir + "/b.pid");
      if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone);
  }
}
