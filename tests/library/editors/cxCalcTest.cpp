// The calculator as a person works it: buttons clicked and keys typed
// through its state machine (results to the last digit, the error state
// and its beeps, the digit limit, memory), hot and pressed buttons
// following the mouse, clipboard exchange, the automatic size, and a
// contact sheet of every look (CalculatorSheet.png) to look at.
#include <gtest/gtest.h>

#include <limits>

#include "ConcretePaint.h"
#include "library/editors/cxCalc.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;
using namespace edit_paint;

// A calculator with a display of its own, painted in a chosen look.
class TTestCalculator : public TcxCustomCalculator {
  ORV_CLASS(TTestCalculator, TcxCustomCalculator)
 public:
  explicit TTestCalculator(TComponent* AOwner) : TcxCustomCalculator(AOwner) {}
  AnsiString GetEditorValue() override { return Display; }
  void SetEditorValue(const AnsiString& Value) override { Display = Value; }
  TcxCustomLookAndFeelPainterClass GetPainter() override { return GetLookAndFeel()->GetPainter(); }
  AnsiString Display;
};
ORV_REGISTER(TTestCalculator)

namespace {

class Calculator : public edit_test::ConcreteEditorTest {
 protected:
  ScopedLocale us{"en-US"};

  TTestCalculator* MakeCalculator() {
    auto* calc = New<TTestCalculator>(form);
    calc->SetLeft(10);
    calc->SetTop(10);
    calc->SetParent(form);
    Show();
    calc->SetFocus();
    Pump();
    return calc;
  }
  // Clicks the buttons named by their captions, in order.
  static void Click(TTestCalculator* calc, std::initializer_list<TcxCalcButtonKind> kinds) {
    for (TcxCalcButtonKind kind : kinds) {
      const TRect r = calc->GetButton(kind).BtnRect;
      test::Click(calc->GetHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
      Pump();
    }
  }
  static std::string Shown(TTestCalculator* calc) { return calc->Display; }
};

// A parent that lays the calculator out anew (a larger size, a new font)
// in the middle of a calculation leaves the operation and the memory as
// they were.
TEST_F(Calculator, ANewSizeMidCalculationKeepsTheOperationAndTheMemory) {
  TTestCalculator* calc = MakeCalculator();
  Type("42");
  Chord(VK_CONTROL, 'M');
  Type("5+");
  const Integer height = calc->GetButtonHeight();
  calc->SetBounds(calc->GetLeft(), calc->GetTop(), 400, 265);
  Pump();
  ASSERT_GT(calc->GetButtonHeight(), height);
  EXPECT_EQ(calc->GetMemory(), 42);
  EXPECT_FALSE(calc->GetButton(cbMR).Grayed);
  Type("3=");
  EXPECT_EQ(Shown(calc), "8");
  Type("*");
  calc->SetAutoFontSize(false);
  Pump();
  Chord(VK_CONTROL, 'R');
  Type("=");
  EXPECT_EQ(Shown(calc), "336");
}

TEST_F(Calculator, ArithmeticByClicksAndKeysToTheLastDigit) {
  TTestCalculator* calc = MakeCalculator();
  Click(calc, {cbNum2, cbAdd, cbNum3, cbEqual});
  EXPECT_EQ(Shown(calc), "5");
  Click(calc, {cbEqual});
  EXPECT_EQ(Shown(calc), "5");
  // Percent of the operand under + and -, a plain hundredth under * and /.
  Type("50+10%");
  EXPECT_EQ(Shown(calc), "55");
  Type("50*10%");
  EXPECT_EQ(Shown(calc), "5");
  // A result carries the display's fifteen digits, no more, no less.
  Type("1/3=");
  EXPECT_EQ(Shown(calc), "0.333333333333333");
  Type("*3=");
  EXPECT_EQ(Shown(calc), "0.999999999999999");
  Type("0.1+0.2=");
  EXPECT_EQ(Shown(calc), "0.3");
  Press(VK_ESCAPE);
  EXPECT_EQ(Shown(calc), "0");

  // Backspace: the last digit, and "0" when the number (or its sign) is
  // all that is left.
  Type("12\b");
  EXPECT_EQ(Shown(calc), "1");
  Press(VK_ESCAPE);
  Type("7");
  Press(VK_F9);
  EXPECT_EQ(Shown(calc), "-7");
  Type("\b");
  EXPECT_EQ(Shown(calc), "0");

  // Fifteen digits; the sixteenth is refused with a beep. A sign takes no
  // digit's place.
  Press(VK_ESCAPE);
  Integer beeps = test::BeepCount();
  Type("1234567890123456");
  EXPECT_EQ(Shown(calc), "123456789012345");
  EXPECT_EQ(test::BeepCount(), beeps + 1);
  Press(VK_ESCAPE);
  Type("1");
  Press(VK_F9);
  Type("234567890123456");
  EXPECT_EQ(Shown(calc), "-123456789012345");

  // The sign of a number being typed leaves what was typed: the digits
  // after a separator stay decimals, a zero after it stays.
  Press(VK_ESCAPE);
  Type("1.");
  Press(VK_F9);
  Type("5");
  EXPECT_EQ(Shown(calc), "-1.5");
  Press(VK_F9);
  EXPECT_EQ(Shown(calc), "1.5");
  Press(VK_ESCAPE);
  Type("0.50");
  Press(VK_F9);
  Type("1*2=");
  EXPECT_EQ(Shown(calc), "-1.002");

  // Memory: MC and MR grayed while it holds 0, and a click on them does
  // nothing then.
  Press(VK_ESCAPE);
  EXPECT_TRUE(calc->GetButton(cbMR).Grayed);
  Type("42");
  Click(calc, {cbMR});
  EXPECT_EQ(Shown(calc), "42");
  Chord(VK_CONTROL, 'M');
  EXPECT_EQ(calc->GetMemory(), 42);
  EXPECT_FALSE(calc->GetButton(cbMC).Grayed);
  Type("8");
  Chord(VK_CONTROL, 'P');
  EXPECT_EQ(calc->GetMemory(), 50);
  Press(VK_ESCAPE);
  Chord(VK_CONTROL, 'R');
  EXPECT_EQ(Shown(calc), "50");
  Chord(VK_CONTROL, 'L');
  EXPECT_TRUE(calc->GetButton(cbMC).Grayed);
  EXPECT_EQ(calc->GetMemory(), 0);
}

TEST_F(Calculator, ErrorsShowErrorBeepAndOnlyClearLeavesThem) {
  TTestCalculator* calc = MakeCalculator();
  const Integer beeps = test::BeepCount();
  Type("1/0");
  Press(VK_RETURN);
  EXPECT_EQ(Shown(calc), "Error");
  EXPECT_EQ(calc->GetState(), csError);
  EXPECT_EQ(test::BeepCount(), beeps + 1);
  Type("5");
  EXPECT_EQ(Shown(calc), "Error");
  EXPECT_EQ(test::BeepCount(), beeps + 2);
  EXPECT_EQ(calc->GetDisplay(), 0);
  Press(VK_DELETE);
  EXPECT_EQ(Shown(calc), "0");
  EXPECT_EQ(calc->GetState(), csFirst);

  Type("4");
  Press(VK_F9);
  Type("@");
  EXPECT_EQ(Shown(calc), "Error");
  Press('C');
  Type("9@");
  EXPECT_EQ(Shown(calc), "3");
  Press('C');
  Press('R');
  EXPECT_EQ(Shown(calc), "Error");
  calc->SetBeepOnError(false);
  const Integer quiet = test::BeepCount();
  Type("7");
  EXPECT_EQ(test::BeepCount(), quiet);
  Press(VK_ESCAPE);

  // A display that is not a number (set by whoever owns it) reads as 0:
  // a button press never raises.
  calc->Display = "12a";
  EXPECT_NO_THROW(Type("+1="));
  EXPECT_EQ(Shown(calc), "1");
  Press(VK_ESCAPE);

  // A result past the largest number is an error as well, not an "INF"
  // the next step would go on from as 0; the same for the sum in memory,
  // and for one whose digits round past the largest number.
  Type("999999999999999");
  for (int square = 0; square < 4; ++square) Click(calc, {cbMS, cbMul, cbMR, cbEqual});
  EXPECT_EQ(Shown(calc), "9.99999999999984E239");
  Click(calc, {cbMS, cbMul, cbMR, cbEqual});
  EXPECT_EQ(Shown(calc), "Error");
  EXPECT_EQ(calc->GetState(), csError);
  Press(VK_ESCAPE);
  calc->SetDisplay(1e308);
  Click(calc, {cbMS, cbMP, cbMP, cbMR});
  EXPECT_EQ(Shown(calc), "Error");
  Press(VK_ESCAPE);
  calc->SetDisplay(std::numeric_limits<double>::max());
  EXPECT_EQ(Shown(calc), "Error");
  Press(VK_ESCAPE);
  EXPECT_EQ(Shown(calc), "0");
}

TEST_F(Calculator, HotAndPressedButtonsFollowTheMouse) {
  TTestCalculator* calc = MakeCalculator();
  calc->GetLookAndFeel()->SetKind(lfUltraFlat);
  const TRect seven = calc->GetButton(cbNum7).BtnRect;
  const TRect eight = calc->GetButton(cbNum8).BtnRect;
  test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
  Pump();
  EXPECT_EQ(calc->GetHotButton(), cbNum7);
  test::MouseMove(calc->GetHandle(), {eight.Left + 3, eight.Top + 3});
  Pump();
  EXPECT_EQ(calc->GetHotButton(), cbNum8);

  // Pressed while the pointer is over it; dragged off and released, no
  // click.
  test::MouseDown();
  Pump();
  EXPECT_TRUE(calc->GetButton(cbNum8).Down);
  test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
  Pump();
  EXPECT_FALSE(calc->GetButton(cbNum8).Down);
  EXPECT_FALSE(calc->GetButton(cbNum7).Down);
  test::MouseUp();
  Pump();
  EXPECT_EQ(Shown(calc), "");
  // Back over it before the release: a click.
  test::MouseMove(calc->GetHandle(), {eight.Left + 3, eight.Top + 3});
  test::MouseDown();
  test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
  test::MouseMove(calc->GetHandle(), {eight.Left + 4, eight.Top + 4});
  Pump();
  EXPECT_TRUE(calc->GetButton(cbNum8).Down);
  test::MouseUp();
  Pump();
  EXPECT_EQ(Shown(calc), "8");
  // Grayed buttons take no press; the standard look tracks nothing.
  const TRect mr = calc->GetButton(cbMR).BtnRect;
  test::Click(calc->GetHandle(), {mr.Left + 3, mr.Top + 3});
  Pump();
  EXPECT_FALSE(calc->GetButton(cbMR).Down);
  calc->GetLookAndFeel()->SetKind(lfStandard);
  test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
  Pump();
  EXPECT_NE(calc->GetHotButton(), cbNum7);
}

TEST_F(Calculator, ClipboardCopiesTheDisplayAndPastesNumbersOnly) {
  TTestCalculator* calc = MakeCalculator();
  Type("12.5");
  Chord(VK_CONTROL, 'C');
  edit_test::SetClipboardText(" $1234.5 ");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Shown(calc), "1234.5");
  // It is a number being entered: an operator applies to it.
  Type("+1=");
  EXPECT_EQ(Shown(calc), "1235.5");
  edit_test::SetClipboardText("twelve");
  Chord(VK_CONTROL, 'V');
  EXPECT_EQ(Shown(calc), "0");
  // What was copied comes back.
  edit_test::SetClipboardText("");
  calc->Display = "12.5";
  calc->CopyToClipboard();
  calc->Display.clear();
  calc->PasteFromClipboard();
  EXPECT_EQ(Shown(calc), "12.5");
}

TEST_F(Calculator, AutomaticSizeAndLayout) {
  TTestCalculator* calc = MakeCalculator();
  calc->SetBounds(10, 10, 198, 131);
  EXPECT_EQ(calc->GetButtonHeight(), 23);
  EXPECT_EQ(calc->GetWidth(), 202);
  EXPECT_EQ(calc->GetHeight(), 133);
  // The wide buttons end where "=" ends; nothing overlaps.
  EXPECT_EQ(calc->GetButton(cbClear).BtnRect.Right, calc->GetButton(cbEqual).BtnRect.Right);
  for (Integer a = 0; a < cxCalcButtonCount; ++a)
    for (Integer b = a + 1; b < cxCalcButtonCount; ++b) {
      const TRect ra = calc->GetButton(TcxCalcButtonKind(a)).BtnRect;
      const TRect rb = calc->GetButton(TcxCalcButtonKind(b)).BtnRect;
      EXPECT_FALSE(ra.Left < rb.Right && rb.Left < ra.Right && ra.Top < rb.Bottom && rb.Top < ra.Bottom)
          << a << " " << b;
    }
  // A larger area, larger buttons and a bold font from size 10 on.
  calc->SetBounds(10, 10, 300, 200);
  EXPECT_GT(calc->GetButtonHeight(), 23);
  EXPECT_GE(calc->GetFontSize(), 10);
  EXPECT_LE(calc->GetHeight(), 200);
}

TEST_F(Calculator, EveryLookNormalHotPressedGrayedAndInError) {
  TTestCalculator* calc = MakeCalculator();
  const Look looks[] = {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]};
  const Integer w = calc->GetWidth(), h = calc->GetHeight();
  PainterCanvas sheet(10 + 3 * (w + 10), 24 + 5 * (h + 24), static_cast<TColor>(0xF0F0F0));
  const char* columns[] = {"hot 7, MC and MR grayed", "pressed 8", "error"};
  for (Integer c = 0; c < 3; ++c) Label(sheet.get(), columns[c], TRect(10 + c * (w + 10), 4, (c + 1) * (w + 10), 20));
  Integer row = 0;
  for (const Look& look : looks) {
    SCOPED_TRACE(look.Name);
    calc->GetLookAndFeel()->SetKind(look.Kind);
    calc->GetLookAndFeel()->SetNativeStyle(look.Native);
    Press(VK_ESCAPE);
    const Integer top = 24 + row * (h + 24);
    Label(sheet.get(), look.Name, TRect(10, top - 2, 200, top + 14));
    const TRect seven = calc->GetButton(cbNum7).BtnRect;
    const TRect eight = calc->GetButton(cbNum8).BtnRect;
    test::MouseMove(calc->GetHandle(), {seven.Left + 3, seven.Top + 3});
    Pump();
    GrabWindow(calc, sheet.get(), TPoint(10, top + 16));
    // A grayed button's caption is not in its colour; a normal one's is.
    const TRect mcBox = ColorBox(sheet, cxRectOffset(calc->GetButton(cbMC).BtnRect, 10, top + 16), clRed);
    EXPECT_TRUE(cxRectIsEmpty(mcBox));
    const TRect msBox = ColorBox(sheet, cxRectOffset(calc->GetButton(cbMS).BtnRect, 10, top + 16), clRed);
    EXPECT_FALSE(cxRectIsEmpty(msBox));
    test::MouseMove(calc->GetHandle(), {eight.Left + 3, eight.Top + 3});
    test::MouseDown();
    Pump();
    // As logged: all 27 captions, each centred on its button in its colour
    // (MC and MR grayed), the pressed one moved by the painter's shift.
    const std::vector<Call> texts = Texts(Record(calc));
    ASSERT_EQ(texts.size(), 27u);
    const Integer shift = calc->GetPainter()->ButtonTextShift();
    for (Integer i = 0; i < cxCalcButtonCount; ++i) {
      const TcxCalcButton& button = calc->GetButton(TcxCalcButtonKind(i));
      EXPECT_EQ(texts[i].Text(), std::string(button.Text));
      EXPECT_EQ(texts[i].Value("text"), Hex(button.Grayed ? clBtnShadow : button.FontColor)) << button.Text;
      const TRect at = i == cbNum8 ? cxRectOffset(button.BtnRect, shift, shift) : button.BtnRect;
      EXPECT_TRUE(texts[i].Has(std::to_string(at.Left) + "," + std::to_string(at.Top) + "," +
                               std::to_string(at.Right) + "," + std::to_string(at.Bottom)))
          << texts[i].Args;
    }
    GrabWindow(calc, sheet.get(), TPoint(20 + w, top + 16));
    test::MouseUp();
    Type("/0=");
    GrabWindow(calc, sheet.get(), TPoint(30 + 2 * w, top + 16));
    ++row;
  }
  EXPECT_TRUE(SaveBitmapPng(sheet.Bitmap()->GetHandle(), "CalculatorSheet.png"));
}

}  // namespace
