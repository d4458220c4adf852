#include "korvane/rules.h"

#include <climits>
#include <cmath>

#include "korvane/sheet.h"

namespace korvane {

bool InPlay(double x, double y) {
  return x > sheet::kStoneRadius && x < sheet::kWidth - sheet::kStoneRadius &&
         y > sheet::kBackLineY - sheet::kStoneRadius && y < sheet::kFarHogY - sheet::kStoneRadius;
}

bool OnSheet(double x, double y) {
  return x > sheet::kStoneRadius && x < sheet::kWidth - sheet::kStoneRadius &&
         y > sheet::kBackLineY - sheet::kStoneRadius && y < kNearBackLineY + sheet::kStoneRadius;
}

bool InHouse(float x, float y) {
  const float dx = x - static_cast<float>(sheet::kCentreX);
  const float dy = y - static_cast<float>(sheet::kTeeY);
  const float reach = static_cast<float>(sheet::kHouseReach);
  return dx * dx + dy * dy < reach * reach;
}

bool InGuardZone(double x, double y) {
  return InPlay(x, y) && y > sheet::kTeeY && !InHouse(static_cast<float>(x), static_cast<float>(y));
}

int SaturatingIncrement(int value) { return value == INT_MAX ? INT_MAX : value + 1; }

int ScoreEnd(const GameState& state) {
  const int thrown =
      state.shotIndex < 0
          ? 0
          : (state.shotIndex > game::kStonesPerEnd ? game::kStonesPerEnd : state.shotIndex);
  // Side 0 (flag 0) owns the stones of the parity of shotIndex + sideToMove.
  const unsigned sideOne = state.sideToMove != 0 ? 1u : 0u;
  const unsigned parityZero = (static_cast<unsigned>(state.shotIndex) + sideOne) & 1u;
  float best[2] = {INFINITY, INFINITY};
  float dist[game::kStonesPerEnd];
  int owner[game::kStonesPerEnd];
  for (int i = 0; i < thrown; ++i) {
    const float x = state.stones[i][0];
    const float y = state.stones[i][1];
    owner[i] = -1;
    if (!std::isfinite(x) || !std::isfinite(y) || !InHouse(x, y)) continue;
    const float dx = x - static_cast<float>(sheet::kCentreX);
    const float dy = y - static_cast<float>(sheet::kTeeY);
    dist[i] = dx * dx + dy * dy;
    owner[i] = (static_cast<unsigned>(i) & 1u) == parityZero ? 0 : 1;
    if (dist[i] < best[owner[i]]) best[owner[i]] = dist[i];
  }
  if (best[0] == best[1]) return 0;  // no stone in the house, or a tie for shot stone
  const int winner = best[0] < best[1] ? 0 : 1;
  int points = 0;
  for (int i = 0; i < thrown; ++i) {
    if (owner[i] == winner && dist[i] < best[1 - winner]) ++points;
  }
  return winner == 0 ? points : -points;
}

}  // namespace korvane
