#include "library/data/cxCustomDataRelations.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomDataRelation)
ORV_REGISTER(TcxCustomDataRelationList)
ORV_REGISTER(TcxDetailObject)
ORV_REGISTER(TcxDetailInfoObject)

// ---------------------------------------------------------------------------
// TcxCustomDataRelation

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* ARelationList, TObject* AItem)
    : FItem(AItem), FRelationList(nullptr) {
  if (ARelationList) ARelationList->AddItem(this);
}

TcxCustomDataRelation::~TcxCustomDataRelation() {
  while (!FUsers.empty()) {
    TcxCustomDataController* user = FUsers.back();
    if (user->GetMasterRelation() == this) user->SetMasterMode(nullptr, user->IsPattern());
    RemoveUser(user);
  }
  FDetailDataController = nullptr;
  if (FRelationList) FRelationList->RemoveItem(this);
}

void TcxCustomDataRelation::AddUser(TcxCustomDataController* AController) {
  if (std::find(FUsers.begin(), FUsers.end(), AController) == FUsers.end()) FUsers.push_back(AController);
}

void TcxCustomDataRelation::RemoveUser(TcxCustomDataController* AController) {
  auto it = std::find(FUsers.begin(), FUsers.end(), AController);
  if (it != FUsers.end()) FUsers.erase(it);
}

void TcxCustomDataRelation::Changed() {
  if (FRelationList) FRelationList->Changed(this);
}

TcxCustomDataController* TcxCustomDataRelation::GetDataController() const {
  return FRelationList ? FRelationList->GetDataController() : nullptr;
}

Integer TcxCustomDataRelation::GetIndex() const { return FRelationList ? FRelationList->IndexOf(this) : -1; }

// ---------------------------------------------------------------------------
// Detail objects

TcxDetailInfoObject::~TcxDetailInfoObject() { FreeAndNil(LinkObject); }

void TcxDetailObject::Clear() {
  std::vector<TcxDetailInfoObject*> infos;
  infos.swap(FInfoObjects);
  for (TcxDetailInfoObject* info : infos)
    if (info) info->Free();
}

bool TcxDetailObject::ClearHasChildrenFlag() {
  bool any = false;
  for (TcxDetailInfoObject* info : FInfoObjects) {
    if (!info || !info->HasChildrenAssigned) continue;
    any = true;
    info->HasChildrenAssigned = false;
    info->HasChildren = false;
  }
  return any;
}

void TcxDetailObject::ClearInfoObject(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetInfoObjectCount()) return;
  TcxDetailInfoObject*& slot = FInfoObjects[static_cast<size_t>(AIndex)];
  TcxDetailInfoObject* info = slot;
  slot = nullptr;
  if (info) info->Free();
}

void TcxDetailObject::CorrectCount(TcxCustomDataRelationList* ARelations) {
  Grow(ARelations->GetCount());
  const Integer count = GetInfoObjectCount();
  if (count == 0) {
    ActiveRelationIndex = -1;
    return;
  }
  ActiveRelationIndex = std::clamp(ActiveRelationIndex, 0, count - 1);
  if (ActiveRelationIndex < ARelations->GetCount() &&
      !ARelations->GetItem(ActiveRelationIndex)->GetDetailDataController()) {
    for (Integer i = 0; i < ARelations->GetCount(); ++i)
      if (ARelations->GetItem(i)->GetDetailDataController()) {
        ActiveRelationIndex = i;
        break;
      }
  }
}

TcxDetailInfoObject* TcxDetailObject::GetInfoObject(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetInfoObjectCount() ? FInfoObjects[static_cast<size_t>(AIndex)] : nullptr;
}

bool TcxDetailObject::GetIsEmpty() const {
  return std::none_of(FInfoObjects.begin(), FInfoObjects.end(),
                      [](TcxDetailInfoObject* i) { return i && i->LinkObject; });
}

TObject* TcxDetailObject::GetLinkObject(Integer AIndex) const {
  TcxDetailInfoObject* info = GetInfoObject(AIndex);
  return info ? info->LinkObject : nullptr;
}

void TcxDetailObject::Grow(Integer ACount) {
  if (ACount > GetInfoObjectCount()) FInfoObjects.resize(static_cast<size_t>(ACount), nullptr);
}

void TcxDetailObject::SetInfoObject(Integer AIndex, TcxDetailInfoObject* AInfo) {
  if (AIndex < 0) return;
  Grow(AIndex + 1);
  TcxDetailInfoObject*& slot = FInfoObjects[static_cast<size_t>(AIndex)];
  if (slot == AInfo) return;
  TcxDetailInfoObject* old = slot;
  slot = AInfo;
  if (old) old->Free();
}

TcxDetailInfoObject* TcxDetailObject::NeedInfoObject(Integer AIndex) {
  if (AIndex < 0) return nullptr;
  Grow(AIndex + 1);
  TcxDetailInfoObject*& slot = FInfoObjects[static_cast<size_t>(AIndex)];
  if (!slot) slot = New<TcxDetailInfoObject>();
  return slot;
}

void TcxDetailObject::SetLinkObject(Integer AIndex, TObject* AObject) {
  TcxDetailInfoObject* info = NeedInfoObject(AIndex);
  if (!info || info->LinkObject == AObject) return;
  TObject* old = info->LinkObject;
  info->LinkObject = AObject;
  if (old) old->Free();
}

// ---------------------------------------------------------------------------
// TcxCustomDataRelationList

TcxCustomDataRelationList::~TcxCustomDataRelationList() {
  FDestroying = true;
  while (!FItems.empty()) FItems.back()->Free();
}

TcxCustomDataRelation* TcxCustomDataRelationList::Add(TObject* AItem) {
  return FDataController->GetRelationClass().Construct<TcxCustomDataRelationList*, TObject*>(this, AItem);
}

void TcxCustomDataRelationList::AddItem(TcxCustomDataRelation* ARelation) {
  FItems.push_back(ARelation);
  ARelation->FRelationList = this;
  Changed(ARelation);
}

void TcxCustomDataRelationList::RemoveItem(TcxCustomDataRelation* ARelation) {
  auto it = std::find(FItems.begin(), FItems.end(), ARelation);
  if (it == FItems.end()) return;
  if (!FDestroying) FDataController->ClearDetailsMasterRelation(ARelation);
  FItems.erase(std::find(FItems.begin(), FItems.end(), ARelation));
  ARelation->FRelationList = nullptr;
  Changed(ARelation);
}

void TcxCustomDataRelationList::Assign(TcxCustomDataRelationList* AList) {
  if (!AList || AList == this) return;
  auto update = orv::UpdateScope(this);
  Clear();
  for (TcxCustomDataRelation* source : AList->FItems) Add(source->GetItem())->Assign(source);
}

void TcxCustomDataRelationList::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  Changed(nullptr);
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* ARelation) {
  if (FLockCount == 0 && !FDestroying) Update(ARelation);
}

void TcxCustomDataRelationList::Clear() {
  if (FItems.empty()) return;
  auto update = orv::UpdateScope(this);
  while (!FItems.empty()) FItems.back()->Free();
}

bool TcxCustomDataRelationList::ClearDetailObject(Integer ARecordIndex, Integer ARelationIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  TcxDetailObject* object = GetValueAsDetailObject(ARecordIndex);
  if (!object) return false;
  if (ARelationIndex == -1)
    object->Clear();
  else
    object->ClearInfoObject(ARelationIndex);
  return true;
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(TObject* AItem) const {
  for (TcxCustomDataRelation* r : FItems)
    if (r->FItem == AItem) return r;
  return nullptr;
}

void TcxCustomDataRelationList::RemoveByItem(TObject* AItem) {
  if (TcxCustomDataRelation* r = FindByItem(AItem)) r->Free();
}

TcxDetailObject* TcxCustomDataRelationList::GetValueAsDetailObject(Integer ARecordIndex) const {
  if (!FDetailField || !FDetailField->GetValueDef()) return nullptr;
  const Variant v = FDataController->GetDataStorage()->GetValue(ARecordIndex, FDetailField->GetValueDef());
  if (VarIsNull(v) || VarIsEmpty(v)) return nullptr;
  // Pointer width: the object lives in a 64-bit cell, never narrowed.
  return reinterpret_cast<TcxDetailObject*>(static_cast<NativeInt>(v.AsInt64()));
}

void TcxCustomDataRelationList::SetDetailObject(Integer ARecordIndex, TcxDetailObject* AObject) {
  FDataController->GetDataStorage()->SetValue(ARecordIndex, FDetailField->GetValueDef(),
                                              Variant(static_cast<Int64>(reinterpret_cast<NativeInt>(AObject))));
}

TcxDetailObject* TcxCustomDataRelationList::GetDetailObject(Integer ARecordIndex) {
  FDataController->CheckRecordRange(ARecordIndex);
  if (!FDetailField || !FDetailField->GetValueDef()) return nullptr;
  TcxDetailObject* object = GetValueAsDetailObject(ARecordIndex);
  if (IsEmpty()) {
    if (object) {
      for (Integer i = 0; i < object->GetLinkObjectCount(); ++i)
        if (TObject* link = object->GetLinkObject(i))
          if (TcxCustomDataController* detail = FDataController->GetDetailDataControllerByLinkObject(link))
            detail->SetMasterRelation(nullptr, -1);
      // The cell lets go first, so the storage never holds a freed object.
      SetDetailObject(ARecordIndex, nullptr);
      object->Free();
    }
    return nullptr;
  }
  if (!object) {
    object = New<TcxDetailObject>();
    object->ActiveRelationIndex = FDataController->GetDefaultActiveRelationIndex();
    try {
      SetDetailObject(ARecordIndex, object);
    } catch (...) {
      object->Free();
      throw;
    }
  }
  object->CorrectCount(this);
  return object;
}

bool TcxCustomDataRelationList::IsDetailObjectExist(Integer ARecordIndex, Integer ARelationIndex) const {
  FDataController->CheckRecordRange(ARecordIndex);
  TcxDetailObject* object = GetValueAsDetailObject(ARecordIndex);
  if (!object) return false;
  return ARelationIndex == -1 ? !object->GetIsEmpty() : object->GetLinkObject(ARelationIndex) != nullptr;
}

bool TcxCustomDataRelationList::IsEmpty() const {
  TcxCustomDataController* pattern = FDataController->GetPatternDataController();
  if (!pattern) return true;
  TcxCustomDataRelationList* relations = pattern == FDataController ? const_cast<TcxCustomDataRelationList*>(this)
                                                                    : pattern->GetRelations();
  return std::none_of(relations->FItems.begin(), relations->FItems.end(),
                      [](TcxCustomDataRelation* r) { return r->GetDetailDataController() != nullptr; });
}

void TcxCustomDataRelationList::Move(Integer AFromIndex, Integer AToIndex) {
  if (AFromIndex == AToIndex) return;
  const Integer count = GetCount();
  if (AFromIndex < 0 || AFromIndex >= count || AToIndex < 0 || AToIndex >= count) return;
  TcxCustomDataRelation* r = FItems[static_cast<size_t>(AFromIndex)];
  FItems.erase(FItems.begin() + AFromIndex);
  FItems.insert(FItems.begin() + AToIndex, r);
  Changed(nullptr);
}

void TcxCustomDataRelationList::RemoveDataField(TcxCustomDataField* AField) {
  if (FDetailField == AField) FDetailField = nullptr;
  for (TcxCustomDataRelation* r : FItems) r->RemoveDataField(AField);
}

void TcxCustomDataRelationList::Update(TcxCustomDataRelation* ARelation) {
  if (FDataController->IsDestroying()) return;
  auto update = orv::UpdateScope(FDataController);
  if (!FItems.empty()) {
    if (!FDetailField) {
      TcxCustomDataField* field = FDataController->AddInternalField();
      field->SetValueTypeClass(TcxObjectValueType::Class());
      FDetailField = field;
    } else {
      FDataController->ClearDetails();
    }
  } else if (TcxCustomDataField* field = FDetailField) {
    // Freeing the field reaches RemoveDataField, which forgets it.
    field->Free();
    FDetailField = nullptr;
  }
  FDataController->UpdateRelations(ARelation);
}

Integer TcxCustomDataRelationList::IndexOf(const TcxCustomDataRelation* ARelation) const {
  auto it = std::find(FItems.begin(), FItems.end(), ARelation);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}
