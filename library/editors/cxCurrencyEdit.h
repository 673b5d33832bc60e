// The currency editor: a text editor for money amounts. Its value is a
// floating-point number (or Null), shown unfocused in the locale's
// currency format and typed with at most DecimalPlaces digits after the
// decimal separator. A key that would leave a text that does not read as
// a number is refused, so what stands in the box is always an amount.
#pragma once

#include "library/editors/core/cxTextEdit.h"

class TcxCurrencyEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxCurrencyEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  explicit TcxCurrencyEditPropertiesValues(TPersistent* AOwner) : TcxTextEditPropertiesValues(AOwner) {}

  void RestoreDefaults() override;

  bool GetDecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FDecimalPlaces = false;
};

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomCurrencyEditProperties(TPersistent* AOwner);

  TClass GetContainerClass() const override;
  TClass GetAssignedValuesClass() const override { return TcxCurrencyEditPropertiesValues::StaticClass(); }
  AnsiString GetDefaultDisplayFormat() const override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return {dfoSupports, dfoNoCurrencyValue}; }
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool HasDigitGrouping(bool AIsDisplayValueSynchronizing) const override;
  bool IsEditValueNumeric() const override { return true; }
  // Focused and without an edit format of the data, only a text that reads.
  bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) override;
  // Null shows NullString unfocused (or the formatted 0 when not
  // Nullable), nothing focused.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  // A text that does not read is an error; then the text editor's checks.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // The editor's reading of a text: the amount in it (GetAmountText), its
  // thousand separators dropped, then the locale's number; 0 or a
  // magnitude from 5.0e-324 to 1.7e+308. A text that does not read gives 0
  // and true only when it is empty.
  bool StrToFloatEx(const AnsiString& S, double& Value) const;
  // The text check of typing: at most DecimalPlaces digits after the
  // decimal separator of the amount (counted up to an exponent), and a
  // text that reads.
  bool IsTextValid(const AnsiString& S) const;
  // The amount a text shows. Under an edit format (UseDisplayFormatWhenEditing
  // included) a text that does not read as it is may be one written in that
  // format and edited: the format's own text around the number (a currency
  // sign, a suffix, the brackets of a negative amount) comes off, and a
  // negative amount is given its sign. Any other text as it is.
  AnsiString GetAmountText(const AnsiString& S) const;

  // The own value while set, else the locale's currency digits.
  Integer GetDecimalPlaces() const;
  void SetDecimalPlaces(Integer Value);
  bool GetNullable() const { return FNullable; }
  void SetNullable(bool Value);
  AnsiString GetNullString() const { return FNullString; }
  void SetNullString(const AnsiString& Value);
  bool GetUseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value);
  bool IsDecimalPlacesStored() const { return GetAssignedValues()->GetDecimalPlaces(); }

  TcxCurrencyEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TcxCurrencyEditPropertiesValues*>(TcxCustomTextEditProperties::GetAssignedValues());
  }
  void SetAssignedValues(TcxCurrencyEditPropertiesValues* Value) {
    TcxCustomTextEditProperties::SetAssignedValues(Value);
  }

 protected:
  // The text settings, then the currency ones (DecimalPlaces only where
  // the source set it), as one change.
  void DoAssign(TPersistent* Source) override;

 private:
  Integer FDecimalPlaces = 2;
  bool FNullable = true;
  AnsiString FNullString;
  bool FUseThousandSeparator = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
  ORV_CLASS(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)
 public:
  explicit TcxCurrencyEditProperties(TPersistent* AOwner) : TcxCustomCurrencyEditProperties(AOwner) {}
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomCurrencyEdit, TcxCustomTextEdit)
 public:
  explicit TcxCustomCurrencyEdit(TComponent* AOwner) : TcxCustomCurrencyEdit(AOwner, false) {}
  TcxCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  TcxCustomCurrencyEditProperties* GetProperties() const {
    return static_cast<TcxCustomCurrencyEditProperties*>(TcxCustomTextEdit::GetProperties());
  }
  TcxCustomCurrencyEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomCurrencyEditProperties*>(TcxCustomTextEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomCurrencyEditProperties* Value) { TcxCustomTextEdit::SetProperties(Value); }

  // The amount; Null and what does not read count as 0.
  double GetValue();
  // Clamped into a defined bound, then set as the value.
  void SetValue(double Value);

  void KeyPress(char& Key) override;
  void PasteFromClipboard() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;

 protected:
  void CheckEditorValueBounds() override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  Variant InternalGetEditingValue() override;
  bool IsValidChar(char AChar) override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
  ORV_CLASS(TcxCurrencyEdit, TcxCustomCurrencyEdit)
 public:
  explicit TcxCurrencyEdit(TComponent* AOwner) : TcxCurrencyEdit(AOwner, false) {}
  TcxCurrencyEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomCurrencyEdit(AOwner, AIsInplace) {}

  TcxCurrencyEditProperties* GetProperties() const {
    return static_cast<TcxCurrencyEditProperties*>(TcxCustomCurrencyEdit::GetProperties());
  }
  TcxCurrencyEditProperties* GetActiveProperties() const {
    return static_cast<TcxCurrencyEditProperties*>(TcxCustomCurrencyEdit::GetActiveProperties());
  }
  void SetProperties(TcxCurrencyEditProperties* Value) { TcxCustomCurrencyEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on money: unbounded, Null when
// empty.
class TcxFilterCurrencyEditHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterCurrencyEditHelper, TcxFilterTextEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

// The currency editor unit's start-up: the currency kind with the editor
// kinds and its filter helper; shut-down takes them back. Counted like the
// other units.
void cxCurrencyEditInitialize();
void cxCurrencyEditFinalize();
