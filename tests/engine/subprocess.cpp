#include "subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads whatever is ready on the child's two output pipes within waitMs.
// False once both pipes have reached their end.
bool PumpOutput(ChildProcess* child, int waitMs) {
  pollfd fds[2] = {{child->output, POLLIN, 0}, {child->errors, POLLIN, 0}};
  std::string* sinks[2] = {&child->stdoutText, &child->stderrText};
  int* owners[2] = {&child->output, &child->errors};
  if (child->output < 0 && child->errors < 0) return false;
  if (poll(fds, 2, waitMs) <= 0) return true;
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    char chunk[4096];
    const ssize_t got = read(fds[i].fd, chunk, sizeof chunk);
    if (got > 0) {
      sinks[i]->append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      close(*owners[i]);
      *owners[i] = -1;
    }
  }
  return true;
}

std::vector<std::string> ChangedEnvironment(const std::vector<EnvSetting>& settings) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    bool replaced = false;
    for (const EnvSetting& s : settings) {
      if (std::strncmp(*e, s.name.c_str(), s.name.size()) == 0 && (*e)[s.name.size()] == '=') {
        replaced = true;
      }
    }
    if (!replaced) env.emplace_back(*e);
  }
  for (const EnvSetting& s : settings) {
    if (!s.unset) env.push_back(s.name + "=" + s.value);
  }
  return env;
}

}  // namespace

int CountOccurrences(const std::string& text, const std::string& marker) {
  int n = 0;
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
    ++n;
  }
  return n;
}

bool StartChild(ChildProcess* child, const std::string& program,
                const std::vector<EnvSetting>& settings,
                const std::vector<std::string>& arguments) {
  // A child that ends early must not take the test down with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);

  std::vector<std::string> env = ChangedEnvironment(settings);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string path = program;
  std::vector<std::string> args = arguments;
  std::vector<char*> argv{path.data()};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const int rc = posix_spawn(&child->pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
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
  if (child->input < 0) return false;
  return write(child->input, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

namespace {

bool WaitForText(ChildProcess* child, const std::string* text, const std::string& marker, int count,
                 int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (CountOccurrences(*text, marker) < count) {
    const int left = MillisecondsLeft(deadline);
    if (left == 0 || !PumpOutput(child, left)) return false;
  }
  return true;
}

}  // namespace

bool WaitForStderr(ChildProcess* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, &child->stderrText, marker, count, timeoutMs);
}

bool WaitForStdout(ChildProcess* child, const std::string& marker, int count, int timeoutMs) {
  return WaitForText(child, &child->stdoutText, marker, count, timeoutMs);
}

int FinishChild(ChildProcess* child, int timeoutMs) {
  if (child->input >= 0) close(child->input);
  child->input = -1;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (MillisecondsLeft(deadline) > 0 && PumpOutput(child, MillisecondsLeft(deadline))) {
  }
  int status = 0;
  if (child->output >= 0 || child->errors >= 0) {
    kill(child->pid, SIGKILL);
    waitpid(child->pid, &status, 0);
    if (child->output >= 0) close(child->output);
    if (child->errors >= 0) close(child->errors);
    child->output = child->errors = -1;
    return -1;
  }
  // Both pipes have closed; the process is ending or has ended.
  while (waitpid(child->pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
