#include <dlfcn.h>

#include "platform/library.h"

LibraryHandle OpenLibrary(const char* name) {
  // A bare name without a slash makes the loader search LD_LIBRARY_PATH,
  // then the executable's run path ($ORIGIN), then the system folders.
  return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(LibraryHandle library, const char* symbol) { return dlsym(library, symbol); }
