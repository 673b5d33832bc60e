#include "library/editors/cxEditDataRegisteredRepositoryItems.h"

#include "library/editors/cxEditRepositoryItems.h"

#include <array>

ORV_REGISTER(TcxEditDataRegisteredRepositoryItems)

namespace {

constexpr std::intptr_t kAnyKey = -1;

TcxEditDataRegisteredRepositoryItems* Registry = nullptr;
Integer DataItemsStartCount = 0;

struct TypeEntry {
  TcxValueTypeClass Type;
  TClass ItemClass;
};

// The keyed value types with their item classes, in registration order.
const std::array<TypeEntry, 5>& TypeEntries() {
  static const std::array<TypeEntry, 5> entries{{
      {TcxBooleanValueType::Class(), TcxEditRepositoryCheckBoxItem::StaticClass()},
      {TcxCurrencyValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
      {TcxDateTimeValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
      {TcxFMTBcdValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
      {TcxSQLTimeStampValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
  }};
  return entries;
}

}  // namespace

TcxEditRepositoryItem* TcxEditDataRegisteredRepositoryItems::GetItemOf(TcxValueTypeClass AValueTypeClass) const {
  return AValueTypeClass ? GetItem(KeyOf(AValueTypeClass)) : GetDefaultItem();
}

void TcxEditDataRegisteredRepositoryItems::RegisterItemOf(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2,
                                                          TcxEditRepositoryItem* AItem) {
  RegisterItem(KeyOf(AValueTypeClass), AKey2, AItem);
}

void TcxEditDataRegisteredRepositoryItems::UnregisterItemOf(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2) {
  UnregisterItem(KeyOf(AValueTypeClass), AKey2);
}

TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems() {
  if (!Registry) Registry = New<TcxEditDataRegisteredRepositoryItems>(nullptr);
  return Registry;
}

void cxEditDataRegisteredRepositoryItemsInitialize() {
  if (DataItemsStartCount++ > 0) return;
  TcxEditDataRegisteredRepositoryItems* registry = GetDefaultEditDataRepositoryItems();
  TcxEditRepository* repository = GetDefaultEditRepository();
  registry->RegisterDefaultItem(kAnyKey, repository->CreateItem(TcxEditRepositoryTextItem::StaticClass()));
  for (const TypeEntry& entry : TypeEntries())
    registry->RegisterItemOf(entry.Type, kAnyKey, repository->CreateItem(entry.ItemClass));
}

void cxEditDataRegisteredRepositoryItemsFinalize() {
  if (DataItemsStartCount == 0 || --DataItemsStartCount > 0) return;
  if (!Registry) return;
  Registry->UnregisterDefaultItem(kAnyKey);
  for (const TypeEntry& entry : TypeEntries()) Registry->UnregisterItemOf(entry.Type, kAnyKey);
  FreeAndNil(Registry);
}
