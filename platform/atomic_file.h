// A file write that never leaves a half written file behind: a reader sees
// the old file or the new one, whole, even if the runner is killed midway.
#pragma once

#include <string>

// Writes text to path + ".tmp", flushes it to disk and moves it over path
// (replacing it). False on any failure (the old file, if any, is then
// untouched and the temporary file removed).
bool WriteFileAtomically(const std::string& path, const std::string& text);
