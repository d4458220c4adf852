#include "tournament/shard_files.h"

#include <algorithm>
#include <filesystem>

#include "tournament/file_text.h"
#include "tournament/same_run.h"
#include "tournament/tables.h"

std::string ShardPath(const std::string& pattern, int shardIndex) {
  const std::string field = kShardField;
  const std::string k = std::to_string(shardIndex + 1);
  std::string path = pattern;
  for (size_t at = path.find(field); at != std::string::npos; at = path.find(field, at + k.size()))
    path.replace(at, field.size(), k);
  return path;
}

std::string ReadShardGames(const std::string& pattern, int shardCount, const std::string& run,
                           std::vector<GameLine>* games, int* gamesPerPairing) {
  for (int k = 0; k < shardCount; ++k) {
    const std::string path = ShardPath(pattern, k);
    std::string text, error;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::u8path(path), ec)) continue;  // not started
    if (!ReadWholeFile(path, &text)) return "cannot read " + path;
    if (text.find('\n') == std::string::npos) continue;
    ResultsFile file;
    if (!ReadResultsText(text, &file, &error)) return path + ": " + error;
    // The shards may run on other machines: paths compare as given.
    const std::string differ = RunDifference(file.run, run, PathsCompared::kGiven);
    if (!differ.empty())
      return path + " holds results of another run (its vs this shard's: " + differ +
             "); give every shard the same options";
    if (file.shardIndex != k || file.shardCount != shardCount)
      return path + " holds the results of shard " + std::to_string(file.shardIndex + 1) + "/" +
             std::to_string(file.shardCount) + ", not " + std::to_string(k + 1) + "/" +
             std::to_string(shardCount);
    games->insert(games->end(), file.games.begin(), file.games.end());
    if (gamesPerPairing) *gamesPerPairing = std::max(*gamesPerPairing, file.gamesPerPairing);
  }
  return "";
}

SprtState SprtOverShards(const RunInfo& info, const std::vector<GameLine>& games,
                         int gamesPerPairing) {
  RunInfo planned = info;
  planned.gamesPerPairing = std::max(info.gamesPerPairing, gamesPerPairing);
  return ComputeTables(planned, Deduplicate(games, GameCount(PlanOf(planned))), false).sprtState;
}
