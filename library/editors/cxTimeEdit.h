// The time editor: a spin editor whose text is a masked time of day, hours,
// minutes and seconds (or fewer) and, in 12-hour mode, the locale's morning
// or afternoon text. The zone under the caret decides what a step changes;
// typing is checked zone by zone so that the text is always a real time. A
// date may stand behind the time: the editor keeps it and gives it back
// with every value it makes.
//
// A locale without morning and afternoon texts cannot tell 01:00 from
// 13:00 in a 12-hour text, so there an editor set to 12 hours works as a
// 24-hour one (the setting itself is kept).
#pragma once

#include "library/editors/core/cxFormats.h"
#include "library/editors/core/cxMaskEditModes.h"
#include "library/editors/cxSpinEdit.h"

ORV_ENUM(TcxTimeEditTimeFormat, tfHourMinSec, tfHourMin, tfHour)
ORV_ENUM(TcxTimeEditZoneKind, tzHour, tzMin, tzSec, tzTimeSuffix)

// One zone of a time text as the typing rules see it.
struct TcxTimeEditZoneInfo {
  TcxTimeEditZoneKind Kind = tzHour;
  Integer Start = 1;  // 1-based position in the text
  Integer Length = 2;
  TcxTimeSuffixKind TimeSuffixKind = tskAMPMString;
  bool Use24HourFormat = true;
};

class TcxCustomMaskEdit;

// The format a focused text was written in: what its digits and suffix
// mean. A text read in another format is another time (01:05 PM read as 24
// hours is 01:05).
struct TcxTimeEditTextShape {
  TcxTimeEditTimeFormat TimeFormat = tfHourMinSec;
  bool TwelveHour = false;
  AnsiString PMString;
  bool operator==(const TcxTimeEditTextShape&) const = default;
};

// Whether AChar may be typed at the 1-based position APos of AEdit's text,
// APos lying in the zone AZoneInfo describes. It may rewrite the zone and
// move the caret itself: typing 7 as the first hour digit writes "07";
// switching the suffix writes the whole other text and consumes the key
// (false with AChar kept). A refused character comes back as #0. Shared
// with the date editor's time zones.
bool IsCharValidForTimeEdit(TcxCustomMaskEdit* AEdit, char& AChar, Integer APos,
                            const TcxTimeEditZoneInfo& AZoneInfo);

// ---------------------------------------------------------------------------
class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
  ORV_CLASS(TcxCustomTimeEditProperties, TcxCustomSpinEditProperties)
 public:
  explicit TcxCustomTimeEditProperties(TPersistent* AOwner) : TcxCustomSpinEditProperties(AOwner) {}
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
  // A text is valid when it reads as a time; it becomes the text of the
  // editor's format. An unreadable text is invalid, never an error.
  bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) override;
  // Texts must read; Null, dates and numbers pass.
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  // Null: midnight focused, nothing unfocused. Raises EConvertError "Could
  // not convert to time" for a value that is not a date, number or text.
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  // An unreadable text fails with "Could not convert to time" (or what the
  // editor's OnValidate says); no bounds are checked.
  void ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                            IcxEditControl* AEdit) override;
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  AnsiString DefaultFocusedDisplayValue() const override;
  bool ExtendValueUpToBound() override { return false; }
  // The locale changed: the 12-hour mask follows it.
  void FormatChanged() override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return {dfoSupports, dfoNoCurrencyValue}; }
  TcxMaskEditCustomModeClass GetModeClass(TcxEditMaskKind AMaskKind) const override;
  bool IsDisplayValueNumeric() override { return false; }
  bool IsEditValueNumeric() const override { return false; }
  Variant PrepareValue(const Variant&) override { return Variant(0.0); }
  bool PreserveSelection() override { return true; }

  // ---- Introduced, in this order ----
  virtual Integer GetTimePartLength() const { return 2; }
  // The 1-based position where a zone starts.
  virtual Integer GetTimePartPos(TcxTimeEditZoneKind AZone) const;
  virtual TcxTimeSuffixKind GetTimeSuffixKind() const { return tskAMPMString; }
  // The zone at a 1-based position of the text, with its start.
  virtual TcxTimeEditZoneInfo GetTimeZoneInfo(Integer APos) const;

  // The zone a 1-based position belongs to: a place on a colon counts for
  // the zone after it; past the digits in 12-hour mode, the suffix.
  TcxTimeEditZoneKind GetEditingPlace(Integer APos) const;
  // 12 hours are in force: asked for, and the locale has both texts.
  bool IsTwelveHour() const;
  // The date-time format of the text ("hh:nn:ss ampm", "hh:nn", ...).
  AnsiString GetTimeDisplayFormat() const;
  // The number of characters of the time digits with their colons: 8, 5
  // or 2.
  Integer GetTimeDigitsLength() const { return (3 - FTimeFormat) * 3 - 1; }
  // Reads a text of the editor's form (or any time or date-time text) as
  // a date-time; an empty text is 0. False when it does not read.
  bool TextToTime(const AnsiString& AText, TDateTime& ATime) const;
  // V as the text the editor shows focused.
  AnsiString TimeToText(TDateTime V) const;
  // The format the focused text is written in now.
  TcxTimeEditTextShape GetTextShape() const;

  TcxTimeEditTimeFormat GetTimeFormat() const { return FTimeFormat; }
  void SetTimeFormat(TcxTimeEditTimeFormat Value);
  bool GetUse24HourFormat() const { return FUse24HourFormat; }
  void SetUse24HourFormat(bool Value);
  bool GetShowDate() const { return FShowDate; }
  void SetShowDate(bool Value);
  bool GetUseTimeFormatWhenUnfocused() const { return FUseTimeFormatWhenUnfocused; }
  void SetUseTimeFormatWhenUnfocused(bool Value);
  // Kept and copied; editing is the same whatever it says.
  bool GetAutoCorrectHours() const { return FAutoCorrectHours; }
  void SetAutoCorrectHours(bool Value) { FAutoCorrectHours = Value; }

 protected:
  // The spin settings, then the five of the time editor, as one change.
  void DoAssign(TPersistent* Source) override;

 private:
  void BuildEditMask();

  bool FAutoCorrectHours = true;
  bool FShowDate = false;
  TcxTimeEditTimeFormat FTimeFormat = tfHourMinSec;
  bool FUse24HourFormat = true;
  bool FUseTimeFormatWhenUnfocused = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
  ORV_CLASS(TcxTimeEditProperties, TcxCustomTimeEditProperties)
 public:
  explicit TcxTimeEditProperties(TPersistent* AOwner) : TcxCustomTimeEditProperties(AOwner) {}
};

// The standard mode of the time editor: the time digits blank to '0', the
// suffix has no blank (deleting leaves it as it is).
class TcxTimeEditMaskMode : public TcxMaskEditStandardMode {
  ORV_CLASS(TcxTimeEditMaskMode, TcxMaskEditStandardMode)
 public:
  TcxTimeEditMaskMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties)
      : TcxMaskEditStandardMode(AEdit, AProperties) {}
  char GetBlank(int APos) override;
};

// ---------------------------------------------------------------------------
class TcxCustomTimeEdit : public TcxCustomSpinEdit {
  ORV_CLASS(TcxCustomTimeEdit, TcxCustomSpinEdit)
 public:
  explicit TcxCustomTimeEdit(TComponent* AOwner) : TcxCustomTimeEdit(AOwner, false) {}
  TcxCustomTimeEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomSpinEdit(AOwner, AIsInplace) {}

  TcxCustomTimeEditProperties* GetProperties() const {
    return static_cast<TcxCustomTimeEditProperties*>(TcxCustomSpinEdit::GetProperties());
  }
  TcxCustomTimeEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomTimeEditProperties*>(TcxCustomSpinEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomTimeEditProperties* Value) { TcxCustomSpinEdit::SetProperties(Value); }

  // The time of day: of the typed text while focused, else of the value.
  TDateTime GetTime();
  // The date behind the editor with T's time of day.
  void SetTime(TDateTime T);
  // The zone under the caret.
  TcxTimeEditZoneKind GetEditingPlace();
  // The whole days the editor keeps behind its time.
  TDateTime GetDatePart() const { return FDatePart; }

  // ---- The spin hooks ----
  double GetIncrement(TcxSpinEditButton AButton) override;
  // Seconds since midnight.
  Variant GetValue() override;
  AnsiString IncrementValueToStr(const Variant& AValue) override;
  // V in seconds.
  void SetValue(const Variant& Value) override;
  // Steps the zone under the caret and selects it again.
  bool Increment(TcxSpinEditButton AButton) override;

  void Clear() override { SetTime(0); }
  bool IsCharValidForPos(char& AChar, Integer APos) override;
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  // A focused text written in a format that changed (12 or 24 hours, the
  // zones, the locale's texts) is written again in the new one, the same
  // time.
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomSpinEdit::PropertiesChanged;

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  void Initialize() override;
  Variant InternalGetEditingValue() override;
  AnsiString InternalGetText() override;
  bool InternalSetText(const AnsiString& Value) override;
  void DoEditKeyPress(char& Key) override;
  bool IsValidChar(char) override { return true; }
  // Time values are not clamped into the seconds of the spin bounds.
  void CheckEditorValueBounds() override {}

 private:
  TDateTime FDatePart = 0;
  // The format the text was last written in.
  TcxTimeEditTextShape FTextShape;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
  ORV_CLASS(TcxTimeEdit, TcxCustomTimeEdit)
 public:
  explicit TcxTimeEdit(TComponent* AOwner) : TcxTimeEdit(AOwner, false) {}
  TcxTimeEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTimeEdit(AOwner, AIsInplace) {}

  TcxTimeEditProperties* GetProperties() const {
    return static_cast<TcxTimeEditProperties*>(TcxCustomTimeEdit::GetProperties());
  }
  TcxTimeEditProperties* GetActiveProperties() const {
    return static_cast<TcxTimeEditProperties*>(TcxCustomTimeEdit::GetActiveProperties());
  }
  void SetProperties(TcxTimeEditProperties* Value) { TcxCustomTimeEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The condition editor of a filter row on times: a time editor starting
// at midnight.
class TcxFilterTimeEditHelper : public TcxFilterSpinEditHelper {
  ORV_CLASS(TcxFilterTimeEditHelper, TcxFilterSpinEditHelper)
 public:
  TClass GetFilterEditClass() const override;
  void InitializeEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const override;
};

// The suffix part of the 12-hour masks as the locale gives it now (" cc"
// for two-letter texts); kept by the one format listener of the unit.
AnsiString cxTimeEditTwelveHourSuffixMask();

// The time editor unit's start-up: the format listener, the time kind with
// the editor kinds and its filter helper; shut-down takes them back.
// Counted like the other units.
void cxTimeEditInitialize();
void cxTimeEditFinalize();
