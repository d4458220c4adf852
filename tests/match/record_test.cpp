#include <gtest/gtest.h>

#include <filesystem>

#include "match/game.h"
#include "match/record_json.h"
#include "tests/match/json_check.h"
#include "tests/match/support.h"

TEST(GameRecordJson, HoldsEveryStoneWithWhatWasSentAndWhatHappened) {
  GameSetup setup = StandInSetup(FakeEngine("--fault garbage@3 --plan 2.375,4.88"),
                                 FakeEngine("--plan 2.375,5.5"), 1);
  const GameRecord game = PlayGame(setup, {});
  Json j;
  ASSERT_TRUE(ParseJson(GameToJson(game), &j)) << GameToJson(game);
  EXPECT_TRUE(j["complete"].boolean);
  EXPECT_EQ(j["result"].text, "A");
  EXPECT_EQ(j["settings"]["ends"].number, 1);
  EXPECT_EQ(j["seed"].text, "7");
  ASSERT_EQ(j["ends"].size(), 1u);
  const Json& end = j["ends"][0];
  EXPECT_EQ(end["hammer"].text, "B");
  EXPECT_EQ(end["pointsA"].number, 7);
  ASSERT_EQ(end["stones"].size(), 16u);
  const Json& first = end["stones"][0];
  EXPECT_EQ(first["sent"]["setstate"].text, "SETSTATE 0 0 1 0");
  EXPECT_EQ(first["sent"]["position"].text.rfind("POSITION 0 0 ", 0), 0u);
  EXPECT_EQ(first["reply"].text, "BESTSHOT 2.375000 4.880000 0");
  EXPECT_EQ(first["status"].text, "played");
  EXPECT_EQ(first["thinkMs"].kind, Json::kNumber);
  EXPECT_NEAR(first["after"][0][1].number, 4.88, 1e-6);
  const Json& lost = end["stones"][4];
  EXPECT_EQ(lost["status"].text, "garbage");
  EXPECT_EQ(lost["note"].text, "unreadable reply");
  EXPECT_EQ(lost["vec"].kind, Json::kNull);
  EXPECT_EQ(j["totals"]["A"].number, 7);
}

TEST(GameRecordJson, UnfinishedEndIsLeftOutAndTextIsEscaped) {
  GameRecord game;
  game.engines[0].command = "engine \"x\"\n\x01";
  EndRecord done;
  done.finished = true;
  done.scoreForA = -2;
  game.ends.push_back(done);
  game.ends.push_back(EndRecord{});  // in play
  game.table.endScores = {-2};
  Json j;
  ASSERT_TRUE(ParseJson(GameToJson(game), &j));
  EXPECT_EQ(j["ends"].size(), 1u);
  EXPECT_FALSE(j["complete"].boolean);
  EXPECT_EQ(j["result"].kind, Json::kNull);
  EXPECT_EQ(j["engines"]["A"]["command"].text, "engine \"x\"\n\x01");
  EXPECT_EQ(j["totals"]["B"].number, 2);
}

TEST(GameRecordFile, ReplacedWholeWithNoTemporaryLeft) {
  const std::string path = MakeTempDir() + "/g.json";
  ASSERT_TRUE(WriteFileAtomically(path, "{\"a\":1}"));
  ASSERT_TRUE(WriteFileAtomically(path, "{}"));
  EXPECT_EQ(ReadFile(path), "{}");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_FALSE(WriteFileAtomically("/nonexistent-dir/g.json", "{}"));
}
