// Windows for painting tests: a recording class with no background brush
// ("Recorder") and one erased white ("White"), a top-level popup at a known
// place, and pixel reads from both sides of presentation: what the window
// DCs hold (memory read-back) and what the headless screen was shown.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "platform/win/Paint.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowPos.h"
#include "platform/win/MessageLog.h"

namespace wintest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class PaintTest : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  HWND main = nullptr;

  void SetUp() override {
    RegisterRecorderClass();
    WNDCLASSA wc{};
    wc.lpfnWndProc = CALLBACK_Record;
    wc.lpszClassName = "White";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    RegisterClassA(&wc);
    main = CreateWindowExA(0, "White", "Main", WS_POPUP | WS_VISIBLE, 100, 50, 200, 150, nullptr, nullptr, nullptr,
                           nullptr);
    test::PumpUntilIdle();
    rec.Take();
  }

  HWND Child(HWND parent, const char* name, RECT r, DWORD style = 0, DWORD ex = 0, const char* cls = "White") {
    return CreateWindowExA(ex, cls, name, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(), parent,
                           nullptr, nullptr, nullptr);
  }

  static void Fill(HWND h, COLORREF c, bool window = false) {
    HDC dc = window ? GetWindowDC(h) : GetDC(h);
    HBRUSH b = CreateSolidBrush(c);
    RECT all{-1000, -1000, 1000, 1000};
    FillRect(dc, &all, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
  }

  // What the top-level window's pixels hold at a point of its window
  // coordinates (the memory every window DC of the tree draws into).
  COLORREF Held(POINT p) {
    const auto& b = detail::Peek(main)->backing;
    if (!b || p.X < 0 || p.Y < 0 || p.X >= b->width || p.Y >= b->height) return CLR_INVALID;
    return gdi::PixelToColor(b->pixels[static_cast<std::size_t>(p.Y) * b->width + p.X] & 0x00FFFFFF);
  }

  // What the screen was last shown at a point of main's window coordinates.
  COLORREF Shown(POINT p) {
    const auto* s = session.Screen().Find(detail::Peek(main)->surface);
    if (!s) return CLR_INVALID;
    std::size_t i = (static_cast<std::size_t>(p.Y) * static_cast<std::size_t>(s->rect.Width()) + p.X) * 4;
    return RGB(s->pixels[i + 2], s->pixels[i + 1], s->pixels[i]);
  }
};

inline RECT R(int l, int t, int r, int b) { return {l, t, r, b}; }

// A window's update region as it stands, in its client coordinates.
inline gdi::Region UpdateOf(HWND h) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(h, r, FALSE);
  gdi::Region out = gdi::LookupAs<gdi::RegionObject>(r)->R;
  DeleteObject(r);
  return out;
}

}  // namespace wintest
