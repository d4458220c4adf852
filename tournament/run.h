// Plays the games of a run: `concurrency` worker threads take the next
// missing game, play it and append its results line as soon as it ends;
// the console sees the games numbered and in game order whatever finished
// first, with the rating tables every `reportEvery` games. An SPRT that
// leaves its bounds stops new games from starting; in a shard of several,
// the SPRT counts the games in every shard's results file, read after each
// game, so that all shards stop together. With --html the index page is
// rewritten as games are reported.
#pragma once

#include <ostream>
#include <vector>

#include "record/physics.h"
#include "tournament/game_output.h"
#include "tournament/run_series.h"
#include "tournament/tables.h"

struct RunSetup {
  TournamentOptions options;  // engines named, seed chosen
  std::vector<Opening> openings;
  std::string run;  // the run's identity, as in the results header
  RunInfo info;
  RunPlan plan;
  RunnerPhysics physics{};
  GameOutputOptions output;
  std::vector<std::string> arguments;  // the runner's command line, for the records
  bool terminal = false;  // keep a progress line in place instead of a line per game
};

struct RunOutcome {
  std::vector<GameLine> games;  // this shard's games, previous ones included, in game order
  RunSeries series;             // of the games reported in game order
  bool resultsFailed = false;   // a results line could not be written
  bool outputFailed = false;    // a record, page or picture could not be written
  std::string refused;          // why another shard's results file could not be counted
  int interrupt = 0;  // the signal that ended the run early; its games in play are left running
};

// Whether the SPRT is one over the results files of all shards.
bool SprtOverAllShards(const TournamentOptions& options);

// An interrupt (platform/interrupt.h) ends the run without waiting for the
// games in play; their threads are left running, so the caller must end the
// process soon after, which also ends their engines.
// previous: this run's games already in the results file. results: where
// each finished game's line is appended and flushed (nullptr for none).
RunOutcome PlayRun(const RunSetup& setup, const std::vector<GameLine>& previous,
                   std::ostream* results);

// The results line of a finished game.
GameLine LineOf(const ScheduledGame& scheduled, const GameRecord& game);
