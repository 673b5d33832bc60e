// The vertical grid's controller: the focused row with the focused cell
// inside it (a multi-editor row has several cells), on top of the control
// controller's focused item. The grid's keys, mouse, sizing, row tracking
// and row dragging build on this focus.
#pragma once

#include "library/grid/cxVGridControl.h"

class TcxvgScroller;

class TcxvgController : public TcxCustomControlController {
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

 private:
  TcxvgScroller* FScroller = nullptr;
  TcxCustomRow* FFocusedRow = nullptr;
  Integer FFocusedCellIndex = -1;
  bool FFocusingRowAndCell = false;
};
