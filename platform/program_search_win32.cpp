#include <windows.h>

#include "platform/program_search.h"

std::string FindProgram(const std::string& name) {
  if (name.empty()) return "";
  char found[MAX_PATH];
  const DWORD n = SearchPathA(nullptr, name.c_str(), ".exe", sizeof found, found, nullptr);
  return n == 0 || n >= sizeof found ? "" : std::string(found, n);
}
