// The controller's summaries: which values the footer and the group rows
// show (summary items with their kind, format and position), how those
// values are calculated over the filtered records and per data group, and
// how a value becomes the text the control paints.
#pragma once

#include <unordered_map>
#include <vector>

#include "library/data/cxCustomDataTypes.h"
#include "library/data/cxDataUtils.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Variant.h"

class TcxCustomDataField;
class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryItems;
class TcxDataSummaryGroup;
class TcxValueDef;
struct TcxSummaryAccumulator;
struct TcxSummaryTotals;
struct TcxDataGroupInfo;

ORV_ENUM(TcxSummaryKind, skNone, skSum, skMin, skMax, skCount, skAverage)
ORV_ENUM(TcxSummaryPosition, spGroup, spFooter)
ORV_ENUM(TcxSummaryProperty, spFormat, spKind)
using TcxSummaryProperties = Set<TcxSummaryProperty, 8>;
ORV_ENUM(TcxSummaryValueType, svtFloat, svtCurrency, svtDate)

using TcxDataSummaryItemGetTextEvent =
    Event<void(TcxDataSummaryItem* Sender, const Variant& AValue, bool AIsFooter, AnsiString& AText)>;

struct TcxSummaryEventArguments {
  Integer RecordIndex;
  TcxDataSummaryItem* SummaryItem;
};

struct TcxSummaryEventOutArguments {
  Variant Value;
  Variant SummaryValue;
  Integer CountValue = 0;
  bool Done = false;
};

using TcxSummaryEvent = Event<void(TcxDataSummaryItems* ASender, const TcxSummaryEventArguments& Arguments,
                                   TcxSummaryEventOutArguments& OutArguments)>;
using TcxAfterSummaryEvent = Event<void(TcxDataSummary* ASender)>;

// The collections of the summary know the summary they belong to.
class TcxDataSummaryCollection : public TcxCollection {
  ORV_CLASS(TcxDataSummaryCollection, TcxCollection)
 public:
  TcxDataSummaryCollection(TcxDataSummary* ASummary, TClass AItemClass)
      : TcxCollection(AItemClass), FSummary(ASummary) {}
  TcxDataSummary* GetSummary() const { return FSummary; }
  TcxCustomDataController* GetDataController() const;

 protected:
  // A new item joins its collection from its base constructor, before it
  // is an item of ours; changes reported then wait for the next one.
  template <class T>
  bool AllItemsAre() const {
    for (Integer i = 0; i < GetCount(); ++i)
      if (!dynamic_cast<T*>(TCollection::GetItem(i))) return false;
    return true;
  }

 private:
  TcxDataSummary* FSummary;
};

// A summary item or a summary-group link: something tied to one field.
class TcxCustomDataSummaryItem : public TCollectionItem {
  ORV_CLASS(TcxCustomDataSummaryItem, TCollectionItem)
 public:
  explicit TcxCustomDataSummaryItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

  virtual TcxCustomDataController* GetDataController() const;
  virtual void ItemLinkChanging(TcxCustomDataField*) {}
  TcxDataSummary* GetSummary() const;
  // The control's item of the field, none without a field.
  TObject* GetItemLink() const;
  void SetItemLink(TObject* Value);
  TcxCustomDataField* GetField() const { return FField; }
  // Sets the field as such (used when the field goes away).
  void SetField(TcxCustomDataField* AField);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxCustomDataField* FField = nullptr;
};

class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
  ORV_CLASS(TcxDataSummaryItem, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryItem(TCollection* ACollection);
  void SetCollection(TCollection* Value) override;

  virtual bool IsCurrency(Word AVarType) const { return AVarType == varCurrency; }
  virtual bool IsDataBinded() const;
  virtual bool IsPositionStored() const;
  TcxCustomDataField* DataField() const { return GetField(); }
  virtual AnsiString FormatValue(const Variant& AValue, bool AIsFooter);

  const AnsiString& GetFormat() const { return FFormat; }
  void SetFormat(const AnsiString& Value);
  TcxSummaryKind GetKind() const { return FKind; }
  void SetKind(TcxSummaryKind Value);
  TcxSummaryPosition GetPosition() const;
  void SetPosition(TcxSummaryPosition Value);
  bool GetSortBySummary() const { return FSortBySummary; }
  void SetSortBySummary(bool Value);
  // The collection, when it is summary items (kept: calculations ask per value).
  TcxDataSummaryItems* GetSummaryItems() const { return FSummaryItems; }

  TcxDataSummaryItemGetTextEvent OnGetText;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  friend class TcxDataSummaryItems;
  TcxDataSummaryItems* FSummaryItems = nullptr;
  AnsiString FFormat;
  TcxSummaryKind FKind = skNone;
  TcxSummaryPosition FPosition = spGroup;
  bool FSortBySummary = false;
};

class TcxDataSummaryItems : public TcxDataSummaryCollection {
  ORV_CLASS(TcxDataSummaryItems, TcxDataSummaryCollection)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxDataSummary*, TClass)>;
  TcxDataSummaryItems(TcxDataSummary* ASummary, TClass AItemClass) : TcxDataSummaryCollection(ASummary, AItemClass) {}

  TPersistent* GetOwner() override;
  virtual TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem* AItem) const { return AItem->FPosition; }
  virtual bool IsPositionStored(const TcxDataSummaryItem* AItem) const { return AItem->FPosition != spGroup; }
  virtual void AssignEvents(TcxDataSummaryItems* ASource);
  virtual AnsiString DefaultFormat(TcxSummaryValueType AValueType, TcxSummaryKind AKind, bool AIsFooter) const;
  virtual AnsiString GetGroupText(const Variant&) { return AnsiString(); }

  TcxDataSummaryItem* Add();
  TcxDataSummaryItem* GetItem(Integer Index) const {
    return static_cast<TcxDataSummaryItem*>(TCollection::GetItem(Index));
  }

  // Per-item editing; an item index outside the controller's items raises.
  TcxDataSummaryItem* GetDataItem(Integer AItemIndex, TcxSummaryPosition APosition);
  TcxDataSummaryItem* AddDataItem(Integer AItemIndex, TcxSummaryPosition APosition);
  AnsiString GetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition);
  TcxSummaryKind GetDataItemKind(Integer AItemIndex, TcxSummaryPosition APosition);
  void SetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition, const AnsiString& AValue);
  void SetDataItemKind(Integer AItemIndex, TcxSummaryPosition APosition, TcxSummaryKind AValue);
  void GetDataItemProperties(Integer AItemIndex, TcxSummaryPosition APosition, TcxSummaryProperties AProperties,
                             AnsiString& AFormat, TcxSummaryKind& AKind);
  void SetDataItemProperties(Integer AItemIndex, TcxSummaryPosition APosition, TcxSummaryProperties AProperties,
                             const AnsiString& AFormat, TcxSummaryKind AKind);
  virtual bool IsPropertiesEmpty(TcxSummaryProperties AProperties, const AnsiString& AFormat,
                                 TcxSummaryKind AKind) const;

  Integer IndexOf(const TcxDataSummaryItem* AItem) const { return AItem ? IndexOfIf([&](auto* i) { return i == AItem; }) : -1; }
  Integer IndexOfItemLink(TObject* AItemLink) const;
  TcxDataSummaryItem* ItemOfItemLink(TObject* AItemLink) const;
  Integer IndexOfField(const TcxCustomDataField* AField) const;
  TcxDataSummaryItem* ItemOfField(const TcxCustomDataField* AField) const;

  TcxSummaryEvent OnSummary;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  template <class P>
  Integer IndexOfIf(P APredicate) const {
    for (Integer i = 0; i < GetCount(); ++i)
      if (APredicate(GetItem(i))) return i;
    return -1;
  }
};

class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
  ORV_CLASS(TcxDataFooterSummaryItems, TcxDataSummaryItems)
 public:
  using TcxDataSummaryItems::TcxDataSummaryItems;
  TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem*) const override { return spFooter; }
  bool IsPositionStored(const TcxDataSummaryItem*) const override { return false; }
};

class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
  ORV_CLASS(TcxDataGroupSummaryItems, TcxDataSummaryItems)
 public:
  TcxDataGroupSummaryItems(TcxDataSummary* ASummary, TClass AItemClass, TcxDataSummaryGroup* AGroup = nullptr)
      : TcxDataSummaryItems(ASummary, AItemClass), FGroup(AGroup) {}
  TPersistent* GetOwner() override;
  AnsiString GetGroupText(const Variant& AValues) override;
  // The item that orders the groups of its level, none when there is none.
  TcxDataSummaryItem* SortBySummaryItem() const;

  const AnsiString& GetBeginText() const { return FBeginText; }
  void SetBeginText(const AnsiString& Value);
  const AnsiString& GetEndText() const { return FEndText; }
  void SetEndText(const AnsiString& Value);
  const AnsiString& GetSeparator() const { return FSeparator; }
  void SetSeparator(const AnsiString& Value);
  bool IsBeginTextStored() const { return FBeginText != "("; }
  bool IsEndTextStored() const { return FEndText != ")"; }
  bool IsSeparatorStored() const { return FSeparator != ","; }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxDataSummaryGroup* FGroup;
  AnsiString FBeginText = "(";
  AnsiString FEndText = ")";
  AnsiString FSeparator = ",";
};

// One field of a summary group. A field belongs to at most one group.
class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
  ORV_CLASS(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
 public:
  explicit TcxDataSummaryGroupItemLink(TCollection* ACollection) : TcxCustomDataSummaryItem(ACollection) {}
  void ItemLinkChanging(TcxCustomDataField* AField) override;
};

class TcxDataSummaryGroupItemLinks : public TcxDataSummaryCollection {
  ORV_CLASS(TcxDataSummaryGroupItemLinks, TcxDataSummaryCollection)
 public:
  using TcxDataSummaryCollection::TcxDataSummaryCollection;
  TcxDataSummaryGroupItemLink* Add();
  TcxDataSummaryGroupItemLink* GetItem(Integer Index) const {
    return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::GetItem(Index));
  }
  Integer IndexOfItemLink(TObject* AItemLink) const;
  TcxDataSummaryGroupItemLink* ItemOfItemLink(TObject* AItemLink) const;
  Integer IndexOfField(const TcxCustomDataField* AField) const;
  TcxDataSummaryGroupItemLink* ItemOfField(const TcxCustomDataField* AField) const;

 protected:
  void Update(TCollectionItem* Item) override;
};

class TcxDataSummaryGroup : public TCollectionItem {
  ORV_CLASS(TcxDataSummaryGroup, TCollectionItem)
 public:
  explicit TcxDataSummaryGroup(TCollection* ACollection);
  ~TcxDataSummaryGroup() override;

  TcxDataSummary* GetSummary() const;
  TcxDataSummaryGroupItemLinks* GetLinks();
  TcxDataGroupSummaryItems* GetSummaryItems() const { return FSummaryItems; }
  // Whether the links exist (they are made on first use).
  bool HasLinks() const { return FLinks != nullptr; }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxDataSummaryGroupItemLinks* FLinks = nullptr;
  TcxDataGroupSummaryItems* FSummaryItems = nullptr;
};

class TcxDataSummaryGroups : public TcxDataSummaryCollection {
  ORV_CLASS(TcxDataSummaryGroups, TcxDataSummaryCollection)
 public:
  explicit TcxDataSummaryGroups(TcxDataSummary* ASummary)
      : TcxDataSummaryCollection(ASummary, TcxDataSummaryGroup::StaticClass()) {}
  TcxDataSummaryGroup* Add();
  TcxDataSummaryGroup* GetItem(Integer Index) const {
    return static_cast<TcxDataSummaryGroup*>(TCollection::GetItem(Index));
  }
  TcxDataSummaryGroup* FindByItemLink(TObject* AItemLink) const;
  TcxDataSummaryGroup* FindByField(const TcxCustomDataField* AField) const;
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;
};

class TcxDataSummary : public TPersistent {
  ORV_CLASS(TcxDataSummary, TPersistent)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomDataController*)>;
  explicit TcxDataSummary(TcxCustomDataController* ADataController);
  ~TcxDataSummary() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  TPersistent* GetOwner() override;

  virtual void AssignEvents(TcxDataSummary* ASource) { OnAfterSummary = ASource->OnAfterSummary; }
  virtual TClass GetSummaryItemClass();
  virtual TClass GetSummaryGroupItemLinkClass();

  // Update bracket over the controller's.
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  Integer GetLockCount() const { return FLockCount; }
  void Changed(bool ARedrawOnly);
  void Recalculate() { Changed(false); }

  // Calculation, called by the view pipeline: BeginCalculate before the
  // grouping step and Calculate(false) after it; Calculate(true) does both
  // at the end when the summaries follow the selection.
  virtual void BeginCalculate();
  virtual void EndCalculate();
  virtual void Calculate(bool AWhole);
  // Turns reading number fields' cells straight from the storage off (for
  // comparing it with reading them as values).
  static void SetTypedCalculationEnabled(bool AValue);
  static bool GetTypedCalculationEnabled();
  void Calculate() { Calculate(true); }
  virtual void CalculateFooterSummary();
  virtual void CalculateGroupSummary();
  virtual void DoAfterSummary();
  // Replays an after-summary event that was due while the owner loaded.
  void Loaded();

  // One record edited between passes. RecordChanging comes before its
  // values change and remembers what the record adds to the footer and
  // its groups; RecordChanged after. When the view's next pass only moved
  // that record within its groups, UpdateChangedRecord replaces its old
  // contribution with the new one in the footer and in AGroups (its data
  // groups, any level) instead of calculating everything; a record that
  // moved to other groups also leaves ALeft (takes its old contribution
  // out) and enters AJoined (adds its new one). False where it cannot, and
  // the caller calculates everything.
  void RecordChanging(Integer ARecordIndex);
  void RecordChanged(Integer ARecordIndex);
  bool UpdateChangedRecord(Integer ARecordIndex, bool AWasShown, bool AIsShown, const std::vector<Integer>& AGroups,
                           const std::vector<Integer>& ALeft = {}, const std::vector<Integer>& AJoined = {});
  // The pass ended: a remembered record is forgotten, and when the records
  // or groups changed without a calculation the kept sums are too.
  void PassDone(bool ACalculated, bool ADataChanged);

  // The item of the level's group items that orders its groups, -1 for none.
  virtual Integer GetSortBySummaryItemIndex(Integer ALevel);
  // A field goes away: every item and link that refers to it loses it.
  virtual void RemoveField(TcxCustomDataField* AField) { RemoveItemByField(AField); }
  void RemoveItemByField(TcxCustomDataField* AField);

  // Values and texts.
  Variant GetFooterSummaryValue(Integer AIndex) const;
  void SetFooterSummaryValue(Integer AIndex, const Variant& AValue);
  AnsiString GetFooterSummaryText(Integer AIndex);
  const Variant& GetFooterSummaryValues() const { return FFooterSummaryValues; }
  TcxDataGroupSummaryItems* GetGroupSummaryItems(Integer ALevel) const;
  // The values kept by a data group; none for an index outside the table.
  Variant* GetGroupSummaryValues(Integer AGroupIndex) const;
  bool GetGroupSummaryInfo(Integer ARowIndex, TcxDataGroupSummaryItems*& AItems, Variant*& AValues) const;
  Variant GetGroupSummaryValue(Integer AGroupIndex, Integer AIndex) const;
  void SetGroupSummaryValue(Integer AGroupIndex, Integer AIndex, const Variant& AValue);
  Variant GetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel, Integer AIndex) const;
  void SetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel, Integer AIndex, const Variant& AValue);
  AnsiString GetGroupSummaryText(Integer ARowIndex);
  Integer GetGroupFooterIndexOfItemLink(Integer ALevel, TObject* AItemLink) const;
  AnsiString GetGroupFooterSummaryText(Integer ARowIndex, Integer ALevel, Integer AIndex);

  TcxSummaryOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxSummaryOptions Value);
  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxDataGroupSummaryItems* GetDefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems; }
  TcxDataFooterSummaryItems* GetFooterSummaryItems() const { return FFooterSummaryItems; }
  TcxDataSummaryGroups* GetSummaryGroups() const { return FSummaryGroups; }
  bool IsDestroying() const { return FDestroying; }

  TcxAfterSummaryEvent OnAfterSummary;

 protected:
  void DoAssign(TPersistent* Source) override;

  // The accumulation steps of one collection of items.
  virtual void BeginCalculateSummary(TcxDataSummaryItems* AItems, std::vector<Integer>& ACounts,
                                     std::vector<Variant>& AValues);
  virtual void CalculateSummary(TcxDataSummaryItems* AItems, Integer ABeginIndex, Integer AEndIndex,
                                std::vector<Integer>& ACounts, std::vector<Variant>& AValues);
  virtual void EndCalculateSummary(TcxDataSummaryItems* AItems, std::vector<Integer>& ACounts,
                                   std::vector<Variant>& AValues, Variant& AResult);
  virtual void DoSummaryValue(TcxDataSummaryItem* AItem, Integer ARecordIndex, Variant& ASummaryValue,
                              Integer& ACount);
  virtual void DoFinishSummaryValue(TcxDataSummaryItem* AItem, Variant& ASummaryValue, Integer& ACount);
  // The record at a position of the filtered list, -1 when it does not take part.
  virtual Integer GetRecordIndex(Integer APosition);
  virtual bool IsValidSummaryValuesIndex(const Variant& AValues, Integer AIndex) const;
  virtual void Update(bool ARedrawOnly);

 private:
  void PrepareRecordFilter();
  bool IsSelectionFollowed() const;
  // The accumulation of number fields: an item of an Integer, Float or
  // Currency field (or a count) without a handler is accumulated in
  // FAccumulators, reading the cells straight from the storage.
  bool IsAccumulated(TcxDataSummaryItems* AItems, TcxDataSummaryItem* AItem) const;
  // A field's cells of a run of positions: per position 0 (no record),
  // 1 (null) or 2 (a value, its 8 bytes in Cells).
  struct GatheredCells {
    TcxValueDef* Def = nullptr;
    Integer First = 0;
    bool Valid = false;
    std::vector<Byte> States;
    std::vector<UInt64> Cells;
  };
  // Accumulates item AIndex from the gathered cells of the positions.
  void AccumulateItem(Integer AIndex, const GatheredCells& ACells, Integer ABeginIndex, Integer AEndIndex);
  // ADef's cells of the positions, read once for all items of that field:
  // per CalculateSummary, or for the whole record list while the groups
  // are calculated; none where a cell cannot be read this way.
  const GatheredCells* GatherTypedCells(TcxValueDef* ADef, Integer ABeginIndex, Integer AEndIndex);
  bool Gather(TcxValueDef* ADef, Integer ABeginIndex, Integer AEndIndex, GatheredCells& ACells);
  // A record's cell of ADef: 1 null, 2 a value (its bytes in ACell), 0 unreadable.
  Byte ReadCell(Integer ARecordIndex, TcxValueDef* ADef, UInt64& ACell) const;
  // Whether every item of the collection is accumulated or never has a value.
  bool IsKeepable(TcxDataSummaryItems* AItems) const;
  void KeepAccumulators(std::vector<TcxSummaryAccumulator>& ATarget);
  // The summaries of every group of ALevel from the cells gathered for the
  // whole record list, when each item is accumulated or never has a value;
  // false (nothing done) otherwise.
  bool CalculateLevelTyped(TcxDataGroupSummaryItems* AItems, Integer ALevel, bool AKeepable);
  // A group's values from the totals its calculation kept.
  void MakeValuesOfTotals(TcxDataGroupInfo& AGroup) const;
  void ForgetKept();
  void CalculateFooterInRecordOrder();
  void RecalculateGroup(Integer AGroupIndex);
  // The record-list positions a data group covers.
  void GetGroupPositions(Integer AGroupIndex, Integer& AFirst, Integer& ALast) const;
  // Replaces the record's old cells with the new ones in accumulators kept
  // for AItems; false when Min or Max must be calculated anew.
  bool Replace(TcxDataSummaryItems* AItems, std::vector<TcxSummaryAccumulator>& AKept, bool AOld, bool ANew);
  void StoreResults(TcxDataSummaryItems* AItems, std::vector<TcxSummaryAccumulator>& AKept, Variant& AValues);

  TcxCustomDataController* FDataController;
  TcxDataGroupSummaryItems* FDefaultGroupSummaryItems = nullptr;
  bool FDestroying = false;
  TcxDataFooterSummaryItems* FFooterSummaryItems = nullptr;
  Variant FFooterSummaryValues;
  bool FInAfterSummary = false;
  Integer FLockCount = 0;
  TcxSummaryOptions FOptions;
  bool FSettingValue = false;
  TcxDataSummaryGroups* FSummaryGroups = nullptr;
  bool FAfterSummaryPending = false;
  // While calculating with the selection followed: the records that count.
  bool FFilterRecords = false;
  std::vector<char> FCountedRecords;
  // Within one CalculateSummary: the last value read, so that several items
  // of the same field read each record once.
  bool FValueCacheActive = false;
  Integer FCachedRecord = -1;
  TcxCustomDataField* FCachedField = nullptr;
  Variant FCachedValue;
  // The cells gathered for the accumulated items.
  GatheredCells FCallCells;
  bool FGatherWhole = false;
  std::vector<GatheredCells> FWholeCells;

  // The accumulators of the collection being calculated (one per item,
  // used where FAccumulated says so).
  std::vector<TcxSummaryAccumulator> FAccumulators;
  std::vector<char> FAccumulated;
  // The items read record by record in one CalculateSummary (none for the
  // accumulated ones), kept to spare an allocation per group.
  std::vector<TcxDataSummaryItem*> FGeneralItems;
  // The field whose cells each accumulated item read in one CalculateSummary.
  std::vector<TcxValueDef*> FItemDefs;
  // Kept after a calculation where every item was accumulated: the
  // footer's accumulators and those of the data groups of at least
  // cxKeptGroupRecords records (smaller groups are calculated anew).
  bool FKept = false;
  bool FFooterFresh = false;
  std::vector<TcxSummaryAccumulator> FFooterKept;
  std::unordered_map<Integer, std::vector<TcxSummaryAccumulator>> FGroupsKept;
  // The record edited since the last pass and its cells before the edit,
  // one per field of the kept items; spoiled by a second record or a
  // change that came without RecordChanging.
  Integer FChangingRecord = -1;
  bool FChangingSpoiled = false;
  std::vector<std::pair<TcxValueDef*, std::pair<Byte, UInt64>>> FChangingCells;
  // While set, positions map to the shown records in record order.
  const std::vector<Integer>* FPositionOrder = nullptr;
  // The items of each level calculated the typed way, as they were then:
  // kind (skNone for one that never gets a value), number type and the
  // slot of the field's totals among the group's. A group of such a level
  // keeps one totals per slot until its values are first read: most
  // groups of a long list never are.
  struct TypedLevel {
    std::vector<TcxSummaryKind> Kinds;
    std::vector<Byte> Numbers;
    std::vector<Integer> Slots;
  };
  std::vector<TypedLevel> FTypedLevels;
  std::vector<TcxSummaryTotals> FGroupTotals;
};
