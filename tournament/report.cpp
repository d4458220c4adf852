#include "tournament/report.h"

#include <algorithm>
#include <cstdio>

#include "record/count_text.h"
#include "record/line_score.h"
#include "tournament/display_width.h"
#include "tournament/figure_text.h"

std::string FormatGameLine(const GameLine& g, const Tables& t, int runGames) {
  const std::string names[2] = {t.names[static_cast<size_t>(g.seat[0])],
                                t.names[static_cast<size_t>(g.seat[1])]};
  return "game " + std::to_string(g.game + 1) + "/" + std::to_string(runGames) + ": " +
         FormatResult(names, g.points, g.result, g.forfeitSeat, g.forfeitReason) + "\n";
}

std::string FormatProgressLine(const Tables& t, double secondsLeft) {
  char text[512];
  const PairingTable& p = t.pairings[0];
  const EloEstimate& e = p.elo;
  std::string line = std::to_string(t.games) + "/" + CountText(t.plannedGames, "game", "games") +
                     "  " + t.names[static_cast<size_t>(p.pairing.first)] + " vs " +
                     t.names[static_cast<size_t>(p.pairing.second)] + " " + FixedText(e.elo, 1) +
                     " Elo ";
  line += e.hasInterval ? "[" + FixedText(e.low, 1) + ", " + FixedText(e.high, 1) + "]"
                        : kTooFewGamesText;
  if (t.sprt) line += "  LLR " + FixedText(t.sprtState.llr, 2, false);
  if (secondsLeft >= 0) {
    const long long s = static_cast<long long>(secondsLeft + 0.5);
    std::snprintf(text, sizeof text, "  left %lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    line += text;
  }
  return line;
}

std::string RedrawProgressLine(const std::string& line, int columns, int* shownWidth) {
  const std::string shown = columns > 1 ? FitToWidth(line, columns - 1) : line;
  const int wipe = columns > 1 ? std::min(*shownWidth, columns - 1) : *shownWidth;
  const std::string text = "\r" + PadToWidth(shown, wipe);
  *shownWidth = std::max(DisplayWidth(shown), 1);
  return text;
}
