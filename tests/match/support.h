// Helpers shared by the match runner's tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "match/game.h"
#include "tests/double/stand_in_physics.h"
#include "tests/temp_dir.h"

// A test with a folder of its own under the system's temporary folder,
// made before the test and removed with all it holds in the teardown, also
// when the test fails.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir.empty()) << "no temporary folder"; }
  TempDir folder{"match-test"};
  const std::string dir = folder.path();
};

inline std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// The lines of text, without their line feeds.
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::vector<std::string> FileLines(const std::string& path) {
  return SplitLines(ReadFile(path));
}

// Whether text holds part (or, for Lacks, does not), with the text shown
// when it fails.
inline ::testing::AssertionResult Holds(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}
inline ::testing::AssertionResult Lacks(const std::string& text, const std::string& part) {
  if (text.find(part) == std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << part << "\" in:\n" << text;
}

// Polls done() every 10 ms until it holds or the seconds are up; whether it held.
template <typename Done>
bool WaitUntil(Done done, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

inline std::string FakeEngine(const std::string& args) { return FAKE_ENGINE " " + args; }

// The messages a fake engine logged with --log, one per read.
inline std::vector<std::string> LoggedReads(const std::string& logPath) {
  std::vector<std::string> reads;
  std::istringstream in(ReadFile(logPath));
  for (std::string read; std::getline(in, read, '\x1e');) reads.push_back(read);
  return reads;
}

inline bool PidFileProcessAlive(const std::string& pidFile) {
  const int pid = std::atoi(ReadFile(pidFile).c_str());
  const std::string stat = pid > 0 ? ReadFile("/proc/" + std::to_string(pid) + "/stat") : "";
  // A zombie (ended, not yet reaped by whoever inherited it) counts as gone.
  const size_t paren = stat.rfind(')');
  return paren != std::string::npos && stat.compare(paren + 1, 3, " Z ") != 0;
}

// Whether the processes of these pid files end within two seconds (as
// engines do once the runner that started them is gone).
inline bool PidFileProcessesEnd(const std::vector<std::string>& pidFiles) {
  return WaitUntil(
      [&] {
        for (const std::string& f : pidFiles)
          if (PidFileProcessAlive(f)) return false;
        return true;
      },
      2);
}

// Short time limits and no noise, so that every stone lands where planned.
inline GameSetup StandInSetup(const std::string& engineA, const std::string& engineB, int ends) {
  GameSetup setup;
  setup.engines[0] = EngineLaunchFromCommandLine(engineA);
  setup.engines[1] = EngineLaunchFromCommandLine(engineB);
  setup.opening.hammer = kSeatB;
  setup.settings.ends = ends;
  setup.settings.noise = 0.0f;
  setup.settings.goTimeoutMs = 3000.0;
  setup.settings.pauseMs = 1;
  setup.physics = StandInPhysics();
  return setup;
}

struct CommandResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string output;
};

inline CommandResult RunCommand(const std::string& commandLine) {
  CommandResult result;
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The Python expression expr evaluated over the JSON file at path (as r),
// printed; a traceback when the file is not strict JSON (NaN and Infinity
// refused, as other readers would) or, given a schema, when the schema is
// no valid schema or the file does not match it. Debian's python3, which
// has python3-jsonschema.
inline std::string JsonQuery(const std::string& path, const std::string& expr,
                             const std::string& schema = "") {
  std::string out =
      RunCommand(
          "/usr/bin/python3 -c 'import json,sys,jsonschema; r = json.load(open(sys.argv[1]), "
          "parse_constant=int); V = jsonschema.Draft202012Validator; s = len(sys.argv) > 3 and "
          "json.load(open(sys.argv[3])); s and (V.check_schema(s), V(s).validate(r)); "
          "print(eval(sys.argv[2]))' " +
          path + " \"" + expr + "\" " + schema + " 2>&1")
          .output;
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// JsonQuery over a game record, which must also match the record schema.
inline std::string RecordQuery(const std::string& path, const std::string& expr) {
  return JsonQuery(path, expr, RECORD_SCHEMA);
}
