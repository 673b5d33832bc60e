#include "library/editors/core/cxMaskEditRegExprModes.h"

#include <algorithm>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/win/Keyboard.h"

ORV_REGISTER(TcxMaskEditRegExprMode)
ORV_REGISTER(TcxMaskEditRegExprExMode)

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprMode

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditCustomMode(AEdit, AProperties), FRegExpr(MakeOwned<TcxRegExpr>()) {
  SetRegExprCaseInsensitive();
}

TcxMaskEditRegExprMode::~TcxMaskEditRegExprMode() = default;

void TcxMaskEditRegExprMode::SetRegExprCaseInsensitive() {
  TcxCustomMaskEditProperties* properties = GetProperties();
  FRegExpr->SetCaseInsensitive(properties ? properties->GetCaseInsensitive() : true);
}

void TcxMaskEditRegExprMode::Compile(const AnsiString& AMask) {
  if (!TcxCustomMaskEditProperties::EmptyMask(AMask)) {
    // The engine forgets its pattern when a compile fails: the mask is
    // compiled into an engine of its own, set up as the mode's, which takes
    // its place only once it stands. A bad pattern raises before anything
    // of this mode changed, and a good one is compiled once.
    TOwned<TcxRegExpr> compiled = MakeOwned<TcxRegExpr>();
    compiled->SetCaseInsensitive(FRegExpr->GetCaseInsensitive());
    compiled->SetUpdateOn(FRegExpr->GetUpdateOn());
    compiled->OnSymbolUpdate = FRegExpr->OnSymbolUpdate;
    compiled->OnSymbolDelete = FRegExpr->OnSymbolDelete;
    TStringStream source(AMask);
    compiled->Compile(&source);
    FRegExpr = std::move(compiled);
  }
  SetEditMask(AMask);
  SetRegExprCaseInsensitive();
  // The split belonged to the old pattern: the next key rebuilds it.
  FHead.clear();
  FTail.clear();
  FResync = true;
}

TOwned<TcxRegExpr> TcxMaskEditRegExprMode::CompileRegExpr() {
  if (TcxCustomMaskEditProperties::EmptyMask(GetEditMask())) return nullptr;
  auto result = MakeOwned<TcxRegExpr>();
  TStringStream source(GetEditMask());
  result->Compile(&source);
  result->SetCaseInsensitive(FRegExpr->GetCaseInsensitive());
  return result;
}

AnsiString TcxMaskEditRegExprMode::GetFormattedText(const AnsiString& AText, bool) {
  if (!FRegExpr->IsCompiled()) return AnsiString();
  FEngineStale = true;
  FRegExpr->Reset();
  return FRegExpr->NextEx(AText);
}

AnsiString TcxMaskEditRegExprMode::GetUpdatedText(const AnsiString& AText, bool) { return AText; }

bool TcxMaskEditRegExprMode::IsFullValidText(const AnsiString& AText) {
  if (AText.empty()) return true;
  TOwned<TcxRegExpr> regExpr = CompileRegExpr();
  if (!regExpr) return false;
  for (char c : AText)
    if (!regExpr->Next(c)) return false;
  TcxCustomMaskEditProperties* properties = GetProperties();
  return (properties && properties->GetIgnoreMaskBlank()) || regExpr->IsFinal();
}

// A character counts when the pattern takes it after what stands before
// the selection and the characters of AText taken so far.
bool TcxMaskEditRegExprMode::CheckInsertion(const AnsiString& AText) {
  if (!GetEdit()) return true;
  TOwned<TcxRegExpr> regExpr = CompileRegExpr();
  if (!regExpr) return true;
  const AnsiString text = EditText();
  regExpr->NextEx(text.substr(0, std::min(text.size(), static_cast<std::size_t>(std::max(0, SelStart())))));
  for (char c : AText)
    if (regExpr->Next(c)) return true;
  BeepOnError();
  return false;
}

AnsiString TcxMaskEditRegExprMode::EditText() { return GetEdit() ? GetEdit()->GetEditText() : AnsiString(); }
// Without a selection the caret is the selection's start; the editor's
// caret position is needed only to tell the active end of a selection.
int TcxMaskEditRegExprMode::CursorPos() {
  if (!GetEdit()) return 0;
  return GetEdit()->GetSelLength() == 0 ? GetEdit()->GetSelStart() : GetEdit()->GetCursorPos();
}
int TcxMaskEditRegExprMode::SelStart() { return GetEdit() ? GetEdit()->GetSelStart() : 0; }
int TcxMaskEditRegExprMode::SelLength() { return GetEdit() ? GetEdit()->GetSelLength() : 0; }
bool TcxMaskEditRegExprMode::Selecting() { return GetEdit() && GetEdit()->GetSelecting(); }

bool TcxMaskEditRegExprMode::IsCursorBegin() { return SelStart() == 0; }

bool TcxMaskEditRegExprMode::IsCursorEnd() { return SelStart() == static_cast<int>(EditText().size()); }

void TcxMaskEditRegExprMode::SetText(const AnsiString& AText) {
  if (!FRegExpr->IsCompiled()) return;
  FEngineStale = false;
  FRegExpr->Reset();
  const int pending = GetClipboardTextLength();
  if (pending >= 1 && !AText.empty()) {
    const std::size_t headLength =
        std::min(AText.size(), static_cast<std::size_t>(std::max(0, SelStart()) + pending));
    FHead = AText.substr(0, headLength);
    FTail = AText.substr(headLength);
    FRegExpr->NextEx(FHead);
    SetClipboardTextLength(0);
  } else {
    FHead.clear();
    FTail = AText;
  }
}

void TcxMaskEditRegExprMode::SynchronizeEditValue() {
  TcxMaskEditCustomMode::SynchronizeEditValue();
  if (!GetEdit() || !FRegExpr->IsCompiled()) return;
  FHead = EditText();
  FTail.clear();
  GetEdit()->DirectSetSelStart(static_cast<Integer>(FHead.size()));
  FEngineStale = false;
  FRegExpr->Reset();
  FRegExpr->NextEx(FHead);
}

bool TcxMaskEditRegExprMode::SplitMatches(const AnsiString& AText) const {
  return FHead.size() + FTail.size() == AText.size() && AText.compare(0, FHead.size(), FHead) == 0 &&
         AText.compare(FHead.size(), FTail.size(), FTail) == 0;
}

// Native caret moves and outside changes of the text do not always tell
// the mode (a selection change notice may come late or not at all), so the
// split is checked against the editor on every key: a text that still
// agrees only moves the split to the caret, any other is split afresh.
void TcxMaskEditRegExprMode::CursorCorrection() {
  if (!GetEdit() || !FRegExpr->IsCompiled()) return;
  FResync = false;
  const AnsiString text = EditText();
  const std::size_t caret = std::min(text.size(), static_cast<std::size_t>(std::max(0, CursorPos())));
  if (FEngineStale || !SplitMatches(text)) {
    FEngineStale = false;
    FRegExpr->Reset();
    FHead.clear();
    FTail = text;
  }
  if (FHead.size() > caret) {
    const std::size_t moved = FHead.size() - caret;
    for (std::size_t i = 0; i < moved; ++i) FRegExpr->Prev();
    FTail.insert(0, FHead, caret, moved);
    FHead.erase(caret);
  } else if (FHead.size() < caret) {
    const std::size_t moved = caret - FHead.size();
    for (std::size_t i = 0; i < moved; ++i) {
      char c = FTail[i];
      FRegExpr->Next(c);
    }
    FHead.append(FTail, 0, moved);
    FTail.erase(0, moved);
  }
}

void TcxMaskEditRegExprMode::BeginKey() {
  CursorCorrection();
  if (GetSelfChecks()) CheckConsistency();
}

namespace {
// A text for a message: long ones by their ends.
AnsiString Quoted(const AnsiString& AText) {
  if (AText.size() <= 40) return "\"" + AText + "\"";
  return "\"" + AText.substr(0, 16) + "..." + AText.substr(AText.size() - 16) + "\" (" + std::to_string(AText.size()) +
         " characters)";
}
}  // namespace

void TcxMaskEditRegExprMode::CheckConsistency() {
  if (!GetEdit() || !FRegExpr->IsCompiled()) return;
  const AnsiString text = EditText();
  AnsiString fault;
  if (FHead.size() + FTail.size() != text.size() || text.compare(0, FHead.size(), FHead) != 0 ||
      text.compare(FHead.size(), FTail.size(), FTail) != 0)
    fault = "head " + Quoted(FHead) + " and tail " + Quoted(FTail) + " do not make the text " + Quoted(text);
  else if (static_cast<int>(FHead.size()) != CursorPos())
    fault = "the head has " + std::to_string(FHead.size()) + " characters, the caret stands at " +
            std::to_string(CursorPos());
  else if (FRegExpr->GetAutomat()->GetStackDepth() != static_cast<int>(FHead.size()))
    fault = "the automaton took " + std::to_string(FRegExpr->GetAutomat()->GetStackDepth()) +
            " characters, the head has " + std::to_string(FHead.size());
  else {
    TOwned<TcxRegExpr> fresh = CompileRegExpr();
    for (char c : FHead)
      if (!fresh->Next(c)) {
        fault = "the head " + Quoted(FHead) + " does not match the pattern";
        break;
      }
    if (fault.empty() && fresh->IsFinal() != FRegExpr->IsFinal())
      fault = "the automaton does not stand where the head " + Quoted(FHead) + " leads";
  }
  if (!fault.empty()) throw EcxEditError("Mask mode out of step: " + fault);
}

bool TcxMaskEditRegExprMode::NextTail() {
  std::size_t accepted = 0;
  bool fits = true;
  for (char c : FTail) {
    if (!FRegExpr->Next(c)) {
      fits = false;
      break;
    }
    ++accepted;
  }
  for (std::size_t i = 0; i < accepted; ++i) FRegExpr->Prev();
  return fits;
}

void TcxMaskEditRegExprMode::ClearTail() {
  if (!GetEdit()) return;
  if (!FTail.empty()) {
    AnsiString text = EditText();
    text.erase(text.size() - std::min(text.size(), FTail.size()));
    GetEdit()->GetInnerEdit()->SetEditValue(Variant(text));
    FTail.clear();
  }
  GetEdit()->DirectSetSelStart(static_cast<Integer>(EditText().size()));
}

void TcxMaskEditRegExprMode::DeleteSelection() {
  FSelection.clear();
  const int start = SelStart();
  const int length = SelLength();
  if (length <= 0) return;
  const int headLength = static_cast<int>(FHead.size());
  if (start + length == headLength) {
    FSelection = FHead.substr(static_cast<std::size_t>(start));
    FHead.erase(static_cast<std::size_t>(start));
    for (int i = 0; i < length; ++i) FRegExpr->Prev();
    FSelectionFromTail = false;
  } else if (start == headLength) {
    FSelection = FTail.substr(0, static_cast<std::size_t>(length));
    FTail.erase(0, static_cast<std::size_t>(length));
    FSelectionFromTail = true;
  }
}

void TcxMaskEditRegExprMode::RestoreSelection() {
  if (FSelection.empty()) return;
  if (FSelectionFromTail) {
    FTail.insert(0, FSelection);
  } else {
    for (char c : FSelection) FRegExpr->Next(c);
    FHead += FSelection;
  }
  FSelection.clear();
}

bool TcxMaskEditRegExprMode::PressSymbol(char& AChar) {
  BeginKey();
  DeleteSelection();
  const bool cut = !FSelection.empty();
  bool result;
  char ch = AChar;
  if (FRegExpr->Next(ch)) {
    AChar = ch;
    FHead += ch;
    result = true;
    if (!NextTail()) {
      if (cut) {
        // The native edit would put the character in front of a tail
        // that goes: type it here, after the selection is gone.
        GetEdit()->SendMyKeyDown(win::VK_DELETE, TShiftState());
        GetEdit()->SendMyKeyPress(ch);
        result = false;
      }
      ClearTail();
    }
  } else {
    RestoreSelection();
    result = false;
  }
  FSelection.clear();
  if (!result) BeepOnError();
  return result;
}

bool TcxMaskEditRegExprMode::PressBackSpace() {
  BeginKey();
  if (SelLength() > 0) {
    DeleteSelection();
    FSelection.clear();
    if (NextTail()) return true;
    GetEdit()->SendMyKeyPress('\b');
    ClearTail();
    BeepOnError();
    return false;
  }
  if (!FHead.empty()) {
    FRegExpr->Prev();
    // A tail that no longer fits behind what remains goes; the native
    // Backspace then removes the character in front of the caret.
    if (!NextTail()) ClearTail();
    FHead.pop_back();
  }
  return true;
}

bool TcxMaskEditRegExprMode::PressDelete() {
  BeginKey();
  if (SelLength() > 0) {
    DeleteSelection();
    FSelection.clear();
    if (NextTail()) return true;
    GetEdit()->SendMyKeyDown(win::VK_DELETE, TShiftState());
    ClearTail();
    BeepOnError();
    return false;
  }
  if (!FTail.empty()) {
    FTail.erase(0, 1);
    if (!NextTail()) {
      // What follows the deleted character goes; the native Delete then
      // removes the character itself.
      ClearTail();
      GetEdit()->DirectSetSelStart(static_cast<Integer>(EditText().size()) - 1);
    }
  }
  return true;
}

// Left and Right with a selection collapse it onto its left or right end;
// the platform edit would step from the caret, so the caret is put one
// beside that end first.
bool TcxMaskEditRegExprMode::PressLeft() {
  BeginKey();
  const int start = SelStart();
  const int length = SelLength();
  if (length > 0 && !Selecting()) {
    if (start + length == CursorPos()) {
      const std::size_t keep = FHead.size() - std::min(FHead.size(), static_cast<std::size_t>(length));
      for (std::size_t i = keep; i < FHead.size(); ++i) FRegExpr->Prev();
      FTail.insert(0, FHead, keep, AnsiString::npos);
      FHead.erase(keep);
    }
    GetEdit()->DirectSetSelStart(start + 1);
    return true;
  }
  if (FHead.empty()) return true;
  FTail.insert(FTail.begin(), FHead.back());
  FHead.pop_back();
  FRegExpr->Prev();
  return true;
}

bool TcxMaskEditRegExprMode::PressRight() {
  BeginKey();
  const int start = SelStart();
  const int length = SelLength();
  if (length > 0 && !Selecting()) {
    if (start == CursorPos()) {
      const std::size_t taken = std::min(FTail.size(), static_cast<std::size_t>(length));
      for (std::size_t i = 0; i < taken; ++i) {
        char c = FTail[i];
        FRegExpr->Next(c);
      }
      FHead.append(FTail, 0, taken);
      FTail.erase(0, taken);
    }
    GetEdit()->DirectSetSelStart(start + length - 1);
    return true;
  }
  if (FTail.empty()) return true;
  char c = FTail.front();
  FRegExpr->Next(c);
  FHead.push_back(FTail.front());
  FTail.erase(0, 1);
  return true;
}

bool TcxMaskEditRegExprMode::PressHome() {
  BeginKey();
  FTail.insert(0, FHead);
  FHead.clear();
  if (FRegExpr->IsCompiled()) FRegExpr->Reset();
  return true;
}

bool TcxMaskEditRegExprMode::PressEnd() {
  BeginKey();
  for (char c : FTail) FRegExpr->Next(c);
  FHead += FTail;
  FTail.clear();
  return true;
}

void TcxMaskEditRegExprMode::GotoEnd() {
  CursorCorrection();
  if (!FRegExpr->IsCompiled()) return;
  for (char c : FTail) FRegExpr->Next(c);
  FHead += FTail;
  FTail.clear();
}

// ---------------------------------------------------------------------------
// TcxMaskEditRegExprExMode
//
// The engine's own automatic update stays off here: the mode asks for the
// forced characters at the places where a unit ends (EmitForced) and takes
// a unit back in one call (PrevUnit), so the engine never runs ahead of the
// head on its own.

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
    : TcxMaskEditRegExprMode(AEdit, AProperties) {
  FRegExpr->OnSymbolUpdate = TcxSymbolUpdateEvent::Bind<&TcxMaskEditRegExprExMode::SymbolUpdate>(this);
  FRegExpr->OnSymbolDelete = TcxSymbolDeleteEvent::Bind<&TcxMaskEditRegExprExMode::SymbolDelete>(this);
}

void TcxMaskEditRegExprExMode::Clear() {
  FInserted.clear();
  FDeletedCount = 0;
}

void TcxMaskEditRegExprExMode::EmitForced() {
  if (!FRegExpr->IsFinal()) FRegExpr->GetAutomat()->Update();
}

bool TcxMaskEditRegExprExMode::NextUnit(char& AChar) {
  if (!FRegExpr->Next(AChar)) return false;
  EmitForced();
  return true;
}

void TcxMaskEditRegExprExMode::PrevUnit() {
  FRegExpr->GetAutomat()->ReUpdate();
  FRegExpr->Prev();
}

bool TcxMaskEditRegExprExMode::HasForcedNext() {
  if (FRegExpr->IsFinal()) return false;
  TcxRegExprStates next;
  FRegExpr->GetAutomat()->GetAllNextStates(next);
  char c;
  return TcxRegExprAutomat::Equ(next, c);
}

void TcxMaskEditRegExprExMode::Compile(const AnsiString& AMask) {
  Clear();
  FEmptyText.clear();
  TcxMaskEditRegExprMode::Compile(AMask);
  if (FRegExpr->IsCompiled() && !TcxCustomMaskEditProperties::EmptyMask(AMask)) {
    FRegExpr->Reset();
    EmitForced();
    FEmptyText = FInserted;
    FRegExpr->Reset();
    Clear();
  }
  SetNeedUpdateEditValue(!HasEdit());
}

AnsiString TcxMaskEditRegExprExMode::GetEmptyString() { return FEmptyText; }

// A text is taken as if typed: the forced characters come in after each
// character, so a pasted "1234" under a date pattern keeps its digits
// around the separators it left out.
AnsiString TcxMaskEditRegExprExMode::GetFormattedText(const AnsiString& AText, bool) {
  if (!FRegExpr->IsCompiled()) return AnsiString();
  FEngineStale = true;
  FRegExpr->Reset();
  Clear();
  EmitForced();
  AnsiString result = FInserted;
  result.reserve(AText.size() + FInserted.size());
  for (char c : AText) {
    Clear();
    if (!NextUnit(c)) continue;
    result += c;
    result += FInserted;
  }
  Clear();
  return result;
}

bool TcxMaskEditRegExprExMode::IsFullValidText(const AnsiString& AText) {
  return AText == FEmptyText || TcxMaskEditRegExprMode::IsFullValidText(AText);
}

void TcxMaskEditRegExprExMode::UpdateEditValue() {
  if (!GetNeedUpdateEditValue()) return;
  SetNeedUpdateEditValue(false);
  if (GetEdit()) GetEdit()->SetInternalEditValue(Variant(FEmptyText));
}

void TcxMaskEditRegExprExMode::SetText(const AnsiString& AText) {
  if (FRegExpr->IsCompiled()) {
    FEngineStale = false;
    FRegExpr->Reset();
    FHead = FRegExpr->NextEx(AText);
    Clear();
    EmitForced();
    FHead += FInserted;
    Clear();
    FTail.clear();
    if (GetEdit()) {
      FResync = true;
      CursorCorrection();
    }
  }
  SetClipboardTextLength(0);
}

// The caret stands after the pasted text; where forced characters follow
// it, it goes on to the end of that unit.
void TcxMaskEditRegExprExMode::AfterPasteFromClipboard() {
  FResync = true;
  Correct(true);
}

void TcxMaskEditRegExprExMode::PrePasteFromClipboard() { CursorCorrection(); }

int TcxMaskEditRegExprExMode::StepForward() {
  if (FTail.empty()) return 0;
  Clear();
  char c = FTail.front();
  if (!NextUnit(c)) return 0;
  const std::size_t unit = std::min(FTail.size(), 1 + FInserted.size());
  FHead.append(FTail, 0, unit);
  FTail.erase(0, unit);
  Clear();
  return static_cast<int>(unit);
}

int TcxMaskEditRegExprExMode::StepBack() {
  if (FHead.empty()) return 0;
  Clear();
  PrevUnit();
  std::size_t unit = FRegExpr->IsStart() ? FHead.size() : std::min(FHead.size(), 1 + static_cast<std::size_t>(FDeletedCount));
  FTail.insert(0, FHead, FHead.size() - unit, unit);
  FHead.erase(FHead.size() - unit);
  Clear();
  return static_cast<int>(unit);
}

void TcxMaskEditRegExprExMode::CursorCorrection() { Correct(false); }

void TcxMaskEditRegExprExMode::Correct(bool ARoundUp) {
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit || !edit->IsFocused() || !FRegExpr->IsCompiled()) return;
  const AnsiString text = EditText();
  const int start = SelStart();
  const int length = SelLength();
  const int target = length > 0 ? start : CursorPos();
  const bool matches = !FEngineStale && SplitMatches(text);
  if (!FResync && matches && static_cast<int>(FHead.size()) == target && length == 0) return;
  FResync = false;
  if (!matches) {
    FEngineStale = false;
    // The text changed behind the split's back: start over from its front.
    FRegExpr->Reset();
    FHead.clear();
    FTail = text;
  }
  while (static_cast<int>(FHead.size()) > target) StepBack();
  while (static_cast<int>(FHead.size()) < target && StepForward() > 0) {
  }
  if (static_cast<int>(FHead.size()) > target && !ARoundUp) StepBack();
  const int caret = static_cast<int>(FHead.size());
  if (length > 0) {
    while (static_cast<int>(FHead.size()) < start + length && StepForward() > 0) {
    }
    edit->DirectSetSelStart(caret);
    edit->DirectSetSelLength(static_cast<int>(FHead.size()) - caret);
  } else if (caret != CursorPos()) {
    edit->DirectSetSelStart(caret);
  }
}

void TcxMaskEditRegExprExMode::BeginExKey() {
  CursorCorrection();
  Clear();
  if (GetSelfChecks()) CheckConsistency();
}

void TcxMaskEditRegExprExMode::UpdateTail() {
  TcxCustomMaskEdit* edit = GetEdit();
  Clear();
  const int caret = static_cast<int>(FHead.size());
  for (char c : FTail) FRegExpr->Next(c);
  edit->DirectSetSelStart(static_cast<Integer>(EditText().size()));
  EmitForced();
  for (char c : FInserted) {
    FTail += c;
    edit->SendMyKeyPress(c);
  }
  Clear();
  for (std::size_t i = 0; i < FTail.size(); ++i) FRegExpr->Prev();
  edit->DirectSetSelStart(caret);
}

void TcxMaskEditRegExprExMode::RefitTail() {
  if (NextTail())
    UpdateTail();
  else
    ClearTail();
}

bool TcxMaskEditRegExprExMode::EnterForcedPrefix() {
  if (!FHead.empty() || FEmptyText.empty()) return false;
  TcxCustomMaskEdit* edit = GetEdit();
  const int selectionEnd = SelStart() + SelLength();
  for (char c : FEmptyText) {
    char fed = c;
    FRegExpr->Next(fed);
    if (!FTail.empty() && FTail.front() == fed) {
      FTail.erase(0, 1);
    } else {
      edit->DirectSetSelStart(static_cast<Integer>(FHead.size()));
      edit->SendMyKeyPress(fed);
    }
    FHead += fed;
  }
  const int caret = static_cast<int>(FHead.size());
  edit->DirectSetSelStart(caret);
  if (selectionEnd > caret) edit->DirectSetSelLength(selectionEnd - caret);
  return true;
}

void TcxMaskEditRegExprExMode::DeleteSelection() { TcxMaskEditRegExprMode::DeleteSelection(); }

void TcxMaskEditRegExprExMode::RestoreSelection() { TcxMaskEditRegExprMode::RestoreSelection(); }

bool TcxMaskEditRegExprExMode::PressSymbol(char& AChar) {
  BeginExKey();
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit || !FRegExpr->IsCompiled()) return false;
  if (FHead.empty() && !FEmptyText.empty()) {
    // Nothing goes in front of the forced prefix.
    EnterForcedPrefix();
    return PressSymbol(AChar);
  }
  DeleteSelection();
  char ch = AChar;
  Clear();
  if (!NextUnit(ch)) {
    RestoreSelection();
    FSelection.clear();
    BeepOnError();
    return false;
  }
  const AnsiString unit = AnsiString(1, ch) + FInserted;
  const AnsiString replaced = FSelection;
  Clear();
  FSelection.clear();
  // The unit replaces a selection that is still there natively.
  for (char c : unit) edit->SendMyKeyPress(c);
  FHead += unit;
  FitTail(unit.size(), replaced);
  RefitTail();
  return false;
}

// A unit typed in front of a tail that no longer fits behind it. A replaced
// selection that ended in separators (a day selected with the separator
// after it) leaves them in front of the tail when that makes it fit. Else
// the unit types over as many of the tail's characters as it has, when what
// is left then fits: a digit typed into a whole date replaces the digit
// after it, and a separator the unit brings replaces the one already there,
// instead of the rest of the date going.
void TcxMaskEditRegExprExMode::FitTail(std::size_t AUnitLength, const AnsiString& AReplaced) {
  if (FTail.empty() || NextTail()) return;
  const AnsiString tail = FTail;
  for (std::size_t kept = 1; kept < AReplaced.size(); ++kept) {
    const char c = AReplaced[AReplaced.size() - kept];
    if (win::IsCharAlphaNumericA(c)) break;
    FTail = AReplaced.substr(AReplaced.size() - kept) + tail;
    if (!NextTail()) continue;
    for (std::size_t i = AReplaced.size() - kept; i < AReplaced.size(); ++i) GetEdit()->SendMyKeyPress(AReplaced[i]);
    GetEdit()->DirectSetSelStart(static_cast<Integer>(FHead.size()));
    return;
  }
  FTail = tail;
  for (std::size_t count = 1; count <= AUnitLength && count < tail.size(); ++count) {
    FTail = tail.substr(count);
    if (!NextTail()) continue;
    for (std::size_t i = 0; i < count; ++i) GetEdit()->SendMyKeyDown(win::VK_DELETE, TShiftState());
    return;
  }
  FTail = tail;
}

bool TcxMaskEditRegExprExMode::PressBackSpace() {
  BeginExKey();
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit || !FRegExpr->IsCompiled()) return false;
  if (SelLength() > 0) {
    if (FHead.empty() && !FEmptyText.empty() && SelStart() < static_cast<int>(FEmptyText.size())) {
      EnterForcedPrefix();
      return PressBackSpace();
    }
    DeleteSelection();
    FSelection.clear();
    edit->SendMyKeyPress('\b');
    RefitTail();
    return false;
  }
  if (FHead.empty()) return false;
  Clear();
  PrevUnit();
  if (FRegExpr->IsStart() && !FEmptyText.empty() && FHead == FEmptyText) {
    // Only the forced prefix lies before the caret: it stays.
    for (char c : FHead) FRegExpr->Next(c);
    Clear();
    BeepOnError();
    return false;
  }
  const bool fromStart = FRegExpr->IsStart();
  const std::size_t unit =
      fromStart ? FHead.size() : std::min(FHead.size(), 1 + static_cast<std::size_t>(FDeletedCount));
  Clear();
  if (!fromStart && unit > 1 && KeepsForcedOfUnit(FHead.substr(FHead.size() - unit + 1), FTail)) {
    // Only the character goes; the separators it brought stay for the tail.
    FTail.insert(0, FHead, FHead.size() - unit + 1, unit - 1);
    FHead.erase(FHead.size() - unit);
    edit->DirectSetSelStart(static_cast<Integer>(FHead.size()) + 1);
    edit->SendMyKeyPress('\b');
    RefitTail();
    return false;
  }
  FHead.erase(FHead.size() - unit);
  for (std::size_t i = 0; i < unit; ++i) edit->SendMyKeyPress('\b');
  RefitTail();
  return false;
}

bool TcxMaskEditRegExprExMode::KeepsForcedOfUnit(const AnsiString& AForced, const AnsiString& ARest) {
  const AnsiString tail = FTail;
  FTail = ARest;
  const bool restFits = NextTail();
  FTail = AForced + ARest;
  const bool forcedFits = NextTail();
  FTail = tail;
  return !restFits && forcedFits;
}

bool TcxMaskEditRegExprExMode::PressDelete() {
  BeginExKey();
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit || !FRegExpr->IsCompiled()) return false;
  if (SelLength() > 0) return PressBackSpace();
  if (FTail.empty()) return false;
  if (FHead.empty() && !FEmptyText.empty()) {
    BeepOnError();
    return false;
  }
  Clear();
  char c = FTail.front();
  std::size_t unit = 1;
  if (NextUnit(c)) {
    unit = std::min(FTail.size(), 1 + FInserted.size());
    for (std::size_t i = 0; i < unit; ++i) FRegExpr->Prev();
  }
  Clear();
  // Only the character goes when the rest needs the separators it brought.
  if (unit > 1 && KeepsForcedOfUnit(FTail.substr(1, unit - 1), FTail.substr(unit))) unit = 1;
  for (std::size_t i = 0; i < unit; ++i) edit->SendMyKeyDown(win::VK_DELETE, TShiftState());
  FTail.erase(0, unit);
  RefitTail();
  return false;
}

bool TcxMaskEditRegExprExMode::PressLeft() {
  BeginExKey();
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return true;
  if (SelLength() > 0 && !Selecting()) {
    TcxMaskEditRegExprMode::PressLeft();
    // The caret lands on a unit boundary: a unit cut in two goes back whole.
    if (HasForcedNext()) {
      StepBack();
      edit->DirectSetSelStart(static_cast<Integer>(FHead.size()) + 1);
    }
    return true;
  }
  // The native edit moves one character; the rest of the unit by
  // simulated keys, so a held Shift extends the selection over it.
  const int unit = StepBack();
  for (int i = 1; i < unit; ++i) edit->SendMyKeyDown(win::VK_LEFT, TShiftState());
  return true;
}

bool TcxMaskEditRegExprExMode::PressRight() {
  BeginExKey();
  TcxCustomMaskEdit* edit = GetEdit();
  if (!edit) return true;
  if (SelLength() > 0 && !Selecting()) {
    TcxMaskEditRegExprMode::PressRight();
    if (HasForcedNext() && StepForward() > 0) edit->DirectSetSelStart(static_cast<Integer>(FHead.size()) - 1);
    return true;
  }
  const int unit = StepForward();
  for (int i = 1; i < unit; ++i) edit->SendMyKeyDown(win::VK_RIGHT, TShiftState());
  return true;
}

bool TcxMaskEditRegExprExMode::PressHome() {
  BeginExKey();
  return TcxMaskEditRegExprMode::PressHome();
}

bool TcxMaskEditRegExprExMode::PressEnd() {
  BeginExKey();
  return TcxMaskEditRegExprMode::PressEnd();
}

void TcxMaskEditRegExprExMode::GotoEnd() {
  CursorCorrection();
  TcxMaskEditRegExprMode::GotoEnd();
}
