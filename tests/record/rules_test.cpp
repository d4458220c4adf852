#include "record/rules.h"

#include <gtest/gtest.h>

#include "record/line_score.h"

TEST(MatchRules, ExtraEndsOnlyWhileTiedAndNeverForEver) {
  EXPECT_FALSE(AnotherEnd(ScoreTable{{1, -1}}, 2, false));
  EXPECT_FALSE(AnotherEnd(ScoreTable{std::vector<int>(2 + kMaxExtraEnds, 0)}, 2, true));
}

// The board after every end and at the close: one row per side, ends
// across, within 80 columns for a whole game of ten ends.
TEST(LineScore, OneRowPerSideFitsEightyColumnsForTenEnds) {
  GameRecord game;
  for (int k = 0; k < 10; ++k) {
    EndRecord end;
    end.endIndex = k;
    end.firstThrower = k < 5 ? kSeatA : kSeatB;
    end.finished = true;
    end.scoreForA = k == 9 ? 8 : k % 3 - 1;
    game.ends.push_back(end);
    game.table.endScores.push_back(end.scoreForA);
  }
  const std::string board = FormatBoard(game);
  EXPECT_EQ(board,
            "End     1   2   3   4   5   6   7   8   9  10  | Total\n"
            "A       0   0   1   0   0   1*  0*  0*  1*  8* |  11\n"
            "B       1*  0*  0*  1*  0*  0   1   0   0   0  |   3\n");
  for (size_t at = 0, next; (next = board.find('\n', at)) != std::string::npos; at = next + 1)
    EXPECT_LE(next - at, 80u);
}
