#include "platform/controls/Buttons.h"

#include "platform/controls/ButtonControl.h"
#include "platform/controls/ControlsStartup.h"
#include "platform/gdi/Gdi.h"
#include "platform/theme/ThemeApi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"

using namespace win;

ORV_REGISTER(TButtonControl)
ORV_REGISTER(TButton, ORV_PROP(Caption), ORV_PROP(Default).Default(false), ORV_PROP(Cancel).Default(false),
             ORV_PROP(ModalResult).Default(0), ORV_PROP(WordWrap).Default(false), ORV_PROP(TabStop).Default(true),
             ORV_EVENT(OnClick))
ORV_REGISTER(TRadioButton, ORV_PROP(Caption), ORV_PROP(Checked).Default(false),
             ORV_PROP(Alignment).Default(taRightJustify), ORV_PROP(WordWrap).Default(false),
             ORV_PROP(ParentBackground).Default(false), ORV_EVENT(OnClick),
             ORV_EVENT(OnDblClick))

void RegisterButtonClasses() {
  RegisterButtonClass();
  RegisterClasses({TButtonControl::StaticClass(), TButton::StaticClass(), TRadioButton::StaticClass()});
}

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  // Clicks come from the control's BN_CLICKED, and the control keeps the
  // mouse itself while the button is held.
  FControlStyle = TControlStyle{csSetCaption, csOpaque};
  FTabStop = true;
  FParentColor = false;
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

void TButtonControl::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TButtonControl::WMLButtonDown(TMessage& Message) {
  FControlState.Include(csLButtonDown);
  WMMouseThrough(Message);
}

void TButtonControl::WMLButtonDblClk(TMessage& Message) {
  if (!FControlStyle.Contains(csDoubleClicks)) {
    Message.Msg = WM_LBUTTONDOWN;
    WMLButtonDown(Message);
    return;
  }
  WMMouseThrough(Message);
}

void TButtonControl::CNCtlColorStatic(TMessage& Message) {
  if (!GetParentBackground()) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  DrawThemeParentBackground(FHandle, dc, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(FFont->GetColor())));
  Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 75;
  FHeight = 25;
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  if (!HandleAllocated()) {
    FActive = Value;
    return;
  }
  // The default frame goes where Enter would go now.
  TCustomForm* form = GetParentForm(this);
  TWinControl* focused = form ? form->GetActiveControl() : nullptr;
  if (!dynamic_cast<TButton*>(focused)) SetButtonStyle(Value);
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this); form && FModalResult != mrNone) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

// A descendant may have made the button owner-drawn; the control still
// learns that it is the default.
void TButton::CreateWnd() {
  inherited::CreateWnd();
  if (FActive) SetButtonStyle(true);
}

void TButton::SetButtonStyle(bool ADefault) {
  FActive = ADefault;
  if (!HandleAllocated()) return;
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(FHandle, GWL_STYLE));
  const DWORD type = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  SendMessageA(FHandle, BM_SETSTYLE, (style & 0xFFF0u) | type, TRUE);
}

void TButton::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& Message) { AnswerButtonDialogKey(this, Message, FActive, FCancel); }

void TButton::CMDialogChar(TMessage& Message) { AnswerButtonDialogChar(this, Message); }

// Enter goes to the focused button, else to the default one.
void TButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  const bool active = dynamic_cast<TButton*>(focused) ? focused == this : FDefault;
  if (active != FActive) SetButtonStyle(active);
  Message.Result = 0;
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FWidth = 113;
  FHeight = 17;
  FTabStop = false;
  FControlStyle.Include(csDoubleClicks);
}

// Checking one clears its siblings on the same parent, and only the
// checked one of a group is a tab stop. Click runs when it becomes checked.
void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Value) return;
  if (FParent) {
    for (Integer i = 0; i < FParent->GetControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(FParent->GetControl(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  }
  if (!GetClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::CNCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
  }
}

// The focus arriving from the keyboard (Tab, the arrows) checks the
// button; a press of the mouse leaves that to its click.
void TRadioButton::WMSetFocus(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!FControlState.Contains(csLButtonDown) && Focused()) SetChecked(true);
}

// The underlined letter of its caption chooses it as the focus arriving
// from the keyboard does; a hidden or disabled button leaves the letter to
// the others.
void TRadioButton::CMDialogChar(TMessage& Message) {
  if (!IsAccel(static_cast<Word>(Message.WParam), GetText()) || !CanFocus()) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  SetFocus();
  if (Focused()) SetChecked(true);
  Message.Result = 1;
}
