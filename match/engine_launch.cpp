#include "match/engine_launch.h"

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
