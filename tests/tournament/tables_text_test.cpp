// The tables as people read them: columns that line up whatever the script
// of the names, no interval where the games cannot give one, never "-0.0".
#include <gtest/gtest.h>

#include "tests/match/support.h"
#include "tournament/display_width.h"
#include "tournament/figure_text.h"
#include "tournament/report.h"
#include "tournament/tables.h"

namespace {

// Games of one pairing after another as the schedule deals them, each
// given as the first engine's points in it (1, 0.5, 0); the k-th game of a
// pairing is game k % 2 of its (k / 2)-th pair.
std::vector<GameLine> PairedGames(const RunInfo& info,
                                  const std::vector<std::vector<double>>& pointsPerPairing) {
  const RunPlan plan = PlanOf(info);
  const int pairings = static_cast<int>(plan.pairings.size());
  std::vector<GameLine> games;
  for (int p = 0; p < pairings; ++p) {
    const std::vector<double>& points = pointsPerPairing[static_cast<size_t>(p)];
    for (size_t k = 0; k < points.size(); ++k) {
      const ScheduledGame s =
          GameAt(plan, 2 * (static_cast<int>(k / 2) * pairings + p) + static_cast<int>(k % 2));
      GameLine g;
      g.game = s.game;
      g.pair = s.pair;
      g.pairing = s.pairing;
      g.seat[0] = s.seat[0];
      g.seat[1] = s.seat[1];
      const bool firstInA = s.seat[0] == plan.pairings[static_cast<size_t>(p)].first;
      const double a = firstInA ? points[k] : 1.0 - points[k];
      g.result = a == 0.5 ? GameResult::kDraw : a == 1.0 ? GameResult::kWinA : GameResult::kWinB;
      games.push_back(g);
    }
  }
  return Deduplicate(games, GameCount(plan));
}

RunInfo Info(std::vector<std::string> names, TournamentKind kind, int gamesPerPairing) {
  RunInfo info;
  info.names = std::move(names);
  info.kind = kind;
  info.gamesPerPairing = gamesPerPairing;
  return info;
}

// The display column at which the first `needle` after the names ends.
int ColumnAfter(const std::string& line, const std::string& needle, size_t from) {
  const size_t at = line.find(needle, from);
  EXPECT_NE(at, std::string::npos) << needle << " in " << line;
  return DisplayWidth(line.substr(0, at + needle.size()));
}

// Four engines of four scripts and one name beyond the name column, every
// pairing with the same results: every row of a table is as wide as the
// next, and the figures stand under their headings.
TEST(TablesText, ColumnsLineUpForNamesInAnyScriptAndLongNamesAreCut) {
  const std::string longName = "curling-engine-with-a-very-long-name";
  const RunInfo info = Info({"Ёжик", "北京队", "\U0001F94Cstone", "Rene\u0301e", longName},
                            TournamentKind::kRoundRobin, 2);
  const Tables t = ComputeTables(
      info, PairedGames(info, std::vector<std::vector<double>>(10, std::vector<double>{1.0, 0.5})));
  const std::string text = FormatTables(t);
  SCOPED_TRACE(text);
  EXPECT_EQ(text.find(longName), std::string::npos);
  EXPECT_NE(text.find("curling-engine-with-a-v\u2026"), std::string::npos);
  const std::vector<std::string> lines = SplitLines(text);
  ASSERT_GE(lines.size(), 24u);
  // after, header, 10 pairings, ratings heading, 5 ratings, engines heading, 5 engines
  const std::string& header = lines[1];
  const int gamesColumn = ColumnAfter(header, "games", 0);
  for (size_t i = 2; i < 12; ++i) {
    EXPECT_EQ(DisplayWidth(lines[i]), DisplayWidth(lines[2])) << lines[i];
    EXPECT_EQ(ColumnAfter(lines[i], " 2 ", lines[i].find(" vs ")), gamesColumn + 1) << lines[i];
  }
  for (size_t i = 13; i < 18; ++i)
    EXPECT_EQ(ColumnAfter(lines[i], " games", 0), ColumnAfter(lines[13], " games", 0)) << lines[i];
  for (size_t i = 19; i < 24; ++i)
    EXPECT_EQ(DisplayWidth(lines[i]), DisplayWidth(lines[19])) << lines[i];
}

// Two engines, games 2-2 in two split pairs (as four games of an engine
// against itself may end): the Elo is 0 with no interval, nowhere "-0.0",
// and the summary holds no bounds.
TEST(TablesText, TooFewGamesGiveNoIntervalAndZeroHasNoSign) {
  const RunInfo info = Info({"a", "b"}, TournamentKind::kPairs, 4);
  const Tables t = ComputeTables(info, PairedGames(info, {{1.0, 0.0, 0.0, 1.0}}));
  const std::string text = FormatTables(t);
  const std::string json = TablesJson(t);
  EXPECT_TRUE(Holds(text, " 0.0 (too few games for an interval)"));
  EXPECT_TRUE(Lacks(text, "-0.0"));
  EXPECT_TRUE(Lacks(json, "-0.0"));
  for (const char* key : {"eloLow", "eloHigh", "nElo", "nEloLow", "nEloHigh"})
    EXPECT_TRUE(Holds(json, "\"" + std::string(key) + "\": null"));
  EXPECT_TRUE(Holds(FormatProgressLine(t, -1.0), "a vs b 0.0 Elo (too few games for an interval)"));

  // One game won: no interval either, rather than one of zero width.
  const RunInfo single = Info({"a", "b"}, TournamentKind::kPairs, 2);
  const Tables one = ComputeTables(single, PairedGames(single, {{1.0}}));
  EXPECT_TRUE(Holds(FormatProgressLine(one, -1.0), "+1199.8 Elo (too few games for an interval)"));
}

// Ten pairs of two kinds: Elo and nElo each with an interval, in the tables,
// the progress line and the summary.
TEST(TablesText, TenPairsOfTwoKindsGiveBothIntervals) {
  const RunInfo info = Info({"new", "old"}, TournamentKind::kPairs, 20);
  std::vector<double> points;
  for (int pair = 0; pair < 10; ++pair) {
    points.push_back(pair < 6 ? 1.0 : 0.5);
    points.push_back(pair < 3 ? 1.0 : 0.0);
  }
  const Tables t = ComputeTables(info, PairedGames(info, {points}));
  const EloEstimate& e = t.pairings[0].elo;
  ASSERT_TRUE(e.hasInterval);
  const std::string text = FormatTables(t);
  for (double figure : {e.elo, e.low, e.high, e.nElo, e.nEloLow, e.nEloHigh})
    EXPECT_TRUE(Holds(text, FixedText(figure, 1)));
  EXPECT_TRUE(Lacks(text, "too few"));
  EXPECT_TRUE(Holds(FormatProgressLine(t, -1.0), " Elo [" + FixedText(e.low, 1) + ", "));
  const std::string json = TablesJson(t);
  EXPECT_TRUE(Holds(json, "\"nEloLow\": " + std::to_string(e.nEloLow).substr(0, 4)));
  EXPECT_TRUE(Lacks(json, "\"eloHigh\": null"));
}

TEST(TablesText, FiguresNeverReadMinusZero) {
  struct Case {
    double v;
    int decimals;
    bool plus;
    const char* text;
  };
  const Case cases[] = {
      {-0.0, 1, true, "0.0"},       {-0.04, 1, true, "0.0"},        {0.04, 1, true, "0.0"},
      {-0.0004, 3, false, "0.000"}, {12.34, 1, true, "+12.3"},      {-12.34, 1, true, "-12.3"},
      {1.5, 2, false, "1.50"},      {-1199.83, 1, true, "-1199.8"},
  };
  for (const Case& c : cases) EXPECT_EQ(FixedText(c.v, c.decimals, c.plus), c.text) << c.v;
}

// A shorter progress line is padded over what the longer one before it
// left on screen; the width counts columns, not bytes.
TEST(TablesText, ProgressLineRedrawWipesALongerLineBefore) {
  int shown = 0;
  EXPECT_EQ(RedrawProgressLine("1/4 games  北京 (too few)", 0, &shown),
            "\r1/4 games  北京 (too few)");
  EXPECT_EQ(shown, 25);
  EXPECT_EQ(RedrawProgressLine("2/4 games [+1, +2]", 0, &shown),
            "\r2/4 games [+1, +2]" + std::string(7, ' '));
  EXPECT_EQ(shown, 18);
  // A line that would wrap on a narrow terminal could not be redrawn: it is cut.
  EXPECT_EQ(RedrawProgressLine("3/4 games [+1, +2]", 12, &shown), "\r3/4 games …");
  EXPECT_EQ(shown, 11);
}

}  // namespace
