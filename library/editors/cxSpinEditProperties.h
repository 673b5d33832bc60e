// The settings and the value arithmetic of the spin editor: whether it
// holds integers or decimals, the bounds in force, reading a typed text as
// a number, checking a value, and one step of the buttons, keys or wheel
// with its three ways of meeting a bound. Every integer and decimal
// parameter that reaches the generator goes through these rules, so they
// are exact: no step overflows, none passes a bound it must not pass, and
// a stored number is never rounded by being checked.
//
// The control side (TcxCustomSpinEdit, its buttons and their painting)
// lives in cxSpinEdit.
#pragma once

#include "library/editors/core/cxMaskEdit.h"

class TcxCustomSpinEdit;

ORV_ENUM(TcxSpinEditValueType, vtInt, vtFloat)
ORV_ENUM(TcxSpinBoundsCheckingKind, bckDoNotExceed, bckExtendToBound, bckCircular)
// A button's index among the properties' buttons is its kind.
ORV_ENUM(TcxSpinEditButton, sebBackward, sebForward, sebFastBackward, sebFastForward)
ORV_ENUM(TcxSpinEditButtonsPosition, sbpHorzLeftRight, sbpHorzRight, sbpVert)

// Converts a typed text the editor cannot read itself; clearing Error
// accepts the text with AValue.
using TcxSpinEditGetValueEvent =
    Event<void(TObject* Sender, const AnsiString& AText, Variant& AValue, AnsiString& ErrorText, bool& Error)>;

class TcxCustomSpinEditProperties;

// Where the backward and forward buttons stand, and whether the two fast
// buttons join them.
class TcxSpinEditButtons : public TPersistent {
  ORV_CLASS(TcxSpinEditButtons, TPersistent)
 public:
  explicit TcxSpinEditButtons(TcxCustomSpinEditProperties* AOwner) : FOwner(AOwner) {}

  TPersistent* GetOwner() override;

  TcxSpinEditButtonsPosition GetPosition() const { return FPosition; }
  void SetPosition(TcxSpinEditButtonsPosition Value);
  bool GetShowFastButtons() const { return FShowFastButtons; }
  void SetShowFastButtons(bool Value);

 protected:
  // Both values as one change of the owner.
  void DoAssign(TPersistent* Source) override;

 private:
  void Changed();

  TcxCustomSpinEditProperties* FOwner;
  TcxSpinEditButtonsPosition FPosition = sbpVert;
  bool FShowFastButtons = false;
};

// The text editor's marks and one more: whether the value type was set
// rather than taken from the data.
class TcxSpinEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  explicit TcxSpinEditPropertiesValues(TPersistent* AOwner) : TcxTextEditPropertiesValues(AOwner) {}

  void RestoreDefaults() override;

  bool GetValueType() const { return FValueType; }
  void SetValueType(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FValueType = false;
};

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomSpinEditProperties(TPersistent* AOwner) : TcxCustomMaskEditProperties(AOwner) {}
  ~TcxCustomSpinEditProperties() override;
  // Makes the button settings and the backward and forward buttons.
  void AfterConstruction() override;

  // Keeps two buttons, or four with the fast ones, then notifies.
  void Changed() override;

  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  TClass GetAssignedValuesClass() const override { return TcxSpinEditPropertiesValues::StaticClass(); }
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  AnsiString DefaultFocusedDisplayValue() const override;
  bool IsEditValueNumeric() const override { return true; }
  // A readable text (out of bounds too) is valid and becomes the plain text
  // of its number; an empty text is valid.
  bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) override;
  // Numbers are checked as numbers: a decimal keeps every digit, an
  // integer value must be whole. Texts are read; Null, empty and dates pass.
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  // Typed text: refused silently or with "Invalid numeric value", clamped
  // into the bounds or refused with "Value out of bounds"; then the
  // editor's own validation event.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // Introduced, in this order; the time editor overrides several.
  virtual bool ExtendValueUpToBound() { return true; }
  virtual TcxSpinBoundsCheckingKind GetBoundsCheckingKind();
  // The bounds in force as values of the current type; the type's own
  // limit where a bound is not in force.
  virtual Variant InternalMaxValue();
  virtual Variant InternalMinValue();
  virtual bool IsDisplayValueNumeric() { return true; }
  // V of the current type; Null and empty count as 0.
  virtual Variant PrepareValue(const Variant& V);
  virtual bool PreserveSelection() { return false; }

  // ---- Value arithmetic ----
  // The whole text read as a number of the current type; false leaves
  // Value Null.
  bool TryTextToValue(const AnsiString& AText, Variant& Value);
  // V as a 64-bit integer (vtInt) or a double (vtFloat).
  Variant VarToCurrentValueType(const Variant& V);
  // The same for a number; anything else as it is.
  Variant SetVariantType(const Variant& V);
  // A number raised to MinValue or lowered to MaxValue where that bound is
  // in force (the raw bounds, not rounded); anything else as it is.
  Variant CheckValueBounds(const Variant& V);
  // The type's own lower (AMin) or upper limit.
  Variant GetMaxMinValueForCurrentValueType(bool AMin);
  // E lies within the current type's limits.
  bool IsValueBoundsValid(Extended E);
  // D itself for vtFloat; rounded, halves to even, for vtInt (saturating at
  // the type's limits).
  static Variant DoubleAsValueType(double D, TcxSpinEditValueType AValueType);
  // The value AValue becomes after one step of AButton by AIncrement (the
  // step already signed). False when no step happens: a bound under
  // bckDoNotExceed, or a value outside the bounds moving away from them.
  // Computed without overflow; a circular step always lands within the
  // bounds, however large.
  bool CalculateStep(const Variant& AValue, TcxSpinEditButton AButton, const Variant& AIncrement, Variant& Result);

  // ---- Settings ----
  bool GetCanEdit() const { return FCanEdit; }
  void SetCanEdit(bool Value);
  bool GetCircular() const { return FCircular; }
  void SetCircular(bool Value);
  bool GetExceptionOnInvalidInput() const { return FExceptionOnInvalidInput; }
  void SetExceptionOnInvalidInput(bool Value);
  // The three step settings only matter when a step is taken, so a write
  // needs no notice: the front end sets them directly on its rows.
  double GetIncrement() const { return FIncrement; }
  void SetIncrement(double Value) { FIncrement = Value; }
  double GetLargeIncrement() const { return FLargeIncrement; }
  void SetLargeIncrement(double Value) { FLargeIncrement = Value; }
  bool GetUseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool Value) { FUseCtrlIncrement = Value; }
  TcxSpinEditButtons* GetSpinButtons() const { return FSpinButtons; }
  void SetSpinButtons(TcxSpinEditButtons* Value) { FSpinButtons->Assign(Value); }
  // The assigned type; else the bound data's (decimal or not); else vtFloat.
  TcxSpinEditValueType GetValueType() const;
  void SetValueType(TcxSpinEditValueType Value);

  TcxSpinEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TcxSpinEditPropertiesValues*>(TcxCustomEditProperties::GetAssignedValues());
  }
  void SetAssignedValues(TcxSpinEditPropertiesValues* Value) { TcxCustomEditProperties::SetAssignedValues(Value); }

  bool IsIncrementStored() const { return FIncrement != 1.0; }
  bool IsLargeIncrementStored() const { return FLargeIncrement != 10.0; }
  bool IsValueTypeStored() const { return GetAssignedValues()->GetValueType(); }

  TcxSpinEditGetValueEvent OnGetValue;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FCanEdit = true;
  bool FCircular = false;
  bool FExceptionOnInvalidInput = false;
  double FIncrement = 1.0;
  double FLargeIncrement = 10.0;
  TcxSpinEditButtons* FSpinButtons = nullptr;
  bool FUseCtrlIncrement = false;
  TcxSpinEditValueType FValueType = vtFloat;
};

// The published form.
class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
  ORV_CLASS(TcxSpinEditProperties, TcxCustomSpinEditProperties)
 public:
  explicit TcxSpinEditProperties(TPersistent* AOwner) : TcxCustomSpinEditProperties(AOwner) {}
};
