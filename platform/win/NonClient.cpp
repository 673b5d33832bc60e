#include "platform/win/NonClient.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/Focus.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowData.h"

namespace win::detail {
namespace {

HBRUSH ClassBrush(HBRUSH b) {
  auto v = reinterpret_cast<std::uintptr_t>(b);
  // Small values name a system colour, plus one.
  if (v >= 1 && v <= SYSCOLOR_COUNT) return GetSysColorBrush(static_cast<int>(v) - 1);
  return b;
}

void Frame(HDC dc, RECT& r, int width, int height, int color) {
  HBRUSH b = GetSysColorBrush(color);
  RECT top{r.Left, r.Top, r.Right, r.Top + height}, bottom{r.Left, r.Bottom - height, r.Right, r.Bottom};
  RECT left{r.Left, r.Top, r.Left + width, r.Bottom}, right{r.Right - width, r.Top, r.Right, r.Bottom};
  FillRect(dc, &top, b);
  FillRect(dc, &bottom, b);
  FillRect(dc, &left, b);
  FillRect(dc, &right, b);
  r = {r.Left + width, r.Top + height, r.Right - width, r.Bottom - height};
}

}  // namespace

void PaintNonClient(Window* w, HRGN region) {
  HDC dc = GetWindowDC(w->handle);
  if (!dc) return;
  if (reinterpret_cast<std::uintptr_t>(region) > 1) {
    if (auto* r = gdi::LookupAs<gdi::RegionObject>(region)) {
      gdi::Region local = r->R;
      POINT o = WindowOrigin(w);
      local.Offset(-o.X, -o.Y);
      HRGN h = gdi::NewRegionHandle(local);
      SelectClipRgn(dc, h);
      DeleteObject(h);
    }
  }
  RECT r{0, 0, w->window.Width(), w->window.Height()};
  DWORD s = w->style, ex = w->exStyle;
  if (s & WS_THICKFRAME) {
    // Raised edge, then the sizing band in the border colour.
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int bx = GetSystemMetrics(SM_CXFRAME) - 2, by = GetSystemMetrics(SM_CYFRAME) - 2;
    if (bx > 0 && by > 0) Frame(dc, r, bx, by, COLOR_BTNFACE);
  } else if ((s & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    int bx = GetSystemMetrics(SM_CXDLGFRAME) - 2, by = GetSystemMetrics(SM_CYDLGFRAME) - 2;
    if (bx > 0 && by > 0) Frame(dc, r, bx, by, COLOR_BTNFACE);
  } else if (s & WS_BORDER) {
    Frame(dc, r, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER), COLOR_WINDOWFRAME);
  }
  if ((s & WS_CAPTION) == WS_CAPTION) {
    int h = GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    RECT cap{r.Left, r.Top, r.Right, r.Top + h};
    bool active = GetActiveWindow() == Root(w)->handle;
    FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    r.Top += h;
  }
  if (ex & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  DrawScrollBar(w, dc, SB_VERT);
  DrawScrollBar(w, dc, SB_HORZ);
  BarLayout v, h;
  if (LayoutOf(w, SB_VERT, v) && LayoutOf(w, SB_HORZ, h)) {
    RECT corner{v.bar.Left, h.bar.Top, v.bar.Right, h.bar.Bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    if (s & WS_THICKFRAME) DrawFrameControl(dc, &corner, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
  ReleaseDC(w->handle, dc);
}

BOOL EraseBackground(Window* w, HDC dc) {
  HBRUSH b = ClassBrush(w->cls->background);
  if (!b || !dc) return FALSE;
  RECT r{0, 0, w->client.Width(), w->client.Height()};
  FillRect(dc, &r, b);
  return TRUE;
}

}  // namespace win::detail
