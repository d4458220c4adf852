// The tournament's reader of start positions: arbitrary text as an openings
// file.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "tournament/openings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<Opening> openings;
  std::string error;
  if (!ParseOpenings(text, &openings, &error) && error.empty()) {
    FuzzFail("openings refused without a reason");
  }
  return 0;
}
