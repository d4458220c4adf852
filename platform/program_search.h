// Where the system finds a program named without a folder, as starting it
// would: PATH on POSIX, the Windows search order there.
#pragma once

#include <string>

// The file a bare program name starts; "" when there is none.
std::string FindProgram(const std::string& name);
