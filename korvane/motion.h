// Closed-form motion of a single curling stone on open ice.
//
// The stone slows at a constant rate a and its heading turns at
// dtheta/dt = beta * a / v. With speed v as the variable, and positions as
// complex numbers z = x + i y, the path integrates to
//
//   z(v) = z0 + e0 * (v0^2 - v^2 * exp(i * beta * ln(v0 / v))) / (a * (2 - i * beta))
//
// where e0 is the unit heading at release and v0 the speed then; the stone
// rests at z0 + e0 * v0^2 / (a * (2 - i * beta)). README.md derives it.
//
// Seen from the resting point c the path is a logarithmic spiral:
// z - c = -e0 v^2 exp(i phi) / (a (2 - i beta)), so the distance to c is
// r = v^2 / (a |2 - i beta|) and the direction turns by phi = (beta / 2) ln(r0 / r).
// The path therefore stays within r |sin phi| <= |beta| r0 / (2 e) of the
// straight segment from the start to c: the sweep used to rule out contacts.
#pragma once

namespace korvane {

// One stone's free motion from time t0 until it rests at tStop.
struct Motion {
  double t0 = 0;     // s
  double x0 = 0;     // m
  double y0 = 0;     // m
  double speed = 0;  // m/s at t0
  double dirX = 0;   // unit heading at t0
  double dirY = -1;
  double beta = 0;   // signed turn constant; 0 for a stone without spin
  double tStop = 0;  // s, t0 + speed / a
  double restX = 0;  // m, where it comes to rest
  double restY = 0;
  double sweep = 0;  // m: the path keeps within this of the segment start..rest
};

// Position and velocity of a stone at one instant.
struct Kinematics {
  double x, y;    // m
  double vx, vy;  // m/s
};

// Signed turn constant for a rotation flag (any nonzero byte counts as 1).
double CurlBeta(unsigned char curl);

// Motion starting at time t0 from (x, y) with velocity (vx, vy).
Motion MakeMotion(double t0, double x, double y, double vx, double vy, double beta);

// State at time t (t >= m.t0); at rest from m.tStop on.
Kinematics StateAt(const Motion& m, double t);

// Where the stone comes to rest.
void RestPoint(const Motion& m, double* x, double* y);

// Launch velocity from the release point whose stone rests at (x, y).
// Every finite target has one; speeds above maxSpeed are scaled down to it
// along the same line, and the function then answers false.
bool DrawVelocity(double x, double y, double beta, double maxSpeed, double* vx, double* vy);

// Launch velocity whose path passes through (x, y) with `travel` metres of
// path still ahead of it there. False, with the fastest admissible vector
// along that line, when the shot would need more than maxSpeed.
bool HitVelocity(double x, double y, double travel, double beta, double maxSpeed, double* vx,
                 double* vy);

// Path length still ahead of a stone moving at speed v, m.
double TravelLeft(double speed);

}  // namespace korvane
