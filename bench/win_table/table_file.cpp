#include "bench/win_table/table_file.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

namespace win_table {
namespace {

long long Total(const EndScoreCounts& counts) {
  long long n = 0;
  for (const long long c : counts.count) n += c;
  return n;
}

void Append(std::string* text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void Append(std::string* text, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  *text += line;
}

}  // namespace

search::EndScoreDistribution Distribution(const EndScoreCounts& counts) {
  search::EndScoreDistribution d{};
  const long long n = Total(counts);
  for (int s = 0; s < search::kEndScoreSlots; ++s) {
    d.p[s] = n > 0 ? static_cast<double>(counts.count[s]) / static_cast<double>(n) : 0.0;
  }
  return d;
}

std::string FormatTableData(const EndScoreCounts& counts, const Provenance& how) {
  std::string text;
  text += "// Written by measure-end-scores (bench/win_table); do not edit by hand.\n";
  Append(&text, "// Player: %s.\n", how.player.c_str());
  Append(&text,
         "// %lld ends of self-play from an empty sheet, each side throwing first in half of\n"
         "// them; noise %g m, seed %" PRIu64 ", threads %d; %s, %.1f s wall time.\n",
         Total(counts), static_cast<double>(how.settings.noise), how.settings.seed,
         how.settings.threads, how.date.c_str(), how.wallSeconds);
  Append(&text, "// Command: %s\n", how.commandLine.c_str());
  Append(&text, "// Ends in which the hammer side scored s, s = %d .. +%d:\n//",
         -search::kMaxEndScore, search::kMaxEndScore);
  for (const long long c : counts.count) Append(&text, " %lld", c);
  Append(&text, "\n// P(hammer side scores s), s = %d .. +%d.\n{{", -search::kMaxEndScore,
         search::kMaxEndScore);
  const search::EndScoreDistribution d = Distribution(counts);
  for (int s = 0; s < search::kEndScoreSlots; ++s) {
    Append(&text, "%s%.10g", s == 0 ? "" : ", ", d.p[s]);
  }
  text += "}}\n";
  return text;
}

}  // namespace win_table
