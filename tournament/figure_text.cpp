#include "tournament/figure_text.h"

#include <cstdio>

std::string FixedText(double v, int decimals, bool plusSign) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  const std::string s = text;
  // -0 itself, or a tiny negative figure rounded away.
  if (s.find_first_not_of("-0.") == std::string::npos) return s[0] == '-' ? s.substr(1) : s;
  return plusSign && v > 0 ? "+" + s : s;
}
