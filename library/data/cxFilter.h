// Filter criteria: a tree of conditions joined by Boolean operators. The
// criteria evaluate the tree for one record, render it as an expression
// or as a caption, write and read it in a compact binary form (also the
// form of filter files) and notify their owner when they change.
//
// The class is abstract about the data: a descendant says how a
// condition's item link reads a record's value (the condition class's
// GetDataValue) and how item links map to stream IDs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "library/data/cxFilterOperators.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Sets.h"

ORV_ENUM(TcxFilterBoolOperatorKind, fboAnd, fboOr, fboNotAnd, fboNotOr)
ORV_ENUM(TcxFilterCriteriaOption, fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare,
         fcoIgnoreNull)
using TcxFilterCriteriaOptions = Set<TcxFilterCriteriaOption, 8>;

class TcxFilterCriteriaItemList;
class TcxFilterValueList;

class TcxCustomFilterCriteriaItem : public TObject {
  ORV_CLASS(TcxCustomFilterCriteriaItem, TObject)
 public:
  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* AParent);
  // Leaves its parent list.
  ~TcxCustomFilterCriteriaItem() override;

  virtual void Changed();
  virtual TcxFilterCriteria* GetCriteria() const;
  virtual bool GetIsItemList() const = 0;
  // Called after the entry was read from a stream.
  virtual void ReadData(TStream*) {}
  virtual void WriteData(TStream* AStream);

  TcxFilterCriteriaItemList* GetParent() const { return FParent; }

 private:
  friend class TcxFilterCriteriaItemList;
  friend class TcxFilterCriteria;
  TcxFilterCriteriaItemList* FParent;
};

class TcxFilterCriteriaItem;

class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
  ORV_CLASS(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)
 public:
  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* AParent, TcxFilterBoolOperatorKind ABoolOperatorKind);
  ~TcxFilterCriteriaItemList() override;

  TcxFilterCriteria* GetCriteria() const override;
  bool GetIsItemList() const override { return true; }
  void WriteData(TStream* AStream) override;
  virtual void RemoveItem(TcxCustomFilterCriteriaItem* AItem);

  TcxFilterCriteriaItem* AddItem(TObject* AItemLink, TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                 const AnsiString& ADisplayValue);
  TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind ABoolOperatorKind);
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Null for an index out of range.
  TcxCustomFilterCriteriaItem* GetItem(Integer Index) const;
  Integer IndexOf(const TcxCustomFilterCriteriaItem* AItem) const;
  TcxFilterBoolOperatorKind GetBoolOperatorKind() const { return FBoolOperatorKind; }
  void SetBoolOperatorKind(TcxFilterBoolOperatorKind Value);

 private:
  friend class TcxFilterCriteria;
  friend class TcxCustomFilterCriteriaItem;
  TcxFilterBoolOperatorKind FBoolOperatorKind;
  TcxFilterCriteria* FCriteria = nullptr;  // the root's only
  std::vector<TcxCustomFilterCriteriaItem*> FItems;
};

// One condition: a field (the item link), an operator kind, a value and
// the text shown for the value.
class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
  ORV_CLASS(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxFilterCriteriaItemList*, TObject*, TcxFilterOperatorKind,
                                                     const Variant&, const AnsiString&)>;
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
                        const Variant& AValue, const AnsiString& ADisplayValue);
  ~TcxFilterCriteriaItem() override;
  // Makes the operator (virtual, so after construction) and reports.
  void AfterConstruction() override;

  bool GetIsItemList() const override { return false; }
  void WriteData(TStream* AStream) override;

  // The record's value for this field; descendants read their data.
  virtual Variant GetDataValue(void* AData);
  virtual AnsiString GetDisplayValue() const { return FDisplayValue; }
  virtual AnsiString GetExpressionValue(bool ADisplay);
  virtual AnsiString GetFieldCaption() { return AnsiString(); }
  virtual AnsiString GetFieldName() { return AnsiString(); }
  virtual TcxFilterOperatorClass GetFilterOperatorClass();
  virtual TObject* GetItemLink() const { return FItemLink; }
  virtual void RecreateOperator();
  virtual bool ValueIsNull(const Variant& AValue) const;

  TcxFilterOperator* GetOperator() const { return FOperator; }
  TcxFilterOperatorKind GetOperatorKind() const { return FOperatorKind; }
  void SetOperatorKind(TcxFilterOperatorKind Value);
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& Value);
  void SetDisplayValue(const AnsiString& Value);
  void SetItemLink(TObject* Value);

 private:
  AnsiString FDisplayValue;
  TObject* FItemLink;
  TcxFilterOperator* FOperator = nullptr;
  TcxFilterOperatorKind FOperatorKind;
  Variant FValue;
};

using TcxFilterCriteriaItemClass = TClassRef<TcxFilterCriteriaItem>;

// A condition checked straight from where its records keep their values,
// set up for one filter pass. Check answers 1 (met), 0 (not met) or -1
// (this record needs the general evaluation).
class TcxFilterTypedCheck {
 public:
  virtual ~TcxFilterTypedCheck() = default;
  virtual int Check(void* AData) = 0;
  // Checks a list of records at once, for criteria whose data are record
  // indexes: one call per pass instead of one per record. False (nothing
  // done) for a check that is asked record by record.
  virtual bool CheckRecords(const Integer*, size_t, signed char*) { return false; }
  // The records of a pass that the criteria keeps, from the field's column
  // (read once and kept by the storage): appends to AKept, in order, every
  // record of ARecords that meets the check (ANegated: that fails it) and
  // AAlwaysKept. A record the check cannot tell is decided by AGeneral (the
  // whole criteria, evaluated the general way), asked once for all nulls,
  // which the general way tells alike. No ARecords: the records 0 to
  // ACount - 1. False (nothing appended) for a check without a column.
  virtual bool SelectRecords(const Integer*, size_t, Integer, bool, const std::function<bool(Integer)>&,
                             std::vector<Integer>&) {
    return false;
  }
  static void* RecordData(Integer ARecord) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(ARecord)); }
};

class TcxFilterCriteria : public TPersistent {
  ORV_CLASS(TcxFilterCriteria, TPersistent)
 public:
  TcxFilterCriteria();
  ~TcxFilterCriteria() override;

  virtual void CheckChanges();
  virtual AnsiString ConvertBoolToStr(const Variant& AValue);
  virtual AnsiString ConvertDateToStr(const Variant& AValue);
  virtual void FormatFilterTextValue(TcxFilterCriteriaItem*, const Variant&, AnsiString&) {}
  virtual AnsiString GetFilterCaption() { return GetFilterExpression(true); }
  virtual AnsiString GetFilterExpression(bool ADisplay);
  virtual AnsiString GetFilterText() { return GetFilterExpression(false); }
  // Stream IDs of item links; a descendant that writes or reads
  // conditions provides them.
  virtual Integer GetIDByItemLink(TObject* AItemLink);
  virtual TcxFilterCriteriaItemClass GetItemClass();
  virtual AnsiString GetItemExpression(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual AnsiString GetItemExpressionFieldName(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual AnsiString GetItemExpressionOperator(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual AnsiString GetItemExpressionValue(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual TObject* GetItemLinkByID(Integer AID);
  virtual void Prepare();
  virtual void PrepareValue(Variant& AValue);
  virtual void SetFilterText(const AnsiString&) {}
  virtual void Update();
  virtual void AssignEvents(TcxFilterCriteria* ASource);
  virtual void AssignItems(TcxFilterCriteria* ASource);
  virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                         TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                         const AnsiString& ADisplayValue);
  virtual void Changed();
  virtual TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink);
  virtual bool IsEmpty() const { return FRoot->GetCount() == 0; }
  virtual void LoadFromStream(TStream* AStream);
  virtual void RestoreDefaults();
  virtual void SaveToStream(TStream* AStream);
  virtual bool ValueIsNull(const Variant& AValue) const;
  // The binary form. A bad stream raises EReadError; the criteria then
  // hold no conditions rather than part of a tree.
  virtual void ReadData(TStream* AStream);
  virtual void WriteData(TStream* AStream);

  TcxFilterCriteriaItem* AddItem(TObject* AItemLink, TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                 const AnsiString& ADisplayValue) {
    return AddItem(nullptr, AItemLink, AOperatorKind, AValue, ADisplayValue);
  }
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void CancelUpdate();
  void Refresh();
  void Clear();
  bool DoFilterData(void* AData);
  // A pass over many records: the conditions' values are prepared once
  // (and typed checks set up) at BeginPass, and DoFilterData uses them until
  // EndPass. The conditions must not change in between.
  void BeginPass();
  void EndPass();
  // Within a pass whose criteria is a single typed check: answers it for
  // records (indexes as data) at once, 1 met, 0 not, -1 for the records
  // DoFilterData must decide; false (nothing done) for any other criteria.
  bool CheckRecords(const Integer* ARecords, size_t ACount, signed char* AResults);
  // Within such a pass: the records the criteria keeps, as
  // TcxFilterTypedCheck::SelectRecords gives them; false for other criteria.
  bool SelectRecords(const Integer* ARecords, size_t ACount, Integer AAlwaysKept,
                     const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept);
  // Turns the typed checks off (for comparing them with the general path).
  static void SetTypedChecksEnabled(bool AValue);
  static bool GetTypedChecksEnabled();
  void RemoveItemByItemLink(TObject* AItemLink);
  bool IsStore() const { return FRoot->GetBoolOperatorKind() != fboAnd || FRoot->GetCount() > 0; }
  bool EqualItems(TcxFilterCriteria* ACriteria);
  TcxFilterCriteriaItemList* GetRoot() const { return FRoot; }

  const AnsiString& GetDateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const AnsiString& Value);
  Integer GetMaxValueListCount() const { return FMaxValueListCount; }
  void SetMaxValueListCount(Integer Value) { FMaxValueListCount = Value; }
  TcxFilterCriteriaOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxFilterCriteriaOptions Value);
  char GetPercentWildcard() const { return FPercentWildcard; }
  void SetPercentWildcard(char Value);
  char GetUnderscoreWildcard() const { return FUnderscoreWildcard; }
  void SetUnderscoreWildcard(char Value);
  bool GetTranslateLike() const { return FTranslateLike; }
  void SetTranslateLike(bool Value) { FTranslateLike = Value; }
  bool GetTranslateBetween() const { return FTranslateBetween; }
  void SetTranslateBetween(bool Value) { FTranslateBetween = Value; }
  bool GetTranslateNotLike() const { return FTranslateNotLike; }
  void SetTranslateNotLike(bool Value) { FTranslateNotLike = Value; }
  bool GetTranslateIn() const { return FTranslateIn; }
  void SetTranslateIn(bool Value) { FTranslateIn = Value; }
  Integer GetLockCount() const { return FLockCount; }

  TNotifyEvent OnChanged;

 protected:
  void DoAssign(TPersistent* Source) override;

  bool EvaluateItem(TcxCustomFilterCriteriaItem* AItem, void* AData);
  // A check of AItem against its prepared condition read from storage, or
  // nothing where the general evaluation must be used.
  virtual std::unique_ptr<TcxFilterTypedCheck> CreateTypedCheck(TcxFilterCriteriaItem*, const Variant&) {
    return nullptr;
  }
  AnsiString GetListExpression(TcxFilterCriteriaItemList* AList, bool ADisplay);
  void ReadItems(TStream* AStream, TcxFilterCriteriaItemList* AList, Integer ACount, int ADepth);

 private:
  bool FChanged = false;
  AnsiString FDateTimeFormat;
  Integer FLockCount = 0;
  Integer FMaxValueListCount = 0;
  TcxFilterCriteriaOptions FOptions;
  char FPercentWildcard = '%';
  TcxFilterCriteriaItemList* FRoot;
  bool FTranslateLike = true;
  bool FTranslateBetween = false;
  bool FTranslateNotLike = false;
  bool FTranslateIn = false;
  char FUnderscoreWildcard = '_';

  struct PassItem {
    Variant Condition;
    std::unique_ptr<TcxFilterTypedCheck> Typed;
  };
  void PreparePass(TcxCustomFilterCriteriaItem* AItem);
  bool EvaluatePass(TcxCustomFilterCriteriaItem* AItem, void* AData, size_t& AIndex);
  bool EvaluateLeaf(TcxFilterCriteriaItem* AItem, void* AData, const Variant& ACondition);
  bool CombineList(TcxFilterCriteriaItemList* AList, void* AData, size_t* AIndex);
  std::vector<PassItem> FPass;
  bool FInPass = false;
  // The pass's only condition when the criteria is a single typed check
  // (possibly negated by its list), asked without walking the tree.
  TcxFilterTypedCheck* FSingle = nullptr;
  bool FSingleNegated = false;
};

// The component that carries the criteria through component streams: its
// published Filter property holds the criteria's published properties.
class TFilterWrapper : public TComponent {
  ORV_CLASS(TFilterWrapper, TComponent)
 public:
  explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
  TcxFilterCriteria* GetFilter() const { return FFilter; }
  void SetFilter(TcxFilterCriteria* Value) { FFilter = Value; }

 private:
  TcxFilterCriteria* FFilter = nullptr;
};

// Stable 32-bit IDs for objects, for streams that must not hold addresses.
// An object keeps its ID until it is released; IDs are never reused.
class TcxObjectIDRegistry {
 public:
  static Integer GetID(TObject* AObject);
  static TObject* FindObject(Integer AID);
  static void Release(TObject* AObject);
};

// Value lists: the choices of a filter drop-down.
ORV_ENUM(TcxFilterValueItemKind, fviAll, fviCustom, fviBlanks, fviNonBlanks, fviUser, fviValue, fviMRU,
         fviMRUSeparator, fviSpecial)

struct TcxFilterValueItem {
  TcxFilterValueItemKind Kind;
  Variant Value;
  AnsiString DisplayText;
};

class TcxFilterValueList : public TObject {
  ORV_CLASS(TcxFilterValueList, TObject)
 public:
  explicit TcxFilterValueList(TcxFilterCriteria* ACriteria) : FCriteria(ACriteria) {}

  virtual Integer CompareItem(Integer AIndex, const Variant& AValue, const AnsiString& ADisplayText);
  virtual void Add(TcxFilterValueItemKind AKind, const Variant& AValue, const AnsiString& ADisplayText,
                   bool AIsSorted);
  virtual void Clear() { FItems.clear(); }
  virtual bool Find(const Variant& AValue, const AnsiString& ADisplayText, Integer& AIndex);
  virtual Integer GetIndexByCriteriaItem(TcxFilterCriteriaItem* AItem);

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  const TcxFilterValueItem& GetItem(Integer Index) const;
  bool GetSortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(bool Value) { FSortByDisplayText = Value; }

 private:
  Integer FindKind(TcxFilterValueItemKind AKind) const;
  Integer ValueStart() const;
  TcxFilterCriteria* FCriteria;
  std::vector<TcxFilterValueItem> FItems;
  bool FSortByDisplayText = false;
};
