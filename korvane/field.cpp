#include "korvane/field.h"

#include <cmath>

#include "korvane/contact.h"
#include "korvane/sweep.h"

namespace korvane {
namespace {

// A contact closer than this counts as touching, m.
constexpr double kContactGap = 1e-8;
// Closing speeds below this are rounding, not a contact, m/s.
constexpr double kMinClosing = 1e-9;
// Smallest step the refinement takes, s: keeps two stones that touch while
// sliding apart from stalling the loop.
constexpr double kMinStep = 1e-9;
// Step of a pair that overlaps without closing, s.
constexpr double kOverlapStep = 1e-3;
// Slack of the swept-region test over the contact distance, m.
constexpr double kCullMargin = 1e-6;
// The least deceleration counted, relative to the computed one: headroom
// for its rounding.
constexpr double kDecelMargin = 1.0 - 1e-9;
// Work bounds per shot; past them the stones touching each other stop (see
// StopTouching) and the others play on under the extra budget. Real shots
// stay far below (a crowded end needs a few hundred refinements and a few
// contacts); only records of stones piled on one another get near.
constexpr int kMaxRefinements = 4000;
constexpr int kMaxCollisions = 120;
constexpr int kExtraRefinements = 200;
constexpr int kExtraCollisions = 10;

// Lines a moving stone may not touch (side lines) or wholly cross (back
// lines), as offsets of the stone's centre.
enum Wall { kLeft = -1, kRight = -2, kBack = -3, kNearBack = -4 };
constexpr int kWallCount = 4;
constexpr double kLeftLimit = sheet::kStoneRadius;
constexpr double kRightLimit = sheet::kWidth - sheet::kStoneRadius;
constexpr double kBackLimit = sheet::kBackLineY - sheet::kStoneRadius;
constexpr double kNearBackLimit = kNearBackLineY + sheet::kStoneRadius;

struct Entry {
  int i;        // a stone
  int j;        // another stone, or a Wall
  double safe;  // s: no contact of this entry before this time
};

struct Queue {
  Entry
      entry[game::kStonesPerEnd * (game::kStonesPerEnd - 1) / 2 + game::kStonesPerEnd * kWallCount];
  int size = 0;
};

bool MovingAt(const Body& b, double t) { return b.present && t < b.motion.tStop; }

double AccelBound(const Body& b, double t) { return MovingAt(b, t) ? b.motion.accel : 0.0; }

// What bounds an entry's gap g (m) from time t on. For two stones,
// g = |r| - 2R and g'' = (|r'|^2 - (r.r'/|r|)^2)/|r| + r.r''/|r| >= -|r''|,
// so g(t+s) >= g + u s - A s^2 / 2 with u = g'(t) and A bounding |r''|.
// That bound is sharp for stones sliding past each other but assumes the
// worst acceleration toward the contact, while a stone running at another
// slows down: its deceleration never falls below a(v) at its speed v now,
// so in s it covers at most v s - a(v) s^2 / 2, until v / a(v). The gap
// falls by no more than both stones cover.
struct Gap {
  double g;        // m
  double u;        // m/s
  double acc;      // m/s^2, A
  double speed;    // m/s, sum of the speeds
  double decel;    // m/s^2, sum of their least decelerations
  double horizon;  // s, how long the second bound holds
};

// Adds a stone's share to the second bound.
void AddCover(const Kinematics& k, Gap* gap) {
  if (!(k.speed > 0)) return;
  const double a = Deceleration(k.speed) * kDecelMargin;
  gap->speed += k.speed;
  gap->decel += a;
  const double stop = k.speed / a;
  if (stop < gap->horizon) gap->horizon = stop;
}

Gap GapAt(const Field& f, const Entry& e, double t) {
  const Body& bi = f.body[e.i];
  const Kinematics ki = StateAt(bi.motion, t);
  Gap gap{0, 0, AccelBound(bi, t), 0, 0, INFINITY};
  AddCover(ki, &gap);
  if (e.j >= 0) {
    const Body& bj = f.body[e.j];
    const Kinematics kj = StateAt(bj.motion, t);
    const double rx = kj.x - ki.x;
    const double ry = kj.y - ki.y;
    const double d = std::sqrt(rx * rx + ry * ry);
    gap.g = d - 2.0 * sheet::kStoneRadius;
    gap.u = d > 0 ? (rx * (kj.vx - ki.vx) + ry * (kj.vy - ki.vy)) / d : 0.0;
    gap.acc += AccelBound(bj, t);
    AddCover(kj, &gap);
    return gap;
  }
  switch (e.j) {
    case kLeft:
      gap.g = ki.x - kLeftLimit;
      gap.u = ki.vx;
      break;
    case kRight:
      gap.g = kRightLimit - ki.x;
      gap.u = -ki.vx;
      break;
    case kBack:
      gap.g = ki.y - kBackLimit;
      gap.u = ki.vy;
      break;
    default:
      gap.g = kNearBackLimit - ki.y;
      gap.u = -ki.vy;
      break;
  }
  return gap;
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

// Time from t during which the gap surely stays above -kContactGap: the
// later of the two bounds'. The second keeps half the tolerance for the
// rounding of its square root.
double SafeStep(const Gap& gap) {
  const double step = SafeStep(gap.g + kContactGap, gap.u, gap.acc);
  const double g = gap.g + 0.5 * kContactGap;
  if (!(g > 0) || !(gap.speed > 0)) return step;
  // First root of g = V s - D s^2 / 2, if within the horizon.
  const double disc = gap.speed * gap.speed - 2.0 * gap.decel * g;
  double cover = gap.horizon;
  if (disc >= 0) {
    const double root = 2.0 * g / (gap.speed + std::sqrt(disc));
    if (root < cover) cover = root;
  }
  return cover > step ? cover : step;
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
  if (j >= 0) return SweepsMayMeet(m, f.body[j].motion, 2.0 * sheet::kStoneRadius + kCullMargin);
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
    for (int k = 0; k < game::kStonesPerEnd; ++k) {
      double x, y;
      BodyPosition(f.body[k], ts, &x, &y);
      pf.stones[k][0] = static_cast<float>(x);
      pf.stones[k][1] = static_cast<float>(y);
    }
    ++sink->next;
  }
}

// The safety limit: every moving stone that touches another stops where it
// is; when none touches, the stones of the entry being refined stop. Stones
// moving freely elsewhere keep going.
void StopTouching(Field* f, const Entry& e, double t) {
  Kinematics k[game::kStonesPerEnd];
  for (int i = 0; i < game::kStonesPerEnd; ++i) k[i] = StateAt(f->body[i].motion, t);
  unsigned stop = 0;
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    if (!MovingAt(f->body[i], t)) continue;
    for (int j = 0; j < game::kStonesPerEnd; ++j) {
      if (j == i || !f->body[j].present) continue;
      const double d = std::hypot(k[j].x - k[i].x, k[j].y - k[i].y);
      if (!(d > 2.0 * sheet::kStoneRadius + kTouchGap)) stop |= 1u << i;
    }
  }
  if (stop == 0) {
    stop = 1u << e.i;
    if (e.j >= 0) stop |= 1u << e.j;
  }
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    Body& b = f->body[i];
    if ((stop >> i & 1u) && MovingAt(b, t)) b.motion = MakeMotion(t, k[i].x, k[i].y, 0, 0, 0);
  }
  ++f->limitsReached;
}

// Entries for every stone that moves at t, each pair once.
void BuildQueue(const Field& f, Queue* q, double t) {
  q->size = 0;
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    if (!MovingAt(f.body[i], t)) continue;
    for (int j = 0; j < game::kStonesPerEnd; ++j) {
      if (j == i || !f.body[j].present) continue;
      if (MovingAt(f.body[j], t) && j < i) continue;
      Push(f, q, i < j ? i : j, i < j ? j : i, t);
    }
    for (int w = 1; w <= kWallCount; ++w) Push(f, q, i, -w, t);
  }
}

// Drops the entries of the stones in `group` and adds theirs anew from t.
void RenewEntries(const Field& f, Queue* q, unsigned group, double t) {
  int kept = 0;
  for (int k = 0; k < q->size; ++k) {
    const Entry& e = q->entry[k];
    if ((group >> e.i & 1u) || (e.j >= 0 && (group >> e.j & 1u))) continue;
    q->entry[kept++] = e;
  }
  q->size = kept;
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    if (!(group >> i & 1u) || !f.body[i].present) continue;
    const bool moving = MovingAt(f.body[i], t);
    for (int j = 0; j < game::kStonesPerEnd; ++j) {
      if (j == i || !f.body[j].present) continue;
      if ((group >> j & 1u) && j < i) continue;  // added from j
      if (moving || MovingAt(f.body[j], t)) Push(f, q, i < j ? i : j, i < j ? j : i, t);
    }
    if (moving) {
      for (int w = 1; w <= kWallCount; ++w) Push(f, q, i, -w, t);
    }
  }
}

// The entry whose bound is earliest: nothing on the sheet can happen
// before it.
int EarliestEntry(const Queue& q) {
  int best = 0;
  for (int k = 1; k < q.size; ++k) {
    if (q.entry[k].safe < q.entry[best].safe) best = k;
  }
  return best;
}

}  // namespace

void PlaceAtRest(Body* b, double x, double y) {
  *b = Body{};
  b->present = true;
  SetAtRest(&b->motion, 0, x, y);
}

void BodyPosition(const Body& b, double t, double* x, double* y) {
  if (!b.present && (!b.leftSheet || t >= b.goneAt)) {
    *x = sheet::kOutX;
    *y = sheet::kOutY;
    return;
  }
  const Kinematics k = StateAt(b.motion, t);
  *x = k.x;
  *y = k.y;
}

void RunToRest(Field* f, FrameSink* sink) {
  Queue q;
  BuildQueue(*f, &q, 0);
  double now = 0;
  int refinements = 0, contacts = 0;
  int refinementBudget = kMaxRefinements, contactBudget = kMaxCollisions;
  while (q.size > 0) {
    // Step 1. Refine the earliest bound of all.
    const int best = EarliestEntry(q);
    Entry& e = q.entry[best];
    const double t = e.safe;
    ++f->refinements;
    // Step 2. Past the work budget only the stones in contact stop; the
    // rest play on under a small extra budget. Each time at least one
    // stone stops, so the loop ends.
    if (++refinements > refinementBudget || f->collisions - contacts >= contactBudget) {
      EmitUntil(*f, sink, t);
      StopTouching(f, e, t);
      BuildQueue(*f, &q, t);
      now = t;
      refinements = 0;
      contacts = f->collisions;
      refinementBudget = kExtraRefinements;
      contactBudget = kExtraCollisions;
      continue;
    }
    // Step 3. A contact (or a line reached) at the bound is the next event
    // of the whole sheet: resolve it and renew the bounds of every stone it
    // set moving.
    const Gap gap = GapAt(*f, e, t);
    const double g = gap.g;
    if (g <= kContactGap && gap.u < -kMinClosing) {
      EmitUntil(*f, sink, t);
      now = t;
      const int i = e.i, j = e.j;
      if (j >= 0) {
        RenewEntries(*f, &q, ResolveContacts(f, i, j, t), t);
      } else {
        LeaveSheet(f, i, t);
        RenewEntries(*f, &q, 1u << i, t);
      }
      continue;
    }
    // Step 4. No contact yet: move the bound on by a step the pair provably
    // cannot close in, or drop the pair once neither can move any more.
    // The bound may close to -kContactGap: the contact is then still caught
    // within the tolerance, and stones sliding along each other take steps
    // that grow instead of the smallest one.
    double step = SafeStep(gap);
    if (step < kMinStep) step = kMinStep;
    // Stones overlapping (only from a record of stones piled on one another)
    // that do not close would otherwise crawl apart in the smallest steps.
    if (g < -kContactGap && step < kOverlapStep) step = kOverlapStep;
    const double next = t + step;
    if (!(next <= LastMotion(*f, e))) {
      q.entry[best] = q.entry[--q.size];  // this contact can no longer happen
      continue;
    }
    e.safe = next;
  }
  // Step 5. Every stone is at rest or gone: the shot ends when the last one
  // stopped.
  double end = now;
  for (const Body& b : f->body) {
    if (b.present && b.motion.tStop > end) end = b.motion.tStop;
  }
  f->endTime = end;
  EmitUntil(*f, sink, end);
}

}  // namespace korvane
