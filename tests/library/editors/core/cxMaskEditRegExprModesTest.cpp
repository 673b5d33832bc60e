// The regular-expression mask modes under a user's hands: typing stories
// kept as tables of keys with the text and selection after each, the mode's
// head/tail split checked against the editor after every step.
#include <gtest/gtest.h>

#include "library/editors/core/EngineFixtures.h"
#include "library/editors/core/MaskModeSession.h"

ORV_REGISTER(mask_test::TCountedStandardMode)
ORV_REGISTER(mask_test::TCountedRegExprMode)
ORV_REGISTER(mask_test::TCountedRegExprExMode)
ORV_REGISTER(mask_test::TCountedMaskProperties)
ORV_REGISTER(mask_test::TCountedMaskEdit)

namespace {

using mask_test::Step;
const AnsiString kDate = "\\d\\d/\\d\\d/\\d\\d\\d\\d";

class RegExprMode : public mask_test::MaskModeSession {};
class RegExprExMode : public mask_test::MaskModeSession {};

// ---------------------------------------------------------------------------
// Regular expression: the native edit types, the mode keeps the split.

TEST_F(RegExprMode, TypingTakesWhatThePatternAllowsAndArrowsMoveTheSplit) {
  Start(emkRegExpr, kDate);
  Props()->SetBeepOnError(true);
  const int beeps = win::test::BeepCount();
  Run({
      {"type 12", "12|"},
      {"type 3", "12|"},
      {"type /34/5678", "12/34/5678|"},
      {"type 9", "12/34/5678|"},
      {"Left", "12/34/567|8"},
      {"Home", "|12/34/5678"},
      {"Right", "1|2/34/5678"},
      {"Right", "12|/34/5678"},
      {"type 7", "12|/34/5678"},
      {"End", "12/34/5678|"},
      {"Shift+Left", "12/34/567[8]"},
      {"Shift+Left", "12/34/56[78]"},
      {"Left", "12/34/56|78"},
      {"Shift+Right", "12/34/56[7]8"},
      {"Right", "12/34/567|8"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps + 3) << "one beep per refused character";
}

TEST_F(RegExprMode, ACharacterThatMakesTheRestFailClearsTheRest) {
  Start(emkRegExpr, "[a-z]*\\d*");
  Run({
      {"type ab12", "ab12|"},
      {"Home", "|ab12"},
      {"Right", "a|b12"},
      {"type c", "ac|b12"},
      {"End", "acb12|"},
      {"Left", "acb1|2"},
      {"type x", "acb1|2"},
      {"type 3", "acb13|2"},
      {"Home", "|acb132"},
      {"Right", "a|cb132"},
      {"type 7", "a7|"},
      {"Backspace", "a|"},
      {"type bc1", "abc1|"},
      {"Home", "|abc1"},
      {"Right", "a|bc1"},
      {"Delete", "a|c1"},
      {"Shift+End", "a[c1]"},
      {"type 5", "a5|"},
  });
}

TEST_F(RegExprMode, BackspaceAndDeleteThatLeaveATailThePatternRefusesClearIt) {
  Start(emkRegExpr, kDate);
  Run({
      {"type 12/34/5678", "12/34/5678|"},
      {"Home", "|12/34/5678"},
      {"Right", "1|2/34/5678"},
      {"Right", "12|/34/5678"},
      {"Backspace", "1|"},
      {"type 2/34", "12/34|"},
      {"Home", "|12/34"},
      {"Delete", "|"},
  });
}

TEST_F(RegExprMode, TheLocaleDateMaskWithItsWordsEditsLikeAnyPattern) {
  fixtures::SwitchLocale locale(fixtures::UsLocale());
  Start(emkRegExpr, cxFormatController()->GetRegExprDateEditMask());
  Run({
      {"type 12/31/2008", "12/31/2008|"},
      {"Home", "|12/31/2008"},
      {"Right", "1|2/31/2008"},
      {"type 3", "1|2/31/2008"},
      {"Right", "12|/31/2008"},
      {"Backspace", "1|/31/2008"},
      {"type 1", "11|/31/2008"},
      {"End", "11/31/2008|"},
      {"Ctrl+Left", "|11/31/2008"},
      {"Shift+End", "[11/31/2008]"},
      {"type t", "t|"},
      {"type oday+3", "today+3|"},
  });
  EXPECT_TRUE(edit->GetMode()->IsFullValidText("today+3"));
  EXPECT_FALSE(edit->GetMode()->IsFullValidText("today+"));
}

TEST_F(RegExprMode, APasteIsJudgedAfterWhatStandsBeforeTheCaret) {
  Start(emkRegExpr, kDate);
  Run({
      {"type 12", "12|"},
      {"paste 34", "12|"},
      {"paste x/34", "12/34|"},
  });
}

TEST_F(RegExprMode, AnEmptyTextIsCompleteAndIgnoringBlanksAcceptsAnyPrefix) {
  Start(emkRegExpr, kDate);
  TcxMaskEditCustomMode* mode = edit->GetMode();
  EXPECT_TRUE(mode->IsFullValidText(""));
  EXPECT_FALSE(mode->IsFullValidText("12/3"));
  EXPECT_FALSE(mode->IsFullValidText("12/3x"));
  Props()->SetIgnoreMaskBlank(true);
  EXPECT_TRUE(mode->IsFullValidText("12/3"));
  EXPECT_FALSE(mode->IsFullValidText("12/3x")) << "a prefix only, not any text";
}

TEST_F(RegExprMode, APatternThatDoesNotCompileLeavesTheModeEditingWithItsOldOne) {
  Start(emkRegExpr, "[ab]*");
  Run({{"type ab", "ab|"}});
  TcxMaskEditCustomMode* mode = edit->GetMode();
  EXPECT_THROW(mode->Compile("(a"), EcxRegExprError);
  EXPECT_EQ(mode->GetEditMask(), "[ab]*");
  Run({
      {"type c", "ab|"},
      {"type b", "abb|"},
  });
}

TEST_F(RegExprMode, AMillionCharacterPasteCompletesAndLeavesAnAcceptedText) {
  Start(emkRegExpr, "\\d*");
  std::string big(1'000'000, '7');
  for (std::size_t i = 0; i < big.size(); i += 1000) big[i] = 'x';
  Do("paste " + big);
  const AnsiString text = edit->GetEditText();
  EXPECT_EQ(text.size(), 999'000u) << "the refused characters are skipped, none other lost";
  EXPECT_EQ(text.find_first_not_of('7'), AnsiString::npos);
  EXPECT_TRUE(edit->GetMode()->IsFullValidText(text));
  Run({{"type 1", text + "1|"}});
}

// ---------------------------------------------------------------------------
// Extended: forced characters come and go with the character before them.

TEST_F(RegExprExMode, TheSeparatorAppearsByItselfAndGoesWithItsDigit) {
  Start(emkRegExprEx, kDate);
  Run({
      {"type 1", "1|"},
      {"type 2", "12/|"},
      {"type 3", "12/3|"},
      {"type 4", "12/34/|"},
      {"Backspace", "12/3|"},
      {"Backspace", "12/|"},
      {"Backspace", "1|"},
      {"type 234", "12/34/|"},
      {"Left", "12/3|4/"},
      {"Left", "12/|34/"},
      {"Left", "1|2/34/"},
      {"Right", "12/|34/"},
      {"Shift+Left", "1[2/]34/"},
      {"End", "12/34/|"},
      {"Left", "12/3|4/"},
      {"Delete", "12/3|"},
      {"type x", "12/3|"},
      {"type 5", "12/35/|"},
      {"Home", "|12/35/"},
      {"Delete", "|"},
  });
}

TEST_F(RegExprExMode, ASelectionIsReplacedByTheTypedUnit) {
  Start(emkRegExprEx, kDate);
  Run({
      {"type 1234", "12/34/|"},
      {"Shift+Home", "[12/34/]"},
      {"type 5", "5|"},
      {"type 6", "56/|"},
      {"Shift+Left", "5[6/]"},
      {"type 7", "57/|"},
  });
}

TEST_F(RegExprExMode, TheGermanDateMaskForcesItsDotsWhereTheDayAndMonthAreWhole) {
  fixtures::SwitchLocale locale(fixtures::GermanLocale());
  Start(emkRegExprEx, cxFormatController()->GetRegExprDateEditMask());
  Run({
      {"type 3", "3|"},
      {"type 1", "31.|"},
      {"type 12", "31.12.|"},
      {"Backspace", "31.1|"},
      {"type 0", "31.10.|"},
      {"type 2008", "31.10.2008|"},
  });
  EXPECT_TRUE(edit->GetMode()->IsFullValidText(edit->GetEditText()));
}

// A digit typed into a whole date, over a selected digit or at the caret,
// types over what it leaves no room for: the separator its unit brings
// takes the place of the one there, and a digit that makes a field too long
// replaces the digit after it. The rest of the date stays.
TEST_F(RegExprExMode, ADigitTypedIntoAWholeDateKeepsTheRestOfIt) {
  fixtures::SwitchLocale locale(fixtures::UsLocale());
  Start(emkRegExprEx, cxFormatController()->GetRegExprDateEditMask());
  Run({
      {"type 1/15/2008", "1/15/2008|"},
      {"Home", "|1/15/2008"},
      {"Shift+Right", "[1]/15/2008"},
      {"type 2", "2/|15/2008"},
      {"Home", "|2/15/2008"},
      {"type 1", "1|2/15/2008"},
      {"type 1", "11/|15/2008"},
      {"Right", "11/1|5/2008"},
      {"type 6", "11/16/|2008"},
      {"Left", "11/1|6/2008"},
      {"Left", "11/|16/2008"},
      {"type 2", "11/2|6/2008"},
      {"End", "11/26/2008|"},
      {"Left", "11/26/200|8"},
      {"Left", "11/26/20|08"},
      {"type 1", "11/26/201|8"},
      {"type 9", "11/26/2019|"},
      // A day selected with its separator: the separator stays for the year.
      {"Home", "|11/26/2019"},
      {"Right", "1|1/26/2019"},
      {"Right", "11/|26/2019"},
      {"Shift+Right", "11/[2]6/2019"},
      {"Shift+Right", "11/[26/]2019"},
      {"type 1", "11/1|/2019"},
      {"type 6", "11/16/|2019"},
  });
  EXPECT_TRUE(edit->GetMode()->IsFullValidText(edit->GetEditText()));
}

// Backspace or Delete on a digit that brought a separator with it takes
// the digit alone when the rest of the date needs the separator; where
// nothing needs it the unit goes whole as ever.
TEST_F(RegExprExMode, ADigitDeletedFromAWholeDateKeepsTheRestOfIt) {
  fixtures::SwitchLocale locale(fixtures::UsLocale());
  Start(emkRegExprEx, cxFormatController()->GetRegExprDateTimeEditMask());
  Run({
      {"type 1/15/2008 10:30:00 AM", "1/15/2008 10:30:00 AM|"},
      {"Home", "|1/15/2008 10:30:00 AM"},
      {"Right", "1|/15/2008 10:30:00 AM"},
      {"Right", "1/|15/2008 10:30:00 AM"},
      {"Right", "1/1|5/2008 10:30:00 AM"},
      {"Delete", "1/1|/2008 10:30:00 AM"},
      {"type 6", "1/16/|2008 10:30:00 AM"},
      {"Backspace", "1/1|/2008 10:30:00 AM"},
      {"type 7", "1/17/|2008 10:30:00 AM"},
      {"End", "1/17/2008 10:30:00 AM|"},
      {"Backspace", "1/17/2008 10:30:00 |"},
  });
}

TEST_F(RegExprExMode, AForcedPrefixIsShownEmptyAndCannotBeRemoved) {
  Start(emkRegExprEx, "'ABC-'\\d\\d\\d");
  Props()->SetBeepOnError(true);
  int beeps = win::test::BeepCount();
  EXPECT_EQ(edit->GetEditText(), "ABC-");
  Run({
      {"End", "ABC-|"},
      {"Backspace", "ABC-|"},
      {"type 1", "ABC-1|"},
      {"Backspace", "ABC-|"},
      {"Home", "|ABC-"},
      {"Delete", "|ABC-"},
      {"type 5", "ABC-5|"},
      {"type 67", "ABC-567|"},
      {"type 8", "ABC-567|"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps + 3);
  TcxMaskEditCustomMode* mode = edit->GetMode();
  EXPECT_TRUE(mode->IsFullValidText("ABC-")) << "the bare prefix counts as empty";
  EXPECT_FALSE(mode->IsFullValidText("ABC-5"));
  EXPECT_TRUE(mode->IsFullValidText("ABC-567"));
}

TEST_F(RegExprExMode, ACaseInsensitiveWordIsCompletedInThePatternsCase) {
  Start(emkRegExprEx, "('AM'|'PM')");
  Run({
      {"type a", "AM|"},
      {"Backspace", "|"},
      {"type p", "PM|"},
  });
}

// A pasted text is taken as if typed, the separators coming in where the
// pattern forces them; the caret lands on a unit boundary.
TEST_F(RegExprExMode, APasteLeavesTheCaretOnAUnitBoundaryInAnAcceptedText) {
  Start(emkRegExprEx, kDate);
  Run({
      {"paste 1234", "12/3|4/"},
      {"Backspace", "12/|"},
      {"Home", "|12/"},
      {"paste 0", "0|1/2"},
      {"End", "01/2|"},
  });
}

}  // namespace
