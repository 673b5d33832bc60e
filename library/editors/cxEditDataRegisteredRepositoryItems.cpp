#include "library/editors/cxEditDataRegisteredRepositoryItems.h"

ORV_REGISTER(TcxEditRepositoryTextItem, ORV_PROP(Properties))
ORV_REGISTER(TcxEditDataRegisteredRepositoryItems)

namespace {

constexpr std::intptr_t DefaultKey = -1;
TcxEditDataRegisteredRepositoryItems* Registry = nullptr;
Integer StartCount = 0;

void FillRegistry() {
  TcxEditRepository* repository = GetDefaultEditRepository();
  Registry->RegisterDefaultItem(DefaultKey, repository->CreateItem(TcxEditRepositoryTextItem::StaticClass()));
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
  FreeAndNil(Registry);
}
