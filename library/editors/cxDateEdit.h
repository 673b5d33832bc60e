// The date editor: a date or a date-time typed into a masked text box (a
// standard mask, a regular expression or no mask at all), with the month
// calendar as its drop-down. Its value is a date (or Null). In the date
// kind it remembers the time of day of the value it was given and keeps
// it behind every date typed or picked, unless a time is typed with it.
#pragma once

#include "library/editors/core/cxPopupEdit.h"
#include "library/editors/cxCalendar.h"

ORV_ENUM(TDateOnError, deNoChange, deToday, deNull)
ORV_ENUM(TcxInputKind, ikStandard, ikMask, ikRegExpr)

class TcxDateEditPropertiesValues : public TcxTextEditPropertiesValues {
  ORV_CLASS(TcxDateEditPropertiesValues, TcxTextEditPropertiesValues)
 public:
  explicit TcxDateEditPropertiesValues(TPersistent* AOwner) : TcxTextEditPropertiesValues(AOwner) {}
  void RestoreDefaults() override;

  bool GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(bool Value);
  bool GetInputKind() const { return FInputKind; }
  void SetInputKind(bool Value);
  // The date bounds are the text editor's value bounds.
  bool GetMaxDate() const { return GetMaxValue(); }
  void SetMaxDate(bool Value) { SetMaxValue(Value); }
  bool GetMinDate() const { return GetMinValue(); }
  void SetMinDate(bool Value) { SetMinValue(Value); }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FDateButtons = false;
  bool FInputKind = false;
};

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomDateEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomDateEditProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  TClass GetAssignedValuesClass() const override { return TcxDateEditPropertiesValues::StaticClass(); }
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return {dfoSupports, dfoNoCurrencyValue}; }
  TClass GetContainerClass() const override;
  // Rebuilds the mask, then tells the editors.
  void Changed() override;
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  // Raises EConvertError "Could not convert to date" for a value that is
  // neither a date, a number nor a text that reads as a date.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool IsEditValueNumeric() const override { return true; }
  bool IsValueBoundDefined(TcxEditValueBound ABound) override;
  bool IsValueBoundsDefined() override;
  bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) override;
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind AMaskKind) const override;
  bool GetAlwaysPostEditValue() const override { return true; }
  TClassRef<TcxCustomEditPopupWindow> GetPopupWindowClass() const override;
  bool PopupWindowAcceptsAnySize() const override { return false; }

  // ---- Introduced, in this order ----
  virtual char GetStandardMaskBlank(Integer APos) const;
  virtual bool GetTimeZoneInfo(Integer APos, TcxTimeEditZoneInfo& AZoneInfo) const;

  // Whether the text of ADate shows its time.
  bool NeedShowTime(TDateTime ADate, bool AEditFocused) const;
  // Whether position APos (from 1) of the focused masked text lies in its
  // year; true wherever that is not known (a mask of the program's own).
  bool IsYearPosition(Integer APos) const;
  // The year's characters [AStart, AEnd) in a focused text of the
  // regular-expression kind: the date's fields lie between date separators
  // in the picture's order, and a year not written yet would come at the
  // end. False where that is not known (an expression of the program's own).
  bool GetRegExprYearSpan(const AnsiString& AText, Integer& AStart, Integer& AEnd) const;
  AnsiString GetEmptyDisplayValue(bool AEditFocused) const;
  // The typed text as a value: Null for the empty text or (by DateOnError)
  // for a text that does not read.
  void InternalPrepareEditValue(const AnsiString& AText, Variant& EditValue) const;

  bool GetArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(bool Value);
  TDateButtons GetDateButtons() const;
  void SetDateButtons(TDateButtons Value);
  bool IsDateButtonsStored() const { return GetAssignedValues()->GetDateButtons(); }
  TDateOnError GetDateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError Value);
  TcxInputKind GetInputKind() const;
  void SetInputKind(TcxInputKind Value);
  bool IsInputKindStored() const { return GetAssignedValues()->GetInputKind(); }
  TcxCalendarKind GetKind() const { return FKind; }
  void SetKind(TcxCalendarKind Value);
  bool GetSaveTime() const { return FSaveTime; }
  void SetSaveTime(bool Value);
  bool GetShowTime() const { return FShowTime; }
  void SetShowTime(bool Value);
  bool GetWeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool Value);
  bool GetYearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(bool Value);
  TDateTime GetMaxDate() const { return GetMaxValue(); }
  void SetMaxDate(TDateTime Value) { SetMaxValue(Value.Value); }
  TDateTime GetMinDate() const { return GetMinValue(); }
  void SetMinDate(TDateTime Value) { SetMinValue(Value.Value); }

  TcxDateEditPropertiesValues* GetAssignedValues() const {
    return static_cast<TcxDateEditPropertiesValues*>(TcxCustomPopupEditProperties::GetAssignedValues());
  }
  void SetAssignedValues(TcxDateEditPropertiesValues* Value) { TcxCustomPopupEditProperties::SetAssignedValues(Value); }

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  void BuildEditMask();
  bool UseRtlFormats() const;

  bool FArrowsForYear = true;
  TDateButtons FDateButtons{btnClear, btnToday};
  TDateOnError FDateOnError = deNoChange;
  TcxInputKind FInputKind = ikRegExpr;
  TcxCalendarKind FKind = ckDate;
  bool FSaveTime = true;
  bool FShowTime = true;
  bool FWeekNumbers = false;
  bool FYearsInMonthList = true;
  bool FBuildingMask = false;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
  ORV_CLASS(TcxDateEditProperties, TcxCustomDateEditProperties)
 public:
  explicit TcxDateEditProperties(TPersistent* AOwner) : TcxCustomDateEditProperties(AOwner) {}
};

// The blanks of the standard mask: '0' in a time zone, nothing in the
// suffix zone, a blank elsewhere.
class TcxDateEditMaskStandardMode : public TcxMaskEditStandardMode {
  ORV_CLASS(TcxDateEditMaskStandardMode, TcxMaskEditStandardMode)
 public:
  TcxDateEditMaskStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
      : TcxMaskEditStandardMode(AEdit, AProperties) {}
  char GetBlank(int APos) override;
};

// The drop-down: it previews the keys so that the calendar hears the ones
// that close it whichever of its children has the focus.
class TcxDateEditPopupWindow : public TcxPopupEditPopupWindow {
  ORV_CLASS(TcxDateEditPopupWindow, TcxPopupEditPopupWindow)
 public:
  explicit TcxDateEditPopupWindow(TWinControl* AOwnerControl);
  virtual bool IsPopupCalendarKey(Word Key, TShiftState Shift);

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
};

class TcxCustomDateEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomDateEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomDateEdit(TComponent* AOwner) : TcxCustomDateEdit(AOwner, false) {}
  TcxCustomDateEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace) {}

  TcxCustomDateEditProperties* GetProperties() const {
    return static_cast<TcxCustomDateEditProperties*>(TcxCustomPopupEdit::GetProperties());
  }
  TcxCustomDateEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomDateEditProperties*>(TcxCustomPopupEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomDateEditProperties* Value) { TcxCustomPopupEdit::SetProperties(Value); }

  // The value as a date; the null date for Null.
  TDateTime GetDate();
  void SetDate(TDateTime Value);
  TcxPopupCalendar* GetCalendar() const { return FCalendar; }
  TDateTime GetSavedTime() const { return FSavedTime; }
  void SetSavedTime(TDateTime Value) { FSavedTime = Value; }
  TDateTime GetPopupInitialDate() const { return FPopupInitialDate; }

  void Clear() override { SetDate(NullDate); }
  // An edited focused text whose format changed (the locale, the kind, the
  // input kind, the masks) is written again in the new one, the same date.
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomPopupEdit::PropertiesChanged;
  bool IsCharValidForPos(char& AChar, Integer APos) override;
  void PasteFromClipboard() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  // Puts a date read from the focused masked text into the century of the
  // value the text was written from while the year has not been typed
  // into: under a two-digit-year picture the text of a date outside the
  // year's window does not show its century, and the window would move it
  // a hundred years when only its day or month was edited. False for a day
  // that century lacks (29 February 1900): the text reads as no date.
  bool KeepShownCentury(TDateTime& ADate);
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void UpdateTextFormatting() override {}
  // Enter and Escape are the calendar's (and its parts') to handle: they
  // confirm or cancel what the popup shows.
  void PopupWindowKeyDown(Word& Key, TShiftState Shift) override;
  // Tab in the popup's date kind: handed to the editor's key handling.
  void PopupCalendarTab(Word& Key, TShiftState Shift) { DoEditKeyDown(Key, Shift); }
  // The date the text shows while it is being typed, else the value's.
  TDateTime GetCurrentDate();

 protected:
  // ---- Introduced ----
  virtual void CreateCalendar();

  void DropDown() override;
  void InitializePopupWindow() override;
  void PopupWindowShowed(TObject* Sender) override;
  void PopupWindowClosed(TObject* Sender) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  Variant InternalGetEditingValue() override;
  AnsiString InternalGetText() override;
  bool InternalSetText(const AnsiString& Value) override;
  void InternalValidateDisplayValue(const Variant& ADisplayValue) override;
  void CheckEditorValueBounds() override;
  void ChangeHandler(TObject* Sender) override;
  void DoEditKeyPress(char& Key) override;
  void SynchronizeDisplayValue() override;

 private:
  friend class TcxCustomDateEditProperties;
  TDateTime GetDateFromStr(const AnsiString& AText);
  AnsiString GetRecognizableDisplayValue(TDateTime ADate);
  void DateChange(TObject* Sender);

  TcxPopupCalendar* FCalendar = nullptr;
  TDateTime FPopupInitialDate = NullDate;
  TDateTime FSavedTime = 0;
  // The focused text as last written and the date it read as then, in the
  // formats of that moment; the null date for a text that read as none.
  // Once the formats change the text may read as another date.
  AnsiString FWrittenText;
  TDateTime FWrittenDate = NullDate;
  // A character was typed or pasted into the year of the focused text
  // since the editor last wrote it from its value.
  bool FYearTyped = false;
};

class TcxDateEdit : public TcxCustomDateEdit {
  ORV_CLASS(TcxDateEdit, TcxCustomDateEdit)
 public:
  explicit TcxDateEdit(TComponent* AOwner) : TcxDateEdit(AOwner, false) {}
  TcxDateEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDateEdit(AOwner, AIsInplace) {}

  TcxDateEditProperties* GetProperties() const {
    return static_cast<TcxDateEditProperties*>(TcxCustomDateEdit::GetProperties());
  }
  TcxDateEditProperties* GetActiveProperties() const {
    return static_cast<TcxDateEditProperties*>(TcxCustomDateEdit::GetActiveProperties());
  }
  void SetProperties(TcxDateEditProperties* Value) { TcxCustomDateEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on dates: empty on a text that does
// not read, every date operator on offer.
class TcxFilterDateEditHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterDateEditHelper, TcxFilterDropDownEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
  void InitializeProperties(TcxCustomEditProperties* AProperties, TcxCustomEditProperties* AEditProperties,
                            bool AHasButtons) const override;
};

void cxDateEditInitialize();
void cxDateEditFinalize();
