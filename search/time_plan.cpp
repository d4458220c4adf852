#include "search/time_plan.h"

#include <algorithm>
#include <cstdlib>

#include "search/end_value.h"
#include "sim/sheet.h"

namespace search {
namespace {

// Relative thinking time by stone of an end: the last stones decide most.
constexpr double kStoneWeight[game::kStonesPerEnd] = {0.6, 0.6, 0.7, 0.7, 0.8, 0.8, 0.9, 0.9,
                                                      1.0, 1.0, 1.2, 1.2, 1.5, 1.5, 2.2, 2.0};
// The reserve: this share of the game's budget and this much per own stone
// still to throw, ms.
constexpr double kReserveShare = 0.04;
constexpr double kReservePerStoneMs = 6.0;
// One stone never takes more than this share of what is usable.
constexpr double kMaxShare = 0.25;
// An extra end is likely enough in close games to keep some time for it.
constexpr double kExtraEndShare = 0.4;
constexpr double kMinMoveMs = 1.0;
// A clock started in an extra end still keeps this share of an end's time.
constexpr double kLateStartEndShare = 0.5;

int OwnStonesLeft(int shotIndex) {
  return shotIndex >= game::kStonesPerEnd ? 0 : (game::kStonesPerEnd - 1 - shotIndex) / 2 + 1;
}

// Ties and one-point games deserve the most thought; decided games less.
double Closeness(const GameState& s) {
  const int lead = std::abs(MoverLead(s));
  if (lead <= 1) return 1.3;
  if (lead == 2) return 1.0;
  if (lead == 3) return 0.8;
  return 0.5;
}

double EndWeight(int parity) {
  double w = 0;
  for (int i = parity; i < game::kStonesPerEnd; i += 2) w += kStoneWeight[i];
  return w;
}

}  // namespace

double ReserveMs(const GameState& state, const GameTimeLeft& clock) {
  const int stones =
      OwnStonesLeft(state.shotIndex) + EndsLeftAfter(state) * (game::kStonesPerEnd / 2);
  return clock.totalMs * kReserveShare + kReservePerStoneMs * stones;
}

double ClockAtFirstSearch(const GameState& state, double totalMs) {
  const int perEnd = game::kStonesPerEnd / 2;
  const long long ends = std::max(static_cast<long long>(state.lastEnd) + 1, 1LL);
  const long long thrown = static_cast<long long>(std::max(state.endIndex, 0)) * perEnd +
                           std::clamp(state.shotIndex, 0, game::kStonesPerEnd) / 2;
  const double left = 1.0 - static_cast<double>(thrown) / static_cast<double>(ends * perEnd);
  return totalMs * std::max(left, kLateStartEndShare / static_cast<double>(ends));
}

double MoveTimeFor(const GameState& state, const GameTimeLeft& clock) {
  const int k = std::clamp(state.shotIndex, 0, game::kStonesPerEnd - 1);
  const int endsLeft = EndsLeftAfter(state);
  const int stonesLeft = OwnStonesLeft(k) + endsLeft * (game::kStonesPerEnd / 2);
  const double usable =
      clock.remainingMs - ReserveMs(state, clock) + clock.incrementMs * (stonesLeft - 1);
  if (usable <= kMinMoveMs) return kMinMoveMs;
  const double now = kStoneWeight[k] * Closeness(state);
  double rest = 0;
  for (int i = k + 2; i < game::kStonesPerEnd; i += 2) rest += kStoneWeight[i];
  const double perEnd = 0.5 * (EndWeight(0) + EndWeight(1));
  rest += perEnd * (endsLeft + kExtraEndShare);
  const double share = std::min(now / (now + rest), kMaxShare);
  // Never more than the clock holds now, whatever the increments promise.
  const double cap = clock.remainingMs - ReserveMs(state, clock);
  return std::max(std::min(usable * share, cap), kMinMoveMs);
}

}  // namespace search
