#include "strategy/random_source.h"

#include <chrono>
#include <cstdint>
#include <cstring>

#include "platform/entropy.h"

namespace {

constexpr uint32_t kSeedMultiplier = 1812433253u;
constexpr uint32_t kMatrixA = 0x9908b0dfu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7fffffffu;

// Odd constant of the last fallback's Weyl sequence (2^32 / golden ratio).
constexpr uint32_t kWeylStep = 0x9e3779b9u;

// Seeding recurrence up to and including word last:
// x[i] = 1812433253 * (x[i-1] ^ (x[i-1] >> 30)) + i.
void SeedUpTo(Mt19937* mt, int last) {
  uint32_t x = mt->words[mt->seeded - 1];
  for (int i = mt->seeded; i <= last; ++i) {
    x = kSeedMultiplier * (x ^ (x >> 30)) + static_cast<uint32_t>(i);
    mt->words[i] = x;
  }
  mt->seeded = last + 1;
}

// A seed for when the system's source has failed: from the standard
// library's default device while it works, else from the clock, mixed.
uint32_t FallbackSeed(SeedSource* source) {
  if (!source->deviceTried) {
    source->deviceTried = true;
    source->fallbackState =
        static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                              reinterpret_cast<std::uintptr_t>(source));
    try {
      source->device.emplace();
    } catch (...) {
    }
  }
  if (source->device) {
    try {
      return (*source->device)();
    } catch (...) {
      source->device.reset();
    }
  }
  // splitmix32-style finaliser over a Weyl sequence.
  uint32_t z = source->fallbackState += kWeylStep;
  z = (z ^ (z >> 16)) * 0x85ebca6bu;
  z = (z ^ (z >> 13)) * 0xc2b2ae35u;
  return z ^ (z >> 16);
}

}  // namespace

void OpenSeedSource(SeedSource* source) {
  source->next = kSeedBatch;
  source->device.reset();
  source->deviceTried = false;
}

uint32_t DrawSeed(SeedSource* source) {
  if (source->next >= kSeedBatch) {
    if (!SystemRandomBytes(source->batch, sizeof source->batch)) {
      for (uint32_t& seed : source->batch) seed = FallbackSeed(source);
    }
    source->next = 0;
  }
  return source->batch[source->next++];
}

void SeedMt19937(Mt19937* mt, uint32_t seed) {
  mt->words[0] = seed;
  mt->seeded = 1;
  mt->next = 0;
}

namespace {

// Engines prepared side by side: enough independent chains to hide the
// latency of each step (a multiply, a shift, an exclusive or and an add).
constexpr int kLanes = 32;
using Lanes = uint32_t[kLanes];

inline void SeedStep(Lanes& x, uint32_t i) {
  for (int k = 0; k < kLanes; ++k) x[k] = kSeedMultiplier * (x[k] ^ (x[k] >> 30)) + i;
}

uint32_t Temper(uint32_t z) {
  z ^= z >> 11;
  z ^= (z << 7) & 0x9d2c5680u;
  z ^= (z << 15) & 0xefc60000u;
  return z ^ (z >> 18);
}

// Word i twisted, from words i, i + 1 and i + 397 (all modulo 624).
uint32_t Twist(uint32_t word, uint32_t following, uint32_t shifted) {
  const uint32_t y = (word & kUpperMask) | (following & kLowerMask);
  return shifted ^ (y >> 1) ^ ((y & 1u) != 0 ? kMatrixA : 0u);
}

}  // namespace

void PrepareMt19937Batch(PreparedMt19937* engines, const uint32_t* seeds, int count) {
  for (int first = 0; first < count; first += kLanes) {
    const int lanes = count - first < kLanes ? count - first : kLanes;
    Lanes x = {};
    for (int k = 0; k < lanes; ++k) x[k] = seeds[first + k];
    Lanes head[kPreparedDraws + 1];  // seed words 0 .. kPreparedDraws
    Lanes tail[kPreparedDraws];      // seed words kMtShift .. kMtShift + kPreparedDraws - 1
    std::memcpy(head[0], x, sizeof x);
    uint32_t i = 1;
    for (; i <= kPreparedDraws; ++i) {
      SeedStep(x, i);
      std::memcpy(head[i], x, sizeof x);
    }
    for (; i < kMtShift; ++i) SeedStep(x, i);
    for (int j = 0; j < kPreparedDraws; ++j, ++i) {
      SeedStep(x, i);
      std::memcpy(tail[j], x, sizeof x);
    }
    for (int k = 0; k < lanes; ++k) {
      PreparedMt19937& e = engines[first + k];
      e.seed = seeds[first + k];
      e.taken = 0;
      for (int j = 0; j < kPreparedDraws; ++j) {
        e.first[j] = Temper(Twist(head[j][k], head[j + 1][k], tail[j][k]));
      }
    }
  }
}

uint32_t ReplayMt19937(uint32_t seed, int index) {
  Mt19937 mt;
  SeedMt19937(&mt, seed);
  for (int k = 0; k < index; ++k) NextMt19937(&mt);
  return NextMt19937(&mt);
}

uint32_t NextMt19937(Mt19937* mt) {
  const int i = mt->next;
  // Word i of the first twist reads seed words i, i + 1 and i + 397; once
  // word 226 is done, every seed word has been made.
  if (mt->seeded < kMtStateWords) {
    const int needed = i + kMtShift < kMtStateWords ? i + kMtShift : kMtStateWords - 1;
    if (needed >= mt->seeded) SeedUpTo(mt, needed);
  }
  const int following = i + 1 < kMtStateWords ? i + 1 : 0;
  const int shifted = i + kMtShift < kMtStateWords ? i + kMtShift : i + kMtShift - kMtStateWords;
  uint32_t* w = mt->words;
  w[i] = Twist(w[i], w[following], w[shifted]);
  mt->next = following;
  return Temper(w[i]);
}
