// What a measurement came to, for a person: the distribution and a few
// values of the win table it gives.
#pragma once

#include <string>

#include "bench/win_table/end_scores.h"

namespace win_table {

std::string Summary(const EndScoreCounts& counts);

}  // namespace win_table
