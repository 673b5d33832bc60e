#include "library/editors/core/cxEditRepository.h"

#include <algorithm>

#include "platform/rtl/Filer.h"

ORV_REGISTER(TcxEditRepository)
ORV_REGISTER(TcxEditRepositoryItem, ORV_EVENT(PropertiesEvents))

namespace {
TcxEditRepository* DefaultEditRepository = nullptr;
}  // namespace

TcxEditRepository* GetDefaultEditRepository() {
  if (!DefaultEditRepository) DefaultEditRepository = New<TcxEditRepository>(nullptr);
  return DefaultEditRepository;
}

void cxFreeDefaultEditRepository() { FreeAndNil(DefaultEditRepository); }

// ---------------------------------------------------------------------------

TcxEditRepository::~TcxEditRepository() {
  // Owned items are freed after this body by the component base; none of
  // them, nor any item of another owner, may reach back into this list.
  for (TcxEditRepositoryItem* item : FItems) item->FRepository = nullptr;
  FItems.clear();
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TClass AItemClass) { return CreateItemEx(AItemClass, this); }

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass AItemClass, TComponent* AOwner) {
  TcxEditRepositoryItem* item = TClassRef<TcxEditRepositoryItem>(AItemClass).Create(AOwner);
  item->SetRepository(this);
  return item;
}

void TcxEditRepository::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxEditRepositoryItem* TcxEditRepository::ItemByName(const AnsiString& AName) const {
  for (TcxEditRepositoryItem* item : FItems)
    if (InternalCompareString(item->GetName(), AName, false)) return item;
  return nullptr;
}

void TcxEditRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TcxEditRepositoryItem* item : FItems)
    if (item->GetOwner() == Root) Proc(item);
}

void TcxEditRepository::AddItem(TcxEditRepositoryItem* AItem) {
  if (std::find(FItems.begin(), FItems.end(), AItem) == FItems.end()) FItems.push_back(AItem);
}

void TcxEditRepository::RemoveItem(TcxEditRepositoryItem* AItem) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), AItem), FItems.end());
}

// ---------------------------------------------------------------------------

void TcxEditRepositoryItem::AfterConstruction() {
  TComponent::AfterConstruction();
  FProperties = TClassRef<TcxCustomEditProperties>(GetEditPropertiesClass()).Construct<TPersistent*>(this);
  FProperties->OnPropertiesChanged = TNotifyEvent::Bind<&TcxEditRepositoryItem::PropertiesChanged>(this);
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  // A listener may stop listening while it hears the news.
  for (std::size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->RepositoryItemRemoved(this);
  SetRepository(nullptr);
  FreeAndNil(FProperties);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* AListener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), AListener), FListeners.end());
}

void TcxEditRepositoryItem::PropertiesChanged(TObject*) {
  for (std::size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->RepositoryItemPropertiesChanged(this);
}

AnsiString TcxEditRepositoryItem::GetBaseName() const {
  static const AnsiString prefix = "TcxEditRepository";
  const AnsiString& className = ClassName();
  std::size_t at = className.find(prefix);
  AnsiString base = at == AnsiString::npos ? AnsiString() : className.substr(at + prefix.size());
  return (FRepository ? FRepository->GetName() : AnsiString()) + base;
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* Value) {
  if (FRepository == Value) return;
  if (FRepository) FRepository->RemoveItem(this);
  FRepository = Value;
  if (FRepository) FRepository->AddItem(this);
}

void TcxEditRepositoryItem::SetParentComponent(TComponent* AParent) {
  // A layout being read names the repository once the item is complete.
  if (GetComponentState().Contains(csLoading)) return;
  SetRepository(dynamic_cast<TcxEditRepository*>(AParent));
}

void TcxEditRepositoryItem::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  SetRepository(dynamic_cast<TcxEditRepository*>(Reader->GetParent()));
}
