// What each message does to the one game record. The process tests see the
// record only through GO's reply, which hides most of it (the score table,
// the padding), so the whole record is compared here.
#include "app/protocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sim/simulator.h"

namespace {

// A recognisable value in every field, in a position where GO places a
// stone (the stones lie far off the sheet) and SCORE has a slot.
GameState Filled() {
  GameState g;
  std::memset(&g, 0x5a, sizeof g);
  g.shotIndex = 7;
  g.endIndex = 3;
  g.sideToMove = 1;
  return g;
}

void SetState(GameState& g, int shot, int end, int last, int side) {
  g.shotIndex = shot;
  g.endIndex = end;
  g.lastEnd = last;
  g.sideToMove = static_cast<uint8_t>(side);
}

// Stand-ins that would show any write through to the record: a GO must
// leave it as it was, whichever search it runs.
void InstallStubs() {
  CreateShot = [](ShotPos p, ShotVec* v) {
    *v = {p.x, p.y, p.curl, {}};
    return 1;
  };
  Simulation = [](GameState* s, ShotVec, float, PathFrame*, int) {
    s->stones[s->shotIndex & 15][0] = -1.0f;
    ++s->shotIndex;
    return 1;
  };
}

TEST(Protocol, EachMessageChangesOnlyItsFields) {
  InstallStubs();
  const struct {
    std::string message;
    bool complete;
    void (*edit)(GameState&);
  } cases[] = {
      {"SETSTATE 5 2 10 2", true, [](GameState& g) { SetState(g, 5, 2, 10, 0); }},
      {"SETSTATE 5 2", false, [](GameState& g) { SetState(g, 5, 2, g.lastEnd, 1); }},
      {"POSITION 2.375 4.88", false,
       [](GameState& g) {
         g.stones[0][0] = 2.375f;
         g.stones[0][1] = 4.88f;
       }},
      {"SCORE -2", true, [](GameState& g) { g.endScore[3] = -2; }},
      {"SCORE", false, [](GameState&) {}},
      // No slot for these ends: the record stays as it is.
      {"SETSTATE 3 10 8 1\nSCORE 5\nSETSTATE 3 2147483647 8 1\nSCORE 5\nSETSTATE 3 -1 8 1\nSCORE 5",
       true, [](GameState& g) { SetState(g, 3, -1, 8, 1); }},
      {"NEWGAME 1 2\nGOX\nGO\t\n    \nSETSTATE\t5 2 10 1\nPOSITIONS 1 2", true, [](GameState&) {}},
      {"isready extra words\nSCORE 1", true,
       [](GameState& g) {
         GameState reset{};
         std::memcpy(reset.padding, g.padding, sizeof reset.padding);
         g = reset;
         g.endScore[0] = 1;
       }},
      // A placement and a search.
      {"GO", true, [](GameState&) {}},
      {"SETSTATE 12 3 8 1\ngo", true, [](GameState& g) { SetState(g, 12, 3, 8, 1); }},
  };
  for (const auto& c : cases) {
    gameState = Filled();
    GameState expected = Filled();
    c.edit(expected);
    std::string message = c.message;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool complete = HandleMessage(message.data()) == Handled::kComplete;
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(complete, c.complete) << c.message;
    EXPECT_EQ(std::memcmp(&gameState, &expected, sizeof expected), 0) << c.message;
  }
}

}  // namespace
