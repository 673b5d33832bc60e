// The radio group editor: one value chosen from a fixed list of items,
// each with a caption and an optional value (an item without a value
// stands for its caption). Alone it is a group box with one radio-button
// window per item; in a grid cell without an editor window it paints the
// glyphs and captions itself; in place, the click that opens it goes on to
// the button under the mouse. Choosing item i gives item i's value (or its
// caption); no choice gives DefaultValue, and a value that matches no item
// checks nothing and shows DefaultCaption. The front end's list rows with
// fewer than five items are radio groups: values Min, Min + 1, ...,
// DefaultValue Min, one column.
#pragma once

#include "library/editors/core/cxComboBox.h"
#include "library/editors/cxButtonGroup.h"
#include "library/editors/cxRadioButton.h"
#include "library/editors/cxRadioGroupViewInfo.h"

class TcxRadioGroupItem : public TcxButtonGroupItem {
  ORV_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)
 public:
  explicit TcxRadioGroupItem(TCollection* Collection) : TcxButtonGroupItem(Collection) {}

  const Variant& GetValue() const { return FValue; }
  // A value not exactly equal to the current one is stored and told.
  void SetValue(const Variant& Value);
  bool IsValueStored() const { return !VarIsNull(FValue); }

 protected:
  // From another radio-group item: Value, then Caption, Enabled and Tag.
  void DoAssign(TPersistent* Source) override;

 private:
  Variant FValue = Null();
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
  ORV_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)
 public:
  TcxRadioGroupItems(TPersistent* AOwner, TClass ItemClass) : TcxButtonGroupItems(AOwner, ItemClass) {}
  TcxRadioGroupItem* Add() { return static_cast<TcxRadioGroupItem*>(TCollection::Add()); }
  TcxRadioGroupItem* GetItem(Integer Index) const {
    return static_cast<TcxRadioGroupItem*>(TCollection::GetItem(Index));
  }
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
  ORV_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
 public:
  explicit TcxCustomRadioGroupProperties(TPersistent* AOwner) : TcxCustomButtonGroupProperties(AOwner) {}
  void AfterConstruction() override;

  bool CanCompareEditValue() const override { return true; }
  // Both values stand for the same item.
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  TcxButtonGroupItems* CreateItems() override;
  TClass GetContainerClass() const override;
  // min(Columns, items), at least 1: 4 items in 3 columns give 3 columns,
  // the third empty.
  Integer GetColumnCount() override;
  // The caption of the value's item, else DefaultCaption.
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  bool HasDisplayValue() const override { return true; }
  bool IsResetEditClass() const override { return true; }
  // The value's item index as an integer.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;

  // The first item standing for Value: an item without a value by its
  // caption (case counts), another by its value exactly; -1 for none.
  Integer GetRadioGroupItemIndex(const Variant& Value);

  TcxRadioGroupItems* GetItems() const { return static_cast<TcxRadioGroupItems*>(FItems); }
  void SetItems(TcxRadioGroupItems* Value) { FItems->Assign(Value); }
  const WideString& GetDefaultCaption() const { return FDefaultCaption; }
  void SetDefaultCaption(const WideString& Value);
  const Variant& GetDefaultValue() const { return FDefaultValue; }
  // A value not exactly equal to the current one is stored and told.
  void SetDefaultValue(const Variant& Value);
  bool IsDefaultCaptionStored() const;
  bool IsDefaultValueStored() const { return !VarIsNull(FDefaultValue); }

 protected:
  // From other radio-group properties, as one change: the button-group
  // settings, then DefaultCaption, DefaultValue and WordWrap.
  void DoAssign(TPersistent* Source) override;

 private:
  WideString FDefaultCaption;
  Variant FDefaultValue = Null();
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
  ORV_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
 public:
  explicit TcxRadioGroupProperties(TPersistent* AOwner) : TcxCustomRadioGroupProperties(AOwner) {}
};

class TcxCustomRadioGroup;

// One button window of a radio group: its look, focus and clicks are the
// group's to decide.
class TcxCustomRadioGroupButton : public TcxRadioButton, public IcxContainerInnerControl {
  ORV_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)
 public:
  explicit TcxCustomRadioGroupButton(TComponent* AOwner);

  TcxCustomRadioGroup* GetRadioGroup() const { return FRadioGroup; }
  // The button's place in the group's columns, from its view info.
  Integer Column = 0;
  Integer Row = 0;

  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;
  bool CanFocus() override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void Click() override;

 protected:
  void DoEnter() override;
  void DoExit() override;
  void DrawBackground() override;
  bool IsInplace() override;
  bool IsNativeBackground() override;
  bool IsNativeStyle() override;
  bool IsTransparent() override;
  bool IsTransparentBackground() override;
  void KeyPress(char& Key) override;

  void CNCommand(TMessage& Message);
  ORV_MESSAGE(win::CN_COMMAND, CNCommand)
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)

 private:
  Integer GetIndex() const;

  TcxCustomRadioGroup* FRadioGroup;
  // A click notification is handled one at a time.
  bool FInternalClick = false;
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
  ORV_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)
 public:
  explicit TcxCustomRadioGroup(TComponent* AOwner) : TcxCustomRadioGroup(AOwner, false) {}
  TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace) : TcxCustomButtonGroup(AOwner, AIsInplace) {}

  TcxCustomRadioGroupProperties* GetProperties() const {
    return static_cast<TcxCustomRadioGroupProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomRadioGroupProperties* GetActiveProperties() const {
    return static_cast<TcxCustomRadioGroupProperties*>(TcxCustomEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomRadioGroupProperties* Value) { TcxCustomEdit::SetProperties(Value); }
  TcxCustomRadioGroupButton* GetRadioButton(Integer AIndex) const {
    return static_cast<TcxCustomRadioGroupButton*>(GetButton(AIndex));
  }

  // While loading or designing the stored index; else the first checked
  // button, -1 for none.
  Integer GetItemIndex();
  // Clamped to -1 .. buttons - 1; -1 gives DefaultValue.
  void SetItemIndex(Integer Value);

  void Activate(TcxCustomEditData*& AEditData) override;
  // The Space that opens a cell of no item chosen chooses the button that
  // took the focus, as Space on that button would.
  void ActivateByKey(char AKey, TcxCustomEditData*& AEditData) override;
  void Clear() override { SetItemIndex(-1); }
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  // The edit value, the checked button and the change events in one step.
  // An index with no button (the windows are behind the items) checks none.
  void SetInternalValues(const Variant& AEditValue, bool AValidateEdit, Integer AItemIndex);

  void ArrangeButtons() override;
  win::HDC GetButtonDC(Integer AIndex) override;
  TWinControl* GetButtonInstance() override;
  void SynchronizeButtonsStyle() override;
  void UpdateButtons() override;
  bool IsButtonNativeStyle();

  // The buttons take the tab order's places, and only while an item is
  // chosen.
  void GetTabOrderList(std::vector<TWinControl*>& List) override;
  // False while a button holds the focus.
  bool IsContainerFocused() override;
  bool TabsNeeded() override { return IsInplace(); }
  void SetDragMode(TDragMode Value) override;
  void SetDragKind(TDragKind Value) override;
  // Nothing to flip: the buttons follow the items' order.
  void FlipChildren(bool AllLevels) override;

 protected:
  friend class TcxCustomRadioGroupButton;

  TColor GetButtonTextColor(Integer AIndex) override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  bool IsInternalControl(TControl* AControl) override;
  void Loaded() override;
  void Resize() override;
  void ParentBackgroundChanged() override;

  void CMCtl3DChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_CTL3DCHANGED, CMCtl3DChanged)
  // Focuses the button of the index in wParam, when there is one.
  void DXMFocusRadioButton(TMessage& Message);
  ORV_MESSAGE(DXM_FOCUSRADIOBUTTON, DXMFocusRadioButton)

 private:
  // Checks the button of AIndex (none for -1) without a click or a change.
  void CheckButton(Integer AIndex);
  // The first checked button, -1 for none.
  Integer GetCheckedButtonIndex();
  void AfterLoading();

  Integer FLoadedItemIndex = -1;
  // The value named an item without a window yet: UpdateButtons checks it.
  bool FCheckPending = false;
  // Activate focuses a button of a group with no item chosen: the focus
  // arriving checks nothing then.
  bool FFocusingUnchosen = false;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
  ORV_CLASS(TcxRadioGroup, TcxCustomRadioGroup)
 public:
  explicit TcxRadioGroup(TComponent* AOwner) : TcxRadioGroup(AOwner, false) {}
  TcxRadioGroup(TComponent* AOwner, bool AIsInplace) : TcxCustomRadioGroup(AOwner, AIsInplace) {}

  TcxRadioGroupProperties* GetProperties() const {
    return static_cast<TcxRadioGroupProperties*>(TcxCustomRadioGroup::GetProperties());
  }
  TcxRadioGroupProperties* GetActiveProperties() const {
    return static_cast<TcxRadioGroupProperties*>(TcxCustomRadioGroup::GetActiveProperties());
  }
  void SetProperties(TcxRadioGroupProperties* Value) { TcxCustomRadioGroup::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on radio-group values: a fixed list
// of the items' captions.
class TcxFilterRadioGroupHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterRadioGroupHelper, TcxFilterComboBoxHelper)
 public:
  void GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties, Variant& V,
                      AnsiString& S) const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
  bool IsIDefaultValuesProviderNeeded(TcxCustomEditProperties*) const override { return false; }
  void SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                      const Variant& AValue) const override;
  bool UseDisplayValue() const override { return true; }
};

// The radio group unit's start-up: the kind with the editor kinds and its
// filter helper; shut-down takes the helper back. Counted like the other
// units.
void cxRadioGroupInitialize();
void cxRadioGroupFinalize();
