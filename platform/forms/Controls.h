// Controls: TControl (position, alignment, visibility, mouse handling,
// the notifications), TWinControl (a window of its own, created when first
// needed; children, focus and tab order, keys), and the two bases every
// drawn control derives from: TGraphicControl, painted by its parent, and
// TCustomControl, a window with a canvas.
//
// Positions of child controls are in their parent's client coordinates;
// those of a control without a parent are screen coordinates.
#pragma once

#include <functional>
#include <vector>

#include "platform/forms/Dispatch.h"
#include "platform/forms/Canvas.h"
#include "platform/rtl/Component.h"
#include "platform/win/Keyboard.h"
#include "platform/win/WindowClass.h"

class TControl;
class TWinControl;
class TCustomForm;
class TControlCanvas;
class TDragObject;
class TDragImageList;
class TBasicAction;
class TBasicActionLink;
class TControlActionLink;

// The window procedure every control window shares.
win::LRESULT ControlWindowProc(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);

ORV_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
ORV_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = Set<TAnchorKind>;
// Which scroll bars a scrolling control shows.
ORV_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

ORV_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
         csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
         csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint,
         csParentBackground)
using TControlStyle = Set<TControlStyleItem>;

ORV_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
         csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
using TControlState = Set<TControlStateItem>;

ORV_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
ORV_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = Set<TShiftStateItem>;
ORV_ENUM(TDragMode, dmManual, dmAutomatic)
ORV_ENUM(TDragKind, dkDrag, dkDock)
ORV_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
ORV_ENUM(TDragMessage, dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget)
ORV_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
ORV_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
         imSHanguel, imHanguel)

using TCaption = AnsiString;
using TImeName = AnsiString;

// Cursor ids: the stock ones are negative; applications add their own.
using TCursor = SmallInt;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TMouseEvent = Event<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = Event<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TMouseWheelEvent =
    Event<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = Event<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = Event<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = Event<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = Event<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = Event<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;
using TDragOverEvent =
    Event<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TDragDropEvent = Event<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TStartDragEvent = Event<void(TObject* Sender, TObject*& DragObject)>;
using TEndDragEvent = Event<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;

// Shortcuts: a virtual key with modifier bits.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// The modifiers held for a key message's lParam (Alt from its context bit).
TShiftState KeyDataToShiftState(win::LPARAM KeyData);
// The modifier keys and mouse buttons held now, from the keyboard state.
TShiftState KeyboardStateToShiftState();
// The modifiers and buttons of a mouse message's wParam (MK_ bits).
TShiftState KeysToShiftState(win::WPARAM Keys);
// Is Key the mnemonic of Caption: the character after a single '&'?
bool IsAccel(Word Key, const AnsiString& Caption);
// "Shift+Ctrl+F5", "Alt+Enter"; empty for no shortcut.
AnsiString ShortCutToText(TShortCut ShortCut);
// The shortcut such a text names, scNone for any other text.
TShortCut TextToShortCut(const AnsiString& Text);

// What CM_DRAG carries (lParam points here, wParam is a TDragMessage); Pos
// in screen coordinates. Source is the drag's object (DragDrop.h).
struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};

// Size limits of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  ORV_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}

  Integer GetMaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(Integer Value);
  Integer GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer Value);
  Integer GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value);
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);

  TNotifyEvent OnChange;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void Change();
  TControl* FControl;
  Integer FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// What a hint needs to know, handed to the control under the mouse with
// CM_HINTSHOW (lParam points here) so it may change it.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;
  Integer HintMaxWidth = 0;
  TColor HintColor = 0;
  TRect CursorRect;
  TPoint CursorPos;
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  AnsiString HintStr;
  void* HintData = nullptr;
};

class TControl : public TComponent {
  ORV_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- Messages ----
  // Sends a message straight to this control's WindowProc.
  win::LRESULT Perform(win::UINT Msg, win::WPARAM WParam = 0, win::LPARAM LParam = 0);
  TWndMethod GetWindowProc() const { return FWindowProc; }
  void SetWindowProc(TWndMethod Value) { FWindowProc = Value; }
  virtual void WndProc(TMessage& Message);
  // Runs the handler of the nearest class from this one's up.
  virtual void Dispatch(TMessage& Message);
  // Messages no handler took. The default answers 0, except what the
  // window of a windowed control does with it.
  virtual void DefaultHandler(TMessage& Message);

  // ---- Parent and geometry ----
  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  Integer GetLeft() const { return FLeft; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  Integer GetTop() const { return FTop; }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect GetClientRect();
  Integer GetClientWidth() { return GetClientRect().Width(); }
  void SetClientWidth(Integer Value) { SetClientSize(Value, GetClientHeight()); }
  Integer GetClientHeight() { return GetClientRect().Height(); }
  void SetClientHeight(Integer Value) { SetClientSize(GetClientWidth(), Value); }
  // The screen point of the client area's top-left corner.
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(const TPoint& Point);
  TPoint ScreenToClient(const TPoint& Point);

  TAlign GetAlign() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* GetConstraints() const { return FConstraints; }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool GetAutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  // Asks whether the control may take the new size; may adjust it.
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  // The size an auto-sized control wants; false keeps the size.
  virtual bool CanAutoSizeTo(Integer& NewWidth, Integer& NewHeight);
  virtual void AdjustSize();

  // ---- State ----
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show();
  void Hide() { SetVisible(false); }
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  // Visible here and in every parent.
  bool IsControlVisible() const;

  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  bool GetParentColor() const { return FParentColor; }
  // A value taken from the parent stays out of the layout: read back as
  // the control's own, it would end the following.
  bool IsColorStored() const { return !FParentColor; }
  void SetParentColor(bool Value);
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool GetParentShowHint() const { return FParentShowHint; }
  bool IsShowHintStored() const { return !FParentShowHint; }
  void SetParentShowHint(bool Value);
  AnsiString GetText();
  void SetText(const AnsiString& Value);
  AnsiString GetCaption() { return GetText(); }
  void SetCaption(const AnsiString& Value) { SetText(Value); }
  TComponent* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* Value);
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
  bool GetParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
  // Right-to-left layout is not built: reading is always left to right.
  bool UseRightToLeftReading() const { return false; }
  bool UseRightToLeftAlignment() const { return false; }
  Integer DrawTextBiDiModeFlags(Integer Flags) const { return Flags; }
  Integer DrawTextBiDiModeFlagsReadingOnly() const { return 0; }

  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState GetControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  TDragMode GetDragMode() const { return FDragMode; }
  virtual void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TDragKind GetDragKind() const { return FDragKind; }
  virtual void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }

  // ---- Painting ----
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // ---- Z-order ----
  void BringToFront();
  void SendToBack();

  // ---- Scaling ----
  void ScaleBy(Integer M, Integer D);

  // ---- Mouse ----
  bool GetMouseCapture();
  void SetMouseCapture(bool Value);

  // ---- Parents ----
  bool HasParent() override { return true; }
  TComponent* GetParentComponent() override;
  void SetParentComponent(TComponent* Value) override;

  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnClick, OnDblClick, OnResize;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown, OnMouseWheelUp;
  TContextPopupEvent OnContextPopup;
  TCanResizeEvent OnCanResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag, OnStartDock;
  TEndDragEvent OnEndDrag, OnEndDock;

  // Takes the control's present distances to its parent's right and
  // bottom edges as the ones its anchors keep.
  void UpdateAnchorRules();

  virtual void Click();

  // ---- Dragging (DragDrop.cpp) ----
  // Starts dragging this control: at once, or once the mouse has moved
  // Threshold pixels with the button held (-1: the mouse's threshold).
  // Returns when the drag is over.
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  // Ends this control's drag from inside it: dropping where the pointer is
  // (if the target accepts) or cancelling. Ended in DoStartDrag, the drag
  // is cancelled before it takes the mouse.
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);
  // The images that follow the pointer while this control is dragged;
  // null for none (the cursor alone shows the drag).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // This control's drag ended without a drop (Esc, or no target took it).
  virtual void DragCanceled() {}

  // Where a context menu asked for from the keyboard opens, in client
  // coordinates: the top-left corner; a window holding the caret opens it
  // under the caret.
  virtual TPoint GetKeyboardPopupPoint();

  // ---- Actions (Actions.cpp) ----
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* Value);
  // Offers an action to run on or update this control; true when taken.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // Lets the linked action bring itself up to date (its OnUpdate).
  virtual void InitiateAction();

 protected:
  friend class TWinControl;
  friend class TCustomForm;
  friend class TApplication;
  friend class TSizeConstraints;
  friend win::LRESULT ControlWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);

  friend class TDragOperation;
  friend class TBaseDragControlObject;
  friend class TControlActionLink;

  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  // Accept starts false; a control with OnDragOver starts it true and lets
  // the handler decide.
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  void CMDrag(TMessage& Message);
  ORV_MESSAGE(win::CM_DRAG, CMDrag)

  // Copies what the action shows; CheckDefaults leaves what was changed
  // from the defaults alone.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TControlActionLink* CreateActionLink();
  TControlActionLink* GetActionLink() const { return FActionLink; }

  virtual void DblClick();
  virtual void Resize();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  virtual void ChangeScale(Integer M, Integer D);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void SetZOrder(bool TopMost);
  virtual void VisibleChanging() {}
  virtual AnsiString GetTextValue() { return FText; }
  virtual void SetTextValue(const AnsiString& Value) { FText = Value; }
  // A change of size or position was made (or reported by the window).
  void BoundsChanged(bool Resized);
  void RequestAlign();
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // The Font object told of a change: the control no longer takes its
  // parent's font.
  virtual void FontObjectChanged(TObject* Sender);
  void ConstraintsChanged();
  void ApplyConstraints(Integer& W, Integer& H);
  // The size a move to ALeft, ATop would take: never negative, within the
  // constraints when it changes, as CanResize lets it, and short enough
  // that the right and bottom edges are Integers too.
  void CheckNewSize(Integer ALeft, Integer ATop, Integer& AWidth, Integer& AHeight);
  void SetClientSize(Integer W, Integer H);
  // The two setters of a value a control may take from its parent (colour,
  // hint showing, 3-D look): an own value ends the inheriting and is
  // announced with AChanged; switching the inheriting on takes the
  // parent's value at once through AParentChanged, unless the control is
  // being read.
  template <class T>
  void SetOwnValue(T& AField, const T& AValue, bool& AInherits, win::UINT AChanged) {
    AInherits = false;
    if (AField == AValue) return;
    AField = AValue;
    Perform(AChanged);
  }
  void SetInherits(bool& AInherits, bool AValue, win::UINT AParentChanged);
  // Distances to the parent's right and bottom client edges, kept for
  // anchoring while the control is not being placed by its anchors; in 64
  // bits, as a control far outside its parent may be further away than
  // Integer goes.
  Int64 FAnchorRight = 0;
  Int64 FAnchorBottom = 0;
  bool FAnchorValid = false;
  bool FAnchorMove = false;

  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMRButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_RBUTTONDOWN, WMRButtonDown)
  void WMMButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_MBUTTONDOWN, WMMButtonDown)
  void WMLButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)
  void WMRButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_RBUTTONDBLCLK, WMRButtonDblClk)
  void WMMButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_MBUTTONDBLCLK, WMMButtonDblClk)
  void WMLButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  void WMRButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_RBUTTONUP, WMRButtonUp)
  void WMMButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_MBUTTONUP, WMMButtonUp)
  void WMMouseMove(TMessage& Message);
  ORV_MESSAGE(win::WM_MOUSEMOVE, WMMouseMove)
  void WMMouseWheel(TMessage& Message);
  ORV_MESSAGE(win::WM_MOUSEWHEEL, WMMouseWheel)
  void WMCancelMode(TMessage& Message);
  ORV_MESSAGE(win::WM_CANCELMODE, WMCancelMode)
  void WMContextMenu(TMessage& Message);
  ORV_MESSAGE(win::WM_CONTEXTMENU, WMContextMenu)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)
  void CMColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_COLORCHANGED, CMColorChanged)
  void CMFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FONTCHANGED, CMFontChanged)
  void CMParentColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTCOLORCHANGED, CMParentColorChanged)
  void CMParentFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTFONTCHANGED, CMParentFontChanged)
  void CMParentShowHintChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTSHOWHINTCHANGED, CMParentShowHintChanged)
  void CMHitTest(TMessage& Message);
  ORV_MESSAGE(win::CM_HITTEST, CMHitTest)
  void CMDesignHitTest(TMessage& Message);
  ORV_MESSAGE(win::CM_DESIGNHITTEST, CMDesignHitTest)
  void CMMouseEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSEENTER, CMMouseEnter)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void CMHintShow(TMessage& Message);
  ORV_MESSAGE(win::CM_HINTSHOW, CMHintShow)

  TWinControl* FParent = nullptr;
  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TSizeConstraints* FConstraints = nullptr;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont* FFont = nullptr;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  AnsiString FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  AnsiString FText;
  TComponent* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  TWndMethod FWindowProc;
  TControlActionLink* FActionLink = nullptr;

 public:
  // Messages inside a handler: the handler of the parent classes, or
  // DefaultHandler when none has one.
  void DispatchFrom(TClass Start, TMessage& Message);
};

struct TCreateParams {
  AnsiString Caption;
  win::DWORD Style = 0;
  win::DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  win::HWND WndParent = nullptr;
  void* Param = nullptr;
  win::WNDCLASSA WindowClass{};
  AnsiString WinClassName;
};

class TWinControl : public TControl {
  ORV_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // ---- The window ----
  win::HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  win::HWND GetParentWindow() const { return FParentWindow; }
  void SetParentWindow(win::HWND Value);
  // The window procedure the window's class had: where unhandled messages go.
  win::WNDPROC GetDefWndProc() const { return FDefWndProc; }
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  // Hands a message to WindowProc; an exception that escapes goes to
  // Application->HandleException instead of unwinding into the window
  // system. Every message of the control's window comes through here.
  void MainWndProc(TMessage& Message);
  // Destroys and creates the window again, keeping its text and focus.
  void RecreateWnd();
  bool GetShowing() const { return FShowing; }

  // ---- Children ----
  Integer GetControlCount() const { return static_cast<Integer>(FControls.size()); }
  TControl* GetControl(Integer Index) const { return FControls.at(static_cast<std::size_t>(Index)); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The child under a client point; AllowDisabled also finds disabled ones,
  // AllLevels looks into children's children.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false,
                         bool AllLevels = false);
  void Broadcast(TMessage& Message);
  void NotifyControls(win::UINT Msg);
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  // Mirrors the children left to right inside the client area (left and
  // right alignments and anchors trade places); AllLevels mirrors the
  // children's children too.
  virtual void FlipChildren(bool AllLevels);

  // ---- Focus and tab order ----
  Integer GetTabOrder() const;
  void SetTabOrder(Integer Value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // Containers may put a child in their own place (virtual for that).
  virtual void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectFirst();
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus();
  // This window has the focus. A control made of several windows answers
  // for all of them; code that means this one window asks the window
  // system (GetFocus() == GetHandle()).
  virtual bool Focused();
  virtual void SetFocus();

  // ---- Alignment ----
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  // Under the caret while this window holds it.
  TPoint GetKeyboardPopupPoint() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  // ---- Appearance ----
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool GetParentCtl3D() const { return FParentCtl3D; }
  bool IsCtl3DStored() const { return !FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  bool GetParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool Value);
  TImeMode GetImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  const TImeName& GetImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }
  TBrush* GetBrush() const { return FBrush; }

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  // Paints the window and its graphic children (WM_PAINT); a DC given in
  // wParam is painted into instead of the window's own.
  void PaintHandler(TMessage& Message);
  void PaintControls(win::HDC DC, TControl* First);

  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter, OnExit;

 protected:
  friend class TControl;
  friend class TCustomForm;
  friend class TApplication;
  friend win::LRESULT ControlWindowProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);

  TControlActionLink* CreateActionLink() override;
  virtual void CreateParams(TCreateParams& Params);
  // Fills in Params.WindowClass from a registered class (the native
  // control's) whose procedure then serves as DefWndProc.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  // A mouse message of a subclassed control: the native procedure answers
  // it first, then the class library's handlers raise the mouse events.
  void WMMouseThrough(TMessage& Message);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void DestroyHandle();
  virtual void PaintWindow(win::HDC DC);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void DoEnter();
  virtual void DoExit();
  // Answers true when the key was consumed (form preview or KeyDown).
  bool DoKeyDown(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKey(TMessage& Message, bool (TWinControl::*AFormStep)(TMessage&),
             void (TWinControl::*AEvent)(Word&, TShiftState));
  virtual void UpdateShowing();
  // Shows or hides the window when every parent up to a form is showing.
  void UpdateControlState();
  void UpdateBounds();
  void SetZOrder(bool TopMost) override;
  void AlignControl(TControl* AControl);
  void ChangeScale(Integer M, Integer D) override;
  void SetChildOrder(TComponent* Child, Integer Order) override;
  void FontObjectChanged(TObject* Sender) override;
  void ReadState(TReader* Reader) override;
  void Loaded() override;
  void RemoveFocus(bool Removing);
  virtual bool IsMenuKey(TMessage& Message);

  void WMPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_PAINT, WMPaint)
  void WMEraseBkgnd(TMessage& Message);
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMWindowPosChanged(TMessage& Message);
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGED, WMWindowPosChanged)
  void WMGetMinMaxInfo(TMessage& Message);
  ORV_MESSAGE(win::WM_GETMINMAXINFO, WMGetMinMaxInfo)
  void WMKeyDown(TMessage& Message);
  ORV_MESSAGE(win::WM_KEYDOWN, WMKeyDown)
  void WMSysKeyDown(TMessage& Message);
  ORV_MESSAGE(win::WM_SYSKEYDOWN, WMSysKeyDown)
  void WMKeyUp(TMessage& Message);
  ORV_MESSAGE(win::WM_KEYUP, WMKeyUp)
  void WMSysKeyUp(TMessage& Message);
  ORV_MESSAGE(win::WM_SYSKEYUP, WMSysKeyUp)
  void WMChar(TMessage& Message);
  ORV_MESSAGE(win::WM_CHAR, WMChar)
  void WMCommand(TMessage& Message);
  ORV_MESSAGE(win::WM_COMMAND, WMCommand)
  void WMNotify(TMessage& Message);
  ORV_MESSAGE(win::WM_NOTIFY, WMNotify)
  void WMDrawItem(TMessage& Message);
  ORV_MESSAGE(win::WM_DRAWITEM, WMDrawItem)
  void WMMeasureItem(TMessage& Message);
  ORV_MESSAGE(win::WM_MEASUREITEM, WMMeasureItem)
  void WMDeleteItem(TMessage& Message);
  ORV_MESSAGE(win::WM_DELETEITEM, WMDeleteItem)
  void WMCompareItem(TMessage& Message);
  ORV_MESSAGE(win::WM_COMPAREITEM, WMCompareItem)
  void WMHScroll(TMessage& Message);
  ORV_MESSAGE(win::WM_HSCROLL, WMHScroll)
  void WMVScroll(TMessage& Message);
  ORV_MESSAGE(win::WM_VSCROLL, WMVScroll)
  void WMCtlColorEdit(TMessage& Message);
  ORV_MESSAGE(win::WM_CTLCOLOREDIT, WMCtlColorEdit)
  void WMCtlColorStatic(TMessage& Message);
  ORV_MESSAGE(win::WM_CTLCOLORSTATIC, WMCtlColorStatic)
  void WMCtlColorListBox(TMessage& Message);
  ORV_MESSAGE(win::WM_CTLCOLORLISTBOX, WMCtlColorListBox)
  void WMCtlColorBtn(TMessage& Message);
  ORV_MESSAGE(win::WM_CTLCOLORBTN, WMCtlColorBtn)
  void WMCtlColorScrollBar(TMessage& Message);
  ORV_MESSAGE(win::WM_CTLCOLORSCROLLBAR, WMCtlColorScrollBar)
  void WMSetCursor(TMessage& Message);
  ORV_MESSAGE(win::WM_SETCURSOR, WMSetCursor)
  void WMNCDestroy(TMessage& Message);
  ORV_MESSAGE(win::WM_NCDESTROY, WMNCDestroy)
  void CNKeyDown(TMessage& Message);
  ORV_MESSAGE(win::CN_KEYDOWN, CNKeyDown)
  void CNSysKeyDown(TMessage& Message);
  ORV_MESSAGE(win::CN_SYSKEYDOWN, CNSysKeyDown)
  void CNKeyUp(TMessage& Message);
  ORV_MESSAGE(win::CN_KEYUP, CNKeyUp)
  void CNChar(TMessage& Message);
  ORV_MESSAGE(win::CN_CHAR, CNChar)
  void CNSysChar(TMessage& Message);
  ORV_MESSAGE(win::CN_SYSCHAR, CNSysChar)
  void CNCtlColor(TMessage& Message);
  ORV_MESSAGE(win::CN_CTLCOLOREDIT, CNCtlColor)
  void CNCtlColorStatic(TMessage& Message) { CNCtlColor(Message); }
  ORV_MESSAGE(win::CN_CTLCOLORSTATIC, CNCtlColorStatic)
  void CNCtlColorListBox(TMessage& Message) { CNCtlColor(Message); }
  ORV_MESSAGE(win::CN_CTLCOLORLISTBOX, CNCtlColorListBox)
  void CNCtlColorBtn(TMessage& Message) { CNCtlColor(Message); }
  ORV_MESSAGE(win::CN_CTLCOLORBTN, CNCtlColorBtn)
  void CNCtlColorScrollBar(TMessage& Message) { CNCtlColor(Message); }
  ORV_MESSAGE(win::CN_CTLCOLORSCROLLBAR, CNCtlColorScrollBar)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)
  void CMShowingChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_SHOWINGCHANGED, CMShowingChanged)
  void CMColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_COLORCHANGED, CMColorChanged)
  void CMFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FONTCHANGED, CMFontChanged)
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void CMCursorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_CURSORCHANGED, CMCursorChanged)
  void CMCtl3DChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_CTL3DCHANGED, CMCtl3DChanged)
  void CMParentCtl3DChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTCTL3DCHANGED, CMParentCtl3DChanged)
  void CMShowHintChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_SHOWHINTCHANGED, CMShowHintChanged)
  void CMSysColorChange(TMessage& Message);
  ORV_MESSAGE(win::CM_SYSCOLORCHANGE, CMSysColorChange)
  void CMWinIniChange(TMessage& Message);
  ORV_MESSAGE(win::CM_WININICHANGE, CMWinIniChange)
  void CMEnter(TMessage& Message);
  ORV_MESSAGE(win::CM_ENTER, CMEnter)
  void CMExit(TMessage& Message);
  ORV_MESSAGE(win::CM_EXIT, CMExit)
  void CMFocusChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FOCUSCHANGED, CMFocusChanged)
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)
  void CMChildKey(TMessage& Message);
  ORV_MESSAGE(win::CM_CHILDKEY, CMChildKey)
  void CMRecreateWnd(TMessage& Message);
  ORV_MESSAGE(win::CM_RECREATEWND, CMRecreateWnd)
  void CMTabStopChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TABSTOPCHANGED, CMTabStopChanged)

  win::HWND FHandle = nullptr;
  win::WNDPROC FDefWndProc = nullptr;
  win::HWND FParentWindow = nullptr;
  std::vector<TControl*> FControls;     // back to front
  std::vector<TWinControl*> FTabList;   // in tab order
  bool FTabStop = false;
  bool FShowing = false;
  Integer FAlignLevel = 0;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDoubleBuffered = false;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  TBrush* FBrush = nullptr;
  AnsiString FSavedText;  // kept across RecreateWnd

 private:
  void DoAlign(TAlign AAlign, TRect& Rect, TControl* AControl);
  void ReflectToChild(TMessage& Message, win::HWND Child);
};

class TGraphicControl : public TControl {
  ORV_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() const;

 protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_PAINT, WMPaint)

  TCanvas* FCanvas = nullptr;
};

// Paints on DC through Canvas (locked, its own DC let go first) and hands
// the DC back afterwards, also when Paint raises: the one painting path of
// custom controls and forms.
void PaintThroughCanvas(TCanvas* Canvas, win::HDC DC, const std::function<void()>& Paint);

class TCustomControl : public TWinControl {
  ORV_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() const;

 protected:
  virtual void Paint() {}
  void PaintWindow(win::HDC DC) override;

  TCanvas* FCanvas = nullptr;
};

// A canvas on a control: the window's client area of a windowed control,
// the parent's DC clipped to a graphic control, or an owner-draw DC handed
// in with SetHandle.
class TControlCanvas : public TCanvas {
  ORV_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* Value);
  // Lets go of a DC this canvas asked the window for.
  void FreeHandle();
  void UpdateTextFlags() {}

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  win::HDC FDeviceContext = nullptr;
  win::HWND FWindowHandle = nullptr;
};

// ---- Helpers ----
// The form a control sits on (itself for a form), or null.
TCustomForm* GetParentForm(TControl* Control);
// The control of a window made by the class library, or null.
TWinControl* FindControl(win::HWND Handle);
// The control at a screen point: the deepest control window under it,
// then its graphic child there.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
TControl* FindControlAtPoint(const TPoint& Pos);
bool IsLibraryWindow(win::HWND Handle);
// The control holding the mouse: a windowed control with the capture, or a
// graphic control holding it through its parent's window.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// Offers a retrieved key message to the nearest control window first, as
// its CN_ message; true when the control took it.
bool ReflectKeyMessage(win::MSG& Msg);
// The drag's part of every retrieved message (the application's message
// hook and the drag loop): while a drag runs, its mouse and key messages;
// true when the drag took it.
bool DragMessage(win::MSG& Msg);
// A control going away stops being a drop target; a source going away
// ends its drag.
void DragControlDestroying(TControl* Control);

// How a push button answers the dialog keys its form offers it: Enter
// clicks the active button and Esc the cancel button when no modifier is
// held; its accelerator clicks it. Message.Result says whether it took the
// key.
template <class AButton>
void AnswerButtonDialogKey(AButton* Button, TMessage& Message, bool Active, bool Cancel) {
  const bool taken = ((Message.WParam == win::VK_RETURN && Active) || (Message.WParam == win::VK_ESCAPE && Cancel)) &&
                     KeyDataToShiftState(Message.LParam).Empty() && Button->CanFocus();
  Message.Result = taken ? 1 : 0;
  if (taken) Button->Click();
}

template <class AButton>
void AnswerButtonDialogChar(AButton* Button, TMessage& Message) {
  const bool taken = IsAccel(static_cast<Word>(Message.WParam), Button->GetText()) && Button->CanFocus();
  Message.Result = taken ? 1 : 0;
  if (taken) Button->Click();
}

