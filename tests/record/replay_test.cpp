// Replays of recorded games: an untouched record replays to the bit; any
// change to where a stone rests, to what it was thrown with or from is
// named by the stone where it shows first.
#include "record/replay.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "record/record_json.h"
#include "tests/record/support.h"
#include "tests/tournament/support.h"

TEST(Replay, UntouchedGameReplaysFromAnyStartAndTheFirstChangedStoneIsNamed) {
  const GameRecord game = NoisyStandInGame();
  const ReplayOutcome same = ReplayGame(game, StandInPhysics());
  EXPECT_TRUE(same.same) << same.firstDifference;
  EXPECT_EQ(same.stonesChecked, 32);
  // A record made with another version of the physics says so when replayed.
  EXPECT_EQ(ReplaySummary(game, same, game.libraryVersion),
            "replay: all 32 stones of 2 ends rest exactly where the record says");
  GameRecord oneEnd = game;
  oneEnd.ends.resize(1);
  ReplayOutcome oneStone = same;
  oneStone.stonesChecked = 1;
  EXPECT_EQ(ReplaySummary(oneEnd, oneStone, game.libraryVersion),
            "replay: 1 stone of 1 end rests exactly where the record says");
  EXPECT_TRUE(Holds(ReplaySummary(game, same, "stand-in physics 2"),
                    "(recorded with stand-in physics, replayed with stand-in physics 2)"));
  // A game started from a position records its first end from the first
  // stone played, and may start after the first end: it reads and replays.
  GameRecord started = game;
  started.ends.erase(started.ends.begin());
  started.ends[0].stones.erase(started.ends[0].stones.begin(), started.ends[0].stones.begin() + 5);
  GameRecord read;
  std::string error;
  ASSERT_TRUE(GameFromJson(GameToJson(started), &read, &error)) << error;
  const ReplayOutcome fromPosition = ReplayGame(read, StandInPhysics());
  EXPECT_TRUE(fromPosition.same) << fromPosition.firstDifference;
  EXPECT_EQ(fromPosition.stonesChecked, 11);

  struct Case {
    const char* change;
    std::function<void(GameRecord*)> apply;
    const char* named;  // how the message starts
    const char* also;   // and what it says further on
  };
  const Case cases[] = {
      {"a resting place", [](GameRecord* g) { g->ends[1].stones[4].after[4][1] += 0.001f; },
       "end 2 stone 5 (", "): stone 5 rests at"},
      {"a seed", [](GameRecord* g) { g->ends[0].stones[2].physicsSeed++; }, "end 1 stone 3 (A)",
       "rests at"},
      {"a vector", [](GameRecord* g) { g->ends[1].stones[9].vec.vx += 0.01f; }, "end 2 stone 10 (",
       "rests at"},
      {"the noise", [](GameRecord* g) { g->settings.noise = 0.2f; }, "end 1 stone 1 (A)",
       "rests at"},
      {"where a stone stood", [](GameRecord* g) { g->ends[0].stones[7].before[2][0] = 1.0f; },
       "end 1 stone 8 (B)", "stone 3 was at (1, "},
      {"a lost stone left in play",
       [](GameRecord* g) {
         g->ends[0].stones[4].after[4][0] = 2.0f;
         g->ends[0].stones[4].after[4][1] = 5.0f;
       },
       "end 1 stone 5 (A)", "stone 5 rests at (0, 0), the record says (2, 5)"},
      {"the score as it lies", [](GameRecord* g) { g->ends[1].stones[15].scoreAsItLies += 1; },
       "end 2 stone 16 (", "the score as it lies is"},
  };
  for (const Case& c : cases) {
    GameRecord changed = game;
    c.apply(&changed);
    const ReplayOutcome outcome = ReplayGame(changed, StandInPhysics());
    EXPECT_FALSE(outcome.same) << c.change;
    EXPECT_EQ(outcome.firstDifference.rfind(c.named, 0), 0u)
        << c.change << ": " << outcome.firstDifference;
    EXPECT_TRUE(Holds(outcome.firstDifference, c.also));
  }
}

// Exit 0 with a summary, 1 naming the stone, 2 for what is no record.
// Suites whose tests write files: each test gets a folder of its own.
class ReplayCommand : public TempDirTest {};

TEST_F(ReplayCommand, ExitStatusSaysWhetherTheRecordReplays) {
  const CommandResult played =
      RunRunner({"--ends", "2", "--noise", "0.3", "--seed", "5", "--pause-ms", "1", "--record",
                 dir + "/g.json", FakeEngine("--plan 2.3,5"), FakeEngine("--plan 2.5,5.2")});
  ASSERT_EQ(played.status, 0) << played.output;
  GameRecord game;
  std::string error;
  ASSERT_TRUE(GameFromJson(ReadFile(dir + "/g.json"), &game, &error)) << error;
  game.ends[0].stones[6].after[6][0] += 0.5f;
  std::ofstream(dir + "/changed.json") << GameToJson(game);
  std::ofstream(dir + "/broken.json") << "{\"format\":";

  struct Case {
    std::string args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {dir + "/g.json", 0, "replay: all 32 stones of 2 ends rest exactly where the record says"},
      {dir + "/changed.json", 1, "replay: end 1 stone 7 (A): stone 7 rests at"},
      {dir + "/broken.json", 2, "not JSON"},
      {dir + "/missing.json", 2, "cannot be read"},
      {"", 2, "record is required"},
  };
  for (const Case& c : cases) {
    const CommandResult r = RunCommand(CLI_DOUBLE " replay " + c.args + " 2>&1");
    EXPECT_EQ(r.status, c.status) << c.args << ": " << r.output;
    EXPECT_TRUE(Holds(r.output, c.says));
  }
}
