#include "platform/rtl/Collection.h"

#include <algorithm>
#include <iterator>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TCollectionItem)
ORV_REGISTER(TCollection)
ORV_REGISTER(TOwnedCollection)

namespace {
[[noreturn]] void IndexError(Integer Index) { throw EListError("List index out of bounds (%d)", {Index}); }
}  // namespace

// ---------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) {
  try {
    SetCollection(Collection);
  } catch (...) {
    // The collection's Notify or Update refused the item; no destructor
    // will run for it, so it must not stay in the list.
    if (FCollection) {
      auto& items = FCollection->FItems;
      auto it = std::find(items.begin(), items.end(), this);
      if (it != items.end()) items.erase(it);
      FCollection = nullptr;
    }
    throw;
  }
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

Integer TCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer current = GetIndex();
  if (current < 0 || current == Value) return;
  auto& items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<Integer>(items.size())) IndexError(Value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

AnsiString TCollectionItem::GetDisplayName() { return ClassName(); }

void TCollectionItem::SetDisplayName(const AnsiString&) { Changed(false); }

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

AnsiString TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(GetIndex()) + "]";
}

// ---------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TClass ItemClass) : FItemClass(TClassRef<TCollectionItem>(ItemClass).Get()) {}

TCollection::~TCollection() {
  // Nobody is left to hear of the changes.
  FUpdateCount = 1;
  Clear();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EComponentError("Collection has no item class");
  // The item joins this collection from its constructor, before the item
  // class's own part is built; the change is reported once it is whole, so
  // listeners that read the new item see its real class and settings.
  auto update = orv::UpdateScope(this);
  return static_cast<TCollectionItem*>(FItemClass->Construct<TCollection*>(this));
}

TCollectionItem* TCollection::Insert(Integer Index) {
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  auto update = orv::UpdateScope(this);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = GetItem(Index);
  Notify(item, cnDeleting);
  // The listener may already have let the item go.
  if (std::find(FItems.begin(), FItems.end(), item) != FItems.end()) item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  auto update = orv::UpdateScope(this);
  while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
  return FItems[Index];
}

void TCollection::SetItem(Integer Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) Changed();
}

void TCollection::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  auto update = orv::UpdateScope(this);
  Clear();
  for (TCollectionItem* from : source->FItems) Add()->Assign(from);
}

TPersistent* TCollection::GetOwner() { return nullptr; }

AnsiString TCollection::GetPropName() {
  TPersistent* owner = GetOwner();
  if (!owner) return {};
  for (const TPropInfo* prop : GetPropList(owner))
    if (prop->PropType && prop->PropType->Kind == tkClass && prop->GetObj && prop->GetObj(owner) == this)
      return prop->Name;
  return {};
}

AnsiString TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  AnsiString path = owner->GetNamePath();
  if (path.empty()) return ClassName();
  AnsiString prop = GetPropName();
  if (prop.empty()) return ClassName();
  return path + "." + prop;
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  // Searched from the end: Clear frees the last item first, so emptying a
  // big collection stays linear.
  auto it = std::find(FItems.rbegin(), FItems.rend(), Item);
  if (it != FItems.rend()) FItems.erase(std::next(it).base());
  Item->FCollection = nullptr;
  Changed();
}

// ---------------------------------------------------------------------------

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
