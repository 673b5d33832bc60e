// The spin editor as a real child window on a headless form, driven only
// by injected input: typed text in two locales, the step keys with and
// without Ctrl and held through the keyboard's repeat, the wheel, a mouse
// press held on each button while the fake clock runs, key and mouse
// spinning shutting each other out, a box that cannot be typed into, the
// validation of typed text, and the front end's number rows opened in
// place from the pool.
#include <gtest/gtest.h>

#include <utility>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;
using edit_test::Log;

namespace {

class SpinEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxSpinEdit* MakeSpin(TcxSpinEditValueType AType = vtInt) {
    auto* spin = Make<TcxSpinEdit>({10, 10, 130, 31});
    spin->GetProperties()->SetValueType(AType);
    ListenTo(spin);
    return spin;
  }
  void ListenTo(TcxCustomEdit* edit) {
    edit->GetProperties()->OnChange = [this](TObject*) { log.push_back("change"); };
    edit->GetProperties()->OnEditValueChanged = [this](TObject*) { log.push_back("value changed"); };
    edit->OnEditing = [this](TObject*, bool& CanEdit) {
      if (refuseEditing) log.push_back("editing refused");
      CanEdit = !refuseEditing;
    };
    edit->OnAfterKeyDown = [this](TObject*, Word& Key, TShiftState) {
      log.push_back("after key " + std::to_string(Key));
    };
  }
  static std::string TextOf(TcxSpinEdit* spin) { return spin->GetText(); }
  static TPoint ButtonCenter(TcxSpinEdit* spin, TcxSpinEditButton AButton) {
    return Center(spin->GetViewInfo()->ButtonInfos[AButton]->Bounds);
  }
};

TEST_F(SpinEdit, TypedTextIsFilteredByTheValueTypeAndTheLocaleAndValidatedOnLeaving) {
  TcxSpinEdit* spin = MakeSpin();
  auto* other = Make<TcxSpinEdit>({10, 50, 130, 71});
  spin->GetProperties()->SetMinMaxValues(0, 100);
  Show();
  Focus(spin);
  EXPECT_EQ(TextOf(spin), "0");
  SelectAllAndType(spin, "2x5.0");
  // Letters and the decimal separator have no place in an integer; the
  // refusals are silent without BeepOnError.
  EXPECT_EQ(TextOf(spin), "250");
  EXPECT_EQ(test::BeepCount(), 0);
  spin->GetProperties()->SetBeepOnError(true);
  Type("q");
  EXPECT_EQ(test::BeepCount(), 1);
  // Out of bounds: clamped when the editor is left.
  other->SetFocus();
  Pump();
  EXPECT_EQ(TextOf(spin), "100");
  EXPECT_EQ(spin->GetValue().AsInt64(), 100);
  EXPECT_EQ(VarType(spin->GetEditValue()), varInt64);

  // A letter the integer accepts as a key ('e') leaves a text no integer
  // reads: refused silently, the editor keeps the focus and the text.
  Focus(spin);
  SelectAllAndType(spin, "12e");
  EXPECT_FALSE(spin->ValidateEdit(true));
  EXPECT_EQ(TextOf(spin), "12e");
  spin->GetProperties()->SetExceptionOnInvalidInput(true);
  try {
    spin->ValidateEdit(true);
    ADD_FAILURE() << "no error";
  } catch (const EcxEditValidationError& e) {
    EXPECT_EQ(e.GetMessage(), "Invalid numeric value");
  }
  ExpectRefused(spin, "250", "Value out of bounds");
}

TEST_F(SpinEdit, BothSeparatorKeysTypeTheLocalesDecimalSeparator) {
  TcxSpinEdit* spin = MakeSpin(vtFloat);
  Show();
  for (const char* locale : {"en-US", "de-DE"}) {
    SCOPED_TRACE(locale);
    ScopedLocale scoped(locale);
    Focus(spin);
    const char separator = std::string(locale) == "de-DE" ? ',' : '.';
    for (const char* typed : {"1.25", "1,25"}) {
      SelectAllAndType(spin, typed);
      EXPECT_EQ(TextOf(spin), std::string("1") + separator + "25");
      EXPECT_TRUE(spin->ValidateEdit(false));
      EXPECT_EQ(spin->GetValue().AsDouble(), 1.25);
    }
  }
  // An exponent is read and shown as the plain number.
  Focus(spin);
  SelectAllAndType(spin, "1e5");
  EXPECT_TRUE(spin->ValidateEdit(false));
  EXPECT_EQ(TextOf(spin), "100000");
}

TEST_F(SpinEdit, StepKeysStepAndRepeatWhileHeldAndCtrlDecidesUnderUseCtrlIncrement) {
  TcxSpinEdit* spin = MakeSpin();
  TcxSpinEditProperties* p = spin->GetProperties();
  p->SetIncrement(2);
  Show();
  Focus(spin);
  Press(VK_UP);
  Press(VK_UP);
  Press(VK_DOWN);
  EXPECT_EQ(TextOf(spin), "2");
  // Page keys take the large step, also without fast buttons.
  Press(VK_PRIOR);
  EXPECT_EQ(TextOf(spin), "12");
  Press(VK_NEXT);
  Press(VK_NEXT);
  EXPECT_EQ(TextOf(spin), "-8");
  // A held key repeats through the keyboard; the button looks pressed
  // until the key is released.
  test::KeyDown(VK_UP);
  test::KeyRepeat(VK_UP, 4);
  Pump();
  EXPECT_EQ(TextOf(spin), "2");
  EXPECT_EQ(spin->GetPressedState(), epsUp);
  EXPECT_EQ(spin->GetViewInfo()->ButtonInfos[sebForward]->State, ebsPressed);
  test::KeyUp(VK_UP);
  Pump();
  EXPECT_EQ(spin->GetPressedState(), epsNone);
  EXPECT_EQ(spin->GetViewInfo()->ButtonInfos[sebForward]->State, ebsNormal);
  EXPECT_EQ(spin->GetSelStart(), 1);

  // With UseCtrlIncrement, Up alone is the text editor's key (the grid
  // would move to the next row); Ctrl+Up steps.
  p->SetUseCtrlIncrement(true);
  log.clear();
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "2");
  EXPECT_EQ(log, Log{"after key 38"});
  Chord(VK_CONTROL, VK_UP);
  EXPECT_EQ(TextOf(spin), "4");
  Chord(VK_CONTROL, VK_PRIOR);
  EXPECT_EQ(TextOf(spin), "14");
}

TEST_F(SpinEdit, TheWheelStepsAndAStepThatEndsOnTheSameTextChangesNothing) {
  TcxSpinEdit* spin = MakeSpin();
  spin->GetProperties()->SetMinMaxValues(0, 3);
  Show();
  Focus(spin);
  Hover(spin, {20, 10});
  test::Wheel(120);
  Pump();
  test::Wheel(120);
  Pump();
  EXPECT_EQ(TextOf(spin), "2");
  test::Wheel(-120);
  Pump();
  EXPECT_EQ(TextOf(spin), "1");
  EXPECT_EQ(log, (Log{"change", "change", "change"}));
  log.clear();
  // At the bound, and with a step that rounds to nothing.
  spin->SetValue(Variant(3));
  log.clear();
  Press(VK_UP);
  spin->GetProperties()->SetIncrement(0.5);
  Press(VK_DOWN);
  EXPECT_EQ(TextOf(spin), "3");
  EXPECT_EQ(log, Log{});
  EXPECT_FALSE(spin->GetModifiedAfterEnter());
}

TEST_F(SpinEdit, AHeldButtonStepsAtOnceAfter400msAndEvery100msUntilReleasedOrLeft) {
  TcxSpinEdit* spin = MakeSpin();
  spin->GetProperties()->GetSpinButtons()->SetPosition(sbpHorzRight);
  Show();
  Focus(spin);
  Hover(spin, ButtonCenter(spin, sebForward));
  test::MouseDown();
  Pump();
  EXPECT_EQ(TextOf(spin), "1");
  test::PumpFor(399);
  EXPECT_EQ(TextOf(spin), "1");
  test::PumpFor(1);
  EXPECT_EQ(TextOf(spin), "2");
  test::PumpFor(599);  // one second in all
  EXPECT_EQ(TextOf(spin), "7");
  test::MouseUp();
  Pump();
  EXPECT_EQ(spin->GetRepeatTimer(), nullptr);
  test::PumpFor(1000);
  EXPECT_EQ(TextOf(spin), "7");

  // Leaving the button while holding it stops the repeat.
  Hover(spin, ButtonCenter(spin, sebBackward));
  test::MouseDown();
  Pump();
  test::PumpFor(450);
  EXPECT_EQ(TextOf(spin), "5");
  Hover(spin, {10, 10});
  test::PumpFor(1000);
  EXPECT_EQ(TextOf(spin), "5");
  test::MouseUp();
  Pump();
  EXPECT_EQ(test::Capture(), nullptr);
}

TEST_F(SpinEdit, KeySpinningAndMouseSpinningShutEachOtherOut) {
  TcxSpinEdit* spin = MakeSpin();
  Show();
  Focus(spin);
  // A key holds the forward button: the backward one cannot be pressed.
  test::KeyDown(VK_UP);
  Pump();
  EXPECT_EQ(TextOf(spin), "1");
  Hover(spin, ButtonCenter(spin, sebBackward));
  test::MouseDown();
  test::PumpFor(600);
  test::MouseUp();
  Pump();
  EXPECT_EQ(TextOf(spin), "1");
  test::KeyUp(VK_UP);
  Pump();
  // A mouse-held button ends with any other key.
  test::MouseDown();
  Pump();
  EXPECT_EQ(TextOf(spin), "0");
  Press(VK_HOME);
  test::PumpFor(1000);
  EXPECT_EQ(TextOf(spin), "0");
  EXPECT_EQ(spin->GetRepeatTimer(), nullptr);
  test::MouseUp();
  Pump();
}

TEST_F(SpinEdit, ABoxThatCannotBeTypedIntoStillStepsByButtonsWheelAndKeys) {
  TcxSpinEdit* spin = MakeSpin();
  spin->GetProperties()->SetCanEdit(false);
  spin->SetValue(Variant(15));
  Show();
  Focus(spin);
  spin->SetSelection(0, 0);
  Type("7");
  Press(VK_DELETE);
  Type("\b");
  EXPECT_EQ(TextOf(spin), "15");
  EXPECT_EQ(test::BeepCount(), 0);
  spin->GetProperties()->SetBeepOnError(true);
  Type("78");
  EXPECT_EQ(test::BeepCount(), 2);
  Press(VK_UP);
  Hover(spin, {20, 10});
  test::Wheel(120);
  Pump();
  Hover(spin, ButtonCenter(spin, sebForward));
  test::MouseDown();
  test::MouseUp();
  Pump();
  EXPECT_EQ(TextOf(spin), "18");
  // Editing refused: no step at all.
  refuseEditing = true;
  spin->SetModifiedAfterEnter(false);
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "18");
}

TEST_F(SpinEdit, ValuesSetByCodeMustBeNumbersOfTheTypeAndAFocusedEmptyBoxStartsFromTheBounds) {
  TcxSpinEdit* spin = MakeSpin();
  spin->GetProperties()->SetMinMaxValues(5, 10);
  spin->SetValue(Variant(7));
  spin->SetValue(Variant("8"));
  spin->SetValue(Variant(1.5));
  spin->SetValue(Variant(true));
  EXPECT_EQ(spin->GetValue().AsInt64(), 7);
  spin->SetEditValue(Null());
  Show();
  Focus(spin);
  EXPECT_EQ(TextOf(spin), "5");
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "6");
}

TEST_F(SpinEdit, AnOnGetValueHandlerReadsWhatTheEditorCannotAndItsErrorsBecomeRefusals) {
  TcxSpinEdit* spin = MakeSpin();
  spin->GetProperties()->OnGetValue = [](TObject*, const AnsiString& AText, Variant& AValue, AnsiString&,
                                         bool& Error) {
    if (AText == "ten") {
      AValue = Variant(10);
      Error = false;
    } else if (AText == "bad") {
      throw Exception("no such number");
    }
  };
  Show();
  Focus(spin);
  SelectAllAndType(spin, "ten");
  EXPECT_TRUE(spin->ValidateEdit(true));
  EXPECT_EQ(TextOf(spin), "10");
  Variant value;
  AnsiString error;
  EXPECT_FALSE(spin->InternalPrepareEditValue("bad", false, value, error));
  EXPECT_EQ(error, "no such number");
  EXPECT_THROW(spin->InternalPrepareEditValue("bad", true, value, error), Exception);
}

TEST_F(SpinEdit, TheFrontEndsNumberRowsWorkInPlace) {
  // An integer row: bounds, steps of 1 and 10, only with Ctrl.
  auto* integers = Row<TcxSpinEditProperties>();
  integers->SetValueType(vtInt);
  integers->SetMinValue(-20);
  integers->SetMaxValue(100);
  integers->SetIncrement(1.0);
  integers->SetLargeIncrement(10.0);
  integers->SetUseCtrlIncrement(true);
  auto* spin = static_cast<TcxSpinEdit*>(Open(integers, Variant(95)));
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "95");
  Chord(VK_CONTROL, VK_UP);
  Chord(VK_CONTROL, VK_PRIOR);
  EXPECT_EQ(TextOf(spin), "100");
  Close(spin);
  EXPECT_EQ(log, Log{"take 100"});
  log.clear();

  // "250" typed: the row takes 100.
  spin = static_cast<TcxSpinEdit*>(Open(integers, Variant(3)));
  spin->SelectAll();
  Type("250");
  Close(spin);
  EXPECT_EQ(log, Log{"take 100"});
  log.clear();

  // A decimal row with single-precision bounds and steps of 0.1.
  auto* decimals = Row<TcxSpinEditProperties>();
  decimals->SetValueType(vtFloat);
  decimals->SetMinValue(static_cast<float>(0.2));
  decimals->SetMaxValue(static_cast<float>(1.3));
  decimals->SetIncrement(0.1);
  decimals->SetLargeIncrement(1.0);
  decimals->SetUseCtrlIncrement(true);
  decimals->SetImmediatePost(true);
  auto* decimal = static_cast<TcxSpinEdit*>(Open(decimals, Variant(0.5)));
  Chord(VK_CONTROL, VK_UP);
  Chord(VK_CONTROL, VK_UP);
  EXPECT_EQ(TextOf(decimal), "0.7");
  EXPECT_EQ(log, (Log{"post 0.6", "post 0.7"}));
  Chord(VK_CONTROL, VK_PRIOR);
  // Stopped at the bound (as its text reads back).
  EXPECT_NEAR(decimal->GetValue().AsDouble(), static_cast<float>(1.3), 1e-12);
  log.clear();
  Close(decimal);
  EXPECT_EQ(log.size(), 1u);

  // A decimal row may hold a number no 64-bit integer reaches; the
  // integer row opened next from the pool shows its own value, not an
  // overflow of the decimal row's.
  auto* wide = Row<TcxSpinEditProperties>();
  wide->SetValueType(vtFloat);
  wide->SetMinValue(0);
  wide->SetMaxValue(1e20);
  decimal = static_cast<TcxSpinEdit*>(Open(wide, Variant(1e19)));
  Close(decimal);
  spin = static_cast<TcxSpinEdit*>(Open(integers, Variant(42)));
  EXPECT_EQ(TextOf(spin), "42");
  Close(spin);
  log.clear();

  // The step settings are read when a step is taken: a write needs no
  // notice.
  spin = static_cast<TcxSpinEdit*>(Open(integers, Variant(0)));
  spin->GetProperties()->LockUpdate(true);
  spin->GetProperties()->SetIncrement(7);
  spin->GetProperties()->SetUseCtrlIncrement(false);
  spin->GetProperties()->LockUpdate(false);
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "7");
  Close(spin);
}

TEST_F(SpinEdit, StepsOfALargeIntegerShowAllItsDigitsAndPost) {
  auto* integers = Row<TcxSpinEditProperties>();
  integers->SetValueType(vtInt);
  integers->SetImmediatePost(true);
  auto* spin = static_cast<TcxSpinEdit*>(Open(integers, Variant(Int64{123456789012345678})));
  EXPECT_EQ(TextOf(spin), "123456789012345678");
  Press(VK_UP);
  Press(VK_UP);
  EXPECT_EQ(TextOf(spin), "123456789012345680");
  EXPECT_EQ(log, (Log{"post 123456789012345679", "post 123456789012345680"}));
  log.clear();
  Close(spin);
  EXPECT_EQ(log, Log{"take 123456789012345680"});
}

// A decimal bound with more digits than its text shows (0.1 + 0.2 shows
// "0.3"): a typed value clamped to it stores the bound itself, never the
// smaller number its text reads as, and its text retyped is the bound.
TEST_F(SpinEdit, ABoundThatItsTextRoundsIsKeptExactWhenClampedToOrRetyped) {
  ScopedLocale us("en-US");
  TcxSpinEdit* spin = MakeSpin(vtFloat);
  auto* other = Make<TcxSpinEdit>({10, 50, 130, 71});
  const double least = 0.1 + 0.2, most = 0.7 + 0.2;  // 0.30000000000000004, 0.9000000000000001
  spin->GetProperties()->SetMinMaxValues(least, most);
  spin->SetValue(Variant(0.5));
  Show();
  for (const auto& [typed, bound] : {std::pair{"0.1", least}, std::pair{"2", most}}) {
    SCOPED_TRACE(typed);
    Focus(spin);
    SelectAllAndType(spin, typed);
    other->SetFocus();
    Pump();
    EXPECT_EQ(spin->GetEditValue().AsDouble(), bound);
    EXPECT_EQ(spin->GetValue().AsDouble(), bound);
  }
  // Refusing out of bounds values, the bounds' own texts are taken as the
  // bounds.
  spin->GetProperties()->SetExceptionOnInvalidInput(true);
  for (const auto& [typed, bound] : {std::pair{"0.3", least}, std::pair{"0.9", most}}) {
    SCOPED_TRACE(typed);
    Focus(spin);
    SelectAllAndType(spin, typed);
    EXPECT_TRUE(spin->ValidateEdit(true));
    other->SetFocus();
    Pump();
    EXPECT_EQ(spin->GetEditValue().AsDouble(), bound);
  }
  Focus(spin);
  ExpectRefused(spin, "0.29", "Value out of bounds");
}

TEST_F(SpinEdit, TheUnitRegistersTheKindAndItsFilterHelperAndTakesThemBack) {
  TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer index = kinds->GetIndexByClass(TcxSpinEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDescription(index), "SpinEdit");
  EXPECT_EQ(kinds->GetHint(index), "Represents a spin editor");
  TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(TcxSpinEditProperties::StaticClass());
  EXPECT_EQ(static_cast<TClass>(helper), TcxFilterSpinEditHelper::StaticClass());
  EXPECT_TRUE(helper->GetSupportedFilterOperators(nullptr, nullptr, true).Contains(fcoBetween));
  EXPECT_FALSE(helper->GetSupportedFilterOperators(nullptr, nullptr).Contains(fcoLike));
  cxSpinEditFinalize();
  EXPECT_LT(kinds->GetIndexByClass(TcxSpinEditProperties::StaticClass()), 0);
  EXPECT_NE(static_cast<TClass>(FilterEditsController()->FindHelper(TcxSpinEditProperties::StaticClass())),
            TcxFilterSpinEditHelper::StaticClass());
  cxSpinEditInitialize();
}

}  // namespace
