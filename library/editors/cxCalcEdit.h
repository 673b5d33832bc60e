// The calculator editor: a numeric text box with the pocket calculator as
// its drop-down. The calculator has no display of its own here: it shows
// and edits the editor's text, so every button pressed while it is open
// changes what the editor holds. Its value is a floating-point number (or
// Null for an empty text or one that does not read).
#pragma once

#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/cxCalc.h"

class TcxCustomCalcEdit;

// The drop-down's calculator: its display is the editor's text.
class TcxPopupCalculator : public TcxCustomCalculator {
  ORV_CLASS(TcxPopupCalculator, TcxCustomCalculator)
 public:
  explicit TcxPopupCalculator(TComponent* AOwner);

  TcxCustomLookAndFeelPainterClass GetPainter() override;
  AnsiString GetEditorValue() override;
  // Written only where the editor lets itself be edited.
  void SetEditorValue(const AnsiString& Value) override;

  // ---- Introduced ----
  // A fresh drop-down: no key holds a button down, no operation pending.
  virtual void Init();

  TcxCustomCalcEdit* GetEdit() const { return FEdit; }
  void SetEdit(TcxCustomCalcEdit* Value) { FEdit = Value; }

  // After the calculator's own handling (Enter has pressed "=", Escape
  // has cleared), the keys that close the drop-down.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

 private:
  TcxCustomCalcEdit* FEdit = nullptr;
};

class TcxCalcEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxCalcEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  explicit TcxCalcEditPropertiesValues(TPersistent* AOwner) : TcxTextEditPropertiesValues(AOwner) {}
  void RestoreDefaults() override;

  bool GetPrecision() const { return FPrecision; }
  void SetPrecision(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FPrecision = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomCalcEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  TClass GetAssignedValuesClass() const override { return TcxCalcEditPropertiesValues::StaticClass(); }
  TClass GetContainerClass() const override;
  bool GetAlwaysPostEditValue() const override { return true; }
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool HasDigitGrouping(bool AIsDisplayValueSynchronizing) const override;
  bool IsDisplayValueValid(Variant&, bool) override { return true; }
  bool IsEditValueNumeric() const override { return true; }
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  bool PopupWindowAcceptsAnySize() const override { return false; }
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // Thousand separators dropped, then the locale's number: 0 or a
  // magnitude from 5.0e-324 to 1.7e+308; otherwise 0 and false.
  bool StrToFloatEx(const AnsiString& S, double& Value) const;
  // A text of the editor as a number, the blanks around it and the
  // grouping dropped; false when it reads as none (an empty text too).
  bool ReadNumber(const AnsiString& AText, double& Value) const;
  // The number as the focused editor (and the calculator) shows it.
  AnsiString FloatToText(double Value) const;

  // While not set: the data field's default precision, else 15; never
  // above 15.
  Integer GetPrecision() const;
  void SetPrecision(Integer Value);
  bool IsPrecisionStored() const { return GetAssignedValues()->GetPrecision(); }
  bool GetQuickClose() const { return FQuickClose; }
  void SetQuickClose(bool Value);
  bool GetScientificFormat() const { return FScientificFormat; }
  void SetScientificFormat(bool Value);
  bool GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value);

  TcxCalcEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TcxCalcEditPropertiesValues*>(TcxCustomPopupEditProperties::GetAssignedValues());
  }
  void SetAssignedValues(TcxCalcEditPropertiesValues* Value) { TcxCustomPopupEditProperties::SetAssignedValues(Value); }

 protected:
  // The popup settings, then the calculator's (Precision only where the
  // source set it), as one change.
  void DoAssign(TPersistent* Source) override;

 private:
  Integer FPrecision = 15;
  bool FQuickClose = false;
  bool FScientificFormat = false;
  bool FUseThousandSeparator = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
  ORV_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)
 public:
  explicit TcxCalcEditProperties(TPersistent* AOwner) : TcxCustomCalcEditProperties(AOwner) {}
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomCalcEdit(TComponent* AOwner) : TcxCustomCalcEdit(AOwner, false) {}
  TcxCustomCalcEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace) {}

  TcxCustomCalcEditProperties* GetProperties() const {
    return static_cast<TcxCustomCalcEditProperties*>(TcxCustomPopupEdit::GetProperties());
  }
  TcxCustomCalcEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomCalcEditProperties*>(TcxCustomPopupEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomCalcEditProperties* Value) { TcxCustomPopupEdit::SetProperties(Value); }

  // Null, an empty text and a text that does not read count as 0.
  double GetValue();
  void SetValue(double Value);
  TcxPopupCalculator* GetCalculator() const { return FCalculator; }

  void KeyPress(char& Key) override;
  // Through the calculator; a text that is no number is refused and the
  // editor keeps what it held.
  void PasteFromClipboard() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void PropertiesChanged(TObject* Sender) override;
  // Enter and Escape in the drop-down are the calculator's: they press
  // "=" or clear before the drop-down closes.
  void PopupWindowKeyDown(Word& Key, TShiftState Shift) override;

  // The text as a value: Null when empty or not a number.
  void InternalPrepareEditValue(const AnsiString& AText, Variant& EditValue) const;

 protected:
  friend class TcxPopupCalculator;

  bool CanDropDown() override;
  void CreatePopupWindow() override;
  void DoInitPopup() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  void InitializePopupWindow() override;
  Variant InternalGetEditingValue() override;
  bool IsValidChar(char AChar) override;
  void PopupWindowClosed(TObject* Sender) override;
  void PopupWindowShowed(TObject* Sender) override;

 private:
  TcxPopupCalculator* FCalculator = nullptr;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
  ORV_CLASS(TcxCalcEdit, TcxCustomCalcEdit)
 public:
  explicit TcxCalcEdit(TComponent* AOwner) : TcxCalcEdit(AOwner, false) {}
  TcxCalcEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomCalcEdit(AOwner, AIsInplace) {}

  TcxCalcEditProperties* GetProperties() const {
    return static_cast<TcxCalcEditProperties*>(TcxCustomCalcEdit::GetProperties());
  }
  TcxCalcEditProperties* GetActiveProperties() const {
    return static_cast<TcxCalcEditProperties*>(TcxCustomCalcEdit::GetActiveProperties());
  }
  void SetProperties(TcxCalcEditProperties* Value) { TcxCustomCalcEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on numbers: "=" closes the
// calculator with its result.
class TcxFilterCalcEditHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterCalcEditHelper, TcxFilterDropDownEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

// The unit's start-up registers the calculator editor kind and its filter
// helper; shut-down takes the helper back. Counted like the other units.
void cxCalcEditInitialize();
void cxCalcEditFinalize();
