// The engine's search options through the real process: bad options end it
// at once with one line naming them, and a seeded search with a fixed
// sample count answers a position the same way every time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "process_fixture.h"

namespace {

const std::string kEngine = Tested().program;
// The real Korvane.dll's folder: this build's, unless CURLING_TEST_KORVANE_DIR
// names another (the Windows build's, under Wine).
const std::string kLibraryDir = [] {
  const char* dir = std::getenv("CURLING_TEST_KORVANE_DIR");
  return std::string(dir != nullptr && *dir != '\0' ? dir : KORVANE_DIR);
}();

// Starts the engine with arguments, writes input without waiting for it
// to be read, and waits for the engine to end by itself. An engine that
// refuses its options may end before the write, which then fails: that
// is no fault, so the write's result is not checked.
EngineRun ExitRun(const std::vector<std::string>& arguments, const std::string& input) {
  EngineSession engine;
  EXPECT_TRUE(StartEngine(&engine, kLibraryDir, RealLibrarySettings(), kEngine, arguments));
  WriteToChild(&engine.child, input);
  return Ended(engine, AwaitChild(&engine.child, kStepTimeoutMs));
}

// The engine with arguments fed messages one read each, until it has
// answered every GO; then the end of its input.
EngineRun Session(const std::vector<std::string>& arguments,
                  const std::vector<std::string>& messages) {
  EngineSession engine;
  EXPECT_TRUE(StartEngine(&engine, kLibraryDir, RealLibrarySettings(), kEngine, arguments));
  for (const std::string& m : messages) EXPECT_TRUE(Send(&engine, m)) << m;
  int gos = 0;
  for (const std::string& m : messages) gos += m == "GO\n" ? 1 : 0;
  EXPECT_TRUE(WaitForStdout(&engine.child, "BESTSHOT", gos, kStepTimeoutMs));
  return Ended(engine, Finish(&engine));
}

TEST(SearchOptions, ABadOptionEndsTheEngineWithOneLineNamingIt) {
  const struct {
    std::vector<std::string> arguments;
    std::string named;
  } cases[] = {
      {{"--player", "chess"}, "--player"},
      {{"--player", "search", "--movetime", "0"}, "--movetime"},
      {{"--player", "search", "--movetime", "fast"}, "--movetime"},
      {{"--player", "search", "--threads", "0"}, "--threads"},
      {{"--player", "search", "--samples", "-3"}, "--samples"},
      {{"--player", "search", "--seed", "x"}, "--seed"},
      {{"--player", "search", "--inc", "1"}, "--inc"},
      {{"--player", "search", "--movetime", "100", "--game-time", "60"}, "--game-time"},
      {{"--player", "search", "--samples", "100", "--movetime", "100"}, "--samples"},
      {{"--movetime", "100"}, "--movetime"},
      {{"--frobnicate"}, "--frobnicate"},
  };
  for (const auto& c : cases) {
    const EngineRun run = ExitRun(c.arguments, "ISREADY\nGO\n");
    EXPECT_EQ(run.status, 2) << c.named;
    EXPECT_EQ(run.out, "") << c.named;
    // One line, naming the option, and no message was read.
    EXPECT_EQ(CountOccurrences(run.err, "\n"), 1) << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("recieved"), std::string::npos) << run.err;
  }
}

TEST(SearchOptions, HelpAndVersionAnswerOnTheStandardOutput) {
  for (const char* option : {"--help", "--version"}) {
    const EngineRun run = ExitRun({option}, "");
    EXPECT_EQ(run.status, 0) << option;
    EXPECT_NE(run.out.find("curling-engine"), std::string::npos) << option;
    EXPECT_EQ(run.err, "") << option;
  }
}

const std::vector<std::string> kMidEnd = {"NEWGAME\n", "ISREADY\n", "SETSTATE 9 3 8 1\n",
                                          "POSITION 2.2 5.1 0 0 0 0 2.6 4.6 2.3 8.5 0 0 0 0 1.6 "
                                          "5.8 2.9 4.4 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n",
                                          "GO\n"};

TEST(SearchPlayer, ASeededSearchOfFixedSizeAnswersTheSameTwice) {
  const std::vector<std::string> arguments = {"--player", "search", "--samples", "2000",
                                              "--seed",   "11",     "--threads", "2"};
  const EngineRun first = Session(arguments, kMidEnd);
  const EngineRun second = Session(arguments, kMidEnd);
  EXPECT_EQ(first.status, 0);
  ASSERT_EQ(first.out.substr(0, 9), "READYOKBE");
  EXPECT_EQ(first.out, second.out);
  // One diagnostic line per GO.
  EXPECT_EQ(CountOccurrences(first.err, "search: "), 1) << first.err;
}

TEST(SearchPlayer, ANewGameRestartsTheGameClock) {
  std::vector<std::string> messages = {
      "NEWGAME\n", "ISREADY\n", "SETSTATE 0 0 8 0\n", "GO\n", "GO\n",
      "NEWGAME\n", "ISREADY\n", "SETSTATE 0 0 8 0\n", "GO\n"};
  const EngineRun run =
      Session({"--player", "search", "--game-time", "2", "--threads", "1"}, messages);
  // The budget of a stone follows from the position and the clock alone:
  // the first stone of each game gets the same.
  std::vector<std::string> budgets;
  for (std::size_t at = run.err.find("budget "); at != std::string::npos;
       at = run.err.find("budget ", at + 1)) {
    budgets.push_back(run.err.substr(at, run.err.find(',', at) - at));
  }
  ASSERT_EQ(budgets.size(), 3u) << run.err;
  EXPECT_EQ(budgets[2], budgets[0]);
  EXPECT_NE(budgets[1], budgets[0]);
}

}  // namespace
