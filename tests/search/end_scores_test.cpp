// The end-score measurement with the real physics: the hammer side's sign
// (GetScore counts for flag 0, whichever side holds the hammer), the slot of
// each score, reproducible counts, and the file it writes.
#include "bench/win_table/end_scores.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "bench/win_table/korvane_physics.h"
#include "bench/win_table/players.h"
#include "bench/win_table/table_file.h"
#include "sim/sheet.h"

namespace {

using win_table::EndScoreCounts;
using win_table::MeasureSettings;

// Off the side of the sheet at once, far from the house.
constexpr ShotVec kThrowAway{3.0f, -3.0f, 0, {}};

ShotVec Draw(const PhysicsCalls& physics, float dx) {
  ShotPos target{};
  target.x = static_cast<float>(sheet::kTeeX) + dx;
  target.y = static_cast<float>(sheet::kTeeY);
  ShotVec vec{};
  physics.createShot(target, &vec);
  return vec;
}

// Stub players whose end is known: only the named stones come to rest, in
// the house, clear of each other's paths.
void HammerDrawsTheLastStone(const GameState& s, const PhysicsCalls& physics, ShotVec* vec) {
  *vec = s.shotIndex == 15 ? Draw(physics, 0.0f) : kThrowAway;
}
void LeadDrawsTheFirstStone(const GameState& s, const PhysicsCalls& physics, ShotVec* vec) {
  *vec = s.shotIndex == 0 ? Draw(physics, 0.0f) : kThrowAway;
}
void HammerDrawsTwo(const GameState& s, const PhysicsCalls& physics, ShotVec* vec) {
  *vec = s.shotIndex == 13   ? Draw(physics, -0.5f)
         : s.shotIndex == 15 ? Draw(physics, 0.5f)
                             : kThrowAway;
}

MeasureSettings Exact(int ends, int threads) {
  MeasureSettings m;
  m.ends = ends;
  m.seed = 7;
  m.threads = threads;
  m.noise = 0.0f;
  return m;
}

long long At(const EndScoreCounts& c, int score) { return c.count[score + search::kMaxEndScore]; }

// GetScore counts for flag 0; a sign taken from the wrong side shows with
// one of the two flags.
TEST(EndScoreCounting, CountsFromTheHammerSideWhicheverFlagHoldsIt) {
  const PhysicsCalls physics = win_table::KorvanePhysics();
  struct Case {
    win_table::PlayerFn play;
    int hammerScore;
  };
  for (const Case& c : {Case{HammerDrawsTheLastStone, 1}, Case{LeadDrawsTheFirstStone, -1},
                        Case{HammerDrawsTwo, 2}}) {
    for (const int firstFlag : {0, 1}) {
      EXPECT_EQ(win_table::PlayEnd(c.play, physics, 0.0f, firstFlag), c.hammerScore)
          << "flag " << firstFlag << " first";
    }
  }
}

int firstThrows[2];

void CountFirstThrower(const GameState& s, const PhysicsCalls& physics, ShotVec* vec) {
  if (s.shotIndex == 0) ++firstThrows[s.sideToMove];
  HammerDrawsTheLastStone(s, physics, vec);
}

TEST(EndScoreCounting, EachFlagHoldsTheHammerInHalfTheEnds) {
  firstThrows[0] = firstThrows[1] = 0;
  const EndScoreCounts counts = win_table::MeasureEndScores(
      CountFirstThrower, win_table::KorvanePhysics(), win_table::SeedKorvane, Exact(4, 1));
  EXPECT_EQ(firstThrows[0], 2);
  EXPECT_EQ(firstThrows[1], 2);
  EXPECT_EQ(At(counts, 1), 4);
}

TEST(EndScoreCounting, SameCountsOnAnyNumberOfThreads) {
  const win_table::Player* greedy = win_table::FindPlayer("greedy");
  ASSERT_NE(greedy, nullptr);
  MeasureSettings m = Exact(6, 1);
  m.noise = static_cast<float>(game::kExecutionNoise);
  const PhysicsCalls physics = win_table::KorvanePhysics();
  const EndScoreCounts one =
      win_table::MeasureEndScores(greedy->play, physics, win_table::SeedKorvane, m);
  m.threads = 2;
  const EndScoreCounts two =
      win_table::MeasureEndScores(greedy->play, physics, win_table::SeedKorvane, m);
  long long ends = 0;
  for (int s = 0; s < search::kEndScoreSlots; ++s) {
    EXPECT_EQ(one.count[s], two.count[s]) << s - search::kMaxEndScore;
    ends += one.count[s];
  }
  EXPECT_EQ(ends, 6);
}

// The file must compile as the brace initializer, slot 0 for -8.
TEST(EndScoreFile, CommentsThenProbabilitiesInScoreOrder) {
  EndScoreCounts counts{};
  counts.count[-1 + search::kMaxEndScore] = 1;
  counts.count[2 + search::kMaxEndScore] = 3;
  win_table::Provenance how;
  how.player = "stub";
  how.commandLine = "measure-end-scores --ends 4";
  const std::string text = win_table::FormatTableData(counts, how);

  const std::size_t open = text.find("{{");
  ASSERT_NE(open, std::string::npos);
  for (std::size_t line = 0; line < open; line = text.find('\n', line) + 1) {
    EXPECT_EQ(text.compare(line, 2, "//"), 0) << text.substr(line, text.find('\n', line) - line);
  }
  EXPECT_NE(text.find("// 0 0 0 0 0 0 0 1 0 0 3 0 0 0 0 0 0\n"), std::string::npos) << text;

  const char* cursor = text.c_str() + open + 2;
  for (int s = -search::kMaxEndScore; s <= search::kMaxEndScore; ++s) {
    char* end = nullptr;
    const double p = std::strtod(cursor, &end);
    ASSERT_NE(end, cursor) << s;
    EXPECT_DOUBLE_EQ(p, s == -1 ? 0.25 : s == 2 ? 0.75 : 0.0) << s;
    cursor = end + (*end == ',' ? 1 : 0);
  }
  EXPECT_EQ(std::string(cursor), "}}\n");
}

}  // namespace
