// The tables as console text. Columns line up by display width, so names
// in any script keep the figures after them in place; long names are cut.
#include <algorithm>
#include <cstdio>

#include "record/count_text.h"
#include "tournament/display_width.h"
#include "tournament/figure_text.h"
#include "tournament/tables.h"

namespace {

// Name columns grow with the longest name up to this; longer names are cut.
constexpr int kMaxNameColumns = 24;
// "  -135.6": an Elo figure; "[ -135.6,  +398.4]": an interval.
constexpr int kFigureColumns = 8;
constexpr int kIntervalColumns = 18;

std::string PairingName(const Tables& t, const PairingTable& p) {
  return t.names[static_cast<size_t>(p.pairing.first)] + " vs " +
         t.names[static_cast<size_t>(p.pairing.second)];
}

int NameColumnWidth(const std::vector<std::string>& names) {
  int width = 1;
  for (const std::string& name : names) width = std::max(width, DisplayWidth(name));
  return std::min(width, kMaxNameColumns);
}

std::string NameCell(const std::string& name, int columns) {
  return PadToWidth(FitToWidth(name, columns), columns);
}

std::string IntervalCell(double low, double high) {
  char cell[64];
  std::snprintf(cell, sizeof cell, "[%7s, %7s]", FixedText(low, 1).c_str(),
                FixedText(high, 1).c_str());
  return cell;
}

// pairing, games, W, D, L, score, Elo and nElo with their intervals, LOS,
// draws, pentanomial counts. A pairing without an interval says why in the
// columns of both intervals.
std::string FormatPairingTable(const Tables& t) {
  std::vector<std::string> firsts, seconds;
  for (const PairingTable& p : t.pairings) {
    firsts.push_back(t.names[static_cast<size_t>(p.pairing.first)]);
    seconds.push_back(t.names[static_cast<size_t>(p.pairing.second)]);
  }
  const int firstWidth = NameColumnWidth(firsts);
  const std::string header = "pairing";
  const int secondWidth = std::max(NameColumnWidth(seconds), DisplayWidth(header) - firstWidth - 4);
  const int figuresWidth = kIntervalColumns + 1 + kFigureColumns + 1 + kIntervalColumns;
  char row[512];
  std::snprintf(row, sizeof row, " %6s %5s %5s %5s %7s %*s %*s %*s %*s %6s %6s  %s\n", "games", "W",
                "D", "L", "score", kFigureColumns, "Elo", kIntervalColumns, "(95% interval)",
                kFigureColumns, "nElo", kIntervalColumns, "(95% interval)", "LOS", "draws",
                "pairs 0-0.5-1-1.5-2");
  std::string out = "  " + PadToWidth(header, firstWidth + 4 + secondWidth) + row;
  for (const PairingTable& p : t.pairings) {
    const EloEstimate& e = p.elo;
    std::string figures = PadToWidth(kTooFewGamesText, figuresWidth);
    if (e.hasInterval) {
      std::snprintf(row, sizeof row, "%s %*s %s", IntervalCell(e.low, e.high).c_str(),
                    kFigureColumns, FixedText(e.nElo, 1).c_str(),
                    IntervalCell(e.nEloLow, e.nEloHigh).c_str());
      figures = row;
    }
    std::string penta;
    for (int64_t c : p.penta.count) penta += (penta.empty() ? "" : "-") + std::to_string(c);
    std::snprintf(row, sizeof row, " %6lld %5lld %5lld %5lld %6.1f%% %*s %s %5.1f%% %5.1f%%  %s\n",
                  static_cast<long long>(GameCount(p.wdl)), static_cast<long long>(p.wdl.wins),
                  static_cast<long long>(p.wdl.draws), static_cast<long long>(p.wdl.losses),
                  100.0 * e.score, kFigureColumns, FixedText(e.elo, 1).c_str(), figures.c_str(),
                  100.0 * e.los, 100.0 * e.drawRatio, penta.c_str());
    out += "  " + NameCell(t.names[static_cast<size_t>(p.pairing.first)], firstWidth) + " vs " +
           NameCell(t.names[static_cast<size_t>(p.pairing.second)], secondWidth) + row;
  }
  return out;
}

// Best first. The interval column is as wide as the reason for a missing
// interval when one is missing, else as wide as an interval.
std::string FormatRatingList(const Tables& t) {
  std::vector<size_t> order(t.ratings.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return t.ratings[a].elo > t.ratings[b].elo; });
  const int width = NameColumnWidth(t.names);
  int intervalWidth = kIntervalColumns;
  for (const Rating& r : t.ratings)
    if (!r.hasInterval) intervalWidth = std::max(intervalWidth, DisplayWidth(kTooFewGamesText));
  std::string out;
  char row[512];
  for (size_t rank = 0; rank < order.size(); ++rank) {
    const Rating& r = t.ratings[order[rank]];
    const std::string interval = r.hasInterval ? IntervalCell(r.low, r.high) : kTooFewGamesText;
    std::snprintf(row, sizeof row, " %*s %s %6lld %-5s %7.1f points\n", kFigureColumns,
                  FixedText(r.elo, 1).c_str(), PadToWidth(interval, intervalWidth).c_str(),
                  static_cast<long long>(r.games), r.games == 1 ? "game" : "games", r.points);
    char rankText[32];
    std::snprintf(rankText, sizeof rankText, "  %2zu ", rank + 1);
    out += rankText + NameCell(t.names[order[rank]], width) + row;
  }
  return out;
}

}  // namespace

std::string FormatSprtLine(const Tables& t) {
  if (!t.sprt) return "";
  const SprtParams& p = t.sprtParams;
  const SprtState& s = t.sprtState;
  const PairingTable& tested = t.pairings[static_cast<size_t>(t.sprtPairing)];
  char line[512];
  // + 0.0: a bound given as -0 prints "0", not "-0".
  std::snprintf(line, sizeof line,
                "SPRT %s (elo0 %g, elo1 %g, alpha %g, beta %g): LLR %s [%s, %s] %s\n",
                PairingName(t, tested).c_str(), p.elo0 + 0.0, p.elo1 + 0.0, p.alpha, p.beta,
                FixedText(s.llr, 3, false).c_str(), FixedText(s.lower, 3, false).c_str(),
                FixedText(s.upper, 3, false).c_str(), SprtResultName(s.result));
  return line;
}

std::string FormatTables(const Tables& t) {
  std::string out = "after " + std::to_string(t.games) + " of " +
                    CountText(t.plannedGames, "game", "games") + ":\n";
  out += FormatPairingTable(t);
  if (!t.ratings.empty()) out += "ratings (maximum likelihood, mean 0):\n" + FormatRatingList(t);
  return out + FormatEngineTable(t) + FormatSprtLine(t);
}

std::string FormatEngineTable(const Tables& t) {
  std::string out = "engines: GO mean and max in ms, stones lost, games forfeited\n";
  const int width = NameColumnWidth(t.names);
  char row[512];
  for (size_t i = 0; i < t.engines.size(); ++i) {
    const EngineTotals& e = t.engines[i];
    std::snprintf(row, sizeof row, " %9.1f %9.1f %6lld %6lld\n",
                  e.goCount ? e.thinkMs / static_cast<double>(e.goCount) : 0.0, e.thinkMsMax,
                  static_cast<long long>(e.stonesLost), static_cast<long long>(e.forfeits));
    out += "  " + NameCell(t.names[i], width) + row;
  }
  return out;
}
