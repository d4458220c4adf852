// Sheet geometry that the placement rules and the take-out search share.
// Every step is single precision, as the rules are defined: each difference,
// square and sum is rounded to float, and comparisons are strict.
#pragma once

// Centre of the house (the tee), m.
constexpr float kTeeX = 2.375f;
constexpr float kTeeY = 4.88f;
// Largest distance of a stone's centre from the tee that still counts as in
// the house (ring plus stone radius), m, and its square in single precision.
constexpr float kHouseRadius = 1.975f;
constexpr float kHouseRadiusSquared = 3.900625f;  // m^2
static_assert(kHouseRadiusSquared == kHouseRadius * kHouseRadius, "square rounded to float");

// Squared distance of (x, y) to the tee, m^2; no square root is taken.
float TeeDistanceSquared(float x, float y);

// True when (x, y) lies strictly inside the house; false on the circle
// itself and for NaN coordinates.
bool IsInHouse(float x, float y);
