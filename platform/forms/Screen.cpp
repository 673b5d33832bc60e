// TScreen, TMonitor and TMouse.
#include "platform/forms/Screen.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/win/Cursors.h"
#include "platform/win/Metrics.h"
#include "platform/win/Mouse.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowPos.h"

using namespace win;

TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

// ---- TMonitor ----

ORV_REGISTER(TMonitor)

namespace {
// Monitor handles are positions in the back end's list plus one.
HMONITOR MonitorHandle(Integer index) {
  return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(index + 1));
}
}  // namespace

Integer TMonitor::GetMonitorNum() const { return static_cast<Integer>(reinterpret_cast<std::uintptr_t>(FHandle)) - 1; }

TRect TMonitor::GetBoundsRect() const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  return GetMonitorInfoA(FHandle, &info) ? info.rcMonitor : TRect{};
}

TRect TMonitor::GetWorkareaRect() const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  return GetMonitorInfoA(FHandle, &info) ? info.rcWork : TRect{};
}

bool TMonitor::GetPrimary() const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  return GetMonitorInfoA(FHandle, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
}

// ---- TScreen ----

ORV_REGISTER(TScreen)

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  FMenuFont = New<TFont>();
  FHintFont = New<TFont>();
  FIconFont = New<TFont>();
  auto fromLog = [](TFont* font, const LOGFONTA& lf) {
    HFONT handle = CreateFontIndirectA(&lf);
    if (handle) font->SetHandle(handle);
  };
  fromLog(FMenuFont, metrics.lfMenuFont);
  fromLog(FHintFont, metrics.lfStatusFont);
  fromLog(FIconFont, metrics.lfMessageFont);
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() {
  for (TMonitor* m : FMonitors) m->Free();
  FreeAndNil(FMenuFont);
  FreeAndNil(FHintFont);
  FreeAndNil(FIconFont);
  if (Screen == this) Screen = nullptr;
}

void TScreen::ControlDestroying(TControl* Control) {
  if (FActiveControl == Control) SetActiveControl(nullptr);
}

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) {
    FActiveForm = nullptr;
    FActiveControl = nullptr;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
}

void TScreen::SetActiveForm(TCustomForm* Form) {
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  // The active form leads the list, as the z-order has it.
  auto it = std::find(FForms.begin(), FForms.end(), Form);
  if (it != FForms.end()) std::rotate(FForms.begin(), it, it + 1);
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  FActiveControl = Control;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  POINT p{};
  GetCursorPos(&p);
  if (Value != crDefault) {
    win::SetCursor(GetCursors(Value));
  } else if (HWND h = WindowFromPoint(p)) {
    // Back to the control's own cursor.
    SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), HTCLIENT);
  }
}

HCURSOR TScreen::GetCursors(Integer Index) {
  auto it = FCursors.find(Index);
  if (it != FCursors.end()) return it->second;
  LPCSTR id = nullptr;
  switch (Index) {
    case crNone: return nullptr;
    case crArrow: case crDefault: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crDrag: case crMultiDrag: id = IDC_ARROW; break;
    case crNoDrop: case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: id = IDC_ARROW; break;
  }
  return LoadCursorA(nullptr, id);
}

void TScreen::SetCursors(Integer Index, HCURSOR Handle) {
  if (Handle)
    FCursors[Index] = Handle;
  else
    FCursors.erase(Index);
}

Integer TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
Integer TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() const {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void TScreen::RefreshMonitors() {
  for (TMonitor* m : FMonitors) m->Free();
  FMonitors.clear();
  for (Integer i = 0;; ++i) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorHandle(i), &info)) break;
    FMonitors.push_back(New<TMonitor>(MonitorHandle(i)));
  }
}

Integer TScreen::GetMonitorCount() {
  RefreshMonitors();
  return static_cast<Integer>(FMonitors.size());
}

TMonitor* TScreen::GetMonitors(Integer Index) {
  if (FMonitors.empty()) RefreshMonitors();
  if (Index < 0 || Index >= static_cast<Integer>(FMonitors.size())) return nullptr;
  return FMonitors[static_cast<std::size_t>(Index)];
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point) {
  HMONITOR h = win::MonitorFromPoint(Point, MONITOR_DEFAULTTONEAREST);
  if (FMonitors.empty()) RefreshMonitors();
  for (TMonitor* m : FMonitors)
    if (m->GetHandle() == h) return m;
  return nullptr;
}

// ---- TMouse ----

ORV_REGISTER(TMouse)

TPoint TMouse::GetCursorPos() const {
  POINT p{};
  win::GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(const TPoint& Value) { win::SetCursorPos(Value.X, Value.Y); }

HWND TMouse::GetCapture() const { return win::GetCapture(); }

void TMouse::SetCapture(HWND Value) {
  if (Value)
    win::SetCapture(Value);
  else
    ReleaseCapture();
}

Integer TMouse::GetWheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<Integer>(lines);
}
