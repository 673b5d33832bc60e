#include "library/data/cxFilter.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "library/data/cxDataConsts.h"
#include "library/data/cxFilterConsts.h"
#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomFilterCriteriaItem)
ORV_REGISTER(TcxFilterCriteriaItemList)
ORV_REGISTER(TcxFilterCriteriaItem)
ORV_REGISTER(TcxFilterCriteria, ORV_PROP(MaxValueListCount).Default(0), ORV_PROP(Options),
             ORV_PROP(PercentWildcard).Default('%'), ORV_PROP(UnderscoreWildcard).Default('_'),
             ORV_EVENT(OnChanged))
ORV_REGISTER(TFilterWrapper, ORV_PROP(Filter))
ORV_REGISTER(TcxFilterValueList)

// ---------------------------------------------------------------------------
// Entries

TcxCustomFilterCriteriaItem::TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* AParent) : FParent(AParent) {
  if (FParent) FParent->FItems.push_back(this);
}

TcxCustomFilterCriteriaItem::~TcxCustomFilterCriteriaItem() {
  if (FParent) FParent->RemoveItem(this);
}

void TcxCustomFilterCriteriaItem::Changed() {
  if (TcxFilterCriteria* criteria = GetCriteria()) criteria->Changed();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const {
  return FParent ? FParent->GetCriteria() : nullptr;
}

void TcxCustomFilterCriteriaItem::WriteData(TStream* AStream) { WriteBooleanProc(AStream, GetIsItemList()); }

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* AParent,
                                                     TcxFilterBoolOperatorKind ABoolOperatorKind)
    : TcxCustomFilterCriteriaItem(AParent), FBoolOperatorKind(ABoolOperatorKind) {}

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList() {
  while (!FItems.empty()) {
    TcxCustomFilterCriteriaItem* item = FItems.back();
    FItems.pop_back();
    item->FParent = nullptr;
    item->Free();
  }
}

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const {
  return FCriteria ? FCriteria : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::WriteData(TStream* AStream) {
  TcxCustomFilterCriteriaItem::WriteData(AStream);
  WriteByteProc(AStream, static_cast<Byte>(FBoolOperatorKind));
  WriteIntegerProc(AStream, GetCount());
  for (TcxCustomFilterCriteriaItem* item : FItems) item->WriteData(AStream);
}

void TcxFilterCriteriaItemList::RemoveItem(TcxCustomFilterCriteriaItem* AItem) {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it == FItems.end()) return;
  FItems.erase(it);
  AItem->FParent = nullptr;
  Changed();
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
                                                          const Variant& AValue, const AnsiString& ADisplayValue) {
  TcxFilterCriteria* criteria = GetCriteria();
  if (!criteria) throw EInvalidOperation("The filter list belongs to no criteria");
  return criteria->AddItem(this, AItemLink, AOperatorKind, AValue, ADisplayValue);
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind ABoolOperatorKind) {
  auto* list = New<TcxFilterCriteriaItemList>(this, ABoolOperatorKind);
  Changed();
  return list;
}

void TcxFilterCriteriaItemList::Clear() {
  TcxFilterCriteria* criteria = GetCriteria();
  auto update = orv::UpdateScopeIf(criteria);
  while (!FItems.empty()) FItems.back()->Free();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::GetItem(Integer Index) const {
  return Index >= 0 && Index < GetCount() ? FItems[static_cast<size_t>(Index)] : nullptr;
}

Integer TcxFilterCriteriaItemList::IndexOf(const TcxCustomFilterCriteriaItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(TcxFilterBoolOperatorKind Value) {
  if (FBoolOperatorKind == Value) return;
  FBoolOperatorKind = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Conditions

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                             TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                             const AnsiString& ADisplayValue)
    : TcxCustomFilterCriteriaItem(AParent),
      FDisplayValue(ADisplayValue),
      FItemLink(AItemLink),
      FOperatorKind(AOperatorKind),
      FValue(AValue) {}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() { ::Free(FOperator); }

void TcxFilterCriteriaItem::AfterConstruction() {
  TcxCustomFilterCriteriaItem::AfterConstruction();
  RecreateOperator();
  if (FOperator->IsNullOperator() && FDisplayValue.empty()) FDisplayValue = cxSFilterString(cxSFilterBlankCaption);
  Changed();
}

void TcxFilterCriteriaItem::WriteData(TStream* AStream) {
  TcxCustomFilterCriteriaItem::WriteData(AStream);
  TcxFilterCriteria* criteria = GetCriteria();
  WriteByteProc(AStream, static_cast<Byte>(FOperatorKind));
  WriteStringProc(AStream, FDisplayValue);
  WriteIntegerProc(AStream, criteria ? criteria->GetIDByItemLink(FItemLink) : 0);
  WriteVariantProc(AStream, FValue);
}

Variant TcxFilterCriteriaItem::GetDataValue(void*) {
  throw EAbstractError("The filter condition cannot read record values");
}

AnsiString TcxFilterCriteriaItem::GetExpressionValue(bool ADisplay) {
  if (ADisplay) {
    AnsiString text = GetDisplayValue();
    FOperator->PrepareDisplayValue(text);
    return text;
  }
  return FOperator->GetExpressionValue(FValue);
}

TcxFilterOperatorClass TcxFilterCriteriaItem::GetFilterOperatorClass() {
  if (ValueIsNull(FValue)) {
    if (FOperatorKind == foEqual || FOperatorKind == foLike) return TcxFilterNullOperator::StaticClass();
    if (FOperatorKind == foNotEqual || FOperatorKind == foNotLike) return TcxFilterNotNullOperator::StaticClass();
  }
  return cxFilterOperatorClassOf(FOperatorKind);
}

void TcxFilterCriteriaItem::RecreateOperator() {
  TcxFilterOperator* op = GetFilterOperatorClass().Construct<TcxFilterCriteriaItem*>(this);
  ::Free(FOperator);
  FOperator = op;
}

bool TcxFilterCriteriaItem::ValueIsNull(const Variant& AValue) const {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->ValueIsNull(AValue) : VarIsNull(AValue);
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind Value) {
  if (FOperatorKind == Value) return;
  cxFilterOperatorClassOf(Value);  // refuses a kind that does not exist
  FOperatorKind = Value;
  RecreateOperator();
  Changed();
}

void TcxFilterCriteriaItem::SetValue(const Variant& Value) {
  if (VarType(FValue) == VarType(Value) && VarEqualsExact(FValue, Value)) return;
  FValue = Value;
  RecreateOperator();
  Changed();
}

void TcxFilterCriteriaItem::SetDisplayValue(const AnsiString& Value) {
  if (FDisplayValue == Value) return;
  FDisplayValue = Value;
  Changed();
}

void TcxFilterCriteriaItem::SetItemLink(TObject* Value) {
  if (FItemLink == Value) return;
  FItemLink = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Criteria

TcxFilterCriteria::TcxFilterCriteria() {
  FRoot = New<TcxFilterCriteriaItemList>(nullptr, fboAnd);
  FRoot->FCriteria = this;
}

TcxFilterCriteria::~TcxFilterCriteria() {
  ++FLockCount;  // no notifications while the tree goes
  FRoot->Free();
}

void TcxFilterCriteria::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxFilterCriteria*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  auto update = orv::UpdateScope(this);
  SetDateTimeFormat(source->FDateTimeFormat);
  FMaxValueListCount = source->FMaxValueListCount;
  SetOptions(source->FOptions);
  SetPercentWildcard(source->FPercentWildcard);
  SetUnderscoreWildcard(source->FUnderscoreWildcard);
  FTranslateLike = source->FTranslateLike;
  FTranslateBetween = source->FTranslateBetween;
  FTranslateNotLike = source->FTranslateNotLike;
  FTranslateIn = source->FTranslateIn;
  AssignEvents(source);
  AssignItems(source);
}

void TcxFilterCriteria::CheckChanges() {
  if (!FChanged || FLockCount > 0) return;
  FChanged = false;
  Prepare();
  Update();
}

AnsiString TcxFilterCriteria::ConvertBoolToStr(const Variant& AValue) { return VarToStr(AValue); }

AnsiString TcxFilterCriteria::ConvertDateToStr(const Variant& AValue) {
  if (!FDateTimeFormat.empty()) return FormatDateTime(FDateTimeFormat, AValue.AsDateTime());
  return VarToStr(AValue);
}

AnsiString TcxFilterCriteria::GetListExpression(TcxFilterCriteriaItemList* AList, bool ADisplay) {
  const TcxFilterBoolOperatorKind kind = AList->GetBoolOperatorKind();
  const bool isAnd = kind == fboAnd || kind == fboNotAnd;
  const AnsiString word = ADisplay ? cxSFilterString(isAnd ? cxSFilterAndCaption : cxSFilterOrCaption)
                                   : AnsiString(isAnd ? "AND" : "OR");
  AnsiString text;
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    AnsiString part = entry->GetIsItemList()
                          ? GetListExpression(static_cast<TcxFilterCriteriaItemList*>(entry), ADisplay)
                          : GetItemExpression(static_cast<TcxFilterCriteriaItem*>(entry), ADisplay);
    if (i) text += " " + word + " ";
    text += "(" + part + ")";
  }
  if (!text.empty() && (kind == fboNotAnd || kind == fboNotOr))
    text = (ADisplay ? cxSFilterString(cxSFilterNotCaption) : AnsiString("NOT")) + " (" + text + ")";
  return text;
}

AnsiString TcxFilterCriteria::GetFilterExpression(bool ADisplay) { return GetListExpression(FRoot, ADisplay); }

Integer TcxFilterCriteria::GetIDByItemLink(TObject*) {
  throw EAbstractError("These filter criteria cannot name their items in a stream");
}

TObject* TcxFilterCriteria::GetItemLinkByID(Integer) {
  throw EAbstractError("These filter criteria cannot name their items in a stream");
}

TcxFilterCriteriaItemClass TcxFilterCriteria::GetItemClass() { return TcxFilterCriteriaItem::StaticClass(); }

AnsiString TcxFilterCriteria::GetItemExpression(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  TcxFilterOperator* op = AItem->GetOperator();
  if (!ADisplay && op->IsExpression()) return op->GetExpressionFilterText(AItem->GetValue());
  AnsiString text = GetItemExpressionFieldName(AItem, ADisplay) + " " + GetItemExpressionOperator(AItem, ADisplay);
  AnsiString value = GetItemExpressionValue(AItem, ADisplay);
  if (!value.empty()) text += " " + value;
  return text;
}

AnsiString TcxFilterCriteria::GetItemExpressionFieldName(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  return ADisplay ? AItem->GetFieldCaption() : AItem->GetFieldName();
}

AnsiString TcxFilterCriteria::GetItemExpressionOperator(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  TcxFilterOperator* op = AItem->GetOperator();
  if (ADisplay && (op->IsDescription() || FOptions.Contains(fcoShowOperatorDescription))) return op->DisplayText();
  return op->FilterText();
}

AnsiString TcxFilterCriteria::GetItemExpressionValue(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  return AItem->GetExpressionValue(ADisplay);
}

namespace {

void PrepareTree(TcxFilterCriteriaItemList* AList) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (entry->GetIsItemList())
      PrepareTree(static_cast<TcxFilterCriteriaItemList*>(entry));
    else
      static_cast<TcxFilterCriteriaItem*>(entry)->GetOperator()->Prepare();
  }
}

void RecreateTree(TcxFilterCriteriaItemList* AList) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (entry->GetIsItemList())
      RecreateTree(static_cast<TcxFilterCriteriaItemList*>(entry));
    else
      static_cast<TcxFilterCriteriaItem*>(entry)->RecreateOperator();
  }
}

TcxFilterCriteriaItem* FindInTree(TcxFilterCriteriaItemList* AList, TObject* AItemLink) {
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* entry = AList->GetItem(i);
    if (entry->GetIsItemList()) {
      if (auto* found = FindInTree(static_cast<TcxFilterCriteriaItemList*>(entry), AItemLink)) return found;
    } else if (static_cast<TcxFilterCriteriaItem*>(entry)->GetItemLink() == AItemLink) {
      return static_cast<TcxFilterCriteriaItem*>(entry);
    }
  }
  return nullptr;
}

// Upper-cases a wide text unit by unit where code page 1252 knows the
// letter; other characters stay as they are, so texts that differ outside
// 1252 still differ.
WideString UpperWide(const WideString& AText) {
  WideString out(AText);
  for (char16_t& c : out) {
    int b = orv::cp1252::FromUnicode(c);
    if (b >= 0) c = orv::cp1252::ToUnicode[orv::cp1252::UpperTable[static_cast<unsigned char>(b)]];
  }
  return out;
}

}  // namespace

void TcxFilterCriteria::Prepare() { PrepareTree(FRoot); }

// Currency stays as it is: the comparisons take it exactly against
// Currency and whole numbers, and through a double only next to a float.
void TcxFilterCriteria::PrepareValue(Variant& AValue) {
  switch (VarType(AValue)) {
    case varString:
      if (FOptions.Contains(fcoCaseInsensitive)) {
        AnsiString s = AValue.RawAnsi();
        for (char& c : s) c = AnsiUpperChar(c);
        AValue = std::move(s);
      }
      return;
    case varOleStr:
      if (FOptions.Contains(fcoCaseInsensitive)) AValue = UpperWide(AValue.RawWide());
      return;
    default:
      break;
  }
  if (VarIsArray(AValue) && VarArrayDimCount(AValue) == 1) {
    const Integer low = VarArrayLowBound(AValue, 1), high = VarArrayHighBound(AValue, 1);
    // Most lists hold nothing to prepare; leave those untouched (and shared).
    const bool caseInsensitive = FOptions.Contains(fcoCaseInsensitive);
    bool needed = false;
    for (Integer i = low; i <= high && !needed; ++i) {
      const Word kind = VarType(AValue[i]);
      needed = VarIsArray(AValue[i]) ||
               (caseInsensitive && (kind == varString || kind == varOleStr));
    }
    for (Integer i = low; needed && i <= high; ++i) {
      Variant element = AValue[i];
      PrepareValue(element);
      VarArrayPut(AValue, element, {i});
    }
  }
}

void TcxFilterCriteria::Update() {
  if (OnChanged) OnChanged(this);
}

void TcxFilterCriteria::AssignEvents(TcxFilterCriteria* ASource) { OnChanged = ASource->OnChanged; }

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* ASource) {
  TMemoryStream ms;
  ASource->WriteData(&ms);
  ms.SetPosition(0);
  ReadData(&ms);
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                  TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                  const AnsiString& ADisplayValue) {
  cxFilterOperatorClassOf(AOperatorKind);  // refuses a kind that does not exist
  auto update = orv::UpdateScope(this);
  return GetItemClass().Construct<TcxFilterCriteriaItemList*, TObject*, TcxFilterOperatorKind, const Variant&,
                                  const AnsiString&>(AParent ? AParent : FRoot, AItemLink, AOperatorKind, AValue,
                                                     ADisplayValue);
}

void TcxFilterCriteria::Changed() {
  // Conditions changed during a pass: the records still to come are
  // evaluated the general way (the prepared entries stay valid until
  // EndPass, as one may be in use).
  FInPass = false;
  FChanged = true;
  CheckChanges();
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(TObject* AItemLink) { return FindInTree(FRoot, AItemLink); }

void TcxFilterCriteria::RestoreDefaults() {
  auto update = orv::UpdateScope(this);
  SetOptions({});
  SetPercentWildcard('%');
  SetUnderscoreWildcard('_');
  FTranslateLike = true;
  FTranslateBetween = FTranslateNotLike = FTranslateIn = false;
}

void TcxFilterCriteria::SaveToStream(TStream* AStream) {
  TFilterWrapper wrapper(nullptr);
  wrapper.SetFilter(this);
  AStream->WriteComponent(&wrapper);
}

namespace {

// The published values of an object that a stream may set (numbers, sets,
// enumerations, characters, floats, currency, text), kept to be put back.
class TPublishedValues {
 public:
  explicit TPublishedValues(const TObject* AObject) {
    for (const TPropInfo* p : GetPropList(AObject)) {
      Entry e;
      e.Prop = p;
      // A Currency property also answers as a float, which cannot hold
      // every Currency: it is kept as itself.
      if (p->GetOrd && p->SetOrd) e.Ord = p->GetOrd(AObject);
      else if (p->GetCurr && p->SetCurr) e.Curr = p->GetCurr(AObject);
      else if (p->GetFloat && p->SetFloat) e.Float = p->GetFloat(AObject);
      else if (p->GetStr && p->SetStr) e.Str = p->GetStr(AObject);
      else if (p->GetWStr && p->SetWStr) e.WStr = p->GetWStr(AObject);
      else continue;
      FEntries.push_back(std::move(e));
    }
  }
  void Restore(TObject* AObject) const {
    for (const Entry& e : FEntries) {
      const TPropInfo* p = e.Prop;
      if (p->GetOrd && p->SetOrd) p->SetOrd(AObject, e.Ord);
      else if (p->GetCurr && p->SetCurr) p->SetCurr(AObject, e.Curr);
      else if (p->GetFloat && p->SetFloat) p->SetFloat(AObject, e.Float);
      else if (p->GetStr && p->SetStr) p->SetStr(AObject, e.Str);
      else p->SetWStr(AObject, e.WStr);
    }
  }

 private:
  struct Entry {
    const TPropInfo* Prop = nullptr;
    Int64 Ord = 0;
    Extended Float = 0;
    Currency Curr{};
    AnsiString Str;
    WideString WStr;
  };
  std::vector<Entry> FEntries;
};

}  // namespace

void TcxFilterCriteria::LoadFromStream(TStream* AStream) {
  // A damaged file changes nothing: the published settings and the
  // conditions read before the damage are put back, and nobody is told of a
  // change. Taking the copies may fail too, before anything has changed.
  const TPublishedValues settings(this);
  TMemoryStream tree;
  WriteData(&tree);
  TFilterWrapper wrapper(nullptr);
  wrapper.SetFilter(this);
  BeginUpdate();
  try {
    // The file replaces the conditions: a filter saved empty stores no tree
    // at all, so what was there before must not survive its load.
    Clear();
    AStream->ReadComponent(&wrapper);
  } catch (...) {
    try {
      settings.Restore(this);
      tree.SetPosition(0);
      ReadData(&tree);
    } catch (...) {
      // The file's own error is the one to report.
    }
    CancelUpdate();
    FChanged = false;
    throw;
  }
  EndUpdate();
}

bool TcxFilterCriteria::ValueIsNull(const Variant& AValue) const {
  return FOptions.Contains(fcoSoftNull) ? VarIsSoftNull(AValue) : VarIsNull(AValue);
}

void TcxFilterCriteria::WriteData(TStream* AStream) {
  WriteIntegerProc(AStream, -1);
  WriteByteProc(AStream, static_cast<Byte>(FRoot->GetBoolOperatorKind()));
  WriteIntegerProc(AStream, FRoot->GetCount());
  for (Integer i = 0; i < FRoot->GetCount(); ++i) FRoot->GetItem(i)->WriteData(AStream);
}

void TcxFilterCriteria::ReadItems(TStream* AStream, TcxFilterCriteriaItemList* AList, Integer ACount, int ADepth) {
  // The smallest entry (an empty list) takes six bytes.
  cxCheckStreamCount(AStream, ACount, 6);
  if (ADepth >= cxMaxVariantNesting) cxDataReadError();
  for (Integer i = 0; i < ACount; ++i) {
    if (ReadBooleanFunc(AStream)) {
      const Byte kind = ReadByteFunc(AStream);
      if (kind > fboNotOr) cxDataReadError();
      const Integer count = ReadIntegerFunc(AStream);
      TcxFilterCriteriaItemList* list = AList->AddItemList(static_cast<TcxFilterBoolOperatorKind>(kind));
      list->ReadData(AStream);
      ReadItems(AStream, list, count, ADepth + 1);
    } else {
      const Byte kind = ReadByteFunc(AStream);
      if (kind >= cxFilterOperatorKindCount) cxDataReadError();
      const AnsiString display = ReadStringFunc(AStream);
      const Integer id = ReadIntegerFunc(AStream);
      const Variant value = ReadVariantFunc(AStream);
      TcxFilterCriteriaItem* item =
          AddItem(AList, GetItemLinkByID(id), static_cast<TcxFilterOperatorKind>(kind), value, display);
      item->ReadData(AStream);
    }
  }
}

void TcxFilterCriteria::ReadData(TStream* AStream) {
  // Keep a copy of the tree so that a bad stream changes nothing; without
  // that copy nothing may change at all.
  TMemoryStream saved;
  WriteData(&saved);
  BeginUpdate();
  try {
    Clear();
    const Integer first = ReadIntegerFunc(AStream);
    Integer count = first;
    if (first == -1) {
      const Byte kind = ReadByteFunc(AStream);
      if (kind > fboNotOr) cxDataReadError();
      FRoot->SetBoolOperatorKind(static_cast<TcxFilterBoolOperatorKind>(kind));
      count = ReadIntegerFunc(AStream);
    }
    ReadItems(AStream, FRoot, count, 0);
  } catch (...) {
    Clear();
    try {
      saved.SetPosition(0);
      const Integer marker = ReadIntegerFunc(&saved);
      (void)marker;
      FRoot->SetBoolOperatorKind(static_cast<TcxFilterBoolOperatorKind>(ReadByteFunc(&saved)));
      ReadItems(&saved, FRoot, ReadIntegerFunc(&saved), 0);
    } catch (const Exception&) {
      Clear();
    }
    CancelUpdate();
    FChanged = false;
    throw;
  }
  EndUpdate();
}

void TcxFilterCriteria::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  CheckChanges();
}

void TcxFilterCriteria::CancelUpdate() {
  if (FLockCount > 0) --FLockCount;
}

void TcxFilterCriteria::Refresh() {
  auto update = orv::UpdateScope(this);
  RecreateTree(FRoot);
  Changed();
}

void TcxFilterCriteria::Clear() {
  auto update = orv::UpdateScope(this);
  FRoot->Clear();
  FRoot->SetBoolOperatorKind(fboAnd);
}

namespace {
bool gTypedChecksEnabled = true;
}  // namespace

void TcxFilterCriteria::SetTypedChecksEnabled(bool AValue) { gTypedChecksEnabled = AValue; }
bool TcxFilterCriteria::GetTypedChecksEnabled() { return gTypedChecksEnabled; }

// Lists combine every member's result (no member is skipped, so a pass
// visits the leaves in the same order for every record).
bool TcxFilterCriteria::CombineList(TcxFilterCriteriaItemList* AList, void* AData, size_t* AIndex) {
  const TcxFilterBoolOperatorKind kind = AList->GetBoolOperatorKind();
  bool result = true;
  for (Integer i = 0; i < AList->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* member = AList->FItems[static_cast<size_t>(i)];
    const bool r = AIndex ? EvaluatePass(member, AData, *AIndex) : EvaluateItem(member, AData);
    if (i == 0) {
      result = kind == fboAnd || kind == fboOr ? r : !r;
      continue;
    }
    switch (kind) {
      case fboAnd: result = result && r; break;
      case fboOr: result = result || r; break;
      case fboNotAnd: result = result || !r; break;
      case fboNotOr: result = result && !r; break;
    }
  }
  return result;
}

bool TcxFilterCriteria::EvaluateLeaf(TcxFilterCriteriaItem* AItem, void* AData, const Variant& ACondition) {
  try {
    Variant value = AItem->GetDataValue(AData);
    PrepareValue(value);
    TcxFilterOperator* op = AItem->GetOperator();
    if (FOptions.Contains(fcoIgnoreNull) && !op->IsNullOperator() && ValueIsNull(value)) return false;
    return op->CompareValues(value, ACondition);
  } catch (const EVariantError&) {
    if (FOptions.Contains(fcoSoftCompare)) return false;
    throw;
  }
}

bool TcxFilterCriteria::EvaluateItem(TcxCustomFilterCriteriaItem* AItem, void* AData) {
  if (AItem->GetIsItemList()) return CombineList(static_cast<TcxFilterCriteriaItemList*>(AItem), AData, nullptr);
  auto* item = static_cast<TcxFilterCriteriaItem*>(AItem);
  Variant condition = item->GetValue();
  try {
    PrepareValue(condition);
  } catch (const EVariantError&) {
    if (FOptions.Contains(fcoSoftCompare)) return false;
    throw;
  }
  return EvaluateLeaf(item, AData, condition);
}

bool TcxFilterCriteria::EvaluatePass(TcxCustomFilterCriteriaItem* AItem, void* AData, size_t& AIndex) {
  if (AItem->GetIsItemList()) return CombineList(static_cast<TcxFilterCriteriaItemList*>(AItem), AData, &AIndex);
  if (AIndex >= FPass.size()) return EvaluateItem(AItem, AData);
  const PassItem& entry = FPass[AIndex++];
  if (entry.Typed) {
    const int r = entry.Typed->Check(AData);
    if (r >= 0) return r != 0;
  }
  return EvaluateLeaf(static_cast<TcxFilterCriteriaItem*>(AItem), AData, entry.Condition);
}

void TcxFilterCriteria::PreparePass(TcxCustomFilterCriteriaItem* AItem) {
  if (AItem->GetIsItemList()) {
    auto* list = static_cast<TcxFilterCriteriaItemList*>(AItem);
    for (Integer i = 0; i < list->GetCount(); ++i) PreparePass(list->FItems[static_cast<size_t>(i)]);
    return;
  }
  auto* item = static_cast<TcxFilterCriteriaItem*>(AItem);
  PassItem entry;
  entry.Condition = item->GetValue();
  PrepareValue(entry.Condition);
  if (gTypedChecksEnabled) entry.Typed = CreateTypedCheck(item, entry.Condition);
  FPass.push_back(std::move(entry));
}

void TcxFilterCriteria::BeginPass() {
  FPass.clear();
  FInPass = false;
  FSingle = nullptr;
  try {
    PreparePass(FRoot);
  } catch (const EVariantError&) {
    // A condition that cannot be prepared fails per record, as it always did.
    FPass.clear();
    return;
  }
  FInPass = true;
  if (FRoot->GetCount() == 1 && !FRoot->FItems[0]->GetIsItemList() && FPass.size() == 1 && FPass[0].Typed) {
    FSingle = FPass[0].Typed.get();
    const TcxFilterBoolOperatorKind kind = FRoot->GetBoolOperatorKind();
    FSingleNegated = kind != fboAnd && kind != fboOr;
  }
}

void TcxFilterCriteria::EndPass() {
  FInPass = false;
  FSingle = nullptr;
  FPass.clear();
}

bool TcxFilterCriteria::CheckRecords(const Integer* ARecords, size_t ACount, signed char* AResults) {
  if (!FInPass || !FSingle || !FSingle->CheckRecords(ARecords, ACount, AResults)) return false;
  if (FSingleNegated)
    for (size_t i = 0; i < ACount; ++i)
      if (AResults[i] >= 0) AResults[i] = static_cast<signed char>(AResults[i] == 0);
  return true;
}

bool TcxFilterCriteria::SelectRecords(const Integer* ARecords, size_t ACount, Integer AAlwaysKept,
                                      const std::function<bool(Integer)>& AGeneral, std::vector<Integer>& AKept) {
  return FInPass && FSingle && FSingle->SelectRecords(ARecords, ACount, AAlwaysKept, FSingleNegated, AGeneral, AKept);
}

bool TcxFilterCriteria::DoFilterData(void* AData) {
  if (!FInPass) return EvaluateItem(FRoot, AData);
  if (FSingle) {
    const int r = FSingle->Check(AData);
    if (r >= 0) return (r != 0) != FSingleNegated;
  }
  size_t index = 0;
  return EvaluatePass(FRoot, AData, index);
}

void TcxFilterCriteria::RemoveItemByItemLink(TObject* AItemLink) {
  BeginUpdate();
  bool removed = false;
  // Nothing removed, nothing to report.
  orv::ScopeExit end([&] { removed ? EndUpdate() : CancelUpdate(); });
  while (TcxFilterCriteriaItem* item = FindItemByItemLink(AItemLink)) {
    TcxFilterCriteriaItemList* list = item->GetParent();
    item->Free();
    removed = true;
    // Tidy up: empty lists go, and so does a list left with one entry,
    // whose entry moves up. A negated list keeps its single entry: taking
    // it out of the NOT would invert the filter.
    while (list && list != FRoot) {
      TcxFilterCriteriaItemList* parent = list->GetParent();
      if (list->GetCount() == 0) {
        list->Free();
        list = parent;
        continue;
      }
      const TcxFilterBoolOperatorKind kind = list->GetBoolOperatorKind();
      if (list->GetCount() == 1 && (kind == fboAnd || kind == fboOr)) {
        TcxCustomFilterCriteriaItem* entry = list->FItems.front();
        list->FItems.clear();
        entry->FParent = parent;
        parent->FItems.push_back(entry);
        list->Free();
      }
      break;
    }
  }
}

bool TcxFilterCriteria::EqualItems(TcxFilterCriteria* ACriteria) {
  TMemoryStream a, b;
  WriteData(&a);
  ACriteria->WriteData(&b);
  return a.GetSize() == b.GetSize() && std::memcmp(a.GetMemory(), b.GetMemory(), static_cast<size_t>(a.GetSize())) == 0;
}

void TcxFilterCriteria::SetDateTimeFormat(const AnsiString& Value) {
  if (FDateTimeFormat == Value) return;
  FDateTimeFormat = Value;
  Changed();
}

void TcxFilterCriteria::SetOptions(TcxFilterCriteriaOptions Value) {
  if (FOptions == Value) return;
  FOptions = Value;
  Changed();
}

void TcxFilterCriteria::SetPercentWildcard(char Value) {
  if (FPercentWildcard == Value) return;
  FPercentWildcard = Value;
  Changed();
}

void TcxFilterCriteria::SetUnderscoreWildcard(char Value) {
  if (FUnderscoreWildcard == Value) return;
  FUnderscoreWildcard = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Object IDs

namespace {
struct IDTable {
  std::mutex Lock;
  std::unordered_map<TObject*, Integer> IDs;
  std::unordered_map<Integer, TObject*> Objects;
  Integer Next = 1;
};
IDTable& Table() {
  static IDTable table;
  return table;
}
}  // namespace

Integer TcxObjectIDRegistry::GetID(TObject* AObject) {
  if (!AObject) return 0;
  IDTable& t = Table();
  std::lock_guard<std::mutex> lock(t.Lock);
  auto it = t.IDs.find(AObject);
  if (it != t.IDs.end()) return it->second;
  if (t.Next == INT32_MAX) throw EInvalidOperation("No object IDs are left");
  const Integer id = t.Next++;
  t.IDs.emplace(AObject, id);
  t.Objects.emplace(id, AObject);
  return id;
}

TObject* TcxObjectIDRegistry::FindObject(Integer AID) {
  IDTable& t = Table();
  std::lock_guard<std::mutex> lock(t.Lock);
  auto it = t.Objects.find(AID);
  return it == t.Objects.end() ? nullptr : it->second;
}

void TcxObjectIDRegistry::Release(TObject* AObject) {
  IDTable& t = Table();
  std::lock_guard<std::mutex> lock(t.Lock);
  auto it = t.IDs.find(AObject);
  if (it == t.IDs.end()) return;
  t.Objects.erase(it->second);
  t.IDs.erase(it);
}

// ---------------------------------------------------------------------------
// Value lists

const TcxFilterValueItem& TcxFilterValueList::GetItem(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FItems[static_cast<size_t>(Index)];
}

Integer TcxFilterValueList::FindKind(TcxFilterValueItemKind AKind) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Kind == AKind) return static_cast<Integer>(i);
  return -1;
}

// The position of the first value entry (or the end).
Integer TcxFilterValueList::ValueStart() const {
  Integer i = FindKind(fviValue);
  return i < 0 ? GetCount() : i;
}

Integer TcxFilterValueList::CompareItem(Integer AIndex, const Variant& AValue, const AnsiString& ADisplayText) {
  const TcxFilterValueItem& item = FItems[static_cast<size_t>(AIndex)];
  const bool ci = FCriteria && FCriteria->GetOptions().Contains(fcoCaseInsensitive);
  if (FSortByDisplayText) {
    int r = ci ? AnsiCompareText(item.DisplayText, ADisplayText) : AnsiCompareStr(item.DisplayText, ADisplayText);
    return r;
  }
  Variant a = item.Value, b = AValue;
  if (FCriteria) {
    FCriteria->PrepareValue(a);
    FCriteria->PrepareValue(b);
  }
  return VarCompare(a, b);
}

bool TcxFilterValueList::Find(const Variant& AValue, const AnsiString& ADisplayText, Integer& AIndex) {
  for (Integer i = 0; i < GetCount(); ++i)
    if (FItems[static_cast<size_t>(i)].Kind == fviMRU && CompareItem(i, AValue, ADisplayText) == 0) {
      AIndex = i;
      return true;
    }
  const Integer first = ValueStart();
  Integer last = first;
  while (last < GetCount() && FItems[static_cast<size_t>(last)].Kind == fviValue) ++last;
  const auto hit =
      orv::BinarySearch(first, last, [&](Integer I) { return CompareItem(I, AValue, ADisplayText); });
  AIndex = hit.Index;
  return hit.Found;
}

void TcxFilterValueList::Add(TcxFilterValueItemKind AKind, const Variant& AValue, const AnsiString& ADisplayText,
                             bool AIsSorted) {
  TcxFilterValueItem item{AKind, AValue, ADisplayText};
  if (AKind == fviMRU) {
    Integer separator = FindKind(fviMRUSeparator);
    if (separator < 0) {
      FItems.insert(FItems.begin(), TcxFilterValueItem{fviMRUSeparator, Null(), AnsiString()});
      separator = 0;
    }
    FItems.insert(FItems.begin() + separator, std::move(item));
    return;
  }
  if (AKind == fviValue) {
    if (AIsSorted) {
      FItems.push_back(std::move(item));
      return;
    }
    Integer index;
    if (Find(AValue, ADisplayText, index) && FItems[static_cast<size_t>(index)].Kind == fviValue) return;
    if (FCriteria && FCriteria->GetMaxValueListCount() > 0) {
      Integer values = 0;
      for (const auto& i : FItems) values += i.Kind == fviValue;
      if (values >= FCriteria->GetMaxValueListCount()) return;
    }
    FItems.insert(FItems.begin() + index, std::move(item));
    return;
  }
  FItems.insert(FItems.begin() + ValueStart(), std::move(item));
}

Integer TcxFilterValueList::GetIndexByCriteriaItem(TcxFilterCriteriaItem* AItem) {
  if (!AItem) return FindKind(fviAll);
  if (VarIsNull(AItem->GetValue())) {
    if (AItem->GetOperatorKind() == foEqual) return FindKind(fviBlanks);
    if (AItem->GetOperatorKind() == foNotEqual) return FindKind(fviNonBlanks);
  }
  if (AItem->GetOperatorKind() == foEqual) {
    Integer index;
    if (Find(AItem->GetValue(), AItem->GetDisplayValue(), index)) return index;
  }
  return FindKind(fviCustom);
}
