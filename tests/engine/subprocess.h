// A small helper for process-level tests: start a program with pipes on its
// three standard streams, feed it bytes, wait for what it writes, and
// collect everything once it has ended.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

struct ChildProcess {
  pid_t pid = -1;
  int input = -1;   // the child's standard input (our write end)
  int output = -1;  // the child's standard output (our read end)
  int errors = -1;  // the child's standard error (our read end)
  std::string stdoutText;
  std::string stderrText;
};

// An environment change: the variable set to value, or removed when unset.
struct EnvSetting {
  std::string name;
  std::string value;
  bool unset = false;
};

// Starts program (a path: no search) with the arguments and this process's
// environment changed by settings, and SIGPIPE at its default action. False when it could not be started.
bool StartChild(ChildProcess* child, const std::string& program,
                const std::vector<EnvSetting>& settings,
                const std::vector<std::string>& arguments = {});

// Writes all of bytes to the child's standard input in one write.
bool WriteToChild(ChildProcess* child, const std::string& bytes);

// Collects the child's output until its standard error holds at least count
// occurrences of marker, or timeoutMs passes. True when the marker count was
// reached.
bool WaitForStderr(ChildProcess* child, const std::string& marker, int count, int timeoutMs);

// The same for the child's standard output.
bool WaitForStdout(ChildProcess* child, const std::string& marker, int count, int timeoutMs);

// Closes the child's standard input, collects its output until it exits and
// returns its exit status; -1 when it had to be killed after timeoutMs or
// ended by a signal.
int FinishChild(ChildProcess* child, int timeoutMs);

// Waits for the child to end by itself, its standard input left open, while
// collecting its output; then the same as FinishChild.
int AwaitChild(ChildProcess* child, int timeoutMs);

// Closes our read end of the child's standard output: its next write there
// finds no reader.
void CloseChildOutput(ChildProcess* child);

// Occurrences of marker in text.
int CountOccurrences(const std::string& text, const std::string& marker);
