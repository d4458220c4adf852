// Distances to the tee, as both players judge stones: every step single
// precision (each difference, square and sum rounded to float) and every
// comparison strict, the way the house test is defined.
#pragma once

#include "sim/sheet.h"

// Centre of the house (the tee), m.
constexpr float kTeeX = static_cast<float>(sheet::kTeeX);
constexpr float kTeeY = static_cast<float>(sheet::kTeeY);
// Largest distance of a stone's centre from the tee that still counts as in
// the house (ring plus stone radius), m, and its square in single precision.
constexpr float kHouseRadius = static_cast<float>(sheet::kHouseReach);
constexpr float kHouseRadiusSquared = 3.900625f;  // m^2
static_assert(kHouseRadius == 1.975f, "the house reach as the rules state it");
static_assert(kHouseRadiusSquared == kHouseRadius * kHouseRadius, "square rounded to float");

// Squared distance of (x, y) to the tee, m^2; no square root is taken.
float TeeDistanceSquared(float x, float y);

// True when (x, y) lies strictly inside the house; false on the circle
// itself and for NaN coordinates.
bool IsInHouse(float x, float y);
