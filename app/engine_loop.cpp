#include <cstdio>
#include <cstring>

#include "app/protocol.h"
#include "platform/console.h"
#include "sim/simulator.h"

int RunEngine(void (*onLoaded)()) {
  ConsoleSetUp();
  if (!LoadSimulator()) {
    std::fputs("failed to load Korvane.dll\n", stderr);
    return 0;
  }
  if (onLoaded != nullptr) onLoaded();
  // One byte short of the buffer, so a full read still ends in a zero byte.
  static char message[kTextBufferSize];
  for (;;) {
    std::memset(message, 0, sizeof message);
    // End of input or a broken console: nothing more can arrive, so end
    // normally and let the library's exit handlers run.
    if (!ReadMessage(message, sizeof message - 1)) return 0;
    // Nobody reads the replies any more: the session is over just the same.
    if (HandleMessage(message) == Handled::kOutputClosed) return 0;
  }
}
