// Process tests' view of one curling-engine: started over pipes with a
// chosen Korvane.dll folder, fed one message per read, and read back whole.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "subprocess.h"

// Time allowed for each step of a process test; generous for sanitizer
// builds on a busy machine, never reached by a working engine.
constexpr int kStepTimeoutMs = 60000;

// The engine under test and its test doubles: this build's own, unless the
// variables CURLING_TEST_ENGINE, CURLING_TEST_DOUBLE_DIR and
// CURLING_TEST_OFFSET_DOUBLE_DIR name others. CURLING_TEST_LAUNCHER names a
// program that runs the engine (the absolute path of wine, for the 32-bit
// Windows build); the library folder then goes to the launched program's
// PATH through WINEPATH as well.
struct TestedEngine {
  std::string program;
  std::string doubleDir;        // the scripted double
  std::string offsetDoubleDir;  // the same double, adding 100 to every vx
  std::string launcher;         // empty: the program runs itself
  bool windows = false;         // the program is a Windows executable
};
const TestedEngine& Tested();

// The last component of a path.
std::string BaseName(const std::string& path);

// Copies file from to to, keeping it executable.
bool CopyFile(const std::string& from, const std::string& to);

// Reads a counts file of "name value" lines, as the test double writes it.
std::map<std::string, long> ReadCounts(const std::string& path);

// "POSITION x0 y0 ... x15 y15" with the given stones and (0, 0) for the rest,
// each read back by the engine as the very same float.
std::string PositionMessage(const std::vector<std::pair<float, float>>& stones);

struct EngineSession {
  WatchedChild child;
  int reads = 0;  // messages that the engine has echoed so far
};

// How an engine ended and all that it wrote.
struct EngineRun {
  int status = -1;
  std::string out;
  std::string err;
  std::map<std::string, long> counts;  // the test double's, read by the caller
};
EngineRun Ended(const EngineSession& session, int status);

// Starts program (through the launcher, if any) with libraryDir as the
// library search path (LD_LIBRARY_PATH, and WINEPATH under a launcher;
// unset when empty), the extra settings and command-line arguments.
bool StartEngine(EngineSession* session, const std::string& libraryDir,
                 const std::vector<EnvSetting>& settings, const std::string& program,
                 const std::vector<std::string>& arguments = {});

// Settings for an engine that loads the real library: LeakSanitizer's exit
// scan crashes on the thread-local blocks that a dlopen'ed library gives
// each worker thread (the library's per-thread random engines), so in
// sanitizer builds such an engine runs without it. The test double, which
// has no thread-local data, keeps it on.
std::vector<EnvSetting> RealLibrarySettings();

// Writes bytes in one write and waits until the engine has echoed `reads`
// more messages, so that the next write arrives in a read of its own.
bool Send(EngineSession* session, const std::string& bytes, int reads = 1);

// Ends the input and returns the exit status (-1 if the engine hung).
int Finish(EngineSession* session);
