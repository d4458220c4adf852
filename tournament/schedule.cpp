#include "tournament/schedule.h"

#include "sim/splitmix.h"

std::vector<Pairing> PairingsOf(TournamentKind kind, int engineCount) {
  std::vector<Pairing> pairings;
  for (int i = 0; i < engineCount; ++i)
    for (int j = i + 1; j < engineCount; ++j)
      if (kind == TournamentKind::kRoundRobin || i == 0) pairings.push_back(Pairing{i, j});
  if (kind == TournamentKind::kPairs && pairings.size() > 1) pairings.resize(1);
  return pairings;
}

int PairingIndexOf(const std::vector<Pairing>& pairings, const std::vector<std::string>& names,
                   const std::vector<std::string>& pair) {
  if (pair.empty()) return 0;
  for (size_t k = 0; k < pairings.size(); ++k) {
    const std::string& a = names[static_cast<size_t>(pairings[k].first)];
    const std::string& b = names[static_cast<size_t>(pairings[k].second)];
    if (pair.size() == 2 && ((a == pair[0] && b == pair[1]) || (a == pair[1] && b == pair[0])))
      return static_cast<int>(k);
  }
  return -1;
}

int GamesPerPair(const RunPlan& plan) { return plan.gamesPerPairing == 1 ? 1 : 2; }

int PairCount(const RunPlan& plan) {
  return static_cast<int>(plan.pairings.size()) * plan.gamesPerPairing / GamesPerPair(plan);
}

int GameCount(const RunPlan& plan) {
  return static_cast<int>(plan.pairings.size()) * plan.gamesPerPairing;
}

uint64_t PairSeed(uint64_t runSeed, int pair) {
  return SplitMix64(runSeed, static_cast<uint64_t>(pair));
}

ScheduledGame GameAt(const RunPlan& plan, int game) {
  ScheduledGame g;
  const int perPair = GamesPerPair(plan);
  const int pairings = static_cast<int>(plan.pairings.size());
  g.game = game;
  g.pair = game / perPair;
  g.pairing = g.pair % pairings;
  const int round = g.pair / pairings;
  g.opening = plan.openingCount > 0 ? round % plan.openingCount : -1;
  const Pairing& p = plan.pairings[static_cast<size_t>(g.pairing)];
  const bool swapped = game % perPair == 1;
  g.seat[0] = swapped ? p.second : p.first;
  g.seat[1] = swapped ? p.first : p.second;
  g.seed = PairSeed(plan.seed, g.pair);
  return g;
}

std::vector<int> GamesOfShard(const RunPlan& plan, int shardIndex, int shardCount) {
  std::vector<int> games;
  const int perPair = GamesPerPair(plan);
  for (int pair = shardIndex; pair < PairCount(plan); pair += shardCount)
    for (int k = 0; k < perPair; ++k) games.push_back(pair * perPair + k);
  return games;
}
