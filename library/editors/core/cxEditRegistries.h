// Process-wide registries of the editors: the editor kinds with their
// "Caption|Description" texts, and repository items looked up by integer
// keys (a value type's key, or a default per kind). Also the helpers that
// turn mouse buttons into shift states and send keys to a control.
#pragma once

#include "library/foundation/cxContainer.h"

#include <cstdint>
#include <vector>

#include "library/editors/core/cxEditRepository.h"
#include "library/foundation/cxClasses.h"
#include "platform/forms/Controls.h"

// The editor kinds. Each editor unit's start-up registers its properties
// class with the text of its resource string; users split the text at the
// first '|' into the caption and the description.
TcxRegisteredClasses* GetRegisteredEditProperties();
void cxFreeRegisteredEditProperties();

// Repository items by key. Keys are pointer-sized, so a class can be one.
// A lookup whose second key is cxEditAnySecondKey matches an entry of the
// same first key whatever its second key.
inline constexpr std::intptr_t cxEditAnySecondKey = 2147483647;

class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)
 public:
  explicit TcxEditRegisteredRepositoryItems(TPersistent* AOwner = nullptr) : TcxInterfacedPersistent(AOwner) {}
  ~TcxEditRegisteredRepositoryItems() override;

  // The item of the keyed entry with first key AKey (any second key); for
  // key 0 or a key without an entry, the default item.
  virtual TcxEditRepositoryItem* GetItem(std::intptr_t AKey) const;
  // The default entry with the smallest key, or null.
  virtual TcxEditRepositoryItem* GetDefaultItem() const;
  // An entry with the same keys already there stays as it is.
  virtual void RegisterItem(std::intptr_t AKey1, std::intptr_t AKey2, TcxEditRepositoryItem* AItem);
  virtual void RegisterDefaultItem(std::intptr_t AKey, TcxEditRepositoryItem* AItem);
  virtual void UnregisterItem(std::intptr_t AKey1, std::intptr_t AKey2);
  virtual void UnregisterDefaultItem(std::intptr_t AKey);

  Integer GetItemCount() const { return static_cast<Integer>(FItems.size()); }
  Integer GetDefaultItemCount() const { return static_cast<Integer>(FDefaultItems.size()); }

  // The listener side: a removed item leaves every entry; a changed one
  // counts as a change of the registry.
  void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override;
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) override;

 protected:
  struct Entry {
    std::intptr_t Key1;
    std::intptr_t Key2;
    TcxEditRepositoryItem* Item;
  };
  using Entries = std::vector<Entry>;

  virtual void Add(Entries& AEntries, std::intptr_t AKey1, std::intptr_t AKey2, TcxEditRepositoryItem* AItem);
  // Descendants react to changes; this class does nothing. Never called
  // while the registry is being destroyed.
  virtual void Changed() {}
  bool GetDestroying() const { return FDestroying; }

 private:
  // Bisection: true with the entry's index, else false with the insertion
  // point.
  static bool Find(const Entries& AEntries, std::intptr_t AKey1, std::intptr_t AKey2, std::size_t& AIndex);
  void Delete(Entries& AEntries, std::size_t AIndex);
  void DoChanged();

  Entries FDefaultItems;
  Entries FItems;
  bool FDestroying = false;
};

// Mouse buttons as the library passes them (TcxMouseButton) come with the
// container.
TShiftState ButtonToShift(TMouseButton AButton);
TShiftState cxButtonToShift(TcxMouseButton AButton);

// Send key-down, character and key-up messages to the control's window
// with the key or character as the first parameter and 0 as the second.
// The shift state is not sent: the receiver reads the held modifiers from
// the keyboard state.
void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState AShift);
void SendKeyPress(TWinControl* AControl, AnsiChar AKey);
void SendKeyUp(TWinControl* AControl, Word AKey, TShiftState AShift);

// The screen cursor of the editors' mouse-wheel scrolling.
inline constexpr TCursor crcxEditMouseWheel = 4101;
