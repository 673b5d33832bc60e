#include "platform/gdi/Fills.h"

#include <cstdint>

#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"
#include "platform/gdi/SysColors.h"

namespace win {

using namespace gdi;

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DC* dc = LookupDC(hdc);
  Brush* b = BrushArg(brush);
  if (!dc || !b || !rect) {
    SetLastError(dc && rect ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  ORV_GDI_LOG(dc, "FillRect", "%d,%d,%d,%d brush=%s", rect->Left, rect->Top, rect->Right, rect->Bottom,
              b->Summary().c_str());
  if (dc->Meta) {
    dc->Meta->FillRect(*dc, *rect, b);
    return 1;
  }
  Paint p;
  if (!BrushPaint(*dc, b, 0xF0, p)) return 1;
  TRect r{ClampCoord(rect->Left) + dc->OffX, ClampCoord(rect->Top) + dc->OffY, ClampCoord(rect->Right) + dc->OffX,
          ClampCoord(rect->Bottom) + dc->OffY};
  // The common case, one clip rectangle and a solid colour, goes straight
  // to the rows.
  if (dc->Eff.IsRect() && p.Solid && dc->Surf.Bpp == 32) {
    const TRect& c = dc->Eff.Rects[0];
    int l = r.Left > c.Left ? r.Left : c.Left, t = r.Top > c.Top ? r.Top : c.Top;
    int rr = r.Right < c.Right ? r.Right : c.Right, bb = r.Bottom < c.Bottom ? r.Bottom : c.Bottom;
    if (l >= rr || t >= bb) return 1;
    const std::uint32_t color = p.Color;
    const std::size_t n = std::size_t(rr - l);
    for (int y = t; y < bb; ++y) FillPixels(reinterpret_cast<std::uint32_t*>(dc->Surf.Row(y)) + l, n, color);
    return 1;
  }
  PaintRect(*dc, r, p);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DC* dc = LookupDC(hdc);
  Brush* b = BrushArg(brush);
  if (!dc || !b || !rect) {
    SetLastError(dc && rect ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return 0;
  }
  ORV_GDI_LOG(dc, "FrameRect", "%d,%d,%d,%d brush=%s", rect->Left, rect->Top, rect->Right, rect->Bottom,
              b->Summary().c_str());
  if (dc->Meta) {
    dc->Meta->FrameRect(*dc, *rect, b);
    return 1;
  }
  if (rect->Right <= rect->Left || rect->Bottom <= rect->Top) return 1;
  Paint p;
  if (!BrushPaint(*dc, b, 0xF0, p)) return 1;
  int l = ClampCoord(rect->Left) + dc->OffX, t = ClampCoord(rect->Top) + dc->OffY;
  int r = ClampCoord(rect->Right) + dc->OffX, bt = ClampCoord(rect->Bottom) + dc->OffY;
  PaintRect(*dc, {l, t, r, t + 1}, p);
  if (bt - t > 1) PaintRect(*dc, {l, bt - 1, r, bt}, p);
  if (bt - t > 2) {
    PaintRect(*dc, {l, t + 1, l + 1, bt - 1}, p);
    if (r - l > 1) PaintRect(*dc, {r - 1, t + 1, r, bt - 1}, p);
  }
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
  DC* dc = LookupDC(hdc);
  if (!dc || !rect) {
    SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "InvertRect", "%d,%d,%d,%d", rect->Left, rect->Top, rect->Right, rect->Bottom);
  if (dc->Meta) {
    dc->Meta->PatBlt(*dc, rect->Left, rect->Top, rect->Right - rect->Left, rect->Bottom - rect->Top, DSTINVERT);
    return TRUE;
  }
  Paint p;
  SolidPaint(0, 0x55, p);
  PaintRect(*dc, {ClampCoord(rect->Left) + dc->OffX, ClampCoord(rect->Top) + dc->OffY,
                  ClampCoord(rect->Right) + dc->OffX, ClampCoord(rect->Bottom) + dc->OffY}, p);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::uint8_t code = RopByte(rop);
  // An operation that reads a source has no place here.
  if (((code >> 2) & 0x33) != (code & 0x33)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dc, "PatBlt", "%d,%d,%d,%d rop=%06X", x, y, width, height, static_cast<unsigned>(rop));
  if (dc->Meta) {
    dc->Meta->PatBlt(*dc, x, y, width, height, rop);
    return TRUE;
  }
  x = ClampCoord(x), y = ClampCoord(y), width = ClampCoord(width), height = ClampCoord(height);
  if (width < 0) x += width, width = -width;
  if (height < 0) y += height, height = -height;
  Paint p;
  bool usesPattern = ((code >> 4) & 0x0F) != (code & 0x0F);
  if (usesPattern) {
    // A null brush leaves the destination alone.
    if (!BrushPaint(*dc, dc->S.CurBrush, code, p)) return TRUE;
  } else {
    SolidPaint(0, code, p);
  }
  TRect r{x + dc->OffX, y + dc->OffY, x + width + dc->OffX, y + height + dc->OffY};
  if (dc->Eff.IsRect() && p.Solid && code == 0xF0 && dc->Surf.Bpp == 32) {
    const TRect& c = dc->Eff.Rects[0];
    int l = r.Left > c.Left ? r.Left : c.Left, t = r.Top > c.Top ? r.Top : c.Top;
    int rr = r.Right < c.Right ? r.Right : c.Right, bb = r.Bottom < c.Bottom ? r.Bottom : c.Bottom;
    const std::uint32_t color = p.Color;
    if (l < rr)
      for (int yy = t; yy < bb; ++yy)
        FillPixels(reinterpret_cast<std::uint32_t*>(dc->Surf.Row(yy)) + l, std::size_t(rr - l), color);
    return TRUE;
  }
  PaintRect(*dc, r, p);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CLR_INVALID;
  }
  ORV_GDI_LOG(dc, "SetPixel", "%d,%d %s", x, y, ColorText(color).c_str());
  if (dc->Meta) {
    dc->Meta->Pixel(*dc, x, y, color);
    return color & 0xFFFFFF;
  }
  int sx = ClampCoord(x) + dc->OffX, sy = ClampCoord(y) + dc->OffY;
  if (!dc->Eff.Contains(sx, sy)) return CLR_INVALID;
  std::uint32_t v = DevicePixel(*dc, color);
  WritePixel(dc->Surf, sx, sy, v);
  return dc->Surf.IsMono() ? (v ? RGB(255, 255, 255) : 0) : PixelToColor(ReadPixel(dc->Surf, sx, sy));
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) != CLR_INVALID || LookupDC(hdc) ? TRUE : FALSE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DC* dc = LookupDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CLR_INVALID;
  }
  int sx = ClampCoord(x) + dc->OffX, sy = ClampCoord(y) + dc->OffY;
  if (!dc->Eff.Contains(sx, sy)) return CLR_INVALID;
  std::uint32_t v = ReadPixel(dc->Surf, sx, sy);
  if (dc->Surf.IsMono()) return v ? RGB(255, 255, 255) : 0;
  return PixelToColor(v) & 0x00FFFFFF;
}

}  // namespace win
