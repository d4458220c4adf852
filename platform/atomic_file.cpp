#include "platform/atomic_file.h"

#include <cstdio>

#include "platform/file_system.h"

bool WriteFileAtomically(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fflush(f) == 0 && ok;
  ok = FlushToDisk(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = MoveFileOver(temp, path);
  if (!ok) std::remove(temp.c_str());
  return ok;
}
