// The editor control: the base of every editor kind. It keeps an edit value
// (a variant) and shows a display value, runs the key pipeline, validates
// what the user typed through its properties, posts the value to its data
// binding or, in place, to the grid, and collects its change events under a
// counted lock. The same class works on a form and in place, where the grid
// activates it over a cell by key or mouse and deactivates it again.
#pragma once

#include <exception>
#include <vector>

#include "library/editors/core/cxEditErrors.h"
#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditViewData.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/foundation/cxContainer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/Variant.h"

class TcxCustomEdit;

// ---------------------------------------------------------------------------
// Unit helpers.

// The editor itself when it stands alone; null in place, where the grid
// raises the events in its own name.
TObject* GetStandaloneEventSender(TcxCustomEdit* AEdit);
// Equal only with the same variant type and exactly the same value.
bool InternalVarEqualsExact(const Variant& V1, const Variant& V2);
// Blank, #0, Tab, line feed, form feed and carriage return.
bool IsSpaceChar(char C);
// Grows each side of Size to ASize's where ASize's is larger.
void CheckSize(TSize& Size, const TSize& ASize);
// Adds ASource to ADest.
void UniteRegions(TcxRegion* ADest, TcxRegion* ASource);
bool IsRegionEmpty(TcxRegion* ARegion);
// The nearest component among APersistent and its persistent owners.
TComponent* GetOwnerComponent(TPersistent* APersistent);

// ---------------------------------------------------------------------------
// The inner native control of an editor, as the editor drives it.
class IcxCustomInnerEdit {
 public:
  virtual ~IcxCustomInnerEdit() = default;
  virtual TWinControl* GetControl() = 0;
  virtual TcxContainer* GetControlContainer() = 0;
  // Straight to the native window procedure, past the control's handlers.
  virtual win::LRESULT CallDefWndProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) = 0;
  virtual Variant GetEditValue() = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  virtual void LockBounds(bool ALock) = 0;
  // Takes the focus without selecting its text on the way.
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& Value) = 0;
  virtual void SetParent(TWinControl* Value) = 0;
  virtual void SetOnChange(TNotifyEvent Value) = 0;
  virtual void SetReadOnly(bool Value) = 0;
};
ORV_INTERFACE(IcxCustomInnerEdit, "{1B4DD2B0-7C5B-4D6C-9A3E-3C0E6F2A8B11}")

// Offered by an inner control that keeps its inner-edit side in a
// companion object.
class IcxInnerEditHelper {
 public:
  virtual ~IcxInnerEditHelper() = default;
  virtual IcxCustomInnerEdit* GetHelper() = 0;
};
ORV_INTERFACE(IcxInnerEditHelper, "{5E0C7A42-2D8E-4B8B-8E55-9F1D0B6C7A20}")

// ---------------------------------------------------------------------------
// Collects an editor's change events while locked and fires each at most
// once when the outermost lock goes.
class TcxEditChangeEventsCatcher : public TObject {
  ORV_CLASS(TcxEditChangeEventsCatcher, TObject)
 public:
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : FEdit(AEdit) {}

  // Unlocking a lock not held does nothing; AInvokeChanged false drops
  // what was collected.
  void Lock(bool ALock, bool AInvokeChanged = true);
  bool IsLocked() const { return FLockCount > 0; }
  Integer GetLockCount() const { return FLockCount; }

  bool GetOnChangeEvent() const { return FOnChangeEvent; }
  void SetOnChangeEvent(bool Value) { FOnChangeEvent = Value; }
  bool GetOnEditValueChangedEvent() const { return FOnEditValueChangedEvent; }
  void SetOnEditValueChangedEvent(bool Value) { FOnEditValueChangedEvent = Value; }

 private:
  TcxCustomEdit* FEdit;
  Integer FLockCount = 0;
  bool FOnChangeEvent = false;
  bool FOnEditValueChangedEvent = false;
};

// Per-cell state the grid keeps and hands to Activate; it forgets the
// editor when the editor goes.
class TcxCustomEditData : public TObject {
  ORV_CLASS(TcxCustomEditData, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomEdit*)>;

  explicit TcxCustomEditData(TcxCustomEdit* AEdit);
  ~TcxCustomEditData() override;

  virtual void Clear();
  TcxCustomEdit* GetEdit() const { return FEdit; }
  bool GetCleared() const { return FCleared; }

 protected:
  bool FCleared = false;

 private:
  void EditFreed(TComponent* Sender);

  TcxCustomEdit* FEdit;
  TcxFreeNotificator* FFreeNotificator = nullptr;
};

using TcxCustomEditDataClass = TClassRef<TcxCustomEditData>;

// What an editor is bound to. The base binds to nothing: the editor's own
// value is all there is. Data-aware descendants read and write a field.
class TcxEditDataBinding : public TPersistent {
  ORV_CLASS(TcxEditDataBinding, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomEdit*)>;

  explicit TcxEditDataBinding(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  ~TcxEditDataBinding() override;

  virtual void DefaultValuesChanged();
  virtual Variant GetDisplayValue();
  virtual bool GetModified();
  virtual Variant GetStoredValue();
  virtual void Reset();
  virtual void SetDisplayValue(const Variant& Value);
  virtual bool SetEditMode() { return true; }
  virtual void SetStoredValue(const Variant&) {}
  virtual bool CanCheckEditorValue();
  virtual bool CanPostEditorValue() { return GetModified(); }
  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual TClass GetDefaultValuesProviderClass() const {
    return TcxCustomEditDefaultValuesProvider::StaticClass();
  }
  virtual void SetModified() {}
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual void UpdateDisplayValue();
  virtual void UpdateNotConnectedDBEditDisplayValue() {}

  TcxCustomEdit* GetEdit() const { return FEdit; }
  // Null unless a descendant made a provider.
  IcxEditDefaultValuesProvider* GetIDefaultValuesProvider() const;
  bool IsDataAvailable() const;

 protected:
  // Made by descendants; owned.
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;

 private:
  TcxCustomEdit* FEdit;
};

using TcxEditDataBindingClass = TClassRef<TcxEditDataBinding>;

using TcxEditEditingEvent = Event<void(TObject* Sender, bool& CanEdit)>;

// The grid's cell an in-place editor works on: the item and the record.
struct TcxInplaceEditParams {
  TObject* Item = nullptr;
  Integer RecordIndex = -1;
};

// ---------------------------------------------------------------------------
class TcxCustomEdit : public TcxContainer,
                      public IcxEditControl,
                      public IcxEditViewControl,
                      public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxCustomEdit, TcxContainer)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TComponent*, bool)>;

  explicit TcxCustomEdit(TComponent* AOwner) : TcxCustomEdit(AOwner, false) {}
  TcxCustomEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  // Public, as the component's own is: a program names its editors.
  void SetName(const AnsiString& Value) override;

  // ---- Activation by the grid ----
  virtual void Activate(TcxCustomEditData*& AEditData);
  virtual void ActivateByKey(char AKey, TcxCustomEditData*& AEditData);
  virtual void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData);
  // False when the value does not validate: the grid keeps the editor open.
  virtual bool Deactivate();

  // ---- Values ----
  virtual Variant GetEditValue();
  virtual void SetEditValue(const Variant& Value);
  virtual Variant GetEditingValue();
  virtual Variant GetDisplayValue();
  virtual void Clear();
  void PostEditValue();
  void Reset();
  bool ValidateEdit(bool ARaiseExceptionOnError);
  void InternalPostEditValue(bool AValidateEdit = false);
  bool CanPostEditValue();
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  virtual void SetInternalEditValue(const Variant& Value);
  virtual void SetInternalDisplayValue(const Variant&) {}
  virtual void InternalSetEditValue(const Variant& Value, bool AValidateEdit);
  virtual void SynchronizeDisplayValue();
  virtual void SynchronizeEditValue() {}
  virtual void ResetEditValue();

  // ---- Modified flags ----
  bool GetModified() const { return FModified; }
  void SetModified(bool Value);
  bool GetModifiedAfterEnter() const { return FModifiedAfterEnter; }
  void SetModifiedAfterEnter(bool Value);
  bool GetEditValidated() const { return FEditValidated; }
  void SetEditValidated(bool Value) { FEditValidated = Value; }
  // A stack: every SaveModified needs its RestoreModified.
  void SaveModified();
  void RestoreModified();

  // ---- Locks ----
  void LockChangeEvents(bool ALock, bool AInvokeChanged = true);
  bool AreChangeEventsLocked() const { return FChangeEventsCatcher->IsLocked(); }
  TcxEditChangeEventsCatcher* GetChangeEventsCatcher() const { return FChangeEventsCatcher; }
  void LockClick(bool ALock);
  bool IsClickLocked() const { return FClickLockCount > 0; }
  void LockEditValueChanging(bool ALock);
  bool IsEditValueChangingLocked() const { return FEditValueChangingLockCount > 0; }
  void DisableValidate() { ++FValidateDisabledCount; }
  void EnableValidate();
  bool IsValidateDisabled() const { return FValidateDisabledCount > 0; }

  // ---- User actions ----
  // Set while the change in progress comes from the user: it must pass
  // DoEditing first.
  bool GetUserAction() const { return FUserAction; }
  void SetUserAction(bool Value) { FUserAction = Value; }
  // True when the value may change now; asks OnEditing.
  bool DoEditing();
  virtual bool CanModify();
  virtual bool RealReadOnly();

  // ---- Events raised ----
  void DoChange();
  void DoEditValueChanged();
  void DoClick();
  void DoAfterKeyDown(Word& Key, TShiftState Shift);
  void DoClosePopup(TcxEditCloseUpReason AReason);
  virtual void DoButtonClick(Integer AButtonVisibleIndex);
  virtual void DoButtonDown(Integer) {}
  virtual void DoButtonUp(Integer) {}
  virtual void DoOnChange();
  virtual void DoOnEditValueChanged();
  // Whether the own properties or the repository item's have a handler.
  bool HasChangeHandler() const;
  bool HasEditValueChangedHandler() const;
  void DoPostEditValue();

  // ---- Properties and repository item ----
  virtual TClassRef<TcxCustomEditProperties> GetPropertiesClass() const;
  TcxCustomEditProperties* GetProperties() const { return FProperties; }
  // Copies Value in; its own settings are already there (a copy onto itself
  // would first forget what was set).
  void SetProperties(TcxCustomEditProperties* Value) {
    if (Value != FProperties) FProperties->Assign(Value);
  }
  // The repository item's properties when an item is set, else the own.
  TcxCustomEditProperties* GetActiveProperties() const;
  TcxCustomEditProperties* InternalGetActiveProperties() const { return GetActiveProperties(); }
  TcxEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  virtual bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem);
  virtual void PropertiesChanged(TObject* Sender);
  // The properties may not be read while the editor goes, or while a kind
  // with an inner edit has none yet.
  bool PropertiesChangeLocked();
  TcxEditDataBinding* GetDataBinding() const { return FDataBinding; }
  TcxCustomEditStyle* GetStyle() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::GetStyle()); }
  TcxCustomEditStyle* GetActiveStyle() { return static_cast<TcxCustomEditStyle*>(TcxContainer::GetActiveStyle()); }

  // ---- State the grid asks about ----
  bool IsInplace() override { return FIsInplace; }
  virtual bool IsDBEdit() { return false; }
  // True between BeforePosting and AfterPosting.
  bool IsPosting() const { return FIsPosting; }
  // True while DoEditing asks the host whether editing may begin.
  bool IsDoingEditing() const { return FDoingEditing; }
  bool IsFocused() { return IsContainerFocused(); }
  bool IsEditClass() override { return false; }
  virtual bool IsChildWindow(win::HWND AWnd);
  IcxCustomInnerEdit* GetInnerEdit() const { return FInnerEdit; }
  TcxCustomEditData* GetEditData() const { return FEditData; }
  TcxCustomEditViewInfo* GetViewInfo() const;

  // ---- What the view data and view info ask of the editor ----
  TcxContainer* GetEditControl() override { return this; }
  // The focus state last seen by FocusChanged.
  bool InternalFocused() override { return FIsFocused; }
  bool HasBackground() override { return TcxContainer::HasBackground(); }
  bool IsDBEditPaintCopyDrawing() override;
  // The button pressed while the editor holds the mouse; -1 for none.
  Integer GetCaptureButtonVisibleIndex() override { return FCaptureButtonVisibleIndex; }
  bool IsButtonDC(win::HDC) override { return false; }
  bool IsTransparent() override;
  bool IsNativeBackground() override { return false; }
  TcxTimer* GetDblClickTimer() const { return FDblClickTimer; }

  // ---- Text operations; the base has no text ----
  virtual void SelectAll() {}
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  virtual Integer GetTextBaseLine() { return 0; }
  virtual bool HasTextBaseLine() { return false; }

  // ---- Input; public so that the inner control hands its keys, mouse,
  // wheel and focus changes on ----
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override { inherited::MouseMove(Shift, X, Y); }
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    inherited::MouseUp(Button, Shift, X, Y);
  }
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void FocusChanged() override;
  void SetParent(TWinControl* AParent) override;
  // A key the editor handles itself before anyone else sees it: it goes
  // straight to DoEditKeyDown and never raises OnKeyDown.
  virtual bool IsEditorKey(Word Key, TShiftState Shift);
  bool IsSpecialKey(Word Key, TShiftState Shift);

  // ---- Buttons ----
  Integer ButtonVisibleIndexAt(const TPoint& P);
  Integer GetDefaultButtonVisibleIndex();
  virtual void DefaultButtonClick();

  // ---- Layout ----
  // Reads the handle first, so that an auto-sized editor has its height.
  Integer GetHeight();
  void SetHeight(Integer Value) { TcxContainer::SetHeight(Value); }
  Integer GetWidth() const { return TcxContainer::GetWidth(); }
  void SetWidth(Integer Value) { TcxContainer::SetWidth(Value); }
  // The control's own AutoSize flag, set through the editor's rules.
  void SetAutoSize(bool Value) override { SetEditAutoSize(Value); }
  virtual void SetEditAutoSize(bool Value);
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void SetSize() override;
  // From the view info's bounds to its client area: border and buttons.
  TRect GetBorderExtent() override;
  // Around the border only: the buttons lie inside the window's region.
  TRect GetShadowBounds() override;
  bool TabsNeeded() override { return true; }
  bool IsTransparentBackground() override { return IsNativeBackground() || IsTransparent(); }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);

  // ---- Repository listener ----
  void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override;
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) override;

  // ---- What the properties ask of the editor ----
  bool HasValidateHandler() const override;
  void DoOnValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error) override;
  AnsiString GetCurrentDisplayText() const override;

  // A place for the properties' events in designers; never fired.
  TNotifyEvent PropertiesEvents;
  TcxEditEditingEvent OnEditing;
  TKeyEvent OnAfterKeyDown;
  // Set by the grid before it activates the editor on a cell.
  TcxInplaceEditParams InplaceParams;
  TNotifyEvent OnPostEditValue;

 protected:
  // ---- Hooks of the kinds, in the order they were introduced ----
  virtual void AdjustInnerEditPosition();
  virtual void AfterPosting();
  virtual void BeforePosting();
  virtual bool CanAutoSize();
  virtual bool CanAutoWidth();
  virtual bool CanKeyDownModifyEdit(Word Key, TShiftState Shift);
  virtual bool CanKeyPressModifyEdit(char Key);
  virtual void ChangeHandler(TObject* Sender);
  virtual IcxCustomInnerEdit* CreateInnerEdit();
  virtual TcxCustomEditViewData* CreateViewData();
  virtual void DoEditKeyDown(Word& Key, TShiftState Shift);
  virtual void DoEditKeyPress(char& Key);
  virtual void DoEditKeyUp(Word&, TShiftState) {}
  virtual void DoEditProcessTab(TShiftState) {}
  virtual void DoFocusChanged();
  virtual void EditingChanged() {}
  virtual void FillSizeProperties(TcxEditSizeProperties& AEditSizeProperties);
  virtual Variant GetClearValue();
  virtual TcxEditDataBindingClass GetDataBindingClass() const;
  virtual TcxCustomEditDataClass GetEditDataClass() const { return nullptr; }
  virtual TClassRef<TWinControl> GetInnerEditClass() const { return nullptr; }
  // Focuses and selects the editor, beeps under BeepOnError and raises
  // EcxEditValidationError when the text is not empty.
  virtual void HandleValidationError(const AnsiString& AErrorText);
  virtual void Initialize();
  virtual void InitializeEditData() {}
  virtual void InitializeInnerEdit() {}
  virtual void InitializeViewData(TcxCustomEditViewData* AViewData);
  virtual bool InternalDoEditing() { return true; }
  virtual Variant InternalGetEditingValue() { return GetEditValue(); }
  virtual void InternalSetDisplayValue(const Variant&) {}
  virtual void InternalValidateDisplayValue(const Variant& ADisplayValue);
  virtual bool IsActiveControl();
  virtual bool IsClickEnabledDuringLoading() { return false; }
  virtual bool IsEditValueStored() { return !VarIsNull(FEditValue); }
  virtual bool IsValidChar(char AChar);
  virtual void PaintCopyDraw();
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused);
  virtual void ProcessViewInfoChanges(TcxCustomEditViewInfo* APrevViewInfo, bool AIsMouseDownUpEvent);
  virtual void RepositoryItemAssigned() {}
  virtual void RepositoryItemAssigning() {}
  virtual void RepositoryItemListenerItemRemoved(TcxEditRepositoryItem* Sender);
  virtual void RepositoryItemListenerPropertiesChanged(TcxEditRepositoryItem* Sender);
  virtual bool SendActivationKey(char) { return true; }
  virtual void SetDisplayText(const AnsiString&) {}
  virtual bool UpdateContentOnFocusChanging() { return true; }
  virtual void UpdateDrawValue() {}
  virtual bool ValidateKeyDown(Word& Key, TShiftState Shift);
  virtual bool ValidateKeyPress(char& Key);
  virtual bool WantNavigationKeys() { return false; }
  virtual void LockedInnerEditWindowProc(TMessage& Message);
  virtual void LockInnerEditRepainting();
  virtual void UnlockInnerEditRepainting();

  // ---- The wheel ----
  // Whether the wheel belongs to the editor: always alone; in place only
  // with Ctrl, unless the properties take it without.
  virtual bool HandleMouseWheel(TShiftState Shift);

  // ---- Overrides of the container ----
  void CalculateViewInfo(const TPoint& P, bool AHotTest) override;
  virtual void CalculateViewInfo(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent);
  void CalculateViewInfo(bool AIsMouseEvent);
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  bool IsNativeStyle() override;
  void Click() override;
  void DblClick() override;
  void DoEnter() override;
  void DoExit() override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void CreateHandle() override;
  void DefineProperties(TFiler* Filer) override;
  // The inner edit is part of the editor, never a child of its own in a
  // stored layout.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  bool InternalCanResize(Integer& NewWidth, Integer& NewHeight);

  void DoHideEdit(bool AExit);
  void DoClearEditData(TcxCustomEditData* AEditData);
  void CheckButtonShortCuts(char AKey, bool& AHandled);
  void InitContentParams();
  // Tells the view info which editor it paints.
  void InitializeViewInfo();
  // The collection index of the button at a visible index; -1 for none.
  Integer ButtonIndexOfVisible(Integer AButtonVisibleIndex);

  void WMCopy(TMessage& Message);
  ORV_MESSAGE(win::WM_COPY, WMCopy)
  void WMCut(TMessage& Message);
  ORV_MESSAGE(win::WM_CUT, WMCut)
  void WMPaste(TMessage& Message);
  ORV_MESSAGE(win::WM_PASTE, WMPaste)
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)
  void WMNCCalcSize(TMessage& Message);
  ORV_MESSAGE(win::WM_NCCALCSIZE, WMNCCalcSize)

  // State the kinds read.
  Variant FEditValue;
  Variant FPrevEditValue;
  IcxCustomInnerEdit* FInnerEdit = nullptr;
  TWinControl* FInnerEditControl = nullptr;
  bool FUserAction = false;

 private:
  friend class TcxEditChangeEventsCatcher;
  friend class TcxCustomEditData;
  friend win::LRESULT cxLockedInnerEditProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM);

  void DblClickTimerHandler(TObject* Sender);
  void ReadHeight(TReader* Reader);
  void WriteHeight(TWriter* Writer);
  void ReadWidth(TReader* Reader);
  void WriteWidth(TWriter* Writer);
  void PropertiesChangedHandler(TObject* Sender) { PropertiesChanged(Sender); }

  struct TModifiedState {
    bool Modified;
    bool ModifiedAfterEnter;
  };

  bool FIsInplace;
  bool FCreating = false;
  bool FDoingEditing = false;
  // DoEditing agreed to the user's change in progress.
  bool FEditingAgreed = false;
  bool FEditValidated = false;
  bool FEscapeHandled = false;
  bool FIsFirstParenting = true;
  bool FIsFocused = false;
  bool FIsPosting = false;
  bool FIsSettingFocus = false;
  bool FModified = false;
  bool FModifiedAfterEnter = false;
  bool FShadowRegionSetting = false;
  bool FTransparent = false;
  Integer FCaptureButtonVisibleIndex = -1;
  Integer FClickLockCount = 0;
  Integer FEditValueChangingLockCount = 0;
  Integer FValidateDisabledCount = 0;
  TcxEditChangeEventsCatcher* FChangeEventsCatcher = nullptr;
  TcxTimer* FDblClickTimer = nullptr;
  TcxCustomEditData* FEditData = nullptr;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxEditDataBinding* FDataBinding = nullptr;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  std::vector<TModifiedState> FSavedModified;
  // The inner edit's window and its own procedure while ActivateByKey
  // holds it.
  win::HWND FLockedInnerEditWnd = nullptr;
  win::WNDPROC FSavedInnerEditWndProc = nullptr;
  TcxEditContentParams FContentParams;
  bool FContentParamsInitialized = false;
  bool FSizeSetting = false;
};

using TcxCustomEditClass = TClassRef<TcxCustomEdit>;

// Holds an editor's change events for a scope. Leaving normally fires what
// was collected; leaving by an exception drops it, so that no handler runs
// while the stack unwinds and the lock is never left behind.
inline auto ChangeEventsLocked(TcxCustomEdit* AEdit) {
  AEdit->LockChangeEvents(true);
  const int uncaught = std::uncaught_exceptions();
  return orv::ScopeExit([AEdit, uncaught] { AEdit->LockChangeEvents(false, std::uncaught_exceptions() <= uncaught); });
}
