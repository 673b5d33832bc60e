#include "library/editors/cxRichEdit.h"

#include <algorithm>

#include "library/editors/core/cxEditErrors.h"
#include "library/editors/core/cxEditPaintUtils.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxInnerTextEdit.h"
#include "library/editors/cxExtEditConsts.h"
#include "library/editors/cxRichEditRenderer.h"
#include "platform/forms/Bitmap.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Modules.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxCustomRichEditProperties)
ORV_REGISTER(TcxRichEditProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(false), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(HideScrollBars).Default(true), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(MaxLength).Default(0),
             ORV_PROP(MemoMode).Default(false), ORV_PROP(OEMConvert).Default(false),
             ORV_PROP(PlainText).Default(false), ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ScrollBars).Default(ssNone), ORV_PROP(SelectionBar).Default(false),
             ORV_PROP(VisibleLineCount).Default(0), ORV_PROP(WantReturns).Default(true),
             ORV_PROP(WantTabs).Default(false), ORV_PROP(WordWrap).Default(true), ORV_EVENT(OnChange),
             ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnProtectChange), ORV_EVENT(OnResizeRequest),
             ORV_EVENT(OnSaveClipboard), ORV_EVENT(OnSelectionChange))
ORV_REGISTER(TcxCustomRichEditViewData)
ORV_REGISTER(TcxCustomRichEditViewInfo)
ORV_REGISTER(TcxRichInnerEditHelper)
ORV_REGISTER(TcxRichInnerEdit)
ORV_REGISTER(TcxCustomRichEdit)
ORV_REGISTER(TcxRichEdit, ORV_PROP(Align), ORV_PROP(Anchors), ORV_PROP(Constraints), ORV_PROP(DragCursor),
             ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(Enabled), ORV_PROP(ImeMode), ORV_PROP(ImeName),
             ORV_PROP(Lines), ORV_PROP(ParentColor).Default(false), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused),
             ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop),
             ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress),
             ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave),
             ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))

namespace {

// The editor's own menu: item tags name the commands.
constexpr Integer kUndoTag = -1, kRedoTag = -2, kCutTag = -3, kCopyTag = -4, kPasteTag = -5, kDeleteTag = -6,
                  kSelectAllTag = -7, kSeparatorTag = 2147483647;

bool ClipboardHasAnyFormat() { return CountClipboardFormats() > 0; }

// The library loaded for the inner windows, once per process, and the
// class chosen from what it registered.
HMODULE RichLibrary = nullptr;

struct RichClassName {
  const char* Name;
  Integer Version;
};
constexpr RichClassName kRichClasses[] = {
    {"RICHEDIT50", 500}, {"RICHEDIT41", 410}, {"RICHEDIT30", 300}, {"RICHEDIT20", 200}, {"RICHEDIT", 100}};
constexpr const char* kRichLibraries[] = {"Msftedit.dll", "Riched20.dll", "Riched32.dll"};

}  // namespace

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomRichEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomRichEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomMemoProperties::DoAssign(Source);
  if (!source) return;
  SetHideScrollBars(source->FHideScrollBars);
  SetMemoMode(source->FMemoMode);
  SetPlainText(source->FPlainText);
  SetSelectionBar(source->FSelectionBar);
  OnProtectChange = source->OnProtectChange;
  OnResizeRequest = source->OnResizeRequest;
  OnSaveClipboard = source->OnSaveClipboard;
  OnSelectionChange = source->OnSelectionChange;
}

TClass TcxCustomRichEditProperties::GetContainerClass() const { return TcxRichEdit::StaticClass(); }
TClass TcxCustomRichEditProperties::GetViewDataClass() const { return TcxCustomRichEditViewData::StaticClass(); }
TClass TcxCustomRichEditProperties::GetViewInfoClass() const { return TcxCustomRichEditViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomRichEditProperties::GetSupportedOperations() const {
  return {esoAutoHeight, esoEditing, esoHorzAlignment};
}

AnsiString TcxCustomRichEditProperties::GetDisplayText(const Variant& AEditValue, bool AFullText, bool AIsInplace) {
  Variant text = AEditValue;
  if (FMemoMode) {
    if (IsRichText(VarToStr(AEditValue))) text = Variant(AnsiString());
  } else if (!FPlainText && !VarIsNull(AEditValue)) {
    text = Variant(cxRichEditPlainText(AEditValue));
  }
  return TcxCustomMemoProperties::GetDisplayText(text, AFullText, AIsInplace);
}

void TcxCustomRichEditProperties::SetHideScrollBars(bool Value) {
  if (FHideScrollBars == Value) return;
  FHideScrollBars = Value;
  Changed();
}

void TcxCustomRichEditProperties::SetMemoMode(bool Value) {
  if (FMemoMode == Value) return;
  FMemoMode = Value;
  Changed();
}

void TcxCustomRichEditProperties::SetPlainText(bool Value) {
  if (FPlainText == Value) return;
  FPlainText = Value;
  auto changing = orv::TempValue(FPlainTextChanging, true);
  Changed();
}

void TcxCustomRichEditProperties::SetSelectionBar(bool Value) {
  if (FSelectionBar == Value) return;
  FSelectionBar = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// View data and view info.

void TcxCustomRichEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton, TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomMemoViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  static_cast<TcxCustomRichEditViewInfo*>(AViewInfo)->RenderAgain = true;
}

void TcxCustomRichEditViewData::EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AValue,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  TcxCustomMemoViewData::EditValueToDrawValue(ACanvas, AValue, AViewInfo);
  auto* info = static_cast<TcxCustomRichEditViewInfo*>(AViewInfo);
  info->EditValue = AValue;
  info->RenderAgain = true;
}

TSize TcxCustomRichEditViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                            const TcxEditSizeProperties& AEditSizeProperties) {
  if (AEditSizeProperties.Width < 0 || GetProperties()->GetVisibleLineCount() >= 1)
    return TcxCustomMemoViewData::InternalGetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
  const Integer width = AEditSizeProperties.Width;
  // Measured on a device context like the canvas's, black on white, in
  // the style's font.
  const HDC dc = CreateCompatibleDC(ACanvas->GetHandle());
  orv::ScopeExit freeDC([dc] { DeleteDC(dc); });
  Integer height = cxDrawRichEditText(dc, TRect(0, 0, width, 0), AEditValue, GetProperties(),
                                      GetStyle()->GetVisibleFont(), clBlack, clWhite, true);
  // Without a renderer: one line of the memo.
  if (height < 0) return TcxCustomMemoViewData::InternalGetEditContentSize(ACanvas, Variant(AnsiString()),
                                                                          AEditSizeProperties);
  if (height > 0) height += GetEditContentSizeCorrection().cy;
  return TSize{width, height};
}

TcxCustomRichEditViewInfo::~TcxCustomRichEditViewInfo() { FreeAndNil(FBitmap); }

TcxRegion* TcxCustomRichEditViewInfo::GetUpdateRegion(TcxContainerViewInfo*) { return New<TcxRegion>(Bounds); }

void TcxCustomRichEditViewInfo::InternalPaint(TcxCanvas* ACanvas) {
  // The inner window shows the text of a stand-alone or focused editor.
  auto* edit = dynamic_cast<TcxCustomEdit*>(Edit);
  if (!IsInplace || (edit && edit->IsFocused()) || IsDBEditPaintCopyDrawing) {
    DrawCustomEdit(ACanvas, this, true, bpsComboListEdit);
    return;
  }
  DrawText(ACanvas);
  const HDC dc = ACanvas->GetHandle();
  const int saved = SaveDC(dc);
  ACanvas->ExcludeClipRect(TextRect);
  DrawCustomEdit(ACanvas, this, true, bpsComboListEdit);
  RestoreDC(dc, saved);
}

void TcxCustomRichEditViewInfo::DrawText(TcxCanvas* ACanvas) {
  const TSize size{TextRect.Right - TextRect.Left, TextRect.Bottom - TextRect.Top};
  if (size.cx <= 0 || size.cy <= 0) return;
  if (RenderAgain) {
    if (!FBitmap || FBitmapSize.cx != size.cx || FBitmapSize.cy != size.cy) {
      FreeAndNil(FBitmap);
      FBitmap = New<TBitmap>();
      FBitmap->SetSize(size.cx, size.cy);
      FBitmapSize = size;
    }
    const Integer drawn =
        cxDrawRichEditText(FBitmap->GetCanvas()->GetHandle(), TRect(0, 0, size.cx, size.cy), EditValue,
                           dynamic_cast<TcxCustomRichEditProperties*>(EditProperties), Font, TextColor,
                           BackgroundColor, false);
    // Without a renderer the cell keeps its background and nothing else.
    if (drawn < 0) {
      FreeAndNil(FBitmap);
      FBitmapSize = {};
    }
    RenderAgain = false;
  }
  if (FBitmap) ACanvas->Draw(TextRect.Left, TextRect.Top, FBitmap);
}

// ---------------------------------------------------------------------------
// The inner window's companion.

TcxRichInnerEditHelper::TcxRichInnerEditHelper(TcxRichInnerEdit* AEdit)
    : TcxInnerMemoHelperBase(AEdit, &AEdit->FState), FEdit(AEdit) {
  FEdit->SetPlainText(false);
  FEdit->SetWordWrap(false);
}

Variant TcxRichInnerEditHelper::GetEditValue() { return Variant(FEdit->GetRichText()); }

void TcxRichInnerEditHelper::SetEditValue(const Variant& Value) {
  TcxCustomRichEdit* editor = FEdit->GetContainer();
  if (editor && editor->FPropertiesApplying) return;
  // Memo mode streams in too, as plain text: a window text set as such
  // would end at the first NUL byte.
  if (FEdit->CanHaveWindow()) {
    if (editor) editor->LockChangeEvents(true);
    orv::ScopeExit unlock([editor] {
      if (editor) editor->LockChangeEvents(false);
    });
    FEdit->HandleNeeded();
    TStringStream stream(VarToStr(Value));
    FEdit->GetRichLines()->LoadFromStream(&stream);
    return;
  }
  FEdit->SetText(VarToStr(Value));
}

TNotifyEvent TcxRichInnerEditHelper::GetOnSelChange() { return FEdit->OnSelectionChange; }
void TcxRichInnerEditHelper::SetOnSelChange(TNotifyEvent Value) { FEdit->OnSelectionChange = Value; }
TStrings* TcxRichInnerEditHelper::GetLines() { return FEdit->GetRichLines(); }

void TcxRichInnerEditHelper::SelectAll() {
  TcxCustomRichEdit* editor = FEdit->GetContainer();
  if (!(editor && editor->IsInplace())) TcxInnerMemoHelperBase::SelectAll();
}

void TcxRichInnerEditHelper::SetHideSelection(bool Value) {
  TcxCustomRichEdit* editor = FEdit->GetContainer();
  if (!(editor && editor->IsInplace())) TcxInnerMemoHelperBase::SetHideSelection(Value);
}

// ---------------------------------------------------------------------------
// The inner window.

TcxRichInnerEdit::TcxRichInnerEdit(TComponent* AOwner) : inherited(AOwner) {
  FIsCreating = true;
  FRichLines = New<TcxRichEditStrings>(this);
  FHelper = New<TcxRichInnerEditHelper>(this);
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetParentColor(true);
  SetParentFont(true);
  FIsCreating = false;
}

TcxRichInnerEdit::~TcxRichInnerEdit() {
  FreeAndNil(FHelper);
  FreeAndNil(FRichLines);
}

TcxCustomRichEdit* TcxRichInnerEdit::GetContainer() const {
  return dynamic_cast<TcxCustomRichEdit*>(const_cast<TcxRichInnerEdit*>(this)->GetOwner());
}

void TcxRichInnerEdit::SetMemoMode(bool Value) {
  if (FMemoMode == Value) return;
  FMemoMode = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxRichInnerEdit::SetSelectionBar(bool Value) {
  if (FSelectionBar == Value) return;
  FSelectionBar = Value;
  if (HandleAllocated()) RecreateWnd();
}

AnsiString TcxRichInnerEdit::GetRichText() {
  if (!HandleAllocated() || FRichVersion < 200) return GetText();
  GETTEXTLENGTHEX how{GTL_PRECISE | (FUseCRLF ? GTL_USECRLF : 0u), 0};
  const auto length = static_cast<std::size_t>(
      std::max<LRESULT>(0, SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0)));
  AnsiString text(length + 1, '\0');
  GETTEXTEX get{static_cast<DWORD>(length + 1), FUseCRLF ? GT_USECRLF : GT_DEFAULT, 0, nullptr, nullptr};
  const auto copied = static_cast<std::size_t>(std::max<LRESULT>(
      0, SendMessageA(GetHandle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
  text.resize(std::min(copied, length));
  return text;
}

bool TcxRichInnerEdit::CanHaveWindow() const {
  const TWinControl* control = this;
  for (; control; control = control->GetParent()) {
    if (control->HandleAllocated() || control->GetParentWindow()) return true;
    if (!control->GetParent()) break;
  }
  return dynamic_cast<const TCustomForm*>(control) != nullptr;
}

CHARRANGE TcxRichInnerEdit::GetSelection() {
  CHARRANGE range{0, 0};
  if (HandleAllocated()) SendMessageA(GetHandle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void TcxRichInnerEdit::Print(const AnsiString& Caption) {
  auto crlf = orv::TempValue(FUseCRLF, false);
  inherited::Print(Caption);
}

void TcxRichInnerEdit::RichCreateParams(TCreateParams& Params) {
  if (!RichLibrary)
    for (const char* name : kRichLibraries)
      if ((RichLibrary = LoadLibraryA(name))) break;
  if (RichLibrary) {
    for (const RichClassName& cls : kRichClasses) {
      for (const AnsiString& name : {AnsiString(cls.Name) + "A", AnsiString(cls.Name)}) {
        WNDCLASSA wc{};
        if (!GetClassInfoA(nullptr, name.c_str(), &wc)) continue;
        CreateSubClass(Params, name.c_str());
        FRichVersion = cls.Version;
        return;
      }
    }
  }
  throw EcxEditError(cxExtEditResString(cxSEditRichEditLibraryError));
}

void TcxRichInnerEdit::CreateParams(TCreateParams& Params) {
  // The platform's own choice raises its own error: ours is asked first.
  TCreateParams probe = Params;
  RichCreateParams(probe);
  inherited::CreateParams(Params);
  RichCreateParams(Params);
  Params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
  if (FSelectionBar) Params.Style |= ES_SELECTIONBAR;
}

void TcxRichInnerEdit::CreateWnd() {
  if (FPlainTextSaved) SetPlainText(FSavedPlainText);
  FPlainTextSaved = false;
  TcxCustomRichEdit* editor = GetContainer();
  // A value given while the editor could have no window comes in once
  // there is one, formatted.
  const bool pending = editor && editor->FHasValueWithoutWindow;
  const Variant value = pending ? editor->FValueWithoutWindow : Variant();
  if (editor) editor->ClearSavedChildControlRegions();
  inherited::CreateWnd();
  if (editor) SetPlainText(GetPlainText() || editor->GetActiveProperties()->GetMemoMode());
  const HWND wnd = GetHandle();
  // The renderer, which has no editor, hears nothing.
  SendMessageA(wnd, EM_SETEVENTMASK, 0,
               editor ? ENM_CHANGE | ENM_KEYEVENTS | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED : ENM_NONE);
  if (GetMaxLength() == 0) SendMessageA(wnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
  InternalSetMemoMode();
  if (pending) {
    editor->FHasValueWithoutWindow = false;
    editor->FValueWithoutWindow = Variant();
    auto locked = ChangeEventsLocked(editor);
    FHelper->SetEditValue(value);
  }
  RefreshScrollBars();
}

void TcxRichInnerEdit::DestroyWnd() {
  FSavedPlainText = GetPlainText();
  FPlainTextSaved = true;
  inherited::DestroyWnd();
}

void TcxRichInnerEdit::InternalSetMemoMode() {
  if (!HandleAllocated()) return;
  const HWND wnd = GetHandle();
  const auto mode = static_cast<DWORD>(SendMessageA(wnd, EM_GETTEXTMODE, 0, 0));
  const bool plain = (mode & TM_PLAINTEXT) != 0;
  if (plain == FMemoMode) return;
  const AnsiString text = GetRichText();
  SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  const DWORD switched = (mode & ~(TM_PLAINTEXT | TM_RICHTEXT)) | (FMemoMode ? TM_PLAINTEXT : TM_RICHTEXT);
  SendMessageA(wnd, EM_SETTEXTMODE, switched, 0);
  SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TcxRichInnerEdit::WndProc(TMessage& Message) {
  if (EditorTakesMessage(Message)) return;
  const bool key = (Message.Msg == WM_KEYDOWN || Message.Msg == WM_CHAR) && Message.WParam != VK_ESCAPE;
  auto processing = orv::TempValue(FKeyProcessing, FKeyProcessing || key);
  inherited::WndProc(Message);
}

void TcxRichInnerEdit::WMKeyDown(TMessage& Message) {
  // Enter without Ctrl makes no line when the editor does not want it.
  if (Message.WParam == VK_RETURN && FRichVersion >= 200 && !GetWantReturns() && GetKeyState(VK_CONTROL) >= 0) {
    Word key = VK_RETURN;
    if (TcxCustomRichEdit* editor = GetContainer()) editor->KeyDown(key, KeyDataToShiftState(Message.LParam));
    return;
  }
  inherited::WMKeyDown(Message);
}

bool TcxRichInnerEdit::TellsAfterKeyDown(Word Key, TShiftState Shift, const TcxCustomInnerTextEditPrevState& State) {
  TcxCustomRichEdit* editor = GetContainer();
  return !editor->CanKeyDownModifyEdit(Key, Shift) && !CheckTextEditState(this, State) &&
         !editor->IsNavigationKey(Key, Shift);
}

void TcxRichInnerEdit::WMChar(TMessage& Message) {
  if (Message.WParam == '\t' && !GetWantTabs()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

// ---- editing messages ask the editor ----

void TcxRichInnerEdit::WMClear(TMessage& Message) {
  if (GetSelLength() > 0 && !EditorAllowsEditing()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::WMCut(TMessage& Message) {
  if (GetSelLength() == 0) return;
  if (EditorAllowsEditing())
    DispatchFrom(inherited::StaticClass(), Message);
  else
    CopyToClipboard();
}

void TcxRichInnerEdit::WMPaste(TMessage& Message) {
  if (!ClipboardHasAnyFormat() || !EditorAllowsEditing()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::EMReplaceSel(TMessage& Message) {
  TcxCustomRichEdit* editor = GetContainer();
  if (editor && editor->IsFocused() && !editor->DoEditing()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::EMSetCharFormat(TMessage& Message) {
  if ((Message.WParam & SCF_SELECTION) && GetSelLength() > 0 && Focused() && !EditorAllowsEditing()) return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::EMSetParaFormat(TMessage& Message) {
  TcxCustomRichEdit* editor = GetContainer();
  if (editor && Focused() && !editor->GetComponentState().Contains(csDestroying) &&
      !editor->GetComponentState().Contains(csLoading) && !editor->DoEditing())
    return;
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::Change() {
  TcxCustomRichEdit* editor = GetContainer();
  if (editor && FKeyProcessing && Focused() && !editor->GetComponentState().Contains(csDestroying) &&
      !editor->GetComponentState().Contains(csLoading))
    editor->DoEditing();
  inherited::Change();
}

// Scrolled by someone else than the person typing: the bars follow.
void TcxRichInnerEdit::WMHScroll(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!Focused()) RefreshScrollBars();
}

void TcxRichInnerEdit::WMVScroll(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (!Focused()) RefreshScrollBars();
}

// ---- position, frame ----

void TcxRichInnerEdit::WMWindowPosChanged(TMessage& Message) {
  inherited::WMWindowPosChanged(Message);
  // The size-grip corner moves with the window.
  if (HandleAllocated() && !cxRectIsEmpty(GetSizeGripRect(this)))
    SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

// The frame, then the square between the editor's two bars in the button
// face: the bars lie over the window's own, which show through there.
void TcxRichInnerEdit::WMNCPaint(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  const TRect grip = GetSizeGripRect(this);
  if (cxRectIsEmpty(grip)) return;
  const HWND wnd = GetHandle();
  RECT square{grip.Left, grip.Top, grip.Right, grip.Bottom};
  const HDC dc = GetWindowDC(wnd);
  FillRect(dc, &square, GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(wnd, dc);
}

void TcxRichInnerEdit::WMEraseBkgnd(TMessage& Message) {
  TcxCustomRichEdit* editor = GetContainer();
  if (FRichVersion >= 200 || (editor && editor->IsInplace())) {
    Message.Result = 1;
    return;
  }
  DispatchFrom(inherited::StaticClass(), Message);
}

void TcxRichInnerEdit::WMMButtonDown(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  TcxCustomRichEdit* editor = GetContainer();
  if (!editor || !editor->HandleAllocated()) return;
  const TPoint p(GET_X_LPARAM(Message.LParam) + GetLeft(), GET_Y_LPARAM(Message.LParam) + GetTop());
  SendMessageA(editor->GetHandle(), WM_MBUTTONDOWN, Message.WParam, MAKELPARAM(p.X, p.Y));
}

// The content's wish in the editor's coordinates, with the editor's frame
// around the inner window.
void TcxRichInnerEdit::RequestSize(const TRect& Rect) {
  inherited::RequestSize(Rect);
  TcxCustomRichEdit* editor = GetContainer();
  if (!editor || !editor->GetViewInfo()) return;
  TRect r = cxRectOffset(Rect, GetLeft(), GetTop());
  const TRect client = editor->GetViewInfo()->ClientRect;
  const TRect bounds = editor->GetViewInfo()->Bounds;
  r.Left -= client.Left - bounds.Left;
  r.Top -= client.Top - bounds.Top;
  r.Right += bounds.Right - client.Right;
  r.Bottom += bounds.Bottom - client.Bottom;
  editor->DoOnResizeRequest(r);
}

void TcxRichInnerEdit::SelectionChange() {
  inherited::SelectionChange();
  if (TcxCustomRichEdit* editor = GetContainer()) editor->DoOnSelectionChange();
}

// ---------------------------------------------------------------------------
// The editor.

TcxCustomRichEdit::TcxCustomRichEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomMemo(AOwner, AIsInplace) {}

TcxCustomRichEdit::~TcxCustomRichEdit() = default;

void TcxCustomRichEdit::BeforeDestruction() {
  FreeAndNil(FEditPopupMenu);
  TcxCustomMemo::BeforeDestruction();
}

TClassRef<TcxCustomEditProperties> TcxCustomRichEdit::GetPropertiesClass() const {
  return TcxCustomRichEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxRichEdit::GetPropertiesClass() const {
  return TcxRichEditProperties::StaticClass();
}

TClassRef<TWinControl> TcxCustomRichEdit::GetInnerEditClass() const { return TcxRichInnerEdit::StaticClass(); }

TcxRichInnerEdit* TcxCustomRichEdit::GetInnerRichEdit() const {
  return dynamic_cast<TcxRichInnerEdit*>(GetInnerControl());
}

void TcxCustomRichEdit::Initialize() {
  TcxCustomMemo::Initialize();
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) {
    inner->OnProtectChange = TRichEditProtectChange::Bind<&TcxCustomRichEdit::DoProtectChange>(this);
    inner->OnSaveClipboard = TRichEditSaveClipboard::Bind<&TcxCustomRichEdit::DoSaveClipboard>(this);
  }
  FIsNullEditValue = true;
}

TcxRichEditStrings* TcxCustomRichEdit::GetLines() const {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  return inner ? inner->GetRichLines() : nullptr;
}

void TcxCustomRichEdit::SetLines(TStrings* Value) {
  if (TcxRichEditStrings* lines = GetLines()) lines->Assign(Value);
}

TTextAttributes* TcxCustomRichEdit::GetDefAttributes() const { return GetInnerRichEdit()->GetDefAttributes(); }
void TcxCustomRichEdit::SetDefAttributes(TTextAttributes* Value) { GetInnerRichEdit()->SetDefAttributes(Value); }

TTextAttributes* TcxCustomRichEdit::GetSelAttributes() const {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  return GetActiveProperties()->GetMemoMode() ? inner->GetDefAttributes() : inner->GetSelAttributes();
}

void TcxCustomRichEdit::SetSelAttributes(TTextAttributes* Value) { GetSelAttributes()->Assign(Value); }
TParaAttributes* TcxCustomRichEdit::GetParagraph() const { return GetInnerRichEdit()->GetParagraph(); }
void TcxCustomRichEdit::SetParagraph(TParaAttributes* Value) { GetInnerRichEdit()->SetParagraph(Value); }
TConversionClass TcxCustomRichEdit::GetDefaultConverter() const { return GetInnerRichEdit()->GetDefaultConverter(); }
void TcxCustomRichEdit::SetDefaultConverter(TConversionClass Value) {
  GetInnerRichEdit()->SetDefaultConverter(Value);
}

bool TcxCustomRichEdit::CanUndo() {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  return inner && inner->HandleAllocated() && SendMessageA(inner->GetHandle(), EM_CANUNDO, 0, 0) != 0;
}

// ---- the value ----

Variant TcxCustomRichEdit::GetEditValue() {
  if (FIsNullEditValue) return Null();
  Variant value;
  PrepareEditValue(Variant(), value, IsFocused());
  return value;
}

// Rich text is read out of the window, made for it when the editor has a
// parent; an editor without one answers what it was given, formatting
// and all, rather than the plain text its window-less lines hold.
void TcxCustomRichEdit::PrepareEditValue(const Variant&, Variant& EditValue, bool) {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!inner) return;
  if (GetActiveProperties()->IsRichMode()) {
    if (!inner->CanHaveWindow()) {
      EditValue = FHasValueWithoutWindow ? FValueWithoutWindow : Variant(inner->GetText());
      return;
    }
    inner->HandleNeeded();
    TStringStream stream;
    inner->GetRichLines()->SaveToStream(&stream);
    EditValue = Variant(stream.GetDataString());
    return;
  }
  EditValue = Variant(inner->GetRichText());
}

void TcxCustomRichEdit::InternalSetEditValue(const Variant& Value, bool) {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!inner) return;
  const bool windowless = !inner->CanHaveWindow();
  {
    auto locked = ChangeEventsLocked(this);
    const bool redraw = inner->HandleAllocated();
    if (redraw) SendMessageA(inner->GetHandle(), WM_SETREDRAW, FALSE, 0);
    orv::ScopeExit redrawOn([inner, redraw] {
      if (!redraw || !inner->HandleAllocated()) return;
      SendMessageA(inner->GetHandle(), WM_SETREDRAW, TRUE, 0);
      inner->Invalidate();
    });
    inner->SetText(AnsiString());
    if (!VarIsNull(Value)) GetInnerEdit()->SetEditValue(Value);
    SetModified(false);
    if (inner->HandleAllocated()) inner->SetModified(false);
    // Setting the value is no change by anyone.
    GetChangeEventsCatcher()->SetOnEditValueChangedEvent(false);
  }
  // Set after the text, whose own change notice would clear them.
  FHasValueWithoutWindow = windowless;
  FValueWithoutWindow = windowless ? Value : Variant();
  FIsNullEditValue = VarIsNull(Value);
}

void TcxCustomRichEdit::ChangeHandler(TObject* Sender) {
  FIsNullEditValue = false;
  FHasValueWithoutWindow = false;
  TcxCustomMemo::ChangeHandler(Sender);
  DoEditValueChanged();
}

namespace {
bool BoundToDataStorage(TcxCustomEdit* AEdit) {
  IcxEditDefaultValuesProvider* provider = AEdit->GetDataBinding()->GetIDefaultValuesProvider();
  return !AEdit->IsInplace() && provider && provider->IsDataStorage();
}
}  // namespace

// The value is loaded again, in the new style.
void TcxCustomRichEdit::ResetEditValue() {
  if (BoundToDataStorage(this)) Reset();
}

void TcxCustomRichEdit::ContainerStyleChanged(TObject* Sender) {
  TcxCustomMemo::ContainerStyleChanged(Sender);
  if (BoundToDataStorage(this) && GetActiveProperties()->IsRichMode() && !GetModifiedAfterEnter())
    Reset();
}

void TcxCustomRichEdit::PropertiesChanged(TObject* Sender) {
  if (PropertiesChangeLocked()) return;
  TcxCustomRichEditProperties* properties = GetActiveProperties();
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) {
    inner->SetHideScrollBars(properties->GetHideScrollBars());
    inner->SetMemoMode(properties->GetMemoMode());
    inner->SetPlainText(properties->GetPlainText() || properties->GetMemoMode());
    inner->SetSelectionBar(properties->GetSelectionBar());
  }
  // A stand-alone editor keeps its text through the memo's handling: the
  // value is not loaded into the window again.
  const bool applying = !IsInplace() && !IsDBEdit();
  auto applyingFlag = orv::TempValue(FPropertiesApplying, FPropertiesApplying || applying);
  TcxCustomMemo::PropertiesChanged(Sender);
}

void TcxCustomRichEdit::AdjustInnerEdit() {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!inner || GetActiveProperties()->GetMemoMode()) {
    TcxCustomMemo::AdjustInnerEdit();
    return;
  }
  if (GetViewInfo()) inner->SetColor(GetViewInfo()->BackgroundColor);
  TFont* font = GetActiveStyle()->GetVisibleFont();
  inner->GetFont()->Assign(font);
  if (inner->HandleAllocated() && !IsInplace()) {
    TTextAttributes* attributes = inner->GetDefAttributes();
    attributes->SetName(font->GetName());
    attributes->SetSize(font->GetSize());
    attributes->SetStyle(font->GetStyle());
    attributes->SetColor(font->GetColor());
  }
}

// ---- keys ----

bool TcxCustomRichEdit::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  if (TcxCustomMemo::CanKeyDownModifyEdit(Key, Shift)) return true;
  const bool shiftOnly = Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
  if ((Key == VK_DELETE || Key == VK_INSERT) && shiftOnly) return true;
  if ((Key == 'V' || (Key == 'X' && Shift.Contains(ssCtrl))) && ClipboardHasAnyFormat()) return true;
  return Key == VK_BACK;
}

bool TcxCustomRichEdit::IsNavigationKey(Word Key, TShiftState Shift) {
  const bool noShift = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return noShift;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: return true;
    default: return false;
  }
}

// ---- text operations ----

bool TcxCustomRichEdit::CanDeleteSelection() { return GetSelLength() >= 1 && CanModify(); }

void TcxCustomRichEdit::ClearSelection() {
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) inner->ClearSelection();
}

void TcxCustomRichEdit::CutToClipboard() {
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) inner->CutToClipboard();
}

void TcxCustomRichEdit::PasteFromClipboard() {
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) inner->PasteFromClipboard();
}

void TcxCustomRichEdit::Undo() {
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) inner->Undo();
}

Integer TcxCustomRichEdit::FindTexT(const AnsiString& AText, Integer AStartPos, Integer ALength,
                                   TSearchTypes AOptions) {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!inner) return -1;
  if (ALength < 0) ALength = 0x7FFFFFFF - std::max(AStartPos, 0);
  return inner->FindText(AText, AStartPos, ALength, AOptions);
}

void TcxCustomRichEdit::Print(const AnsiString& ACaption) {
  if (TcxRichInnerEdit* inner = GetInnerRichEdit()) inner->Print(ACaption);
}

void TcxCustomRichEdit::RegisterConversionFormat(const AnsiString& AExtension, TConversionClass AConversionClass) {
  RegisterRichConversionFormat(AExtension, AConversionClass);
  TCustomRichEdit::RegisterConversionFormat(AExtension, AConversionClass);
}

// ---- events ----

void TcxCustomRichEdit::DoProtectChange(TObject*, Integer StartPos, Integer EndPos, bool& AllowChange) {
  if (GetProperties()->OnProtectChange) GetProperties()->OnProtectChange(this, StartPos, EndPos, AllowChange);
  if (GetRepositoryItem() && GetActiveProperties()->OnProtectChange)
    GetActiveProperties()->OnProtectChange(this, StartPos, EndPos, AllowChange);
}

void TcxCustomRichEdit::DoSaveClipboard(TObject*, Integer NumObjects, Integer NumChars, bool& SaveClipboard) {
  if (GetComponentState().Contains(csDestroying)) return;
  if (GetProperties()->OnSaveClipboard) GetProperties()->OnSaveClipboard(this, NumObjects, NumChars, SaveClipboard);
  if (GetRepositoryItem() && GetActiveProperties()->OnSaveClipboard)
    GetActiveProperties()->OnSaveClipboard(this, NumObjects, NumChars, SaveClipboard);
}

void TcxCustomRichEdit::DoOnResizeRequest(const TRect& R) {
  if (GetProperties()->OnResizeRequest) GetProperties()->OnResizeRequest(this, R);
  if (GetRepositoryItem() && GetActiveProperties()->OnResizeRequest)
    GetActiveProperties()->OnResizeRequest(this, R);
}

void TcxCustomRichEdit::DoOnSelectionChange() {
  if (GetProperties()->OnSelectionChange) GetProperties()->OnSelectionChange(this);
  if (GetRepositoryItem() && GetActiveProperties()->OnSelectionChange) GetActiveProperties()->OnSelectionChange(this);
}

// ---- scrolling ----

void TcxCustomRichEdit::RefreshScrollBars() { UpdateScrollBarsParameters(); }

void TcxCustomRichEdit::SetScrollBarsParameters(bool AIsScrolling) {
  TcxCustomMemo::SetScrollBarsParameters(AIsScrolling);
}

void TcxCustomRichEdit::SetParent(TWinControl* AParent) {
  TcxCustomMemo::SetParent(AParent);
  RefreshScrollBars();
}

void TcxCustomRichEdit::VisibleChanged() {
  TcxCustomMemo::VisibleChanged();
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (inner && inner->HandleAllocated())
    SetWindowPos(inner->GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RefreshScrollBars();
}

void TcxCustomRichEdit::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!inner || !inner->HandleAllocated()) return;
  const HWND wnd = inner->GetHandle();
  TcxScrollBar* bar = GetInnerScrollBar(AScrollBarKind);
  SendMessageA(wnd, AScrollBarKind == sbVertical ? WM_VSCROLL : WM_HSCROLL,
               MAKEWPARAM(static_cast<WORD>(AScrollCode), static_cast<WORD>(AScrollPos)),
               reinterpret_cast<LPARAM>(bar && bar->HandleAllocated() ? bar->GetHandle() : nullptr));
  if (AScrollCode == scTrack) return;
  AScrollPos = GetScrollPos(wnd, AScrollBarKind == sbVertical ? SB_VERT : SB_HORZ);
  SetScrollBarsParameters(false);
}

// ---- the context menu ----

TComponent* TcxCustomRichEdit::GetEditPopupMenuInstance() {
  if (FEditPopupMenu) return FEditPopupMenu;
  FEditPopupMenu = New<TPopupMenu>(nullptr);
  struct Item {
    const TResStringRec* Caption;
    Integer Tag;
  };
  const Item items[] = {{&cxSEditRichEditUndoCaption, kUndoTag},   {&cxSEditRichEditRedoCaption, kRedoTag},
                        {nullptr, kSeparatorTag},                   {&cxSEditRichEditCutCaption, kCutTag},
                        {&cxSEditRichEditCopyCaption, kCopyTag},   {&cxSEditRichEditPasteCaption, kPasteTag},
                        {&cxSEditRichEditDeleteCaption, kDeleteTag}, {nullptr, kSeparatorTag},
                        {&cxSEditRichEditSelectAllCaption, kSelectAllTag}};
  for (const Item& item : items) {
    auto* menuItem = New<TMenuItem>(FEditPopupMenu);
    menuItem->SetCaption(item.Caption ? cxExtEditResString(*item.Caption) : AnsiString(cLineCaption));
    menuItem->SetTag(item.Tag);
    if (item.Caption) menuItem->OnClick = TNotifyEvent::Bind<&TcxCustomRichEdit::EditPopupMenuClick>(this);
    FEditPopupMenu->GetItems()->Add(menuItem);
  }
  return FEditPopupMenu;
}

void TcxCustomRichEdit::UpdateEditPopupMenuItems(TComponent* APopupMenu) {
  auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu);
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!menu || !inner) return;
  inner->SetReadOnly(RealReadOnly());
  const HWND wnd = inner->GetHandle();
  TMenuItem* items = menu->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TMenuItem* item = items->GetItems(i);
    switch (item->GetTag()) {
      case kUndoTag: item->SetEnabled(SendMessageA(wnd, EM_CANUNDO, 0, 0) != 0); break;
      case kRedoTag: item->SetEnabled(inner->CanRedo()); break;
      case kCutTag:
      case kDeleteTag: item->SetEnabled(CanDeleteSelection()); break;
      case kCopyTag: item->SetEnabled(GetSelLength() >= 1); break;
      case kPasteTag: item->SetEnabled(SendMessageA(wnd, EM_CANPASTE, 0, 0) != 0); break;
      case kSelectAllTag: item->SetEnabled(true); break;
      default: break;
    }
  }
}

void TcxCustomRichEdit::EditPopupMenuClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TcxRichInnerEdit* inner = GetInnerRichEdit();
  if (!item || !inner) return;
  switch (item->GetTag()) {
    case kUndoTag: Undo(); break;
    case kRedoTag: inner->Redo(); break;
    case kCutTag: CutToClipboard(); break;
    case kCopyTag: CopyToClipboard(); break;
    case kPasteTag: PasteFromClipboard(); break;
    case kDeleteTag: ClearSelection(); break;
    case kSelectAllTag: inner->SelectAll(); break;
    default: break;
  }
}

bool TcxCustomRichEdit::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) {
  bool shown = false;
  if (AMenu) {
    shown = TcxCustomMemo::DoShowPopupMenu(AMenu, X, Y);
  } else {
    TComponent* menu = GetEditPopupMenuInstance();
    UpdateEditPopupMenuItems(menu);
    if (auto* popup = dynamic_cast<TPopupMenu*>(menu)) {
      popup->SetPopupComponent(this);
      popup->Popup(X, Y);
      shown = true;
    }
  }
  EditingChanged();
  return shown;
}

// ---------------------------------------------------------------------------
// The unit.

namespace {
Integer RichEditStartCount = 0;
}

void cxRichEditInitialize() {
  if (RichEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxRichEditProperties::StaticClass(),
                                          cxExtEditResString(scxSEditRepositoryRichEditItem));
}

void cxRichEditFinalize() {
  if (RichEditStartCount == 0 || --RichEditStartCount > 0) return;
  cxFreeRichRenderer();
  GetRegisteredEditProperties()->Unregister(TcxRichEditProperties::StaticClass());
  if (RichLibrary) FreeLibrary(RichLibrary);
  RichLibrary = nullptr;
  FreeRichConversionFormats();
}
