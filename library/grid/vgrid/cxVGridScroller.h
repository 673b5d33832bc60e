// Scrolling of the vertical grid: which row on show is at the top, which
// record and which band are the first shown, how many rows fit, the two
// scroll bars and what each scroll-bar action does, and bringing rows and
// records into view. The scroller belongs to the grid's controller and
// owns one strategy per layout style.
#pragma once

#include "library/grid/vgrid/cxVGridViewInfo.h"

class TcxvgScroller;

class TcxvgCustomScrollStrategy : public TObject {
  ORV_CLASS(TcxvgCustomScrollStrategy, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxvgScroller*)>;
  explicit TcxvgCustomScrollStrategy(TcxvgScroller* AScroller);
  ~TcxvgCustomScrollStrategy() override;

  virtual bool CanContinueForward(Integer AIndex);
  virtual bool CanContinueBackward(Integer AIndex) { return AIndex > -1; }
  virtual bool CanCalcRowsOnTheNextBand(Integer, Integer) { return false; }
  virtual void CheckLeftVisibleRecord(Integer& AIndex);
  virtual Integer GetBandInterval() { return 0; }
  virtual Integer GetLeftVisibleBand() { return 0; }
  virtual Integer GetScrollBarOffsetBegin();
  virtual Integer GetScrollBarOffsetEnd();
  virtual Integer GetVisibleBandCount() { return 1; }
  // Rows from AIndex, stepping by AStep, that fit into AHeight after one
  // line; at least 1 when even the first row is taller.
  virtual Integer GetVisibleCount(Integer AIndex, Integer AHeight, Integer AStep, bool AForward);
  virtual Integer GetVisibleValueCount() { return 1; }
  virtual bool IsHideHScrollBar();
  // A grid narrower than the vertical bar (and two pixels) shows none.
  virtual bool IsHideVScrollBar();
  virtual bool IsRecordsScrollMode() { return true; }
  virtual void ScrollH(TScrollCode ACode, Integer& APos);
  virtual void ScrollV(TScrollCode ACode, Integer& APos);
  virtual void SetLeftVisibleBand(Integer) {}
  virtual void SetLeftVisibleRecord(Integer AIndex);
  virtual void CheckDecreaseLeftIndex() {}
  virtual void CheckDecreaseTopIndex(Integer AHeight);
  // AIndex clamped so that no empty space is left below the last row.
  virtual Integer CheckTopVisibleIndex(Integer AIndex, Integer AStep);
  virtual Integer GetBandIndexByRowIndex(Integer) { return 0; }
  virtual TcxCustomRow* GetFirstRowByBandIndex(Integer ABandIndex);
  virtual void InitHScrollBarParameters();
  virtual void InitVScrollBarParameters();
  virtual void RecalcBandsInfo();
  virtual void SetRowMaxVisible(TcxCustomRow* ARow);

  Integer GetVisibleCountFromTop(Integer AIndex, Integer AHeight) { return GetVisibleCount(AIndex, AHeight, 1, true); }
  Integer GetVisibleCountFromBottom(Integer AIndex, Integer AHeight) {
    return GetVisibleCount(AIndex, AHeight, -1, false);
  }
  // Rows that fit from the top visible row.
  Integer GetVisibleRowCount();
  Integer GetBandWidth();
  // The row's height with its line, and those of its descendants on show.
  Integer GetFullRowHeight(TcxCustomRow* ARow, Integer& ADescendants);
  void ScrollRecords(bool AForward);
  Integer GetScrollBarPos();
  void SetScrollBarPos(Integer APos);
  void SetTopVisibleRowIndex(Integer AIndex);
  void SetTopVisibleRowIndexAndBand(Integer AIndex) { SetTopVisibleRowIndex(AIndex); }
  Integer FindNextRecord(Integer AIndex, bool AForward);
  bool FocusNextRecord(Integer AIndex, bool AForward);
  Integer FindNextCustomItem(Integer AIndex, Integer ACount, bool AForward);

  TBandInfoList* GetBandsInfo() const { return FBandsInfo; }
  Integer GetLeftVisibleRecord() const { return FLeftVisibleRecord; }
  Integer GetTopVisibleRowIndex() const { return FTopVisibleRowIndex; }
  TcxvgScroller* GetScroller() const { return FScroller; }
  TcxvgCustomViewInfo* GetViewInfo();
  TcxCustomVerticalGrid* GetVerticalGrid();

 protected:
  // The row's height as the layout has it, measured when it is not placed.
  Integer RowHeight(TcxCustomRow* ARow);
  bool IsGridMode();
  Integer FLeftVisibleRecord = 0;
  Integer FTopVisibleRowIndex = 0;

 private:
  TBandInfoList* FBandsInfo;
  bool FCheckGuard = false;
  TcxvgScroller* FScroller;
};

using TcxvgCustomScrollStrategyClass = TClassRef<TcxvgCustomScrollStrategy>;

class TcxvgSingleRecordScrollStrategy : public TcxvgCustomScrollStrategy {
  ORV_CLASS(TcxvgSingleRecordScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  explicit TcxvgSingleRecordScrollStrategy(TcxvgScroller* AScroller) : TcxvgCustomScrollStrategy(AScroller) {}
};

class TcxvgMultiRecordsScrollStrategy : public TcxvgCustomScrollStrategy {
  ORV_CLASS(TcxvgMultiRecordsScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  explicit TcxvgMultiRecordsScrollStrategy(TcxvgScroller* AScroller) : TcxvgCustomScrollStrategy(AScroller) {}
  // Records side by side in what the header leaves.
  Integer GetVisibleValueCount() override;
  void CheckDecreaseLeftIndex() override;
};

class TcxvgBandsScrollStrategy : public TcxvgCustomScrollStrategy {
  ORV_CLASS(TcxvgBandsScrollStrategy, TcxvgCustomScrollStrategy)
 public:
  explicit TcxvgBandsScrollStrategy(TcxvgScroller* AScroller) : TcxvgCustomScrollStrategy(AScroller) {}
  // The next band starts inside the client; with auto-scaled bands, only
  // while the bands placed so far leave room for a whole one.
  bool CanCalcRowsOnTheNextBand(Integer ALeft, Integer ABandIndex) override;
  void CheckDecreaseTopIndex(Integer AHeight) override;
  Integer CheckTopVisibleIndex(Integer AIndex, Integer AStep) override;
  Integer GetBandIndexByRowIndex(Integer ARowIndex) override;
  Integer GetBandInterval() override;
  Integer GetLeftVisibleBand() override { return FLeftVisibleBand; }
  // The bands that fit whole with the gaps between them, at least one.
  Integer GetVisibleBandCount() override;
  void InitHScrollBarParameters() override;
  bool IsHideVScrollBar() override { return true; }
  bool IsRecordsScrollMode() override;
  void RecalcBandsInfo() override;
  void ScrollH(TScrollCode ACode, Integer& APos) override;
  void SetLeftVisibleBand(Integer AIndex) override;
  void SetRowMaxVisible(TcxCustomRow* ARow) override;

 private:
  Integer FLeftVisibleBand = 0;
};

class TcxvgScroller : public TObject {
  ORV_CLASS(TcxvgScroller, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxCustomVerticalGrid*)>;
  explicit TcxvgScroller(TcxCustomVerticalGrid* AVerticalGrid) : FVerticalGrid(AVerticalGrid) {}
  ~TcxvgScroller() override;

  virtual TcxvgCustomScrollStrategy* CreateScrollStrategy();
  virtual void InitScrollBarsParameters();
  // Whether the left visible record changed.
  virtual bool SetRecordVisible(Integer AIndex);
  virtual void SetRowVisible(TcxCustomRow* ARow);

  void GoToFirst();
  // The last record (searched backward from the record count).
  void GoToLast();
  void GoToNext();
  void GoToPrev();
  Integer GetBandIndexByRowIndex(Integer ARowIndex);
  void RecalcBandsInfo();
  void RecreateScrollStrategy();
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, Integer& APos);
  // As much of an expanded row's subtree as fits; a collapsed row just
  // comes into view.
  void SetRowMaxVisible(TcxCustomRow* ARow);
  void LayoutStyleChanged();
  void CheckDecreaseLeftIndex() { FCheckDecreaseLeft = true; }
  void CheckDecreaseTopIndex() { FCheckDecreaseTop = true; }
  bool GetCheckDecrease() const { return FCheckDecreaseLeft || FCheckDecreaseTop; }
  void SetCheckDecrease(bool Value) { FCheckDecreaseLeft = FCheckDecreaseTop = Value; }

  TcxvgCustomScrollStrategy* GetScrollStrategy();
  TBandInfoList* GetBandsInfo() { return GetScrollStrategy()->GetBandsInfo(); }
  Integer GetFocusedRecordIndex();
  Integer GetLeftVisibleBand() { return GetScrollStrategy()->GetLeftVisibleBand(); }
  void SetLeftVisibleBand(Integer Value) { GetScrollStrategy()->SetLeftVisibleBand(Value); }
  Integer GetLeftVisibleRecord() { return GetScrollStrategy()->GetLeftVisibleRecord(); }
  void SetLeftVisibleRecord(Integer Value);
  Integer GetTopVisibleRowIndex() { return GetScrollStrategy()->GetTopVisibleRowIndex(); }
  // Clamped first.
  void SetTopVisibleRowIndex(Integer Value);
  TcxvgCustomViewInfo* GetViewInfo();
  Integer GetVisibleCountFromBottom(Integer AIndex);
  Integer GetVisibleRowCount() { return GetScrollStrategy()->GetVisibleRowCount(); }
  Integer GetVisibleValueCount() { return GetScrollStrategy()->GetVisibleValueCount(); }
  TcxCustomVerticalGrid* GetVerticalGrid() const { return FVerticalGrid; }

 private:
  bool FCheckDecreaseLeft = false;
  bool FCheckDecreaseTop = false;
  TcxvgCustomScrollStrategy* FScrollStrategy = nullptr;
  TcxCustomVerticalGrid* FVerticalGrid;
};
