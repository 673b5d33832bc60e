// Hints in time: the pointer rests over a control that shows hints, the
// control is asked, the hint window appears below the pointer and goes
// after the hide pause, when the pointer leaves, or on a key; the hint
// window also works on its own.
#include "platform/forms/Hints.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "ControlLog.h"

using namespace forms_test;

namespace {

class THintedControl : public TLogControl {
  ORV_CLASS(THintedControl, TLogControl)
 public:
  using TLogControl::TLogControl;
  THintInfo Seen;
  int Asked = 0;
  bool Refuse = false;
  AnsiString Replace;

 protected:
  void CMHintShowHere(TMessage& Message) {
    ++Asked;
    auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
    Seen = *info;
    if (!Replace.empty()) info->HintStr = Replace;
    Message.Result = Refuse ? 1 : 0;
  }
  ORV_MESSAGE(win::CM_HINTSHOW, CMHintShowHere)
};
ORV_REGISTER(THintedControl)

class Hints : public ::testing::Test {
 protected:
  forms::test::Session session;
  TForm* form = nullptr;
  THintedControl* target = nullptr;
  TLogControl* plain = nullptr;
  void SetUp() override {
    form = MakeForm("Form", Bounds(100, 100, 300, 200));
    target = Make<THintedControl>(form, "Target", Bounds(10, 10, 100, 40));
    target->SetHint("Run|Runs the generator");
    target->SetShowHint(true);
    plain = Make<TLogControl>(form, "Plain", Bounds(10, 100, 100, 40));
    form->Show();
    win::test::PumpUntilIdle();
  }
  void TearDown() override { form->Free(); }
  void Rest(TControl* c, TPoint p) {
    win::test::MouseMove(dynamic_cast<TWinControl*>(c)->GetHandle(), p);
    win::test::PumpUntilIdle();
  }
};

TEST_F(Hints, RestingOverAControlShowsItsShortHintBelowThePointerThenHidesIt) {
  Rest(target, {20, 20});
  win::test::PumpFor(499);
  EXPECT_EQ(forms::test::CurrentHint(), "");
  win::test::PumpFor(1);
  EXPECT_EQ(forms::test::CurrentHint(), "Run");
  EXPECT_EQ(target->Asked, 1);
  EXPECT_EQ(target->Seen.HintControl, target);
  EXPECT_EQ(target->Seen.HintStr, "Run");
  EXPECT_EQ(target->Seen.CursorPos, Point(20, 20));
  EXPECT_EQ(target->Seen.CursorRect, Rect(0, 0, 100, 40));
  EXPECT_EQ(target->Seen.HideTimeout, 2500);
  EXPECT_EQ(target->Seen.HintColor, clInfoBk);
  TPoint screen = target->ClientToScreen({20, 20});
  TRect r = forms::test::CurrentHintRect();
  EXPECT_EQ(r.Left, screen.X);
  EXPECT_GT(r.Top, screen.Y);
  EXPECT_EQ(Application->GetHintWindow()->GetColor(), clInfoBk);
  win::test::PumpFor(2500);
  EXPECT_EQ(forms::test::CurrentHint(), "");
}

TEST_F(Hints, LeavingTheControlOrPressingAKeyEndsTheHint) {
  Rest(target, {20, 20});
  win::test::PumpFor(500);
  ASSERT_EQ(forms::test::CurrentHint(), "Run");
  Rest(plain, {5, 5});  // no hint here
  EXPECT_EQ(forms::test::CurrentHint(), "");
  win::test::PumpFor(1000);
  EXPECT_EQ(forms::test::CurrentHint(), "");
  Rest(target, {30, 30});
  win::test::PumpFor(500);
  ASSERT_EQ(forms::test::CurrentHint(), "Run");
  win::test::KeyPress('A');
  win::test::PumpUntilIdle();
  EXPECT_EQ(forms::test::CurrentHint(), "");
}

TEST_F(Hints, TheControlMayChangeOrCancelItsHint) {
  target->Replace = "Start the run";
  Rest(target, {20, 20});
  win::test::PumpFor(500);
  EXPECT_EQ(forms::test::CurrentHint(), "Start the run");
  Application->CancelHint();
  target->Refuse = true;
  Rest(target, {25, 25});
  win::test::PumpFor(600);
  EXPECT_EQ(forms::test::CurrentHint(), "");
  EXPECT_GE(target->Asked, 2);
  // The application's switch turns every hint off.
  target->Refuse = false;
  Application->SetShowHint(false);
  Rest(target, {30, 30});
  win::test::PumpFor(600);
  EXPECT_EQ(forms::test::CurrentHint(), "");
  Application->SetShowHint(true);
}

TEST_F(Hints, HintWindowWorksWithoutTheApplicationTiming) {
  auto* window = HintWindowClass.Create(static_cast<TComponent*>(nullptr));
  TRect r = window->CalcHintRect(300, "Cell text jog", nullptr);
  EXPECT_EQ(r.Left, 0);
  EXPECT_GT(r.Width(), 6);
  EXPECT_GT(r.Height(), 2);
  // At its calculated size the hint shows its text as whole as a taller
  // window does (descenders too), with room left above the border.
  auto lowestInk = [&](Integer AHeight) {
    window->ActivateHint(Bounds(100, 100, r.Width(), AHeight), "Cell text jog");
    win::test::PumpUntilIdle();
    win::HDC dc = win::GetDC(window->GetHandle());
    Integer lowest = -1;
    for (Integer y = 1; y < AHeight - 1; ++y)
      for (Integer x = 1; x < r.Width() - 1; ++x) {
        const COLORREF c = win::GetPixel(dc, x, y);
        if (win::GetRValue(c) + win::GetGValue(c) + win::GetBValue(c) < 300) lowest = y;
      }
    win::ReleaseDC(window->GetHandle(), dc);
    return lowest;
  };
  const Integer whole = lowestInk(r.Height() + 20);
  EXPECT_EQ(lowestInk(r.Height()), whole) << "the text's lowest rows are cut";
  EXPECT_LT(whole, r.Height() - 2);
  window->ActivateHint(Bounds(1000, 760, r.Width(), r.Height()), "Cell text");
  EXPECT_TRUE(window->IsHintShowing());
  // Kept on the screen.
  TRect placed = window->GetBoundsRect();
  EXPECT_LE(placed.Right, 1024);
  EXPECT_LE(placed.Bottom, 768);
  EXPECT_TRUE(GetWindowLongA(window->GetHandle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  window->ReleaseHandle();
  EXPECT_FALSE(window->HandleAllocated());
  window->Free();
  EXPECT_EQ(GetShortHint("a|b"), "a");
  EXPECT_EQ(GetLongHint("a|b"), "b");
  EXPECT_EQ(GetLongHint("plain"), "plain");
}

}  // namespace
