// Actions, their links, and the controls' side of being linked.
#include "platform/forms/Actions.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"

// ---- TBasicActionLink ----

ORV_REGISTER(TBasicActionLink)
ORV_REGISTER(TActionLink)
ORV_REGISTER(TControlActionLink)
ORV_REGISTER(TWinControlActionLink)

TBasicActionLink::TBasicActionLink(TObject* AClient) { AssignClient(AClient); }

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = Value;
  if (FAction) FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent*) { return FAction && FAction->Execute(); }

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

// ---- TBasicAction ----

ORV_REGISTER(TBasicAction, ORV_PROP_RW(OnExecute, GetOnExecute, SetOnExecute), ORV_EVENT(OnUpdate))

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

// Links outlive their action: they are told it is gone.
TBasicAction::~TBasicAction() {
  while (!FClients.empty()) FClients.back()->SetAction(nullptr);
}

namespace {
// The focused control, then each of its parents, then the active form.
template <class F>
bool OfferToFocus(F offer) {
  if (!Screen) return false;
  TCustomForm* form = Screen->GetActiveForm();
  for (TWinControl* c = Screen->GetActiveControl(); c; c = c->GetParent()) {
    if (offer(c)) return true;
    if (c == form) return false;
  }
  return form && offer(form);
}
}  // namespace

bool TBasicAction::Execute() {
  if (FOnExecute) {
    FOnExecute(this);
    return true;
  }
  return OfferToFocus([this](TControl* c) { return c->ExecuteAction(this); });
}

bool TBasicAction::Update() {
  if (OnUpdate) {
    OnUpdate(this);
    return true;
  }
  return OfferToFocus([this](TControl* c) { return c->UpdateAction(this); });
}

void TBasicAction::SetOnExecute(const TNotifyEvent& Value) {
  if (FOnExecute == Value) return;
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
    if (auto* l = dynamic_cast<TActionLink*>(link)) l->SetOnExecute(Value);
  FOnExecute = Value;
  Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) { std::erase(FClients, Value); }

void TBasicAction::Change() {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->Change();
}

// ---- TCustomAction ----

ORV_REGISTER(TCustomAction)
ORV_REGISTER(TAction, ORV_PROP(Caption), ORV_PROP(Checked).Default(false), ORV_PROP(Enabled).Default(true),
             ORV_PROP(Hint), ORV_PROP(Visible).Default(true))

template <class F>
void TCustomAction::EachLink(F f) {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients))
    if (auto* l = dynamic_cast<TActionLink*>(link)) f(l);
}

void TCustomAction::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  EachLink([&](TActionLink* l) { l->SetCaption(Value); });
  FCaption = Value;
  Change();
}

void TCustomAction::SetChecked(bool Value) {
  if (FChecked == Value) return;
  EachLink([&](TActionLink* l) { l->SetChecked(Value); });
  FChecked = Value;
  Change();
}

void TCustomAction::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  EachLink([&](TActionLink* l) { l->SetEnabled(Value); });
  FEnabled = Value;
  Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
  if (FHint == Value) return;
  EachLink([&](TActionLink* l) { l->SetHint(Value); });
  FHint = Value;
  Change();
}

void TCustomAction::SetVisible(bool Value) {
  if (FVisible == Value) return;
  EachLink([&](TActionLink* l) { l->SetVisible(Value); });
  FVisible = Value;
  Change();
}

// ---- Links ----

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }
bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() { return FAction != nullptr; }

void TControlActionLink::AssignClient(TObject* AClient) { FClient = dynamic_cast<TControl*>(AClient); }

bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient && FClient->GetCaption() == CustomAction()->GetCaption();
}
bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient && FClient->GetEnabled() == CustomAction()->GetEnabled();
}
bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient && FClient->GetHint() == CustomAction()->GetHint();
}
bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient && FClient->GetVisible() == CustomAction()->GetVisible();
}
bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FClient && FClient->OnClick == FAction->GetOnExecute();
}

void TControlActionLink::SetCaption(const AnsiString& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TControlActionLink::SetHint(const AnsiString& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) FClient->OnClick = Value;
}

bool TWinControlActionLink::IsCheckedLinked() {
  auto* checked = dynamic_cast<ICheckedControl*>(FClient);
  return TActionLink::IsCheckedLinked() && checked && checked->GetChecked() == CustomAction()->GetChecked();
}

void TWinControlActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) dynamic_cast<ICheckedControl*>(FClient)->SetChecked(Value);
}

// ---- The controls' side ----

TBasicAction* TControl::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  if (GetAction() == Value) return;
  if (!Value) {
    FreeAndNil(FActionLink);
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  // A control being read keeps what its layout gave it.
  ActionChange(Value, GetComponentState().Contains(csLoading));
}

TControlActionLink* TControl::CreateActionLink() { return New<TControlActionLink>(this); }

TControlActionLink* TWinControl::CreateActionLink() { return New<TWinControlActionLink>(this); }

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action) return;
  if (!CheckDefaults || GetCaption().empty()) SetCaption(action->GetCaption());
  if (!CheckDefaults || GetEnabled()) SetEnabled(action->GetEnabled());
  if (!CheckDefaults || GetHint().empty()) SetHint(action->GetHint());
  if (!CheckDefaults || GetVisible()) SetVisible(action->GetVisible());
  if (!CheckDefaults || !OnClick) OnClick = action->GetOnExecute();
  if (auto* checked = dynamic_cast<ICheckedControl*>(this))
    if (!CheckDefaults || !checked->GetChecked()) checked->SetChecked(action->GetChecked());
}

bool TControl::ExecuteAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->ExecuteTarget(this);
  return true;
}

bool TControl::UpdateAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->UpdateTarget(this);
  return true;
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

namespace {
void InitiateActions(TControl* Control) {
  if (!Control->GetVisible()) return;
  Control->InitiateAction();
  if (auto* w = DynamicCast<TWinControl>(Control))
    for (Integer i = 0; i < w->GetControlCount(); ++i) InitiateActions(w->GetControl(i));
}
}  // namespace

void UpdateVisibleActions() {
  if (!Screen) return;
  for (Integer i = 0; i < Screen->GetFormCount(); ++i) {
    TCustomForm* form = Screen->GetForms(i);
    if (form->GetVisible()) InitiateActions(form);
  }
}
