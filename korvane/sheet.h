// The physical constants of the stone model and the few sheet figures only
// the physics needs, each named once with its unit; the sheet and the game
// themselves are named in sim/sheet.h. See README.md for where the figures
// come from.
#pragma once

#include "sim/sheet.h"

namespace korvane {

// The near end mirrors the far one: tee 6.40 m and back line 8.23 m behind
// the near hog line. Only a stone thrown backwards ever gets there.
constexpr double kNearBackLineY =
    sheet::kNearHogY + (sheet::kFarHogY - sheet::kTeeY) + (sheet::kTeeY - sheet::kBackLineY);

// Release point of every delivery: the near hog line on the centre line.
constexpr double kReleaseX = sheet::kCentreX;
constexpr double kReleaseY = sheet::kNearHogY;

// Friction, measured on rink ice (Yang et al. 2023, Lubricants 11:370):
// mu = c (v / 1 m/s)^-p for v above kFrictionFloorSpeed, constant below it.
constexpr double kGravity = 9.81;               // m/s^2
constexpr double kFrictionAtOneMetre = 0.0085;  // mu at 1 m/s
constexpr double kFrictionExponent = 0.25;      // p
constexpr double kFrictionFloorSpeed = 0.2;     // m/s, v_c
// Curl: the heading turns by kCurlRate radians per e-fold of the path still
// ahead, theta = beta ln(L0 / L), so beta is dimensionless (see README.md).
constexpr double kCurlRate = 0.04;
// Coefficient of restitution of granite on granite along the line of centres.
constexpr double kRestitution = 0.90;

// Fastest delivery the library plays, m/s: far beyond any human throw; a
// faster vector is scaled down to this speed.
constexpr double kMaxLaunchSpeed = 10.0;

}  // namespace korvane
