// The two file operations that differ between the platforms; atomic_file
// builds on them.
#pragma once

#include <cstdio>
#include <string>

// Flushes what the C library has handed to the system for f down to the
// disk. False when the system reports a failure.
bool FlushToDisk(std::FILE* f);

// Moves file from over file to in one step, replacing to if it exists: a
// reader sees the old file or the new one. False on failure.
bool MoveFileOver(const std::string& from, const std::string& to);
