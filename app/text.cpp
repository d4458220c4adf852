#include "app/text.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr char kSpace = ' ';

const char* SkipSpaces(const char* p) {
  while (*p == kSpace) ++p;
  return p;
}

const char* SkipWord(const char* p) {
  while (*p != '\0' && *p != kSpace) ++p;
  return p;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void CutAtLineEnd(char* text) {
  for (char* p = text; *p != '\0'; ++p) {
    if (*p == '\n' || *p == '\r') {
      *p = '\0';
      return;
    }
  }
}

bool GetToken(char* dest, std::size_t destSize, const char* text, int n) {
  const char* p = SkipSpaces(text);
  for (int i = 0; i < n; ++i) {
    p = SkipWord(p);
    if (*p == '\0') return false;
    p = SkipSpaces(p);
  }
  if (destSize == 0) return true;
  const char* end = SkipWord(p);
  std::size_t length = static_cast<std::size_t>(end - p);
  if (length > destSize - 1) length = destSize - 1;
  for (std::size_t i = 0; i < length; ++i) dest[i] = p[i];
  dest[length] = '\0';
  return true;
}

float ParseReal(const char* token) { return static_cast<float>(std::strtod(token, nullptr)); }

int32_t ParseInt(const char* token) {
  const long long value = std::strtoll(token, nullptr, 10);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool MatchesKeyword(const char* word, const char* keyword) {
  for (; *word != '\0' && *keyword != '\0'; ++word, ++keyword) {
    if (AsciiLower(*word) != AsciiLower(*keyword)) return false;
  }
  return *word == '\0' && *keyword == '\0';
}
