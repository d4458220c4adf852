// Small builders and measurements shared by the physics tests.
#pragma once

#include "korvane/field.h"
#include "korvane/korvane.h"
#include "korvane/motion.h"
#include "korvane/sheet.h"

namespace korvane_test {

// An end with nothing thrown yet; unthrown slots at the reset position.
inline GameState EmptyEnd(int shotIndex = 0) {
  GameState s{};
  s.shotIndex = shotIndex;
  return s;
}

inline ShotPos Target(double x, double y, int curl) {
  return ShotPos{static_cast<float>(x), static_cast<float>(y), static_cast<uint8_t>(curl), {}};
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

// Where a motion comes to rest.
struct Point {
  double x, y;
};
inline Point RestOf(const korvane::Motion& m) {
  Point p;
  korvane::RestPoint(m, &p.x, &p.y);
  return p;
}

// Sets stone 0 of the field moving from (x, y) at (vx, vy), curling at beta.
inline void Launch(korvane::Field* f, double x, double y, double vx, double vy, double beta = 0) {
  f->body[0].present = f->body[0].moved = true;
  f->body[0].motion = korvane::MakeMotion(0, x, y, vx, vy, beta);
}

inline void Put(GameState* s, int i, double x, double y) {
  s->stones[i][0] = static_cast<float>(x);
  s->stones[i][1] = static_cast<float>(y);
}

// lo <= value <= hi, for EXPECT_PRED3, whose failure shows all three.
inline bool Within(double value, double lo, double hi) { return value >= lo && value <= hi; }

inline bool IsOut(const GameState& s, int i) {
  return s.stones[i][0] == 0.0f && s.stones[i][1] == 0.0f;
}

}  // namespace korvane_test
