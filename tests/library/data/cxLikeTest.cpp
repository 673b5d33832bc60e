#include "library/data/cxLike.h"

#include <gtest/gtest.h>

TEST(LikeStr, WildcardsMatchAsTheFilterRowShowsThem) {
  EXPECT_TRUE(LikeStr("", "%"));
  EXPECT_TRUE(LikeStr("anything", "%"));
  EXPECT_TRUE(LikeStr("", ""));
  EXPECT_FALSE(LikeStr("a", ""));
  EXPECT_TRUE(LikeStr("abc", "a_c"));
  EXPECT_FALSE(LikeStr("ac", "a_c"));
  EXPECT_FALSE(LikeStr("abcd", "a_c"));
  EXPECT_TRUE(LikeStr("c", "%c"));
  EXPECT_TRUE(LikeStr("abc", "%c"));
  EXPECT_TRUE(LikeStr("a", "a%"));
  EXPECT_TRUE(LikeStr("xxabcxx", "%abc%"));
  EXPECT_FALSE(LikeStr("xxabxcxx", "%abc%"));
  EXPECT_TRUE(LikeStr("mississippi", "m%iss%pi"));
  EXPECT_FALSE(LikeStr("abc", "ABC"));
}

TEST(LikeStr, PercentFollowedByMorePatternNeedsACharacter) {
  EXPECT_FALSE(LikeStr("", "%%"));
  EXPECT_TRUE(LikeStr("x", "%%"));
  EXPECT_FALSE(LikeStr("a", "a%%"));
  EXPECT_TRUE(LikeStr("ab", "a%%"));
  EXPECT_TRUE(LikeStr("ab", "%%b"));
  EXPECT_TRUE(LikeStr("b", "%%b"));
  EXPECT_FALSE(LikeStr("a", "a%%%"));
}

TEST(LikeStr, CallerChosenWildcards) {
  EXPECT_TRUE(LikeStr("50%", "50*", '*', '?'));
  EXPECT_TRUE(LikeStr("a_c", "a?c", '*', '?'));
  EXPECT_FALSE(LikeStr("abc", "a_c", '*', '?'));
  EXPECT_TRUE(LikeStr("a_c", "a_c", '*', '?'));
}

TEST(LikeStr, ManyPercentsAgainstALongTextStayFast) {
  // A backtracking matcher takes exponential time here; this one answers
  // in a few hundred thousand steps.
  std::string text(20000, 'a');
  EXPECT_FALSE(LikeStr(text, "%a%a%a%a%a%a%a%a%a%a%b"));
  EXPECT_TRUE(LikeStr(text + "b", "%a%a%a%a%a%a%a%a%a%a%b"));
}

TEST(LikeOperatorByPattern, ShapesAndStrippedPatterns) {
  struct Case {
    const char* pattern;
    cxLike::TcxFilterLikeOperator op;
    const char* rest;
  } cases[] = {
      {"%ab%", floContains, "ab"},  {"%%ab", floEndsWith, "ab"}, {"ab%", floBeginsWith, "ab"},
      {"a%b", floLike, "a%b"},      {"%", floLike, "%"},         {"%%", floLike, "%"},
      {"a%%%b", floLike, "a%b"},    {"ab", floLike, "ab"},
  };
  for (const auto& c : cases) {
    AnsiString p = c.pattern;
    EXPECT_EQ(LikeOperatorByPattern(p), c.op) << c.pattern;
    EXPECT_EQ(p, c.rest) << c.pattern;
  }
}
