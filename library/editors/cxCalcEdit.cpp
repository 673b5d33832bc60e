#include "library/editors/cxCalcEdit.h"

#include <algorithm>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/cxButtons.h"
#include "library/foundation/cxControls.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"
#include "platform/win/Keyboard.h"

ORV_REGISTER(TcxPopupCalculator)
ORV_REGISTER(TcxCalcEditPropertiesValues, ORV_PROP(Precision).Stored(false))
ORV_REGISTER(TcxCustomCalcEditProperties)
ORV_REGISTER(TcxCalcEditProperties, ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(true),
             ORV_PROP(ButtonGlyph), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(DisplayFormat).StoredBy<&TcxCustomTextEditProperties::IsDisplayFormatStored>(),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(Precision).StoredBy<&TcxCustomCalcEditProperties::IsPrecisionStored>(),
             ORV_PROP(QuickClose).Default(false),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(ScientificFormat).Default(false),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(UseThousandSeparator).Default(false), ORV_PROP(ValidateOnEnter).Default(true),
             ORV_EVENT(OnChange), ORV_EVENT(OnCloseUp), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnInitPopup),
             ORV_EVENT(OnPopup), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomCalcEdit)
ORV_REGISTER(TcxCalcEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true), ORV_PROP(BeepOnEnter).Default(true),
             ORV_PROP(Constraints), ORV_PROP(DragMode), ORV_PROP(EditValue), ORV_PROP(Enabled), ORV_PROP(ImeMode),
             ORV_PROP(ImeName), ORV_PROP(ParentColor).Default(false), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Value).Stored(false), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnEditing),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove),
             ORV_EVENT(OnMouseUp))
ORV_REGISTER(TcxFilterCalcEditHelper)

using namespace win;

namespace {

constexpr Integer kMaxPrecision = 15;

bool IsBlank(const Variant& V) { return VarIsNull(V) || VarIsEmpty(V) || (VarIsStr(V) && VarToStr(V).empty()); }

}  // namespace

// ---------------------------------------------------------------------------
// The drop-down's calculator.

TcxPopupCalculator::TcxPopupCalculator(TComponent* AOwner) : TcxCustomCalculator(AOwner) { SetIsPopup(true); }

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::GetPainter() {
  if (!FEdit) return TcxCustomCalculator::GetPainter();
  return GetButtonPainterClass(FEdit->GetPopupLookAndFeel());
}

AnsiString TcxPopupCalculator::GetEditorValue() { return FEdit ? FEdit->GetText() : AnsiString(); }

void TcxPopupCalculator::SetEditorValue(const AnsiString& Value) {
  if (!FEdit || !FEdit->DoEditing()) return;
  FEdit->GetInnerEdit()->SetEditValue(Variant(Value));
  FEdit->SetModifiedAfterEnter(true);
}

// A key whose release went to the editor after the drop-down closed must
// not leave its button drawn down. The text may have changed since the
// last drop-down: nothing pending from then applies to it; the memory is
// kept for the next calculation.
void TcxPopupCalculator::Init() {
  DoButtonUp(FActiveButton);
  StartCalculation();
}

void TcxPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomCalculator::KeyDown(Key, Shift);
  if (!FEdit) return;
  const bool alt = Shift.Contains(ssAlt);
  switch (Key) {
    case VK_INSERT:
      if (Shift.Contains(ssShift))
        PasteFromClipboard();
      else if (Shift.Contains(ssCtrl))
        CopyToClipboard();
      break;
    case VK_F4:
      if (!alt) HidePopup(this, crClose);
      break;
    case VK_UP:
    case VK_DOWN:
      if (alt) HidePopup(this, crClose);
      break;
    case VK_TAB: FEdit->DoEditKeyDown(Key, Shift); break;
    case VK_RETURN: HidePopup(this, crEnter); break;
    case VK_ESCAPE: HidePopup(this, crCancel); break;
    default: break;
  }
}

void TcxPopupCalculator::KeyPress(char& Key) {
  TcxCustomCalculator::KeyPress(Key);
  if (Key == '=' && FEdit && FEdit->GetActiveProperties()->GetQuickClose()) HidePopup(this, crEnter);
}

// ---------------------------------------------------------------------------
// Assigned values.

void TcxCalcEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCalcEditPropertiesValues*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::DoAssign(Source);
  if (source) SetPrecision(source->FPrecision);
}

void TcxCalcEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::RestoreDefaults();
  SetPrecision(false);
}

void TcxCalcEditPropertiesValues::SetPrecision(bool Value) {
  if (FPrecision == Value) return;
  FPrecision = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {
  SetBeepOnError(true);
  SetValidateOnEnter(true);
}

void TcxCustomCalcEditProperties::AfterConstruction() {
  TcxCustomPopupEditProperties::AfterConstruction();
  // The calculator has the size its font gives it.
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
}

void TcxCustomCalcEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCalcEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomPopupEditProperties::DoAssign(Source);
  if (!source) return;
  SetBeepOnError(source->GetBeepOnError());
  GetAssignedValues()->SetPrecision(false);
  if (source->GetAssignedValues()->GetPrecision()) SetPrecision(source->FPrecision);
  SetQuickClose(source->FQuickClose);
  SetScientificFormat(source->FScientificFormat);
  SetUseThousandSeparator(source->FUseThousandSeparator);
}

TClass TcxCustomCalcEditProperties::GetContainerClass() const { return TcxCalcEdit::StaticClass(); }

TcxDataEditValueSource TcxCustomCalcEditProperties::GetEditValueSource(bool AEditFocused) const {
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  if (!AEditFocused && !GetAssignedValues()->GetDisplayFormat() && provider && provider->IsDisplayFormatDefined(true))
    return evsText;
  return evsValue;
}

bool TcxCustomCalcEditProperties::HasDigitGrouping(bool) const {
  return FUseThousandSeparator && !FScientificFormat;
}

bool TcxCustomCalcEditProperties::IsEditValueValid(Variant& EditValue, bool) {
  if (IsBlank(EditValue)) return true;
  double value;
  if (VarIsStr(EditValue)) return StrToFloatEx(VarToStr(EditValue), value);
  return VarIsNumericEx(EditValue);
}

bool TcxCustomCalcEditProperties::StrToFloatEx(const AnsiString& S, double& Value) const {
  return cxStrToNumber(S, Value);
}

bool TcxCustomCalcEditProperties::ReadNumber(const AnsiString& AText, double& Value) const {
  AnsiString text = Trim(AText);
  if (HasDigitGrouping(false)) RemoveThousandSeparator(text);
  Value = 0;
  return !text.empty() && StrToFloatEx(text, Value);
}

AnsiString TcxCustomCalcEditProperties::FloatToText(double Value) const {
  const Integer precision = GetPrecision() == 0 ? kMaxPrecision : GetPrecision();
  AnsiString text = FloatToStrF(Value, FScientificFormat ? ffExponent : ffGeneral, precision, 0);
  if (HasDigitGrouping(false)) return InsertThousandSeparator(text);
  if (FScientificFormat) {
    // The mantissa without the zeros that say nothing, the exponent as the
    // run-time library writes it.
    AnsiString exponent;
    RemoveExponentialPart(text, exponent);
    const char separator = FormatSettings().DecimalSeparator;
    if (text.find(separator) != AnsiString::npos) {
      while (!text.empty() && text.back() == '0') text.pop_back();
      if (!text.empty() && text.back() == separator) text.pop_back();
    }
    text += exponent;
  }
  return text;
}

void TcxCustomCalcEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (IsBlank(AEditValue)) {
    DisplayValue = Variant(AnsiString());
    return;
  }
  double value = 0;
  const bool number = VarIsStr(AEditValue) ? StrToFloatEx(VarToStr(AEditValue), value) : VarIsNumericEx(AEditValue);
  if (!number) {
    // Whatever else the data holds shows as it is rather than vanish.
    DisplayValue = Variant(VarToStr(AEditValue));
    return;
  }
  if (!VarIsStr(AEditValue)) value = AEditValue.AsDouble();
  if (!AEditFocused && GetAssignedValues()->GetDisplayFormat())
    DisplayValue = Variant(FormatFloat(GetDisplayFormat(), value));
  else
    DisplayValue = Variant(FloatToText(value));
}

void TcxCustomCalcEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  // What the keys leave behind may read as no number (a lone sign, or "1e"
  // once a deletion took the exponent's digits): refused, as the other
  // number editors refuse it, rather than posted as an empty value.
  double value;
  Error = !Trim(VarToStr(DisplayValue)).empty() && !ReadNumber(VarToStr(DisplayValue), value);
  TcxCustomPopupEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

Integer TcxCustomCalcEditProperties::GetPrecision() const {
  Integer precision = kMaxPrecision;
  if (GetAssignedValues()->GetPrecision())
    precision = FPrecision;
  else if (IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider())
    precision = provider->DefaultPrecision();
  return std::min(precision, kMaxPrecision);
}

void TcxCustomCalcEditProperties::SetPrecision(Integer Value) {
  Value = std::clamp(Value, 0, 255);
  if (GetAssignedValues()->GetPrecision() && FPrecision == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  FPrecision = Value;
  GetAssignedValues()->SetPrecision(true);
  Changed();
}

void TcxCustomCalcEditProperties::SetQuickClose(bool Value) {
  if (FQuickClose == Value) return;
  FQuickClose = Value;
  Changed();
}

void TcxCustomCalcEditProperties::SetScientificFormat(bool Value) {
  if (FScientificFormat == Value) return;
  FScientificFormat = Value;
  Changed();
}

void TcxCustomCalcEditProperties::SetUseThousandSeparator(bool Value) {
  if (FUseThousandSeparator == Value) return;
  FUseThousandSeparator = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Editor.

TClassRef<TcxCustomEditProperties> TcxCustomCalcEdit::GetPropertiesClass() const {
  return TcxCustomCalcEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxCalcEdit::GetPropertiesClass() const {
  return TcxCalcEditProperties::StaticClass();
}

void TcxCustomCalcEdit::Initialize() {
  TcxCustomPopupEdit::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetValue(0);
  if (!GetPopupWindow()) return;
  FCalculator = New<TcxPopupCalculator>(this);
  FCalculator->SetEdit(this);
  FCalculator->SetParent(GetPopupWindow());
  FCalculator->SetAutoFontSize(false);
  FCalculator->OnHidePopup = TcxCalcHidePopupEvent::Bind<&TcxCustomPopupEdit::HidePopup>(this);
  GetProperties()->SetPopupControl(FCalculator);
}

double TcxCustomCalcEdit::GetValue() {
  const Variant value = GetEditValue();
  if (IsBlank(value)) return 0;
  double number = 0;
  if (VarIsStr(value)) return GetActiveProperties()->StrToFloatEx(VarToStr(value), number) ? number : 0;
  return VarIsNumericEx(value) ? value.AsDouble() : 0;
}

void TcxCustomCalcEdit::SetValue(double Value) { SetInternalEditValue(Variant(Value)); }

void TcxCustomCalcEdit::InternalPrepareEditValue(const AnsiString& AText, Variant& EditValue) const {
  double value = 0;
  EditValue = GetActiveProperties()->ReadNumber(AText, value) ? Variant(value) : Null();
}

void TcxCustomCalcEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  InternalPrepareEditValue(VarToStr(ADisplayValue), EditValue);
}

Variant TcxCustomCalcEdit::InternalGetEditingValue() {
  Variant value;
  InternalPrepareEditValue(GetText(), value);
  return value;
}

void TcxCustomCalcEdit::KeyPress(char& Key) {
  if (Key == '.' || Key == ',') Key = FormatSettings().DecimalSeparator;
  TcxCustomPopupEdit::KeyPress(Key);
}

bool TcxCustomCalcEdit::IsValidChar(char AChar) {
  if (!IsNumericChar(AChar, ntExponent)) return false;
  const AnsiString candidate = GetTypedText(AChar);
  // A sign into an empty editor starts a number.
  if (candidate == "-") return true;
  double value;
  return GetActiveProperties()->StrToFloatEx(candidate, value);
}

void TcxCustomCalcEdit::PasteFromClipboard() {
  if (!FCalculator || !DoEditing()) return;
  // What another program offers is outside data: only a number gets in.
  double value;
  if (!TextEditClipboardHasText() ||
      !GetActiveProperties()->StrToFloatEx(TcxCustomCalculator::PastedNumberText(ClipboardText()), value)) {
    if (GetActiveProperties()->GetBeepOnError()) MessageBeep(0);
    return;
  }
  FCalculator->PasteFromClipboard();
}

bool TcxCustomCalcEdit::CanDropDown() {
  return FCalculator && !GetActiveProperties()->GetReadOnly() && GetDataBinding()->IsDataAvailable();
}

void TcxCustomCalcEdit::CreatePopupWindow() {
  TcxCustomPopupEdit::CreatePopupWindow();
  GetPopupWindow()->SetModalMode(false);
}

void TcxCustomCalcEdit::DoInitPopup() {
  if (FCalculator) GetActiveProperties()->SetPopupControl(FCalculator);
  TcxCustomPopupEdit::DoInitPopup();
}

void TcxCustomCalcEdit::InitializePopupWindow() {
  TcxCustomPopupEdit::InitializePopupWindow();
  if (!FCalculator) return;
  FCalculator->HandleNeeded();
  FCalculator->GetFont()->Assign(GetActiveStyle()->GetVisibleFont());
  // Without the automatic size the buttons are twice the font's height.
  FCalculator->RecalcSize();
}

void TcxCustomCalcEdit::PopupWindowShowed(TObject* Sender) {
  TcxCustomPopupEdit::PopupWindowShowed(Sender);
  if (FCalculator) FCalculator->Init();
}

void TcxCustomCalcEdit::PopupWindowClosed(TObject* Sender) {
  if (GetText() == cxEditResString(scxSCalcError)) {
    SetInternalEditValue(Variant(0.0));
    // The 0 shown is a fresh start: the calculator leaves its error state
    // with it, or the next drop-down would answer every key with "Error".
    if (FCalculator) FCalculator->Clear();
  }
  if (GetActiveProperties()->GetAutoSelect())
    SelectAll();
  else {
    SetSelStart(static_cast<Integer>(GetText().size()));
    SetSelLength(0);
  }
  TcxCustomPopupEdit::PopupWindowClosed(Sender);
}

void TcxCustomCalcEdit::PopupWindowKeyDown(Word& Key, TShiftState Shift) {
  if (FCalculator && FCalculator->Focused() && (Key == VK_RETURN || Key == VK_ESCAPE) && !Shift.Contains(ssAlt))
    return;
  TcxCustomPopupEdit::PopupWindowKeyDown(Key, Shift);
}

void TcxCustomCalcEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (PropertiesChangeLocked() || !FCalculator) return;
  TcxCustomCalcEditProperties* properties = GetActiveProperties();
  FCalculator->SetBeepOnError(properties->GetBeepOnError());
  // Precision 0 shows every digit the editor can (FloatToText): so
  // calculates the calculator, not with the two digits it keeps at least.
  const Integer precision = properties->GetPrecision();
  FCalculator->SetPrecision(precision == 0 ? kMaxPrecision : precision);
  properties->SetPopupControl(FCalculator);
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TClass TcxFilterCalcEditHelper::GetFilterEditClass() const { return TcxCalcEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterCalcEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                               TcxValueTypeClass,
                                                                               bool AExtendedSet) const {
  return cxFilterOrderedValueOperators(AExtendedSet);
}

void TcxFilterCalcEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                   TcxCustomEditProperties* AEditProperties, bool AHasButtons) const {
  TcxFilterMaskEditHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  if (auto* properties = dynamic_cast<TcxCustomCalcEditProperties*>(AProperties)) properties->SetQuickClose(true);
}

namespace {
Integer CalcEditStartCount = 0;
}

void cxCalcEditInitialize() {
  if (CalcEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxCalcEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryCalcItem));
  FilterEditsController()->Register(TcxCalcEditProperties::StaticClass(), TcxFilterCalcEditHelper::StaticClass());
}

void cxCalcEditFinalize() {
  if (CalcEditStartCount == 0 || --CalcEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxCalcEditProperties::StaticClass(), TcxFilterCalcEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxCalcEditProperties::StaticClass());
}
