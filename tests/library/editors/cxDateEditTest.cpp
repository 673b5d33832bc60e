// The date editor and its calendar through the drop-down, driven by
// injected input on the headless back end with "today" fixed on the fake
// clock (Wednesday 31 December 2008): opening, picking and confirming,
// the keys of the calendar, Tab in it, the arrows held, the wheel, the
// month list's bands, the buttons, the date-time kind with its time editor
// and clock, a date-time calendar on its own, and typed dates with the
// three input kinds.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxDateUtils.h"
#include "library/editors/core/cxEditRepository.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/cxClock.h"
#include "library/editors/cxDateEdit.h"
#include "library/editors/cxEditRepositoryItems.h"
#include "library/editors/cxMonthListBox.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Owned.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"
#include "platform/win/Timers.h"

using namespace win;

namespace {

double D(Word Y, Word M, Word Day) { return EncodeDate(Y, M, Day).Value; }

class DateEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxDateEdit* sink = nullptr;
  void SetUp() override {
    ConcreteEditorTest::SetUp();
    Forms.Win().Clock().SetDateTime(D(2008, 12, 31) + 0.5);
    // First in the tab order: it has the focus when the form shows.
    sink = Make<TcxDateEdit>({10, 250, 170, 271});
  }
  TcxDateEdit* MakeDate() {
    auto* edit = Make<TcxDateEdit>({10, 10, 170, 31});
    edit->GetPopupWindow()->SetModalMode(false);
    edit->GetProperties()->OnEditValueChanged = [this](TObject* Sender) {
      log.push_back("value " + edit_test::Text(static_cast<TcxDateEdit*>(Sender)->GetEditValue()));
    };
    edit->GetProperties()->OnClosePopup = [this](TObject*, TcxEditCloseUpReason AReason) {
      static const char* Names[] = {"crUnknown", "crTab", "crClose", "crCancel", "crEnter"};
      log.push_back(Names[AReason]);
    };
    return edit;
  }
  static TcxPopupCalendar* Calendar(TcxDateEdit* edit) { return edit->GetCalendar(); }
  // The editor holding ADate, focused, with its drop-down open.
  TcxPopupCalendar* OpenOn(TcxDateEdit* edit, double ADate) {
    edit->SetDate(ADate);
    Show();
    Focus(edit);
    Press(VK_F4);
    return Calendar(edit);
  }
  // The centre of a date's cell in the calendar shown now.
  static TPoint CellOf(TcxCustomCalendar* calendar, double ADate) {
    const TRect grid = calendar->GetDayGridRect();
    for (Integer row = 0; row < 6; ++row)
      for (Integer col = 0; col < 7; ++col)
        if (calendar->GetDateFromCell(col, row).Value == ADate)
          return {grid.Left + col * calendar->GetColWidth() + calendar->GetColWidth() / 2,
                  grid.Top + row * calendar->GetRowHeight() + calendar->GetRowHeight() / 2};
    ADD_FAILURE() << "date not shown";
    return {};
  }
  static void ClickAt(TWinControl* AControl, TPoint P) {
    test::Click(AControl->GetHandle(), {P.X, P.Y});
    Pump();
  }
  static std::string TextOf(TcxDateEdit* edit) { return edit->GetText(); }
};

TEST_F(DateEdit, TheDropDownOpensThreeWaysAndADayClickConfirmsAndCloses) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  edit->SetDate(D(2008, 12, 10) + 10.5 / 24);
  Show();
  // Unfocused the remembered 10:30 shows; focused the date alone.
  EXPECT_EQ(TextOf(edit), "12/10/2008 10:30:00 AM");
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "12/10/2008");

  Chord(VK_MENU, VK_DOWN);
  ASSERT_TRUE(edit->GetDroppedDown());
  TcxPopupCalendar* calendar = Calendar(edit);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 12, 1));
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 10) + 10.5 / 24);
  // The date shown already: nothing changes, but the popup closes.
  ClickAt(calendar, CellOf(calendar, D(2008, 12, 10)));
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(log, (edit_test::Log{"crEnter"}));

  log.clear();
  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  // A press on one day and a release on another: the drag selects, the
  // release confirms the day under it, with the remembered time.
  const TPoint from = CellOf(calendar, D(2008, 12, 2)), to = CellOf(calendar, D(2008, 12, 18));
  test::MouseMove(calendar->GetHandle(), {from.X, from.Y});
  test::MouseDown();
  Pump();
  test::MouseMove(calendar->GetHandle(), {to.X, to.Y});
  Pump();
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 18));
  test::MouseUp();
  Pump();
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "12/18/2008");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2008, 12, 18) + 10.5 / 24);

  // The button opens it too; a click on the caption opens the month list
  // and neither confirms nor closes.
  log.clear();
  const TRect button = edit->GetViewInfo()->ButtonInfos[0]->Bounds;
  ClickAt(edit, {(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2});
  ASSERT_TRUE(edit->GetDroppedDown());
  const TRect caption = calendar->GetMonthCaptionRect();
  test::MouseMove(calendar->GetHandle(), {(caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2});
  test::MouseDown();
  Pump();
  EXPECT_TRUE(calendar->GetMonthListBox()->IsVisible());
  test::MouseUp();
  Pump();
  EXPECT_FALSE(calendar->GetMonthListBox()->IsVisible());
  EXPECT_TRUE(edit->GetDroppedDown());
  EXPECT_TRUE(log.empty());
  Press(VK_ESCAPE);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(log, (edit_test::Log{"crCancel"}));
}

TEST_F(DateEdit, CalendarKeysMoveBySafeDatesAndEnterConfirms) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  TcxPopupCalendar* calendar = OpenOn(edit, D(2008, 1, 31));
  auto selected = [&] { return calendar->GetSelectDate().Value; };
  Press(VK_NEXT);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 2, 29)) << "31 January + a month: the leap day";
  Press(VK_NEXT);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 3, 29));
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 3, 1)) << "the shown month follows";
  Press(VK_RIGHT);
  Press(VK_DOWN);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 4, 6));
  // Home and End: the week (Sunday first in en-US), with Ctrl the month.
  Press(VK_END);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 4, 12));
  Press(VK_HOME);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 4, 6));
  Chord(VK_CONTROL, VK_END);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 4, 30));
  Chord(VK_CONTROL, VK_HOME);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 4, 1));
  Press(VK_LEFT);
  Press(VK_UP);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 3, 24));
  Press(VK_PRIOR);
  EXPECT_DOUBLE_EQ(selected(), D(2008, 2, 24));
  Press(VK_RETURN);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "2/24/2008");

  // Escape leaves the editor's date as it was.
  Press(VK_F4);
  Press(VK_RIGHT);
  Press(VK_ESCAPE);
  EXPECT_EQ(TextOf(edit), "2/24/2008");

  // Clear empties the selection; keys then move nothing (there is no day
  // to move from) and nothing raises.
  Press(VK_F4);
  ClickAt(calendar, Center(calendar->GetButton(btnClear)->GetBoundsRect()));
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "");
  calendar->SetSelectDate(NullDate);
  for (Word key : {VK_LEFT, VK_DOWN, VK_NEXT, VK_PRIOR, VK_HOME, VK_END}) {
    Word k = key;
    calendar->KeyDown(k, {});
    EXPECT_EQ(calendar->GetSelectDate().Value, NullDate);
  }
  EXPECT_TRUE(calendar->GetDateTimeHeaderText().empty());
}

TEST_F(DateEdit, CalendarKeysStepWholeDaysAcrossTheLastDayOf1899) {
  // Before 30 December 1899 a date's time of day counts down from its day
  // number (-2.25 is 28 December, 6:00): a step of days keeps the day and
  // the time apart, so that each press moves one day whichever side of
  // day 0 it lands on.
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  TcxPopupCalendar* calendar = OpenOn(edit, D(1899, 12, 31) + 0.25);
  auto selected = [&] { return calendar->GetSelectDate().Value; };
  Press(VK_LEFT);
  Press(VK_LEFT);
  EXPECT_DOUBLE_EQ(selected(), D(1899, 12, 29) - 0.25);
  Press(VK_LEFT);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "12/28/1899");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1899, 12, 28) - 0.25) << "the time of day kept";

  Press(VK_F4);
  Press(VK_DOWN);
  EXPECT_DOUBLE_EQ(selected(), D(1900, 1, 4) + 0.25);
  Press(VK_ESCAPE);
  edit->SetDate(D(1899, 12, 15) - 0.25);
  Press(VK_F4);
  Press(VK_NEXT);
  EXPECT_DOUBLE_EQ(selected(), D(1900, 1, 15) + 0.25);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "1/15/1900");
  Press(VK_F4);
  Press(VK_PRIOR);
  Press(VK_PRIOR);
  EXPECT_DOUBLE_EQ(selected(), D(1899, 11, 15) - 0.25);
  Press(VK_ESCAPE);
}

TEST_F(DateEdit, ArrowsHeldStepEvery200msTheWheelStepsAndTheYearsStayInRange) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  TcxPopupCalendar* calendar = OpenOn(edit, D(2008, 6, 15));
  const TRect next = calendar->GetArrowRect(caNextMonth);
  test::MouseMove(calendar->GetHandle(), {(next.Left + next.Right) / 2, (next.Top + next.Bottom) / 2});
  test::MouseDown();
  Pump();
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 7, 1)) << "at once";
  test::PumpFor(199);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 7, 1));
  test::PumpFor(401);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 10, 1)) << "three more by 600 ms";
  test::MouseUp();
  Pump();
  test::PumpFor(1000);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 10, 1)) << "none after the release";
  EXPECT_TRUE(edit->GetDroppedDown()) << "the release confirms nothing";
  EXPECT_TRUE(log.empty());

  // The wheel over the captions: up goes back a month, or a year.
  const TRect month = calendar->GetMonthCaptionRect(), year = calendar->GetYearCaptionRect();
  test::MouseMove(calendar->GetHandle(), {(month.Left + month.Right) / 2, (month.Top + month.Bottom) / 2});
  test::Wheel(120);
  Pump();
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2008, 9, 1));
  test::MouseMove(calendar->GetHandle(), {(year.Left + year.Right) / 2, (year.Top + year.Bottom) / 2});
  test::Wheel(-120);
  Pump();
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(2009, 9, 1));

  // Never past MaxYear.
  calendar->SetFirstDate(D(MaxYear, 12, 1));
  calendar->DoStep(caNextMonth);
  calendar->DoStep(caNextYear);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(MaxYear, 12, 1));
  calendar->SetFirstDate(D(MinYear, 1, 1));
  calendar->DoStep(caPrevMonth);
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(MinYear, 1, 1));
  Press(VK_ESCAPE);
}

// The popup closed by the keys while an arrow is held: the repeat stops
// with it, and once the popup is open again a click on a day picks it.
TEST_F(DateEdit, AnArrowHeldAsTheKeysCloseThePopupStopsAndTheNextClickOnADayPicksIt) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  TcxPopupCalendar* calendar = OpenOn(edit, D(2008, 6, 15));
  const TRect next = calendar->GetArrowRect(caNextMonth);
  test::MouseMove(calendar->GetHandle(), {(next.Left + next.Right) / 2, (next.Top + next.Bottom) / 2});
  test::MouseDown();
  Pump();
  Chord(VK_MENU, VK_UP);
  EXPECT_FALSE(edit->GetDroppedDown());
  test::MouseUp();
  Pump();
  EXPECT_FALSE(calendar->GetArrowTimer()->GetEnabled());

  Press(VK_F4);
  ASSERT_TRUE(edit->GetDroppedDown());
  ClickAt(calendar, CellOf(calendar, D(2008, 6, 18)));
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(TextOf(edit), "6/18/2008");
}

TEST_F(DateEdit, TheMonthListScrollsByDistanceBandsAndPicksTheMonthUnderTheRelease) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  TcxPopupCalendar* calendar = OpenOn(edit, D(2008, 6, 15));
  TMonthListBox* list = calendar->GetMonthListBox();
  const TRect caption = calendar->GetMonthCaptionRect();
  test::MouseMove(calendar->GetHandle(), {(caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2});
  test::MouseDown();
  Pump();
  ASSERT_TRUE(list->IsVisible());
  ASSERT_TRUE(list->IsYearMode());
  ASSERT_EQ(list->GetRowCount(), 7);
  Word y, m;
  list->GetRowDate(3, y, m);
  EXPECT_EQ(m, 6) << "the shown month in the middle row";
  const Integer h = list->GetItemHeight();
  const TRect lr = list->GetBoundsRect();
  auto below = [&](Integer ADistance) {
    test::MouseMove({lr.Left + 20, lr.Bottom + ADistance});
    Pump();
  };
  // Bands: under one item height 500 ms, then 250, 100 and from three
  // heights 50.
  struct Band {
    Integer Distance;
    Cardinal Interval;
  };
  for (const Band& band : {Band{1, 500}, Band{h + 1, 250}, Band{2 * h + 1, 100}, Band{3 * h + 1, 50},
                           Band{10 * h, 50}}) {
    below(band.Distance);
    EXPECT_TRUE(list->GetTimer()->GetEnabled());
    EXPECT_EQ(list->GetTimer()->GetInterval(), band.Interval) << band.Distance;
  }
  const Integer top = list->GetTopIndex();
  test::PumpFor(200);
  EXPECT_EQ(list->GetTopIndex(), top + 4) << "every 50 ms";
  // Back inside: the scrolling stops at once and the row is hot.
  test::MouseMove({lr.Left + 20, lr.Top + h / 2});
  Pump();
  EXPECT_FALSE(list->GetTimer()->GetEnabled());
  EXPECT_EQ(list->GetItemIndex(), 0);
  list->GetRowDate(0, y, m);
  test::MouseUp();
  Pump();
  EXPECT_FALSE(list->IsVisible());
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, D(y, m, 1));
  EXPECT_TRUE(edit->GetDroppedDown());

  // A release outside every row changes nothing.
  const double shown = calendar->GetFirstDate().Value;
  test::MouseMove(calendar->GetHandle(), {(caption.Left + caption.Right) / 2, (caption.Top + caption.Bottom) / 2});
  test::MouseDown();
  Pump();
  test::MouseMove({lr.Right + 40, lr.Top - 40});
  Pump();
  test::MouseUp();
  Pump();
  EXPECT_DOUBLE_EQ(calendar->GetFirstDate().Value, shown);
  Press(VK_ESCAPE);
}

TEST_F(DateEdit, TheButtonsAndTheDateTimeKindWithItsTimeEditorAndClock) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  Show();
  Focus(edit);
  // Empty: the popup opens on today; Today confirms today.
  Press(VK_F4);
  TcxPopupCalendar* calendar = Calendar(edit);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 31));
  ClickAt(calendar, Center(calendar->GetButton(btnToday)->GetBoundsRect()));
  EXPECT_EQ(TextOf(edit), "12/31/2008");

  edit->GetProperties()->SetKind(ckDateTime);
  edit->SetDate(D(2008, 12, 5) + 0.25);
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "12/05/2008 06:00:00 AM") << "the masked date-time text";
  Press(VK_F4);
  ASSERT_TRUE(calendar->GetTimeEdit()->GetVisible());
  EXPECT_TRUE(calendar->GetButton(btnNow)->GetVisible());
  EXPECT_TRUE(calendar->GetButton(btnOk)->GetVisible());
  EXPECT_FALSE(calendar->GetButton(btnToday)->GetVisible());
  EXPECT_DOUBLE_EQ(calendar->GetClock()->GetTime().Value, 0.25);
  // A day click only selects in this kind; the time editor sets the time
  // and the header follows; OK confirms both.
  ClickAt(calendar, CellOf(calendar, D(2008, 12, 9)));
  EXPECT_TRUE(edit->GetDroppedDown());
  calendar->GetTimeEdit()->SetTime(EncodeTime(18, 45, 0, 0));
  EXPECT_EQ(calendar->GetDateTimeHeaderText(), "12/9/2008 6:45:00 PM");
  ClickAt(calendar, Center(calendar->GetButton(btnOk)->GetBoundsRect()));
  EXPECT_FALSE(edit->GetDroppedDown());
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_NEAR(edit->GetDate().Value, D(2008, 12, 9) + 18.75 / 24, 1e-9);
  // Now takes the clock's date and time.
  Press(VK_F4);
  ClickAt(calendar, Center(calendar->GetButton(btnNow)->GetBoundsRect()));
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_NEAR(edit->GetDate().Value, D(2008, 12, 31) + 0.5, 1e-6);
  // Escape is the time editor's own while it holds a change, the popup's
  // otherwise (from a button too).
  Press(VK_F4);
  TcxTimeEdit* time = calendar->GetTimeEdit();
  time->SetFocus();
  Pump();
  time->SetSelection(3, 0);
  Type("3");
  ASSERT_TRUE(time->GetModifiedAfterEnter()) << time->GetText();
  log.clear();
  Press(VK_ESCAPE);
  EXPECT_TRUE(edit->GetDroppedDown());
  calendar->GetButton(btnOk)->SetFocus();
  Pump();
  Press(VK_ESCAPE);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_EQ(log, (edit_test::Log{"crCancel"}));
  EXPECT_NEAR(edit->GetDate().Value, D(2008, 12, 31) + 0.5, 1e-6) << "nothing taken";
  // An empty masked date-time shows the blank date with a zero time.
  edit->Clear();
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "  /  /     12:00:00 AM");
}

// Editors that take their settings from one repository item open each
// its own calendar, on its own date, and take the date back for itself.
TEST_F(DateEdit, EditorsSharingARepositoryItemEachOpenTheirOwnCalendar) {
  ScopedLocale us("en-US");
  TOwned<TcxEditRepository> repository(New<TcxEditRepository>(nullptr));
  auto* item =
      static_cast<TcxEditRepositoryDateItem*>(repository->CreateItem(TcxEditRepositoryDateItem::StaticClass()));
  TcxDateEdit* first = MakeDate();
  first->SetRepositoryItem(item);
  TcxDateEdit* second = MakeDate();
  second->SetBoundsRect({10, 60, 170, 81});
  second->SetRepositoryItem(item);
  second->SetDate(D(2008, 7, 15));

  TcxPopupCalendar* calendar = OpenOn(first, D(2008, 12, 10));
  ASSERT_TRUE(first->GetDroppedDown());
  EXPECT_EQ(calendar->GetParent(), first->GetPopupWindow());
  Press(VK_DOWN);
  Press(VK_RETURN);
  EXPECT_FALSE(first->GetDroppedDown());
  EXPECT_EQ(TextOf(first), "12/17/2008");

  Focus(second);
  Press(VK_F4);
  ASSERT_TRUE(second->GetDroppedDown());
  EXPECT_EQ(Calendar(second)->GetParent(), second->GetPopupWindow());
  EXPECT_DOUBLE_EQ(Calendar(second)->GetSelectDate().Value, D(2008, 7, 15));
  Press(VK_ESCAPE);
  EXPECT_FALSE(second->GetDroppedDown());
  EXPECT_DOUBLE_EQ(second->GetDate().Value, D(2008, 7, 15));
}

TEST_F(DateEdit, TabInTheCalendarPostsTheChosenDateOnlyWhenAskedAndMovesOn) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  edit->GetProperties()->SetPostPopupValueOnTab(true);
  OpenOn(edit, D(2008, 7, 15));
  Press(VK_DOWN);
  Press(VK_TAB);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2008, 7, 22));
  EXPECT_EQ(log, (edit_test::Log{"value 7/22/2008", "crTab"}));
  EXPECT_TRUE(sink->IsFocused()) << "the focus moves on";
  // Without the property Tab closes and the date stays.
  edit->GetProperties()->SetPostPopupValueOnTab(false);
  OpenOn(edit, D(2008, 7, 15));
  Press(VK_DOWN);
  Press(VK_TAB);
  EXPECT_FALSE(edit->GetDroppedDown());
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2008, 7, 15));
  EXPECT_EQ(log, (edit_test::Log{"crUnknown"}));
  EXPECT_TRUE(sink->IsFocused());
}

TEST_F(DateEdit, TheDateTimePopupGivesBackAnUnchangedValueAndADayKeepsTheClocksTime) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  edit->GetProperties()->SetKind(ckDateTime);
  const double evening = D(2008, 7, 15) + 0.75;
  TcxPopupCalendar* calendar = OpenOn(edit, evening);
  // The calendar holds the value as it is; the clock shows its time, and
  // the header the two once.
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, evening);
  EXPECT_DOUBLE_EQ(calendar->GetClock()->GetTime().Value, 0.75);
  EXPECT_EQ(calendar->GetDateTimeHeaderText(), "7/15/2008 6:00:00 PM");
  auto ok = [&] { ClickAt(calendar, Center(calendar->GetButton(btnOk)->GetBoundsRect())); };
  // OK twice with nothing changed: the value stays, and nothing changes.
  for (int i = 0; i < 2; ++i) {
    ok();
    ASSERT_FALSE(edit->GetDroppedDown());
    ASSERT_TRUE(edit->ValidateEdit(false));
    EXPECT_DOUBLE_EQ(edit->GetDate().Value, evening);
    Press(VK_F4);
  }
  EXPECT_EQ(log, (edit_test::Log{"crEnter", "crEnter"}));
  // Another day: taken at the clock's time.
  ClickAt(calendar, CellOf(calendar, D(2008, 7, 22)));
  ok();
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2008, 7, 22) + 0.75);
}

// On its own, a date-and-time calendar answers the date it holds with its
// time: OK and Today put the clock's time on their day, Now is the clock
// of the system, and a kind changed back and forth keeps the time.
TEST_F(DateEdit, AStandAloneDateTimeCalendarAnswersItsDateWithItsTime) {
  ScopedLocale us("en-US");
  form->SetBoundsRect({0, 0, 900, 700});
  auto* calendar = New<TcxCalendar>(form);
  calendar->SetBoundsRect({200, 10, 220, 30});
  calendar->SetParent(form);
  calendar->SetCalendarButtons({btnToday, btnNow, btnClear});
  calendar->SetKind(ckDateTime);
  Show();
  calendar->Calculate();
  std::vector<double> confirmed;
  calendar->OnDateTimeChanged = [&](TObject*) { confirmed.push_back(calendar->GetSelectDate().Value); };
  auto click = [&](TCalendarButton AButton) {
    ASSERT_TRUE(calendar->GetButton(AButton)->GetVisible());
    ClickAt(calendar, Center(calendar->GetButton(AButton)->GetBoundsRect()));
  };
  const double tenThirty = EncodeTime(10, 30, 0, 0).Value;

  calendar->SetSelectDate(D(2008, 6, 10) + 0.75);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 6, 10) + 0.75);
  calendar->GetTimeEdit()->SetTime(tenThirty);
  EXPECT_EQ(calendar->GetDateTimeHeaderText(), "6/10/2008 10:30:00 AM") << "the day at the clock's time";
  click(btnOk);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 6, 10) + tenThirty);
  click(btnOk);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 6, 10) + tenThirty) << "nothing changed, nothing moves";

  click(btnNow);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 31) + 0.5);
  EXPECT_DOUBLE_EQ(calendar->GetClock()->GetTime().Value, 0.5);

  calendar->GetTimeEdit()->SetTime(tenThirty);
  click(btnToday);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 31) + tenThirty);
  EXPECT_EQ(confirmed, (std::vector<double>{D(2008, 6, 10) + tenThirty, D(2008, 6, 10) + tenThirty,
                                            D(2008, 12, 31) + 0.5, D(2008, 12, 31) + tenThirty}));

  calendar->SetKind(ckDate);
  calendar->SetKind(ckDateTime);
  EXPECT_DOUBLE_EQ(calendar->GetSelectDate().Value, D(2008, 12, 31) + tenThirty);
  // Cleared, OK confirms the empty date.
  click(btnClear);
  click(btnOk);
  EXPECT_EQ(calendar->GetSelectDate().Value, NullDate);
}

TEST_F(DateEdit, TypedDatesByInputKindSmartWordsAndDateOnError) {
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  auto* other = Make<TcxDateEdit>({10, 50, 170, 71});
  edit->SetDate(D(2008, 12, 10) + 10.5 / 24);
  Show();
  auto typeAndLeave = [&](const std::string& AText) {
    Focus(edit);
    SelectAllAndType(edit, AText);
    other->SetFocus();
    Pump();
  };
  // Regular expression (the default): a smart word with an offset, the
  // remembered 10:30 kept.
  typeAndLeave("today+3");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 1, 3) + 10.5 / 24);
  // Standard: an explicit time replaces the remembered one.
  edit->GetProperties()->SetInputKind(ikStandard);
  typeAndLeave("1/2/2009 8:15");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 1, 2) + 8.25 / 24);
  typeAndLeave("1/5/2009");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 1, 5) + 8.25 / 24);
  // Clearing the text posts Null and forgets the time: a date typed next
  // has none.
  log.clear();
  Focus(edit);
  edit->SelectAll();
  Press(VK_DELETE);
  other->SetFocus();
  Pump();
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));
  EXPECT_EQ(edit->GetSavedTime().Value, 0);
  typeAndLeave("1/6/2009");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 1, 6));
  // Mask: the locale's picture.
  edit->GetProperties()->SetInputKind(ikMask);
  Focus(edit);
  EXPECT_EQ(edit->GetProperties()->GetEditMask(), "!99/99/9999;1; ");
  edit->SetSelection(0, 0);
  Type("02142009");
  other->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 2, 14));

  // What a text that does not read turns into.
  edit->GetProperties()->SetInputKind(ikStandard);
  Focus(edit);
  SelectAllAndType(edit, "soon");
  EXPECT_FALSE(edit->ValidateEdit(false)) << "deNoChange keeps the error";
  EXPECT_EQ(TextOf(edit), "2/14/2009") << "and puts the text back";
  // A day before the calendar's first year reads as a date but is none the
  // editor could show: it is refused like any other, the value kept.
  for (const char* early : {"12/31/0099", "1/1/0001", "today-800000"}) {
    SelectAllAndType(edit, early);
    EXPECT_FALSE(edit->ValidateEdit(false)) << early;
    EXPECT_EQ(TextOf(edit), "2/14/2009") << early;
    EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2009, 2, 14)) << early;
  }
  edit->GetProperties()->SetDateOnError(deToday);
  SelectAllAndType(edit, "soon");
  EXPECT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2008, 12, 31));
  edit->GetProperties()->SetDateOnError(deNull);
  SelectAllAndType(edit, "soon");
  EXPECT_TRUE(edit->ValidateEdit(false));
  EXPECT_TRUE(VarIsNull(edit->GetEditValue()));

  // Bounds only when MaxDate lies after MinDate; a typed date outside is
  // reported, one set by code is clamped.
  edit->GetProperties()->SetMinDate(D(2009, 1, 1));
  edit->GetProperties()->SetMaxDate(D(2008, 1, 1));
  EXPECT_FALSE(edit->GetProperties()->IsValueBoundsDefined());
  edit->GetProperties()->SetMaxDate(D(2009, 12, 31));
  SelectAllAndType(edit, "3/3/2010");
  EXPECT_FALSE(edit->ValidateEdit(false));
  other->SetFocus();
  Pump();
  edit->SetDate(D(2011, 1, 1));
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2011, 1, 1));
}

// A two-digit-year picture reads years back within its window (1958 to
// 2057 with "today" in 2008): a date outside it is edited with four
// digits, so that editing its day keeps its century; dates within it keep
// their short text.
TEST_F(DateEdit, EditingTheDayOfADateOutsideTheTwoDigitYearWindowKeepsItsCentury) {
  Locale locale = Locale::Builtin("en-US");
  locale.ShortDateFormat = "M/d/yy";
  ScopedLocale shortYears(locale);
  TcxDateEdit* edit = MakeDate();
  auto* other = Make<TcxDateEdit>({10, 50, 170, 71});
  edit->GetProperties()->SetInputKind(ikStandard);
  Show();
  for (const auto& [year, shown] : {std::pair<Word, const char*>{1850, "1/15/1850"}, {2008, "1/15/08"},
                                    {2090, "1/15/2090"}}) {
    SCOPED_TRACE(year);
    edit->SetDate(D(year, 1, 15));
    Focus(edit);
    EXPECT_EQ(TextOf(edit), shown);
    edit->SetSelection(2, 2);
    Type("16");
    other->SetFocus();
    Pump();
    EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(year, 1, 16));
  }
}

// The masked and regular-expression kinds have room for two year digits
// only under a two-digit-year picture: a date outside the window keeps its
// century while its day or month is edited, and a year typed or pasted is
// read by the window as ever.
TEST_F(DateEdit, TheMaskedKindsKeepTheCenturyOfAnEditedDayAndReadATypedYearByTheWindow) {
  Locale locale = Locale::Builtin("en-US");
  locale.ShortDateFormat = "M/d/yy";
  ScopedLocale shortYears(locale);
  TcxDateEdit* edit = MakeDate();
  auto* other = Make<TcxDateEdit>({10, 50, 170, 71});
  Show();
  auto edited = [&](double ADate, Integer AStart, const std::string& ATyped) {
    edit->SetDate(ADate);
    Focus(edit);
    edit->SetSelection(AStart, 2);
    Type(ATyped);
    const std::string shown = TextOf(edit);
    other->SetFocus();
    Pump();
    return shown;
  };
  edit->GetProperties()->SetInputKind(ikMask);
  EXPECT_EQ(edited(D(1850, 1, 15), 3, "16"), "01/16/50");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1850, 1, 16));
  EXPECT_EQ(edited(D(2090, 1, 15), 0, "03"), "03/15/90");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2090, 3, 15));
  // 29 February is no day of 1900: refused, not moved to 2000.
  EXPECT_EQ(edited(D(1900, 2, 15), 3, "29"), "02/29/00");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1900, 2, 15));
  // A year typed over the same digits is the window's year, and the next
  // edit of a day starts afresh.
  EXPECT_EQ(edited(D(1850, 1, 15), 6, "50"), "01/15/50");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2050, 1, 15));
  edited(D(1850, 1, 15), 3, "17");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1850, 1, 17));
  edit->SetDate(D(1850, 1, 15));
  Focus(edit);
  edit->SelectAll();
  edit_test::SetClipboardText("01/16/50");
  Chord(VK_CONTROL, 'V');
  other->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2050, 1, 16)) << "a pasted date is the user's";
  EXPECT_EQ(edited(D(2008, 1, 15), 6, "57"), "01/15/57");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2057, 1, 15));

  edit->GetProperties()->SetInputKind(ikRegExpr);
  EXPECT_EQ(edited(D(1850, 1, 15), 2, "16"), "1/16/50");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1850, 1, 16));
  EXPECT_EQ(edited(D(2090, 1, 15), 0, "3"), "3/15/90");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2090, 3, 15));
  EXPECT_EQ(edited(D(1850, 1, 15), 5, "50"), "1/15/50");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2050, 1, 15));
  edited(D(1850, 1, 15), 2, "17");
  EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(1850, 1, 17));
}

TEST_F(DateEdit, AFormatChangingUnderAnEditedTextKeepsTheDateItShowed) {
  // The user types 3/4/2024 (4 March) and, before leaving, the locale
  // turns German: the text is the same date in the new format, still
  // edited, and that date is what the editor posts, the remembered time
  // behind it. Read in the new format it would be 3 April, or (cut by the
  // new mask) no date at all.
  ScopedLocale us("en-US");
  TcxDateEdit* edit = MakeDate();
  auto* other = Make<TcxDateEdit>({10, 50, 170, 71});
  edit->SetDate(D(2008, 12, 10) + 10.5 / 24);
  Show();
  for (TcxInputKind kind : {ikRegExpr, ikMask, ikStandard}) {
    SCOPED_TRACE(static_cast<int>(kind));
    edit->GetProperties()->SetInputKind(kind);
    Focus(edit);
    if (kind == ikMask) {
      edit->SetSelection(0, 0);
      Type("03042024");
      EXPECT_EQ(TextOf(edit), "03/04/2024");
    } else {
      SelectAllAndType(edit, "3/4/2024");
    }
    {
      ScopedLocale de("de-DE");
      EXPECT_EQ(TextOf(edit), "04.03.2024");
      EXPECT_TRUE(edit->GetModifiedAfterEnter());
      other->SetFocus();
      Pump();
      EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2024, 3, 4) + 10.5 / 24);
    }
    edit->SetDate(D(2008, 12, 10) + 10.5 / 24);
  }

  // Unedited, the focused text is the value's, shown in the new format;
  // the rewrite is no edit of the user's, so nothing is left to post.
  for (TcxInputKind kind : {ikMask, ikStandard, ikRegExpr}) {
    SCOPED_TRACE(static_cast<int>(kind));
    edit->GetProperties()->SetInputKind(kind);
    Focus(edit);
    ASSERT_FALSE(edit->GetModifiedAfterEnter());
    const std::string shown = TextOf(edit);  // the masked kind shows the time too
    {
      ScopedLocale de("de-DE");
      EXPECT_EQ(TextOf(edit).substr(0, 10), "10.12.2008");
      EXPECT_FALSE(edit->GetModifiedAfterEnter());
      EXPECT_FALSE(edit->GetModified());
    }
    EXPECT_EQ(TextOf(edit), shown);
    EXPECT_FALSE(edit->GetModified());
    other->SetFocus();
    Pump();
  }

  // A day picked in the calendar is written like a typed one, and goes
  // back with the locale.
  OpenOn(edit, D(2024, 3, 3));
  Press(VK_RIGHT);
  Press(VK_RETURN);
  EXPECT_EQ(TextOf(edit), "3/4/2024");
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(TextOf(edit), "04.03.2024");
  }
  EXPECT_EQ(TextOf(edit), "3/4/2024");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());

  // The editor's own settings: a date-time typed in the standard kind,
  // then the masked one, then the date kind.
  edit->GetProperties()->SetKind(ckDateTime);
  edit->GetProperties()->SetInputKind(ikStandard);
  Focus(edit);
  SelectAllAndType(edit, "3/4/2024 10:15 PM");
  edit->GetProperties()->SetInputKind(ikMask);
  EXPECT_EQ(TextOf(edit), "03/04/2024 10:15:00 PM");
  EXPECT_TRUE(edit->GetModifiedAfterEnter());
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(TextOf(edit), "04.03.2024 22:15:00");
    ASSERT_TRUE(edit->ValidateEdit(false));
    EXPECT_DOUBLE_EQ(edit->GetDate().Value, D(2024, 3, 4) + 22.25 / 24);
  }
}

TEST_F(DateEdit, ValuesThatAreNoDateRaiseTheConversionErrorAndTheRtlSwitchDecidesTheVariant) {
  ScopedLocale us("en-US");
  TcxDateEditProperties* p = New<TcxDateEditProperties>(nullptr);
  Variant out;
  EXPECT_THROW(p->PrepareDisplayValue(Variant(true), out, false), EConvertError);
  EXPECT_THROW(p->PrepareDisplayValue(Variant(AnsiString("nonsense")), out, false), EConvertError);
  p->PrepareDisplayValue(Variant(TDateTime(NullDate)), out, false);
  EXPECT_EQ(VarToStr(out), "");
  p->PrepareDisplayValue(Variant(TDateTime(D(2008, 2, 29) + 0.75)), out, false);
  EXPECT_EQ(VarToStr(out), "2/29/2008 6:00:00 PM");
  // The default input kinds follow the kind until set.
  EXPECT_EQ(p->GetInputKind(), ikRegExpr);
  p->SetKind(ckDateTime);
  EXPECT_EQ(p->GetInputKind(), ikMask);
  EXPECT_TRUE((p->GetDateButtons() == TDateButtons{btnClear, btnNow}));
  p->Free();

  // The typed value is a date variant, or a plain number while the
  // format controller follows the run-time library's formats.
  TcxDateEdit* edit = MakeDate();
  Show();
  Focus(edit);
  SelectAllAndType(edit, "3/1/2008");
  EXPECT_EQ(VarType(edit->GetEditingValue()), varDate);
  cxFormatController()->SetUseRtlDateTimeFormats(true);
  const Variant plain = edit->GetEditingValue();
  cxFormatController()->SetUseRtlDateTimeFormats(false);
  EXPECT_EQ(VarType(plain), varDouble);
  EXPECT_DOUBLE_EQ(plain.AsDouble(), D(2008, 3, 1));
}

}  // namespace
