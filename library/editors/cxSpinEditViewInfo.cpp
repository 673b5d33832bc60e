#include "library/editors/cxSpinEditViewInfo.h"

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxThemeManager.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxSpinEditViewData)
ORV_REGISTER(TcxSpinEditViewInfo)

namespace {

// The theme's spin parts.
constexpr int kSpinUp = 1, kSpinDown = 2, kSpinUpHorz = 3, kSpinDownHorz = 4;

// The theme state of a button state.
int SpinThemeState(TcxEditButtonState AState) {
  switch (AState) {
    case ebsDisabled: return 4;
    case ebsPressed: return 3;
    case ebsSelected: return 2;
    default: return 1;
  }
}

bool IsFastButton(Integer AIndex) { return AIndex == sebFastBackward || AIndex == sebFastForward; }
bool IsBackwardButton(Integer AIndex) { return AIndex == sebBackward || AIndex == sebFastBackward; }

// The hot-flat border kinds: which sides a button draws in the shadow
// colour (the others in its face colour), so that neighbouring buttons
// share their inner edges and the group reads as one block.
const TcxBorders kHotFlatShadowSides[8] = {
    {bLeft, bTop, bBottom},         // 0: the right side joins the next button
    {bLeft, bTop, bRight, bBottom}, // 1
    {bTop, bRight, bBottom},        // 2: the left side joins the button before
    {bLeft, bTop, bRight, bBottom}, // 3
    {bTop, bRight, bBottom},        // 4
    {bRight, bBottom},              // 5: under the forward button, after a fast one
    {bLeft, bTop, bRight, bBottom}, // 6
    {bLeft, bRight, bBottom},       // 7: under the forward button
};

// The kind by position (rows: two buttons, then four; columns: the
// positions) and button.
Integer HotFlatBorderKind(TcxSpinEditButtonsPosition APosition, bool AFourButtons, Integer AButton) {
  static const Integer kinds[2][3][4] = {
      {{1, 3, -1, -1}, {3, 2, -1, -1}, {7, 6, -1, -1}},
      {{1, 3, 0, 2}, {2, 2, 3, 2}, {5, 4, 3, 2}},
  };
  const Integer kind = kinds[AFourButtons ? 1 : 0][APosition][AButton];
  return kind < 0 ? 1 : kind;
}

TcxArrowDirection ArrowDirection(TcxSpinEditButtonsPosition APosition, Integer AButton) {
  if (APosition == sbpVert && !IsFastButton(AButton)) return AButton == sebBackward ? adDown : adUp;
  return IsBackwardButton(AButton) ? adLeft : adRight;
}

}  // namespace

// ---------------------------------------------------------------------------
// View data.

bool TcxSpinEditViewData::IsSpinNative() {
  return AreVisualStylesMustBeUsed(GetStyle()->GetLookAndFeel()->GetNativeStyle(), totSpin);
}

bool TcxSpinEditViewData::CanPressButton(TcxCustomEditViewInfo*, Integer) { return PressedState == epsNone; }

bool TcxSpinEditViewData::IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) {
  return AButtonVisibleIndex + 1 == static_cast<Integer>(PressedState) &&
         AButtonVisibleIndex < AViewInfo->GetButtonCount();
}

void TcxSpinEditViewData::CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                  Integer AButtonVisibleIndex, TRect& ButtonsRect) {
  TcxCustomTextEditViewData::CalculateButtonViewInfo(ACanvas, AViewInfo, AButtonVisibleIndex, ButtonsRect);
  TcxEditButtonViewInfo* info = AViewInfo->ButtonInfos[AButtonVisibleIndex];
  info->LeftAlignment = GetProperties()->GetSpinButtons()->GetPosition() == sbpHorzLeftRight &&
                        (info->ButtonIndex == sebBackward || info->ButtonIndex == sebFastBackward);
}

void TcxSpinEditViewData::CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                Integer AButtonVisibleIndex, TRect& ButtonsRect) {
  if (AButtonVisibleIndex != 0) return;
  auto* viewInfo = static_cast<TcxSpinEditViewInfo*>(AViewInfo);
  TcxSpinEditButtons* spinButtons = GetProperties()->GetSpinButtons();
  const TcxSpinEditButtonsPosition position = spinButtons->GetPosition();
  const Integer count = AViewInfo->GetButtonCount();
  const bool fast = count == 4;
  const bool themed = IsSpinNative();
  const Integer T = themed ? 1 : 0;
  viewInfo->ButtonsPosition = position;
  viewInfo->DelimiterLine[0] = viewInfo->DelimiterLine[1] = TPoint();

  auto button = [&](Integer AIndex) -> TcxEditButtonViewInfo* {
    return AIndex < count ? AViewInfo->ButtonInfos[AIndex] : nullptr;
  };
  TRect R = ButtonsRect;
  if (R.Right - R.Left <= 0 || R.Bottom - R.Top <= 0) {
    for (TcxEditButtonViewInfo* info : AViewInfo->ButtonInfos)
      info->Bounds = info->VisibleBounds = TRect(R.Right, R.Top, R.Right, R.Bottom);
    return;
  }

  ACanvas->SetFont(GetStyle()->GetVisibleFont());
  const Integer wv = CalculateEditDefaultButtonWidth(ACanvas, *button(sebBackward));
  const Integer height = R.Bottom - R.Top;
  const TSize arrow = GetArrowSize(TSize{wv + 2, height / 2 + 2}, adUp);
  viewInfo->ArrowSize = arrow.cy;
  Integer wh;
  if (themed) {
    const TRect client = GetClientExtent(ACanvas, AViewInfo);
    const TRect buttonsExtent = GetButtonsExtent(ACanvas);
    const Integer h = GetEditContentSizeCorrection().cy + ACanvas->TextHeight("Zg") + client.Top + client.Bottom -
                      (buttonsExtent.Top + buttonsExtent.Bottom) - 1;
    wh = h / 2 + (h & 1);
  } else {
    wh = 4 * viewInfo->ArrowSize - 3;
  }
  const Integer f = 3 * wh;
  const Integer wf = f / 2 + (f & 1);

  auto takeRight = [&](Integer AIndex, Integer AWidth) {
    button(AIndex)->Bounds = TRect(R.Right - AWidth, R.Top, R.Right, R.Bottom);
    R.Right -= AWidth;
  };
  auto takeLeft = [&](Integer AIndex, Integer AWidth) {
    button(AIndex)->Bounds = TRect(R.Left, R.Top, R.Left + AWidth, R.Bottom);
    R.Left += AWidth;
  };

  if (fast) takeRight(sebFastForward, wf);
  if (position == sbpVert) {
    const Integer split = R.Top + (height - T) / 2;
    button(sebForward)->Bounds = TRect(R.Right - wv, R.Top, R.Right, split);
    button(sebBackward)->Bounds = TRect(R.Right - wv, split + T, R.Right, R.Bottom);
    R.Right -= wv;
  } else {
    takeRight(sebForward, wh);
    R.Right -= T;
  }
  if (position == sbpHorzLeftRight) {
    if (fast) takeLeft(sebFastBackward, wf);
    takeLeft(sebBackward, wh);
  } else {
    if (position == sbpHorzRight) takeRight(sebBackward, wh);
    if (fast) takeRight(sebFastBackward, wf);
  }

  if (themed) {
    if (position == sbpHorzRight) {
      const TRect& b = button(sebBackward)->Bounds;
      viewInfo->DelimiterLine[0] = TPoint(b.Right, b.Top);
      viewInfo->DelimiterLine[1] = TPoint(b.Right, b.Bottom - 1);
    } else if (position == sbpVert) {
      const TRect& b = button(sebForward)->Bounds;
      viewInfo->DelimiterLine[0] = TPoint(b.Left, b.Bottom);
      viewInfo->DelimiterLine[1] = TPoint(b.Right - 1, b.Bottom);
    }
  }
  for (Integer i = 0; i < count; ++i) {
    TcxEditButtonViewInfo* info = button(i);
    if (!themed)
      info->NativePart = 0;
    else if (IsFastButton(i))
      info->NativePart = i == sebFastForward ? kSpinUpHorz : kSpinDownHorz;
    else if (position == sbpVert)
      info->NativePart = i == sebForward ? kSpinUp : kSpinDown;
    else
      info->NativePart = i == sebForward ? kSpinUpHorz : kSpinDownHorz;
    cxRectIntersect(info->VisibleBounds, info->Bounds, Bounds);
  }
}

void TcxSpinEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                    TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  const TdxTheme theme = IsSpinNative() ? OpenTheme(totSpin) : nullptr;
  for (TcxEditButtonViewInfo* info : AViewInfo->ButtonInfos) {
    if (!theme || info->NativePart == 0) {
      info->NativeState = 0;
      info->NativeTransparent = false;
      continue;
    }
    info->NativeState = SpinThemeState(info->State);
    info->NativeTransparent = ::IsThemeBackgroundPartiallyTransparent(theme, info->NativePart, info->NativeState);
  }
}

// ---------------------------------------------------------------------------
// View info.

void TcxSpinEditViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxSpinEditViewInfo*>(Source)) {
    ArrowSize = source->ArrowSize;
    ButtonsPosition = source->ButtonsPosition;
    DelimiterLine[0] = source->DelimiterLine[0];
    DelimiterLine[1] = source->DelimiterLine[1];
  }
  TcxCustomTextEditViewInfo::Assign(Source);
}

void TcxSpinEditViewInfo::Offset(Integer DX, Integer DY) {
  TcxCustomTextEditViewInfo::Offset(DX, DY);
  for (TPoint& p : DelimiterLine) {
    p.X += DX;
    p.Y += DY;
  }
}

void TcxSpinEditViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  TcxCustomTextEditViewInfo::InternalPaint(ACanvas);
  if (DelimiterLine[0] == DelimiterLine[1] || GetButtonCount() == 0 || ButtonInfos[0]->NativeState == 0) return;
  const win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  orv::ScopeExit restore([&] { win::RestoreDC(dc, saved); });
  ACanvas->IntersectClipRect(Bounds);
  const TRect line(DelimiterLine[0].X, DelimiterLine[0].Y, DelimiterLine[1].X + 1, DelimiterLine[1].Y + 1);
  cxEditFillRect(ACanvas, line, BackgroundColor);
}

void TcxSpinEditViewInfo::DrawButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex,
                                           TcxEditButtonStyle AButtonStyle, const TRect& R) {
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  if (info->NativeState != 0) {
    if (TdxTheme theme = OpenTheme(totSpin))
      ::DrawThemeBackground(theme, ACanvas->GetHandle(), info->NativePart, info->NativeState, info->Bounds);
    return;
  }
  switch (AButtonStyle) {
    case bts3D:
    case btsFlat:
    case btsSimple: DrawEditButtonBorder(ACanvas, this, AButtonVisibleIndex, AButtonStyle, R); break;
    case btsHotFlat: DrawHotFlatButtonBorder(ACanvas, AButtonVisibleIndex, R); break;
    case btsUltraFlat:
    case btsOffice11: DrawUltraFlatButtonBorder(ACanvas, AButtonVisibleIndex, AButtonStyle == btsOffice11, R); break;
    case btsDefault: DrawButtonContent(ACanvas, AButtonVisibleIndex, R, R, clBtnText, clBtnFace); break;
  }
}

void TcxSpinEditViewInfo::DrawHotFlatButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex, TRect R) {
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  const bool active = info->State == ebsPressed || info->State == ebsSelected;
  TColor face;
  if (info->State == ebsPressed)
    face = clBtnText;
  else if (info->Transparent)
    face = info->BackgroundColor;
  else
    face = info->State == ebsSelected ? clBtnShadow : clBtnFace;
  const TColor arrow = active ? clBtnHighlight : clBtnText;
  const Integer kind = HotFlatBorderKind(ButtonsPosition, GetButtonCount() == 4, info->ButtonIndex);
  const TcxBorders shadow = kHotFlatShadowSides[kind];
  // Side by side in the order DrawButtonBorder moves them in.
  for (TcxBorder side : {bLeft, bRight, bTop, bBottom})
    ::DrawButtonBorder(ACanvas, R, TcxBorders{side}, shadow.Contains(side) ? clBtnShadow : face);
  DrawButtonContent(ACanvas, AButtonVisibleIndex, R, R, arrow, face);
}

void TcxSpinEditViewInfo::DrawUltraFlatButtonBorder(TcxCanvas* ACanvas, Integer AButtonVisibleIndex,
                                                    bool AIsOffice11, TRect R) {
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  const bool active = info->State == ebsPressed || info->State == ebsSelected;
  TColor face;
  if (info->Transparent)
    face = info->BackgroundColor;
  else if (info->State == ebsDisabled)
    face = clBtnFace;
  else if (!active)
    face = AIsOffice11 ? dxOffice11DockColor1 : clBtnFace;
  else
    face = GetEditButtonHighlightColor(info->State == ebsPressed, AIsOffice11);
  const TColor frame = GetEditBorderHighlightColor(AIsOffice11);
  TRect background = R;
  if (!active) {
    // A frame of the editor's own colour: the buttons stand apart from the
    // text and from each other without a visible border.
    if (!Transparent) ACanvas->FrameRect(R, info->BackgroundColor);
    R = cxRectInflate(R, -1, -1);
    background = R;
  } else if (IsInplace && !PaintOptions.Contains(epoHasExternalBorder)) {
    ACanvas->FrameRect(R, frame);
    R = cxRectInflate(R, -1, -1);
    background = R;
  } else {
    // The highlight joins the editor's own highlighted border: a line only
    // on the sides that do not lie on it.
    if (R.Left != BorderRect.Left) ::DrawButtonBorder(ACanvas, R, TcxBorders{bLeft}, frame);
    if (R.Right != BorderRect.Right) ::DrawButtonBorder(ACanvas, R, TcxBorders{bRight}, frame);
    if (R.Top != BorderRect.Top) ::DrawButtonBorder(ACanvas, R, TcxBorders{bTop}, frame);
    if (R.Bottom != BorderRect.Bottom) ::DrawButtonBorder(ACanvas, R, TcxBorders{bBottom}, frame);
    background = R;
  }
  DrawButtonContent(ACanvas, AButtonVisibleIndex, background, R, clBtnText, face);
}

void TcxSpinEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, Integer AButtonVisibleIndex,
                                            const TRect& ABackgroundRect, const TRect& AContentRect, TColor APenColor,
                                            TColor ABrushColor) {
  if (cxRectIsEmpty(ABackgroundRect)) return;
  TcxEditButtonViewInfo* info = ButtonInfos[AButtonVisibleIndex];
  DrawButtonBackground(ACanvas, AButtonVisibleIndex, ABackgroundRect, ABrushColor);
  const Integer button = info->ButtonIndex;
  const TcxArrowDirection direction = ArrowDirection(ButtonsPosition, button);
  const bool fast = IsFastButton(button);
  const win::HDC dc = ACanvas->GetHandle();
  const int saved = win::SaveDC(dc);
  orv::ScopeExit restore([&] { win::RestoreDC(dc, saved); });
  ACanvas->IntersectClipRect(AContentRect);
  if (info->State == ebsDisabled) {
    DrawArrow(ACanvas, ArrowSize, cxRectOffset(AContentRect, 1, 1), direction, fast, false, clBtnHighlight);
    DrawArrow(ACanvas, ArrowSize, AContentRect, direction, fast, false, clBtnShadow);
  } else {
    DrawArrow(ACanvas, ArrowSize, AContentRect, direction, fast, info->State == ebsPressed, APenColor);
  }
}
