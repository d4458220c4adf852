// Small builders and measurements shared by the physics tests.
#pragma once

#include <cmath>
#include <cstring>

#include "korvane/korvane.h"
#include "korvane/motion.h"
#include "korvane/sheet.h"

namespace korvane_test {

constexpr double kTeeX = korvane::kCentreX;
constexpr double kTeeY = korvane::kTeeY;

// An end with nothing thrown yet; unthrown slots at the reset position.
inline GameState EmptyEnd(int shotIndex = 0) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.shotIndex = shotIndex;
  return s;
}

inline ShotPos Target(double x, double y, int curl) {
  ShotPos p;
  std::memset(&p, 0, sizeof p);
  p.x = static_cast<float>(x);
  p.y = static_cast<float>(y);
  p.curl = static_cast<uint8_t>(curl);
  return p;
}

inline ShotVec Draw(double x, double y, int curl) {
  ShotVec v;
  CreateShot(Target(x, y, curl), &v);
  return v;
}

inline ShotVec Hit(double x, double y, double power, int curl) {
  ShotVec v;
  CreateHitShot(Target(x, y, curl), static_cast<float>(power), &v);
  return v;
}

// The free motion of a delivery as it leaves the near hog line.
inline korvane::Motion Delivery(ShotVec v) {
  return korvane::MakeMotion(0, korvane::kReleaseX, korvane::kReleaseY, v.vx, v.vy,
                             korvane::CurlBeta(v.curl));
}

// Time at which a delivery's centre first reaches y (moving toward the house).
inline double TimeAtY(const korvane::Motion& m, double y) {
  double lo = m.t0, hi = m.tStop;
  for (int k = 0; k < 100; ++k) {
    const double mid = 0.5 * (lo + hi);
    if (korvane::StateAt(m, mid).y > y)
      lo = mid;
    else
      hi = mid;
  }
  return 0.5 * (lo + hi);
}

// Signed sideways distance of (x, y) from the straight release line of m, m;
// positive to the right of the direction of travel seen from above.
inline double Drift(const korvane::Motion& m, double x, double y) {
  const double rx = x - m.x0, ry = y - m.y0;
  return rx * m.dirY - ry * m.dirX;
}

inline void Put(GameState* s, int i, double x, double y) {
  s->stones[i][0] = static_cast<float>(x);
  s->stones[i][1] = static_cast<float>(y);
}

inline bool IsOut(const GameState& s, int i) {
  return s.stones[i][0] == 0.0f && s.stones[i][1] == 0.0f;
}

}  // namespace korvane_test
