#include "platform/win/NonClient.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Edges.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Regions.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Text.h"
#include "platform/win/Focus.h"
#include "platform/win/Icons.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/WindowStyles.h"
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

bool In(const RECT& r, POINT p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

HICON CaptionIcon(const Window* w) {
  if (w->iconSmall) return w->iconSmall;
  if (w->iconBig) return w->iconBig;
  return w->cls->iconSmall ? w->cls->iconSmall : w->cls->icon;
}

// The caption text, after the icon and before the buttons, ended with an
// ellipsis where it does not fit.
void DrawCaptionText(const Window* w, HDC dc, const CaptionLayout& c) {
  if (w->text.empty()) return;
  RECT r = c.band;
  r.Left = (c.icon.Right > c.icon.Left ? c.icon.Right : r.Left) + 2;
  for (const RECT* b : {&c.minimize, &c.maximize, &c.close})
    if (b->Right > b->Left) {
      r.Right = b->Left - 2;
      break;
    }
  if (r.Right <= r.Left) return;
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  HFONT font = CreateFontIndirectA((w->exStyle & WS_EX_TOOLWINDOW) ? &m.lfSmCaptionFont : &m.lfCaptionFont);
  HFONT old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(w->frameActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  DrawTextA(dc, w->text.c_str(), static_cast<int>(w->text.size()), &r,
            DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
}

// The band in the colours of the window's state, with its icon, text and
// buttons; the rows of the caption under the band in the face colour.
void DrawCaption(const Window* w, HDC dc, const CaptionLayout& caption) {
  FillRect(dc, &caption.band, GetSysColorBrush(w->frameActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  RECT parting{caption.area.Left, caption.band.Bottom, caption.area.Right, caption.area.Bottom};
  FillRect(dc, &parting, GetSysColorBrush(COLOR_BTNFACE));
  if (caption.icon.Right > caption.icon.Left)
    DrawIconEx(dc, caption.icon.Left, caption.icon.Top, CaptionIcon(w), caption.icon.Width(), caption.icon.Height(), 0,
               nullptr, DI_NORMAL);
  DrawCaptionText(w, dc, caption);
  for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) DrawCaptionButton(w, dc, hit, false);
}

// A minimised window: a raised dialog frame around its caption, and
// nothing else (it has no client area, edges or bars).
void PaintIconicCaption(const Window* w, HDC dc, RECT r) {
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  const int bx = GetSystemMetrics(SM_CXDLGFRAME) - 2, by = GetSystemMetrics(SM_CYDLGFRAME) - 2;
  if (bx > 0 && by > 0) Frame(dc, r, bx, by, COLOR_BTNFACE);
  CaptionLayout caption;
  if (LayoutCaption(w, caption)) DrawCaption(w, dc, caption);
}

}  // namespace

bool ShowsCaption(const Window* w) { return (w->style & WS_CAPTION) == WS_CAPTION || (w->style & WS_MINIMIZE); }

bool LayoutCaption(const Window* w, CaptionLayout& out) {
  out = CaptionLayout{};
  if (!ShowsCaption(w)) return false;
  const bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
  int h = 0;
  if (w->style & WS_MINIMIZE) {
    // Minimised, the window is all caption: the band fills it inside a
    // dialog frame, whatever its style.
    const int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
    out.area = {fx, fy, w->window.Width() - fx, w->window.Height() - fy};
    out.band = out.area;
    h = out.band.Height();
  } else {
    // The caption sits inside the frame its style implies (a caption
    // alone has the dialog frame), right above the client area.
    RECT frame = FrameInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle & ~WS_EX_CLIENTEDGE, false);
    const int rows = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    h = rows - 1;
    out.area = {frame.Left, frame.Top - rows, w->window.Width() - frame.Right, frame.Top};
    out.band = {out.area.Left, out.area.Top, out.area.Right, out.area.Top + h};
  }
  if (!(w->style & WS_SYSMENU)) return true;
  // Buttons: two pixels in from the right and the top, close apart from
  // the minimise/maximise pair.
  const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  const int bh = GetSystemMetrics(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
  const int top = out.band.Top + (h - bh) / 2;
  int right = out.band.Right - 2;
  out.close = {right - bw, top, right, top + bh};
  out.closeEnabled = !(w->cls->style & CS_NOCLOSE);
  right = out.close.Left - 2;
  if (!tool && (w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
    out.maximize = {right - bw, top, right, top + bh};
    out.minimize = {right - 2 * bw, top, right - bw, top + bh};
    out.maximizeEnabled = (w->style & WS_MAXIMIZEBOX) != 0;
    out.minimizeEnabled = (w->style & WS_MINIMIZEBOX) != 0;
  }
  if (!tool && !(w->exStyle & WS_EX_DLGMODALFRAME) && CaptionIcon(w)) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const int y = out.band.Top + (h - cy) / 2;
    out.icon = {out.band.Left + 2, y, out.band.Left + 2 + cx, y + cy};
  }
  return true;
}

int CaptionHit(const Window* w, POINT p) {
  CaptionLayout c;
  if (!LayoutCaption(w, c) || !In(c.area, p)) return HTNOWHERE;
  if (In(c.close, p)) return HTCLOSE;
  if (In(c.maximize, p)) return HTMAXBUTTON;
  if (In(c.minimize, p)) return HTMINBUTTON;
  if (In(c.icon, p)) return HTSYSMENU;
  return HTCAPTION;
}

void DrawCaptionButton(const Window* w, HDC dc, int hit, bool pushed) {
  CaptionLayout c;
  if (!LayoutCaption(w, c)) return;
  RECT r;
  UINT kind = DFCS_CAPTIONCLOSE;
  bool enabled = false;
  switch (hit) {
    case HTCLOSE:
      r = c.close;
      enabled = c.closeEnabled;
      break;
    case HTMAXBUTTON:
      r = c.maximize;
      enabled = c.maximizeEnabled;
      kind = (w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
      break;
    case HTMINBUTTON:
      r = c.minimize;
      enabled = c.minimizeEnabled;
      kind = (w->style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
      break;
    default: return;
  }
  if (r.Right <= r.Left) return;
  DrawFrameControl(dc, &r, DFC_CAPTION, kind | (pushed && enabled ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
}

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
  if (s & WS_MINIMIZE) {
    PaintIconicCaption(w, dc, r);
    ReleaseDC(w->handle, dc);
    return;
  }
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
  CaptionLayout caption;
  if (LayoutCaption(w, caption)) {
    DrawCaption(w, dc, caption);
    r.Top = caption.area.Bottom;
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
