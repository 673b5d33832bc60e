// The default editor of each value type: the item a grid row or column
// without edit properties of its own shows and edits its values with.
// Booleans get a check box, money a currency editor, dates and time stamps
// a date editor, every other type the default item (a text editor). The
// items live in the default edit repository; the registry only points at
// them.
#pragma once

#include "library/data/cxDataStorageValueTypes.h"
#include "library/editors/core/cxEditRegistries.h"

// Keyed by the value type's identity (its pointer-sized class reference)
// with -1 as the second key; the default entry has key -1.
class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  ORV_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
 public:
  explicit TcxEditDataRegisteredRepositoryItems(TPersistent* AOwner = nullptr)
      : TcxEditRegisteredRepositoryItems(AOwner) {}

  using TcxEditRegisteredRepositoryItems::GetItem;
  using TcxEditRegisteredRepositoryItems::RegisterItem;
  using TcxEditRegisteredRepositoryItems::UnregisterItem;
  // The item registered for exactly that value type (no inheritance), else
  // the default item; a null class gives the default item.
  TcxEditRepositoryItem* GetItem(TcxValueTypeClass AValueTypeClass) const {
    return AValueTypeClass ? GetItem(Key(AValueTypeClass)) : GetDefaultItem();
  }
  void RegisterItem(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2, TcxEditRepositoryItem* AItem) {
    RegisterItem(Key(AValueTypeClass), AKey2, AItem);
  }
  void UnregisterItem(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2) {
    UnregisterItem(Key(AValueTypeClass), AKey2);
  }

  static std::intptr_t Key(TcxValueTypeClass AValueTypeClass) {
    return reinterpret_cast<std::intptr_t>(AValueTypeClass);
  }
};

// The process-wide registry, made on first use with its entries.
TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems();

// The unit's start-up makes the registry and its six entries; shut-down
// unregisters them and frees the registry (the items stay with the default
// edit repository, which the editors' shut-down frees). Counted.
void cxEditDataRegisteredRepositoryItemsInitialize();
void cxEditDataRegisteredRepositoryItemsFinalize();
