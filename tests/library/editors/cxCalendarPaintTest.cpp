// The calendar, its month list and clock, and the time, date and currency
// editors as a person sees them: pixels read back from the headless back
// end (today's maroon frame, the selection, the grey days of the
// neighbouring months, a month starting on the first weekday, the hot
// caption, the clock's hands) and contact sheets in the build folder
// (CalendarSheet.png, MonthListSheet.png, ClockSheet.png,
// DateTimeEditorsSheet.png) for a person to look at.
#include <gtest/gtest.h>

#include "ConcretePaint.h"
#include "library/editors/core/cxEditUtils.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/editors/cxClock.h"
#include "library/editors/cxCurrencyEdit.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxMonthListBox.h"
#include "library/editors/cxTimeEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Mouse.h"
#include "platform/win/WindowDC.h"

using namespace edit_paint;

namespace {

double D(Word Y, Word M, Word Day) { return EncodeDate(Y, M, Day).Value; }

constexpr TColor kMaroon = 0x000080;

// The looks of the calendar: its painter comes from its buttons.
const Look kCalendarLooks[] = {kLooks[0], kLooks[1], kLooks[4], kLooks[5], kLooks[6]};

// The darkest pixel inside R: the colour of text drawn there (smoothed
// glyph edges only blend it toward the background).
TColor Darkest(PainterCanvas& ACanvas, const TRect& R) {
  TColor darkest = 0xFFFFFF;
  auto weight = [](TColor C) { return (C & 0xFF) + ((C >> 8) & 0xFF) + ((C >> 16) & 0xFF); };
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (weight(ACanvas.At(x, y)) < weight(darkest)) darkest = ACanvas.At(x, y);
  return darkest;
}

// Colours within the smoothing of small glyphs of each other.
bool Near(TColor A, TColor B) {
  const TColor a = ColorToRGB(A), b = ColorToRGB(B);
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 40) return false;
  return true;
}

class CalendarPaint : public edit_test::ConcreteEditorTest {
 protected:
  ScopedLocale us{"en-US"};

  void SetUp() override {
    ConcreteEditorTest::SetUp();
    Forms.Win().Clock().SetDateTime(D(2008, 12, 31) + 0.5);
    form->SetBoundsRect({0, 0, 900, 700});
  }
  TcxCalendar* MakeCalendar() {
    auto* calendar = New<TcxCalendar>(form);
    calendar->SetLeft(10);
    calendar->SetTop(10);
    calendar->SetParent(form);
    calendar->SetColor(clWindow);
    Show();
    calendar->Calculate();
    return calendar;
  }
  static void SetLook(TcxCustomCalendar* ACalendar, const Look& ALook) {
    for (TCalendarButton b : {btnClear, btnNow, btnToday, btnOk}) {
      ACalendar->GetButton(b)->GetLookAndFeel()->SetKind(ALook.Kind);
      ACalendar->GetButton(b)->GetLookAndFeel()->SetNativeStyle(ALook.Native);
    }
    ACalendar->SetFlat(ALook.Kind != lfStandard || ALook.Native);
    ACalendar->Calculate();
  }
  // A window and every child window on it, copied into ADest at AOrigin.
  static void Grab(TWinControl* AControl, TcxCanvas* ADest, TPoint AOrigin) {
    AControl->Repaint();
    Pump();
    win::HDC dc = win::GetDC(AControl->GetHandle());
    win::BitBlt(ADest->GetHandle(), AOrigin.X, AOrigin.Y, AControl->GetWidth(), AControl->GetHeight(), dc, 0, 0,
                win::SRCCOPY);
    win::ReleaseDC(AControl->GetHandle(), dc);
    for (Integer i = 0; i < AControl->GetControlCount(); ++i)
      if (auto* child = dynamic_cast<TWinControl*>(AControl->GetControl(i)); child && child->GetVisible())
        Grab(child, ADest, TPoint(AOrigin.X + child->GetLeft(), AOrigin.Y + child->GetTop()));
  }
  static TRect CellRect(TcxCustomCalendar* ACalendar, double ADate) {
    const TRect grid = ACalendar->GetDayGridRect();
    for (Integer row = 0; row < 6; ++row)
      for (Integer col = 0; col < 7; ++col)
        if (ACalendar->GetDateFromCell(col, row).Value == ADate) {
          const Integer w = ACalendar->GetColWidth(), h = ACalendar->GetRowHeight();
          return TRect(grid.Left + col * w, grid.Top + row * h, grid.Left + (col + 1) * w, grid.Top + (row + 1) * h);
        }
    return {};
  }
};

TEST_F(CalendarPaint, TodaySelectionNeighbouringDaysAndTheHotCaptionInEveryLook) {
  TcxCalendar* calendar = MakeCalendar();
  for (const Look& look : kCalendarLooks) {
    SCOPED_TRACE(look.Name);
    SetLook(calendar, look);
    calendar->SetSelectDate(D(2008, 12, 10));
    PainterCanvas canvas(calendar->GetWidth(), calendar->GetHeight());
    Grab(calendar, canvas.get(), {0, 0});
    const TRect today = CellRect(calendar, D(2008, 12, 31));
    EXPECT_EQ(canvas.At(today.Left, today.Top), kMaroon);
    EXPECT_EQ(canvas.At(today.Right - 1, today.Bottom - 1), kMaroon);
    const TColor selection = ColorToRGB(calendar->GetPainter()->DefaultDateNavigatorSelectionColor());
    const TRect picked = CellRect(calendar, D(2008, 12, 10));
    EXPECT_EQ(canvas.At(picked.Left + 1, picked.Top + 1), selection);
    // The digits of a day of the next month are grey, this month's are not.
    EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2009, 1, 2))), clGrayText);
    EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2008, 12, 2))), clWindowText);
  }

  // Nothing selected: today's cell is painted selected.
  SetLook(calendar, kCalendarLooks[0]);
  calendar->SetSelectDate(NullDate);
  PainterCanvas canvas(calendar->GetWidth(), calendar->GetHeight());
  Grab(calendar, canvas.get(), {0, 0});
  const TRect today = CellRect(calendar, D(2008, 12, 31));
  EXPECT_EQ(canvas.At(today.Left + 1, today.Top + 1),
            ColorToRGB(calendar->GetPainter()->DefaultDateNavigatorSelectionColor()));

  // The mouse over the year caption paints it in the hot colour.
  const TRect year = calendar->GetYearCaptionRect();
  EXPECT_PRED2(Near, Darkest(canvas, year), clBtnText);
  Hover(calendar, {(year.Left + year.Right) / 2, (year.Top + year.Bottom) / 2});
  EXPECT_EQ(calendar->GetHotTrackRegion(), chrYear);
  Grab(calendar, canvas.get(), {0, 0});
  EXPECT_PRED2(Near, Darkest(canvas, year), GetHotTrackColor());
}

TEST_F(CalendarPaint, AMonthStartingOnTheFirstWeekdayShowsTheWholeWeekBefore) {
  TcxCalendar* calendar = MakeCalendar();
  // June 2008 begins on a Sunday, the first weekday in en-US.
  calendar->SetSelectDate(D(2008, 6, 12));
  EXPECT_DOUBLE_EQ(calendar->GetDateFromCell(0, 0).Value, D(2008, 5, 25));
  EXPECT_DOUBLE_EQ(calendar->GetDateFromCell(0, 1).Value, D(2008, 6, 1));
  EXPECT_DOUBLE_EQ(calendar->GetRealLastDate().Value - calendar->GetRealFirstDate().Value, 41);
  PainterCanvas canvas(calendar->GetWidth(), calendar->GetHeight());
  Grab(calendar, canvas.get(), {0, 0});
  for (Integer col = 0; col < 7; ++col)
    EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2008, 5, 25) + col)), clGrayText) << col;
  EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2008, 6, 1))), clWindowText);
  // The day names start at the locale's first weekday: 'S' of Sunday
  // first, then 'M'; with week numbers a column stands before the days.
  const Integer plainLeft = calendar->GetDayGridRect().Left;
  calendar->SetWeekNumbers(true);
  EXPECT_EQ(calendar->GetDayGridRect().Left, plainLeft + calendar->GetWeekNumberWidth() + 5);
  Grab(calendar, canvas.get(), {0, 0});
  const TRect grid = calendar->GetDayGridRect();
  EXPECT_PRED2(Near, Darkest(canvas, TRect(calendar->GetSideWidth(), grid.Top, grid.Left - 2, grid.Bottom)), clBtnText);
}

TEST_F(CalendarPaint, TheClocksHandsPointWhereTheTimeSays) {
  TOwned<TcxClock> clock(New<TcxClock>(nullptr));
  clock->SetBounds(0, 0, 101, 101);
  const TPoint c(50, 50);
  auto hands = [&](Word H, Word M) {
    clock->SetTime(EncodeTime(H, M, 0, 0));
    return clock->CalculateHands();
  };
  TcxClock::THands h = hands(12, 0);
  EXPECT_NEAR(h.Hour[0].X, c.X, 1);
  EXPECT_LT(h.Hour[0].Y, c.Y - 20);
  EXPECT_NEAR(h.Minute[0].X, c.X, 1);
  EXPECT_LT(h.Minute[0].Y, h.Hour[0].Y) << "the minute hand is the longer";
  h = hands(3, 0);
  EXPECT_GT(h.Hour[0].X, c.X + 20);
  EXPECT_NEAR(h.Hour[0].Y, c.Y, 1);
  EXPECT_NEAR(h.Minute[0].X, c.X, 1);
  h = hands(9, 30);
  EXPECT_NEAR(h.Minute[0].X, c.X, 1);
  EXPECT_GT(h.Minute[0].Y, c.Y + 20) << "half past: down";
  EXPECT_LT(h.Hour[0].X, c.X - 20);
  EXPECT_LT(h.Hour[0].Y, c.Y) << "between nine and ten: left and a little up";
  EXPECT_GT(h.Hour[0].Y, c.Y - 15);
  // Hour marks on the circle: twelve at the top, three at the right.
  EXPECT_EQ(h.Marks[0], TPoint(99, 50));
  EXPECT_EQ(h.Marks[9], TPoint(50, 2));
}

TEST_F(CalendarPaint, ContactSheets) {
  TcxCalendar* calendar = MakeCalendar();
  calendar->SetSelectDate(D(2008, 12, 10));
  // Calendars: five looks across; down, the date kind with four and two
  // arrows, with week numbers, and the date-time kind.
  struct Variant_ {
    const char* Name;
    TcxCalendarKind Kind;
    bool FourArrows;
    bool WeekNumbers;
  };
  const Variant_ variants[] = {{"date, four arrows", ckDate, true, false},
                               {"date, two arrows", ckDate, false, false},
                               {"date, week numbers", ckDate, true, true},
                               {"date-time", ckDateTime, true, false}};
  calendar->SetCalendarButtons({btnClear, btnToday, btnNow});
  constexpr Integer kCellW = 340, kCellH = 260, kLabel = 16;
  PainterCanvas sheet(5 * kCellW + 10, kLabel + 4 * (kCellH + kLabel) + 10, static_cast<TColor>(0xF0F0F0));
  for (Integer v = 0; v < 4; ++v) {
    calendar->SetKind(variants[v].Kind);
    calendar->SetArrowsForYear(variants[v].FourArrows);
    calendar->SetWeekNumbers(variants[v].WeekNumbers);
    calendar->GetTimeEdit()->SetTime(EncodeTime(9, 30, 15, 0));
    for (Integer l = 0; l < 5; ++l) {
      SetLook(calendar, kCalendarLooks[l]);
      const TPoint origin(5 + l * kCellW, kLabel + v * (kCellH + kLabel) + kLabel);
      Label(sheet.get(), std::string(kCalendarLooks[l].Name) + ", " + variants[v].Name,
            TRect(origin.X, origin.Y - kLabel, origin.X + kCellW, origin.Y));
      Grab(calendar, sheet.get(), origin);
    }
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "CalendarSheet.png"));

  // The month list in both modes, over the calendar's caption.
  calendar->SetKind(ckDate);
  calendar->SetArrowsForYear(true);
  SetLook(calendar, kCalendarLooks[0]);
  TMonthListBox* list = calendar->GetMonthListBox();
  PainterCanvas lists(400, 260, static_cast<TColor>(0xF0F0F0));
  for (Integer mode = 0; mode < 2; ++mode) {
    calendar->SetYearsInMonthList(mode == 0);
    list->Popup();
    Pump();
    ASSERT_TRUE(list->IsVisible());
    const TRect r = list->GetBoundsRect();
    win::test::MouseMove({r.Left + 20, r.Top + list->GetItemHeight() * 2 + 3});
    Pump();
    Grab(list, lists.get(), TPoint(10 + mode * 200, 10));
    list->CloseUp();
    Pump();
  }
  EXPECT_TRUE(win::SaveBitmapPng(lists.Bitmap()->GetHandle(), "MonthListSheet.png"));

  // The clock at 12:00, 3:00 and 9:30.
  PainterCanvas clocks(3 * 110 + 10, 120, static_cast<TColor>(0xF0F0F0));
  auto* clock = New<TcxClock>(form);
  clock->SetBounds(600, 400, 101, 101);
  clock->SetParent(form);
  const TDateTime times[] = {EncodeTime(12, 0, 0, 0), EncodeTime(3, 0, 0, 0), EncodeTime(9, 30, 40, 0)};
  for (Integer i = 0; i < 3; ++i) {
    clock->SetTime(times[i]);
    Grab(clock, clocks.get(), TPoint(10 + i * 110, 10));
  }
  // The centre of a 3:00 clock's hour hand is teal.
  EXPECT_EQ(clocks.At(10 + 110 + 70, 10 + 50), static_cast<TColor>(0x808000));
  EXPECT_TRUE(win::SaveBitmapPng(clocks.Bitmap()->GetHandle(), "ClockSheet.png"));
}

TEST_F(CalendarPaint, EditorsSheetFocusedUnfocusedDisabledAndInACell) {
  auto* time = Make<TcxTimeEdit>({10, 300, 140, 321});
  auto* date = Make<TcxDateEdit>({10, 330, 140, 351});
  auto* money = Make<TcxCurrencyEdit>({10, 360, 140, 381});
  auto* sink = Make<TcxTimeEdit>({10, 400, 140, 421});
  time->SetTime(EncodeTime(14, 5, 30, 0));
  date->SetDate(D(2008, 12, 10) + 10.5 / 24);
  money->SetValue(-1234.5);
  Show();
  TcxCustomEdit* editors[] = {time, date, money};
  const char* names[] = {"time", "date", "currency"};
  constexpr Integer kCellW = 150, kRowH = 26, kLabel = 70;
  PainterCanvas sheet(kLabel + 4 * kCellW + 10, 24 + 3 * kRowH + 10, static_cast<TColor>(0xF0F0F0));
  const char* states[] = {"unfocused", "focused", "disabled", "in a cell"};
  for (Integer s = 0; s < 4; ++s)
    Label(sheet.get(), states[s], TRect(kLabel + s * kCellW, 4, kLabel + (s + 1) * kCellW, 20), cxAlignHCenter);
  for (Integer e = 0; e < 3; ++e) {
    TcxCustomEdit* edit = editors[e];
    const Integer top = 24 + e * kRowH;
    Label(sheet.get(), names[e], TRect(4, top, kLabel, top + 21));
    sink->SetFocus();
    Pump();
    Grab(edit, sheet.get(), TPoint(kLabel, top));
    edit->SetFocus();
    Pump();
    Grab(edit, sheet.get(), TPoint(kLabel + kCellW, top));
    sink->SetFocus();
    edit->SetEnabled(false);
    Pump();
    Grab(edit, sheet.get(), TPoint(kLabel + 2 * kCellW, top));
    edit->SetEnabled(true);
    // In a cell: no window, painted from the view data as a grid does.
    const Look cell{"cell", lfUltraFlat, false, ebsNone, btsDefault};
    TOwned<TcxEditStyle> style = MakeStyle(cell);
    TcxCustomEditProperties* properties = edit->GetActiveProperties();
    TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
    TOwned<TcxCustomEditViewInfo> info(
        static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
    const TRect bounds(kLabel + 3 * kCellW, top, kLabel + 3 * kCellW + 130, top + 21);
    sheet->FrameRect(TRect(bounds.Left - 1, bounds.Top - 1, bounds.Right + 1, bounds.Bottom + 1), clBtnShadow);
    // A value editor's cell gets the display text the data prepares.
    Variant display;
    properties->PrepareDisplayValue(edit->GetEditValue(), display, false);
    viewData->CalculateEx(sheet.get(), bounds, {-100, -100}, cxmbNone, {}, info.get(), false);
    static_cast<TcxCustomTextEditViewData*>(viewData.get())->DisplayValueToDrawValue(display, info.get());
    info->PaintEx(sheet.get());
    EXPECT_PRED2(Near, Darkest(sheet, TRect(bounds.Left, bounds.Top, bounds.Left + 40, bounds.Bottom)), clWindowText)
        << names[e];
  }
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "DateTimeEditorsSheet.png"));
}

}  // namespace
