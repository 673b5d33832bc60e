#include "library/editors/cxEditRepositoryItems.h"

#include <mutex>

// Name and Tag come published with the component, PropertiesEvents with
// the base item.
#define CX_REGISTER_ITEM(Item) ORV_REGISTER(Item, ORV_PROP(Properties))
CX_REGISTER_ITEM(TcxEditRepositoryTextItem)
CX_REGISTER_ITEM(TcxEditRepositoryButtonItem)
CX_REGISTER_ITEM(TcxEditRepositoryImageItem)
CX_REGISTER_ITEM(TcxEditRepositoryComboBoxItem)
CX_REGISTER_ITEM(TcxEditRepositoryMaskItem)
CX_REGISTER_ITEM(TcxEditRepositoryPopupItem)
CX_REGISTER_ITEM(TcxEditRepositoryCalcItem)
CX_REGISTER_ITEM(TcxEditRepositoryDateItem)
CX_REGISTER_ITEM(TcxEditRepositoryCurrencyItem)
CX_REGISTER_ITEM(TcxEditRepositorySpinItem)
CX_REGISTER_ITEM(TcxEditRepositoryCheckBoxItem)
CX_REGISTER_ITEM(TcxEditRepositoryTimeItem)
CX_REGISTER_ITEM(TcxEditRepositoryMemoItem)
CX_REGISTER_ITEM(TcxEditRepositoryMRUItem)
CX_REGISTER_ITEM(TcxEditRepositoryHyperLinkItem)
CX_REGISTER_ITEM(TcxEditRepositoryRadioGroupItem)
CX_REGISTER_ITEM(TcxEditRepositoryImageComboBoxItem)
CX_REGISTER_ITEM(TcxEditRepositoryBlobItem)
#undef CX_REGISTER_ITEM

namespace {
Integer RepositoryItemsStartCount = 0;
}

const std::vector<TClass>& cxEditRepositoryItemClasses() {
  // The order of the kinds.
  static const std::vector<TClass> classes{
      TcxEditRepositoryItem::StaticClass(),         TcxEditRepositoryTextItem::StaticClass(),
      TcxEditRepositoryButtonItem::StaticClass(),   TcxEditRepositoryImageItem::StaticClass(),
      TcxEditRepositoryComboBoxItem::StaticClass(), TcxEditRepositoryMaskItem::StaticClass(),
      TcxEditRepositoryPopupItem::StaticClass(),    TcxEditRepositoryCalcItem::StaticClass(),
      TcxEditRepositoryDateItem::StaticClass(),
      TcxEditRepositoryCurrencyItem::StaticClass(), TcxEditRepositorySpinItem::StaticClass(),
      TcxEditRepositoryMemoItem::StaticClass(),     TcxEditRepositoryImageComboBoxItem::StaticClass(),
      TcxEditRepositoryBlobItem::StaticClass(),     TcxEditRepositoryCheckBoxItem::StaticClass(),
      TcxEditRepositoryTimeItem::StaticClass(),     TcxEditRepositoryMRUItem::StaticClass(),
      TcxEditRepositoryHyperLinkItem::StaticClass(), TcxEditRepositoryRadioGroupItem::StaticClass()};
  return classes;
}

void cxEditRepositoryItemsInitialize() {
  if (RepositoryItemsStartCount++ > 0) return;
  // The streaming registry is the process's: registered once.
  static std::once_flag once;
  std::call_once(once, [] {
    for (TClass cls : cxEditRepositoryItemClasses()) RegisterClass(cls);
    GroupDescendentsWith(TcxEditRepositoryItem::StaticClass(), TControl::StaticClass());
    GroupDescendentsWith(TcxEditRepository::StaticClass(), TControl::StaticClass());
  });
}

void TcxEditRepositoryImageComboBoxItem::Notification(TComponent* AComponent, TOperation Operation) {
  TcxEditRepositoryItem::Notification(AComponent, Operation);
  if (Operation != opRemove || GetComponentState().Contains(csDestroying)) return;
  TcxImageComboBoxProperties* properties = GetProperties();
  if (properties->GetImages() == AComponent) properties->SetImages(nullptr);
  if (properties->GetLargeImages() == AComponent) properties->SetLargeImages(nullptr);
}

void cxEditRepositoryItemsFinalize() {
  if (RepositoryItemsStartCount > 0) --RepositoryItemsStartCount;
}
