// A game of the environment as the runner's game record (match/record.h),
// so that the runner's writer, its replay check and the pictures of view/
// all read it.
#pragma once

#include <string>

#include "game.h"
#include "record/record.h"

struct RecordNames {
  std::string seatA;  // the agent
  std::string seatB;  // the opponent, or the agent again
  std::string startedAt;
};

GameRecord BuildGameRecord(const Game& game, const GameRules& rules, const RecordNames& names);

// The record as the runner writes it: finished ends only.
std::string GameRecordJson(const Game& game, const GameRules& rules, const RecordNames& names);

// The house after the last stone thrown, drawn as the replay page draws
// it; the empty house before the first.
std::string GameSvg(const Game& game, const GameRules& rules, const RecordNames& names);
