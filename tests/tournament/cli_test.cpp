// The runner's command line as a whole process (over the stand-in physics):
// refusals, a single game shown live, game pairs, an interrupted game.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "match/version.h"
#include "tests/tournament/support.h"

namespace {

std::string Runner(const std::string& args, const std::string& a, const std::string& b) {
  return CLI_DOUBLE " --pause-ms 1 " + args + " '" + a + "' '" + b + "' 2>&1";
}

}  // namespace

// Suites whose tests write files: each test gets a folder of its own.
class TournamentCommandLine : public TempDirTest {};

// Whatever is wrong, the run is refused (exit 2) before a game, and where
// a case gives a message, the output says it: CLI11's ranges, the nearest
// option to a mistyped one, and in one line what the engines file lacks.
TEST_F(TournamentCommandLine, RefusesBadArgumentsBeforeAnyGameSayingWhy) {
  const std::string two = " --engine cmd=a --engine cmd=b", file = "--engines-file " + dir;
  std::ofstream(dir + "/bad.json") << "{\"engines\": [{\"name\": \"x\"";
  std::ofstream(dir + "/odd.json") << "{\"engines\": [{\"name\": \"x\", \"args\": [1]}]}";
  std::ofstream(dir + "/ok.json") << "{\"engines\": [{\"name\": \"x\", \"cmd\": \"a\"}]}";
  const struct {
    std::string args, says;
  } kCases[] = {
      {"--ends 0", "not in range 1 to 100"},
      {"--ends", ""},
      {"--noise x", ""},
      {"--seed -1", ""},
      {"--seed 18446744073709551616", ""},
      {"--bogus", ""},  // nothing is close to it: no guess
      {"--gmaes 4", "--gmaes: did you mean --games?"},
      {"--concurency=2", "did you mean --concurrency?"},
      {"only-one", ""},
      {"a b c", ""},
      {"--games 3", ""},
      {"--concurrency 0", ""},
      {"--tournament swiss", ""},
      {"--shard 3/2" + two, ""},
      {"--shard 1" + two, ""},
      {"--sprt elo0=5 elo1=0 --games 2" + two, ""},
      {"--sprt elo0=0 --games 1" + two, ""},
      {"--engine name=x", ""},
      {"--engine cmd=x bogus=1 --engine cmd=y", ""},
      {"--engine cmd=x threads=0" + two, ""},
      {"--engine cmd=x time=0 --engine cmd=y", ""},
      {"--engine cmd=x inc=-1 --engine cmd=y", ""},
      {"--each tme=1" + two, ""},
      {"--each conf=x" + two, ""},
      {"--engine conf=x --engine cmd=b", ""},
      {"--engine conf= cmd=a --engine cmd=b", ""},
      {"--inc -1" + two, ""},
      {"--sprt pairing=a:c --games 2" + two, ""},
      {"--sprt pairing=a --games 2" + two, ""},
      {"--engine cmd=x", ""},
      {"--engine name=x cmd=a --engine name=x cmd=b", ""},
      {"--engine cmd=a --engine cmd=b --engine cmd=c", ""},
      {"a b" + two, ""},
      {"merge", ""},
      {"merge /no/such/file", ""},
      {file + "/none.json --engine cmd=b", "none.json: cannot be read"},
      {file + "/bad.json --engine cmd=b", "bad.json: not JSON of the form"},
      {file + "/odd.json --engine cmd=b", "\"args\" holds a value that is not a string"},
      {file + "/ok.json --engine conf=y --engine cmd=b", "names no such engine (it names: x)"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args);
    const CommandResult r = RunCommand(CLI_DOUBLE " " + c.args + " 2>&1 </dev/null");
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_TRUE(Lacks(r.output, "game 1"));
    EXPECT_TRUE(Holds(r.output, c.says));
    if (c.args == "--bogus") {
      EXPECT_TRUE(Lacks(r.output, "did you mean"));
    }
    if (c.args.rfind(file, 0) == 0) {  // one line
      EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1);
    }
  }
}

TEST_F(TournamentCommandLine, PrintsLineScoreAndWritesRecordAndPictures) {
  // B's command line holds a quote, a tab and a backslash, which the
  // record must escape. B never says READYOK: it is named, and plays on.
  const CommandResult r = RunCommand(
      Runner("--ends 2 --noise 0 --time 90 --go-timeout 1 --record " + dir + "/g.json --svg " +
                 dir + "/svg",
             FakeEngine("--fault garbage@3"), FakeEngine("--no-ready --plan 2.375,5.5 \"x\"\t\\")));
  ASSERT_EQ(r.status, 0) << r.output;
  for (const char* line :
       {"B has the hammer (*) in end 1\nengine B (fake_engine-2): no READYOK within 1 s\n",
        "end 1 stone 5 of A lost (garbage)",
        "\nEnd     1  | Total\nA       7  |   7\nB       0* |   0\n",
        "\nEnd     1   2  | Total\nA       7   8  |  15\nB       0*  0* |   0\n"
        "final: A 15 - 0 B, A wins\n"})
    EXPECT_TRUE(Holds(r.output, line));
  // One game has no rating tables: its closing board says it all.
  EXPECT_TRUE(Lacks(r.output, "after 1 of 1 games"));

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
  EXPECT_TRUE(Holds(pair.output, "after 2 of 2 games"));
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
  // B stops answering at its first stone of end 2 (its ninth GO); the
  // runner is killed once B has been asked for it.
  const std::string record = dir + "/g.json", bLog = dir + "/b.log";
  ChildProcess runner;
  ASSERT_TRUE(StartRunner({"--ends", "3", "--go-timeout", "30", "--pause-ms", "1", "--record",
                           record, FakeEngine("--pid " + dir + "/a.pid"),
                           FakeEngine("--pid " + dir + "/b.pid --log " + bLog + " --fault hang@9")},
                          &runner));
  WaitUntil(
      [&bLog] {
        const std::vector<std::string> reads = LoggedReads(bLog);
        return std::count(reads.begin(), reads.end(), "GO\n") >= 9;
      },
      60);
  kill(runner.pid, SIGKILL);
  StopProcess(&runner, 0);

  EXPECT_EQ(RecordQuery(record, "len(r['ends']), len(r['ends'][0]['stones']), r['complete']"),
            "(1, 16, False)");
  EXPECT_TRUE(PidFileProcessesEnd({dir + "/a.pid", dir + "/b.pid"}));  // they die with the runner
}

TEST(TournamentHelp, FitsOneHundredColumnsListsEveryOptionOnceAndVersionExitsZero) {
  const CommandResult help = RunCommand(CLI_DOUBLE " --help");
  ASSERT_EQ(help.status, 0);
  std::map<std::string, int> listed;
  for (const std::string& line : SplitLines(help.output)) {
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
      "--engine",       "--each",       "--engines-file", "--tournament", "--games",
      "--concurrency",  "--seed",       "--shard",        "--openings",   "--sprt",
      "--report-every", "--results",    "--summary",      "--record",     "--svg",
      "--html",         "--engine-log", "--ends",         "--extra-ends", "--no-extra-ends",
      "--noise",        "--time",       "--inc",          "--go-timeout", "--pause-ms",
      "--recover",      "-h",           "--help",         "--version"};
  for (const std::string& name : all) EXPECT_EQ(listed[name], 1) << name;
  EXPECT_EQ(listed.size(), all.size());
  EXPECT_TRUE(Holds(help.output, "Examples:"));
  EXPECT_TRUE(Holds(help.output, "default --extra-ends"));  // the parser's real default

  const CommandResult merge = RunCommand(CLI_DOUBLE " merge --help");
  EXPECT_EQ(merge.status, 0);
  EXPECT_TRUE(Holds(merge.output, "  --summary FILE"));
  // merge writes no replay page: its --html is the index page of the files' games.
  EXPECT_TRUE(Holds(merge.output, "  --html FILE             the index page"));
  const CommandResult version = RunCommand(CLI_DOUBLE " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, std::string("curling-match ") + kRunnerVersion + "\n");
}

TEST_F(TournamentCommandLine, AnInterruptPrintsTheTablesWritesTheSummaryAndLeavesNoEngines) {
  for (const auto& [sig, status] :
       std::vector<std::pair<int, int>>{{SIGINT, 130}, {SIGTERM, 143}}) {
    const std::string results = dir + "/r" + std::to_string(sig) + ".jsonl";
    const std::string summary = dir + "/s" + std::to_string(sig) + ".json";
    // Slow engines, so that the run is far from its end when the signal comes.
    const std::vector<std::string> args =
        Concat({{"--pause-ms", "1", "--ends", "1", "--games", "40", "--results", results,
                 "--summary", summary},
                FakeEngineWords("a", {"--delay-ms", "20", "--pid", dir + "/a.pid"}),
                FakeEngineWords("b", {"--delay-ms", "20", "--pid", dir + "/b.pid"})});
    ChildProcess runner;
    ASSERT_TRUE(StartRunner(args, &runner));
    std::string output;
    // The signal comes once a game's results line is written.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && FileLines(results).size() < 2)
      ReadSome(&runner, 10, &output);
    kill(runner.pid, sig);
    while (std::chrono::steady_clock::now() < deadline &&
           ReadSome(&runner, 100, &output) != ReadStatus::kClosed) {
    }
    WaitUntil([&runner] { return HasExited(&runner); }, 60);
    EXPECT_EQ(runner.exitStatus, status) << runner.exitDescription;
    StopProcess(&runner, 0);

    // Every game counted in the message is in the results file, and only those.
    const size_t games = FileLines(results).size() - 1;
    EXPECT_LT(games, 40u);
    const std::string message = "interrupted after " + std::to_string(games) +
                                " of 40 games; run the same command again to resume\n";
    ASSERT_GE(output.size(), message.size()) << output;
    EXPECT_EQ(output.substr(output.size() - message.size()), message) << output;
    EXPECT_TRUE(Holds(output, "engines: GO mean and max"));
    EXPECT_FALSE(ReadFile(summary).empty());
    // The engines of the game in play end with the runner.
    EXPECT_TRUE(PidFileProcessesEnd({dir + "/a.pid", dir + "/b.pid"}));
  }
}
