#include "korvane/sweep.h"

#include <cmath>

namespace korvane {
namespace {

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Squared distance from point p to segment [a, b].
double PointSegment2(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  const double s = len2 > 0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / len2) : 0.0;
  const double ex = ax + s * dx - px, ey = ay + s * dy - py;
  return ex * ex + ey * ey;
}

// Sign of the cross product (b - a) x (c - a).
double Orient(double ax, double ay, double bx, double by, double cx, double cy) {
  return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

// Whether p's segment is a point: a stone at rest, as most are.
bool IsPoint(const Motion& m) { return m.segX0 == m.segX1 && m.segY0 == m.segY1; }

// SegmentDistance from p's point to q's segment, to the bit: a point
// never properly crosses a segment, and of the distances from the segment's
// ends to the point the one from the point to the segment is no larger.
double PointDistance(const Motion& p, const Motion& q) {
  double d = PointSegment2(q.segX0, q.segY0, p.segX0, p.segY0, p.segX1, p.segY1);
  d = std::fmin(d, PointSegment2(q.segX1, q.segY1, p.segX0, p.segY0, p.segX1, p.segY1));
  d = std::fmin(d, PointSegment2(p.segX0, p.segY0, q.segX0, q.segY0, q.segX1, q.segY1));
  return std::sqrt(d);
}

}  // namespace

double SegmentDistance(double p0x, double p0y, double p1x, double p1y, double q0x, double q0y,
                       double q1x, double q1y) {
  // Proper crossing: distance 0. Otherwise the closest pair involves an end point.
  const double o1 = Orient(p0x, p0y, p1x, p1y, q0x, q0y);
  const double o2 = Orient(p0x, p0y, p1x, p1y, q1x, q1y);
  const double o3 = Orient(q0x, q0y, q1x, q1y, p0x, p0y);
  const double o4 = Orient(q0x, q0y, q1x, q1y, p1x, p1y);
  if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) {
    return 0.0;
  }
  double d = PointSegment2(p0x, p0y, q0x, q0y, q1x, q1y);
  d = std::fmin(d, PointSegment2(p1x, p1y, q0x, q0y, q1x, q1y));
  d = std::fmin(d, PointSegment2(q0x, q0y, p0x, p0y, p1x, p1y));
  d = std::fmin(d, PointSegment2(q1x, q1y, p0x, p0y, p1x, p1y));
  return std::sqrt(d);
}

bool SweepsMayMeet(const Motion& a, const Motion& b, double reach) {
  // Boxes first: most pairs lie far apart and need no segment test.
  if (a.minX > b.maxX + reach || b.minX > a.maxX + reach || a.minY > b.maxY + reach ||
      b.minY > a.maxY + reach) {
    return false;
  }
  const double d = IsPoint(b)   ? PointDistance(b, a)
                   : IsPoint(a) ? PointDistance(a, b)
                                : SegmentDistance(a.segX0, a.segY0, a.segX1, a.segY1, b.segX0,
                                                  b.segY0, b.segX1, b.segY1);
  // A NaN distance (from a record that is not a number) must not rule out anything.
  return !(d > reach + a.sweep + b.sweep);
}

void SweepBounds(const Motion& m, double* minX, double* maxX, double* minY, double* maxY) {
  *minX = m.minX;
  *maxX = m.maxX;
  *minY = m.minY;
  *maxY = m.maxY;
}

}  // namespace korvane
