// Helpers shared by the match runner's tests: temporary folders, files,
// test-double engine command lines, games over the stand-in physics.
#pragma once

#include <string>
#include <vector>

#include "match/game.h"

std::string MakeTempDir();
std::string ReadFile(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);

// The fake engine's command line with these arguments (see fake_engine.cpp).
std::string FakeEngine(const std::string& args);

// The messages the fake engine logged with --log, one per read.
std::vector<std::string> LoggedReads(const std::string& logPath);

// Whether a process with the pid written in pidFile still exists.
bool PidFileProcessAlive(const std::string& pidFile);

// A game of `ends` ends over the stand-in physics with short time limits
// and noise 0.
GameSetup StandInSetup(const std::string& engineA, const std::string& engineB, int ends);

struct CommandResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string output;
};
// Runs a shell command line and collects its standard output.
CommandResult RunCommand(const std::string& commandLine);
