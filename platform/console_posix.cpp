#include <unistd.h>

#include <cerrno>

#include "platform/console.h"

void ConsoleSetUp() {}

long ConsoleRead(char* dest, std::size_t capacity) {
  ssize_t got;
  // A signal that interrupts the wait has delivered no data: wait again.
  do {
    got = read(STDIN_FILENO, dest, capacity);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? -1 : static_cast<long>(got);
}

bool ConsoleWrite(const char* text, std::size_t length) {
  return write(STDOUT_FILENO, text, length) == static_cast<ssize_t>(length);
}
