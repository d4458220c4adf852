// A child process driven through its standard input and output, as a game
// server drives an engine: start it, write raw bytes, read whatever arrives
// within a deadline, end it. One source per platform: process_posix.cpp
// (fork/exec, pipes, poll) and process_win32.cpp (CreateProcess, pipes, a
// job object).
#pragma once

#include <string>
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
#endif
  bool exited = false;  // reaped; exitDescription says how it ended
  std::string exitDescription;
};

enum class ReadStatus {
  kData,     // at least one byte was appended
  kTimeout,  // nothing arrived before the deadline
  kClosed,   // the child closed its output (normally: it ended)
};

// Starts argv[0] (looked up in PATH unless it holds a '/'; on Windows by
// CreateProcess's own search) with these arguments, without a shell.
// stderrPath: the file the child's standard error is appended to; empty
// means the null device (engines are chatty there).
// False when argv is empty or fork or pipe fail; a program that cannot be
// executed shows as a child that ends at once with status 127.
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

// Whether the child has ended (reaps it if so, filling exitDescription).
bool HasExited(ChildProcess* child);

// Closes the child's input, gives it graceMs to end, then kills its whole
// process group and reaps it. Safe to call twice and on a child never started.
void StopProcess(ChildProcess* child, int graceMs);

// The folder of the running executable ("" when it cannot be found).
std::string OwnExecutableDir();
