// Sheet geometry that the placement rules and the take-out search share.
// Every step is single precision: each difference, square and sum is
// rounded to float, and comparisons are strict. Positions arrive as the
// floats of the game record, and a test near the edge of the house must
// come out the same with every compiler and on every platform, so the
// arithmetic is pinned down to the rounding rather than left to whatever
// wider precision a machine might carry.
#pragma once

#include "sim/sheet.h"

// The square of the house's reach, rounded to float as the tests compute
// it, m^2; the tests never take a square root.
constexpr float kHouseReachSquared = float(sheet::kHouseReach) * float(sheet::kHouseReach);

static_assert(kHouseReachSquared == 3.900625f, "the house's reach squared in single precision");

// Squared distance of (x, y) to the tee, m^2.
float TeeDistanceSquared(float x, float y);

// True when (x, y) lies strictly inside the house's reach; false on the
// circle itself and for NaN coordinates.
bool IsInHouse(float x, float y);
