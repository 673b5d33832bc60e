// Accumulation of summaries over number fields, and replacing one edited
// record's share in them. Items of Integer, Float and Currency fields (and
// counts) without a handler are accumulated order-independently
// (cxCustomDataSummaryAccumulator.h): cells are read straight from the
// storage, and after a calculation the footer's accumulators and those of
// large groups are kept, so that an edit of one record replaces its old
// values with the new ones instead of calculating everything again.
#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSummary.h"
#include "library/data/cxCustomDataSummaryAccumulator.h"

namespace {

bool gTypedEnabled = true;

}  // namespace

void TcxDataSummary::SetTypedCalculationEnabled(bool AValue) { gTypedEnabled = AValue; }
bool TcxDataSummary::GetTypedCalculationEnabled() { return gTypedEnabled; }

bool TcxDataSummary::IsAccumulated(TcxDataSummaryItems* AItems, TcxDataSummaryItem* AItem) const {
  TcxCustomDataController* c = FDataController;
  if (AItems->OnSummary || c->IsProviderMode() || c->IsGridMode() || !AItem->IsDataBinded()) return false;
  const TcxSummaryKind kind = AItem->GetKind();
  if (kind != skSum && kind != skAverage && kind != skMin && kind != skMax && kind != skCount) return false;
  TcxCustomDataField* field = AItem->GetField();
  // A group's count without a field counts every record as a null.
  if (!field) return kind == skCount;
  TcxValueDef* def = field->GetValueDef();
  if (!def) return false;
  const TcxValueTypeClass type = def->GetValueTypeClass();
  return type == TcxIntegerValueType::Class() || type == TcxFloatValueType::Class() ||
         type == TcxCurrencyValueType::Class();
}

bool TcxDataSummary::IsKeepable(TcxDataSummaryItems* AItems) const {
  for (Integer i = 0; i < AItems->GetCount(); ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(i);
    // Items that never get a value stay null whatever the records hold.
    const bool inert = !AItems->OnSummary && (!item->IsDataBinded() || item->GetKind() == skNone);
    if (!inert && !IsAccumulated(AItems, item)) return false;
  }
  return true;
}

const TcxDataSummary::GatheredCells* TcxDataSummary::GatherTypedCells(TcxValueDef* ADef, Integer ABeginIndex,
                                                                      Integer AEndIndex) {
  if (!FGatherWhole) {
    if (FCallCells.Def != ADef) {
      FCallCells.Def = ADef;
      FCallCells.First = ABeginIndex;
      FCallCells.Valid = Gather(ADef, ABeginIndex, AEndIndex, FCallCells);
    }
    return FCallCells.Valid ? &FCallCells : nullptr;
  }
  for (const GatheredCells& cells : FWholeCells)
    if (cells.Def == ADef) return cells.Valid ? &cells : nullptr;
  GatheredCells& cells = FWholeCells.emplace_back();
  cells.Def = ADef;
  cells.First = 0;
  cells.Valid = Gather(ADef, 0, FDataController->GetFilteredRecordCount() - 1, cells);
  return cells.Valid ? &cells : nullptr;
}

bool TcxDataSummary::Gather(TcxValueDef* ADef, Integer ABeginIndex, Integer AEndIndex, GatheredCells& ACells) {
  const size_t n = AEndIndex >= ABeginIndex ? static_cast<size_t>(AEndIndex - ABeginIndex) + 1 : 0;
  ACells.States.resize(n);
  ACells.Cells.resize(n);
  Byte* states = ACells.States.data();
  UInt64* out = ACells.Cells.data();
  const TcxDataStorage* storage = FDataController->GetDataStorage();
  // The ordinary records' cells are read straight from their buffers; any
  // other record goes through the storage.
  const bool direct = ADef->GetValueDefs() == storage->GetValueDefs() && ADef->GetBufferSize() != 0;
  Byte* const* buffers = storage->GetRecordBuffers();
  const size_t recordCount = direct ? static_cast<size_t>(storage->GetRecordCount()) : 0;
  const size_t offset = static_cast<size_t>(ADef->GetOffset());
  const size_t size = std::min<size_t>(static_cast<size_t>(ADef->GetDataSize()), sizeof(UInt64));
  // This class's own mapping of positions to records is the record list
  // (or the record order), read here without a call per position; a
  // descendant's mapping is asked per position.
  const Integer* list = nullptr;
  if (typeid(*this) == typeid(TcxDataSummary) && !FFilterRecords && n > 0) {
    const std::vector<Integer>& records =
        FPositionOrder ? *FPositionOrder : FDataController->GetDataControllerInfo()->GetRecordList();
    if (ABeginIndex >= 0 && static_cast<size_t>(AEndIndex) < records.size()) list = records.data() + ABeginIndex;
  }
  // The field's column kept by the storage (made on first use, kept
  // current by its writes) holds the ordinary records' cells in two
  // arrays: read there, a record costs a byte and a cell, not a block.
  constexpr size_t kAhead = 8;
  const TcxDataColumn* column = list && direct ? FDataController->GetDataStorage()->GetColumn(ADef) : nullptr;
  if (column && static_cast<size_t>(column->Size) <= sizeof(UInt64)) {
    const Byte* notNull = column->NotNull.data();
    const Byte* columnCells = column->Cells.data();
    const auto cellSize = static_cast<size_t>(column->Size);
    size_t k = 0;
    for (; k < n; ++k) {
      if (k + kAhead < n) {
        const size_t ahead = static_cast<size_t>(list[k + kAhead]);
        if (ahead < recordCount) __builtin_prefetch(columnCells + ahead * cellSize);
      }
      const auto record = static_cast<size_t>(list[k]);
      if (record >= recordCount) break;
      out[k] = 0;
      states[k] = notNull[record] ? 2 : 1;
      if (states[k] == 2) std::memcpy(&out[k], columnCells + record * cellSize, cellSize);
    }
    if (k == n) return true;
  }
  // Otherwise the records of a sorted list lie scattered: their buffer
  // pointers and then their buffers are fetched ahead.
  for (size_t k = 0; k < n; ++k) {
    if (list && direct && k + 2 * kAhead < n) {
      const size_t far = static_cast<size_t>(list[k + 2 * kAhead]);
      if (far < recordCount) __builtin_prefetch(&buffers[far]);
      const size_t ahead = static_cast<size_t>(list[k + kAhead]);
      if (ahead < recordCount && buffers[ahead]) __builtin_prefetch(buffers[ahead] + offset);
    }
    const Integer record = list ? list[k] : GetRecordIndex(ABeginIndex + static_cast<Integer>(k));
    out[k] = 0;
    if (record == -1) {
      states[k] = 0;
      continue;
    }
    const void* p;
    bool null;
    if (static_cast<size_t>(record) < recordCount) {
      const Byte* b = buffers[static_cast<size_t>(record)];
      null = !b || b[offset] == 0;
      p = null ? nullptr : b + offset + 1;
    } else {
      null = storage->GetCompareInfo(record, ADef, p);
    }
    if (null) {
      states[k] = 1;
      continue;
    }
    if (!p) return false;
    states[k] = 2;
    std::memcpy(&out[k], p, size);
  }
  return true;
}

void TcxDataSummary::AccumulateItem(Integer AIndex, const GatheredCells& ACells, Integer ABeginIndex,
                                    Integer AEndIndex) {
  const size_t first = static_cast<size_t>(ABeginIndex - ACells.First);
  const size_t last = static_cast<size_t>(AEndIndex - ACells.First) + 1;
  FAccumulators[static_cast<size_t>(AIndex)].AccumulateRun(ACells.States.data() + first, ACells.Cells.data() + first,
                                                           last - first, FOptions.Contains(soNullIgnore));
}

Byte TcxDataSummary::ReadCell(Integer ARecordIndex, TcxValueDef* ADef, UInt64& ACell) const {
  ACell = 0;
  const TcxDataStorage* storage = FDataController->GetDataStorage();
  if (ARecordIndex < 0) return 0;
  const void* p = nullptr;
  if (ADef->GetValueDefs() == storage->GetValueDefs() && ADef->GetBufferSize() != 0 &&
      ARecordIndex < storage->GetRecordCount()) {
    const Byte* b = storage->GetRecordBuffers()[static_cast<size_t>(ARecordIndex)];
    const size_t offset = static_cast<size_t>(ADef->GetOffset());
    if (!b || b[offset] == 0) return 1;
    p = b + offset + 1;
  } else if (storage->GetCompareInfo(ARecordIndex, ADef, p)) {
    return 1;
  }
  if (!p) return 0;
  std::memcpy(&ACell, p, std::min<size_t>(static_cast<size_t>(ADef->GetDataSize()), sizeof ACell));
  return 2;
}

void TcxDataSummary::KeepAccumulators(std::vector<TcxSummaryAccumulator>& ATarget) {
  ATarget.assign(FAccumulators.begin(), FAccumulators.end());
}

bool TcxDataSummary::CalculateLevelTyped(TcxDataGroupSummaryItems* AItems, Integer ALevel, bool AKeepable) {
  if (!FGatherWhole || !GetTypedCalculationEnabled() || AItems->OnSummary) return false;
  const Integer n = AItems->GetCount();
  const Integer records = FDataController->GetFilteredRecordCount();
  // Per item, once for the level: its kind and number type, and the slot
  // of its field (the fields' cells gathered once for the whole list).
  TypedLevel plan;
  plan.Kinds.assign(static_cast<size_t>(n), skNone);
  plan.Numbers.assign(static_cast<size_t>(n), snNone);
  plan.Slots.assign(static_cast<size_t>(n), -1);
  // Per slot: the field (none for a count without a field) and its type.
  std::vector<TcxValueDef*> defs;
  std::vector<TcxSummaryNumber> numbers;
  for (Integer i = 0; i < n; ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(i);
    if (!item->IsDataBinded() || item->GetKind() == skNone) continue;
    if (!IsAccumulated(AItems, item)) return false;
    TcxValueDef* def = nullptr;
    if (TcxCustomDataField* field = item->GetField()) {
      def = field->GetValueDef();
      const TcxValueTypeClass type = def->GetValueTypeClass();
      plan.Numbers[static_cast<size_t>(i)] = type == TcxIntegerValueType::Class() ? snInteger
                                             : type == TcxFloatValueType::Class() ? snFloat
                                                                                  : snCurrency;
      if (!GatherTypedCells(def, 0, records - 1)) return false;
    } else if (FFilterRecords) {
      // A count without a field counts the positions that hold a counted
      // record: only the general pass knows them.
      return false;
    }
    plan.Kinds[static_cast<size_t>(i)] = item->GetKind();
    const auto slot = std::find(defs.begin(), defs.end(), def);
    plan.Slots[static_cast<size_t>(i)] = static_cast<Integer>(slot - defs.begin());
    if (slot == defs.end()) {
      defs.push_back(def);
      numbers.push_back(static_cast<TcxSummaryNumber>(plan.Numbers[static_cast<size_t>(i)]));
    }
  }
  // Gathering a field may move the cells gathered before: they are looked
  // up once all are there.
  std::vector<const GatheredCells*> cells(defs.size(), nullptr);
  for (size_t k = 0; k < defs.size(); ++k)
    if (defs[k]) cells[k] = GatherTypedCells(defs[k], 0, records - 1);
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  const bool nullIgnore = FOptions.Contains(soNullIgnore);
  if (static_cast<Integer>(FTypedLevels.size()) <= ALevel) FTypedLevels.resize(static_cast<size_t>(ALevel) + 1);
  FTypedLevels[static_cast<size_t>(ALevel)] = plan;
  FAccumulators.resize(static_cast<size_t>(n));
  const Integer groupCount = groups->GetItemCount();
  for (Integer g = 0; g < groupCount; ++g) {
    TcxDataGroupInfo& info = groups->Item(g);
    if (info.Level != ALevel) continue;
    Integer first, last;
    GetGroupPositions(g, first, last);
    const bool keep = AKeepable && last - first + 1 >= cxKeptGroupRecords;
    if (!keep) {
      // One walk per field gives every item's result; the values are made
      // when the group's summaries are first read. A sum beyond its range
      // goes to the accumulators below, which keep it exactly.
      const size_t at = FGroupTotals.size();
      bool fits = true;
      for (size_t k = 0; k < defs.size() && fits; ++k) {
        TcxSummaryTotals& totals = FGroupTotals.emplace_back();
        if (cells[k]) {
          const size_t from = static_cast<size_t>(first - cells[k]->First);
          fits = totals.Walk(cells[k]->States.data() + from, cells[k]->Cells.data() + from,
                             static_cast<size_t>(last - first + 1), numbers[k], nullIgnore);
        } else if (!nullIgnore) {
          totals.Nulls = last - first + 1;
        }
      }
      if (fits) {
        if (!VarIsEmpty(info.SummaryValues)) info.SummaryValues = Variant();
        info.SummaryTotals = static_cast<Integer>(at);
        continue;
      }
      FGroupTotals.resize(at);
    }
    Variant values = VarArrayCreate({0, n - 1}, varVariant);
    for (Integer i = 0; i < n; ++i) {
      const TcxSummaryKind kind = plan.Kinds[static_cast<size_t>(i)];
      if (kind == skNone) {
        VarArrayPut(values, Null(), {i});
        continue;
      }
      TcxSummaryAccumulator& a = FAccumulators[static_cast<size_t>(i)];
      a.Reset(kind, static_cast<TcxSummaryNumber>(plan.Numbers[static_cast<size_t>(i)]));
      if (const GatheredCells* c = cells[static_cast<size_t>(plan.Slots[static_cast<size_t>(i)])])
        AccumulateItem(i, *c, first, last);
      else if (!nullIgnore)
        a.Count = a.Nulls = last - first + 1;
      VarArrayPut(values, a.Result(), {i});
    }
    info.SummaryValues = std::move(values);
    info.SummaryTotals = -1;
    if (keep) KeepAccumulators(FGroupsKept[g]);
  }
  return true;
}

void TcxDataSummary::MakeValuesOfTotals(TcxDataGroupInfo& AGroup) const {
  const TypedLevel& plan = FTypedLevels[static_cast<size_t>(AGroup.Level)];
  const TcxSummaryTotals* totals = FGroupTotals.data() + AGroup.SummaryTotals;
  const Integer n = static_cast<Integer>(plan.Kinds.size());
  Variant values = VarArrayCreate({0, n - 1}, varVariant);
  for (Integer i = 0; i < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    VarArrayPut(values,
                plan.Kinds[k] == skNone
                    ? Null()
                    : totals[plan.Slots[k]].Result(plan.Kinds[k], static_cast<TcxSummaryNumber>(plan.Numbers[k])),
                {i});
  }
  AGroup.SummaryValues = std::move(values);
  AGroup.SummaryTotals = -1;
}

void TcxDataSummary::ForgetKept() {
  FKept = false;
  FFooterFresh = false;
  FFooterKept.clear();
  FGroupsKept.clear();
  FChangingRecord = -1;
  FChangingSpoiled = false;
  FChangingCells.clear();
}

void TcxDataSummary::GetGroupPositions(Integer AGroupIndex, Integer& AFirst, Integer& ALast) const {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  const TcxDataGroupInfo& g = groups->Item(AGroupIndex);
  if (groups->IsDeepest(AGroupIndex)) {
    AFirst = g.First;
    ALast = g.Last;
    return;
  }
  // An upper group ends with its last descendant, a deepest group.
  AFirst = groups->GetFirstListIndex(AGroupIndex);
  ALast = groups->Item(g.Last).Last;
}

void TcxDataSummary::CalculateFooterInRecordOrder() {
  // The footer goes over the shown records in record order, as a pass that
  // loads them all leaves them before sorting: equal extremes of other bits
  // (and NaN) keep that order when a pass only moved records.
  const std::vector<Integer>& list = FDataController->GetDataControllerInfo()->GetRecordList();
  if (FFooterSummaryItems->GetCount() == 0 || std::is_sorted(list.begin(), list.end())) {
    CalculateFooterSummary();
    return;
  }
  // The shown records are distinct record indexes: marking them and reading
  // the marks back puts them in record order in two linear passes.
  std::vector<Integer> order;
  const size_t records = static_cast<size_t>(std::max<Integer>(FDataController->GetRecordCount(), 0));
  std::vector<Byte> shown(records, 0);
  bool marked = true;
  for (Integer r : list) {
    if (r < 0 || static_cast<size_t>(r) >= records || shown[static_cast<size_t>(r)]) {
      marked = false;
      break;
    }
    shown[static_cast<size_t>(r)] = 1;
  }
  if (marked) {
    order.reserve(list.size());
    for (size_t r = 0; r < records; ++r)
      if (shown[r]) order.push_back(static_cast<Integer>(r));
  } else {
    order = list;
    std::sort(order.begin(), order.end());
  }
  FPositionOrder = &order;
  try {
    CalculateFooterSummary();
  } catch (...) {
    FPositionOrder = nullptr;
    throw;
  }
  FPositionOrder = nullptr;
}

void TcxDataSummary::RecalculateGroup(Integer AGroupIndex) {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(groups->Item(AGroupIndex).Level);
  FGroupsKept.erase(AGroupIndex);
  if (!items || items->GetCount() == 0) return;
  Integer first, last;
  GetGroupPositions(AGroupIndex, first, last);
  std::vector<Integer> counts;
  std::vector<Variant> values;
  BeginCalculateSummary(items, counts, values);
  CalculateSummary(items, first, last, counts, values);
  EndCalculateSummary(items, counts, values, groups->Item(AGroupIndex).SummaryValues);
  groups->Item(AGroupIndex).SummaryTotals = -1;
  if (last - first + 1 >= cxKeptGroupRecords) KeepAccumulators(FGroupsKept[AGroupIndex]);
}

void TcxDataSummary::RecordChanging(Integer ARecordIndex) {
  if (!FKept || FChangingSpoiled || FChangingRecord == ARecordIndex) return;
  if (FChangingRecord != -1) {
    FChangingSpoiled = true;
    return;
  }
  FChangingRecord = ARecordIndex;
  FChangingCells.clear();
  auto remember = [&](TcxDataSummaryItems* AItems) {
    if (!AItems) return;
    for (Integer i = 0; i < AItems->GetCount(); ++i) {
      TcxDataSummaryItem* item = AItems->GetItem(i);
      if (!item->GetField() || !IsAccumulated(AItems, item)) continue;
      TcxValueDef* def = item->GetField()->GetValueDef();
      if (std::any_of(FChangingCells.begin(), FChangingCells.end(), [def](const auto& e) { return e.first == def; }))
        continue;
      UInt64 cell;
      const Byte state = ReadCell(ARecordIndex, def, cell);
      FChangingCells.push_back({def, {state, cell}});
    }
  };
  remember(FFooterSummaryItems);
  const Integer levels = FDataController->GetDataControllerInfo()->GetDataGroups()->GetLevelCount();
  for (Integer level = 0; level < levels; ++level) remember(GetGroupSummaryItems(level));
}

void TcxDataSummary::RecordChanged(Integer ARecordIndex) {
  // A change that did not announce itself leaves no cells to take out.
  if (FKept && ARecordIndex != FChangingRecord) FChangingSpoiled = true;
}

bool TcxDataSummary::Replace(TcxDataSummaryItems* AItems, std::vector<TcxSummaryAccumulator>& AKept, bool AOld,
                             bool ANew) {
  const bool nullIgnore = FOptions.Contains(soNullIgnore);
  for (Integer i = 0; i < AItems->GetCount(); ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(i);
    if (!IsAccumulated(AItems, item)) continue;
    if (static_cast<size_t>(i) >= AKept.size()) return false;
    TcxSummaryAccumulator& a = AKept[static_cast<size_t>(i)];
    std::pair<Byte, UInt64> before{1, 0}, after{1, 0};
    if (TcxCustomDataField* field = item->GetField()) {
      TcxValueDef* def = field->GetValueDef();
      auto it = std::find_if(FChangingCells.begin(), FChangingCells.end(),
                             [def](const auto& e) { return e.first == def; });
      if (it == FChangingCells.end()) return false;
      before = it->second;
      after.first = ReadCell(FChangingRecord, def, after.second);
    }
    if (before.first == 0 || after.first == 0) return false;
    if (AOld) {
      if (before.first == 2) {
        if (!a.Remove(before.second)) return false;
      } else if (!nullIgnore) {
        a.AddNull(-1);
      }
    }
    if (ANew) {
      if (after.first == 2) {
        if (!a.Insert(after.second)) return false;
      } else if (!nullIgnore) {
        a.AddNull();
      }
    }
  }
  return true;
}

void TcxDataSummary::StoreResults(TcxDataSummaryItems* AItems, std::vector<TcxSummaryAccumulator>& AKept,
                                  Variant& AValues) {
  for (Integer i = 0; i < AItems->GetCount(); ++i)
    if (IsAccumulated(AItems, AItems->GetItem(i)))
      VarArrayPut(AValues, AKept[static_cast<size_t>(i)].Result(), {i});
}

bool TcxDataSummary::UpdateChangedRecord(Integer ARecordIndex, bool AWasShown, bool AIsShown,
                                         const std::vector<Integer>& AGroups, const std::vector<Integer>& ALeft,
                                         const std::vector<Integer>& AJoined) {
  if (!FKept || FChangingSpoiled || FChangingRecord != ARecordIndex || FSettingValue) return false;
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  try {
    if (FFooterSummaryItems->GetCount() > 0) {
      if (Replace(FFooterSummaryItems, FFooterKept, AWasShown, AIsShown))
        StoreResults(FFooterSummaryItems, FFooterKept, FFooterSummaryValues);
      else
        CalculateFooterInRecordOrder();
    }
    auto update = [&](const std::vector<Integer>& AList, bool AOld, bool ANew) {
      for (Integer g : AList) {
        TcxDataGroupSummaryItems* items = GetGroupSummaryItems(groups->Item(g).Level);
        if (!items || items->GetCount() == 0) continue;
        auto kept = FGroupsKept.find(g);
        if (kept != FGroupsKept.end() && Replace(items, kept->second, AOld, ANew)) {
          StoreResults(items, kept->second, groups->Item(g).SummaryValues);
        } else {
          RecalculateGroup(g);
        }
      }
    };
    update(AGroups, AWasShown, AIsShown);
    update(ALeft, AWasShown, false);
    update(AJoined, false, AIsShown);
  } catch (...) {
    ForgetKept();
    throw;
  }
  FChangingRecord = -1;
  FChangingCells.clear();
  DoAfterSummary();
  return true;
}

void TcxDataSummary::PassDone(bool ACalculated, bool ADataChanged) {
  FChangingRecord = -1;
  FChangingSpoiled = false;
  FChangingCells.clear();
  if (!ACalculated && ADataChanged) ForgetKept();
}
