#include "library/editors/cxGroupBoxViewInfo.h"

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/cxGroupBox.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"

using namespace win;

ORV_REGISTER(TcxGroupBoxViewData)
ORV_REGISTER(TcxGroupBoxViewInfo)

namespace {

// The group box of the theme's button class, and its states.
constexpr int kGroupBoxPart = 4;
constexpr int kGroupBoxNormal = 1;
constexpr int kGroupBoxDisabled = 2;

// Room between a caption and the frame's corner.
constexpr Integer kCaptionIndent = 8;

int GroupBoxThemeState(bool AEnabled) { return AEnabled ? kGroupBoxNormal : kGroupBoxDisabled; }

}  // namespace

// ---------------------------------------------------------------------------
// View data.

TcxCustomGroupBox* TcxGroupBoxViewData::GetGroupBox() const {
  return Edit ? dynamic_cast<TcxCustomGroupBox*>(Edit->GetEditControl()) : nullptr;
}

TcxCaptionAlignment TcxGroupBoxViewData::GetAlignment() const {
  TcxCustomGroupBox* box = GetGroupBox();
  return box ? box->GetAlignment() : alTopLeft;
}

Integer TcxGroupBoxViewData::GetCaptionLineHeight() {
  TcxCustomGroupBox* box = GetGroupBox();
  TFont* font = box && box->GetCaptionFont() ? box->GetCaptionFont() : GetStyle()->GetVisibleFont();
  return cxScreenCanvas()->FontHeight(font);
}

TcxContainerState TcxGroupBoxViewData::GetContainerState(const TRect&, const TPoint&, TcxMouseButton, TShiftState,
                                                         bool) {
  return Enabled ? TcxContainerState{csNormal} : TcxContainerState{csDisabled};
}

bool TcxGroupBoxViewData::IsNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return AreVisualStylesMustBeUsed(ALookAndFeel->GetNativeStyle(), totButton);
}

bool TcxGroupBoxViewData::HasShadow() {
  const TcxCaptionAlignment alignment = GetAlignment();
  if (IsBottomCaption(alignment) || IsRightCaption(alignment)) return false;
  return TcxCustomEditViewData::HasShadow();
}

TColor TcxGroupBoxViewData::GetBorderColor() {
  const TcxEditBorderStyle style = GetStyle()->GetEditBorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return GetStyle()->GetBorderColor();
  return Enabled ? GetEditBorderHighlightColor(style == ebsOffice11) : clBtnShadow;
}

TRect TcxGroupBoxViewData::GetBorderExtent() {
  TRect result = TcxCustomEditViewData::GetBorderExtent();
  const TcxCaptionAlignment alignment = GetAlignment();
  if (GetIsInplace() || alignment == alCenterCenter) return result;
  const Integer q = GetCaptionLineHeight();
  if (IsTopCaption(alignment)) result.Top = q / 2 + 1;
  if (IsBottomCaption(alignment)) result.Bottom = q / 2 + 1;
  if (IsLeftCaption(alignment)) result.Left = q / 2;
  if (IsRightCaption(alignment)) result.Right = q / 2;
  return result;
}

TRect TcxGroupBoxViewData::GetClientExtent(TcxCanvas*, TcxCustomEditViewInfo*) {
  TRect result = GetBorderExtent();
  const TcxCaptionAlignment alignment = GetAlignment();
  if (GetIsInplace() || alignment == alCenterCenter) return result;
  const Integer side = GetCaptionLineHeight() + 3;
  if (IsTopCaption(alignment)) result.Top = side;
  if (IsBottomCaption(alignment)) result.Bottom = side;
  if (IsLeftCaption(alignment)) result.Left = side;
  if (IsRightCaption(alignment)) result.Right = side;
  return result;
}

TRect TcxGroupBoxViewData::GetCaptionRect(TcxCanvas* ACanvas) {
  TcxCustomGroupBox* box = GetGroupBox();
  if (!box || GetIsInplace() || box->GetVisibleCaption().empty()) return TRect();
  const AnsiString& caption = box->GetVisibleCaption();
  const TcxCaptionAlignment alignment = box->GetAlignment();
  const bool vertical = IsVerticalCaption(alignment);

  ACanvas->SetFont(box->GetCaptionFont());
  TRect r(kCaptionIndent, 0, 0, ACanvas->TextHeight("Qq"));
  UINT flags = static_cast<UINT>(box->DrawTextBiDiModeFlags(DT_SINGLELINE)) | DT_CALCRECT;
  if (vertical) flags |= DT_NOPREFIX;
  RECT measured = r;
  DrawTextA(ACanvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &measured, flags);
  r = measured;

  const Integer w = r.Right - r.Left, h = r.Bottom - r.Top;
  const Integer s = HasShadow() ? cxContainerShadowWidth : 0;
  const Integer width = Bounds.Right - Bounds.Left, height = Bounds.Bottom - Bounds.Top;
  switch (alignment) {
    case alLeftTop: return TRect(-1, kCaptionIndent, h - 1, kCaptionIndent + w);
    case alLeftCenter: {
      const Integer bottom = (height - s) - (height - s - w) / 2;
      return TRect(-1, bottom - w, h - 1, bottom);
    }
    case alLeftBottom: {
      const Integer bottom = height - s - kCaptionIndent;
      return TRect(-1, bottom - w, h - 1, bottom);
    }
    case alRightTop: return TRect(width - h + 1, kCaptionIndent, width + 1, kCaptionIndent + w);
    case alRightCenter: {
      const Integer top = (height - w) / 2;
      return TRect(width - h + 1, top, width + 1, top + w);
    }
    case alRightBottom: return TRect(width - h + 1, height - kCaptionIndent - w, width + 1, height - kCaptionIndent);
    default: break;
  }
  switch (alignment) {
    case alTopCenter:
    case alBottomCenter:
    case alCenterCenter: r = cxRectOffset(r, (width - s - w) / 2 - r.Left, 0); break;
    case alTopRight:
    case alBottomRight: r = cxRectOffset(r, width - r.Right - r.Left - s, 0); break;
    default: break;
  }
  if (IsBottomCaption(alignment)) r = cxRectOffset(TRect(r.Left, height - r.Bottom, r.Right, height - r.Top), 0, -2);
  if (alignment == alCenterCenter) r = cxRectOffset(r, 0, (height - s - h) / 2 - r.Top);
  return r;
}

void TcxGroupBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                    TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                    bool AIsMouseEvent) {
  auto* info = static_cast<TcxGroupBoxViewInfo*>(AViewInfo);
  info->IsDesigning = IsDesigning;
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  info->Alignment = GetAlignment();
  TcxCustomGroupBox* box = GetGroupBox();
  info->Ctl3D = !box || box->GetCtl3D();
  if (GetIsInplace() || !box) {
    info->Caption.clear();
    info->CaptionFont = nullptr;
    info->CaptionRect = TRect();
    info->CaptionLineHeight = 0;
    return;
  }
  box->CalculateCaptionFont();
  box->CalculateVisibleCaption();
  info->Caption = box->GetVisibleCaption();
  info->CaptionFont = box->GetCaptionFont();
  info->CaptionLineHeight = GetCaptionLineHeight();
  info->CaptionRect = GetCaptionRect(ACanvas);
  info->SetCaptionBitmapSize();
}

// ---------------------------------------------------------------------------
// View info.

TcxGroupBoxViewInfo::~TcxGroupBoxViewInfo() { FreeAndNil(CaptionBitmap); }

void TcxGroupBoxViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  CaptionRect = cxRectOffset(CaptionRect, DX, DY);
}

void TcxGroupBoxViewInfo::SetCaptionBitmapSize() {
  if (cxRectIsEmpty(CaptionRect)) return;
  if (!CaptionBitmap) CaptionBitmap = cxCreateBitmap(1, 1);
  const Integer w = CaptionRect.Right - CaptionRect.Left, h = CaptionRect.Bottom - CaptionRect.Top;
  if (CaptionBitmap->GetWidth() != w || CaptionBitmap->GetHeight() != h) CaptionBitmap->SetSize(w, h);
}

void TcxGroupBoxViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  if (IsInplace) {
    if (!Edit)
      TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
    else if (IsCustomBackground())
      DrawBackground(ACanvas);
    else
      cxEditFillRect(ACanvas, Bounds, BackgroundColor);
    return;
  }
  {
    const HDC dc = ACanvas->GetHandle();
    const int saved = SaveDC(dc);
    orv::ScopeExit restore([dc, saved] { RestoreDC(dc, saved); });
    if (!cxRectIsEmpty(CaptionRect)) ACanvas->ExcludeClipRect(CaptionRect);
    DrawFrame(ACanvas);
  }
  DrawCaption(ACanvas);
  if (IsDBEditPaintCopyDrawing) DrawPaintCopyButtons(ACanvas);
}

void TcxGroupBoxViewInfo::DrawControlBackground(TcxCanvas* ACanvas, const TRect& R) {
  TWinControl* control = Edit ? Edit->GetEditControl() : nullptr;
  if (control && Edit->IsTransparent())
    cxDrawTransparentControlBackground(control, ACanvas->GetCanvas(), R);
  else
    cxEditFillRect(ACanvas, R, BackgroundColor);
}

void TcxGroupBoxViewInfo::DrawFrame(TcxCanvas* ACanvas) {
  if (NativeStyle)
    DrawNativeFrame(ACanvas);
  else
    DrawStandardFrame(ACanvas);
}

void TcxGroupBoxViewInfo::DrawNativeFrame(TcxCanvas* ACanvas) {
  TdxTheme theme = OpenTheme(totButton);
  const int state = GroupBoxThemeState(Enabled);
  TWinControl* control = Edit ? Edit->GetEditControl() : nullptr;
  if (control && Edit->IsTransparent())
    cxDrawTransparentControlBackground(control, ACanvas->GetCanvas(), Bounds);
  else if (control && Edit->IsNativeBackground() && theme &&
           ::IsThemeBackgroundPartiallyTransparent(theme, kGroupBoxPart, state))
    cxDrawThemeParentBackground(control, ACanvas->GetCanvas(), Bounds);
  else
    cxEditFillRect(ACanvas, Bounds, BackgroundColor);
  if (static_cast<TcxContainerBorderStyle>(BorderStyle) == cbsNone || !theme) return;
  if (Alignment != alCenterCenter && !cxRectIsEmpty(CaptionRect)) ACanvas->ExcludeClipRect(CaptionRect);
  TRect r = Bounds;
  const Integer half = CaptionLineHeight / 2;
  if (IsTopCaption(Alignment)) r.Top = half;
  if (IsBottomCaption(Alignment)) r.Bottom -= half;
  if (IsLeftCaption(Alignment)) r.Left = half;
  if (IsRightCaption(Alignment)) r.Right -= half;
  ::DrawThemeBackground(theme, ACanvas->GetHandle(), kGroupBoxPart, state, r);
}

void TcxGroupBoxViewInfo::DrawStandardFrame(TcxCanvas* ACanvas) {
  const TcxContainerBorderStyle style = GetContainerBorderStyle();
  TRect r = BorderRect;
  ExtendRectByBorders(r, GetContainerBorderWidth(style), Edges);
  switch (style) {
    case cbsSingle: ACanvas->FrameRect(r, BorderColor, 1, Edges, true); break;
    case cbsThick: ACanvas->FrameRect(r, BorderColor, 2, Edges, true); break;
    case cbsFlat:
      ACanvas->FrameRect(r, clBtnShadow, 1, Edges, true);
      ACanvas->FrameRect(cxRectInflate(r, -1, -1), clBtnHighlight, 1, Edges, true);
      break;
    case cbs3D:
      if (Ctl3D) {
        // An etched line: the shadow, and the highlight one pixel down
        // and right of it.
        const TRect shadow(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
        ACanvas->FrameRect(shadow, clBtnShadow, 1, Edges, true);
        ACanvas->FrameRect(cxRectOffset(shadow, 1, 1), clBtnHighlight, 1, Edges, true);
      } else {
        ACanvas->FrameRect(r, clWindowFrame, 1, Edges, true);
        ACanvas->FrameRect(cxRectInflate(r, -1, -1), BackgroundColor, 1, Edges, true);
      }
      break;
    default: break;
  }
  if (Shadow) DrawContainerShadow(ACanvas, r);
  DrawControlBackground(ACanvas, Bounds);
}

TColor TcxGroupBoxViewInfo::GetCaptionTextColor() {
  if (!NativeStyle) return TextColor;
  COLORREF color = ColorToRGB(TextColor);
  if (TdxTheme theme = OpenTheme(totButton))
    ::GetThemeColor(theme, kGroupBoxPart, GroupBoxThemeState(Enabled), TMT_TEXTCOLOR, &color);
  return static_cast<TColor>(color);
}

void TcxGroupBoxViewInfo::DrawCaption(TcxCanvas* ACanvas) {
  if (cxRectIsEmpty(CaptionRect) || !CaptionBitmap || !CaptionFont) return;
  SetCaptionBitmapSize();
  TcxCanvas canvas(CaptionBitmap->GetCanvas());
  const HDC dc = canvas.GetHandle();
  const TPoint origin = canvas.GetWindowOrg();
  canvas.SetWindowOrg(CaptionRect.TopLeft());
  orv::ScopeExit restoreOrigin([&] { canvas.SetWindowOrg(origin); });

  const bool transparent = Edit && Edit->IsTransparent();
  if (transparent) {
    cxDrawTransparentControlBackground(Edit->GetEditControl(), canvas.GetCanvas(), CaptionRect);
  } else {
    cxEditFillRect(&canvas, CaptionRect, BackgroundColor);
  }
  const HFONT previousFont = SelectObject(dc, CaptionFont->GetHandle());
  const COLORREF previousColor = SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(GetCaptionTextColor())));
  const COLORREF previousBack = SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(BackgroundColor)));
  const int previousMode = SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
  if (IsVerticalCaption(Alignment)) {
    const TPoint at = IsLeftCaption(Alignment) ? TPoint(CaptionRect.Left, CaptionRect.Bottom - 1)
                                               : TPoint(CaptionRect.Right, CaptionRect.Top + 1);
    const RECT clip = CaptionRect;
    ExtTextOutA(dc, at.X, at.Y, ETO_CLIPPED | (transparent ? 0u : ETO_OPAQUE), &clip, Caption.c_str(),
                static_cast<UINT>(Caption.size()), nullptr);
  } else {
    RECT r = CaptionRect;
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, Caption.c_str(), static_cast<int>(Caption.size()), &r, DT_SINGLELINE);
  }
  SetBkMode(dc, previousMode);
  SetBkColor(dc, previousBack);
  SetTextColor(dc, previousColor);
  SelectObject(dc, previousFont);

  BitBlt(ACanvas->GetHandle(), CaptionRect.Left, CaptionRect.Top, CaptionRect.Right - CaptionRect.Left,
         CaptionRect.Bottom - CaptionRect.Top, dc, CaptionRect.Left, CaptionRect.Top, SRCCOPY);
}
