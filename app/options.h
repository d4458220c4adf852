// The engine's command line. With no options the engine is the classic
// player exactly as before; the search player and its limits are chosen
// here, before any input is read.
#pragma once

#include <cstdint>
#include <string>

enum class PlayerKind { kClassic, kSearch };

struct EngineOptions {
  PlayerKind player = PlayerKind::kClassic;
  int64_t movetimeMs = 1000;  // thinking time per GO
  double gameTimeSec = 0;     // > 0: the whole game's budget instead
  double incSec = 0;          // added to that budget after each own stone
  int threads = 0;            // 0: the OpenMP default
  int64_t samples = 0;        // > 0: a fixed count of samples per GO instead
  bool seeded = false;
  uint64_t seed = 0;
};

// What the command line came to: run with the options, or exit at once
// with a status and a text for the standard output (help, version) or the
// standard error (one line naming the bad option).
struct ParsedOptions {
  EngineOptions options;
  bool exit = false;
  int status = 0;
  std::string out;
  std::string err;
};

ParsedOptions ParseEngineOptions(int argc, const char* const* argv);

constexpr const char* kEngineVersion = "curling-engine 2.0";
