#include "library/editors/core/cxStandardMask.h"

#include "platform/rtl/Locale.h"

using namespace cxStandardMask;

namespace {

AnsiString Formatted(const TcxStandardMask& m, AnsiString text, bool applyCase = true, bool hasLiterals = true) {
  m.Format(text, applyCase, hasLiterals);
  return text;
}

AnsiString Describe(const TcxStandardMask& m) {
  AnsiString s;
  for (int i = 0; i < m.GetCount(); ++i) {
    auto* item = m.GetItems(i);
    if (item->IsLiteral())
      s += AnsiString("'") + static_cast<TcxStandardMaskLiteralItem*>(item)->GetLiteral() + "'";
    else if (item->Is<TcxStandardMaskNumericSymbolItem>())
      s += "#";
    else if (item->Is<TcxStandardMaskNumericItem>())
      s += static_cast<TcxStandardMaskManyItem*>(item)->GetOptional() ? "9" : "0";
    else
      s += "?";
  }
  return s;
}

}  // namespace

TEST(StandardMask, PhoneMaskCompilesToPositionsWithTrailer) {
  TcxStandardMask m;
  m.Compile("!(999) 000-0000;1;_");
  EXPECT_EQ(m.GetCount(), 14);
  EXPECT_EQ(Describe(m), "'('999')'' '000'-'0000");
  EXPECT_EQ(m.GetBlank(), '_');
  EXPECT_TRUE(m.GetRightToLeft());
  EXPECT_TRUE(m.GetSaveLiteralCharacters());
  EXPECT_EQ(m.GetFullEmptyString(), "(___) ___-____");
  EXPECT_EQ(m.GetEmptyString(), "(   )    -    ");
  // Right to left: a short text fills the mask from its end.
  EXPECT_EQ(Formatted(m, "5551234"), "(___) 555-1234");
}

TEST(StandardMask, TrailerOnlyAsTheExactTail) {
  TcxStandardMask m;
  m.Compile("99;1;");
  EXPECT_EQ(Describe(m), "99';''1'';'");
  EXPECT_EQ(m.GetBlank(), '_');

  m.Compile("99;1;*");
  EXPECT_EQ(Describe(m), "99");
  EXPECT_EQ(m.GetBlank(), '*');
  EXPECT_EQ(m.GetFullEmptyString(), "**");

  m.Compile("00;0");
  EXPECT_FALSE(m.GetSaveLiteralCharacters());
  m.Compile("00;2");
  EXPECT_EQ(Describe(m), "00';''2'");
  EXPECT_TRUE(m.GetSaveLiteralCharacters());

  // A trailing backslash escapes nothing; an inner one makes a literal.
  m.Compile("0\\");
  EXPECT_EQ(Describe(m), "0");
  m.Compile("\\0\\!!");
  EXPECT_EQ(Describe(m), "'0''!''!'");
  EXPECT_FALSE(m.GetRightToLeft());

  EXPECT_EQ(MaskBlank("0;1;#"), '#');
  EXPECT_FALSE(SaveLiteralChars("0-0;0;_"));
}

TEST(StandardMask, ClearRestoresDefaults) {
  TcxStandardMask m;
  m.Compile("!00;0;*");
  m.Clear();
  EXPECT_EQ(m.GetCount(), 0);
  EXPECT_EQ(m.GetBlank(), '_');
  EXPECT_FALSE(m.GetRightToLeft());
  EXPECT_TRUE(m.GetSaveLiteralCharacters());
  EXPECT_EQ(m.GetMask(), "");
}

TEST(StandardMask, EmptyMask) {
  TcxStandardMask m;
  m.Compile("");
  EXPECT_EQ(m.GetCount(), 0);
  EXPECT_EQ(Formatted(m, "abc"), "");
  AnsiString empty, some = "x";
  EXPECT_TRUE(m.IsValid(empty));
  EXPECT_TRUE(m.IsFullValid(empty));
  EXPECT_FALSE(m.IsValid(some));
}

TEST(StandardMask, SeparatorsComeFromTheLocaleAtCompileTime) {
  TcxStandardMask m;
  {
    ScopedLocale de("de-DE");
    m.Compile("00/00 00:00");
  }
  EXPECT_EQ(m.GetFullEmptyString(), "__.__ __:__");
  ScopedLocale us("en-US");
  EXPECT_EQ(m.GetFullEmptyString(), "__.__ __:__");  // compiled masks keep theirs
  m.Compile("00/00");
  EXPECT_EQ(m.GetFullEmptyString(), "__/__");
}

TEST(StandardMask, FillDirectionAndCase) {
  TcxStandardMask m;
  m.Compile("!99");
  EXPECT_EQ(Formatted(m, "5"), "_5");
  m.Compile("99");
  EXPECT_EQ(Formatted(m, "5"), "5_");

  m.Compile(">LL<>LL<LL");
  EXPECT_EQ(Formatted(m, "abcdEF"), "ABcdef");
  // Without applying the case the typed characters stay as they were.
  EXPECT_EQ(Formatted(m, "abcdEF", false), "abcdEF");
  EXPECT_EQ(FormatText("ab", ">LL"), "AB");
}

TEST(StandardMask, FormatSkipsRefusedCharactersAndKeepsBlanks) {
  TcxStandardMask m;
  m.Compile("00-00");
  // 'x' fits nowhere and is dropped; the literal is matched where typed.
  EXPECT_EQ(Formatted(m, "1x2-34"), "12-34");
  // A blank leaves its position blank and moves on.
  EXPECT_EQ(Formatted(m, "1 -34"), "1_-34");
  // Text without literals skips the literal positions when they are not saved.
  m.Compile("00-00;0;_");
  EXPECT_EQ(Formatted(m, "1234", true, false), "12-34");
  // Extra characters beyond the mask are dropped.
  m.Compile("00");
  EXPECT_EQ(Formatted(m, "12345"), "12");
  EXPECT_EQ(FormatText("1", "00", '*'), "1*");
}

TEST(StandardMask, Format2GivesTheEditValue) {
  TcxStandardMask m;
  m.Compile("(000)_00;1;*");
  AnsiString t = "(1*2)_3*";
  m.Format2(t);
  EXPECT_EQ(t, "(1 2)_3 ");
  m.Compile("(000)00;0;*");
  t = "(1*2)3*";
  m.Format2(t);
  EXPECT_EQ(t, "1 23 ");
  EXPECT_EQ(EmptyString("(00);0;_"), "  ");
  EXPECT_EQ(EmptyString("(00);1;_", '*'), "(  )");
}

TEST(StandardMask, ValidityOfPartialAndFullTexts) {
  TcxStandardMask m;
  m.Compile("0-9;1;_");
  AnsiString t = "1-_";
  EXPECT_TRUE(m.IsValid(t));
  t = "1-_";
  EXPECT_TRUE(m.IsFullValid(t)) << "an optional position may stay blank";
  t = "_-5";
  EXPECT_TRUE(m.IsValid(t));
  t = "_-5";
  EXPECT_FALSE(m.IsFullValid(t)) << "a required position may not";
  t = "1- ";
  EXPECT_TRUE(m.IsFullValid(t)) << "a space counts like the blank";
  t = "1x5";
  EXPECT_FALSE(m.IsValid(t)) << "a literal position must hold its literal";
  t = "1-";
  EXPECT_FALSE(m.IsFullValid(t));
  t = "1-55";
  EXPECT_FALSE(m.IsValid(t));

  m.Compile(">L#");
  t = "a+";
  EXPECT_TRUE(m.IsFullValid(t));
  EXPECT_EQ(t, "A+") << "the check converts the case in place";
  EXPECT_TRUE(IsTextValid("a", "LL"));
  EXPECT_FALSE(IsTextFullValid("a", "LL"));
  EXPECT_TRUE(IsTextFullValid("a ", "Ll"));
}

TEST(StandardMask, CharacterClassesArePlainAscii) {
  struct Case {
    const char* mask;
    const char* accepted;
    const char* refused;
  } cases[] = {
      {"0", "09", "a+ \xE9"},
      {"#", "09+-", "a\xE9"},
      {"L", "azAZ", "0_\xE9"},
      {"A", "az09", "_-\xE9"},
      {"C", "a0 \xE9~", ""},
  };
  for (const auto& c : cases) {
    for (const char* p = c.accepted; *p; ++p)
      EXPECT_TRUE(IsTextFullValid(AnsiString(1, *p), c.mask)) << c.mask << " " << *p;
    for (const char* p = c.refused; *p; ++p)
      EXPECT_FALSE(IsTextFullValid(AnsiString(1, *p), c.mask)) << c.mask << " " << *p;
  }
}
