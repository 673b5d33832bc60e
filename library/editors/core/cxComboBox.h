// The combo box: the drop-down editor whose popup is the list of its items.
// Typing, incremental search and the keys move through the items with the
// text editor's lookup data; the combo box adds the list styles, the list
// box in the popup with its row sizing, owner drawing of the items and the
// mouse: a click in the text of a fixed list opens it, dragging from the
// pressed editor into the open list moves the highlight, a click on an item
// takes it.
#pragma once

#include "library/editors/core/cxDropDownEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"

class TcxCustomComboBox;

ORV_ENUM(TcxEditDropDownListStyle, lsEditFixedList, lsEditList, lsFixedList)

using TcxEditDrawItemEvent = Event<void(TcxCustomComboBox* AControl, TcxCanvas* ACanvas, Integer AIndex,
                                        const TRect& ARect, TOwnerDrawState AState)>;

// ---------------------------------------------------------------------------
class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  ORV_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
 public:
  explicit TcxCustomComboBoxProperties(TPersistent* AOwner) : TcxCustomDropDownEditProperties(AOwner) {}

  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  TClass GetLookupDataClass() const override;
  TClassRef<TcxCustomEditPopupWindow> GetPopupWindowClass() const override;
  bool DropDownOnClick() const override { return FDropDownListStyle == lsFixedList; }
  Integer GetDropDownPageRowCount() const override { return FDropDownRows; }
  TcxEditEditingStyle GetEditingStyle() const override;
  // A masked combo box keeps its list too.
  bool UseLookupData() const override { return true; }

  TcxEditDropDownListStyle GetDropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(TcxEditDropDownListStyle Value);
  Integer GetDropDownRows() const { return FDropDownRows; }
  // Only values of at least one are taken.
  void SetDropDownRows(Integer Value);
  Integer GetItemHeight() const { return FItemHeight; }
  // 0: the list's own row height.
  void SetItemHeight(Integer Value);
  bool GetRevertable() const { return FRevertable; }
  void SetRevertable(bool Value) { FRevertable = Value; }
  bool GetDropDownAutoWidth() const { return GetPopupAutoSize(); }
  void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
  bool GetDropDownSizeable() const { return GetPopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer GetDropDownWidth() const { return GetPopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }
  TStrings* GetItems() const { return GetLookupItems(); }
  void SetItems(TStrings* Value) { SetLookupItems(Value); }
  bool GetSorted() const { return GetLookupItemsSorted(); }
  void SetSorted(bool Value) { SetLookupItemsSorted(Value); }

  TcxEditDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TcxEditDropDownListStyle FDropDownListStyle = lsEditList;
  Integer FDropDownRows = 8;
  Integer FItemHeight = 0;
  bool FRevertable = false;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxComboBoxProperties(TPersistent* AOwner) : TcxCustomComboBoxProperties(AOwner) {}
};

// ---------------------------------------------------------------------------
class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
  ORV_CLASS(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)
 public:
  TcxCustomComboBoxViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomDropDownEditViewData(AProperties, AStyle, AIsInplace) {}
  bool IsComboBoxStyle() override { return true; }
  // A fixed list with item drawing draws its current item in the text area.
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

 private:
  bool DrawsItems() const;
};

// The text area of a combo box drawn by the application's item drawing.
class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxCustomComboBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomComboBoxViewInfo() = default;
  void Assign(TObject* Source) override;
  // -1 draws the text the usual way.
  void SetItemIndex(Integer Value);
  Integer GetItemIndex() const { return FItemIndex; }

 protected:
  virtual void DoCustomDraw(TcxCanvas* ACanvas, const TRect& ARect);

 private:
  Integer FItemIndex = -1;
};

// The popup of a combo box: as wide as its widest item (or the editor),
// as high as its rows, or the size the user gave it last.
class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
  ORV_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxComboBoxPopupWindow(TWinControl* AOwnerControl) : TcxCustomEditPopupWindow(AOwnerControl) {}
  void CalculateSize() override;
};

// ---------------------------------------------------------------------------
// The list in the popup: rows of the properties' item height, drawn and
// measured by the properties' events when they are set.
class TcxCustomComboBoxListBox : public TcxCustomEditListBox {
  ORV_CLASS(TcxCustomComboBoxListBox, TcxCustomEditListBox)
 public:
  explicit TcxCustomComboBoxListBox(TComponent* AOwner);

  using TcxCustomEditListBox::GetHeight;
  Integer GetHeight(Integer ARowCount) override;
  AnsiString GetItem(Integer AIndex) override;
  void SetItemIndex(Integer Value) override;
  TcxCustomComboBox* GetComboBox();

 protected:
  bool DoDrawItem(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 private:
  bool FInMouseMove = false;
};

class TcxComboBoxListBox : public TcxCustomComboBoxListBox {
  ORV_CLASS(TcxComboBoxListBox, TcxCustomComboBoxListBox)
 public:
  explicit TcxComboBoxListBox(TComponent* AOwner) : TcxCustomComboBoxListBox(AOwner) {}

  Integer GetItemHeight(Integer AIndex = -1) override;

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Resize() override;
  // Row height and owner-draw style from the properties, each time the
  // popup opens.
  void RecreateWindow() override;
  friend class TcxComboBoxLookupData;
};

// ---------------------------------------------------------------------------
class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  ORV_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TcxComboBoxLookupData(TPersistent* AOwner) : TcxCustomTextEditLookupData(AOwner) {}

  // The list takes the editor's font and the popup's look again on every
  // open.
  void Initialize(TWinControl* AVisualControlsParent) override;
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AMaxWidth = 0) override;
  // Whole rows when the popup grows, the crossing row kept when it shrinks.
  bool CanResizeVisualArea(TSize& NewSize, Integer AMaxHeight = 0, Integer AMaxWidth = 0) override;

 protected:
  TClassRef<TcxCustomEditListBox> GetListBoxClass() override { return TcxComboBoxListBox::StaticClass(); }
};

// The inner edit of a combo box: a release of the left button raises no
// click, since a combo box's clicks come from item changes.
class TcxCustomComboBoxInnerEdit : public TcxCustomDropDownInnerEdit {
  ORV_CLASS(TcxCustomComboBoxInnerEdit, TcxCustomDropDownInnerEdit)
 public:
  explicit TcxCustomComboBoxInnerEdit(TComponent* AOwner) : TcxCustomDropDownInnerEdit(AOwner) {}

 protected:
  void WMLButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
};

// ---------------------------------------------------------------------------
class TcxCustomComboBox : public TcxCustomDropDownEdit {
  ORV_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
 public:
  explicit TcxCustomComboBox(TComponent* AOwner) : TcxCustomComboBox(AOwner, false) {}
  TcxCustomComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace) {}

  TcxCustomComboBoxProperties* GetProperties() const {
    return static_cast<TcxCustomComboBoxProperties*>(TcxCustomDropDownEdit::GetProperties());
  }
  TcxCustomComboBoxProperties* GetActiveProperties() const {
    return static_cast<TcxCustomComboBoxProperties*>(TcxCustomDropDownEdit::GetActiveProperties());
  }
  TcxComboBoxLookupData* GetLookupData() const { return dynamic_cast<TcxComboBoxLookupData*>(GetILookupData()); }
  // The highlighted row of the list.
  Integer GetSelectedItem() const;
  void SetSelectedItem(Integer Value);

  void Activate(TcxCustomEditData*& AEditData) override;
  TSize GetPopupWindowClientPreferredSize() override;
  // The list opens at its own height again: the cell's remembered height
  // in place with a sizeable list, else the properties' height.
  void ResetPopupHeight();
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

  // The properties' item events, then the repository item's.
  void DoOnDrawItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState);
  void DoOnMeasureItem(Integer AIndex, Integer& AHeight);
  bool IsOnDrawItemEventAssigned() const;
  bool IsOnMeasureItemEventAssigned() const;
  // The next mouse move over the list changes nothing.
  bool IgnoreNextListMouseMove = false;

 protected:
  bool CanDropDown() override;
  void ChangeHandler(TObject* Sender) override;
  void DblClick() override;
  TClassRef<TWinControl> GetInnerEditClass() const override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  void InitializePopupWindow() override;
  void HandleSelectItem(TObject* Sender) override;
  void PopupWindowShowed(TObject* Sender) override;
  bool CanSynchronizeLookupData();
  void WMLButtonUp(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)

 private:
  bool FSettingItemText = false;
};

class TcxComboBox : public TcxCustomComboBox {
  ORV_CLASS(TcxComboBox, TcxCustomComboBox)
 public:
  explicit TcxComboBox(TComponent* AOwner) : TcxComboBox(AOwner, false) {}
  TcxComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace) {}

  TcxComboBoxProperties* GetProperties() const {
    return static_cast<TcxComboBoxProperties*>(TcxCustomComboBox::GetProperties());
  }
  TcxComboBoxProperties* GetActiveProperties() const {
    return static_cast<TcxComboBoxProperties*>(TcxCustomComboBox::GetActiveProperties());
  }
  void SetProperties(TcxComboBoxProperties* Value) { TcxCustomComboBox::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row over a combo box's items.
class TcxFilterComboBoxHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterComboBoxHelper, TcxFilterDropDownEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;

 protected:
  // Makes the filter editor a fixed list without the column's values and
  // hands back its emptied items for the kind's own texts; null when
  // AProperties are not a combo box's.
  static TStrings* FixedList(TcxCustomEditProperties* AProperties);
};
