// A child process driven through its standard input and output, as a game
// server drives an engine: start it, write raw bytes, read whatever arrives
// within a deadline, end it. The runner drives its engines with it and the
// engine's process tests drive the engine. One source per platform:
// process_posix.cpp (fork/exec, pipes, poll) and process_win32.cpp
// (CreateProcess, pipes, a job object).
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ChildProcess {
  int pid = -1;  // -1 when not started
#ifdef _WIN32
  void* process = nullptr;
  void* job = nullptr;        // holds the child and all it starts; closing it ends them
  void* input = nullptr;      // our end of the child's standard input
  void* inputPeek = nullptr;  // a read end of that pipe, to see how much is unread
  void* output = nullptr;     // our end of the child's standard output
#else
  int inputFd = -1;   // our end of the child's standard input (non-blocking)
  int outputFd = -1;  // our end of the child's standard output (non-blocking)
  std::string tag;    // in the environment of the child and all it starts, to know them later
#endif
  bool exited = false;  // has ended; exitDescription says how
  std::string exitDescription;
  int exitStatus = -1;     // the status it exited with; -1 when it did not exit by itself
  std::string startError;  // why StartProgram failed; "" otherwise
};

// How to start a program: argv[0] is looked up in PATH unless it holds a
// path separator (on Windows by CreateProcess's own search).
struct ProgramStart {
  std::vector<std::string> argv;
  std::string dir;  // working directory; "" for the runner's. A relative
                    // program path is taken from it.
  std::vector<std::pair<std::string, std::string>> env;  // on top of the runner's own
  std::vector<std::string> unset;  // names taken out of the runner's environment
  std::string stderrPath;          // appended to; "" for the null device (engines are chatty there)
};

enum class ReadStatus {
  kData,     // at least one byte was appended
  kTimeout,  // nothing arrived before the deadline
  kClosed,   // the child closed its output (normally: it ended)
};

// Starts the program without a shell, in a process group (POSIX) or job
// object (Windows) of its own. Returns only once the program is running or
// has failed to start: false then, with child->startError naming the
// program and the reason (missing, not executable, no such folder), never
// found by waiting. Safe to call from several threads at once: no handle
// or descriptor of one child leaks into another.
bool StartProgram(const ProgramStart& start, ChildProcess* child);

// The same with argv alone and standard error to stderrPath.
bool StartProgram(const std::vector<std::string>& argv, const std::string& stderrPath,
                  ChildProcess* child);

// Writes all of text within timeoutMs. False when the child does not take it
// (pipe full until the deadline) or is gone.
bool WriteAll(ChildProcess* child, const std::string& text, int timeoutMs);

// Waits until the child has read everything written so far (the pipe is
// empty), at most timeoutMs. True when it is empty.
bool WaitUntilConsumed(const ChildProcess& child, int timeoutMs);

// Appends to out what one read delivers, waiting at most timeoutMs (0: only
// what is already there).
ReadStatus ReadSome(ChildProcess* child, int timeoutMs, std::string* out);

// Whether the child has ended, filling exitDescription if so. On POSIX the
// child is not reaped here, so that its process id (and with it its
// process group's) cannot be reused before StopProcess kills the group.
bool HasExited(ChildProcess* child);

// Closes our end of the child's standard input: the child reads the end of
// its input once it has read what was written.
void CloseInput(ChildProcess* child);

// Closes our end of the child's standard output: the child's next write
// there fails, as when whoever read it has gone.
void CloseOutput(ChildProcess* child);

// Closes the child's input, gives it graceMs to end, then kills its whole
// process group (job object) and reaps it: whatever the child started is
// gone too, also when the child itself had ended already, and on Linux
// also what left the group (see process_posix.cpp), never another running
// child's. Safe to call twice and on a child never started.
void StopProcess(ChildProcess* child, int graceMs);
