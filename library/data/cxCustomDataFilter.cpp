#include "library/data/cxCustomDataFilter.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxFilterConsts.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"

ORV_REGISTER(TcxDataFilterCriteriaItem)
ORV_REGISTER(TcxDataFilterValueList)
ORV_REGISTER(TcxDataFilterCriteria, ORV_PROP(Active))
ORV_REGISTER(TcxDataFilterList)

namespace {
void* RecordData(Integer ARecordIndex) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(ARecordIndex)); }
Integer DataRecord(void* AData) { return static_cast<Integer>(reinterpret_cast<std::intptr_t>(AData)); }
}  // namespace

// ---------------------------------------------------------------------------
// TcxDataFilterCriteriaItem

TcxCustomDataField* TcxDataFilterCriteriaItem::GetField() const {
  return dynamic_cast<TcxCustomDataField*>(TcxFilterCriteriaItem::GetItemLink());
}

TcxCustomDataController* TcxDataFilterCriteriaItem::GetDataController() const {
  auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(GetCriteria());
  return criteria ? criteria->GetDataController() : nullptr;
}

Variant TcxDataFilterCriteriaItem::GetDataValue(void* AData) {
  TcxCustomDataField* field = GetField();
  TcxCustomDataController* c = GetDataController();
  if (!field || !c) return Null();
  return c->GetFilterDataValue(DataRecord(AData), field);
}

AnsiString TcxDataFilterCriteriaItem::GetFieldCaption() {
  TcxCustomDataField* field = GetField();
  TcxCustomDataController* c = GetDataController();
  if (!field || !c || !field->GetItem()) return AnsiString();
  return c->GetFilterItemFieldCaption(field->GetItem());
}

AnsiString TcxDataFilterCriteriaItem::GetFieldName() {
  TcxCustomDataField* field = GetField();
  TcxCustomDataController* c = GetDataController();
  if (!field || !c || !field->GetItem()) return AnsiString();
  return c->GetFilterItemFieldName(field->GetItem());
}

TObject* TcxDataFilterCriteriaItem::GetItemLink() const {
  TcxCustomDataField* field = GetField();
  return field ? field->GetItem() : nullptr;
}

// ---------------------------------------------------------------------------
// TcxDataFilterCriteria

TcxDataFilterCriteria::TcxDataFilterCriteria(TcxCustomDataController* ADataController)
    : FDataController(ADataController) {}

TcxDataFilterCriteria::~TcxDataFilterCriteria() {
  FDestroying = true;
  if (FDataController && FDataController->GetFilterList()) FDataController->GetFilterList()->Remove(this);
  FActive = false;
}

TObject* TcxDataFilterCriteria::TranslateLink(TObject* AItemLink) const {
  if (!AItemLink || dynamic_cast<TcxCustomDataField*>(AItemLink)) return AItemLink;
  return FDataController->FieldByItem(AItemLink);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::AddItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                      TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                      const AnsiString& ADisplayValue) {
  return TcxFilterCriteria::AddItem(AParent, TranslateLink(AItemLink), AOperatorKind, AValue, ADisplayValue);
}

namespace {
// Conditions keep the field as their link and answer its item; a search by
// field must compare the field itself, or a condition whose field goes
// would be missed and keep a freed field.
TcxFilterCriteriaItem* FindByField(TcxFilterCriteriaItemList* AList, TcxCustomDataField* AField) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (auto* list = dynamic_cast<TcxFilterCriteriaItemList*>(entry)) {
      if (TcxFilterCriteriaItem* found = FindByField(list, AField)) return found;
    } else if (auto* item = dynamic_cast<TcxDataFilterCriteriaItem*>(entry)) {
      if (item->GetField() == AField) return item;
    }
  }
  return nullptr;
}
}  // namespace

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemByItemLink(TObject* AItemLink) {
  auto* field = dynamic_cast<TcxCustomDataField*>(TranslateLink(AItemLink));
  return field ? FindByField(GetRoot(), field) : TcxFilterCriteria::FindItemByItemLink(AItemLink);
}

void TcxDataFilterCriteria::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxDataFilterCriteria*>(Source)) {
    auto update = orv::UpdateScope(this);
    TcxFilterCriteria::DoAssign(Source);
    SetActive(source->FActive);
    return;
  }
  TcxFilterCriteria::DoAssign(Source);
}

void TcxDataFilterCriteria::AssignEvents(TcxFilterCriteria* ASource) {
  TcxFilterCriteria::AssignEvents(ASource);
  if (auto* source = dynamic_cast<TcxDataFilterCriteria*>(ASource)) OnGetValueList = source->OnGetValueList;
}

void TcxDataFilterCriteria::DefineProperties(TFiler* Filer) {
  TcxFilterCriteria::DefineProperties(Filer);
  Filer->DefineBinaryProperty("Criteria", TStreamProc::Bind<&TcxDataFilterCriteria::ReadCriteria>(this),
                              TStreamProc::Bind<&TcxDataFilterCriteria::WriteCriteria>(this), IsStore());
}

Integer TcxDataFilterCriteria::GetIDByItemLink(TObject* AItemLink) {
  auto* field = dynamic_cast<TcxCustomDataField*>(AItemLink);
  return FDataController->GetItemID(field ? field->GetItem() : AItemLink);
}

TObject* TcxDataFilterCriteria::GetItemLinkByID(Integer AID) {
  TObject* item = FDataController->FindItemByInternalID(AID);
  return item ? FDataController->FieldByItem(item) : nullptr;
}

TcxFilterCriteriaItemClass TcxDataFilterCriteria::GetItemClass() { return TcxDataFilterCriteriaItem::StaticClass(); }

TcxDataFilterValueList* TcxDataFilterCriteria::CreateValueList() { return New<TcxDataFilterValueList>(this); }

bool TcxDataFilterCriteria::IsFiltering() { return FActive && !IsEmpty() && !FDataController->IsGridMode(); }

bool TcxDataFilterCriteria::IsDestroying() const { return FDestroying || FDataController->IsDestroying(); }

bool TcxDataFilterCriteria::IsInternal() const {
  return FDataController->GetFilterList() && FDataController->GetFilterList()->Contains(this);
}

bool TcxDataFilterCriteria::IsLoading() const { return FDataController->IsLoading(); }

void TcxDataFilterCriteria::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Changed();
}

bool TcxDataFilterCriteria::DoFilterRecord(Integer ARecordIndex) { return DoFilterData(RecordData(ARecordIndex)); }

namespace {

// The stored fields the conditions of a list (and its sublists) name.
void CollectFilterDefs(TcxFilterCriteriaItemList* AList, std::vector<TcxValueDef*>& ADefs) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (entry->GetIsItemList()) {
      CollectFilterDefs(static_cast<TcxFilterCriteriaItemList*>(entry), ADefs);
    } else if (entry->ClassType() == TcxDataFilterCriteriaItem::StaticClass()) {
      if (TcxCustomDataField* field = static_cast<TcxDataFilterCriteriaItem*>(entry)->GetField())
        if (TcxValueDef* def = field->GetValueDef()) ADefs.push_back(def);
    }
  }
}

}  // namespace

void TcxDataFilterCriteria::KeepColumns() {
  if (!FDataController->IsFilterDataValueStored()) return;
  std::vector<TcxValueDef*> defs;
  CollectFilterDefs(GetRoot(), defs);
  TcxDataStorage* storage = FDataController->GetDataStorage();
  for (TcxValueDef* def : defs)
    if (!storage->GetTextColumn(def)) storage->GetColumn(def);
}

void TcxDataFilterCriteria::Update() {
  if (IsInternal() || IsDestroying() || IsLoading()) return;
  KeepColumns();
  if (!FDataController->GetProvider()->IsDataSource()) FDataController->Post();
  FDataController->FilterChanged();
  TcxFilterCriteria::Update();
}

// ---------------------------------------------------------------------------
// TcxDataFilterValueList

TcxDataFilterValueList::TcxDataFilterValueList(TcxDataFilterCriteria* ACriteria)
    : TcxFilterValueList(ACriteria), FDataCriteria(ACriteria) {}

TcxCustomDataController* TcxDataFilterValueList::GetDataController() const { return FDataCriteria->GetDataController(); }

void TcxDataFilterValueList::Load(Integer AItemIndex, bool AInitSortByDisplayText, bool AUseFilteredValues) {
  TcxCustomDataController* c = GetDataController();
  c->CheckItemRange(AItemIndex);
  Clear();
  if (AInitSortByDisplayText) SetSortByDisplayText(c->IsFilterItemSortByDisplayText(AItemIndex));
  Add(fviAll, Null(), cxSFilterString(cxSFilterBoxAllCaption), false);
  Add(fviCustom, Null(), cxSFilterString(cxSFilterBoxCustomCaption), false);
  TcxCustomDataField* field = c->GetField(AItemIndex);
  bool hasBlanks = false;
  if (c->IsGridMode()) {
    hasBlanks = true;
  } else {
    const bool filtered = AUseFilteredValues && c->GetFilteredRecordCount() > 0;
    const Integer count = filtered ? c->GetFilteredRecordCount() : c->GetRecordCount();
    for (Integer i = 0; i < count; ++i) {
      const Integer r = filtered ? c->GetFilteredRecordIndex(i) : i;
      const Variant v = c->GetFilterDataValue(r, field);
      if (FDataCriteria->ValueIsNull(v))
        hasBlanks = true;
      else
        Add(fviValue, v, c->GetFilterDisplayText(r, AItemIndex), true);
    }
  }
  if (hasBlanks) Add(fviBlanks, Null(), cxSFilterString(cxSFilterBoxBlanksCaption), false);
  bool nonBlanks = hasBlanks;
  if (!nonBlanks && AUseFilteredValues) {
    if (TcxFilterCriteriaItem* item = FDataCriteria->FindItemByItemLink(field))
      nonBlanks = dynamic_cast<TcxFilterNotNullOperator*>(item->GetOperator()) != nullptr;
  }
  if (nonBlanks) Add(fviNonBlanks, Null(), cxSFilterString(cxSFilterBoxNonBlanksCaption), false);
  if (FDataCriteria->OnGetValueList) FDataCriteria->OnGetValueList(FDataCriteria, AItemIndex, this);
}

// ---------------------------------------------------------------------------
// TcxDataFilterList

void TcxDataFilterList::Remove(TcxDataFilterCriteria* ACriteria) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), ACriteria), FItems.end());
}

void TcxDataFilterList::Clear() {
  while (!FItems.empty()) {
    TcxDataFilterCriteria* last = FItems.back();
    FItems.pop_back();
    last->Free();
  }
}

void TcxDataFilterList::RemoveItemByField(TcxCustomDataField* AField) {
  for (TcxDataFilterCriteria* c : FItems) c->RemoveItemByField(AField);
}

bool TcxDataFilterList::Contains(const TcxDataFilterCriteria* ACriteria) const {
  return std::find(FItems.begin(), FItems.end(), ACriteria) != FItems.end();
}

AnsiString ExtractFilterDisplayValue(const AnsiString& AText, Integer& APosition) {
  if (APosition < 1) APosition = 1;
  const size_t start = static_cast<size_t>(APosition - 1);
  if (start >= AText.size()) {
    APosition = static_cast<Integer>(AText.size()) + 1;
    return AnsiString();
  }
  const size_t pos = AText.find(';', start);
  const size_t end = pos == AnsiString::npos ? AText.size() : pos;
  APosition = static_cast<Integer>(pos == AnsiString::npos ? AText.size() : pos + 1) + 1;
  return Trim(std::string_view(AText).substr(start, end - start));
}
