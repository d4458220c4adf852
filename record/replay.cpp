#include "record/replay.h"

#include <cstring>

#include "record/count_text.h"
#include "record/record_json.h"

namespace {

using Stones = float[game::kStonesPerEnd][2];

std::string StoneName(const EndRecord& end, const StoneRecord& s) {
  return "end " + std::to_string(end.endIndex + 1) + " stone " + std::to_string(s.shotIndex + 1) +
         " (" + SeatLetter(s.seat) + ")";
}

std::string At(float x, float y) { return "(" + FloatText(x) + ", " + FloatText(y) + ")"; }

// Bitwise, so that a NaN equals itself and -0 differs from 0 as the file does.
bool Same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// "" when every stone lies where `expected` says.
std::string Compare(const Stones& got, const Stones& expected) {
  for (int i = 0; i < game::kStonesPerEnd; ++i)
    if (!Same(got[i][0], expected[i][0]) || !Same(got[i][1], expected[i][1]))
      return "stone " + std::to_string(i + 1) + " rests at " + At(got[i][0], got[i][1]) +
             ", the record says " + At(expected[i][0], expected[i][1]);
  return "";
}

// "" when the stones lie before a stone where they rested after the one before.
std::string ChainBreak(const Stones& before, const Stones& previous) {
  for (int i = 0; i < game::kStonesPerEnd; ++i)
    if (!Same(before[i][0], previous[i][0]) || !Same(before[i][1], previous[i][1]))
      return "stone " + std::to_string(i + 1) + " was at " + At(before[i][0], before[i][1]) +
             " before it, but at " + At(previous[i][0], previous[i][1]) + " after the stone before";
  return "";
}

// The record the library saw for this stone, rebuilt from the game record.
GameState StateBefore(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.shotIndex = s.shotIndex;
  state.endIndex = end.endIndex;
  state.lastEnd = LastEndToSend(game.settings.ends, end.endIndex);
  state.sideToMove = static_cast<uint8_t>(SideFlag(s.seat));
  for (const EndRecord& earlier : game.ends)
    if (earlier.endIndex >= 0 && earlier.endIndex < end.endIndex &&
        earlier.endIndex < game::kEndSlots)
      state.endScore[earlier.endIndex] = earlier.scoreForA;
  std::memcpy(state.stones, s.before, sizeof state.stones);
  return state;
}

// What one stone should have done: "" or what differs.
std::string CheckStone(const GameRecord& game, const EndRecord& end, const StoneRecord& s,
                       const RunnerPhysics& physics) {
  GameState state = StateBefore(game, end, s);
  if (s.status == StoneStatus::kPlayed) {
    physics.seed(s.physicsSeed);
    physics.simulate(&state, s.vec, game.settings.noise, nullptr, 0);
  } else {
    state.stones[s.shotIndex][0] = 0.0f;  // a lost stone goes out of play
    state.stones[s.shotIndex][1] = 0.0f;
    state.shotIndex++;
    state.sideToMove ^= 1;
  }
  std::string why = Compare(state.stones, s.after);
  if (why.empty() && physics.score(&state) != s.scoreAsItLies)
    why = "the score as it lies is " + std::to_string(physics.score(&state)) +
          ", the record says " + std::to_string(s.scoreAsItLies);
  return why;
}

}  // namespace

ReplayOutcome ReplayGame(const GameRecord& game, const RunnerPhysics& physics) {
  ReplayOutcome out;
  for (const EndRecord& end : game.ends) {
    // An end starts from an empty sheet, or (a game started from a
    // position) from the stones its first recorded stone found.
    Stones empty = {};
    const Stones* previous = &empty;
    if (!end.stones.empty() && end.stones[0].shotIndex > 0) previous = &end.stones[0].before;
    for (const StoneRecord& s : end.stones) {
      std::string why = ChainBreak(s.before, *previous);
      if (why.empty()) why = CheckStone(game, end, s, physics);
      if (!why.empty()) {
        out.same = false;
        out.firstDifference = StoneName(end, s) + ": " + why;
        return out;
      }
      out.stonesChecked++;
      previous = &s.after;
    }
  }
  return out;
}

std::string ReplaySummary(const GameRecord& game, const ReplayOutcome& outcome,
                          const std::string& libraryVersion) {
  const int stones = outcome.stonesChecked;
  std::string text = outcome.same
                         ? "replay: " + std::string(stones == 1 ? "" : "all ") +
                               CountText(stones, "stone", "stones") + " of " +
                               CountText(static_cast<long long>(game.ends.size()), "end", "ends") +
                               (stones == 1 ? " rests" : " rest") + " exactly where the record says"
                         : "replay: " + outcome.firstDifference;
  if (game.libraryVersion != libraryVersion)
    text += " (recorded with " + game.libraryVersion + ", replayed with " + libraryVersion + ")";
  return text;
}
