// Popup windows: a borderless stay-on-top form placed next to a rectangle of
// an owner control and kept inside the monitor's work area.
#pragma once

#include <vector>

#include "library/foundation/cxControls.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeelPainters.h"
#include "platform/forms/Forms.h"

ORV_ENUM(TcxPopupAlignHorz, pahLeft, pahCenter, pahRight)
ORV_ENUM(TcxPopupAlignVert, pavTop, pavCenter, pavBottom)
ORV_ENUM(TcxPopupDirection, pdHorizontal, pdVertical)

class TcxPopupWindow : public TForm {
  ORV_CLASS(TcxPopupWindow, TForm)
 public:
  // Popups have no owner: they live as long as whoever made them wants.
  TcxPopupWindow();
  ~TcxPopupWindow() override;
  void AfterConstruction() override;

  virtual void Popup();
  virtual void CloseUp();

  virtual void CalculateSize();
  virtual TPoint CalculatePosition();
  virtual TRect GetOwnerScreenBounds();
  virtual Integer GetFrameWidth(TcxBorder ABorder);
  Integer GetBorderWidth(TcxBorder ABorder);
  Integer GetNCWidth() { return GetBorderWidth(bLeft) + GetBorderWidth(bRight); }
  Integer GetNCHeight() { return GetBorderWidth(bTop) + GetBorderWidth(bBottom); }

  bool GetSizeToControls() const { return FSizeToControls; }
  void SetSizeToControls(bool Value) { FSizeToControls = Value; }
  TcxPopupAlignHorz GetAlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignHorz Value) { FAlignHorz = Value; }
  TcxPopupAlignVert GetAlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignVert Value) { FAlignVert = Value; }
  Integer GetBorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(Integer Value);
  // The popup's frame; the form itself never has a border.
  TcxPopupBorderStyle GetBorderStyle() const { return FPopupBorderStyle; }
  void SetBorderStyle(TcxPopupBorderStyle Value);
  TcxPopupDirection GetDirection() const { return FDirection; }
  void SetDirection(TcxPopupDirection Value) { FDirection = Value; }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { FFrameColor = Value; }
  // In the client coordinates of OwnerParent.
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& Value) { FOwnerBounds = Value; }
  TControl* GetOwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* Value);
  TcxCanvas* GetcxCanvas() const { return FcxCanvas; }
  win::HWND GetPrevActiveWindow() const { return FPrevActiveWindow; }

 protected:
  virtual void InitPopup();
  virtual void DrawFrame();
  virtual void VisibleChanged() {}
  void Deactivate() override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Moves the children back to where they were before the frame took room.
  void RestoreControlsBounds();

  void WMActivate(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATE, WMActivate)
  void WMActivateApp(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATEAPP, WMActivateApp)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)

 private:
  bool FSizeToControls = true;
  TcxPopupAlignHorz FAlignHorz = pahLeft;
  TcxPopupAlignVert FAlignVert = pavBottom;
  Integer FBorderSpace = 0;
  TcxPopupBorderStyle FPopupBorderStyle = pbsNone;
  TcxCanvas* FcxCanvas = nullptr;
  TcxPopupDirection FDirection = pdVertical;
  TColor FFrameColor = clWindowText;
  TRect FOwnerBounds{};
  TControl* FOwnerParent = nullptr;
  win::HWND FPrevActiveWindow = nullptr;
  TPoint FControlsOffset{};
};

// ---------------------------------------------------------------------------
// Drop-down windows of the editors: owned by a control, listed while open,
// closed from outside by the popup hooks. A popup that captures the focus
// takes the keyboard and runs a modal loop until it closes; one that does
// not never activates.

class TcxContainer;
class TcxContainerStyle;
class TcxContainerViewInfo;

class TcxCustomPopupWindow : public TcxPopupWindow {
  ORV_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TWinControl*)>;
  explicit TcxCustomPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomPopupWindow() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  using TcxPopupWindow::Popup;
  void Popup() override { Popup(nullptr); }
  virtual void Popup(TWinControl* AFocusedControl);
  void CloseUp() override;
  // Closes the popup once the messages in flight are handled.
  void ClosePopup();
  bool IsVisible() const;
  bool HasCapture();
  // Open, taking the keyboard, and the focus is in it.
  bool Focused() override;
  bool CanFocus() override { return GetVisible(); }
  void LockDeactivate(bool ALock) { FDeactivateLocked = ALock; }
  bool IsDeactivateLocked() const { return FDeactivateLocked; }
  virtual bool IsSysKeyAccepted(Word Key);
  virtual bool AcceptsAnySize() { return false; }
  TRect GetOwnerScreenBounds() override;

  bool GetCaptureFocus() const { return FCaptureFocus; }
  void SetCaptureFocus(bool Value);
  bool GetIsTopMost() const { return FIsTopMost; }
  void SetIsTopMost(bool Value);
  bool GetClosedByOwnerClick() const { return FClosedByOwnerClick; }
  void SetClosedByOwnerClick(bool Value) { FClosedByOwnerClick = Value; }
  bool GetModalMode() const { return FModalMode; }
  void SetModalMode(bool Value) { FModalMode = Value; }
  // Shown and holding the focus it took; cleared on closing and deactivation.
  bool GetPopupActive() const { return FPopupActive; }
  TWinControl* GetOwnerControl() const { return FOwnerControl; }
  TWinControl* GetFocusedControl() const { return FPopupFocusedControl; }
  TcxContainerStyle* GetStyle() const { return FStyle; }
  TcxContainerViewInfo* GetViewInfo() const { return FViewInfo; }

  TNotifyEvent OnClosed, OnClosing, OnShowed, OnShowing;

 protected:
  virtual void DoClosed();
  virtual void DoClosing();
  virtual void DoShowed();
  virtual void DoShowing();
  virtual bool HasBackground() { return false; }
  virtual void ModalCloseUp() { CloseUp(); }
  virtual void PopupWindowStyleChanged(TObject*) {}
  virtual void CorrectBoundsWithDesktopWorkArea(TPoint& APosition);
  virtual TClassRef<TcxContainerStyle> GetStyleClass();
  virtual TClassRef<TcxContainerViewInfo> GetViewInfoClass();
  virtual void MouseEnter(TControl*) {}
  virtual void MouseLeave(TControl*) {}
  void InitPopup() override {}
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void VisibleChanged() override;
  void Deactivate() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void CMClosePopupWindow(TMessage& Message);
  ORV_MESSAGE(DXM_CLOSEPOPUPWINDOW, CMClosePopupWindow)
  void CMShowPopupWindow(TMessage& Message);
  ORV_MESSAGE(DXM_SHOWPOPUPWINDOW, CMShowPopupWindow)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void WMEraseBkgnd(TMessage& Message);
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMActivateApp(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATEAPP, WMActivateApp)

 private:
  void ReopenAfterChange();
  TWinControl* GetFirstFocusControl(TWinControl* AControl);
  win::HWND InsertAfterWindow();

  bool FCaptureFocus = true;
  bool FPopupActive = false;
  TWinControl* FPopupFocusedControl = nullptr;
  bool FDeactivateLocked = false;
  bool FIsTopMost = false;
  bool FClosedByOwnerClick = false;
  bool FModalMode = true;
  TWinControl* FOwnerControl;
  TcxContainerStyle* FStyle = nullptr;
  TcxContainerViewInfo* FViewInfo = nullptr;
};

// The open popups, oldest first.
const std::vector<TcxCustomPopupWindow*>& cxOpenPopupWindows();
// Popups that do not capture the focus are shown top-most.
extern bool TopMostComboBoxes;

// The owner control's window of the popup AWnd belongs to, else AWnd.
win::HWND GetPopupOwnerControl(win::HWND AWnd);
bool HasOpenedPopupWindow(TControl* AControl);
bool HasNativeHandle(TWinControl* AControl, win::HWND AWnd, bool AWithChildren = false);
bool HasHandle(TWinControl* AControl, win::HWND AWnd);
// AWnd is a window of AParent's children or of popups AParent owns.
bool IsChildWindow(TWinControl* AParent, win::HWND AWnd);
// AWnd is AControl's form or inside it.
bool CheckParentsNativeHandle(TControl* AControl, win::HWND AWnd);
win::HWND FindFirstNonChildParentWindow(win::HWND AWnd);
bool CanShowHint(TControl* AControl);
// Removes queued messages of AWnd in [AFirst, ALast]; one unless AKillAll.
// A removed WM_QUIT is posted again and ends the removal.
bool KillMessages(win::HWND AWnd, win::UINT AFirst, win::UINT ALast, bool AKillAll = true);
// Disables every enabled top-level window of the process on the first
// call that asks for it; EnableAppWindows undoes it when the count returns
// to zero.
void DisableAppWindows(bool ANeedDisable = true);
void EnableAppWindows();
bool IsInternalWindowsDisabled();
bool IsInternalWindowsDisabling();
