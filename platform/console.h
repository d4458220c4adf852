// The engine's console: one raw read from the standard input and one raw
// write to the standard output, with no buffering in between, so that each
// read is one protocol message and each reply reaches the server at once.
#pragma once

#include <cstddef>

// Makes the standard error stream pass its bytes through unchanged (the
// Windows C runtime would put a carriage return before every line feed), so
// that the diagnostics are the same bytes on every platform, and makes a
// write to a pipe whose reader has gone fail instead of ending the process
// (POSIX sends SIGPIPE, whose default action kills it): the engine then ends
// normally, as at the end of its input. Call before anything is written.
void ConsoleSetUp();

// Reads once from the standard input into dest, at most capacity bytes.
// Returns the number of bytes delivered, 0 at the end of input, and -1 when
// the read failed. Nothing is added to dest (no terminating zero).
long ConsoleRead(char* dest, std::size_t capacity);

// Writes length bytes of text to the standard output, in one call unless
// the system takes fewer bytes (then the rest follows at once). True when
// every byte was taken; false when a write failed, for one because nobody
// reads the output any more.
bool ConsoleWrite(const char* text, std::size_t length);
