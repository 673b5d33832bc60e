// Named, shared properties objects: a repository lists items, each item
// holds one properties object that several editors and grid items use, and
// tells its listeners when the properties change or the item goes.
#pragma once

#include <vector>

#include "library/editors/core/cxEditProperties.h"
#include "platform/rtl/Component.h"

class TcxEditRepositoryItem;

// Told when a repository item's properties change or the item goes away;
// editors, the registered repository items and grid items listen. The
// names say "repository item" so that they stay apart from the editors' own
// PropertiesChanged, which every editor kind overrides.
class IcxEditRepositoryItemListener {
 public:
  virtual ~IcxEditRepositoryItemListener() = default;
  virtual void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  virtual void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) = 0;
};

// A list of items; the items are components of their own owner (normally
// the repository's owner), which streams them as the repository's children.
class TcxEditRepository : public TComponent {
  ORV_CLASS(TcxEditRepository, TComponent)
 public:
  explicit TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}
  // Items still listed outlive the repository only when another component
  // owns them; they are left without a repository.
  ~TcxEditRepository() override;

  // An item of AItemClass owned by the repository itself.
  virtual TcxEditRepositoryItem* CreateItem(TClass AItemClass);
  virtual TcxEditRepositoryItem* CreateItemEx(TClass AItemClass, TComponent* AOwner);

  // Frees the items, the last first.
  void Clear();
  // The first item with that name, ignoring case; null when none has it.
  TcxEditRepositoryItem* ItemByName(const AnsiString& AName) const;
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxEditRepositoryItem* GetItem(Integer Index) const { return FItems.at(Index); }

  // Items whose owner is Root, in list order.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

 private:
  friend class TcxEditRepositoryItem;
  void AddItem(TcxEditRepositoryItem* AItem);
  void RemoveItem(TcxEditRepositoryItem* AItem);

  std::vector<TcxEditRepositoryItem*> FItems;
};

class TcxEditRepositoryItem : public TComponent {
  ORV_CLASS(TcxEditRepositoryItem, TComponent)
 public:
  explicit TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}
  void AfterConstruction() override;
  // Tells the listeners (the last added first), leaves the repository and
  // frees the properties.
  ~TcxEditRepositoryItem() override;

  virtual void AddListener(IcxEditRepositoryItemListener* AListener);
  virtual void RemoveListener(IcxEditRepositoryItemListener* AListener);
  Integer GetListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  // The properties class of the item's editor kind.
  virtual TClass GetEditPropertiesClass() const { return TcxCustomEditProperties::StaticClass(); }
  // The repository's name followed by the part of the class name after
  // "TcxEditRepository"; new items are named from it.
  virtual AnsiString GetBaseName() const;

  TcxCustomEditProperties* GetProperties() const { return FProperties; }
  // Copies Value into the item's own properties (nothing to copy from them).
  void SetProperties(TcxCustomEditProperties* Value) {
    if (Value != FProperties) FProperties->Assign(Value);
  }
  TcxEditRepository* GetRepository() const { return FRepository; }
  void SetRepository(TcxEditRepository* Value);

  TComponent* GetParentComponent() override { return FRepository; }
  bool HasParent() override { return FRepository != nullptr; }
  void SetParentComponent(TComponent* AParent) override;
  void ReadState(TReader* Reader) override;

  // A place for the properties' events in designers; never fired.
  TNotifyEvent PropertiesEvents;

 protected:
  // The item's properties changed: every listener hears it, the last added
  // first.
  virtual void PropertiesChanged(TObject* Sender);

 private:
  friend class TcxEditRepository;
  std::vector<IcxEditRepositoryItemListener*> FListeners;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxEditRepository* FRepository = nullptr;
};

// The process-wide repository of the items made for value types; made on
// first use and freed at the editors' shut-down.
TcxEditRepository* GetDefaultEditRepository();
void cxFreeDefaultEditRepository();
