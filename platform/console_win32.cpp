#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/console.h"

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
  DWORD written = 0;
  const BOOL ok = WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length),
                            &written, nullptr);
  return ok && written == length;
}
