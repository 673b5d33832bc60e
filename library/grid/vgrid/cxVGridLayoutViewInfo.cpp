#include "library/grid/vgrid/cxVGridLayoutViewInfo.h"

#include <algorithm>
#include <cmath>

#include "library/foundation/cxGeometry.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "library/grid/vgrid/cxVGridRowViewInfo.h"
#include "library/grid/vgrid/cxVGridScroller.h"

ORV_REGISTER(TcxBandsViewInfo)
ORV_REGISTER(TcxMultiRecordViewInfo)

// ---------------------------------------------------------------------------
// Bands

void TcxBandsViewInfo::CalcLayoutGeneral() {
  FAutoScaleBands = GetVerticalGrid()->GetOptionsView()->GetAutoScaleBands();
  inherited::CalcLayoutGeneral();
}

Integer TcxBandsViewInfo::GetMinViewBandWidth() {
  return GetViewMinHeaderWidth() + GetVerticalGrid()->GetOptionsView()->GetValueMinWidth();
}

Integer TcxBandsViewInfo::GetViewBandWidth() {
  if (FAutoScaleBands) return std::max(ViewBandWidth, GetMinViewBandWidth());
  return ViewHeaderWidth + GetDividerWidth() + ViewValueWidth + 2;
}

Integer TcxBandsViewInfo::GetViewValueWidth() { return GetVerticalGrid()->GetOptionsView()->GetValueWidth(); }

void TcxBandsViewInfo::CalcBandWidth() {
  ViewHeaderWidth = GetViewHeaderWidth();
  if (!FAutoScaleBands) {
    ViewValueWidth = GetViewValueWidth();
    ViewBandWidth = GetViewBandWidth();
    return;
  }
  if (IsInitializing) return;
  const Integer W = GetViewBandWidth();
  const double ratio = GetShowHeaders() && W >= 1
                           ? static_cast<double>(std::max(W, GetVerticalGrid()->GetOptionsView()->GetValueMinWidth())) /
                                 std::max(ViewHeaderWidth, 1)
                           : 1.0;
  TcxvgScroller* scroller = GetScroller();
  const Integer N = scroller ? scroller->GetBandsInfo()->GetCount() : 1;
  const Integer gaps = N >= 2 ? (N - 1) * GetBandsInterval() : 0;
  ViewBandWidth = std::max({GetMinViewBandWidth(), (cxRectWidth(Bounds) - gaps) / std::max(N, 1), GetMinBandWidth()});
  if (GetShowHeaders() && !FInDividerSet && W > ViewHeaderWidth && W != ViewBandWidth)
    SetDividerPos(static_cast<Integer>(std::lround(ViewBandWidth / ratio)));
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = ViewBandWidth - ViewHeaderWidth - GetDividerWidth() - 2 * GetVertLineWidth();
}

void TcxBandsViewInfo::CalcBandRects() {
  FEmptyBands.clear();
  TcxvgScroller* scroller = GetScroller();
  TBandInfoList* bands = scroller->GetBandsInfo();
  // Only the bands that begin inside the client are placed: the others are
  // off screen, and the positions of thousands of them pass the range of
  // Integer.
  Integer X = Bounds.Left;
  for (Integer i = scroller->GetLeftVisibleBand(); i < bands->GetCount() && X <= Bounds.Right; ++i) {
    CreateBand(bands->GetItem(i).BandHeight, 40);
    X += ViewBandWidth + GetBandsInterval();
  }
  UpdateBandsWidth();
}

void TcxBandsViewInfo::CreateBand(Integer AHeight, Integer AWidth) {
  TcxRectList* bands = GetViewRects()->GetBandRects();
  const Integer X = bands->GetCount() > 0 ? bands->GetRect(bands->GetCount() - 1).Right : Bounds.Left;
  const TRect band = cxRectBounds(X, Bounds.Top, AWidth, std::min(AHeight, cxRectHeight(Bounds)));
  bands->Add(band);
  if (band.Bottom < Bounds.Bottom) {
    GetViewRects()->GetEmptyRects()->Add(TRect(band.Left, band.Bottom, band.Right, Bounds.Bottom));
    FEmptyBands.push_back(bands->GetCount() - 1);
  }
}

void TcxBandsViewInfo::UpdateBandsWidth() {
  TcxRectList* bands = GetViewRects()->GetBandRects();
  Integer X = Bounds.Left;
  for (Integer i = 0; i < bands->GetCount(); ++i) {
    TRect band = bands->GetRect(i);
    band.Left = X;
    band.Right = X + ViewBandWidth;
    X += ViewBandWidth + GetBandsInterval();
    if (FAutoScaleBands && i == bands->GetCount() - 1) band.Right = Bounds.Right;
    bands->SetRect(i, band);
  }
  TcxRectList* empty = GetViewRects()->GetEmptyRects();
  for (std::size_t i = 0; i < FEmptyBands.size() && static_cast<Integer>(i) < empty->GetCount(); ++i) {
    TRect R = empty->GetRect(static_cast<Integer>(i));
    const TRect band = bands->GetRect(FEmptyBands[i]);
    R.Left = band.Left;
    R.Right = band.Right;
    empty->SetRect(static_cast<Integer>(i), R);
  }
}

void TcxBandsViewInfo::AddEmptyRects() {
  TcxRectList* bands = GetViewRects()->GetBandRects();
  TcxRectList* empty = GetViewRects()->GetEmptyRects();
  if (bands->GetCount() == 0) return;
  if (GetBandsInterval() > 0)
    for (Integer i = 0; i + 1 < bands->GetCount(); ++i) {
      const TRect band = bands->GetRect(i);
      empty->Add(cxRectBounds(band.Right, band.Top, GetBandsInterval(), cxRectHeight(Bounds)));
    }
  const TRect last = bands->GetRect(bands->GetCount() - 1);
  if (last.Right < Bounds.Right) empty->Add(TRect(last.Right, Bounds.Top, Bounds.Right, Bounds.Bottom));
}

bool TcxBandsViewInfo::CanAddRowToBand(const TRect& ARowRect, const TRect& ABandRect, Integer APositionInBand) {
  return !(ARowRect.Bottom > ABandRect.Bottom && APositionInBand > 0);
}

bool TcxBandsViewInfo::GetRowAutoHeight(TcxCustomRow* ARow) {
  const bool autoHeight = GetVerticalGrid()->GetOptionsView()->GetCellAutoHeight() && !FAutoScaleBands;
  return autoHeight && (!ARow || ARow->GetOptions()->GetCanAutoHeight());
}

TRect TcxBandsViewInfo::GetBandSizeableRect(const TRect& ABandRect) {
  return FAutoScaleBands ? cxNullRect : inherited::GetBandSizeableRect(ABandRect);
}

void TcxBandsViewInfo::LayoutStyleChanged() {
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  if (options->GetAutoScaleBands()) {
    ViewHeaderWidth = std::max(options->GetRowHeaderWidth(), GetViewMinHeaderWidth());
    SetDividerPos(ViewHeaderWidth);
    ViewBandWidth = GetMinViewBandWidth();
  }
  inherited::LayoutStyleChanged();
}

void TcxBandsViewInfo::SetDividerPos(Integer X) {
  FInDividerSet = true;
  struct Clear {
    bool& Flag;
    ~Clear() { Flag = false; }
  } clear{FInDividerSet};
  if (FAutoScaleBands)
    inherited::SetDividerPos(X);
  else
    GetVerticalGrid()->GetOptionsView()->SetRowHeaderWidth(std::min(X, GetClientRect().Right - 4));
}

// ---------------------------------------------------------------------------
// Several records side by side

// The records side by side are the data's rows: those a filter leaves.
Integer TcxMultiRecordViewInfo::GetRecordCount() { return GetVerticalGrid()->GetDataController()->GetRowCount(); }

Integer TcxMultiRecordViewInfo::GetFirstRecordWidth() const {
  return 2 * GetVertLineWidth() + ViewHeaderWidth + GetDividerWidth() + ViewValueWidth;
}

Integer TcxMultiRecordViewInfo::RecordStep() const {
  const Integer V = GetVertLineWidth();
  return ViewValueWidth + (FRecordsInterval == 0 ? V : 2 * V + FRecordsInterval);
}

void TcxMultiRecordViewInfo::CalcLayoutGeneral() {
  auto* options = dynamic_cast<TcxvgMultiRecordsOptionsView*>(GetVerticalGrid()->GetOptionsView());
  FRecordsInterval = options ? options->GetRecordsInterval() : 0;
  inherited::CalcLayoutGeneral();
}

void TcxMultiRecordViewInfo::CalcBandWidth() {
  ViewHeaderWidth = GetViewHeaderWidth();
  ViewValueWidth = GetVerticalGrid()->GetOptionsView()->GetValueWidth();
  // The band reaches no further than the client; the width of every
  // record right of the first is summed wide, as many records of wide
  // values pass the range of Integer long before that.
  Int64 W = GetFirstRecordWidth();
  const Integer records = GetRecordCount();
  TcxvgScroller* scroller = GetScroller();
  const Integer left = scroller ? scroller->GetLeftVisibleRecord() : 0;
  if (records > 1) W += Int64{RecordStep()} * std::max(0, records - left - 1);
  ViewBandWidth = static_cast<Integer>(std::min<Int64>(W, cxRectWidth(Bounds)));
}

TRect TcxMultiRecordViewInfo::GetValueRect(Integer AValueIndex, TcxCustomRowViewInfo* ARowViewInfo) {
  const TRect& row = ARowViewInfo->RowRect;
  return cxRectBounds(row.Left + ViewHeaderWidth + GetDividerWidth() + AValueIndex * RecordStep(), row.Top,
                      ViewValueWidth, cxRectHeight(row));
}

Integer TcxMultiRecordViewInfo::GetDefaultGridModeBufferCount() {
  const Integer W = cxRectWidth(Bounds) - ViewHeaderWidth - GetDividerWidth() - GetVertLineWidth();
  if (W < 1) return 1;
  const Integer step = std::max(1, ViewValueWidth + FRecordsInterval);
  return (W + step - 1) / step;
}

Integer TcxMultiRecordViewInfo::CalcVisibleValueCount() {
  if (cxRectIsEmpty(Bounds)) return 0;
  TcxvgScroller* scroller = GetScroller();
  const Integer left = scroller ? scroller->GetLeftVisibleRecord() : 0;
  return std::max(1, std::min(GetDefaultGridModeBufferCount(), GetRecordCount() - left));
}

Integer TcxMultiRecordViewInfo::GetVisibleValueCount() {
  if (FVisibleValueCount < 0) FVisibleValueCount = CalcVisibleValueCount();
  return FVisibleValueCount;
}

void TcxMultiRecordViewInfo::Reset() {
  inherited::Reset();
  FVisibleValueCount = -1;
}

// Clear runs between the band width and the lines: the first record's
// width it just measured must survive it, or the record frames are laid
// from the band's left edge.
void TcxMultiRecordViewInfo::Clear() {
  inherited::Clear();
  FVisibleValueCount = -1;
}

Integer TcxMultiRecordViewInfo::GetRowHeight(TcxCustomRowViewInfo* ARowViewInfo, Integer) {
  TcxCustomRow* row = ARowViewInfo->GetRow();
  Integer H = std::max(row->GetRealHeight(), GetMinRowHeight());
  if (GetRowAutoHeight(row) && row->GetHeight() < 0) {
    const Integer first = GetFirstVisibleRecordIndex();
    for (Integer i = 0; i < GetVisibleValueCount(); ++i)
      H = std::max(H, ARowViewInfo->GetValueHeight(first + i, ViewValueWidth, this));
  }
  return H;
}

void TcxMultiRecordViewInfo::AddRightValueSide(const TRect& R, bool ALast) {
  const Integer V = GetVertLineWidth();
  if (V <= 0) return;
  if (ALast || FRecordsInterval >= 1)
    GetLinesInfo()->Add(R.Right, R.Top, V, cxRectHeight(R) + GetHorzLineWidth(), GetBandBorderColor());
  else
    GetLinesInfo()->Add(R.Right, R.Top, V, cxRectHeight(R) + GetHorzLineWidth(), GetVertLineBrush());
}

void TcxMultiRecordViewInfo::AddEmptyRects() {
  TcxRectList* bands = GetViewRects()->GetBandRects();
  if (bands->GetCount() == 0) return;
  const TRect band = bands->GetRect(0);
  if (band.Right < Bounds.Right)
    GetViewRects()->GetEmptyRects()->Add(TRect(band.Right, Bounds.Top, Bounds.Right, Bounds.Bottom));
}

TRect TcxMultiRecordViewInfo::GetBandSizeableRect(const TRect& ABandRect) {
  const Integer X = ABandRect.Left + ViewHeaderWidth + GetDividerWidth() + ViewValueWidth + GetVertLineWidth();
  return TRect(X - 1, Bounds.Top, X + 2, Bounds.Bottom);
}

void TcxMultiRecordViewInfo::SetDividerPos(Integer X) {
  GetVerticalGrid()->GetOptionsView()->SetRowHeaderWidth(std::min(X, GetClientRect().Right - 4));
}

void TcxMultiRecordViewInfo::UpdateRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  for (TcxCustomRowViewInfo* rowViewInfo : std::vector<TcxCustomRowViewInfo*>(GetRowsViewInfo()))
    rowViewInfo->UpdateRecord(ARecordIndex);
}

// With a records interval each record column is framed on its own: the
// rows between two categories form a run, and beside every run the gap
// between two columns is background with the columns' borders on either
// side.
void TcxMultiRecordViewInfo::AddBandRowsLines(const TRect& R) {
  if (FRecordsInterval == 0) {
    inherited::AddBandRowsLines(R);
    return;
  }
  const Integer V = GetVertLineWidth(), HL = GetHorzLineWidth();
  const TColor border = GetBandBorderColor();
  const Integer columns = GetVisibleValueCount();
  TLineInfoList* lines = GetLinesInfo();
  TcxRectList* empty = GetViewRects()->GetEmptyRects();
  Integer Y = R.Top, runHeight = 0;
  auto closeRun = [&](bool AFinal) {
    Integer X = R.Left + GetFirstRecordWidth();
    for (Integer column = 1; column < columns; ++column) {
      if (!AFinal) lines->Add(X, Y + runHeight, FRecordsInterval, HL, border);
      const Integer height = runHeight + (AFinal ? HL : 0);
      if (height > 0) empty->Add(cxRectBounds(X, Y, FRecordsInterval, height));
      if (V > 0) lines->Add(X + FRecordsInterval, Y, V, runHeight + HL, border);
      X += ViewValueWidth + FRecordsInterval + 2 * V;
    }
  };
  for (TcxCustomRowViewInfo* rowViewInfo : GetRowsViewInfo()) {
    if (!cxRectIntersect(rowViewInfo->RowRect, R)) continue;
    if (dynamic_cast<TcxCategoryRow*>(rowViewInfo->GetRow())) {
      closeRun(false);
      Y = rowViewInfo->RowRect.Bottom;
      runHeight = 0;
    } else {
      runHeight += rowViewInfo->CalculatedHeight + HL;
    }
  }
  closeRun(true);
  if (V > 0) lines->Add(R.Left, R.Top - HL, V, cxRectHeight(R), border);
  if (HL > 0) {
    Integer X = R.Left;
    for (Integer column = 0; column < columns && X < R.Right; ++column) {
      const Integer width = std::min(column == 0 ? GetFirstRecordWidth() : 2 * V + ViewValueWidth, R.Right - X);
      lines->Add(X, R.Top, width, HL, border);
      lines->Add(X, R.Bottom - HL, width, HL, border);
      X += width + FRecordsInterval;
    }
  }
}
