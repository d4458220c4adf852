#include <io.h>
#include <windows.h>

#include "platform/file_system.h"

bool FlushToDisk(std::FILE* f) { return _commit(_fileno(f)) == 0; }

bool MoveFileOver(const std::string& from, const std::string& to) {
  // The C runtime's rename refuses to replace an existing file.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
