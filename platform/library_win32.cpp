#include <windows.h>

#include "platform/library.h"

LibraryHandle OpenLibrary(const char* name) {
  // The ordinary DLL search: the executable's folder first, then the
  // system folders and PATH.
  return reinterpret_cast<LibraryHandle>(LoadLibraryA(name));
}

void* FindSymbol(LibraryHandle library, const char* symbol) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), symbol));
}
