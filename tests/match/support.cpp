#include "tests/match/support.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/match/stand_in_physics.h"

namespace {

constexpr double kTestGoTimeoutMs = 3000.0;
constexpr int kTestPauseMs = 1;

}  // namespace

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/match-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  return mkdtemp(name.data()) ? std::string(name.data()) : std::string("/tmp");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string FakeEngine(const std::string& args) {
  return std::string(FAKE_ENGINE) + (args.empty() ? "" : " " + args);
}

std::vector<std::string> LoggedReads(const std::string& logPath) {
  std::vector<std::string> reads;
  std::string text = ReadFile(logPath);
  size_t start = 0;
  for (size_t sep; (sep = text.find('\x1e', start)) != std::string::npos; start = sep + 1)
    reads.push_back(text.substr(start, sep - start));
  return reads;
}

bool PidFileProcessAlive(const std::string& pidFile) {
  const int pid = std::atoi(ReadFile(pidFile).c_str());
  if (pid <= 0) return false;
  // A zombie (ended, not yet reaped by whoever inherited it) counts as gone.
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t paren = stat.rfind(')');
  if (paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z') return false;
  return kill(pid, 0) == 0 || errno != ESRCH;
}

GameSetup StandInSetup(const std::string& engineA, const std::string& engineB, int ends) {
  GameSetup setup;
  setup.engineCommand[0] = engineA;
  setup.engineCommand[1] = engineB;
  setup.settings.ends = ends;
  setup.settings.noise = 0.0f;
  setup.settings.goTimeoutMs = kTestGoTimeoutMs;
  setup.settings.pauseMs = kTestPauseMs;
  setup.seed = 7;
  setup.physics = StandInPhysics();
  return setup;
}

CommandResult RunCommand(const std::string& commandLine) {
  CommandResult result;
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
