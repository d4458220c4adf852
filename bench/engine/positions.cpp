#include "positions.h"

#include <cstring>

namespace {

// Stones of a busy end as they lie before the last stones, m; (0, 0) marks a
// stone out of play. Stone 5 is the one nearest the tee, so that shots 1 and
// 6 (opponent to move last) meet the take-out rule.
constexpr float kLayout[15][2] = {{2.55f, 6.10f}, {2.20f, 8.40f}, {3.05f, 4.30f}, {0.00f, 0.00f},
                                  {1.80f, 5.60f}, {2.33f, 4.86f}, {2.60f, 7.90f}, {1.95f, 4.20f},
                                  {0.00f, 0.00f}, {2.90f, 5.40f}, {2.10f, 3.60f}, {2.45f, 9.10f},
                                  {3.40f, 4.90f}, {1.40f, 5.10f}, {2.70f, 3.90f}};

}  // namespace

GameState BenchPosition(int32_t shotIndex) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.shotIndex = shotIndex;
  state.endIndex = 3;
  state.lastEnd = 8;
  state.endScore[0] = 1;
  state.endScore[1] = -2;
  state.sideToMove = static_cast<uint8_t>(shotIndex % 2);
  if (shotIndex == 1) {
    state.stones[0][0] = kLayout[5][0];
    state.stones[0][1] = kLayout[5][1];
    return state;
  }
  for (int i = 0; i < shotIndex && i < 15; ++i) {
    state.stones[i][0] = kLayout[i][0];
    state.stones[i][1] = kLayout[i][1];
  }
  return state;
}
