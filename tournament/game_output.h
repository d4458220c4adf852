// Everything a run writes per game besides its results line: the JSON game
// record, the replay page, the SVG pictures, the engines' standard error
// files, and for a run of one single game the live line score. One place,
// so that every per-game file is named the same way.
#pragma once

#include <string>

#include "match/game.h"
#include "match/opening.h"
#include "tournament/results_file.h"

struct GameOutputOptions {
  std::string record;     // --record FILE; "" for none
  std::string svgDir;     // --svg DIR; "" for none
  std::string engineLog;  // --engine-log DIR; "" for none
  int gameCount = 1;      // games in the whole run: numbering starts above one
  bool live = false;      // print the line score as the game goes
  std::string html;       // --html FILE; "" for none
};

// game.json -> game-3.json for game index 2 of a longer run.
std::string RecordPathOf(const GameOutputOptions& o, int gameIndex);
// The replay page: FILE for a single game; game.html -> game-3.html in a
// longer run, where FILE itself is the index page.
std::string PagePathOf(const GameOutputOptions& o, int gameIndex);
// DIR/engine-A.log, or DIR/game-3-A.log in a longer run; "" without a folder.
std::string EngineLogPathOf(const GameOutputOptions& o, int gameIndex, int seat);

// Per game: whether a write already failed (reported once, then skipped),
// and how many finished ends the live board has shown.
struct GameOutputState {
  const GameOutputOptions* options = nullptr;
  int gameIndex = 0;
  bool recordFailed = false;
  bool svgFailed = false;
  bool pageFailed = false;
  size_t endsShown = 0;
};

inline bool OutputFailed(const GameOutputState& s) {
  return s.recordFailed || s.svgFailed || s.pageFailed;
}

// The observer writing game `state->gameIndex`'s record and pictures, and
// when live printing the board after every end, the lost stones, and at the
// close a forfeit and the result; state must outlive the game.
GameObserver MakeGameObserver(GameOutputState* state);

// Creates the folders the outputs need; "" or which one could not be made.
std::string PrepareOutputFolders(const GameOutputOptions& o);
// Creates the folder that file lies in (none for a bare name); "" or why not.
std::string PrepareFolderOf(const std::string& file);

// A line for each engine whose greeting went wrong, after `prefix`:
// "engine B (name): no READYOK within 2 s". An engine that forfeited for
// that reason is left to the line of its forfeit.
std::string GreetingLines(const GameRecord& game, const std::string& prefix);

// The header printed before a single game shown live.
std::string LiveGameHeader(const std::string& engineA, const std::string& engineB, uint64_t seed,
                           const Opening& opening);
