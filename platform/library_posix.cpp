#include <dlfcn.h>

#include <cstring>
#include <string>

#include "platform/executable.h"
#include "platform/library.h"

LibraryHandle OpenLibrary(const char* name) {
  // A bare name makes the loader search LD_LIBRARY_PATH, then the run path
  // of the object that calls dlopen, then the system folders.
  if (LibraryHandle library = dlopen(name, RTLD_NOW | RTLD_LOCAL)) return library;
  // The executable's own $ORIGIN run path is not consulted when dlopen is
  // reached through another library (a sanitizer runtime intercepts it, for
  // one), so look next to the executable explicitly as well.
  if (std::strchr(name, '/') != nullptr) return nullptr;
  const std::string folder = ExecutableDir();
  if (folder.empty()) return nullptr;
  return dlopen((folder + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const char* symbol) { return dlsym(library, symbol); }
