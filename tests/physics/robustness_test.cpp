// Execution error, determinism, threads and records that make no sense.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <thread>
#include <vector>

#include "helpers.h"

using namespace korvane_test;

namespace {

// A crowded end: twelve stones in and around the house.
GameState CrowdedEnd() {
  GameState s = EmptyEnd(12);
  const double spots[12][2] = {{2.375, 4.88}, {2.0, 5.3}, {2.8, 5.1}, {2.375, 6.2},
                               {1.6, 4.4},    {3.1, 4.6}, {2.2, 7.9}, {2.6, 8.6},
                               {1.9, 3.6},    {2.9, 3.9}, {1.2, 5.6}, {3.5, 6.0}};
  for (int i = 0; i < 12; ++i) Put(&s, i, spots[i][0], spots[i][1]);
  return s;
}

bool AllFinite(const GameState& s) {
  return std::all_of(std::begin(s.stones), std::end(s.stones),
                     [](const float(&p)[2]) { return std::isfinite(p[0]) && std::isfinite(p[1]); });
}

}  // namespace

TEST(Noise, RestingPointsSpreadByNoiseAroundTheTarget) {
  constexpr int kShots = 20000;
  constexpr double kNoise = 0.145;
  KorvaneSeed(12345);
  for (int curl = 0; curl <= 1; ++curl) {
    const ShotVec v = Draw(2.375, 6.0, curl);
    double sum[2] = {}, squares[2] = {};
    for (int k = 0; k < kShots; ++k) {
      GameState s = EmptyEnd();
      Simulation(&s, v, static_cast<float>(kNoise), nullptr, -1);
      for (int a = 0; a < 2; ++a) {
        const double d = s.stones[0][a] - (a == 0 ? 2.375 : 6.0);
        sum[a] += d;
        squares[a] += d * d;
      }
    }
    for (int a = 0; a < 2; ++a) {
      const double mean = sum[a] / kShots, sd = std::sqrt(squares[a] / kShots - mean * mean);
      std::printf("curl %d, axis %d: mean error %.4f m, spread %.4f m\n", curl, a, mean, sd);
      EXPECT_LT(std::fabs(mean), 0.005);
      EXPECT_NEAR(sd, kNoise, 0.05 * kNoise);
    }
  }
}

// Noise 0 ignores each thread's seed: every thread and the main one must
// give the same bytes. With noise, threads of the same seed give the same
// errors: each has an engine of its own (a shared one would also show up
// under ThreadSanitizer).
TEST(Threads, ManyThreadsAtOnceMatchOneThread) {
  constexpr int kThreads = 8, kShotsEach = 200;
  auto play = [](int k, GameState* s) {
    *s = CrowdedEnd();
    const double x = 1.5 + 1.8 * (k % 17) / 16.0, y = 3.5 + 4.0 * (k % 13) / 12.0;
    Simulation(s, k % 3 == 0 ? Draw(x, y, k & 1) : Hit(x, y, 2.0 + k % 15, k & 1), 0.0f, nullptr,
               -1);
  };
  std::vector<GameState> expected(kShotsEach), lastNoisy(kThreads);
  for (int k = 0; k < kShotsEach; ++k) play(k, &expected[k]);
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      KorvaneSeed(t % 2);
      for (int k = 0; k < kShotsEach; ++k) {
        GameState got;
        play(k, &got);
        if (std::memcmp(&got, &expected[k], sizeof got) != 0) ++mismatches;
        lastNoisy[t] = CrowdedEnd();
        Simulation(&lastNoisy[t], Draw(2.375, 4.88, 0), 0.145f, nullptr, -1);
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(mismatches, 0);
  for (int t = 2; t < kThreads; ++t) {
    EXPECT_EQ(std::memcmp(&lastNoisy[t], &lastNoisy[t % 2], sizeof lastNoisy[t]), 0) << t;
  }
}

TEST(BadInput, NonFiniteOrHugeVectorAndNoiseArePlayedAndReported) {
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3.4e38f};
  for (float a : bad) {
    for (float b : {a, 0.0f, -2.1f}) {
      GameState s = CrowdedEnd();
      EXPECT_EQ(Simulation(&s, ShotVec{a, b, 1, {}}, 0.0f, nullptr, -1), 0) << a << "," << b;
      EXPECT_EQ(s.shotIndex, 13);
      EXPECT_TRUE(AllFinite(s));
    }
    GameState s = CrowdedEnd();
    EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), -a, nullptr, -1), 0) << "noise " << -a;
    EXPECT_TRUE(AllFinite(s));
  }
}

// Stones off the sheet go to the reset position; fifteen overlapping stones
// would keep the collision loop busy forever without its step cap.
TEST(BadInput, NonsenseAndPiledStonesAreResolvedInBoundedTime) {
  GameState s = EmptyEnd(15), piled = EmptyEnd(15);
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3.4e38f, -0.0f, 1e-40f};
  for (int i = 0; i < 15; ++i) {
    Put(&s, i, bad[i % 8], bad[(i + 3) % 8]);
    Put(&piled, i, 2.375, 4.88 + 0.001 * i);
  }
  Put(&s, 7, 2.375, 4.88);  // two stones on one spot
  Put(&s, 9, 2.375, 4.88);
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), 0.145f, nullptr, -1), 1);
  Simulation(&piled, Hit(2.375, 4.88, 30, 0), 0.0f, nullptr, -1);
  for (int i = 0; i < 15; ++i) EXPECT_TRUE(IsOut(s, i) || i == 7 || i == 9) << i;
  for (const GameState& r : {s, piled}) {
    EXPECT_TRUE(AllFinite(r));
    EXPECT_EQ(r.shotIndex, 16);
  }
}

// Each capacity doubles the interval until the shot fits, so that at least
// half a small buffer is used and nothing past it is touched.
TEST(Path, FramesRunFromReleaseToRestWithinTheBuffer) {
  for (int capacity : {1, 2, 3, 10, 400}) {
    GameState s = EmptyEnd(1);
    Put(&s, 0, 2.375, 4.88);
    std::vector<PathFrame> frames(capacity + 1);
    frames[capacity].time = 12345.0f;
    Simulation(&s, Hit(2.375, 4.88, 8, 0), 0.0f, frames.data(), capacity);
    EXPECT_EQ(frames[capacity].time, 12345.0f);
    int last = 0;
    while (last + 1 < capacity && frames[last + 1].time >= 0) ++last;
    EXPECT_GE(last, capacity < 400 ? capacity / 2 : 100) << capacity;
    for (int i = 1; i <= last; ++i) EXPECT_GT(frames[i].time, frames[i - 1].time);
    EXPECT_EQ(std::memcmp(frames[last].stones, s.stones, sizeof frames[last].stones), 0);
    if (capacity < 400) continue;
    EXPECT_EQ(frames[0].time, 0.0f);
    EXPECT_NEAR(frames[1].time, 0.1, 1e-6);
    EXPECT_NEAR(frames[0].stones[1][1], 33.23, 1e-5);  // the release point
  }
  GameState s = EmptyEnd();
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, nullptr, 50), 1);
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, reinterpret_cast<PathFrame*>(8), 0), 1);
  EXPECT_EQ(Simulation(nullptr, Draw(2.375, 4.88, 1), 0.0f, nullptr, -1), 0);
}
