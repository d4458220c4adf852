// One short game of our engine against itself with the real physics
// library, through the real curling-match executable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

TEST_F(RealGame, OwnEngineAgainstItselfPlaysAnEndWithRecordAndPictures) {
  // No engines named: the curling-engine next to curling-match plays both.
  const CommandResult r = RunCommand(WithoutLeakDetection() + CURLING_MATCH +
                                     " --ends 1 --no-extra-ends --seed 2026 --record " + dir +
                                     "/game.json --svg " + dir + "/svg 2>&1");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("A = " + std::filesystem::path(CURLING_ENGINE).string()),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("final: A "), std::string::npos) << r.output;
  EXPECT_EQ(RecordQuery(dir + "/game.json",
                        "r['complete'], [(s['status'], s['reply'].split()[0], s['note']) "
                        "for s in r['ends'][0]['stones']] == [('played', 'BESTSHOT', '')] * 16"),
            "(True, True)");
  // Both engines end by themselves when their input ends.
  EXPECT_EQ(RecordQuery(dir + "/game.json", "[r['engines'][e]['exit'] for e in 'AB']"),
            "['exited with status 0', 'exited with status 0']");
  const std::string last = ReadFile(dir + "/svg/game01-end01-stone16.svg");
  EXPECT_NE(last.find("<polyline"), std::string::npos);  // the thrown stone's path
}
