#include "match/cli.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "match/atomic_file.h"
#include "match/engine_link.h"
#include "match/game.h"
#include "match/line_score.h"
#include "match/options.h"
#include "match/process.h"
#include "match/record_json.h"
#include "match/replay.h"
#include "match/summary.h"
#include "view/caption.h"
#include "view/index_page.h"
#include "view/replay_page.h"
#include "view/svg.h"

namespace {

#ifdef _WIN32
constexpr const char* kEngineName = "curling-engine.exe";
#else
constexpr const char* kEngineName = "curling-engine";
#endif

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// game.json -> game-3.json for game 3 of a longer run.
std::string RecordPath(const std::string& path, int gameIndex, int games) {
  if (games == 1) return path;
  const std::filesystem::path p(path);
  std::filesystem::path named = p;
  named.replace_filename(p.stem().string() + "-" + std::to_string(gameIndex + 1) +
                         p.extension().string());
  return named.string();
}

bool MakeDir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return std::filesystem::is_directory(dir, ec);
}

std::string LostStoneLine(const StoneView& v) {
  return "  end " + std::to_string(v.end->endIndex + 1) + " stone " +
         std::to_string(v.stone->shotIndex + 1) + " of " + SeatLetter(v.stone->seat) + " lost (" +
         StatusName(v.stone->status) + "): " + v.stone->note + "\n";
}

struct Output {
  const MatchOptions* options;
  std::string recordPath;
  std::string pagePath;
  bool recordFailed = false;
  bool pageFailed = false;
  bool svgFailed = false;
};

bool Failed(const Output& out) { return out.recordFailed || out.pageFailed || out.svgFailed; }

void SaveRecord(const GameRecord& game, Output* out) {
  if (!out->recordPath.empty() && !out->recordFailed &&
      !WriteFileAtomically(out->recordPath, GameToJson(game))) {
    out->recordFailed = true;
    std::fprintf(stderr, "curling-match: cannot write %s\n", out->recordPath.c_str());
  }
  if (!out->pagePath.empty() && !out->pageFailed &&
      !WriteFileAtomically(out->pagePath, ReplayPageHtml(game))) {
    out->pageFailed = true;
    std::fprintf(stderr, "curling-match: cannot write %s\n", out->pagePath.c_str());
  }
}

void SavePicture(const StoneView& v, Output* out) {
  if (out->options->svgDir.empty() || out->svgFailed) return;
  const std::string path = out->options->svgDir + "/" +
                           SvgFileName(v.game->gameIndex, v.end->endIndex, v.stone->shotIndex);
  if (!WriteFileAtomically(path, StoneSvg(*v.game, *v.end, *v.stone))) {
    out->svgFailed = true;
    std::fprintf(stderr, "curling-match: cannot write %s\n", path.c_str());
  }
}

GameObserver MakeObserver(Output* out, bool live) {
  GameObserver observer;
  observer.onStone = [out, live](const StoneView& v) {
    if (live && v.stone->status != StoneStatus::kPlayed) Print(LostStoneLine(v));
    SavePicture(v, out);
  };
  observer.onEnd = [out, live](const GameRecord& game) {
    if (live) Print(FormatEndLine(game));
    SaveRecord(game, out);
  };
  observer.onFinish = [out](const GameRecord& game) { SaveRecord(game, out); };
  return observer;
}

// Fills in the default engines and creates the output folders; "" or why not.
std::string Prepare(MatchOptions* o) {
  for (std::string& engine : o->engines) {
    if (!engine.empty()) continue;
    engine = OwnExecutableDir() + "/" + kEngineName;
    if (!std::filesystem::exists(engine)) return "no engines given and " + engine + " not found";
  }
  // A program that cannot be started ends the run before its first game.
  for (const std::string& engine : o->engines) {
    const std::string problem = CheckEngineStarts(EngineSpecFromCommandLine(engine));
    if (!problem.empty()) return problem;
  }
  if (!o->svgDir.empty() && !MakeDir(o->svgDir)) return "cannot create folder " + o->svgDir;
  for (const std::string* file : {&o->record, &o->html}) {
    const std::string dir = std::filesystem::path(*file).parent_path().string();
    if (!dir.empty() && !MakeDir(dir)) return "cannot create folder " + dir;
  }
  if (!o->engineLog.empty() && !MakeDir(o->engineLog))
    return "cannot create folder " + o->engineLog;
  if (!o->haveSeed)
    o->seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
  return "";
}

GameRecord PlayOne(const MatchOptions& o, const std::vector<std::string>& arguments, int g,
                   const PhysicsCalls& physics, bool* failed) {
  GameSetup setup;
  for (int s = 0; s < 2; ++s) {
    setup.engines[s] = EngineSpecFromCommandLine(o.engines[s]);
    if (!o.engineLog.empty())
      setup.engineLog[s] = o.engineLog + "/engine-" + SeatLetter(static_cast<Seat>(s)) + ".log";
  }
  setup.settings = o.settings;
  setup.gameIndex = g;
  setup.seed = o.seed + static_cast<uint64_t>(g);
  setup.opening.hammer = Opponent(FirstThrowerOfGame(g));
  setup.physics = physics;
  setup.arguments = arguments;
  const bool live = o.games == 1;
  Output out{&o, o.record.empty() ? "" : RecordPath(o.record, g, o.games),
             o.html.empty() ? "" : RecordPath(o.html, g, o.games)};
  if (live) {
    Print("A = " + o.engines[0] + "\nB = " + o.engines[1] + "\nseed " + std::to_string(setup.seed) +
          "; " + SeatLetter(Opponent(FirstThrowerOfGame(g))) + " has the hammer (" + kHammerMark +
          ") in end 1\n");
  }
  GameRecord game = PlayGame(setup, MakeObserver(&out, live));
  *failed |= Failed(out);
  return game;
}

// The index of the replay pages of a run, beside them.
bool SaveIndex(const MatchOptions& o, const std::string& tables,
               const std::vector<IndexRow>& rows) {
  if (o.html.empty() || o.games == 1) return true;
  if (WriteFileAtomically(
          o.html,
          IndexPageHtml("curling-match: " + std::to_string(o.games) + " games", tables, rows)))
    return true;
  std::fprintf(stderr, "curling-match: cannot write %s\n", o.html.c_str());
  return false;
}

IndexRow RowOf(const GameRecord& game, const MatchOptions& o) {
  const std::string page = RecordPath(o.html, game.gameIndex, o.games);
  return IndexRow{game.gameIndex + 1, EngineLabel(game, kSeatA), EngineLabel(game, kSeatB),
                  FormatResult(game), std::filesystem::path(page).filename().string()};
}

// curling-match replay RECORD.
int RunReplay(int argc, const char* const* argv, const PhysicsCalls& physics) {
  if (argc != 3) {
    std::fprintf(stderr, "curling-match: replay takes one record file\n%s", UsageText().c_str());
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  GameRecord game;
  std::string error;
  if (!file || !GameFromJson(text.str(), &game, &error)) {
    std::fprintf(stderr, "curling-match: %s: %s\n", argv[2],
                 file ? error.c_str() : "cannot be read");
    return 2;
  }
  const ReplayOutcome outcome = ReplayGame(game, physics);
  Print(ReplaySummary(game, outcome, physics.version ? physics.version() : "") + "\n");
  return outcome.same ? 0 : 1;
}

}  // namespace

int RunMatch(int argc, const char* const* argv, const PhysicsCalls& physics) {
  if (argc >= 2 && std::string(argv[1]) == "replay") return RunReplay(argc, argv, physics);
  MatchOptions options;
  std::string error;
  const ParseOutcome parsed = ParseOptions(argc, argv, &options, &error);
  if (parsed == ParseOutcome::kHelp) {
    Print(UsageText());
    return 0;
  }
  if (parsed == ParseOutcome::kError || !(error = Prepare(&options)).empty()) {
    std::fprintf(stderr, "curling-match: %s\n%s", error.c_str(), UsageText().c_str());
    return 2;
  }
  if (options.games > 1) Print("seed " + std::to_string(options.seed) + "\n");
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  MatchTally tally;
  std::vector<IndexRow> rows;
  bool failed = false;
  for (int g = 0; g < options.games; ++g) {
    const GameRecord game = PlayOne(options, arguments, g, physics, &failed);
    AddGame(game, &tally);
    if (game.forfeitSeat >= 0)
      Print(std::string("  ") + SeatLetter(static_cast<Seat>(game.forfeitSeat)) +
            " forfeits: " + game.forfeitReason + "\n");
    rows.push_back(RowOf(game, options));
    Print(options.games == 1 ? FormatFinalBoard(game) : FormatProgress(game, tally, options.games));
  }
  Print(FormatSummary(tally));
  if (!SaveIndex(options, FormatSummary(tally), rows)) failed = true;
  if (!options.html.empty()) Print("replay page: " + options.html + "\n");
  return failed ? 1 : 0;
}
