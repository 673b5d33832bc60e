#include "library/data/cxCustomDataSummary.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "library/data/cxCustomDataController.h"
#include "library/data/cxCustomDataSummaryAccumulator.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxDataSummaryCollection)
ORV_REGISTER(TcxCustomDataSummaryItem)
ORV_REGISTER(TcxDataSummaryItem, ORV_PROP(Format), ORV_PROP(Kind).Default(skNone),
             ORV_PROP(Position).StoredBy<&TcxDataSummaryItem::IsPositionStored>(), ORV_EVENT(OnGetText))
ORV_REGISTER(TcxDataSummaryItems, ORV_EVENT(OnSummary))
ORV_REGISTER(TcxDataFooterSummaryItems)
ORV_REGISTER(TcxDataGroupSummaryItems, ORV_PROP(BeginText).StoredBy<&TcxDataGroupSummaryItems::IsBeginTextStored>(),
             ORV_PROP(EndText).StoredBy<&TcxDataGroupSummaryItems::IsEndTextStored>(),
             ORV_PROP(Separator).StoredBy<&TcxDataGroupSummaryItems::IsSeparatorStored>())
ORV_REGISTER(TcxDataSummaryGroupItemLink)
ORV_REGISTER(TcxDataSummaryGroupItemLinks)
ORV_REGISTER(TcxDataSummaryGroup, ORV_PROP_RO(Links), ORV_PROP_RO(SummaryItems))
ORV_REGISTER(TcxDataSummaryGroups)
ORV_REGISTER(TcxDataSummary, ORV_PROP_RO(DefaultGroupSummaryItems), ORV_PROP_RO(FooterSummaryItems),
             ORV_PROP_RO(SummaryGroups), ORV_PROP(Options), ORV_EVENT(OnAfterSummary))

namespace {

// The locale's currency format for a FormatFloat section. The symbol goes
// in quotes as a whole: a symbol holding ";", "0", "#", "E+" or a quote
// would otherwise be read as part of the pattern.
AnsiString SummaryCurrencyFormat() {
  const Locale& locale = CurrentLocale();
  AnsiString number = ",0";
  if (locale.CurrencyDecimals > 0) number += "." + AnsiString(static_cast<size_t>(locale.CurrencyDecimals), '0');
  if (locale.CurrencyString.empty()) return number;
  AnsiString symbol;
  for (size_t i = 0; i < locale.CurrencyString.size();) {
    // A run without double quotes goes in double quotes; a double quote in single ones.
    if (locale.CurrencyString[i] == '"') {
      symbol += "'\"'";
      ++i;
      continue;
    }
    const size_t end = std::min(locale.CurrencyString.find('"', i), locale.CurrencyString.size());
    symbol += '"' + locale.CurrencyString.substr(i, end - i) + '"';
    i = end;
  }
  switch (locale.CurrencyFormat) {
    case 0: return symbol + number;
    case 1: return number + symbol;
    case 2: return symbol + " " + number;
    case 3: return number + " " + symbol;
    default: return number;
  }
}

AnsiString ReplaceBoth(const char* APattern, const AnsiString& AValue) {
  AnsiString result;
  for (const char* p = APattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      result += AValue;
      ++p;
    } else {
      result += *p;
    }
  }
  return result;
}

AnsiString DateTimeText(TDateTime AValue) {
  const double whole = std::trunc(AValue.Value);
  const bool hasTime = AValue.Value != whole;
  if (!hasTime) return DateToStr(AValue);
  if (whole == 0) return TimeToStr(AValue);
  return DateToStr(AValue) + " " + TimeToStr(AValue);
}

}  // namespace

// ---------------------------------------------------------------------------
// Collections and items

TcxCustomDataController* TcxDataSummaryCollection::GetDataController() const {
  return FSummary ? FSummary->GetDataController() : nullptr;
}

namespace {

// Adds an item and reports the change once the item is whole.
template <class T>
T* AddWhole(TCollection* ACollection) {
  auto update = orv::UpdateScope(ACollection);
  return static_cast<T*>(ACollection->Add());
}

}  // namespace

TcxDataSummaryItem* TcxDataSummaryItems::Add() { return AddWhole<TcxDataSummaryItem>(this); }
TcxDataSummaryGroupItemLink* TcxDataSummaryGroupItemLinks::Add() {
  return AddWhole<TcxDataSummaryGroupItemLink>(this);
}
TcxDataSummaryGroup* TcxDataSummaryGroups::Add() { return AddWhole<TcxDataSummaryGroup>(this); }

TcxDataSummary* TcxCustomDataSummaryItem::GetSummary() const {
  auto* collection = dynamic_cast<TcxDataSummaryCollection*>(GetCollection());
  return collection ? collection->GetSummary() : nullptr;
}

TcxCustomDataController* TcxCustomDataSummaryItem::GetDataController() const {
  TcxDataSummary* summary = GetSummary();
  return summary ? summary->GetDataController() : nullptr;
}

TObject* TcxCustomDataSummaryItem::GetItemLink() const { return FField ? FField->GetItem() : nullptr; }

void TcxCustomDataSummaryItem::SetItemLink(TObject* Value) {
  TcxCustomDataController* controller = GetDataController();
  TcxCustomDataField* field = Value && controller ? controller->FieldByItem(Value) : nullptr;
  if (field == FField) return;
  TCollection* collection = GetCollection();
  auto update = orv::UpdateScopeIf(collection);
  ItemLinkChanging(field);
  FField = field;
  Changed(true);
}

void TcxCustomDataSummaryItem::SetField(TcxCustomDataField* AField) {
  if (FField == AField) return;
  FField = AField;
  Changed(true);
}

void TcxCustomDataSummaryItem::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomDataSummaryItem*>(Source)) {
    TObject* link = source->GetItemLink();
    TcxCustomDataController* controller = GetDataController();
    if (link && controller && source->GetDataController() != controller) link = controller->FindProperItemLink(link);
    SetItemLink(link);
    return;
  }
  TCollectionItem::DoAssign(Source);
}

TcxDataSummaryItem::TcxDataSummaryItem(TCollection* ACollection) : TcxCustomDataSummaryItem(ACollection) {
  // The base constructor joined the collection before this class existed.
  FSummaryItems = dynamic_cast<TcxDataSummaryItems*>(GetCollection());
}

void TcxDataSummaryItem::SetCollection(TCollection* Value) {
  TcxCustomDataSummaryItem::SetCollection(Value);
  FSummaryItems = dynamic_cast<TcxDataSummaryItems*>(GetCollection());
}

void TcxDataSummaryItem::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxDataSummaryItem*>(Source);
  if (!source) {
    TcxCustomDataSummaryItem::DoAssign(Source);
    return;
  }
  TCollection* collection = GetCollection();
  auto update = orv::UpdateScopeIf(collection);
  TcxCustomDataSummaryItem::DoAssign(Source);
  SetFormat(source->FFormat);
  SetKind(source->FKind);
  SetPosition(source->GetPosition());
  OnGetText = source->OnGetText;
}

bool TcxDataSummaryItem::IsDataBinded() const {
  return GetField() != nullptr || (FKind == skCount && GetPosition() == spGroup);
}

bool TcxDataSummaryItem::IsPositionStored() const {
  TcxDataSummaryItems* items = GetSummaryItems();
  return items ? items->IsPositionStored(this) : FPosition != spGroup;
}

void TcxDataSummaryItem::SetFormat(const AnsiString& Value) {
  if (FFormat == Value) return;
  FFormat = Value;
  Changed(false);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed(true);
}

TcxSummaryPosition TcxDataSummaryItem::GetPosition() const {
  TcxDataSummaryItems* items = GetSummaryItems();
  return items ? items->GetItemPosition(this) : FPosition;
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  Changed(false);
}

void TcxDataSummaryItem::SetSortBySummary(bool Value) {
  if (FSortBySummary == Value) return;
  TcxCustomDataController* controller = GetDataController();
  // The controller's own sort-by-summary item overrides the flags.
  if (controller && controller->GetSortBySummaryDataItemIndex() != -1) return;
  FSortBySummary = Value;
  Changed(true);
}

AnsiString TcxDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter) {
  AnsiString text;
  if (!VarIsNull(AValue) && !VarIsEmpty(AValue)) {
    if (FKind == skNone) {
      text = VarToStr(AValue);
    } else {
      const Word type = VarType(AValue);
      AnsiString format = FFormat;
      if (format.empty()) {
        const TcxSummaryValueType valueType = IsCurrency(type) ? svtCurrency : type == varDate ? svtDate : svtFloat;
        TcxDataSummaryItems* items = GetSummaryItems();
        format = items ? items->DefaultFormat(valueType, FKind, AIsFooter) : AnsiString();
      }
      // A Currency goes by its own digits: from about 10^14 on a double no
      // longer holds its cents.
      if (type == varDate && FKind != skCount)
        text = format + DateTimeText(AValue.AsDateTime());
      else if (type == varCurrency && !format.empty())
        text = FormatCurr(format, AValue.AsCurrency());
      else
        text = FormatFloat(format, static_cast<Extended>(AValue.AsDouble()));
    }
  }
  if (OnGetText) OnGetText(this, AValue, AIsFooter, text);
  return text;
}

TPersistent* TcxDataSummaryItems::GetOwner() { return GetSummary(); }

void TcxDataSummaryItems::AssignEvents(TcxDataSummaryItems* ASource) { OnSummary = ASource->OnSummary; }

void TcxDataSummaryItems::Update(TCollectionItem* Item) {
  if (!AllItemsAre<TcxDataSummaryItem>()) return;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(Item != nullptr);
}

AnsiString TcxDataSummaryItems::DefaultFormat(TcxSummaryValueType AValueType, TcxSummaryKind AKind,
                                              bool AIsFooter) const {
  if (AKind == skNone) return AnsiString();
  if (AKind == skCount) return AIsFooter ? "0" : "COUNT=0";
  static const char* const names[] = {"", "SUM=", "MIN=", "MAX=", "", "AVG="};
  const AnsiString name = names[AKind];
  const bool footerSum = AIsFooter && AKind == skSum;
  switch (AValueType) {
    case svtDate:
      return footerSum ? AnsiString() : name;
    case svtCurrency:
      return ReplaceBoth(footerSum ? "%s;-%s" : (name + "%s;" + name + "-%s").c_str(), SummaryCurrencyFormat());
    case svtFloat:
    default:
      return footerSum ? AnsiString("0.00;-0.00") : name + "0.00;" + name + "-0.00";
  }
}

TcxDataSummaryItem* TcxDataSummaryItems::GetDataItem(Integer AItemIndex, TcxSummaryPosition APosition) {
  TcxCustomDataController* controller = GetDataController();
  controller->CheckItemRange(AItemIndex);
  TcxCustomDataField* field = controller->GetField(AItemIndex);
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryItem* item = GetItem(i);
    if (item->GetField() == field && item->GetPosition() == APosition) return item;
  }
  return nullptr;
}

TcxDataSummaryItem* TcxDataSummaryItems::AddDataItem(Integer AItemIndex, TcxSummaryPosition APosition) {
  TcxCustomDataController* controller = GetDataController();
  controller->CheckItemRange(AItemIndex);
  auto update = orv::UpdateScope(this);
  TcxDataSummaryItem* item = Add();
  item->SetField(controller->GetField(AItemIndex));
  item->SetPosition(APosition);
  return item;
}

AnsiString TcxDataSummaryItems::GetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition) {
  AnsiString format;
  TcxSummaryKind kind;
  GetDataItemProperties(AItemIndex, APosition, {spFormat}, format, kind);
  return format;
}

TcxSummaryKind TcxDataSummaryItems::GetDataItemKind(Integer AItemIndex, TcxSummaryPosition APosition) {
  AnsiString format;
  TcxSummaryKind kind;
  GetDataItemProperties(AItemIndex, APosition, {spKind}, format, kind);
  return kind;
}

void TcxDataSummaryItems::SetDataItemFormat(Integer AItemIndex, TcxSummaryPosition APosition,
                                            const AnsiString& AValue) {
  SetDataItemProperties(AItemIndex, APosition, {spFormat}, AValue, skNone);
}

void TcxDataSummaryItems::SetDataItemKind(Integer AItemIndex, TcxSummaryPosition APosition, TcxSummaryKind AValue) {
  SetDataItemProperties(AItemIndex, APosition, {spKind}, AnsiString(), AValue);
}

void TcxDataSummaryItems::GetDataItemProperties(Integer AItemIndex, TcxSummaryPosition APosition,
                                                TcxSummaryProperties AProperties, AnsiString& AFormat,
                                                TcxSummaryKind& AKind) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  AFormat = AnsiString();
  AKind = skNone;
  if (!item) return;
  if (AProperties.Contains(spFormat)) AFormat = item->GetFormat();
  if (AProperties.Contains(spKind)) AKind = item->GetKind();
}

void TcxDataSummaryItems::SetDataItemProperties(Integer AItemIndex, TcxSummaryPosition APosition,
                                                TcxSummaryProperties AProperties, const AnsiString& AFormat,
                                                TcxSummaryKind AKind) {
  TcxDataSummaryItem* item = GetDataItem(AItemIndex, APosition);
  if (!item) {
    if (IsPropertiesEmpty(AProperties, AFormat, AKind)) return;
    item = AddDataItem(AItemIndex, APosition);
  }
  auto update = orv::UpdateScope(this);
  if (AProperties.Contains(spFormat)) item->SetFormat(AFormat);
  if (AProperties.Contains(spKind)) item->SetKind(AKind);
  if (IsPropertiesEmpty({spFormat, spKind}, item->GetFormat(), item->GetKind())) item->Free();
}

bool TcxDataSummaryItems::IsPropertiesEmpty(TcxSummaryProperties AProperties, const AnsiString& AFormat,
                                            TcxSummaryKind AKind) const {
  return (!AProperties.Contains(spKind) || AKind == skNone) && (!AProperties.Contains(spFormat) || AFormat.empty());
}

Integer TcxDataSummaryItems::IndexOfItemLink(TObject* AItemLink) const {
  return IndexOfIf([&](TcxDataSummaryItem* i) { return i->GetItemLink() == AItemLink; });
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfItemLink(TObject* AItemLink) const {
  const Integer i = IndexOfItemLink(AItemLink);
  return i < 0 ? nullptr : GetItem(i);
}

Integer TcxDataSummaryItems::IndexOfField(const TcxCustomDataField* AField) const {
  return IndexOfIf([&](TcxDataSummaryItem* i) { return i->GetField() == AField; });
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfField(const TcxCustomDataField* AField) const {
  const Integer i = IndexOfField(AField);
  return i < 0 ? nullptr : GetItem(i);
}

// ---------------------------------------------------------------------------
// Group items

TPersistent* TcxDataGroupSummaryItems::GetOwner() {
  if (FGroup) return FGroup;
  return GetSummary();
}

void TcxDataGroupSummaryItems::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxDataGroupSummaryItems*>(Source)) {
    auto update = orv::UpdateScope(this);
    TcxDataSummaryItems::DoAssign(Source);
    SetBeginText(source->FBeginText);
    SetEndText(source->FEndText);
    SetSeparator(source->FSeparator);
    return;
  }
  TcxDataSummaryItems::DoAssign(Source);
}

void TcxDataGroupSummaryItems::SetBeginText(const AnsiString& Value) {
  if (FBeginText == Value) return;
  FBeginText = Value;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(true);
}

void TcxDataGroupSummaryItems::SetEndText(const AnsiString& Value) {
  if (FEndText == Value) return;
  FEndText = Value;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(true);
}

void TcxDataGroupSummaryItems::SetSeparator(const AnsiString& Value) {
  if (FSeparator == Value) return;
  FSeparator = Value;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(true);
}

AnsiString TcxDataGroupSummaryItems::GetGroupText(const Variant& AValues) {
  AnsiString text;
  bool first = true;
  const bool isArray = VarIsArray(AValues);
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryItem* item = GetItem(i);
    if (item->GetPosition() != spGroup) continue;
    const Variant value =
        isArray && i >= VarArrayLowBound(AValues, 1) && i <= VarArrayHighBound(AValues, 1) ? AValues[i] : Null();
    if (!first) text += FSeparator + " ";
    text += item->FormatValue(value, false);
    first = false;
  }
  if (!text.empty()) text = FBeginText + text + FEndText;
  return text;
}

TcxDataSummaryItem* TcxDataGroupSummaryItems::SortBySummaryItem() const {
  TcxCustomDataController* controller = GetDataController();
  const Integer sortItem = controller ? controller->GetSortBySummaryDataItemIndex() : -1;
  if (sortItem != -1) {
    TcxCustomDataField* field = controller->GetField(sortItem);
    for (Integer i = 0; i < GetCount(); ++i)
      if (GetItem(i)->GetField() == field) return GetItem(i);
    return nullptr;
  }
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetSortBySummary()) return GetItem(i);
  return nullptr;
}

// ---------------------------------------------------------------------------
// Summary groups

void TcxDataSummaryGroupItemLink::ItemLinkChanging(TcxCustomDataField* AField) {
  TcxDataSummary* summary = GetSummary();
  if (!summary || !AField) return;
  TcxDataSummaryGroups* groups = summary->GetSummaryGroups();
  for (Integer g = 0; g < groups->GetCount(); ++g) {
    TcxDataSummaryGroup* group = groups->GetItem(g);
    if (!group->HasLinks()) continue;
    TcxDataSummaryGroupItemLinks* links = group->GetLinks();
    for (Integer i = 0; i < links->GetCount(); ++i)
      if (links->GetItem(i) != this && links->GetItem(i)->GetField() == AField) links->GetItem(i)->SetField(nullptr);
  }
}

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem*) {
  if (!AllItemsAre<TcxDataSummaryGroupItemLink>()) return;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(false);
}

Integer TcxDataSummaryGroupItemLinks::IndexOfItemLink(TObject* AItemLink) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetItemLink() == AItemLink) return i;
  return -1;
}

TcxDataSummaryGroupItemLink* TcxDataSummaryGroupItemLinks::ItemOfItemLink(TObject* AItemLink) const {
  const Integer i = IndexOfItemLink(AItemLink);
  return i < 0 ? nullptr : GetItem(i);
}

Integer TcxDataSummaryGroupItemLinks::IndexOfField(const TcxCustomDataField* AField) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetField() == AField) return i;
  return -1;
}

TcxDataSummaryGroupItemLink* TcxDataSummaryGroupItemLinks::ItemOfField(const TcxCustomDataField* AField) const {
  const Integer i = IndexOfField(AField);
  return i < 0 ? nullptr : GetItem(i);
}

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* ACollection) : TCollectionItem(ACollection) {
  TcxDataSummary* summary = GetSummary();
  FSummaryItems = New<TcxDataGroupSummaryItems>(
      summary, summary ? summary->GetSummaryItemClass() : TcxDataSummaryItem::StaticClass(), this);
}

TcxDataSummaryGroup::~TcxDataSummaryGroup() {
  FreeAndNil(FSummaryItems);
  FreeAndNil(FLinks);
}

TcxDataSummary* TcxDataSummaryGroup::GetSummary() const {
  auto* groups = dynamic_cast<TcxDataSummaryGroups*>(GetCollection());
  return groups ? groups->GetSummary() : nullptr;
}

TcxDataSummaryGroupItemLinks* TcxDataSummaryGroup::GetLinks() {
  if (!FLinks) {
    TcxDataSummary* summary = GetSummary();
    FLinks = New<TcxDataSummaryGroupItemLinks>(
        summary, summary ? summary->GetSummaryGroupItemLinkClass() : TcxDataSummaryGroupItemLink::StaticClass());
  }
  return FLinks;
}

void TcxDataSummaryGroup::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxDataSummaryGroup*>(Source)) {
    TcxDataSummary* summary = GetSummary();
    auto update = orv::UpdateScopeIf(summary);
    GetLinks()->Assign(const_cast<TcxDataSummaryGroup*>(source)->GetLinks());
    FSummaryItems->Assign(source->FSummaryItems);
    return;
  }
  TCollectionItem::DoAssign(Source);
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(TObject* AItemLink) const {
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryGroup* group = GetItem(i);
    if (group->HasLinks() && group->GetLinks()->IndexOfItemLink(AItemLink) != -1) return group;
  }
  return nullptr;
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByField(const TcxCustomDataField* AField) const {
  if (!AField) return nullptr;
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxDataSummaryGroup* group = GetItem(i);
    if (group->HasLinks() && group->GetLinks()->IndexOfField(AField) != -1) return group;
  }
  return nullptr;
}

TPersistent* TcxDataSummaryGroups::GetOwner() { return GetSummary(); }

void TcxDataSummaryGroups::Update(TCollectionItem*) {
  if (!AllItemsAre<TcxDataSummaryGroup>()) return;
  if (TcxDataSummary* summary = GetSummary()) summary->Changed(false);
}

// ---------------------------------------------------------------------------
// The summary

TcxDataSummary::TcxDataSummary(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

TcxDataSummary::~TcxDataSummary() {
  FDestroying = true;
  FreeAndNil(FSummaryGroups);
  FreeAndNil(FFooterSummaryItems);
  FreeAndNil(FDefaultGroupSummaryItems);
}

void TcxDataSummary::AfterConstruction() {
  TPersistent::AfterConstruction();
  const TClass itemClass = GetSummaryItemClass();
  FDefaultGroupSummaryItems = New<TcxDataGroupSummaryItems>(this, itemClass);
  FFooterSummaryItems = New<TcxDataFooterSummaryItems>(this, itemClass);
  FSummaryGroups = New<TcxDataSummaryGroups>(this);
}

void TcxDataSummary::BeforeDestruction() {
  FDestroying = true;
  TPersistent::BeforeDestruction();
}

TPersistent* TcxDataSummary::GetOwner() { return FDataController; }

TClass TcxDataSummary::GetSummaryItemClass() { return FDataController->GetSummaryItemClass(); }

TClass TcxDataSummary::GetSummaryGroupItemLinkClass() {
  return FDataController->GetSummaryGroupItemLinkClass();
}

void TcxDataSummary::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxDataSummary*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  auto update = orv::UpdateScope(this);
  FDefaultGroupSummaryItems->Assign(source->FDefaultGroupSummaryItems);
  FFooterSummaryItems->Assign(source->FFooterSummaryItems);
  FSummaryGroups->Assign(source->FSummaryGroups);
  SetOptions(source->FOptions);
  AssignEvents(source);
}

void TcxDataSummary::BeginUpdate() {
  FDataController->BeginUpdate();
  ++FLockCount;
}

void TcxDataSummary::EndUpdate() {
  --FLockCount;
  orv::ScopeExit endController([this] { FDataController->EndUpdate(); });
  Changed(false);
}

void TcxDataSummary::CancelUpdate() {
  FDataController->EndUpdate();
  --FLockCount;
}

void TcxDataSummary::Changed(bool ARedrawOnly) {
  if (FLockCount != 0 || FInAfterSummary) return;
  Update(ARedrawOnly);
}

void TcxDataSummary::Update(bool ARedrawOnly) {
  if (FDestroying || FDataController->IsDestroying()) return;
  // Items, kinds, fields or options changed: what was kept may not apply.
  if (!FSettingValue) ForgetKept();
  FDataController->SummaryChanged(ARedrawOnly);
}

void TcxDataSummary::SetOptions(TcxSummaryOptions Value) {
  if (Value.Contains(soSelectedRecords) && Value.Contains(soMultipleSelectedRecords)) {
    if (FOptions.Contains(soSelectedRecords))
      Value -= soSelectedRecords;
    else
      Value -= soMultipleSelectedRecords;
  }
  if (FOptions == Value) return;
  FOptions = Value;
  Changed(false);
}

void TcxDataSummary::RemoveItemByField(TcxCustomDataField* AField) {
  if (!AField) return;
  BeginUpdate();
  bool changed = false;
  auto clear = [&](TCollection* AItems) {
    for (Integer i = 0; i < AItems->GetCount(); ++i) {
      auto* item = static_cast<TcxCustomDataSummaryItem*>(AItems->GetItem(i));
      if (item->GetField() == AField) {
        item->SetField(nullptr);
        changed = true;
      }
    }
  };
  // Nothing cleared, nothing to report.
  orv::ScopeExit end([&] { changed ? EndUpdate() : CancelUpdate(); });
  clear(FFooterSummaryItems);
  clear(FDefaultGroupSummaryItems);
  for (Integer g = 0; g < FSummaryGroups->GetCount(); ++g) {
    TcxDataSummaryGroup* group = FSummaryGroups->GetItem(g);
    clear(group->GetSummaryItems());
    if (group->HasLinks()) clear(group->GetLinks());
  }
}

// --- Values and texts -------------------------------------------------------

bool TcxDataSummary::IsValidSummaryValuesIndex(const Variant& AValues, Integer AIndex) const {
  return VarIsArray(AValues) && VarArrayLowBound(AValues, 1) <= AIndex && AIndex <= VarArrayHighBound(AValues, 1);
}

Variant TcxDataSummary::GetFooterSummaryValue(Integer AIndex) const {
  return IsValidSummaryValuesIndex(FFooterSummaryValues, AIndex) ? FFooterSummaryValues[AIndex] : Null();
}

void TcxDataSummary::SetFooterSummaryValue(Integer AIndex, const Variant& AValue) {
  if (!IsValidSummaryValuesIndex(FFooterSummaryValues, AIndex)) return;
  const Variant& old = FFooterSummaryValues[AIndex];
  if (old.VType() == AValue.VType() && VarSameValue(old, AValue)) return;
  // A value set by hand shows until the next calculation, which then
  // covers everything.
  ForgetKept();
  VarArrayPut(FFooterSummaryValues, AValue, {AIndex});
  auto setting = orv::TempValue(FSettingValue, true);
  Changed(true);
}

AnsiString TcxDataSummary::GetFooterSummaryText(Integer AIndex) {
  if (AIndex < 0 || AIndex >= FFooterSummaryItems->GetCount()) return AnsiString();
  return FFooterSummaryItems->GetItem(AIndex)->FormatValue(GetFooterSummaryValue(AIndex), true);
}

TcxDataGroupSummaryItems* TcxDataSummary::GetGroupSummaryItems(Integer ALevel) const {
  TcxGroupingFieldList* grouping = FDataController->GetDataControllerInfo()->GetGroupingFieldList();
  if (ALevel < 0 || ALevel >= grouping->GetCount()) return nullptr;
  TcxDataSummaryGroup* group = FSummaryGroups->FindByField(grouping->GetItem(ALevel).Field);
  return group ? group->GetSummaryItems() : FDefaultGroupSummaryItems;
}

Variant* TcxDataSummary::GetGroupSummaryValues(Integer AGroupIndex) const {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  if (AGroupIndex < 0 || AGroupIndex >= groups->GetItemCount()) return nullptr;
  TcxDataGroupInfo& group = groups->Item(AGroupIndex);
  if (group.SummaryTotals >= 0) MakeValuesOfTotals(group);
  return &group.SummaryValues;
}

bool TcxDataSummary::GetGroupSummaryInfo(Integer ARowIndex, TcxDataGroupSummaryItems*& AItems,
                                         Variant*& AValues) const {
  AItems = nullptr;
  AValues = nullptr;
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  if (!info->IsGrouped() || ARowIndex < 0 || ARowIndex >= info->GetRowCount()) return false;
  const Integer levels = info->GetDataGroups()->GetLevelCount();
  const TcxRowInfo row = info->GetRowInfo(ARowIndex);
  if (row.Level >= levels) return false;
  const Integer group = info->GetDataGroups()->GetIndexByRowIndexLevel(ARowIndex, row.Level);
  AItems = GetGroupSummaryItems(row.Level);
  AValues = GetGroupSummaryValues(group);
  return AItems && AValues && !VarIsNull(*AValues) && !VarIsEmpty(*AValues);
}

Variant TcxDataSummary::GetGroupSummaryValue(Integer AGroupIndex, Integer AIndex) const {
  const Variant* values = GetGroupSummaryValues(AGroupIndex);
  return values && IsValidSummaryValuesIndex(*values, AIndex) ? (*values)[AIndex] : Null();
}

void TcxDataSummary::SetGroupSummaryValue(Integer AGroupIndex, Integer AIndex, const Variant& AValue) {
  Variant* values = GetGroupSummaryValues(AGroupIndex);
  if (!values || !IsValidSummaryValuesIndex(*values, AIndex)) return;
  const Variant& old = (*values)[AIndex];
  if (old.VType() == AValue.VType() && VarSameValue(old, AValue)) return;
  ForgetKept();
  VarArrayPut(*values, AValue, {AIndex});
  auto setting = orv::TempValue(FSettingValue, true);
  Changed(true);
}

Variant TcxDataSummary::GetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel, Integer AIndex) const {
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  if (!info->IsGrouped() || ARowIndex < 0 || ARowIndex >= info->GetRowCount()) return Null();
  return GetGroupSummaryValue(info->GetDataGroups()->GetIndexByRowIndexLevel(ARowIndex, ALevel), AIndex);
}

void TcxDataSummary::SetGroupSummaryDisplayValue(Integer ARowIndex, Integer ALevel, Integer AIndex,
                                                 const Variant& AValue) {
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  if (!info->IsGrouped() || ARowIndex < 0 || ARowIndex >= info->GetRowCount()) return;
  SetGroupSummaryValue(info->GetDataGroups()->GetIndexByRowIndexLevel(ARowIndex, ALevel), AIndex, AValue);
}

AnsiString TcxDataSummary::GetGroupSummaryText(Integer ARowIndex) {
  TcxDataGroupSummaryItems* items;
  Variant* values;
  if (!GetGroupSummaryInfo(ARowIndex, items, values)) return AnsiString();
  return items->GetGroupText(*values);
}

Integer TcxDataSummary::GetGroupFooterIndexOfItemLink(Integer ALevel, TObject* AItemLink) const {
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items) return -1;
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TcxDataSummaryItem* item = items->GetItem(i);
    if (item->GetPosition() == spFooter && item->GetItemLink() == AItemLink) return i;
  }
  return -1;
}

AnsiString TcxDataSummary::GetGroupFooterSummaryText(Integer ARowIndex, Integer ALevel, Integer AIndex) {
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items || AIndex < 0 || AIndex >= items->GetCount()) return AnsiString();
  TcxCustomDataControllerInfo* info = FDataController->GetDataControllerInfo();
  if (!info->IsGrouped() || ARowIndex < 0 || ARowIndex >= info->GetRowCount()) return AnsiString();
  const Variant* values = GetGroupSummaryValues(info->GetDataGroups()->GetIndexByRowIndexLevel(ARowIndex, ALevel));
  if (!values) return AnsiString();
  return items->GetItem(AIndex)->FormatValue(
      IsValidSummaryValuesIndex(*values, AIndex) ? (*values)[AIndex] : Null(), true);
}

Integer TcxDataSummary::GetSortBySummaryItemIndex(Integer ALevel) {
  TcxDataGroupSummaryItems* items = GetGroupSummaryItems(ALevel);
  if (!items) return -1;
  TcxDataSummaryItem* item = items->SortBySummaryItem();
  return item ? item->GetIndex() : -1;
}

// --- Calculation ------------------------------------------------------------

bool TcxDataSummary::IsSelectionFollowed() const {
  return FOptions.Contains(soSelectedRecords) ||
         (FOptions.Contains(soMultipleSelectedRecords) && FDataController->GetSelectedCount() >= 2);
}

void TcxDataSummary::PrepareRecordFilter() {
  FFilterRecords = IsSelectionFollowed();
  FCountedRecords.clear();
  if (!FFilterRecords) return;
  const Integer count = FDataController->GetRecordCount();
  FCountedRecords.assign(static_cast<size_t>(std::max(count, 0)), 0);
  auto mark = [&](Integer ARecordIndex) {
    if (ARecordIndex >= 0 && ARecordIndex < count) FCountedRecords[static_cast<size_t>(ARecordIndex)] = 1;
  };
  if (FDataController->IsFocusedSelectedMode()) {
    mark(FDataController->GetFocusedRecordIndex());
    return;
  }
  const Integer levels = FDataController->GetGroups()->GetGroupingItemCount();
  for (Integer i = 0; i < FDataController->GetSelectedCount(); ++i) {
    const Integer row = FDataController->GetSelectedRowIndex(i);
    if (row < 0 || row >= FDataController->GetRowCount()) continue;
    const TcxRowInfo info = FDataController->GetRowInfo(row);
    if (info.Level >= levels) mark(info.RecordIndex);
  }
}

Integer TcxDataSummary::GetRecordIndex(Integer APosition) {
  const Integer record = FPositionOrder ? (*FPositionOrder)[static_cast<size_t>(APosition)]
                                        : FDataController->GetFilteredRecordIndex(APosition);
  if (!FFilterRecords) return record;
  return record >= 0 && static_cast<size_t>(record) < FCountedRecords.size() &&
                 FCountedRecords[static_cast<size_t>(record)]
             ? record
             : -1;
}

void TcxDataSummary::BeginCalculate() {
  if (FSettingValue) return;
  ForgetKept();
  PrepareRecordFilter();
  CalculateFooterInRecordOrder();
}

void TcxDataSummary::EndCalculate() {
  if (FSettingValue) return;
  PrepareRecordFilter();
  CalculateGroupSummary();
  // The footer was calculated with this pass (BeginCalculate forgot any
  // older one) and every group level can be kept.
  bool keep = !FFilterRecords && FFooterFresh && !FDataController->IsGridMode();
  const Integer levels = FDataController->GetDataControllerInfo()->GetDataGroups()->GetLevelCount();
  for (Integer level = 0; keep && level < levels; ++level)
    if (TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level)) keep = IsKeepable(items);
  FKept = keep;
  if (!keep) ForgetKept();
  FCountedRecords.clear();
  DoAfterSummary();
}

void TcxDataSummary::Calculate(bool AWhole) {
  if (AWhole) BeginCalculate();
  EndCalculate();
}

void TcxDataSummary::BeginCalculateSummary(TcxDataSummaryItems* AItems, std::vector<Integer>& ACounts,
                                           std::vector<Variant>& AValues) {
  const size_t n = static_cast<size_t>(AItems->GetCount());
  ACounts.assign(n, 0);
  AValues.assign(n, Variant());
  FAccumulators.resize(n);
  FAccumulated.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(static_cast<Integer>(i));
    if (!IsAccumulated(AItems, item)) continue;
    FAccumulated[i] = 1;
    TcxSummaryNumber number = snNone;
    if (TcxCustomDataField* field = item->GetField()) {
      const TcxValueTypeClass type = field->GetValueDef()->GetValueTypeClass();
      number = type == TcxIntegerValueType::Class() ? snInteger : type == TcxFloatValueType::Class() ? snFloat : snCurrency;
    }
    FAccumulators[i].Reset(item->GetKind(), number);
  }
}

void TcxDataSummary::CalculateSummary(TcxDataSummaryItems* AItems, Integer ABeginIndex, Integer AEndIndex,
                                      std::vector<Integer>& ACounts, std::vector<Variant>& AValues) {
  const Integer n = AItems->GetCount();
  // A handler may change the data between items: then every item reads anew.
  FValueCacheActive = !AItems->OnSummary;
  FCachedRecord = -1;
  FCachedField = nullptr;
  FCallCells.Def = nullptr;
  // Accumulated items read their field's cells for all positions at once;
  // the rest (and those whose cells cannot be read so) go record by record.
  std::vector<TcxDataSummaryItem*>& general = FGeneralItems;
  general.clear();
  bool anyGeneral = false;
  std::vector<TcxValueDef*>& itemDefs = FItemDefs;
  itemDefs.assign(static_cast<size_t>(n), nullptr);
  for (Integer i = 0; i < n; ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(i);
    const GatheredCells* cells =
        FAccumulated[static_cast<size_t>(i)] && GetTypedCalculationEnabled() && item->GetField()
            ? GatherTypedCells(item->GetField()->GetValueDef(), ABeginIndex, AEndIndex)
            : nullptr;
    if (!cells) {
      general.push_back(item);
      anyGeneral = true;
      continue;
    }
    general.push_back(nullptr);
    itemDefs[static_cast<size_t>(i)] = cells->Def;
    // Items of one field have gathered the same positions: a count takes
    // any of their accumulators, a sum or an average the other's sum, an
    // item of the same kind the other's extreme.
    const TcxSummaryKind kind = FAccumulators[static_cast<size_t>(i)].Kind;
    auto sums = [](TcxSummaryKind AKind) { return AKind == skSum || AKind == skAverage; };
    Integer done = -1;
    for (Integer j = 0; j < i && done < 0; ++j) {
      const TcxSummaryKind other = FAccumulators[static_cast<size_t>(j)].Kind;
      if (itemDefs[static_cast<size_t>(j)] == cells->Def &&
          (kind == skCount || kind == other || (sums(kind) && sums(other))))
        done = j;
    }
    if (done >= 0) {
      FAccumulators[static_cast<size_t>(i)] = FAccumulators[static_cast<size_t>(done)];
      FAccumulators[static_cast<size_t>(i)].Kind = kind;
    } else {
      AccumulateItem(i, *cells, ABeginIndex, AEndIndex);
    }
  }
  if (!anyGeneral) {
    FValueCacheActive = false;
    return;
  }
  const bool nullIgnore = FOptions.Contains(soNullIgnore);
  try {
    for (Integer position = ABeginIndex; position <= AEndIndex; ++position) {
      const Integer record = GetRecordIndex(position);
      if (record == -1) continue;
      for (Integer i = 0; i < n; ++i) {
        TcxDataSummaryItem* item = general[static_cast<size_t>(i)];
        if (!item) continue;
        if (!FAccumulated[static_cast<size_t>(i)]) {
          DoSummaryValue(item, record, AValues[static_cast<size_t>(i)], ACounts[static_cast<size_t>(i)]);
          continue;
        }
        TcxSummaryAccumulator& a = FAccumulators[static_cast<size_t>(i)];
        TcxCustomDataField* field = item->GetField();
        if (field && (FCachedRecord != record || FCachedField != field)) {
          FCachedValue = FDataController->GetInternalValue(record, field);
          FCachedRecord = record;
          FCachedField = field;
        }
        if (!field || VarIsNull(FCachedValue) || VarIsEmpty(FCachedValue)) {
          if (!nullIgnore) a.AddNull();
          continue;
        }
        UInt64 raw;
        switch (a.Number) {
          case snInteger: raw = static_cast<Cardinal>(FCachedValue.AsInteger()); break;
          case snFloat: raw = std::bit_cast<UInt64>(FCachedValue.AsDouble()); break;
          default: raw = static_cast<UInt64>(FCachedValue.AsCurrency().Value); break;
        }
        a.Accumulate(raw);
      }
    }
  } catch (...) {
    FValueCacheActive = false;
    FCachedValue = Variant();
    throw;
  }
  FValueCacheActive = false;
  FCachedValue = Variant();
}

void TcxDataSummary::EndCalculateSummary(TcxDataSummaryItems* AItems, std::vector<Integer>& ACounts,
                                         std::vector<Variant>& AValues, Variant& AResult) {
  const Integer n = AItems->GetCount();
  for (Integer i = 0; i < n; ++i) {
    TcxDataSummaryItem* item = AItems->GetItem(i);
    const size_t k = static_cast<size_t>(i);
    if (k < FAccumulated.size() && FAccumulated[k])
      AValues[k] = FAccumulators[k].Result();
    else if (item->IsDataBinded())
      DoFinishSummaryValue(item, AValues[k], ACounts[k]);
    else if (VarIsEmpty(AValues[k]))
      AValues[k] = Null();
  }
  if (n == 0) {
    AResult = Null();
    return;
  }
  AResult = VarArrayCreate({0, n - 1}, varVariant);
  for (Integer i = 0; i < n; ++i) VarArrayPut(AResult, AValues[static_cast<size_t>(i)], {i});
}

void TcxDataSummary::DoSummaryValue(TcxDataSummaryItem* AItem, Integer ARecordIndex, Variant& ASummaryValue,
                                    Integer& ACount) {
  if (!AItem->IsDataBinded()) return;
  TcxCustomDataField* field = AItem->GetField();
  Variant value;
  if (!field) {
    value = Null();
  } else if (FValueCacheActive) {
    if (FCachedRecord != ARecordIndex || FCachedField != field) {
      FCachedValue = FDataController->GetInternalValue(ARecordIndex, field);
      FCachedRecord = ARecordIndex;
      FCachedField = field;
    }
    value = FCachedValue;
  } else {
    value = FDataController->GetInternalValue(ARecordIndex, field);
  }
  TcxDataSummaryItems* items = AItem->GetSummaryItems();
  if (items && items->OnSummary) {
    const TcxSummaryEventArguments arguments{ARecordIndex, AItem};
    TcxSummaryEventOutArguments out;
    out.Value = value;
    out.SummaryValue = ASummaryValue;
    out.CountValue = ACount;
    out.Done = false;
    items->OnSummary(items, arguments, out);
    ASummaryValue = out.SummaryValue;
    ACount = out.CountValue;
    value = out.Value;
    if (out.Done) return;
  }
  const TcxSummaryKind kind = AItem->GetKind();
  if (kind == skNone) return;
  const bool isNull = VarIsNull(value) || VarIsEmpty(value);
  if (isNull && FOptions.Contains(soNullIgnore)) return;
  if (VarIsEmpty(ASummaryValue)) {
    if (kind != skCount && !(isNull && (kind == skMin || kind == skMax))) {
      if (isNull)
        ASummaryValue = (kind == skSum || kind == skAverage) ? Variant(0) : Null();
      else
        ASummaryValue = value;
    }
  } else if (!isNull && !VarIsNull(ASummaryValue)) {
    switch (kind) {
      case skSum:
      case skAverage:
        // A sum that leaves its type's range shows no value, as the
        // accumulated items' sums do; Null takes no further values. Added
        // in record order, the sum stays Null even if later values would
        // bring it back into range.
        try {
          ASummaryValue = ASummaryValue + value;
        } catch (const EVariantOverflowError&) {
          ASummaryValue = Null();
        }
        break;
      case skMin:
        if (value < ASummaryValue) ASummaryValue = value;
        break;
      case skMax:
        if (value > ASummaryValue) ASummaryValue = value;
        break;
      default:
        break;
    }
  }
  ++ACount;
}

void TcxDataSummary::DoFinishSummaryValue(TcxDataSummaryItem* AItem, Variant& ASummaryValue, Integer& ACount) {
  if (VarIsEmpty(ASummaryValue)) ASummaryValue = Null();
  switch (AItem->GetKind()) {
    case skCount:
      ASummaryValue = Variant(ACount);
      break;
    case skAverage:
      if (ACount >= 1) {
        const bool isDate = VarType(ASummaryValue) == varDate;
        ASummaryValue = ASummaryValue / Variant(ACount);
        if (isDate && !VarIsNull(ASummaryValue)) ASummaryValue = Variant(TDateTime(ASummaryValue.AsDouble()));
      }
      break;
    default:
      break;
  }
}

void TcxDataSummary::CalculateFooterSummary() {
  std::vector<Integer> counts;
  std::vector<Variant> values;
  BeginCalculateSummary(FFooterSummaryItems, counts, values);
  if (!FDataController->IsGridMode() && FFooterSummaryItems->GetCount() > 0)
    CalculateSummary(FFooterSummaryItems, 0, FDataController->GetFilteredRecordCount() - 1, counts, values);
  EndCalculateSummary(FFooterSummaryItems, counts, values, FFooterSummaryValues);
  FFooterKept.clear();
  FFooterFresh = IsKeepable(FFooterSummaryItems);
  if (FFooterFresh) KeepAccumulators(FFooterKept);
}

void TcxDataSummary::CalculateGroupSummary() {
  TcxDataGroups* groups = FDataController->GetDataControllerInfo()->GetDataGroups();
  const Integer levels = groups->GetLevelCount();
  const Integer groupCount = groups->GetItemCount();
  std::vector<Integer> counts;
  std::vector<Variant> values;
  FGroupsKept.clear();
  FTypedLevels.clear();
  FGroupTotals.clear();
  for (Integer g = 0; g < groupCount; ++g) groups->Item(g).SummaryTotals = -1;
  // The groups' cells are read for the whole record list at once, a field
  // at a time, instead of group by group; not where a handler may change
  // the data while the groups are calculated.
  bool handlers = false;
  for (Integer level = 0; level < levels; ++level)
    if (TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level)) handlers = handlers || items->OnSummary;
  struct WholeScope {
    TcxDataSummary* Summary;
    WholeScope(TcxDataSummary* ASummary, bool AWhole) : Summary(ASummary) { Summary->FGatherWhole = AWhole; }
    ~WholeScope() {
      Summary->FGatherWhole = false;
      Summary->FWholeCells.clear();
    }
  } whole(this, !handlers);
  for (Integer level = 0; level < levels; ++level) {
    TcxDataGroupSummaryItems* items = GetGroupSummaryItems(level);
    if (!items || items->GetCount() == 0) {
      for (Integer g = 0; g < groupCount; ++g)
        if (groups->Item(g).Level == level) groups->Item(g).SummaryValues = Null();
      continue;
    }
    const bool keepable = IsKeepable(items);
    if (CalculateLevelTyped(items, level, keepable)) continue;
    auto finish = [&](Integer AGroup) {
      EndCalculateSummary(items, counts, values, groups->Item(AGroup).SummaryValues);
      Integer first, last;
      GetGroupPositions(AGroup, first, last);
      if (keepable && last - first + 1 >= cxKeptGroupRecords) KeepAccumulators(FGroupsKept[AGroup]);
    };
    Integer open = -1;
    for (Integer g = 0; g < groupCount; ++g) {
      const TcxDataGroupInfo& info = groups->Item(g);
      if (info.Level == level) {
        if (open != -1) finish(open);
        open = g;
        BeginCalculateSummary(items, counts, values);
      }
      if (info.Level == levels - 1 && open != -1) CalculateSummary(items, info.First, info.Last, counts, values);
    }
    if (open != -1) finish(open);
  }
}

void TcxDataSummary::DoAfterSummary() {
  if (!OnAfterSummary) return;
  if (FDataController->IsLoading()) {
    FAfterSummaryPending = true;
    return;
  }
  FAfterSummaryPending = false;
  if (FDataController->IsPattern() || FDataController->LockOnAfterSummary()) return;
  auto inAfterSummary = orv::TempValue(FInAfterSummary, true);
  OnAfterSummary(this);
}

void TcxDataSummary::Loaded() {
  if (FAfterSummaryPending) DoAfterSummary();
}
