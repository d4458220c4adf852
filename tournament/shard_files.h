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

// Appends the game lines of every shard's file that exists to games. A file
// without a complete line yet (its shard is writing the header) counts as
// empty. "" or why not: a file that cannot be read, is no results file, or
// holds another run or another shard than its name says.
std::string ReadShardGames(const std::string& pattern, int shardCount, const std::string& run,
                           std::vector<GameLine>* games);

// The SPRT of a run over games of any of its shards.
SprtState SprtOverShards(const RunInfo& info, const std::vector<GameLine>& games);
