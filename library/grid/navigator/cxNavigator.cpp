#include "library/grid/navigator/cxNavigator.h"

#include <algorithm>

ORV_REGISTER(TcxNavigatorControlNotifier)
ORV_REGISTER(TcxCustomNavigator, ORV_EVENT(ButtonsEvents))
ORV_REGISTER(TcxCustomNavigatorControl)
ORV_REGISTER(TcxNavigatorControlButtons, ORV_PROP(ConfirmDelete).Default(true), ORV_PROP(Images),
             ORV_PROP(First), ORV_PROP(PriorPage), ORV_PROP(Prior), ORV_PROP(Next), ORV_PROP(NextPage),
             ORV_PROP(Last), ORV_PROP(Insert), ORV_PROP(Delete), ORV_PROP(Edit), ORV_PROP(Post), ORV_PROP(Cancel),
             ORV_PROP(Refresh), ORV_PROP(SaveBookmark), ORV_PROP(GotoBookmark), ORV_PROP(Filter))
ORV_REGISTER(TcxNavigator, ORV_PROP(Control), ORV_PROP(Buttons))

// ---------------------------------------------------------------------------
// TcxNavigatorControlNotifier

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* ANavigator) {
  if (std::find(FList.begin(), FList.end(), ANavigator) == FList.end()) FList.push_back(ANavigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* ANavigator) {
  FList.erase(std::remove(FList.begin(), FList.end(), ANavigator), FList.end());
}

void TcxNavigatorControlNotifier::RefreshNavigatorButtons() {
  // A navigator may unbind itself while it is told: walk a copy.
  const std::vector<IcxNavigatorOwner*> list = FList;
  for (IcxNavigatorOwner* navigator : list)
    if (std::find(FList.begin(), FList.end(), navigator) != FList.end()) navigator->NavigatorButtonsStateChanged();
}

// ---------------------------------------------------------------------------
// TcxCustomNavigator

TcxCustomNavigator::TcxCustomNavigator(TComponent* AOwner) : TcxControl(AOwner) {
  TControlStyle style = GetControlStyle();
  style.Exclude(csAcceptsControls);
  style.Exclude(csSetCaption);
  style.Include(csOpaque);
  SetControlStyle(style);
  SetKeys(TcxKeys{kArrows});
  SetHeight(25);
}

void TcxCustomNavigator::AfterConstruction() {
  FButtons = CreateButtons();
  FViewInfo = GetViewInfoClass().Construct<IcxNavigatorOwner*, bool>(this, false);
  inherited::AfterConstruction();
  // The control's start-up makes every focusable control a tab stop; a
  // navigator is reached by the mouse unless asked otherwise.
  SetTabStop(false);
}

TcxCustomNavigator::~TcxCustomNavigator() = default;

void TcxCustomNavigator::BeforeDestruction() {
  EndMouseTracking(this);
  FreeAndNil(FViewInfo);
  FreeAndNil(FButtons);
  inherited::BeforeDestruction();
}

TcxCustomNavigatorButtons* TcxCustomNavigator::CreateButtons() {
  return New<TcxCustomNavigatorButtons>(static_cast<IcxNavigatorOwner*>(this));
}

TcxNavigatorViewInfoClass TcxCustomNavigator::GetViewInfoClass() { return TcxNavigatorViewInfo::StaticClass(); }

void TcxCustomNavigator::InitButtons() {
  for (Integer i = 0; i < FButtons->GetButtonCount(); ++i) {
    TcxNavigatorButton* button = FButtons->GetButton(i);
    if (!button->GetVisibleAssigned()) button->InternalSetVisible(true, true);
  }
}

void TcxCustomNavigator::RestoreButtons() {
  for (Integer i = 0; i < FButtons->GetButtonCount(); ++i) FButtons->GetButton(i)->SetVisibleAssigned(false);
  InitButtons();
}

TRect TcxCustomNavigator::GetNavigatorBounds() { return TRect(0, 0, GetClientWidth(), GetClientHeight()); }

TCanvas* TcxCustomNavigator::GetNavigatorCanvas() { return GetCanvas()->GetCanvas(); }

void TcxCustomNavigator::NavigatorButtonsStateChanged() {
  if (FViewInfo) FViewInfo->UpdateButtonsEnabled();
}

void TcxCustomNavigator::RefreshNavigator() {
  if (!FViewInfo || !HandleAllocated()) return;
  Integer width = GetWidth(), height = GetHeight();
  FViewInfo->CheckSize(width, height, false);
  if (width == GetWidth() && height == GetHeight())
    Invalidate();
  else
    SetBounds(GetLeft(), GetTop(), width, height);
}

bool TcxCustomNavigator::CanResize(Integer& NewWidth, Integer& NewHeight) {
  const bool result = inherited::CanResize(NewWidth, NewHeight);
  if (result && FViewInfo && HandleAllocated()) FViewInfo->CheckSize(NewWidth, NewHeight, false);
  return result;
}

void TcxCustomNavigator::CreateWnd() {
  inherited::CreateWnd();
  RefreshNavigator();
}

void TcxCustomNavigator::WndProc(TMessage& Message) {
  if (FViewInfo && FViewInfo->GetHintActive()) {
    const win::UINT msg = Message.Msg;
    const bool key = msg >= win::WM_KEYFIRST && msg <= 0x109;
    const bool mouse = msg >= win::WM_LBUTTONDOWN && msg <= win::WM_MOUSEWHEEL;
    if (key || mouse || msg == win::CM_ACTIVATE || msg == win::CM_DEACTIVATE || msg == win::CM_APPKEYDOWN ||
        msg == win::CM_APPSYSCOMMAND || msg == win::WM_COMMAND || msg == win::WM_NCMOUSEMOVE)
      FViewInfo->HintActivate(false);
  }
  inherited::WndProc(Message);
}

void TcxCustomNavigator::CMHintShow(TMessage& Message) { Message.Result = 1; }

void TcxCustomNavigator::CMEnabledChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  RefreshNavigator();
  if (FViewInfo) FViewInfo->UpdateButtonsEnabled();
}

void TcxCustomNavigator::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  inherited::LookAndFeelChanged(Sender, AChangedValues);
  RefreshNavigator();
  Invalidate();
}

void TcxCustomNavigator::Paint() { FViewInfo->Paint(); }

bool TcxCustomNavigator::CanFocusOnClick() { return inherited::CanFocusOnClick() && GetTabStop(); }

void TcxCustomNavigator::DoEnter() {
  inherited::DoEnter();
  FViewInfo->DoEnter();
}

void TcxCustomNavigator::DoExit() {
  inherited::DoExit();
  FViewInfo->DoExit();
}

void TcxCustomNavigator::KeyDown(Word& Key, TShiftState Shift) {
  inherited::KeyDown(Key, Shift);
  switch (Key) {
    case win::VK_LEFT:
    case win::VK_RIGHT:
      FViewInfo->PressArrowKey(Key == win::VK_LEFT);
      break;
    case win::VK_SPACE:
      if (TcxNavigatorButtonViewInfo* focused = FViewInfo->GetFocusedButton())
        if (focused->Button->GetInternalEnabled()) focused->Button->DoClick();
      break;
    default:
      break;
  }
}

void TcxCustomNavigator::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft) FViewInfo->MouseDown(X, Y);
}

void TcxCustomNavigator::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseMove(Shift, X, Y);
  FViewInfo->MouseMove(X, Y);
  BeginMouseTracking(this, GetClientRect(), this);
}

void TcxCustomNavigator::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  FViewInfo->MouseUp(X, Y);
}

void TcxCustomNavigator::MouseEnter(TControl* AControl) {
  inherited::MouseEnter(AControl);
  if (!GetIsDesigning()) BeginMouseTracking(this, GetClientRect(), this);
}

void TcxCustomNavigator::MouseLeave(TControl* AControl) {
  inherited::MouseLeave(AControl);
  if (GetIsDesigning()) return;
  EndMouseTracking(this);
  NavigatorMouseLeave();
}

void TcxCustomNavigator::NavigatorMouseLeave() {
  if (FViewInfo) FViewInfo->MouseMove(-1, -1);
}

void TcxCustomNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FButtons && AComponent == FButtons->GetImages()) FButtons->SetImages(nullptr);
}

// ---------------------------------------------------------------------------
// TcxCustomNavigatorControl

void TcxCustomNavigatorControl::BeforeDestruction() {
  SetControl(nullptr);
  inherited::BeforeDestruction();
}

TClassRef<TcxNavigatorControlButtons> TcxCustomNavigatorControl::GetButtonsClass() {
  return TcxNavigatorControlButtons::StaticClass();
}

TcxCustomNavigatorButtons* TcxCustomNavigatorControl::CreateButtons() {
  auto* buttons = GetButtonsClass().Construct<IcxNavigatorOwner*>(static_cast<IcxNavigatorOwner*>(this));
  buttons->OnGetControl = TcxNavigatorControlButtonsGetControl::Bind<&TcxCustomNavigatorControl::GetNavigatorControlInterface>(this);
  return buttons;
}

TcxNavigatorControlButtons* TcxCustomNavigatorControl::GetButtons() const {
  return static_cast<TcxNavigatorControlButtons*>(GetCustomButtons());
}

void TcxCustomNavigatorControl::SetButtons(TcxNavigatorControlButtons* Value) { GetButtons()->Assign(Value); }

IcxNavigator* TcxCustomNavigatorControl::GetNavigatorControlInterface() { return Supports<IcxNavigator>(FControl); }

void TcxCustomNavigatorControl::SetControl(TComponent* Value) {
  if (FControl == Value) return;
  IcxNavigator* navigator = Supports<IcxNavigator>(Value);
  if (Value && !navigator) return;
  if (FControl) {
    FControl->RemoveFreeNotification(this);
    if (IcxNavigator* old = Supports<IcxNavigator>(FControl))
      if (TcxNavigatorControlNotifier* notifier = old->NavigatorGetNotifier()) notifier->RemoveNavigator(this);
  }
  FControl = Value;
  if (FControl) {
    FControl->FreeNotification(this);
    if (TcxNavigatorControlNotifier* notifier = navigator->NavigatorGetNotifier()) notifier->AddNavigator(this);
  }
  if (GetIsDestroying()) return;
  InitButtons();
  RefreshNavigator();
  if (GetViewInfo()) {
    GetViewInfo()->MakeIsDirty();
    Invalidate();
  }
}

void TcxCustomNavigatorControl::InitButtons() {
  IcxNavigator* control = GetNavigatorControlInterface();
  TcxCustomNavigatorButtons* buttons = GetCustomButtons();
  for (Integer i = 0; i < buttons->GetButtonCount(); ++i) {
    TcxNavigatorButton* button = buttons->GetButton(i);
    if (button->GetVisibleAssigned()) continue;
    button->InternalSetVisible(!control || control->NavigatorIsActionSupported(button->GetDefaultIndex()), true);
  }
}

void TcxCustomNavigatorControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FControl) SetControl(nullptr);
}

// ---------------------------------------------------------------------------
// TcxNavigatorControlButtons

bool TcxNavigatorControlButtons::GetButtonEnabled(Integer AIndex) {
  IcxNavigator* control = GetControl();
  if (!control || !inherited::GetButtonEnabled(AIndex)) return false;
  const bool active = control->NavigatorIsActive();
  switch (AIndex) {
    case NBDI_FIRST:
    case NBDI_PRIORPAGE:
    case NBDI_PRIOR:
      return active && !control->NavigatorIsBof();
    case NBDI_NEXT:
    case NBDI_NEXTPAGE:
    case NBDI_LAST:
      return active && !control->NavigatorIsEof();
    case NBDI_INSERT:
      return active && control->NavigatorCanInsert();
    case NBDI_DELETE:
      return active && control->NavigatorCanDelete();
    case NBDI_EDIT:
      return active && control->NavigatorCanEdit() && !control->NavigatorIsEditing();
    case NBDI_POST:
    case NBDI_CANCEL:
      return active && control->NavigatorIsEditing();
    case NBDI_REFRESH:
    case NBDI_SAVEBOOKMARK:
      return active;
    case NBDI_GOTOBOOKMARK:
      return active && control->NavigatorIsBookmarkAvailable();
    case NBDI_FILTER:
      return true;
    default:
      return active;
  }
}

void TcxNavigatorControlButtons::DoButtonClick(Integer AIndex) {
  IcxNavigator* control = GetControl();
  if (!control) return;
  control->NavigatorDoAction(AIndex);
  GetNavigator()->NavigatorButtonsStateChanged();
}

void TcxNavigatorControlButtons::ReleaseBookmark() {
  if (IcxNavigator* control = GetControl())
    if (control->NavigatorIsBookmarkAvailable()) control->NavigatorClearBookmark();
}
