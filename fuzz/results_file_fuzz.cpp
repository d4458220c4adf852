// The tournament's reader of results files (resume and merge): arbitrary
// text as a results file.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tournament/results_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ResultsFile results;
  std::string error;
  if (!ReadResultsText(text, &results, &error) && error.empty()) {
    FuzzFail("results file refused without a reason");
  }
  return 0;
}
