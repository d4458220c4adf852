#include "subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads whatever is ready on the child's two output pipes within waitMs;
// both are drained together so that neither can fill up and stall the child.
// False once both pipes have reached their end.
bool PumpOutput(ChildProcess* child, int waitMs) {
  int* fds[2] = {&child->output, &child->errors};
  std::string* sinks[2] = {&child->stdoutText, &child->stderrText};
  pollfd polled[2] = {{child->output, POLLIN, 0}, {child->errors, POLLIN, 0}};
  if (child->output < 0 && child->errors < 0) return false;
  if (poll(polled, 2, waitMs) <= 0) return true;
  for (int i = 0; i < 2; ++i) {
    if (polled[i].fd < 0 || polled[i].revents == 0) continue;
    char chunk[4096];
    const ssize_t got = read(*fds[i], chunk, sizeof chunk);
    if (got > 0) {
      sinks[i]->append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      close(*fds[i]);
      *fds[i] = -1;
    }
  }
  return true;
}

bool WaitForText(ChildProcess* child, const std::string& text, const std::string& marker, int count,
                 int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (CountOccurrences(text, marker) < count) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || !PumpOutput(child, left)) return false;
  }
  return true;
}

}  // namespace

int CountOccurrences(const std::string& text, const std::string& marker) {
  int n = 0;
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) ++n;
  return n;
}

bool StartChild(ChildProcess* child, const std::string& program,
                const std::vector<EnvSetting>& settings,
                const std::vector<std::string>& arguments) {
  // A child that ends early must not take the caller down with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    bool changed = false;
    for (const EnvSetting& s : settings) changed |= std::string(*e).rfind(s.name + "=", 0) == 0;
    if (!changed) env.emplace_back(*e);
  }
  for (const EnvSetting& s : settings) {
    if (!s.unset) env.push_back(s.name + "=" + s.value);
  }
  std::vector<std::string> args = arguments;
  args.insert(args.begin(), program);
  std::vector<char*> envp, argv;
  for (std::string& e : env) envp.push_back(e.data());
  for (std::string& a : args) argv.push_back(a.data());
  envp.push_back(nullptr);
  argv.push_back(nullptr);

  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  // An ignored signal stays ignored across exec: the child gets SIGPIPE's
  // default action back, as a game server's child would have it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  const int rc =
      posix_spawn(&child->pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  child->input = in[1];
  child->output = out[0];
  child->errors = err[0];
  return rc == 0;
}

bool WriteToChild(ChildProcess* child, const std::string& bytes) {
  return child->input >= 0 &&
         write(child->input, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool WaitForStderr(ChildProcess* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, child->stderrText, marker, count, timeoutMs);
}

bool WaitForStdout(ChildProcess* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, child->stdoutText, marker, count, timeoutMs);
}

int FinishChild(ChildProcess* child, int timeoutMs) {
  if (child->input >= 0) close(child->input);
  child->input = -1;
  return AwaitChild(child, timeoutMs);
}

int AwaitChild(ChildProcess* child, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (MillisecondsLeft(deadline) > 0 && PumpOutput(child, MillisecondsLeft(deadline))) {
  }
  // Pipes still open at the deadline: the child hangs.
  const bool hung = child->output >= 0 || child->errors >= 0;
  if (hung) {
    kill(child->pid, SIGKILL);
    for (int* fd : {&child->output, &child->errors}) {
      if (*fd >= 0) close(*fd);
      *fd = -1;
    }
  }
  int status = 0;
  while (waitpid(child->pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (child->input >= 0) close(child->input);
  child->input = -1;
  return !hung && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CloseChildOutput(ChildProcess* child) {
  if (child->output >= 0) close(child->output);
  child->output = -1;
}
