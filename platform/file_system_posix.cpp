#include <unistd.h>

#include "platform/file_system.h"

bool FlushToDisk(std::FILE* f) { return fsync(fileno(f)) == 0; }

bool MoveFileOver(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}
