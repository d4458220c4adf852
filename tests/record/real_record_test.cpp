// A record of our engine against itself with the real library and no
// execution error: the delivery measured from the path frames is the
// vector asked for, and the record replays.
#include <gtest/gtest.h>

#include <cmath>

#include "korvane/korvane.h"
#include "record/record_json.h"
#include "tests/match/support.h"

// Suites whose tests write files: each test gets a folder of its own.
class RealRecord : public TempDirTest {};

TEST_F(RealRecord, WithoutNoiseTheMeasuredDeliveryIsTheAskedVectorAndItReplays) {
  const CommandResult r =
      RunCommand(std::string(CURLING_MATCH) +
                 " --ends 1 --no-extra-ends --noise 0 --seed 3 --record " + dir + "/g.json 2>&1");
  ASSERT_EQ(r.status, 0) << r.output;
  GameRecord game;
  std::string error;
  ASSERT_TRUE(GameFromJson(ReadFile(dir + "/g.json"), &game, &error)) << error;
  ASSERT_EQ(game.ends.size(), 1u);
  for (const StoneRecord& s : game.ends[0].stones) {
    ASSERT_TRUE(s.executedKnown) << s.shotIndex;
    EXPECT_NEAR(s.executed.vx, s.vec.vx, 1e-4) << s.shotIndex;
    EXPECT_NEAR(s.executed.vy, s.vec.vy, 1e-4) << s.shotIndex;
    EXPECT_FALSE(s.path.stones.empty()) << s.shotIndex;
  }
  EXPECT_NE(game.libraryVersion.find("Korvane " KORVANE_VERSION " signature "), std::string::npos);
  const CommandResult replay =
      RunCommand(std::string(CURLING_MATCH) + " replay " + dir + "/g.json");
  EXPECT_EQ(replay.status, 0) << replay.output;
  EXPECT_NE(replay.output.find("all 16 stones of 1 end rest"), std::string::npos) << replay.output;
}
