#include "library/editors/cxHyperLinkEdit.h"

#include <algorithm>
#include <cctype>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/foundation/cxControls.h"
#include "library/foundation/cxPopupWindow.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"
#include "platform/win/Keyboard.h"
#include "platform/win/Shell.h"

using namespace win;

ORV_REGISTER(TcxCustomHyperLinkEditProperties)
ORV_REGISTER(TcxHyperLinkEditProperties, ORV_PROP(AutoComplete).Default(true),
             ORV_PROP(LinkColor).Default(static_cast<TColor>(0xFF0000)), ORV_PROP(SingleClick).Default(false),
             ORV_PROP(StartKey).Default(16397),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(), ORV_EVENT(OnChange),
             ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnStartClick), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxHyperLinkStyle)
ORV_REGISTER(TcxHyperLinkEditViewInfo)
ORV_REGISTER(TcxHyperLinkEditViewData)
ORV_REGISTER(TcxCustomHyperLinkEdit)
ORV_REGISTER(TcxHyperLinkEdit, ORV_PROP(EditValue), ORV_PROP(Properties), ORV_PROP(Style), ORV_PROP(TabOrder),
             ORV_PROP(TabStop).Default(true), ORV_PROP(Visible), ORV_EVENT(OnEditing), ORV_EVENT(OnEnter),
             ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp))
ORV_REGISTER(TcxFilterHyperLinkEditHelper)

namespace {

// The scheme of a URL (letters, digits, '+', '-', '.' after a letter, up
// to ':'), lower case; empty when the text has none.
AnsiString SchemeOf(const AnsiString& S) {
  const std::size_t colon = S.find(':');
  if (colon == AnsiString::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(S[0]))) return {};
  AnsiString scheme;
  for (std::size_t i = 0; i < colon; ++i) {
    const auto c = static_cast<unsigned char>(S[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return {};
    scheme += static_cast<char>(std::tolower(c));
  }
  return scheme;
}

}  // namespace

// ---------------------------------------------------------------------------
// Properties.

TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner), FPrefix(cxEditResString(scxSHyperLinkPrefix)) {}

void TcxCustomHyperLinkEditProperties::AfterConstruction() {
  TcxCustomTextEditProperties::AfterConstruction();
  SetAutoSelect(false);
}

void TcxCustomHyperLinkEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomHyperLinkEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomTextEditProperties::DoAssign(Source);
  if (!source) return;
  SetAutoComplete(source->FAutoComplete);
  SetLinkColor(source->FLinkColor);
  SetPrefix(source->FPrefix);
  SetSingleClick(source->FSingleClick);
  SetStartKey(source->FStartKey);
  OnStartClick = source->OnStartClick;
}

TClass TcxCustomHyperLinkEditProperties::GetContainerClass() const { return TcxHyperLinkEdit::StaticClass(); }
TClass TcxCustomHyperLinkEditProperties::GetStyleClass() const { return TcxHyperLinkStyle::StaticClass(); }
TClass TcxCustomHyperLinkEditProperties::GetViewDataClass() const { return TcxHyperLinkEditViewData::StaticClass(); }

TClass TcxCustomHyperLinkEditProperties::GetViewInfoClass() const { return TcxHyperLinkEditViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomHyperLinkEditProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result = TcxCustomTextEditProperties::GetSupportedOperations();
  if (FSingleClick) result.Include(esoAlwaysHotTrack);
  return result;
}

void TcxCustomHyperLinkEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText,
                                                            bool& Error, IcxEditControl* AEdit) {
  DisplayValue = Variant(AddPrefixTo(VarToStr(DisplayValue)));
  TcxCustomTextEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

AnsiString TcxCustomHyperLinkEditProperties::AddPrefixTo(const AnsiString& AText) const {
  const AnsiString text = Trim(AText);
  if (!FAutoComplete || FPrefix.empty() || text.empty() || IsCompleteLink(text)) return AText;
  return FPrefix + text;
}

// The prefix completes a bare address ("example.org"); a link that names
// its own scheme is kept as typed, or "https://x" would become
// "http://https://x". A host and port ("localhost:8080") names none.
bool TcxCustomHyperLinkEditProperties::IsCompleteLink(const AnsiString& AText) const {
  if (SameText(AText.substr(0, FPrefix.size()), FPrefix)) return true;
  const AnsiString scheme = SchemeOf(AText);
  if (scheme.empty()) return false;
  if (AText.compare(scheme.size() + 1, 2, "//") == 0) return true;
  return scheme == "mailto" || scheme == SchemeOf(FPrefix);
}

bool TcxCustomHyperLinkEditProperties::IsLinkAllowed(const AnsiString& ALink) const {
  const AnsiString link = Trim(ALink);
  if (link.empty() || link[0] == '-') return false;
  if (std::any_of(link.begin(), link.end(), [](char c) { return static_cast<unsigned char>(c) < 32; })) return false;
  const AnsiString scheme = SchemeOf(link);
  if (scheme.empty()) return false;
  if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto") return true;
  return scheme == SchemeOf(FPrefix);
}

void TcxCustomHyperLinkEditProperties::SetLinkColor(TColor Value) {
  if (FLinkColor == Value) return;
  FLinkColor = Value;
  Changed();
}

void TcxCustomHyperLinkEditProperties::SetSingleClick(bool Value) {
  if (FSingleClick == Value) return;
  FSingleClick = Value;
  Changed();
}

// The prefix is stored only when it is not the library's own, under its
// own name, so that a stored layout follows the resource text otherwise.
void TcxCustomHyperLinkEditProperties::DefineProperties(TFiler* Filer) {
  TcxCustomTextEditProperties::DefineProperties(Filer);
  Filer->DefineProperty("Prefix", TReaderProc::Bind<&TcxCustomHyperLinkEditProperties::ReadPrefix>(this),
                        TWriterProc::Bind<&TcxCustomHyperLinkEditProperties::WritePrefix>(this),
                        FPrefix != cxEditResString(scxSHyperLinkPrefix));
}

void TcxCustomHyperLinkEditProperties::ReadPrefix(TReader* Reader) { FPrefix = Reader->ReadString(); }
void TcxCustomHyperLinkEditProperties::WritePrefix(TWriter* Writer) { Writer->WriteString(FPrefix); }

// ---------------------------------------------------------------------------
// Style and view info.

TFontStyles TcxHyperLinkStyle::GetTextStyle() {
  TFontStyles style = TcxEditStyle::GetTextStyle();
  style.Include(fsUnderline);
  return style;
}

TColor TcxHyperLinkStyle::DefaultTextColor() {
  if (auto* edit = dynamic_cast<TcxCustomHyperLinkEdit*>(GetOwner()))
    if (TcxCustomHyperLinkEditProperties* properties = edit->GetActiveProperties())
      return properties->GetLinkColor();
  return clBlue;
}

void TcxHyperLinkEditViewInfo::Assign(TObject* Source) {
  if (auto* source = dynamic_cast<TcxHyperLinkEditViewInfo*>(Source)) IsTextColorAssigned = source->IsTextColorAssigned;
  TcxCustomTextEditViewInfo::Assign(Source);
}

void TcxHyperLinkEditViewInfo::PrepareCanvasFont(TcxCanvas* ACanvas) {
  TcxCustomTextEditViewInfo::PrepareCanvasFont(ACanvas);
  if (Edit) return;
  TFontStyles style = ACanvas->GetFont()->GetStyle();
  style.Include(fsUnderline);
  ACanvas->GetFont()->SetStyle(style);
  if (IsTextColorAssigned)
    ACanvas->GetFont()->SetColor(TextColor);
  else if (auto* properties = dynamic_cast<TcxCustomHyperLinkEditProperties*>(EditProperties))
    ACanvas->GetFont()->SetColor(properties->GetLinkColor());
}

void TcxHyperLinkEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                         TcxMouseButton AButton, TShiftState AShift,
                                         TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  if (auto* info = dynamic_cast<TcxHyperLinkEditViewInfo*>(AViewInfo))
    info->IsTextColorAssigned = GetStyle()->IsValueAssigned(csvTextColor);
}

// ---------------------------------------------------------------------------
// Editor.

TClassRef<TcxCustomEditProperties> TcxCustomHyperLinkEdit::GetPropertiesClass() const {
  return TcxCustomHyperLinkEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxHyperLinkEdit::GetPropertiesClass() const {
  return TcxHyperLinkEditProperties::StaticClass();
}

void TcxCustomHyperLinkEdit::DoStart() {
  TcxCustomHyperLinkEditProperties* own = GetProperties();
  TcxCustomHyperLinkEditProperties* active = GetActiveProperties();
  const bool ownHandler = static_cast<bool>(own->OnStartClick);
  const bool itemHandler = GetRepositoryItem() && active != own && active->OnStartClick;
  if (ownHandler) own->OnStartClick(this);
  if (itemHandler) active->OnStartClick(this);
  if (ownHandler || itemHandler) return;
  const AnsiString text = GetText();
  if (Trim(text).empty()) return;
  const AnsiString link = Trim(active->AddPrefixTo(text));
  // A text that is not a link of an allowed kind is not handed on: the
  // desktop would open a file or start a program it names.
  if (!active->IsLinkAllowed(link)) {
    MessageBeep(0);
    return;
  }
  ShellExecuteA(nullptr, "OPEN", link.c_str(), nullptr, nullptr, 3);
}

void TcxCustomHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key != 0 && ShortCut(Key, Shift) == GetActiveProperties()->GetStartKey()) {
    // Its character must not follow into the text.
    if (TWinControl* inner = GetInnerControl(); inner && inner->HandleAllocated())
      KillMessages(inner->GetHandle(), WM_CHAR, WM_CHAR);
    Key = 0;
    DoStart();
    return;
  }
  TcxCustomTextEdit::KeyDown(Key, Shift);
}

bool TcxCustomHyperLinkEdit::InTextArea(Integer X, Integer Y) {
  return GetViewInfo() && cxRectPtIn(GetViewInfo()->ClientRect, TPoint(X, Y));
}

void TcxCustomHyperLinkEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Shift.Contains(ssDouble) && !GetActiveProperties()->GetSingleClick() && InTextArea(X, Y))
    DoStart();
}

void TcxCustomHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && GetActiveProperties()->GetSingleClick() && GetSelLength() == 0 && InTextArea(X, Y))
    DoStart();
}

void TcxCustomHyperLinkEdit::SetLinkCursor(TCursor ACursor) {
  SetCursor(ACursor);
  if (TWinControl* inner = GetInnerControl()) inner->SetCursor(ACursor);
  if (Screen) Screen->SetCursor(ACursor == crcxHandPoint ? ACursor : crDefault);
}

void TcxCustomHyperLinkEdit::MouseEnter(TControl* AControl) {
  TcxCustomTextEdit::MouseEnter(AControl);
  if (!GetActiveProperties()->GetSingleClick() || FCursorSaved || TControl::GetCursor() != crDefault) return;
  FSavedCursor = TControl::GetCursor();
  FCursorSaved = true;
  SetLinkCursor(crcxHandPoint);
}

void TcxCustomHyperLinkEdit::MouseLeave(TControl* AControl) {
  TcxCustomTextEdit::MouseLeave(AControl);
  if (!FCursorSaved) return;
  FCursorSaved = false;
  SetLinkCursor(FSavedCursor);
}

void TcxCustomHyperLinkEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomTextEdit::PropertiesChanged(Sender);
  // The style reads the link colour: a new one shows.
  if (!PropertiesChangeLocked()) ContainerStyleChanged(GetStyle());
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TClass TcxFilterHyperLinkEditHelper::GetFilterEditClass() const { return TcxHyperLinkEdit::StaticClass(); }

namespace {
Integer HyperLinkEditStartCount = 0;
}

void cxHyperLinkEditInitialize() {
  if (HyperLinkEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxHyperLinkEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryHyperLinkItem));
  FilterEditsController()->Register(TcxHyperLinkEditProperties::StaticClass(),
                                    TcxFilterHyperLinkEditHelper::StaticClass());
}

void cxHyperLinkEditFinalize() {
  if (HyperLinkEditStartCount == 0 || --HyperLinkEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxHyperLinkEditProperties::StaticClass(),
                                      TcxFilterHyperLinkEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxHyperLinkEditProperties::StaticClass());
}
