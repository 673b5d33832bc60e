#include "library/data/cxCustomDataSelection.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataViewPipeline.h"

ORV_REGISTER(TcxDataFocusingInfo)
ORV_REGISTER(TcxDataExpandingInfos)
ORV_REGISTER(TcxDataSelection)

// ---------------------------------------------------------------------------
// TcxDataFocusingInfo

void TcxDataFocusingInfo::Assign(const TcxDataFocusingInfo* ASource) {
  Level = ASource->Level;
  SavedRecordIndex = ASource->SavedRecordIndex;
  RecordIndex = ASource->RecordIndex;
  RowIndex = ASource->RowIndex;
  NewItemRowFocusingChanged = false;
  Changed = false;
}

void TcxDataFocusingInfo::Clear() {
  Level = -1;
  RecordIndex = -1;
  RowIndex = -1;
}

bool TcxDataFocusingInfo::IsEqual(const TcxDataFocusingInfo* AOther) const {
  if (RecordIndex != AOther->RecordIndex || Level != AOther->Level) return false;
  return !FInfo->GetChanges().Contains(dcicSorting) || RowIndex == AOther->RowIndex;
}

void TcxDataFocusingInfo::ResetPos() {
  Level = -1;
  RecordIndex = FInfo->GetDataController()->GetRecordIndex();
}

void TcxDataFocusingInfo::SavePos() {
  if (RowIndex < 0 || RowIndex >= FInfo->GetRowCount()) {
    Level = -1;
    RecordIndex = -1;
  } else {
    Level = FInfo->GetRowInfo(RowIndex).Level;
    RecordIndex = FInfo->GetDataController()->GetRecordIndex();
  }
  SavedRecordIndex = RecordIndex;
}

// ---------------------------------------------------------------------------
// TcxDataExpandingInfos

void TcxDataExpandingInfos::AddField(TcxCustomDataField* AField) {
  if (Find(AField) != -1) cxDataInvalidOperation(cxSDataItemExistError);
  FFields.push_back(AField);
  FItems.clear();
}

void TcxDataExpandingInfos::AddItem(Integer ALevel, const Variant& AValue, TcxDataExpandingInfoStateSet AState) {
  FItems.push_back({ALevel, AValue, AState});
}

void TcxDataExpandingInfos::CheckField(TcxCustomDataField* AField) {
  if (Find(AField) != -1) Clear();
}

void TcxDataExpandingInfos::Clear() {
  FFields.clear();
  FItems.clear();
  SaveStates.Clear();
  Collapsed = false;
}

Integer TcxDataExpandingInfos::Find(TcxCustomDataField* AField) const {
  auto it = std::find(FFields.begin(), FFields.end(), AField);
  return it == FFields.end() ? -1 : static_cast<Integer>(it - FFields.begin());
}

// ---------------------------------------------------------------------------
// TcxDataSelection

void TcxDataSelection::InternalAdd(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  const TcxDataSelectionItem item{ALevel, ARecordIndex, ARowIndex};
  if (AIndex < 0 || AIndex > GetCount())
    FItems.push_back(item);
  else
    FItems.insert(FItems.begin() + AIndex, item);
}

void TcxDataSelection::InternalClear() {
  FFields.clear();
  FItems.clear();
}

void TcxDataSelection::InternalDelete(Integer AIndex) {
  if (FItems.at(static_cast<size_t>(AIndex)).RowIndex == FAnchorRowIndex) ClearAnchor();
  FItems.erase(FItems.begin() + AIndex);
}

void TcxDataSelection::SetInternalCount(Integer ACount) {
  if (ACount < 0) ACount = 0;
  for (Integer i = GetCount(); i < ACount; ++i) FItems.push_back({0, i, i});
  while (GetCount() > ACount) InternalDelete(GetCount() - 1);
}

void TcxDataSelection::Add(Integer AIndex, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  InternalAdd(AIndex, ARowIndex, ALevel, ARecordIndex);
  Changed();
}

void TcxDataSelection::InternalAddSorted(const std::vector<TcxDataSelectionItem>& AItems) {
  if (AItems.empty()) return;
  const auto middle = static_cast<std::ptrdiff_t>(FItems.size());
  FItems.insert(FItems.end(), AItems.begin(), AItems.end());
  std::inplace_merge(FItems.begin(), FItems.begin() + middle, FItems.end(),
                     [](const TcxDataSelectionItem& a, const TcxDataSelectionItem& b) { return a.RowIndex < b.RowIndex; });
}

bool TcxDataSelection::FindByRowIndex(Integer ARowIndex, Integer& AIndex) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), ARowIndex,
                             [](const TcxDataSelectionItem& e, Integer row) { return e.RowIndex < row; });
  AIndex = static_cast<Integer>(it - FItems.begin());
  return it != FItems.end() && it->RowIndex == ARowIndex;
}

void TcxDataSelection::Clear() {
  InternalClear();
  Changed();
}

void TcxDataSelection::ClearAll() {
  ClearAnchor();
  InternalClear();
  Changed();
}

void TcxDataSelection::Delete(Integer AIndex) {
  InternalDelete(AIndex);
  Changed();
}

Integer TcxDataSelection::FindByGroupIndex(Integer AGroupIndex) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Level == -1 && FItems[i].RecordIndex == AGroupIndex) return static_cast<Integer>(i);
  return -1;
}

Integer TcxDataSelection::FindByRecordIndex(Integer ARecordIndex) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Level != -1 && FItems[i].RecordIndex == ARecordIndex) return static_cast<Integer>(i);
  return -1;
}

void TcxDataSelection::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TcxDataSelectionItem& a, const TcxDataSelectionItem& b) { return a.RowIndex < b.RowIndex; });
}

void TcxDataSelection::Changed() {
  if (OnChanged) OnChanged();
}

void TcxDataSelection::CheckAfterFiltering() {
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  if (RemoveIf([info](const TcxDataSelectionItem& e) {
        return e.Level != -1 && info->GetInternalRecordListIndex(e.RecordIndex) == -1;
      }))
    Changed();
}
