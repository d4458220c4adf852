// POSIX implementation of process.h. The child runs in its own process
// group (so that ending it also ends anything a shell wrapper started) and
// dies with the runner (PR_SET_PDEATHSIG), so an interrupted run leaves no
// engine behind. That signal is why this is fork and exec rather than
// posix_spawn, which cannot set it; an exec failure still reaches the
// parent at once, through a pipe that a successful exec closes.
// PR_SET_PDEATHSIG fires when the starting thread ends, so a game's engines
// must be started and stopped on one thread (PlayGame does both).
//
// A process that leaves the child's group (setsid, a double fork into a new
// session) would escape the group kill, so the runner is a child subreaper:
// such a process, once its parent is gone, becomes the runner's child
// instead of init's. To know which engine an adopted process came from
// while other games run, every child gets an environment entry unique to it
// (kTagName), which its descendants inherit; StopProcess ends the child's
// descendants still below it, the runner's children in its group or with
// its tag, and all below those, and reaps what became the runner's. A
// process that both leaves the group and drops the tag after its parent
// ended is not found. The runner starts processes only through this file,
// so a zombie child it did not start here is an adopted one, already dead,
// and is reaped whoever it came from.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "platform/deadline.h"
#include "platform/process.h"

namespace {

constexpr size_t kReadChunkBytes = 4096;
constexpr int kConsumedPollMs = 1;  // how often the pipe is checked for being drained
constexpr int kGroupGoneMs = 200;   // longest wait for a killed group to be gone
constexpr int kSweepRounds = 8;     // bounds the search for what a stopped child left behind
constexpr const char* kTagName = "CURLING_PROCESS_TAG";

// Children started here and not yet reaped by StopProcess: another game's
// engine, never to be taken for an adopted process.
std::mutex startedMutex;
std::set<pid_t> started;

bool IsStarted(pid_t pid) {
  std::lock_guard<std::mutex> lock(startedMutex);
  return started.count(pid) != 0;
}

void BecomeSubreaperOnce() {
  static const bool done = [] {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    return true;
  }();
  (void)done;
}

std::string NewTag() {
  static std::atomic<unsigned long> serial{0};
  return std::to_string(getpid()) + "." + std::to_string(++serial);
}

struct ProcStat {
  pid_t ppid = 0, pgid = 0;
  char state = '?';
};

// A /proc file's text, or "" if its process is gone. Not a stream: a
// process that dies while read makes read() fail (ESRCH), and a file
// stream's buffer throws on that instead of ending.
std::string ReadProcFile(const std::string& path) {
  std::string text;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) text.clear();
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return text;
}

// Every process's parent, group and state, as /proc shows them now.
std::map<pid_t, ProcStat> ProcessTable() {
  std::map<pid_t, ProcStat> table;
  DIR* proc = opendir("/proc");
  if (!proc) return table;
  while (dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (pid <= 0 || *end != '\0') continue;
    const std::string stat = ReadProcFile("/proc/" + std::string(entry->d_name) + "/stat");
    // The command name may hold spaces and parentheses; the fields follow the last ')'.
    const size_t paren = stat.rfind(')');
    if (paren == std::string::npos) continue;
    std::istringstream fields(stat.substr(paren + 1));
    ProcStat s;
    if (fields >> s.state >> s.ppid >> s.pgid) table[static_cast<pid_t>(pid)] = s;
  }
  closedir(proc);
  return table;
}

bool HasTag(pid_t pid, const std::string& tag) {
  const std::string env =
      std::string(1, '\0') + ReadProcFile("/proc/" + std::to_string(pid) + "/environ");
  return env.find(std::string(1, '\0') + kTagName + "=" + tag + '\0') != std::string::npos;
}

// The processes below the given roots in the table, roots included.
std::set<pid_t> WithDescendants(const std::map<pid_t, ProcStat>& table, std::set<pid_t> found) {
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& [pid, stat] : table)
      if (found.count(stat.ppid) && found.insert(pid).second) grew = true;
  }
  return found;
}

// Kills and reaps what the child with this group and tag left behind, the
// child itself excluded. Killing a process makes its children the runner's,
// hence the rounds: each picks up what the previous one orphaned.
void EndLeftBehind(pid_t group, const std::string& tag, std::set<pid_t> roots) {
  const pid_t self = getpid();
  std::set<pid_t> killed;
  for (int round = 0; round < kSweepRounds; ++round) {
    const std::map<pid_t, ProcStat> table = ProcessTable();
    std::set<pid_t> zombies;
    for (const auto& [pid, stat] : table) {
      if (stat.ppid != self || IsStarted(pid)) continue;
      if (stat.state == 'Z')
        zombies.insert(pid);
      else if (killed.count(pid) || stat.pgid == group || HasTag(pid, tag))
        roots.insert(pid);
    }
    const std::set<pid_t> targets = WithDescendants(table, roots);
    roots.clear();
    for (pid_t pid : targets)
      if (pid != self && !IsStarted(pid) && table.count(pid)) {
        kill(pid, SIGKILL);
        killed.insert(pid);
      }
    // Our own children cannot be reused until reaped, so waiting on them is safe.
    for (pid_t pid : targets)
      if (table.count(pid) && table.at(pid).ppid == self && !IsStarted(pid)) zombies.insert(pid);
    for (pid_t pid : zombies) {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    if (targets.empty() && zombies.empty()) return;
  }
}

void IgnoreSigpipeOnce() {
  // A write to an engine that has died must fail with EPIPE, not end the runner.
  static const bool done = [] {
    signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)done;
}

int ExitStatus(const siginfo_t& info) { return info.si_code == CLD_EXITED ? info.si_status : -1; }

std::string DescribeExit(const siginfo_t& info) {
  if (info.si_code == CLD_EXITED) return "exited with status " + std::to_string(info.si_status);
  if (info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED) {
    const char* name = strsignal(info.si_status);
    return "killed by signal " + std::to_string(info.si_status) + " (" + (name ? name : "?") + ")";
  }
  return "ended";
}

// The environment the child gets: the runner's own without the names
// unset, with the overrides.
std::vector<std::string> ChildEnvironment(const ProgramStart& start, const std::string& tag) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& [key, value] : start.env)
      replaced = replaced || entry.compare(0, key.size() + 1, key + "=") == 0;
    for (const std::string& key : start.unset)
      replaced = replaced || entry.compare(0, key.size() + 1, key + "=") == 0;
    const std::string tagKey = std::string(kTagName) + "=";
    replaced = replaced || entry.compare(0, tagKey.size(), tagKey) == 0;
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [key, value] : start.env) env.push_back(key + "=" + value);
  env.push_back(std::string(kTagName) + "=" + tag);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

struct ChildFds {
  int inRead, outWrite, errFd, report;  // report: gets errno and a stage if exec fails
};

// Runs in the child between fork and exec: only async-signal-safe calls.
// A failure is written to the report pipe, which exec closes on success,
// so the parent learns at once whether the program runs.
[[noreturn]] void ExecChild(const ChildFds& fds, const char* dir, char* const* argv,
                            char* const* envp, pid_t parent) {
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);  // the runner died before prctl took effect
  dup2(fds.inRead, STDIN_FILENO);
  dup2(fds.outWrite, STDOUT_FILENO);
  if (fds.errFd >= 0) dup2(fds.errFd, STDERR_FILENO);
  // Whatever else the runner has open (another thread's files, say) stays
  // out of the engine; the report pipe stays open until the exec.
  close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  signal(SIGPIPE, SIG_DFL);
  int failure[2] = {0, errno};
  if (dir[0] != '\0' && chdir(dir) != 0) {
    failure[1] = errno;
  } else {
    execvpe(argv[0], argv, envp);
    failure[0] = 1;
    failure[1] = errno;
  }
  ssize_t ignored = write(fds.report, failure, sizeof failure);
  (void)ignored;
  _exit(127);
}

void CloseAll(std::initializer_list<int> fds) {
  for (int fd : fds)
    if (fd >= 0) close(fd);
}

// Waits for the child's report: "" when exec succeeded, else why not.
std::string ReadStartReport(int report, const ProgramStart& start) {
  int failure[2] = {0, 0};
  ssize_t n;
  while ((n = read(report, failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  if (n != static_cast<ssize_t>(sizeof failure)) return "";
  const std::string what = failure[0] == 0 ? "cannot enter folder '" + start.dir + "'"
                                           : "cannot start '" + start.argv[0] + "'";
  return what + ": " + std::strerror(failure[1]);
}

bool StartChild(const ProgramStart& start, ChildProcess* child) {
  IgnoreSigpipeOnce();
  BecomeSubreaperOnce();
  *child = ChildProcess{};
  child->tag = NewTag();
  if (start.argv.empty() || start.argv[0].empty()) {
    child->startError = "no program given";
    return false;
  }
  std::vector<std::string> args = start.argv;
  std::vector<std::string> env = ChildEnvironment(start, child->tag);
  std::vector<char*> argv = Pointers(args);
  std::vector<char*> envp = Pointers(env);

  int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1}, report[2] = {-1, -1};
  if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0 ||
      pipe2(report, O_CLOEXEC) != 0) {
    child->startError = std::string("cannot create a pipe: ") + std::strerror(errno);
    CloseAll({toChild[0], toChild[1], fromChild[0], fromChild[1], report[0], report[1]});
    return false;
  }
  const char* errPath = start.stderrPath.empty() ? "/dev/null" : start.stderrPath.c_str();
  int errFd = open(errPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  pid_t parent = getpid();
  std::unique_lock<std::mutex> lock(startedMutex);
  pid_t pid = fork();
  if (pid == 0)
    ExecChild(ChildFds{toChild[0], fromChild[1], errFd, report[1]}, start.dir.c_str(), argv.data(),
              envp.data(), parent);
  const int forkErrno = errno;
  // Registered before another thread's sweep can see it as a stray zombie.
  if (pid > 0) started.insert(pid);
  lock.unlock();
  CloseAll({toChild[0], fromChild[1], errFd, report[1]});
  if (pid < 0) {
    child->startError = std::string("cannot start a process: ") + std::strerror(forkErrno);
    CloseAll({toChild[1], fromChild[0], report[0]});
    return false;
  }
  setpgid(pid, pid);  // also here, so the group exists before we might signal it
  child->startError = ReadStartReport(report[0], start);
  close(report[0]);
  child->pid = pid;
  child->inputFd = toChild[1];
  child->outputFd = fromChild[0];
  if (!child->startError.empty()) {
    StopProcess(child, 0);
    return false;
  }
  fcntl(toChild[1], F_SETFL, fcntl(toChild[1], F_GETFL) | O_NONBLOCK);
  fcntl(fromChild[0], F_SETFL, fcntl(fromChild[0], F_GETFL) | O_NONBLOCK);
  return true;
}

}  // namespace

bool StartProgram(const ProgramStart& start, ChildProcess* child) {
  return StartChild(start, child);
}

bool StartProgram(const std::vector<std::string>& argv, const std::string& stderrPath,
                  ChildProcess* child) {
  ProgramStart start;
  start.argv = argv;
  start.stderrPath = stderrPath;
  return StartChild(start, child);
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
  if (child->pid <= 0 || child->exited) return child->exited;
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(child->pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
      info.si_pid == child->pid) {
    child->exited = true;
    child->exitDescription = DescribeExit(info);
    child->exitStatus = ExitStatus(info);
  }
  return child->exited;
}

void CloseInput(ChildProcess* child) {
  if (child->inputFd >= 0) close(child->inputFd);
  child->inputFd = -1;
}

void CloseOutput(ChildProcess* child) {
  if (child->outputFd >= 0) close(child->outputFd);
  child->outputFd = -1;
}

void StopProcess(ChildProcess* child, int graceMs) {
  CloseInput(child);
  if (child->pid > 0) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    while (!HasExited(child) && MsLeft(deadline) > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(kConsumedPollMs));
    const bool endedOnItsOwn = child->exited;
    // Taken before the kill, which would hand the child's descendants to
    // the runner and so hide where they came from.
    const std::map<pid_t, ProcStat> table = ProcessTable();
    std::set<pid_t> below = WithDescendants(table, {child->pid});
    below.erase(child->pid);
    // The child is not reaped yet, so its id still names its group, which
    // may hold processes it started and left behind.
    kill(-child->pid, SIGKILL);
    kill(child->pid, SIGKILL);
    int status = 0;
    while (waitpid(child->pid, &status, 0) < 0 && errno == EINTR) {
    }
    {
      std::lock_guard<std::mutex> lock(startedMutex);
      started.erase(child->pid);
    }
    EndLeftBehind(child->pid, child->tag, below);
    // SIGKILL takes effect a moment later in the others: wait until the
    // group is empty, so that nothing of the child runs once we return. A
    // member that has died but that nobody reaps would keep the group alive,
    // hence the bound.
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(kGroupGoneMs);
    while (kill(-child->pid, 0) == 0 && MsLeft(until) > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(kConsumedPollMs));
    if (!endedOnItsOwn) {
      child->exited = true;
      child->exitDescription = "ended by the runner";
    }
    child->pid = -1;
  }
  CloseOutput(child);
}
