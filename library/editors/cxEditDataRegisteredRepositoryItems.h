// The default editor of each value type: the item a grid row or column
// without edit properties of its own edits its values with. Booleans get
// a check box, money a currency editor, dates and time stamps a date
// editor, everything else a text editor. The items live in the default
// edit repository.
#pragma once

#include "library/data/cxDataStorageValueTypes.h"
#include "library/editors/core/cxEditRegistries.h"

class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  ORV_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
 public:
  explicit TcxEditDataRegisteredRepositoryItems(TPersistent* AOwner = nullptr)
      : TcxEditRegisteredRepositoryItems(AOwner) {}

  // The item of exactly that value type (no inheritance), else the
  // default one; null gives the default.
  TcxEditRepositoryItem* GetItemOf(TcxValueTypeClass AValueTypeClass) const;
  void RegisterItemOf(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2, TcxEditRepositoryItem* AItem);
  void UnregisterItemOf(TcxValueTypeClass AValueTypeClass, std::intptr_t AKey2);

  // A value type as the registry's first key.
  static std::intptr_t KeyOf(TcxValueTypeClass AValueTypeClass) {
    return reinterpret_cast<std::intptr_t>(AValueTypeClass);
  }
};

// The registry, made on first use.
TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems();

// Start-up registers the six entries; shut-down unregisters them and frees
// the registry (the items go with the default repository).
void cxEditDataRegisteredRepositoryItemsInitialize();
void cxEditDataRegisteredRepositoryItemsFinalize();
