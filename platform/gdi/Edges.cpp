#include "platform/gdi/Edges.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/Geometry.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/SysColors.h"

namespace win {

using namespace gdi;

namespace {

void FillSurfaceRect(DC& dc, const TRect& r, COLORREF c) {
  Paint p;
  SolidPaint(DevicePixel(dc, c), 0xF0, p);
  PaintRect(dc, r, p);
}

void FillSurfacePixel(DC& dc, int x, int y, COLORREF c) {
  Paint p;
  SolidPaint(DevicePixel(dc, c), 0xF0, p);
  PaintPixel(dc, x, y, p);
}

// One border line pass: the top and left lines in one colour, the bottom
// and right lines in another; the bottom and right lines own the corners
// they share with the top and left ones.
void BorderPass(DC& dc, TRect& r, UINT flags, COLORREF topLeft, COLORREF bottomRight, bool drawTL, bool drawBR) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  int rightEnd = (flags & BF_RIGHT) ? r.Right - 1 : r.Right;
  int bottomEnd = (flags & BF_BOTTOM) ? r.Bottom - 1 : r.Bottom;
  if (drawTL) {
    if (flags & BF_TOP) FillSurfaceRect(dc, {r.Left, r.Top, rightEnd, r.Top + 1}, topLeft);
    if (flags & BF_LEFT) FillSurfaceRect(dc, {r.Left, r.Top, r.Left + 1, bottomEnd}, topLeft);
  }
  if (drawBR) {
    if (flags & BF_BOTTOM) FillSurfaceRect(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    if (flags & BF_RIGHT) FillSurfaceRect(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
  }
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_RIGHT) --r.Right;
  if (flags & BF_BOTTOM) --r.Bottom;
}

// Draws an edge on a rectangle in surface coordinates; answers the
// interior left over.
TRect EdgeOnSurface(DC& dc, TRect r, UINT edge, UINT flags) {
  UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  COLORREF otl = 0, obr = 0, itl = 0, ibr = 0;
  bool hasOuter = outer != 0, hasInner = inner != 0;
  if (flags & BF_MONO) {
    otl = obr = GdiSysColor(COLOR_WINDOWFRAME);
    itl = ibr = GdiSysColor(COLOR_WINDOW);
  } else if (flags & BF_FLAT) {
    otl = obr = GdiSysColor(COLOR_BTNSHADOW);
    itl = ibr = GdiSysColor(COLOR_BTNFACE);
  } else {
    // The classic order: raised outer light / dark shadow, raised inner
    // highlight / shadow; sunken ones mirrored.
    if (outer & BDR_RAISEDOUTER) {
      otl = GdiSysColor((flags & BF_SOFT) ? COLOR_3DHILIGHT : COLOR_3DLIGHT);
      obr = GdiSysColor(COLOR_3DDKSHADOW);
    } else if (outer & BDR_SUNKENOUTER) {
      otl = GdiSysColor((flags & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
      obr = GdiSysColor(COLOR_3DHILIGHT);
    }
    if (inner & BDR_RAISEDINNER) {
      itl = GdiSysColor((flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_3DHILIGHT);
      ibr = GdiSysColor(COLOR_3DSHADOW);
    } else if (inner & BDR_SUNKENINNER) {
      itl = GdiSysColor((flags & BF_SOFT) ? COLOR_3DSHADOW : COLOR_3DDKSHADOW);
      ibr = GdiSysColor(COLOR_3DLIGHT);
    }
  }
  // Both bits of one border (raised and sunken at once) draw nothing.
  bool outerValid = hasOuter && outer != BDR_OUTER;
  bool innerValid = hasInner && inner != BDR_INNER;
  if (hasOuter) BorderPass(dc, r, flags, otl, obr, outerValid, outerValid);
  if (hasInner) BorderPass(dc, r, flags, itl, ibr, innerValid, innerValid);
  if ((flags & BF_MIDDLE) && r.Left < r.Right && r.Top < r.Bottom)
    FillSurfaceRect(dc, r, GdiSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  return r;
}

TRect ToSurface(const DC& dc, const RECT& r) {
  return {ClampCoord(r.Left) + dc.OffX, ClampCoord(r.Top) + dc.OffY, ClampCoord(r.Right) + dc.OffX,
          ClampCoord(r.Bottom) + dc.OffY};
}

RECT ToLogical(const DC& dc, const TRect& r) {
  return {r.Left - dc.OffX, r.Top - dc.OffY, r.Right - dc.OffX, r.Bottom - dc.OffY};
}

// The check mark, 7 x 7, rows top-down.
const char* const kCheckMark[7] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

void DrawCheckMark(DC& dc, int x, int y, COLORREF c) {
  for (int j = 0; j < 7; ++j)
    for (int i = 0; i < 7; ++i)
      if (kCheckMark[j][i] == '#') FillSurfacePixel(dc, x + i, y + j, c);
}

TRect SquareIn(const TRect& r) {
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  int x = r.Left + (r.Right - r.Left - size) / 2, y = r.Top + (r.Bottom - r.Top - size) / 2;
  return {x, y, x + size, y + size};
}

void DrawCheckBox(DC& dc, const TRect& rect, UINT state) {
  TRect box = SquareIn(rect);
  if (box.Right - box.Left < 2) return;
  UINT flags = BF_RECT | ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
  TRect in = EdgeOnSurface(dc, box, EDGE_SUNKEN, flags);
  bool faceFill = (state & (DFCS_INACTIVE | DFCS_PUSHED)) || ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
  FillSurfaceRect(dc, in, GdiSysColor(faceFill ? COLOR_BTNFACE : COLOR_WINDOW));
  if (state & DFCS_CHECKED) {
    COLORREF c = GdiSysColor((state & (DFCS_INACTIVE | DFCS_BUTTON3STATE)) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    int w = in.Right - in.Left, h = in.Bottom - in.Top;
    DrawCheckMark(dc, in.Left + (w - 7) / 2, in.Top + (h - 7) / 2, c);
  }
}

// The radio glyph: the outer ring of the circle in shadow (upper left)
// and highlight (lower right), the ring inside it in dark shadow and
// light, the inside in the window colour and a dot in the window text
// colour. The mask variant paints the circle black on white; the image
// variant paints black outside the circle.
void DrawRadio(DC& dc, const TRect& rect, UINT state) {
  TRect box = SquareIn(rect);
  int size = box.Right - box.Left;
  if (size < 2) return;
  bool mask = (state & 0xFF) == DFCS_BUTTONRADIOMASK;
  bool image = (state & 0xFF) == DFCS_BUTTONRADIOIMAGE;
  thread_local std::vector<RowSpan> rows, ring, innerRows, innerRing;
  EllipseRows(box, rows);
  RingOfRows(rows, ring);
  EllipseRows({box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, innerRows);
  RingOfRows(innerRows, innerRing);
  if (mask || image) {
    COLORREF outside = mask ? RGB(255, 255, 255) : RGB(0, 0, 0);
    FillSurfaceRect(dc, box, outside);
  }
  if (mask) {
    for (const RowSpan& r : rows) FillSurfaceRect(dc, {r.Left, r.Y, r.Right, r.Y + 1}, RGB(0, 0, 0));
    return;
  }
  bool flat = state & (DFCS_FLAT | DFCS_MONO);
  COLORREF inside = GdiSysColor((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
  for (const RowSpan& r : innerRows) FillSurfaceRect(dc, {r.Left, r.Y, r.Right, r.Y + 1}, inside);
  auto paintRing = [&](const std::vector<RowSpan>& rg, COLORREF tl, COLORREF br) {
    // Upper-left half: above the anti-diagonal of the box.
    int diag = box.Left + box.Top + size - 1;
    for (const RowSpan& r : rg)
      for (int x = r.Left; x < r.Right; ++x) FillSurfacePixel(dc, x, r.Y, x + r.Y < diag ? tl : br);
  };
  if (flat) {
    COLORREF c = GdiSysColor((state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
    paintRing(ring, c, c);
    paintRing(innerRing, inside, inside);
  } else {
    paintRing(ring, GdiSysColor(COLOR_3DSHADOW), GdiSysColor(COLOR_3DHILIGHT));
    paintRing(innerRing, GdiSysColor(COLOR_3DDKSHADOW), GdiSysColor(COLOR_3DLIGHT));
  }
  if (state & DFCS_CHECKED) {
    int dot = std::max(2, size / 3);
    int x = box.Left + (size - dot) / 2, y = box.Top + (size - dot) / 2;
    COLORREF c = GdiSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    FillSurfaceRect(dc, {x, y, x + dot, y + dot}, c);
  }
}

void DrawButtonFace(DC& dc, const TRect& r, UINT state) {
  UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT;
  if (state & DFCS_FLAT) flags |= BF_FLAT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  EdgeOnSurface(dc, r, (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED, flags);
}

// A solid triangle pointing in a direction, centred in the rectangle.
void DrawArrow(DC& dc, const TRect& r, int dir, COLORREF c, int shift) {
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  int rows = std::max(1, (size - 4) / 3);
  int cx = (r.Left + r.Right) / 2 + shift, cy = (r.Top + r.Bottom) / 2 + shift;
  // Only the rows the clip can show are drawn: row i lies at base + step * i
  // along the arrow's axis, so the visible ones are a range of i.
  const TRect& show = dc.Eff.Box();
  const bool vertical = dir <= 1;
  const int base = (vertical ? cy : cx) + (dir == 0 || dir == 2 ? -rows / 2 : rows / 2);
  const int step = dir == 0 || dir == 2 ? 1 : -1;
  const int lo = vertical ? show.Top : show.Left, hi = vertical ? show.Bottom : show.Right;
  const int first = std::max(0, step > 0 ? lo - base : base - hi + 1);
  const int last = std::min(rows, step > 0 ? hi - base : base - lo + 1);
  for (int i = first; i < last; ++i) {
    int half = i;  // row i (from the tip) spans 2i + 1 pixels
    switch (dir) {
      case 0:  // up: tip at the top
        FillSurfaceRect(dc, {cx - half, cy - rows / 2 + i, cx + half + 1, cy - rows / 2 + i + 1}, c);
        break;
      case 1:  // down
        FillSurfaceRect(dc, {cx - half, cy + rows / 2 - i, cx + half + 1, cy + rows / 2 - i + 1}, c);
        break;
      case 2:  // left
        FillSurfaceRect(dc, {cx - rows / 2 + i, cy - half, cx - rows / 2 + i + 1, cy + half + 1}, c);
        break;
      default:  // right
        FillSurfaceRect(dc, {cx + rows / 2 - i, cy - half, cx + rows / 2 - i + 1, cy + half + 1}, c);
        break;
    }
  }
}

void DrawSizeGrip(DC& dc, const TRect& r) {
  FillSurfaceRect(dc, r, GdiSysColor(COLOR_BTNFACE));
  int size = std::min(r.Right - r.Left, r.Bottom - r.Top);
  // Diagonal stripes from the lower-right corner: highlight, shadow,
  // shadow, face, repeated. Only the pixels the clip can show are walked.
  const TRect& show = dc.Eff.Box();
  for (int y = std::max(r.Bottom - size, show.Top), yEnd = std::min(r.Bottom, show.Bottom); y < yEnd; ++y)
    for (int x = std::max(r.Right - size, show.Left), xEnd = std::min(r.Right, show.Right); x < xEnd; ++x) {
      int d = (r.Right - 1 - x) + (r.Bottom - 1 - y);
      if (d >= size - 1 || d < 1) continue;
      int k = (d - 1) % 4;
      if (k == 0) FillSurfacePixel(dc, x, y, GdiSysColor(COLOR_3DHILIGHT));
      else if (k == 1 || k == 2) FillSurfacePixel(dc, x, y, GdiSysColor(COLOR_3DSHADOW));
    }
}

}  // namespace

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags) {
  DC* dc = LookupDC(hdc);
  if (!dc || !rect) {
    SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "DrawEdge", "%d,%d,%d,%d edge=%X flags=%X", rect->Left, rect->Top, rect->Right, rect->Bottom, edge,
              flags);
  if (flags & BF_DIAGONAL) return TRUE;  // diagonal edges are not drawn
  TRect in = EdgeOnSurface(*dc, ToSurface(*dc, *rect), edge, flags);
  if (flags & BF_ADJUST) *rect = ToLogical(*dc, in);
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
  DC* dc = LookupDC(hdc);
  if (!dc || !rect) {
    SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "DrawFocusRect", "%d,%d,%d,%d", rect->Left, rect->Top, rect->Right, rect->Bottom);
  TRect r = ToSurface(*dc, *rect);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return TRUE;
  // Every pixel of the frame whose device x + y is even flips.
  Paint p;
  SolidPaint(dc->Surf.IsMono() ? kMonoWhite : 0x00FFFFFFu, 0x5A, p);
  auto flip = [&](int x, int y) {
    if (((x - dc->Origin.X + y - dc->Origin.Y) & 1) == 0) PaintPixel(*dc, x, y, p);
  };
  // Only the part of the frame the clip can show is walked: a frame round
  // a far larger area (an item as wide as a huge scroll extent) costs what
  // shows, not its length.
  const TRect& show = dc->Eff.Box();
  for (int x = std::max(r.Left, show.Left), xEnd = std::min(r.Right, show.Right); x < xEnd; ++x) {
    flip(x, r.Top);
    if (r.Bottom - 1 > r.Top) flip(x, r.Bottom - 1);
  }
  for (int y = std::max(r.Top + 1, show.Top), yEnd = std::min(r.Bottom - 1, show.Bottom); y < yEnd; ++y) {
    flip(r.Left, y);
    if (r.Right - 1 > r.Left) flip(r.Right - 1, y);
  }
  return TRUE;
}

namespace {

// The caption buttons' glyphs, shifted by one pixel when pushed: the close
// cross (two diagonals two pixels thick), the minimise bar, the maximise
// box with its thick top and the restore pair of boxes.
void DrawCaptionGlyph(DC& dc, const TRect& r, UINT kind, COLORREF c, int shift) {
  auto fill = [&](int l, int t, int rr, int b) { FillSurfaceRect(dc, {l + shift, t + shift, rr + shift, b + shift}, c); };
  auto box = [&](int l, int t, int rr, int b) {
    fill(l, t, rr, t + 2);
    fill(l, b - 1, rr, b);
    fill(l, t, l + 1, b);
    fill(rr - 1, t, rr, b);
  };
  if (kind == DFCS_CAPTIONCLOSE) {
    TRect in{r.Left + 3, r.Top + 3, r.Right - 4, r.Bottom - 4};
    int n = std::min(in.Right - in.Left, in.Bottom - in.Top);
    // Row i of the cross lies at in.Top + i (moved by the shift): only the
    // rows the clip can show are drawn.
    const TRect& show = dc.Eff.Box();
    const int first = std::max(0, show.Top - in.Top - shift), last = std::min(n, show.Bottom - in.Top - shift);
    for (int i = first; i < last; ++i) {
      int x0 = in.Left + i, y0 = in.Top + i, x1 = in.Left + n - 1 - i;
      fill(x0, y0, x0 + 2, y0 + 1);
      fill(x1 - 1, y0, x1 + 1, y0 + 1);
    }
    return;
  }
  // A 9 x 9 cell in the middle of the button.
  const int l = r.Left + (r.Right - r.Left - 9) / 2, t = r.Top + (r.Bottom - r.Top - 9) / 2;
  switch (kind) {
    case DFCS_CAPTIONMIN: fill(l + 1, t + 7, l + 7, t + 9); break;
    case DFCS_CAPTIONMAX: box(l, t, l + 9, t + 9); break;
    case DFCS_CAPTIONRESTORE:
      box(l + 3, t, l + 9, t + 6);
      // The front box hides the back one's lines behind it.
      FillSurfaceRect(dc, {l + shift + 1, t + shift + 5, l + shift + 5, t + shift + 8}, GdiSysColor(COLOR_BTNFACE));
      box(l, t + 3, l + 6, t + 9);
      break;
    default: break;
  }
}

}  // namespace

BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state) {
  DC* dc = LookupDC(hdc);
  if (!dc || !rect) {
    SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "DrawFrameControl", "%d,%d,%d,%d type=%u state=%X", rect->Left, rect->Top, rect->Right,
              rect->Bottom, type, state);
  TRect r = ToSurface(*dc, *rect);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return TRUE;
  switch (type) {
    case DFC_BUTTON: {
      UINT kind = state & 0xFF;
      if (kind & DFCS_BUTTONPUSH) DrawButtonFace(*dc, r, state);
      else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) DrawRadio(*dc, r, state);
      else DrawCheckBox(*dc, r, state);
      return TRUE;
    }
    case DFC_SCROLL: {
      UINT kind = state & 0xFF;
      if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        DrawSizeGrip(*dc, r);
        return TRUE;
      }
      DrawButtonFace(*dc, r, state & ~DFCS_CHECKED);
      int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
      int shift = (state & DFCS_PUSHED) ? 1 : 0;
      if (state & DFCS_INACTIVE) {
        DrawArrow(*dc, r, dir, GdiSysColor(COLOR_3DHILIGHT), 1);
        DrawArrow(*dc, r, dir, GdiSysColor(COLOR_3DSHADOW), 0);
      } else {
        DrawArrow(*dc, r, dir, GdiSysColor(COLOR_BTNTEXT), shift);
      }
      return TRUE;
    }
    case DFC_CAPTION: {
      DrawButtonFace(*dc, r, state);
      // A disabled glyph is embossed, as the scroll arrows are.
      if (state & DFCS_INACTIVE) {
        DrawCaptionGlyph(*dc, r, state & 0xFF, GdiSysColor(COLOR_3DHILIGHT), 1);
        DrawCaptionGlyph(*dc, r, state & 0xFF, GdiSysColor(COLOR_3DSHADOW), 0);
      } else {
        DrawCaptionGlyph(*dc, r, state & 0xFF, GdiSysColor(COLOR_BTNTEXT), (state & DFCS_PUSHED) ? 1 : 0);
      }
      return TRUE;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

}  // namespace win
