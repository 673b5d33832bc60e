#include "library/grid/container/cxInplaceContainerItems.h"

#include <algorithm>

#include "library/editors/cxEditDataRegisteredRepositoryItems.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/grid/container/cxInplaceContainer.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomEditContainerItemOptions, ORV_PROP(Editing).Default(true), ORV_PROP(Filtering).Default(true),
             ORV_PROP(Focusing).Default(true), ORV_PROP(IncSearch).Default(true),
             ORV_PROP(ShowEditButtons).Default(eisbDefault))
ORV_REGISTER(TcxEditContainerStyles, ORV_PROP(Content))
ORV_REGISTER(TcxContainerItemDefaultValuesProvider)
ORV_REGISTER(TcxCustomItemDataBinding)
ORV_REGISTER(TcxItemDataBinding, ORV_PROP(ValueType).StoredBy<&TcxItemDataBinding::IsValueTypeStored>())
ORV_REGISTER(TcxControlDataController)
ORV_REGISTER(TcxValueTypeClassRepository)
ORV_REGISTER(TcxCustomInplaceEditContainer, ORV_PROP(PropertiesClassName), ORV_PROP(Properties),
             ORV_EVENT(PropertiesEvents), ORV_PROP(RepositoryItem), ORV_PROP(Styles))

// ---------------------------------------------------------------------------
// Item options

TcxCustomInplaceEditContainer* TcxCustomEditContainerItemOptions::GetItem() {
  return static_cast<TcxCustomInplaceEditContainer*>(GetOwner());
}

void TcxCustomEditContainerItemOptions::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditContainerItemOptions*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  std::copy(std::begin(source->ExtraFlags), std::end(source->ExtraFlags), std::begin(ExtraFlags));
  FTabStop = source->GetTabStop();
  SetEditing(source->GetEditing());
  SetFiltering(source->GetFiltering());
  SetFocusing(source->GetFocusing());
  SetIncSearch(source->GetIncSearch());
  SetShowEditButtons(source->GetShowEditButtons());
}

void TcxCustomEditContainerItemOptions::Changed() {
  if (TcxCustomInplaceEditContainer* item = GetItem()) item->Changed();
}

void TcxCustomEditContainerItemOptions::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  TcxCustomInplaceEditContainer* item = GetItem();
  if (!Value && item && item->GetEditing()) item->SetEditing(false);
  Changed();
}

void TcxCustomEditContainerItemOptions::SetFiltering(bool Value) {
  if (FFiltering == Value) return;
  FFiltering = Value;
  Changed();
}

void TcxCustomEditContainerItemOptions::SetFocusing(bool Value) {
  if (FFocusing == Value) return;
  FFocusing = Value;
  if (!Value)
    if (TcxCustomInplaceEditContainer* item = GetItem()) item->SetFocused(false);
  Changed();
}

void TcxCustomEditContainerItemOptions::SetIncSearch(bool Value) {
  if (FIncSearch == Value) return;
  FIncSearch = Value;
  TcxCustomInplaceEditContainer* item = GetItem();
  if (!Value && item && item->GetIncSearching()) item->CancelIncSearching();
  Changed();
}

void TcxCustomEditContainerItemOptions::SetShowEditButtons(TcxEditItemShowEditButtons Value) {
  if (FShowEditButtons == Value) return;
  FShowEditButtons = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Item styles

TcxCustomInplaceEditContainer* TcxEditContainerStyles::GetItem() {
  return static_cast<TcxCustomInplaceEditContainer*>(GetOwner());
}

TcxStyles* TcxEditContainerStyles::GetControlStyles() {
  TcxCustomInplaceEditContainer* item = GetItem();
  return item && item->GetEditingControl() ? item->GetEditingControl()->GetStyles() : nullptr;
}

void TcxEditContainerStyles::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxEditContainerStyles*>(Source)) SetContent(source->GetContent());
  inherited::DoAssign(Source);
}

void TcxEditContainerStyles::Changed(Integer AIndex) {
  inherited::Changed(AIndex);
  TcxCustomInplaceEditContainer* item = GetItem();
  if (item && item->GetEditingControl()) item->GetEditingControl()->UpdateViewStyles();
}

// ---------------------------------------------------------------------------
// Data binding

TcxCustomItemDataBinding::~TcxCustomItemDataBinding() { FreeAndNil(FDefaultValuesProvider); }

void TcxCustomItemDataBinding::AfterConstruction() {
  inherited::AfterConstruction();
  FDefaultValuesProvider =
      TClassRef<TcxCustomEditDefaultValuesProvider>(GetDefaultValuesProviderClass()).Construct<TPersistent*>(this);
}

TcxCustomInplaceEditContainer* TcxCustomItemDataBinding::GetEditContainer() {
  return static_cast<TcxCustomInplaceEditContainer*>(GetOwner());
}

TcxCustomDataController* TcxCustomItemDataBinding::GetDataController() {
  TcxEditingControl* control = GetEditContainer()->GetEditingControl();
  return control ? control->GetDataController() : nullptr;
}

TcxEditRepositoryItem* TcxCustomItemDataBinding::DefaultRepositoryItem() {
  return GetDefaultEditDataRepositoryItems()->GetItem(GetValueTypeClass());
}

IcxEditDefaultValuesProvider* TcxCustomItemDataBinding::GetDefaultValuesProvider(TcxCustomEditProperties*) {
  return FDefaultValuesProvider;
}

void TcxCustomItemDataBinding::ValueTypeClassChanged() {
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  if (TcxCustomDataController* dataController = GetDataController())
    if (item->GetItemIndex() >= 0) dataController->ChangeValueTypeClass(item->GetItemIndex(), GetValueTypeClass());
  item->InternalPropertiesChanged();
}

bool TcxCustomItemDataBinding::IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) {
  TcxCustomInplaceEditContainer* item = GetEditContainer();
  TcxCustomDataController* dataController = GetDataController();
  return (dataController && dataController->IsDisplayFormatDefined(item->GetItemIndex(), !AIsCurrencyValueAccepted)) ||
         item->HasDataTextHandler();
}

TcxValueTypeClass TcxItemDataBinding::GetValueTypeClass() {
  return FValueTypeClass ? FValueTypeClass : TcxStringValueType::Class();
}

void TcxItemDataBinding::SetValueTypeClass(TcxValueTypeClass Value) {
  if (Value == GetValueTypeClass()) return;
  FValueTypeClass = Value;
  ValueTypeClassChanged();
}

AnsiString TcxItemDataBinding::GetValueType() {
  return cxieValueTypeClassRepository()->FindByClassType(GetValueTypeClass());
}

void TcxItemDataBinding::SetValueType(const AnsiString& Value) {
  if (TcxValueTypeClass type = cxieValueTypeClassRepository()->FindByDescription(Value)) SetValueTypeClass(type);
}

bool TcxItemDataBinding::IsValueTypeStored() { return GetValueTypeClass() != TcxStringValueType::Class(); }

void TcxItemDataBinding::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxItemDataBinding*>(Source)) {
    SetValueType(source->GetValueType());
    SetValueTypeClass(source->GetValueTypeClass());
  } else {
    inherited::DoAssign(Source);
  }
}

// ---------------------------------------------------------------------------
// The data controller of editing controls

TcxEditingControl* TcxControlDataController::GetControl() const {
  return static_cast<TcxEditingControl*>(GetOwnerComponent());
}

TObject* TcxControlDataController::GetItem(Integer AIndex) { return GetControl()->GetItem(AIndex); }

Integer TcxControlDataController::GetItemID(TObject* AItem) {
  auto* item = dynamic_cast<TcxCustomInplaceEditContainer*>(AItem);
  return item ? item->GetItemIndex() : -1;
}

TcxDataEditValueSource TcxControlDataController::GetItemValueSource(Integer AItemIndex) {
  TcxCustomEditProperties* properties = GetControl()->GetItem(AItemIndex)->GetPropertiesValue();
  return properties ? properties->GetEditValueSource(true) : evsValue;
}

void TcxControlDataController::UpdateControl(TcxUpdateControlInfo* AInfo) { GetControl()->ControlUpdateData(AInfo); }

void TcxControlDataController::UpdateData() { GetControl()->UpdateData(); }

void TcxControlDataController::UpdateItemIndexes() {
  GetControl()->UpdateIndexes();
  inherited::UpdateItemIndexes();
}

// ---------------------------------------------------------------------------
// Value-type names

namespace {
TcxValueTypeClassRepository* ValueTypeRepository = nullptr;
Integer StartCount = 0;
}  // namespace

void TcxValueTypeClassRepository::RegisterValueTypeClass(const AnsiString& AName, TcxValueTypeClass AClass) {
  if (!AClass || !FindByClassType(AClass).empty()) return;
  for (const Item& item : FItems)
    if (item.Class == AClass) return;
  FItems.push_back({AName, AClass});
}

void TcxValueTypeClassRepository::UnRegisterValueTypeClass(TcxValueTypeClass AClass) {
  std::erase_if(FItems, [AClass](const Item& item) { return item.Class == AClass; });
}

AnsiString TcxValueTypeClassRepository::FindByClassType(TcxValueTypeClass AClass) const {
  for (const Item& item : FItems)
    if (item.Class == AClass) return item.Name;
  return {};
}

TcxValueTypeClass TcxValueTypeClassRepository::FindByDescription(const AnsiString& AName) const {
  for (const Item& item : FItems)
    if (AnsiSameText(item.Name, AName)) return item.Class;
  return nullptr;
}

TcxValueTypeClassRepository* cxieValueTypeClassRepository() {
  if (!ValueTypeRepository) {
    ValueTypeRepository = New<TcxValueTypeClassRepository>();
    ValueTypeRepository->RegisterValueTypeClass("Boolean", TcxBooleanValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("String", TcxStringValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("Integer", TcxIntegerValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("Currency", TcxCurrencyValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("Float", TcxFloatValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("DateTime", TcxDateTimeValueType::Class());
    ValueTypeRepository->RegisterValueTypeClass("Variant", TcxVariantValueType::Class());
  }
  return ValueTypeRepository;
}

void cxieRegisterValueTypeClass(const AnsiString& AName, TcxValueTypeClass AClass) {
  cxieValueTypeClassRepository()->RegisterValueTypeClass(AName, AClass);
}

void cxieUnRegisterValueTypeClass(TcxValueTypeClass AClass) {
  cxieValueTypeClassRepository()->UnRegisterValueTypeClass(AClass);
}

void cxInplaceContainerInitialize() {
  if (StartCount++ == 0) cxieValueTypeClassRepository();
}

void cxInplaceContainerFinalize() {
  if (StartCount > 0 && --StartCount > 0) return;
  FreeAndNil(ValueTypeRepository);
}

// ---------------------------------------------------------------------------
// The item: life cycle

void TcxCustomInplaceEditContainer::AfterConstruction() {
  inherited::AfterConstruction();
  FDataBinding = GetDataBindingClass().Construct<TPersistent*>(this);
}

TcxCustomEditContainerItemOptions* TcxCustomInplaceEditContainer::GetOptions() const {
  auto* self = const_cast<TcxCustomInplaceEditContainer*>(this);
  if (!FOptions) FOptions = GetOptionsClass().Construct<TPersistent*>(self);
  return FOptions;
}

TcxEditContainerStyles* TcxCustomInplaceEditContainer::GetStyles() const {
  auto* self = const_cast<TcxCustomInplaceEditContainer*>(this);
  if (!FStyles) FStyles = GetStylesClass().Construct<TPersistent*>(self);
  return FStyles;
}

void TcxCustomInplaceEditContainer::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (FEditingControl && !FEditingControl->GetIsDestroying() && FEditingControl->GetIsDesigning())
    if (TcxCustomDesignSelectionHelper* helper = FEditingControl->GetDesignSelectionHelper())
      helper->UnselectObject(this);
  SetRepositoryItem(nullptr);
  SetEditingControl(nullptr);
  ReleasePropertiesHandler();
}

TcxCustomInplaceEditContainer::~TcxCustomInplaceEditContainer() {
  FreeAndNil(FOptions);
  FreeAndNil(FDataBinding);
  FreeAndNil(FStyles);
  DestroyProperties();
}

void TcxCustomInplaceEditContainer::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomInplaceEditContainer*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  FDataBinding->Assign(source->GetDataBinding());
  SetPropertiesClassName(source->GetPropertiesClassName());
  SetProperties(source->GetProperties());
  SetRepositoryItem(source->GetRepositoryItem());
  // Options and styles never made hold nothing to copy.
  if (FOptions || source->FOptions) GetOptions()->Assign(source->GetOptions());
  if (FStyles || source->FStyles) GetStyles()->Assign(source->GetStyles());
  OnGetEditProperties = source->OnGetEditProperties;
}

TcxCustomDataController* TcxCustomInplaceEditContainer::GetDataController() {
  return FEditingControl ? FEditingControl->GetDataController() : nullptr;
}

TcxCustomControlController* TcxCustomInplaceEditContainer::GetController() {
  return FEditingControl ? FEditingControl->GetController() : nullptr;
}

void TcxCustomInplaceEditContainer::SetEditingControl(TcxEditingControl* AControl) {
  if (AControl == FEditingControl) return;
  if (AControl && AControl->GetViewInfo()) AControl->GetViewInfo()->SetState(cvis_StyleInvalid, true);
  if (FEditingControl) {
    ReleasePropertiesHandler();
    FEditingControl->DoInplaceEditContainerItemRemoved(this);
    FreeAndNil(FEditViewData);
    FreeEditData();
  }
  FEditingControl = AControl;
  if (!AControl) return;
  AControl->BeginUpdate();
  {
    orv::ScopeExit unlock([AControl] { AControl->CancelUpdate(); });
    AControl->DoInplaceEditContainerItemAdded(this);
    // Takes the properties in force for the new control, inside the lock.
    FDataBinding->ValueTypeClassChanged();
  }
  // What that change of the properties held back: the control's styles
  // and layout.
  if (!IsDestroying()) AControl->UpdateViewStyles();
}

// ---------------------------------------------------------------------------
// Properties in force

TNotifyEvent TcxCustomInplaceEditContainer::OwnPropertiesHandler() {
  return TNotifyEvent::Bind<&TcxCustomInplaceEditContainer::DoOnPropertiesChanged>(this);
}

void TcxCustomInplaceEditContainer::ReleasePropertiesHandler() {
  TcxCustomEditProperties* target = FHandlerTarget;
  const std::weak_ptr<const void> presence = std::move(FHandlerTargetPresence);
  FHandlerTarget = nullptr;
  FHandlerTargetPresence.reset();
  if (!target) return;
  // Shared properties may have gone before the item; only live ones still
  // carrying this item's handler are touched. The item's own live as long
  // as it does.
  if (target != FProperties && presence.expired()) return;
  if (target->OnPropertiesChanged == OwnPropertiesHandler()) target->OnPropertiesChanged = nullptr;
}

void TcxCustomInplaceEditContainer::FreeEditData() {
  if (FEditData && FEditingControl) FEditingControl->EditDataHeld(this, false);
  FreeAndNil(FEditData);
}

void TcxCustomInplaceEditContainer::EditDataTaken() {
  if (FEditData && FEditingControl) FEditingControl->EditDataHeld(this, true);
}

void TcxCustomInplaceEditContainer::InternalPropertiesChanged() {
  if (IsDestroying()) return;
  TcxCustomControlController* controller = GetController();
  if (!controller || (!controller->GetIsEditing() && !controller->GetEditingController()->GetEditHiding()))
    FreeEditData();
  // Cells that paint with the view data about to go take it again at
  // their next calculation.
  if (FEditingControl && FEditingControl->GetViewInfo())
    for (TcxEditCellViewInfo* cell : FEditingControl->GetViewInfo()->GetEditCellViewInfoList())
      if (cell->GetOwner() == this) {
        if (!cell->ViewDataOwned && cell->ViewData == FEditViewData) cell->ViewData = nullptr;
        cell->Properties = nullptr;
      }
  FreeAndNil(FEditViewData);
  TcxCustomEditProperties* previous = FPropertiesValue;
  FPropertiesValue = GetDefaultEditProperties();
  if (previous != FPropertiesValue) ReleasePropertiesHandler();
  InitProperties(FPropertiesValue);
  if (FPropertiesValue && !FPropertiesValue->OnPropertiesChanged) {
    FPropertiesValue->OnPropertiesChanged = OwnPropertiesHandler();
    FHandlerTarget = FPropertiesValue;
    if (FPropertiesValue != FProperties) FHandlerTargetPresence = FPropertiesValue->Presence();
  }
  PropertiesChanged();
}

void TcxCustomInplaceEditContainer::CreateProperties() {
  if (FPropertiesClass)
    FProperties = TClassRef<TcxCustomEditProperties>(FPropertiesClass).Construct<TPersistent*>(this);
}

void TcxCustomInplaceEditContainer::DestroyProperties() {
  FreeEditData();
  FreeAndNil(FEditViewData);
  if (FPropertiesValue == FProperties) FPropertiesValue = nullptr;
  if (FHandlerTarget == FProperties) FHandlerTarget = nullptr;
  FreeAndNil(FProperties);
}

void TcxCustomInplaceEditContainer::RecreateProperties() {
  DestroyProperties();
  CreateProperties();
  InternalPropertiesChanged();
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetPropertiesValue() {
  if (FPropertiesValue) {
    FPropertiesValue->LockUpdate(true);
    orv::ScopeExit unlock([this] { FPropertiesValue->LockUpdate(false); });
    FPropertiesValue->SetIDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider(FPropertiesValue));
  }
  return FPropertiesValue;
}

void TcxCustomInplaceEditContainer::SetPropertiesClass(TClass Value) {
  if (Value == FPropertiesClass) return;
  FPropertiesClass = Value;
  RecreateProperties();
}

void TcxCustomInplaceEditContainer::SetProperties(TcxCustomEditProperties* Value) {
  if (FProperties && Value) FProperties->Assign(Value);
}

AnsiString TcxCustomInplaceEditContainer::GetPropertiesClassName() {
  return FProperties ? FProperties->ClassName() : AnsiString();
}

void TcxCustomInplaceEditContainer::SetPropertiesClassName(const AnsiString& Value) {
  if (Value == GetPropertiesClassName()) return;
  SetPropertiesClass(GetRegisteredEditProperties()->FindByClassName(Value));
}

void TcxCustomInplaceEditContainer::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (Value == FRepositoryItem) return;
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    if (TcxCustomControlController* controller = GetController())
      controller->GetEditingController()->RemoveEdit(FRepositoryItem->GetProperties());
  }
  FRepositoryItem = Value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  InternalPropertiesChanged();
}

void TcxCustomInplaceEditContainer::RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) {
  DoOnPropertiesChanged(Sender);
}

void TcxCustomInplaceEditContainer::RepositoryItemRemoved(TcxEditRepositoryItem*) { SetRepositoryItem(nullptr); }

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetDefaultEditProperties() {
  if (FRepositoryItem) return FRepositoryItem->GetProperties();
  if (FProperties) return FProperties;
  TcxEditRepositoryItem* item = FDataBinding->DefaultRepositoryItem();
  return item ? item->GetProperties() : nullptr;
}

void TcxCustomInplaceEditContainer::InitProperties(TcxCustomEditProperties* AProperties) {
  if (!AProperties) return;
  AProperties->LockUpdate(true);
  orv::ScopeExit unlock([AProperties] { AProperties->LockUpdate(false); });
  AProperties->SetIDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider(AProperties));
}

void TcxCustomInplaceEditContainer::PropertiesChanged() { Changed(); }

void TcxCustomInplaceEditContainer::DoOnPropertiesChanged(TObject*) { InternalPropertiesChanged(); }

void TcxCustomInplaceEditContainer::Changed() {
  if (FEditingControl) FEditingControl->UpdateViewStyles();
}

void TcxCustomInplaceEditContainer::DataChanged() {
  FDataBinding->Init();
  InternalPropertiesChanged();
}

bool TcxCustomInplaceEditContainer::IsRecordDependent() {
  return OnGetEditProperties || OnGetEditingProperties || HasDataTextHandler();
}

// ---------------------------------------------------------------------------
// Per-cell properties and view data

// Made when a cell or a row height first asks, not on every change of the
// properties in force: an item changes them several times while it is set
// up, and the items of a long grid that never come into sight need none.
TcxCustomEditViewData* TcxCustomInplaceEditContainer::GetEditViewData() {
  if (!FEditViewData && FEditingControl && FPropertiesValue)
    FEditViewData = CreateEditViewData(FPropertiesValue, 0);
  return FEditViewData;
}

TcxCustomEditViewData* TcxCustomInplaceEditContainer::CreateEditViewData(TcxCustomEditProperties* AProperties,
                                                                         TcxEditCellData AData) {
  TcxCustomEditViewDataClass cls(AProperties->GetViewDataClass());
  auto* viewData = cls.Construct<TcxCustomEditProperties*, TcxCustomEditStyle*, bool>(AProperties,
                                                                                      GetEditStyle(AData), true);
  viewData->OnGetDisplayText =
      TcxEditGetDisplayTextEvent::Bind<&TcxCustomInplaceEditContainer::EditViewDataGetDisplayTextHandler>(this);
  return viewData;
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::DoGetPropertiesFromEvent(
    const TcxGetEditPropertiesEvent& AEvent, TcxEditCellData AData, TcxCustomEditProperties* AProperties) {
  TcxCustomEditProperties* result = AProperties;
  if (AEvent) {
    AEvent(this, AData, result);
    if (!result) result = AProperties;
  }
  InitProperties(result);
  return result;
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::DoGetEditProperties(TcxEditCellData AData) {
  return DoGetPropertiesFromEvent(OnGetEditProperties, AData, GetPropertiesValue());
}

void TcxCustomInplaceEditContainer::DoGetEditingProperties(TcxEditCellData AData,
                                                           TcxCustomEditProperties*& AProperties) {
  AProperties = DoGetPropertiesFromEvent(OnGetEditingProperties, AData, AProperties);
}

void TcxCustomInplaceEditContainer::DoGetDisplayText(Integer, AnsiString&) {}

void TcxCustomInplaceEditContainer::EditViewDataGetDisplayTextHandler(TObject* Sender, AnsiString& AText) {
  auto* viewData = static_cast<TcxCustomEditViewData*>(Sender);
  DoGetDisplayText(viewData->InplaceRecordIndex, AText);
}

TcxCanvas* TcxCustomInplaceEditContainer::GetControlCanvas() {
  if (FEditingControl && FEditingControl->HandleAllocated()) return FEditingControl->GetCanvas();
  return cxScreenCanvas();
}

TcxCustomEditStyle* TcxCustomInplaceEditContainer::GetEditStyle(TcxEditCellData) {
  return FEditingControl ? FEditingControl->GetEditStyle() : nullptr;
}

void TcxCustomInplaceEditContainer::InitEditViewInfo(TcxEditCellViewInfo* ACell) {
  TcxCustomEditProperties* previous = ACell->Properties;
  ACell->Properties = DoGetEditProperties(ACell->GetViewInfoData());
  ACell->DisplayValue = ACell->GetDisplayValue();
  ACell->ViewParams = ACell->GetEditViewParams();
  if (previous && previous == ACell->Properties && ACell->EditViewInfo) {
    if (!ACell->ViewDataOwned) ACell->SetViewData(GetEditViewData(), false);
  } else {
    if (ACell->Properties == FPropertiesValue)
      ACell->SetViewData(GetEditViewData(), false);
    else
      ACell->SetViewData(CreateEditViewData(ACell->Properties, ACell->GetViewInfoData()), true);
    ACell->SetEditViewInfo(
        TcxCustomEditViewInfoClass(ACell->Properties->GetViewInfoClass()).Construct());
    if (!ACell->ViewDataOwned && ACell->ViewData) ACell->ViewData->InitCacheData();
  }
  if (TcxCustomEditViewData* viewData = ACell->ViewData) {
    if (ACell->IsAutoHeight())
      viewData->PaintOptionsBase.Include(epoAutoHeight);
    else
      viewData->PaintOptionsBase.Exclude(epoAutoHeight);
    if (ACell->IsEndEllipsis())
      viewData->PaintOptionsBase.Include(epoShowEndEllipsis);
    else
      viewData->PaintOptionsBase.Exclude(epoShowEndEllipsis);
    viewData->InplaceRecordIndex = ACell->GetRecordIndex();
    viewData->InplaceItemIndex = FItemIndex;
  }
}

void TcxCustomInplaceEditContainer::CalculateEditViewInfo(const Variant& AValue, TcxEditCellViewInfo* ACell,
                                                          const TPoint& AMousePos) {
  TcxCustomEditViewData* viewData = ACell->ViewData;
  if (!viewData || !ACell->EditViewInfo) return;
  TcxCanvas* canvas = GetControlCanvas();
  cxAssignEditStyle(ACell);
  auto* textViewData = dynamic_cast<TcxCustomTextEditViewData*>(viewData);
  TcxCustomControlController* controller = GetController();
  if (controller && controller->GetIncSearchingItem() == this &&
      ACell->GetRecordIndex() == controller->GetFocusedRecordIndex()) {
    if (textViewData) {
      textViewData->SelStart = 0;
      textViewData->SelLength = static_cast<Integer>(controller->GetIncSearchingText().size());
    }
    viewData->SelTextColor = ACell->GetSelectedTextColor();
    viewData->SelBackgroundColor = ACell->GetSelectedBKColor();
  } else if (textViewData) {
    textViewData->SelLength = 0;
  }
  if (textViewData) textViewData->MaxLineCount = ACell->GetMaxLineCount();
  viewData->EditValueToDrawValue(canvas, AValue, ACell->EditViewInfo);
  viewData->ContentOffset = ACell->ContentOffset();
  viewData->CalculateEx(canvas, ACell->EditRect, AMousePos, cxmbNone, {}, ACell->EditViewInfo, false);
}

// ---------------------------------------------------------------------------
// Sizes

Integer TcxCustomInplaceEditContainer::GetEditDefaultHeight(TFont* AFont) {
  TcxCustomEditViewData* viewData = GetEditViewData();
  if (!viewData) return 0;
  if (!AFont && FEditingControl) AFont = FEditingControl->GetFont();
  viewData->GetStyle()->SetFont(AFont);
  viewData->ContentOffset = cxNullRect;
  TcxEditSizeProperties size;
  return viewData->GetEditSize(GetControlCanvas(), Null(), size).cy;
}

TSize TcxCustomInplaceEditContainer::GetCellEditSize(TcxEditCellViewInfo* ACell) {
  TcxCustomEditViewData* viewData = ACell->ViewData;
  if (!viewData) return {};
  TFont* font = ACell->ViewParams.Font;
  if (!font && FEditingControl) font = FEditingControl->GetFont();
  viewData->GetStyle()->SetFont(font);
  viewData->ContentOffset = ACell->ContentOffset();
  TcxEditSizeProperties size;
  size.Width = ACell->InnerRect.Width();
  size.MaxLineCount = ACell->GetMaxLineCount();
  return viewData->GetEditSize(GetControlCanvas(), ACell->DisplayValue, size);
}

Integer TcxCustomInplaceEditContainer::GetEditHeight(TcxEditCellViewInfo* ACell) {
  if (!ACell->ViewData) return 0;
  Integer height = GetCellEditSize(ACell).cy;
  if (ACell->Borders.Contains(bTop)) ++height;
  if (ACell->Borders.Contains(bBottom)) ++height;
  return height;
}

Integer TcxCustomInplaceEditContainer::GetEditWidth(TcxEditCellViewInfo* ACell) { return GetCellEditSize(ACell).cx; }

// ---------------------------------------------------------------------------
// Editing and focus

bool TcxCustomInplaceEditContainer::CanEdit() {
  if (!CanFocus() || !FEditingControl || !GetOptions()->GetEditing()) return false;
  IcxEditingControlOptions* options = FEditingControl->GetOptions();
  if (!options->GetOptionsData()->GetEditing()) return false;
  TcxCustomDataController* dataController = GetDataController();
  return dataController->GetEditOperations().Contains(dceoShowEdit) && dataController->GetRecordCount() > 0;
}

bool TcxCustomInplaceEditContainer::CanFocus() { return GetOptions()->GetFocusing(); }

bool TcxCustomInplaceEditContainer::CanInitEditing() {
  TcxCustomDataController* dataController = GetDataController();
  return dataController && dataController->CanInitEditing(FItemIndex);
}

bool TcxCustomInplaceEditContainer::CanIncSearch() {
  if (!FEditingControl || !FPropertiesValue) return false;
  return FPropertiesValue->GetSupportedOperations().Contains(esoIncSearch) &&
         FEditingControl->GetOptions()->GetOptionsBehavior()->GetIncSearch() && GetOptions()->GetIncSearch();
}

bool TcxCustomInplaceEditContainer::CanTabStop() { return GetOptions()->GetTabStop(); }

bool TcxCustomInplaceEditContainer::GetEditing() {
  TcxCustomControlController* controller = GetController();
  return controller && controller->GetEditingItem() == this;
}

void TcxCustomInplaceEditContainer::SetEditing(bool Value) {
  TcxCustomControlController* controller = GetController();
  if (!controller) return;
  if (Value)
    controller->SetEditingItem(this);
  else if (GetEditing())
    controller->SetEditingItem(nullptr);
}

bool TcxCustomInplaceEditContainer::GetFocused() {
  TcxCustomControlController* controller = GetController();
  return controller && controller->GetFocusedItem() == this;
}

void TcxCustomInplaceEditContainer::SetFocused(bool Value) {
  // Taking the focus away is left to whoever gives it to another item.
  TcxCustomControlController* controller = GetController();
  if (Value && controller) controller->SetFocusedItem(this);
}

TcxEditCellViewInfo* TcxCustomInplaceEditContainer::GetFocusedCellViewInfo() {
  TcxCustomControlController* controller = GetController();
  return controller ? controller->GetFocusedCellViewInfo(this) : nullptr;
}

bool TcxCustomInplaceEditContainer::GetIncSearching() {
  TcxCustomControlController* controller = GetController();
  return controller && controller->GetIncSearchingItem() == this;
}

void TcxCustomInplaceEditContainer::CancelIncSearching() {
  if (GetIncSearching()) GetController()->CancelIncSearching();
}

bool TcxCustomInplaceEditContainer::IsEditPartVisible() {
  TcxEditCellViewInfo* cell = GetFocusedCellViewInfo();
  return cell && !cxRectIsEmpty(cell->ClipRect);
}

// ---------------------------------------------------------------------------
// Values

Variant TcxCustomInplaceEditContainer::GetValue(Integer ARecordIndex) {
  return GetDataController()->GetValue(ARecordIndex, FItemIndex);
}

void TcxCustomInplaceEditContainer::SetValue(Integer ARecordIndex, const Variant& Value) {
  GetDataController()->SetValue(ARecordIndex, FItemIndex, Value);
}

Integer TcxCustomInplaceEditContainer::GetValueCount() {
  TcxCustomDataController* dataController = GetDataController();
  return dataController ? dataController->GetRecordCount() : 0;
}

Variant TcxCustomInplaceEditContainer::GetCurrentValue() {
  TcxCustomDataController* dataController = GetDataController();
  return dataController->GetValue(dataController->GetFocusedRecordIndex(), FItemIndex);
}

void TcxCustomInplaceEditContainer::SetCurrentValue(const Variant& Value) {
  TcxCustomDataController* dataController = GetDataController();
  dataController->SetValue(dataController->GetFocusedRecordIndex(), FItemIndex, Value);
}

Variant TcxCustomInplaceEditContainer::GetDisplayValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex) {
  if (!AProperties || AProperties->GetEditValueSource(false) == evsValue) return GetValue(ARecordIndex);
  return Variant(GetDataController()->GetDisplayText(ARecordIndex, FItemIndex));
}

TcxValueTypeClass TcxCustomInplaceEditContainer::GetEditDataValueTypeClass() {
  return FDataBinding->GetValueTypeClass();
}

Variant TcxCustomInplaceEditContainer::GetEditValue() {
  if (!GetEditing()) return Variant();
  TcxCustomDataController* dataController = GetDataController();
  if (dataController->GetRecordCount() == 0) return Null();
  return dataController->GetEditValue(FItemIndex, FEditValueSource);
}

void TcxCustomInplaceEditContainer::SetEditValue(const Variant& Value) {
  if (GetEditing()) GetDataController()->SetEditValue(FItemIndex, Value, FEditValueSource);
}

// ---------------------------------------------------------------------------
// Class factories

TcxCustomItemDataBindingClass TcxCustomInplaceEditContainer::GetDataBindingClass() const {
  return TcxItemDataBinding::StaticClass();
}

TcxCustomEditContainerItemOptionsClass TcxCustomInplaceEditContainer::GetOptionsClass() const {
  return TcxCustomEditContainerItemOptions::StaticClass();
}

TcxEditContainerStylesClass TcxCustomInplaceEditContainer::GetStylesClass() const {
  return TcxEditContainerStyles::StaticClass();
}
