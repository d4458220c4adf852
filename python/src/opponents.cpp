#include "opponents.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "strategy/decision.h"

namespace {

std::mutex quietMutex;
int quietDepth = 0;
int savedStderr = -1;

}  // namespace

ShotVec OpponentShot(const OpponentOptions& options, const GameState& state) {
  ShotVec vec{};
  DecideShot(state, &vec);
  (void)options;
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
