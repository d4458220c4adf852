#include "game_record.h"

#include <cstring>

#include "korvane/korvane.h"
#include "record/record_json.h"
#include "view/svg.h"

namespace {

constexpr const char* kPackageVersion = "curling python package 0.1";

StoneRecord StoneOf(const LoggedStone& logged) {
  StoneRecord s;
  s.shotIndex = logged.shotIndex;
  s.seat = logged.seat;
  s.status = StoneStatus::kPlayed;
  s.vec = logged.vec;
  s.physicsSeed = logged.physicsSeed;
  std::memcpy(s.before, logged.before, sizeof s.before);
  std::memcpy(s.after, logged.after, sizeof s.after);
  s.scoreAsItLies = logged.scoreAsItLies;
  return s;
}

}  // namespace

GameRecord BuildGameRecord(const Game& game, const GameRules& rules, const RecordNames& names) {
  GameRecord record;
  record.seed = game.seed;
  record.runnerVersion = kPackageVersion;
  record.libraryVersion = "Korvane " KORVANE_VERSION;
  record.startedAt = names.startedAt;
  record.settings.ends = rules.ends;
  record.settings.noise = rules.noise;
  record.settings.extraEnds = true;
  record.engines[0].name = names.seatA;
  record.engines[1].name = names.seatB;
  record.engines[0].command = record.engines[1].command = "in process";
  const auto& scores = game.table.endScores;
  for (const LoggedStone& logged : game.log) {
    if (record.ends.empty() || record.ends.back().endIndex != logged.endIndex) {
      EndRecord end;
      end.endIndex = logged.endIndex;
      end.firstThrower = logged.firstThrower;
      end.finished = logged.endIndex < static_cast<int>(scores.size());
      if (end.finished) end.scoreForA = scores[logged.endIndex];
      record.ends.push_back(end);
    }
    record.ends.back().stones.push_back(StoneOf(logged));
    EngineSummary& engine = record.engines[logged.seat];
    engine.goCount++;
  }
  record.table = game.table;
  record.complete = game.over;
  return record;
}

std::string GameRecordJson(const Game& game, const GameRules& rules, const RecordNames& names) {
  return GameToJson(BuildGameRecord(game, rules, names));
}

std::string GameSvg(const Game& game, const GameRules& rules, const RecordNames& names) {
  const GameRecord record = BuildGameRecord(game, rules, names);
  if (record.ends.empty() || record.ends.back().stones.empty())
    return SheetPictureStart() + "</svg>\n";
  const EndRecord& end = record.ends.back();
  return StoneSvg(record, end, end.stones.back());
}
