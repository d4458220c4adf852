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

// The complex factor 1 / (a (2 - i beta)) = (2 + i beta) / (a (4 + beta^2)).
void PathFactor(double beta, double* kr, double* ki) {
  const double scale = 1.0 / (kDeceleration * (4.0 + beta * beta));
  *kr = 2.0 * scale;
  *ki = beta * scale;
}

// Launch velocity w = Q / sqrt(|Q|) for the complex quantity Q = v0^2 e0.
void VelocityFromSquare(double qr, double qi, double* vx, double* vy) {
  const double q = std::hypot(qr, qi);
  if (!(q > 0)) {
    *vx = 0;
    *vy = 0;
    return;
  }
  const double s = 1.0 / std::sqrt(q);
  *vx = qr * s;
  *vy = qi * s;
}

}  // namespace

double CurlBeta(unsigned char curl) {
  // Viewed from above (x to the right, y up), flag 0 spins clockwise and its
  // heading turns clockwise: toward smaller x on the way to the house.
  return curl == 0 ? -kCurlRate : kCurlRate;
}

double TravelLeft(double speed) { return speed * speed / (2.0 * kDeceleration); }

Motion MakeMotion(double t0, double x, double y, double vx, double vy, double beta) {
  Motion m;
  m.t0 = t0;
  m.x0 = x;
  m.y0 = y;
  m.beta = beta;
  const double v = std::sqrt(vx * vx + vy * vy);
  if (v > 0) {
    m.speed = v;
    m.dirX = vx / v;
    m.dirY = vy / v;
  }
  m.tStop = t0 + m.speed / kDeceleration;
  double kr, ki;
  PathFactor(beta, &kr, &ki);
  const double v2 = m.speed * m.speed;
  const double dr = v2 * m.dirX;
  const double di = v2 * m.dirY;
  m.restX = x + dr * kr - di * ki;
  m.restY = y + dr * ki + di * kr;
  // r |sin phi| <= r |beta| / 2 ln(r0 / r) <= |beta| r0 / (2 e); beyond a
  // quarter turn (r < r0 exp(-pi / |beta|)) the point is within r of c.
  const double r0 = v2 * std::sqrt(kr * kr + ki * ki);
  const double b = std::fabs(beta);
  const double spiral = 0.5 * b * r0 / kE;
  const double tail = b > 0 ? r0 * std::exp(-kPi / b) : 0.0;
  m.sweep = (spiral > tail ? spiral : tail) * kSweepMargin;
  return m;
}

Kinematics StateAt(const Motion& m, double t) {
  Kinematics k;
  if (!(t < m.tStop)) {
    RestPoint(m, &k.x, &k.y);
    k.vx = 0;
    k.vy = 0;
    return k;
  }
  const double v = m.speed - kDeceleration * (t - m.t0);
  const double phase = m.beta * std::log(m.speed / v);
  const double c = std::cos(phase);
  const double s = std::sin(phase);
  // Heading now: e0 * exp(i phase).
  const double hx = m.dirX * c - m.dirY * s;
  const double hy = m.dirX * s + m.dirY * c;
  double kr, ki;
  PathFactor(m.beta, &kr, &ki);
  // (v0^2 - v^2 exp(i phase)) * e0 = v0^2 e0 - v^2 h
  const double dr = m.speed * m.speed * m.dirX - v * v * hx;
  const double di = m.speed * m.speed * m.dirY - v * v * hy;
  k.x = m.x0 + dr * kr - di * ki;
  k.y = m.y0 + dr * ki + di * kr;
  k.vx = v * hx;
  k.vy = v * hy;
  return k;
}

void RestPoint(const Motion& m, double* x, double* y) {
  *x = m.restX;
  *y = m.restY;
}

bool DrawVelocity(double x, double y, double beta, double maxSpeed, double* vx, double* vy) {
  // Q = v0^2 e0 = (target - release) * a * (2 - i beta)
  double dx = x - kReleaseX;
  double dy = y - kReleaseY;
  // A target so far away that Q would overflow: only its direction matters.
  const double far = std::fmax(std::fabs(dx), std::fabs(dy));
  if (far > kFarTarget) {
    dx /= far;
    dy /= far;
  }
  double qr = kDeceleration * (2.0 * dx + beta * dy);
  double qi = kDeceleration * (2.0 * dy - beta * dx);
  const double q = std::hypot(qr, qi);
  const double qMax = maxSpeed * maxSpeed;
  const bool reachable = q <= qMax && !(far > kFarTarget);
  if (!reachable) {
    qr *= qMax / q;
    qi *= qMax / q;
  }
  VelocityFromSquare(qr, qi, vx, vy);
  return reachable;
}

bool HitVelocity(double x, double y, double travel, double beta, double maxSpeed, double* vx,
                 double* vy) {
  // At the target the speed is vt with vt^2 = c = 2 a travel. Writing
  // rho = v0^2, the displacement is D = e0 (rho - c exp(i phi)) / (a (2 - i beta))
  // with phi = beta/2 ln(rho / c). |D a (2 - i beta)| = M fixes rho (one real
  // equation, increasing in rho); the argument then fixes e0.
  const double dx = x - kReleaseX;
  const double dy = y - kReleaseY;
  const double pr = kDeceleration * (2.0 * dx + beta * dy);
  const double pi = kDeceleration * (2.0 * dy - beta * dx);
  const double m2 = pr * pr + pi * pi;
  const double c = 2.0 * kDeceleration * travel;
  if (!(c > 0)) return DrawVelocity(x, y, beta, maxSpeed, vx, vy);
  const double rhoMax = maxSpeed * maxSpeed;
  // h(rho) = rho^2 - 2 rho c cos(phi) + c^2 - M^2 is convex and increasing
  // for rho >= c; Newton from rho = M + c (where h >= 0) descends onto the root.
  double rho = std::sqrt(m2) + c;
  constexpr int kMaxNewtonSteps = 30;
  for (int step = 0; step < kMaxNewtonSteps && rho <= 4.0 * rhoMax; ++step) {
    const double phi = 0.5 * beta * std::log(rho / c);
    const double cp = std::cos(phi);
    const double h = rho * rho - 2.0 * rho * c * cp + c * c - m2;
    const double dh = 2.0 * rho - 2.0 * c * cp + c * beta * std::sin(phi);
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
  const double phi = 0.5 * beta * std::log(rho / c);
  // e0 = (P / |P|) / ((rho - c e^{i phi}) / |...|)
  const double br = rho - c * std::cos(phi);
  const double bi = -c * std::sin(phi);
  const double bn = std::hypot(br, bi);
  const double pn = std::sqrt(m2);
  if (!(bn > 0) || !(pn > 0)) {
    *vx = 0;
    *vy = -std::sqrt(rho);
    return pn > 0 || c > 0;
  }
  // e0 = P * conj(B) / (|P| |B|)
  const double ex = (pr * br + pi * bi) / (pn * bn);
  const double ey = (pi * br - pr * bi) / (pn * bn);
  const double v0 = std::sqrt(rho);
  *vx = v0 * ex;
  *vy = v0 * ey;
  return true;
}

}  // namespace korvane
