// Collections: ordered lists of items of one item class, owned and freed
// by the collection, streamed as a list of the items' published properties.
//
// An item joins a collection when it is constructed with it and leaves when
// it is freed or moved to another collection. Every change ends in the
// collection's virtual Update: Update(item) when one item changed, and
// Update(nullptr) when the list itself or several items did. Between
// BeginUpdate and the matching EndUpdate changes are held back and the
// final EndUpdate reports one Update(nullptr).
#pragma once

#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypeInfo.h"

class TCollection;

ORV_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
  ORV_CLASS(TCollectionItem, TPersistent)
 public:
  explicit TCollectionItem(TCollection* Collection);
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;
  ~TCollectionItem() override;

  TCollection* GetCollection() const { return FCollection; }
  // Moves the item to the end of another collection (or out of any).
  virtual void SetCollection(TCollection* Value);

  // Position in the collection, -1 outside one. Setting it moves the item;
  // an index outside the collection raises EListError.
  Integer GetIndex() const;
  virtual void SetIndex(Integer Value);

  // Unique within the collection and never handed out twice by it.
  Integer GetID() const { return FID; }

  // The text designers and messages show; the class name by default.
  virtual AnsiString GetDisplayName();
  virtual void SetDisplayName(const AnsiString& Value);

  TPersistent* GetOwner() override;
  // "<collection path>[<index>]".
  AnsiString GetNamePath() override;

 protected:
  // Reports a change of this item, or of all items, to the collection.
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;
};

class TCollection : public TPersistent {
  ORV_CLASS(TCollection, TPersistent)
 public:
  // ItemClass must be TCollectionItem or a descendant (else EInvalidCast).
  explicit TCollection(TClass ItemClass);
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  ~TCollection() override;

  TClass GetItemClass() const { return FItemClass; }

  // A new item of the item class at the end.
  TCollectionItem* Add();
  // A new item at Index (0..Count); another index raises EListError.
  TCollectionItem* Insert(Integer Index);
  // Announces cnDeleting, then frees the item.
  void Delete(Integer Index);
  // Frees every item, last first, as one change.
  void Clear();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Raise EListError for an index out of range.
  TCollectionItem* GetItem(Integer Index) const;
  void SetItem(Integer Index, TCollectionItem* Value);

  // Counted; only the outermost EndUpdate reports, and an unmatched
  // EndUpdate is ignored.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer GetUpdateCount() const { return FUpdateCount; }

  TPersistent* GetOwner() override;
  // "<owner path>.<property holding the collection>", else the class name.
  AnsiString GetNamePath() override;

  // Null when no item has the ID.
  TCollectionItem* FindItemID(Integer ID) const;
  // The ID the next item will get.
  Integer GetNextID() const { return FNextID; }

 protected:
  // Replaces the items with copies of Source's (each new item Assigns from
  // its source item), as one change.
  void DoAssign(TPersistent* Source) override;

  // Called once per change outside BeginUpdate/EndUpdate; null means the
  // list or several items changed.
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // Reports a change of the list (Update(nullptr)) unless updates are held.
  void Changed();
  // The name of the owner's published property that holds this collection.
  AnsiString GetPropName();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
};

// A collection that belongs to a persistent object (settings, controls),
// which GetOwner names so that name paths and streaming can find it.
class TOwnedCollection : public TCollection {
  ORV_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TClass ItemClass);
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};
