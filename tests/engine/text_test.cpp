// The byte-level text routines: line cut, tokens, lenient numbers and the
// command-word match.
#include "app/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string Cut(std::string text) {
  CutAtLineEnd(text.data());
  return std::string(text.c_str());
}

// Token n of text, or "<none>" when GetToken reports it missing.
std::string Token(const char* text, int n) {
  char dest[1024];
  std::strcpy(dest, "untouched");
  if (!GetToken(dest, sizeof dest, text, n)) {
    EXPECT_STREQ(dest, "untouched") << "a missing token must leave the destination alone";
    return "<none>";
  }
  return dest;
}

TEST(CutAtLineEnd, EndsTextAtFirstCarriageReturnOrLineFeed) {
  EXPECT_EQ(Cut("isready\r\n"), "isready");
  EXPECT_EQ(Cut("GO\nSCORE 1\n"), "GO");
  EXPECT_EQ(Cut("a\rb\nc"), "a");
  EXPECT_EQ(Cut("no terminator"), "no terminator");
  EXPECT_EQ(Cut("\r\nGO"), "");
  EXPECT_EQ(Cut(""), "");
}

TEST(GetToken, SplitsOnRunsOfSpacesOnly) {
  EXPECT_EQ(Token("   GO", 0), "GO");
  EXPECT_EQ(Token("SETSTATE   5  2", 1), "5");
  EXPECT_EQ(Token("SETSTATE   5  2", 2), "2");
  EXPECT_EQ(Token("SETSTATE   5  2", 3), "<none>");
  // A tab is part of the token it stands in.
  EXPECT_EQ(Token("GO\t", 0), "GO\t");
  EXPECT_EQ(Token("a\tb c", 0), "a\tb");
}

TEST(GetToken, TrailingSpacesGiveOneMoreEmptyToken) {
  EXPECT_EQ(Token("POSITION 1 2 ", 2), "2");
  EXPECT_EQ(Token("POSITION 1 2 ", 3), "");
  EXPECT_EQ(Token("POSITION 1 2 ", 4), "<none>");
  EXPECT_EQ(Token("POSITION 1 2    ", 3), "");
  EXPECT_EQ(Token("POSITION 1 2    ", 4), "<none>");
}

TEST(GetToken, EmptyOrBlankTextHasOnlyAnEmptyCommandWord) {
  EXPECT_EQ(Token("", 0), "");
  EXPECT_EQ(Token("", 1), "<none>");
  EXPECT_EQ(Token("     ", 0), "");
  EXPECT_EQ(Token("     ", 1), "<none>");
}

TEST(GetToken, CutsATokenThatDoesNotFitTheDestination) {
  char dest[4];
  ASSERT_TRUE(GetToken(dest, sizeof dest, "ABCDEFG H", 0));
  EXPECT_STREQ(dest, "ABC");
  ASSERT_TRUE(GetToken(dest, sizeof dest, "ABCDEFG H", 1));
  EXPECT_STREQ(dest, "H");
}

TEST(ParseReal, FollowsTheAtofRules) {
  EXPECT_FLOAT_EQ(ParseReal("2.375"), 2.375f);
  EXPECT_FLOAT_EQ(ParseReal("2.375m"), 2.375f);
  EXPECT_FLOAT_EQ(ParseReal("-1.5e1"), -15.0f);
  EXPECT_FLOAT_EQ(ParseReal("\t 3"), 3.0f);
  EXPECT_EQ(ParseReal("abc"), 0.0f);
  EXPECT_EQ(ParseReal(""), 0.0f);
  EXPECT_EQ(ParseReal("1,5"), 1.0f);  // the point is the only decimal separator
  // Stored rounded to the nearest float.
  EXPECT_EQ(ParseReal("4.88"), 4.88f);
  EXPECT_TRUE(std::isinf(ParseReal("1e999")));
}

TEST(ParseInt, FollowsTheAtoiRulesAndSaturates) {
  EXPECT_EQ(ParseInt("5"), 5);
  EXPECT_EQ(ParseInt("1.9"), 1);
  EXPECT_EQ(ParseInt("-2"), -2);
  EXPECT_EQ(ParseInt(" +7x"), 7);
  EXPECT_EQ(ParseInt("abc"), 0);
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("99999999999"), 2147483647);
  EXPECT_EQ(ParseInt("-99999999999"), -2147483647 - 1);
}

TEST(MatchesKeyword, IgnoresAsciiCaseButNeedsTheWholeWord) {
  EXPECT_TRUE(MatchesKeyword("GO", "GO"));
  EXPECT_TRUE(MatchesKeyword("go", "GO"));
  EXPECT_TRUE(MatchesKeyword("gO", "GO"));
  EXPECT_TRUE(MatchesKeyword("isReady", "ISREADY"));
  EXPECT_FALSE(MatchesKeyword("GOX", "GO"));
  EXPECT_FALSE(MatchesKeyword("G", "GO"));
  EXPECT_FALSE(MatchesKeyword("GO\t", "GO"));
  EXPECT_FALSE(MatchesKeyword("", "GO"));
}

}  // namespace
