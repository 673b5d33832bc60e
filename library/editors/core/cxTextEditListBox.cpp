// The list of an editor's lookup items: an owner-drawn inner list box that
// follows the pointer and reports every selection to its lookup data.
#include <algorithm>

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/foundation/cxGraphics.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/forms/Screen.h"
#include "platform/gdi/Text.h"
#include "platform/win/Mouse.h"
#include "platform/win/Window.h"
#include "platform/win/WindowStyles.h"

using namespace win;

ORV_REGISTER(TcxCustomEditListBox)

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
}

Integer TcxCustomEditListBox::GetHeight(Integer ARowCount) { return GetItemHeight() * ARowCount; }

Integer TcxCustomEditListBox::GetItemHeight(Integer) { return GetDefaultItemHeight(); }

Integer TcxCustomEditListBox::GetDefaultItemHeight() { return cxTextHeight(GetFont(), "Wg"); }

Integer TcxCustomEditListBox::RowHeightInList(Integer AHeight) {
  return std::clamp(AHeight, 1, static_cast<Integer>(kListBoxMaxItemHeight));
}

Integer TcxCustomEditListBox::GetItemWidth(Integer AIndex) { return cxTextWidth(GetFont(), GetItem(AIndex)); }

AnsiString TcxCustomEditListBox::GetItem(Integer AIndex) { return GetItems()->Get(AIndex); }

bool TcxCustomEditListBox::IsVisible() { return HandleAllocated() && IsWindowVisible(GetHandle()); }

TcxCustomEdit* TcxCustomEditListBox::GetEdit() {
  auto* popup = dynamic_cast<TcxCustomPopupWindow*>(GetParent());
  return popup ? dynamic_cast<TcxCustomEdit*>(popup->GetOwnerControl()) : nullptr;
}

void TcxCustomEditListBox::SetItemCount(Integer Value) {
  Value = std::max(Value, 0);
  TStrings* items = GetItems();
  if (items->GetCount() == Value) return;
  items->BeginUpdate();
  try {
    while (items->GetCount() < Value) items->Add("");
    while (items->GetCount() > Value) items->Delete(items->GetCount() - 1);
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
}

void TcxCustomEditListBox::SetItemIndex(Integer Value) {
  TcxCustomInnerListBox::SetItemIndex(Value);
  DoSelectItem();
}

void TcxCustomEditListBox::Click() {
  inherited::Click();
  DoSelectItem();
}

void TcxCustomEditListBox::DoSelectItem() {
  if (OnSelectItem) OnSelectItem(this);
}

// A fixed or read-only list frames the focused item; a list under an
// editable text leaves the highlight alone.
bool TcxCustomEditListBox::NeedDrawFocusRect() {
  TcxCustomEdit* edit = GetEdit();
  if (!edit) return false;
  auto* properties = dynamic_cast<TcxCustomTextEditProperties*>(edit->GetActiveProperties());
  if (!properties) return false;
  const TcxEditEditingStyle style = properties->GetEditingStyle();
  return style == esFixedList || style == esNoEdit;
}

// The rows of a new window take the list's own row height.
void TcxCustomEditListBox::CreateWnd() {
  if (GetStyle() == lbOwnerDrawFixed) TcxCustomInnerListBox::SetItemHeight(GetItemHeight());
  inherited::CreateWnd();
}

void TcxCustomEditListBox::MeasureItem(Integer Index, Integer& Height) { Height = GetItemHeight(Index); }

void TcxCustomEditListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (DoDrawItem(Index, Rect, State)) return;
  TCanvas* canvas = GetCanvas();
  canvas->FillRect(Rect);
  if (Index < 0 || Index >= GetCount()) return;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  TRect textRect = Rect;
  if (UseRightToLeftReading()) {
    textRect.Right -= 2;
    flags |= DT_RIGHT | DT_RTLREADING;
  } else {
    textRect.Left += 2;
  }
  cxDrawText(canvas->GetHandle(), GetItem(Index), textRect, flags);
}

// The wheel scrolls the list by whole lines when nobody else took it.
bool TcxCustomEditListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (inherited::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!HandleAllocated()) return false;
  const Integer lines = Mouse ? Mouse->GetWheelScrollLines() : 3;
  const WPARAM code = WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (Integer i = 0; i < lines; ++i) Perform(WM_VSCROLL, code, 0);
  return true;
}

// Hot tracking: the item under the pointer becomes the selected one,
// unless a button holds the mouse (the list then selects by itself).
void TcxCustomEditListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  if (!FHotTrack || !HandleAllocated() || GetCapture() == GetHandle()) return;
  const Integer index = ItemAtPos({X, Y}, true);
  if (index >= 0 && index != GetItemIndex()) SetItemIndex(index);
}

// Once shown, the native list is told it has the focus, so that its
// selection is drawn as focused although the focus stays in the editor.
void TcxCustomEditListBox::WndProc(TMessage& Message) {
  inherited::WndProc(Message);
  if (Message.Msg != WM_WINDOWPOSCHANGED) return;
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
  if (pos && (pos->flags & SWP_SHOWWINDOW) && HandleAllocated()) {
    TMessage focus;
    focus.Msg = WM_SETFOCUS;
    DefaultHandler(focus);
  }
}
