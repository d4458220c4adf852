#include "sim/simulator.h"
#include "strategy/candidate_search.h"
#include "strategy/decision.h"
#include "strategy/geometry.h"
#include "strategy/takeout_search.h"

namespace {

float StoneDistance(const GameState& state, int32_t stone) {
  return TeeDistanceSquared(state.stones[stone][0], state.stones[stone][1]);
}

}  // namespace

void DecideShot(const GameState& state, ShotVec* out) {
  if (state.shotIndex > kLastPlacementShot) {
    RandomCandidateSearch(state, out);
  } else {
    ChoosePlacementShot(state, out);
  }
}

void RankStonesByTeeDistance(int32_t rank[game::kStonesPerEnd], const GameState& state) {
  for (int32_t i = 0; i < game::kStonesPerEnd; ++i) rank[i] = i;
  const int32_t n = state.shotIndex < game::kStonesPerEnd ? state.shotIndex : game::kStonesPerEnd;
  for (int32_t i = 1; i < n; ++i) {
    for (int32_t j = i; j > 0 && StoneDistance(state, rank[j]) < StoneDistance(state, rank[j - 1]);
         --j) {
      const int32_t moved = rank[j];
      rank[j] = rank[j - 1];
      rank[j - 1] = moved;
    }
  }
}

void ChoosePlacementShot(const GameState& state, ShotVec* out) {
  int32_t rank[game::kStonesPerEnd];
  RankStonesByTeeDistance(rank, state);
  const int32_t s = rank[0];
  const float x = state.stones[s][0];
  const float y = state.stones[s][1];
  ShotPos pos{};
  if (!IsInHouse(x, y)) {
    pos.x = float(sheet::kTeeX);
    pos.y = float(sheet::kTeeY);
    pos.curl = 0;
    CreateShot(pos, out);
    return;
  }
  // Signed remainders: a negative odd shotIndex gives -1 and owns no stone.
  const bool own = s % 2 == state.shotIndex % 2;
  if (!own) {
    const float power = state.shotIndex >= kFirstHeavyHitShot ? kHeavyHitPower : kLightHitPower;
    TakeoutTrialSearch(state, s, power, out);
    return;
  }
  pos.x = x;
  pos.y = y + kGuardOffset;
  pos.curl = x < float(sheet::kTeeX) ? 0 : 1;
  CreateShot(pos, out);
}
