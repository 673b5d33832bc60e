#include "library/grid/filter/cxFilterControlRows.h"

#include <algorithm>
#include <array>

#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"

#include "library/data/cxFilterConsts.h"
#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditViewInfo.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "library/data/cxCustomDataFilter.h"
#include "library/data/cxFilterDisplayTexts.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/grid/filter/cxFilterControl.h"
#include "library/grid/filter/cxFilterControlStrs.h"
#include "library/grid/filter/cxFilterControlViewInfo.h"

ORV_REGISTER(TcxFilterControlCriteria)
ORV_REGISTER(TcxFilterControlCriteriaItem)

// ---------------------------------------------------------------------------
// TcxFilterControlCriteria

TcxFilterCriteriaItemClass TcxFilterControlCriteria::GetItemClass() {
  return TcxFilterControlCriteriaItem::StaticClass();
}

Integer TcxFilterControlCriteria::GetIDByItemLink(TObject* AItemLink) {
  IcxFilterControl* link = FControl ? FControl->GetFilterLink() : nullptr;
  TcxFilterCriteria* criteria = link ? link->GetFilterCriteria() : nullptr;
  if (criteria && criteria != this) return criteria->GetIDByItemLink(AItemLink);
  return AItemLink ? TcxObjectIDRegistry::GetID(AItemLink) : -1;
}

TObject* TcxFilterControlCriteria::GetItemLinkByID(Integer AID) {
  IcxFilterControl* link = FControl ? FControl->GetFilterLink() : nullptr;
  TcxFilterCriteria* criteria = link ? link->GetFilterCriteria() : nullptr;
  if (!criteria || criteria == this) return TcxObjectIDRegistry::FindObject(AID);
  for (Integer i = 0; i < link->GetFilterCount(); ++i) {
    TObject* item = link->GetFilterItemLink(i);
    if (item && criteria->GetIDByItemLink(item) == AID) return item;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// TcxFilterControlCriteriaItem

TcxFilterControlCriteria* TcxFilterControlCriteriaItem::GetFilterControlCriteria() const {
  return dynamic_cast<TcxFilterControlCriteria*>(GetCriteria());
}

IcxFilterControl* TcxFilterControlCriteriaItem::GetFilter() const {
  TcxFilterControlCriteria* criteria = GetFilterControlCriteria();
  return criteria && criteria->GetControl() ? criteria->GetControl()->GetFilterLink() : nullptr;
}

Integer TcxFilterControlCriteriaItem::GetItemIndex() const {
  IcxFilterControl* link = GetFilter();
  if (!link || !GetItemLink()) return -1;
  for (Integer i = 0; i < link->GetFilterCount(); ++i)
    if (link->GetFilterItemLink(i) == GetItemLink()) return i;
  return -1;
}

bool TcxFilterControlCriteriaItem::ValidItem() const {
  IcxFilterControl* link = GetFilter();
  const Integer index = GetItemIndex();
  return link && index >= 0 && index < link->GetFilterCount();
}

AnsiString TcxFilterControlCriteriaItem::GetFieldCaption() {
  return ValidItem() ? GetFilter()->GetFilterCaption(GetItemIndex()) : AnsiString();
}

AnsiString TcxFilterControlCriteriaItem::GetFieldName() {
  return ValidItem() ? GetFilter()->GetFilterFieldName(GetItemIndex()) : AnsiString();
}

TcxFilterOperatorClass TcxFilterControlCriteriaItem::GetFilterOperatorClass() {
  TcxFilterOperatorClass result = inherited::GetFilterOperatorClass();
  TcxFilterControlCriteria* criteria = GetFilterControlCriteria();
  if (criteria && criteria->GetControl()) criteria->GetControl()->CorrectOperatorClass(result);
  return result;
}

namespace cxfc {

ORV_REGISTER(cxfc::TcxCustomRowViewInfo)
ORV_REGISTER(cxfc::TcxGroupViewInfo)
ORV_REGISTER(cxfc::TcxConditionViewInfo)
ORV_REGISTER(cxfc::TcxValueInfo)
ORV_REGISTER(cxfc::TcxValuesViewInfo)

namespace {
constexpr int cxFilterControlOperatorCount = fcoInFuture + 1;
std::array<AnsiString, cxFilterControlOperatorCount> ConditionTexts;
std::array<AnsiString, 4> BoolOperatorTexts;
bool TextsCached = false;

void CacheTextsOnce() {
  if (!TextsCached) cxFilterControlCacheTexts();
}
}  // namespace

void cxFilterControlCacheTexts() {
  for (int op = 0; op < cxFilterControlOperatorCount; ++op)
    ConditionTexts[static_cast<size_t>(op)] = GetFilterControlOperatorText(static_cast<TcxFilterControlOperator>(op));
  const TResStringRec* texts[] = {&cxSFilterBoolOperatorAnd, &cxSFilterBoolOperatorOr, &cxSFilterBoolOperatorNotAnd,
                                  &cxSFilterBoolOperatorNotOr};
  for (size_t i = 0; i < 4; ++i) BoolOperatorTexts[i] = cxFilterControlString(*texts[i]);
  TextsCached = true;
}

AnsiString cxGetConditionText(TcxFilterControlOperator AOperator) {
  CacheTextsOnce();
  return ConditionTexts.at(static_cast<size_t>(AOperator));
}

AnsiString cxGetBoolOperatorText(TcxFilterBoolOperatorKind AKind) {
  CacheTextsOnce();
  return BoolOperatorTexts.at(static_cast<size_t>(AKind));
}

bool IsBetweenOperator(TcxFilterControlOperator AOperator) {
  return AOperator == fcoBetween || AOperator == fcoNotBetween;
}

bool IsListOperator(TcxFilterControlOperator AOperator) {
  return AOperator == fcoInList || AOperator == fcoNotInList;
}

// ---------------------------------------------------------------------------
// TcxCustomRowViewInfo

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                                           TcxCustomFilterCriteriaItem* ACriteriaItem)
    : FControl(AControl), FCriteriaItem(ACriteriaItem), FParent(AParent) {
  if (FParent) FParent->Add(this);
}

TcxCustomRowViewInfo::~TcxCustomRowViewInfo() {
  if (FParent) FParent->Remove(this);
}

bool TcxCustomRowViewInfo::IsLast() const {
  return !FParent || FParent->GetRow(FParent->GetRowCount() - 1) == this;
}

bool TcxCustomRowViewInfo::GetFocused() const { return FControl->GetFocusedRow() == this; }

void TcxCustomRowViewInfo::CenterInRow(TRect& ARect) const {
  const Integer offset = RowRect.Top - ARect.Top + (RowRect.Height() - ARect.Height()) / 2;
  ARect.Top += offset;
  ARect.Bottom += offset;
}

// ---------------------------------------------------------------------------
// TcxGroupViewInfo

TcxGroupViewInfo::TcxGroupViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                                   TcxCustomFilterCriteriaItem* ACriteriaItem)
    : TcxCustomRowViewInfo(AControl, AParent, ACriteriaItem) {
  if (auto* list = dynamic_cast<TcxFilterCriteriaItemList*>(ACriteriaItem)) BoolOperator = list->GetBoolOperatorKind();
  Caption = cxFilterControlString(AParent ? cxSFilterGroupCaption : cxSFilterRootGroupCaption);
}

TcxGroupViewInfo::~TcxGroupViewInfo() {
  while (!FRows.empty()) FRows.back()->Free();
}

void TcxGroupViewInfo::Remove(TcxCustomRowViewInfo* ARow) {
  auto found = std::find(FRows.begin(), FRows.end(), ARow);
  if (found != FRows.end()) FRows.erase(found);
}

// ---------------------------------------------------------------------------
// TcxValueInfo and TcxValuesViewInfo

TcxValueInfo::~TcxValueInfo() { SetValueViewInfo(nullptr); }

void TcxValueInfo::SetValueViewInfo(TcxCustomEditViewInfo* AViewInfo) {
  if (FValueViewInfo == AViewInfo) return;
  if (FValueViewInfo) FValueViewInfo->Free();
  FValueViewInfo = AViewInfo;
}

void TcxValuesViewInfo::AddValue() {
  auto* value = New<TcxValueInfo>();
  value->SetValueViewInfo(
      TcxCustomEditViewInfoClass(FCondition->GetProperties()->GetViewInfoClass()).Construct());
  FValues.push_back(value);
}

void TcxValuesViewInfo::RemoveValue(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetCount()) return;
  FValues[static_cast<size_t>(AIndex)]->Free();
  FValues.erase(FValues.begin() + AIndex);
}

void TcxValuesViewInfo::Clear() {
  for (TcxValueInfo* value : FValues) value->Free();
  FValues.clear();
}

// ---------------------------------------------------------------------------
// TcxConditionViewInfo

TcxConditionViewInfo::TcxConditionViewInfo(TcxCustomFilterControl* AControl, TcxGroupViewInfo* AParent,
                                           TcxCustomFilterCriteriaItem* ACriteriaItem)
    : TcxCustomRowViewInfo(AControl, AParent, ACriteriaItem) {
  FValues = New<TcxValuesViewInfo>(this);
}

void TcxConditionViewInfo::InitFromCriteria() {
  auto* item = dynamic_cast<TcxFilterCriteriaItem*>(FCriteriaItem);
  if (!item) return;
  // A condition read from criteria: its item must be one the link offers
  // now, or the criteria cannot be shown.
  IcxFilterControl* link = FControl->GetFilterLink();
  ItemLink = item->GetItemLink();
  auto* controlItem = dynamic_cast<TcxFilterControlCriteriaItem*>(item);
  ItemIndex = controlItem ? controlItem->GetItemIndex() : -1;
  if (!controlItem && link && ItemLink)
    for (Integer i = 0; i < link->GetFilterCount(); ++i)
      if (link->GetFilterItemLink(i) == ItemLink) {
        ItemIndex = i;
        break;
      }
  if (!FControl->HasItems() || ItemIndex < 0 || ItemIndex >= link->GetFilterCount())
    FilterControlError(cxFilterControlString(cxSFilterErrorBuilding));
  ItemText = link->GetFilterCaption(ItemIndex);
  Operator = GetFilterControlOperator(item->GetOperatorKind(), item->ValueIsNull(item->GetValue()));
  InternalInit();
  const Variant& value = item->GetValue();
  if (IsBetweenOperator(Operator) || IsListOperator(Operator)) {
    // A row holds a range as its two ends and a list as one value at
    // least, and saves only that: an array of another shape (an empty list,
    // a range of one or of three) would be shown but saved as something
    // else, or as something no load accepts.
    const Int64 count = VarIsArray(value) && VarArrayDimCount(value) == 1
                            ? Int64(VarArrayHighBound(value, 1)) - VarArrayLowBound(value, 1) + 1
                            : 0;
    if (IsBetweenOperator(Operator) ? count != 2 : count < 1)
      FilterControlError(cxFilterControlString(cxSFilterErrorBuilding));
    const std::vector<AnsiString> texts = cxFilterDisplayTexts(item->GetDisplayValue(), value);
    for (Integer i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
      AddValue();
      TcxValueInfo* info = FValues->GetValue(FValues->GetCount() - 1);
      info->Value = value[i];
      info->ValueText = texts[static_cast<size_t>(i - VarArrayLowBound(value, 1))];
    }
  } else {
    AddValue();
    TcxValueInfo* info = FValues->GetValue(0);
    info->Value = value;
    info->ValueText = item->GetDisplayValue();
  }
}

TcxConditionViewInfo::~TcxConditionViewInfo() {
  FValues->Free();
  if (FEditorProperties) FEditorProperties->Free();
  delete FEditData;
}

bool TcxConditionViewInfo::Ready() { return !ItemText.empty() && !cxGetConditionText(Operator).empty(); }

bool TcxConditionViewInfo::HasDisplayValues() const {
  return Operator != fcoBlanks && Operator != fcoNonBlanks && (Operator < fcoYesterday || Operator > fcoInFuture);
}

TcxCustomEditProperties* TcxConditionViewInfo::GetProperties() {
  IcxFilterControl* link = FControl->GetFilterLink();
  TcxCustomEditProperties* result = nullptr;
  if (FControl->HasItems() && ItemIndex >= 0 && ItemIndex < link->GetFilterCount())
    result = link->GetFilterProperties(ItemIndex);
  return result ? result : FControl->GetDefaultProperties();
}

void TcxConditionViewInfo::InternalInit() {
  if (FEditorProperties) {
    FEditorProperties->Free();
    FEditorProperties = nullptr;
  }
  TcxCustomEditProperties* properties = GetProperties();
  FFilterEditHelper = FilterEditsController()->FindHelper(properties->ClassType());
  if (!FFilterEditHelper) FFilterEditHelper = TcxFilterTextEditHelper::StaticClass();
  TClass editClass = FFilterEditHelper->GetFilterEditClass();
  TClass propertiesClass = editClass ? cxEditPropertiesClassOf(editClass) : properties->ClassType();
  FEditorProperties = TClassRef<TcxCustomEditProperties>(propertiesClass).Construct<TPersistent*>(nullptr);
  FFilterEditHelper->InitializeProperties(FEditorProperties, properties, true);
  IcxFilterControl* link = FControl->GetFilterLink();
  FValueType = link && ItemIndex >= 0 && ItemIndex < link->GetFilterCount() ? link->GetFilterValueType(ItemIndex)
                                                                             : nullptr;
  FSupportedOperators = FFilterEditHelper->GetSupportedFilterOperators(properties, FValueType, true);
  ValidateConditions();
}

void TcxConditionViewInfo::ValidateConditions() { FControl->ValidateConditions(FSupportedOperators); }

void TcxConditionViewInfo::SetItem(Integer AIndex) {
  if (AIndex >= 0 && AIndex == ItemIndex) return;
  IcxFilterControl* link = FControl->GetFilterLink();
  if (!link || link->GetFilterCount() == 0) return;
  if (AIndex < 0) {
    AIndex = 0;
    if (FControl->GetSortItems()) {
      AnsiString first = link->GetFilterCaption(0);
      for (Integer i = 1; i < link->GetFilterCount(); ++i) {
        const AnsiString caption = link->GetFilterCaption(i);
        if (AnsiCompareText(caption, first) < 0) {
          first = caption;
          AIndex = i;
        }
      }
    }
  }
  ItemIndex = AIndex;
  ItemLink = link->GetFilterItemLink(AIndex);
  ItemText = link->GetFilterCaption(AIndex);
  InternalInit();
  if (FSupportedOperators.Contains(fcoLike)) {
    Operator = fcoLike;
  } else {
    Operator = fcoNone;
    for (int op = fcoEqual; op < cxFilterControlOperatorCount; ++op)
      if (FSupportedOperators.Contains(static_cast<TcxFilterControlOperator>(op))) {
        Operator = static_cast<TcxFilterControlOperator>(op);
        break;
      }
  }
  InitValues(false);
  // The next value editor is made for the new item's kind.
  if (FControl->GetValueEditor() && FControl->GetInplaceEditList())
    FControl->GetInplaceEditList()->RemoveItem(FEditorProperties);
}

void TcxConditionViewInfo::InitValues(bool AKeep) {
  if (AKeep && FValues->GetCount() > 0 && HasDisplayValues()) {
    if (IsBetweenOperator(Operator)) {
      while (FValues->GetCount() > 2) FValues->RemoveValue(FValues->GetCount() - 1);
      if (FValues->GetCount() < 2) AddValue();
    } else if (!IsListOperator(Operator)) {
      while (FValues->GetCount() > 1) FValues->RemoveValue(FValues->GetCount() - 1);
    }
    return;
  }
  FValues->Clear();
  AddValue();
  if (IsBetweenOperator(Operator)) AddValue();
}

void TcxConditionViewInfo::AddValue() { FValues->AddValue(); }

}  // namespace cxfc

// ---------------------------------------------------------------------------
// Rows from criteria and criteria from rows

namespace {

void BuildGroup(TcxCustomFilterControl* AControl, cxfc::TcxGroupViewInfo* AGroup, TcxFilterCriteriaItemList* AList) {
  AGroup->BoolOperator = AList->GetBoolOperatorKind();
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (auto* list = dynamic_cast<TcxFilterCriteriaItemList*>(entry))
      BuildGroup(AControl, New<cxfc::TcxGroupViewInfo>(AControl, AGroup, list), list);
    else
      New<cxfc::TcxConditionViewInfo>(AControl, AGroup, entry)->InitFromCriteria();
  }
}

// The text stored for one value: "blank" for null (and, where the operator
// compares order or pattern, for an empty text).
AnsiString ValueDisplayText(const cxfc::TcxValueInfo* AValue, bool AEmptyIsBlank) {
  if (VarIsNull(AValue->Value) || VarIsEmpty(AValue->Value) ||
      (AEmptyIsBlank && VarIsStr(AValue->Value) && VarToStr(AValue->Value).empty()))
    return cxSFilterString(cxSFilterBlankCaption);
  return AValue->ValueText;
}

void AddConditionItem(TcxFilterControlCriteria* ACriteria, TcxFilterCriteriaItemList* AList,
                      cxfc::TcxConditionViewInfo* ACondition) {
  using namespace cxfc;
  TcxValuesViewInfo* values = ACondition->GetValues();
  const TcxFilterControlOperator op = ACondition->Operator;
  Variant value = Null();
  AnsiString display;
  if (IsBetweenOperator(op) && values->GetCount() >= 2) {
    TcxValueInfo* first = values->GetValue(0);
    TcxValueInfo* second = values->GetValue(1);
    if (VarCompare(first->Value, second->Value) > 0) std::swap(first, second);
    VarBetweenArrayCreate(value, first->Value, second->Value);
    display = ValueDisplayText(first, false) + ";" + ValueDisplayText(second, false);
  } else if (IsListOperator(op)) {
    for (Integer i = 0; i < values->GetCount(); ++i) {
      if (i == 0)
        VarListArrayCreate(value, values->GetValue(i)->Value);
      else
        VarListArrayAddValue(value, values->GetValue(i)->Value);
      display += (i ? ";" : "") + ValueDisplayText(values->GetValue(i), false);
    }
  } else if (values->GetCount() > 0) {
    value = values->GetValue(0)->Value;
    const bool blanks = op == fcoBlanks || op == fcoNonBlanks;
    display = blanks ? cxSFilterString(cxSFilterBlankCaption)
                     : ValueDisplayText(values->GetValue(0), op != fcoEqual && op != fcoNotEqual);
  }
  if (op == fcoBlanks || op == fcoNonBlanks) value = Null();
  ACriteria->AddItem(AList, ACondition->ItemLink, GetFilterOperatorKind(op), value, display);
}

void BuildList(TcxFilterControlCriteria* ACriteria, TcxFilterCriteriaItemList* AList, cxfc::TcxGroupViewInfo* AGroup) {
  AList->SetBoolOperatorKind(AGroup->BoolOperator);
  for (Integer i = 0; i < AGroup->GetRowCount(); ++i) {
    cxfc::TcxCustomRowViewInfo* row = AGroup->GetRow(i);
    if (auto* group = dynamic_cast<cxfc::TcxGroupViewInfo*>(row))
      BuildList(ACriteria, AList->AddItemList(fboAnd), group);
    else
      AddConditionItem(ACriteria, AList, static_cast<cxfc::TcxConditionViewInfo*>(row));
  }
}

}  // namespace

void TcxCustomFilterControl::BuildFromCriteria() {
  // The new rows are built aside and take the place of the old ones only
  // when the whole criteria could be shown; a failure leaves the rows and
  // the focus as they were.
  auto* root = New<cxfc::TcxGroupViewInfo>(this, nullptr, FCriteria->GetRoot());
  try {
    BuildGroup(this, root, FCriteria->GetRoot());
  } catch (...) {
    root->Free();
    throw;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  ValueEditorHide(false);
  InstallRoot(root);
}

void TcxCustomFilterControl::BuildFromRows() {
  ValueEditorHide(true);
  if (!IsValid()) return;
  FCriteria->BeginUpdate();
  try {
    FCriteria->Clear();
    BuildList(FCriteria, FCriteria->GetRoot(), FRoot);
  } catch (...) {
    FCriteria->EndUpdate();
    throw;
  }
  FCriteria->EndUpdate();
}
