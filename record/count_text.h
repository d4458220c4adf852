// A count with its noun in the right number, for messages people read.
#pragma once

#include <string>

// CountText(1, "end", "ends") is "1 end", CountText(3, "end", "ends") "3 ends".
inline std::string CountText(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}
