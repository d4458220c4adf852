// An engine's program and working folder as absolute, canonical paths:
// `build/bin/engine` typed in /work and `/work/build/bin/engine` are the
// same engine, and a resumed run must recognise it as such.
#pragma once

#include <string>

#include "match/engine_launch.h"

struct ResolvedPaths {
  std::string program;  // as the system would start it; as given when it cannot be found
  std::string dir;      // "" when the engine runs in the runner's own folder
};

// Resolves as the engine's start does: a program with a path separator
// lies relative to dir= (or the runner's folder), a bare name is looked
// up in PATH. Symbolic links are followed, so a link moved to another
// program is another engine.
ResolvedPaths ResolveEnginePaths(const EngineLaunch& launch);
