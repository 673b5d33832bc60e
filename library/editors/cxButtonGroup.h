// The button group: a group box that owns one child button window per
// item of its properties and lays them out in columns. Its windows follow
// the items one at a time: adding an item makes exactly one window,
// removing one frees exactly that item's window; a batch of changes makes
// or frees windows at the end until there are as many as items. The
// buttons' keys, mouse and drags go on to the group, and the arrow keys
// move the focus from button to button along the columns. Which kind of
// button it makes is left to the descendant (the radio group).
#pragma once

#include <vector>

#include "library/editors/cxButtonGroupViewInfo.h"
#include "library/editors/cxCheckStates.h"
#include "library/editors/cxGroupBox.h"
#include "platform/rtl/Collection.h"

class TcxButtonGroupItems;

class TcxButtonGroupItem : public TCollectionItem {
  ORV_CLASS(TcxButtonGroupItem, TCollectionItem)
 public:
  explicit TcxButtonGroupItem(TCollection* Collection);
  // The collection hears of the new item once the whole item is built.
  void AfterConstruction() override;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Integer GetTag() const { return FTag; }
  void SetTag(Integer Value) { FTag = Value; }
  bool IsTagStored() const { return FTag != 0; }

 protected:
  // From another button-group item: Caption, Enabled and Tag.
  void DoAssign(TPersistent* Source) override;

  // Tells the collection that this item changed (coChanged).
  void DoChanged();

 private:
  AnsiString FCaption;
  bool FEnabled = true;
  Integer FTag = 0;
};

class TcxButtonGroupItems : public TOwnedCollection, public IcxCheckItems {
  ORV_CLASS(TcxButtonGroupItems, TOwnedCollection)
 public:
  TcxButtonGroupItems(TPersistent* AOwner, TClass ItemClass) : TOwnedCollection(AOwner, ItemClass) {}
  ~TcxButtonGroupItems() override;

  TcxButtonGroupItem* GetItem(Integer Index) const {
    return static_cast<TcxButtonGroupItem*>(TCollection::GetItem(Index));
  }

  AnsiString CheckItemsGetCaption(Integer AIndex) override { return GetItem(AIndex)->GetCaption(); }
  Integer CheckItemsGetCount() override { return GetCount(); }

  // True while the collection tells its owner of a change.
  bool IsNotifying() const { return FNotifying; }
  bool IsDestroying() const { return FDestroying; }
  // The one change being told: an item added or deleted at an index, or
  // items changed. False when several items were added or deleted in one
  // batch, so that the change names no single item.
  bool GetSingleChange(TcxCollectionOperation& AOperation, Integer& AIndex) const;

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
  // Tells the owner properties (Changed), unless the collection goes.
  void Update(TCollectionItem* Item) override;

 private:
  friend class TcxButtonGroupItem;
  void ItemChanged();

  TcxCollectionOperation FChangedItemOperation = coChanged;
  Integer FChangedItemIndex = -1;
  // Items added or deleted since the owner was last told.
  Integer FStructuralChanges = 0;
  bool FNotifying = false;
  bool FDestroying = false;
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
  ORV_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
 public:
  explicit TcxCustomButtonGroupProperties(TPersistent* AOwner) : TcxCustomGroupBoxProperties(AOwner) {}
  void AfterConstruction() override;
  ~TcxCustomButtonGroupProperties() override;

  // Three items "A", "B" and "C" in three columns.
  TcxCustomEditProperties* CreatePreviewProperties() const override;
  TcxEditSpecialFeatures GetSpecialFeatures() const override;
  TcxEditSupportedOperations GetSupportedOperations() const override;

  // Introduced, in this order.
  virtual TcxButtonGroupItems* CreateItems();
  // The fewest columns that give as many rows as Columns would: 4 items
  // in 3 columns lay out as 2 columns of 2.
  virtual Integer GetColumnCount();

  // Rows of the column count in force; only asked with items.
  Integer GetButtonsPerColumn();

  Integer GetColumns() const { return FColumns; }
  // Fewer than 1 column is stored as 1.
  void SetColumns(Integer Value);
  TcxButtonGroupItems* GetItems() const { return FItems; }
  void SetItems(TcxButtonGroupItems* Value) { FItems->Assign(Value); }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 protected:
  // From other button-group properties, as one change: the base settings,
  // then Columns, Items and WordWrap.
  void DoAssign(TPersistent* Source) override;

  TcxButtonGroupItems* FItems = nullptr;

 private:
  Integer FColumns = 1;
  bool FWordWrap = false;
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
  ORV_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)
 public:
  explicit TcxCustomButtonGroup(TComponent* AOwner) : TcxCustomButtonGroup(AOwner, false) {}
  TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace) : TcxCustomGroupBox(AOwner, AIsInplace) {}
  // Frees the button windows while the whole group still exists.
  void BeforeDestruction() override;

  TcxCustomButtonGroupProperties* GetProperties() const {
    return static_cast<TcxCustomButtonGroupProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomButtonGroupProperties* GetActiveProperties() const {
    return static_cast<TcxCustomButtonGroupProperties*>(TcxCustomEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomButtonGroupProperties* Value) { TcxCustomEdit::SetProperties(Value); }
  TcxButtonGroupViewInfo* GetViewInfo() const {
    return static_cast<TcxButtonGroupViewInfo*>(TcxCustomEdit::GetViewInfo());
  }

  Integer GetButtonCount() const { return static_cast<Integer>(FButtons.size()); }
  TWinControl* GetButton(Integer AIndex) const { return FButtons.at(static_cast<std::size_t>(AIndex)); }
  // The button whose bounds hold P (client coordinates), or -1.
  Integer GetButtonIndexAt(const TPoint& P);
  // The first button holding the focus, or -1.
  Integer GetFocusedButtonIndex();

  // Introduced, in this order.
  // Puts each button window where its button view info lies.
  virtual void ArrangeButtons();
  virtual win::HDC GetButtonDC(Integer AIndex) = 0;
  virtual TWinControl* GetButtonInstance() = 0;
  // Parent, hints and the events that go on to the group.
  virtual void InitButtonInstance(TWinControl* AButton);
  // Makes or frees windows until there are ACount; while the items tell of
  // a single change, exactly the window of that item.
  virtual void SetButtonCount(Integer ACount);
  // The colour and font of the active style on every button.
  virtual void SynchronizeButtonsStyle();
  // Windows for the items, enabled as group and item are, laid out, with
  // the group's cursor.
  virtual void UpdateButtons();

  // ---- Overrides ----
  void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) override;
  // The group or one of its buttons holds the focus.
  bool Focused() override;
  bool IsButtonDC(win::HDC ADC) override;
  // The group lays out its buttons itself, except while its caption's
  // accelerator selects the first one.
  bool IsContainerClass() override { return FIsAccelCharHandling; }
  // In place, the group stands in the tab order for its grid.
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomGroupBox::PropertiesChanged;
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;

 protected:
  bool CanAutoSize() override;
  // The colour of a button's caption: the active style's text colour.
  virtual TColor GetButtonTextColor(Integer AIndex);
  void ContainerStyleChanged(TObject* Sender) override;
  void CreateWnd() override;
  void CursorChanged() override;
  // Arrow keys move the focus along the columns; no wrapping.
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void Initialize() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  void CMEnabledChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_ENABLEDCHANGED, CMEnabledChanged)
  // A transparent group shows through again, with its buttons.
  void WMWindowPosChanged(TMessage& Message);
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGED, WMWindowPosChanged)

  // Button i belongs to item i.
  std::vector<TWinControl*> FButtons;

 private:
  TWinControl* NewButton();
  void FreeButton(Integer AIndex);
  // The buttons' events, re-raised on the group with the points moved by
  // the button's place.
  void ButtonDragDrop(TObject* Sender, TObject* Source, Integer X, Integer Y);
  void ButtonDragOver(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  void ButtonKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonKeyPress(TObject* Sender, char& Key);
  void ButtonKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseMove(TObject* Sender, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  void ButtonMouseWheel(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled);

  bool FButtonsCreating = false;
};
