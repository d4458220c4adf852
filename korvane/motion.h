// Closed-form motion of a single curling stone on open ice.
//
// Friction follows the power law measured on rink ice: the deceleration is
// a(v) = k v^-p above the floor speed v_c and a_c = k v_c^-p below it
// (k = g mu(1 m/s)). The path still ahead of a stone moving at v is then
//
//   L(v) = (v^(2+p) + (p/2) v_c^(2+p)) / ((2+p) k)    (v >= v_c)
//   L(v) = v^2 / (2 a_c)                              (v <= v_c)
//
// and the heading turns by beta per e-fold of that path, theta = beta ln(L0/L).
// With positions as complex numbers z = x + i y, e0 the unit heading at
// release and L the path left, dz/dL = -e0 (L0/L)^(i beta) integrates to
//
//   z(L) = c - e0 L exp(i beta ln(L0/L)) / (1 - i beta),
//   c    = z0 + e0 L0 / (1 - i beta)           (where the stone rests),
//
// so the rest point is linear in Q = L0 e0 and a draw is solved exactly.
// Seen from c the path is a logarithmic spiral of radius r = L / |1 - i beta|
// turned by phi = beta ln(r0 / r); it stays within |beta| r0 / e of the
// straight segment from its start to c, all on one side of it: the sweep
// used to rule out contacts.
// Time enters only through v(t): v^(1+p) falls linearly at (1+p) k down to
// v_c, then v falls linearly at a_c. README.md derives it.
#pragma once

namespace korvane {

// One stone's free motion from time t0 until it rests at tStop. Every
// default is zero (a stone at rest has no heading), so that a whole field of
// them is cleared at once at the start of each shot.
struct Motion {
  double t0 = 0;     // s
  double x0 = 0;     // m
  double y0 = 0;     // m
  double speed = 0;  // m/s at t0
  double dirX = 0;   // unit heading at t0
  double dirY = 0;
  double beta = 0;      // signed turn constant; 0 for a stone without spin
  double travel = 0;    // m, path left at t0
  double speedPow = 0;  // v0^(1+p), which falls linearly in time
  double shrink = 0;    // 1 / (1 + beta^2)
  double accel = 0;     // m/s^2, bound on |acceleration| while it moves
  double tFloor = 0;    // s, when the speed reaches the floor speed v_c
  double tStop = 0;     // s, when it rests
  double restX = 0;     // m, where it comes to rest
  double restY = 0;
  // The rest of the path keeps within `sweep` (m) of the segment from
  // (segX0, segY0) to (segX1, segY1): start..rest, moved half the spiral's
  // bulge toward the side it bulges to.
  double segX0 = 0, segY0 = 0, segX1 = 0, segY1 = 0;
  double sweep = 0;
  // Box around that region, kept because every pair test starts with it.
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// Position and velocity of a stone at one instant.
struct Kinematics {
  double x, y;    // m
  double vx, vy;  // m/s
  double speed;   // m/s, |(vx, vy)|
};

// Signed turn constant for a rotation flag (any nonzero byte counts as 1).
double CurlBeta(unsigned char curl);

// Motion starting at time t0 from (x, y) with velocity (vx, vy).
Motion MakeMotion(double t0, double x, double y, double vx, double vy, double beta);

// Makes a default-constructed motion the one MakeMotion(t0, x, y, 0, 0, 0)
// builds, in place: every stone of a record starts so.
void SetAtRest(Motion* m, double t0, double x, double y);

// State at time t (t >= m.t0); at rest from m.tStop on.
Kinematics StateAt(const Motion& m, double t);

// Where the stone comes to rest.
void RestPoint(const Motion& m, double* x, double* y);

// Where a stone leaving (x, y) with velocity (vx, vy) comes to rest on open
// ice, without the rest of its motion.
void RestFrom(double x, double y, double vx, double vy, double beta, double* rx, double* ry);

// Launch velocity from the release point whose stone rests at (x, y).
// Every finite target has one; speeds above maxSpeed are scaled down to it
// along the same line, and the function then answers false.
bool DrawVelocity(double x, double y, double beta, double maxSpeed, double* vx, double* vy);

// Launch velocity whose path passes through (x, y) with `travel` metres of
// path still ahead of it there. False, with the fastest admissible vector
// along that line, when the shot would need more than maxSpeed.
bool HitVelocity(double x, double y, double travel, double beta, double maxSpeed, double* vx,
                 double* vy);

// Path length still ahead of a stone moving at speed v, m, and its inverse.
double TravelLeft(double speed);
double SpeedForTravel(double travel);

// Deceleration at speed v, m/s^2 (the friction coefficient times g).
double Deceleration(double speed);

// When a stone of motion m has slowed to speed v (v <= m.speed).
double TimeAtSpeed(const Motion& m, double v);

}  // namespace korvane
