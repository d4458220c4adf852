// One SPRT over the results files of all shards, as whole processes over
// fake engines and the stand-in physics: the files each shard finds by
// {shard}, the refusals, a shard that starts after the test has decided.
// Four shards at once are tests/cluster's part.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/tournament/support.h"

namespace {

// A draw to the tee against stones out of play: every pair is won twice,
// and with elo1 100 the LLR leaves its bounds after about a dozen pairs.
std::vector<std::string> SharedSprtRun(const std::string& seed, const std::string& shard,
                                       const std::vector<std::string>& results) {
  return Concat({{"--ends", "1", "--noise", "0", "--pause-ms", "0", "--games", "200", "--seed",
                  seed, "--sprt", "elo0=0", "elo1=100", "--shard", shard},
                 results,
                 FakeEngineWords("win", {"--plan", "2.375,4.88"}),
                 FakeEngineWords("lose", {"--plan", "0,0"})});
}

std::string SprtLineOf(const std::string& output) {
  const size_t at = output.rfind("\nSPRT ");
  return at == std::string::npos ? "" : output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

class SharedSprt : public TempDirTest {
 protected:
  std::vector<std::string> Run(const std::string& seed, const std::string& shard) const {
    return SharedSprtRun(seed, shard, {"--results", dir + "/r-{shard}.jsonl"});
  }
};

}  // namespace

TEST_F(SharedSprt, ShardFieldNamesTheResultsAndSummaryOfEachShard) {
  const CommandResult r = RunRunner(
      Concat({{"--ends", "1", "--pause-ms", "0", "--games", "6", "--seed", "3", "--shard", "2/3",
               "--results", dir + "/r-{shard}.jsonl", "--summary", dir + "/s-{shard}.json"},
              FakeEngineWords("a", {}),
              FakeEngineWords("b", {})}));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Holds(FileLines(dir + "/r-2.jsonl").at(0), "\"shard\":[2,3]"));
  EXPECT_TRUE(Holds(ReadFile(dir + "/s-2.json"), "\"games\": 2"));
}

// Shard 1 alone decides the test; shard 2, started afterwards, and shard 1
// started again play nothing, and merge says what both shards said.
TEST_F(SharedSprt, AShardStartedAfterTheDecisionPlaysNothing) {
  const CommandResult first = RunRunner(Run("4", "1/2"));
  ASSERT_EQ(first.status, 0) << first.output;
  EXPECT_TRUE(Holds(first.output, "the test over all 2 shards has decided"));
  const size_t played = FileLines(dir + "/r-1.jsonl").size() - 1;
  EXPECT_LT(played, 200u);

  const CommandResult second = RunRunner(Run("4", "2/2"));
  ASSERT_EQ(second.status, 0) << second.output;
  EXPECT_EQ(FileLines(dir + "/r-2.jsonl").size(), 1u) << "shard 2 played after the decision";
  const std::string decision = SprtLineOf(second.output);
  EXPECT_TRUE(Holds(decision, " H1")) << second.output;
  EXPECT_EQ(decision, SprtLineOf(first.output));
  const CommandResult merged = RunRunner({"merge", dir + "/r-1.jsonl", dir + "/r-2.jsonl"});
  EXPECT_EQ(SprtLineOf(merged.output), decision) << merged.output;
  const CommandResult again = RunRunner(Run("4", "1/2"));
  EXPECT_EQ(again.status, 0) << again.output;
  EXPECT_EQ(FileLines(dir + "/r-1.jsonl").size() - 1, played) << "a resumed shard played on";
}

// Refused before any game: a shared test without a file for each shard,
// and a shard whose fellow's file holds another run.
TEST_F(SharedSprt, IsRefusedWithoutAFileForEachShardOrWithAnotherRunsFile) {
  for (const std::vector<std::string>& results :
       {std::vector<std::string>{"--results", dir + "/r.jsonl"}, std::vector<std::string>{}}) {
    const CommandResult r = RunRunner(SharedSprtRun("1", "2/4", results));
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_TRUE(Holds(r.output, "needs {shard} in --results"));
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  ASSERT_EQ(RunRunner(Run("9", "2/2")).status, 0);
  const CommandResult r = RunRunner(Run("8", "1/2"));
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_TRUE(Holds(r.output, "r-2.jsonl holds results of another run"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/r-1.jsonl"));
}
