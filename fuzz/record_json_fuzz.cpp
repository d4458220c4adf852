// The runner's reader of game records (replays): arbitrary text as a record
// file. A record it accepts must write back as JSON that it reads again to
// the same record.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "record/record_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  GameRecord game;
  std::string error;
  if (!GameFromJson(text, &game, &error)) {
    if (error.empty()) {
      FuzzFail("record refused without a reason");
    }
    return 0;
  }
  const std::string written = GameToJson(game);
  GameRecord again;
  if (!GameFromJson(written, &again, &error) || GameToJson(again) != written) {
    FuzzFail(("record does not read back: " + error).c_str());
  }
  return 0;
}
