// The text of search/win_table_data.inc: comment lines that say how the
// counts were measured, then P(hammer side scores s) for s = -8 .. +8 as the
// brace initializer of search::EndScoreDistribution.
#pragma once

#include <string>

#include "bench/win_table/end_scores.h"

namespace win_table {

// How a measurement was made, as the file records it.
struct Provenance {
  std::string player;       // name and settings
  std::string commandLine;  // the tool's, as typed
  std::string date;         // UTC, ISO 8601
  double wallSeconds = 0.0;
  MeasureSettings settings;
};

// The distribution that the counts give (each count over their sum).
search::EndScoreDistribution Distribution(const EndScoreCounts& counts);

std::string FormatTableData(const EndScoreCounts& counts, const Provenance& how);

}  // namespace win_table
