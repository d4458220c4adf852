// Which games a run plays, as pure functions of its plan: the pairings of
// engines, and for each game index its pair, pairing, opening, seats and
// physics seed. Everything derives from the plan and the game index alone,
// so a shard, a resumed run and a single run play the very same games.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tournament/options.h"

struct Pairing {
  int first = 0;  // engine indices; tables are from the first one's side
  int second = 1;
};

// pairs: 0-1; round-robin: every i < j in order; gauntlet: 0 against each other.
std::vector<Pairing> PairingsOf(TournamentKind kind, int engineCount);

// The index in pairings of the one between the engines named pair[0] and
// pair[1], in either order; 0 for an empty pair; -1 when there is none.
int PairingIndexOf(const std::vector<Pairing>& pairings, const std::vector<std::string>& names,
                   const std::vector<std::string>& pair);

struct RunPlan {
  std::vector<Pairing> pairings;
  int gamesPerPairing = 1;  // 1 or even
  int openingCount = 0;     // 0: ordinary games only
  uint64_t seed = 0;
};

int GamesPerPair(const RunPlan& plan);  // 2, or 1 for single games
int GameCount(const RunPlan& plan);
int PairCount(const RunPlan& plan);

// Pairs are dealt round by round: pair p belongs to pairing p mod P, so every
// pairing advances alike and a run stopped early stays balanced.
struct ScheduledGame {
  int game = 0;
  int pair = 0;
  int pairing = 0;
  int opening = -1;      // index into the openings, -1 for an ordinary game
  int seat[2] = {0, 1};  // engine index in seats A and B; swapped in a pair's second game
  uint64_t seed = 0;     // physics seed, shared by the two games of a pair
};
ScheduledGame GameAt(const RunPlan& plan, int game);

// The seed of pair `pair`: a SplitMix64 mix of the run's seed and the pair
// index, so neighbouring run seeds share no games.
uint64_t PairSeed(uint64_t runSeed, int pair);

// The games of shard K/M (shardIndex K - 1) in game order: whole pairs
// whose index is K - 1 modulo M.
std::vector<int> GamesOfShard(const RunPlan& plan, int shardIndex, int shardCount);
