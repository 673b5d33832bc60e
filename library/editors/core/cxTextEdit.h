// The single-line text editor, the base of every editor that types text.
// It hosts the platform edit inside its container, keeps the edit's text in
// step with the edit value, filters typed keys through its properties,
// searches and moves through its lookup items while the user types, and
// decides when the edit is shown at all and when its view info draws the
// text instead.
#pragma once

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxFilterControlUtils.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/core/cxInnerTextEdit.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/editors/core/cxTextEditViewInfo.h"

// Why the lookup list is asked whether it scrolls.
ORV_ENUM(TcxEditScrollCause, escKeyboard, escMouseWheel)

class TcxCustomTextEdit : public TcxCustomEdit,
                          public IcxFormatControllerListener,
                          public IcxTextEditDigitGroupsEdit {
  ORV_CLASS(TcxCustomTextEdit, TcxCustomEdit)
 public:
  explicit TcxCustomTextEdit(TComponent* AOwner) : TcxCustomTextEdit(AOwner, false) {}
  TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {}
  ~TcxCustomTextEdit() override;
  void BeforeDestruction() override;

  TcxCustomTextEditProperties* GetProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(TcxCustomEdit::GetProperties());
  }
  TcxCustomTextEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(TcxCustomEdit::GetActiveProperties());
  }
  IcxInnerTextEdit* GetInnerTextEdit() const { return FInnerTextEdit; }
  TcxCustomTextEditViewInfo* GetViewInfo() const {
    return static_cast<TcxCustomTextEditViewInfo*>(TcxCustomEdit::GetViewInfo());
  }
  // The editor's lookup items; null when its properties use none.
  IcxTextEditLookupData* GetILookupData() const { return FLookupData; }
  // Not once its inner edit has handed the focus on.
  bool Focused() override;
  // While set, the editor's own text changes do not re-search the lookup
  // items: the text is being set from an item, or typing searches itself.
  bool GetLookupTextLock() const { return FLookupTextLock; }
  void SetLookupTextLock(bool Value) { FLookupTextLock = Value; }

  // ---- Text and selection ----
  AnsiString GetText() override;
  void SetText(const AnsiString& Value);
  Integer GetSelStart() override;
  void SetSelStart(Integer Value) override;
  Integer GetSelLength();
  void SetSelLength(Integer Value);
  AnsiString GetSelText();
  virtual void SetSelText(const AnsiString& Value);
  void SetSelection(Integer ASelStart, Integer ASelLength);
  void SelectAll() override;
  virtual void ClearSelection();
  // The character index under the caret.
  Integer GetCursorPos();

  // ---- Clipboard ----
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  virtual void Undo();

  // ---- Values ----
  Variant GetDisplayValue() override;
  void SetInternalDisplayValue(const Variant& Value) override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  Variant GetEditValue() override;
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  // A value left behind by the text is read now: a change that no
  // synchronisation follows is about to be made.
  void RealizeEditValue();
  // The inner edit is about to insert at AStart (selection empty): a value
  // left behind can still be read meanwhile, as the text less the
  // insertion. EndInsertion follows the insertion.
  void BeginInsertion(Integer AStart) { FInsertionStart = AStart; }
  void EndInsertion() { FInsertionStart = -1; }
  void Activate(TcxCustomEditData*& AEditData) override;
  bool IsEditClass() override;
  bool HasTextBaseLine() override { return true; }
  Integer GetTextBaseLine() override;

  // ---- Lookup items ----
  Integer GetItemIndex() { return LookupKeyToItemIndex(FLookupData ? FLookupData->GetCurrentKey() : Variant(-1)); }
  virtual void SetItemIndex(Integer Value);
  TObject* GetItemObject();
  void SetItemObject(TObject* Value);

  // ---- State ----
  bool GetBeepOnEnter() const { return FBeepOnEnter; }
  void SetBeepOnEnter(bool Value) { FBeepOnEnter = Value; }
  bool GetFindSelection() const { return FFindSelection; }
  void SetFindSelection(bool Value);
  bool GetHideInnerEdit() const { return FHideInnerEdit; }
  void SetHideInnerEdit(bool Value);
  bool GetShowInnerEdit() const { return FShowInnerEdit; }
  void SetShowInnerEdit(bool Value);
  bool GetTesting() const { return FTesting; }
  void SetTesting(bool Value);

  bool RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void KeyPress(char& Key) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomEdit::PropertiesChanged;
  // The locale's formats changed: show the value again.
  void FormatChanged() override;

 protected:
  // ---- Hooks introduced, in this order ----
  virtual void AdjustInnerEdit();
  virtual bool CanChangeSelText(const AnsiString& Value, AnsiString& NewText, Integer& NewSelStart);
  virtual void CheckEditValue();
  virtual void CheckEditorValueBounds() {}
  // The edit value is the text itself (PrepareEditValue leaves it as it
  // is) and the inner edit tells every change of it: synchronising then
  // needs no reading of the text.
  virtual bool EditValueFollowsText() { return false; }
  virtual void DoOnNewLookupDisplayText(const AnsiString& AText);
  virtual Integer GetInnerEditHeight();
  virtual bool GetScrollLookupDataList(TcxEditScrollCause) { return false; }
  virtual void HandleSelectItem(TObject* Sender);
  virtual AnsiString InternalGetText();
  virtual bool InternalSetText(const AnsiString& Value);
  virtual Variant ItemIndexToLookupKey(Integer AItemIndex) { return Variant(AItemIndex); }
  virtual Variant LookupKeyToEditValue(const Variant& AKey);
  virtual Integer LookupKeyToItemIndex(const Variant& AKey);
  virtual bool NeedResetInvalidTextWhenPropertiesChanged();
  virtual void ResetOnNewDisplayValue();
  virtual void SelChange(TObject*) {}
  virtual void SetEditingText(const AnsiString& Value);
  virtual void UpdateDisplayValue();

  // ---- Overrides of the base editor ----
  void AdjustInnerEditPosition() override;
  void GetInnerControlBounds(const TRect& R, TControl* AControl, TcxContainerInnerControlBounds& ABounds) override;
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  bool CanKeyPressModifyEdit(char Key) override;
  void ChangeHandler(TObject* Sender) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DoExit() override;
  void FillSizeProperties(TcxEditSizeProperties& AEditSizeProperties) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  TClassRef<TWinControl> GetInnerEditClass() const override;
  void Initialize() override;
  bool InternalDoEditing() override;
  Variant InternalGetEditingValue() override { return Variant(GetText()); }
  void InternalSetDisplayValue(const Variant& Value) override;
  void InternalValidateDisplayValue(const Variant& ADisplayValue) override;
  bool IsValidChar(char AChar) override;
  // The text as it would read with AChar typed over the selection (the
  // numeric editors' key filters judge it).
  AnsiString GetTypedText(char AChar);
  void Loaded() override;
  void ResetEditValue() override;
  void SetDisplayText(const AnsiString& Value) override;
  void UpdateDrawValue() override;
  bool WantNavigationKeys() override { return true; }
  void LockedInnerEditWindowProc(TMessage& Message) override;
  void LockInnerEditRepainting() override;
  void UnlockInnerEditRepainting() override;

  void WMClear(TMessage& Message);
  ORV_MESSAGE(win::WM_CLEAR, WMClear)
  void WMGetText(TMessage& Message);
  ORV_MESSAGE(win::WM_GETTEXT, WMGetText)
  void WMGetTextLength(TMessage& Message);
  ORV_MESSAGE(win::WM_GETTEXTLENGTH, WMGetTextLength)
  void WMSetText(TMessage& Message);
  ORV_MESSAGE(win::WM_SETTEXT, WMSetText)

  // The lookup is in use: the properties name a lookup data class.
  bool IsLookupDataUsed() const { return FLookupData != nullptr; }
  bool IsInnerEditShown() { return GetViewInfo() && GetViewInfo()->IsEditClass; }

 private:
  friend class TcxCustomInnerTextEdit;

  // The search step of typing in lookup items: proposes the first item
  // that starts with AHead and selects the rest of it.
  bool FindNearestItem(AnsiString AHead);
  // Moves in the lookup items by key or wheel, posting when asked to.
  void GoInLookup(TcxEditLookupDataGoDirection ADirection);
  // The selection highlight a hidden inner edit leaves to the view info.
  void ApplyFindSelectionHighlight();
  void CreateLookupData();

  bool FBeepOnEnter = true;
  bool FFindSelectionLock = false;
  bool FFindSelection = false;
  bool FHideInnerEdit = false;
  bool FIsSettingText = false;
  bool FIsDisplayValueSynchronizing = false;
  bool FLookupNavigating = false;
  bool FShowInnerEdit = false;
  bool FTesting = false;
  AnsiString FKeptText;
  bool FTextKept = false;
  bool FInnerEditPositionAdjusting = false;
  // Regrouping the digits changes the text again; that change regroups
  // nothing.
  bool FSeparatingDigitGroups = false;
  // The inner edit's repainting is held: its window existed when locked.
  bool FInnerEditRepaintingLocked = false;
  // Set by the drop-down editors when Enter or Esc closed the popup; the
  // inner edit then swallows that key's character.
  bool FPopupClosingKey = false;
  IcxTextEditLookupData* FLookupData = nullptr;
  TObject* FLookupDataObject = nullptr;
  bool FLookupTextLock = false;
  // The inner edit is handing the focus to a window outside the editor;
  // the window system still names the inner edit as focused meanwhile.
  bool FInnerEditLosingFocus = false;
  IcxInnerTextEdit* FInnerTextEdit = nullptr;
  // A long text grows line by line in time that grows with its lines only
  // if no line reads the whole of it. While FEditValueInStep, the edit
  // value is the text as it stood after the inner edit's change
  // FInStepChange, FInStepLength long; stale, it holds nothing and is read
  // from the text when asked for.
  Integer FTextChanges = 0;
  Integer FInStepChange = 0;
  Integer FInStepLength = 0;
  Integer FInsertionStart = -1;
  bool FEditValueInStep = false;
  bool FEditValueStale = false;
};

class TcxTextEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxTextEdit, TcxCustomTextEdit)
 public:
  explicit TcxTextEdit(TComponent* AOwner) : TcxCustomTextEdit(AOwner) {}
  TcxTextEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  TcxTextEditProperties* GetProperties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomTextEdit::GetProperties());
  }
  TcxTextEditProperties* GetActiveProperties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomTextEdit::GetActiveProperties());
  }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

using TcxCustomTextEditClass = TClassRef<TcxCustomTextEdit>;

// The filter builder's helper for text conditions: a plain text editor
// that selects its whole text on entry, hides the selection when it loses
// the focus and shows its caret whatever the column's view style.
class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
  ORV_CLASS(TcxFilterTextEditHelper, TcxCustomFilterEditHelper)
 public:
  TClass GetFilterEditClass() const override { return TcxTextEdit::StaticClass(); }
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
  // The condition's value goes into the editor as its text.
  void SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                      const Variant& AValue) const override;
};

// The clipboard's text as a single-line edit takes it: up to the first
// line break or terminating zero. The text editors paste through it.
bool TextEditClipboardHasText();
AnsiString TextEditClipboardText();
// The clipboard's whole text, up to its terminating zero.
AnsiString ClipboardText();

// The text editor unit's start-up: the text editor kind with the editor
// kinds and its filter helper with the filter builder. Counted like the
// other units.
void cxTextEditInitialize();
void cxTextEditFinalize();
