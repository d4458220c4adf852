#include "record/line_score.h"

#include <cstdio>

namespace {

constexpr int kLabelWidth = 6;  // room for the row label on the board

// One end's cell in the row of seat: the points (0 for the side that did
// not score) and the hammer mark.
std::string Cell(const EndRecord& end, Seat seat) {
  int points = 0;
  if (seat == kSeatA && end.scoreForA > 0) points = end.scoreForA;
  if (seat == kSeatB && end.scoreForA < 0) points = -end.scoreForA;
  const bool hammer = Opponent(end.firstThrower) == seat;
  char text[16];
  std::snprintf(text, sizeof text, "%2d%c", points, hammer ? kHammerMark : ' ');
  return text;
}

std::string Row(const GameRecord& game, Seat seat) {
  std::string row;
  for (const EndRecord& end : game.ends)
    if (end.finished) row += " " + Cell(end, seat);
  return row;
}

std::string Padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

std::string FormatResult(const std::string (&names)[2], const int (&points)[2],
                         GameResult result, int forfeitSeat, const std::string& forfeitReason) {
  std::string text = names[0] + " " + std::to_string(points[0]) + " - " +
                     std::to_string(points[1]) + " " + names[1] + ", ";
  if (result == GameResult::kDraw)
    text += "draw";
  else
    text += names[result == GameResult::kWinA ? 0 : 1] + " wins";
  if (forfeitSeat == kSeatA || forfeitSeat == kSeatB)
    text += " (" + names[forfeitSeat] + " forfeits: " + forfeitReason + ")";
  return text;
}

std::string FormatResult(const GameRecord& game) {
  return FormatResult({"A", "B"}, {PointsFor(game.table, kSeatA), PointsFor(game.table, kSeatB)},
                      ResultOfGame(game), game.forfeitSeat, game.forfeitReason);
}

std::string FormatBoard(const GameRecord& game) {
  std::string header = Padded("End", kLabelWidth);
  for (const EndRecord& end : game.ends) {
    if (!end.finished) continue;
    char number[16];
    std::snprintf(number, sizeof number, " %2d ", end.endIndex + 1);
    header += number;
  }
  char totalA[16];
  char totalB[16];
  std::snprintf(totalA, sizeof totalA, " | %3d", PointsFor(game.table, kSeatA));
  std::snprintf(totalB, sizeof totalB, " | %3d", PointsFor(game.table, kSeatB));
  return header + " | Total\n" + Padded("A", kLabelWidth) + Row(game, kSeatA) + totalA + "\n" +
         Padded("B", kLabelWidth) + Row(game, kSeatB) + totalB + "\n";
}
