// The single-line edit of the class library: TCustomEdit over the native
// "EDIT" class, and TEdit, which publishes it. Everything about the text,
// the selection and the clipboard goes through the control's messages, so
// a descendant that handles one of them sees it before the control does
// and can read the control's answer right after.
#pragma once

#include "platform/forms/Controls.h"
#include "platform/rtl/Alignment.h"

ORV_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

class TCustomEdit : public TWinControl {
  ORV_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* AOwner);

  // Selects the whole text when the focus arrives other than by a press of
  // the left button on the control.
  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  // False keeps the selection drawn while the control lacks the focus.
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // The most characters typing and pasting may make; 0 for no limit.
  Integer GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Whether the person changed the text since it was last set.
  bool GetModified();
  void SetModified(bool Value);

  Integer GetSelStart();
  void SetSelStart(Integer Value);
  Integer GetSelLength();
  void SetSelLength(Integer Value);
  AnsiString GetSelText();
  void SetSelText(const AnsiString& Value);
  void SelectAll();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();

  TNotifyEvent OnChange;

 protected:
  // The text changed, by the person or by a program.
  virtual void Change();
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DoEnter() override;

  void CNCommand(TMessage& Message);
  ORV_MESSAGE(win::CN_COMMAND, CNCommand)
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void CMRecreateWnd(TMessage& Message);
  ORV_MESSAGE(win::CM_RECREATEWND, CMRecreateWnd)
  // The native control handles the mouse itself; the class library's
  // events follow.
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMLButtonDblClk(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)
  void WMLButtonUp(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_LBUTTONUP, WMLButtonUp)
  void WMMouseMove(TMessage& Message) { WMMouseThrough(Message); }
  ORV_MESSAGE(win::WM_MOUSEMOVE, WMMouseMove)

 private:
  bool FAutoSelect = true;
  TAlignment FAlignment = taLeftJustify;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  Integer FMaxLength = 0;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FModified = false;
  bool FCreating = false;    // the window is being made: its first text is no change
  bool FRecreating = false;  // the focus coming back keeps the kept selection
  // Kept while the window is recreated.
  Integer FSavedSelStart = 0;
  Integer FSavedSelEnd = 0;
};

class TEdit : public TCustomEdit {
  ORV_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};
