// The hooks that close open popups from outside: clicks elsewhere in the
// owner's form, the application losing activation, the owner hidden,
// closed or gone; and the unit's start-up and shut-down.
#include <map>

#include "library/foundation/cxContainer.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Application.h"
#include "platform/win/Hooks.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

namespace {

HHOOK CallWndProcHook = nullptr;
HHOOK GetMessageHook = nullptr;
HHOOK MouseHook = nullptr;
bool ClosingByHook = false;

// Window procedures put aside for one WM_NCACTIVATE.
std::map<HWND, WNDPROC>& SavedProcs() {
  static std::map<HWND, WNDPROC> procs;
  return procs;
}

const std::vector<TcxCustomPopupWindow*>& Popups() { return cxOpenPopupWindows(); }

bool IsPopupForm(TCustomForm* AForm, bool AOpen) {
  auto* popup = dynamic_cast<TcxCustomPopupWindow*>(AForm);
  return popup && popup->IsVisible() == AOpen;
}

void CloseByHook(TcxCustomPopupWindow* APopup) {
  const bool wasClosing = ClosingByHook;
  const bool wasLocked = APopup->IsDeactivateLocked();
  ClosingByHook = true;
  APopup->LockDeactivate(true);
  APopup->CloseUp();
  APopup->LockDeactivate(wasLocked);
  ClosingByHook = wasClosing;
}

bool IsClickMessage(WPARAM AMsg) {
  switch (AMsg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK: return true;
    default: return false;
  }
}

// A click somewhere in the owner's form closes the popups it is not in;
// answers whether the click is to be swallowed. A click outside the owner's
// form is left to deactivation.
bool CheckClick(HWND AWnd, WPARAM AMsg, const POINT& APoint) {
  bool swallow = false;
  bool closed = true;
  while (closed) {
    closed = false;
    for (TcxCustomPopupWindow* popup : Popups()) {
      if (popup->GetCaptureFocus() && !popup->GetPopupActive()) continue;
      if (HasNativeHandle(popup, AWnd, true)) continue;
      TWinControl* owner = popup->GetOwnerControl();
      TCustomForm* ownerForm = owner ? GetParentForm(owner) : nullptr;
      // No multiple-document frames exist here, so nothing else qualifies.
      if (!CheckParentsNativeHandle(owner, AWnd) && !IsPopupForm(ownerForm, false)) continue;
      bool ownerClick = false;
      if (owner && HasNativeHandle(owner, AWnd, true) && (AMsg == WM_LBUTTONDOWN || AMsg == WM_LBUTTONDBLCLK) &&
          cxRectPtIn(popup->GetOwnerScreenBounds(), TPoint(APoint.X, APoint.Y))) {
        popup->SetClosedByOwnerClick(true);
        ownerClick = true;
      }
      CloseByHook(popup);
      if (ownerClick && (owner->GetComponentState().Contains(csDestroying) || !owner->GetVisible())) swallow = true;
      closed = true;
      break;
    }
  }
  return swallow;
}

void ApplicationDeactivated() {
  bool closed = true;
  while (closed) {
    closed = false;
    for (TcxCustomPopupWindow* popup : Popups()) {
      TWinControl* owner = popup->GetOwnerControl();
      TCustomForm* ownerForm = owner ? GetParentForm(owner) : nullptr;
      if (ownerForm && ownerForm->HandleAllocated()) PostMessageA(ownerForm->GetHandle(), WM_NCACTIVATE, FALSE, 0);
      if (popup->GetCaptureFocus() && popup->GetPopupActive()) continue;
      if (!popup->HandleAllocated() || !IsWindowEnabled(popup->GetHandle())) continue;
      popup->CloseUp();
      if (auto* container = dynamic_cast<TcxContainer*>(owner)) container->ShortRefreshContainer(false);
      closed = true;
      break;
    }
  }
}

LRESULT KeepCaptionActiveProc(HWND AWnd, UINT, WPARAM, LPARAM) {
  auto it = SavedProcs().find(AWnd);
  if (it != SavedProcs().end()) {
    SetWindowLongPtrA(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
    SavedProcs().erase(it);
  }
  return TRUE;
}

// The owner's form keeps its active caption while one of its popups is open.
void KeepCaptionActive(HWND AWnd) {
  bool keep = ClosingByHook;
  for (TcxCustomPopupWindow* popup : Popups()) {
    TWinControl* owner = popup->GetOwnerControl();
    TCustomForm* ownerForm = owner ? GetParentForm(owner) : nullptr;
    if (ownerForm && ownerForm->HandleAllocated() && ownerForm->GetHandle() == AWnd) keep = true;
  }
  if (!keep || SavedProcs().count(AWnd)) return;
  SavedProcs()[AWnd] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeepCaptionActiveProc)));
}

// The owner's window, or a window holding it, goes out of sight.
bool HoldsOwner(HWND AWnd, TcxCustomPopupWindow* APopup) {
  TWinControl* owner = APopup->GetOwnerControl();
  if (!owner || !owner->HandleAllocated()) return false;
  return owner->GetHandle() == AWnd || IsChild(AWnd, owner->GetHandle());
}

void OwnerHidden(HWND AWnd) {
  const auto& list = Popups();
  for (std::size_t i = list.size(); i-- > 0;) {
    if (!HoldsOwner(AWnd, list[i])) continue;
    // It closes with every popup opened after it, newest first.
    while (list.size() > i) list.back()->CloseUp();
    return;
  }
}

void OwnerMoved(HWND AWnd) {
  bool closed = true;
  while (closed) {
    closed = false;
    for (TcxCustomPopupWindow* popup : Popups()) {
      TWinControl* owner = popup->GetOwnerControl();
      if (owner && owner->HandleAllocated() && owner->GetHandle() == AWnd && !IsWindowVisible(AWnd)) {
        popup->CloseUp();
        closed = true;
        break;
      }
    }
  }
}

void WindowClosing(HWND AWnd) {
  for (TcxCustomPopupWindow* popup : Popups()) {
    TWinControl* owner = popup->GetOwnerControl();
    if (popup->HandleAllocated() && popup->GetHandle() == AWnd) {
      if (!popup->CloseQuery()) return;
      const bool captureFocus = popup->GetCaptureFocus();
      popup->CloseUp();
      // Closing a drop-down that has the keyboard closes the window the
      // person sees as active: the owner's.
      if (!popup->IsVisible() && captureFocus && owner && !owner->GetComponentState().Contains(csDestroying) &&
          owner->HandleAllocated())
        SendMessageA(FindFirstNonChildParentWindow(owner->GetHandle()), WM_CLOSE, 0, 0);
      return;
    }
    if (!popup->GetCaptureFocus()) {
      TCustomForm* ownerForm = owner ? GetParentForm(owner) : nullptr;
      if (!ownerForm || !ownerForm->HandleAllocated() || ownerForm->GetHandle() == AWnd) {
        popup->CloseUp();
        return;
      }
    }
  }
}

void WindowDestroyed(HWND AWnd) {
  for (TcxCustomPopupWindow* popup : Popups())
    if (popup->HandleAllocated() && popup->GetHandle() == AWnd) {
      // A popup whose window is gone is no longer open.
      popup->CloseUp();
      return;
    }
}

LRESULT CallWndProcHookProc(int ACode, WPARAM wParam, LPARAM lParam) {
  if (ACode == HC_ACTION && !Popups().empty()) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    switch (cwp->message) {
      case WM_ACTIVATEAPP:
        if (!cwp->wParam) ApplicationDeactivated();
        break;
      case WM_NCACTIVATE:
        if (!cwp->wParam) KeepCaptionActive(cwp->hwnd);
        break;
      case WM_SHOWWINDOW:
        if (!cwp->wParam) OwnerHidden(cwp->hwnd);
        break;
      case WM_WINDOWPOSCHANGED: OwnerMoved(cwp->hwnd); break;
      case WM_CLOSE: WindowClosing(cwp->hwnd); break;
      case WM_DESTROY: WindowDestroyed(cwp->hwnd); break;
      default: break;
    }
  }
  return CallNextHookEx(CallWndProcHook, ACode, wParam, lParam);
}

LRESULT GetMessageHookProc(int ACode, WPARAM wParam, LPARAM lParam) {
  if (ACode == HC_ACTION && !Popups().empty()) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    TcxCustomPopupWindow* newest = Popups().back();
    if (msg->message == WM_SYSKEYDOWN && !(newest->GetCaptureFocus() && newest->GetModalMode()) &&
        !newest->IsSysKeyAccepted(static_cast<Word>(msg->wParam)))
      msg->message = WM_NULL;
  }
  return CallNextHookEx(GetMessageHook, ACode, wParam, lParam);
}

LRESULT MouseHookProc(int ACode, WPARAM wParam, LPARAM lParam) {
  bool swallow = false;
  if (ACode == HC_ACTION && !Popups().empty() && IsClickMessage(wParam)) {
    const auto* mh = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    swallow = CheckClick(mh->hwnd, wParam, mh->pt);
  }
  const LRESULT next = CallNextHookEx(MouseHook, ACode, wParam, lParam);
  return swallow ? 1 : next;
}

}  // namespace

void cxContainerInitialize() {
  RegisterClasses({TcxStyleController::StaticClass()});
  GroupDescendentsWith(TcxStyleController::StaticClass(), TControl::StaticClass());
  const DWORD thread = GetCurrentThreadId();
  CallWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProcHookProc, nullptr, thread);
  GetMessageHook = SetWindowsHookExA(WH_GETMESSAGE, &GetMessageHookProc, nullptr, thread);
  MouseHook = SetWindowsHookExA(WH_MOUSE, &MouseHookProc, nullptr, thread);
}

void cxContainerFinalize() {
  for (HHOOK* hook : {&MouseHook, &GetMessageHook, &CallWndProcHook})
    if (*hook) {
      UnhookWindowsHookEx(*hook);
      *hook = nullptr;
    }
  SavedProcs().clear();
}
