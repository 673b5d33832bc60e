#include "platform/win/Caret.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/gdi/Bitmaps.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Focus.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/Timers.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

constexpr UINT kDefaultBlinkMs = 530;
constexpr std::uint32_t kInvertAll = 0x00FFFFFF;
constexpr std::uint32_t kInvertGrey = 0x00808080;

struct CaretState {
  HWND owner = nullptr;
  POINT pos{};
  int width = 0;
  int height = 0;
  bool grey = false;
  std::vector<std::uint32_t> mask;  // per pixel XOR value for a bitmap caret
  int hideCount = 0;
  bool blinkOn = true;
  UINT_PTR timer = 0;
  HWND shownRoot = nullptr;  // where it was last marked for presentation
  RECT shownRect{};
  UINT blinkMs = kDefaultBlinkMs;
};

CaretState& C() {
  static CaretState c;
  return c;
}

Window* Owner() { return Peek(C().owner); }

// The caret's place and size added wide: one set at the ends of the
// integers lies off its window, cut to the range, rather than wrapped
// round onto it.
RECT CaretRect(long long x, long long y) {
  return {ClampToInteger(x), ClampToInteger(y), ClampToInteger(x + C().width), ClampToInteger(y + C().height)};
}

// The caret's rectangle in its root's window coordinates.
bool RootRect(Window*& root, RECT& r) {
  Window* o = Owner();
  if (!o) return false;
  root = Root(o);
  RECT rr = ScreenWindowRect(root), cr = ScreenClientRect(o);
  r = CaretRect(static_cast<long long>(cr.Left) - rr.Left + C().pos.X,
                static_cast<long long>(cr.Top) - rr.Top + C().pos.Y);
  return true;
}

// Marks where the caret was and where it is now for the next presentation.
void Refresh() {
  if (Window* old = Peek(C().shownRoot)) MarkDirty(old, C().shownRect);
  Window* root = nullptr;
  RECT r{};
  if (RootRect(root, r)) {
    MarkDirty(root, r);
    C().shownRoot = root->handle;
    C().shownRect = r;
  } else {
    C().shownRoot = nullptr;
  }
}

void StopBlink() {
  if (C().timer) KillTimer(nullptr, C().timer);
  C().timer = 0;
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
  if (!Owner()) {
    StopBlink();
    return;
  }
  C().blinkOn = !C().blinkOn;
  Refresh();
}

void RestartBlink() {
  StopBlink();
  C().blinkOn = true;
  if (Owner() && C().hideCount == 0) C().timer = SetTimer(nullptr, 0, C().blinkMs, Blink);
}

bool IsOwner(HWND hwnd) { return Owner() && (!hwnd || hwnd == C().owner); }

}  // namespace

bool CaretShowing() {
  Window* o = Owner();
  return o && C().hideCount == 0 && C().blinkOn && VisibleChain(o);
}

HWND CaretOwner() { return Owner() ? C().owner : nullptr; }

bool CaretOverlaps(Window* root, const RECT& area) {
  if (!CaretShowing()) return false;
  Window* r = nullptr;
  RECT cr{};
  if (!RootRect(r, cr) || r != root) return false;
  return cr.Left < area.Right && area.Left < cr.Right && cr.Top < area.Bottom && area.Top < cr.Bottom;
}

void DrawCaretOverlay(Window* root, const RECT& area, std::uint32_t* pixels, int stride) {
  Window* r = nullptr;
  RECT cr{};
  if (!CaretShowing() || !RootRect(r, cr) || r != root) return;
  // Only the part of the owner that shows may carry the caret.
  Window* o = Owner();
  gdi::Region vis;
  VisibleRegion(o, false, 0, vis);
  RECT rr = ScreenWindowRect(root), oc = ScreenClientRect(o);
  int ox = oc.Left - rr.Left, oy = oc.Top - rr.Top;
  for (int y = std::max(cr.Top, area.Top); y < std::min(cr.Bottom, area.Bottom); ++y) {
    for (int x = std::max(cr.Left, area.Left); x < std::min(cr.Right, area.Right); ++x) {
      if (!vis.Contains(x - ox, y - oy)) continue;
      std::uint32_t flip = C().grey ? kInvertGrey : kInvertAll;
      if (!C().mask.empty()) flip = C().mask[static_cast<std::size_t>(y - cr.Top) * C().width + (x - cr.Left)];
      pixels[static_cast<std::size_t>(y - area.Top) * stride + (x - area.Left)] ^= flip;
    }
  }
}

void ResetCaret() {
  StopBlink();
  C() = CaretState{};
}

}  // namespace detail

using namespace detail;

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  if (!Find(hwnd)) return FALSE;
  DestroyCaret();
  CaretState& c = C();
  c.owner = hwnd;
  c.pos = {};
  c.hideCount = 1;
  c.grey = reinterpret_cast<std::uintptr_t>(bitmap) == 1;
  c.mask.clear();
  c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  if (bitmap && !c.grey) {
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm)) {
      c.owner = nullptr;
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    c.width = bm.bmWidth;
    c.height = bm.bmHeight;
    // The bitmap's colours are what the caret flips: read them once.
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, ToObj(bitmap));
    c.mask.resize(static_cast<std::size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x)
        c.mask[static_cast<std::size_t>(y) * c.width + x] = gdi::ColorToPixel(GetPixel(mem, x, y)) & 0x00FFFFFF;
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  return TRUE;
}

BOOL DestroyCaret() {
  if (!Owner()) {
    C().owner = nullptr;
    return FALSE;
  }
  StopBlink();
  C().hideCount = 1;
  Refresh();
  C().owner = nullptr;
  C().mask.clear();
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  if (!IsOwner(hwnd)) return FALSE;
  if (C().hideCount == 0) return TRUE;
  if (--C().hideCount == 0) {
    RestartBlink();
    Refresh();
  }
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  if (!IsOwner(hwnd)) return FALSE;
  if (C().hideCount++ == 0) {
    StopBlink();
    Refresh();
  }
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  if (!Owner()) return FALSE;
  C().pos = {x, y};
  if (C().hideCount == 0) RestartBlink();
  Refresh();
  return TRUE;
}

BOOL GetCaretPos(LPPOINT pt) {
  if (!pt) return FALSE;
  *pt = Owner() ? C().pos : POINT{};
  return Owner() != nullptr;
}

BOOL GetGUIThreadInfo(DWORD, GUITHREADINFO* info) {
  if (!info || info->cbSize != sizeof(GUITHREADINFO)) return FALSE;
  *info = GUITHREADINFO{};
  info->cbSize = sizeof(GUITHREADINFO);
  info->hwndActive = GetActiveWindow();
  info->hwndFocus = GetFocus();
  info->hwndCapture = GetCapture();
  if (Owner()) {
    const CaretState& c = C();
    info->hwndCaret = c.owner;
    info->rcCaret = CaretRect(c.pos.X, c.pos.Y);
    if (c.hideCount == 0) info->flags |= GUI_CARETBLINKING;
  }
  return TRUE;
}

UINT GetCaretBlinkTime() { return C().blinkMs; }

BOOL SetCaretBlinkTime(UINT ms) {
  if (ms == 0) return FALSE;
  C().blinkMs = ms;
  if (C().timer) RestartBlink();
  return TRUE;
}

}  // namespace win
