#include "library/editors/cxInnerMemoWindow.h"

#include "library/editors/cxMemo.h"
#include "platform/controls/RichEdit.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"

using namespace win;

namespace {

// A key step answers true when the editor consumed the key (the window then
// leaves it alone).
bool InnerMemoKeyDown(TcxCustomMemo* AMemo, TcxInnerMemoState& AState, Word& Key, TShiftState Shift) {
  AState.InternalUpdating = false;
  if (AMemo) AMemo->KeyDown(Key, Shift);
  if (Key == 0) AState.InternalUpdating = true;
  return Key == 0;
}

bool InnerMemoKeyUp(TcxCustomMemo* AMemo, TcxInnerMemoState& AState, TCustomMemo* AInner, Word& Key,
                    TShiftState Shift) {
  if (Key == VK_TAB && !AInner->GetWantTabs()) Key = 0;
  AState.InternalUpdating = false;
  if (AMemo) AMemo->KeyUp(Key, Shift);
  if (Key == 0) AState.InternalUpdating = true;
  return Key == 0;
}

// Tab without WantTabs and Ctrl+A are no characters; Ctrl+Enter is a line
// break unless, in a cell with WantReturns on, it was the cell's Enter. The
// break is a step of the window's undo history, as a typed one is, rather
// than the end of that history.
bool InnerMemoKeyPress(TcxCustomMemo* AMemo, TcxInnerMemoState& AState, TCustomMemo* AInner, char& Key) {
  AState.InternalUpdating = false;
  if (Key == '\t' && !AInner->GetWantTabs()) Key = 0;
  // Ctrl+A is the memo's select-all key, not a character.
  if (Key == '\x01') Key = 0;
  if (AMemo && Key != 0) AMemo->KeyPress(Key);
  if (Key == '\n') {
    if (AMemo && !(AMemo->IsInplace() && AInner->GetWantReturns()) && !AInner->GetReadOnly())
      SendMessageA(AInner->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\r\n"));
    Key = 0;
  } else if (Key == '\r' && AMemo && AMemo->IsInplace() && !AInner->GetWantReturns()) {
    Key = 0;
  }
  if (Key == 0) AState.InternalUpdating = true;
  return Key == 0;
}

// The dialog codes: characters, Tab unless Ctrl is held, every key in a
// cell or under a popup, none while Escape is being handled.
LRESULT InnerMemoDlgCode(TcxCustomMemo* AMemo, const TcxInnerMemoState& AState, LRESULT ACode) {
  ACode |= DLGC_WANTCHARS;
  if (GetKeyState(VK_CONTROL) >= 0) ACode |= DLGC_WANTTAB;
  if (AMemo && (AMemo->IsInplace() || AMemo->HasPopupWindow())) ACode |= DLGC_WANTALLKEYS;
  if (AState.EscapeDown) ACode &= ~LRESULT(DLGC_WANTALLKEYS);
  return ACode;
}

// The focus came or went: the editor hears it unless it is going, or the
// focus came from the editor's own window.
void InnerMemoFocusChanged(TcxCustomMemo* AMemo, TControl* AInner, HWND AFrom) {
  if (!AMemo || AInner->GetComponentState().Contains(csDestroying)) return;
  if (AFrom && AMemo->HandleAllocated() && AFrom == AMemo->GetHandle()) return;
  AMemo->FocusChanged();
}

// A press starts the editor's automatic dragging when it has it.
bool InnerMemoStartsDrag(TcxCustomMemo* AMemo, TControl* AInner) {
  if (!AMemo || AMemo->GetDragMode() != dmAutomatic || AInner->GetComponentState().Contains(csDesigning))
    return false;
  AMemo->BeginDrag(false);
  return true;
}

}  // namespace

template <class TWindow>
TcxCustomMemo* TcxInnerMemoWindow<TWindow>::GetContainer() const {
  return dynamic_cast<TcxCustomMemo*>(const_cast<TcxInnerMemoWindow*>(this)->GetOwner());
}

template <class TWindow>
IcxCustomInnerEdit* TcxInnerMemoWindow<TWindow>::GetHelper() {
  return FHelper;
}

template <class TWindow>
TcxContainer* TcxInnerMemoWindow<TWindow>::GetControlContainer() {
  return GetContainer();
}

template <class TWindow>
bool TcxInnerMemoWindow<TWindow>::EditorTakesMessage(TMessage& Message) {
  TcxCustomMemo* memo = GetContainer();
  if (memo && memo->InnerControlMenuHandler(Message)) return true;
  return (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && InnerMemoStartsDrag(memo, this);
}

template <class TWindow>
bool TcxInnerMemoWindow<TWindow>::EditorAllowsEditing() {
  TcxCustomMemo* memo = GetContainer();
  return !memo || memo->DoEditing();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::RefreshScrollBars() {
  if (TcxCustomMemo* memo = GetContainer()) memo->UpdateScrollBarsParameters();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::DefaultHandler(TMessage& Message) {
  if (TcxCustomMemo* memo = GetContainer(); memo && memo->InnerControlDefaultHandler(Message)) return;
  TWindow::DefaultHandler(Message);
}

template <class TWindow>
bool TcxInnerMemoWindow<TWindow>::CanFocus() {
  TcxCustomMemo* memo = GetContainer();
  return memo ? memo->CanFocusEx() : TWindow::CanFocus();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FIsCreating || FState.LockBoundsCount > 0) return;
  TcxCustomMemo* memo = GetContainer();
  if (memo) memo->LockAlignControls(true);
  orv::ScopeExit unlock([memo] {
    if (memo) memo->LockAlignControls(false);
  });
  TWindow::SetBounds(ALeft, ATop, AWidth, AHeight);
}

template <class TWindow>
bool TcxInnerMemoWindow<TWindow>::ExecuteAction(TBasicAction* Action) {
  if (TWindow::ExecuteAction(Action)) return true;
  TcxCustomMemo* memo = GetContainer();
  return memo && memo->GetDataBinding()->ExecuteAction(Action);
}

template <class TWindow>
bool TcxInnerMemoWindow<TWindow>::UpdateAction(TBasicAction* Action) {
  if (TWindow::UpdateAction(Action)) return true;
  TcxCustomMemo* memo = GetContainer();
  return memo && memo->GetDataBinding()->UpdateAction(Action);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::DoEnter() {
  TWindow::DoEnter();
  if (FState.AutoSelect) this->SelectAll();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::Click() {
  TWindow::Click();
  if (TcxCustomMemo* memo = GetContainer()) memo->Click();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::DblClick() {
  TWindow::DblClick();
  if (TcxCustomMemo* memo = GetContainer()) memo->DblClick();
}

// ---- keys ----

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::KeyDown(Word& Key, TShiftState Shift) {
  if (!InnerMemoKeyDown(GetContainer(), FState, Key, Shift)) TWindow::KeyDown(Key, Shift);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::KeyUp(Word& Key, TShiftState Shift) {
  if (!InnerMemoKeyUp(GetContainer(), FState, this, Key, Shift)) TWindow::KeyUp(Key, Shift);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::KeyPress(char& Key) {
  if (!InnerMemoKeyPress(GetContainer(), FState, this, Key)) TWindow::KeyPress(Key);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMKeyDown(TMessage& Message) {
  auto escaping = orv::TempValue(FState.EscapeDown, FState.EscapeDown || Message.WParam == VK_ESCAPE);
  TcxCustomInnerTextEditPrevState state;
  SaveTextEditState(this, true, state);
  FState.InternalUpdating = false;
  this->DispatchFrom(TWindow::StaticClass(), Message);
  RefreshScrollBars();
  Word key = static_cast<Word>(Message.WParam);
  const TShiftState shift = KeyDataToShiftState(Message.LParam);
  TcxCustomMemo* memo = GetContainer();
  if (!memo || FState.InternalUpdating || key == 0 || !TellsAfterKeyDown(key, shift, state)) return;
  memo->DoAfterKeyDown(key, shift);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMGetDlgCode(TMessage& Message) {
  this->DispatchFrom(TWindow::StaticClass(), Message);
  Message.Result = InnerMemoDlgCode(GetContainer(), FState, Message.Result);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMMouseWheel(TMessage& Message) {
  const TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (this->DoMouseWheel(KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam)),
                         GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
    Message.Result = 1;
    return;
  }
  this->DefaultHandler(Message);
  RefreshScrollBars();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMImeComposition(TMessage& Message) {
  if (!EditorAllowsEditing()) return;
  this->DispatchFrom(TWindow::StaticClass(), Message);
}

// ---- focus, position ----

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMSetFocus(TMessage& Message) {
  this->DispatchFrom(TWindow::StaticClass(), Message);
  InnerMemoFocusChanged(GetContainer(), this, reinterpret_cast<HWND>(Message.WParam));
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMKillFocus(TMessage& Message) {
  this->DispatchFrom(TWindow::StaticClass(), Message);
  InnerMemoFocusChanged(GetContainer(), this, nullptr);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMWindowPosChanged(TMessage& Message) {
  this->DispatchFrom(TWindow::StaticClass(), Message);
  RefreshScrollBars();
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::WMLButtonDown(TMessage& Message) {
  if (TcxCustomMemo* memo = GetContainer()) memo->SetFocusOnClickLocked(false);
  this->DispatchFrom(TWindow::StaticClass(), Message);
}

// ---- mouse and drag go to the editor, in its coordinates ----

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TWindow::MouseDown(Button, Shift, X, Y);
  if (TcxCustomMemo* memo = GetContainer()) memo->MouseDown(Button, Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TWindow::MouseMove(Shift, X, Y);
  if (TcxCustomMemo* memo = GetContainer()) memo->MouseMove(Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TWindow::MouseUp(Button, Shift, X, Y);
  if (TcxCustomMemo* memo = GetContainer()) memo->MouseUp(Button, Shift, X + this->GetLeft(), Y + this->GetTop());
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (TcxCustomMemo* memo = GetContainer())
    memo->DragOver(Source, X + this->GetLeft(), Y + this->GetTop(), State, Accept);
}

template <class TWindow>
void TcxInnerMemoWindow<TWindow>::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (TcxCustomMemo* memo = GetContainer()) memo->DragDrop(Source, X + this->GetLeft(), Y + this->GetTop());
}

// The two windows inner memos are made of.
template class TcxInnerMemoWindow<TMemo>;
template class TcxInnerMemoWindow<TRichEdit>;
