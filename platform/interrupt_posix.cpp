#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/interrupt.h"

namespace {

std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

void OnSignal(int sig) {
  int none = 0;
  if (!caught.compare_exchange_strong(none, sig)) _exit(128 + sig);
}

}  // namespace

void WatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Without SA_RESTART a blocked read would fail with EINTR in a game thread.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() { return caught.load(); }
