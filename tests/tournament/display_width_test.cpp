// Display width of names in several scripts, and names cut and padded to a
// column: what keeps the console tables aligned.
#include "tournament/display_width.h"

#include <gtest/gtest.h>

#include "tournament/display_width_table.h"

namespace {

const char kCyrillic[] = "Ёжик";                // 4 letters of 2 bytes
const char kCjk[] = "北京队";                   // 3 wide letters
const char kCombining[] = "Rene\u0301e";        // e + combining acute: 5 columns
const char kEmoji[] = "\U0001F94C\U0001F94C!";  // two curling stones and "!"

TEST(DisplayWidth, CountsColumnsNotBytesNorCodePoints) {
  struct Case {
    const char* text;
    int width;
  };
  const Case cases[] = {
      {"", 0},
      {"curling-engine-2", 16},
      {kCyrillic, 4},
      {kCjk, 6},
      {"\uFF21\uFF22", 4},  // fullwidth A B
      {"\uD55C\uAD6D", 4},  // Hangul syllables
      {kCombining, 5},
      {"a\u0308\u0323", 1},  // two marks on one letter
      {kEmoji, 5},
      {"\u2764\uFE0F", 1},                // the variation selector takes no column
      {"\U0001F468\u200D\U0001F469", 4},  // a zero width joiner takes none
      {"\xFF\xFE", 2},                    // bytes that start nothing: one column each
      {"\xE4\xB8", 2},                    // a sequence cut short
      {"\xC0\xAF", 2},                    // an overlong '/'
      {"\xED\xA0\x80", 3},                // a surrogate
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
}

TEST(DisplayWidth, LongTextIsCutOnACharacterBoundaryWithAnEllipsis) {
  struct Case {
    const char* text;
    int columns;
    const char* fitted;
  };
  const Case cases[] = {
      {"curling-engine-2", 16, "curling-engine-2"},
      {"curling-engine-2", 10, "curling-e\u2026"},
      {kCyrillic, 3, "Ёж\u2026"},
      {kCjk, 5, "北京\u2026"},
      {kCjk, 4, "北\u2026"},                          // half a wide letter is no letter
      {"e\u0301e\u0301e\u0301", 2, "e\u0301\u2026"},  // the mark stays with its letter
      {kEmoji, 4, "\U0001F94C\u2026"},
      {"a\xE4\xB8\xAD"
       "b",
       2, "a\u2026"},  // never inside the 3 bytes of one letter
      {kCjk, 1, "\u2026"},
      {kCjk, 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FitToWidth(c.text, c.columns), c.fitted) << c.text;
  // Whatever the width asked for, the result fits it and begins like the text.
  for (const char* text : {kCyrillic, kCjk, kCombining, kEmoji}) {
    const std::string whole = text;
    for (int columns = 1; columns <= 8; ++columns) {
      const std::string fitted = FitToWidth(text, columns);
      EXPECT_LE(DisplayWidth(fitted), columns) << text << " " << columns;
      if (fitted != whole) {
        const std::string kept = fitted.substr(0, fitted.size() - std::string("\u2026").size());
        EXPECT_EQ(whole.compare(0, kept.size(), kept), 0) << fitted;
      }
    }
  }
}

TEST(DisplayWidth, PaddingFillsColumnsNotBytes) {
  EXPECT_EQ(PadToWidth(kCjk, 8), std::string(kCjk) + "  ");
  EXPECT_EQ(PadToWidth(kCyrillic, 6), std::string(kCyrillic) + "  ");
  EXPECT_EQ(PadToWidth(kCombining, 5), kCombining);
  EXPECT_EQ(PadToWidth(kCjk, 2), kCjk);  // wider text is never cut here
}

// The lookup is a binary search: the generated ranges must stay sorted and
// disjoint.
TEST(DisplayWidth, GeneratedRangesAreSortedAndDisjoint) {
  for (const auto& [ranges, count] :
       {std::make_pair(kZeroWidthRanges, kZeroWidthRangesCount),
        std::make_pair(kDoubleWidthRanges, kDoubleWidthRangesCount)}) {
    ASSERT_GT(count, 10u);
    EXPECT_LE(ranges[0].first, ranges[0].last);
    for (size_t i = 1; i < count; ++i) {
      EXPECT_LE(ranges[i].first, ranges[i].last) << i;
      EXPECT_LT(ranges[i - 1].last, ranges[i].first) << i;
    }
  }
}

}  // namespace
