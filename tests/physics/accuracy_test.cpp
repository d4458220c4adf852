// CreateShot and CreateHitShot against the motion they are meant to invert.
#include <gtest/gtest.h>

#include <cmath>

#include "helpers.h"

using namespace korvane_test;

namespace {

constexpr double kMaxMiss = 0.001;  // m

// Targets over the whole range a draw may be asked for: 0 <= x <= 4.75,
// 0 <= y <= 30, edges included.
template <typename Check>
void ForEachTarget(Check check) {
  for (int ix = 0; ix <= 19; ++ix) {
    for (int iy = 0; iy <= 30; ++iy) {
      for (int curl = 0; curl <= 1; ++curl) check(4.75 * ix / 19.0, 30.0 * iy / 30.0, curl);
    }
  }
}

}  // namespace

TEST(CreateShot, RestsWithinOneMillimetreOverTheWholeRange) {
  double worst = 0;
  ForEachTarget([&](double x, double y, int curl) {
    ShotVec v;
    ASSERT_EQ(CreateShot(Target(x, y, curl), &v), 1);
    EXPECT_EQ(v.curl, curl);
    double rx, ry;
    korvane::RestPoint(Delivery(v), &rx, &ry);
    worst = std::fmax(worst, std::fmax(std::fabs(rx - x), std::fabs(ry - y)));
  });
  EXPECT_LT(worst, kMaxMiss);
}

TEST(CreateShot, PlayedOnAnEmptySheetRestsOnTheTarget) {
  for (double x : {0.6, 1.5, 2.375, 3.2, 4.1}) {
    for (double y : {3.2, 4.88, 7.0, 10.9}) {
      for (int curl = 0; curl <= 1; ++curl) {
        GameState s = EmptyEnd();
        ASSERT_EQ(Simulation(&s, Draw(x, y, curl), 0.0f, nullptr, -1), 1);
        EXPECT_NEAR(s.stones[0][0], x, kMaxMiss) << x << "," << y << " curl " << curl;
        EXPECT_NEAR(s.stones[0][1], y, kMaxMiss) << x << "," << y << " curl " << curl;
      }
    }
  }
}

TEST(CreateShot, ReadsOnlyTheCurlByteOfTheTarget) {
  ShotPos p = Target(2.0, 5.0, 1);
  p.padding[0] = 0xAB;
  p.padding[2] = 0x7F;
  ShotVec a, b;
  CreateShot(p, &a);
  CreateShot(Target(2.0, 5.0, 1), &b);
  EXPECT_EQ(a.vx, b.vx);
  EXPECT_EQ(a.vy, b.vy);
}

TEST(CreateShot, UnreachableTargetGivesNearestDrawAndZero) {
  ShotVec v;
  EXPECT_EQ(CreateShot(Target(2.375, -5000.0, 0), &v), 0);
  EXPECT_NEAR(std::hypot(v.vx, v.vy), korvane::kMaxLaunchSpeed, 1e-4);
  EXPECT_LT(v.vy, 0);
  for (float huge : {3.4e38f, -3.4e38f, 1e20f}) {
    EXPECT_EQ(CreateShot(Target(huge, huge, 0), &v), 0);
    EXPECT_NEAR(std::hypot(v.vx, v.vy), korvane::kMaxLaunchSpeed, 1e-4) << huge;
    EXPECT_EQ(CreateHitShot(Target(huge, -huge, 1), 8.0f, &v), 0);
    EXPECT_TRUE(std::isfinite(v.vx) && std::isfinite(v.vy)) << huge;
  }
  EXPECT_EQ(CreateShot(Target(NAN, 4.0, 1), &v), 0);
  EXPECT_TRUE(std::isfinite(v.vx) && std::isfinite(v.vy));
  EXPECT_EQ(v.curl, 1);
}

TEST(CreateHitShot, PassesWithinOneMillimetreWithThePowerLeft) {
  double worst = 0;
  for (double power : {0.5, 4.0, 8.0, 16.0, 30.0}) {
    ForEachTarget([&](double x, double y, int curl) {
      ShotVec v;
      ASSERT_EQ(CreateHitShot(Target(x, y, curl), static_cast<float>(power), &v), 1);
      const korvane::Motion m = Delivery(v);
      // Speed with `power` metres of travel left: v^2 = 2 a power.
      const double speed = std::sqrt(2.0 * korvane::kDeceleration * power);
      ASSERT_GT(m.speed, speed);
      const korvane::Kinematics k = korvane::StateAt(m, (m.speed - speed) / korvane::kDeceleration);
      worst = std::fmax(worst, std::hypot(k.x - x, k.y - y));
    });
  }
  EXPECT_LT(worst, kMaxMiss);
}

TEST(CreateHitShot, ZeroPowerIsADrawToTheTarget) {
  const ShotVec hit = Hit(1.9, 5.5, 0.0, 1);
  const ShotVec draw = Draw(1.9, 5.5, 1);
  EXPECT_NEAR(hit.vx, draw.vx, 1e-5);
  EXPECT_NEAR(hit.vy, draw.vy, 1e-5);
}

TEST(CreateHitShot, MorePowerIsAFasterShot) {
  EXPECT_GT(std::hypot(Hit(2.375, 4.88, 16, 0).vx, Hit(2.375, 4.88, 16, 0).vy),
            std::hypot(Hit(2.375, 4.88, 8, 0).vx, Hit(2.375, 4.88, 8, 0).vy));
}

TEST(CreateHitShot, BadPowerOrTargetWritesADrawAndZero) {
  ShotVec v;
  EXPECT_EQ(CreateHitShot(Target(2.0, 5.0, 0), NAN, &v), 0);
  EXPECT_TRUE(std::isfinite(v.vx) && std::isfinite(v.vy));
  EXPECT_EQ(CreateHitShot(Target(2.0, 5.0, 0), -3.0f, &v), 0);
  EXPECT_EQ(CreateHitShot(Target(INFINITY, 5.0, 0), 8.0f, &v), 0);
  EXPECT_TRUE(std::isfinite(v.vx) && std::isfinite(v.vy));
  EXPECT_EQ(CreateHitShot(Target(2.0, 5.0, 0), 1e30f, &v), 0);
  EXPECT_LE(std::hypot(v.vx, v.vy), korvane::kMaxLaunchSpeed * 1.0001);
  EXPECT_EQ(CreateShot(Target(2.0, 5.0, 0), nullptr), 0);
  EXPECT_EQ(CreateHitShot(Target(2.0, 5.0, 0), 8.0f, nullptr), 0);
}
