#include "view/text_fit.h"

#include <cstring>

namespace {

bool Continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Each ASCII class's advance rounded up from DejaVu Sans's widest member.
double AdvanceEm(char c) {
  if (static_cast<unsigned char>(c) >= 0x80) return Continues(c) ? 0.0 : 1.0;
  if (c != '\0' && std::strchr("il.,:;'|!", c)) return 0.35;
  if (c != '\0' && std::strchr(" fjrt()[]-\"/", c)) return 0.45;
  if (c != '\0' && std::strchr("mwMW@%", c)) return 1.0;
  if (c >= 'A' && c <= 'Z') return 0.8;
  return 0.65;
}

// The longest start of `word` (whole characters) that fits widthEm, at
// least one character so that a line always takes something.
size_t FittingPrefix(const std::string& word, double widthEm) {
  double width = 0.0;
  size_t end = 0;
  for (size_t k = 0; k < word.size(); ++k) {
    width += AdvanceEm(word[k]);
    if (width > widthEm && end > 0) break;
    if (k + 1 == word.size() || !Continues(word[k + 1])) end = k + 1;
  }
  return end;
}

}  // namespace

double TextWidthEm(const std::string& text) {
  double width = 0.0;
  for (char c : text) width += AdvanceEm(c);
  return width;
}

std::vector<std::string> WrapText(const std::string& text, double widthEm) {
  std::vector<std::string> lines{""};
  size_t at = 0;
  while (at < text.size()) {
    const size_t space = text.find(' ', at);
    std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    if (word.empty()) continue;
    while (!word.empty()) {
      const std::string joined = lines.back().empty() ? word : lines.back() + " " + word;
      if (TextWidthEm(joined) <= widthEm) {
        lines.back() = joined;
        break;
      }
      if (!lines.back().empty()) {
        lines.push_back("");
        continue;
      }
      const size_t cut = FittingPrefix(word, widthEm);
      lines.back() = word.substr(0, cut);
      word.erase(0, cut);
      if (!word.empty()) lines.push_back("");
    }
  }
  return lines;
}
