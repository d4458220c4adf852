// Whole games between fake engines over the exact stand-in physics: a
// stone lands where the engine's reply says, so every score is known.
#include "match/game.h"

#include <gtest/gtest.h>

#include "match/protocol.h"
#include "tests/match/support.h"

namespace {

// Landing points for the fake engines' --plan.
constexpr const char* kTee = "2.375,4.88";
constexpr const char* kNearTee = "2.375,5.5";  // in the house, farther than the tee
constexpr const char* kOut = "2.375,20";       // short of the hog line: out of play

std::string Plan(const std::vector<const char*>& ends) {
  std::string plan;
  for (const char* e : ends) plan += (plan.empty() ? "" : ";") + std::string(e);
  return "--plan " + plan;
}

}  // namespace

TEST(MatchProtocol, SendsEachCommandInItsOwnReadByteForByte) {
  const std::string dir = MakeTempDir();
  GameSetup setup = StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan({kTee})),
                                 FakeEngine("--log " + dir + "/b.log " + Plan({kNearTee})), 1);
  PlayGame(setup, {});

  // A throws the even stones of end 1 with side flag 0 and sees every stone
  // thrown so far where the physics put it, the unthrown ones at (0, 0).
  // 4.88000011: nine digits, so that the engine's atof gives back 4.88f.
  std::vector<std::string> expected = {"NEWGAME\n", "ISREADY\n"};
  for (int k = 0; k < 16; k += 2) {
    std::string position = "POSITION";
    for (int j = 0; j < 16; ++j)
      position += j >= k ? " 0 0" : j % 2 ? " 2.375 5.5" : " 2.375 4.88000011";
    expected.insert(expected.end(),
                    {"SETSTATE " + std::to_string(k) + " 0 1 0\n", position + "\n", "GO\n"});
  }
  expected.push_back("SCORE 8\n");  // A's eight stones on the tee beat B's
  EXPECT_EQ(LoggedReads(dir + "/a.log"), expected);
  const std::vector<std::string> b = LoggedReads(dir + "/b.log");
  ASSERT_EQ(b.size(), expected.size());
  EXPECT_EQ(b[2], "SETSTATE 1 0 1 1\n");
  EXPECT_EQ(b.back(), "SCORE 8\n");  // the same number to both: positive for A
}

// A 8, B 8, eight blank ends, a blank extra end, then A scores in the 12th:
// the scorer throws first next end, a blank end keeps the hammer, and the
// runner's own score table goes on past the library's ten slots.
TEST(MatchRulesInPlay, HammerFollowsTheScoreAndTiesPlayExtraEnds) {
  const std::string dir = MakeTempDir();
  std::vector<const char*> a = {kTee, kNearTee}, b = {kNearTee, kTee};
  a.insert(a.end(), 9, kOut);
  b.insert(b.end(), 9, kOut);
  a.push_back(kTee);
  b.push_back(kNearTee);
  GameSetup setup = StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan(a)),
                                 FakeEngine("--log " + dir + "/b.log " + Plan(b)), 10);
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(game.table.endScores, (std::vector<int>{8, -8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8}));
  EXPECT_EQ(game.result, GameResult::kWinA);
  std::string firstThrowers;
  for (const EndRecord& end : game.ends) firstThrowers += SeatLetter(end.firstThrower);
  EXPECT_EQ(firstThrowers, "AABBBBBBBBBB");
  ASSERT_EQ(game.ends.size(), 12u);
  EXPECT_EQ(game.ends[11].stones[0].setState, "SETSTATE 0 11 12 1");
  int scoresSent = 0;
  for (const std::string& r : LoggedReads(dir + "/a.log")) scoresSent += r.rfind("SCORE", 0) == 0;
  EXPECT_EQ(scoresSent, 12);
  EXPECT_EQ(LoggedReads(dir + "/b.log").back(), "SCORE 8\n");
}

// Each case: how A and B misbehave, the limits, how each stone went ("P"
// played, else the first letter of its status, stones in throwing order),
// the end's score for A, and a stone's note. Every engine is ended after.
TEST(MisbehavingEngine, LosesOnlyItsStonesAndTheGameGoesOn) {
  struct Case {
    std::string a, b;
    double goTimeoutMs, budgetMs;
    const char* outcomes;
    int score, noteStone;
    const char* note;  // a part of that stone's note; "" for an empty note
  };
  const std::string near = " " + Plan({kNearTee});
  const Case cases[] = {
      {"--fault crash@3", near, 3000, 1e6, "PPPPcPcPcPcPcPcP", 2, 4, "status 3"},
      {"--fault garbage@2", "--fault double@1" + near, 3000, 1e6, "PtgPPPPPPPPPPPPP", 7, 1,
       "more than one reply"},
      {"--fault hang@7", near, 150, 1e6, "PPPPPPPPPPPPtPtP", 6, 12, "no reply in time"},
      {"--delay-ms 200", near, 3000, 500, "PPPPoPoPoPoPoPoP", 2, 4, "thinking time"},
      // The late reply comes after GO 2's deadline and must not count for
      // GO 3; a GO left without any reply costs only its own stone.
      {"--fault late@2 " + Plan({kOut}), "--fault silent@3" + near, 300, 1e6, "PPtPPtPPPPPPPPPP",
       -7, 4, "ignored output before GO: 'BESTSHOT"},
      {"", "--no-ready " + Plan({kTee}), 200, 1e6, "cPcPcPcPcPcPcPcP", -8, 0,
       "cannot start '/nonexistent/engine'"},
      {"--echo", "--echo" + near, 3000, 1e6, "PPPPPPPPPPPPPPPP", 8, 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    const std::string dir = MakeTempDir();
    const std::string pidA = " --pid " + dir + "/a.pid ", pidB = " --pid " + dir + "/b.pid ";
    GameSetup setup = StandInSetup(c.a.empty() ? "/nonexistent/engine" : FakeEngine(pidA + c.a),
                                   FakeEngine(pidB + c.b), 1);
    setup.settings.goTimeoutMs = c.goTimeoutMs;
    setup.settings.budgetMs = c.budgetMs;
    const GameRecord game = PlayGame(setup, {});
    ASSERT_TRUE(game.complete);
    std::string outcomes;
    for (const StoneRecord& stone : game.ends.at(0).stones)
      outcomes += stone.status == StoneStatus::kPlayed ? 'P' : StatusName(stone.status)[0];
    EXPECT_EQ(outcomes, c.outcomes);
    EXPECT_EQ(game.table.endScores.at(0), c.score);
    const std::string& note = game.ends[0].stones.at(c.noteStone).note;
    if (*c.note)
      EXPECT_NE(note.find(c.note), std::string::npos) << note;
    else
      EXPECT_EQ(note, "");  // an echo on the output is no stray output
    EXPECT_FALSE(PidFileProcessAlive(dir + "/a.pid"));
    EXPECT_FALSE(PidFileProcessAlive(dir + "/b.pid"));
  }
}
