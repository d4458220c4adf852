#include "tournament/options.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "match/version.h"
#include "tournament/shard_files.h"

namespace {

constexpr int kMaxEnds = 100;
constexpr int kMaxGames = 1000000;
constexpr int kMaxConcurrency = 256;
constexpr int kMaxThreads = 1024;
constexpr int kMaxPauseMs = 10000;
constexpr double kMsPerSecond = 1000.0;

// A whole-text number; false for trailing junk or a value out of range.
bool ToNumber(const std::string& text, double low, double high, double* out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v) || v < low || v > high) return false;
  *out = v;
  return true;
}

// "K/M" with 1 <= K <= M.
bool ParseShard(const std::string& text, int* index, int* count) {
  const size_t slash = text.find('/');
  double k = 0, m = 0;
  if (slash == std::string::npos || !ToNumber(text.substr(0, slash), 1, kMaxGames, &k) ||
      !ToNumber(text.substr(slash + 1), 1, kMaxGames, &m) || k > m || k != std::floor(k) ||
      m != std::floor(m))
    return false;
  *index = static_cast<int>(k) - 1;
  *count = static_cast<int>(m);
  return true;
}

struct Collected {
  std::vector<std::string> positional;
  std::vector<std::string> sprtWords;
  std::string shard;
  std::string kind = "pairs";
  std::string seed;
  double budgetSec = 900.0, goTimeoutSec = 60.0;
  std::string error;  // from an --engine word list
};

void AddGameOptions(CLI::App& app, TournamentOptions& o, Collected& c) {
  GameSettings& s = o.settings;
  app.add_option("--ends", s.ends, "ends per game")
      ->check(CLI::Range(1, kMaxEnds))
      ->capture_default_str();
  app.add_flag("--extra-ends,!--no-extra-ends", s.extraEnds,
               "extra ends after a tie (default); --no-extra-ends: a tie is a draw");
  app.add_option("--noise", s.noise, "execution error handed to the physics, m")
      ->check(CLI::Range(0.0, 10.0))
      ->capture_default_str();
  app.add_option("--seed", c.seed,
                 "seed of the games, 0 to 2^64-1 (default: chosen at random "
                 "and recorded)")
      ->check(CLI::Validator(
          [](std::string& v) {
            errno = 0;
            const bool digits =
                !v.empty() && v.find_first_not_of("0123456789") == std::string::npos;
            if (digits) std::strtoull(v.c_str(), nullptr, 10);
            return digits && errno == 0 ? std::string()
                                        : "a seed is a whole number from 0 to 2^64-1";
          },
          "UINT64"));
  app.add_option("--time", c.budgetSec, "thinking time per engine per game, s")
      ->check(CLI::Range(0.001, 1e7))
      ->capture_default_str();
  app.add_option("--go-timeout", c.goTimeoutSec, "longest wait for one stone's reply, s")
      ->check(CLI::Range(0.001, 1e6))
      ->capture_default_str();
  app.add_option("--pause-ms", s.pauseMs, "pause after each command without a reply, ms")
      ->check(CLI::Range(0, kMaxPauseMs))
      ->capture_default_str();
  app.add_flag("--recover", s.recover,
               "restart an engine that exits or crashes; it loses only that stone");
}

void AddRunOptions(CLI::App& app, TournamentOptions& o, Collected& c) {
  app.add_option_function<std::vector<std::string>>(
         "--engine",
         [&o, &c](const std::vector<std::string>& words) {
           EngineLaunch launch;
           if (!EngineLaunchFromWords(words, &launch, &c.error) && c.error.empty())
             c.error = "bad --engine";
           o.engines.push_back(launch);
         },
         "name=NAME cmd=PROGRAM [arg=ARG]... [dir=DIR] [threads=N] [env=KEY=VALUE]...; "
         "once per engine")
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->trigger_on_parse();
  app.add_option("--tournament", c.kind,
                 "pairs (two engines), round-robin (every pairing) or gauntlet (the first "
                 "engine against each other)")
      ->check(CLI::IsMember({"pairs", "round-robin", "gauntlet"}));
  app.add_option("--games", o.games, "games per pairing: 1, or an even number played in pairs")
      ->check(CLI::Range(1, kMaxGames))
      ->check(CLI::Validator(
          [](std::string& v) {
            return std::atoi(v.c_str()) == 1 || std::atoi(v.c_str()) % 2 == 0
                       ? std::string()
                       : "the number of games must be 1 or even (games are played in pairs)";
          },
          "1 OR EVEN"))
      ->capture_default_str();
  app.add_option("--concurrency", o.concurrency, "games played at once")
      ->check(CLI::Range(1, kMaxConcurrency))
      ->capture_default_str();
  app.add_option("--sprt", c.sprtWords,
                 "elo0=E0 elo1=E1 alpha=A beta=B: stop when the first pairing's test decides")
      ->expected(1, 4);
  app.add_option("--shard", c.shard, "K/M: play only the pairs whose index is K-1 modulo M");
  app.add_option("--report-every", o.reportEvery, "games between rating tables (default: a tenth)")
      ->check(CLI::Range(1, kMaxGames));
  app.add_option("--results", o.results,
                 "results as JSON lines; resumes a run it already holds; {shard} stands for K "
                 "of --shard K/M");
  app.add_option("--summary", o.summary,
                 "the final tables as one JSON document; {shard} stands for K of --shard K/M");
  app.add_option("--openings", o.openings, "start situations as JSON lines, each played as a pair");
  app.add_option("--record", o.record, "game record as JSON (numbered per game in a longer run)");
  app.add_option("--svg", o.svgDir, "one SVG picture of the house per stone");
  app.add_option("--html", o.html,
                 "the game's replay page; with many games one page per game, numbered like the "
                 "records, and FILE is their index page");
  app.add_option("--engine-log", o.engineLog, "the engines' standard error, one file per engine");
  app.add_option("engines", c.positional, "CMD_A CMD_B: two engine command lines (split at spaces)")
      ->expected(0, 2)
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

// Checks that need several options at once; "" when the run makes sense.
std::string Finish(TournamentOptions& o, Collected& c) {
  if (!c.error.empty()) return c.error;
  o.kind = c.kind == "round-robin" ? TournamentKind::kRoundRobin
           : c.kind == "gauntlet"  ? TournamentKind::kGauntlet
                                   : TournamentKind::kPairs;
  if (!c.positional.empty() && !o.engines.empty())
    return "give the engines either with --engine or as CMD_A CMD_B, not both";
  if (c.positional.size() == 1) return "give both engine command lines or none";
  for (const std::string& line : c.positional) o.engines.push_back(EngineLaunchFromCommandLine(line));
  if (o.engines.size() == 1) return "give two or more engines";
  if (o.kind == TournamentKind::kPairs && o.engines.size() > 2)
    return "--tournament pairs takes two engines; use round-robin or gauntlet for more";
  if (!c.sprtWords.empty()) {
    o.sprt = true;
    if (!SprtParamsFromWords(c.sprtWords, &o.sprtParams, &c.error)) return c.error;
  }
  if (o.sprt && o.games == 1) return "--sprt needs game pairs: give an even --games";
  if (!c.shard.empty() && !ParseShard(c.shard, &o.shardIndex, &o.shardCount))
    return "--shard wants K/M with 1 <= K <= M, not '" + c.shard + "'";
  if (o.results.find(kShardField) != std::string::npos) o.shardResults = o.results;
  if (o.sprt && o.shardCount > 1 && o.shardResults.empty())
    return "--sprt with --shard K/M (M > 1) needs {shard} in --results (as in "
           "out/shard-{shard}.jsonl): every shard reads the results of all shards, so that "
           "one test over all their games decides when to stop";
  o.results = ShardPath(o.results, o.shardIndex);
  o.summary = ShardPath(o.summary, o.shardIndex);
  if (!c.seed.empty()) {
    o.haveSeed = true;
    o.seed = std::strtoull(c.seed.c_str(), nullptr, 10);
  }
  o.settings.budgetMs = c.budgetSec * kMsPerSecond;
  o.settings.goTimeoutMs = c.goTimeoutSec * kMsPerSecond;
  return "";
}

}  // namespace

const char* TournamentKindName(TournamentKind kind) {
  switch (kind) {
    case TournamentKind::kRoundRobin:
      return "round-robin";
    case TournamentKind::kGauntlet:
      return "gauntlet";
    default:
      return "pairs";
  }
}

bool EngineLaunchFromWords(const std::vector<std::string>& words, EngineLaunch* launch,
                         std::string* error) {
  for (const std::string& word : words) {
    const size_t eq = word.find('=');
    const std::string key = word.substr(0, eq),
                      value = eq == std::string::npos ? "" : word.substr(eq + 1);
    double threads = 0;
    if (eq == std::string::npos) {
      *error = "--engine: '" + word + "' is not KEY=VALUE";
    } else if (key == "name") {
      launch->name = value;
    } else if (key == "cmd") {
      launch->program = value;
    } else if (key == "arg") {
      launch->args.push_back(value);
    } else if (key == "dir") {
      launch->dir = value;
    } else if (key == "threads") {
      if (ToNumber(value, 1, kMaxThreads, &threads) && threads == std::floor(threads))
        launch->threads = static_cast<int>(threads);
      else
        *error = "--engine: threads wants a whole number in [1, 1024], not '" + value + "'";
    } else if (key == "env" && value.find('=') != std::string::npos && value[0] != '=') {
      launch->env.emplace_back(value.substr(0, value.find('=')), value.substr(value.find('=') + 1));
    } else {
      *error = "--engine: unknown or malformed '" + word +
               "' (keys: name, cmd, arg, dir, threads, env=KEY=VALUE)";
    }
    if (!error->empty()) return false;
  }
  if (launch->program.empty()) *error = "--engine: cmd=PROGRAM is missing";
  return error->empty();
}

bool SprtParamsFromWords(const std::vector<std::string>& words, SprtParams* p, std::string* error) {
  for (const std::string& word : words) {
    const size_t eq = word.find('=');
    const std::string key = word.substr(0, eq);
    double* target = key == "elo0"    ? &p->elo0
                     : key == "elo1"  ? &p->elo1
                     : key == "alpha" ? &p->alpha
                     : key == "beta"  ? &p->beta
                                      : nullptr;
    const bool probability = key == "alpha" || key == "beta";
    if (!target || eq == std::string::npos ||
        !ToNumber(word.substr(eq + 1), probability ? 1e-9 : -4000, probability ? 0.5 : 4000,
                  target)) {
      *error = "--sprt: bad '" + word +
               "' (elo0=E0 elo1=E1 in [-4000, 4000], alpha=A beta=B in (0, 0.5])";
      return false;
    }
  }
  const std::string problem = SprtParamsError(*p);
  if (!problem.empty()) *error = "--sprt: " + problem;
  return error->empty();
}

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  ParsedCommandLine parsed;
  TournamentOptions& o = parsed.options;
  Collected c;
  CLI::App app{
      "Plays curling games between engine processes: one game, a match of game pairs, "
      "a round robin or a gauntlet, with Elo estimates and an SPRT.",
      "curling-match"};
  app.set_version_flag("--version", std::string("curling-match ") + kRunnerVersion);
  // An option given twice takes its last value, so a command can be
  // amended by appending to it.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  AddGameOptions(app, o, c);
  AddRunOptions(app, o, c);
  CLI::App* merge = app.add_subcommand("merge", "print the tables of result files as of one run");
  merge->add_option("files", parsed.merge, "result files of the same run (shards)")
      ->required()
      ->check(CLI::ExistingFile);
  merge->fallthrough();  // --summary may follow the files
  CLI::App* replay = app.add_subcommand(
      "replay",
      "re-execute every stone of a game record with its seed through the physics library; exit "
      "0 when every stone rests where the record says, 1 naming the first that does not, 2 when "
      "the record cannot be read");
  replay->add_option("record", parsed.replay, "the game record (JSON)")->required();
  std::ostringstream out, err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e, out, err);
    parsed.outcome = ParseOutcome::kExit;
    parsed.exitStatus = code == 0 ? 0 : 2;
    parsed.text = code == 0 ? out.str() : err.str();
    return parsed;
  }
  if (merge->parsed()) {
    parsed.outcome = ParseOutcome::kMerge;
    return parsed;
  }
  if (replay->parsed()) {
    parsed.outcome = ParseOutcome::kReplay;
    return parsed;
  }
  const std::string error = Finish(o, c);
  if (!error.empty()) {
    parsed.outcome = ParseOutcome::kExit;
    parsed.exitStatus = 2;
    parsed.text = error + "\nRun with --help for more information.\n";
  }
  return parsed;
}
