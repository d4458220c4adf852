#include "korvane/contact.h"

#include <cmath>
#include <initializer_list>

namespace korvane {
namespace {

// Contacts closing within this time of the first one are resolved with it,
// s: positions stored as floats put a mirror image's two contacts some
// 1e-7 m apart, which a stone at 2 m/s covers in 5e-8 s.
constexpr double kSimultaneous = 1e-6;
constexpr double kContactSlack = 1e-8;  // m, as the event loop's contact test
// Headroom of the quick distance test over the exact one for rounding, m.
constexpr double kFarSlack = 1e-9;
// Below this closing speed a contact sticks: no rebound (m/s). A bouncing
// contact pressed together by curl would otherwise come back ever sooner.
constexpr double kStickSpeed = 0.005;
// A sticking contact stops each of its stones slower than this, m/s, and
// the other stone keeps only its motion along the contact: the stopped one
// holds by static friction. A curling stone this slow bends faster than the
// other stone's edge (curvature 2 |beta| a_c / v^2 > 1 / (2R)), so it could
// only ride around that edge for the v^2 / (2 a_c) < 12 mm of path it has
// left; a stone without curl pushing another would chatter along with it
// for as little.
constexpr double kSettleSpeed = 0.054;
// Projected Gauss-Seidel to convergence: the solution is unique, so the
// order of the contacts does not show in it.
constexpr int kMaxSweeps = 64;
constexpr double kConverged = 1e-13;  // m/s
constexpr int kMaxRounds = 8;
constexpr int kMaxContacts = game::kStonesPerEnd * (game::kStonesPerEnd - 1) / 2;
// The effective mass of two equal stones along their line of centres, per
// unit of one stone's mass: m_a m_b / (m_a + m_b) = m / 2. An impulse J per
// unit mass slows one stone by J and speeds the other by J, so the closing
// speed falls by 2 J; the impulse that stops a contact closing is half its
// closing speed.
constexpr double kPairEffectiveMass = 0.5;

struct Contact {
  int a, b;
  double nx, ny;   // unit normal from a to b
  double e;        // restitution of this contact
  double impulse;  // per unit mass, along n: a loses it, b gains it
};

struct Group {
  Kinematics k[game::kStonesPerEnd];
  bool moving[game::kStonesPerEnd];
  unsigned stones = 0;
  unsigned known = 0;  // stones whose k[] holds their state at t, members or not
  Contact c[kMaxContacts];
  int n = 0;
};

double Closing(const Group& g, const Contact& c) {
  return (g.k[c.a].vx - g.k[c.b].vx) * c.nx + (g.k[c.a].vy - g.k[c.b].vy) * c.ny;
}

void Apply(Group* g, const Contact& c, double impulse) {
  g->k[c.a].vx -= impulse * c.nx;
  g->k[c.a].vy -= impulse * c.ny;
  g->k[c.b].vx += impulse * c.nx;
  g->k[c.b].vy += impulse * c.ny;
}

// Unit normal from a to b; coincident centres (only from a bad record) push
// along the relative motion, or along the sheet.
void Normal(const Kinematics& a, const Kinematics& b, double* nx, double* ny) {
  double x = b.x - a.x, y = b.y - a.y;
  double d = std::sqrt(x * x + y * y);
  if (!(d > 0)) {
    x = a.vx - b.vx;
    y = a.vy - b.vy;
    d = std::sqrt(x * x + y * y);
    if (!(d > 0)) {
      x = 0;
      y = -1;
      d = 1;
    }
  }
  *nx = x / d;
  *ny = y / d;
}

// State of stone o at t, evaluated once per group: every stone of the group
// looks at every other one.
const Kinematics& StateOf(const Field& f, Group* g, int o, double t) {
  if (!(g->known >> o & 1u)) {
    g->known |= 1u << o;
    g->k[o] = StateAt(f.body[o].motion, t);
  }
  return g->k[o];
}

// Adds stone o to the group with the state it has at t.
void Join(const Field& f, Group* g, int o, double t) {
  if (g->stones >> o & 1u) return;
  g->stones |= 1u << o;
  StateOf(f, g, o, t);
  g->moving[o] = f.body[o].present && t < f.body[o].motion.tStop;
}

// Every pair within the group's reach that touches and closes at t.
void Gather(const Field& f, Group* g, int i, int j, double t) {
  Join(f, g, i, t);
  Join(f, g, j, t);
  unsigned seen[game::kStonesPerEnd] = {};
  int queue[game::kStonesPerEnd], head = 0, tail = 0;
  queue[tail++] = i;
  queue[tail++] = j;
  while (head < tail) {
    const int s = queue[head++];
    for (int o = 0; o < game::kStonesPerEnd; ++o) {
      if (o == s || !f.body[o].present || (seen[s] >> o & 1u)) continue;
      seen[s] |= 1u << o;
      seen[o] |= 1u << s;
      const bool known = g->stones >> o & 1u;
      const Kinematics& ko = StateOf(f, g, o, t);
      const Kinematics& ks = g->k[s];
      const double dx = ko.x - ks.x, dy = ko.y - ks.y;
      // Farther apart than any closing speed could bring into the group
      // (|closing| <= |dvx| + |dvy|): no square root, no normal.
      const double reach = 2.0 * sheet::kStoneRadius + kContactSlack + kFarSlack +
                           (std::fabs(ks.vx - ko.vx) + std::fabs(ks.vy - ko.vy)) * kSimultaneous;
      if (dx * dx + dy * dy > reach * reach) continue;
      const double d = std::sqrt(dx * dx + dy * dy);
      Contact c{s, o, 0, 0, 0, 0};
      Normal(ks, ko, &c.nx, &c.ny);
      const double closing = (ks.vx - ko.vx) * c.nx + (ks.vy - ko.vy) * c.ny;
      const double gap = d - 2.0 * sheet::kStoneRadius;
      if (!(closing > 0) || gap > kContactSlack + closing * kSimultaneous) continue;
      if (!known) {
        Join(f, g, o, t);
        queue[tail++] = o;
      }
      c.e = closing < kStickSpeed ? 0.0 : kRestitution;
      g->c[g->n++] = c;
    }
  }
}

// Impulses that stop every contact of the group from closing (an inelastic
// impact of all of them at once), then each contact's rebound, e times its
// own impulse. Energy only falls: the rebound phase gives back e^2 of what
// the first took.
void Solve(Group* g) {
  for (int round = 0; round < kMaxRounds; ++round) {
    bool closing = false;
    for (int k = 0; k < g->n; ++k) {
      g->c[k].impulse = 0;
      closing = closing || Closing(*g, g->c[k]) > kConverged;
    }
    if (!closing) return;
    for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
      double change = 0;
      for (int k = 0; k < g->n; ++k) {
        Contact& c = g->c[k];
        double next = c.impulse + kPairEffectiveMass * Closing(*g, c);
        if (next < 0) next = 0;
        Apply(g, c, next - c.impulse);
        change = std::fmax(change, std::fabs(next - c.impulse));
        c.impulse = next;
      }
      if (change <= kConverged) break;
    }
    for (int k = 0; k < g->n; ++k) Apply(g, g->c[k], g->c[k].e * g->c[k].impulse);
  }
}

// A sticking contact's slow stones stop; the other stone of the contact
// loses any motion toward the stopped one.
void Settle(Group* g) {
  unsigned stopped = 0;
  for (int k = 0; k < g->n; ++k) {
    const Contact& c = g->c[k];
    if (c.e != 0) continue;
    for (int s : {c.a, c.b}) {
      if (std::hypot(g->k[s].vx, g->k[s].vy) < kSettleSpeed) stopped |= 1u << s;
    }
  }
  for (int k = 0; k < g->n; ++k) {
    const Contact& c = g->c[k];
    if (c.e != 0) continue;
    for (int s : {c.a, c.b}) {
      if (!(stopped >> s & 1u)) continue;
      g->k[s].vx = 0;
      g->k[s].vy = 0;
      const int o = s == c.a ? c.b : c.a;
      if (stopped >> o & 1u) continue;
      // Normal from o toward s.
      const double nx = s == c.b ? c.nx : -c.nx, ny = s == c.b ? c.ny : -c.ny;
      const double toward = g->k[o].vx * nx + g->k[o].vy * ny;
      if (toward > 0) {
        g->k[o].vx -= toward * nx;
        g->k[o].vy -= toward * ny;
      }
    }
  }
}

}  // namespace

unsigned ResolveContacts(Field* f, int i, int j, double t) {
  Group g;
  Gather(*f, &g, i, j, t);
  Solve(&g);
  Settle(&g);
  for (int s = 0; s < game::kStonesPerEnd; ++s) {
    if (!(g.stones >> s & 1u)) continue;
    Body& b = f->body[s];
    const Kinematics& k = g.k[s];
    // A stone keeps its spin while it moves; one struck at rest has none.
    const double beta = g.moving[s] ? b.motion.beta : 0.0;
    b.motion = MakeMotion(t, k.x, k.y, k.vx, k.vy, beta);
    b.moved = b.moved || b.motion.speed > 0;
    b.struck = true;
  }
  f->collisions += g.n > 0 ? g.n : 1;
  return g.stones;
}

}  // namespace korvane
