// Stones pressed together, contacts at one instant, and the work limits:
// no chatter, no limit reached, mirror images and renumbering agree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "helpers.h"
#include "korvane/field.h"
#include "korvane/rules.h"
#include "korvane/shot.h"
#include "korvane/tools/fixed_shots.h"

using namespace korvane_test;

namespace {

// Sanitizer builds run the sweep ten times shorter.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSweepShots = 12000;
#else
constexpr int kSweepShots = 120000;
#endif
constexpr int kPathEvery = 40;         // every so many sweep shots also checks its frames
constexpr int kMaxContacts = 100;      // per shot from a position without overlaps
constexpr double kStillMoving = 0.01;  // m moved in the last frame interval

struct Outcome {
  GameState after;
  korvane::ShotStats stats;
  double lastStep = 0;  // m: largest move of a stone between the last two frames
};

Outcome Play(const GameState& start, ShotVec v, bool frames) {
  Outcome o{start, {}, 0};
  korvane::Rng rng;
  korvane::SeedRng(&rng, 1);
  if (!frames) {
    korvane::PlayShot(&o.after, v, 0.0f, nullptr, -1, &rng, &o.stats);
    return o;
  }
  std::vector<PathFrame> path(2000);
  korvane::PlayShot(&o.after, v, 0.0f, path.data(), static_cast<int>(path.size()), &rng, &o.stats);
  int last = 0;
  while (last + 1 < static_cast<int>(path.size()) && path[last + 1].time >= 0) ++last;
  // The final frame shows the stones after the rules; a stone removed there
  // is not a stone still moving.
  for (int i = 0; last > 0 && i < 16; ++i) {
    if (IsOut(o.after, i)) continue;
    const double d = std::hypot(path[last].stones[i][0] - path[last - 1].stones[i][0],
                                path[last].stones[i][1] - path[last - 1].stones[i][1]);
    o.lastStep = std::fmax(o.lastStep, d);
  }
  return o;
}

bool InPlayOrOut(const GameState& s, int i) {
  return IsOut(s, i) || korvane::InPlay(s.stones[i][0], s.stones[i][1]);
}

}  // namespace

// A draw that ended pressed against stones 0 and 5 once ran into the contact
// cap, which stopped stone 7 in the house at 1.2 m/s.
TEST(Chatter, FreezeIntoAGroupEndsWithEveryStoneAtRest) {
  GameState s = korvane_test::EmptyEnd(8);
  const float spots[8][2] = {{2.44563293f, 7.52110291f}, {4.135571f, 5.95585394f},
                             {2.7700727f, 6.26560879f},  {2.72356868f, 7.60422754f},
                             {2.4815557f, 6.23534346f},  {2.80681849f, 7.32632923f},
                             {1.33100581f, 4.71691704f}, {3.05511498f, 6.31954288f}};
  for (int i = 0; i < 8; ++i) Put(&s, i, spots[i][0], spots[i][1]);
  const Outcome o = Play(s, ShotVec{-0.00902926363f, -2.53631449f, 1, {}}, true);
  std::printf("%d contacts, last frame step %.4f m\n", o.stats.contacts, o.lastStep);
  EXPECT_EQ(o.stats.limitsReached, 0);
  EXPECT_LE(o.stats.contacts, kMaxContacts);
  EXPECT_LT(o.lastStep, kStillMoving);
  for (int i = 0; i <= 8; ++i) EXPECT_TRUE(InPlayOrOut(o.after, i)) << i;
}

// A slow stone curling into a stone at rest, for every closing angle and
// spin: a few contacts, then both rest without overlapping.
TEST(Chatter, SlowCurlingStoneSettlesAgainstAStoneAtRest) {
  for (double speed : {0.03, 0.08, 0.2, 0.5}) {
    for (double offset : {0.0, 0.1, 0.2, 0.28, 0.2899}) {
      for (int curl = 0; curl <= 1; ++curl) {
        korvane::Field f;
        korvane::PlaceAtRest(&f.body[1], 2.375, 6.0);
        Launch(&f, 2.375 + offset, 6.3, 0, -speed, korvane::CurlBeta(curl));
        korvane::RunToRest(&f, nullptr);
        EXPECT_EQ(f.limitsReached, 0);
        EXPECT_LE(f.collisions, 20) << speed << " " << offset << " " << curl;
        const auto [x0, y0] = RestOf(f.body[0].motion);
        const auto [x1, y1] = RestOf(f.body[1].motion);
        EXPECT_GE(std::hypot(x1 - x0, y1 - y0), 2 * sheet::kStoneRadius - 1e-6);
      }
    }
  }
}

// Freezes, taps and hits on random houses: no shot reaches a limit or needs
// more than 100 contacts, and the frames show every stone at rest at the end.
TEST(Chatter, SweepOfFreezeTapAndHitShotsNeverReachesALimit) {
  Lcg lcg;
  int worst = 0, limited = 0, moving = 0, outOfPlay = 0;
  for (int k = 0; k < kSweepShots; ++k) {
    GameState s;
    ShotVec v;
    ContactShot(&lcg, k % 3, &s, &v);
    const Outcome o = Play(s, v, k % kPathEvery == 0);
    worst = std::max(worst, o.stats.contacts);
    limited += o.stats.limitsReached > 0;
    moving += o.lastStep >= kStillMoving;
    for (int i = 0; i <= s.shotIndex; ++i) outOfPlay += !InPlayOrOut(o.after, i);
  }
  std::printf("%d shots: at most %d contacts\n", kSweepShots, worst);
  EXPECT_EQ(limited, 0);
  EXPECT_LE(worst, kMaxContacts);
  EXPECT_EQ(moving, 0);
  EXPECT_EQ(outOfPlay, 0);
}

namespace {

// The position and vector seen in a mirror about the centre line, curl flipped.
void Mirror(GameState* s, ShotVec* v) {
  for (int i = 0; i < s->shotIndex; ++i) {
    if (!IsOut(*s, i)) s->stones[i][0] = 4.75f - s->stones[i][0];
  }
  v->vx = -v->vx;
  v->curl = v->curl == 0 ? 1 : 0;
}

// Largest distance between stone i of a and stone map(i) of b, where b's
// x coordinates are mirrored when `mirrored`.
template <typename Map>
double Deviation(const GameState& a, const GameState& b, int count, bool mirrored, Map map) {
  double worst = 0;
  for (int i = 0; i < count; ++i) {
    const int j = map(i);
    if (IsOut(a, i) || IsOut(b, j)) {
      if (IsOut(a, i) != IsOut(b, j)) return INFINITY;
      continue;
    }
    const double bx = mirrored ? 4.75 - b.stones[j][0] : b.stones[j][0];
    worst = std::fmax(worst, std::hypot(a.stones[i][0] - bx, a.stones[i][1] - b.stones[j][1]));
  }
  return worst;
}

}  // namespace

// A stone sent straight down the centre line into two stones that nearly
// touch on either side of it meets both at one instant: they leave as
// mirror images, whichever of them has the lower number.
TEST(SimultaneousContacts, StraightShotIntoTwoStonesSendsThemOffAsMirrorImages) {
  for (double gap : {0.0002, 0.0, 0.01}) {
    for (bool swapped : {false, true}) {
      korvane::Field f;
      const double half = sheet::kStoneRadius + gap / 2;
      korvane::PlaceAtRest(&f.body[swapped ? 2 : 1], 2.375 - half, 6.0);
      korvane::PlaceAtRest(&f.body[swapped ? 1 : 2], 2.375 + half, 6.0);
      Launch(&f, 2.375, 9.0, 0, -2.5);
      korvane::RunToRest(&f, nullptr);
      const auto [lx, ly] = RestOf(f.body[swapped ? 2 : 1].motion);
      const auto [rx, ry] = RestOf(f.body[swapped ? 1 : 2].motion);
      const double sx = RestOf(f.body[0].motion).x;
      EXPECT_NEAR(lx + rx, 4.75, 1e-3) << gap << " " << swapped;
      EXPECT_NEAR(ly, ry, 1e-3) << gap << " " << swapped;
      EXPECT_NEAR(sx, 2.375, 1e-3) << gap << " " << swapped;
    }
  }
}

// Positions of every kind played, mirrored and renumbered: rest points
// agree within a millimetre.
TEST(SimultaneousContacts, MirrorImageAndRenumberingGiveTheSameRestPoints) {
  Lcg lcg;
  int mirrorMiss = 0, renumberMiss = 0;
  constexpr int kShots = 3000;
  for (int k = 0; k < kShots; ++k) {
    GameState s;
    ShotVec v;
    ContactShot(&lcg, k % 3, &s, &v);
    const int n = s.shotIndex;
    GameState played = s, mirrored = s, renumbered = s;
    ShotVec mv = v;
    Mirror(&mirrored, &mv);
    // Stones in the reverse order; the delivered stone keeps its number.
    for (int i = 0; i < n; ++i) {
      renumbered.stones[i][0] = s.stones[n - 1 - i][0];
      renumbered.stones[i][1] = s.stones[n - 1 - i][1];
    }
    Simulation(&played, v, 0.0f, nullptr, -1);
    Simulation(&mirrored, mv, 0.0f, nullptr, -1);
    Simulation(&renumbered, v, 0.0f, nullptr, -1);
    const auto same = [](int i) { return i; };
    const auto reversed = [n](int i) { return i == n ? n : n - 1 - i; };
    const double dm = Deviation(played, mirrored, n + 1, true, same);
    const double dr = Deviation(played, renumbered, n + 1, false, reversed);
    if (dm > 1e-3 && mirrorMiss++ < 3) std::printf("shot %d: mirror off by %g m\n", k, dm);
    if (dr > 1e-3 && renumberMiss++ < 3) std::printf("shot %d: renumbering off by %g m\n", k, dr);
  }
  EXPECT_EQ(mirrorMiss, 0);
  EXPECT_EQ(renumberMiss, 0);
}
