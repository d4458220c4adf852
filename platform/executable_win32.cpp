#include <windows.h>

#include "platform/executable.h"

const char* const kExecutableSuffix = ".exe";

std::string ExecutableDir() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return "";
  const std::string self(path, n);
  const size_t slash = self.find_last_of("\\/");
  return slash == std::string::npos ? "" : self.substr(0, slash);
}
