// The month calendar: a header with arrows and the month and year
// captions, a row of one-letter day names, six weeks of days, an optional
// column of week numbers and a strip of push buttons. In its date-time
// kind it adds a line with the full date and time, an analog clock and a
// time editor. The popup calendar is the same control inside the date
// editor's drop-down; it tells that editor when a date is confirmed and
// why the popup should close.
//
// The null date (no selection) paints today's cell as selected; no date
// outside the range the calendar can show is ever formatted or decoded.
#pragma once

#include "library/editors/core/cxDateUtils.h"
#include "library/editors/core/cxEditProperties.h"
#include "library/editors/cxTimeEdit.h"
#include "library/foundation/cxButtons.h"
#include "library/foundation/cxControls.h"

class TcxClock;
class TcxCustomDateEdit;
class TMonthListBox;

ORV_ENUM(TCalendarButton, btnClear, btnNow, btnToday, btnOk)
using TDateButtons = Set<TCalendarButton>;
ORV_ENUM(TcxCalendarKind, ckDate, ckDateTime)
ORV_ENUM(TcxCalendarHotTrackRegion, chrNone, chrMonth, chrYear)
ORV_ENUM(TcxCalendarArrow, caPrevMonth, caNextMonth, caPrevYear, caNextYear)

using TcxCalendarHidePopupEvent = Event<void(TObject* Sender, TcxEditCloseUpReason AReason)>;

// A date of Y-M-D, or InvalidDate when the year lies outside
// MinYear..MaxYear or the month or day does not exist.
inline constexpr double InvalidDate = -699999.0;
TDateTime SafeEncodeDate(Integer AYear, Integer AMonth, Integer ADay);
// The null date and every date from cxMinDateTime to cxMaxDateTime.
bool IsCalendarDateValid(TDateTime ADate);
// 1 for dates from day 0 on, else -1: a time is subtracted before day 0.
Integer DateSign(TDateTime ADate);

class TcxCustomCalendar : public TcxControl, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomCalendar, TcxControl)
 public:
  explicit TcxCustomCalendar(TComponent* AOwner);
  ~TcxCustomCalendar() override;

  // ---- Introduced, in this order ----
  virtual void Calculate();
  virtual void CheckHotTrack();
  virtual Integer GetButtonsRegionOffset();
  virtual TDateTime GetLastDate();
  virtual TPoint GetMonthCalendarOffset();
  virtual TDateTime GetRealFirstDate();
  virtual TDateTime GetRealLastDate();
  virtual TSize GetSize();
  virtual void HidePopup(TObject* Sender, TcxEditCloseUpReason AReason);
  virtual TDateTime PosToDateTime(TPoint P);
  virtual void SetFirstDate(TDateTime Value);
  virtual void SetSelectDate(TDateTime Value);

  // The bounds from GetSize and the children placed; the metrics must
  // have been calculated.
  void SetSize();
  void StepToFuture();
  void StepToPast();
  void DoStep(TcxCalendarArrow AArrow);
  // The date of a cell of the 6 x 7 grid.
  TDateTime GetDateFromCell(Integer ACol, Integer ARow);

  bool GetArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(bool Value);
  TDateButtons GetCalendarButtons() const { return FCalendarButtons; }
  void SetCalendarButtons(TDateButtons Value);
  bool GetFlat() const { return FFlat; }
  void SetFlat(bool Value);
  TcxCalendarKind GetKind() const { return FKind; }
  void SetKind(TcxCalendarKind Value);
  bool GetWeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool Value);
  bool GetYearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(bool Value) { FYearsInMonthList = Value; }
  TcxTimeEditTimeFormat GetTimeFormat() const;
  void SetTimeFormat(TcxTimeEditTimeFormat Value);
  bool GetUse24HourFormat() const;
  void SetUse24HourFormat(bool Value);
  TDateTime GetFirstDate() const { return FFirstDate; }
  // The date as it was set, with its time. The date-time header, OK and
  // Today take its day only and put the clock's time on it.
  TDateTime GetSelectDate() const { return FSelectDate; }
  TcxCalendarHotTrackRegion GetHotTrackRegion() const { return FHotTrackRegion; }

  // ---- Parts, for the month list, the date editor and tests ----
  TcxButton* GetButton(TCalendarButton AButton) const { return FButtons[AButton]; }
  TcxClock* GetClock() const { return FClock; }
  TcxTimeEdit* GetTimeEdit() const { return FTimeEdit; }
  TMonthListBox* GetMonthListBox() const { return FMonthListBox; }
  TcxTimer* GetArrowTimer() const { return FTimer; }
  TcxCustomLookAndFeelPainterClass GetPainter() const;
  Integer GetColWidth() const { return FColWidth; }
  Integer GetRowHeight() const { return FRowHeight; }
  Integer GetHeaderHeight() const { return FHeaderHeight; }
  Integer GetDayNamesHeight() const { return FDayNamesHeight; }
  Integer GetSideWidth() const { return FSideWidth; }
  Integer GetWeekNumberWidth() const { return FWeekNumberWidth; }
  Integer GetButtonHeight() const { return FButtonHeight; }
  Integer GetButtonWidth() const { return FButtonWidth; }
  Integer GetButtonsRegionHeight() const { return FButtonsRegionHeight; }
  Integer GetCalendarWidth() const { return FCalendarWidth; }
  Integer GetClockSize() const { return FClockSize; }
  const TRect& GetArrowRect(TcxCalendarArrow AArrow) const { return FArrowRects[AArrow]; }
  Integer GetArrowCount() const { return FArrowCount; }
  const TRect& GetDaysRect() const { return FDaysRect; }
  const TRect& GetHeaderRect() const { return FHeaderRect; }
  const TRect& GetMonthCaptionRect() const { return FMonthCaptionRect; }
  const TRect& GetYearCaptionRect() const { return FYearCaptionRect; }
  const TRect& GetDateTimeHeaderRect() const { return FDateTimeHeaderRect; }
  // The 6 x 7 day grid in client coordinates.
  TRect GetDayGridRect() const;
  // The text of the date-time header; empty for the null date.
  AnsiString GetDateTimeHeaderText() const;

  TNotifyEvent OnDateTimeChanged;

  // ---- IcxMouseTrackingCaller ----
  void MouseTrackingMouseLeave() override;

 protected:
  bool CanResize(Integer& NewWidth, Integer& NewHeight) override;
  void Paint() override;
  bool HasBackground() override;
  void InitControl() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void MouseEnter(TControl* AControl) override;
  void MouseLeave(TControl* AControl) override;
  void FontChanged() override;
  void WMCaptureChanged(TMessage& Message);
  ORV_MESSAGE(win::WM_CAPTURECHANGED, WMCaptureChanged)

  void DoDateTimeChanged();
  void InternalSetSelectDate(TDateTime Value, bool AFollowMonth);
  void SetHotTrackRegion(TcxCalendarHotTrackRegion Value);
  // The month caption with the text's vertical correction.
  TRect CorrectHeaderTextRect(TRect R) const;
  bool IsOffice11() const;
  bool IsThemed() const;
  bool HasButtonsRegion() const;

 private:
  void CreateButtons();
  void ButtonClick(TObject* Sender);
  void TimeChanged(TObject* Sender);
  void DoScrollArrow(TObject* Sender);
  void CalculateViewInfo();
  void AdjustChildren();
  Integer TimeEditWidth();
  TColor HeaderColor() const;

  void PaintDateTimeHeader(TcxCanvas* ACanvas);
  void PaintHeader(TcxCanvas* ACanvas);
  void PaintDays(TcxCanvas* ACanvas);

  bool FArrowsForYear = true;
  TDateButtons FCalendarButtons{btnClear, btnToday};
  TcxButton* FButtons[4] = {};
  TcxClock* FClock = nullptr;
  TcxTimeEdit* FTimeEdit = nullptr;
  TDateTime FFirstDate = 0;
  TDateTime FSelectDate = 0;
  bool FFlat = true;
  TcxCalendarHotTrackRegion FHotTrackRegion = chrNone;
  TcxCalendarKind FKind = ckDate;
  TMonthListBox* FMonthListBox = nullptr;
  TCursor FSavedCursor = crDefault;
  TcxTimer* FTimer = nullptr;
  // The mouse was let go, or taken away, while an arrow repeated.
  bool FArrowReleased = false;
  bool FWeekNumbers = false;
  bool FYearsInMonthList = true;

  Integer FColWidth = 0;
  Integer FRowHeight = 0;
  Integer FHeaderHeight = 0;
  Integer FDayNamesHeight = 0;
  Integer FSideWidth = 0;
  Integer FWeekNumberWidth = 0;
  Integer FButtonHeight = 0;
  Integer FButtonWidth = 0;
  Integer FButtonsRegionHeight = 0;
  Integer FCalendarWidth = 0;
  Integer FClockSize = 0;
  Integer FButtonsRegionMargin = 0;

  TRect FArrowRects[4] = {};
  Integer FArrowCount = 1;
  TRect FDaysRect{};
  TRect FHeaderRect{};
  TRect FMonthCaptionRect{};
  TRect FYearCaptionRect{};
  TRect FDateTimeHeaderRect{};
};

class TcxCalendar : public TcxCustomCalendar {
  ORV_CLASS(TcxCalendar, TcxCustomCalendar)
 public:
  explicit TcxCalendar(TComponent* AOwner) : TcxCustomCalendar(AOwner) {}
};

// The calendar of the date editor's drop-down.
class TcxPopupCalendar : public TcxCustomCalendar {
  ORV_CLASS(TcxPopupCalendar, TcxCustomCalendar)
 public:
  explicit TcxPopupCalendar(TComponent* AOwner) : TcxCustomCalendar(AOwner) {}

  void CheckHotTrack() override;
  void HidePopup(TObject* Sender, TcxEditCloseUpReason AReason) override;
  // The keys of the calendar, then the popup's own; public so that the
  // popup window can hand its keys on.
  void KeyDown(Word& Key, TShiftState Shift) override;

  TcxCustomDateEdit* GetEdit() const { return FEdit; }
  void SetEdit(TcxCustomDateEdit* Value) { FEdit = Value; }

  TcxCalendarHidePopupEvent OnHidePopup;

 protected:
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

 private:
  TcxCustomDateEdit* FEdit = nullptr;
};
