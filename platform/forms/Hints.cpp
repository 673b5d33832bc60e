// THintWindow and the application's hint timing: after HintPause ms of
// rest over a control that shows hints, the control is asked (CM_HINTSHOW)
// and the window shows; it hides after HintHidePause, when the mouse
// leaves the hint's cursor rectangle, or on a key or button press.
#include "platform/forms/Hints.h"

#include <algorithm>

#include "platform/forms/Application.h"
#include "platform/forms/FloatingPopup.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/win/Mouse.h"
#include "platform/win/Timers.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

TClassRef<THintWindow> HintWindowClass = THintWindow::StaticClass();

namespace {
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;
// Below the pointer, clear of the arrow's tip.
constexpr Integer kCursorHeightMargin = 20;
}  // namespace

AnsiString GetShortHint(const AnsiString& Hint) {
  auto bar = Hint.find('|');
  return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& Hint) {
  auto bar = Hint.find('|');
  return bar == AnsiString::npos ? Hint : Hint.substr(bar + 1);
}

// ---- THintWindow ----

ORV_REGISTER(THintWindow)

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clInfoBk;
  FBrush->SetColor(FColor);
  if (Screen) FFont->Assign(Screen->GetHintFont());
  FFont->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  FloatingPopupParams(Params, WS_POPUP | WS_BORDER);
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const AnsiString& AHint, void*) {
  TRect r = Rect(0, 0, MaxWidth, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(FFont->GetHandle()));
  DrawTextA(dc, AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);
  // The window's size: the text with two pixels of room on every side (see
  // Paint) inside the one-pixel border.
  r.Right += 6;
  r.Bottom += 6;
  return r;
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& AHint) {
  SetCaption(AHint);
  TRect area = Screen ? Screen->GetWorkAreaRect() : TRect{0, 0, 1024, 768};
  Integer w = Rect.Width(), h = Rect.Height();
  Integer x = std::max(area.Left, std::min(Rect.Left, area.Right - w));
  Integer y = Rect.Top;
  if (y + h > area.Bottom) y = area.Bottom - h;
  y = std::max(area.Top, y);
  SetBounds(x, y, w, h);
  HWND handle = GetHandle();
  SetWindowPos(handle, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;
  FShowing = true;
  Invalidate();
}

void THintWindow::ActivateHintData(TRect Rect, const AnsiString& AHint, void*) { ActivateHint(Rect, AHint); }

void THintWindow::ReleaseHandle() {
  FVisible = false;
  DestroyHandle();
}

bool THintWindow::IsHintShowing() { return HandleAllocated() && IsWindowVisible(FHandle); }

void THintWindow::Paint() {
  TRect r = GetClientRect();
  r.Left += 2;
  r.Top += 2;
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(FFont);
  HDC dc = canvas->GetHandle();
  SetBkMode(dc, TRANSPARENT);
  AnsiString text = GetText();
  DrawTextA(dc, text.c_str(), -1, &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// The pointer passes through to what is underneath.
void THintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

// ---- The application's hints ----

void TApplication::SetHintColor(TColor Value) {
  FHintColor = Value;
  if (FHintWindow) FHintWindow->SetColor(Value);
}

void TApplication::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::StartHintTimer(Integer Pause) {
  StopHintTimer();
  FHintTimer = 1;
  SetTimer(GetHandle(), kShowTimer, static_cast<UINT>(std::max(Pause, 1)), nullptr);
}

void TApplication::StopHintTimer() {
  if (FHintTimer && FHandle) {
    KillTimer(FHandle, kShowTimer);
    KillTimer(FHandle, kHideTimer);
  }
  FHintTimer = 0;
}

namespace {
// The nearest control from Control up that shows its hint.
TControl* HintControlOf(TControl* Control) {
  while (Control && !Control->GetShowHint()) Control = Control->GetParent();
  return Control;
}
}  // namespace

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (Message.Msg != WM_MOUSEMOVE) {
    if (Message.Msg != WM_MOUSEWHEEL) CancelHint();
    return;
  }
  if (!FShowHint) return;
  TControl* hintControl = HintControlOf(Control);
  TPoint p = Control->ClientToScreen(Message.Pos());
  bool inside = p.X >= FHintCursorRect.Left && p.X < FHintCursorRect.Right && p.Y >= FHintCursorRect.Top &&
                p.Y < FHintCursorRect.Bottom;
  if (hintControl == FHintControl && (!FHintActive || inside)) return;
  bool wasActive = FHintActive;
  if (FHintWindow) FHintWindow->ReleaseHandle();
  FHintActive = false;
  FHintControl = hintControl;
  if (hintControl)
    StartHintTimer(wasActive ? FHintShortPause : FHintPause);
  else
    StopHintTimer();
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  POINT p{};
  GetCursorPos(&p);
  TControl* under = FindDragTarget(p, true);
  if (FHintControl && under && HintControlOf(under) == FHintControl)
    ActivateHint(p);
  else
    CancelHint();
}

void TApplication::HideHintTimerExpired() {
  StopHintTimer();
  if (FHintWindow) FHintWindow->ReleaseHandle();
  FHintActive = false;
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  TControl* control = FHintControl;
  if (!control) {
    TControl* under = FindDragTarget(CursorPos, true);
    control = under ? HintControlOf(under) : nullptr;
    FHintControl = control;
  }
  if (!control) return;
  THintInfo info;
  info.HintControl = control;
  info.HintWindowClass = HintWindowClass;
  info.HintPos = {CursorPos.X, CursorPos.Y + kCursorHeightMargin};
  info.HintMaxWidth = Screen ? Screen->GetWidth() : 1024;
  info.HintColor = FHintColor;
  info.CursorRect = control->GetClientRect();
  info.CursorPos = control->ScreenToClient(CursorPos);
  info.HintStr = GetShortHint(control->GetHint());
  info.ReshowTimeout = 0;
  info.HideTimeout = FHintHidePause;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) {
    FHintActive = false;
    return;
  }
  TClassRef<THintWindow> cls = info.HintWindowClass ? TClassRef<THintWindow>(info.HintWindowClass) : HintWindowClass;
  if (FHintWindow && FHintWindow->ClassType() != cls.Get()) FreeAndNil(FHintWindow);
  if (!FHintWindow) FHintWindow = cls.Create(static_cast<TComponent*>(nullptr));
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  r = Bounds(info.HintPos.X, info.HintPos.Y, r.Width(), r.Height());
  FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
  TPoint topLeft = control->ClientToScreen(info.CursorRect.TopLeft());
  FHintCursorRect = Bounds(topLeft.X, topLeft.Y, info.CursorRect.Width(), info.CursorRect.Height());
  FHintActive = true;
  FHint = info.HintStr;
  if (OnHint) OnHint(this);
  if (info.HideTimeout > 0) {
    FHintTimer = 2;
    SetTimer(GetHandle(), kHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
  }
}

void TApplication::CancelHint() {
  StopHintTimer();
  if (FHintWindow) FHintWindow->ReleaseHandle();
  FHintActive = false;
  FHintControl = nullptr;
  FHintCursorRect = {};
}
