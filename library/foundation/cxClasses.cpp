#include "library/foundation/cxClasses.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Shell.h"

ORV_REGISTER(TcxRegisteredClasses)
ORV_REGISTER(TcxRegisteredClassList)
ORV_REGISTER(TcxInterfacedPersistent)
ORV_REGISTER(TcxComponent)
ORV_REGISTER(TcxCollection)
ORV_REGISTER(TcxObjectList)
ORV_REGISTER(TcxOpenList)
ORV_REGISTER(TcxAutoWidthItem)
ORV_REGISTER(TcxAutoWidthObject)
ORV_REGISTER(TcxAlignment, ORV_PROP(Horz), ORV_PROP(Vert))
ORV_REGISTER(TcxFreeNotificator)
ORV_REGISTER(TcxMRUItem)
ORV_REGISTER(TcxMRUItems)
ORV_REGISTER(TcxComponentCollectionItem)
ORV_REGISTER(TcxComponentCollection)

// ---------------------------------------------------------------------------
// Resource strings.

namespace {

// One override: by record (Rec set, Key its string-table text) or by text.
struct ResourceOverride {
  AnsiString Key;
  bool ByRecord = false;
  AnsiString Module;
  Integer Identifier = 0;
  AnsiString Text;
};

std::unique_ptr<std::vector<ResourceOverride>>& OverrideTable() {
  static std::unique_ptr<std::vector<ResourceOverride>> table;
  return table;
}

std::vector<ResourceOverride>& EnsureOverrideTable() {
  auto& table = OverrideTable();
  if (!table) table = std::make_unique<std::vector<ResourceOverride>>();
  return *table;
}

ResourceOverride* FindByRecord(const TResStringRec& ARec) {
  auto& table = OverrideTable();
  if (!table) return nullptr;
  for (auto& entry : *table)
    if (entry.ByRecord && entry.Identifier == ARec.Identifier && entry.Module == ARec.Module) return &entry;
  return nullptr;
}

ResourceOverride* FindByKey(const AnsiString& AKey) {
  auto& table = OverrideTable();
  if (!table) return nullptr;
  for (auto& entry : *table)
    if (entry.Key == AKey) return &entry;
  return nullptr;
}

}  // namespace

AnsiString cxGetResourceString(const TResStringRec& ARec) {
  if (const ResourceOverride* entry = FindByRecord(ARec)) return entry->Text;
  return LoadResString(ARec);
}

AnsiString cxGetResourceString(const AnsiString& AKey) { return cxGetResourceStringNet(AKey); }

void cxSetResourceString(const TResStringRec& ARec, const AnsiString& AText) {
  auto& table = EnsureOverrideTable();
  if (ResourceOverride* entry = FindByRecord(ARec)) {
    entry->Text = AText;
    return;
  }
  table.push_back({LoadResString(ARec), true, ARec.Module, ARec.Identifier, AText});
}

AnsiString cxGetResourceStringNet(const AnsiString& AKey) {
  if (const ResourceOverride* entry = FindByKey(AKey)) return entry->Text;
  return AKey;
}

WideString cxGetResourceStringNet(const WideString& AKey) {
  return AnsiToWide(cxGetResourceStringNet(WideToAnsi(AKey)));
}

void cxSetResourceStringNet(const AnsiString& AKey, const AnsiString& AText) {
  auto& table = EnsureOverrideTable();
  if (ResourceOverride* entry = FindByKey(AKey)) {
    entry->Text = AText;
    return;
  }
  table.push_back({AKey, false, {}, 0, AText});
}

void cxClearResourceStrings() { OverrideTable().reset(); }

// ---------------------------------------------------------------------------
// TcxRegisteredClasses

namespace {

AnsiString DescriptionOf(const AnsiString& AText) {
  auto bar = AText.find('|');
  return bar == AnsiString::npos ? AText : AText.substr(0, bar);
}

AnsiString HintOf(const AnsiString& AText) {
  auto bar = AText.find('|');
  return bar == AnsiString::npos ? AText : AText.substr(bar + 1);
}

}  // namespace

void TcxRegisteredClasses::Register(TClass AClass, const AnsiString& ADescription) {
  if (GetIndexByClass(AClass) != -1) return;
  FItems.push_back({AClass, ADescription});
  if (FSorted) Sort();
  if (FRegisterClasses) RegisterClass(AClass);
}

void TcxRegisteredClasses::Unregister(TClass AClass) {
  Integer index = GetIndexByClass(AClass);
  if (index != -1) FItems.erase(FItems.begin() + index);
}

void TcxRegisteredClasses::Clear() { FItems.clear(); }

void TcxRegisteredClasses::Sort() {
  // CompareItems speaks of positions, so sort positions and then reorder;
  // entries that compare equal keep their order.
  std::vector<Integer> order(FItems.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<Integer>(i);
  std::stable_sort(order.begin(), order.end(), [this](Integer a, Integer b) { return CompareItems(a, b) < 0; });
  std::vector<Entry> sorted;
  sorted.reserve(FItems.size());
  for (Integer i : order) sorted.push_back(FItems[i]);
  FItems = std::move(sorted);
}

Integer TcxRegisteredClasses::GetCount() const { return static_cast<Integer>(FItems.size()); }

TClass TcxRegisteredClasses::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) TList::Error("List index out of bounds (%d)", Index);
  return FItems[Index].Class;
}

AnsiString TcxRegisteredClasses::GetDescription(Integer Index) const {
  GetItem(Index);
  return DescriptionOf(FItems[Index].Text);
}

AnsiString TcxRegisteredClasses::GetHint(Integer Index) const {
  GetItem(Index);
  return HintOf(FItems[Index].Text);
}

AnsiString TcxRegisteredClasses::GetDescriptionByClass(TClass AClass) const {
  Integer index = GetIndexByClass(AClass);
  return index == -1 ? AnsiString() : GetDescription(index);
}

AnsiString TcxRegisteredClasses::GetHintByClass(TClass AClass) const {
  Integer index = GetIndexByClass(AClass);
  return index == -1 ? AnsiString() : GetHint(index);
}

Integer TcxRegisteredClasses::GetIndexByClass(TClass AClass) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i) == AClass) return i;
  return -1;
}

TClass TcxRegisteredClasses::FindByClassName(const AnsiString& AClassName) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->ClassName() == AClassName) return GetItem(i);
  return nullptr;
}

TClass TcxRegisteredClasses::FindByDescription(const AnsiString& ADescription) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetDescription(i) == ADescription) return GetItem(i);
  return nullptr;
}

void TcxRegisteredClasses::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (FSorted) Sort();
}

Integer TcxRegisteredClasses::CompareItems(Integer AIndex1, Integer AIndex2) const {
  Integer result = AnsiCompareText(GetDescription(AIndex1), GetDescription(AIndex2));
  return result < 0 ? -1 : result > 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// TcxRegisteredClassList

void TcxRegisteredClassList::Register(TClass AItemClass, TClass ARegisteredClass) {
  Integer index;
  TcxRegisteredClassListItemData data{AItemClass, ARegisteredClass};
  if (Find(AItemClass, index))
    FItems.insert(FItems.begin() + index + 1, data);
  else if (index != -1)
    FItems.insert(FItems.begin() + index, data);
  else
    FItems.push_back(data);
}

void TcxRegisteredClassList::Unregister(TClass AItemClass, TClass ARegisteredClass) {
  std::erase_if(FItems, [&](const TcxRegisteredClassListItemData& item) {
    return item.ItemClass == AItemClass && item.RegisteredClass == ARegisteredClass;
  });
}

const TcxRegisteredClassListItemData& TcxRegisteredClassList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) TList::Error("List index out of bounds (%d)", Index);
  return FItems[Index];
}

bool TcxRegisteredClassList::Find(TClass AClass, Integer& AIndex) const {
  AIndex = -1;
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    TClass itemClass = FItems[i].ItemClass;
    if (AClass->InheritsFrom(itemClass)) {
      AIndex = i;
      return true;
    }
    if (itemClass->InheritsFrom(AClass)) AIndex = i;
  }
  return false;
}

TClass TcxRegisteredClassList::FindClass(TClass AClass) const {
  Integer index;
  return Find(AClass, index) ? FItems[index].RegisteredClass : nullptr;
}

// ---------------------------------------------------------------------------
// Base classes.

TcxComponent::~TcxComponent() { cxClearObjectLinks(this); }

void TcxComponent::BeforeDestruction() {
  if (!GetComponentState().Contains(csDestroying)) Destroying();
  TComponent::BeforeDestruction();
}

void TcxCollection::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TCollection::DoAssign(Source);
    return;
  }
  if (GetCount() == 0 && source->GetCount() == 0) return;
  auto update = orv::UpdateScope(this);
  for (Integer i = 0; i < source->GetCount(); ++i) {
    TCollectionItem* item = i < GetCount() ? GetItem(i) : Add();
    item->Assign(source->GetItem(i));
  }
  while (GetCount() > source->GetCount()) Delete(GetCount() - 1);
}

TcxObjectList::~TcxObjectList() { Clear(); }

void TcxObjectList::Clear() {
  for (Integer i = 0; i < GetCount(); ++i) {
    auto* object = static_cast<TObject*>(Get(i));
    Put(i, nullptr);
    ::Free(object);
  }
  TList::Clear();
}

void TcxOpenList::SetItem(Integer Index, void* Value) {
  if (Index >= GetCount()) SetCount(Index + 1);
  Put(Index, Value);
}

// ---------------------------------------------------------------------------
// TcxAutoWidthObject

TcxAutoWidthObject::TcxAutoWidthObject(Integer ACount) { FItems.reserve(std::max(ACount, 0)); }

TcxAutoWidthObject::~TcxAutoWidthObject() { Clear(); }

TcxAutoWidthItem* TcxAutoWidthObject::AddItem() {
  FItems.push_back(New<TcxAutoWidthItem>());
  return FItems.back();
}

void TcxAutoWidthObject::Clear() {
  for (TcxAutoWidthItem* item : FItems) item->Free();
  FItems.clear();
}

Integer TcxAutoWidthObject::GetWidth() const {
  Integer width = 0;
  for (TcxAutoWidthItem* item : FItems) width += item->Width;
  return width;
}

void TcxAutoWidthObject::Calculate() {
  Integer available = AvailableWidth;
  Integer total = GetWidth();
  for (TcxAutoWidthItem* item : FItems) {
    item->AutoWidth = -1;
    if (item->Fixed) {
      item->AutoWidth = item->Width;
      available -= item->Width;
      total -= item->Width;
    }
  }
  bool finalPass = false;
  while (total != 0) {
    const Integer passAvailable = available, passTotal = total;
    Integer handled = 0;
    bool changed = false;
    for (TcxAutoWidthItem* item : FItems) {
      if (item->AutoWidth != -1) continue;
      Integer share = MulDiv(handled + item->Width, passAvailable, passTotal) - MulDiv(handled, passAvailable, passTotal);
      if (finalPass)
        item->AutoWidth = share;
      else if (item->MinWidth >= share) {
        item->AutoWidth = item->MinWidth;
        available -= item->AutoWidth;
        total -= item->Width;
        changed = true;
      }
      handled += item->Width;
    }
    if (finalPass) break;
    if (!changed) finalPass = true;
  }
}

// ---------------------------------------------------------------------------
// TcxAlignment

TcxAlignment::TcxAlignment(TPersistent* AOwner, bool AUseAssignedValues, TAlignment ADefaultHorz,
                           TcxAlignmentVert ADefaultVert)
    : FOwner(AOwner),
      FUseAssignedValues(AUseAssignedValues),
      FDefaultHorz(ADefaultHorz),
      FDefaultVert(ADefaultVert),
      FHorz(ADefaultHorz),
      FVert(ADefaultVert) {}

void TcxAlignment::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxAlignment*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  bool changed = FHorz != source->FHorz || FVert != source->FVert;
  FHorz = source->FHorz;
  FVert = source->FVert;
  FIsHorzAssigned = source->FIsHorzAssigned;
  FIsVertAssigned = source->FIsVertAssigned;
  if (changed) DoChanged();
}

void TcxAlignment::Reset() {
  bool changed = FHorz != FDefaultHorz || FVert != FDefaultVert;
  FIsHorzAssigned = FIsVertAssigned = false;
  FHorz = FDefaultHorz;
  FVert = FDefaultVert;
  if (changed) DoChanged();
}

void TcxAlignment::SetHorz(TAlignment Value) {
  FIsHorzAssigned = true;
  if (FHorz == Value) return;
  FHorz = Value;
  DoChanged();
}

void TcxAlignment::SetVert(TcxAlignmentVert Value) {
  FIsVertAssigned = true;
  if (FVert == Value) return;
  FVert = Value;
  DoChanged();
}

bool TcxAlignment::IsHorzStored() const { return FUseAssignedValues ? FIsHorzAssigned : FHorz != FDefaultHorz; }

bool TcxAlignment::IsVertStored() const { return FUseAssignedValues ? FIsVertAssigned : FVert != FDefaultVert; }

void TcxAlignment::DoChanged() {
  if (OnChanged) OnChanged(this);
}

// ---------------------------------------------------------------------------
// Object links. The controller (the list of live links) exists while any
// link made here is not yet removed.

namespace {

struct ObjectLinkController {
  std::vector<TcxObjectLink*> Links;  // links whose object is alive
  Integer Count = 0;                  // links made and not yet removed
};

std::unique_ptr<ObjectLinkController>& LinkController() {
  static std::unique_ptr<ObjectLinkController> controller;
  return controller;
}

}  // namespace

TcxObjectLink* cxAddObjectLink(TObject* AObject) {
  auto& controller = LinkController();
  if (!controller) controller = std::make_unique<ObjectLinkController>();
  auto* link = new TcxObjectLink{AObject};
  controller->Links.push_back(link);
  ++controller->Count;
  return link;
}

void cxRemoveObjectLink(TcxObjectLink* ALink) {
  if (!ALink) return;
  auto& controller = LinkController();
  if (controller) {
    std::erase(controller->Links, ALink);
    if (--controller->Count <= 0) controller.reset();
  }
  delete ALink;
}

void cxClearObjectLinks(TObject* AObject) {
  auto& controller = LinkController();
  if (!controller) return;
  std::erase_if(controller->Links, [AObject](TcxObjectLink* link) {
    if (link->Ref != AObject) return false;
    link->Ref = nullptr;
    return true;
  });
}

Integer cxObjectLinkCount() {
  auto& controller = LinkController();
  return controller ? controller->Count : 0;
}

// ---------------------------------------------------------------------------
// TcxFreeNotificator

void TcxFreeNotificator::AddSender(TComponent* ASender) {
  if (ASender) ASender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* ASender) {
  if (ASender) ASender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}

// ---------------------------------------------------------------------------
// TcxMRUItems

TcxMRUItems::~TcxMRUItems() { ClearItems(); }

void TcxMRUItems::Add(TcxMRUItem* AItem) {
  Integer index = IndexOf(AItem);
  if (index != -1) {
    TcxMRUItem* existing = FItems[index];
    FItems.erase(FItems.begin() + index);
    FItems.insert(FItems.begin(), existing);
    if (existing != AItem) AItem->Free();
    return;
  }
  FItems.insert(FItems.begin(), AItem);
  UpdateCount();
}

void TcxMRUItems::Delete(Integer AIndex) {
  TcxMRUItem* item = FItems.at(AIndex);
  FItems.erase(FItems.begin() + AIndex);
  item->Free();
}

void TcxMRUItems::ClearItems() {
  while (!FItems.empty()) Delete(GetCount() - 1);
}

Integer TcxMRUItems::IndexOf(TcxMRUItem* AItem) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[i] == AItem || FItems[i]->Equals(AItem)) return i;
  return -1;
}

void TcxMRUItems::SetMaxCount(Integer Value) {
  Value = std::max(Value, 0);
  if (FMaxCount == Value) return;
  FMaxCount = Value;
  UpdateCount();
}

void TcxMRUItems::UpdateCount() {
  if (FMaxCount == 0) return;
  while (GetCount() > FMaxCount) Delete(GetCount() - 1);
}

// ---------------------------------------------------------------------------
// Component collections.

TcxComponentCollectionItem::~TcxComponentCollectionItem() { SetCollection(nullptr); }

void TcxComponentCollectionItem::SetCollection(TcxComponentCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

Integer TcxComponentCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  return static_cast<Integer>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TcxComponentCollectionItem::SetIndex(Integer Value) {
  if (FCollection && GetIndex() != Value) FCollection->MoveItem(this, Value);
}

TComponent* TcxComponentCollectionItem::GetParentComponent() {
  return FCollection ? FCollection->GetParentComponent() : nullptr;
}

void TcxComponentCollectionItem::SetParentComponent(TComponent* Value) {
  SetCollection(Value ? GetCollectionFromParent(Value) : nullptr);
}

void TcxComponentCollectionItem::Changed(bool AAllItems) {
  if (!FCollection || GetComponentState().Contains(csDestroying)) return;
  FCollection->Changed(AAllItems ? nullptr : this, ccnChanged);
}

TcxComponentCollection::TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass)
    : FParentComponent(AParentComponent), FItemClass(AItemClass) {}

TcxComponentCollection::~TcxComponentCollection() {
  ++FUpdateCount;
  while (!FItems.empty()) FItems.back()->Free();
}

TcxComponentCollectionItem* TcxComponentCollection::Add() {
  TComponent* owner = FParentComponent ? FParentComponent->GetOwner() : nullptr;
  auto* item = static_cast<TcxComponentCollectionItem*>(FItemClass->Create(owner));
  try {
    InsertItem(item);
  } catch (...) {
    item->Free();
    throw;
  }
  return item;
}

TcxComponentCollectionItem* TcxComponentCollection::Insert(Integer AIndex) {
  TcxComponentCollectionItem* item = Add();
  item->SetIndex(AIndex);
  return item;
}

void TcxComponentCollection::Delete(Integer AIndex) {
  TcxComponentCollectionItem* item = FItems.at(AIndex);
  Notify(item, ccnDeleting);
  item->Free();
}

void TcxComponentCollection::Remove(TcxComponentCollectionItem* AItem) {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it != FItems.end()) Delete(static_cast<Integer>(it - FItems.begin()));
}

void TcxComponentCollection::Clear() {
  if (FItems.empty()) return;
  auto update = orv::UpdateScope(this);
  while (!FItems.empty()) FItems.back()->Free();
}

TcxComponentCollectionItem* TcxComponentCollection::FindItemByID(Integer AID) const {
  for (TcxComponentCollectionItem* item : FItems)
    if (item->FID == AID) return item;
  return nullptr;
}

void TcxComponentCollection::BeginUpdate() { ++FUpdateCount; }

void TcxComponentCollection::EndUpdate(bool AForceUpdate) {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (AForceUpdate) Changed(nullptr, ccnChanged);
}

void TcxComponentCollection::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxComponentCollection*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  auto update = orv::UpdateScope(this);
  Clear();
  for (TcxComponentCollectionItem* sourceItem : source->FItems) Add()->Assign(sourceItem);
}

void TcxComponentCollection::Notify(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) {
  if (OnChange) OnChange(this, AItem, AAction);
}

void TcxComponentCollection::Update(TcxComponentCollectionItem*, TcxComponentCollectionNotification) {}

void TcxComponentCollection::Changed(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction) {
  if (FUpdateCount != 0) return;
  Update(AItem, AAction);
  Notify(AItem, AAction);
}

void TcxComponentCollection::InsertItem(TcxComponentCollectionItem* AItem) {
  if (!AItem->InheritsFrom(FItemClass)) throw EInvalidCast("Invalid class typecast");
  FItems.push_back(AItem);
  AItem->FCollection = this;
  AItem->FID = FNextID++;
  Notify(AItem, ccnAdded);
  Changed(AItem, ccnAdded);
}

void TcxComponentCollection::RemoveItem(TcxComponentCollectionItem* AItem) {
  Notify(AItem, ccnExtracting);
  std::erase(FItems, AItem);
  AItem->FCollection = nullptr;
  Notify(AItem, ccnExtracted);
  Changed(nullptr, ccnExtracted);
}

void TcxComponentCollection::MoveItem(TcxComponentCollectionItem* AItem, Integer ANewIndex) {
  ANewIndex = std::clamp(ANewIndex, 0, GetCount() - 1);
  std::erase(FItems, AItem);
  FItems.insert(FItems.begin() + ANewIndex, AItem);
  Changed(AItem, ccnChanged);
}

// ---------------------------------------------------------------------------
// Helpers.

bool InternalCompareString(const AnsiString& S1, const AnsiString& S2, bool ACaseSensitive) {
  return ACaseSensitive ? S1 == S2 : AnsiSameText(S1, S2);
}

Integer RoundDiv(Integer A, Integer B) { return A / B + (A % B != 0 ? 1 : 0); }

Integer GetRangeCenter(Integer A, Integer B) {
  // In 64 bits: the ends of a range near an end of Integer need not sum to
  // an Integer, their middle always is one.
  const Int64 sum = Int64(A) + B;
  return static_cast<Integer>(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

void SwapIntegers(Integer& A, Integer& B) { std::swap(A, B); }

TSize Size(Integer cx, Integer cy) { return {cx, cy}; }

bool StreamsEqual(TMemoryStream* AStream1, TMemoryStream* AStream2) {
  if (AStream1->GetSize() != AStream2->GetSize()) return false;
  if (AStream1->GetSize() == 0) return true;
  return std::memcmp(AStream1->GetMemory(), AStream2->GetMemory(), static_cast<size_t>(AStream1->GetSize())) == 0;
}

void CopyList(TList* ASource, TList* ADestination) {
  ADestination->SetCount(ASource->GetCount());
  for (Integer i = 0; i < ASource->GetCount(); ++i) ADestination->Put(i, ASource->Get(i));
}

void OpenWebPage(const AnsiString& AWebAddress) {
  constexpr int SW_SHOWMAXIMIZED = 3;
  win::ShellExecuteA(nullptr, "OPEN", AWebAddress.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

AnsiString GetCorrectPath(const AnsiString& APath) {
  AnsiString result = APath;
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}

Byte HexToByte(std::string_view AHex) {
  auto digit = [&](char c) -> Integer {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw EConvertError("'%s' is not a valid hexadecimal byte", {AnsiString(AHex)});
  };
  if (AHex.size() != 2) throw EConvertError("'%s' is not a valid hexadecimal byte", {AnsiString(AHex)});
  return static_cast<Byte>(digit(AHex[0]) * 16 + digit(AHex[1]));
}

Byte ReadFromMemory(const void* AAddress, NativeInt AOffset) { return static_cast<const Byte*>(AAddress)[AOffset]; }

void WriteToMemory(void* AAddress, NativeInt AOffset, Byte AValue) { static_cast<Byte*>(AAddress)[AOffset] = AValue; }

Integer cxStrCharLength(std::string_view AText) { return AText.empty() ? 0 : 1; }

void FillStringsWithEnumTypeValues(TStrings* AStrings, const TTypeInfo* ATypeInfo,
                                   const std::function<AnsiString(Integer)>& AGetTypeItemCaption) {
  auto update = orv::UpdateScope(AStrings);
  for (Integer i = 0; i < static_cast<Integer>(ATypeInfo->EnumNames.size()); ++i) {
    AnsiString caption = AGetTypeItemCaption(i);
    if (!caption.empty()) AStrings->AddObject(caption, reinterpret_cast<TObject*>(static_cast<NativeInt>(i)));
  }
}

TPersistent* GetPersistentOwner(TPersistent* APersistent) { return APersistent ? APersistent->GetOwner() : nullptr; }

AnsiString GetSubobjectName(TObject* AObject, TObject* ASubobject) {
  if (!AObject || !ASubobject) return {};
  for (const TPropInfo* prop : GetPropList(AObject)) {
    if (prop->PropType->Kind != tkClass) continue;
    TObject* value = GetObjectProp(AObject, prop);
    if (value && value->ClassType() == ASubobject->ClassType()) return prop->Name;
  }
  return {};
}

AnsiString GetValidName(TComponent* AComponent, const AnsiString& AName, bool AAlwaysAddNumber) {
  TComponent* owner = AComponent ? AComponent->GetOwner() : nullptr;
  auto taken = [&](const AnsiString& name) {
    if (!owner) return false;
    TComponent* found = owner->FindComponent(name);
    return found && found != AComponent;
  };
  if (!AAlwaysAddNumber && !taken(AName)) return AName;
  for (Integer i = 1;; ++i) {
    AnsiString name = AName + IntToStr(i);
    if (!taken(name)) return name;
  }
}

AnsiString CreateUniqueName(TComponent* AOwner, TComponent* AComponent, TClass AClass, const AnsiString& APrefix,
                            const AnsiString& ASuffix) {
  AnsiString className = AClass->ClassName();
  if (AOwner) {
    // Drop the part of the class name shared with the owner's class name,
    // so "TcxGridColumn" in a "TcxGrid" gives "Column".
    const AnsiString& ownerName = AOwner->ClassName();
    size_t common = 0;
    while (common < className.size() && common < ownerName.size() && className[common] == ownerName[common])
      ++common;
    if (common > 1 && common < className.size())
      className = className.substr(common);
    else if (!className.empty() && (className[0] == 'T' || className[0] == 't'))
      className = className.substr(1);
  } else if (!className.empty() && (className[0] == 'T' || className[0] == 't')) {
    className = className.substr(1);
  }
  AnsiString base = APrefix + className + ASuffix;
  for (Integer i = 1;; ++i) {
    AnsiString name = base + IntToStr(i);
    bool taken = false;
    if (AOwner)
      for (Integer j = 0; j < AOwner->GetComponentCount() && !taken; ++j) {
        TComponent* other = AOwner->GetComponent(j);
        taken = other != AComponent && SameText(other->GetName(), name);
      }
    if (!taken) return name;
  }
}

void RenameComponents(TComponent* AOwner, const AnsiString& AOldPrefix, const AnsiString& ANewPrefix) {
  if (!AOwner || AOwner->GetComponentState().Contains(csLoading) || AOldPrefix == ANewPrefix) return;
  for (Integer i = 0; i < AOwner->GetComponentCount(); ++i) {
    TComponent* component = AOwner->GetComponent(i);
    const AnsiString& name = component->GetName();
    // The component that carries the new prefix as its whole name is the
    // one being renamed: when the new name extends the old one it matches
    // the old prefix too, and renaming it again would never end.
    if (SameText(name, ANewPrefix)) continue;
    if (!AOldPrefix.empty() && name.compare(0, AOldPrefix.size(), AOldPrefix) == 0)
      component->SetName(ANewPrefix + name.substr(AOldPrefix.size()));
  }
}
