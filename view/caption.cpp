#include "view/caption.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// Sizes of the captions' own judgements, m; the sheet's lines are in
// sim/sheet.h, taken in single precision as the record holds positions.
constexpr float kButtonReach = 0.3f;  // the stone covers the button
constexpr float kSideMargin = 0.3f;   // closer than this to a side line counts as off the side
constexpr double kMsPerSecond = 1000.0;
// A stone that moved less than this was not hit, m.
constexpr float kMovedAtLeast = 0.05f;

float TeeDistance(float x, float y) {
  return std::hypot(x - float(sheet::kTeeX), y - float(sheet::kTeeY));
}

std::string StoneLabel(const EndRecord& end, int i) {
  return "stone " + std::to_string(i + 1) + " (" + SeatLetter(SeatOfStone(end.firstThrower, i)) +
         ")";
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t k = 0; k < parts.size(); ++k)
    out += (k == 0 ? "" : k + 1 == parts.size() ? " and " : ", ") + parts[k];
  return out;
}

const char* LostWhy(StoneStatus status) {
  switch (status) {
    case StoneStatus::kTimeout:
      return "no reply in time";
    case StoneStatus::kOutOfTime:
      return "thinking time used up";
    case StoneStatus::kCrashed:
      return "the engine is gone";
    case StoneStatus::kGarbage:
      return "the reply made no sense";
    case StoneStatus::kTwoReplies:
      return "two replies to one GO";
    case StoneStatus::kPlayed:
      break;
  }
  return "";
}

// Where the thrown stone was last seen in play on its path, or false.
bool LastSeen(const StoneRecord& s, float* x, float* y) {
  for (const MovedStone& m : s.path.stones) {
    if (m.stone != s.shotIndex) continue;
    bool seen = false;
    for (const auto& p : m.points)
      if (StoneInPlay(p[0], p[1])) {
        *x = p[0];
        *y = p[1];
        seen = true;
      }
    return seen;
  }
  return false;
}

// Why the thrown stone is out of play when it moved nothing else.
std::string LostInPlay(const StoneRecord& s, bool othersMovedOnPath) {
  if (othersMovedOnPath) return "Free guard zone: the guard is put back and the stone removed";
  float x = 0, y = 0;
  if (!LastSeen(s, &x, &y)) return "Out of play";
  const float stone = float(sheet::kStoneRadius);
  if (y > float(sheet::kFarHogY) - stone) return "Hogged: short of the hog line";
  if (x < kSideMargin || x > float(sheet::kWidth) - kSideMargin) return "Off the side";
  if (y < float(sheet::kBackLineY) + stone) return "Through the house";
  return "Out of play";
}

bool PathMovedOthers(const StoneRecord& s) {
  for (const MovedStone& m : s.path.stones)
    if (m.stone != s.shotIndex) return true;
  return false;
}

std::string Number(int n) {
  static const char* const kWords[] = {"none", "one", "two",   "three", "four",
                                       "five", "six", "seven", "eight"};
  return n >= 0 && n <= 8 ? kWords[n] : std::to_string(n);
}

}  // namespace

std::string EngineLabel(const GameRecord& game, Seat seat) {
  const EngineSummary& e = game.engines[seat];
  std::string name = e.name;
  if (name.empty()) {
    const std::string program = e.command.substr(0, e.command.find(' '));
    name = std::filesystem::path(program).filename().string();
  }
  return std::string(1, SeatLetter(seat)) + (name.empty() ? "" : " (" + name + ")");
}

std::string LyingText(int scoreForA) {
  if (scoreForA == 0) return "Nothing counting";
  return std::string(1, scoreForA > 0 ? 'A' : 'B') + " lying " + Number(std::abs(scoreForA));
}

const char* TurnName(unsigned char curl) { return curl ? "out-turn" : "in-turn"; }

std::string ShotKind(const EndRecord& end, const StoneRecord& s) {
  if (s.status != StoneStatus::kPlayed) return std::string("Lost stone: ") + LostWhy(s.status);
  const int k = s.shotIndex;
  std::vector<std::string> removed, hit;
  bool opponentTouched = false;
  for (int i = 0; i < k; ++i) {
    const bool was = StoneInPlay(s.before[i][0], s.before[i][1]);
    const bool is = StoneInPlay(s.after[i][0], s.after[i][1]);
    const bool opponent = SeatOfStone(end.firstThrower, i) != s.seat;
    if (was && !is) {
      removed.push_back(StoneLabel(end, i));
      opponentTouched |= opponent;
    } else if (was && std::hypot(s.after[i][0] - s.before[i][0], s.after[i][1] - s.before[i][1]) >
                          kMovedAtLeast) {
      hit.push_back(StoneLabel(end, i));
      opponentTouched |= opponent;
    }
  }
  const bool stays = StoneInPlay(s.after[k][0], s.after[k][1]);
  if (!removed.empty())
    return std::string(opponentTouched ? "Takeout of " : "Own stone taken out: ") + Join(removed) +
           (stays ? "" : ", the shooter rolled out");
  if (!hit.empty())
    return std::string(opponentTouched ? "Hit on " : "Raise of ") + Join(hit) +
           (stays ? "" : ", the shooter rolled out");
  if (!stays) return LostInPlay(s, PathMovedOthers(s));
  const float d = TeeDistance(s.after[k][0], s.after[k][1]);
  if (d < kButtonReach) return "Draw to the button";
  if (d < float(sheet::kHouseReach)) return "Draw into the house";
  if (s.after[k][1] > float(sheet::kTeeY)) return "Guard";
  return "Draw behind the house";
}

std::string CaptionHeadline(const GameRecord& game, const EndRecord& end, const StoneRecord& s) {
  char time[32];
  if (s.thinkMs >= kMsPerSecond / 10)
    std::snprintf(time, sizeof time, "%.1f s", s.thinkMs / kMsPerSecond);
  else
    std::snprintf(time, sizeof time, "%.0f ms", s.thinkMs);
  std::string text = "End " + std::to_string(end.endIndex + 1) + ", stone " +
                     std::to_string(s.shotIndex + 1) + " of " +
                     std::to_string(game::kStonesPerEnd) + ": " + EngineLabel(game, s.seat);
  if (s.status == StoneStatus::kPlayed) text += std::string(", ") + TurnName(s.vec.curl);
  return text + ", " + time;
}

std::string CaptionStory(const EndRecord& end, const StoneRecord& s) {
  return ShotKind(end, s) + ". " + LyingText(s.scoreAsItLies) + ".";
}
