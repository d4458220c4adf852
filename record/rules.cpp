#include "record/rules.h"

Seat SeatOfStone(Seat firstThrower, int shotIndex) {
  return shotIndex % 2 == 0 ? firstThrower : Opponent(firstThrower);
}

Seat FirstThrowerOfGame(int gameIndex) { return gameIndex % 2 == 0 ? kSeatA : kSeatB; }

Seat FirstThrowerAfter(Seat firstThrower, int scoreForA) {
  if (scoreForA > 0) return kSeatA;
  if (scoreForA < 0) return kSeatB;
  return firstThrower;
}

int LastEndToSend(int regularEnds, int endIndex) {
  return endIndex + 1 > regularEnds ? endIndex + 1 : regularEnds;
}

int PointsFor(const ScoreTable& table, Seat seat) {
  int points = 0;
  for (int s : table.endScores) {
    if (seat == kSeatA && s > 0) points += s;
    if (seat == kSeatB && s < 0) points -= s;
  }
  return points;
}

bool AnotherEnd(const ScoreTable& table, int regularEnds, bool extraEnds) {
  int played = static_cast<int>(table.endScores.size());
  if (played < regularEnds) return true;
  if (!extraEnds || played >= regularEnds + kMaxExtraEnds) return false;
  return PointsFor(table, kSeatA) == PointsFor(table, kSeatB);
}

GameResult ResultOf(const ScoreTable& table) {
  int a = PointsFor(table, kSeatA);
  int b = PointsFor(table, kSeatB);
  if (a > b) return GameResult::kWinA;
  if (b > a) return GameResult::kWinB;
  return GameResult::kDraw;
}
