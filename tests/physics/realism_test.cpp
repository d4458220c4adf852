// The model held to published curling figures, with noise 0. Each test
// prints what it measured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "helpers.h"
#include "korvane/field.h"

using namespace korvane_test;
using korvane::Kinematics;
using korvane::Motion;
using korvane::StateAt;

namespace {

constexpr double kGravity = 9.81;  // m/s^2
constexpr double kFarHogY = 11.28;
constexpr double kNearHogY = 33.23;

Motion TeeDraw(int curl) { return Delivery(Draw(kTeeX, kTeeY, curl)); }

// The delivery along the draw's release line whose hog-to-hog time is `t`.
Motion WithHogToHogTime(const Motion& draw, double t) {
  double lo = draw.speed, hi = 6.0;
  for (int k = 0; k < 80; ++k) {
    const double mid = 0.5 * (lo + hi);
    const Motion m =
        korvane::MakeMotion(0, draw.x0, draw.y0, mid * draw.dirX, mid * draw.dirY, draw.beta);
    if (TimeAtY(m, kFarHogY) > t)
      lo = mid;
    else
      hi = mid;
  }
  return korvane::MakeMotion(0, draw.x0, draw.y0, lo * draw.dirX, lo * draw.dirY, draw.beta);
}

}  // namespace

TEST(Realism, FrictionCoefficientIsThatOfPebbledIce) {
  for (double y : {2.0, 4.88, 10.0}) {
    const Motion m = Delivery(Draw(kTeeX, y, 0));
    const Kinematics a = StateAt(m, 2.0), b = StateAt(m, 3.0);
    const double mu = (std::hypot(a.vx, a.vy) - std::hypot(b.vx, b.vy)) / kGravity;
    std::printf("friction coefficient %.4f (target y %.2f)\n", mu, y);
    EXPECT_GE(mu, 0.006);
    EXPECT_LE(mu, 0.016);
  }
}

TEST(Realism, DrawToTheTeeHasTheTimingsOfPlay) {
  for (int curl = 0; curl <= 1; ++curl) {
    const Motion m = TeeDraw(curl);
    const double hogToHog = TimeAtY(m, kFarHogY);
    const double atRest = m.tStop;
    std::printf("curl %d: release %.3f m/s, hog to hog %.2f s, at rest after %.2f s\n", curl,
                m.speed, hogToHog, atRest);
    EXPECT_GE(m.speed, 2.0);
    EXPECT_LE(m.speed, 2.3);
    EXPECT_GE(hogToHog, 13.0);
    EXPECT_LE(hogToHog, 15.0);
    EXPECT_GE(atRest, 25.0);
    EXPECT_LE(atRest, 29.0);
  }
}

TEST(Realism, DrawCurlsAMetreMostlyAfterTheFarHogLine) {
  for (int curl = 0; curl <= 1; ++curl) {
    const Motion m = TeeDraw(curl);
    const Kinematics hog = StateAt(m, TimeAtY(m, kFarHogY));
    const double total = Drift(m, kTeeX, kTeeY);
    const double beforeHog = Drift(m, hog.x, hog.y);
    std::printf("curl %d: drift %.3f m, %.0f %% of it after the far hog line\n", curl, total,
                100.0 * (1.0 - beforeHog / total));
    EXPECT_GE(std::fabs(total), 0.8);
    EXPECT_LE(std::fabs(total), 1.5);
    EXPECT_GE(std::fabs(total - beforeHog), 0.5 * std::fabs(total));
    // Flag 0 drifts toward smaller x (to the thrower's right), flag 1 toward larger x.
    EXPECT_LT(m.dirX * (curl == 0 ? -1 : 1), 0);
  }
}

TEST(Realism, HeavierStonesCurlLess) {
  for (int curl = 0; curl <= 1; ++curl) {
    const Motion draw = TeeDraw(curl);
    const Motion hit = WithHogToHogTime(draw, 11.0);
    const Kinematics atTee = StateAt(hit, TimeAtY(hit, kTeeY));
    const double ratio = Drift(hit, atTee.x, atTee.y) / Drift(draw, kTeeX, kTeeY);
    std::printf("board weight (%.3f m/s): %.2f of the draw's curl at the tee line\n", hit.speed,
                ratio);
    EXPECT_GE(ratio, 0.25);
    EXPECT_LE(ratio, 2.0 / 3.0);
  }
}

namespace {

// Two bodies: a mover at (x, y) with velocity (vx, vy), a stone at rest at (sx, sy).
korvane::Field TwoStones(double x, double y, double vx, double vy, double sx, double sy) {
  korvane::Field f;
  korvane::PlaceAtRest(&f.body[1], sx, sy);
  f.body[0].present = true;
  f.body[0].moved = true;
  f.body[0].motion = korvane::MakeMotion(0, x, y, vx, vy, 0);
  return f;
}

// Velocities just after the first contact.
void AfterFirstContact(const korvane::Field& start, Kinematics* a, Kinematics* b) {
  korvane::Field f = start;
  korvane::RunToRest(&f, nullptr);
  const double t = f.body[1].motion.t0 + 1e-9;
  *a = StateAt(f.body[0].motion, t);
  *b = StateAt(f.body[1].motion, t);
}

}  // namespace

TEST(Collision, KeepsMomentumAndGainsNoEnergy) {
  for (double offset : {0.0, 0.05, 0.14, 0.25}) {
    const korvane::Field f = TwoStones(2.375 + offset, 11.0, 0, -0.8, 2.375, 9.0);
    Kinematics a, b;
    AfterFirstContact(f, &a, &b);
    // Momentum at contact: the mover has slowed by friction on the way.
    korvane::Field run = f;
    korvane::RunToRest(&run, nullptr);
    const Kinematics in = StateAt(f.body[0].motion, run.body[1].motion.t0);
    EXPECT_NEAR(a.vx + b.vx, in.vx, 1e-6);
    EXPECT_NEAR(a.vy + b.vy, in.vy, 1e-6);
    const double eIn = in.vx * in.vx + in.vy * in.vy;
    const double eOut = a.vx * a.vx + a.vy * a.vy + b.vx * b.vx + b.vy * b.vy;
    EXPECT_LE(eOut, eIn + 1e-9);
    EXPECT_GT(eOut, 0.8 * eIn);
  }
}

TEST(Collision, NoseHitStopsTheShooter) {
  const korvane::Field f = TwoStones(2.375, 11.0, 0, -0.8, 2.375, 9.0);
  Kinematics a, b;
  AfterFirstContact(f, &a, &b);
  const double ratio = std::hypot(a.vx, a.vy) / std::hypot(b.vx, b.vy);
  std::printf("nose hit: shooter keeps %.3f of the struck stone's speed\n", ratio);
  EXPECT_LT(ratio, 0.06);
}

TEST(Collision, ObliqueHitSendsStonesApartAtNearlyARightAngle) {
  const korvane::Field f = TwoStones(2.375 + 0.15, 11.0, 0, -0.8, 2.375, 9.0);
  Kinematics a, b;
  AfterFirstContact(f, &a, &b);
  const double cosine =
      (a.vx * b.vx + a.vy * b.vy) / (std::hypot(a.vx, a.vy) * std::hypot(b.vx, b.vy));
  const double degrees = std::acos(cosine) * 180.0 / 3.141592653589793;
  std::printf("oblique hit: stones part at %.1f degrees\n", degrees);
  EXPECT_GT(degrees, 80.0);
  EXPECT_LE(degrees, 90.0);
}

TEST(Collision, StruckStoneStrikesTheNext) {
  // A stone frozen to another: a nose hit moves the far one, not the near one.
  GameState s = EmptyEnd(2);
  Put(&s, 0, 2.375, 6.0);
  Put(&s, 1, 2.375, 6.0 - 0.2905);
  Simulation(&s, Hit(2.375, 6.0, 3.0, 0), 0.0f, nullptr, -1);
  EXPECT_LT(s.stones[1][1], 6.0 - 0.2905 - 0.5);
  EXPECT_NEAR(s.stones[0][1], 6.0, 0.3);
}

TEST(Collision, TwoMovingStonesMeetWhateverTheirOrder) {
  // The same two crossing stones under swapped indices end swapped.
  korvane::Field a, b;
  for (int k = 0; k < 2; ++k) {
    korvane::Field& f = k == 0 ? a : b;
    const int p = k == 0 ? 0 : 5, q = k == 0 ? 5 : 0;
    f.body[p].present = f.body[q].present = true;
    f.body[p].motion = korvane::MakeMotion(0, 1.0, 6.0, 1.0, -0.2, 0.08);
    f.body[q].motion = korvane::MakeMotion(0, 3.5, 6.1, -1.0, -0.25, 0);
    korvane::RunToRest(&f, nullptr);
  }
  EXPECT_EQ(a.collisions, 1);
  double ax, ay, bx, by;
  korvane::RestPoint(a.body[0].motion, &ax, &ay);
  korvane::RestPoint(b.body[5].motion, &bx, &by);
  EXPECT_NEAR(ax, bx, 1e-9);
  EXPECT_NEAR(ay, by, 1e-9);
}

TEST(Collision, StoneLeavingTheSheetIsGoneForTheStonesBehind) {
  // A stone knocked through the side line would, if it stayed, hit the one
  // standing just outside the line.
  korvane::Field f = TwoStones(0.5, 5.0, -2.0, 0, -0.2, 5.0);
  korvane::RunToRest(&f, nullptr);
  EXPECT_EQ(f.collisions, 0);
  EXPECT_FALSE(f.body[0].present);
  EXPECT_NEAR(f.body[0].goneAt, (0.5 - 0.145) / 2.0, 0.01);
}
