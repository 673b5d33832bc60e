#include "library/editors/core/cxRegExpr.h"

#include "platform/rtl/Locale.h"

namespace {

void CompileText(TcxRegExpr& re, const AnsiString& pattern) {
  TStringStream source(pattern);
  re.Compile(&source);
}

// The full messages of a failing compile, one per line.
AnsiString Errors(const AnsiString& pattern) {
  TcxRegExpr re;
  try {
    CompileText(re, pattern);
  } catch (const EcxRegExprError& e) {
    AnsiString s;
    for (int i = 0; i < e.GetErrors().Count(); ++i) s += (i ? "\n" : "") + e.GetErrors().Items(i).GetFullMessage();
    EXPECT_FALSE(re.IsCompiled());
    return s;
  }
  return "compiled";
}

bool Full(const AnsiString& text, const AnsiString& mask) { return cxRegExpr::IsTextFullValid(text, mask); }
bool Prefix(const AnsiString& text, const AnsiString& mask) { return cxRegExpr::IsTextValid(text, mask); }

}  // namespace

TEST(RegExprCompile, BlanksOutsideQuotesAreIgnored) {
  EXPECT_TRUE(Full("ab", "a b"));
  EXPECT_FALSE(Full("a b", "a b"));
  EXPECT_TRUE(Full("a b", "a' 'b"));
  EXPECT_TRUE(Full("it's", "'it''s'"));
  EXPECT_TRUE(Full("ab", "a\r\n\tb"));
}

TEST(RegExprCompile, ClassesAndRanges) {
  EXPECT_TRUE(Full("a", "[a-]"));
  EXPECT_TRUE(Full("-", "[a-]"));
  EXPECT_TRUE(Full("-", "[-a]"));
  EXPECT_TRUE(Full("a", "[-a]"));
  EXPECT_FALSE(Full("b", "[-a]"));
  EXPECT_TRUE(Full("x", "[^0-9]"));
  EXPECT_FALSE(Full("5", "[^0-9]"));
  EXPECT_TRUE(Full("q", "[a-cx-z\\d q]"));
  EXPECT_TRUE(Full("7", "[a-cx-z\\d q]"));
  EXPECT_FALSE(Full(" ", "[a-cx-z\\d q]")) << "blanks inside brackets are skipped too";
  const char* order = "The starting character of the subrange must be less than the finishing one";
  EXPECT_EQ(Errors("[a-a]"), AnsiString("Line1, Char4: ") + order);
  EXPECT_EQ(Errors("[z-a]"), AnsiString("Line1, Char4: ") + order);
  EXPECT_EQ(Errors("[]"), "Line1, Char2: Can't create empty enumeration");
  EXPECT_EQ(Errors("[a"), "Line1, Char3: Missing ']'");
  EXPECT_EQ(Errors("[a-b-c]"), "Line1, Char5: Illegal '-'");
}

TEST(RegExprCompile, Escapes) {
  EXPECT_TRUE(Full("A", "\\x41"));
  EXPECT_EQ(Errors("\\x4"), "Line1, Char4: Hexadecimal number expected");
  EXPECT_EQ(Errors("ab\\xG1"), "Line1, Char5: Hexadecimal number expected but 'G' found");
  EXPECT_EQ(Errors("a\\ b"), "Line1, Char3: The space character is not allowed after '\\'");
  EXPECT_TRUE(Full("0", "\\0"));
  EXPECT_TRUE(Full("*", "\\*"));
  EXPECT_TRUE(Full("a_9", "\\w\\w\\w"));
  EXPECT_FALSE(Full("-", "\\w"));
  EXPECT_TRUE(Full("-", "\\W"));
  EXPECT_TRUE(Full("\t", "\\s"));
  EXPECT_TRUE(Full("x", "\\S"));
  EXPECT_TRUE(Full("x", "\\D"));
  EXPECT_TRUE(Full("\x1B\a", "\\e\\a"));
  EXPECT_TRUE(Full("a", "a\\")) << "a backslash at the end stands for nothing";
  {
    ScopedLocale de("de-DE");
    EXPECT_TRUE(Full("1,5", "\\d\\p\\d"));
  }
  EXPECT_TRUE(Full("1.5", "\\d\\p\\d"));
}

TEST(RegExprCompile, GroupReferencesRepeatThePattern) {
  EXPECT_TRUE(Full("abab", "(ab)\\1"));
  EXPECT_TRUE(Full("12-34-56", "(\\d\\d)-\\1-\\1")) << "the pattern, not the matched text";
  EXPECT_EQ(Errors("\\1"), "Line1, Char1: Too big reference number");
  // A group replaced by its counted copies can still be referred to.
  EXPECT_TRUE(Full("ababab", "(ab){2}\\1"));
}

TEST(RegExprCompile, Quantifiers) {
  EXPECT_TRUE(Full("", "a{0,}"));
  EXPECT_TRUE(Full("aaaa", "a{0,}"));
  EXPECT_FALSE(Full("aa", "a{3}"));
  EXPECT_TRUE(Full("aaa", "a{3}"));
  for (int n = 0; n <= 5; ++n) EXPECT_EQ(Full(AnsiString(n, 'x'), "x{2,4}"), n >= 2 && n <= 4) << n;
  EXPECT_TRUE(Full("aaaaa", "a{2,}"));
  EXPECT_FALSE(Full("a", "a{2,}"));
  EXPECT_EQ(Errors("a{3,1}"), "Line1, Char6: Incorrect parameter quantifier");
  EXPECT_EQ(Errors("{2}"), "Line1, Char1: Incorrect parameter quantifier\nLine1, Char2: Illegal integer value\n"
                           "Line1, Char3: Illegal '}'");
  EXPECT_EQ(Errors("a?{2}"), "Line1, Char3: The parameter quantifier cannot be applied here");
  EXPECT_EQ(Errors("(a?)+"), "Line1, Char5: The '+' quantifier cannot be applied here");
  EXPECT_EQ(Errors("a*+"), "Line1, Char3: The '+' quantifier cannot be applied here");
  EXPECT_EQ(Errors("a?*"), "Line1, Char3: The '*' quantifier cannot be applied here");
  EXPECT_EQ(Errors("*a"), "Line1, Char1: Illegal quantifier '*'");
  EXPECT_EQ(Errors("a{x}"), "Line1, Char3: Illegal 'x'");
  EXPECT_EQ(Errors("a{1"), "Line1, Char4: Missing '}'");
  // A second quantifier applies to the quantified item as a whole.
  EXPECT_TRUE(Full("", "a+?"));
  EXPECT_TRUE(Full("aaa", "a+?"));
  EXPECT_TRUE(Full("xxxx", "(x)+*"));
  EXPECT_TRUE(Full("", "(x)+*"));
}

TEST(RegExprCompile, HugeCountsAreRefusedWithAClearError) {
  EXPECT_EQ(Errors("a{1000000}"),
            "Line1, Char2: The parameter quantifier makes the expression too large (at most 1000 copies)");
  EXPECT_EQ(Errors("(a{1000}){1000}"),
            "Line1, Char10: The parameter quantifier makes the expression too large (at most 1000 copies)");
  EXPECT_EQ(Full(AnsiString(1000, 'a'), "a{1000}"), true);
  // A count beyond the integer range is a conversion error.
  TcxRegExpr re;
  EXPECT_THROW(CompileText(re, "a{99999999999}"), EConvertError);
  EXPECT_FALSE(re.IsCompiled());
}

TEST(RegExprCompile, BracketsAndAlternatives) {
  EXPECT_EQ(Errors("(a"), "Missing ')'");
  EXPECT_EQ(Errors("a)"), "Unnecessary ')'");
  EXPECT_EQ(Errors("a|"), "The alternative should not be empty");
  EXPECT_EQ(Errors("|a"), "Line1, Char1: The alternative should not be empty");
  EXPECT_EQ(Errors("()"), "Line1, Char2: The block should not be empty");
  EXPECT_EQ(Errors(""), "The source stream is empty");
  EXPECT_EQ(Errors(" \t\r\n"), "The source stream is empty");
  EXPECT_EQ(Errors("'ab"), "Line1, Char4: Missing ' ' '");
  TcxRegExpr re;
  try {
    re.Compile(nullptr);
    FAIL();
  } catch (const EcxRegExprError& e) {
    EXPECT_EQ(e.GetErrors().Items(0).GetFullMessage(), "The source stream is not assigned");
  }
  EXPECT_TRUE(Full("b", "a|b|c"));
  EXPECT_TRUE(Full("bd", "(a|b)(c|d)"));
}

TEST(RegExprCompile, ErrorsCarryLineAndPosition) {
  // Errors of one phase are collected, each with its place.
  EXPECT_EQ(Errors("a\\ b\r\n\\xZ{q}"),
            "Line1, Char3: The space character is not allowed after '\\'\n"
            "Line2, Char3: Hexadecimal number expected but 'Z' found\n"
            "Line2, Char5: Illegal 'q'");
  TcxRegExprError e(1, 3, "text");
  EXPECT_EQ(e.GetFullMessage(), "Line1, Char3: text");
  EXPECT_EQ(TcxRegExprError(2, 0, "text").GetFullMessage(), "Line2: text");
  EXPECT_EQ(TcxRegExprError(0, 5, "text").GetFullMessage(), "text");
}

TEST(RegExprCompile, OptionalGroupAtTheEndAcceptsWithoutIt) {
  // A group whose contents can match nothing may be left out at the end
  // just as in the middle.
  EXPECT_TRUE(Full("x", "x(a?)"));
  EXPECT_TRUE(Full("xa", "x(a?)"));
  EXPECT_TRUE(Full("xy", "x(a?)y"));
  EXPECT_TRUE(Full("", "(a?)"));
  EXPECT_TRUE(Full("x", "x((a?)(b?))"));
  EXPECT_FALSE(Full("x", "x(a?b)"));
}

TEST(RegExprCompile, RecompileClearsThePrevious) {
  TcxRegExpr re;
  CompileText(re, "ab");
  EXPECT_THROW(CompileText(re, "("), EcxRegExprError);
  EXPECT_FALSE(re.IsCompiled());
  EXPECT_EQ(re.GetErrors().Count(), 1);
  CompileText(re, "cd");
  EXPECT_EQ(re.GetErrors().Count(), 0);
  char c = 'c';
  EXPECT_TRUE(re.Next(c));
  EXPECT_FALSE(re.Print().empty());
}

TEST(RegExprCompile, ExceptionOutlivesTheCompiler) {
  EcxRegExprError saved;
  {
    auto* re = New<TcxRegExpr>();
    try {
      CompileText(*re, "a|");
    } catch (const EcxRegExprError& e) {
      saved = e;
    }
    re->Free();
  }
  ASSERT_EQ(saved.GetErrors().Count(), 1);
  EXPECT_EQ(saved.GetErrors().Items(0).GetMessage(), "The alternative should not be empty");
  EXPECT_STREQ(saved.what(), "The alternative should not be empty");
  EXPECT_THROW(cxRegExpr::IsTextValid("a", "(a"), EcxRegExprError);
  EXPECT_THROW(cxRegExpr::IsTextFullValid("a", "(a"), EcxRegExprError);
}

TEST(RegExprCompile, PrefixesAndWholeMatches) {
  EXPECT_TRUE(Prefix("12/3", "\\d\\d/\\d\\d"));
  EXPECT_FALSE(Full("12/3", "\\d\\d/\\d\\d"));
  EXPECT_TRUE(Full("12/34", "\\d\\d/\\d\\d"));
  EXPECT_FALSE(Prefix("12-", "\\d\\d/\\d\\d"));
  {
    ScopedLocale de("de-DE");
    EXPECT_TRUE(Full("12.34", "\\d\\d/\\d\\d")) << "separators are the locale's at match time";
    EXPECT_TRUE(Full("12:34", "\\d\\d:\\d\\d"));
  }
}
