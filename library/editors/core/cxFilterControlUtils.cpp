#include "library/editors/core/cxFilterControlUtils.h"

#include <iterator>
#include <map>

#include "library/data/cxFilterConsts.h"
#include "library/editors/core/cxCustomEdit.h"
#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxEditProperties.h"
#include "library/editors/core/cxInplaceEditList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Screen.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomFilterEditHelper)
ORV_REGISTER(TcxFilterEditsController)
ORV_REGISTER(EcxFilterControlError)

namespace {

struct OperatorEntry {
  TcxFilterOperatorKind Kind;
  const TResStringRec* Text;
};

// One row per builder operator, in the order of the enumeration.
const OperatorEntry OperatorTable[] = {
    {foEqual, nullptr},                                  // fcoNone
    {foEqual, &cxSFilterOperatorEqual},                  // fcoEqual
    {foNotEqual, &cxSFilterOperatorNotEqual},            // fcoNotEqual
    {foLess, &cxSFilterOperatorLess},                    // fcoLess
    {foLessEqual, &cxSFilterOperatorLessEqual},          // fcoLessEqual
    {foGreater, &cxSFilterOperatorGreater},              // fcoGreater
    {foGreaterEqual, &cxSFilterOperatorGreaterEqual},    // fcoGreaterEqual
    {foLike, &cxSFilterOperatorLike},                    // fcoLike
    {foNotLike, &cxSFilterOperatorNotLike},              // fcoNotLike
    {foEqual, &cxSFilterOperatorIsNull},                 // fcoBlanks
    {foNotEqual, &cxSFilterOperatorIsNotNull},           // fcoNonBlanks
    {foBetween, &cxSFilterOperatorBetween},              // fcoBetween
    {foNotBetween, &cxSFilterOperatorNotBetween},        // fcoNotBetween
    {foInList, &cxSFilterOperatorInList},                // fcoInList
    {foNotInList, &cxSFilterOperatorNotInList},          // fcoNotInList
    {foYesterday, &cxSFilterOperatorYesterday},          // fcoYesterday
    {foToday, &cxSFilterOperatorToday},                  // fcoToday
    {foTomorrow, &cxSFilterOperatorTomorrow},            // fcoTomorrow
    {foLast7Days, &cxSFilterOperatorLast7Days},          // fcoLast7Days
    {foLastWeek, &cxSFilterOperatorLastWeek},            // fcoLastWeek
    {foLast14Days, &cxSFilterOperatorLast14Days},        // fcoLast14Days
    {foLastTwoWeeks, &cxSFilterOperatorLastTwoWeeks},    // fcoLastTwoWeeks
    {foLast30Days, &cxSFilterOperatorLast30Days},        // fcoLast30Days
    {foLastMonth, &cxSFilterOperatorLastMonth},          // fcoLastMonth
    {foLastYear, &cxSFilterOperatorLastYear},            // fcoLastYear
    {foInPast, &cxSFilterOperatorPast},                  // fcoInPast
    {foThisWeek, &cxSFilterOperatorThisWeek},            // fcoThisWeek
    {foThisMonth, &cxSFilterOperatorThisMonth},          // fcoThisMonth
    {foThisYear, &cxSFilterOperatorThisYear},            // fcoThisYear
    {foNext7Days, &cxSFilterOperatorNext7Days},          // fcoNext7Days
    {foNextWeek, &cxSFilterOperatorNextWeek},            // fcoNextWeek
    {foNext14Days, &cxSFilterOperatorNext14Days},        // fcoNext14Days
    {foNextTwoWeeks, &cxSFilterOperatorNextTwoWeeks},    // fcoNextTwoWeeks
    {foNext30Days, &cxSFilterOperatorNext30Days},        // fcoNext30Days
    {foNextMonth, &cxSFilterOperatorNextMonth},          // fcoNextMonth
    {foNextYear, &cxSFilterOperatorNextYear},            // fcoNextYear
    {foInFuture, &cxSFilterOperatorFuture},              // fcoInFuture
};
static_assert(std::size(OperatorTable) == fcoInFuture + 1);

bool IsOperator(TcxFilterControlOperator AOperator) {
  return AOperator >= fcoNone && AOperator <= fcoInFuture;
}

TcxFilterControlOperators OperatorRange(TcxFilterControlOperator AFirst, TcxFilterControlOperator ALast) {
  TcxFilterControlOperators result;
  for (int op = AFirst; op <= ALast; ++op) result.Include(static_cast<TcxFilterControlOperator>(op));
  return result;
}

TcxFilterEditsController* TheFilterEditsController = nullptr;

}  // namespace

// The properties class an editor class makes for itself. Only an editor
// answers that, so the first question per class builds one; classes never
// change, so the answer is kept.
TClass cxEditPropertiesClassOf(TClass AEditClass) {
  static std::map<TClass, TClass> known;
  auto found = known.find(AEditClass);
  if (found != known.end()) return found->second;
  TcxCustomEdit* edit = TcxCustomEditClass(AEditClass).Create(nullptr);
  TClass result = edit->GetPropertiesClass();
  edit->Free();
  known.emplace(AEditClass, result);
  return result;
}

// ---------------------------------------------------------------------------
// TcxCustomFilterEditHelper

void TcxCustomFilterEditHelper::ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const {
  if (!AProperties) return;
  AProperties->OnButtonClick = nullptr;
  AProperties->OnChange = nullptr;
  AProperties->OnEditValueChanged = nullptr;
  AProperties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::InitializeEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties) const {
  InitializeProperties(AEdit->GetActiveProperties(), AEditProperties, EditPropertiesHasButtons());
}

bool TcxCustomFilterEditHelper::IsIDefaultValuesProviderNeeded(TcxCustomEditProperties*) const { return true; }

void TcxCustomFilterEditHelper::GetFilterValue(TcxCustomEdit* AEdit, TcxCustomEditProperties* AEditProperties,
                                               Variant& V, AnsiString& S) const {
  V = AEdit->GetEditValue();
  S = AEditProperties->GetDisplayText(V, false, true);
}

TcxFilterControlOperators TcxCustomFilterEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                 TcxValueTypeClass AValueTypeClass,
                                                                                 bool AExtendedSet) const {
  TcxFilterControlOperators result = cxFilterOrderedValueOperators(AExtendedSet);
  if (AValueTypeClass && AValueTypeClass->IsString()) result += TcxFilterControlOperators{fcoLike, fcoNotLike};
  return result;
}

TcxFilterControlOperators cxFilterOrderedValueOperators(bool AExtendedSet) {
  return OperatorRange(fcoEqual, AExtendedSet ? fcoNotInList : fcoNonBlanks) -
         TcxFilterControlOperators{fcoLike, fcoNotLike};
}

void TcxCustomFilterEditHelper::InitializeProperties(TcxCustomEditProperties* AProperties,
                                                     TcxCustomEditProperties* AEditProperties,
                                                     bool AHasButtons) const {
  // The editor hears of the whole preparation once.
  AProperties->BeginUpdate();
  orv::ScopeExit end([AProperties] { AProperties->EndUpdate(); });
  AProperties->Assign(AEditProperties);
  AProperties->GetAlignment()->SetHorz(taLeftJustify);
  AProperties->GetAlignment()->SetVert(taTopJustify);
  AProperties->SetBeepOnError(false);
  if (!AHasButtons) AProperties->GetButtons()->Clear();
  AProperties->SetReadOnly(false);
  AProperties->SetValidateOnEnter(true);
  if (!IsIDefaultValuesProviderNeeded(AEditProperties)) AProperties->SetIDefaultValuesProvider(nullptr);
  ClearPropertiesEvents(AProperties);
}

bool TcxCustomFilterEditHelper::IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const {
  return AValueTypeClass->IsValueValid(AValue);
}

void TcxCustomFilterEditHelper::SetFilterValue(TcxCustomEdit*, TcxCustomEditProperties*, const Variant&) const {}

TcxCustomEdit* TcxCustomFilterEditHelper::GetFilterEdit(TcxCustomEditProperties* AEditProperties,
                                                        TcxInplaceEditList* AInplaceEditList) const {
  TClass editClass = GetFilterEditClass();
  if (!editClass) return nullptr;
  if (AInplaceEditList) {
    TcxCustomEdit* edit = AInplaceEditList->GetEdit(cxEditPropertiesClassOf(editClass));
    if (edit) InitializeEdit(edit, AEditProperties);
    return edit;
  }
  TcxCustomEdit* edit = TcxCustomEditClass(editClass).Create(nullptr);
  // Nobody else knows of the new editor yet.
  try {
    InitializeEdit(edit, AEditProperties);
  } catch (...) {
    edit->Free();
    throw;
  }
  return edit;
}

// ---------------------------------------------------------------------------
// TcxFilterEditsController

void TcxFilterEditsController::Register(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelperClass) {
  TClass key = GetItemClass(APropertiesClass);
  if (key && AHelperClass) inherited::Register(key, AHelperClass);
}

void TcxFilterEditsController::Unregister(TClass APropertiesClass, TcxCustomFilterEditHelperClass AHelperClass) {
  inherited::Unregister(GetItemClass(APropertiesClass), AHelperClass);
  if (GetCount() == 0 && TheFilterEditsController == this) {
    TheFilterEditsController = nullptr;
    Free();
  }
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(TClass APropertiesClass) const {
  TClass key = GetItemClass(APropertiesClass);
  return key ? TcxCustomFilterEditHelperClass(FindClass(key)) : nullptr;
}

TcxFilterEditsController* FilterEditsController() {
  if (!TheFilterEditsController) TheFilterEditsController = New<TcxFilterEditsController>();
  return TheFilterEditsController;
}

// ---------------------------------------------------------------------------
// Operators

TcxFilterOperatorKind GetFilterOperatorKind(TcxFilterControlOperator AOperator) {
  return IsOperator(AOperator) ? OperatorTable[AOperator].Kind : foEqual;
}

TcxFilterControlOperator GetFilterControlOperator(TcxFilterOperatorKind AKind, bool AValueIsNull) {
  if (AValueIsNull && AKind == foEqual) return fcoBlanks;
  if (AValueIsNull && AKind == foNotEqual) return fcoNonBlanks;
  for (int op = fcoEqual; op <= fcoInFuture; ++op)
    if (op != fcoBlanks && op != fcoNonBlanks && OperatorTable[op].Kind == AKind)
      return static_cast<TcxFilterControlOperator>(op);
  return fcoNone;
}

AnsiString GetFilterControlOperatorText(TcxFilterControlOperator AOperator) {
  if (!IsOperator(AOperator) || !OperatorTable[AOperator].Text) return {};
  // The data layer owns these texts; registering them is its business.
  cxFilterConsts_Initialize();
  return cxGetResourceString(*OperatorTable[AOperator].Text);
}

// ---------------------------------------------------------------------------
// Values, errors and dialogs

void FilterControlValidateValue(TcxCustomEdit* AEdit, Variant& AValue, TcxFilterControlOperator AOperator,
                                TcxValueTypeClass AValueTypeClass, TcxCustomFilterEditHelperClass AHelper) {
  if (!AValueTypeClass) return;
  if (VarIsStr(AValue) && VarToStr(AValue).empty() && !AValueTypeClass->IsString()) AValue = Null();
  if (VarIsNull(AValue) || AOperator == fcoLike || AOperator == fcoNotLike) return;
  if (!AHelper) AHelper = TcxCustomFilterEditHelper::StaticClass();
  bool valid;
  try {
    valid = AHelper->IsValueValid(AValueTypeClass, AValue);
  } catch (...) {
    valid = false;
  }
  if (valid) return;
  if (AEdit) {
    AEdit->SetModified(true);
    if (AEdit->CanFocus()) AEdit->SetFocus();
  }
  FilterControlError(cxEditResString(cxSFilterDialogInvalidValue));
}


void FilterControlError(const AnsiString& AMessage) { throw EcxFilterControlError(AMessage); }

void CorrectDlgParams(TCreateParams& Params) {
  if (!Screen) return;
  for (Integer i = 0; i < Screen->GetFormCount(); ++i)
    if (Screen->GetForms(i)->GetFormStyle() == fsStayOnTop) return;
  if (TCustomForm* form = Screen->GetActiveForm()) Params.WndParent = form->GetHandle();
}
