#include "platform/rtl/CodePage.h"

#include "platform/rtl/Locale.h"

using namespace win;

namespace {

AnsiString AllBytes() {
  AnsiString s(256, '\0');
  for (int i = 0; i < 256; ++i) s[i] = static_cast<char>(i);
  return s;
}

}  // namespace

TEST(CodePage, EveryByteRoundTripsThroughUtf16AndUtf8) {
  const AnsiString all = AllBytes();

  WideString wide = AnsiToWide(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(wide[0x80], u'\u20AC');
  EXPECT_EQ(wide[0x9F], u'\u0178');
  for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(wide[b], static_cast<char16_t>(b)) << b;
  EXPECT_EQ(WideToAnsi(wide), all);

  std::string utf8 = AnsiToUtf8(all);
  EXPECT_EQ(Utf8ToAnsi(utf8), all);
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(AnsiToUtf8("\xE9"), "\xC3\xA9");

  // The same through the API, with the terminating zero counted.
  std::vector<char16_t> wbuf(300);
  int n = MultiByteToWideChar(CP_ACP, 0, all.data(), 256, wbuf.data(), 300);
  ASSERT_EQ(n, 256);
  std::vector<char> back(300);
  BOOL usedDefault = TRUE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wbuf.data(), n, back.data(), 300, nullptr, &usedDefault), 256);
  EXPECT_FALSE(usedDefault);
  EXPECT_EQ(AnsiString(back.data(), 256), all);

  int u8len = WideCharToMultiByte(CP_UTF8, 0, wbuf.data(), n, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(u8len, static_cast<int>(utf8.size()));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wbuf.data(), 300), 256);
  EXPECT_EQ(WideString(wbuf.data(), 256), wide);
  EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePage, CharactersOutside1252BecomeTheDefaultCharacter) {
  EXPECT_EQ(WideToAnsi(u"A\u0100B\u0080"), "A?B?");  // Ā; U+0080 is not the euro's byte
  EXPECT_EQ(WideToAnsi(u"x\U0001F600y"), "x?y");       // one character, one '?'
  EXPECT_EQ(WideToAnsi(u"\xD800z"), "?z");               // lone surrogate
  EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE4\xB8\xAD"), "caf\xE9 ?");

  char out[8] = {};
  BOOL used = FALSE;
  const char16_t text[] = u"\u4E2D\u20AC";
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 2, out, 8, "#", &used), 2);
  EXPECT_EQ(AnsiString(out, 2), "#\x80");
  EXPECT_TRUE(used);
}

TEST(CodePage, MalformedUtf8IsReplacedOncePerBadSequence) {
  // Overlong '/', a surrogate, a truncated sequence at the end, a stray
  // continuation byte.
  const std::string bad = "a\xC0\xAF" "b\xED\xA0\x80" "c\x80" "d\xE2\x82";
  WideString w(16, u'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, bad.data(), static_cast<int>(bad.size()), w.data(), 16);
  w.resize(n);
  EXPECT_EQ(w, u"a\uFFFD\uFFFDb\uFFFD\uFFFD\uFFFDc\uFFFDd\uFFFD");
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad.data(), -1, w.data(), 16), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);

  // A character beyond the basic plane becomes a surrogate pair and back.
  const char emoji[] = "\xF0\x9F\x98\x80";
  char16_t pair[2];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, emoji, 4, pair, 2), 2);
  EXPECT_EQ(pair[0], 0xD83D);
  EXPECT_EQ(pair[1], 0xDE00);
  char again[4];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, pair, 2, again, 4, nullptr, nullptr), 4);
  EXPECT_EQ(std::string(again, 4), emoji);
}

TEST(CodePage, ApiReportsSizesAndRefusesBadArguments) {
  // -1 counts the terminating zero; a size of 0 asks for the length.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
  char16_t small[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, small, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", -1, nullptr, 0, nullptr, nullptr), 4);
  char two[2];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", 1, two, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 3, small, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, small, 2), 0);
  EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, small, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  BOOL used;
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, two, 2, nullptr, &used), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", 1, two, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

TEST(CodePage, CaseTablesMapEveryLetterPair) {
  const AnsiString lower = "abcxyz\xE0\xE9\xF6\xF8\xFE\x9A\x9C\x9E\xFF";  // à é ö ø þ š œ ž ÿ
  const AnsiString upper = "ABCXYZ\xC0\xC9\xD6\xD8\xDE\x8A\x8C\x8E\x9F";  // À É Ö Ø Þ Š Œ Ž Ÿ
  AnsiString s = lower;
  EXPECT_EQ(CharUpperBuffA(s.data(), static_cast<DWORD>(s.size())), s.size());
  EXPECT_EQ(s, upper);
  EXPECT_EQ(CharLowerBuffA(s.data(), static_cast<DWORD>(s.size())), s.size());
  EXPECT_EQ(s, lower);

  // Every byte: upper and lower are inverse on letters and identity elsewhere.
  int pairs = 0;
  for (int b = 0; b < 256; ++b) {
    char c = static_cast<char>(b);
    char u = AnsiUpperChar(c), l = AnsiLowerChar(c);
    if (u != c) {
      ++pairs;
      EXPECT_TRUE(IsCharLowerA(c)) << b;
      EXPECT_TRUE(IsCharUpperA(u)) << b;
      EXPECT_EQ(AnsiLowerChar(u), c) << b;
    }
    if (l != c) {
      EXPECT_EQ(AnsiUpperChar(l), c) << b;
    }
    if (!IsCharAlphaA(c)) {
      EXPECT_TRUE(u == c && l == c) << b;
    }
  }
  EXPECT_EQ(pairs, 26 + 30 + 4);  // ASCII, à..þ less ÷, and š œ ž ÿ

  // No case partner in 1252: ß, µ, ÷, ×, ª, º.
  for (char c : {'\xDF', '\xB5', '\xF7', '\xD7', '\xAA', '\xBA'}) {
    EXPECT_EQ(AnsiUpperChar(c), c);
    EXPECT_EQ(AnsiLowerChar(c), c);
  }
  EXPECT_TRUE(IsCharLowerA('\xDF'));
  EXPECT_TRUE(IsCharAlphaA('\xAA'));
  EXPECT_FALSE(IsCharUpperA('\xAA') || IsCharLowerA('\xAA'));
  EXPECT_FALSE(IsCharAlphaA('\xD7'));
  EXPECT_FALSE(IsCharAlphaA('5'));
  EXPECT_TRUE(IsCharAlphaNumericA('5'));
  EXPECT_FALSE(IsCharAlphaNumericA('_'));
}

TEST(CodePage, SingleCharacterFormsAndByteStepping) {
  char text[] = "\xE9t\xE9";
  EXPECT_EQ(CharUpperA(text), text);
  EXPECT_STREQ(text, "\xC9T\xC9");
  // A character carried in the pointer value comes back the same way.
  auto asChar = [](LPSTR p) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(p)); };
  EXPECT_EQ(asChar(CharUpperA(reinterpret_cast<LPSTR>(std::uintptr_t{0xFF}))), 0x9F);
  EXPECT_EQ(asChar(CharLowerA(reinterpret_cast<LPSTR>(std::uintptr_t{'Q'}))), 'q');

  const char* s = "ab";
  EXPECT_EQ(CharNextA(s), s + 1);
  EXPECT_EQ(CharNextA(s + 2), s + 2);
  for (int b = 0; b < 256; ++b) EXPECT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(b)));
}
