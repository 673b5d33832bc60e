#include "library/editors/cxCalendar.h"

#include "library/foundation/cxGeometry.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Focus.h"

#include <algorithm>
#include <cmath>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/cxClock.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxMonthListBox.h"
#include "library/foundation/dxThemeManager.h"
#include "library/foundation/dxUxTheme.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Owned.h"

ORV_REGISTER(TcxCustomCalendar)
ORV_REGISTER(TcxCalendar)
ORV_REGISTER(TcxPopupCalendar)

namespace {

constexpr TColor kMaroon = 0x000080;
// The themed header's part and state.
constexpr int kHeaderPart = 2;
constexpr int kHeaderState = 1;

Integer FontSize(TControl* AControl) { return AControl->GetFont()->GetSize(); }

bool IsRightToLeftCharset(TFontCharset ACharset) {
  return ACharset == win::HEBREW_CHARSET || ACharset == win::ARABIC_CHARSET;
}

// The day ADay (a whole day number) at ATimeOf's time of day. Before day 0
// the time of day is subtracted (-1.25 is 29 December 1899, 6:00), so a
// step of days is made on the whole days: added to the raw value it would
// land on the wrong day wherever it crosses day 0.
double AtTimeOf(double ADay, double ATimeOf) {
  return ADay + DateSign(ADay) * std::fabs(ATimeOf - std::trunc(ATimeOf));
}

}  // namespace

TDateTime SafeEncodeDate(Integer AYear, Integer AMonth, Integer ADay) {
  if (AYear < MinYear || AYear > MaxYear || AMonth < 1 || AMonth > 12 || ADay < 1 ||
      ADay > DaysPerMonth(AYear, AMonth))
    return InvalidDate;
  return EncodeDate(static_cast<Word>(AYear), static_cast<Word>(AMonth), static_cast<Word>(ADay));
}

bool IsCalendarDateValid(TDateTime ADate) {
  return ADate.Value == NullDate || (ADate.Value >= cxMinDateTime().Value && ADate.Value <= cxMaxDateTime);
}

Integer DateSign(TDateTime ADate) { return ADate.Value >= 0 ? 1 : -1; }

// ---------------------------------------------------------------------------

TcxCustomCalendar::TcxCustomCalendar(TComponent* AOwner) : TcxControl(AOwner) {
  SetControlStyle({csCaptureMouse, csOpaque});
  SetBounds(GetLeft(), GetTop(), 20, 20);
  SetKeys({kAll, kArrows, kChars, kTab});
  CreateButtons();
  FClock = New<TcxClock>(this);
  FClock->SetTabStop(false);
  FTimeEdit = New<TcxTimeEdit>(this);
  FTimeEdit->GetProperties()->SetCircular(true);
  FTimeEdit->SetTabOrder(0);
  FTimeEdit->GetProperties()->OnChange = TNotifyEvent::Bind<&TcxCustomCalendar::TimeChanged>(this);
  FMonthListBox = New<TMonthListBox>(this);
  FTimer = New<TcxTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(200);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomCalendar::DoScrollArrow>(this));
  FSelectDate = Date();
  FFirstDate = GetStartDateOfMonth(FSelectDate);
}

TcxCustomCalendar::~TcxCustomCalendar() {
  FreeAndNil(FTimer);
  ::EndMouseTracking(this);
  FreeAndNil(FMonthListBox);
}

void TcxCustomCalendar::CreateButtons() {
  struct Spec {
    TCalendarButton Kind;
    const TResStringRec* Caption;
    Integer TabOrder;
  };
  const Spec specs[] = {{btnToday, &cxSDatePopupToday, 1},
                        {btnNow, &cxSDatePopupNow, 2},
                        {btnClear, &cxSDatePopupClear, 3},
                        {btnOk, &cxSDatePopupOK, 4}};
  for (const Spec& spec : specs) {
    TcxButton* button = New<TcxButton>(this);
    button->SetCaption(cxEditResString(*spec.Caption));
    button->SetTabOrder(spec.TabOrder);
    button->SetTag(spec.Kind);
    button->SetDefault(spec.Kind == btnOk);
    button->OnClick = TNotifyEvent::Bind<&TcxCustomCalendar::ButtonClick>(this);
    FButtons[spec.Kind] = button;
  }
}

void TcxCustomCalendar::InitControl() {
  TcxControl::InitControl();
  for (TcxButton* button : FButtons) button->SetParent(this);
  FClock->SetParent(this);
  FTimeEdit->SetParent(this);
}

TcxCustomLookAndFeelPainterClass TcxCustomCalendar::GetPainter() const {
  return FButtons[btnOk]->GetLookAndFeel()->GetPainter();
}

bool TcxCustomCalendar::IsOffice11() const {
  return GetPainter() == TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::StaticClass());
}

bool TcxCustomCalendar::IsThemed() const {
  return GetPainter() == TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass());
}

bool TcxCustomCalendar::HasBackground() {
  return FButtons[btnOk]->GetLookAndFeel()->GetNativeStyle() && AreVisualStylesAvailable();
}

bool TcxCustomCalendar::HasButtonsRegion() const {
  return FKind == ckDateTime || FCalendarButtons.Contains(btnToday) || FCalendarButtons.Contains(btnClear);
}

TColor TcxCustomCalendar::HeaderColor() const {
  return IsOffice11() ? GetPainter()->DefaultDateNavigatorHeaderColor() : clBtnFace;
}

// ---- settings ---------------------------------------------------------------------

void TcxCustomCalendar::SetArrowsForYear(bool Value) {
  if (FArrowsForYear == Value) return;
  FArrowsForYear = Value;
  Calculate();
}

void TcxCustomCalendar::SetCalendarButtons(TDateButtons Value) {
  if (FCalendarButtons == Value) return;
  FCalendarButtons = Value;
  Calculate();
}

void TcxCustomCalendar::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Calculate();
}

void TcxCustomCalendar::SetKind(TcxCalendarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  TControlStyle style = GetControlStyle();
  if (FKind == ckDateTime)
    style += TControlStyle{csClickEvents, csDoubleClicks};
  else
    style -= TControlStyle{csClickEvents, csDoubleClicks};
  SetControlStyle(style);
  Calculate();
}

void TcxCustomCalendar::SetWeekNumbers(bool Value) {
  if (FWeekNumbers == Value) return;
  FWeekNumbers = Value;
  Calculate();
}

TcxTimeEditTimeFormat TcxCustomCalendar::GetTimeFormat() const {
  return FTimeEdit->GetProperties()->GetTimeFormat();
}

void TcxCustomCalendar::SetTimeFormat(TcxTimeEditTimeFormat Value) {
  if (GetTimeFormat() == Value) return;
  FTimeEdit->GetProperties()->SetTimeFormat(Value);
  Calculate();
}

bool TcxCustomCalendar::GetUse24HourFormat() const { return FTimeEdit->GetProperties()->GetUse24HourFormat(); }

void TcxCustomCalendar::SetUse24HourFormat(bool Value) {
  if (GetUse24HourFormat() == Value) return;
  FTimeEdit->GetProperties()->SetUse24HourFormat(Value);
  Calculate();
}

void TcxCustomCalendar::FontChanged() {
  TcxControl::FontChanged();
  Calculate();
}

// ---- dates --------------------------------------------------------------------------

void TcxCustomCalendar::SetFirstDate(TDateTime Value) {
  if (!IsCalendarDateValid(Value) || Value.Value == NullDate) return;
  const TDateTime first = GetStartDateOfMonth(DateOf(Value));
  if (first.Value == FFirstDate.Value) return;
  FFirstDate = first;
  Invalidate();
}

void TcxCustomCalendar::SetSelectDate(TDateTime Value) { InternalSetSelectDate(Value, true); }

void TcxCustomCalendar::InternalSetSelectDate(TDateTime Value, bool AFollowMonth) {
  if (Value.Value == FSelectDate.Value || !IsCalendarDateValid(Value)) return;
  FSelectDate = Value;
  if (AFollowMonth && Value.Value != NullDate) SetFirstDate(DateOf(Value));
  if (AFollowMonth || FKind == ckDateTime) {
    Invalidate();
  } else if (HandleAllocated()) {
    TRect r = FDaysRect;
    r.Top += FDayNamesHeight;
    InvalidateRect(r, false);
  }
}

void TcxCustomCalendar::StepToFuture() {
  Word year, month, day;
  DecodeDate(FFirstDate, year, month, day);
  IncMonth(year, month);
  SetFirstDate(SafeEncodeDate(year, month, 1));
}

void TcxCustomCalendar::StepToPast() {
  Word year, month, day;
  DecodeDate(FFirstDate, year, month, day);
  DecMonth(year, month);
  SetFirstDate(SafeEncodeDate(year, month, 1));
}

void TcxCustomCalendar::DoStep(TcxCalendarArrow AArrow) {
  Word year, month, day;
  DecodeDate(FFirstDate, year, month, day);
  Integer y = year;
  switch (AArrow) {
    case caPrevMonth: DecMonth(year, month); y = year; break;
    case caNextMonth: IncMonth(year, month); y = year; break;
    case caPrevYear: --y; break;
    case caNextYear: ++y; break;
  }
  SetFirstDate(SafeEncodeDate(y, month, 1));
}

TDateTime TcxCustomCalendar::GetLastDate() { return GetEndDateOfMonth(FFirstDate, true); }

TDateTime TcxCustomCalendar::GetRealFirstDate() {
  const Integer offset = DayOfWeekOffset(FFirstDate);
  return FFirstDate.Value - (offset == 0 ? 7 : offset);
}

TDateTime TcxCustomCalendar::GetRealLastDate() { return GetRealFirstDate().Value + 41; }

TDateTime TcxCustomCalendar::GetDateFromCell(Integer ACol, Integer ARow) {
  const Integer offset = DayOfWeekOffset(FFirstDate);
  double date = FFirstDate.Value - offset + 7 * ARow + ACol;
  if (offset == 0 && cxMinDateTime().Value < FFirstDate.Value) date -= 7;
  return date;
}

TRect TcxCustomCalendar::GetDayGridRect() const {
  TRect r = FDaysRect;
  r.Left += FSideWidth + (FWeekNumbers ? FWeekNumberWidth + 5 : 0);
  r.Right -= FSideWidth;
  r.Top += FDayNamesHeight;
  r.Bottom = r.Top + 6 * FRowHeight;
  return r;
}

TDateTime TcxCustomCalendar::PosToDateTime(TPoint P) {
  const TRect grid = GetDayGridRect();
  if (!cxRectPtIn(GetClientRect(), P) || !cxRectPtIn(grid, P) || FColWidth <= 0 || FRowHeight <= 0) return NullDate;
  return GetDateFromCell((P.X - grid.Left) / FColWidth, (P.Y - grid.Top) / FRowHeight);
}

AnsiString TcxCustomCalendar::GetDateTimeHeaderText() const {
  if (FSelectDate.Value == NullDate) return {};
  const double time = FTimeEdit->GetTime().Value;
  const double value = DateOf(FSelectDate).Value + DateSign(FSelectDate) * time;
  if (value < cxMinDateTime().Value || value > cxMaxDateTime) return {};
  return DateTimeToStr(TDateTime(value));
}

void TcxCustomCalendar::DoDateTimeChanged() {
  if (OnDateTimeChanged) OnDateTimeChanged(this);
}

void TcxCustomCalendar::HidePopup(TObject*, TcxEditCloseUpReason) {
  FTimer->SetEnabled(false);
  FMonthListBox->StopScrolling();
  if (FMonthListBox->IsVisible()) FMonthListBox->CloseUp();
}

void TcxCustomCalendar::TimeChanged(TObject*) {
  FClock->SetTime(FTimeEdit->GetTime());
  if (!HandleAllocated()) return;
  TRect r(0, 0, GetWidth(), FHeaderHeight - 1);
  if (!FFlat) r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  InvalidateRect(r, false);
}

void TcxCustomCalendar::ButtonClick(TObject* Sender) {
  const auto kind = static_cast<TCalendarButton>(static_cast<TComponent*>(Sender)->GetTag());
  double date = 0;
  const double clock = FClock->GetTime().Value;
  switch (kind) {
    case btnClear: date = NullDate; break;
    case btnNow: date = Now().Value; break;
    case btnToday: date = Date().Value + DateSign(Date()) * clock; break;
    case btnOk:
      // The selected day at the clock's time: the time the selected date
      // carries is the one the clock was set to, so an unchanged OK gives
      // the same value back. Nothing selected (after Clear): OK confirms
      // the empty date.
      date = FSelectDate.Value == NullDate ? NullDate : DateOf(FSelectDate).Value + DateSign(FSelectDate) * clock;
      break;
  }
  FClock->SetTime(date == NullDate ? TDateTime(0) : TimeOf(TDateTime(date)));
  FTimeEdit->SetTime(FClock->GetTime());
  SetSelectDate(date);
  DoDateTimeChanged();
  HidePopup(this, crEnter);
}

// ---- metrics ------------------------------------------------------------------------

Integer TcxCustomCalendar::GetButtonsRegionOffset() { return FontSize(this) / 2; }

TPoint TcxCustomCalendar::GetMonthCalendarOffset() {
  const Integer d = MulDiv(FontSize(this), 3, 4);
  return TPoint(d, d);
}

Integer TcxCustomCalendar::TimeEditWidth() {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(FTimeEdit->GetFont());
  TcxEditSizeProperties size;
  const Variant sample(FTimeEdit->GetProperties()->DefaultFocusedDisplayValue());
  const TSize edit = FTimeEdit->GetProperties()->GetEditSize(canvas, FTimeEdit->GetStyle(), false, sample, size);
  canvas->GetFont()->Assign(GetFont());
  return edit.cx + canvas->TextWidth("0");
}

void TcxCustomCalendar::Calculate() {
  if (!HandleAllocated()) return;
  const bool dateTime = FKind == ckDateTime;
  for (TcxButton* button : FButtons) button->SetTabStop(dateTime);
  FTimeEdit->SetTabStop(dateTime);
  FButtons[btnToday]->SetTabOrder(1);
  FButtons[btnNow]->SetTabOrder(2);
  FButtons[btnClear]->SetTabOrder(3);
  FButtons[btnOk]->SetTabOrder(4);
  FTimeEdit->SetTabOrder(0);
  TcxKeys keys = GetKeys();
  if (dateTime)
    keys -= kTab;
  else
    keys += kTab;
  SetKeys(keys);

  TcxCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  {
    TOwned<TFont> small(New<TFont>());
    small->Assign(GetFont());
    small->SetSize(MulDiv(FontSize(this), 2, 3));
    canvas->GetFont()->Assign(small.get());
    FWeekNumberWidth = canvas->TextWidth("99");
    canvas->GetFont()->Assign(GetFont());
  }
  const Integer zero = canvas->TextWidth("0");
  FColWidth = 3 * zero;
  FSideWidth = 2 * zero;
  FRowHeight = canvas->TextHeight("0") + 2;
  FHeaderHeight = FRowHeight + 3 - (!dateTime && IsOffice11() ? 1 : 0);
  FDayNamesHeight = FRowHeight + 1;
  Integer widest = 0;
  for (TCalendarButton b : {btnToday, btnNow, btnClear, btnOk})
    if (FButtons[b]->GetVisible() || FCalendarButtons.Contains(b) || (dateTime && b == btnOk))
      widest = std::max(widest, canvas->TextWidth(FButtons[b]->GetCaption()));
  FButtonWidth = widest + FColWidth;
  FButtonsRegionMargin = FontSize(this) / 2;
  FButtonHeight = MulDiv(canvas->TextHeight("Wg"), 20, 13) + 1;
  if (!dateTime) {
    FButtonsRegionHeight = MulDiv(FontSize(this), 3, 4) + FButtonsRegionMargin + FButtonHeight - 1;
  } else {
    Integer h = MulDiv(FontSize(this), 5, 4) + 1;
    if (h % 2 == 0) ++h;
    FButtonsRegionHeight = h + FButtonHeight;
  }
  FCalendarWidth = (FWeekNumbers ? FWeekNumberWidth + 5 : 0) + 2 * FSideWidth + 7 * FColWidth;
  SetSize();
  CalculateViewInfo();
  Invalidate();
}

TSize TcxCustomCalendar::GetSize() {
  const bool dateTime = FKind == ckDateTime;
  const TRect headerOffset = !dateTime && IsOffice11() ? TRect(2, 2, 2, 0) : TRect();
  Integer height = FDayNamesHeight + 6 * FRowHeight + FHeaderHeight + 1;
  if (HasButtonsRegion()) height += FButtonsRegionHeight;
  if (!dateTime)
    height += 1;
  else
    height += GetMonthCalendarOffset().Y + FHeaderHeight + GetButtonsRegionOffset();
  height += headerOffset.Top;
  Integer width = FCalendarWidth;
  if (dateTime) {
    const Integer m = (FButtonsRegionHeight - 1 - FButtonHeight) / 2;
    FClockSize = height - FHeaderHeight - GetMonthCalendarOffset().Y - FButtonsRegionHeight -
                 FTimeEdit->GetHeight() - 3 * m;
    width += 2 * GetMonthCalendarOffset().X + FColWidth + std::max(TimeEditWidth(), FClockSize) + 2 * m;
  }
  return TSize{width, height};
}

bool TcxCustomCalendar::CanResize(Integer& NewWidth, Integer& NewHeight) {
  if (FColWidth > 0) {
    const TSize size = GetSize();
    NewWidth = size.cx;
    NewHeight = size.cy;
  }
  return true;
}

void TcxCustomCalendar::SetSize() {
  const TSize size = GetSize();
  SetBounds(GetLeft(), GetTop(), size.cx, size.cy);
  AdjustChildren();
}

void TcxCustomCalendar::AdjustChildren() {
  const bool dateTime = FKind == ckDateTime;
  FButtons[btnClear]->SetVisible(FCalendarButtons.Contains(btnClear));
  FButtons[btnNow]->SetVisible(FCalendarButtons.Contains(btnNow) && dateTime);
  FButtons[btnOk]->SetVisible(dateTime);
  FButtons[btnToday]->SetVisible(FCalendarButtons.Contains(btnToday));
  FClock->SetVisible(dateTime);
  FTimeEdit->SetVisible(dateTime);

  const Integer width = GetWidth(), height = GetHeight();
  if (!dateTime) {
    const Integer top = GetClientHeight() - FButtonsRegionHeight + FButtonsRegionMargin;
    std::vector<TcxButton*> shown;
    for (TCalendarButton b : {btnToday, btnClear})
      if (FButtons[b]->GetVisible()) shown.push_back(FButtons[b]);
    const Integer n = static_cast<Integer>(shown.size());
    if (n == 0) return;
    const Integer gap = (FCalendarWidth - n * FButtonWidth) / (n + 1);
    if (n == 1) {
      shown[0]->SetBounds(gap, top, FButtonWidth + 1, FButtonHeight);
    } else {
      shown[0]->SetBounds(gap, top, FButtonWidth + 1, FButtonHeight);
      shown[1]->SetBounds(FCalendarWidth - gap - FButtonWidth, top, FButtonWidth + 1, FButtonHeight);
    }
    return;
  }
  const Integer top = height - FButtonsRegionHeight + 1 + (FButtonsRegionHeight - 1 - FButtonHeight) / 2;
  const Integer g = MulDiv(FontSize(this), 5, 4);
  std::vector<TcxButton*> shown;
  for (TCalendarButton b : {btnToday, btnNow, btnClear, btnOk})
    if (FButtons[b]->GetVisible()) shown.push_back(FButtons[b]);
  const Integer okLeft = width - g - FButtonWidth - 1;
  FButtons[btnOk]->SetBounds(okLeft, top, FButtonWidth, FButtonHeight);
  if (shown.size() == 2) {
    shown[0]->SetBounds(okLeft - g - FButtonWidth, top, FButtonWidth, FButtonHeight);
  } else {
    Integer left = g;
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
      shown[i]->SetBounds(left, top, FButtonWidth, FButtonHeight);
      left += FButtonWidth + g + 1;
    }
  }
  const TPoint o = GetMonthCalendarOffset();
  const Integer m = (FButtonsRegionHeight - 1 - FButtonHeight) / 2;
  const Integer editWidth = TimeEditWidth();
  const Integer editHeight = FTimeEdit->GetHeight();
  FTimeEdit->SetBounds(width - o.X - FClockSize - 2 * m + (FClockSize + 2 * m - editWidth) / 2,
                       height - FButtonsRegionHeight - editHeight - m, editWidth, editHeight);
  FTimeEdit->SetSelStart(0);
  FClock->SetBounds(width - o.X - m - FClockSize, o.Y + FHeaderHeight + m, FClockSize, FClockSize);
}

void TcxCustomCalendar::CalculateViewInfo() {
  const bool dateTime = FKind == ckDateTime;
  const Integer i = dateTime || !FFlat ? 1 : 0;
  const TRect o = !dateTime && IsOffice11() ? TRect(2, 2, 2, 0) : TRect();
  FDateTimeHeaderRect = TRect();
  if (dateTime) {
    FDateTimeHeaderRect = TRect(0, 0, GetWidth(), FHeaderHeight);
    if (IsOffice11()) FDateTimeHeaderRect = TRect(2, 2, GetWidth() - 2, FHeaderHeight);
  }
  const Integer bottom = FHeaderHeight + o.Top - 1;
  FArrowCount = FArrowsForYear ? 3 : 1;
  TRect& prevMonth = FArrowRects[caPrevMonth];
  prevMonth = TRect(o.Left + i, o.Top + i, o.Left + i + FColWidth - 2, bottom);
  const TRect last(FCalendarWidth - FColWidth + 2 - i - o.Right, o.Top + i, FCalendarWidth - i - o.Right, bottom);
  FYearCaptionRect = TRect();
  if (!FArrowsForYear) {
    FArrowRects[caNextMonth] = last;
    FArrowRects[caPrevYear] = FArrowRects[caNextYear] = TRect();
    FMonthCaptionRect = TRect(prevMonth.Right, o.Top, last.Left, FHeaderHeight + o.Top);
  } else {
    TcxCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    Integer widest = 0;
    for (const AnsiString& name : FormatSettings().LongMonthNames) widest = std::max(widest, canvas->TextWidth(name));
    const Integer years = canvas->TextWidth("9999");
    const Integer free = FCalendarWidth - 2 * i - o.Left - o.Right - widest - years - 4 * (FColWidth - 2);
    FArrowRects[caNextYear] = last;
    TRect& nextMonth = FArrowRects[caNextMonth];
    const Integer left = prevMonth.Right + (widest + years > 0 ? free * widest / (widest + years) : 0) + widest;
    nextMonth = TRect(left, prevMonth.Top, left + FColWidth - 2, prevMonth.Bottom);
    FArrowRects[caPrevYear] = TRect(nextMonth.Left + FColWidth - 2, nextMonth.Top, nextMonth.Right + FColWidth - 2,
                                    nextMonth.Bottom);
    FMonthCaptionRect = TRect(prevMonth.Right, o.Top, nextMonth.Left, FHeaderHeight + o.Top);
    FYearCaptionRect = TRect(FArrowRects[caPrevYear].Right, o.Top, last.Left, FHeaderHeight + o.Top);
  }
  FHeaderRect = TRect(0, FMonthCaptionRect.Top, FCalendarWidth, FMonthCaptionRect.Bottom);
  FDaysRect = TRect(0, FHeaderRect.Bottom + 1, FCalendarWidth, FHeaderRect.Bottom + 1 + FDayNamesHeight + 6 * FRowHeight + 1);
  if (dateTime) {
    const TPoint d = GetMonthCalendarOffset();
    const Integer dy = d.Y + FHeaderHeight;
    auto shift = [&](TRect& R) {
      if (cxRectIsEmpty(R)) return;
      R = TRect(R.Left + d.X, R.Top + dy, R.Right + d.X, R.Bottom + dy);
    };
    for (TRect& r : FArrowRects) shift(r);
    shift(FMonthCaptionRect);
    shift(FYearCaptionRect);
    shift(FHeaderRect);
    shift(FDaysRect);
  }
}

TRect TcxCustomCalendar::CorrectHeaderTextRect(TRect R) const {
  if (FKind == ckDateTime || !FFlat) ++R.Top;
  --R.Bottom;
  return R;
}

// ---- painting -----------------------------------------------------------------------

void TcxCustomCalendar::Paint() {
  TcxCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  if (FColWidth == 0) {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(GetClientRect());
    return;
  }
  if (FKind == ckDateTime) PaintDateTimeHeader(canvas);
  PaintHeader(canvas);
  PaintDays(canvas);
  const TRect client = GetClientRect();
  const TRect strip(client.Left, client.Bottom - FButtonsRegionHeight, client.Right, client.Bottom);
  if (FKind == ckDate) {
    if (HasButtonsRegion()) {
      // The buttons paint themselves; their strip is the calendar's colour.
      canvas->GetBrush()->SetColor(GetColor());
      canvas->FillRect(strip);
      canvas->ExcludeClipRect(strip);
    }
  } else {
    canvas->GetPen()->SetColor(clBtnText);
    canvas->MoveTo(strip.Left, strip.Top);
    canvas->LineTo(strip.Right, strip.Top);
    TRect inner(strip.Left, strip.Top + 1, strip.Right, strip.Bottom);
    if (!FFlat) {
      canvas->DrawEdge(inner, false, false);
      inner = TRect(inner.Left + 1, inner.Top + 1, inner.Right - 1, inner.Bottom - 1);
    }
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(inner);
    canvas->ExcludeClipRect(strip);
  }
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(client);
  if (FKind == ckDateTime) {
    const Integer x = FDaysRect.Right + FColWidth / 2;
    canvas->GetPen()->SetColor(clBtnShadow);
    canvas->MoveTo(x, FDaysRect.Top);
    canvas->LineTo(x, FTimeEdit->GetTop() + FTimeEdit->GetHeight());
  }
  canvas->SetClipRegion(New<TcxRegion>(client), roSet);
}

void TcxCustomCalendar::PaintDateTimeHeader(TcxCanvas* ACanvas) {
  TRect r = FDateTimeHeaderRect;
  const bool themed = IsThemed();
  if (themed) {
    if (TdxTheme theme = OpenTheme(totHeader))
      ::DrawThemeBackground(theme, ACanvas->GetHandle(), kHeaderPart, kHeaderState, r);
  } else if (FFlat) {
    ACanvas->GetBrush()->SetColor(HeaderColor());
    ACanvas->FillRect(TRect(r.Left, r.Top, r.Right, r.Bottom - 1));
    ACanvas->GetPen()->SetColor(clBtnText);
    ACanvas->MoveTo(r.Left, r.Bottom - 1);
    ACanvas->LineTo(r.Right, r.Bottom - 1);
    r.Bottom -= 1;
  } else {
    ACanvas->DrawEdge(r, false, false);
    r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    ACanvas->GetBrush()->SetColor(HeaderColor());
    ACanvas->FillRect(r);
  }
  ACanvas->GetFont()->SetColor(clBtnText);
  // The colour first: setting it makes the brush solid again.
  ACanvas->GetBrush()->SetColor(HeaderColor());
  ACanvas->GetBrush()->SetStyle(themed ? bsClear : bsSolid);
  ACanvas->DrawTexT(GetDateTimeHeaderText(), r, cxAlignCenter | cxSingleLine);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->ExcludeClipRect(FDateTimeHeaderRect);
}

void TcxCustomCalendar::PaintHeader(TcxCanvas* ACanvas) {
  const bool themed = IsThemed();
  const TColor header = HeaderColor();
  if (themed) {
    if (TdxTheme theme = OpenTheme(totHeader))
      ::DrawThemeBackground(theme, ACanvas->GetHandle(), kHeaderPart, kHeaderState, FHeaderRect);
  } else {
    ACanvas->GetBrush()->SetColor(header);
    ACanvas->FillRect(FHeaderRect);
  }
  // Arrows.
  for (Integer a = 0; a <= FArrowCount; ++a) {
    const auto arrow = static_cast<TcxCalendarArrow>(a);
    const TRect& r = FArrowRects[arrow];
    if (!themed) {
      ACanvas->GetPen()->SetColor(header);
      if (FFlat && FKind == ckDate) {
        ACanvas->MoveTo(r.Left, r.Top - 1);
        ACanvas->LineTo(r.Right, r.Top - 1);
      }
      ACanvas->MoveTo(r.Left, r.Bottom);
      ACanvas->LineTo(r.Right, r.Bottom);
      ACanvas->GetBrush()->SetColor(header);
      ACanvas->FillRect(r);
    }
    TPoint points[3];
    const bool previous = arrow == caPrevMonth || arrow == caPrevYear;
    TcxUltraFlatLookAndFeelPainter::CalculateArrowPoints(r, points, previous ? adLeft : adRight, true);
    ACanvas->GetPen()->SetColor(clBtnText);
    ACanvas->GetBrush()->SetColor(clBtnText);
    ACanvas->Polygon(points);
  }
  // Captions.
  Word year, month, day;
  DecodeDate(FFirstDate, year, month, day);
  const AnsiString monthName = FormatSettings().LongMonthNames[month - 1];
  ACanvas->GetBrush()->SetStyle(bsClear);
  auto caption = [&](const AnsiString& AText, const TRect& R, TcxCalendarHotTrackRegion ARegion) {
    ACanvas->GetFont()->SetColor(FHotTrackRegion == ARegion ? GetHotTrackColor() : clBtnText);
    ACanvas->DrawTexT(AText, CorrectHeaderTextRect(R), cxAlignCenter | cxSingleLine);
  };
  if (FArrowsForYear) {
    caption(monthName, FMonthCaptionRect, chrMonth);
    caption(IntToStr(year), FYearCaptionRect, chrYear);
  } else {
    caption(monthName + " " + IntToStr(year), FMonthCaptionRect, chrMonth);
  }
  ACanvas->GetBrush()->SetStyle(bsSolid);
  // Frame.
  if (!themed) {
    if (!FFlat) {
      ACanvas->DrawEdge(FHeaderRect, false, false);
    } else if (FKind == ckDateTime) {
      ACanvas->FrameRect(FHeaderRect, IsOffice11() ? GetColor() : clBtnShadow);
    } else if (IsOffice11()) {
      ACanvas->FrameRect(TRect(FHeaderRect.Left, FHeaderRect.Top - 2, FHeaderRect.Right, FHeaderRect.Bottom + 1),
                         GetColor(), 2);
    } else {
      ACanvas->GetPen()->SetColor(clBtnText);
      ACanvas->MoveTo(FHeaderRect.Left, FHeaderRect.Bottom - 1);
      ACanvas->LineTo(FHeaderRect.Right, FHeaderRect.Bottom - 1);
    }
  }
  TRect excluded = FHeaderRect;
  if (FKind == ckDate && IsOffice11()) excluded = TRect(excluded.Left, excluded.Top - 2, excluded.Right, excluded.Bottom + 1);
  ACanvas->ExcludeClipRect(excluded);
}

void TcxCustomCalendar::PaintDays(TcxCanvas* ACanvas) {
  const TRect grid = GetDayGridRect();
  const TColor color = GetColor();
  const TFormatSettings& settings = FormatSettings();
  // Day names.
  const TRect names(grid.Left, FDaysRect.Top, grid.Right, FDaysRect.Top + FDayNamesHeight - 2);
  ACanvas->GetBrush()->SetColor(color);
  ACanvas->FillRect(TRect(FDaysRect.Left, FDaysRect.Top, FDaysRect.Right, FDaysRect.Top + FDayNamesHeight));
  ACanvas->GetFont()->SetColor(clBtnText);
  const bool rtl = IsRightToLeftCharset(GetFont()->GetCharset());
  const Integer start = cxFormatController()->GetStartOfWeek();
  for (Integer i = 0; i < 7; ++i) {
    Integer d = start + 1 + i;
    if (d > 7) d -= 7;
    const AnsiString& name = settings.ShortDayNames[d - 1];
    const AnsiString letter = name.empty() ? AnsiString() : AnsiString(1, rtl ? name.back() : name.front());
    const TRect cell(names.Left + i * FColWidth, names.Top, names.Left + (i + 1) * FColWidth - 3, names.Bottom);
    ACanvas->DrawTexT(letter, cell, cxAlignRight | cxAlignVCenter | cxSingleLine);
  }
  ACanvas->GetPen()->SetColor(clBtnShadow);
  ACanvas->MoveTo(grid.Left, names.Bottom);
  ACanvas->LineTo(grid.Right - 1, names.Bottom);
  ACanvas->GetPen()->SetColor(clWindow);
  ACanvas->MoveTo(grid.Left, names.Bottom + 1);
  ACanvas->LineTo(grid.Right - 1, names.Bottom + 1);
  ACanvas->ExcludeClipRect(TRect(FDaysRect.Left, FDaysRect.Top, FDaysRect.Right, grid.Top));

  // Week numbers.
  if (FWeekNumbers) {
    const TRect column(FDaysRect.Left + FSideWidth, grid.Top, grid.Left, grid.Bottom);
    ACanvas->GetBrush()->SetColor(color);
    ACanvas->FillRect(column);
    ACanvas->GetPen()->SetColor(clBtnShadow);
    ACanvas->MoveTo(grid.Left - 1, names.Bottom);
    ACanvas->LineTo(grid.Left - 1, grid.Bottom);
    TOwned<TFont> small(New<TFont>());
    small->Assign(GetFont());
    small->SetSize(MulDiv(FontSize(this), 2, 3));
    small->SetColor(clBtnText);
    ACanvas->GetFont()->Assign(small.get());
    for (Integer row = 0; row < 6; ++row) {
      const TDateTime date = GetDateFromCell(0, row);
      if (!IsCalendarDateValid(date) || date.Value == NullDate) continue;
      const Integer week = GetWeekNumber(date, cxFormatController()->GetStartOfWeek(),
                                         cxFormatController()->GetFirstWeekOfYear());
      const TRect r(column.Left, grid.Top + row * FRowHeight, grid.Left - 2, grid.Top + (row + 1) * FRowHeight);
      ACanvas->DrawTexT(IntToStr(week), r, cxAlignRight | cxAlignVCenter | cxSingleLine);
    }
    ACanvas->GetFont()->Assign(GetFont());
    ACanvas->ExcludeClipRect(TRect(column.Left, names.Bottom, grid.Left, grid.Bottom));
  }

  // Days.
  const double today = Date().Value;
  const double first = FFirstDate.Value, last = GetLastDate().Value;
  const TColor selection = GetPainter()->DefaultDateNavigatorSelectionColor();
  const TColor selectionText = GetPainter()->DefaultDateNavigatorSelectionTextColor();
  for (Integer row = 0; row < 6; ++row) {
    for (Integer col = 0; col < 7; ++col) {
      TRect r(grid.Left + col * FColWidth, grid.Top + row * FRowHeight, grid.Left + (col + 1) * FColWidth,
              grid.Top + (row + 1) * FRowHeight);
      const double date = GetDateFromCell(col, row).Value;
      const bool selected = date == DateOf(FSelectDate).Value || (FSelectDate.Value == NullDate && date == today);
      if (date == today) {
        ACanvas->FrameRect(r, kMaroon);
        r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      }
      ACanvas->GetBrush()->SetColor(selected ? selection : color);
      ACanvas->FillRect(r);
      TColor text = clWindowText;
      if (!selected && (date < first || date > last))
        text = clGrayText;
      else if (selected)
        text = selectionText;
      ACanvas->GetFont()->SetColor(text);
      AnsiString number;
      if (IsCalendarDateValid(date) && date != NullDate) {
        Word y, m, d;
        DecodeDate(date, y, m, d);
        number = IntToStr(d);
      }
      const TRect textRect(r.Left, r.Top, r.Right - 3 + (date == today ? 1 : 0), r.Bottom);
      ACanvas->DrawTexT(number, textRect, cxAlignRight | cxAlignVCenter | cxSingleLine);
    }
  }
  // The strips either side of the grid and below it.
  ACanvas->GetBrush()->SetColor(color);
  ACanvas->FillRect(TRect(FDaysRect.Left, grid.Top, grid.Left - (FWeekNumbers ? FWeekNumberWidth + 5 : 0), grid.Bottom));
  ACanvas->FillRect(TRect(grid.Right, grid.Top, FDaysRect.Right, grid.Bottom));
  ACanvas->FillRect(TRect(FDaysRect.Left, grid.Bottom, FDaysRect.Right, FDaysRect.Bottom));
  if (FKind == ckDate && HasButtonsRegion()) {
    ACanvas->GetPen()->SetColor(clBtnShadow);
    ACanvas->MoveTo(grid.Left, FDaysRect.Bottom - 1);
    ACanvas->LineTo(grid.Right, FDaysRect.Bottom - 1);
  }
  ACanvas->ExcludeClipRect(FDaysRect);
}

// ---- hot tracking -------------------------------------------------------------------

void TcxCustomCalendar::SetHotTrackRegion(TcxCalendarHotTrackRegion Value) {
  if (FHotTrackRegion == Value) return;
  auto rectOf = [this](TcxCalendarHotTrackRegion ARegion) {
    return ARegion == chrMonth ? FMonthCaptionRect : ARegion == chrYear ? FYearCaptionRect : TRect();
  };
  if (HandleAllocated()) {
    if (FHotTrackRegion != chrNone) InvalidateRect(rectOf(FHotTrackRegion), false);
    if (Value != chrNone) InvalidateRect(rectOf(Value), false);
  }
  if (FHotTrackRegion == chrNone && Screen) FSavedCursor = Screen->GetCursor();
  FHotTrackRegion = Value;
  if (Value == chrNone && Screen) Screen->SetCursor(FSavedCursor);
}

void TcxCustomCalendar::CheckHotTrack() {
  if (FMonthListBox->IsVisible()) return;
  if (!HandleAllocated() || GetCaptureControl() == this) {
    SetHotTrackRegion(chrNone);
    return;
  }
  const TPoint p = ScreenToClient(GetMouseCursorPos());
  if (cxRectPtIn(FMonthCaptionRect, p))
    SetHotTrackRegion(chrMonth);
  else if (FArrowsForYear && cxRectPtIn(FYearCaptionRect, p))
    SetHotTrackRegion(chrYear);
  else
    SetHotTrackRegion(chrNone);
}

void TcxCustomCalendar::MouseTrackingMouseLeave() {
  ::EndMouseTracking(this);
  CheckHotTrack();
}

void TcxCustomCalendar::MouseEnter(TControl* AControl) {
  TcxControl::MouseEnter(AControl);
  CheckHotTrack();
  if (HandleAllocated()) ::BeginMouseTracking(this, GetBoundsRect(), this);
}

void TcxCustomCalendar::MouseLeave(TControl* AControl) {
  TcxControl::MouseLeave(AControl);
  CheckHotTrack();
  ::EndMouseTracking(this);
}

// ---- mouse --------------------------------------------------------------------------

void TcxCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FArrowReleased = false;
  const TPoint p(X, Y);
  const TDateTime date = PosToDateTime(p);
  if (date.Value != NullDate) {
    InternalSetSelectDate(date, false);
    return;
  }
  for (Integer a = 0; a <= FArrowCount; ++a) {
    const auto arrow = static_cast<TcxCalendarArrow>(a);
    if (cxRectPtIn(FArrowRects[arrow], p)) {
      DoStep(arrow);
      FTimer->SetEnabled(true);
      return;
    }
  }
  if (cxRectPtIn(CorrectHeaderTextRect(FMonthCaptionRect), p)) {
    SetHotTrackRegion(chrNone);
    FMonthListBox->Popup();
  }
}

// An arrow repeats while the calendar holds the mouse. The release lets
// the mouse go before it arrives; a popup closed by a key, or another
// window taking the mouse, lets it go with no release to come, and the
// repeat would run on and take the next click on a day for its release.
void TcxCustomCalendar::WMCaptureChanged(TMessage& Message) {
  DispatchFrom(TcxControl::StaticClass(), Message);
  if (!FTimer || !FTimer->GetEnabled()) return;
  FTimer->SetEnabled(false);
  FArrowReleased = true;
}

void TcxCustomCalendar::DoScrollArrow(TObject*) {
  if (!HandleAllocated()) return;
  const TPoint p = ScreenToClient(GetMouseCursorPos());
  for (Integer a = 0; a <= FArrowCount; ++a) {
    const auto arrow = static_cast<TcxCalendarArrow>(a);
    if (cxRectPtIn(FArrowRects[arrow], p)) DoStep(arrow);
  }
}

void TcxCustomCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (!FTimer->GetEnabled() && Shift.Contains(ssLeft)) {
    const TDateTime date = PosToDateTime(TPoint(X, Y));
    if (date.Value != NullDate) InternalSetSelectDate(date, false);
  }
  CheckHotTrack();
  if (HandleAllocated()) ::BeginMouseTracking(this, GetBoundsRect(), this);
}

void TcxCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (FTimer->GetEnabled() || FArrowReleased) {
    // The release after an arrow confirms nothing.
    FTimer->SetEnabled(false);
    FArrowReleased = false;
    CheckHotTrack();
    return;
  }
  const TPoint p(X, Y);
  if (FKind == ckDate) {
    if (Button == mbLeft && cxRectPtIn(GetClientRect(), p) && !cxRectPtIn(FMonthCaptionRect, p) &&
        !(FArrowsForYear && cxRectPtIn(FYearCaptionRect, p)) && !FMonthListBox->IsVisible()) {
      const bool onDay = PosToDateTime(p).Value != NullDate;
      HidePopup(this, crEnter);
      if (onDay) DoDateTimeChanged();
    }
  } else if (FSelectDate.Value != NullDate) {
    SetFirstDate(DateOf(FSelectDate));
  }
  CheckHotTrack();
}

void TcxCustomCalendar::DblClick() {
  TcxControl::DblClick();
  if (FKind != ckDateTime) return;
  const TDateTime date = PosToDateTime(ScreenToClient(GetMouseCursorPos()));
  if (date.Value == NullDate) return;
  SetSelectDate(date);
  HidePopup(this, crEnter);
  DoDateTimeChanged();
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (TcxControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (FMonthListBox->IsVisible()) return true;
  const TPoint p = ScreenToClient(MousePos);
  if (cxRectPtIn(FMonthCaptionRect, p))
    DoStep(WheelDelta > 0 ? caPrevMonth : caNextMonth);
  else if (FArrowsForYear && cxRectPtIn(FYearCaptionRect, p))
    DoStep(WheelDelta > 0 ? caPrevYear : caNextYear);
  return true;
}

// ---- keys ---------------------------------------------------------------------------

void TcxCustomCalendar::KeyDown(Word& Key, TShiftState Shift) {
  // Nothing moves from the null date: it has no day to move from.
  if (FSelectDate.Value != NullDate) {
    const double date = FSelectDate.Value;
    const bool altOnly = Shift == TShiftState{ssAlt};
    const bool ctrlOnly = Shift == TShiftState{ssCtrl};
    auto days = [&](Integer ADelta) { SetSelectDate(AtTimeOf(std::trunc(date) + ADelta, date)); };
    auto month = [&](Integer ADelta) {
      Word y, m, d;
      DecodeDate(FSelectDate, y, m, d);
      ChangeMonth(y, m, ADelta);
      const TDateTime moved = SafeEncodeDate(y, m, CheckDay(y, m, d));
      if (moved.Value != InvalidDate) SetSelectDate(AtTimeOf(moved.Value, date));
    };
    switch (Key) {
      case win::VK_LEFT: days(-1); break;
      case win::VK_RIGHT: days(1); break;
      case win::VK_UP:
        if (!altOnly) days(-7);
        break;
      case win::VK_DOWN:
        if (!altOnly) days(7);
        break;
      case win::VK_PRIOR: month(-1); break;
      case win::VK_NEXT: month(1); break;
      case win::VK_HOME:
        if (ctrlOnly)
          days(-(GetDateElement(FSelectDate, deDay) - 1));
        else
          days(-DayOfWeekOffset(FSelectDate));
        break;
      case win::VK_END:
        if (ctrlOnly) {
          Word y, m, d;
          DecodeDate(FSelectDate, y, m, d);
          days(DaysPerMonth(y, m) - d);
        } else {
          days(6 - DayOfWeekOffset(FSelectDate));
        }
        break;
      default: break;
    }
  }
  TcxControl::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// The popup calendar.

void TcxPopupCalendar::CheckHotTrack() {
  if (FEdit && FEdit->HasPopupWindow())
    TcxCustomCalendar::CheckHotTrack();
  else
    SetHotTrackRegion(chrNone);
}

void TcxPopupCalendar::HidePopup(TObject* Sender, TcxEditCloseUpReason AReason) {
  TcxCustomCalendar::HidePopup(Sender, AReason);
  if (OnHidePopup) OnHidePopup(this, AReason);
}

void TcxPopupCalendar::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomCalendar::KeyDown(Key, Shift);
  const bool altOnly = Shift == TShiftState{ssAlt};
  switch (Key) {
    case win::VK_UP:
    case win::VK_DOWN:
      if (altOnly) HidePopup(this, crClose);
      break;
    case win::VK_F4:
      if (!Shift.Contains(ssAlt)) HidePopup(this, crClose);
      break;
    case win::VK_RETURN:
      if (!GetMonthListBox()->IsVisible()) {
        HidePopup(this, crEnter);
        DoDateTimeChanged();
      }
      break;
    case win::VK_ESCAPE:
      if (GetMonthListBox()->IsVisible() && !GetMonthListBox()->IsYearMode())
        GetMonthListBox()->CloseUp();
      else
        HidePopup(this, crCancel);
      break;
    case win::VK_TAB:
      if (GetKind() == ckDate && FEdit) {
        if (FEdit->GetActiveProperties()->GetPostPopupValueOnTab()) DoDateTimeChanged();
        FEdit->PopupCalendarTab(Key, Shift);
      }
      break;
    default: break;
  }
}

void TcxPopupCalendar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomCalendar::MouseMove(Shift, X, Y);
  if (!GetArrowTimer()->GetEnabled() && Shift.Contains(ssLeft) && !cxRectPtIn(GetClientRect(), TPoint(X, Y)) &&
      FEdit) {
    // Dragged out of the calendar: the selection goes back to the
    // editor's date.
    InternalSetSelectDate(FEdit->GetDate(), false);
    if (HandleAllocated()) InvalidateRect(GetDaysRect(), false);
  }
}
