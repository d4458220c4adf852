#include "strategy/random_source.h"

#include <chrono>
#include <cstdint>

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

void SeedMt19937Batch(Mt19937* engines, const uint32_t* seeds, int count, int words) {
  if (words > kMtStateWords) words = kMtStateWords;
  constexpr int kLanes = 8;  // independent chains per pass
  for (int first = 0; first < count; first += kLanes) {
    const int lanes = count - first < kLanes ? count - first : kLanes;
    Mt19937* mt = engines + first;
    uint32_t x[kLanes] = {};
    for (int k = 0; k < lanes; ++k) {
      SeedMt19937(&mt[k], seeds[first + k]);
      x[k] = seeds[first + k];
    }
    for (int i = 1; i < words; ++i) {
      for (int k = 0; k < kLanes; ++k) {
        x[k] = kSeedMultiplier * (x[k] ^ (x[k] >> 30)) + static_cast<uint32_t>(i);
      }
      for (int k = 0; k < lanes; ++k) mt[k].words[i] = x[k];
    }
    for (int k = 0; k < lanes; ++k) mt[k].seeded = words < 1 ? 1 : words;
  }
}

uint32_t NextMt19937(Mt19937* mt) {
  const int i = mt->next;
  // Word i of the first twist reads seed words i, i + 1 and i + 397; once
  // word 226 is done, every seed word has been made.
  if (mt->seeded < kMtStateWords) {
    SeedUpTo(mt, i + kMtShift < kMtStateWords ? i + kMtShift : kMtStateWords - 1);
  }
  const int following = i + 1 < kMtStateWords ? i + 1 : 0;
  const int shifted = i + kMtShift < kMtStateWords ? i + kMtShift : i + kMtShift - kMtStateWords;
  uint32_t* w = mt->words;
  const uint32_t y = (w[i] & kUpperMask) | (w[following] & kLowerMask);
  w[i] = w[shifted] ^ (y >> 1) ^ ((y & 1u) != 0 ? kMatrixA : 0u);
  mt->next = following;

  uint32_t z = w[i];
  z ^= z >> 11;
  z ^= (z << 7) & 0x9d2c5680u;
  z ^= (z << 15) & 0xefc60000u;
  z ^= z >> 18;
  return z;
}
