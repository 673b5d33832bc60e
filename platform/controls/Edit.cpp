#include "platform/controls/Edit.h"

#include "platform/controls/ControlsStartup.h"
#include "platform/controls/EditControl.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowProc.h"

using namespace win;

// The edit joins the system's classes, and its wrapper the classes layouts
// may name, when the tier's unit starts.
void RegisterEditClasses() {
  RegisterEditClass();
  RegisterClasses({TCustomEdit::StaticClass(), TEdit::StaticClass()});
}

ORV_REGISTER(TCustomEdit)
ORV_REGISTER(TEdit, ORV_PROP(Text), ORV_PROP(AutoSelect).Default(true), ORV_PROP(Alignment).Default(taLeftJustify),
             ORV_PROP(CharCase).Default(ecNormal), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(MaxLength).Default(0), ORV_PROP(OEMConvert).Default(false), ORV_PROP(PasswordChar).Default(0),
             ORV_PROP(ReadOnly).Default(false), ORV_PROP(TabStop).Default(true), ORV_EVENT(OnChange))

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  FWidth = 121;
  FHeight = 21;
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush->SetColor(FColor);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// ---- Properties ----

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(Integer Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (FOEMConvert == Value) return;
  FOEMConvert = Value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}

bool TCustomEdit::GetModified() {
  return HandleAllocated() ? SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value) {
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETMODIFY, Value, 0);
  else FModified = Value;
}

// ---- Selection and clipboard ----

Integer TCustomEdit::GetSelStart() {
  DWORD start = 0, end = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(start);
}

void TCustomEdit::SetSelStart(Integer Value) {
  SendMessageA(GetHandle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

Integer TCustomEdit::GetSelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<Integer>(end - start);
}

void TCustomEdit::SetSelLength(Integer Value) {
  DWORD start = 0, end = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SendMessageA(FHandle, EM_SETSEL, start, static_cast<LPARAM>(start) + Value);
}

AnsiString TCustomEdit::GetSelText() {
  DWORD start = 0, end = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return GetText().substr(start, end - start);
}

void TCustomEdit::SetSelText(const AnsiString& Value) {
  SendMessageA(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { SendMessageA(GetHandle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(GetHandle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(GetHandle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(GetHandle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageA(GetHandle(), WM_UNDO, 0, 0); }

// ---- The window ----

void TCustomEdit::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL;
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
  else if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  if (FReadOnly) Params.Style |= ES_READONLY;
}

// The window is made without a caption; CreateWnd gives it its text.
void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
  TCreateParams params = Params;
  params.Caption.clear();
  inherited::CreateWindowHandle(params);
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    inherited::CreateWnd();
    CallWindowProcA(FDefWndProc, FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FText.c_str()));
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  SendMessageA(FHandle, EM_SETMODIFY, FModified, 0);
  if (FSavedSelStart != 0 || FSavedSelEnd != 0) {
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSavedSelStart), FSavedSelEnd);
    FSavedSelStart = FSavedSelEnd = 0;
  }
}

void TCustomEdit::DestroyWnd() {
  if (FHandle) {
    FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
    DWORD start = 0, end = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    FSavedSelStart = static_cast<Integer>(start);
    FSavedSelEnd = static_cast<Integer>(end);
  }
  inherited::DestroyWnd();
}

void TCustomEdit::DoEnter() {
  if (FAutoSelect && !FRecreating && !FControlState.Contains(csLButtonDown)) SelectAll();
  inherited::DoEnter();
}

// ---- Messages ----

void TCustomEdit::CNCommand(TMessage& Message) {
  if (Message.WParamHi() == EN_CHANGE && !FCreating) Change();
}

// A control without a window hears of no EN_CHANGE: the change is told here.
void TCustomEdit::CMTextChanged(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!HandleAllocated()) Change();
}

void TCustomEdit::CMRecreateWnd(TMessage& Message) {
  FRecreating = true;
  try {
    DispatchFrom(inherited::StaticClass(), Message);
  } catch (...) {
    FRecreating = false;
    throw;
  }
  FRecreating = false;
}

// The press reaches the native control first, with the button marked down
// so the focus it takes does not select everything.
void TCustomEdit::WMLButtonDown(TMessage& Message) {
  FControlState.Include(csLButtonDown);
  WMMouseThrough(Message);
}
