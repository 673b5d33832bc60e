#include "library/editors/core/cxTextEdit.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Paint.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowProc.h"

using namespace win;

ORV_REGISTER(TcxCustomTextEdit)
ORV_REGISTER(TcxTextEdit)
ORV_REGISTER(TcxFilterTextEditHelper)

namespace {

bool IsListStyle(TcxEditEditingStyle AStyle) { return AStyle == esEditList || AStyle == esFixedList; }

}  // namespace

bool TextEditClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT); }

AnsiString ClipboardText() {
  AnsiString text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE block = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
      text.assign(bytes, strnlen(bytes, GlobalSize(block)));
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return text;
}

AnsiString TextEditClipboardText() {
  AnsiString text = ClipboardText();
  const std::size_t end = text.find_first_of("\r\n");
  if (end != AnsiString::npos) text.resize(end);
  return text;
}

// --- construction -------------------------------------------------------------------------

void TcxCustomTextEdit::Initialize() {
  inherited::Initialize();
  FBeepOnEnter = true;
  FFindSelection = false;
  FInnerTextEdit = dynamic_cast<IcxInnerTextEdit*>(GetInnerEdit());
  if (FInnerTextEdit) {
    FInnerTextEdit->GetControl()->SetColor(clWindow);
    FInnerTextEdit->SetOnSelChange(TNotifyEvent::Bind<&TcxCustomTextEdit::SelChange>(this));
  }
  SetBounds(GetLeft(), GetTop(), 121, 21);
  CreateLookupData();
  cxFormatController()->AddListener(this);
}

void TcxCustomTextEdit::CreateLookupData() {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  if (!properties->UseLookupData()) return;
  FLookupDataObject = properties->GetLookupDataClass()->Construct<TPersistent*>(this);
  FLookupData = dynamic_cast<IcxTextEditLookupData*>(FLookupDataObject);
  if (FLookupData)
    FLookupData->SetOnSelectItem(TNotifyEvent::Bind<&TcxCustomTextEdit::HandleSelectItem>(this));
  else
    FreeAndNil(FLookupDataObject);
}

void TcxCustomTextEdit::BeforeDestruction() {
  // Whoever asks for the text or the value while the editor goes gets it
  // as it was.
  RealizeEditValue();
  FKeptText = InternalGetText();
  FTextKept = true;
  cxFormatController()->RemoveListener(this);
  FLookupData = nullptr;
  FreeAndNil(FLookupDataObject);
  inherited::BeforeDestruction();
}

TcxCustomTextEdit::~TcxCustomTextEdit() = default;

TClassRef<TcxCustomEditProperties> TcxCustomTextEdit::GetPropertiesClass() const {
  return TcxCustomTextEditProperties::StaticClass();
}

TClassRef<TWinControl> TcxCustomTextEdit::GetInnerEditClass() const {
  return TcxCustomInnerTextEdit::StaticClass();
}

TClass TcxCustomTextEditProperties::GetContainerClass() const { return TcxTextEdit::StaticClass(); }

TClassRef<TcxCustomEditProperties> TcxTextEdit::GetPropertiesClass() const {
  return TcxTextEditProperties::StaticClass();
}

void TcxCustomTextEdit::Loaded() {
  inherited::Loaded();
  ShortRefreshContainer(false);
}

// --- text and selection ---------------------------------------------------------------------

AnsiString TcxCustomTextEdit::GetText() { return TcxCustomEdit::GetText(); }

void TcxCustomTextEdit::SetText(const AnsiString& Value) { TcxCustomEdit::SetText(Value); }

AnsiString TcxCustomTextEdit::InternalGetText() { return VarToStr(GetDisplayValue()); }

bool TcxCustomTextEdit::InternalSetText(const AnsiString& Value) {
  Variant value(Value);
  if (!GetActiveProperties()->IsDisplayValueValid(value, InternalFocused())) return false;
  if (FUserAction && !DoEditing()) return false;
  InternalSetDisplayValue(value);
  return true;
}

void TcxCustomTextEdit::SetDisplayText(const AnsiString& Value) { InternalSetText(Value); }

bool TcxCustomTextEdit::InternalDoEditing() { return GetActiveProperties()->GetEditingStyle() != esNoEdit; }

Variant TcxCustomTextEdit::GetDisplayValue() {
  return FInnerEdit ? Variant(VarToStr(FInnerEdit->GetEditValue())) : Variant(AnsiString());
}

void TcxCustomTextEdit::SetInternalDisplayValue(const Variant& Value) {
  if (FInnerEdit) FInnerEdit->SetEditValue(Variant(VarToStr(Value)));
}

Integer TcxCustomTextEdit::GetSelStart() {
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  if (style == esNoEdit || (style == esFixedList && !FFindSelection) || !FInnerTextEdit) return 0;
  return FInnerTextEdit->GetSelStart();
}

void TcxCustomTextEdit::SetSelStart(Integer Value) {
  if (GetActiveProperties()->GetEditingStyle() == esNoEdit || !FInnerTextEdit) return;
  FInnerTextEdit->SetSelStart(Value);
}

Integer TcxCustomTextEdit::GetSelLength() {
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  if (style == esNoEdit || (style == esFixedList && !FFindSelection) || !FInnerTextEdit) return 0;
  return FInnerTextEdit->GetSelLength();
}

void TcxCustomTextEdit::SetSelLength(Integer Value) {
  if (GetActiveProperties()->GetEditingStyle() == esNoEdit || !FInnerTextEdit) return;
  FInnerTextEdit->SetSelLength(Value);
}

AnsiString TcxCustomTextEdit::GetSelText() {
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  if (style == esNoEdit || (style == esFixedList && !FFindSelection) || !FInnerTextEdit) return {};
  return FInnerTextEdit->GetSelText();
}

void TcxCustomTextEdit::SetSelection(Integer ASelStart, Integer ASelLength) {
  SetSelStart(ASelStart);
  SetSelLength(ASelLength);
}

void TcxCustomTextEdit::SelectAll() {
  if (FInnerTextEdit) FInnerTextEdit->SelectAll();
}

Integer TcxCustomTextEdit::GetCursorPos() {
  auto* inner = dynamic_cast<TcxCustomInnerTextEdit*>(GetInnerControl());
  return inner ? inner->GetCursorPos() : 0;
}

// The head rule: under a user action with a length limit, what stands
// before the caret afterwards must fit; the rest is cut off.
bool TcxCustomTextEdit::CanChangeSelText(const AnsiString& Value, AnsiString& NewText, Integer& NewSelStart) {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const TcxEditEditingStyle style = properties->GetEditingStyle();
  if (FUserAction && style == esNoEdit) return false;
  if (style == esFixedList || style == esNoEdit) SelectAll();
  const AnsiString text = InternalGetText();
  const auto length = static_cast<Integer>(text.size());
  const Integer selStart = FInnerTextEdit ? std::clamp(FInnerTextEdit->GetSelStart(), 0, length) : 0;
  const Integer selLength = FInnerTextEdit ? std::clamp(FInnerTextEdit->GetSelLength(), 0, length - selStart) : 0;
  const Integer maxLength = properties->GetMaxLength();
  if (FUserAction && style == esEdit && maxLength > 0) {
    const Integer headLength = selStart + static_cast<Integer>(Value.size());
    NewSelStart = std::min(headLength, maxLength);
    if (selStart > NewSelStart) return false;
    // Only what fits is copied: a long paste costs no more than the limit.
    NewText.assign(text, 0, static_cast<std::size_t>(std::min(selStart, maxLength)));
    if (static_cast<Integer>(NewText.size()) < maxLength)
      NewText.append(Value, 0, static_cast<std::size_t>(maxLength) - NewText.size());
    if (static_cast<Integer>(NewText.size()) < maxLength)
      NewText.append(text, static_cast<std::size_t>(selStart + selLength),
                     static_cast<std::size_t>(maxLength) - NewText.size());
  } else {
    if (style == esFixedList) {
      NewText = Value;
    } else {
      NewText.reserve(text.size() + Value.size());
      NewText.assign(text, 0, static_cast<std::size_t>(selStart));
      NewText += Value;
      NewText.append(text, static_cast<std::size_t>(selStart + selLength));
    }
    NewSelStart = selStart + static_cast<Integer>(Value.size());
  }
  Variant value(NewText);
  if (!properties->IsDisplayValueValid(value, InternalFocused())) return false;
  if (FUserAction && !DoEditing()) return false;
  NewText = VarToStr(value);
  return true;
}

void TcxCustomTextEdit::SetSelText(const AnsiString& Value) {
  auto user = orv::TempValue(FUserAction, IsFocused());
  AnsiString newText;
  Integer newSelStart = 0;
  if (!CanChangeSelText(Value, newText, newSelStart)) return;
  InternalSetDisplayValue(Variant(newText));
  SetSelStart(newSelStart);
}

void TcxCustomTextEdit::ClearSelection() {
  if (GetSelLength() == 0) return;
  auto user = orv::TempValue(FUserAction, IsFocused());
  const AnsiString text = InternalGetText();
  const Integer selStart = GetSelStart();
  const AnsiString rest = text.substr(0, static_cast<std::size_t>(selStart)) +
                          text.substr(static_cast<std::size_t>(selStart + GetSelLength()));
  Variant value(rest);
  if (!GetActiveProperties()->IsDisplayValueValid(value, InternalFocused())) return;
  if (FUserAction && !DoEditing()) return;
  InternalSetDisplayValue(value);
  SetSelStart(selStart);
}

// --- clipboard -------------------------------------------------------------------------------

void TcxCustomTextEdit::CopyToClipboard() {
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  if (style == esFixedList || style == esNoEdit) SelectAll();
  if (FInnerTextEdit && FInnerTextEdit->GetSelLength() > 0) FInnerTextEdit->CopyToClipboard();
}

// A password editor cuts nothing, focused or not: the edit copies nothing
// of a password, and what is not on the clipboard must not be lost.
void TcxCustomTextEdit::CutToClipboard() {
  if (!FInnerTextEdit || FInnerTextEdit->GetSelLength() == 0) return;
  if (GetActiveProperties()->GetEchoMode() == eemPassword) return;
  if (IsFocused()) {
    auto user = orv::TempValue(FUserAction, true);
    AnsiString newText;
    Integer newSelStart = 0;
    if (CanChangeSelText("", newText, newSelStart)) FInnerEdit->CallDefWndProc(WM_CUT, 0, 0);
  } else {
    FInnerTextEdit->CopyToClipboard();
    SetSelText("");
  }
}

void TcxCustomTextEdit::PasteFromClipboard() {
  if (!TextEditClipboardHasText() || !FInnerEdit) return;
  if (IsFocused()) {
    auto user = orv::TempValue(FUserAction, true);
    AnsiString newText;
    Integer newSelStart = 0;
    if (CanChangeSelText(TextEditClipboardText(), newText, newSelStart)) FInnerEdit->CallDefWndProc(WM_PASTE, 0, 0);
  } else {
    SetSelText(TextEditClipboardText());
  }
}

void TcxCustomTextEdit::Undo() { inherited::ResetEditValue(); }

void TcxCustomTextEdit::WMClear(TMessage&) {
  if (GetActiveProperties()->GetReadOnly() || !GetDataBinding()->IsDataAvailable()) return;
  auto user = orv::TempValue(FUserAction, true);
  ClearSelection();
}

// --- text messages ----------------------------------------------------------------------------

void TcxCustomTextEdit::WMGetText(TMessage& Message) {
  const auto size = static_cast<Integer>(Message.WParam);
  auto* buffer = reinterpret_cast<char*>(Message.LParam);
  if (size < 1 || !buffer) {
    Message.Result = 0;
    return;
  }
  const AnsiString text = FTextKept ? FKeptText : InternalGetText();
  const auto count = static_cast<std::size_t>(std::min<Integer>(size - 1, static_cast<Integer>(text.size())));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  Message.Result = static_cast<LRESULT>(count);
}

void TcxCustomTextEdit::WMGetTextLength(TMessage& Message) {
  Message.Result = static_cast<LRESULT>((FTextKept ? FKeptText : InternalGetText()).size());
}

void TcxCustomTextEdit::WMSetText(TMessage& Message) {
  if (FIsSettingText) {
    DispatchFrom(inherited::StaticClass(), Message);
    return;
  }
  auto setting = orv::TempValue(FIsSettingText, true);
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  Message.Result = InternalSetText(text ? AnsiString(text) : AnsiString()) ? 1 : 0;
}

// --- values --------------------------------------------------------------------------------------

void TcxCustomTextEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  EditValue = ADisplayValue;
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& Value) {
  GetDataBinding()->SetDisplayValue(Value);
  if (FUserAction) return;
  ResetOnNewDisplayValue();
  SynchronizeEditValue();
  SetModified(false);
}

void TcxCustomTextEdit::SynchronizeDisplayValue() {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const bool focused = InternalFocused();
  Variant display;
  Variant editValue = GetEditValue();
  if (properties->CanValidate()) {
    if (properties->IsEditValueValid(editValue, focused))
      PrepareDisplayValue(editValue, display, focused);
    else if (!focused)
      display = Variant(VarToStr(editValue));
    else
      display = Variant(properties->DefaultFocusedDisplayValue());
  } else {
    PrepareDisplayValue(editValue, display, focused);
  }
  SaveModified();
  {
    orv::ScopeExit restore([this] { RestoreModified(); });
    auto synchronizing = orv::TempValue(FIsDisplayValueSynchronizing, true);
    GetDataBinding()->SetDisplayValue(display);
  }
  ResetOnNewDisplayValue();
  UpdateDrawValue();
}

void TcxCustomTextEdit::SynchronizeEditValue() {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const bool compare = properties->CanCompareEditValue();
  const bool follows = compare && EditValueFollowsText() && FInnerEdit;
  const Integer length =
      follows ? static_cast<Integer>(FInnerEdit->GetControl()->Perform(WM_GETTEXTLENGTH)) : 0;
  // Whether the text changed since the value was in step with it, known
  // without reading it: no change told, or a different length.
  bool known = false;
  bool changed = false;
  if (follows && FEditValueInStep) {
    changed = FTextChanges != FInStepChange;
    known = !changed || length != FInStepLength;
  }
  if (known) {
    if (changed) {
      FEditValueStale = true;
      FEditValue = Variant(AnsiString());
    }
  } else {
    RealizeEditValue();
    const Variant previous = compare ? FEditValue : Variant();
    const AnsiString text = InternalGetText();
    Variant value;
    PrepareEditValue(Variant(text), value, InternalFocused());
    FEditValue = value;
    changed = compare && !InternalVarEqualsExact(previous, FEditValue);
    FEditValueInStep = follows;
  }
  if (follows) {
    FInStepChange = FTextChanges;
    FInStepLength = length;
  }
  if (FUserAction)
    SetModifiedAfterEnter(true);
  else
    SetModified(false);
  if (changed) {
    DoEditValueChanged();
    if (!properties->HasDisplayValue()) DoChange();
  }
}

Variant TcxCustomTextEdit::GetEditValue() {
  RealizeEditValue();
  return inherited::GetEditValue();
}

void TcxCustomTextEdit::InternalSetEditValue(const Variant& Value, bool AValidateEdit) {
  // The value set is compared with the one it replaces, and need not be
  // the text.
  RealizeEditValue();
  FEditValueInStep = false;
  inherited::InternalSetEditValue(Value, AValidateEdit);
}

void TcxCustomTextEdit::RealizeEditValue() {
  if (!FEditValueStale) return;
  FEditValueStale = false;
  AnsiString text = InternalGetText();
  // Read while an insertion is being made: the value is the text without it.
  if (FInsertionStart >= 0 && static_cast<Integer>(text.size()) > FInStepLength)
    text.erase(static_cast<std::size_t>(FInsertionStart), text.size() - static_cast<std::size_t>(FInStepLength));
  Variant value;
  PrepareEditValue(Variant(text), value, InternalFocused());
  FEditValue = value;
}

void TcxCustomTextEdit::ResetEditValue() { inherited::ResetEditValue(); }

void TcxCustomTextEdit::UpdateDisplayValue() {
  if (PropertiesChangeLocked()) return;
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const bool unmodified = !GetModifiedAfterEnter();
  if (IsListStyle(properties->GetEditingStyle())) {
    if ((unmodified || GetEditValidated()) && !NeedResetInvalidTextWhenPropertiesChanged()) {
      SynchronizeDisplayValue();
      return;
    }
    Variant text(InternalGetText());
    if (!properties->IsDisplayValueValid(text, InternalFocused())) {
      SaveModified();
      {
        orv::ScopeExit restore([this] { RestoreModified(); });
        GetDataBinding()->SetDisplayValue(Variant(properties->DefaultFocusedDisplayValue()));
      }
      if (unmodified) SynchronizeEditValue();
    }
  } else if (unmodified) {
    GetDataBinding()->UpdateDisplayValue();
  }
}

bool TcxCustomTextEdit::NeedResetInvalidTextWhenPropertiesChanged() {
  if (IsInplace()) return false;
  IcxEditDefaultValuesProvider* provider = GetDataBinding()->GetIDefaultValuesProvider();
  return !provider || !provider->IsDataStorage();
}

void TcxCustomTextEdit::ResetOnNewDisplayValue() {
  if (IsLookupDataUsed()) SetFindSelection(false);
}

void TcxCustomTextEdit::SetEditingText(const AnsiString& Value) {
  if (!DoEditing()) return;
  SetText(Value);
  SetModifiedAfterEnter(true);
}

void TcxCustomTextEdit::ChangeHandler(TObject* Sender) {
  ++FTextChanges;
  {
    auto locked = ChangeEventsLocked(this);
    inherited::ChangeHandler(Sender);
    if (!IsInnerEditShown()) UpdateDrawValue();
  }
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  if (!FSeparatingDigitGroups && IsFocused() && properties->IsEditValueNumeric() &&
      properties->HasDigitGrouping(FIsDisplayValueSynchronizing)) {
    auto separating = orv::TempValue(FSeparatingDigitGroups, true);
    SeparateDigitGroups(this);
  }
}

void TcxCustomTextEdit::CheckEditValue() {
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  if (GetDataBinding()->CanCheckEditorValue() && properties->IsEditValueNumeric() && !PropertiesChangeLocked() &&
      properties->IsValueBoundsDefined())
    CheckEditorValueBounds();
}

void TcxCustomTextEdit::FormatChanged() {
  GetActiveProperties()->Changed();
  // Text typed since entering and not posted yet stays as the user left it
  // (a mask re-formats it in place); showing the posted value again would
  // throw it away.
  if (GetModifiedAfterEnter()) return;
  SynchronizeDisplayValue();
}

void TcxCustomTextEdit::InternalValidateDisplayValue(const Variant& ADisplayValue) {
  if (GetActiveProperties()->GetEditingStyle() == esEdit && FLookupData) {
    const AnsiString text = VarToStr(ADisplayValue);
    if (!FLookupData->Find(text)) DoOnNewLookupDisplayText(text);
  }
  inherited::InternalValidateDisplayValue(ADisplayValue);
}

void TcxCustomTextEdit::DoOnNewLookupDisplayText(const AnsiString& AText) {
  if (GetProperties()->OnNewLookupDisplayText) GetProperties()->OnNewLookupDisplayText(this, AText);
  if (GetRepositoryItem() && GetActiveProperties()->OnNewLookupDisplayText)
    GetActiveProperties()->OnNewLookupDisplayText(this, AText);
}

// --- drawing and the inner edit -----------------------------------------------------------------

bool TcxCustomTextEdit::IsEditClass() {
  if (FHideInnerEdit) return false;
  if (FShowInnerEdit) return true;
  const TcxEditEditingStyle style = GetActiveProperties()->GetEditingStyle();
  if (style == esFixedList || style == esNoEdit || PropertiesChangeLocked() || GetIsDesigning()) return false;
  if (IsActiveControl()) return true;
  return GetActiveProperties()->GetAlignment()->GetHorz() == taLeftJustify;
}

void TcxCustomTextEdit::UpdateDrawValue() {
  TcxCustomTextEditViewInfo* viewInfo = GetViewInfo();
  if (!viewInfo || PropertiesChangeLocked()) return;
  {
    auto* viewData = static_cast<TcxCustomTextEditViewData*>(CreateViewData());
    orv::ScopeExit free([viewData] { viewData->Free(); });
    viewData->DisplayValueToDrawValue(Variant(InternalGetText()), viewInfo);
  }
  if (!HandleAllocated()) return;
  CalculateViewInfo(false);
  ApplyFindSelectionHighlight();
  win::InvalidateRect(GetHandle(), nullptr, FALSE);
}

void TcxCustomTextEdit::ApplyFindSelectionHighlight() {
  TcxCustomTextEditViewInfo* viewInfo = GetViewInfo();
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  const TcxEditEditingStyle style = properties->GetEditingStyle();
  if (style != esFixedList && style != esNoEdit) return;
  if (style == esNoEdit && (!FFindSelection || !properties->GetFixedListSelection())) {
    viewInfo->SelStart = 0;
    viewInfo->SelLength = 0;
    return;
  }
  const Integer selStart = FInnerTextEdit ? FInnerTextEdit->GetSelStart() : 0;
  const Integer selLength = FInnerTextEdit ? FInnerTextEdit->GetSelLength() : 0;
  if (viewInfo->DrawSelected) {
    viewInfo->SelStart = 0;
    viewInfo->SelLength = static_cast<Integer>(viewInfo->Text.size()) - selLength;
    viewInfo->SelTextColor = clHighlight;
    viewInfo->SelBackgroundColor = clHighlightText;
  } else {
    // A focused list that keeps its selection in sight (HideSelection off)
    // has its whole value selected, as an edit has a value just picked,
    // until typing proposes a tail.
    const bool whole = style == esFixedList && viewInfo->Focused && !properties->GetHideSelection() && !FFindSelection;
    viewInfo->SelStart = whole ? 0 : selStart;
    viewInfo->SelLength = whole ? static_cast<Integer>(viewInfo->Text.size()) : selLength;
    viewInfo->SelTextColor = clHighlightText;
    viewInfo->SelBackgroundColor = clHighlight;
  }
}

Integer TcxCustomTextEdit::GetTextBaseLine() { return GetViewInfo()->GetTextBaseLine(); }

void TcxCustomTextEdit::PropertiesChanged(TObject* Sender) {
  if (PropertiesChangeLocked()) return;
  TcxCustomTextEditProperties* properties = GetActiveProperties();
  if (FInnerTextEdit) FInnerTextEdit->SetAlignment(properties->GetAlignment()->GetHorz());
  if (FLookupData) {
    FLookupData->PropertiesChanged();
    if (!FLookupTextLock) FLookupData->TextChanged();
  }
  if (!IsInnerEditShown()) UpdateDrawValue();
  SetImeMode(properties->GetImeMode());
  SetImeName(properties->GetImeName());
  if (FInnerTextEdit) {
    FInnerTextEdit->SetAlignment(properties->GetAlignment()->GetHorz());
    FInnerTextEdit->SetAutoSelect(properties->GetAutoSelect() && !IsInplace());
    FInnerTextEdit->SetCharCase(properties->GetCharCase());
    FInnerTextEdit->SetEchoMode(properties->GetEchoMode());
    FInnerTextEdit->SetHideSelection(properties->GetHideSelection());
    FInnerTextEdit->SetImeMode(properties->GetImeMode());
    FInnerTextEdit->SetImeName(properties->GetImeName());
    FInnerTextEdit->SetMaxLength(properties->GetMaxLength());
    FInnerTextEdit->SetOEMConvert(properties->GetOEMConvert());
    FInnerTextEdit->SetPasswordChar(properties->GetPasswordChar());
  }
  CheckEditValue();
  if (!IsPosting()) UpdateDisplayValue();
  UpdateDrawValue();
  inherited::PropertiesChanged(Sender);
  if (GetInnerControl()) GetInnerControl()->Invalidate();
}

void TcxCustomTextEdit::AdjustInnerEdit() {
  if (!FInnerEdit || !GetViewInfo()) return;
  FInnerEdit->LockBounds(true);
  orv::ScopeExit unlock([this] { FInnerEdit->LockBounds(false); });
  TWinControl* inner = FInnerEdit->GetControl();
  inner->SetColor(GetViewInfo()->BackgroundColor);
  TFont* font = New<TFont>();
  orv::ScopeExit freeFont([font] { font->Free(); });
  font->Assign(GetActiveStyle()->GetVisibleFont());
  font->SetColor(GetViewInfo()->TextColor);
  inner->SetFont(font);
}

Integer TcxCustomTextEdit::GetInnerEditHeight() {
  TWinControl* inner = GetInnerControl();
  if (!inner || !Screen) return 0;
  TcxCanvas* canvas = cxScreenCanvas();
  canvas->GetFont()->Assign(inner->GetFont());
  return canvas->TextHeight("Wg");
}

void TcxCustomTextEdit::AdjustInnerEditPosition() {
  if (!FInnerEdit || FInnerEditPositionAdjusting || !GetViewInfo()) return;
  auto adjusting = orv::TempValue(FInnerEditPositionAdjusting, true);
  const Integer height = GetInnerEditHeight();
  const TRect r = GetViewInfo()->ClientRect;
  TRect offsets;
  {
    TcxCustomEditViewData* viewData = CreateViewData();
    offsets = viewData->EditContentParams.Offsets;
    viewData->Free();
  }
  Integer top = r.Top + offsets.Top;
  switch (GetActiveProperties()->GetAlignment()->GetVert()) {
    case taBottomJustify: top = r.Bottom - height - offsets.Bottom; break;
    case taVCenter: top = (r.Bottom - r.Top - height - offsets.Top - offsets.Bottom) / 2 + r.Top + offsets.Top; break;
    default: break;
  }
  top = std::max(top, r.Top + offsets.Top);
  const TRect bounds(r.Left + offsets.Left, top, r.Right - offsets.Right + 1, top + height);
  TWinControl* inner = FInnerEdit->GetControl();
  if (inner->GetBoundsRect() != bounds) inner->SetBoundsRect(bounds);
  TRect alignRect = r;
  if (IsInplace()) {
    alignRect.Top += 1;
    alignRect.Bottom -= 1;
  }
  AlignControls(inner, alignRect);
}

void TcxCustomTextEdit::GetInnerControlBounds(const TRect& R, TControl* AControl,
                                              TcxContainerInnerControlBounds& ABounds) {
  if (IsEditClass()) return inherited::GetInnerControlBounds(R, AControl, ABounds);
  // Hidden: the view info draws the text, and the edit shows nothing.
  ABounds.IsEmpty = false;
  ABounds.Rect = TRect();
}

bool TcxCustomTextEdit::RefreshContainer(const TPoint& P, TcxMouseButton Button, TShiftState Shift,
                                         bool AIsMouseEvent) {
  if (!HandleAllocated() || GetContainerIsDestroying()) return true;
  const bool result = inherited::RefreshContainer(P, Button, Shift, AIsMouseEvent);
  AdjustInnerEdit();
  AdjustInnerEditPosition();
  return result;
}

void TcxCustomTextEdit::FillSizeProperties(TcxEditSizeProperties& AEditSizeProperties) {
  inherited::FillSizeProperties(AEditSizeProperties);
  AEditSizeProperties.MaxLineCount = 1;
}

void TcxCustomTextEdit::Activate(TcxCustomEditData*& AEditData) {
  inherited::Activate(AEditData);
  if (!HandleAllocated()) return;
  SetSelStart(0);
  if (GetActiveProperties()->GetAutoSelect()) SelectAll();
}

void TcxCustomTextEdit::LockedInnerEditWindowProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS && FInnerTextEdit && FInnerTextEdit->GetAutoSelect()) {
    inherited::LockedInnerEditWindowProc(Message);
    FInnerTextEdit->SelectAll();
    return;
  }
  inherited::LockedInnerEditWindowProc(Message);
}

void TcxCustomTextEdit::LockInnerEditRepainting() {
  inherited::LockInnerEditRepainting();
  FInnerEditRepaintingLocked = FInnerTextEdit && FInnerTextEdit->GetControl()->HandleAllocated();
}

// Only a held edit hears the focus again: unlocking also runs on the way
// out of the editor, where nothing was held.
void TcxCustomTextEdit::UnlockInnerEditRepainting() {
  inherited::UnlockInnerEditRepainting();
  if (!std::exchange(FInnerEditRepaintingLocked, false)) return;
  if (!FInnerTextEdit || !FInnerTextEdit->GetControl()->HandleAllocated()) return;
  const bool autoSelect = FInnerTextEdit->GetAutoSelect();
  FInnerTextEdit->SetAutoSelect(false);
  orv::ScopeExit restore([this, autoSelect] { FInnerTextEdit->SetAutoSelect(autoSelect); });
  SendMessageA(FInnerTextEdit->GetControl()->GetHandle(), WM_SETFOCUS, 0, 0);
}

// --- state ----------------------------------------------------------------------------------------

void TcxCustomTextEdit::SetFindSelection(bool Value) {
  if (!HandleAllocated() || FFindSelection == Value || FFindSelectionLock) return;
  FFindSelection = Value;
  CalculateViewInfo(false);
  UpdateDrawValue();
}

void TcxCustomTextEdit::SetHideInnerEdit(bool Value) {
  if (FHideInnerEdit == Value) return;
  FHideInnerEdit = Value;
  PropertiesChanged(GetActiveProperties());
  ShortRefreshContainer(false);
}

void TcxCustomTextEdit::SetShowInnerEdit(bool Value) {
  if (FShowInnerEdit == Value) return;
  FShowInnerEdit = Value;
  PropertiesChanged(GetActiveProperties());
  ShortRefreshContainer(false);
}

void TcxCustomTextEdit::SetTesting(bool Value) {
  if (FTesting == Value) return;
  FTesting = Value;
  ShortRefreshContainer(false);
}

bool TcxCustomTextEdit::Focused() { return !FInnerEditLosingFocus && inherited::Focused(); }

void TcxCustomTextEdit::DoExit() {
  inherited::DoExit();
  SetFindSelection(false);
}

// The base swallows an Esc that already reset the value; when that Esc
// also closed a popup, its character is spent and the mark goes.
AnsiString TcxCustomTextEdit::GetTypedText(char AChar) {
  AnsiString text = GetText();
  const Integer selStart = std::clamp(GetSelStart(), 0, static_cast<Integer>(text.size()));
  const Integer selLength = std::clamp(GetSelLength(), 0, static_cast<Integer>(text.size()) - selStart);
  text.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength), 1, AChar);
  return text;
}

void TcxCustomTextEdit::KeyPress(char& Key) {
  const bool escape = Key == '\x1B';
  inherited::KeyPress(Key);
  if (escape && Key == 0 && FPopupClosingKey && !HasPopupWindow()) FPopupClosingKey = false;
}

// --- the filter builder's helper and the unit ----------------------------------------------------

void TcxFilterTextEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties,
                                                   bool AHasButtons) const {
  inherited::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  AProperties->SetAutoSelect(true);
  if (auto* properties = dynamic_cast<TcxCustomTextEditProperties*>(AProperties)) {
    properties->SetHideSelection(true);
    properties->SetViewStyle(vsNormal);
  }
}

void TcxFilterTextEditHelper::SetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties*,
                                             const Variant& AValue) const {
  AEdit->SetEditValue(Variant(VarToStr(AValue)));
}

namespace {
Integer TextEditUnitStartCount = 0;
}

void cxTextEditInitialize() {
  if (TextEditUnitStartCount++ > 0) return;
  cxTextEditPropertiesInitialize();
  FilterEditsController()->Register(TcxTextEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass());
}

void cxTextEditFinalize() {
  if (TextEditUnitStartCount == 0 || --TextEditUnitStartCount > 0) return;
  FilterEditsController()->Unregister(TcxTextEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass());
  cxTextEditPropertiesFinalize();
}
