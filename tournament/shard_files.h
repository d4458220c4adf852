// The results files of all shards of a run, so that one SPRT counts the
// games of every shard. Each shard's file is named by the --results pattern
// with {shard} replaced by its K; they must lie where every shard sees them
// (one folder on a shared file system).
#pragma once

#include <string>
#include <vector>

#include "tournament/results_file.h"
#include "tournament/stats.h"

constexpr const char* kShardField = "{shard}";

// pattern with every {shard} replaced by shardIndex + 1.
std::string ShardPath(const std::string& pattern, int shardIndex);

// Appends the game lines of every shard's file that exists to games, and
// raises *gamesPerPairing (when given) to the largest a file plans: one
// shard may have grown the run before the others. A file without a
// complete line yet (its shard is writing the header) counts as empty. ""
// or why not: a file that cannot be read, is no results file, or holds
// another run or another shard than its name says.
std::string ReadShardGames(const std::string& pattern, int shardCount, const std::string& run,
                           std::vector<GameLine>* games, int* gamesPerPairing = nullptr);

// The SPRT of a run over games of any of its shards, planning the larger of
// info's games per pairing and gamesPerPairing.
SprtState SprtOverShards(const RunInfo& info, const std::vector<GameLine>& games,
                         int gamesPerPairing = 0);
