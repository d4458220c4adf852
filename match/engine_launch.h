// How to start one engine: the program, its arguments, where and with what
// environment. Built from `--engine name=... cmd=... arg=...` words or from
// a plain positional command line; the same for every game it plays.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct EngineLaunch {
  std::string name;               // shown in tables, records and pictures; "" until named
  std::string program;            // looked up in PATH unless it contains a path separator
  std::vector<std::string> args;  // passed as they are: no quoting, no shell
  std::string dir;                // working directory; "" for the runner's own
  int threads = 0;                // OMP_NUM_THREADS for the engine when > 0
  std::vector<std::pair<std::string, std::string>> env;  // set on top of the runner's environment
  // Its clock when it has one of its own (time odds), ms; < 0: the game's.
  double budgetMs = -1.0;
  double incMs = -1.0;
};

// A plain command line, split at runs of spaces into the program and its
// arguments (no quoting, no shell); name stays "".
EngineLaunch EngineLaunchFromCommandLine(const std::string& command);

// The program and its arguments joined by single spaces, for messages.
std::string CommandLineOf(const EngineLaunch& launch);

// What an engine without a name is called: its program's file name without
// the extension; for a program that runs a script (python3, bash, sh, node,
// perl, ruby, wine ...), its first argument that is not an option, the same
// way: `python3 -u engines/my_engine.py` is my_engine.
std::string DefaultEngineName(const EngineLaunch& launch);
