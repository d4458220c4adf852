// The command line of measure-end-scores.
#pragma once

#include <string>

#include "bench/win_table/end_scores.h"

namespace win_table {

struct Options {
  std::string player = "greedy";
  std::string out;  // empty: the standard output
  MeasureSettings measure;
  bool help = false;
};

// The defaults, then each "--name value" pair in turn. False, with a
// message in *error, for an unknown option, a missing or malformed value,
// fewer than one end or thread, or a negative noise.
bool ParseOptions(int argc, const char* const argv[], Options* options, std::string* error);

// The usage text, with the registered players.
std::string Usage();

}  // namespace win_table
