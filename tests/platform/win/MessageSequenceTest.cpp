// Message sequences of the window life cycle, showing, focus, activation,
// clicks and capture, asserted whole.
#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Icons.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/NonClient.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

class Sequences : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  void SetUp() override { RegisterRecorderClass(); }

  HWND Top(const char* name, DWORD style = WS_OVERLAPPEDWINDOW, RECT r = {100, 100, 400, 300}) {
    return CreateWindowExA(0, "Recorder", name, style, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr,
                           nullptr, nullptr);
  }
  HWND Child(HWND parent, const char* name, RECT r, DWORD style = WS_CHILD | WS_VISIBLE) {
    return CreateWindowExA(0, "Recorder", name, style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                           nullptr, nullptr);
  }
};

TEST_F(Sequences, CreationThenShowingActivatesAndFocuses) {
  HWND main = Top("Main");
  // The size limits come before anything else, while the window has no
  // name yet; an overlapped window's creation ends with WM_CREATE.
  EXPECT_EQ(rec.Take(), Seq({"? WM_GETMINMAXINFO", "Main WM_NCCREATE", "Main WM_NCCALCSIZE", "Main WM_CREATE"}));
  // Shown, it is active, focused and drawn before it hears that it moved;
  // then it hears its size and place, once.
  ShowWindow(main, SW_SHOW);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_SHOWWINDOW", "Main WM_WINDOWPOSCHANGING", "Main WM_ACTIVATEAPP",
                             "Main WM_NCACTIVATE", "Main WM_ACTIVATE", "Main WM_SETFOCUS", "Main WM_NCPAINT",
                             "Main WM_ERASEBKGND", "Main WM_WINDOWPOSCHANGED", "Main WM_SIZE", "Main WM_MOVE"}));
  ShowWindow(main, SW_HIDE);
  ShowWindow(main, SW_SHOW);
  auto again = rec.Take();
  EXPECT_EQ(std::count(again.begin(), again.end(), "Main WM_SIZE"), 0);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), main);

  HWND edit = Child(main, "Edit", {10, 10, 110, 30});
  EXPECT_EQ(rec.Take(), Seq({"Edit WM_NCCREATE", "Edit WM_NCCALCSIZE", "Edit WM_CREATE", "Edit WM_SIZE",
                             "Edit WM_MOVE", "Main WM_PARENTNOTIFY", "Edit WM_SHOWWINDOW",
                             "Edit WM_WINDOWPOSCHANGING", "Edit WM_WINDOWPOSCHANGED"}));
  SetFocus(edit);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_KILLFOCUS", "Edit WM_SETFOCUS"}));
  // The client area of a framed window is inset by frame and caption.
  RECT wr, cr;
  GetWindowRect(main, &wr);
  GetClientRect(main, &cr);
  EXPECT_EQ(wr, Rect(100, 100, 400, 300));
  EXPECT_EQ(cr, Rect(0, 0, 300 - 8, 200 - 8 - 19));
  POINT p{0, 0};
  ClientToScreen(edit, &p);
  EXPECT_EQ(p, Point(100 + 4 + 10, 100 + 4 + 19 + 10));
}

TEST_F(Sequences, DestructionHidesMovesFocusAwayThenDestroysParentFirstAndFreesChildrenFirst) {
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND edit = Child(main, "Edit", {10, 10, 110, 30});
  HWND inner = Child(edit, "Inner", {1, 1, 5, 5});
  SetFocus(edit);
  SetCapture(inner);
  rec.Take();
  EXPECT_TRUE(DestroyWindow(main));
  // Hidden, it hands the activation on; with no other window to take it
  // the process is no longer active. The capture goes after WM_DESTROY.
  EXPECT_EQ(rec.Take(), Seq({"Main WM_WINDOWPOSCHANGING", "Main WM_WINDOWPOSCHANGED", "Main WM_NCACTIVATE",
                             "Main WM_ACTIVATE", "Main WM_ACTIVATEAPP", "Edit WM_KILLFOCUS", "Main WM_DESTROY",
                             "Edit WM_DESTROY", "Inner WM_DESTROY", "Inner WM_CAPTURECHANGED", "Inner WM_NCDESTROY",
                             "Edit WM_NCDESTROY", "Main WM_NCDESTROY"}));
  EXPECT_FALSE(IsWindow(main));
  EXPECT_FALSE(IsWindow(inner));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(session.Screen().SurfaceCount(), 0u);
  // Stale handles are refused, never reused.
  EXPECT_EQ(SendMessageA(main, WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(PostMessageA(edit, WM_USER, 0, 0));
}

TEST_F(Sequences, ClickOnAnInactiveWindowActivatesItBeforeTheButtonMessage) {
  HWND a = Top("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND b = Top("B", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 200});
  SetActiveWindow(a);
  test::PumpUntilIdle();
  rec.Take();
  test::Click(b, {20, 20});
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"B WM_MOUSEMOVE", "B WM_MOUSEACTIVATE", "A WM_NCACTIVATE",
                             "A WM_ACTIVATE", "B WM_WINDOWPOSCHANGING", "B WM_WINDOWPOSCHANGED", "B WM_NCACTIVATE",
                             "B WM_ACTIVATE", "A WM_KILLFOCUS", "B WM_SETFOCUS", "B WM_LBUTTONDOWN",
                             "B WM_LBUTTONUP"}));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetTopWindow(nullptr), b);
}

TEST_F(Sequences, ActivateAndEatSwallowsTheClick) {
  HWND a = Top("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND b = Top("B", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 200});
  SetActiveWindow(a);
  test::PumpUntilIdle();
  rec.handlers["B"] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_MOUSEACTIVATE) return MA_ACTIVATEANDEAT;
    return std::nullopt;
  };
  test::Click(b, {20, 20});
  test::PumpUntilIdle();
  auto log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "B WM_LBUTTONDOWN"), 0);
  EXPECT_EQ(log.back(), "B WM_LBUTTONUP");
  EXPECT_EQ(GetActiveWindow(), b);
}

// Double clicks on the frame the window system draws: every window hears
// them, whatever its class says, and the caption maximises or restores
// and the small icon closes through the system commands a program may
// turn down.
class FrameDoubleClicks : public Sequences {
 protected:
  // The pointer's messages and the system commands, the commands named.
  std::vector<std::string> Clicks() {
    std::vector<std::string> out;
    for (const std::string& e : rec.Take()) {
      const std::size_t number = e.rfind(' ');
      const std::string head = e.substr(0, number);
      if (head.find("BUTTON") != std::string::npos) out.push_back(head);
      if (head.find("WM_SYSCOMMAND") == std::string::npos) continue;
      const WPARAM command = std::stoul(e.substr(number + 1)) & 0xFFF0;
      const char* name = command == SC_MOVE       ? "SC_MOVE"
                         : command == SC_MAXIMIZE ? "SC_MAXIMIZE"
                         : command == SC_RESTORE  ? "SC_RESTORE"
                         : command == SC_CLOSE    ? "SC_CLOSE"
                         : command == SC_MOUSEMENU ? "SC_MOUSEMENU"
                                                   : "other";
      out.push_back(head + " " + name);
    }
    return out;
  }
  static POINT On(HWND h, RECT windowPart) {
    RECT w;
    GetWindowRect(h, &w);
    return {w.Left + (windowPart.Left + windowPart.Right) / 2, w.Top + (windowPart.Top + windowPart.Bottom) / 2};
  }
  static detail::CaptionLayout Caption(HWND h) {
    detail::CaptionLayout c;
    EXPECT_TRUE(detail::LayoutCaption(detail::Peek(h), c));
    return c;
  }
  static void DoubleClick(POINT at, int button = VK_LBUTTON) {
    test::MouseMove(at);
    for (int i = 0; i < 2; ++i) {
      test::MouseDown(button);
      test::MouseUp(button);
    }
    test::PumpUntilIdle();
  }
};

TEST_F(FrameDoubleClicks, TheCaptionMaximisesAndRestoresWhereTheStyleAndTheProgramAllow) {
  HWND form = Top("Form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  test::PumpUntilIdle();
  rec.detailed = true;
  rec.Take();
  // The first press starts a move that ends without motion (the move
  // takes its release); the second is the double click. The last release
  // lands in the client area of the window grown under the pointer.
  DoubleClick(On(form, Caption(form).band));
  EXPECT_EQ(Clicks(), Seq({"Form WM_NCLBUTTONDOWN", "Form WM_SYSCOMMAND SC_MOVE", "Form WM_NCLBUTTONDBLCLK",
                           "Form WM_SYSCOMMAND SC_MAXIMIZE", "Form WM_LBUTTONUP"}));
  EXPECT_TRUE(IsZoomed(form));
  // Again on the caption, now at the top of the screen: back as it was. A
  // maximised window does not move, so the first release is its own; the
  // last one finds no window where the caption was.
  DoubleClick(On(form, Caption(form).band));
  EXPECT_EQ(Clicks(), Seq({"Form WM_NCLBUTTONDOWN", "Form WM_SYSCOMMAND SC_MOVE", "Form WM_NCLBUTTONUP",
                           "Form WM_NCLBUTTONDBLCLK", "Form WM_SYSCOMMAND SC_RESTORE"}));
  EXPECT_FALSE(IsZoomed(form));
  RECT r;
  GetWindowRect(form, &r);
  EXPECT_EQ(r, Rect(100, 100, 400, 300));

  // Two presses on two parts of the frame make no double click; nor does
  // the right button's double click maximise.
  detail::CaptionLayout c = Caption(form);
  test::MouseMove(On(form, c.band));
  test::MouseDown();
  test::MouseUp();
  test::MouseMove(On(form, {c.area.Left - 2, 40, c.area.Left - 1, 41}));  // the left border
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  for (const std::string& e : Clicks()) EXPECT_EQ(e.find("DBLCLK"), std::string::npos) << e;
  DoubleClick(On(form, c.band), VK_RBUTTON);
  auto right = Clicks();
  EXPECT_EQ(std::count(right.begin(), right.end(), "Form WM_NCRBUTTONDBLCLK"), 1);
  EXPECT_FALSE(IsZoomed(form));

  // A program that turns the command down keeps its window normal.
  rec.handlers["Form"] = [](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_MAXIMIZE) return 0;
    return std::nullopt;
  };
  DoubleClick(On(form, c.band));
  auto refused = Clicks();
  EXPECT_EQ(std::count(refused.begin(), refused.end(), "Form WM_SYSCOMMAND SC_MAXIMIZE"), 1);
  EXPECT_FALSE(IsZoomed(form));

  // A dialog of a fixed size has no maximise box: nothing to do.
  HWND dialog = Top("Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, {500, 100, 700, 250});
  test::PumpUntilIdle();
  rec.Take();
  DoubleClick(On(dialog, Caption(dialog).band));
  EXPECT_EQ(Clicks(), Seq({"Dialog WM_NCLBUTTONDOWN", "Dialog WM_SYSCOMMAND SC_MOVE", "Dialog WM_NCLBUTTONDBLCLK",
                           "Dialog WM_NCLBUTTONUP"}));
  EXPECT_FALSE(IsZoomed(dialog));
}

TEST_F(FrameDoubleClicks, TheSmallIconCloses) {
  HWND form = Top("Form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 300});
  // A small icon for the caption to show: a black square.
  HBITMAP mask = CreateBitmap(16, 32, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, nullptr};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  SendMessageA(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  rec.handlers["Form"] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_CLOSE) return 0;  // asked only: the test goes on with the window
    return std::nullopt;
  };
  test::PumpUntilIdle();
  const POINT onIcon = On(form, Caption(form).icon);
  rec.detailed = true;
  rec.Take();
  DoubleClick(onIcon);
  EXPECT_EQ(Clicks(), Seq({"Form WM_NCLBUTTONDOWN", "Form WM_SYSCOMMAND SC_MOUSEMENU", "Form WM_NCLBUTTONUP",
                           "Form WM_NCLBUTTONDBLCLK", "Form WM_SYSCOMMAND SC_CLOSE", "Form WM_NCLBUTTONUP"}));
  DestroyWindow(form);
  DestroyIcon(icon);
}

TEST_F(Sequences, CaptureTakesAllMouseInputAndTheLoserIsTold) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE, {0, 0, 400, 400});
  HWND left = Child(main, "Left", {0, 0, 100, 100});
  HWND right = Child(main, "Right", {200, 0, 300, 100});
  test::PumpUntilIdle();
  rec.Take();
  SetCapture(left);
  test::MouseMove(right, {5, 5});
  test::MouseDown();
  test::PumpUntilIdle();
  // Client coordinates of the capture window, even outside it.
  EXPECT_EQ(rec.Take(), Seq({"Left WM_MOUSEMOVE", "Left WM_LBUTTONDOWN"}));
  SetCapture(right);
  EXPECT_EQ(rec.Take(), Seq({"Left WM_CAPTURECHANGED"}));
  ReleaseCapture();
  EXPECT_EQ(rec.Take(), Seq({"Right WM_CAPTURECHANGED"}));
  EXPECT_EQ(GetCapture(), nullptr);
  // Cancel mode releases the capture of the window that holds it.
  SetCapture(left);
  SendMessageA(left, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(rec.Take(), Seq({"Left WM_CANCELMODE", "Left WM_CAPTURECHANGED"}));
}

TEST_F(Sequences, SetWindowPosLetsTheHandlerRewriteThePositionAndReportsMoveAndSize) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE, {0, 0, 400, 400});
  HWND c = Child(main, "C", {0, 0, 50, 50});
  rec.Take();
  rec.handlers["C"] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(l)->cx = 70;  // keeps a width of its own
    return std::nullopt;
  };
  // The parent's background where the child was is erased before the call returns.
  SetWindowPos(c, nullptr, 10, 20, 100, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "C WM_NCCALCSIZE", "Main WM_ERASEBKGND",
                             "C WM_WINDOWPOSCHANGED", "C WM_MOVE", "C WM_SIZE"}));
  RECT r;
  GetWindowRect(c, &r);
  EXPECT_EQ(r, Rect(10, 20, 80, 80));
  // Nothing to change: nothing sent.
  MoveWindow(c, 10, 20, 70, 60, TRUE);
  EXPECT_TRUE(rec.Take().empty());
  // A pure move keeps the size: no WM_NCCALCSIZE and no WM_SIZE.
  MoveWindow(c, 11, 20, 70, 60, TRUE);
  EXPECT_EQ(rec.Take(), Seq({"C WM_WINDOWPOSCHANGING", "Main WM_ERASEBKGND", "C WM_WINDOWPOSCHANGED", "C WM_MOVE"}));
}

TEST_F(Sequences, ZOrderKeepsTopmostInFrontAndOwnedWindowsAboveTheirOwner) {
  HWND owner = Top("Owner", WS_POPUP | WS_VISIBLE);
  HWND owned = CreateWindowExA(0, "Recorder", "Owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner, nullptr, nullptr,
                               nullptr);
  HWND other = Top("Other", WS_POPUP | WS_VISIBLE);
  HWND pinned = CreateWindowExA(WS_EX_TOPMOST, "Recorder", "Pinned", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  EXPECT_EQ(GetTopWindow(nullptr), pinned);
  EXPECT_EQ(GetWindow(pinned, GW_HWNDNEXT), other);
  SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(pinned, GW_HWNDNEXT), owned);
  EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);
  // Hiding the owner leaves its owned window shown, and the activation
  // passes to it; minimising takes the owned window out of sight (told so
  // as its parent closing) and restoring brings it back.
  SetActiveWindow(owner);
  ShowWindow(owner, SW_HIDE);
  EXPECT_TRUE(IsWindowVisible(owned));
  EXPECT_EQ(GetActiveWindow(), owned);
  ShowWindow(owner, SW_SHOW);
  rec.handlers["Owned"] = [&](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_SHOWWINDOW) rec.log.push_back("Owned told " + std::to_string(w) + "/" + std::to_string(l));
    return std::nullopt;
  };
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(owned));
  ShowWindow(owner, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(owned));
  auto told = rec.Take();
  told.erase(std::remove_if(told.begin(), told.end(), [](const std::string& e) { return e.rfind("Owned told", 0); }),
             told.end());
  EXPECT_EQ(told, (std::vector<std::string>{"Owned told 0/" + std::to_string(SW_PARENTCLOSING),
                                            "Owned told 1/" + std::to_string(SW_PARENTOPENING)}));
  // Destroying the owner takes the owned window first.
  rec.Take();
  DestroyWindow(owner);
  auto log = rec.Take();
  auto pos = [&](const char* e) { return std::find(log.begin(), log.end(), e) - log.begin(); };
  EXPECT_LT(pos("Owned WM_NCDESTROY"), pos("Owner WM_DESTROY"));
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(Sequences, DisablingTheFocusWindowMovesTheFocusAwayAndRefusesItLater) {
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND edit = Child(main, "Edit", {10, 10, 110, 30});
  SetFocus(edit);
  rec.Take();
  EXPECT_FALSE(EnableWindow(edit, FALSE));
  EXPECT_EQ(rec.Take(), Seq({"Edit WM_CANCELMODE", "Edit WM_KILLFOCUS", "Edit WM_ENABLE"}));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetFocus(edit), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(rec.Take().empty());
  test::PumpUntilIdle();
  // Main drew its frame as it was shown; the child appearing on it left
  // that part of its background to erase.
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PAINT", "Main WM_ERASEBKGND", "Edit WM_PAINT", "Edit WM_NCPAINT",
                             "Edit WM_ERASEBKGND"}));
  // Clicks on the disabled child go to its parent.
  test::Click(edit, {5, 5});
  test::PumpUntilIdle();
  EXPECT_EQ(rec.Take(), Seq({"Main WM_MOUSEMOVE", "Main WM_LBUTTONDOWN", "Main WM_LBUTTONUP"}));
  EXPECT_TRUE(EnableWindow(edit, TRUE));
  EXPECT_EQ(rec.Take(), Seq({"Edit WM_ENABLE"}));
  // A disabled top-level window hears no input at all.
  EnableWindow(main, FALSE);
  rec.Take();
  test::Click(main, {50, 50});
  test::KeyPress('A');
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());
}

TEST_F(Sequences, NoActivateWindowsNeverBecomeActive) {
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND tip = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOPMOST, "Recorder", "Tip", WS_POPUP | WS_VISIBLE, 300, 300,
                             50, 20, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetActiveWindow(), main);
  test::Click(tip, {5, 5});
  test::PumpUntilIdle();
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(SetActiveWindow(tip), nullptr);
  HWND quiet = Top("Quiet", WS_POPUP);
  ShowWindow(quiet, SW_SHOWNOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_TRUE(IsWindowVisible(quiet));
}

TEST_F(Sequences, WindowDestroyedWhileHandlingItsOwnMessage) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE);
  HWND self = Child(main, "Self", {0, 0, 10, 10});
  rec.handlers["Self"] = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_USER) {
      DestroyWindow(h);
      // Still answering, after its own WM_NCDESTROY: the memory lives on.
      return SendMessageA(h, WM_USER + 1, 0, 0) + 7;
    }
    return std::nullopt;
  };
  rec.Take();
  EXPECT_EQ(SendMessageA(self, WM_USER, 0, 0), 7);
  EXPECT_EQ(rec.Take(), Seq({"Self WM_USER", "Main WM_PARENTNOTIFY", "Self WM_SHOWWINDOW",
                             "Self WM_WINDOWPOSCHANGING", "Main WM_ERASEBKGND", "Self WM_WINDOWPOSCHANGED",
                             "Self WM_DESTROY", "Self WM_NCDESTROY"}));
  EXPECT_FALSE(IsWindow(self));
  EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
}

TEST_F(Sequences, AWindowOnItsWayOutTakesNoNewChildrenAndOneRefusingCreationTakesItsChildrenAlong) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE);
  HWND other = Top("Other", WS_POPUP | WS_VISIBLE);
  HWND stray = Child(other, "Stray", {0, 0, 10, 10});
  HWND late = nullptr, moved = nullptr;
  rec.handlers["Main"] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCDESTROY) {
      late = Child(h, "Late", {0, 0, 10, 10});
      moved = SetParent(stray, h);
    }
    return std::nullopt;
  };
  DestroyWindow(main);
  // Neither a new child nor one moved in would outlive the window's tree.
  EXPECT_EQ(late, nullptr);
  EXPECT_EQ(moved, nullptr);
  EXPECT_EQ(GetParent(stray), other);

  // A window refusing its creation after making a child takes the child
  // along, whole: it had been made whole.
  HWND kid = nullptr;
  rec.handlers["Refusing"] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_NCCREATE) return std::nullopt;
    kid = Child(h, "Kid", {0, 0, 10, 10}, WS_CHILD);
    return 0;
  };
  rec.Take();
  EXPECT_EQ(Top("Refusing", WS_POPUP), nullptr);
  ASSERT_NE(kid, nullptr);
  EXPECT_FALSE(IsWindow(kid));
  const auto log = rec.Take();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            Seq({"Refusing WM_PARENTNOTIFY", "Kid WM_DESTROY", "Kid WM_NCDESTROY", "Refusing WM_NCDESTROY"}));
}

TEST_F(Sequences, TextGoesThroughTheMessagesAndNeverOverrunsTheBuffer) {
  HWND main = Top("Main", WS_POPUP);
  rec.ignored.clear();
  rec.Take();
  SetWindowTextA(main, "Caf\xE9 au lait");
  char buf[6];
  EXPECT_EQ(GetWindowTextA(main, buf, sizeof buf), 5);
  EXPECT_STREQ(buf, "Caf\xE9 ");
  EXPECT_EQ(GetWindowTextLengthA(main), 12);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_SETTEXT", "Main WM_GETTEXT", "Main WM_GETTEXTLENGTH"}));
  // A procedure that claims more than it may is cut to the buffer.
  rec.handlers["Main"] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_GETTEXT) return 1000;
    return std::nullopt;
  };
  EXPECT_EQ(GetWindowTextA(main, buf, sizeof buf), 5);
  EXPECT_EQ(buf[5], 0);
  const auto* s = session.Screen().Find(1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->title, "Caf\xE9 au lait");
}

TEST_F(Sequences, SetParentRefusesCyclesAndMovesWindowsBetweenLevels) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE);
  HWND a = Child(main, "A", {0, 0, 50, 50});
  HWND b = Child(a, "B", {0, 0, 10, 10});
  EXPECT_EQ(SetParent(a, b), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(IsChild(main, b));
  std::size_t surfaces = session.Screen().SurfaceCount();
  EXPECT_EQ(SetParent(b, nullptr), a);
  EXPECT_EQ(GetAncestor(b, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(session.Screen().SurfaceCount(), surfaces + 1);
  EXPECT_EQ(SetParent(b, main), GetDesktopWindow());
  EXPECT_EQ(session.Screen().SurfaceCount(), surfaces);

  // A window moved while shown is hidden first, and its handlers may take
  // the new parent away meanwhile, or put it inside the window: refused.
  HWND target = Top("Target", WS_POPUP | WS_VISIBLE);
  rec.handlers["B"] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SHOWWINDOW && !w) DestroyWindow(target);
    return std::nullopt;
  };
  EXPECT_EQ(SetParent(b, target), nullptr);
  EXPECT_FALSE(IsWindow(target));
  EXPECT_EQ(GetAncestor(b, GA_PARENT), main);
  HWND other = Top("Other", WS_POPUP | WS_VISIBLE);
  ShowWindow(b, SW_SHOW);
  rec.handlers["B"] = [&](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_SHOWWINDOW && !w) SetParent(other, h);
    return std::nullopt;
  };
  EXPECT_EQ(SetParent(b, other), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetAncestor(other, GA_PARENT), b);
  EXPECT_EQ(GetAncestor(b, GA_PARENT), main);
}

// The window manager moves the keyboard between our own windows (a click
// on the other one, a switcher): the window system follows, and the window
// that loses keeps its focus child for when it comes back.
TEST_F(Sequences, TheDisplayMovingTheFocusBetweenOurWindowsActivatesTheOneThatGotIt) {
  HWND a = Top("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  HWND edit = Child(a, "Edit", {10, 10, 110, 30});
  HWND b = Top("B", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 200});
  SetFocus(edit);
  rec.ignored.insert(rec.ignored.end(), {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
  test::PumpUntilIdle();
  rec.Take();
  auto feed = [&](BackEndEvent::Kind kind, HWND h) {
    BackEndEvent e;
    e.kind = kind;
    e.surface = h ? detail::Peek(h)->surface : 0;
    session.Screen().Feed(e);
    test::PumpUntilIdle();
  };

  feed(BackEndEvent::SurfaceActivated, b);
  EXPECT_EQ(rec.Take(), Seq({"A WM_NCACTIVATE", "A WM_ACTIVATE", "B WM_WINDOWPOSCHANGING", "B WM_WINDOWPOSCHANGED",
                             "B WM_NCACTIVATE", "B WM_ACTIVATE", "Edit WM_KILLFOCUS", "B WM_SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(session.Screen().ActiveSurface(), detail::Peek(b)->surface);
  feed(BackEndEvent::SurfaceActivated, b);  // already there: nothing happens
  EXPECT_TRUE(rec.Take().empty());
  feed(BackEndEvent::SurfaceActivated, a);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), edit);
  rec.Take();

  // Back from another program straight into B: B is active, not the last one.
  feed(BackEndEvent::AppDeactivated, nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  rec.Take();
  feed(BackEndEvent::AppActivated, b);
  EXPECT_EQ(rec.Take(), Seq({"A WM_ACTIVATEAPP", "B WM_ACTIVATEAPP", "B WM_WINDOWPOSCHANGING",
                             "B WM_WINDOWPOSCHANGED", "B WM_NCACTIVATE", "B WM_ACTIVATE", "B WM_SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), b);

  // A window disabled under a modal one cannot take over; an unknown
  // surface changes nothing either.
  EnableWindow(a, FALSE);
  rec.Take();
  feed(BackEndEvent::SurfaceActivated, a);
  BackEndEvent stray;
  stray.kind = BackEndEvent::SurfaceActivated;
  stray.surface = 999;
  session.Screen().Feed(stray);
  test::PumpUntilIdle();
  EXPECT_TRUE(rec.Take().empty());
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(Sequences, SizeLimitsComeFromTheWindowAtCreationMaximizingAndSizing) {
  // Before WM_NCCREATE the window has no name: its handler is "?".
  rec.handlers["?"] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize = {250, 150};
    return std::nullopt;
  };
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW, {0, 0, 400, 300});
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, Rect(0, 0, 250, 150));
  rec.handlers.clear();

  std::vector<UINT> flags;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_GETMINMAXINFO) {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMaxPosition = {5, 6};
      mm->ptMaxSize = {500, 400};
      mm->ptMinTrackSize = {150, 100};
    }
    if (m == WM_WINDOWPOSCHANGING) flags.push_back(reinterpret_cast<WINDOWPOS*>(l)->flags);
    if (m == WM_QUERYOPEN) return FALSE;
    return std::nullopt;
  };
  // Sizing is held within the limits; a popup without a sizing frame has none.
  MoveWindow(main, 0, 0, 40, 20, TRUE);
  GetWindowRect(main, &r);
  EXPECT_EQ(r, Rect(0, 0, 150, 100));
  HWND popup = Top("Popup", WS_POPUP);
  rec.Take();
  MoveWindow(popup, 0, 0, 40, 20, TRUE);
  GetWindowRect(popup, &r);
  EXPECT_EQ(r, Rect(0, 0, 40, 20));
  EXPECT_EQ(std::count(rec.log.begin(), rec.log.end(), "Popup WM_GETMINMAXINFO"), 0);

  flags.clear();
  ShowWindow(main, SW_SHOWMAXIMIZED);
  GetWindowRect(main, &r);
  EXPECT_EQ(r, Rect(5, 6, 505, 406));
  ShowWindow(main, SW_MINIMIZE);
  // Both state changes say so; maximising keeps the bits (and shows the
  // hidden window); minimising drops them and neither activates nor restacks.
  EXPECT_EQ(flags, (std::vector<UINT>{0x8060, 0x8134}));
  // A minimized window asked whether it may open refuses and stays as it
  // is; the command's activation and the frame still come. (The only
  // window on the screen, it kept the activation as it was minimised: the
  // popup takes it first.)
  EXPECT_EQ(GetActiveWindow(), main);
  SetActiveWindow(popup);
  rec.Take();
  rec.ignored.push_back(WM_ACTIVATEAPP);
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_QUERYOPEN", "Main WM_WINDOWPOSCHANGING", "Main WM_NCCALCSIZE",
                             "Popup WM_NCACTIVATE", "Popup WM_ACTIVATE", "Main WM_NCACTIVATE", "Main WM_ACTIVATE",
                             "Popup WM_KILLFOCUS", "Main WM_NCPAINT", "Main WM_WINDOWPOSCHANGED"}));
  EXPECT_TRUE(IsIconic(main));
  rec.handlers.clear();
  ShowWindow(main, SW_RESTORE);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(rec.Take().front(), "Main WM_QUERYOPEN");
}

// A drop-down closes itself as it loses the activation: the window that
// takes over becomes active all the same, whichever message it closes on.
TEST_F(Sequences, AWindowClosingItselfAsItLosesTheActivationHandsItOn) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  for (UINT closesOn : {WM_NCACTIVATE, WM_ACTIVATE}) {
    HWND drop = Top("Drop", WS_POPUP | WS_VISIBLE, {10, 10, 60, 60});
    ASSERT_EQ(GetActiveWindow(), drop);
    rec.handlers["Drop"] = [closesOn](HWND h, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
      if (m == closesOn && LOWORD(w) == 0) DestroyWindow(h);
      return std::nullopt;
    };
    SetFocus(main);
    EXPECT_FALSE(IsWindow(drop));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), main);
    rec.handlers.erase("Drop");
  }
  // Or it closes the window gaining the activation: that one is not
  // activated, and nothing it left is read.
  HWND drop = Top("Drop", WS_POPUP | WS_VISIBLE, {10, 10, 60, 60});
  HWND next = Top("Next", WS_POPUP, {70, 10, 120, 60});
  rec.handlers["Drop"] = [](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_NCACTIVATE && !w && l) DestroyWindow(reinterpret_cast<HWND>(l));
    return std::nullopt;
  };
  ASSERT_EQ(GetActiveWindow(), drop);
  EXPECT_EQ(SetActiveWindow(next), nullptr);
  EXPECT_FALSE(IsWindow(next));
  EXPECT_NE(GetActiveWindow(), next);
}

TEST_F(Sequences, ShowingRaisingAndHidingMoveTheActivationInsideTheCall) {
  HWND a = Top("A", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND b = Top("B", WS_POPUP, {300, 0, 500, 200});
  rec.ignored.insert(rec.ignored.end(), {WM_NCPAINT, WM_ERASEBKGND});
  rec.Take();
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  EXPECT_EQ(rec.Take(), Seq({"B WM_WINDOWPOSCHANGING", "A WM_NCACTIVATE", "A WM_ACTIVATE", "B WM_NCACTIVATE",
                             "B WM_ACTIVATE", "A WM_KILLFOCUS", "B WM_SETFOCUS", "B WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);

  // A hidden window hears it is hidden, then the next window takes over.
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(rec.Take(), Seq({"B WM_SHOWWINDOW", "B WM_WINDOWPOSCHANGING", "B WM_WINDOWPOSCHANGED", "B WM_NCACTIVATE",
                             "B WM_ACTIVATE", "A WM_WINDOWPOSCHANGING", "A WM_WINDOWPOSCHANGED", "A WM_NCACTIVATE",
                             "A WM_ACTIVATE", "B WM_KILLFOCUS", "A WM_SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), a);
  // SWP_HIDEWINDOW alone hides and nothing more: A stays active and focused.
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  EXPECT_EQ(rec.Take(), Seq({"A WM_WINDOWPOSCHANGING", "A WM_WINDOWPOSCHANGED"}));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // Placing a visible window without SWP_NOACTIVATE activates it.
  ShowWindow(b, SW_SHOWNA);
  rec.Take();
  SetWindowPos(b, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(GetActiveWindow(), b);
  SetActiveWindow(a);
  ShowWindow(b, SW_HIDE);
  rec.Take();

  // Deactivating outright starts with the frame, and the process lets go too.
  SetActiveWindow(nullptr);
  EXPECT_EQ(rec.Take(), Seq({"A WM_NCACTIVATE", "A WM_ACTIVATE", "A WM_ACTIVATEAPP", "B WM_ACTIVATEAPP",
                             "A WM_KILLFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  HWND popup = CreateWindowExA(0, "Recorder", "Popup", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, a, nullptr, nullptr,
                               nullptr);
  SetActiveWindow(a);
  rec.Take();
  SetActiveWindow(popup);
  EXPECT_EQ(rec.Take(), Seq({"A WM_NCACTIVATE", "A WM_ACTIVATE", "Popup WM_NCACTIVATE", "Popup WM_ACTIVATE",
                             "A WM_KILLFOCUS", "Popup WM_SETFOCUS"}));
}

TEST_F(Sequences, ParentsHearOfChildrenMadeAndDestroyedAndAMovedChildIsActivatedThere) {
  HWND main = Top("Main", WS_POPUP | WS_VISIBLE, {0, 0, 300, 300});
  HWND panel = Child(main, "Panel", {10, 10, 200, 200});
  rec.detailed = true;
  rec.Take();
  HWND button = CreateWindowExA(0, "Recorder", "Button", WS_CHILD, 0, 0, 10, 10, panel,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
  auto log = rec.Take();
  // Every ancestor up the chain, nearest first, with the event and the child's id.
  const std::string created = std::to_string(MAKEWPARAM(WM_CREATE, 7));
  EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
            Seq({("Panel WM_PARENTNOTIFY " + created).c_str(), ("Main WM_PARENTNOTIFY " + created).c_str()}));
  // A window styled to stay quiet ends the chain.
  CreateWindowExA(WS_EX_NOPARENTNOTIFY, "Recorder", "Quiet", WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr,
                  nullptr);
  log = rec.Take();
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.find("PARENTNOTIFY") != e.npos; }),
            0);

  rec.detailed = false;
  ShowWindow(button, SW_SHOWNA);
  rec.Take();
  // Re-parenting: hidden where it was, shown under the new parent as a move there.
  SetParent(button, main);
  EXPECT_EQ(rec.Take(), Seq({"Button WM_SHOWWINDOW", "Button WM_WINDOWPOSCHANGING", "Button WM_WINDOWPOSCHANGED",
                             "Button WM_WINDOWPOSCHANGING", "Button WM_CHILDACTIVATE", "Button WM_WINDOWPOSCHANGED",
                             "Button WM_MOVE"}));
  EXPECT_EQ(GetParent(button), main);
  EXPECT_TRUE(IsWindowVisible(button));
  DestroyWindow(button);
  EXPECT_EQ(rec.Take(), Seq({"Main WM_PARENTNOTIFY", "Button WM_SHOWWINDOW", "Button WM_WINDOWPOSCHANGING",
                             "Main WM_ERASEBKGND", "Button WM_WINDOWPOSCHANGED", "Button WM_DESTROY",
                             "Button WM_NCDESTROY"}));
}

TEST_F(Sequences, ShowCommandsTellOfShowingOnlyWithoutAChangeOfState) {
  HWND main = Top("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND other = Top("Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  std::vector<UINT> flags;
  rec.handlers["Main"] = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m == WM_WINDOWPOSCHANGING) flags.push_back(reinterpret_cast<WINDOWPOS*>(l)->flags);
    return std::nullopt;
  };
  auto said = [&](const char* event) {
    auto log = rec.Take();
    return std::count(log.begin(), log.end(), event);
  };
  rec.Take();
  // Minimising, maximising and restoring say nothing of showing.
  ShowWindow(main, SW_MINIMIZE);
  EXPECT_EQ(said("Main WM_SHOWWINDOW"), 0);
  ShowWindow(main, SW_SHOWNOACTIVATE);
  EXPECT_EQ(said("Main WM_SHOWWINDOW"), 0);
  ShowWindow(main, SW_SHOWMAXIMIZED);
  EXPECT_EQ(said("Main WM_SHOWWINDOW"), 0);
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(flags, (std::vector<UINT>{0x8134, 0x8134, 0x8020, 0x8020}));
  // SW_SHOWNA tells even a window already visible; SW_SHOW does not.
  ShowWindow(main, SW_SHOWNA);
  EXPECT_EQ(said("Main WM_SHOWWINDOW"), 1);
  ShowWindow(main, SW_SHOW);
  EXPECT_EQ(said("Main WM_SHOWWINDOW"), 0);
  // Hiding the active window may change the z-order and the activation.
  SetActiveWindow(main);
  flags.clear();
  ShowWindow(main, SW_HIDE);
  EXPECT_EQ(flags, (std::vector<UINT>{0x83}));
  EXPECT_EQ(GetActiveWindow(), other);

  // A child of a hidden window is only told; it is not placed.
  HWND panel = Child(main, "Panel", {0, 0, 50, 50});
  HWND edit = Child(panel, "Edit", {0, 0, 20, 20}, WS_CHILD);
  rec.Take();
  ShowWindow(edit, SW_SHOW);
  EXPECT_EQ(rec.Take(), Seq({"Edit WM_SHOWWINDOW"}));
  ShowWindow(edit, SW_HIDE);
  EXPECT_EQ(rec.Take(), Seq({"Edit WM_SHOWWINDOW"}));
  EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & WS_VISIBLE, 0);

  // Made maximised, a window is maximised while it is made, before its
  // parent hears of it.
  HWND big = Child(other, "Big", {0, 0, 20, 20}, WS_CHILD | WS_MAXIMIZE | WS_THICKFRAME);
  auto log = rec.Take();
  auto pos = [&](const char* e) { return std::find(log.begin(), log.end(), e) - log.begin(); };
  EXPECT_LT(pos("Big WM_GETMINMAXINFO"), pos("Other WM_PARENTNOTIFY"));
  EXPECT_LT(pos("Big WM_SIZE"), pos("Other WM_PARENTNOTIFY"));
  // Its frame lies just outside the parent's client area.
  RECT r, c;
  GetWindowRect(big, &r);
  GetClientRect(other, &c);
  EXPECT_EQ(r.Width(), c.Width() + 2 * GetSystemMetrics(SM_CXFRAME));
  EXPECT_TRUE(IsZoomed(big));
}

TEST_F(Sequences, TopmostSpreadsThroughOwnersAndEndsBehindOrdinaryWindows) {
  HWND owner = Top("Owner", WS_POPUP | WS_VISIBLE);
  HWND owned = CreateWindowExA(0, "Recorder", "Owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner, nullptr, nullptr,
                               nullptr);
  HWND plain = Top("Plain", WS_POPUP | WS_VISIBLE);
  auto topmost = [](HWND h) { return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  constexpr UINT kOrder = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, kOrder);
  EXPECT_TRUE(topmost(owner));
  EXPECT_TRUE(topmost(owned)) << "the owned window is topmost with its owner";
  EXPECT_EQ(GetTopWindow(nullptr), owned);
  HWND later = CreateWindowExA(0, "Recorder", "Later", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
  EXPECT_TRUE(topmost(later)) << "made for a topmost owner";
  // Taking it from an owned window takes it from the owner.
  SetWindowPos(owned, HWND_NOTOPMOST, 0, 0, 0, 0, kOrder);
  EXPECT_FALSE(topmost(owner));
  EXPECT_FALSE(topmost(owned));
  // Behind an ordinary window, or at the bottom, a window is ordinary.
  SetWindowPos(plain, HWND_TOPMOST, 0, 0, 0, 0, kOrder);
  SetWindowPos(plain, owner, 0, 0, 0, 0, kOrder);
  EXPECT_FALSE(topmost(plain));
  EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), plain);
  SetWindowPos(plain, HWND_TOPMOST, 0, 0, 0, 0, kOrder);
  EXPECT_EQ(GetTopWindow(nullptr), plain);
  SetWindowPos(plain, HWND_BOTTOM, 0, 0, 0, 0, kOrder);
  EXPECT_FALSE(topmost(plain));
  EXPECT_EQ(GetWindow(plain, GW_HWNDNEXT), nullptr);
}

}  // namespace
