// A stand-in for Korvane.dll with exact, scripted behaviour, so that the
// engine's replies can be predicted to the byte:
// - CreateShot returns the target itself as the vector (vx = x, vy = y).
// - CreateHitShot returns (x, -y): a negative vy marks a hit.
// - Simulation puts a draw's stone exactly on its target. A hit removes the
//   stone at its target (to (0, 0)) while the process's count of hits with
//   that curl is below the figure set in KORVANE_DOUBLE_HITS ("n0 n1");
//   otherwise the stone stays.
//   The record moves on as the real library moves it (stand_in.h); the
//   end's last stone scores the end: KORVANE_DOUBLE_SCORE (default 0), or,
//   when KORVANE_DOUBLE_SCORE_STONE names a stone, that score when the stone
//   lies left of the centre line and its negation otherwise.
// - Every call is counted, and so are the hits of each power (HeavyHits: 16,
//   LightHits: 8), the Simulation calls not given (0.145, null, -1)
//   (BadArguments) and the distinct threads that call Simulation (Threads).
//   At exit the counts are written to the file named by
//   KORVANE_DOUBLE_COUNTS, one "name value" per line.
#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "korvane/korvane.h"
#include "tests/double/stand_in.h"

#ifndef KORVANE_DOUBLE_X_OFFSET
#define KORVANE_DOUBLE_X_OFFSET 0.0f
#endif

namespace {

// Added to every vx that CreateShot makes, so that a second build of the
// double can be told apart from the first by the engine's replies.
constexpr float kXOffset = KORVANE_DOUBLE_X_OFFSET;
constexpr float kCentreLineX = float(sheet::kCentreX);
constexpr float kExpectedNoise = float(game::kExecutionNoise);

struct Script {
  long hitSuccesses[2] = {0, 0};
  int score = 0;
  int scoreStone = -1;
  const char* countsFile = nullptr;
};
Script script;

enum Count {
  kSimulation,
  kCreateShot,
  kCreateHitShot,
  kHeavyHits,
  kLightHits,
  kBadArguments,
  kThreads,
  kCountKinds
};
const char* const kCountNames[kCountKinds] = {"Simulation", "CreateShot", "CreateHitShot",
                                              "HeavyHits",  "LightHits",  "BadArguments",
                                              "Threads"};
std::atomic<long> counts[kCountKinds];
std::atomic<long> hitsPlayed[2];

// Threads seen by Simulation, by id. No thread_local here: LeakSanitizer's
// exit scan crashes on the dynamic TLS blocks of a dlopen'ed library.
constexpr int kMaxThreads = 256;
std::atomic<unsigned long> threadIds[kMaxThreads];

void CountThread() {
  const unsigned long self = static_cast<unsigned long>(pthread_self());
  for (std::atomic<unsigned long>& slot : threadIds) {
    unsigned long seen = slot.load();
    if (seen == self) return;
    if (seen == 0 && slot.compare_exchange_strong(seen, self)) {
      counts[kThreads].fetch_add(1);
      return;
    }
  }
}

__attribute__((constructor)) void ReadScript() {
  if (const char* hits = std::getenv("KORVANE_DOUBLE_HITS")) {
    std::sscanf(hits, "%ld %ld", &script.hitSuccesses[0], &script.hitSuccesses[1]);
  }
  if (const char* score = std::getenv("KORVANE_DOUBLE_SCORE")) script.score = std::atoi(score);
  if (const char* stone = std::getenv("KORVANE_DOUBLE_SCORE_STONE")) {
    script.scoreStone = std::atoi(stone);
  }
  script.countsFile = std::getenv("KORVANE_DOUBLE_COUNTS");
}

__attribute__((destructor)) void WriteCounts() {
  if (script.countsFile == nullptr) return;
  FILE* f = std::fopen(script.countsFile, "w");
  if (f == nullptr) return;
  for (int k = 0; k < kCountKinds; ++k)
    std::fprintf(f, "%s %ld\n", kCountNames[k], counts[k].load());
  std::fclose(f);
}

void PlayHit(GameState* state, int32_t shot, ShotVec vec) {
  const int k = vec.curl != 0 ? 1 : 0;
  const bool removes = hitsPlayed[k].fetch_add(1) < script.hitSuccesses[k];
  for (int i = 0; i < shot; ++i) {
    if (state->stones[i][0] == vec.vx && state->stones[i][1] == -vec.vy) {
      if (removes) {
        state->stones[i][0] = 0.0f;
        state->stones[i][1] = 0.0f;
      }
      break;
    }
  }
  state->stones[shot][0] = 0.0f;
  state->stones[shot][1] = 0.0f;
}

int EndScore(const GameState* state) {
  if (script.scoreStone < 0 || script.scoreStone >= game::kStonesPerEnd) return script.score;
  return state->stones[script.scoreStone][0] < kCentreLineX ? script.score : -script.score;
}

}  // namespace

KORVANE_API int KORVANE_CALL Simulation(GameState* state, ShotVec vec, float noise, PathFrame* path,
                                        int pathCapacity) {
  counts[kSimulation].fetch_add(1);
  CountThread();
  if (noise != kExpectedNoise || path != nullptr || pathCapacity != -1) {
    counts[kBadArguments].fetch_add(1);
  }
  if (!StartThrow(state)) return 0;
  const int32_t shot = state->shotIndex;
  if (vec.vy < 0.0f) {
    PlayHit(state, shot, vec);
  } else {
    state->stones[shot][0] = vec.vx - kXOffset;
    state->stones[shot][1] = vec.vy;
  }
  FinishThrow(state, EndScore);
  return 1;
}

KORVANE_API int KORVANE_CALL CreateShot(ShotPos target, ShotVec* out) {
  counts[kCreateShot].fetch_add(1);
  out->vx = target.x + kXOffset;
  out->vy = target.y;
  out->curl = target.curl;
  return 1;
}

KORVANE_API int KORVANE_CALL CreateHitShot(ShotPos target, float power, ShotVec* out) {
  counts[kCreateHitShot].fetch_add(1);
  if (power == 16.0f) counts[kHeavyHits].fetch_add(1);
  if (power == 8.0f) counts[kLightHits].fetch_add(1);
  out->vx = target.x;
  out->vy = -target.y;
  out->curl = target.curl;
  return 1;
}

KORVANE_API int KORVANE_CALL GetScore(const GameState* state) { return EndScore(state); }
