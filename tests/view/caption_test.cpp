// Captions in curling terms, worked out from where the stones were before
// and after a shot.
#include "view/caption.h"

#include <gtest/gtest.h>

namespace {

struct Stone {
  int index;
  float x, y;
};

// Stone `shot` of an end that A threw first (A throws the even stones),
// with the stones before and after as listed; unlisted stones are out.
StoneRecord Shot(int shot, std::vector<Stone> before, std::vector<Stone> after) {
  StoneRecord s;
  s.shotIndex = shot;
  s.seat = shot % 2 ? kSeatB : kSeatA;
  for (const Stone& b : before) s.before[b.index][0] = b.x, s.before[b.index][1] = b.y;
  for (const Stone& a : after) s.after[a.index][0] = a.x, s.after[a.index][1] = a.y;
  return s;
}

StoneRecord WithPath(StoneRecord s, std::vector<std::array<float, 2>> points, int stone) {
  s.path.times.assign(points.size(), 0.0f);
  s.path.stones.push_back(MovedStone{stone, 0, points});
  return s;
}

}  // namespace

TEST(Caption, NamesTheKindOfShotFromBeforeAndAfter) {
  EndRecord end;
  end.firstThrower = kSeatA;
  StoneRecord lost = Shot(2, {}, {});
  lost.status = StoneStatus::kTimeout;
  StoneRecord guardZone =
      WithPath(Shot(2, {{1, 2.4f, 8.0f}}, {{1, 2.4f, 8.0f}}), {{2.4f, 8.0f}, {2.4f, 2.0f}}, 1);
  const struct {
    StoneRecord stone;
    const char* kind;
  } cases[] = {
      {Shot(0, {}, {{0, 2.4f, 4.9f}}), "Draw to the button"},
      {Shot(0, {}, {{0, 3.2f, 5.5f}}), "Draw into the house"},
      {Shot(0, {}, {{0, 2.3f, 8.2f}}), "Guard"},
      {Shot(0, {}, {{0, 0.5f, 3.3f}}), "Draw behind the house"},
      {Shot(2, {{1, 2.4f, 4.9f}}, {{2, 2.4f, 5.0f}}), "Takeout of stone 2 (B)"},
      {Shot(2, {{1, 2.4f, 4.9f}}, {}), "Takeout of stone 2 (B), the shooter rolled out"},
      {Shot(3, {{0, 2.4f, 4.9f}, {1, 2.4f, 6.0f}}, {{1, 2.4f, 6.0f}}),
       "Takeout of stone 1 (A), the shooter rolled out"},
      {Shot(2, {{0, 2.4f, 7.0f}, {1, 2.4f, 4.9f}},
            {{0, 2.4f, 5.2f}, {1, 2.4f, 4.9f}, {2, 2.4f, 7.2f}}),
       "Raise of stone 1 (A)"},
      {Shot(2, {{0, 2.4f, 7.0f}, {1, 2.4f, 4.9f}},
            {{0, 2.4f, 7.0f}, {1, 2.5f, 4.5f}, {2, 2.4f, 5.0f}}),
       "Hit on stone 2 (B)"},
      {Shot(2, {{0, 1.0f, 5.0f}, {1, 3.0f, 5.0f}}, {{1, 3.0f, 5.0f}, {2, 1.1f, 5.0f}}),
       "Own stone taken out: stone 1 (A)"},
      {WithPath(Shot(0, {}, {}), {{2.4f, 33.0f}, {2.4f, 13.0f}}, 0),
       "Hogged: short of the hog line"},
      {WithPath(Shot(0, {}, {}), {{2.4f, 20.0f}, {2.4f, 3.0f}}, 0), "Through the house"},
      {WithPath(Shot(0, {}, {}), {{2.4f, 20.0f}, {0.2f, 6.0f}}, 0), "Off the side"},
      {Shot(0, {}, {}), "Out of play"},
      {guardZone, "Free guard zone: the guard is put back and the stone removed"},
      {lost, "Lost stone: no reply in time"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShotKind(end, c.stone), c.kind);
}

TEST(Caption, SaysWhoThrewWithWhichTurnWhoLiesAndTheTime) {
  GameRecord game;
  game.engines[0].command = "/opt/engines/red-engine --fast";
  game.engines[1].name = "Yellow";
  EndRecord end;
  end.endIndex = 2;
  end.firstThrower = kSeatA;
  StoneRecord s = Shot(7, {}, {{7, 2.375f, 4.88f}});
  s.vec.curl = 1;
  s.thinkMs = 1234.0;
  s.scoreAsItLies = -2;
  EXPECT_EQ(CaptionHeadline(game, end, s), "End 3, stone 8 of 16: B (Yellow), out-turn, 1.2 s");
  EXPECT_EQ(CaptionStory(end, s), "Draw to the button. B lying two.");
  s.seat = kSeatA;
  s.vec.curl = 0;
  s.thinkMs = 42.0;
  s.scoreAsItLies = 0;
  EXPECT_EQ(CaptionHeadline(game, end, s), "End 3, stone 8 of 16: A (red-engine), in-turn, 42 ms");
  EXPECT_EQ(LyingText(0), "Nothing counting");
  EXPECT_EQ(LyingText(1), "A lying one");
}
