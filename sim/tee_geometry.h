// Distances to the tee, as both players judge stones. Every step is single
// precision: each difference, square and sum is rounded to float, and
// comparisons are strict. Positions arrive as the floats of the game record,
// and a test near the edge of the house must come out the same with every
// compiler and on every platform, so the arithmetic is pinned down to the
// rounding rather than left to whatever wider precision a machine might
// carry.
#pragma once

#include "sim/sheet.h"

// The tee and the house's reach as the game record's floats, m.
constexpr float kTeeX = float(sheet::kTeeX);
constexpr float kTeeY = float(sheet::kTeeY);
constexpr float kHouseReach = float(sheet::kHouseReach);
// The square of the house's reach, rounded to float as the tests compute
// it, m^2; the tests never take a square root.
constexpr float kHouseReachSquared = kHouseReach * kHouseReach;
static_assert(kHouseReachSquared == 3.900625f, "the house's reach squared in single precision");

// Squared distance of (x, y) to the tee, m^2.
float TeeDistanceSquared(float x, float y);

// True when (x, y) lies strictly inside the house's reach; false on the
// circle itself and for NaN coordinates.
bool IsInHouse(float x, float y);
