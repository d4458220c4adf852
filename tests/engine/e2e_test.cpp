// A whole end through the protocol with the real Korvane.dll: the engine
// chooses every stone, the test plays each one locally with the library and
// reports the new state, as a game server would.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "korvane/korvane.h"
#include "process_fixture.h"

namespace {

TEST(EndToEnd, WholeEndWithTheRealLibraryGivesSensibleShots) {
  EngineSession engine;
  ASSERT_TRUE(StartEngine(&engine, KORVANE_DIR, RealLibrarySettings(), ENGINE_EXE));
  ASSERT_TRUE(Send(&engine, "NEWGAME\nISREADY\n"));
  ASSERT_TRUE(WaitForStdout(&engine.child, "READYOK", 1, kStepTimeoutMs));
  KorvaneSeed(2026);
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.lastEnd = 1;
  int inHouseSeen = 0;
  for (int shot = 0; shot < 16; ++shot) {
    std::vector<std::pair<float, float>> stones;
    for (const auto& s : state.stones) stones.emplace_back(s[0], s[1]);
    const size_t before = engine.child.stdoutText.size();
    ASSERT_TRUE(Send(&engine, "SETSTATE " + std::to_string(shot) + " 0 1 " +
                                  std::to_string(state.sideToMove) + "\n" +
                                  PositionMessage(stones) + "GO\n"));
    ASSERT_TRUE(WaitForStdout(&engine.child, "BESTSHOT ", shot + 1, kStepTimeoutMs));

    // Any launch that can reach the house is well under 8 m/s each way, and
    // toward it (negative vy).
    ShotVec vec{};
    int curl = -1;
    const std::string reply = engine.child.stdoutText.substr(before);
    ASSERT_EQ(std::sscanf(reply.c_str(), "BESTSHOT %f %f %d", &vec.vx, &vec.vy, &curl), 3) << reply;
    EXPECT_LT(std::fabs(vec.vx), 8.0f) << reply;
    EXPECT_TRUE(vec.vy < 0.0f && vec.vy > -8.0f) << "shot " << shot << ": " << reply;
    ASSERT_TRUE(curl == 0 || curl == 1) << reply;
    vec.curl = static_cast<uint8_t>(curl);

    Simulation(&state, vec, 0.145f, nullptr, -1);
    for (const auto& s : state.stones) {
      inHouseSeen += std::hypot(s[0] - 2.375f, s[1] - 4.88f) < 1.975f ? 1 : 0;
    }
  }
  EXPECT_EQ(state.endIndex, 1);
  EXPECT_GT(inHouseSeen, 0) << "the engine never put a stone in the house";
  EXPECT_EQ(CountOccurrences(engine.child.stderrText, "Result: "), 5);
  EXPECT_EQ(Finish(&engine), 0);
}

}  // namespace
