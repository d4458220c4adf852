// A forfeited game, read in every output the runner writes: the closing
// board, the record, the replay page, the results line and the tables, and
// in a longer run the game lines and the index page. Each must give the
// game to the other engine whatever the points, and say why.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/tournament/support.h"
#include "tournament/results_file.h"

namespace {

constexpr const char* kTee = "2.375,4.88";
constexpr const char* kOut = "2.375,20";  // short of the hog line: out of play
constexpr const char* kExited = "engine closed its output (exited with status 3)";
constexpr const char* kOutOfTime = "thinking time for the game used up";

// The result a replay page shows, read from the game data in it.
std::string PageResult(const std::string& page, const std::string& scratch) {
  const std::string html = ReadFile(page);
  const std::string open = "<script type=\"application/json\" id=\"game-data\">";
  const size_t from = html.find(open);
  const size_t to = html.find("</script>", from);
  if (from == std::string::npos || to == std::string::npos) return "no game data in " + page;
  std::ofstream(scratch) << html.substr(from + open.size(), to - from - open.size());
  return JsonQuery(scratch, "r['result']");
}

GameLine OnlyResultsLine(const std::string& path) {
  ResultsFile file;
  std::string error;
  EXPECT_TRUE(ReadResultsText(ReadFile(path), &file, &error)) << error;
  EXPECT_EQ(file.games.size(), 1u);
  return file.games.empty() ? GameLine{} : file.games[0];
}

}  // namespace

class ForfeitOutputs : public TempDirTest {};

// Single games, B with the hammer of end 1: one that forfeits before a
// point is scored, and a leader by 8 (its eight stones on the tee, the
// other's all short) that runs out of time or exits at its first stone of
// end 2.
TEST_F(ForfeitOutputs, ASingleGameGoesToTheOtherEngineInEveryOutput) {
  struct Case {
    std::string a, b;  // the fake engines' arguments
    const char* time;  // --time, s
    Seat forfeiter;
    const char* reason;
    int points[2];
    const char* result;  // as the closing board's last line says it
  };
  const Case cases[] = {
      {"--fault hang@1", "", "0.5", kSeatA, kOutOfTime, {0, 0},
       "A 0 - 0 B, B wins (A forfeits: thinking time for the game used up)"},
      // Two seconds of thinking time: ample for B's eight quick replies.
      {std::string("--plan ") + kOut, std::string("--plan ") + kTee + " --fault hang@9", "2",
       kSeatB, kOutOfTime, {0, 8},
       "A 0 - 8 B, A wins (B forfeits: thinking time for the game used up)"},
      {std::string("--plan ") + kOut, std::string("--plan ") + kTee + " --fault crash@9", "90",
       kSeatB, kExited, {0, 8},
       "A 0 - 8 B, A wins (B forfeits: engine closed its output (exited with status 3))"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    const std::string out = dir + "/" + std::to_string(++n);
    const char winner = SeatLetter(Opponent(c.forfeiter));
    const CommandResult r =
        RunRunner({"--ends", "2", "--noise", "0", "--pause-ms", "1", "--time", c.time, "--record",
                   out + "/g.json", "--html", out + "/g.html", "--results", out + "/r.jsonl",
                   "--summary", out + "/s.json", FakeEngine(c.a), FakeEngine(c.b)});
    ASSERT_EQ(r.status, 0) << r.output;

    EXPECT_TRUE(Holds(r.output, std::string("\nfinal: ") + c.result + "\n"));
    EXPECT_EQ(RecordQuery(out + "/g.json",
                          "r['result'], r['forfeit']['engine'], r['forfeit']['reason'], "
                          "r['totals']['A'], r['totals']['B']"),
              "('" + std::string(1, winner) + "', '" + SeatLetter(c.forfeiter) + "', '" +
                  c.reason + "', " + std::to_string(c.points[0]) + ", " +
                  std::to_string(c.points[1]) + ")");
    EXPECT_EQ(PageResult(out + "/g.html", out + "/page.json"), c.result);

    const GameLine line = OnlyResultsLine(out + "/r.jsonl");
    EXPECT_EQ(line.result, winner == 'A' ? GameResult::kWinA : GameResult::kWinB);
    EXPECT_EQ(line.forfeitSeat, c.forfeiter);
    EXPECT_EQ(line.forfeitReason, c.reason);
    EXPECT_EQ(std::vector<int>(line.points, line.points + 2),
              std::vector<int>(c.points, c.points + 2));
    // From A's side: A is the first engine.
    EXPECT_EQ(JsonQuery(out + "/s.json", "[(p['wins'], p['draws'], p['losses']) "
                                         "for p in r['pairings']]"),
              winner == 'A' ? "[(1, 0, 0)]" : "[(0, 0, 1)]");
  }
}

// A pair of games in which the leader exits at its first stone of end 2,
// 8 up, once from each seat: it loses both in the game lines, the tables,
// the results lines, the index page and each game's page.
TEST_F(ForfeitOutputs, APairOfGamesReadsTheSameInGameLinesTablesAndPages) {
  const CommandResult r = RunRunner(
      Concat({{"--ends", "2", "--noise", "0", "--pause-ms", "1", "--games", "2", "--seed", "1",
               "--html", dir + "/run.html", "--summary", dir + "/s.json", "--results",
               dir + "/r.jsonl"},
              FakeEngineWords("leader", {"--plan", kTee, "--fault", "crash@9"}),
              FakeEngineWords("trailer", {"--plan", kOut})}));
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string why = std::string(" forfeits: ") + kExited + ")";
  for (const std::string& line :
       {"game 1/2: leader 8 - 0 trailer, trailer wins (leader" + why,
        "game 2/2: trailer 0 - 8 leader, trailer wins (leader" + why})
    EXPECT_TRUE(Holds(r.output, line + "\n"));
  EXPECT_EQ(JsonQuery(dir + "/s.json", "[(p['first'], p['wins'], p['losses']) "
                                        "for p in r['pairings']]"),
            "[('leader', 0, 2)]");
  const std::vector<std::string> lines = FileLines(dir + "/r.jsonl");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(Holds(lines[1], "\"forfeit\":\"A\""));
  EXPECT_TRUE(Holds(lines[2], "\"forfeit\":\"B\""));

  const std::string results[] = {"A 8 - 0 B, B wins (A" + why, "A 0 - 8 B, A wins (B" + why};
  const std::string index = ReadFile(dir + "/run.html");
  for (int g = 1; g <= 2; ++g) {
    const std::string& result = results[g - 1];
    const std::string page = "run-" + std::to_string(g) + ".html";
    EXPECT_TRUE(Holds(index, "<td>" + result + "</td><td><a href=\"" + page + "\">"));
    EXPECT_EQ(PageResult(dir + "/" + page, dir + "/page.json"), result);
  }
}
