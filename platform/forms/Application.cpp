// TApplication: forms, the message loop and what every retrieved message
// goes through first, exceptions, and the hidden application window.
#include "platform/forms/Application.h"

#include "platform/forms/Actions.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Hints.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/Screen.h"
#include "platform/forms/TestHooks.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

TApplication* Application = nullptr;

namespace {
constexpr const char* kAppWindowClass = "TApplication";
}  // namespace

ORV_REGISTER(TApplication)

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  FHintColor = clInfoBk;
  FHook = SetWindowsHookExA(WH_GETMESSAGE, &TApplication::GetMessageHook, nullptr, GetCurrentThreadId());
}

TApplication::~TApplication() {
  if (FHook) UnhookWindowsHookEx(FHook);
  if (FHandle) {
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
  if (Application == this) Application = nullptr;
}

void TApplication::BeforeDestruction() {
  CancelHint();
  FMainForm = nullptr;
  inherited::BeforeDestruction();
  // Forms go before the application's window and hook.
  DestroyComponents();
  FreeAndNil(FHintWindow);
}

void TApplication::SetTitle(const AnsiString& Value) {
  FTitle = Value;
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

TComponent* TApplication::CreateForm(TClass InstanceClass) {
  if (!InstanceClass || !InstanceClass->InheritsFrom(TComponent::StaticClass()))
    throw EInvalidOperation("A form class is required");
  auto* instance = static_cast<TComponent*>(InstanceClass->Create(this));
  if (!FMainForm)
    if (auto* form = dynamic_cast<TCustomForm*>(instance)) FMainForm = form;
  return instance;
}

// ---- The loop ----

void TApplication::Run() {
  if (FMainForm && FShowMainForm) FMainForm->SetVisible(true);
  while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  TranslateMessage(&Msg);
  DispatchMessageA(&Msg);
  return true;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle() {
  DoMouseIdle();
  UpdateVisibleActions();
  bool done = true;
  if (OnIdle) {
    try {
      OnIdle(this, done);
    } catch (...) {
      HandleException(this);
    }
  }
  if (done) WaitMessage();
}

// The control under the pointer can change without the mouse moving (a
// window appears or goes): idle time looks again.
void TApplication::DoMouseIdle() {
  POINT p{};
  GetCursorPos(&p);
  TrackMouseControl(FindDragTarget(p, true));
}

void TApplication::TrackMouseControl(TControl* Control) {
  if (Control == FMouseControl) return;
  TControl* previous = FMouseControl;
  FMouseControl = Control;
  if (previous) previous->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(previous));
  if (Control && FMouseControl == Control) Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

void TApplication::ControlDestroying(TControl* Control) {
  if (FMouseControl == Control) FMouseControl = nullptr;
  if (FHintControl == Control) CancelHint();
}

LRESULT TApplication::GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && Application) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    try {
      if (Application->PreProcessMessage(*msg)) msg->message = WM_NULL;
    } catch (...) {
      Application->HandleException(Application);
      msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool TApplication::PreProcessMessage(MSG& Msg) {
  if (DragMessage(Msg)) return true;
  if (Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST) {
    TWinControl* window = FindControl(Msg.hwnd);
    TControl* target = window;
    if (window && Msg.message != WM_MOUSEWHEEL && Msg.message != WM_MOUSEHWHEEL) {
      TPoint client{GET_X_LPARAM(Msg.lParam), GET_Y_LPARAM(Msg.lParam)};
      if (TControl* inner = window->ControlAtPos(client, true)) target = inner;
    }
    TrackMouseControl(target);
  }
  // Pressing a key or a button puts an end to a hint.
  switch (Msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_MOUSEWHEEL:
      CancelHint();
      break;
    default:
      break;
  }
  return IsKeyMsg(Msg);
}

// Keys go to the nearest control window first as CN_ messages; a control
// answering non-zero keeps them from the window's own procedure.
bool TApplication::IsKeyMsg(MSG& Msg) { return ReflectKeyMessage(Msg); }

// ---- Exceptions ----

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
    return;
  } catch (Exception& e) {
    Report(Sender, e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    Report(Sender, wrapped);
  }
}

// The program's handler, else the box (which the test hooks record instead).
void TApplication::Report(TObject* Sender, Exception& E) {
  if (OnException)
    OnException(Sender, &E);
  else if (!forms::detail::RecordException(Sender, E))
    ShowException(&E);
}

void TApplication::ShowException(Exception* E) {
  AnsiString message = E->GetMessage();
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  MessageBox(message, FTitle, MB_OK | MB_ICONSTOP);
}

Integer TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, Integer Flags) {
  TCustomForm* active = Screen ? Screen->GetActiveForm() : nullptr;
  HWND owner = active && active->HandleAllocated() ? active->GetHandle() : nullptr;
  return MessageBoxA(owner, Text.c_str(), Caption.c_str(), static_cast<UINT>(Flags));
}

// ---- The application window ----

HWND TApplication::GetHandle() {
  if (FHandle) {
    if (IsWindow(FHandle)) return FHandle;
    FHandle = nullptr;
  }
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, kAppWindowClass, &wc)) {
    wc.lpfnWndProc = &TApplication::AppWindowProc;
    wc.lpszClassName = kAppWindowClass;
    RegisterClassA(&wc);
  }
  FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kAppWindowClass, FTitle.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, nullptr, nullptr);
  SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return FHandle;
}

LRESULT TApplication::AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!app) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  try {
    app->WndProc(message);
  } catch (...) {
    app->HandleException(app);
  }
  return message.Result;
}

void TApplication::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_APPKEYDOWN:
      // Shortcuts of the main form reach it from any form.
      if (FMainForm && FMainForm->GetEnabled()) {
        TMessage key{WM_KEYDOWN, Message.WParam, Message.LParam, 0};
        Message.Result = FMainForm->IsShortCut(key) ? 1 : 0;
      }
      return;
    case CM_APPSYSCOMMAND:
      if (Message.WParam == SC_MINIMIZE) {
        Minimize();
        Message.Result = 1;
      } else if (Message.WParam == SC_RESTORE && FMinimized) {
        // Otherwise the restore is the main form's own, from maximised.
        Restore();
        Message.Result = 1;
      }
      return;
    case WM_SETTINGCHANGE:
      if (FUpdateFormatSettings) UpdateFormatSettings();
      break;
    case WM_TIMER:
      if (Message.WParam == 1)
        HintTimerExpired();
      else if (Message.WParam == 2)
        HideHintTimerExpired();
      return;
    default:
      break;
  }
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::ApplicationActivated(bool Active) {
  if (FActive == Active) return;
  FActive = Active;
  if (!Active) CancelHint();
  if (Active && OnActivate) OnActivate(this);
  if (!Active && OnDeactivate) OnDeactivate(this);
}

void TApplication::Minimize() {
  if (FMinimized) return;
  FMinimized = true;
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->GetHandle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FMinimized = false;
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->GetHandle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::UpdateFormatSettings() { GetFormatSettings(); }
