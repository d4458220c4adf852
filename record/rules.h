// The rules of the game that the runner enforces itself, as pure functions:
// who throws which stone, who throws first in each end, when the game is
// over and who won.
//
// The two seats are A (the first engine) and B (the second). Seat A always
// plays with side flag 0 and seat B with side flag 1, for the whole game, so
// every score is counted from A's side: positive when A scored. This is the
// physics library's sign rule (positive for the side whose sideToMove flag
// is 0), and the same number goes to both engines in SCORE.
#pragma once

#include <vector>

enum Seat { kSeatA = 0, kSeatB = 1 };

// Extra ends played after a tie at most; a game still tied then is a draw.
constexpr int kMaxExtraEnds = 10;

constexpr Seat Opponent(Seat s) { return s == kSeatA ? kSeatB : kSeatA; }
constexpr int SideFlag(Seat s) { return s == kSeatA ? 0 : 1; }
constexpr char SeatLetter(Seat s) { return s == kSeatA ? 'A' : 'B'; }

// The side without the hammer throws the even stones (0, 2, ... 14).
Seat SeatOfStone(Seat firstThrower, int shotIndex);

// Who throws first in the first end of game gameIndex (counted from 0):
// A in games 0, 2, 4 ..., B in games 1, 3, 5 ..., so that each pair of
// games gives each engine the hammer of the first end once.
Seat FirstThrowerOfGame(int gameIndex);

// The side that scored throws first in the next end; after a blank end the
// first thrower (and so the hammer) stays. scoreForA > 0: A scored.
Seat FirstThrowerAfter(Seat firstThrower, int scoreForA);

// lastEnd as sent in SETSTATE: the number of ends of the game, or in an
// extra end that end's number (so an engine always sees endIndex < lastEnd).
int LastEndToSend(int regularEnds, int endIndex);

struct ScoreTable {
  std::vector<int> endScores;  // one per finished end, positive for A
};

int PointsFor(const ScoreTable& table, Seat seat);

// Whether another end is to be played after the ends in the table.
bool AnotherEnd(const ScoreTable& table, int regularEnds, bool extraEnds);

enum class GameResult { kWinA, kWinB, kDraw };
GameResult ResultOf(const ScoreTable& table);
