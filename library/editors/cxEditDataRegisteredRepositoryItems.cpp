#include "library/editors/cxEditDataRegisteredRepositoryItems.h"

#include "library/editors/cxEditRepositoryItems.h"

#include <array>

ORV_REGISTER(TcxEditDataRegisteredRepositoryItems)

namespace {

constexpr std::intptr_t DefaultKey = -1;
TcxEditDataRegisteredRepositoryItems* Registry = nullptr;
Integer StartCount = 0;

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

void FillRegistry() {
  TcxEditRepository* repository = GetDefaultEditRepository();
  Registry->RegisterDefaultItem(DefaultKey, repository->CreateItem(TcxEditRepositoryTextItem::StaticClass()));
  for (const TypeEntry& entry : TypeEntries())
    Registry->RegisterItem(entry.Type, DefaultKey, repository->CreateItem(entry.ItemClass));
}

}  // namespace

TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems() {
  if (!Registry) {
    Registry = New<TcxEditDataRegisteredRepositoryItems>();
    FillRegistry();
  }
  return Registry;
}

void cxEditDataRegisteredRepositoryItemsInitialize() {
  if (StartCount++ == 0) GetDefaultEditDataRepositoryItems();
}

void cxEditDataRegisteredRepositoryItemsFinalize() {
  if (StartCount > 0 && --StartCount > 0) return;
  if (!Registry) return;
  Registry->UnregisterDefaultItem(DefaultKey);
  for (const TypeEntry& entry : TypeEntries()) Registry->UnregisterItem(entry.Type, DefaultKey);
  FreeAndNil(Registry);
}
