#include <unistd.h>

#include "platform/executable.h"

const char* const kExecutableSuffix = "";

std::string ExecutableDir() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  const std::string self(path, static_cast<size_t>(n));
  const size_t slash = self.rfind('/');
  return slash == std::string::npos ? "" : self.substr(0, slash);
}
