#include "subprocess.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/deadline.h"

namespace {

constexpr int kPollMs = 1;              // how often a quiet child is looked at again
constexpr int kWriteTimeoutMs = 60000;  // for a child that does not read its input

std::string ErrorsPath(const WatchedChild& child) { return child.dir / "stderr"; }

// Takes in what the child has written since the last look: its standard
// output through the pipe (waiting at most waitMs for some), its standard
// error from its file. False once its standard output is closed.
bool Collect(WatchedChild* child, int waitMs) {
  const ReadStatus got = ReadSome(&child->process, waitMs, &child->stdoutText);
  std::ifstream errors(ErrorsPath(*child), std::ios::binary);
  errors.seekg(static_cast<std::streamoff>(child->stderrText.size()));
  child->stderrText.append(std::istreambuf_iterator<char>(errors), {});
  return got != ReadStatus::kClosed;
}

bool WaitForText(WatchedChild* child, const std::string& text, const std::string& marker, int count,
                 int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (CountOccurrences(text, marker) < count) {
    if (MsLeft(deadline) == 0) return false;
    // With its output closed the child may still write to its error file.
    if (!Collect(child, std::min(kPollMs, MsLeft(deadline))))
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return true;
}

}  // namespace

int CountOccurrences(const std::string& text, const std::string& marker) {
  int n = 0;
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) ++n;
  return n;
}

bool StartChild(WatchedChild* child, const std::string& program,
                const std::vector<EnvSetting>& settings,
                const std::vector<std::string>& arguments) {
  ProgramStart start;
  start.argv.push_back(program);
  start.argv.insert(start.argv.end(), arguments.begin(), arguments.end());
  for (const EnvSetting& s : settings) {
    if (s.unset) {
      start.unset.push_back(s.name);
    } else {
      start.env.push_back({s.name, s.value});
    }
  }
  start.stderrPath = ErrorsPath(*child);
  return StartProgram(start, &child->process);
}

bool WriteToChild(WatchedChild* child, const std::string& bytes) {
  return WriteAll(&child->process, bytes, kWriteTimeoutMs);
}

bool WaitForStderr(WatchedChild* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, child->stderrText, marker, count, timeoutMs);
}

bool WaitForStdout(WatchedChild* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, child->stdoutText, marker, count, timeoutMs);
}

int FinishChild(WatchedChild* child, int timeoutMs) {
  CloseInput(&child->process);
  return AwaitChild(child, timeoutMs);
}

int AwaitChild(WatchedChild* child, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (MsLeft(deadline) > 0 && Collect(child, MsLeft(deadline))) {
  }
  while (!HasExited(&child->process) && MsLeft(deadline) > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  // Still running at the deadline: the child hangs.
  const bool ended = HasExited(&child->process);
  Collect(child, 0);
  StopProcess(&child->process, 0);
  return ended ? child->process.exitStatus : -1;
}

void CloseChildOutput(WatchedChild* child) { CloseOutput(&child->process); }
