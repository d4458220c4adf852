#include "korvane/field.h"

#include <cmath>

#include "korvane/sweep.h"

namespace korvane {
namespace {

// A contact closer than this counts as touching, m.
constexpr double kContactGap = 1e-8;
// Smallest step the refinement takes, s: keeps two stones that touch while
// sliding apart from stalling the loop.
constexpr double kMinStep = 1e-9;
// Slack of the swept-region test over the contact distance, m.
constexpr double kCullMargin = 1e-6;
// Work bounds per shot; beyond them the stones freeze where they are. Real
// shots stay far below (a crowded end needs a few hundred refinements).
constexpr int kMaxRefinements = 200000;
constexpr int kMaxCollisions = 1000;

// Lines a moving stone may not touch (side lines) or wholly cross (back
// lines), as offsets of the stone's centre.
enum Wall { kLeft = -1, kRight = -2, kBack = -3, kNearBack = -4 };
constexpr int kWallCount = 4;
constexpr double kLeftLimit = kStoneRadius;
constexpr double kRightLimit = kSheetWidth - kStoneRadius;
constexpr double kBackLimit = kBackLineY - kStoneRadius;
constexpr double kNearBackLimit = kNearBackLineY + kStoneRadius;

struct Entry {
  int i;        // a stone
  int j;        // another stone, or a Wall
  double safe;  // s: no contact of this entry before this time
};

struct Queue {
  Entry entry[kStoneCount * (kStoneCount - 1) / 2 + kStoneCount * kWallCount];
  int size = 0;
};

bool MovingAt(const Body& b, double t) { return b.present && t < b.motion.tStop; }

// Bound on a stone's acceleration: |dv/dt| = a and |v dtheta/dt| = beta a,
// both constant while it moves.
double AccelBound(const Body& b, double t) {
  if (!MovingAt(b, t)) return 0;
  return kDeceleration * std::sqrt(1.0 + b.motion.beta * b.motion.beta);
}

// Gap g (m) of an entry at time t, its rate of change u (m/s) and a bound A
// (m/s^2) on how fast that rate can fall. For two stones, g = |r| - 2R and
// g'' = (|r'|^2 - (r.r'/|r|)^2)/|r| + r.r''/|r| >= -|r''|, so
// g(t+s) >= g + u s - A s^2 / 2.
void GapAt(const Field& f, const Entry& e, double t, double* g, double* u, double* acc) {
  const Body& bi = f.body[e.i];
  const Kinematics ki = StateAt(bi.motion, t);
  if (e.j >= 0) {
    const Body& bj = f.body[e.j];
    const Kinematics kj = StateAt(bj.motion, t);
    const double rx = kj.x - ki.x;
    const double ry = kj.y - ki.y;
    const double d = std::sqrt(rx * rx + ry * ry);
    *g = d - 2.0 * kStoneRadius;
    *u = d > 0 ? (rx * (kj.vx - ki.vx) + ry * (kj.vy - ki.vy)) / d : 0.0;
    *acc = AccelBound(bi, t) + AccelBound(bj, t);
    return;
  }
  *acc = AccelBound(bi, t);
  switch (e.j) {
    case kLeft:
      *g = ki.x - kLeftLimit;
      *u = ki.vx;
      break;
    case kRight:
      *g = kRightLimit - ki.x;
      *u = -ki.vx;
      break;
    case kBack:
      *g = ki.y - kBackLimit;
      *u = ki.vy;
      break;
    default:
      *g = kNearBackLimit - ki.y;
      *u = -ki.vy;
      break;
  }
}

// First root of g + u s - A s^2 / 2 (g >= 0), or infinity when none.
double SafeStep(double g, double u, double acc) {
  if (g < 0) g = 0;
  if (acc <= 0) {
    if (u >= 0) return INFINITY;
    return g / -u;
  }
  const double root = std::sqrt(u * u + 2.0 * acc * g);
  // Written to avoid cancellation when u > 0: (u + root) / A = 2g / (root - u).
  if (u <= 0) return 2.0 * g / (root - u);
  return (u + root) / acc;
}

// Time after which neither side of the entry moves any more.
double LastMotion(const Field& f, const Entry& e) {
  double t = f.body[e.i].motion.tStop;
  if (e.j >= 0 && f.body[e.j].motion.tStop > t) t = f.body[e.j].motion.tStop;
  return t;
}

// Whether the entry can be a contact at all, from the swept regions alone.
bool MayTouch(const Field& f, int i, int j) {
  const Motion& m = f.body[i].motion;
  if (j >= 0) return SweepsMayMeet(m, f.body[j].motion, 2.0 * kStoneRadius + kCullMargin);
  double minX, maxX, minY, maxY;
  SweepBounds(m, &minX, &maxX, &minY, &maxY);
  switch (j) {
    case kLeft:
      return !(minX > kLeftLimit + kCullMargin);
    case kRight:
      return !(maxX < kRightLimit - kCullMargin);
    case kBack:
      return !(minY > kBackLimit + kCullMargin);
    default:
      return !(maxY < kNearBackLimit - kCullMargin);
  }
}

void Push(const Field& f, Queue* q, int i, int j, double t) {
  if (MayTouch(f, i, j)) q->entry[q->size++] = Entry{i, j, t};
}

// Entries for stone i from time t: every present stone (when one of the two
// moves) and, while i moves, the four lines.
void AddEntriesFor(const Field& f, Queue* q, int i, int skip, double t) {
  if (!f.body[i].present) return;
  const bool moving = MovingAt(f.body[i], t);
  for (int j = 0; j < kStoneCount; ++j) {
    if (j == i || j == skip || !f.body[j].present) continue;
    if (moving || MovingAt(f.body[j], t)) Push(f, q, i < j ? i : j, i < j ? j : i, t);
  }
  if (moving) {
    for (int w = 1; w <= kWallCount; ++w) Push(f, q, i, -w, t);
  }
}

void DropEntriesOf(Queue* q, int i, int j) {
  int kept = 0;
  for (int k = 0; k < q->size; ++k) {
    const Entry& e = q->entry[k];
    if (e.i == i || e.j == i || e.i == j || e.j == j) continue;
    q->entry[kept++] = e;
  }
  q->size = kept;
}

// Equal masses, impulse along the line of centres with restitution e:
// each stone's normal velocity changes by (1 + e)/2 of the closing speed.
void Collide(Field* f, int i, int j, double t) {
  Body& bi = f->body[i];
  Body& bj = f->body[j];
  const Kinematics ki = StateAt(bi.motion, t);
  const Kinematics kj = StateAt(bj.motion, t);
  double nx = kj.x - ki.x;
  double ny = kj.y - ki.y;
  double d = std::sqrt(nx * nx + ny * ny);
  if (!(d > 0)) {
    // Coincident centres (only from a bad record): push along the motion.
    nx = ki.vx - kj.vx;
    ny = ki.vy - kj.vy;
    d = std::sqrt(nx * nx + ny * ny);
    if (!(d > 0)) {
      nx = 0;
      ny = -1;
      d = 1;
    }
  }
  nx /= d;
  ny /= d;
  const double closing = (ki.vx - kj.vx) * nx + (ki.vy - kj.vy) * ny;
  double ivx = ki.vx, ivy = ki.vy, jvx = kj.vx, jvy = kj.vy;
  if (closing > 0) {
    const double impulse = 0.5 * (1.0 + kRestitution) * closing;
    ivx -= impulse * nx;
    ivy -= impulse * ny;
    jvx += impulse * nx;
    jvy += impulse * ny;
  }
  // A stone keeps its spin while it moves; one struck at rest has none.
  const double betaI = MovingAt(bi, t) ? bi.motion.beta : 0.0;
  const double betaJ = MovingAt(bj, t) ? bj.motion.beta : 0.0;
  bi.motion = MakeMotion(t, ki.x, ki.y, ivx, ivy, betaI);
  bj.motion = MakeMotion(t, kj.x, kj.y, jvx, jvy, betaJ);
  bi.moved = bi.moved || bi.motion.speed > 0;
  bj.moved = bj.moved || bj.motion.speed > 0;
  bi.struck = true;
  bj.struck = true;
  ++f->collisions;
}

void LeaveSheet(Field* f, int i, double t) {
  Body& b = f->body[i];
  const Kinematics k = StateAt(b.motion, t);
  b.motion = MakeMotion(t, k.x, k.y, 0, 0, 0);
  b.present = false;
  b.leftSheet = true;
  b.goneAt = t;
}

// Writes the samples due up to time t (exclusive).
void EmitUntil(const Field& f, FrameSink* sink, double t) {
  if (!sink) return;
  while (sink->next < sink->limit) {
    const double ts = sink->next * sink->interval;
    if (!(ts < t)) return;
    PathFrame& pf = sink->frames[sink->next];
    pf.time = static_cast<float>(ts);
    for (int k = 0; k < kStoneCount; ++k) {
      double x, y;
      BodyPosition(f.body[k], ts, &x, &y);
      pf.stones[k][0] = static_cast<float>(x);
      pf.stones[k][1] = static_cast<float>(y);
    }
    ++sink->next;
  }
}

// Stops every stone where it is at time t.
void Freeze(Field* f, double t) {
  for (Body& b : f->body) {
    if (!b.present) continue;
    const Kinematics k = StateAt(b.motion, t);
    b.motion = MakeMotion(t, k.x, k.y, 0, 0, 0);
  }
  f->truncated = true;
}

}  // namespace

void PlaceAtRest(Body* b, double x, double y) {
  *b = Body{};
  b->present = true;
  b->motion = MakeMotion(0, x, y, 0, 0, 0);
}

void BodyPosition(const Body& b, double t, double* x, double* y) {
  if (!b.present && (!b.leftSheet || t >= b.goneAt)) {
    *x = kOutX;
    *y = kOutY;
    return;
  }
  const Kinematics k = StateAt(b.motion, t);
  *x = k.x;
  *y = k.y;
}

void RunToRest(Field* f, FrameSink* sink) {
  Queue q;
  for (int i = 0; i < kStoneCount; ++i) {
    if (!MovingAt(f->body[i], 0)) continue;
    // Pairs of two movers are added once, from the lower index.
    for (int j = 0; j < kStoneCount; ++j) {
      if (j == i || !f->body[j].present) continue;
      if (MovingAt(f->body[j], 0) && j < i) continue;
      Push(*f, &q, i < j ? i : j, i < j ? j : i, 0);
    }
    for (int w = 1; w <= kWallCount; ++w) Push(*f, &q, i, -w, 0);
  }
  double now = 0;
  int refinements = 0;
  while (q.size > 0) {
    int best = 0;
    for (int k = 1; k < q.size; ++k) {
      if (q.entry[k].safe < q.entry[best].safe) best = k;
    }
    Entry& e = q.entry[best];
    const double t = e.safe;
    if (++refinements > kMaxRefinements || f->collisions >= kMaxCollisions) {
      EmitUntil(*f, sink, t);
      Freeze(f, t);
      now = t;
      break;
    }
    double g, u, acc;
    GapAt(*f, e, t, &g, &u, &acc);
    if (g <= kContactGap && u < 0) {
      EmitUntil(*f, sink, t);
      now = t;
      const int i = e.i, j = e.j;
      if (j >= 0) {
        Collide(f, i, j, t);
        DropEntriesOf(&q, i, j);
        AddEntriesFor(*f, &q, i, -1, t);
        AddEntriesFor(*f, &q, j, i, t);
      } else {
        LeaveSheet(f, i, t);
        DropEntriesOf(&q, i, i);
      }
      continue;
    }
    double step = SafeStep(g, u, acc);
    if (step < kMinStep) step = kMinStep;
    const double next = t + step;
    if (!(next <= LastMotion(*f, e))) {
      q.entry[best] = q.entry[--q.size];  // this contact can no longer happen
      continue;
    }
    e.safe = next;
  }
  double end = now;
  for (const Body& b : f->body) {
    if (b.present && b.motion.tStop > end) end = b.motion.tStop;
  }
  f->endTime = end;
  EmitUntil(*f, sink, end);
}

}  // namespace korvane
