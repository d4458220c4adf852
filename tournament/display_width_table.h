// The code point ranges a terminal shows in zero resp. two columns, sorted
// and disjoint; written by tools/display_width_table.py.
#pragma once

#include <cstddef>
#include <cstdint>

struct CodePointRange {
  uint32_t first, last;
};

extern const CodePointRange kZeroWidthRanges[];
extern const size_t kZeroWidthRangesCount;
extern const CodePointRange kDoubleWidthRanges[];
extern const size_t kDoubleWidthRangesCount;
