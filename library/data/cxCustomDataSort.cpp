#include "library/data/cxCustomDataSort.h"

#include <algorithm>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSummary.h"
#include "library/data/cxCustomDataViewPipeline.h"

ORV_REGISTER(TcxSaveObject)
ORV_REGISTER(TcxSortBySummaryHelper)

void cxQuickSortList(NativeInt* AList, Integer L, Integer R, TcxListSortCompareFunc ACompare, void* AContext) {
  if (L >= R) return;
  cxQuickSort(AList, L, R, [&](NativeInt a, NativeInt b) { return ACompare(AContext, a, b); });
}

Integer cxCompareIntegers(void*, NativeInt AItem1, NativeInt AItem2) {
  return AItem1 < AItem2 ? -1 : AItem1 > AItem2 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Keys

namespace cxDataKeys {

class TcxKeyInfo : public TObject {
  ORV_CLASS(TcxKeyInfo, TObject)
 public:
  Variant Key;
};

class TcxSelectedKeyInfo : public TcxKeyInfo {
  ORV_CLASS(TcxSelectedKeyInfo, TcxKeyInfo)
 public:
  Integer SelectionIndex = -1;
};

class TcxDetailKeyInfo : public TcxKeyInfo {
  ORV_CLASS(TcxDetailKeyInfo, TcxKeyInfo)
 public:
  ~TcxDetailKeyInfo() override;
  Integer ActiveRelationIndex = 0;
  TcxSaveObject* SaveObject = nullptr;
};

// State remembered by record key, the values of the controller's key fields.
class TcxKeys : public TObject {
  ORV_CLASS(TcxKeys, TObject)
 public:
  ~TcxKeys() override { Clear(); }
  virtual void Restore() {}
  virtual void Save() {}
  virtual void FreeItem(TcxKeyInfo* AInfo) { AInfo->Free(); }
  virtual void Clear();

  void Init(TcxCustomDataController* ADataController);
  void Save(TcxCustomDataController* ADataController);
  void Restore(TcxCustomDataController* ADataController);
  // The info whose key is the record's key; the infos are sorted by key
  // after Save, so the lookup halves the list.
  bool Find(Integer ARecordIndex, Integer& AIndex);
  void Delete(Integer AIndex);
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxKeyInfo* GetItem(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }

 protected:
  TcxCustomDataController* FDataController = nullptr;
  std::vector<TcxCustomDataField*> FKeyFields;
  std::vector<TcxKeyInfo*> FItems;
  std::vector<bool> FUsed;
};

class TcxDetailKeys : public TcxKeys {
  ORV_CLASS(TcxDetailKeys, TcxKeys)
 public:
  // Master-detail expansion is not kept by this controller's relations
  // yet; there is nothing to save.
  void Save() override {}
  void Restore() override {}
};

class TcxSelectedKeys : public TcxKeys {
  ORV_CLASS(TcxSelectedKeys, TcxKeys)
 public:
  void Save() override;
  void Restore() override;
};

ORV_REGISTER(TcxKeyInfo)
ORV_REGISTER(TcxSelectedKeyInfo)
ORV_REGISTER(TcxDetailKeyInfo)
ORV_REGISTER(TcxKeys)
ORV_REGISTER(TcxDetailKeys)
ORV_REGISTER(TcxSelectedKeys)

TcxDetailKeyInfo::~TcxDetailKeyInfo() { FreeAndNil(SaveObject); }

void TcxKeys::Clear() {
  for (TcxKeyInfo* info : FItems) FreeItem(info);
  FItems.clear();
  FUsed.clear();
}

void TcxKeys::Init(TcxCustomDataController* ADataController) {
  FDataController = ADataController;
  FKeyFields.clear();
  ADataController->GetKeyFields(FKeyFields);
}

void TcxKeys::Save(TcxCustomDataController* ADataController) {
  Clear();
  Init(ADataController);
  Save();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](TcxKeyInfo* a, TcxKeyInfo* b) { return VarCompare(a->Key, b->Key) < 0; });
}

void TcxKeys::Restore(TcxCustomDataController* ADataController) {
  Init(ADataController);
  if (FItems.empty()) return;
  Restore();
  Clear();
}

bool TcxKeys::Find(Integer ARecordIndex, Integer& AIndex) {
  const Variant key = FDataController->GetInternalRecordId(ARecordIndex, FKeyFields);
  // The first info with an equal key, found by halving the sorted list.
  auto it = std::lower_bound(FItems.begin(), FItems.end(), key,
                             [](TcxKeyInfo* info, const Variant& k) { return VarCompare(info->Key, k) < 0; });
  for (; it != FItems.end() && VarCompare((*it)->Key, key) == 0; ++it)
    if (VarEquals((*it)->Key, key)) {
      AIndex = static_cast<Integer>(it - FItems.begin());
      return true;
    }
  AIndex = -1;
  return false;
}

void TcxKeys::Delete(Integer AIndex) {
  FreeItem(FItems.at(static_cast<size_t>(AIndex)));
  FItems.erase(FItems.begin() + AIndex);
}

void TcxSelectedKeys::Save() {
  TcxDataSelection* selection = FDataController->GetDataControllerInfo()->GetSelection();
  const Integer count = FDataController->GetRecordCount();
  for (Integer i = 0; i < selection->GetCount(); ++i) {
    const TcxDataSelectionItem& entry = selection->GetItem(i);
    if (entry.Level == -1 || entry.RecordIndex < 0 || entry.RecordIndex >= count) continue;
    auto* info = New<TcxSelectedKeyInfo>();
    info->SelectionIndex = i;
    info->Key = FDataController->GetInternalRecordId(entry.RecordIndex, FKeyFields);
    FItems.push_back(info);
  }
  FDataController->GetDataControllerInfo()->SaveExpanding({eisExpanded, eisSelected});
}

void TcxSelectedKeys::Restore() {
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  TcxDataSelection* selection = info->GetSelection();
  if (selection->GetCount() == 0) return;
  // Each info is taken by the first record that has its key; what is left
  // over belongs to records that are gone.
  std::vector<bool> matched(FItems.size(), false);
  std::vector<Integer> newRecord(static_cast<size_t>(selection->GetCount()), -1);
  for (Integer r = 0; r < FDataController->GetRecordCount(); ++r) {
    Integer index;
    if (!Find(r, index)) continue;
    while (index < GetCount() && matched[static_cast<size_t>(index)]) ++index;
    if (index >= GetCount() || !VarEquals(FItems[static_cast<size_t>(index)]->Key,
                                          FDataController->GetInternalRecordId(r, FKeyFields)))
      continue;
    matched[static_cast<size_t>(index)] = true;
    auto* key = static_cast<TcxSelectedKeyInfo*>(FItems[static_cast<size_t>(index)]);
    if (key->SelectionIndex < selection->GetCount()) newRecord[static_cast<size_t>(key->SelectionIndex)] = r;
  }
  for (size_t i = 0; i < FItems.size(); ++i) {
    auto* key = static_cast<TcxSelectedKeyInfo*>(FItems[i]);
    if (key->SelectionIndex >= selection->GetCount()) continue;
    selection->SetRecordIndex(key->SelectionIndex, matched[i] ? newRecord[static_cast<size_t>(key->SelectionIndex)] : -1);
  }
  for (Integer i = selection->GetCount() - 1; i >= 0; --i)
    if (selection->GetItem(i).Level != -1 && selection->GetItem(i).RecordIndex == -1) selection->Delete(i);
  info->ExpandingChanged();
}

}  // namespace cxDataKeys

using cxDataKeys::TcxDetailKeys;
using cxDataKeys::TcxKeys;
using cxDataKeys::TcxSelectedKeys;

TcxSaveObject::TcxSaveObject() : FDetailKeys(New<TcxDetailKeys>()), FSelectedKeys(New<TcxSelectedKeys>()) {}

TcxSaveObject::~TcxSaveObject() {
  FDetailKeys->Free();
  FSelectedKeys->Free();
}

void TcxSaveObject::Save(TcxCustomDataController* ADataController) {
  if (ADataController->IsKeysSavingBlocked()) return;
  if (ADataController->IsDestroying() || !ADataController->IsKeyNavigation()) return;
  FDetailKeys->TcxKeys::Save(ADataController);
  FSelectedKeys->TcxKeys::Save(ADataController);
}

void TcxSaveObject::Restore(TcxCustomDataController* ADataController) {
  if (ADataController->IsKeysSavingBlocked()) return;
  if (ADataController->IsKeyNavigation()) {
    FDetailKeys->TcxKeys::Restore(ADataController);
    FSelectedKeys->TcxKeys::Restore(ADataController);
  } else {
    ADataController->CheckSelectedCount(-1);
  }
}

// ---------------------------------------------------------------------------
// Sorting groups by summary

namespace {
struct GroupNode {
  Integer Group = -1;  // -1 for the root
  std::vector<Integer> Children;  // node indexes
};
}  // namespace

void TcxSortBySummaryHelper::Sort(const std::vector<LevelInfo>& ALevels) {
  TcxDataGroups* groups = FInfo->GetDataGroups();
  if (groups->Empty()) return;
  TcxDataSummary* summaries = FInfo->GetDataController()->GetSummary();
  // The node tree in table order: node 0 is the root.
  std::vector<GroupNode> nodes(1);
  std::vector<Integer> open;  // node of the current group per level
  for (Integer g = 0; g < groups->GetItemCount(); ++g) {
    const Integer level = groups->Item(g).Level;
    open.resize(static_cast<size_t>(level));
    const Integer parent = level == 0 ? 0 : open.empty() ? 0 : open.back();
    nodes.push_back(GroupNode{g, {}});
    const Integer node = static_cast<Integer>(nodes.size()) - 1;
    nodes[static_cast<size_t>(parent)].Children.push_back(node);
    open.push_back(node);
  }
  auto summary = [&](Integer node, Integer item) -> Variant {
    const Variant* found = summaries->GetGroupSummaryValues(nodes[static_cast<size_t>(node)].Group);
    if (!found || !found->IsArray()) return Null();
    const Variant& values = *found;
    Integer low = VarArrayLowBound(values, 1), high = VarArrayHighBound(values, 1);
    if (item < 0 || low + item > high) return Null();
    return values[low + item];
  };
  // Level by level from the root.
  std::vector<Integer> current{0};
  for (Integer level = 0; level < groups->GetLevelCount() && !current.empty(); ++level) {
    const LevelInfo info = level < static_cast<Integer>(ALevels.size()) ? ALevels[static_cast<size_t>(level)]
                                                                         : LevelInfo{};
    std::vector<Integer> next;
    for (Integer n : current) {
      std::vector<Integer>& children = nodes[static_cast<size_t>(n)].Children;
      if (info.SummaryItemIndex != -1 && children.size() > 1)
        cxQuickSort(children.data(), 0, static_cast<Integer>(children.size()) - 1, [&](Integer a, Integer b) {
          Integer c = VarCompare(summary(a, info.SummaryItemIndex), summary(b, info.SummaryItemIndex));
          return info.SortOrder == soDescending ? -c : c;
        });
      next.insert(next.end(), children.begin(), children.end());
    }
    current.swap(next);
  }
  // Write the table back in pre-order.
  std::vector<TcxDataGroupInfo> old;
  old.reserve(static_cast<size_t>(groups->GetItemCount()));
  for (Integer g = 0; g < groups->GetItemCount(); ++g) old.push_back(groups->Item(g));
  Integer out = 0;
  auto emit = [&](auto&& self, Integer node) -> Integer {
    const Integer index = out++;
    TcxDataGroupInfo info = old[static_cast<size_t>(nodes[static_cast<size_t>(node)].Group)];
    groups->SetItem(index, info);
    const auto& children = nodes[static_cast<size_t>(node)].Children;
    if (!children.empty()) {
      Integer last = index;
      bool first = true;
      Integer firstChild = 0;
      for (Integer c : children) {
        const Integer childIndex = out;
        if (first) firstChild = childIndex, first = false;
        last = self(self, c);
      }
      TcxDataGroupInfo updated = groups->Item(index);
      updated.First = firstChild;
      updated.Last = last;
      groups->SetItem(index, updated);
      return last;
    }
    return index;
  };
  for (Integer c : nodes[0].Children) emit(emit, c);
  groups->Rebuild();
}
