// The sheet and the game, each fact named once with its unit. Every side of
// the project (physics, players, runner, pictures) reads these names; a
// side that computes in single precision converts with float(...) where it
// uses them, so the figure itself is never written twice.
#pragma once

namespace sheet {

// Sheet, m: x across (0 .. kWidth), y along, the thrower at large y.
constexpr double kWidth = 4.75;
constexpr double kCentreX = 2.375;
// The tee, the centre of the house at the far end.
constexpr double kTeeX = kCentreX;
constexpr double kTeeY = 4.88;
constexpr double kHouseRadius = 1.83;  // the 12-foot ring
// The inner rings and the button, as painted; only pictures draw them.
constexpr double kEightFootRadius = 1.22;
constexpr double kFourFootRadius = 0.61;
constexpr double kButtonRadius = 0.15;
constexpr double kBackLineY = 3.05;  // the house's back edge, 1.83 behind the tee
constexpr double kFarHogY = 11.28;   // 6.40 in front of the tee
constexpr double kNearHogY = 33.23;  // 21.95 beyond the far hog line
constexpr double kStoneRadius = 0.145;
// A stone counts for the score, and lies "in the house", while its centre
// is closer to the tee than this: the ring plus the stone's radius.
constexpr double kHouseReach = kHouseRadius + kStoneRadius;
// Where a record keeps a stone that is out of play or not yet thrown: off
// the sheet, so nothing mistakes it for a stone in the house.
constexpr double kOutX = 0.0;
constexpr double kOutY = 0.0;

}  // namespace sheet

namespace game {

constexpr int kStonesPerEnd = 16;  // stones thrown in one end, eight a side
constexpr int kEndSlots = 10;      // ends a game record keeps a score for
// Most points one side can score in an end: all of its stones counting.
constexpr int kMostPointsPerEnd = kStonesPerEnd / 2;
// Shots 0 .. kGuardZoneShots - 1 of an end are under the free guard zone.
constexpr int kGuardZoneShots = 5;
// The execution error of a thrown stone in play, m: the standard deviation
// of its resting point along x and y. Not the stone's radius, which happens
// to be the same figure.
constexpr double kExecutionNoise = 0.145;

}  // namespace game

// Players, records and pictures compute in single precision and convert
// with float(...). These are the floats they have always worked with: a
// figure that rounded differently would move a decision at the edge of the
// house, or a stone in a picture.
static_assert(float(sheet::kWidth) == 4.75f && float(sheet::kCentreX) == 2.375f &&
                  float(sheet::kTeeX) == 2.375f && float(sheet::kTeeY) == 4.88f,
              "the sheet in single precision");
static_assert(float(sheet::kBackLineY) == 3.05f && float(sheet::kFarHogY) == 11.28f,
              "the lines in single precision");
static_assert(float(sheet::kStoneRadius) == 0.145f && float(sheet::kHouseReach) == 1.975f,
              "the stone and the house's reach in single precision");
static_assert(float(game::kExecutionNoise) == 0.145f, "the execution error in single precision");
