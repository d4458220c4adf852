// Dynamic libraries: open one by bare file name through the platform's
// ordinary search, and find a plain exported symbol in it.
#pragma once

// Opaque handle of an opened library; null when opening failed.
using LibraryHandle = void*;

// Opens the library file name (no path: the platform searches for it).
LibraryHandle OpenLibrary(const char* name);

// The address of the export symbol in library, or null when it is missing.
void* FindSymbol(LibraryHandle library, const char* symbol);
