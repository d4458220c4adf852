#include <windows.h>

#include <atomic>

#include "platform/interrupt.h"

namespace {

constexpr int kSigInt = 2;
constexpr int kSigTerm = 15;

std::atomic<int> caught{0};

BOOL WINAPI OnControl(DWORD type) {
  const int sig = type == CTRL_C_EVENT ? kSigInt : kSigTerm;
  int none = 0;
  if (!caught.compare_exchange_strong(none, sig)) ExitProcess(static_cast<UINT>(128 + sig));
  return TRUE;
}

}  // namespace

void WatchInterrupts() { SetConsoleCtrlHandler(OnControl, TRUE); }

int InterruptSignal() { return caught.load(); }
