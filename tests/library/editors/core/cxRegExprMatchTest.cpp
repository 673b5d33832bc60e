#include "library/editors/core/cxRegExpr.h"

#include "library/editors/core/cxRegExprTree.h"
#include "platform/rtl/Locale.h"

namespace {

void CompileText(TcxRegExpr& re, const AnsiString& pattern) {
  TStringStream source(pattern);
  re.Compile(&source);
}

// Records what the matcher asks its editor to insert and delete.
struct Editor {
  explicit Editor(TcxRegExpr& re) {
    re.OnSymbolUpdate = [this](char c) { log += AnsiString("+") + c; };
    re.OnSymbolDelete = [this] { log += "-"; };
  }
  AnsiString log;
};

}  // namespace

TEST(RegExprMatch, ForcedSeparatorIsInsertedAndRemovedFirstOnStepBack) {
  ScopedLocale de("de-DE");
  TcxRegExpr re;
  Editor ed(re);
  CompileText(re, "\\d\\d/\\d\\d");
  re.SetUpdateOn(true);
  EXPECT_EQ(ed.log, "") << "nothing forced before the first digit";
  char c = '1';
  EXPECT_TRUE(re.Next(c));
  c = '2';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(ed.log, "+.") << "the locale's date separator follows the second digit";
  EXPECT_TRUE(re.Prev());
  EXPECT_EQ(ed.log, "+.-") << "the separator goes first";
  EXPECT_EQ(re.GetAutomat()->GetStackDepth(), 1) << "then the digit the user deleted";
  c = '3';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(ed.log, "+.-+.");
}

TEST(RegExprMatch, CaseInsensitiveSymbolsTakeThePatternsCase) {
  TcxRegExpr re;
  CompileText(re, "'AM'");
  char c = 'a';
  EXPECT_FALSE(re.Next(c));
  re.SetCaseInsensitive(true);
  c = 'a';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(c, 'A');
  c = 'm';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(c, 'M');
  EXPECT_TRUE(re.IsFinal());
  // Classes never fold.
  CompileText(re, "[A-Z]");
  c = 'a';
  EXPECT_FALSE(re.Next(c));
  // Locale letters fold too.
  CompileText(re, "'\xC4'");
  c = '\xE4';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(c, '\xC4');
  EXPECT_EQ(re.NextEx("x"), "");
}

TEST(RegExprMatch, ResetPrevAndStart) {
  TcxRegExpr re;
  CompileText(re, "ab");
  EXPECT_TRUE(re.IsStart());
  EXPECT_FALSE(re.Prev());
  EXPECT_EQ(re.NextEx("xaqb"), "ab") << "refused characters are dropped";
  EXPECT_TRUE(re.IsFinal());
  EXPECT_FALSE(re.IsStart());
  EXPECT_TRUE(re.Prev());
  EXPECT_FALSE(re.IsFinal());
  re.Reset();
  EXPECT_TRUE(re.IsStart());
  EXPECT_FALSE(re.Prev());
  char c = 'b';
  EXPECT_FALSE(re.Next(c)) << "a refused character changes nothing";
  EXPECT_TRUE(re.IsStart());
}

TEST(RegExprMatch, ForcedInsertionStopsAtAFinalSet) {
  TcxRegExpr re;
  Editor ed(re);
  CompileText(re, "ab(c)?");
  re.SetUpdateOn(true);
  EXPECT_EQ(ed.log, "+a+b") << "the optional c is not forced";
  EXPECT_TRUE(re.IsFinal());
  // The same after a typed first character.
  CompileText(re, "[a]b(c)?");
  ed.log.clear();
  char c = 'a';
  EXPECT_TRUE(re.Next(c));
  EXPECT_EQ(ed.log, "+b");
  EXPECT_TRUE(re.IsFinal());
}

TEST(RegExprMatch, ForcedPrefixOnSwitchingOnAndItsRemoval) {
  TcxRegExpr re;
  Editor ed(re);
  CompileText(re, "'AB-'\\d");
  re.SetUpdateOn(true);
  EXPECT_EQ(ed.log, "+A+B+-");
  EXPECT_EQ(re.GetAutomat()->GetStackDepth(), 3);
  // Stepping back over a forced run removes all of it.
  EXPECT_FALSE(re.Prev());
  EXPECT_EQ(ed.log, "+A+B+----");
  EXPECT_TRUE(re.IsStart());

  // Switched on before compiling, the compile emits the prefix.
  TcxRegExpr re2;
  Editor ed2(re2);
  re2.SetUpdateOn(true);
  CompileText(re2, "x:y|x:z");
  EXPECT_EQ(ed2.log, "+x+:") << "insertion stops before a choice";
}

TEST(RegExprMatch, UncompiledExpressionRefusesToMatch) {
  TcxRegExpr re;
  char c = 'a';
  try {
    re.Next(c);
    FAIL();
  } catch (const EcxEditError& e) {
    EXPECT_STREQ(e.what(), "Regular expression is not compiled");
    EXPECT_FALSE(e.Is<EcxRegExprError>());
  }
  EXPECT_THROW(re.Prev(), EcxEditError);
  EXPECT_THROW(re.IsFinal(), EcxEditError);
  EXPECT_THROW(re.NextEx("a"), EcxEditError);
  re.SetUpdateOn(true);  // stored for the next compile, nothing to run yet
}

TEST(RegExprMatch, StateSetsStayBoundedOnOverlappingRepetition) {
  // Without duplicate removal these sets double with every character.
  struct Case {
    const char* mask;
    char typed;
  } cases[] = {{"(a|a)*", 'a'}, {"(\\d|\\d\\d)*", '7'}, {"(a|ab)*(b|bc)*", 'a'}, {"\\d*\\d*\\d*\\d*", '1'},
               {"((a|a)|(a|a))+", 'a'}};
  for (const auto& cs : cases) {
    TcxRegExpr re;
    CompileText(re, cs.mask);
    TcxRegExprAutomat* a = re.GetAutomat();
    std::size_t largest = 0;
    for (int i = 0; i < 1000; ++i) {
      char c = cs.typed;
      ASSERT_TRUE(re.Next(c)) << cs.mask << " at " << i;
      largest = std::max(largest, a->GetCurrentStates().size());
      // No state twice in one set.
      auto states = a->GetCurrentStates();
      std::sort(states.begin(), states.end());
      ASSERT_TRUE(std::adjacent_find(states.begin(), states.end()) == states.end()) << cs.mask;
    }
    EXPECT_LE(largest, static_cast<std::size_t>(a->GetSimpleStateCount())) << cs.mask;
    EXPECT_EQ(a->GetStackDepth(), 1000);
    EXPECT_TRUE(re.IsFinal()) << cs.mask;
  }
}

// After k characters of \d?\d?... every later item is a candidate, and
// each one reaches all the items after it. A step must walk those once,
// not once per candidate: 3,000 items would otherwise take billions of
// visits to type. Case-insensitive steps are walked every time, so the
// table of remembered steps does not hide the walk.
TEST(RegExprMatch, ALongRunOfOptionalItemsTypesAndStepsBackInOneWalkAStep) {
  constexpr int kItems = 3000;
  AnsiString mask;
  for (int i = 0; i < kItems; ++i) mask += "\\d?";
  TcxRegExpr re;
  CompileText(re, mask);
  re.SetCaseInsensitive(true);
  for (int i = 0; i < kItems; ++i) {
    char c = static_cast<char>('0' + i % 10);
    ASSERT_TRUE(re.Next(c)) << "digit " << i;
    ASSERT_TRUE(re.IsFinal());
    ASSERT_EQ(re.GetAutomat()->GetCurrentStates().size(), static_cast<std::size_t>(kItems - i));
  }
  char extra = '1';
  EXPECT_FALSE(re.Next(extra)) << "every item is taken";
  int back = 0;
  while (re.Prev()) ++back;
  EXPECT_EQ(back, kItems);
  EXPECT_TRUE(re.IsStart());
}

TEST(RegExprMatch, RepeatedGroupThatCanMatchNothingDoesNotLoop) {
  // {n,} repeats its item with '*' even when the item can match nothing;
  // the walk must not chase the empty loop.
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("aaa", "(a?){1,}"));
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("", "(a?){1,}"));
  EXPECT_TRUE(cxRegExpr::IsTextFullValid("abab", "((a?)(b?)){2,}"));
}

TEST(RegExprMatch, SuccessorSetsAndForcedCharacters) {
  ScopedLocale us("en-US");
  TcxRegExpr re;
  CompileText(re, "a(/|:)");
  char c = 'a';
  ASSERT_TRUE(re.Next(c));
  TcxRegExprStates next;
  re.GetAutomat()->GetAllNextStates(next);
  EXPECT_EQ(next.size(), 2u);
  EXPECT_FALSE(TcxRegExprAutomat::Equ(next, c)) << "'/' and ':' differ";
  Locale same = Locale::Builtin("en-US");
  same.DateSeparator = ":";
  ScopedLocale colon(same);
  EXPECT_TRUE(TcxRegExprAutomat::Equ(next, c)) << "separators are read when asked";
  EXPECT_EQ(c, ':');
}

// Steps remembered in the successor table answer as walking the set does:
// a separator follows the locale as it is when typed, a pattern with more
// sets than the table keeps matches the same past the cap, and stepping
// back returns to remembered sets.
TEST(RegExprMatch, RememberedStepsFollowTheLocaleAndTheCap) {
  TcxRegExpr re;
  CompileText(re, "(\\d\\d/)*");
  auto type = [&](const char* AText) {
    re.Reset();
    AnsiString taken;
    for (const char* p = AText; *p; ++p) {
      char c = *p;
      if (re.Next(c)) taken += c;
    }
    return taken;
  };
  {
    ScopedLocale us("en-US");
    EXPECT_EQ(type("12/34/"), "12/34/");
  }
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(type("12/34."), "12.");
  }
  // (a|b)* followed by nine more letters: the last ten letters tell the
  // set, about a thousand sets in all. The same typing through the
  // case-insensitive walk (lower-case letters fold to themselves) agrees.
  TcxRegExpr table, walk;
  const AnsiString pattern = "('a'|'b')*'a'('a'|'b')('a'|'b')('a'|'b')('a'|'b')('a'|'b')('a'|'b')('a'|'b')('a'|'b')('a'|'b')";
  CompileText(table, pattern);
  CompileText(walk, pattern);
  walk.SetCaseInsensitive(true);
  unsigned seed = 7;
  for (int round = 0; round < 40; ++round) {
    table.Reset();
    walk.Reset();
    for (int k = 0; k < 60; ++k) {
      seed = seed * 1103515245u + 12345u;
      char a = (seed >> 16) & 1 ? 'a' : 'b', b = a;
      ASSERT_EQ(table.Next(a), walk.Next(b));
      ASSERT_EQ(table.IsFinal(), walk.IsFinal()) << "round " << round << " key " << k;
      if (k % 7 == 6) {
        ASSERT_TRUE(table.Prev());
        ASSERT_TRUE(walk.Prev());
        ASSERT_EQ(table.IsFinal(), walk.IsFinal());
      }
    }
  }
}
