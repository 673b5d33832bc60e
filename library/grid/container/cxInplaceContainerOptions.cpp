#include "library/grid/container/cxInplaceContainerOptions.h"

#include "library/grid/container/cxInplaceContainer.h"

ORV_REGISTER(TcxOwnedPersistent)
ORV_REGISTER(TcxOwnedInterfacedPersistent)
ORV_REGISTER(TcxInterfacedCollectionItem)
ORV_REGISTER(TcxCustomDesignSelectionHelper)
ORV_REGISTER(TcxControlOptionsView, ORV_PROP(CellAutoHeight).Default(false), ORV_PROP(CellEndEllipsis).Default(false),
             ORV_PROP(CellTextMaxLineCount).Default(0), ORV_PROP(ScrollBars).Default(ssBoth),
             ORV_PROP(ShowEditButtons).Default(ecsbNever))
ORV_REGISTER(TcxControlOptionsData, ORV_PROP(CancelOnExit).Default(true), ORV_PROP(Editing).Default(true))
ORV_REGISTER(TcxControlOptionsBehavior, ORV_PROP(AlwaysShowEditor).Default(false), ORV_PROP(CellHints).Default(false),
             ORV_PROP(GoToNextCellOnEnter).Default(false), ORV_PROP(GoToNextCellOnTab).Default(false),
             ORV_PROP(ImmediateEditor).Default(true))

TcxCustomDesignSelectionHelperClass cxDesignSelectionHelperClass;

TcxCustomControlController* TcxCustomDesignSelectionHelper::GetController() const {
  return FControl->GetController();
}
bool TcxCustomDesignSelectionHelper::IsObjectSelected(TPersistent*) { cxAbstractError(); }
void TcxCustomDesignSelectionHelper::Select(TPersistent*, TShiftState) { cxAbstractError(); }
void TcxCustomDesignSelectionHelper::UnselectObject(TPersistent*) { cxAbstractError(); }

// ---------------------------------------------------------------------------
// View options

TcxEditingControl* TcxControlOptionsView::GetEditingControl() {
  return static_cast<TcxEditingControl*>(GetOwner());
}

void TcxControlOptionsView::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxControlOptionsView*>(Source)) {
    SetCellAutoHeight(source->GetCellAutoHeight());
    SetCellEndEllipsis(source->GetCellEndEllipsis());
    SetCellTextMaxLineCount(source->GetCellTextMaxLineCount());
    SetScrollBars(source->GetScrollBars());
    SetShowEditButtons(source->GetShowEditButtons());
  } else {
    inherited::DoAssign(Source);
  }
}

void TcxControlOptionsView::Changed() {
  if (TcxEditingControl* control = GetEditingControl()) control->LayoutChanged();
}

void TcxControlOptionsView::SetCellAutoHeight(bool Value) {
  if (FCellAutoHeight == Value) return;
  FCellAutoHeight = Value;
  Changed();
}

void TcxControlOptionsView::SetCellEndEllipsis(bool Value) {
  if (FCellEndEllipsis == Value) return;
  FCellEndEllipsis = Value;
  Changed();
}

void TcxControlOptionsView::SetCellTextMaxLineCount(Integer Value) {
  if (FCellTextMaxLineCount == Value) return;
  FCellTextMaxLineCount = Value;
  Changed();
}

TScrollStyle TcxControlOptionsView::GetScrollBars() { return GetEditingControl()->GetScrollBars(); }

void TcxControlOptionsView::SetScrollBars(TScrollStyle Value) {
  if (GetScrollBars() == Value) return;
  GetEditingControl()->SetScrollBars(Value);
  Changed();
}

void TcxControlOptionsView::SetShowEditButtons(TcxEditingControlEditShowButtons Value) {
  if (FShowEditButtons == Value) return;
  FShowEditButtons = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Data options

TcxEditingControl* TcxControlOptionsData::GetEditingControl() {
  return static_cast<TcxEditingControl*>(GetOwner());
}

void TcxControlOptionsData::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxControlOptionsData*>(Source)) {
    FCancelOnExit = source->GetCancelOnExit();
    SetEditing(source->GetEditing());
  } else {
    inherited::DoAssign(Source);
  }
}

void TcxControlOptionsData::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  if (!Value) {
    TcxEditingControl* control = GetEditingControl();
    if (control && control->GetController()) control->GetController()->SetEditingItem(nullptr);
  }
  Changed();
}

// ---------------------------------------------------------------------------
// Behavior options

TcxEditingControl* TcxControlOptionsBehavior::GetEditingControl() {
  return static_cast<TcxEditingControl*>(GetOwner());
}

void TcxControlOptionsBehavior::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxControlOptionsBehavior*>(Source)) {
    SetAlwaysShowEditor(source->GetAlwaysShowEditor());
    SetCellHints(source->GetCellHints());
    SetFocusCellOnCycle(source->GetFocusCellOnCycle());
    SetFocusFirstCellOnNewRecord(source->GetFocusFirstCellOnNewRecord());
    SetGoToNextCellOnEnter(source->GetGoToNextCellOnEnter());
    SetGoToNextCellOnTab(source->GetGoToNextCellOnTab());
    SetImmediateEditor(source->GetImmediateEditor());
  } else {
    inherited::DoAssign(Source);
  }
}

void TcxControlOptionsBehavior::Changed() {
  TcxEditingControl* control = GetEditingControl();
  if (control && control->GetController()) control->GetController()->BehaviorChanged();
}

void TcxControlOptionsBehavior::SetAlwaysShowEditor(bool Value) {
  if (FAlwaysShowEditor == Value) return;
  FAlwaysShowEditor = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetCellHints(bool Value) {
  if (FCellHints == Value) return;
  FCellHints = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetFocusCellOnCycle(bool Value) {
  if (FFocusCellOnCycle == Value) return;
  FFocusCellOnCycle = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetFocusFirstCellOnNewRecord(bool Value) {
  if (FFocusFirstCellOnNewRecord == Value) return;
  FFocusFirstCellOnNewRecord = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetGoToNextCellOnEnter(bool Value) {
  if (FGoToNextCellOnEnter == Value) return;
  FGoToNextCellOnEnter = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetGoToNextCellOnTab(bool Value) {
  if (FGoToNextCellOnTab == Value) return;
  FGoToNextCellOnTab = Value;
  if (TcxEditingControl* control = GetEditingControl()) {
    TcxKeys keys = control->GetKeys();
    if (Value)
      keys.Include(kTab);
    else
      keys.Exclude(kTab);
    control->SetKeys(keys);
  }
  Changed();
}

void TcxControlOptionsBehavior::SetImmediateEditor(bool Value) {
  if (FImmediateEditor == Value) return;
  FImmediateEditor = Value;
  Changed();
}

void TcxControlOptionsBehavior::SetIncSearch(bool Value) {
  if (FIncSearch == Value) return;
  FIncSearch = Value;
  TcxEditingControl* control = GetEditingControl();
  if (!Value && control && control->GetController()) control->GetController()->CancelIncSearching();
}

void TcxControlOptionsBehavior::SetIncSearchItem(TcxCustomInplaceEditContainer* Value) {
  if (FIncSearchItem == Value) return;
  TcxEditingControl* control = GetEditingControl();
  if (control && control->GetController()) control->GetController()->CancelIncSearching();
  FIncSearchItem = Value;
}
