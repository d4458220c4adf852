#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/program_search.h"

// As execvp searches: each PATH entry in turn, an empty one meaning the
// current folder, the first file that may be executed.
std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (name.empty() || path == nullptr) return "";
  const std::string list = path;
  for (size_t start = 0; start <= list.size();) {
    size_t stop = list.find(':', start);
    if (stop == std::string::npos) stop = list.size();
    const std::string folder = list.substr(start, stop - start);
    start = stop + 1;
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}
