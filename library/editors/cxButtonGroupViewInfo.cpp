#include "library/editors/cxButtonGroupViewInfo.h"

#include <algorithm>
#include <climits>

#include "library/editors/cxButtonGroup.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"

ORV_REGISTER(TcxGroupBoxButtonViewInfo)
ORV_REGISTER(TcxButtonGroupViewData)
ORV_REGISTER(TcxButtonGroupViewInfo)

namespace {

const TShiftState LeftDown{ssLeft};
const TShiftState LeftDoubleDown{ssLeft, ssDouble};

bool IsLeftDown(TShiftState AShift) { return AShift == LeftDown || AShift == LeftDoubleDown; }

}  // namespace

// ---------------------------------------------------------------------------
// Button view info.

void TcxGroupBoxButtonViewInfo::DoAssign(TPersistent* Source) {
  TcxEditButtonViewInfo::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxGroupBoxButtonViewInfo*>(Source)) {
    Index = source->Index;
    Column = source->Column;
    Row = source->Row;
    NativeBackgroundTransparent = source->NativeBackgroundTransparent;
  }
}

TRect TcxGroupBoxButtonViewInfo::GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment, bool) {
  const Integer top = Bounds.Top + (Bounds.Bottom - Bounds.Top - AGlyphSize.cy) / 2;
  const Integer left = AAlignment == taRightJustify ? Bounds.Left : Bounds.Right - AGlyphSize.cx;
  return TRect(left, top, left + AGlyphSize.cx, top + AGlyphSize.cy);
}

// ---------------------------------------------------------------------------
// View data.

TcxCustomButtonGroupProperties* TcxButtonGroupViewData::GetProperties() const {
  return static_cast<TcxCustomButtonGroupProperties*>(TcxGroupBoxViewData::GetProperties());
}

bool TcxButtonGroupViewData::IsButtonNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return AreVisualStylesMustBeUsed(ALookAndFeel->GetNativeStyle(), totButton);
}

Integer TcxButtonGroupViewData::GetDrawTextFlags() {
  if (GetProperties()->GetWordWrap() && FSizeMeasuredForWidth)
    return cxAlignLeft | cxAlignVCenter | cxWordBreak | cxDontClip | cxShowPrefix;
  return cxAlignLeft | cxAlignVCenter | cxSingleLine | cxShowPrefix;
}

TRect TcxButtonGroupViewData::GetCaptionRectExtent() { return TRect(); }

TcxEditButtonStyle TcxButtonGroupViewData::GetItemButtonStyle(TcxCustomEditViewInfo* AViewInfo) {
  if (GetIsInplace()) {
    switch (GetStyle()->GetLookAndFeel()->GetKind()) {
      case lfFlat: return btsFlat;
      case lfUltraFlat: return btsUltraFlat;
      case lfOffice11: return btsOffice11;
      default: return bts3D;
    }
  }
  switch (GetStyle()->GetEditBorderStyle()) {
    case ebsUltraFlat: return btsUltraFlat;
    case ebsOffice11: return btsOffice11;
    default: break;
  }
  switch (AViewInfo->GetContainerBorderStyle()) {
    case cbsSingle:
    case cbsThick:
    case cbsFlat: return btsFlat;
    case cbsUltraFlat: return btsUltraFlat;
    case cbsOffice11: return btsOffice11;
    default: return bts3D;
  }
}

void TcxButtonGroupViewData::CalculateButtonsViewInfo(TcxCanvas*, const TRect&, const TPoint& P,
                                                      TcxMouseButton AButton, TShiftState AShift,
                                                      TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  auto* info = static_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  const Integer count = GetProperties()->GetItems()->GetCount();
  const Integer prevPressedButton = AIsMouseEvent ? info->PressedButton : -1;
  info->PressedButton = -1;
  info->HotButton = -1;
  info->CaptionDrawTextFlags = GetDrawTextFlags();
  info->SetButtonCount(count);
  if (count == 0) return;
  CalculateButtonViewInfos(info);
  CalculateButtonPositions(info);
  CalculateButtonStates(info, P, AButton, AShift, prevPressedButton);
}

void TcxButtonGroupViewData::CalculateButtonViewInfos(TcxCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  TcxCustomButtonGroupProperties* properties = GetProperties();
  const Integer perColumn = std::max(properties->GetButtonsPerColumn(), 1);
  const TcxEditButtonStyle style = GetItemButtonStyle(info);
  for (Integer i = 0; i < info->GetButtonCount(); ++i) {
    TcxGroupBoxButtonViewInfo* button = info->GetButton(i);
    button->HasBackground = info->HasBackground;
    button->ButtonStyle = style;
    button->Caption = properties->GetItems()->GetItem(i)->GetCaption();
    button->Index = i;
    button->ButtonIndex = i;
    button->Column = i / perColumn;
    button->Row = i % perColumn;
  }
}

void TcxButtonGroupViewData::CalculateButtonPositions(TcxCustomEditViewInfo* AViewInfo) {
  auto* info = static_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  TcxCustomButtonGroupProperties* properties = GetProperties();
  const Integer columns = std::max(properties->GetColumnCount(), 1);
  const Integer rows = std::max(properties->GetButtonsPerColumn(), 1);
  const TRect extent = GetClientExtent(nullptr, info);
  TcxEditMetrics metrics;
  GetEditMetrics(false, nullptr, metrics);
  const TRect& b = Bounds;
  const Integer columnWidth = (b.Right - b.Left - (extent.Left + extent.Right) + metrics.WidthCorrectionLayout -
                               (columns - 1) * metrics.ColumnSpacing) /
                              columns;
  const Integer height = b.Bottom - b.Top - extent.Top - extent.Bottom;
  const Integer rowHeight = height / rows;
  // The height the rows leave over goes half above (rounded toward zero)
  // and the rest below.
  const Integer top = (height % rows) / 2 + b.Top + extent.Top;
  for (Integer i = 0; i < info->GetButtonCount(); ++i) {
    TcxGroupBoxButtonViewInfo* button = info->GetButton(i);
    const Integer left =
        b.Left + extent.Left + (columnWidth + metrics.ColumnSpacing) * button->Column + metrics.ButtonLeftIndent;
    const Integer y = button->Row * rowHeight + top;
    button->Bounds = TRect(left, y, left + columnWidth, y + rowHeight);
    button->VisibleBounds = button->Bounds;
  }
}

void TcxButtonGroupViewData::CalculateButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                                   TcxMouseButton AButton, TShiftState AShift,
                                                   Integer APrevPressedButton) {
  auto* info = static_cast<TcxButtonGroupViewInfo*>(AViewInfo);
  TcxButtonGroupItems* items = GetProperties()->GetItems();
  const bool native = IsButtonNativeStyle(GetStyle()->GetLookAndFeel());
  const TcxEditButtonTransparency transparency = GetStyle()->GetButtonTransparency();
  const bool activeOrHot = ContainerState.Contains(csActive) || ContainerState.Contains(csHotTrack);
  const bool transparent = transparency == ebtAlways || (transparency == ebtInactive && !activeOrHot);
  const Integer captureButton = GetCaptureButtonVisibleIndex();
  for (Integer i = 0; i < info->GetButtonCount(); ++i) {
    TcxGroupBoxButtonViewInfo* button = info->GetButton(i);
    button->Native = native;
    button->Transparent = transparent;
    const TcxEditButtonState prevState = button->State;
    TcxEditButtonState state = ebsNormal;
    if (!Enabled || !items->GetItem(i)->GetEnabled()) {
      state = ebsDisabled;
    } else {
      const bool pressed = IsButtonPressed(info, i);
      if (pressed || (!IsDesigning && cxRectPtIn(button->Bounds, P))) {
        const bool capturePress =
            AButton == cxmbNone && AShift.Contains(ssLeft) && prevState == ebsNormal && i == captureButton;
        const bool held = prevState == ebsPressed && AShift.Contains(ssLeft);
        if (pressed) {
          state = ebsPressed;
        } else if (AShift.Empty() && !capturePress) {
          state = ebsSelected;
          info->HotButton = i;
        } else if (capturePress && CanPressButton(info, i)) {
          state = ebsPressed;
        } else if (IsLeftDown(AShift) && ((AButton == cxmbLeft && CanPressButton(info, i)) || i == APrevPressedButton)) {
          state = ebsPressed;
        } else if (held) {
          state = ebsPressed;
        }
      }
    }
    if (state == ebsPressed) info->PressedButton = i;
    button->State = state;
    CalculateButtonNativeState(info, button);
  }
}

TSize TcxButtonGroupViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                              const TcxEditSizeProperties& AEditSizeProperties,
                                                              TSize& MinContentSize,
                                                              TcxCustomEditViewInfo* AViewInfo) {
  MinContentSize = TSize{0, 0};
  TcxCustomButtonGroupProperties* properties = GetProperties();
  TcxButtonGroupItems* items = properties->GetItems();
  const Integer count = items->GetCount();
  const bool widthGiven = AEditSizeProperties.Width >= 0;
  FSizeMeasuredForWidth = widthGiven;
  ACanvas->SetFont(GetStyle()->GetVisibleFont());
  const TSize correction = GetEditContentSizeCorrection();
  TcxEditMetrics metrics;
  GetEditMetrics(widthGiven, ACanvas, metrics);
  Integer rowHeight = ACanvas->TextHeight("Zg") + correction.cy;
  if (count == 0) return TSize{widthGiven ? AEditSizeProperties.Width : 0, rowHeight};

  const Integer columns = std::max(properties->GetColumnCount(), 1);
  const Integer rows = std::max(properties->GetButtonsPerColumn(), 1);
  TSize size;
  if (widthGiven) {
    size.cx = AEditSizeProperties.Width;
    const Integer captionWidth =
        std::max(1, (AEditSizeProperties.Width - ContentOffset.Left - ContentOffset.Right +
                     metrics.WidthCorrectionFixed - (columns - 1) * metrics.ColumnSpacing) /
                            columns -
                        metrics.GlyphWidth - metrics.GlyphTextGapFixed);
    if (properties->GetWordWrap()) {
      const Integer flags = (GetDrawTextFlags() & ~cxAlignVCenter) | cxAlignTop;
      for (Integer i = 0; i < count; ++i) {
        const AnsiString& caption = items->GetItem(i)->GetCaption();
        if (caption.empty()) continue;
        TRect r(0, 0, captionWidth, INT_MAX);
        ACanvas->TextExtent(caption, r, flags);
        rowHeight = std::max(rowHeight, r.Bottom - r.Top + correction.cy);
      }
    }
    size.cy = rowHeight * rows;
    if (!AIsInplace) {
      const TRect extent = GetClientExtent(ACanvas, AViewInfo);
      size.cy += extent.Top + extent.Bottom;
    }
  } else {
    Integer widest = 0;
    for (Integer i = 0; i < count; ++i) widest = std::max(widest, ACanvas->TextWidth(items->GetItem(i)->GetCaption()));
    size.cx = columns * (widest + metrics.GlyphTextGapAuto + metrics.GlyphWidth) +
              (columns - 1) * metrics.ColumnSpacing + metrics.WidthCorrectionAuto;
    size.cy = std::max(metrics.GlyphHeight, rowHeight) * rows;
  }
  return size;
}

// ---------------------------------------------------------------------------
// View info.

TcxEditButtonViewInfoClass TcxButtonGroupViewInfo::GetButtonViewInfoClass() {
  return TcxGroupBoxButtonViewInfo::StaticClass();
}

TSize TcxButtonGroupViewInfo::GetGlyphSize() { return GlyphSize; }

void TcxButtonGroupViewInfo::DrawEditButton(TcxCanvas* ACanvas, Integer AButtonVisibleIndex) {
  TcxGroupBoxButtonViewInfo* button = GetButton(AButtonVisibleIndex);
  const TRect glyphRect = button->GetGlyphRect(GetGlyphSize(), CaptionAlignment, IsDBEditPaintCopyDrawing);
  if (!IsDBEditPaintCopyDrawing)
    DrawEditBackground(ACanvas, button->Bounds, glyphRect, IsButtonGlypthTransparent(button));
  DrawButtonGlyph(ACanvas, button, glyphRect);
  DrawButtonCaption(ACanvas, button, glyphRect);
}
