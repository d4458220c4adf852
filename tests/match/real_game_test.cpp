// One short game of our engine against itself with the real physics
// library and no execution error, through the real curling-match
// executable: its output, record and pictures, the delivery measured from
// the path frames, which must be the vector asked for, and its replay.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "korvane/korvane.h"
#include "record/record_json.h"
#include "tests/match/support.h"

namespace {

// LeakSanitizer's exit scan crashes in an engine that has searched in
// parallel with the real library loaded (the thread-local blocks of a
// dlopen'ed library), so in sanitizer builds this game runs without it.
std::string WithoutLeakDetection() {
  const char* asan = std::getenv("ASAN_OPTIONS");
  return "ASAN_OPTIONS='" + (asan != nullptr ? std::string(asan) + ":" : "") + "detect_leaks=0' ";
}

}  // namespace

// Suites whose tests write files: each test gets a folder of its own.
class RealGame : public TempDirTest {};

TEST_F(RealGame, OwnEngineAgainstItselfPlaysAnEndThatItsRecordReplays) {
  // No engines named: the curling-engine next to curling-match plays both.
  const CommandResult r = RunCommand(WithoutLeakDetection() + CURLING_MATCH +
                                     " --ends 1 --no-extra-ends --noise 0 --seed 2026 --record " +
                                     dir + "/game.json --svg " + dir + "/svg 2>&1");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Holds(r.output, "A = " + std::filesystem::path(CURLING_ENGINE).string()));
  EXPECT_TRUE(Holds(r.output, "final: A "));
  EXPECT_EQ(RecordQuery(dir + "/game.json",
                        "r['complete'], [(s['status'], s['reply'].split()[0], s['note']) "
                        "for s in r['ends'][0]['stones']] == [('played', 'BESTSHOT', '')] * 16"),
            "(True, True)");
  // Both engines end by themselves when their input ends.
  EXPECT_EQ(RecordQuery(dir + "/game.json", "[r['engines'][e]['exit'] for e in 'AB']"),
            "['exited with status 0', 'exited with status 0']");
  const std::string last = ReadFile(dir + "/svg/game01-end01-stone16.svg");
  EXPECT_NE(last.find("<polyline"), std::string::npos);  // the thrown stone's path

  GameRecord game;
  std::string error;
  ASSERT_TRUE(GameFromJson(ReadFile(dir + "/game.json"), &game, &error)) << error;
  ASSERT_EQ(game.ends.size(), 1u);
  for (const StoneRecord& s : game.ends[0].stones) {
    ASSERT_TRUE(s.executedKnown) << s.shotIndex;
    EXPECT_NEAR(s.executed.vx, s.vec.vx, 1e-4) << s.shotIndex;
    EXPECT_NEAR(s.executed.vy, s.vec.vy, 1e-4) << s.shotIndex;
    EXPECT_FALSE(s.path.stones.empty()) << s.shotIndex;
  }
  EXPECT_TRUE(Holds(game.libraryVersion, "Korvane " KORVANE_VERSION " signature "));
  const CommandResult replay =
      RunCommand(std::string(CURLING_MATCH) + " replay " + dir + "/game.json");
  EXPECT_EQ(replay.status, 0) << replay.output;
  EXPECT_TRUE(Holds(replay.output, "all 16 stones of 1 end rest"));
}
