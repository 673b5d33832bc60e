// The container control: state, style of the state, layout, painting and
// the inner control it hosts.
#include <algorithm>

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxWindowHelpers.h"
#include "library/foundation/dxOffice11.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Cursors.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowRegion.h"

using namespace win;

ORV_REGISTER(TcxContainer, ORV_PROP(FakeStyleController).StoredBy<&TcxContainer::IsFakeStyleControllerStored>())

namespace {

TRect DeflateRect(const TRect& R, const TRect& AExtent) {
  return TRect(R.Left + AExtent.Left, R.Top + AExtent.Top, R.Right - AExtent.Right, R.Bottom - AExtent.Bottom);
}

bool IsKeyMessage(UINT AMsg) {
  switch (AMsg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR: return true;
    default: return false;
  }
}

void FocusWithinForm(TWinControl* AControl) {
  if (TCustomForm* form = GetParentForm(AControl))
    form->FocusControl(AControl);
  else if (AControl->HandleAllocated())
    win::SetFocus(AControl->GetHandle());
}

}  // namespace

TcxMouseButton ButtonTocxButton(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return cxmbLeft;
    case mbRight: return cxmbRight;
    default: return cxmbMiddle;
  }
}

TShiftState MouseButtonToShift(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return {ssLeft};
    case mbRight: return {ssRight};
    default: return {ssMiddle};
  }
}

TcxContainer* GetcxContainer(TControl* AControl) {
  if (auto* container = dynamic_cast<TcxContainer*>(AControl)) return container;
  if (auto* inner = dynamic_cast<IcxContainerInnerControl*>(AControl)) return inner->GetControlContainer();
  return nullptr;
}

// --- construction -------------------------------------------------------------

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner) {}

void TcxContainer::AfterConstruction() {
  FCreating = true;
  FStyles = GetStylesClass().Construct<TPersistent*, TcxContainerStyleClass>(this, GetStyleClass());
  FStyles->SetOnChanged(TNotifyEvent::Bind<&TcxContainer::ContainerStyleChanged>(this));
  FActiveStyle = GetStyle();
  FViewInfo = GetViewInfoClass().Construct<>();
  GetLookAndFeel()->SetMasterLookAndFeel(GetStyle()->GetLookAndFeel());
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  SetControlStyle(style);
  SetTabStop(true);
  {
    // The colour chosen here is the control's, not a value of the style.
    FStyleApplying = true;
    SetParentColor(DefaultParentColor() && !IsInplace() && !GetStyle()->IsValueAssigned(csvColor));
    if (!GetParentColor()) SetColor(clWindow);
    FStyleApplying = false;
  }
  ClearSavedChildControlRegions();
  FCreating = false;
  inherited::AfterConstruction();
}

void TcxContainer::BeforeDestruction() {
  ::EndMouseTracking(this);
  // The inner control outlives this object's own part of the destruction.
  UnhookInnerControl();
  FIsDestroying = true;
  inherited::BeforeDestruction();
}

TcxContainer::~TcxContainer() {
  FViewInfo->Free();
  FViewInfo = nullptr;
  FStyles->Free();
  FStyles = nullptr;
  FActiveStyle = nullptr;
}

// --- styles -------------------------------------------------------------------

TcxContainerStyleClass TcxContainer::GetStyleClass() { return TcxContainerStyle::StaticClass(); }

TcxContainerStylesClass TcxContainer::GetStylesClass() { return TcxContainerStyles::StaticClass(); }

TcxContainerViewInfoClass TcxContainer::GetViewInfoClass() { return TcxContainerViewInfo::StaticClass(); }

TcxContainerStyle* TcxContainer::GetActiveStyle() {
  if (FViewInfo->ContainerState != FActiveStyleState) {
    FActiveStyleState = FViewInfo->ContainerState;
    FActiveStyle = InternalGetActiveStyle();
  }
  return FActiveStyle;
}

TcxContainerStyle* TcxContainer::InternalGetActiveStyle() {
  const TcxContainerState state = FViewInfo->ContainerState;
  if (state.Contains(csDisabled)) return GetStyleDisabled();
  if (state.Contains(csActive)) return GetStyleFocused();
  if (state.Contains(csHotTrack) && GetStyle()->GetHotTrack()) return GetStyleHot();
  return GetStyle();
}

bool TcxContainer::IsStylePropertyPublished(const AnsiString& APropertyName, bool AExtended) {
  if (AExtended && !GetStyle()->IsExtendedStylePropertyPublished(APropertyName)) return false;
  TcxContainerStyleValue value;
  return !(GetStyle()->GetStyleValue(APropertyName, value) && InternalGetNotPublishedStyleValues().Contains(value));
}

void TcxContainer::ContainerStyleChanged(TObject*) {
  if (FCreating || GetIsLoading() || GetContainerIsDestroying()) return;
  ShortRefreshContainer(false);
  TcxContainerStyle* style = GetStyle();
  FStyleApplying = true;
  auto done = orv::ScopeExit([this] { FStyleApplying = false; });
  if (!(GetParentColor() && !style->IsValueAssigned(csvColor))) SetColor(style->GetStyleColor());
  // Taking the style's font keeps the parent's font in effect unless the
  // style names a font of its own.
  const bool parentFont = FParentFont;
  SetFont(style->GetFont());
  FParentFont = style->IsValueAssigned(csvFont) ? false : parentFont;
}

void TcxContainer::ColorChanged() {
  if (!FStyles || FStyleApplying || FCreating) {
    inherited::ColorChanged();
    ShortRefreshContainer(false);
    return;
  }
  // A colour set on the control is the style's colour.
  GetStyle()->SetColor(GetColor());
}

void TcxContainer::FontChanged() {
  if (!FStyles || FStyleApplying || FCreating) {
    inherited::FontChanged();
    SetSize();
    ShortRefreshContainer(false);
    return;
  }
  TcxContainerStyle* style = GetStyle();
  const bool assigned = style->FAssignedValues.Contains(csvFont);
  style->LockFontAssignedValue(true);
  style->GetFont()->Assign(GetFont());
  style->LockFontAssignedValue(false);
  if (assigned)
    style->FAssignedValues.Include(csvFont);
  else
    style->FAssignedValues.Exclude(csvFont);
  inherited::FontChanged();
}

void TcxContainer::CMParentColorChanged(TMessage& Message) {
  if (!FStyles) return DispatchFrom(inherited::StaticClass(), Message);
  TcxContainerStyle* style = GetStyle();
  const bool assigned = style->FAssignedValues.Contains(csvColor);
  FStyleApplying = true;
  DispatchFrom(inherited::StaticClass(), Message);
  FStyleApplying = false;
  if (!assigned || GetParentColor()) style->FAssignedValues.Exclude(csvColor);
  if (style->GetStyleColor() != GetColor()) ContainerStyleChanged(style);
  if (IsTransparentBackground() && !GetParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& Message) {
  if (!FStyles) return DispatchFrom(inherited::StaticClass(), Message);
  TcxContainerStyle* style = GetStyle();
  const bool assigned = style->FAssignedValues.Contains(csvFont);
  FStyleApplying = true;
  DispatchFrom(inherited::StaticClass(), Message);
  FStyleApplying = false;
  if (!GetParentFont()) style->UpdateFont();
  if (!(assigned && !GetParentFont())) style->FAssignedValues.Exclude(csvFont);
}

// Scaling reaches the font of the style: the control's own copy follows it.
void TcxContainer::ChangeScale(Integer M, Integer D) {
  if (!FStyles) return inherited::ChangeScale(M, D);
  const bool applying = FStyleApplying;
  FStyleApplying = !GetParentFont();
  inherited::ChangeScale(M, D);
  FStyleApplying = applying;
  TcxContainerStyle* style = GetStyle();
  if (M == D || D == 0 || !style->IsValueAssigned(csvFont)) return;
  if (style->FAssignedValues.Contains(csvFont)) {
    style->GetFont()->SetSize(MulDiv(style->GetFont()->GetSize(), M, D));
  } else if (GetIsLoading()) {
    // A controller's font is scaled once, by the first form read that uses it.
    if (TcxStyleController* controller = style->GetActiveStyleController()) controller->ChangeFontScale(M, D);
  }
}

// --- state and layout -----------------------------------------------------------

bool TcxContainer::IsNativeStyle() {
  return AreVisualStylesMustBeUsed(GetStyle()->GetLookAndFeel()->GetNativeStyle(), GetBackgroundThemedObjectType());
}

Integer TcxContainer::GetBackgroundNativeState() {
  const TcxContainerState state = FViewInfo->ContainerState;
  if (state.Contains(csDisabled)) return 4;
  if (state.Contains(csActive)) return 5;
  if (state.Contains(csHotTrack)) return 2;
  return 1;
}

TcxContainerState TcxContainer::CalculateContainerState(const TPoint& P, bool AHotTest) {
  if (!GetEnabled()) return {csDisabled};
  if (GetIsDesigning()) return {csNormal};
  TcxContainerState state{IsContainerFocused() ? csActive : csNormal};
  if (AHotTest && cxRectPtIn(GetVisibleBounds(), P)) state.Include(csHotTrack);
  return state;
}

void TcxContainer::CalculateViewInfo(const TPoint& P, bool AHotTest) {
  TcxContainerViewInfo* info = FViewInfo;
  info->NativeStyle = IsNativeStyle();
  const Integer previousWidth = GetContainerBorderWidth(info->ContainerBorderStyle);
  auto calculateState = [&] {
    info->ContainerState = CalculateContainerState(P, AHotTest);
    TcxContainerStyle* style = GetActiveStyle();
    if (!style->GetHotTrack())
      info->HotState = chsNoHotTrack;
    else if (info->ContainerState.Contains(csActive) || info->ContainerState.Contains(csHotTrack))
      info->HotState = chsSelected;
    else
      info->HotState = chsNormal;
    if (info->NativeStyle) {
      info->ContainerBorderStyle = GetStyle()->GetBorderStyle();
    } else {
      info->ContainerBorderStyle = style->GetBorderStyle();
      if (info->ContainerBorderStyle == cbsUltraFlat || info->ContainerBorderStyle == cbsOffice11)
        info->ContainerBorderStyle = cbsSingle;
    }
  };
  calculateState();
  // The hot test depends on the border: a thinner one moves the edge.
  if (!info->NativeStyle && GetContainerBorderWidth(info->ContainerBorderStyle) < previousWidth) calculateState();

  if (info->NativeStyle) {
    info->ThemedObjectType = GetBackgroundThemedObjectType();
    info->NativePart = GetBackgroundNativePart();
    info->NativeState = GetBackgroundNativeState();
  }
  TcxContainerStyle* style = GetActiveStyle();
  info->Bounds = GetControlRect(this);
  info->BorderRect = DeflateRect(info->Bounds, GetBorderExtent());
  info->ClientRect = info->BorderRect;
  info->BorderWidth = GetContainerBorderWidth(info->ContainerBorderStyle);
  info->Edges = style->GetEdges();
  info->Shadow = HasShadow();

  const TcxContainerBorderStyle styleBorder = style->GetBorderStyle();
  if (styleBorder == cbsUltraFlat || styleBorder == cbsOffice11) {
    const TcxContainerState state = info->ContainerState;
    const bool selected = state.Contains(csActive) || (state.Contains(csHotTrack) && style->GetHotTrack()) ||
                          (GetIsDesigning() && GetEnabled());
    if (!selected)
      info->BorderColor = clBtnShadow;
    else
      info->BorderColor = styleBorder == cbsUltraFlat ? clHighlight : dxOffice11SelectedBorderColor;
  } else {
    info->BorderColor = style->GetBorderColor();
  }

  if (!info->NativeStyle || GetEnabled()) {
    info->SetBackgroundColor(style->GetColor());
  } else {
    COLORREF fill = ColorToRGB(clBtnFace);
    if (TdxTheme theme = OpenTheme(info->ThemedObjectType))
      ::GetThemeColor(theme, info->NativePart, info->NativeState, win::TMT_FILLCOLOR, &fill);
    info->SetBackgroundColor(static_cast<TColor>(fill));
  }
}

bool TcxContainer::HasShadow() { return GetActiveStyle()->GetShadow() && !FViewInfo->NativeStyle; }

TRect TcxContainer::GetBorderExtent() {
  TcxContainerStyle* style = GetActiveStyle();
  TRect extent{};
  if (style->GetTransparentBorder() ||
      (style->HasBorder() && FViewInfo->NativeStyle && GetStyle()->GetBorderStyle() != cbsNone)) {
    extent = cxContainerDefaultBorderExtent;
  } else if (style->HasBorder() && !FViewInfo->NativeStyle) {
    const Integer width = GetContainerBorderWidth(FViewInfo->ContainerBorderStyle);
    const TcxBorders edges = style->GetEdges();
    extent = TRect(edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0,
                   edges.Contains(bRight) ? width : 0, edges.Contains(bBottom) ? width : 0);
  }
  if (HasShadow()) {
    extent.Right += cxContainerShadowWidth;
    extent.Bottom += cxContainerShadowWidth;
  }
  return extent;
}

TRect TcxContainer::GetVisibleBounds() {
  TRect r = GetControlRect(this);
  if (IsInplace()) return r;
  if (FViewInfo->Shadow) {
    r.Right -= cxContainerShadowWidth;
    r.Bottom -= cxContainerShadowWidth;
  }
  TcxContainerStyle* style = GetStyle();
  const bool transparent = style->GetTransparentBorder();
  if (!style->HasBorder() && transparent) {
    r = cxRectInflate(r, -2, -2);
  } else if (FViewInfo->NativeStyle) {
    if (transparent && style->GetBorderStyle() == cbsNone) r = cxRectInflate(r, -2, -2);
  } else if (transparent) {
    const Integer width = GetContainerBorderWidth(FViewInfo->ContainerBorderStyle);
    r = cxRectInflate(r, -(2 - width), -(2 - width));
    InflateRectByBorders(r, width, FViewInfo->Edges);
  }
  if (r.Top > r.Bottom) r = TRect(r.Left, 0, r.Right, 0);
  return r;
}

TRect TcxContainer::GetShadowBounds() {
  const Integer width = GetContainerBorderWidth(FViewInfo->ContainerBorderStyle);
  TRect r = cxRectInflate(DeflateRect(FViewInfo->Bounds, GetBorderExtent()), width, width);
  InflateRectByBorders(r, width, GetActiveStyle()->GetEdges());
  return r;
}

bool TcxContainer::CanHaveTransparentBorder() {
  return !(FViewInfo->NativeStyle && FViewInfo->ContainerBorderStyle != cbsNone);
}

void TcxContainer::SetShadowRegion() {
  if (!HandleAllocated()) return;
  HRGN region = nullptr;
  if (CanHaveTransparentBorder()) {
    const TRect r = GetShadowBounds();
    region = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    if (FViewInfo->Shadow) {
      const Integer s = cxContainerShadowWidth;
      HRGN shadow = CreateRectRgn(r.Left + s, r.Top + s, r.Right + s, r.Bottom + s);
      CombineRgn(region, region, shadow, RGN_OR);
      DeleteObject(shadow);
    }
  }
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool hasCurrent = GetWindowRgn(GetHandle(), current) != ERROR;
  if (!region) {
    if (hasCurrent) SetWindowRgn(GetHandle(), nullptr, TRUE);
  } else if (!hasCurrent || !EqualRgn(current, region)) {
    SetWindowRgn(GetHandle(), region, TRUE);  // the window owns it now
    region = nullptr;
  }
  if (region) DeleteObject(region);
  DeleteObject(current);
}

void TcxContainer::SetVisibleBoundsClipRect() {
  if (!CanHaveTransparentBorder()) return;
  const TRect r = GetShadowBounds();
  auto* region = New<TcxRegion>(r);
  if (FViewInfo->Shadow) {
    auto* shadow = New<TcxRegion>(cxRectOffset(r, cxContainerShadowWidth, cxContainerShadowWidth));
    region->Combine(shadow, roAdd);
  }
  GetCanvas()->SetClipRegion(region, roIntersect);
}

void TcxContainer::SetSize() {
  if (!FInnerControl || FInnerControl->GetBoundsRect() == FViewInfo->ClientRect) return;
  FInnerControlBoundsSetting = true;
  auto done = orv::ScopeExit([this] { FInnerControlBoundsSetting = false; });
  FInnerControl->SetBoundsRect(FViewInfo->ClientRect);
}

void TcxContainer::AdjustInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor);
  FInnerControl->SetFont(GetActiveStyle()->GetVisibleFont());
}

bool TcxContainer::InnerControlMenuHandler(TMessage& Message) {
  if ((Message.Msg != CN_KEYDOWN && Message.Msg != CN_SYSKEYDOWN) || !IsMenuKey(Message)) return false;
  Message.Result = 1;
  return true;
}

TRect TcxContainer::GetClientBounds() {
  if (!FViewInfo || GetContainerIsDestroying()) return inherited::GetClientBounds();
  return FViewInfo->ClientRect;
}

void TcxContainer::AdjustClientRect(TRect& Rect) {
  if (!FViewInfo || GetContainerIsDestroying())
    inherited::AdjustClientRect(Rect);
  else
    Rect = FViewInfo->ClientRect;
}

// --- refreshing -------------------------------------------------------------------

bool TcxContainer::RefreshContainer(const TPoint& P, TcxMouseButton, TShiftState AShift, bool) {
  if (FInnerControlBoundsSetting || GetContainerIsDestroying() || !FViewInfo) return true;
  CalculateViewInfo(P, AShift.Empty() && GetActiveStyle()->GetHotTrack());
  SetSize();
  AdjustInnerControl();
  SetShadowRegion();
  if (HandleAllocated()) {
    const TRect bounds = GetControlRect(this);
    if (!FInnerControl || cxRectIsEmpty(FViewInfo->BorderRect))
      InvalidateRect(bounds, false);
    else
      InternalInvalidate(GetHandle(), bounds, FViewInfo->BorderRect, false);
  }
  if (FViewInfo->ContainerState.Contains(csHotTrack)) BeginMouseTracking(this, GetVisibleBounds(), this);
  return true;
}

void TcxContainer::ShortRefreshContainer(bool AIsMouseEvent) {
  if (!HandleAllocated() || GetContainerIsDestroying() || FRefreshing || !FViewInfo) return;
  FRefreshing = true;
  auto done = orv::ScopeExit([this] { FRefreshing = false; });
  TPoint p(-1, -1);
  const TPoint cursor = InternalGetCursorPos();
  HWND under = WindowFromPoint(POINT{cursor.X, cursor.Y});
  if (under && (under == GetHandle() || IsChild(GetHandle(), under))) p = ScreenToClient(cursor);
  RefreshContainer(p, cxmbNone, KeyboardStateToShiftState(), AIsMouseEvent);
}

void TcxContainer::EndMouseTracking() {
  MouseLeave(nullptr);
  ::EndMouseTracking(this);
}

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  RefreshContainer(TPoint(X, Y), ButtonTocxButton(Button), Shift, true);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  RefreshContainer(TPoint(X, Y), ButtonTocxButton(Button), Shift, true);
}

void TcxContainer::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  RefreshContainer(TPoint(X, Y), cxmbNone, Shift, true);
  if (!GetContainerIsDestroying()) BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  ShortRefreshContainer(true);
  if (!GetContainerIsDestroying()) BeginMouseTracking(this, GetVisibleBounds(), this);
}

void TcxContainer::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  ShortRefreshContainer(true);
  ::EndMouseTracking(this);
}

void TcxContainer::FocusChanged() {
  inherited::FocusChanged();
  ShortRefreshContainer(false);
}

void TcxContainer::Resize() {
  inherited::Resize();
  if (!FCreating) ShortRefreshContainer(false);
}

void TcxContainer::CreateWnd() {
  inherited::CreateWnd();
  ShortRefreshContainer(false);
  UpdateScrollBarsParameters();
}

void TcxContainer::Loaded() {
  inherited::Loaded();
  ContainerStyleChanged(GetStyle());
}

void TcxContainer::CMEnabledChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  ShortRefreshContainer(false);
}

void TcxContainer::CMSysColorChange(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  ShortRefreshContainer(false);
}

// --- painting ------------------------------------------------------------------------

void TcxContainer::Paint() {
  if (!FViewInfo || !GetCanvas()->RectVisible(FViewInfo->Bounds)) return;
  if (GetControlState().Contains(csPaintCopy)) SetVisibleBoundsClipRect();
  FViewInfo->Paint(GetCanvas());
}

void TcxContainer::WMNCPaint(TMessage& Message) { Message.Result = 0; }

// --- the inner control ------------------------------------------------------------

void TcxContainer::SetInnerControl(TWinControl* Value) {
  if (Value == FInnerControl) return;
  if (FInnerControl) {
    UnhookInnerControl();
    FInnerControl->RemoveFreeNotification(this);
  }
  FInnerControl = Value;
  if (FInnerControl) {
    FInnerControl->FreeNotification(this);
    FInnerControl->SetDragMode(GetDragMode());
    FInnerControl->SetDragKind(GetDragKind());
    HookInnerControl();
  }
  ClearSavedChildControlRegions();
}

void TcxContainer::SetDragMode(TDragMode Value) {
  inherited::SetDragMode(Value);
  if (FInnerControl) FInnerControl->SetDragMode(Value);
}

void TcxContainer::SetDragKind(TDragKind Value) {
  inherited::SetDragKind(Value);
  if (FInnerControl) FInnerControl->SetDragKind(Value);
}

TDragImageList* TcxContainer::GetDragImages() {
  return FInnerControl ? FInnerControl->GetDragImages() : inherited::GetDragImages();
}

void TcxContainer::DragCanceled() {
  inherited::DragCanceled();
  if (FInnerControl) FInnerControl->DragCanceled();
}

TPoint TcxContainer::GetKeyboardPopupPoint() {
  if (!FInnerControl || !FInnerControl->GetVisible()) return inherited::GetKeyboardPopupPoint();
  const TPoint p = FInnerControl->GetKeyboardPopupPoint();
  return {p.X + FInnerControl->GetLeft(), p.Y + FInnerControl->GetTop()};
}

void TcxContainer::CursorChanged() {
  inherited::CursorChanged();
  if (FInnerControl) FInnerControl->SetCursor(TControl::GetCursor());
}

void TcxContainer::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FInnerControl) {
    // Its window procedure is put back while it still has messages to hear.
    UnhookInnerControl();
    FInnerControl = nullptr;
  }
  for (TcxScrollBar*& bar : FInnerScrollBars)
    if (AComponent == bar) bar = nullptr;
}

void TcxContainer::GetInnerControlBounds(const TRect& R, TControl* AControl, TcxContainerInnerControlBounds& ABounds) {
  const TRect own = AControl->GetBoundsRect();
  TRect visible = own;
  if (visible.Left < R.Left) visible.Left = R.Left;
  if (visible.Top < R.Top) visible.Top = R.Top;
  if (visible.Right > R.Right) visible.Right = R.Right;
  if (visible.Bottom > R.Bottom) visible.Bottom = R.Bottom;
  ABounds.IsEmpty = visible == own;
  ABounds.Rect = cxRectOffset(visible, -own.Left, -own.Top);
}

void TcxContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (IsContainerClass()) return inherited::AlignControls(AControl, Rect);
  if (FAlignControlsLockCount > 0 || (AControl && IsInternalControl(AControl))) return;
  if (!AControl) return inherited::AlignControls(AControl, Rect);
  auto* child = dynamic_cast<TWinControl*>(AControl);
  if (!child || !child->HandleAllocated() || FCreating) return;
  TcxContainerInnerControlBounds bounds;
  GetInnerControlBounds(Rect, child, bounds);
  const bool same = bounds.IsEmpty ? FSavedInnerControlBounds.IsEmpty
                                   : !FSavedInnerControlBounds.IsEmpty && FSavedInnerControlBounds.Rect == bounds.Rect;
  if (same) return;
  if (bounds.IsEmpty)
    SetWindowRgn(child->GetHandle(), nullptr, TRUE);
  else
    SetWindowRgn(child->GetHandle(),
                 CreateRectRgn(bounds.Rect.Left, bounds.Rect.Top, bounds.Rect.Right, bounds.Rect.Bottom), TRUE);
  FSavedInnerControlBounds = bounds;
}

void TcxContainer::LockAlignControls(bool ALock) {
  if (ALock)
    ++FAlignControlsLockCount;
  else if (FAlignControlsLockCount > 0)
    --FAlignControlsLockCount;
}

void TcxContainer::LockPopupMenu(bool ALock) {
  if (ALock)
    ++FPopupMenuLockCount;
  else if (FPopupMenuLockCount > 0)
    --FPopupMenuLockCount;
}

// --- focus and keys -------------------------------------------------------------------

bool TcxContainer::IsInnerControlFocused() {
  return FInnerControl && FInnerControl->HandleAllocated() && win::GetFocus() == FInnerControl->GetHandle();
}

bool TcxContainer::Focused() {
  if (FLosingFocus || GetIsDesigning() || GetControlState().Contains(csDestroyingHandle)) return false;
  return (HandleAllocated() && win::GetFocus() == GetHandle()) || IsInnerControlFocused();
}

void TcxContainer::SetFocus() {
  if (GetIsDesigning() || IsContainerFocused()) return;
  inherited::SetFocus();
  if (HandleAllocated() && win::GetFocus() == GetHandle() && FInnerControl && FInnerControl->HandleAllocated())
    FocusWithinForm(FInnerControl);
}

// While the inner control is the form's active control it stands in the
// container's place, so moving back from it skips the container.
void TcxContainer::GetTabOrderList(std::vector<TWinControl*>& List) {
  inherited::GetTabOrderList(List);
  if (IsContainerClass() || !FInnerControl) return;
  TCustomForm* form = GetParentForm(this);
  if (!form || form->GetActiveControl() != FInnerControl || !CanFocus()) return;
  List.erase(std::remove(List.begin(), List.end(), FInnerControl), List.end());
  std::replace(List.begin(), List.end(), static_cast<TWinControl*>(this), FInnerControl);
}

bool TcxContainer::CanFocusOnClick() {
  return inherited::CanFocusOnClick() && !IsInnerControlFocused() && !FFocusOnClickLocked;
}

bool TcxContainer::MayFocus() { return !IsInnerControlFocused(); }

void TcxContainer::WndProc(TMessage& Message) {
  if (IsKeyMessage(Message.Msg) && FInnerControl && FInnerControl->HandleAllocated()) {
    Message.Result = SendMessageA(FInnerControl->GetHandle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (Message.Msg == WM_SETFOCUS && !GetVisible()) return;
  if (Message.Msg == WM_KILLFOCUS && !(FInnerControl && FInnerControl->HandleAllocated() &&
                                       reinterpret_cast<HWND>(Message.WParam) == FInnerControl->GetHandle())) {
    // The window system still names this window as focused while it says
    // the focus is leaving; the state drawn must not.
    FLosingFocus = true;
    auto done = orv::ScopeExit([this] { FLosingFocus = false; });
    inherited::WndProc(Message);
    return;
  }
  inherited::WndProc(Message);
}

// The focus moved somewhere in the form: the inner control leaving or
// taking it tells the container nothing else.
void TcxContainer::CMFocusChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (FViewInfo && IsContainerFocused() != FViewInfo->ContainerState.Contains(csActive)) ShortRefreshContainer(false);
}

void TcxContainer::WMSetFocus(TMessage& Message) {
  // The focus coming back from the inner control stays where it belongs.
  if (FInnerControl && FInnerControl->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.WParam) == FInnerControl->GetHandle())
    return;
  DispatchFrom(inherited::StaticClass(), Message);
  if (FInnerControl && FInnerControl->CanFocus()) FocusWithinForm(FInnerControl);
}

void TcxContainer::WMKillFocus(TMessage& Message) {
  if (FInnerControl && FInnerControl->HandleAllocated() &&
      reinterpret_cast<HWND>(Message.WParam) == FInnerControl->GetHandle())
    return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxContainer::WMWindowPosChanging(TMessage& Message) {
  if (GetContainerIsDestroying()) {
    Message.Result = 0;
    return;
  }
  DispatchFrom(inherited::StaticClass(), Message);
  if (HandleAllocated() && win::GetFocus() == GetHandle() && FInnerControl && FInnerControl->CanFocus())
    FocusWithinForm(FInnerControl);
}

void TcxContainer::WMSetCursor(TMessage& Message) {
  if (FViewInfo && reinterpret_cast<HWND>(Message.WParam) == GetHandle() && LOWORD(Message.LParam) == HTCLIENT) {
    const TPoint p = ScreenToClient(InternalGetCursorPos());
    if (!cxRectPtIn(FViewInfo->ClientRect, p)) {
      win::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxContainer::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  if (Key != VK_TAB || !IsContainerFocused() || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || TabsNeeded())
    return;
  Key = 0;
  if (TCustomForm* form = GetParentForm(this)) {
    form->SelectNext(this, !Shift.Contains(ssShift), true);
    if (HandleAllocated() && win::GetFocus() == GetHandle() && FInnerControl && FInnerControl->CanFocus())
      FocusWithinForm(FInnerControl);
  }
}

void TcxContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (FPopupMenuLockCount > 0) {
    Handled = true;
    return;
  }
  if ((MousePos.X == -1 && MousePos.Y == -1) || CanShowPopupMenu(MousePos))
    inherited::DoContextPopup(MousePos, Handled);
  else
    Handled = true;
}
