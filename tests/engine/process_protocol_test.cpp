// curling-engine as a process, over pipes, with the scripted test double:
// replies to the byte, the echo, odd input, end of input and loading.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "process_fixture.h"

namespace {

const std::string kEngine = Tested().program;
const std::string kDouble = Tested().doubleDir;
const std::string kTeeDraw = "BESTSHOT 2.375000 4.880000 0";

class EngineProcess : public testing::Test {
 protected:
  void Start(const std::vector<EnvSetting>& settings = {}, const std::string& dir = kDouble,
             const std::string& program = kEngine) {
    ASSERT_TRUE(StartEngine(&engine, dir, settings, program));
  }
  void SendAll(const std::vector<std::string>& messages) {
    for (const std::string& m : messages) ASSERT_TRUE(Send(&engine, m)) << m;
  }
  const std::string& Out() const { return engine.child.stdoutText; }
  const std::string& Err() const { return engine.child.stderrText; }
  EngineSession engine;
};

TEST_F(EngineProcess, ReadyOkIsSevenBytesWithoutTerminator) {
  Start();
  SendAll({"isready\r\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), "READYOK");
  EXPECT_EQ(Err(), "recieved: isready\r\n\n");
}

TEST_F(EngineProcess, GoRepliesWithTheVectorInFixedNotation) {
  Start();
  SendAll({"ISREADY\n", "GO\n", "  go\n", "SETSTATE 1 0 10 0\n", PositionMessage({{2.5f, 4.75f}}),
           "GO\n"});
  EXPECT_EQ(Finish(&engine), 0);
  // The last GO hits the opponent's stone: the double's hit is (x, -y).
  EXPECT_EQ(Out(), "READYOK" + kTeeDraw + kTeeDraw + "BESTSHOT 2.500000 -4.750000 0");
}

TEST_F(EngineProcess, EveryLineOfOneReadIsHandledAndEchoedOnce) {
  Start();
  SendAll({"SETSTATE 0 0 10 0\r\nGO\n\nisready"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), kTeeDraw + "READYOK");
  EXPECT_EQ(Err(), "recieved: SETSTATE 0 0 10 0\r\nGO\n\nisready\n");
}

TEST_F(EngineProcess, MessageWithoutTerminatorIsHandledAtOnce) {
  Start();
  SendAll({"ISREADY"});
  EXPECT_TRUE(WaitForStdout(&engine.child, "READYOK", 1, kStepTimeoutMs));
  EXPECT_EQ(Finish(&engine), 0);
}

TEST_F(EngineProcess, CommandSplitOverTwoReadsIsTwoMessages) {
  Start();
  // Stone 0 in the house would be guarded; split, the POSITION is lost.
  SendAll({"POSI", "TION 2.5 4.5\n", "GO\n", "POSITION 2.5 4.5\n", "GO\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), kTeeDraw + "BESTSHOT 2.500000 6.500000 1");
}

TEST_F(EngineProcess, MalformedAndPartialCommandsGetNoReply) {
  Start();
  SendAll({"GO\t\n", "GOX\n", "\r\n", "      \n", "SETSTATE 5 2\n", "POSITION 1 2 3\n", "SCORE\n",
           "SETSTATE 1 12 10 0\n", "SCORE 3\n", "NEWGAME\n", "hello world\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), "");
  EXPECT_EQ(CountOccurrences(Err(), "recieved: "), 11);
}

TEST_F(EngineProcess, EndOfInputEndsTheProcessAndRunsTheLibraryExitHandlers) {
  const std::string counts = MakeTempDir() + "/counts";
  Start({{"KORVANE_DOUBLE_COUNTS", counts}});
  SendAll({"GO\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(ReadCounts(counts)["CreateShot"], 1);
}

TEST_F(EngineProcess, FullBuffersAreSplitAndNeverOverrun) {
  Start();
  // 1023 bytes: one read. 1024 with its line feed: the line feed comes in a
  // read of its own. 2000 bytes: two reads, both ignored.
  SendAll({"ISREADY" + std::string(1016, ' ')});
  ASSERT_TRUE(Send(&engine, "isready" + std::string(1016, ' ') + "\n", 2));
  ASSERT_TRUE(Send(&engine, std::string(2000, 'A'), 2));
  SendAll({"ISREADY\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), "READYOKREADYOKREADYOK");
}

TEST_F(EngineProcess, BinaryGarbageIsIgnored) {
  Start();
  std::mt19937 bytes(2026);
  std::string garbage(4000, '\0');
  for (char& c : garbage) c = static_cast<char>(bytes() & 0xff);
  ASSERT_TRUE(Send(&engine, garbage, 4));  // 1023 + 1023 + 1023 + 931 bytes
  SendAll({"ISREADY\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), "READYOK");
}

TEST_F(EngineProcess, MissingLibraryEndsAtOnceWithoutReading) {
  // An empty search path and no Korvane.dll next to the executable.
  const std::string copy = MakeTempDir() + "/" + BaseName(kEngine);
  ASSERT_TRUE(CopyFile(kEngine, copy));
  Start({}, MakeTempDir(), copy);
  WriteToChild(&engine.child, "ISREADY\n");
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), "");
  EXPECT_EQ(Err(), "failed to load Korvane.dll\n");
}

TEST_F(EngineProcess, LibraryComesFromTheSearchPathOrTheExecutablesFolder) {
  const std::string copy = MakeTempDir() + "/" + BaseName(kEngine);
  ASSERT_TRUE(CopyFile(kEngine, copy));
  // The double next to the executable adds 100 to vx.
  ASSERT_TRUE(CopyFile(Tested().offsetDoubleDir + "/Korvane.dll",
                       copy.substr(0, copy.rfind('/')) + "/Korvane.dll"));
  const std::string besideExecutable = "BESTSHOT 102.375000 4.880000 0";
  Start({}, "", copy);
  SendAll({"GO\n"});
  EXPECT_EQ(Finish(&engine), 0);
  EXPECT_EQ(Out(), besideExecutable);

  // Linux searches LD_LIBRARY_PATH before the executable's folder; Windows
  // searches the executable's folder first.
  EngineSession searched;
  ASSERT_TRUE(StartEngine(&searched, kDouble, {}, copy));
  ASSERT_TRUE(Send(&searched, "GO\n"));
  EXPECT_EQ(Finish(&searched), 0);
  EXPECT_EQ(searched.child.stdoutText, Tested().windows ? besideExecutable : kTeeDraw);
}

}  // namespace
