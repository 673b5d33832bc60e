// The record quicksort, saving view state by record key across reloads in
// provider mode, and reordering groups by a group summary value.
#pragma once

#include <vector>

#include "library/data/cxCustomDataGroups.h"

// The quicksort of the record list. The order it leaves equal items in is
// part of the behaviour (views are compared row by row), so this is the
// one algorithm, not a library sort. The scans are bounded by the range:
// with a consistent comparison they never reach the bounds and the result
// is unchanged; with an inconsistent one (a user comparison that
// contradicts itself) they stop there instead of leaving the list.
template <class T, class Compare>
void cxQuickSort(T* AList, Integer L, Integer R, Compare&& ACompare) {
  if (!AList) return;
  Integer I;
  do {
    I = L;
    Integer J = R;
    const T P = AList[static_cast<size_t>(L + R) >> 1];
    do {
      while (I < R && ACompare(AList[I], P) < 0) ++I;
      while (J > L && ACompare(AList[J], P) > 0) --J;
      if (I <= J) {
        if (I != J) std::swap(AList[I], AList[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) cxQuickSort(AList, L, J, ACompare);
    L = I;
  } while (I < R);
}

// The classic form: pointer-sized items, a context and a function.
using TcxListSortCompareFunc = Integer (*)(void* AContext, NativeInt AItem1, NativeInt AItem2);
void cxQuickSortList(NativeInt* AList, Integer L, Integer R, TcxListSortCompareFunc ACompare, void* AContext);
// Item1 - Item2, for lists of record indexes.
Integer cxCompareIntegers(void* AContext, NativeInt AItem1, NativeInt AItem2);

// The classes that keep state by record key are the controller's own; they
// live apart so that their names, TcxKeys among them, stay free for the
// controls' keyboard wishes.
namespace cxDataKeys {
class TcxDetailKeys;
class TcxSelectedKeys;
}  // namespace cxDataKeys

// The selection and the master-detail expansion, kept by record key across
// a reload that renumbers the records.
class TcxSaveObject : public TObject {
  ORV_CLASS(TcxSaveObject, TObject)
 public:
  TcxSaveObject();
  ~TcxSaveObject() override;
  void Save(TcxCustomDataController* ADataController);
  void Restore(TcxCustomDataController* ADataController);

 private:
  cxDataKeys::TcxDetailKeys* FDetailKeys;
  cxDataKeys::TcxSelectedKeys* FSelectedKeys;
};

class TcxCustomDataControllerInfo;

// Reorders the children of groups by one of their group summary values.
class TcxSortBySummaryHelper : public TObject {
  ORV_CLASS(TcxSortBySummaryHelper, TObject)
 public:
  struct LevelInfo {
    TcxDataSortOrder SortOrder = soAscending;
    Integer SummaryItemIndex = -1;
  };
  explicit TcxSortBySummaryHelper(TcxCustomDataControllerInfo* AInfo) : FInfo(AInfo) {}
  // ALevels[i] says how the groups of level i are ordered.
  void Sort(const std::vector<LevelInfo>& ALevels);

 private:
  TcxCustomDataControllerInfo* FInfo;
};
