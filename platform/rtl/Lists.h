// Lists of pointer-sized values: TList, the owning TObjectList, the list of
// interfaces TInterfaceList and the list of integers TIntegerList.
//
// Indices are 0-based; an index outside the list raises EListError
// "List index out of bounds (%d)". TList tells its descendants about every
// non-null item that enters or leaves it through the virtual Notify:
// lnAdded after it went in, lnDeleted after it was removed (Delete, Clear,
// a smaller Count, Put over it) and lnExtracted after Extract took it out.
// Move, Exchange, Sort and Pack rearrange without notifications.
#pragma once

#include <concepts>
#include <type_traits>
#include <vector>

#include "platform/rtl/Object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// <0 when Item1 sorts before Item2, 0 when they tie, >0 after.
using TListSortCompare = Integer (*)(void* Item1, void* Item2);

class TList : public TObject {
  ORV_CLASS(TList, TObject)
 public:
  // The largest Count and Capacity a list accepts.
  static constexpr Integer MaxListSize = 0x7FFFFFFF / 16;

  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;
  // Empties the list while the whole object (and its Notify) still exists.
  void BeforeDestruction() override;

  Integer Add(void* Item);
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  // Deletes the first occurrence; answers its former index or -1.
  Integer Remove(void* Item);
  // Takes the first occurrence out with lnExtracted; answers it, or null
  // when the list does not hold it.
  void* Extract(void* Item);
  void Move(Integer CurIndex, Integer NewIndex);
  void Exchange(Integer Index1, Integer Index2);
  Integer IndexOf(void* Item) const;
  // Deletes every item (last first) and releases the storage.
  virtual void Clear();
  // Stable: items that compare equal keep their order. If Compare raises,
  // the list is left as it was.
  void Sort(TListSortCompare Compare);
  void* First() const { return Get(0); }
  void* Last() const { return Get(GetCount() - 1); }
  // Removes the null items.
  void Pack();

  Integer GetCount() const { return static_cast<Integer>(FList.size()); }
  // Growing appends nulls; shrinking deletes from the end.
  void SetCount(Integer NewCount);
  Integer GetCapacity() const { return static_cast<Integer>(FList.capacity()); }
  // Raises EListError "List capacity out of bounds (%d)" below Count.
  void SetCapacity(Integer NewCapacity);
  void* Get(Integer Index) const;
  void Put(Integer Index, void* Item);
  void* operator[](Integer Index) const { return Get(Index); }
  // The items as an array, valid until the list changes.
  void* const* GetList() const { return FList.data(); }

  [[noreturn]] static void Error(const char* Msg, Integer Data);

 protected:
  virtual void Notify(void* Ptr, TListNotification Action);

 private:
  void CheckIndex(Integer Index) const;
  std::vector<void*> FList;
};

// A list of objects that, while OwnsObjects is true (the default), frees
// every object that is deleted from it, including by Clear and on its own
// destruction. Extract hands an object out without freeing it.
class TObjectList : public TList {
  ORV_CLASS(TObjectList, TList)
 public:
  TObjectList() = default;
  // Only a real bool: an owner or other pointer must not pass for one.
  explicit TObjectList(std::same_as<bool> auto AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* Get(Integer Index) const { return static_cast<TObject*>(TList::Get(Index)); }
  void Put(Integer Index, TObject* AObject) { TList::Put(Index, AObject); }
  TObject* operator[](Integer Index) const { return Get(Index); }
  TObject* First() const { return Get(0); }
  TObject* Last() const { return Get(GetCount() - 1); }

  bool GetOwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

 protected:
  void Notify(void* Ptr, TListNotification Action) override;

 private:
  bool FOwnsObjects = true;
};

// A list of interfaces. An interface is held by the object that implements
// it, so two interfaces of one object are the same entry: IndexOf finds an
// object by any of its interfaces, and Get<I> asks the entry for I. The
// list never owns or frees what it holds.
class TInterfaceList : public TInterfacedObject {
  ORV_CLASS(TInterfaceList, TInterfacedObject)
 public:
  TInterfaceList() = default;
  TInterfaceList(const TInterfaceList&) = delete;
  TInterfaceList& operator=(const TInterfaceList&) = delete;

  Integer Add(TObject* Item) { return FList.Add(Item); }
  template <class I>
  Integer Add(I* Item) {
    return FList.Add(Identity(Item));
  }
  void Insert(Integer Index, TObject* Item) { FList.Insert(Index, Item); }
  template <class I>
  void Insert(Integer Index, I* Item) {
    FList.Insert(Index, Identity(Item));
  }
  Integer IndexOf(TObject* Item) const { return FList.IndexOf(Item); }
  template <class I>
  Integer IndexOf(I* Item) const {
    return FList.IndexOf(Identity(Item));
  }
  Integer Remove(TObject* Item) { return FList.Remove(Item); }
  template <class I>
  Integer Remove(I* Item) {
    return FList.Remove(Identity(Item));
  }
  void Put(Integer Index, TObject* Item) { FList.Put(Index, Item); }
  template <class I>
  void Put(Integer Index, I* Item) {
    FList.Put(Index, Identity(Item));
  }
  void Delete(Integer Index) { FList.Delete(Index); }
  void Exchange(Integer Index1, Integer Index2) { FList.Exchange(Index1, Index2); }
  void Clear() { FList.Clear(); }

  // The object behind entry Index.
  TObject* Get(Integer Index) const { return static_cast<TObject*>(FList.Get(Index)); }
  // Entry Index as interface I; null when it does not implement I.
  template <class I>
  I* Get(Integer Index) const {
    return Supports<I>(Get(Index));
  }
  TObject* operator[](Integer Index) const { return Get(Index); }
  TObject* First() const { return Get(0); }
  TObject* Last() const { return Get(GetCount() - 1); }

  Integer GetCount() const { return FList.GetCount(); }
  void SetCount(Integer NewCount) { FList.SetCount(NewCount); }
  Integer GetCapacity() const { return FList.GetCapacity(); }
  void SetCapacity(Integer NewCapacity) { FList.SetCapacity(NewCapacity); }

 private:
  // The implementing object of an interface; an interface implemented by
  // something that is not a TObject cannot be held (EInvalidCast).
  template <class I>
  static TObject* Identity(I* Item) {
    if constexpr (std::is_base_of_v<TObject, I>) {
      return Item;
    } else {
      if (!Item) return nullptr;
      auto* obj = dynamic_cast<TObject*>(Item);
      if (!obj) ThrowNotAnObject();
      return obj;
    }
  }
  [[noreturn]] static void ThrowNotAnObject();

  TList FList;
};

// A list of integers with the same index rules as TList.
class TIntegerList : public TObject {
  ORV_CLASS(TIntegerList, TObject)
 public:
  TIntegerList() = default;

  Integer Add(Integer Value);
  void Insert(Integer Index, Integer Value);
  void Delete(Integer Index);
  // Deletes the first occurrence; answers its former index or -1.
  Integer Remove(Integer Value);
  Integer IndexOf(Integer Value) const;
  void Move(Integer CurIndex, Integer NewIndex);
  void Exchange(Integer Index1, Integer Index2);
  void Clear();
  // Ascending.
  void Sort();
  Integer First() const { return Get(0); }
  Integer Last() const { return Get(GetCount() - 1); }

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Growing appends zeros.
  void SetCount(Integer NewCount);
  Integer GetCapacity() const { return static_cast<Integer>(FItems.capacity()); }
  void SetCapacity(Integer NewCapacity);
  Integer Get(Integer Index) const;
  void Put(Integer Index, Integer Value);
  Integer operator[](Integer Index) const { return Get(Index); }

 private:
  void CheckIndex(Integer Index) const;
  std::vector<Integer> FItems;
};
