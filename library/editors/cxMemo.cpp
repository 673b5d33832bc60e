#include "library/editors/cxMemo.h"

#include <algorithm>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxEditTextUtils.h"
#include "platform/controls/EditControl.h"
#include "platform/forms/Forms.h"
#include "platform/gdi/Fills.h"
#include "platform/gdi/SysColors.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Metrics.h"
#include "platform/win/Queue.h"
#include "platform/win/ScrollBars.h"
#include "platform/win/Window.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxCustomMemoProperties)
ORV_REGISTER(TcxMemoProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(false), ORV_PROP(CharCase).Default(ecNormal),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(MaxLength).Default(0),
             ORV_PROP(OEMConvert).Default(false), ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ScrollBars).Default(ssNone), ORV_PROP(VisibleLineCount).Default(0),
             ORV_PROP(WantReturns).Default(true), ORV_PROP(WantTabs).Default(false), ORV_PROP(WordWrap).Default(true),
             ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomMemoViewData)
ORV_REGISTER(TcxCustomMemoViewInfo)
ORV_REGISTER(TcxInnerMemoHelperBase)
ORV_REGISTER(TcxCustomInnerMemoHelper)
ORV_REGISTER(TcxCustomInnerMemo)
ORV_REGISTER(TcxCustomMemo)
ORV_REGISTER(TcxMemo, ORV_PROP(Align), ORV_PROP(Anchors), ORV_PROP(BiDiMode), ORV_PROP(Constraints),
             ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(DragMode), ORV_PROP(EditValue), ORV_PROP(Enabled),
             ORV_PROP(ImeMode), ORV_PROP(ImeName), ORV_PROP(Lines), ORV_PROP(ParentColor).Default(false),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu),
             ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(StyleDisabled),
             ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Visible), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock),
             ORV_EVENT(OnEndDrag), ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress),
             ORV_EVENT(OnKeyUp), ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave),
             ORV_EVENT(OnMouseMove), ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxFilterMemoHelper)

// ---------------------------------------------------------------------------
// Text rules.

namespace {
constexpr std::size_t kFirstLineLimit = 250;
}

AnsiString ExtractFirstLine(const AnsiString& S) {
  const std::string_view head(S.data(), std::min(S.size(), kFirstLineLimit));
  return AnsiString(head.substr(0, head.find_first_of("\r\n")));
}

namespace {
// A text value cut to its first line without copying the rest of it.
Variant FirstLineValue(const Variant& AValue) {
  return AValue.VType() == varString ? Variant(ExtractFirstLine(AValue.RawAnsi())) : AValue;
}
}  // namespace

// Built in one pass: replacing each pair in place would move the rest of
// the text every time, and a long paste of such pairs would take time
// that grows with the square of its length.
AnsiString NormalizeMemoBreaks(AnsiString S) {
  if (S.find("\n\r") == AnsiString::npos) return S;
  AnsiString out;
  out.reserve(S.size() + S.size() / 2);
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (i + 1 < S.size() && S[i] == '\r' && S[i + 1] == '\n') {
      out += "\r\n";
      ++i;
    } else if (i + 1 < S.size() && S[i] == '\n' && S[i + 1] == '\r') {
      out += "\r\n\r\n";
      ++i;
    } else {
      out += S[i];
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {}

void TcxCustomMemoProperties::AfterConstruction() {
  TcxCustomTextEditProperties::AfterConstruction();
  GetAlignment()->SetVert(taTopJustify);
  SetAutoSelect(false);
}

void TcxCustomMemoProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMemoProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomTextEditProperties::DoAssign(Source);
  if (!source) return;
  SetScrollBars(source->FScrollBars);
  SetVisibleLineCount(source->FVisibleLineCount);
  SetWantReturns(source->FWantReturns);
  SetWantTabs(source->FWantTabs);
  SetWordWrap(source->FWordWrap);
}

TClass TcxCustomMemoProperties::GetContainerClass() const { return TcxMemo::StaticClass(); }
TClass TcxCustomMemoProperties::GetViewDataClass() const { return TcxCustomMemoViewData::StaticClass(); }
TClass TcxCustomMemoProperties::GetViewInfoClass() const { return TcxCustomMemoViewInfo::StaticClass(); }

AnsiString TcxCustomMemoProperties::GetDisplayText(const Variant& AEditValue, bool AFullText, bool AIsInplace) {
  // The first line is cut from the value before the text editor formats
  // it: a 100 KB note is never copied or scanned whole for a cell.
  if (AFullText) return TcxCustomTextEditProperties::GetDisplayText(AEditValue, true, AIsInplace);
  return ExtractFirstLine(TcxCustomTextEditProperties::GetDisplayText(FirstLineValue(AEditValue), false, AIsInplace));
}

TcxDataEditValueSource TcxCustomMemoProperties::GetEditValueSource(bool) const {
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  return provider && provider->IsBlob() ? evsValue : evsText;
}

void TcxCustomMemoProperties::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  Changed();
}

void TcxCustomMemoProperties::SetVisibleLineCount(Integer Value) {
  Value = std::max(Value, 0);
  if (FVisibleLineCount == Value) return;
  FVisibleLineCount = Value;
  Changed();
}

void TcxCustomMemoProperties::SetWantReturns(bool Value) {
  if (FWantReturns == Value) return;
  FWantReturns = Value;
  Changed();
}

void TcxCustomMemoProperties::SetWantTabs(bool Value) {
  if (FWantTabs == Value) return;
  FWantTabs = Value;
  Changed();
}

void TcxCustomMemoProperties::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// View data and view info.

Integer TcxCustomMemoViewData::GetDrawTextFlags() {
  TcxCustomMemoProperties* properties = GetProperties();
  const TScrollStyle bars = properties->GetScrollBars();
  const bool wraps = properties->GetWordWrap() && (bars == ssNone || bars == ssVertical);
  Cardinal flags = (wraps ? cxtfWholeRows | cxtfWordBreak | cxtfCharBreak : cxtfWholeRows) | cxtfExpandTabs |
                   cxtfKeepLeft;
  if (HorzAlignment == taCenter)
    flags |= cxMakeFormat(taCenterX, taTop);
  else if (HorzAlignment == taRightJustify)
    flags |= cxMakeFormat(taRight, taTop);
  return static_cast<Integer>(flags);
}

TRect TcxCustomMemoViewData::GetDrawTextOffset() { return GetIsInplace() ? TRect(1, 1, 1, 1) : TRect(1, 1, 1, 3); }

TSize TcxCustomMemoViewData::GetEditContentSizeCorrection() {
  const TRect offset = GetDrawTextOffset();
  return TSize{offset.Left + offset.Right, offset.Top + offset.Bottom};
}

Integer TcxCustomMemoViewData::GetMaxLineCount() {
  const Integer count = GetProperties()->GetVisibleLineCount();
  return count >= 1 ? count : TcxCustomTextEditViewData::GetMaxLineCount();
}

TSize TcxCustomMemoViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas, bool AIsInplace,
                                                             const TcxEditSizeProperties& AEditSizeProperties,
                                                             TSize& MinContentSize,
                                                             TcxCustomEditViewInfo* AViewInfo) {
  TSize result = TcxCustomTextEditViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace, AEditSizeProperties,
                                                                           MinContentSize, AViewInfo);
  TcxCustomMemoProperties* properties = GetProperties();
  const TScrollStyle bars = properties->GetScrollBars();
  if (Edit && (bars == ssHorizontal || bars == ssBoth)) MinContentSize.cy += GetSystemMetrics(SM_CYHSCROLL);
  if (properties->GetVisibleLineCount() > 0) {
    ACanvas->SetFont(GetStyle()->GetVisibleFont());
    const Integer height =
        ACanvas->TextHeight("Zg") * properties->GetVisibleLineCount() + GetEditContentSizeCorrection().cy;
    MinContentSize.cy = std::max(MinContentSize.cy, height);
  }
  return result;
}

AnsiString TcxCustomMemoViewData::InternalEditValueToDisplayText(const Variant& AEditValue) {
  return ExtractFirstLine(TcxCustomTextEditViewData::InternalEditValueToDisplayText(FirstLineValue(AEditValue)));
}

TSize TcxCustomMemoViewData::InternalGetEditContentSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                                        const TcxEditSizeProperties& AEditSizeProperties) {
  return GetTextEditContentSize(ACanvas, this, EditValueToDisplayText(AEditValue),
                                static_cast<Cardinal>(GetDrawTextFlags()), AEditSizeProperties,
                                GetProperties()->GetVisibleLineCount());
}

void TcxCustomMemoViewInfo::DrawText(TcxCanvas* ACanvas) {
  if (Text.empty()) return;
  DrawEditText(ACanvas, this);
}

// ---------------------------------------------------------------------------
// The inner memo windows' companion.

TcxInnerMemoHelperBase::TcxInnerMemoHelperBase(TCustomMemo* AEdit, TcxInnerMemoState* AState)
    : TcxInterfacedPersistent(AEdit), FMemoEdit(AEdit), FState(AState) {}

TWinControl* TcxInnerMemoHelperBase::GetControl() { return FMemoEdit; }

TcxContainer* TcxInnerMemoHelperBase::GetControlContainer() {
  auto* inner = dynamic_cast<IcxContainerInnerControl*>(FMemoEdit);
  return inner ? inner->GetControlContainer() : nullptr;
}

LRESULT TcxInnerMemoHelperBase::CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  return CallWindowProcA(FMemoEdit->GetDefWndProc(), FMemoEdit->GetHandle(), Msg, WParam, LParam);
}

TNotifyEvent TcxInnerMemoHelperBase::GetOnChange() { return FMemoEdit->OnChange; }
bool TcxInnerMemoHelperBase::GetReadOnly() { return FMemoEdit->GetReadOnly(); }

void TcxInnerMemoHelperBase::LockBounds(bool ALock) {
  if (ALock)
    ++FState->LockBoundsCount;
  else if (FState->LockBoundsCount > 0)
    --FState->LockBoundsCount;
}

void TcxInnerMemoHelperBase::SafelySetFocus() {
  auto autoSelect = orv::TempValue(FState->AutoSelect, false);
  FMemoEdit->SetFocus();
}

void TcxInnerMemoHelperBase::SetParent(TWinControl* Value) { FMemoEdit->SetParent(Value); }
void TcxInnerMemoHelperBase::SetOnChange(TNotifyEvent Value) { FMemoEdit->OnChange = Value; }
void TcxInnerMemoHelperBase::SetReadOnly(bool Value) { FMemoEdit->SetReadOnly(Value); }
void TcxInnerMemoHelperBase::ClearSelection() { FMemoEdit->ClearSelection(); }
void TcxInnerMemoHelperBase::CopyToClipboard() { FMemoEdit->CopyToClipboard(); }
TAlignment TcxInnerMemoHelperBase::GetAlignment() { return FMemoEdit->GetAlignment(); }
bool TcxInnerMemoHelperBase::GetAutoSelect() { return FState->AutoSelect; }
TEditCharCase TcxInnerMemoHelperBase::GetCharCase() { return FMemoEdit->GetCharCase(); }
bool TcxInnerMemoHelperBase::GetHideSelection() { return FMemoEdit->GetHideSelection(); }
TImeMode TcxInnerMemoHelperBase::GetImeMode() { return FMemoEdit->GetImeMode(); }
TImeName TcxInnerMemoHelperBase::GetImeName() { return FMemoEdit->GetImeName(); }
bool TcxInnerMemoHelperBase::GetInternalUpdating() { return FState->InternalUpdating; }
Integer TcxInnerMemoHelperBase::GetMaxLength() { return FMemoEdit->GetMaxLength(); }
bool TcxInnerMemoHelperBase::GetOEMConvert() { return FMemoEdit->GetOEMConvert(); }
Integer TcxInnerMemoHelperBase::GetSelLength() {
  return FMemoEdit->HandleAllocated() ? FMemoEdit->GetSelLength() : 0;
}
Integer TcxInnerMemoHelperBase::GetSelStart() { return FMemoEdit->HandleAllocated() ? FMemoEdit->GetSelStart() : 0; }
AnsiString TcxInnerMemoHelperBase::GetSelText() {
  return FMemoEdit->HandleAllocated() ? FMemoEdit->GetSelText() : AnsiString();
}
void TcxInnerMemoHelperBase::SelectAll() {
  if (FMemoEdit->HandleAllocated()) FMemoEdit->SelectAll();
}
void TcxInnerMemoHelperBase::SetAlignment(TAlignment Value) { FMemoEdit->SetAlignment(Value); }
void TcxInnerMemoHelperBase::SetAutoSelect(bool Value) { FState->AutoSelect = Value; }
void TcxInnerMemoHelperBase::SetCharCase(TEditCharCase Value) { FMemoEdit->SetCharCase(Value); }
void TcxInnerMemoHelperBase::SetHideSelection(bool Value) { FMemoEdit->SetHideSelection(Value); }
void TcxInnerMemoHelperBase::SetInternalUpdating(bool Value) { FState->InternalUpdating = Value; }
void TcxInnerMemoHelperBase::SetImeMode(TImeMode Value) { FMemoEdit->SetImeMode(Value); }
void TcxInnerMemoHelperBase::SetImeName(const TImeName& Value) { FMemoEdit->SetImeName(Value); }
void TcxInnerMemoHelperBase::SetMaxLength(Integer Value) { FMemoEdit->SetMaxLength(Value); }
void TcxInnerMemoHelperBase::SetOEMConvert(bool Value) { FMemoEdit->SetOEMConvert(Value); }
void TcxInnerMemoHelperBase::SetSelLength(Integer Value) {
  if (FMemoEdit->HandleAllocated()) FMemoEdit->SetSelLength(Value);
}
void TcxInnerMemoHelperBase::SetSelStart(Integer Value) {
  if (FMemoEdit->HandleAllocated()) FMemoEdit->SetSelStart(Value);
}
void TcxInnerMemoHelperBase::SetSelText(const AnsiString& Value) {
  if (FMemoEdit->HandleAllocated()) FMemoEdit->SetSelText(Value);
}
TPoint TcxInnerMemoHelperBase::GetCaretPos() { return FMemoEdit->GetCaretPos(); }
TScrollStyle TcxInnerMemoHelperBase::GetScrollBars() { return FMemoEdit->GetScrollBars(); }
bool TcxInnerMemoHelperBase::GetWantReturns() { return FMemoEdit->GetWantReturns(); }
bool TcxInnerMemoHelperBase::GetWantTabs() { return FMemoEdit->GetWantTabs(); }
bool TcxInnerMemoHelperBase::GetWordWrap() { return FMemoEdit->GetWordWrap(); }
void TcxInnerMemoHelperBase::SetCaretPos(const TPoint& Value) { FMemoEdit->SetCaretPos(Value); }
void TcxInnerMemoHelperBase::SetScrollBars(TScrollStyle Value) { FMemoEdit->SetScrollBars(Value); }
void TcxInnerMemoHelperBase::SetWantReturns(bool Value) { FMemoEdit->SetWantReturns(Value); }
void TcxInnerMemoHelperBase::SetWantTabs(bool Value) { FMemoEdit->SetWantTabs(Value); }
void TcxInnerMemoHelperBase::SetWordWrap(bool Value) { FMemoEdit->SetWordWrap(Value); }

TcxCustomInnerMemoHelper::TcxCustomInnerMemoHelper(TcxCustomInnerMemo* AEdit)
    : TcxInnerMemoHelperBase(AEdit, &AEdit->FState), FEdit(AEdit) {}

Variant TcxCustomInnerMemoHelper::GetEditValue() { return Variant(FEdit->GetText()); }
TNotifyEvent TcxCustomInnerMemoHelper::GetOnSelChange() { return FEdit->OnSelChange; }
void TcxCustomInnerMemoHelper::SetOnSelChange(TNotifyEvent Value) { FEdit->OnSelChange = Value; }
TStrings* TcxCustomInnerMemoHelper::GetLines() { return FEdit->GetLines(); }

void TcxCustomInnerMemoHelper::SetEditValue(const Variant& Value) {
  TcxCustomMemo* memo = FEdit->GetContainer();
  if (!FEdit->HandleAllocated() || !memo) {
    FEdit->SetText(VarToStr(Value));
    return;
  }
  auto locked = ChangeEventsLocked(memo);
  ++FEdit->FInternalTextSetting;
  {
    orv::ScopeExit done([this] { --FEdit->FInternalTextSetting; });
    // A wrapped memo in a cell would show the old lines' wrapping for a
    // moment otherwise.
    if (memo->IsInplace() && FEdit->GetWordWrap()) FEdit->GetLines()->Clear();
    FEdit->GetLines()->SetTextStr(VarToStr(Value));
  }
  // Setting the text is no change of the value by anyone: no
  // OnEditValueChanged follows from it.
  memo->GetChangeEventsCatcher()->SetOnEditValueChangedEvent(false);
}

// ---------------------------------------------------------------------------
// The inner memo.

TcxCustomInnerMemo::TcxCustomInnerMemo(TComponent* AOwner) : inherited(AOwner) {
  FIsCreating = true;
  FHelper = New<TcxCustomInnerMemoHelper>(this);
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  if (!GetComponentState().Contains(csDesigning)) SetCursor(crIBeam);
  SetParentColor(true);
  SetParentFont(true);
  FIsCreating = false;
}

TcxCustomInnerMemo::~TcxCustomInnerMemo() { FreeAndNil(FHelper); }

namespace {

// Messages that leave the text as it is (or, EM_REPLACESEL, change it and
// then synchronise the editor's value): among them those each added line
// brings. Any other may change the text unseen.
bool LeavesTextAlone(UINT AMsg) {
  switch (AMsg) {
    case WM_GETTEXT: case WM_GETTEXTLENGTH: case EM_GETLINECOUNT: case EM_LINEINDEX: case EM_LINELENGTH:
    case EM_GETLINE: case EM_GETSEL: case EM_SETSEL: case EM_LINEFROMCHAR: case EM_POSFROMCHAR:
    case EM_CHARFROMPOS: case EM_GETFIRSTVISIBLELINE: case EM_SCROLLCARET: case EM_LINESCROLL: case EM_GETMODIFY:
    case EM_GETRECT: case EM_REPLACESEL: case CN_COMMAND: case WM_PAINT: case WM_NCPAINT: case WM_ERASEBKGND:
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_SIZE: case WM_MOVE: case WM_NCCALCSIZE:
    case WM_SETCURSOR: case WM_NCHITTEST: case WM_MOUSEMOVE: case WM_TIMER: case WM_VSCROLL: case WM_HSCROLL:
    case WM_GETDLGCODE: case WM_GETFONT: case CM_MOUSEENTER: case CM_MOUSELEAVE: return true;
    default: return false;
  }
}

}  // namespace

// The editor's value may lag the text (see SynchronizeEditValue): it is
// read before anything that may change the text without telling it.
void TcxCustomInnerMemo::WndProc(TMessage& Message) {
  if (!LeavesTextAlone(Message.Msg))
    if (TcxCustomMemo* memo = GetContainer()) memo->RealizeEditValue();
  if (!EditorTakesMessage(Message)) inherited::WndProc(Message);
}

// A window class that redraws on resizing only where resizing moves the
// text: across, when the lines wrap at the width.
void TcxCustomInnerMemo::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  if (GetWordWrap() && (GetScrollBars() == ssNone || GetScrollBars() == ssVertical))
    Params.WindowClass.style |= CS_HREDRAW;
  Params.Style &= ~(ES_LEFT | ES_CENTER | ES_RIGHT);
  if (GetAlignment() == taCenter)
    Params.Style |= ES_CENTER;
  else if (GetAlignment() == taRightJustify)
    Params.Style |= ES_RIGHT;
}

void TcxCustomInnerMemo::CreateHandle() {
  if (TcxCustomMemo* memo = GetContainer()) memo->ClearSavedChildControlRegions();
  inherited::CreateHandle();
}

void TcxCustomInnerMemo::CreateWnd() {
  {
    ++FInternalTextSetting;
    orv::ScopeExit done([this] { --FInternalTextSetting; });
    inherited::CreateWnd();
  }
  RefreshScrollBars();
}

// ---- keys ----

bool TcxCustomInnerMemo::TellsAfterKeyDown(Word Key, TShiftState, const TcxCustomInnerTextEditPrevState& State) {
  return Key != VK_UP && Key != VK_DOWN && !CheckTextEditState(this, State);
}

// ---- clipboard and text ----

void TcxCustomInnerMemo::WMClear(TMessage& Message) {
  TcxCustomMemo* memo = GetContainer();
  if (!memo || memo->FInternalClearing) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  if (memo->RealReadOnly()) return;
  auto user = orv::TempValue(memo->FUserAction, true);
  memo->ClearSelection();
}

void TcxCustomInnerMemo::WMCut(TMessage&) {
  TcxCustomMemo* memo = GetContainer();
  if (!memo) return;
  auto user = orv::TempValue(memo->FUserAction, true);
  if (memo->RealReadOnly())
    memo->CopyToClipboard();
  else
    memo->CutToClipboard();
}

void TcxCustomInnerMemo::WMPaste(TMessage&) {
  TcxCustomMemo* memo = GetContainer();
  if (!memo || memo->RealReadOnly()) return;
  auto user = orv::TempValue(memo->FUserAction, true);
  memo->PasteFromClipboard();
}

void TcxCustomInnerMemo::WMSetText(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  TcxCustomMemo* memo = GetContainer();
  if (!memo || FInternalTextSetting > 0) return;
  ++FInternalTextSetting;
  orv::ScopeExit done([this] { --FInternalTextSetting; });
  memo->SetInternalEditValue(Variant(GetText()));
}

void TcxCustomInnerMemo::EMReplaceSel(TMessage& Message) {
  const char* text = reinterpret_cast<const char*>(Message.LParam);
  const AnsiString normalized = NormalizeMemoBreaks(text ? AnsiString(text) : AnsiString());
  TcxCustomMemo* memo = GetContainer();
  if (memo) {
    // Adding a line inserts it; what else replaces a selection leaves no
    // way back to the text before it.
    DWORD start = 0, end = 0;
    CallWindowProcA(GetDefWndProc(), GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                    reinterpret_cast<LPARAM>(&end));
    if (start == end && !normalized.empty())
      memo->BeginInsertion(static_cast<Integer>(start));
    else
      memo->RealizeEditValue();
  }
  {
    orv::ScopeExit ended([memo] {
      if (memo) memo->EndInsertion();
    });
    Message.Result = CallWindowProcA(GetDefWndProc(), GetHandle(), EM_REPLACESEL, Message.WParam,
                                     reinterpret_cast<LPARAM>(normalized.c_str()));
  }
  if (memo) memo->SynchronizeEditValue();
}

void TcxCustomInnerMemo::EMSetSel(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (OnSelChange) OnSelChange(this);
}

void TcxCustomInnerMemo::WMSetFont(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (HandleAllocated()) SendMessageA(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  RefreshScrollBars();
}

// ---- position, frame ----

void TcxCustomInnerMemo::WMWindowPosChanging(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  RefreshScrollBars();
}

// The frame, with the square between the two bars in the button face.
// The platform's own bars are painted too, under the container's, which
// cover them: taking their styles away for the moment would make the edit
// lay itself out again and bring the caret back into view, undoing a
// scroll.
void TcxCustomInnerMemo::WMNCPaint(TMessage& Message) {
  const HWND wnd = GetHandle();
  DispatchFrom(inherited::StaticClass(), Message);
  if (GetScrollBars() != ssBoth) return;
  auto barRect = [wnd](LONG AObject) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(wnd, AObject, &info) ||
        (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
      return TRect{};
    return TRect(info.rcScrollBar.Left, info.rcScrollBar.Top, info.rcScrollBar.Right, info.rcScrollBar.Bottom);
  };
  const TRect horz = barRect(OBJID_HSCROLL);
  const TRect vert = barRect(OBJID_VSCROLL);
  if (cxRectIsEmpty(horz) || cxRectIsEmpty(vert)) return;
  const TPoint topLeft = ScreenToClient(TPoint(vert.Left, horz.Top));
  const TPoint bottomRight = ScreenToClient(TPoint(vert.Right, horz.Bottom));
  RECT square{topLeft.X + 2, topLeft.Y + 2, bottomRight.X + 2, bottomRight.Y + 2};
  const HDC dc = GetWindowDC(wnd);
  FillRect(dc, &square, GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(wnd, dc);
}

void TcxCustomInnerMemo::CMMouseLeave(TMessage& Message) {
  DispatchFrom(inherited::StaticClass(), Message);
  if (TcxCustomMemo* memo = GetContainer()) memo->ShortRefreshContainer(false);
}

void TcxCustomInnerMemo::WMLButtonDblClk(TMessage& Message) { DispatchFrom(inherited::StaticClass(), Message); }

// ---------------------------------------------------------------------------
// The editor.

void TcxCustomMemo::Initialize() {
  TcxCustomTextEdit::Initialize();
  SetBounds(GetLeft(), GetTop(), 185, 89);
}

TClassRef<TcxCustomEditProperties> TcxCustomMemo::GetPropertiesClass() const {
  return TcxCustomMemoProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxMemo::GetPropertiesClass() const { return TcxMemoProperties::StaticClass(); }

TClassRef<TWinControl> TcxCustomMemo::GetInnerEditClass() const { return TcxCustomInnerMemo::StaticClass(); }

IcxInnerMemo* TcxCustomMemo::GetInnerMemo() const { return dynamic_cast<IcxInnerMemo*>(GetInnerEdit()); }

TStrings* TcxCustomMemo::GetLines() const {
  IcxInnerMemo* inner = GetInnerMemo();
  return inner ? inner->GetLines() : nullptr;
}

void TcxCustomMemo::SetLines(TStrings* Value) {
  if (TStrings* lines = GetLines()) lines->Assign(Value);
}

TPoint TcxCustomMemo::GetCaretPos() const {
  IcxInnerMemo* inner = GetInnerMemo();
  return inner ? inner->GetCaretPos() : TPoint();
}

void TcxCustomMemo::SetCaretPos(const TPoint& Value) {
  if (IcxInnerMemo* inner = GetInnerMemo()) inner->SetCaretPos(Value);
}

bool TcxCustomMemo::CanAutoSize() {
  TcxCustomMemoProperties* properties = GetActiveProperties();
  return !IsInplace() && properties && properties->GetVisibleLineCount() > 0;
}

bool TcxCustomMemo::CanMemoKeyModifyEdit(Word Key, TShiftState Shift) {
  TcxCustomMemoProperties* properties = GetActiveProperties();
  if (Key == VK_RETURN) return properties->GetWantReturns() || Shift.Contains(ssCtrl);
  if (Key == VK_TAB) return properties->GetWantTabs();
  return false;
}

bool TcxCustomMemo::CanKeyDownModifyEdit(Word Key, TShiftState Shift) {
  return TcxCustomTextEdit::CanKeyDownModifyEdit(Key, Shift) || CanMemoKeyModifyEdit(Key, Shift);
}

bool TcxCustomMemo::CanKeyPressModifyEdit(char Key) {
  const Word key = Key == '\r' || Key == '\n' ? VK_RETURN : Key == '\t' ? VK_TAB : 0;
  return TcxCustomTextEdit::CanKeyPressModifyEdit(Key) || CanMemoKeyModifyEdit(key, KeyboardStateToShiftState());
}

void TcxCustomMemo::KeyDown(Word& Key, TShiftState Shift) {
  if (IsInplace() && Key == VK_RETURN) {
    const bool ctrl = Shift.Contains(ssCtrl);
    // The combination that makes a line stays with the memo; the other is
    // the cell's Enter.
    if (ctrl != GetActiveProperties()->GetWantReturns()) {
      DoEditKeyDown(Key, Shift);
      return;
    }
  }
  TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMemo::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
  if ((Key == 'A' || Key == 'a') && Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) &&
      !Shift.Contains(ssAlt)) {
    TStrings* lines = GetLines();
    if (lines && lines->GetCount() > 0) {
      SelectAll();
      DoAfterKeyDown(Key, Shift);
      Key = 0;
    }
  }
}

void TcxCustomMemo::PropertiesChanged(TObject* Sender) {
  if (PropertiesChangeLocked()) return;
  TcxCustomMemoProperties* properties = GetActiveProperties();
  if (IcxInnerMemo* inner = GetInnerMemo()) {
    const bool barsChanged = inner->GetScrollBars() != properties->GetScrollBars();
    inner->SetScrollBars(properties->GetScrollBars());
    if (barsChanged && HandleAllocated()) RecreateWnd();
    inner->SetWantReturns(properties->GetWantReturns());
    inner->SetWantTabs(properties->GetWantTabs());
    inner->SetWordWrap(properties->GetWordWrap());
  }
  TcxCustomTextEdit::PropertiesChanged(Sender);
}

void TcxCustomMemo::ReadState(TReader* Reader) {
  TcxCustomTextEdit::ReadState(Reader);
  TStrings* lines = GetLines();
  if (lines && lines->GetCount() > 0) InternalSynchronizeEditValue();
}

void TcxCustomMemo::AdjustInnerEditPosition() {
  if (!GetInnerEdit() || FInnerEditPositionAdjusting || !GetViewInfo()) return;
  auto adjusting = orv::TempValue(FInnerEditPositionAdjusting, true);
  TRect r = GetViewInfo()->ClientRect;
  // The memo's sunken edge lies outside the client area, where the
  // container's border is drawn instead.
  const TRect bounds(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2);
  TWinControl* inner = GetInnerEdit()->GetControl();
  if (inner->GetBoundsRect() != bounds) inner->SetBoundsRect(bounds);
  AlignControls(inner, r);
}

void TcxCustomMemo::CreateParams(TCreateParams& Params) {
  TcxCustomTextEdit::CreateParams(Params);
  TcxCustomMemoProperties* properties = GetActiveProperties();
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  if (!properties) return;
  const TScrollStyle bars = properties->GetScrollBars();
  if (properties->GetWordWrap() && (bars == ssNone || bars == ssVertical)) Params.WindowClass.style |= CS_HREDRAW;
}

void TcxCustomMemo::Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  TWinControl* inner = GetInnerControl();
  if (!inner || !inner->HandleAllocated()) return;
  const HWND wnd = inner->GetHandle();
  if (AScrollBarKind == sbVertical && (AScrollCode == scLineUp || AScrollCode == scLineDown)) {
    SendMessageA(wnd, EM_LINESCROLL, 0, AScrollCode == scLineUp ? -1 : 1);
  } else {
    TcxScrollBar* bar = GetInnerScrollBar(AScrollBarKind);
    SendMessageA(wnd, AScrollBarKind == sbVertical ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(static_cast<WORD>(AScrollCode), static_cast<WORD>(AScrollPos)),
                 reinterpret_cast<LPARAM>(bar && bar->HandleAllocated() ? bar->GetHandle() : nullptr));
  }
  AScrollPos = GetScrollPos(wnd, AScrollBarKind == sbVertical ? SB_VERT : SB_HORZ);
  SetScrollBarsParameters(false);
}

void TcxCustomMemo::ClearSelection() {
  if (GetSelLength() == 0) return;
  if (IsFocused() && !DoEditing()) return;
  {
    auto user = orv::TempValue(FUserAction, IsFocused());
    auto clearing = orv::TempValue(FInternalClearing, true);
    if (GetInnerTextEdit()) GetInnerTextEdit()->ClearSelection();
  }
  SynchronizeEditValue();
}

// The whole text, all its lines, through the memo's own insertion: the
// length limit and the line-break rules apply to a paste as to typing,
// and a person's paste is one step Ctrl+Z takes back, as typing is.
void TcxCustomMemo::PasteFromClipboard() {
  if (!TextEditClipboardHasText()) return;
  auto user = orv::TempValue(FUserAction, IsFocused());
  InsertText(ClipboardText(), IsFocused());
}

void TcxCustomMemo::CutToClipboard() {
  if (GetSelLength() == 0) return;
  CopyToClipboard();
  ClearSelection();
}

void TcxCustomMemo::SetSelText(const AnsiString& Value) { InsertText(Value, false); }

void TcxCustomMemo::InsertText(const AnsiString& Value, bool AUndoable) {
  AnsiString text = Value;
  const Integer maxLength = GetActiveProperties()->GetMaxLength();
  if (IsFocused() && maxLength > 0) {
    // What stays of the text around the selection counts, before it and
    // after it: an insertion away from the end may not push the text past
    // the limit either.
    const Integer kept = static_cast<Integer>(GetText().size()) - GetSelLength();
    const Integer room = maxLength - kept;
    if (room < 1) return;
    if (static_cast<Integer>(text.size()) > room) text.resize(static_cast<std::size_t>(room));
  }
  if (IsFocused() && !DoEditing()) return;
  {
    auto user = orv::TempValue(FUserAction, IsFocused());
    TWinControl* inner = GetInnerControl();
    if (AUndoable && inner && inner->HandleAllocated())
      SendMessageA(inner->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    else if (GetInnerTextEdit())
      GetInnerTextEdit()->SetSelText(text);
  }
  SynchronizeEditValue();
}

void TcxCustomMemo::InternalSynchronizeEditValue() {
  if (FUserAction) return;
  ResetOnNewDisplayValue();
  SynchronizeEditValue();
  SetModified(false);
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TcxFilterControlOperators TcxFilterMemoHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                           TcxValueTypeClass, bool) const {
  return {fcoLike, fcoNotLike, fcoBlanks, fcoNonBlanks};
}

namespace {
Integer MemoStartCount = 0;
}

void cxMemoInitialize() {
  if (MemoStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxMemoProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryMemoItem));
  FilterEditsController()->Register(TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::StaticClass());
}

void cxMemoFinalize() {
  if (MemoStartCount == 0 || --MemoStartCount > 0) return;
  FilterEditsController()->Unregister(TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxMemoProperties::StaticClass());
}
