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

// Handles one message as read: echoes it raw on the standard error stream,
// then handles each of its lines in order (empty lines do nothing). The
// message is cut in place. False when some command lacked an argument.
bool HandleMessage(char* message);

// Handles one line, already free of line terminators: the command word,
// matched without regard to case, and its arguments. False when an argument
// that the command needs is missing; the fields before it keep their new
// values. Unknown words and empty lines are ignored (true).
bool HandleCommand(const char* line);

// One read from the standard input into message, at most size bytes. True
// when at least one byte arrived; false at the end of input or on failure.
bool ReadMessage(char* message, std::size_t size);

// Writes text unchanged, without a line terminator, in one write.
bool WriteReply(const char* text);

// Loads the simulator library, then handles messages until the input ends.
// Returns the process's exit status: 0 in every case.
int RunEngine();
