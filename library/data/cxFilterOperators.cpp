#include "library/data/cxFilterOperators.h"

#include "library/data/cxDataUtils.h"
#include "library/data/cxFilter.h"
#include "library/data/cxFilterConsts.h"
#include "library/data/cxFilterDisplayTexts.h"
#include "library/data/cxLike.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/StrUtils.h"

bool cxFilterIncludeTodayInLastNextDaysList = true;

ORV_REGISTER(TcxFilterOperator)
ORV_REGISTER(TcxFilterEqualOperator)
ORV_REGISTER(TcxFilterNotEqualOperator)
ORV_REGISTER(TcxFilterLessOperator)
ORV_REGISTER(TcxFilterLessEqualOperator)
ORV_REGISTER(TcxFilterGreaterOperator)
ORV_REGISTER(TcxFilterGreaterEqualOperator)
ORV_REGISTER(TcxFilterLikeOperator)
ORV_REGISTER(TcxFilterNotLikeOperator)
ORV_REGISTER(TcxFilterBetweenOperator)
ORV_REGISTER(TcxFilterNotBetweenOperator)
ORV_REGISTER(TcxFilterInListOperator)
ORV_REGISTER(TcxFilterNotInListOperator)
ORV_REGISTER(TcxFilterNullOperator)
ORV_REGISTER(TcxFilterNotNullOperator)
ORV_REGISTER(TcxFilterDateOperator)
ORV_REGISTER(TcxFilterLastNDaysOperator)
ORV_REGISTER(TcxFilterNextNDaysOperator)
ORV_REGISTER(TcxFilterYesterdayOperator)
ORV_REGISTER(TcxFilterTodayOperator)
ORV_REGISTER(TcxFilterTomorrowOperator)
ORV_REGISTER(TcxFilterLast7DaysOperator)
ORV_REGISTER(TcxFilterLastWeekOperator)
ORV_REGISTER(TcxFilterLast14DaysOperator)
ORV_REGISTER(TcxFilterLastTwoWeeksOperator)
ORV_REGISTER(TcxFilterLast30DaysOperator)
ORV_REGISTER(TcxFilterLastMonthOperator)
ORV_REGISTER(TcxFilterLastYearOperator)
ORV_REGISTER(TcxFilterInPastOperator)
ORV_REGISTER(TcxFilterThisWeekOperator)
ORV_REGISTER(TcxFilterThisMonthOperator)
ORV_REGISTER(TcxFilterThisYearOperator)
ORV_REGISTER(TcxFilterNext7DaysOperator)
ORV_REGISTER(TcxFilterNextWeekOperator)
ORV_REGISTER(TcxFilterNext14DaysOperator)
ORV_REGISTER(TcxFilterNextTwoWeeksOperator)
ORV_REGISTER(TcxFilterNext30DaysOperator)
ORV_REGISTER(TcxFilterNextMonthOperator)
ORV_REGISTER(TcxFilterNextYearOperator)
ORV_REGISTER(TcxFilterInFutureOperator)

namespace {

// The elements of a one-dimensional array value, from its low bound.
std::vector<Variant> Elements(const Variant& AValue) {
  const Integer low = VarArrayLowBound(AValue, 1), high = VarArrayHighBound(AValue, 1);
  std::vector<Variant> out;
  for (Integer i = low; i <= high; ++i) out.push_back(AValue[i]);
  return out;
}

std::vector<AnsiString> SplitSemicolons(const AnsiString& AText) {
  std::vector<AnsiString> parts;
  size_t start = 0;
  for (;;) {
    size_t pos = AText.find(';', start);
    parts.push_back(Trim(AText.substr(start, pos == AnsiString::npos ? AnsiString::npos : pos - start)));
    if (pos == AnsiString::npos) break;
    start = pos + 1;
  }
  return parts;
}

AnsiString Join(const std::vector<AnsiString>& AParts, const AnsiString& ASeparator) {
  AnsiString out;
  for (size_t i = 0; i < AParts.size(); ++i) {
    if (i) out += ASeparator;
    out += AParts[i];
  }
  return out;
}

cxLike::TcxFilterLikeOperator LikeShape(TcxFilterOperator* AOperator) {
  TcxFilterCriteria* criteria = AOperator->GetCriteria();
  AnsiString pattern = VarToStr(AOperator->GetCriteriaItem()->GetValue());
  return LikeOperatorByPattern(pattern, criteria ? criteria->GetPercentWildcard() : '%');
}

bool HasOption(const TcxFilterOperator* AOperator, TcxFilterCriteriaOption AOption) {
  TcxFilterCriteria* criteria = AOperator->GetCriteria();
  return criteria && criteria->GetOptions().Contains(AOption);
}

TDateTime FirstOfMonth(int AYear, int AMonth) {
  while (AMonth < 1) {
    AMonth += 12;
    --AYear;
  }
  while (AMonth > 12) {
    AMonth -= 12;
    ++AYear;
  }
  return EncodeDate(static_cast<Word>(AYear), static_cast<Word>(AMonth), 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// Base

TcxFilterCriteria* TcxFilterOperator::GetCriteria() const {
  return FCriteriaItem ? FCriteriaItem->GetCriteria() : nullptr;
}

AnsiString TcxFilterOperator::ExpressionFieldName() const {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->GetItemExpressionFieldName(FCriteriaItem, false) : AnsiString();
}

AnsiString TcxFilterOperator::GetExpressionValue(const Variant& AValue) {
  AnsiString text;
  TcxFilterCriteria* criteria = GetCriteria();
  if (!PrepareExpressionValue(AValue, text)) {
    switch (VarType(AValue)) {
      case varString:
      case varOleStr:
        text = QuotedStr(VarToStr(AValue));
        break;
      case varDate:
        text = "'" + (criteria ? criteria->ConvertDateToStr(AValue) : VarToStr(AValue)) + "'";
        break;
      case varBoolean:
        text = criteria ? criteria->ConvertBoolToStr(AValue) : VarToStr(AValue);
        break;
      case varNull:
        text = "NULL";
        break;
      default:
        text = VarToStr(AValue);
        break;
    }
  }
  if (criteria) criteria->FormatFilterTextValue(FCriteriaItem, AValue, text);
  return text;
}

// ---------------------------------------------------------------------------
// Comparisons

bool TcxFilterEqualOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return VarCompare(AValue1, AValue2) == 0;
}
AnsiString TcxFilterEqualOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorEqual); }
bool TcxFilterEqualOperator::IsExpression() { return VarIsArray(GetCriteriaItem()->GetValue()); }
AnsiString TcxFilterEqualOperator::GetExpressionFilterText(const Variant& AValue) {
  if (!VarIsArray(AValue)) return TcxFilterOperator::GetExpressionFilterText(AValue);
  // A key of several fields: "name1;name2" paired with the array's elements.
  std::vector<AnsiString> names = SplitSemicolons(ExpressionFieldName());
  std::vector<Variant> values = Elements(AValue);
  std::vector<AnsiString> parts;
  for (size_t i = 0; i < values.size(); ++i)
    parts.push_back("(" + (i < names.size() ? names[i] : AnsiString()) + " = " + GetExpressionValue(values[i]) + ")");
  return Join(parts, " AND ");
}

bool TcxFilterNotEqualOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return !TcxFilterEqualOperator::CompareValues(AValue1, AValue2);
}
AnsiString TcxFilterNotEqualOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorNotEqual); }
AnsiString TcxFilterNotEqualOperator::GetExpressionFilterText(const Variant& AValue) {
  if (!VarIsArray(AValue)) return TcxFilterOperator::GetExpressionFilterText(AValue);
  return "NOT (" + TcxFilterEqualOperator::GetExpressionFilterText(AValue) + ")";
}

bool TcxFilterLessOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return VarCompare(AValue1, AValue2) < 0;
}
AnsiString TcxFilterLessOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorLess); }
bool TcxFilterLessEqualOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return VarCompare(AValue1, AValue2) < 1;
}
AnsiString TcxFilterLessEqualOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorLessEqual); }
bool TcxFilterGreaterOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return VarCompare(AValue1, AValue2) > 0;
}
AnsiString TcxFilterGreaterOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorGreater); }
bool TcxFilterGreaterEqualOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return VarCompare(AValue1, AValue2) >= 0;
}
AnsiString TcxFilterGreaterEqualOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorGreaterEqual); }

// ---------------------------------------------------------------------------
// LIKE

bool TcxFilterLikeOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  TcxFilterCriteria* criteria = GetCriteria();
  const char percent = criteria ? criteria->GetPercentWildcard() : '%';
  const char underscore = criteria ? criteria->GetUnderscoreWildcard() : '_';
  // Plain 8-bit values are matched in place; everything else goes to text.
  if (VarType(AValue1) == varString && VarType(AValue2) == varString)
    return LikeStr(AValue1.RawAnsi(), AValue2.RawAnsi(), percent, underscore);
  return LikeStr(VarToStr(AValue1), VarToStr(AValue2), percent, underscore);
}
AnsiString TcxFilterLikeOperator::DisplayText() {
  switch (LikeShape(this)) {
    case floBeginsWith: return cxSFilterString(cxSFilterOperatorBeginsWith);
    case floEndsWith: return cxSFilterString(cxSFilterOperatorEndsWith);
    case floContains: return cxSFilterString(cxSFilterOperatorContains);
    default: return cxSFilterString(cxSFilterOperatorLike);
  }
}
void TcxFilterLikeOperator::PrepareDisplayValue(AnsiString& ADisplayValue) {
  if (!HasOption(this, fcoShowOperatorDescription)) return;
  TcxFilterCriteria* criteria = GetCriteria();
  LikeOperatorByPattern(ADisplayValue, criteria ? criteria->GetPercentWildcard() : '%');
}

bool TcxFilterNotLikeOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return !TcxFilterLikeOperator::CompareValues(AValue1, AValue2);
}
AnsiString TcxFilterNotLikeOperator::DisplayText() {
  switch (LikeShape(this)) {
    case floBeginsWith: return cxSFilterString(cxSFilterOperatorDoesNotBeginWith);
    case floEndsWith: return cxSFilterString(cxSFilterOperatorDoesNotEndWith);
    case floContains: return cxSFilterString(cxSFilterOperatorDoesNotContain);
    default: return cxSFilterString(cxSFilterOperatorNotLike);
  }
}
bool TcxFilterNotLikeOperator::IsExpression() { return GetCriteria() && GetCriteria()->GetTranslateNotLike(); }
AnsiString TcxFilterNotLikeOperator::GetExpressionFilterText(const Variant& AValue) {
  return " NOT (" + ExpressionFieldName() + " LIKE " + GetExpressionValue(AValue) + ")";
}

// ---------------------------------------------------------------------------
// BETWEEN

bool TcxFilterBetweenOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  const Integer low = VarArrayLowBound(AValue2, 1);
  return VarCompare(AValue2[low], AValue1) <= 0 && VarCompare(AValue1, AValue2[low + 1]) <= 0;
}
AnsiString TcxFilterBetweenOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorBetween); }
bool TcxFilterBetweenOperator::IsExpression() { return GetCriteria() && GetCriteria()->GetTranslateBetween(); }
AnsiString TcxFilterBetweenOperator::GetExpressionValue(const Variant& AValue) {
  if (!VarIsArray(AValue)) return TcxFilterOperator::GetExpressionValue(AValue);
  const Integer low = VarArrayLowBound(AValue, 1);
  return TcxFilterOperator::GetExpressionValue(AValue[low]) + " AND " +
         TcxFilterOperator::GetExpressionValue(AValue[low + 1]);
}
AnsiString TcxFilterBetweenOperator::GetExpressionFilterText(const Variant& AValue) {
  const Integer low = VarArrayLowBound(AValue, 1);
  const AnsiString field = ExpressionFieldName();
  return "(" + field + " >= " + TcxFilterOperator::GetExpressionValue(AValue[low]) + ") AND (" + field +
         " <= " + TcxFilterOperator::GetExpressionValue(AValue[low + 1]) + ")";
}
void TcxFilterBetweenOperator::PrepareDisplayValue(AnsiString& ADisplayValue) {
  const size_t pos = ADisplayValue.find(';');
  AnsiString a = Trim(ADisplayValue.substr(0, pos));
  AnsiString b = pos == AnsiString::npos ? AnsiString() : Trim(ADisplayValue.substr(pos + 1));
  const Variant& value = GetCriteriaItem()->GetValue();
  if (VarIsArray(value) && VarArrayHighBound(value, 1) - VarArrayLowBound(value, 1) >= 1) {
    const std::vector<AnsiString> texts = cxFilterDisplayTexts(ADisplayValue, value);
    if (texts.size() == 2) {
      a = texts[0];
      b = texts[1];
    }
    const Integer low = VarArrayLowBound(value, 1);
    if (VarIsNull(value[low])) a = cxSFilterString(cxSFilterBlankCaption);
    if (VarIsNull(value[low + 1])) b = cxSFilterString(cxSFilterBlankCaption);
  }
  ADisplayValue = a + " " + cxSFilterString(cxSFilterAndCaption) + " " + b;
}

bool TcxFilterNotBetweenOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return !TcxFilterBetweenOperator::CompareValues(AValue1, AValue2);
}
AnsiString TcxFilterNotBetweenOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorNotBetween); }
AnsiString TcxFilterNotBetweenOperator::GetExpressionFilterText(const Variant& AValue) {
  return "NOT (" + TcxFilterBetweenOperator::GetExpressionFilterText(AValue) + ")";
}

// ---------------------------------------------------------------------------
// IN

bool TcxFilterInListOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  const Integer low = VarArrayLowBound(AValue2, 1), high = VarArrayHighBound(AValue2, 1);
  for (Integer i = low; i <= high; ++i)
    if (AValue2[i] == AValue1) return true;
  return false;
}
AnsiString TcxFilterInListOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorInList); }
bool TcxFilterInListOperator::IsExpression() { return GetCriteria() && GetCriteria()->GetTranslateIn(); }
AnsiString TcxFilterInListOperator::GetExpressionValue(const Variant& AValue) {
  if (!VarIsArray(AValue)) return TcxFilterOperator::GetExpressionValue(AValue);
  std::vector<AnsiString> parts;
  for (const Variant& v : Elements(AValue)) parts.push_back(TcxFilterOperator::GetExpressionValue(v));
  return "(" + Join(parts, ", ") + ")";
}
AnsiString TcxFilterInListOperator::GetExpressionFilterText(const Variant& AValue) {
  const AnsiString field = ExpressionFieldName();
  std::vector<AnsiString> parts;
  for (const Variant& v : Elements(AValue)) parts.push_back("(" + field + " = " + TcxFilterOperator::GetExpressionValue(v) + ")");
  return Join(parts, " OR ");
}
void TcxFilterInListOperator::PrepareDisplayValue(AnsiString& ADisplayValue) {
  ADisplayValue = "(" + Join(cxFilterDisplayTexts(ADisplayValue, GetCriteriaItem()->GetValue()), ", ") + ")";
}

bool TcxFilterNotInListOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return !TcxFilterInListOperator::CompareValues(AValue1, AValue2);
}
AnsiString TcxFilterNotInListOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorNotInList); }
AnsiString TcxFilterNotInListOperator::GetExpressionFilterText(const Variant& AValue) {
  return "NOT (" + TcxFilterInListOperator::GetExpressionFilterText(AValue) + ")";
}

// ---------------------------------------------------------------------------
// Null

bool TcxFilterNullOperator::CompareValues(const Variant& AValue1, const Variant&) {
  TcxFilterCriteria* criteria = GetCriteria();
  return criteria ? criteria->ValueIsNull(AValue1) : VarIsNull(AValue1);
}
AnsiString TcxFilterNullOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorIsNull); }
void TcxFilterNullOperator::PrepareDisplayValue(AnsiString& ADisplayValue) {
  if (HasOption(this, fcoShowOperatorDescription)) ADisplayValue.clear();
}
bool TcxFilterNotNullOperator::CompareValues(const Variant& AValue1, const Variant& AValue2) {
  return !TcxFilterNullOperator::CompareValues(AValue1, AValue2);
}
AnsiString TcxFilterNotNullOperator::DisplayText() { return cxSFilterString(cxSFilterOperatorIsNotNull); }

// ---------------------------------------------------------------------------
// Dates

void cxFilterDateRange(TcxFilterOperatorKind AKind, TDateTime AToday, TDateTime& AStart, TDateTime& AEnd) {
  const double t = DateOf(AToday).Value;
  Word y, m, d;
  DecodeDate(TDateTime(t), y, m, d);
  const double week = GetStartDateOfWeek(TDateTime(t)).Value;
  const bool withToday = cxFilterIncludeTodayInLastNextDaysList;
  double s = 0, e = 0;
  auto lastN = [&](int n) { e = withToday ? t + 1 : t; s = e - n; };
  auto nextN = [&](int n) { s = withToday ? t : t + 1; e = s + n; };
  switch (AKind) {
    case foYesterday: s = t - 1; e = t; break;
    case foToday: s = t; e = t + 1; break;
    case foTomorrow: s = t + 1; e = t + 2; break;
    case foLast7Days: lastN(7); break;
    case foLast14Days: lastN(14); break;
    case foLast30Days: lastN(30); break;
    case foLastWeek: s = week - 7; e = s + 7; break;
    case foLastTwoWeeks: s = week - 14; e = s + 14; break;
    case foLastMonth: s = FirstOfMonth(y, m - 1); e = FirstOfMonth(y, m); break;
    case foLastYear: s = FirstOfMonth(y - 1, 1); e = FirstOfMonth(y, 1); break;
    case foInPast: s = 0; e = t; break;
    case foThisWeek: s = week; e = week + 7; break;
    case foThisMonth: s = FirstOfMonth(y, m); e = FirstOfMonth(y, m + 1); break;
    case foThisYear: s = FirstOfMonth(y, 1); e = FirstOfMonth(y + 1, 1); break;
    case foNext7Days: nextN(7); break;
    case foNext14Days: nextN(14); break;
    case foNext30Days: nextN(30); break;
    case foNextWeek: s = week + 7; e = s + 7; break;
    case foNextTwoWeeks: s = week + 7; e = s + 14; break;
    case foNextMonth: s = FirstOfMonth(y, m + 1); e = FirstOfMonth(y, m + 2); break;
    case foNextYear: s = FirstOfMonth(y + 1, 1); e = FirstOfMonth(y + 2, 1); break;
    case foInFuture: s = t + 1; e = 0; break;
    default: break;
  }
  AStart = TDateTime(s);
  AEnd = TDateTime(e);
}

void TcxFilterDateOperator::Prepare() { cxFilterDateRange(Kind(), Date(), FStart, FEnd); }

bool TcxFilterDateOperator::CompareValues(const Variant& AValue1, const Variant&) {
  TcxFilterCriteria* criteria = GetCriteria();
  if (criteria ? criteria->ValueIsNull(AValue1) : VarIsNull(AValue1)) return false;
  const double v = AValue1.AsDateTime().Value;
  return (FStart.Value == 0 || v >= FStart.Value) && (FEnd.Value == 0 || v < FEnd.Value);
}

AnsiString TcxFilterDateOperator::DisplayText() {
  static const TResStringRec* const captions[] = {
      &cxSFilterOperatorYesterday, &cxSFilterOperatorToday,        &cxSFilterOperatorTomorrow,
      &cxSFilterOperatorLast7Days, &cxSFilterOperatorLastWeek,     &cxSFilterOperatorLast14Days,
      &cxSFilterOperatorLastTwoWeeks, &cxSFilterOperatorLast30Days, &cxSFilterOperatorLastMonth,
      &cxSFilterOperatorLastYear,  &cxSFilterOperatorPast,         &cxSFilterOperatorThisWeek,
      &cxSFilterOperatorThisMonth, &cxSFilterOperatorThisYear,     &cxSFilterOperatorNext7Days,
      &cxSFilterOperatorNextWeek,  &cxSFilterOperatorNext14Days,   &cxSFilterOperatorNextTwoWeeks,
      &cxSFilterOperatorNext30Days, &cxSFilterOperatorNextMonth,   &cxSFilterOperatorNextYear,
      &cxSFilterOperatorFuture};
  return cxSFilterString(*captions[Kind() - foYesterday]);
}

AnsiString TcxFilterDateOperator::GetExpressionFilterText(const Variant&) {
  const AnsiString field = ExpressionFieldName();
  AnsiString text;
  if (FStart.Value != 0) text = "(" + field + " >= " + GetExpressionValue(Variant(FStart)) + ")";
  if (FEnd.Value != 0) {
    if (!text.empty()) text += " AND ";
    text += "(" + field + " < " + GetExpressionValue(Variant(FEnd)) + ")";
  }
  return text;
}

TcxFilterOperatorClass cxFilterOperatorClassOf(TcxFilterOperatorKind AKind) {
  static const TClass classes[] = {
      TcxFilterEqualOperator::StaticClass(),        TcxFilterNotEqualOperator::StaticClass(),
      TcxFilterLessOperator::StaticClass(),         TcxFilterLessEqualOperator::StaticClass(),
      TcxFilterGreaterOperator::StaticClass(),      TcxFilterGreaterEqualOperator::StaticClass(),
      TcxFilterLikeOperator::StaticClass(),         TcxFilterNotLikeOperator::StaticClass(),
      TcxFilterBetweenOperator::StaticClass(),      TcxFilterNotBetweenOperator::StaticClass(),
      TcxFilterInListOperator::StaticClass(),       TcxFilterNotInListOperator::StaticClass(),
      TcxFilterYesterdayOperator::StaticClass(),    TcxFilterTodayOperator::StaticClass(),
      TcxFilterTomorrowOperator::StaticClass(),     TcxFilterLast7DaysOperator::StaticClass(),
      TcxFilterLastWeekOperator::StaticClass(),     TcxFilterLast14DaysOperator::StaticClass(),
      TcxFilterLastTwoWeeksOperator::StaticClass(), TcxFilterLast30DaysOperator::StaticClass(),
      TcxFilterLastMonthOperator::StaticClass(),    TcxFilterLastYearOperator::StaticClass(),
      TcxFilterInPastOperator::StaticClass(),       TcxFilterThisWeekOperator::StaticClass(),
      TcxFilterThisMonthOperator::StaticClass(),    TcxFilterThisYearOperator::StaticClass(),
      TcxFilterNext7DaysOperator::StaticClass(),    TcxFilterNextWeekOperator::StaticClass(),
      TcxFilterNext14DaysOperator::StaticClass(),   TcxFilterNextTwoWeeksOperator::StaticClass(),
      TcxFilterNext30DaysOperator::StaticClass(),   TcxFilterNextMonthOperator::StaticClass(),
      TcxFilterNextYearOperator::StaticClass(),     TcxFilterInFutureOperator::StaticClass()};
  static_assert(sizeof classes / sizeof classes[0] == cxFilterOperatorKindCount);
  if (AKind < 0 || AKind >= cxFilterOperatorKindCount) throw EInvalidOperation("Invalid filter operator kind");
  return TcxFilterOperatorClass(classes[AKind]);
}
