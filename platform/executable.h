// The running program's own file: the folder it lies in, and how the
// platform names a program file.
#pragma once

#include <string>

// The folder of the running executable, without a trailing separator; ""
// when it cannot be found.
std::string ExecutableDir();

// What the platform adds to a program's name: ".exe" on Windows, ""
// elsewhere.
extern const char* const kExecutableSuffix;
