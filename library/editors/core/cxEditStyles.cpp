#include "library/editors/core/cxEditStyles.h"

#include "library/editors/core/cxEditProperties.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomEditStyle)
ORV_REGISTER(TcxEditStyle,
             ORV_PROP_RW(BorderStyle, GetEditBorderStyle, SetEditBorderStyle)
                 .StoredBy<&TcxContainerStyle::IsBorderStyleStored>(),
             ORV_PROP(ButtonStyle).StoredBy<&TcxCustomEditStyle::IsButtonStyleStored>(),
             ORV_PROP(ButtonTransparency).StoredBy<&TcxCustomEditStyle::IsButtonTransparencyStored>(),
             ORV_PROP(PopupBorderStyle).StoredBy<&TcxCustomEditStyle::IsPopupBorderStyleStored>(),
             ORV_PROP_RW(StyleController, GetEditStyleController, SetEditStyleController)
                 .StoredBy<&TcxContainerStyle::IsStyleControllerStored>())
ORV_REGISTER(TcxEditStyleController, ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused),
             ORV_PROP(StyleHot), ORV_EVENT(OnStyleChanged))
ORV_REGISTER(TcxDefaultEditStyleController, ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused),
             ORV_PROP(StyleHot), ORV_PROP(OnStyleChanged))

namespace {

const char* const EditStyleValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle",
                                           "GradientButtons"};

TcxEditStyleController* DefaultController = nullptr;
Integer DefaultControllerInstances = 0;

}  // namespace

TcxEditStyleController* DefaultEditStyleController() { return DefaultController; }

void cxCreateDefaultEditStyleController() {
  if (!DefaultController) DefaultController = New<TcxEditStyleController>(nullptr);
}

void cxFreeDefaultEditStyleController() { FreeAndNil(DefaultController); }

// ---------------------------------------------------------------------------

bool TcxCustomEditStyle::GetStyleValueName(TcxContainerStyleValue AStyleValue, AnsiString& AName) {
  if (AStyleValue < svButtonStyle) return inherited::GetStyleValueName(AStyleValue, AName);
  if (AStyleValue > svGradientButtons) return false;
  AName = EditStyleValueNames[AStyleValue - svButtonStyle];
  return true;
}

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  TcxEditButtonStyle buttonStyle;
  TcxEditButtonTransparency transparency;
  TcxEditPopupBorderStyle popupBorderStyle;
  bool flag;
  switch (AValue) {
    case svButtonStyle: return InternalGetButtonStyle(buttonStyle);
    case svButtonTransparency: return InternalGetButtonTransparency(transparency);
    case svPopupBorderStyle: return InternalGetPopupBorderStyle(popupBorderStyle);
    case svGradientButtons: return InternalGetGradientButtons(flag);
    default: return inherited::IsValueAssigned(AValue);
  }
}

TcxContainerStyleValues TcxCustomEditStyle::InternalGetNotPublishedExtendedStyleValues() {
  TcxContainerStyleValues values = inherited::InternalGetNotPublishedExtendedStyleValues();
  values.Include(svButtonTransparency);
  values.Include(svPopupBorderStyle);
  values.Include(svGradientButtons);
  return values;
}

TcxStyleController* TcxCustomEditStyle::GetDefaultStyleController() {
  if (GetDirectAccessMode()) return nullptr;
  if (IcxContainerStyleOwner* container = GetContainer())
    if (container->IsInplace()) return nullptr;
  return DefaultEditStyleController();
}

TcxCustomEditStyle* TcxCustomEditStyle::ControllerEditStyle() {
  TcxStyleController* controller = GetActiveStyleController();
  if (!controller) return nullptr;
  auto* style = dynamic_cast<TcxCustomEditStyle*>(controller->GetInternalStyle(GetState()));
  return style == this ? nullptr : style;
}

#define CX_EDIT_INTERNAL_GETTER(Name, Type, Index, Field)   \
  bool TcxCustomEditStyle::InternalGet##Name(Type& Value) { \
    if (FAssignedValues.Contains(Index)) {                  \
      Value = Field;                                        \
      return true;                                          \
    }                                                       \
    TcxCustomEditStyle* style = ControllerEditStyle();      \
    return style && style->InternalGet##Name(Value);        \
  }

CX_EDIT_INTERNAL_GETTER(ButtonStyle, TcxEditButtonStyle, svButtonStyle, FButtonStyle)
CX_EDIT_INTERNAL_GETTER(ButtonTransparency, TcxEditButtonTransparency, svButtonTransparency, FButtonTransparency)
CX_EDIT_INTERNAL_GETTER(GradientButtons, bool, svGradientButtons, FGradientButtons)
CX_EDIT_INTERNAL_GETTER(PopupBorderStyle, TcxEditPopupBorderStyle, svPopupBorderStyle, FPopupBorderStyle)
#undef CX_EDIT_INTERNAL_GETTER

template <class T>
T TcxCustomEditStyle::ReadValue(TcxContainerStyleValue AIndex, bool (TcxCustomEditStyle::*AInternalGet)(T&),
                                T (TcxCustomEditStyle::*ADefault)()) {
  // Direct values never read a controller: their own value or the default.
  if (GetDirectAccessMode() && !FAssignedValues.Contains(AIndex)) return (this->*ADefault)();
  T value{};
  return (this->*AInternalGet)(value) ? value : (this->*ADefault)();
}

template <class T>
void TcxCustomEditStyle::WriteValue(TcxContainerStyleValue AIndex, T& AField, const T& Value) {
  if (FAssignedValues.Contains(AIndex) && AField == Value) return;
  AField = Value;
  FAssignedValues.Include(AIndex);
  Changed();
}

TcxEditButtonStyle TcxCustomEditStyle::GetButtonStyle() {
  return ReadValue(svButtonStyle, &TcxCustomEditStyle::InternalGetButtonStyle,
                   &TcxCustomEditStyle::DefaultButtonStyle);
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle Value) { WriteValue(svButtonStyle, FButtonStyle, Value); }

TcxEditButtonTransparency TcxCustomEditStyle::GetButtonTransparency() {
  return ReadValue(svButtonTransparency, &TcxCustomEditStyle::InternalGetButtonTransparency,
                   &TcxCustomEditStyle::DefaultButtonTransparency);
}

void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency Value) {
  if (!IsBaseStyle())
    GetBaseEditStyle()->SetButtonTransparency(Value);
  else
    WriteValue(svButtonTransparency, FButtonTransparency, Value);
}

bool TcxCustomEditStyle::GetGradientButtons() {
  return ReadValue(svGradientButtons, &TcxCustomEditStyle::InternalGetGradientButtons,
                   &TcxCustomEditStyle::DefaultGradientButtons);
}

void TcxCustomEditStyle::SetGradientButtons(bool Value) {
  if (!IsBaseStyle())
    GetBaseEditStyle()->SetGradientButtons(Value);
  else
    WriteValue(svGradientButtons, FGradientButtons, Value);
}

TcxEditPopupBorderStyle TcxCustomEditStyle::GetPopupBorderStyle() {
  return ReadValue(svPopupBorderStyle, &TcxCustomEditStyle::InternalGetPopupBorderStyle,
                   &TcxCustomEditStyle::DefaultPopupBorderStyle);
}

void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle Value) {
  if (!IsBaseStyle())
    GetBaseEditStyle()->SetPopupBorderStyle(Value);
  else
    WriteValue(svPopupBorderStyle, FPopupBorderStyle, Value);
}

bool TcxCustomEditStyle::GetPopupCloseButton() {
  return IsBaseStyle() ? FPopupCloseButton : GetBaseEditStyle()->GetPopupCloseButton();
}

void TcxCustomEditStyle::SetPopupCloseButton(bool Value) {
  if (!IsBaseStyle()) {
    GetBaseEditStyle()->SetPopupCloseButton(Value);
    return;
  }
  if (FPopupCloseButton == Value) return;
  FPopupCloseButton = Value;
  Changed();
}

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() {
  return IsBaseStyle() ? btsDefault : GetBaseEditStyle()->GetButtonStyle();
}

TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() {
  return IsBaseStyle() ? ebtNone : GetBaseEditStyle()->GetButtonTransparency();
}

bool TcxCustomEditStyle::DefaultGradientButtons() {
  return IsBaseStyle() ? false : GetBaseEditStyle()->GetGradientButtons();
}

TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() {
  return IsBaseStyle() ? epbsDefault : GetBaseEditStyle()->GetPopupBorderStyle();
}

TcxEditStyleController* TcxCustomEditStyle::GetEditStyleController() {
  return dynamic_cast<TcxEditStyleController*>(GetStyleController());
}

void TcxCustomEditStyle::SetEditStyleController(TcxEditStyleController* Value) { SetStyleController(Value); }

void TcxCustomEditStyle::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditStyle*>(Source);
  if (!source) {
    inherited::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  FButtonStyle = source->FButtonStyle;
  FButtonTransparency = source->FButtonTransparency;
  FGradientButtons = source->FGradientButtons;
  FPopupBorderStyle = source->FPopupBorderStyle;
  FPopupCloseButton = source->FPopupCloseButton;
  inherited::DoAssign(Source);
  Changed();
}

void TcxCustomEditStyle::Init(const TcxViewParams& AParams) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  SetColor(AParams.Color);
  if (AParams.Font) SetFont(AParams.Font);
  SetTextColor(AParams.TextColor);
}

// ---------------------------------------------------------------------------

TcxDefaultEditStyleController::TcxDefaultEditStyleController(TComponent* AOwner) : TComponent(AOwner) {
  ++DefaultControllerInstances;
}

TcxDefaultEditStyleController::~TcxDefaultEditStyleController() {
  if (--DefaultControllerInstances == 0 && DefaultController) {
    DefaultController->RestoreStyles();
    DefaultController->OnStyleChanged = nullptr;
  }
}

Integer TcxDefaultEditStyleController::InstanceCount() { return DefaultControllerInstances; }

void TcxDefaultEditStyleController::RestoreStyles() {
  if (DefaultController) DefaultController->RestoreStyles();
}

TcxEditStyle* TcxDefaultEditStyleController::GetInternalStyle(TcxContainerStateItem AState) const {
  return DefaultController ? DefaultController->GetInternalStyle(AState) : nullptr;
}

void TcxDefaultEditStyleController::SetInternalStyle(TcxContainerStateItem AState, TcxEditStyle* Value) {
  if (DefaultController) DefaultController->SetInternalStyle(AState, Value);
}

TcxEditStyle* TcxDefaultEditStyleController::GetStyle() const { return GetInternalStyle(csNormal); }
void TcxDefaultEditStyleController::SetStyle(TcxEditStyle* Value) { SetInternalStyle(csNormal, Value); }
TcxEditStyle* TcxDefaultEditStyleController::GetStyleDisabled() const { return GetInternalStyle(csDisabled); }
void TcxDefaultEditStyleController::SetStyleDisabled(TcxEditStyle* Value) { SetInternalStyle(csDisabled, Value); }
TcxEditStyle* TcxDefaultEditStyleController::GetStyleFocused() const { return GetInternalStyle(csActive); }
void TcxDefaultEditStyleController::SetStyleFocused(TcxEditStyle* Value) { SetInternalStyle(csActive, Value); }
TcxEditStyle* TcxDefaultEditStyleController::GetStyleHot() const { return GetInternalStyle(csHotTrack); }
void TcxDefaultEditStyleController::SetStyleHot(TcxEditStyle* Value) { SetInternalStyle(csHotTrack, Value); }

TNotifyEvent TcxDefaultEditStyleController::GetOnStyleChanged() const {
  return DefaultController ? DefaultController->OnStyleChanged : TNotifyEvent();
}

void TcxDefaultEditStyleController::SetOnStyleChanged(TNotifyEvent Value) {
  if (DefaultController) DefaultController->OnStyleChanged = Value;
}
