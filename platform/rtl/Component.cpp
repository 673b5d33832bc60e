#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/Collation.h"
#include "platform/rtl/EraseNearEnd.h"
#include "platform/rtl/Exceptions.h"

// Name is written in each object record's header, not among the properties.
ORV_REGISTER(TComponent, ORV_PROP(Name).Stored(false), ORV_PROP(Tag).Default(0))

namespace {

// Searches from the end: members go last first, so freeing a big family
// stays linear.
template <class List>
void AddOnce(List& list, TComponent* item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

// Calls fn for each component of list, last first. fn may free components
// (shrinking the list or leaving holes) or add them; the index is pulled
// back into the list after every call, so nothing freed is ever reached.
template <class List, class Fn>
void ForEachBackward(const List& list, Fn fn) {
  std::size_t i = list.size();
  while (i > 0) {
    --i;
    if (list[i]) fn(list[i]);
    if (i > list.size()) i = list.size();
  }
}

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
  if (!AOwner) return;
  try {
    AOwner->InsertComponent(this);
  } catch (...) {
    // A listener refused the newcomer: no destructor will run for it, so
    // it must not stay in its owner's list.
    if (FOwner) FOwner->DetachComponent(this);
    throw;
  }
}

TComponent::~TComponent() {
  // Free() has normally run Destroying already; a plain delete has not.
  Destroying();
  SendFreeNotifications();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
  // A component notified above may have asked to hear of this one again.
  SendFreeNotifications();
}

void TComponent::AfterConstruction() {
  inherited::AfterConstruction();
  FClassKnown = true;
  CheckRelay();
}

// A component relays when its class hears notices, when it is tied by free
// notification, or when one of its members relays; until its class is
// known it counts as one.
bool TComponent::NeedsRelay() const {
  return !FClassKnown || (ClassType()->FamilyTraits() & ctHearsNotifications) || !FRelays.empty() ||
         !FFreeNotifies.empty();
}

// A member gains something to pass notices on to, and so does its owner.
void TComponent::BecomeRelay() {
  if (FRelay) return;
  FRelay = true;
  if (!FOwner) return;
  if (FOwner->FComponents.back() == this)
    FOwner->FRelays.push_back(this);
  else
    FOwner->RebuildRelays();
  FOwner->BecomeRelay();
}

// A member lost what it passed notices on to: it leaves its owner's relays,
// and the owner may follow.
void TComponent::CheckRelay() {
  if (!FRelay || NeedsRelay()) return;
  FRelay = false;
  if (!FOwner) return;
  orv::EraseNearEnd(FOwner->FRelays, this);
  FOwner->CheckRelay();
}

void TComponent::RebuildRelays() {
  FRelays.clear();
  for (TComponent* c : FComponents)
    if (c && c->FRelay) FRelays.push_back(c);
}

void TComponent::CloseHoles() const {
  if (FHoles == 0) return;
  std::size_t out = 0;
  for (TComponent* c : FComponents) {
    if (!c) continue;
    c->FOwnerSlot = out;
    FComponents[out++] = c;
  }
  FComponents.resize(out);
  FHoles = 0;
}

void TComponent::SendFreeNotifications() {
  // Each partner is unlinked before it is told, so the walk finishes even
  // when a partner frees itself or others from its Notification.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    orv::EraseNearEnd(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
}

// ---------------------------------------------------------------------------
// Ownership

TComponent* TComponent::GetComponent(Integer Index) const {
  if (Index < 0 || Index >= GetComponentCount()) throw EListError("List index out of bounds (%d)", {Index});
  CloseHoles();
  return FComponents[Index];
}

Integer TComponent::GetComponentIndex() const {
  if (!FOwner) return -1;
  FOwner->CloseHoles();
  return static_cast<Integer>(FOwnerSlot);
}

void TComponent::SetComponentIndex(Integer Value) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  const Integer current = GetComponentIndex();
  Value = std::clamp(Value, 0, static_cast<Integer>(list.size()) - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
  for (Integer i = std::min(Value, current); i <= std::max(Value, current); ++i)
    list[static_cast<std::size_t>(i)]->FOwnerSlot = static_cast<std::size_t>(i);
  if (FRelay) FOwner->RebuildRelays();
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  // An owner cycle would free its members twice.
  for (TComponent* c = this; c; c = c->FOwner)
    if (c == AComponent) throw EComponentError("A component cannot own itself or its owner");
  ValidateRename(AComponent, "", AComponent->FName);
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  AComponent->FOwnerSlot = FComponents.size();
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
  if (AComponent->FRelay) {
    FRelays.push_back(AComponent);
    BecomeRelay();
  }
  IndexName(AComponent);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  ValidateRename(AComponent, AComponent->FName, "");
  // Detached before anyone is told, so a listener that frees AComponent
  // leaves nothing behind that refers to it.
  DetachComponent(AComponent);
  Notification(AComponent, opRemove);
}

void TComponent::DetachComponent(TComponent* AComponent) {
  UnindexName(AComponent);
  if (AComponent->FOwnerSlot < FComponents.size() && FComponents[AComponent->FOwnerSlot] == AComponent) {
    FComponents[AComponent->FOwnerSlot] = nullptr;
    ++FHoles;
  }
  while (!FComponents.empty() && !FComponents.back()) {
    FComponents.pop_back();
    --FHoles;
  }
  AComponent->FOwner = nullptr;
  if (AComponent->FRelay) {
    orv::EraseNearEnd(FRelays, AComponent);
    CheckRelay();
  }
}

void TComponent::IndexName(TComponent* AComponent) {
  if (AComponent->FName.empty()) return;
  if (!FNameIndex) FNameIndex = std::make_unique<std::unordered_map<AnsiString, TComponent*>>();
  (*FNameIndex)[UpperCase(AComponent->FName)] = AComponent;
}

void TComponent::UnindexName(TComponent* AComponent) {
  if (AComponent->FName.empty() || !FNameIndex) return;
  auto it = FNameIndex->find(UpperCase(AComponent->FName));
  if (it != FNameIndex->end() && it->second == AComponent) FNameIndex->erase(it);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    DetachComponent(last);
    // Whoever asked to hear of it still does, through its own free
    // notifications; the rest of the family is going too.
    last->Free();
  }
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
  if (AName.empty() || !FNameIndex) return nullptr;
  auto it = FNameIndex->find(UpperCase(AName));
  return it == FNameIndex->end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------
// Names

bool TComponent::IsValidComponentName(const AnsiString& AName) {
  if (AName.empty() || !IsIdentStart(AName[0])) return false;
  return std::all_of(AName.begin() + 1, AName.end(), IsIdentChar);
}

void TComponent::SetName(const AnsiString& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !IsValidComponentName(NewName))
    throw EComponentError("'%s' is not a valid component name", {NewName});
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

void TComponent::ChangeName(const AnsiString& NewName) {
  if (FOwner) FOwner->UnindexName(this);
  FName = NewName;
  if (FOwner) FOwner->IndexName(this);
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName) {
  if (!AComponent || NewName.empty()) return;
  // A change of case only keeps the component's own slot.
  if (AComponent->FOwner == this && SameText(CurName, NewName)) return;
  TComponent* found = FindComponent(NewName);
  if (found && found != AComponent) throw EComponentError("A component named %s already exists", {NewName});
}

// ---------------------------------------------------------------------------
// Life cycle

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::Updating() { FComponentState.Include(csUpdating); }

void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  ForEachBackward(FComponents, [](TComponent* c) { c->Destroying(); });
}

void TComponent::BeforeDestruction() {
  if (!FComponentState.Contains(csDestroying)) Destroying();
}

// ---------------------------------------------------------------------------
// Free notification

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  AddOnce(FFreeNotifies, AComponent);
  AddOnce(AComponent->FFreeNotifies, this);
  BecomeRelay();
  AComponent->BecomeRelay();
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  orv::EraseNearEnd(FFreeNotifies, AComponent);
  orv::EraseNearEnd(AComponent->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  ForEachBackward(FRelays, [&](TComponent* c) { c->Notification(AComponent, Operation); });
}

// ---------------------------------------------------------------------------
// Streaming hooks (ReadState and WriteState live with the streams)

void TComponent::GetChildren(TGetChildProc Proc, TComponent* Root) {
  if (Root != this) return;
  for (std::size_t i = 0; i < FComponents.size(); ++i) {
    TComponent* c = FComponents[i];
    if (c && !c->HasParent()) Proc(c);
  }
}

TComponent* TComponent::GetParentComponent() { return nullptr; }

void TComponent::SetParentComponent(TComponent*) {}

bool TComponent::HasParent() { return false; }

void TComponent::SetChildOrder(TComponent*, Integer) {}

bool TComponent::ExecuteAction(TBasicAction*) { return false; }

bool TComponent::UpdateAction(TBasicAction*) { return false; }
