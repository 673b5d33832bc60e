#include "library/editors/core/cxEditPaintUtils.h"

#include <algorithm>
#include <cstdint>

#include "library/foundation/cxGeometry.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TcxSolidBrushCache)

namespace {

// Theme parts: the edit box's text area, the push button and the combo
// box's drop-down button.
constexpr int kEditTextPart = 1;
constexpr int kPushButtonPart = 1;
constexpr int kDropDownButtonPart = 1;

constexpr Integer kSystemBrushCount = 31;
win::HBRUSH gSystemBrushes[kSystemBrushCount] = {};
bool gSystemBrushesTaken = false;
TcxSolidBrushCache* gSolidBrushCache = nullptr;

// The text flags of a button caption: centred on one line, accelerator
// marks shown, cut with an ellipsis.
constexpr Integer kButtonTextFlags = 2660;
static_assert(kButtonTextFlags ==
              (cxAlignHCenter | cxAlignVCenter | cxSingleLine | cxShowPrefix | cxShowEndEllipsis));

bool SystemColorIndex(TColor AColor, Integer& AIndex) {
  const auto value = static_cast<std::uint32_t>(AColor);
  if ((value & 0xFF000000u) != static_cast<std::uint32_t>(clSystemColor)) return false;
  const std::uint32_t index = value & 0x00FFFFFFu;
  if (index >= static_cast<std::uint32_t>(kSystemBrushCount)) return false;
  AIndex = static_cast<Integer>(index);
  return true;
}

TRect Shrunk(const TRect& R, Integer D = 1) { return cxRectInflate(R, -D, -D); }

// Restoring a saved state of the device context also puts back the pen,
// brush and font selected then, which need not be the canvas's any more:
// the canvas selects its own again before it next draws.
void RestoreCanvasDC(TcxCanvas* ACanvas, int ASaved) {
  win::RestoreDC(ACanvas->GetHandle(), ASaved);
  ACanvas->GetCanvas()->Refresh();
}

// Keeps the device context's state (the clip region above all) across a
// block of drawing.
class TDCStateSaver {
 public:
  explicit TDCStateSaver(TcxCanvas* ACanvas) : FCanvas(ACanvas), FSaved(win::SaveDC(ACanvas->GetHandle())) {}
  ~TDCStateSaver() { RestoreCanvasDC(FCanvas, FSaved); }
  TDCStateSaver(const TDCStateSaver&) = delete;
  TDCStateSaver& operator=(const TDCStateSaver&) = delete;

 private:
  TcxCanvas* FCanvas;
  int FSaved;
};

bool IsPressedOrHot(TcxEditButtonState AState) { return AState == ebsPressed || AState == ebsSelected; }

}  // namespace

// ---------------------------------------------------------------------------
// TcxSolidBrushCache

TcxSolidBrushCache::TcxSolidBrushCache(Integer ACapacity) : FCapacity(std::max<Integer>(ACapacity, 1)) {
  FColors.reserve(FCapacity);
  FBrushes.reserve(FCapacity);
  FUsageCounts.reserve(FCapacity);
  FSystemPaletteChangedNotifier = New<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FSystemPaletteChangedNotifier->Free();
  // The brushes go with the cache: nobody may hold one past the next
  // request anyway.
  Clear();
}

bool TcxSolidBrushCache::Find(TColor AColor, Integer& AIndex) const {
  const auto key = static_cast<std::uint32_t>(AColor);
  auto it = std::lower_bound(FColors.begin(), FColors.end(), key,
                             [](TColor C, std::uint32_t K) { return static_cast<std::uint32_t>(C) < K; });
  AIndex = static_cast<Integer>(it - FColors.begin());
  return it != FColors.end() && static_cast<std::uint32_t>(*it) == key;
}

void TcxSolidBrushCache::Delete(Integer AIndex) {
  win::DeleteObject(FBrushes[AIndex]);
  FColors.erase(FColors.begin() + AIndex);
  FBrushes.erase(FBrushes.begin() + AIndex);
  FUsageCounts.erase(FUsageCounts.begin() + AIndex);
}

win::HBRUSH TcxSolidBrushCache::GetBrush(TColor AColor) {
  Integer systemIndex;
  if (SystemColorIndex(AColor, systemIndex))
    return gSystemBrushesTaken ? gSystemBrushes[systemIndex] : win::GetSysColorBrush(systemIndex);
  Integer index;
  if (Find(AColor, index)) {
    ++FUsageCounts[index];
    return FBrushes[index];
  }
  if (GetCount() >= FCapacity) {
    const auto least = std::min_element(FUsageCounts.begin(), FUsageCounts.end());
    const auto leastIndex = static_cast<Integer>(least - FUsageCounts.begin());
    Delete(leastIndex);
    if (leastIndex < index) --index;
  }
  win::HBRUSH brush = win::CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(AColor)));
  FColors.insert(FColors.begin() + index, AColor);
  FBrushes.insert(FBrushes.begin() + index, brush);
  FUsageCounts.insert(FUsageCounts.begin() + index, 0);
  return brush;
}

void TcxSolidBrushCache::Clear() {
  // A brush still selected into a device context is deleted by the drawing
  // tier when it is deselected.
  for (win::HBRUSH brush : FBrushes) win::DeleteObject(brush);
  FColors.clear();
  FBrushes.clear();
  FUsageCounts.clear();
}

void TcxSolidBrushCache::SystemPaletteChanged() { Clear(); }

TcxSolidBrushCache* cxSolidBrushCache() {
  // A drawing before the unit's start-up (a test that does not start the
  // units) still gets a cache; the shut-down step frees it either way.
  if (!gSolidBrushCache) gSolidBrushCache = New<TcxSolidBrushCache>();
  return gSolidBrushCache;
}

win::HBRUSH GetSolidBrush(TColor AColor) { return cxSolidBrushCache()->GetBrush(AColor); }
win::HBRUSH GetSolidBrush(TCanvas*, TColor AColor) { return GetSolidBrush(AColor); }
win::HBRUSH GetSolidBrush(TcxCanvas*, TColor AColor) { return GetSolidBrush(AColor); }
void ResetSolidBrushCache() { cxSolidBrushCache()->Clear(); }

void cxEditPaintUtilsInitialize() {
  for (Integer i = 0; i < kSystemBrushCount; ++i) gSystemBrushes[i] = win::GetSysColorBrush(i);
  gSystemBrushesTaken = true;
  cxSolidBrushCache();
}

void cxEditPaintUtilsFinalize() {
  if (gSolidBrushCache) {
    gSolidBrushCache->Free();
    gSolidBrushCache = nullptr;
  }
  std::fill(std::begin(gSystemBrushes), std::end(gSystemBrushes), nullptr);
  gSystemBrushesTaken = false;
}

// ---------------------------------------------------------------------------
// Fills and lines.

void cxEditFillRect(win::HDC ADC, const TRect& R, win::HBRUSH ABrush) {
  const win::RECT r = R;
  win::FillRect(ADC, &r, ABrush);
}

void cxEditFillRect(win::HDC ADC, const TRect& R, TColor AColor) { cxEditFillRect(ADC, R, GetSolidBrush(AColor)); }

void cxEditFillRect(TCanvas* ACanvas, const TRect& R, TColor AColor) {
  cxEditFillRect(ACanvas->GetHandle(), R, GetSolidBrush(AColor));
}

void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, win::HBRUSH ABrush) {
  cxEditFillRect(ACanvas->GetHandle(), R, ABrush);
}

void cxEditFillRect(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  cxEditFillRect(ACanvas->GetHandle(), R, GetSolidBrush(AColor));
}

void InternalFillRect(TcxCanvas* ACanvas, const TRect& AOuterRect, const TRect& AInnerRect, win::HBRUSH ABrush) {
  if (cxRectIsEmpty(AOuterRect) || AOuterRect == AInnerRect) return;
  if (cxRectIsEmpty(AInnerRect)) {
    cxEditFillRect(ACanvas, AOuterRect, ABrush);
    return;
  }
  const TRect& O = AOuterRect;
  const TRect& I = AInnerRect;
  cxEditFillRect(ACanvas, TRect(O.Left, O.Top, I.Left, O.Bottom), ABrush);
  cxEditFillRect(ACanvas, TRect(I.Left, O.Top, I.Right, I.Top), ABrush);
  cxEditFillRect(ACanvas, TRect(I.Right, O.Top, O.Right, O.Bottom), ABrush);
  cxEditFillRect(ACanvas, TRect(I.Left, I.Bottom, I.Right, O.Bottom), ABrush);
}

void InternalPolyLine(TcxCanvas* ACanvas, std::span<const TPoint> APoints, bool AByRectangles, TColor AColor) {
  if (APoints.empty()) return;
  const TPoint last = APoints.back();
  if (!AByRectangles) {
    TPen* pen = ACanvas->GetPen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetColor(AColor);
    ACanvas->Polyline(APoints);
    ACanvas->SetPixel(last.X, last.Y, AColor);
    return;
  }
  win::HBRUSH brush = GetSolidBrush(AColor);
  for (std::size_t i = 0; i + 1 < APoints.size(); ++i) {
    const TPoint a = APoints[i], b = APoints[i + 1];
    // Segments run along an axis: the strip spans both end points.
    cxEditFillRect(ACanvas, TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1,
                                  std::max(a.Y, b.Y) + 1),
                   brush);
  }
  cxEditFillRect(ACanvas, TRect(last.X, last.Y, last.X + 1, last.Y + 1), brush);
}

void cxOffsetRect(TRect& R, const TPoint& P) { R = cxRectOffset(R, P); }

void SaveCanvasFont(TcxCanvas* ACanvas, win::LOGFONTA& ALogFont) {
  ALogFont = {};
  win::GetObject(ACanvas->GetFont()->GetHandle(), sizeof(ALogFont), &ALogFont);
}

void RestoreCanvasFont(TcxCanvas* ACanvas, const win::LOGFONTA& ALogFont) {
  ACanvas->GetFont()->SetHandle(win::CreateFontIndirect(&ALogFont));
}

// ---------------------------------------------------------------------------
// Lines, arrows, glyphs.

void DrawButtonBorder(TcxCanvas* ACanvas, TRect& R, TcxBorders ABorders, TColor AColor) {
  win::HBRUSH brush = GetSolidBrush(AColor);
  if (ABorders.Contains(bLeft)) {
    cxEditFillRect(ACanvas, TRect(R.Left, R.Top, R.Left + 1, R.Bottom), brush);
    ++R.Left;
  }
  if (ABorders.Contains(bRight)) {
    cxEditFillRect(ACanvas, TRect(R.Right - 1, R.Top, R.Right, R.Bottom), brush);
    --R.Right;
  }
  if (ABorders.Contains(bTop)) {
    cxEditFillRect(ACanvas, TRect(R.Left, R.Top, R.Right, R.Top + 1), brush);
    ++R.Top;
  }
  if (ABorders.Contains(bBottom)) {
    cxEditFillRect(ACanvas, TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom), brush);
    --R.Bottom;
  }
}

void DrawArrow(TcxCanvas* ACanvas, Integer ASize, const TRect& R, TcxArrowDirection ADirection, bool ADouble,
               bool AShift, TColor AColor) {
  if (ASize < 1) return;
  const bool vertical = ADirection == adUp || ADirection == adDown;
  const Integer depth = ADouble ? 2 * ASize : ASize;
  const Integer span = 2 * ASize - 1;
  const Integer width = vertical ? span : depth;
  const Integer height = vertical ? depth : span;
  Integer x = R.Left + (cxRectWidth(R) - width) / 2;
  Integer y = R.Top + (cxRectHeight(R) - height) / 2;
  if (AShift) {
    ++x;
    ++y;
  }
  win::HBRUSH brush = GetSolidBrush(AColor);
  for (Integer t = 0; t < (ADouble ? 2 : 1); ++t) {
    for (Integer i = 0; i < ASize; ++i) {
      // Row (or column) i counted from the arrow's back: the back is the
      // widest, the apex one pixel.
      const Integer step = t * ASize + i;
      switch (ADirection) {
        case adDown: cxEditFillRect(ACanvas, TRect(x + i, y + step, x + span - i, y + step + 1), brush); break;
        case adUp: {
          const Integer row = y + t * ASize + (ASize - 1 - i);
          cxEditFillRect(ACanvas, TRect(x + i, row, x + span - i, row + 1), brush);
          break;
        }
        case adRight: cxEditFillRect(ACanvas, TRect(x + step, y + i, x + step + 1, y + span - i), brush); break;
        case adLeft: {
          const Integer col = x + t * ASize + (ASize - 1 - i);
          cxEditFillRect(ACanvas, TRect(col, y + i, col + 1, y + span - i), brush);
          break;
        }
      }
    }
  }
}

TSize GetArrowSize(const TSize& ASize, TcxArrowDirection ADirection) {
  Integer a = (std::min(ASize.cx, ASize.cy) - 1) / 2;
  if (a % 2 == 0) ++a;
  const Integer b = a / 2 + 1;
  if (ADirection == adUp || ADirection == adDown) return {a, b};
  return {b, a};
}

void DrawGlyph(TCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor,
               TBitmap* ABackgroundBitmap) {
  TOwned<TcxCanvas> canvas(New<TcxCanvas>(ACanvas));
  DrawGlyph(canvas.get(), X, Y, AGlyph, AEnabled, ABackgroundColor, ABackgroundBitmap);
}

void DrawGlyph(TcxCanvas* ACanvas, Integer X, Integer Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor,
               TBitmap* ABackgroundBitmap) {
  if (!VerifyBitmap(AGlyph)) return;
  if (!ABackgroundBitmap) {
    ACanvas->DrawGlyph(X, Y, AGlyph, AEnabled, ABackgroundColor);
    return;
  }
  TOwned<TcxCanvas> background(New<TcxCanvas>(ABackgroundBitmap->GetCanvas()));
  background->DrawGlyph(0, 0, AGlyph, AEnabled, ABackgroundColor);
  ACanvas->Draw(X, Y, ABackgroundBitmap);
}

void DrawGlyph(TcxCanvas* ACanvas, TCustomImageList* AImageList, Integer AImageIndex, const TRect& R,
               TColor ABackgroundColor, bool AEnabled, TBitmap* ABackgroundBitmap) {
  if (!VerifyImages(AImageList)) return;
  TOwned<TBitmap> own;
  TBitmap* bitmap = ABackgroundBitmap;
  if (!bitmap) {
    own.reset(cxCreateBitmap(AImageList->GetWidth(), AImageList->GetHeight()));
    bitmap = own.get();
    cxEditFillRect(bitmap->GetCanvas(), TRect(0, 0, bitmap->GetWidth(), bitmap->GetHeight()), ABackgroundColor);
  }
  AImageList->Draw(bitmap->GetCanvas(), 0, 0, AImageIndex, AEnabled);
  ACanvas->Draw(R.Left, R.Top, bitmap);
}

bool VerifyBitmap(TBitmap* ABitmap) {
  return ABitmap && !ABitmap->Empty() && ABitmap->GetWidth() >= 1 && ABitmap->GetHeight() >= 1;
}

bool VerifyImages(TCustomImageList* AImages) {
  return AImages && AImages->GetWidth() >= 1 && AImages->GetHeight() >= 1;
}

// ---------------------------------------------------------------------------
// The editor's background and border.

namespace {

void DrawStandardEdit(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, const TcxEditPaintInfo& AInfo,
                      bool ADrawBackground) {
  TcxContainerViewInfo* vi = AViewInfo->GetContainerViewInfo();
  const Integer B = GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(AInfo.BorderStyle));
  TRect r = vi->BorderRect;
  ExtendRectByBorders(r, B, TcxBorders{bLeft, bTop} + (vi->Edges * TcxBorders{bRight, bBottom}));
  if (vi->Shadow) DrawContainerShadow(ACanvas, r);
  ExtendRectByBorders(r, B, TcxBorders{bRight, bBottom} - vi->Edges);
  switch (AInfo.BorderStyle) {
    case ebsSingle:
    case ebsThick: ACanvas->FrameRect(r, vi->BorderColor, B); break;
    case ebsFlat:
      ACanvas->DrawEdge(r, true, true, vi->Edges);
      ACanvas->FrameRect(Shrunk(r), clBtnFace);
      break;
    case ebs3D:
      ACanvas->DrawEdge(r, true, true, vi->Edges);
      ACanvas->DrawComplexFrame(Shrunk(r), cl3DDkShadow, cl3DLight, vi->Edges);
      break;
    default: break;
  }
  if (AInfo.IsInplace) {
    if (AInfo.Transparent) return;
    if (ADrawBackground)
      cxEditFillRect(ACanvas, vi->Bounds, GetSolidBrush(vi->BackgroundColor));
    else if (AInfo.HasContentOffset)
      InternalFillRect(ACanvas, vi->Bounds, vi->BorderRect, GetSolidBrush(vi->BackgroundColor));
  } else if (ADrawBackground && !AInfo.Transparent) {
    cxEditFillRect(ACanvas, vi->BorderRect, GetSolidBrush(vi->BackgroundColor));
  }
}

void DrawNativeEdit(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, const TcxEditPaintInfo& AInfo,
                    bool ADrawBackground, TcxEditBackgroundPaintingStyle APaintingStyle) {
  TcxContainerViewInfo* vi = AViewInfo->GetContainerViewInfo();
  if (AInfo.IsInplace || AInfo.BorderStyle == ebsNone) {
    if (!AInfo.Transparent) cxEditFillRect(ACanvas, vi->Bounds, GetSolidBrush(vi->BackgroundColor));
    return;
  }
  const TRect r = vi->Bounds;
  TdxTheme theme = OpenTheme(totEdit);
  TRect inner = r;
  switch (APaintingStyle) {
    case bpsSolid:
      if (theme) ::GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), kEditTextPart, vi->NativeState, r, inner);
      break;
    case bpsComboEdit:
      inner = Shrunk(r, 3);
      inner.Right = vi->ClientRect.Right - 1;
      break;
    case bpsComboListEdit: inner = vi->ClientRect; break;
  }
  if (theme) {
    TDCStateSaver saver(ACanvas);
    ACanvas->ExcludeClipRect(inner);
    ::DrawThemeBackground(theme, ACanvas->GetHandle(), kEditTextPart, vi->NativeState, r);
  }
  if (AInfo.Transparent) return;
  if (!ADrawBackground && APaintingStyle != bpsComboListEdit) {
    InternalFillRect(ACanvas, inner, vi->BorderRect, GetSolidBrush(vi->BackgroundColor));
    inner = vi->BorderRect;
  }
  if (ADrawBackground) cxEditFillRect(ACanvas, inner, GetSolidBrush(vi->BackgroundColor));
}

}  // namespace

void DrawCustomEdit(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, bool ADrawBackground,
                    TcxEditBackgroundPaintingStyle APaintingStyle) {
  TcxEditPaintInfo info;
  AViewInfo->GetEditPaintInfo(info);
  int saved = 0;
  if (info.ButtonCount > 0 && !AViewInfo->GetButtonPaintInfo(0).NativeTransparent) {
    saved = win::SaveDC(ACanvas->GetHandle());
    for (Integer i = 0; i < info.ButtonCount; ++i)
      ACanvas->ExcludeClipRect(AViewInfo->GetButtonPaintInfo(i).VisibleBounds);
  }
  if (!AViewInfo->DrawBackground(ACanvas)) {
    if (AViewInfo->GetContainerViewInfo()->NativeStyle)
      DrawNativeEdit(ACanvas, AViewInfo, info, ADrawBackground, APaintingStyle);
    else
      DrawStandardEdit(ACanvas, AViewInfo, info, ADrawBackground);
  }
  if (saved) RestoreCanvasDC(ACanvas, saved);
  AViewInfo->DrawButtons(ACanvas);
}

// ---------------------------------------------------------------------------
// Buttons.

namespace {

// A pressed button is dark even when transparent: its content is drawn in
// the window colour then, which would vanish on the editor's background.
TColor HotFlatBrushColor(const TcxEditButtonPaintInfo& AButton) {
  if (AButton.State == ebsPressed) return clBtnText;
  if (AButton.Transparent) return AButton.BackgroundColor;
  return AButton.State == ebsSelected ? clBtnShadow : clBtnFace;
}

TColor UltraFlatBrushColor(const TcxEditButtonPaintInfo& AButton, bool AIsOffice11) {
  if (AButton.Transparent) return AButton.BackgroundColor;
  switch (AButton.State) {
    case ebsDisabled: return clBtnFace;
    case ebsNormal: return AIsOffice11 ? dxOffice11DockColor1 : clBtnFace;
    default: return GetEditButtonHighlightColor(AButton.State == ebsPressed, AIsOffice11);
  }
}

}  // namespace

void DrawEditButtonBorder(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                          TcxEditButtonStyle AButtonStyle, TRect R) {
  const TcxEditButtonPaintInfo& button = AViewInfo->GetButtonPaintInfo(AButtonVisibleIndex);
  if (button.NativeState != 0) {
    TdxTheme theme = OpenTheme(button.IsComboButton ? totComboBox : totButton);
    if (button.IsComboButton) {
      if (theme) ::DrawThemeBackground(theme, ACanvas->GetHandle(), kDropDownButtonPart, button.NativeState,
                                       button.Bounds);
      return;
    }
    TRect content = R;
    if (theme) {
      ::DrawThemeBackground(theme, ACanvas->GetHandle(), kPushButtonPart, button.NativeState, R);
      ::GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), kPushButtonPart, button.NativeState, R, content);
    }
    AViewInfo->DrawButtonContent(ACanvas, AButtonVisibleIndex, content, content, clBtnText, static_cast<TColor>(0));
    return;
  }

  TcxEditPaintInfo info;
  AViewInfo->GetEditPaintInfo(info);
  const bool pressed = button.State == ebsPressed;
  TColor brushColor = button.Transparent ? button.BackgroundColor : clBtnFace;
  TColor penColor = clBtnText;
  TRect background;

  switch (AButtonStyle) {
    case bts3D:
      if (!pressed) {
        ACanvas->DrawComplexFrame(R, cl3DLight, cl3DDkShadow);
        R = Shrunk(R);
        ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
      } else {
        ACanvas->FrameRect(R, clBtnShadow);
        R = Shrunk(R);
        ACanvas->FrameRect(R, brushColor);
      }
      R = Shrunk(R);
      break;
    case btsFlat:
      if (!pressed)
        ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
      else
        ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
      R = Shrunk(R);
      break;
    case btsSimple:
      if (!info.Transparent) ACanvas->FrameRect(R, button.BackgroundColor);
      R = Shrunk(R);
      break;
    case btsHotFlat: {
      brushColor = HotFlatBrushColor(button);
      const bool innermost = button.LeftAlignment ? button.RightEdge : button.LeftEdge;
      if (innermost) {
        ACanvas->FrameRect(R, clBtnShadow);
        R = Shrunk(R);
      } else if (button.LeftAlignment) {
        DrawButtonBorder(ACanvas, R, {bLeft, bTop, bBottom}, clBtnShadow);
        DrawButtonBorder(ACanvas, R, {bRight}, brushColor);
      } else {
        DrawButtonBorder(ACanvas, R, {bRight, bTop, bBottom}, clBtnShadow);
        DrawButtonBorder(ACanvas, R, {bLeft}, brushColor);
      }
      if (IsPressedOrHot(button.State))
        penColor = button.State == ebsSelected && button.Transparent ? clBtnShadow : clWindow;
      break;
    }
    case btsUltraFlat:
    case btsOffice11: {
      const bool office11 = AButtonStyle == btsOffice11;
      const TColor highlight = GetEditBorderHighlightColor(office11);
      brushColor = UltraFlatBrushColor(button, office11);
      const bool active = IsPressedOrHot(button.State);
      if (!active || (info.IsInplace && !info.HasExternalBorder)) {
        if (active)
          ACanvas->FrameRect(R, highlight);
        else if (!info.Transparent)
          ACanvas->FrameRect(R, button.BackgroundColor);
        R = Shrunk(R);
        background = R;
        R = cxRectInflate(R, -1, 0);
      } else {
        // A hot or pressed button inside a highlighted editor border: a
        // highlight line only where the editor's own border does not run.
        const TRect& border = AViewInfo->GetContainerViewInfo()->BorderRect;
        background = R;
        const bool lineLeft = button.LeftAlignment ? !button.LeftEdge : R.Left != border.Left;
        const bool lineRight = button.LeftAlignment ? R.Right != border.Right : !button.RightEdge;
        if (lineLeft) {
          DrawButtonBorder(ACanvas, R, {bLeft}, highlight);
          background.Left = R.Left;
        } else {
          ++R.Left;
        }
        if (lineRight) {
          DrawButtonBorder(ACanvas, R, {bRight}, highlight);
          background.Right = R.Right;
        } else {
          --R.Right;
        }
        R = Shrunk(R);
      }
      AViewInfo->DrawButtonContent(ACanvas, AButtonVisibleIndex, background, R, penColor, brushColor);
      return;
    }
    case btsDefault: break;
  }
  AViewInfo->DrawButtonContent(ACanvas, AButtonVisibleIndex, R, R, penColor, brushColor);
}

namespace {

void DrawEllipsis(TcxCanvas* ACanvas, const TcxEditButtonPaintInfo& AButton, const TRect& AContent,
                  TColor APenColor) {
  const Integer size = cxRectWidth(AContent) >= 12 ? 2 : 1;
  const Integer gap = 2;
  const Integer width = 3 * size + 2 * gap;
  Integer x = AContent.Left + (cxRectWidth(AContent) - width) / 2;
  Integer y = AContent.Top + (cxRectHeight(AContent) - size) / 2;
  if (AButton.State == ebsPressed) {
    if (x + width + 1 <= AContent.Right) ++x;
    if (y + size + 1 <= AContent.Bottom) ++y;
  }
  // A button narrower than the dots keeps them to itself: centred, they
  // would land on the text or on the neighbouring button.
  auto dots = [&](Integer DX, Integer DY, TColor AColor) {
    win::HBRUSH brush = GetSolidBrush(AColor);
    for (Integer i = 0; i < 3; ++i) {
      const Integer left = x + DX + i * (size + gap);
      TRect dot;
      if (cxRectIntersect(dot, TRect(left, y + DY, left + size, y + DY + size), AButton.Bounds))
        cxEditFillRect(ACanvas, dot, brush);
    }
  };
  if (AButton.State == ebsDisabled) {
    dots(1, 1, clBtnHighlight);
    dots(0, 0, clBtnShadow);
  } else {
    dots(0, 0, APenColor);
  }
}

// Widens one side pair of the arrow's box to the button's extent. The odd
// pixel goes left (up) when pressed, else right (down); an even difference
// is split evenly and the box moves by one when pressed.
void WidenArrowBox(Integer& ALow, Integer& AHigh, Integer AExtent, bool APressed) {
  const Integer d = AExtent - (AHigh - ALow);
  if (d <= 0) return;
  Integer low = d / 2, high = d / 2;
  if (d % 2 != 0) {
    (APressed ? low : high) += 1;
  } else if (APressed) {
    --low;
    ++high;
  }
  ALow -= low;
  AHigh += high;
}

void DrawDownArrow(TcxCanvas* ACanvas, const TcxEditButtonPaintInfo& AButton, const TRect& AContent,
                   TColor APenColor) {
  const bool pressed = AButton.State == ebsPressed;
  TRect r = AContent;
  WidenArrowBox(r.Left, r.Right, cxRectWidth(AButton.Bounds), pressed);
  if (AButton.IsInplace) WidenArrowBox(r.Top, r.Bottom, cxRectHeight(AButton.Bounds), pressed);
  if (pressed) r = cxRectOffset(r, 0, 1);
  TcxCustomLookAndFeelPainterClass painter = TcxStandardLookAndFeelPainter::StaticClass();
  if (AButton.State == ebsDisabled) {
    painter->DrawArrow(ACanvas, cxRectOffset(r, 1, 1), adDown, clBtnHighlight);
    painter->DrawArrow(ACanvas, r, adDown, clBtnShadow);
  } else {
    painter->DrawArrow(ACanvas, r, adDown, APenColor);
  }
}

void DrawGlyphContent(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, Integer AIndex,
                      const TcxEditButtonPaintInfo& AButton, const TRect& ABackground, const TRect& AContent,
                      TColor ABrushColor) {
  TBitmap* glyph = AButton.Glyph;
  const Integer gw = glyph->GetWidth(), gh = glyph->GetHeight();
  Integer x = AContent.Left + (cxRectWidth(AContent) - gw) / 2;
  Integer y = AContent.Top + (cxRectHeight(AContent) - gh) / 2;
  if (AButton.State == ebsPressed) {
    ++x;
    ++y;
  }
  TRect glyphArea;
  if (!cxRectIntersect(glyphArea, TRect(x, y, x + gw, y + gh), AContent)) return;
  const bool enabled = AButton.State != ebsDisabled;

  if (AButton.NativeState != 0) {
    // The themed part behind the glyph, drawn as it lies on the button.
    TOwned<TBitmap> bitmap(cxCreateBitmap(cxRectSize(glyphArea)));
    TOwned<TcxCanvas> canvas(New<TcxCanvas>(bitmap->GetCanvas()));
    if (TdxTheme theme = OpenTheme(AButton.IsComboButton ? totComboBox : totButton))
      ::DrawThemeBackground(theme, canvas->GetHandle(), kPushButtonPart, AButton.NativeState,
                            cxRectOffset(AButton.Bounds, -glyphArea.Left, -glyphArea.Top));
    canvas->DrawGlyph(x - glyphArea.Left, y - glyphArea.Top, glyph, enabled);
    ACanvas->Draw(glyphArea.Left, glyphArea.Top, bitmap.get());
    return;
  }
  // Composed off screen so that the glyph never flickers over a freshly
  // filled background. The bitmap's window origin is the background's
  // corner, so the background is drawn in the editor's own coordinates.
  TOwned<TBitmap> bitmap(cxCreateBitmap(cxRectSize(ABackground)));
  TOwned<TcxCanvas> canvas(New<TcxCanvas>(bitmap->GetCanvas()));
  canvas->SetWindowOrg(ABackground.TopLeft());
  AViewInfo->DrawButtonBackground(canvas.get(), AIndex, ABackground, ABrushColor);
  canvas->IntersectClipRect(glyphArea);
  canvas->DrawGlyph(x, y, glyph, enabled);
  canvas->SetWindowOrg(TPoint{0, 0});
  ACanvas->Draw(ABackground.Left, ABackground.Top, bitmap.get());
}

void DrawTextContent(TcxCanvas* ACanvas, const TcxEditPaintInfo& AInfo, const TcxEditButtonPaintInfo& AButton,
                     const TRect& AContent, TColor APenColor) {
  ACanvas->GetBrush()->SetStyle(bsClear);
  TColor color;
  if (AButton.ButtonStyle == btsHotFlat && IsPressedOrHot(AButton.State))
    color = APenColor;
  else
    color = AButton.TextColor == clDefault ? AInfo.TextColor : AButton.TextColor;
  TRect r = AButton.IsInplace ? cxRectInflate(AContent, -1, 0) : Shrunk(AContent);
  if (AButton.State == ebsDisabled) {
    ACanvas->GetFont()->SetColor(clBtnHighlight);
    ACanvas->DrawTexT(AButton.Caption, cxRectOffset(r, 1, 1), kButtonTextFlags);
    ACanvas->GetFont()->SetColor(clBtnShadow);
  } else {
    ACanvas->GetFont()->SetColor(color);
    if (AButton.State == ebsPressed) r = cxRectOffset(r, 1, 1);
  }
  ACanvas->DrawTexT(AButton.Caption, r, kButtonTextFlags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

}  // namespace

void DrawEditButtonContent(TcxCanvas* ACanvas, IcxEditPaintViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                           const TRect& ABackgroundRect, TRect AContentRect, TColor APenColor, TColor ABrushColor) {
  if (cxRectIsEmpty(ABackgroundRect)) return;
  const TcxEditButtonPaintInfo& button = AViewInfo->GetButtonPaintInfo(AButtonVisibleIndex);
  const bool glyph = button.Kind == bkGlyph && VerifyBitmap(button.Glyph);
  if (button.NativeState == 0 && !glyph)
    AViewInfo->DrawButtonBackground(ACanvas, AButtonVisibleIndex, ABackgroundRect, ABrushColor);
  switch (button.Kind) {
    case bkEllipsis: DrawEllipsis(ACanvas, button, AContentRect, APenColor); break;
    case bkDown: DrawDownArrow(ACanvas, button, AContentRect, APenColor); break;
    case bkGlyph:
      if (glyph)
        DrawGlyphContent(ACanvas, AViewInfo, AButtonVisibleIndex, button, ABackgroundRect, AContentRect,
                         ABrushColor);
      break;
    case bkText: {
      TcxEditPaintInfo info;
      AViewInfo->GetEditPaintInfo(info);
      DrawTextContent(ACanvas, info, button, AContentRect, APenColor);
      break;
    }
  }
}
