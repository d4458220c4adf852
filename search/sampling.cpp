#include "search/sampling.h"

#include "search/end_value.h"
#include "search/playout.h"
#include "sim/sheet.h"

namespace search {

uint64_t SampleSeed(uint64_t seed, uint64_t j) {
  // SplitMix64 of the pair: neighbouring samples get unrelated streams.
  uint64_t z = seed + (j + 1) * 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int SampleSlot(const SampleJob& job, const ShotVec& vec, uint64_t j) {
  if (job.physics.seed != nullptr) job.physics.seed(SampleSeed(job.seed, j));
  GameState s = *job.root;
  job.physics.simulate(&s, vec, job.noise, nullptr, -1);
  PlayOut(&s, job.physics, job.noise);
  return ScoreSlot(EndScoreFor(s, game::kStonesPerEnd, job.moverParity));
}

}  // namespace search
