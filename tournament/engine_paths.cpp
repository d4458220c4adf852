#include "tournament/engine_paths.h"

#include <cstdlib>
#include <filesystem>

#include "platform/executable.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

std::string Canonical(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  if (ec) return path.u8string();
  const fs::path canonical = fs::weakly_canonical(absolute, ec);
  return (ec ? absolute.lexically_normal() : canonical).u8string();
}

bool IsProgramFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) return false;
#ifdef _WIN32
  return true;
#else
  const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  return (status.permissions() & exec) != fs::perms::none;
#endif
}

// The first program of that name in PATH, as execvp finds it; "" if none.
std::string FindInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  const std::string list = path;
  for (size_t start = 0; start <= list.size();) {
    size_t stop = list.find(kPathListSeparator, start);
    if (stop == std::string::npos) stop = list.size();
    const std::string folder = list.substr(start, stop - start);
    start = stop + 1;
    const fs::path base = fs::u8path(folder.empty() ? "." : folder);
    for (const std::string& candidate : {name, name + kExecutableSuffix})
      if (IsProgramFile(base / fs::u8path(candidate))) return Canonical(base / fs::u8path(candidate));
  }
  return "";
}

}  // namespace

ResolvedPaths ResolveEnginePaths(const EngineLaunch& launch) {
  ResolvedPaths resolved;
  if (!launch.dir.empty()) resolved.dir = Canonical(fs::u8path(launch.dir));
  const fs::path program = fs::u8path(launch.program);
  if (program.has_parent_path()) {
    resolved.program = Canonical(launch.dir.empty() ? program : fs::u8path(resolved.dir) / program);
  } else {
    resolved.program = FindInPath(launch.program);
    if (resolved.program.empty()) resolved.program = launch.program;
  }
  return resolved;
}
