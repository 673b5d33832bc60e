#include "library/editors/core/cxEditRegistries.h"

#include "platform/rtl/BinarySearch.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

ORV_REGISTER(TcxEditRegisteredRepositoryItems)

namespace {
TcxRegisteredClasses* RegisteredEditProperties = nullptr;
}  // namespace

TcxRegisteredClasses* GetRegisteredEditProperties() {
  if (!RegisteredEditProperties) {
    RegisteredEditProperties = New<TcxRegisteredClasses>();
    RegisteredEditProperties->SetSorted(true);
  }
  return RegisteredEditProperties;
}

void cxFreeRegisteredEditProperties() { FreeAndNil(RegisteredEditProperties); }

// ---------------------------------------------------------------------------

TcxEditRegisteredRepositoryItems::~TcxEditRegisteredRepositoryItems() {
  FDestroying = true;
  while (!FDefaultItems.empty()) Delete(FDefaultItems, FDefaultItems.size() - 1);
  while (!FItems.empty()) Delete(FItems, FItems.size() - 1);
}

bool TcxEditRegisteredRepositoryItems::Find(const Entries& AEntries, std::intptr_t AKey1, std::intptr_t AKey2,
                                            std::size_t& AIndex) {
  auto compare = [&](const Entry& entry) -> int {
    if (entry.Key1 != AKey1) return entry.Key1 < AKey1 ? -1 : 1;
    if (AKey2 == cxEditAnySecondKey || entry.Key2 == AKey2) return 0;
    return entry.Key2 < AKey2 ? -1 : 1;
  };
  const auto hit =
      orv::BinarySearch(std::size_t{0}, AEntries.size(), [&](std::size_t I) { return compare(AEntries[I]); });
  AIndex = hit.Index;
  return hit.Found;
}

void TcxEditRegisteredRepositoryItems::Add(Entries& AEntries, std::intptr_t AKey1, std::intptr_t AKey2,
                                           TcxEditRepositoryItem* AItem) {
  std::size_t index;
  if (Find(AEntries, AKey1, AKey2, index)) return;
  AEntries.insert(AEntries.begin() + static_cast<std::ptrdiff_t>(index), Entry{AKey1, AKey2, AItem});
  if (AItem) AItem->AddListener(this);
  DoChanged();
}

void TcxEditRegisteredRepositoryItems::Delete(Entries& AEntries, std::size_t AIndex) {
  TcxEditRepositoryItem* item = AEntries[AIndex].Item;
  AEntries.erase(AEntries.begin() + static_cast<std::ptrdiff_t>(AIndex));
  // The item may stand under other keys too; it is heard until its last
  // entry goes.
  auto listed = [item](const Entries& entries) {
    for (const Entry& e : entries)
      if (e.Item == item) return true;
    return false;
  };
  if (item && !listed(FDefaultItems) && !listed(FItems)) item->RemoveListener(this);
  DoChanged();
}

void TcxEditRegisteredRepositoryItems::DoChanged() {
  if (!FDestroying) Changed();
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetItem(std::intptr_t AKey) const {
  std::size_t index;
  if (AKey != 0 && Find(FItems, AKey, cxEditAnySecondKey, index)) return FItems[index].Item;
  return GetDefaultItem();
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetDefaultItem() const {
  return FDefaultItems.empty() ? nullptr : FDefaultItems.front().Item;
}

void TcxEditRegisteredRepositoryItems::RegisterItem(std::intptr_t AKey1, std::intptr_t AKey2,
                                                    TcxEditRepositoryItem* AItem) {
  Add(FItems, AKey1, AKey2, AItem);
}

void TcxEditRegisteredRepositoryItems::RegisterDefaultItem(std::intptr_t AKey, TcxEditRepositoryItem* AItem) {
  Add(FDefaultItems, 0, AKey, AItem);
}

void TcxEditRegisteredRepositoryItems::UnregisterItem(std::intptr_t AKey1, std::intptr_t AKey2) {
  std::size_t index;
  if (Find(FItems, AKey1, AKey2, index)) Delete(FItems, index);
}

void TcxEditRegisteredRepositoryItems::UnregisterDefaultItem(std::intptr_t AKey) {
  std::size_t index;
  if (Find(FDefaultItems, 0, AKey, index)) Delete(FDefaultItems, index);
}

void TcxEditRegisteredRepositoryItems::RepositoryItemRemoved(TcxEditRepositoryItem* Sender) {
  for (Entries* entries : {&FDefaultItems, &FItems})
    for (std::size_t i = entries->size(); i-- > 0;)
      if (i < entries->size() && (*entries)[i].Item == Sender) Delete(*entries, i);
}

void TcxEditRegisteredRepositoryItems::RepositoryItemPropertiesChanged(TcxEditRepositoryItem*) { DoChanged(); }

// ---------------------------------------------------------------------------

TShiftState ButtonToShift(TMouseButton AButton) {
  switch (AButton) {
    case mbLeft: return {ssLeft};
    case mbRight: return {ssRight};
    case mbMiddle: return {ssMiddle};
  }
  return {};
}

TShiftState cxButtonToShift(TcxMouseButton AButton) {
  switch (AButton) {
    case cxmbLeft: return {ssLeft};
    case cxmbRight: return {ssRight};
    case cxmbMiddle: return {ssMiddle};
    case cxmbNone: break;
  }
  return {};
}

namespace {
void SendKeyMessage(TWinControl* AControl, win::UINT AMessage, win::WPARAM AParam) {
  if (AControl) win::SendMessageA(AControl->GetHandle(), AMessage, AParam, 0);
}
}  // namespace

void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState) { SendKeyMessage(AControl, win::WM_KEYDOWN, AKey); }

void SendKeyPress(TWinControl* AControl, AnsiChar AKey) {
  SendKeyMessage(AControl, win::WM_CHAR, static_cast<unsigned char>(AKey));
}

void SendKeyUp(TWinControl* AControl, Word AKey, TShiftState) { SendKeyMessage(AControl, win::WM_KEYUP, AKey); }
