// The editor control: values, modified flags, change events, the key
// pipeline, validation and posting, focus, the repository item and the
// data binding. Activation, the mouse, layout and painting are in
// cxCustomEditActivation.cpp.
#include "library/editors/core/cxCustomEdit.h"

#include <exception>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Focus.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Window.h"
#include "platform/win/WindowStyles.h"

using namespace win;

ORV_REGISTER(TcxEditChangeEventsCatcher)
ORV_REGISTER(TcxCustomEditData)
ORV_REGISTER(TcxEditDataBinding)
// Height and Width go through DefineProperties, compared with the ancestor.
// An editor starts sized to its content and stopping at Tab, so those are
// its defaults: a layout must record an editor that turns them off.
ORV_REGISTER(TcxCustomEdit, ORV_PROP(AutoSize).Default(true), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Height).Stored(false), ORV_PROP(Width).Stored(false),
             ORV_EVENT(PropertiesEvents), ORV_PROP(RepositoryItem), ORV_EVENT(OnFocusChanged))

namespace {

bool IsNavigationKey(Word Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

}  // namespace

// --- unit helpers -------------------------------------------------------------

TObject* GetStandaloneEventSender(TcxCustomEdit* AEdit) {
  return AEdit && !AEdit->IsInplace() ? AEdit : nullptr;
}

bool InternalVarEqualsExact(const Variant& V1, const Variant& V2) {
  return VarType(V1) == VarType(V2) && VarEqualsExact(V1, V2);
}

bool IsSpaceChar(char C) {
  switch (C) {
    case ' ':
    case '\0':
    case '\t':
    case '\n':
    case '\f':
    case '\r': return true;
    default: return false;
  }
}

void CheckSize(TSize& Size, const TSize& ASize) {
  if (ASize.cx > Size.cx) Size.cx = ASize.cx;
  if (ASize.cy > Size.cy) Size.cy = ASize.cy;
}

void UniteRegions(TcxRegion* ADest, TcxRegion* ASource) { ADest->Combine(ASource, roAdd, false); }

bool IsRegionEmpty(TcxRegion* ARegion) { return ARegion->IsEmpty(); }

TComponent* GetOwnerComponent(TPersistent* APersistent) {
  for (TPersistent* p = APersistent; p; p = GetPersistentOwner(p))
    if (auto* component = dynamic_cast<TComponent*>(p)) return component;
  return nullptr;
}

// The base kind's editor control is the base editor.
TClass TcxCustomEditProperties::GetContainerClass() const { return TcxCustomEdit::StaticClass(); }

// --- change-events catcher ------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool AInvokeChanged) {
  if (ALock) {
    if (FLockCount == 0) {
      FOnChangeEvent = false;
      FOnEditValueChangedEvent = false;
    }
    ++FLockCount;
    return;
  }
  if (FLockCount < 1) return;
  if (--FLockCount > 0 || !AInvokeChanged) return;
  if (FEdit->GetIsLoading() || FEdit->GetContainerIsDestroying()) return;
  // Each event at most once; a flag is spent before its handler runs, so a
  // handler that changes the value again starts afresh.
  if (std::exchange(FOnChangeEvent, false) && FEdit->HasChangeHandler()) FEdit->DoOnChange();
  if (std::exchange(FOnEditValueChangedEvent, false) && FEdit->HasEditValueChangedHandler())
    FEdit->DoOnEditValueChanged();
}

// --- edit data --------------------------------------------------------------------

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* AEdit) : FEdit(AEdit) {
  if (!FEdit) return;
  FFreeNotificator = New<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = Event<void(TComponent*)>::Bind<&TcxCustomEditData::EditFreed>(this);
  FFreeNotificator->AddSender(FEdit);
}

TcxCustomEditData::~TcxCustomEditData() {
  if (FFreeNotificator) FFreeNotificator->Free();
}

void TcxCustomEditData::Clear() {
  FCleared = true;
  if (FEdit) FEdit->DoClearEditData(this);
}

void TcxCustomEditData::EditFreed(TComponent* Sender) {
  if (Sender == FEdit) FEdit = nullptr;
}

// --- data binding -----------------------------------------------------------------

TcxEditDataBinding::~TcxEditDataBinding() {
  if (FDefaultValuesProvider) FDefaultValuesProvider->Free();
}

void TcxEditDataBinding::DefaultValuesChanged() {
  if (FEdit->GetRepositoryItem()) {
    TcxCustomEditProperties* properties = FEdit->GetActiveProperties();
    {
      properties->BeginUpdate();
      orv::ScopeExit end([properties] { properties->EndUpdate(false); });
      properties->DefaultValuesChanged();
    }
    FEdit->PropertiesChanged(properties);
  } else {
    FEdit->GetProperties()->DefaultValuesChanged();
  }
}

Variant TcxEditDataBinding::GetDisplayValue() { return FEdit->GetDisplayValue(); }

bool TcxEditDataBinding::GetModified() { return FEdit->GetModifiedAfterEnter(); }

Variant TcxEditDataBinding::GetStoredValue() { return FEdit->GetEditValue(); }

void TcxEditDataBinding::Reset() { FEdit->ResetEditValue(); }

void TcxEditDataBinding::SetDisplayValue(const Variant& Value) { FEdit->SetInternalDisplayValue(Value); }

bool TcxEditDataBinding::CanCheckEditorValue() { return FEdit->GetIsDesigning() || !FEdit->GetModifiedAfterEnter(); }

void TcxEditDataBinding::UpdateDisplayValue() { FEdit->SynchronizeDisplayValue(); }

IcxEditDefaultValuesProvider* TcxEditDataBinding::GetIDefaultValuesProvider() const {
  return FDefaultValuesProvider ? dynamic_cast<IcxEditDefaultValuesProvider*>(FDefaultValuesProvider) : nullptr;
}

bool TcxEditDataBinding::IsDataAvailable() const {
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  return !provider || provider->IsDataAvailable();
}

// --- construction -------------------------------------------------------------------

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace) : TcxContainer(AOwner), FIsInplace(AIsInplace) {}

void TcxCustomEdit::AfterConstruction() {
  FCreating = true;
  // The container makes its view info and styles from classes the
  // properties name, so the properties come first.
  FProperties = GetPropertiesClass().Construct<TPersistent*>(this);
  inherited::AfterConstruction();
  Initialize();
  FCreating = false;
  if (HandleAllocated()) ShortRefreshContainer(false);
}

void TcxCustomEdit::Initialize() {
  FChangeEventsCatcher = New<TcxEditChangeEventsCatcher>(this);
  if (!FProperties) FProperties = GetPropertiesClass().Construct<TPersistent*>(this);
  InitContentParams();
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csSetCaption);
  SetControlStyle(style);
  SetTabStop(true);
  FInnerEdit = CreateInnerEdit();
  if (FInnerEdit) {
    FInnerEditControl = FInnerEdit->GetControl();
    FInnerEdit->SetParent(this);
    InitializeInnerEdit();
    FInnerEdit->SetOnChange(TNotifyEvent::Bind<&TcxCustomEdit::ChangeHandler>(this));
    SetInnerControl(FInnerEdit->GetControl());
  }
  style = GetControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  FDataBinding = GetDataBindingClass().Construct<TcxCustomEdit*>(this);
  FAutoSize = !FIsInplace;
  FEditValue = Null();
  FValidateDisabledCount = 0;
  FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
  if (FIsInplace) {
    TcxKeys keys = GetKeys();
    keys.Include(kArrows);
    keys.Include(kAll);
    if (!GetInnerEditClass()) keys.Include(kTab);
    SetKeys(keys);
  }
  FDblClickTimer = New<TcxTimer>(nullptr);
  FDblClickTimer->SetEnabled(false);
  FDblClickTimer->SetInterval(GetDoubleClickTime());
  FDblClickTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomEdit::DblClickTimerHandler>(this));
  if (!FIsInplace) FProperties->SetIDefaultValuesProvider(FDataBinding->GetIDefaultValuesProvider());
  InitializeViewInfo();
  FIsFirstParenting = true;
}

void TcxCustomEdit::BeforeDestruction() {
  if (FDblClickTimer) FDblClickTimer->SetEnabled(false);
  UnlockInnerEditRepainting();
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem = nullptr;
  }
  // The inner edit goes with the other children; Notification forgets it.
  inherited::BeforeDestruction();
}

TcxCustomEdit::~TcxCustomEdit() {
  FreeAndNil(FDblClickTimer);
  if (FInnerEdit) {
    FInnerEdit = nullptr;
    FInnerEditControl->Free();
  }
  FreeAndNil(FChangeEventsCatcher);
  if (FProperties) {
    FProperties->OnPropertiesChanged = {};
    if (!FIsInplace) FProperties->SetIDefaultValuesProvider(nullptr);
  }
  FreeAndNil(FDataBinding);
  FreeAndNil(FProperties);
}

TClassRef<TcxCustomEditProperties> TcxCustomEdit::GetPropertiesClass() const {
  return TcxCustomEditProperties::StaticClass();
}

TcxEditDataBindingClass TcxCustomEdit::GetDataBindingClass() const { return TcxEditDataBinding::StaticClass(); }

IcxCustomInnerEdit* TcxCustomEdit::CreateInnerEdit() {
  TClassRef<TWinControl> cls = GetInnerEditClass();
  if (!cls) return nullptr;
  auto* control = cls.Construct<TComponent*>(this);
  if (auto* helper = dynamic_cast<IcxInnerEditHelper*>(control)) return helper->GetHelper();
  if (auto* inner = dynamic_cast<IcxCustomInnerEdit*>(control)) return inner;
  control->Free();
  return nullptr;
}

// --- values ---------------------------------------------------------------------------

Variant TcxCustomEdit::GetEditValue() { return FEditValue; }

Variant TcxCustomEdit::GetDisplayValue() { return Variant(AnsiString()); }

Variant TcxCustomEdit::GetClearValue() { return Null(); }

void TcxCustomEdit::SetEditValue(const Variant& Value) {
  if (IsEditValueChangingLocked()) return;
  LockClick(true);
  orv::ScopeExit unlock([this] { LockClick(false); });
  if (FUserAction && !DoEditing()) return;
  // The user's change was agreed to just now; it is not asked twice.
  auto agreed = orv::TempValue(FEditingAgreed, FUserAction);
  InternalSetEditValue(Value, true);
  // A value given from outside is the one Esc goes back to, also while the
  // editor keeps the focus: a grid loads the next record's value into an
  // editor that stays open, and Esc must not bring the last record's back.
  if (!FUserAction && GetActiveProperties()->IsResetEditClass()) FPrevEditValue = GetEditValue();
}

void TcxCustomEdit::SetInternalEditValue(const Variant& Value) {
  if (IsEditValueChangingLocked()) return;
  if (FUserAction && !DoEditing()) return;
  auto agreed = orv::TempValue(FEditingAgreed, FUserAction);
  InternalSetEditValue(Value, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& Value, bool) {
  if (FUserAction && !FEditingAgreed && !DoEditing()) return;
  // Kinds that cannot compare values find their changes themselves.
  TcxCustomEditProperties* properties = GetActiveProperties();
  const bool changed = properties->CanCompareEditValue() && !InternalVarEqualsExact(Value, FEditValue);
  FEditValue = Value;
  SynchronizeDisplayValue();
  if (FUserAction)
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (!changed) return;
  DoEditValueChanged();
  if (!GetActiveProperties()->HasDisplayValue()) DoChange();
}

void TcxCustomEdit::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) {
  GetActiveProperties()->PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
}

void TcxCustomEdit::PrepareEditValue(const Variant&, Variant&, bool) {}

void TcxCustomEdit::SynchronizeDisplayValue() {
  Variant display;
  PrepareDisplayValue(GetEditValue(), display, InternalFocused());
  SetInternalDisplayValue(display);
}

Variant TcxCustomEdit::GetEditingValue() {
  if (IsFocused() && !FEditValidated && FModifiedAfterEnter) return InternalGetEditingValue();
  return GetEditValue();
}

void TcxCustomEdit::Clear() { SetEditValue(GetClearValue()); }

void TcxCustomEdit::Reset() { FDataBinding->Reset(); }

void TcxCustomEdit::ResetEditValue() {
  if (!FModifiedAfterEnter || !GetActiveProperties()->IsResetEditClass()) return;
  auto locked = ChangeEventsLocked(this);
  SetModifiedAfterEnter(false);
  SetInternalEditValue(IsDBEdit() ? FDataBinding->GetStoredValue() : FPrevEditValue);
  SetModified(true);
  SelectAll();
  if (GetActiveProperties()->GetImmediatePost() && CanPostEditValue()) InternalPostEditValue(false);
}

// --- modified flags -------------------------------------------------------------------

void TcxCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (!Value) FModifiedAfterEnter = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool Value) {
  FModifiedAfterEnter = Value;
  if (Value) {
    FEditValidated = false;
    FModified = true;
  }
}

void TcxCustomEdit::SaveModified() { FSavedModified.push_back({FModified, FModifiedAfterEnter}); }

void TcxCustomEdit::RestoreModified() {
  if (FSavedModified.empty()) return;
  const TModifiedState state = FSavedModified.back();
  FSavedModified.pop_back();
  FModified = state.Modified;
  FModifiedAfterEnter = state.ModifiedAfterEnter;
}

// --- locks ------------------------------------------------------------------------------

void TcxCustomEdit::LockChangeEvents(bool ALock, bool AInvokeChanged) {
  FChangeEventsCatcher->Lock(ALock, AInvokeChanged);
}

void TcxCustomEdit::LockClick(bool ALock) {
  if (ALock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TcxCustomEdit::LockEditValueChanging(bool ALock) {
  if (ALock)
    ++FEditValueChangingLockCount;
  else if (FEditValueChangingLockCount > 0)
    --FEditValueChangingLockCount;
}

void TcxCustomEdit::EnableValidate() {
  if (FValidateDisabledCount > 0) --FValidateDisabledCount;
}

// --- editing permission ------------------------------------------------------------------

bool TcxCustomEdit::DoEditing() {
  bool result = InternalDoEditing();
  if (!result || FDataBinding->GetModified()) return result;
  auto doing = orv::TempValue(FDoingEditing, true);
  result = CanModify();
  if (!result) return false;
  if (FIsInplace) {
    LockEditValueChanging(true);
    orv::ScopeExit unlock([this] { LockEditValueChanging(false); });
    if (OnEditing) OnEditing(this, result);
  } else {
    if (OnEditing) OnEditing(this, result);
    if (result) {
      LockEditValueChanging(true);
      orv::ScopeExit unlock([this] { LockEditValueChanging(false); });
      result = FDataBinding->SetEditMode();
    }
  }
  return result;
}

bool TcxCustomEdit::CanModify() {
  TcxCustomEditProperties* properties = GetActiveProperties();
  if (FIsInplace) return properties->CanModify();
  if (properties->GetAssignedValues()->GetReadOnly()) return !properties->GetReadOnly();
  IcxEditDefaultValuesProvider* provider = FDataBinding->GetIDefaultValuesProvider();
  return !provider || (provider->DefaultCanModify() && provider->CanSetEditMode());
}

bool TcxCustomEdit::RealReadOnly() {
  return GetActiveProperties()->GetReadOnly() || !FDataBinding->IsDataAvailable();
}

// --- change events ---------------------------------------------------------------------------

bool TcxCustomEdit::HasChangeHandler() const {
  return FProperties->OnChange.Assigned() || (FRepositoryItem && GetActiveProperties()->OnChange.Assigned());
}

bool TcxCustomEdit::HasEditValueChangedHandler() const {
  return FProperties->OnEditValueChanged.Assigned() ||
         (FRepositoryItem && GetActiveProperties()->OnEditValueChanged.Assigned());
}

bool TcxCustomEdit::HasValidateHandler() const {
  return FProperties->OnValidate.Assigned() || (FRepositoryItem && GetActiveProperties()->OnValidate.Assigned());
}

void TcxCustomEdit::DoChange() {
  if (GetIsLoading() || GetContainerIsDestroying()) return;
  if (HasChangeHandler()) {
    if (AreChangeEventsLocked()) {
      FChangeEventsCatcher->SetOnChangeEvent(true);
    } else if (FIsInplace) {
      // The grid's handler sees the editor as changed while it runs.
      SaveModified();
      orv::ScopeExit restore([this] { RestoreModified(); });
      FModified = true;
      FModifiedAfterEnter = true;
      DoOnChange();
    } else {
      DoOnChange();
    }
  }
  TcxCustomEditProperties* properties = GetActiveProperties();
  if (!properties->HasDisplayValue() && !properties->CanCompareEditValue()) DoEditValueChanged();
}

void TcxCustomEdit::DoEditValueChanged() {
  if (GetIsLoading() || GetContainerIsDestroying() || !HasEditValueChangedHandler()) return;
  if (AreChangeEventsLocked()) {
    FChangeEventsCatcher->SetOnEditValueChangedEvent(true);
  } else if (FIsInplace) {
    SaveModified();
    orv::ScopeExit restore([this] { RestoreModified(); });
    FModified = true;
    FModifiedAfterEnter = true;
    DoOnEditValueChanged();
  } else {
    DoOnEditValueChanged();
  }
}

// The own properties' handler first, then the repository item's.
void TcxCustomEdit::DoOnChange() {
  if (FProperties->OnChange) FProperties->OnChange(this);
  if (FRepositoryItem && GetActiveProperties()->OnChange) GetActiveProperties()->OnChange(this);
}

void TcxCustomEdit::DoOnEditValueChanged() {
  if (FProperties->OnEditValueChanged) FProperties->OnEditValueChanged(this);
  if (FRepositoryItem && GetActiveProperties()->OnEditValueChanged) GetActiveProperties()->OnEditValueChanged(this);
}

void TcxCustomEdit::DoOnValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error) {
  if (FProperties->OnValidate) FProperties->OnValidate(this, DisplayValue, ErrorText, Error);
  if (FRepositoryItem && GetActiveProperties()->OnValidate)
    GetActiveProperties()->OnValidate(this, DisplayValue, ErrorText, Error);
}

void TcxCustomEdit::DoButtonClick(Integer AButtonVisibleIndex) {
  const Integer index = ButtonIndexOfVisible(AButtonVisibleIndex);
  if (index < 0) return;
  if (FProperties->OnButtonClick) FProperties->OnButtonClick(this, index);
  if (FRepositoryItem && GetActiveProperties()->OnButtonClick) GetActiveProperties()->OnButtonClick(this, index);
}

void TcxCustomEdit::DoClosePopup(TcxEditCloseUpReason AReason) {
  if (FProperties->OnClosePopup) FProperties->OnClosePopup(this, AReason);
  if (FRepositoryItem && GetActiveProperties()->OnClosePopup) GetActiveProperties()->OnClosePopup(this, AReason);
}

void TcxCustomEdit::DoPostEditValue() {
  if (OnPostEditValue) OnPostEditValue(this);
}

void TcxCustomEdit::DoAfterKeyDown(Word& Key, TShiftState Shift) {
  if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
}

AnsiString TcxCustomEdit::GetCurrentDisplayText() const {
  return VarToStr(const_cast<TcxCustomEdit*>(this)->GetDisplayValue());
}

void TcxCustomEdit::ChangeHandler(TObject*) {
  if (!IsFocused())
    FDataBinding->SetModified();
  else
    SetModifiedAfterEnter(true);
  DoChange();
}

// --- key pipeline -------------------------------------------------------------------------------

bool TcxCustomEdit::IsEditorKey(Word Key, TShiftState Shift) {
  return GetDefaultButtonVisibleIndex() != -1 && ShortCut(Key, Shift) == GetActiveProperties()->GetClickKey();
}

bool TcxCustomEdit::IsSpecialKey(Word Key, TShiftState Shift) {
  const TShortCut shortCut = ShortCut(Key, Shift);
  TcxCustomEditProperties* properties = GetActiveProperties();
  return (properties->GetClearKey() != 0 && shortCut == properties->GetClearKey()) ||
         (GetDefaultButtonVisibleIndex() != -1 && shortCut == properties->GetClickKey());
}

void TcxCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  FEscapeHandled = false;
  if (!IsEditorKey(Key, Shift)) inherited::KeyDown(Key, Shift);
  if (Key != 0) DoEditKeyDown(Key, Shift);
}

void TcxCustomEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TcxCustomEditProperties* properties = GetActiveProperties();
  const TShortCut shortCut = ShortCut(Key, Shift);
  if (properties->GetClearKey() != 0 && shortCut == properties->GetClearKey()) {
    auto locked = ChangeEventsLocked(this);
    auto user = orv::TempValue(FUserAction, true);
    SetEditValue(GetClearValue());
    FEditValidated = true;
    Key = 0;
    return;
  }
  if (GetDefaultButtonVisibleIndex() != -1 && shortCut == properties->GetClickKey()) {
    // The character the key made must not reach the inner control.
    if (HandleAllocated()) KillMessages(GetHandle(), WM_CHAR, WM_CHAR);
    if (TWinControl* inner = GetInnerControl(); inner && inner->HandleAllocated())
      KillMessages(inner->GetHandle(), WM_CHAR, WM_CHAR);
    DefaultButtonClick();
    Key = 0;
    return;
  }
  if (Key != 0 && !ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_TAB:
      if (IsFocused() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !properties->TabsNeed()) {
        DoEditProcessTab(Shift);
        DoAfterKeyDown(Key, Shift);
        if (Key == 0) return;
        Key = 0;
        // Without a form there is nothing to move to: the key is spent.
        TCustomForm* form = GetParentForm(this);
        if (!form) return;
        form->SelectNext(form->GetActiveControl(), !Shift.Contains(ssShift), true);
        if (HandleAllocated() && win::GetFocus() == GetHandle() && FInnerEdit) FInnerEdit->SafelySetFocus();
        return;
      }
      break;
    case VK_ESCAPE:
      if (FModifiedAfterEnter) {
        ResetEditValue();
        FEscapeHandled = true;
        Key = 0;
        return;
      }
      break;
    case VK_RETURN:
      if (properties->GetValidateOnEnter()) {
        Key = 0;
        auto locked = ChangeEventsLocked(this);
        if (ValidateEdit(true) && CanPostEditValue()) InternalPostEditValue(false);
        return;
      }
      break;
    default: break;
  }
  if (IsNavigationKey(Key) && !WantNavigationKeys()) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
  }
}

bool TcxCustomEdit::ValidateKeyDown(Word& Key, TShiftState Shift) {
  return FDataBinding->GetModified() || !CanKeyDownModifyEdit(Key, Shift) || DoEditing();
}

bool TcxCustomEdit::CanKeyDownModifyEdit(Word, TShiftState) { return false; }

bool TcxCustomEdit::CanKeyPressModifyEdit(char) { return false; }

void TcxCustomEdit::KeyPress(char& Key) {
  if (Key == '\x1B' && FEscapeHandled) {
    FEscapeHandled = false;
    Key = 0;
    return;
  }
  inherited::KeyPress(Key);
  if (Key != 0) DoEditKeyPress(Key);
}

void TcxCustomEdit::DoEditKeyPress(char& Key) { ValidateKeyPress(Key); }

bool TcxCustomEdit::ValidateKeyPress(char& Key) {
  if (static_cast<unsigned char>(Key) >= ' ' && !IsValidChar(Key)) {
    Key = 0;
    if (GetActiveProperties()->GetBeepOnError()) MessageBeep(0);
    return false;
  }
  if (!FDataBinding->GetModified() && CanKeyPressModifyEdit(Key) && !DoEditing()) {
    Key = 0;
    return false;
  }
  return true;
}

bool TcxCustomEdit::IsValidChar(char AChar) {
  IcxEditDefaultValuesProvider* provider = GetActiveProperties()->GetIDefaultValuesProvider();
  return !provider || provider->IsValidChar(AChar) || provider->IsOnSetTextAssigned();
}

void TcxCustomEdit::KeyUp(Word& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  if (Key != 0) DoEditKeyUp(Key, Shift);
}

void TcxCustomEdit::CMDialogChar(TMessage& Message) {
  bool handled = false;
  CheckButtonShortCuts(static_cast<char>(Message.WParam), handled);
  if (handled)
    Message.Result = 1;
  else
    DispatchFrom(inherited::StaticClass(), Message);
}

void TcxCustomEdit::CheckButtonShortCuts(char AKey, bool& AHandled) {
  AHandled = false;
  TcxEditButtons* buttons = GetActiveProperties()->GetButtons();
  Integer visibleIndex = 0;
  for (Integer i = 0; i < buttons->GetCount(); ++i) {
    TcxEditButton* button = buttons->GetItem(i);
    if (!button->GetVisible()) continue;
    if (IsAccel(static_cast<unsigned char>(AKey), button->GetCaption())) {
      DoButtonClick(visibleIndex);
      AHandled = true;
      return;
    }
    ++visibleIndex;
  }
}

// --- validation and posting ---------------------------------------------------------------------

bool TcxCustomEdit::ValidateEdit(bool ARaiseExceptionOnError) {
  if (!FModifiedAfterEnter || FEditValidated || IsValidateDisabled()) return true;
  Variant displayValue = Variant(GetCurrentDisplayText());
  AnsiString errorText;
  bool error = false;
  TcxCustomEditProperties* properties = GetActiveProperties();
  if (properties->CanValidate()) properties->ValidateDisplayValue(displayValue, errorText, error, this);
  if (error) {
    // A text the handler corrected is shown and selected also when the
    // error is raised.
    orv::ScopeExit correct([this, &displayValue] {
      if (GetCurrentDisplayText() != VarToStr(displayValue)) {
        SetInternalDisplayValue(displayValue);
        if (GetVisible()) {
          SelectAll();
          if (!IsEditClass()) UpdateDrawValue();
        }
      }
    });
    if (ARaiseExceptionOnError) {
      HandleValidationError(errorText);
      Application->ProcessMessages();
    }
    return false;
  }
  if (FUserAction && !DoEditing()) return false;
  InternalValidateDisplayValue(displayValue);
  if (!FIsInplace && !IsFocused()) SetModifiedAfterEnter(false);
  FEditValidated = true;
  return true;
}

void TcxCustomEdit::InternalValidateDisplayValue(const Variant& ADisplayValue) {
  SaveModified();
  orv::ScopeExit restore([this] { RestoreModified(); });
  InternalSetDisplayValue(ADisplayValue);
}

void TcxCustomEdit::HandleValidationError(const AnsiString& AErrorText) {
  if (!CanFocus()) {
    FEditValidated = true;
  } else if (GetVisible()) {
    if (!IsFocused()) {
      {
        auto settingFocus = orv::TempValue(FIsSettingFocus, true);
        if (FInnerEdit && FInnerEdit->GetControl()->CanFocus())
          FInnerEdit->SafelySetFocus();
        else
          SetFocus();
      }
      // The focus handlers ignored the change; the state drawn follows now.
      FocusChanged();
    }
    SelectAll();
  }
  if (GetActiveProperties()->GetBeepOnError()) MessageBeep(0);
  if (!AErrorText.empty()) throw EcxEditValidationError(AErrorText);
}

bool TcxCustomEdit::CanPostEditValue() { return !GetIsDesigning() && FDataBinding->CanPostEditorValue(); }

void TcxCustomEdit::InternalPostEditValue(bool AValidateEdit) {
  if (AValidateEdit) {
    bool valid;
    {
      auto user = orv::TempValue(FUserAction, false);
      valid = ValidateEdit(true);
    }
    if (!valid) return;
  }
  BeforePosting();
  {
    auto posting = orv::TempValue(FIsPosting, true);
    if (FIsInplace) {
      DoPostEditValue();
      SetModified(false);
    } else {
      FDataBinding->SetStoredValue(GetEditValue());
    }
  }
  AfterPosting();
}

void TcxCustomEdit::BeforePosting() {}

void TcxCustomEdit::AfterPosting() {}

void TcxCustomEdit::PostEditValue() {
  if (CanPostEditValue()) {
    InternalPostEditValue(true);
  } else if (IsFocused() && DoEditing()) {
    SetModifiedAfterEnter(true);
    FEditValidated = true;
    InternalPostEditValue(false);
    SetModifiedAfterEnter(false);
  }
}

// --- focus ---------------------------------------------------------------------------------------

void TcxCustomEdit::DoEnter() {
  if (GetContainerIsDestroying() || FIsSettingFocus) return;
  SaveModified();
  {
    orv::ScopeExit restore([this] { RestoreModified(); });
    inherited::DoEnter();
    // The focus has arrived although the window system has not yet said
    // so to the editor; the content below is shown in its focused form.
    FocusChanged();
    if (UpdateContentOnFocusChanging()) FDataBinding->UpdateDisplayValue();
    if (GetActiveProperties()->IsResetEditClass()) FPrevEditValue = GetEditValue();
    if (UpdateContentOnFocusChanging()) SynchronizeDisplayValue();
  }
  FModifiedAfterEnter = false;
  ShortRefreshContainer(false);
}

void TcxCustomEdit::DoExit() {
  auto user = orv::TempValue(FUserAction, false);
  DoHideEdit(true);
}

void TcxCustomEdit::DoHideEdit(bool AExit) {
  if (GetContainerIsDestroying() || FIsSettingFocus) return;
  SaveModified();
  orv::ScopeExit restore([this] { RestoreModified(); });
  {
    auto locked = ChangeEventsLocked(this);
    // Asked before validating: a stand-alone editor that validates after
    // the focus went clears its modified-after-enter mark on the way.
    const bool canPost = !FIsInplace && CanPostEditValue();
    if (!ValidateEdit(true)) return;
    if (canPost) InternalPostEditValue(false);
  }
  if (UpdateContentOnFocusChanging()) FDataBinding->UpdateDisplayValue();
  UpdateDrawValue();
  ShortRefreshContainer(false);
  RestoreModified();
  if (AExit) inherited::DoExit();
  SetModifiedAfterEnter(false);
  SaveModified();
}

void TcxCustomEdit::FocusChanged() {
  if (GetContainerIsDestroying() || FIsSettingFocus) return;
  const bool focused = IsFocused() && Application->GetActive();
  if (focused == FIsFocused) return;
  FIsFocused = focused;
  inherited::FocusChanged();
  DoFocusChanged();
}

void TcxCustomEdit::DoFocusChanged() {
  UpdateDrawValue();
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  // A modal form closing with an answer, and the only control of a form
  // losing the focus within its window: no exit comes, so validate here.
  const TModalResult result = form->GetModalResult();
  const bool closingModal = !form->GetVisible() && form->GetFormState().Contains(fsModal) && result != mrNone &&
                            result != mrCancel;
  bool lostWithinWindow = false;
  if (!closingModal && !IsFocused() && HandleAllocated() && form->GetControlCount() == 1 &&
      form->GetControl(0) == this) {
    const HWND focus = win::GetFocus();
    lostWithinWindow = focus && GetAncestor(focus, GA_ROOT) == GetAncestor(GetHandle(), GA_ROOT);
  }
  if (closingModal || lostWithinWindow) ValidateEdit(false);
}

// --- repository item and properties ----------------------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::GetActiveProperties() const {
  if (!FRepositoryItem) return FProperties;
  TcxCustomEditProperties* properties = FRepositoryItem->GetProperties();
  if (!FIsInplace && FDataBinding) {
    IcxEditDefaultValuesProvider* provider = FDataBinding->GetIDefaultValuesProvider();
    if (properties->GetIDefaultValuesProvider() != provider) properties->SetIDefaultValuesProvider(provider);
  }
  return properties;
}

bool TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem) {
  return !AItem || AItem->GetEditPropertiesClass()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (Value == FRepositoryItem) return;
  if (!IsRepositoryItemAcceptable(Value)) throw EcxEditError(cxGetResourceString(cxSEditInvalidRepositoryItem));
  RepositoryItemAssigning();
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = Value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  if (!FRepositoryItem) {
    if (!GetIsLoading() && !GetContainerIsDestroying())
      FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
    FProperties->SetIDefaultValuesProvider(FDataBinding->GetIDefaultValuesProvider());
    if (!GetIsLoading() && !GetContainerIsDestroying()) PropertiesChanged(FProperties);
  } else {
    FProperties->SetIDefaultValuesProvider(nullptr);
    RepositoryItemListenerPropertiesChanged(FRepositoryItem);
    FProperties->OnPropertiesChanged = {};
  }
  RepositoryItemAssigned();
}

void TcxCustomEdit::RepositoryItemRemoved(TcxEditRepositoryItem* Sender) { RepositoryItemListenerItemRemoved(Sender); }

void TcxCustomEdit::RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) {
  RepositoryItemListenerPropertiesChanged(Sender);
}

void TcxCustomEdit::RepositoryItemListenerItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender == FRepositoryItem) SetRepositoryItem(nullptr);
}

void TcxCustomEdit::RepositoryItemListenerPropertiesChanged(TcxEditRepositoryItem*) {
  if (!GetIsLoading() && !GetContainerIsDestroying()) PropertiesChanged(GetActiveProperties());
}

void TcxCustomEdit::PropertiesChanged(TObject*) {
  if (FCreating && !FChangeEventsCatcher) return;
  FEditValidated = false;
  if (FInnerEdit) FInnerEdit->SetReadOnly(RealReadOnly());
  if (FModifiedAfterEnter && RealReadOnly()) FModifiedAfterEnter = false;
  if (GetActiveProperties()->GetTransparent()) SetTransparent(true);
  ShortRefreshContainer(false);
}

bool TcxCustomEdit::PropertiesChangeLocked() {
  return GetContainerIsDestroying() || (GetInnerEditClass() && !FInnerEdit);
}

bool TcxCustomEdit::IsTransparent() { return !FIsInplace && FTransparent; }

void TcxCustomEdit::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

bool TcxCustomEdit::IsChildWindow(HWND AWnd) {
  TWinControl* inner = GetInnerControl();
  return inner && inner->HandleAllocated() && inner->GetHandle() == AWnd;
}

bool TcxCustomEdit::IsActiveControl() {
  if (GetIsDesigning()) return false;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  TWinControl* active = form->GetActiveControl();
  return active && (active == this || active == GetActiveControl());
}

// --- clipboard -----------------------------------------------------------------------------------

void TcxCustomEdit::WMCopy(TMessage&) { CopyToClipboard(); }

void TcxCustomEdit::WMCut(TMessage&) {
  auto user = orv::TempValue(FUserAction, true);
  if (!GetActiveProperties()->GetReadOnly() && FDataBinding->IsDataAvailable())
    CutToClipboard();
  else
    CopyToClipboard();
}

void TcxCustomEdit::WMPaste(TMessage&) {
  auto user = orv::TempValue(FUserAction, true);
  if (!GetActiveProperties()->GetReadOnly() && FDataBinding->IsDataAvailable()) PasteFromClipboard();
}

// --- loading and parenting ---------------------------------------------------------------------------

void TcxCustomEdit::ReadState(TReader* Reader) {
  FProperties->OnPropertiesChanged = {};
  inherited::ReadState(Reader);
}

void TcxCustomEdit::Loaded() {
  LockChangeEvents(true);
  LockClick(true);
  orv::ScopeExit unlock([this] {
    LockClick(false);
    LockChangeEvents(false, false);
  });
  inherited::Loaded();
  FDataBinding->UpdateNotConnectedDBEditDisplayValue();
  ShortRefreshContainer(false);
  if (!FRepositoryItem)
    FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxCustomEdit::PropertiesChangedHandler>(this);
  PropertiesChanged(GetActiveProperties());
}

void TcxCustomEdit::SetParent(TWinControl* AParent) {
  if (FIsFirstParenting && AParent) {
    FIsFirstParenting = false;
    FDataBinding->UpdateNotConnectedDBEditDisplayValue();
    PropertiesChanged(FProperties);
    FDataBinding->UpdateDisplayValue();
  }
  inherited::SetParent(AParent);
}

void TcxCustomEdit::SetName(const AnsiString& Value) {
  inherited::SetName(Value);
  if (FDataBinding) FDataBinding->UpdateNotConnectedDBEditDisplayValue();
}

void TcxCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  // The inner edit is asked nothing here: it may be half gone already.
  if (Operation == opRemove && FInnerEdit && AComponent == FInnerEditControl) {
    FInnerEdit = nullptr;
    FInnerEditControl = nullptr;
  }
  inherited::Notification(AComponent, Operation);
}

void TcxCustomEdit::CreateHandle() {
  inherited::CreateHandle();
  if (FInnerEdit && IsContainerFocused()) FInnerEdit->SafelySetFocus();
}
