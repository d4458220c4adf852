// The match runner's parsing of engine replies: arbitrary bytes as what an
// engine wrote after GO or ISREADY, with the documented guarantees checked.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_check.h"
#include "match/protocol.h"

namespace {

bool Known(ReplyParse parse) {
  return parse == ReplyParse::kIncomplete || parse == ReplyParse::kComplete ||
         parse == ReplyParse::kGarbage || parse == ReplyParse::kTwoReplies;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte sets Printable's limit, the rest is the reply.
  const std::size_t maxBytes = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  ShotVec vec{};
  const ReplyParse shot = ParseBestShot(text, &vec);
  if (!Known(shot)) FuzzFail("ParseBestShot result");
  if (shot == ReplyParse::kComplete &&
      (!std::isfinite(vec.vx) || !std::isfinite(vec.vy) || vec.curl > 1)) {
    FuzzFail("BESTSHOT accepted with a vector that is not finite or a curl not 0/1");
  }
  if (!Known(ParseReadyOk(text))) FuzzFail("ParseReadyOk result");
  if (WithoutEchoLines(text).size() > text.size()) FuzzFail("WithoutEchoLines grew the text");

  const std::string shown = Printable(text, maxBytes);
  for (const char c : shown) {
    if (c < 0x20 || c > 0x7e) FuzzFail("Printable let a byte through");
  }
  if (shown.size() > 4 * maxBytes + 3) FuzzFail("Printable longer than its limit");
  return 0;
}
