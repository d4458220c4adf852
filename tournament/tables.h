// The tables of a run computed from its game results: per pairing the
// games, wins, draws and losses, the pentanomial counts of whole pairs and
// the Elo difference; for more than two engines a maximum-likelihood
// rating list; the SPRT state of its pairing; per engine its times,
// lost stones and forfeits. As text for the console and as the --summary
// JSON document. Pure functions: the same results give the same tables,
// whatever order they finished in.
#pragma once

#include <string>
#include <vector>

#include "tournament/results_file.h"
#include "tournament/schedule.h"
#include "tournament/stats.h"

struct PairingTable {
  Pairing pairing;
  Wdl wdl;            // from pairing.first's side
  Pentanomial penta;  // pairs with both games finished
  EloEstimate elo;    // pentanomial when there are whole pairs, else per game
};

struct EngineTotals {
  int64_t games = 0;
  int64_t goCount = 0;
  double thinkMs = 0.0;
  double thinkMsMax = 0.0;
  int64_t stonesLost = 0;
  int64_t forfeits = 0;
};

struct Tables {
  std::vector<std::string> names;
  int64_t games = 0;
  int64_t plannedGames = 0;
  std::vector<PairingTable> pairings;
  std::vector<Rating> ratings;  // filled for more than two engines
  bool sprt = false;
  int sprtPairing = 0;  // index into pairings
  SprtParams sprtParams;
  SprtState sprtState;
  std::vector<EngineTotals> engines;
};

// games: each game index at most once (Deduplicate first).
// ratings: whether to fit the rating list (the costly part) for more than two engines.
Tables ComputeTables(const RunInfo& info, const std::vector<GameLine>& games, bool ratings = true);

// Keeps the first line of every game index that belongs to the plan (a
// later duplicate is the same game played again), sorted by game index.
std::vector<GameLine> Deduplicate(const std::vector<GameLine>& games, int gameCount);

RunPlan PlanOf(const RunInfo& info);

// The tables as text, lines ended; with the SPRT line when the run has one.
std::string FormatTables(const Tables& tables);
// Just the engines' thinking times, lost stones and forfeits (part of FormatTables).
std::string FormatEngineTable(const Tables& tables);
// "SPRT new vs old (elo0 0, elo1 5, alpha 0.05, beta 0.05): LLR 1.23 [-2.94, 2.94] continue"
std::string FormatSprtLine(const Tables& tables);
// The --summary document.
std::string TablesJson(const Tables& tables);
