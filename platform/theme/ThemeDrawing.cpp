#include "platform/theme/ThemeDrawing.h"

#include <algorithm>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Regions.h"
#include "platform/rtl/Numbers.h"

namespace win::theme {
namespace {

using enum Look;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// ---- Pixels ----

void Fill(HDC dc, const RECT& r, COLORREF c) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  SetDCBrushColor(dc, c);
  FillRect(dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Pixel(HDC dc, int x, int y, COLORREF c) { SetPixelV(dc, x, y, c); }

// Lays c over the pixel with the weight given in 256ths.
void Blend(HDC dc, int x, int y, COLORREF c, int weight) {
  if (weight <= 0) return;
  if (weight >= 256) {
    SetPixelV(dc, x, y, c);
    return;
  }
  COLORREF below = GetPixel(dc, x, y);
  if (below == CLR_INVALID) return;
  SetPixelV(dc, x, y, Mix(below, c, weight));
}

void HLine(HDC dc, int x0, int x1, int y, COLORREF c) { Fill(dc, {x0, y, x1, y + 1}, c); }
void VLine(HDC dc, int x, int y0, int y1, COLORREF c) { Fill(dc, {x, y0, x + 1, y1}, c); }

// From `from` at the first row (or column) to `to` at the last, one fill
// per step of colour: line i of n takes the weight i * 256 / (n - 1), so
// weight w starts at line ceil(w * (n - 1) / 256). At most 257 fills
// however large the rectangle, and all of them reach a metafile, which
// records what it is given rather than what its surface shows.
void Gradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool across = false) {
  const int first = across ? r.Left : r.Top, n = across ? r.Width() : r.Height();
  if (n <= 0) return;
  auto start = [n](int w) { return n > 1 ? static_cast<int>((Int64(w) * (n - 1) + 255) / 256) : w == 0 ? 0 : n; };
  for (int w = 0; w <= 256; ++w) {
    const int lo = start(w), hi = w == 256 ? n : start(w + 1);
    if (lo >= hi) continue;
    const COLORREF c = Mix(from, to, w);
    if (across)
      Fill(dc, {first + lo, r.Top, first + hi, r.Bottom}, c);
    else
      Fill(dc, {r.Left, first + lo, r.Right, first + hi}, c);
  }
}

void SquareFrame(HDC dc, const RECT& r, COLORREF c) {
  HLine(dc, r.Left, r.Right, r.Top, c);
  HLine(dc, r.Left, r.Right, r.Bottom - 1, c);
  VLine(dc, r.Left, r.Top + 1, r.Bottom - 1, c);
  VLine(dc, r.Right - 1, r.Top + 1, r.Bottom - 1, c);
}

// Which corners a rounded box rounds.
enum Corners { kTopCorners = 1, kBottomCorners = 2, kAllCorners = 3 };

// A one-pixel frame whose corners are cut by `radius` pixels. With 2 the
// corner pixel stays as it was and its neighbours are half blended; with 1
// (small glyph boxes) the corner pixel itself is lightly blended. With
// `bottom` false the frame is open at the bottom (tabs).
void RoundFrame(HDC dc, const RECT& r, COLORREF c, int radius, int corners = kAllCorners, bool bottom = true) {
  const int l = r.Left, t = r.Top, rr = r.Right - 1, b = r.Bottom - 1;
  if (r.Width() < 2 * radius + 1 || r.Height() < 2 * radius + 1) {
    SquareFrame(dc, r, c);
    return;
  }
  const int top = (corners & kTopCorners) ? radius : 0, bot = (corners & kBottomCorners) ? radius : 0;
  HLine(dc, l + top, rr + 1 - top, t, c);
  if (bottom) HLine(dc, l + bot, rr + 1 - bot, b, c);
  VLine(dc, l, t + top, b + 1 - bot, c);
  VLine(dc, rr, t + top, b + 1 - bot, c);
  auto corner = [&](int x, int y, int dx, int dy) {
    if (radius == 1) {
      Blend(dc, x, y, c, 72);
      return;
    }
    Pixel(dc, x + dx, y + dy, c);
    Blend(dc, x + dx, y, c, 120);
    Blend(dc, x, y + dy, c, 120);
  };
  if (top) {
    corner(l, t, 1, 1);
    corner(rr, t, -1, 1);
  }
  if (bot && bottom) {
    corner(l, b, 1, -1);
    corner(rr, b, -1, -1);
  }
}

// A raised element: gradient inside, rounded frame, and a faint light
// line under the top edge that gives the face its soft gloss.
void RoundBox(HDC dc, const RECT& r, const Face& f, int radius, bool across = false, int corners = kAllCorners) {
  RECT in{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  Gradient(dc, in, f.Top, f.Bottom, across);
  if (in.Height() > 4 && in.Width() > 4 && !across)
    HLine(dc, in.Left + 1, in.Right - 1, in.Top, Mix(f.Top, kWhite, 160));
  RoundFrame(dc, r, f.Frame, radius, corners);
}

// ---- Round shapes, anti-aliased by 4 x 4 samples per pixel ----

// How many of a pixel's 16 samples lie in the disc centred at (cx, cy)
// with radius rad, all in eighths of a pixel.
int DiscCoverage(int cx, int cy, int rad, int x, int y) {
  const long r2 = long(rad) * rad;
  int hits = 0;
  for (int sy = 1; sy < 8; sy += 2)
    for (int sx = 1; sx < 8; sx += 2) {
      long dx = x * 8 + sx - cx, dy = y * 8 + sy - cy;
      if (dx * dx + dy * dy <= r2) ++hits;
    }
  return hits;
}

// The disc blended over the DC by its coverage; colourAt(y) gives the
// colour of each row (for gradients).
template <class ColourAt>
void Disc(HDC dc, int cx, int cy, int rad, ColourAt colourAt) {
  int x0 = (cx - rad) >> 3, x1 = (cx + rad + 7) >> 3, y0 = (cy - rad) >> 3, y1 = (cy + rad + 7) >> 3;
  for (int y = y0; y < y1; ++y) {
    COLORREF c = colourAt(y);
    for (int x = x0; x < x1; ++x) Blend(dc, x, y, c, DiscCoverage(cx, cy, rad, x, y) * 16);
  }
}

// The outer radius of a round part, in eighths of a pixel: its true size
// less a little, so the edge pixels blend instead of being cut square.
int DiscRadius(const PartInfo& part) { return part.TrueSize.cx * 4 - 1; }

// ---- Glyphs ----

// A solid triangle pointing `dir`, `half` pixels from its middle to each
// end of its base, centred in r.
void Arrow(HDC dc, const RECT& r, Mark dir, int half, COLORREF c) {
  const int cx = r.Left + (r.Width() - 1) / 2, cy = r.Top + (r.Height() - 1) / 2;
  const int depth = half + 1;
  for (int i = 0; i < depth; ++i) {
    int span = half - (depth - 1 - i);  // 0 at the tip
    switch (dir) {
      case Mark::Up: HLine(dc, cx - span, cx + span + 1, cy - depth / 2 + i, c); break;
      case Mark::Down: HLine(dc, cx - span, cx + span + 1, cy + (depth - 1) / 2 - i, c); break;
      case Mark::Left: VLine(dc, cx - depth / 2 + i, cy - span, cy + span + 1, c); break;
      case Mark::Right: VLine(dc, cx + (depth - 1) / 2 - i, cy - span, cy + span + 1, c); break;
      default: break;
    }
  }
}

// A chevron of two-pixel strokes, pointing up or down, centred in r: arms
// three pixels to each side of a one-pixel apex.
void Chevron(HDC dc, const RECT& r, Mark dir, COLORREF c) {
  const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  const bool down = dir == Mark::Down;
  for (int i = 0; i <= 3; ++i) {
    int y = down ? cy - 1 + i : cy + 1 - i;
    for (int x : {cx - 3 + i, cx + 3 - i}) {
      Pixel(dc, x, y, c);
      Pixel(dc, x, down ? y - 1 : y + 1, c);
    }
  }
}

// The check mark of a 13-pixel box at (x, y): a bold tick, three pixels
// high in every column, the short arm to the left.
void Tick(HDC dc, int x, int y, COLORREF c) {
  static constexpr int kTop[] = {5, 6, 7, 6, 5, 4, 3};
  for (int i = 0; i < 7; ++i) VLine(dc, x + 3 + i, y + kTop[i], y + kTop[i] + 3, c);
  // Soften the two outer ends so the tick does not look cut off.
  Blend(dc, x + 2, y + 6, c, 96);
  Blend(dc, x + 10, y + 4, c, 96);
}

// A diagonal cross in a box of 13 pixels at (x, y).
void Cross(HDC dc, int x, int y, COLORREF c) {
  for (int i = 0; i < 7; ++i) {
    Pixel(dc, x + 3 + i, y + 3 + i, c);
    Pixel(dc, x + 9 - i, y + 3 + i, c);
    if (i < 6) {
      Blend(dc, x + 4 + i, y + 3 + i, c, 140);
      Blend(dc, x + 3 + i, y + 4 + i, c, 140);
      Blend(dc, x + 8 - i, y + 3 + i, c, 140);
      Blend(dc, x + 9 - i, y + 4 + i, c, 140);
    }
  }
}

// Ridges across the middle of a thumb: dark lines with a light line
// beside each, across the long side (vertical lines on a horizontal thumb).
void Grip(HDC dc, const RECT& r, bool vertical, COLORREF dark) {
  const int len = (vertical ? r.Width() : r.Height()) - 8;
  if (len < 3 || (vertical ? r.Height() : r.Width()) < 14) return;
  const int n = std::min(len, 8);
  const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  for (int k = -2; k < 2; ++k) {
    int at = 2 * k;
    if (vertical) {
      int x0 = cx - n / 2;
      HLine(dc, x0, x0 + n, cy + at, dark);
      HLine(dc, x0 + 1, x0 + n + 1, cy + at + 1, kWhite);
    } else {
      int y0 = cy - n / 2;
      VLine(dc, cx + at, y0, y0 + n, dark);
      VLine(dc, cx + at + 1, y0 + 1, y0 + n + 1, kWhite);
    }
  }
}

// ---- Shapes ----

Face ToolFace(Look look) {
  switch (look) {
    case Hot: return ButtonFace(Normal);
    case Checked: return ButtonFace(Checked);
    case HotChecked: return ButtonFace(HotChecked);
    default: return ButtonFace(look);
  }
}

Face CloseFace(Look look) {
  switch (look) {
    case Hot: return {RGB(178, 58, 48), RGB(244, 136, 124), RGB(212, 68, 56), kWhite, kWhite};
    case Pressed: return {RGB(138, 36, 28), RGB(176, 52, 42), RGB(214, 90, 78), kWhite, RGB(255, 226, 222)};
    default: return ButtonFace(look);
  }
}

COLORREF TrackColor(Look look) {
  switch (look) {
    case Hot: return RGB(232, 237, 244);
    case Pressed: return RGB(200, 216, 234);
    case Disabled: return RGB(248, 248, 249);
    default: return RGB(240, 241, 244);
  }
}

void DrawHeader(HDC dc, int part, Look look, const RECT& r) {
  Face f = ButtonFace(look);
  COLORREF top = look == Normal ? kWhite : f.Top, bottom = look == Normal ? RGB(234, 237, 241) : f.Bottom;
  Gradient(dc, {r.Left, r.Top, r.Right, r.Bottom - 1}, top, bottom);
  HLine(dc, r.Left, r.Right, r.Bottom - 1, look == Normal ? RGB(200, 206, 214) : f.Frame);
  if (look == Hot) HLine(dc, r.Left, r.Right, r.Bottom - 2, Mix(f.Frame, bottom, 128));
  // A separator on the right; the last item (part 3) has none.
  if (part != 3 && r.Height() > 6) {
    VLine(dc, r.Right - 1, r.Top + 3, r.Bottom - 3, RGB(198, 204, 212));
    VLine(dc, r.Right - 2, r.Top + 3, r.Bottom - 3, Mix(bottom, kWhite, 160));
  }
}

void DrawTab(HDC dc, Look look, const RECT& r) {
  if (look == Accent) {
    Fill(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom}, kWhite);
    RoundFrame(dc, r, ButtonFace(Normal).Frame, 2, kTopCorners, false);
    // An accent band across the top edge marks the chosen page.
    Face hot = ButtonFace(Hot);
    HLine(dc, r.Left + 2, r.Right - 2, r.Top, hot.Frame);
    HLine(dc, r.Left + 1, r.Right - 1, r.Top + 1, hot.Frame);
    HLine(dc, r.Left + 1, r.Right - 1, r.Top + 2, Mix(hot.Frame, kWhite, 150));
    return;
  }
  Face f = ButtonFace(look);
  Gradient(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom}, f.Top, f.Bottom);
  RoundFrame(dc, r, f.Frame, 2, kTopCorners, false);
}

}  // namespace

void DrawPart(HDC dc, const PartInfo& part, const StateInfo& state, const RECT& given) {
  // Coordinates beyond what any surface holds are drawn as if at its limit.
  using gdi::ClampCoord;
  const RECT rect{ClampCoord(given.Left), ClampCoord(given.Top), ClampCoord(given.Right), ClampCoord(given.Bottom)};
  const RECT r = PartBox(part, rect);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  const Look look = state.Kind;
  const Mark mark = state.Symbol;
  switch (part.Kind) {
    case Shape::PushButton: {
      Face f = ButtonFace(look);
      RoundBox(dc, r, f, 2);
      if (look == Accent && r.Width() > 6 && r.Height() > 6)
        RoundFrame(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, RGB(150, 196, 236), 2);
      break;
    }
    case Shape::CheckBox: {
      Face f = FieldFace(look);
      RoundBox(dc, r, f, 1);
      if (mark == Mark::Check) Tick(dc, r.Left, r.Top, f.Glyph);
      if (mark == Mark::Mixed) {
        Gradient(dc, {r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3}, Mix(f.Glyph, kWhite, 90), f.Glyph);
      }
      break;
    }
    case Shape::RadioButton: {
      Face f = FieldFace(look);
      const int cx = r.Left * 8 + 52, cy = r.Top * 8 + 52, rad = DiscRadius(part);
      Disc(dc, cx, cy, rad, [&](int) { return f.Frame; });
      Disc(dc, cx, cy, rad - 8, [&](int y) { return Mix(f.Top, f.Bottom, std::clamp((y - r.Top) * 256 / 12, 0, 256)); });
      if (mark == Mark::Dot) {
        COLORREF light = Mix(f.Glyph, kWhite, 100);
        Disc(dc, cx, cy, 22, [&](int y) { return Mix(light, f.Glyph, std::clamp((y - r.Top - 4) * 256 / 4, 0, 256)); });
      }
      break;
    }
    case Shape::GroupBox:
      RoundFrame(dc, r, look == Disabled ? RGB(216, 219, 223) : RGB(188, 195, 204), 2);
      break;
    case Shape::ScrollArrow:
    case Shape::SpinButton:
    case Shape::DropButton: {
      Face f = ButtonFace(look);
      bool small = part.Kind == Shape::SpinButton;
      RoundBox(dc, r, f, small ? 1 : 2);
      int half = small ? 2 : std::min(r.Width(), r.Height()) >= 15 ? 3 : 2;
      Arrow(dc, r, mark, half, f.Glyph);
      break;
    }
    case Shape::ScrollThumb: {
      Face f = ButtonFace(look);
      if (part.Vertical) {
        // Shaded across for a vertical thumb, so both ends look alike.
        RoundBox(dc, r, f, 2, true);
      } else {
        RoundBox(dc, r, f, 2);
      }
      break;
    }
    case Shape::ScrollTrack: {
      COLORREF c = TrackColor(look);
      Fill(dc, r, c);
      COLORREF edge = Mix(c, RGB(128, 136, 148), 40);
      if (part.Vertical) {
        VLine(dc, r.Left, r.Top, r.Bottom, edge);
        VLine(dc, r.Right - 1, r.Top, r.Bottom, edge);
      } else {
        HLine(dc, r.Left, r.Right, r.Top, edge);
        HLine(dc, r.Left, r.Right, r.Bottom - 1, edge);
      }
      break;
    }
    case Shape::ScrollGripper: {
      Face f = ButtonFace(look);
      Grip(dc, r, part.Vertical, Mix(f.Frame, f.Bottom, 60));
      break;
    }
    case Shape::SizeBox: {
      // Six dots in a triangle towards the corner the box sits in.
      COLORREF dark = RGB(128, 137, 150);
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
          if (row + col < 2) continue;
          int y = r.Bottom - 12 + row * 4;
          int x = mark == Mark::Left ? r.Left + 2 + (2 - col) * 4 : r.Right - 12 + col * 4;
          Fill(dc, {x + 1, y + 1, x + 3, y + 3}, kWhite);
          Fill(dc, {x, y, x + 2, y + 2}, dark);
        }
      break;
    }
    case Shape::EditField: {
      Face f = FieldFace(look);
      Fill(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, f.Bottom);
      SquareFrame(dc, r, f.Frame);
      // The field with the focus keeps a soft glow inside its frame.
      if (look == Accent && r.Width() > 4 && r.Height() > 4)
        SquareFrame(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, RGB(190, 216, 240));
      break;
    }
    case Shape::HeaderItem:
      DrawHeader(dc, part.Part, look, r);
      break;
    case Shape::ListFrame:
    case Shape::TabPane: {
      Fill(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1},
           part.Kind == Shape::TabPane ? RGB(252, 252, 253) : kWhite);
      SquareFrame(dc, r, ButtonFace(Normal).Frame);
      break;
    }
    case Shape::TreeGlyph: {
      Face f = ButtonFace(Normal);
      RoundBox(dc, r, {RGB(150, 158, 170), kWhite, RGB(224, 228, 234), f.Text, f.Glyph}, 1);
      const int cx = r.Left + 4, cy = r.Top + 4;
      COLORREF c = RGB(52, 60, 72);
      HLine(dc, cx - 2, cx + 3, cy, c);
      if (mark == Mark::Plus) VLine(dc, cx, cy - 2, cy + 3, c);
      break;
    }
    case Shape::GroupButton: {
      Face f = ButtonFace(look);
      const int cx = r.Left * 8 + 68, cy = r.Top * 8 + 68, rad = DiscRadius(part);
      COLORREF frame = look == Normal ? RGB(168, 178, 192) : f.Frame;
      Disc(dc, cx, cy, rad, [&](int) { return frame; });
      Disc(dc, cx, cy, rad - 8, [&](int y) { return Mix(f.Top, f.Bottom, std::clamp((y - r.Top) * 256 / 16, 0, 256)); });
      Chevron(dc, r, mark, f.Glyph);
      break;
    }
    case Shape::GroupHead:
      RoundBox(dc, r, {RGB(172, 186, 206), RGB(253, 254, 255), RGB(218, 228, 241), RGB(28, 32, 38), 0}, 2, false,
               kTopCorners);
      break;
    case Shape::FooterCell:
      Fill(dc, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, RGB(248, 249, 250));
      SquareFrame(dc, r, RGB(206, 211, 218));
      break;
    case Shape::TabItem:
      DrawTab(dc, look, r);
      break;
    case Shape::CloseButton: {
      Face f = CloseFace(look);
      RoundBox(dc, r, f, 2);
      Cross(dc, r.Left, r.Top, f.Glyph);
      break;
    }
    case Shape::ToolButton:
      if (look != Flat) RoundBox(dc, r, ToolFace(look), 2);
      break;
  }
  RestoreDC(dc, saved);
}

RECT DrawEdgeRings(HDC dc, const Face& face, const RECT& rect, UINT edge, UINT flags) {
  // Drawn as if at the limit of any surface; the content rectangle the
  // caller gets back is its own, inset by the rings drawn.
  using gdi::ClampCoord;
  RECT r{ClampCoord(rect.Left), ClampCoord(rect.Top), ClampCoord(rect.Right), ClampCoord(rect.Bottom)};
  RECT inset{};
  const bool flat = (flags & (BF_FLAT | BF_MONO)) != 0;
  // Outer ring first, then the inner one, each one pixel wide.
  struct Ring {
    UINT raised, sunken;
    COLORREF light, dark;
  };
  const Ring rings[2] = {{BDR_RAISEDOUTER, BDR_SUNKENOUTER, RGB(255, 255, 255), face.Frame},
                         {BDR_RAISEDINNER, BDR_SUNKENINNER, Mix(face.Top, kWhite, 128), Mix(face.Frame, face.Bottom, 110)}};
  for (const Ring& ring : rings) {
    if (!(edge & (ring.raised | ring.sunken))) continue;
    bool raised = (edge & ring.raised) != 0;
    COLORREF topLeft = flat ? ring.dark : raised ? ring.light : ring.dark;
    COLORREF bottomRight = flat ? ring.dark : raised ? ring.dark : ring.light;
    if (flags & BF_TOP) HLine(dc, r.Left, r.Right, r.Top, topLeft);
    if (flags & BF_LEFT) VLine(dc, r.Left, r.Top, r.Bottom, topLeft);
    if (flags & BF_BOTTOM) HLine(dc, r.Left, r.Right, r.Bottom - 1, bottomRight);
    if (flags & BF_RIGHT) VLine(dc, r.Right - 1, r.Top, r.Bottom, bottomRight);
    if (flags & BF_TOP) ++r.Top, ++inset.Top;
    if (flags & BF_LEFT) ++r.Left, ++inset.Left;
    if (flags & BF_BOTTOM) --r.Bottom, ++inset.Bottom;
    if (flags & BF_RIGHT) --r.Right, ++inset.Right;
  }
  if (flags & BF_MIDDLE) Fill(dc, r, Mix(face.Top, face.Bottom, 128));
  return {ClampToInteger(Int64(rect.Left) + inset.Left), ClampToInteger(Int64(rect.Top) + inset.Top),
          ClampToInteger(Int64(rect.Right) - inset.Right), ClampToInteger(Int64(rect.Bottom) - inset.Bottom)};
}

HRGN PartRegion(const PartInfo& part, const RECT& rect) {
  const RECT r = PartBox(part, rect);
  switch (part.Kind) {
    case Shape::RadioButton:
    case Shape::GroupButton: {
      // Every pixel the outer disc touches, row by row, measured from the
      // box's corner (in eighths of a pixel its place may not fit).
      const int rad = DiscRadius(part);
      const int cx = part.TrueSize.cx * 4, cy = part.TrueSize.cy * 4;
      const int w = r.Right - r.Left, h = r.Bottom - r.Top;
      HRGN rgn = CreateRectRgn(0, 0, 0, 0);
      HRGN row = CreateRectRgn(0, 0, 0, 0);
      for (int y = 0; y < h; ++y) {
        int x0 = w, x1 = 0;
        for (int x = 0; x < w; ++x)
          if (DiscCoverage(cx, cy, rad, x, y) > 0) x0 = std::min(x0, x), x1 = std::max(x1, x + 1);
        if (x0 >= x1) continue;
        SetRectRgn(row, r.Left + x0, r.Top + y, r.Left + x1, r.Top + y + 1);
        CombineRgn(rgn, rgn, row, RGN_OR);
      }
      DeleteObject(row);
      return rgn;
    }
    case Shape::PushButton:
    case Shape::ScrollArrow:
    case Shape::ScrollThumb:
    case Shape::DropButton:
    case Shape::CloseButton:
    case Shape::ToolButton:
    case Shape::TabItem:
    case Shape::GroupHead: {
      // Corners cut by two pixels leave their corner pixel as it was.
      HRGN rgn = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
      if (Int64(r.Right) - r.Left < 5 || Int64(r.Bottom) - r.Top < 5) return rgn;
      bool bottom = part.Kind != Shape::TabItem && part.Kind != Shape::GroupHead;
      HRGN dot = CreateRectRgn(0, 0, 0, 0);
      for (POINT p : {POINT{r.Left, r.Top}, POINT{r.Right - 1, r.Top}, POINT{r.Left, r.Bottom - 1},
                      POINT{r.Right - 1, r.Bottom - 1}}) {
        if (!bottom && p.Y == r.Bottom - 1) continue;
        SetRectRgn(dot, p.X, p.Y, p.X + 1, p.Y + 1);
        CombineRgn(rgn, rgn, dot, RGN_DIFF);
      }
      DeleteObject(dot);
      return rgn;
    }
    default:
      return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  }
}

}  // namespace win::theme
