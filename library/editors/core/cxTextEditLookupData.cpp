// The lookup data of a text editor: current key, highlighted item,
// incremental search and navigation over the properties' lookup items.
#include "library/editors/core/cxTextEditLookupData.h"

#include <algorithm>

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxTextEdit.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomTextEditLookupData)

namespace {

// A key as an item index: none for null or empty.
Integer KeyToIndex(const Variant& AKey) {
  if (VarIsNull(AKey) || VarIsEmpty(AKey)) return -1;
  return AKey.AsInteger();
}

}  // namespace

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FEdit(dynamic_cast<TcxCustomEdit*>(AOwner)) {
  FListNotificator = New<TcxFreeNotificator>(nullptr);
  FListNotificator->OnFreeNotification =
      Event<void(TComponent*)>::Bind<&TcxCustomTextEditLookupData::ListFreed>(this);
}

TcxCustomTextEditLookupData::~TcxCustomTextEditLookupData() {
  if (FList) {
    TcxCustomEditListBox* list = FList;
    FListNotificator->RemoveSender(list);
    FList = nullptr;
    list->Free();
  }
  FListNotificator->Free();
}

void TcxCustomTextEditLookupData::ListFreed(TComponent* Sender) {
  if (Sender == FList) FList = nullptr;
}

TcxCustomTextEditProperties* TcxCustomTextEditLookupData::GetProperties() const {
  return FEdit ? dynamic_cast<TcxCustomTextEditProperties*>(FEdit->GetActiveProperties()) : nullptr;
}

// --- items -------------------------------------------------------------------------

TStrings* TcxCustomTextEditLookupData::GetItems() {
  TcxCustomTextEditProperties* properties = GetProperties();
  return properties ? properties->GetLookupItems() : nullptr;
}

void TcxCustomTextEditLookupData::SetItems(TStrings* Value) {
  if (TcxCustomTextEditProperties* properties = GetProperties()) properties->SetLookupItems(Value);
}

AnsiString TcxCustomTextEditLookupData::GetItem(Integer AIndex) { return GetItems()->Get(AIndex); }

Integer TcxCustomTextEditLookupData::GetItemCount() {
  TStrings* items = GetItems();
  return items ? items->GetCount() : 0;
}

Integer TcxCustomTextEditLookupData::IndexOf(const AnsiString& AText) {
  const Integer count = GetItemCount();
  for (Integer i = 0; i < count; ++i)
    if (InternalCompareString(GetItem(i), AText, false)) return i;
  return -1;
}

AnsiString TcxCustomTextEditLookupData::GetDisplayText(const Variant& AKey) {
  const Integer index = KeyToIndex(AKey);
  return index >= 0 && index < GetItemCount() ? GetItem(index) : AnsiString();
}

// --- the list ---------------------------------------------------------------------

TWinControl* TcxCustomTextEditLookupData::GetActiveControl() { return FList; }

bool TcxCustomTextEditLookupData::IsListVisible() { return FList && FList->IsVisible(); }

bool TcxCustomTextEditLookupData::CanResizeVisualArea(TSize&, Integer, Integer) { return true; }

TSize TcxCustomTextEditLookupData::GetVisualAreaPreferredSize(Integer, Integer) { return TSize(0, 0); }

void TcxCustomTextEditLookupData::Initialize(TWinControl* AVisualControlsParent) {
  if (FList) return;
  const TcxCustomEditListBoxClass listClass = GetListBoxClass();
  if (!listClass) return;
  FList = listClass.Create(AVisualControlsParent);
  FListNotificator->AddSender(FList);
  if (FEdit) {
    TcxContainerStyle* style = FEdit->GetActiveStyle();
    FList->SetColor(style->GetColor());
    FList->SetFont(style->GetVisibleFont());
    FList->GetCanvas()->SetFont(style->GetVisibleFont());
  }
  FList->SetParent(AVisualControlsParent);
  FList->OnSelectItem = TNotifyEvent::Bind<&TcxCustomTextEditLookupData::HandleSelectItemHandler>(this);
  FList->SetItemCount(GetItemCount());
  FList->SetItemIndex(FItemIndex);
  TextChanged();
}

void TcxCustomTextEditLookupData::ListChanged() {
  if (FList) FList->SetItemCount(GetItemCount());
}

void TcxCustomTextEditLookupData::PositionVisualArea(const TRect& AClientRect) {
  if (FList) FList->SetBoundsRect(AClientRect);
}

bool TcxCustomTextEditLookupData::IsMouseOverList(const TPoint& P) {
  if (!FList || !FList->HandleAllocated()) return false;
  const TPoint client = FList->ScreenToClient(P);
  const TRect r = FList->GetClientRect();
  return client.X >= r.Left && client.X < r.Right && client.Y >= r.Top && client.Y < r.Bottom;
}

void TcxCustomTextEditLookupData::CloseUp() { InternalSetItemIndex(FCurrentKey); }

void TcxCustomTextEditLookupData::HandleSelectItem(TObject*) {
  if (FList) FItemIndex = FList->GetItemIndex();
}

// --- key and highlight ---------------------------------------------------------------

void TcxCustomTextEditLookupData::DoCurrentKeyChanged() {
  if (OnCurrentKeyChanged) OnCurrentKeyChanged(this);
}

void TcxCustomTextEditLookupData::DoSelectItem() {
  if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomTextEditLookupData::InternalSetCurrentKey(Integer AKey) {
  if (AKey < -1 || AKey >= GetItemCount()) return;
  const bool changed = AKey != FCurrentKey;
  FCurrentKey = AKey;
  InternalSetItemIndex(AKey);
  if (changed) DoCurrentKeyChanged();
}

void TcxCustomTextEditLookupData::InternalSetItemIndex(Integer AIndex) {
  const Integer count = GetItemCount();
  if (AIndex < -1 || AIndex >= count) return;
  if (AIndex == FItemIndex && AIndex != -1) return;
  if (FList && count > 0) {
    // The native list keeps its caret on a cleared selection; passing by
    // the first item puts it back at the top.
    if (AIndex == -1) FList->SetItemIndex(0);
    FList->SetItemIndex(AIndex);
  }
  FItemIndex = AIndex;
}

void TcxCustomTextEditLookupData::SetCurrentKey(const Variant& AKey) { ApplyCurrentKey(KeyToIndex(AKey)); }

// Returns whether the select-item event was raised.
bool TcxCustomTextEditLookupData::ApplyCurrentKey(Integer AKey) {
  const Integer previous = FCurrentKey;
  InternalSetCurrentKey(AKey);
  bool select = FCurrentKey != previous;
  // The same key again re-applies its item only where the editor shows
  // something else (letter case included).
  if (!select && FEdit && AKey >= 0 && AKey < GetItemCount())
    select = !InternalCompareString(GetItem(AKey), FEdit->GetText(), true);
  if (!select) return false;
  // The editor takes the item's text; that text must not search again.
  auto* textEdit = dynamic_cast<TcxCustomTextEdit*>(FEdit);
  if (textEdit) textEdit->SetLookupTextLock(true);
  orv::ScopeExit unlock([textEdit] {
    if (textEdit) textEdit->SetLookupTextLock(false);
  });
  DoSelectItem();
  return true;
}

void TcxCustomTextEditLookupData::SetItemIndex(Integer Value) {
  TcxCustomTextEditProperties* properties = GetProperties();
  if (IsListVisible() && properties && !properties->GetImmediateUpdateText())
    InternalSetItemIndex(Value);
  else
    ApplyCurrentKey(Value);
}

// A re-pick of the current item re-applies it, once.
void TcxCustomTextEditLookupData::SelectItem() {
  if (FItemIndex == -1) return;
  if (FItemIndex != FCurrentKey && FEdit && !FEdit->DoEditing()) return;
  if (!ApplyCurrentKey(FItemIndex)) DoSelectItem();
}

void TcxCustomTextEditLookupData::TextChanged() {
  // The host answering the editing question may touch the text; the item
  // follows the text only once editing is settled.
  if (!FEdit || FEdit->IsDoingEditing()) return;
  const AnsiString text = FEdit->GetText();
  if (FItemIndex >= 0 && FItemIndex < GetItemCount() && InternalCompareString(GetItem(FItemIndex), text, false))
    return;
  AnsiString head = text;
  AnsiString tail;
  InternalLocate(head, tail, false, true);
}

// --- search ------------------------------------------------------------------------

bool TcxCustomTextEditLookupData::InternalLocate(AnsiString& AText, AnsiString& ATail, bool ANext, bool AExact) {
  const Integer count = GetItemCount();
  if (count == 0) {
    LocateFailed(AText, AExact);
    return false;
  }
  TcxCustomTextEditProperties* properties = GetProperties();
  if (AExact && properties && properties->GetMRUMode()) {
    const Integer index = IndexOf(AText);
    if (index >= 0) ATail.clear();
    InternalSetCurrentKey(index);
    return index >= 0;
  }
  if (!AText.empty()) {
    const size_t length = AText.size();
    for (Integer i = ANext ? FItemIndex + 1 : 0; i < count; ++i) {
      const AnsiString item = GetItem(i);
      if (item.size() < length || !InternalCompareString(item.substr(0, length), AText, false)) continue;
      AText = item.substr(0, length);
      ATail = item.substr(length);
      InternalSetCurrentKey(i);
      return true;
    }
  }
  LocateFailed(AText, AExact);
  return false;
}

// A failed search drops the current key where the text alone is the value
// (esEdit), where the text must name an item and was meant whole
// (esEditList, exact or emptied), and in a fixed list only when meant
// whole; a fixed list keeps its item while the user types on.
void TcxCustomTextEditLookupData::LocateFailed(const AnsiString& AText, bool AExact) {
  TcxCustomTextEditProperties* properties = GetProperties();
  if (!properties) return;
  bool drop = false;
  switch (properties->GetEditingStyle()) {
    case esEdit: drop = true; break;
    case esEditList: drop = AExact || (AText.empty() && IndexOf("") < 0); break;
    case esFixedList: drop = AExact; break;
    default: break;
  }
  if (drop) InternalSetCurrentKey(-1);
}

// --- navigation --------------------------------------------------------------------

void TcxCustomTextEditLookupData::Go(TcxEditLookupDataGoDirection ADirection, bool ACycle) {
  const Integer count = GetItemCount();
  if (count == 0) return;
  const Integer current = FItemIndex != -1 ? FItemIndex : FCurrentKey;
  TcxCustomTextEditProperties* properties = GetProperties();
  const Integer page = std::max(properties ? properties->GetDropDownPageRowCount() : 8, 1);
  Integer target = current;
  switch (ADirection) {
    case egdBegin: target = 0; break;
    case egdEnd: target = count - 1; break;
    case egdNext:
      target = current + 1;
      if (target >= count) target = ACycle ? 0 : current;
      break;
    case egdPrev:
      target = current - 1;
      if (target < 0) target = ACycle ? count - 1 : current;
      break;
    case egdPageUp:
      if (current == -1) {
        target = ACycle ? count - 1 : current;
      } else {
        target = current - page + 1;
        if (target < 0) target = ACycle && current == 0 ? count - 1 : 0;
      }
      break;
    case egdPageDown:
      // A page of DropDownRows may reach past Integer from the current row:
      // measured against the rows left, it ends at the last one.
      target = current == -1 ? page - 1 : page - 1 >= count - current ? count : current + page - 1;
      if (target >= count) target = ACycle && current == count - 1 ? 0 : count - 1;
      break;
  }
  if (!IsListVisible()) {
    ApplyCurrentKey(target);
  } else if (properties && properties->GetImmediateUpdateText() && FEdit && FEdit->DoEditing()) {
    ApplyCurrentKey(target);
  } else {
    InternalSetItemIndex(target);
  }
}
