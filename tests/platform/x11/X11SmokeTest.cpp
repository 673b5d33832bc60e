// Real windows on a private Xvfb display: the same little form (painted
// children, text, a caret) is built once on the headless back end and once
// on X, and what X shows must be what the headless screen holds. Input made
// with XTest and a window manager's close request must reach the window as
// messages. Without a window manager nothing else drives the window, so the
// test plays that part itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/forms/TestHooks.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/NonClient.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowRegion.h"
#include "platform/x11/X11BackEnd.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/XCatchUp.h"

using namespace win;

namespace {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Logged> gLog;

LRESULT SmokeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case WM_SIZE:
    case WM_LBUTTONDOWN:
    case WM_SYSCOMMAND:
    case WM_ACTIVATEAPP:
    case WM_PAINT:
      gLog.push_back({h, m, w, l});
      break;
    case WM_CLOSE:
      gLog.push_back({h, m, w, l});
      return 0;  // asked, not obeyed: the test still looks at the window
    default: break;
  }
  if (m == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT rc;
    GetClientRect(h, &rc);
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(h, GWLP_USERDATA)));
    FillRect(dc, &rc, b);
    DeleteObject(b);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HPEN old = SelectObject(dc, pen);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, rc.Right, rc.Bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 4, 4, "Caf\xE9", 4);
    EndPaint(h, &ps);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

constexpr int kClientW = 320, kClientH = 200;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct Scene {
  HWND top = nullptr;
  HWND left = nullptr;   // gets the focus and the caret
  HWND right = nullptr;
};

HWND Child(HWND parent, RECT r, COLORREF colour) {
  HWND h = CreateWindowExA(0, "Smoke", "", WS_CHILD | WS_VISIBLE, r.Left, r.Top, r.Width(), r.Height(), parent,
                           nullptr, nullptr, nullptr);
  SetWindowLongPtrA(h, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
  InvalidateRect(h, nullptr, TRUE);
  return h;
}

Scene Build() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = SmokeProc;
  wc.lpszClassName = "Smoke";
  RegisterClassA(&wc);
  RECT frame{0, 0, kClientW, kClientH};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  Scene s;
  s.top = CreateWindowExA(0, "Smoke", "Caf\xE9 \x80 smoke", kStyle, 100, 80, frame.Width(), frame.Height(), nullptr,
                          nullptr, nullptr, nullptr);
  SetWindowLongPtrA(s.top, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(212, 208, 200)));
  s.left = Child(s.top, {10, 10, 150, 190}, RGB(255, 255, 255));
  s.right = Child(s.top, {160, 10, 310, 100}, RGB(10, 36, 106));
  Child(s.right, {20, 20, 80, 60}, RGB(255, 0, 0));
  ShowWindow(s.top, SW_SHOW);
  SetFocus(s.left);
  CreateCaret(s.left, nullptr, 2, 14);
  SetCaretPos(30, 40);
  ShowCaret(s.left);
  test::PumpUntilIdle();
  return s;
}

SurfaceId SurfaceOf(HWND h) { return detail::Peek(h)->surface; }

// The headless screen's pixels of a surface, part of it as X shows it
// (opaque BGRA without the fourth byte).
std::vector<std::uint32_t> HeadlessPixels(const HeadlessBackEnd& screen, SurfaceId id, RECT part) {
  const auto* s = screen.Find(id);
  std::vector<std::uint32_t> out;
  if (!s) return out;
  int w = s->rect.Width();
  for (int y = part.Top; y < part.Bottom; ++y)
    for (int x = part.Left; x < part.Right; ++x) {
      std::uint32_t p;
      std::memcpy(&p, &s->pixels[(static_cast<std::size_t>(y) * w + x) * 4], 4);
      out.push_back(p & 0x00FFFFFF);
    }
  return out;
}

class X11Smoke : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (x11::Xvfb::Installed()) server = new x11::Xvfb;
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
    ASSERT_TRUE(server && server->Running()) << "Xvfb did not start";
    probe = std::make_unique<x11::Probe>(server->Display());
    ASSERT_TRUE(probe->Connected());
    gLog.clear();
  }

  // The reference: the scene on the headless back end.
  void Reference(std::function<RECT(const Scene&)> part) {
    test::Session headless;
    Scene s = Build();
    expected = HeadlessPixels(headless.Screen(), SurfaceOf(s.top), part(s));
    DestroyWindow(s.top);
    test::PumpUntilIdle();
  }

  // Switches the session's window system to X (to be restored by Leave).
  void Enter() { Enter(server->Display()); }
  void Enter(const std::string& ADisplay) {
    auto be = OpenX11BackEnd(ADisplay);
    ASSERT_TRUE(be);
    x = static_cast<x11::X11BackEnd*>(be.get());
    headless = SetBackEnd(std::move(be));
  }
  void Leave(HWND top) {
    DestroyWindow(top);
    test::PumpUntilIdle();
    SetBackEnd(std::move(headless));
    x = nullptr;
  }

  // Pumps the window system until the condition holds: for what the server
  // or another program does in its own time (`progress`: see ::Eventually).
  bool Eventually(const std::function<bool()>& done, const std::function<std::uint64_t()>& progress = {}) {
    return ::Eventually(
        [&] {
          test::PumpUntilIdle();
          return done();
        },
        [&] { x->WaitForEvent(20); }, progress);
  }
  // Everything asked of the server so far is done and its news handled:
  // what has not happened by then does not happen.
  void CaughtUp() { CatchUp(*x, probe.get()); }
  // The pointer put over the scene's left child, which then has the focus
  // of the window system and its top window that of the server.
  bool PointerFocusesLeft(const Scene& s) {
    POINT inLeft{50, 100};
    ClientToScreen(s.left, &inLeft);
    probe->MovePointer(inLeft.X, inLeft.Y);
    return Eventually([&] { return GetFocus() == s.left && x->xFocus == SurfaceOf(s.top); });
  }

  // Empties the clipboard as the window's: the other program's claim ends
  // and so does it.
  bool TakeClipboardBack(HWND window, x11::Probe::Child& owner) {
    if (!OpenClipboard(window)) return false;
    EmptyClipboard();
    CloseClipboard();
    std::string ignored;
    return Eventually([&] { return probe->Finished(owner, ignored); });
  }

  // A second window of ours, once active with the X focus; null when it
  // did not become so.
  HWND ShowOther(int left, int top) {
    HWND other = CreateWindowExA(0, "Smoke", "Other", kStyle | WS_VISIBLE, left, top, 200, 150, nullptr, nullptr,
                                 nullptr, nullptr);
    const bool active = Eventually([&] {
      return GetActiveWindow() == other && GetForegroundWindow() == other && x->xFocus == SurfaceOf(other);
    });
    return active ? other : nullptr;
  }

  // Shows the scene on the server, holds 'b' down in its focus window
  // with key repeat on, and looks at the presses that reach it.
  void HoldAKeyDown(x11::Xvfb& AServer, x11::Probe& AKeys) {
    test::Session session;
    Enter(AServer.Display());
    Scene s = Build();
    POINT inLeft{50, 100};
    ClientToScreen(s.left, &inLeft);
    AKeys.MovePointer(inLeft.X, inLeft.Y);
    ASSERT_TRUE(Eventually([&] { return GetFocus() == s.left && x->xFocus == SurfaceOf(s.top); }));
    gLog.clear();
    auto downs = [&] {
      int n = 0;
      for (const Logged& l : gLog) n += l.hwnd == s.left && l.message == WM_KEYDOWN && l.wParam == 'B';
      return n;
    };
    AKeys.KeyRepeat(true);
    AKeys.Key("b", true);
    EXPECT_TRUE(Eventually([&] { return downs() >= 3; }));
    AKeys.Key("b", false);
    AKeys.KeyRepeat(false);
    EXPECT_TRUE(Eventually([&] { return Received(s.left, WM_KEYUP, 'B'); }));
    int presses = 0;
    bool releasedBeforeTheEnd = false;
    for (std::size_t i = 0; i < gLog.size(); ++i) {
      const Logged& l = gLog[i];
      if (l.message == WM_KEYDOWN && l.wParam == 'B') {
        const bool wasDown = (l.lParam & (1 << 30)) != 0;
        EXPECT_EQ(wasDown, presses > 0) << "press " << presses;
        ++presses;
      }
      if (l.message == WM_KEYUP && l.wParam == 'B')
        for (std::size_t j = i + 1; j < gLog.size(); ++j) releasedBeforeTheEnd |= gLog[j].message == WM_KEYDOWN;
    }
    EXPECT_GE(presses, 3);
    EXPECT_FALSE(releasedBeforeTheEnd) << "a release came between the repeats";
    Leave(s.top);
  }

  bool Received(HWND h, UINT m, WPARAM w) {
    for (const Logged& l : gLog)
      if (l.hwnd == h && l.message == m && l.wParam == w) return true;
    return false;
  }

  bool ShowsExpected(x11::XId window) {
    std::vector<std::uint32_t> got;
    int w = 0, h = 0;
    if (!probe->Capture(window, got, w, h)) return false;
    return got == expected;
  }

  static x11::Xvfb* server;
  std::unique_ptr<x11::Probe> probe;
  std::unique_ptr<IBackEnd> headless;
  x11::X11BackEnd* x = nullptr;
  std::vector<std::uint32_t> expected;
};

x11::Xvfb* X11Smoke::server = nullptr;

// Stories under a window manager: a display of their own with openbox
// taking it over, and the user's programs (a pager among them) reading it
// back through a probe.
class X11UnderOpenbox : public X11Smoke {
 protected:
  void SetUp() override {
    X11Smoke::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!x11::WindowManager::Installed())
      GTEST_SKIP() << "openbox is not installed (scripts/setup installs the openbox package)";
    managed = std::make_unique<x11::Xvfb>();
    ASSERT_TRUE(managed->Running()) << "Xvfb did not start";
    openbox = std::make_unique<x11::WindowManager>(managed->Display(), AnimatesIconify());
    ASSERT_TRUE(openbox->Running()) << "openbox did not take over the display";
    user = std::make_unique<x11::Probe>(managed->Display());
    ASSERT_TRUE(user->Connected());
  }
  virtual bool AnimatesIconify() const { return false; }
  void EnterManaged() { Enter(managed->Display()); }
  // The X window of a shown top-level window, once the manager has framed
  // and mapped it and the window system has heard all it said; 0 if never.
  x11::XId Framed(HWND top) {
    const x11::XId window = x->WindowOf(SurfaceOf(top));
    if (!EventuallyMapped(*x, *user, window) || !user->WindowManagerCaughtUp()) return 0;
    CaughtUp();
    return window;
  }
  // Waits until done holds, the window system hearing what the display
  // says meanwhile.
  bool Settled(const std::function<bool()>& done) { return EventuallySettled(*x, *user, done); }

  // Freed in this order: the probe, the manager, the server.
  std::unique_ptr<x11::Xvfb> managed;
  std::unique_ptr<x11::WindowManager> openbox;
  std::unique_ptr<x11::Probe> user;
};

TEST_F(X11Smoke, WindowShowsTheHeadlessPixelsAndReceivesInputAndCloseRequests) {
  Reference([](const Scene& s) {
    RECT r;
    GetWindowRect(s.top, &r);
    return RECT{0, 0, r.Width(), r.Height()};
  });
  ASSERT_FALSE(expected.empty());

  test::Session session;
  Enter();
  Scene s = Build();
  x11::XId window = x->WindowOf(SurfaceOf(s.top));
  ASSERT_NE(window, 0u);

  // Without a window manager our own frame is shown: the X window is the
  // whole window, and the client area inside it has the requested size.
  RECT want, client;
  GetWindowRect(s.top, &want);
  GetClientRect(s.top, &client);
  EXPECT_EQ(client.Width(), kClientW);
  EXPECT_EQ(client.Height(), kClientH);
  bool viewable = false;
  RECT got{};
  EXPECT_TRUE(Eventually([&] { return probe->Geometry(window, viewable, got) && viewable; }));
  EXPECT_EQ(got, want);
  EXPECT_TRUE(Eventually([&] { return ShowsExpected(window); })) << "X shows other pixels than the headless screen";
  // On the screen's own visual the window has the screen's own colormap:
  // with a private one, tools that read the screen take our windows for
  // another visual's and show a dialog over a form as black.
  EXPECT_TRUE(probe->ScreensOwnColours(window));

  // Lost pixels come back from the backing buffer, without painting again.
  gLog.clear();
  probe->Spoil(window);
  EXPECT_TRUE(Eventually([&] { return ShowsExpected(window); }));
  for (const Logged& l : gLog) {
    EXPECT_NE(l.message, static_cast<UINT>(WM_PAINT));
  }

  // A key goes to the focus window as a key and its character; a click to
  // the window under the pointer.
  gLog.clear();
  POINT inLeft{50, 100};
  ClientToScreen(s.left, &inLeft);
  probe->MovePointer(inLeft.X, inLeft.Y);
  probe->Key("a", true);
  probe->Key("a", false);
  probe->Button(1, true);
  probe->Button(1, false);
  EXPECT_TRUE(Eventually([&] {
    return Received(s.left, WM_KEYDOWN, 'A') && Received(s.left, WM_CHAR, 'a') &&
           Received(s.left, WM_LBUTTONDOWN, MK_LBUTTON);
  }));
  for (const Logged& l : gLog) {
    if (l.message == WM_LBUTTONDOWN) {
      EXPECT_EQ(l.lParam, MAKELPARAM(50, 100));
    }
  }

  // The window manager's close button: a system command, then the close query.
  gLog.clear();
  probe->SendDelete(window);
  EXPECT_TRUE(Eventually([&] { return Received(s.top, WM_CLOSE, 0); }));
  ASSERT_GE(gLog.size(), 2u);
  EXPECT_EQ(gLog[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(gLog[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_TRUE(IsWindow(s.top));  // the query said no

  Leave(s.top);
}

TEST_F(X11Smoke, UnderAWindowManagerTheXWindowIsTheClientAreaWithItsHints) {
  Reference([](const Scene& s) {
    RECT c;
    GetClientRect(s.top, &c);
    POINT o{0, 0};
    ClientToScreen(s.top, &o);
    RECT w;
    GetWindowRect(s.top, &w);
    int l = o.X - w.Left, t = o.Y - w.Top;
    return RECT{l, t, l + c.Width(), t + c.Height()};
  });
  probe->AnnounceWindowManager();

  test::Session session;
  Enter();
  Scene s = Build();
  // An owned dialog and a drop-down that never takes the focus, off the
  // form (X reads back what is on the screen).
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "Smoke", "Dialog", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 600, 150,
                                200, 100, s.top, nullptr, nullptr, nullptr);
  HWND drop = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "Smoke", "", WS_POPUP | WS_BORDER | WS_VISIBLE, 600,
                              400, 100, 80, s.top, nullptr, nullptr, nullptr);
  test::PumpUntilIdle();
  x11::XId window = x->WindowOf(SurfaceOf(s.top));

  POINT origin{0, 0};
  ClientToScreen(s.top, &origin);
  bool viewable = false;
  RECT got{};
  EXPECT_TRUE(Eventually([&] { return probe->Geometry(window, viewable, got) && viewable; }));
  EXPECT_EQ(got, (RECT{origin.X, origin.Y, origin.X + kClientW, origin.Y + kClientH}));
  EXPECT_TRUE(Eventually([&] { return ShowsExpected(window); })) << "the client area differs from the headless one";

  // A fixed frame keeps the designed client size; the position is the program's.
  TSize minimum, maximum;
  bool userPosition = false;
  ASSERT_TRUE(probe->SizeHints(window, minimum, maximum, userPosition));
  EXPECT_EQ(minimum, (TSize{kClientW, kClientH}));
  EXPECT_EQ(maximum, (TSize{kClientW, kClientH}));
  EXPECT_TRUE(userPosition);
  std::vector<long> motif = probe->Property32(window, "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_EQ(motif[1] & (1 | 2 | 16), 0);  // neither all, resize nor maximise
  EXPECT_NE(motif[1] & 32, 0);            // close

  // Names: UTF-8 from 1252, and Latin-1 where it has the character.
  EXPECT_EQ(probe->Property8(window, "_NET_WM_NAME"), "Caf\xC3\xA9 \xE2\x82\xAC smoke");
  EXPECT_EQ(probe->Property8(window, "WM_NAME"), "Caf\xE9 ? smoke");
  std::vector<long> pid = probe->Property32(window, "_NET_WM_PID");
  ASSERT_EQ(pid.size(), 1u);
  EXPECT_EQ(pid[0], static_cast<long>(getpid()));
  EXPECT_FALSE(probe->Property8(window, "WM_CLASS").empty());
  auto type = [&](x11::XId w) {
    std::vector<long> t = probe->Property32(w, "_NET_WM_WINDOW_TYPE");
    return t.empty() ? std::string() : probe->AtomName(t[0]);
  };
  EXPECT_EQ(type(window), "_NET_WM_WINDOW_TYPE_NORMAL");

  x11::XId dialogWindow = x->WindowOf(SurfaceOf(dialog));
  EXPECT_EQ(type(dialogWindow), "_NET_WM_WINDOW_TYPE_DIALOG");
  std::vector<long> transient = probe->Property32(dialogWindow, "WM_TRANSIENT_FOR");
  ASSERT_EQ(transient.size(), 1u);
  EXPECT_EQ(static_cast<x11::XId>(transient[0]), window);

  x11::XId dropWindow = x->WindowOf(SurfaceOf(drop));
  EXPECT_TRUE(probe->OverrideRedirect(dropWindow));
  EXPECT_FALSE(probe->OverrideRedirect(window));
  EXPECT_EQ(type(dropWindow), "_NET_WM_WINDOW_TYPE_COMBO");
  std::vector<long> state = probe->Property32(dropWindow, "_NET_WM_STATE");
  ASSERT_EQ(state.size(), 1u);
  EXPECT_EQ(probe->AtomName(state[0]), "_NET_WM_STATE_ABOVE");

  DestroyWindow(drop);
  DestroyWindow(dialog);
  Leave(s.top);
}

// A window moved to the far end of X's positions stays at that end, under
// a window manager that leaves it where the program put it: the frame the
// manager draws around it does not wrap it around to the other end.
TEST_F(X11Smoke, AWindowAtTheFarEndOfThePositionsStaysThere) {
  probe->AnnounceWindowManager();
  test::Session session;
  Enter();
  Scene s = Build();
  const x11::XId window = x->WindowOf(SurfaceOf(s.top));
  SetWindowPos(s.top, nullptr, 32767, 32767, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CaughtUp();
  RECT placed;
  GetWindowRect(s.top, &placed);
  EXPECT_EQ(placed.Left, 32767);
  EXPECT_EQ(placed.Top, 32767);
  bool viewable = false;
  RECT got{};
  ASSERT_TRUE(probe->Geometry(window, viewable, got));
  EXPECT_GT(got.Left, 32000);
  EXPECT_GT(got.Top, 32000);
  Leave(s.top);
}

// A window manager that ended left its property on the root, naming a
// check window that is gone: no manager runs, and the window shows our own
// frame, caption bar and all when minimised.
TEST_F(X11UnderOpenbox, AWindowManagerThatEndedBeforeTheProgramFramesNothing) {
  openbox.reset();
  ASSERT_EQ(user->Property32(user->Root(), "_NET_SUPPORTING_WM_CHECK").size(), 1u) << "the property did not stay";

  test::Session session;
  EnterManaged();
  Scene s = Build();
  const x11::XId window = x->WindowOf(SurfaceOf(s.top));
  EXPECT_FALSE(x->Decorated(SurfaceOf(s.top)));
  bool viewable = false;
  RECT got{}, want{};
  auto whole = [&] {
    GetWindowRect(s.top, &want);
    return user->Geometry(window, viewable, got) && viewable && got == want;
  };
  EXPECT_TRUE(Settled(whole)) << "at " << got.Left << "," << got.Top << " " << got.Width() << "x" << got.Height();
  ShowWindow(s.top, SW_MINIMIZE);
  EXPECT_TRUE(Settled(whole)) << "the minimised window is out of sight";
  EXPECT_EQ(want.Width(), GetSystemMetrics(SM_CXMINIMIZED));
  Leave(s.top);
}

// A window on X sized below its children (an outside request, obeyed
// without a window manager) shows its frame whole: the part of a child
// past the client area is the frame's.
TEST_F(X11Smoke, AWindowSizedBelowItsChildrenShowsItsFrameWhole) {
  test::Session session;
  Enter();
  Scene s = Build();
  HWND form = CreateWindowExA(0, "Smoke", "Form", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 300, 200, 400,
                              300, nullptr, nullptr, nullptr, nullptr);
  SetWindowLongPtrA(form, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(212, 208, 200)));
  Child(form, {0, 0, 600, 500}, RGB(0, 255, 0));
  const x11::XId window = x->WindowOf(SurfaceOf(form));
  ASSERT_TRUE(EventuallyMapped(*x, *probe, window));
  probe->AskSize(window, 120, 60);
  RECT w{};
  ASSERT_TRUE(Eventually([&] { return GetWindowRect(form, &w) && w.Width() == 120 && w.Height() == 60; }));
  CaughtUp();
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(probe->Capture(window, pixels, width, height));
  ASSERT_EQ(width, 120);
  POINT origin{0, 0};
  ClientToScreen(form, &origin);
  RECT c{};
  GetClientRect(form, &c);
  const RECT client{origin.X - w.Left, origin.Y - w.Top, origin.X - w.Left + c.Right, origin.Y - w.Top + c.Bottom};
  int green = 0;
  for (int y = 0; y < height; ++y)
    for (int xx = 0; xx < width; ++xx)
      if (!(xx >= client.Left && xx < client.Right && y >= client.Top && y < client.Bottom))
        green += (pixels[std::size_t(y) * width + xx] & 0xFFFFFF) == 0x00FF00;
  EXPECT_EQ(green, 0) << "the child shows over the frame";
  DestroyWindow(form);
  Leave(s.top);
}

// A window manager may put a window elsewhere than the program moved it
// (openbox keeps it on the screen): the window is then where the manager
// put it, for the program and for the user's clicks alike.
TEST_F(X11UnderOpenbox, AWindowTheManagerPlacesElsewhereIsWhereTheManagerPutIt) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  const x11::XId window = x->WindowOf(SurfaceOf(s.top));
  ASSERT_TRUE(EventuallyMapped(*x, *user, window));

  // Far right of the 1024 columns of the screen: the manager leaves a strip
  // of it on the screen.
  SetWindowPos(s.top, nullptr, 5000, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT shown{};
  auto placedAlike = [&] {
    bool viewable = false;
    POINT origin{0, 0};
    ClientToScreen(s.top, &origin);
    return user->Geometry(window, viewable, shown) && viewable && shown.Left < 1024 && shown.Left == origin.X &&
           shown.Top == origin.Y;
  };
  EXPECT_TRUE(Eventually(placedAlike)) << "the X window is at " << shown.Left << "," << shown.Top;
  // The manager may place a window in more than one step: once it has
  // dealt with all of them, the window stands where both say.
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  EXPECT_TRUE(Eventually(placedAlike)) << "the X window is at " << shown.Left << "," << shown.Top;

  // The left child's corner, where the strip shows it.
  ASSERT_LT(shown.Left + 14, 1024);
  user->MovePointer(shown.Left + 14, shown.Top + 30);
  user->Button(1, true);
  user->Button(1, false);
  EXPECT_TRUE(Eventually([&] { return Received(s.left, WM_LBUTTONDOWN, MK_LBUTTON); }));
  Leave(s.top);
}

// Focus moved by someone else between two of our windows makes the one
// that got it the active window; moving it back restores the other.
TEST_F(X11Smoke, FocusMovedBetweenOurWindowsActivatesTheOneThatGotIt) {
  test::Session session;
  Enter();
  Scene s = Build();
  HWND other = ShowOther(500, 80);
  ASSERT_TRUE(other);
  probe->GiveFocus(x->WindowOf(SurfaceOf(s.top)));
  EXPECT_TRUE(Eventually([&] { return GetActiveWindow() == s.top; }));
  EXPECT_EQ(GetFocus(), s.left);  // the focus child it had before
  probe->GiveFocus(x->WindowOf(SurfaceOf(other)));
  EXPECT_TRUE(Eventually([&] { return GetActiveWindow() == other; }));
  // Two activations in a row by the program: the focus news of the first
  // does not pull it back, and the second stays.
  SetActiveWindow(s.top);
  SetActiveWindow(other);
  CaughtUp();
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(x->xFocus, SurfaceOf(other));
  DestroyWindow(other);
  Leave(s.top);
}

// Under a window manager, activating one of our windows is a hand-over in
// the manager's steps: the focus parked on a window of the manager's on
// the way does not deactivate the program (its popups would close); the
// manager naming another program's window active does.
TEST_F(X11Smoke, AWindowManagersHandOverDoesNotDeactivateOnTheWay) {
  probe->AnnounceWindowManager();
  test::Session session;
  Enter();
  Scene s = Build();
  HWND other = CreateWindowExA(0, "Smoke", "Other", kStyle | WS_VISIBLE, 500, 80, 200, 150, nullptr, nullptr,
                               nullptr, nullptr);
  test::PumpUntilIdle();
  const x11::XId parking = probe->ForeignWindow();
  probe->GiveFocus(x->WindowOf(SurfaceOf(other)));
  ASSERT_TRUE(Eventually([&] { return GetActiveWindow() == other; }));
  gLog.clear();
  auto deactivated = [&] {
    return Received(s.top, WM_ACTIVATEAPP, FALSE) || Received(other, WM_ACTIVATEAPP, FALSE);
  };

  SetActiveWindow(s.top);  // asks the manager
  probe->GiveFocus(parking);
  probe->NameActive(0);
  CaughtUp();
  EXPECT_FALSE(deactivated()) << "the focus on its way is no loss";
  probe->GiveFocus(x->WindowOf(SurfaceOf(s.top)));
  probe->NameActive(x->WindowOf(SurfaceOf(s.top)));
  EXPECT_TRUE(Eventually([&] { return GetActiveWindow() == s.top && x->xFocus == SurfaceOf(s.top); }));
  EXPECT_FALSE(deactivated());

  SetActiveWindow(other);  // asks again; the manager gives another program the focus
  probe->GiveFocus(parking);
  probe->NameActive(parking);
  EXPECT_TRUE(Eventually(deactivated)) << "another program's window named active";
  DestroyWindow(other);
  Leave(s.top);
}

// Under a window manager, a dialog of ours closing over its owner has the
// program ask for the owner; meanwhile the focus may fall back to the
// window under the pointer, another of ours. That is a step of the
// manager's, not the user's choice: the owner stays active, and the window
// under the pointer is not activated (the two would chase each other).
TEST_F(X11Smoke, UnderAWindowManagerTheFocusFallingToThePointersWindowActivatesNothing) {
  probe->AnnounceWindowManager();
  test::Session session;
  Enter();
  Scene s = Build();
  HWND owner = CreateWindowExA(0, "Smoke", "Owner", kStyle | WS_VISIBLE, 500, 80, 200, 150, nullptr, nullptr,
                               nullptr, nullptr);
  HWND dialog = CreateWindowExA(0, "Smoke", "Dialog", kStyle | WS_VISIBLE, 520, 100, 150, 100, owner, nullptr,
                                nullptr, nullptr);
  test::PumpUntilIdle();
  probe->GiveFocus(x->WindowOf(SurfaceOf(dialog)));
  ASSERT_TRUE(Eventually([&] { return GetActiveWindow() == dialog && x->xFocus == SurfaceOf(dialog); }));
  POINT inTop{50, 100};
  ClientToScreen(s.left, &inTop);
  probe->MovePointer(inTop.X, inTop.Y);
  gLog.clear();

  DestroyWindow(dialog);
  ASSERT_EQ(GetActiveWindow(), owner);
  CaughtUp();
  probe->GiveFocus(1 /* the pointer's window */);
  CaughtUp();
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_FALSE(Received(s.top, WM_ACTIVATEAPP, FALSE));
  probe->GiveFocus(x->WindowOf(SurfaceOf(owner)));
  probe->NameActive(x->WindowOf(SurfaceOf(owner)));
  EXPECT_TRUE(Eventually([&] { return x->xFocus == SurfaceOf(owner); }));
  CaughtUp();
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_FALSE(Received(s.top, WM_ACTIVATEAPP, FALSE));
  DestroyWindow(owner);
  Leave(s.top);
}

// Without a window manager, hiding the active window hands the activation
// to the next of ours at once: the X focus news that follows (the hidden
// window losing it, then the other getting it) never makes the program
// think itself inactive on the way.
TEST_F(X11Smoke, HidingTheActiveWindowPassesTheActivationOnWithoutGoingInactive) {
  test::Session session;
  Enter();
  Scene s = Build();
  HWND other = ShowOther(150, 120);
  ASSERT_TRUE(other);
  // The pointer over the window that goes: it enters the other on the way,
  // news that comes between the focus leaving and arriving.
  probe->MovePointer(250, 200);
  for (int round = 0; round < 3; ++round) {
    gLog.clear();
    ShowWindow(other, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), s.top);
    EXPECT_TRUE(Eventually([&] {
      return x->xFocus == SurfaceOf(s.top) && probe->KeyboardFocus() == x->WindowOf(SurfaceOf(s.top));
    }));
    CaughtUp();
    EXPECT_FALSE(Received(s.top, WM_ACTIVATEAPP, FALSE)) << round;
    EXPECT_EQ(GetActiveWindow(), s.top);
    ShowWindow(other, SW_SHOW);
    ASSERT_TRUE(Eventually([&] { return GetActiveWindow() == other && x->xFocus == SurfaceOf(other); }));
  }
  DestroyWindow(other);
  Leave(s.top);
}

// Under a window manager a fixed frame keeps the size its hints give. The
// program sizing such a window, larger and then smaller, has the manager
// know the new size before it is asked for it: the window takes it at
// once, and the program never hears of the old size again.
TEST_F(X11UnderOpenbox, AFixedFrameTakesTheSizeTheProgramGivesAtOnce) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  const x11::XId window = x->WindowOf(SurfaceOf(s.top));
  ASSERT_TRUE(EventuallyMapped(*x, *user, window));
  // What the manager says of the window it has just framed comes first;
  // only what follows the program's own sizes is watched.
  EXPECT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  for (int by : {80, -60}) {
    RECT before, clientBefore;
    GetWindowRect(s.top, &before);
    GetClientRect(s.top, &clientBefore);
    gLog.clear();
    SetWindowPos(s.top, nullptr, 0, 0, before.Width() + by, before.Height() + by,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(s.top, &client);
    ASSERT_EQ(client.Width(), clientBefore.Width() + by);
    auto takenOnX = [&] {
      bool viewable = false;
      RECT onX{};
      return user->Geometry(window, viewable, onX) && onX.Width() == client.Width() &&
             onX.Height() == client.Height();
    };
    EXPECT_TRUE(::Eventually(takenOnX, [&] {
      x->WaitForEvent(10);
      CatchUp(*x, user.get());
    })) << by;
    EXPECT_TRUE(user->WindowManagerCaughtUp());
    CaughtUp();
    RECT after;
    GetWindowRect(s.top, &after);
    EXPECT_EQ(after.Width(), before.Width() + by);
    for (const Logged& l : gLog) {
      if (l.hwnd == s.top && l.message == WM_SIZE) {
        EXPECT_EQ(l.lParam, MAKELPARAM(client.Width(), client.Height())) << by;
      }
    }
  }
  Leave(s.top);
}

// Under a window manager a minimised window is the manager's icon, never a
// window moved off the screen where the user would lose it: it keeps its
// place for when it opens. The program's own minimise and restore come
// back from the manager as no request of its own; the manager's (asked as
// a pager asks) reach the program as its system menu's would.
TEST_F(X11UnderOpenbox, MinimisingMakesTheWindowItsIconBothWays) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  const x11::XId window = Framed(s.top);
  ASSERT_NE(window, 0u);
  constexpr long kNormal = 1, kIconic = 3;  // WM_STATE
  auto state = [&] {
    std::vector<long> v = user->Property32(window, "WM_STATE");
    return v.empty() ? 0L : v[0];
  };
  bool viewable = false;
  RECT placed{}, got{};
  ASSERT_TRUE(user->Geometry(window, viewable, placed));
  // A manager may animate a window into its icon and out of it (the frame
  // moves, taking the window along): the place is the one it comes to rest at.
  auto iconAtItsPlace = [&] {
    return state() == kIconic && user->Geometry(window, viewable, got) && !viewable && got == placed;
  };
  auto openAtItsPlace = [&] {
    return state() == kNormal && user->Geometry(window, viewable, got) && viewable && got == placed;
  };
  auto asked = [&] {
    for (const Logged& l : gLog)
      if (l.hwnd == s.top && l.message == WM_SYSCOMMAND) return true;
    return false;
  };

  gLog.clear();
  ShowWindow(s.top, SW_MINIMIZE);
  EXPECT_TRUE(Settled(iconAtItsPlace)) << "WM_STATE " << state() << ", viewable " << viewable << ", at "
                                       << got.Left << "," << got.Top;
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_TRUE(IsIconic(s.top));
  EXPECT_FALSE(asked()) << "the program's own minimise came back as a request";

  ShowWindow(s.top, SW_RESTORE);
  EXPECT_TRUE(Settled(openAtItsPlace)) << "WM_STATE " << state() << ", at " << got.Left << "," << got.Top;
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsIconic(s.top));
  EXPECT_FALSE(asked()) << "the program's own restore came back as a request";

  // Restored before the manager made it the icon: the manager's late step
  // neither leaves the window an icon nor reaches the program.
  ShowWindow(s.top, SW_MINIMIZE);
  ShowWindow(s.top, SW_RESTORE);
  test::PumpUntilIdle();
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  EXPECT_TRUE(Settled(openAtItsPlace)) << "WM_STATE " << state() << ", at " << got.Left << "," << got.Top;
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsIconic(s.top));
  EXPECT_FALSE(asked()) << "the manager's late step came back as a request";

  user->AskIconic(window);
  EXPECT_TRUE(Settled([&] { return IsIconic(s.top); })) << "WM_STATE " << state();
  EXPECT_TRUE(Received(s.top, WM_SYSCOMMAND, SC_MINIMIZE));
  EXPECT_TRUE(Received(s.top, WM_SIZE, SIZE_MINIMIZED));
  EXPECT_TRUE(Settled(iconAtItsPlace)) << "WM_STATE " << state() << ", viewable " << viewable << ", at "
                                       << got.Left << "," << got.Top;

  // A window shown minimised from the start (a form made minimised) goes
  // straight to the icon.
  HWND other = CreateWindowExA(0, "Smoke", "Other", kStyle, 500, 80, 200, 150, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(other, SW_SHOWMINNOACTIVE);
  const x11::XId otherWindow = x->WindowOf(SurfaceOf(other));
  EXPECT_TRUE(Settled([&] {
    std::vector<long> v = user->Property32(otherWindow, "WM_STATE");
    return !v.empty() && v[0] == kIconic && user->Geometry(otherWindow, viewable, got) && !viewable;
  })) << "viewable " << viewable;
  EXPECT_TRUE(IsIconic(other));
  DestroyWindow(other);

  gLog.clear();
  user->AskActive(window);
  EXPECT_TRUE(Settled([&] { return !IsIconic(s.top); })) << "WM_STATE " << state();
  EXPECT_TRUE(Received(s.top, WM_SYSCOMMAND, SC_RESTORE));
  EXPECT_TRUE(Received(s.top, WM_SIZE, SIZE_RESTORED));
  EXPECT_TRUE(Settled(openAtItsPlace)) << "WM_STATE " << state() << ", at " << got.Left << "," << got.Top;
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsIconic(s.top));

  // The manager makes an owned window an icon with its owner: it follows
  // its owner out of sight and back as it would in the program, and is
  // never minimised itself.
  HWND owned = CreateWindowExA(0, "Smoke", "Owned", kStyle | WS_VISIBLE, 140, 140, 200, 150, s.top, nullptr, nullptr,
                               nullptr);
  const x11::XId ownedWindow = Framed(owned);
  ASSERT_NE(ownedWindow, 0u);
  user->AskIconic(window);
  EXPECT_TRUE(Settled([&] { return IsIconic(s.top) && !IsWindowVisible(owned); }));
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsIconic(owned));
  user->AskActive(window);
  EXPECT_TRUE(Settled([&] {
    return !IsIconic(s.top) && IsWindowVisible(owned) && user->Geometry(ownedWindow, viewable, got) && viewable;
  }));
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsIconic(owned));
  DestroyWindow(owned);
  Leave(s.top);
}

// A window manager that ends while the program runs gives its windows
// back: each shows our frame again at its whole place, a click gives it
// the keyboard, and a minimised window is a caption bar, one the manager
// held as its icon as well as one minimised afterwards.
TEST_F(X11UnderOpenbox, AWindowManagerThatEndsGivesTheWindowsTheirFrameKeyboardAndBarBack) {
  // The system menu is the class library's popup menu: its session shows it.
  forms::test::Session session;
  EnterManaged();
  Scene s = Build();
  const x11::XId window = Framed(s.top);
  ASSERT_NE(window, 0u);
  HWND other = CreateWindowExA(0, "Smoke", "Other", kStyle | WS_VISIBLE, 500, 80, 200, 150, nullptr, nullptr, nullptr,
                               nullptr);
  const x11::XId otherWindow = Framed(other);
  ASSERT_NE(otherWindow, 0u);
  ShowWindow(other, SW_MINIMIZE);
  bool viewable = true;
  RECT got{};
  ASSERT_TRUE(Settled([&] { return user->Geometry(otherWindow, viewable, got) && !viewable; }));
  SetActiveWindow(s.top);
  ASSERT_TRUE(Settled([&] { return x->xFocus == SurfaceOf(s.top); }));

  openbox.reset();
  auto atItsPlace = [&](HWND h, x11::XId xw) {
    RECT want{};
    GetWindowRect(h, &want);
    return user->Geometry(xw, viewable, got) && viewable && got == want;
  };
  EXPECT_TRUE(Settled([&] { return atItsPlace(s.top, window); }))
      << "at " << got.Left << "," << got.Top << " " << got.Width() << "x" << got.Height();
  EXPECT_FALSE(x->Decorated(SurfaceOf(s.top)));
  // Our caption is on the screen: the rows above the client area are the
  // window's own pixels.
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  ASSERT_TRUE(user->Capture(window, pixels, width, height));
  POINT origin{0, 0};
  ClientToScreen(s.top, &origin);
  RECT w{};
  GetWindowRect(s.top, &w);
  HDC dc = GetWindowDC(s.top);
  int differ = 0;
  for (int y = 0; y < origin.Y - w.Top; ++y)
    for (int xx = 0; xx < width; ++xx) {
      const COLORREF c = GetPixel(dc, xx, y);
      const std::uint32_t own = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      differ += (pixels[std::size_t(y) * width + xx] & 0xFFFFFF) != own;
    }
  ReleaseDC(s.top, dc);
  EXPECT_EQ(differ, 0) << "the caption on X is not ours";
  EXPECT_TRUE(IsIconic(other));
  EXPECT_TRUE(Settled([&] { return atItsPlace(other, otherWindow); })) << "the icon did not become a caption bar";
  EXPECT_EQ(got.Width(), GetSystemMetrics(SM_CXMINIMIZED));

  POINT inLeft{50, 100};
  ClientToScreen(s.left, &inLeft);
  user->MovePointer(inLeft.X, inLeft.Y);
  user->Button(1, true);
  user->Button(1, false);
  user->MovePointer(w.Right + 300, w.Bottom + 300);
  EXPECT_TRUE(Settled([&] { return user->KeyboardFocus() == window && GetFocus() == s.left; }))
      << "focus on " << user->KeyboardFocus();

  user->Key("Alt_L", true);
  user->Key("space", true);
  user->Key("space", false);
  user->Key("Alt_L", false);
  user->Key("n", true);
  user->Key("n", false);
  EXPECT_TRUE(Settled([&] { return IsIconic(s.top) && atItsPlace(s.top, window); }))
      << "iconic " << IsIconic(s.top) << ", at " << got.Left << "," << got.Top << " " << got.Width() << "x"
      << got.Height();
  EXPECT_EQ(got.Height(), GetSystemMetrics(SM_CYMINIMIZED));
  DestroyWindow(other);
  Leave(s.top);
}

// Under a window manager a resizable window maximised by the program is
// maximised by the manager, whose frame then knows it, and takes the place
// the manager gives it; restored, it goes back where it was. The manager's
// own maximise and restore (asked as a pager asks) reach the program as its
// system menu's would; the program's own never come back as requests.
TEST_F(X11UnderOpenbox, MaximisingIsTheManagersBothWays) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  constexpr DWORD kSizable = kStyle | WS_THICKFRAME | WS_MAXIMIZEBOX;
  HWND big = CreateWindowExA(0, "Smoke", "Big", kSizable, 120, 100, 360, 260, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(big, SW_SHOW);
  const x11::XId window = Framed(big);
  ASSERT_NE(window, 0u);
  bool viewable = false;
  RECT placed{}, got{}, normal{};
  ASSERT_TRUE(user->Geometry(window, viewable, placed));
  GetWindowRect(big, &normal);
  auto maximizedOnX = [&](x11::XId w) {
    bool vert = false, horz = false;
    for (long a : user->Property32(w, "_NET_WM_STATE")) {
      vert = vert || user->AtomName(a) == "_NET_WM_STATE_MAXIMIZED_VERT";
      horz = horz || user->AtomName(a) == "_NET_WM_STATE_MAXIMIZED_HORZ";
    }
    return vert && horz;
  };
  auto fillsWorkArea = [&](x11::XId w) {
    std::vector<long> a = user->Property32(user->Root(), "_NET_WORKAREA");
    RECT frame{};
    if (a.size() < 4 || !user->Geometry(user->FrameOf(w), viewable, frame) || !viewable) return false;
    const int left = static_cast<int>(a[0]), top = static_cast<int>(a[1]);
    return frame == RECT{left, top, left + static_cast<int>(a[2]), top + static_cast<int>(a[3])};
  };
  // The window system's client area is the X window: the tree's place is
  // the one the manager gave.
  auto agrees = [&](HWND h, x11::XId w) {
    RECT client{};
    POINT origin{0, 0};
    GetClientRect(h, &client);
    ClientToScreen(h, &origin);
    return user->Geometry(w, viewable, got) &&
           got == RECT{origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height()};
  };
  auto zoomedEverywhere = [&] { return maximizedOnX(window) && fillsWorkArea(window) && agrees(big, window); };
  auto normalEverywhere = [&] {
    RECT now{};
    GetWindowRect(big, &now);
    return !maximizedOnX(window) && user->Geometry(window, viewable, got) && got == placed && now == normal;
  };
  auto asked = [&] {
    for (const Logged& l : gLog)
      if (l.hwnd == big && l.message == WM_SYSCOMMAND) return true;
    return false;
  };

  gLog.clear();
  ShowWindow(big, SW_MAXIMIZE);
  EXPECT_TRUE(Settled(zoomedEverywhere)) << "at " << got.Left << "," << got.Top << " " << got.Width() << "x"
                                         << got.Height();
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_TRUE(IsZoomed(big));
  EXPECT_TRUE(zoomedEverywhere()) << "the manager's place did not stay";
  EXPECT_FALSE(asked()) << "the program's own maximise came back as a request";

  ShowWindow(big, SW_RESTORE);
  EXPECT_TRUE(Settled(normalEverywhere)) << "at " << got.Left << "," << got.Top << " " << got.Width() << "x"
                                         << got.Height();
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_FALSE(IsZoomed(big));
  EXPECT_TRUE(normalEverywhere());
  EXPECT_FALSE(asked()) << "the program's own restore came back as a request";

  user->AskMaximized(window, true);
  EXPECT_TRUE(Settled([&] { return IsZoomed(big) && zoomedEverywhere(); }))
      << "zoomed " << IsZoomed(big) << ", at " << got.Left << "," << got.Top << " " << got.Width() << "x"
      << got.Height();
  EXPECT_TRUE(Received(big, WM_SYSCOMMAND, SC_MAXIMIZE));
  EXPECT_TRUE(Received(big, WM_SIZE, SIZE_MAXIMIZED));

  // Minimised, it stays the manager's maximised window, and opens as one.
  ShowWindow(big, SW_MINIMIZE);
  EXPECT_TRUE(Settled([&] { return IsIconic(big) && maximizedOnX(window); }));
  ShowWindow(big, SW_RESTORE);
  EXPECT_TRUE(Settled([&] { return IsZoomed(big) && zoomedEverywhere(); }))
      << "zoomed " << IsZoomed(big) << ", at " << got.Left << "," << got.Top;
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();

  gLog.clear();
  user->AskMaximized(window, false);
  EXPECT_TRUE(Settled([&] { return !IsZoomed(big) && normalEverywhere(); }))
      << "zoomed " << IsZoomed(big) << ", at " << got.Left << "," << got.Top << " " << got.Width() << "x"
      << got.Height();
  EXPECT_TRUE(Received(big, WM_SYSCOMMAND, SC_RESTORE));
  EXPECT_TRUE(Received(big, WM_SIZE, SIZE_RESTORED));
  ASSERT_TRUE(user->WindowManagerCaughtUp());
  CaughtUp();
  EXPECT_TRUE(normalEverywhere()) << "the restored place did not stay";

  // A window shown maximised from the start is the manager's maximised
  // window from its first appearance.
  HWND other = CreateWindowExA(0, "Smoke", "Other", kSizable, 500, 80, 200, 150, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(other, SW_SHOWMAXIMIZED);
  const x11::XId otherWindow = x->WindowOf(SurfaceOf(other));
  EXPECT_TRUE(Settled(
      [&] { return maximizedOnX(otherWindow) && fillsWorkArea(otherWindow) && agrees(other, otherWindow); }));
  EXPECT_TRUE(IsZoomed(other));
  DestroyWindow(other);
  DestroyWindow(big);
  Leave(s.top);
}

// A program may turn down the manager's maximise or minimise: its window
// procedure keeps SC_MAXIMIZE or SC_MINIMIZE from DefWindowProc. The
// manager, which has already changed the window when the program hears of
// it, then shows it as the program has it again, once.
LRESULT StubbornProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SYSCOMMAND && ((w & 0xFFF0) == SC_MAXIMIZE || (w & 0xFFF0) == SC_MINIMIZE)) {
    gLog.push_back({h, m, w, l});
    return 0;
  }
  return SmokeProc(h, m, w, l);
}

// A window of StubbornProc's class, shown.
HWND ShowStubborn(DWORD AStyle) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = StubbornProc;
  wc.lpszClassName = "Stubborn";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(0, "Stubborn", "Stubborn", AStyle, 120, 100, 360, 260, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(h, SW_SHOW);
  return h;
}

TEST_F(X11UnderOpenbox, AMaximiseOrMinimiseTheProgramTurnsDownIsUndoneOnX) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  HWND h = ShowStubborn(kStyle | WS_THICKFRAME | WS_MAXIMIZEBOX);
  const x11::XId window = Framed(h);
  ASSERT_NE(window, 0u);
  bool viewable = false;
  RECT placed{}, got{};
  ASSERT_TRUE(user->Geometry(window, viewable, placed));
  auto maximizedOnX = [&] {
    for (long a : user->Property32(window, "_NET_WM_STATE"))
      if (user->AtomName(a) == "_NET_WM_STATE_MAXIMIZED_VERT" || user->AtomName(a) == "_NET_WM_STATE_MAXIMIZED_HORZ")
        return true;
    return false;
  };
  auto openAsPlaced = [&] {
    std::vector<long> state = user->Property32(window, "WM_STATE");
    return !state.empty() && state[0] == 1 /* normal */ && !maximizedOnX() && user->Geometry(window, viewable, got) &&
           viewable && got == placed;
  };
  auto times = [&](WPARAM command) {
    int n = 0;
    for (const Logged& l : gLog) n += l.hwnd == h && l.message == WM_SYSCOMMAND && l.wParam == command;
    return n;
  };

  for (WPARAM command : {WPARAM(SC_MAXIMIZE), WPARAM(SC_MINIMIZE)}) {
    SCOPED_TRACE(command == SC_MAXIMIZE ? "maximise" : "minimise");
    gLog.clear();
    if (command == SC_MAXIMIZE) user->AskMaximized(window, true);
    else user->AskIconic(window);
    // The program hears of it once the manager has done it.
    ASSERT_TRUE(Settled([&] { return times(command) > 0; }));
    EXPECT_TRUE(Settled(openAsPlaced)) << "at " << got.Left << "," << got.Top << " " << got.Width() << "x"
                                       << got.Height() << (maximizedOnX() ? ", maximised" : "");
    ASSERT_TRUE(user->WindowManagerCaughtUp());
    CaughtUp();
    EXPECT_TRUE(openAsPlaced()) << "the manager's state came back";
    EXPECT_FALSE(IsZoomed(h));
    EXPECT_FALSE(IsIconic(h));
    EXPECT_EQ(times(command), 1);
    EXPECT_EQ(times(SC_RESTORE), 0);
  }
  DestroyWindow(h);
  Leave(s.top);
}

// The manager as its users have it, animating a window into its icon.
class X11UnderAnimatingOpenbox : public X11UnderOpenbox {
 protected:
  bool AnimatesIconify() const override { return true; }
};

// A window the manager opens again while its animation into the icon runs
// (the program turned the minimise down) stays where the animation had
// got, and the manager tells it nothing: the window system follows the
// frame, so that the window, its children and clicks are where the user
// sees them.
TEST_F(X11UnderAnimatingOpenbox, AMinimiseTurnedDownMidAnimationLeavesTheWindowWhereXShowsIt) {
  test::Session session;
  EnterManaged();
  Scene s = Build();
  HWND h = ShowStubborn(kStyle);
  const x11::XId window = Framed(h);
  ASSERT_NE(window, 0u);
  const x11::XId frame = user->FrameOf(window);
  ASSERT_NE(frame, window);
  bool viewable = false;
  RECT framed{}, now{}, onX{};
  ASSERT_TRUE(user->Geometry(frame, viewable, framed));
  gLog.clear();
  user->AskIconic(window);
  // The program hears of the icon once the animation is under way.
  ASSERT_TRUE(::Eventually([&] { return user->Geometry(frame, viewable, now) && now != framed; }, [&] { user->Sync(); }));
  ASSERT_TRUE(Settled([&] {
    for (const Logged& l : gLog)
      if (l.hwnd == h && l.message == WM_SYSCOMMAND && l.wParam == SC_MINIMIZE) return true;
    return false;
  }));
  auto ours = [&] {
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    RECT client{};
    GetClientRect(h, &client);
    return RECT{origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height()};
  };
  EXPECT_TRUE(Settled([&] {
    const std::vector<long> state = user->Property32(window, "WM_STATE");
    return !state.empty() && state[0] == 1 /* normal */ && user->Geometry(window, viewable, onX) && viewable &&
           ours() == onX;
  })) << "on X at " << onX.Left << "," << onX.Top << ", the window system has " << ours().Left << "," << ours().Top;
  EXPECT_FALSE(IsIconic(h));
  DestroyWindow(h);
  Leave(s.top);
}

// A window never shows the black of a buffer not yet painted, nor the
// screen beneath it: a popup that does not take the focus (a hint, a
// drop-down) and one that does are on the screen (the root's pixels, as
// the user sees them) only with their own pixels, and a popup hidden again
// before it was painted never shows at all.
TEST_F(X11Smoke, AWindowShownGoesOnTheScreenWithItsOwnPixels) {
  test::Session session;
  Enter();
  Scene s = Build();
  auto popup = [&](DWORD exStyle) {
    HWND h = CreateWindowExA(WS_EX_TOOLWINDOW | exStyle, "Smoke", "", WS_POPUP, 300, 240, 90, 30, s.top, nullptr,
                             nullptr, nullptr);
    SetWindowLongPtrA(h, GWLP_USERDATA, static_cast<LONG_PTR>(RGB(255, 255, 225)));
    return h;
  };
  RECT at{};
  auto viewable = [&](HWND h) {
    bool shown = false;
    probe->Sync();
    return probe->Geometry(x->WindowOf(SurfaceOf(h)), shown, at) && shown;
  };
  // Its background where no ink is: above the diagonal, right of the text.
  auto ownPixels = [&] {
    std::vector<std::uint32_t> all;
    int w = 0, h = 0;
    if (!probe->Capture(probe->Root(), all, w, h)) return false;
    for (int y = at.Top + 2; y < at.Top + 12; ++y)
      for (int x = at.Left + 60; x < at.Right - 2; ++x)
        if (all[std::size_t(y) * std::size_t(w) + std::size_t(x)] != 0xFFFFE1) return false;
    return true;
  };
  for (DWORD exStyle : {DWORD(WS_EX_NOACTIVATE), DWORD(0)}) {
    SCOPED_TRACE(exStyle ? "a popup that never activates" : "a popup that activates");
    HWND h = popup(exStyle);
    ShowWindow(h, exStyle ? SW_SHOWNOACTIVATE : SW_SHOW);
    // X's own news (the map, the exposure) read before any painting.
    BackEndEvent ignored;
    while (x->PollEvent(ignored)) {
    }
    EXPECT_TRUE(!viewable(h) || ownPixels()) << "shown before it was painted";
    EXPECT_TRUE(Eventually([&] { return viewable(h); }));
    EXPECT_TRUE(ownPixels());
    DestroyWindow(h);
  }
  HWND flash = popup(WS_EX_NOACTIVATE);
  ShowWindow(flash, SW_SHOWNOACTIVATE);
  ShowWindow(flash, SW_HIDE);
  CaughtUp();
  EXPECT_FALSE(viewable(flash));
  DestroyWindow(flash);
  Leave(s.top);
}

// Without a window manager the frame X shows is ours, filled from the
// caption band to the client area: the row between them is the frame's
// face across the whole width, where nothing used to be drawn (black).
TEST_F(X11Smoke, OurFrameOnXIsFilledBetweenTheCaptionAndTheClientArea) {
  test::Session session;
  Enter();
  Scene s = Build();
  x11::XId window = x->WindowOf(SurfaceOf(s.top));
  detail::CaptionLayout caption;
  ASSERT_TRUE(detail::LayoutCaption(detail::Peek(s.top), caption));
  RECT frame;
  GetWindowRect(s.top, &frame);
  POINT client{0, 0};
  ClientToScreen(s.top, &client);
  ASSERT_EQ(caption.area.Bottom, client.Y - frame.Top) << "the caption ends where the client area starts";
  // As X holds them: red, green, blue from the top byte down.
  auto onX = [](COLORREF c) { return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c); };
  ASSERT_EQ(GetActiveWindow(), s.top);
  const std::uint32_t face = onX(GetSysColor(COLOR_BTNFACE)), band = onX(GetSysColor(COLOR_ACTIVECAPTION));
  auto rowsRead = [&](std::vector<std::uint32_t>& rows) {
    std::vector<std::uint32_t> all;
    int w = 0, h = 0;
    if (!probe->Capture(window, all, w, h) || h < caption.area.Bottom) return false;
    rows.clear();
    for (int y = caption.band.Bottom - 1; y < caption.area.Bottom; ++y)
      for (int x = caption.area.Left + 40; x < caption.area.Left + 60; ++x)
        rows.push_back(all[std::size_t(y) * std::size_t(w) + std::size_t(x)]);
    return true;
  };
  std::vector<std::uint32_t> want(20, band);
  want.insert(want.end(), 20, face);
  std::vector<std::uint32_t> got;
  EXPECT_TRUE(Eventually([&] { return rowsRead(got) && got == want; }));
  EXPECT_EQ(got, want) << "the band's last row, then the face";
  std::vector<std::uint32_t> all;
  int w = 0, h = 0;
  ASSERT_TRUE(probe->Capture(window, all, w, h));
  int black = 0;
  for (int y = caption.band.Bottom; y < caption.area.Bottom; ++y)
    for (int x = 0; x < w; ++x) black += all[std::size_t(y) * std::size_t(w) + std::size_t(x)] == 0;
  EXPECT_EQ(black, 0);
  Leave(s.top);
}

// A shown window's pixels are kept in memory the server reads as it is:
// what the window system holds is what X shows, with no copy between. The
// caret is put in only for the presentation; a resize keeps what fits; a
// DC still out when the connection closes lets its pixels go safely.
TEST_F(X11Smoke, AShownWindowKeepsItsPixelsWhereTheServerReadsThem) {
  test::Session session;
  Enter();
  Scene s = Build();
  x11::XId window = x->WindowOf(SurfaceOf(s.top));
  auto held = [&] { return &detail::Peek(s.top)->backing->pixels; };
  ASSERT_TRUE(held()->Lent());
  auto showsHeld = [&](POINT caret, std::uint32_t caretFlip) {
    std::vector<std::uint32_t> got;
    int w = 0, h = 0;
    if (!probe->Capture(window, got, w, h)) return false;
    RECT r;
    GetWindowRect(s.top, &r);
    if (w != r.Width() || h != r.Height()) return false;
    for (int y = 0; y < h; ++y)
      for (int x2 = 0; x2 < w; ++x2) {
        std::uint32_t want = (*held())[std::size_t(y) * std::size_t(w) + std::size_t(x2)] & 0x00FFFFFF;
        if (x2 >= caret.X && x2 < caret.X + 2 && y >= caret.Y && y < caret.Y + 14) want ^= caretFlip;
        if (got[std::size_t(y) * std::size_t(w) + std::size_t(x2)] != want) return false;
      }
    return true;
  };
  // The caret (2 x 14 at 30,40 of the left child) shows inverted on the
  // screen, and not in the window's pixels.
  POINT caret{30, 40};
  ClientToScreen(s.left, &caret);
  RECT r;
  GetWindowRect(s.top, &r);
  caret = {caret.X - r.Left, caret.Y - r.Top};
  EXPECT_TRUE(Eventually([&] { return showsHeld(caret, 0x00FFFFFF); }));
  HideCaret(s.left);
  EXPECT_TRUE(Eventually([&] { return showsHeld(caret, 0); }));

  // Larger: the pixels move to a block of the new size, and what is shown
  // is still what is held.
  SetWindowPos(s.top, nullptr, 0, 0, r.Width() + 40, r.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  test::PumpUntilIdle();
  EXPECT_TRUE(held()->Lent());
  EXPECT_EQ(std::size_t(r.Width() + 40) * std::size_t(r.Height() + 30), held()->size());
  EXPECT_TRUE(Eventually([&] { return showsHeld(caret, 0); }));

  // A DC kept past the connection's end still reaches its pixels, and lets
  // them go without the server.
  HDC kept = GetDC(s.top);
  Leave(s.top);
  EXPECT_NE(CLR_INVALID, GetPixel(kept, 5, 5));
  ReleaseDC(s.top, kept);
}

// A key held down repeats as further presses, each marked as already down,
// with no release between them: the first release is the user's. Without a
// window manager and under openbox, which hands the window the keyboard
// itself.
TEST_F(X11Smoke, AKeyHeldDownRepeatsAsPressesWithoutReleases) {
  HoldAKeyDown(*server, *probe);
  if (!x11::WindowManager::Installed()) return;
  x11::Xvfb managed;
  ASSERT_TRUE(managed.Running()) << "Xvfb did not start";
  x11::WindowManager openbox(managed.Display());
  ASSERT_TRUE(openbox.Running()) << "openbox did not take over the display";
  x11::Probe keys(managed.Display());
  ASSERT_TRUE(keys.Connected());
  HoldAKeyDown(managed, keys);
}

// The key that picks a layout's third level (AltGr: AltGr+E types the
// euro sign on many layouts) is Control with the right Alt. What it types
// are characters, not system keys a menu would take; alone it opens no
// menu.
TEST_F(X11Smoke, TheThirdLevelKeyTypesCharactersAndOpensNoMenu) {
  test::Session session;
  Enter();
  Scene s = Build();
  ASSERT_TRUE(PointerFocusesLeft(s));
  gLog.clear();
  probe->Key("ISO_Level3_Shift", true);
  probe->Key("EuroSign", true);
  probe->Key("EuroSign", false);
  probe->Key("ISO_Level3_Shift", false);
  probe->Key("ISO_Level3_Shift", true);
  probe->Key("ISO_Level3_Shift", false);
  probe->Key("a", true);
  probe->Key("a", false);
  ASSERT_TRUE(Eventually([&] { return Received(s.left, WM_KEYUP, 'A'); }));
  EXPECT_TRUE(Received(s.left, WM_CHAR, 0x80));
  EXPECT_TRUE(Received(s.left, WM_KEYDOWN, VK_CONTROL));
  EXPECT_TRUE(Received(s.left, WM_KEYDOWN, VK_MENU));
  EXPECT_TRUE(Received(s.left, WM_CHAR, 'a'));
  for (const Logged& l : gLog) {
    EXPECT_NE(l.message, static_cast<UINT>(WM_SYSKEYDOWN)) << l.wParam;
    EXPECT_NE(l.message, static_cast<UINT>(WM_SYSCHAR)) << l.wParam;
    EXPECT_NE(l.message, static_cast<UINT>(WM_SYSCOMMAND)) << l.wParam;
  }
  Leave(s.top);
}

// A dead key types nothing of its own: the program hears the key with its
// accent as a dead character, and the next key types the accented letter,
// the accent alone after a space, or the accent and then its own character
// when the two make nothing. Every key let go is up again for the program.
TEST_F(X11Smoke, ADeadKeyAccentsTheNextKeyAndLeavesNoKeyDown) {
  test::Session session;
  Enter();
  Scene s = Build();
  ASSERT_TRUE(PointerFocusesLeft(s));
  auto typed = [&](const char* next) {
    gLog.clear();
    probe->Key("dead_acute", true);
    probe->Key("dead_acute", false);
    probe->Key(next, true);
    probe->Key(next, false);
    CaughtUp();
    std::vector<std::pair<UINT, WPARAM>> keys;
    for (const Logged& l : gLog)
      if (l.hwnd == s.left && l.message >= WM_KEYDOWN && l.message <= WM_DEADCHAR) keys.emplace_back(l.message, l.wParam);
    return keys;
  };
  using Keys = std::vector<std::pair<UINT, WPARAM>>;
  const Keys accent{{WM_KEYDOWN, VK_OEM_7}, {WM_DEADCHAR, 0xB4}, {WM_KEYUP, VK_OEM_7}};
  auto then = [&](Keys more) {
    Keys all = accent;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  EXPECT_EQ(typed("e"), then({{WM_KEYDOWN, 'E'}, {WM_CHAR, 0xE9}, {WM_KEYUP, 'E'}}));
  EXPECT_EQ(typed("space"), then({{WM_KEYDOWN, VK_SPACE}, {WM_CHAR, 0xB4}, {WM_KEYUP, VK_SPACE}}));
  EXPECT_EQ(typed("q"), then({{WM_KEYDOWN, 'Q'}, {WM_CHAR, 0xB4}, {WM_CHAR, 'q'}, {WM_KEYUP, 'Q'}}));
  for (int vk : {int(VK_OEM_7), int('E'), int(VK_SPACE), int('Q')}) {
    EXPECT_EQ(GetKeyState(vk) & 0x8000, 0) << vk;
    EXPECT_EQ(GetAsyncKeyState(vk) & 0x8000, 0) << vk;
  }
  // Keys after them are plain keys again.
  gLog.clear();
  probe->Key("a", true);
  probe->Key("a", false);
  CaughtUp();
  EXPECT_TRUE(Received(s.left, WM_CHAR, 'a'));
  EXPECT_FALSE(Received(s.left, WM_CHAR, 0xB4));
  Leave(s.top);
}

// A desktop may name an input method that is not running (XMODIFIERS
// kept for a daemon that has not started): keys then go through the window
// system's own method, and a dead key still accents the next key.
TEST_F(X11Smoke, ADeadKeyAccentsWhenTheNamedInputMethodIsNotRunning) {
  // The variable as the test found it, put back however the test ends.
  struct Modifiers {
    explicit Modifiers(const char* AValue) {
      if (const char* old = std::getenv("XMODIFIERS")) saved = old;
      setenv("XMODIFIERS", AValue, 1);
    }
    ~Modifiers() {
      if (saved) setenv("XMODIFIERS", saved->c_str(), 1);
      else unsetenv("XMODIFIERS");
    }
    std::optional<std::string> saved;
  } modifiers("@im=orvanta-absent-method");
  test::Session session;
  Enter();
  Scene s = Build();
  ASSERT_TRUE(PointerFocusesLeft(s));
  gLog.clear();
  for (const char* key : {"dead_acute", "e"}) {
    probe->Key(key, true);
    probe->Key(key, false);
  }
  CaughtUp();
  EXPECT_TRUE(Received(s.left, WM_DEADCHAR, 0xB4));
  EXPECT_TRUE(Received(s.left, WM_CHAR, 0xE9));
  EXPECT_FALSE(Received(s.left, WM_CHAR, 'e'));
  Leave(s.top);
}

// Under Num Lock the keypad types digits; with Shift held, a key of it
// moves again, and the program sees Shift let go around it, so Shift+7 on
// the keypad goes to the start of the line instead of selecting to it.
TEST_F(X11Smoke, ShiftTurnsAKeypadDigitUnderNumLockBackIntoTheKeyThatMoves) {
  test::Session session;
  Enter();
  Scene s = Build();
  ASSERT_TRUE(PointerFocusesLeft(s));
  gLog.clear();
  probe->Key("Num_Lock", true);
  probe->Key("Num_Lock", false);
  ASSERT_TRUE(Eventually([&] { return Received(s.left, WM_KEYUP, VK_NUMLOCK); }));
  gLog.clear();
  probe->Key("KP_7", true);
  probe->Key("KP_7", false);
  probe->Key("Shift_L", true);
  probe->Key("KP_7", true);
  probe->Key("KP_7", false);
  probe->Key("Shift_L", false);
  ASSERT_TRUE(Eventually([&] { return Received(s.left, WM_KEYUP, VK_SHIFT) && Received(s.left, WM_KEYUP, VK_HOME); }));
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const Logged& l : gLog)
    if (l.hwnd == s.left && (l.message == WM_KEYDOWN || l.message == WM_KEYUP || l.message == WM_CHAR))
      keys.emplace_back(l.message, l.wParam);
  const std::vector<std::pair<UINT, WPARAM>> expected{
      {WM_KEYDOWN, VK_NUMPAD7}, {WM_CHAR, '7'},       {WM_KEYUP, VK_NUMPAD7}, {WM_KEYDOWN, VK_SHIFT},
      {WM_KEYUP, VK_SHIFT},     {WM_KEYDOWN, VK_HOME}, {WM_KEYUP, VK_HOME},    {WM_KEYDOWN, VK_SHIFT},
      {WM_KEYUP, VK_SHIFT}};
  EXPECT_EQ(keys, expected);
  gLog.clear();
  probe->Key("Num_Lock", true);
  probe->Key("Num_Lock", false);
  EXPECT_TRUE(Eventually([&] { return Received(s.left, WM_KEYUP, VK_NUMLOCK); }));
  Leave(s.top);
}

// Modifiers go by the keyboard as it is when it comes back to us: Control
// let go while another program had the keyboard (after a window manager's
// Alt+Tab, say) does not stay down and turn the next letter into a
// shortcut, and Shift pressed meanwhile counts for the next letter.
TEST_F(X11Smoke, ModifiersLetGoOrPressedWhileAnotherProgramHadTheKeyboardCount) {
  test::Session session;
  Enter();
  Scene s = Build();
  const x11::XId elsewhere = probe->ForeignWindow();
  const x11::XId ours = x->WindowOf(SurfaceOf(s.top));
  ASSERT_TRUE(PointerFocusesLeft(s));
  auto away = [&] {
    gLog.clear();
    probe->GiveFocus(elsewhere);
    return Eventually([&] { return Received(s.top, WM_ACTIVATEAPP, FALSE); });
  };
  auto back = [&] {
    gLog.clear();
    probe->GiveFocus(ours);
    return Eventually([&] { return Received(s.top, WM_ACTIVATEAPP, TRUE) && GetFocus() == s.left; });
  };
  auto typeA = [&] {
    gLog.clear();
    probe->Key("a", true);
    probe->Key("a", false);
    return Eventually([&] { return Received(s.left, WM_KEYUP, 'A'); });
  };

  probe->Key("Control_L", true);
  ASSERT_TRUE(Eventually([&] { return Received(s.left, WM_KEYDOWN, VK_CONTROL); }));
  ASSERT_TRUE(away());
  probe->Key("Control_L", false);
  ASSERT_TRUE(back());
  ASSERT_TRUE(typeA());
  EXPECT_TRUE(Received(s.left, WM_CHAR, 'a')) << "Control stayed down";

  ASSERT_TRUE(away());
  probe->Key("Shift_L", true);
  ASSERT_TRUE(back());
  ASSERT_TRUE(typeA());
  probe->Key("Shift_L", false);
  EXPECT_TRUE(Received(s.left, WM_CHAR, 'A')) << "Shift held did not count";
  Leave(s.top);
}

// A region on the top-level window cuts the X window to it, and taking it
// away makes the window whole again. A region reaching far beyond the
// window on every side leaves it whole: X's 16-bit positions do not wrap
// it around to somewhere off the window.
TEST_F(X11Smoke, WindowRegionShapesTheXWindow) {
  test::Session session;
  Enter();
  Scene s = Build();
  x11::XId window = x->WindowOf(SurfaceOf(s.top));
  RECT whole;
  GetWindowRect(s.top, &whole);
  HRGN l = CreateRectRgn(0, 0, 40, 10);
  HRGN post = CreateRectRgn(0, 10, 20, 30);
  CombineRgn(l, l, post, RGN_OR);
  DeleteObject(post);
  SetWindowRgn(s.top, l, TRUE);
  CaughtUp();
  EXPECT_EQ(probe->ShapeRects(window), (std::vector<RECT>{{0, 0, 40, 10}, {0, 10, 20, 30}}));
  SetWindowRgn(s.top, nullptr, TRUE);
  CaughtUp();
  EXPECT_EQ(probe->ShapeRects(window), (std::vector<RECT>{{0, 0, whole.Width(), whole.Height()}}));

  SetWindowRgn(s.top, CreateRectRgn(-40000, -40000, 40000, 40000), TRUE);
  CaughtUp();
  const std::vector<RECT> beyond = probe->ShapeRects(window);
  ASSERT_EQ(beyond.size(), 1u);
  EXPECT_TRUE(beyond[0].Left <= 0 && beyond[0].Top <= 0 && beyond[0].Right >= whole.Width() &&
              beyond[0].Bottom >= whole.Height())
      << beyond[0].Left << "," << beyond[0].Top << " to " << beyond[0].Right << "," << beyond[0].Bottom;
  Leave(s.top);
}

TEST_F(X11Smoke, ClipboardTextCrossesToOtherProgramsAndBack) {
  test::Session session;
  Enter();
  Scene s = Build();

  // Another program's text, read by us: 1252 with CR LF, '?' for what 1252 lacks.
  x11::Probe::Child owner = probe->ServeClipboard("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\nzwei \xD0\x96");
  ASSERT_GT(owner.pid, 0);
  ASSERT_TRUE(OpenClipboard(s.top));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  HANDLE h = GetClipboardData(CF_TEXT);
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "Gr\xFC\xDF" "e \x80\r\nzwei ?");
  GlobalUnlock(h);

  // Ours, read by another program: UTF-8 with LF line ends. Taking the
  // clipboard ends the other owner's claim.
  const std::string ours = "Caf\xE9 \x80\r\nline";
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(CF_TEXT, GlobalFromBytes(ours.c_str(), ours.size() + 1)), nullptr);
  CloseClipboard();
  std::string ignored;
  EXPECT_TRUE(Eventually([&] { return probe->Finished(owner, ignored); }));
  x11::Probe::Child reader = probe->ReadClipboard();
  std::string read;
  EXPECT_TRUE(Eventually([&] { return probe->Finished(reader, read); }));
  EXPECT_EQ(read, "Caf\xC3\xA9 \xE2\x82\xAC\nline");

  // Another program copies: the very next paste is theirs, even before our
  // loop has heard of it, and no window of ours owns the clipboard now.
  owner = probe->ServeClipboard("neu");
  ASSERT_GT(owner.pid, 0);
  ASSERT_TRUE(OpenClipboard(s.top));
  h = GetClipboardData(CF_TEXT);
  ASSERT_NE(h, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "neu");
  GlobalUnlock(h);
  CloseClipboard();
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_FALSE(x->ownsClipboard);
  CaughtUp();  // the late news of the loss changes nothing
  std::string now;
  EXPECT_TRUE(x->GetClipboard(CF_TEXT, now));
  EXPECT_EQ(now, "neu");
  EXPECT_TRUE(TakeClipboardBack(s.top, owner)) << "emptying did not take the clipboard";

  Leave(s.top);
}

// A big text comes from other programs in pieces: the paste holds all of
// it, in order.
TEST_F(X11Smoke, ABigTextSentInPiecesPastesWhole) {
  test::Session session;
  Enter();
  Scene s = Build();
  std::string big;
  for (int i = 0; big.size() < 300000; ++i) big += "line " + std::to_string(i) + "\n";
  x11::Probe::Child owner = probe->ServeClipboardInPieces(big, 65536);
  ASSERT_GT(owner.pid, 0);
  std::string text;
  ASSERT_TRUE(x->GetClipboard(CF_TEXT, text));
  std::string expected;
  for (char c : big) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(text.size(), expected.size());
  EXPECT_TRUE(text == expected) << "the pieces came back out of order or incomplete";
  EXPECT_TRUE(TakeClipboardBack(s.top, owner)) << "emptying did not take the clipboard";
  Leave(s.top);
}

// A text of ours bigger than the server takes in one request goes to
// other programs in parts, while our loop runs on: two pasting at once
// each get all of it, every byte in order, and one that goes away in the
// middle of its paste leaves nothing of its transfer behind.
TEST_F(X11Smoke, ABigTextOfOursPastesWholeInOtherPrograms) {
  test::Session session;
  Enter();
  Scene s = Build();
  std::string ours, utf8;
  for (int i = 0; ours.size() <= x->LargestProperty(); ++i) {
    ours += "line " + std::to_string(i) + " caf\xE9 \x80\r\n";
    utf8 += "line " + std::to_string(i) + " caf\xC3\xA9 \xE2\x82\xAC\n";
  }
  ASSERT_TRUE(OpenClipboard(s.top));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(CF_TEXT, GlobalFromBytes(ours.c_str(), ours.size() + 1)), nullptr);
  CloseClipboard();

  x11::Probe::Child leaving = probe->ReadClipboard(true);
  x11::Probe::Child first = probe->ReadClipboard();
  x11::Probe::Child second = probe->ReadClipboard();
  std::string left, read1, read2;
  // Megabytes go to two readers part by part: the slower the machine, the
  // longer it takes, and every part sent or told moves it on.
  const auto moved = [&] {
    std::uint64_t bytes = first.told.size() + second.told.size();
    for (const auto& transfer : x->outgoing) bytes += transfer.sent;
    return bytes;
  };
  ASSERT_TRUE(Eventually(
      [&] {
        const bool a = probe->Finished(leaving, left), b = probe->Finished(first, read1);
        return probe->Finished(second, read2) && a && b;
      },
      moved));
  EXPECT_EQ(read1.size(), utf8.size()) << read1.substr(0, 40);
  EXPECT_TRUE(read1 == utf8) << "the first reader's text differs";
  EXPECT_TRUE(read2 == utf8) << "the second reader's text differs";
  EXPECT_TRUE(Eventually([&] { return x->outgoing.empty(); })) << "a transfer outlived its reader";
  Leave(s.top);
}

// Another program slow to answer: its text comes after we stopped waiting,
// so that paste finds nothing. Its late answer, to a question for Latin-1,
// is no answer to the next paste's question for UTF-8: the next paste
// shows the program's text as it is, not its Latin-1 bytes read as UTF-8.
TEST_F(X11Smoke, ALateClipboardAnswerIsNotTakenForTheNextPastes) {
  test::Session session;
  Enter();
  Scene s = Build();
  x11::Probe::Child owner = probe->ServeClipboardSlowly("Gr\xFC\xDF" "e");
  ASSERT_GT(owner.pid, 0);
  std::string text;
  EXPECT_FALSE(x->GetClipboard(CF_TEXT, text)) << "the first answer comes only with the next question";
  test::PumpUntilIdle();  // the next turn of the loop asks again
  ASSERT_TRUE(x->GetClipboard(CF_TEXT, text));
  EXPECT_EQ(text, "Gr\xFC\xDF" "e");
  EXPECT_TRUE(TakeClipboardBack(s.top, owner)) << "emptying did not take the clipboard";
  Leave(s.top);
}

}  // namespace
