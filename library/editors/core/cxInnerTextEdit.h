// The platform single-line edit a text editor hosts. It does the character
// editing, the caret and the selection; everything else is the editor's:
// keys, mouse, focus, drag and the clipboard go to the editor first, the
// edit draws no border or background of its own, and it takes its settings
// from the editor's properties. The editor talks to it only through
// IcxInnerTextEdit, which a companion object implements.
#pragma once

#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxTextEditProperties.h"
#include "library/foundation/cxClasses.h"
#include "platform/controls/Edit.h"

class TcxCustomTextEdit;
class TcxCustomInnerTextEdit;

// What the text editor asks of its inner edit beyond the common inner
// edit's part.
class IcxInnerTextEdit : public IcxCustomInnerEdit {
 public:
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment GetAlignment() = 0;
  virtual bool GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TcxEditEchoMode GetEchoMode() = 0;
  virtual bool GetHideSelection() = 0;
  // The last byte of a pending double-byte IME character; #0 otherwise.
  virtual char GetImeLastChar() = 0;
  virtual TImeMode GetImeMode() = 0;
  virtual TImeName GetImeName() = 0;
  virtual bool GetInternalUpdating() = 0;
  virtual Integer GetMaxLength() = 0;
  virtual bool GetMultiLine() = 0;
  virtual bool GetOEMConvert() = 0;
  virtual TNotifyEvent GetOnSelChange() = 0;
  virtual char GetPasswordChar() = 0;
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual AnsiString GetSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void SetAlignment(TAlignment Value) = 0;
  virtual void SetAutoSelect(bool Value) = 0;
  virtual void SetCharCase(TEditCharCase Value) = 0;
  virtual void SetEchoMode(TcxEditEchoMode Value) = 0;
  virtual void SetHideSelection(bool Value) = 0;
  virtual void SetInternalUpdating(bool Value) = 0;
  virtual void SetImeMode(TImeMode Value) = 0;
  virtual void SetImeName(const TImeName& Value) = 0;
  virtual void SetMaxLength(Integer Value) = 0;
  virtual void SetOEMConvert(bool Value) = 0;
  virtual void SetOnSelChange(TNotifyEvent Value) = 0;
  virtual void SetPasswordChar(char Value) = 0;
  virtual void SetSelLength(Integer Value) = 0;
  virtual void SetSelStart(Integer Value) = 0;
  virtual void SetSelText(const AnsiString& Value) = 0;
};
ORV_INTERFACE(IcxInnerTextEdit, "{4F7A2E91-3B6C-4C0D-8E15-D2A9B6F03C47}")

// The text and selection of an inner edit before a key, to tell afterwards
// whether the key changed anything.
struct TcxCustomInnerTextEditPrevState {
  bool IsPrevTextSaved = false;
  AnsiString PrevText;
  Integer PrevSelLength = 0;
  Integer PrevSelStart = 0;
};

void SaveTextEditState(TCustomEdit* AEdit, bool ASaveText, TcxCustomInnerTextEditPrevState& APrevState);
// True (changed) when the window is gone, the selection moved or the saved
// text differs; a change of letter case alone is no change.
bool CheckTextEditState(TCustomEdit* AEdit, const TcxCustomInnerTextEditPrevState& APrevState);

class TcxCustomInnerTextEditHelper : public TcxInterfacedPersistent, public IcxInnerTextEdit {
  ORV_CLASS(TcxCustomInnerTextEditHelper, TcxInterfacedPersistent)
 public:
  explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* AEdit);

  // IcxCustomInnerEdit
  TWinControl* GetControl() override;
  TcxContainer* GetControlContainer() override;
  win::LRESULT CallDefWndProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) override;
  Variant GetEditValue() override;
  TNotifyEvent GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool ALock) override;
  void SafelySetFocus() override;
  void SetEditValue(const Variant& Value) override;
  void SetParent(TWinControl* Value) override;
  void SetOnChange(TNotifyEvent Value) override;
  void SetReadOnly(bool Value) override;

  // IcxInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment GetAlignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TcxEditEchoMode GetEchoMode() override;
  bool GetHideSelection() override;
  char GetImeLastChar() override;
  TImeMode GetImeMode() override;
  TImeName GetImeName() override;
  bool GetInternalUpdating() override;
  Integer GetMaxLength() override;
  bool GetMultiLine() override { return false; }
  bool GetOEMConvert() override;
  TNotifyEvent GetOnSelChange() override;
  char GetPasswordChar() override;
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  AnsiString GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TcxEditEchoMode Value) override;
  void SetHideSelection(bool Value) override;
  void SetInternalUpdating(bool Value) override;
  void SetImeMode(TImeMode Value) override;
  void SetImeName(const TImeName& Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetOnSelChange(TNotifyEvent Value) override;
  void SetPasswordChar(char Value) override;
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const AnsiString& Value) override;

  TcxCustomInnerTextEdit* GetEdit() const { return FEdit; }

 private:
  friend class TcxCustomInnerTextEdit;
  TcxCustomInnerTextEdit* FEdit;
  // The selection as it was when an IME character arrived.
  Integer FSaveSelLength = 0;
  Integer FSaveSelStart = 0;
};

class TcxCustomInnerTextEdit : public TCustomEdit, public IcxContainerInnerControl, public IcxInnerEditHelper {
  ORV_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
 public:
  explicit TcxCustomInnerTextEdit(TComponent* AOwner);
  ~TcxCustomInnerTextEdit() override;

  TcxCustomTextEdit* GetContainer() const;
  IcxCustomInnerEdit* GetHelper() override;
  TcxContainer* GetControlContainer() override;
  TWinControl* GetControl() override { return this; }
  TcxCustomInnerTextEditHelper* GetTextEditHelper() const { return FHelper; }

  bool CanFocus() override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

  // The character index under the caret.
  Integer GetCursorPos();

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TcxEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode Value);
  // The echo character in password mode; #0 echoes "*".
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetInternalUpdating() const { return FInternalUpdating; }
  void SetInternalUpdating(bool Value) { FInternalUpdating = Value; }
  char GetImeLastChar() const { return FImeCharCount == 2 ? FImeLastChar : '\0'; }
  bool IsImeCharPending() const { return FImeCharCount > 0; }

  TNotifyEvent OnSelChange;

 protected:
  virtual void AdjustMargins();
  void UpdateEchoMode();

  // The editor may take any message first (see TcxContainer).
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateHandle() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

  void WMKeyDown(TMessage& Message);
  ORV_MESSAGE(win::WM_KEYDOWN, WMKeyDown)
  void WMChar(TMessage& Message);
  ORV_MESSAGE(win::WM_CHAR, WMChar)
  void WMGetDlgCode(TMessage& Message);
  ORV_MESSAGE(win::WM_GETDLGCODE, WMGetDlgCode)
  void WMImeChar(TMessage& Message);
  ORV_MESSAGE(win::WM_IME_CHAR, WMImeChar)
  void WMImeComposition(TMessage& Message);
  ORV_MESSAGE(win::WM_IME_COMPOSITION, WMImeComposition)
  void WMCut(TMessage& Message);
  ORV_MESSAGE(win::WM_CUT, WMCut)
  void WMPaste(TMessage& Message);
  ORV_MESSAGE(win::WM_PASTE, WMPaste)
  void WMClear(TMessage& Message);
  ORV_MESSAGE(win::WM_CLEAR, WMClear)
  void WMSetFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFOCUS, WMSetFocus)
  void WMKillFocus(TMessage& Message);
  ORV_MESSAGE(win::WM_KILLFOCUS, WMKillFocus)
  void WMNCPaint(TMessage& Message) { Message.Result = 0; }
  ORV_MESSAGE(win::WM_NCPAINT, WMNCPaint)
  void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMSize(TMessage& Message);
  ORV_MESSAGE(win::WM_SIZE, WMSize)
  void EMSetSel(TMessage& Message);
  ORV_MESSAGE(win::EM_SETSEL, EMSetSel)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void WMLButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDOWN, WMLButtonDown)
  void WMLButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)

 private:
  friend class TcxCustomInnerTextEditHelper;
  // Starts the editor's automatic drag instead of the edit's own press.
  bool StartsEditorDrag();
  // The pending IME character is in the text: a find selection is put back.
  void ImeCharArrived();

  TcxCustomInnerTextEditHelper* FHelper = nullptr;
  TAlignment FAlignment = taLeftJustify;
  TcxEditEchoMode FEchoMode = eemNormal;
  Integer FImeCharCount = 0;
  char FImeLastChar = '\0';
  bool FInternalUpdating = false;
  bool FIsCreating = false;
  Integer FLockBoundsCount = 0;
  char FPasswordChar = '\0';
};

using TcxCustomInnerTextEditClass = TClassRef<TcxCustomInnerTextEdit>;
