// Forms: top-level windows built from their layouts, shown modeless or
// modal, with the focus, dialog keys and closing protocol of a form.
//
// A form class made from a layout reads it when it is constructed through
// New<T>(owner) or its metaclass: the layout named like the class (and
// those of its ancestor form classes first) fills the form, binding
// fields and events by name, then OnCreate runs. Construction code that
// needs the form's components belongs in an override of AfterConstruction
// (after the inherited call) or in OnCreate. CreateNew makes a form without
// a layout.
#pragma once

#include <vector>

#include "platform/forms/Controls.h"

ORV_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
ORV_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = Set<TBorderIcon>;
ORV_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
ORV_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
         poMainFormCenter, poOwnerFormCenter)
ORV_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
ORV_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
ORV_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
using TFormState = Set<TFormStateItem>;

using TModalResult = Integer;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TCloseEvent = Event<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = Event<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = Event<void(TMessage& Msg, bool& Handled)>;

class TCustomForm : public TWinControl {
  ORV_CLASS(TCustomForm, TWinControl)
 public:
  // Reads the form's layout (see the top of this file).
  explicit TCustomForm(TComponent* AOwner);
  // A form without a layout; the flag only selects this constructor.
  TCustomForm(TComponent* AOwner, bool CreateNewForm);
  template <class T = TCustomForm>
  static T* CreateNew(TComponent* AOwner) {
    return New<T>(AOwner, true);
  }
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // ---- Appearance ----
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState GetWindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  // Read from a layout, the client size waits until every property is in:
  // the border style decides the frame it is measured inside.
  void SetClientWidth(Integer Value);
  void SetClientHeight(Integer Value);
  Integer GetPixelsPerInch() const { return 96; }
  void SetPixelsPerInch(Integer) {}
  Integer GetTextHeight() const { return FTextHeight; }
  void SetTextHeight(Integer Value) { FTextHeight = Value; }
  bool GetOldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  // A form of its own (not hosted in another window) shows translucent
  // with AlphaBlend, by AlphaBlendValue (255: opaque), and leaves out its
  // pixels of TransparentColorValue with TransparentColor: what lies
  // beneath shows through them and takes the clicks there.
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  bool GetTransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(bool Value);
  TColor GetTransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor Value);

  // ---- Keys and focus ----
  bool GetKeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TWinControl* GetActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  // Makes Control the active control and, when the form is active, gives
  // it the focus.
  void FocusControl(TWinControl* Control);
  // Moves the form's memory of the focus away from Control (hidden,
  // disabled or removed); Removing forgets it as the active control too.
  void DefocusControl(TWinControl* Control, bool Removing);
  // Called as a control of the form gets the focus: CM_EXIT up from the
  // control that had it, CM_ENTER down to the new one, CM_FOCUSCHANGED.
  // False when the form refused (the focus moved on meanwhile).
  bool SetFocusedControl(TWinControl* Control);
  bool GetActive() const { return FActive; }
  void SetFocus() override;
  bool CanFocus() override;
  // Shortcut keys of the form; true when taken.
  virtual bool IsShortCut(TMessage& Message);

  // ---- Showing and closing ----
  void Show();
  void Hide() { SetVisible(false); }
  // Runs until the form closes; a form freed meanwhile answers mrCancel.
  TModalResult ShowModal();
  void Close();
  // Asks OnCloseQuery (and the forms it owns) whether closing is fine.
  virtual bool CloseQuery();
  // Frees the form once the messages in flight are handled.
  void Release();
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState GetFormState() const { return FFormState; }
  // Draws on the client area; inside OnPaint, on the DC being painted.
  TCanvas* GetCanvas() const;

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

  TNotifyEvent OnCreate, OnDestroy, OnShow, OnHide, OnActivate, OnDeactivate, OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

 protected:
  friend class TWinControl;
  friend class TApplication;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(win::HDC DC) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void CloseModal();
  void PlaceOnScreen();
  // Makes the window layered, or not, as the translucency settings ask.
  void SetLayeredAttribs();

  void CMShowingChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_SHOWINGCHANGED, CMShowingChanged)
  void CMVisibleChanged(TMessage& Message);
  ORV_MESSAGE(win::CM_VISIBLECHANGED, CMVisibleChanged)
  void CMDialogKey(TMessage& Message);
  ORV_MESSAGE(win::CM_DIALOGKEY, CMDialogKey)
  void CMActivate(TMessage& Message);
  ORV_MESSAGE(win::CM_ACTIVATE, CMActivate)
  void CMDeactivate(TMessage& Message);
  ORV_MESSAGE(win::CM_DEACTIVATE, CMDeactivate)
  void CMRelease(TMessage& Message);
  ORV_MESSAGE(win::CM_RELEASE, CMRelease)
  void WMActivate(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATE, WMActivate)
  void WMClose(TMessage& Message);
  ORV_MESSAGE(win::WM_CLOSE, WMClose)
  void WMSysCommand(TMessage& Message);
  ORV_MESSAGE(win::WM_SYSCOMMAND, WMSysCommand)
  void WMActivateApp(TMessage& Message);
  ORV_MESSAGE(win::WM_ACTIVATEAPP, WMActivateApp)
  void WMSysColorChange(TMessage& Message);
  ORV_MESSAGE(win::WM_SYSCOLORCHANGE, WMSysColorChange)
  void WMSettingChange(TMessage& Message);
  ORV_MESSAGE(win::WM_SETTINGCHANGE, WMSettingChange)
  void WMSetFocusForm(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocusForm)

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDefaultPosOnly;
  TWindowState FWindowState = wsNormal;
  Integer FTextHeight = 13;
  bool FOldCreateOrder = false;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FTransparentColor = false;
  TColor FTransparentColorValue = 0;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  Integer FLoadedClientWidth = 0;
  Integer FLoadedClientHeight = 0;
  bool FCreatedNew = false;
  bool FReleasing = false;
  TCanvas* FCanvas = nullptr;
};

class TForm : public TCustomForm {
  ORV_CLASS(TForm, TCustomForm)
 public:
  using TCustomForm::TCustomForm;
};

// Reads the layout resources of Instance's classes from Ancestor down
// (Ancestor's own excluded) into it; false when none exists.
bool InitInheritedComponent(TComponent* Instance, TClass Ancestor);
