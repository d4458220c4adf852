#include "tournament/game_output.h"

#include <cstdio>
#include <filesystem>

#include "platform/atomic_file.h"
#include "record/line_score.h"
#include "record/record_json.h"
#include "view/caption.h"
#include "view/replay_page.h"
#include "view/svg.h"

namespace {

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

bool MakeDir(const std::string& dir) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::u8path(dir);
  std::filesystem::create_directories(p, ec);
  return std::filesystem::is_directory(p, ec);
}

std::string LostStoneLine(const StoneView& v) {
  return "  end " + std::to_string(v.end->endIndex + 1) + " stone " +
         std::to_string(v.stone->shotIndex + 1) + " of " + SeatLetter(v.stone->seat) + " lost (" +
         StatusName(v.stone->status) + "): " + v.stone->note + "\n";
}

// Writes one file unless an earlier write of it failed; a failure is said
// once and remembered.
void Save(const std::string& path, const std::string& text, bool* failed) {
  if (path.empty() || *failed) return;
  if (!WriteFileAtomically(path, text)) {
    *failed = true;
    std::fprintf(stderr, "curling-match: cannot write %s\n", path.c_str());
  }
}

void SaveRecord(const GameRecord& game, GameOutputState* s) {
  const std::string record = RecordPathOf(*s->options, s->gameIndex);
  if (!record.empty()) Save(record, GameToJson(game), &s->recordFailed);
  const std::string page = PagePathOf(*s->options, s->gameIndex);
  if (!page.empty()) Save(page, ReplayPageHtml(game), &s->pageFailed);
}

// "game.html" -> "game-3.html" for game index 2.
std::string Numbered(const std::string& path, int gameIndex) {
  const std::filesystem::path p = std::filesystem::u8path(path);
  std::filesystem::path named = p;
  named.replace_filename(p.stem().u8string() + "-" + std::to_string(gameIndex + 1) +
                         p.extension().u8string());
  return named.u8string();
}

void SavePicture(const StoneView& v, GameOutputState* s) {
  if (s->options->svgDir.empty() || s->svgFailed) return;
  const std::string path = s->options->svgDir + "/" +
                           SvgFileName(v.game->gameIndex, v.end->endIndex, v.stone->shotIndex);
  Save(path, StoneSvg(*v.game, *v.end, *v.stone), &s->svgFailed);
}

// The board after an end, set apart by a blank line; an end that no board
// showed yet (the game was forfeited as it closed) is shown at the close.
void ShowBoard(const GameRecord& game, GameOutputState* s) {
  if (game.table.endScores.size() == s->endsShown) return;
  s->endsShown = game.table.endScores.size();
  Print("\n" + FormatBoard(game));
}

void ShowClose(const GameRecord& game, GameOutputState* s) {
  ShowBoard(game, s);
  if (game.forfeitSeat >= 0)
    Print(std::string("  ") + SeatLetter(static_cast<Seat>(game.forfeitSeat)) +
          " forfeits: " + game.forfeitReason + "\n");
  Print("final: " + FormatResult(game) + "\n");
}

}  // namespace

std::string RecordPathOf(const GameOutputOptions& o, int gameIndex) {
  if (o.record.empty() || o.gameCount == 1) return o.record;
  return Numbered(o.record, gameIndex);
}

std::string PagePathOf(const GameOutputOptions& o, int gameIndex) {
  if (o.html.empty() || o.gameCount == 1) return o.html;
  return Numbered(o.html, gameIndex);
}

std::string EngineLogPathOf(const GameOutputOptions& o, int gameIndex, int seat) {
  if (o.engineLog.empty()) return "";
  const std::string letter(1, SeatLetter(static_cast<Seat>(seat)));
  if (o.gameCount == 1) return o.engineLog + "/engine-" + letter + ".log";
  return o.engineLog + "/game-" + std::to_string(gameIndex + 1) + "-" + letter + ".log";
}

GameObserver MakeGameObserver(GameOutputState* s) {
  GameObserver observer;
  const bool live = s->options->live;
  observer.onGreeted = [live](const GameRecord& game) {
    if (live) Print(GreetingLines(game, ""));
  };
  observer.onStone = [s, live](const StoneView& v) {
    if (live && v.stone->status != StoneStatus::kPlayed) Print(LostStoneLine(v));
    SavePicture(v, s);
  };
  observer.onEnd = [s, live](const GameRecord& game) {
    if (live) ShowBoard(game, s);
    SaveRecord(game, s);
  };
  observer.onFinish = [s, live](const GameRecord& game) {
    if (live) ShowClose(game, s);
    SaveRecord(game, s);
  };
  return observer;
}

std::string GreetingLines(const GameRecord& game, const std::string& prefix) {
  std::string lines;
  for (Seat seat : {kSeatA, kSeatB}) {
    const std::string& note = game.engines[seat].readyNote;
    if (!note.empty() && !(game.forfeitSeat == seat && game.forfeitReason == note))
      lines += prefix + "engine " + EngineLabel(game, seat) + ": " + note + "\n";
  }
  return lines;
}

std::string PrepareFolderOf(const std::string& file) {
  const std::string dir = std::filesystem::u8path(file).parent_path().u8string();
  return dir.empty() || MakeDir(dir) ? "" : "cannot create folder " + dir;
}

std::string PrepareOutputFolders(const GameOutputOptions& o) {
  if (!o.svgDir.empty() && !MakeDir(o.svgDir)) return "cannot create folder " + o.svgDir;
  for (const std::string* file : {&o.record, &o.html}) {
    const std::string error = PrepareFolderOf(*file);
    if (!error.empty()) return error;
  }
  if (!o.engineLog.empty() && !MakeDir(o.engineLog)) return "cannot create folder " + o.engineLog;
  return "";
}

std::string LiveGameHeader(const std::string& engineA, const std::string& engineB, uint64_t seed,
                           const Opening& opening) {
  return "A = " + engineA + "\nB = " + engineB + "\ngame seed " + std::to_string(seed) + "; " +
         SeatLetter(opening.hammer) + " has the hammer (" + kHammerMark + ") in end " +
         std::to_string(opening.startEnd + 1) + "\n";
}
