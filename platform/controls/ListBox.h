// The list box of the class library: TCustomListBox over the native
// "LISTBOX" class, and TListBox, which publishes it. Items, the selection
// and the scroll position live in the window and are read through its
// messages; while the control has no window they are kept here and handed
// to the next window made. With MultiSelect several items may be selected
// (Selected, SelCount); ItemIndex is then the item with the focus
// rectangle. Owner-drawn styles draw and measure items
// through OnDrawItem/OnMeasureItem, called from the reflected CN_DRAWITEM
// and CN_MEASUREITEM. A change of selection the person makes is Click.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"
#include "platform/rtl/StringList.h"

ORV_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)
ORV_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit)
using TOwnerDrawState = Set<TOwnerDrawStateItem>;

using TDrawItemEvent = Event<void(TWinControl* Control, Integer Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = Event<void(TWinControl* Control, Integer Index, Integer& Height)>;

// The owner-draw state of a DRAWITEMSTRUCT's itemState.
TOwnerDrawState OwnerDrawStateOf(win::UINT ItemState);

class TCustomListBox;

// The items of a list box: through the window's messages while it has
// one, else in the list box's own keeping.
class TListBoxStrings : public TStrings {
  ORV_CLASS(TListBoxStrings, TStrings)
 public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
  AnsiString Get(Integer Index) const override;
  Integer GetCount() const override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const AnsiString& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer IndexOf(const AnsiString& S) const override;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
  ORV_CLASS(TCustomListBox, TWinControl)
  friend class TListBoxStrings;

 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* GetItems() const { return FItems; }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  Integer GetCount() const { return FItems->GetCount(); }
  // -1 when nothing is selected; in a multiple selection the item with the
  // focus rectangle (-1 only when the list is empty), whose selection
  // setting it leaves alone. Setting it runs no Click.
  Integer GetItemIndex();
  void SetItemIndex(Integer Value);
  // Several items may be selected: ranges with Shift and single items with
  // Ctrl when ExtendedSelect, else each click turns an item over. Changing
  // either makes the window again (the selection is kept).
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool GetExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  // Whether the item is selected; a bad index raises. Selecting an item of
  // a single selection makes it the selected one.
  bool GetSelected(Integer Index);
  void SetSelected(Integer Index, bool Value);
  // The selected items: 0 or 1 in a single selection.
  Integer GetSelCount();
  // No item stays selected.
  void ClearSelection();
  Integer GetTopIndex();
  void SetTopIndex(Integer Value);
  Integer GetItemHeight();
  void SetItemHeight(Integer Value);
  // The item's rectangle in client coordinates; Count names the place
  // below the last item.
  TRect ItemRect(Integer Index);
  // The item at a client point: -1 when none; with Existing false a point
  // below the last item answers Count.
  Integer ItemAtPos(const TPoint& Pos, bool Existing);
  TListBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  // The width the items may scroll over (a horizontal bar shows when it
  // exceeds the client width); 0 for none.
  Integer GetScrollWidth();
  void SetScrollWidth(Integer Value);
  // Typing selects the first item that starts with what was typed within
  // AutoCompleteDelay milliseconds of the previous key.
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  Cardinal GetAutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(Cardinal Value) { FAutoCompleteDelay = Value; }
  TCanvas* GetCanvas() const { return FCanvas; }
  void Clear() { FItems->Clear(); }
  // Under the focused item while it shows.
  TPoint GetKeyboardPopupPoint() override;

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void KeyPress(char& Key) override;
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);
  // The person's choice of an item, as typing makes it: the item becomes
  // the item index and, in a multiple selection, the only one selected.
  // Answers whether anything changed.
  bool SelectOnly(Integer Index);

  void CNCommand(TMessage& Message);
  ORV_MESSAGE(win::CN_COMMAND, CNCommand)
  void CNDrawItem(TMessage& Message);
  ORV_MESSAGE(win::CN_DRAWITEM, CNDrawItem)
  void CNMeasureItem(TMessage& Message);
  ORV_MESSAGE(win::CN_MEASUREITEM, CNMeasureItem)
  void WMMouseWheel(TMessage& Message);
  ORV_MESSAGE(win::WM_MOUSEWHEEL, WMMouseWheel)
  // The native control handles the mouse itself; the class library's
  // events follow.
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMLButtonDblClk(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)
  void WMLButtonUp(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  void WMMouseMove(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_MOUSEMOVE, WMMouseMove)

 private:
  struct SavedItem {
    AnsiString Text;
    TObject* Object = nullptr;
    bool Selected = false;  // multiple selection only
  };
  TListBoxStrings* FItems = nullptr;
  TControlCanvas* FCanvas = nullptr;
  TListBoxStyle FStyle = lbStandard;
  Integer FItemHeight = 16;
  Integer FScrollWidth = 0;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FAutoComplete = true;
  Cardinal FAutoCompleteDelay = 500;
  AnsiString FFilter;          // typed so far
  Cardinal FLastKeyTime = 0;   // when the last character was typed
  // Kept while the control has no window.
  std::vector<SavedItem> FSaved;
  Integer FSavedIndex = -1;
  Integer FSavedTop = 0;
};

class TListBox : public TCustomListBox {
  ORV_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
