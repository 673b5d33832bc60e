// The settings and the value logic of the single-line text editor and of
// every editor built on it: how an edit value becomes the text a cell or
// the editor shows (display and edit formats, digit grouping, password
// echo, letter case), whether a typed text is acceptable (lookup items,
// value bounds), and what the editor and its inner edit are told (maximum
// length, echo, input method, editing style).
//
// Value-related settings the user left unset come from the bound data
// through the default-values provider; TcxTextEditPropertiesValues records
// which ones were set. The properties listen to the format controller and
// re-format their editors when the locale's formats change.
#pragma once

#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxFormats.h"
#include "platform/controls/Edit.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/StringList.h"

class TFiler;
class TReader;
class TWriter;

ORV_ENUM(TcxEditEditingStyle, esEdit, esEditList, esFixedList, esNoEdit)
ORV_ENUM(TcxEditEchoMode, eemNormal, eemPassword)
ORV_ENUM(TcxTextEditViewStyle, vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth)
ORV_ENUM(TcxEditValueBound, evbMin, evbMax)

// The validation error of a value outside the bounds.
inline constexpr TcxEditErrorKind cxEditValueOutOfBounds = 1;

// The characters an editor accepts besides its own rule.
using TcxTextEditChars = TSysCharSet;

using TcxNewLookupDisplayTextEvent = Event<void(TObject* Sender, const AnsiString& AText)>;

class TcxCustomTextEditProperties;

// Which of the value-related settings the user set: display and edit
// formats, maximum length and the two bounds.
class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  ORV_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
 public:
  explicit TcxTextEditPropertiesValues(TPersistent* AOwner) : TcxCustomEditPropertiesValues(AOwner) {}

  // Clears every mark as one change.
  void RestoreDefaults() override;

  bool GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool Value);
  bool GetEditFormat() const { return FEditFormat; }
  void SetEditFormat(bool Value);
  bool GetMaxLength() const { return FMaxLength; }
  // A change tells the owner its maximum length changed.
  void SetMaxLength(bool Value);
  bool GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(bool Value);
  bool GetMinValue() const { return FMinValue; }
  void SetMinValue(bool Value);

  // A mark is streamed only where the stream leaves the owner's value out
  // (an empty format, a zero bound) and the owner publishes the property.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;
  bool IsMaxValueStored() const;
  bool IsMinValueStored() const;

 protected:
  // Copies the base marks and the five marks as one change.
  void DoAssign(TPersistent* Source) override;

 private:
  TcxCustomTextEditProperties* GetTextProperties() const;

  bool FDisplayFormat = false;
  bool FEditFormat = false;
  bool FMaxLength = false;
  bool FMaxValue = false;
  bool FMinValue = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatControllerListener {
  ORV_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomTextEditProperties(TPersistent* AOwner);
  ~TcxCustomTextEditProperties() override;
  void AfterConstruction() override;

  // Factories. The editor class is the text editor's (defined with it).
  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  TClass GetAssignedValuesClass() const override { return TcxTextEditPropertiesValues::StaticClass(); }

  // Value hooks.
  bool CanCompareEditValue() const override { return true; }
  bool CanValidate() const override { return true; }
  // The in-place display texts of both, compared case-sensitively.
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  // Never raises: a value the numeric preparation cannot convert shows its
  // plain text.
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return {dfoSupports}; }
  TcxDataEditValueSource GetEditValueSource(bool) const override { return evsText; }
  TcxEditSupportedOperations GetSupportedOperations() const override;
  AnsiString GetValidateErrorText(TcxEditErrorKind AErrorKind) const override;
  bool HasDisplayValue() const override { return true; }
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  bool IsResetEditClass() const override;
  // Numeric kinds: raises EConvertError for a value that is neither a
  // number nor a string.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  // The bounds first (numeric kinds with a bound in force), then the
  // validation of every editor.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;

  // The display value of an edit value: the prepared one when the value is
  // valid, else its plain text (a date in the platform's date-time text).
  Variant GetDefaultDisplayValue(const Variant& AEditValue, bool AEditFocused);
  bool CanIncrementalSearch();

  // The locale's formats changed: re-format the editors.
  void FormatChanged() override;
  bool IsFormatChanging() const { return FFormatChanging; }

  // Introduced, in this order.
  virtual void CheckEditorValueBounds(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                      IcxEditControl* AEdit);
  virtual AnsiString DefaultFocusedDisplayValue() const { return {}; }
  // Whether some lookup item equals AText, letter case aside.
  virtual bool FindLookupText(const AnsiString& AText) const;
  virtual AnsiString GetDefaultDisplayFormat() const { return {}; }
  virtual Integer GetDefaultMaxLength() const;
  virtual Integer GetDropDownPageRowCount() const { return 8; }
  virtual TcxEditEditingStyle GetEditingStyle() const { return FHideCursor ? esNoEdit : esEdit; }
  // The lookup data class of the kind: searches and moves in the lookup
  // items; kinds with a list name their own.
  virtual TClass GetLookupDataClass() const;
  virtual bool HasDigitGrouping(bool /*AIsDisplayValueSynchronizing*/) const { return false; }
  // The edit format in force, with whether the provider formats the text
  // itself and whether the value is shown as currency.
  virtual AnsiString InternalGetEditFormat(bool& AIsCurrency, bool& AIsOnGetTextAssigned, IcxEditControl* AEdit);
  virtual bool IsEditValueNumeric() const { return false; }
  virtual bool IsLookupDataVisual() const { return false; }
  virtual bool IsMultiLine() const { return false; }
  virtual bool IsPopupKey(Word /*Key*/, TShiftState /*Shift*/) const { return false; }
  virtual bool IsValueBoundDefined(TcxEditValueBound ABound);
  virtual bool IsValueBoundsDefined();
  virtual void LookupDataChanged(TObject* /*Sender*/) { Changed(); }
  virtual void MaxLengthChanged() { Changed(); }
  virtual void SetCharCase(TEditCharCase Value);
  virtual bool UseLookupData() const { return GetLookupDataClass() != nullptr; }
  // Password echo or the letter case applied to a display text.
  virtual AnsiString DisplayValueToDisplayText(const AnsiString& S);
  // A text in a list style must be among the lookup items (an empty text
  // always passes); an accepted one is put into the letter case.
  virtual bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused);

  // Settings.
  TEditCharCase GetCharCase() const { return FCharCase; }
  AnsiString GetDisplayFormat() const;
  void SetDisplayFormat(const AnsiString& Value);
  TcxEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode Value);
  // The stored edit format; callers that format go through
  // InternalGetEditFormat.
  AnsiString GetEditFormat() const { return FEditFormat; }
  void SetEditFormat(const AnsiString& Value);
  bool GetFixedListSelection() const { return FFixedListSelection; }
  void SetFixedListSelection(bool Value);
  bool GetHideCursor() const { return FHideCursor; }
  void SetHideCursor(bool Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  TImeMode GetImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value);
  AnsiString GetImeName() const { return FImeName; }
  void SetImeName(const AnsiString& Value);
  bool GetImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(bool Value);
  bool GetIncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(bool Value);
  // Made on first need: most text properties never get lookup items.
  TStrings* GetLookupItems() const;
  void SetLookupItems(TStrings* Value);
  bool GetLookupItemsSorted() const;
  void SetLookupItemsSorted(bool Value);
  Integer GetMaxLength() const;
  // A negative length is stored as 0.
  void SetMaxLength(Integer Value);
  double GetMaxValue() const;
  void SetMaxValue(double Value);
  double GetMinValue() const;
  void SetMinValue(double Value);
  // Both bounds as one change.
  void SetMinMaxValues(double AMinValue, double AMaxValue);
  // A number read from a text: the bound in force itself where the number
  // lies past it and is what the bound's text (its plain or its edit text)
  // reads as; else the number. A bound with more digits than a text shows
  // (0.1 + 0.2) reads back a little off itself.
  double BoundOfShownText(double AValue);
  bool GetMRUMode() const { return FMRUMode; }
  void SetMRUMode(bool Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  AnsiChar GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(AnsiChar Value);
  bool GetUseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
  void SetUseDisplayFormatWhenEditing(bool Value);
  const TcxTextEditChars& GetValidChars() const { return FValidChars; }
  void SetValidChars(const TcxTextEditChars& Value);
  // Derived from the buttons' view style and HideCursor.
  TcxTextEditViewStyle GetViewStyle() const;
  void SetViewStyle(TcxTextEditViewStyle Value);

  TcxTextEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(TcxCustomEditProperties::GetAssignedValues());
  }
  void SetAssignedValues(TcxTextEditPropertiesValues* Value) { TcxCustomEditProperties::SetAssignedValues(Value); }

  // Storing rules: a flagged value is stored exactly when its flag is set.
  bool IsDisplayFormatStored() const { return GetAssignedValues()->GetDisplayFormat(); }
  bool IsEditFormatStored() const { return GetAssignedValues()->GetEditFormat(); }
  bool IsMaxLengthStored() const { return GetAssignedValues()->GetMaxLength(); }
  bool IsMaxValueStored() const { return GetAssignedValues()->GetMaxValue(); }
  bool IsMinValueStored() const { return GetAssignedValues()->GetMinValue(); }

  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

 protected:
  // Another text-edit properties object's settings as one change; the five
  // flagged values are copied only where the source set them.
  void DoAssign(TPersistent* Source) override;

  void AlignmentChangedHandler(TObject* Sender) override;
  void BaseSetAlignment(TcxEditAlignment* Value) override;
  // Reads the legacy "IsDisplayFormatAssigned" mark of older streams.
  void DefineProperties(TFiler* Filer) override;

 private:
  friend class TcxTextEditPropertiesValues;
  void LookupItemsChanged(TObject* Sender);
  TStringList* LookupItemList() const;
  void ReadIsDisplayFormatAssigned(TReader* Reader);
  // The numeric steps of PrepareDisplayValue for a number or a string.
  AnsiString PrepareNumericDisplayText(const Variant& AEditValue, bool AEditFocused);

  TEditCharCase FCharCase = ecNormal;
  AnsiString FDisplayFormat;
  TcxEditEchoMode FEchoMode = eemNormal;
  AnsiString FEditFormat;
  bool FFixedListSelection = true;
  bool FFormatChanging = false;
  bool FHideCursor = false;
  bool FHideSelection = true;
  TImeMode FImeMode = imDontCare;
  AnsiString FImeName;
  bool FImmediateUpdateText = false;
  bool FIncrementalSearch = true;
  mutable TStringList* FLookupItems = nullptr;
  Integer FMaxLength = 0;
  double FMaxValue = 0.0;
  double FMinValue = 0.0;
  bool FMRUMode = false;
  bool FOEMConvert = false;
  AnsiChar FPasswordChar = '\0';
  bool FUseDisplayFormatWhenEditing = false;
  TcxTextEditChars FValidChars;
};

// The published form used on forms, in grid rows and in repository items.
class TcxTextEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxTextEditProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {}
};

// The text editor kind's registration text and its start-up: registers
// the properties class with the editor kinds. Counted like the other units.
void cxTextEditPropertiesInitialize();
void cxTextEditPropertiesFinalize();
