// CreateShot and CreateHitShot against the motion they are meant to invert.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "helpers.h"
#include "korvane/rules.h"
#include "korvane/sweep.h"

using namespace korvane_test;

namespace {

constexpr double kMaxMiss = 0.001;  // m

// Targets over the whole range a draw may be asked for, edges included:
// 20 values of x in 0 .. 4.75, 31 of y in 0 .. 30, both curls.
template <typename Check>
void ForEachTarget(Check check) {
  for (int k = 0; k < 20 * 31 * 2; ++k) check(4.75 * (k / 62) / 19.0, k / 2 % 31, k % 2);
}

}  // namespace

// The closed form covers targets the rules would remove; those in play are
// also thrown, so that the collision loop cannot move a lone stone.
TEST(CreateShot, RestsWithinOneMillimetreOverTheWholeRange) {
  ForEachTarget([](double x, double y, int curl) {
    ShotVec v;
    ASSERT_EQ(CreateShot(Target(x, y, curl), &v), 1);
    const auto [rx, ry] = RestOf(Delivery(v));
    EXPECT_LT(std::hypot(rx - x, ry - y), kMaxMiss) << x << "," << y << " curl " << curl;
    if (!korvane::InPlay(x, y)) return;
    GameState s = EmptyEnd();
    ASSERT_EQ(Simulation(&s, v, 0.0f, nullptr, -1), 1);
    EXPECT_LT(std::hypot(s.stones[0][0] - x, s.stones[0][1] - y), kMaxMiss) << x << "," << y;
  });
}

// Power 0 is a draw: the stone then rests on the target.
TEST(CreateHitShot, PassesWithinOneMillimetreWithThePowerLeft) {
  for (double power : {0.0, 0.5, 4.0, 16.0, 30.0}) {
    ForEachTarget([&](double x, double y, int curl) {
      ShotVec v;
      ASSERT_EQ(CreateHitShot(Target(x, y, curl), static_cast<float>(power), &v), 1);
      const korvane::Motion m = Delivery(v);
      const double speed = korvane::SpeedForTravel(power);
      const korvane::Kinematics k = korvane::StateAt(m, korvane::TimeAtSpeed(m, speed));
      EXPECT_LT(std::hypot(k.x - x, k.y - y), kMaxMiss) << x << "," << y << " power " << power;
    });
  }
}

TEST(CreateShot, BadTargetOrPowerGivesAFiniteBoundedVectorAndZero) {
  const std::tuple<float, float, float> cases[] = {
      {2.375f, -5000.0f, 0.0f}, {3.4e38f, 3.4e38f, 0.0f}, {-3.4e38f, 1e20f, 8.0f},
      {NAN, 4.0f, 8.0f},        {INFINITY, 5.0f, 8.0f},   {2.0f, 5.0f, NAN},
      {2.0f, 5.0f, -3.0f},      {2.0f, 5.0f, 1e30f}};
  for (const auto& [x, y, power] : cases) {
    ShotVec v;
    const int ok =
        power == 0.0f ? CreateShot(Target(x, y, 1), &v) : CreateHitShot(Target(x, y, 1), power, &v);
    EXPECT_EQ(ok, 0) << x << "," << y << " power " << power;
    EXPECT_LE(std::hypot(v.vx, v.vy), korvane::kMaxLaunchSpeed * 1.0001);
    EXPECT_EQ(v.curl, 1);
    // A finite target out of reach gets the full-speed draw along its line.
    if (power == 0.0f) {
      EXPECT_NEAR(std::hypot(v.vx, v.vy), korvane::kMaxLaunchSpeed, 1e-4);
    }
  }
  EXPECT_EQ(CreateShot(Target(2.0, 5.0, 0), nullptr), 0);
  EXPECT_EQ(CreateHitShot(Target(2.0, 5.0, 0), 8.0f, nullptr), 0);
}

// The collision search rules pairs out by the swept region alone: every
// point of the remaining path must lie within Motion::sweep of its segment.
TEST(Sweep, EveryPointOfThePathLiesInTheSweptRegion) {
  for (double speed : {0.05, 0.3, 1.0, 2.1, 4.0, 10.0}) {
    for (double beta : {-korvane::kCurlRate, 0.0, korvane::kCurlRate}) {
      for (double heading : {-1.5, -0.3, 0.0, 2.0}) {
        const korvane::Motion m = korvane::MakeMotion(1.0, 2.0, 20.0, speed * std::sin(heading),
                                                      -speed * std::cos(heading), beta);
        double worst = 0;
        for (int k = 0; k <= 2000; ++k) {
          const double t = m.t0 + (m.tStop - m.t0) * k / 2000.0 * (k % 2 ? 1.0 : 0.999999);
          const korvane::Kinematics p = korvane::StateAt(m, t);
          const double d =
              korvane::SegmentDistance(p.x, p.y, p.x, p.y, m.segX0, m.segY0, m.segX1, m.segY1);
          worst = std::fmax(worst, d - m.sweep);
        }
        EXPECT_LE(worst, 1e-12) << speed << " " << beta << " " << heading;
      }
    }
  }
}
