#include "tournament/run_page.h"

#include <cstdio>
#include <filesystem>

#include "platform/atomic_file.h"
#include "record/line_score.h"
#include "tournament/figure_text.h"
#include "view/index_page.h"

namespace {

// Long enough for a game or two to end in between on a fast run, short
// enough that a watcher sees each SPRT step soon.
constexpr int kReloadSeconds = 10;

std::vector<IndexRow> RowsOf(const GameOutputOptions& o, const Tables& t,
                             const std::vector<GameLine>& games) {
  std::vector<IndexRow> rows;
  for (const GameLine& g : games) {
    IndexRow row;
    row.game = g.game + 1;
    row.engineA = t.names.at(static_cast<size_t>(g.seat[0]));
    row.engineB = t.names.at(static_cast<size_t>(g.seat[1]));
    row.result = FormatResult({"A", "B"}, g.points, g.result, g.forfeitSeat, g.forfeitReason);
    row.link = std::filesystem::u8path(PagePathOf(o, g.game)).filename().u8string();
    rows.push_back(row);
  }
  return rows;
}

std::vector<RunPlot> PlotsOf(const Tables& t, const RunSeries& series) {
  const Pairing& p = t.pairings.at(0).pairing;
  const std::string pairing =
      t.names.at(static_cast<size_t>(p.first)) + " vs " + t.names.at(static_cast<size_t>(p.second));
  const int games = static_cast<int>(t.plannedGames);
  std::vector<RunPlot> plots;
  if (t.sprt)
    plots.push_back({"llr",
                     "SPRT " + pairing + ": LLR after each game, between its bounds " +
                         FixedText(t.sprtState.lower, 2, false) + " and " +
                         FixedText(t.sprtState.upper, 2, false),
                     games,
                     {t.sprtState.lower, t.sprtState.upper},
                     series.llr});
  plots.push_back({"elo",
                   "Elo " + pairing + " with its 95 % interval, from " +
                       std::to_string(kMinSamplesForInterval) +
                       " pairs with two kinds of outcome on",
                   games,
                   {0.0},
                   series.elo});
  return plots;
}

}  // namespace

bool HasRunPage(const GameOutputOptions& o) { return !o.html.empty() && o.gameCount > 1; }

bool WriteRunPage(const GameOutputOptions& o, const Tables& t, const RunSeries& series,
                  const std::vector<GameLine>& games, bool running) {
  if (!HasRunPage(o)) return true;
  IndexPage page;
  page.title = "curling-match: " + std::to_string(o.gameCount) + " games";
  page.tablesText = FormatTables(t);
  page.plots = PlotsOf(t, series);
  page.rows = RowsOf(o, t, games);
  page.refreshSeconds = running ? kReloadSeconds : 0;
  if (WriteFileAtomically(o.html, IndexPageHtml(page))) return true;
  std::fprintf(stderr, "curling-match: cannot write %s\n", o.html.c_str());
  return false;
}
