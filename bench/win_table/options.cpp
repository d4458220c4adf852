#include "bench/win_table/options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sim/sheet.h"

namespace win_table {
namespace {

constexpr int kDefaultEnds = 4000;
constexpr uint64_t kDefaultSeed = 1;

bool ParseWhole(const char* text, long long* value) {
  char* end = nullptr;
  errno = 0;
  *value = std::strtoll(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

bool ParseReal(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text && *end == '\0';
}

}  // namespace

bool ParseOptions(int argc, const char* const argv[], Options* options, std::string* error) {
  *options = Options{};
  options->measure.ends = kDefaultEnds;
  options->measure.seed = kDefaultSeed;
  options->measure.threads = 1;
  options->measure.noise = static_cast<float>(game::kExecutionNoise);
  options->measure.progress = true;
  for (int i = 1; i < argc; ++i) {
    const char* name = argv[i];
    if (std::strcmp(name, "--help") == 0) {
      options->help = true;
      continue;
    }
    if (i + 1 >= argc) {
      *error = std::string(name) + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    long long whole = 0;
    double real = 0.0;
    if (std::strcmp(name, "--player") == 0) {
      options->player = value;
    } else if (std::strcmp(name, "--out") == 0) {
      options->out = value;
    } else if (std::strcmp(name, "--ends") == 0 && ParseWhole(value, &whole) && whole >= 1 &&
               whole <= 1000000000) {
      options->measure.ends = static_cast<int>(whole);
    } else if (std::strcmp(name, "--threads") == 0 && ParseWhole(value, &whole) && whole >= 1 &&
               whole <= 256) {
      options->measure.threads = static_cast<int>(whole);
    } else if (std::strcmp(name, "--seed") == 0 && ParseWhole(value, &whole) && whole >= 0) {
      options->measure.seed = static_cast<uint64_t>(whole);
    } else if (std::strcmp(name, "--noise") == 0 && ParseReal(value, &real) && real >= 0.0 &&
               real < 10.0) {
      options->measure.noise = static_cast<float>(real);
    } else {
      *error = std::string("bad option or value: ") + name + " " + value;
      return false;
    }
  }
  if (FindPlayer(options->player.c_str()) == nullptr) {
    *error = "no player named " + options->player;
    return false;
  }
  return true;
}

std::string Usage() {
  char text[512];
  std::snprintf(
      text, sizeof text,
      "measure-end-scores [--player NAME] [--ends N] [--seed S] [--threads N] [--noise SD]\n"
      "                   [--out FILE]\n"
      "Plays N ends (default %d) of self-play from an empty sheet and writes the hammer\n"
      "side's end-score distribution as search/win_table_data.inc (to FILE, or the standard\n"
      "output). Defaults: seed %llu, 1 thread, noise %g m. Players:",
      kDefaultEnds, static_cast<unsigned long long>(kDefaultSeed), game::kExecutionNoise);
  std::string usage = text;
  for (int i = 0; i < kPlayerCount; ++i) usage += std::string(" ") + kPlayers[i].name;
  return usage + "\n";
}

}  // namespace win_table
