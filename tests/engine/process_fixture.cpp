#include "process_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

// Wine's drive Z: is the Unix root.
std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  return windows;
}

}  // namespace

const TestedEngine& Tested() {
  static const TestedEngine tested = [] {
    TestedEngine t;
    t.program = Setting("CURLING_TEST_ENGINE", ENGINE_EXE);
    t.doubleDir = Setting("CURLING_TEST_DOUBLE_DIR", ENGINE_DOUBLE_DIR);
    t.offsetDoubleDir = Setting("CURLING_TEST_OFFSET_DOUBLE_DIR", ENGINE_OFFSET_DOUBLE_DIR);
    t.launcher = Setting("CURLING_TEST_LAUNCHER", "");
    t.windows = t.program.size() > 4 && t.program.compare(t.program.size() - 4, 4, ".exe") == 0;
    return t;
  }();
  return tested;
}

std::string BaseName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::error_code error;  // the copy keeps the source's permissions
  return std::filesystem::copy_file(from, to, error);
}

std::map<std::string, long> ReadCounts(const std::string& path) {
  std::map<std::string, long> counts;
  std::ifstream in(path);
  std::string name;
  long value = 0;
  while (in >> name >> value) counts[name] = value;
  return counts;
}

std::string PositionMessage(const std::vector<std::pair<float, float>>& stones) {
  std::ostringstream text;
  text.precision(9);  // enough to give back every float exactly
  text << "POSITION";
  for (int i = 0; i < 16; ++i) {
    const bool given = i < static_cast<int>(stones.size());
    text << ' ' << (given ? stones[i].first : 0.0f) << ' ' << (given ? stones[i].second : 0.0f);
  }
  text << '\n';
  return text.str();
}

bool StartEngine(EngineSession* session, const std::string& libraryDir,
                 const std::vector<EnvSetting>& settings, const std::string& program,
                 const std::vector<std::string>& arguments) {
  std::vector<EnvSetting> all = settings;
  all.push_back({"LD_LIBRARY_PATH", libraryDir, libraryDir.empty()});
  const std::string& launcher = Tested().launcher;
  if (launcher.empty()) return StartChild(&session->child, program, all, arguments);
  all.push_back({"WINEPATH", WindowsPath(libraryDir), libraryDir.empty()});
  std::vector<std::string> launched = {program};
  launched.insert(launched.end(), arguments.begin(), arguments.end());
  return StartChild(&session->child, launcher, all, launched);
}

bool Send(EngineSession* session, const std::string& bytes, int reads) {
  if (!WriteToChild(&session->child, bytes)) return false;
  session->reads += reads;
  return WaitForStderr(&session->child, "recieved: ", session->reads, kStepTimeoutMs);
}

EngineRun Ended(const EngineSession& session, int status) {
  return {status, session.child.stdoutText, session.child.stderrText, {}};
}

int Finish(EngineSession* session) { return FinishChild(&session->child, kStepTimeoutMs); }

std::vector<EnvSetting> RealLibrarySettings() {
  const char* asan = std::getenv("ASAN_OPTIONS");
  return {{"ASAN_OPTIONS", (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0"}};
}
