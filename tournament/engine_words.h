// One engine's settings as KEY=VALUE words, wherever they come from: its
// own `--engine` words, the `--each` words every engine shares and a named
// definition of an --engines-file. One parser turns them into the launch.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "match/engine_launch.h"
#include "record/record.h"

constexpr double kMsPerSecond = 1000.0;
// The bounds of a thinking time and of an increment, s: --time, --inc, time=, inc=.
constexpr double kLeastTimeSec = 0.001;
constexpr double kMostTimeSec = 1e7;
constexpr double kMostIncSec = 1e6;

// A whole-text number within [low, high]; false for trailing junk or a
// value out of range.
bool NumberFromText(const std::string& text, double low, double high, double* out);

// Engine definitions by name, each as the words `--engine` takes.
using EngineDefinitions = std::map<std::string, std::vector<std::string>>;

// One word list: name=, cmd=, arg= (repeatable), dir=, threads=,
// env=KEY=VALUE (repeatable), time=SEC, inc=SEC. A later word replaces an
// earlier one of its key; arg= and env= add. False with error set (naming
// the word, not the option it came from) for an unknown key, a missing cmd=
// or a bad number.
bool EngineLaunchFromWords(const std::vector<std::string>& words, EngineLaunch* launch,
                           std::string* error);

// Reads an engines file, {"engines": [{"name": "search", "cmd": "...",
// "args": ["..."], "dir": "...", "threads": 1, "env": {"KEY": "VALUE"},
// "time": 60, "inc": 0.5}, ...]}: every entry named, the other keys as
// optional as on the command line. False with a one-line error naming
// the file for one that cannot be read, is not such JSON or names an
// engine twice.
bool ReadEngineDefinitions(const std::string& path, EngineDefinitions* out, std::string* error);

// The words one engine is made from: the definition its conf=NAME names,
// then the --each words, then its own, so that its own keys win over
// --each's and both over the file's (arg= and env= add to theirs). False
// with error for an unknown NAME or a conf= without definitions.
bool EngineWordsOf(const std::vector<std::string>& own, const std::vector<std::string>& each,
                   const EngineDefinitions* definitions, std::vector<std::string>* words,
                   std::string* error);

// When every engine has the same clock, makes it the game's and clears
// theirs, so that `--each time=5` and `--time 5` are the same run and the
// record's settings say what was played.
void ShareCommonClock(std::vector<EngineLaunch>* engines, GameSettings* settings);
