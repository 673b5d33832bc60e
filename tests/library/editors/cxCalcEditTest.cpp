// The calculator editor as a person uses it: the drop-down opened by keys,
// the calculator's buttons writing the editor's text, the ways it closes
// (Enter and "=" accept, Escape cancels, "Error" left behind becomes 0),
// typing filtered to numbers, pasted outside text, the display rules,
// typed numbers past a bound refused, and a contact sheet of the open
// drop-down in every look (CalcEditSheet.png).
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "ConcretePaint.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/cxCalcEdit.h"
#include "library/foundation/cxButtons.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;

namespace {

class CalcEdit : public edit_test::ConcreteEditorTest {
 protected:
  ScopedLocale us{"en-US"};
  TcxCalcEdit* sink = nullptr;

  void SetUp() override {
    ConcreteEditorTest::SetUp();
    // First in the tab order: it has the focus when the form shows.
    sink = Make<TcxCalcEdit>({10, 250, 170, 271});
  }
  TcxCalcEdit* MakeCalc() {
    auto* edit = Make<TcxCalcEdit>({10, 10, 170, 31});
    edit->GetProperties()->OnClosePopup = [this](TObject*, TcxEditCloseUpReason AReason) {
      static const char* Names[] = {"crUnknown", "crTab", "crClose", "crCancel", "crEnter"};
      log.push_back(Names[AReason]);
    };
    Show();
    Focus(edit);
    return edit;
  }
  static void ClickButton(TcxCalcEdit* edit, TcxCalcButtonKind AKind) {
    TcxPopupCalculator* calc = edit->GetCalculator();
    const TRect r = calc->GetButton(AKind).BtnRect;
    test::Click(calc->GetHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Pump();
  }
  static std::string TextOf(TcxCalcEdit* edit) { return edit->GetText(); }
};

TEST_F(CalcEdit, TheDropDownCalculatesInTheEditorsTextAndClosesByItsKeys) {
  TcxCalcEdit* edit = MakeCalc();
  EXPECT_EQ(TextOf(edit), "0") << "a new editor holds 0";
  Type("12");
  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(edit->GetDroppedDown());
  TcxPopupCalculator* calc = edit->GetCalculator();
  EXPECT_TRUE(calc->Focused());
  // Sized by the editor's font: buttons twice its height.
  EXPECT_EQ(calc->GetButtonHeight(), 2 * calc->GetCanvas()->TextHeight("Zg"));
  EXPECT_LE(calc->GetWidth(), edit->GetPopupWindow()->GetClientWidth());

  // Each press writes the editor's text at once.
  ClickButton(edit, cbAdd);
  ClickButton(edit, cbNum3);
  EXPECT_EQ(TextOf(edit), "3");
  Type("0");
  EXPECT_EQ(TextOf(edit), "30");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  // Enter presses "=" first, then accepts.
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "42");
  EXPECT_EQ(log, (edit_test::Log{"crEnter"}));
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->GetValue(), 42);

  // F4 opens and closes with the text as the calculator left it; Escape
  // clears, then cancels. A key held down as the drop-down closed leaves
  // no button drawn down.
  log.clear();
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  Type("*2");
  Press(VK_F4);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "2");
  Press(VK_F4);
  Press(VK_ESCAPE);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "0");
  EXPECT_EQ(log, (edit_test::Log{"crClose", "crCancel"}));
  Press(VK_F4);
  EXPECT_FALSE(calc->GetButton(cbClear).Down);
  Press(VK_F4);

  // QuickClose: "=" computes and accepts.
  edit->GetProperties()->SetQuickClose(true);
  log.clear();
  edit->SetValue(6);
  Press(VK_F4);
  Type("*7=");
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "42");
  EXPECT_EQ(log, (edit_test::Log{"crEnter"}));

  // A division by zero left showing "Error" becomes 0 on closing, and the
  // next drop-down calculates again from that 0.
  Press(VK_F4);
  Type("/0");
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "0");
  EXPECT_EQ(edit->GetValue(), 0);
  Press(VK_F4);
  Type("5+");
  EXPECT_EQ(TextOf(edit), "5");
  Press(VK_F4);

  // So does a result past the largest number the editor reads: the
  // editor never shows a number it then does not hold.
  edit->SetValue(1e300);
  Press(VK_F4);
  Type("*175000000=");
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "0");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(VarToStr(edit->GetEditValue()), "0");

  // A text set by code that is no number reads as 0 under a button press
  // instead of raising out of the mouse handler.
  edit->GetInnerEdit()->SetEditValue(Variant(AnsiString("$12")));
  Press(VK_F4);
  EXPECT_NO_THROW(ClickButton(edit, cbAdd));
  ClickButton(edit, cbNum1);
  ClickButton(edit, cbEqual);
  EXPECT_EQ(TextOf(edit), "1");
  Press(VK_ESCAPE);

  // Read-only: no drop-down, by key or button.
  edit->GetProperties()->SetReadOnly(true);
  Press(VK_F4);
  Chord(VK_MENU, VK_DOWN);
  EXPECT_FALSE(edit->GetDroppedDown());
}

TEST_F(CalcEdit, TypingPastingAndTheDisplayRules) {
  TcxCalcEdit* edit = MakeCalc();
  const Integer beeps = test::BeepCount();
  SelectAllAndType(edit, "12a");
  EXPECT_EQ(TextOf(edit), "12");
  EXPECT_EQ(test::BeepCount(), beeps + 1);
  SelectAllAndType(edit, "-");
  EXPECT_EQ(TextOf(edit), "-") << "a sign into an empty text";
  // ',' is the decimal key in en-US too; 1e-400 underflows and is refused.
  SelectAllAndType(edit, "1,5");
  EXPECT_EQ(TextOf(edit), "1.5");
  edit->SelectAll();
  edit_test::SetClipboardText("1e-400");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "1.5") << "pasted outside text that is no number changes nothing";
  edit_test::SetClipboardText("twelve");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "1.5");
  edit_test::SetClipboardText(" $2500 ");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(TextOf(edit), "2500");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->GetValue(), 2500);
  SelectAllAndType(edit, "");
  Press(VK_BACK);
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_TRUE(VarIsNull(edit->GetEditValue())) << "an empty text is Null";

  // Display: scientific mantissas lose only their trailing zeros; the
  // grouping is the locale's; typed separators still read.
  TcxCalcEditProperties* properties = edit->GetProperties();
  Variant shown;
  properties->SetScientificFormat(true);
  properties->PrepareDisplayValue(Variant(1.0203), shown, true);
  EXPECT_TRUE(VarToStr(shown).starts_with("1.0203E")) << VarToStr(shown);
  properties->PrepareDisplayValue(Variant(2.0), shown, true);
  EXPECT_TRUE(VarToStr(shown).starts_with("2E")) << VarToStr(shown);
  properties->SetScientificFormat(false);
  properties->SetUseThousandSeparator(true);
  properties->PrepareDisplayValue(Variant(1234567.0), shown, true);
  EXPECT_EQ(VarToStr(shown), "1,234,567");
  Variant value;
  edit->InternalPrepareEditValue("1,234,567.5", value);
  EXPECT_EQ(value.AsDouble(), 1234567.5);
  {
    ScopedLocale de("de-DE");
    properties->PrepareDisplayValue(Variant(1234567.5), shown, true);
    EXPECT_EQ(VarToStr(shown), "1.234.567,5");
  }
  // Precision: capped at 15, stored only once set.
  EXPECT_FALSE(properties->IsPrecisionStored());
  properties->SetPrecision(20);
  EXPECT_EQ(properties->GetPrecision(), 15);
  properties->SetPrecision(4);
  properties->SetUseThousandSeparator(false);
  properties->PrepareDisplayValue(Variant(3.14159), shown, true);
  EXPECT_EQ(VarToStr(shown), "3.142");
  EXPECT_EQ(edit->GetCalculator()->GetPrecision(), 4) << "the calculator follows the properties";

  // A display format shows only while the editor is not focused.
  properties->SetPrecision(15);
  properties->SetDisplayFormat("#,##0.00");
  edit->SetValue(1234.5);
  sink->SetFocus();
  Pump();
  EXPECT_EQ(TextOf(edit), "1,234.50");
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "1234.5");
}

// The memory keeps a number from one drop-down to the next, while an
// operator left pending when the last one closed does not reach the text
// the next one opens on.
TEST_F(CalcEdit, TheMemoryOutlivesTheDropDownAndNothingElseIsLeftPending) {
  TcxCalcEdit* edit = MakeCalc();
  edit->SetValue(42);
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  Chord(VK_CONTROL, 'M');
  Type("+3");
  Press(VK_F4);
  ASSERT_FALSE(edit->GetDroppedDown());
  SelectAllAndType(edit, "100");
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  EXPECT_EQ(edit->GetCalculator()->GetMemory(), 42);
  EXPECT_FALSE(edit->GetCalculator()->GetButton(cbMR).Grayed);
  Type("=");
  EXPECT_EQ(TextOf(edit), "100");
  Type("5");
  EXPECT_EQ(TextOf(edit), "5") << "a digit starts a new number";
  Type("+");
  Chord(VK_CONTROL, 'R');
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "47");
}

// Precision 0 shows a number with every digit the editor has: the
// calculator works to those digits too.
TEST_F(CalcEdit, UnderPrecisionZeroTheCalculatorKeepsEveryDigit) {
  TcxCalcEdit* edit = MakeCalc();
  edit->GetProperties()->SetPrecision(0);
  edit->SetValue(100);
  Press(VK_F4);
  Type("+23=");
  EXPECT_EQ(TextOf(edit), "123");
  Type("1/3");
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "0.333333333333333");
}

TEST_F(CalcEdit, ATypedNumberPastABoundIsRefusedAndTheOldValueKept) {
  TcxCalcEdit* edit = MakeCalc();
  edit->GetProperties()->OnEditValueChanged = [this](TObject* Sender) {
    log.push_back("value " + edit_test::Text(static_cast<TcxCalcEdit*>(Sender)->GetEditValue()));
  };
  edit->GetProperties()->SetMinValue(10);
  edit->GetProperties()->SetMaxValue(100);
  edit->SetValue(50);
  Focus(edit);
  // "150" is the number 150, which sorts below "50" as a string.
  ExpectRefused(edit, "150", "Value out of bounds");
  EXPECT_EQ(edit->GetValue(), 50);
  SelectAllAndType(edit, "9.5");
  EXPECT_FALSE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->GetValue(), 50);
  EXPECT_TRUE(log.empty());
  SelectAllAndType(edit, "10");
  EXPECT_TRUE(edit->ValidateEdit(true));
  sink->SetFocus();
  Pump();
  EXPECT_EQ(edit->GetValue(), 10);
  EXPECT_EQ(log, (edit_test::Log{"value 10"}));
}

TEST_F(CalcEdit, ATextLeftAsNoNumberIsRefusedNotPostedEmpty) {
  // Typing keeps the text a number, but a lone sign may start one and a
  // deletion may take the exponent's digits: leaving with such a text is
  // refused like any other number editor's, the value kept, and an empty
  // text still posts Null.
  TcxCalcEdit* edit = MakeCalc();
  edit->SetValue(12345);
  Focus(edit);
  ExpectRefused(edit, "-", "Invalid input value. Use escape key to abandon changes");
  SelectAllAndType(edit, "15");
  edit->SetSelection(1, 0);
  Type("e");
  EXPECT_EQ(TextOf(edit), "1e5");
  edit->SetSelection(0, 0);
  Press(VK_DELETE);
  EXPECT_EQ(TextOf(edit), "e5");
  EXPECT_FALSE(edit->ValidateEdit(false));
  sink->SetFocus();
  Pump();
  EXPECT_TRUE(edit->IsFocused()) << "the editor keeps the focus";
  EXPECT_EQ(edit->GetValue(), 12345);
  SelectAllAndType(edit, "");
  Press(VK_BACK);
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
}

TEST_F(CalcEdit, TheUnitRegistersTheKindAndAFilterHelperWhoseCalculatorClosesOnEquals) {
  TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
  const Integer index = kinds->GetIndexByClass(TcxCalcEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(kinds->GetDescription(index), "CalcEdit");
  EXPECT_EQ(kinds->GetHint(index), "Represents an edit control with a dropdown calculator window");
  TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindHelper(TcxCalcEditProperties::StaticClass());
  ASSERT_EQ(static_cast<TClass>(helper), TcxFilterCalcEditHelper::StaticClass());
  EXPECT_TRUE(helper->GetSupportedFilterOperators(nullptr, nullptr, true).Contains(fcoNotInList));
  EXPECT_FALSE(helper->GetSupportedFilterOperators(nullptr, nullptr).Contains(fcoBetween));
  TOwned<TcxCalcEditProperties> source(New<TcxCalcEditProperties>(nullptr));
  TOwned<TcxCalcEditProperties> filter(New<TcxCalcEditProperties>(nullptr));
  source->SetPrecision(6);
  helper->InitializeProperties(filter.get(), source.get(), true);
  EXPECT_TRUE(filter->GetQuickClose());
  EXPECT_EQ(filter->GetPrecision(), 6);
  cxCalcEditFinalize();
  EXPECT_LT(kinds->GetIndexByClass(TcxCalcEditProperties::StaticClass()), 0);
  EXPECT_NE(static_cast<TClass>(FilterEditsController()->FindHelper(TcxCalcEditProperties::StaticClass())),
            TcxFilterCalcEditHelper::StaticClass());
  cxCalcEditInitialize();
}

TEST_F(CalcEdit, EveryLookWithTheDropDownOpen) {
  using namespace edit_paint;
  TcxCalcEdit* edit = MakeCalc();
  edit->SetValue(1234.5);
  const Look looks[] = {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]};
  Integer w = 0, h = 0;
  PainterCanvas sheet(10 + 5 * 260, 250, static_cast<TColor>(0xF0F0F0));
  Integer column = 0;
  for (const Look& look : looks) {
    SCOPED_TRACE(look.Name);
    edit->GetStyle()->GetLookAndFeel()->SetKind(look.Kind);
    edit->GetStyle()->GetLookAndFeel()->SetNativeStyle(look.Native);
    Focus(edit);
    Press(VK_F4);
    ASSERT_TRUE(edit->GetDroppedDown());
    TcxPopupCalculator* calc = edit->GetCalculator();
    // The calculator paints its buttons with the editor's look.
    EXPECT_EQ(calc->GetPainter(), GetButtonPainterClass(edit->GetPopupLookAndFeel()));
    const TRect seven = calc->GetButton(cbNum7).BtnRect;
    test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
    Pump();
    const Integer left = 10 + column * 260;
    Label(sheet.get(), look.Name, TRect(left, 4, left + 250, 20));
    GrabWindow(edit, sheet.get(), TPoint(left, 24));
    GrabWindow(edit->GetPopupWindow(), sheet.get(), TPoint(left, 24 + edit->GetHeight()));
    w = std::max(w, edit->GetPopupWindow()->GetWidth());
    h = std::max(h, edit->GetPopupWindow()->GetHeight());
    Press(VK_F4);
    ++column;
  }
  EXPECT_LE(24 + 21 + h, 250);
  EXPECT_LE(w, 250);
  EXPECT_TRUE(SaveBitmapPng(sheet.Bitmap()->GetHandle(), "CalcEditSheet.png"));
}

}  // namespace
