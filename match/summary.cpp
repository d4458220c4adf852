#include "match/summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "match/line_score.h"

namespace {

constexpr double kZ95 = 1.959964;  // two-sided 95 % quantile of the normal distribution

double MeanGoMs(const EngineSummary& e) { return e.goCount ? e.thinkMsTotal / e.goCount : 0.0; }

std::string EngineRow(const MatchTally& t, Seat seat, const ScoreShare& s) {
  const bool a = seat == kSeatA;
  const EngineSummary& e = t.engines[seat];
  const double share = a ? s.share : 1.0 - s.share;
  const double low = a ? s.low : 1.0 - s.high;
  const double high = a ? s.high : 1.0 - s.low;
  char row[256];
  std::snprintf(row, sizeof row,
                "%c  %4d %4d %4d %7d %7d   %5.1f%% [%5.1f%%, %5.1f%%] %9.1f %9.1f %6d\n",
                SeatLetter(seat), a ? t.winsA : t.winsB, a ? t.winsB : t.winsA, t.draws,
                a ? t.pointsA : t.pointsB, a ? t.pointsB : t.pointsA, 100.0 * share, 100.0 * low,
                100.0 * high, MeanGoMs(e), e.thinkMsMax, e.stonesLost);
  return row;
}

}  // namespace

void AddGame(const GameRecord& game, MatchTally* tally) {
  tally->games++;
  const int a = PointsFor(game.table, kSeatA);
  const int b = PointsFor(game.table, kSeatB);
  tally->pointsA += a;
  tally->pointsB += b;
  // The game's result, not its points: a forfeit is a loss whatever the score.
  const GameResult result = game.complete ? game.result : ResultOf(game.table);
  double score = 0.5;
  if (result == GameResult::kWinA) {
    tally->winsA++;
    score = 1.0;
  } else if (result == GameResult::kWinB) {
    tally->winsB++;
    score = 0.0;
  } else {
    tally->draws++;
  }
  tally->gameScoresA.push_back(score);
  for (int s = 0; s < 2; ++s) {
    EngineSummary& sum = tally->engines[s];
    const EngineSummary& e = game.engines[s];
    sum.command = e.command;
    sum.goCount += e.goCount;
    sum.thinkMsTotal += e.thinkMsTotal;
    sum.thinkMsMax = std::max(sum.thinkMsMax, e.thinkMsMax);
    sum.stonesLost += e.stonesLost;
  }
}

ScoreShare ScoreShareOf(const MatchTally& tally) {
  ScoreShare s;
  const double n = static_cast<double>(tally.gameScoresA.size());
  if (n == 0) return s;
  double sum = 0.0;
  for (double x : tally.gameScoresA) sum += x;
  const double p = sum / n;
  s.share = p;
  const double z2 = kZ95 * kZ95;
  const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
  const double half = kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / (1 + z2 / n);
  s.low = std::max(0.0, centre - half);
  s.high = std::min(1.0, centre + half);
  return s;
}

std::string FormatSummary(const MatchTally& t) {
  const ScoreShare s = ScoreShareOf(t);
  std::string out =
      "summary of " + std::to_string(t.games) + " game" + (t.games == 1 ? "" : "s") + ":\n";
  char header[256];
  std::snprintf(header, sizeof header, "%-3s%4s %4s %4s %7s %7s   %6s  %-16s %9s %9s %6s\n", "",
                "wins", "loss", "draw", "pts for", "against", "share", "(95% interval)", "GO mean",
                "GO max", "lost");
  out += header;
  out += EngineRow(t, kSeatA, s) + EngineRow(t, kSeatB, s);
  out += "GO times in ms; lost: stones lost to timeouts, crashes or bad replies\n";
  out += "A = " + t.engines[0].command + "\nB = " + t.engines[1].command + "\n";
  return out;
}

std::string FormatProgress(const GameRecord& game, const MatchTally& tally, int total) {
  char line[256];
  std::snprintf(line, sizeof line, "game %d/%d: %s   running: A %d wins, B %d wins, %d draws\n",
                game.gameIndex + 1, total, FormatResult(game).c_str(), tally.winsA, tally.winsB,
                tally.draws);
  return line;
}
