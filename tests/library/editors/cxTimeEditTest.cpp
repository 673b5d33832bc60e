// The time editor as a real child window driven by injected input: digits
// typed zone by zone, the suffix typed by its first differing letter, the
// zone under the caret stepped by keys and buttons, Circular at the end of
// the day, the masks following the locale, and the value keeping the date
// that stands behind the time.
#include <gtest/gtest.h>

#include "ConcreteEditorSession.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxFormats.h"
#include "library/editors/cxTimeEdit.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Mouse.h"

using namespace win;

namespace {

class TimeEdit : public edit_test::ConcreteEditorTest {
 protected:
  TcxTimeEdit* MakeTime(bool A24Hours = true) {
    auto* edit = Make<TcxTimeEdit>({10, 10, 160, 31});
    edit->GetProperties()->SetUse24HourFormat(A24Hours);
    return edit;
  }
  static std::string TextOf(TcxTimeEdit* edit) { return edit->GetText(); }
  // Caret at a 0-based place, then the key.
  static void StepAt(TcxTimeEdit* edit, Integer APos, BYTE AKey) {
    edit->SetSelection(APos, 0);
    Press(AKey);
  }
  static void ClickButton(TcxTimeEdit* edit, TcxSpinEditButton AButton) {
    const TRect r = edit->GetViewInfo()->ButtonInfos[AButton]->Bounds;
    test::Click(edit->GetHandle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Pump();
  }
  static TDateTime At(Word H, Word M, Word S) { return EncodeTime(H, M, S, 0); }
};

TEST_F(TimeEdit, DigitsAreTypedZoneByZoneAndALoneDigitStandsBehindAZero) {
  TcxTimeEdit* edit = MakeTime();
  Show();
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "00:00:00");
  edit->SetSelection(0, 0);
  // 7 cannot begin an hour: it is the second digit, and the caret goes on
  // to the minutes.
  Type("7");
  EXPECT_EQ(TextOf(edit), "07:00:00");
  Type("2");
  Type("5");
  // 2 then 5 at the minutes: 25 is a minute, so both digits stand.
  EXPECT_EQ(TextOf(edit), "07:25:00");
  // A second digit making 60 or more stands alone behind a 0.
  edit->SetSelection(6, 0);
  Type("5");
  Type("9");
  EXPECT_EQ(TextOf(edit), "07:25:59");
  edit->SetSelection(0, 0);
  Type("2");
  Type("9");
  EXPECT_EQ(TextOf(edit), "09:25:59");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetTime().Value, At(9, 25, 59).Value);
}

TEST_F(TimeEdit, TheZoneUnderTheCaretStepsAndTheDayEndsAsCircularSays) {
  TcxTimeEdit* edit = MakeTime();
  edit->GetProperties()->GetSpinButtons()->SetShowFastButtons(true);
  edit->SetTime(At(23, 30, 0));
  Show();
  Focus(edit);
  // Hours: 23:30 + 1 h would leave the day, so nothing happens.
  StepAt(edit, 0, VK_UP);
  EXPECT_EQ(TextOf(edit), "23:30:00");
  edit->GetProperties()->SetCircular(true);
  StepAt(edit, 1, VK_UP);
  EXPECT_EQ(TextOf(edit), "00:30:00");
  // A caret on the colon steps the minutes after it.
  StepAt(edit, 2, VK_DOWN);
  EXPECT_EQ(TextOf(edit), "00:29:00");
  EXPECT_EQ(edit->GetEditingPlace(), tzMin);
  // The fast buttons step ten minutes in the minute zone, an hour in the
  // hour zone.
  edit->SetSelection(4, 0);
  ClickButton(edit, sebFastForward);
  EXPECT_EQ(TextOf(edit), "00:39:00");
  edit->SetSelection(0, 0);
  ClickButton(edit, sebFastForward);
  EXPECT_EQ(TextOf(edit), "01:39:00");
  // Seconds by the plain buttons.
  edit->SetSelection(7, 0);
  ClickButton(edit, sebBackward);
  EXPECT_EQ(TextOf(edit), "01:38:59");

  // 23:59:30: one minute on leaves the day; without Circular it stays.
  edit->GetProperties()->SetCircular(false);
  edit->SetTime(At(23, 59, 30));
  Focus(edit);
  StepAt(edit, 4, VK_UP);
  EXPECT_EQ(TextOf(edit), "23:59:30");
}

TEST_F(TimeEdit, TwelveHourMasksFollowTheLocaleAndTheSuffixIsTypedByItsDifferingLetter) {
  ScopedLocale us("en-US");
  TcxTimeEdit* edit = MakeTime(false);
  edit->SetTime(At(13, 5, 0));
  Show();
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "01:05:00 PM");
  // The suffix part of the mask is built from the locale's texts.
  EXPECT_EQ(edit->GetProperties()->GetEditMask(), "00:00:00 cc;1;0");
  // 'A' is where AM and PM differ: the whole suffix flips.
  edit->SetSelection(9, 0);
  Type("a");
  EXPECT_EQ(TextOf(edit), "01:05:00 AM");
  // The suffix step toggles across noon and selects the suffix.
  StepAt(edit, 10, VK_UP);
  EXPECT_EQ(TextOf(edit), "01:05:00 PM");
  EXPECT_EQ(edit->GetSelStart(), 9);
  EXPECT_EQ(edit->GetSelLength(), 2);
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetTime().Value, At(13, 5, 0).Value);
  // In 12 hours a first digit above 1 stands behind a 0.
  edit->SetSelection(0, 0);
  Type("3");
  EXPECT_EQ(TextOf(edit), "03:05:00 PM");
  ASSERT_TRUE(edit->ValidateEdit(false));
  auto* sink = Make<TcxTimeEdit>({10, 50, 160, 71});
  sink->SetFocus();
  Pump();

  // A three-letter afternoon text gives three optional mask characters.
  {
    Locale dotted = Locale::Builtin("en-US");
    dotted.AMString = "a.m";
    dotted.PMString = "p.m";
    ScopedLocale three(dotted);
    EXPECT_EQ(edit->GetProperties()->GetEditMask(), "00:00:00 ccc;1;0");
  }
  // de-DE has no morning and afternoon texts: the 12-hour setting works as
  // 24 hours (otherwise 01:00 and 13:00 would read alike) and is kept.
  ScopedLocale de("de-DE");
  EXPECT_EQ(edit->GetProperties()->GetEditMask(), "00:00:00;1;0");
  EXPECT_FALSE(edit->GetProperties()->GetUse24HourFormat());
  EXPECT_EQ(TextOf(edit), "15:05:00");
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "15:05:00");
  edit->SetSelection(0, 0);
  Type("1");
  Type("3");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetTime().Value, At(13, 5, 0).Value);
}

TEST_F(TimeEdit, AFormatChangingUnderAnEditedTextKeepsTheTimeItShowed) {
  // The user steps 13:05:00 to 13:05:40 and, before leaving, the locale
  // loses its afternoon text (so 12 hours end), or the editor's own
  // setting switches: the text is the same time in the new format, and
  // that time is what the editor posts, the date behind it kept.
  ScopedLocale us("en-US");
  TcxTimeEdit* edit = MakeTime(false);
  auto* other = Make<TcxTimeEdit>({10, 50, 160, 71});
  edit->SetEditValue(Variant(TDateTime(45000 + At(13, 5, 0).Value)));
  Show();
  Focus(edit);
  edit->SetSelection(6, 0);
  Type("4");
  EXPECT_EQ(TextOf(edit), "01:05:40 PM");
  {
    ScopedLocale de("de-DE");
    EXPECT_EQ(TextOf(edit), "13:05:40");
    EXPECT_EQ(edit->GetValue().AsDouble(), 47140);
    other->SetFocus();
    Pump();
    EXPECT_DOUBLE_EQ(edit->GetEditValue().AsDouble(), 45000 + At(13, 5, 40).Value);
  }

  // 24 hours to 12 under an edited 13:46:30: not "13:46:30" with a blank
  // suffix, which reads as no time.
  edit->GetProperties()->SetUse24HourFormat(true);
  Focus(edit);
  edit->SetSelection(4, 0);
  Press(VK_UP);
  EXPECT_EQ(TextOf(edit), "13:06:40");
  edit->GetProperties()->SetUse24HourFormat(false);
  EXPECT_EQ(TextOf(edit), "01:06:40 PM");
  edit->GetProperties()->SetTimeFormat(tfHourMin);
  EXPECT_EQ(TextOf(edit), "01:06 PM");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(edit->GetEditValue().AsDouble(), 45000 + At(13, 6, 0).Value);
}

TEST_F(TimeEdit, TheValueInSecondsIsTheTimeTheTextShows) {
  // A time from data may carry a fraction of a second; the text shows its
  // whole seconds, and so does the value in seconds, with the focus or
  // without it, never past the day's last second.
  auto* other = Make<TcxTimeEdit>({10, 50, 160, 71});
  TcxTimeEdit* edit = MakeTime();
  Show();
  struct Case {
    double Time;
    const char* Text;
    double Seconds;
  };
  for (const Case& c : {Case{(43200 + 0.6) / 86400, "12:00:00", 43200}, Case{(86399 + 0.6) / 86400, "23:59:59", 86399},
                        Case{At(10, 30, 15).Value, "10:30:15", 37815}}) {
    edit->SetEditValue(Variant(TDateTime(c.Time)));
    Focus(other);
    EXPECT_EQ(TextOf(edit), c.Text);
    EXPECT_EQ(edit->GetValue().AsDouble(), c.Seconds) << c.Text;
    Focus(edit);
    EXPECT_EQ(edit->GetValue().AsDouble(), c.Seconds) << c.Text << " focused";
  }
}

TEST_F(TimeEdit, TheDateBehindTheTimeIsKeptAndUnreadableTextIsReportedNotThrown) {
  TcxTimeEdit* edit = MakeTime();
  auto* other = Make<TcxTimeEdit>({10, 50, 160, 71});
  // A date before day 0 keeps its time subtracted.
  edit->SetEditValue(Variant(TDateTime(-2.25)));
  Show();
  Focus(edit);
  EXPECT_EQ(TextOf(edit), "06:00:00");
  edit->SetSelection(0, 0);
  Type("1");
  Type("8");
  other->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit->GetEditValue().AsDouble(), -2.75);
  EXPECT_DOUBLE_EQ(edit->GetDatePart().Value, -2);

  // Text from code or a paste that is not a time: invalid, no exception,
  // and the editor's own message at validation.
  TcxTimeEditProperties* p = edit->GetProperties();
  Variant text(AnsiString("quarter past"));
  EXPECT_FALSE(p->IsDisplayValueValid(text, true));
  Variant display(AnsiString("quarter past"));
  AnsiString error;
  bool failed = false;
  p->ValidateDisplayValue(display, error, failed, edit);
  EXPECT_TRUE(failed);
  EXPECT_EQ(error, "Could not convert to time");
  // A value that is no time at all raises the conversion error while its
  // text is prepared.
  Variant out;
  EXPECT_THROW(p->PrepareDisplayValue(Variant(true), out, false), EConvertError);
  // Null: midnight focused, nothing unfocused.
  p->PrepareDisplayValue(Null(), out, true);
  EXPECT_EQ(VarToStr(out), "00:00:00");
  p->PrepareDisplayValue(Null(), out, false);
  EXPECT_EQ(VarToStr(out), "");
}

// A date and time that arrives as text, its date written with two-digit
// parts ("01/02/2020"), begins like the twelve-hour editor's own text but
// is none: the editor shows its time and, when that is edited, keeps its
// date.
TEST_F(TimeEdit, ADateAndTimeTextThatBeginsLikeTheEditorsOwnIsReadWhole) {
  ScopedLocale us("en-US");
  TcxTimeEdit* edit = MakeTime(false);
  auto* other = Make<TcxTimeEdit>({10, 50, 160, 71});
  edit->SetEditValue(Variant(AnsiString("01/02/2020 10:00:00 PM")));
  Show();
  Focus(other);
  EXPECT_EQ(TextOf(edit), "10:00:00 PM");
  Focus(edit);
  edit->SetSelection(0, 0);
  Type("11");
  other->SetFocus();
  Pump();
  EXPECT_DOUBLE_EQ(edit->GetEditValue().AsDouble(), EncodeDate(2020, 1, 2).Value + At(23, 0, 0).Value);
}

}  // namespace
