// The engine's console: one raw read from the standard input and one raw
// write to the standard output, with no buffering in between, so that each
// read is one protocol message and each reply reaches the server at once.
#pragma once

#include <cstddef>

// Makes the standard error stream pass its bytes through unchanged (the
// Windows C runtime would put a carriage return before every line feed), so
// that the diagnostics are the same bytes on every platform. Call before
// anything is written there.
void ConsoleSetUp();

// Reads once from the standard input into dest, at most capacity bytes.
// Returns the number of bytes delivered, 0 at the end of input, and -1 when
// the read failed. Nothing is added to dest (no terminating zero).
long ConsoleRead(char* dest, std::size_t capacity);

// Writes length bytes of text to the standard output in one call. True when
// the call reported success.
bool ConsoleWrite(const char* text, std::size_t length);
