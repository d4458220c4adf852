// A whole end through the protocol with the real Korvane.dll: the engine
// chooses every stone, the test plays each one locally with the library and
// reports the new state, as a game server would.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "korvane/korvane.h"
#include "process_fixture.h"

namespace {

constexpr float kNoise = 0.145f;  // m, as the engine's own trials use
constexpr float kTeeX = 2.375f, kTeeY = 4.88f;
constexpr float kHouseRadius = 1.975f;  // m, ring plus stone radius
// Bounds of any launch vector that can reach the house from the near hog
// line, m/s (vy is negative toward the house).
constexpr float kMaxSpeed = 8.0f;

std::string SetStateMessage(const GameState& s) {
  return "SETSTATE " + std::to_string(s.shotIndex) + " " + std::to_string(s.endIndex) + " " +
         std::to_string(s.lastEnd) + " " + std::to_string(s.sideToMove) + "\n";
}

// The stones with six decimals, as a server prints them.
std::string StonesMessage(const GameState& s) {
  char position[1024];
  int used = std::snprintf(position, sizeof position, "POSITION");
  for (int i = 0; i < 16; ++i) {
    used += std::snprintf(position + used, sizeof position - used, " %.6f %.6f",
                          static_cast<double>(s.stones[i][0]), static_cast<double>(s.stones[i][1]));
  }
  return std::string(position) + "\n";
}

bool InHouse(const GameState& s, int i) {
  const float dx = s.stones[i][0] - kTeeX, dy = s.stones[i][1] - kTeeY;
  return dx * dx + dy * dy < kHouseRadius * kHouseRadius;
}

// LeakSanitizer's exit scan crashes on the thread-local blocks that a
// dlopen'ed library gives each worker thread (the library's per-thread
// random engines), so in sanitizer builds the engine runs without it here.
// The test double, which has no thread-local data, keeps it on.
std::vector<EnvSetting> SanitizerSettings() {
  const char* asan = std::getenv("ASAN_OPTIONS");
  std::string options = asan != nullptr ? std::string(asan) + ":" : std::string();
  return {{"ASAN_OPTIONS", options + "detect_leaks=0"}};
}

TEST(EndToEnd, WholeEndWithTheRealLibraryGivesSensibleShots) {
  EngineSession engine;
  ASSERT_TRUE(StartEngine(&engine, KORVANE_DIR, SanitizerSettings(), ENGINE_EXE));
  ASSERT_TRUE(Send(&engine, "NEWGAME\n"));
  ASSERT_TRUE(Send(&engine, "ISREADY\n"));
  ASSERT_TRUE(WaitForStdout(&engine.child, "READYOK", 1, kStepTimeoutMs));

  KorvaneSeed(2026);
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.lastEnd = 1;
  int inHouseSeen = 0;
  for (int shot = 0; shot < 16; ++shot) {
    ASSERT_EQ(state.shotIndex, shot);
    ASSERT_TRUE(Send(&engine, SetStateMessage(state)));
    ASSERT_TRUE(Send(&engine, StonesMessage(state)));
    const size_t before = engine.child.stdoutText.size();
    ASSERT_TRUE(Send(&engine, "GO\n"));
    ASSERT_TRUE(WaitForStdout(&engine.child, "BESTSHOT ", shot + 1, kStepTimeoutMs));

    ShotVec vec{};
    int curl = -1;
    const std::string reply = engine.child.stdoutText.substr(before);
    ASSERT_EQ(std::sscanf(reply.c_str(), "BESTSHOT %f %f %d", &vec.vx, &vec.vy, &curl), 3) << reply;
    ASSERT_TRUE(std::isfinite(vec.vx) && std::isfinite(vec.vy)) << reply;
    EXPECT_LT(std::fabs(vec.vx), kMaxSpeed) << reply;
    EXPECT_LT(vec.vy, 0.0f) << "shot " << shot << " goes toward the house: " << reply;
    EXPECT_GT(vec.vy, -kMaxSpeed) << reply;
    ASSERT_TRUE(curl == 0 || curl == 1) << reply;
    vec.curl = static_cast<uint8_t>(curl);

    Simulation(&state, vec, kNoise, nullptr, -1);
    ASSERT_EQ(state.shotIndex, shot + 1);
    for (int i = 0; i <= shot; ++i) inHouseSeen += InHouse(state, i) ? 1 : 0;
  }
  EXPECT_EQ(state.endIndex, 1);
  EXPECT_GT(inHouseSeen, 0) << "the engine never put a stone in the house";
  // The late searches report once per stone; take-outs when they happen.
  EXPECT_EQ(CountOccurrences(engine.child.stderrText, "Result: "), 5);
  EXPECT_EQ(CountOccurrences(engine.child.stderrText, "best_num = ") * 3,
            CountOccurrences(engine.child.stderrText, "shot[") +
                CountOccurrences(engine.child.stderrText, "best_num = "));
  EXPECT_EQ(Finish(&engine), 0);
}

}  // namespace
