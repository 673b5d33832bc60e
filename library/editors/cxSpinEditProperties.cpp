#include "library/editors/cxSpinEditProperties.h"

#include <cmath>
#include <limits>

#include "library/data/cxVariants.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/cxSpinEdit.h"
#include "platform/rtl/CurrencyMath.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxSpinEditButtons, ORV_PROP(Position).Default(sbpVert), ORV_PROP(ShowFastButtons).Default(false))
ORV_REGISTER(TcxSpinEditPropertiesValues, ORV_PROP(ValueType).Stored(false))
ORV_REGISTER(TcxCustomSpinEditProperties)
ORV_REGISTER(TcxSpinEditProperties,
             ORV_PROP(Alignment).StoredBy<&TcxCustomEditProperties::IsAlignmentStored>(),
             ORV_PROP(AssignedValues), ORV_PROP(AutoSelect).Default(true), ORV_PROP(BeepOnError).Default(false),
             ORV_PROP(CanEdit).Default(true), ORV_PROP(ClearKey).Default(0),
             ORV_PROP(DisplayFormat).StoredBy<&TcxCustomTextEditProperties::IsDisplayFormatStored>(),
             ORV_PROP(EchoMode).Default(eemNormal),
             ORV_PROP(EditFormat).StoredBy<&TcxCustomTextEditProperties::IsEditFormatStored>(),
             ORV_PROP(ExceptionOnInvalidInput).Default(false), ORV_PROP(HideSelection).Default(true),
             ORV_PROP(ImeMode).Default(imDontCare), ORV_PROP(ImeName), ORV_PROP(ImmediatePost).Default(false),
             ORV_PROP(Increment).StoredBy<&TcxCustomSpinEditProperties::IsIncrementStored>(),
             ORV_PROP(LargeIncrement).StoredBy<&TcxCustomSpinEditProperties::IsLargeIncrementStored>(),
             ORV_PROP(MaxValue).StoredBy<&TcxCustomTextEditProperties::IsMaxValueStored>(),
             ORV_PROP(MinValue).StoredBy<&TcxCustomTextEditProperties::IsMinValueStored>(),
             ORV_PROP(PasswordChar).Default('\0'),
             ORV_PROP(ReadOnly).StoredBy<&TcxCustomEditProperties::IsReadOnlyStored>(), ORV_PROP(SpinButtons),
             ORV_PROP(UseCtrlIncrement).Default(false),
             ORV_PROP(UseDisplayFormatWhenEditing).Default(false),
             ORV_PROP(UseLeftAlignmentOnEditing)
                 .StoredBy<&TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored>(),
             ORV_PROP(ValidateOnEnter).Default(true),
             ORV_PROP(ValueType).StoredBy<&TcxCustomSpinEditProperties::IsValueTypeStored>(),
             ORV_EVENT(OnChange), ORV_EVENT(OnEditValueChanged), ORV_EVENT(OnGetValue), ORV_EVENT(OnValidate))

namespace {

constexpr Int64 kInt64Min = std::numeric_limits<Int64>::min();
constexpr Int64 kInt64Max = std::numeric_limits<Int64>::max();
constexpr double kFloatLimit = 1.7e308;

// A number the spin editor can take: a Boolean is a number to the variant
// rules but reads "True" as text, which no spin editor reads.
bool IsNumber(const Variant& V) { return VarIsNumericEx(V) && VarType(V) != varBoolean; }

bool IsForward(TcxSpinEditButton AButton) { return AButton == sebForward || AButton == sebFastForward; }

// The floor remainder of A by B (B > 0): always in [0, B).
__int128 FloorMod(__int128 A, __int128 B) {
  const __int128 r = A % B;
  return r < 0 ? r + B : r;
}

long double FloorMod(long double A, long double B) {
  const long double r = std::fmod(A, B);
  return r < 0 ? r + B : r;
}

// One step of D from V between the bounds ALo and AHi, in arithmetic wide
// enough for every difference of two values of the type (128-bit integers
// for 64-bit ones, extended precision for doubles). The room below and
// above stops at the type's own limits, as the 64-bit sign test of the
// step intends; a circular step wraps over the ring of AHi - ALo + 1
// values, exactly the edges' formulas within one turn, and as often as it
// needs beyond, so that it always lands within the bounds.
template <class A>
bool Step(A V, A D, A ALo, A AHi, A ATypeMin, A ATypeMax, TcxSpinBoundsCheckingKind AKind, A& Result) {
  const A roomBelow = std::max<A>(ALo - V, ATypeMin);
  const A roomAbove = std::min<A>(AHi - V, ATypeMax);
  if (D >= roomBelow && D <= roomAbove) {
    Result = V + D;
    return true;
  }
  switch (AKind) {
    case bckDoNotExceed: return false;
    case bckExtendToBound: Result = D < roomBelow ? ALo : AHi; return true;
    case bckCircular: break;
  }
  Result = D < roomBelow ? AHi + D + 1 - (ALo - V) : ALo + D - 1 - (AHi - V);
  if (Result < ALo || Result > AHi) Result = ALo + FloorMod(V + D - ALo, AHi - ALo + 1);
  // Decimals can land between the last value of one turn and the first of
  // the next: they stop at the bound the step heads for.
  if (Result > AHi) Result = D < 0 ? AHi : ALo;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Buttons.

TPersistent* TcxSpinEditButtons::GetOwner() { return FOwner; }

void TcxSpinEditButtons::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxSpinEditButtons*>(Source);
  if (!source) {
    TPersistent::DoAssign(Source);
    return;
  }
  if (FOwner) FOwner->BeginUpdate();
  orv::ScopeExit end([this] {
    if (FOwner) FOwner->EndUpdate(true);
  });
  SetPosition(source->FPosition);
  SetShowFastButtons(source->FShowFastButtons);
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  Changed();
}

void TcxSpinEditButtons::SetShowFastButtons(bool Value) {
  if (FShowFastButtons == Value) return;
  FShowFastButtons = Value;
  Changed();
}

void TcxSpinEditButtons::Changed() {
  if (FOwner) FOwner->Changed();
}

// ---------------------------------------------------------------------------
// Assigned values.

void TcxSpinEditPropertiesValues::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxSpinEditPropertiesValues*>(Source);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::DoAssign(Source);
  if (source) SetValueType(source->FValueType);
}

void TcxSpinEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(); });
  TcxTextEditPropertiesValues::RestoreDefaults();
  SetValueType(false);
}

void TcxSpinEditPropertiesValues::SetValueType(bool Value) {
  if (FValueType == Value) return;
  FValueType = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// Properties.

void TcxCustomSpinEditProperties::AfterConstruction() {
  TcxCustomMaskEditProperties::AfterConstruction();
  FSpinButtons = New<TcxSpinEditButtons>(this);
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(false); });
  GetButtons()->Add();
  GetButtons()->Add();
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() { FreeAndNil(FSpinButtons); }

void TcxCustomSpinEditProperties::DoAssign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomSpinEditProperties*>(Source);
  if (!source) {
    TcxCustomMaskEditProperties::DoAssign(Source);
    return;
  }
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  SetIDefaultValuesProvider(source->GetIDefaultValuesProvider());
  GetAssignedValues()->SetValueType(false);
  if (source->GetAssignedValues()->GetValueType()) SetValueType(source->GetValueType());
  TcxCustomMaskEditProperties::DoAssign(Source);
  SetCanEdit(source->FCanEdit);
  SetCircular(source->FCircular);
  SetExceptionOnInvalidInput(source->FExceptionOnInvalidInput);
  SetIncrement(source->FIncrement);
  SetLargeIncrement(source->FLargeIncrement);
  SetSpinButtons(source->FSpinButtons);
  SetUseCtrlIncrement(source->FUseCtrlIncrement);
  OnGetValue = source->OnGetValue;
}

void TcxCustomSpinEditProperties::Changed() {
  if (FSpinButtons) {
    TcxEditButtons* buttons = GetButtons();
    const bool fast = FSpinButtons->GetShowFastButtons();
    const Integer count = buttons->GetCount();
    if ((fast && count == 2) || (!fast && count == 4)) {
      BeginUpdate();
      orv::ScopeExit end([this] { EndUpdate(false); });
      if (fast) {
        buttons->Add();
        buttons->Add();
      } else {
        buttons->Delete(3);
        buttons->Delete(2);
      }
    }
  }
  TcxCustomMaskEditProperties::Changed();
}

TClass TcxCustomSpinEditProperties::GetContainerClass() const { return TcxSpinEdit::StaticClass(); }

TClass TcxCustomSpinEditProperties::GetViewDataClass() const { return TcxSpinEditViewData::StaticClass(); }

TClass TcxCustomSpinEditProperties::GetViewInfoClass() const { return TcxSpinEditViewInfo::StaticClass(); }

TcxDataEditValueSource TcxCustomSpinEditProperties::GetEditValueSource(bool AEditFocused) const {
  if (AEditFocused) return evsValue;
  return GetAssignedValues()->GetDisplayFormat() ? evsValue : evsText;
}

AnsiString TcxCustomSpinEditProperties::DefaultFocusedDisplayValue() const {
  auto* self = const_cast<TcxCustomSpinEditProperties*>(this);
  Variant display;
  self->PrepareDisplayValue(self->VarToCurrentValueType(self->CheckValueBounds(Variant(0))), display, true);
  return VarToStr(display);
}

void TcxCustomSpinEditProperties::SetCanEdit(bool Value) {
  if (FCanEdit == Value) return;
  FCanEdit = Value;
  Changed();
}

void TcxCustomSpinEditProperties::SetCircular(bool Value) {
  if (FCircular == Value) return;
  FCircular = Value;
  Changed();
}

void TcxCustomSpinEditProperties::SetExceptionOnInvalidInput(bool Value) {
  if (FExceptionOnInvalidInput == Value) return;
  FExceptionOnInvalidInput = Value;
  Changed();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::GetValueType() const {
  if (GetAssignedValues()->GetValueType()) return FValueType;
  if (IcxEditDefaultValuesProvider* provider = GetIDefaultValuesProvider())
    return provider->DefaultIsFloatValue() ? vtFloat : vtInt;
  return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType Value) {
  if (GetAssignedValues()->GetValueType() && FValueType == Value) return;
  BeginUpdate();
  orv::ScopeExit end([this] { EndUpdate(true); });
  FValueType = Value;
  GetAssignedValues()->SetValueType(true);
  Changed();
}

// --- bounds ------------------------------------------------------------------

TcxSpinBoundsCheckingKind TcxCustomSpinEditProperties::GetBoundsCheckingKind() {
  if (FCircular) return bckCircular;
  return ExtendValueUpToBound() ? bckExtendToBound : bckDoNotExceed;
}

Variant TcxCustomSpinEditProperties::GetMaxMinValueForCurrentValueType(bool AMin) {
  if (GetValueType() == vtInt) return Variant(AMin ? kInt64Min : kInt64Max);
  return Variant(AMin ? -kFloatLimit : kFloatLimit);
}

bool TcxCustomSpinEditProperties::IsValueBoundsValid(Extended E) {
  // 2^63 itself is the first double past the 64-bit range.
  if (GetValueType() == vtInt) return E >= -9223372036854775808.0 && E < 9223372036854775808.0;
  return E >= -kFloatLimit && E <= kFloatLimit;
}

Variant TcxCustomSpinEditProperties::DoubleAsValueType(double D, TcxSpinEditValueType AValueType) {
  if (AValueType == vtFloat) return Variant(D);
  if (std::isnan(D)) return Variant(Int64(0));
  Int64 result;
  if (!orv::RoundHalfEven(D, result)) result = D < 0 ? kInt64Min : kInt64Max;
  return Variant(result);
}

Variant TcxCustomSpinEditProperties::InternalMinValue() {
  if (!IsValueBoundDefined(evbMin)) return GetMaxMinValueForCurrentValueType(true);
  return VarToCurrentValueType(DoubleAsValueType(GetMinValue(), GetValueType()));
}

Variant TcxCustomSpinEditProperties::InternalMaxValue() {
  if (!IsValueBoundDefined(evbMax)) return GetMaxMinValueForCurrentValueType(false);
  return VarToCurrentValueType(DoubleAsValueType(GetMaxValue(), GetValueType()));
}

Variant TcxCustomSpinEditProperties::CheckValueBounds(const Variant& V) {
  if (!IsNumber(V)) return V;
  const double value = V.AsDouble();
  if (IsValueBoundDefined(evbMin) && value < GetMinValue()) return Variant(GetMinValue());
  if (IsValueBoundDefined(evbMax) && value > GetMaxValue()) return Variant(GetMaxValue());
  return V;
}

// --- conversions -----------------------------------------------------------------

Variant TcxCustomSpinEditProperties::VarToCurrentValueType(const Variant& V) {
  if (GetValueType() == vtInt) return Variant(V.AsInt64());
  return Variant(V.AsDouble());
}

Variant TcxCustomSpinEditProperties::SetVariantType(const Variant& V) {
  return IsNumber(V) ? VarToCurrentValueType(V) : V;
}

Variant TcxCustomSpinEditProperties::PrepareValue(const Variant& V) {
  return VarToCurrentValueType(VarIsNull(V) || VarIsEmpty(V) ? Variant(0) : V);
}

bool TcxCustomSpinEditProperties::TryTextToValue(const AnsiString& AText, Variant& Value) {
  Value = Null();
  if (GetValueType() == vtInt) {
    Int64 number = 0;
    if (!TryStrToInt64(AText, number)) return false;
    Value = Variant(number);
    return true;
  }
  Extended number = 0;
  if (!TryStrToFloat(AText, number) || !IsValueBoundsValid(number)) return false;
  Value = Variant(static_cast<double>(number));
  return true;
}

// --- checks --------------------------------------------------------------------

bool TcxCustomSpinEditProperties::IsEditValueValid(Variant& EditValue, bool) {
  Variant value = EditValue;
  if (IsNumber(value)) {
    // Checked as a number: a text round trip would cut a decimal to the
    // digits its text shows.
    if (GetValueType() == vtFloat) {
      const double number = value.AsDouble();
      if (!IsValueBoundsValid(number)) return false;
      value = Variant(number);
    } else if (VarIsOrdinal(value)) {
      value = Variant(value.AsInt64());
    } else {
      const double number = value.AsDouble();
      if (!IsValueBoundsValid(number) || std::trunc(number) != number) return false;
      value = Variant(static_cast<Int64>(number));
    }
  } else if (VarIsStr(value)) {
    if (!TryTextToValue(VarToStr(value), value)) return false;
  } else if (!VarIsNull(value) && !VarIsEmpty(value) && !VarIsDate(value)) {
    return false;
  }
  // Null and empty stay: an empty cell is not a 0.
  if (VarIsNull(value) || VarIsEmpty(value)) return true;
  try {
    EditValue = SetVariantType(PrepareValue(value));
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool TcxCustomSpinEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused) {
  if (!TcxCustomMaskEditProperties::IsDisplayValueValid(DisplayValue, AEditFocused)) return false;
  const AnsiString text = VarToStr(DisplayValue);
  if (text.empty()) return true;
  Variant value;
  try {
    if (!TryTextToValue(text, value)) return false;
  } catch (const EConvertError&) {
    return false;
  }
  DisplayValue = Variant(VarToStr(value));
  return true;
}

void TcxCustomSpinEditProperties::ValidateDisplayValue(Variant& DisplayValue, AnsiString& ErrorText, bool& Error,
                                                       IcxEditControl* AEdit) {
  auto* edit = dynamic_cast<TcxCustomSpinEdit*>(AEdit);
  Variant value;
  if (edit && edit->GetIsTextTyped())
    Error = !edit->InternalPrepareEditValue(VarToStr(DisplayValue), false, value, ErrorText);
  else if (edit)
    value = edit->GetInternalValue();
  else
    Error = !TryTextToValue(VarToStr(DisplayValue), value);
  if (!Error) {
    if (VarIsNull(value) || VarIsEmpty(value)) value = VarToCurrentValueType(CheckValueBounds(Variant(0)));
    if (IsNumber(value)) {
      const Variant minValue = InternalMinValue();
      const Variant maxValue = InternalMaxValue();
      const bool below = value < minValue;
      const bool above = !below && value > maxValue;
      if (!FExceptionOnInvalidInput) {
        if (below) value = minValue;
        if (above) value = maxValue;
      } else if (below || above) {
        Error = true;
        ErrorText = cxEditResString(cxSEditValueOutOfBounds);
      }
    }
    if (!Error) DisplayValue = Variant(VarToStr(value));
  }
  bool userChanged = false;
  DoValidate(DisplayValue, ErrorText, Error, AEdit, userChanged);
}

// --- the step ------------------------------------------------------------------

bool TcxCustomSpinEditProperties::CalculateStep(const Variant& AValue, TcxSpinEditButton AButton,
                                                const Variant& AIncrement, Variant& Result) {
  const Variant minValue = InternalMinValue();
  const Variant maxValue = InternalMaxValue();
  const TcxSpinBoundsCheckingKind kind = GetBoundsCheckingKind();
  const bool forward = IsForward(AButton);
  const Variant value = VarToCurrentValueType(AValue);
  if (value < minValue) {
    if (forward) Result = minValue;
    else if (kind == bckCircular) Result = maxValue;
    else return false;
    return true;
  }
  if (value > maxValue) {
    if (!forward) Result = maxValue;
    else if (kind == bckCircular) Result = minValue;
    else return false;
    return true;
  }

  if (GetValueType() == vtInt) {
    __int128 r = 0;
    if (!Step<__int128>(value.AsInt64(), AIncrement.AsInt64(), minValue.AsInt64(), maxValue.AsInt64(), kInt64Min,
                        kInt64Max, kind, r))
      return false;
    Result = Variant(static_cast<Int64>(r));
    return true;
  }
  const double d = AIncrement.AsDouble();
  if (!std::isfinite(d)) return false;
  long double r = 0;
  if (!Step<long double>(value.AsDouble(), d, minValue.AsDouble(), maxValue.AsDouble(), -kFloatLimit, kFloatLimit,
                         kind, r))
    return false;
  Result = Variant(static_cast<double>(r));
  return true;
}
