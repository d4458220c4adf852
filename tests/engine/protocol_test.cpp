// The protocol handler's effect on the one game record, command by command,
// and the record's own reset.
#include "app/protocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fake_simulator.h"

namespace {

// Puts a recognisable value into every field of the global record.
void FillGameState() {
  std::memset(&gameState, 0x5a, sizeof gameState);
  gameState.shotIndex = 7;
  gameState.endIndex = 3;
  gameState.lastEnd = 8;
  for (int k = 0; k < 10; ++k) gameState.endScore[k] = 100 + k;
  gameState.sideToMove = 1;
  for (int i = 0; i < 16; ++i) {
    gameState.stones[i][0] = 10.0f + i;
    gameState.stones[i][1] = 20.0f + i;
  }
}

bool Handle(const std::string& message) {
  std::string copy = message;
  testing::internal::CaptureStderr();
  const bool complete = HandleMessage(copy.data());
  testing::internal::GetCapturedStderr();
  return complete;
}

TEST(ResetGameState, ZeroesEveryFieldButThePadding) {
  FillGameState();
  ResetGameState(&gameState);
  GameState expected;
  std::memset(&expected, 0, sizeof expected);
  std::memset(expected.padding, 0x5a, sizeof expected.padding);
  EXPECT_EQ(std::memcmp(&gameState, &expected, sizeof expected), 0);
}

TEST(SetState, StoresTheFourScalarFields) {
  FillGameState();
  EXPECT_TRUE(Handle("SETSTATE 5 2 10 1"));
  EXPECT_EQ(gameState.shotIndex, 5);
  EXPECT_EQ(gameState.endIndex, 2);
  EXPECT_EQ(gameState.lastEnd, 10);
  EXPECT_EQ(gameState.sideToMove, 1);
  EXPECT_EQ(gameState.stones[0][0], 10.0f);
  EXPECT_EQ(gameState.endScore[0], 100);
}

TEST(SetState, SideFlagIsOneOnlyForTheIntegerOne) {
  const char* const zero[] = {"2", "0", "-1", "abc", "0.9"};
  for (const char* flag : zero) {
    FillGameState();
    Handle(std::string("SETSTATE 5 2 10 ") + flag);
    EXPECT_EQ(gameState.sideToMove, 0) << flag;
  }
  FillGameState();
  gameState.sideToMove = 0;
  Handle("SETSTATE 5 2 10 1.9");
  EXPECT_EQ(gameState.sideToMove, 1);
}

TEST(SetState, MissingArgumentKeepsTheFieldsAfterIt) {
  FillGameState();
  EXPECT_FALSE(Handle("SETSTATE 5 2"));
  EXPECT_EQ(gameState.shotIndex, 5);
  EXPECT_EQ(gameState.endIndex, 2);
  EXPECT_EQ(gameState.lastEnd, 8);
  EXPECT_EQ(gameState.sideToMove, 1);
}

TEST(Position, StoresStonesUntilTheFirstMissingToken) {
  FillGameState();
  EXPECT_FALSE(Handle("POSITION 1 2 3"));
  EXPECT_EQ(gameState.stones[0][0], 1.0f);
  EXPECT_EQ(gameState.stones[0][1], 2.0f);
  EXPECT_EQ(gameState.stones[1][0], 3.0f);
  EXPECT_EQ(gameState.stones[1][1], 21.0f);
  EXPECT_EQ(gameState.stones[2][0], 12.0f);
}

TEST(Position, TrailingSpaceIsAnEmptyTokenThatStoresZero) {
  FillGameState();
  EXPECT_FALSE(Handle("POSITION 1 2 "));
  EXPECT_EQ(gameState.stones[0][0], 1.0f);
  EXPECT_EQ(gameState.stones[0][1], 2.0f);
  EXPECT_EQ(gameState.stones[1][0], 0.0f);
  EXPECT_EQ(gameState.stones[1][1], 21.0f);
}

TEST(Position, UsesTheFirst32NumbersAndIgnoresTheRest) {
  FillGameState();
  std::string message = "POSITION";
  for (int i = 0; i < 34; ++i) message += " " + std::to_string(i) + ".5";
  EXPECT_TRUE(Handle(message));
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(gameState.stones[i][0], 2 * i + 0.5f);
    EXPECT_EQ(gameState.stones[i][1], 2 * i + 1.5f);
  }
  EXPECT_EQ(gameState.shotIndex, 7);
}

TEST(Score, WritesTheEntryOfTheCurrentEnd) {
  FillGameState();
  Handle("SETSTATE 3 4 10 0");
  EXPECT_TRUE(Handle("SCORE -2"));
  EXPECT_EQ(gameState.endScore[4], -2);
  EXPECT_EQ(gameState.endScore[3], 103);
  EXPECT_FALSE(Handle("SCORE"));
  EXPECT_EQ(gameState.endScore[4], -2);
}

TEST(Score, IgnoredWhileTheEndHasNoSlot) {
  for (const char* end : {"10", "-1", "2147483647"}) {
    FillGameState();
    Handle(std::string("SETSTATE 3 ") + end + " 10 0");
    GameState before = gameState;
    EXPECT_TRUE(Handle("SCORE 5"));
    EXPECT_EQ(std::memcmp(&before, &gameState, sizeof before), 0) << end;
  }
}

TEST(IsReady, ResetsTheRecordAndRepliesReadyOk) {
  FillGameState();
  testing::internal::CaptureStdout();
  Handle("isready extra words");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "READYOK");
  EXPECT_EQ(gameState.shotIndex, 0);
  EXPECT_EQ(gameState.stones[15][1], 0.0f);
  EXPECT_EQ(gameState.endScore[9], 0);
  // Right after a reset, SCORE goes to end 0.
  Handle("SCORE 1");
  EXPECT_EQ(gameState.endScore[0], 1);
}

TEST(Protocol, NewGameAndUnknownWordsChangeNothing) {
  for (const char* message : {"NEWGAME", "newgame 1 2", "GOX", "GO\t", "", "    ", "\r\n",
                              "SETSTATE\t5 2 10 1", "POSITIONS 1 2"}) {
    FillGameState();
    GameState before = gameState;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(Handle(message)) << message;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << message;
    EXPECT_EQ(std::memcmp(&before, &gameState, sizeof before), 0) << message;
  }
}

TEST(Protocol, EveryLineOfOneReadIsHandledInOrder) {
  FillGameState();
  EXPECT_FALSE(Handle("SETSTATE 0 1 10 0\r\nSCORE 4\n\nPOSITION 2.5 4.5 1 1\r\nSETSTATE 9"));
  EXPECT_EQ(gameState.endScore[1], 4);
  EXPECT_EQ(gameState.stones[0][0], 2.5f);
  EXPECT_EQ(gameState.stones[1][1], 1.0f);
  // The last line, cut short by the end of the read, is still handled.
  EXPECT_EQ(gameState.shotIndex, 9);
  EXPECT_EQ(gameState.endIndex, 1);
}

TEST(Protocol, EchoesTheRawMessageOnceBeforeHandlingIt) {
  std::string message = "ISREADY\r\nNEWGAME\n";
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  HandleMessage(message.data());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "recieved: ISREADY\r\nNEWGAME\n\n");
}

TEST(Protocol, GoRepliesWithTheDecisionAndLeavesTheRecordAlone) {
  InstallFakeSimulator(FakeScript{});
  std::memset(&gameState, 0x77, sizeof gameState);
  ResetGameState(&gameState);
  GameState before = gameState;
  testing::internal::CaptureStdout();
  Handle("go");
  // A fresh record draws to the tee; the fake returns the target itself.
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "BESTSHOT 2.375000 4.880000 0");
  EXPECT_EQ(std::memcmp(&before, &gameState, sizeof before), 0);
}

}  // namespace
