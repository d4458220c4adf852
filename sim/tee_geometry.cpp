#include "sim/tee_geometry.h"

float TeeDistanceSquared(float x, float y) {
  const float dx = x - kTeeX;
  const float dy = y - kTeeY;
  const float dx2 = dx * dx;
  const float dy2 = dy * dy;
  return dx2 + dy2;
}

bool IsInHouse(float x, float y) { return TeeDistanceSquared(x, y) < kHouseReachSquared; }
