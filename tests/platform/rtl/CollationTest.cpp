#include "platform/rtl/Collation.h"

#include <random>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Locale.h"

using namespace win;

namespace {

constexpr LCID kUserLocale = 0x0400;

std::vector<AnsiString> SortedBy(std::vector<AnsiString> words, Integer (*cmp)(std::string_view, std::string_view)) {
  std::stable_sort(words.begin(), words.end(), [&](const AnsiString& a, const AnsiString& b) { return cmp(a, b) < 0; });
  return words;
}

}  // namespace

TEST(Collation, MixedWordListSortsByLetterThenAccentThenCase) {
  // Listed in the expected order.
  const std::vector<AnsiString> expected = {
      " lead",          // blank first
      "-dash",          // punctuation
      "'quote",
      "(paren",
      "$dollar",
      "007",            // digits before letters
      "1st",
      "\xB9st",         // ¹st: the superscript is an accented 1
      "2nd",
      "a",
      "A",
      "\xE0",           // à
      "\xC0",           // À
      "ab",             // a longer string after its prefix
      "\xE6on",         // æ after every a
      "cote",
      "Cote",
      "cot\xE9",        // coté: accent on the last letter
      "c\xF4te",        // côte: accent earlier, but only the first accent difference counts
      "c\xF4t\xE9",
      "C\xF4t\xE9",
      "resume",
      "r\xE9sum\xE9",
      "R\xE9sum\xE9",
      "\x9A" "aba",     // šaba: s with caron, before "sb"
      "sb",
      "stra\xDF" "e",   // ß after every s
      "zebra",
      "\xDEorn",        // Þorn after z
  };
  std::vector<AnsiString> shuffled = expected;
  std::mt19937 rng(7);
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  EXPECT_EQ(SortedBy(shuffled, AnsiCompareStr), expected);

  // Ignoring case keeps the order of everything but the case pairs.
  for (std::size_t i = 0; i + 1 < expected.size(); ++i)
    EXPECT_LE(AnsiCompareText(expected[i], expected[i + 1]), 0) << expected[i] << " / " << expected[i + 1];
}

TEST(Collation, EqualOnlyWhenTheBytesAreEqual) {
  EXPECT_EQ(CompareStringA(kUserLocale, 0, "abc", -1, "abc", 3), CSTR_EQUAL);
  EXPECT_EQ(CompareStringA(kUserLocale, 0, "abc", -1, "ABC", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(kUserLocale, NORM_IGNORECASE, "abc", -1, "ABC", -1), CSTR_EQUAL);
  // Different bytes of equal weight on two levels still differ.
  EXPECT_EQ(CompareStringA(kUserLocale, NORM_IGNORECASE, "e", -1, "\xE9", -1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(kUserLocale, NORM_IGNORECASE, "\xFF", -1, "\x9F", -1), CSTR_EQUAL);  // ÿ Ÿ
  EXPECT_EQ(CompareStringA(kUserLocale, NORM_IGNORECASE, "\xDF", -1, "SS", -1), CSTR_GREATER_THAN);

  // Over every pair of single bytes: equal exactly when the bytes (or their
  // upper cases) are, and the order is a total one.
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      char x = static_cast<char>(a), y = static_cast<char>(b);
      int r = CompareStringA(kUserLocale, 0, &x, 1, &y, 1);
      EXPECT_EQ(r == CSTR_EQUAL, a == b);
      EXPECT_EQ(CompareStringA(kUserLocale, 0, &y, 1, &x, 1), 4 - r);
      int ri = CompareStringA(kUserLocale, NORM_IGNORECASE, &x, 1, &y, 1);
      EXPECT_EQ(ri == CSTR_EQUAL, AnsiUpperChar(x) == AnsiUpperChar(y)) << a << " " << b;
    }

  // Embedded zeros are ordinary bytes when the length is given.
  EXPECT_EQ(CompareStringA(kUserLocale, 0, "a\0b", 3, "a\0c", 3), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(kUserLocale, 0, "", 0, nullptr, 0), CSTR_EQUAL);
}

TEST(Collation, BadArgumentsAnswerZeroWithTheReason) {
  SetLastError(0);
  EXPECT_EQ(CompareStringA(kUserLocale, 0x10, "a", 1, "b", 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  EXPECT_EQ(CompareStringA(kUserLocale, 0, nullptr, 2, "b", 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Collation, AnsiHelpersUse1252AndOrdinalHelpersStayAscii) {
  EXPECT_EQ(AnsiUpperCase("stra\xDF" "e \xE9t\xE9 \xFF"), "STRA\xDF" "E \xC9T\xC9 \x9F");
  EXPECT_EQ(AnsiLowerCase("\xC9T\xC9 \x8A"), "\xE9t\xE9 \x9A");
  EXPECT_EQ(UpperCase("\xE9t\xE9"), "\xE9T\xE9");
  EXPECT_EQ(LowerCase("\xC9T\xC9"), "\xC9t\xC9");

  EXPECT_TRUE(AnsiSameText("\xC9T\xC9", "\xE9t\xE9"));
  EXPECT_FALSE(SameText("\xC9T\xC9", "\xE9t\xE9"));
  EXPECT_TRUE(SameText("Hello", "hELLO"));
  EXPECT_FALSE(AnsiSameStr("a", "A"));

  // Ordinal: byte differences, and lengths after a common prefix.
  EXPECT_EQ(CompareStr("b", "a"), 1);
  EXPECT_EQ(CompareStr("a", "B"), 'a' - 'B');
  EXPECT_EQ(CompareStr("\xE9", "f"), 0xE9 - 'f');  // unsigned bytes
  EXPECT_EQ(CompareStr("abc", "ab"), 1);
  EXPECT_EQ(CompareText("abc", "ABD"), 'C' - 'D');
  EXPECT_EQ(CompareText("_", "a"), '_' - 'A');  // compared as upper case
  EXPECT_LT(AnsiCompareText("_", "a"), 0);
  EXPECT_EQ(AnsiCompareStr("b", "\xC1"), 1);     // b after Á
  EXPECT_EQ(AnsiCompareText("\xC1", "a"), 1);    // Á after a
}
