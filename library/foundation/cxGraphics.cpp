#include "library/foundation/cxGraphics.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "library/foundation/cxPaintBounds.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Owned.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/WindowDC.h"

ORV_REGISTER(TcxRegion)
ORV_REGISTER(TcxBitmap)
ORV_REGISTER(TcxCanvas)
ORV_REGISTER(TcxScreenCanvas)

using namespace win;

win::UINT cxFlagsToDTFlags(Integer AFlags) {
  UINT result = 0;
  if (AFlags & cxAlignRight) result |= DT_RIGHT;
  if (AFlags & cxAlignHCenter) result |= DT_CENTER;
  if (AFlags & cxAlignBottom) result |= DT_BOTTOM;
  if (AFlags & cxAlignVCenter) result |= DT_VCENTER;
  if (AFlags & cxSingleLine) result |= DT_SINGLELINE;
  if (AFlags & cxDontClip) result |= DT_NOCLIP;
  if (AFlags & cxExpandTabs) result |= DT_EXPANDTABS;
  if (!(AFlags & cxShowPrefix)) result |= DT_NOPREFIX;
  if (AFlags & cxWordBreak) {
    result |= DT_WORDBREAK;
    if (!(AFlags & cxDontBreakChars)) result |= DT_EDITCONTROL;
  }
  if (AFlags & cxShowEndEllipsis) result |= DT_END_ELLIPSIS;
  if (AFlags & cxDontPrint) result |= DT_CALCRECT;
  if (AFlags & cxShowPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

void cxPrepareCanvas(TCanvas* ACanvas) {
  // The canvas keeps tool selection to itself; reach it the way a
  // descendant would.
  struct Access : TCanvas {
    static void Prepare(TCanvas* ACanvas) { (ACanvas->*(&Access::RequiredState))(csAllValid); }
  };
  Access::Prepare(ACanvas);
}

// ---------------------------------------------------------------------------
// TcxRegion

namespace {

int CombineMode(TcxRegionOperation AOperation) {
  switch (AOperation) {
    case roSet: return RGN_COPY;
    case roAdd: return RGN_OR;
    case roSubtract: return RGN_DIFF;
    case roIntersect: return RGN_AND;
  }
  return RGN_COPY;
}


}  // namespace

TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}
TcxRegion::TcxRegion(HRGN ARegionHandle) : FHandle(ARegionHandle) {}
TcxRegion::TcxRegion(const TRect& ABounds) : TcxRegion(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom) {}
TcxRegion::TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TcxRegion::~TcxRegion() {
  if (FHandle) DeleteObject(FHandle);
}

bool TcxRegion::IsEmpty() const { return cxRectIsEmpty(GetBoundsRect()); }

TRect TcxRegion::GetBoundsRect() const {
  TRect box{};
  GetRgnBox(FHandle, &box);
  return box;
}

void TcxRegion::Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion) {
  if (!ARegion) return;
  if (AOperation == roSet)
    CombineRgn(FHandle, ARegion->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, ARegion->FHandle, CombineMode(AOperation));
  if (ADestroyRegion) ARegion->Free();
}

bool TcxRegion::IsEqual(TcxRegion* ARegion) const {
  if (!ARegion) return false;
  return IsEqual(ARegion->FHandle);
}

bool TcxRegion::IsEqual(HRGN ARegionHandle) const {
  if (!ARegionHandle) return false;
  TcxRegion other(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(other.FHandle, ARegionHandle, nullptr, RGN_COPY);
  if (IsEmpty() && other.IsEmpty()) return true;
  return EqualRgn(FHandle, ARegionHandle) != FALSE;
}

void TcxRegion::Offset(Integer DX, Integer DY) { OffsetRgn(FHandle, DX, DY); }

bool TcxRegion::PtInRegion(Integer X, Integer Y) const { return win::PtInRegion(FHandle, X, Y) != FALSE; }

bool TcxRegion::RectInRegion(const TRect& R) const {
  RECT r = R;
  return win::RectInRegion(FHandle, &r) != FALSE;
}

bool TcxRegion::RectInRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) const {
  return RectInRegion(TRect{ALeft, ATop, ARight, ABottom});
}

// ---------------------------------------------------------------------------
// TcxBitmap

void TcxBitmap::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TBitmap*>(Source);
  if (source && source->Empty() && Empty()) return;
  TBitmap::DoAssign(Source);
}

// ---------------------------------------------------------------------------
// TcxCanvas: origins, forwards and parameters.

TPoint TcxCanvas::GetWindowOrg() const {
  TPoint p{};
  GetWindowOrgEx(GetHandle(), &p);
  return p;
}

void TcxCanvas::SetWindowOrg(const TPoint& P) { SetWindowOrgEx(GetHandle(), P.X, P.Y, nullptr); }

TPoint TcxCanvas::GetViewportOrg() const {
  TPoint p{};
  GetViewportOrgEx(GetHandle(), &p);
  return p;
}

void TcxCanvas::SetViewportOrg(const TPoint& P) { SetViewportOrgEx(GetHandle(), P.X, P.Y, nullptr); }

TPoint TcxCanvas::GetDCOrigin() const {
  TPoint viewport = GetViewportOrg(), window = GetWindowOrg();
  return {viewport.X - window.X, viewport.Y - window.Y};
}

void TcxCanvas::CopyRect(const TRect& ADest, TCanvas* ACanvas, const TRect& ASource) {
  FCanvas->CopyRect(ADest, ACanvas, ASource);
}

void TcxCanvas::Draw(Integer X, Integer Y, TGraphic* AGraphic) { FCanvas->Draw(X, Y, AGraphic); }

void TcxCanvas::ExcludeClipRect(const TRect& R) { win::ExcludeClipRect(GetHandle(), R.Left, R.Top, R.Right, R.Bottom); }

void TcxCanvas::IntersectClipRect(const TRect& R) {
  win::IntersectClipRect(GetHandle(), R.Left, R.Top, R.Right, R.Bottom);
}

bool TcxCanvas::RectVisible(const TRect& R) {
  RECT r = R;
  return win::RectVisible(GetHandle(), &r) != FALSE;
}

TcxRegion* TcxCanvas::PathToRegion(bool AConsiderOrigin) {
  win::HRGN handle = win::PathToRegion(GetHandle());
  if (!handle) return New<TcxRegion>();
  auto* region = New<TcxRegion>(handle);
  if (AConsiderOrigin) {
    const TPoint origin = GetDCOrigin();
    region->Offset(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::SetBrushColor(TColor Value) {
  if (GetBrush()->GetColor() != Value) GetBrush()->SetColor(Value);
}

void TcxCanvas::GetParams(TcxViewParams& AParams) const {
  AParams.Color = GetBrush()->GetColor();
  AParams.Font = GetFont();
  AParams.TextColor = GetFont()->GetColor();
}

void TcxCanvas::SetParams(const TcxViewParams& AParams) {
  SetBrushColor(AParams.Color);
  if (AParams.Font) GetFont()->Assign(AParams.Font);
  GetFont()->SetColor(AParams.TextColor);
}

void TcxCanvas::SetFontAngle(Integer Value) {
  LOGFONTA log = GetFont()->GetLogFont();
  log.lfEscapement = Value * 10;
  log.lfOrientation = Value * 10;
  if (Value != 0) log.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  GetFont()->SetHandle(CreateFontIndirectA(&log));
}

Integer TcxCanvas::FontHeight(TFont* AFont) {
  GetFont()->Assign(AFont);
  return TextHeight("Qq");
}

// ---------------------------------------------------------------------------
// Frames and fills.

void TcxCanvas::DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor, TcxBorders ABorders,
                                 Integer ABorderWidth) {
  if (ABorders.Contains(bLeft)) FrameRect(R, ALeftTopColor, ABorderWidth, {bLeft});
  if (ABorders.Contains(bTop)) FrameRect(R, ALeftTopColor, ABorderWidth, {bTop});
  if (ABorders.Contains(bRight)) FrameRect(R, ARightBottomColor, ABorderWidth, {bRight});
  if (ABorders.Contains(bBottom)) FrameRect(R, ARightBottomColor, ABorderWidth, {bBottom});
}

void TcxCanvas::DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders) {
  TColor leftTop, rightBottom;
  if (!ASunken) {
    leftTop = AOuter ? cl3DLight : clBtnHighlight;
    rightBottom = AOuter ? cl3DDkShadow : clBtnShadow;
  } else {
    leftTop = AOuter ? clBtnShadow : cl3DDkShadow;
    rightBottom = AOuter ? clBtnHighlight : cl3DLight;
  }
  DrawComplexFrame(R, leftTop, rightBottom, ABorders);
}

void TcxCanvas::FrameRect(const TRect& R, TColor AColor, Integer ALineWidth, TcxBorders ABorders,
                          bool AExcludeFrame) {
  if (cxRectIsEmpty(R)) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  const Integer W = ALineWidth;
  if (ABorders.Contains(bLeft)) FillRect({R.Left, R.Top, std::min(R.Left + W, R.Right), R.Bottom}, nullptr, AExcludeFrame);
  if (ABorders.Contains(bRight))
    FillRect({std::max(R.Right - W, R.Left), R.Top, R.Right, R.Bottom}, nullptr, AExcludeFrame);
  if (ABorders.Contains(bTop)) FillRect({R.Left, R.Top, R.Right, std::min(R.Top + W, R.Bottom)}, nullptr, AExcludeFrame);
  if (ABorders.Contains(bBottom))
    FillRect({R.Left, std::max(R.Bottom - W, R.Top), R.Right, R.Bottom}, nullptr, AExcludeFrame);
}

void TcxCanvas::DrawFocusRect(const TRect& R) {
  SetBrushColor(clWhite);
  GetFont()->SetColor(clBlack);
  FCanvas->DrawFocusRect(R);
}

void TcxCanvas::DrawDesignSelection(const TRect& R, Integer AWidth) {
  for (Integer i = 0; i < AWidth; ++i) DrawFocusRect(cxRectInflate(R, -i, -i));
}

void TcxCanvas::InvertRect(const TRect& R) {
  SetCopyMode(cmDstInvert);
  CopyRect(R, FCanvas, R);
  SetCopyMode(cmSrcCopy);
}

void TcxCanvas::InvertFrame(const TRect& R, Integer ABorderWidth) {
  const Integer W = ABorderWidth;
  InvertRect({R.Left, R.Top, R.Left + W, R.Bottom});
  InvertRect({R.Right - W, R.Top, R.Right, R.Bottom});
  InvertRect({R.Left + W, R.Top, R.Right - W, R.Top + W});
  InvertRect({R.Left + W, R.Bottom - W, R.Right - W, R.Bottom});
}

void TcxCanvas::FillRect(const TRect& R, TBitmap* ABitmap, bool AExcludeRect) {
  if (cxRectIsEmpty(R)) return;
  if (!ABitmap || ABitmap->Empty()) {
    FCanvas->FillRect(R);
  } else {
    const Integer W = ABitmap->GetWidth(), H = ABitmap->GetHeight();
    // Only the tiles a screen or bitmap can show are copied: a rectangle of
    // billions of pixels would otherwise copy every tile of it. A metafile
    // records whatever it is given, so its fills keep the whole rectangle.
    const TRect area = cxPaintableArea(FCanvas->GetHandle(), R);
    // Tiles are anchored at the canvas origin, so neighbouring fills line
    // up; floor division keeps that true left of and above the origin.
    auto floorDiv = [](Integer a, Integer b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); };
    const Integer firstCol = floorDiv(area.Left, W), lastCol = floorDiv(area.Right - 1, W);
    const Integer firstRow = floorDiv(area.Top, H), lastRow = floorDiv(area.Bottom - 1, H);
    for (Integer row = firstRow; row <= lastRow && !cxRectIsEmpty(area); ++row)
      for (Integer col = firstCol; col <= lastCol; ++col) {
        TRect tile = cxRectBounds(col * W, row * H, W, H), part;
        if (!cxRectIntersect(part, tile, area)) continue;
        FCanvas->CopyRect(part, ABitmap->GetCanvas(), cxRectOffset(part, -tile.Left, -tile.Top));
      }
  }
  if (AExcludeRect) SetClipRegion(New<TcxRegion>(R), roSubtract);
}

void TcxCanvas::FillRect(const TRect& R, const TcxViewParams& AParams, TcxBorders ABorders, TColor ABorderColor,
                         Integer ALineWidth, bool AExcludeRect) {
  FrameRect(R, ABorderColor, ALineWidth, ABorders, AExcludeRect);
  TRect content = R;
  if (ABorders.Contains(bLeft)) content.Left += ALineWidth;
  if (ABorders.Contains(bTop)) content.Top += ALineWidth;
  if (ABorders.Contains(bRight)) content.Right -= ALineWidth;
  if (ABorders.Contains(bBottom)) content.Bottom -= ALineWidth;
  SetBrushColor(AParams.Color);
  FillRect(content, AParams.Bitmap, AExcludeRect);
}

void TcxCanvas::FillRegion(TcxRegion* ARegion, TColor AColor) {
  if (ARegion) FillRegion(ARegion->GetHandle(), AColor);
}

void TcxCanvas::FillRegion(HRGN ARegion, TColor AColor) {
  if (AColor != clDefault) SetBrushColor(AColor);
  FillRgn(GetHandle(), ARegion, GetBrush()->GetHandle());
}

void TcxCanvas::FrameRegion(TcxRegion* ARegion, TColor AColor, Integer ABorderWidth, Integer ABorderHeight) {
  if (ARegion) FrameRegion(ARegion->GetHandle(), AColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::FrameRegion(HRGN ARegion, TColor AColor, Integer ABorderWidth, Integer ABorderHeight) {
  if (AColor != clDefault) SetBrushColor(AColor);
  FrameRgn(GetHandle(), ARegion, GetBrush()->GetHandle(), ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawRegion(TcxRegion* ARegion, TColor AContentColor, TColor ABorderColor, Integer ABorderWidth,
                           Integer ABorderHeight) {
  if (ARegion) DrawRegion(ARegion->GetHandle(), AContentColor, ABorderColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawRegion(HRGN ARegion, TColor AContentColor, TColor ABorderColor, Integer ABorderWidth,
                           Integer ABorderHeight) {
  FillRegion(ARegion, AContentColor);
  FrameRegion(ARegion, ABorderColor, ABorderWidth, ABorderHeight);
}

// ---------------------------------------------------------------------------
// Images.

void TcxCanvas::DrawGlyph(Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor) {
  if (!AGlyph || AGlyph->Empty()) return;
  const Integer W = AGlyph->GetWidth(), H = AGlyph->GetHeight();
  if (AEnabled) {
    TBrushStyle oldStyle = GetBrush()->GetStyle();
    if (ABackgroundColor == clNone)
      GetBrush()->SetStyle(bsClear);
    else
      SetBrushColor(ABackgroundColor);
    FCanvas->BrushCopy(cxRectBounds(X, Y, W, H), AGlyph, {0, 0, W, H}, AGlyph->GetTransparentColor());
    GetBrush()->SetStyle(oldStyle);
    return;
  }
  TOwned<TImageList> images(New<TImageList>(nullptr));
  images->SetWidth(W);
  images->SetHeight(H);
  if (AGlyph->GetTransparentMode() == tmFixed)
    images->AddMasked(AGlyph, AGlyph->GetTransparentColor());
  else
    images->AddMasked(AGlyph, clDefault);
  if (ABackgroundColor == clNone) {
    images->Draw(FCanvas, X, Y, 0, false);
    return;
  }
  TOwned<TBitmap> buffer(New<TBitmap>());
  buffer->SetWidth(W);
  buffer->SetHeight(H);
  buffer->GetCanvas()->GetBrush()->SetColor(ABackgroundColor);
  buffer->GetCanvas()->FillRect({0, 0, W, H});
  images->Draw(buffer->GetCanvas(), 0, 0, 0, false);
  FCanvas->Draw(X, Y, buffer.get());
}

void TcxCanvas::DrawImage(TCustomImageList* AImages, Integer X, Integer Y, Integer AIndex, bool AEnabled) {
  if (!AImages || AIndex < 0 || AIndex >= AImages->GetCount()) return;
  if (AEnabled) {
    AImages->Draw(FCanvas, X, Y, AIndex, true);
    return;
  }
  int saved = SaveDC(GetHandle());
  AImages->Draw(FCanvas, X, Y, AIndex, false);
  RestoreDC(GetHandle(), saved);
}

namespace {

bool& AlphaBlendBound() {
  static bool bound = true;
  return bound;
}

// dst := dst * (255 - a) / 255 + src * a / 255 per colour channel, the
// fourth byte left alone.
void BlendPixels(TBitmap* ADest, TBitmap* ASource, Byte AAlpha) {
  ADest->SetPixelFormat(pf32bit);
  ASource->SetPixelFormat(pf32bit);
  for (Integer y = 0; y < ADest->GetHeight(); ++y) {
    auto* d = static_cast<Byte*>(ADest->GetScanLine(y));
    auto* s = static_cast<const Byte*>(ASource->GetScanLine(y));
    for (Integer x = 0; x < ADest->GetWidth(); ++x)
      for (int c = 0; c < 3; ++c) {
        Byte& dst = d[4 * x + c];
        dst = static_cast<Byte>(MulDiv(dst, 255 - AAlpha, 255) + MulDiv(s[4 * x + c], AAlpha, 255));
      }
  }
}

}  // namespace

void cxSetAlphaBlendBound(bool ABound) { AlphaBlendBound() = ABound; }

void TcxCanvas::TransparentDraw(Integer X, Integer Y, TBitmap* ABitmap, Byte AAlpha, TBitmap* ABackground) {
  if (!ABitmap || ABitmap->Empty()) return;
  const Integer W = ABitmap->GetWidth(), H = ABitmap->GetHeight();
  TOwned<TBitmap> buffer(New<TBitmap>());
  buffer->SetPixelFormat(pf32bit);
  buffer->SetWidth(W);
  buffer->SetHeight(H);
  if (ABackground)
    buffer->GetCanvas()->Draw(0, 0, ABackground);
  else
    buffer->GetCanvas()->CopyRect({0, 0, W, H}, FCanvas, cxRectBounds(X, Y, W, H));
  if (AlphaBlendBound()) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, AAlpha, 0};
    AlphaBlend(buffer->GetCanvas()->GetHandle(), 0, 0, W, H, ABitmap->GetCanvas()->GetHandle(), 0, 0, W, H, blend);
  } else {
    BlendPixels(buffer.get(), ABitmap, AAlpha);
  }
  FCanvas->Draw(X, Y, buffer.get());
}

void TcxCanvas::RotateBitmap(TBitmap* ABitmap, TcxRotationAngle ARotationAngle, bool AFlipVertically) {
  if (!ABitmap || (ARotationAngle == ra0 && !AFlipVertically)) return;
  ABitmap->SetPixelFormat(pf32bit);
  const Integer W = ABitmap->GetWidth(), H = ABitmap->GetHeight();
  std::vector<std::uint32_t> source(static_cast<size_t>(W) * H);
  for (Integer y = 0; y < H; ++y)
    std::copy_n(static_cast<const std::uint32_t*>(ABitmap->GetScanLine(y)), W, source.begin() + y * W);
  const bool quarterTurn = ARotationAngle == raPlus90 || ARotationAngle == raMinus90;
  const Integer RW = quarterTurn ? H : W, RH = quarterTurn ? W : H;
  std::vector<std::uint32_t> result(source.size());
  for (Integer y = 0; y < H; ++y)
    for (Integer x = 0; x < W; ++x) {
      Integer row = y, col = x;
      switch (ARotationAngle) {
        case ra0: row = H - 1 - y; col = x; break;
        case raPlus90: row = AFlipVertically ? x : W - 1 - x; col = y; break;
        case raMinus90: row = AFlipVertically ? W - 1 - x : x; col = H - 1 - y; break;
        case ra180: row = AFlipVertically ? y : H - 1 - y; col = W - 1 - x; break;
      }
      result[static_cast<size_t>(row) * RW + col] = source[static_cast<size_t>(y) * W + x];
    }
  if (quarterTurn) {
    ABitmap->SetHeight(0);
    ABitmap->SetWidth(RW);
    ABitmap->SetHeight(RH);
  }
  for (Integer y = 0; y < RH; ++y)
    std::copy_n(result.begin() + y * RW, RW, static_cast<std::uint32_t*>(ABitmap->GetScanLine(y)));
  ABitmap->SetModified(true);
}

void TcxCanvas::FlipHorizontally(TBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty()) return;
  ABitmap->SetPixelFormat(pf32bit);
  for (Integer y = 0; y < ABitmap->GetHeight(); ++y) {
    auto* row = static_cast<std::uint32_t*>(ABitmap->GetScanLine(y));
    std::reverse(row, row + ABitmap->GetWidth());
  }
  ABitmap->SetModified(true);
}

// ---------------------------------------------------------------------------
// Shapes.

void TcxCanvas::Pie(const TRect& R, const TPoint& AStartPoint, const TPoint& AEndPoint) {
  FCanvas->Pie(R.Left, R.Top, R.Right, R.Bottom, AStartPoint.X, AStartPoint.Y, AEndPoint.X, AEndPoint.Y);
}

void TcxCanvas::Pie(const TRect& R, Integer AStartAngle, Integer ASweepAngle) {
  if (cxRectIsEmpty(R) || ASweepAngle == 0) return;
  const Integer W = cxRectWidth(R), H = cxRectHeight(R);
  const TPoint c{R.Left + W / 2, R.Top + H / 2};
  const double a = W / 2, b = H / 2;
  auto pointAt = [&](double degrees) {
    const double t = degrees * M_PI / 180;
    const double s = std::sin(t), co = std::cos(t);
    const double r = (a == 0 || b == 0) ? 0 : a * b / std::sqrt(a * a * s * s + b * b * co * co);
    return TPoint{c.X + static_cast<Integer>(std::lround(r * co)), c.Y - static_cast<Integer>(std::lround(r * s))};
  };
  const TPoint start = pointAt(AStartAngle);
  const TPoint end = std::abs(ASweepAngle) == 360 ? start : pointAt(AStartAngle + ASweepAngle);
  if (start == end && std::abs(ASweepAngle) <= 180) return;
  Pie(R, start, end);
}

// ---------------------------------------------------------------------------
// Clipping.

TcxRegion* TcxCanvas::GetClipRegion(bool AConsiderOrigin) {
  auto* region = New<TcxRegion>();
  if (GetClipRgn(GetHandle(), region->GetHandle()) != 1) SetRectRgn(region->GetHandle(), 0, 0, 30000, 30000);
  if (AConsiderOrigin) {
    const TPoint origin = GetDCOrigin();
    region->Offset(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool AConsiderOrigin,
                              bool ADestroyRegion) {
  if (!ARegion) return;
  if (AOperation == roSet) {
    const TPoint origin = AConsiderOrigin ? GetDCOrigin() : TPoint{};
    ARegion->Offset(origin.X, origin.Y);
    SelectClipRgn(GetHandle(), ARegion->GetHandle());
    if (ADestroyRegion)
      ARegion->Free();
    else
      ARegion->Offset(-origin.X, -origin.Y);
    return;
  }
  TcxRegion* current = GetClipRegion(AConsiderOrigin);
  current->Combine(ARegion, AOperation, ADestroyRegion);
  SetClipRegion(current, roSet, AConsiderOrigin, true);
}

bool TcxCanvas::RectFullyVisible(const TRect& R) {
  TOwned<TcxRegion> clip(GetClipRegion());
  TcxRegion rect(R);
  TcxRegion common;
  CombineRgn(common.GetHandle(), clip->GetHandle(), rect.GetHandle(), RGN_AND);
  return common.IsEqual(&rect);
}

// ---------------------------------------------------------------------------
// TcxScreenCanvas

namespace {

class TScreenPlatformCanvas : public TCanvas {
  ORV_CLASS(TScreenPlatformCanvas, TCanvas)
 public:
  TScreenPlatformCanvas() = default;
  ~TScreenPlatformCanvas() override { Release(); }
  void Release() {
    if (!FDC) return;
    HDC dc = FDC;
    FDC = nullptr;
    SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
  }

 protected:
  void CreateHandle() override {
    FDC = GetDC(nullptr);
    SetHandle(FDC);
  }

 private:
  HDC FDC = nullptr;
};

TcxScreenCanvas*& ScreenCanvasInstance() {
  static TcxScreenCanvas* instance = nullptr;
  return instance;
}

}  // namespace

ORV_REGISTER(TScreenPlatformCanvas)

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(New<TScreenPlatformCanvas>()) {}

TcxScreenCanvas::~TcxScreenCanvas() { FCanvas->Free(); }

TcxScreenCanvas* cxScreenCanvas() {
  auto& instance = ScreenCanvasInstance();
  if (!instance) instance = New<TcxScreenCanvas>();
  return instance;
}

void cxFreeScreenCanvas() { FreeAndNil(ScreenCanvasInstance()); }
