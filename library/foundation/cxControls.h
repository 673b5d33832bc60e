// The base of the library's custom-drawn controls and the process-wide
// services beside it: the hidden message window, the timer that runs every
// library timer on one window, mouse-leave tracking, the settings
// controller that tells controls with own scroll bars about new system
// metrics, the library's cursors, the hourglass counter, popup-menu helpers
// and small helpers for keys, points, windows and the desktop.
#pragma once

#include <vector>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxGeometry.h"
#include "library/foundation/cxGraphics.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

// ---------------------------------------------------------------------------
// The library's private messages.
constexpr win::UINT DXM_CLOSEPOPUPWINDOW = 0x8065;
constexpr win::UINT DXM_SHOWPOPUPWINDOW = 0x8066;
constexpr win::UINT DXM_UPDATESCROLLBARS = 0x8068;
constexpr win::UINT DXM_DROPDOWNPOPUPMENU = 0x812C;
constexpr win::UINT DXM_CLOSEUPPOPUPMENU = 0x812D;
// Non-client sizes changed: controls with own scroll bars take the new
// system scroll-bar sizes.
constexpr win::UINT DXM_NCSIZECHANGED = 0x8131;

// The library's screen cursors.
constexpr TCursor crcxDragCopy = 2100;
constexpr TCursor crcxFullScroll = 2101;
constexpr TCursor crcxHorScroll = 2102;
constexpr TCursor crcxVerScroll = 2103;
constexpr TCursor crcxUpScroll = 2104;
constexpr TCursor crcxRightScroll = 2105;
constexpr TCursor crcxDownScroll = 2106;
constexpr TCursor crcxLeftScroll = 2107;
constexpr TCursor crcxRemove = 2108;
constexpr TCursor crcxVertSize = 2109;
constexpr TCursor crcxHorzSize = 2110;
constexpr TCursor crcxMultiDrag = 2111;
constexpr TCursor crcxNoDrop = 2112;
constexpr TCursor crcxDrag = 2113;
constexpr TCursor crcxHandPoint = -2099;

ORV_ENUM(TcxNumberType, ntInteger, ntFloat, ntExponent)
ORV_ENUM(TcxDragDetect, ddNone, ddDrag, ddCancel)

// Operating-system flags, set at start-up from the reported version.
extern bool IsWin95X;
extern bool IsWin2KOrXP;
extern bool IsWinXP;
extern bool IsWinNT;

// ---------------------------------------------------------------------------
// A hidden window routed to the object's WndProc; it goes with the object.
class TcxMessageWindow : public TObject {
  ORV_CLASS(TcxMessageWindow, TObject)
 public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  win::HWND GetHandle() const { return FHandle; }

 protected:
  // The default answers what the platform's default procedure answers.
  virtual void WndProc(TMessage& Message);

 private:
  static win::LRESULT MainWndProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
  win::HWND FHandle = nullptr;
};

// The process-wide message window, made on first use (drop-down popups
// take it as their owner).
TcxMessageWindow* cxMessageWindow();

// ---------------------------------------------------------------------------
// A timer run on the library's one timer window; the object is its own
// timer id. It runs while enabled with a handler; an interval of 0 is
// ignored. A platform timer that cannot start leaves it off, silently.
class TcxTimer : public TComponent {
  ORV_CLASS(TcxTimer, TComponent)
 public:
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal GetInterval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent GetOnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);
  // A platform timer runs for this object now.
  bool GetTimerOn() const { return FTimerOn; }

 protected:
  virtual void TimeOut();

 private:
  friend class TcxTimerWindow;
  friend void cxControlsFinalize();
  void StartTimer();
  void StopTimer();
  void SetTimerOn(bool Value);
  void UpdateTimer();

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  bool FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// ---------------------------------------------------------------------------
// Mouse-leave tracking.
class IcxMouseTrackingCaller {
 public:
  virtual ~IcxMouseTrackingCaller() = default;
  // The mouse has left the tracked area.
  virtual void MouseTrackingMouseLeave() = 0;
};
// A caller that decides itself which client points belong to it.
class IcxMouseTrackingCaller2 : public IcxMouseTrackingCaller {
 public:
  virtual bool PtInCaller(const TPoint& P) = 0;
};

// Checks every 10 ms whether the mouse is still over AControl's ABounds
// (client coordinates; screen coordinates when AControl is null) and tells
// ACaller once it left. A caller already tracked is left as it is. A caller
// or control that is a component and goes away is forgotten, so a tracked
// caller is never called after it is freed.
void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller);
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);

// ---------------------------------------------------------------------------
// Controls that want DXM_NCSIZECHANGED when the non-client metrics change.
void cxRegisterSettingsControl(TWinControl* AControl);
void cxUnregisterSettingsControl(TWinControl* AControl);

// ---------------------------------------------------------------------------
// Popup menus. Platform popup menus are not built yet, so a popup menu is
// any component offering this interface.
class IcxPopupMenu {
 public:
  virtual ~IcxPopupMenu() = default;
  virtual bool IsShortCut(TMessage& Message) = 0;
  virtual void Popup(Integer X, Integer Y) = 0;
};

// The height the menu takes on screen; 0 for what is not a menu. A menu
// that can tell its height offers this interface too.
class IcxPopupMenuHeight {
 public:
  virtual ~IcxPopupMenuHeight() = default;
  virtual Integer GetPopupHeight() = 0;
};

Integer GetPopupMenuHeight(TComponent* APopupMenu);
bool IsPopupMenuShortCut(TComponent* APopupMenu, TMessage& Message);
// Screen coordinates; true when a menu popped up.
bool ShowPopupMenu(TControl* ACaller, TComponent* APopupMenu, Integer X, Integer Y);
bool ShowPopupMenuFromCursorPos(TControl* ACaller, TComponent* APopupMenu);

// ---------------------------------------------------------------------------
// Helpers.
// Some window control up the parent chain has a handle.
bool CanAllocateHandle(TControl* AControl);
// Left button 1, right 2, Shift 4, Ctrl 8, middle 16, from the async state.
Integer GetMouseKeys();
Integer GetDblClickInterval();
// The work area of the monitor nearest to P.
TRect GetDesktopWorkArea(const TPoint& P);
TPoint GetMouseCursorPos();
TcxPosition GetPointPosition(const TRect& R, const TPoint& P, bool AHorzSeparation, bool AVertSeparation);
bool IsChildClassWindow(win::HWND AWnd);
bool IsChildEx(win::HWND AParentWnd, win::HWND AWnd);
bool IsCtrlPressed();
bool IsPointInDragDetectArea(const TPoint& AMouseDownPos, Integer X, Integer Y);
bool IsNumericChar(char C, TcxNumberType ANumberType);
bool IsTextChar(char C);
// Moves R into the work area of the monitor at P; left and top win when R
// is larger than the work area.
void MakeVisibleOnDesktop(TRect& R, const TPoint& P);
void MapWindowPoint(win::HWND AHandleFrom, win::HWND AHandleTo, TPoint& P);
void MapWindowRect(win::HWND AHandleFrom, win::HWND AHandleTo, TRect& R);
// "&a" -> "a", "&&" -> "&", a trailing "&" -> "_".
AnsiString RemoveAccelChars(const AnsiString& S);
// Nothing without a form designer.
void SetDesignerModified(TComponent* AComponent);
Integer ShiftStateToKeys(TShiftState AShift);
Word TranslateKey(Word Key);
void ShowHourglassCursor();
void HideHourglassCursor();
// The form takes AFont and scales its controls and client size by the
// ratio of the two fonts' text heights.
void DialogApplyFont(TCustomForm* AForm, TFont* AFont);
inline Word GET_APPCOMMAND_LPARAM(win::LPARAM LParam) {
  return static_cast<Word>(win::HIWORD(static_cast<win::DWORD_PTR>(LParam)) & 0x0FFF);
}
// Sends the control CM_RECREATEWND when it has a window.
void RecreateControlWnd(TWinControl* AControl);

// The unit's start-up and shut-down steps. Shut-down raises
// "MouseTrackingTimerList.Count <> 0" when a caller is still tracked.
void cxControlsInitialize();
void cxControlsFinalize();
