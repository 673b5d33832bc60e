// Minimised top-level windows where no window manager holds them: each
// stands as a small caption bar in the first free place along the bottom
// of the work area from the left, drawn with its frame, text and boxes,
// keeps the keyboard when nothing else can take it (Alt+Space, Alt+F4 and
// Enter reach it), and opens again by a click, a double click (whose
// second press lands nowhere), Enter or its menu's Restore, exactly as it
// was. A drag moves it instead. Under a manager that holds it, it leaves
// the screen as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/NonClient.h"
#include "platform/win/Seams.h"
#include "platform/win/SystemMenu.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace win;

namespace {

std::vector<std::string> gLog;

std::string Name(HWND h) {
  char text[32] = {};
  GetWindowTextA(h, text, sizeof text);
  return text;
}

// Logs what the stories look for; a close is only asked for.
LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SYSCOMMAND) gLog.push_back(Name(h) + " WM_SYSCOMMAND " + std::to_string(w & 0xFFF0));
  if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_NCLBUTTONDOWN || m == WM_NCLBUTTONDBLCLK)
    gLog.push_back(Name(h) + (m == WM_LBUTTONDOWN      ? " WM_LBUTTONDOWN"
                              : m == WM_LBUTTONDBLCLK  ? " WM_LBUTTONDBLCLK"
                              : m == WM_NCLBUTTONDOWN  ? " WM_NCLBUTTONDOWN"
                                                       : " WM_NCLBUTTONDBLCLK"));
  if (m == WM_CLOSE) {
    gLog.push_back(Name(h) + " WM_CLOSE");
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

// A colour as the screen's pixels hold it (0x00RRGGBB).
std::uint32_t Rgb(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

std::vector<std::string> gMenus;  // the first item's text and state of each menu shown
UINT gChoose = 0;

UINT RecordMenu(HMENU menu, POINT, LONG, HWND owner) {
  std::string items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) continue;
    char text[32] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items += std::string(items.empty() ? "" : ", ") + text + ((state & MF_GRAYED) ? " (grey)" : "");
  }
  gMenus.push_back(Name(owner) + ": " + items);
  return gChoose;
}

// A screen 400 wide above a 20-pixel task bar: two minimised windows to a
// row, the first row's bottom at 300.
std::vector<MonitorInfo> SmallScreen() {
  MonitorInfo m;
  m.bounds = {0, 0, 400, 320};
  m.work = {0, 0, 400, 300};
  m.primary = true;
  return {m};
}

class Minimized : public ::testing::Test {
 protected:
  test::Session session{SmallScreen()};
  TierSeams saved = Seams();

  void SetUp() override {
    SetTextRenderMode(TextRenderMode::Monochrome);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "Iconic";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    RegisterClassA(&wc);
    Seams().trackMenu = RecordMenu;
    gLog.clear();
    gMenus.clear();
    gChoose = 0;
  }
  void TearDown() override {
    Seams() = saved;
    SetTextRenderMode(TextRenderMode::Grayscale);
  }
  static HWND Make(const char* name, RECT r, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HWND parent = nullptr) {
    HWND h = CreateWindowExA(0, "Iconic", name, style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                             nullptr, nullptr);
    test::PumpUntilIdle();
    return h;
  }
  static RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
  }
  static std::vector<std::uint32_t> Pixels(HWND h) { return test::ScreenPixels(WindowRect(h)); }
  static POINT Band(HWND h) {
    detail::CaptionLayout c;
    EXPECT_TRUE(detail::LayoutCaption(detail::Peek(h), c));
    const RECT r = WindowRect(h);
    return {r.Left + c.band.Left + 40, r.Top + (c.band.Top + c.band.Bottom) / 2};
  }
  static void AltWith(BYTE vk) {
    test::KeyDown(VK_MENU);
    test::KeyPress(vk);
    test::KeyUp(VK_MENU);
    test::PumpUntilIdle();
  }
  static void Minimize(HWND h) {
    ShowWindow(h, SW_MINIMIZE);
    test::PumpUntilIdle();
  }
};

TEST_F(Minimized, EachStandsInTheFirstFreePlaceAlongTheBottomOfTheWorkAreaAndGoesBackWhenRestored) {
  const RECT places[] = {{20, 20, 180, 120}, {200, 20, 380, 120}, {20, 140, 180, 240}};
  HWND a = Make("A", places[0]), b = Make("B", places[1]), c = Make("C", places[2]);
  Minimize(a);
  Minimize(b);
  Minimize(c);
  // From the bottom-left corner of the work area to the right, a row up
  // when the row is full.
  EXPECT_EQ(WindowRect(a), (RECT{0, 276, 160, 300}));
  EXPECT_EQ(WindowRect(b), (RECT{160, 276, 320, 300}));
  EXPECT_EQ(WindowRect(c), (RECT{0, 252, 160, 276}));
  // On the screen as a caption: the band in the colour of its state.
  EXPECT_EQ(test::ScreenPixel(Band(a)), Rgb(GetSysColor(COLOR_INACTIVECAPTION)));

  // Restored, each has its place back; minimised again, the first free
  // place is the one it left.
  ShowWindow(a, SW_RESTORE);
  EXPECT_EQ(WindowRect(a), places[0]);
  Minimize(a);
  EXPECT_EQ(WindowRect(a), (RECT{0, 276, 160, 300}));
  ShowWindow(b, SW_RESTORE);
  ShowWindow(c, SW_RESTORE);
  EXPECT_EQ(WindowRect(b), places[1]);
  EXPECT_EQ(WindowRect(c), places[2]);
}

// Down the middle of the minimised window: the raised edge, a row of face,
// the band, a row of face and the edge's dark side. On the band the text
// and the boxes of the styles, the minimise box showing what opens it.
TEST_F(Minimized, AMinimisedWindowIsASmallCaptionBar) {
  HWND main = Make("Terrain batch", {40, 40, 340, 240});
  Minimize(main);
  ASSERT_EQ(GetActiveWindow(), main);
  const RECT r = WindowRect(main);
  ASSERT_EQ(r.Width(), GetSystemMetrics(SM_CXMINIMIZED));
  ASSERT_EQ(r.Height(), GetSystemMetrics(SM_CYMINIMIZED));
  const std::vector<std::uint32_t> pixels = Pixels(main);
  auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * r.Width() + x)]; };
  auto colour = [](int index) { return Rgb(GetSysColor(index)); };
  std::vector<std::uint32_t> want{colour(COLOR_3DLIGHT), colour(COLOR_3DHIGHLIGHT), colour(COLOR_BTNFACE)};
  want.insert(want.end(), 18, colour(COLOR_ACTIVECAPTION));
  want.insert(want.end(), {colour(COLOR_BTNFACE), colour(COLOR_3DSHADOW), colour(COLOR_3DDKSHADOW)});
  std::vector<std::uint32_t> column;
  for (int y = 0; y < r.Height(); ++y) column.push_back(at(90, y));
  EXPECT_EQ(column, want);

  detail::CaptionLayout c;
  ASSERT_TRUE(detail::LayoutCaption(detail::Peek(main), c));
  int ink = 0;
  for (int y = c.band.Top; y < c.band.Bottom; ++y)
    for (int x = c.band.Left; x < c.minimize.Left; ++x) ink += at(x, y) == colour(COLOR_CAPTIONTEXT);
  EXPECT_GT(ink, 40) << "the title is written on the band";
  // Each box as DrawFrameControl draws it: restore, maximise, close.
  const std::pair<RECT, UINT> boxes[] = {
      {c.minimize, DFCS_CAPTIONRESTORE}, {c.maximize, DFCS_CAPTIONMAX}, {c.close, DFCS_CAPTIONCLOSE}};
  for (const auto& [box, kind] : boxes) {
    ASSERT_GT(box.Width(), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(box.Width(), box.Height(), 1, 32, nullptr);
    HBITMAP old = SelectObject(dc, bitmap);
    RECT drawn{0, 0, box.Width(), box.Height()};
    DrawFrameControl(dc, &drawn, DFC_CAPTION, kind);
    int differing = 0;
    for (int y = 0; y < box.Height(); ++y)
      for (int x = 0; x < box.Width(); ++x) differing += Rgb(GetPixel(dc, x, y)) != at(box.Left + x, box.Top + y);
    EXPECT_EQ(differing, 0) << "box " << kind;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // All of it is caption to the mouse, its boxes and its frame too.
  auto hit = [&](int x, int y) {
    return SendMessageA(main, WM_NCHITTEST, 0, MAKELPARAM(r.Left + x, r.Top + y));
  };
  EXPECT_EQ(hit(90, 12), HTCAPTION);
  EXPECT_EQ(hit(90, 0), HTCAPTION);
  EXPECT_EQ(hit(c.close.Left + 2, c.close.Top + 2), HTCLOSE);
  EXPECT_EQ(hit(c.minimize.Left + 2, c.minimize.Top + 2), HTMINBUTTON);

  // Another window active: the band says so.
  HWND other = Make("Other", {220, 20, 380, 120});
  ASSERT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(Pixels(main)[static_cast<std::size_t>(12 * r.Width() + 90)], colour(COLOR_INACTIVECAPTION));
}

// Alone on the screen, minimised with the focus in a child, the window
// keeps the activation without the focus: keys reach it as system keys.
TEST_F(Minimized, TheOnlyWindowMinimisedKeepsTheKeyboardForItsMenuCloseAndEnter) {
  HWND main = Make("Main", {40, 40, 340, 240});
  HWND edit = Make("Edit", {10, 10, 110, 30}, WS_CHILD | WS_VISIBLE | WS_BORDER, main);
  SetFocus(edit);
  test::PumpUntilIdle();
  const RECT before = WindowRect(main);
  const std::vector<std::uint32_t> open = Pixels(main);
  Minimize(main);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(detail::AppActive());

  // Alt+Space: its menu, Restore offered and Minimize not.
  AltWith(VK_SPACE);
  EXPECT_EQ(gMenus, (std::vector<std::string>{
                        "Main: &Restore, &Move, &Size (grey), Mi&nimize (grey), Ma&ximize, &Close\tAlt+F4"}));
  // Alt+F4 asks it to close.
  gLog.clear();
  AltWith(VK_F4);
  EXPECT_EQ(gLog, (std::vector<std::string>{"Main WM_SYSCOMMAND " + std::to_string(SC_CLOSE), "Main WM_CLOSE"}));
  EXPECT_TRUE(IsIconic(main));
  // Enter opens it as it was, with the focus back in its child.
  gLog.clear();
  test::KeyPress(VK_RETURN);
  test::PumpUntilIdle();
  EXPECT_EQ(gLog, (std::vector<std::string>{"Main WM_SYSCOMMAND " + std::to_string(SC_RESTORE)}));
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(WindowRect(main), before);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(Pixels(main), open);

  // The menu's Restore opens it too.
  Minimize(main);
  gChoose = SC_RESTORE;
  AltWith(VK_SPACE);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(Pixels(main), open);
}

// The window opened covers the place it stood minimised.
TEST_F(Minimized, AClickOpensItADragMovesItAndADoubleClicksSecondPressLandsNowhere) {
  HWND main = Make("Main", {0, 150, 300, 300});
  const std::vector<std::uint32_t> open = Pixels(main);
  Minimize(main);
  ASSERT_EQ(WindowRect(main), (RECT{0, 276, 160, 300}));

  // A click on the caption opens it.
  test::MouseMove(Band(main));
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(Pixels(main), open);

  // A drag moves it, minimised still. (Each time the clock moves on, so
  // no press doubles the one before.)
  Minimize(main);
  session.Clock().Advance(GetDoubleClickTime() + 1);
  const POINT grab = Band(main);
  test::MouseMove(grab);
  test::MouseDown();
  test::MouseMove({grab.X + 1, grab.Y - 1});
  test::MouseMove({grab.X + 30, grab.Y - 40});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_TRUE(IsIconic(main));
  EXPECT_EQ(WindowRect(main), (RECT{30, 236, 190, 260}));

  // A double click opens it once; its second press, on the window opened
  // under the pointer, goes nowhere, and a press later on reaches it.
  ShowWindow(main, SW_RESTORE);
  Minimize(main);
  const POINT at = Band(main);
  session.Clock().Advance(GetDoubleClickTime() + 1);
  gLog.clear();
  test::MouseMove(at);
  test::MouseDown();
  test::MouseUp();
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(gLog, (std::vector<std::string>{"Main WM_NCLBUTTONDOWN", "Main WM_SYSCOMMAND " + std::to_string(SC_MOVE),
                                            "Main WM_SYSCOMMAND " + std::to_string(SC_RESTORE)}));
  session.Clock().Advance(GetDoubleClickTime() + 1);
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_EQ(gLog.back(), "Main WM_LBUTTONDOWN");
}

// A display whose window manager holds minimised windows as its icons.
class ManagedScreen : public HeadlessBackEnd {
 public:
  bool ManagesMinimized(SurfaceId) override { return true; }
};

TEST(MinimizedUnderAManager, TheWindowLeavesTheScreenForTheManagersIconAndTheProcessTheKeyboard) {
  test::Session session(std::make_unique<ManagedScreen>());
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Held";
  RegisterClassA(&wc);
  HWND main = CreateWindowExA(0, "Held", "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
  test::PumpUntilIdle();
  ShowWindow(main, SW_MINIMIZE);
  RECT r{};
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{-32000, -32000, -32000 + 160, -32000 + 24}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_FALSE(detail::AppActive());
  ShowWindow(main, SW_RESTORE);
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{40, 40, 340, 240}));
}

}  // namespace
