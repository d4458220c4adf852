// A program under test, started and driven through the platform's child
// process (platform/process.h): its standard error goes to a file of its
// own, in a folder removed with it; the tests feed it bytes, wait for what
// it writes, and collect everything once it has ended.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/temp_dir.h"

struct WatchedChild {
  ChildProcess process;
  TempDir dir{"curling-engine-test"};  // holds its standard error file
  std::string stdoutText;              // what it has written so far
  std::string stderrText;
};

// An environment change: the variable set to value, or removed when unset.
struct EnvSetting {
  std::string name;
  std::string value;
  bool unset = false;
};

// Starts program (a path: no search) with the arguments and this process's
// environment changed by settings, and SIGPIPE at its default action. False
// when it could not be started.
bool StartChild(WatchedChild* child, const std::string& program,
                const std::vector<EnvSetting>& settings,
                const std::vector<std::string>& arguments = {});

// Writes all of bytes to the child's standard input, in one write when the
// pipe has room for them.
bool WriteToChild(WatchedChild* child, const std::string& bytes);

// Collects the child's output until its standard error holds at least count
// occurrences of marker, or timeoutMs passes. True when the marker count was
// reached.
bool WaitForStderr(WatchedChild* child, const std::string& marker, int count, int timeoutMs);

// The same for the child's standard output.
bool WaitForStdout(WatchedChild* child, const std::string& marker, int count, int timeoutMs);

// Closes the child's standard input, collects its output until it exits and
// returns its exit status; -1 when it had to be killed after timeoutMs or
// ended by a signal.
int FinishChild(WatchedChild* child, int timeoutMs);

// Waits for the child to end by itself, its standard input left open, while
// collecting its output; then the same as FinishChild.
int AwaitChild(WatchedChild* child, int timeoutMs);

// Closes our read end of the child's standard output: its next write there
// finds no reader.
void CloseChildOutput(WatchedChild* child);

// Occurrences of marker in text.
int CountOccurrences(const std::string& text, const std::string& marker);
