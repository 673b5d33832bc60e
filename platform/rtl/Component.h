// Components: persistent objects that live in an ownership tree, carry a
// name unique among their owner's components, and learn when components
// they refer to go away.
//
// Ownership: a component made with an owner is inserted into the owner's
// Components list; the owner frees what it owns, last first, when it is
// freed itself. Free notification: A->FreeNotification(B) ties A and B in
// both directions, so whichever of them is freed first calls the other's
// Notification(it, opRemove). An owner also hears of every component
// inserted into or removed from it, and passes each notification on to
// the components it owns.
//
// A component made with an owner joins it from TComponent's constructor, so
// the owner's opInsert notification sees the newcomer before its own class's
// constructor has run: listeners compare the pointer and look no further.
//
// Lists are walked so that a notified component may free itself or others
// while the walk is under way: no walk holds an iterator across a call out.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Events.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/SmallVector.h"
#include "platform/rtl/TypeInfo.h"

class TComponent;
class TReader;
class TWriter;
class TBasicAction;

ORV_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
         csFixups, csInline)
using TComponentState = Set<TComponentStateItem>;

ORV_ENUM(TOperation, opInsert, opRemove)

// Called by GetChildren once per child to be streamed.
using TGetChildProc = Event<void(TComponent* Child)>;

class TComponent : public TPersistent {
  ORV_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* AOwner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  ~TComponent() override;
  void AfterConstruction() override;

  // Whether a class replaces Notification; a class that keeps TComponent's
  // only passes notices on, and an owner skips its members that have
  // nothing to pass them to (kept in the metaclass, see FamilyTraits).
  static constexpr std::uint32_t ctHearsNotifications = 1;
  template <class T>
  static constexpr std::uint32_t FamilyTraitsOf() {
    constexpr bool kept = requires {
      requires std::is_same_v<decltype(&T::Notification), decltype(&TComponent::Notification)>;
    };
    return kept ? 0 : ctHearsNotifications;
  }

  // Ownership.
  TComponent* GetOwner() override { return FOwner; }
  Integer GetComponentCount() const { return static_cast<Integer>(FComponents.size() - FHoles); }
  // Raises EListError for an index out of range.
  TComponent* GetComponent(Integer Index) const;
  // The position in the owner's list, -1 without an owner.
  Integer GetComponentIndex() const;
  // Moves within the owner's list; the index is clamped to the list.
  void SetComponentIndex(Integer Value);
  // Takes AComponent over from its previous owner, if any. A duplicate
  // name raises EComponentError and leaves AComponent where it was.
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent without freeing it; nothing happens when this is
  // not its owner.
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Case-insensitive; an empty name finds nothing.
  TComponent* FindComponent(const AnsiString& AName) const;

  // Name: empty or an identifier, unique (ignoring case) among the owner's
  // components.
  const AnsiString& GetName() const { return FName; }
  virtual void SetName(const AnsiString& NewName);
  // Raises EComponentError when AComponent, owned here, may not be renamed
  // from CurName to NewName.
  virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
  AnsiString GetNamePath() override { return FName; }

  NativeInt GetTag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  TComponentState GetComponentState() const { return FComponentState; }

  // Life-cycle hooks.
  virtual void Loaded();
  virtual void Updating();
  virtual void Updated();
  // Marks this component and everything it owns as being destroyed.
  virtual void Destroying();
  void BeforeDestruction() override;

  // Free notification (see the top of this file).
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Streaming hooks. GetChildren calls Proc for each child streamed inside
  // this component; as the root, a component streams the components it owns
  // that have no parent of their own.
  virtual void GetChildren(TGetChildProc Proc, TComponent* Root);
  virtual TComponent* GetParentComponent();
  virtual void SetParentComponent(TComponent* Value);
  virtual bool HasParent();
  virtual void ReadState(TReader* Reader);
  virtual void WriteState(TWriter* Writer);
  virtual void SetChildOrder(TComponent* Child, Integer Order);

  // Actions: a plain component handles none.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  static bool IsValidComponentName(const AnsiString& AName);

 protected:
  // Stores a name that has passed validation.
  void ChangeName(const AnsiString& NewName);

 private:
  // The component streams mark components as loading, reading or writing.
  friend class TReader;
  friend class TWriter;
  friend class TFiler;

  void DetachComponent(TComponent* AComponent);
  void SendFreeNotifications();
  void IndexName(TComponent* AComponent);
  void UnindexName(TComponent* AComponent);
  void BecomeRelay();
  void CheckRelay();
  bool NeedsRelay() const;
  void RebuildRelays();
  void CloseHoles() const;

  TComponent* FOwner = nullptr;
  // The lists below keep one component in place: most owners own one, and
  // most ties are to one partner.
  using TComponentList = SmallVector<TComponent*, 1>;

  // The members in order. A member that leaves from the middle leaves a
  // hole (null) that is closed when the list is next read by position, so
  // freeing members in any order stays linear; holes at the end go at once.
  mutable TComponentList FComponents;
  mutable std::size_t FHoles = 0;
  // This component's place in its owner's FComponents.
  mutable std::size_t FOwnerSlot = 0;
  // The named members of FComponents by upper-cased name, so finding one
  // (and checking a newcomer's name) does not walk the whole list. Made
  // with the first named member.
  std::unique_ptr<std::unordered_map<AnsiString, TComponent*>> FNameIndex;
  // The members of FComponents, in the same order, whose Notification does
  // something: their class replaces it, or they are tied by free
  // notification, or one of their own members relays. An owner passes
  // notices only to these, so inserting many plain components, or
  // components that own only plain ones, is linear. Until AfterConstruction
  // knows the class, a component counts as one.
  TComponentList FRelays;
  bool FRelay = true;
  bool FClassKnown = false;
  TComponentList FFreeNotifies;
  AnsiString FName;
  NativeInt FTag = 0;
  TComponentState FComponentState;
};
