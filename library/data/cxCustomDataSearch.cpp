#include "library/data/cxCustomDataSearch.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"

ORV_REGISTER(TcxDataControllerSearch)
ORV_REGISTER(TcxDataControllerLocateObject)
ORV_REGISTER(TcxDataControllerKeyLocateObject)
ORV_REGISTER(TcxDataControllerGroupLocateObject)
ORV_REGISTER(TcxValueDefUnboundReader)
ORV_REGISTER(TcxValueDefRecordReader)

bool cxIsValueDefInternal(TcxValueDef* AValueDef) {
  auto* field = AValueDef ? dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject()) : nullptr;
  return field && field->IsValueDefInternal();
}

// ---------------------------------------------------------------------------
// TcxDataControllerSearch

Integer TcxDataControllerSearch::GetItemIndex() const { return FField ? FField->GetIndex() : -1; }

void TcxDataControllerSearch::SetItemIndex(Integer Value) {
  FDataController->CheckItemRange(Value);
  FField = FDataController->GetField(Value);
}

void TcxDataControllerSearch::RemoveField(TcxCustomDataField* AField) {
  if (FField != AField) return;
  Cancel();
  FField = nullptr;
}

void TcxDataControllerSearch::Abandon() {
  FSearching = false;
  FSearchText.clear();
  FField = nullptr;
}

Integer TcxDataControllerSearch::DoSearch(Integer AStartFilteredRecordIndex, Integer AEndFilteredRecordIndex,
                                          bool AForward, const AnsiString& AText) {
  const Integer count = FDataController->GetFilteredRecordCount();
  if (count == 0 || !FField) return -1;
  if (AEndFilteredRecordIndex == -1) AEndFilteredRecordIndex = AForward ? count - 1 : 0;
  const Integer item = FField->GetIndex();
  auto match = [&](Integer pos) {
    return DataCompareText(FDataController->GetIncrementalSearchText(FDataController->GetFilteredRecordIndex(pos), item),
                           AText, true);
  };
  if (AForward) {
    for (Integer i = std::max(AStartFilteredRecordIndex, 0); i <= AEndFilteredRecordIndex && i < count; ++i)
      if (match(i)) return i;
  } else {
    for (Integer i = std::min(AStartFilteredRecordIndex, count - 1); i >= AEndFilteredRecordIndex && i >= 0; --i)
      if (match(i)) return i;
  }
  return -1;
}

void TcxDataControllerSearch::DoFocusedRecord(Integer AFilteredRecordIndex) {
  Lock();
  try {
    FDataController->ChangeFocusedRecordIndex(FDataController->GetFilteredRecordIndex(AFilteredRecordIndex));
    FDataController->SyncSelectionFocusedRecord();
  } catch (...) {
    Unlock();
    throw;
  }
  Unlock();
}

bool TcxDataControllerSearch::Locate(Integer AItemIndex, const AnsiString& ASubText) {
  FDataController->CheckItemRange(AItemIndex);
  if (ASubText.empty() || FDataController->GetFilteredRecordCount() == 0) return false;
  SetItemIndex(AItemIndex);
  bool found;
  if (FDataController->IsGridMode()) {
    found = FDataController->DoSearchInGridMode(ASubText, true, false);
  } else {
    const Integer focused = FDataController->GetFocusedRecordIndex();
    Integer start = focused == -1 ? 0 : FDataController->GetDataControllerInfo()->GetInternalRecordListIndex(focused);
    if (start < 0) start = 0;
    Integer pos = DoSearch(start, -1, true, ASubText);
    if (pos == -1 && start > 0) pos = DoSearch(0, start - 1, true, ASubText);
    found = pos != -1;
    if (found) DoFocusedRecord(pos);
  }
  if (found) {
    FSearching = true;
    FSearchText = ASubText;
    FDataController->Change({dccSearch});
    FDataController->CheckFocusedSelected();
  }
  return found;
}

bool TcxDataControllerSearch::LocateNext(bool AForward) {
  if (!FSearching || FSearchText.empty() || !FField || FDataController->GetFilteredRecordCount() == 0) return false;
  if (FDataController->IsGridMode()) return FDataController->DoSearchInGridMode(FSearchText, AForward, true);
  const Integer focused = FDataController->GetFocusedRecordIndex();
  if (focused == -1) return false;
  const Integer pos = FDataController->GetDataControllerInfo()->GetInternalRecordListIndex(focused);
  if (pos < 0) return false;
  const Integer start = AForward ? pos + 1 : pos - 1;
  if (start < 0 || start >= FDataController->GetFilteredRecordCount()) return false;
  const Integer found = DoSearch(start, -1, AForward, FSearchText);
  if (found == -1) return false;
  DoFocusedRecord(found);
  FDataController->CheckFocusedSelected();
  return true;
}

void TcxDataControllerSearch::Cancel() {
  if (FLocked || !FSearching) return;
  FSearchText.clear();
  FSearching = false;
  FDataController->Change({dccSearch});
}

// ---------------------------------------------------------------------------
// Locate objects

TcxDataControllerLocateObject::~TcxDataControllerLocateObject() { Clear(); }

void TcxDataControllerLocateObject::Clear() {
  if (FRecordIndex != 0) {
    TcxDataStorage* storage = FDataController->GetDataStorage();
    if (storage && !storage->IsDestroying()) storage->DeleteRecord(FRecordIndex);
    FRecordIndex = 0;
  }
}

void TcxDataControllerLocateObject::ReadData(TcxValueDefReader* AReader) {
  TcxDataStorage* storage = FDataController->GetDataStorage();
  if (FRecordIndex == 0) FRecordIndex = storage->AddInternalRecord();
  FDataController->BeginReadRecord();
  try {
    storage->ReadRecord(FRecordIndex, AReader);
  } catch (...) {
    FDataController->EndReadRecord();
    throw;
  }
  FDataController->EndReadRecord();
}

Integer TcxDataControllerKeyLocateObject::FindRecordIndex() {
  if (FRecordIndex == 0) return -1;
  return FDataController->FindRecordByFields(FRecordIndex, FFields);
}

TcxDataControllerGroupLocateObject::TcxDataControllerGroupLocateObject(TcxCustomDataController* ADataController)
    : TcxDataControllerLocateObject(ADataController) {
  TcxGroupingFieldList* grouping = ADataController->GetDataControllerInfo()->GetGroupingFieldList();
  for (Integer i = 0; i < grouping->GetCount(); ++i) {
    TcxCustomDataField* f = grouping->GetItem(i).Field;
    FGroupingFields.push_back(f);
    if (ADataController->IsSortByDisplayTextNeeded(f)) FUseHalvingSearch = false;
  }
  SetLevel(0);
}

void TcxDataControllerGroupLocateObject::SetLevel(Integer Value) {
  FLevel = Value;
  FFields.assign(FGroupingFields.begin(),
                 FGroupingFields.begin() + std::clamp<Integer>(Value + 1, 0, static_cast<Integer>(FGroupingFields.size())));
}

Integer TcxDataControllerGroupLocateObject::FindRecordIndex() {
  if (FRecordIndex == 0) return -1;
  if (FUseHalvingSearch) {
    TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
    info->PrepareSorting();
    Integer result;
    try {
      result = FDataController->FindGroupRecord(FRecordIndex, FLevel + 1);
    } catch (...) {
      info->UnprepareSorting();
      throw;
    }
    info->UnprepareSorting();
    return result;
  }
  // The shown records are in display-text order: compare values, through
  // an index made once, rather than walking every record for every group.
  const bool old = FDataController->IsLocatingGroup();
  FDataController->SetLocatingGroup(true);
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  info->PrepareSorting();
  Integer result;
  try {
    if (!FIndexed) IndexByValues();
    result = FindByValues();
  } catch (...) {
    info->UnprepareSorting();
    FDataController->SetLocatingGroup(old);
    throw;
  }
  info->UnprepareSorting();
  FDataController->SetLocatingGroup(old);
  return result;
}

Integer TcxDataControllerGroupLocateObject::CompareLevels(Integer AFirst, Integer ASecond, size_t ALevels) {
  for (size_t i = 0; i < ALevels && i < FGroupingFields.size(); ++i)
    if (const Integer c = FDataController->CompareByField(AFirst, ASecond, FGroupingFields[i], dccmOther); c != 0)
      return c;
  return 0;
}

void TcxDataControllerGroupLocateObject::IndexByValues() {
  const Integer count = FDataController->GetFilteredRecordCount();
  FByValues.clear();
  FByValues.reserve(static_cast<size_t>(count));
  for (Integer pos = 0; pos < count; ++pos) FByValues.emplace_back(FDataController->GetFilteredRecordIndex(pos), pos);
  // Stable, and safe with a comparison that contradicts itself (mixed
  // variants): equal values keep their list order.
  const size_t levels = FGroupingFields.size();
  std::stable_sort(FByValues.begin(), FByValues.end(), [&](const auto& A, const auto& B) {
    return CompareLevels(A.first, B.first, levels) < 0;
  });
  FIndexed = true;
}

Integer TcxDataControllerGroupLocateObject::FindByValues() {
  const size_t levels = FFields.size();
  auto it = std::lower_bound(FByValues.begin(), FByValues.end(), FRecordIndex, [&](const auto& A, Integer ARecord) {
    return CompareLevels(A.first, ARecord, levels) < 0;
  });
  // Of the records with the sought values, the first in the list.
  Integer result = -1, position = -1;
  for (; it != FByValues.end() && CompareLevels(it->first, FRecordIndex, levels) == 0; ++it)
    if (position < 0 || it->second < position) {
      result = it->first;
      position = it->second;
    }
  return result;
}

// ---------------------------------------------------------------------------
// Readers

Variant TcxValueDefUnboundReader::GetValue(TcxValueDef* AValueDef) {
  if (auto* internal = dynamic_cast<TcxInternalValueDef*>(AValueDef)) AValueDef = internal->GetValueDef();
  auto it = std::find(FValueDefs.begin(), FValueDefs.end(), AValueDef);
  if (it == FValueDefs.end()) return Null();
  Variant* v = FValues[static_cast<size_t>(it - FValueDefs.begin())];
  return v ? *v : Null();
}

bool TcxValueDefUnboundReader::IsInternal(TcxValueDef* AValueDef) {
  if (auto* internal = dynamic_cast<TcxInternalValueDef*>(AValueDef)) AValueDef = internal->GetValueDef();
  return cxIsValueDefInternal(AValueDef);
}

void TcxValueDefUnboundReader::SetValue(TcxValueDef* AValueDef, const Variant& AValue) {
  auto it = std::find(FValueDefs.begin(), FValueDefs.end(), AValueDef);
  size_t index;
  if (it == FValueDefs.end()) {
    FValueDefs.push_back(AValueDef);
    index = FValueDefs.size() - 1;
  } else {
    index = static_cast<size_t>(it - FValueDefs.begin());
  }
  if (FValues.size() < FValueDefs.size()) FValues.resize(FValueDefs.size(), nullptr);
  if (!FValues[index])
    FValues[index] = new Variant(AValue);
  else
    *FValues[index] = AValue;
}

void TcxValueDefUnboundReader::Truncate(Integer ACount) {
  if (ACount < 0) ACount = 0;
  for (size_t i = static_cast<size_t>(ACount); i < FValues.size(); ++i) delete FValues[i];
  if (FValues.size() > static_cast<size_t>(ACount)) FValues.resize(static_cast<size_t>(ACount));
  if (FValueDefs.size() > static_cast<size_t>(ACount)) FValueDefs.resize(static_cast<size_t>(ACount));
}

AnsiString TcxValueDefRecordReader::GetDisplayText(TcxValueDef* AValueDef) {
  auto* field = dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject());
  if (!field || field->GetIsInternal()) return AnsiString();
  return FDataController->GetInternalDisplayText(FRecordIndex, field);
}

Variant TcxValueDefRecordReader::GetValue(TcxValueDef* AValueDef) {
  auto* field = dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject());
  if (!field) return Null();
  return FDataController->GetInternalValue(FRecordIndex, field);
}

bool TcxValueDefRecordReader::IsInternal(TcxValueDef* AValueDef) {
  auto* field = dynamic_cast<TcxCustomDataField*>(AValueDef->GetLinkObject());
  return field && field->GetIsInternal();
}
