#include "process_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Wine's drive Z: is the Unix root.
std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
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
    t.windows = EndsWith(t.program, ".exe");
    return t;
  }();
  return tested;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/curling-engine-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return "";
  return pattern;
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  if (!in || !out) return false;
  out << in.rdbuf();
  out.close();
  return out.good() && chmod(to.c_str(), 0755) == 0;
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
  text << "POSITION";
  for (int i = 0; i < 16; ++i) {
    const bool given = i < static_cast<int>(stones.size());
    text << ' ' << (given ? stones[i].first : 0.0f) << ' ' << (given ? stones[i].second : 0.0f);
  }
  text << '\n';
  return text.str();
}

bool StartEngine(EngineSession* session, const std::string& libraryDir,
                 const std::vector<EnvSetting>& settings, const std::string& program) {
  std::vector<EnvSetting> all = settings;
  all.push_back({"LD_LIBRARY_PATH", libraryDir, libraryDir.empty()});
  const std::string& launcher = Tested().launcher;
  if (launcher.empty()) return StartChild(&session->child, program, all);
  all.push_back({"WINEPATH", WindowsPath(libraryDir), libraryDir.empty()});
  return StartChild(&session->child, launcher, all, {program});
}

bool Send(EngineSession* session, const std::string& bytes, int reads) {
  if (!WriteToChild(&session->child, bytes)) return false;
  session->reads += reads;
  return WaitForStderr(&session->child, "recieved: ", session->reads, kStepTimeoutMs);
}

int Finish(EngineSession* session) { return FinishChild(&session->child, kStepTimeoutMs); }
