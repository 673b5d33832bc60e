// Edit view data: the layout of an editor's border, buttons and client area.
#include "library/editors/core/cxEditViewData.h"

#include <algorithm>
#include <climits>

#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TcxCustomEditViewData)

namespace {

// The edit-text part of the edit theme and its states.
constexpr int EditTextPart = 1;
constexpr int EditTextNormal = 1;
constexpr int EditTextHot = 2;
constexpr int EditTextDisabled = 4;
constexpr int EditTextFocused = 5;
constexpr int EditTextReadOnly = 6;
constexpr int ThemeFillColorProperty = 3802;

const TShiftState LeftDown{ssLeft};
const TShiftState LeftDoubleDown{ssLeft, ssDouble};

bool IsLeftDown(TShiftState AShift) { return AShift == LeftDown || AShift == LeftDoubleDown; }

// The border styles the base view data draws itself: the flat modern
// styles are a single frame in a state colour.
TcxEditBorderStyle CorrectBorderStyle(TcxEditBorderStyle AStyle) {
  return AStyle == ebsUltraFlat || AStyle == ebsOffice11 ? ebsSingle : AStyle;
}

// R with its sides moved inward by the four widths of AExtent.
TRect ShrinkRect(const TRect& R, const TRect& AExtent) {
  return TRect(R.Left + AExtent.Left, R.Top + AExtent.Top, R.Right - AExtent.Right, R.Bottom - AExtent.Bottom);
}

TRect ThemedEditContentInsets(TcxCanvas* ACanvas, int AState) {
  const TRect r(0, 0, 100, 100);
  TRect content = r;
  if (TdxTheme theme = OpenTheme(totEdit))
    ::GetThemeBackgroundContentRect(theme, ACanvas ? ACanvas->GetHandle() : nullptr, EditTextPart, AState, r,
                                    content);
  return TRect(content.Left, content.Top, r.Right - content.Right, r.Bottom - content.Bottom);
}

}  // namespace

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                             bool AIsInplace)
    : FIsInplace(AIsInplace), FProperties(AProperties), FStyle(AStyle) {}

void TcxCustomEditViewData::AfterConstruction() {
  TPersistent::AfterConstruction();
  Initialize();
  SelBackgroundColor = clDefault;
  SelTextColor = clDefault;
  InitCacheData();
}

void TcxCustomEditViewData::Initialize() {
  ContentOffset = TRect();
  Enabled = true;
}

void TcxCustomEditViewData::InitCacheData() {
  FVisibleButtonCount = FProperties->GetButtons()->GetVisibleCount();
  FIsValueSource = FProperties->GetEditValueSource(false) == evsValue;
  TcxEditAlignment* alignment = FProperties->GetAlignment();
  HorzAlignment = alignment->GetHorz();
  VertAlignment = alignment->GetVert();
  FIsNativeStyle = IsNativeStyle(FStyle->GetLookAndFeel());
  InitEditContentParams(EditContentParams);
}

void TcxCustomEditViewData::InitEditContentParams(TcxEditContentParams& AParams) {
  AParams.ExternalBorderBounds = TRect();
  AParams.Offsets = GetEditContentDefaultOffsets();
  AParams.Options = {};
  AParams.SizeCorrection.cx = 3 - (AParams.Offsets.Left + AParams.Offsets.Right);
  AParams.SizeCorrection.cy =
      FIsNativeStyle ? GetNativeInnerTextEditContentHeightCorrection(FProperties, FIsInplace) : 0;
}

TRect TcxCustomEditViewData::GetEditContentDefaultOffsets() { return EditContentDefaultOffsets[FIsInplace]; }

// --- Calculation -------------------------------------------------------------

void TcxCustomEditViewData::CalculateState(const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                                           TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                           bool AIsMouseEvent) {
  AViewInfo->ContainerState = GetContainerState(ABounds, P, AButton, AShift, AIsMouseEvent);
  IsActiveOrHot = ContainerState.Contains(csActive) || ContainerState.Contains(csHotTrack);
  if (IsDesigning || !FStyle->GetHotTrack() || FIsInplace)
    AViewInfo->HotState = chsNoHotTrack;
  else
    AViewInfo->HotState = IsActiveOrHot ? chsSelected : chsNormal;
  if (Edit) FStyle = static_cast<TcxCustomEditStyle*>(Edit->GetEditControl()->GetActiveStyle());
  if (!FIsInplace && FIsNativeStyle)
    AViewInfo->BorderStyle = static_cast<TcxEditBorderStyle>(FStyle->GetBaseStyle()->GetBorderStyle());
  else
    AViewInfo->BorderStyle = GetBorderStyle();
}

void TcxCustomEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                      TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent) {
  AShift -= TShiftState{ssShift, ssAlt, ssCtrl};
  const Integer prevBorderWidth =
      GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(AViewInfo->BorderStyle));
  CalculateState(ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  // A thinner border leaves the hot rectangle larger than the state was
  // taken for; one more pass settles it.
  if (!FIsInplace && !FIsNativeStyle &&
      prevBorderWidth > GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(AViewInfo->BorderStyle)))
    CalculateState(ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);

  AViewInfo->ContainerBorderStyle = AViewInfo->GetContainerBorderStyle();
  AViewInfo->BorderWidth = GetContainerBorderWidth(AViewInfo->ContainerBorderStyle);
  ContainerState = AViewInfo->ContainerState;
  AViewInfo->EditProperties = FProperties;

  if (FIsInplace)
    StretchButtons = ABounds.Right != INT_MAX && FProperties->GetButtonsViewStyle() != bvsNormal;
  else
    StretchButtons = FProperties->GetButtonsViewStyle() == bvsButtonsOnly;

  Bounds = ABounds;
  AViewInfo->Bounds = ABounds;
  AViewInfo->Edit = Edit;
  AViewInfo->Enabled = Enabled;
  AViewInfo->Focused = InternalFocused();
  AViewInfo->HasBackground = Edit && Edit->HasBackground();
  AViewInfo->InnerEditVisible = InnerEdit && InnerEdit->GetControl()->GetVisible();
  AViewInfo->IsDBEditPaintCopyDrawing = Edit && Edit->IsDBEditPaintCopyDrawing();
  // An editor "offers" an inner control when it hosts one (a native edit
  // inside the container); painting then leaves the text to that control.
  AViewInfo->HasInnerControl = Edit && dynamic_cast<IcxContainerInnerControl*>(Edit->GetEditControl()->GetInnerControl()) != nullptr;
  AViewInfo->IsDesigning = IsDesigning;
  AViewInfo->IsInplace = FIsInplace;
  AViewInfo->PaintOptions = GetPaintOptions();
  AViewInfo->Edges = FStyle->GetEdges();
  AViewInfo->Font = FStyle->GetDirectAccessMode() ? FStyle->GetFont() : FStyle->GetVisibleFont();
  AViewInfo->Shadow = !FIsInplace && HasShadow();
  AViewInfo->WindowHandle = WindowHandle;

  CalculateViewInfo(AViewInfo, AIsMouseEvent);
  CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);

  AViewInfo->ClientRect = ShrinkRect(ABounds, GetClientExtent(ACanvas, AViewInfo));
  if (InnerEdit) {
    TControl* control = InnerEdit->GetControl();
    AViewInfo->InnerEditRect = TRect(control->GetLeft(), control->GetTop(), control->GetLeft() + control->GetWidth(),
                                     control->GetTop() + control->GetHeight());
  } else {
    AViewInfo->InnerEditRect = AViewInfo->ClientRect;
  }

  AViewInfo->PopupBorderStyle = FStyle->GetPopupBorderStyle();
  if (AViewInfo->PopupBorderStyle == epbsDefault) {
    if (FIsInplace) {
      switch (FStyle->GetLookAndFeel()->GetKind()) {
        case lfFlat: AViewInfo->PopupBorderStyle = epbsFlat; break;
        case lfStandard: AViewInfo->PopupBorderStyle = epbsFrame3D; break;
        default: AViewInfo->PopupBorderStyle = epbsSingle; break;
      }
    } else {
      AViewInfo->PopupBorderStyle =
          AViewInfo->BorderStyle == ebsNone || AViewInfo->BorderStyle == ebsFlat ? epbsFlat : epbsSingle;
    }
  }
}

void TcxCustomEditViewData::CalculateEx(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                        TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                        bool AIsMouseEvent) {
  AViewInfo->Left = ABounds.Left;
  AViewInfo->Top = ABounds.Top;
  const TRect r(0, 0, ABounds.Right - ABounds.Left, ABounds.Bottom - ABounds.Top);
  Calculate(ACanvas, r, TPoint(P.X - ABounds.Left, P.Y - ABounds.Top), AButton, AShift, AViewInfo, AIsMouseEvent);
}

void TcxCustomEditViewData::CalculateViewInfo(TcxCustomEditViewInfo* AViewInfo, bool) {
  AViewInfo->IsNative = FIsNativeStyle;
  AViewInfo->NativeStyle = FIsNativeStyle;
  if (!FIsNativeStyle)
    AViewInfo->NativeState = 0;
  else if (!Enabled)
    AViewInfo->NativeState = EditTextDisabled;
  else if (FProperties->GetReadOnly())
    AViewInfo->NativeState = EditTextReadOnly;
  else if (InternalFocused())
    AViewInfo->NativeState = EditTextFocused;
  else if (ContainerState.Contains(csHotTrack))
    AViewInfo->NativeState = EditTextHot;
  else
    AViewInfo->NativeState = EditTextNormal;

  AViewInfo->BorderExtent = GetBorderExtent();
  AViewInfo->BorderRect = ShrinkRect(Bounds, AViewInfo->BorderExtent);
  AViewInfo->InnerRect = AViewInfo->BorderRect;
  AViewInfo->HasContentOffset = ContentOffset.Left != 0 || ContentOffset.Top != 0 || ContentOffset.Right != 0 ||
                                ContentOffset.Bottom != 0;
  if (!FIsInplace) AViewInfo->BorderColor = GetBorderColor();

  TColor fillColor, textColor;
  GetColorSettings(AViewInfo, fillColor, textColor);
  AViewInfo->TextColor = textColor;
  AViewInfo->SetBackgroundColor(fillColor);
}

void TcxCustomEditViewData::GetColorSettings(TcxCustomEditViewInfo* AViewInfo, TColor& AFillColor,
                                             TColor& ATextColor) {
  ATextColor = FStyle->GetTextColor();
  IcxContainerStyleOwner* owner = FStyle->GetContainer();
  if ((!owner || !owner->DefaultParentColor()) && AViewInfo->IsNative && !Enabled &&
      !FStyle->IsValueAssigned(csvColor)) {
    COLORREF color = ColorToRGB(FStyle->GetColor());
    if (TdxTheme theme = OpenTheme(totEdit))
      ::GetThemeColor(theme, EditTextPart, AViewInfo->NativeState, ThemeFillColorProperty, &color);
    AFillColor = static_cast<TColor>(color);
  } else {
    AFillColor = FStyle->GetColor();
  }
}

// --- Buttons -----------------------------------------------------------------

void TcxCustomEditViewData::PrepareButtonFont(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  ACanvas->SetFont(FStyle->GetVisibleFont());
  AViewInfo->PrepareCanvasFont(ACanvas);
  AViewInfo->ButtonFontPrepared = true;
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                     TcxMouseButton AButton, TShiftState AShift,
                                                     TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  FirstLeftButton = LastLeftButton = LastRightButton = FirstRightButton = -1;
  AViewInfo->ButtonFontPrepared = false;
  const Integer prevPressedButton = AIsMouseEvent ? AViewInfo->PressedButton : -1;
  AViewInfo->PressedButton = -1;
  AViewInfo->HotButton = -1;
  AViewInfo->IsButtonReallyPressed = false;
  if (FVisibleButtonCount == 0) {
    AViewInfo->SetButtonCount(0);
    return;
  }
  if (!ContainerState.Contains(csActive)) {
    const TcxEditButtonTransparency transparency = FStyle->GetButtonTransparency();
    if (transparency == ebtHideInactive ||
        (transparency == ebtHideUnselected && !ContainerState.Contains(csHotTrack))) {
      AViewInfo->SetButtonCount(0);
      return;
    }
  }

  AViewInfo->SetButtonCount(FVisibleButtonCount);
  TRect r = ShrinkRect(ABounds, GetButtonsExtent(ACanvas));
  TcxEditButtons* buttons = FProperties->GetButtons();
  const TcxEditButtonStyle buttonsStyle = GetButtonsStyle();
  Integer visibleIndex = FVisibleButtonCount - 1;
  for (Integer i = buttons->GetCount() - 1; i >= 0 && visibleIndex >= 0; --i) {
    TcxEditButton* button = buttons->GetItem(i);
    if (!button->GetVisible()) continue;
    TcxEditButtonViewInfo* info = AViewInfo->ButtonInfos[visibleIndex];
    info->ButtonIndex = i;
    info->ButtonStyle = buttonsStyle;
    if (button->GetKind() == bkText && !AViewInfo->ButtonFontPrepared) PrepareButtonFont(ACanvas, AViewInfo);
    CalculateButtonViewInfo(ACanvas, AViewInfo, visibleIndex, r);
    --visibleIndex;
  }

  if (StretchButtons && r.Right - r.Left >= 1) StretchButtonsToWidth(AViewInfo, r.Right - r.Left);
  CalculateButtonStates(AViewInfo, P, AButton, AShift, prevPressedButton);
  SetButtonEdges(AViewInfo);
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                    Integer AButtonVisibleIndex, TRect& ButtonsRect) {
  TcxEditButtonViewInfo* info = AViewInfo->ButtonInfos[AButtonVisibleIndex];
  TcxEditButton* button = FProperties->GetButtons()->GetItem(info->ButtonIndex);
  info->IsComboButton = AViewInfo->GetButtonCount() == 1 && button->GetKind() == bkDown;
  info->Kind = button->GetKind();
  if (info->Kind == bkText) {
    info->Caption = button->GetCaption();
    info->TextColor = button->GetTextColor();
    info->PlainCaption = button->GetPlainCaption();
  }
  info->Default = button->GetDefault();
  info->Glyph = button->HasGlyph() ? button->GetGlyph() : nullptr;
  info->HasBackground = AViewInfo->HasBackground;
  info->Gradient = FStyle->GetGradientButtons();
  info->IsInplace = FIsInplace;
  info->LeftAlignment = button->GetLeftAlignment();
  info->LeftEdge = false;
  info->RightEdge = false;
  info->Native = AViewInfo->IsNative;
  info->Stretchable = button->GetStretchable();
  info->Width = button->GetWidth();
  if (info->Width == 0) {
    Integer width = 0;
    if (OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, info->ButtonIndex, width);
    info->Width = width;
  }
  const TcxEditButtonTransparency transparency = FStyle->GetButtonTransparency();
  info->Transparent = transparency == ebtAlways || (transparency == ebtInactive && !IsActiveOrHot);
  info->BackgroundColor = AViewInfo->BackgroundColor;
  CalculateButtonBounds(ACanvas, AViewInfo, AButtonVisibleIndex, ButtonsRect);
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                  Integer AButtonVisibleIndex, TRect& ButtonsRect) {
  TcxEditButtonViewInfo* info = AViewInfo->ButtonInfos[AButtonVisibleIndex];
  TRect& r = ButtonsRect;
  if (r.Right - r.Left <= 0 || r.Bottom - r.Top <= 0) {
    // No room left: an empty button where the room ended, so that the client
    // area does not reach past it.
    const Integer x = info->LeftAlignment ? r.Left : r.Right;
    info->Bounds = info->VisibleBounds = TRect(x, r.Top, x, r.Bottom);
    return;
  }
  // No button is wider than a window can be (16 bits): the width comes
  // from settings and events, and the layout adds it to the room's edges.
  const Integer w = std::min(CalculateEditDefaultButtonWidth(ACanvas, *info), 32767);
  const Integer visibleWidth = std::min(w, r.Right - r.Left);
  if (info->LeftAlignment) {
    info->Bounds = TRect(r.Left, r.Top, r.Left + w, r.Bottom);
    info->VisibleBounds = TRect(r.Left, r.Top, r.Left + visibleWidth, r.Bottom);
    r.Left += visibleWidth;
    if (FirstLeftButton < 0) FirstLeftButton = AButtonVisibleIndex;
    LastLeftButton = AButtonVisibleIndex;
  } else {
    info->Bounds = TRect(r.Right - w, r.Top, r.Right, r.Bottom);
    info->VisibleBounds = TRect(r.Right - visibleWidth, r.Top, r.Right, r.Bottom);
    r.Right -= visibleWidth;
    if (FirstRightButton < 0) FirstRightButton = AButtonVisibleIndex;
    LastRightButton = AButtonVisibleIndex;
  }
}

void TcxCustomEditViewData::StretchButtonsToWidth(TcxCustomEditViewInfo* AViewInfo, Integer AWidth) {
  std::vector<TcxEditButtonViewInfo*>& infos = AViewInfo->ButtonInfos;
  const bool anyStretchable =
      std::any_of(infos.begin(), infos.end(), [](TcxEditButtonViewInfo* info) { return info->Stretchable; });
  auto shares = [&](TcxEditButtonViewInfo* info) { return !anyStretchable || info->Stretchable; };
  Int64 totalWidth = 0;
  Integer sharing = 0;
  for (TcxEditButtonViewInfo* info : infos)
    if (shares(info)) {
      totalWidth += info->Bounds.Right - info->Bounds.Left;
      ++sharing;
    }

  Integer left = AWidth;
  Integer seen = 0;
  for (Integer i = static_cast<Integer>(infos.size()) - 1; i >= 0; --i) {
    TcxEditButtonViewInfo* info = infos[i];
    if (!shares(info)) continue;
    Integer add;
    if (++seen == sharing)
      add = left;
    else if (totalWidth > 0)
      add = static_cast<Integer>(Int64(info->Bounds.Right - info->Bounds.Left) * AWidth / totalWidth);
    else  // buttons of no width share the room equally
      add = AWidth / sharing;
    left -= add;
    if (add == 0) continue;
    if (info->LeftAlignment) {
      info->Bounds.Right += add;
      info->VisibleBounds.Right += add;
    } else {
      info->Bounds.Left -= add;
      info->VisibleBounds.Left -= add;
    }
    for (Integer j = 0; j < i; ++j) {
      TcxEditButtonViewInfo* other = infos[j];
      if (other->LeftAlignment != info->LeftAlignment) continue;
      const Integer dx = info->LeftAlignment ? add : -add;
      other->Bounds = cxRectOffset(other->Bounds, dx, 0);
      other->VisibleBounds = cxRectOffset(other->VisibleBounds, dx, 0);
    }
  }
}

void TcxCustomEditViewData::CalculateButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                                  TcxMouseButton AButton, TShiftState AShift,
                                                  Integer APrevPressedButton) {
  TcxEditButtons* buttons = FProperties->GetButtons();
  const Integer captureButton = GetCaptureButtonVisibleIndex();
  for (Integer i = 0; i < AViewInfo->GetButtonCount(); ++i) {
    TcxEditButtonViewInfo* info = AViewInfo->ButtonInfos[i];
    const TcxEditButtonState prevState = info->State;
    TcxEditButtonState state = ebsNormal;
    if (!Enabled || !buttons->GetItem(info->ButtonIndex)->GetEnabled()) {
      state = ebsDisabled;
    } else {
      const bool pressed = IsButtonPressed(AViewInfo, i);
      if (pressed || (!IsDesigning && cxRectPtIn(info->VisibleBounds, P))) {
        const bool capturePress =
            AButton == cxmbNone && AShift.Contains(ssLeft) && prevState == ebsNormal && i == captureButton;
        const bool leftDown = AButton == cxmbLeft && IsLeftDown(AShift);
        const bool held = prevState == ebsPressed && AShift.Contains(ssLeft);
        if (pressed || leftDown || held || capturePress) AViewInfo->IsButtonReallyPressed = true;
        if (pressed) {
          state = ebsPressed;
        } else if (AShift.Empty() && !capturePress) {
          state = ebsSelected;
          AViewInfo->HotButton = i;
        } else if (capturePress && CanPressButton(AViewInfo, i)) {
          state = ebsPressed;
        } else if (IsLeftDown(AShift) &&
                   ((AButton == cxmbLeft && CanPressButton(AViewInfo, i)) || i == APrevPressedButton)) {
          state = ebsPressed;
        } else if (held) {
          state = ebsPressed;
        }
      }
    }
    if (state == ebsPressed) AViewInfo->PressedButton = i;
    info->State = state;
    DoGetButtonState(AViewInfo, i, info->State);
    CalculateButtonNativeInfo(info);
  }
}

void TcxCustomEditViewData::SetButtonEdges(TcxCustomEditViewInfo* AViewInfo) {
  std::vector<TcxEditButtonViewInfo*>& infos = AViewInfo->ButtonInfos;
  const bool hasLeft = FirstLeftButton >= 0;
  const bool hasRight = FirstRightButton >= 0;
  if (hasLeft) infos[FirstLeftButton]->LeftEdge = true;
  if (hasRight) infos[FirstRightButton]->RightEdge = true;
  if (hasRight && (!StretchButtons || !hasLeft)) infos[LastRightButton]->LeftEdge = true;
  if (hasLeft && (!StretchButtons || !hasRight)) infos[LastLeftButton]->RightEdge = true;
  if (StretchButtons)
    for (TcxEditButtonViewInfo* info : infos) info->LeftAlignment = false;
}

void TcxCustomEditViewData::DoGetButtonState(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex,
                                             TcxEditButtonState& AState) {
  if (AViewInfo->OnGetButtonState) AViewInfo->OnGetButtonState(AViewInfo, AButtonVisibleIndex, AState);
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo*) {}

bool TcxCustomEditViewData::CanPressButton(TcxCustomEditViewInfo*, Integer) { return true; }

bool TcxCustomEditViewData::IsButtonPressed(TcxCustomEditViewInfo*, Integer) { return false; }

TcxEditButtonStyle TcxCustomEditViewData::GetButtonsStyle() {
  const TcxEditButtonStyle style = FStyle->GetButtonStyle();
  if (style != btsDefault) return style;
  if (FIsInplace) {
    switch (FStyle->GetLookAndFeel()->GetKind()) {
      case lfFlat: return btsFlat;
      case lfStandard: return bts3D;
      case lfUltraFlat: return btsUltraFlat;
      case lfOffice11: return btsOffice11;
    }
    return bts3D;
  }
  switch (FStyle->GetEditBorderStyle()) {
    case ebsNone: return btsSimple;
    case ebsSingle: return btsHotFlat;
    case ebsThick: return bts3D;
    case ebsFlat: return btsFlat;
    case ebs3D: return bts3D;
    case ebsUltraFlat: return btsUltraFlat;
    case ebsOffice11: return btsOffice11;
  }
  return bts3D;
}

Integer TcxCustomEditViewData::GetCaptureButtonVisibleIndex() {
  return Edit ? Edit->GetCaptureButtonVisibleIndex() : -1;
}

// --- State, border and extents -------------------------------------------------

TcxContainerState TcxCustomEditViewData::GetContainerState(const TRect& ABounds, const TPoint& P,
                                                           TcxMouseButton, TShiftState AShift, bool) {
  if (!Enabled) return TcxContainerState{csDisabled};
  if (IsDesigning) return TcxContainerState{csNormal};
  TcxContainerState state = InternalFocused() ? TcxContainerState{csActive} : TcxContainerState{csNormal};
  bool hot;
  if (Edit) {
    TcxContainer* control = Edit->GetEditControl();
    hot = cxRectPtIn(control->GetVisibleBounds(), P) && (AShift.Empty() || GetCaptureControl() == control);
  } else {
    hot = cxRectPtIn(ShrinkRect(ABounds, ContentOffset), P) && AShift.Empty();
  }
  if (hot) state += csHotTrack;
  return state;
}

bool TcxCustomEditViewData::InternalFocused() { return Edit ? Edit->InternalFocused() : Focused; }

TcxEditPaintOptions TcxCustomEditViewData::GetPaintOptions() {
  TcxEditPaintOptions result = PaintOptionsBase;
  if (!cxRectIsEmpty(EditContentParams.ExternalBorderBounds)) result += epoHasExternalBorder;
  if (EditContentParams.Options.Contains(ecoShowFocusRectWhenInplace)) result += epoShowFocusRectWhenInplace;
  return result;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle() {
  return FIsInplace ? ebsNone : CorrectBorderStyle(FStyle->GetEditBorderStyle());
}

TColor TcxCustomEditViewData::GetBorderColor() {
  const TcxEditBorderStyle style = FStyle->GetEditBorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return FStyle->GetBorderColor();
  const bool highlighted =
      ContainerState.Contains(csActive) ||
      (ContainerState.Contains(csHotTrack) && (FStyle->GetHotTrack() || (IsDesigning && Enabled))) ||
      (!ContainerState.Contains(csHotTrack) && IsDesigning && Enabled);
  return highlighted ? GetEditBorderHighlightColor(style == ebsOffice11) : clBtnShadow;
}

TRect TcxCustomEditViewData::GetBorderExtent() {
  if (FIsInplace) return ContentOffset;
  TRect result;
  const bool transparentBorder = FStyle->GetTransparentBorder();
  const TcxContainerBorderStyle baseBorderStyle = FStyle->GetBaseStyle()->GetBorderStyle();
  if ((!transparentBorder && !FStyle->HasBorder()) || (FIsNativeStyle && baseBorderStyle == cbsNone)) {
    result = TRect();
  } else if (transparentBorder || FIsNativeStyle) {
    result = cxContainerDefaultBorderExtent;
  } else {
    const Integer width = GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(GetBorderStyle()));
    const TcxBorders edges = FStyle->GetEdges();
    result = TRect(edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0,
                   edges.Contains(bRight) ? width : 0, edges.Contains(bBottom) ? width : 0);
  }
  if (HasShadow()) {
    result.Right += cxContainerShadowWidth;
    result.Bottom += cxContainerShadowWidth;
  }
  return result;
}

TRect TcxCustomEditViewData::GetButtonsExtent(TcxCanvas* ACanvas) {
  if (FIsInplace) return ContentOffset;
  if (!FIsNativeStyle) return GetBorderExtent();
  const bool transparentBorder = FStyle->GetTransparentBorder();
  if (FStyle->GetBaseStyle()->GetBorderStyle() == cbsNone)
    return transparentBorder ? cxContainerDefaultBorderExtent : TRect();
  return ThemedEditContentInsets(ACanvas, EditTextNormal);
}

TRect TcxCustomEditViewData::GetClientExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) {
  TRect result = GetBorderExtent();
  if (FProperties->GetButtonsViewStyle() != bvsNormal && AViewInfo->GetButtonCount() > 0) {
    const TRect buttonsExtent = GetButtonsExtent(ACanvas);
    result.Left = buttonsExtent.Left;
    result.Right = buttonsExtent.Right;
  }
  if (HScrollBar) result.Bottom += HScrollBar->GetHeight();
  if (VScrollBar) result.Right += VScrollBar->GetWidth();
  for (TcxEditButtonViewInfo* info : AViewInfo->ButtonInfos) {
    if (info->LeftAlignment)
      result.Left = std::max(result.Left, info->Bounds.Right - Bounds.Left);
    else
      result.Right = std::max(result.Right, Bounds.Right - info->Bounds.Left);
  }
  return result;
}

bool TcxCustomEditViewData::HasShadow() { return IsShadowDrawingNeeded(FStyle, FIsNativeStyle); }

bool TcxCustomEditViewData::IsNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return AreVisualStylesMustBeUsed(ALookAndFeel->GetNativeStyle(), totEdit);
}

// --- Values and sizes ------------------------------------------------------------

AnsiString TcxCustomEditViewData::EditValueToDisplayText(const Variant& AValue) {
  const Variant value = AValue;
  return InternalEditValueToDisplayText(value);
}

AnsiString TcxCustomEditViewData::InternalEditValueToDisplayText(const Variant&) { return {}; }

void TcxCustomEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant&, TcxCustomEditViewInfo*) {}

void TcxCustomEditViewData::DoOnGetDisplayText(AnsiString& AText) {
  if (OnGetDisplayText) OnGetDisplayText(this, AText);
}

TSize TcxCustomEditViewData::GetEditContentSizeCorrection() {
  const TcxEditContentParams& p = EditContentParams;
  return TSize{p.Offsets.Left + p.Offsets.Right + p.SizeCorrection.cx,
               p.Offsets.Top + p.Offsets.Bottom + p.SizeCorrection.cy};
}

TSize TcxCustomEditViewData::GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                         const TcxEditSizeProperties& AEditSizeProperties,
                                         TcxCustomEditViewInfo* AViewInfo) {
  TSize minContentSize;
  TSize result = GetEditConstantPartSize(ACanvas, AEditSizeProperties, minContentSize, AViewInfo);
  TcxEditSizeProperties sizeProperties = AEditSizeProperties;
  bool tooNarrow = false;
  if (sizeProperties.Width >= 0) {
    sizeProperties.Width -= result.cx;
    if (sizeProperties.Width < 0) {
      sizeProperties.Width = 0;
      tooNarrow = true;
    }
  }
  TSize content = GetEditContentSize(ACanvas, AEditValue, sizeProperties);
  content.cx = std::max(content.cx, minContentSize.cx);
  content.cy = std::max(content.cy, minContentSize.cy);
  result.cx = tooNarrow ? AEditSizeProperties.Width : result.cx + content.cx;
  result.cy += content.cy;
  if (!FIsInplace && Edit) {
    TSizeConstraints* constraints = Edit->GetEditControl()->GetConstraints();
    if (constraints->GetMaxHeight() != 0) result.cy = std::min(result.cy, constraints->GetMaxHeight());
    if (constraints->GetMaxWidth() != 0) result.cx = std::min(result.cx, constraints->GetMaxWidth());
    if (constraints->GetMinHeight() != 0) result.cy = std::max(result.cy, constraints->GetMinHeight());
    if (constraints->GetMinWidth() != 0) result.cx = std::max(result.cx, constraints->GetMinWidth());
  }
  return result;
}

TSize TcxCustomEditViewData::GetEditConstantPartSize(TcxCanvas* ACanvas,
                                                     const TcxEditSizeProperties& AEditSizeProperties,
                                                     TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo) {
  TOwned<TcxCustomEditViewInfo> temporary;
  if (!AViewInfo) {
    temporary.reset(TcxCustomEditViewInfoClass(FProperties->GetViewInfoClass()).Create());
    AViewInfo = temporary.get();
    Calculate(ACanvas, TRect(0, 0, INT_MAX, INT_MAX), TPoint(-1, -1), cxmbNone, {}, AViewInfo, false);
  }
  return InternalGetEditConstantPartSize(ACanvas, FIsInplace, AEditSizeProperties, MinContentSize, AViewInfo);
}

TSize TcxCustomEditViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                             const TcxEditSizeProperties&, TSize& MinContentSize,
                                                             TcxCustomEditViewInfo* AViewInfo) {
  MinContentSize = TSize{0, 0};
  const TRect& b = AViewInfo->Bounds;
  const TRect& c = AViewInfo->ClientRect;
  TSize result{(c.Left - b.Left) + (b.Right - c.Right), (c.Top - b.Top) + (b.Bottom - c.Bottom)};

  TcxEditButtons* buttons = FProperties->GetButtons();
  Integer h = 0;
  bool fontPrepared = false;
  for (Integer i = 0; i < buttons->GetCount(); ++i) {
    TcxEditButton* button = buttons->GetItem(i);
    if (!button->GetVisible()) continue;
    if (button->GetKind() == bkGlyph && button->HasGlyph() && VerifyBitmap(button->GetGlyph())) {
      h = std::max(h, button->GetGlyph()->GetHeight());
    } else if (AIsInplace && button->GetKind() == bkText) {
      if (!fontPrepared) {
        PrepareButtonFont(ACanvas, AViewInfo);
        fontPrepared = true;
      }
      if (!button->GetCaption().empty()) h = std::max(h, ACanvas->TextHeight(button->GetCaption()));
    }
  }
  if (h < 1) return result;
  const TRect buttonsExtent = GetButtonsExtent(ACanvas);
  MinContentSize.cy = std::max(0, h + buttonsExtent.Top + buttonsExtent.Bottom +
                                      GetEditButtonsContentVerticalOffset(ACanvas, GetButtonsStyle(),
                                                                          AViewInfo->IsNative) -
                                      result.cy);
  return result;
}

TSize TcxCustomEditViewData::GetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                const TcxEditSizeProperties& AEditSizeProperties) {
  if (FProperties->GetButtonsViewStyle() != bvsNormal) {
    ACanvas->SetFont(FStyle->GetVisibleFont());
    return TSize{0, GetEditContentSizeCorrection().cy + ACanvas->TextHeight("Zg")};
  }
  return InternalGetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
}

TSize TcxCustomEditViewData::InternalGetEditContentSize(TcxCanvas*, const Variant&, const TcxEditSizeProperties&) {
  return TSize{0, 0};
}
