// The rich text editor: a memo whose inner control is the platform's
// rich-edit window. Its value is rich text, or plain text in memo mode (one
// font, the window in plain-text mode) and with PlainText. A cell without
// an editor window shows the formatted value through the one hidden
// renderer of the process (cxRichEditRenderer), cached in a bitmap per
// view info; the line list and the streams are in cxRichEditStrings.
#pragma once

#include "library/editors/cxMemo.h"
#include "library/editors/cxRichEditStrings.h"
#include "platform/controls/RichEdit.h"
#include "platform/forms/Menus.h"

class TBitmap;
class TcxCustomRichEdit;
class TcxRichInnerEdit;

class TcxCustomRichEditProperties : public TcxCustomMemoProperties {
  ORV_CLASS(TcxCustomRichEditProperties, TcxCustomMemoProperties)
 public:
  explicit TcxCustomRichEditProperties(TPersistent* AOwner) : TcxCustomMemoProperties(AOwner) {}

  bool CanValidate() const override { return false; }
  TClass GetContainerClass() const override;
  TClass GetViewDataClass() const override;
  TClass GetViewInfoClass() const override;
  // Memo mode shows rich text as nothing; rich mode shows the text the
  // renderer reads out of the value; then the memo's first-line rule.
  AnsiString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  TcxEditSupportedOperations GetSupportedOperations() const override;
  bool IsResetEditClass() const override { return false; }

  bool GetHideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool Value);
  bool GetMemoMode() const { return FMemoMode; }
  void SetMemoMode(bool Value);
  bool GetPlainText() const { return FPlainText; }
  void SetPlainText(bool Value);
  bool GetSelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool Value);
  // Set while a change of PlainText is being told.
  bool GetPlainTextChanging() const { return FPlainTextChanging; }
  // Neither memo mode nor plain text: the value is rich text.
  bool IsRichMode() const { return !FMemoMode && !FPlainText; }

  TRichEditProtectChange OnProtectChange;
  TRichEditResizeEvent OnResizeRequest;
  TRichEditSaveClipboard OnSaveClipboard;
  TNotifyEvent OnSelectionChange;

 protected:
  void DoAssign(TPersistent* Source) override;

 private:
  bool FHideScrollBars = true;
  bool FMemoMode = false;
  bool FPlainText = false;
  bool FSelectionBar = false;
  bool FPlainTextChanging = false;
};

class TcxRichEditProperties : public TcxCustomRichEditProperties {
  ORV_CLASS(TcxRichEditProperties, TcxCustomRichEditProperties)
 public:
  explicit TcxRichEditProperties(TPersistent* AOwner) : TcxCustomRichEditProperties(AOwner) {}
};

class TcxCustomRichEditViewData : public TcxCustomMemoViewData {
  ORV_CLASS(TcxCustomRichEditViewData, TcxCustomMemoViewData)
 public:
  TcxCustomRichEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace)
      : TcxCustomMemoViewData(AProperties, AStyle, AIsInplace) {}

  TcxCustomRichEditProperties* GetProperties() const {
    return static_cast<TcxCustomRichEditProperties*>(TcxCustomMemoViewData::GetProperties());
  }
  // Every calculation renders the text again on the next paint.
  void Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                 TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The view info keeps the value itself: the renderer draws from it.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue, TcxCustomEditViewInfo* AViewInfo) override;

 protected:
  // For a given width (and no fixed line count) the height the renderer
  // lays the value out in.
  TSize InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                   const TcxEditSizeProperties& AEditSizeProperties) override;
};

class TcxCustomRichEditViewInfo : public TcxCustomMemoViewInfo {
  ORV_CLASS(TcxCustomRichEditViewInfo, TcxCustomMemoViewInfo)
 public:
  TcxCustomRichEditViewInfo() = default;
  ~TcxCustomRichEditViewInfo() override;

  // Renders the value into the cached bitmap when asked to (made again
  // only for another size) and copies the bitmap to the text rectangle.
  void DrawText(TcxCanvas* ACanvas) override;
  bool NeedShowHint(TcxCanvas*, const TPoint&, const TRect&, AnsiString&, bool&, TRect&) override { return false; }
  using TcxCustomMemoViewInfo::NeedShowHint;
  TcxRegion* GetUpdateRegion(TcxContainerViewInfo* AViewInfo) override;

  // The value to render, its properties' copy taken at calculation.
  Variant EditValue;
  bool RenderAgain = true;
  TBitmap* GetRenderedBitmap() const { return FBitmap; }

 protected:
  void InternalPaint(TcxCanvas* ACanvas) override;

 private:
  TBitmap* FBitmap = nullptr;
  TSize FBitmapSize{};
};

class TcxRichInnerEditHelper;

// The inner rich-edit window. Its library and class are chosen when the
// first window is made: "Msftedit.dll", "Riched20.dll", "Riched32.dll" in
// that order, then the newest class registered ("RICHEDIT50A" first). The
// hidden renderer is one of these without an editor.
class TcxRichInnerEdit : public TcxInnerMemoWindow<TRichEdit> {
  ORV_CLASS(TcxRichInnerEdit, TcxInnerMemoWindow<TRichEdit>)
 public:
  explicit TcxRichInnerEdit(TComponent* AOwner);
  ~TcxRichInnerEdit() override;

  TcxCustomRichEdit* GetContainer() const;

  TcxRichEditStrings* GetRichLines() const { return FRichLines; }
  bool GetMemoMode() const { return FMemoMode; }
  // Re-creates the window.
  void SetMemoMode(bool Value);
  bool GetSelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool Value);
  // 100, 200, 300, 410 or 500: the class the window was made of.
  Integer GetRichVersion() const { return FRichVersion; }
  // Text read with CR LF breaks (on, but while printing).
  bool GetUseCRLF() const { return FUseCRLF; }
  // The text with CR LF breaks, however the window keeps them.
  AnsiString GetRichText();
  // A window exists or can be made now: somewhere up the chain of parents
  // there is a window, a parent window or a form.
  bool CanHaveWindow() const;
  // The current selection as a character range.
  virtual win::CHARRANGE GetSelection();

  void Print(const AnsiString& Caption) override;

 protected:
  // Loads the library once per process and subclasses the newest class
  // found; EcxEditError "Cannot load a RichEdit library" without either.
  virtual void RichCreateParams(TCreateParams& Params);
  // A key the editor may modify with is its own; otherwise it hears a key
  // that changed nothing and is no navigation key.
  bool TellsAfterKeyDown(Word Key, TShiftState Shift, const TcxCustomInnerTextEditPrevState& State) override;

  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void RequestSize(const TRect& Rect) override;
  void SelectionChange() override;
  // A change the focused window makes of a key asks the editor first.
  void Change() override;

  ORV_INNER_MEMO_MESSAGES
  // The rich edit's own Enter rule, then the inner memo's key handling.
  void WMKeyDown(TMessage& Message);
  void WMChar(TMessage& Message);
  ORV_MESSAGE(win::WM_CHAR, WMChar)
  void WMClear(TMessage& Message);
  ORV_MESSAGE(win::WM_CLEAR, WMClear)
  void WMCut(TMessage& Message);
  ORV_MESSAGE(win::WM_CUT, WMCut)
  void WMPaste(TMessage& Message);
  ORV_MESSAGE(win::WM_PASTE, WMPaste)
  void EMReplaceSel(TMessage& Message);
  ORV_MESSAGE(win::EM_REPLACESEL, EMReplaceSel)
  void EMSetCharFormat(TMessage& Message);
  ORV_MESSAGE(win::EM_SETCHARFORMAT, EMSetCharFormat)
  void EMSetParaFormat(TMessage& Message);
  ORV_MESSAGE(win::EM_SETPARAFORMAT, EMSetParaFormat)
  void WMHScroll(TMessage& Message);
  ORV_MESSAGE(win::WM_HSCROLL, WMHScroll)
  void WMVScroll(TMessage& Message);
  ORV_MESSAGE(win::WM_VSCROLL, WMVScroll)
  // The size-grip corner moves with the window.
  void WMWindowPosChanged(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  ORV_MESSAGE(win::WM_NCPAINT, WMNCPaint)
  void WMEraseBkgnd(TMessage& Message);
  ORV_MESSAGE(win::WM_ERASEBKGND, WMEraseBkgnd)
  void WMMButtonDown(TMessage& Message);
  ORV_MESSAGE(win::WM_MBUTTONDOWN, WMMButtonDown)

 private:
  friend class TcxRichInnerEditHelper;
  friend class TcxCustomRichEdit;
  // The window's text mode made to match the memo mode, its text kept.
  void InternalSetMemoMode();

  TcxRichEditStrings* FRichLines = nullptr;
  bool FMemoMode = false;
  bool FSelectionBar = false;
  Integer FRichVersion = 0;
  bool FKeyProcessing = false;
  bool FSavedPlainText = false;
  bool FPlainTextSaved = false;
  bool FUseCRLF = true;
};

// The inner edit's side that the editor framework drives.
class TcxRichInnerEditHelper : public TcxInnerMemoHelperBase {
  ORV_CLASS(TcxRichInnerEditHelper, TcxInnerMemoHelperBase)
 public:
  // Plain text and word wrap start off.
  explicit TcxRichInnerEditHelper(TcxRichInnerEdit* AEdit);

  // The window's text.
  Variant GetEditValue() override;
  // Through the line list: rich text (plain text when it is none), or
  // plain text in memo mode; without a window to load into, the window's
  // text.
  void SetEditValue(const Variant& Value) override;
  TNotifyEvent GetOnSelChange() override;
  void SetOnSelChange(TNotifyEvent Value) override;
  // The rich line list.
  TStrings* GetLines() override;
  // Nothing in place: the grid decides.
  void SelectAll() override;
  void SetHideSelection(bool Value) override;

 private:
  TcxRichInnerEdit* FEdit;
};

class TcxCustomRichEdit : public TcxCustomMemo {
  ORV_CLASS(TcxCustomRichEdit, TcxCustomMemo)
 public:
  explicit TcxCustomRichEdit(TComponent* AOwner) : TcxCustomRichEdit(AOwner, false) {}
  TcxCustomRichEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomRichEdit() override;
  void BeforeDestruction() override;

  TcxCustomRichEditProperties* GetProperties() const {
    return static_cast<TcxCustomRichEditProperties*>(TcxCustomMemo::GetProperties());
  }
  TcxCustomRichEditProperties* GetActiveProperties() const {
    return static_cast<TcxCustomRichEditProperties*>(TcxCustomMemo::GetActiveProperties());
  }
  void SetProperties(TcxCustomRichEditProperties* Value) { TcxCustomMemo::SetProperties(Value); }
  TcxRichInnerEdit* GetInnerRichEdit() const;

  // The rich line list; assigning copies.
  TcxRichEditStrings* GetLines() const;
  void SetLines(TStrings* Value);
  TTextAttributes* GetDefAttributes() const;
  void SetDefAttributes(TTextAttributes* Value);
  // In memo mode the default attributes: the window has one format.
  TTextAttributes* GetSelAttributes() const;
  void SetSelAttributes(TTextAttributes* Value);
  TParaAttributes* GetParagraph() const;
  void SetParagraph(TParaAttributes* Value);
  TRect GetPageRect() const { return FPageRect; }
  void SetPageRect(const TRect& Value) { FPageRect = Value; }
  TConversionClass GetDefaultConverter() const;
  void SetDefaultConverter(TConversionClass Value);
  bool CanUndo();

  // Null while the null-value flag is up; otherwise the value as the
  // window holds it.
  Variant GetEditValue() override;
  void PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) override;
  void InternalSetEditValue(const Variant& Value, bool AValidateEdit) override;
  void SynchronizeDisplayValue() override {}
  void SynchronizeEditValue() override {}
  void ResetEditValue() override;
  void PropertiesChanged(TObject* Sender) override;
  using TcxCustomMemo::PropertiesChanged;
  // The bars follow the window's new place.
  void SetParent(TWinControl* AParent) override;

  void ClearSelection() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void Undo() override;
  // The position found in start..start + length, or -1.
  Integer FindTexT(const AnsiString& AText, Integer AStartPos = 0, Integer ALength = -1,
                   TSearchTypes AOptions = {});
  virtual void Print(const AnsiString& ACaption);
  bool CanDeleteSelection();

  // The extension's conversion for every rich text editor's files, and
  // for the platform's rich edits too; the newest registration wins.
  static void RegisterConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass);

  // The editor's own context menu, made on first use.
  virtual TComponent* GetEditPopupMenuInstance();

 protected:
  // Its value is its rich text, not the plain text of its window.
  bool EditValueFollowsText() override { return false; }
  virtual bool IsNavigationKey(Word Key, TShiftState Shift);
  // Enables the items of the editor's own menu by what can be done now.
  virtual void UpdateEditPopupMenuItems(TComponent* APopupMenu);

  void AdjustInnerEdit() override;
  bool CanKeyDownModifyEdit(Word Key, TShiftState Shift) override;
  void ChangeHandler(TObject* Sender) override;
  void ContainerStyleChanged(TObject* Sender) override;
  bool DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) override;
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
  TClassRef<TWinControl> GetInnerEditClass() const override;
  void Initialize() override;
  void InternalValidateDisplayValue(const Variant&) override {}
  void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  bool UpdateContentOnFocusChanging() override { return false; }
  void SetScrollBarsParameters(bool AIsScrolling) override;
  void VisibleChanged() override;

  void DoProtectChange(TObject* Sender, Integer StartPos, Integer EndPos, bool& AllowChange);
  void DoSaveClipboard(TObject* Sender, Integer NumObjects, Integer NumChars, bool& SaveClipboard);
  void DoOnResizeRequest(const TRect& R);
  void DoOnSelectionChange();

 private:
  friend class TcxRichInnerEdit;
  friend class TcxRichInnerEditHelper;
  void EditPopupMenuClick(TObject* Sender);
  void RefreshScrollBars();

  bool FIsNullEditValue = true;
  bool FPropertiesApplying = false;
  TPopupMenu* FEditPopupMenu = nullptr;
  TRect FPageRect{};
  // What an editor without a parent was last given: its window cannot
  // hold the formatting until it has one.
  Variant FValueWithoutWindow;
  bool FHasValueWithoutWindow = false;
};

class TcxRichEdit : public TcxCustomRichEdit {
  ORV_CLASS(TcxRichEdit, TcxCustomRichEdit)
 public:
  explicit TcxRichEdit(TComponent* AOwner) : TcxCustomRichEdit(AOwner, false) {}
  TcxRichEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomRichEdit(AOwner, AIsInplace) {}

  TcxRichEditProperties* GetProperties() const {
    return static_cast<TcxRichEditProperties*>(TcxCustomRichEdit::GetProperties());
  }
  TcxRichEditProperties* GetActiveProperties() const {
    return static_cast<TcxRichEditProperties*>(TcxCustomRichEdit::GetActiveProperties());
  }
  void SetProperties(TcxRichEditProperties* Value) { TcxCustomRichEdit::SetProperties(Value); }

 protected:
  TClassRef<TcxCustomEditProperties> GetPropertiesClass() const override;
};

// The rich text editor unit's start-up and shut-down, counted.
void cxRichEditInitialize();
void cxRichEditFinalize();
