// Cell-to-cell movement in the vertical grid. The navigator's rows are the
// rows on show (their visible indexes); within a row, cell c of record r is
// r x N + k, N being the row's edit container count and k the container.
// Arrows, Tab and Enter move by rows through the rows that can take the
// focus; a category row, which has no cells, takes the focus with cell -1.
#pragma once

#include "library/grid/vgrid/cxVGridController.h"

class TcxvgCellNavigator : public TcxCustomCellNavigator {
  ORV_CLASS(TcxvgCellNavigator, TcxCustomCellNavigator)
 public:
  explicit TcxvgCellNavigator(TcxCustomControlController* AController);

  void CalcNextRow(bool AForward, Integer& ARowIndex, Integer& ACellIndex) override;
  // Null outside the rows on show, for a row without cells, for a negative
  // cell and past the row's last cell.
  TcxCustomInplaceEditContainer* GetCellContainer(Integer ARowIndex, Integer ACellIndex) override;
  Integer GetCount(Integer ARowIndex) override;
  void Init(Integer& ARowIndex, Integer& ACellIndex, Integer& ARowCount) override;
  bool MayFocusedEmptyRow(Integer) override { return true; }
  void SetFocusCell(Integer ARowIndex, Integer ACellIndex, TShiftState AShift) override;
  // Left of a record's first cell lies the record before it.
  void CheckSelectedCell(Integer ARowIndex, Integer& ACellIndex) override;

  TcxCustomRow* GetRow(Integer AIndex);
  Integer GetContainerCount(Integer ARowIndex);
  Integer GetRecordCount();
  Integer GetValueCount();
  bool FindNextRecord(bool AForward);
  TcxvgController* Controller() const { return static_cast<TcxvgController*>(GetController()); }

 private:
  // A container of the row that the navigator may land on.
  static bool CanFocusContainer(TcxCustomRow* ARow, Integer AIndex);
};
