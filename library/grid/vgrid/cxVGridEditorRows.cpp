#include "library/grid/vgrid/cxVGridEditorRows.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGrid.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomRowProperties)
ORV_REGISTER(TcxCaptionRowProperties,
             ORV_PROP(Caption).StoredBy<&TcxCaptionRowProperties::IsCaptionStored>(),
             ORV_PROP(HeaderAlignmentHorz).Default(taLeftJustify), ORV_PROP(HeaderAlignmentVert).Default(vaTop),
             ORV_PROP(Hint), ORV_PROP(ImageIndex).Default(-1))
ORV_REGISTER(TcxEditorRowPropertiesOptions)
ORV_REGISTER(TcxMultiEditorRowPropertiesOptions, ORV_PROP(TabStop).Default(true))
ORV_REGISTER(TcxCellEdit)
ORV_REGISTER(TcxCustomEditorRowProperties, ORV_PROP(EditPropertiesClassName), ORV_PROP(EditProperties),
             ORV_PROP(RepositoryItem))
ORV_REGISTER(TcxEditorRowProperties, ORV_PROP(DataBinding), ORV_PROP(Options),
             ORV_PROP(Value).StoredBy<&TcxCustomEditorRowProperties::IsValueStored>(), ORV_EVENT(OnGetDisplayText),
             ORV_EVENT(OnGetEditProperties), ORV_EVENT(OnGetEditingProperties))
ORV_REGISTER(TcxCollectionItemEditorRowProperties, ORV_PROP(Width).Default(50), ORV_EVENT(EditPropertiesEvents))
ORV_REGISTER(TcxEditorRowItemProperties, ORV_PROP(DataBinding), ORV_PROP(Options),
             ORV_PROP(Value).StoredBy<&TcxCustomEditorRowProperties::IsValueStored>(), ORV_EVENT(OnGetDisplayText),
             ORV_EVENT(OnGetEditProperties), ORV_EVENT(OnGetEditingProperties))
ORV_REGISTER(TcxEditorPropertiesCollection)
ORV_REGISTER(TcxMultiEditorRowProperties, ORV_PROP(Editors), ORV_PROP(Fixed).Default(false),
             ORV_PROP(SeparatorAlignmentVert).Default(vaTop), ORV_PROP(SeparatorKind).Default(skVertLine),
             ORV_PROP(SeparatorString))
ORV_REGISTER(TcxCustomEditorRow)
ORV_REGISTER(TcxEditorRow, ORV_PROP(Expanded).Default(true), ORV_PROP(Height).Default(-1), ORV_PROP(Options),
             ::orv::MakeProp<ThisClass, static_cast<TcxEditorRowProperties* (ThisClass::*)() const>(
                                            &ThisClass::GetProperties),
                             &ThisClass::SetProperties>("Properties"),
             ORV_PROP(Styles), ORV_PROP(Visible).Default(true), ORV_EVENT(EditPropertiesEvents),
             ORV_EVENT(PropertiesEvents))
ORV_REGISTER(TcxCustomMultiEditorRow)
ORV_REGISTER(TcxMultiEditorRow, ORV_PROP(Expanded).Default(true), ORV_PROP(Height).Default(-1), ORV_PROP(Options),
             ::orv::MakeProp<ThisClass, static_cast<TcxMultiEditorRowProperties* (TcxCustomMultiEditorRow::*)() const>(
                                            &ThisClass::GetProperties),
                             &ThisClass::SetProperties>("Properties"),
             ORV_PROP(Styles), ORV_PROP(Visible).Default(true), ORV_EVENT(EditPropertiesEvents),
             ORV_EVENT(PropertiesEvents))

// ---------------------------------------------------------------------------
// TcxCustomRowProperties

TcxCustomRowProperties::TcxCustomRowProperties(TCollection* ACollection) : TcxInterfacedCollectionItem(ACollection) {
  if (auto* editors = dynamic_cast<TcxEditorPropertiesCollection*>(ACollection)) FRow = editors->GetRow();
}

TcxCustomRowProperties::TcxCustomRowProperties(TcxCustomRow* ARow) : TcxInterfacedCollectionItem(nullptr), FRow(ARow) {}

TPersistent* TcxCustomRowProperties::GetOwner() {
  if (GetCollection()) return GetCollection();
  return FRow;
}

void TcxCustomRowProperties::Changed() {
  if (GetCollection())
    TCollectionItem::Changed(true);
  else if (FRow && FRow->GetVisible())
    FRow->Changed(false);
}

// ---------------------------------------------------------------------------
// TcxCaptionRowProperties

void TcxCaptionRowProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCaptionRowProperties*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  TcxVerticalGridRows* rows = GetVerticalGrid() ? GetVerticalGrid()->GetRows() : nullptr;
  if (rows) rows->BeginUpdate();
  orv::ScopeExit end([rows] {
    if (rows) rows->EndUpdate();
  });
  FCaption = source->FCaption;
  FIsCaptionAssigned = source->FIsCaptionAssigned;
  SetImageIndex(source->GetImageIndex());
  SetHeaderAlignmentHorz(source->GetHeaderAlignmentHorz());
  SetHeaderAlignmentVert(source->GetHeaderAlignmentVert());
  Hint = source->Hint;
  Changed();
}

void TcxCaptionRowProperties::RestoreDefaults() {
  FIsCaptionAssigned = false;
  FCaption.clear();
  if (GetRow()) GetRow()->Changed(false);
}

AnsiString TcxCaptionRowProperties::GetCaption() { return FIsCaptionAssigned ? FCaption : DefaultCaption(); }

void TcxCaptionRowProperties::SetCaption(const AnsiString& Value) {
  if (FIsCaptionAssigned && FCaption == Value) return;
  FCaption = Value;
  FIsCaptionAssigned = true;
  Changed();
}

bool TcxCaptionRowProperties::IsCaptionStored() { return FIsCaptionAssigned && FCaption != DefaultCaption(); }

void TcxCaptionRowProperties::SetHeaderAlignmentHorz(TAlignment Value) {
  if (FHeaderAlignmentHorz == Value) return;
  FHeaderAlignmentHorz = Value;
  Changed();
}

void TcxCaptionRowProperties::SetHeaderAlignmentVert(TcxAlignmentVert Value) {
  if (FHeaderAlignmentVert == Value) return;
  FHeaderAlignmentVert = Value;
  Changed();
}

Integer TcxCaptionRowProperties::GetHeaderTextFlags() const {
  Integer flags = 0;
  if (FHeaderAlignmentHorz == taCenter) flags = 1;
  if (FHeaderAlignmentHorz == taRightJustify) flags = 2;
  if (FHeaderAlignmentVert == vaCenter) flags |= 0x10;
  if (FHeaderAlignmentVert == vaBottom) flags |= 0x20;
  return flags;
}

void TcxCaptionRowProperties::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// TcxCellEdit

TcxCustomRow* TcxCellEdit::GetRow() const { return FRowProperties ? FRowProperties->GetRow() : nullptr; }

bool TcxCellEdit::HasRows() {
  TcxCustomDataController* data = GetDataController();
  return data && data->GetRowCount() > 0;
}

Integer TcxCellEdit::RecordAt(Integer AFilteredIndex) {
  TcxCustomDataController* data = GetDataController();
  if (AFilteredIndex < 0 || AFilteredIndex >= data->GetFilteredRecordCount()) return -1;
  return data->GetFilteredRecordIndex(AFilteredIndex);
}

Variant TcxCellEdit::GetCurrentValue() {
  if (!HasRows()) return Null();
  return GetValue(GetDataController()->GetFocusedRowIndex());
}

void TcxCellEdit::SetCurrentValue(const Variant& Value) {
  if (!HasRows()) return;
  TcxCustomDataController* data = GetDataController();
  const Integer focused = data->GetFocusedRowIndex();
  if (focused < 0) return;
  if (data->GetEditState().Contains(dceEdit))
    data->SetEditValue(GetItemIndex(), Value, evsValue);
  else
    SetValue(focused, Value);
}

Variant TcxCellEdit::GetValue(Integer ARecordIndex) {
  if (!HasRows()) return Null();
  const Integer record = RecordAt(ARecordIndex);
  if (record < 0) return Null();
  return GetDataController()->GetValue(record, GetItemIndex());
}

void TcxCellEdit::SetValue(Integer ARecordIndex, const Variant& Value) {
  if (!HasRows()) return;
  const Integer record = RecordAt(ARecordIndex);
  if (record >= 0) GetDataController()->SetValue(record, GetItemIndex(), Value);
}

Integer TcxCellEdit::GetValueCount() {
  TcxCustomDataController* data = GetDataController();
  return data ? data->GetRowCount() : 0;
}

Variant TcxCellEdit::GetEditValue() {
  if (!GetEditing()) return Variant();
  if (!HasRows()) return Null();
  return GetDataController()->GetEditValue(GetItemIndex(), GetEditValueSource());
}

Variant TcxCellEdit::GetDisplayValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex) {
  if (!HasRows()) return Variant(AnsiString());
  const Integer record = RecordAt(ARecordIndex);
  if (record < 0) return Variant(AnsiString());
  if (AProperties && AProperties->GetEditValueSource(false) != evsValue)
    return Variant(GetDataController()->GetDisplayText(record, GetItemIndex()));
  return GetDataController()->GetValue(record, GetItemIndex());
}

void TcxCellEdit::DoGetDisplayText(Integer ARecordIndex, AnsiString& AText) {
  if (FRowProperties) FRowProperties->DoGetDisplayTextEvent(ARecordIndex, AText);
}

bool TcxCellEdit::HasDataTextHandler() { return FRowProperties && FRowProperties->OnGetDisplayText.Assigned(); }

// A row's handlers stand in for the item's own.
bool TcxCellEdit::IsRecordDependent() {
  if (!FRowProperties) return inherited::IsRecordDependent();
  return FRowProperties->OnGetEditProperties || FRowProperties->OnGetEditingProperties || HasDataTextHandler();
}

TcxCustomEditProperties* TcxCellEdit::PropertiesFromRowEvent(const TcxVerticalGridGetEditPropertiesEvent& AEvent,
                                                             TcxEditCellData AData,
                                                             TcxCustomEditProperties* ADefault) {
  TcxCustomEditProperties* result = ADefault;
  if (AEvent && FRowProperties) {
    AEvent(FRowProperties, static_cast<Integer>(AData), result);
    if (!result) result = ADefault;
  }
  InitProperties(result);
  return result;
}

TcxCustomEditProperties* TcxCellEdit::DoGetEditProperties(TcxEditCellData AData) {
  if (!FRowProperties) return inherited::DoGetEditProperties(AData);
  return PropertiesFromRowEvent(FRowProperties->OnGetEditProperties, AData, GetPropertiesValue());
}

void TcxCellEdit::DoGetEditingProperties(TcxEditCellData AData, TcxCustomEditProperties*& AProperties) {
  if (!FRowProperties) {
    inherited::DoGetEditingProperties(AData, AProperties);
    return;
  }
  AProperties = PropertiesFromRowEvent(FRowProperties->OnGetEditingProperties, AData, AProperties);
}

bool TcxCellEdit::CanFocus() {
  TcxCustomRow* row = GetRow();
  return (!row || row->GetOptions()->GetFocusing()) && inherited::CanFocus();
}

bool TcxCellEdit::CanTabStop() {
  TcxCustomRow* row = GetRow();
  return (!row || row->GetOptions()->GetTabStop()) && inherited::CanTabStop();
}

bool TcxCellEdit::CanInitEditing() { return inherited::CanInitEditing(); }

TcxCustomEditContainerItemOptionsClass TcxCellEdit::GetOptionsClass() const {
  // The container is made by its row before the properties know it: the
  // owner tells the kind of row.
  if (DynamicCast<TcxCustomMultiEditorRow>(const_cast<TcxCellEdit*>(this)->GetOwner()))
    return TcxMultiEditorRowPropertiesOptions::StaticClass();
  return TcxEditorRowPropertiesOptions::StaticClass();
}

TcxCustomItemDataBindingClass TcxCellEdit::GetDataBindingClass() const { return TcxItemDataBinding::StaticClass(); }

void TcxCellEdit::Calculate(TcxEditCellViewInfo* AValueInfo) {
  auto calculating = orv::TempValue(FCalculating, true);
  InitEditViewInfo(AValueInfo);
  CalculateEditViewInfo(AValueInfo->DisplayValue, AValueInfo, cxInvalidPoint);
}

void TcxCellEdit::PropertiesChanged() { inherited::PropertiesChanged(); }

TObject* TcxCellEdit::GetViewInfo() {
  TcxCustomRow* row = GetRow();
  return row ? row->GetViewInfo() : nullptr;
}

// ---------------------------------------------------------------------------
// TcxCustomEditorRowProperties

void TcxCustomEditorRowProperties::AfterConstruction() {
  inherited::AfterConstruction();
  FEditContainer = GetInplaceEditContainerClass().Construct<TComponent*>(GetRow());
  FEditContainer->SetRowProperties(this);
}

TcxCustomEditorRowProperties::~TcxCustomEditorRowProperties() { FreeAndNil(FEditContainer); }

void TcxCustomEditorRowProperties::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomEditorRowProperties*>(Source))
    FEditContainer->Assign(source->GetEditContainer());
  inherited::DoAssign(Source);
}

TcxCellEditClass TcxCustomEditorRowProperties::GetInplaceEditContainerClass() { return TcxCellEdit::StaticClass(); }

void TcxCustomEditorRowProperties::DoGetDisplayTextEvent(Integer ARecordIndex, AnsiString& AText) {
  if (OnGetDisplayText) OnGetDisplayText(this, ARecordIndex, AText);
}

Variant TcxCustomEditorRowProperties::GetValue() { return FEditContainer->GetCurrentValue(); }

void TcxCustomEditorRowProperties::SetValue(const Variant& Value) { FEditContainer->SetCurrentValue(Value); }

Variant TcxCustomEditorRowProperties::GetValues(Integer ARecordIndex) { return FEditContainer->GetValue(ARecordIndex); }

AnsiString TcxCustomEditorRowProperties::GetDisplayText(Integer ARecordIndex) {
  TcxCustomEditProperties* properties = FEditContainer->DoGetEditProperties(ARecordIndex);
  AnsiString text;
  if (properties) text = properties->GetDisplayText(FEditContainer->GetDisplayValue(properties, ARecordIndex));
  DoGetDisplayTextEvent(ARecordIndex, text);
  return text;
}

TcxItemDataBinding* TcxCustomEditorRowProperties::GetDataBinding() const {
  return static_cast<TcxItemDataBinding*>(FEditContainer->GetDataBinding());
}

void TcxCustomEditorRowProperties::SetDataBinding(TcxItemDataBinding* Value) { GetDataBinding()->Assign(Value); }

TcxCustomEditProperties* TcxCustomEditorRowProperties::GetEditProperties() const {
  return FEditContainer->GetProperties();
}

void TcxCustomEditorRowProperties::SetEditProperties(TcxCustomEditProperties* Value) {
  FEditContainer->SetProperties(Value);
}

TClass TcxCustomEditorRowProperties::GetEditPropertiesClass() const { return FEditContainer->GetPropertiesClass(); }

void TcxCustomEditorRowProperties::SetEditPropertiesClass(TClass Value) { FEditContainer->SetPropertiesClass(Value); }

AnsiString TcxCustomEditorRowProperties::GetEditPropertiesClassName() const {
  return FEditContainer->GetPropertiesClassName();
}

void TcxCustomEditorRowProperties::SetEditPropertiesClassName(const AnsiString& Value) {
  FEditContainer->SetPropertiesClassName(Value);
}

TcxEditRepositoryItem* TcxCustomEditorRowProperties::GetRepositoryItem() const {
  return FEditContainer->GetRepositoryItem();
}

void TcxCustomEditorRowProperties::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  FEditContainer->SetRepositoryItem(Value);
}

TcxCustomEditContainerItemOptions* TcxCustomEditorRowProperties::GetOptions() const {
  return FEditContainer->GetOptions();
}

void TcxCustomEditorRowProperties::SetOptions(TcxCustomEditContainerItemOptions* Value) {
  FEditContainer->SetOptions(Value);
}

Integer TcxCustomEditorRowProperties::GetItemIndex() const { return FEditContainer->GetItemIndex(); }

TcxCustomEditViewData* TcxCustomEditorRowProperties::GetEditViewData() const {
  return FEditContainer->GetEditViewData();
}

// ---------------------------------------------------------------------------
// TcxEditorRowProperties

void TcxEditorRowProperties::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  // Only a grid that keeps its own record takes the value over; a
  // data-bound grid's values belong to its data.
  if (auto* source = dynamic_cast<TcxEditorRowProperties*>(Source))
    if (dynamic_cast<TcxUnboundVerticalGrid*>(GetVerticalGrid())) SetValue(source->GetValue());
}

bool TcxCustomEditorRowProperties::IsValueStored() { return !VarIsNull(GetValue()) && !VarIsEmpty(GetValue()); }

// ---------------------------------------------------------------------------
// Editors of a multi-editor row

TcxCollectionItemEditorRowProperties::TcxCollectionItemEditorRowProperties(TCollection* ACollection)
    : TcxCustomEditorRowProperties(ACollection) {}

void TcxCollectionItemEditorRowProperties::AfterConstruction() {
  TcxCustomRowProperties* rowProperties = GetRow() ? GetRow()->GetRowProperties() : nullptr;
  if (rowProperties) rowProperties->SetLocked(true);
  orv::ScopeExit unlock([rowProperties] {
    if (rowProperties) rowProperties->SetLocked(false);
  });
  inherited::AfterConstruction();
  if (TcxCustomVerticalGrid* grid = GetVerticalGrid()) GetEditContainer()->SetEditingControl(grid);
}

void TcxCollectionItemEditorRowProperties::BeforeDestruction() {
  inherited::BeforeDestruction();
  if (auto* editors = dynamic_cast<TcxEditorPropertiesCollection*>(GetCollection())) editors->ForgetValueCells();
  SetCollection(nullptr);
}

void TcxCollectionItemEditorRowProperties::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxCollectionItemEditorRowProperties*>(Source)) SetWidth(source->GetWidth());
}

void TcxCollectionItemEditorRowProperties::SetWidth(Integer Value) {
  Value = std::clamp(Value, 20, cxvgMaxExtent);
  if (FWidth == Value) return;
  FWidth = Value;
  Changed();
}

void TcxEditorRowItemProperties::DoAssign(TPersistent* Source) {
  inherited::DoAssign(Source);
  if (auto* source = dynamic_cast<TcxEditorRowItemProperties*>(Source)) SetValue(source->GetValue());
}

TcxEditorPropertiesCollection::TcxEditorPropertiesCollection(TcxCustomMultiEditorRow* ARow)
    : TCollection(TcxEditorRowItemProperties::StaticClass()), FRow(ARow) {}

TPersistent* TcxEditorPropertiesCollection::GetOwner() { return FRow ? FRow->GetRowProperties() : nullptr; }

void TcxEditorPropertiesCollection::ForgetValueCells() {
  TcxCustomVerticalGrid* grid = FRow ? FRow->GetVerticalGrid() : nullptr;
  if (!grid || grid->GetIsDestroying()) return;
  grid->HideEdit();
  if (auto* rowViewInfo = dynamic_cast<TcxCustomRowViewInfo*>(FRow->GetViewInfo()))
    rowViewInfo->GetValuesInfo()->Trunc(0);
}

void TcxEditorPropertiesCollection::Update(TCollectionItem*) {
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->GetEditContainer()->CellIndex = i;
  TcxCustomVerticalGrid* grid = FRow ? FRow->GetVerticalGrid() : nullptr;
  if (grid) grid->ItemsChanged();
  if (!grid || grid->GetIsLoading() || grid->GetIsDestroying()) return;
  ForgetValueCells();
  if (FRow->GetRowProperties()->GetLocked()) return;
  if (grid->GetFocusedRow() == FRow) grid->SetFocusedRow(nullptr);
  FRow->Changed(false);
}

void TcxMultiEditorRowProperties::AfterConstruction() {
  inherited::AfterConstruction();
  FEditors = TClassRef<TcxEditorPropertiesCollection>(GetCollectionClass())
                 .Construct<TcxCustomMultiEditorRow*>(dynamic_cast<TcxCustomMultiEditorRow*>(GetRow()));
}

TcxMultiEditorRowProperties::~TcxMultiEditorRowProperties() { FreeAndNil(FEditors); }

void TcxMultiEditorRowProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxMultiEditorRowProperties*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  SetSeparatorAlignmentVert(source->GetSeparatorAlignmentVert());
  SetSeparatorKind(source->GetSeparatorKind());
  SetSeparatorString(source->GetSeparatorString());
  SetFixed(source->GetFixed());
  FEditors->Assign(source->GetEditors());
}

void TcxMultiEditorRowProperties::SetFixed(bool Value) {
  if (FFixed == Value) return;
  FFixed = Value;
  Changed();
}

void TcxMultiEditorRowProperties::SetSeparatorAlignmentVert(TcxAlignmentVert Value) {
  if (FSeparatorAlignmentVert == Value) return;
  FSeparatorAlignmentVert = Value;
  Changed();
}

void TcxMultiEditorRowProperties::SetSeparatorKind(TSeparatorKind Value) {
  if (FSeparatorKind == Value) return;
  FSeparatorKind = Value;
  Changed();
}

void TcxMultiEditorRowProperties::SetSeparatorString(const AnsiString& Value) {
  if (FSeparatorString == Value) return;
  FSeparatorString = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Editor rows

bool TcxCustomEditorRow::CanFocus() {
  return GetOptions()->GetFocusing() && GetProperties()->GetOptions()->GetFocusing();
}

Integer TcxCustomEditorRow::GetDefaultHeight() {
  Integer height = inherited::GetDefaultHeight();
  if (TcxCustomVerticalGrid* grid = GetVerticalGrid()) {
    const TcxViewParams params = grid->GetStyles()->GetContentParams(GetProperties(), false, -1);
    height = std::max(height, GetProperties()->GetEditContainer()->GetEditDefaultHeight(params.Font) + 4);
  }
  return height;
}

TcxCustomInplaceEditContainer* TcxCustomEditorRow::GetEditContainer(Integer) {
  return GetProperties()->GetEditContainer();
}

TClass TcxCustomEditorRow::GetPropertiesClass() { return TcxCustomEditorRowProperties::StaticClass(); }

TClass TcxCustomEditorRow::GetStylesClass() { return TcxEditorRowStyles::StaticClass(); }

void TcxCustomEditorRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  inherited::SetVerticalGrid(Value);
  if (GetProperties()) GetProperties()->GetEditContainer()->SetEditingControl(Value);
}

void TcxCustomEditorRow::SetParentComponent(TComponent* Value) {
  inherited::SetParentComponent(Value);
  if (GetProperties()) GetProperties()->GetEditContainer()->SetEditingControl(GetVerticalGrid());
}

TcxCustomEditorRowProperties* TcxCustomEditorRow::GetProperties() const {
  return static_cast<TcxCustomEditorRowProperties*>(FProperties);
}

void TcxCustomEditorRow::SetProperties(TcxCustomEditorRowProperties* Value) { FProperties->Assign(Value); }

TClass TcxEditorRow::GetPropertiesClass() { return TcxEditorRowProperties::StaticClass(); }

TcxEditorRowProperties* TcxEditorRow::GetProperties() const { return static_cast<TcxEditorRowProperties*>(FProperties); }

void TcxEditorRow::SetProperties(TcxEditorRowProperties* Value) { FProperties->Assign(Value); }

// ---------------------------------------------------------------------------
// Multi-editor rows

bool TcxCustomMultiEditorRow::CanFocus() {
  if (!GetOptions()->GetFocusing()) return false;
  TcxEditorPropertiesCollection* editors = GetProperties()->GetEditors();
  for (Integer i = 0; i < editors->GetCount(); ++i)
    if (editors->GetItem(i)->GetOptions()->GetFocusing()) return true;
  return false;
}

Integer TcxCustomMultiEditorRow::GetDefaultHeight() {
  Integer height = inherited::GetDefaultHeight();
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (!grid) return height;
  TcxEditorPropertiesCollection* editors = GetProperties()->GetEditors();
  for (Integer i = 0; i < editors->GetCount(); ++i) {
    TcxEditorRowItemProperties* editor = editors->GetItem(i);
    const TcxViewParams params = grid->GetStyles()->GetContentParams(editor, false, -1);
    height = std::max(height, editor->GetEditContainer()->GetEditDefaultHeight(params.Font) + 4);
  }
  return height;
}

TcxCustomInplaceEditContainer* TcxCustomMultiEditorRow::GetEditContainer(Integer AIndex) {
  TcxEditorPropertiesCollection* editors = GetProperties()->GetEditors();
  if (AIndex < 0 || AIndex >= editors->GetCount()) return nullptr;
  return editors->GetItem(AIndex)->GetEditContainer();
}

Integer TcxCustomMultiEditorRow::GetEditContainerCount() { return GetProperties()->GetEditors()->GetCount(); }

TClass TcxCustomMultiEditorRow::GetPropertiesClass() { return TcxMultiEditorRowProperties::StaticClass(); }

TClass TcxCustomMultiEditorRow::GetStylesClass() { return TcxEditorRowStyles::StaticClass(); }

void TcxCustomMultiEditorRow::AttachEditors(TcxCustomVerticalGrid* AGrid) {
  if (!GetProperties()) return;
  TcxEditorPropertiesCollection* editors = GetProperties()->GetEditors();
  for (Integer i = 0; i < editors->GetCount(); ++i) editors->GetItem(i)->GetEditContainer()->SetEditingControl(AGrid);
}

void TcxCustomMultiEditorRow::SetVerticalGrid(TcxCustomVerticalGrid* Value) {
  inherited::SetVerticalGrid(Value);
  AttachEditors(Value);
}

void TcxCustomMultiEditorRow::SetParentComponent(TComponent* Value) {
  inherited::SetParentComponent(Value);
  AttachEditors(GetVerticalGrid());
}

TcxMultiEditorRowProperties* TcxCustomMultiEditorRow::GetProperties() const {
  return static_cast<TcxMultiEditorRowProperties*>(FProperties);
}

void TcxCustomMultiEditorRow::SetProperties(TcxMultiEditorRowProperties* Value) { FProperties->Assign(Value); }
