// The keyboard, wheel and lookup side of the text editor: which characters
// and keys it accepts, how the navigation keys and the wheel move through
// its lookup items, and how typing proposes the first matching item with
// the rest of it selected.
#include "library/editors/core/cxTextEdit.h"

#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"

using namespace win;

namespace {

bool IsListStyle(TcxEditEditingStyle AStyle) { return AStyle == esEditList || AStyle == esFixedList; }

}  // namespace

// --- what may change the text ----------------------------------------------------------------

bool TcxCustomTextEdit::IsValidChar(char AChar) {
  return inherited::IsValidChar(AChar) || GetActiveProperties()->GetValidChars().Contains(AChar);
}

bool TcxCustomTextEdit::CanKeyPressModifyEdit(char Key) {
  return Key == '\b' || Key == '\x16' || Key == '\x18' || static_cast<unsigned char>(Key) >= ' ';
}

bool TcxCustomTextEdit::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  bool result = inherited::CanKeyDownModifyEdit(Key, Shift) || Key == VK_DELETE;
  if (FLookupData && !FLookupData->IsEmpty() && GetScrollLookupDataList(escKeyboard)) {
    if (Key == VK_PRIOR || Key == VK_NEXT) result = !HasPopupWindow();
    if (Key == VK_UP || Key == VK_DOWN) result = !Shift.Contains(ssAlt) && !HasPopupWindow();
  }
  return result;
}

// --- keys -------------------------------------------------------------------------------------

void TcxCustomTextEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const TcxEditEditingStyle style = properties->GetEditingStyle();
  // A fixed list has no caret to move and no character to delete.
  if (style == esFixedList && !IsSpecialKey(Key, Shift) && (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
    SetFindSelection(false);
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (FInnerTextEdit) FInnerTextEdit->SetInternalUpdating(true);
  const bool wasFindSelection = FFindSelection;
  const Word originalKey = Key;
  inherited::DoEditKeyDown(Key, Shift);
  if (originalKey == VK_RETURN && wasFindSelection) SelectAll();
  if (Key == 0) return;

  const bool listMove = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
                        (style == esFixedList && (Key == VK_HOME || Key == VK_END));
  if (listMove) {
    if (FLookupData && GetScrollLookupDataList(escKeyboard) && !FLookupData->IsEmpty()) {
      TcxEditLookupDataGoDirection direction = egdNext;
      switch (Key) {
        case VK_PRIOR: direction = Shift.Contains(ssCtrl) ? egdBegin : egdPageUp; break;
        case VK_NEXT: direction = Shift.Contains(ssCtrl) ? egdEnd : egdPageDown; break;
        case VK_HOME: direction = egdBegin; break;
        case VK_END: direction = egdEnd; break;
        case VK_UP: direction = egdPrev; break;
        default: direction = egdNext; break;
      }
      GoInLookup(direction);
      Key = 0;
      return;
    }
    if (Key != VK_HOME && Key != VK_END && FInnerTextEdit && !FInnerTextEdit->GetMultiLine()) {
      DoAfterKeyDown(Key, Shift);
      Key = 0;
      return;
    }
  }
  if ((Key == VK_LEFT || Key == VK_RIGHT) && !Shift.Contains(ssShift) && FInnerTextEdit &&
      FInnerTextEdit->GetSelLength() > 0) {
    const Integer start = FInnerTextEdit->GetSelStart();
    const Integer end = start + FInnerTextEdit->GetSelLength();
    FInnerTextEdit->SetSelLength(0);
    FInnerTextEdit->SetSelStart(Key == VK_LEFT ? start : end);
    Key = 0;
    SetFindSelection(false);
    return;
  }
  if (Key == VK_DELETE) {
    if (style == esEditList) {
      DoAfterKeyDown(Key, Shift);
      Key = 0;
      return;
    }
    SetFindSelection(false);
  }
  if (Key == VK_END && style != esFixedList && FInnerTextEdit && FInnerTextEdit->GetSelLength() == 0)
    SetFindSelection(false);
  if (Key != 0 && FInnerTextEdit) FInnerTextEdit->SetInternalUpdating(false);
}

void TcxCustomTextEdit::DoEditKeyPress(char& Key) {
  if (FInnerTextEdit) FInnerTextEdit->SetInternalUpdating(true);
  inherited::DoEditKeyPress(Key);
  if (Key == 0) return;
  FLookupTextLock = false;
  auto user = orv::TempValue(FUserAction, true);
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const TcxEditEditingStyle style = properties->GetEditingStyle();
  if (style == esFixedList && Key == '\b' && !properties->GetFixedListSelection()) {
    Key = 0;
    SetFindSelection(false);
    return;
  }
  const Variant previousKey = FLookupData ? FLookupData->GetCurrentKey() : Variant();
  const bool wasFindSelection = FFindSelection;
  bool found = false;
  {
    LockClick(true);
    orv::ScopeExit unlock([this] { LockClick(false); });
    const bool searching = FLookupData && properties->CanIncrementalSearch();
    const AnsiString text = InternalGetText();
    const Integer selStart = FInnerTextEdit ? FInnerTextEdit->GetSelStart() : 0;
    const Integer selLength = FInnerTextEdit ? FInnerTextEdit->GetSelLength() : 0;
    if (static_cast<unsigned char>(Key) >= ' ' && searching) {
      const bool atEnd = selLength == 0 && selStart == static_cast<Integer>(text.size());
      if (IsListStyle(style) || atEnd || FFindSelection || selLength > 0) {
        FLookupTextLock = true;
        if (selLength > 0) {
          found = FindNearestItem(text.substr(0, static_cast<std::size_t>(selStart)) + Key);
        } else if (style == esFixedList) {
          found = wasFindSelection && FindNearestItem(text + Key);
          if (!found) found = FindNearestItem(AnsiString(1, Key));
        } else {
          AnsiString head = text;
          head.insert(static_cast<std::size_t>(selStart), 1, Key);
          found = FindNearestItem(head);
        }
        if (!found && style == esFixedList && !properties->GetFixedListSelection())
          found = FindNearestItem(AnsiString(1, Key));
        if (!found && IsListStyle(style)) {
          Key = 0;
          if (style == esEditList && !InternalGetText().empty()) FFindSelection = true;
          if (style == esFixedList && properties->GetFixedListSelection() && wasFindSelection) FFindSelection = true;
        }
      }
    } else if (Key == '\b' && searching) {
      if (style == esEditList && !text.empty() && !FFindSelection && FInnerTextEdit) {
        FInnerTextEdit->SetSelLength(static_cast<Integer>(text.size()) - selStart);
        FFindSelection = true;
      }
      if (FFindSelection && FInnerTextEdit) {
        AnsiString head = text.substr(0, static_cast<std::size_t>(FInnerTextEdit->GetSelStart()));
        if (!head.empty()) head.pop_back();
        found = FindNearestItem(head);
      }
      if (style == esFixedList) Key = 0;
    }
  }
  if (FLookupData && !InternalVarEqualsExact(previousKey, FLookupData->GetCurrentKey())) DoClick();
  if (found)
    Key = 0;
  else if (Key != 0 && FInnerTextEdit)
    FInnerTextEdit->SetInternalUpdating(false);
}

// The search step: the first item that starts with AHead becomes the text,
// the caret after the head and the rest of the item selected.
bool TcxCustomTextEdit::FindNearestItem(AnsiString AHead) {
  const char imeLast = FInnerTextEdit ? FInnerTextEdit->GetImeLastChar() : '\0';
  if (imeLast) AHead += imeLast;
  AnsiString tail;
  const bool found = FLookupData->Locate(AHead, tail, false);
  if (found && imeLast && !AHead.empty()) {
    AHead.pop_back();
    tail.insert(tail.begin(), imeLast);
  }
  FFindSelection = found;
  if (AHead.empty()) {
    if (GetActiveProperties()->GetEditingStyle() != esFixedList) GetDataBinding()->SetDisplayValue(Variant(AnsiString()));
    FFindSelection = false;
  }
  if (found) {
    GetDataBinding()->SetDisplayValue(Variant(AHead + tail));
    if (FInnerTextEdit) {
      FInnerTextEdit->SetSelStart(static_cast<Integer>(AHead.size()));
      FInnerTextEdit->SetSelLength(static_cast<Integer>(tail.size()));
    }
    UpdateDrawValue();
  }
  return found;
}

// --- moving in the lookup items ------------------------------------------------------------------

void TcxCustomTextEdit::GoInLookup(TcxEditLookupDataGoDirection ADirection) {
  const Variant previousKey = FLookupData->GetCurrentKey();
  {
    LockChangeEvents(true);
    orv::ScopeExit unlockEvents([this] { LockChangeEvents(false); });
    auto navigating = orv::TempValue(FLookupNavigating, true);
    LockClick(true);
    orv::ScopeExit unlockClick([this] { LockClick(false); });
    FLookupData->Go(ADirection, false);
  }
  if (InternalVarEqualsExact(previousKey, FLookupData->GetCurrentKey())) return;
  DoClick();
  if (CanPostEditValue() && GetActiveProperties()->GetImmediatePost() && ValidateEdit(true))
    InternalPostEditValue(false);
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!GetScrollLookupDataList(escMouseWheel) || HasPopupWindow() || !FLookupData || FLookupData->IsEmpty() ||
      !HandleMouseWheel(Shift))
    return false;
  if (DoEditing()) GoInLookup(WheelDelta > 0 ? egdPrev : egdNext);
  return true;
}

void TcxCustomTextEdit::HandleSelectItem(TObject*) {
  const Variant value = LookupKeyToEditValue(FLookupData->GetCurrentKey());
  const bool changed = !InternalVarEqualsExact(value, GetEditValue());
  if (changed && !DoEditing()) return;
  SaveModified();
  {
    orv::ScopeExit restore([this] { RestoreModified(); });
    SetInternalEditValue(value);
  }
  if (changed) SetModifiedAfterEnter(true);
  SelectAll();
  ShortRefreshContainer(false);
}

void TcxCustomTextEdit::SetItemIndex(Integer Value) {
  if (!FLookupData) return;
  const Integer previous = GetItemIndex();
  {
    LockClick(true);
    orv::ScopeExit unlock([this] { LockClick(false); });
    FLookupData->SetCurrentKey(ItemIndexToLookupKey(Value));
    const Variant value = LookupKeyToEditValue(FLookupData->GetCurrentKey());
    if (!InternalVarEqualsExact(value, GetEditValue())) InternalSetEditValue(value, false);
  }
  if (GetItemIndex() == previous) return;
  SetModified(false);
  DoClick();
}

Variant TcxCustomTextEdit::LookupKeyToEditValue(const Variant& AKey) {
  Variant value;
  PrepareEditValue(Variant(FLookupData ? FLookupData->GetDisplayText(AKey) : AnsiString()), value, InternalFocused());
  return value;
}

Integer TcxCustomTextEdit::LookupKeyToItemIndex(const Variant& AKey) {
  return VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : AKey.AsInteger();
}

TObject* TcxCustomTextEdit::GetItemObject() {
  const Integer index = GetItemIndex();
  TStrings* items = GetActiveProperties()->GetLookupItems();
  return index < 0 || index >= items->GetCount() ? nullptr : items->GetObject(index);
}

void TcxCustomTextEdit::SetItemObject(TObject* Value) {
  SetItemIndex(GetActiveProperties()->GetLookupItems()->IndexOfObject(Value));
}
