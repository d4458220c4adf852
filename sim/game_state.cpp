#include "sim/records.h"

void ResetGameState(GameState* state) {
  state->shotIndex = 0;
  state->endIndex = 0;
  state->lastEnd = 0;
  for (int32_t& score : state->endScore) score = 0;
  state->sideToMove = 0;
  for (auto& stone : state->stones) {
    stone[0] = 0.0f;
    stone[1] = 0.0f;
  }
}
