// Small helpers of the controls unit: keys, points, windows, the desktop,
// popup menus and dialog fonts.
#include <cstdlib>

#include "library/foundation/cxControls.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ModalLoop.h"
#include "platform/win/Modules.h"
#include "platform/win/Monitors.h"
#include "platform/win/Mouse.h"
#include "platform/win/Queue.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

using namespace win;

HMODULE cxUser32Module();

TcxDragDetect DragDetect(HWND AWnd) {
  TcxDragDetect result = ddCancel;
  const TPoint start = GetMouseCursorPos();
  const Integer threshold = Mouse ? Mouse->GetDragThreshold() : 5;
  const TRect area{start.X - threshold, start.Y - threshold, start.X + threshold, start.Y + threshold};
  RunCaptureLoop(AWnd, [&](const MSG& msg) {
    switch (msg.message) {
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = ddNone;
        return CaptureStep::DispatchAndEnd;
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam != VK_ESCAPE) break;
        result = ddCancel;
        return CaptureStep::DispatchAndEnd;
      case WM_MOUSEMOVE: {
        if (msg.hwnd != AWnd) break;
        TPoint p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        MapWindowPoint(AWnd, nullptr, p);
        if (cxRectPtIn(area, p)) break;
        result = ddDrag;
        return CaptureStep::DispatchAndEnd;
      }
      default:
        break;
    }
    return CaptureStep::Dispatch;
  });
  return result;
}

bool CanAllocateHandle(TControl* AControl) {
  for (TWinControl* p = AControl ? AControl->GetParent() : nullptr; p; p = p->GetParent())
    if (p->HandleAllocated()) return true;
  auto* w = dynamic_cast<TWinControl*>(AControl);
  return w && w->GetParentWindow() != nullptr;
}

namespace {
bool KeyDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }
}  // namespace

Integer GetMouseKeys() {
  Integer r = 0;
  if (KeyDown(VK_LBUTTON)) r |= MK_LBUTTON;
  if (KeyDown(VK_RBUTTON)) r |= MK_RBUTTON;
  if (KeyDown(VK_SHIFT)) r |= MK_SHIFT;
  if (KeyDown(VK_CONTROL)) r |= MK_CONTROL;
  if (KeyDown(VK_MBUTTON)) r |= MK_MBUTTON;
  return r;
}

Integer GetDblClickInterval() { return static_cast<Integer>(GetDoubleClickTime()); }

TRect GetDesktopWorkArea(const TPoint& P) {
  using TMonitorFromPoint = HMONITOR (*)(POINT, DWORD);
  using TGetMonitorInfo = BOOL (*)(HMONITOR, LPMONITORINFO);
  HMODULE user32 = cxUser32Module();
  if (user32) {
    auto fromPoint = reinterpret_cast<TMonitorFromPoint>(GetProcAddress(user32, "MonitorFromPoint"));
    auto getInfo = reinterpret_cast<TGetMonitorInfo>(GetProcAddress(user32, "GetMonitorInfoA"));
    if (fromPoint && getInfo) {
      MONITORINFO info{};
      info.cbSize = sizeof(info);
      if (getInfo(fromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    }
  }
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TPoint GetMouseCursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

TcxPosition GetPointPosition(const TRect& R, const TPoint& P, bool AHorzSeparation, bool AVertSeparation) {
  if (AHorzSeparation && AVertSeparation) {
    auto side = [&](TPoint A, TPoint B) {
      return static_cast<Int64>(P.X - A.X) * (B.Y - A.Y) - static_cast<Int64>(P.Y - A.Y) * (B.X - A.X);
    };
    const Int64 d1 = side({R.Left, R.Bottom}, {R.Right, R.Top});
    const Int64 d2 = side({R.Left, R.Top}, {R.Right, R.Bottom});
    if (d1 < 0) return d2 < 0 ? posBottom : posRight;
    return d2 < 0 ? posLeft : posTop;
  }
  if (AHorzSeparation) return (R.Left + R.Right) / 2 > P.X ? posLeft : posRight;
  if (AVertSeparation) return (R.Top + R.Bottom) / 2 > P.Y ? posTop : posBottom;
  return posNone;
}

bool IsChildClassWindow(HWND AWnd) { return (GetWindowLongA(AWnd, GWL_STYLE) & WS_CHILD) != 0; }

bool IsChildEx(HWND AParentWnd, HWND AWnd) { return AParentWnd == AWnd || IsChild(AParentWnd, AWnd); }

bool IsCtrlPressed() { return KeyDown(VK_CONTROL); }

bool IsPointInDragDetectArea(const TPoint& AMouseDownPos, Integer X, Integer Y) {
  const Integer threshold = Mouse ? Mouse->GetDragThreshold() : 5;
  return std::abs(X - AMouseDownPos.X) < threshold && std::abs(Y - AMouseDownPos.Y) < threshold;
}

bool IsNumericChar(char C, TcxNumberType ANumberType) {
  if (C == '+' || C == '-' || (C >= '0' && C <= '9')) return true;
  if (ANumberType != ntInteger && C == FormatSettings().DecimalSeparator) return true;
  return ANumberType == ntExponent && (C == 'e' || C == 'E');
}

bool IsTextChar(char C) { return static_cast<unsigned char>(C) >= 32; }

void MakeVisibleOnDesktop(TRect& R, const TPoint& P) {
  const TRect w = GetDesktopWorkArea(P);
  if (R.Right > w.Right) R = cxRectOffset(R, w.Right - R.Right, 0);
  if (R.Bottom > w.Bottom) R = cxRectOffset(R, 0, w.Bottom - R.Bottom);
  if (R.Left < w.Left) R = cxRectOffset(R, w.Left - R.Left, 0);
  if (R.Top < w.Top) R = cxRectOffset(R, 0, w.Top - R.Top);
}

void MapWindowPoint(HWND AHandleFrom, HWND AHandleTo, TPoint& P) {
  MapWindowPoints(AHandleFrom, AHandleTo, &P, 1);
}

void MapWindowRect(HWND AHandleFrom, HWND AHandleTo, TRect& R) {
  POINT p[2] = {R.TopLeft(), R.BottomRight()};
  MapWindowPoints(AHandleFrom, AHandleTo, p, 2);
  R = TRect{p[0].X, p[0].Y, p[1].X, p[1].Y};
}

AnsiString RemoveAccelChars(const AnsiString& S) {
  AnsiString r;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] != '&') {
      r += S[i];
    } else if (i + 1 < S.size()) {
      r += S[++i];
    } else {
      r += '_';
    }
  }
  return r;
}

void SetDesignerModified(TComponent*) {}

Integer ShiftStateToKeys(TShiftState AShift) {
  Integer r = 0;
  if (AShift.Contains(ssShift)) r |= MK_SHIFT;
  if (AShift.Contains(ssCtrl)) r |= MK_CONTROL;
  if (AShift.Contains(ssLeft)) r |= MK_LBUTTON;
  if (AShift.Contains(ssRight)) r |= MK_RBUTTON;
  if (AShift.Contains(ssMiddle)) r |= MK_MBUTTON;
  return r;
}

Word TranslateKey(Word Key) { return Key; }

void DialogApplyFont(TCustomForm* AForm, TFont* AFont) {
  auto textHeight = [](TFont* F) {
    TcxScreenCanvas canvas;
    canvas.SetFont(F);
    return canvas.TextHeight("Qq");
  };
  const Integer h0 = textHeight(AForm->GetFont());
  AForm->SetFont(AFont);
  const Integer h1 = textHeight(AForm->GetFont());
  if (h0 <= 0 || h1 == h0) return;
  const Integer w = AForm->GetClientWidth(), h = AForm->GetClientHeight();
  AForm->ScaleBy(h1, h0);
  AForm->SetClientWidth(MulDiv(w, h1, h0));
  AForm->SetClientHeight(MulDiv(h, h1, h0));
}

void RecreateControlWnd(TWinControl* AControl) {
  if (AControl && AControl->HandleAllocated()) AControl->Perform(CM_RECREATEWND);
}

// ---------------------------------------------------------------------------
// Popup menus

Integer GetPopupMenuHeight(TComponent* APopupMenu) {
  if (auto* m = dynamic_cast<IcxPopupMenuPlacement*>(APopupMenu)) return m->GetPopupHeight();
  return 0;
}

bool IsPopupMenuShortCut(TComponent* APopupMenu, TMessage& Message) {
  if (auto* m = dynamic_cast<IcxPopupMenu*>(APopupMenu)) return m->IsShortCut(Message);
  if (auto* m = dynamic_cast<TPopupMenu*>(APopupMenu)) return m->IsShortCut(Message);
  return false;
}

bool ShowPopupMenu(TControl* ACaller, TComponent* APopupMenu, Integer X, Integer Y) {
  if (auto* m = dynamic_cast<IcxPopupMenu*>(APopupMenu)) {
    m->Popup(X, Y);
    return true;
  }
  auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu);
  if (!menu) return false;
  menu->SetPopupComponent(ACaller);
  menu->Popup(X, Y);
  return true;
}

bool ShowPopupMenuFromCursorPos(TControl* ACaller, TComponent* APopupMenu) {
  const TPoint p = GetMouseCursorPos();
  return ShowPopupMenu(ACaller, APopupMenu, p.X, p.Y);
}
