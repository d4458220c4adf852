#include "search/end_value.h"

#include <algorithm>

#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace search {

int MoverLead(const GameState& root) {
  const int played = std::clamp(root.endIndex, 0, game::kEndSlots);
  long long lead = 0;
  for (int e = 0; e < played; ++e) lead += root.endScore[e];
  lead = std::clamp(lead, -1000LL, 1000LL);
  return static_cast<int>(root.sideToMove == 0 ? lead : -lead);
}

int EndsLeftAfter(const GameState& root) {
  const long long left = static_cast<long long>(root.lastEnd) - root.endIndex - 1;
  return static_cast<int>(std::clamp(left, 0LL, 100LL));
}

EndValues MakeEndValues(const WinTable& table, const GameState& root) {
  EndValues values{};
  const int lead = MoverLead(root);
  const int endsLeft = EndsLeftAfter(root);
  // The last stone of an end is odd-numbered: the mover has the hammer in
  // this end exactly when it throws the odd stones.
  const bool hammerNow = (root.shotIndex & 1) != 0;
  for (int s = -kMaxEndScore; s <= kMaxEndScore; ++s) {
    // A blank keeps the hammer; otherwise the side that did not score has it.
    const bool hammerNext = s == 0 ? hammerNow : s < 0;
    values.win[ScoreSlot(s)] = WinProbability(table, endsLeft, lead + s, hammerNext);
  }
  return values;
}

bool StoneInPlay(float x, float y) {
  constexpr float kR = static_cast<float>(sheet::kStoneRadius);
  constexpr float kMinX = kR;
  constexpr float kMaxX = static_cast<float>(sheet::kWidth - sheet::kStoneRadius);
  constexpr float kMinY = static_cast<float>(sheet::kBackLineY - sheet::kStoneRadius);
  constexpr float kMaxY = static_cast<float>(sheet::kFarHogY - sheet::kStoneRadius);
  return x > kMinX && x < kMaxX && y > kMinY && y < kMaxY;
}

int EndScoreFor(const GameState& state, int thrown, int ownerParity) {
  const int n = std::clamp(thrown, 0, game::kStonesPerEnd);
  float best[2] = {kHouseReachSquared, kHouseReachSquared};
  for (int i = 0; i < n; ++i) {
    const float x = state.stones[i][0];
    const float y = state.stones[i][1];
    if (!IsInHouse(x, y)) continue;
    const float d = TeeDistanceSquared(x, y);
    float& b = best[(i & 1) == ownerParity ? 0 : 1];
    if (d < b) b = d;
  }
  if (best[0] == best[1]) return 0;  // both empty (or an exact tie)
  const int winner = best[0] < best[1] ? 0 : 1;
  const float limit = best[1 - winner];
  int count = 0;
  for (int i = 0; i < n; ++i) {
    const bool mine = (i & 1) == ownerParity;
    if (mine != (winner == 0)) continue;
    const float x = state.stones[i][0];
    const float y = state.stones[i][1];
    if (IsInHouse(x, y) && TeeDistanceSquared(x, y) < limit) ++count;
  }
  return winner == 0 ? count : -count;
}

}  // namespace search
