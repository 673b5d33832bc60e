// The process-wide services of the controls unit: the message window, the
// timer window and its timers, mouse-leave tracking, the settings
// controller, the cursors and the hourglass counter.
#include <algorithm>

#include "library/foundation/cxControls.h"
#include "platform/forms/Application.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Cursors.h"
#include "platform/win/Identity.h"
#include "platform/win/Modules.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxMessageWindow)
ORV_REGISTER(TcxTimer, ORV_PROP(Enabled).Default(true), ORV_PROP(Interval).Default(1000),
             ORV_PROP_RW(OnTimer, GetOnTimer, SetOnTimer))

bool IsWin95X = false;
bool IsWin2KOrXP = false;
bool IsWinXP = false;
bool IsWinNT = false;

// ---------------------------------------------------------------------------
// TcxMessageWindow

namespace {
constexpr const char* kMessageWindowClass = "TcxMessageWindow";
}  // namespace

TcxMessageWindow::TcxMessageWindow() {
  WNDCLASSA wc{};
  if (!GetClassInfoA(ProgramInstance(), kMessageWindowClass, &wc)) {
    wc.lpfnWndProc = &MainWndProc;
    wc.hInstance = ProgramInstance();
    wc.lpszClassName = kMessageWindowClass;
    RegisterClassA(&wc);
  }
  FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, kMessageWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            ProgramInstance(), nullptr);
  SetWindowLongPtrA(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TcxMessageWindow::~TcxMessageWindow() {
  if (FHandle && IsWindow(FHandle)) {
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

void TcxMessageWindow::WndProc(TMessage& Message) {
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

LRESULT TcxMessageWindow::MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TcxMessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  self->WndProc(m);
  return m.Result;
}

namespace {
TcxMessageWindow* gMessageWindow = nullptr;
}  // namespace

// ---------------------------------------------------------------------------
// The timer window: every running TcxTimer by its id.
class TcxTimerWindow : public TcxMessageWindow {
  ORV_CLASS(TcxTimerWindow, TcxMessageWindow)
 public:
  TcxTimerWindow() = default;
  std::vector<TcxTimer*> Timers;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg != WM_TIMER) return TcxMessageWindow::WndProc(Message);
    auto* id = reinterpret_cast<TcxTimer*>(Message.WParam);
    if (std::find(Timers.begin(), Timers.end(), id) == Timers.end()) return;
    try {
      id->TimeOut();
    } catch (...) {
      if (Application) Application->HandleException(id);
    }
  }
};

namespace {
TcxTimerWindow* gTimerWindow = nullptr;

TcxTimerWindow* TimerWindow() {
  if (!gTimerWindow) gTimerWindow = New<TcxTimerWindow>();
  return gTimerWindow;
}
}  // namespace

ORV_REGISTER(TcxTimerWindow)

TcxMessageWindow* cxMessageWindow() {
  if (!gMessageWindow) gMessageWindow = New<TcxMessageWindow>();
  return gMessageWindow;
}

// ---------------------------------------------------------------------------
// TcxTimer

TcxTimer::TcxTimer(TComponent* AOwner) : TComponent(AOwner) {}

TcxTimer::~TcxTimer() { StopTimer(); }

void TcxTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TcxTimer::SetInterval(Cardinal Value) {
  if (FInterval == Value || Value == 0) return;
  FInterval = Value;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = Value;
  UpdateTimer();
}

void TcxTimer::TimeOut() {
  if (FOnTimer) FOnTimer(this);
}

void TcxTimer::StartTimer() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  HWND wnd = TimerWindow()->GetHandle();
  if (SetTimer(wnd, reinterpret_cast<UINT_PTR>(this), FInterval, nullptr)) SetTimerOn(true);
}

void TcxTimer::StopTimer() {
  if (!FTimerOn) return;
  if (gTimerWindow) KillTimer(gTimerWindow->GetHandle(), reinterpret_cast<UINT_PTR>(this));
  SetTimerOn(false);
}

void TcxTimer::SetTimerOn(bool Value) {
  FTimerOn = Value;
  auto& list = TimerWindow()->Timers;
  if (Value)
    list.push_back(this);
  else
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TcxTimer::UpdateTimer() {
  StopTimer();
  StartTimer();
}

// ---------------------------------------------------------------------------
// Mouse tracking

namespace {

class TcxMouseTrackingTimer : public TcxTimer {
  ORV_CLASS(TcxMouseTrackingTimer, TcxTimer)
 public:
  TcxMouseTrackingTimer() : TcxTimer(nullptr) {}
  IcxMouseTrackingCaller* Caller = nullptr;
  TComponent* CallerComponent = nullptr;  // the caller as a component, when it is one
  TWinControl* Control = nullptr;
  TRect Bounds;
};

struct Tracking {
  std::vector<TcxMouseTrackingTimer*> List;
  // Tells the tracker when a tracked caller or control goes away.
  TcxFreeNotificator* Notificator = nullptr;
};
Tracking gTracking;

TcxMouseTrackingTimer* FindTracking(IcxMouseTrackingCaller* ACaller) {
  for (auto* t : gTracking.List)
    if (t->Caller == ACaller) return t;
  return nullptr;
}

bool IsWatched(TComponent* AComponent) {
  for (auto* t : gTracking.List)
    if (t->CallerComponent == AComponent || t->Control == AComponent) return true;
  return false;
}

void ComponentFreed(TComponent* AComponent) {
  // A caller that went is forgotten with its timer; a control that went
  // leaves its caller tracked by the screen bounds.
  for (std::size_t i = gTracking.List.size(); i-- > 0;) {
    TcxMouseTrackingTimer* t = gTracking.List[i];
    if (t->CallerComponent == AComponent) {
      gTracking.List.erase(gTracking.List.begin() + static_cast<std::ptrdiff_t>(i));
      t->Free();
    } else if (t->Control == AComponent) {
      t->Control = nullptr;
    }
  }
}

void Watch(TComponent* AComponent) {
  if (!AComponent) return;
  if (!gTracking.Notificator) {
    gTracking.Notificator = New<TcxFreeNotificator>(nullptr);
    gTracking.Notificator->OnFreeNotification = [](TComponent* C) { ComponentFreed(C); };
  }
  gTracking.Notificator->AddSender(AComponent);
}

void Unwatch(TComponent* AComponent) {
  if (AComponent && gTracking.Notificator && !IsWatched(AComponent))
    gTracking.Notificator->RemoveSender(AComponent);
}

void TrackingTimerTick(TObject* Sender) {
  auto* t = static_cast<TcxMouseTrackingTimer*>(Sender);
  const TPoint cursor = GetMouseCursorPos();
  TWinControl* control = t->Control;
  const bool hasHandle = control && control->HandleAllocated();
  bool inside;
  if (auto* caller2 = dynamic_cast<IcxMouseTrackingCaller2*>(t->Caller))
    inside = hasHandle && caller2->PtInCaller(control->ScreenToClient(cursor));
  else
    inside = cxRectPtIn(t->Bounds, cursor);
  if (inside) return;
  IcxMouseTrackingCaller* caller = t->Caller;
  if (hasHandle && !cxRectPtIn(control->GetClientRect(), control->ScreenToClient(cursor)))
    SendMessageA(control->GetHandle(), CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  // The leave message may have ended the tracking, or freed the caller.
  if (FindTracking(caller) != t) return;
  caller->MouseTrackingMouseLeave();
  EndMouseTracking(caller);
}

}  // namespace

ORV_REGISTER(TcxMouseTrackingTimer)

void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller) {
  if (!ACaller || FindTracking(ACaller)) return;
  auto* t = New<TcxMouseTrackingTimer>();
  t->Caller = ACaller;
  t->CallerComponent = dynamic_cast<TComponent*>(ACaller);
  t->Control = AControl;
  t->Bounds = ABounds;
  if (AControl && AControl->HandleAllocated()) MapWindowRect(AControl->GetHandle(), nullptr, t->Bounds);
  Watch(t->CallerComponent);
  Watch(AControl);
  gTracking.List.push_back(t);
  t->SetInterval(10);
  t->SetOnTimer(&TrackingTimerTick);
}

void EndMouseTracking(IcxMouseTrackingCaller* ACaller) {
  TcxMouseTrackingTimer* t = FindTracking(ACaller);
  if (!t) return;
  gTracking.List.erase(std::find(gTracking.List.begin(), gTracking.List.end(), t));
  Unwatch(t->CallerComponent);
  Unwatch(t->Control);
  t->Free();
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller) { return FindTracking(ACaller) != nullptr; }

// ---------------------------------------------------------------------------
// Settings controller

namespace {

class TcxSettingsControllerWindow : public TcxMessageWindow {
  ORV_CLASS(TcxSettingsControllerWindow, TcxMessageWindow)
 public:
  TcxSettingsControllerWindow() = default;
  std::vector<TWinControl*>* Controls = nullptr;

 protected:
  void WndProc(TMessage& Message) override {
    try {
      if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == SPI_SETNONCLIENTMETRICS) {
        for (TWinControl* c : *Controls)
          if (c->HandleAllocated()) SendNotifyMessageA(c->GetHandle(), DXM_NCSIZECHANGED, 0, 0);
        Message.Result = 0;
        return;
      }
      TcxMessageWindow::WndProc(Message);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
};

struct SettingsController {
  std::vector<TWinControl*> Controls;
  TcxSettingsControllerWindow* Window = nullptr;
};
SettingsController gSettings;

void FreeSettingsWindow() {
  if (gSettings.Window) {
    gSettings.Window->Free();
    gSettings.Window = nullptr;
  }
}

}  // namespace

ORV_REGISTER(TcxSettingsControllerWindow)

void cxRegisterSettingsControl(TWinControl* AControl) {
  auto& list = gSettings.Controls;
  if (!AControl || std::find(list.begin(), list.end(), AControl) != list.end()) return;
  if (list.empty()) {
    gSettings.Window = New<TcxSettingsControllerWindow>();
    gSettings.Window->Controls = &list;
  }
  list.push_back(AControl);
}

void cxUnregisterSettingsControl(TWinControl* AControl) {
  auto& list = gSettings.Controls;
  auto it = std::find(list.begin(), list.end(), AControl);
  if (it == list.end()) return;
  list.erase(it);
  if (list.empty()) FreeSettingsWindow();
}

// ---------------------------------------------------------------------------
// Hourglass

namespace {
Integer gHourglassCount = 0;
TCursor gHourglassSavedCursor = crDefault;
}  // namespace

void ShowHourglassCursor() {
  if (gHourglassCount == 0 && Screen) {
    gHourglassSavedCursor = Screen->GetCursor();
    Screen->SetCursor(crHourGlass);
  }
  ++gHourglassCount;
}

void HideHourglassCursor() {
  if (gHourglassCount == 0) return;
  if (--gHourglassCount == 0 && Screen) Screen->SetCursor(gHourglassSavedCursor);
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

namespace {

HMODULE gUser32 = nullptr;

struct CursorEntry {
  TCursor Id;
  const char* Resource;
  TCursor Stand;  // the stock shape used while the module carries no image of its own
};
constexpr CursorEntry kCursors[] = {
    {crcxDragCopy, "CX_DRAGCOPYCURSOR", crDrag},       {crcxFullScroll, "CX_FULLSCROLLCURSOR", crSizeAll},
    {crcxHorScroll, "CX_HORSCROLLCURSOR", crSizeWE},   {crcxVerScroll, "CX_VERSCROLLCURSOR", crSizeNS},
    {crcxUpScroll, "CX_UPSCROLLCURSOR", crUpArrow},    {crcxRightScroll, "CX_RIGHTSCROLLCURSOR", crSizeWE},
    {crcxDownScroll, "CX_DOWNSCROLLCURSOR", crSizeNS}, {crcxLeftScroll, "CX_LEFTSCROLLCURSOR", crSizeWE},
    {crcxRemove, "CX_REMOVECURSOR", crNo},             {crcxVertSize, "CX_VERTSIZECURSOR", crVSplit},
    {crcxHorzSize, "CX_HORZSIZECURSOR", crHSplit},     {crcxMultiDrag, "CX_MULTIDRAGCURSOR", crMultiDrag},
    {crcxNoDrop, "CX_NODROPCURSOR", crNoDrop},         {crcxDrag, "CX_DRAGCURSOR", crDrag},
};

void SetOSFlags() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return;
  const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  IsWin95X = !nt;
  IsWin2KOrXP = nt && info.dwMajorVersion >= 5;
  // "XP" means XP or any later version: a major version above 5 counts
  // whatever its minor number.
  IsWinXP = nt && (info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion > 0));
  IsWinNT = nt && info.dwMajorVersion >= 4;
}

void LoadCursors() {
  if (!Screen) return;
  for (const CursorEntry& c : kCursors) {
    HCURSOR h = LoadCursorA(ProgramInstance(), c.Resource);
    Screen->SetCursors(c.Id, h ? h : Screen->GetCursors(c.Stand));
  }
  Screen->SetCursors(crcxHandPoint, LoadCursorA(nullptr, IDC_HAND));
}

}  // namespace

void cxControlsInitialize() {
  SetOSFlags();
  LoadCursors();
  gUser32 = LoadLibraryA("USER32");
}

void cxDragDropFinalize();

void cxControlsFinalize() {
  cxDragDropFinalize();
  // Forms outlive the library's units (the application frees them after),
  // so a control under the mouse may still be tracked here: its tracking
  // ends without a call, and shutting down is no error.
  while (!gTracking.List.empty()) EndMouseTracking(gTracking.List.back()->Caller);
  if (gTracking.Notificator) {
    gTracking.Notificator->Free();
    gTracking.Notificator = nullptr;
  }
  if (gUser32) {
    FreeLibrary(gUser32);
    gUser32 = nullptr;
  }
  gSettings.Controls.clear();
  FreeSettingsWindow();
  if (gTimerWindow) {
    for (TcxTimer* t : std::vector<TcxTimer*>(gTimerWindow->Timers)) t->StopTimer();
    gTimerWindow->Free();
    gTimerWindow = nullptr;
  }
  if (gMessageWindow) {
    gMessageWindow->Free();
    gMessageWindow = nullptr;
  }
  gHourglassCount = 0;
}

HMODULE cxUser32Module() { return gUser32; }
