#include "library/editors/cxCurrencyEdit.h"

#include <cmath>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/cxControls.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"
#include "platform/rtl/StrUtils.h"

ORV_REGISTER(TcxCurrencyEditPropertiesValues, ORV_PROP(DecimalPlaces).Stored(false))
ORV_REGISTER(TcxCustomCurrencyEditProperties)
ORV_REGISTER(TcxCurrencyEditProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(DecimalPlaces).StoredBy<&TcxCustomCurrencyEditProperties::IsDecimalPlacesStored>(),
             ORV_PROP(DisplayFormat).StoredBy<&TcxCustomTextEditProperties::IsDisplayFormatStored>(),
             ORV_PROP(EchoMode).Default(eemNormal),
             ORV_PROP(EditFormat).StoredBy<&TcxCustomTextEditProperties::IsEditFormatStored>(),
             ORV_PROP(HideSelection).Default(true), ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName),
             ORV_PROP(MaxValue).StoredBy<&TcxCustomTextEditProperties::IsMaxValueStored>(),
             ORV_PROP(MinValue).StoredBy<&TcxCustomTextEditProperties::IsMinValueStored>(),
             ORV_PROP(Nullable).Default(true), ORV_PROP(NullString), ORV_PROP(PasswordChar).Default('\0'),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseDisplayFormatWhenEditing).Default(false),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(UseThousandSeparator).Default(false), ORV_PROP(ValidateOnEnter).Default(true),
             ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnValidate))
ORV_REGISTER(TcxCustomCurrencyEdit)
ORV_REGISTER(TcxCurrencyEdit, ORV_PROP(Anchors), ORV_PROP(AutoSize).Default(true),
             ORV_PROP(BeepOnEnter).Default(true), ORV_PROP(Constraints), ORV_PROP(DragCursor), ORV_PROP(DragKind),
             ORV_PROP(DragMode), ORV_PROP(EditValue), ORV_PROP(Enabled), ORV_PROP(ImeMode), ORV_PROP(ImeName),
             ORV_PROP(ParentColor).Default(false), ORV_PROP(ParentFont).Default(true),
             ORV_PROP(ParentShowHint).Default(true), ORV_PROP(PopupMenu), ORV_PROP(Properties),
             ORV_PROP(Style), ORV_PROP(StyleDisabled), ORV_PROP(StyleFocused), ORV_PROP(StyleHot),
             ORV_PROP(TabOrder), ORV_PROP(TabStop).Default(true), ORV_PROP(Value).Stored(false), ORV_PROP(Visible),
             ORV_EVENT(OnClick), ORV_EVENT(OnContextPopup), ORV_EVENT(OnDblClick), ORV_EVENT(OnDragDrop),
             ORV_EVENT(OnDragOver), ORV_EVENT(OnEditing), ORV_EVENT(OnEndDock), ORV_EVENT(OnEndDrag),
             ORV_EVENT(OnEnter), ORV_EVENT(OnExit), ORV_EVENT(OnKeyDown), ORV_EVENT(OnKeyPress), ORV_EVENT(OnKeyUp),
             ORV_EVENT(OnMouseDown), ORV_EVENT(OnMouseEnter), ORV_EVENT(OnMouseLeave), ORV_EVENT(OnMouseMove),
             ORV_EVENT(OnMouseUp), ORV_EVENT(OnStartDock), ORV_EVENT(OnStartDrag))
ORV_REGISTER(TcxFilterCurrencyEditHelper)

namespace {

bool OnGetTextAssigned(const TcxCustomEditProperties* AProperties) {
  IcxEditDefaultValuesProvider* provider = AProperties->GetIDefaultValuesProvider();
  return provider && provider->IsOnGetTextAssigned();
}

}  // namespace

// ---------------------------------------------------------------------------
// Assigned values.

void TcxCurrencyEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCurrencyEditPropertiesValues*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::DoAssign(Source);
  if (source) SetDecimalPlaces(source->FDecimalPlaces);
}

void TcxCurrencyEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::RestoreDefaults();
  SetDecimalPlaces(false);
}

void TcxCurrencyEditPropertiesValues::SetDecimalPlaces(bool Value) {
  if (FDecimalPlaces == Value) return;
  FDecimalPlaces = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Properties.

TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

void TcxCustomCurrencyEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCurrencyEditProperties*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomTextEditProperties::DoAssign(Source);
  if (!source) return;
  GetAssignedValues()->SetDecimalPlaces(false);
  if (source->GetAssignedValues()->GetDecimalPlaces()) SetDecimalPlaces(source->FDecimalPlaces);
  SetNullable(source->FNullable);
  SetNullString(source->FNullString);
  SetUseThousandSeparator(source->FUseThousandSeparator);
}

TClass TcxCustomCurrencyEditProperties::GetContainerClass() const { return TcxCurrencyEdit::StaticClass(); }

AnsiString TcxCustomCurrencyEditProperties::GetDefaultDisplayFormat() const {
  return cxFormatController()->GetCurrencyFormat();
}

TcxDataEditValueSource TcxCustomCurrencyEditProperties::GetEditValueSource(bool AEditFocused) const {
  return !AEditFocused && OnGetTextAssigned(this) ? evsText : evsValue;
}

bool TcxCustomCurrencyEditProperties::HasDigitGrouping(bool AIsDisplayValueSynchronizing) const {
  return FUseThousandSeparator && !AIsDisplayValueSynchronizing;
}

Integer TcxCustomCurrencyEditProperties::GetDecimalPlaces() const {
  return GetAssignedValues()->GetDecimalPlaces() ? FDecimalPlaces : FormatSettings().CurrencyDecimals;
}

void TcxCustomCurrencyEditProperties::SetDecimalPlaces(Integer Value) {
  if (GetAssignedValues()->GetDecimalPlaces() && FDecimalPlaces == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  FDecimalPlaces = Value;
  GetAssignedValues()->SetDecimalPlaces(true);
  Changed();
}

void TcxCustomCurrencyEditProperties::SetNullable(bool Value) {
  if (FNullable == Value) return;
  FNullable = Value;
  Changed();
}

void TcxCustomCurrencyEditProperties::SetNullString(const AnsiString& Value) {
  if (FNullString == Value) return;
  FNullString = Value;
  Changed();
}

void TcxCustomCurrencyEditProperties::SetUseThousandSeparator(bool Value) {
  if (FUseThousandSeparator == Value) return;
  FUseThousandSeparator = Value;
  Changed();
}

bool TcxCustomCurrencyEditProperties::StrToFloatEx(const AnsiString& S, double& Value) const {
  return cxStrToNumber(GetAmountText(S), Value) || S.empty();
}

bool TcxCustomCurrencyEditProperties::IsTextValid(const AnsiString& S) const {
  const AnsiString amount = GetAmountText(S);
  const std::size_t separator = amount.find(FormatSettings().DecimalSeparator);
  if (separator != AnsiString::npos) {
    std::size_t end = amount.find_first_of("eE");
    if (end == AnsiString::npos || end < separator) end = amount.size();
    if (static_cast<Integer>(end - separator - 1) > GetDecimalPlaces()) return false;
  }
  double value;
  return StrToFloatEx(S, value);
}

AnsiString TcxCustomCurrencyEditProperties::GetAmountText(const AnsiString& S) const {
  double number;
  if (S.empty() || cxStrToNumber(S, number)) return S;
  bool isCurrency = false, onGetText = false;
  const AnsiString format =
      const_cast<TcxCustomCurrencyEditProperties*>(this)->InternalGetEditFormat(isCurrency, onGetText, nullptr);
  if (format.empty()) return S;
  const AnsiString text = Trim(S);
  // What the format writes around a number, found from the text it gives
  // for one: everything before the first digit and after the last.
  struct Frame {
    AnsiString Before, After;
  };
  auto frameOf = [&](double AProbe, Frame& AFrame) {
    const AnsiString shown = FormatFloat(format, AProbe);
    const std::size_t first = shown.find_first_of("0123456789");
    if (first == AnsiString::npos) return false;
    const std::size_t last = shown.find_last_of("0123456789");
    AFrame = {Trim(shown.substr(0, first)), Trim(shown.substr(last + 1))};
    return true;
  };
  auto inside = [&](const Frame& AFrame, AnsiString& AAmount) {
    const std::size_t before = AFrame.Before.size(), after = AFrame.After.size();
    if (text.size() < before + after || text.compare(0, before, AFrame.Before) != 0 ||
        text.compare(text.size() - after, after, AFrame.After) != 0)
      return false;
    AAmount = Trim(text.substr(before, text.size() - before - after));
    return !AAmount.empty();
  };
  Frame positive, negative;
  AnsiString amount;
  if (!frameOf(1, positive)) return S;
  // A negative amount's own frame ("($1.00)", "-$1.00") first: a positive
  // frame it contains would read its number without the sign.
  if (frameOf(-1, negative) && (negative.Before != positive.Before || negative.After != positive.After) &&
      inside(negative, amount) && amount[0] != '-' && cxStrToNumber(amount, number))
    return "-" + amount;
  if (inside(positive, amount) && cxStrToNumber(amount, number)) return amount;
  // A zero section may write its own word.
  if (text == Trim(FormatFloat(format, 0))) return "0";
  return S;
}

bool TcxCustomCurrencyEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) {
  if (!AEditFocused) return true;
  bool isCurrency = false, onGetText = false;
  if (!const_cast<TcxCustomCurrencyEditProperties*>(this)->InternalGetEditFormat(isCurrency, onGetText, nullptr)
           .empty() ||
      onGetText)
    return true;
  double value;
  return StrToFloatEx(VarToStr(DisplayValue), value);
}

void TcxCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                          bool AEditFocused) {
  const bool empty = VarIsNull(AEditValue) || VarIsEmpty(AEditValue) ||
                     (VarIsStr(AEditValue) && VarToStr(AEditValue).empty());
  if (!empty) {
    TcxCustomTextEditProperties::PrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
    return;
  }
  if (AEditFocused)
    DisplayValue = Variant(AnsiString());
  else if (FNullable)
    DisplayValue = Variant(FNullString);
  else
    TcxCustomTextEditProperties::PrepareDisplayValue(Variant(0.0), DisplayValue, false);
}

void TcxCustomCurrencyEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText,
                                                           bool& Error, IcxEditControl* AEdit) {
  double value;
  if (!StrToFloatEx(VarToStr(DisplayValue), value)) Error = true;
  TcxCustomTextEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

// ---------------------------------------------------------------------------
// Editor.

TClassRef<TcxCustomEditProperties> TcxCustomCurrencyEdit::GetPropertiesClass() const {
  return TcxCustomCurrencyEditProperties::StaticClass();
}

TClassRef<TcxCustomEditProperties> TcxCurrencyEdit::GetPropertiesClass() const {
  return TcxCurrencyEditProperties::StaticClass();
}

void TcxCustomCurrencyEdit::Initialize() {
  TcxCustomTextEdit::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

void TcxCustomCurrencyEdit::PrepareEditValue(const Variant& ADisplayValue, Variant& EditValue, bool) {
  TcxCustomCurrencyEditProperties* properties = GetActiveProperties();
  const AnsiString text = VarToStr(ADisplayValue);
  double value = 0;
  if (text.empty() || text == properties->GetNullString() || !properties->StrToFloatEx(text, value)) {
    EditValue = properties->GetNullable() ? Null() : Variant(Currency{0});
    return;
  }
  // The text a bound shows is that bound, so that retyping it is no
  // amount out of bounds.
  const double bound = properties->BoundOfShownText(value);
  if (bound != value) {
    EditValue = Variant(bound);
    return;
  }
  // An amount held as a Currency is read back as one: through a double,
  // amounts from about 10^13 on would lose their cents.
  if (VarType(FEditValue) == varCurrency) {
    AnsiString digits = properties->GetAmountText(text);
    RemoveThousandSeparator(digits);
    Currency amount;
    if (TryStrToCurr(digits, amount)) {
      EditValue = Variant(amount);
      return;
    }
  }
  EditValue = Variant(value);
}

Variant TcxCustomCurrencyEdit::InternalGetEditingValue() {
  Variant value;
  PrepareEditValue(Variant(GetText()), value, true);
  return value;
}

double TcxCustomCurrencyEdit::GetValue() {
  const Variant value = GetEditValue();
  if (VarIsNull(value) || VarIsEmpty(value)) return 0;
  if (VarIsStr(value)) {
    Currency amount;
    if (!TryStrToCurr(VarToStr(value), amount) || amount.Value == 0) return 0;
    double number = 0;
    return TryStrToFloat(VarToStr(value), number) ? number : 0;
  }
  return value.AsDouble();
}

void TcxCustomCurrencyEdit::SetValue(double Value) {
  TcxCustomCurrencyEditProperties* properties = GetActiveProperties();
  if (properties->IsValueBoundDefined(evbMin) && Value < properties->GetMinValue())
    Value = properties->GetMinValue();
  else if (properties->IsValueBoundDefined(evbMax) && Value > properties->GetMaxValue())
    Value = properties->GetMaxValue();
  SetInternalEditValue(Variant(Value));
}

void TcxCustomCurrencyEdit::CheckEditorValueBounds() {
  {
    auto user = orv::TempValue(FUserAction, FUserAction);
    TcxCustomCurrencyEditProperties* properties = GetActiveProperties();
    const double value = GetValue();
    if ((properties->IsValueBoundDefined(evbMin) && value < properties->GetMinValue()) ||
        (properties->IsValueBoundDefined(evbMax) && value > properties->GetMaxValue()))
      SetValue(value);
  }
  FUserAction = false;
}

void TcxCustomCurrencyEdit::KeyPress(char& Key) {
  const TFormatSettings& settings = FormatSettings();
  const bool thousandKey = GetActiveProperties()->GetUseThousandSeparator() && Key == settings.ThousandSeparator;
  if (!thousandKey && (Key == ',' || Key == '.')) Key = settings.DecimalSeparator;
  TcxCustomTextEdit::KeyPress(Key);
}

void TcxCustomCurrencyEdit::PasteFromClipboard() {
  if (CanModify()) TcxCustomTextEdit::PasteFromClipboard();
}

bool TcxCustomCurrencyEdit::IsValidChar(char AChar) {
  TcxCustomCurrencyEditProperties* properties = GetActiveProperties();
  const bool thousand = properties->GetUseThousandSeparator() && AChar == FormatSettings().ThousandSeparator;
  if (!IsNumericChar(AChar, ntExponent) && !thousand) return false;
  const AnsiString text = GetText();
  bool isCurrency = false, onGetText = false;
  const bool formatted = !properties->InternalGetEditFormat(isCurrency, onGetText, this).empty() || onGetText;
  // A text already broken by a format of the data may be repaired.
  if (formatted && !properties->IsTextValid(text)) return true;
  const AnsiString candidate = GetTypedText(AChar);
  // A sign into an empty editor starts an amount.
  if (candidate == "-") return true;
  return properties->IsTextValid(candidate);
}

// ---------------------------------------------------------------------------
// Filter helper and the unit.

TClass TcxFilterCurrencyEditHelper::GetFilterEditClass() const { return TcxCurrencyEdit::StaticClass(); }

TcxFilterControlOperators TcxFilterCurrencyEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                   TcxValueTypeClass,
                                                                                   bool AExtendedSet) const {
  return cxFilterOrderedValueOperators(AExtendedSet);
}

void TcxFilterCurrencyEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                       TcxCustomEditProperties* AEditProperties,
                                                       bool AHasButtons) const {
  TcxFilterTextEditHelper::InitializeProperties(AProperties, AEditProperties, AHasButtons);
  auto* properties = dynamic_cast<TcxCustomCurrencyEditProperties*>(AProperties);
  if (!properties) return;
  properties->SetMinMaxValues(0, 0);
  properties->SetNullable(true);
  properties->SetNullString("");
}

namespace {
Integer CurrencyEditStartCount = 0;
}

void cxCurrencyEditInitialize() {
  if (CurrencyEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxCurrencyEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryCurrencyItem));
  FilterEditsController()->Register(TcxCurrencyEditProperties::StaticClass(),
                                    TcxFilterCurrencyEditHelper::StaticClass());
}

void cxCurrencyEditFinalize() {
  if (CurrencyEditStartCount == 0 || --CurrencyEditStartCount > 0) return;
  FilterEditsController()->Unregister(TcxCurrencyEditProperties::StaticClass(),
                                      TcxFilterCurrencyEditHelper::StaticClass());
  GetRegisteredEditProperties()->Unregister(TcxCurrencyEditProperties::StaticClass());
}
