// The vertical grid's controller: the focused row with the focused cell
// inside it (a multi-editor row has several cells), on top of the control
// controller's focused item; the grid's keys (expanding and collapsing,
// paging, records), its mouse (focusing, toggling, row tracking), sizing
// of rows, headers and bands, and dragging rows within the grid.
#pragma once

#include "library/grid/container/cxInplaceContainerDragAndDrop.h"
#include "library/grid/vgrid/cxVGridControl.h"

class TcxvgHitTest;
class TcxvgScroller;
class TTimer;

ORV_ENUM(TcxvgResizeKind, rkNone, rkRowSizing, rkDivider, rkBandSizing)

class TcxvgController : public TcxCustomControlController, public IcxDragSizing {
  ORV_CLASS(TcxvgController, TcxCustomControlController)
 public:
  explicit TcxvgController(TcxEditingControl* AControl);
  ~TcxvgController() override;

  // ---- Overrides of the control controller ----
  // Drops the editor, the focused item and the focused row.
  void Clear() override;
  void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevFocusedItem) override;
  TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AEditContainer) override;
  bool GetCancelEditingOnExit() override;
  bool GetImmediateEditor() override;
  // Hiding an accepted editor posts the record.
  bool IsImmediatePost() override { return true; }
  // The focused record, then the focused row.
  void MakeFocusedItemVisible() override;
  void MakeFocusedRecordVisible() override;
  void RefreshFocusedRecord() override;
  // The scroller's bars, once the grid has its window.
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;

  // ---- Records ----
  // The single-record layout never changes the record.
  virtual bool CanChangeRecord() { return false; }

  // ---- Focus ----
  virtual void DoUpdateRowAndCell(TcxCustomRow* ARow, Integer ACellIndex);
  virtual bool GetPostDataOnChangeItem() { return true; }
  // Lays the focused row out again in place.
  virtual void RefreshFocusedRow();
  // Nothing for a row that cannot take the focus; a cell index outside
  // the row's cells, or of a cell that cannot take the focus, becomes the
  // first cell that can.
  virtual void SetFocusedRowAndCell(TcxCustomRow* ARow, Integer ACellIndex);
  virtual void UpdatePaintStyle();
  // Shows every hidden or collapsed ancestor of the row, then scrolls it
  // into view.
  virtual void MakeRowVisible(TcxCustomRow* ARow);
  // A focused row that left the rows on show (hidden, folded away, moved
  // under a folded row) hands the focus to its nearest ancestor on show,
  // or to none when that one cannot take it. What was typed into its open
  // editor reaches the row first; what the editor cannot take is dropped.
  void CheckFocusedRowOnShow();
  virtual void MakeRecordVisible(Integer AIndex);
  // The view info's cells of that record, unless the grid is locked.
  void UpdateRecord(Integer ARecordIndex) override;
  TcxvgScroller* GetScroller() const { return FScroller; }

  TcxCustomRow* GetFocusedRow() const { return FFocusedRow; }
  void SetFocusedRow(TcxCustomRow* Value) { SetFocusedRowAndCell(Value, 0); }
  Integer GetFocusedCellIndex() const { return FFocusedCellIndex; }
  void SetFocusedCellEdit(TcxCellEdit* ACellEdit);
  // Stores both without side effects.
  void InternalSetRowAndCell(TcxCustomRow* ARow, Integer ACellIndex);
  // A row on its way out: when it has the focus, the focus is dropped
  // without a word, so that nothing points at the row.
  void RowDestroying(TcxCustomRow* ARow);
  TcxCustomVerticalGrid* GetVerticalGrid() const;

  // ---- Keys ----
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Ctrl with the numeric-pad keys expands and collapses from inside an
  // open editor too.
  bool IsKeyForController(Word AKey, TShiftState AShift) override;
  void DoNextPage(bool AForward, TShiftState Shift) override;
  TcxCustomCellNavigatorClass GetNavigatorClass() override;
  // Answers of the single-record grid; the multi-records controller has
  // records to insert and delete.
  virtual bool CanDelete(bool) { return false; }
  virtual bool CanInsert(bool) { return false; }
  virtual void DeleteSelection() {}
  virtual void InsertRecord() {}
  // The current key-down steps through the editors of a multi-editor row.
  bool GetMultiEditorStepping() const { return FMultiEditorStepping; }

  // ---- Mouse ----
  void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoCancelMode() override;
  TCursor GetCursor(Integer X, Integer Y) override;
  TcxvgHitTest* GetHitTest() const;
  bool GetRowTracking() const { return FRowTracking; }
  bool GetTopRowMovedByClick() const { return FTopRowMovedByClick; }
  // The row-tracking timer runs (past the top or bottom edge).
  bool GetScrollTimerActive() const { return FScrollTimer != nullptr; }

  // ---- Sizing ----
  TcxDragAndDropObjectClass GetDragAndDropObjectClass() override;
  TcxDragSizingDirection GetResizeDirection() override;
  bool StartDragAndDrop(const TPoint& P) override;
  void EndDragAndDrop(bool Accepted) override;
  bool CanSizing(TcxDragSizingDirection ADirection) override;
  TRect GetSizingBoundsRect(TcxDragSizingDirection ADirection) override;
  Integer GetSizingIncrement(TcxDragSizingDirection) override { return 1; }
  bool IsDynamicUpdate() override { return true; }
  void SetSizeDelta(TcxDragSizingDirection ADirection, Integer ADelta) override;
  TcxvgResizeKind GetResizeKind() const { return FResizeKind; }

  // ---- Row drag and drop ----
  bool CanDrag(Integer X, Integer Y) override;
  void StartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, Integer X, Integer Y, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void EndDrag(TObject* Target, Integer X, Integer Y) override;
  bool IsInternalDragging();
  TcxCustomRow* GetDragRow() const { return FDragRow; }
  void SetDragRow(TcxCustomRow* Value) { FDragRow = Value; }
  TcxControllerAutoScrollingObject* GetDragAutoScroll() const { return FDragAutoScroll; }
  // Set while the multi-records controller moves the focus to the item it
  // searches in: the search goes on.
  bool RefreshingSearchItem = false;

 protected:
  // Moves the dragged row to the customization form when the point lies
  // over it.
  virtual void CheckMoveToCustomizationForm();

 private:
  TcxvgScroller* FScroller = nullptr;
  TcxCustomRow* FFocusedRow = nullptr;
  Integer FFocusedCellIndex = -1;
  bool FFocusingRowAndCell = false;
  // Set while the rows above a row to focus are shown, and while the focus
  // leaves a row that went off the screen.
  bool FShowingRow = false;
  bool FCheckingFocusedRow = false;
  // Input state.
  bool FEnterToNextCell = false;
  bool FMultiEditorStepping = false;
  TcxvgResizeKind FResizeKind = rkNone;
  TcxDragSizingDirection FSizingDirection = dsdHorz;
  TcxCustomRow* FSizingRow = nullptr;
  Integer FSizeAccumulator = 0;
  bool FRowTracking = false;
  bool FTopRowMovedByClick = false;
  bool FScrollDown = false;
  TTimer* FScrollTimer = nullptr;
  TcxCustomRow* FDragRow = nullptr;
  TcxControllerAutoScrollingObject* FDragAutoScroll = nullptr;
  bool FDragFromCustomizationForm = false;
  void SetResizeKind(TcxvgResizeKind Value);
  void CreateScrollTimer();
  void StopScrollTimer();
  void ScrollTimerHandler(TObject* Sender);
  void FocusRowByMouse(TcxCustomRow* ARow, Integer ACellIndex);
};

// What the grid's input asks of the layout: the rows on show by their
// visible index, paging, the records, the geometry sizing works on.
Integer cxvgVisibleRowCount(TcxCustomVerticalGrid* AGrid);
TcxCustomRow* cxvgVisibleRow(TcxCustomVerticalGrid* AGrid, Integer AIndex);
Integer cxvgVisibleIndexOf(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow);
Integer cxvgVisibleValueCount(TcxCustomVerticalGrid* AGrid);
// The record after (or before) AIndex, -1 for none.
Integer cxvgFindNextRecord(TcxCustomVerticalGrid* AGrid, Integer AIndex, bool AForward);
// The rows that fit from the top row on.
Integer cxvgRowsOnPage(TcxCustomVerticalGrid* AGrid);
Integer cxvgTopVisibleRowIndex(TcxCustomVerticalGrid* AGrid);
// Scrolls the record into view; answers whether anything scrolled.
bool cxvgMakeRecordVisible(TcxCustomVerticalGrid* AGrid, Integer AIndex);
// Scrolls as much of an expanded row's subtree into view as fits.
void cxvgShowSubtree(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow);
// The placed row at P (or across P's line) that can take the focus.
TcxCustomRow* cxvgFocusableRowAt(TcxCustomVerticalGrid* AGrid, const TPoint& P);
Integer cxvgCalculatedRowHeight(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow);
TRect cxvgLayoutClientRect(TcxCustomVerticalGrid* AGrid);
Integer cxvgMinRowHeight(TcxCustomVerticalGrid* AGrid);
void cxvgSetDividerPos(TcxCustomVerticalGrid* AGrid, Integer X);
void cxvgSetValueWidth(TcxCustomVerticalGrid* AGrid, Integer W);
