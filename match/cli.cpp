#include "match/cli.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "match/atomic_file.h"
#include "match/game.h"
#include "match/line_score.h"
#include "match/options.h"
#include "match/process.h"
#include "match/record_json.h"
#include "match/summary.h"
#include "match/svg.h"

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
  bool recordFailed = false;
  bool svgFailed = false;
};

void SaveRecord(const GameRecord& game, Output* out) {
  if (out->recordPath.empty() || out->recordFailed) return;
  if (!WriteFileAtomically(out->recordPath, GameToJson(game))) {
    out->recordFailed = true;
    std::fprintf(stderr, "curling-match: cannot write %s\n", out->recordPath.c_str());
  }
}

void SavePicture(const StoneView& v, Output* out) {
  if (out->options->svgDir.empty() || out->svgFailed) return;
  const std::string path = out->options->svgDir + "/" +
                           SvgFileName(v.game->gameIndex, v.end->endIndex, v.stone->shotIndex);
  if (!WriteFileAtomically(path, StoneSvg(v))) {
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
  if (!o->svgDir.empty() && !MakeDir(o->svgDir)) return "cannot create folder " + o->svgDir;
  const std::string recordDir = std::filesystem::path(o->record).parent_path().string();
  if (!recordDir.empty() && !MakeDir(recordDir)) return "cannot create folder " + recordDir;
  if (!o->engineLog.empty() && !MakeDir(o->engineLog))
    return "cannot create folder " + o->engineLog;
  if (!o->haveSeed)
    o->seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
  return "";
}

GameRecord PlayOne(const MatchOptions& o, int g, const PhysicsCalls& physics) {
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
  const bool live = o.games == 1;
  Output out{&o, o.record.empty() ? "" : RecordPath(o.record, g, o.games)};
  if (live) {
    Print("A = " + o.engines[0] + "\nB = " + o.engines[1] + "\nseed " + std::to_string(setup.seed) +
          "; " + SeatLetter(Opponent(FirstThrowerOfGame(g))) + " has the hammer (" + kHammerMark +
          ") in end 1\n");
  }
  return PlayGame(setup, MakeObserver(&out, live));
}

}  // namespace

int RunMatch(int argc, const char* const* argv, const PhysicsCalls& physics) {
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
  MatchTally tally;
  for (int g = 0; g < options.games; ++g) {
    const GameRecord game = PlayOne(options, g, physics);
    AddGame(game, &tally);
    Print(options.games == 1 ? FormatFinalBoard(game) : FormatProgress(game, tally, options.games));
  }
  Print(FormatSummary(tally));
  return 0;
}
