#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/console.h"

void ConsoleSetUp() {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

long ConsoleRead(char* dest, std::size_t capacity) {
  ssize_t got;
  // A signal that interrupts the wait has delivered no data: wait again.
  do {
    got = read(STDIN_FILENO, dest, capacity);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? -1 : static_cast<long>(got);
}

bool ConsoleWrite(const char* text, std::size_t length) {
  while (length > 0) {
    const ssize_t put = write(STDOUT_FILENO, text, length);
    if (put < 0 && errno == EINTR) continue;
    // EPIPE (the reader has gone) lands here, as does any other failure.
    if (put <= 0) return false;
    text += put;
    length -= static_cast<std::size_t>(put);
  }
  return true;
}
