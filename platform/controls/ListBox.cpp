#include "platform/controls/ListBox.h"

#include <algorithm>

#include "platform/controls/ControlsStartup.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/Clock.h"
#include "platform/win/OwnerDraw.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

namespace {

constexpr const char* kListIndexError = "List index out of bounds (%d)";

}  // namespace

ORV_REGISTER(TListBoxStrings)
ORV_REGISTER(TCustomListBox)
ORV_REGISTER(TListBox, ORV_PROP(Items), ORV_PROP(ItemIndex).Default(-1), ORV_PROP(MultiSelect).Default(false),
             ORV_PROP(ExtendedSelect).Default(true), ORV_PROP(Style).Default(lbStandard),
             ORV_PROP(ItemHeight).Default(16), ORV_PROP(ScrollWidth).Default(0),
             ORV_PROP(AutoComplete).Default(true), ORV_PROP(AutoCompleteDelay).Default(500),
             ORV_PROP(TabStop).Default(true), ORV_EVENT(OnClick), ORV_EVENT(OnDblClick), ORV_EVENT(OnDrawItem),
             ORV_EVENT(OnMeasureItem))

TOwnerDrawState OwnerDrawStateOf(UINT ItemState) {
  TOwnerDrawState state;
  if (ItemState & ODS_SELECTED) state.Include(odSelected);
  if (ItemState & ODS_GRAYED) state.Include(odGrayed);
  if (ItemState & ODS_DISABLED) state.Include(odDisabled);
  if (ItemState & ODS_CHECKED) state.Include(odChecked);
  if (ItemState & ODS_FOCUS) state.Include(odFocused);
  if (ItemState & ODS_DEFAULT) state.Include(odDefault);
  return state;
}

void RegisterListBoxClasses() {
  RegisterListBoxClass();
  RegisterClasses({TCustomListBox::StaticClass(), TListBox::StaticClass()});
}

// ---- TListBoxStrings ----

AnsiString TListBoxStrings::Get(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
  if (!FListBox->HandleAllocated()) return FListBox->FSaved[static_cast<std::size_t>(Index)].Text;
  const HWND handle = FListBox->GetHandle();
  const auto length = SendMessageA(handle, LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
  if (length == LB_ERR) return {};
  AnsiString text(static_cast<std::size_t>(length) + 1, '\0');
  const auto copied =
      SendMessageA(handle, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

Integer TListBoxStrings::GetCount() const {
  if (!FListBox->HandleAllocated()) return static_cast<Integer>(FListBox->FSaved.size());
  return static_cast<Integer>(SendMessageA(FListBox->GetHandle(), LB_GETCOUNT, 0, 0));
}

void TListBoxStrings::Clear() {
  if (!FListBox->HandleAllocated()) {
    FListBox->FSaved.clear();
    FListBox->FSavedIndex = -1;
    FListBox->FSavedTop = 0;
    return;
  }
  SendMessageA(FListBox->GetHandle(), LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::Delete(Integer Index) {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
  if (!FListBox->HandleAllocated()) {
    auto& saved = FListBox->FSaved;
    saved.erase(saved.begin() + Index);
    Integer& selected = FListBox->FSavedIndex;
    if (selected == Index) selected = -1;
    else if (selected > Index) --selected;
    return;
  }
  SendMessageA(FListBox->GetHandle(), LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TListBoxStrings::Insert(Integer Index, const AnsiString& S) {
  if (Index < 0 || Index > GetCount()) Error(kListIndexError, Index);
  if (!FListBox->HandleAllocated()) {
    auto& saved = FListBox->FSaved;
    saved.insert(saved.begin() + Index, TCustomListBox::SavedItem{S, nullptr});
    if (FListBox->FSavedIndex >= Index) ++FListBox->FSavedIndex;
    return;
  }
  if (SendMessageA(FListBox->GetHandle(), LB_INSERTSTRING, static_cast<WPARAM>(Index),
                   reinterpret_cast<LPARAM>(S.c_str())) < 0)
    throw EOutOfResources("Cannot insert a list box item");
}

TObject* TListBoxStrings::GetObject(Integer Index) const {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
  if (!FListBox->HandleAllocated()) return FListBox->FSaved[static_cast<std::size_t>(Index)].Object;
  return reinterpret_cast<TObject*>(SendMessageA(FListBox->GetHandle(), LB_GETITEMDATA, static_cast<WPARAM>(Index), 0));
}

void TListBoxStrings::PutObject(Integer Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
  if (!FListBox->HandleAllocated()) {
    FListBox->FSaved[static_cast<std::size_t>(Index)].Object = AObject;
    return;
  }
  SendMessageA(FListBox->GetHandle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

// Exact, without case: the window's own search finds prefixes only.
Integer TListBoxStrings::IndexOf(const AnsiString& S) const {
  for (Integer i = 0, n = GetCount(); i < n; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

// A long run of changes draws once, at its end.
void TListBoxStrings::SetUpdateState(bool Updating) {
  if (!FListBox->HandleAllocated()) return;
  SendMessageA(FListBox->GetHandle(), WM_SETREDRAW, !Updating, 0);
  if (!Updating) FListBox->Refresh();
}

// ---- TCustomListBox ----

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner) {
  // Clicks come from the control's LBN_SELCHANGE, and the control keeps the
  // mouse itself while a button is held.
  FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csOpaque};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
  FItems = New<TListBoxStrings>(this);
  FCanvas = New<TControlCanvas>();
  FCanvas->SetControl(this);
}

TCustomListBox::~TCustomListBox() {
  FreeAndNil(FCanvas);
  FreeAndNil(FItems);
}

Integer TCustomListBox::GetItemIndex() {
  if (!HandleAllocated()) return FSavedIndex;
  if (FMultiSelect) return GetCount() > 0 ? static_cast<Integer>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0)) : -1;
  return static_cast<Integer>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer Value) {
  if (GetItemIndex() == Value) return;
  if (!HandleAllocated()) {
    FSavedIndex = Value >= 0 && Value < GetCount() ? Value : -1;
    if (!FMultiSelect)
      for (std::size_t i = 0; i < FSaved.size(); ++i) FSaved[i].Selected = static_cast<Integer>(i) == FSavedIndex;
    return;
  }
  SendMessageA(FHandle, FMultiSelect ? LB_SETCARETINDEX : LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  if (FMultiSelect) RecreateWnd();
}

bool TCustomListBox::GetSelected(Integer Index) {
  if (Index < 0 || Index >= GetCount()) TStrings::Error(kListIndexError, Index);
  if (!HandleAllocated()) return FSaved[static_cast<std::size_t>(Index)].Selected;
  return SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TCustomListBox::SetSelected(Integer Index, bool Value) {
  if (Index < 0 || Index >= GetCount()) TStrings::Error(kListIndexError, Index);
  if (!FMultiSelect) {
    if (Value)
      SetItemIndex(Index);
    else if (GetItemIndex() == Index)
      SetItemIndex(-1);
    return;
  }
  if (!HandleAllocated()) {
    FSaved[static_cast<std::size_t>(Index)].Selected = Value;
    return;
  }
  SendMessageA(FHandle, LB_SETSEL, Value, Index);
}

Integer TCustomListBox::GetSelCount() {
  if (!FMultiSelect) return GetItemIndex() >= 0 ? 1 : 0;
  if (!HandleAllocated())
    return static_cast<Integer>(std::count_if(FSaved.begin(), FSaved.end(), [](const SavedItem& i) { return i.Selected; }));
  return static_cast<Integer>(SendMessageA(FHandle, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (!FMultiSelect) return SetItemIndex(-1);
  if (!HandleAllocated()) {
    for (SavedItem& item : FSaved) item.Selected = false;
    return;
  }
  SendMessageA(FHandle, LB_SETSEL, FALSE, -1);
}

bool TCustomListBox::SelectOnly(Integer Index) {
  if (Index < 0 || Index >= GetCount()) {
    const bool any = GetSelCount() > 0;
    ClearSelection();
    return any;
  }
  if (!FMultiSelect) {
    if (GetItemIndex() == Index) return false;
    SetItemIndex(Index);
    return true;
  }
  if (GetItemIndex() == Index && GetSelCount() == 1 && GetSelected(Index)) return false;
  ClearSelection();
  SetSelected(Index, true);
  SetItemIndex(Index);
  return true;
}

Integer TCustomListBox::GetTopIndex() {
  if (!HandleAllocated()) return FSavedTop;
  return static_cast<Integer>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(Integer Value) {
  if (GetTopIndex() == Value) return;
  if (!HandleAllocated()) {
    FSavedTop = Value;
    return;
  }
  SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

// A standard list box's items are as tall as its font; the others' as set.
Integer TCustomListBox::GetItemHeight() {
  if (HandleAllocated() && FStyle == lbStandard)
    return static_cast<Integer>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  if (FStyle != lbStandard) RecreateWnd();
}

TRect TCustomListBox::ItemRect(Integer Index) {
  RECT r{};
  const Integer count = GetCount();
  if (Index == 0 || (Index > 0 && Index < count)) {
    SendMessageA(GetHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  } else if (Index == count) {
    SendMessageA(GetHandle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&r));
    const Integer height = r.Height();
    r.Top += height;
    r.Bottom += height;
  }
  return r;
}

// The rows in view are walked from the top item: LB_ITEMFROMPOINT answers
// in 16 bits, too few for a list scrolled past item 65,535.
Integer TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  const TRect client = GetClientRect();
  if (Pos.X < client.Left || Pos.X >= client.Right || Pos.Y < client.Top || Pos.Y >= client.Bottom) return -1;
  const HWND handle = GetHandle();
  const Integer count = GetCount();
  for (auto i = static_cast<Integer>(SendMessageA(handle, LB_GETTOPINDEX, 0, 0)); i >= 0 && i < count; ++i) {
    RECT item{};
    if (SendMessageA(handle, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
        item.Top >= client.Bottom)
      break;
    if (Pos.Y >= item.Top && Pos.Y < item.Bottom) return i;
  }
  return Existing ? -1 : count;
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

Integer TCustomListBox::GetScrollWidth() {
  if (!HandleAllocated()) return FScrollWidth;
  return static_cast<Integer>(SendMessageA(FHandle, LB_GETHORIZONTALEXTENT, 0, 0));
}

void TCustomListBox::SetScrollWidth(Integer Value) {
  if (Value < 0 || GetScrollWidth() == Value) return;
  FScrollWidth = Value;
  if (HandleAllocated()) SendMessageA(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Value), 0);
}

TPoint TCustomListBox::GetKeyboardPopupPoint() {
  if (!HandleAllocated() || GetCount() == 0) return inherited::GetKeyboardPopupPoint();
  const auto caret = SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0);
  RECT item{};
  const TRect client = GetClientRect();
  if (SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
      item.Bottom <= client.Top || item.Top >= client.Bottom)
    return inherited::GetKeyboardPopupPoint();
  return {std::max<Integer>(item.Left, client.Left), std::min<Integer>(item.Bottom, client.Bottom)};
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FStyle == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
  else if (FStyle == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
}

// The new window gets the items, the selection and the scroll position
// kept while there was none.
void TCustomListBox::CreateWnd() {
  inherited::CreateWnd();
  if (FStyle != lbStandard) SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  std::vector<SavedItem> saved;
  saved.swap(FSaved);
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  for (const SavedItem& item : saved) {
    const auto at = SendMessageA(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Text.c_str()));
    if (at >= 0) SendMessageA(FHandle, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(item.Object));
  }
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  SendMessageA(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FScrollWidth), 0);
  // A single selection takes the saved item when it was selected, else the
  // first selected one (a multiple selection going single).
  Integer selected = -1;
  for (std::size_t i = 0; i < saved.size(); ++i) {
    if (!saved[i].Selected) continue;
    if (FMultiSelect) SendMessageA(FHandle, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    if (selected < 0 || static_cast<Integer>(i) == FSavedIndex) selected = static_cast<Integer>(i);
  }
  if (FMultiSelect && FSavedIndex >= 0)
    SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(FSavedIndex), 0);
  else if (!FMultiSelect && selected >= 0)
    SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FSavedTop), 0);
  FSavedIndex = -1;
  FSavedTop = 0;
}

void TCustomListBox::DestroyWnd() {
  if (FHandle) {
    std::vector<SavedItem> saved;
    const Integer count = FItems->GetCount();
    for (Integer i = 0; i < count; ++i) saved.push_back({FItems->Get(i), FItems->GetObject(i), GetSelected(i)});
    const Integer index = GetItemIndex();
    const Integer top = GetTopIndex();
    FScrollWidth = GetScrollWidth();
    inherited::DestroyWnd();
    FSaved = std::move(saved);
    FSavedIndex = index;
    FSavedTop = top;
    return;
  }
  inherited::DestroyWnd();
}

// Typing within the delay adds to what is searched for; a pause starts
// afresh. The found item is selected as the person's choice.
void TCustomListBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (!FAutoComplete || Key == 0 || !HandleAllocated()) return;
  const auto ch = static_cast<unsigned char>(Key);
  if (ch < 0x20 && ch != 8) return;
  const Cardinal now = Clock::TickCount();
  if (now - FLastKeyTime >= FAutoCompleteDelay) FFilter.clear();
  FLastKeyTime = now;
  if (ch == 8) {
    if (!FFilter.empty()) FFilter.pop_back();
  } else {
    FFilter += Key;
  }
  Key = 0;
  if (FFilter.empty()) return;
  const auto found =
      SendMessageA(FHandle, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str()));
  if (found == LB_ERR || !SelectOnly(static_cast<Integer>(found))) return;
  Click();
}

void TCustomListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < GetCount()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomListBox::MeasureItem(Integer Index, Integer& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
  }
}

// The item's colours are set on the canvas before the item is drawn: the
// highlight when selected. The focus rectangle comes after, over it.
void TCustomListBox::CNDrawItem(TMessage& Message) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const TOwnerDrawState state = OwnerDrawStateOf(item->itemState);
  const int saved = SaveDC(item->hDC);
  FCanvas->SetHandle(item->hDC);
  try {
    FCanvas->GetFont()->Assign(FFont);
    FCanvas->GetBrush()->Assign(FBrush);
    if (state.Contains(odSelected)) {
      FCanvas->GetBrush()->SetColor(clHighlight);
      FCanvas->GetFont()->SetColor(clHighlightText);
    }
    const TRect rect = item->rcItem;
    if (static_cast<Integer>(item->itemID) >= 0) DrawItem(static_cast<Integer>(item->itemID), rect, state);
    else FCanvas->FillRect(rect);
    if (state.Contains(odFocused)) DrawFocusRect(item->hDC, &item->rcItem);
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    RestoreDC(item->hDC, saved);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  RestoreDC(item->hDC, saved);
  Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  Integer height = FItemHeight;
  MeasureItem(static_cast<Integer>(item->itemID), height);
  item->itemHeight = static_cast<UINT>(std::max<Integer>(height, 1));
  Message.Result = 1;
}

// The wheel scrolls the list unless a wheel event handler takes it.
void TCustomListBox::WMMouseWheel(TMessage& Message) {
  const TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam));
  const TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TCustomListBox::WMLButtonDown(TMessage& Message) {
  FControlState.Include(csLButtonDown);
  WMMouseThrough(Message);
}
