#include "tournament/cli.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sstream>

#include "match/engine_link.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "platform/terminal.h"
#include "record/count_text.h"
#include "record/record_json.h"
#include "record/replay.h"
#include "tournament/openings.h"
#include "tournament/file_text.h"
#include "tournament/run.h"
#include "tournament/run_page.h"
#include "tournament/same_run.h"
#include "tournament/shard_files.h"

namespace {

constexpr int kExitWriteFailed = 1;
constexpr int kExitRefused = 2;

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "curling-match: %s\n", message.c_str());
  return kExitRefused;
}

// Both engines default to the curling-engine next to this program; unnamed
// engines are named after their program (or script), made unique with -2,
// -3 ...; then the SPRT's pairing, given by names, must be one of the run's.
std::string NameEngines(TournamentOptions* o) {
  std::set<std::string> taken;
  for (const EngineLaunch& e : o->engines)
    if (!e.name.empty() && !taken.insert(e.name).second) return "two engines are named " + e.name;
  for (EngineLaunch& e : o->engines) {
    if (!e.name.empty()) continue;
    const std::string base = DefaultEngineName(e);
    e.name = base;
    for (int k = 2; taken.count(e.name); ++k) e.name = base + "-" + std::to_string(k);
    taken.insert(e.name);
  }
  std::vector<std::string> names;
  for (const EngineLaunch& e : o->engines) names.push_back(e.name);
  const std::vector<Pairing> pairings =
      PairingsOf(o->kind, static_cast<int>(o->engines.size()));
  if (PairingIndexOf(pairings, names, o->sprtPairing) < 0)
    return "--sprt pairing=" + o->sprtPairing[0] + ":" + o->sprtPairing[1] +
           ": the run has no pairing of these engines";
  return "";
}

std::string LoadOpenings(const TournamentOptions& o, std::vector<Opening>* openings,
                         std::vector<std::string>* lines) {
  if (o.openings.empty()) return "";
  std::string text, error;
  if (!ReadWholeFile(o.openings, &text)) return "cannot read " + o.openings;
  if (!ParseOpenings(text, openings, &error)) return o.openings + ": " + error;
  for (const Opening& opening : *openings) {
    const std::string problem = OpeningProblem(opening, o.settings.ends);
    if (!problem.empty())
      return o.openings + ": opening " + std::to_string(lines->size() + 1) + ": " + problem;
    lines->push_back(OpeningToJsonLine(opening));
  }
  return "";
}

std::string ShardText(int shardIndex, int shardCount) {
  return std::to_string(shardIndex + 1) + "/" + std::to_string(shardCount);
}

// Reads an existing results file into file and adopts its seed when none
// was given; "" or why the file is refused, with every difference between
// the file's run and this command's.
std::string ResumeFrom(const std::string& path, TournamentOptions* o,
                       const std::vector<std::string>& openingLines, ResultsFile* file) {
  std::string text, error;
  if (!ReadWholeFile(path, &text)) return "cannot read " + path;
  if (!ReadResultsText(text, file, &error)) return path + ": " + error;
  RunInfo info;
  if (!RunInfoFromIdentity(file->run, &info, &error)) return path + ": " + error;
  if (!o->haveSeed) o->seed = info.seed;
  std::string differ =
      RunDifference(file->run, RunIdentity(*o, openingLines), PathsCompared::kResolved);
  if (file->shardIndex != o->shardIndex || file->shardCount != o->shardCount)
    differ += std::string(differ.empty() ? "" : "; ") + "shard: " +
              ShardText(file->shardIndex, file->shardCount) + " vs " +
              ShardText(o->shardIndex, o->shardCount);
  if (!differ.empty())
    return path + " holds results of another run (the file's vs this command's: " + differ +
           "); give another --results file to start a new run";
  return "";
}

// Opens the results file for appending: a new one gets its header, a
// resumed one loses a last line cut short, and one whose run grows gets
// another header with the new number of games. "" or why not.
std::string OpenResults(const std::string& path, const std::string& run, const TournamentOptions& o,
                        const ResultsFile* resumed, std::ofstream* out) {
  const std::filesystem::path p = std::filesystem::u8path(path);
  std::error_code ec;
  if (resumed) std::filesystem::resize_file(p, resumed->completeBytes, ec);
  if (ec) return "cannot repair " + path;
  if (!resumed && p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  out->open(p, std::ios::binary | std::ios::app);
  if (!resumed || resumed->gamesPerPairing < o.games)
    *out << HeaderLine(run, o.shardIndex, o.shardCount) << std::flush;
  return *out ? "" : "cannot write " + path;
}

std::string CheckEngines(const TournamentOptions& o) {
  for (const EngineLaunch& e : o.engines) {
    const std::string why = CheckEngineStarts(e);
    if (!why.empty())
      return "engine " + e.name + " (" + CommandLineOf(e) + ") cannot be started: " + why;
  }
  return "";
}

// Prints the final tables (after a single game only the engines' times: its
// closing board gives the result, and an Elo of one game means nothing) and
// writes the summary; the exit status.
int Conclude(const Tables& tables, const std::string& summaryPath, bool resultsFailed) {
  Print(tables.plannedGames == 1 ? FormatEngineTable(tables) : FormatTables(tables));
  if (!summaryPath.empty() && !WriteWholeFile(summaryPath, TablesJson(tables))) {
    std::fprintf(stderr, "curling-match: cannot write %s\n", summaryPath.c_str());
    return kExitWriteFailed;
  }
  return resultsFailed ? kExitWriteFailed : 0;
}

// curling-match replay RECORD.
int Replay(const std::string& path, const RunnerPhysics& physics) {
  std::string text, error;
  GameRecord game;
  if (!ReadWholeFile(path, &text)) return Fail(path + ": cannot be read");
  if (!GameFromJson(text, &game, &error)) return Fail(path + ": " + error);
  const ReplayOutcome outcome = ReplayGame(game, physics);
  Print(ReplaySummary(game, outcome, physics.version ? physics.version() : "") + "\n");
  return outcome.same ? 0 : 1;  // a stone rests elsewhere
}

int Merge(const std::vector<std::string>& paths, const std::string& summaryPath,
          const std::string& htmlPath) {
  std::string run, error;
  int gamesPerPairing = 0;
  std::vector<GameLine> games;
  for (const std::string& path : paths) {
    std::string text;
    ResultsFile file;
    if (!ReadWholeFile(path, &text)) return Fail("cannot read " + path);
    if (!ReadResultsText(text, &file, &error)) return Fail(path + ": " + error);
    // Shards come from other machines, where the same engine may lie
    // elsewhere: their paths are compared as the commands gave them.
    const std::string differ =
        run.empty() ? "" : RunDifference(run, file.run, PathsCompared::kGiven);
    if (!differ.empty())
      return Fail(path + " holds results of another run than " + paths[0] + " (" + paths[0] +
                  "'s vs its: " + differ + ")");
    if (run.empty()) run = file.run;
    gamesPerPairing = std::max(gamesPerPairing, file.gamesPerPairing);
    games.insert(games.end(), file.games.begin(), file.games.end());
  }
  RunInfo info;
  if (!RunInfoFromIdentity(RunWithGames(run, gamesPerPairing), &info, &error))
    return Fail(paths[0] + ": " + error);
  GameOutputOptions output;
  output.html = htmlPath;
  output.gameCount = GameCount(PlanOf(info));
  games = Deduplicate(games, output.gameCount);
  if (!htmlPath.empty() && !HasRunPage(output))
    return Fail("--html: a run of one game has no index page (its replay page is the game's)");
  if (HasRunPage(output) && !(error = PrepareOutputFolders(output)).empty()) return Fail(error);
  if (!summaryPath.empty() && !(error = PrepareFolderOf(summaryPath)).empty()) return Fail(error);
  const Tables tables = ComputeTables(info, games);
  const bool pageFailed =
      HasRunPage(output) && !WriteRunPage(output, tables, SeriesOf(info, games), games, false);
  return Conclude(tables, summaryPath, pageFailed);
}

// Names the engines, reads the openings and the results file a run
// resumes, and fills in the run's identity and plan. A resumed run is the
// file's, planning the larger of its games and --games. "" or why the
// run is refused.
std::string SetUpRun(TournamentOptions* o, RunSetup* r, ResultsFile* resumed, bool* resume) {
  std::vector<std::string> openingLines;
  std::string error = NameEngines(o);
  if (error.empty()) error = LoadOpenings(*o, &r->openings, &openingLines);
  if (!error.empty()) return error;
  std::error_code noFile;
  *resume = !o->results.empty() &&
            std::filesystem::file_size(std::filesystem::u8path(o->results), noFile) > 0 && !noFile;
  if (*resume && !(error = ResumeFrom(o->results, o, openingLines, resumed)).empty()) return error;
  if (!*resume && !o->haveSeed)
    o->seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
  if (*resume) o->games = std::max(o->games, resumed->gamesPerPairing);
  r->run = *resume ? RunWithGames(resumed->run, o->games) : RunIdentity(*o, openingLines);
  if (!RunInfoFromIdentity(r->run, &r->info, &error)) return error;
  r->plan = PlanOf(r->info);
  r->options = *o;
  return "";
}

// Tables of the games played, this shard's planned games, and the shared
// SPRT line when the test runs over all shards. "" or why not.
std::string TablesOf(const RunSetup& r, const std::vector<GameLine>& games, Tables* tables) {
  const TournamentOptions& o = r.options;
  *tables = ComputeTables(r.info, games);
  tables->plannedGames =
      static_cast<int64_t>(GamesOfShard(r.plan, o.shardIndex, o.shardCount).size());
  if (!SprtOverAllShards(o)) return "";
  // The tables are this shard's; its SPRT line is the one test over all
  // shards, as `merge` of their files will print it.
  std::vector<GameLine> all;
  int planned = 0;
  const std::string error = ReadShardGames(o.shardResults, o.shardCount, r.run, &all, &planned);
  if (error.empty()) tables->sprtState = SprtOverShards(r.info, all, planned);
  return error;
}

// Prints the tables, writes the summary and the index page, and ends an
// interrupted run; the exit status.
int Finish(const RunSetup& r, const RunOutcome& outcome) {
  const TournamentOptions& o = r.options;
  Tables tables;
  const std::string error = TablesOf(r, outcome.games, &tables);
  if (!error.empty()) return Fail(error);
  const int status = Conclude(tables, o.summary, outcome.resultsFailed || outcome.outputFailed);
  if (!WriteRunPage(r.output, tables, outcome.series, outcome.games, false))
    return kExitWriteFailed;
  if (!o.html.empty())
    Print((HasRunPage(r.output) ? "index page: " : "replay page: ") + o.html + "\n");
  if (outcome.interrupt != 0) {
    Print("interrupted after " + std::to_string(outcome.games.size()) + " of " +
          CountText(tables.plannedGames, "game", "games") +
          (o.results.empty() ? "" : "; run the same command again to resume") + "\n");
    std::fflush(stderr);
    // The games in play still hold their threads: ending the process ends
    // them and their engines, as the shell's convention for a signal says.
    std::_Exit(128 + outcome.interrupt);
  }
  return status;
}

// A run asked for fewer games than its file plans: nothing is played (no
// engine started, the file left as it is), the tables of what is there
// are printed.
int ShowPlayed(const RunSetup& r, const std::vector<GameLine>& played, int asked) {
  Print(r.options.results + " plans " + std::to_string(r.info.gamesPerPairing) +
        " games per pairing, more than --games " + std::to_string(asked) + ": " +
        CountText(static_cast<long long>(played.size()), "game", "games") +
        " played, none added\n");
  Tables tables;
  const std::string error = TablesOf(r, played, &tables);
  if (!error.empty()) return Fail(error);
  return Conclude(tables, r.options.summary, false);
}

int Run(TournamentOptions& o, const std::vector<std::string>& arguments,
        const RunnerPhysics& physics) {
  RunSetup r;
  ResultsFile resumed;
  bool resume = false;
  const int asked = o.games;
  std::string error = SetUpRun(&o, &r, &resumed, &resume);
  if (error.empty() && !o.summary.empty()) error = PrepareFolderOf(o.summary);
  if (!error.empty()) return Fail(error);
  const std::vector<GameLine> previous = Deduplicate(resumed.games, GameCount(r.plan));
  if (resume && asked < resumed.gamesPerPairing) return ShowPlayed(r, previous, asked);
  r.physics = physics;
  r.output =
      GameOutputOptions{o.record, o.svgDir, o.engineLog, GameCount(r.plan), GameCount(r.plan) == 1,
                        o.html};
  r.arguments = arguments;
  r.terminal = !r.output.live && StdoutIsTerminal();
  // By default a tenth of the run; a short run shows its tables at the end only.
  if (r.options.reportEvery == 0) r.options.reportEvery = GameCount(r.plan) / 10;
  if (!(error = PrepareOutputFolders(r.output)).empty()) return Fail(error);
  if (!(error = CheckEngines(o)).empty()) return Fail(error);
  std::vector<GameLine> unused;
  if (SprtOverAllShards(o) &&
      !(error = ReadShardGames(o.shardResults, o.shardCount, r.run, &unused)).empty())
    return Fail(error);
  std::ofstream results;
  if (!o.results.empty() &&
      !(error = OpenResults(o.results, r.run, o, resume ? &resumed : nullptr, &results)).empty())
    return Fail(error);
  if (resume)
    Print("resuming " + o.results + ": " +
          CountText(static_cast<long long>(previous.size()), "game", "games") + " already played" +
          (resumed.gamesPerPairing < o.games
               ? "; the run grows from " + std::to_string(resumed.gamesPerPairing) + " to " +
                     std::to_string(o.games) + " games per pairing"
               : "") +
          "\n");
  Print("seed " + std::to_string(o.seed) + "\n");
  WatchInterrupts();
  const RunOutcome outcome = PlayRun(r, previous, o.results.empty() ? nullptr : &results);
  if (!outcome.refused.empty()) return Fail(outcome.refused);
  return Finish(r, outcome);
}

}  // namespace

int RunCurlingMatch(int argc, const char* const* argv, const RunnerPhysics& physics) {
  ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  switch (parsed.outcome) {
    case ParseOutcome::kExit:
      std::fputs(parsed.text.c_str(), parsed.exitStatus == 0 ? stdout : stderr);
      return parsed.exitStatus;
    case ParseOutcome::kMerge:
      return Merge(parsed.merge, parsed.options.summary, parsed.options.html);
    case ParseOutcome::kReplay:
      return Replay(parsed.replay, physics);
    default:
      return Run(parsed.options, std::vector<std::string>(argv + 1, argv + argc), physics);
  }
}
