// The engine's Mersenne Twisters, lazily seeded or prepared in batches, must
// give std::mt19937's output exactly, through the standard distributions as
// well; the system's random bytes must fill exactly what was
// asked, and the seeds fetched in batches must never repeat a batch.
#include "strategy/random_source.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "platform/entropy.h"

#include "strategy/rollout.h"

namespace {

constexpr uint32_t kSeeds[] = {0u, 1u, 5489u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 123456789u};

TEST(Mt19937, MatchesStdMt19937LazyOrPreparedInBatches) {
  // Lazily seeded alone, over more than two whole twists.
  for (uint32_t seed : kSeeds) {
    std::mt19937 expected(seed);
    Mt19937 mt;
    SeedMt19937(&mt, seed);
    for (int i = 0; i < 2 * kMtStateWords + 3; ++i) ASSERT_EQ(mt(), expected()) << seed << " " << i;
  }
  // Prepared in batches of more than one pass of side-by-side chains, and
  // past the prepared draws.
  for (int count : {1, 31, 32, 33, 70}) {
    std::vector<uint32_t> seeds(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) seeds[k] = kSeeds[k % 7] + 977u * static_cast<uint32_t>(k);
    std::vector<PreparedMt19937> engines(seeds.size());
    PrepareMt19937Batch(engines.data(), seeds.data(), count);
    for (int k = 0; k < count; ++k) {
      std::mt19937 expected(seeds[k]);
      for (int i = 0; i < kPreparedDraws + 3; ++i) {
        ASSERT_EQ(engines[k](), expected()) << "count " << count << " engine " << k << " draw " << i;
      }
    }
  }
  // The distributions take the same bits from all three.
  for (uint32_t seed : kSeeds) {
    std::mt19937 expected(seed);
    Mt19937 mt;
    SeedMt19937(&mt, seed);
    PreparedMt19937 prepared;
    PrepareMt19937Batch(&prepared, &seed, 1);
    RandomTargetDistributions d[3];
    for (int draw = 0; draw < 5; ++draw) {
      const ShotPos a = DrawRandomTarget(d[0], mt);
      const ShotPos b = DrawRandomTarget(d[1], expected);
      ASSERT_TRUE(a.x == b.x && a.y == b.y && a.curl == b.curl) << seed << " " << draw;
      if (draw == 0) {
        const ShotPos c = DrawRandomTarget(d[2], prepared);
        ASSERT_TRUE(c.x == b.x && c.y == b.y && c.curl == b.curl) << seed;
      }
    }
  }
}

TEST(SystemRandomBytes, FillsExactlyTheRequestInChunks) {
  constexpr unsigned char kCanary = 0xa5;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{32}, kEntropyChunkBytes - 1,
                           kEntropyChunkBytes, kEntropyChunkBytes + 1, 4 * kEntropyChunkBytes + 3}) {
    std::vector<unsigned char> bytes(size + 8, kCanary);
    ASSERT_TRUE(SystemRandomBytes(bytes.data(), size)) << size;
    for (std::size_t i = size; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], kCanary) << size;
    // Past the first chunk as well, the bytes are not left as they were.
    if (size >= 32) {
      int untouched = 0;
      for (std::size_t i = size - 32; i < size; ++i) untouched += bytes[i] == kCanary;
      EXPECT_LT(untouched, 8) << size;
    }
  }
}

TEST(SeedSource, EveryBatchIsFreshAndSourcesAreIndependent) {
  SeedSource a, b;
  OpenSeedSource(&a);
  OpenSeedSource(&b);
  std::set<uint32_t> seen;
  std::vector<uint32_t> drawn;
  for (int i = 0; i < 3 * kSeedBatch; ++i) {
    drawn.push_back(DrawSeed(&a));
    seen.insert(drawn.back());
    seen.insert(DrawSeed(&b));
  }
  // 384 draws of 32 bits: one repeat by chance has odds of about 1 in 60,000,
  // two are out of the question; a batch handed out twice makes 64.
  EXPECT_GE(seen.size(), drawn.size() * 2 - 1);
  for (int i = 0; i + kSeedBatch < static_cast<int>(drawn.size()); ++i) {
    ASSERT_NE(drawn[i], drawn[i + kSeedBatch]) << i;
  }
}

TEST(RandomTargets, VaryWithinTheRectangleAcrossBatches) {
  RandomShotSource shots;
  OpenRandomShotSource(&shots);
  ShotPos previous = NextRandomTarget(&shots);
  int curls[2] = {0, 0};
  for (int i = 0; i < 8 * kRandomShotBatch; ++i) {
    const ShotPos p = NextRandomTarget(&shots);
    ASSERT_TRUE(p.x >= kRandomXMin && p.x <= kRandomXMax) << p.x;
    ASSERT_TRUE(p.y >= kRandomYMin && p.y <= kRandomYMax) << p.y;
    ASSERT_LE(p.curl, 1);
    EXPECT_FALSE(p.x == previous.x && p.y == previous.y) << i;
    ++curls[p.curl];
    previous = p;
  }
  EXPECT_GT(curls[0], 0);
  EXPECT_GT(curls[1], 0);
}

}  // namespace
