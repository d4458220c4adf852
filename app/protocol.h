// The text protocol between the game server and the engine: one message per
// read of the standard input, at most one reply per command.
#pragma once

#include <cstddef>

#include "sim/records.h"

// Size of each of the protocol's fixed text buffers (message, command word,
// argument and reply), bytes including the terminating zero.
constexpr std::size_t kTextBufferSize = 1024;

// The one game record of the process, all zero at start. Only the protocol
// handler writes it; the shot decision reads it in place.
extern GameState gameState;

// What answers GO: fills vec with the shot to play from state, which it only
// reads. The classic player (DecideShot) unless the program installs another
// before the command loop starts.
using ShotDecider = void (*)(const GameState& state, ShotVec* vec);
void SetShotDecider(ShotDecider decide);

// Called when a new game starts (NEWGAME, ISREADY), before any reply: a
// player that keeps a game clock restarts it. None by default.
using GameStartHook = void (*)();
void SetGameStartHook(GameStartHook hook);

// What handling a command or a message came to.
enum class Handled {
  kComplete,         // every command had the arguments it needs
  kArgumentMissing,  // some command lacked one; the fields before it changed
  kOutputClosed,     // a reply could not be written: the session is over
};

// Handles one message as read: echoes it raw on the standard error stream,
// then handles each of its lines in order (empty lines do nothing). The
// message is cut in place. Once a reply fails, the lines after it are not
// handled (a GO there would search for nobody).
Handled HandleMessage(char* message);

// Handles one line, already free of line terminators: the command word,
// matched without regard to case, and its arguments. kArgumentMissing when
// an argument that the command needs is missing; the fields before it keep
// their new values. Unknown words and empty lines are ignored (kComplete).
Handled HandleCommand(const char* line);

// One read from the standard input into message, at most size bytes. True
// when at least one byte arrived; false at the end of input or on failure.
bool ReadMessage(char* message, std::size_t size);

// Writes text unchanged, without a line terminator, in one write. False
// when it could not be written whole.
bool WriteReply(const char* text);

// Loads the simulator library, calls onLoaded (when given) to let a player
// bind what it needs from it, then handles messages until the input ends
// or a reply cannot be written (nobody reads the output any more). Returns
// the process's exit status: 0 in every case.
int RunEngine(void (*onLoaded)() = nullptr);
