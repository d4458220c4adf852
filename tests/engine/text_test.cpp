// The byte-level text routines, where a server's odd spacing, line ends and
// number formats would otherwise turn into wrong state.
#include "app/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

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

TEST(Text, LineEndsAndTokens) {
  const struct {
    const char* text;
    const char* cut;
  } lines[] = {{"isready\r\n", "isready"},
               {"GO\nSCORE 1\n", "GO"},
               {"no terminator", "no terminator"},
               {"\r\nGO", ""}};
  for (const auto& l : lines) {
    std::string text = l.text;
    CutAtLineEnd(text.data());
    EXPECT_STREQ(text.c_str(), l.cut) << l.text;
  }
  // Only spaces separate, and trailing spaces leave one empty token.
  const struct {
    const char* text;
    int n;
    const char* token;
  } tokens[] = {{"   GO", 0, "GO"},
                {"\tGO", 0, "\tGO"},
                {"SETSTATE   5  2", 3, "<none>"},
                {"POSITION 1 2    ", 3, ""},
                {"POSITION 1 2    ", 4, "<none>"},
                {"     ", 0, ""},
                {"", 1, "<none>"}};
  for (const auto& t : tokens) EXPECT_EQ(Token(t.text, t.n), t.token) << t.text << " " << t.n;
}

TEST(Text, NumbersFollowAtofAndAtoi) {
  EXPECT_EQ(ParseReal("2.375m"), 2.375f);
  EXPECT_EQ(ParseReal("\t -1.5e1"), -15.0f);
  EXPECT_EQ(ParseReal("1,5"), 1.0f);
  EXPECT_EQ(ParseReal("abc"), 0.0f);
  EXPECT_EQ(ParseReal("4.88"), 4.88f);  // rounded once, to the nearest float
  EXPECT_TRUE(std::isinf(ParseReal("1e999")));
  EXPECT_EQ(ParseInt("1.9"), 1);
  EXPECT_EQ(ParseInt(" +7x"), 7);
  EXPECT_EQ(ParseInt("abc"), 0);
  EXPECT_EQ(ParseInt("99999999999"), 2147483647);
  EXPECT_EQ(ParseInt("-99999999999"), -2147483647 - 1);
}

TEST(Text, CommandWordsIgnoreAsciiCaseButNeedTheWholeWord) {
  EXPECT_TRUE(MatchesKeyword("isReady", "ISREADY"));
  EXPECT_TRUE(MatchesKeyword("go", "GO"));
  for (const char* word : {"GOX", "G", "GO\t", ""})
    EXPECT_FALSE(MatchesKeyword(word, "GO")) << word;
}

}  // namespace
