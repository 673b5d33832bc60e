// The native button as a person presses it: the mouse held and moved off
// and back, Space, the notifications the parent hears, owner-drawn buttons
// painted by the parent with their states, radio buttons and check boxes,
// and the pixels of the classic push button in each state.
#include "ListButtonTestUtil.h"

using namespace lb_test;

namespace {

using ButtonControl = Stage;

UINT StateOf(HWND button) { return controls::test::ButtonState(button); }

TEST_F(ButtonControl, APushButtonClicksOnReleaseInsideOrOnSpace) {
  HWND other = MakeChild("BUTTON", BS_PUSHBUTTON, {10, 50, 85, 73}, 4, "Other");
  HWND ok = MakeChild("BUTTON", BS_PUSHBUTTON, {10, 10, 85, 33}, 5, "OK");
  SetFocus(other);
  Pump();
  TakeHostLog();

  // A press takes the focus and holds the button down while the pointer
  // stays on it.
  win::test::MouseMove(ok, {10, 10});
  win::test::MouseDown();
  Pump();
  EXPECT_EQ(GetFocus(), ok);
  EXPECT_EQ(StateOf(ok), BST_PUSHED | BST_FOCUS);
  win::test::MouseMove(ok, {200, 10});
  Pump();
  EXPECT_EQ(StateOf(ok), BST_FOCUS);
  win::test::MouseMove(ok, {20, 12});
  Pump();
  EXPECT_EQ(StateOf(ok), BST_PUSHED | BST_FOCUS);
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(StateOf(ok), BST_FOCUS);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_CLICKED 5"}));

  // Released off the button: no click.
  session.Win().Clock().Advance(1000);
  win::test::MouseMove(ok, {10, 10});
  win::test::MouseDown();
  win::test::MouseMove(ok, {10, 100});
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>{});

  // Space: down while held, the click on release.
  win::test::KeyDown(VK_SPACE);
  win::test::KeyRepeat(VK_SPACE, 3);
  Pump();
  EXPECT_EQ(StateOf(ok), BST_PUSHED | BST_FOCUS);
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>{});
  win::test::KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(StateOf(ok), BST_FOCUS);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_CLICKED 5"}));

  // Losing the focus while Space is held lets the button up without a click.
  win::test::KeyDown(VK_SPACE);
  Pump();
  SetFocus(other);
  win::test::KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(StateOf(ok), 0u);
  EXPECT_EQ(TakeHostLog(), std::vector<std::string>{});

  // A second press soon after the first is a press again.
  session.Win().Clock().Advance(1000);
  ClickAt(ok, {5, 5});
  ClickAt(ok, {5, 5});
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_CLICKED 5", "BN_CLICKED 5"}));
  SendMessageA(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_CLICKED 5"}));

  // The dialog codes tell a default button from the others.
  EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
  SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageA(ok, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG_PTR>(BS_DEFPUSHBUTTON));
}

TEST_F(ButtonControl, OwnerDrawnButtonsArePaintedByTheParentInEachState) {
  HWND other = MakeChild("BUTTON", BS_PUSHBUTTON, {10, 50, 85, 73}, 4, "Other");
  HWND run = MakeChild("BUTTON", BS_OWNERDRAW, {10, 10, 123, 35}, 6, "Run Current Values");
  SetFocus(other);
  Pump();
  TakeHostLog();
  UpdateWindow(run);
  InvalidateRect(run, nullptr, FALSE);
  UpdateWindow(run);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 0 entire"}));

  win::test::MouseMove(run, {10, 10});
  win::test::MouseDown();
  Pump();
  EXPECT_EQ(GetFocus(), run);  // a click takes the focus, before anything else
  EXPECT_EQ(PixelAt(run, 50, 12), RGB(0, 128, 0));
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 0 focus focus", "DRAW 0 select selected focus",
                                                     "DRAW 0 select focus", "BN_CLICKED 6"}));
  EXPECT_EQ(PixelAt(run, 50, 12), RGB(255, 255, 0));

  // A second press soon after is a double click, not a press.
  win::test::MouseDown();
  win::test::MouseUp();
  Pump();
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_DOUBLECLICKED 6"}));

  // Made the default, it stays owner-drawn and is drawn as the default.
  SendMessageA(run, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongPtrA(run, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG_PTR>(BS_OWNERDRAW));
  EXPECT_EQ(SendMessageA(run, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
  UpdateWindow(run);
  EnableWindow(run, FALSE);
  UpdateWindow(run);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"DRAW 0 entire focus default", "DRAW 0 focus disabled default",
                                                     "DRAW 0 entire disabled default"}));
}

TEST_F(ButtonControl, RadioButtonsAndCheckBoxesKeepTheirCheck) {
  HWND a = MakeChild("BUTTON", BS_AUTORADIOBUTTON, {10, 10, 110, 27}, 1, "A");
  HWND b = MakeChild("BUTTON", BS_AUTORADIOBUTTON, {10, 30, 110, 47}, 2, "B");
  HWND plain = MakeChild("BUTTON", BS_RADIOBUTTON, {10, 50, 110, 67}, 3, "C");
  HWND check = MakeChild("BUTTON", BS_AUTO3STATE, {10, 70, 110, 87}, 8, "D");
  EXPECT_EQ(SendMessageA(a, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON | DLGC_RADIOBUTTON));
  EXPECT_EQ(SendMessageA(check, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_BUTTON));

  ClickAt(a, {5, 5});
  EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_CHECKED);
  ClickAt(b, {5, 5});
  EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);  // its sibling cleared
  // A plain radio button only tells; its owner checks it.
  session.Win().Clock().Advance(1000);
  ClickAt(plain, {5, 5});
  EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageA(plain, BM_SETCHECK, 7, 0);  // any non-zero checks a radio button
  EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(TakeHostLog(), (std::vector<std::string>{"BN_CLICKED 1", "BN_CLICKED 2", "BN_CLICKED 3"}));

  // Three states in turn.
  for (LRESULT expected : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
    session.Win().Clock().Advance(1000);
    ClickAt(check, {5, 5});
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), expected);
  }
  SetFocus(host);
  Pump();
  Snapshot(host, "RadioAndCheck.png");
}

TEST_F(ButtonControl, ThePushButtonLooksClassicInEachState) {
  HWND button = MakeChild("BUTTON", BS_PUSHBUTTON, {10, 10, 85, 35}, 5, "Push");
  HWND other = MakeChild("BUTTON", BS_PUSHBUTTON, {100, 10, 175, 35}, 4, "Other");
  SetFocus(other);
  Pump();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF white = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF black = GetSysColor(COLOR_WINDOWFRAME);
  // Raised: white at the top left, the dark shadow at the bottom right.
  Snapshot(button, "ButtonNormal.png");
  EXPECT_EQ(PixelAt(button, 0, 0), white);
  EXPECT_EQ(PixelAt(button, 74, 24), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(PixelAt(button, 40, 3), face);

  // Held down: flat, framed in black and the shadow, the caption moved.
  SendMessageA(button, BM_SETSTATE, TRUE, 0);
  Snapshot(button, "ButtonPressed.png");
  EXPECT_NE(PixelAt(button, 0, 0), white);
  EXPECT_EQ(PixelAt(button, 1, 1), GetSysColor(COLOR_BTNSHADOW));
  SendMessageA(button, BM_SETSTATE, FALSE, 0);

  // The default button: a black frame round it.
  SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  UpdateWindow(button);
  Snapshot(button, "ButtonDefault.png");
  EXPECT_EQ(PixelAt(button, 0, 0), black);
  EXPECT_EQ(PixelAt(button, 1, 1), white);

  // Focused: a dotted rectangle three pixels inside the face.
  EXPECT_EQ(PixelAt(button, 4, 4), face);
  SetFocus(button);
  Pump();
  Snapshot(button, "ButtonFocused.png");
  EXPECT_NE(PixelAt(button, 4, 4), face);
  EXPECT_EQ(PixelAt(button, 5, 4), face);
  EnableWindow(button, FALSE);
  UpdateWindow(button);
  Snapshot(button, "ButtonDisabled.png");
  bool grey = false;
  for (int x = 10; x < 65 && !grey; ++x)
    for (int y = 5; y < 20; ++y) grey |= PixelAt(button, x, y) == GetSysColor(COLOR_GRAYTEXT);
  EXPECT_TRUE(grey);
}

}  // namespace
