#include "batch.h"

#include <omp.h>

#include <cstring>
#include <vector>

namespace {

uint64_t Mix(uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int ThreadsFor(int requested, int64_t count) {
  int threads = requested > 0 ? requested : omp_get_num_procs();
  if (count < threads) threads = count > 0 ? static_cast<int>(count) : 1;
  return threads;
}

// Items per scheduling chunk: big enough that handing one out costs
// nothing next to its shots, small enough that a crowded house on one
// thread does not hold up the other.
constexpr int64_t kChunk = 512;

void CopyFrames(const PathFrame* frames, int frameCount, const GameState& rest, float* out) {
  int written = 0;
  while (written < frameCount && frames[written].time >= 0) ++written;
  for (int f = 0; f < frameCount; ++f) {
    const float(*stones)[2] = f < written ? frames[f].stones : rest.stones;
    std::memcpy(out + static_cast<int64_t>(f) * 32, stones, 32 * sizeof(float));
  }
}

}  // namespace

namespace {

// Shots and targets share their row layout, so one reading serves both.
template <typename Record>
Record FromRow(const float* row) {
  return Record{row[0], row[1], static_cast<uint8_t>(row[2] != 0.0f ? 1 : 0), {}};
}

}  // namespace

ShotVec ShotFromRow(const float* row) { return FromRow<ShotVec>(row); }

ShotPos TargetFromRow(const float* row) { return FromRow<ShotPos>(row); }

void RowFromShot(const ShotVec& vec, float* row) {
  row[0] = vec.vx;
  row[1] = vec.vy;
  row[2] = vec.curl;
}

uint64_t ItemSeed(uint64_t batchSeed, int64_t index) {
  return Mix(Mix(batchSeed) ^ static_cast<uint64_t>(index));
}

void SimulateBatch(const PhysicsCalls& physics, const GameState* in, GameState* out,
                   const float* shots, int64_t count, const BatchOptions& options, float* positions,
                   int frameCount) {
  const int threads = ThreadsFor(options.threads, count);
#pragma omp parallel num_threads(threads)
  {
    std::vector<PathFrame> frames(frameCount > 0 ? frameCount : 0);
#pragma omp for schedule(dynamic, kChunk)
    for (int64_t i = 0; i < count; ++i) {
      // Copied here rather than all at once: the record is then in cache
      // when the library reads it.
      out[i] = in[i];
      const ShotVec vec = ShotFromRow(shots + 3 * i);
      if (options.seeded) physics.seed(ItemSeed(options.seed, i));
      if (frameCount > 0) {
        // A record the library cannot play gets no frames; the previous
        // item's must not be taken for them.
        frames[0].time = -1.0f;
        physics.simulate(&out[i], vec, options.noise, frames.data(), frameCount);
        CopyFrames(frames.data(), frameCount, out[i], positions + i * frameCount * 32);
      } else {
        physics.simulate(&out[i], vec, options.noise, nullptr, -1);
      }
    }
  }
}

void CreateShotBatch(const PhysicsCalls& physics, const float* targets, int64_t count, float* out,
                     int threads) {
#pragma omp parallel for num_threads(ThreadsFor(threads, count)) schedule(static)
  for (int64_t i = 0; i < count; ++i) {
    ShotVec vec{};
    physics.createShot(TargetFromRow(targets + 3 * i), &vec);
    RowFromShot(vec, out + 3 * i);
  }
}

void CreateHitShotBatch(const PhysicsCalls& physics, const float* targets, const float* power,
                        int64_t count, float* out, int threads) {
#pragma omp parallel for num_threads(ThreadsFor(threads, count)) schedule(static)
  for (int64_t i = 0; i < count; ++i) {
    ShotVec vec{};
    physics.createHitShot(TargetFromRow(targets + 3 * i), power[i], &vec);
    RowFromShot(vec, out + 3 * i);
  }
}

void ScoreBatch(const PhysicsCalls& physics, const GameState* states, int64_t count, int32_t* out,
                int threads) {
#pragma omp parallel for num_threads(ThreadsFor(threads, count)) schedule(static)
  for (int64_t i = 0; i < count; ++i) out[i] = physics.getScore(&states[i]);
}
