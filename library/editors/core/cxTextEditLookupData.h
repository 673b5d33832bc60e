// What a text editor knows of its lookup items: the list of texts it can
// propose, the key its edit value stands for, incremental search and
// navigation by keys and the wheel. The editor reaches its lookup data
// through this interface only.
#pragma once

#include "library/foundation/cxClasses.h"
#include "library/foundation/cxContainer.h"
#include "platform/forms/Controls.h"
#include "platform/rtl/Events.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Variant.h"

class TcxCustomEdit;
class TcxCustomTextEditProperties;
class TcxCustomEditListBox;

ORV_ENUM(TcxEditLookupDataGoDirection, egdBegin, egdEnd, egdNext, egdPrev, egdPageUp, egdPageDown)

class IcxTextEditLookupData {
 public:
  virtual ~IcxTextEditLookupData() = default;
  virtual bool CanResizeVisualArea(TSize& NewSize, Integer AMaxHeight = 0, Integer AMaxWidth = 0) = 0;
  virtual void CloseUp() = 0;
  virtual void Deinitialize() = 0;
  virtual void DropDown() = 0;
  // The popup opened by typing has shown; AFindStr is the editor's text up
  // to the caret, the part the user has typed so far.
  virtual void DroppedDown(const AnsiString& AFindStr) = 0;
  // Whether some item equals AText, letter case aside.
  virtual bool Find(const AnsiString& AText) = 0;
  // The list shown in the popup; null when there is none.
  virtual TWinControl* GetActiveControl() = 0;
  // The index of the item the edit value stands for, as an integer value;
  // -1 for none.
  virtual Variant GetCurrentKey() = 0;
  // The item a key stands for; empty for a key that names none.
  virtual AnsiString GetDisplayText(const Variant& AKey) = 0;
  virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth = 0) = 0;
  virtual void Go(TcxEditLookupDataGoDirection ADirection, bool ACycle) = 0;
  virtual void Initialize(TWinControl* AVisualControlsParent) = 0;
  virtual bool IsEmpty() = 0;
  virtual bool IsMouseOverList(const TPoint& P) = 0;
  // Finds the first item from the start (or after the highlighted one with
  // ANext) that begins with AText; AText then takes the item's own letters
  // and ATail the rest of the item.
  virtual bool Locate(AnsiString& AText, AnsiString& ATail, bool ANext = false) = 0;
  virtual void PositionVisualArea(const TRect& AClientRect) = 0;
  virtual void PropertiesChanged() = 0;
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(TNotifyEvent Value) = 0;
  virtual void SetOnSelectItem(TNotifyEvent Value) = 0;
  virtual void TextChanged() = 0;
};
ORV_INTERFACE(IcxTextEditLookupData, "{9C2F4B7E-61A3-4D85-B0E2-5A7C3F18D964}")

// ---------------------------------------------------------------------------
// The lookup data of a text editor, over its properties' lookup items.
// It names no list box class, so a plain text editor never creates a
// list; editors with a drop-down list name their own list box, derived
// from TcxCustomEditListBox.
class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
  ORV_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)
 public:
  // AOwner is the editor.
  explicit TcxCustomTextEditLookupData(TPersistent* AOwner);
  ~TcxCustomTextEditLookupData() override;

  // ---- IcxTextEditLookupData ----
  bool CanResizeVisualArea(TSize& NewSize, Integer AMaxHeight = 0, Integer AMaxWidth = 0) override;
  void CloseUp() override;
  void Deinitialize() override {}
  void DropDown() override {}
  void DroppedDown(const AnsiString&) override {}
  bool Find(const AnsiString& AText) override { return IndexOf(AText) >= 0; }
  TWinControl* GetActiveControl() override;
  Variant GetCurrentKey() override { return Variant(FCurrentKey); }
  AnsiString GetDisplayText(const Variant& AKey) override;
  TNotifyEvent GetOnCurrentKeyChanged() override { return OnCurrentKeyChanged; }
  TNotifyEvent GetOnSelectItem() override { return OnSelectItem; }
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth = 0) override;
  void Go(TcxEditLookupDataGoDirection ADirection, bool ACycle) override;
  void Initialize(TWinControl* AVisualControlsParent) override;
  bool IsEmpty() override { return GetItemCount() == 0; }
  bool IsMouseOverList(const TPoint& P) override;
  bool Locate(AnsiString& AText, AnsiString& ATail, bool ANext = false) override {
    return InternalLocate(AText, ATail, ANext, false);
  }
  void PositionVisualArea(const TRect& AClientRect) override;
  void PropertiesChanged() override { ListChanged(); }
  void SelectItem() override;
  void SetCurrentKey(const Variant& AKey) override;
  void SetOnCurrentKeyChanged(TNotifyEvent Value) override { OnCurrentKeyChanged = Value; }
  void SetOnSelectItem(TNotifyEvent Value) override { OnSelectItem = Value; }
  void TextChanged() override;

  // ---- Items ----
  virtual AnsiString GetItem(Integer AIndex);
  virtual Integer GetItemCount();
  // The properties' lookup items; assigning copies into them.
  TStrings* GetItems();
  void SetItems(TStrings* Value);
  // The first item equal to AText ignoring letter case; -1 for none.
  Integer IndexOf(const AnsiString& AText);

  // The highlighted item; -1 for none. While the list is open and the
  // properties do not update the text at once, only the highlight moves.
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  TcxCustomEdit* GetEdit() const { return FEdit; }
  TcxCustomEditListBox* GetList() const { return FList; }

  TNotifyEvent OnCurrentKeyChanged;
  TNotifyEvent OnSelectItem;

 protected:
  virtual TClassRef<TcxCustomEditListBox> GetListBoxClass() { return nullptr; }
  // The list's select-item event: the list's item index becomes ItemIndex.
  virtual void HandleSelectItem(TObject* Sender);
  virtual bool InternalLocate(AnsiString& AText, AnsiString& ATail, bool ANext, bool AExact);
  // The list gets as many rows as there are items.
  virtual void ListChanged();

  void DoCurrentKeyChanged();
  void DoSelectItem();
  // SetCurrentKey with an item index; returns whether the select-item
  // event was raised.
  bool ApplyCurrentKey(Integer AKey);
  // Out-of-range keys and indexes are ignored.
  void InternalSetCurrentKey(Integer AKey);
  void InternalSetItemIndex(Integer AIndex);
  TcxCustomTextEditProperties* GetProperties() const;
  // The list exists and shows.
  bool IsListVisible();

 private:
  void HandleSelectItemHandler(TObject* Sender) { HandleSelectItem(Sender); }
  void ListFreed(TComponent* Sender);
  // The failure rule of the search for the editing style.
  void LocateFailed(const AnsiString& AText, bool AExact);

  Integer FCurrentKey = -1;
  Integer FItemIndex = -1;
  TcxCustomEditListBox* FList = nullptr;
  TcxCustomEdit* FEdit;
  // Forgets the list when its parent frees it first.
  TcxFreeNotificator* FListNotificator = nullptr;
};

// ---------------------------------------------------------------------------
// The list of an editor's lookup items: no border, follows the pointer
// (hot tracking), draws each item as a single line and reports every
// selection through its select-item event.
class TcxCustomEditListBox : public TcxCustomInnerListBox {
  ORV_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
 public:
  explicit TcxCustomEditListBox(TComponent* AOwner);

  using TcxCustomInnerListBox::GetHeight;
  // The height of ARowCount rows.
  virtual Integer GetHeight(Integer ARowCount);
  // The height of a row: the text height of the list's font.
  virtual Integer GetItemHeight(Integer AIndex = -1);
  virtual Integer GetItemWidth(Integer AIndex);
  virtual AnsiString GetItem(Integer AIndex);
  Integer GetDefaultItemHeight();
  // A row height as the native list holds it: at least a pixel and never
  // above its largest row. A popup sized by other heights would not fit
  // its rows, and their sum could run past Integer.
  static Integer RowHeightInList(Integer AHeight);

  // Adds empty rows at the end or deletes rows from the end.
  void SetItemCount(Integer Value);
  // Both raise the select-item event after the list's own work.
  virtual void SetItemIndex(Integer Value);
  void Click() override;

  bool IsVisible();
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  // The editor whose popup holds the list; null elsewhere.
  TcxCustomEdit* GetEdit();

  TNotifyEvent OnSelectItem;

 protected:
  // True when a descendant drew the item itself.
  virtual bool DoDrawItem(Integer, const TRect&, TOwnerDrawState) { return false; }
  virtual void RecreateWindow() {}

  void CreateWnd() override;
  void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(Integer Index, Integer& Height) override;
  bool NeedDrawFocusRect() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void WndProc(TMessage& Message) override;

 private:
  void DoSelectItem();

  bool FHotTrack = true;
};

using TcxCustomEditListBoxClass = TClassRef<TcxCustomEditListBox>;
