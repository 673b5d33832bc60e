// The filter builder: a control that shows the filter of another control
// as a tree of groups and conditions, lets a person change it with the
// mouse, the keyboard, an action menu, one drop-down list and in-place
// value editors, applies it to that control, and keeps it in filter files.
#pragma once

#include "library/editors/core/cxFormats.h"
#include "library/foundation/cxControls.h"
#include "library/grid/filter/cxFilterControlRows.h"

class TcxComboBox;
class TcxCustomEdit;
class TcxCustomEditStyle;
class TcxInplaceEditList;
class TcxTextEditProperties;
class TPopupMenu;
class TStrings;

namespace cxfc {
class TcxFilterControlViewInfo;
}

ORV_ENUM(TcxFilterControlFont, fcfBoolOperator, fcfItem, fcfCondition, fcfValue)
ORV_ENUM(TFilterControlState, fcsNormal, fcsSelectingAction, fcsSelectingItem, fcsSelectingBoolOperator,
         fcsSelectingCondition, fcsSelectingValue)
ORV_ENUM(TcxActivateValueEditKind, aveEnter, aveKey, aveMouse)

class TcxCustomFilterControl : public TcxControl,
                               public IcxFormatControllerListener,
                               public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomFilterControl, TcxControl)
 public:
  explicit TcxCustomFilterControl(TComponent* AOwner);
  ~TcxCustomFilterControl() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void ApplyFilter() { DoApplyFilter(); }
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  // Closes the value editor without taking its value, then empties the
  // rows and the criteria.
  virtual void Clear();
  void LayoutChanged();
  void Localize();
  void RefreshProperties();
  bool HasItems();
  bool HasFocus();
  virtual bool IsValid();

  // The rows as criteria, as caption and as expression.
  virtual AnsiString GetFilterCaption();
  virtual AnsiString GetFilterText();

  // Filter files: exactly the criteria bytes. Loading raises "Can't build
  // filter from source" (or the stream's read error) and then leaves the
  // rows and the criteria as they were; saving writes a temporary file
  // beside the target and renames it over the target only when the bytes
  // are all there, so a failed save keeps the old file.
  void LoadFromFile(const AnsiString& AFileName);
  void LoadFromStream(TStream* AStream);
  void SaveToFile(const AnsiString& AFileName);
  void SaveToStream(TStream* AStream);
  void ReadData(TStream* AStream);
  void WriteData(TStream* AStream);

  // The rows: the root first, then depth-first.
  cxfc::TcxGroupViewInfo* GetRoot() const { return FRoot; }
  cxfc::TcxCustomRowViewInfo* GetRow(Integer AIndex) const { return FRows.at(static_cast<size_t>(AIndex)); }
  Integer GetRowCount() const { return static_cast<Integer>(FRows.size()); }
  cxfc::TcxCustomRowViewInfo* GetFocusedRow() const { return FFocusInfo.Row; }
  Integer FocusedRowIndex() const;
  void SetFocusedRow(cxfc::TcxCustomRowViewInfo* ARow);
  const cxfc::TcxFilterControlHitTestInfo& GetFocusInfo() const { return FFocusInfo; }
  const cxfc::TcxFilterControlHitTestInfo& GetHotTrackInfo() const { return FHotTrackInfo; }
  TFilterControlState GetState() const { return FState; }
  bool IsHotTrack();

  void BuildFromCriteria();
  void BuildFromRows();
  void RecalcRows();
  void ClearRows();
  void AddCondition(cxfc::TcxCustomRowViewInfo* ARow);
  void AddGroup();
  void AddValue();
  void Remove();
  void RemoveRow();
  void RemoveValue();
  void ProcessHitTest(cxfc::TcxFilterControlHitTest ACode, bool AByMouse);
  void FocusNext(bool AByTab);
  void FocusPrev(bool AByTab);
  void FocusDown(bool AByTab);
  void FocusUp(bool AByTab);
  // Closes the value editor, taking its value with AAccept.
  void ValueEditorHide(bool AAccept);
  void EnsureRowVisible();

  TcxFilterControlCriteria* GetCriteria() const { return FCriteria; }
  cxfc::TcxFilterControlViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxComboBox* GetComboBox() const { return FComboBox; }
  TPopupMenu* GetActionMenu() const { return FMenu; }
  TcxCustomEdit* GetValueEditor() const { return FValueEditor; }
  TcxInplaceEditList* GetInplaceEditList() const { return FInplaceEditList; }
  TcxCustomEditStyle* GetEditStyle() const { return FEditStyle; }
  TcxCustomEditViewInfo* GetDefaultPropertiesViewInfo();

  TFont* GetFontOf(TcxFilterControlFont AFont) const { return FFonts[AFont]; }
  TFont* GetFontBoolOperator() const { return FFonts[fcfBoolOperator]; }
  void SetFontBoolOperator(TFont* Value) { FFonts[fcfBoolOperator]->Assign(Value); }
  TFont* GetFontItem() const { return FFonts[fcfItem]; }
  void SetFontItem(TFont* Value) { FFonts[fcfItem]->Assign(Value); }
  TFont* GetFontCondition() const { return FFonts[fcfCondition]; }
  void SetFontCondition(TFont* Value) { FFonts[fcfCondition]->Assign(Value); }
  TFont* GetFontValue() const { return FFonts[fcfValue]; }
  void SetFontValue(TFont* Value) { FFonts[fcfValue]->Assign(Value); }
  bool IsFontStored(TcxFilterControlFont AFont) const;
  bool IsFontBoolOperatorStored() const { return IsFontStored(fcfBoolOperator); }
  bool IsFontItemStored() const { return IsFontStored(fcfItem); }
  bool IsFontConditionStored() const { return IsFontStored(fcfCondition); }
  bool IsFontValueStored() const { return IsFontStored(fcfValue); }
  bool GetHotTrackOnUnfocused() const { return FHotTrackOnUnfocused; }
  void SetHotTrackOnUnfocused(bool Value);
  const AnsiString& GetNullString() const { return FNullString; }
  void SetNullString(const AnsiString& Value);
  bool GetShowLevelLines() const { return FShowLevelLines; }
  void SetShowLevelLines(bool Value);
  bool GetSortItems() const { return FSortItems; }
  void SetSortItems(bool Value) { FSortItems = Value; }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value);
  Integer GetTopVisibleRow() const { return FTopVisibleRow; }
  void SetTopVisibleRow(Integer Value);
  Integer GetLeftOffset() const { return FLeftOffset; }
  void SetLeftOffset(Integer Value);

  void SetEnabled(bool Value) override;
  void SetParent(TWinControl* AParent) override;

  // IcxFormatControllerListener
  void FormatChanged() override { LayoutChanged(); }
  // IcxMouseTrackingCaller
  void MouseTrackingMouseLeave() override;

  virtual TcxTextEditProperties* GetDefaultProperties() { return FDefaultProperties; }
  virtual IcxFilterControl* GetFilterLink() { return nullptr; }
  virtual void CorrectOperatorClass(TcxFilterOperatorClass&) {}
  virtual void ValidateConditions(TcxFilterControlOperators& AOperators);

  TNotifyEvent OnApplyFilter;

 protected:
  virtual void DoLayoutChange();
  virtual void CreateInternalControls();
  virtual void DestroyInternalControls();
  virtual void DoApplyFilter();
  virtual TcxFilterControlCriteriaClass GetFilterControlCriteriaClass();
  virtual TClass GetViewInfoClass();
  virtual void FillFilterItemList(TStrings* AStrings);
  virtual void FillConditionList(TStrings* AStrings);
  virtual void SelectAction();
  virtual void SelectBoolOperator();
  virtual void SelectCondition();
  virtual void SelectItem();
  virtual void SelectValue(TcxActivateValueEditKind AKind, char AKey);

  void InitControl() override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void FocusChanged() override;
  void FontChanged() override;
  void BoundsChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override { LayoutChanged(); }
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  TCursor GetCursor(Integer X, Integer Y) override;
  void Loaded() override;

 private:
  void FontHolderChanged(TObject* Sender);
  void DeriveFonts();
  // The combo's list emptied for a selection in AState, in AFont.
  TStrings* PrepareCombo(TFilterControlState AState, TcxFilterControlFont AFont, bool ASorted);
  void DoComboDropDown(const TRect& R, const AnsiString& AText);
  void ComboBoxCloseUp(TObject* Sender);
  void ComboBoxExit(TObject* Sender);
  void ComboBoxKeyPress(TObject* Sender, char& Key);
  void ComboBoxPopup(TObject* Sender);
  void MenuItemClick(TObject* Sender);
  void ValueEditorInit();
  void ValueEditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ValueEditorAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ValueEditorExit(TObject* Sender);
  void HideAcceptingOrKeepEditing();
  void RowNavigate(cxfc::TcxFilterControlHitTest ACode, Integer AValueIndex = -1);
  void AddRows(cxfc::TcxCustomRowViewInfo* ARow);
  TRect FocusedPartRect();
  cxfc::TcxConditionViewInfo* FocusedCondition() const;
  void UpdateHotTrack(const TPoint& P, TShiftState AShift);
  void InstallRoot(cxfc::TcxGroupViewInfo* ARoot);

  TcxFilterControlCriteria* FCriteria = nullptr;
  cxfc::TcxGroupViewInfo* FRoot = nullptr;
  std::vector<cxfc::TcxCustomRowViewInfo*> FRows;
  cxfc::TcxFilterControlHitTestInfo FFocusInfo;
  cxfc::TcxFilterControlHitTestInfo FHotTrackInfo;
  TFilterControlState FState = fcsNormal;
  Integer FTopVisibleRow = 0;
  Integer FLeftOffset = 0;
  Integer FLockCount = 0;
  bool FInvalidValue = false;
  TPopupMenu* FMenu = nullptr;
  TcxComboBox* FComboBox = nullptr;
  TcxInplaceEditList* FInplaceEditList = nullptr;
  TcxTextEditProperties* FDefaultProperties = nullptr;
  TcxCustomEditStyle* FEditStyle = nullptr;
  TcxCustomEdit* FValueEditor = nullptr;
  cxfc::TcxFilterControlViewInfo* FViewInfo = nullptr;
  TFont* FFonts[4] = {};
  bool FDerivingFonts = false;
  bool FHotTrackOnUnfocused = true;
  AnsiString FNullString;
  bool FShowLevelLines = true;
  bool FSortItems = false;
  bool FWantTabs = false;
  bool FTracking = false;
};

class TcxFilterControl : public TcxCustomFilterControl, public IcxFilterControlDialog {
  ORV_CLASS(TcxFilterControl, TcxCustomFilterControl)
 public:
  explicit TcxFilterControl(TComponent* AOwner) : TcxCustomFilterControl(AOwner) {}

  IcxFilterControl* GetFilterLink() override;
  TComponent* GetLinkComponent() const { return FLinkComponent; }
  // A component that does not offer IcxFilterControl counts as none.
  void SetLinkComponent(TComponent* Value) override;
  // Reads the link's current criteria into the rows (empties them without
  // a link).
  void UpdateFilter();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TComponent* FLinkComponent = nullptr;
};

using TcxFilterControlClass = TClassRef<TcxCustomFilterControl>;
