#include "tournament/options.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "match/version.h"
#include "platform/executable.h"
#include "tournament/engine_words.h"
#include "tournament/help_text.h"
#include "tournament/shard_files.h"

namespace {

constexpr int kMaxEnds = 100;
constexpr int kMaxGames = 1000000;
constexpr int kMaxConcurrency = 256;
constexpr int kMaxPauseMs = 10000;

// The help's groups, in the order it shows them.
const char* const kEngines = "Engines";
const char* const kTournament = "Tournament";
const char* const kStatistics = "Statistics";
const char* const kFiles = "Files";
const char* const kGameRules = "One game's rules";
const char* const kOther = "Other";

// A default as the help states it: 0.145, not 0.14500000000000002.
std::string Text(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

// "K/M" with 1 <= K <= M.
bool ParseShard(const std::string& text, int* index, int* count) {
  const size_t slash = text.find('/');
  double k = 0, m = 0;
  if (slash == std::string::npos || !NumberFromText(text.substr(0, slash), 1, kMaxGames, &k) ||
      !NumberFromText(text.substr(slash + 1), 1, kMaxGames, &m) || k > m || k != std::floor(k) ||
      m != std::floor(m))
    return false;
  *index = static_cast<int>(k) - 1;
  *count = static_cast<int>(m);
  return true;
}

struct Collected {
  std::vector<std::string> positional;
  std::vector<std::vector<std::string>> engineWords;  // one list per --engine
  std::vector<std::string> each;
  std::string enginesFile;
  std::vector<std::string> sprtWords;
  std::string shard;
  std::string kind = "pairs";
  std::string seed;
  double budgetSec = 900.0, incSec = 0.0, goTimeoutSec = 60.0;
  bool fileError = false;  // the error is the engines file's: a hint at --help would not help
};

void AddGameOptions(CLI::App& app, TournamentOptions& o, Collected& c) {
  GameSettings& s = o.settings;
  app.add_option("--ends", s.ends, "ends per game; default " + std::to_string(s.ends))
      ->check(CLI::Range(1, kMaxEnds))
      ->capture_default_str()
      ->option_text("N")
      ->group(kGameRules);
  app.add_flag("--extra-ends,!--no-extra-ends", s.extraEnds,
               std::string("after a tie, extra ends until one side leads (--extra-ends), or the "
                           "tie is a draw (--no-extra-ends); default ") +
                   (s.extraEnds ? "--extra-ends" : "--no-extra-ends"))
      ->group(kGameRules);
  app.add_option("--noise", s.noise,
                 "execution error handed to the physics, m; default " + Text(s.noise))
      ->check(CLI::Range(0.0, 10.0))
      ->capture_default_str()
      ->option_text("SD")
      ->group(kGameRules);
  app.add_option("--seed", c.seed,
                 "seed of the games, 0 to 2^64-1; default: chosen at random, printed and "
                 "recorded in the results file")
      ->check(CLI::Validator(
          [](std::string& v) {
            errno = 0;
            const bool digits =
                !v.empty() && v.find_first_not_of("0123456789") == std::string::npos;
            if (digits) std::strtoull(v.c_str(), nullptr, 10);
            return digits && errno == 0 ? std::string()
                                        : "a seed is a whole number from 0 to 2^64-1";
          },
          "UINT64"))
      ->option_text("S")
      ->group(kTournament);
  app.add_option("--time", c.budgetSec,
                 "thinking time per engine per game, s (an engine's time= overrides it); "
                 "default " + Text(c.budgetSec))
      ->check(CLI::Range(kLeastTimeSec, kMostTimeSec))
      ->capture_default_str()
      ->option_text("SEC")
      ->group(kGameRules);
  app.add_option("--inc", c.incSec,
                 "added to an engine's thinking time after each of its stones, s (an engine's "
                 "inc= overrides it); default " + Text(c.incSec))
      ->check(CLI::Range(0.0, kMostIncSec))
      ->capture_default_str()
      ->option_text("SEC")
      ->group(kGameRules);
  app.add_option("--go-timeout", c.goTimeoutSec,
                 "longest wait for one stone's reply, s; default " + Text(c.goTimeoutSec))
      ->check(CLI::Range(0.001, 1e6))
      ->capture_default_str()
      ->option_text("SEC")
      ->group(kGameRules);
  app.add_option("--pause-ms", s.pauseMs,
                 "pause after each command without a reply, ms; default " +
                     std::to_string(s.pauseMs))
      ->check(CLI::Range(0, kMaxPauseMs))
      ->capture_default_str()
      ->option_text("MS")
      ->group(kGameRules);
  app.add_flag("--recover", s.recover,
               std::string("restart an engine that exits or crashes, so that it loses only that "
                           "stone; default ") +
                   (s.recover ? "on" : "off: it forfeits the game"))
      ->group(kGameRules);
}

void AddEngineOptions(CLI::App& app, Collected& c) {
  app.add_option_function<std::vector<std::string>>(
         "--engine",
         [&c](const std::vector<std::string>& words) { c.engineWords.push_back(words); },
         "one engine, given once per engine, one setting per word: arg=ARG (repeatable, may "
         "hold spaces), dir=DIR, threads=N (sets OMP_NUM_THREADS), env=KEY=VALUE (repeatable), "
         "time=SEC and inc=SEC (its own clock instead of --time and --inc), conf=NAME (the "
         "--engines-file's engine NAME, amended by the other words). An engine without name= "
         "is named after its program")
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->trigger_on_parse()
      ->option_text("name=NAME cmd=PROGRAM [KEY=VALUE]...")
      ->group(kEngines);
  app.add_option("--each", c.each,
                 "settings of every engine, as --engine takes them; an engine's own override "
                 "them, and its arg= and env= come after these")
      ->expected(1, CLI::detail::expected_max_vector_size)
      ->option_text("KEY=VALUE...")
      ->group(kEngines);
  app.add_option("--engines-file", c.enginesFile,
                 "engines by name for conf=NAME: {\"engines\": [{\"name\": ..., \"cmd\": ..., "
                 "\"args\": [...], ...}]}, the keys of --engine (args a list, env an object)")
      ->option_text("FILE")
      ->group(kEngines);
  app.add_option("engines", c.positional,
                 "two engine command lines, each split at spaces, instead of --engine; with "
                 "no engines at all the curling-engine next to curling-match plays itself")
      ->expected(0, 2)
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw)
      ->option_text("CMD_A CMD_B")
      ->group(kEngines);
}

void AddRunOptions(CLI::App& app, TournamentOptions& o, Collected& c) {
  app.add_option("--tournament", c.kind,
                 "pairs (two engines), round-robin (every pairing) or gauntlet (the first "
                 "engine against each other); default " + c.kind)
      ->check(CLI::IsMember({"pairs", "round-robin", "gauntlet"}))
      ->option_text("KIND")
      ->group(kTournament);
  app.add_option("--games", o.games,
                 "games per pairing: 1 (one game, its line score shown live) or an even number, "
                 "played in pairs with the seats swapped; default " + std::to_string(o.games))
      ->check(CLI::Range(1, kMaxGames))
      ->check(CLI::Validator(
          [](std::string& v) {
            return std::atoi(v.c_str()) == 1 || std::atoi(v.c_str()) % 2 == 0
                       ? std::string()
                       : "the number of games must be 1 or even (games are played in pairs)";
          },
          "1 OR EVEN"))
      ->capture_default_str()
      ->option_text("N")
      ->group(kTournament);
  app.add_option("--concurrency", o.concurrency,
                 "games played at once; default " + std::to_string(o.concurrency))
      ->check(CLI::Range(1, kMaxConcurrency))
      ->capture_default_str()
      ->option_text("N")
      ->group(kTournament);
  const SprtParams sprt;
  app.add_option("--sprt", c.sprtWords,
                 "a sequential probability ratio test on one pairing, the first unless "
                 "pairing= names its engines (either order): no new game starts once it "
                 "decides; default off, and a word left out is elo0=" + Text(sprt.elo0) +
                     " elo1=" + Text(sprt.elo1) + " alpha=" + Text(sprt.alpha) +
                     " beta=" + Text(sprt.beta))
      ->expected(1, 5)
      ->option_text("[elo0=E0] [elo1=E1] [alpha=A] [beta=B] [pairing=NAME:NAME]")
      ->group(kStatistics);
  app.add_option("--shard", c.shard,
                 "play only the pairs whose index is K-1 modulo M; default 1/1, all of them")
      ->option_text("K/M")
      ->group(kTournament);
  app.add_option("--report-every", o.reportEvery,
                 "games between rating tables; default a tenth of the run (a run under ten "
                 "games shows them at the end only)")
      ->check(CLI::Range(1, kMaxGames))
      ->option_text("K")
      ->group(kStatistics);
  app.add_option("--results", o.results,
                 "results as JSON lines, one per finished game; the same command resumes the "
                 "run the file holds, a larger --games grows it; {shard} in FILE stands for K "
                 "of K/M; default none")
      ->option_text("FILE")
      ->group(kFiles);
  app.add_option("--summary", o.summary,
                 "the final tables as one JSON document; {shard} in FILE stands for K of K/M; "
                 "default none")
      ->option_text("FILE")
      ->group(kFiles);
  app.add_option("--openings", o.openings,
                 "start situations as JSON lines, each played as a pair; default none: every "
                 "game starts on an empty sheet")
      ->option_text("FILE")
      ->group(kTournament);
  app.add_option("--record", o.record,
                 "the game as JSON, rewritten after every end; with more games one file per "
                 "game (game.json gives game-1.json, ...); default none")
      ->option_text("FILE")
      ->group(kFiles);
  app.add_option("--svg", o.svgDir, "one SVG picture of the house per stone; default none")
      ->option_text("DIR")
      ->group(kFiles);
  app.add_option("--html", o.html,
                 "the game's replay page; with more games one page per game, numbered like the "
                 "records, and FILE is their index page, kept up to date with the tables and plots "
                 "as games end; default none")
      ->option_text("FILE")
      ->group(kFiles);
  app.add_option("--engine-log", o.engineLog,
                 "each engine's standard error, one file per engine; default: thrown away")
      ->option_text("DIR")
      ->group(kFiles);
}

// The help's last part: three commands to copy.
const char* const kExamples =
    "Examples:\n"
    "  A match of game pairs between two engines, two games at a time, stopped by an SPRT; run\n"
    "  the same command again after an interruption to resume it:\n"
    "    curling-match --games 200 --concurrency 2 \\\n"
    "      --engine name=new cmd=build/bin/curling-engine threads=1 \\\n"
    "      --engine name=old cmd=/opt/old/curling-engine threads=1 \\\n"
    "      --sprt elo0=0 elo1=10 --results out/new-vs-old.jsonl\n"
    "  Time odds: the search player, told its own clock, has three times the classic player's:\n"
    "    curling-match --games 100 --time 120 \\\n"
    "      --engine name=classic cmd=build/bin/curling-engine \\\n"
    "      --engine name=search cmd=build/bin/curling-engine arg=--player arg=search \\\n"
    "        arg=--game-time=360 time=360\n"
    "  One game of eight ends, its record and its replay page:\n"
    "    curling-match --ends 8 --record game.json --html game.html \\\n"
    "      build/bin/curling-engine /opt/old/curling-engine\n";

// Every long and short option name of app and its subcommands.
std::vector<std::string> OptionNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* opt : app.get_options()) {
    for (const std::string& l : opt->get_lnames()) names.push_back("--" + l);
    for (const std::string& s : opt->get_snames()) names.push_back("-" + s);
  }
  for (const CLI::App* sub : app.get_subcommands({})) {
    const std::vector<std::string> more = OptionNames(*sub);
    names.insert(names.end(), more.begin(), more.end());
  }
  return names;
}

// CLI11's message for arguments it did not expect, with the option meant
// when one of them is a slip of the fingers.
std::string UnexpectedText(const CLI::App& app, const CLI::ParseError& e) {
  std::string text = std::string(e.what()) + "\n";
  for (const std::string& word : app.remaining(true)) {
    if (word.size() < 2 || word[0] != '-') continue;
    const std::string near = NearestName(word.substr(0, word.find('=')), OptionNames(app));
    if (!near.empty()) text += word + ": did you mean " + near + "?\n";
  }
  return text + "Run with --help for more information.\n";
}

// The engines from --engine (with --each and --engines-file), from CMD_A
// CMD_B or, with neither, the curling-engine next to this program playing
// itself; "" or why they make no run.
std::string CollectEngines(TournamentOptions& o, Collected& c) {
  if (!c.positional.empty() && !c.engineWords.empty())
    return "give the engines either with --engine or as CMD_A CMD_B, not both";
  if (c.positional.size() == 1) return "give both engine command lines or none";
  std::string error;
  EngineDefinitions definitions;
  if (!c.enginesFile.empty() && !ReadEngineDefinitions(c.enginesFile, &definitions, &error)) {
    c.fileError = true;
    return error;
  }
  for (const std::vector<std::string>& own : c.engineWords) {
    std::vector<std::string> words;
    EngineLaunch launch;
    if (!EngineWordsOf(own, c.each, c.enginesFile.empty() ? nullptr : &definitions, &words,
                       &error)) {
      c.fileError = !c.enginesFile.empty();
      return error;
    }
    if (!EngineLaunchFromWords(words, &launch, &error)) return "--engine: " + error;
    o.engines.push_back(launch);
  }
  std::vector<std::string> lines = c.positional;
  if (c.engineWords.empty() && lines.empty()) {
    const std::string engine = ExecutableDir() + "/curling-engine" + kExecutableSuffix;
    if (!std::filesystem::exists(engine)) return "no engines given and " + engine + " not found";
    lines.assign(2, engine);
  }
  for (const std::string& line : lines) {
    EngineLaunch launch = EngineLaunchFromCommandLine(line);
    if (!EngineLaunchFromWords(c.each, &launch, &error)) return "--each: " + error;
    o.engines.push_back(launch);
  }
  if (o.engines.size() == 1) return "give two or more engines";
  if (o.kind == TournamentKind::kPairs && o.engines.size() > 2)
    return "--tournament pairs takes two engines; use round-robin or gauntlet for more";
  return "";
}

// Checks that need several options at once; "" when the run makes sense.
std::string Finish(TournamentOptions& o, Collected& c) {
  o.kind = c.kind == "round-robin" ? TournamentKind::kRoundRobin
           : c.kind == "gauntlet"  ? TournamentKind::kGauntlet
                                   : TournamentKind::kPairs;
  std::string error = CollectEngines(o, c);
  if (!error.empty()) return error;
  if (!c.sprtWords.empty()) {
    o.sprt = true;
    if (!SprtParamsFromWords(c.sprtWords, &o.sprtParams, &o.sprtPairing, &error)) return error;
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
  o.settings.incMs = c.incSec * kMsPerSecond;
  o.settings.goTimeoutMs = c.goTimeoutSec * kMsPerSecond;
  ShareCommonClock(&o.engines, &o.settings);
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

bool SprtParamsFromWords(const std::vector<std::string>& words, SprtParams* p,
                         std::vector<std::string>* pairing, std::string* error) {
  for (const std::string& word : words) {
    const size_t eq = word.find('=');
    const std::string key = word.substr(0, eq);
    const size_t colon = word.find(':');
    if (key == "pairing" && eq != std::string::npos && colon != std::string::npos &&
        colon > eq + 1 && colon + 1 < word.size()) {
      *pairing = {word.substr(eq + 1, colon - eq - 1), word.substr(colon + 1)};
      continue;
    }
    double* target = key == "elo0"    ? &p->elo0
                     : key == "elo1"  ? &p->elo1
                     : key == "alpha" ? &p->alpha
                     : key == "beta"  ? &p->beta
                                      : nullptr;
    const bool probability = key == "alpha" || key == "beta";
    if (!target || eq == std::string::npos ||
        !NumberFromText(word.substr(eq + 1), probability ? 1e-9 : -4000, probability ? 0.5 : 4000,
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
  // An option given twice takes its last value, so a command can be
  // amended by appending to it.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  AddEngineOptions(app, c);
  AddGameOptions(app, o, c);
  AddRunOptions(app, o, c);
  // Help and version come last, so the help lists them last too.
  app.set_help_flag();
  app.set_help_flag("-h,--help", "this help, then exit")->group(kOther);
  app.set_version_flag("--version", std::string("curling-match ") + kRunnerVersion,
                       "the version, then exit")
      ->group(kOther);
  CLI::App* merge = app.add_subcommand(
      "merge",
      "print the tables of the results files of one run (its shards, or parts of it) as a single "
      "run of all of them would");
  merge->add_option("files", parsed.merge, "results files of the same run")
      ->required()
      ->check(CLI::ExistingFile)
      ->option_text("RESULTS...")
      ->group(kFiles);
  merge->fallthrough();  // --summary and --html may follow the files
  CLI::App* replay = app.add_subcommand(
      "replay",
      "re-execute every stone of a game record with its seed through the physics library; exit "
      "0 when every stone rests where the record says, 1 naming the first that does not, 2 when "
      "the record cannot be read");
  replay->add_option("record", parsed.replay, "the game record (JSON)")
      ->required()
      ->option_text("RECORD")
      ->group(kFiles);
  app.footer(kExamples);
  auto formatter = std::make_shared<HelpFormatter>(
      std::vector<std::string>{kEngines, kTournament, kStatistics, kFiles, kGameRules, kOther},
      std::map<const CLI::App*, std::string>{
          {&app,
           "Usage: curling-match [OPTIONS] [--engine WORD...]... [CMD_A CMD_B]\n"
           "       curling-match merge RESULTS... [--summary FILE] [--html FILE]\n"
           "       curling-match replay RECORD\n"},
          {merge, "Usage: curling-match merge RESULTS... [--summary FILE] [--html FILE]\n"},
          {replay, "Usage: curling-match replay RECORD\n"}},
      std::map<const CLI::App*, std::vector<BorrowedOption>>{
          {merge,
           {{"--summary", "the merged tables as one JSON document; default none"},
            {"--html",
             "the index page of the merged games: their tables and plots, and a row per "
             "game linking its replay page beside it (give the run's --html name); "
             "refused for a run of single games; default none"}}}});
  app.formatter(formatter);
  for (CLI::App* sub : {merge, replay}) {
    sub->formatter(formatter);
    sub->footer("");
    sub->get_help_ptr()->description("this help, then exit")->group(kOther);
  }
  std::ostringstream out, err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ExtrasError& e) {
    parsed.outcome = ParseOutcome::kExit;
    parsed.exitStatus = 2;
    parsed.text = UnexpectedText(app, e);
    return parsed;
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
    parsed.text = error + (c.fileError ? "\n" : "\nRun with --help for more information.\n");
  }
  return parsed;
}
