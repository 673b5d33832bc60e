// The standard mask mode under a user's hands: typing stories on the phone
// mask, kept as tables of keys with the text and selection after each.
#include "library/editors/core/MaskModeSession.h"

ORV_REGISTER(mask_test::TCountedStandardMode)
ORV_REGISTER(mask_test::TCountedRegExprMode)
ORV_REGISTER(mask_test::TCountedRegExprExMode)
ORV_REGISTER(mask_test::TCountedMaskProperties)
ORV_REGISTER(mask_test::TCountedMaskEdit)

namespace {

using mask_test::Step;
const AnsiString kPhone = "!(999) 000-0000;1;_";

class StandardMode : public mask_test::MaskModeSession {};

TEST_F(StandardMode, TypingOverwritesMaskPositionsAndSkipsLiterals) {
  Start(emkStandard, kPhone);
  Run({
      {"Home", "([_]__) ___-____"},
      {"type 5", "(5[_]_) ___-____"},
      {"type 55", "(555) [_]__-____"},
      {"type x", "(555) [_]__-____"},
      {"type 1234567", "(555) 123-4567|"},
      {"type 8", "(555) 123-4567|"},
  });
}

}  // namespace
namespace {

TEST_F(StandardMode, ArrowsSkipLiteralRunsAndNeverLandOnTheLeadingBracket) {
  Start(emkStandard, kPhone);
  Do("Home");
  Do("type 5551234567");
  Run({
      {"Left", "(555) 123-456[7]"},
      {"Left", "(555) 123-45[6]7"},
      {"Left", "(555) 123-4[5]67"},
      {"Left", "(555) 123-[4]567"},
      {"Left", "(555) 12[3]-4567"},
      {"Left", "(555) 1[2]3-4567"},
      {"Left", "(555) [1]23-4567"},
      {"Left", "(55[5]) 123-4567"},
      {"Left", "(5[5]5) 123-4567"},
      {"Left", "([5]55) 123-4567"},
      {"Left", "([5]55) 123-4567"},
      {"Right", "(5[5]5) 123-4567"},
      {"Right", "(55[5]) 123-4567"},
      {"Right", "(555) [1]23-4567"},
      {"End", "(555) 123-4567|"},
      {"Right", "(555) 123-4567|"},
      {"Home", "([5]55) 123-4567"},
      {"Ctrl+Right", "(555) 123-4567|"},
      {"Ctrl+Left", "([5]55) 123-4567"},
  });
}

TEST_F(StandardMode, ShiftArrowsGrowTheCursorAndAPlainArrowCollapsesOntoAMaskPosition) {
  Start(emkStandard, kPhone);
  Do("Home");
  Do("type 5551234567");
  Do("Home");
  Run({
      {"Shift+Right", "([55]5) 123-4567"},
      {"Shift+Right", "([555]) 123-4567"},
      {"Shift+Right", "([555)] 123-4567"},
      {"Right", "(55[5]) 123-4567"},
      {"Shift+Left", "(5[55]) 123-4567"},
      {"Shift+Left", "([555]) 123-4567"},
      {"Left", "([5]55) 123-4567"},
      {"click 5", "(555)[ ]123-4567"},
      {"Shift+End", "(555)[ 123-4567]"},
      {"Left", "(555) [1]23-4567"},
  });
}

TEST_F(StandardMode, DeleteAndBackspaceBlankPositionsAndKeepLiterals) {
  Start(emkStandard, kPhone);
  Do("Home");
  Do("type 5551234567");
  Run({
      {"click 7", "(555) 1[2]3-4567"},
      {"Delete", "(555) 1[_]3-4567"},
      {"Backspace", "(555) [_]_3-4567"},
      {"Backspace", "(55[_]) __3-4567"},
      {"Home", "([5]5_) __3-4567"},
      {"Backspace", "([_]5_) __3-4567"},
      {"Shift+End", "([_5_) __3-4567]"},
      {"Delete", "([_]__) ___-____"},
      {"End", "(___) ___-____|"},
      {"Shift+Delete", "(___) ___-___[_]"},
  });
}

TEST_F(StandardMode, ARefusedCharacterChangesNothingAndDoesNotBeep) {
  Start(emkStandard, kPhone);
  Props()->SetBeepOnError(true);
  const int beeps = win::test::BeepCount();
  Run({
      {"Home", "([_]__) ___-____"},
      {"type x", "([_]__) ___-____"},
      {"type 1", "(1[_]_) ___-____"},
      {"type -", "(1[_]_) ___-____"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps);
}

TEST_F(StandardMode, ACharacterTheEditorClearsIsRefusedWithABeepOnlyWhenAskedFor) {
  Start(emkStandard, kPhone);
  edit->ClearedChar = '9';
  int beeps = win::test::BeepCount();
  Run({
      {"Home", "([_]__) ___-____"},
      {"type 9", "([_]__) ___-____"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps);
  Props()->SetBeepOnError(true);
  Run({
      {"type 9", "([_]__) ___-____"},
      {"type 8", "(8[_]_) ___-____"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);
}

TEST_F(StandardMode, AnAllBlankTextIsCompleteOnlyWhenBlanksAreIgnored) {
  Start(emkStandard, kPhone);
  TcxMaskEditCustomMode* mode = edit->GetMode();
  EXPECT_FALSE(mode->IsFullValidText("(___) ___-____"));
  EXPECT_TRUE(mode->IsFullValidText("(555) 123-4567"));
  EXPECT_TRUE(mode->IsFullValidText("(  5) 123-4567")) << "the area code's digits are optional";
  Props()->SetIgnoreMaskBlank(true);
  EXPECT_TRUE(mode->IsFullValidText("(___) ___-____"));
  EXPECT_FALSE(mode->IsFullValidText("(555) 1__-____")) << "only the all-blank text";
}

TEST_F(StandardMode, TypingOnALiteralTypesAtTheNextMaskPosition) {
  Start(emkStandard, kPhone);
  Run({
      {"click 4", "(___[)] ___-____"},
      {"type 7", "(___) 7[_]_-____"},
      {"click 0", "[(]___) 7__-____"},
      {"type 2", "(2[_]_) 7__-____"},
  });
}

// A paste the mask takes nothing of changes nothing; in one it takes
// something of, a refused character leaves a blank at its position.
TEST_F(StandardMode, APasteTheMaskTakesNothingOfIsRefusedWholeWithABeepWhenAskedFor) {
  Start(emkStandard, kPhone);
  Do("Home");
  Do("type 555");
  const int beeps = win::test::BeepCount();
  Run({
      {"Home", "([5]55) ___-____"},
      {"paste abc-", "([5]55) ___-____"},
      {"paste x7", "(_7[5]) ___-____"},
  });
  EXPECT_EQ(win::test::BeepCount(), beeps);
  Props()->SetBeepOnError(true);
  Run({{"paste ()", "(_7[5]) ___-____"}});
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);
}

TEST_F(StandardMode, APastePutsTheCaretAfterThePastedPartPastALiteral) {
  Start(emkStandard, kPhone);
  Run({
      {"Home", "([_]__) ___-____"},
      {"paste 555", "(555) [_]__-____"},
      {"paste 12", "(555) 12[_]-____"},
  });
}

}  // namespace
