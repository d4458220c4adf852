// Whole games between fake engines over the exact stand-in physics: a
// stone lands where the engine's reply says, so every score is known.
#include "match/game.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "match/engine_link.h"
#include "match/protocol.h"
#include "platform/process.h"
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

// Suites whose tests write files: each test gets a folder of its own.
class ConcurrentGames : public TempDirTest {};
class EngineStart : public TempDirTest {};
class EscapedProcess : public TempDirTest {
 protected:
  void TearDown() override { StopProcess(&other, 0); }
  ChildProcess other;  // an engine outside any game, stopped also when a test fails
};
class MatchProtocol : public TempDirTest {};
class MatchRulesInPlay : public TempDirTest {};
class MisbehavingEngine : public TempDirTest {};
class OpeningGame : public TempDirTest {};

TEST_F(MatchProtocol, SendsEachCommandInItsOwnReadByteForByte) {
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
TEST_F(MatchRulesInPlay, HammerFollowsTheScoreAndTiesPlayExtraEnds) {
  std::vector<const char*> a = {kTee, kNearTee}, b = {kNearTee, kTee};
  a.insert(a.end(), 9, kOut);
  b.insert(b.end(), 9, kOut);
  a.push_back(kTee);
  b.push_back(kNearTee);
  GameSetup setup = StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan(a)),
                                 FakeEngine("--log " + dir + "/b.log " + Plan(b)), 10);
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(game.table.endScores, (std::vector<int>{8, -8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8}));
  EXPECT_EQ(ResultOfGame(game), GameResult::kWinA);
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

// Each case: how A and B misbehave, the limits, how each stone of end 1
// went ("P" played, else the first letter of its status, stones in
// throwing order), the seat that forfeited (-1: none) and a part of the
// note of stone noteStone (of the forfeit reason when noteStone is -1; ""
// for an empty note). Every engine, and every process it started, is gone
// after the game. The go timeouts that should never be waited for are ten
// minutes, beyond the test's own time limit.
TEST_F(MisbehavingEngine, LosesItsStonesOrForfeitsAndLeavesNoProcess) {
  struct Case {
    std::string a, b;
    double goTimeoutMs, budgetMs;
    bool recover;
    const char* outcomes;
    int forfeitSeat, noteStone;
    const char* note;
  };
  constexpr double kNever = 600000;
  const std::string near = " " + Plan({kNearTee});
  const Case cases[] = {
      {"--fault crash@3", near, kNever, 1e6, false, "PPPPc", 0, -1, "status 3"},
      // Restarted, the engine counts its GOs from 1 again and crashes at
      // its third once more.
      {"--fault crash@3", near, kNever, 1e6, true, "PPPPcPPPPPcPPPPP", -1, 4,
       "status 3); restarted"},
      {"--fault garbage@2", "--fault double@1" + near, kNever, 1e6, false, "PtgPPPPPPPPPPPPP", -1,
       1, "more than one reply"},
      {"--fault hex@1", near, kNever, 1e6, false, "gPPPPPPPPPPPPPPP", -1, 0, "unreadable"},
      {"--fault hang@7", near, 150, 1e6, false, "PPPPPPPPPPPPtPtP", -1, 12, "no reply in time"},
      // A hanging engine forfeits when its game time is spent, whatever the
      // go timeout.
      {"--fault hang@2", near, kNever, 400, false, "PPo", 0, -1, "thinking time"},
      {"--delay-ms 400", near, 3000, 1000, false, "PPPPo", 0, 4, "thinking time"},
      // The flood is cut off after a few KiB, at once, stone after stone.
      {"--fault flood@2", near, kNever, 1e6, false, "PPgPgPgPgPgPgPgP", -1, 4, "bytes of output"},
      // The late reply comes after GO 2's deadline and must not count for
      // GO 3; a GO left without any reply costs only its own stone.
      {"--fault late@2 " + Plan({kOut}), "--fault silent@3" + near, 300, 1e6, false,
       "PPtPPtPPPPPPPPPP", -1, 4, "ignored output before GO: 'BESTSHOT"},
      {"--echo", "--echo" + near, 3000, 1e6, false, "PPPPPPPPPPPPPPPP", -1, 2, ""},
      // An engine that starts a child and ends: the child goes with it.
      {"--fault crash@1", "--spawn SPAWNED" + near, kNever, 1e6, false, "c", 0, -1, "status 3"},
      {"--spawn SPAWNED --fault crash@2", near, kNever, 1e6, true, "PPcPPPcPPPcPPPcP", -1, 2,
       "status 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b + (c.recover ? " recover" : ""));
    const std::string caseDir = dir + "/" + std::to_string(&c - cases);
    ASSERT_TRUE(std::filesystem::create_directory(caseDir));
    auto engine = [&caseDir](const std::string& args, const char* pidFile) {
      std::string line = FakeEngine("--pid " + caseDir + "/" + pidFile + " " + args);
      const size_t spawn = line.find("SPAWNED");
      if (spawn != std::string::npos) line.replace(spawn, 7, caseDir + "/spawned.pid");
      return line;
    };
    GameSetup setup = StandInSetup(engine(c.a, "a.pid"), engine(c.b, "b.pid"), 1);
    setup.settings.goTimeoutMs = c.goTimeoutMs;
    setup.settings.budgetMs = c.budgetMs;
    setup.settings.recover = c.recover;
    const GameRecord game = PlayGame(setup, {});
    ASSERT_TRUE(game.complete);
    ASSERT_EQ(game.ends.size(), 1u);
    std::string outcomes;
    for (const StoneRecord& stone : game.ends[0].stones)
      outcomes += stone.status == StoneStatus::kPlayed ? 'P' : StatusName(stone.status)[0];
    EXPECT_EQ(outcomes, c.outcomes);
    EXPECT_EQ(game.forfeitSeat, c.forfeitSeat);
    EXPECT_EQ(game.ends[0].finished, c.forfeitSeat < 0);
    if (c.forfeitSeat >= 0) {
      EXPECT_EQ(ResultOfGame(game), c.forfeitSeat == 0 ? GameResult::kWinB : GameResult::kWinA);
    }
    const std::string& note =
        c.noteStone < 0 ? game.forfeitReason : game.ends[0].stones.at(c.noteStone).note;
    if (*c.note)
      EXPECT_NE(note.find(c.note), std::string::npos) << note;
    else
      EXPECT_EQ(note, "");  // an echo on the output is no stray output
    for (const char* pidFile : {"/a.pid", "/b.pid", "/spawned.pid"})
      EXPECT_FALSE(PidFileProcessAlive(caseDir + pidFile)) << pidFile;
  }
}

// An engine that cannot be started is named at once, and forfeits the game
// before a stone is played, never after a timeout.
TEST_F(EngineStart, FailsAtOnceNamingTheProgram) {
  const std::string notExecutable = dir + "/not-executable";
  std::ofstream(notExecutable) << "#!/bin/sh\n";
  struct Case {
    EngineLaunch launch;
    const char* reason;  // a part of it; "" when the engine starts
  };
  EngineLaunch inMissingDir = EngineLaunchFromCommandLine(FAKE_ENGINE);
  inMissingDir.dir = dir + "/no-such-folder";
  const Case cases[] = {
      {EngineLaunchFromCommandLine(FAKE_ENGINE " --plan 1,2"), ""},
      {EngineLaunchFromCommandLine("/nonexistent/engine"), "'/nonexistent/engine': No such file"},
      {EngineLaunchFromCommandLine("no-such-engine-in-path"), "'no-such-engine-in-path'"},
      {EngineLaunchFromCommandLine(notExecutable), "Permission denied"},
      {inMissingDir, "no-such-folder"},
      {EngineLaunch{}, "no program"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(CommandLineOf(c.launch));
    const std::string reason = CheckEngineStarts(c.launch);
    if (*c.reason)
      EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    else
      EXPECT_EQ(reason, "");
  }
  for (int seat = 0; seat < 2; ++seat) {
    GameSetup setup = StandInSetup(FakeEngine(""), FakeEngine(""), 1);
    setup.engines[seat] = EngineLaunchFromCommandLine("/nonexistent/engine");
    setup.settings.goTimeoutMs = 600000;
    const GameRecord game = PlayGame(setup, {});
    EXPECT_TRUE(game.complete);
    EXPECT_EQ(game.forfeitSeat, seat);
    EXPECT_NE(game.forfeitReason.find("/nonexistent/engine"), std::string::npos);
    EXPECT_TRUE(game.ends.empty());
    EXPECT_EQ(ResultOfGame(game), seat == 0 ? GameResult::kWinB : GameResult::kWinA);
  }
}

// An engine without a name is called after its program, or after the
// script that an interpreter runs for it.
TEST(EngineName, IsTheProgramsOrTheScriptsWithoutExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"/opt/engines/my-engine.exe --fast", "my-engine"},
      {"python3 -u engines/my_engine.py --depth 3", "my_engine"},
      {"/usr/bin/python3.11 my_engine.py", "my_engine"},
      {"sh run.sh", "run"},
      {"wine C:/engines/alpha.exe", "alpha"},
      {"node", "node"},
  };
  for (const auto& [command, name] : cases)
    EXPECT_EQ(DefaultEngineName(EngineLaunchFromCommandLine(command)), name) << command;
}

// The runner's own pauses after each command are not the engine's time: an
// engine that answers at once keeps its whole budget although the pauses
// add up to more than that budget. Two stones a seat, the rest already in
// play.
TEST(ThinkingTime, RunsFromGoToTheReplyAndNothingElseIsCharged) {
  GameSetup setup = StandInSetup(FakeEngine(""), FakeEngine(""), 1);
  setup.settings.pauseMs = 400;    // two pauses a stone before GO
  setup.settings.budgetMs = 1000;  // less than one seat's 1600 ms of pauses
  setup.settings.extraEnds = false;
  setup.opening.firstStones.assign(12, {0.0f, 0.0f});
  const GameRecord game = PlayGame(setup, {});
  EXPECT_EQ(game.forfeitSeat, -1) << game.forfeitReason;
  ASSERT_EQ(game.ends.size(), 1u);
  ASSERT_EQ(game.ends[0].stones.size(), 4u);
  for (const StoneRecord& stone : game.ends[0].stones)
    EXPECT_EQ(stone.status, StoneStatus::kPlayed) << stone.note;
}

// Games on several threads at once, with engines that leave children
// behind, play exactly as they do one after another.
TEST_F(ConcurrentGames, PlayAsTheyDoAloneAndLeaveNoProcess) {
  constexpr int kGames = 3;
  auto setupOf = [this](int g) {
    const std::string spawn = " --spawn " + dir + "/spawned" + std::to_string(g) + ".pid" +
                              " --fds " + dir + "/fds" + std::to_string(g);
    GameSetup setup = StandInSetup(FakeEngine(Plan({kTee, kOut}) + spawn),
                                   FakeEngine(Plan({kNearTee, kTee}) + spawn), 2);
    setup.gameIndex = g;
    setup.opening.hammer = g % 2 ? kSeatA : kSeatB;
    return setup;
  };
  // A descriptor that another part of the runner left inheritable.
  const int leaky = open("/dev/null", O_RDONLY);
  ASSERT_GE(leaky, 0);
  std::vector<GameRecord> together(kGames);
  std::vector<std::thread> threads;
  for (int g = 0; g < kGames; ++g)
    threads.emplace_back([&, g] { together[g] = PlayGame(setupOf(g), {}); });
  for (std::thread& t : threads) t.join();
  for (int g = 0; g < kGames; ++g) {
    SCOPED_TRACE(g);
    const GameRecord alone = PlayGame(setupOf(g), {});
    EXPECT_EQ(together[g].table.endScores, alone.table.endScores);
    EXPECT_EQ(together[g].forfeitSeat, -1);
    EXPECT_FALSE(PidFileProcessAlive(dir + "/spawned" + std::to_string(g) + ".pid"));
    // No engine holds another's pipes, or anything else of the runner's.
    EXPECT_EQ(ReadFile(dir + "/fds" + std::to_string(g)), "0\n");
  }
  close(leaky);
}

// A game from a start situation: the last end of four, A 3 - 2 B, A with
// the hammer and two stones already in play. The engines hear the earlier
// ends' scores as after played ends, are asked from stone 2 and see those
// stones; the earlier points count in the result.
TEST_F(OpeningGame, StartsWhereTheOpeningSays) {
  GameSetup setup = StandInSetup(FakeEngine("--log " + dir + "/a.log " + Plan({kOut})),
                                 FakeEngine(Plan({kOut})), 4);
  setup.settings.extraEnds = false;
  setup.opening.startEnd = 3;
  setup.opening.pointsA = 3;
  setup.opening.pointsB = 2;
  setup.opening.hammer = kSeatA;
  setup.opening.firstStones = {{2.375f, 5.5f}, {0.0f, 0.0f}};  // B's stone in the house
  const GameRecord game = PlayGame(setup, {});
  ASSERT_EQ(game.ends.size(), 1u);
  EXPECT_EQ(game.ends[0].endIndex, 3);
  EXPECT_EQ(game.ends[0].firstThrower, kSeatB);
  ASSERT_EQ(game.ends[0].stones.size(), 14u);
  EXPECT_EQ(game.ends[0].stones[0].setState, "SETSTATE 2 3 4 1");
  EXPECT_EQ(game.table.endScores, (std::vector<int>{3, -2, 0, -1}));  // B's stone scores
  EXPECT_EQ(ResultOfGame(game), GameResult::kDraw);
  const std::vector<std::string> reads = LoggedReads(dir + "/a.log");
  ASSERT_GE(reads.size(), 10u);
  // The side that scored had the hammer; the blank third end kept B's.
  const std::vector<std::string> earlier{"SETSTATE 0 0 4 1\n", "SCORE 3\n",
                                         "SETSTATE 0 1 4 0\n", "SCORE -2\n",
                                         "SETSTATE 0 2 4 1\n", "SCORE 0\n"};
  EXPECT_EQ(std::vector<std::string>(reads.begin() + 2, reads.begin() + 8), earlier);
  EXPECT_EQ(reads[8], "SETSTATE 3 3 4 0\n");  // A's first stone is stone 3
  EXPECT_EQ(reads[9].rfind("POSITION 2.375 5.5 0 0 0 0 0 0", 0), 0u) << reads[9];
}

namespace {

// A fake engine behind a shell that first starts `sleep` in a session of
// its own, out of the engine's process group, writing its pid to pidFile.
// orphan: the shell that starts it ends at once, so the sleep is no longer
// below the engine when the game ends. The engine runs only once the pid
// is written, so that the pid file is never read empty.
std::string EscapingEngine(const std::string& dir, const std::string& name, bool orphan) {
  const std::string pidFile = dir + "/" + name + ".pid";
  const std::string start =
      "setsid sh -c 'echo $$ >" + pidFile + "; exec sleep 1000' </dev/null >/dev/null 2>&1 &";
  const std::string script = dir + "/" + name + ".sh";
  std::ofstream(script) << "#!/bin/sh\n"
                        << (orphan ? "( " + start + " )" : start) << "\n"
                        << "while [ ! -s " << pidFile << " ]; do sleep 0.01; done\n"
                        << "exec " FAKE_ENGINE " \"$@\"\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  return script;
}

}  // namespace

// A process that an engine moved to a session of its own, whether it is
// still below the engine or was left behind by its parent, ends with the
// game; what another engine, still playing, moved out of its group is left
// alone until that engine ends.
TEST_F(EscapedProcess, EndsWithTheGameButNotWithAnotherEnginesGame) {
  ASSERT_TRUE(StartProgram({EscapingEngine(dir, "other", true)}, "", &other));
  // The engine runs once the pid file is written; its answer shows it runs.
  ASSERT_TRUE(WriteAll(&other, "ISREADY\n", 10000));
  std::string reply;
  while (reply.find("READYOK") == std::string::npos &&
         ReadSome(&other, 10000, &reply) == ReadStatus::kData) {
  }
  ASSERT_TRUE(Holds(reply, "READYOK"));

  for (bool orphan : {false, true}) {
    SCOPED_TRACE(orphan ? "orphan" : "below the engine");
    const std::string a = orphan ? "orphan-a" : "child-a", b = orphan ? "orphan-b" : "child-b";
    GameSetup setup = StandInSetup(EscapingEngine(dir, a, orphan) + " " + Plan({kTee}),
                                   EscapingEngine(dir, b, orphan) + " " + Plan({kNearTee}), 1);
    const GameRecord game = PlayGame(setup, {});
    EXPECT_EQ(game.forfeitSeat, -1) << game.forfeitReason;
    for (const std::string& name : {a, b}) {
      ASSERT_GT(std::atoi(ReadFile(dir + "/" + name + ".pid").c_str()), 0) << name;
      EXPECT_FALSE(PidFileProcessAlive(dir + "/" + name + ".pid")) << name;
    }
  }
  EXPECT_TRUE(PidFileProcessAlive(dir + "/other.pid"));
  StopProcess(&other, 0);
  EXPECT_FALSE(PidFileProcessAlive(dir + "/other.pid"));
}
