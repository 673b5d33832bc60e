// The library's base services: overridable resource-string lookup, class
// registries, small base classes (persistent, component, collections and
// lists), proportional auto-width, alignment settings, weak object links,
// free notification, most-recently-used lists, component collections and
// naming and numeric helpers.
#pragma once

#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"

class TMemoryStream;

// ---------------------------------------------------------------------------
// Resource strings with an override table.
//
// Every text the library shows is a numbered resource string. Translations
// and tests replace texts either by record (cxSetResourceString) or by the
// text itself (cxSetResourceStringNet); the lookups below see both.

// The overridden text of ARec, else its string-table text.
AnsiString cxGetResourceString(const TResStringRec& ARec);
// Same as cxGetResourceStringNet.
AnsiString cxGetResourceString(const AnsiString& AKey);
void cxSetResourceString(const TResStringRec& ARec, const AnsiString& AText);
// The text set for AKey (compared case-sensitively; a record's entry matches
// its string-table text), or AKey itself when nothing was set.
AnsiString cxGetResourceStringNet(const AnsiString& AKey);
// The same for wide text, converted through the code page at the edge.
WideString cxGetResourceStringNet(const WideString& AKey);
void cxSetResourceStringNet(const AnsiString& AKey, const AnsiString& AText);
// Frees the override table (the unit's shut-down step; also for tests).
void cxClearResourceStrings();

// ---------------------------------------------------------------------------
// A list of classes, each with a "description|hint" text.

class TcxRegisteredClasses : public TObject {
  ORV_CLASS(TcxRegisteredClasses, TObject)
 public:
  // ARegisterClasses: also register every class with the class registry, so
  // that layouts can name it.
  explicit TcxRegisteredClasses(bool ARegisterClasses = false) : FRegisterClasses(ARegisterClasses) {}

  // Does nothing for a class already registered (its first text stays).
  void Register(TClass AClass, const AnsiString& ADescription);
  void Unregister(TClass AClass);
  void Clear();
  void Sort();

  Integer GetCount() const;
  TClass GetItem(Integer Index) const;
  // The text before the first '|' and after it; a text without '|' is both.
  AnsiString GetDescription(Integer Index) const;
  AnsiString GetHint(Integer Index) const;
  AnsiString GetDescriptionByClass(TClass AClass) const;
  AnsiString GetHintByClass(TClass AClass) const;
  Integer GetIndexByClass(TClass AClass) const;
  TClass FindByClassName(const AnsiString& AClassName) const;
  TClass FindByDescription(const AnsiString& ADescription) const;

  bool GetRegisterClasses() const { return FRegisterClasses; }
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);

 protected:
  // Orders two entries by description, ignoring case, in the user's locale.
  virtual Integer CompareItems(Integer AIndex1, Integer AIndex2) const;

 private:
  struct Entry {
    TClass Class;
    AnsiString Text;  // "description|hint"
  };
  std::vector<Entry> FItems;
  bool FRegisterClasses;
  bool FSorted = false;
};

// A map from a class to an associated class, resolved by inheritance: a
// lookup finds the record of the class itself or of its nearest registered
// ancestor. Records are kept with ancestors before their descendants.
struct TcxRegisteredClassListItemData {
  TClass ItemClass;
  TClass RegisteredClass;
};

class TcxRegisteredClassList : public TObject {
  ORV_CLASS(TcxRegisteredClassList, TObject)
 public:
  TcxRegisteredClassList() = default;

  void Register(TClass AItemClass, TClass ARegisteredClass);
  // Removes every record holding both classes.
  void Unregister(TClass AItemClass, TClass ARegisteredClass);
  void Clear() { FItems.clear(); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxRegisteredClassListItemData& GetItem(Integer Index) const;

  // True with the record's index when AClass or one of its ancestors is
  // registered; else false with the index of the first record of a
  // descendant of AClass, or -1.
  bool Find(TClass AClass, Integer& AIndex) const;
  // The class associated with AClass or its nearest registered ancestor.
  TClass FindClass(TClass AClass) const;

 private:
  std::vector<TcxRegisteredClassListItemData> FItems;
};

// ---------------------------------------------------------------------------
// Enumerations.

ORV_ENUM(TcxAlignmentVert, vaTop, vaBottom, vaCenter)
ORV_ENUM(TcxCollectionOperation, coAdd, coDelete, coChanged)
ORV_ENUM(TcxDirection, dirNone, dirLeft, dirRight, dirUp, dirDown)
ORV_ENUM(TcxPosition, posNone, posLeft, posRight, posTop, posBottom)
ORV_ENUM(TcxComponentCollectionNotification, ccnAdded, ccnChanged, ccnExtracting, ccnExtracted, ccnDeleting)

// ---------------------------------------------------------------------------
// Base classes.

// Base of settings objects that offer interfaces; GetOwner names the object
// it was made for.
class TcxInterfacedPersistent : public TInterfacedPersistent {
  ORV_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
 public:
  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};

// A component whose weak object links are cleared when it goes.
class TcxComponent : public TComponent {
  ORV_CLASS(TcxComponent, TComponent)
 public:
  explicit TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponent() override;
  void BeforeDestruction() override;
};

// Assign from another collection reuses the items it has.
class TcxCollection : public TCollection {
  ORV_CLASS(TcxCollection, TCollection)
 public:
  using TCollection::TCollection;

 protected:
  void DoAssign(TPersistent* Source) override;
};

// Owns its objects: Clear frees each in order.
class TcxObjectList : public TList {
  ORV_CLASS(TcxObjectList, TList)
 public:
  TcxObjectList() = default;
  ~TcxObjectList() override;
  void Clear() override;
  TObject* GetItem(Integer Index) const { return static_cast<TObject*>(Get(Index)); }
};

// Setting an item past the end grows the list to hold it.
class TcxOpenList : public TList {
  ORV_CLASS(TcxOpenList, TList)
 public:
  TcxOpenList() = default;
  void SetItem(Integer Index, void* Value);
  void* GetItem(Integer Index) const { return Get(Index); }
};

// ---------------------------------------------------------------------------
// Proportional auto-width.

class TcxAutoWidthItem : public TObject {
  ORV_CLASS(TcxAutoWidthItem, TObject)
 public:
  TcxAutoWidthItem() = default;
  Integer MinWidth = 0;
  Integer Width = 0;
  bool Fixed = false;
  Integer AutoWidth = -1;  // -1 until calculated
};

// Distributes AvailableWidth over the items in proportion to their Width,
// never below an item's MinWidth; fixed items keep their Width.
class TcxAutoWidthObject : public TObject {
  ORV_CLASS(TcxAutoWidthObject, TObject)
 public:
  explicit TcxAutoWidthObject(Integer ACount = 0);
  ~TcxAutoWidthObject() override;

  TcxAutoWidthItem* AddItem();
  void Clear();
  void Calculate();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxAutoWidthItem* GetItem(Integer Index) const { return FItems.at(Index); }
  // The sum of the items' widths.
  Integer GetWidth() const;

  Integer AvailableWidth = 0;

 private:
  std::vector<TcxAutoWidthItem*> FItems;
};

// ---------------------------------------------------------------------------
// Alignment settings with assigned marks.

class TcxAlignment : public TPersistent {
  ORV_CLASS(TcxAlignment, TPersistent)
 public:
  TcxAlignment(TPersistent* AOwner, bool AUseAssignedValues = false, TAlignment ADefaultHorz = taLeftJustify,
               TcxAlignmentVert ADefaultVert = vaTop);

  TPersistent* GetOwner() override { return FOwner; }
  // Forgets the assigned values and goes back to the defaults.
  void Reset();

  TAlignment GetHorz() const { return FHorz; }
  void SetHorz(TAlignment Value);
  TcxAlignmentVert GetVert() const { return FVert; }
  void SetVert(TcxAlignmentVert Value);
  TAlignment GetDefaultHorz() const { return FDefaultHorz; }
  TcxAlignmentVert GetDefaultVert() const { return FDefaultVert; }
  bool GetIsHorzAssigned() const { return FIsHorzAssigned; }
  bool GetIsVertAssigned() const { return FIsVertAssigned; }
  bool GetUseAssignedValues() const { return FUseAssignedValues; }
  // Whether a stream holds the value: assigned, or (without assigned
  // values) other than its default.
  bool IsHorzStored() const;
  bool IsVertStored() const;

  Event<void(TObject* Sender)> OnChanged;

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void DoChanged();

 private:
  TPersistent* FOwner;
  bool FUseAssignedValues;
  TAlignment FDefaultHorz;
  TcxAlignmentVert FDefaultVert;
  TAlignment FHorz;
  TcxAlignmentVert FVert;
  bool FIsHorzAssigned = false;
  bool FIsVertAssigned = false;
};

// ---------------------------------------------------------------------------
// Weak object links: a holder keeps a link to an object that may go away;
// the object clears its links as it goes, so Ref reads null afterwards.

class TcxObjectLink {
 public:
  TObject* Ref = nullptr;
};

TcxObjectLink* cxAddObjectLink(TObject* AObject);
void cxRemoveObjectLink(TcxObjectLink* ALink);
// Sets Ref of every link to AObject to null; the links stay with their
// holders.
void cxClearObjectLinks(TObject* AObject);
// Links made and not yet removed (for tests).
Integer cxObjectLinkCount();

// ---------------------------------------------------------------------------
// Free notification for objects that are not components.

class TcxFreeNotificator : public TComponent {
  ORV_CLASS(TcxFreeNotificator, TComponent)
 public:
  explicit TcxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}
  void AddSender(TComponent* ASender);
  void RemoveSender(TComponent* ASender);

  Event<void(TComponent* Sender)> OnFreeNotification;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// ---------------------------------------------------------------------------
// Most-recently-used lists.

class TcxMRUItem : public TObject {
  ORV_CLASS(TcxMRUItem, TObject)
 public:
  TcxMRUItem() = default;
  virtual bool Equals(TcxMRUItem* AItem) = 0;
};

class TcxMRUItems : public TObject {
  ORV_CLASS(TcxMRUItems, TObject)
 public:
  TcxMRUItems() = default;
  ~TcxMRUItems() override;

  // Puts AItem first; an equal item already listed moves first instead and
  // AItem is freed. The list is then cut to MaxCount.
  void Add(TcxMRUItem* AItem);
  void Delete(Integer AIndex);
  void ClearItems();
  Integer IndexOf(TcxMRUItem* AItem) const;

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxMRUItem* GetItem(Integer Index) const { return FItems.at(Index); }
  Integer GetMaxCount() const { return FMaxCount; }
  // 0 means unlimited; a negative value becomes 0.
  void SetMaxCount(Integer Value);

 private:
  void UpdateCount();
  std::vector<TcxMRUItem*> FItems;
  Integer FMaxCount = 0;
};

// ---------------------------------------------------------------------------
// Component collections: items that are components of their parent's owner
// and members of a collection with stable IDs.

class TcxComponentCollection;

class TcxComponentCollectionItem : public TComponent {
  ORV_CLASS(TcxComponentCollectionItem, TComponent)
 public:
  explicit TcxComponentCollectionItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponentCollectionItem() override;

  TcxComponentCollection* GetCollection() const { return FCollection; }
  void SetCollection(TcxComponentCollection* Value);
  Integer GetID() const { return FID; }
  Integer GetIndex() const;
  void SetIndex(Integer Value);

  TComponent* GetParentComponent() override;
  bool HasParent() override { return true; }
  void SetParentComponent(TComponent* Value) override;

 protected:
  // The collection of AParent that items of this class belong to.
  virtual TcxComponentCollection* GetCollectionFromParent(TComponent* AParent) = 0;
  void Changed(bool AAllItems);

 private:
  friend class TcxComponentCollection;
  TcxComponentCollection* FCollection = nullptr;
  Integer FID = 0;
};

using TcxComponentCollectionChangeEvent =
    Event<void(TObject* Sender, TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction)>;

class TcxComponentCollection : public TPersistent {
  ORV_CLASS(TcxComponentCollection, TPersistent)
 public:
  TcxComponentCollection(TComponent* AParentComponent, TClass AItemClass);
  ~TcxComponentCollection() override;

  TcxComponentCollectionItem* Add();
  TcxComponentCollectionItem* Insert(Integer AIndex);
  void Delete(Integer AIndex);
  void Remove(TcxComponentCollectionItem* AItem);
  void Clear();
  TcxComponentCollectionItem* FindItemByID(Integer AID) const;
  void BeginUpdate();
  // AForceUpdate: also report one change of the whole collection.
  void EndUpdate(bool AForceUpdate = true);
  TPersistent* GetOwner() override { return FParentComponent; }

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxComponentCollectionItem* GetItem(Integer Index) const { return FItems.at(Index); }
  TComponent* GetParentComponent() const { return FParentComponent; }
  TClass GetItemClass() const { return FItemClass; }
  Integer GetUpdateCount() const { return FUpdateCount; }

  TcxComponentCollectionChangeEvent OnChange;

 protected:
  void DoAssign(TPersistent* Source) override;

  virtual void Notify(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction);
  // Reached once per reported change while no update is held.
  virtual void Update(TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction);
  void Changed(TcxComponentCollectionItem* AItem = nullptr, TcxComponentCollectionNotification AAction = ccnChanged);

 private:
  friend class TcxComponentCollectionItem;
  void InsertItem(TcxComponentCollectionItem* AItem);
  void RemoveItem(TcxComponentCollectionItem* AItem);
  void MoveItem(TcxComponentCollectionItem* AItem, Integer ANewIndex);

  TComponent* FParentComponent;
  TClass FItemClass;
  std::vector<TcxComponentCollectionItem*> FItems;
  Integer FNextID = 0;
  Integer FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// Helpers.

// Whether two texts are equal: byte for byte with ACaseSensitive, else
// ignoring case by the locale's rules.
bool InternalCompareString(const AnsiString& S1, const AnsiString& S2, bool ACaseSensitive);

// A / B, plus one when there is a remainder (the quotient truncated first).
Integer RoundDiv(Integer A, Integer B);
// The middle of a range: (A + B) div 2, one lower for sums below 1.
Integer GetRangeCenter(Integer A, Integer B);
void SwapIntegers(Integer& A, Integer& B);
TSize Size(Integer cx, Integer cy);
bool StreamsEqual(TMemoryStream* AStream1, TMemoryStream* AStream2);
void CopyList(TList* ASource, TList* ADestination);
// Opens the address with the shell's "OPEN" verb, maximised.
void OpenWebPage(const AnsiString& AWebAddress);
// Every '/' replaced by '\'.
AnsiString GetCorrectPath(const AnsiString& APath);
// The byte of two hexadecimal digits; EConvertError for anything else.
Byte HexToByte(std::string_view AHex);
Byte ReadFromMemory(const void* AAddress, NativeInt AOffset);
void WriteToMemory(void* AAddress, NativeInt AOffset, Byte AValue);
// Bytes of the first character: always 1 in a single-byte code page.
Integer cxStrCharLength(std::string_view AText);
// One entry per value of the enumeration whose name function gives a text,
// with the ordinal as the entry's object.
void FillStringsWithEnumTypeValues(TStrings* AStrings, const TTypeInfo* ATypeInfo,
                                   const std::function<AnsiString(Integer)>& AGetTypeItemCaption);
TPersistent* GetPersistentOwner(TPersistent* APersistent);
// The name of AObject's first published object property that holds an
// object of ASubobject's class; empty when there is none.
AnsiString GetSubobjectName(TObject* AObject, TObject* ASubobject);
// AName with 1, 2, ... appended (always with AAlwaysAddNumber, else only
// when needed) until the component's owner has no component of that name.
AnsiString GetValidName(TComponent* AComponent, const AnsiString& AName, bool AAlwaysAddNumber = false);
// A name for AComponent built from the prefix, its class name without the
// leading 'T' (or without the part it shares with the owner's class name),
// the suffix and a number, unique (ignoring case) among AOwner's components.
AnsiString CreateUniqueName(TComponent* AOwner, TComponent* AComponent, TClass AClass, const AnsiString& APrefix,
                            const AnsiString& ASuffix);
// Renames the owner's components whose names begin with AOldPrefix so that
// they begin with ANewPrefix; nothing happens while the owner is loading.
// A component named ANewPrefix itself (the one just renamed) stays.
void RenameComponents(TComponent* AOwner, const AnsiString& AOldPrefix, const AnsiString& ANewPrefix);
