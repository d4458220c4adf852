#include "korvane/motion.h"

#include <cmath>

#include "korvane/sheet.h"

namespace korvane {
namespace {

constexpr double kE = 2.718281828459045;
constexpr double kPi = 3.141592653589793;
// Targets farther than this from the release point, m, are out of reach of
// any admissible speed; they are solved by direction alone.
constexpr double kFarTarget = 1e6;
// Headroom on the sweep bound for rounding, relative.
constexpr double kSweepMargin = 1.0 + 1e-9;

// The powers v^(1+p) and v^(2+p) are written with square roots, which IEEE
// arithmetic rounds the same way on every platform.
static_assert(kFrictionExponent == 0.25, "Pow1p and Pow2p assume p = 1/4");
constexpr double kP = kFrictionExponent;
double Pow1p(double v) { return v * std::sqrt(std::sqrt(v)); }
double Pow2p(double v) { return v * v * std::sqrt(std::sqrt(v)); }

// k = g mu(1 m/s): a(v) = k v^-p above the floor speed.
constexpr double kK = kGravity * kFrictionAtOneMetre;
constexpr double kVc = kFrictionFloorSpeed;
const double kFloorDecel = kK / std::sqrt(std::sqrt(kVc));  // a_c = k v_c^-p
const double kVc2p = Pow2p(kVc);
const double kVc1p = Pow1p(kVc);
// Path left at the floor speed, v_c^2 / (2 a_c) = v_c^(2+p) / (2 k).
const double kFloorTravel = kVc * kVc / (2.0 * kFloorDecel);

constexpr double kInvTravelScale = 1.0 / ((2.0 + kP) * kK);
const double kInvFloorScale = 1.0 / (2.0 * kFloorDecel);

// Launch velocity v0 e0 for the complex quantity Q = L0 e0.
// Q is at most the path of the fastest launch, so no square overflows.
void VelocityFromTravel(double qr, double qi, double* vx, double* vy) {
  const double q = std::sqrt(qr * qr + qi * qi);
  if (!(q > 0)) {
    *vx = 0;
    *vy = 0;
    return;
  }
  const double s = SpeedForTravel(q) / q;
  *vx = qr * s;
  *vy = qi * s;
}

// Box around the region within m.sweep of the segment.
void SetSweepBox(Motion* m) {
  m->minX = (m->segX0 < m->segX1 ? m->segX0 : m->segX1) - m->sweep;
  m->maxX = (m->segX0 > m->segX1 ? m->segX0 : m->segX1) + m->sweep;
  m->minY = (m->segY0 < m->segY1 ? m->segY0 : m->segY1) - m->sweep;
  m->maxY = (m->segY0 > m->segY1 ? m->segY0 : m->segY1) + m->sweep;
}

// The region the moving stone's centre sweeps, from z0 = (x0, y0) to its
// rest point c: a segment and a distance from it (sweep) that holds the
// whole spiral path. In polar form about c, r |sin phi| <= r |beta|
// ln(r0 / r) <= |beta| r0 / e; beyond a quarter turn (r < r0 exp(-pi /
// (2 |beta|))) the point is within r of c.
void SetSweptRegion(Motion* m) {
  const double r0 = m->travel / std::sqrt(1.0 + m->beta * m->beta);
  const double absBeta = std::fabs(m->beta);
  const double spiral = absBeta * r0 / kE;
  m->segX0 = m->x0;
  m->segY0 = m->y0;
  m->segX1 = m->restX;
  m->segY1 = m->restY;
  if (absBeta > 0.25) {
    m->sweep = std::fmax(spiral, r0 * std::exp(-0.5 * kPi / absBeta)) * kSweepMargin;
    SetSweepBox(m);
    return;
  }
  // For |beta| <= 1/4 (ours is 0.04) that tail is far inside the spiral's
  // bound, and while phi < pi/2 the path lies on one side of the segment:
  // with K = 1 / (1 - i beta), cross(c - z0, z - z0) = -|K|^2 L0 L sin(phi),
  // to the right of it for beta > 0. So the segment moves half the bulge
  // that way and the sweep is the other half.
  const double dx = m->restX - m->x0, dy = m->restY - m->y0;
  const double len = std::sqrt(dx * dx + dy * dy);
  const double half = 0.5 * spiral;
  if (len > 0) {
    const double side = m->beta > 0 ? half / len : -half / len;
    m->segX0 += side * dy;
    m->segY0 -= side * dx;
    m->segX1 += side * dy;
    m->segY1 -= side * dx;
  }
  m->sweep = half * kSweepMargin;
  SetSweepBox(m);
}

}  // namespace

double CurlBeta(unsigned char curl) {
  // Viewed from above (x to the right, y up), flag 0 spins clockwise and its
  // heading turns clockwise: toward smaller x on the way to the house.
  return curl == 0 ? -kCurlRate : kCurlRate;
}

double Deceleration(double speed) {
  return speed > kVc ? kK / std::sqrt(std::sqrt(speed)) : kFloorDecel;
}

double TravelLeft(double speed) {
  if (!(speed > kVc)) return speed * speed / (2.0 * kFloorDecel);
  return (Pow2p(speed) + 0.5 * kP * kVc2p) / ((2.0 + kP) * kK);
}

double SpeedForTravel(double travel) {
  if (!(travel > kFloorTravel)) return std::sqrt(2.0 * kFloorDecel * (travel > 0 ? travel : 0.0));
  return std::pow((2.0 + kP) * kK * travel - 0.5 * kP * kVc2p, 1.0 / (2.0 + kP));
}

double TimeAtSpeed(const Motion& m, double v) {
  if (m.speed > kVc && v >= kVc) return m.t0 + (m.speedPow - Pow1p(v)) / ((1.0 + kP) * kK);
  const double floor = m.speed < kVc ? m.speed : kVc;
  return m.tFloor + (floor - v) / kFloorDecel;
}

void SetAtRest(Motion* m, double t0, double x, double y) {
  m->t0 = t0;
  m->x0 = x;
  m->y0 = y;
  m->tFloor = m->tStop = t0;
  m->restX = m->segX0 = m->segX1 = x;
  m->restY = m->segY0 = m->segY1 = y;
  SetSweepBox(m);
}

Motion MakeMotion(double t0, double x, double y, double vx, double vy, double beta) {
  Motion m;
  m.t0 = t0;
  m.x0 = x;
  m.y0 = y;
  m.beta = beta;
  const double v = std::sqrt(vx * vx + vy * vy);
  if (!(v > 0)) {
    // At rest (every stone in the record before the shot): nothing to sweep.
    SetAtRest(&m, t0, x, y);
    return m;
  }
  m.speed = v;
  m.dirX = vx / v;
  m.dirY = vy / v;
  m.travel = TravelLeft(m.speed);
  m.speedPow = Pow1p(m.speed);
  m.shrink = 1.0 / (1.0 + beta * beta);
  // |dv/dt| = a(v) <= a_c and the sideways |v dtheta/dt| = |beta| v^2 / L
  // <= 2 |beta| a_c, both largest at the floor speed.
  m.accel = kFloorDecel * std::sqrt(1.0 + 4.0 * beta * beta);
  m.tFloor = t0;
  if (m.speed > kVc) m.tFloor = TimeAtSpeed(m, kVc);
  m.tStop = TimeAtSpeed(m, 0.0);
  // c = z0 + e0 L0 / (1 - i beta) = z0 + e0 L0 (1 + i beta) / (1 + beta^2)
  const double scale = m.travel * m.shrink;
  m.restX = x + scale * (m.dirX - beta * m.dirY);
  m.restY = y + scale * (m.dirY + beta * m.dirX);
  SetSweptRegion(&m);
  return m;
}

Kinematics StateAt(const Motion& m, double t) {
  Kinematics k;
  // Most stones of a crowded sheet rest, and most pairs are first tested
  // at the start of a motion (a new motion renews every entry of its stone
  // at that instant): neither needs a transcendental.
  if (!(t < m.tStop)) {
    RestPoint(m, &k.x, &k.y);
    k.vx = 0;
    k.vy = 0;
    k.speed = 0;
    return k;
  }
  if (t == m.t0) {
    k.x = m.x0;
    k.y = m.y0;
    k.vx = m.speed * m.dirX;
    k.vy = m.speed * m.dirY;
    k.speed = m.speed;
    return k;
  }
  double v, travel;
  if (t < m.tFloor) {
    // v^(1+p) falls linearly in time.
    const double w = m.speedPow - (1.0 + kP) * kK * (t - m.t0);
    v = std::pow(w, 1.0 / (1.0 + kP));
    travel = (w * v + 0.5 * kP * kVc2p) * kInvTravelScale;
  } else {
    v = (m.speed < kVc ? m.speed : kVc) - kFloorDecel * (t - m.tFloor);
    travel = v * v * kInvFloorScale;
  }
  if (!(v > 0) || !(travel > 0)) {
    RestPoint(m, &k.x, &k.y);
    k.vx = 0;
    k.vy = 0;
    k.speed = 0;
    return k;
  }
  const double phase = m.beta * std::log(m.travel / travel);
  const double cosPhase = std::cos(phase);
  const double sinPhase = std::sin(phase);
  // Heading now: h = e0 exp(i phase); z = c - L h (1 + i beta) / (1 + beta^2),
  // with c the rest point and L the path still ahead.
  const double hx = m.dirX * cosPhase - m.dirY * sinPhase;
  const double hy = m.dirX * sinPhase + m.dirY * cosPhase;
  const double scale = travel * m.shrink;
  k.x = m.restX - scale * (hx - m.beta * hy);
  k.y = m.restY - scale * (hy + m.beta * hx);
  k.vx = v * hx;
  k.vy = v * hy;
  k.speed = v;
  return k;
}

void RestFrom(double x, double y, double vx, double vy, double beta, double* rx, double* ry) {
  // c = z0 + (v0 e0) L0 / (v0 (1 - i beta))
  const double v = std::sqrt(vx * vx + vy * vy);
  const double scale = v > 0 ? TravelLeft(v) / (v * (1.0 + beta * beta)) : 0.0;
  *rx = x + scale * (vx - beta * vy);
  *ry = y + scale * (vy + beta * vx);
}

void RestPoint(const Motion& m, double* x, double* y) {
  *x = m.restX;
  *y = m.restY;
}

bool DrawVelocity(double x, double y, double beta, double maxSpeed, double* vx, double* vy) {
  // Q = L0 e0 = (target - release) (1 - i beta)
  double dx = x - kReleaseX;
  double dy = y - kReleaseY;
  // A target so far away that Q would overflow: only its direction matters.
  const double far = std::fmax(std::fabs(dx), std::fabs(dy));
  if (far > kFarTarget) {
    dx /= far;
    dy /= far;
  }
  double qr = dx + beta * dy;
  double qi = dy - beta * dx;
  // Far targets were scaled down above: the squares cannot overflow.
  const double q = std::sqrt(qr * qr + qi * qi);
  const double qMax = TravelLeft(maxSpeed);
  const bool reachable = q <= qMax && !(far > kFarTarget);
  if (!reachable) {
    qr *= qMax / q;
    qi *= qMax / q;
  }
  VelocityFromTravel(qr, qi, vx, vy);
  return reachable;
}

bool HitVelocity(double x, double y, double travel, double beta, double maxSpeed, double* vx,
                 double* vy) {
  // With c = travel the path left at the target and rho = L0 the path left
  // at release, the displacement is D = e0 (rho - c exp(i phi)) / (1 - i beta)
  // with phi = beta ln(rho / c). |D (1 - i beta)| = M fixes rho (one real
  // equation, increasing in rho); the argument then fixes e0.
  const double dx = x - kReleaseX;
  const double dy = y - kReleaseY;
  const double pRe = dx + beta * dy;
  const double pIm = dy - beta * dx;
  const double m2 = pRe * pRe + pIm * pIm;
  const double c = travel;
  if (!(c > 0)) return DrawVelocity(x, y, beta, maxSpeed, vx, vy);
  const double rhoMax = TravelLeft(maxSpeed);
  // h(rho) = rho^2 - 2 rho c cos(phi) + c^2 - M^2 is convex and increasing
  // for rho >= c; Newton from rho = M + c (where h >= 0) descends onto the root.
  double rho = std::sqrt(m2) + c;
  constexpr int kMaxNewtonSteps = 30;
  for (int step = 0; step < kMaxNewtonSteps && rho <= 4.0 * rhoMax; ++step) {
    const double phi = beta * std::log(rho / c);
    const double cp = std::cos(phi);
    const double h = rho * rho - 2.0 * rho * c * cp + c * c - m2;
    const double dh = 2.0 * rho - 2.0 * c * cp + 2.0 * c * beta * std::sin(phi);
    const double next = rho - h / dh;
    if (!(next > c)) {
      rho = c;
      break;
    }
    const bool done = std::fabs(next - rho) <= 1e-14 * rho;
    rho = next;
    if (done) break;
  }
  if (!(rho <= rhoMax)) {
    // Too far for the admissible speed: the fastest vector along the line.
    DrawVelocity(x, y, beta, maxSpeed, vx, vy);
    return false;
  }
  const double phi = beta * std::log(rho / c);
  // e0 = (P / |P|) / ((rho - c e^{i phi}) / |...|)
  const double br = rho - c * std::cos(phi);
  const double bi = -c * std::sin(phi);
  const double bn = std::hypot(br, bi);
  const double pn = std::sqrt(m2);
  const double v0 = SpeedForTravel(rho);
  if (!(bn > 0) || !(pn > 0)) {
    *vx = 0;
    *vy = -v0;
    return pn > 0 || c > 0;
  }
  // e0 = P * conj(B) / (|P| |B|)
  const double ex = (pRe * br + pIm * bi) / (pn * bn);
  const double ey = (pIm * br - pRe * bi) / (pn * bn);
  *vx = v0 * ex;
  *vy = v0 * ey;
  return true;
}

}  // namespace korvane
