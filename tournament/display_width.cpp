#include "tournament/display_width.h"

#include <algorithm>
#include <cstdint>

#include "tournament/display_width_table.h"

namespace {

constexpr char kEllipsis[] = "\u2026";  // one column
constexpr uint32_t kReplacement = 0xFFFD;

struct Decoded {
  uint32_t codePoint;
  size_t length;  // bytes, at least 1
};

// The code point at text[at]; a malformed sequence (a stray continuation
// byte, a cut-off or overlong sequence, a surrogate, beyond U+10FFFF) is
// one replacement character per byte, so the text is never cut inside a
// well-formed character.
Decoded DecodeAt(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(at);
  if (lead < 0x80) return {lead, 1};
  size_t length = 0;
  uint32_t cp = 0, least = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, least = 0x10000;
  } else {
    return {kReplacement, 1};
  }
  if (at + length > text.size()) return {kReplacement, 1};
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return {kReplacement, 1};
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {kReplacement, 1};
  return {cp, length};
}

bool InRanges(uint32_t cp, const CodePointRange* ranges, size_t count) {
  const CodePointRange* end = ranges + count;
  const CodePointRange* r = std::lower_bound(
      ranges, end, cp, [](const CodePointRange& range, uint32_t c) { return range.last < c; });
  return r != end && r->first <= cp;
}

int CodePointWidth(uint32_t cp) {
  if (cp < 0x300) return 1;  // ASCII and Latin-1 (the soft hyphen shows as a hyphen)
  if (InRanges(cp, kZeroWidthRanges, kZeroWidthRangesCount)) return 0;
  return InRanges(cp, kDoubleWidthRanges, kDoubleWidthRangesCount) ? 2 : 1;
}

}  // namespace

int DisplayWidth(std::string_view text) {
  int width = 0;
  for (size_t at = 0; at < text.size();) {
    const Decoded d = DecodeAt(text, at);
    width += CodePointWidth(d.codePoint);
    at += d.length;
  }
  return width;
}

std::string FitToWidth(std::string_view text, int columns) {
  if (columns < 1) return "";
  if (DisplayWidth(text) <= columns) return std::string(text);
  const int room = columns - 1;
  int width = 0;
  size_t kept = 0;
  for (size_t at = 0; at < text.size();) {
    const Decoded d = DecodeAt(text, at);
    const int w = CodePointWidth(d.codePoint);
    if (w > 0 && width + w > room) break;
    width += w;
    at += d.length;
    kept = at;
  }
  return std::string(text.substr(0, kept)) + kEllipsis;
}

std::string PadToWidth(std::string_view text, int columns) {
  const int width = DisplayWidth(text);
  std::string out(text);
  if (width < columns) out.append(static_cast<size_t>(columns - width), ' ');
  return out;
}
