// Whether results belong to the run a command describes, and if not, what
// a user must change: each difference named with both values.
#pragma once

#include <string>

// How engine programs and folders are compared: resolved when resuming on
// this machine (any spelling of the same file is the same engine), as
// given for files from other machines, whose paths mean nothing here.
enum class PathsCompared { kResolved, kGiven };

// "" when the two "run" objects (results_file.h) describe one run, else
// the differences joined by "; ", each as
//   engine 2 (old): cmd build/bin/a vs /opt/b
//   ends: 8 vs 10
// the value of a first, then of b. The planned games are not compared:
// a run may grow or be shown in part; but a run of single games (1) is
// never one of pairs. A header without resolved paths (written before
// they were kept) is compared as given.
std::string RunDifference(const std::string& a, const std::string& b, PathsCompared how);
