// Whole files as text, named in UTF-8 on every system.
#pragma once

#include <string>

// False when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* text);
// Replaces the file's content; false when it cannot be written.
bool WriteWholeFile(const std::string& path, const std::string& text);
