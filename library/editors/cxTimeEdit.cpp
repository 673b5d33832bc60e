#include "library/editors/cxTimeEdit.h"

#include <cmath>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"

ORV_REGISTER(TcxCustomTimeEditProperties)
ORV_REGISTER(TcxTimeEditProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoCorrectHours).Default(true), ORV_PROP(AutoSelect).Default(true),
             ORV_PROP(BeepOnError).Default(false), ORV_PROP(Circular).Default(false), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ShowDate).Default(false), ORV_PROP(TimeFormat).Default(tfHourMinSec),
             ORV_PROP(Use24HourFormat).Default(true), ORV_PROP(UseCtrlIncrement).Default(false),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(UseTimeFormatWhenUnfocused).Default(true), ORV_PROP(ValidateOnEnter).Default(true),
             ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxTimeEditMaskMode)
ORV_REGISTER(TcxCustomTimeEdit)
ORV_REGISTER(TcxTimeEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(BeepOnEnter).Default(true),
             ORV_PROP(Constraints), ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(EditValue),
             ORV_PROP(Enabled), ORV_PROP(ImeMode), ORV_PROP(ImeName), ORV_PROP(ParentColor).Default(false),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu),
             ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(StyleDisabled),
             ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Time).Stored(false), ORV_PROP(Visible), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock),
             ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress),
             ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave),
             ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxFilterTimeEditHelper)

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr Integer kLastSecond = 86399;

// The step of each zone, in seconds.
constexpr double kZoneSteps[] = {3600, 60, 1, 43200};

const char* const kDisplayFormats[2][3] = {{"hh:nn:ss ampm", "hh:nn ampm", "hh ampm"}, {"hh:nn:ss", "hh:nn", "hh"}};
const char* const kTimeDigits[3] = {"00:00:00", "00:00", "00"};

// The suffix part of the 12-hour masks: from the ninth character of a
// full time text on, every blank stays and every other character becomes
// an optional one. Both texts are measured, so that neither is cut.
AnsiString BuildSuffixMask() {
  AnsiString result;
  for (double instant : {1.0, 1.5}) {
    const AnsiString text = FormatDateTime("hh:mm:ss AMPM", TDateTime(instant));
    AnsiString mask;
    for (std::size_t i = 8; i < text.size(); ++i) mask += text[i] == ' ' ? ' ' : 'c';
    while (!mask.empty() && mask.back() == ' ') mask.pop_back();
    if (mask.size() > result.size()) result = mask;
  }
  return result;
}

// The process's one listener: it rebuilds the suffix mask when the
// locale's formats change, before the time editors' properties (which
// listen too, later) rebuild their masks from it.
class TcxTimeEditFormatListener : public TObject, public IcxFormatControllerListener {
  ORV_CLASS(TcxTimeEditFormatListener, TObject)
 public:
  TcxTimeEditFormatListener() {
    FSuffixMask = BuildSuffixMask();
    cxFormatController()->AddListener(this);
  }
  ~TcxTimeEditFormatListener() override { cxFormatController()->RemoveListener(this); }
  void FormatChanged() override { FSuffixMask = BuildSuffixMask(); }
  const AnsiString& GetSuffixMask() const { return FSuffixMask; }

 private:
  AnsiString FSuffixMask;
};

TcxTimeEditFormatListener* FormatListener = nullptr;

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// The two-digit number at a 0-based place of a text; 0 where it has none.
Integer TwoDigits(const AnsiString& AText, std::size_t APos) {
  if (APos + 1 >= AText.size() || !IsDigit(AText[APos]) || !IsDigit(AText[APos + 1])) return 0;
  return (AText[APos] - '0') * 10 + (AText[APos + 1] - '0');
}

bool SameTextIgnoringCase(const AnsiString& A, const AnsiString& B) { return AnsiCompareText(A, B) == 0; }

// The time of day of a date-time: the fraction, also before day 0.
double TimeOfDay(TDateTime V) { return std::fabs(V.Value - std::trunc(V.Value)); }

// Whole days and a time of day as one date-time (the time is subtracted
// for days before day 0).
TDateTime Combine(TDateTime ADatePart, double ATime) {
  return TDateTime(ADatePart.Value < 0 ? ADatePart.Value - ATime : ADatePart.Value + ATime);
}

AnsiString TrimTrailingBlanks(AnsiString S) {
  while (!S.empty() && S.back() == ' ') S.pop_back();
  return S;
}

// The seconds since midnight a focused text shows, read in the format it
// was written in.
double SecondsOfText(const AnsiString& AText, const TcxTimeEditTextShape& AShape) {
  Integer hours = TwoDigits(AText, 0);
  if (AShape.TwelveHour) hours %= 12;
  double seconds = hours * 3600.0;
  if (AShape.TimeFormat != tfHour) seconds += TwoDigits(AText, 3) * 60.0;
  if (AShape.TimeFormat == tfHourMinSec) seconds += TwoDigits(AText, 6);
  if (AShape.TwelveHour) {
    const AnsiString& pm = AShape.PMString;
    const AnsiString trimmed = TrimTrailingBlanks(AText);
    if (trimmed.size() >= pm.size() && SameTextIgnoringCase(trimmed.substr(trimmed.size() - pm.size()), pm))
      seconds += 43200;
  }
  return std::clamp(seconds, 0.0, static_cast<double>(kLastSecond));
}

}  // namespace

ORV_REGISTER(TcxTimeEditFormatListener)

AnsiString cxTimeEditTwelveHourSuffixMask() {
  return FormatListener ? FormatListener->GetSuffixMask() : BuildSuffixMask();
}

// ---------------------------------------------------------------------------
// Typing.

bool IsCharValidForTimeEdit(TcxCustomMaskEdit* AEdit, char& AChar, Integer APos,
                            const TcxTimeEditZoneInfo& AZoneInfo) {
  AnsiString text = AEdit->GetEditText();
  const std::size_t start = static_cast<std::size_t>(std::max(AZoneInfo.Start, 1) - 1);
  auto putText = [&](Integer ACaret) {
    AEdit->SetInternalDisplayValue(Variant(text));
    AEdit->DirectSetSelStart(ACaret);
    AEdit->DirectSetSelLength(1);
  };

  if (AZoneInfo.Kind == tzTimeSuffix) {
    const TFormatSettings& settings = FormatSettings();
    const AnsiString& am = settings.TimeAMString;
    const AnsiString& pm = settings.TimePMString;
    const std::size_t offset = static_cast<std::size_t>(APos - 1) - start;
    std::size_t differ = 0;
    while (differ < am.size() && differ < pm.size() && AnsiUpperCase(am.substr(differ, 1)) ==
                                                           AnsiUpperCase(pm.substr(differ, 1)))
      ++differ;
    const AnsiString typed = AnsiUpperCase(AnsiString(1, AChar));
    if (offset == differ) {
      for (const AnsiString* choice : {&am, &pm}) {
        if (offset >= choice->size() || AnsiUpperCase(choice->substr(offset, 1)) != typed) continue;
        text = text.substr(0, start) + *choice;
        AEdit->SetInternalDisplayValue(Variant(text));
        AEdit->DirectSetSelStart(static_cast<Integer>(text.size()));
        AEdit->DirectSetSelLength(0);
        return false;
      }
      AChar = '\0';
      return false;
    }
    // Before the first difference the common character stands in the
    // text's own case; after it, only the character already there.
    const AnsiString& reference = offset < differ ? am : AnsiString(text.substr(start));
    if (offset < reference.size() && AnsiUpperCase(reference.substr(offset, 1)) == typed) {
      AChar = reference[offset];
      return true;
    }
    AChar = '\0';
    return false;
  }

  if (!IsDigit(AChar) || start + 1 >= text.size()) {
    AChar = '\0';
    return false;
  }
  const Integer low = AZoneInfo.Kind == tzHour && !AZoneInfo.Use24HourFormat ? 1 : 0;
  const Integer high = AZoneInfo.Kind != tzHour ? 59 : AZoneInfo.Use24HourFormat ? 23 : 12;
  const bool first = static_cast<std::size_t>(APos - 1) == start;
  char zone[2] = {text[start], text[start + 1]};
  zone[first ? 0 : 1] = AChar;
  const Integer number = (IsDigit(zone[0]) ? zone[0] - '0' : 0) * 10 + (IsDigit(zone[1]) ? zone[1] - '0' : 0);
  if (number >= low && number <= high) return true;
  if (!first) {
    // The second digit makes too much: it stands alone behind a 0.
    if (AChar == '0') {
      AChar = '\0';
      return false;
    }
    text[start] = '0';
    putText(static_cast<Integer>(start) + 1);
    return true;
  }
  const char highFirst = static_cast<char>('0' + high / 10);
  if (AChar > highFirst) {
    // A first digit that cannot begin a two-digit value is the second one.
    text[start] = '0';
    putText(static_cast<Integer>(start) + 1);
    return true;
  }
  // A first digit that makes too much with the second: the second becomes
  // 0 (or, for a typed 0, the digit that stood first).
  const char second = AChar == '0' ? text[start] : '0';
  text[start] = AChar;
  text[start + 1] = second;
  putText(static_cast<Integer>(start) + 1);
  return false;
}

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomTimeEditProperties::AfterConstruction() {
  TcxCustomSpinEditProperties::AfterConstruction();
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(false); });
  SetValueType(vtFloat);
  SetAlwaysShowBlanksAndLiterals(true);
  SetIgnoreMaskBlank(true);
  SetIncrement(1.0);
  SetMinMaxValues(0, kLastSecond);
  BuildEditMask();
}

void TcxCustomTimeEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomTimeEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomSpinEditProperties::DoAssign(Source);
  if (!source) return;
  SetAutoCorrectHours(source->FAutoCorrectHours);
  SetShowDate(source->FShowDate);
  SetTimeFormat(source->FTimeFormat);
  SetUse24HourFormat(source->FUse24HourFormat);
  SetUseTimeFormatWhenUnfocused(source->FUseTimeFormatWhenUnfocused);
}

TClass TcxCustomTimeEditProperties::GetContainerClass() const { return TcxTimeEdit::StaticClass(); }

TcxMaskEditCustomModeClass TcxCustomTimeEditProperties::GetModeClass(TcxEditMaskKind) const {
  return TcxTimeEditMaskMode::StaticClass();
}

bool TcxCustomTimeEditProperties::IsTwelveHour() const {
  if (FUse24HourFormat) return false;
  const TFormatSettings& settings = FormatSettings();
  return !settings.TimeAMString.empty() && !settings.TimePMString.empty();
}

AnsiString TcxCustomTimeEditProperties::GetTimeDisplayFormat() const {
  return kDisplayFormats[IsTwelveHour() ? 0 : 1][FTimeFormat];
}

void TcxCustomTimeEditProperties::BuildEditMask() {
  AnsiString mask = kTimeDigits[FTimeFormat];
  if (IsTwelveHour()) mask += cxTimeEditTwelveHourSuffixMask();
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  SetMaskKind(emkStandard);
  SetEditMask(mask + ";1;0");
}

void TcxCustomTimeEditProperties::FormatChanged() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  BuildEditMask();
  TcxCustomSpinEditProperties::FormatChanged();
}

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat Value) {
  if (FTimeFormat == Value) return;
  FTimeFormat = Value;
  BuildEditMask();
  Changed();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(bool Value) {
  if (FUse24HourFormat == Value) return;
  FUse24HourFormat = Value;
  BuildEditMask();
  Changed();
}

void TcxCustomTimeEditProperties::SetShowDate(bool Value) {
  if (FShowDate == Value) return;
  FShowDate = Value;
  Changed();
}

void TcxCustomTimeEditProperties::SetUseTimeFormatWhenUnfocused(bool Value) {
  if (FUseTimeFormatWhenUnfocused == Value) return;
  FUseTimeFormatWhenUnfocused = Value;
  Changed();
}

Integer TcxCustomTimeEditProperties::GetTimePartPos(TcxTimeEditZoneKind AZone) const {
  switch (AZone) {
    case tzHour: return 1;
    case tzMin: return 4;
    case tzSec: return 7;
    case tzTimeSuffix: break;
  }
  return (3 - FTimeFormat) * 3 + 1;
}

TcxTimeEditZoneKind TcxCustomTimeEditProperties::GetEditingPlace(Integer APos) const {
  const Integer maxLength = GetMaxLength();
  if (maxLength > 0 && APos > maxLength) APos = maxLength;
  if (IsTwelveHour() && APos > GetTimeDigitsLength()) return tzTimeSuffix;
  const AnsiString format = UpperCase(GetTimeDisplayFormat());
  auto at = [&](Integer APlace) {
    const Integer place = std::clamp(APlace, 1, static_cast<Integer>(format.size()));
    return format[static_cast<std::size_t>(place - 1)];
  };
  char c = at(APos);
  if (c != 'H' && c != 'N' && c != 'S') c = at(APos + 1);
  if (c == 'H') return tzHour;
  if (c == 'N') return tzMin;
  return tzSec;
}

TcxTimeEditZoneInfo TcxCustomTimeEditProperties::GetTimeZoneInfo(Integer APos) const {
  TcxTimeEditZoneInfo info;
  info.Kind = GetEditingPlace(APos);
  info.Start = GetTimePartPos(info.Kind);
  info.Length = GetTimePartLength();
  info.TimeSuffixKind = GetTimeSuffixKind();
  info.Use24HourFormat = !IsTwelveHour();
  return info;
}

bool TcxCustomTimeEditProperties::TextToTime(const AnsiString& AText, TDateTime& ATime) const {
  ATime = 0;
  if (AText.empty()) return true;
  // The editor's own form: its digits, with the suffix read as the
  // morning text or else the afternoon one. A text that only begins like
  // it ("01/02/2020 10:00 PM") is read by the general readers below.
  const Integer length = GetTimeDigitsLength();
  bool own = static_cast<Integer>(AText.size()) >= length;
  for (Integer i = 0; own && i < length; ++i)
    if (i % 3 != 2 && !IsDigit(AText[static_cast<std::size_t>(i)])) own = false;
  if (own && (IsTwelveHour() || static_cast<Integer>(AText.size()) == length)) {
    AnsiString text = AText.substr(0, static_cast<std::size_t>(length));
    if (length == 2) text += FormatSettings().TimeSeparator + AnsiString("00");
    if (IsTwelveHour()) {
      const TFormatSettings& settings = FormatSettings();
      const AnsiString suffix = Trim(AText.substr(static_cast<std::size_t>(length)));
      text += ' ' + (SameTextIgnoringCase(suffix, settings.TimeAMString) ? settings.TimeAMString
                                                                          : settings.TimePMString);
    }
    if (TryStrToTime(text, ATime)) return true;
    ATime = 0;
  }
  return TryStrToTime(AText, ATime) || TryStrToDateTime(AText, ATime) || TryTextToDateTime(AText, ATime);
}

TcxTimeEditTextShape TcxCustomTimeEditProperties::GetTextShape() const {
  const bool twelve = IsTwelveHour();
  return {FTimeFormat, twelve, twelve ? FormatSettings().TimePMString : AnsiString()};
}

AnsiString TcxCustomTimeEditProperties::TimeToText(TDateTime V) const {
  return TrimTrailingBlanks(FormatDateTime(GetTimeDisplayFormat(), TDateTime(TimeOfDay(V))));
}

bool TcxCustomTimeEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool) {
  TDateTime time;
  if (!TextToTime(VarToStr(DisplayValue), time)) return false;
  DisplayValue = Variant(TimeToText(time));
  return true;
}

bool TcxCustomTimeEditProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) {
  if (VarIsStr(EditValue)) {
    Variant text = EditValue;
    return IsDisplayValueValid(text, AEditFocused);
  }
  return VarIsNull(EditValue) || VarIsEmpty(EditValue) || VarIsDate(EditValue) ||
         (VarIsNumericEx(EditValue) && VarType(EditValue) != varBoolean);
}

AnsiString TcxCustomTimeEditProperties::DefaultFocusedDisplayValue() const { return TimeToText(0); }

void TcxCustomTimeEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue)) {
    DisplayValue = Variant(AEditFocused ? TimeToText(0) : AnsiString());
    return;
  }
  TDateTime value;
  if (VarIsStr(AEditValue)) {
    if (!TextToTime(VarToStr(AEditValue), value))
      throw EConvertError(cxEditResString(cxSEditTimeConvertError));
  } else if (VarIsDate(AEditValue) || (VarIsNumericEx(AEditValue) && VarType(AEditValue) != varBoolean)) {
    value = AEditValue.AsDateTime();
  } else {
    throw EConvertError(cxEditResString(cxSEditTimeConvertError));
  }
  const bool hasDate = std::trunc(value.Value) != 0;
  AnsiString text;
  if (AEditFocused || (FUseTimeFormatWhenUnfocused && (value.Value == 0 || !FShowDate || !hasDate)))
    text = TimeToText(value);
  else if (FShowDate && value.Value != 0 && hasDate)
    text = DateTimeToStr(value);
  else
    text = FormatDateTime("tt", TDateTime(TimeOfDay(value)));
  DisplayValue = Variant(TrimTrailingBlanks(text));
}

void TcxCustomTimeEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  TDateTime time;
  if (!Error && !TextToTime(VarToStr(DisplayValue), time)) Error = true;
  if (ErrorText.empty()) ErrorText = cxEditResString(cxSEditTimeConvertError);
  bool userChanged = false;
  DoValidate(DisplayValue, ErrorText, Error, AEdit, userChanged);
}

TcxDataEditValueSource TcxCustomTimeEditProperties::GetEditValueSource(bool AEditFocused) const {
  return const_cast<TcxCustomTimeEditProperties*>(this)->GetValueEditorEditValueSource(AEditFocused);
}

// ---------------------------------------------------------------------------
// Mask mode.

char TcxTimeEditMaskMode::GetBlank(int APos) {
  auto* properties = dynamic_cast<TcxCustomTimeEditProperties*>(GetProperties());
  if (properties && properties->IsTwelveHour() && APos >= properties->GetTimeDigitsLength()) return '\0';
  return '0';
}

// ---------------------------------------------------------------------------
// Editor.

TClassRef<TcxCustomEditProperties> TcxCustomTimeEdit::GetPropertiesClass() const {
  return TcxCustomTimeEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxTimeEdit::GetPropertiesClass() const {
  return TcxTimeEditProperties::StaticClass();
}

void TcxCustomTimeEdit::Initialize() {
  TcxCustomSpinEdit::Initialize();
  FTextShape = GetActiveProperties()->GetTextShape();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

TcxTimeEditZoneKind TcxCustomTimeEdit::GetEditingPlace() {
  return GetActiveProperties()->GetEditingPlace(GetSelStart() + 1);
}

bool TcxCustomTimeEdit::IsCharValidForPos(char& AChar, Integer APos) {
  return IsCharValidForTimeEdit(this, AChar, APos, GetActiveProperties()->GetTimeZoneInfo(APos));
}

AnsiString TcxCustomTimeEdit::InternalGetText() { return VarToStr(GetDisplayValue()); }

bool TcxCustomTimeEdit::InternalSetText(const AnsiString& Value) {
  SetInternalDisplayValue(Variant(Value));
  return true;
}

// --- values ---------------------------------------------------------------------------

void TcxCustomTimeEdit::InternalSetEditValue(const Variant& Value, bool AValidateEdit) {
  Variant value = Value;
  if (VarIsNull(Value) || (AValidateEdit && !GetActiveProperties()->IsEditValueValid(value, InternalFocused()))) {
    FDatePart = 0;
  } else {
    TDateTime v = 0;
    if (VarIsStr(Value))
      GetActiveProperties()->TextToTime(VarToStr(Value), v);
    else if (!VarIsEmpty(Value))
      v = Value.AsDateTime();
    FDatePart = std::trunc(v.Value);
  }
  TcxCustomSpinEdit::InternalSetEditValue(Value, AValidateEdit);
}

void TcxCustomTimeEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  TDateTime time;
  if (!GetActiveProperties()->TextToTime(VarToStr(ADisplayValue), time)) throw EConvertError(
      cxEditResString(cxSEditTimeConvertError));
  const TDateTime value = Combine(FDatePart, TimeOfDay(time));
  EditValue = value.Value != 0 ? Variant(value) : Variant(0.0);
}

Variant TcxCustomTimeEdit::InternalGetEditingValue() {
  Variant value;
  PrepareEditValue(Variant(InternalGetText()), value, true);
  return value;
}

TDateTime TcxCustomTimeEdit::GetTime() {
  Variant value = IsFocused() ? InternalGetEditingValue() : GetEditValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  TDateTime v = 0;
  if (VarIsStr(value))
    GetActiveProperties()->TextToTime(VarToStr(value), v);
  else
    v = value.AsDateTime();
  return TimeOfDay(v);
}

void TcxCustomTimeEdit::SetTime(TDateTime T) { SetEditValue(Variant(Combine(FDatePart, TimeOfDay(T)))); }

Variant TcxCustomTimeEdit::GetValue() {
  TcxCustomTimeEditProperties* properties = GetActiveProperties();
  if (!IsFocused()) {
    // The seconds the text shows: a time to the millisecond, its fraction
    // of a second dropped. Rounded to whole seconds, 12:00:00.6 would be a
    // second after the time shown, and 23:59:59.6 the second after the
    // day's last.
    Word hour, minute, second, millisecond;
    DecodeTime(GetTime(), hour, minute, second, millisecond);
    return Variant(hour * 3600.0 + minute * 60.0 + second);
  }
  return Variant(SecondsOfText(InternalGetText(), properties->GetTextShape()));
}

void TcxCustomTimeEdit::SetValue(const Variant& Value) {
  if (!VarIsNumericEx(Value)) return;
  SetTime(TDateTime(Value.AsDouble() / kSecondsPerDay));
}

AnsiString TcxCustomTimeEdit::IncrementValueToStr(const Variant& AValue) {
  return GetActiveProperties()->TimeToText(TDateTime(AValue.AsDouble() / kSecondsPerDay));
}

double TcxCustomTimeEdit::GetIncrement(TcxSpinEditButton AButton) {
  const TcxTimeEditZoneKind zone = GetEditingPlace();
  const bool backward = AButton == sebBackward || AButton == sebFastBackward;
  const bool fast = AButton == sebFastBackward || AButton == sebFastForward;
  double step = kZoneSteps[zone];
  if (zone == tzTimeSuffix) {
    // The suffix always crosses noon: forward from the afternoon and back
    // from the morning go the other way.
    const bool afternoon = GetValue().AsDouble() >= 43200;
    if (afternoon != backward) step = -step;
  } else if (fast && zone != tzHour) {
    step *= 10;
  }
  return backward ? -step : step;
}

bool TcxCustomTimeEdit::Increment(TcxSpinEditButton AButton) {
  const bool focused = IsFocused();
  const TcxTimeEditZoneKind zone = GetEditingPlace();
  const Integer caret = GetSelStart();
  const bool result = TcxCustomSpinEdit::Increment(AButton);
  if (!focused) return result;
  if (zone == tzTimeSuffix) {
    const AnsiString text = InternalGetText();
    std::size_t start = static_cast<std::size_t>(GetActiveProperties()->GetTimeDigitsLength());
    while (start < text.size() && text[start] == ' ') ++start;
    SetSelection(static_cast<Integer>(start), static_cast<Integer>(text.size() - std::min(start, text.size())));
  } else {
    SetSelection(caret < 2 ? 1 : caret <= 4 ? 4 : 7, 1);
  }
  return result;
}

void TcxCustomTimeEdit::DoEditKeyPress(char& Key) {
  // No decimal separator stands for a typed ',' or '.': a suffix may hold
  // either.
  TcxCustomMaskEdit::DoEditKeyPress(Key);
}

void TcxCustomTimeEdit::PropertiesChanged(TObject* Sender) {
  // The mask fits the old text into the new one character by character:
  // 01:05 PM would become 01:05, 13:05 a text of no time. The text is read
  // in its own format first and written again in the new one.
  const TcxTimeEditTextShape shape = GetActiveProperties()->GetTextShape();
  const bool rewrite = !PropertiesChangeLocked() && IsFocused() && shape != FTextShape;
  const double seconds = rewrite ? SecondsOfText(InternalGetText(), FTextShape) : 0;
  TcxCustomSpinEdit::PropertiesChanged(Sender);
  if (PropertiesChangeLocked()) return;
  FTextShape = shape;
  if (rewrite) {
    // The same time in other words: edited or not, the editor stays so.
    SaveModified();
    orv::ScopeExit restore([this] { RestoreModified(); });
    SetInternalDisplayValue(Variant(GetActiveProperties()->TimeToText(TDateTime(seconds / kSecondsPerDay))));
  }
  if (!IsFocused()) GetDataBinding()->UpdateDisplayValue();
  SetSelStart(static_cast<Integer>(InternalGetText().size()));
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TClass TcxFilterTimeEditHelper::GetFilterEditClass() const { return TcxTimeEdit::StaticClass(); }

void TcxFilterTimeEditHelper::InitializeEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const {
  TcxFilterSpinEditHelper::InitializeEdit(AEdit, AEditProperties);
  if (auto* edit = dynamic_cast<TcxCustomTimeEdit*>(AEdit)) edit->SetTime(0);
}

namespace {
Integer TimeEditStartCount = 0;
}

void cxTimeEditInitialize() {
  if (TimeEditStartCount++ > 0) return;
  FormatListener = New<TcxTimeEditFormatListener>();
  GetRegisteredEditProperties()->Register(TcxTimeEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryTimeItem));
  FilterEditsController()->Register(TcxTimeEditProperties::StaticClass(), TcxFilterTimeEditHelper::StaticClass());
}

void cxTimeEditFinalize() {
  if (TimeEditStartCount == 0 || --TimeEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxTimeEditProperties::StaticClass(), TcxFilterTimeEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxTimeEditProperties::StaticClass());
  FreeAndNil(FormatListener);
}
