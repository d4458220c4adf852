#include "search/win_table.h"

#include <algorithm>
#include <cstddef>

namespace search {
namespace {

std::size_t Slot(const WinTable& t, int endsLeft, int lead, bool hammer) {
  const int e = std::clamp(endsLeft, 0, t.maxEndsLeft);
  const int d = std::clamp(lead, -t.maxLead, t.maxLead) + t.maxLead;
  return (static_cast<std::size_t>(e) * (2 * t.maxLead + 1) + d) * 2 + (hammer ? 1 : 0);
}

// The value after the game's last regular end: decided, or an extra end.
// A tied extra end that is blanked is played again with the same hammer, so
// the tied value solves v = sum_{s != 0} p(s) win(s) + p(0) v.
double TiedExtraEnd(const EndScoreDistribution& dist, bool hammer) {
  double won = 0.0;
  for (int s = 1; s <= kMaxEndScore; ++s) {
    won += hammer ? dist.p[s + kMaxEndScore] : dist.p[-s + kMaxEndScore];
  }
  const double blank = dist.p[kMaxEndScore];
  return blank < 1.0 ? won / (1.0 - blank) : 0.5;
}

}  // namespace

WinTable BuildWinTable(const EndScoreDistribution& hammerSide, int maxEndsLeft, int maxLead) {
  WinTable t;
  t.maxEndsLeft = maxEndsLeft;
  t.maxLead = maxLead;
  t.win.assign(static_cast<std::size_t>(maxEndsLeft + 1) * (2 * maxLead + 1) * 2, 0.0);
  for (int lead = -maxLead; lead <= maxLead; ++lead) {
    for (const bool hammer : {false, true}) {
      const double tied = TiedExtraEnd(hammerSide, hammer);
      t.win[Slot(t, 0, lead, hammer)] = lead > 0 ? 1.0 : lead < 0 ? 0.0 : tied;
    }
  }
  for (int e = 1; e <= maxEndsLeft; ++e) {
    for (int lead = -maxLead; lead <= maxLead; ++lead) {
      for (const bool hammer : {false, true}) {
        double v = 0.0;
        // s: what the hammer side scores. Seen from this side, the lead
        // moves by +s with the hammer and by -s without it; the hammer then
        // goes to whichever side did not score.
        for (int s = -kMaxEndScore; s <= kMaxEndScore; ++s) {
          const double p = hammerSide.p[s + kMaxEndScore];
          if (p == 0.0) continue;
          const int next = hammer ? lead + s : lead - s;
          const bool nextHammer = hammer ? s <= 0 : s > 0;
          v += p * t.win[Slot(t, e - 1, next, nextHammer)];
        }
        t.win[Slot(t, e, lead, hammer)] = v;
      }
    }
  }
  return t;
}

double WinProbability(const WinTable& table, int endsLeft, int lead, bool hammer) {
  return table.win[Slot(table, endsLeft, lead, hammer)];
}

}  // namespace search
