#include "tournament/report.h"

#include <cstdio>

#include "match/line_score.h"

std::string FormatGameLine(const GameLine& g, const Tables& t, int runGames) {
  const std::string names[2] = {t.names[static_cast<size_t>(g.seat[0])],
                                t.names[static_cast<size_t>(g.seat[1])]};
  return "game " + std::to_string(g.game + 1) + "/" + std::to_string(runGames) + ": " +
         FormatResult(names, g.points, g.result, g.forfeitSeat, g.forfeitReason) + "\n";
}

std::string FormatProgressLine(const Tables& t, double secondsLeft) {
  char text[512];
  const PairingTable& p = t.pairings[0];
  int n = std::snprintf(text, sizeof text, "%lld/%lld games  %s vs %s %+.1f Elo [%+.1f, %+.1f]",
                        static_cast<long long>(t.games), static_cast<long long>(t.plannedGames),
                        t.names[static_cast<size_t>(p.pairing.first)].c_str(),
                        t.names[static_cast<size_t>(p.pairing.second)].c_str(), p.elo.elo,
                        p.elo.low, p.elo.high);
  std::string line(text, n > 0 && n < static_cast<int>(sizeof text) ? static_cast<size_t>(n) : 0);
  if (t.sprt) {
    std::snprintf(text, sizeof text, "  LLR %.2f", t.sprtState.llr);
    line += text;
  }
  if (secondsLeft >= 0) {
    const long long s = static_cast<long long>(secondsLeft + 0.5);
    std::snprintf(text, sizeof text, "  left %lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    line += text;
  }
  return line;
}
