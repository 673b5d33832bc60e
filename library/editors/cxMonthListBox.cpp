#include "library/editors/cxMonthListBox.h"

#include "library/foundation/cxGeometry.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Focus.h"
#include "platform/win/Paint.h"

#include <cstdlib>

#include "library/editors/core/cxDateUtils.h"
#include "library/editors/cxCalendar.h"
#include "platform/rtl/FormatSettings.h"

ORV_REGISTER(TMonthListBox)

namespace {

// The scroll interval of each distance band, in item heights away.
constexpr Cardinal kBandIntervals[] = {500, 250, 100, 50};
constexpr unsigned kSaveBits = 0x800;

}  // namespace

TMonthListBox::TMonthListBox(TcxCustomCalendar* ACalendar) : TcxCustomPopupWindow(ACalendar), FCalendar(ACalendar) {
  // The calendar sets its year-mode switch only after making the list, so
  // the list starts with click events whatever the mode; Click acts in the
  // twelve-month mode only.
  TControlStyle style = GetControlStyle();
  style += TControlStyle{csCaptureMouse, csOpaque, csClickEvents};
  SetControlStyle(style);
  SetBorderStyle(pbsFlat);
  SetCaptureFocus(false);
  SetIsTopMost(true);
  SetSizeToControls(false);
  FTimer = New<TcxTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(200);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TMonthListBox::DoTimer>(this));
}

TMonthListBox::~TMonthListBox() { FreeAndNil(FTimer); }

void TMonthListBox::CreateParams(TCreateParams& Params) {
  TcxCustomPopupWindow::CreateParams(Params);
  Params.WindowClass.style |= kSaveBits;
}

bool TMonthListBox::IsYearMode() const {
  // During construction the calendar's switches still hold their starting
  // values, which make the test fail.
  return FCalendar && FCalendar->GetMonthListBox() == this &&
         (!FCalendar->GetArrowsForYear() || FCalendar->GetYearsInMonthList());
}

void TMonthListBox::GetRowDate(Integer ARow, Word& AYear, Word& AMonth) const {
  AYear = FYear;
  AMonth = FMonth;
  ChangeMonth(AYear, AMonth, FTopIndex + ARow);
}

bool TMonthListBox::IsRowInRange(Integer ARow) const {
  Word year, month;
  GetRowDate(ARow, year, month);
  return year >= MinYear && year <= MaxYear;
}

TRect TMonthListBox::RowRect(Integer ARow) {
  return TRect(1, 1 + ARow * FItemHeight, GetClientWidth() - 1, 1 + (ARow + 1) * FItemHeight);
}

TPoint TMonthListBox::CalculatePosition() { return FPopupPosition; }

void TMonthListBox::Popup() {
  const bool yearMode = IsYearMode();
  FRowCount = yearMode ? 7 : 12;
  GetFont()->Assign(FCalendar->GetFont());
  FItemHeight = FCalendar->GetHeaderHeight() - 2;
  const Integer width = 6 * FCalendar->GetColWidth() + 2;
  const Integer height = FRowCount * FItemHeight + 2;
  Word day;
  DecodeDate(FCalendar->GetFirstDate(), FYear, FMonth, day);
  FTopIndex = yearMode ? -3 : 1 - FMonth;
  const TRect caption = FCalendar->GetMonthCaptionRect();
  const TPoint topLeft = FCalendar->ClientToScreen(TPoint(caption.Left, caption.Top));
  const TPoint bottomRight = FCalendar->ClientToScreen(TPoint(caption.Right, caption.Bottom));
  FPopupPosition = TPoint(topLeft.X + (bottomRight.X - topLeft.X - width) / 2,
                          (topLeft.Y + bottomRight.Y) / 2 - height / 2);
  FItemIndex = -1;
  SetBounds(FPopupPosition.X, FPopupPosition.Y, width, height);
  TcxCustomPopupWindow::Popup(nullptr);
}

void TMonthListBox::DoShowed() {
  TcxCustomPopupWindow::DoShowed();
  // In year mode the button is still down from the caption click: the list
  // takes the drag over.
  SetMouseCapture(IsYearMode());
}

void TMonthListBox::CloseUp() {
  const bool wasVisible = IsVisible();
  SetMouseCapture(false);
  TcxCustomPopupWindow::CloseUp();
  StopScrolling();
  if (wasVisible && IsYearMode() && FItemIndex >= 0) {
    Word year, month;
    GetRowDate(FItemIndex, year, month);
    FCalendar->SetFirstDate(SafeEncodeDate(year, month, 1));
  }
}

void TMonthListBox::StopScrolling() {
  if (FTimer) FTimer->SetEnabled(false);
}

void TMonthListBox::SetItemIndex(Integer Value) {
  if (Value >= 0 && !IsRowInRange(Value)) Value = -1;
  if (FItemIndex == Value) return;
  if (HandleAllocated()) {
    const TRect was = RowRect(FItemIndex), now = RowRect(Value);
    if (FItemIndex >= 0) win::InvalidateRect(GetHandle(), &was, false);
    if (Value >= 0) win::InvalidateRect(GetHandle(), &now, false);
  }
  FItemIndex = Value;
}

void TMonthListBox::SetTopIndex(Integer Value) {
  if (FTopIndex == Value) return;
  FTopIndex = Value;
  Invalidate();
}

void TMonthListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseDown(Button, Shift, X, Y);
  MouseMove(Shift, X, Y);
}

void TMonthListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseMove(Shift, X, Y);
  if (FItemHeight <= 0) return;
  const TRect client = GetClientRect();
  if (cxRectPtIn(client, TPoint(X, Y))) {
    StopScrolling();
    const Integer row = Y / FItemHeight;
    SetItemIndex(row < FRowCount ? row : -1);
    return;
  }
  SetItemIndex(-1);
  if (Y >= 0 && Y < client.Bottom) {
    StopScrolling();
    return;
  }
  if (!IsYearMode()) return;
  const Integer distance = Y < 0 ? Y : Y + 1 - client.Bottom;
  FScrollDirection = distance < 0 ? -1 : 1;
  const Integer band = std::min(std::abs(distance) / FItemHeight, 3);
  if (FTimer->GetInterval() != kBandIntervals[band]) FTimer->SetInterval(kBandIntervals[band]);
  FTimer->SetEnabled(true);
}

void TMonthListBox::DoTimer(TObject*) {
  Word year, month;
  if (FScrollDirection < 0) {
    GetRowDate(-1, year, month);
    if (year < MinYear) return;
  } else {
    GetRowDate(FRowCount, year, month);
    if (year > MaxYear) return;
  }
  SetTopIndex(FTopIndex + FScrollDirection);
}

void TMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  if (IsYearMode()) CloseUp();
}

void TMonthListBox::Click() {
  TcxCustomPopupWindow::Click();
  if (IsYearMode()) return;
  const Integer item = FItemIndex;
  CloseUp();
  if (item >= 0) FCalendar->SetFirstDate(SafeEncodeDate(FYear, item + 1, 1));
}

void TMonthListBox::Paint() {
  TcxCanvas* canvas = GetcxCanvas();
  const TRect client = GetClientRect();
  canvas->FrameRect(client, clBlack);
  canvas->GetFont()->Assign(GetFont());
  const TColor color = FCalendar->GetColor();
  for (Integer row = 0; row < FRowCount; ++row) {
    const bool selected = row == FItemIndex;
    const TRect r = RowRect(row);
    canvas->GetBrush()->SetColor(selected ? clWindowText : color);
    canvas->FillRect(r);
    if (!IsRowInRange(row)) continue;
    Word year, month;
    GetRowDate(row, year, month);
    AnsiString text = FormatSettings().LongMonthNames[month - 1];
    if (IsYearMode()) text += " " + IntToStr(year);
    canvas->GetFont()->SetColor(selected ? color : clWindowText);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->DrawTexT(text, r, cxAlignCenter | cxSingleLine);
    canvas->GetBrush()->SetStyle(bsSolid);
  }
}
