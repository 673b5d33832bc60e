#include "library/editors/core/cxPopupEdit.h"

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditErrors.h"

ORV_REGISTER(TcxCustomPopupEditProperties)
ORV_REGISTER(TcxPopupEditProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false),
             ORV_PROP(ButtonGlyph), ORV_PROP(CaseInsensitive).Default(true), ORV_PROP(CharCase).Default(ecNormal),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(EchoMode).Default(eemNormal),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(IgnoreMaskBlank).Default(false),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(ImmediateDropDown).Default(true),
             ORV_PROP(ImmediatePopup).Default(true), ORV_PROP(IncrementalSearch).Default(true),
             ORV_PROP(LookupItems), ORV_PROP(LookupItemsSorted).Default(false),
             ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
             ORV_PROP(MaskKind).Default(emkStandard), ORV_PROP(EditMask), ORV_PROP(OEMConvert).Default(false),
             ORV_PROP(PasswordChar).Default('\0'), ORV_PROP(PopupAlignment).Default(taLeftJustify),
             ORV_PROP(PopupAutoSize).Default(true), ORV_PROP(PopupClientEdge).Default(false),
             ORV_PROP(PopupControl), ORV_PROP(PopupHeight).Default(200), ORV_PROP(PopupMinHeight).Default(100),
             ORV_PROP(PopupMinWidth).Default(100), ORV_PROP(PopupSizeable).Default(true),
             ORV_PROP(PopupSysPanelStyle).Default(false), ORV_PROP(PopupWidth).Default(250),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_EVENT(OnChange), ORV_EVENT(OnCloseQuery),
             ORV_EVENT(OnCloseUp), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitPopup), ORV_EVENT(OnPopup),
             ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomPopupEdit)
ORV_REGISTER(TcxPopupEdit)

// --- properties ----------------------------------------------------------------------------

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner) {
  FFreeNotificator = New<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification =
      Event<void(TComponent*)>::Bind<&TcxCustomPopupEditProperties::PopupControlFreed>(this);
}

void TcxCustomPopupEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  SetPopupAutoSize(true);
  SetPopupMinHeight(100);
  SetPopupMinWidth(100);
  SetPopupHeight(200);
  SetPopupWidth(250);
  SetPopupSizeable(true);
}

TcxCustomPopupEditProperties::~TcxCustomPopupEditProperties() { FFreeNotificator->Free(); }

void TcxCustomPopupEditProperties::DoAssign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomPopupEditProperties*>(Source)) SetPopupControl(source->FPopupControl);
  inherited::DoAssign(Source);
}

TClass TcxCustomPopupEditProperties::GetContainerClass() const { return TcxPopupEdit::StaticClass(); }

TClassRef<TcxCustomEditPopupWindow> TcxCustomPopupEditProperties::GetPopupWindowClass() const {
  return TcxPopupEditPopupWindow::StaticClass();
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (Value == FPopupControl) return;
  if (FPopupControl) FFreeNotificator->RemoveSender(FPopupControl);
  FPopupControl = Value;
  if (FPopupControl) FFreeNotificator->AddSender(FPopupControl);
}

void TcxCustomPopupEditProperties::PopupControlFreed(TComponent* Sender) {
  if (Sender == FPopupControl) FPopupControl = nullptr;
}

void TcxPopupEditProperties::AfterConstruction() {
  inherited::AfterConstruction();
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

// --- editor ------------------------------------------------------------------------------------

TClassRef<TcxCustomEditProperties> TcxCustomPopupEdit::GetPropertiesClass() const {
  return TcxCustomPopupEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxPopupEdit::GetPropertiesClass() const {
  return TcxPopupEditProperties::StaticClass();
}

TcxCustomPopupEdit::~TcxCustomPopupEdit() {
  if (FWatcher) FWatcher->Free();
}

bool TcxCustomPopupEdit::CanDropDown() { return GetActiveProperties()->GetPopupControl() != nullptr; }

void TcxCustomPopupEdit::DoInitPopup() {
  TControl* control = GetActiveProperties()->GetPopupControl();
  bool circular = control && (control == GetPopupWindow() || control == this);
  for (TWinControl* parent = GetParent(); control && parent && !circular; parent = parent->GetParent())
    circular = parent == control;
  if (circular) throw EcxEditError(cxEditResString(cxSEditPopupCircularReferencingError));
  inherited::DoInitPopup();
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusedControl() {
  return dynamic_cast<TWinControl*>(GetActiveProperties()->GetPopupControl());
}

TSize TcxCustomPopupEdit::GetPopupWindowClientPreferredSize() {
  TControl* control = FHostedControl ? FHostedControl : GetActiveProperties()->GetPopupControl();
  return control ? TSize(control->GetWidth(), control->GetHeight()) : TSize(0, 0);
}

void TcxCustomPopupEdit::PositionPopupWindowChilds(const TRect& AClientRect) {
  if (FHostedControl) FHostedControl->SetBoundsRect(AClientRect);
}

void TcxCustomPopupEdit::SetupPopupWindow() {
  if (!FHostedControl) {
    SavePopupControlData();
    if (FHostedControl) {
      FHostedControl->SetParent(GetPopupWindow());
      FHostedControl->SetVisible(true);
    }
  }
  inherited::SetupPopupWindow();
  if (FHostedControl) FHostedControl->SetAlign(alClient);
}

void TcxCustomPopupEdit::SavePopupControlData() {
  TControl* control = GetActiveProperties()->GetPopupControl();
  if (!control) return;
  FHostedControl = control;
  FPrevAlign = control->GetAlign();
  if (auto* form = dynamic_cast<TCustomForm*>(control)) {
    FPrevBorderStyle = form->GetBorderStyle();
    form->SetBorderStyle(bsNone);
  }
  FPrevBounds = control->GetBoundsRect();
  FPrevParent = control->GetParent();
  FPrevParentLost = false;
  FPrevVisible = control->GetVisible();
  // Neither the control nor its old parent may vanish unnoticed while the
  // control is away.
  if (!FWatcher) {
    FWatcher = New<TcxFreeNotificator>(nullptr);
    FWatcher->OnFreeNotification = Event<void(TComponent*)>::Bind<&TcxCustomPopupEdit::WatchedFreed>(this);
  }
  FWatcher->AddSender(control);
  if (FPrevParent) FWatcher->AddSender(FPrevParent);
}

void TcxCustomPopupEdit::Unwatch() {
  if (!FWatcher) return;
  if (FHostedControl) FWatcher->RemoveSender(FHostedControl);
  if (FPrevParent) FWatcher->RemoveSender(FPrevParent);
}

// A hosted control that goes closes the popup with nothing to give back;
// an old parent that goes leaves the control to come back without one.
void TcxCustomPopupEdit::WatchedFreed(TComponent* Sender) {
  if (Sender == FHostedControl) {
    Unwatch();
    FHostedControl = nullptr;
    FPrevParent = nullptr;
    CloseUp(crUnknown);
  } else if (Sender == FPrevParent) {
    FPrevParent = nullptr;
    FPrevParentLost = true;
  }
}

void TcxCustomPopupEdit::RestorePopupControlData() {
  TControl* control = FHostedControl;
  if (!control) return;
  Unwatch();
  FHostedControl = nullptr;
  control->SetVisible(false);
  control->SetParent(FPrevParent);
  control->SetAlign(FPrevAlign);
  control->SetBoundsRect(FPrevBounds);
  // Without its old parent the control stays hidden rather than pop up as
  // a stray window.
  control->SetVisible(FPrevVisible && !FPrevParentLost);
  FPrevParentLost = false;
  if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SetBorderStyle(FPrevBorderStyle);
  FPrevParent = nullptr;
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* Sender) {
  RestorePopupControlData();
  inherited::PopupWindowClosed(Sender);
}

void TcxCustomPopupEdit::HidePopup(TObject*, TcxEditCloseUpReason AReason) {
  FCloseUpReason = AReason;
  if (GetPopupWindow()) GetPopupWindow()->ClosePopup();
}
