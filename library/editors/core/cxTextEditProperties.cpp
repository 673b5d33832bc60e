#include "library/editors/core/cxTextEditProperties.h"

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditRegistries.h"
#include "library/editors/core/cxTextEditLookupData.h"
#include "library/editors/core/cxTextEditViewInfo.h"
#include "library/foundation/cxClasses.h"
#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxTextEditPropertiesValues,
             ORV_PROP(DisplayFormat).StoredBy<&TcxTextEditPropertiesValues::IsDisplayFormatStored>(),
             ORV_PROP(EditFormat).StoredBy<&TcxTextEditPropertiesValues::IsEditFormatStored>(),
             ORV_PROP(MaxLength).Stored(false),
             ORV_PROP(MaxValue).StoredBy<&TcxTextEditPropertiesValues::IsMaxValueStored>(),
             ORV_PROP(MinValue).StoredBy<&TcxTextEditPropertiesValues::IsMinValueStored>())
ORV_REGISTER(TcxCustomTextEditProperties)
ORV_REGISTER(TcxTextEditProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false),
             ORV_PROP(CharCase).Default(ecNormal), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(EchoMode).Default(eemNormal), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(IncrementalSearch).Default(true),
             ORV_PROP(LookupItems), ORV_PROP(LookupItemsSorted).Default(false),
             ORV_PROP(MaxLength).StoredBy<&TcxCustomTextEditProperties::IsMaxLengthStored>(),
             ORV_PROP(OEMConvert).Default(false), ORV_PROP(PasswordChar).Default('\0'),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(false), ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged),
             ORV_EVENT(OnNewLookupDisplayText), ORV_EVENT(OnValidate))

namespace {

// The number a numeric kind reads from an edit value; text that is not a
// number is a conversion error of the kind's own wording.
double NumericValue(const Variant& AValue) {
  if (VarIsStr(AValue)) {
    Extended value = 0;
    if (!TryStrToFloat(VarToStr(AValue), value)) throw EConvertError(cxEditResString(cxSEditNumericValueConvertError));
    return static_cast<double>(value);
  }
  return AValue.AsDouble();
}

// A number laid out by a display or edit format; a Currency by its own
// exact digits, which a double no longer holds to the cent near the ends
// of its range.
AnsiString FormatNumber(const AnsiString& AFormat, const Variant& AValue) {
  if (VarType(AValue) == varCurrency) return FormatCurr(AFormat, AValue.AsCurrency());
  return FormatFloat(AFormat, NumericValue(AValue));
}

}  // namespace

// --- assigned values ---------------------------------------------------------

TcxCustomTextEditProperties* TcxTextEditPropertiesValues::GetTextProperties() const {
  return dynamic_cast<TcxCustomTextEditProperties*>(GetProperties());
}

void TcxTextEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxTextEditPropertiesValues*>(Source);
  if (!source) {
    TcxCustomEditPropertiesValues::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxCustomEditPropertiesValues::DoAssign(Source);
  SetDisplayFormat(source->FDisplayFormat);
  SetEditFormat(source->FEditFormat);
  SetMaxLength(source->FMaxLength);
  SetMaxValue(source->FMaxValue);
  SetMinValue(source->FMinValue);
}

void TcxTextEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxCustomEditPropertiesValues::RestoreDefaults();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
  SetMaxValue(false);
  SetMinValue(false);
}

void TcxTextEditPropertiesValues::SetDisplayFormat(bool Value) {
  if (FDisplayFormat == Value) return;
  FDisplayFormat = Value;
  Changed();
}

void TcxTextEditPropertiesValues::SetEditFormat(bool Value) {
  if (FEditFormat == Value) return;
  FEditFormat = Value;
  Changed();
}

void TcxTextEditPropertiesValues::SetMaxLength(bool Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  if (TcxCustomTextEditProperties* owner = GetTextProperties()) owner->MaxLengthChanged();
}

void TcxTextEditPropertiesValues::SetMaxValue(bool Value) {
  if (FMaxValue == Value) return;
  FMaxValue = Value;
  Changed();
}

void TcxTextEditPropertiesValues::SetMinValue(bool Value) {
  if (FMinValue == Value) return;
  FMinValue = Value;
  Changed();
}

bool TcxTextEditPropertiesValues::IsDisplayFormatStored() const {
  TcxCustomTextEditProperties* owner = GetTextProperties();
  return FDisplayFormat && owner && owner->FDisplayFormat.empty() && IsPropertiesPropertyVisible("DisplayFormat");
}

bool TcxTextEditPropertiesValues::IsEditFormatStored() const {
  TcxCustomTextEditProperties* owner = GetTextProperties();
  return FEditFormat && owner && owner->FEditFormat.empty() && IsPropertiesPropertyVisible("EditFormat");
}

bool TcxTextEditPropertiesValues::IsMaxValueStored() const {
  TcxCustomTextEditProperties* owner = GetTextProperties();
  return FMaxValue && owner && owner->FMaxValue == 0.0 && IsPropertiesPropertyVisible("MaxValue");
}

bool TcxTextEditPropertiesValues::IsMinValueStored() const {
  TcxCustomTextEditProperties* owner = GetTextProperties();
  return FMinValue && owner && owner->FMinValue == 0.0 && IsPropertiesPropertyVisible("MinValue");
}

// --- construction ------------------------------------------------------------

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {}

void TcxCustomTextEditProperties::AfterConstruction() {
  TcxCustomEditProperties::AfterConstruction();
  cxFormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  cxFormatController()->RemoveListener(this);
  FreeAndNil(FLookupItems);
}

TClass TcxCustomTextEditProperties::GetViewDataClass() const { return TcxCustomTextEditViewData::StaticClass(); }

TClass TcxCustomTextEditProperties::GetViewInfoClass() const { return TcxCustomTextEditViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomTextEditProperties::GetSupportedOperations() const {
  TcxEditSupportedOperations result = TcxCustomEditProperties::GetSupportedOperations();
  for (TcxEditSupportedOperation op : {esoAutoHeight, esoEditing, esoFiltering, esoHorzAlignment, esoIncSearch,
                                       esoSorting})
    result.Include(op);
  return result;
}

AnsiString TcxCustomTextEditProperties::GetValidateErrorText(TcxEditErrorKind AErrorKind) const {
  if (AErrorKind == cxEditValueOutOfBounds) return cxEditResString(cxSEditValueOutOfBounds);
  return TcxCustomEditProperties::GetValidateErrorText(AErrorKind);
}

bool TcxCustomTextEditProperties::IsResetEditClass() const { return GetEditingStyle() != esNoEdit; }

// --- copying -------------------------------------------------------------------

void TcxCustomTextEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomTextEditProperties*>(Source);
  if (!source) {
    TcxCustomEditProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomEditProperties::DoAssign(Source);
  SetCharCase(source->FCharCase);
  SetEchoMode(source->FEchoMode);
  SetFixedListSelection(source->FFixedListSelection);
  SetHideCursor(source->FHideCursor);
  SetHideSelection(source->FHideSelection);
  SetImmediateUpdateText(source->FImmediateUpdateText);
  SetIncrementalSearch(source->FIncrementalSearch);
  SetMRUMode(source->FMRUMode);
  SetValidChars(source->FValidChars);
  // Unsorted while copying, so the items keep the source's order.
  if (FLookupItems || source->FLookupItems) {
    TStringList* items = LookupItemList();
    items->SetSorted(false);
    if (source->FLookupItems) {
      items->Assign(source->FLookupItems);
      items->SetSorted(source->FLookupItems->GetSorted());
    } else {
      items->Clear();
    }
  }

  TcxTextEditPropertiesValues* values = GetAssignedValues();
  TcxTextEditPropertiesValues* sourceValues = source->GetAssignedValues();
  values->SetDisplayFormat(false);
  if (sourceValues->GetDisplayFormat()) SetDisplayFormat(source->FDisplayFormat);
  values->SetEditFormat(false);
  if (sourceValues->GetEditFormat()) SetEditFormat(source->FEditFormat);
  values->SetMaxLength(false);
  if (sourceValues->GetMaxLength()) SetMaxLength(source->FMaxLength);
  values->SetMaxValue(false);
  if (sourceValues->GetMaxValue()) SetMaxValue(source->FMaxValue);
  values->SetMinValue(false);
  if (sourceValues->GetMinValue()) SetMinValue(source->FMinValue);

  SetOEMConvert(source->FOEMConvert);
  SetImeMode(source->FImeMode);
  SetImeName(source->FImeName);
  SetPasswordChar(source->FPasswordChar);
  SetUseDisplayFormatWhenEditing(source->FUseDisplayFormatWhenEditing);
  OnNewLookupDisplayText = source->OnNewLookupDisplayText;
}

void TcxCustomTextEditProperties::AlignmentChangedHandler(TObject* Sender) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomEditProperties::AlignmentChangedHandler(Sender);
}

void TcxCustomTextEditProperties::BaseSetAlignment(TcxEditAlignment* Value) {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  TcxCustomEditProperties::BaseSetAlignment(Value);
}

// --- streaming -----------------------------------------------------------------

void TcxCustomTextEditProperties::DefineProperties(TFiler* Filer) {
  TcxCustomEditProperties::DefineProperties(Filer);
  // Read only: newer streams carry the mark in AssignedValues.
  Filer->DefineProperty("IsDisplayFormatAssigned",
                        TReaderProc::Bind<&TcxCustomTextEditProperties::ReadIsDisplayFormatAssigned>(this),
                        TWriterProc(), false);
}

void TcxCustomTextEditProperties::ReadIsDisplayFormatAssigned(TReader* Reader) {
  GetAssignedValues()->SetDisplayFormat(Reader->ReadBoolean());
}

// --- format controller -----------------------------------------------------------

void TcxCustomTextEditProperties::FormatChanged() {
  FFormatChanging = true;
  orv::ScopeExit lower([this] { FFormatChanging = false; });
  Changed();
}

// --- settings ------------------------------------------------------------------

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  Changed();
}

AnsiString TcxCustomTextEditProperties::GetDisplayFormat() const {
  if (GetAssignedValues()->GetDisplayFormat()) return FDisplayFormat;
  if (IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider()) {
    AnsiString format = provider->DefaultDisplayFormat();
    if (!format.empty()) return format;
  }
  return GetDefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const AnsiString& Value) {
  if (GetAssignedValues()->GetDisplayFormat() && FDisplayFormat == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetDisplayFormat(true);
  FDisplayFormat = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetEditFormat(const AnsiString& Value) {
  if (GetAssignedValues()->GetEditFormat() && FEditFormat == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetEditFormat(true);
  FEditFormat = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetEchoMode(TcxEditEchoMode Value) {
  if (FEchoMode == Value) return;
  FEchoMode = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetFixedListSelection(bool Value) {
  if (FFixedListSelection == Value) return;
  FFixedListSelection = Value;
  if (GetEditingStyle() == esFixedList) Changed();
}

void TcxCustomTextEditProperties::SetHideCursor(bool Value) {
  if (FHideCursor == Value) return;
  FHideCursor = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetImeMode(TImeMode Value) {
  if (FImeMode == Value) return;
  FImeMode = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetImeName(const AnsiString& Value) {
  if (FImeName == Value) return;
  FImeName = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetImmediateUpdateText(bool Value) {
  if (FImmediateUpdateText == Value) return;
  FImmediateUpdateText = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetIncrementalSearch(bool Value) {
  if (FIncrementalSearch == Value) return;
  FIncrementalSearch = Value;
  Changed();
}

TStrings* TcxCustomTextEditProperties::GetLookupItems() const { return LookupItemList(); }

TStringList* TcxCustomTextEditProperties::LookupItemList() const {
  if (!FLookupItems) {
    FLookupItems = New<TStringList>();
    FLookupItems->OnChange = TNotifyEvent::Bind<&TcxCustomTextEditProperties::LookupItemsChanged>(
        const_cast<TcxCustomTextEditProperties*>(this));
  }
  return FLookupItems;
}

void TcxCustomTextEditProperties::SetLookupItems(TStrings* Value) { LookupItemList()->Assign(Value); }

bool TcxCustomTextEditProperties::GetLookupItemsSorted() const { return FLookupItems && FLookupItems->GetSorted(); }

void TcxCustomTextEditProperties::SetLookupItemsSorted(bool Value) {
  if (Value || FLookupItems) LookupItemList()->SetSorted(Value);
}

void TcxCustomTextEditProperties::LookupItemsChanged(TObject*) { Changed(); }

Integer TcxCustomTextEditProperties::GetMaxLength() const {
  return GetAssignedValues()->GetMaxLength() ? FMaxLength : GetDefaultMaxLength();
}

Integer TcxCustomTextEditProperties::GetDefaultMaxLength() const {
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  return provider ? provider->DefaultMaxLength() : 0;
}

void TcxCustomTextEditProperties::SetMaxLength(Integer Value) {
  if (Value < 0) Value = 0;
  if (GetAssignedValues()->GetMaxLength() && FMaxLength == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetMaxLength(true);
  FMaxLength = Value;
  MaxLengthChanged();
}

double TcxCustomTextEditProperties::GetMaxValue() const {
  if (GetAssignedValues()->GetMaxValue()) return FMaxValue;
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  return provider ? provider->DefaultMaxValue() : 0.0;
}

void TcxCustomTextEditProperties::SetMaxValue(double Value) {
  if (GetAssignedValues()->GetMaxValue() && FMaxValue == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetMaxValue(true);
  FMaxValue = Value;
  Changed();
}

double TcxCustomTextEditProperties::GetMinValue() const {
  if (GetAssignedValues()->GetMinValue()) return FMinValue;
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  return provider ? provider->DefaultMinValue() : 0.0;
}

void TcxCustomTextEditProperties::SetMinValue(double Value) {
  if (GetAssignedValues()->GetMinValue() && FMinValue == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  GetAssignedValues()->SetMinValue(true);
  FMinValue = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetMinMaxValues(double AMinValue, double AMaxValue) {
  TcxTextEditPropertiesValues* values = GetAssignedValues();
  if (values->GetMinValue() && values->GetMaxValue() && FMinValue == AMinValue && FMaxValue == AMaxValue) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  values->SetMinValue(true);
  values->SetMaxValue(true);
  FMinValue = AMinValue;
  FMaxValue = AMaxValue;
  Changed();
}

void TcxCustomTextEditProperties::SetMRUMode(bool Value) {
  if (FMRUMode == Value) return;
  FMRUMode = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetOEMConvert(bool Value) {
  if (FOEMConvert == Value) return;
  FOEMConvert = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetPasswordChar(AnsiChar Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetUseDisplayFormatWhenEditing(bool Value) {
  if (FUseDisplayFormatWhenEditing == Value) return;
  FUseDisplayFormatWhenEditing = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetValidChars(const TcxTextEditChars& Value) {
  if (FValidChars == Value) return;
  FValidChars = Value;
  Changed();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::GetViewStyle() const {
  switch (GetButtonsViewStyle()) {
    case bvsButtonsOnly: return vsButtonsOnly;
    case bvsButtonsAutoWidth: return vsButtonsAutoWidth;
    default: return FHideCursor ? vsHideCursor : vsNormal;
  }
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle Value) {
  if (GetViewStyle() == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  switch (Value) {
    case vsButtonsOnly: SetButtonsViewStyle(bvsButtonsOnly); break;
    case vsButtonsAutoWidth: SetButtonsViewStyle(bvsButtonsAutoWidth); break;
    default: SetButtonsViewStyle(bvsNormal); break;
  }
  SetHideCursor(Value != vsNormal);
}

// --- lookup --------------------------------------------------------------------

bool TcxCustomTextEditProperties::FindLookupText(const AnsiString& AText) const {
  if (!FLookupItems) return false;
  for (Integer i = 0; i < FLookupItems->GetCount(); ++i)
    if (InternalCompareString(AText, FLookupItems->Get(i), false)) return true;
  return false;
}

bool TcxCustomTextEditProperties::CanIncrementalSearch() {
  const TcxEditEditingStyle style = GetEditingStyle();
  return (style == esEdit && FIncrementalSearch) || style == esEditList || style == esFixedList;
}

// --- display text ----------------------------------------------------------------

AnsiString TcxCustomTextEditProperties::DisplayValueToDisplayText(const AnsiString& S) {
  if (FEchoMode == eemPassword) return AnsiString(S.size(), FPasswordChar == '\0' ? '*' : FPasswordChar);
  return CheckCharsRegister(S, FCharCase);
}

bool TcxCustomTextEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool) {
  const AnsiString S = VarToStr(DisplayValue);
  const TcxEditEditingStyle style = GetEditingStyle();
  if (!S.empty() && (style == esEditList || style == esFixedList) && UseLookupData() && !FindLookupText(S))
    return false;
  DisplayValue = CheckCharsRegister(S, FCharCase);
  return true;
}

bool TcxCustomTextEditProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) {
  if (VarIsNull(EditValue) || !VarIsStr(EditValue)) return true;
  return IsDisplayValueValid(EditValue, AEditFocused);
}

Variant TcxCustomTextEditProperties::GetDefaultDisplayValue(const Variant& AEditValue, bool AEditFocused) {
  Variant value = AEditValue;
  if (IsEditValueValid(value, AEditFocused)) {
    Variant result;
    PrepareDisplayValue(value, result, AEditFocused);
    return result;
  }
  if (VarIsDate(AEditValue)) return DateTimeToStr(AEditValue.AsDateTime());
  return VarToStr(AEditValue);
}

AnsiString TcxCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool, bool AIsInplace) {
  if (IsValueEditorWithValueFormatting()) return DisplayValueToDisplayText(VarToStr(AEditValue));
  const bool focused = AIsInplace ? false : !IsEditValueConversionDependOnFocused();
  AnsiString text;
  try {
    text = VarToStr(GetDefaultDisplayValue(AEditValue, focused));
  } catch (const EConvertError&) {
    // Painting asks for display texts; a value the kind cannot read as a
    // number shows as it is rather than breaking the paint.
    text = VarToStr(AEditValue);
  }
  return DisplayValueToDisplayText(text);
}

bool TcxCustomTextEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return InternalCompareString(GetDisplayText(AEditValue1, true), GetDisplayText(AEditValue2, true), true);
}

AnsiString TcxCustomTextEditProperties::InternalGetEditFormat(bool& AIsCurrency, bool& AIsOnGetTextAssigned,
                                                              IcxEditControl* AEdit) {
  AIsCurrency = false;
  AIsOnGetTextAssigned = false;
  TcxTextEditPropertiesValues* values = GetAssignedValues();
  if (values->GetEditFormat()) return FEditFormat;
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  auto* owner = dynamic_cast<IcxContainerStyleOwner*>(AEdit);
  const bool inplaceEdit = owner && owner->IsInplace();
  if (!inplaceEdit && provider && provider->IsOnGetTextAssigned()) {
    AIsOnGetTextAssigned = true;
    return {};
  }
  if (provider) {
    AnsiString format = provider->DefaultEditFormat();
    if (!format.empty()) return format;
  }
  AnsiString result;
  if (values->GetDisplayFormat()) {
    result = GetDisplayFormat();
  } else if (provider && !provider->DefaultDisplayFormat().empty()) {
    result = provider->DefaultDisplayFormat();
  } else if (!GetDefaultDisplayFormat().empty()) {
    result = GetDefaultDisplayFormat();
  } else if (provider) {
    AIsCurrency = !GetDisplayFormatOptions().Contains(dfoNoCurrencyValue) && provider->IsCurrency();
  }
  if (!FUseDisplayFormatWhenEditing) result.clear();
  return result;
}

AnsiString TcxCustomTextEditProperties::PrepareNumericDisplayText(const Variant& AEditValue, bool AEditFocused) {
  if (!AEditFocused) {
    const AnsiString format = GetDisplayFormat();
    if (format.empty()) return VarToStr(AEditValue);
    return FormatNumber(format, AEditValue);
  }
  bool isCurrency = false, isOnGetTextAssigned = false;
  const AnsiString format = InternalGetEditFormat(isCurrency, isOnGetTextAssigned, nullptr);
  IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider();
  const int precision = provider ? provider->DefaultPrecision() : 15;
  AnsiString S;
  if (!isCurrency) {
    if (!format.empty()) return FormatNumber(format, AEditValue);
    S = VarToStr(AEditValue);
    // An integer keeps all its digits: rounded to the precision, a large
    // one would read the same after a step and the step would post nothing.
    // So does a Currency (four decimals at most): rounded, a large amount
    // would lose its cents once the text is read back.
    TBcd bcd;
    if (!VarIsOrdinal(AEditValue) && VarType(AEditValue) != varCurrency && TryStrToBcd(S, bcd))
      S = BcdToStrF(bcd, ffGeneral, precision, 0);
    if (HasDigitGrouping(false)) S = InsertThousandSeparator(S);
    return S;
  }
  S = VarToStr(AEditValue);
  TBcd bcd;
  if (TryStrToBcd(S, bcd)) S = BcdToStrF(bcd, ffFixed, precision, FormatSettings().CurrencyDecimals);
  return S;
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (!IsEditValueNumeric()) {
    DisplayValue = VarToStr(AEditValue);
    return;
  }
  if (VarIsNull(AEditValue) || VarIsEmpty(AEditValue) || (VarIsStr(AEditValue) && VarToStr(AEditValue).empty())) {
    DisplayValue = AnsiString();
    return;
  }
  if (!VarIsNumericEx(AEditValue) && !VarIsStr(AEditValue))
    throw EConvertError(cxEditResString(cxSEditNumericValueConvertError));
  DisplayValue = PrepareNumericDisplayText(AEditValue, AEditFocused);
}

// --- bounds and validation -----------------------------------------------------------

bool TcxCustomTextEditProperties::IsValueBoundDefined(TcxEditValueBound ABound) {
  if (GetMaxValue() > GetMinValue()) return true;
  TcxTextEditPropertiesValues* values = GetAssignedValues();
  if (values->GetMinValue() == values->GetMaxValue()) return false;
  return ABound == evbMin ? values->GetMinValue() : values->GetMaxValue();
}

bool TcxCustomTextEditProperties::IsValueBoundsDefined() {
  TcxTextEditPropertiesValues* values = GetAssignedValues();
  return GetMaxValue() > GetMinValue() || values->GetMinValue() != values->GetMaxValue();
}

double TcxCustomTextEditProperties::BoundOfShownText(double AValue) {
  auto shows = [this, AValue](double ABound) {
    double shown = 0;
    if (cxStrToNumber(FloatToStr(ABound), shown) && shown == AValue) return true;
    Variant display;
    PrepareDisplayValue(Variant(ABound), display, true);
    return cxStrToNumber(VarToStr(display), shown) && shown == AValue;
  };
  if (IsValueBoundDefined(evbMin) && AValue < GetMinValue() && shows(GetMinValue())) return GetMinValue();
  if (IsValueBoundDefined(evbMax) && AValue > GetMaxValue() && shows(GetMaxValue())) return GetMaxValue();
  return AValue;
}

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  if (IsEditValueNumeric() && IsValueBoundsDefined()) CheckEditorValueBounds(DisplayValue, ErrorText, Error, AEdit);
  TcxCustomEditProperties::ValidateDisplayValue(DisplayValue, ErrorText, Error, AEdit);
}

void TcxCustomTextEditProperties::CheckEditorValueBounds(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                         IcxEditControl* AEdit) {
  // The editor turns a text into its value as it does when posting:
  // "150" typed into a currency editor is the number 150, not a string.
  // A value that is no text (the date editor's parsed date) is compared
  // as it is.
  Variant value = DisplayValue;
  if (AEdit && VarIsStr(DisplayValue)) AEdit->PrepareEditValue(DisplayValue, value, AEdit->InternalFocused());
  if (!VarIsNumericEx(value) && !VarIsDate(value)) return;
  const double number = value.AsDouble();
  if ((IsValueBoundDefined(evbMin) && number < GetMinValue()) ||
      (IsValueBoundDefined(evbMax) && number > GetMaxValue())) {
    Error = true;
    ErrorText = GetValidateErrorText(cxEditValueOutOfBounds);
  }
}

TClass TcxCustomTextEditProperties::GetLookupDataClass() const { return TcxCustomTextEditLookupData::StaticClass(); }

// --- registration ------------------------------------------------------------------------

namespace {
Integer TextEditStartCount = 0;
}

void cxTextEditPropertiesInitialize() {
  if (TextEditStartCount++ > 0) return;
  GetRegisteredEditProperties()->Register(TcxTextEditProperties::StaticClass(),
                                          cxEditResString(scxSEditRepositoryTextItem));
}

void cxTextEditPropertiesFinalize() {
  if (TextEditStartCount == 0 || --TextEditStartCount > 0) return;
  GetRegisteredEditProperties()->Unregister(TcxTextEditProperties::StaticClass());
}
