#include "process_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
  return StartChild(&session->child, program, all);
}

bool Send(EngineSession* session, const std::string& bytes, int reads) {
  if (!WriteToChild(&session->child, bytes)) return false;
  session->reads += reads;
  return WaitForStderr(&session->child, "recieved: ", session->reads, kStepTimeoutMs);
}

int Finish(EngineSession* session) { return FinishChild(&session->child, kStepTimeoutMs); }
