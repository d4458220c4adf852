#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/console.h"

// Windows has no SIGPIPE: a write to a pipe without a reader simply fails.
void ConsoleSetUp() { _setmode(_fileno(stderr), _O_BINARY); }

long ConsoleRead(char* dest, std::size_t capacity) {
  DWORD got = 0;
  const DWORD ask = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), dest, ask, &got, nullptr)) {
    // A closed pipe reports itself as a failed read rather than zero bytes.
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  }
  return static_cast<long>(got);
}

bool ConsoleWrite(const char* text, std::size_t length) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (length > 0) {
    const DWORD ask = length > MAXDWORD ? MAXDWORD : static_cast<DWORD>(length);
    DWORD written = 0;
    // ERROR_NO_DATA or ERROR_BROKEN_PIPE (the reader has gone) lands here.
    if (!WriteFile(output, text, ask, &written, nullptr) || written == 0) return false;
    text += written;
    length -= written;
  }
  return true;
}
