// Random numbers for the searches: non-deterministic seeds fetched in batches,
// and a Mersenne Twister that gives exactly the output of std::mt19937 with
// its standard single-value seeding, but seeds and twists only as far as the
// draws actually taken need. A random shot draws five values from a freshly
// seeded engine, where std::mt19937 would first compute all 624 seed words
// and twist all 624 of them (about 5 us, against 16,000 shots per search).
#pragma once

#include <cstdint>
#include <optional>
#include <random>

// Seeds fetched from the operating system at once: 256 bytes, the most that
// one getentropy call gives.
constexpr int kSeedBatch = 64;

// A thread's non-deterministic seeds, fetched a batch at a time: the system
// call (about 1 us) is then paid once per 64 seeds instead of once per
// random shot, and every seed is exactly as unpredictable. Each thread of a
// search opens its own, so nothing is shared and no lock is taken.
struct SeedSource {
  uint32_t batch[kSeedBatch];
  int next = kSeedBatch;  // index of the next unused seed; kSeedBatch: empty
  // Used only when the system's source fails: the standard library's
  // default device, and if that cannot be opened either, the clock, mixed.
  std::optional<std::random_device> device;
  bool deviceTried = false;
  uint32_t fallbackState = 0;
};

// Makes source empty; the first draw fetches the first batch. No system
// call and no allocation.
void OpenSeedSource(SeedSource* source);

// One 32-bit seed, never used before. Never throws.
uint32_t DrawSeed(SeedSource* source);

// MT19937 (32-bit): its state size and twist offset.
constexpr int kMtStateWords = 624;
constexpr int kMtShift = 397;

// The engine's state; a UniformRandomBitGenerator for the standard
// distributions. Set up by SeedMt19937 before the first draw.
struct Mt19937 {
  using result_type = uint32_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return 0xffffffffu; }
  result_type operator()();

  uint32_t words[kMtStateWords];
  int next;    // index of the next word to twist and temper
  int seeded;  // words[0 .. seeded-1] hold their seeding values (or later ones)
};

// The standard single-value seeding; the seed words themselves are filled in
// on demand by the draws.
void SeedMt19937(Mt19937* mt, uint32_t seed);

// Outputs of each freshly seeded engine that PrepareMt19937Batch makes
// ahead: the five draws of one random target (two for each coordinate, one
// for the curl).
constexpr int kPreparedDraws = 5;

// std::mt19937 with the standard single-value seeding, its first
// kPreparedDraws outputs already made; a UniformRandomBitGenerator that gives
// exactly std::mt19937's output. A draw beyond those (which the standard
// distributions would take only on a rare rejection) replays the engine from
// its seed.
struct PreparedMt19937 {
  using result_type = uint32_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return 0xffffffffu; }
  result_type operator()();

  uint32_t seed;
  uint32_t first[kPreparedDraws];
  int taken;  // outputs handed out so far
};

// Prepares count engines, one for each seed. Each needs about 400 steps of
// the seeding recurrence, one long chain of dependent multiplies, for the
// seed words that its first twist reads (words i, i + 1 and i + 397); the
// chains of many engines run side by side so that the processor is kept
// busy, and only the eleven words that the draws read are kept.
void PrepareMt19937Batch(PreparedMt19937* engines, const uint32_t* seeds, int count);

// Output `index` (from 0) of std::mt19937 seeded with seed, made from scratch.
uint32_t ReplayMt19937(uint32_t seed, int index);

// The next output, identical to std::mt19937's.
uint32_t NextMt19937(Mt19937* mt);

inline Mt19937::result_type Mt19937::operator()() { return NextMt19937(this); }

inline PreparedMt19937::result_type PreparedMt19937::operator()() {
  const int index = taken++;
  return index < kPreparedDraws ? first[index] : ReplayMt19937(seed, index);
}
