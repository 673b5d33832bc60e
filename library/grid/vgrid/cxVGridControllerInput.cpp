// The vertical grid controller's keys, mouse, sizing and row dragging.
#include <algorithm>

#include "library/editors/core/cxEditErrors.h"
#include "library/foundation/cxGeometry.h"
#include "library/grid/vgrid/cxVGrid.h"
#include "library/grid/vgrid/cxVGridRowViewInfo.h"
#include "library/grid/vgrid/cxVGridScroller.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Timer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"

ORV_REGISTER(TcxvgController)

// ---------------------------------------------------------------------------
// What the input asks of the layout

namespace {

TcxvgCustomViewInfo* Layout(TcxCustomVerticalGrid* AGrid) { return AGrid->GetVGViewInfo(); }

TcxvgScroller* ScrollerOf(TcxCustomVerticalGrid* AGrid) {
  return static_cast<TcxvgController*>(AGrid->GetController())->GetScroller();
}

}  // namespace

Integer cxvgVisibleRowCount(TcxCustomVerticalGrid* AGrid) { return Layout(AGrid)->GetVisibleRowCount(); }

TcxCustomRow* cxvgVisibleRow(TcxCustomVerticalGrid* AGrid, Integer AIndex) {
  return Layout(AGrid)->GetVisibleRow(AIndex);
}

Integer cxvgVisibleIndexOf(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow) {
  if (!ARow) return -1;
  Layout(AGrid)->UpdateVisibleRows();
  return ARow->GetVisibleIndex();
}

Integer cxvgVisibleValueCount(TcxCustomVerticalGrid* AGrid) { return Layout(AGrid)->GetVisibleValueCount(); }

Integer cxvgFindNextRecord(TcxCustomVerticalGrid* AGrid, Integer AIndex, bool AForward) {
  return ScrollerOf(AGrid)->GetScrollStrategy()->FindNextRecord(AIndex, AForward);
}

Integer cxvgRowsOnPage(TcxCustomVerticalGrid* AGrid) { return ScrollerOf(AGrid)->GetVisibleRowCount(); }

Integer cxvgTopVisibleRowIndex(TcxCustomVerticalGrid* AGrid) { return ScrollerOf(AGrid)->GetTopVisibleRowIndex(); }

bool cxvgMakeRecordVisible(TcxCustomVerticalGrid* AGrid, Integer AIndex) {
  return ScrollerOf(AGrid)->SetRecordVisible(AIndex);
}

void cxvgShowSubtree(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow) { ScrollerOf(AGrid)->SetRowMaxVisible(ARow); }

TcxCustomRow* cxvgFocusableRowAt(TcxCustomVerticalGrid* AGrid, const TPoint& P) {
  for (TcxCustomRowViewInfo* rowViewInfo : Layout(AGrid)->GetRowsViewInfo()) {
    const TRect& R = rowViewInfo->RowRect;
    if (cxRectPtIn(R, P) || (P.Y >= R.Top && P.Y < R.Bottom && rowViewInfo->GetRow()->CanFocus()))
      return rowViewInfo->GetRow();
  }
  return nullptr;
}

Integer cxvgCalculatedRowHeight(TcxCustomVerticalGrid* AGrid, TcxCustomRow* ARow) {
  return ARow ? Layout(AGrid)->MeasureRowHeight(ARow) : 0;
}

TRect cxvgLayoutClientRect(TcxCustomVerticalGrid* AGrid) { return Layout(AGrid)->GetClientRect(); }

Integer cxvgMinRowHeight(TcxCustomVerticalGrid* AGrid) { return Layout(AGrid)->GetMinRowHeight(); }

void cxvgSetDividerPos(TcxCustomVerticalGrid* AGrid, Integer X) { Layout(AGrid)->SetDividerPos(X); }

void cxvgSetValueWidth(TcxCustomVerticalGrid* AGrid, Integer W) { Layout(AGrid)->SetValueWidth(W); }

TcxCustomCellNavigatorClass TcxvgController::GetNavigatorClass() { return TcxvgCellNavigator::StaticClass(); }

TcxvgHitTest* TcxvgController::GetHitTest() const { return static_cast<TcxvgHitTest*>(GetHitTestController()); }

void TcxvgController::CheckFocusedRowOnShow() {
  TcxCustomRow* focused = FFocusedRow;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (!focused || FFocusingRowAndCell || FShowingRow || FCheckingFocusedRow || grid->IsRowVisible(focused)) return;
  auto checking = orv::TempValue(FCheckingFocusedRow, true);
  if (GetIsEditing()) {
    // The row is still there: what was typed belongs to it. A change of
    // the rows must not fail for a value the editor refuses.
    bool refused = false;
    try {
      GetEditingController()->HideEdit(true);
    } catch (const EAbort&) {
      refused = true;
    } catch (const EcxEditError&) {
      refused = true;
    }
    if (refused) GetEditingController()->HideEdit(false);
  }
  if (focused != FFocusedRow) return;
  TcxCustomRow* row = focused->GetParent();
  while (row && !grid->IsRowVisible(row)) row = row->GetParent();
  SetFocusedRowAndCell(row && row->CanFocus() ? row : nullptr, 0);
}

// ---------------------------------------------------------------------------
// Keys

void TcxvgController::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomRow* row = GetFocusedRow();
  FEnterToNextCell = Key == win::VK_RETURN && GetGoToNextCellOnEnter();
  auto* multi = dynamic_cast<TcxCustomMultiEditorRow*>(row);
  FMultiEditorStepping = multi && multi->GetEditContainerCount() > 0 &&
                         (FEnterToNextCell || (Key == win::VK_TAB && GetGoToNextCellOnTab()));
  const bool canExpand =
      GetVerticalGrid()->GetOptionsView()->GetShowButtons() && row && row->GetOptions()->GetShowExpandButton();
  if (canExpand && (Key == win::VK_LEFT || Key == win::VK_RIGHT)) {
    // In a multi-editor row the arrows first move between its editors.
    bool editorAside = false;
    if (multi)
      for (Integer i = 0; i < multi->GetEditContainerCount(); ++i) {
        const bool aside = Key == win::VK_LEFT ? i < GetFocusedCellIndex() : i > GetFocusedCellIndex();
        TcxCustomInplaceEditContainer* container = multi->GetEditContainer(i);
        if (aside && container->CanFocus() && container->CanTabStop()) editorAside = true;
      }
    if (!editorAside && !CanChangeRecord()) {
      row->SetExpanded(Key == win::VK_RIGHT);
      CheckFocusedRowOnShow();
      EatKeyPress = true;
      Key = 0;
    }
  }
  inherited::KeyDown(Key, Shift);
  row = GetFocusedRow();
  const bool canStillExpand =
      GetVerticalGrid()->GetOptionsView()->GetShowButtons() && row && row->GetOptions()->GetShowExpandButton();
  switch (Key) {
    case win::VK_ADD:
    case win::VK_SUBTRACT:
      if (canStillExpand) {
        row->SetExpanded(Key == win::VK_ADD);
        CheckFocusedRowOnShow();
      }
      EatKeyPress = true;
      Key = 0;
      break;
    case win::VK_MULTIPLY:
      if (canStillExpand) row->Expand(true);
      EatKeyPress = true;
      Key = 0;
      break;
    case win::VK_INSERT:
      if (Shift.Empty() && CanInsert(true)) {
        InsertRecord();
        Key = 0;
      }
      break;
    case win::VK_DELETE:
      if ((Shift.Empty() || Shift == TShiftState{ssCtrl}) && CanDelete(true)) {
        DeleteSelection();
        Key = 0;
      }
      break;
    default:
      break;
  }
}

bool TcxvgController::IsKeyForController(Word AKey, TShiftState AShift) {
  if (inherited::IsKeyForController(AKey, AShift)) return true;
  return GetIsEditing() && AShift.Contains(ssCtrl) &&
         (AKey == win::VK_MULTIPLY || AKey == win::VK_ADD || AKey == win::VK_SUBTRACT);
}

void TcxvgController::DoNextPage(bool AForward, TShiftState Shift) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  const Integer count = cxvgVisibleRowCount(grid);
  if (count == 0) return;
  Integer index;
  if (Shift.Contains(ssCtrl)) {
    index = AForward ? count - 1 : 0;
  } else {
    const Integer focused = GetFocusedRow() ? cxvgVisibleIndexOf(grid, GetFocusedRow()) : 0;
    const Integer page = cxvgRowsOnPage(grid);
    index = std::clamp(focused + (AForward ? page : -page), 0, count - 1);
  }
  SetFocusedRow(cxvgVisibleRow(grid, index));
  MakeFocusedItemVisible();
}

// ---------------------------------------------------------------------------
// Mouse

void TcxvgController::BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::BeforeMouseDown(Button, Shift, X, Y);
  FDragRow = nullptr;
}

void TcxvgController::DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxvgHitTest* hitTest = GetHitTest();
  if (hitTest->GetHitPoint() != TPoint{X, Y}) hitTest->RecalculateOnMouseEvent(X, Y, Shift);
  if (grid->GetDragAndDropState() != ddsNone && hitTest->CanSizing()) {
    if (GetIsEditing()) GetEditingController()->HideEdit(true);
    return;
  }
  const Integer top = cxvgTopVisibleRowIndex(grid);
  inherited::DoMouseDown(Button, Shift, X, Y);
  FTopRowMovedByClick = top != cxvgTopVisibleRowIndex(grid);
  hitTest->RecalculateOnMouseEvent(X, Y, Shift);
  bool onEditPart = false;
  if (TcxEditCellViewInfo* cell = hitTest->GetEditCellViewInfo())
    onEditPart = cell->EditViewInfo && cell->EditViewInfo->IsHotTrack(TPoint(X, Y));
  FRowTracking = Button == mbLeft && grid->GetDragMode() != dmAutomatic && !FTopRowMovedByClick &&
                 !hitTest->GetState(vghc_HitAtEmpty) && !hitTest->GetState(vghc_HitAtButton) &&
                 grid->GetOptionsBehavior()->GetRowTracking() && !(hitTest->IsItemEditCell() && onEditPart);
  if (hitTest->CanMoving() && !FRowTracking && !FTopRowMovedByClick) FDragRow = hitTest->GetHitRow();
}

void TcxvgController::MouseDown(TMouseButton, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  TcxvgHitTest* hitTest = GetHitTest();
  if (hitTest->GetHitPoint() != TPoint{X, Y}) hitTest->RecalculateOnMouseEvent(X, Y, Shift);
  TcxCustomRow* row = hitTest->GetHitRow();
  if (grid->GetIsDesigning()) {
    if (TcxCustomDesignSelectionHelper* helper = GetDesignSelectionHelper())
      helper->Select(row ? static_cast<TPersistent*>(row) : grid, Shift);
  }
  bool toggle = row && row->GetOptions()->GetShowExpandButton() &&
                (hitTest->GetState(vghc_HitAtButton) ||
                 (Shift.Contains(ssDouble) && hitTest->GetState(vghc_HitAtCaption) && row->HasVisibleChildren()));
  if (FResizeKind == rkNone && row && row->CanFocus()) {
    TcxCustomInplaceEditContainer* container =
        hitTest->IsItemEditCell() ? hitTest->GetEditCellViewInfo()->GetEditContainer() : nullptr;
    if (!container || !container->CanFocus()) {
      const Integer hitCell = hitTest->GetHitCellIndex();
      const Integer cell = hitCell >= 0 ? hitCell : (row == GetFocusedRow() ? GetFocusedCellIndex() : 0);
      SetFocusedRowAndCell(row, cell);
      toggle = toggle && grid->GetRows()->IndexOf(row) >= 0;
    }
  }
  if (!toggle) return;
  row->SetExpanded(!row->GetExpanded());
  if (row->GetExpanded())
    cxvgShowSubtree(grid, row);
  else
    CheckFocusedRowOnShow();
}

void TcxvgController::FocusRowByMouse(TcxCustomRow* ARow, Integer ACellIndex) {
  StopScrollTimer();
  SetFocusedRowAndCell(ARow, ACellIndex);
}

void TcxvgController::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (!FRowTracking || grid->GetDragAndDropState() != ddsNone || grid->Dragging() || grid->IsLocked()) return;
  TcxvgHitTest* hitTest = GetHitTest();
  hitTest->RecalculateOnMouseEvent(X, Y, Shift);
  TcxCustomRow* row = hitTest->GetHitRow();
  if (row && row->CanFocus()) {
    FocusRowByMouse(row, hitTest->GetHitCellIndex());
    return;
  }
  if (!row)
    if (TcxCustomRow* found = cxvgFocusableRowAt(grid, {X, Y})) {
      FocusRowByMouse(found, 0);
      return;
    }
  const TRect client = grid->GetClientBounds();
  if (Y <= client.Top)
    FScrollDown = false;
  else if (Y >= client.Bottom)
    FScrollDown = true;
  else
    return;
  CreateScrollTimer();
}

void TcxvgController::CreateScrollTimer() {
  if (FScrollTimer) return;
  FScrollTimer = New<TTimer>(nullptr);
  FScrollTimer->SetInterval(5);
  FScrollTimer->SetOnTimer(TNotifyEvent::Bind<&TcxvgController::ScrollTimerHandler>(this));
  FScrollTimer->SetEnabled(true);
}

void TcxvgController::StopScrollTimer() {
  if (FScrollTimer) FreeAndNil(FScrollTimer);
}

void TcxvgController::ScrollTimerHandler(TObject*) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  const Integer count = cxvgVisibleRowCount(grid);
  const Integer index = GetFocusedRow() ? cxvgVisibleIndexOf(grid, GetFocusedRow()) : -1;
  const Integer next = index + (FScrollDown ? 1 : -1);
  if (next >= 0 && next < count) SetFocusedRowAndCell(cxvgVisibleRow(grid, next), GetFocusedCellIndex());
}

void TcxvgController::DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  StopScrollTimer();
  FRowTracking = false;
  inherited::DoMouseUp(Button, Shift, X, Y);
}

void TcxvgController::DoCancelMode() {
  StopScrollTimer();
  FRowTracking = false;
  inherited::DoCancelMode();
}

TCursor TcxvgController::GetCursor(Integer X, Integer Y) {
  if (GetVerticalGrid()->GetIsDesigning()) return crDefault;
  TcxvgHitTest* hitTest = GetHitTest();
  if (hitTest->GetHitPoint() != TPoint{X, Y}) hitTest->RecalculateOnMouseEvent(X, Y, TShiftState{});
  return hitTest->GetCurrentCursor();
}

// ---------------------------------------------------------------------------
// Sizing

TcxDragAndDropObjectClass TcxvgController::GetDragAndDropObjectClass() {
  FResizeKind = rkNone;
  TcxvgHitTest* hitTest = GetHitTest();
  if (!hitTest->CanSizing(FSizingDirection)) return nullptr;
  if (FSizingDirection == dsdVert)
    SetResizeKind(rkRowSizing);
  else if (hitTest->GetState(vghc_HitAtDivider))
    SetResizeKind(rkDivider);
  else
    SetResizeKind(rkBandSizing);
  DragItem = this;
  return TcxSizingDragAndDropObject::StaticClass();
}

void TcxvgController::SetResizeKind(TcxvgResizeKind Value) {
  FResizeKind = Value;
  TcxvgOptionsView* options = GetVerticalGrid()->GetOptionsView();
  switch (Value) {
    case rkRowSizing:
      FSizingRow = GetHitTest()->GetHitRow();
      FSizeAccumulator = cxvgCalculatedRowHeight(GetVerticalGrid(), FSizingRow);
      break;
    case rkDivider:
      FSizeAccumulator = options->GetRowHeaderWidth();
      break;
    case rkBandSizing:
      FSizeAccumulator = options->GetValueWidth();
      break;
    default:
      break;
  }
}

TcxDragSizingDirection TcxvgController::GetResizeDirection() {
  return FResizeKind == rkRowSizing ? dsdVert : dsdHorz;
}

bool TcxvgController::StartDragAndDrop(const TPoint& P) {
  GetHitTest()->ReCalculate(P);
  return GetHitTest()->CanSizing();
}

void TcxvgController::EndDragAndDrop(bool Accepted) {
  inherited::EndDragAndDrop(Accepted);
  FResizeKind = rkNone;
  FSizingRow = nullptr;
}

bool TcxvgController::CanSizing(TcxDragSizingDirection ADirection) {
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  GetHitTest()->ReCalculate(grid->ScreenToClient(GetMouseCursorPos()));
  TcxDragSizingDirection direction = ADirection;
  return GetHitTest()->CanSizing(direction);
}

TRect TcxvgController::GetSizingBoundsRect(TcxDragSizingDirection) {
  TRect R = cxvgLayoutClientRect(GetVerticalGrid());
  R.Bottom -= 1;
  return R;
}

void TcxvgController::SetSizeDelta(TcxDragSizingDirection, Integer ADelta) {
  FSizeAccumulator += ADelta;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  switch (FResizeKind) {
    case rkRowSizing:
      if (FSizingRow) FSizingRow->SetHeight(std::max(FSizeAccumulator, cxvgMinRowHeight(grid)));
      break;
    case rkDivider:
      cxvgSetDividerPos(grid, FSizeAccumulator);
      break;
    case rkBandSizing:
      cxvgSetValueWidth(grid, FSizeAccumulator);
      break;
    default:
      break;
  }
  grid->Modified();
}

// ---------------------------------------------------------------------------
// Row drag and drop

bool TcxvgController::CanDrag(Integer X, Integer Y) {
  TcxvgHitTest* hitTest = GetHitTest();
  hitTest->ReCalculate(TPoint{X, Y});
  if (hitTest->GetState(vghc_HitAtValue) && GetDataController()->GetEditState().Contains(dceModified)) return false;
  if (FTopRowMovedByClick) return false;
  return hitTest->CanMoving();
}

bool TcxvgController::IsInternalDragging() {
  return GetVerticalGrid()->GetDragMode() == dmAutomatic && FDragRow != nullptr;
}

void TcxvgController::StartDrag(TDragObject*& DragObject) {
  inherited::StartDrag(DragObject);
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  if (FDragAutoScroll) FDragAutoScroll->Free();
  FDragAutoScroll = New<TcxControllerAutoScrollingObject>(this);
  FDragAutoScroll->SetBoundsParams(grid->GetClientBounds(), false, true, 1);
  GetHitTest()->ReCalculate(grid->ScreenToClient(GetMouseCursorPos()));
  // A drag that starts over the customization form brings a hidden row
  // back; one that starts in the grid may hide its row there.
  TcxVerticalGridCustomizing* customizing = grid->GetCustomizing();
  const bool formVisible = customizing && customizing->GetVisible();
  FDragFromCustomizationForm = formVisible && GetHitTest()->GetState(vghc_HitAtCustomize);
  if (formVisible && FDragRow) {
    if (dynamic_cast<TcxCategoryRow*>(FDragRow))
      customizing->MakeCategorySheetVisible();
    else
      customizing->MakeRowSheetVisible();
  }
}

void TcxvgController::DragOver(TObject* Source, Integer X, Integer Y, bool& Accept) {
  inherited::DragOver(Source, X, Y, Accept);
  if (!IsInternalDragging()) return;
  TcxvgHitTest* hitTest = GetHitTest();
  hitTest->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hitTest->GetHitRow();
  Accept = hitTest->GetState(vghc_HitAtEmpty) ||
           (row && hitTest->HitAtRowHeader() && row != FDragRow && !FDragRow->IsParent(row));
}

void TcxvgController::DragDrop(TObject* Source, Integer X, Integer Y) {
  inherited::DragDrop(Source, X, Y);
  if (!IsInternalDragging()) return;
  TcxvgHitTest* hitTest = GetHitTest();
  hitTest->ReCalculate(TPoint{X, Y});
  TcxCustomRow* row = hitTest->GetHitRow();
  const bool empty = hitTest->GetState(vghc_HitAtEmpty);
  if (!row && !empty) {
    CheckMoveToCustomizationForm();
    return;
  }
  // The drop was accepted over this point; a point that moved onto the
  // row itself or below it changes nothing.
  if (row && (row == FDragRow || FDragRow->IsParent(row))) return;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  grid->BeginUpdate();
  orv::ScopeExit end([grid] { grid->EndUpdate(); });
  if (row) {
    FDragRow->SetParent(hitTest->GetState(vghc_HitAtCaption) ? row : row->GetParent());
    FDragRow->SetIndex(row->GetIndex());
  } else {
    FDragRow->SetParent(nullptr);
    FDragRow->SetIndex(grid->GetRoot()->GetCount() - 1);
  }
  FDragRow->SetVisible(true);
}

void TcxvgController::CheckMoveToCustomizationForm() {
  if (FDragFromCustomizationForm || !FDragRow) return;
  if (!GetHitTest()->GetState(vghc_HitAtCustomize) || !FDragRow->GetOptions()->GetCanMovedToCustomizationForm())
    return;
  TcxCustomVerticalGrid* grid = GetVerticalGrid();
  {
    grid->BeginUpdate();
    orv::ScopeExit end([grid] { grid->EndUpdate(); });
    // Children that may go to the form go with their parent, hidden and on
    // their own; those that may not stay in the grid a level up.
    for (Integer left = FDragRow->GetCount(); left > 0 && FDragRow->GetCount() == left; --left) {
      TcxCustomRow* child = FDragRow->GetRow(0);
      if (child->GetOptions()->GetCanMovedToCustomizationForm()) {
        child->SetVisible(false);
        child->SetParent(nullptr);
      } else {
        child->SetParent(FDragRow->GetParent());
      }
    }
    FDragRow->SetVisible(false);
    FDragRow->SetParent(nullptr);
    SetFocusedRow(nullptr);
  }
  if (TcxVerticalGridCustomizing* customizing = grid->GetCustomizing()) customizing->Modified();
}

void TcxvgController::EndDrag(TObject* Target, Integer X, Integer Y) {
  if (FDragAutoScroll) FreeAndNil(FDragAutoScroll);
  FRowTracking = false;
  inherited::EndDrag(Target, X, Y);
}
