// Helpers for the tests that run the runner as a whole process, over the
// stand-in physics with fake engines: its command line and its output.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/match/support.h"

// One argument quoted for /bin/sh.
inline std::string ShellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// `--engine name=NAME cmd=fake_engine arg=...` with the fake engine's words.
inline std::vector<std::string> FakeEngineWords(const std::string& name,
                                                const std::vector<std::string>& args) {
  std::vector<std::string> words{"--engine", "name=" + name, std::string("cmd=") + FAKE_ENGINE};
  for (const std::string& a : args) words.push_back("arg=" + a);
  return words;
}

inline std::string RunnerLine(const std::vector<std::string>& args) {
  std::string line = CLI_DOUBLE;
  for (const std::string& a : args) line += " " + ShellQuote(a);
  return line;
}

inline CommandResult RunRunner(const std::vector<std::string>& args) {
  return RunCommand(RunnerLine(args) + " 2>&1 </dev/null");
}

inline std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// The runner started in the background, for a test to signal or kill.
inline bool StartRunner(const std::vector<std::string>& args, ChildProcess* runner) {
  return StartProgram(Concat({{CLI_DOUBLE}, args}), "", runner);
}
