#include "library/editors/core/cxMaskEditModes.h"

#include <algorithm>

#include "platform/rtl/TypeInfo.h"
#include "platform/win/Keyboard.h"

ORV_REGISTER(TcxMaskEditCustomMode)
ORV_REGISTER(TcxMaskEditStandardMode)

// ---------------------------------------------------------------------------
// TcxMaskEditCustomMode

TcxMaskEditCustomMode::TcxMaskEditCustomMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : FEdit(AEdit), FProperties(AEdit ? nullptr : AProperties) {}

void TcxMaskEditCustomMode::SynchronizeEditValue() {
  if (!HasEdit()) return;
  Variant value;
  // Text the user typed since entering stays as typed; otherwise the value
  // is shown afresh from the edit value.
  if (FEdit->GetModifiedAfterEnter())
    value = Variant(GetFormattedText(FEdit->GetEditText(), true));
  else
    GetProperties()->PrepareDisplayValue(FEdit->GetEditValue(), value, FEdit->IsFocused());
  FEdit->SetInternalDisplayValue(value);
}

bool TcxMaskEditCustomMode::CheckInsertion(const AnsiString&) { return true; }

void TcxMaskEditCustomMode::ClearText() {
  if (FEdit && FEdit->GetInnerEdit()) FEdit->GetInnerEdit()->SetEditValue(Variant(AnsiString()));
}

void TcxMaskEditCustomMode::BeepOnError() {
  TcxCustomMaskEditProperties* properties = GetProperties();
  if (properties && properties->GetBeepOnError()) win::MessageBeep(0);
}

bool TcxMaskEditCustomMode::HasEdit() { return FEdit && !FEdit->PropertiesChangeLocked(); }

TcxCustomMaskEditProperties* TcxMaskEditCustomMode::GetProperties() {
  return FEdit ? FEdit->GetActiveProperties() : FProperties;
}

// ---------------------------------------------------------------------------
// TcxMaskEditStandardMode

TcxMaskEditStandardMode::TcxMaskEditStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties), FMask(MakeOwned<TcxStandardMask>()) {}

void TcxMaskEditStandardMode::Compile(const AnsiString& AMask) {
  SetEditMask(AMask);
  if (TcxCustomMaskEditProperties::EmptyMask(AMask)) {
    // No mask: nothing of an earlier one may format or judge texts.
    FMask->Clear();
    return;
  }
  FMask->Compile(AMask);
  SetNeedUpdateEditValue(!HasEdit());
}

AnsiString TcxMaskEditStandardMode::GetEmptyString() { return FMask->GetEmptyString(); }

AnsiString TcxMaskEditStandardMode::GetFormattedText(const AnsiString& AText, bool ATextHasLiterals) {
  AnsiString text = AText;
  FMask->Format(text, true, ATextHasLiterals);
  return text;
}

AnsiString TcxMaskEditStandardMode::GetUpdatedText(const AnsiString& AText, bool ATextHasLiterals) {
  AnsiString text = AText;
  if (FMask->GetCount() > 0) {
    TcxCustomMaskEditProperties* properties = GetProperties();
    FMask->Format(text, !properties || properties->GetCharCase() == ecNormal, ATextHasLiterals);
    FMask->Format2(text);
  }
  return text;
}

bool TcxMaskEditStandardMode::IsFullValidText(const AnsiString& AText) {
  AnsiString text = AText;
  if (FMask->IsFullValid(text)) return true;
  TcxCustomMaskEditProperties* properties = GetProperties();
  return properties && properties->GetIgnoreMaskBlank() && AText == GetFormattedText(AnsiString(), true);
}

void TcxMaskEditStandardMode::UpdateEditValue() {
  if (!GetNeedUpdateEditValue()) return;
  SetNeedUpdateEditValue(false);
  if (GetEdit()) GetEdit()->SetInternalEditValue(Variant(GetEmptyString()));
}

void TcxMaskEditStandardMode::SetText(const AnsiString&) { LMouseDown(); }

void TcxMaskEditStandardMode::SynchronizeEditValue() {
  TcxMaskEditCustomMode::SynchronizeEditValue();
  LMouseDown();
}

void TcxMaskEditStandardMode::LMouseDown() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (edit && edit->IsFocused() && edit->IsMasked() && edit->GetSelLength() == 0) edit->DirectSetSelLength(1);
}

char TcxMaskEditStandardMode::GetBlank(int) { return FMask->GetBlank(); }

// The mask's formatting lets a character look for its place from the
// selection on, so a character counts when some position from there takes
// it.
bool TcxMaskEditStandardMode::CheckInsertion(const AnsiString& AText) {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit || FMask->GetCount() == 0) return true;
  const int start = std::max(0, edit->GetSelStart());
  for (char c : AText)
    for (int i = start; i < FMask->GetCount(); ++i) {
      if (FMask->GetItems(i)->IsLiteral()) continue;
      char ch = c;
      if (FMask->GetItems(i)->Check(ch) && edit->IsCharValidForPos(ch, i + 1) && ch != '\0') return true;
    }
  BeepOnError();
  return false;
}

AnsiString TcxMaskEditStandardMode::EditText() { return GetEdit() ? GetEdit()->GetEditText() : AnsiString(); }

bool TcxMaskEditStandardMode::IsLiteralAt(int APos) const {
  return APos >= 0 && APos < FMask->GetCount() && FMask->GetItems(APos)->IsLiteral();
}

void TcxMaskEditStandardMode::PutCaret(int APos) {
  GetEdit()->DirectSetSelStart(APos);
  LMouseDown();
}

void TcxMaskEditStandardMode::PutText(const AnsiString& AText, int APos) {
  GetEdit()->SetInternalDisplayValue(Variant(AText));
  PutCaret(APos);
}

bool TcxMaskEditStandardMode::IsCursorBegin() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  int leading = 0;
  while (IsLiteralAt(leading)) ++leading;
  const int start = edit->GetSelStart();
  if (start <= leading && edit->GetSelLength() < 2) return true;
  if (start > leading) return false;
  return edit->GetCursorPos() == start;
}

bool TcxMaskEditStandardMode::IsCursorEnd() {
  return GetEdit() && GetEdit()->GetSelStart() == static_cast<Integer>(EditText().size());
}

void TcxMaskEditStandardMode::PrePasteFromClipboard() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return;
  FPasteSelStart = edit->GetSelStart();
  edit->DirectSetSelLength(GetClipboardTextLength());
}

void TcxMaskEditStandardMode::AfterPasteFromClipboard() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return;
  const int length = static_cast<int>(EditText().size());
  int pos = FPasteSelStart + GetClipboardTextLength();
  if (pos > length - 1) pos = length - 1;
  if (pos < 0) pos = 0;
  PutCaret(pos);
  if (IsLiteralAt(pos)) {
    edit->SetSelecting(false);
    PressRight();
  }
}

bool TcxMaskEditStandardMode::PressSymbol(char& AChar) {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  AnsiString text = EditText();
  const int caret = edit->GetSelStart();
  if (text.empty() || caret >= static_cast<int>(text.size()) || caret >= FMask->GetCount()) return false;

  if (IsLiteralAt(caret)) {
    // Typing on a literal types at the next position the user fills.
    edit->SetSelecting(false);
    if (edit->GetSelLength() > 1) PressDelete();
    PressRight();
    return edit->GetSelStart() != caret ? PressSymbol(AChar) : false;
  }

  char ch = AChar;
  if (!FMask->GetItems(caret)->Check(ch)) return false;
  const bool valid = edit->IsCharValidForPos(ch, caret + 1);
  if (ch == '\0') {
    BeepOnError();
    return false;
  }
  if (!valid) return false;
  // The editor's check may have rewritten the text and moved the caret on
  // (a time zone that puts a 0 before a lone digit): the character goes
  // where the caret stands now.
  text = EditText();
  const int at = edit->GetSelStart();
  if (at != caret) {
    char moved = ch;
    if (at >= static_cast<int>(text.size()) || at >= FMask->GetCount() || IsLiteralAt(at) ||
        !FMask->GetItems(at)->Check(moved))
      return false;
    ch = moved;
  }
  AChar = ch;
  if (edit->GetSelLength() > 1) {
    PressDelete();
    text = EditText();
  }
  text[static_cast<std::size_t>(at)] = ch;
  PutText(text, at);
  edit->SetSelecting(false);
  PressRight();
  return false;
}

bool TcxMaskEditStandardMode::PressDelete() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  const int start = edit->GetSelStart();
  const int length = edit->GetSelLength();
  if (length <= 0) return false;
  AnsiString text = EditText();
  const int end = std::min(start + length, static_cast<int>(text.size()));
  bool changed = false;
  for (int i = start; i < end; ++i) {
    if (IsLiteralAt(i)) continue;
    const char blank = GetBlank(i);
    if (blank == '\0') continue;
    text[static_cast<std::size_t>(i)] = blank;
    changed = true;
  }
  if (changed)
    PutText(text, start);
  else
    PutCaret(start);
  return false;
}

bool TcxMaskEditStandardMode::PressBackSpace() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  // Backspace never extends a selection, even with Shift held (Shift+Delete
  // without a selection comes here).
  edit->SetSelecting(false);
  if (edit->GetSelLength() < 2) PressLeft();
  return PressDelete();
}

bool TcxMaskEditStandardMode::PressLeft() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  const int start = edit->GetSelStart();
  const int length = edit->GetSelLength();
  if (edit->GetSelecting()) {
    // The overwrite cursor is anchored at its left end; anchored at its
    // right end instead (the held Shift makes the simulated Left select
    // the cursor's character), the native edit extends it by one.
    if (length == 1) {
      edit->DirectSetSelStart(start + 1);
      edit->SendMyKeyDown(win::VK_LEFT, TShiftState());
    }
    return true;
  }
  if (length < 2) {
    int step = 1;
    while (IsLiteralAt(start - step)) ++step;
    if (start - step < 0) step = 0;
    PutCaret(start - step);
    return false;
  }
  const int textLength = static_cast<int>(EditText().size());
  for (int i = start; i <= start + length && i < textLength; ++i)
    if (!IsLiteralAt(i)) {
      PutCaret(i);
      return false;
    }
  PutCaret(start + length >= textLength ? textLength : start);
  return false;
}

bool TcxMaskEditStandardMode::PressRight() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  const int start = edit->GetSelStart();
  const int length = edit->GetSelLength();
  const int textLength = static_cast<int>(EditText().size());
  if (edit->GetSelecting()) {
    if (length == 1 && start == edit->GetCursorPos()) edit->DirectSetSelLength(0);
    return true;
  }
  if (length < 2) {
    int step = 1;
    while (IsLiteralAt(start + step)) ++step;
    if (start + step > textLength) step = 0;
    PutCaret(start + step);
    return false;
  }
  if (start + length >= textLength) {
    PutCaret(textLength);
    return false;
  }
  int pos = start + length - 1;
  while (pos >= start && IsLiteralAt(pos)) --pos;
  PutCaret(pos < start ? start + length - 1 : pos);
  return false;
}

bool TcxMaskEditStandardMode::PressHome() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  if (edit->GetSelecting()) return true;
  PutCaret(0);
  if (IsLiteralAt(0)) PressRight();
  return false;
}

bool TcxMaskEditStandardMode::PressEnd() {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return false;
  if (edit->GetSelecting()) return true;
  PutCaret(static_cast<int>(EditText().size()));
  return false;
}
