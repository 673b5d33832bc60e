#include "library/editors/core/cxInnerTextEdit.h"

#include <algorithm>
#include <cctype>

#include "library/editors/core/cxTextEdit.h"
#include "platform/controls/EditControl.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/BinarySearch.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Caret.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxCustomInnerTextEditHelper)
ORV_REGISTER(TcxCustomInnerTextEdit)

// --- unit routines -----------------------------------------------------------------------

void SaveTextEditState(TCustomEdit* AEdit, bool ASaveText, TcxCustomInnerTextEditPrevState& APrevState) {
  APrevState.IsPrevTextSaved = ASaveText;
  if (ASaveText) APrevState.PrevText = AEdit->GetText();
  if (!AEdit->HandleAllocated()) return;
  APrevState.PrevSelLength = AEdit->GetSelLength();
  APrevState.PrevSelStart = AEdit->GetSelStart();
}

bool CheckTextEditState(TCustomEdit* AEdit, const TcxCustomInnerTextEditPrevState& APrevState) {
  if (!AEdit->HandleAllocated()) return true;
  if (AEdit->GetSelStart() != APrevState.PrevSelStart || AEdit->GetSelLength() != APrevState.PrevSelLength)
    return true;
  if (!APrevState.IsPrevTextSaved) return false;
  return !AnsiSameText(AEdit->GetText(), APrevState.PrevText);
}

// --- the companion ------------------------------------------------------------------------

TcxCustomInnerTextEditHelper::TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* AEdit)
    : TcxInterfacedPersistent(AEdit), FEdit(AEdit) {}

TWinControl* TcxCustomInnerTextEditHelper::GetControl() { return FEdit; }

TcxContainer* TcxCustomInnerTextEditHelper::GetControlContainer() { return FEdit->GetContainer(); }

LRESULT TcxCustomInnerTextEditHelper::CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return CallWindowProcA(FEdit->GetDefWndProc(), FEdit->GetHandle(), Msg, WParam, LParam);
}

Variant TcxCustomInnerTextEditHelper::GetEditValue() { return Variant(FEdit->GetText()); }

TNotifyEvent TcxCustomInnerTextEditHelper::GetOnChange() { return FEdit->OnChange; }

bool TcxCustomInnerTextEditHelper::GetReadOnly() { return FEdit->GetReadOnly(); }

void TcxCustomInnerTextEditHelper::LockBounds(bool ALock) {
  if (ALock)
    ++FEdit->FLockBoundsCount;
  else if (FEdit->FLockBoundsCount > 0)
    --FEdit->FLockBoundsCount;
}

void TcxCustomInnerTextEditHelper::SafelySetFocus() {
  const bool autoSelect = FEdit->GetAutoSelect();
  FEdit->SetAutoSelect(false);
  orv::ScopeExit restore([this, autoSelect] { FEdit->SetAutoSelect(autoSelect); });
  FEdit->SetFocus();
}

void TcxCustomInnerTextEditHelper::SetEditValue(const Variant& Value) {
  const AnsiString text = VarToStr(Value);
  // At design time nothing types into the edit: a text that differs only
  // in letter case would go unnoticed otherwise.
  const bool notify = FEdit->GetComponentState().Contains(csDesigning) && FEdit->GetText() != text &&
                      AnsiUpperCase(FEdit->GetText()) == AnsiUpperCase(text);
  FEdit->SetText(text);
  if (notify && FEdit->OnChange) FEdit->OnChange(FEdit);
}

void TcxCustomInnerTextEditHelper::SetParent(TWinControl* Value) { FEdit->SetParent(Value); }

void TcxCustomInnerTextEditHelper::SetOnChange(TNotifyEvent Value) { FEdit->OnChange = Value; }

void TcxCustomInnerTextEditHelper::SetReadOnly(bool Value) { FEdit->SetReadOnly(Value); }

void TcxCustomInnerTextEditHelper::ClearSelection() { FEdit->ClearSelection(); }

void TcxCustomInnerTextEditHelper::CopyToClipboard() { FEdit->CopyToClipboard(); }

TAlignment TcxCustomInnerTextEditHelper::GetAlignment() { return FEdit->GetAlignment(); }

bool TcxCustomInnerTextEditHelper::GetAutoSelect() { return FEdit->GetAutoSelect(); }

TEditCharCase TcxCustomInnerTextEditHelper::GetCharCase() { return FEdit->GetCharCase(); }

TcxEditEchoMode TcxCustomInnerTextEditHelper::GetEchoMode() { return FEdit->GetEchoMode(); }

bool TcxCustomInnerTextEditHelper::GetHideSelection() { return FEdit->GetHideSelection(); }

char TcxCustomInnerTextEditHelper::GetImeLastChar() { return FEdit->GetImeLastChar(); }

TImeMode TcxCustomInnerTextEditHelper::GetImeMode() { return FEdit->GetImeMode(); }

TImeName TcxCustomInnerTextEditHelper::GetImeName() { return FEdit->GetImeName(); }

bool TcxCustomInnerTextEditHelper::GetInternalUpdating() { return FEdit->GetInternalUpdating(); }

Integer TcxCustomInnerTextEditHelper::GetMaxLength() { return FEdit->GetMaxLength(); }

bool TcxCustomInnerTextEditHelper::GetOEMConvert() { return FEdit->GetOEMConvert(); }

TNotifyEvent TcxCustomInnerTextEditHelper::GetOnSelChange() { return FEdit->OnSelChange; }

char TcxCustomInnerTextEditHelper::GetPasswordChar() { return FEdit->GetPasswordChar(); }

Integer TcxCustomInnerTextEditHelper::GetSelLength() {
  if (FEdit->IsImeCharPending()) return FSaveSelLength;
  return FEdit->HandleAllocated() ? FEdit->GetSelLength() : 0;
}

Integer TcxCustomInnerTextEditHelper::GetSelStart() {
  if (FEdit->IsImeCharPending()) return FSaveSelStart;
  return FEdit->HandleAllocated() ? FEdit->GetSelStart() : 0;
}

AnsiString TcxCustomInnerTextEditHelper::GetSelText() {
  return FEdit->HandleAllocated() ? FEdit->GetSelText() : AnsiString();
}

void TcxCustomInnerTextEditHelper::SelectAll() {
  if (FEdit->HandleAllocated()) FEdit->SelectAll();
}

void TcxCustomInnerTextEditHelper::SetAlignment(TAlignment Value) {
  auto* container = FEdit->GetContainer();
  if (container && container->GetActiveProperties()->GetUseLeftAlignmentOnEditing()) Value = taLeftJustify;
  FEdit->SetAlignment(Value);
}

void TcxCustomInnerTextEditHelper::SetAutoSelect(bool Value) { FEdit->SetAutoSelect(Value); }

void TcxCustomInnerTextEditHelper::SetCharCase(TEditCharCase Value) { FEdit->SetCharCase(Value); }

void TcxCustomInnerTextEditHelper::SetEchoMode(TcxEditEchoMode Value) { FEdit->SetEchoMode(Value); }

void TcxCustomInnerTextEditHelper::SetHideSelection(bool Value) { FEdit->SetHideSelection(Value); }

void TcxCustomInnerTextEditHelper::SetInternalUpdating(bool Value) { FEdit->SetInternalUpdating(Value); }

void TcxCustomInnerTextEditHelper::SetImeMode(TImeMode Value) { FEdit->SetImeMode(Value); }

void TcxCustomInnerTextEditHelper::SetImeName(const TImeName& Value) { FEdit->SetImeName(Value); }

void TcxCustomInnerTextEditHelper::SetMaxLength(Integer Value) { FEdit->SetMaxLength(Value); }

void TcxCustomInnerTextEditHelper::SetOEMConvert(bool Value) { FEdit->SetOEMConvert(Value); }

void TcxCustomInnerTextEditHelper::SetOnSelChange(TNotifyEvent Value) { FEdit->OnSelChange = Value; }

void TcxCustomInnerTextEditHelper::SetPasswordChar(char Value) { FEdit->SetPasswordChar(Value); }

void TcxCustomInnerTextEditHelper::SetSelLength(Integer Value) {
  if (FEdit->IsImeCharPending())
    FSaveSelLength = Value;
  else if (FEdit->HandleAllocated())
    FEdit->SetSelLength(Value);
}

void TcxCustomInnerTextEditHelper::SetSelStart(Integer Value) {
  if (FEdit->IsImeCharPending())
    FSaveSelStart = Value;
  else if (FEdit->HandleAllocated())
    FEdit->SetSelStart(Value);
}

void TcxCustomInnerTextEditHelper::SetSelText(const AnsiString& Value) {
  if (FEdit->HandleAllocated()) FEdit->SetSelText(Value);
}

// --- the edit ------------------------------------------------------------------------------

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  FIsCreating = true;
  FHelper = New<TcxCustomInnerTextEditHelper>(this);
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(true);
  SetParentFont(false);
  FAlignment = taLeftJustify;
  FInternalUpdating = false;
  FEchoMode = eemNormal;
  UpdateEchoMode();
  FIsCreating = false;
}

TcxCustomInnerTextEdit::~TcxCustomInnerTextEdit() { FreeAndNil(FHelper); }

TcxCustomTextEdit* TcxCustomInnerTextEdit::GetContainer() const {
  return dynamic_cast<TcxCustomTextEdit*>(const_cast<TcxCustomInnerTextEdit*>(this)->GetOwner());
}

IcxCustomInnerEdit* TcxCustomInnerTextEdit::GetHelper() { return FHelper; }

TcxContainer* TcxCustomInnerTextEdit::GetControlContainer() { return GetContainer(); }

void TcxCustomInnerTextEdit::WndProc(TMessage& Message) {
  if (TcxContainer* container = GetControlContainer(); container && container->InnerControlMenuHandler(Message)) return;
  inherited::WndProc(Message);
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& Message) {
  if (TcxContainer* container = GetControlContainer(); container && container->InnerControlDefaultHandler(Message))
    return;
  inherited::DefaultHandler(Message);
}

bool TcxCustomInnerTextEdit::CanFocus() {
  TcxCustomTextEdit* container = GetContainer();
  return container ? container->CanFocus() : inherited::CanFocus();
}

void TcxCustomInnerTextEdit::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FIsCreating || FLockBoundsCount > 0) return;
  TcxCustomTextEdit* container = GetContainer();
  if (container) container->LockAlignControls(true);
  orv::ScopeExit unlock([container] {
    if (container) container->LockAlignControls(false);
  });
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TcxCustomInnerTextEdit::ExecuteAction(TBasicAction* Action) {
  if (inherited::ExecuteAction(Action)) return true;
  TcxCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->ExecuteAction(Action);
}

bool TcxCustomInnerTextEdit::UpdateAction(TBasicAction* Action) {
  if (inherited::UpdateAction(Action)) return true;
  TcxCustomTextEdit* container = GetContainer();
  return container && container->GetDataBinding()->UpdateAction(Action);
}

// The caret's x against the x of each character, halving the range: the
// edit answers where a character is drawn, not which one the caret is at.
Integer TcxCustomInnerTextEdit::GetCursorPos() {
  const Integer length = static_cast<Integer>(GetText().size());
  if (length == 0 || !HandleAllocated()) return 0;
  POINT caret{};
  GetCaretPos(&caret);
  auto xOf = [this](Integer I) {
    return static_cast<int16_t>(LOWORD(SendMessageA(GetHandle(), EM_POSFROMCHAR, static_cast<WPARAM>(I), 0)));
  };
  // The caret stands at one end of the selection. Those two positions are
  // asked first: character positions come back as 16-bit coordinates, so
  // in a text wider than 32,767 pixels the ones far from the visible part
  // wrap and would mislead the search below.
  DWORD selStart = 0, selEnd = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  for (const DWORD end : {selEnd, selStart}) {
    const Integer pos = static_cast<Integer>(end);
    if (pos < length && xOf(pos) == caret.X) return pos;
    if (pos == length && (length == 0 || xOf(length - 1) < caret.X)) return pos;
  }
  // Halving between the first and the last character, which stand for the
  // text's two ends: the first one right of the caret, and the one before.
  const Integer past = orv::BinarySearch(Integer(1), std::max(length - 1, 1),
                                         [&](Integer I) { return xOf(I) > caret.X ? 1 : -1; }).Index;
  const Integer lo = past - 1;
  const Integer hi = std::min(past, length - 1);
  if (xOf(lo) == caret.X) return lo;
  if (xOf(hi) == caret.X) return hi;
  return hi + 1;
}

void TcxCustomInnerTextEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  TCustomEdit::SetAlignment(Value);
}

void TcxCustomInnerTextEdit::SetEchoMode(TcxEditEchoMode Value) {
  if (FEchoMode == Value) return;
  FEchoMode = Value;
  UpdateEchoMode();
}

void TcxCustomInnerTextEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (FEchoMode == eemPassword) UpdateEchoMode();
}

void TcxCustomInnerTextEdit::UpdateEchoMode() {
  const char echo = FEchoMode == eemNormal ? '\0' : (FPasswordChar ? FPasswordChar : '*');
  TCustomEdit::SetPasswordChar(echo);
  if (HandleAllocated()) Invalidate();
}

void TcxCustomInnerTextEdit::AdjustMargins() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 1));
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~(ES_LEFT | ES_CENTER | ES_RIGHT | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  Params.Style |= ES_AUTOHSCROLL;
  if (FAlignment == taCenter)
    Params.Style |= ES_CENTER;
  else if (FAlignment == taRightJustify)
    Params.Style |= ES_RIGHT;
}

void TcxCustomInnerTextEdit::CreateHandle() {
  if (TcxCustomTextEdit* container = GetContainer()) container->ClearSavedChildControlRegions();
  inherited::CreateHandle();
}

void TcxCustomInnerTextEdit::CreateWnd() {
  inherited::CreateWnd();
  AdjustMargins();
}

void TcxCustomInnerTextEdit::Click() {
  inherited::Click();
  if (TcxCustomTextEdit* container = GetContainer()) container->Click();
}

void TcxCustomInnerTextEdit::DblClick() {
  inherited::DblClick();
  if (TcxCustomTextEdit* container = GetContainer()) container->DblClick();
}

// ---- keys ----

void TcxCustomInnerTextEdit::KeyDown(Word& Key, TShiftState Shift) {
  FInternalUpdating = false;
  TcxCustomTextEdit* container = GetContainer();
  if (container) container->KeyDown(Key, Shift);
  if (Key == 0)
    FInternalUpdating = true;
  else
    inherited::KeyDown(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  FInternalUpdating = false;
  TcxCustomTextEdit* container = GetContainer();
  if (container) container->KeyUp(Key, Shift);
  if (Key == 0)
    FInternalUpdating = true;
  else
    inherited::KeyUp(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& Key) {
  FInternalUpdating = false;
  if (Key == '\t') Key = 0;
  TcxCustomTextEdit* container = GetContainer();
  if (container) {
    container->KeyPress(Key);
    if (Key == '\r' || Key == '\x1B') {
      // Enter and Esc belong to the grid in place and to a popup that they
      // just closed; a stand-alone editor lets the platform edit beep at
      // Enter only when asked to.
      if (container->IsInplace() || container->FPopupClosingKey ||
          (Key == '\r' && !container->GetBeepOnEnter())) {
        container->FPopupClosingKey = false;
        Key = 0;
      }
    }
  }
  if (Key == 0)
    FInternalUpdating = true;
  else
    inherited::KeyPress(Key);
}

void TcxCustomInnerTextEdit::WMKeyDown(TMessage& Message) {
  // An open popup's list takes the keys it calls its own first.
  if (TcxCustomTextEdit* container = GetContainer(); container && container->HasPopupWindow()) {
    const Word key = static_cast<Word>(Message.WParam);
    IcxTextEditLookupData* lookup = container->GetILookupData();
    TWinControl* list = lookup ? lookup->GetActiveControl() : nullptr;
    if (container->GetActiveProperties()->IsPopupKey(key, KeyDataToShiftState(Message.LParam)) && list &&
        list->HandleAllocated() &&
        SendMessageA(list->GetHandle(), WM_KEYDOWN, Message.WParam, Message.LParam) == 0)
      return;
  }
  TcxCustomInnerTextEditPrevState state;
  SaveTextEditState(this, true, state);
  FInternalUpdating = false;
  DispatchFrom(inherited::StaticClass(), Message);
  if (FInternalUpdating || CheckTextEditState(this, state)) return;
  TcxCustomTextEdit* container = GetContainer();
  if (!container) return;
  Word key = static_cast<Word>(Message.WParam);
  container->DoAfterKeyDown(key, KeyDataToShiftState(Message.LParam));
}

void TcxCustomInnerTextEdit::WMChar(TMessage& Message) {
  TcxCustomInnerTextEditPrevState state;
  SaveTextEditState(this, true, state);
  FInternalUpdating = false;
  DispatchFrom(inherited::StaticClass(), Message);
  if (FImeCharCount > 0 && --FImeCharCount == 0) ImeCharArrived();
  TcxCustomTextEdit* container = GetContainer();
  if (!container) return;
  container->FLookupTextLock = false;
  if (!FInternalUpdating && CheckTextEditState(this, state)) container->SetFindSelection(false);
}

void TcxCustomInnerTextEdit::WMGetDlgCode(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  Message.Result |= DLGC_WANTCHARS;
  if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
  TcxCustomTextEdit* container = GetContainer();
  if (container && (container->IsInplace() || container->HasPopupWindow())) Message.Result |= DLGC_WANTALLKEYS;
}

// ---- IME ----

void TcxCustomInnerTextEdit::WMImeChar(TMessage& Message) {
  const auto code = static_cast<unsigned>(Message.WParam);
  if (code > 0xFF) {
    FImeCharCount = 2;
    FImeLastChar = static_cast<char>(code & 0xFF);
  } else {
    FImeCharCount = 1;
  }
  if (HandleAllocated()) {
    FHelper->FSaveSelStart = TCustomEdit::GetSelStart();
    FHelper->FSaveSelLength = TCustomEdit::GetSelLength();
  }
  DispatchFrom(inherited::StaticClass(), Message);
  // This platform's edit takes the character in at once, with no WM_CHAR
  // to follow: the character is no longer pending.
  if (FImeCharCount > 0) {
    FImeCharCount = 0;
    ImeCharArrived();
  }
}

void TcxCustomInnerTextEdit::ImeCharArrived() {
  TcxCustomTextEdit* container = GetContainer();
  if (!container || !container->GetFindSelection() || !HandleAllocated()) return;
  SetSelStart(FHelper->FSaveSelStart);
  SetSelLength(FHelper->FSaveSelLength);
}

void TcxCustomInnerTextEdit::WMImeComposition(TMessage& Message) {
  TcxCustomTextEdit* container = GetContainer();
  if (container && !container->DoEditing()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

// ---- clipboard ----

void TcxCustomInnerTextEdit::WMCut(TMessage&) {
  TcxCustomTextEdit* container = GetContainer();
  if (!container) return;
  auto user = orv::TempValue(container->FUserAction, true);
  if (container->RealReadOnly())
    container->CopyToClipboard();
  else
    container->CutToClipboard();
}

void TcxCustomInnerTextEdit::WMPaste(TMessage&) {
  TcxCustomTextEdit* container = GetContainer();
  if (!container || container->RealReadOnly()) return;
  auto user = orv::TempValue(container->FUserAction, true);
  container->PasteFromClipboard();
}

void TcxCustomInnerTextEdit::WMClear(TMessage&) {
  TcxCustomTextEdit* container = GetContainer();
  if (!container || container->RealReadOnly()) return;
  auto user = orv::TempValue(container->FUserAction, true);
  container->ClearSelection();
}

// ---- focus, size, selection ----

void TcxCustomInnerTextEdit::WMSetFocus(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  TcxCustomTextEdit* container = GetContainer();
  if (container && container->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) != container->GetHandle())
    container->FocusChanged();
}

void TcxCustomInnerTextEdit::WMKillFocus(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  TcxCustomTextEdit* container = GetContainer();
  if (!container || GetComponentState().Contains(csDestroying)) return;
  const HWND next = reinterpret_cast<HWND>(Message.WParam);
  const bool leaving = !(container->HandleAllocated() && next == container->GetHandle());
  auto losing = orv::TempValue(container->FInnerEditLosingFocus, leaving);
  container->FocusChanged();
}

void TcxCustomInnerTextEdit::WMSize(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  AdjustMargins();
}

void TcxCustomInnerTextEdit::EMSetSel(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (OnSelChange) OnSelChange(this);
}

// ---- mouse and drag ----

void TcxCustomInnerTextEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (TcxCustomTextEdit* container = GetContainer()) container->MouseDown(Button, Shift, X + GetLeft(), Y + GetTop());
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (TcxCustomTextEdit* container = GetContainer()) container->MouseMove(Shift, X + GetLeft(), Y + GetTop());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  if (TcxCustomTextEdit* container = GetContainer()) container->MouseUp(Button, Shift, X + GetLeft(), Y + GetTop());
}

// The editor takes the wheel: it scrolls its lookup items.
bool TcxCustomInnerTextEdit::DoMouseWheel(TShiftState, Integer, TPoint) { return false; }

void TcxCustomInnerTextEdit::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (TcxCustomTextEdit* container = GetContainer())
    container->DragOver(Source, X + GetLeft(), Y + GetTop(), State, Accept);
}

void TcxCustomInnerTextEdit::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (TcxCustomTextEdit* container = GetContainer()) container->DragDrop(Source, X + GetLeft(), Y + GetTop());
}

void TcxCustomInnerTextEdit::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (TcxCustomTextEdit* container = GetContainer()) container->ShortRefreshContainer(false);
}

bool TcxCustomInnerTextEdit::StartsEditorDrag() {
  TcxCustomTextEdit* container = GetContainer();
  if (!container || container->GetDragMode() != dmAutomatic || GetComponentState().Contains(csDesigning)) return false;
  container->BeginDrag(false);
  return true;
}

void TcxCustomInnerTextEdit::WMLButtonDown(TMessage& Message) {
  if (StartsEditorDrag()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxCustomInnerTextEdit::WMLButtonDblClk(TMessage& Message) {
  if (StartsEditorDrag()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}
