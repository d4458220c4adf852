// The command line of curling-match: the engines, the kind of tournament,
// the games and how they are played, where results go. Parsed with CLI11,
// which also writes the help text and the range errors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "match/engine_launch.h"
#include "record/record.h"
#include "tournament/stats.h"

enum class TournamentKind { kPairs, kRoundRobin, kGauntlet };
const char* TournamentKindName(TournamentKind kind);  // "pairs", "round-robin", "gauntlet"

struct TournamentOptions {
  std::vector<EngineLaunch> engines;  // two or more
  TournamentKind kind = TournamentKind::kPairs;
  int games = 1;  // per pairing: 1 (a single game, shown live) or even
  int concurrency = 1;
  GameSettings settings;
  bool haveSeed = false;
  uint64_t seed = 0;
  bool sprt = false;
  SprtParams sprtParams;
  std::vector<std::string> sprtPairing;  // the names of the SPRT's pairing; empty: the first
  int shardIndex = 0;     // K - 1 of --shard K/M
  int shardCount = 1;     // M
  int reportEvery = 0;    // games between rating tables; 0: a tenth of the run
  std::string results;    // --results FILE, {shard} replaced by K; "" for none
  std::string summary;    // --summary FILE, {shard} replaced by K; "" for none
  // --results as given when it holds {shard}: where every shard's results
  // are, so that an SPRT can count them all; "" otherwise.
  std::string shardResults;
  std::string openings;   // --openings FILE; "" for ordinary games
  std::string record;     // --record FILE; "" for none
  std::string svgDir;     // --svg DIR; "" for none
  std::string html;       // --html FILE: the replay page, or the index of many games' pages
  std::string engineLog;  // --engine-log DIR; "" for none
};

enum class ParseOutcome { kRun, kMerge, kReplay, kExit };

struct ParsedCommandLine {
  ParseOutcome outcome = ParseOutcome::kRun;
  TournamentOptions options;       // kRun
  std::vector<std::string> merge;  // kMerge: the result files
  std::string replay;              // kReplay: the record to check
  int exitStatus = 0;              // kExit: 0 after --help or --version, 2 for an error
  std::string text;                // kExit: what to print (help, version or the error)
};

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv);

// `--sprt` words: elo0=, elo1=, alpha=, beta= (each optional, defaults as in
// SprtParams); alpha and beta in (0, 1), elo0 < elo1; pairing=NAME:NAME
// sets the two names of pairing.
bool SprtParamsFromWords(const std::vector<std::string>& words, SprtParams* params,
                         std::vector<std::string>* pairing, std::string* error);
