// The caption DefWindowProc draws where nobody else frames the window: the
// frame filled from its edge to the client area, the text in the caption
// font, ended with an ellipsis where it does not fit,
// the buttons its styles ask for (a box without its style greyed), the
// active colours on the one active window only, and the mouse on it: the
// close button sends SC_CLOSE once let go on it, a drag on the band moves
// the window.
#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/NonClient.h"
#include "platform/win/TestHooks.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"
#include "platform/win/WindowStyles.h"

using namespace win;

namespace {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
};
std::vector<Logged> gLog;

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SYSCOMMAND || m == WM_NCACTIVATE || m == WM_ENTERSIZEMOVE || m == WM_EXITSIZEMOVE)
    gLog.push_back({h, m, w});
  if (m == WM_CLOSE) {
    gLog.push_back({h, m, w});
    return 0;  // asked only: the test still looks at the window
  }
  return DefWindowProcA(h, m, w, l);
}

class Captions : public ::testing::Test {
 protected:
  test::Session session;
  HWND main = nullptr, tool = nullptr;

  void SetUp() override {
    SetTextRenderMode(TextRenderMode::Monochrome);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "Captioned";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    RegisterClassA(&wc);
    main = CreateWindowExA(0, "Captioned", "Terrain batch", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40, 300, 200,
                           nullptr, nullptr, nullptr, nullptr);
    // Minimise but no maximise; a text far longer than the band.
    tool = CreateWindowExA(0, "Captioned", "Generating the maps of every terrain file in the folder",
                           WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 400, 300, 220, 120, nullptr,
                           nullptr, nullptr, nullptr);
    test::PumpUntilIdle();
    gLog.clear();
  }
  void TearDown() override { SetTextRenderMode(TextRenderMode::Grayscale); }

  static COLORREF At(HWND h, int x, int y) {
    HDC dc = GetWindowDC(h);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
  }
  static detail::CaptionLayout Layout(HWND h) {
    detail::CaptionLayout c;
    EXPECT_TRUE(detail::LayoutCaption(detail::Peek(h), c));
    return c;
  }
  // Columns of the band between from and to holding the colour.
  static std::vector<int> Columns(HWND h, int from, int to, COLORREF colour) {
    const RECT band = Layout(h).band;
    std::vector<int> out;
    for (int x = from; x < to; ++x)
      for (int y = band.Top; y < band.Bottom; ++y)
        if (At(h, x, y) == colour) {
          out.push_back(x);
          break;
        }
    return out;
  }
  static int Count(HWND h, RECT r, COLORREF colour) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += At(h, x, y) == colour;
    return n;
  }
  static POINT Centre(HWND h, RECT windowPart) {
    RECT w;
    GetWindowRect(h, &w);
    return {w.Left + (windowPart.Left + windowPart.Right) / 2, w.Top + (windowPart.Top + windowPart.Bottom) / 2};
  }
  bool Logged(HWND h, UINT m, WPARAM w, WPARAM mask = ~WPARAM{0}) {
    for (const auto& l : gLog)
      if (l.hwnd == h && l.message == m && (l.wParam & mask) == w) return true;
    return false;
  }
};

TEST_F(Captions, TextButtonsAndTheOneActiveFrame) {
  const detail::CaptionLayout m = Layout(main), t = Layout(tool);
  // Only the window shown last is active, and only its band says so.
  ASSERT_EQ(GetActiveWindow(), tool);
  EXPECT_EQ(At(main, m.band.Left + 1, m.band.Top + 1), GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_EQ(At(tool, t.band.Left + 1, t.band.Top + 1), GetSysColor(COLOR_ACTIVECAPTION));

  // The text starts two pixels in, in the caption text colour of the state.
  std::vector<int> text = Columns(main, m.band.Left, m.minimize.Left, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
  ASSERT_FALSE(text.empty());
  EXPECT_LE(text.front(), m.band.Left + 4);
  EXPECT_LT(text.back(), m.band.Left + 120);  // "Terrain batch" is short
  // Too long: cut before the buttons and ended with dots sitting on the
  // baseline (their ink is no taller than two rows).
  const COLORREF ink = GetSysColor(COLOR_CAPTIONTEXT);
  text = Columns(tool, t.band.Left, t.minimize.Left, ink);
  ASSERT_FALSE(text.empty());
  EXPECT_LT(text.back(), t.minimize.Left - 1);
  int top = t.band.Bottom, bottom = t.band.Top;
  for (int x = text.back() - 6; x <= text.back(); ++x)
    for (int y = t.band.Top; y < t.band.Bottom; ++y)
      if (At(tool, x, y) == ink) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_LE(bottom - top, 1) << "the text does not end in an ellipsis";

  // Buttons: close, and the minimise/maximise pair; a box without its style
  // is greyed (embossed, no button-text ink).
  EXPECT_GT(Count(main, m.close, GetSysColor(COLOR_BTNTEXT)), 10);
  EXPECT_GT(Count(main, m.maximize, GetSysColor(COLOR_BTNTEXT)), 10);
  EXPECT_GT(Count(tool, t.minimize, GetSysColor(COLOR_BTNTEXT)), 4);
  EXPECT_EQ(Count(tool, t.maximize, GetSysColor(COLOR_BTNTEXT)), 0);
  EXPECT_GT(Count(tool, t.maximize, GetSysColor(COLOR_3DSHADOW)), 10);
  EXPECT_FALSE(t.maximizeEnabled);

  // Activation moves: each frame that changes hears WM_NCACTIVATE and is
  // drawn again, and still only one shows active.
  SetActiveWindow(main);
  test::PumpUntilIdle();
  EXPECT_TRUE(Logged(tool, WM_NCACTIVATE, FALSE));
  EXPECT_TRUE(Logged(main, WM_NCACTIVATE, TRUE));
  EXPECT_EQ(At(main, m.band.Left + 1, m.band.Top + 1), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(At(tool, t.band.Left + 1, t.band.Top + 1), GetSysColor(COLOR_INACTIVECAPTION));
  EXPECT_FALSE(Columns(main, m.band.Left, m.minimize.Left, GetSysColor(COLOR_CAPTIONTEXT)).empty());
  // A greyed box does nothing when pressed.
  gLog.clear();
  test::MouseMove(Centre(tool, t.maximize));
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_FALSE(Logged(tool, WM_SYSCOMMAND, SC_MAXIMIZE, 0xFFF0));
}

// Down a column of every captioned kind of window: the raised edge, the
// frame's face, the caption band, one row of face parting the band from the
// client area, then the client area. No row is left unpainted.
TEST_F(Captions, EveryFrameIsFilledFromItsEdgeToTheClientArea) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "WhiteClient";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  RegisterClassA(&wc);
  struct Kind {
    const char* name;
    DWORD style, exStyle;
    int face, band;  // rows of face under the edge, rows of the band
  };
  const Kind kinds[] = {
      {"a caption alone", WS_CAPTION | WS_SYSMENU, 0, 1, 18},
      {"a sizing frame", WS_OVERLAPPEDWINDOW, 0, 2, 18},
      {"a modal dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 1, 18},
      {"a tool window", WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, 1, 15},
  };
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const Kind& k : kinds) {
    HWND h = CreateWindowExA(k.exStyle, "WhiteClient", "", k.style | WS_VISIBLE, 60, 60, 300, 200, nullptr, nullptr,
                             nullptr, nullptr);
    test::PumpUntilIdle();
    std::vector<COLORREF> want{GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DHIGHLIGHT)};
    want.insert(want.end(), static_cast<std::size_t>(k.face), face);
    want.insert(want.end(), static_cast<std::size_t>(k.band),
                GetSysColor(GetActiveWindow() == h ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    want.push_back(face);
    want.push_back(GetSysColor(COLOR_WINDOW));
    std::vector<COLORREF> column;
    for (int y = 0; y < static_cast<int>(want.size()); ++y) column.push_back(At(h, 150, y));
    EXPECT_EQ(column, want) << k.name;
    // The parting row runs the whole width inside the frame.
    const detail::CaptionLayout c = Layout(h);
    EXPECT_EQ(Count(h, {c.area.Left, c.band.Bottom, c.area.Right, c.area.Bottom}, face), c.area.Width()) << k.name;
    RECT window;
    GetWindowRect(h, &window);
    POINT client{0, 0};
    ClientToScreen(h, &client);
    EXPECT_EQ(client.Y - window.Top, static_cast<int>(want.size()) - 1) << k.name << ": the client area starts there";
    DestroyWindow(h);
  }
}

TEST_F(Captions, TheCloseButtonClosesWhenLetGoOnItAndTheBandDragsTheWindow) {
  const detail::CaptionLayout m = Layout(main);
  // Pressed, then let go elsewhere: nothing.
  test::MouseMove(Centre(main, m.close));
  test::MouseDown();
  test::MouseMove(Centre(main, m.band));
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_FALSE(Logged(main, WM_SYSCOMMAND, SC_CLOSE, 0xFFF0));
  // Let go on it: the system command, then the close query.
  test::MouseMove(Centre(main, m.close));
  test::MouseDown();
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_TRUE(Logged(main, WM_SYSCOMMAND, SC_CLOSE, 0xFFF0));
  EXPECT_TRUE(Logged(main, WM_CLOSE, 0));

  // A drag on the band moves the window with the pointer.
  gLog.clear();
  RECT before;
  GetWindowRect(main, &before);
  POINT grab = Centre(main, m.band);
  test::MouseMove(grab);
  test::MouseDown();
  test::MouseMove({grab.X + 30, grab.Y + 20});
  test::MouseMove({grab.X + 45, grab.Y + 25});
  test::MouseUp();
  test::PumpUntilIdle();
  EXPECT_TRUE(Logged(main, WM_SYSCOMMAND, SC_MOVE, 0xFFF0));
  EXPECT_TRUE(Logged(main, WM_ENTERSIZEMOVE, 0));
  EXPECT_TRUE(Logged(main, WM_EXITSIZEMOVE, 0));
  RECT after;
  GetWindowRect(main, &after);
  EXPECT_EQ(after, (RECT{before.Left + 45, before.Top + 25, before.Right + 45, before.Bottom + 25}));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
