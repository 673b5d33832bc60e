#include "library/data/cxCustomData.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

ORV_REGISTER(TcxCustomDataField)
ORV_REGISTER(TcxCustomDataFieldList)
ORV_REGISTER(TcxSortingFieldList)
ORV_REGISTER(TcxGroupingFieldList)

namespace {
[[noreturn]] void IndexError(Integer AIndex) { throw EListError("List index out of bounds (%d)", {AIndex}); }

bool IsLastLaidOutAsNew(const TcxValueDef* ADef, bool AStored, bool ATextStored) {
  const TcxValueDefs* defs = ADef->GetValueDefs();
  return defs && defs->IndexOf(ADef) == defs->GetCount() - 1 &&
         defs->GetStartOffset() == defs->GetDataStorage()->StartOffsetOf(defs) && ADef->GetStoredFlag() == AStored &&
         ADef->GetStored() && ADef->GetTextStored() == ATextStored && ADef->GetStreamed();
}

// Whether a column can take another value type where it lies, leaving the
// storage as dropping it and adding it anew with these settings would: it
// is the last column, laid out as a new one is, its twin is the last of the
// edit copies' columns, and it is not the only stored column (dropping
// that one frees the records' buffers).
bool CanRetypeInPlace(const TcxValueDef* ADef, bool AStored, bool ATextStored) {
  if (!IsLastLaidOutAsNew(ADef, AStored, ATextStored)) return false;
  TcxDataStorage* storage = ADef->GetValueDefs()->GetDataStorage();
  if (ADef->GetValueDefs() != storage->GetValueDefs()) return false;
  const TcxValueDef* twin = storage->GetInternalValueDefs()->FindByLinkObject(ADef);
  if (!twin || !IsLastLaidOutAsNew(twin, true, ATextStored)) return false;
  return storage->GetUseRecordID() || storage->GetValueDefs()->HasStored(2);
}
}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomDataField

TcxCustomDataField::~TcxCustomDataField() {
  if (FFieldList && FListed) FFieldList->RemoveField(this);
  ClearData();
}

const TcxCustomDataField* TcxCustomDataField::Data() const {
  const TcxCustomDataField* f = this;
  while (f->FReferenceField) f = f->FReferenceField;
  return f;
}

IcxDataFieldController* TcxCustomDataField::GetDataController() const {
  return FFieldList ? FFieldList->GetController() : nullptr;
}

TObject* TcxCustomDataField::GetNotifier() const {
  IcxDataFieldController* controller = GetDataController();
  return controller ? controller->GetNotifier() : nullptr;
}

bool TcxCustomDataField::CanModify(TcxDataEditValueSource) {
  IcxDataFieldController* controller = GetDataController();
  return GetValueDef() != nullptr || (controller && controller->IsProviderMode());
}

void TcxCustomDataField::Changed() {
  if (IcxDataFieldController* controller = GetDataController()) controller->FieldStructureChanged();
}

void TcxCustomDataField::ClearData() {
  if (FReferenceField || !FValueDef) return;
  TcxValueDef* def = FValueDef;
  FValueDef = nullptr;
  def->Free();
}

void TcxCustomDataField::CreateData() {
  if (FReferenceField || !FValueTypeClass) return;
  IcxDataFieldController* controller = GetDataController();
  if (!controller) return;
  ClearData();
  // The definition is stored in stored-values-only mode only for internal
  // fields: ordinary fields there live in the data source.
  FValueDef = controller->GetFieldValueDefs()->Add(FValueTypeClass, FIsInternal, FTextStored, this);
}

void TcxCustomDataField::BeginRecreateData() {
  if (FRecreateLock++ == 0) ClearData();
}

void TcxCustomDataField::EndRecreateData() {
  if (FRecreateLock > 0 && --FRecreateLock == 0) CreateData();
}

void TcxCustomDataField::Reassign(TcxCustomDataField* ASource) {
  if (FReferenceField) --FReferenceField->FReferenceCount;
  FReferenceField = nullptr;
  FValueDef = ASource->FValueDef;
  if (FValueDef) FValueDef->SetLinkObject(this);
  FValueTypeClass = ASource->FValueTypeClass;
  FTextStored = ASource->FTextStored;
  ASource->FValueDef = nullptr;
  ASource->FValueTypeClass = nullptr;
}

Integer TcxCustomDataField::GetIndex() const { return FFieldList ? FFieldList->IndexOf(this) : -1; }

void TcxCustomDataField::SetIndex(Integer Value) {
  if (FFieldList) FFieldList->Move(GetIndex(), Value);
}

void TcxCustomDataField::SetIsInternal(bool Value) {
  if (FIsInternal == Value) return;
  FIsInternal = Value;
  if (FFieldList) FFieldList->Update();
}

void TcxCustomDataField::SetReferenceField(TcxCustomDataField* Value) {
  if (FReferenceField == Value) return;
  TcxCustomDataField* end = Value;
  while (end && end->FReferenceField) end = end->FReferenceField;
  if (end == this) return;  // would close a ring
  if (!FReferenceField) {
    ClearData();
    FValueTypeClass = nullptr;
  }
  if (FReferenceField) --FReferenceField->FReferenceCount;
  FReferenceField = end;
  if (end) ++end->FReferenceCount;
}

void TcxCustomDataField::SetItem(TObject* Value) {
  TObject* old = FItem;
  FItem = Value;
  if (FFieldList && FListed && old != Value) FFieldList->ItemChanged(this, old);
}

void TcxCustomDataField::SetTextStored(bool Value) {
  if (FReferenceField || FTextStored == Value) return;
  BeginRecreateData();
  FTextStored = Value;
  EndRecreateData();
}

void TcxCustomDataField::SetValueTypeClass(TcxValueTypeClass Value) {
  if (FReferenceField || FValueTypeClass == Value) return;
  // The column added last (a row just added to a grid and given its type)
  // is retyped where it lies, its values dropped, rather than dropped and
  // made anew.
  if (Value && FValueDef && FRecreateLock == 0 && CanRetypeInPlace(FValueDef, FIsInternal, FTextStored)) {
    FValueTypeClass = Value;
    FValueDef->SetValueTypeClass(Value);
    return;
  }
  BeginRecreateData();
  FValueTypeClass = Value;
  EndRecreateData();
}

// ---------------------------------------------------------------------------
// TcxCustomDataFieldList

TcxCustomDataFieldList::~TcxCustomDataFieldList() { Clear(); }

void TcxCustomDataFieldList::Add(TcxCustomDataField* AField) {
  if (!AField || (AField->FListed && AField->FFieldList == this)) return;
  if (AField->FIsInternal)
    FItems.push_back(AField);
  else
    FItems.insert(FItems.begin() + GetItemCount(), AField);
  AField->FFieldList = this;
  AField->FListed = true;
  if (AField->FIsInternal) ++FInternalCount;
  if (AField->FItem) IndexByItem(AField);
}

void TcxCustomDataFieldList::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxCustomDataField* TcxCustomDataFieldList::FieldByItem(TObject* AItem) const {
  if (!AItem) {
    for (TcxCustomDataField* f : FItems)
      if (!f->FItem) return f;
    return nullptr;
  }
  if (FIndexedCount == 0) return nullptr;
  // Items mostly leave last first, and one whose field is the last needs
  // no bucket, which lies anywhere in the index: unless two fields share an
  // item, that field is its only one.
  if (FSharedItems == 0) {
    const Integer count = GetItemCount();
    if (count > 0 && FItems[static_cast<size_t>(count - 1)]->FItem == AItem)
      return FItems[static_cast<size_t>(count - 1)];
  }
  // The first of them in the list's order.
  const std::uint32_t hash = ItemHash(AItem);
  TcxCustomDataField* first = nullptr;
  for (std::uint32_t e = Bucket(hash); e; e = FByItemEntries[e - 1].Next) {
    const TByItemEntry& entry = FByItemEntries[e - 1];
    if (entry.Field && entry.Hash == hash && entry.Field->FItem == AItem &&
        (!first || IndexOf(entry.Field) < IndexOf(first)))
      first = entry.Field;
  }
  return first;
}

void TcxCustomDataFieldList::ItemChanged(TcxCustomDataField* AField, TObject* AOldItem) {
  if (AOldItem) UnindexByItem(AField, AOldItem);
  if (AField->FItem) IndexByItem(AField);
}

// Objects lie at least 8 bytes apart: the product's high bits mix all of
// the address's others.
std::uint32_t TcxCustomDataFieldList::ItemHash(const TObject* AItem) {
  const UInt64 h = static_cast<UInt64>(reinterpret_cast<std::uintptr_t>(AItem)) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::uint32_t>(h >> 32);
}

bool TcxCustomDataFieldList::HasOtherField(std::uint32_t AHash, const TObject* AItem,
                                           const TcxCustomDataField* AField) const {
  for (std::uint32_t e = Bucket(AHash); e; e = FByItemEntries[e - 1].Next) {
    const TByItemEntry& entry = FByItemEntries[e - 1];
    if (entry.Field && entry.Field != AField && entry.Hash == AHash && entry.Field->FItem == AItem) return true;
  }
  return false;
}

void TcxCustomDataFieldList::IndexByItem(TcxCustomDataField* AField) {
  if (FByItemEntries.size() + 1 > FByItem.size()) {
    // Twice as many buckets as fields: the entries of fields that left go,
    // and the others are dealt out again.
    std::size_t size = 16;
    while (size < 2 * (FIndexedCount + 1)) size *= 2;
    RebuildIndex(size);
  }
  const std::uint32_t hash = ItemHash(AField->FItem);
  if (HasOtherField(hash, AField->FItem, AField)) ++FSharedItems;
  const auto entry = static_cast<std::uint32_t>(FByItemEntries.size());
  std::uint32_t& head = Bucket(hash);
  FByItemEntries.push_back({AField, head, hash});
  head = entry + 1;
  AField->FByItemEntry = entry;
  ++FIndexedCount;
}

void TcxCustomDataFieldList::UnindexByItem(TcxCustomDataField* AField, const TObject* AItem) {
  TByItemEntry& entry = FByItemEntries[AField->FByItemEntry];
  entry.Field = nullptr;
  if (FSharedItems > 0 && HasOtherField(entry.Hash, AItem, AField)) --FSharedItems;
  // The last one gone gives the index back.
  if (--FIndexedCount == 0) {
    FByItemEntries.clear();
    FByItemEntries.shrink_to_fit();
    FByItem.clear();
    FByItem.shrink_to_fit();
    FSharedItems = 0;
  }
}

void TcxCustomDataFieldList::RebuildIndex(std::size_t ABucketCount) {
  std::uint32_t kept = 0;
  for (std::uint32_t e = 0; e < FByItemEntries.size(); ++e) {
    const TByItemEntry& entry = FByItemEntries[e];
    if (!entry.Field) continue;
    // Fields before the first entry that went keep their place untouched.
    if (e != kept) {
      entry.Field->FByItemEntry = kept;
      FByItemEntries[kept] = entry;
    }
    ++kept;
  }
  FByItemEntries.resize(kept);
  FByItem.assign(ABucketCount, 0);
  FByItemShift = 32;
  for (std::size_t s = ABucketCount; s > 1; s >>= 1) --FByItemShift;
  for (std::uint32_t e = 0; e < kept; ++e) {
    std::uint32_t& head = Bucket(FByItemEntries[e].Hash);
    FByItemEntries[e].Next = head;
    head = e + 1;
  }
}

void TcxCustomDataFieldList::RemoveField(TcxCustomDataField* AField) {
  const Integer index = IndexOf(AField);
  if (index < 0) return;
  FRemoving = true;
  ReassignFields(AField);
  FItems.erase(FItems.begin() + index);
  AField->FListed = false;
  if (AField->FIsInternal) --FInternalCount;
  if (AField->FItem) UnindexByItem(AField, AField->FItem);
  if (FController) FController->FieldRemoved(AField);
  FRemoving = false;
}

void TcxCustomDataFieldList::ReassignFields(TcxCustomDataField* AField) {
  if (AField->FReferenceCount == 0) return;
  TcxCustomDataField* heir = nullptr;
  for (TcxCustomDataField* f : FItems) {
    if (f == AField || f->FReferenceField != AField) continue;
    if (!heir) {
      heir = f;
      f->Reassign(AField);
    } else {
      --AField->FReferenceCount;
      f->FReferenceField = heir;
      ++heir->FReferenceCount;
    }
  }
}

void TcxCustomDataFieldList::RemoveNotification(TComponent* AComponent) {
  for (TcxCustomDataField* f : std::vector<TcxCustomDataField*>(FItems)) f->RemoveNotification(AComponent);
}

void TcxCustomDataFieldList::Update() {
  FInternalCount = static_cast<Integer>(std::count_if(FItems.begin(), FItems.end(),
                                                      [](TcxCustomDataField* f) { return f->FIsInternal; }));
}

void TcxCustomDataFieldList::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex < 0 || ACurIndex >= GetCount()) IndexError(ACurIndex);
  if (ANewIndex < 0 || ANewIndex >= GetCount()) IndexError(ANewIndex);
  if (ACurIndex == ANewIndex) return;
  TcxCustomDataField* f = FItems[static_cast<size_t>(ACurIndex)];
  FItems.erase(FItems.begin() + ACurIndex);
  FItems.insert(FItems.begin() + ANewIndex, f);
}

TcxCustomDataField* TcxCustomDataFieldList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  return FItems[static_cast<size_t>(Index)];
}

// From the end: the fields added last are the ones most often looked for.
Integer TcxCustomDataFieldList::IndexOf(const TcxCustomDataField* AField) const {
  for (size_t i = FItems.size(); i-- > 0;)
    if (FItems[i] == AField) return static_cast<Integer>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Sorting and grouping lists

void TcxSortingFieldList::CheckIndex(Integer AIndex, Integer ACount) const {
  if (AIndex < 0 || AIndex >= ACount) IndexError(AIndex);
}

const TcxDataSortInfo& TcxSortingFieldList::GetItem(Integer Index) const {
  CheckIndex(Index, GetCount());
  return FItems[static_cast<size_t>(Index)];
}

void TcxSortingFieldList::Changed() {
  if (OnChanged) OnChanged();
}

void TcxSortingFieldList::Add(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  FItems.push_back({AField, ASortOrder});
  Changed();
}

void TcxSortingFieldList::Insert(Integer AIndex, TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  CheckIndex(AIndex, GetCount() + 1);
  FItems.insert(FItems.begin() + AIndex, {AField, ASortOrder});
  Changed();
}

void TcxSortingFieldList::Delete(Integer AIndex) {
  CheckIndex(AIndex, GetCount());
  FItems.erase(FItems.begin() + AIndex);
  Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* AField) {
  const Integer index = Find(AField);
  if (index >= 0) Delete(index);
}

void TcxSortingFieldList::Clear() {
  while (!FItems.empty()) Delete(0);
}

void TcxSortingFieldList::Move(Integer AFromIndex, Integer AToIndex) {
  if (AFromIndex == AToIndex) return;
  CheckIndex(AFromIndex, GetCount());
  CheckIndex(AToIndex, GetCount());
  TcxDataSortInfo info = FItems[static_cast<size_t>(AFromIndex)];
  FItems.erase(FItems.begin() + AFromIndex);
  FItems.insert(FItems.begin() + AToIndex, info);
  Changed();
}

Integer TcxSortingFieldList::Find(TcxCustomDataField* AField) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Field == AField) return static_cast<Integer>(i);
  return -1;
}

TcxDataSortOrder TcxSortingFieldList::SortOrderByField(TcxCustomDataField* AField) const {
  const Integer index = Find(AField);
  return index < 0 ? soNone : FItems[static_cast<size_t>(index)].SortOrder;
}

void TcxSortingFieldList::SetSortOrder(Integer AIndex, TcxDataSortOrder ASortOrder) {
  CheckIndex(AIndex, GetCount());
  if (FItems[static_cast<size_t>(AIndex)].SortOrder == ASortOrder) return;
  FItems[static_cast<size_t>(AIndex)].SortOrder = ASortOrder;
  Changed();
}

void TcxSortingFieldList::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  const Integer index = Find(AField);
  if (index < 0) {
    if (ASortOrder != soNone) Add(AField, ASortOrder);
  } else if (ASortOrder != soNone) {
    SetSortOrder(index, ASortOrder);
  } else {
    Delete(index);
  }
}

void TcxSortingFieldList::AppendFrom(const TcxSortingFieldList* AList) {
  for (const TcxDataSortInfo& info : std::vector<TcxDataSortInfo>(AList->FItems))
    if (Find(info.Field) < 0) Add(info.Field, info.SortOrder);
}

void TcxSortingFieldList::CheckField(TcxCustomDataField* AField) {
  if (Find(AField) >= 0) Changed();
}

void TcxGroupingFieldList::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  TcxSortingFieldList::ChangeSorting(AField, ASortOrder == soNone ? soAscending : ASortOrder);
}

void TcxGroupingFieldList::ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex) {
  if (AGroupIndex < 0) {
    Remove(AField);
    return;
  }
  const Integer index = Find(AField);
  if (index >= 0)
    Move(index, std::min(AGroupIndex, GetCount() - 1));
  else
    Insert(std::min(AGroupIndex, GetCount()), AField, soAscending);
}

void TcxGroupingFieldList::UpdateSorting(const TcxSortingFieldList* ASortingList) {
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSortOrder order = ASortingList->SortOrderByField(FItems[static_cast<size_t>(i)].Field);
    SetSortOrder(i, order == soNone ? soAscending : order);
  }
}
