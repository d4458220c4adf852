#include "tournament/engine_paths.h"

#include <filesystem>

#include "platform/program_search.h"

namespace fs = std::filesystem;

namespace {

// Absolute, with symbolic links followed as far as the path exists.
std::string Canonical(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  if (ec) return path.u8string();
  const fs::path canonical = fs::weakly_canonical(absolute, ec);
  return (ec ? absolute.lexically_normal() : canonical).u8string();
}

}  // namespace

ResolvedPaths ResolveEnginePaths(const EngineLaunch& launch) {
  ResolvedPaths resolved;
  if (!launch.dir.empty()) resolved.dir = Canonical(fs::u8path(launch.dir));
  const fs::path program = fs::u8path(launch.program);
  if (program.has_parent_path()) {
    resolved.program = Canonical(launch.dir.empty() ? program : fs::u8path(resolved.dir) / program);
  } else {
    const std::string found = FindProgram(launch.program);
    resolved.program = found.empty() ? launch.program : Canonical(fs::u8path(found));
  }
  return resolved;
}
