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
#include "library/foundation/cxLookAndFeels.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Memo.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DragDrop.h"
#include "platform/forms/DragImageList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"

// ---------------------------------------------------------------------------
// The library's private messages.
constexpr win::UINT DXM_CLOSEPOPUPWINDOW = 0x8065;
constexpr win::UINT DXM_SHOWPOPUPWINDOW = 0x8066;
// A character for the popup's focused control (in WParam), posted by the
// editor whose typing opened the popup.
constexpr win::UINT DXM_POPUPCONTROLKEY = 0x8067;
constexpr win::UINT DXM_UPDATESCROLLBARS = 0x8068;
// Posted to a drop-down editor whose paste opened its popup: the list then
// follows the pasted text.
constexpr win::UINT DXM_DROPDOWNBYPASTE = 0x8069;
// Focuses the radio group's button whose index is in WParam.
constexpr win::UINT DXM_FOCUSRADIOBUTTON = 0x806A;
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
// A control made of several windows that act as one (a container and the
// native control inside it): whoever asks which of them holds the keyboard
// when the control is focused gets that window's control.
class IcxCompoundControl {
 public:
  virtual ~IcxCompoundControl() = default;
  virtual TWinControl* GetActiveControl() = 0;
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
// Popup menus: the platform's popup menu, or a component of the library's
// that offers this interface.
class IcxPopupMenu {
 public:
  virtual ~IcxPopupMenu() = default;
  virtual bool IsShortCut(TMessage& Message) = 0;
  virtual void Popup(Integer X, Integer Y) = 0;
};
ORV_INTERFACE(IcxPopupMenu, "{3A932C54-13D0-4E57-A661-2952BFDB9850}")

// A menu that can tell the height it takes on screen and be aligned to the
// point it opens at offers this interface too.
class IcxPopupMenuPlacement {
 public:
  virtual ~IcxPopupMenuPlacement() = default;
  virtual Integer GetPopupHeight() = 0;
  virtual void SetPopupAlignment(TPopupAlignment AAlignment) = 0;
};

// The height the menu takes on screen; 0 when it cannot tell.
Integer GetPopupMenuHeight(TComponent* APopupMenu);
bool IsPopupMenuShortCut(TComponent* APopupMenu, TMessage& Message);
// Screen coordinates; true when a menu popped up.
bool ShowPopupMenu(TControl* ACaller, TComponent* APopupMenu, Integer X, Integer Y);
bool ShowPopupMenuFromCursorPos(TControl* ACaller, TComponent* APopupMenu);

// ---------------------------------------------------------------------------
// Helpers.
// Holds the mouse for AWnd until a button goes up (ddNone), the pointer
// leaves a square of twice the drag threshold around where it was
// (ddDrag), Esc is pressed or another window takes the capture (ddCancel).
TcxDragDetect DragDetect(win::HWND AWnd);
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

// ---------------------------------------------------------------------------
// The control base.

ORV_ENUM(TcxControlBorderStyle, cxcbsNone, cxcbsDefault)
ORV_ENUM(TcxKey, kAll, kArrows, kChars, kTab)
using TcxKeys = Set<TcxKey>;
ORV_ENUM(TcxDragAndDropState, ddsNone, ddsStarting, ddsInProcess)
ORV_ENUM(TcxMouseWheelScrollingKind, mwskNone, mwskHorizontal, mwskVertical)
ORV_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
ORV_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll)
using TScrollEvent = Event<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;
class TcxControlChildComponent;

class TcxControl;
class TcxControlScrollBar;
class TcxSizeGrip;

// A mouse-capture object is told when another takes its place.
class IcxMouseCaptureObject {
 public:
  virtual ~IcxMouseCaptureObject() = default;
  virtual void DoCancelMode() = 0;
};

// The object of one drag-and-drop operation inside a control.
class TcxDragAndDropObject : public TObject {
  ORV_CLASS(TcxDragAndDropObject, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxControl*)>;
  explicit TcxDragAndDropObject(TcxControl* AControl);
  TcxControl* GetControl() const { return FControl; }
  TcxCanvas* GetCanvas() const { return FCanvas; }
  bool GetDirty() const { return FDirty; }
  void SetDirty(bool Value);
  TPoint GetCurMousePos() const { return FCurMousePos; }
  TPoint GetPrevMousePos() const { return FPrevMousePos; }

  void DoBeginDragAndDrop();
  void DoDragAndDrop(const TPoint& P, bool& Accepted);
  void DoEndDragAndDrop(bool Accepted);
  virtual bool GetImmediateStart() { return false; }

 protected:
  virtual void DirtyChanged() {}
  virtual TCursor GetDragAndDropCursor(bool Accepted);
  virtual void AfterDragAndDrop(bool) {}
  virtual void BeginDragAndDrop() { DirtyChanged(); }
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool) { SetDirty(true); }

 private:
  TcxCanvas* FCanvas;
  TcxControl* FControl;
  bool FDirty = false;
  TPoint FCurMousePos{-1, -1};
  TPoint FPrevMousePos{-1, -1};
};
using TcxDragAndDropObjectClass = TClassRef<TcxDragAndDropObject>;

// The image shown under the pointer while a control's content is dragged.
class TcxDragImageList : public TDragImageList {
  ORV_CLASS(TcxDragImageList, TDragImageList)
 public:
  explicit TcxDragImageList(TComponent* AOwner) : TDragImageList(AOwner) {}
};
using TcxDragImageListClass = TClassRef<TcxDragImageList>;

// The object of a drag between controls started from a library control.
// It frees itself once the drag is over.
class TcxDragControlObject : public TDragControlObject {
  ORV_CLASS(TcxDragControlObject, TDragControlObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TControl*)>;
  explicit TcxDragControlObject(TControl* AControl) : TDragControlObject(AControl) {}
  // With Ctrl held over a target that accepts, the copy cursor.
  TCursor GetDragCursor(bool Accepted, Integer X, Integer Y) override;
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;

 protected:
  virtual bool GetIsCopyDragDrop() { return IsCtrlPressed(); }
};
using TcxDragControlObjectClass = TClassRef<TcxDragControlObject>;

// The drag object of the drag between controls now over a library control;
// null when none is.
TDragObject* GetDragObject();

class TcxControl : public TCustomControl, public IcxLookAndFeelContainer {
  ORV_CLASS(TcxControl, TCustomControl)
 public:
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void AddFontListener(IcxFontListener* AListener);
  void RemoveFontListener(IcxFontListener* AListener);
  void InvalidateRect(const TRect& R, bool EraseBackground);
  void InvalidateRgn(TcxRegion* ARegion, bool EraseBackground);
  void PostMouseMove();
  void PostMouseMove(const TPoint& AMousePos);
  void UpdateWithChildren();
  void ScrollWindow(Integer DX, Integer DY, const TRect& AScrollRect);
  bool IsMouseInPressedArea(Integer X, Integer Y) const;
  virtual void CancelMouseOperations();
  // Tells a form designer the form changed; nothing without one.
  void Modified() {}
  TcxCanvas* GetActiveCanvas();
  bool AcceptMousePosForClick(Integer X, Integer Y);
  virtual bool CanFocusEx();

  TcxControlBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxControlBorderStyle Value);
  TcxKeys GetKeys() const { return FKeys; }
  void SetKeys(TcxKeys Value) { FKeys = Value; }
  TcxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  // A platform popup menu or a component offering IcxPopupMenu; anything
  // else is stored as null.
  void SetPopupMenu(TComponent* Value);
  TcxDragAndDropState GetDragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TcxDragAndDropState Value);
  TObject* GetMouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TObject* Value);
  bool GetFocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool Value) { FFocusOnClick = Value; }
  TcxCanvas* GetCanvas() const { return FcxCanvas; }
  TRect GetExplicitBounds() const { return FExplicitBounds; }
  void SetExplicitBounds(const TRect& Value) { FExplicitBounds = Value; }
  bool GetIsDesigning() const { return GetComponentState().Contains(csDesigning); }
  bool GetIsLoading() const { return GetComponentState().Contains(csLoading); }
  bool GetIsDestroying() const { return GetComponentState().Contains(csDestroying); }
  virtual bool GetIsFocused() { return Focused(); }
  bool GetIsScrollingContent() const { return FScrollingContent; }
  bool GetRightButtonUp() const { return FRightButtonUp; }
  TPoint GetMouseDownPos() const { return FMouseDownPos; }

  // Drag and drop inside the control.
  TcxDragAndDropObject* GetDragAndDropObject();
  TcxDragAndDropObjectClass GetDragAndDropObjectClassValue() const { return FDragAndDropObjectClass; }
  void SetDragAndDropObjectClass(TcxDragAndDropObjectClass Value) { FDragAndDropObjectClass = Value; }
  void FinishDragAndDrop(bool Accepted);
  // The drag image filled by InitDragImages, made on first use; null
  // without drag images or when the image is empty.
  TDragImageList* GetDragImages() override;
  // The image of the drag over the control goes while the control paints
  // or scrolls its window, so it is not painted into the control.
  void HideDragImage();
  void ShowDragImage();
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

  virtual TRect GetBounds();
  virtual TRect GetClientBounds();
  virtual Integer GetBorderSize();
  virtual TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() { return FLookAndFeel->GetPainter(); }
  // Scrolls one line in the direction through Scroll, then repaints.
  void ScrollContent(TcxDirection ADirection);

  // Own scroll bars. Descendants set their values in InitScrollBarsParameters
  // through SetScrollBarInfo and react in Scroll.
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TcxControlScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* GetVScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* GetSizeGrip() const { return FSizeGrip; }
  bool GetHScrollBarVisible();
  bool GetVScrollBarVisible();
  void SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin, Integer AMax, Integer AStep, Integer APage,
                        Integer APos, bool AAllowShow, bool AAllowHide);
  virtual void UpdateScrollBars();
  void LockScrollBars();
  void UnlockScrollBars();
  // The middle-button full-scroll mode: a modal loop of its own.
  void DoScrolling();

  TNotifyEvent OnFocusChanged, OnMouseEnter, OnMouseLeave;

 protected:
  friend class TcxControlChildComponent;
  friend class TcxControlScrollBar;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool IsMenuKey(TMessage& Message) override;

  virtual bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual void ParentBackgroundChanged() {}
  virtual void AfterMouseDown(TMouseButton AButton, Integer X, Integer Y);
  virtual bool AllowAutoDragAndDropAtDesignTime(Integer, Integer, TShiftState) { return true; }
  virtual void BeforeMouseDown(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void BringInternalControlsToFront();
  virtual bool CanFocusOnClick();
  virtual bool CanFocusOnClick(Integer X, Integer Y);
  virtual bool FocusWhenChildIsClicked(TControl* AChild);
  virtual TCursor GetCursor(Integer X, Integer Y);
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind();
  virtual bool HasBackground() { return false; }
  virtual void InitControl();
  virtual bool IsInternalControl(TControl* AControl);
  virtual TRect GetHScrollBarBounds();
  virtual TRect GetSizeGripBounds();
  virtual TRect GetVScrollBarBounds();
  virtual void InitScrollBarsParameters() {}
  virtual bool IsPixelScrollBar(TScrollBarKind) { return false; }
  virtual bool NeedsScrollBars() { return true; }
  virtual void SetInternalControlsBounds();
  void CreateScrollBars();
  void DestroyScrollBars();
  void ScrollEvent(TObject* Sender, TScrollCode AScrollCode, Integer& AScrollPos);
  virtual void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {}
  virtual bool NeedsToBringInternalControlsToFront() { return !GetIsDesigning(); }
  virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass();
  virtual bool AllowDragAndDropWithoutFocus() { return false; }
  virtual void BoundsChanged() { UpdateScrollBars(); }
  virtual bool CanDrag(Integer X, Integer Y);
  virtual void CursorChanged();
  virtual void DoCancelMode();
  virtual void FocusChanged();
  virtual void FontChanged();
  virtual bool GetDesignHitTest(Integer X, Integer Y, TShiftState Shift);
  virtual bool MayFocus() { return true; }
  virtual void MouseEnter(TControl* AControl);
  virtual void MouseLeave(TControl* AControl);
  virtual void ColorChanged() {}
  virtual void TextChanged() {}
  virtual void VisibleChanged() {}
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool StartDragAndDrop(const TPoint&) { return false; }
  virtual void BeginDragAndDrop();
  // Drags between controls. A descendant refusing StartDrag cancels the
  // drag before it begins.
  void DoStartDrag(TDragObject*& DragObject) override;
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  virtual TcxDragControlObjectClass GetDragObjectClass() { return TcxDragControlObject::StaticClass(); }
  virtual bool StartDrag(TDragObject*) { return true; }
  virtual void DrawDragImage(TcxCanvas*, const TRect&) {}
  virtual TcxDragImageListClass GetDragImagesClass() { return TcxDragImageList::StaticClass(); }
  virtual TSize GetDragImagesSize() { return {0, 0}; }
  virtual bool HasDragImages() { return false; }
  virtual void InitDragImages(TcxDragImageList* ADragImages);
  void FreeDragImages();
  virtual void AddChildComponent(TcxControlChildComponent* AComponent);
  virtual void RemoveChildComponent(TcxControlChildComponent* AComponent);
  virtual void Scroll(TScrollBarKind, TScrollCode, Integer&) {}

  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMCancelMode(TMessage& Message);
  ORV_MESSAGE(win::WM_CANCELMODE, WMCancelMode)
  void WMEraseBkgnd(TMessage& Message);
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_PAINT, WMPaint)
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)
  void WMContextMenu(TMessage& Message);
  ORV_MESSAGE(win::WM_CONTEXTMENU, WMContextMenu)
  void WMSetCursor(TMessage& Message);
  ORV_MESSAGE(win::WM_SETCURSOR, WMSetCursor)
  void CNKeyDown(TMessage& Message);
  ORV_MESSAGE(win::CN_KEYDOWN, CNKeyDown)
  void CNSysKeyDown(TMessage& Message);
  ORV_MESSAGE(win::CN_SYSKEYDOWN, CNSysKeyDown)
  void CMColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_COLORCHANGED, CMColorChanged)
  void CMCursorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_CURSORCHANGED, CMCursorChanged)
  void CMFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FONTCHANGED, CMFontChanged)
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void CMDesignHitTest(TMessage& Message);
  ORV_MESSAGE(win::CM_DESIGNHITTEST, CMDesignHitTest)
  void DXMNCSizeChanged(TMessage& Message);
  ORV_MESSAGE(DXM_NCSIZECHANGED, DXMNCSizeChanged)
  void WMNCCalcSize(TMessage& Message);
  ORV_MESSAGE(win::WM_NCCALCSIZE, WMNCCalcSize)

  bool FScrollingContent = false;

 private:
  bool IsPopupMenuKey(TMessage& Message);
  void LookAndFeelChangedHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  }

  TcxScreenCanvas* FActiveScreenCanvas = nullptr;
  TcxControlBorderStyle FBorderStyle = cxcbsNone;
  TcxCanvas* FcxCanvas = nullptr;
  bool FCreatingWindow = false;
  TCursor FDefaultCursor = crDefault;
  TcxDragAndDropObject* FDragAndDropObject = nullptr;
  TcxDragAndDropObjectClass FDragAndDropObjectClass;
  TCursor FDragAndDropPrevCursor = crDefault;
  TcxDragAndDropState FDragAndDropState = ddsNone;
  TcxDragImageList* FDragImages = nullptr;
  bool FFinishingDragAndDrop = false;
  bool FFocusOnClick = true;
  std::vector<IcxFontListener*> FFontListeners;
  TcxKeys FKeys;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  bool FMouseButtonPressed = false;
  TObject* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos{};
  bool FRightButtonUp = false;
  bool FParentBackgroundCache = true;
  TRect FExplicitBounds{};

  void CalculateScrollBarsVisibility();
  void SetScrollingCursor(TcxDirection ADirection, bool AHorz, bool AVert);
  TcxControlScrollBar* FHScrollBar = nullptr;
  TcxControlScrollBar* FVScrollBar = nullptr;
  TcxSizeGrip* FSizeGrip = nullptr;
  TScrollStyle FScrollBars = ssBoth;
  bool FUpdatingScrollBars = false;
  bool FSavedHVisible = false, FSavedVVisible = false;
  bool FVisibilityChanging = false;
  Integer FScrollBarsLockCount = 0;
  bool FScrollBarsUpdateNeeded = false;
  bool FScrollBarsCalculating = false;
};

// A component that belongs to a control without being a window.
class TcxControlChildComponent : public TcxComponent {
  ORV_CLASS(TcxControlChildComponent, TcxComponent)
 public:
  explicit TcxControlChildComponent(TComponent* AOwner);
  TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner);
  ~TcxControlChildComponent() override;
  TcxControl* GetControl() const { return FControl; }
  bool GetIsLoading() const { return GetComponentState().Contains(csLoading); }
  bool GetIsDestroying() const { return GetComponentState().Contains(csDestroying); }
  TComponent* GetParentComponent() override { return FControl; }
  bool HasParent() override { return FControl != nullptr; }
  void SetParentComponent(TComponent* Value) override;

 protected:
  friend class TcxControl;
  virtual void Initialize() {}
  virtual void SetControl(TcxControl* Value) { FControl = Value; }

 private:
  TcxControl* FControl = nullptr;
};

// ---------------------------------------------------------------------------
// The list box of customization dialogs: pressing an item that carries an
// object and moving the mouse out of the drag-detect area around the press,
// or off the item, starts dragging the item (BeginDragAndDrop, which
// descendants make start the drag they want).
class TcxCustomizeListBox : public TCustomListBox {
  ORV_CLASS(TcxCustomizeListBox, TCustomListBox)
 public:
  explicit TcxCustomizeListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
  ~TcxCustomizeListBox() override { cxClearObjectLinks(this); }
  // The object of the item at ItemIndex; null when none.
  TObject* GetItemObject();
  // Selects the item carrying Value and tells of it with Click.
  void SetItemObject(TObject* Value);
  // The object of the item being pressed for a drag; null when none.
  TObject* GetDragAndDropItemObject();
  Integer GetDragAndDropItemIndex() const { return FDragAndDropItemIndex; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // Leaves the item at ItemIndex the only one selected; descendants start
  // the drag after this.
  virtual void BeginDragAndDrop();

 private:
  TObject* ItemObject(Integer AIndex);
  Integer FDragAndDropItemIndex = -1;
  TPoint FMouseDownPos{};
};

// The unit's start-up and shut-down steps. Shut-down ends every tracking
// still running without calling its caller.
void cxControlsInitialize();
void cxControlsFinalize();
