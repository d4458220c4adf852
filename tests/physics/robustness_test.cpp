// Execution error, determinism, threads and records that make no sense.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
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

void ExpectSameBytes(const GameState& a, const GameState& b) {
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

}  // namespace

TEST(Noise, RestingPointsSpreadByNoiseAroundTheTarget) {
  KorvaneSeed(12345);
  constexpr int kShots = 20000;
  constexpr double kNoise = 0.145;
  for (int curl = 0; curl <= 1; ++curl) {
    double sx = 0, sy = 0, sxx = 0, syy = 0;
    const ShotVec v = Draw(2.375, 6.0, curl);
    for (int k = 0; k < kShots; ++k) {
      GameState s = EmptyEnd();
      Simulation(&s, v, static_cast<float>(kNoise), nullptr, -1);
      const double dx = s.stones[0][0] - 2.375, dy = s.stones[0][1] - 6.0;
      sx += dx;
      sy += dy;
      sxx += dx * dx;
      syy += dy * dy;
    }
    const double mx = sx / kShots, my = sy / kShots;
    const double dxs = std::sqrt(sxx / kShots - mx * mx), dys = std::sqrt(syy / kShots - my * my);
    std::printf("curl %d: mean error (%.4f, %.4f) m, spread (%.4f, %.4f) m\n", curl, mx, my, dxs,
                dys);
    EXPECT_LT(std::fabs(mx), 0.005);
    EXPECT_LT(std::fabs(my), 0.005);
    EXPECT_NEAR(dxs, kNoise, 0.05 * kNoise);
    EXPECT_NEAR(dys, kNoise, 0.05 * kNoise);
  }
}

TEST(Noise, EachCallDrawsAFreshErrorAndTheSeedReplaysThem) {
  const ShotVec v = Draw(2.375, 4.88, 0);
  GameState a = EmptyEnd(), b = EmptyEnd(), c = EmptyEnd();
  KorvaneSeed(7);
  Simulation(&a, v, 0.145f, nullptr, -1);
  Simulation(&b, v, 0.145f, nullptr, -1);
  EXPECT_NE(a.stones[0][0], b.stones[0][0]);
  KorvaneSeed(7);
  Simulation(&c, v, 0.145f, nullptr, -1);
  ExpectSameBytes(a, c);
}

TEST(Determinism, NoiseZeroGivesTheSameBytesEveryTime) {
  const GameState start = CrowdedEnd();
  GameState first = start;
  Simulation(&first, Hit(2.375, 4.88, 16, 1), 0.0f, nullptr, -1);
  for (int k = 0; k < 5; ++k) {
    GameState again = start;
    KorvaneSeed(k);
    Simulation(&again, Hit(2.375, 4.88, 16, 1), 0.0f, nullptr, -1);
    ExpectSameBytes(first, again);
  }
}

TEST(Threads, ManyThreadsAtOnceMatchOneThread) {
  constexpr int kThreads = 8, kShotsEach = 200;
  std::vector<GameState> expected(kShotsEach);
  auto play = [](int k, GameState* s) {
    *s = CrowdedEnd();
    const double x = 1.5 + 1.8 * (k % 17) / 16.0, y = 3.5 + 4.0 * (k % 13) / 12.0;
    Simulation(s, k % 3 == 0 ? Draw(x, y, k & 1) : Hit(x, y, 2.0 + k % 15, k & 1), 0.0f, nullptr,
               -1);
  };
  for (int k = 0; k < kShotsEach; ++k) play(k, &expected[k]);
  std::vector<std::vector<GameState>> got(kThreads, std::vector<GameState>(kShotsEach));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      KorvaneSeed(t);
      for (int k = 0; k < kShotsEach; ++k) {
        play(k, &got[t][k]);
        GameState noisy = CrowdedEnd();
        Simulation(&noisy, Draw(2.375, 4.88, 0), 0.145f, nullptr, -1);
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    for (int k = 0; k < kShotsEach; ++k) ExpectSameBytes(expected[k], got[t][k]);
  }
}

TEST(BadInput, NonFiniteAndHugeVectorsAreClampedAndReported) {
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3.4e38f};
  for (float a : bad) {
    for (float b : {a, 0.0f, -2.1f}) {
      GameState s = CrowdedEnd();
      ShotVec v = {a, b, 1, {0, 0, 0}};
      EXPECT_EQ(Simulation(&s, v, 0.0f, nullptr, -1), 0);
      EXPECT_EQ(s.shotIndex, 13);
      for (int i = 0; i < 13; ++i) {
        EXPECT_TRUE(std::isfinite(s.stones[i][0]) && std::isfinite(s.stones[i][1]));
      }
    }
  }
}

TEST(BadInput, BadNoiseIsPlayedWithoutError) {
  for (float noise : {NAN, -1.0f, INFINITY, 1e30f}) {
    GameState s = EmptyEnd();
    Simulation(&s, Draw(2.375, 4.88, 0), noise, nullptr, -1);
    EXPECT_TRUE(std::isfinite(s.stones[0][0]) && std::isfinite(s.stones[0][1])) << noise;
  }
}

TEST(BadInput, NonsenseStonesArePutOutOfPlay) {
  GameState s = EmptyEnd(16 - 1);
  const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 3.4e38f, -0.0f, 1e-40f};
  for (int i = 0; i < 15; ++i) Put(&s, i, bad[i % 8], bad[(i + 3) % 8]);
  s.stones[7][0] = 2.375f;  // one stone all on top of another
  s.stones[7][1] = 4.88f;
  s.stones[9][0] = 2.375f;
  s.stones[9][1] = 4.88f;
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 0), 0.145f, nullptr, -1), 1);
  for (int i = 0; i < 16; ++i) {
    EXPECT_TRUE(std::isfinite(s.stones[i][0]) && std::isfinite(s.stones[i][1])) << i;
  }
  EXPECT_EQ(s.shotIndex, 16);
}

TEST(BadInput, StonesPiledOnOneSpotFinishInBoundedTime) {
  GameState s = EmptyEnd(15);
  for (int i = 0; i < 15; ++i) Put(&s, i, 2.375, 4.88 + 0.001 * i);
  Simulation(&s, Hit(2.375, 4.88, 30, 0), 0.0f, nullptr, -1);
  for (int i = 0; i < 16; ++i) {
    EXPECT_TRUE(std::isfinite(s.stones[i][0]) && std::isfinite(s.stones[i][1])) << i;
  }
  EXPECT_EQ(s.shotIndex, 16);
}

TEST(Path, FramesFollowTheShotAndEndAtRest) {
  GameState s = EmptyEnd(1);
  Put(&s, 0, 2.375, 4.88);
  std::vector<PathFrame> frames(400);
  Simulation(&s, Hit(2.375, 4.88, 8, 0), 0.0f, frames.data(), static_cast<int>(frames.size()));
  EXPECT_EQ(frames[0].time, 0.0f);
  EXPECT_NEAR(frames[0].stones[1][0], 2.375, 1e-5);
  EXPECT_NEAR(frames[0].stones[1][1], 33.23, 1e-5);
  int last = 0;
  while (last + 1 < 400 && frames[last + 1].time >= 0) ++last;
  ASSERT_GT(last, 100);
  for (int i = 1; i <= last; ++i) EXPECT_GT(frames[i].time, frames[i - 1].time);
  EXPECT_EQ(std::memcmp(frames[last].stones, s.stones, 2 * 2 * sizeof(float)), 0);
}

TEST(Path, SmallBufferIsFilledWithCoarserFrames) {
  for (int capacity : {1, 2, 3, 10}) {
    std::vector<PathFrame> frames(capacity + 1);
    frames[capacity].time = 12345.0f;  // guard past the end
    GameState s = EmptyEnd();
    Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, frames.data(), capacity);
    EXPECT_EQ(frames[capacity].time, 12345.0f);
    EXPECT_NEAR(frames[capacity - 1].stones[0][1], s.stones[0][1], 1e-6) << capacity;
  }
  GameState s = EmptyEnd();
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, nullptr, 50), 1);
  EXPECT_EQ(Simulation(&s, Draw(2.375, 4.88, 1), 0.0f, reinterpret_cast<PathFrame*>(8), 0), 1);
  EXPECT_EQ(Simulation(nullptr, Draw(2.375, 4.88, 1), 0.0f, nullptr, -1), 0);
}
