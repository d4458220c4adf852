#include "match/protocol.h"

#include <gtest/gtest.h>

#include <vector>

// Replies may arrive split across reads, after echo lines, glued together.
TEST(EngineReplies, AreCompleteOnlyWhenWholeAndFiniteAndAlone) {
  using R = ReplyParse;
  const std::pair<R, std::vector<const char*>> bestShot[] = {
      {R::kComplete, {"  BESTSHOT 1 2 0\r\n", "recieved: GO\n\nBESTSHOT 1 2 1"}},
      {R::kIncomplete,
       {"", "BEST", "BESTSHOT 0.5", "BESTSHOT 0.5 -2", "BESTSHOT 0.5 -2 ",
        "recieved: POSITION 1 2 3", "recie"}},
      {R::kGarbage,
       {"HELLO", "BESTSHOT 1.0 banana 0", "BESTSHOT 1 2 2", "BESTSHOT nan 2 0", "BESTSHOT 1 inf 0",
        "BESTSHOT 1 1e99 0", "READYOK", "BESTSHOT 1 2 0 x", "BESTSHOT 0x1p127 2 0",
        "BESTSHOT 0x1.3p1 2 0", "BESTSHOT infinity 2 0", "BESTSHOT 1 . 0", "BESTSHOT 1 2e 0",
        "BESTSHOT 1 2e+ 0", "BESTSHOT 1 +-2 0"}},
      {R::kTwoReplies, {"BESTSHOT 1 2 0BESTSHOT 1 2 0", "BESTSHOT 1 2 0 BEST"}}};
  for (const auto& [want, texts] : bestShot)
    for (const char* text : texts) {
      ShotVec v{};
      EXPECT_EQ(ParseBestShot(text, &v), want) << text;
    }
  const std::pair<R, std::vector<const char*>> ready[] = {
      {R::kComplete, {"READYOK", "recieved: ISREADY\n\nREADYOK"}},
      {R::kIncomplete, {"READY"}},
      {R::kTwoReplies, {"READYOKREADYOK"}},
      {R::kGarbage, {"readyok"}}};
  for (const auto& [want, texts] : ready)
    for (const char* text : texts) EXPECT_EQ(ParseReadyOk(text), want) << text;

  ShotVec v{};
  ASSERT_EQ(ParseBestShot("BESTSHOT 0.500000 -30.250000 1", &v), R::kComplete);
  EXPECT_EQ(v.vx, 0.5f);
  EXPECT_EQ(v.vy, -30.25f);
  EXPECT_EQ(v.curl, 1);
  ASSERT_EQ(ParseBestShot("BESTSHOT +.5 2.5E-1 0", &v), R::kComplete);
  EXPECT_EQ(v.vx, 0.5f);
  EXPECT_EQ(v.vy, 0.25f);
}
