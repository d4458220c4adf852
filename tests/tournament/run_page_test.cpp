// The index page of a run as it goes: rewritten after every game, before
// the next one starts, with a row linking the game's replay page and an
// LLR dot per game so far.
#include <gtest/gtest.h>

#include "tests/tournament/support.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
  return n;
}

class RunPage : public TempDirTest {};

// Engine a notes the page's rows each time it starts, i.e. at the start of
// every game (one game at a time); the rows seen must be 0, 1, 2, ...
TEST_F(RunPage, IsRewrittenAfterEveryGameAndLinksEachReplayPage) {
  constexpr int kGames = 6;
  const std::string page = dir + "/run.html";
  const std::string note = "cat " + ShellQuote(page) + " 2>/dev/null | grep -c '<tr><td>' >> " +
                           ShellQuote(dir + "/rows") + "; exec " + FAKE_ENGINE +
                           " --plan 2.375,4.88";
  const CommandResult r =
      RunRunner(Concat({{"--ends", "1", "--noise", "0.4", "--pause-ms", "0", "--games",
                         std::to_string(kGames), "--seed", "3", "--sprt", "elo0=0", "--html", page,
                         "--engine", "name=a", "cmd=/bin/sh", "arg=-c", "arg=" + note},
                        FakeEngineWords("b", {"--plan", "2.375,4.6"})}));
  ASSERT_EQ(r.status, 0) << r.output;
  std::vector<std::string> seen = FileLines(dir + "/rows");
  ASSERT_GE(seen.size(), static_cast<size_t>(kGames)) << r.output;
  seen.erase(seen.begin(), seen.end() - kGames);  // the check that the engine starts may note too
  for (int g = 0; g < kGames; ++g) EXPECT_EQ(seen[static_cast<size_t>(g)], std::to_string(g));
  EXPECT_TRUE(Holds(r.output, "index page: " + page));
  const std::string html = ReadFile(page);
  EXPECT_EQ(Count(html, "<tr><td>"), static_cast<size_t>(kGames));
  for (int g = 1; g <= kGames; ++g) {
    const std::string game = "run-" + std::to_string(g) + ".html";
    EXPECT_TRUE(Holds(html, "<a href=\"" + game + "\">"));
    EXPECT_TRUE(Holds(ReadFile(dir + "/" + game), "id=\"game-data\""));
  }
  // Three pairs are no ground for an interval: no Elo dot yet.
  EXPECT_TRUE(Holds(html, " (too few games for an interval) "));
  EXPECT_EQ(Count(html, "data-elo="), 0u);
  EXPECT_EQ(Count(html, "data-llr="), static_cast<size_t>(kGames));
  // A finished run's page is no longer reloaded.
  EXPECT_TRUE(Lacks(html, "http-equiv=\"refresh\""));
}

}  // namespace
