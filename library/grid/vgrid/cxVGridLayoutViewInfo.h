// The layouts beside the single-record one: bands (the rows wrap into
// side-by-side bands, each a header and one value column, optionally
// scaled to fill the client) and several records side by side in one band,
// joined by a line or framed apart by a gap.
#pragma once

#include <vector>

#include "library/grid/vgrid/cxVGridViewInfo.h"

class TcxBandsViewInfo : public TcxvgCustomViewInfo {
  ORV_CLASS(TcxBandsViewInfo, TcxvgCustomViewInfo)
 public:
  explicit TcxBandsViewInfo(TcxEditingControl* AControl) : TcxvgCustomViewInfo(AControl) {}
  void AddEmptyRects() override;
  void CalcBandRects() override;
  void CalcBandWidth() override;
  void CalcLayoutGeneral() override;
  // A band takes at least one row; rows that do not fit go to the next.
  bool CanAddRowToBand(const TRect& ARowRect, const TRect& ABandRect, Integer APositionInBand) override;
  void CreateBand(Integer AHeight, Integer AWidth) override;
  // Scaled bands cannot be sized.
  TRect GetBandSizeableRect(const TRect& ABandRect) override;
  bool GetRowAutoHeight(TcxCustomRow* ARow) override;
  Integer GetViewBandWidth() override;
  Integer GetViewValueWidth() override;
  Integer GetVisibleValueCount() override { return 1; }
  void LayoutStyleChanged() override;
  void SetDividerPos(Integer X) override;
  virtual Integer GetMinViewBandWidth();
  // Each band at X, the next at X + width + interval; scaled, the last
  // band reaches the right edge.
  virtual void UpdateBandsWidth();

 private:
  bool FAutoScaleBands = false;
  bool FInDividerSet = false;
  // The band each empty rectangle below a band belongs to.
  std::vector<Integer> FEmptyBands;
};

class TcxMultiRecordViewInfo : public TcxvgCustomViewInfo {
  ORV_CLASS(TcxMultiRecordViewInfo, TcxvgCustomViewInfo)
 public:
  explicit TcxMultiRecordViewInfo(TcxEditingControl* AControl) : TcxvgCustomViewInfo(AControl) {}
  void AddBandRowsLines(const TRect& ABandRect) override;
  void AddEmptyRects() override;
  void AddRightValueSide(const TRect& R, bool ALast) override;
  void CalcBandWidth() override;
  void CalcLayoutGeneral() override;
  void Clear() override;
  TRect GetBandSizeableRect(const TRect& ABandRect) override;
  Integer GetRowHeight(TcxCustomRowViewInfo* ARowViewInfo, Integer ABandWidth) override;
  Integer GetVisibleValueCount() override;
  void Reset() override;
  void SetDividerPos(Integer X) override;
  Integer GetDefaultGridModeBufferCount() override;
  TRect GetValueRect(Integer AValueIndex, TcxCustomRowViewInfo* ARowViewInfo) override;
  void UpdateRecord(Integer ARecordIndex) override;
  virtual Integer CalcVisibleValueCount();
  Integer GetRecordCount();
  // The first record column with the headers before it; computed from the
  // widths in force, so that a pass that does not measure the band again
  // (a partial layout after a focus move) frames the columns where they are.
  Integer GetFirstRecordWidth() const;
  Integer GetRecordsInterval() const { return FRecordsInterval; }

 private:
  // From one record column to the next.
  Integer RecordStep() const;
  Integer FRecordsInterval = 0;
  Integer FVisibleValueCount = -1;
};
