// The masked editor and the button editor on a headless form, driven by
// injected keys and clicks: what counts as a mask, a pattern that does not
// compile, switching the mask language, the length limit, keys a mask
// keeps to itself, simulated keys that must not come back through the
// mask, display forms focused and not, validation on Enter, a locale
// change under a live editor, the filter row's helper, and the button
// editor's default button and stored buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/data/cxDataStorageValueTypes.h"
#include "library/editors/EditTestDoubles.h"
#include "library/editors/EditorSession.h"
#include "library/editors/core/EngineFixtures.h"
#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxMaskEditModes.h"
#include "library/editors/core/cxMaskEditRegExprModes.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"

using namespace win;

namespace {

using Log = std::vector<std::string>;

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalFromBytes(text.c_str(), text.size() + 1));
  CloseClipboard();
}

const AnsiString kPhone = "!(999) 000-0000;1;_";

// A standard mode that counts the caret operations asked of it (a key
// that came back through the mask would be counted twice), and how many
// of its kind were made and went through Free.
class TCountingStandardMode : public TcxMaskEditStandardMode {
  ORV_CLASS(TCountingStandardMode, TcxMaskEditStandardMode)
 public:
  TCountingStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
      : TcxMaskEditStandardMode(AEdit, AProperties) {
    ++Made;
  }
  void BeforeDestruction() override {
    ++Freed;
    TcxMaskEditStandardMode::BeforeDestruction();
  }
  static inline int Calls = 0;
  static inline int Made = 0;
  static inline int Freed = 0;
  bool PressLeft() override { return ++Calls, TcxMaskEditStandardMode::PressLeft(); }
  bool PressHome() override { return ++Calls, TcxMaskEditStandardMode::PressHome(); }
  bool PressEnd() override { return ++Calls, TcxMaskEditStandardMode::PressEnd(); }
};

class TCountingMaskProperties : public TcxMaskEditProperties {
  ORV_CLASS(TCountingMaskProperties, TcxMaskEditProperties)
 public:
  explicit TCountingMaskProperties(TPersistent* AOwner) : TcxMaskEditProperties(AOwner) {}
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind AMaskKind) const override {
    if (AMaskKind == emkStandard) return TCountingStandardMode::StaticClass();
    return TcxMaskEditProperties::GetModeClass(AMaskKind);
  }
};

class TCountingMaskEdit : public TcxMaskEdit {
  ORV_CLASS(TCountingMaskEdit, TcxMaskEdit)
 public:
  explicit TCountingMaskEdit(TComponent* AOwner) : TcxMaskEdit(AOwner) {}

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override {
    return TCountingMaskProperties::StaticClass();
  }
};

}  // namespace

ORV_REGISTER(TCountingStandardMode)
ORV_REGISTER(TCountingMaskProperties)
ORV_REGISTER(TCountingMaskEdit)

namespace {

class MaskEdit : public ::testing::Test, public edit_test::EditorSession {
 protected:
  TForm* form = nullptr;
  Log log;

  void SetUp() override {
    form = TCustomForm::CreateNew<TForm>(Application);
    form->SetBoundsRect({100, 100, 500, 400});
  }
  void TearDown() override {
    if (form) form->Free();
    Pump();
  }

  template <class T = TcxMaskEdit>
  T* MakeEdit(int top = 10) {
    auto* edit = New<T>(form);
    edit->SetBoundsRect({10, top, 210, top + 21});
    edit->SetParent(form);
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) {
      log.push_back("after key " + std::to_string(Key));
    };
    edit->GetProperties()->OnButtonClick = [this](TObject*, Integer i) {
      log.push_back("button click " + std::to_string(i));
    };
    return edit;
  }
  void ShowAndFocus(TcxCustomEdit* edit) {
    form->Show();
    Pump();
    edit->SetFocus();
    Pump();
    log.clear();
  }

  // The inner edit's text with the selection marked: "[" and "]" around it,
  // "|" for a caret without one.
  static std::string Shown(TcxCustomMaskEdit* edit) {
    std::string text = edit->GetEditText();
    const auto start = static_cast<std::size_t>(edit->GetSelStart());
    const auto length = static_cast<std::size_t>(edit->GetSelLength());
    if (length == 0) return text.insert(start, "|");
    text.insert(start + length, "]");
    return text.insert(start, "[");
  }
};

// ---------------------------------------------------------------------------
// What counts as a mask.

TEST_F(MaskEdit, EveryModeLeavesThroughFreeWhetherDroppedSwappedOrFreedWithItsEditor) {
  TCountingStandardMode::Made = TCountingStandardMode::Freed = 0;
  auto* edit = MakeEdit<TCountingMaskEdit>();
  auto* properties = edit->GetProperties();
  properties->SetEditMask("99-99");  // a probe mode checks the mask and goes
  Variant shown;
  properties->PrepareDisplayValue(Variant(AnsiString("1234")), shown, false);  // the properties keep one
  EXPECT_EQ(VarToStr(shown), "12-34");
  properties->SetMaskKind(emkRegExpr);  // the editor's own is swapped, the kept one dropped
  edit->Free();
  EXPECT_GE(TCountingStandardMode::Made, 3);
  EXPECT_EQ(TCountingStandardMode::Freed, TCountingStandardMode::Made);
}

TEST_F(MaskEdit, AMaskOfSpaceCharactersIsNoMaskAndTheEditorTypesAndLimitsLikeTheTextEditor) {
  auto* edit = MakeEdit();
  TcxMaskEditProperties* props = edit->GetProperties();
  props->SetEditMask(" \t ");
  props->SetMaxLength(4);
  ShowAndFocus(edit);
  EXPECT_FALSE(props->GetIsMasked());
  EXPECT_FALSE(edit->IsMasked());
  EXPECT_EQ(props->GetDisplayFormatOptions(), TcxEditDisplayFormatOptions{dfoSupports});
  EXPECT_EQ(props->GetMaxLength(), 4) << "only a masked editor drops the limit";
  Type("a b-cd");
  EXPECT_EQ(Shown(edit), "a b-|");
  Chord(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(Shown(edit), "a b[-]") << "Shift+Left selects natively";
  Press(VK_UP);
  EXPECT_EQ(Shown(edit), "a b[-]");

  // The bound data's mask stands in for an empty one only.
  TOwned<TcxTestDefaultValuesProvider> provider{New<TcxTestDefaultValuesProvider>(nullptr)};
  provider->Answers.EditMask = "000";
  props->SetIDefaultValuesProvider(provider.get());
  EXPECT_TRUE(props->GetIsMasked());
  EXPECT_EQ(props->GetDisplayFormatOptions(), TcxEditDisplayFormatOptions{});
  props->SetEditMask("99");
  EXPECT_EQ(props->GetEditMask(), "99");
  props->SetIDefaultValuesProvider(nullptr);
}

// ---------------------------------------------------------------------------
// A pattern that does not compile.

TEST_F(MaskEdit, APatternThatDoesNotCompileRaisesItsOwnErrorsAndLeavesMaskModeAndTextAsTheyWere) {
  auto* edit = MakeEdit();
  auto* twin = MakeEdit(40);
  for (TcxMaskEdit* e : {edit, twin}) {
    e->GetProperties()->SetMaskKind(emkRegExpr);
    e->GetProperties()->SetEditMask("\\d+");
  }
  twin->SetEditValue(Variant(AnsiString("42")));
  ShowAndFocus(edit);
  Type("12");
  ASSERT_EQ(edit->GetEditText(), "12");
  TcxMaskEditCustomMode* mode = edit->GetMode();

  AnsiString message;
  int errors = 0;
  try {
    edit->GetProperties()->SetEditMask("(\\d");
    ADD_FAILURE() << "an unclosed group compiled";
  } catch (const EcxRegExprError& e) {
    // The compiler and its mode are gone by now; the error keeps its own.
    message = e.GetMessage();
    errors = e.GetErrors().Count();
    for (int i = 0; i < errors; ++i) EXPECT_FALSE(e.GetErrors().Items(i).GetFullMessage().empty());
  }
  EXPECT_GT(errors, 0);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(edit->GetProperties()->GetEditMask(), "\\d+");
  EXPECT_EQ(edit->GetMode(), mode);
  EXPECT_EQ(mode->GetEditMask(), "\\d+");
  EXPECT_EQ(edit->GetEditText(), "12");
  Type("3x4");
  EXPECT_EQ(edit->GetEditText(), "1234") << "the old mask still edits";

  // A valid pattern afterwards takes effect as usual.
  edit->GetProperties()->SetEditMask("[a-c]*");
  EXPECT_EQ(edit->GetMode()->GetEditMask(), "[a-c]*");
  EXPECT_EQ(twin->GetEditText(), "42") << "an editor that did not change its mask is untouched";

  // A pattern is checked once per mode, not once per editor: the same bad
  // one raises for the next editor too, and the good one is taken as such.
  EXPECT_THROW(twin->GetProperties()->SetEditMask("(\\d"), EcxRegExprError);
  EXPECT_EQ(twin->GetProperties()->GetEditMask(), "\\d+");
  twin->GetProperties()->SetEditMask("[a-c]*");
  EXPECT_EQ(twin->GetMode()->GetEditMask(), "[a-c]*");
}

// ---------------------------------------------------------------------------
// Switching the mask language.

TEST_F(MaskEdit, AKindSwitchAloneDropsAMaskOfTheOtherLanguageButKeepsOneSetWithIt) {
  auto* edit = MakeEdit();
  TcxMaskEditProperties* props = edit->GetProperties();
  props->SetEditMask("99-99");
  ASSERT_TRUE(edit->IsMasked());

  props->SetMaskKind(emkRegExpr);
  EXPECT_EQ(props->GetEditMask(), "") << "a standard mask means nothing as a pattern";
  EXPECT_FALSE(edit->IsMasked());
  EXPECT_TRUE(dynamic_cast<TcxMaskEditRegExprMode*>(edit->GetMode()));

  props->SetEditMask("\\d\\d-\\d\\d");
  props->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(props->GetEditMask(), "\\d\\d-\\d\\d") << "both kinds read the same patterns";
  EXPECT_EQ(edit->GetMode()->ClassType(), TcxMaskEditRegExprExMode::StaticClass());
  EXPECT_EQ(edit->GetMode()->GetEditMask(), "\\d\\d-\\d\\d");

  props->BeginUpdate();
  props->SetMaskKind(emkStandard);
  props->SetEditMask("00/00");
  props->EndUpdate();
  EXPECT_EQ(props->GetEditMask(), "00/00") << "a mask set with its kind survives";
  EXPECT_EQ(edit->GetMode()->ClassType(), TcxMaskEditStandardMode::StaticClass());
  EXPECT_EQ(edit->GetMode()->GetEditMask(), "00/00");

  // The other order: the mask first, then its kind, still in one bracket.
  props->BeginUpdate();
  props->SetEditMask("[ab]+");
  props->SetMaskKind(emkRegExpr);
  props->EndUpdate();
  EXPECT_EQ(props->GetEditMask(), "[ab]+");
  ShowAndFocus(edit);
  Type("abc");
  EXPECT_EQ(edit->GetEditText(), "ab");
}

// ---------------------------------------------------------------------------
// The length limit and keys the mask keeps.

TEST_F(MaskEdit, AMaskedEditorHasNoLengthLimitOfItsOwn) {
  auto* edit = MakeEdit();
  TcxMaskEditProperties* props = edit->GetProperties();
  props->SetMaxLength(3);
  props->SetEditMask("000-000;1;_");
  EXPECT_EQ(props->GetMaxLength(), 0);
  props->SetMaxLength(5);
  EXPECT_EQ(props->GetMaxLength(), 0) << "set again while masked";
  ShowAndFocus(edit);
  Type("123456");
  EXPECT_EQ(edit->GetEditText(), "123-456") << "the inner edit does not cut the masked text";
}

TEST_F(MaskEdit, UpAndDownWithoutAPopupAndControlArrowsAreTheMasksAndSimulatedKeysNeverComeBackThroughIt) {
  auto* edit = MakeEdit<TCountingMaskEdit>();
  edit->GetProperties()->SetEditMask(kPhone);
  ShowAndFocus(edit);
  Type("555123");
  const std::string before = Shown(edit);
  log.clear();
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ(Shown(edit), before);
  EXPECT_EQ(log, (Log{"after key 38", "after key 40"}));

  // Ctrl+Left simulates Home: one operation of the mode, not two.
  TCountingStandardMode::Calls = 0;
  Chord(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(TCountingStandardMode::Calls, 1);
  EXPECT_EQ(Shown(edit), "([5]55) 123-____") << "the first mask position, past the bracket";
  TCountingStandardMode::Calls = 0;
  Chord(VK_CONTROL, VK_RIGHT);
  EXPECT_EQ(TCountingStandardMode::Calls, 1);
  EXPECT_EQ(Shown(edit), "(555) 123-____|");

  // Shift+Left makes the mode simulate Left keys, which carry the held Shift
  // to the native edit and are not counted again.
  Press(VK_HOME);
  Press(VK_RIGHT);
  TCountingStandardMode::Calls = 0;
  Chord(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(TCountingStandardMode::Calls, 1);
  EXPECT_EQ(Shown(edit), "([55]5) 123-____");

  // Shift+Delete without a selection is Backspace; with one it cuts through
  // the mask, and Ctrl+V pastes through it: every position stays.
  Press(VK_END);
  for (int i = 0; i < 4; ++i) Press(VK_LEFT);
  ASSERT_EQ(Shown(edit), "(555) 123-[_]___");
  Type("4567");
  ASSERT_EQ(Shown(edit), "(555) 123-4567|");
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(Shown(edit), "(555) 123-456[_]");
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(ClipboardText(), "5");
  EXPECT_EQ(Shown(edit), "([_]55) 123-456_") << "a blank, not a shorter text";
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(edit->GetEditText(), "(555) 123-456_");
  Press(VK_END);
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_SHIFT, VK_LEFT);
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(ClipboardText(), "6_") << "the selection as shown";
  EXPECT_EQ(edit->GetEditText(), "(555) 123-45__");
}

TEST_F(MaskEdit, APasteTheMaskTakesNothingOfChangesNothingAndBeepsOnlyWhenAskedTo) {
  auto* edit = MakeEdit();
  edit->GetProperties()->SetEditMask(kPhone);
  ShowAndFocus(edit);
  Type("5551");
  const std::string before = Shown(edit);
  const Variant value = edit->GetEditValue();
  const int beeps = win::test::BeepCount();
  SetClipboardText("ab-");
  Chord(VK_CONTROL, 'V');
  edit->SetSelText("xyz");
  EXPECT_EQ(Shown(edit), before);
  EXPECT_TRUE(InternalVarEqualsExact(edit->GetEditValue(), value));
  EXPECT_EQ(win::test::BeepCount(), beeps);
  edit->GetProperties()->SetBeepOnError(true);
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Shown(edit), before);
  EXPECT_EQ(win::test::BeepCount(), beeps + 1);
  SetClipboardText("a2");
  Chord(VK_CONTROL, 'V');
  EXPECT_NE(Shown(edit), before) << "one character taken is enough";
}

// A regular-expression mode lets the inner edit do Backspace: Shift+Delete
// without a selection is that Backspace, and takes the same character.
TEST_F(MaskEdit, ShiftDeleteWithoutASelectionTakesWhatBackspaceTakesUnderARegularExpression) {
  auto* edit = MakeEdit();
  edit->GetProperties()->SetMaskKind(emkRegExpr);
  edit->GetProperties()->SetEditMask("\\d\\d\\d");
  ShowAndFocus(edit);
  for (BYTE modifier : {BYTE(0), BYTE(VK_SHIFT)}) {
    edit->SetEditValue(Variant(AnsiString("123")));
    Press(VK_END);
    Press(VK_LEFT);
    ASSERT_EQ(Shown(edit), "12|3");
    if (modifier) Chord(modifier, VK_DELETE);
    else Press(VK_BACK);
    EXPECT_EQ(Shown(edit), "1|3") << (modifier ? "Shift+Delete" : "Backspace");
  }
}

TEST_F(MaskEdit, ACutRefusedByOnEditingWithNothingSelectedOrUnderAPasswordLosesNothing) {
  auto* edit = MakeEdit();
  edit->GetProperties()->SetMaskKind(emkRegExpr);
  edit->GetProperties()->SetEditMask("\\d*");
  edit->SetEditValue(Variant(AnsiString("1234")));
  bool refuse = true;
  edit->OnEditing = [&](TObject*, bool& CanEdit) { CanEdit = !refuse; };
  ShowAndFocus(edit);
  Press(VK_HOME);
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  Chord(VK_SHIFT, VK_RIGHT);
  ASSERT_EQ(Shown(edit), "12[3]4");
  Chord(VK_CONTROL, 'X');
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetEditText(), "1234");
  refuse = false;

  Press(VK_LEFT);
  ASSERT_EQ(Shown(edit), "12|34");
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(Shown(edit), "12|34");

  edit->GetProperties()->SetEchoMode(eemPassword);
  Pump();
  edit->SelectAll();
  Chord(VK_CONTROL, 'X');
  edit->CutToClipboard();
  EXPECT_EQ(edit->GetEditText(), "1234") << "a password never reaches the clipboard";

  edit->GetProperties()->SetEchoMode(eemNormal);
  Pump();
  edit->SelectAll();
  Chord(VK_CONTROL, 'X');
  EXPECT_EQ(ClipboardText(), "1234");
  EXPECT_EQ(edit->GetEditText(), "");
}

// ---------------------------------------------------------------------------
// Letter case.

TEST_F(MaskEdit, UpperOrLowerCaseForcesCaseInsensitiveMatching) {
  TOwned<TcxMaskEditProperties> props{New<TcxMaskEditProperties>(nullptr)};
  props->SetCaseInsensitive(false);
  props->SetCharCase(ecUpperCase);
  EXPECT_TRUE(props->GetCaseInsensitive());
  props->SetCaseInsensitive(false);
  EXPECT_TRUE(props->GetCaseInsensitive()) << "stays on while the case is forced";
  props->SetCharCase(ecNormal);
  props->SetCaseInsensitive(false);
  EXPECT_FALSE(props->GetCaseInsensitive());
}

// ---------------------------------------------------------------------------
// Display forms.

TEST_F(MaskEdit, AnUnfocusedStandardValueShowsTheFullMaskOnlyWhenAskedAndAFieldDisplayFormatWins) {
  TOwned<TcxMaskEditProperties> props{New<TcxMaskEditProperties>(nullptr)};
  props->SetEditMask(kPhone);
  auto display = [&](const char* value, bool focused) {
    Variant result;
    props->PrepareDisplayValue(Variant(AnsiString(value)), result, focused);
    return std::string(VarToStr(result));
  };
  EXPECT_EQ(display("(555) 12 -    ", false), "(555) 12 -    ");
  EXPECT_EQ(display("(555) 12 -    ", true), "(555) 12_-____");
  props->SetAlwaysShowBlanksAndLiterals(true);
  EXPECT_EQ(display("(555) 12 -    ", false), "(555) 12_-____");
  EXPECT_EQ(display("", false), "(___) ___-____");
  Variant nullValue;
  Variant shown;
  props->PrepareDisplayValue(nullValue, shown, false);
  EXPECT_EQ(VarToStr(shown), "(___) ___-____") << "null shows as empty";

  TOwned<TcxTestDefaultValuesProvider> provider{New<TcxTestDefaultValuesProvider>(nullptr)};
  provider->Answers.DisplayFormatDefined = true;
  props->SetIDefaultValuesProvider(provider.get());
  EXPECT_EQ(display("(555) 12 -    ", false), "(555) 12 -    ") << "the field's format, not the mask";
  EXPECT_EQ(display("(555) 12 -    ", true), "(555) 12_-____") << "focused the mask edits";
  props->SetIDefaultValuesProvider(nullptr);
}

// ---------------------------------------------------------------------------
// Validation.

TEST_F(MaskEdit, EnterRefusesAnIncompleteTextUnlessBlanksAreIgnoredAndAReplacementTextIsUsed) {
  auto* edit = MakeEdit();
  TcxMaskEditProperties* props = edit->GetProperties();
  props->SetEditMask(kPhone);
  EXPECT_TRUE(props->GetValidateOnEnter());
  ShowAndFocus(edit);
  Type("555");
  const auto exceptions = forms::test::RecordedExceptions().size();
  Press(VK_RETURN);
  ASSERT_EQ(forms::test::RecordedExceptions().size(), exceptions + 1);
  EXPECT_EQ(forms::test::RecordedExceptions().back(), "EcxEditValidationError: The edit value is invalid");

  cxSetResourceStringNet("The edit value is invalid", "Incomplete number");
  Press(VK_RETURN);
  EXPECT_EQ(forms::test::RecordedExceptions().back(), "EcxEditValidationError: Incomplete number");
  cxClearResourceStrings();

  ASSERT_EQ(Shown(edit), "[(555) ___-____]") << "the refused text is selected";
  Type("5551234567");
  Press(VK_RETURN);
  EXPECT_EQ(forms::test::RecordedExceptions().size(), exceptions + 2) << "a complete number passes";
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "(555) 123-4567");

  // All blank is still incomplete, unless blanks are ignored.
  Press(VK_HOME);
  Chord(VK_SHIFT, VK_END);
  Press(VK_DELETE);
  ASSERT_EQ(edit->GetEditText(), "(___) ___-____");
  Press(VK_RETURN);
  EXPECT_EQ(forms::test::RecordedExceptions().size(), exceptions + 3);
  props->SetIgnoreMaskBlank(true);
  Press(VK_RETURN);
  EXPECT_EQ(forms::test::RecordedExceptions().size(), exceptions + 3);
}

// ---------------------------------------------------------------------------
// A locale change under a live editor.

TEST_F(MaskEdit, ALocaleChangeRecompilesTheDateSeparatorAndTheTypedDigitsStay) {
  fixtures::SwitchLocale us(fixtures::UsLocale());
  auto* edit = MakeEdit();
  edit->GetProperties()->SetEditMask("99/99/9999;1;_");
  ShowAndFocus(edit);
  Type("1225");
  ASSERT_EQ(edit->GetEditText(), "12/25/____");
  {
    ScopedLocale de(fixtures::GermanLocale());
    Pump();
    EXPECT_EQ(edit->GetEditText(), "12.25.____");
    EXPECT_EQ(Shown(edit), "12.25.[_]___") << "the caret stays";
    Type("2008");
    EXPECT_EQ(edit->GetEditText(), "12.25.2008");
  }
}

TEST_F(MaskEdit, ALocaleChangeLeavesTypedUnpostedTextOfAnUnmaskedEditorAsTyped) {
  fixtures::SwitchLocale us(fixtures::UsLocale());
  auto* edit = MakeEdit();
  ShowAndFocus(edit);
  Type("3.5 typed");
  {
    ScopedLocale de(fixtures::GermanLocale());
    Pump();
    EXPECT_EQ(edit->GetEditText(), "3.5 typed");
  }
}

// ---------------------------------------------------------------------------
// The filter row.

TEST_F(MaskEdit, TheFilterHelperOffersLikeOnlyForUnmaskedTextAndExtendsRegularExpressions) {
  const TcxCustomFilterEditHelperClass helper =
      FilterEditsController()->FindHelper(TcxMaskEditProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterMaskEditHelper::StaticClass());
  EXPECT_EQ(FilterEditsController()->FindHelper(TcxButtonEditProperties::StaticClass()), helper)
      << "the button editor's properties find it through their family";
  EXPECT_EQ(helper->GetFilterEditClass(), TcxMaskEdit::StaticClass());

  TOwned<TcxMaskEditProperties> column{New<TcxMaskEditProperties>(nullptr)};
  auto ops = [&](TcxValueTypeClass type, bool extended) {
    return helper->GetSupportedFilterOperators(column.get(), type, extended);
  };
  const TcxFilterControlOperators basic{fcoEqual,   fcoNotEqual,     fcoLess,   fcoLessEqual,
                                        fcoGreater, fcoGreaterEqual, fcoBlanks, fcoNonBlanks};
  const TcxFilterControlOperators like{fcoLike, fcoNotLike};
  const TcxFilterControlOperators ranges{fcoBetween, fcoNotBetween, fcoInList, fcoNotInList};
  EXPECT_EQ(ops(TcxStringValueType::Class(), false), basic + like);
  EXPECT_EQ(ops(TcxIntegerValueType::Class(), true), basic + ranges);
  column->SetEditMask("000");
  EXPECT_EQ(ops(TcxStringValueType::Class(), true), basic + ranges) << "a masked text cannot hold wildcards";

  column->SetMaskKind(emkRegExpr);
  column->SetEditMask("\\d+");
  TOwned<TcxMaskEditProperties> condition{New<TcxMaskEditProperties>(nullptr)};
  helper->InitializeProperties(condition.get(), column.get(), false);
  EXPECT_EQ(condition->GetMaskKind(), emkRegExprEx);
  EXPECT_EQ(condition->GetEditMask(), "\\d+");
  EXPECT_FALSE(condition->GetAutoSelect());

  column->SetMaskKind(emkStandard);
  column->SetEditMask("");
  helper->InitializeProperties(condition.get(), column.get(), false);
  EXPECT_EQ(condition->GetMaskKind(), emkStandard);
  EXPECT_TRUE(condition->GetAutoSelect());
}

// ---------------------------------------------------------------------------
// The button editor.

TEST_F(MaskEdit, AButtonEditorHasOneDefaultEllipsisThatCtrlEnterAndOneClickPressOnce) {
  auto* edit = MakeEdit<TcxButtonEdit>();
  TcxEditButtons* buttons = edit->GetProperties()->GetButtons();
  ASSERT_EQ(buttons->GetCount(), 1);
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_TRUE(buttons->GetItem(0)->GetDefault());
  ShowAndFocus(edit);
  Type("ab");
  log.clear();
  Chord(VK_CONTROL, VK_RETURN);
  EXPECT_EQ(log, (Log{"after key 17", "button click 0"})) << "Ctrl alone, then the click";
  EXPECT_EQ(edit->GetEditText(), "ab") << "the click key types nothing";

  log.clear();
  const TRect b = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  const POINT center{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  win::test::MouseMove(edit->GetHandle(), center);
  Pump();
  win::test::MouseDown();
  Pump();
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(log, Log{"button click 0"});

  // Masked like any mask editor.
  edit->GetProperties()->SetEditMask("00;1;_");
  edit->SetFocus();
  Pump();
  Type("7x8");
  EXPECT_EQ(edit->GetEditText(), "78");
}

TEST_F(MaskEdit, AStoredButtonEditorLoadsItsOwnButtonsInsteadOfTheDefaultOne) {
  RegisterClass(TcxButtonEdit::StaticClass());
  auto* two = MakeEdit<TcxButtonEdit>();
  static_cast<TComponent*>(two)->SetName("Two");
  // In a bracket: a new collection item announces itself while it is
  // still being built.
  two->GetProperties()->BeginUpdate();
  two->GetProperties()->GetButtons()->Add()->SetKind(bkDown);
  two->GetProperties()->EndUpdate();
  auto* none = MakeEdit<TcxButtonEdit>(40);
  static_cast<TComponent*>(none)->SetName("None");
  none->GetProperties()->GetButtons()->Clear();

  const AnsiString layout = ComponentToText(form);
  form->Free();
  form = TCustomForm::CreateNew<TForm>(Application);
  ReadComponentFromText(layout, form);
  auto* loadedTwo = dynamic_cast<TcxButtonEdit*>(form->FindComponent("Two"));
  auto* loadedNone = dynamic_cast<TcxButtonEdit*>(form->FindComponent("None"));
  ASSERT_TRUE(loadedTwo && loadedNone);
  TcxEditButtons* buttons = loadedTwo->GetProperties()->GetButtons();
  ASSERT_EQ(buttons->GetCount(), 2);
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_EQ(buttons->GetItem(1)->GetKind(), bkDown);
  EXPECT_EQ(loadedNone->GetProperties()->GetButtons()->GetCount(), 0);
}

}  // namespace
