#include "library/grid/container/cxInplaceContainerController.h"

#include "library/data/cxCustomDataSearch.h"
#include "library/grid/container/cxInplaceContainer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"

ORV_REGISTER(TcxCustomHitTestController)
ORV_REGISTER(TcxCustomCellNavigator)
ORV_REGISTER(TcxCustomControlController)

namespace {

bool IsPlainOrShift(TShiftState AShift) { return AShift.Empty() || AShift == TShiftState{ssShift}; }

}  // namespace

// ---------------------------------------------------------------------------
// Hit test

TcxEditingControl* TcxCustomHitTestController::GetControl() const { return FOwner->GetEditingControl(); }

bool TcxCustomHitTestController::AllowDesignMouseEvents(Integer X, Integer Y, TShiftState AShift) {
  RecalculateOnMouseEvent(X, Y, AShift);
  return false;
}

void TcxCustomHitTestController::ReCalculate() { ReCalculate(FHitPoint); }

void TcxCustomHitTestController::ReCalculate(const TPoint& P) {
  ClearState();
  TcxEditingControl* control = GetControl();
  if (control->IsLocked()) return;
  FHitPoint = P;
  TcxCustomControlViewInfo* viewInfo = control->GetViewInfo();
  if (viewInfo->GetState(cvis_IsDirty)) viewInfo->Calculate();
  DoCalculate();
}

void TcxCustomHitTestController::DoCalculate() {
  for (TcxEditCellViewInfo* cell : GetControl()->GetViewInfo()->GetEditCellViewInfoList())
    if (cxPtInViewInfoItem(cell, FHitPoint)) {
      SetHitTestItem(cell);
      return;
    }
  SetHitTestItem(nullptr);
}

void TcxCustomHitTestController::RecalculateOnMouseEvent(Integer X, Integer Y, TShiftState AShift) {
  FShift = AShift;
  SetHasCode(MouseEventCode, true);
  orv::ScopeExit clear([this] { SetHasCode(MouseEventCode, false); });
  ReCalculate(TPoint(X, Y));
}

void TcxCustomHitTestController::SetCoordinate(Integer AIndex, Integer Value) {
  TPoint p = FHitPoint;
  (AIndex == 0 ? p.X : p.Y) = Value;
  ReCalculate(p);
}

void TcxCustomHitTestController::SetHitTestItem(TObject* AItem) {
  TObject* previous = FHitTestItem;
  FHitTestItem = AItem;
  if (IsMouseEvent()) {
    TcxHotTrackController* hotTrack = FOwner->GetHotTrackController();
    hotTrack->ShowHint = GetControl()->GetOptions()->GetOptionsBehavior()->GetCellHints();
    hotTrack->SetHotElement(AItem, FHitPoint);
  }
  if (AItem != previous) HitTestItemChanged(previous);
}

bool TcxCustomHitTestController::IsItemEditCell() const {
  return dynamic_cast<TcxEditCellViewInfo*>(FHitTestItem) != nullptr;
}

TcxEditCellViewInfo* TcxCustomHitTestController::GetEditCellViewInfo() const {
  return dynamic_cast<TcxEditCellViewInfo*>(FHitTestItem);
}

void TcxCustomHitTestController::SetHasCode(std::uint64_t ACode, bool AValue) {
  const std::uint64_t previous = FHitCode;
  const bool had = GetHasCode(ACode);
  if (AValue)
    FHitCode |= ACode;
  else
    FHitCode &= ~ACode;
  if (had != GetHasCode(ACode)) HitCodeChanged(previous);
}

void TcxCustomHitTestController::ClearState() { FHitCode &= MouseEventCode; }

void TcxCustomHitTestController::DestroyingItem(TObject* AItem) {
  if (AItem == FHitTestItem) {
    FHitTestItem = nullptr;
    ClearState();
  }
  // The hot-track controller may hold the element from an earlier test.
  TcxHotTrackController* hotTrack = FOwner->GetHotTrackController();
  if (hotTrack && (hotTrack->GetHotElement() == AItem || hotTrack->GetHintElement() == AItem))
    hotTrack->CheckDestroyingElement(AItem);
}

// ---------------------------------------------------------------------------
// Cell navigator

void TcxCustomCellNavigator::CalcNextRow(bool, Integer&, Integer&) { cxAbstractError(); }
TcxCustomInplaceEditContainer* TcxCustomCellNavigator::GetCellContainer(Integer, Integer) { cxAbstractError(); }
Integer TcxCustomCellNavigator::GetCount(Integer) { cxAbstractError(); }
void TcxCustomCellNavigator::Init(Integer&, Integer&, Integer&) { cxAbstractError(); }
void TcxCustomCellNavigator::SetFocusCell(Integer, Integer, TShiftState) { cxAbstractError(); }

TcxCustomInplaceEditContainer* TcxCustomCellNavigator::SelectCell(bool AForward, bool AByRows, Integer& ARowIndex,
                                                                  Integer& ACellIndex) {
  const Integer startCell = ACellIndex;
  const Integer step = AForward ? 1 : -1;
  while (true) {
    TcxCustomInplaceEditContainer* item = GetCellContainer(ARowIndex, ACellIndex);
    while (item && !(item->CanFocus() && item->CanTabStop())) {
      ACellIndex += step;
      item = GetCellContainer(ARowIndex, ACellIndex);
    }
    if (item) return item;
    ACellIndex = startCell;
    const Integer row = ARowIndex;
    if (FController->GetFocusCellOnCycle() && !AByRows) CalcNextRow(AForward, ARowIndex, ACellIndex);
    if (ARowIndex == row) return nullptr;
    if (GetCount(ARowIndex) == 0 && MayFocusedEmptyRow(ARowIndex)) return nullptr;
    ACellIndex = AForward ? 0 : GetCount(ARowIndex) - 1;
  }
}

void TcxCustomCellNavigator::FocusNextCell(bool AForward, bool AByRows, TShiftState AShift) {
  Integer row = -1, cell = -1, count = 0;
  Init(row, cell, count);
  FRowCount = count;
  Integer r = row, k = cell;
  if (AByRows)
    CalcNextRow(AForward, r, k);
  else
    k = AForward ? cell + 1 : cell - 1;
  SelectCell(AForward, AByRows, r, k);
  CheckSelectedCell(r, k);
  const Integer cells = GetCount(r);
  const bool valid = (k >= 0 && k < cells) || (cells == 0 && MayFocusedEmptyRow(r));
  if (!valid) {
    r = row;
    k = cell;
  }
  if (r != row || k != cell) SetFocusCell(r, k, AShift);
}

void TcxCustomCellNavigator::KeyDown(Word& Key, TShiftState AShift) {
  switch (Key) {
    case win::VK_UP:
    case win::VK_DOWN:
      FocusNextCell(Key == win::VK_DOWN, true, AShift);
      Key = 0;
      break;
    case win::VK_LEFT:
    case win::VK_RIGHT:
      FocusNextCell(Key == win::VK_RIGHT, false, AShift);
      Key = 0;
      break;
    case win::VK_TAB:
      FocusNextCell(!AShift.Contains(ssShift), DownOnTab, AShift);
      Key = 0;
      break;
    case win::VK_RETURN:
    case win::VK_F2:
      if (AShift.Empty())
        if (TcxCustomInplaceEditContainer* item = FController->GetFocusedItem()) {
          item->SetEditing(true);
          if (item->GetEditing()) Key = 0;
        }
      break;
    default:
      break;
  }
}

void TcxCustomCellNavigator::KeyPress(char& Key) {
  const auto code = static_cast<unsigned char>(Key);
  if (code < 32 && code != 8 && code != 22 && code != 24) return;
  TcxCustomInplaceEditContainer* item = FController->GetFocusedItem();
  if (!item) return;
  FController->GetEditingController()->ShowEdit(item, Key);
  Key = '\0';
}

void TcxCustomCellNavigator::DoKeyPress(char& Key) {
  if (EatKeyPress) {
    EatKeyPress = false;
    Key = '\0';
    return;
  }
  KeyPress(Key);
}

// ---------------------------------------------------------------------------
// The control controller: life cycle

TcxCustomControlController::TcxCustomControlController(TcxEditingControl* AEditingControl)
    : FEditingControl(AEditingControl) {}

void TcxCustomControlController::AfterConstruction() {
  inherited::AfterConstruction();
  FEditingController = FEditingControl->GetEditingControllerClass().Construct<TcxCustomControlController*>(this);
  FHitTestController = FEditingControl->GetHitTestControllerClass().Construct<TcxCustomControlController*>(this);
  FHotTrackController = FEditingControl->GetHotTrackControllerClass().Construct<TcxEditingControl*>(FEditingControl);
  FNavigator = GetNavigatorClass().Construct<TcxCustomControlController*>(this);
}

TcxCustomControlController::~TcxCustomControlController() {
  FreeAndNil(FNavigator);
  FreeAndNil(FEditingController);
  FreeAndNil(FHotTrackController);
  FreeAndNil(FHitTestController);
}

TcxCustomCellNavigatorClass TcxCustomControlController::GetNavigatorClass() {
  return TcxCustomCellNavigator::StaticClass();
}

TcxCustomDataController* TcxCustomControlController::GetDataController() {
  return FEditingControl->GetDataController();
}

IcxEditingControlOptions* TcxCustomControlController::GetOptions() { return FEditingControl->GetOptions(); }

TcxCustomDesignSelectionHelper* TcxCustomControlController::GetDesignSelectionHelper() const {
  return FEditingControl->GetDesignSelectionHelper();
}

TcxCustomInplaceEditContainer* TcxCustomControlController::GetEditingItem() {
  return FEditingController->GetEditingItem();
}

void TcxCustomControlController::SetEditingItem(TcxCustomInplaceEditContainer* Value) {
  FEditingController->SetEditingItem(Value);
}

bool TcxCustomControlController::GetIsEditing() { return FEditingController->GetIsEditing(); }

TcxEditCellViewInfo* TcxCustomControlController::GetEditingViewInfo() {
  return GetFocusedCellViewInfo(GetEditingItem());
}

TcxEditCellViewInfo* TcxCustomControlController::GetFocusedCellViewInfo(TcxCustomInplaceEditContainer*) {
  cxAbstractError();
}

void TcxCustomControlController::MakeFocusedItemVisible() { cxAbstractError(); }
void TcxCustomControlController::MakeFocusedRecordVisible() { cxAbstractError(); }

// ---------------------------------------------------------------------------
// Options, read on every use

bool TcxCustomControlController::GetAlwaysShowEditor() {
  return GetOptions()->GetOptionsBehavior()->GetAlwaysShowEditor();
}

bool TcxCustomControlController::GetFocusCellOnCycle() {
  return GetOptions()->GetOptionsBehavior()->GetFocusCellOnCycle();
}

bool TcxCustomControlController::GetGoToNextCellOnEnter() {
  return GetOptions()->GetOptionsBehavior()->GetGoToNextCellOnEnter();
}

bool TcxCustomControlController::GetGoToNextCellOnTab() {
  return GetOptions()->GetOptionsBehavior()->GetGoToNextCellOnTab();
}

bool TcxCustomControlController::GetImmediateEditor() {
  TcxControlOptionsBehavior* behavior = GetOptions()->GetOptionsBehavior();
  return (behavior->GetImmediateEditor() || behavior->GetAlwaysShowEditor()) &&
         FEditingControl->GetDragMode() == dmManual;
}

bool TcxCustomControlController::GetCancelEditingOnExit() {
  if (!GetOptions()->GetOptionsData()->GetCancelOnExit()) return false;
  TcxDataControllerEditState state = GetDataController()->GetEditState();
  TcxDataControllerEditState relevant;
  for (TcxDataControllerEditKind kind : {dceInsert, dceChanging, dceModified})
    if (state.Contains(kind)) relevant.Include(kind);
  return relevant == TcxDataControllerEditState{dceInsert};
}

// ---------------------------------------------------------------------------
// Keys

bool TcxCustomControlController::IsKeyForController(Word AKey, TShiftState) {
  switch (AKey) {
    case win::VK_TAB:
      return GetGoToNextCellOnTab();
    case win::VK_UP:
    case win::VK_DOWN:
    case win::VK_PRIOR:
    case win::VK_NEXT:
    case win::VK_INSERT:
    case win::VK_ESCAPE:
    case win::VK_LEFT:
    case win::VK_RIGHT:
      return true;
    default:
      return false;
  }
}

void TcxCustomControlController::KeyDown(Word& Key, TShiftState Shift) {
  if (!EditorKeyForwarding) {
    if (GetIsIncSearching()) Key = IncSearchKeyDown(Key, Shift);
    FNavigator->KeyDown(Key, Shift);
  }
  switch (Key) {
    case win::VK_TAB:
      if (GetGoToNextCellOnTab() && IsPlainOrShift(Shift)) {
        FNavigator->FocusNextCell(Shift.Empty(), FNavigator->DownOnTab, Shift);
        Key = 0;
      }
      break;
    case win::VK_RETURN:
      if (GetGoToNextCellOnEnter() && IsPlainOrShift(Shift))
        FNavigator->FocusNextCell(Shift.Empty(), FNavigator->DownOnEnter, Shift);
      break;
    case win::VK_ESCAPE:
      GetDataController()->Cancel();
      break;
    case win::VK_PRIOR:
    case win::VK_NEXT:
      DoNextPage(Key == win::VK_NEXT, Shift);
      break;
    default:
      break;
  }
}

void TcxCustomControlController::KeyPress(char& Key) {
  if (EatKeyPress) {
    EatKeyPress = false;
    return;
  }
  const auto code = static_cast<unsigned char>(Key);
  if (code == 8 || code >= 32) {
    TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
    const TcxDataControllerEditState state = GetDataController()->GetEditState();
    if (item && item->CanIncSearch() && !state.Contains(dceInsert) && !state.Contains(dceEdit)) {
      if (code != 8) SetIncSearchingText(GetIncSearchingText() + Key);
      Key = '\0';
    }
  }
  FNavigator->DoKeyPress(Key);
}

void TcxCustomControlController::WndProc(TMessage& Message) {
  if (Message.Msg == win::WM_IME_STARTCOMPOSITION) FEditingController->ShowEdit(nullptr);
}

// ---------------------------------------------------------------------------
// Mouse

void TcxCustomControlController::MouseEnter() { FHitTestController->ReCalculate(); }

void TcxCustomControlController::MouseLeave() {
  HideHint();
  FHitTestController->SetHasCode(TcxCustomHitTestController::MouseEventCode, true);
  orv::ScopeExit clear([this] { FHitTestController->SetHasCode(TcxCustomHitTestController::MouseEventCode, false); });
  FHitTestController->SetHitTestItem(nullptr);
}

void TcxCustomControlController::BeforeMouseDown(TMouseButton, TShiftState, Integer, Integer) {
  FEditingBeforeMouseDown = GetIsEditing();
}

void TcxCustomControlController::DoMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  const Integer focusedRecord = GetFocusedRecordIndex();
  TcxCustomInplaceEditContainer* focusedItem = FFocusedItem;
  FDoubleClick = Shift.Contains(ssDouble);
  FShowEditOnMouseUp = false;
  FEditingController->StopEditShowingTimer();
  bool hotStart = false;
  TObject* hotCell = nullptr;
  if (TcxEditCellViewInfo* cell = FHitTestController->GetEditCellViewInfo()) {
    hotStart = cell->EditViewInfo && cell->EditViewInfo->IsHotTrack(TPoint(X, Y));
    hotCell = cell;
  }
  MouseDown(Button, Shift, X, Y);
  FHitTestController->RecalculateOnMouseEvent(X, Y, Shift);
  if (Button == mbMiddle || !FHitTestController->IsItemEditCell()) return;
  TcxEditCellViewInfo* cell = FHitTestController->GetEditCellViewInfo();
  SetFocusedRecordItem(cell->GetRecordIndex(), cell->GetEditContainer());
  FHitTestController->RecalculateOnMouseEvent(X, Y, Shift);
  TcxEditCellViewInfo* target = FHitTestController->GetEditCellViewInfo();
  if (!target) return;
  if (GetImmediateEditor() || (hotStart && target == hotCell)) {
    if (Button != mbLeft) return;
    if (hotStart)
      FEditingController->ShowEdit(target->GetEditContainer(), Shift, X, Y);
    else
      FEditingController->ShowEdit(target->GetEditContainer(), TShiftState{}, -1, -1);
  } else {
    FShowEditOnMouseUp = GetFocusedRecordIndex() == focusedRecord && FFocusedItem == focusedItem && FFocusedItem;
    if (!FShowEditOnMouseUp && FFocusedItem) FFocusedItem->CancelIncSearching();
  }
}

void TcxCustomControlController::DoMouseMove(TShiftState Shift, Integer X, Integer Y) {
  MouseMove(Shift, X, Y);
  FHitTestController->RecalculateOnMouseEvent(X, Y, Shift);
}

void TcxCustomControlController::DoMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  MouseUp(Button, Shift, X, Y);
  if (FShowEditOnMouseUp && !GetIsEditing() && !FDoubleClick && Button == mbLeft)
    if (TcxEditCellViewInfo* cell = FHitTestController->GetEditCellViewInfo())
      FEditingController->StartEditShowingTimer(cell->GetEditContainer());
  FShowEditOnMouseUp = false;
  FHitTestController->RecalculateOnMouseEvent(X, Y, Shift);
  if (!GetIsEditing() && !FDoubleClick && GetImmediateEditor())
    if (TcxEditCellViewInfo* cell = FHitTestController->GetEditCellViewInfo();
        // The press focused this cell; a click handler that has moved the
        // focus since keeps it where it put it.
        cell && cell->GetEditContainer() == FFocusedItem && cell->GetRecordIndex() == GetFocusedRecordIndex()) {
      FEditingController->StopEditShowingTimer();
      if (Button == mbLeft) FEditingController->ShowEdit(cell->GetEditContainer());
    }
}

void TcxCustomControlController::DoEditDblClick(TObject*) { DblClick(); }


// ---------------------------------------------------------------------------
// Focus position

Integer TcxCustomControlController::GetFocusedRecordIndex() { return GetDataController()->GetFocusedRecordIndex(); }

void TcxCustomControlController::SetFocusedRecordItem(Integer ARecordIndex, TcxCustomInplaceEditContainer* AItem) {
  FEditingController->HideEdit(true);
  FAllowCheckEdit = false;
  orv::ScopeExit restore([this] {
    FAllowCheckEdit = true;
    FSameCellRefocused = false;
  });
  FSameCellRefocused = ARecordIndex == GetFocusedRecordIndex();
  SetFocusedRecordIndex(ARecordIndex);
  FSameCellRefocused = FSameCellRefocused && AItem == FFocusedItem;
  SetFocusedItem(AItem);
  FAllowCheckEdit = true;
  CheckEdit();
}

void TcxCustomControlController::SetFocusedRecordIndex(Integer Value) {
  TcxCustomDataController* dataController = GetDataController();
  if (Value >= 0 && Value < dataController->GetRecordCount())
    if (!CanFocusedRecordIndex(Value) || !dataController->ChangeFocusedRowIndex(Value)) return;
  if (GetFocusedRecordIndex() == Value) MakeFocusedRecordVisible();
}

void TcxCustomControlController::SetFocusedItem(TcxCustomInplaceEditContainer* Value) {
  if (GetIsEditing()) FEditingController->HideEdit(true);
  if (Value && !Value->CanFocus()) return;
  if (Value != FFocusedItem) {
    TcxCustomInplaceEditContainer* previous = FFocusedItem;
    if (previous && !FEditingController->GetEditingItemSetting()) FEditingController->HideEdit(true);
    FFocusedItem = Value;
    FocusedItemChanged(previous);
  } else if (Value) {
    MakeFocusedItemVisible();
  }
  CheckEdit();
}

void TcxCustomControlController::FocusedItemChanged(TcxCustomInplaceEditContainer* APrevFocusedItem) {
  if (FEditingControl->GetIsLoading() || FEditingControl->GetIsDestroying()) return;
  CancelIncSearching();
  if (FFocusedItem) MakeFocusedItemVisible();
  if (APrevFocusedItem != FFocusedItem && !FSameCellRefocused) {
    if (APrevFocusedItem)
      if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(APrevFocusedItem)) cell->Refresh(false);
    if (FFocusedItem)
      if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(FFocusedItem)) cell->Refresh(false);
  }
  FNavigator->Refresh();
}

void TcxCustomControlController::FocusedRecordChanged(Integer, Integer) {
  if (FEditingController->GetHideEditOnFocusedRecordChange()) FEditingController->HideEdit(true);
  CheckEdit();
  FEditingController->UpdateEditValue();
}

void TcxCustomControlController::RefreshFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) {
  if (FSameCellRefocused || !AItem) return;
  if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(AItem))
    if (cell->Refresh(true)) FEditingControl->LayoutChanged();
}

void TcxCustomControlController::RefreshFocusedRecord() {
  bool changed = false;
  FEditingControl->SetLockCount(FEditingControl->GetLockCount() + 1);
  {
    orv::ScopeExit unlock([this] { FEditingControl->SetLockCount(FEditingControl->GetLockCount() - 1); });
    for (Integer i = 0; i < FEditingControl->GetItemCount() && !changed; ++i)
      if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(FEditingControl->GetItem(i))) changed = cell->Refresh(true);
  }
  if (changed && !FEditingControl->IsLocked()) {
    FEditingControl->BeforeUpdate();
    FEditingControl->LayoutChanged();
  }
}

void TcxCustomControlController::CheckEdit() {
  CancelCheckEditPost();
  if (FAllowCheckEdit && GetAlwaysShowEditor()) FEditingController->ShowEdit(nullptr);
}

void TcxCustomControlController::PostCheckEdit() {
  if (FAllowCheckEdit) FCheckEditNeeded = true;
}

void TcxCustomControlController::ProcessCheckEditPost() {
  if (FCheckEditNeeded) CheckEdit();
}

void TcxCustomControlController::PostShowEdit() {
  TcxControlOptionsBehavior* behavior = GetOptions()->GetOptionsBehavior();
  if (!GetIsEditing() && (behavior->GetImmediateEditor() || behavior->GetAlwaysShowEditor()) &&
      !FEditingController->GetIsDragging() && FHitTestController->IsItemEditCell())
    PostCheckEdit();
}

void TcxCustomControlController::Reset() {
  FEditingController->PostEditUpdate();
  FHitTestController->ClearState();
  FHitTestController->SetHitTestItem(nullptr);
  FHotTrackController->Clear();
}

void TcxCustomControlController::Clear() {
  FHitTestController->ClearState();
  FHotTrackController->Clear();
}

bool TcxCustomControlController::HasFocusedControls() {
  TcxCustomEdit* edit = FEditingController->GetEdit();
  return edit && edit->IsFocused();
}

void TcxCustomControlController::HideHint() { FHotTrackController->CancelHint(); }

// ---------------------------------------------------------------------------
// Focus changes

void TcxCustomControlController::SetFocused(bool Value) { FFocused = Value; }

void TcxCustomControlController::FocusChanged() {
  const bool focused = FEditingControl->GetIsFocused() || HasFocusedControls();
  if (focused) {
    CheckEdit();
    TcxCustomEdit* edit = FEditingController->GetEdit();
    if (edit && GetAlwaysShowEditor() && !edit->IsFocused() && edit->CanFocus())
      edit->SetFocus();
    else if (edit && !edit->IsFocused() && !GetAlwaysShowEditor())
      FEditingController->HideEdit(true);
    else if (GetAlwaysShowEditor() && !GetIsEditing() && GetImmediateEditor())
      FEditingController->ShowEdit(nullptr);
  }
  if (FFocused != focused) {
    SetFocused(focused);
    ControlFocusChanged();
  }
}

void TcxCustomControlController::ControlFocusChanged() {
  if (!GetFocused() && FEditingController->GetHideEditOnExit()) FEditingController->HideEdit(true);
  FEditingControl->GetViewInfo()->UpdateSelection();
}

void TcxCustomControlController::BehaviorChanged() {
  if (FEditingControl->GetViewInfo()) FEditingControl->GetViewInfo()->UpdateSelection();
}

void TcxCustomControlController::DoCancelMode() { FocusChanged(); }

void TcxCustomControlController::DoExit() {
  TcxCustomDataController* dataController = GetDataController();
  if (GetCancelEditingOnExit()) {
    dataController->Cancel();
  } else {
    dataController->PostEditingData();
    if (IsImmediatePost()) dataController->Post();
  }
}

bool TcxCustomControlController::MayFocus() {
  if (!GetFocused() || !GetIsEditing()) return true;
  if (GetAlwaysShowEditor()) return false;
  TcxCustomEdit* edit = FEditingController->GetEdit();
  return !edit || edit->ValidateEdit(true);
}

void TcxCustomControlController::SetFocus() {
  if (FEditingController->CanRemoveEditFocus() && FEditingControl->CanFocus() &&
      (FEditingControl->Focused() || HasFocusedControls()))
    FEditingControl->SetFocus();
  PostCheckEdit();
}

// ---------------------------------------------------------------------------
// Painting and dragging brackets

TcxCustomControlDragAndDropObject* TcxCustomControlController::GetDragAndDropObject() {
  if (FEditingControl->GetDragAndDropState() == ddsNone) return nullptr;
  return dynamic_cast<TcxCustomControlDragAndDropObject*>(FEditingControl->GetDragAndDropObject());
}

void TcxCustomControlController::BeforePaint() {
  FEditingController->CheckEditUpdatePost();
  if (FEditingControl->GetDragAndDropState() == ddsInProcess)
    if (TcxCustomControlDragAndDropObject* object = GetDragAndDropObject()) object->OwnerImageChanging();
}

void TcxCustomControlController::AfterPaint() {
  if (FEditingControl->GetDragAndDropState() == ddsInProcess)
    if (TcxCustomControlDragAndDropObject* object = GetDragAndDropObject()) object->OwnerImageChanged();
  ProcessCheckEditPost();
}

void TcxCustomControlController::BeginDragAndDrop() { FEditingController->HideEdit(true); }

void TcxCustomControlController::DragOver(TObject*, Integer, Integer, bool&) { FEditingController->HideEdit(true); }

void TcxCustomControlController::EndDragAndDrop(bool) {
  if (FEditingControl->GetDragAndDropState() == ddsNone) CheckEdit();
}

void TcxCustomControlController::EndDrag(TObject*, Integer X, Integer Y) {
  FHitTestController->ReCalculate(TPoint(X, Y));
  if (FEditingBeforeMouseDown || GetAlwaysShowEditor()) FEditingController->ShowEdit(nullptr);
}

void TcxCustomControlController::SetScrollBarInfo(TScrollBarKind AScrollBarKind, Integer AMin, Integer AMax,
                                                  Integer AStep, Integer APage, Integer APos, bool AAllowShow,
                                                  bool AAllowHide) {
  FEditingControl->SetScrollBarInfo(AScrollBarKind, AMin, AMax, AStep, APage, APos, AAllowShow, AAllowHide);
}

// ---------------------------------------------------------------------------
// Incremental search

TcxCustomInplaceEditContainer* TcxCustomControlController::GetItemForIncSearching() {
  TcxControlOptionsBehavior* behavior = GetOptions()->GetOptionsBehavior();
  if (!behavior->GetIncSearch()) return nullptr;
  return behavior->GetIncSearchItem() ? behavior->GetIncSearchItem() : FFocusedItem;
}

bool TcxCustomControlController::GetIsIncSearching() { return GetDataController()->GetSearch()->GetSearching(); }

AnsiString TcxCustomControlController::GetIncSearchingText() {
  return GetIsIncSearching() ? GetDataController()->GetSearch()->GetSearchText() : AnsiString();
}

TcxCustomInplaceEditContainer* TcxCustomControlController::GetIncSearchingItem() {
  if (!GetIsIncSearching()) return nullptr;
  const Integer index = GetDataController()->GetSearch()->GetItemIndex();
  return index >= 0 && index < FEditingControl->GetItemCount() ? FEditingControl->GetItem(index) : nullptr;
}

Word TcxCustomControlController::IncSearchKeyDown(Word AKey, TShiftState AShift) {
  TcxCustomInplaceEditContainer* item = GetItemForIncSearching();
  if (!item) return AKey;
  switch (AKey) {
    case win::VK_BACK: {
      AnsiString text = GetIncSearchingText();
      if (!text.empty()) text.pop_back();
      SetIncSearchingText(text);
      return 0;
    }
    case win::VK_ESCAPE:
      item->CancelIncSearching();
      return 0;
    case win::VK_UP:
    case win::VK_DOWN:
      if (AShift == TShiftState{ssCtrl}) {
        SearchLocateNext(item, AKey == win::VK_DOWN);
        return 0;
      }
      return AKey;
    default:
      return AKey;
  }
}

void TcxCustomControlController::SetIncSearchingText(const AnsiString& AText) {
  if (AText == GetIncSearchingText()) return;
  TcxCustomInplaceEditContainer* item = GetIsIncSearching() ? GetIncSearchingItem() : GetItemForIncSearching();
  if (!item || item->GetItemIndex() == -1) return;
  if (!AText.empty())
    SearchLocate(item, AText);
  else
    CancelIncSearching();
  if (TcxCustomInplaceEditContainer* searchItem = GetItemForIncSearching())
    if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(searchItem)) cell->Invalidate(true);
}

void TcxCustomControlController::SearchLocate(TcxCustomInplaceEditContainer* AItem, const AnsiString& AText) {
  GetDataController()->GetSearch()->Locate(AItem->GetItemIndex(), AText);
}

void TcxCustomControlController::SearchLocateNext(TcxCustomInplaceEditContainer*, bool AForward) {
  GetDataController()->GetSearch()->LocateNext(AForward);
}

void TcxCustomControlController::CancelIncSearching() {
  TcxCustomInplaceEditContainer* item = GetIncSearchingItem();
  GetDataController()->GetSearch()->Cancel();
  if (item)
    if (TcxEditCellViewInfo* cell = GetFocusedCellViewInfo(item)) cell->Refresh(true);
}

void TcxCustomControlController::ItemRemoved(TcxCustomInplaceEditContainer* AItem) {
  FEditingController->ItemRemoved(AItem);
  if (FFocusedItem == AItem) FFocusedItem = nullptr;
  if (GetIncSearchingItem() == AItem) GetDataController()->GetSearch()->Cancel();
}
