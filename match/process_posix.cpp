// POSIX implementation of process.h. The child runs in its own process
// group (so that ending it also ends anything a shell wrapper started) and
// dies with the runner (PR_SET_PDEATHSIG), so an interrupted run leaves no
// engine behind.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "match/process.h"

namespace {

constexpr size_t kReadChunkBytes = 4096;
constexpr int kConsumedPollMs = 1;  // how often the pipe is checked for being drained

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

void IgnoreSigpipeOnce() {
  // A write to an engine that has died must fail with EPIPE, not end the runner.
  static const bool done = [] {
    signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)done;
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    const char* name = strsignal(WTERMSIG(status));
    return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" + (name ? name : "?") +
           ")";
  }
  return "ended";
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(int inRead, int outWrite, int errFd, char* const* argv, pid_t parent) {
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);  // the runner died before prctl took effect
  dup2(inRead, STDIN_FILENO);
  dup2(outWrite, STDOUT_FILENO);
  if (errFd >= 0) dup2(errFd, STDERR_FILENO);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  execvp(argv[0], argv);
  _exit(127);
}

bool StartArgv(const std::vector<std::string>& args, const std::string& stderrPath,
               ChildProcess* child) {
  IgnoreSigpipeOnce();
  *child = ChildProcess{};
  if (args.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int toChild[2];
  int fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return false;
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return false;
  }
  const char* errPath = stderrPath.empty() ? "/dev/null" : stderrPath.c_str();
  int errFd = open(errPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid == 0) ExecChild(toChild[0], fromChild[1], errFd, argv.data(), parent);
  close(toChild[0]);
  close(fromChild[1]);
  if (errFd >= 0) close(errFd);
  if (pid < 0) {
    close(toChild[1]);
    close(fromChild[0]);
    return false;
  }
  setpgid(pid, pid);  // also here, so the group exists before we might signal it
  fcntl(toChild[1], F_SETFL, fcntl(toChild[1], F_GETFL) | O_NONBLOCK);
  fcntl(fromChild[0], F_SETFL, fcntl(fromChild[0], F_GETFL) | O_NONBLOCK);
  child->pid = pid;
  child->inputFd = toChild[1];
  child->outputFd = fromChild[0];
  return true;
}

}  // namespace

bool StartProgram(const std::vector<std::string>& argv, const std::string& stderrPath,
                  ChildProcess* child) {
  return StartArgv(argv, stderrPath, child);
}

bool WriteAll(ChildProcess* child, const std::string& text, int timeoutMs) {
  if (child->inputFd < 0) return false;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(child->inputFd, text.data() + done, text.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;  // EPIPE: the child is gone
    pollfd p{child->inputFd, POLLOUT, 0};
    int left = MsLeft(deadline);
    if (left == 0 || poll(&p, 1, left) <= 0) return false;
  }
  return true;
}

bool WaitUntilConsumed(const ChildProcess& child, int timeoutMs) {
  if (child.inputFd < 0) return false;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int pending = 0;
    // On Linux FIONREAD on either end of a pipe gives the unread byte count.
    if (ioctl(child.inputFd, FIONREAD, &pending) != 0) return false;
    if (pending == 0) return true;
    if (MsLeft(deadline) == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kConsumedPollMs));
  }
}

ReadStatus ReadSome(ChildProcess* child, int timeoutMs, std::string* out) {
  if (child->outputFd < 0) return ReadStatus::kClosed;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  char buffer[kReadChunkBytes];
  for (;;) {
    ssize_t n = read(child->outputFd, buffer, sizeof buffer);
    if (n > 0) {
      out->append(buffer, static_cast<size_t>(n));
      return ReadStatus::kData;
    }
    if (n == 0) return ReadStatus::kClosed;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return ReadStatus::kClosed;
    pollfd p{child->outputFd, POLLIN, 0};
    int left = MsLeft(deadline);
    if (left == 0) return ReadStatus::kTimeout;
    int r = poll(&p, 1, left);
    if (r == 0) return ReadStatus::kTimeout;
    if (r < 0 && errno != EINTR) return ReadStatus::kClosed;
  }
}

bool HasExited(ChildProcess* child) {
  if (child->pid < 0 || child->exited) return child->exited;
  int status = 0;
  pid_t r = waitpid(child->pid, &status, WNOHANG);
  if (r == child->pid) {
    child->exited = true;
    child->exitDescription = DescribeStatus(status);
  }
  return child->exited;
}

void StopProcess(ChildProcess* child, int graceMs) {
  if (child->inputFd >= 0) close(child->inputFd);
  child->inputFd = -1;
  if (child->pid > 0 && !child->exited) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    while (!HasExited(child) && MsLeft(deadline) > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(kConsumedPollMs));
    if (!child->exited) {
      kill(-child->pid, SIGKILL);
      kill(child->pid, SIGKILL);
      int status = 0;
      while (waitpid(child->pid, &status, 0) < 0 && errno == EINTR) {
      }
      child->exited = true;
      child->exitDescription = "ended by the runner";
    }
  }
  if (child->outputFd >= 0) close(child->outputFd);
  child->outputFd = -1;
}

std::string OwnExecutableDir() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  std::string self(path, static_cast<size_t>(n));
  const size_t slash = self.rfind('/');
  return slash == std::string::npos ? "" : self.substr(0, slash);
}
