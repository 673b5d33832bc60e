#include "library/editors/cxRadioGroupViewInfo.h"

#include "library/editors/core/cxEditUtils.h"
#include "library/editors/cxRadioGroup.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeExit.h"

using namespace win;

ORV_REGISTER(TcxRadioGroupButtonViewInfo)
ORV_REGISTER(TcxCustomRadioGroupViewData)
ORV_REGISTER(TcxCustomRadioGroupViewInfo)

namespace {

// The radio button of the theme's button class; its states by edit-button
// state (disabled, normal, pressed, hot), unchecked and checked.
constexpr int kRadioButtonPart = 2;
constexpr int kRadioStates[4][2] = {{4, 8}, {1, 5}, {3, 7}, {2, 6}};

TcxButtonState ToButtonState(TcxEditButtonState AState) {
  switch (AState) {
    case ebsDisabled: return cxbsDisabled;
    case ebsPressed: return cxbsPressed;
    case ebsSelected: return cxbsHot;
    default: return cxbsNormal;
  }
}

TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle AStyle) {
  switch (AStyle) {
    case btsFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Button view info.

TRect TcxRadioGroupButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment, bool AIsPaintCopy) {
  TRect r = TcxGroupBoxButtonViewInfo::GetGlyphRect(AGlyphSize, AAlignment, AIsPaintCopy);
  if (!Native && AIsPaintCopy && AAlignment == taRightJustify) r = cxRectOffset(r, 1, 0);
  return r;
}

// ---------------------------------------------------------------------------
// View data.

TcxCustomRadioGroupProperties* TcxCustomRadioGroupViewData::GetProperties() const {
  return static_cast<TcxCustomRadioGroupProperties*>(TcxButtonGroupViewData::GetProperties());
}

TSize TcxCustomRadioGroupViewData::GetGlyphSize() {
  const bool native = IsButtonNativeStyle(GetStyle()->GetLookAndFeel());
  const TcxCustomLookAndFeelPainterClass painter(native ? TcxWinXPLookAndFeelPainter::StaticClass()
                                                        : TcxCustomLookAndFeelPainter::StaticClass());
  return painter->RadioButtonSize();
}

void TcxCustomRadioGroupViewData::GetEditMetrics(bool, TcxCanvas* ACanvas, TcxEditMetrics& AMetrics) {
  const Integer inplace = GetIsInplace() ? 1 : 0;
  AMetrics.ButtonLeftIndent = 6 - 5 * inplace;
  AMetrics.WidthCorrectionLayout = 4 * inplace - 6;
  AMetrics.ColumnSpacing = 0;
  if (!ACanvas) return;
  const bool native = IsButtonNativeStyle(GetStyle()->GetLookAndFeel());
  const TSize glyph = GetGlyphSize();
  AMetrics.GlyphWidth = glyph.cx;
  AMetrics.GlyphHeight = glyph.cy;
  AMetrics.GlyphTextGapAuto = native ? 5 : 7;
  AMetrics.GlyphTextGapFixed = native ? 1 : 3;
  AMetrics.WidthCorrectionAuto = 6 - 5 * inplace;
  AMetrics.WidthCorrectionFixed = inplace - 6;
}

TRect TcxCustomRadioGroupViewData::GetCaptionRectExtent() {
  return IsButtonNativeStyle(GetStyle()->GetLookAndFeel()) ? TRect(3, -1, 0, -1) : TRect(5, 0, 1, 0);
}

void TcxCustomRadioGroupViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                            TcxMouseButton AButton, TShiftState AShift,
                                            TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  info->CaptionAlignment = taRightJustify;
  TcxButtonGroupViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  info->GlyphSize = GetGlyphSize();
  info->CaptionRectExtent = GetCaptionRectExtent();
  info->SetBackgroundColor(GetStyle()->GetColor());
}

void TcxCustomRadioGroupViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AValue,
                                                       TcxCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  // A preview of the kind shows its first item checked.
  info->ItemIndex = PreviewMode ? 0 : GetProperties()->GetRadioGroupItemIndex(AValue);
  // The themed state tells checked from unchecked.
  for (Integer i = 0; i < info->GetButtonCount(); ++i) CalculateButtonNativeState(info, info->GetButton(i));
}

void TcxCustomRadioGroupViewData::CalculateButtonNativeState(TcxCustomEditViewInfo* AViewInfo,
                                                             TcxGroupBoxButtonViewInfo* AButtonViewInfo) {
  AButtonViewInfo->NativePart = 0;
  AButtonViewInfo->NativeState = 0;
  AButtonViewInfo->NativeBackgroundTransparent = false;
  if (!AButtonViewInfo->Native) return;
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  const bool checked = info->ItemIndex == AButtonViewInfo->Index;
  AButtonViewInfo->NativePart = kRadioButtonPart;
  AButtonViewInfo->NativeState = kRadioStates[AButtonViewInfo->State][checked ? 1 : 0];
  if (TdxTheme theme = OpenTheme(totButton))
    AButtonViewInfo->NativeBackgroundTransparent =
        ::IsThemeBackgroundPartiallyTransparent(theme, kRadioButtonPart, AButtonViewInfo->NativeState) != FALSE;
}

// ---------------------------------------------------------------------------
// View info.

TcxEditButtonViewInfoClass TcxCustomRadioGroupViewInfo::GetButtonViewInfoClass() {
  return TcxRadioGroupButtonViewInfo::StaticClass();
}

bool TcxCustomRadioGroupViewInfo::IsButtonGlypthTransparent(TcxGroupBoxButtonViewInfo* AButton) {
  return IsBackgroundTransparent() || (AButton->Native && AButton->NativeBackgroundTransparent);
}

void TcxCustomRadioGroupViewInfo::DrawButtonGlyph(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                                                  const TRect& AGlyphRect) {
  const HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  orv::ScopeExit restore([dc, saved] { RestoreDC(dc, saved); });
  ACanvas->IntersectClipRect(AButton->Bounds);
  if (AButton->Native && AButton->NativeState != 0) {
    if (TdxTheme theme = OpenTheme(totButton))
      ::DrawThemeBackground(theme, dc, kRadioButtonPart, AButton->NativeState, AGlyphRect);
    return;
  }
  const TcxCustomLookAndFeelPainterClass painter = GetPainterClass(false, KindOfButtonStyle(AButton->ButtonStyle));
  const bool transparent = IsBackgroundTransparent() || AButton->Transparent;
  painter->DrawRadioButton(ACanvas, AGlyphRect.Left, AGlyphRect.Top, ToButtonState(AButton->State),
                           ItemIndex == AButton->Index, false, transparent ? clDefault : BackgroundColor,
                           IsDesigning);
}

void TcxCustomRadioGroupViewInfo::DrawButtonCaption(TcxCanvas* ACanvas, TcxGroupBoxButtonViewInfo* AButton,
                                                    const TRect& AGlyphRect) {
  if (Font) ACanvas->SetFont(Font);
  ACanvas->GetFont()->SetColor(TextColor);
  TRect r = AButton->Bounds;
  r.Left = AGlyphRect.Right;
  r = TRect(r.Left + CaptionRectExtent.Left, r.Top + CaptionRectExtent.Top, r.Right - CaptionRectExtent.Right,
            r.Bottom - CaptionRectExtent.Bottom);
  if (IsDBEditPaintCopyDrawing) r = cxRectOffset(r, 0, -1);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawTexT(AButton->Caption, r, CaptionDrawTextFlags, AButton->State != ebsDisabled);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  // A focused group holds the focus on its chosen button.
  if (IsInplace || !Focused || AButton->Index != ItemIndex || AButton->Caption.empty()) return;
  TRect focus = r;
  ACanvas->TextExtent(AButton->Caption, focus, CaptionDrawTextFlags);
  focus = cxRectInflate(focus, 1, 1);
  focus.Bottom += 1;
  ACanvas->SetBrushColor(BackgroundColor);
  ACanvas->DrawFocusRect(focus);
}
