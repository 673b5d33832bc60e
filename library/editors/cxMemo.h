// The memo editor: a text editor over the platform's multi-line edit. It
// adds word wrap, the choice of whether Enter and Tab belong to the text,
// scroll bars drawn by the container over the memo's own, and a height of
// a fixed number of lines. A cell without an editor window shows only the
// first line of its value. The blob editor's popup memo and the rich text
// editor derive from these classes.
#pragma once

#include "library/editors/core/cxTextEdit.h"
#include "library/editors/cxInnerMemoWindow.h"
#include "platform/controls/Memo.h"

// The display text of a cell: the text up to its first line break, looked
// for only within the first 250 characters (a long value costs no more).
AnsiString ExtractFirstLine(const AnsiString& S);
// The replacement text of a memo's selection with every LF that a CR
// follows made into CR LF CR LF (the pair and a further line break); the
// whole grown text is scanned.
AnsiString NormalizeMemoBreaks(AnsiString S);

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxCustomMemoProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxCustomMemoProperties(TPersistent* AOwner);
  void AfterConstruction() override;

  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxDataEditValueSource GetEditValueSource(bool AEditFocused) const override;
  bool IsMultiLine() const override { return true; }
  bool TabsNeed() const override { return FWantTabs; }

  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  Integer GetVisibleLineCount() const { return FVisibleLineCount; }
  // A negative count stores 0.
  void SetVisibleLineCount(Integer Value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value);
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  TScrollStyle FScrollBars = ssNone;
  Integer FVisibleLineCount = 0;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
  ORV_CLASS(TcxMemoProperties, TcxCustomMemoProperties)
 public:
  explicit TcxMemoProperties(TPersistent* AOwner) : TcxCustomMemoProperties(AOwner) {}
};

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxCustomMemoViewData, TcxCustomTextEditViewData)
 public:
  TcxCustomMemoViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomTextEditViewData(AProperties, AStyle, AIsInplace) {}

  TcxCustomMemoProperties* GetProperties() const {
    return static_cast<TcxCustomMemoProperties*>(TcxCustomTextEditViewData::GetProperties());
  }
  // Whole rows, tabs expanded, kept left; with word wrap where nothing
  // scrolls sideways, wrapped at words and inside long ones.
  Integer GetDrawTextFlags() override;
  // (1, 1, 1, 3) alone, (1, 1, 1, 1) in a cell.
  TRect GetDrawTextOffset() override;
  TSize GetEditContentSizeCorrection() override;
  Integer GetMaxLineCount() override;

 protected:
  // A cell shows the first line of its value.
  AnsiString InternalEditValueToDisplayText(const Variant& AEditValue) override;
  TSize InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                        const TcxEditSizeProperties& AEditSizeProperties, TSize& MinContentSize,
                                        TcxCustomEditViewInfo* AViewInfo) override;
  TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties) override;
};

class TcxCustomMemoViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxCustomMemoViewInfo, TcxCustomTextEditViewInfo)
 public:
  void DrawText(TcxCanvas* ACanvas) override;
};

// What the memo editor asks of its inner memo.
class IcxInnerMemo : public IcxInnerTextEdit {
 public:
  virtual TPoint GetCaretPos() = 0;
  virtual TStrings* GetLines() = 0;
  virtual TScrollStyle GetScrollBars() = 0;
  virtual bool GetWantReturns() = 0;
  virtual bool GetWantTabs() = 0;
  virtual bool GetWordWrap() = 0;
  virtual void SetCaretPos(const TPoint& Value) = 0;
  virtual void SetScrollBars(TScrollStyle Value) = 0;
  virtual void SetWantReturns(bool Value) = 0;
  virtual void SetWantTabs(bool Value) = 0;
  virtual void SetWordWrap(bool Value) = 0;
};
ORV_INTERFACE(IcxInnerMemo, "{C43237A5-0954-4198-8218-C32D3A076E3B}")

class TcxCustomMemo;
class TcxCustomInnerMemo;

// The inner-edit side of an inner memo window: each operation goes to the
// window's property of the same name. Echo mode and password character
// stay normal and none; a descendant reads and sets the value, the lines
// and the selection notice its own way.
class TcxInnerMemoHelperBase : public TcxInterfacedPersistent, public IcxInnerMemo {
  ORV_CLASS(TcxInnerMemoHelperBase, TcxInterfacedPersistent)
 public:
  TcxInnerMemoHelperBase(TCustomMemo* AEdit, TcxInnerMemoState* AState);

  // IcxCustomInnerEdit
  TWinControl* GetControl() override;
  TcxContainer* GetControlContainer() override;
  win::LRESULT CallDefWndProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) override;
  TNotifyEvent GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool ALock) override;
  void SafelySetFocus() override;
  void SetParent(TWinControl* Value) override;
  void SetOnChange(TNotifyEvent Value) override;
  void SetReadOnly(bool Value) override;

  // IcxInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment GetAlignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TcxEditEchoMode GetEchoMode() override { return eemNormal; }
  bool GetHideSelection() override;
  char GetImeLastChar() override { return '\0'; }
  TImeMode GetImeMode() override;
  TImeName GetImeName() override;
  bool GetInternalUpdating() override;
  Integer GetMaxLength() override;
  bool GetMultiLine() override { return true; }
  bool GetOEMConvert() override;
  char GetPasswordChar() override { return '\0'; }
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  AnsiString GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment Value) override;
  void SetAutoSelect(bool Value) override;
  void SetCharCase(TEditCharCase Value) override;
  void SetEchoMode(TcxEditEchoMode) override {}
  void SetHideSelection(bool Value) override;
  void SetInternalUpdating(bool Value) override;
  void SetImeMode(TImeMode Value) override;
  void SetImeName(const TImeName& Value) override;
  void SetMaxLength(Integer Value) override;
  void SetOEMConvert(bool Value) override;
  void SetPasswordChar(char) override {}
  void SetSelLength(Integer Value) override;
  void SetSelStart(Integer Value) override;
  void SetSelText(const AnsiString& Value) override;

  // IcxInnerMemo
  TPoint GetCaretPos() override;
  TScrollStyle GetScrollBars() override;
  bool GetWantReturns() override;
  bool GetWantTabs() override;
  bool GetWordWrap() override;
  void SetCaretPos(const TPoint& Value) override;
  void SetScrollBars(TScrollStyle Value) override;
  void SetWantReturns(bool Value) override;
  void SetWantTabs(bool Value) override;
  void SetWordWrap(bool Value) override;

 private:
  TCustomMemo* FMemoEdit;
  TcxInnerMemoState* FState;
};

class TcxCustomInnerMemoHelper : public TcxInnerMemoHelperBase {
  ORV_CLASS(TcxCustomInnerMemoHelper, TcxInnerMemoHelperBase)
 public:
  explicit TcxCustomInnerMemoHelper(TcxCustomInnerMemo* AEdit);

  Variant GetEditValue() override;
  void SetEditValue(const Variant& Value) override;
  TNotifyEvent GetOnSelChange() override;
  void SetOnSelChange(TNotifyEvent Value) override;
  TStrings* GetLines() override;

 private:
  TcxCustomInnerMemo* FEdit;
};

class TcxCustomInnerMemo : public TcxInnerMemoWindow<TMemo> {
  ORV_CLASS(TcxCustomInnerMemo, TcxInnerMemoWindow<TMemo>)
 public:
  explicit TcxCustomInnerMemo(TComponent* AOwner);
  ~TcxCustomInnerMemo() override;

  bool GetInternalUpdating() const { return FState.InternalUpdating; }
  void SetInternalUpdating(bool Value) { FState.InternalUpdating = Value; }

  TNotifyEvent OnSelChange;

 protected:
  // Up and Down move the caret: the editor hears only a key that left the
  // text and the selection as they were.
  bool TellsAfterKeyDown(Word Key, TShiftState Shift, const TcxCustomInnerTextEditPrevState& State) override;

  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void CreateWnd() override;

  ORV_INNER_MEMO_MESSAGES
  void WMClear(TMessage& Message);
  ORV_MESSAGE(win::WM_CLEAR, WMClear)
  void WMCut(TMessage& Message);
  ORV_MESSAGE(win::WM_CUT, WMCut)
  void WMPaste(TMessage& Message);
  ORV_MESSAGE(win::WM_PASTE, WMPaste)
  void WMSetText(TMessage& Message);
  ORV_MESSAGE(win::WM_SETTEXT, WMSetText)
  void WMSetFont(TMessage& Message);
  ORV_MESSAGE(win::WM_SETFONT, WMSetFont)
  void WMWindowPosChanging(TMessage& Message);
  ORV_MESSAGE(win::WM_WINDOWPOSCHANGING, WMWindowPosChanging)
  void WMNCPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_NCPAINT, WMNCPaint)
  void EMReplaceSel(TMessage& Message);
  ORV_MESSAGE(win::EM_REPLACESEL, EMReplaceSel)
  void EMSetSel(TMessage& Message);
  ORV_MESSAGE(win::EM_SETSEL, EMSetSel)
  void CMMouseLeave(TMessage& Message);
  ORV_MESSAGE(win::CM_MOUSELEAVE, CMMouseLeave)
  void WMLButtonDblClk(TMessage& Message);
  ORV_MESSAGE(win::WM_LBUTTONDBLCLK, WMLButtonDblClk)

 private:
  friend class TcxCustomInnerMemoHelper;
  friend class TcxCustomMemo;

  Integer FInternalTextSetting = 0;
};

class TcxCustomMemo : public TcxCustomTextEdit {
  ORV_CLASS(TcxCustomMemo, TcxCustomTextEdit)
 public:
  explicit TcxCustomMemo(TComponent* AOwner) : TcxCustomMemo(AOwner, false) {}
  TcxCustomMemo(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  TcxCustomMemoProperties* GetProperties() const {
    return static_cast<TcxCustomMemoProperties*>(TcxCustomTextEdit::GetProperties());
  }
  TcxCustomMemoProperties* GetActiveProperties() const {
    return static_cast<TcxCustomMemoProperties*>(TcxCustomTextEdit::GetActiveProperties());
  }
  void SetProperties(TcxCustomMemoProperties* Value) { TcxCustomTextEdit::SetProperties(Value); }
  IcxInnerMemo* GetInnerMemo() const;

  TStrings* GetLines() const;
  void SetLines(TStrings* Value);
  // (character in its line, line).
  TPoint GetCaretPos() const;
  void SetCaretPos(const TPoint& Value);

  bool IsEditClass() override { return true; }
  void ClearSelection() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  // Focused with a length limit, S is cut to what the text around the
  // selection leaves room for.
  void SetSelText(const AnsiString& Value) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomTextEdit::PropertiesChanged;

 protected:
  // Enter modifies the text when WantReturns is on or Ctrl is held; Tab
  // when WantTabs is on.
  virtual bool CanMemoKeyModifyEdit(Word Key, TShiftState Shift);

  void AdjustInnerEditPosition() override;
  bool CanAutoSize() override;
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  bool CanKeyPressModifyEdit(char Key) override;
  void CreateParams(TCreateParams& Params) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  TClassRef<TWinControl> GetInnerEditClass() const override;
  // The text editor's initialization with the memo's own size: 185 x 89.
  void Initialize() override;
  void ReadState(TReader* Reader) override;
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  bool SendActivationKey(char Key) override { return Key != '\r'; }
  bool EditValueFollowsText() override { return true; }

 private:
  friend class TcxCustomInnerMemo;
  friend class TcxCustomInnerMemoHelper;
  template <class>
  friend class TcxInnerMemoWindow;
  // Lines changed outside typing: the edit value follows, unmodified.
  void InternalSynchronizeEditValue();
  // SetSelText's work; an undoable insertion keeps the window's undo
  // history and becomes its last step.
  void InsertText(const AnsiString& Value, bool AUndoable);

  bool FInnerEditPositionAdjusting = false;
  bool FInternalClearing = false;
};

class TcxMemo : public TcxCustomMemo {
  ORV_CLASS(TcxMemo, TcxCustomMemo)
 public:
  explicit TcxMemo(TComponent* AOwner) : TcxCustomMemo(AOwner, false) {}
  TcxMemo(TComponent* AOwner, bool AIsInplace) : TcxCustomMemo(AOwner, AIsInplace) {}

  TcxMemoProperties* GetProperties() const {
    return static_cast<TcxMemoProperties*>(TcxCustomMemo::GetProperties());
  }
  TcxMemoProperties* GetActiveProperties() const {
    return static_cast<TcxMemoProperties*>(TcxCustomMemo::GetActiveProperties());
  }
  void SetProperties(TcxMemoProperties* Value) { TcxCustomMemo::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// A condition on a memo column: like, not like, blank or not.
class TcxFilterMemoHelper : public TcxFilterTextEditHelper {
  ORV_CLASS(TcxFilterMemoHelper, TcxFilterTextEditHelper)
 public:
  TcxFilterControlOperators GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                        TcxValueTypeClass AValueTypeClass,
                                                        bool AExtendedSet = false) const override;
};

// The memo unit's start-up and shut-down, counted like the others.
void cxMemoInitialize();
void cxMemoFinalize();
