// What the filter builder works on: the interface of a filtered control,
// the builder's own criteria, and the tree of rows (groups and conditions
// with their values) that shows those criteria, with the conversions
// between the two.
//
// Item IDs. A condition's item is written to the criteria stream as the ID
// that the linked control's own criteria give the same item, so that the
// builder and the control exchange criteria through the byte format and a
// filter file written for a control loads into the same control layout in
// a later run. Only while the builder has no link do the IDs come from the
// process-wide object registry; an address never reaches a stream.
#pragma once

#include <vector>

#include "library/data/cxFilter.h"
#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/foundation/cxLookAndFeelPainters.h"

class TcxCustomEditData;
class TcxCustomEditViewInfo;
class TcxCustomEditStyle;
class TcxCustomFilterControl;

// A control that the builder filters.
class IcxFilterControl {
 public:
  virtual ~IcxFilterControl() = default;
  virtual AnsiString GetFilterCaption(Integer AIndex) = 0;
  virtual Integer GetFilterCount() = 0;
  virtual TcxFilterCriteria* GetFilterCriteria() = 0;
  virtual TObject* GetFilterItemLink(Integer AIndex) = 0;
  virtual AnsiString GetFilterFieldName(Integer AIndex) = 0;
  virtual TcxCustomEditProperties* GetFilterProperties(Integer AIndex) = 0;
  virtual TcxValueTypeClass GetFilterValueType(Integer AIndex) = 0;
};
ORV_INTERFACE(IcxFilterControl, "{3079DC7A-1E42-4025-AD05-0CA184BC265D}")

// What the filter dialog binds its builder with.
class IcxFilterControlDialog {
 public:
  virtual ~IcxFilterControlDialog() = default;
  virtual void SetLinkComponent(TComponent* AComponent) = 0;
};
ORV_INTERFACE(IcxFilterControlDialog, "{14B71696-8D75-4698-A5BF-240F94853EEA}")

// The builder's criteria.
class TcxFilterControlCriteria : public TcxFilterCriteria {
  ORV_CLASS(TcxFilterControlCriteria, TcxFilterCriteria)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomFilterControl*)>;
  explicit TcxFilterControlCriteria(TcxCustomFilterControl* AControl) : FControl(AControl) {}

  TcxFilterCriteriaItemClass GetItemClass() override;
  // The ID the linked control's criteria give the item (the registry's
  // without a link).
  Integer GetIDByItemLink(TObject* AItemLink) override;
  // The current item link whose item has that ID; null when none has.
  TObject* GetItemLinkByID(Integer AID) override;
  // A builder's criteria never take over another criteria's events.
  void AssignEvents(TcxFilterCriteria*) override {}

  TcxCustomFilterControl* GetControl() const { return FControl; }

 private:
  TcxCustomFilterControl* FControl;
};

using TcxFilterControlCriteriaClass = TClassRef<TcxFilterControlCriteria>;

// One condition of the builder's criteria, answered through the link.
class TcxFilterControlCriteriaItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TcxFilterControlCriteriaItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;

  Variant GetDataValue(void*) override { return Null(); }
  AnsiString GetFieldCaption() override;
  AnsiString GetFieldName() override;
  TcxFilterOperatorClass GetFilterOperatorClass() override;

  TcxFilterControlCriteria* GetFilterControlCriteria() const;
  IcxFilterControl* GetFilter() const;
  // The item's position among the link's current items; -1 when none.
  Integer GetItemIndex() const;
  bool ValidItem() const;
};

// Row view infos. The vertical grid has rows of the same names; the
// builder's live in their own namespace.
namespace cxfc {

ORV_ENUM(TcxFilterControlHitTest, fhtNone, fhtButton, fhtBoolOperator, fhtItem, fhtOperator, fhtValue,
         fhtAddCondition, fhtAddValue)

class TcxGroupViewInfo;
class TcxCustomRowViewInfo;

struct TcxFilterControlHitTestInfo {
  TcxFilterControlHitTest HitTest = fhtNone;
  TPoint Mouse{};
  TShiftState Shift;
  TcxCustomRowViewInfo* Row = nullptr;
  Integer ValueIndex = -1;
};

class TcxCustomRowViewInfo : public TObject {
  ORV_CLASS(TcxCustomRowViewInfo, TObject)
 public:
  TcxCustomRowViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                       TcxCustomFilterCriteriaItem* ACriteriaItem);
  // Leaves its parent's list.
  ~TcxCustomRowViewInfo() override;

  virtual Integer GetWidth();
  virtual void Calc(const TRect& ARowRect);
  virtual void GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo);
  virtual bool Ready() { return true; }

  bool IsLast() const;
  bool GetFocused() const;
  TcxCustomFilterControl* GetControl() const { return FControl; }
  TcxGroupViewInfo* GetParent() const { return FParent; }
  TcxCustomFilterCriteriaItem* GetCriteriaItem() const { return FCriteriaItem; }
  Integer GetLevel() const { return FLevel; }
  Integer GetIndent() const { return FIndent; }

  AnsiString ButtonText;
  TRect ButtonRect{};
  TcxButtonState ButtonState = cxbsNormal;
  TRect RowRect{};

 protected:
  friend class TcxGroupViewInfo;
  TcxCustomFilterControl* FControl;
  TcxCustomFilterCriteriaItem* FCriteriaItem;
  Integer FLevel = 0;
  Integer FIndent = 0;
  TcxGroupViewInfo* FParent;
  // Moves ARect vertically so that its centre is the row's.
  void CenterInRow(TRect& ARect) const;
};

class TcxGroupViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxGroupViewInfo, TcxCustomRowViewInfo)
 public:
  TcxGroupViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                   TcxCustomFilterCriteriaItem* ACriteriaItem);
  // Frees every child first.
  ~TcxGroupViewInfo() override;

  Integer GetWidth() override;
  void Calc(const TRect& ARowRect) override;
  void GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) override;

  void Add(TcxCustomRowViewInfo* ARow) { FRows.push_back(ARow); }
  void Remove(TcxCustomRowViewInfo* ARow);
  TcxCustomRowViewInfo* GetRow(Integer AIndex) const { return FRows.at(static_cast<size_t>(AIndex)); }
  Integer GetRowCount() const { return static_cast<Integer>(FRows.size()); }
  void SetRow(Integer AIndex, TcxCustomRowViewInfo* ARow) { FRows.at(static_cast<size_t>(AIndex)) = ARow; }

  TcxFilterBoolOperatorKind BoolOperator = fboAnd;
  AnsiString BoolOperatorText;
  TRect BoolOperatorRect{};
  AnsiString Caption;
  TRect CaptionRect{};

 private:
  std::vector<TcxCustomRowViewInfo*> FRows;
};

class TcxConditionViewInfo;

// One value of a condition.
class TcxValueInfo : public TObject {
  ORV_CLASS(TcxValueInfo, TObject)
 public:
  TcxValueInfo() = default;
  ~TcxValueInfo() override;
  // Frees the previous view info.
  void SetValueViewInfo(TcxCustomEditViewInfo* AViewInfo);
  TcxCustomEditViewInfo* GetValueViewInfo() const { return FValueViewInfo; }

  Variant Value = Null();
  AnsiString ValueText;
  TRect ValueRect{};

 private:
  TcxCustomEditViewInfo* FValueViewInfo = nullptr;
};

// The values of one condition.
class TcxValuesViewInfo : public TObject {
  ORV_CLASS(TcxValuesViewInfo, TObject)
 public:
  explicit TcxValuesViewInfo(TcxConditionViewInfo* ACondition) : FCondition(ACondition) {}
  ~TcxValuesViewInfo() override { Clear(); }

  virtual void GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo);
  void AddValue();
  // Ignored out of range.
  void RemoveValue(Integer AIndex);
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FValues.size()); }
  TcxValueInfo* GetValue(Integer AIndex) const { return FValues.at(static_cast<size_t>(AIndex)); }
  Integer GetWidth() const;
  void Calc();
  void UpdateEditorStyle(TcxCustomEditStyle* AStyle, bool ASelected, bool AEnabled);

  TRect AddButtonRect{};
  TcxButtonState AddButtonState = cxbsNormal;
  AnsiString Separator;

 private:
  TcxConditionViewInfo* FCondition;
  std::vector<TcxValueInfo*> FValues;
};

class TcxConditionViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxConditionViewInfo, TcxCustomRowViewInfo)
 public:
  TcxConditionViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                       TcxCustomFilterCriteriaItem* ACriteriaItem);
  ~TcxConditionViewInfo() override;

  Integer GetWidth() override;
  void Calc(const TRect& ARowRect) override;
  void GetHitTestInfo(const TPoint& P, TcxFilterControlHitTestInfo& HitInfo) override;
  // Ready only with both an item and an operator text.
  bool Ready() override;
  virtual bool HasDisplayValues() const;
  virtual void InternalInit();
  // Takes item, operator and values from the criteria entry the row was
  // made for; raises "Can't build filter from source" when the entry's
  // item is not among the link's current items.
  void InitFromCriteria();

  // The properties of the item (the control's default text properties
  // when the item has none).
  TcxCustomEditProperties* GetProperties();
  void SetItem(Integer AIndex);
  void InitValues(bool AKeep);
  void AddValue();
  Integer GetItemIndex() const { return ItemIndex; }
  void ValidateConditions();
  TcxValuesViewInfo* GetValues() const { return FValues; }
  TcxCustomEditProperties* GetEditorProperties() const { return FEditorProperties; }
  TcxCustomEditData*& EditData() { return FEditData; }
  TcxCustomFilterEditHelperClass GetFilterEditHelper() const { return FFilterEditHelper; }
  TcxFilterControlOperators GetSupportedOperators() const { return FSupportedOperators; }
  TcxValueTypeClass GetValueType() const { return FValueType; }

  TcxFilterControlOperator Operator = fcoNone;
  TRect OperatorRect{};
  AnsiString OperatorText;
  Integer ItemIndex = -1;
  TObject* ItemLink = nullptr;
  TRect ItemRect{};
  AnsiString ItemText;

 private:
  friend class TcxValuesViewInfo;
  TcxCustomFilterEditHelperClass FFilterEditHelper;
  TcxCustomEditProperties* FEditorProperties = nullptr;
  TcxFilterControlOperators FSupportedOperators;
  TcxValueTypeClass FValueType = nullptr;
  TcxValuesViewInfo* FValues;
  TcxCustomEditData* FEditData = nullptr;
};

// The cached operator texts.
AnsiString cxGetConditionText(TcxFilterControlOperator AOperator);
AnsiString cxGetBoolOperatorText(TcxFilterBoolOperatorKind AKind);
// Refills both caches from the current texts.
void cxFilterControlCacheTexts();

bool IsBetweenOperator(TcxFilterControlOperator AOperator);
bool IsListOperator(TcxFilterControlOperator AOperator);

}  // namespace cxfc
