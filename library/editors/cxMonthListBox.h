// The pick list that pops up over the calendar's month caption. In year
// mode it shows seven months around the shown one (the shown month in the
// middle) and scrolls while the mouse is dragged above or below it, the
// faster the farther away; releasing the mouse picks the month under it.
// Otherwise it lists the twelve months of the shown year and a click
// picks one.
#pragma once

#include "library/foundation/cxPopupWindow.h"

class TcxCustomCalendar;
class TcxTimer;

class TMonthListBox : public TcxCustomPopupWindow {
  ORV_CLASS(TMonthListBox, TcxCustomPopupWindow)
 public:
  explicit TMonthListBox(TcxCustomCalendar* ACalendar);
  ~TMonthListBox() override;

  TPoint CalculatePosition() override;
  using TcxCustomPopupWindow::Popup;
  void Popup() override;
  void CloseUp() override;

  // Year mode: the calendar has no year arrows or wants years in the list.
  bool IsYearMode() const;
  void StopScrolling();
  TcxTimer* GetTimer() const { return FTimer; }
  Integer GetItemHeight() const { return FItemHeight; }
  Integer GetTopIndex() const { return FTopIndex; }
  Integer GetItemIndex() const { return FItemIndex; }
  Integer GetRowCount() const { return FRowCount; }
  // The year and month row ARow shows.
  void GetRowDate(Integer ARow, Word& AYear, Word& AMonth) const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DoShowed() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Click() override;
  void Paint() override;

 private:
  void DoTimer(TObject* Sender);
  bool IsRowInRange(Integer ARow) const;
  void SetItemIndex(Integer Value);
  void SetTopIndex(Integer Value);
  TRect RowRect(Integer ARow);

  TcxCustomCalendar* FCalendar;
  Word FYear = 0;
  Word FMonth = 0;
  TPoint FPopupPosition{};
  Integer FItemHeight = 0;
  Integer FTopIndex = 0;
  Integer FItemIndex = -1;
  Integer FRowCount = 12;
  TcxTimer* FTimer = nullptr;
  Integer FScrollDirection = 1;
};
