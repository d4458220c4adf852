// Sheet geometry and the physical constants of the stone model, each named
// once with its unit. See README.md for where the figures come from.
#pragma once

namespace korvane {

// Sheet, m: x across (0 .. kSheetWidth), y along, the thrower at large y.
constexpr double kSheetWidth = 4.75;
constexpr double kCentreX = 2.375;
constexpr double kTeeY = 4.88;
constexpr double kHouseRadius = 1.83;  // 12-foot ring
constexpr double kBackLineY = 3.05;
constexpr double kFarHogY = 11.28;
constexpr double kNearHogY = 33.23;
// The near end mirrors the far one: tee 6.40 m and back line 8.23 m behind
// the near hog line. Only a stone thrown backwards ever gets there.
constexpr double kNearBackLineY = kNearHogY + (kFarHogY - kTeeY) + (kTeeY - kBackLineY);
constexpr double kStoneRadius = 0.145;
constexpr double kHouseReach =
    kHouseRadius + kStoneRadius;  // centre closer than this: in the house

// Where a stone out of play is stored: off the sheet and outside the house.
constexpr double kOutX = 0.0;
constexpr double kOutY = 0.0;

// Release point of every delivery: the near hog line on the centre line.
constexpr double kReleaseX = kCentreX;
constexpr double kReleaseY = kNearHogY;

constexpr int kStoneCount = 16;
constexpr int kStonesPerEnd = 16;
constexpr int kEndSlots = 10;
constexpr int kGuardZoneShots = 5;  // shots 0 .. 4 are under the free guard zone

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
