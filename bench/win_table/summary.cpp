#include "bench/win_table/summary.h"

#include <cstdio>

#include "bench/win_table/table_file.h"

namespace win_table {
namespace {

// Enough ends and lead for the values shown; the player's own table is
// larger, which changes none of them.
constexpr int kShownEnds = 10;
constexpr int kShownLead = 40;

struct Shown {
  const char* what;
  int endsLeft;
  int lead;
  bool hammer;
};

constexpr Shown kShown[] = {
    {"tied, 10 ends left, hammer", 10, 0, true},   {"tied, 8 ends left, hammer", 8, 0, true},
    {"tied, 8 ends left, no hammer", 8, 0, false}, {"last end, tied, hammer", 1, 0, true},
    {"last end, up 1, no hammer", 1, 1, false},    {"last end, down 1, hammer", 1, -1, true},
    {"last end, up 2, no hammer", 1, 2, false},
};

}  // namespace

std::string Summary(const EndScoreCounts& counts) {
  const search::EndScoreDistribution d = Distribution(counts);
  std::string text = "hammer side scores:\n";
  char line[128];
  double mean = 0.0;
  for (int s = -search::kMaxEndScore; s <= search::kMaxEndScore; ++s) {
    const int slot = s + search::kMaxEndScore;
    mean += s * d.p[slot];
    if (counts.count[slot] == 0) continue;
    std::snprintf(line, sizeof line, "  %+d  %8lld  %.4f\n", s, counts.count[slot], d.p[slot]);
    text += line;
  }
  std::snprintf(line, sizeof line, "mean %+.3f\nP(win):\n", mean);
  text += line;
  const search::WinTable table = search::BuildWinTable(d, kShownEnds, kShownLead);
  for (const Shown& v : kShown) {
    std::snprintf(line, sizeof line, "  %-30s %.3f\n", v.what,
                  search::WinProbability(table, v.endsLeft, v.lead, v.hammer));
    text += line;
  }
  return text;
}

}  // namespace win_table
