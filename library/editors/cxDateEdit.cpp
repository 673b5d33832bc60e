#include "library/editors/cxDateEdit.h"

#include "library/foundation/cxGeometry.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Focus.h"

#include <cmath>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/cxClock.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"

ORV_REGISTER(TcxDateEditPropertiesValues, ORV_PROP(DateButtons).Stored(false), ORV_PROP(InputKind).Stored(false),
             ORV_PROP(MaxDate).Stored(false), ORV_PROP(MinDate).Stored(false))
ORV_REGISTER(TcxCustomDateEditProperties)
ORV_REGISTER(TcxDateEditProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(ArrowsForYear).Default(true), ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true),
             ORV_PROP(ButtonGlyph), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(DateButtons).StoredBy<&TcxCustomDateEditProperties::IsDateButtonsStored>(),
             ORV_PROP(DateOnError).Default(deNoChange), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(InputKind).StoredBy<&TcxCustomDateEditProperties::IsInputKindStored>(),
             ORV_PROP(Kind).Default(ckDate), ORV_PROP(MaxDate).StoredBy<&TcxCustomTextEditProperties::IsMaxValueStored>(),
             ORV_PROP(MinDate).StoredBy<&TcxCustomTextEditProperties::IsMinValueStored>(),
             ORV_PROP(PostPopupValueOnTab).Default(false),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(SaveTime).Default(true), ORV_PROP(ShowTime).Default(true),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_PROP(WeekNumbers).Default(false),
             ORV_PROP(YearsInMonthList).Default(true), ORV_EVENT(OnChange), ORV_EVENT(OnCloseUp),
             ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitPopup), ORV_EVENT(OnPopup), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxDateEditMaskStandardMode)
ORV_REGISTER(TcxDateEditPopupWindow)
ORV_REGISTER(TcxCustomDateEdit)
ORV_REGISTER(TcxDateEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(BeepOnEnter).Default(true),
             ORV_PROP(Constraints), ORV_PROP(Date).Stored(false), ORV_PROP(DragMode), ORV_PROP(EditValue),
             ORV_PROP(Enabled), ORV_PROP(ImeMode), ORV_PROP(ImeName), ORV_PROP(ParentColor).Default(false),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu),
             ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(StyleDisabled),
             ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Visible), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnEditing), ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown),
             ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter),
             ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp))
ORV_REGISTER(TcxFilterDateEditHelper)

namespace {

double WholeDays(double ADate) { return std::trunc(ADate); }
double TimePart(double ADate) { return std::fabs(ADate - std::trunc(ADate)); }
// Whether a year written with two digits reads back as itself: the
// readers put such years in the hundred years starting
// TwoDigitYearCenturyWindow years before this one.
bool InTwoDigitYearWindow(Word AYear) {
  Word year, month, day;
  DecodeDate(Date(), year, month, day);
  const Integer window = FormatSettings().TwoDigitYearCenturyWindow;
  const Integer start = window == 0 ? year / 100 * 100 : year - window;
  return AYear >= start && AYear <= start + 99;
}
// Whole days with a time of day; the time is subtracted before day 0.
double WithTime(double ADays, double ATime) { return ADays + DateSign(ADays) * ATime; }

bool IsNullValue(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V); }

TcxFormatController* Formats() { return cxFormatController(); }

}  // namespace

// ---------------------------------------------------------------------------
// Assigned values.

void TcxDateEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxDateEditPropertiesValues*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::DoAssign(Source);
  if (!source) return;
  SetDateButtons(source->FDateButtons);
  SetInputKind(source->FInputKind);
}

void TcxDateEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::RestoreDefaults();
  SetDateButtons(false);
  SetInputKind(false);
}

void TcxDateEditPropertiesValues::SetDateButtons(bool Value) {
  if (FDateButtons == Value) return;
  FDateButtons = Value;
  Changed();
}

void TcxDateEditPropertiesValues::SetInputKind(bool Value) {
  if (FInputKind == Value) return;
  FInputKind = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomDateEditProperties::TcxCustomDateEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {}

void TcxCustomDateEditProperties::AfterConstruction() {
  TcxCustomPopupEditProperties::AfterConstruction();
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(false); });
  SetCaseInsensitive(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  BuildEditMask();
}

TClass TcxCustomDateEditProperties::GetContainerClass() const { return TcxDateEdit::StaticClass(); }

TClassRef<TcxCustomEditPopupWindow> TcxCustomDateEditProperties::GetPopupWindowClass() const {
  return TcxDateEditPopupWindow::StaticClass();
}

TcxMaskEditCustomModeClass TcxCustomDateEditProperties::GetModeClass(TcxEditMaskKind AMaskKind) const {
  if (AMaskKind == emkStandard) return TcxDateEditMaskStandardMode::StaticClass();
  return TcxCustomPopupEditProperties::GetModeClass(AMaskKind);
}

TcxDataEditValueSource TcxCustomDateEditProperties::GetEditValueSource(bool AEditFocused) const {
  return const_cast<TcxCustomDateEditProperties*>(this)->GetValueEditorEditValueSource(AEditFocused);
}

bool TcxCustomDateEditProperties::UseRtlFormats() const { return Formats()->GetUseRtlDateTimeFormats(); }

void TcxCustomDateEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDateEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomPopupEditProperties::DoAssign(Source);
  if (!source) return;
  SetArrowsForYear(source->FArrowsForYear);
  if (source->IsDateButtonsStored()) SetDateButtons(source->FDateButtons);
  else GetAssignedValues()->SetDateButtons(false);
  SetDateOnError(source->FDateOnError);
  if (source->IsInputKindStored()) SetInputKind(source->FInputKind);
  else GetAssignedValues()->SetInputKind(false);
  SetKind(source->FKind);
  SetSaveTime(source->FSaveTime);
  SetShowTime(source->FShowTime);
  SetWeekNumbers(source->FWeekNumbers);
  SetYearsInMonthList(source->FYearsInMonthList);
}

void TcxCustomDateEditProperties::Changed() {
  if (!ChangedLocked()) BuildEditMask();
  TcxCustomPopupEditProperties::Changed();
}

void TcxCustomDateEditProperties::BuildEditMask() {
  if (FBuildingMask) return;
  auto building = orv::TempValue(FBuildingMask, true);
  LockUpdate(true);
  orv::ScopeExit unlock([this] { LockUpdate(false); });
  const bool dateTime = FKind == ckDateTime;
  switch (GetInputKind()) {
    case ikStandard: SetEditMask(""); break;
    case ikMask:
      SetMaskKind(emkStandard);
      SetEditMask(dateTime ? Formats()->GetStandardDateTimeEditMask() : Formats()->GetStandardDateEditMask());
      break;
    case ikRegExpr:
      SetMaskKind(emkRegExprEx);
      SetEditMask(dateTime ? Formats()->GetRegExprDateTimeEditMask() : Formats()->GetRegExprDateEditMask());
      break;
  }
}

#define DATE_SETTER(Name, Type, Field)                           \
  void TcxCustomDateEditProperties::Set##Name(Type Value) {     \
    if (Field == Value) return;                                 \
    Field = Value;                                              \
    Changed();                                                  \
  }
DATE_SETTER(ArrowsForYear, bool, FArrowsForYear)
DATE_SETTER(DateOnError, TDateOnError, FDateOnError)
DATE_SETTER(Kind, TcxCalendarKind, FKind)
DATE_SETTER(SaveTime, bool, FSaveTime)
DATE_SETTER(ShowTime, bool, FShowTime)
DATE_SETTER(WeekNumbers, bool, FWeekNumbers)
DATE_SETTER(YearsInMonthList, bool, FYearsInMonthList)
#undef DATE_SETTER

TDateButtons TcxCustomDateEditProperties::GetDateButtons() const {
  if (GetAssignedValues()->GetDateButtons()) return FDateButtons;
  return FKind == ckDate ? TDateButtons{btnClear, btnToday} : TDateButtons{btnClear, btnNow};
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons Value) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetDateButtons(true);
  FDateButtons = Value;
  Changed();
}

TcxInputKind TcxCustomDateEditProperties::GetInputKind() const {
  if (GetAssignedValues()->GetInputKind()) return FInputKind;
  return FKind == ckDate ? ikRegExpr : ikMask;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind Value) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetInputKind(true);
  FInputKind = Value;
  Changed();
}

bool TcxCustomDateEditProperties::IsValueBoundDefined(TcxEditValueBound ABound) {
  const double minDate = GetMinValue(), maxDate = GetMaxValue();
  if (minDate != 0 && maxDate != 0) return maxDate > minDate;
  return (ABound == evbMin ? minDate : maxDate) != 0;
}

bool TcxCustomDateEditProperties::IsValueBoundsDefined() {
  const double minDate = GetMinValue(), maxDate = GetMaxValue();
  if (minDate != 0 && maxDate != 0) return maxDate > minDate;
  return minDate != 0 || maxDate != 0;
}

bool TcxCustomDateEditProperties::NeedShowTime(TDateTime ADate, bool AEditFocused) const {
  if (!AEditFocused) return FKind == ckDateTime || FShowTime;
  const bool hasTime = TimePart(ADate.Value) != 0;
  if (FKind == ckDateTime) return hasTime || GetInputKind() == ikMask;
  return FShowTime && hasTime && GetInputKind() == ikStandard;
}

bool TcxCustomDateEditProperties::IsYearPosition(Integer APos) const {
  if (GetInputKind() != ikMask) return true;
  const bool dateTime = FKind == ckDateTime;
  if (dateTime ? Formats()->GetAssignedStandardDateTimeEditMask() : Formats()->GetAssignedStandardDateEditMask())
    return true;
  TcxDateTimeFormatItemInfo item;
  return !TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(
             dateTime ? Formats()->GetDateTimeFormatInfo() : Formats()->GetDateFormatInfo(), APos, item) ||
         item.Kind == dtikYear;
}

bool TcxCustomDateEditProperties::GetRegExprYearSpan(const AnsiString& AText, Integer& AStart, Integer& AEnd) const {
  if (FKind == ckDateTime ? Formats()->GetAssignedRegExprDateTimeEditMask()
                          : Formats()->GetAssignedRegExprDateEditMask())
    return false;
  Integer field = -1, fields = 0;
  for (const TcxDateTimeFormatItem& item : Formats()->GetDateFormatInfo().Items) {
    if (item.Kind == dtikYear) {
      field = fields;
      break;
    }
    if (item.Kind == dtikMonth || item.Kind == dtikDay) ++fields;
  }
  if (field < 0) return false;
  const char separator = FormatSettings().DateSeparator;
  std::size_t start = 0;
  for (Integer i = 0; i < field; ++i) {
    const std::size_t next = AText.find(separator, start);
    if (next == AnsiString::npos) {
      AStart = AEnd = static_cast<Integer>(AText.size());
      return true;
    }
    start = next + 1;
  }
  std::size_t end = AText.find_first_of(AnsiString(1, separator) + ' ', start);
  if (end == AnsiString::npos) end = AText.size();
  AStart = static_cast<Integer>(start);
  AEnd = static_cast<Integer>(end);
  return true;
}

AnsiString TcxCustomDateEditProperties::GetEmptyDisplayValue(bool AEditFocused) const {
  AnsiString text = GetEmptyString();
  if (AEditFocused && FKind == ckDateTime && GetInputKind() == ikMask &&
      !Formats()->GetAssignedStandardDateTimeEditMask()) {
    const Integer n = TcxFormatController::GetDateTimeStandardMaskStringLength(Formats()->GetTimeFormatInfo());
    const AnsiString zero = DateTimeToTextEx(TDateTime(0), true, true);
    if (n > 0 && static_cast<Integer>(text.size()) >= n && static_cast<Integer>(zero.size()) >= n)
      text = text.substr(0, text.size() - n) + zero.substr(zero.size() - n);
  }
  return text;
}

void TcxCustomDateEditProperties::InternalPrepareEditValue(const AnsiString& AText, Variant& EditValue) const {
  EditValue = Null();
  if (SameText(AText, GetEmptyString()) || SameText(AText, GetEmptyDisplayValue(true))) return;
  TDateTime date;
  if (cxStrToDateTime(AText, !UseRtlFormats(), date) && date.Value != NullDate) {
    EditValue = Variant(date);
    return;
  }
  if (FDateOnError == deToday) EditValue = Variant(FKind == ckDateTime ? Now() : Date());
}

void TcxCustomDateEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (IsNullValue(AEditValue) || VarIsNullDate(AEditValue)) {
    DisplayValue = Variant(GetEmptyDisplayValue(AEditFocused));
    return;
  }
  TDateTime date;
  if (VarIsStr(AEditValue)) {
    Variant value;
    InternalPrepareEditValue(VarToStr(AEditValue), value);
    if (IsNullValue(value) || VarIsNullDate(value)) throw EConvertError(cxEditResString(cxSEditDateConvertError));
    date = value.AsDateTime();
  } else if (VarIsDate(AEditValue) || (VarIsNumericEx(AEditValue) && VarType(AEditValue) != varBoolean)) {
    date = AEditValue.AsDateTime();
  } else {
    throw EConvertError(cxEditResString(cxSEditDateConvertError));
  }
  // Nothing outside the calendar's range is formatted.
  if (!IsCalendarDateValid(date)) throw EConvertError(cxEditResString(cxSEditDateConvertError));
  if (!NeedShowTime(date, AEditFocused)) date = WholeDays(date.Value);
  const bool masked = AEditFocused && GetInputKind() == ikMask;
  // A typed date is read with the year's window: one outside it is edited
  // with four digits, so that editing its day keeps its century.
  Word year, month, day;
  DecodeDate(date, year, month, day);
  const bool fourDigitYear = AEditFocused && GetInputKind() == ikStandard && !InTwoDigitYearWindow(year);
  AnsiString text = AEditFocused ? DateTimeToTextEx(date, masked, FKind == ckDateTime, fourDigitYear)
                                 : DateTimeToTextEx(date, false, false);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  DisplayValue = Variant(text);
  if (masked) TcxCustomPopupEditProperties::PrepareDisplayValue(DisplayValue, DisplayValue, true);
}

bool TcxCustomDateEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) {
  if (GetInputKind() != ikStandard) return TcxCustomPopupEditProperties::IsDisplayValueValid(DisplayValue, AEditFocused);
  TDateTime date;
  return cxStrToDateTime(VarToStr(DisplayValue), !UseRtlFormats(), date) && date.Value != NullDate;
}

bool TcxCustomDateEditProperties::IsEditValueValid(Variant& EditValue, bool) {
  if (VarIsStr(EditValue)) {
    Variant value;
    InternalPrepareEditValue(VarToStr(EditValue), value);
    return !IsNullValue(value) && !VarIsNullDate(value);
  }
  return IsNullValue(EditValue) || VarIsDate(EditValue) ||
         (VarIsNumericEx(EditValue) && VarType(EditValue) != varBoolean);
}

char TcxCustomDateEditProperties::GetStandardMaskBlank(Integer APos) const {
  TcxTimeEditZoneInfo zone;
  if (!GetTimeZoneInfo(APos, zone)) return ' ';
  return zone.Kind == tzTimeSuffix ? '\0' : '0';
}

bool TcxCustomDateEditProperties::GetTimeZoneInfo(Integer APos, TcxTimeEditZoneInfo& AZoneInfo) const {
  if (FKind != ckDateTime || GetInputKind() != ikMask || Formats()->GetAssignedStandardDateTimeEditMask())
    return false;
  const TcxDateTimeFormatInfo& info = Formats()->GetDateTimeFormatInfo();
  TcxDateTimeFormatItemInfo item;
  if (!TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, APos, item)) return false;
  switch (item.Kind) {
    case dtikHour: AZoneInfo.Kind = tzHour; break;
    case dtikMin: AZoneInfo.Kind = tzMin; break;
    case dtikSec: AZoneInfo.Kind = tzSec; break;
    case dtikTimeSuffix: AZoneInfo.Kind = tzTimeSuffix; break;
    default: return false;
  }
  AZoneInfo.Start = item.ItemZoneStart;
  AZoneInfo.Length = item.ItemZoneLength;
  AZoneInfo.TimeSuffixKind = item.TimeSuffixKind;
  AZoneInfo.Use24HourFormat = !info.DefinedItems[dtikTimeSuffix];
  return true;
}

void TcxCustomDateEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(AEdit);
  const AnsiString empty = GetEmptyDisplayValue(true);
  AnsiString text = VarToStr(DisplayValue);
  // 1. The text itself.
  ErrorText = cxEditResString(cxSDateError);
  Error = false;
  TDateTime date = NullDate;
  bool isEmpty = SameText(text, empty) || SameText(text, GetEmptyString()) || text.empty();
  if (!isEmpty) Error = !TextToDateEx(text, date);
  if (!Error && !isEmpty && edit) Error = !edit->KeepShownCentury(date);
  // 2. The handler sees the text in the editor's own form.
  bool userChanged = false;
  const bool handler = AEdit && AEdit->HasValidateHandler();
  if (handler) {
    if (!Error && !isEmpty) {
      text = DateTimeToTextEx(date, GetInputKind() == ikMask, FKind == ckDateTime);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      DisplayValue = Variant(text);
    }
    DoValidate(DisplayValue, ErrorText, Error, AEdit, userChanged);
    text = VarToStr(DisplayValue);
    isEmpty = SameText(text, empty) || SameText(text, GetEmptyString()) || text.empty();
    if (!Error && !isEmpty && !TextToDateEx(text, date)) Error = true;
    if (!Error && !isEmpty && edit && !edit->KeepShownCentury(date)) Error = true;
  } else if (Error) {
    // 3. What a text that does not read turns into.
    if (FDateOnError == deToday) {
      date = FKind == ckDateTime ? Now() : Date();
      Error = false;
    } else if (FDateOnError == deNull) {
      date = NullDate;
      Error = false;
    }
  }
  // The text of the value the editor holds goes back in place of the
  // refused one.
  auto restore = [&] {
    if (!edit) return;
    Variant shown;
    PrepareDisplayValue(edit->GetEditValue(), shown, true);
    DisplayValue = shown;
  };
  // 4. A remaining error puts the editor's text back.
  if (Error) {
    if (!userChanged) restore();
    return;
  }
  try {
    if (date.Value == NullDate || isEmpty) {
      // 5. Empty: Null, and the remembered time goes with it.
      if (edit) edit->FSavedTime = 0;
      DisplayValue = Variant(empty);
      if (edit) {
        const bool changed = !IsNullValue(edit->GetEditValue());
        edit->SetInternalEditValue(Null());
        edit->SetInternalDisplayValue(DisplayValue);
        if (changed) edit->DoEditValueChanged();
      }
      return;
    }
    // 6. A real date.
    if (IsValueBoundsDefined()) {
      Variant value = Variant(date);
      CheckEditorValueBounds(value, ErrorText, Error, AEdit);
      if (Error) {
        restore();
        return;
      }
    }
    if (FKind == ckDate && edit) {
      if (TimePart(date.Value) != 0)
        edit->FSavedTime = TimePart(date.Value);
      else if (FSaveTime)
        date = WithTime(date.Value, edit->FSavedTime.Value);
      else
        edit->FSavedTime = 0;
    }
    DisplayValue = Variant(date);
  } catch (const Exception&) {
    Error = true;
    restore();
  }
}

// ---------------------------------------------------------------------------
// Mask mode and popup window.

char TcxDateEditMaskStandardMode::GetBlank(int APos) {
  auto* properties = dynamic_cast<TcxCustomDateEditProperties*>(GetProperties());
  return properties ? properties->GetStandardMaskBlank(APos + 1) : ' ';
}

TcxDateEditPopupWindow::TcxDateEditPopupWindow(TWinControl* AOwnerControl) : TcxPopupEditPopupWindow(AOwnerControl) {
  SetKeyPreview(true);
}

bool TcxDateEditPopupWindow::IsPopupCalendarKey(Word Key, TShiftState Shift) {
  switch (Key) {
    case win::VK_ESCAPE: {
      TWinControl* focused = FindControl(win::GetFocus());
      if (dynamic_cast<TcxButton*>(focused)) return true;
      for (TWinControl* c = focused; c; c = c->GetParent())
        if (auto* time = dynamic_cast<TcxCustomTimeEdit*>(c)) return !time->GetModifiedAfterEnter();
      return false;
    }
    case win::VK_UP:
    case win::VK_DOWN: return Shift.Contains(ssAlt);
    case win::VK_F4: return !Shift.Contains(ssAlt);
    default: return false;
  }
}

void TcxDateEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  TcxPopupEditPopupWindow::KeyDown(Key, Shift);
  if (Key == 0 || !IsPopupCalendarKey(Key, Shift)) return;
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(GetOwnerControl());
  if (!edit || !edit->GetCalendar()) return;
  edit->GetCalendar()->KeyDown(Key, Shift);
  // Heard once: the focused child does not get it again.
  Key = 0;
}

// ---------------------------------------------------------------------------
// Editor.

TClassRef<TcxCustomEditProperties> TcxCustomDateEdit::GetPropertiesClass() const {
  return TcxCustomDateEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxDateEdit::GetPropertiesClass() const {
  return TcxDateEditProperties::StaticClass();
}

void TcxCustomDateEdit::Initialize() {
  TcxCustomPopupEdit::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  FPopupInitialDate = NullDate;
}

TDateTime TcxCustomDateEdit::GetDate() {
  const Variant value = GetEditValue();
  if (IsNullValue(value)) return NullDate;
  if (VarIsDate(value) || (VarIsNumericEx(value) && VarType(value) != varBoolean)) return value.AsDateTime();
  if (VarIsStr(value)) return GetDateFromStr(VarToStr(value));
  return NullDate;
}

void TcxCustomDateEdit::SetDate(TDateTime Value) {
  if (Value.Value == NullDate) {
    SetInternalEditValue(Null());
    return;
  }
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  double date = Value.Value;
  if (properties->GetKind() == ckDate && TimePart(date) == 0)
    date = properties->GetSaveTime() ? WithTime(WholeDays(date), FSavedTime.Value) : WholeDays(date);
  SetInternalEditValue(Variant(TDateTime(date)));
}

TDateTime TcxCustomDateEdit::GetDateFromStr(const AnsiString& AText) {
  Variant value;
  PrepareEditValue(Variant(AText), value, InternalFocused());
  return IsNullValue(value) ? TDateTime(NullDate) : value.AsDateTime();
}

void TcxCustomDateEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  properties->InternalPrepareEditValue(VarToStr(ADisplayValue), EditValue);
  if (IsNullValue(EditValue) || VarIsNullDate(EditValue)) return;
  TDateTime date = EditValue.AsDateTime();
  if (!KeepShownCentury(date)) {
    EditValue = Null();
    return;
  }
  EditValue = Variant(date);
  if (properties->GetKind() == ckDate && properties->GetSaveTime())
    EditValue = Variant(WithTime(WholeDays(EditValue.AsDouble()), FSavedTime.Value));
  if (!Formats()->GetUseRtlDateTimeFormats()) EditValue = Variant(EditValue.AsDateTime());
}

Variant TcxCustomDateEdit::InternalGetEditingValue() {
  Variant value;
  PrepareEditValue(Variant(InternalGetText()), value, true);
  return value;
}

AnsiString TcxCustomDateEdit::InternalGetText() { return VarToStr(GetDisplayValue()); }

bool TcxCustomDateEdit::InternalSetText(const AnsiString& Value) {
  SetInternalDisplayValue(Variant(Value));
  return true;
}

void TcxCustomDateEdit::InternalSetEditValue(const Variant& Value, bool AValidateEdit) {
  if (GetIsDestroying()) return;
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  if (properties->GetKind() == ckDate) {
    FSavedTime = 0;
    if (properties->GetSaveTime()) {
      if (VarIsDate(Value) || (VarIsNumericEx(Value) && VarType(Value) != varBoolean)) {
        FSavedTime = TimePart(Value.AsDouble());
      } else if (VarIsStr(Value)) {
        TDateTime date;
        if (cxStrToDateTime(VarToStr(Value), !Formats()->GetUseRtlDateTimeFormats(), date))
          FSavedTime = TimePart(date.Value);
      }
    }
  }
  TcxCustomPopupEdit::InternalSetEditValue(Value, AValidateEdit);
}

void TcxCustomDateEdit::InternalValidateDisplayValue(const Variant& ADisplayValue) {
  if (VarIsStr(ADisplayValue)) {
    TcxCustomPopupEdit::InternalValidateDisplayValue(ADisplayValue);
    return;
  }
  SaveModified();
  orv::ScopeExit restore([this] { RestoreModified(); });
  SetInternalEditValue(ADisplayValue);
}

bool TcxCustomDateEdit::KeepShownCentury(TDateTime& ADate) {
  if (FYearTyped || ADate.Value == NullDate || GetActiveProperties()->GetInputKind() == ikStandard) return true;
  const Variant value = GetEditValue();
  if (!VarIsDate(value) && !(VarIsNumericEx(value) && VarType(value) != varBoolean)) return true;
  const TDateTime shown = value.AsDateTime();
  if (shown.Value == NullDate || !IsCalendarDateValid(shown)) return true;
  Word shownYear, year, month, day;
  DecodeDate(shown, shownYear, month, day);
  if (InTwoDigitYearWindow(shownYear)) return true;
  DecodeDate(ADate, year, month, day);
  if (year == shownYear || year % 100 != shownYear % 100) return true;
  TDateTime kept;
  if (!TryEncodeDate(shownYear, month, day, kept)) return false;
  ADate = WithTime(kept.Value, TimePart(ADate.Value));
  return true;
}

void TcxCustomDateEdit::SynchronizeDisplayValue() {
  // The text is written afresh from the value.
  if (InternalFocused()) FYearTyped = false;
  TcxCustomPopupEdit::SynchronizeDisplayValue();
}

void TcxCustomDateEdit::DoEditKeyPress(char& Key) {
  // A character typed where the regular-expression kind's year stands, at
  // either end of it included, is typed into the year.
  if (static_cast<unsigned char>(Key) >= ' ' && GetActiveProperties()->GetInputKind() == ikRegExpr) {
    Integer start = 0, end = 0;
    const Integer from = GetSelStart(), to = from + GetSelLength();
    if (!GetActiveProperties()->GetRegExprYearSpan(GetText(), start, end) || (from <= end && to >= start))
      FYearTyped = true;
  }
  TcxCustomPopupEdit::DoEditKeyPress(Key);
}

void TcxCustomDateEdit::PasteFromClipboard() {
  // What is pasted is the user's own text, year included.
  FYearTyped = true;
  TcxCustomPopupEdit::PasteFromClipboard();
}

bool TcxCustomDateEdit::IsCharValidForPos(char& AChar, Integer APos) {
  if (GetActiveProperties()->IsYearPosition(APos)) FYearTyped = true;
  TcxTimeEditZoneInfo zone;
  if (!GetActiveProperties()->GetTimeZoneInfo(APos, zone)) return true;
  return IsCharValidForTimeEdit(this, AChar, APos, zone);
}

void TcxCustomDateEdit::CheckEditorValueBounds() {
  const TDateTime date = GetDate();
  if (date.Value == NullDate) return;
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  if (properties->IsValueBoundDefined(evbMin) && date.Value < properties->GetMinDate().Value)
    SetDate(properties->GetMinDate());
  else if (properties->IsValueBoundDefined(evbMax) && date.Value > properties->GetMaxDate().Value)
    SetDate(properties->GetMaxDate());
}

void TcxCustomDateEdit::ChangeHandler(TObject* Sender) {
  TcxCustomPopupEdit::ChangeHandler(Sender);
  // Read now, while the formats are those the text was written in.
  FWrittenText = InternalGetText();
  TDateTime date;
  const bool reads = cxStrToDateTime(FWrittenText, !Formats()->GetUseRtlDateTimeFormats(), date);
  FWrittenDate = reads && KeepShownCentury(date) ? date : TDateTime(NullDate);
}

void TcxCustomDateEdit::PropertiesChanged(TObject* Sender) {
  // The mask fits the old text into the new one character by character and
  // the text is then read in the new formats: 3/4/2024 becomes 03.04.2024
  // (3 April) or a cut 30.2.4 that reads as no date. The date the text read
  // as when it was written is written again in the new format instead.
  const bool rewrite = !PropertiesChangeLocked() && IsFocused() && GetModifiedAfterEnter() &&
                       FWrittenDate.Value != NullDate && InternalGetText() == FWrittenText;
  const TDateTime date = FWrittenDate;
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (!rewrite || PropertiesChangeLocked() || !IsFocused()) return;
  // A text that still reads as the same date (a change that left its
  // format alone) stays as the user wrote it.
  TDateTime now;
  if (cxStrToDateTime(InternalGetText(), !Formats()->GetUseRtlDateTimeFormats(), now) && now.Value == date.Value)
    return;
  const AnsiString text = GetRecognizableDisplayValue(date);
  // The same date in other words: the editor stays edited.
  SaveModified();
  orv::ScopeExit restore([this] { RestoreModified(); });
  SetInternalDisplayValue(Variant(text));
}

TDateTime TcxCustomDateEdit::GetCurrentDate() {
  if (IsFocused() && !GetEditValidated() && GetModifiedAfterEnter()) return GetDateFromStr(InternalGetText());
  return GetDate();
}

// ---- the popup ---------------------------------------------------------------------

void TcxCustomDateEdit::PopupWindowKeyDown(Word& Key, TShiftState Shift) {
  if (FCalendar && (Key == win::VK_RETURN || Key == win::VK_ESCAPE) && !Shift.Contains(ssAlt)) return;
  TcxCustomPopupEdit::PopupWindowKeyDown(Key, Shift);
}

void TcxCustomDateEdit::CreateCalendar() {
  FCalendar = New<TcxPopupCalendar>(this);
  FCalendar->SetEdit(this);
  FCalendar->SetParent(GetPopupWindow());
  FCalendar->OnHidePopup = TcxCalendarHidePopupEvent::Bind<&TcxCustomPopupEdit::HidePopup>(this);
  for (TCalendarButton b : {btnClear, btnOk, btnNow, btnToday})
    FCalendar->GetButton(b)->GetLookAndFeel()->SetMasterLookAndFeel(GetPopupLookAndFeel());
  FCalendar->GetTimeEdit()->GetStyle()->GetLookAndFeel()->SetMasterLookAndFeel(GetPopupLookAndFeel());
}

void TcxCustomDateEdit::DropDown() {
  if (!FCalendar && GetPopupWindow()) CreateCalendar();
  // The properties that are asked which control to host are the active
  // ones: a repository item's, when the editor has one.
  if (FCalendar) GetActiveProperties()->SetPopupControl(FCalendar);
  TcxCustomPopupEdit::DropDown();
}

void TcxCustomDateEdit::InitializePopupWindow() {
  TcxCustomPopupEdit::InitializePopupWindow();
  if (!FCalendar) return;
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  FCalendar->HandleNeeded();
  FCalendar->SetColor(GetActiveStyle()->GetColor());
  FCalendar->SetFlat(GetActiveStyle()->GetLookAndFeel()->GetKind() != lfStandard ||
                     GetActiveStyle()->GetLookAndFeel()->GetNativeStyle());
  FCalendar->SetCalendarButtons(properties->GetDateButtons());
  FCalendar->OnDateTimeChanged = {};
  FPopupInitialDate = GetCurrentDate();
  const TDateTime start = FPopupInitialDate.Value == NullDate ? Date() : FPopupInitialDate;
  if (properties->GetKind() == ckDateTime) FCalendar->GetTimeEdit()->SetTime(TimeOf(start));
  FCalendar->SetFirstDate(DateOf(start));
  FCalendar->SetSelectDate(start);
  FCalendar->GetFont()->Assign(GetActiveStyle()->GetVisibleFont());
  FCalendar->GetFont()->SetColor(clBtnText);
  FCalendar->OnDateTimeChanged = TNotifyEvent::Bind<&TcxCustomDateEdit::DateChange>(this);
  FCalendar->SetArrowsForYear(properties->GetArrowsForYear());
  FCalendar->SetKind(properties->GetKind());
  // The time editor follows the locale's date-time format.
  const TcxDateTimeFormatInfo& info = Formats()->GetDateTimeFormatInfo();
  TcxTimeEditTimeFormat format = tfHourMinSec;
  if (info.DefinedItems[dtikSec]) format = tfHourMinSec;
  else if (info.DefinedItems[dtikMin]) format = tfHourMin;
  else if (info.DefinedItems[dtikHour]) format = tfHour;
  FCalendar->SetTimeFormat(format);
  bool use24 = true;
  for (const TcxDateTimeFormatItem& item : info.Items)
    if (item.Kind == dtikHour) use24 = item.Data.starts_with("24");
  FCalendar->SetUse24HourFormat(use24);
  FCalendar->SetWeekNumbers(properties->GetWeekNumbers());
  FCalendar->SetYearsInMonthList(properties->GetYearsInMonthList());
  FCalendar->Calculate();
}

void TcxCustomDateEdit::PopupWindowShowed(TObject* Sender) {
  TcxCustomPopupEdit::PopupWindowShowed(Sender);
  if (!FCalendar) return;
  FCalendar->Calculate();
  FCalendar->CheckHotTrack();
}

void TcxCustomDateEdit::PopupWindowClosed(TObject* Sender) {
  TcxCustomPopupEdit::PopupWindowClosed(Sender);
  if (FCalendar) FCalendar->CheckHotTrack();
}

AnsiString TcxCustomDateEdit::GetRecognizableDisplayValue(TDateTime ADate) {
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  Variant display;
  properties->PrepareDisplayValue(Variant(ADate), display, true);
  AnsiString text = VarToStr(display);
  if (properties->GetInputKind() == ikStandard) {
    TDateTime back;
    if (!cxStrToDateTime(text, !Formats()->GetUseRtlDateTimeFormats(), back) ||
        WholeDays(back.Value) != WholeDays(ADate.Value)) {
      const TDateTime shown = properties->NeedShowTime(ADate, true) ? ADate : TDateTime(WholeDays(ADate.Value));
      text = DateTimeToTextEx(shown, false, properties->GetKind() == ckDateTime);
    }
  }
  return text;
}

void TcxCustomDateEdit::DateChange(TObject*) {
  TcxCustomDateEditProperties* properties = GetActiveProperties();
  double date = FCalendar->GetSelectDate().Value;
  if (properties->GetKind() == ckDateTime) {
    if (date != NullDate) date = WithTime(WholeDays(date), FCalendar->GetTimeEdit()->GetTime().Value);
  } else if (properties->GetSaveTime() && date != NullDate && FPopupInitialDate.Value != NullDate) {
    date = WithTime(WholeDays(date), TimePart(FPopupInitialDate.Value));
  }
  const AnsiString text = date == NullDate ? properties->GetEmptyDisplayValue(true) : GetRecognizableDisplayValue(date);
  // Picking the date already shown changes nothing.
  if (date == GetDate().Value && SameText(InternalGetText(), text)) return;
  if (!DoEditing()) return;
  {
    LockChangeEvents(true);
    orv::ScopeExit unlock([this] { LockChangeEvents(false); });
    InternalSetEditValue(date == NullDate ? Null() : Variant(TDateTime(date)), false);
    SetModifiedAfterEnter(true);
    FYearTyped = false;
    SetInternalDisplayValue(Variant(text));
    SelectAll();
  }
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TClass TcxFilterDateEditHelper::GetFilterEditClass() const { return TcxDateEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterDateEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool AExtendedSet) const {
  TcxFilterControlOperators result = cxFilterOrderedValueOperators(AExtendedSet);
  if (AExtendedSet)
    for (Integer op = fcoYesterday; op <= fcoInFuture; ++op) result += static_cast<TcxFilterControlOperator>(op);
  return result;
}

void TcxFilterDateEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterDropDownEditHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* properties = dynamic_cast<TcxCustomDateEditProperties*>(AProperties);
  if (!properties) return;
  properties->SetDateButtons({btnClear, btnToday});
  properties->SetDateOnError(deNull);
  properties->SetInputKind(ikRegExpr);
  properties->SetSaveTime(true);
}

namespace {
Integer DateEditStartCount = 0;
}

void cxDateEditInitialize() {
  if (DateEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxDateEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryDateItem));
  FilterEditsController()->Register(TcxDateEditProperties::StaticClass(), TcxFilterDateEditHelper::StaticClass());
}

void cxDateEditFinalize() {
  if (DateEditStartCount == 0 || --DateEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxDateEditProperties::StaticClass(), TcxFilterDateEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxDateEditProperties::StaticClass());
}
