// The calendar, its month list and clock, and the time, date and currency
// editors as a person sees them: pixels read back from the headless back
// end (today's maroon frame, the selection, the grey days of the
// neighbouring months, a month starting on the first weekday, the hot
// caption, the clock's hands) and contact sheets in the build folder
// (CalendarSheet.png, MonthListSheet.png, ClockSheet.png,
// DateTimeEditorsSheet.png, CalendarLargeFont.png) for a person to look
// at; and the same parts as the recording DC logs their drawing in every
// look (the 42 days with the neighbouring months grey, today's maroon
// frame, the selection, the arrows, week numbers in the smaller font, the
// date-time header and nothing drawn for a cleared one, the hot caption,
// the month list's marked row, the editors' texts focused, unfocused,
// disabled and in a cell), and the metrics a larger font gives.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

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
#include "platform/rtl/Numbers.h"
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

// A day's number as the grid draws it.
bool IsDayNumber(const std::string& S) {
  return !S.empty() && S.size() <= 2 && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
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
  // A time, a date and a currency editor holding values, and a fourth
  // editor to take the focus from them.
  std::tuple<TcxTimeEdit*, TcxDateEdit*, TcxCurrencyEdit*, TcxTimeEdit*> MakeEditors() {
    auto* time = Make<TcxTimeEdit>({10, 300, 140, 321});
    auto* date = Make<TcxDateEdit>({10, 330, 170, 351});
    auto* money = Make<TcxCurrencyEdit>({10, 360, 140, 381});
    auto* sink = Make<TcxTimeEdit>({10, 400, 140, 421});
    time->SetTime(EncodeTime(14, 5, 30, 0));
    date->SetDate(D(2008, 12, 10) + 10.5 / 24);
    money->SetValue(-1234.5);
    Show();
    return {time, date, money, sink};
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
    GrabWindow(calendar, canvas.get(), {0, 0});
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
  GrabWindow(calendar, canvas.get(), {0, 0});
  const TRect today = CellRect(calendar, D(2008, 12, 31));
  EXPECT_EQ(canvas.At(today.Left + 1, today.Top + 1),
            ColorToRGB(calendar->GetPainter()->DefaultDateNavigatorSelectionColor()));

  // The mouse over the year caption paints it in the hot colour.
  const TRect year = calendar->GetYearCaptionRect();
  EXPECT_PRED2(Near, Darkest(canvas, year), clBtnText);
  Hover(calendar, {(year.Left + year.Right) / 2, (year.Top + year.Bottom) / 2});
  EXPECT_EQ(calendar->GetHotTrackRegion(), chrYear);
  GrabWindow(calendar, canvas.get(), {0, 0});
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
  GrabWindow(calendar, canvas.get(), {0, 0});
  for (Integer col = 0; col < 7; ++col)
    EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2008, 5, 25) + col)), clGrayText) << col;
  EXPECT_PRED2(Near, Darkest(canvas, CellRect(calendar, D(2008, 6, 1))), clWindowText);
  // The day names start at the locale's first weekday: 'S' of Sunday
  // first, then 'M'; with week numbers a column stands before the days.
  const Integer plainLeft = calendar->GetDayGridRect().Left;
  calendar->SetWeekNumbers(true);
  EXPECT_EQ(calendar->GetDayGridRect().Left, plainLeft + calendar->GetWeekNumberWidth() + 5);
  GrabWindow(calendar, canvas.get(), {0, 0});
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
  // A time that is no number shows midnight.
  for (double time : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    clock->SetTime(TDateTime(time));
    EXPECT_EQ(clock->GetTime().Value, 0);
    h = clock->CalculateHands();
    EXPECT_NEAR(h.Hour[0].X, c.X, 1);
    EXPECT_LT(h.Hour[0].Y, c.Y - 20);
  }
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
      GrabWindow(calendar, sheet.get(), origin);
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
    GrabWindow(list, lists.get(), TPoint(10 + mode * 200, 10));
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
    GrabWindow(clock, clocks.get(), TPoint(10 + i * 110, 10));
  }
  // The centre of a 3:00 clock's hour hand is teal.
  EXPECT_EQ(clocks.At(10 + 110 + 70, 10 + 50), static_cast<TColor>(0x808000));
  EXPECT_TRUE(win::SaveBitmapPng(clocks.Bitmap()->GetHandle(), "ClockSheet.png"));
}

TEST_F(CalendarPaint, EditorsSheetFocusedUnfocusedDisabledAndInACell) {
  const auto [time, date, money, sink] = MakeEditors();
  TcxCustomEdit* editors[] = {time, date, money};
  const char* names[] = {"time", "date", "currency"};
  constexpr Integer kCellW = 180, kRowH = 26, kLabel = 70;
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
    GrabWindow(edit, sheet.get(), TPoint(kLabel, top));
    edit->SetFocus();
    Pump();
    GrabWindow(edit, sheet.get(), TPoint(kLabel + kCellW, top));
    sink->SetFocus();
    edit->SetEnabled(false);
    Pump();
    GrabWindow(edit, sheet.get(), TPoint(kLabel + 2 * kCellW, top));
    edit->SetEnabled(true);
    // In a cell: no window, painted from the view data as a grid does.
    const Look cell{"cell", lfUltraFlat, false, ebsNone, btsDefault};
    TOwned<TcxEditStyle> style = MakeStyle(cell);
    TcxCustomEditProperties* properties = edit->GetActiveProperties();
    TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
    TOwned<TcxCustomEditViewInfo> info(
        static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
    const TRect bounds(kLabel + 3 * kCellW, top, kLabel + 3 * kCellW + 165, top + 21);
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

TEST_F(CalendarPaint, EveryLookDrawsTheMonthItsDaysTodayAndTheSelection) {
  TcxCalendar* calendar = MakeCalendar();
  calendar->SetSelectDate(D(2008, 12, 10));
  for (const Look& look : kCalendarLooks) {
    for (bool four : {true, false})
      for (bool weeks : {false, true}) {
        SCOPED_TRACE(std::string(look.Name) + (four ? ", four arrows" : ", two arrows") + (weeks ? ", weeks" : ""));
        calendar->SetArrowsForYear(four);
        calendar->SetWeekNumbers(weeks);
        SetLook(calendar, look);
        const std::vector<Call> calls = Record(calendar);
        // The arrows: filled triangles in the header.
        Integer arrows = 0;
        for (const Call& call : calls)
          if (call.Name == "Polygon" && call.Value("brush") == "solid/#000000") ++arrows;
        EXPECT_EQ(arrows, four ? 4 : 2);
        const std::vector<Call> texts = Texts(calls);
        std::vector<std::string> shown;
        for (const Call& text : texts) shown.push_back(text.Text());
        // The captions, then the day names from Sunday.
        auto at = std::find(shown.begin(), shown.end(), "S");
        ASSERT_NE(at, shown.end());
        EXPECT_EQ(std::vector<std::string>(at, at + 7), (std::vector<std::string>{"S", "M", "T", "W", "T", "F", "S"}));
        if (four) {
          EXPECT_NE(std::find(shown.begin(), shown.end(), "December"), shown.end());
          EXPECT_NE(std::find(shown.begin(), shown.end(), "2008"), shown.end());
        } else {
          EXPECT_NE(std::find(shown.begin(), shown.end(), "December 2008"), shown.end());
        }
        // 42 days from Sunday 30 November; the other months' in grey,
        // the selected day in the selection colours.
        std::vector<const Call*> days;
        const Integer dayRows = weeks ? 6 : 0;
        for (auto i = (at - shown.begin()) + 7; i < static_cast<std::ptrdiff_t>(texts.size()); ++i)
          if (IsDayNumber(texts[i].Text())) days.push_back(&texts[i]);
        ASSERT_EQ(static_cast<Integer>(days.size()), 42 + dayRows);
        std::vector<const Call*> grid = days, numbers;
        if (weeks) {
          // Week numbers come in the smaller font: 49 to 52, 1 and 2.
          grid.clear();
          const int dayFont = days.back()->FontHeight();
          for (const Call* day : days) (day->FontHeight() == dayFont ? grid : numbers).push_back(day);
          ASSERT_EQ(numbers.size(), 6u);
          EXPECT_EQ(numbers.front()->Text(), "49");
          EXPECT_EQ(numbers.back()->Text(), "2");
          EXPECT_LT(std::abs(numbers.front()->FontHeight()), std::abs(dayFont));
        }
        ASSERT_EQ(grid.size(), 42u);
        EXPECT_EQ(grid.front()->Text(), "30");
        EXPECT_EQ(grid.front()->Value("text"), Hex(clGrayText));
        EXPECT_EQ(grid[1]->Text(), "1");
        EXPECT_EQ(grid[1]->Value("text"), Hex(clWindowText));
        EXPECT_EQ(grid.back()->Text(), "10");
        EXPECT_EQ(grid.back()->Value("text"), Hex(clGrayText));
        const Call* ten = grid[10];
        EXPECT_EQ(ten->Text(), "10");
        EXPECT_EQ(ten->Value("text"), Hex(calendar->GetPainter()->DefaultDateNavigatorSelectionTextColor()));
        // Today is framed in maroon.
        bool maroon = false;
        for (const Call& call : calls) maroon |= call.Name != "DrawText" && call.Name != "ExtTextOut" && call.Has("#800000");
        EXPECT_TRUE(maroon);
      }
  }
}

TEST_F(CalendarPaint, TheDateTimeHeaderTheClearedDateAndTheHotCaption) {
  TcxCalendar* calendar = MakeCalendar();
  calendar->SetKind(ckDateTime);
  calendar->GetTimeEdit()->SetTime(EncodeTime(9, 30, 15, 0));
  calendar->SetSelectDate(D(2008, 12, 10));
  calendar->Calculate();
  for (const Look& look : kCalendarLooks) {
    SCOPED_TRACE(look.Name);
    SetLook(calendar, look);
    std::vector<std::string> shown;
    for (const Call& text : Texts(Record(calendar))) shown.push_back(text.Text());
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "12/10/2008 9:30:15 AM") << "the header comes first";
  }
  // Cleared: the header shows nothing, nothing raises, and today's cell is
  // painted selected.
  calendar->SetSelectDate(NullDate);
  std::vector<Call> calls;
  ASSERT_NO_THROW(calls = Record(calendar));
  const std::vector<Call> texts = Texts(calls);
  for (const Call& text : texts) EXPECT_EQ(text.Text().find('/'), std::string::npos) << text.Text();
  bool todaySelected = false;
  for (const Call& text : texts)
    todaySelected |= text.Text() == "31" && text.Value("bk") == Hex(calendar->GetPainter()->DefaultDateNavigatorSelectionColor());
  EXPECT_TRUE(todaySelected);

  // The year caption under the mouse is drawn in the hot colour.
  calendar->SetKind(ckDate);
  calendar->SetSelectDate(D(2008, 12, 10));
  SetLook(calendar, kCalendarLooks[0]);
  const TRect year = calendar->GetYearCaptionRect();
  Hover(calendar, {(year.Left + year.Right) / 2, (year.Top + year.Bottom) / 2});
  for (const Call& text : Texts(Record(calendar)))
    if (text.Text() == "2008") {
      EXPECT_EQ(text.Value("text"), Hex(GetHotTrackColor()));
    }
}

TEST_F(CalendarPaint, ALargerFontGivesLargerMetricsByTheSameRules) {
  TcxCalendar* calendar = MakeCalendar();
  calendar->SetSelectDate(D(2008, 12, 10));
  Integer previousWidth = 0;
  for (Integer size : {8, 12}) {
    SCOPED_TRACE(size);
    calendar->GetFont()->SetSize(size);
    calendar->Calculate();
    TcxCanvas* canvas = calendar->GetCanvas();
    canvas->SetFont(calendar->GetFont());
    const Integer zero = canvas->TextWidth("0"), high = canvas->TextHeight("0");
    EXPECT_EQ(calendar->GetColWidth(), 3 * zero);
    EXPECT_EQ(calendar->GetSideWidth(), 2 * zero);
    EXPECT_EQ(calendar->GetRowHeight(), high + 2);
    EXPECT_EQ(calendar->GetHeaderHeight(), high + 5);
    EXPECT_EQ(calendar->GetDayNamesHeight(), high + 3);
    EXPECT_EQ(calendar->GetButtonHeight(), MulDiv(canvas->TextHeight("Wg"), 20, 13) + 1);
    EXPECT_EQ(calendar->GetButtonsRegionHeight(),
              MulDiv(size, 3, 4) + size / 2 + calendar->GetButtonHeight() - 1);
    EXPECT_EQ(calendar->GetWidth(), 2 * calendar->GetSideWidth() + 7 * calendar->GetColWidth());
    EXPECT_EQ(calendar->GetHeight(), calendar->GetDayNamesHeight() + 6 * calendar->GetRowHeight() +
                                         calendar->GetHeaderHeight() + 1 + calendar->GetButtonsRegionHeight() + 1);
    EXPECT_GT(calendar->GetWidth(), previousWidth);
    previousWidth = calendar->GetWidth();
    // The days are drawn in the control's font, the week numbers at two
    // thirds of it.
    calendar->SetWeekNumbers(true);
    calendar->Calculate();
    int dayFont = 0, weekFont = 0;
    for (const Call& text : Texts(Record(calendar))) {
      if (text.Text() == "17") dayFont = text.FontHeight();
      if (text.Text() == "51") weekFont = text.FontHeight();
    }
    EXPECT_EQ(dayFont, calendar->GetFont()->GetHeight());
    EXPECT_EQ(std::abs(weekFont), std::abs(MulDiv(calendar->GetFont()->GetHeight(), 2, 3)));
    calendar->SetWeekNumbers(false);
  }
  PainterCanvas sheet(calendar->GetWidth() + 20, calendar->GetHeight() + 20, static_cast<TColor>(0xF0F0F0));
  GrabWindow(calendar, sheet.get(), TPoint(10, 10));
  EXPECT_TRUE(win::SaveBitmapPng(sheet.Bitmap()->GetHandle(), "CalendarLargeFont.png"));
}

TEST_F(CalendarPaint, TheMonthListInBothModesMarksTheRowUnderThePointer) {
  TcxCalendar* calendar = MakeCalendar();
  calendar->SetSelectDate(D(2008, 11, 10));
  TMonthListBox* list = calendar->GetMonthListBox();
  for (bool years : {true, false}) {
    SCOPED_TRACE(years);
    calendar->SetYearsInMonthList(years);
    list->Popup();
    Pump();
    ASSERT_TRUE(list->IsVisible());
    // Seven months around the one shown, or the twelve of the year.
    std::vector<Call> texts = Texts(Record(list));
    ASSERT_EQ(texts.size(), years ? 7u : 12u);
    EXPECT_EQ(texts.front().Text(), years ? "August 2008" : "January");
    EXPECT_EQ(texts[3].Text(), years ? "November 2008" : "April");
    // The row under the pointer is inverted: the calendar's colour on the
    // window text colour; the others the other way round.
    const TRect r = list->GetBoundsRect();
    win::test::MouseMove({r.Left + 20, r.Top + list->GetItemHeight() * 2 + 3});
    Pump();
    texts = Texts(Record(list));
    for (Integer i = 0; i < static_cast<Integer>(texts.size()); ++i)
      EXPECT_EQ(texts[i].Value("text"), Hex(i == 2 ? calendar->GetColor() : clWindowText)) << texts[i].Text();
    // Read back: the row's left end in window text, its neighbour's not.
    PainterCanvas canvas(list->GetWidth(), list->GetHeight());
    PaintControlInto(list, canvas.get(), TPoint(0, 0));
    const Integer h = list->GetItemHeight();
    // (Rows lie inside the one-pixel frame.)
    EXPECT_EQ(canvas.At(3, 1 + 2 * h + h / 2), ColorToRGB(clWindowText));
    EXPECT_EQ(canvas.At(3, 1 + h + h / 2), ColorToRGB(calendar->GetColor()));
    list->CloseUp();
    Pump();
  }
}

TEST_F(CalendarPaint, TheEditorsDrawTheirTextFocusedUnfocusedDisabledAndInACell) {
  const auto [time, date, money, sink] = MakeEditors();
  struct Case {
    TcxCustomEdit* Edit;
    const char* Unfocused;
    const char* Focused;
  };
  const Case cases[] = {{time, "14:05:30", "14:05:30"},
                        {date, "12/10/2008 10:30:00 AM", "12/10/2008"},
                        {money, "($1,234.50)", "-1234.5"}};
  // The text an editor shows: the container's own drawing, or the inner
  // edit's while it has the focus.
  auto drawn = [](TcxCustomEdit* AEdit, std::string& AColor) {
    std::vector<Call> texts = Texts(Record(AEdit));
    if (texts.empty())
      if (TWinControl* inner = AEdit->GetInnerControl()) texts = Texts(Record(inner));
    if (texts.empty()) return std::string();
    AColor = texts.front().Value("text");
    return texts.front().Text();
  };
  for (const Look& look : kCalendarLooks) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(look.Name) + " " + c.Edit->ClassName());
      c.Edit->GetStyle()->GetLookAndFeel()->SetKind(look.Kind);
      c.Edit->GetStyle()->GetLookAndFeel()->SetNativeStyle(look.Native);
      std::string color;
      sink->SetFocus();
      Pump();
      EXPECT_EQ(drawn(c.Edit, color), c.Unfocused);
      EXPECT_EQ(color, Hex(clWindowText));
      c.Edit->SetFocus();
      Pump();
      EXPECT_EQ(drawn(c.Edit, color), c.Focused);
      sink->SetFocus();
      c.Edit->SetEnabled(false);
      Pump();
      EXPECT_EQ(drawn(c.Edit, color), c.Unfocused);
      EXPECT_EQ(color, Hex(clGrayText)) << "disabled";
      c.Edit->SetEnabled(true);
      // In a cell, without a window: the display text the data prepares.
      TOwned<TcxEditStyle> style = MakeStyle(look);
      TcxCustomEditProperties* properties = c.Edit->GetActiveProperties();
      TOwned<TcxCustomEditViewData> viewData(properties->CreateViewData(style.get(), true));
      TOwned<TcxCustomEditViewInfo> info(
          static_cast<TcxCustomEditViewInfo*>(properties->GetViewInfoClass()->Construct<>()));
      PainterCanvas canvas(160, 24);
      Variant display;
      properties->PrepareDisplayValue(c.Edit->GetEditValue(), display, false);
      win::GdiStartRecording(canvas.get()->GetHandle());
      viewData->CalculateEx(canvas.get(), TRect(0, 0, 160, 24), {-100, -100}, cxmbNone, {}, info.get(), false);
      static_cast<TcxCustomTextEditViewData*>(viewData.get())->DisplayValueToDrawValue(display, info.get());
      info->PaintEx(canvas.get());
      const std::vector<Call> cell = Texts(Parse(win::GdiRecording(canvas.get()->GetHandle())));
      win::GdiStopRecording(canvas.get()->GetHandle());
      ASSERT_FALSE(cell.empty());
      EXPECT_EQ(cell.front().Text(), c.Unfocused);
    }
  }
}

}  // namespace
