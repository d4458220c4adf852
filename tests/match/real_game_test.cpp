// One short game of our engine against itself with the real physics
// library, through the real curling-match executable.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/match/json_check.h"
#include "tests/match/support.h"

TEST(RealGame, OwnEngineAgainstItselfPlaysAnEndWithRecordAndPictures) {
  const std::string dir = MakeTempDir();
  // No engines named: the curling-engine next to curling-match plays both.
  const CommandResult r =
      RunCommand(std::string(CURLING_MATCH) + " --ends 1 --no-extra-ends --seed 2026 --record " +
                 dir + "/game.json --svg " + dir + "/svg 2>&1");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("A = " + std::filesystem::path(CURLING_ENGINE).string()),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("end  1  A"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("final: A "), std::string::npos) << r.output;
  Json j;
  ASSERT_TRUE(ParseJson(ReadFile(dir + "/game.json"), &j));
  EXPECT_TRUE(j["complete"].boolean);
  ASSERT_EQ(j["ends"].size(), 1u);
  const Json& stones = j["ends"][0]["stones"];
  ASSERT_EQ(stones.size(), 16u);
  for (const Json& s : stones.items) {
    EXPECT_EQ(s["status"].text, "played") << s["note"].text;
    EXPECT_EQ(s["reply"].text.rfind("BESTSHOT ", 0), 0u);
  }
  const std::string last = ReadFile(dir + "/svg/game01-end01-stone16.svg");
  EXPECT_NE(last.find("<polyline"), std::string::npos);  // the thrown stone's path
}
