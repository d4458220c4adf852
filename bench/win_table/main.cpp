// measure-end-scores: self-play ends with a registered player and write the
// hammer side's end-score distribution for the search player's win table.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "bench/win_table/korvane_physics.h"
#include "bench/win_table/options.h"
#include "bench/win_table/summary.h"
#include "bench/win_table/table_file.h"

namespace {

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
  return text;
}

std::string CommandLine(int argc, const char* const argv[]) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i ? " " : "") + std::string(argv[i]);
  return line;
}

bool WriteText(const std::string& path, const std::string& text) {
  if (path.empty()) return std::fputs(text.c_str(), stdout) >= 0;
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  const bool written = std::fputs(text.c_str(), file) >= 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace win_table;
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), Usage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  const Player& player = *FindPlayer(options.player.c_str());
  Provenance how;
  how.player = player.name + std::string(", ") + player.describe();
  how.commandLine = CommandLine(argc, argv);
  how.date = UtcNow();
  how.settings = options.measure;

  const auto start = std::chrono::steady_clock::now();
  const EndScoreCounts counts =
      MeasureEndScores(player.play, KorvanePhysics(), SeedKorvane, options.measure);
  how.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  if (!WriteText(options.out, FormatTableData(counts, how))) {
    std::fprintf(stderr, "could not write %s\n", options.out.c_str());
    return 1;
  }
  std::fputs(Summary(counts).c_str(), options.out.empty() ? stderr : stdout);
  return 0;
}
