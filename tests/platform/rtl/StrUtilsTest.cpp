#include "platform/rtl/StrUtils.h"

TEST(PascalStrings, PositionsAreOneBasedAndClamped) {
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("x", "hello"), 0);
  EXPECT_EQ(Pos("", "hello"), 0);
  EXPECT_EQ(Copy("hello", 2, 3), "ell");
  EXPECT_EQ(Copy("hello", 0, 2), "he");
  EXPECT_EQ(Copy("hello", 4, 100), "lo");
  EXPECT_EQ(Copy("hello", 6, 1), "");
  EXPECT_EQ(Copy("hello", 2, -1), "");
  EXPECT_EQ(Copy("hello", 2, 0x7FFFFFFF), "ello");  // no overflow at the end of the range
  AnsiString s = "hello";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "hlo");
  Delete(s, 0, 5);
  Delete(s, 4, 1);
  EXPECT_EQ(s, "hlo");
  Delete(s, 2, 100);
  EXPECT_EQ(s, "h");
  Insert("ey", s, 2);
  EXPECT_EQ(s, "hey");
  Insert("<", s, -3);
  Insert(">", s, 99);
  EXPECT_EQ(s, "<hey>");
  EXPECT_EQ(LastDelimiter("/.", "dir/file.ext"), 9);
  EXPECT_EQ(LastDelimiter("\\", "dir/file"), 0);
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -3), "");
}

TEST(PascalStrings, TrimmingControlCharacters) {
  EXPECT_EQ(Trim("\t\r\n  a b \x01"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \n"), "  a");
  EXPECT_EQ(Trim(" \xA0x\xA0 "), "\xA0x\xA0");  // a no-break space is not a blank here
  EXPECT_EQ(Trim("   "), "");
}

TEST(PascalStrings, ReplacingWithFlags) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", {rfReplaceAll}), "a+b+c");
  EXPECT_EQ(StringReplace("Abc aBC", "abc", "x", {rfReplaceAll, rfIgnoreCase}), "x x");
  EXPECT_EQ(StringReplace("\xC4rger \xE4rger", "\xE4rger", "*", {rfReplaceAll, rfIgnoreCase}), "* *");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", {rfReplaceAll}), "aaaaaa");  // replacements are not searched again
  EXPECT_EQ(StringReplace("abc", "", "x", {rfReplaceAll}), "abc");       // an empty pattern never loops
}

TEST(PascalStrings, QuotingAndIdentifiers) {
  EXPECT_EQ(QuotedStr("It's"), "'It''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  EXPECT_TRUE(IsValidIdent("_Row1"));
  EXPECT_FALSE(IsValidIdent("1Row"));
  EXPECT_FALSE(IsValidIdent("Row.Name"));
  EXPECT_FALSE(IsValidIdent(""));
  EXPECT_FALSE(IsValidIdent("R\xE9sum\xE9"));
}
