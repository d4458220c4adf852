#include "strategy/geometry.h"

float TeeDistanceSquared(float x, float y) {
  const float dx = x - float(sheet::kTeeX);
  const float dy = y - float(sheet::kTeeY);
  const float dx2 = dx * dx;
  const float dy2 = dy * dy;
  return dx2 + dy2;
}

bool IsInHouse(float x, float y) { return TeeDistanceSquared(x, y) < kHouseReachSquared; }
