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

std::string Plan(std::initializer_list<const char*> ends) {
  std::string plan;
  for (const char* e : ends) plan += (plan.empty() ? "" : ";") + std::string(e);
  return "--plan " + plan;
}

}  // namespace

TEST(MatchProtocol, SendsEachCommandInItsOwnReadByteForByte) {
  const std::string dir = MakeTempDir();
  GameSetup setup = StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan({kTee})),
                                 FakeEngine("--log " + dir + "/b.log " + Plan({kNearTee})), 1);
  const GameRecord game = PlayGame(setup, {});
  ASSERT_EQ(game.ends.size(), 1u);
  EXPECT_EQ(game.table.endScores[0], 8);  // A's eight stones on the tee beat B's

  // A throws the even stones of end 1 with side flag 0; it sees every stone
  // thrown so far where the physics put it, the unthrown ones at (0, 0).
  std::vector<std::string> expected = {"NEWGAME\n", "ISREADY\n"};
  float stones[16][2] = {};
  for (int k = 0; k < 16; ++k) {
    if (k % 2 == 0) {
      expected.push_back(FormatSetState(k, 0, 1, 0));
      expected.push_back(FormatPosition(stones));
      expected.push_back("GO\n");
    }
    stones[k][0] = 2.375f;
    stones[k][1] = k % 2 == 0 ? 4.88f : 5.5f;
  }
  expected.push_back("SCORE 8\n");
  EXPECT_EQ(LoggedReads(dir + "/a.log"), expected);
  const std::vector<std::string> b = LoggedReads(dir + "/b.log");
  ASSERT_EQ(b.size(), expected.size());
  EXPECT_EQ(b[2], "SETSTATE 1 0 1 1\n");
  EXPECT_EQ(b.back(), "SCORE 8\n");  // the same number to both: positive for A
}

TEST(MatchRulesInPlay, ScorerThrowsFirstNextEndAndBlankKeepsHammer) {
  // End 1: A scores; end 2: blank; end 3: B scores; end 4: blank.
  const std::string dir = MakeTempDir();
  GameSetup setup =
      StandInSetup(FakeEngine(Plan({kTee, kOut, kNearTee, kOut})),
                   FakeEngine("--log " + dir + "/b.log " + Plan({kNearTee, kOut, kTee, kOut})), 4);
  setup.settings.extraEnds = false;
  const GameRecord game = PlayGame(setup, {});
  ASSERT_EQ(game.ends.size(), 4u);
  EXPECT_EQ(game.table.endScores, (std::vector<int>{8, 0, -8, 0}));
  EXPECT_EQ(game.ends[0].firstThrower, kSeatA);  // game 1: B has the first hammer
  EXPECT_EQ(game.ends[1].firstThrower, kSeatA);  // A scored
  EXPECT_EQ(game.ends[2].firstThrower, kSeatA);  // blank end: B keeps the hammer
  EXPECT_EQ(game.ends[3].firstThrower, kSeatB);  // B scored
  EXPECT_EQ(game.ends[3].stones[0].seat, kSeatB);
  EXPECT_EQ(game.ends[3].stones[0].setState, "SETSTATE 0 3 4 1");
  EXPECT_EQ(game.result, GameResult::kDraw);
}

TEST(MatchRulesInPlay, SecondGameOfAPairGivesTheOtherEngineTheHammer) {
  GameSetup setup = StandInSetup(FakeEngine(Plan({kOut})), FakeEngine(Plan({kOut})), 1);
  setup.gameIndex = 1;
  setup.settings.extraEnds = false;
  const GameRecord game = PlayGame(setup, {});
  ASSERT_EQ(game.ends.size(), 1u);
  EXPECT_EQ(game.ends[0].firstThrower, kSeatB);
  EXPECT_EQ(game.ends[0].stones[0].setState, "SETSTATE 0 0 1 1");
  EXPECT_EQ(game.result, GameResult::kDraw);
}

TEST(MatchRulesInPlay, TieAfterLastEndPlaysExtraEndsUntilDecided) {
  const std::string dir = MakeTempDir();
  // A 8, B 8, then a blank extra end, then A scores in the next.
  GameSetup setup =
      StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan({kTee, kNearTee, kOut, kTee})),
                   FakeEngine(Plan({kNearTee, kTee, kOut, kNearTee})), 2);
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(game.table.endScores, (std::vector<int>{8, -8, 0, 8}));
  EXPECT_EQ(game.result, GameResult::kWinA);
  // An extra end states itself as the last end; SCORE goes out after each.
  const std::vector<std::string> reads = LoggedReads(dir + "/a.log");
  int scores = 0;
  for (const std::string& r : reads) scores += r.rfind("SCORE", 0) == 0;
  EXPECT_EQ(scores, 4);
  EXPECT_EQ(game.ends[3].stones[0].setState, "SETSTATE 0 3 4 1");

  setup.settings.extraEnds = false;
  const GameRecord drawn = PlayGame(setup, {});
  EXPECT_EQ(drawn.ends.size(), 2u);
  EXPECT_EQ(drawn.result, GameResult::kDraw);
}

namespace {

// How each stone of a one-end game went, "P" played, else the first letter
// of its status, A's and B's stones interleaved as thrown.
std::string Outcomes(const GameRecord& game) {
  std::string s;
  for (const StoneRecord& stone : game.ends.at(0).stones)
    s += stone.status == StoneStatus::kPlayed ? 'P' : StatusName(stone.status)[0];
  return s;
}

}  // namespace

TEST(MisbehavingEngine, CrashLosesEveryLaterStoneAndTheGameGoesOn) {
  const std::string dir = MakeTempDir();
  GameSetup setup = StandInSetup(FakeEngine("--pid " + dir + "/a.pid --fault crash@3"),
                                 FakeEngine(Plan({kNearTee})), 1);
  const GameRecord game = PlayGame(setup, {});
  ASSERT_TRUE(game.complete);
  EXPECT_EQ(Outcomes(game), "PPPPcPcPcPcPcPcP");
  const StoneRecord& lost = game.ends[0].stones[4];
  EXPECT_NE(lost.note.find("status 3"), std::string::npos) << lost.note;
  EXPECT_EQ(lost.after[4][0], 0.0f);  // thrown out of play
  EXPECT_EQ(lost.after[4][1], 0.0f);
  EXPECT_EQ(game.engines[0].stonesLost, 6);
  EXPECT_EQ(game.table.endScores[0], 2);  // A's two stones on the tee count
}

TEST(MisbehavingEngine, GarbageAndTwoRepliesLoseOnlyThatStone) {
  GameSetup setup = StandInSetup(FakeEngine("--fault garbage@2"),
                                 FakeEngine("--fault double@1 " + Plan({kNearTee})), 1);
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(Outcomes(game), "PtgPPPPPPPPPPPPP");
  EXPECT_EQ(game.ends[0].stones[2].reply, "BESTSHOT 1.0 banana 0");
  EXPECT_EQ(game.ends[0].stones[1].note, "more than one reply");
}

TEST(MisbehavingEngine, HangingEngineTimesOutAndIsKilledAtTheEnd) {
  const std::string dir = MakeTempDir();
  GameSetup setup = StandInSetup(FakeEngine("--pid " + dir + "/a.pid --fault hang@7"),
                                 FakeEngine("--pid " + dir + "/b.pid " + Plan({kNearTee})), 1);
  setup.settings.goTimeoutMs = 150.0;
  const GameRecord game = PlayGame(setup, {});
  // GO 7 gets no answer; after it the engine reads nothing more either.
  EXPECT_EQ(Outcomes(game), "PPPPPPPPPPPPtPtP");
  EXPECT_EQ(game.ends[0].stones[12].note, "no reply in time");
  EXPECT_FALSE(PidFileProcessAlive(dir + "/a.pid"));
  EXPECT_FALSE(PidFileProcessAlive(dir + "/b.pid"));
}

TEST(MisbehavingEngine, SpentThinkingTimeLosesTheRestOfTheGame) {
  GameSetup setup = StandInSetup(FakeEngine("--delay-ms 60"), FakeEngine(Plan({kNearTee})), 1);
  setup.settings.budgetMs = 250.0;
  const GameRecord game = PlayGame(setup, {});
  const std::string outcomes = Outcomes(game);
  EXPECT_EQ(outcomes.substr(0, 4), "PPPP") << outcomes;
  EXPECT_EQ(outcomes.substr(10), "oPoPoP") << outcomes;
  EXPECT_GT(game.engines[0].stonesLost, 2);
}

TEST(MisbehavingEngine, LateReplyIsNotTakenForTheNextStone) {
  // GO 2 is answered after its deadline; that reply must not count for GO 3,
  // and a GO left without any reply costs only its own stone.
  GameSetup setup = StandInSetup(FakeEngine("--fault late@2 " + Plan({kOut})),
                                 FakeEngine("--fault silent@3 " + Plan({kNearTee})), 1);
  setup.settings.goTimeoutMs = 300.0;  // the late reply comes 150 ms after it
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(Outcomes(game), "PPtPPtPPPPPPPPPP");
  const StoneRecord& next = game.ends[0].stones[4];
  EXPECT_NE(next.note.find("ignored output before GO: 'BESTSHOT"), std::string::npos) << next.note;
}

TEST(MisbehavingEngine, MissingProgramAndSilentStartStillGiveAGame) {
  GameSetup setup =
      StandInSetup("/nonexistent/engine", FakeEngine("--no-ready " + Plan({kTee})), 1);
  setup.settings.goTimeoutMs = 200.0;
  const GameRecord game = PlayGame(setup, {});
  ASSERT_TRUE(game.complete);
  EXPECT_EQ(game.engines[0].stonesLost, 8);
  EXPECT_NE(game.engines[1].readyNote.find("no READYOK"), std::string::npos);
  EXPECT_EQ(game.engines[1].stonesLost, 0);
  EXPECT_EQ(game.result, GameResult::kWinB);
}

TEST(MisbehavingEngine, EchoOnStandardOutputIsTolerated) {
  GameSetup setup = StandInSetup(FakeEngine("--echo"), FakeEngine("--echo " + Plan({kNearTee})), 1);
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(Outcomes(game), "PPPPPPPPPPPPPPPP");
  EXPECT_EQ(game.table.endScores[0], 8);
  EXPECT_EQ(game.ends[0].stones[2].note, "");  // the echo is no stray output
}
