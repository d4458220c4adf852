// The runner's command line.
#pragma once

#include <cstdint>
#include <string>

#include "match/record.h"

struct MatchOptions {
  GameSettings settings;
  int games = 1;
  bool haveSeed = false;
  uint64_t seed = 0;
  std::string record;      // --record FILE; "" for none
  std::string svgDir;      // --svg DIR; "" for none
  std::string html;        // --html FILE: the replay page (the index page for many games)
  std::string engineLog;   // --engine-log DIR: the engines' standard error; "" for none
  std::string engines[2];  // "" until defaulted
};

enum class ParseOutcome { kRun, kHelp, kError };

// Fills options from argv; on kError, error says what is wrong.
ParseOutcome ParseOptions(int argc, const char* const* argv, MatchOptions* options,
                          std::string* error);

std::string UsageText();
