#include "app/options.h"

#include <CLI/CLI.hpp>
#include <sstream>

namespace {

// The longest times and counts the options take: a day, and a billion
// samples; threads beyond a few hundred are a mistake.
constexpr int64_t kMaxMovetimeMs = 86'400'000;
constexpr double kMaxSeconds = 86'400;
constexpr int kMaxThreads = 512;
constexpr int64_t kMaxSamples = 1'000'000'000;

// The first line of CLI11's message, which names the option.
std::string OneLine(const std::string& text) {
  const std::size_t end = text.find('\n');
  return "curling-engine: " + (end == std::string::npos ? text : text.substr(0, end)) + "\n";
}

ParsedOptions Failure(const std::string& message) {
  ParsedOptions p;
  p.exit = true;
  p.status = 2;
  p.err = OneLine(message);
  return p;
}

}  // namespace

ParsedOptions ParseEngineOptions(int argc, const char* const* argv) {
  ParsedOptions parsed;
  EngineOptions& o = parsed.options;
  CLI::App app{"A computer curling player driven over its standard input and output.",
               "curling-engine"};
  app.set_version_flag("--version", kEngineVersion);
  std::string player = "classic";
  app.add_option("--player", player,
                 "classic: the fixed rules and random search; search: the "
                 "search player, which plays for the game")
      ->check(CLI::IsMember({"classic", "search"}));
  auto* movetime =
      app.add_option("--movetime", o.movetimeMs, "search: thinking time per GO, ms (default 1000)")
          ->check(CLI::Range(int64_t{1}, kMaxMovetimeMs));
  auto* gameTime = app.add_option("--game-time", o.gameTimeSec,
                                  "search: the whole game's thinking time, s, spread by the "
                                  "player itself")
                       ->check(CLI::Range(0.001, kMaxSeconds))
                       ->excludes(movetime);
  app.add_option("--inc", o.incSec, "search: seconds added to --game-time after each own stone")
      ->check(CLI::Range(0.0, kMaxSeconds))
      ->needs(gameTime);
  app.add_option("--threads", o.threads, "search: threads (default: the OpenMP default)")
      ->check(CLI::Range(1, kMaxThreads));
  app.add_option("--samples", o.samples,
                 "search: a fixed count of samples per GO (each a candidate throw and its "
                 "play-out) instead of a time, for reproducible runs")
      ->check(CLI::Range(int64_t{1}, kMaxSamples))
      ->excludes(movetime)
      ->excludes(gameTime);
  app.add_option("--seed", o.seed,
                 "search: seed of the samples' noise; with --samples the "
                 "same position gives the same reply");
  std::ostringstream out, err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    if (code != 0) return Failure(e.what());
    parsed.exit = true;
    parsed.out = out.str();
    return parsed;
  }
  o.player = player == "search" ? PlayerKind::kSearch : PlayerKind::kClassic;
  o.seeded = app.count("--seed") > 0;
  if (o.player == PlayerKind::kClassic) {
    for (const char* name :
         {"--movetime", "--game-time", "--inc", "--threads", "--samples", "--seed"}) {
      if (app.count(name) > 0) return Failure(std::string(name) + " needs --player search");
    }
  }
  return parsed;
}
