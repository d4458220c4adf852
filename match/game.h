// One whole game between two engine processes: the runner keeps the
// authoritative record, asks the engine to move for each stone, executes
// the reply with the physics library and scores every end itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "match/physics.h"
#include "match/record.h"

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
  std::function<void(const StoneView&)> onStone;    // after every stone
  std::function<void(const GameRecord&)> onEnd;     // after every finished end
  std::function<void(const GameRecord&)> onFinish;  // once, when the game is over
};

struct GameSetup {
  std::string engineCommand[2];  // command lines of seats A and B (SplitCommandLine)
  std::string engineLog[2];      // files for their standard error; "" for none
  GameSettings settings;
  int gameIndex = 0;
  uint64_t seed = 0;
  PhysicsCalls physics{};              // simulate, score and seed must be set
  std::vector<std::string> arguments;  // the runner's command line, for the record
};

// Plays the game, seeding the physics' random engine on this thread before
// every stone (StoneSeed); ends both engines before returning.
GameRecord PlayGame(const GameSetup& setup, const GameObserver& observer);
