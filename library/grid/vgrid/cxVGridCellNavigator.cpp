#include "library/grid/vgrid/cxVGridCellNavigator.h"

#include <algorithm>

#include "library/grid/vgrid/cxVGrid.h"

ORV_REGISTER(TcxvgCellNavigator)

namespace {

TcxCustomVerticalGrid* GridOf(TcxCustomControlController* AController) {
  return static_cast<TcxCustomVerticalGrid*>(AController->GetEditingControl());
}

}  // namespace

TcxvgCellNavigator::TcxvgCellNavigator(TcxCustomControlController* AController)
    : TcxCustomCellNavigator(AController) {
  DownOnEnter = true;
  DownOnTab = true;
}

TcxCustomRow* TcxvgCellNavigator::GetRow(Integer AIndex) { return cxvgVisibleRow(GridOf(GetController()), AIndex); }

Integer TcxvgCellNavigator::GetContainerCount(Integer ARowIndex) {
  TcxCustomRow* row = GetRow(ARowIndex);
  return row ? row->GetEditContainerCount() : 0;
}

Integer TcxvgCellNavigator::GetRecordCount() { return GetController()->GetEditingControl()->GetDataController()->GetRowCount(); }

Integer TcxvgCellNavigator::GetValueCount() { return std::max(1, cxvgVisibleValueCount(GridOf(GetController()))); }

Integer TcxvgCellNavigator::GetCount(Integer ARowIndex) { return GetContainerCount(ARowIndex) * GetRecordCount(); }

bool TcxvgCellNavigator::CanFocusContainer(TcxCustomRow* ARow, Integer AIndex) {
  TcxCustomInplaceEditContainer* container = ARow->GetEditContainer(AIndex);
  if (!container || !container->CanFocus()) return false;
  auto* options = dynamic_cast<TcxMultiEditorRowPropertiesOptions*>(container->GetOptions());
  return !options || options->GetTabStop();
}

void TcxvgCellNavigator::Init(Integer& ARowIndex, Integer& ACellIndex, Integer& ARowCount) {
  TcxvgController* controller = Controller();
  ARowCount = cxvgVisibleRowCount(GridOf(controller));
  const Integer record = std::max(0, controller->GetFocusedRecordIndex());
  TcxCustomRow* focused = controller->GetFocusedRow();
  ARowIndex = focused ? cxvgVisibleIndexOf(GridOf(controller), focused) : -1;
  const Integer cell = controller->GetFocusedCellIndex();
  ACellIndex = cell >= 0 ? std::max(1, GetContainerCount(ARowIndex)) * record + cell : -1;
}

TcxCustomInplaceEditContainer* TcxvgCellNavigator::GetCellContainer(Integer ARowIndex, Integer ACellIndex) {
  TcxCustomRow* row = GetRow(ARowIndex);
  if (!row || ACellIndex < 0) return nullptr;
  const Integer count = row->GetEditContainerCount();
  // Past the last cell there is none: a row whose cells cannot take the
  // focus must end the search for one, not wrap into it again.
  if (count == 0 || ACellIndex >= count * GetRecordCount()) return nullptr;
  return row->GetEditContainer(ACellIndex % count);
}

void TcxvgCellNavigator::CalcNextRow(bool AForward, Integer& ARowIndex, Integer& ACellIndex) {
  TcxvgController* controller = Controller();
  const Integer record = controller->GetFocusedRecordIndex();
  // Enter and Tab step through a multi-editor row's editors first.
  if (controller->GetMultiEditorStepping() && ACellIndex >= 0)
    if (TcxCustomRow* row = GetRow(ARowIndex)) {
      const Integer count = row->GetEditContainerCount();
      if (count > 0)
        for (Integer k = ACellIndex % count + (AForward ? 1 : -1); k >= 0 && k < count; k += AForward ? 1 : -1)
          if (CanFocusContainer(row, k)) {
            ACellIndex = k + count * std::max(record, 0);
            return;
          }
    }
  const Integer rowCount = cxvgVisibleRowCount(GridOf(controller));
  Integer index = ARowIndex;
  TcxCustomRow* next = nullptr;
  while (true) {
    index += AForward ? 1 : -1;
    if (index < 0 || index >= rowCount) return;
    TcxCustomRow* row = GetRow(index);
    if (row && row->CanFocus() && row->GetOptions()->GetTabStop()) {
      next = row;
      break;
    }
  }
  ARowIndex = index;
  const Integer count = next->GetEditContainerCount();
  if (count == 0 || record < 0) return;
  const Integer first = record * count;
  Integer k = 0, step = 1;
  if (count > 1 && !controller->GetMultiEditorStepping() && !AForward) {
    k = count - 1;
    step = -1;
  }
  for (; k >= 0 && k < count; k += step)
    if (CanFocusContainer(next, k)) {
      ACellIndex = first + k;
      return;
    }
  ACellIndex = first;
}

void TcxvgCellNavigator::CheckSelectedCell(Integer ARowIndex, Integer& ACellIndex) {
  if (ACellIndex < 0 && ARowIndex >= 0 && GetContainerCount(ARowIndex) > 0 && FindNextRecord(false))
    ACellIndex = GetContainerCount(ARowIndex) - 1;
}

void TcxvgCellNavigator::SetFocusCell(Integer ARowIndex, Integer ACellIndex, TShiftState) {
  TcxvgController* controller = Controller();
  TcxCustomRow* row = GetRow(ARowIndex);
  if (!row) return;
  const Integer count = row->GetEditContainerCount();
  if (row != controller->GetFocusedRow()) {
    TcxCustomDataController* data = controller->GetEditingControl()->GetDataController();
    if (controller->GetFocusedRecordIndex() < 0 && data->GetRowCount() > 0) controller->SetFocusedRecordIndex(0);
    controller->SetFocusedRowAndCell(row, count > 0 ? ACellIndex % count : ACellIndex);
    return;
  }
  const Integer record = ACellIndex / std::max(count, 1);
  const Integer k = count > 0 ? ACellIndex % count : 0;
  const Integer focusedRecord = controller->GetFocusedRecordIndex();
  if (focusedRecord == -1 || focusedRecord == record) {
    controller->SetFocusedRowAndCell(row, k);
    return;
  }
  const bool forward = record > focusedRecord;
  if (!FindNextRecord(forward)) return;
  for (Integer i = k; i >= 0 && i < count; i += forward ? 1 : -1)
    if (row->GetEditContainer(i)->CanFocus()) {
      controller->SetFocusedRecordItem(record, row->GetEditContainer(i));
      return;
    }
}

bool TcxvgCellNavigator::FindNextRecord(bool AForward) {
  return cxvgFindNextRecord(GridOf(GetController()), GetController()->GetFocusedRecordIndex(), AForward) != -1;
}
