// Drop-down windows of the editors: the list of open popups, showing and
// closing, the modal loop of a focus-capturing popup, and the helpers that
// tell which windows belong to a control and its popups.
#include <algorithm>

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

ORV_REGISTER(TcxCustomPopupWindow)

bool TopMostComboBoxes = true;

namespace {

std::vector<TcxCustomPopupWindow*> PopupList;
TcxCustomPopupWindow* PopupShowingOrClosing = nullptr;

void AddToPopupList(TcxCustomPopupWindow* APopup) {
  if (std::find(PopupList.begin(), PopupList.end(), APopup) == PopupList.end()) PopupList.push_back(APopup);
}

void RemoveFromPopupList(TcxCustomPopupWindow* APopup) {
  PopupList.erase(std::remove(PopupList.begin(), PopupList.end(), APopup), PopupList.end());
}

// Marks a popup as being shown or closed for as long as the guard lives.
struct ShowingOrClosing {
  TcxCustomPopupWindow* previous;
  explicit ShowingOrClosing(TcxCustomPopupWindow* APopup) : previous(PopupShowingOrClosing) {
    PopupShowingOrClosing = APopup;
  }
  ~ShowingOrClosing() { PopupShowingOrClosing = previous; }
};

bool IsOwnerControlVisible(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() && IsWindowVisible(AControl->GetHandle());
}

}  // namespace

const std::vector<TcxCustomPopupWindow*>& cxOpenPopupWindows() { return PopupList; }

// --- construction -----------------------------------------------------------------

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* AOwnerControl) : FOwnerControl(AOwnerControl) {}

void TcxCustomPopupWindow::AfterConstruction() {
  inherited::AfterConstruction();
  SetFormStyle(fsNormal);
  FStyle = GetStyleClass().Construct<TPersistent*, bool, TcxContainerStyle*, TcxContainerStateItem>(this, false,
                                                                                                      nullptr, csNormal);
  FStyle->OnChanged = TNotifyEvent::Bind<&TcxCustomPopupWindow::PopupWindowStyleChanged>(this);
  FViewInfo = GetViewInfoClass().Construct<>();
  SetKeyPreview(true);
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

void TcxCustomPopupWindow::BeforeDestruction() {
  RemoveFromPopupList(this);
  if (FOwnerControl) FOwnerControl->RemoveFreeNotification(this);
  inherited::BeforeDestruction();
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  RemoveFromPopupList(this);
  FViewInfo->Free();
  FStyle->OnChanged = {};
  FStyle->Free();
}

void TcxCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FOwnerControl) {
    // A popup outlives no owner: it closes first.
    CloseUp();
    FOwnerControl = nullptr;
  }
  if (AComponent == FPopupFocusedControl) FPopupFocusedControl = nullptr;
}

TClassRef<TcxContainerStyle> TcxCustomPopupWindow::GetStyleClass() { return TcxContainerStyle::StaticClass(); }

TClassRef<TcxContainerViewInfo> TcxCustomPopupWindow::GetViewInfoClass() {
  return TcxContainerViewInfo::StaticClass();
}

// --- window --------------------------------------------------------------------------

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~WS_CHILD;
  Params.Style |= WS_POPUP | WS_CLIPCHILDREN;
  TCustomForm* ownerForm = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  if (FCaptureFocus) {
    // Owned by the owner's form, so it stays above it.
    if (ownerForm) Params.WndParent = ownerForm->GetHandle();
    if (FIsTopMost && !(ownerForm && !(GetWindowLongA(ownerForm->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST)))
      Params.ExStyle |= WS_EX_TOPMOST;
    else
      Params.ExStyle &= ~WS_EX_TOPMOST;
  } else {
    // A popup that must never take activation from its owner's form.
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = cxMessageWindow()->GetHandle();
  }
}

void TcxCustomPopupWindow::CreateHandle() {
  const bool listed = IsVisible();
  if (!listed) AddToPopupList(this);
  auto unlist = orv::ScopeExit([&] {
    if (!listed) RemoveFromPopupList(this);
  });
  inherited::CreateHandle();
}

void TcxCustomPopupWindow::ReopenAfterChange() {
  const bool wasOpen = IsVisible();
  TWinControl* focused = FPopupFocusedControl;
  if (wasOpen) CloseUp();
  RecreateControlWnd(this);
  if (wasOpen) Popup(focused);
}

void TcxCustomPopupWindow::SetCaptureFocus(bool Value) {
  if (Value == FCaptureFocus) return;
  FCaptureFocus = Value;
  ReopenAfterChange();
}

void TcxCustomPopupWindow::SetIsTopMost(bool Value) {
  if (Value == FIsTopMost) return;
  FIsTopMost = Value;
  ReopenAfterChange();
}

// --- state -----------------------------------------------------------------------------

bool TcxCustomPopupWindow::IsVisible() const {
  return std::find(PopupList.begin(), PopupList.end(), this) != PopupList.end();
}

bool TcxCustomPopupWindow::HasCapture() {
  HWND capture = GetCapture();
  return capture && HandleAllocated() && (capture == GetHandle() || IsChild(GetHandle(), capture));
}

bool TcxCustomPopupWindow::Focused() {
  HWND focus = win::GetFocus();
  return IsVisible() && FCaptureFocus && focus && HandleAllocated() &&
         (focus == GetHandle() || IsChild(GetHandle(), focus));
}

bool TcxCustomPopupWindow::IsSysKeyAccepted(Word Key) { return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == VK_F4; }

TRect TcxCustomPopupWindow::GetOwnerScreenBounds() {
  TRect r = GetOwnerBounds();
  if (FOwnerControl && FOwnerControl->HandleAllocated() &&
      (GetWindowLongA(FOwnerControl->GetHandle(), GWL_STYLE) & WS_CHILD) && FOwnerControl->GetParent()) {
    const TPoint topLeft = FOwnerControl->GetParent()->ClientToScreen(r.TopLeft());
    const TPoint bottomRight = FOwnerControl->GetParent()->ClientToScreen(r.BottomRight());
    r = TRect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
  }
  return r;
}

void TcxCustomPopupWindow::CorrectBoundsWithDesktopWorkArea(TPoint& APosition) {
  if (!AcceptsAnySize()) return;
  const TRect area = GetDesktopWorkArea(APosition);
  Integer width = GetWidth(), height = GetHeight();
  if (APosition.X < area.Left) {
    width -= area.Left - APosition.X;
    APosition.X = area.Left;
  }
  if (APosition.Y < area.Top) {
    height -= area.Top - APosition.Y;
    APosition.Y = area.Top;
  }
  width = std::min(width, area.Right - APosition.X);
  height = std::min(height, area.Bottom - APosition.Y);
  SetBounds(GetLeft(), GetTop(), width, height);
  // A form that keeps a larger height moves down from the top edge.
  if (GetHeight() != height && APosition.Y == area.Top) APosition.Y += GetHeight() - height;
}

// --- showing and closing ---------------------------------------------------------------

TWinControl* TcxCustomPopupWindow::GetFirstFocusControl(TWinControl* AControl) {
  if (!AControl) return this;
  if (AControl->CanFocus() && AControl->GetTabStop()) return AControl;
  if (TWinControl* next = FindNextControl(nullptr, true, true, false)) return next;
  return this;
}

HWND TcxCustomPopupWindow::InsertAfterWindow() {
  TCustomForm* ownerForm = FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
  bool topMost = !ownerForm || !ownerForm->HandleAllocated() ||
                 (GetWindowLongA(ownerForm->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  if (!topMost && !FCaptureFocus) {
    topMost = TopMostComboBoxes;
    // A visible stay-on-top form would cover a popup of the normal order.
    for (Integer i = 0; !topMost && Screen && i < Screen->GetFormCount(); ++i) {
      TCustomForm* form = Screen->GetForms(i);
      topMost = form != this && form->GetFormStyle() == fsStayOnTop && form->GetVisible();
    }
  }
  return topMost ? HWND_TOPMOST : HWND_TOP;
}

void TcxCustomPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (IsVisible() || !IsOwnerControlVisible(FOwnerControl)) return;
  InitPopup();
  CalculateSize();
  TPoint position = CalculatePosition();
  CorrectBoundsWithDesktopWorkArea(position);
  {
    ShowingOrClosing guard(this);
    AddToPopupList(this);
    DoShowing();
    SetBounds(position.X, position.Y, GetWidth(), GetHeight());
    if (FCaptureFocus)
      Show();
    else
      SetWindowPos(GetHandle(), InsertAfterWindow(), 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
    SetBounds(position.X, position.Y, GetWidth(), GetHeight());
    FPopupFocusedControl = FCaptureFocus ? GetFirstFocusControl(AFocusedControl) : AFocusedControl;
    if (FCaptureFocus) {
      if (FPopupFocusedControl && FPopupFocusedControl != this && FPopupFocusedControl->CanFocus())
        FocusControl(FPopupFocusedControl);
      else if (HandleAllocated())
        win::SetFocus(GetHandle());
      FPopupActive = true;
    }
    SetWindowPos(GetHandle(), InsertAfterWindow(), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  SetModalResult(mrNone);
  DoShowed();
  if (!FCaptureFocus || !FModalMode) return;
  while (IsVisible() && Application && !Application->GetTerminated()) {
    // The keys that end a system menu's loop must not reach the owner.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (GetModalResult() != mrNone) {
      if (CloseQuery())
        ModalCloseUp();
      else
        SetModalResult(mrNone);
      if (!IsVisible()) break;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::CloseUp() {
  if (!IsVisible()) return;
  RemoveFromPopupList(this);
  DoClosing();
  ShowingOrClosing guard(this);
  if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
  SetVisible(false);
  FPopupActive = false;
  DoClosed();
  if (HasCapture()) ReleaseCapture();
}

void TcxCustomPopupWindow::ClosePopup() {
  if (HandleAllocated()) PostMessageA(GetHandle(), DXM_CLOSEPOPUPWINDOW, 0, 0);
}

void TcxCustomPopupWindow::CMClosePopupWindow(TMessage&) {
  const bool locked = FDeactivateLocked;
  FDeactivateLocked = true;
  CloseUp();
  FDeactivateLocked = locked;
  if (FOwnerControl && FOwnerControl->HandleAllocated()) SendMessageA(FOwnerControl->GetHandle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomPopupWindow::CMShowPopupWindow(TMessage&) { Popup(FPopupFocusedControl); }

void TcxCustomPopupWindow::DoClosed() {
  if (OnClosed) OnClosed(this);
}
void TcxCustomPopupWindow::DoClosing() {
  if (OnClosing) OnClosing(this);
}
void TcxCustomPopupWindow::DoShowed() {
  if (OnShowed) OnShowed(this);
}
void TcxCustomPopupWindow::DoShowing() {
  if (OnShowing) OnShowing(this);
}

// Closing a popup may close others: the walk starts again from the newest
// after each close, so no index goes stale.
void TcxCustomPopupWindow::Deactivate() {
  FPopupActive = false;
  TCustomForm::Deactivate();
  if (FDeactivateLocked) return;
  bool closed = true;
  while (closed) {
    closed = false;
    for (auto it = PopupList.rbegin(); it != PopupList.rend(); ++it) {
      TcxCustomPopupWindow* popup = *it;
      if (popup->HandleAllocated() && popup->GetHandle() == GetActiveWindow()) break;
      if (popup != this && popup->HandleAllocated() && IsWindowEnabled(popup->GetHandle())) {
        popup->CloseUp();
        closed = true;
        break;
      }
    }
  }
  if (!PopupList.empty()) CloseUp();
}

void TcxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsVisible() && HasCapture()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  inherited::KeyDown(Key, Shift);
}

void TcxCustomPopupWindow::VisibleChanged() {
  if (GetVisible() || !FCaptureFocus || !FOwnerControl) return;
  TCustomForm* ownerForm = GetParentForm(FOwnerControl);
  if (ownerForm && ownerForm->HandleAllocated() && win::GetFocus() == ownerForm->GetHandle() &&
      FOwnerControl->CanFocus())
    FOwnerControl->SetFocus();
}

void TcxCustomPopupWindow::Paint() { FViewInfo->Paint(GetcxCanvas()); }

void TcxCustomPopupWindow::AdjustClientRect(TRect& Rect) { Rect = FViewInfo->ClientRect; }

void TcxCustomPopupWindow::CMMouseEnter(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  MouseEnter(control ? control : this);
}

void TcxCustomPopupWindow::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  auto* control = reinterpret_cast<TControl*>(Message.LParam);
  MouseLeave(control ? control : this);
}

void TcxCustomPopupWindow::WMEraseBkgnd(TMessage& Message) {
  if (HasBackground())
    DispatchFrom(inherited::StaticClass(), Message);
  else
    Message.Result = 1;
}

// Losing the application's activation is the hooks' business.
void TcxCustomPopupWindow::WMActivateApp(TMessage& Message) { TCustomForm::WMActivateApp(Message); }

// --- helpers ------------------------------------------------------------------------------

HWND GetPopupOwnerControl(HWND AWnd) {
  for (HWND w = AWnd; w; w = GetParent(w))
    if (auto* popup = dynamic_cast<TcxCustomPopupWindow*>(FindControl(w))) {
      TWinControl* owner = popup->GetOwnerControl();
      return owner && owner->HandleAllocated() ? owner->GetHandle() : AWnd;
    }
  return AWnd;
}

bool HasOpenedPopupWindow(TControl* AControl) {
  TcxContainer* container = GetcxContainer(AControl);
  return container && container->HasPopupWindow();
}

bool HasNativeHandle(TWinControl* AControl, HWND AWnd, bool AWithChildren) {
  if (!AControl || !AWnd) return false;
  if (AControl->HandleAllocated() && AControl->GetHandle() == AWnd) return true;
  return AWithChildren && IsChildWindow(AControl, AWnd);
}

bool HasHandle(TWinControl* AControl, HWND AWnd) { return HasNativeHandle(AControl, AWnd, false); }

bool IsChildWindow(TWinControl* AParent, HWND AWnd) {
  if (!AParent || !AWnd || !AParent->HandleAllocated() || AParent->GetHandle() == AWnd) return false;
  if (IsChild(AParent->GetHandle(), AWnd)) return true;
  for (Integer i = 0; i < AParent->GetControlCount(); ++i)
    if (auto* child = dynamic_cast<TWinControl*>(AParent->GetControl(i)))
      if (HasNativeHandle(child, AWnd, true)) return true;
  auto* parentPopup = dynamic_cast<TcxCustomPopupWindow*>(AParent);
  for (TcxCustomPopupWindow* popup : PopupList) {
    if (popup == AParent) continue;
    TWinControl* owner = popup->GetOwnerControl();
    const bool belongs =
        parentPopup ? owner && GetParentForm(owner) == AParent : owner == AParent;
    if (belongs && HasNativeHandle(popup, AWnd, true)) return true;
  }
  return false;
}

bool CheckParentsNativeHandle(TControl* AControl, HWND AWnd) {
  TCustomForm* form = AControl ? GetParentForm(AControl) : nullptr;
  if (!form || !AWnd || !form->HandleAllocated()) return false;
  if (HasNativeHandle(form, AWnd, true)) return true;
  // A form embedded in windows of another kind: its outermost holder.
  if (!form->GetParent() && (GetWindowLongA(form->GetHandle(), GWL_STYLE) & WS_CHILD)) {
    HWND outer = form->GetHandle();
    while (GetParent(outer) && (GetWindowLongA(outer, GWL_STYLE) & WS_CHILD)) outer = GetParent(outer);
    return AWnd == outer || IsChild(outer, AWnd);
  }
  return false;
}

HWND FindFirstNonChildParentWindow(HWND AWnd) {
  HWND w = AWnd;
  while (w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD)) w = GetParent(w);
  return w;
}

bool CanShowHint(TControl* AControl) {
  auto* control = dynamic_cast<TWinControl*>(AControl);
  if (!Application || !Application->GetShowHint() || !control || !control->HandleAllocated() ||
      !IsWindowVisible(control->GetHandle()))
    return false;
  if (FindDragTarget(GetMouseCursorPos(), true) != AControl) return false;
  HWND top = FindFirstNonChildParentWindow(control->GetHandle());
  auto* form = dynamic_cast<TCustomForm*>(FindControl(top));
  if (!form || form->GetActive()) return true;
  if (PopupList.empty()) return false;
  TWinControl* owner = PopupList.front()->GetOwnerControl();
  return owner && (owner == form || form->ContainsControl(owner));
}

bool KillMessages(HWND AWnd, UINT AFirst, UINT ALast, bool AKillAll) {
  bool removed = false;
  MSG msg;
  while (PeekMessageA(&msg, AWnd, AFirst, ALast, PM_REMOVE)) {
    removed = true;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!AKillAll) break;
  }
  return removed;
}

namespace {

Integer AppWindowsDisableCount = 0;
bool AppWindowsDisabling = false;
std::vector<HWND> DisabledWindows;

BOOL DisableWindowProc(HWND AWnd, LPARAM) {
  if (IsWindowVisible(AWnd) && IsWindowEnabled(AWnd)) {
    DisabledWindows.push_back(AWnd);
    EnableWindow(AWnd, FALSE);
  }
  return TRUE;
}

}  // namespace

void DisableAppWindows(bool ANeedDisable) {
  ++AppWindowsDisableCount;
  if (AppWindowsDisableCount != 1 || !ANeedDisable) return;
  AppWindowsDisabling = true;
  auto done = orv::ScopeExit([] { AppWindowsDisabling = false; });
  EnumThreadWindows(GetCurrentThreadId(), &DisableWindowProc, 0);
}

void EnableAppWindows() {
  if (AppWindowsDisableCount == 0) return;
  if (--AppWindowsDisableCount > 0) return;
  for (HWND w : DisabledWindows)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  DisabledWindows.clear();
}

bool IsInternalWindowsDisabled() { return AppWindowsDisableCount > 0; }

bool IsInternalWindowsDisabling() { return AppWindowsDisabling; }
