// The results file: JSON lines, a header describing the run first, then one
// line per finished game, appended and flushed as each game ends (in the
// order the games finish; each line carries its game index).
//
//   {"curlingMatchResults":1,"version":"2.0.0","shard":[1,1],"run":{...}}
//   {"game":0,"pair":0,"pairing":0,"seats":[0,1],"result":"A","points":[6,3],...}
//
// "run" is everything that decides which games are played and how: the
// engines (with their clocks when these differ), the kind of tournament,
// the games per pairing, the game settings, the seed, the openings and the
// SPRT bounds. A run that grows (a larger --games) appends another header,
// the same but for "games"; the run plans the largest number found.
// same_run.h says when two "run" objects describe the same run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/rules.h"
#include "tournament/options.h"

struct GameLine {
  int game = 0;
  int pair = 0;
  int pairing = 0;
  int seat[2] = {0, 1};  // engine index in seats A and B
  int opening = -1;
  uint64_t seed = 0;
  GameResult result = GameResult::kDraw;
  int points[2] = {0, 0};
  int ends = 0;
  int forfeitSeat = -1;  // the seat that forfeited, or -1
  std::string forfeitReason;
  int goCount[2] = {0, 0};
  double thinkMs[2] = {0.0, 0.0};  // summed over the game
  double thinkMsMax[2] = {0.0, 0.0};
  int stonesLost[2] = {0, 0};
};

struct ResultsFile {
  std::string version;  // of the runner that wrote the first header
  // Canonical JSON text of the first header's run (sorted keys, no spaces).
  std::string run;
  int gamesPerPairing = 1;  // the largest "games" of its headers
  int headers = 1;          // one more for each time the run grew
  int shardIndex = 0;
  int shardCount = 1;
  std::vector<GameLine> games;  // in file order
  // Bytes of text up to the end of its last complete line; a last line
  // without its line feed (a write cut short by a kill) is not read.
  size_t completeBytes = 0;
};

// Reads a whole results file. False with error (naming the line) when the
// header is missing or malformed, a later header is not one of the same run
// and shard but for "games", or a complete line is not a valid game.
bool ReadResultsText(const std::string& text, ResultsFile* out, std::string* error);

// The header line and a game's line, each ended with a line feed.
std::string HeaderLine(const std::string& run, int shardIndex, int shardCount);
std::string GameLineText(const GameLine& game);

// run (the text of a "run" object) planning gamesPerPairing games instead.
std::string RunWithGames(const std::string& run, int gamesPerPairing);

// What tables and merges need to know about a run, read back from "run".
struct RunInfo {
  std::vector<std::string> names;  // engine names
  TournamentKind kind = TournamentKind::kPairs;
  int gamesPerPairing = 1;
  int openingCount = 0;
  uint64_t seed = 0;
  bool sprt = false;
  SprtParams sprtParams;
  std::vector<std::string> sprtPairing;  // two names; empty: the first pairing
};

// The canonical "run" object of a run with these options (its seed
// included) and the openings' JSON lines.
std::string RunIdentity(const TournamentOptions& options, const std::vector<std::string>& openings);
bool RunInfoFromIdentity(const std::string& run, RunInfo* info, std::string* error);
