// The server's side of the engine protocol as pure text functions: the
// commands the runner writes (each ended by one line feed, one per write)
// and the parsing of the two replies, which arrive with no line terminator.
#pragma once

#include <string>

#include "sim/records.h"

std::string FormatNewGame();
std::string FormatIsReady();
// SETSTATE shotIndex endIndex lastEnd sideFlag
std::string FormatSetState(int shotIndex, int endIndex, int lastEnd, int sideFlag);
// POSITION with the coordinates x0 y0 ... x15 y15 of every stone, each printed with
// enough digits ("%.9g") that the engine's atof gives back the same float.
std::string FormatPosition(const float (&stones)[game::kStonesPerEnd][2]);
std::string FormatGo();
std::string FormatScore(int score);

enum class ReplyParse {
  kIncomplete,  // could still become a valid reply when more bytes arrive
  kComplete,    // a valid reply, nothing after it but white space
  kGarbage,     // can no longer be a valid reply
  kTwoReplies,  // a valid reply followed by (the start of) another reply
};

// The engine's echo of every message ("recieved: ", misspelt as the
// protocol has it, and the message) belongs on its standard error stream;
// an engine that writes it to its standard output instead still gets its
// reply read. Drops every line that starts with the echo prefix, and a
// trailing unfinished line that is or may become one.
std::string WithoutEchoLines(const std::string& text);

// Parses the bytes an engine sent after GO: "BESTSHOT vx vy curl" with
// decimal numbers ([+-]digits[.digits][e[+-]digits], no hexadecimal
// floats, inf or nan) finite as floats, and curl 0 or 1, tokens separated
// by white space.
// Surrounding white space (a stray line end) and echo lines are tolerated.
ReplyParse ParseBestShot(const std::string& text, ShotVec* vec);

// The same for ISREADY's "READYOK".
ReplyParse ParseReadyOk(const std::string& text);

// The text as a printable one-line string for records and messages: bytes
// outside printable ASCII become \n, \r, \t or \xHH; at most maxBytes of the
// input are shown, then "...".
std::string Printable(const std::string& text, size_t maxBytes);
