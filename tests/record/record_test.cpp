// The record, version 2: written and read back to the character, valid
// under the schema, and damaged records refused with a message.
#include <gtest/gtest.h>

#include <fstream>

#include "record/record_json.h"
#include "record/shot_record.h"
#include "tests/record/support.h"

namespace {

// A stand-in game with every optional part filled in: names, a path, a
// measured delivery, a forfeit.
GameRecord FullRecord() {
  GameRecord game = NoisyStandInGame();
  game.engines[0].name = "red <one> \"q\"";
  game.libraryVersion = "stand-in physics";
  game.arguments = {"--ends", "2", "caf\xc3\xa9"};
  StoneRecord& s = game.ends[1].stones[3];
  s.path.times = {0.0f, 0.25f, 0.5f};
  s.path.stones.push_back(
      MovedStone{3, 0, {{{2.375f, 33.23f}}, {{2.376f, 32.7f}}, {{0.0f, 0.0f}}}});
  s.executedKnown = true;
  s.executed = ShotVec{0.1234567f, -2.25f, 1, {0, 0, 0}};
  game.forfeitSeat = 1;
  game.forfeitReason = "did not start";
  return game;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace

// Suites whose tests write files: each test gets a folder of its own.
class GameRecordJson : public TempDirTest {};

TEST_F(GameRecordJson, ReadsBackToTheCharacterFloatsAndAllAndMatchesTheSchema) {
  const GameRecord game = FullRecord();
  const std::string text = GameToJson(game);
  GameRecord read;
  std::string error;
  ASSERT_TRUE(GameFromJson(text, &read, &error)) << error;
  EXPECT_EQ(GameToJson(read), text);
  EXPECT_EQ(read.ends[0].stones[4].status, StoneStatus::kGarbage);
  EXPECT_EQ(read.ends[1].stones[3].physicsSeed, game.ends[1].stones[3].physicsSeed);

  std::ofstream(dir + "/full.json") << text;
  std::ofstream(dir + "/plain.json") << GameToJson(NoisyStandInGame());
  for (const std::string& file : {dir + "/full.json", dir + "/plain.json"})
    EXPECT_EQ(RecordQuery(file, "'valid'"), "valid");
  // Floats are written short and read back exactly.
  for (float v : {0.0f, 2.375f, 4.88f, 33.23f, -2.0994611f, 1e-7f, 0.1f, 3.4e38f})
    EXPECT_EQ(std::strtof(FloatText(v).c_str(), nullptr), v) << FloatText(v);
  EXPECT_EQ(FloatText(4.88f), "4.88");
}

TEST_F(GameRecordJson, RefusesDamagedRecordsWithAMessage) {
  const std::string good = GameToJson(FullRecord());
  struct Case {
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"", "not JSON"},
      {good.substr(0, good.size() / 2), "not JSON"},
      {"[1, 2]", "not a JSON object"},
      {Replaced(good, "game record 2", "game record 1"), "format"},
      {Replaced(good, "\"shotIndex\":3", "\"shotIndex\":99"), "shotIndex"},
      {Replaced(good, "\"shotIndex\":3", "\"shotIndex\":4"), "out of order"},
      {Replaced(good, "\"endIndex\":1", "\"endIndex\":2"), "ends out of order"},
      {Replaced(good, "\"after\":", "\"afterwards\":"), "missing \"after\""},
      {Replaced(good, "\"status\":\"garbage\"", "\"status\":\"lucky\""), "unknown status"},
      {Replaced(good, "\"seed\":\"99\"", "\"seed\":\"-99\""), "seed"},
      {Replaced(good, "\"before\":[[0,0],", "\"before\":["), "16 stones"},
      {Replaced(good, "\"vx\":", "\"vx\":\"fast\",\"was\":"), "not a number"},
      {Replaced(good, "\"engine\":\"A\"", "\"engine\":\"C\""), "neither A nor B"},
      {Replaced(good, "\"curl\":0", "\"curl\":7"), "curl"},
      {Replaced(good, "\"vec\":null", "\"vec\":{\"vx\":1,\"vy\":1,\"curl\":0}"), "only to one"},
      {Replaced(good, "\"times\":[0.0,0.25,0.5]", "\"times\":[0.0,0.25]"),
       "does not fit its times"},
      // B forfeited: the points, whatever they are, cannot give B the game.
      {Replaced(good, "\"result\":\"A\"", "\"result\":\"B\""), "yet B forfeited"},
  };
  for (const Case& c : cases) {
    GameRecord game;
    std::string error;
    EXPECT_FALSE(GameFromJson(c.text, &game, &error)) << c.message;
    EXPECT_TRUE(Holds(error, c.message));
  }
}

// A shot sampled at 10 frames per second: stone 0 thrown at (0.1, -2.0) m/s
// and slowing, stone 1 struck after 2 s, stone 2 never moving.
TEST(ShotRecord, KeepsAFewFramesOfTheStonesThatMovedAndMeasuresTheDelivery) {
  std::vector<PathFrame> frames(31);
  for (int f = 0; f <= 30; ++f) {
    const float t = 0.1f * f;
    PathFrame& p = frames[f];
    p = PathFrame{};
    p.time = t;
    p.stones[0][0] = 2.375f + 0.1f * t;
    p.stones[0][1] = 33.23f - 2.0f * t + 0.04f * t * t;
    p.stones[1][0] = 2.0f;
    p.stones[1][1] = t > 2.0f ? 5.0f - (t - 2.0f) : 5.0f;
    p.stones[2][0] = 3.0f;
    p.stones[2][1] = 6.0f;
  }
  const ShotPath path = ThinPath(frames.data(), 31);
  const std::vector<float> times = {0.0f, 0.3f, 0.5f, 0.8f, 1.0f, 1.3f, 1.5f,
                                    1.8f, 2.0f, 2.3f, 2.5f, 2.8f, 3.0f};
  ASSERT_EQ(path.times.size(), times.size());
  for (size_t k = 0; k < times.size(); ++k) EXPECT_NEAR(path.times[k], times[k], 1e-5);
  ASSERT_EQ(path.stones.size(), 2u);  // stone 2 did not move
  EXPECT_EQ(path.stones[0].from, 0);
  EXPECT_EQ(path.stones[0].points.size(), times.size());
  EXPECT_EQ(path.stones[1].from, 8);  // from 2.0 s, where it still stood
  EXPECT_FLOAT_EQ(path.stones[1].points.back()[1], 4.0f);
  EXPECT_FLOAT_EQ(path.stones[0].points[1][1], 32.634f);  // to the millimetre

  ShotVec measured{};
  ASSERT_TRUE(MeasureDelivery(frames.data(), 31, 0, 1, &measured));
  EXPECT_NEAR(measured.vx, 0.1, 1e-4);
  EXPECT_NEAR(measured.vy, -2.0, 1e-4);
  EXPECT_EQ(measured.curl, 1);
  EXPECT_FALSE(MeasureDelivery(frames.data(), 2, 0, 1, &measured));
}
