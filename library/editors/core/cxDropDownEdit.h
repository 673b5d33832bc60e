// The drop-down editor: the mask editor with a popup window under it. The
// popup opens by the drop-down button, F4, Alt+Down, typing, a click in the
// text or on activation, always through a show request posted to the popup
// so that the editor finishes the input in hand first; it closes with a
// reason that decides whether the popup's choice becomes the editor's value
// and whether that value is posted.
//
// The combo box (a list of items) and the popup editor (any control of the
// application) are the drop-down editors of this unit; they live in their
// own files, and the unit's start-up registers both.
#pragma once

#include "library/editors/core/cxEditPopupWindow.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Forms.h"

class TcxCustomDropDownEdit;

using TcxEditCloseQueryEvent = Event<void(TObject* Sender, bool& CanClose)>;

// ---------------------------------------------------------------------------
class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomDropDownEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  // Keeps the glyph button's kind in step with its glyph first.
  void Changed() override;

  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  bool IsLookupDataVisual() const override { return true; }

  // Introduced, in this order.
  virtual Integer DropDownButtonVisibleIndex() const { return 0; }
  virtual bool DropDownOnClick() const { return false; }
  virtual bool GetAlwaysPostEditValue() const { return false; }
  virtual TClassRef<TcxCustomEditPopupWindow> GetPopupWindowClass() const;
  virtual bool PopupWindowAcceptsAnySize() const { return true; }
  virtual bool PopupWindowCapturesFocus() const { return false; }

  // The glyph of button GlyphButtonIndex; null without such a button.
  TBitmap* GetButtonGlyph() const;
  // A usable bitmap makes the button a glyph button; none turns a glyph
  // button back into a drop-down arrow.
  void SetButtonGlyph(TBitmap* Value);
  Integer GetGlyphButtonIndex() const { return FGlyphButtonIndex; }
  // Moves the glyph to the button at the new index.
  void SetGlyphButtonIndex(Integer Value);

  bool GetImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
  bool GetImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
  bool GetKeepArrowButtonPressedWhenDroppedDown() const { return FKeepArrowButtonPressedWhenDroppedDown; }
  void SetKeepArrowButtonPressedWhenDroppedDown(bool Value);
  TAlignment GetPopupAlignment() const;
  void SetPopupAlignment(TAlignment Value);
  bool GetPopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool Value) { FPopupAutoSize = Value; }
  bool GetPopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(bool Value);
  TcxPopupDirection GetPopupDirection() const { return FPopupDirection; }
  void SetPopupDirection(TcxPopupDirection Value) { FPopupDirection = Value; }
  TcxPopupAlignHorz GetPopupHorzAlignment() const { return FPopupHorzAlignment; }
  void SetPopupHorzAlignment(TcxPopupAlignHorz Value) { FPopupHorzAlignment = Value; }
  TcxPopupAlignVert GetPopupVertAlignment() const { return FPopupVertAlignment; }
  void SetPopupVertAlignment(TcxPopupAlignVert Value) { FPopupVertAlignment = Value; }
  // The four sizes do not notify: they change while a popup is open.
  Integer GetPopupHeight() const { return FPopupHeight; }
  // Never below the minimum height.
  void SetPopupHeight(Integer Value);
  Integer GetPopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(Integer Value);
  Integer GetPopupWidth() const { return FPopupWidth; }
  // 0 (as wide as the editor) for a negative width; a positive width
  // below the minimum is the minimum.
  void SetPopupWidth(Integer Value);
  Integer GetPopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(Integer Value);
  bool GetPopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(bool Value);
  bool GetPopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(bool Value);
  bool GetPostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(bool Value) { FPostPopupValueOnTab = Value; }

  TcxEditCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnFinalizePopup;
  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;

 protected:
  // The popup settings and events as one change; the glyph through its
  // setter, the finalize event stays the editor's own.
  void DoAssign(TPersistent* Source) override;

 private:
  void CheckGlyphButtonKind();

  Integer FGlyphButtonIndex = 0;
  bool FGlyphChecking = false;
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  bool FKeepArrowButtonPressedWhenDroppedDown = false;
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  TcxPopupDirection FPopupDirection = pdVertical;
  TcxPopupAlignHorz FPopupHorzAlignment = pahLeft;
  TcxPopupAlignVert FPopupVertAlignment = pavBottom;
  Integer FPopupHeight = 0;
  Integer FPopupMinHeight = 0;
  Integer FPopupWidth = 0;
  Integer FPopupMinWidth = 0;
  bool FPopupSizeable = false;
  bool FPopupSysPanelStyle = false;
  bool FPostPopupValueOnTab = false;
};

// The popup size of one grid cell, kept between activations.
class TcxCustomDropDownEditData : public TcxCustomEditData {
  ORV_CLASS(TcxCustomDropDownEditData, TcxCustomEditData)
 public:
  explicit TcxCustomDropDownEditData(TcxCustomEdit* AEdit) : TcxCustomEditData(AEdit) {}
  void Clear() override;
  // The editor took the properties' size into fresh or cleared data.
  void MarkPrepared() {
    Prepared = true;
    FCleared = false;
  }

  bool Prepared = false;
  // The user sized the popup of this cell.
  bool Initialized = false;
  Integer Width = 0;
  Integer Height = 0;
};

class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)
 public:
  TcxCustomDropDownEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {}

  // Draws a focused fixed-list editor selected, unless the typed head and
  // its proposed tail are shown as a selection of their own.
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;

  TcxCustomDropDownEditProperties* GetProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomTextEditViewData::GetProperties());
  }

  bool HasPopupWindow = false;
  bool IsHotAndPopup = false;

 protected:
  bool CanPressButton(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) override;
  bool IsButtonPressed(TcxCustomEditViewInfo* AViewInfo, Integer AButtonVisibleIndex) override;
};

// The look of the controls in the popup: the editor's own in place,
// otherwise the one its first button is drawn in.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
  ORV_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)
 public:
  explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit);
  void EditStyleChanged();

 protected:
  TcxLookAndFeelKind InternalGetKind() const override;
  bool InternalGetNativeStyle() const override;

 private:
  TcxCustomDropDownEdit* FEdit;
};

// The inner edit of a drop-down editor: no hint while the popup is open.
class TcxCustomDropDownInnerEdit : public TcxCustomInnerTextEdit {
  ORV_CLASS(TcxCustomDropDownInnerEdit, TcxCustomInnerTextEdit)
 public:
  explicit TcxCustomDropDownInnerEdit(TComponent* AOwner) : TcxCustomInnerTextEdit(AOwner) {}

 protected:
  void CMHintShow(TMessage& Message);
  ORV_MESSAGE(win::CM_HINTSHOW, CMHintShow)
};

// ---------------------------------------------------------------------------
class TcxCustomDropDownEdit : public TcxCustomMaskEdit, public IcxEditPopupWindowOwner {
  ORV_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomDropDownEdit(TComponent* AOwner) : TcxCustomDropDownEdit(AOwner, false) {}
  TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace) {}
  ~TcxCustomDropDownEdit() override;
  void BeforeDestruction() override;

  TcxCustomDropDownEditProperties* GetProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomMaskEdit::GetProperties());
  }
  TcxCustomDropDownEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomMaskEdit::GetActiveProperties());
  }

  TcxCustomEditPopupWindow* GetPopupWindow() const { return FPopupWindow; }
  TcxEditPopupControlLookAndFeel* GetPopupLookAndFeel() const { return FPopupLookAndFeel; }
  TcxEditCloseUpReason GetCloseUpReason() const { return FCloseUpReason; }
  bool GetDroppedDown() { return HasPopupWindow(); }
  // Opening goes through a posted show request; a request already queued
  // is enough. Closing is CloseUp(crUnknown).
  void SetDroppedDown(bool Value);
  bool HasPopupWindow() override;
  bool IsHotAndPopup() const { return FIsHotAndPopup; }
  // The size the user gave the popup is the one to open with.
  bool IsPopupSizeRemembered() const { return FPopupSizeRemembered; }
  // The popup was opened by typing a character.
  bool IsPopupOpenedByTyping() const { return FPopupOpenedByTyping; }

  // ---- Activation ----
  void Activate(TcxCustomEditData*& AEditData) override;
  void ActivateByKey(char AKey, TcxCustomEditData*& AEditData) override;
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) override;
  bool Deactivate() override;

  // ---- IcxEditPopupWindowOwner ----
  TRect GetPopupWindowOwnerControlBounds() override;
  TSize GetPopupWindowClientPreferredSize() override = 0;
  void PositionPopupWindowChilds(const TRect& AClientRect) override;
  void CloseUp(TcxEditCloseUpReason AReason) override;
  void DoFinalizePopup() override;
  bool PopupWindowAcceptsAnySize() override { return GetActiveProperties()->PopupWindowAcceptsAnySize(); }
  void PopupWindowResizedByUser() override { FPopupSizeChanged = true; }
  void PopupWindowKeyDown(Word& Key, TShiftState Shift) override;
  bool CanResizePopupVisualArea(TSize& AClientSize, Integer AMaxHeight) override;
  TcxCustomLookAndFeelPainterClass GetPopupWindowPainter() override;

  // ---- Input ----
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoButtonDown(Integer AButtonVisibleIndex) override;
  void FocusChanged() override;
  // Also while its popup is open.
  bool Focused() override;
  void PasteFromClipboard() override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomMaskEdit::PropertiesChanged;
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  // The popup follows changed settings while it is open.
  void UpdatePopupWindow();

 protected:
  // ---- Introduced, in this order ----
  virtual bool CanDropDown() { return false; }
  virtual void CreatePopupWindow();
  virtual void DoCloseUp();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DropDown();
  virtual void EditButtonClick() {}
  virtual TWinControl* GetPopupFocusedControl();
  virtual void InitializeLookupData();
  virtual void InitializePopupWindow();
  virtual void PopupControlsLookAndFeelChanged() {}
  virtual void SetupPopupWindow();
  virtual bool CanHide() { return true; }
  // The popup's events.
  virtual void PopupWindowClosed(TObject* Sender);
  virtual void PopupWindowClosing(TObject*) {}
  virtual void PopupWindowShowing(TObject*) {}
  virtual void PopupWindowShowed(TObject* Sender);
  virtual void PopupWindowCloseQuery(TObject* Sender, bool& CanClose);
  virtual void DoCloseQuery(bool& CanClose);

  // ---- Overrides ----
  void ContainerStyleChanged(TObject* Sender) override;
  TcxCustomEditViewData* CreateViewData() override;
  void DestroyWnd() override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  bool IsEditorKey(Word Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditProcessTab(TShiftState Shift) override;
  void DoExit() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  TcxCustomEditDataClass GetEditDataClass() const override;
  TClassRef<TWinControl> GetInnerEditClass() const override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  bool GetScrollLookupDataList(TcxEditScrollCause AScrollCause) override;
  void Initialize() override;
  void InitializeEditData() override;
  bool SendActivationKey(char AKey) override;

  void CMHintShow(TMessage& Message);
  ORV_MESSAGE(win::CM_HINTSHOW, CMHintShow)
  void DXMDropDownByPaste(TMessage& Message);
  ORV_MESSAGE(DXM_DROPDOWNBYPASTE, DXMDropDownByPaste)
  // The cell's edit data when the editor is in place.
  TcxCustomDropDownEditData* GetDropDownEditData() const;

  // The show request is queued for the popup.
  bool IsShowRequestQueued();
  void RemoveShowRequests();
  void SetIsHotAndPopup();
  void CMBiDiModeChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_BIDIMODECHANGED, CMBiDiModeChanged)

  bool FIsActivatingByMouse = false;
  bool FIsPopupInitialized = false;
  bool FPopupSizeRemembered = false;
  bool FPopupSizeChanged = false;
  TcxEditCloseUpReason FCloseUpReason = crUnknown;

 private:
  bool IsInplaceConst() const;

  TcxCustomEditPopupWindow* FPopupWindow = nullptr;
  TcxEditPopupControlLookAndFeel* FPopupLookAndFeel = nullptr;
  bool FIsHotAndPopup = false;
  bool FPopupOpenedByTyping = false;
};

// ---------------------------------------------------------------------------
// The condition editor of a filter row: a drop-down editor always has its
// button.
class TcxFilterDropDownEditHelper : public TcxFilterMaskEditHelper {
  ORV_CLASS(TcxFilterDropDownEditHelper, TcxFilterMaskEditHelper)
 public:
  bool EditPropertiesHasButtons() const override { return true; }
};

// Registers the combo box and the popup editor kinds and the combo box's
// filter helper; counted like the other units.
void cxDropDownEditInitialize();
void cxDropDownEditFinalize();
