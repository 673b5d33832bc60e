#include "library/editors/core/cxEditProperties.h"

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditStyles.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "platform/rtl/Owned.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomEditDefaultValuesProvider)
ORV_REGISTER(TcxEditAlignment, ORV_PROP(Horz).StoredBy<&TcxEditAlignment::IsHorzStored>(),
             ORV_PROP(Vert).StoredBy<&TcxEditAlignment::IsVertStored>())
ORV_REGISTER(TcxCustomEditPropertiesValues, ORV_PROP(ReadOnly).Stored(false))
ORV_REGISTER(TcxCustomEditProperties)

namespace {

// The properties objects from construction to destruction: how many there
// are and the last serial given. Plain numbers, so an object made or freed
// outside the unit's start-up and shut-down, or by another static's
// destructor, still counts.
struct TPropertiesCount {
  std::size_t Count = 0;
  UInt64 LastSerial = 0;
};

TPropertiesCount& PropertiesCount() {
  static TPropertiesCount count;
  return count;
}

}  // namespace

// ---------------------------------------------------------------------------

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsers(); }

void TcxCustomEditDefaultValuesProvider::ClearUsers() {
  // A user leaves the list before it is told, so one that keeps the
  // reference still lets the walk end.
  while (TcxCustomEditProperties* user = FFirstUser) {
    user->LeaveUsers();
    user->DefaultValuesProviderDestroyed();
  }
}

// ---------------------------------------------------------------------------

void TcxEditAlignment::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditAlignment*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  FVert = source->FVert;
  FHorz = source->FHorz;
  FIsHorzAssigned = source->FIsHorzAssigned;
  DoChanged();
}

void TcxEditAlignment::Reset() {
  FIsHorzAssigned = false;
  DoChanged();
}

void TcxEditAlignment::SetHorz(TAlignment Value) {
  if (FIsHorzAssigned && FHorz == Value) return;
  FIsHorzAssigned = true;
  FHorz = Value;
  DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value) {
  if (FVert == Value) return;
  FVert = Value;
  DoChanged();
}

// ---------------------------------------------------------------------------

TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues(TPersistent* AOwner)
    : FOwner(DynamicCast<TcxCustomEditProperties>(AOwner)) {}

TPersistent* TcxCustomEditPropertiesValues::GetOwner() { return FOwner; }

void TcxCustomEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditPropertiesValues*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  SetReadOnly(source->FReadOnly);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TcxCustomEditPropertiesValues::BeginUpdate() {
  if (FOwner) FOwner->BeginUpdate();
}

void TcxCustomEditPropertiesValues::EndUpdate() {
  if (FOwner) FOwner->EndUpdate(true);
}

bool TcxCustomEditPropertiesValues::IsPropertiesPropertyVisible(const AnsiString& AName) const {
  return FOwner && GetPropInfo(FOwner, AName) != nullptr;
}

void TcxCustomEditPropertiesValues::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Changed();
}

void TcxCustomEditPropertiesValues::Changed() {
  if (FOwner) FOwner->Changed();
}

// ---------------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FSerial(++PropertiesCount().LastSerial) {
  ++PropertiesCount().Count;
}

void TcxCustomEditProperties::AfterConstruction() {
  TcxInterfacedPersistent::AfterConstruction();
  // The parts whose classes and defaults a kind may override.
  FUseLeftAlignmentOnEditing = DefaultUseLeftAlignmentOnEditing();
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  ReferToProvider(nullptr, nullptr);
  --PropertiesCount().Count;
  FreeAndNil(FButtons);
  FreeAndNil(FAlignment);
  FreeAndNil(FStoredAlignment);
  FreeAndNil(FAssignedValues);
  FreeAndNil(FFreeNotificator);
}

std::size_t TcxCustomEditProperties::InstanceCount() { return PropertiesCount().Count; }

std::weak_ptr<const void> TcxCustomEditProperties::Presence() {
  if (!FPresence) FPresence = std::make_shared<const TcxCustomEditProperties*>(this);
  return FPresence;
}

TcxCustomEditProperties* TcxCustomEditProperties::CreatePreviewProperties() const {
  return TClassRef<TcxCustomEditProperties>(ClassType()).Construct<TPersistent*>(nullptr);
}

// --- update bracket --------------------------------------------------------

void TcxCustomEditProperties::BeginUpdate() {
  if (FUpdateCount == 0) FChangedOccurred = false;
  ++FUpdateCount;
}

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && AInvokeChanged && FChangedOccurred) Changed();
}

void TcxCustomEditProperties::LockUpdate(bool ALock) {
  if (ALock)
    BeginUpdate();
  else
    EndUpdate(false);
}

void TcxCustomEditProperties::Changed() {
  if (ChangedLocked()) {
    FChangedOccurred = true;
    return;
  }
  if (auto* owner = dynamic_cast<TComponent*>(GetOwner()))
    if (owner->GetComponentState().Contains(csDestroying)) return;
  if (OnPropertiesChanged) OnPropertiesChanged(this);
}

// --- settings --------------------------------------------------------------

void TcxCustomEditProperties::SetAutoSelect(bool Value) {
  if (FAutoSelect == Value) return;
  FAutoSelect = Value;
  Changed();
}

void TcxCustomEditProperties::SetButtonsViewStyle(TcxEditButtonsViewStyle Value) {
  if (FButtonsViewStyle == Value) return;
  FButtonsViewStyle = Value;
  Changed();
}

void TcxCustomEditProperties::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Changed();
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (FUseLeftAlignmentOnEditing == Value) return;
  FUseLeftAlignmentOnEditing = Value;
  Changed();
}

void TcxCustomEditProperties::ButtonsChanged(TObject*) { Changed(); }

// --- alignment -------------------------------------------------------------

TComponent* TcxCustomEditProperties::GetOwnerComponent() {
  for (TPersistent* owner = GetOwner(); owner; owner = GetPersistentOwner(owner))
    if (auto* component = dynamic_cast<TComponent*>(owner)) return component;
  return nullptr;
}

TcxFreeNotificator* TcxCustomEditProperties::GetFreeNotificator() {
  if (!FFreeNotificator) {
    FFreeNotificator = New<TcxFreeNotificator>(nullptr);
    FFreeNotificator->OnFreeNotification =
        Event<void(TComponent*)>::Bind<&TcxCustomEditProperties::FreeNotificationHandler>(this);
  }
  return FFreeNotificator;
}

TcxEditButtons* TcxCustomEditProperties::GetButtons() const {
  if (!FButtons) {
    auto* self = const_cast<TcxCustomEditProperties*>(this);
    FButtons = New<TcxEditButtons>(self);
    FButtons->OnChange = TNotifyEvent::Bind<&TcxCustomEditProperties::ButtonsChanged>(self);
  }
  return FButtons;
}

TcxCustomEditPropertiesValues* TcxCustomEditProperties::GetAssignedValues() const {
  if (!FAssignedValues)
    FAssignedValues = TClassRef<TcxCustomEditPropertiesValues>(GetAssignedValuesClass())
                          .Construct<TPersistent*>(const_cast<TcxCustomEditProperties*>(this));
  return FAssignedValues;
}

IcxEditControl* TcxCustomEditProperties::GetOwnerEdit() { return DynamicCast<IcxEditControl>(GetOwner()); }

TcxEditAlignment* TcxCustomEditProperties::StoredAlignment() {
  if (!FStoredAlignment) FStoredAlignment = New<TcxEditAlignment>(this);
  return FStoredAlignment;
}

TcxEditAlignment* TcxCustomEditProperties::BaseGetAlignment() {
  // The effective copy is made on the first read (most properties in a
  // grid are never asked) and rewritten on every read; its handler is off
  // meanwhile, so a read never counts as a change.
  if (!FAlignment) FAlignment = New<TcxEditAlignment>(this);
  FAlignment->OnChanged = nullptr;
  orv::ScopeExit reattach([this] {
    FAlignment->OnChanged = TNotifyEvent::Bind<&TcxCustomEditProperties::AlignmentChangedHandler>(this);
  });
  FAlignment->Assign(StoredAlignment());
  if (FStoredAlignment->FIsHorzAssigned) {
    // A stream being written gets what the user set.
    TComponent* component = GetOwnerComponent();
    if (component && component->GetComponentState().Contains(csWriting)) return FAlignment;
  }
  if (!FAlignment->FIsHorzAssigned) FAlignment->FHorz = GetDefaultHorzAlignment();
  return FAlignment;
}

void TcxCustomEditProperties::AlignmentChangedHandler(TObject*) {
  StoredAlignment()->Assign(FAlignment);
  Changed();
}

void TcxCustomEditProperties::BaseSetAlignment(TcxEditAlignment* Value) {
  StoredAlignment()->Assign(Value);
  Changed();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment() {
  if (FIDefaultValuesProvider) return FIDefaultValuesProvider->DefaultAlignment();
  // An effective copy not made yet still holds the standard value.
  return FAlignment ? FAlignment->FHorz : cxEditDefaultHorzAlignment;
}

bool TcxCustomEditProperties::IsAlignmentStored() {
  return FStoredAlignment && (FStoredAlignment->IsHorzStored() || FStoredAlignment->IsVertStored());
}

// --- read-only -------------------------------------------------------------

bool TcxCustomEditProperties::GetReadOnly() const {
  if (IsReadOnlyStored()) return FReadOnly;
  return FIDefaultValuesProvider && FIDefaultValuesProvider->DefaultReadOnly();
}

void TcxCustomEditProperties::SetReadOnly(bool Value) {
  if (IsReadOnlyStored() && FReadOnly == Value) return;
  // Setting the mark first would notify on its own; both land as one change.
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  FReadOnly = Value;
  GetAssignedValues()->SetReadOnly(true);
  Changed();
}

bool TcxCustomEditProperties::CanModify() {
  if (IsReadOnlyStored() && !FReadOnly) return true;
  if (GetReadOnly()) return false;
  if (!FIDefaultValuesProvider) return true;
  return FIDefaultValuesProvider->DefaultCanModify() && FIDefaultValuesProvider->CanSetEditMode();
}

// --- value hooks -----------------------------------------------------------

TClass TcxCustomEditProperties::GetStyleClass() const { return TcxEditStyle::StaticClass(); }

TClass TcxCustomEditProperties::GetViewDataClass() const { return TcxCustomEditViewData::StaticClass(); }

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace,
                                                              bool APreviewMode) {
  auto* viewData = TcxCustomEditViewDataClass(GetViewDataClass())
                       .Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(this, AStyle, AIsInplace);
  viewData->PreviewMode = APreviewMode;
  return viewData;
}

TSize TcxCustomEditProperties::GetEditConstantPartSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle,
                                                       bool AIsInplace,
                                                       const TcxEditSizeProperties& AEditSizeProperties,
                                                       TSize& MinContentSize) {
  TOwned<TcxCustomEditViewData> viewData(CreateViewData(AStyle, AIsInplace));
  return viewData->GetEditConstantPartSize(ACanvas, AEditSizeProperties, MinContentSize);
}

TSize TcxCustomEditProperties::GetEditContentSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle, bool AIsInplace,
                                                  const Variant& AEditValue,
                                                  const TcxEditSizeProperties& AEditSizeProperties) {
  TOwned<TcxCustomEditViewData> viewData(CreateViewData(AStyle, AIsInplace));
  return viewData->GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
}

TSize TcxCustomEditProperties::GetEditSize(TcxCanvas* ACanvas, TcxCustomEditStyle* AStyle, bool AIsInplace,
                                           const Variant& AEditValue,
                                           const TcxEditSizeProperties& AEditSizeProperties) {
  TOwned<TcxCustomEditViewData> viewData(CreateViewData(AStyle, AIsInplace));
  return viewData->GetEditSize(ACanvas, AEditValue, AEditSizeProperties);
}

TClass TcxCustomEditProperties::GetViewInfoClass() const { return TcxCustomEditViewInfo::StaticClass(); }

bool TcxCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  Variant value1, value2;
  PrepareDisplayValue(AEditValue1, value1, false);
  PrepareDisplayValue(AEditValue2, value2, false);
  return VarEquals(value1, value2);
}

AnsiString TcxCustomEditProperties::GetDisplayText(const Variant&, bool, bool) { return {}; }

TcxDataEditValueSource TcxCustomEditProperties::GetEditValueSource(bool) const { return evsValue; }

TcxEditSupportedOperations TcxCustomEditProperties::GetSupportedOperations() const {
  if (FButtons && FButtons->GetCount() > 0) return {esoHotTrack};
  return {};
}

AnsiString TcxCustomEditProperties::GetValidateErrorText(TcxEditErrorKind) const {
  return cxEditResString(cxSEditValidateErrorText);
}

TcxDataEditValueSource TcxCustomEditProperties::GetValueEditorEditValueSource(bool AEditFocused) {
  TcxEditDisplayFormatOptions options = GetDisplayFormatOptions();
  if (AEditFocused || !options.Contains(dfoSupports) || !FIDefaultValuesProvider) return evsValue;
  return FIDefaultValuesProvider->IsDisplayFormatDefined(!options.Contains(dfoNoCurrencyValue)) ? evsText
                                                                                                 : evsValue;
}

bool TcxCustomEditProperties::IsValueEditorWithValueFormatting() {
  TcxEditDisplayFormatOptions options = GetDisplayFormatOptions();
  return options.Contains(dfoSupports) && GetEditValueSource(true) == evsValue &&
         GetEditValueSource(false) == evsText && FIDefaultValuesProvider &&
         FIDefaultValuesProvider->IsDisplayFormatDefined(!options.Contains(dfoNoCurrencyValue));
}

bool TcxCustomEditProperties::IsEditValueValid(Variant&, bool) { return true; }

void TcxCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  DisplayValue = AEditValue;
}

void TcxCustomEditProperties::Update(TcxCustomEditProperties*) {}

// --- validation ------------------------------------------------------------

void TcxCustomEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                   IcxEditControl* AEdit) {
  if (!CanValidate()) return;
  if (ErrorText.empty()) ErrorText = GetValidateErrorText(cxEditDefaultErrorKind);
  bool userChanged = false;
  DoValidate(DisplayValue, ErrorText, Error, AEdit, userChanged);
}

void TcxCustomEditProperties::DoValidate(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                         IcxEditControl* AEdit, bool& AUserChangedDisplayValue) {
  AUserChangedDisplayValue = false;
  if (!AEdit || !AEdit->HasValidateHandler()) return;
  const Variant before = DisplayValue;
  AEdit->DoOnValidate(DisplayValue, ErrorText, Error);
  if (!Error) return;
  AUserChangedDisplayValue = VarToStr(DisplayValue) != VarToStr(before);
  // A handler that only reports the error leaves what the user typed.
  if (!AUserChangedDisplayValue) DisplayValue = AEdit->GetCurrentDisplayText();
}

// --- provider ----------------------------------------------------------------

void TcxCustomEditProperties::SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider) {
  ReferToProvider(AProvider, AProvider ? AProvider->GetInstance() : nullptr);
  if (GetOwnerEdit()) DefaultValuesChanged();
}

void TcxCustomEditProperties::DefaultValuesProviderDestroyed() { ReferToProvider(nullptr, nullptr); }

// Only our providers look for their users when they go: a provider whose
// instance is something else has no users to find.
void TcxCustomEditProperties::ReferToProvider(IcxEditDefaultValuesProvider* AProvider, TObject* AInstance) {
  auto* used = AProvider ? DynamicCast<TcxCustomEditDefaultValuesProvider>(AInstance) : nullptr;
  if (used != FUsedProvider) {
    LeaveUsers();
    if (used) JoinUsers(used);
  }
  FIDefaultValuesProvider = AProvider;
}

// In the order made: from the last user back past the ones made later
// (none, unless an older object takes the provider after a younger one).
void TcxCustomEditProperties::JoinUsers(TcxCustomEditDefaultValuesProvider* AProvider) {
  TcxCustomEditProperties* before = AProvider->FLastUser;
  while (before && before->FSerial > FSerial) before = before->FPreviousUser;
  FUsedProvider = AProvider;
  FPreviousUser = before;
  FNextUser = before ? before->FNextUser : AProvider->FFirstUser;
  (FNextUser ? FNextUser->FPreviousUser : AProvider->FLastUser) = this;
  (before ? before->FNextUser : AProvider->FFirstUser) = this;
}

void TcxCustomEditProperties::LeaveUsers() {
  if (!FUsedProvider) return;
  (FPreviousUser ? FPreviousUser->FNextUser : FUsedProvider->FFirstUser) = FNextUser;
  (FNextUser ? FNextUser->FPreviousUser : FUsedProvider->FLastUser) = FPreviousUser;
  FUsedProvider = nullptr;
  FPreviousUser = FNextUser = nullptr;
}

// --- copying -----------------------------------------------------------------

void TcxCustomEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditProperties*>(Source);
  if (!source) {
    TcxInterfacedPersistent::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  SetAutoSelect(source->FAutoSelect);
  // Buttons never made are none.
  if (FButtons || source->FButtons) GetButtons()->Assign(source->GetButtons());
  SetButtonsViewStyle(source->FButtonsViewStyle);
  FBeepOnError = source->FBeepOnError;
  FClearKey = source->FClearKey;
  FClickKey = source->FClickKey;
  SetUseLeftAlignmentOnEditing(source->FUseLeftAlignmentOnEditing);
  ReferToProvider(source->FIDefaultValuesProvider, source->FUsedProvider);
  BaseSetAlignment(source->BaseGetAlignment());
  if (FAssignedValues) FAssignedValues->SetReadOnly(false);
  if (source->IsReadOnlyStored()) SetReadOnly(source->FReadOnly);
  FImmediatePost = source->FImmediatePost;
  SetTransparent(source->FTransparent);
  FInplaceMouseWheel = source->FInplaceMouseWheel;
  FValidateOnEnter = source->FValidateOnEnter;
  OnButtonClick = source->OnButtonClick;
  OnChange = source->OnChange;
  OnEditValueChanged = source->OnEditValueChanged;
  OnValidate = source->OnValidate;
}

void TcxCustomEditProperties::RestoreDefaults() {
  // An alignment never set has nothing to forget.
  if (FStoredAlignment) FStoredAlignment->Reset();
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->RestoreDefaults();
}
