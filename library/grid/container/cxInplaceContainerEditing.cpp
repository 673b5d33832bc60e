#include "library/grid/container/cxInplaceContainerEditing.h"

#include <algorithm>

#include "library/grid/container/cxInplaceContainer.h"
#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Cursors.h"
#include "platform/win/Metrics.h"

ORV_REGISTER(TcxEditingController)
ORV_REGISTER(TcxHotTrackController)

// ---------------------------------------------------------------------------
// The editing controller

TcxEditingController::TcxEditingController(TcxCustomControlController* AController) : FController(AController) {
  FEditList = New<TcxInplaceEditList>();
  FFreeNotificator = New<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = Event<void(TComponent*)>::Bind<&TcxEditingController::EditFreed>(this);
}

TcxEditingController::~TcxEditingController() {
  StopEditShowingTimer();
  if (FEdit) UnassignEditEvents();
  SetEdit(nullptr);
  FreeAndNil(FEditList);
  FreeAndNil(FFreeNotificator);
}

void TcxEditingController::SetEdit(TcxCustomEdit* Value) {
  if (FEdit == Value) return;
  if (FEdit) FFreeNotificator->RemoveSender(FEdit);
  FEdit = Value;
  if (FEdit) FFreeNotificator->AddSender(FEdit);
}

void TcxEditingController::EditFreed(TComponent* Sender) {
  if (Sender != FEdit) return;
  FEdit = nullptr;
  FSavedHandlersProperties = nullptr;
  FSavedOnChange = nullptr;
  FSavedOnEditValueChanged = nullptr;
  FEditingItem = nullptr;
}

TcxEditingControl* TcxEditingController::GetEditingControl() const { return FController->GetEditingControl(); }

bool TcxEditingController::GetIsDragging() {
  TcxEditingControl* control = GetEditingControl();
  return control->Dragging() || control->GetDragAndDropState() == ddsInProcess;
}

TcxCustomEditProperties* TcxEditingController::GetEditingProperties() {
  if (!GetIsEditing() || GetEditingControl()->GetIsDestroying()) return nullptr;
  TcxEditCellViewInfo* cell = FController->GetEditingViewInfo();
  const TcxEditCellData data = cell ? cell->GetViewInfoData() : 0;
  TcxCustomEditProperties* properties = FEditingItem->DoGetEditProperties(data);
  FEditingItem->DoGetEditingProperties(data, properties);
  return properties;
}

void TcxEditingController::SetEditingItem(TcxCustomInplaceEditContainer* AItem) {
  if (AItem == FEditingItem || FEditingItemSetting) return;
  FEditingItemSetting = true;
  orv::ScopeExit clear([this] { FEditingItemSetting = false; });
  if (AItem) {
    if (!AItem->CanEdit() || !GetEditingControl()->DoEditing(AItem)) return;
    AItem->SetFocused(true);
  }
  HideEdit(false);
  FEditingItem = AItem;
  if (FEditingItem) {
    ShowEdit(AItem);
    if (!FEdit && !FEditPreparing) FEditingItem = nullptr;
  }
}

bool TcxEditingController::PrepareEdit(TcxCustomInplaceEditContainer* AItem, bool AIsMouseEvent) {
  FController->CancelCheckEditPost();
  if (FEditPreparing || FEditHiding || !AItem || GetIsDragging()) return false;
  TcxEditingControl* control = GetEditingControl();
  if (AItem == FEditingItem && !FEditingItemSetting) {
    if (!FEdit) return false;
    return (control->Focused() && !FEdit->IsFocused()) || AIsMouseEvent;
  }
  FEditPreparing = true;
  orv::ScopeExit clear([this] { FEditPreparing = false; });
  if (!control->Focused()) return false;
  FController->BeforeShowEdit();
  AItem->SetEditing(FController->GetFocusedCellViewInfo(AItem) != nullptr);
  if (AItem != FEditingItem) return false;
  TcxCustomEditProperties* properties = GetEditingProperties();
  if (!properties) return false;
  AItem->SetEditValueSource(properties->GetEditValueSource(true));
  SetEdit(FEditList->GetEdit(properties));
  if (!FEdit) return false;
  FEdit->SetVisible(false);
  FEdit->SetParent(nullptr);
  FEdit->SetParent(control);
  if (TcxEditCellViewInfo* cell = FController->GetFocusedCellViewInfo(AItem)) cell->Invalidate(false);
  try {
    InitEdit();
  } catch (...) {
    // An editor that could not be loaded is not left half open.
    UnassignEditEvents();
    FEdit->SetVisible(false);
    SetEdit(nullptr);
    FEditingItem = nullptr;
    throw;
  }
  return true;
}

void TcxEditingController::InitEdit() {
  TcxCustomEditProperties* properties = FEdit->GetActiveProperties();
  FSavedHandlersProperties = properties;
  FSavedOnChange = properties->OnChange;
  FSavedOnEditValueChanged = properties->OnEditValueChanged;
  properties->OnChange = nullptr;
  properties->OnEditValueChanged = nullptr;
  TcxEditCellViewInfo* cell = FController->GetFocusedCellViewInfo(FEditingItem);
  FEdit->InplaceParams = {FEditingItem, cell ? cell->GetRecordIndex() : -1};
  UpdateEdit();
  UpdateEditValue();
  AssignEditEvents();
  GetEditingControl()->DoInitEdit(FEditingItem, FEdit);
}

void TcxEditingController::AssignEditEvents() {
  FEdit->OnAfterKeyDown = TKeyEvent::Bind<&TcxEditingController::EditAfterKeyDown>(this);
  FEdit->OnEditing = TcxEditEditingEvent::Bind<&TcxEditingController::EditEditing>(this);
  FEdit->OnPostEditValue = TNotifyEvent::Bind<&TcxEditingController::EditPostEditValue>(this);
  FEdit->OnEnter = TNotifyEvent::Bind<&TcxEditingController::EditEnter>(this);
  FEdit->OnExit = TNotifyEvent::Bind<&TcxEditingController::EditExit>(this);
  FEdit->OnDblClick = TNotifyEvent::Bind<&TcxEditingController::EditDblClick>(this);
  FEdit->OnFocusChanged = TNotifyEvent::Bind<&TcxEditingController::EditFocusChanged>(this);
  FEdit->OnKeyDown = TKeyEvent::Bind<&TcxEditingController::EditKeyDown>(this);
  FEdit->OnKeyPress = TKeyPressEvent::Bind<&TcxEditingController::EditKeyPress>(this);
  FEdit->OnKeyUp = TKeyEvent::Bind<&TcxEditingController::EditKeyUp>(this);
  TcxCustomEditProperties* properties = FEdit->GetActiveProperties();
  properties->OnChange = TNotifyEvent::Bind<&TcxEditingController::EditChanged>(this);
  properties->OnEditValueChanged = TNotifyEvent::Bind<&TcxEditingController::EditValueChanged>(this);
}

void TcxEditingController::UnassignEditEvents() {
  FEdit->OnAfterKeyDown = nullptr;
  FEdit->OnEditing = nullptr;
  FEdit->OnPostEditValue = nullptr;
  FEdit->OnEnter = nullptr;
  FEdit->OnExit = nullptr;
  FEdit->OnDblClick = nullptr;
  FEdit->OnFocusChanged = nullptr;
  FEdit->OnKeyDown = nullptr;
  FEdit->OnKeyPress = nullptr;
  FEdit->OnKeyUp = nullptr;
  if (FSavedHandlersProperties) {
    FSavedHandlersProperties->OnChange = FSavedOnChange;
    FSavedHandlersProperties->OnEditValueChanged = FSavedOnEditValueChanged;
  }
  FSavedHandlersProperties = nullptr;
  FSavedOnChange = nullptr;
  FSavedOnEditValueChanged = nullptr;
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem) {
  if (!AItem) AItem = FController->GetFocusedItem();
  if (PrepareEdit(AItem, false)) {
    // Made by the editor as it starts, kept if the activation throws.
    orv::ScopeExit taken([AItem] { AItem->EditDataTaken(); });
    FEdit->Activate(AItem->EditData());
  }
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem, char Key) {
  if (!AItem) AItem = FController->GetFocusedItem();
  if (PrepareEdit(AItem, false)) {
    orv::ScopeExit taken([AItem] { AItem->EditDataTaken(); });
    FEdit->ActivateByKey(Key, AItem->EditData());
  }
}

void TcxEditingController::ShowEdit(TcxCustomInplaceEditContainer* AItem, TShiftState Shift, Integer X, Integer Y) {
  if (!AItem) AItem = FController->GetFocusedItem();
  if (PrepareEdit(AItem, true)) {
    orv::ScopeExit taken([AItem] { AItem->EditDataTaken(); });
    FEdit->ActivateByMouse(Shift, X, Y, AItem->EditData());
  }
}

void TcxEditingController::UpdateEdit() {
  if (!FEdit || !FEditingItem || !FController->GetFocusedCellViewInfo(FEditingItem)) return;
  if (FEditPreparing)
    DoUpdateEdit();
  else
    PostEditUpdate();
  FEditPlaced = true;
}

void TcxEditingController::DoUpdateEdit() {
  FEditUpdateNeeded = false;
  if (!GetIsEditing() || !FEdit) return;
  FController->BeforeShowEdit();
  TcxEditCellViewInfo* cell = FController->GetFocusedCellViewInfo(FController->GetFocusedItem());
  if (cell && cell->Visible && !cxRectIsEmpty(cell->EditRect)) {
    if (FEditPreparing) {
      cell->Refresh(false);
      cxAssignEditStyle(cell);
      FEdit->GetStyle()->Assign(GetEditingControl()->GetEditStyle());
    }
    // The cell draws its content inside the edit rectangle less its content
    // offset; the editor stands there too, so that the text, buttons and
    // marks the user sees stay put when the editor opens.
    FEdit->SetBoundsRect(cxRectInflate(cell->EditRect, cell->ContentOffset()));
    FEdit->SetVisible(true);
  } else {
    FEdit->SetLeft(cxInvisibleEditLeft);
  }
}

void TcxEditingController::CheckEditUpdatePost() {
  if (FEditUpdateNeeded) DoUpdateEdit();
}

void TcxEditingController::BeforeViewInfoCalculate() { FEditPlaced = false; }

void TcxEditingController::AfterViewInfoCalculate() {
  if (!GetIsEditing() || !FEdit) return;
  if (FEditPlaced && FEditingItem->IsEditPartVisible()) return;
  CancelEditUpdatePost();
  FEdit->SetLeft(cxInvisibleEditLeft);
}

void TcxEditingController::UpdateEditValue() {
  if (!GetIsEditing() || FEditHiding || FEditEditingCheck || !FEdit || FEdit->IsPosting()) return;
  FEdit->SetEditValue(FEditingItem->GetEditValue());
  FEdit->SelectAll();
}

void TcxEditingController::UpdateValue() {
  if (!GetIsEditing() || !FEdit || !FEdit->GetModifiedAfterEnter()) return;
  FEdit->ValidateEdit(true);
  FEditingItem->SetEditValue(FEdit->GetEditValue());
  FEdit->SetModifiedAfterEnter(false);
}

void TcxEditingController::HideEdit(bool Accept) {
  FController->CancelCheckEditPost();
  CancelEditUpdatePost();
  StopEditShowingTimer();
  TcxEditingControl* control = GetEditingControl();
  if (FEditHiding || !GetIsEditing() || control->GetIsDestroying()) return;
  FEditHiding = true;
  orv::ScopeExit clear([this] { FEditHiding = false; });
  TcxCustomInplaceEditContainer* item = FEditingItem;
  bool vanished = false;
  if (Accept) {
    if (FEdit && !FEdit->Deactivate()) Abort();
    TcxCustomDataController* dataController = control->GetDataController();
    dataController->PostEditingData();
    if (FController->IsImmediatePost()) dataController->Post();
    vanished = !FEditingItem;
    if (!vanished)
      if (TcxEditCellViewInfo* cell = item->GetFocusedCellViewInfo())
        if (FEdit && cell->Properties) FEdit->GetActiveProperties()->Update(cell->Properties);
  }
  // An item that stopped being edited while the value was posted has
  // nothing more to hear, but the editor still has to go.
  if (!vanished && !control->GetIsDestroying()) control->DoEdited(item);
  SetEditingItem(nullptr);
  FEditingItem = nullptr;
  bool stillThere = false;
  for (Integer i = 0; i < control->GetItemCount() && !stillThere; ++i) stillThere = control->GetItem(i) == item;
  FController->RefreshFocusedCellViewInfo(stillThere ? item : nullptr);
  HideInplaceEditor();
}

void TcxEditingController::HideInplaceEditor() {
  if (!FEdit) return;
  UnassignEditEvents();
  FEdit->SetModified(false);
  {
    const bool allow = FController->GetAllowCheckEdit();
    FController->SetAllowCheckEdit(false);
    orv::ScopeExit restore([this, allow] { FController->SetAllowCheckEdit(allow); });
    FController->SetFocus();
  }
  FEdit->SetVisible(false);
  SetEdit(nullptr);
}

void TcxEditingController::RemoveEdit(TcxCustomEditProperties* AProperties) {
  if (AProperties && AProperties == GetEditingProperties()) SetEditingItem(nullptr);
  if (AProperties) FEditList->RemoveItem(AProperties);
}

bool TcxEditingController::CanRemoveEditFocus() { return !GetIsEditing() || !FEdit || !FEdit->IsFocused() || FEditHiding; }

bool TcxEditingController::GetHideEditOnExit() {
  return !FController->GetAlwaysShowEditor() || GetEditingControl()->Focused();
}

bool TcxEditingController::GetHideEditOnFocusedRecordChange() {
  if (!FController->GetAlwaysShowEditor()) return true;
  TcxEditingControl* control = GetEditingControl();
  return (FEditingItem && FEditingItem->OnGetEditProperties) || control->HasEditingHandler() || control->OnInitEdit;
}

// ---------------------------------------------------------------------------
// The editor's events

void TcxEditingController::EditEnter(TObject*) {
  if (!FController->GetFocused()) FController->SetFocused(true);
  FController->ControlFocusChanged();
}

void TcxEditingController::EditExit(TObject*) {
  if (GetHideEditOnExit())
    HideEdit(!FController->GetCancelEditingOnExit());
  else if (!FController->GetCancelEditingOnExit())
    // An editor that stays on screen still hands over what was typed: the
    // editor forgets it was changed once it has left.
    UpdateValue();
  GetEditingControl()->FocusChanged();
}

void TcxEditingController::EditEditing(TObject*, bool& CanEdit) {
  FEditEditingCheck = true;
  orv::ScopeExit clear([this] { FEditEditingCheck = false; });
  CanEdit = FEditingItem && FEditingItem->CanInitEditing();
}

void TcxEditingController::EditChanged(TObject* Sender) {
  if (FSavedOnChange) FSavedOnChange(Sender);
  GetEditingControl()->DoEditChanged(FEditingItem);
}

void TcxEditingController::EditValueChanged(TObject* Sender) {
  if (FSavedOnEditValueChanged) FSavedOnEditValueChanged(Sender);
  GetEditingControl()->DoEditValueChanged(FEditingItem);
}

void TcxEditingController::EditPostEditValue(TObject*) { UpdateValue(); }

void TcxEditingController::EditDblClick(TObject* Sender) { FController->DoEditDblClick(Sender); }

void TcxEditingController::EditAfterKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (FController->IsKeyForController(Key, Shift)) FController->KeyDown(Key, Shift);
}

void TcxEditingController::EditKeyDown(TObject*, Word& Key, TShiftState Shift) {
  TcxEditingControl* control = GetEditingControl();
  if (control->OnKeyDown) control->OnKeyDown(control, Key, Shift);
  FController->BeforeEditKeyDown(Key, Shift);
  if (!control->GetIsScrollingContent() && FController->IsKeyForController(Key, Shift))
    FController->MakeFocusedItemVisible();
  switch (Key) {
    case win::VK_RETURN:
      HideEdit(true);
      if (FController->GetGoToNextCellOnEnter()) {
        FController->EditorKeyForwarding = true;
        {
          orv::ScopeExit clear([this] { FController->EditorKeyForwarding = false; });
          FController->KeyDown(Key, Shift);
        }
        ShowEdit(nullptr);
      } else {
        FController->CheckEdit();
      }
      Key = 0;
      break;
    case win::VK_ESCAPE: {
      const bool modified = FEdit && FEdit->GetModifiedAfterEnter();
      HideEdit(false);
      FController->CheckEdit();
      if (modified) {
        Key = 0;
      } else if (!GetIsEditing() && control->HandleAllocated() &&
                 (static_cast<win::UINT>(control->Perform(win::WM_GETDLGCODE)) & win::DLGC_WANTALLKEYS) == 0) {
        // The open editor takes every key, so the form has not seen this
        // one: with nothing changed it goes on to the form as if it had
        // been pressed on the control.
        if (TCustomForm* form = GetParentForm(control))
          if (form->Perform(win::CM_DIALOGKEY, Key, 0) != 0) Key = 0;
      }
      break;
    }
    case win::VK_DELETE:
      if (Shift == TShiftState{ssCtrl}) {
        FController->KeyDown(Key, Shift);
        Key = 0;
      }
      break;
    default:
      break;
  }
}

void TcxEditingController::EditKeyPress(TObject*, char& Key) {
  TcxEditingControl* control = GetEditingControl();
  if (control->OnKeyPress) control->OnKeyPress(control, Key);
  if (Key == '\x1B') Key = '\0';
  FController->MakeFocusedItemVisible();
}

void TcxEditingController::EditKeyUp(TObject*, Word& Key, TShiftState Shift) {
  TcxEditingControl* control = GetEditingControl();
  if (control->OnKeyUp) control->OnKeyUp(control, Key, Shift);
}

// ---------------------------------------------------------------------------
// The edit-showing timer

void TcxEditingController::StartEditShowingTimer(TcxCustomInplaceEditContainer* AItem) {
  StopEditShowingTimer();
  FEditShowingTimerItem = AItem;
  FEditShowingTimer = New<TcxTimer>(nullptr);
  FEditShowingTimer->SetInterval(static_cast<Cardinal>(GetDblClickInterval()));
  FEditShowingTimer->SetOnTimer(TNotifyEvent::Bind<&TcxEditingController::EditShowingTimerHandler>(this));
}

void TcxEditingController::StopEditShowingTimer() {
  FreeAndNil(FEditShowingTimer);
  FEditShowingTimerItem = nullptr;
}

void TcxEditingController::EditShowingTimerHandler(TObject*) {
  TcxCustomInplaceEditContainer* item = FEditShowingTimerItem;
  StopEditShowingTimer();
  if (item) item->SetEditing(true);
  FController->SetWasEditing(GetIsEditing());
}

// ---------------------------------------------------------------------------
// The hot-track controller

TcxHotTrackController::TcxHotTrackController(TcxEditingControl* AControl) : FControl(AControl) {}

void TcxHotTrackController::AfterConstruction() {
  inherited::AfterConstruction();
  FTimer = New<TcxTimer>(nullptr);
  FHintWindow = HintWindowClass.Create(nullptr);
  if (Application) FHintWindow->SetColor(Application->GetHintColor());
  ResetTimer();
}

TcxHotTrackController::~TcxHotTrackController() {
  FreeAndNil(FTimer);
  FreeAndNil(FHintWindow);
}

void TcxHotTrackController::Clear() {
  FHotPoint = cxInvalidPoint;
  FHotElement = nullptr;
}

void TcxHotTrackController::SetHotElement(TObject* AElement, const TPoint& P) {
  if (FControl->IsLocked()) {
    Clear();
    return;
  }
  if (AElement != FHotElement) {
    FHintElement = FHotElement;
    if (auto* old = Supports<IcxHotTrackElement>(FHotElement)) old->UpdateHotTrackState(cxInvalidPoint);
    if (auto* element = Supports<IcxHotTrackElement>(AElement)) element->UpdateHotTrackState(P);
  } else if (P != FHotPoint) {
    if (auto* element = Supports<IcxHotTrackElement>(AElement)) element->UpdateHotTrackState(P);
  }
  FHotPoint = P;
  FHotElement = AElement;
  if (FHintElement != AElement) CancelHint();
  if (HintNeeded()) InternalShowHint();
}

bool TcxHotTrackController::CanShowHint() {
  if (!ShowHint) return false;
  if (GetMouseKeys() & (win::MK_LBUTTON | win::MK_RBUTTON | win::MK_MBUTTON)) return false;
  TCustomForm* form = GetParentForm(FControl);
  if (!form || !Screen) return false;
  if (form != Screen->GetActiveForm() && !(form->GetFormStyle() == fsMDIForm && Application->GetActive()))
    return false;
  if (FControl->GetIsDesigning() || FControl->Dragging() || FControl->GetDragAndDropState() != ddsNone) return false;
  TcxCustomControlController* controller = FControl->GetController();
  return !controller->GetIsEditing() || FHotElement != controller->GetEditingViewInfo();
}

void TcxHotTrackController::CheckHintClass() {
  if (FHintWindow && TClass(HintWindowClass) == FHintWindow->ClassType()) return;
  FreeAndNil(FHintWindow);
  FHintWindow = HintWindowClass.Create(nullptr);
  if (Application) FHintWindow->SetColor(Application->GetHintColor());
}

Integer TcxHotTrackController::CursorOffset() {
  Integer height = win::GetSystemMetrics(win::SM_CYCURSOR);
  win::CursorImage image;
  if (!win::GetCursorImage(win::GetCursor(), image) || image.width <= 0) return height;
  auto lowestRow = [&](const std::vector<std::uint8_t>& AMask, std::uint8_t AVisible) {
    for (Integer y = image.height - 1; y >= 0; --y)
      for (Integer x = 0; x < image.width; ++x)
        if (AMask[static_cast<size_t>(y * image.width + x)] == AVisible) return y;
    return -1;
  };
  Integer lowest = lowestRow(image.andMask, 0);
  if (lowest < 0) lowest = lowestRow(image.xorMask, 1);
  if (lowest >= 0) height = lowest + 1;
  return height - image.hotSpot.Y;
}

bool TcxHotTrackController::HintNeeded() {
  auto* element = Supports<IcxHotTrackElement>(FHotElement);
  if (!element || !CanShowHint()) return false;
  CheckHintClass();
  bool offset = false;
  TRect textRect;
  TcxScreenCanvas* canvas = cxScreenCanvas();
  if (!element->IsNeedHint(canvas, FHotPoint, FHintText, FHintIsMultiLine, textRect, offset)) return false;
  TPoint p = FControl->ClientToScreen(element->GetOrigin());
  if (offset) p.Y += CursorOffset();
  FHintWindow->GetFont()->Assign(canvas->GetFont());
  if (dynamic_cast<TcxEditCellViewInfo*>(FHotElement)) {
    --p.X;
    --p.Y;
  }
  const Integer maxWidth = Screen ? Screen->GetWidth() : 1024;
  FHintRect = cxRectOffset(FHintWindow->CalcHintRect(maxWidth, FHintText, nullptr), p);
  return true;
}

void TcxHotTrackController::InternalShowHint() {
  if (FHintVisible || FHintElement == FHotElement) return;
  DoShowHint();
  FHintElement = FHotElement;
  FHintVisible = true;
  FHintWindow->ActivateHint(FHintRect, FHintText);
  const Integer pause = Application ? Application->GetHintHidePause() : 0;
  FTimerShows = false;
  FTimer->SetEnabled(false);
  if (pause >= 1) {
    FTimer->SetInterval(static_cast<Cardinal>(pause));
    FTimer->SetEnabled(true);
  }
}

void TcxHotTrackController::InternalHideHint() {
  if (!FHintVisible) return;
  DoHideHint();
  FHintVisible = false;
  FHintWindow->ReleaseHandle();
  ResetTimer();
}

void TcxHotTrackController::CancelHint() { InternalHideHint(); }

void TcxHotTrackController::ResetTimer() {
  FTimer->SetEnabled(false);
  FTimerShows = true;
  const Integer pause = Application ? Application->GetHintPause() : 500;
  FTimer->SetInterval(static_cast<Cardinal>(std::max(pause, 1)));
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxHotTrackController::TimerHandler>(this));
}

void TcxHotTrackController::TimerHandler(TObject*) {
  if (FTimerShows)
    InternalShowHint();
  else
    InternalHideHint();
}

void TcxHotTrackController::CheckDestroyingElement(TObject* AElement) {
  if (AElement == FHotElement) FHotElement = nullptr;
  if (AElement == FHintElement) {
    CancelHint();
    FHintElement = nullptr;
  }
  SetHotElement(nullptr, cxInvalidPoint);
}

void TcxEditingController::ItemRemoved(TcxCustomInplaceEditContainer* AItem) {
  if (FEditShowingTimerItem == AItem) StopEditShowingTimer();
  if (FEditingItem != AItem) return;
  FEditingItem = nullptr;
  if (!FEdit) return;
  UnassignEditEvents();
  FEdit->SetModified(false);
  FEdit->SetVisible(false);
  SetEdit(nullptr);
}
