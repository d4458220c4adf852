#include "opponents.h"

#include <fcntl.h>
#include <omp.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "search/search.h"
#include "strategy/decision.h"

namespace {

std::mutex quietMutex;
int quietDepth = 0;
int savedStderr = -1;

}  // namespace

ShotVec OpponentShot(const OpponentOptions& options, const GameState& state, uint64_t seed) {
  ShotVec vec{};
  if (options.kind == OpponentKind::kSearch) {
    search::SearchLimits limits;
    limits.samples = options.searchSamples;
    if (options.searchSamples <= 0) limits.milliseconds = options.searchMs;
    // Inside the batch's own team of threads the search keeps to one.
    limits.threads = omp_in_parallel() ? 1 : 0;
    limits.seed = seed;
    search::SearchShot(state, limits, &vec);
  } else {
    DecideShot(state, &vec);
  }
  return vec;
}

QuietStderr::QuietStderr(bool on) : active(on) {
  if (!active) return;
  std::lock_guard<std::mutex> lock(quietMutex);
  if (quietDepth++ > 0) return;
  std::fflush(stderr);
  savedStderr = dup(2);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, 2);
    close(null);
  }
}

QuietStderr::~QuietStderr() {
  if (!active) return;
  std::lock_guard<std::mutex> lock(quietMutex);
  if (--quietDepth > 0) return;
  std::fflush(stderr);
  if (savedStderr >= 0) {
    dup2(savedStderr, 2);
    close(savedStderr);
    savedStderr = -1;
  }
}
