// Win32 implementation of process.h. Anonymous pipes have no non-blocking
// mode, so reads wait by polling PeekNamedPipe, and writes go out only when
// the pipe has room for them (the runner keeps a read end of the child's
// input pipe to see how much is unread), so that no call ever blocks past
// its deadline. The child runs in a job object that kills it, and anything
// it started, when the runner terminates or closes the job, or dies.
#include <windows.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/deadline.h"
#include "platform/process.h"

namespace {

constexpr DWORD kPipeBytes = 64 * 1024;
constexpr DWORD kReadChunkBytes = 4096;
constexpr int kPollMs = 1;

void CloseIfOpen(void** handle) {
  if (*handle != nullptr) CloseHandle(*handle);
  *handle = nullptr;
}

// One argument quoted so that the child's C runtime splits it back unchanged.
void AppendQuoted(const std::string& arg, std::string* line) {
  if (!line->empty()) line->push_back(' ');
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
    *line += arg;
    return;
  }
  line->push_back('"');
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    line->append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    line->push_back(c);
  }
  line->append(2 * backslashes, '\\');  // before the closing quote
  line->push_back('"');
}

DWORD Unread(void* peek) {
  DWORD available = 0;
  if (!PeekNamedPipe(peek, nullptr, 0, nullptr, &available, nullptr)) return 0;
  return available;
}

// Whether the environment entry "KEY=VALUE" e is for name key; names
// compare without regard to case.
bool EntryFor(const char* e, const std::string& key) {
  return std::strlen(e) > key.size() && e[key.size()] == '=' &&
         _strnicmp(e, key.c_str(), key.size()) == 0;
}

// The runner's environment without the names unset, with the overrides, as
// CreateProcess's block of "KEY=VALUE\0" strings.
std::string EnvironmentBlock(const ProgramStart& start) {
  std::string block;
  char* own = GetEnvironmentStringsA();
  for (const char* e = own; e != nullptr && *e != '\0'; e += std::strlen(e) + 1) {
    bool replaced = false;
    for (const auto& [key, value] : start.env) replaced = replaced || EntryFor(e, key);
    for (const std::string& key : start.unset) replaced = replaced || EntryFor(e, key);
    if (!replaced) block.append(e, std::strlen(e) + 1);
  }
  if (own != nullptr) FreeEnvironmentStringsA(own);
  for (const auto& [key, value] : start.env) block += key + "=" + value + '\0';
  return block + '\0';
}

bool IsRelativePath(const std::string& program) {
  const bool hasSeparator = program.find_first_of("\\/") != std::string::npos;
  const bool absolute = (program.size() > 1 && program[1] == ':') ||
                        (!program.empty() && (program[0] == '\\' || program[0] == '/'));
  return hasSeparator && !absolute;
}

std::string DescribeError(DWORD code) {
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  std::string out = text;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
    out.pop_back();
  return out.empty() ? "error " + std::to_string(code) : out;
}

// Creates the process, suspended, with the three standard handles (input,
// output, error; error may be null) as its only inherited handles, and
// closes them. Only one thread at a time makes handles inheritable and
// creates a process, so that a child never inherits another child's pipe
// ends (one would keep the other's pipe open past its end).
bool CreateWithOnlyTheseInherited(const HANDLE (&handles)[3], const std::string& dir,
                                  std::string* line, std::string* environment,
                                  PROCESS_INFORMATION* info, DWORD* failure) {
  static std::mutex creation;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = handles[0];
  startup.hStdOutput = handles[1];
  startup.hStdError = handles[2];
  std::lock_guard<std::mutex> hold(creation);
  for (HANDLE h : handles)
    if (h != nullptr) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  const BOOL started = CreateProcessA(
      nullptr, &(*line)[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP,
      &(*environment)[0], dir.empty() ? nullptr : dir.c_str(), &startup, info);
  *failure = GetLastError();
  for (HANDLE h : handles)
    if (h != nullptr) CloseHandle(h);
  return started != FALSE;
}

HANDLE KillOnCloseJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  return job;
}

}  // namespace

bool StartProgram(const ProgramStart& start, ChildProcess* child) {
  *child = ChildProcess{};
  if (start.argv.empty() || start.argv[0].empty()) {
    child->startError = "no program given";
    return false;
  }
  std::vector<std::string> argv = start.argv;
  if (!start.dir.empty() && IsRelativePath(argv[0])) argv[0] = start.dir + "\\" + argv[0];
  std::string line;
  for (const std::string& a : argv) AppendQuoted(a, &line);
  std::string environment = EnvironmentBlock(start);

  HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
  if (!CreatePipe(&inRead, &inWrite, nullptr, kPipeBytes)) {
    child->startError = "cannot create a pipe: " + DescribeError(GetLastError());
    return false;
  }
  if (!CreatePipe(&outRead, &outWrite, nullptr, kPipeBytes)) {
    child->startError = "cannot create a pipe: " + DescribeError(GetLastError());
    CloseHandle(inRead);
    CloseHandle(inWrite);
    return false;
  }
  HANDLE peek = nullptr;
  DuplicateHandle(GetCurrentProcess(), inRead, GetCurrentProcess(), &peek, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  const char* errPath = start.stderrPath.empty() ? "NUL" : start.stderrPath.c_str();
  HANDLE err = CreateFileA(errPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

  PROCESS_INFORMATION info{};
  DWORD failure = 0;
  const bool started =
      CreateWithOnlyTheseInherited({inRead, outWrite, err != INVALID_HANDLE_VALUE ? err : nullptr},
                                   start.dir, &line, &environment, &info, &failure);
  child->input = inWrite;
  child->inputPeek = peek;
  child->output = outRead;
  if (!started) {
    child->startError = "cannot start '" + start.argv[0] + "'" +
                        (start.dir.empty() ? "" : " in '" + start.dir + "'") + ": " +
                        DescribeError(failure);
    StopProcess(child, 0);
    return false;
  }
  HANDLE job = KillOnCloseJob();
  if (job != nullptr) AssignProcessToJobObject(job, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  child->pid = static_cast<int>(info.dwProcessId);
  child->process = info.hProcess;
  child->job = job;
  return true;
}

bool StartProgram(const std::vector<std::string>& argv, const std::string& stderrPath,
                  ChildProcess* child) {
  ProgramStart start;
  start.argv = argv;
  start.stderrPath = stderrPath;
  return StartProgram(start, child);
}

bool WriteAll(ChildProcess* child, const std::string& text, int timeoutMs) {
  if (child->input == nullptr) return false;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  // The runner's own read end keeps the pipe open after the child is gone,
  // so a dead child shows here, not as a broken pipe.
  while (!HasExited(child)) {
    if (Unread(child->inputPeek) + text.size() <= kPipeBytes) {
      DWORD written = 0;
      return WriteFile(child->input, text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) &&
             written == text.size();
    }
    if (MsLeft(deadline) == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return false;
}

bool WaitUntilConsumed(const ChildProcess& child, int timeoutMs) {
  if (child.inputPeek == nullptr) return false;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (Unread(child.inputPeek) == 0) return true;
    if (child.exited || WaitForSingleObject(child.process, 0) == WAIT_OBJECT_0) return false;
    if (MsLeft(deadline) == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
}

ReadStatus ReadSome(ChildProcess* child, int timeoutMs, std::string* out) {
  if (child->output == nullptr) return ReadStatus::kClosed;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(child->output, nullptr, 0, nullptr, &available, nullptr)) {
      return ReadStatus::kClosed;  // every write end is closed: the child has ended
    }
    if (available > 0) {
      char buffer[kReadChunkBytes];
      DWORD got = 0;
      const DWORD ask = available < kReadChunkBytes ? available : kReadChunkBytes;
      if (!ReadFile(child->output, buffer, ask, &got, nullptr) || got == 0) {
        return ReadStatus::kClosed;
      }
      out->append(buffer, got);
      return ReadStatus::kData;
    }
    if (MsLeft(deadline) == 0) return ReadStatus::kTimeout;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
}

bool HasExited(ChildProcess* child) {
  if (child->process == nullptr || child->exited) return child->exited;
  DWORD code = 0;
  if (WaitForSingleObject(child->process, 0) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(child->process, &code)) {
    child->exited = true;
    child->exitDescription = "exited with status " + std::to_string(code);
    child->exitStatus = static_cast<int>(code);
  }
  return child->exited;
}

void CloseInput(ChildProcess* child) {
  CloseIfOpen(&child->input);
  CloseIfOpen(&child->inputPeek);
}

void CloseOutput(ChildProcess* child) { CloseIfOpen(&child->output); }

void StopProcess(ChildProcess* child, int graceMs) {
  CloseInput(child);
  if (child->process != nullptr && !child->exited) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    while (!HasExited(child) && MsLeft(deadline) > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    if (!child->exited) {
      TerminateProcess(child->process, 1);
      WaitForSingleObject(child->process, INFINITE);
      child->exited = true;
      child->exitDescription = "ended by the runner";
    }
  }
  // Whatever the child started ends with the job, also when the child
  // itself has ended already.
  if (child->job != nullptr) TerminateJobObject(child->job, 1);
  CloseIfOpen(&child->job);
  CloseIfOpen(&child->process);
  CloseOutput(child);
}
