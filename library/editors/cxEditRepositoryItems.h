// One repository item class per editor kind: each makes the properties of
// its kind and publishes them as Properties of that type, so that a stored
// layout names the kind by the item's class. Start-up registers the item
// classes for streaming; kinds whose editors come later join at their
// places in the list as they land.
#pragma once

#include <vector>

#include "library/editors/core/cxButtonEdit.h"
#include "library/editors/core/cxComboBox.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxBlobEdit.h"
#include "library/editors/cxCalcEdit.h"
#include "library/editors/cxCheckBox.h"
#include "library/editors/cxCurrencyEdit.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxHyperLinkEdit.h"
#include "library/editors/cxImage.h"
#include "library/editors/cxImageComboBox.h"
#include "library/editors/cxMRUEdit.h"
#include "library/editors/cxMemo.h"
#include "library/editors/cxRadioGroup.h"
#include "library/editors/cxSpinEdit.h"
#include "library/editors/cxTimeEdit.h"

// The body every item class shares: the properties class it makes and the
// typed Properties it publishes.
#define CX_EDIT_REPOSITORY_ITEM(Item, Props)                                                              \
  class Item : public TcxEditRepositoryItem {                                                             \
    ORV_CLASS(Item, TcxEditRepositoryItem)                                                                \
   public:                                                                                                \
    explicit Item(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}                                  \
    TClass GetEditPropertiesClass() const override { return Props::StaticClass(); }                       \
    Props* GetProperties() const { return static_cast<Props*>(TcxEditRepositoryItem::GetProperties()); } \
    void SetProperties(Props* Value) { TcxEditRepositoryItem::SetProperties(Value); }                    \
  };

CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTextItem, TcxTextEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryButtonItem, TcxButtonEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryImageItem, TcxImageProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryComboBoxItem, TcxComboBoxProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMaskItem, TcxMaskEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryPopupItem, TcxPopupEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCalcItem, TcxCalcEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryDateItem, TcxDateEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCurrencyItem, TcxCurrencyEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositorySpinItem, TcxSpinEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryBlobItem, TcxBlobEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCheckBoxItem, TcxCheckBoxProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTimeItem, TcxTimeEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMemoItem, TcxMemoProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMRUItem, TcxMRUEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryHyperLinkItem, TcxHyperLinkEditProperties)
CX_EDIT_REPOSITORY_ITEM(TcxEditRepositoryRadioGroupItem, TcxRadioGroupProperties)

#undef CX_EDIT_REPOSITORY_ITEM

// An image list the item's properties show is forgotten when it goes.
class TcxEditRepositoryImageComboBoxItem : public TcxEditRepositoryItem {
  ORV_CLASS(TcxEditRepositoryImageComboBoxItem, TcxEditRepositoryItem)
 public:
  explicit TcxEditRepositoryImageComboBoxItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TClass GetEditPropertiesClass() const override { return TcxImageComboBoxProperties::StaticClass(); }
  TcxImageComboBoxProperties* GetProperties() const {
    return static_cast<TcxImageComboBoxProperties*>(TcxEditRepositoryItem::GetProperties());
  }
  void SetProperties(TcxImageComboBoxProperties* Value) { TcxEditRepositoryItem::SetProperties(Value); }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// The item classes in the order start-up registers them for streaming.
const std::vector<TClass>& cxEditRepositoryItemClasses();
// The streaming registration; shut-down only counts.
void cxEditRepositoryItemsInitialize();
void cxEditRepositoryItemsFinalize();
