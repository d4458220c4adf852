#include "match/engine_launch.h"

#include <algorithm>
#include <filesystem>

namespace {

// Programs whose engine is the file they are given: an engine started
// through one of these would otherwise be known by the interpreter's name.
constexpr const char* kInterpreters[] = {"python", "python2", "python3", "pypy", "pypy3",
                                         "bash",   "sh",      "dash",    "zsh",  "node",
                                         "nodejs", "perl",    "ruby",    "wine", "wine64"};

std::string Stem(const std::string& path) {
  return std::filesystem::u8path(path).stem().u8string();
}

}  // namespace

EngineLaunch EngineLaunchFromCommandLine(const std::string& command) {
  EngineLaunch launch;
  std::string word;
  bool first = true;
  for (size_t i = 0; i <= command.size(); ++i) {
    if (i == command.size() || command[i] == ' ') {
      if (word.empty()) continue;
      if (first) launch.program = word;
      else launch.args.push_back(word);
      first = false;
      word.clear();
    } else {
      word += command[i];
    }
  }
  return launch;
}

std::string CommandLineOf(const EngineLaunch& launch) {
  std::string line = launch.program;
  for (const std::string& arg : launch.args) line += " " + arg;
  return line;
}

std::string DefaultEngineName(const EngineLaunch& launch) {
  // python3.11 and python3.exe have the stem python3.
  const std::string program = Stem(launch.program);
  if (std::find(std::begin(kInterpreters), std::end(kInterpreters), program) ==
      std::end(kInterpreters))
    return program;
  for (const std::string& arg : launch.args) {
    if (arg.empty() || arg[0] == '-') continue;
    const std::string script = Stem(arg);
    return script.empty() ? program : script;
  }
  return program;
}
