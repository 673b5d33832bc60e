// Process-wide drawing resources (the brush cache, system and half-tone
// brushes, the bound alpha-blend function) and the free drawing routines.
#include <algorithm>
#include <cmath>
#include <memory>

#include "library/foundation/cxGraphics.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/rtl/Owned.h"
#include "platform/forms/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Cursors.h"
#include "platform/win/Metrics.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowDC.h"

ORV_REGISTER(TcxBrushCache)

using namespace win;

namespace {


bool IsRGB(TColor AColor) { return (static_cast<std::uint32_t>(AColor) & 0xFF000000u) == 0; }

// A system colour the brush table holds: 0xFF0000nn with nn <= 30.
bool IsSystemColorIndex(TColor AColor, Integer& AIndex) {
  const auto value = static_cast<std::uint32_t>(AColor);
  if ((value & 0xFFFFFF00u) != 0xFF000000u || (value & 0xFF) > 30) return false;
  AIndex = static_cast<Integer>(value & 0xFF);
  return true;
}

// Process-wide resources, made on first use and freed by cxGraphicsFinalize.
struct GraphicsResources {
  HBRUSH HalfTone = nullptr;
  std::vector<TBrush*> SystemBrushes;
  HMODULE AlphaModule = nullptr;
  TcxAlphaBlendFunc AlphaBlend = nullptr;
  bool AlphaBound = false;
};

std::unique_ptr<GraphicsResources>& ResourcesSlot() {
  static std::unique_ptr<GraphicsResources> resources;
  return resources;
}

GraphicsResources& Resources() {
  auto& slot = ResourcesSlot();
  if (!slot) slot = std::make_unique<GraphicsResources>();
  return *slot;
}

Byte ClampByte(Integer v) { return static_cast<Byte>(std::clamp(v, 0, 255)); }

}  // namespace

// ---------------------------------------------------------------------------
// TcxBrushCache

TcxBrushCache::~TcxBrushCache() {
  for (Item& item : FItems) item.Brush->Free();
}

Integer TcxBrushCache::FindNearestItem(TColor AColor) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), AColor,
                             [](const Item& item, TColor color) { return item.Color < color; });
  return static_cast<Integer>(it - FItems.begin());
}

bool TcxBrushCache::IndexOf(TColor AColor, Integer& AIndex) const {
  AIndex = -1;
  if (!IsRGB(AColor)) return false;
  Integer index = FindNearestItem(AColor);
  if (index < GetCount() && FItems[index].Color == AColor) {
    AIndex = index;
    return true;
  }
  return false;
}

TBrush* TcxBrushCache::Add(TColor AColor) {
  Integer systemIndex;
  if (IsSystemColorIndex(AColor, systemIndex)) return cxSystemBrush(systemIndex);
  if (!IsRGB(AColor)) return nullptr;
  Integer index = FindNearestItem(AColor);
  if (index < GetCount() && FItems[index].Color == AColor) {
    if (FItems[index].RefCount == 0) --FDeletedCount;
  } else {
    auto* brush = New<TBrush>();
    brush->SetColor(AColor);
    FItems.insert(FItems.begin() + index, Item{brush, AColor, 0});
  }
  ++FItems[index].RefCount;
  return FItems[index].Brush;
}

void TcxBrushCache::SetBrushColor(TBrush*& ABrush, TColor AColor) {
  ReleaseBrush(ABrush);
  ABrush = Add(AColor);
}

void TcxBrushCache::ReleaseBrush(TBrush*& ABrush) {
  TBrush* brush = ABrush;
  ABrush = nullptr;
  if (!brush || !IsRGB(brush->GetColor())) return;
  Integer index;
  if (IndexOf(brush->GetColor(), index) && FItems[index].Brush == brush) Release(index);
}

void TcxBrushCache::Release(Integer AIndex) {
  Item& item = FItems.at(AIndex);
  if (item.RefCount <= 0) throw EBrushCache("Release unused brush");
  if (--item.RefCount == 0) Delete(AIndex);
}

void TcxBrushCache::Delete(Integer AIndex) {
  if (FLockCount > 0) {
    ++FDeletedCount;
    return;
  }
  FItems[AIndex].Brush->Free();
  FItems.erase(FItems.begin() + AIndex);
}

void TcxBrushCache::EndUpdate() {
  if (FLockCount == 0) return;
  if (--FLockCount == 0 && FDeletedCount > 0) Pack();
}

void TcxBrushCache::Pack() {
  for (Integer i = GetCount() - 1; i >= 0 && FDeletedCount > 0; --i)
    if (FItems[i].RefCount <= 0) {
      FItems[i].Brush->Free();
      FItems.erase(FItems.begin() + i);
      --FDeletedCount;
    }
  FDeletedCount = 0;
}

void TcxBrushCache::Recreate() {
  for (Item& item : FItems) {
    // Another colour first, so the brush lets its handle go and makes a
    // fresh one for its own colour.
    item.Brush->SetColor(item.Color ^ 1);
    item.Brush->SetColor(item.Color);
  }
}

// ---------------------------------------------------------------------------
// Process-wide brushes and the alpha-blend binding.

TBrush* cxSystemBrush(Integer AIndex) {
  if (AIndex < 0 || AIndex > 30) return nullptr;
  auto& brushes = Resources().SystemBrushes;
  if (brushes.empty())
    for (Integer i = 0; i <= 30; ++i) {
      auto* brush = New<TBrush>();
      brush->SetColor(static_cast<TColor>(0xFF000000u | static_cast<std::uint32_t>(i)));
      brushes.push_back(brush);
    }
  return brushes[AIndex];
}

HBRUSH cxHalfToneBrush() {
  auto& resources = Resources();
  if (!resources.HalfTone) {
    const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    resources.HalfTone = CreatePatternBrush(pattern);
    DeleteObject(pattern);
  }
  return resources.HalfTone;
}

void cxBindAlphaBlend() {
  auto& resources = Resources();
  if (resources.AlphaModule) FreeLibrary(resources.AlphaModule);
  resources.AlphaModule = LoadLibraryA("msimg32.dll");
  resources.AlphaBlend = resources.AlphaModule
                             ? reinterpret_cast<TcxAlphaBlendFunc>(GetProcAddress(resources.AlphaModule, "AlphaBlend"))
                             : nullptr;
  resources.AlphaBound = true;
}

TcxAlphaBlendFunc cxAlphaBlendFunc() {
  if (!Resources().AlphaBound) cxBindAlphaBlend();
  return Resources().AlphaBlend;
}

void cxGraphicsFinalize() {
  cxFreeScreenCanvas();
  auto& slot = ResourcesSlot();
  if (!slot) return;
  if (slot->AlphaModule) FreeLibrary(slot->AlphaModule);
  for (TBrush* brush : slot->SystemBrushes) brush->Free();
  if (slot->HalfTone) DeleteObject(slot->HalfTone);
  slot.reset();
}

// ---------------------------------------------------------------------------
// Colours.

TColor GetRealColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  TColor result = static_cast<TColor>(GetNearestColor(dc, static_cast<COLORREF>(ColorToRGB(AColor))));
  ReleaseDC(nullptr, dc);
  return result;
}

TColor GetLightColor(ShortInt ABtnFaceColorPart, ShortInt AHighlightColorPart, ShortInt AWindowColorPart) {
  const TColor face = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  if (face == clBlack || face == clWhite) return highlight;
  TColor result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    auto channel = [shift](TColor c) { return static_cast<Integer>((c >> shift) & 0xFF); };
    Integer value = MulDiv(channel(face), ABtnFaceColorPart, 100) + MulDiv(channel(highlight), AHighlightColorPart, 100) +
                    MulDiv(channel(window), AWindowColorPart, 100);
    result |= static_cast<TColor>(ClampByte(value)) << shift;
  }
  return result;
}

TColor GetLightBtnFaceColor() {
  const TColor face = ColorToRGB(clBtnFace);
  TColor result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    Integer c = (face >> shift) & 0xFF;
    result |= static_cast<TColor>(ClampByte(c + MulDiv(255 - c, 16, 100))) << shift;
  }
  return GetRealColor(result);
}

TColor GetLightSelColor() { return GetRealColor(GetLightColor(-2, 30, 72)); }
TColor GetLightDownedColor() { return GetRealColor(GetLightColor(11, 9, 73)); }
TColor GetLightDownedSelColor() { return GetRealColor(GetLightColor(14, 44, 40)); }

void ExtendRect(TRect& R, const TRect& AExtension) { R = cxRectInflate(R, AExtension); }

void cxApplyViewParams(TcxCanvas* ACanvas, const TcxViewParams& AViewParams) {
  if (AViewParams.Font) ACanvas->GetFont()->Assign(AViewParams.Font);
  ACanvas->GetFont()->SetColor(AViewParams.TextColor);
  ACanvas->SetBrushColor(AViewParams.Color);
}

// ---------------------------------------------------------------------------
// Bitmaps.

TBitmap* cxCreateBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat) {
  auto* bitmap = New<TBitmap>();
  bitmap->SetPixelFormat(AFormat);
  bitmap->SetWidth(AWidth);
  bitmap->SetHeight(AHeight);
  return bitmap;
}

TBitmap* cxCreateBitmap(const TSize& ASize, TPixelFormat AFormat) { return cxCreateBitmap(ASize.cx, ASize.cy, AFormat); }

TBitmap* cxCreateTrueColorBitmap(Integer AWidth, Integer AHeight) {
  auto* bitmap = New<TBitmap>();
  bitmap->SetHandle(cxCreateTrueColorBitmapHandle(AWidth, AHeight));
  return bitmap;
}

TBitmap* cxCreateTrueColorBitmap(const TSize& ASize) { return cxCreateTrueColorBitmap(ASize.cx, ASize.cy); }

HBITMAP cxCreateTrueColorBitmapHandle(Integer AWidth, Integer AHeight, Integer ABitCount) {
  return CreateBitmap(AWidth, AHeight, 1, static_cast<UINT>(ABitCount), nullptr);
}

void cxCopyImage(TCanvas* ASource, TCanvas* ADest, const TPoint& ASrcOffset, const TPoint& ADestOffset,
                 const TRect& R) {
  ADest->CopyRect(cxRectOffset(R, ADestOffset), ASource, cxRectOffset(R, ASrcOffset));
}

void cxCopyImage(TBitmap* ASource, TBitmap* ADest, const TPoint& ASrcOffset, const TPoint& ADestOffset,
                 const TRect& R) {
  cxCopyImage(ASource->GetCanvas(), ADest->GetCanvas(), ASrcOffset, ADestOffset, R);
}

// ---------------------------------------------------------------------------
// Drawing helpers.

void cxDrawArrows(TCanvas* ACanvas, const TRect& R, TcxBorder ASide, TColor AColor, TColor APenColor) {
  static constexpr TPoint sideFirst[7] = {{0, -1}, {-5, -6}, {-2, -6}, {-2, -9}, {2, -9}, {2, -6}, {5, -6}};
  static constexpr TPoint sideSecond[7] = {{0, 0}, {5, 5}, {2, 5}, {2, 8}, {-2, 8}, {-2, 5}, {-5, 5}};
  static constexpr TPoint endFirst[7] = {{-1, 0}, {-6, -5}, {-6, -2}, {-9, -2}, {-9, 2}, {-6, 2}, {-6, 5}};
  static constexpr TPoint endSecond[7] = {{0, 0}, {5, 5}, {5, 2}, {8, 2}, {8, -2}, {5, -2}, {5, -5}};
  TPoint anchors[2];
  switch (ASide) {
    case bLeft: anchors[0] = {R.Left, R.Top}; anchors[1] = {R.Left, R.Bottom}; break;
    case bTop: anchors[0] = {R.Left, R.Top}; anchors[1] = {R.Right, R.Top}; break;
    case bRight: anchors[0] = {R.Right, R.Top}; anchors[1] = {R.Right, R.Bottom}; break;
    case bBottom: anchors[0] = {R.Left, R.Bottom}; anchors[1] = {R.Right, R.Bottom}; break;
  }
  const bool vertical = ASide == bLeft || ASide == bRight;
  const TPoint* shapes[2] = {vertical ? sideFirst : endFirst, vertical ? sideSecond : endSecond};
  ACanvas->GetBrush()->SetColor(AColor);
  ACanvas->GetPen()->SetColor(APenColor == clDefault ? (ColorToRGB(AColor) ^ 0xFFFFFF) : APenColor);
  for (int i = 0; i < 2; ++i) {
    TPoint points[7];
    for (int p = 0; p < 7; ++p) points[p] = cxPointOffset(anchors[i], shapes[i][p]);
    ACanvas->Polygon(points);
  }
}

void cxFillHalfToneRect(TCanvas* ACanvas, const TRect& R, TColor AColor1, TColor AColor2) {
  HDC dc = ACanvas->GetHandle();
  COLORREF oldBk = SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(AColor1)));
  COLORREF oldText = SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(AColor2)));
  RECT r = R;
  win::FillRect(dc, &r, cxHalfToneBrush());
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

void cxSetCanvasOrg(TCanvas* ACanvas, TRect& R) {
  POINT old{};
  SetWindowOrgEx(ACanvas->GetHandle(), R.Left, R.Top, &old);
  R.Left = old.X;
  R.Top = old.Y;
}

TSize cxTextExtent(TFont* AFont, const AnsiString& S, Integer AFontSize) {
  TCanvas* canvas = cxScreenCanvas()->GetCanvas();
  canvas->GetFont()->Assign(AFont);
  if (AFontSize != 0) canvas->GetFont()->SetSize(AFontSize);
  return canvas->TextExtent(S);
}

Integer cxTextHeight(TFont* AFont, const AnsiString& S, Integer AFontSize) { return cxTextExtent(AFont, S, AFontSize).cy; }
Integer cxTextWidth(TFont* AFont, const AnsiString& S, Integer AFontSize) { return cxTextExtent(AFont, S, AFontSize).cx; }

Integer cxDrawText(HDC ADC, const AnsiString& AText, TRect& R, UINT AFormat, Integer ACharCount) {
  RECT r = R;
  const int count = ACharCount < 0 ? static_cast<int>(AText.size()) : std::min<int>(ACharCount, AText.size());
  Integer result = DrawTextA(ADC, AText.data(), count, &r, AFormat);
  R = r;
  return result;
}

TSize cxTextSize(HDC ADC, const AnsiString& AText) {
  TRect R;
  cxGetTextRect(ADC, AText, 1, R);
  return cxRectSize(R);
}

void cxGetTextRect(HDC ADC, const AnsiString& AText, Integer ARowCount, TRect& R, bool AForceHeight) {
  R = cxNullRect;
  if (ARowCount <= 0) return;
  if (ARowCount == 1) {
    cxDrawText(ADC, AText, R, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  const UINT format = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX;
  R.Right = 1;
  cxDrawText(ADC, AText, R, format);
  TRect line;
  cxDrawText(ADC, "Wg", line, DT_CALCRECT | DT_SINGLELINE);
  const Integer wanted = ARowCount * cxRectHeight(line);
  // Widening by one pixel at a time finds the narrowest width; the text's
  // single-line width bounds the search.
  TRect single;
  cxDrawText(ADC, AText, single, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  Integer width = cxRectWidth(R);
  while (cxRectHeight(R) > wanted && width < cxRectWidth(single)) {
    ++width;
    R = {0, 0, width, 0};
    cxDrawText(ADC, AText, R, format);
  }
  if (AForceHeight && cxRectHeight(R) < wanted) R.Bottom = R.Top + wanted;
}

void cxGetTextRect(TFont* AFont, const AnsiString& AText, Integer ARowCount, TRect& R, bool AForceHeight) {
  TCanvas* canvas = cxScreenCanvas()->GetCanvas();
  canvas->GetFont()->Assign(AFont);
  cxPrepareCanvas(canvas);
  cxGetTextRect(canvas->GetHandle(), AText, ARowCount, R, AForceHeight);
}

bool cxGetWritingDirection(Byte ACharset, const AnsiString& AText) {
  constexpr Byte DEFAULT_CHARSET_ = 1, ANSI_CHARSET_ = 0;
  if (AText.size() == 1 && static_cast<unsigned char>(AText[0]) < 128) return false;
  const Byte charset = ACharset == DEFAULT_CHARSET_ ? ANSI_CHARSET_ : ACharset;
  return charset == 134 || charset == 136 || charset == 178;
}

TSize cxGetCursorSize() {
  TSize size{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
  ICONINFO info{};
  if (!GetIconInfo(GetCursor(), &info)) return size;
  if (!info.hbmColor && info.hbmMask) {
    // A monochrome cursor: the mask holds the AND half over the XOR half;
    // the visible height ends at the last row that is not fully
    // transparent (AND bits all set, XOR bits all clear).
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof(bm), &bm);
    const Integer height = bm.bmHeight / 2, width = bm.bmWidth;
    TOwned<TBitmap> mask(New<TBitmap>());
    mask->SetHandle(info.hbmMask);  // the bitmap owns the mask from here
    info.hbmMask = nullptr;
    mask->SetPixelFormat(pf32bit);
    Integer last = -1;
    for (Integer y = 0; y < height; ++y) {
      auto* andRow = static_cast<const std::uint32_t*>(mask->GetScanLine(y));
      auto* xorRow = static_cast<const std::uint32_t*>(mask->GetScanLine(y + height));
      for (Integer x = 0; x < width; ++x)
        if ((andRow[x] & 0xFFFFFF) != 0xFFFFFF || (xorRow[x] & 0xFFFFFF) != 0) {
          last = y;
          break;
        }
    }
    size.cy = last + 1 - static_cast<Integer>(info.yHotspot);
  }
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return size;
}

// ---------------------------------------------------------------------------
// Blending.

void cxAlphaBlend(TBitmap* ABitmap, const TRect& R, TColor AColor, Byte AAlpha) {
  ABitmap->SetPixelFormat(pf32bit);
  const double a = AAlpha / 255.0;
  const TColor rgb = ColorToRGB(AColor);
  const Byte channels[4] = {static_cast<Byte>((rgb >> 16) & 0xFF), static_cast<Byte>((rgb >> 8) & 0xFF),
                            static_cast<Byte>(rgb & 0xFF), 0};
  Byte scaled[4];
  for (int i = 0; i < 4; ++i) scaled[i] = static_cast<Byte>(std::lround(channels[i] * a));
  POINT org{};
  GetWindowOrgEx(ABitmap->GetCanvas()->GetHandle(), &org);
  // Half-open on both axes: the last row and byte of R are inside it, the
  // ones at R.Bottom and 4 * R.Right are not. Measured in 64 bits, as R may
  // reach the ends of Integer.
  const Integer W = ABitmap->GetWidth(), H = ABitmap->GetHeight();
  const Integer top = std::clamp(ClampToInteger(Int64(R.Top) - org.Y), 0, H);
  const Integer bottom = std::clamp(ClampToInteger(Int64(R.Bottom) - org.Y), 0, H);
  const Integer first = 4 * std::clamp(ClampToInteger(Int64(R.Left) - org.X), 0, W);
  const Integer last = 4 * std::clamp(ClampToInteger(Int64(R.Right) - org.X), 0, W);
  for (Integer y = top; y < bottom; ++y) {
    auto* row = static_cast<Byte*>(ABitmap->GetScanLine(y));
    for (Integer i = first; i < last; ++i) row[i] = static_cast<Byte>(std::lround(row[i] * (1 - a)) + scaled[i % 4]);
  }
  ABitmap->SetModified(true);
}

void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ABkBitmap, TBitmap* ASrcBitmap, Byte AAlpha) {
  ADestBitmap->Assign(ABkBitmap);
  const Integer W = ADestBitmap->GetWidth(), H = ADestBitmap->GetHeight();
  if (TcxAlphaBlendFunc blend = cxAlphaBlendFunc()) {
    BLENDFUNCTION function{AC_SRC_OVER, 0, AAlpha, 0};
    if (blend(ADestBitmap->GetCanvas()->GetHandle(), 0, 0, W, H, ASrcBitmap->GetCanvas()->GetHandle(), 0, 0, W, H,
              function))
      return;
  }
  HDC screen = GetDC(nullptr);
  const int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  if (depth < 16) {
    ADestBitmap->Assign(ASrcBitmap);
    return;
  }
  const double a = AAlpha / 255.0;
  ADestBitmap->SetPixelFormat(pf24bit);
  TOwned<TBitmap> source(New<TBitmap>());
  source->Assign(ASrcBitmap);
  source->SetPixelFormat(pf24bit);
  for (Integer y = 0; y < std::min(H, source->GetHeight()); ++y) {
    auto* d = static_cast<Byte*>(ADestBitmap->GetScanLine(y));
    auto* s = static_cast<const Byte*>(source->GetScanLine(y));
    for (Integer i = 0; i < 3 * std::min(W, source->GetWidth()); ++i)
      d[i] = static_cast<Byte>(std::lround(s[i] * a) + std::lround(d[i] * (1 - a)));
  }
  ADestBitmap->SetModified(true);
}

void cxBlendFunction(const RGBQUAD& ASource, RGBQUAD& ADest, Byte AAlpha) {
  const double a = AAlpha / 255.0;
  const double keep = 1 - ASource.rgbReserved * a / 255;
  auto blend = [&](Byte s, Byte d) { return ClampByte(static_cast<Integer>(std::lround(s * a + d * keep))); };
  ADest.rgbBlue = blend(ASource.rgbBlue, ADest.rgbBlue);
  ADest.rgbGreen = blend(ASource.rgbGreen, ADest.rgbGreen);
  ADest.rgbRed = blend(ASource.rgbRed, ADest.rgbRed);
  ADest.rgbReserved = blend(ASource.rgbReserved, ADest.rgbReserved);
}

void cxAlphaBlend(HDC ADestDC, TBitmap* ASrcBitmap, const TRect& ADestRect, const TRect& ASrcRect, Byte AAlpha) {
  const Integer DW = cxRectWidth(ADestRect), DH = cxRectHeight(ADestRect);
  if (DW <= 0 || DH <= 0) return;
  if (TcxAlphaBlendFunc blend = cxAlphaBlendFunc()) {
    BLENDFUNCTION function{AC_SRC_OVER, 0, AAlpha, AC_SRC_ALPHA};
    if (blend(ADestDC, ADestRect.Left, ADestRect.Top, DW, DH, ASrcBitmap->GetCanvas()->GetHandle(), ASrcRect.Left,
              ASrcRect.Top, cxRectWidth(ASrcRect), cxRectHeight(ASrcRect), function))
      return;
  }
  // Without the platform blend: stretch the source into a 32-bit buffer,
  // read the destination into another, combine pixel by pixel.
  TOwned<TBitmap> source(cxCreateBitmap(DW, DH, pf32bit));
  StretchBlt(source->GetCanvas()->GetHandle(), 0, 0, DW, DH, ASrcBitmap->GetCanvas()->GetHandle(), ASrcRect.Left,
             ASrcRect.Top, cxRectWidth(ASrcRect), cxRectHeight(ASrcRect), SRCCOPY);
  TOwned<TBitmap> dest(cxCreateBitmap(DW, DH, pf32bit));
  BitBlt(dest->GetCanvas()->GetHandle(), 0, 0, DW, DH, ADestDC, ADestRect.Left, ADestRect.Top, SRCCOPY);
  for (Integer y = 0; y < DH; ++y) {
    auto* s = static_cast<const RGBQUAD*>(source->GetScanLine(y));
    auto* d = static_cast<RGBQUAD*>(dest->GetScanLine(y));
    for (Integer x = 0; x < DW; ++x) cxBlendFunction(s[x], d[x], AAlpha);
  }
  dest->SetModified(true);
  BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, DW, DH, dest->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

void cxAlphaBlend(TBitmap* ADestBitmap, TBitmap* ASrcBitmap, const TRect& ADestRect, const TRect& ASrcRect,
                  Byte AAlpha) {
  cxAlphaBlend(ADestBitmap->GetCanvas()->GetHandle(), ASrcBitmap, ADestRect, ASrcRect, AAlpha);
  ADestBitmap->SetModified(true);
}

// ---------------------------------------------------------------------------
// Smooth resizing.

namespace {

double Sinc(double t) {
  if (t == 0) return 1;
  t *= M_PI;
  return std::sin(t) / t;
}

double Lanczos3(double t) { return std::fabs(t) < 3 ? Sinc(t) * Sinc(t / 3) : 0; }

struct Contributor {
  Integer Index;
  Integer Weight;
};

// The weighted source indices of every destination index. Indices outside
// the source are mirrored back into it and then clamped, so a source
// shorter than the filter's support never reads past its ends. The first
// and last indices of both sides meet; where one side is a single pixel
// there is no such span, and a single destination pixel samples the
// source's middle.
std::vector<std::vector<Contributor>> Contributions(Integer ASource, Integer ADest) {
  const bool single = ASource == 1 || ADest == 1;
  const double scale = single ? static_cast<double>(ADest) / ASource : static_cast<double>(ADest - 1) / (ASource - 1);
  const double f = scale < 1 ? 1 / scale : 1;
  const double support = 3 * f;
  std::vector<std::vector<Contributor>> result(ADest);
  for (Integer i = 0; i < ADest; ++i) {
    const double center = ADest == 1 ? (ASource - 1) / 2.0 : i / scale;
    for (Integer j = static_cast<Integer>(std::floor(center - support));
         j <= static_cast<Integer>(std::ceil(center + support)); ++j) {
      const Integer weight = static_cast<Integer>(Lanczos3((center - j) / f) / f * 256);
      if (weight == 0) continue;
      Integer index = j < 0 ? -j : j >= ASource ? 2 * ASource - j - 1 : j;
      index = std::clamp(index, 0, ASource - 1);
      result[i].push_back({index, weight});
    }
    // Each truncated weight loses a little; over the wide span of a strong
    // reduction that darkens the picture. The loss goes to the heaviest
    // weight, so the weights sum to 256 and a plain colour stays itself.
    if (!result[i].empty()) {
      Integer sum = 0;
      for (const Contributor& c : result[i]) sum += c.Weight;
      std::max_element(result[i].begin(), result[i].end(), [](const Contributor& a, const Contributor& b) {
        return a.Weight < b.Weight;
      })->Weight += 256 - sum;
    }
  }
  return result;
}

}  // namespace

void cxSmoothResizeBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceFilter) {
  if (!ASource || !ADest || ASource->GetWidth() == 0 || ASource->GetHeight() == 0 || ADest->GetWidth() == 0 ||
      ADest->GetHeight() == 0)
    return;
  if (!AForceFilter) {
    HDC dc = ADest->GetCanvas()->GetHandle();
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, ADest->GetWidth(), ADest->GetHeight(), ASource->GetCanvas()->GetHandle(), 0, 0,
               ASource->GetWidth(), ASource->GetHeight(), SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    ADest->SetModified(true);
    return;
  }
  TOwned<TBitmap> source(New<TBitmap>());
  source->Assign(ASource);
  source->SetPixelFormat(pf32bit);
  ADest->SetPixelFormat(pf32bit);
  const Integer SW = source->GetWidth(), SH = source->GetHeight();
  const Integer DW = ADest->GetWidth(), DH = ADest->GetHeight();
  auto pixel = [](Integer sum) { return ClampByte(sum >> 8); };

  // Horizontal pass into a DW x SH buffer, then the vertical pass.
  std::vector<std::uint32_t> middle(static_cast<size_t>(DW) * SH);
  const auto horizontal = Contributions(SW, DW);
  for (Integer y = 0; y < SH; ++y) {
    auto* row = static_cast<const Byte*>(source->GetScanLine(y));
    for (Integer x = 0; x < DW; ++x) {
      Integer sums[4] = {};
      for (const Contributor& c : horizontal[x])
        for (int ch = 0; ch < 4; ++ch) sums[ch] += row[4 * c.Index + ch] * c.Weight;
      std::uint32_t value = 0;
      for (int ch = 0; ch < 4; ++ch) value |= static_cast<std::uint32_t>(pixel(sums[ch])) << (8 * ch);
      middle[static_cast<size_t>(y) * DW + x] = value;
    }
  }
  const auto vertical = Contributions(SH, DH);
  for (Integer y = 0; y < DH; ++y) {
    auto* out = static_cast<Byte*>(ADest->GetScanLine(y));
    for (Integer x = 0; x < DW; ++x) {
      Integer sums[4] = {};
      for (const Contributor& c : vertical[y]) {
        const std::uint32_t value = middle[static_cast<size_t>(c.Index) * DW + x];
        for (int ch = 0; ch < 4; ++ch) sums[ch] += static_cast<Integer>((value >> (8 * ch)) & 0xFF) * c.Weight;
      }
      for (int ch = 0; ch < 4; ++ch) out[4 * x + ch] = pixel(sums[ch]);
    }
  }
  ADest->SetModified(true);
}

// ---------------------------------------------------------------------------
// Transparent controls.

void cxDrawTransparentControlBackground(TWinControl* AControl, TCanvas* ACanvas, const TRect& R,
                                        bool APaintParentWithChildren) {
  TWinControl* parent = AControl ? AControl->GetParent() : nullptr;
  if (!parent || !parent->HandleAllocated()) return;
  HDC dc = ACanvas->GetHandle();
  const TRect inParent = cxRectOffset(R, AControl->GetLeft(), AControl->GetTop());
  const int saved = SaveDC(dc);
  POINT org{};
  OffsetWindowOrgEx(dc, AControl->GetLeft(), AControl->GetTop(), &org);
  IntersectClipRect(dc, inParent.Left, inParent.Top, inParent.Right, inParent.Bottom);
  RECT clip{};
  if (GetClipBox(dc, &clip) != NULLREGION) {
    SendMessageA(parent->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    if (APaintParentWithChildren)
      for (Integer i = 0; i < parent->GetControlCount(); ++i) {
        auto* sibling = DynamicCast<TWinControl>(parent->GetControl(i));
        if (sibling == AControl) break;
        if (!sibling || !sibling->GetVisible() || !sibling->HandleAllocated()) continue;
        // One that lies wholly outside the area would be drawn and clipped
        // away whole: a row of buttons would paint every one before it.
        const TRect bounds = sibling->GetBoundsRect();
        if (!RectVisible(dc, &bounds)) continue;
        const int inner = SaveDC(dc);
        OffsetWindowOrgEx(dc, -sibling->GetLeft(), -sibling->GetTop(), nullptr);
        SendMessageA(sibling->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageA(sibling->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, inner);
      }
  }
  RestoreDC(dc, saved);
}

void cxDrawThemeParentBackground(TWinControl* AControl, TCanvas* ACanvas, const TRect& R) {
  TWinControl* parent = AControl ? AControl->GetParent() : nullptr;
  if (!parent) return;
  if (parent->GetDoubleBuffered()) {
    cxDrawTransparentControlBackground(AControl, ACanvas, R);
    return;
  }
  ::DrawThemeParentBackground(AControl->GetHandle(), ACanvas->GetHandle(), &R);
}

ORV_REGISTER(EBrushCache)
