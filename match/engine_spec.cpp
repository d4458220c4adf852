#include "match/engine_spec.h"

EngineSpec EngineSpecFromCommandLine(const std::string& command) {
  EngineSpec spec;
  std::string word;
  bool first = true;
  for (size_t i = 0; i <= command.size(); ++i) {
    if (i == command.size() || command[i] == ' ') {
      if (word.empty()) continue;
      if (first) spec.program = word;
      else spec.args.push_back(word);
      first = false;
      word.clear();
    } else {
      word += command[i];
    }
  }
  return spec;
}

std::string CommandLineOf(const EngineSpec& spec) {
  std::string line = spec.program;
  for (const std::string& arg : spec.args) line += " " + arg;
  return line;
}
