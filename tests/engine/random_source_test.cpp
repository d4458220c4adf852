// The engine's Mersenne Twister against std::mt19937, and the random target
// drawn from it against the same draws from std::mt19937.
#include "strategy/random_source.h"

#include <gtest/gtest.h>

#include <random>

#include "strategy/rollout.h"

namespace {

constexpr uint32_t kSeeds[] = {0u, 1u, 5489u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 123456789u};

TEST(Mt19937, MatchesStdMt19937OverSeveralTwists) {
  for (uint32_t seed : kSeeds) {
    std::mt19937 expected(seed);
    Mt19937 mt;
    SeedMt19937(&mt, seed);
    for (int i = 0; i < 3 * kMtStateWords + 7; ++i) {
      ASSERT_EQ(mt(), expected()) << "seed " << seed << " draw " << i;
    }
  }
}

TEST(Mt19937, ReseedingStartsAfresh) {
  Mt19937 mt;
  SeedMt19937(&mt, 42u);
  for (int i = 0; i < 700; ++i) mt();
  SeedMt19937(&mt, 7u);
  std::mt19937 expected(7u);
  for (int i = 0; i < 1300; ++i) ASSERT_EQ(mt(), expected()) << i;
}

TEST(Mt19937, BatchSeedingMatchesStdMt19937) {
  constexpr int kEngines = 11;  // more than one pass of interleaved chains
  uint32_t seeds[kEngines];
  for (int k = 0; k < kEngines; ++k) seeds[k] = kSeeds[k % 7] + 977u * static_cast<uint32_t>(k);
  for (int words : {1, kMtShift + 6, kMtStateWords, kMtStateWords + 5}) {
    Mt19937 engines[kEngines];
    SeedMt19937Batch(engines, seeds, kEngines, words);
    for (int k = 0; k < kEngines; ++k) {
      std::mt19937 expected(seeds[k]);
      for (int i = 0; i < 2 * kMtStateWords + 3; ++i) {
        ASSERT_EQ(engines[k](), expected())
            << "words " << words << " engine " << k << " draw " << i;
      }
    }
  }
}

TEST(Mt19937, RandomTargetsEqualThoseOfStdMt19937) {
  SeedSource seeds;
  OpenSeedSource(&seeds);
  for (int round = 0; round < 200; ++round) {
    const uint32_t seed = DrawSeed(&seeds);
    std::mt19937 expected(seed);
    Mt19937 mt;
    SeedMt19937(&mt, seed);
    RandomTargetDistributions ours, theirs;
    for (int draw = 0; draw < 5; ++draw) {
      const ShotPos a = DrawRandomTarget(ours, mt);
      const ShotPos b = DrawRandomTarget(theirs, expected);
      ASSERT_EQ(a.x, b.x);
      ASSERT_EQ(a.y, b.y);
      ASSERT_EQ(a.curl, b.curl);
    }
  }
}

TEST(SeedSource, GivesVaryingSeeds) {
  SeedSource seeds;
  OpenSeedSource(&seeds);
  const uint32_t first = DrawSeed(&seeds);
  bool varied = false;
  for (int i = 0; i < 8 && !varied; ++i) varied = DrawSeed(&seeds) != first;
  EXPECT_TRUE(varied);
}

}  // namespace
