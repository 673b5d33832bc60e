#include "platform/rtl/Lists.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ListSort.h"
#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(TList)
ORV_REGISTER(TObjectList)
ORV_REGISTER(TInterfaceList)
ORV_REGISTER(TIntegerList)

namespace {

constexpr const char* SListIndexError = "List index out of bounds (%d)";
constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
constexpr const char* SListCountError = "List count out of bounds (%d)";

// Moves item cur to position to, shifting the ones between.
template <class T>
void MoveItem(std::vector<T>& v, Integer cur, Integer to) {
  if (cur < to)
    std::rotate(v.begin() + cur, v.begin() + cur + 1, v.begin() + to + 1);
  else
    std::rotate(v.begin() + to, v.begin() + cur, v.begin() + cur + 1);
}

// Capacity exactly n (reserve alone never shrinks).
template <class T>
void Reallocate(std::vector<T>& v, Integer n) {
  if (n == static_cast<Integer>(v.capacity())) return;
  std::vector<T> fresh;
  fresh.reserve(n);
  fresh.assign(v.begin(), v.end());
  v.swap(fresh);
}

}  // namespace

// --- TList ------------------------------------------------------------------

TList::~TList() = default;

void TList::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

void TList::Error(const char* Msg, Integer Data) { throw EListError(Msg, {Data}); }

void TList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
}

Integer TList::Add(void* Item) {
  if (GetCount() >= MaxListSize) Error(SListCountError, GetCount() + 1);
  FList.push_back(Item);
  Integer index = GetCount() - 1;
  if (Item) Notify(Item, lnAdded);
  return index;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
  if (GetCount() >= MaxListSize) Error(SListCountError, GetCount() + 1);
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  CheckIndex(Index);
  void* item = FList[Index];
  FList.erase(FList.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  Integer index = IndexOf(Item);
  if (index < 0) return nullptr;
  FList.erase(FList.begin() + index);
  Notify(Item, lnExtracted);
  return Item;
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  MoveItem(FList, CurIndex, NewIndex);
}

void TList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FList[Index1], FList[Index2]);
}

Integer TList::IndexOf(void* Item) const {
  auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Sort(TListSortCompare Compare) {
  if (!Compare || GetCount() < 2) return;
  // Sorted on a copy, so a comparison that raises leaves the list intact.
  std::vector<void*> items = FList;
  orv::StableSort(items.data(), items.size(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
  FList.swap(items);
}

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error(SListCountError, NewCount);
  if (NewCount > GetCount()) {
    if (NewCount > GetCapacity()) SetCapacity(NewCount);
    FList.resize(NewCount, nullptr);
    return;
  }
  // One at a time from the end, re-reading the count: a notification may
  // take other items out of the list (an owned object that unregisters
  // itself elsewhere, say).
  while (GetCount() > NewCount) Delete(GetCount() - 1);
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount() || NewCapacity > MaxListSize) Error(SListCapacityError, NewCapacity);
  Reallocate(FList, NewCapacity);
}

void* TList::Get(Integer Index) const {
  CheckIndex(Index);
  return FList[Index];
}

void TList::Put(Integer Index, void* Item) {
  CheckIndex(Index);
  void* old = FList[Index];
  if (old == Item) return;
  FList[Index] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

// --- TObjectList ------------------------------------------------------------

TObjectList::~TObjectList() {
  // The base class's destructor no longer reaches this Notify.
  Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) static_cast<TObject*>(Ptr)->Free();
  inherited::Notify(Ptr, Action);
}

// --- TInterfaceList ---------------------------------------------------------

void TInterfaceList::ThrowNotAnObject() { throw EInvalidCast("Interface not supported"); }

// --- TIntegerList -----------------------------------------------------------

void TIntegerList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) TList::Error(SListIndexError, Index);
}

Integer TIntegerList::Add(Integer Value) {
  if (GetCount() >= TList::MaxListSize) TList::Error(SListCountError, GetCount() + 1);
  FItems.push_back(Value);
  return GetCount() - 1;
}

void TIntegerList::Insert(Integer Index, Integer Value) {
  if (Index < 0 || Index > GetCount()) TList::Error(SListIndexError, Index);
  if (GetCount() >= TList::MaxListSize) TList::Error(SListCountError, GetCount() + 1);
  FItems.insert(FItems.begin() + Index, Value);
}

void TIntegerList::Delete(Integer Index) {
  CheckIndex(Index);
  FItems.erase(FItems.begin() + Index);
}

Integer TIntegerList::Remove(Integer Value) {
  Integer index = IndexOf(Value);
  if (index >= 0) Delete(index);
  return index;
}

Integer TIntegerList::IndexOf(Integer Value) const {
  auto it = std::find(FItems.begin(), FItems.end(), Value);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TIntegerList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  MoveItem(FItems, CurIndex, NewIndex);
}

void TIntegerList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FItems[Index1], FItems[Index2]);
}

void TIntegerList::Clear() { std::vector<Integer>().swap(FItems); }

void TIntegerList::Sort() { std::sort(FItems.begin(), FItems.end()); }

void TIntegerList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > TList::MaxListSize) TList::Error(SListCountError, NewCount);
  FItems.resize(NewCount, 0);
}

void TIntegerList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < GetCount() || NewCapacity > TList::MaxListSize) TList::Error(SListCapacityError, NewCapacity);
  Reallocate(FItems, NewCapacity);
}

Integer TIntegerList::Get(Integer Index) const {
  CheckIndex(Index);
  return FItems[Index];
}

void TIntegerList::Put(Integer Index, Integer Value) {
  CheckIndex(Index);
  FItems[Index] = Value;
}
