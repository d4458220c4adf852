#include "tests/double/stand_in.h"

#include <algorithm>
#include <limits>

namespace {

int Advanced(int32_t index) {
  return index < std::numeric_limits<int32_t>::max() ? index + 1 : index;
}

// Squared distance from the tee for a stone within the house's reach, else
// "far".
float HouseDistance(const float* stone) {
  const float dx = stone[0] - float(sheet::kTeeX);
  const float dy = stone[1] - float(sheet::kTeeY);
  const float reach = float(sheet::kHouseReach);
  const float d = dx * dx + dy * dy;
  return d < reach * reach ? d : std::numeric_limits<float>::max();
}

}  // namespace

bool StartThrow(GameState* state) {
  if (state->shotIndex >= 0 && state->shotIndex < game::kStonesPerEnd) return true;
  state->shotIndex = Advanced(state->shotIndex);
  return false;
}

void FinishThrow(GameState* state, ScoreFn score) {
  state->sideToMove ^= 1;
  state->shotIndex = Advanced(state->shotIndex);
  if (state->shotIndex != game::kStonesPerEnd) return;
  if (state->endIndex >= 0 && state->endIndex < game::kEndSlots)
    state->endScore[state->endIndex] = score(state);
  state->endIndex = Advanced(state->endIndex);
}

int ClosestStoneScore(const GameState* s) {
  const int thrown = std::min(std::max(s->shotIndex, 0), game::kStonesPerEnd);
  const int sideZeroParity = (s->shotIndex + s->sideToMove) % 2;
  const float far = std::numeric_limits<float>::max();
  float best[2] = {far, far};  // the closest stone of parity 0 and 1
  for (int i = 0; i < thrown; ++i) best[i % 2] = std::min(best[i % 2], HouseDistance(s->stones[i]));
  const int winner = best[0] < best[1] ? 0 : (best[1] < best[0] ? 1 : -1);
  if (winner < 0) return 0;
  int points = 0;
  for (int i = winner; i < thrown; i += 2) points += HouseDistance(s->stones[i]) < best[1 - winner];
  return winner == sideZeroParity ? points : -points;
}

bool RestsInPlay(float x, float y) {
  const double r = sheet::kStoneRadius;
  return x > float(r) && x < float(sheet::kWidth - r) && y > float(sheet::kBackLineY - r) &&
         y < float(sheet::kFarHogY - r);
}
