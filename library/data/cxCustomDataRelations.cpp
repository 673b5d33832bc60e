#include "library/data/cxCustomDataRelations.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"

ORV_REGISTER(TcxCustomDataRelation)
ORV_REGISTER(TcxCustomDataRelationList)

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* ARelationList, TObject* AItem)
    : FItem(AItem), FRelationList(nullptr) {
  if (ARelationList) ARelationList->AddItem(this);
}

TcxCustomDataRelation::~TcxCustomDataRelation() {
  if (FRelationList) FRelationList->RemoveItem(this);
}

Integer TcxCustomDataRelation::GetIndex() const { return FRelationList ? FRelationList->IndexOf(this) : -1; }

TcxCustomDataRelationList::~TcxCustomDataRelationList() { Clear(); }

TcxCustomDataRelation* TcxCustomDataRelationList::Add(TObject* AItem) {
  return FDataController->GetRelationClass().Construct<TcxCustomDataRelationList*, TObject*>(this, AItem);
}

void TcxCustomDataRelationList::AddItem(TcxCustomDataRelation* ARelation) {
  FItems.push_back(ARelation);
  ARelation->FRelationList = this;
}

void TcxCustomDataRelationList::RemoveItem(TcxCustomDataRelation* ARelation) {
  auto it = std::find(FItems.begin(), FItems.end(), ARelation);
  if (it == FItems.end()) return;
  FItems.erase(it);
  ARelation->FRelationList = nullptr;
}

void TcxCustomDataRelationList::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(TObject* AItem) const {
  for (TcxCustomDataRelation* r : FItems)
    if (r->FItem == AItem) return r;
  return nullptr;
}

void TcxCustomDataRelationList::RemoveByItem(TObject* AItem) {
  if (TcxCustomDataRelation* r = FindByItem(AItem)) r->Free();
}

void TcxCustomDataRelationList::RemoveDataField(TcxCustomDataField* AField) {
  if (FDetailField == AField) FDetailField = nullptr;
  for (TcxCustomDataRelation* r : FItems) r->RemoveDataField(AField);
}

Integer TcxCustomDataRelationList::IndexOf(const TcxCustomDataRelation* ARelation) const {
  auto it = std::find(FItems.begin(), FItems.end(), ARelation);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}
