#include "search/playout.h"

#include <cmath>

#include "search/end_value.h"
#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace search {
namespace {

constexpr float kStoneDiameter = static_cast<float>(2 * sheet::kStoneRadius);
// A takeout's weight, m of travel left at the stone.
constexpr float kTakeoutPower = 14.0f;
constexpr float kPeelPower = 24.0f;
// How far in front of an own shot stone a guard goes, m, and the last shot
// that still guards rather than draws.
constexpr float kGuardDistance = 2.6f;
constexpr int kLastGuardShot = 11;
constexpr float kGuardMaxY = static_cast<float>(sheet::kFarHogY) - 0.6f;
// A draw to the open side of the house lands this far off the centre line
// and this far in front of the tee, m.
constexpr float kOpenSideOffset = 0.75f;
constexpr float kOpenSideFront = 0.25f;
// A draw beside a centre guard lands this far off the centre line, m.
constexpr float kBesideGuard = 0.6f;

struct ShotStone {
  int index;  // -1 when the house is empty
  float x, y;
};

ShotStone FindShotStone(const GameState& s) {
  ShotStone best{-1, 0, 0};
  float bestDistance = kHouseReachSquared;
  for (int i = 0; i < s.shotIndex; ++i) {
    const float x = s.stones[i][0];
    const float y = s.stones[i][1];
    if (!IsInHouse(x, y)) continue;
    const float d = TeeDistanceSquared(x, y);
    if (d < bestDistance) {
      bestDistance = d;
      best = {i, x, y};
    }
  }
  return best;
}

// The stone nearest the thrower that lies across the straight line to
// (x, y), or -1: a straight hit would strike it first.
int Blocker(const GameState& s, int target, float x, float y) {
  int blocker = -1;
  float blockerY = 0;
  for (int i = 0; i < s.shotIndex; ++i) {
    if (i == target) continue;
    const float gx = s.stones[i][0];
    const float gy = s.stones[i][1];
    if (!StoneInPlay(gx, gy) || gy <= y) continue;
    if (std::fabs(gx - x) < kStoneDiameter && gy > blockerY) {
      blocker = i;
      blockerY = gy;
    }
  }
  return blocker;
}

ShotVec Draw(const PhysicsCalls& p, float x, float y, int curl) {
  ShotPos pos{};
  pos.x = x;
  pos.y = y;
  pos.curl = static_cast<uint8_t>(curl);
  ShotVec v{};
  p.createShot(pos, &v);
  return v;
}

ShotVec Hit(const PhysicsCalls& p, float x, float y, float power, int curl) {
  ShotPos pos{};
  pos.x = x;
  pos.y = y;
  pos.curl = static_cast<uint8_t>(curl);
  ShotVec v{};
  p.createHitShot(pos, power, &v);
  return v;
}

constexpr int kFreeGuardZoneShots = game::kGuardZoneShots;

ShotVec OpenSideDraw(const PhysicsCalls& p, const ShotStone& shot) {
  const float side = (shot.index >= 0 && shot.x < kTeeX) ? 1.0f : -1.0f;
  const float x = kTeeX + side * kOpenSideOffset;
  return Draw(p, x, kTeeY + kOpenSideFront, x < kTeeX ? 1 : 0);
}

}  // namespace

ShotVec PolicyShot(const GameState& s, const PhysicsCalls& p) {
  const ShotStone shot = FindShotStone(s);
  if (shot.index < 0) {
    // An empty house: draw to the button, or beside a centre guard, which
    // no draw can curl behind.
    const int guard = Blocker(s, -1, kTeeX, kTeeY);
    if (guard < 0) return Draw(p, kTeeX, kTeeY, (s.shotIndex >> 1) & 1);
    const float side = s.stones[guard][0] < kTeeX ? 1.0f : -1.0f;
    const float x = kTeeX + side * kBesideGuard;
    return Draw(p, x, kTeeY, x < kTeeX ? 1 : 0);
  }
  const bool mine = (shot.index & 1) == (s.shotIndex & 1);
  const int blocker = Blocker(s, shot.index, shot.x, shot.y);
  if (!mine) {
    if (blocker < 0) return Hit(p, shot.x, shot.y, kTakeoutPower, shot.x < kTeeX ? 1 : 0);
    // Guarded. A stone drifts too little late in its path to tuck behind a
    // guard, so peel an opponent's guard when the rules allow, and
    // otherwise draw for second shot on the open side.
    const bool ownGuard = (blocker & 1) == (s.shotIndex & 1);
    if (!ownGuard && s.shotIndex >= kFreeGuardZoneShots) {
      return Hit(p, s.stones[blocker][0], s.stones[blocker][1], kPeelPower, 0);
    }
    return OpenSideDraw(p, shot);
  }
  if (s.shotIndex <= kLastGuardShot && blocker < 0) {
    const float gy = std::fmin(shot.y + kGuardDistance, kGuardMaxY);
    return Draw(p, shot.x, gy, shot.x < kTeeX ? 1 : 0);
  }
  return OpenSideDraw(p, shot);
}

void PlayOut(GameState* state, const PhysicsCalls& physics, float noise) {
  while (state->shotIndex >= 0 && state->shotIndex < game::kStonesPerEnd) {
    physics.simulate(state, PolicyShot(*state, physics), noise, nullptr, -1);
  }
}

}  // namespace search
