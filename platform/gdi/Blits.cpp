#include "platform/gdi/Blits.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/gdi/Fills.h"
#include "platform/gdi/MetafileRecorder.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Recorder.h"

namespace win {

using namespace gdi;

namespace {

bool UsesSource(std::uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(std::uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// Every coordinate and size a blit takes is kept to what a surface can hold.
template <class... Coords>
void ClampCoords(Coords&... v) {
  ((v = ClampCoord(v)), ...);
}

// Where dstLen pixels show srcLen: the source pixel whose centre lies
// nearest the centre of destination pixel d.
int NearestSource(int d, int srcLen, int dstLen) {
  return int((2 * std::int64_t(d) + 1) * srcLen / (2 * std::int64_t(dstLen)));
}

// Columns [x, x + n) of row y of the destination rectangle r, each read at
// its nearest pixel of the source rectangle sr.
void SampleNearest(const Surface& src, const TRect& sr, const TRect& r, int x, int y, int n, std::uint32_t* out) {
  const int sy = sr.Top + NearestSource(y - r.Top, sr.Height(), r.Height());
  for (int i = 0; i < n; ++i)
    out[i] = ReadPixel(src, sr.Left + NearestSource(x - r.Left + i, sr.Width(), r.Width()), sy);
}

// The DC of a blit's handle; null, with the error set, when it is none.
DC* DCArg(HDC h) {
  DC* dc = LookupDC(h);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

// How a blit opens: its coordinates clamped, the destination DC looked up,
// then the source DC when the blit reads one (src stays null otherwise);
// false, with the error set, when a handle it needs is no DC.
template <class... Coords>
bool OpenBlit(HDC hdest, HDC hsrc, bool readsSource, DC*& dst, DC*& src, Coords&... coords) {
  ClampCoords(coords...);
  src = nullptr;
  dst = DCArg(hdest);
  if (!dst || !readsSource) return dst != nullptr;
  src = DCArg(hsrc);
  return src != nullptr;
}

// The source rectangle of a blit in surface coordinates; false, with the
// error set, when it reaches outside the source surface.
bool SourceRect(const DC& src, int x, int y, int width, int height, TRect& out) {
  out = {x + src.OffX, y + src.OffY, x + src.OffX + width, y + src.OffY + height};
  if (out.Left >= 0 && out.Top >= 0 && out.Right <= src.Surf.Width && out.Bottom <= src.Surf.Height) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

// How source pixel values become destination ones.
struct Conversion {
  enum Kind { None, MonoToColor, ColorToMonoBk } K = None;
  std::uint32_t Fg = 0, Bg = 0;  // MonoToColor: pixels for bits 0 and 1
  std::uint32_t SrcBk = 0;       // ColorToMonoBk: the source background pixel

  void Apply(std::uint32_t* v, int n) const {
    switch (K) {
      case MonoToColor:
        for (int i = 0; i < n; ++i) v[i] = v[i] ? Bg : Fg;
        break;
      case ColorToMonoBk:
        for (int i = 0; i < n; ++i) v[i] = ((v[i] ^ SrcBk) & 0x00FFFFFF) == 0 ? kMonoWhite : 0;
        break;
      default:
        break;
    }
  }
};

Conversion MakeConversion(const DC& dst, const Surface& src, COLORREF srcBk) {
  Conversion c;
  if (src.IsMono() && !dst.Surf.IsMono()) {
    c.K = Conversion::MonoToColor;
    c.Fg = DevicePixel(dst, dst.S.TextColor);
    c.Bg = DevicePixel(dst, dst.S.BkColor);
  } else if (!src.IsMono() && dst.Surf.IsMono()) {
    c.K = Conversion::ColorToMonoBk;
    c.SrcBk = ColorToPixel(srcBk);
  }
  return c;
}

bool SetupPattern(DC& dc, std::uint8_t code, Paint& p) {
  if (UsesPattern(code)) {
    // With a null brush the pattern reads as black.
    if (!BrushPaint(dc, dc.S.CurBrush, code, p)) SolidPaint(0, code, p);
    return true;
  }
  SolidPaint(0, code, p);
  return true;
}

// A private copy of part of a surface, for blits whose source and
// destination overlap.
struct Snapshot {
  Surface S;
  std::vector<std::uint8_t> Bytes;
};

const Surface& MaybeSnapshot(const Surface& src, const Surface& dst, const TRect& srcRect, Snapshot& snap,
                             int& offX, int& offY) {
  offX = offY = 0;
  if (src.Row0 != dst.Row0) return src;
  int w = srcRect.Right - srcRect.Left, h = srcRect.Bottom - srcRect.Top;
  snap.S = Surface{};
  snap.S.Width = w;
  snap.S.Height = h;
  snap.S.Bpp = 32;
  snap.S.Stride = std::ptrdiff_t(w) * 4;
  snap.Bytes.resize(std::size_t(w) * std::size_t(h) * 4);
  snap.S.Row0 = snap.Bytes.data();
  for (int y = 0; y < h; ++y)
    LoadSpan(src, srcRect.Left, srcRect.Top + y, w, reinterpret_cast<std::uint32_t*>(snap.S.Row(y)));
  snap.S.Palette = nullptr;
  // The copy holds pixel values already (monochrome as 0 / white): keep
  // its kind so conversion still applies.
  if (src.IsMono()) {
    snap.S.Bpp = 32;
  }
  offX = srcRect.Left;
  offY = srcRect.Top;
  return snap.S;
}

thread_local std::vector<std::uint32_t> rowBuf;

std::uint32_t* RowBuffer(int n) {
  if (rowBuf.size() < std::size_t(n)) rowBuf.resize(std::size_t(n));
  return rowBuf.data();
}

// The rows of destination rectangle r (surface coordinates) the clip shows,
// each read at the nearest pixels of source rectangle sr: mix(raw,
// converted, d, n) mixes the source pixels as read and as converted into
// the destination's d, which are then stored.
template <class Mix>
void MixNearest(DC& dst, const TRect& r, const Surface& surface, const TRect& sourceRect, const Conversion& conv,
                Mix mix) {
  thread_local std::vector<std::uint32_t> raw, converted, d;
  // A source on the destination's own surface is read from a copy, so rows
  // already written are not read again as source.
  Snapshot snap;
  int snapX, snapY;
  const Surface& src = MaybeSnapshot(surface, dst.Surf, sourceRect, snap, snapX, snapY);
  const TRect sr{sourceRect.Left - snapX, sourceRect.Top - snapY, sourceRect.Right - snapX, sourceRect.Bottom - snapY};
  ForClipRects(dst.Eff, r, [&](const TRect& part) {
    int n = part.Right - part.Left;
    raw.resize(std::size_t(n));
    d.resize(std::size_t(n));
    for (int yy = part.Top; yy < part.Bottom; ++yy) {
      SampleNearest(src, sr, r, part.Left, yy, n, raw.data());
      converted = raw;
      conv.Apply(converted.data(), n);
      LoadSpan(dst.Surf, part.Left, yy, n, d.data());
      mix(raw.data(), converted.data(), d.data(), n);
      StoreSpan(dst.Surf, part.Left, yy, n, d.data());
    }
  });
}

// Source rows through a nearest or area-averaging mapping into the
// destination rectangle (surface coordinates), then the raster operation.
struct StretchJob {
  DC* Dst;
  const Surface* Src;
  TRect DstRect;   // normalised, surface coordinates
  TRect SrcRect;   // normalised, source surface coordinates
  bool FlipX = false, FlipY = false;
  bool Average = false;
  Conversion Conv;
  Paint Pat;
};

// Fetches destination columns [c0, c1) (offsets into the destination
// rectangle) of row dy into out[0 .. c1 - c0).
void FetchStretchedRow(const StretchJob& j, int dy, int c0, int c1, std::uint32_t* out) {
  int dw = j.DstRect.Right - j.DstRect.Left, dh = j.DstRect.Bottom - j.DstRect.Top;
  int sw = j.SrcRect.Right - j.SrcRect.Left, sh = j.SrcRect.Bottom - j.SrcRect.Top;
  int ry = dy - j.DstRect.Top;
  if (j.FlipY) ry = dh - 1 - ry;
  thread_local std::vector<std::uint32_t> src;
  src.resize(std::size_t(sw));
  if (j.Average && (sw > dw || sh > dh)) {
    // Area average over the source box each destination pixel covers.
    int y0 = int(std::int64_t(ry) * sh / dh), y1 = std::max(y0 + 1, int(std::int64_t(ry + 1) * sh / dh));
    // Sums in 64 bits: a box of more than some sixteen million source
    // pixels (a large picture made a thumbnail) adds up past 32.
    thread_local std::vector<std::uint64_t> sum;
    sum.assign(std::size_t(sw) * 3, 0);
    for (int y = y0; y < y1; ++y) {
      LoadSpan(*j.Src, j.SrcRect.Left, j.SrcRect.Top + y, sw, src.data());
      for (int x = 0; x < sw; ++x) {
        sum[3 * std::size_t(x)] += (src[std::size_t(x)] >> 16) & 0xFF;
        sum[3 * std::size_t(x) + 1] += (src[std::size_t(x)] >> 8) & 0xFF;
        sum[3 * std::size_t(x) + 2] += src[std::size_t(x)] & 0xFF;
      }
    }
    for (int i = c0; i < c1; ++i) {
      int rx = j.FlipX ? dw - 1 - i : i;
      int x0 = int(std::int64_t(rx) * sw / dw), x1 = std::max(x0 + 1, int(std::int64_t(rx + 1) * sw / dw));
      std::uint64_t r = 0, g = 0, b = 0, n = std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
      for (int x = x0; x < x1; ++x) {
        r += sum[3 * std::size_t(x)];
        g += sum[3 * std::size_t(x) + 1];
        b += sum[3 * std::size_t(x) + 2];
      }
      out[i - c0] = std::uint32_t((((r + n / 2) / n) << 16) | (((g + n / 2) / n) << 8) | ((b + n / 2) / n));
    }
  } else {
    LoadSpan(*j.Src, j.SrcRect.Left, j.SrcRect.Top + NearestSource(ry, sh, dh), sw, src.data());
    for (int i = c0; i < c1; ++i) out[i - c0] = src[std::size_t(NearestSource(j.FlipX ? dw - 1 - i : i, sw, dw))];
  }
  j.Conv.Apply(out, c1 - c0);
}

void RunStretch(const StretchJob& j) {
  DC& dc = *j.Dst;
  if (dc.Eff.IsEmpty()) return;
  // Only the columns the clip can show are fetched.
  const TRect& clip = dc.Eff.Box();
  int c0 = std::max(j.DstRect.Left, clip.Left) - j.DstRect.Left;
  int c1 = std::min(j.DstRect.Right, clip.Right) - j.DstRect.Left;
  if (c0 >= c1) return;
  thread_local std::vector<std::uint32_t> row;
  row.resize(std::size_t(c1 - c0));
  int lastRow = std::numeric_limits<int>::min();
  // Clip parts come band by band; a row is fetched once per band it meets.
  ForClipRects(dc.Eff, j.DstRect, [&](const TRect& part) {
    for (int y = part.Top; y < part.Bottom; ++y) {
      if (y != lastRow) {
        FetchStretchedRow(j, y, c0, c1, row.data());
        lastRow = y;
      }
      PaintSpan(dc.Surf, y, part.Left, part.Right, j.Pat, row.data() + (part.Left - j.DstRect.Left - c0));
    }
  });
}

TRect Normalise(int x, int y, int w, int h, bool& flipX, bool& flipY) {
  flipX = w < 0;
  flipY = h < 0;
  if (w < 0) x += w, w = -w;
  if (h < 0) y += h, h = -h;
  return {x, y, x + w, y + h};
}

}  // namespace

BOOL BitBlt(HDC hdest, int x, int y, int width, int height, HDC hsrc, int xSrc, int ySrc, DWORD rop) {
  const std::uint8_t code = RopByte(rop);
  DC *dst, *src;
  if (!OpenBlit(hdest, hsrc, UsesSource(code), dst, src, x, y, width, height, xSrc, ySrc)) return FALSE;
  // Without a source it is a pattern blit (and logged as one).
  if (!src) return PatBlt(hdest, x, y, width, height, rop);
  ORV_GDI_LOG(dst, "BitBlt", "%d,%d,%d,%d from %d,%d rop=%06X", x, y, width, height, xSrc, ySrc,
              static_cast<unsigned>(rop));
  if (dst->Meta) {
    dst->Meta->Blt(*dst, x, y, width, height, *src, xSrc, ySrc, width, height, rop, false);
    return TRUE;
  }
  if (width < 0) x += width, xSrc += width, width = -width;
  if (height < 0) y += height, ySrc += height, height = -height;
  // Destination rectangle in surface coordinates, cut to where the source
  // has pixels.
  int dx = x + dst->OffX, dy = y + dst->OffY;
  int sx = xSrc + src->OffX, sy = ySrc + src->OffY;
  TRect r{dx, dy, dx + width, dy + height};
  r.Left = std::max(r.Left, dx - sx);
  r.Top = std::max(r.Top, dy - sy);
  r.Right = std::min(r.Right, dx - sx + src->Surf.Width);
  r.Bottom = std::min(r.Bottom, dy - sy + src->Surf.Height);
  if (r.Left >= r.Right || r.Top >= r.Bottom) return TRUE;
  const int shiftX = sx - dx, shiftY = sy - dy;  // destination -> source

  // The common copy: same format, separate surfaces, one clip rectangle.
  if (code == 0xCC && src->Surf.Bpp == 32 && dst->Surf.Bpp == 32 && src->Surf.Row0 != dst->Surf.Row0 &&
      dst->Eff.IsRect()) {
    const TRect& c = dst->Eff.Rects[0];
    int l = std::max(r.Left, c.Left), t = std::max(r.Top, c.Top);
    int rr = std::min(r.Right, c.Right), bb = std::min(r.Bottom, c.Bottom);
    if (l >= rr || t >= bb) return TRUE;
    const std::size_t bytes = std::size_t(rr - l) * 4;
    for (int yy = t; yy < bb; ++yy)
      std::memcpy(reinterpret_cast<std::uint32_t*>(dst->Surf.Row(yy)) + l,
                  reinterpret_cast<const std::uint32_t*>(src->Surf.Row(yy + shiftY)) + l + shiftX, bytes);
    return TRUE;
  }

  Paint p;
  SetupPattern(*dst, code, p);
  Conversion conv = MakeConversion(*dst, src->Surf, src->S.BkColor);

  Snapshot snap;
  int snapX, snapY;
  const Surface& s = MaybeSnapshot(src->Surf, dst->Surf,
                                   {r.Left + shiftX, r.Top + shiftY, r.Right + shiftX, r.Bottom + shiftY}, snap,
                                   snapX, snapY);
  const bool direct = s.Bpp == 32 && conv.K == Conversion::None;
  ForClipRects(dst->Eff, r, [&](const TRect& part) {
    int n = part.Right - part.Left;
    for (int yy = part.Top; yy < part.Bottom; ++yy) {
      int srcX = part.Left + shiftX - snapX, srcY = yy + shiftY - snapY;
      if (direct) {
        const auto* sp = reinterpret_cast<const std::uint32_t*>(s.Row(srcY)) + srcX;
        PaintSpan(dst->Surf, yy, part.Left, part.Right, p, sp);
      } else {
        std::uint32_t* buf = RowBuffer(n);
        LoadSpan(s, srcX, srcY, n, buf);
        conv.Apply(buf, n);
        PaintSpan(dst->Surf, yy, part.Left, part.Right, p, buf);
      }
    }
  });
  return TRUE;
}

BOOL StretchBlt(HDC hdest, int x, int y, int width, int height, HDC hsrc, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop) {
  const std::uint8_t code = RopByte(rop);
  DC *dst, *src;
  if (!OpenBlit(hdest, hsrc, UsesSource(code), dst, src, x, y, width, height, xSrc, ySrc, wSrc, hSrc)) return FALSE;
  if (!src) return PatBlt(hdest, x, y, width, height, rop);
  if (width == wSrc && height == hSrc && width > 0 && height > 0)
    return BitBlt(hdest, x, y, width, height, hsrc, xSrc, ySrc, rop);
  ORV_GDI_LOG(dst, "StretchBlt", "%d,%d,%d,%d from %d,%d,%d,%d rop=%06X", x, y, width, height, xSrc, ySrc, wSrc,
              hSrc, static_cast<unsigned>(rop));
  if (dst->Meta) {
    if (width && height && wSrc && hSrc) dst->Meta->Blt(*dst, x, y, width, height, *src, xSrc, ySrc, wSrc, hSrc, rop, true);
    return TRUE;
  }
  if (!width || !height || !wSrc || !hSrc) return TRUE;
  StretchJob j;
  bool fdx, fdy, fsx, fsy;
  j.Dst = dst;
  j.Src = &src->Surf;
  TRect d = Normalise(x, y, width, height, fdx, fdy);
  TRect sr = Normalise(xSrc, ySrc, wSrc, hSrc, fsx, fsy);
  j.DstRect = {d.Left + dst->OffX, d.Top + dst->OffY, d.Right + dst->OffX, d.Bottom + dst->OffY};
  j.SrcRect = {sr.Left + src->OffX, sr.Top + src->OffY, sr.Right + src->OffX, sr.Bottom + src->OffY};
  // Only the part of the source the surface has can be read.
  if (j.SrcRect.Left < 0 || j.SrcRect.Top < 0 || j.SrcRect.Right > src->Surf.Width ||
      j.SrcRect.Bottom > src->Surf.Height) {
    TRect clipped{std::max(j.SrcRect.Left, 0), std::max(j.SrcRect.Top, 0),
                  std::min(j.SrcRect.Right, src->Surf.Width), std::min(j.SrcRect.Bottom, src->Surf.Height)};
    if (clipped.Left >= clipped.Right || clipped.Top >= clipped.Bottom) return TRUE;
    j.SrcRect = clipped;
  }
  j.FlipX = fdx != fsx;
  j.FlipY = fdy != fsy;
  j.Average = dst->S.StretchMode == HALFTONE && !src->Surf.IsMono() && !dst->Surf.IsMono();
  j.Conv = MakeConversion(*dst, src->Surf, src->S.BkColor);
  SetupPattern(*dst, code, j.Pat);
  if (src->Surf.Row0 == dst->Surf.Row0) {
    // Overlapping stretch: read from a copy.
    Snapshot snap;
    int ox, oy;
    const Surface& s = MaybeSnapshot(src->Surf, dst->Surf, j.SrcRect, snap, ox, oy);
    j.Src = &s;
    j.SrcRect = {0, 0, j.SrcRect.Right - j.SrcRect.Left, j.SrcRect.Bottom - j.SrcRect.Top};
    RunStretch(j);
    return TRUE;
  }
  RunStretch(j);
  return TRUE;
}

BOOL MaskBlt(HDC hdest, int x, int y, int width, int height, HDC hsrc, int xSrc, int ySrc, HBITMAP hmask, int xMask,
             int yMask, DWORD rop4) {
  ClampCoords(x, y, width, height, xSrc, ySrc, xMask, yMask);
  DC* dst = DCArg(hdest);
  if (!dst) return FALSE;
  std::uint8_t fore = std::uint8_t(rop4 >> 16), back = std::uint8_t(rop4 >> 24);
  if (!hmask) return BitBlt(hdest, x, y, width, height, hsrc, xSrc, ySrc, (rop4 & 0x00FFFFFF));
  Bitmap* mask = LookupAs<Bitmap>(hmask);
  if (!mask || mask->Surf.Bpp != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DC* src = nullptr;
  if (UsesSource(fore) || UsesSource(back)) {
    src = DCArg(hsrc);
    if (!src) return FALSE;
  }
  ORV_GDI_LOG(dst, "MaskBlt", "%d,%d,%d,%d from %d,%d mask %d,%d rop4=%08X", x, y, width, height, xSrc, ySrc, xMask,
              yMask, static_cast<unsigned>(rop4));
  if (width <= 0 || height <= 0) return TRUE;
  Paint pf, pb;
  SetupPattern(*dst, fore, pf);
  SetupPattern(*dst, back, pb);
  Conversion conv;
  if (src) conv = MakeConversion(*dst, src->Surf, src->S.BkColor);
  TRect r{x + dst->OffX, y + dst->OffY, x + width + dst->OffX, y + height + dst->OffY};
  const Surface& ms = mask->Surf;
  // The part of the source that has pixels (the rest reads as 0), from a
  // copy when it lies on the destination's own surface.
  Snapshot snap;
  int snapX = 0, snapY = 0;
  TRect has{};
  const Surface* ss = nullptr;
  if (src) {
    const int sl = xSrc + src->OffX, st = ySrc + src->OffY;
    has = {std::max(sl, 0), std::max(st, 0), std::min(sl + width, src->Surf.Width),
           std::min(st + height, src->Surf.Height)};
    if (has.Left < has.Right && has.Top < has.Bottom)
      ss = &MaybeSnapshot(src->Surf, dst->Surf, has, snap, snapX, snapY);
  }
  thread_local std::vector<std::uint32_t> d, sv;
  ForClipRects(dst->Eff, r, [&](const TRect& part) {
    int n = part.Right - part.Left;
    d.resize(std::size_t(n));
    sv.assign(std::size_t(n), 0);
    for (int yy = part.Top; yy < part.Bottom; ++yy) {
      int ly = yy - r.Top;
      LoadSpan(dst->Surf, part.Left, yy, n, d.data());
      if (src) {
        int sy = ySrc + src->OffY + ly;
        for (int i = 0; i < n; ++i) {
          int sx = xSrc + src->OffX + (part.Left - r.Left) + i;
          sv[std::size_t(i)] = (ss && sx >= has.Left && sy >= has.Top && sx < has.Right && sy < has.Bottom)
                                   ? ReadPixel(*ss, sx - snapX, sy - snapY)
                                   : 0;
        }
        conv.Apply(sv.data(), n);
      }
      for (int i = 0; i < n; ++i) {
        int mx = xMask + (part.Left - r.Left) + i, my = yMask + ly;
        bool bit = mx >= 0 && my >= 0 && mx < ms.Width && my < ms.Height && (ReadPixel(ms, mx, my) & 1);
        int px = part.Left + i;
        d[std::size_t(i)] = bit ? ApplyRop3(fore, PatternPixel(pf, px, yy), sv[std::size_t(i)], d[std::size_t(i)])
                                : ApplyRop3(back, PatternPixel(pb, px, yy), sv[std::size_t(i)], d[std::size_t(i)]);
      }
      StoreSpan(dst->Surf, part.Left, yy, n, d.data());
    }
  });
  return TRUE;
}

BOOL TransparentBlt(HDC hdest, int x, int y, int width, int height, HDC hsrc, int xSrc, int ySrc, int wSrc, int hSrc,
                    UINT transparent) {
  DC *dst, *src;
  if (!OpenBlit(hdest, hsrc, true, dst, src, x, y, width, height, xSrc, ySrc, wSrc, hSrc)) return FALSE;
  if (width <= 0 || height <= 0 || wSrc <= 0 || hSrc <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ORV_GDI_LOG(dst, "TransparentBlt", "%d,%d,%d,%d from %d,%d,%d,%d key=%s", x, y, width, height, xSrc, ySrc, wSrc,
              hSrc, ColorText(transparent).c_str());
  TRect sr;
  if (!SourceRect(*src, xSrc, ySrc, wSrc, hSrc, sr)) return FALSE;
  std::uint32_t key = src->Surf.IsMono() ? ColorToMono(transparent) : ColorToPixel(transparent & 0xFFFFFF);
  Conversion conv = MakeConversion(*dst, src->Surf, src->S.BkColor);
  TRect r{x + dst->OffX, y + dst->OffY, x + width + dst->OffX, y + height + dst->OffY};
  MixNearest(*dst, r, src->Surf, sr, conv,
             [key](const std::uint32_t* raw, const std::uint32_t* converted, std::uint32_t* d, int n) {
               for (int i = 0; i < n; ++i)
                 if (((raw[i] ^ key) & 0x00FFFFFF) != 0) d[i] = converted[i];
             });
  return TRUE;
}

BOOL AlphaBlend(HDC hdest, int x, int y, int width, int height, HDC hsrc, int xSrc, int ySrc, int wSrc, int hSrc,
                BLENDFUNCTION bf) {
  DC *dst, *src;
  if (!OpenBlit(hdest, hsrc, true, dst, src, x, y, width, height, xSrc, ySrc, wSrc, hSrc)) return FALSE;
  if (bf.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || wSrc < 0 || hSrc < 0 ||
      ((bf.AlphaFormat & AC_SRC_ALPHA) && src->Surf.Bpp != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TRect sr;
  if (!SourceRect(*src, xSrc, ySrc, wSrc, hSrc, sr)) return FALSE;
  ORV_GDI_LOG(dst, "AlphaBlend", "%d,%d,%d,%d from %d,%d,%d,%d const=%d fmt=%d", x, y, width, height, xSrc, ySrc,
              wSrc, hSrc, bf.SourceConstantAlpha, bf.AlphaFormat);
  if (!width || !height || !wSrc || !hSrc) return TRUE;
  const unsigned ca = bf.SourceConstantAlpha;
  const bool perPixel = (bf.AlphaFormat & AC_SRC_ALPHA) != 0;
  Conversion conv = MakeConversion(*dst, src->Surf, src->S.BkColor);
  auto div255 = [](unsigned v) { return (v + 128 + ((v + 128) >> 8)) >> 8; };
  TRect r{x + dst->OffX, y + dst->OffY, x + width + dst->OffX, y + height + dst->OffY};
  MixNearest(*dst, r, src->Surf, sr, conv, [&](const std::uint32_t*, const std::uint32_t* s, std::uint32_t* d, int n) {
    for (int i = 0; i < n; ++i) {
      std::uint32_t sp = s[i], dp = d[i], out = 0;
      // Source channels scaled by the constant alpha; the destination
      // keeps what the (scaled) source alpha leaves.
      unsigned sa = perPixel ? div255((sp >> 24) * ca) : ca;
      for (int shift = 0; shift < 32; shift += 8) {
        unsigned sc = (sp >> shift) & 0xFF, dc = (dp >> shift) & 0xFF;
        if (shift == 24 && !perPixel) sc = 0xFF;
        unsigned v;
        if (perPixel) v = div255(sc * ca) + div255(dc * (255 - sa));
        else v = div255(sc * ca + dc * (255 - ca));
        out |= std::uint32_t(std::min(v, 255u)) << shift;
      }
      d[i] = out;
    }
  });
  return TRUE;
}

namespace {

// A stand-in DC over a packed DIB, for drawing it through the blit code.
struct DibSource {
  Surface S;
  std::vector<RGBQUAD> Palette;
};

bool ViewDib(const BITMAPINFO* info, const void* bits, UINT usage, LONG rows, DibSource& out) {
  // The caller's buffer has no size of its own: it must hold the rows asked for.
  if (usage != DIB_RGB_COLORS) return false;
  return DibView(info, bits, rows, out.S, out.Palette);
}

}  // namespace

int StretchDIBits(HDC hdest, int x, int y, int width, int height, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  ClampCoords(x, y, width, height, xSrc, ySrc, wSrc, hSrc);
  DC* dst = DCArg(hdest);
  if (!dst) return 0;
  DibSource dib;
  if (!info || info->bmiHeader.biHeight == 0 || info->bmiHeader.biHeight == std::numeric_limits<LONG>::min()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  LONG rows = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
  if (!ViewDib(info, bits, usage, rows, dib)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ORV_GDI_LOG(dst, "StretchDIBits", "%d,%d,%d,%d from %d,%d,%d,%d %dx%dx%d rop=%06X", x, y, width, height, xSrc, ySrc,
              wSrc, hSrc, dib.S.Width, dib.S.Height, dib.S.Bpp, static_cast<unsigned>(rop));
  if (dst->Meta) return dst->Meta->DibBlt(*dst, x, y, width, height, xSrc, ySrc, wSrc, hSrc, bits, info, rop);
  if (!width || !height || !wSrc || !hSrc) return 0;
  // A bottom-up DIB counts source rows from its bottom edge.
  if (info->bmiHeader.biHeight > 0) {
    bool f1, f2;
    TRect s = Normalise(xSrc, ySrc, wSrc, hSrc, f1, f2);
    int top = dib.S.Height - s.Bottom;
    xSrc = f1 ? s.Right : s.Left;
    ySrc = f2 ? top + (s.Bottom - s.Top) : top;
  }
  StretchJob j;
  bool fdx, fdy, fsx, fsy;
  j.Dst = dst;
  j.Src = &dib.S;
  TRect d = Normalise(x, y, width, height, fdx, fdy);
  TRect sr = Normalise(xSrc, ySrc, wSrc, hSrc, fsx, fsy);
  j.DstRect = {d.Left + dst->OffX, d.Top + dst->OffY, d.Right + dst->OffX, d.Bottom + dst->OffY};
  TRect clipped{std::max(sr.Left, 0), std::max(sr.Top, 0), std::min(sr.Right, dib.S.Width),
                std::min(sr.Bottom, dib.S.Height)};
  if (clipped.Left >= clipped.Right || clipped.Top >= clipped.Bottom) return 0;
  j.SrcRect = clipped;
  j.FlipX = fdx != fsx;
  j.FlipY = fdy != fsy;
  j.Average = dst->S.StretchMode == HALFTONE && !dst->Surf.IsMono();
  j.Conv = MakeConversion(*dst, dib.S, dst->S.BkColor);
  std::uint8_t code = RopByte(rop);
  SetupPattern(*dst, code, j.Pat);
  RunStretch(j);
  return rows;
}

int SetDIBitsToDevice(HDC hdest, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  ClampCoords(x, y, xSrc, ySrc);
  DC* dst = DCArg(hdest);
  if (!dst) return 0;
  if (!info || info->bmiHeader.biHeight == 0 || info->bmiHeader.biHeight == std::numeric_limits<LONG>::min() ||
      lines == 0 || lines > 0x7FFFFFFF || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DibSource dib;
  if (!ViewDib(info, bits, usage, LONG(lines), dib)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  width = std::min<DWORD>(width, kCoordLimit);
  height = std::min<DWORD>(height, kCoordLimit);
  ORV_GDI_LOG(dst, "SetDIBitsToDevice", "%d,%d,%u,%u from %d,%d scans %u+%u", x, y, width, height, xSrc, ySrc,
              startScan, lines);
  bool topDown = info->bmiHeader.biHeight < 0;
  Paint p;
  SolidPaint(0, 0xCC, p);
  Conversion conv = MakeConversion(*dst, dib.S, dst->S.BkColor);
  std::int64_t first = std::max<std::int64_t>(startScan, ySrc);
  std::int64_t last = std::min<std::int64_t>(std::int64_t(startScan) + lines, std::int64_t(ySrc) + height);
  for (std::int64_t scan = first; scan < last; ++scan) {
    // Scan lines count from the bottom of a bottom-up DIB, and the source
    // rectangle's origin is its lower-left corner.
    int viewRow = topDown ? int(scan - startScan) : int(lines - 1 - (scan - startScan));
    std::int64_t destRow = topDown ? y + (scan - ySrc) : y + (std::int64_t(ySrc) + height - 1 - scan);
    int sy = int(destRow) + dst->OffY;
    int x0 = x + dst->OffX, x1 = x0 + int(width);
    // Columns outside the DIB are left alone.
    int colStart = std::max(0, -xSrc), colEnd = std::min<int>(int(width), dib.S.Width - xSrc);
    if (colStart >= colEnd) continue;
    std::uint32_t* buf = RowBuffer(colEnd - colStart);
    LoadSpan(dib.S, xSrc + colStart, viewRow, colEnd - colStart, buf);
    conv.Apply(buf, colEnd - colStart);
    (void)x1;
    ForClipSpans(dst->Eff, sy, x0 + colStart, x0 + colEnd,
                 [&](int a, int b) { PaintSpan(dst->Surf, sy, a, b, p, buf + (a - x0 - colStart)); });
  }
  return int(last > first ? last - first : 0);
}

}  // namespace win
