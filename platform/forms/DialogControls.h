// The few controls the platform's own dialogs (message boxes, file
// dialogs) are built from: a push button that sets its form's modal
// result, a one-line text field, a plain list and a drop-down list. They
// paint in the classic look with the drawing tier's frame controls.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

class TDialogButton : public TCustomControl {
  ORV_CLASS(TDialogButton, TCustomControl)
 public:
  explicit TDialogButton(TComponent* AOwner);
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Enter clicks the default button unless another button has the focus;
  // Esc clicks the cancel button.
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  // Held down by the mouse or the space bar.
  bool GetPressed() const { return FPressed; }
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMDialogChar(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGCHAR, CMDialogChar)
  void CMFocusChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_FOCUSCHANGED, CMFocusChanged)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)

 private:
  TModalResult FModalResult = mrNone;
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;  // the button Enter clicks now
  bool FPressed = false;
};

// What the dialog edit and list share: a sunken white field that takes
// the focus when pressed and repaints when the focus comes or goes.
class TDialogField : public TCustomControl {
  ORV_CLASS(TDialogField, TCustomControl)
 protected:
  TDialogField(TComponent* AOwner, Integer AWidth, Integer AHeight);
  // Fills the face, draws the sunken frame and selects the font with a
  // transparent background: the DC to draw the content on.
  win::HDC PaintField();
  // A press focuses the field, then goes to Pressed, then to the mouse
  // events.
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  virtual void Pressed(TMouseButton, Integer /*X*/, Integer /*Y*/) {}
  virtual void FocusChanged(bool /*AFocused*/) {}
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)
};

class TDialogEdit : public TDialogField {
  ORV_CLASS(TDialogEdit, TDialogField)
 public:
  explicit TDialogEdit(TComponent* AOwner);
  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  // The arrows, Home and End move the caret, Delete takes the letter after
  // it; Ctrl+A selects the whole text again.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void FocusChanged(bool AFocused) override { FAllSelected = AFocused; }
  void CMTextChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_TEXTCHANGED, CMTextChanged)
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)

 private:
  // Sets the text with the caret at Caret.
  void Edit(const AnsiString& Text, std::size_t Caret);
  // The whole text is selected (after gaining the focus): typing replaces it.
  bool FAllSelected = false;
  // Where typing goes, as a count of the letters before it.
  std::size_t FCaret = 0;
};

class TDialogList : public TDialogField {
  ORV_CLASS(TDialogList, TDialogField)
 public:
  explicit TDialogList(TComponent* AOwner);
  std::vector<AnsiString>& Items() { return FItems; }
  void ItemsChanged();
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  AnsiString Selected() const;
  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  void Pressed(TMouseButton Button, Integer X, Integer Y) override;
  // The arrows, Home, End and the page keys move the selection; a letter
  // selects the next item it begins.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  // The wheel scrolls without changing the selection.
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)

 private:
  Integer ItemHeight();
  Integer VisibleCount();
  std::vector<AnsiString> FItems;
  Integer FItemIndex = -1;
  Integer FTopIndex = 0;
};

class TDialogDropList;

// A drop-down list: the chosen item in a field with the drop-down button.
// A press on the field, F4 or Alt with an arrow opens the list under it,
// where a click, Enter, F4 or Alt with an arrow chooses and Esc, a press
// elsewhere or the focus going closes it; closed, the arrow keys step
// through the items.
class TDialogDropDown : public TDialogField {
  ORV_CLASS(TDialogDropDown, TDialogField)
 public:
  explicit TDialogDropDown(TComponent* AOwner);
  ~TDialogDropDown() override;
  std::vector<AnsiString>& Items() { return FItems; }
  void ItemsChanged();
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  AnsiString Selected() const;
  bool GetDroppedDown() const;
  void SetDroppedDown(bool Value);
  // The open list's window (null while closed), for tests.
  TWinControl* GetDropList() const;
  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  void Pressed(TMouseButton Button, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void FocusChanged(bool AFocused) override;
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)

 private:
  friend class TDialogDropList;
  // Closes the list; a chosen item (not -1) becomes the selection.
  void CloseUp(Integer AChosen);
  std::vector<AnsiString> FItems;
  Integer FItemIndex = -1;
  TDialogDropList* FList = nullptr;
};
