#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/library.h"

namespace {

// The folder of the running executable, with a trailing slash; empty when
// it cannot be found.
std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
  path[length] = '\0';
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? std::string()
                          : std::string(path, static_cast<std::size_t>(slash + 1 - path));
}

}  // namespace

LibraryHandle OpenLibrary(const char* name) {
  // A bare name makes the loader search LD_LIBRARY_PATH, then the run path
  // of the object that calls dlopen, then the system folders.
  if (LibraryHandle library = dlopen(name, RTLD_NOW | RTLD_LOCAL)) return library;
  // The executable's own $ORIGIN run path is not consulted when dlopen is
  // reached through another library (a sanitizer runtime intercepts it, for
  // one), so look next to the executable explicitly as well.
  if (std::strchr(name, '/') != nullptr) return nullptr;
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return nullptr;
  return dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const char* symbol) { return dlsym(library, symbol); }
