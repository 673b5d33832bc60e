#include "library/grid/container/cxInplaceContainerControl.h"

#include <algorithm>

#include "library/grid/container/cxInplaceContainer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Messages.h"
#include "platform/win/Window.h"

// The control stops at Tab and shows the plain cursor while dragging.
ORV_REGISTER(TcxEditingControl, ORV_PROP(BorderStyle).Default(cxcbsDefault), ORV_PROP(DragCursor).Default(crDefault),
             ORV_PROP(TabStop).Default(true))
ORV_REGISTER(TcxExtEditingControl, ORV_PROP(OptionsBehavior), ORV_PROP(OptionsData), ORV_PROP(OptionsView))

// ---------------------------------------------------------------------------
// Life cycle

TcxEditingControl::TcxEditingControl(TComponent* AOwner) : TcxControl(AOwner) {}

void TcxEditingControl::AfterConstruction() {
  CreateSubClasses();
  inherited::AfterConstruction();
  SetKeys({kArrows, kChars});
  SetBorderStyle(cxcbsDefault);
  SetDragCursor(crDefault);
}

// The collaborators go here rather than in the destructor, where the
// descendants' own factories and options no longer answer.
void TcxEditingControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  // The items outlive the control when another component owns them: they
  // leave it now, while every collaborator is still there.
  while (!FItems.empty()) FItems.back()->SetEditingControl(nullptr);
  FreeAndNil(FDesignSelectionHelper);
  FinishDragImages();
  EndMouseTracking(this);
  DestroySubClasses();
}

TcxEditingControl::~TcxEditingControl() { FItems.clear(); }

void TcxEditingControl::CreateSubClasses() {
  FStyles = GetControlStylesClass().Construct<TPersistent*>(this);
  FBrushCache = New<TcxBrushCache>();
  FEditStyle = static_cast<TcxCustomEditStyle*>(
      GetEditStyleClass().Construct<TPersistent*, bool, TcxContainerStyle*, TcxContainerStateItem>(
          nullptr, true, nullptr, csNormal));
  FEditStyle->GetLookAndFeel()->SetMasterLookAndFeel(GetLookAndFeel());
  FController = GetControllerClass().Construct<TcxEditingControl*>(this);
  FDataController = GetDataControllerClass().Construct<TComponent*>(this);
  RecreateViewInfo();
}

void TcxEditingControl::DestroySubClasses() {
  FreeAndNil(FViewInfo);
  FreeAndNil(FBrushCache);
  FreeAndNil(FController);
  FreeAndNil(FEditStyle);
  FreeAndNil(FDataController);
  FreeAndNil(FStyles);
}

void TcxEditingControl::RecreateViewInfo() {
  if (FController) {
    FController->SetEditingItem(nullptr);
    FController->Clear();
  }
  FreeAndNil(FViewInfo);
  FViewInfo = GetViewInfoClass().Construct<TcxEditingControl*>(this);
}

void TcxEditingControl::CheckCreateDesignSelectionHelper() {
  if (!FDesignSelectionHelper && cxDesignSelectionHelperClass && GetIsDesigning())
    FDesignSelectionHelper = cxDesignSelectionHelperClass.Construct<TcxEditingControl*>(this);
}

// ---------------------------------------------------------------------------
// Class factories

TcxCustomControlControllerClass TcxEditingControl::GetControllerClass() {
  return TcxCustomControlController::StaticClass();
}

TcxCustomControlStylesClass TcxEditingControl::GetControlStylesClass() {
  return TcxCustomControlStyles::StaticClass();
}

TcxCustomDataControllerClass TcxEditingControl::GetDataControllerClass() {
  return TcxControlDataController::StaticClass();
}

TcxContainerStyleClass TcxEditingControl::GetEditStyleClass() { return TcxEditStyle::StaticClass(); }

TcxEditingControllerClass TcxEditingControl::GetEditingControllerClass() {
  return TcxEditingController::StaticClass();
}

TcxCustomHitTestControllerClass TcxEditingControl::GetHitTestControllerClass() {
  return TcxCustomHitTestController::StaticClass();
}

TcxHotTrackControllerClass TcxEditingControl::GetHotTrackControllerClass() {
  return TcxHotTrackController::StaticClass();
}

TcxCustomControlViewInfoClass TcxEditingControl::GetViewInfoClass() {
  return TcxCustomControlViewInfo::StaticClass();
}

TcxCustomControlPainterClass TcxEditingControl::GetPainterClass() { return TcxCustomControlPainter::StaticClass(); }

IcxEditingControlOptions* TcxEditingControl::GetOptions() { cxAbstractError(); }

bool TcxEditingControl::HasDragDropImages() {
  IcxEditingControlOptions* options = dynamic_cast<IcxEditingControlOptions*>(this);
  return options && options->GetOptionsBehavior()->GetDragDropImages();
}

// ---------------------------------------------------------------------------
// Update lock and layout

bool TcxEditingControl::IsLocked() {
  return FLockCount > 0 || GetIsLoading() || GetIsDestroying() || !HandleAllocated();
}

void TcxEditingControl::DoBeginUpdate() {
  ++FLockCount;
  FDataController->BeginUpdate();
}

void TcxEditingControl::DoEndUpdate() {
  FDataController->EndUpdate();
  --FLockCount;
  if (FLockCount == 0) BeforeUpdate();
  LayoutChanged();
}

void TcxEditingControl::CancelUpdate() {
  FDataController->EndUpdate();
  --FLockCount;
}

void TcxEditingControl::LayoutChanged() {
  ++FLayoutChangeCount;
  if (FViewInfo) FViewInfo->SetState(cvis_IsDirty, true);
  if (IsLocked() || !FController) return;
  ++FChangesCount;
  orv::ScopeExit depth([this] { --FChangesCount; });
  FController->Reset();
  BeginUpdate();
  {
    orv::ScopeExit unlock([this] { CancelUpdate(); });
    DoLayoutChanged();
    FViewInfo->SetState(cvis_IsDirty, false);
  }
  SetInternalControlsBounds();
  UpdateScrollBars();
  if (FChangesCount == 1) {
    FController->GetHitTestController()->ReCalculate();
    FController->GetEditingController()->PostEditUpdate();
    FLayoutChanged = true;
    AfterLayoutChanged();
    Invalidate();
  }
}

void TcxEditingControl::DoLayoutChanged() { FViewInfo->Calculate(); }

void TcxEditingControl::UpdateViewStyles() {
  if (FViewInfo) FViewInfo->SetState(cvis_StyleInvalid, true);
  LayoutChanged();
}

void TcxEditingControl::UpdateIndexes() {
  for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->SetItemIndex(static_cast<Integer>(i));
}

bool TcxEditingControl::GetBufferedPaint() const { return GetPainter() && GetPainter()->GetBuffered(); }

void TcxEditingControl::SetBufferedPaint(bool Value) {
  if (TcxCustomControlPainter* painter = GetPainter()) painter->SetBuffered(Value);
}

// ---------------------------------------------------------------------------
// Items

void TcxEditingControl::DoInplaceEditContainerItemAdded(TcxCustomInplaceEditContainer* AItem) {
  FItems.push_back(AItem);
  AItem->SetItemIndex(static_cast<Integer>(FItems.size()) - 1);
  FDataController->AddItem(AItem);
  LayoutChanged();
}

void TcxEditingControl::DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* AItem) {
  // Nothing may keep the item once it has left: the editor, the focus,
  // the search and the cells that show it.
  if (FController) FController->ItemRemoved(AItem);
  if (FViewInfo) {
    std::vector<TcxEditCellViewInfo*> cells;
    for (TcxEditCellViewInfo* cell : FViewInfo->GetEditCellViewInfoList())
      if (cell->GetOwner() == AItem) cells.push_back(cell);
    for (TcxEditCellViewInfo* cell : cells) FViewInfo->RemoveEditCellViewInfo(cell);
  }
  if (auto* options = DynamicCast<IcxEditingControlOptions>(this))
    if (options->GetOptionsBehavior() && options->GetOptionsBehavior()->GetIncSearchItem() == AItem)
      options->GetOptionsBehavior()->SetIncSearchItem(nullptr);
  // From the end: items usually leave last first.
  auto it = std::find(FItems.rbegin(), FItems.rend(), AItem);
  if (it == FItems.rend()) return;
  const size_t index = static_cast<size_t>(FItems.rend() - it) - 1;
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(index));
  FDataController->RemoveItem(AItem);
  for (size_t i = index; i < FItems.size(); ++i) FItems[i]->SetItemIndex(static_cast<Integer>(i));
  AItem->SetItemIndex(-1);
  LayoutChanged();
}

// ---------------------------------------------------------------------------
// Data

void TcxEditingControl::ControlUpdateData(TcxUpdateControlInfo* AInfo) {
  if (GetIsDestroying() || !FController) return;
  if (auto* changed = dynamic_cast<TcxDataChangedInfo*>(AInfo)) {
    // A field change names its item; any other change concerns them all.
    TcxCustomInplaceEditContainer* item = nullptr;
    if (changed->Kind == dcField && changed->ItemIndex >= 0 && static_cast<size_t>(changed->ItemIndex) < FItems.size())
      item = FItems[static_cast<size_t>(changed->ItemIndex)];
    DataChanged(item);
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) {
    DataLayoutChanged();
  } else if (auto* focused = dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo)) {
    FController->FocusedRecordChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex);
    FController->GetNavigator()->Refresh();
  } else if (dynamic_cast<TcxSelectionChangedInfo*>(AInfo)) {
    SelectionChanged(AInfo);
  } else if (auto* record = dynamic_cast<TcxUpdateRecordInfo*>(AInfo)) {
    FController->UpdateRecord(record->RecordIndex);
  }
}

void TcxEditingControl::DataChanged(TcxCustomInplaceEditContainer* AItem) {
  ++FLockCount;
  {
    orv::ScopeExit unlock([this] { --FLockCount; });
    if (!AItem) {
      for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->DataChanged();
    } else {
      AItem->DataChanged();
      // Walked as a copy: each refresh takes its item off the list.
      const std::vector<TcxCustomInplaceEditContainer*> holders(FEditDataHolders);
      for (TcxCustomInplaceEditContainer* item : holders)
        if (item != AItem && item->IsRecordDependent()) item->DataChanged();
    }
  }
  if (!IsLocked()) FController->RefreshFocusedRecord();
}

void TcxEditingControl::EditDataHeld(TcxCustomInplaceEditContainer* AItem, bool AHeld) {
  auto it = std::find(FEditDataHolders.begin(), FEditDataHolders.end(), AItem);
  if (AHeld && it == FEditDataHolders.end()) FEditDataHolders.push_back(AItem);
  if (!AHeld && it != FEditDataHolders.end()) FEditDataHolders.erase(it);
}

void TcxEditingControl::DataLayoutChanged() {
  FController->GetEditingController()->UpdateEditValue();
  FController->RefreshFocusedRecord();
}

void TcxEditingControl::UpdateData() { FController->GetEditingController()->UpdateValue(); }

bool TcxEditingControl::ExecuteAction(TBasicAction* Action) { return inherited::ExecuteAction(Action); }

bool TcxEditingControl::UpdateAction(TBasicAction* Action) { return inherited::UpdateAction(Action); }

// ---------------------------------------------------------------------------
// Edit events

void TcxEditingControl::DoEditChanged(TcxCustomInplaceEditContainer* AItem) {
  if (OnEditChanged) OnEditChanged(this, AItem);
}

void TcxEditingControl::DoInitEdit(TcxCustomInplaceEditContainer* AItem, TcxCustomEdit* AEdit) {
  if (OnInitEdit) OnInitEdit(this, AItem, AEdit);
}

// ---------------------------------------------------------------------------
// Window

void TcxEditingControl::Loaded() {
  inherited::Loaded();
  FDataController->Loaded();
  LayoutChanged();
  CheckCreateDesignSelectionHelper();
}

void TcxEditingControl::WndProc(TMessage& Message) {
  if (FController) FController->WndProc(Message);
  if (Message.Msg != win::WM_KILLFOCUS) {
    inherited::WndProc(Message);
    return;
  }
  // The window system still reports the focus here while it is taken
  // away: where it goes decides. Going to the open editor, it stays
  // inside the control.
  const auto target = reinterpret_cast<win::HWND>(Message.WParam);
  const bool inside = target && HandleAllocated() && win::IsChild(GetHandle(), target);
  auto moving = orv::TempValue(FFocusMovingInside, inside);
  auto losing = orv::TempValue(FFocusLeaving, !inside);
  inherited::WndProc(Message);
}

void TcxEditingControl::AlignControls(TControl* AControl, TRect& Rect) {
  // The in-place editor is placed by the editing controller alone.
  if (dynamic_cast<TcxCustomEdit*>(AControl)) return;
  inherited::AlignControls(AControl, Rect);
}

void TcxEditingControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(win::CS_HREDRAW | win::CS_VREDRAW);
}

void TcxEditingControl::CreateWnd() {
  FreeAndNil(FDesignSelectionHelper);
  inherited::CreateWnd();
  CheckCreateDesignSelectionHelper();
}

void TcxEditingControl::DestroyWnd() {
  FreeAndNil(FDesignSelectionHelper);
  inherited::DestroyWnd();
}

void TcxEditingControl::InitControl() {
  inherited::InitControl();
  LayoutChanged();
}

void TcxEditingControl::Paint() {
  FController->BeforePaint();
  inherited::Paint();
  if (IsLocked() && FViewInfo && FViewInfo->GetState(cvis_StyleInvalid)) {
    // Styles changed while updates are held: the laid-out cells keep view
    // parameters that may name fonts and bitmaps of styles since freed.
    // Only the background shows until the update ends; its layout repaints
    // the whole control.
    const TcxViewParams background = GetStyles()->GetBackgroundParams();
    GetCanvas()->SetBrushColor(background.Color);
    GetCanvas()->FillRect(GetClientBounds(), background.Bitmap);
  } else {
    GetPainter()->Paint();
  }
  FController->AfterPaint();
}

void TcxEditingControl::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  const bool editing = FController && FController->GetIsEditing();
  if (editing) FController->GetEditingController()->HideEdit(true);
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  if (!FController) return;
  BeginUpdate();
  {
    orv::ScopeExit end([this] { EndUpdate(); });
    for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->InternalPropertiesChanged();
    UpdateViewStyles();
  }
  if (editing) FController->GetEditingController()->ShowEdit(nullptr);
}

void TcxEditingControl::BoundsChanged() {
  LayoutChanged();
  inherited::BoundsChanged();
}

void TcxEditingControl::FontChanged() {
  inherited::FontChanged();
  UpdateViewStyles();
}

TCursor TcxEditingControl::GetCursor(Integer X, Integer Y) {
  const TCursor cursor = FController ? FController->GetCursor(X, Y) : crDefault;
  return cursor == crDefault ? inherited::GetCursor(X, Y) : cursor;
}

bool TcxEditingControl::GetIsFocused() {
  if (FFocusMovingInside) return true;
  if (FFocusLeaving) return false;
  return inherited::GetIsFocused() || (FController && FController->HasFocusedControls());
}

TcxMouseWheelScrollingKind TcxEditingControl::GetMouseWheelScrollingKind() {
  const TcxMouseWheelScrollingKind kind = inherited::GetMouseWheelScrollingKind();
  return kind == mwskNone && FController ? FController->GetMouseWheelScrollingKind() : kind;
}

void TcxEditingControl::InitScrollBarsParameters() {
  if (FController) FController->InitScrollBarsParameters();
}

bool TcxEditingControl::IsPixelScrollBar(TScrollBarKind AKind) {
  return FController && FController->IsPixelScrollBar(AKind);
}

TcxDragAndDropObjectClass TcxEditingControl::GetDragAndDropObjectClass() {
  TcxDragAndDropObjectClass cls = FController ? FController->GetDragAndDropObjectClass() : nullptr;
  return cls ? cls : inherited::GetDragAndDropObjectClass();
}

void TcxEditingControl::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  FController->GetEditingController()->PostEditUpdate();
  FController->Scroll(AScrollBarKind, AScrollCode, AScrollPos);
}

bool TcxEditingControl::MayFocus() { return inherited::MayFocus() && (!FController || FController->MayFocus()); }

bool TcxEditingControl::CanDrag(Integer X, Integer Y) { return FController && FController->CanDrag(X, Y); }

void TcxEditingControl::DoCancelMode() {
  inherited::DoCancelMode();
  if (FController) FController->DoCancelMode();
}

// ---------------------------------------------------------------------------
// Dragging

void TcxEditingControl::DoStartDrag(TDragObject*& DragObject) {
  // The value is posted before a drag takes the mouse.
  FController->HideHint();
  if (FController->GetIsEditing()) FController->GetEditingController()->HideEdit(true);
  FController->GetHitTestController()->ReCalculate(FMouseDownPos);
  FController->BeforeStartDrag();
  inherited::DoStartDrag(DragObject);
  FController->StartDrag(DragObject);
  FinishDragImages();
  if (HasDragDropImages()) {
    TClass helperClass = GetDragImageHelperClass();
    if (!helperClass) helperClass = TcxDragImageHelper::StaticClass();
    FDragImageHelper = static_cast<TcxDragImageHelper*>(
        TcxDragImageHelperClass(helperClass).Construct<TcxEditingControl*, TPoint>(this, ClientToScreen(FMouseDownPos)));
    cxInstallDragImageHook(this);
    FDragImageHelper->DragAndDrop(GetMouseCursorPos());
  }
}

void TcxEditingControl::FinishDragImages() {
  if (cxDragImageControl() == this) cxRemoveDragImageHook();
  FreeAndNil(FDragImageHelper);
}

void TcxEditingControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  FinishDragImages();
  FController->EndDrag(Target, X, Y);
  inherited::DoEndDrag(Target, X, Y);
  FController->MousePressed = false;
  FController->PostShowEdit();
  FMouseDownPos = {0, 0};
}

void TcxEditingControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  FController->DragDrop(Source, X, Y);
  inherited::DragDrop(Source, X, Y);
}

void TcxEditingControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  inherited::DragOver(Source, X, Y, State, Accept);
  FController->DragOver(Source, X, Y, Accept);
}

void TcxEditingControl::BeginDragAndDrop() {
  FController->BeginDragAndDrop();
  inherited::BeginDragAndDrop();
}

void TcxEditingControl::DragAndDrop(const TPoint& P, bool& Accepted) {
  inherited::DragAndDrop(P, Accepted);
  FController->DragAndDrop(P, Accepted);
}

void TcxEditingControl::EndDragAndDrop(bool Accepted) {
  inherited::EndDragAndDrop(Accepted);
  FController->EndDragAndDrop(Accepted);
  FMouseDownPos = {0, 0};
}

bool TcxEditingControl::StartDragAndDrop(const TPoint& P) {
  const bool result = FController->StartDragAndDrop(P);
  if (result) FController->HideHint();
  return result;
}

bool TcxEditingControl::GetDesignHitTest(Integer X, Integer Y, TShiftState Shift) {
  return FController->GetHitTestController()->AllowDesignMouseEvents(X, Y, Shift);
}

void TcxEditingControl::WMCancelMode(TMessage& Message) {
  FController->CancelMode = true;
  orv::ScopeExit clear([this] { FController->CancelMode = false; });
  TcxControl::WMCancelMode(Message);
}

void TcxEditingControl::WMSetCursor(TMessage& Message) {
  if (GetIsDesigning() && GetDragAndDropState() == ddsNone) {
    const TPoint p = ScreenToClient(GetMouseCursorPos());
    TcxCustomHitTestController* hitTest = FController->GetHitTestController();
    if (hitTest->AllowDesignMouseEvents(p.X, p.Y, {})) {
      SetCursor(hitTest->GetCurrentCursor());
      Message.Result = 1;
      return;
    }
  }
  TcxControl::WMSetCursor(Message);
}

// ---------------------------------------------------------------------------
// Mouse, keys and focus

void TcxEditingControl::AfterMouseDown(TMouseButton AButton, Integer X, Integer Y) {
  FMouseDownPos = {X, Y};
  inherited::AfterMouseDown(AButton, X, Y);
}

void TcxEditingControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FController->HideHint();
  FController->MousePressed = true;
  FController->BeforeMouseDown(Button, Shift, X, Y);
  inherited::MouseDown(Button, Shift, X, Y);
  FController->GetHitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  FController->DoMouseDown(Button, Shift, X, Y);
}

void TcxEditingControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  FController->GetHitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  if (GetDragAndDropState() == ddsNone) FController->DoMouseMove(Shift, X, Y);
}

void TcxEditingControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FController->MousePressed = false;
  FController->GetHitTestController()->RecalculateOnMouseEvent(X, Y, Shift);
  if (GetDragAndDropState() == ddsInProcess) {
    inherited::MouseUp(Button, Shift, X, Y);
    FController->DoMouseUp(Button, Shift, X, Y);
  } else {
    FController->DoMouseUp(Button, Shift, X, Y);
    inherited::MouseUp(Button, Shift, X, Y);
  }
  FController->PostShowEdit();
}

void TcxEditingControl::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  BeginMouseTracking(this, GetBounds(), this);
  FController->MouseEnter();
}

void TcxEditingControl::MouseLeave(TControl* AControl) {
  EndMouseTracking(this);
  if (FController) FController->MouseLeave();
  inherited::MouseLeave(AControl);
}

void TcxEditingControl::KeyDown(Word& Key, TShiftState Shift) {
  // A key eaten by the controller eats only the character of its own
  // press: arrows produce none, and the flag must not outlive them.
  FController->EatKeyPress = false;
  FController->EscapePressed = Key == win::VK_ESCAPE;
  orv::ScopeExit clear([this] { FController->EscapePressed = false; });
  inherited::KeyDown(Key, Shift);
  FController->KeyDown(Key, Shift);
}

void TcxEditingControl::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  FController->KeyPress(Key);
}

void TcxEditingControl::KeyUp(Word& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
  FController->KeyUp(Key, Shift);
}

void TcxEditingControl::DblClick() {
  FController->DblClick();
  inherited::DblClick();
}

void TcxEditingControl::DoExit() {
  FController->DoExit();
  inherited::DoExit();
}

void TcxEditingControl::FocusChanged() {
  inherited::FocusChanged();
  if (!GetIsDestroying() && FController && !FFocusMovingInside) FController->FocusChanged();
}

// ---------------------------------------------------------------------------
// TcxExtEditingControl

void TcxExtEditingControl::CreateSubClasses() {
  FOptionsBehavior = GetOptionsBehaviorClass().Construct<TPersistent*>(this);
  FOptionsData = GetOptionsDataClass().Construct<TPersistent*>(this);
  FOptionsView = GetOptionsViewClass().Construct<TPersistent*>(this);
  inherited::CreateSubClasses();
}

void TcxExtEditingControl::DestroySubClasses() {
  inherited::DestroySubClasses();
  FreeAndNil(FOptionsBehavior);
  FreeAndNil(FOptionsData);
  FreeAndNil(FOptionsView);
}

TcxControlOptionsBehaviorClass TcxExtEditingControl::GetOptionsBehaviorClass() {
  return TcxControlOptionsBehavior::StaticClass();
}

TcxControlOptionsDataClass TcxExtEditingControl::GetOptionsDataClass() { return TcxControlOptionsData::StaticClass(); }

TcxControlOptionsViewClass TcxExtEditingControl::GetOptionsViewClass() { return TcxControlOptionsView::StaticClass(); }
