#include "library/editors/core/cxMaskEdit.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include "library/data/cxDataUtils.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxMaskEditModes.h"
#include "library/editors/core/cxMaskEditRegExprModes.h"
#include "library/foundation/cxClasses.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/win/Clipboard.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Keyboard.h"

using namespace win;

ORV_REGISTER(TcxCustomMaskEditProperties)
ORV_REGISTER(TcxMaskEditProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AlwaysShowBlanksAndLiterals).Default(false), ORV_PROP(AssignedValues),
             ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false),
             ORV_PROP(CaseInsensitive).Default(true), ORV_PROP(CharCase).Default(ecNormal),
             ORV_PROP(ClearKey).Default(0), ORV_PROP(EchoMode).Default(eemNormal),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(IgnoreMaskBlank).Default(false),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(IncrementalSearch).Default(true),
             ORV_PROP(LookupItems), ORV_PROP(LookupItemsSorted).Default(false),
             ORV_PROP(MaskKind).Default(emkStandard), ORV_PROP(EditMask),
             ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
             ORV_PROP(OEMConvert).Default(false), ORV_PROP(PasswordChar).Default('\0'),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true), ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged),
             ORV_EVENT(OnNewLookupDisplayText), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomMaskEdit)
ORV_REGISTER(TcxMaskEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(BeepOnEnter).Default(true),
             ORV_PROP(Constraints), ORV_PROP(DragMode), ORV_PROP(Enabled), ORV_PROP(ParentColor).Default(false),
             ORV_PROP(ParentFont).Default(true), ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu),
             ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(StyleDisabled),
             ORV_PROP(StyleFocused), ORV_PROP(StyleHot), ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true),
             ORV_PROP(Text), ORV_PROP(Visible), ORV_PROP(DragCursor), ORV_PROP(DragKind), ORV_PROP(ImeMode),
             ORV_PROP(ImeName), ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick),
             ORV_EVENT(OnDragDrop), ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDrag),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove),
             ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDrag), ORV_EVENT(OnEndDock), ORV_EVENT(OnStartDock))
ORV_REGISTER(TcxFilterMaskEditHelper)

namespace {

TOwned<TcxMaskEditCustomMode> NewMode(TcxMaskEditCustomModeClass AClass, TcxCustomMaskEdit* AEdit,
                               TcxCustomMaskEditProperties* AProperties) {
  return TOwned<TcxMaskEditCustomMode>(
      AClass.Construct<TcxCustomMaskEdit*, TcxCustomMaskEditProperties*>(AEdit, AProperties));
}

bool IsRegExprKind(TcxEditMaskKind AKind) { return AKind == emkRegExpr || AKind == emkRegExprEx; }

// The masks known to compile under a mode class. Whether a mask compiles
// depends on its text and its mode alone, and the date editors build the
// same mask for every item and editor of a form: a pattern is compiled
// once to be checked, not once for each. A few hundred masks at most are
// kept; past that a mask is checked each time, as before.
class TKnownMasks {
 public:
  bool Has(TClass AMode, const TcxEditMask& AMask) {
    std::lock_guard<std::mutex> guard(FLock);
    return FMasks.count({AMode, AMask}) != 0;
  }
  void Add(TClass AMode, const TcxEditMask& AMask) {
    std::lock_guard<std::mutex> guard(FLock);
    if (FMasks.size() < kMaxMasks) FMasks.insert({AMode, AMask});
  }

 private:
  static constexpr std::size_t kMaxMasks = 256;
  std::mutex FLock;
  std::set<std::pair<TClass, TcxEditMask>> FMasks;
};

TKnownMasks& KnownMasks() {
  static TKnownMasks* masks = new TKnownMasks;
  return *masks;
}


}  // namespace

// ===========================================================================
// Properties

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

bool TcxCustomMaskEditProperties::EmptyMask(const AnsiString& AMask) {
  return std::all_of(AMask.begin(), AMask.end(), [](char C) { return IsSpaceChar(C); });
}

TcxEditMask TcxCustomMaskEditProperties::GetEditMask() const {
  if (FMaskKind != emkStandard || !EmptyMask(FEditMask)) return FEditMask;
  if (IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider()) return provider->DefaultEditMask();
  return {};
}

bool TcxCustomMaskEditProperties::GetIsMasked() const { return !EmptyMask(GetEditMask()); }

void TcxCustomMaskEditProperties::SetEditMask(const TcxEditMask& Value) {
  if (Value == GetEditMask()) {
    FEditMask = Value;
    return;
  }
  // The compiler's mode goes on every path; a pattern that does not compile
  // leaves with the engine's own error, and nothing here has changed yet.
  const TcxMaskEditCustomModeClass mode = GetModeClass(FMaskKind);
  if (!KnownMasks().Has(mode, Value)) {
    TOwned<TcxMaskEditCustomMode> probe = NewMode(mode, nullptr, this);
    probe->Compile(Value);
    KnownMasks().Add(mode, Value);
  }
  FEditMask = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind Value) {
  if (FMaskKind == Value) return;
  FMaskKind = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool Value) {
  FCaseInsensitive = GetCharCase() != ecNormal || Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool Value) {
  if (FAlwaysShowBlanksAndLiterals == Value) return;
  FAlwaysShowBlanksAndLiterals = Value;
  Changed();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase Value) {
  if (Value == ecUpperCase || Value == ecLowerCase) FCaseInsensitive = true;
  TcxCustomTextEditProperties::SetCharCase(Value);
}

void TcxCustomMaskEditProperties::Changed() {
  FTempMode.reset();
  TcxCustomTextEditProperties::Changed();
}

void TcxCustomMaskEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMaskEditProperties*>(Source);
  if (!source) {
    TcxCustomTextEditProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxCustomTextEditProperties::DoAssign(Source);
  SetMaskKind(source->GetMaskKind());
  SetEditMask(source->GetEditMask());
  SetCaseInsensitive(source->GetCaseInsensitive());
  SetIgnoreMaskBlank(source->GetIgnoreMaskBlank());
  SetAlwaysShowBlanksAndLiterals(source->GetAlwaysShowBlanksAndLiterals());
}

TClass TcxCustomMaskEditProperties::GetContainerClass() const { return TcxMaskEdit::StaticClass(); }

TcxEditDisplayFormatOptions TcxCustomMaskEditProperties::GetDisplayFormatOptions() const {
  if (GetIsMasked()) return {};
  return {dfoSupports};
}

bool TcxCustomMaskEditProperties::UseLookupData() const {
  return !GetIsMasked() && TcxCustomTextEditProperties::UseLookupData();
}

bool TcxCustomMaskEditProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) {
  return GetIsMasked() || TcxCustomTextEditProperties::IsEditValueValid(EditValue, AEditFocused);
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (!GetIsMasked()) {
    TcxCustomTextEditProperties::MaxLengthChanged();
    return;
  }
  if (FMaxLengthSetting) return;
  auto guard = orv::TempValue(FMaxLengthSetting, true);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  SetMaxLength(0);
}

TcxMaskEditCustomModeClass TcxCustomMaskEditProperties::GetModeClass(TcxEditMaskKind AMaskKind) const {
  switch (AMaskKind) {
    case emkStandard: return TcxMaskEditStandardMode::StaticClass();
    case emkRegExpr: return TcxMaskEditRegExprMode::StaticClass();
    default: return TcxMaskEditRegExprExMode::StaticClass();
  }
}

TOwned<TcxMaskEditCustomMode> TcxCustomMaskEditProperties::CreateMode() {
  const AnsiString mask = GetEditMask();
  if (EmptyMask(mask)) return nullptr;
  TOwned<TcxMaskEditCustomMode> mode = NewMode(GetModeClass(FMaskKind), nullptr, this);
  mode->Compile(mask);
  return mode;
}

bool TcxCustomMaskEditProperties::TestTempMaskKind() const {
  if (!FTempMode) return false;
  TClass modeClass = FTempMode->ClassType();
  switch (FMaskKind) {
    case emkStandard: return modeClass == TcxMaskEditStandardMode::StaticClass();
    case emkRegExpr: return modeClass == TcxMaskEditRegExprMode::StaticClass();
    default: return modeClass == TcxMaskEditRegExprExMode::StaticClass();
  }
}

bool TcxCustomMaskEditProperties::TestTempEditMask() const {
  return FTempMode && FTempMode->GetEditMask() == GetEditMask();
}

void TcxCustomMaskEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (!GetIsMasked()) {
    TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    return;
  }
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  const bool currencyAccepted = !GetDisplayFormatOptions().Contains(dfoNoCurrencyValue);
  if (!AEditFocused && provider && provider->IsDisplayFormatDefined(currencyAccepted)) {
    // A display format of the bound field wins over the mask.
    TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    return;
  }
  const AnsiString text = VarIsNull(AEditValue) ? AnsiString() : VarToStr(AEditValue);
  if (!(TestTempMaskKind() && TestTempEditMask())) {
    FTempMode.reset();
    FTempMode = CreateMode();
  }
  if (!FTempMode) {
    DisplayValue = text;
    return;
  }
  if (!AEditFocused && dynamic_cast<TcxMaskEditStandardMode*>(FTempMode.get()))
    DisplayValue = FAlwaysShowBlanksAndLiterals ? FTempMode->GetFormattedText(text, false)
                                                : FTempMode->GetUpdatedText(text, false);
  else
    DisplayValue = FTempMode->GetFormattedText(text, false);
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  auto* edit = dynamic_cast<TcxCustomMaskEdit*>(AEdit);
  if (!Error && edit && edit->IsMasked() && edit->GetMode()) {
    Error = !edit->GetMode()->IsFullValidText(VarToStr(DisplayValue));
    if (Error) ErrorText = cxGetResourceStringNet(cxEditResString(scxMaskEditInvalidEditValue));
  }
  TcxCustomTextEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ===========================================================================
// Editor

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

TcxCustomMaskEdit::~TcxCustomMaskEdit() = default;

TClassRef<TcxCustomEditProperties> TcxCustomMaskEdit::GetPropertiesClass() const {
  return TcxCustomMaskEditProperties::StaticClass();
}

void TcxCustomMaskEdit::Initialize() {
  TcxCustomTextEdit::Initialize();
  TcxCustomMaskEditProperties* properties = GetActiveProperties();
  FMode = NewMode(properties->GetModeClass(properties->GetMaskKind()), this, properties);
  FSelecting = false;
  properties->FEmptyString = InternalGetEmptyString();
}

bool TcxCustomMaskEdit::IsMasked() const {
  TcxCustomMaskEditProperties* properties = GetActiveProperties();
  return properties && properties->GetIsMasked();
}

bool TcxCustomMaskEdit::IsStandardMode() const { return dynamic_cast<TcxMaskEditStandardMode*>(FMode.get()) != nullptr; }

AnsiString TcxCustomMaskEdit::InternalGetEmptyString() {
  return IsMasked() && FMode ? FMode->GetEmptyString() : AnsiString();
}

void TcxCustomMaskEdit::RefreshEmptyString() { GetActiveProperties()->FEmptyString = InternalGetEmptyString(); }

// ---- simulated keys and direct selection ----

void TcxCustomMaskEdit::SendMyKeyDown(Word Key, TShiftState Shift) {
  auto simulating = orv::TempValue(FKeySimulating, true);
  SendKeyDown(this, Key, Shift);
}

void TcxCustomMaskEdit::SendMyKeyPress(char Key) {
  auto simulating = orv::TempValue(FKeySimulating, true);
  SendKeyPress(this, Key);
}

void TcxCustomMaskEdit::DirectSetSelStart(Integer Value) {
  auto direct = orv::TempValue(FDirectSelecting, true);
  SetSelStart(Value);
}

void TcxCustomMaskEdit::DirectSetSelLength(Integer Value) {
  auto direct = orv::TempValue(FDirectSelecting, true);
  SetSelLength(Value);
}

void TcxCustomMaskEdit::SelChange(TObject* Sender) {
  TcxCustomTextEdit::SelChange(Sender);
  if (!FDirectSelecting && FMode && IsMasked()) FMode->LMouseDown();
}

bool TcxCustomMaskEdit::IsCursorBegin() { return FMode->IsCursorBegin(); }

bool TcxCustomMaskEdit::IsCursorEnd() { return FMode->IsCursorEnd(); }

AnsiString TcxCustomMaskEdit::GetEditText() { return FInnerEdit ? VarToStr(FInnerEdit->GetEditValue()) : AnsiString(); }

bool TcxCustomMaskEdit::IsCharValidForPos(char&, Integer) { return true; }

// ---- keys ----

void TcxCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!FKeySimulating) TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMaskEdit::KeyPress(char& Key) {
  if (!FKeySimulating) TcxCustomTextEdit::KeyPress(Key);
}

void TcxCustomMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (!FKeySimulating) TcxCustomTextEdit::KeyUp(Key, Shift);
}

void TcxCustomMaskEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (!IsMasked() || IsSpecialKey(Key, Shift)) {
    TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
    return;
  }
  if (!ValidateKeyDown(Key, Shift)) {
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (Key == VK_TAB) {
    TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
    return;
  }
  FSelecting = Shift.Contains(ssShift);
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
      if (!HasPopupWindow()) {
        DoAfterKeyDown(Key, Shift);
        Key = 0;
      }
      break;
    case VK_LEFT:
      if (Shift.Contains(ssCtrl)) {
        SendMyKeyDown(VK_HOME, Shift);
        if (!FMode->PressHome()) Key = 0;
      } else {
        const bool atBegin = FMode->IsCursorBegin();
        if (!FMode->PressLeft()) {
          if (atBegin) DoAfterKeyDown(Key, Shift);
          Key = 0;
        }
      }
      break;
    case VK_RIGHT:
      if (Shift.Contains(ssCtrl)) {
        SendMyKeyDown(VK_END, Shift);
        if (!FMode->PressEnd()) Key = 0;
      } else {
        const bool atEnd = FMode->IsCursorEnd();
        if (!FMode->PressRight()) {
          if (atEnd) DoAfterKeyDown(Key, Shift);
          Key = 0;
        }
      }
      break;
    case VK_DELETE:
      if (Shift.Contains(ssShift) && GetSelLength() > 0) {
        // A cut, through the mask: the platform edit would remove the
        // characters outright and move every position after them.
        MaskedClipboardKey(WM_CUT);
        Key = 0;
      } else if (Shift.Contains(ssShift)) {
        // Backspace: the held Shift selects nothing here.
        FSelecting = false;
        if (!FMode->PressBackSpace()) Key = 0;
      } else if (!FMode->PressDelete()) {
        Key = 0;
      }
      break;
    case VK_INSERT:
      if (Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
        MaskedClipboardKey(WM_PASTE);
        Key = 0;
      }
      break;
    case VK_HOME:
      if (!FMode->PressHome()) Key = 0;
      break;
    case VK_END:
      if (!FMode->PressEnd()) Key = 0;
      break;
    default: break;
  }
  if (Key != 0) TcxCustomTextEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomMaskEdit::DoEditKeyPress(char& Key) {
  if (!IsMasked()) {
    TcxCustomTextEdit::DoEditKeyPress(Key);
    return;
  }
  if (Key == '\t' || Key == '\x1B' || !ValidateKeyPress(Key)) {
    Key = 0;
    return;
  }
  switch (Key) {
    case '\r': return;
    case '\x03': TcxCustomTextEdit::DoEditKeyPress(Key); return;
    case '\x16':
      MaskedClipboardKey(WM_PASTE);
      Key = 0;
      return;
    case '\x18':
      MaskedClipboardKey(WM_CUT);
      Key = 0;
      return;
    case '\b':
      if (!FMode->PressBackSpace()) Key = 0;
      return;
    default:
      if (!FMode->PressSymbol(Key)) Key = 0;
      return;
  }
}

void TcxCustomMaskEdit::DoEditKeyUp(Word& Key, TShiftState Shift) { TcxCustomTextEdit::DoEditKeyUp(Key, Shift); }

// The clipboard keys of a masked editor come here rather than to the
// platform edit, which would paste or cut past the mask.
void TcxCustomMaskEdit::MaskedClipboardKey(UINT AMessage) {
  auto user = orv::TempValue(FUserAction, true);
  if (AMessage == WM_PASTE) {
    if (!RealReadOnly()) PasteFromClipboard();
  } else if (RealReadOnly()) {
    CopyToClipboard();
  } else {
    CutToClipboard();
  }
}

// ---- mouse and focus ----

void TcxCustomMaskEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (IsMasked() && Button == mbLeft) FMode->LMouseDown();
  TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
}

void TcxCustomMaskEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (IsMasked() && Shift.Contains(ssLeft)) {
    auto selecting = orv::TempValue(FSelecting, true);
    FMode->LMouseDown();
  }
  TcxCustomTextEdit::MouseMove(Shift, X, Y);
}

void TcxCustomMaskEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseUp(Button, Shift, X, Y);
}

void TcxCustomMaskEdit::DoEnter() {
  if (IsMasked() && GetActiveProperties()->GetAutoSelect()) FMode->GotoEnd();
  TcxCustomTextEdit::DoEnter();
}

void TcxCustomMaskEdit::DblClick() {
  if (IsMasked()) FMode->GotoEnd();
  TcxCustomTextEdit::DblClick();
}

// ---- clipboard ----

void TcxCustomMaskEdit::CutToClipboard() {
  if (!IsMasked()) {
    TcxCustomTextEdit::CutToClipboard();
    return;
  }
  // As in the text editor: nothing selected, nothing cut; and a password,
  // which never reaches the clipboard, is not deleted either.
  if (GetSelLength() == 0 || GetActiveProperties()->GetEchoMode() == eemPassword) return;
  CopyToClipboard();
  auto user = orv::TempValue(FUserAction, IsFocused());
  if (FUserAction && !DoEditing()) return;
  if (FMode->PressDelete()) SendMyKeyPress('\b');
}

void TcxCustomMaskEdit::PasteFromClipboard() {
  if (!TextEditClipboardHasText()) return;
  if (!IsMasked()) {
    TcxCustomTextEdit::PasteFromClipboard();
    return;
  }
  SetSelText(TextEditClipboardText());
}

void TcxCustomMaskEdit::SetSelText(const AnsiString& Value) {
  if (!IsMasked()) {
    TcxCustomTextEdit::SetSelText(Value);
    return;
  }
  // Outside text of which the mask takes nothing changes nothing at all.
  if (!Value.empty() && !FMode->CheckInsertion(Value)) return;
  FMode->SetClipboardTextLength(static_cast<int>(Value.size()));
  FMode->PrePasteFromClipboard();
  TcxCustomTextEdit::SetSelText(Value);
  FMode->AfterPasteFromClipboard();
}

// ---- texts and values ----

AnsiString TcxCustomMaskEdit::DisplayFormOf(const AnsiString& AText, bool ATextHasLiterals) {
  if (!InternalFocused() && IsStandardMode())
    return GetActiveProperties()->GetAlwaysShowBlanksAndLiterals() ? FMode->GetFormattedText(AText, ATextHasLiterals)
                                                                   : FMode->GetUpdatedText(AText, ATextHasLiterals);
  return FMode->GetFormattedText(AText, ATextHasLiterals);
}

void TcxCustomMaskEdit::ChangeHandler(TObject* Sender) {
  if (FMode) FMaskedText = FMode->GetUpdatedText(GetEditText(), true);
  TcxCustomTextEdit::ChangeHandler(Sender);
}

AnsiString TcxCustomMaskEdit::InternalGetText() {
  if (IsMasked()) return FMaskedText;
  return TcxCustomTextEdit::InternalGetText();
}

bool TcxCustomMaskEdit::InternalSetText(const AnsiString& Value) {
  if (!IsMasked()) return TcxCustomTextEdit::InternalSetText(Value);
  SetInternalEditValue(Value);
  FEditValue = FMaskedText;
  return true;
}

void TcxCustomMaskEdit::SetEditText(const AnsiString& Value) {
  const AnsiString text = DisplayFormOf(Value, true);
  if (FInnerEdit) FInnerEdit->SetEditValue(text);
  FEditValue = FMaskedText;
}

void TcxCustomMaskEdit::InternalSetDisplayValue(const Variant& Value) {
  if (!IsMasked() || GetIsLoading()) {
    TcxCustomTextEdit::InternalSetDisplayValue(Value);
    return;
  }
  TcxCustomTextEdit::InternalSetDisplayValue(DisplayFormOf(VarToStr(Value), true));
  InternalSetValue(GetText());
}

void TcxCustomMaskEdit::InternalSetValue(const AnsiString& S) {
  // Properties masked from their construction on (the time editor's) are
  // heard before the editor's mode exists.
  if (IsMasked() && FMode) FMode->SetText(S);
}

void TcxCustomMaskEdit::SynchronizeDisplayValue() {
  TcxCustomTextEdit::SynchronizeDisplayValue();
  if (IsMasked()) InternalSetValue(GetText());
}

void TcxCustomMaskEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool AEditFocused) {
  if (!IsMasked()) {
    TcxCustomTextEdit::PrepareEditValue(ADisplayValue, EditValue, AEditFocused);
    return;
  }
  if (!AEditFocused && IsStandardMode()) {
    auto* mode = static_cast<TcxMaskEditStandardMode*>(FMode.get());
    const bool keepsBlanksAndLiterals =
        !mode->GetMask()->GetSaveLiteralCharacters() && GetActiveProperties()->GetAlwaysShowBlanksAndLiterals();
    if (!keepsBlanksAndLiterals) {
      TcxCustomTextEdit::PrepareEditValue(ADisplayValue, EditValue, AEditFocused);
      return;
    }
  }
  EditValue = FMode->GetUpdatedText(VarToStr(ADisplayValue), true);
}

void TcxCustomMaskEdit::UpdateTextFormatting() { InternalSetDisplayValue(Variant(GetText())); }

void TcxCustomMaskEdit::Loaded() {
  TcxCustomTextEdit::Loaded();
  if (!IsMasked()) return;
  LockChangeEvents(true);
  orv::ScopeExit unlock([this] { LockChangeEvents(false); });
  UpdateTextFormatting();
}

// ---- properties ----

void TcxCustomMaskEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomMaskEditProperties* properties = GetActiveProperties();
  if (!FMode || PropertiesChangeLocked()) {
    TcxCustomTextEdit::PropertiesChanged(Sender);
    return;
  }
  properties->LockUpdate(true);
  bool locked = true;
  orv::ScopeExit unlock([&] {
    if (locked) properties->LockUpdate(false);
  });
  // A locale change writes the focused text again in the new formats: no
  // edit of the user's. An unedited editor stays so (leaving it posts
  // nothing) and an edited one stays edited.
  const bool keepModified = properties->IsFormatChanging() && InternalFocused();
  if (keepModified) SaveModified();
  orv::ScopeExit restoreModified([&] {
    if (keepModified) RestoreModified();
  });

  const AnsiString mask = properties->GetEditMask();
  const bool maskChanged = mask != FMode->GetEditMask() || properties->IsFormatChanging();
  const bool kindChanged = FMode->GetMaskKind() != properties->GetMaskKind();
  const bool caseChanged = properties->GetCharCase() != FMode->GetCharCase();
  const bool echoModeChanged = properties->GetEchoMode() != FMode->GetEchoMode();
  const bool focused = InternalFocused();
  const bool formatChanging = properties->IsFormatChanging();
  const Integer formatSelStart = formatChanging && focused ? GetSelStart() : 0;
  const Integer formatSelLength = formatChanging && focused ? GetSelLength() : 0;

  bool maskCleared = false;
  if (kindChanged) {
    const TcxEditMaskKind oldKind = FMode->GetMaskKind();
    const TcxEditMaskKind newKind = properties->GetMaskKind();
    // The new mode is made before the old one goes, so that the editor is
    // never without one.
    TOwned<TcxMaskEditCustomMode> newMode = NewMode(properties->GetModeClass(newKind), this, properties);
    newMode->SetCharCase(FMode->GetCharCase());
    newMode->SetEchoMode(FMode->GetEchoMode());
    FMode = std::move(newMode);
    // A mask of the other language means nothing to the new kind.
    if (IsRegExprKind(oldKind) != IsRegExprKind(newKind)) {
      properties->FEditMask.clear();
      maskCleared = true;
    }
    const AnsiString effective = properties->GetEditMask();
    FMode->Compile(effective);
    if (!TcxCustomMaskEditProperties::EmptyMask(effective)) FMode->SynchronizeEditValue();
    RefreshEmptyString();
  }

  if (maskChanged) {
    if (properties->GetMaxLength() != 0) properties->SetMaxLength(0);
    try {
      FMode->Compile(mask);
    } catch (...) {
      // Only a mask set before its kind in one bracket gets here; the mode
      // keeps what its kind accepts.
      FMode->Compile(properties->GetEditMask());
      throw;
    }
    if (maskCleared) properties->FEditMask = mask;
    if (!TcxCustomMaskEditProperties::EmptyMask(mask))
      FMode->SynchronizeEditValue();
    else if (IsStandardMode() && focused && GetSelLength() == 1)
      SetSelLength(0);
    RefreshEmptyString();
  }

  if (caseChanged) {
    if (properties->GetCharCase() == ecNormal) {
      if (GetInnerTextEdit()) GetInnerTextEdit()->SetCharCase(ecNormal);
      FMode->SynchronizeEditValue();
    }
    FMode->SetCharCase(properties->GetCharCase());
  }

  Integer savedSelStart = 0, savedSelLength = 0;
  if (echoModeChanged && focused) {
    savedSelStart = GetSelStart();
    savedSelLength = GetSelLength();
  }

  if (IsMasked() && !(VarIsNull(GetEditValue()) && !PropertiesChangeLocked())) FMode->UpdateEditValue();

  locked = false;
  properties->LockUpdate(false);
  if (auto* regExprMode = dynamic_cast<TcxMaskEditRegExprMode*>(FMode.get())) regExprMode->SetRegExprCaseInsensitive();
  TcxCustomTextEdit::PropertiesChanged(Sender);

  if (echoModeChanged) {
    if (focused) {
      SetSelStart(savedSelStart);
      SetSelLength(savedSelLength);
    }
    FMode->SetEchoMode(properties->GetEchoMode());
  }

  if (kindChanged || maskChanged || caseChanged) FMaskedText = FMode->GetUpdatedText(GetEditText(), true);
  // A locale change moves no position: the caret stays where the user left
  // it.
  if (formatChanging && focused) {
    DirectSetSelStart(formatSelStart);
    DirectSetSelLength(formatSelLength);
  }
}

TClassRef<TcxCustomEditProperties> TcxMaskEdit::GetPropertiesClass() const {
  return TcxMaskEditProperties::StaticClass();
}

// ===========================================================================
// Filter helper

TClass TcxFilterMaskEditHelper::GetFilterEditClass() const { return TcxMaskEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterMaskEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties* AProperties,
                                                                               TcxValueTypeClass AValueTypeClass,
                                                                               bool AExtendedSet) const {
  TcxFilterControlOperators result = cxFilterOrderedValueOperators(AExtendedSet);
  auto* properties = dynamic_cast<TcxCustomMaskEditProperties*>(AProperties);
  const bool masked = properties && properties->GetIsMasked();
  if (!masked && AValueTypeClass && AValueTypeClass->IsString())
    result += TcxFilterControlOperators{fcoLike, fcoNotLike};
  return result;
}

void TcxFilterMaskEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties,
                                                   bool AHasButtons) const {
  TcxFilterTextEditHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* target = dynamic_cast<TcxCustomMaskEditProperties*>(AProperties);
  auto* source = dynamic_cast<TcxCustomMaskEditProperties*>(AEditProperties);
  if (!target) return;
  // A filter condition is typed from scratch: the forced characters of the
  // pattern should appear by themselves.
  if (source && source->GetMaskKind() == emkRegExpr) target->SetMaskKind(emkRegExprEx);
  target->SetAutoSelect(!target->GetIsMasked());
}

// ===========================================================================
// Registration

namespace {
Integer MaskEditStartCount = 0;
}

void cxMaskEditInitialize() {
  if (MaskEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxMaskEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryMaskItem));
  FilterEditsController()->Register(TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::StaticClass());
}

void cxMaskEditFinalize() {
  if (MaskEditStartCount == 0 || --MaskEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxMaskEditProperties::StaticClass(), TcxFilterMaskEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxMaskEditProperties::StaticClass());
}
