// Spreading a game's thinking time: never more than is left, more where
// it matters.
#include "search/time_plan.h"

#include <gtest/gtest.h>

#include "support.h"

namespace {

using search_test::Position;

search::GameTimeLeft Clock(double remainingMs, double totalMs, double incMs = 0) {
  search::GameTimeLeft c;
  c.remainingMs = remainingMs;
  c.totalMs = totalMs;
  c.incrementMs = incMs;
  return c;
}

TEST(MoveTime, NeverMoreThanTheClockHoldsBeyondItsReserve) {
  for (const int end : {0, 4, 7, 9}) {
    for (int shot = 0; shot < 16; ++shot) {
      for (const double left : {0.5, 50.0, 2000.0, 60000.0}) {
        GameState s = Position(shot, {}, end, 8);
        const search::GameTimeLeft c = Clock(left, 60000.0, 500.0);
        const double t = search::MoveTimeFor(s, c);
        EXPECT_GE(t, 1.0);
        EXPECT_LE(t, std::max(left - search::ReserveMs(s, c), 1.0))
            << "end " << end << " shot " << shot << " left " << left;
      }
    }
  }
}

TEST(MoveTime, LastStonesAndCloseGamesGetMore) {
  const search::GameTimeLeft c = Clock(30000.0, 60000.0);
  const GameState first = Position(0, {}, 4, 8);
  const GameState last = Position(14, {}, 4, 8);
  EXPECT_GT(search::MoveTimeFor(last, c), 2 * search::MoveTimeFor(first, c));
  GameState blowout = Position(8, {}, 4, 8, 0);
  blowout.endScore[0] = 6;
  GameState close = blowout;
  close.endScore[0] = 1;
  EXPECT_GT(search::MoveTimeFor(close, c), search::MoveTimeFor(blowout, c));
}

TEST(MoveTime, AFullGameAtItsShareFitsTheBudget) {
  // Every own stone of an 8-end game takes exactly what it is given.
  const double total = 20000.0;
  search::GameTimeLeft c = Clock(total, total);
  for (int end = 0; end < 8; ++end) {
    for (int shot = 1; shot < 16; shot += 2) {
      const double t = search::MoveTimeFor(Position(shot, {}, end, 8), c);
      c.remainingMs -= t;
      ASSERT_GT(c.remainingMs, 0.0) << "end " << end << " shot " << shot;
    }
  }
  // And it does not leave most of the budget unused.
  EXPECT_LT(c.remainingMs, 0.25 * total);
}

}  // namespace

TEST(MoveTime, AClockStartedInMidGameAssumesThePlanWasSpent) {
  const double total = 80000.0;
  EXPECT_DOUBLE_EQ(search::ClockAtFirstSearch(Position(0, {}, 0, 7), total), total);
  EXPECT_DOUBLE_EQ(search::ClockAtFirstSearch(Position(1, {}, 0, 7), total), total);
  // Half the game's own stones thrown: half the budget.
  EXPECT_DOUBLE_EQ(search::ClockAtFirstSearch(Position(0, {}, 4, 7), total), total / 2);
  // An extra end keeps some time rather than none.
  EXPECT_GT(search::ClockAtFirstSearch(Position(15, {}, 8, 7), total), 0.0);
}
