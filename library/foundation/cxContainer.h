// Container controls: the appearance of a container in each of its states,
// the style controller that lends one appearance to many containers, and
// (further down) the container control itself.
#pragma once

#include <vector>

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxLookAndFeels.h"
#include "library/foundation/cxScrollBar.h"
#include "platform/forms/Controls.h"
#include "platform/controls/ListBox.h"
#include "platform/forms/Graphics.h"

ORV_ENUM(TcxContainerBorderStyle, cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11)
ORV_ENUM(TcxContainerStateItem, csNormal, csActive, csDisabled, csHotTrack)
using TcxContainerState = Set<TcxContainerStateItem>;

// Index of a style value; descendants of the container style add indexes
// from GetStyleValueCount upward.
using TcxContainerStyleValue = int;
using TcxContainerStyleValues = Set<TcxContainerStyleValue, 32>;

inline constexpr TcxContainerStyleValue csvBorderColor = 0;
inline constexpr TcxContainerStyleValue csvBorderStyle = 1;
inline constexpr TcxContainerStyleValue csvColor = 2;
inline constexpr TcxContainerStyleValue csvEdges = 3;
inline constexpr TcxContainerStyleValue csvFont = 4;
inline constexpr TcxContainerStyleValue csvHotTrack = 5;
inline constexpr TcxContainerStyleValue csvShadow = 6;
inline constexpr TcxContainerStyleValue csvTextColor = 7;
inline constexpr TcxContainerStyleValue csvTextStyle = 8;
inline constexpr TcxContainerStyleValue csvTransparentBorder = 9;

class TcxContainer;
class TcxContainerStyle;
class TcxStyleController;

using TcxContainerStyleClass = TClassRef<TcxContainerStyle>;

// What a style asks of the control that owns it: whether a value is shown in
// the control's published properties, and how the control takes its colour
// and font from its parent.
class IcxContainerStyleOwner {
 public:
  virtual ~IcxContainerStyleOwner() = default;
  virtual TWinControl* GetStyleOwnerControl() = 0;
  virtual bool IsStylePropertyPublished(const AnsiString& APropertyName, bool AExtended) = 0;
  virtual bool DefaultParentColor() = 0;
  virtual bool IsInplace() = 0;
};

// The appearance of a container in one state. The normal state's style is
// the base style; the others keep only their own border, colours and text
// style, and read everything they leave unassigned from the base style, the
// controller's style of the same state or a default, in that order.
class TcxContainerStyle : public TcxInterfacedPersistent {
  ORV_CLASS(TcxContainerStyle, TcxInterfacedPersistent)
 public:
  using ExtraConstructors =
      orv::Signatures<TObject*(TPersistent*, bool, TcxContainerStyle*, TcxContainerStateItem)>;

  TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle = nullptr,
                    TcxContainerStateItem AState = csNormal);
  ~TcxContainerStyle() override;
  void AfterConstruction() override;

  void BeginUpdate();
  void EndUpdate();
  virtual void RestoreDefaults();

  TcxContainerStyle* GetBaseStyle() { return IsBaseStyle() ? this : FParentStyle; }
  bool IsBaseStyle() const { return FParentStyle == nullptr; }
  bool IsDestroying() const { return FDestroying; }
  bool GetDirectAccessMode() const { return FDirectAccessMode; }
  TcxContainerStateItem GetState() const { return FState; }
  TcxContainerStyle* GetParentStyle() const { return FParentStyle; }
  IcxContainerStyleOwner* GetContainer();
  virtual bool HasBorder();

  // Value names and indexes.
  virtual Integer GetStyleValueCount() { return 10; }
  virtual bool GetStyleValueName(TcxContainerStyleValue AStyleValue, AnsiString& AName);
  bool GetStyleValue(const AnsiString& APropertyName, TcxContainerStyleValue& AStyleValue);
  virtual bool IsValueAssigned(TcxContainerStyleValue AValue);
  bool IsExtendedStylePropertyPublished(const AnsiString& APropertyName);

  TcxContainerStyleValues GetAssignedValues();
  void SetAssignedValues(TcxContainerStyleValues Value);

  TColor GetBorderColor();
  void SetBorderColor(TColor Value);
  TcxContainerBorderStyle GetBorderStyle();
  void SetBorderStyle(TcxContainerBorderStyle Value);
  virtual TColor GetColor();
  void SetColor(TColor Value);
  TcxBorders GetEdges();
  void SetEdges(TcxBorders Value);
  TFont* GetFont();
  void SetFont(TFont* Value);
  bool GetHotTrack();
  void SetHotTrack(bool Value);
  bool GetShadow();
  void SetShadow(bool Value);
  virtual TColor GetTextColor();
  void SetTextColor(TColor Value);
  virtual TFontStyles GetTextStyle();
  void SetTextStyle(TFontStyles Value);
  bool GetTransparentBorder();
  void SetTransparentBorder(bool Value);
  TcxLookAndFeel* GetLookAndFeel();
  void SetLookAndFeel(TcxLookAndFeel* Value);
  // Nil while the default controller is in effect.
  TcxStyleController* GetStyleController();
  void SetStyleController(TcxStyleController* Value);
  TcxStyleController* GetActiveStyleController();

  // The colour to paint with: like GetColor, except that a container shown
  // inside another control takes its parent's colour only when nothing
  // assigns one.
  virtual TColor GetStyleColor();
  // The base font in the text colour and style of this state.
  TFont* GetVisibleFont();

  // While locked, font changes do not count as the style's own font: a
  // controller's font copied in keeps flowing from the controller.
  void LockFontAssignedValue(bool ALock);
  bool IsFontAssignedValueLocked() const { return FFontAssignedValueLock > 0; }

  TNotifyEvent OnChanged;

  // Stored rules of the published values.
  bool IsBorderColorStored() { return IsValueStored(csvBorderColor); }
  bool IsBorderStyleStored() { return IsValueStored(csvBorderStyle); }
  bool IsColorStored() { return IsValueStored(csvColor); }
  bool IsEdgesStored() { return IsValueStored(csvEdges); }
  bool IsFontStored() { return IsValueStored(csvFont); }
  bool IsHotTrackStored() { return IsValueStored(csvHotTrack); }
  bool IsShadowStored() { return IsValueStored(csvShadow); }
  bool IsTextColorStored() { return IsValueStored(csvTextColor); }
  bool IsTextStyleStored() { return IsValueStored(csvTextStyle); }
  bool IsTransparentBorderStored() { return IsValueStored(csvTransparentBorder); }
  bool IsStyleControllerStored() { return FState == csNormal; }

  // The controller link of the base style; a state style forwards.
  TcxStyleController* BaseGetStyleController();
  void BaseSetStyleController(TcxStyleController* Value);

 protected:
  void DoAssign(TPersistent* Source) override;

  friend class TcxContainer;
  friend class TcxStyleController;

  virtual void Changed();
  virtual void ControllerChangedNotification(TcxStyleController* AStyleController);
  virtual void ControllerFreeNotification(TcxStyleController* AStyleController);
  virtual TColor DefaultBorderColor();
  virtual TcxContainerBorderStyle DefaultBorderStyle();
  virtual TColor DefaultColor();
  virtual TcxBorders DefaultEdges();
  virtual bool DefaultHotTrack();
  virtual bool DefaultShadow();
  virtual TColor DefaultTextColor();
  virtual TFontStyles DefaultTextStyle();
  virtual bool DefaultTransparentBorder();
  virtual void FontChanged(TObject* Sender);
  virtual TcxStyleController* GetDefaultStyleController();
  virtual TcxContainerStyleValues InternalGetNotPublishedExtendedStyleValues();
  void DefineProperties(TFiler* Filer) override;

  // Whether the value is assigned here or along the controller chain, and
  // the value when it is.
  bool InternalGetBorderColor(TColor& Value);
  bool InternalGetBorderStyle(TcxContainerBorderStyle& Value);
  bool InternalGetColor(TColor& Value);
  bool InternalGetEdges(TcxBorders& Value);
  bool InternalGetFont(TFont*& Value);
  bool InternalGetHotTrack(bool& Value);
  bool InternalGetShadow(bool& Value);
  bool InternalGetTextColor(TColor& Value);
  bool InternalGetTextStyle(TFontStyles& Value);
  bool InternalGetTransparentBorder(bool& Value);

  bool IsValueStored(TcxContainerStyleValue AValue);
  void UpdateFont();
  TcxContainerStyleValues FAssignedValues;

 private:
  void CheckChanges();
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  // The controller's style of this state, when a controller is in effect.
  TcxContainerStyle* ControllerStyle();
  void ReadIsFontAssigned(TReader* Reader);
  void WriteIsFontAssigned(TWriter* Writer);
  template <class T>
  void SetValue(TcxContainerStyleValue AIndex, T& AField, const T& Value);

  TColor FBorderColor = clWindowFrame;
  TcxContainerBorderStyle FBorderStyle = cbsFlat;
  TcxBorders FEdges = cxBordersAll;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  bool FDirectAccessMode;
  Integer FFontAssignedValueLock = 0;
  bool FDestroying = false;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  bool FChangePending = false;
  TcxContainerStyle* FParentStyle;
  TcxContainerStateItem FState;
  TFontStyles FTextStyle;
  Integer FUpdateCount = 0;
  TFont* FVisibleFont = nullptr;
  TcxStyleController* FStyleController = nullptr;
  TColor FColor = clWindow;
  TFont* FFont = nullptr;
  bool FOwnsFont = false;
  TColor FTextColor = clWindowText;
};

// The four styles of a container or a controller, one per state.
class TcxContainerStyles : public TObject {
  ORV_CLASS(TcxContainerStyles, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TPersistent*, TcxContainerStyleClass)>;

  TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass);
  ~TcxContainerStyles() override;

  TcxContainerStyle* GetStyle(TcxContainerStateItem AState) const { return FStyles[AState]; }
  // Takes the given style's values; the held object stays.
  void SetStyle(TcxContainerStateItem AState, TcxContainerStyle* Value);
  TcxContainerStyle* GetStyleNormal() const { return FStyles[csNormal]; }
  void SetStyleNormal(TcxContainerStyle* Value) { SetStyle(csNormal, Value); }
  TcxContainerStyle* GetStyleFocused() const { return FStyles[csActive]; }
  void SetStyleFocused(TcxContainerStyle* Value) { SetStyle(csActive, Value); }
  TcxContainerStyle* GetStyleDisabled() const { return FStyles[csDisabled]; }
  void SetStyleDisabled(TcxContainerStyle* Value) { SetStyle(csDisabled, Value); }
  TcxContainerStyle* GetStyleHot() const { return FStyles[csHotTrack]; }
  void SetStyleHot(TcxContainerStyle* Value) { SetStyle(csHotTrack, Value); }

  void SetOnChanged(TNotifyEvent Value);
  void RestoreDefaults();

 private:
  TcxContainerStyle* FStyles[4] = {};
};

using TcxContainerStylesClass = TClassRef<TcxContainerStyles>;

// Lends its styles to every container style that names it.
class TcxStyleController : public TcxComponent {
  ORV_CLASS(TcxStyleController, TcxComponent)
 public:
  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TcxContainerStyle* GetStyle() const { return FStyles->GetStyleNormal(); }
  void SetStyle(TcxContainerStyle* Value) { FStyles->SetStyleNormal(Value); }
  TcxContainerStyle* GetInternalStyle(TcxContainerStateItem AState) const { return FStyles->GetStyle(AState); }
  void SetInternalStyle(TcxContainerStateItem AState, TcxContainerStyle* Value) { FStyles->SetStyle(AState, Value); }
  TcxContainerStyles* GetStyles() const { return FStyles; }

  // Never stored: reading answers the normal style's own controller.
  TcxStyleController* GetFakeStyleController() { return GetStyle()->GetStyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  bool IsFakeStyleControllerStored() { return false; }

  bool IsDestruction() const { return FDestroying; }
  const std::vector<TcxContainerStyle*>& GetListeners() const { return FListeners; }
  void RestoreStyles();
  // Scales the font once in the controller's life.
  void ChangeFontScale(Integer M, Integer D);

  TNotifyEvent OnStyleChanged;

  virtual void AddListener(TcxContainerStyle* AListener);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerStylesClass GetStylesClass();
  virtual void RemoveListener(TcxContainerStyle* AListener);

 protected:
  virtual void Changed();
  void Loaded() override;

 private:
  void StyleChanged(TObject* Sender);

  std::vector<TcxContainerStyle*> FListeners;
  bool FDestroying = false;
  bool FFontScaled = false;
  TcxContainerStyles* FStyles = nullptr;
};

// The controller every style uses that names none; the editors set it at
// start-up.
extern TcxStyleController* cxContainerDefaultStyleController;
TcxStyleController* DefaultContainerStyleController();


// --- View information ------------------------------------------------------

ORV_ENUM(TcxContainerHotState, chsNoHotTrack, chsNormal, chsSelected)

// The outcome of one layout calculation of a container, and the painting of
// its border, shadow and background from it.
class TcxContainerViewInfo : public TObject {
  ORV_CLASS(TcxContainerViewInfo, TObject)
 public:
  TcxContainerViewInfo() = default;

  // Copies the client rectangle only.
  virtual void Assign(TObject* Source);
  virtual TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo);
  virtual void Offset(Integer DX, Integer DY);
  virtual void Paint(TcxCanvas* ACanvas);
  virtual void SetBackgroundColor(TColor Value) { BackgroundColor = Value; }
  virtual TcxContainerBorderStyle GetContainerBorderStyle() { return ContainerBorderStyle; }

  TColor BackgroundColor = clWindow;
  TColor BorderColor = clWindowFrame;
  TRect BorderRect{};
  TcxContainerBorderStyle ContainerBorderStyle = cbsNone;
  Integer BorderWidth = 0;
  TRect Bounds{};
  TRect ClientRect{};
  TcxContainerState ContainerState{csNormal};
  TcxBorders Edges = cxBordersAll;
  TcxContainerHotState HotState = chsNormal;
  bool NativeStyle = false;
  bool Shadow = false;
  Integer NativePart = 0;
  Integer NativeState = 0;
  TdxThemedObjectType ThemedObjectType = totEdit;

 protected:
  virtual void DrawBorder(TcxCanvas* ACanvas, TRect R);
  virtual void InternalPaint(TcxCanvas* ACanvas);
};

using TcxContainerViewInfoClass = TClassRef<TcxContainerViewInfo>;

// Width of a border of the given style or look-and-feel kind.
Integer GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle);
Integer GetContainerBorderWidth(TcxLookAndFeelKind ALookAndFeelKind);
// Moves the named sides outward by AWidth.
void ExtendRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders);
// Moves the sides not named inward by AWidth.
void InflateRectByBorders(TRect& R, Integer AWidth, TcxBorders ABorders);
// Width of the drop shadow below and right of a container.
inline constexpr Integer cxContainerShadowWidth = 3;
// Fills the shadow below and right of R and keeps later drawing out of it.
void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R);
TRect GetControlRect(TControl* AControl);

// --- The container control ---------------------------------------------------

ORV_ENUM(TcxMouseButton, cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle)

TcxMouseButton ButtonTocxButton(TMouseButton AButton);
TShiftState MouseButtonToShift(TMouseButton AButton);

// The visible part of an inner control in its own coordinates; IsEmpty when
// it fits and needs no clipping.
struct TcxContainerInnerControlBounds {
  bool IsEmpty = true;
  TRect Rect{};
};

// Library scroll bars laid over the native bars of a window control, on
// the control's parent. Covering lays ABar over the native bar (SB_HORZ or
// SB_VERT) and gives it the native range, page and position; the bar is
// hidden while the native one is, when it is off-screen, and when it does
// not lie wholly inside the parent (it would cover what is not the
// control's). Scrolling hands a bar's scroll action to the control and
// answers where the native bar went.
void cxCoverNativeScrollBar(TWinControl* AControl, TcxScrollBar* ABar, int ANativeBar);
Integer cxScrollNativeBar(TWinControl* AControl, TcxScrollBar* ABar, TScrollCode ACode, Integer APos);

// A control drawn with the style of its current state, its border, shadow
// and background, and optionally hosting one native inner control that
// fills its client area.
class TcxContainer : public TcxControl,
                     public IcxContainerStyleOwner,
                     public IcxMouseTrackingCaller,
                     public IcxCompoundControl {
  ORV_CLASS(TcxContainer, TcxControl)
 public:
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TcxContainerStyle* GetStyle() const { return FStyles->GetStyleNormal(); }
  void SetStyle(TcxContainerStyle* Value) { FStyles->SetStyleNormal(Value); }
  TcxContainerStyle* GetStyleDisabled() const { return FStyles->GetStyleDisabled(); }
  void SetStyleDisabled(TcxContainerStyle* Value) { FStyles->SetStyleDisabled(Value); }
  TcxContainerStyle* GetStyleFocused() const { return FStyles->GetStyleFocused(); }
  void SetStyleFocused(TcxContainerStyle* Value) { FStyles->SetStyleFocused(Value); }
  TcxContainerStyle* GetStyleHot() const { return FStyles->GetStyleHot(); }
  void SetStyleHot(TcxContainerStyle* Value) { FStyles->SetStyleHot(Value); }
  TcxContainerStyles* GetStyles() const { return FStyles; }
  TcxContainerStyle* GetActiveStyle();
  TcxContainerViewInfo* GetViewInfo() const { return FViewInfo; }
  TWinControl* GetInnerControl() const { return FInnerControl; }
  // The inner control takes the keyboard when there is one; else the
  // container itself.
  TWinControl* GetActiveControl() override { return FInnerControl ? FInnerControl : this; }
  // The library's bars over the inner control's native ones; null until an
  // inner control first shows a native bar. The inner list box lays its own.
  TcxScrollBar* GetInnerScrollBar(TScrollBarKind AKind) const { return FInnerScrollBars[AKind]; }
  // Asks for the bars to follow the inner control's native ones once the
  // messages queued now are handled.
  void UpdateScrollBarsParameters();
  // What is dragged, and how the pointer looks, are the container's, also
  // over its inner control.
  void SetDragMode(TDragMode Value) override;
  void SetDragKind(TDragKind Value) override;
  // The inner control's drag image stands for the container's, and a drag
  // of the container cancelled cancels the inner control's too.
  TDragImageList* GetDragImages() override;
  void DragCanceled() override;
  // From the keyboard the menu opens where the inner control would open
  // it (under its caret or focused item).
  TPoint GetKeyboardPopupPoint() override;
  TcxStyleController* GetFakeStyleController() { return GetStyle()->GetStyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  bool IsFakeStyleControllerStored() { return false; }
  bool GetContainerIsDestroying() const { return GetIsDestroying() || FIsDestroying; }

  // The style owner's side.
  TWinControl* GetStyleOwnerControl() override { return this; }
  bool IsStylePropertyPublished(const AnsiString& APropertyName, bool AExtended) override;
  bool DefaultParentColor() override { return false; }
  bool IsInplace() override { return false; }

  // The container's window or its inner control has the focus (never at
  // design time, nor while the focus is leaving or the window going).
  bool Focused() override;
  // Focused, unless a descendant says otherwise.
  virtual bool IsContainerFocused() { return Focused(); }
  bool GetIsFocused() override { return IsContainerFocused(); }
  void SetFocus() override;
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  void RestoreStyles() { FStyles->RestoreDefaults(); }
  void LockAlignControls(bool ALock);
  void LockPopupMenu(bool ALock);
  void SetFocusOnClickLocked(bool Value) { FFocusOnClickLocked = Value; }

  virtual void CalculateViewInfo(const TPoint& P, bool AHotTest);
  virtual TRect GetBorderExtent();
  virtual TRect GetVisibleBounds();
  virtual TRect GetShadowBounds();
  virtual bool HasShadow();
  virtual bool HasPopupWindow() { return false; }
  virtual bool IsContainerClass() { return false; }
  virtual bool IsNativeStyle();
  virtual bool TabsNeeded() { return false; }
  virtual bool CanHaveTransparentBorder();
  virtual bool IsTransparentBackground() { return false; }
  virtual bool RefreshContainer(const TPoint& P, TcxMouseButton AButton, TShiftState AShift, bool AIsMouseEvent);
  void ShortRefreshContainer(bool AIsMouseEvent);
  virtual void EndMouseTracking();
  void MouseTrackingMouseLeave() override { EndMouseTracking(); }
  TRect GetClientBounds() override;
  // The inner control offers the container every message before its own
  // window procedure, and its unhandled default processing before the
  // platform's; true when the container took the message. The container
  // takes the keys of its own popup menu, which the inner control cannot
  // see.
  virtual bool InnerControlMenuHandler(TMessage& Message);
  virtual bool InnerControlDefaultHandler(TMessage&) { return false; }

 protected:
  virtual void AdjustInnerControl();
  virtual void ContainerStyleChanged(TObject* Sender);
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxContainerStylesClass GetStylesClass();
  virtual TcxContainerViewInfoClass GetViewInfoClass();
  virtual TcxContainerStyle* InternalGetActiveStyle();
  virtual TcxContainerStyleValues InternalGetNotPublishedStyleValues() { return {}; }
  virtual void GetInnerControlBounds(const TRect& R, TControl* AControl, TcxContainerInnerControlBounds& ABounds);
  virtual void SetShadowRegion();
  virtual void SetSize();
  virtual void SetVisibleBoundsClipRect();
  virtual TdxThemedObjectType GetBackgroundThemedObjectType() { return totEdit; }
  virtual Integer GetBackgroundNativePart() { return 1; }
  virtual Integer GetBackgroundNativeState();
  virtual void ClearSavedChildControlRegions() { FSavedInnerControlBounds.IsEmpty = true; }
  virtual bool CanShowPopupMenu(const TPoint&) { return true; }
  virtual void SetScrollBarsParameters(bool AIsScrolling);
  // A container scrolls through its inner control, not with bars of its own.
  bool NeedsScrollBars() override { return false; }
  void SetInnerControl(TWinControl* Value);

  void AdjustClientRect(TRect& Rect) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void ChangeScale(Integer M, Integer D) override;
  // The point form stays the control base's.
  using TcxControl::CanFocusOnClick;
  bool CanFocusOnClick() override;
  void ColorChanged() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void FocusChanged() override;
  void FontChanged() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Loaded() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool MayFocus() override;
  void CursorChanged() override;
  void Paint() override;
  void Resize() override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)
  void WMSetCursor(TMessage& Message);
  ORV_MESSAGE(win::WM_SETCURSOR, WMSetCursor)
  void WMNCPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_NCPAINT, WMNCPaint)
  void WMWindowPosChanging(TMessage& Message);
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGING, WMWindowPosChanging)
  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  void CMParentColorChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTCOLORCHANGED, CMParentColorChanged)
  void CMParentFontChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_PARENTFONTCHANGED, CMParentFontChanged)
  void CMSysColorChange(TMessage& Message);
  ORV_MESSAGE(win::CM_SYSCOLORCHANGE, CMSysColorChange)
  void CMFocusChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FOCUSCHANGED, CMFocusChanged)
  void CMUpdateScrollBars(TMessage& Message);
  ORV_MESSAGE(DXM_UPDATESCROLLBARS, CMUpdateScrollBars)

 private:
  friend class TcxCustomInnerListBox;
  bool InnerControlHasOwnScrollBars() const;
  void HookInnerControl();
  void UnhookInnerControl();
  void InnerControlWndProc(TMessage& Message);
  void InnerScrollHandler(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  bool IsInnerControlFocused();
  TcxContainerState CalculateContainerState(const TPoint& P, bool AHotTest);

  TcxContainerState FActiveStyleState{csNormal};
  TcxContainerStyle* FActiveStyle = nullptr;
  TWinControl* FInnerControl = nullptr;
  TcxContainerInnerControlBounds FSavedInnerControlBounds;
  bool FFocusOnClickLocked = false;
  bool FInnerControlBoundsSetting = false;
  Integer FAlignControlsLockCount = 0;
  Integer FPopupMenuLockCount = 0;
  bool FRefreshing = false;
  bool FStyleApplying = false;
  bool FCreating = false;
  bool FIsDestroying = false;
  bool FLosingFocus = false;
  TcxContainerStyles* FStyles = nullptr;
  TcxContainerViewInfo* FViewInfo = nullptr;
  TcxScrollBar* FInnerScrollBars[2] = {nullptr, nullptr};
  TWndMethod FInnerControlWindowProc;
  bool FScrollBarsUpdatePosted = false;
  bool FScrollBarsParametersSetting = false;
};

// The container a control belongs to: the control itself when it is one,
// else the container its inner-control interface names.
TcxContainer* GetcxContainer(TControl* AControl);

// What an inner control hosted by a container offers.
class IcxContainerInnerControl {
 public:
  virtual ~IcxContainerInnerControl() = default;
  virtual TcxContainer* GetControlContainer() = 0;
  virtual TWinControl* GetControl() = 0;
};
ORV_INTERFACE(IcxContainerInnerControl, "{A5D8D6E4-D0A1-43BC-ACC3-1B0EEE6BF74C}")

// The corner between the two library scroll bars that lie over an inner
// control's native ones (the container's, or an inner list's own), in the
// inner control's window coordinates, where it paints its size grip; empty
// unless both bars show.
TRect GetSizeGripRect(IcxContainerInnerControl* AInnerControl);

// The native list box a container hosts: input goes to the container
// first, and typed text selects the first item it begins.
class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  ORV_CLASS(TcxCustomInnerListBox, TListBox)
 public:
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;

  TcxContainer* GetControlContainer() override { return FContainer; }
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetContainer() const { return FContainer; }
  void SetContainer(TcxContainer* Value);
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  TcxCanvas* GetcxCanvas() const { return FcxCanvas; }
  const AnsiString& GetAutoCompleteFilter() const { return FAutoCompleteFilter; }
  // Some corner of the item lies in the client area.
  bool ItemVisible(Integer Index);
  // The library's bars laid over the native ones, on the list's parent.
  TcxScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TcxScrollBar* GetVScrollBar() const { return FVScrollBar; }
  TRect GetSizeGripRect() { return ::GetSizeGripRect(this); }

 protected:
  virtual void DoAutoComplete(char& Key);
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  virtual bool NeedDrawFocusRect() { return !OnDrawItem.Assigned(); }
  // The item a filter finds; -1 for none.
  virtual Integer FindAutoCompleteString(const AnsiString& AFilter);
  virtual void SetExternalScrollBarsParameters();
  void WndProc(TMessage& Message) override;

  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void CNDrawItem(TMessage& Message);
  ORV_MESSAGE(win::CN_DRAWITEM, CNDrawItem)
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMNCPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_NCPAINT, WMNCPaint)

 private:
  void SaveCanvasParametersForFocusRect();
  void RestoreCanvasParametersForFocusRect();
  void HScrollHandler(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  void VScrollHandler(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  void LookAndFeelChangedHandler(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
    LookAndFeelChanged(Sender, AChangedValues);
  }
  TPoint ToContainer(Integer X, Integer Y) const { return TPoint(X + GetLeft(), Y + GetTop()); }

  AnsiString FAutoCompleteFilter;
  TcxCanvas* FcxCanvas = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  Cardinal FLastAutoCompleteTime = 0;
  TColor FSavedBrushColor = clWindow;
  TColor FSavedFontColor = clWindowText;
  TcxScrollBar* FHScrollBar = nullptr;
  TcxScrollBar* FVScrollBar = nullptr;
  bool FRedrawDisabled = false;
  bool FScrollBarsParametersSetting = false;
  TcxContainer* FContainer = nullptr;
};

// The unit's start-up (registers the controller for layouts, installs the
// popup hooks) and shut-down.
void cxContainerInitialize();
void cxContainerFinalize();
