// The buttons of the class library over the native "BUTTON" class:
// TButtonControl (what they share), TButton (the push button that ends a
// modal form with its ModalResult and answers Enter as the default or Esc
// as the cancel button) and TRadioButton (checked by a click or by the
// focus arriving from the keyboard; checking one clears its siblings).
// Clicks come from the control's BN_CLICKED, reflected as CN_COMMAND.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/rtl/Alignment.h"

class TButtonControl : public TWinControl {
  ORV_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* AOwner);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 protected:
  virtual bool GetChecked() { return false; }
  virtual void SetChecked(bool) {}
  // While true, checking does not run Click.
  bool GetClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
  void CreateParams(TCreateParams& Params) override;

  // The native control handles the mouse itself; the class library's
  // events follow. Without csDoubleClicks a double click is a press.
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMLButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)
  void WMLButtonUp(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  void WMMouseMove(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_MOUSEMOVE, WMMouseMove)
  // With ParentBackground the parent's background shows round the box
  // and the caption.
  void CNCtlColorStatic(TMessage& Message);
  ORV_MESSAGE(win::CN_CTLCOLORSTATIC, CNCtlColorStatic)

 private:
  bool FWordWrap = false;
  bool FClicksDisabled = false;
};

class TButton : public TButtonControl {
  ORV_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* AOwner);
  // Enter clicks the default button unless another button has the focus.
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  // Esc clicks the cancel button.
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // A click sets the parent form's ModalResult to this.
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  void Click() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& Message);
  ORV_MESSAGE(win::CN_COMMAND, CNCommand)
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)
  void CMFocusChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FOCUSCHANGED, CMFocusChanged)
  // Whether Enter clicks this button now.
  bool GetActive() const { return FActive; }

 private:
  void SetButtonStyle(bool ADefault);
  TModalResult FModalResult = mrNone;
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
};

class TRadioButton : public TButtonControl {
  ORV_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* AOwner);
  bool GetChecked() override { return FChecked; }
  void SetChecked(bool Value) override;
  // Where the caption stands: taRightJustify puts it right of the circle.
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CNCommand(TMessage& Message);
  ORV_MESSAGE(win::CN_COMMAND, CNCommand)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  // Its mnemonic focuses and checks it.
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)

 private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};
