// The players built into the package as opponents, called in process.
#pragma once

#include <cstdint>

#include "sim/records.h"

enum class OpponentKind { kNone, kClassic, kSearch, kExternal };

struct OpponentOptions {
  OpponentKind kind = OpponentKind::kNone;
  int64_t searchSamples = 0;    // > 0: the search player samples this many throws
  double searchMs = 100;        // otherwise it thinks this long per stone
};

// The shot of a built-in opponent (classic or search) for the side to move.
// seed makes the search player's samples repeatable (the classic player
// draws its own random numbers).
ShotVec OpponentShot(const OpponentOptions& options, const GameState& state, uint64_t seed);

// The classic player reports every choice on the standard error stream;
// while one of these lives, file descriptor 2 goes to the null device, for
// the whole process (nested uses are counted).
struct QuietStderr {
  explicit QuietStderr(bool active);
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;
  bool active;
};
