#include "fuzz/engine_message.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/protocol.h"
#include "app/text.h"

namespace {

// Ends the message at the start of the line that holds GO number
// kMaxGoPerMessage + 1, finding lines and command words as HandleMessage
// and HandleCommand do.
void CapGoLines(char* message) {
  static char word[kTextBufferSize];
  static char line[kTextBufferSize];
  int goLines = 0;
  char* start = message;
  while (*start != '\0') {
    const std::size_t length = std::strcspn(start, "\r\n");
    std::memcpy(line, start, length);
    line[length] = '\0';
    if (GetToken(word, sizeof word, line, 0) && MatchesKeyword(word, "GO") &&
        ++goLines > kMaxGoPerMessage) {
      *start = '\0';
      return;
    }
    start += length;
    if (*start != '\0') ++start;
  }
}

}  // namespace

void SetUpEngineFuzzing() {
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  setenv("OMP_NUM_THREADS", "1", 0);
}

void HandleFuzzMessage(const uint8_t* data, std::size_t size) {
  static char message[kTextBufferSize];
  std::memset(&gameState, 0, sizeof gameState);
  std::memset(message, 0, sizeof message);
  if (size > sizeof message - 1) size = sizeof message - 1;
  std::memcpy(message, data, size);
  CapGoLines(message);
  HandleMessage(message);
}
