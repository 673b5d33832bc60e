// TCustomForm: layout loading, window styles, showing and modality,
// closing, focus bookkeeping and dialog keys.
#include "platform/forms/Forms.h"

#include <algorithm>

#include "platform/forms/Application.h"
#include "platform/forms/FreeWatch.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ObjectText.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Layered.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

bool InitInheritedComponent(TComponent* Instance, TClass Ancestor) {
  std::vector<TClass> chain;
  for (TClass c = Instance->ClassType(); c && c != Ancestor; c = c->ClassParent()) chain.push_back(c);
  bool found = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!FindResourceData((*it)->ClassName(), RT_RCDATA)) continue;
    ReadComponentResource((*it)->ClassName(), Instance);
    found = true;
  }
  return found;
}

ORV_REGISTER(TCustomForm, ORV_PROP(Caption), ORV_PROP(ClientWidth), ORV_PROP(ClientHeight),
             ORV_PROP(BorderStyle).Default(bsSizeable),
             ORV_PROP(BorderIcons).Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}.ToBits()),
             ORV_PROP(FormStyle).Default(fsNormal), ORV_PROP(Position).Default(poDefaultPosOnly),
             ORV_PROP(WindowState).Default(wsNormal), ORV_PROP(KeyPreview).Default(false),
             ORV_PROP(ActiveControl), ORV_PROP(PixelsPerInch), ORV_PROP(TextHeight),
             ORV_PROP(OldCreateOrder).Default(false), ORV_PROP(AlphaBlend).Default(false),
             ORV_PROP(AlphaBlendValue).Default(255), ORV_PROP(TransparentColor).Default(false),
             ORV_PROP(TransparentColorValue).As(ColorTypeInfo()), ORV_EVENT(OnCreate), ORV_EVENT(OnDestroy),
             ORV_EVENT(OnShow), ORV_EVENT(OnHide), ORV_EVENT(OnActivate), ORV_EVENT(OnDeactivate),
             ORV_EVENT(OnPaint), ORV_EVENT(OnClose), ORV_EVENT(OnCloseQuery), ORV_EVENT(OnShortCut))

ORV_REGISTER(TForm)

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomForm(AOwner, true) { FCreatedNew = false; }

TCustomForm::TCustomForm(TComponent* AOwner, bool) : TWinControl(AOwner) {
  FCreatedNew = true;
  FFormState.Include(fsCreating);
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
  auto* canvas = New<TControlCanvas>();
  canvas->SetControl(this);
  FCanvas = canvas;
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  FreeAndNil(FCanvas);
}

void TCustomForm::AfterConstruction() {
  inherited::AfterConstruction();
  try {
    if (!FCreatedNew && ClassType() != TForm::StaticClass() && ClassType() != TCustomForm::StaticClass()) {
      if (!InitInheritedComponent(this, TForm::StaticClass()) &&
          !InitInheritedComponent(this, TCustomForm::StaticClass()))
        throw EResNotFound("Resource %s not found", {ClassName()});
    }
    FFormState.Exclude(fsCreating);
    DoCreate();
  } catch (...) {
    FFormState.Exclude(fsCreating);
    throw;
  }
  // A layout that says Visible shows the form once it is created.
  if (FVisible && !FShowing) UpdateControlState();
}

void TCustomForm::SetClientWidth(Integer Value) {
  if (GetComponentState().Contains(csReading))
    FLoadedClientWidth = Value;
  else
    inherited::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(Integer Value) {
  if (GetComponentState().Contains(csReading))
    FLoadedClientHeight = Value;
  else
    inherited::SetClientHeight(Value);
}

void TCustomForm::BeforeDestruction() {
  if (!GetComponentState().Contains(csDestroying)) {
    try {
      DoDestroy();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  if (Application && Application->FMainForm == this) Application->FMainForm = nullptr;
  inherited::BeforeDestruction();
}

// ---- Events ----

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

TCanvas* TCustomForm::GetCanvas() const { return FCanvas; }

void TCustomForm::PaintWindow(HDC DC) {
  PaintThroughCanvas(FCanvas, DC, [this] { Paint(); });
}

// ---- Window ----

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (FHandle) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  if (FHandle) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  if (FHandle && FShowing) {
    static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(FHandle, commands[Value]);
  }
}

void TCustomForm::SetAlphaBlend(bool Value) {
  if (FAlphaBlend == Value) return;
  FAlphaBlend = Value;
  SetLayeredAttribs();
}

void TCustomForm::SetAlphaBlendValue(Byte Value) {
  if (FAlphaBlendValue == Value) return;
  FAlphaBlendValue = Value;
  SetLayeredAttribs();
}

void TCustomForm::SetTransparentColor(bool Value) {
  if (FTransparentColor == Value) return;
  FTransparentColor = Value;
  SetLayeredAttribs();
}

void TCustomForm::SetTransparentColorValue(TColor Value) {
  if (FTransparentColorValue == Value) return;
  FTransparentColorValue = Value;
  SetLayeredAttribs();
}

void TCustomForm::SetLayeredAttribs() {
  // Only a window of its own can be layered; a hosted form is a child.
  if (!HandleAllocated() || FParent || FParentWindow) return;
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
  if (FAlphaBlend || FTransparentColor) {
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongA(FHandle, GWL_EXSTYLE, static_cast<LONG>(exStyle | WS_EX_LAYERED));
    SetLayeredWindowAttributes(FHandle, static_cast<COLORREF>(ColorToRGB(FTransparentColorValue)), FAlphaBlendValue,
                               (FAlphaBlend ? LWA_ALPHA : 0) | (FTransparentColor ? LWA_COLORKEY : 0));
  } else if (exStyle & WS_EX_LAYERED) {
    SetWindowLongA(FHandle, GWL_EXSTYLE, static_cast<LONG>(exStyle & ~WS_EX_LAYERED));
  }
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  SetLayeredAttribs();
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (FParent || FParentWindow) {
    // Hosted inside another window: a plain child window.
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return;
  }
  Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  Params.Style |= WS_CLIPCHILDREN;
  switch (FBorderStyle) {
    case bsNone:
      Params.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      Params.Style |= WS_CAPTION;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
  if (FBorderStyle != bsNone) {
    if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
      if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  Params.WindowClass.style = CS_DBLCLKS;
}

// ---- Showing ----

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::CMVisibleChanged(TMessage& Message) {
  if (FVisible)
    FFormState.Include(fsVisible);
  else
    FFormState.Exclude(fsVisible);
  DispatchFrom(inherited::StaticClass(), Message);
}

namespace {
// A form to centre on is one whose window is on the screen: a form still
// running its OnShow (whose message boxes come here) has no place yet, and
// a minimised one only its small caption.
bool OnScreen(TCustomForm* AForm) {
  return AForm->HandleAllocated() && IsWindowVisible(AForm->GetHandle()) && !IsIconic(AForm->GetHandle());
}
}  // namespace

// Centres or places the form as its Position asks, inside the work area.
void TCustomForm::PlaceOnScreen() {
  if (FParent || FParentWindow) return;  // hosted: its place is in the host
  TRect area = Screen ? Screen->GetWorkAreaRect() : Rect(0, 0, 1024, 768);
  TRect centre = area;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      if (Application && Application->GetMainForm() && Application->GetMainForm() != this &&
          OnScreen(Application->GetMainForm()))
        centre = Application->GetMainForm()->GetBoundsRect();
      break;
    case poOwnerFormCenter:
      if (auto* owner = dynamic_cast<TCustomForm*>(GetOwner()); owner && OnScreen(owner))
        centre = owner->GetBoundsRect();
      break;
    default:
      return;
  }
  Integer x = centre.Left + (centre.Width() - FWidth) / 2;
  Integer y = centre.Top + (centre.Height() - FHeight) / 2;
  x = std::max(area.Left, std::min(x, area.Right - FWidth));
  y = std::max(area.Top, std::min(y, area.Bottom - FHeight));
  SetBounds(x, y, FWidth, FHeight);
}

// Showing runs OnShow before the window appears; a form hidden or closed
// from OnShow simply stays hidden. Hiding runs OnHide first.
void TCustomForm::CMShowingChanged(TMessage&) {
  if (FShowing) {
    FFormState.Include(fsShowing);
    try {
      DoShow();
    } catch (...) {
      FFormState.Exclude(fsShowing);
      throw;
    }
    FFormState.Exclude(fsShowing);
    if (!FShowing) return;
    PlaceOnScreen();
    static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, commands[FWindowState]);
    if (FActiveControl && FActiveControl->CanFocus() && GetActiveWindow() == FHandle)
      FocusControl(FActiveControl);
    else if (!FActiveControl && GetActiveWindow() == FHandle)
      SelectFirst();
  } else {
    if (FFormState.Contains(fsShowing)) return;  // hidden from OnShow: never shown
    FFormState.Include(fsShowing);
    try {
      DoHide();
    } catch (...) {
      FFormState.Exclude(fsShowing);
      throw;
    }
    FFormState.Exclude(fsShowing);
    ShowWindow(FHandle, SW_HIDE);
  }
}

namespace {
// One message of a modal loop, or a wait: through the application when
// there is one (a message box may come before the units started).
bool ModalStep() {
  if (Application) {
    Application->HandleMessage();
    return !Application->GetTerminated();
  }
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    WaitMessage();
    return true;
  }
  if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));  // for the loops outside
    return false;
  }
  // Keys go to the controls first, as the application would have it.
  if (ReflectKeyMessage(msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}
}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND previousActive = GetActiveWindow();
  // Every other enabled top-level window waits until the form is done.
  std::vector<HWND> disabled;
  HWND own = GetHandle();
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h != own && IsWindowVisible(h) && IsWindowEnabled(h)) disabled.push_back(h);
  // The form stands over the window it keeps waiting: owned by it while
  // modal (a form of its own owner keeps that one), so a window manager
  // keeps it above that window and gives it the focus meant for it.
  HWND waiting = previousActive && previousActive != own ? previousActive : nullptr;
  if (!waiting && Application && Application->GetMainForm() && Application->GetMainForm() != this &&
      OnScreen(Application->GetMainForm()))
    waiting = Application->GetMainForm()->GetHandle();
  const bool ownedHere = waiting && !GetWindow(own, GW_OWNER);
  if (ownedHere) SetWindowLongPtrA(own, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(waiting));
  for (HWND h : disabled) EnableWindow(h, FALSE);
  TModalResult result = mrNone;
  // The form may be freed by anything its loop runs (its owner, a timer, a
  // handler); from then on only what ShowModal keeps itself is touched.
  TFreeWatch watch(this);
  // The windows that waited take over again before the form goes out of
  // sight, and the one that was active is active again at once: hiding the
  // active form first would leave the program without an active window for
  // a moment, and tell every window so.
  bool handedBack = false;
  auto handBack = [&]() {
    if (handedBack) return;
    handedBack = true;
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
  };
  auto hide = [&]() {
    handBack();
    if (!watch.Gone()) Hide();
  };
  auto restore = [&]() {
    handBack();
    if (watch.Gone()) return;
    if (ownedHere && IsWindow(own)) SetWindowLongPtrA(own, GWLP_HWNDPARENT, 0);
    FFormState.Exclude(fsModal);
  };
  try {
    // Set before showing: a form closed from its OnShow answers at once.
    FModalResult = mrNone;
    Show();
    try {
      if (!watch.Gone()) SendMessageA(FHandle, CM_ACTIVATE, 0, 0);
      ModalLoopScope loop;
      bool running = !Application || !Application->GetTerminated();
      while (!watch.Gone()) {
        if (!running)
          FModalResult = mrCancel;
        else if (FModalResult != mrNone)
          CloseModal();
        if (watch.Gone() || FModalResult != mrNone) break;
        running = ModalStep();
      }
      result = watch.Gone() ? mrCancel : FModalResult;
      if (!watch.Gone() && FHandle) SendMessageA(FHandle, CM_DEACTIVATE, 0, 0);
    } catch (...) {
      hide();
      throw;
    }
    hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->GetMainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Release() {
  if (FReleasing) return;
  FReleasing = true;
  // Only the message frees the form: it must come even to a full queue.
  win::detail::PostOwed(GetHandle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSysCommand(TMessage& Message) {
  switch (Message.WParam & 0xFFF0) {
    case SC_CLOSE:
      Close();
      return;
    case SC_MINIMIZE:
    case SC_RESTORE:
      // The main form minimises and restores the whole application.
      if (Application && Application->GetMainForm() == this &&
          SendMessageA(Application->GetHandle(), CM_APPSYSCOMMAND, Message.WParam & 0xFFF0, Message.LParam))
        return;
      break;
    default:
      break;
  }
  DefaultHandler(Message);
}

// ---- Activation and focus ----

// On activation the focus goes to the form's active control (the window
// system would give it to whichever window had it last).
void TCustomForm::WMActivate(TMessage& Message) {
  bool active = LOWORD(Message.WParam) != WA_INACTIVE;
  if (active && FActiveControl && FActiveControl != this && FActiveControl->CanFocus() &&
      !IsIconic(FHandle))
    win::SetFocus(FActiveControl->GetHandle());
  else
    DefaultHandler(Message);
  if (active && Screen) Screen->SetActiveForm(this);
  SendMessageA(FHandle, active ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
}

// The process gained or lost the input focus.
void TCustomForm::WMActivateApp(TMessage& Message) {
  DefaultHandler(Message);
  if (Application) Application->ApplicationActivated(Message.WParam != 0);
}

void TCustomForm::CMActivate(TMessage&) {
  if (FActive) return;
  FActive = true;
  FFormState.Include(fsActivated);
  Activate();
}

void TCustomForm::CMDeactivate(TMessage&) {
  if (!FActive) return;
  FActive = false;
  Deactivate();
}

// The window itself got the focus: hand it to the active control.
void TCustomForm::WMSetFocusForm(TMessage& Message) {
  if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus() && FActiveControl->FHandle) {
    win::SetFocus(FActiveControl->FHandle);
    return;
  }
  DefaultHandler(Message);
}

void TCustomForm::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  win::SetFocus(GetHandle());
}

bool TCustomForm::CanFocus() { return FVisible && FEnabled; }

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && (Control == this || GetParentForm(Control) != this || !Control->CanFocus())) {
    if (GetComponentState().Contains(csLoading)) {
      FActiveControl = Control;  // checked once the form shows
      return;
    }
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  FActiveControl = Control;
  if (Control) Control->FreeNotification(this);
  if (FActive && Control && FHandle) win::SetFocus(Control->GetHandle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
  SetActiveControl(Control);
  // A control that refused to let the focus go (its exit put the focus
  // back) has made itself active again; it is not asked a second time.
  if (Control && FActiveControl == Control && FHandle && GetActiveWindow() == FHandle &&
      GetFocus() != Control->GetHandle())
    win::SetFocus(Control->GetHandle());
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->FParent;
  if (Control->ContainsControl(FActiveControl)) {
    TWinControl* next = Control->FParent;
    while (next && next != this && !next->CanFocus()) next = next->FParent;
    FActiveControl = next == this ? nullptr : next;
    if (FHandle && GetFocus() && Control->FHandle &&
        (GetFocus() == Control->FHandle || IsChild(Control->FHandle, GetFocus())))
      win::SetFocus(FActiveControl ? FActiveControl->GetHandle() : FHandle);
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (FFocusedControl == Control && FActiveControl == (Control == this ? nullptr : Control)) return true;
  if (Control != this) FActiveControl = Control;
  if (Screen) Screen->SetActiveControl(Control);
  FControlState.Include(csFocusing);
  try {
    // Leave the controls that no longer hold the focus, innermost first.
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      TWinControl* leaving = FFocusedControl;
      FFocusedControl = leaving->FParent;
      leaving->Perform(CM_EXIT);
    }
    // Enter the ones that now do, outermost first.
    while (FFocusedControl != Control) {
      TWinControl* step = Control;
      while (step->FParent != FFocusedControl && step->FParent) step = step->FParent;
      FFocusedControl = step;
      step->Perform(CM_ENTER);
      if (!FFocusedControl) break;
    }
  } catch (...) {
    FControlState.Exclude(csFocusing);
    throw;
  }
  FControlState.Exclude(csFocusing);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return FFocusedControl == Control;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FActiveControl) FActiveControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  return handled;
}

// Tab and Shift+Tab walk the tab order, arrows move among the focused
// control's siblings; everything else goes to the controls (buttons take
// Enter and Esc).
void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl) {
          TWinControl* parent = FActiveControl->FParent ? FActiveControl->FParent : this;
          parent->SelectNext(FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
          return;
        }
        break;
      default:
        break;
    }
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

// A form hands system-wide changes on to all of its controls.
void TCustomForm::WMSysColorChange(TMessage& Message) {
  DefaultHandler(Message);
  Perform(CM_SYSCOLORCHANGE);
}

void TCustomForm::WMSettingChange(TMessage& Message) {
  DefaultHandler(Message);
  Perform(CM_WININICHANGE, Message.WParam, Message.LParam);
}

// ---- Streaming ----

void TCustomForm::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (Integer i = 0; i < GetComponentCount(); ++i) {
    TComponent* c = GetComponent(i);
    if (!c->HasParent()) Proc(c);
  }
  inherited::GetChildren(Proc, Root);
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (FActiveControl && (GetParentForm(FActiveControl) != this)) FActiveControl = nullptr;
  if (FActiveControl) FActiveControl->FreeNotification(this);
  if (FLoadedClientWidth > 0 || FLoadedClientHeight > 0)
    SetClientSize(FLoadedClientWidth > 0 ? FLoadedClientWidth : GetClientWidth(),
                  FLoadedClientHeight > 0 ? FLoadedClientHeight : GetClientHeight());
  FLoadedClientWidth = FLoadedClientHeight = 0;
}
