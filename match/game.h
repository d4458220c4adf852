// One whole game between two engine processes: the runner keeps the
// authoritative record, asks the engine to move for each stone, executes
// the reply with the physics library and scores every end itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "match/engine_launch.h"
#include "match/opening.h"
#include "record/physics.h"
#include "record/record.h"

// Frames of a shot's motion kept for the pictures; the library doubles its
// sampling interval when a shot would need more.
constexpr int kPathCapacity = 512;

struct StoneView {
  const GameRecord* game;
  const EndRecord* end;
  const StoneRecord* stone;
  const PathFrame* frames;  // the shot's motion; frameCount 0 when not executed
  int frameCount;
};

struct GameObserver {
  // once, after both engines were started and greeted (readyNote is set)
  std::function<void(const GameRecord&)> onGreeted;
  std::function<void(const StoneView&)> onStone;    // after every stone
  std::function<void(const GameRecord&)> onEnd;     // after every finished end
  std::function<void(const GameRecord&)> onFinish;  // once, when the game is over
};

struct GameSetup {
  EngineLaunch engines[2];     // seats A (side flag 0) and B (side flag 1)
  std::string engineLog[2];  // files for their standard error; "" for none
  Opening opening;           // where the game starts; by default end 1, B with the hammer
  GameSettings settings;
  int gameIndex = 0;
  uint64_t seed = 0;
  RunnerPhysics physics{};              // simulate, score and seed must be set
  std::vector<std::string> arguments;  // the runner's command line, for the record
};

// The thinking time for the game and the increment per stone the engine
// has: its own where it has them, else the game's.
void ClockOf(const EngineLaunch& launch, const GameSettings& settings, double* budgetMs,
             double* incMs);

// Plays the game, seeding the physics' random engine on this thread before
// every stone (StoneSeed); ends both engines (and all they started) before
// returning. Several games may be played at once on different threads. An
// engine that cannot be started forfeits (seat A first when neither can); so
// does one whose thinking time runs out, or that exits or crashes unless
// settings.recover. Each engine's clock (ClockOf) gains its increment after
// each of its stones that did not run it out. An opening that
// OpeningProblem refuses is replaced by an ordinary game from end 1 that
// keeps only its hammer.
GameRecord PlayGame(const GameSetup& setup, const GameObserver& observer);
