#include "match/protocol.h"

#include <gtest/gtest.h>

#include "match/engine_link.h"

TEST(MatchCommands, AreSingleLinesInTheEngineWords) {
  EXPECT_EQ(FormatNewGame(), "NEWGAME\n");
  EXPECT_EQ(FormatIsReady(), "ISREADY\n");
  EXPECT_EQ(FormatGo(), "GO\n");
  EXPECT_EQ(FormatSetState(0, 0, 10, 0), "SETSTATE 0 0 10 0\n");
  EXPECT_EQ(FormatSetState(15, 9, 10, 1), "SETSTATE 15 9 10 1\n");
  EXPECT_EQ(FormatScore(-3), "SCORE -3\n");
}

TEST(MatchCommands, PositionCarriesAll32CoordinatesExactly) {
  float stones[16][2] = {};
  stones[0][0] = 2.375f;
  stones[0][1] = 4.88f;
  stones[15][0] = 0.1f;
  stones[15][1] = 1e-7f;
  const std::string text = FormatPosition(stones);
  ASSERT_EQ(text.back(), '\n');
  EXPECT_EQ(text.rfind("POSITION 2.375 4.88000011 0 0 ", 0), 0u) << text;
  int numbers = 0;
  for (char c : text) numbers += c == ' ';
  EXPECT_EQ(numbers, 32);
  // What the engine's atof reads back is the float that was sent.
  EXPECT_EQ(static_cast<float>(std::atof("4.88000011")), 4.88f);
  EXPECT_LT(text.size(), 1024u);
}

TEST(BestShotReply, ParsesTheEngineFormatWithoutLineEnd) {
  ShotVec v{};
  EXPECT_EQ(ParseBestShot("BESTSHOT 0.500000 -30.250000 1", &v), ReplyParse::kComplete);
  EXPECT_FLOAT_EQ(v.vx, 0.5f);
  EXPECT_FLOAT_EQ(v.vy, -30.25f);
  EXPECT_EQ(v.curl, 1);
  EXPECT_EQ(ParseBestShot("  BESTSHOT 1 2 0\r\n", &v), ReplyParse::kComplete);
  EXPECT_EQ(v.curl, 0);
}

TEST(BestShotReply, SplitArrivalIsIncompleteUntilTheCurlFlag) {
  ShotVec v{};
  for (const char* part :
       {"", "BEST", "BESTSHOT", "BESTSHOT 0.5", "BESTSHOT 0.5 -2", "BESTSHOT 0.5 -2 "})
    EXPECT_EQ(ParseBestShot(part, &v), ReplyParse::kIncomplete) << part;
  EXPECT_EQ(ParseBestShot("BESTSHOT 0.5 -2 1", &v), ReplyParse::kComplete);
}

TEST(BestShotReply, RejectsGarbageAndNonFiniteNumbers) {
  ShotVec v{};
  for (const char* text : {"HELLO", "BESTSHOT 1.0 banana 0", "BESTSHOT 1 2 2", "BESTSHOT nan 2 0",
                           "BESTSHOT 1 inf 0", "BESTSHOT 1 1e99 0", "READYOK", "BESTSHOT 1 2 0 x"})
    EXPECT_EQ(ParseBestShot(text, &v), ReplyParse::kGarbage) << text;
}

TEST(BestShotReply, SpotsASecondReply) {
  ShotVec v{};
  EXPECT_EQ(ParseBestShot("BESTSHOT 1 2 0BESTSHOT 1 2 0", &v), ReplyParse::kTwoReplies);
  EXPECT_EQ(ParseBestShot("BESTSHOT 1 2 0 BEST", &v), ReplyParse::kTwoReplies);
}

TEST(BestShotReply, SkipsEchoLinesOnTheOutput) {
  ShotVec v{};
  EXPECT_EQ(ParseBestShot("recieved: GO\n\nBESTSHOT 1 2 1", &v), ReplyParse::kComplete);
  EXPECT_EQ(v.curl, 1);
  EXPECT_EQ(ParseBestShot("recieved: POSITION 1 2 3", &v), ReplyParse::kIncomplete);
  EXPECT_EQ(ParseBestShot("recie", &v), ReplyParse::kIncomplete);
  EXPECT_EQ(WithoutEchoLines("recieved: A\n\nrecieved: GO\n\nBESTSHOT"), "\n\nBESTSHOT");
}

TEST(ReadyReply, ExactWordOnlyWithEchoTolerated) {
  EXPECT_EQ(ParseReadyOk("READYOK"), ReplyParse::kComplete);
  EXPECT_EQ(ParseReadyOk("READY"), ReplyParse::kIncomplete);
  EXPECT_EQ(ParseReadyOk("recieved: ISREADY\n\nREADYOK"), ReplyParse::kComplete);
  EXPECT_EQ(ParseReadyOk("READYOKREADYOK"), ReplyParse::kTwoReplies);
  EXPECT_EQ(ParseReadyOk("readyok"), ReplyParse::kGarbage);
}

TEST(EngineCommandLine, SplitsAtRunsOfSpacesOnly) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("  ./engine   --x 1 "), (V{"./engine", "--x", "1"}));
  EXPECT_EQ(SplitCommandLine("a\tb \"c d\""), (V{"a\tb", "\"c", "d\""}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(PrintableText, EscapesControlBytesAndCuts) {
  EXPECT_EQ(Printable("A\n\x01\\", 10), "A\\n\\x01\\\\");
  EXPECT_EQ(Printable("abcdef", 3), "abc...");
}
