// How much the two-ply search of stone 14 is worth: on positions before
// stone 14 (ends played by the play-outs' policy, and a few built by hand)
// the search chooses once with two-ply and once without, and where the
// choices differ each is judged by its true two-ply value: thrown with
// fresh noise, answered by the full hammer search, the answer thrown with
// fresh noise, the mover's P(win) read. Both shots meet the same noise.
//
//   two_ply_bench [--positions N] [--samples N] [--judge N] [--reply N]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "korvane/korvane.h"
#include "search/end_value.h"
#include "search/playout.h"
#include "search/sampling.h"
#include "search/search.h"
#include "search/win_table.h"
#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace {

constexpr float kNoise = static_cast<float>(game::kExecutionNoise);
// Fresh throws of each reply the judge's hammer search chose.
constexpr int kReplyThrows = 8;

struct Settings {
  int positions = 40;
  int64_t samples = 20000;  // the searches being compared
  int judge = 200;          // throws of each compared shot
  int64_t reply = 3000;     // samples of the judge's hammer search
};

void BindLinkedPhysics() {
  search::PhysicsCalls calls;
  calls.simulate = Simulation;
  calls.createShot = CreateShot;
  calls.createHitShot = CreateHitShot;
  calls.seed = KorvaneSeed;
  search::BindPhysics(calls);
}

// Stone 14 of an end in the second half of the game, side 0 to move
// without the hammer, leading by lead.
GameState EmptyEnd(int endIndex, int lead) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.endIndex = endIndex;
  s.lastEnd = 8;
  s.endScore[0] = lead;
  return s;
}

GameState PolicyPosition(int k) {
  GameState s = EmptyEnd(k % 2 == 0 ? 7 : 5, k % 3 - 1);
  KorvaneSeed(search::SampleSeed(424242, static_cast<uint64_t>(k)));
  while (s.shotIndex < game::kStonesPerEnd - 2) {
    Simulation(&s, search::PolicyShot(s, search::BoundPhysics()), kNoise, nullptr, -1);
  }
  return s;
}

// Built by hand, even stones the mover's: the opponent shot on the button;
// the mover shot at the top of the four-foot, the opponent second; the
// mover shot behind its own centre guard; the mover two in the house; and
// one or two of the mover's stones in front of the tee, open to a draw.
std::vector<GameState> BuiltPositions() {
  const float x = kTeeX;
  const float y = kTeeY;
  const std::vector<std::vector<std::pair<int, std::pair<float, float>>>> layouts = {
      {{1, {x, y}}},
      {{0, {x + 0.1f, y + 0.45f}}, {1, {x - 0.9f, y - 0.8f}}},
      {{0, {x, y + 0.3f}}, {2, {x + 0.05f, y + 3.2f}}, {1, {x + 1.2f, y - 0.5f}}},
      {{0, {x - 0.3f, y + 0.2f}}, {2, {x + 0.5f, y - 0.4f}}, {1, {x + 1.5f, y + 0.6f}}},
      {{0, {x, y + 0.8f}}},
      {{0, {x + 0.3f, y + 0.7f}}},
      {{0, {x, y + 0.8f}}, {1, {x + 1.3f, y + 0.9f}}},
      {{0, {x - 0.5f, y + 0.4f}}, {1, {x + 1.0f, y - 0.9f}}},
      {{0, {x, y + 1.2f}}, {2, {x - 0.6f, y - 0.3f}}},
  };
  std::vector<GameState> out;
  for (const auto& layout : layouts) {
    for (const int lead : {-1, 0, 1}) {
      GameState s = EmptyEnd(7, lead);
      s.shotIndex = game::kStonesPerEnd - 2;
      for (const auto& st : layout) {
        s.stones[st.first][0] = st.second.first;
        s.stones[st.first][1] = st.second.second;
      }
      out.push_back(s);
    }
  }
  return out;
}

ShotVec Choose(const GameState& s, bool twoPly, const Settings& settings, uint64_t seed,
               search::SearchReport* report) {
  search::SearchLimits limits;
  limits.samples = settings.samples;
  limits.threads = 1;
  limits.seed = seed;
  limits.twoPly = twoPly;
  ShotVec vec;
  search::SearchShot(s, limits, &vec, report);
  return vec;
}

// The mover's mean P(win) after vec and the opponent's searched reply.
double TrueValue(const GameState& s, const ShotVec& vec, const Settings& settings) {
  const search::EndValues values = search::MakeEndValues(search::DefaultWinTable(), s);
  const int parity = s.shotIndex & 1;
  double sum = 0;
  for (int e = 0; e < settings.judge; ++e) {
    KorvaneSeed(search::SampleSeed(777, static_cast<uint64_t>(e)));
    GameState p = s;
    Simulation(&p, vec, kNoise, nullptr, -1);
    search::SearchLimits limits;
    limits.samples = settings.reply;
    limits.threads = 1;
    limits.seed = search::SampleSeed(888, static_cast<uint64_t>(e));
    ShotVec reply;
    search::SearchShot(p, limits, &reply);
    for (int m = 0; m < kReplyThrows; ++m) {
      KorvaneSeed(search::SampleSeed(999, static_cast<uint64_t>(e * kReplyThrows + m)));
      GameState q = p;
      Simulation(&q, reply, kNoise, nullptr, -1);
      sum += values.win[search::ScoreSlot(search::EndScoreFor(q, game::kStonesPerEnd, parity))];
    }
  }
  return sum / (settings.judge * kReplyThrows);
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--positions") == 0) settings.positions = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--samples") == 0) settings.samples = std::atoll(argv[i + 1]);
    if (std::strcmp(argv[i], "--judge") == 0) settings.judge = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--reply") == 0) settings.reply = std::atoll(argv[i + 1]);
  }
  BindLinkedPhysics();
  std::vector<GameState> positions = BuiltPositions();
  for (int k = 0; k < settings.positions; ++k) positions.push_back(PolicyPosition(k));
  int changed = 0;
  double sum = 0;
  double sumSquares = 0;
  for (std::size_t k = 0; k < positions.size(); ++k) {
    const GameState& s = positions[k];
    search::SearchReport one, two;
    const ShotVec a = Choose(s, false, settings, 11 + k, &one);
    const ShotVec b = Choose(s, true, settings, 11 + k, &two);
    char line[512];
    search::FormatReport(two, line, sizeof line);
    if (a.vx == b.vx && a.vy == b.vy && a.curl == b.curl) {
      std::printf("%2zu same: %s\n", k, line);
      continue;
    }
    const double va = TrueValue(s, a, settings);
    const double vb = TrueValue(s, b, settings);
    ++changed;
    sum += vb - va;
    sumSquares += (vb - va) * (vb - va);
    std::printf("%2zu one-ply %s %.4f, two-ply %.4f: %s\n", k, search::ShotKindName(one.best.kind),
                va, vb, line);
    std::fflush(stdout);
  }
  const double n = static_cast<double>(positions.size());
  const double mean = sum / n;
  const double sd = std::sqrt(std::fmax(sumSquares / n - mean * mean, 0.0));
  std::printf("%zu positions, %d changed; two-ply minus one-ply: mean %+.4f (se %.4f) over all, "
              "%+.4f over the changed\n",
              positions.size(), changed, mean, sd / std::sqrt(n), changed ? sum / changed : 0.0);
  return 0;
}
