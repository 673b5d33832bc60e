// The spin editor: a text editor for one number with two or four buttons.
// It keeps the number it last knew beside the text, tells text the user
// typed from text a step or the program wrote, steps by buttons, keys and
// the wheel (a held button repeats: once at once, again after 400 ms, then
// every 100 ms), and posts each step at once when the properties ask for
// it. Key spinning and mouse spinning exclude each other.
#pragma once

#include "library/editors/core/cxMaskEdit.h"
#include "library/editors/cxSpinEditProperties.h"
#include "library/editors/cxSpinEditViewInfo.h"

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxCustomSpinEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomSpinEdit(TComponent* AOwner) : TcxCustomSpinEdit(AOwner, false) {}
  TcxCustomSpinEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMaskEdit(AOwner, AIsInplace) {}
  ~TcxCustomSpinEdit() override;

  TcxCustomSpinEditProperties* GetProperties() const {
    return static_cast<TcxCustomSpinEditProperties*>(TcxCustomMaskEdit::GetProperties());
  }
  TcxCustomSpinEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomSpinEditProperties*>(TcxCustomMaskEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomSpinEditProperties* Value) { TcxCustomMaskEdit::SetProperties(Value); }
  TcxSpinEditViewInfo* GetViewInfo() const {
    return static_cast<TcxSpinEditViewInfo*>(TcxCustomMaskEdit::GetViewInfo());
  }

  // ---- Introduced, in this order; the time editor overrides all five ----
  // The signed step of a button (rounded, halves to even, for integers).
  virtual double GetIncrement(TcxSpinEditButton AButton);
  // The current number of the value type: the typed text read while
  // focused, else the edit value; what is not a number counts as 0 taken
  // into the bounds.
  virtual Variant GetValue();
  // The text shown after a step.
  virtual AnsiString IncrementValueToStr(const Variant& AValue);
  // A number the properties accept; anything else is ignored.
  virtual void SetValue(const Variant& Value);
  // One step; true when the text changed. A step that ends on the same
  // text changes and posts nothing.
  virtual bool Increment(TcxSpinEditButton AButton);

  // ---- State ----
  // The last number the editor knows, of the current value type.
  const Variant& GetInternalValue() const { return FInternalValue; }
  void SetInternalValue(const Variant& V);
  // The last change of the text was the user's typing, deleting, cutting
  // or pasting.
  bool GetIsTextTyped() const { return FIsTextTyped; }
  TcxSpinEditPressedState GetPressedState() const { return FPressedState; }
  // A different state (with buttons) is stored and drawn at once.
  void SetPressedState(TcxSpinEditPressedState Value);
  // The auto-repeat of a button held with the mouse; null when none.
  TcxTimer* GetRepeatTimer() const { return FTimer; }
  bool IsOnGetValueEventAssigned() const;

  // Reads a typed text as the number to keep. An empty text is Null (0
  // taken into the bounds when the data requires a value). An unreadable
  // one goes to OnGetValue; failing that it falls back to the internal
  // value and answers false, with "Invalid numeric value" as the error
  // text under ExceptionOnInvalidInput (raised too when ARaise is set).
  bool InternalPrepareEditValue(const AnsiString& AText, bool ARaise, Variant& Value, AnsiString& ErrorText);

  // ---- Overrides ----
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void SynchronizeDisplayValue() override;
  void SynchronizeEditValue() override;
  void ClearSelection() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomMaskEdit::PropertiesChanged;
  bool RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift, bool AIsMouseEvent) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void FocusChanged() override;

 protected:
  void ChangeHandler(TObject* Sender) override;
  void CheckEditorValueBounds() override;
  void DblClick() override;
  void DoButtonDown(Integer AButtonVisibleIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void DoEditKeyPress(char& Key) override;
  void DoEditKeyUp(Word& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  void InitializeViewData(TcxCustomEditViewData* AViewData) override;
  Variant InternalGetEditingValue() override { return GetValue(); }
  // A spin editor has no popup: its styles do not show the popup's border.
  TcxContainerStyleValues InternalGetNotPublishedStyleValues() override;
  bool IsValidChar(char AChar) override;

  // Ends a held button: the repeat, the pressed look and the capture.
  void StopTracking();

 private:
  void TimerHandler(TObject* Sender);
  // Runs OnGetValue of the own properties, then the repository item's.
  void DoOnGetValue(const AnsiString& AText, Variant& AValue, AnsiString& ErrorText, bool& Error);
  // Up, Down, Page Up and Page Down.
  static bool IsStepKey(Word Key);

  Variant FInternalValue;
  bool FIsTextTyped = false;
  bool FTyping = false;
  TcxSpinEditPressedState FPressedState = epsNone;
  TcxTimer* FTimer = nullptr;
};

class TcxSpinEdit : public TcxCustomSpinEdit {
  ORV_CLASS(TcxSpinEdit, TcxCustomSpinEdit)
 public:
  explicit TcxSpinEdit(TComponent* AOwner) : TcxSpinEdit(AOwner, false) {}
  TcxSpinEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomSpinEdit(AOwner, AIsInplace) {}

  TcxSpinEditProperties* GetProperties() const {
    return static_cast<TcxSpinEditProperties*>(TcxCustomSpinEdit::GetProperties());
  }
  TcxSpinEditProperties* GetActiveProperties() const {
    return static_cast<TcxSpinEditProperties*>(TcxCustomSpinEdit::GetActiveProperties());
  }
  void SetProperties(TcxSpinEditProperties* Value) { TcxCustomSpinEdit::SetProperties(Value); }
  // The value is stored unless it is exactly 0.
  bool IsValueStored();

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on numbers: a spin editor that can
// always be typed into.
class TcxFilterSpinEditHelper : public TcxFilterMaskEditHelper {
  ORV_CLASS(TcxFilterSpinEditHelper, TcxFilterMaskEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  bool EditPropertiesHasButtons() const override { return true; }
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

// The spin editor unit's start-up: the spin kind with the editor kinds and
// its filter helper; shut-down takes both back. Counted like the other
// units.
void cxSpinEditInitialize();
void cxSpinEditFinalize();
