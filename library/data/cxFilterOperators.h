// Filter operators: every condition of a filter owns one, made from the
// condition's operator kind. An operator decides whether a record's value
// passes, names itself for the user, gives its expression symbol and
// renders the condition's value as expression text.
#pragma once

#include "library/data/cxVariants.h"
#include "platform/rtl/TypeInfo.h"

class TcxFilterCriteria;
class TcxFilterCriteriaItem;

ORV_ENUM(TcxFilterOperatorKind, foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike,
         foNotLike, foBetween, foNotBetween, foInList, foNotInList, foYesterday, foToday, foTomorrow, foLast7Days,
         foLastWeek, foLast14Days, foLastTwoWeeks, foLast30Days, foLastMonth, foLastYear, foInPast, foThisWeek,
         foThisMonth, foThisYear, foNext7Days, foNextWeek, foNext14Days, foNextTwoWeeks, foNext30Days,
         foNextMonth, foNextYear, foInFuture)

constexpr int cxFilterOperatorKindCount = foInFuture + 1;

// Whether the last-N-days and next-N-days ranges include today.
extern bool cxFilterIncludeTodayInLastNextDaysList;

class TcxFilterOperator : public TObject {
  ORV_CLASS(TcxFilterOperator, TObject)
 public:
  using ExtraConstructors = orv::Signatures<TObject*(TcxFilterCriteriaItem*)>;
  explicit TcxFilterOperator(TcxFilterCriteriaItem* ACriteriaItem) : FCriteriaItem(ACriteriaItem) {}

  virtual AnsiString GetExpressionFilterText(const Variant& AValue) { return GetExpressionValue(AValue); }
  virtual AnsiString GetExpressionValue(const Variant& AValue);
  virtual void PrepareDisplayValue(AnsiString&) {}
  virtual void Prepare() {}
  virtual bool PrepareExpressionValue(const Variant&, AnsiString&) { return false; }
  // AValue1 is the record's prepared value, AValue2 the condition's.
  virtual bool CompareValues(const Variant& AValue1, const Variant& AValue2) = 0;
  virtual AnsiString DisplayText() { return FilterText(); }
  virtual AnsiString FilterText() = 0;
  virtual bool IsDescription() { return false; }
  virtual bool IsExpression() { return false; }
  virtual bool IsNullOperator() { return false; }

  TcxFilterCriteriaItem* GetCriteriaItem() const { return FCriteriaItem; }
  TcxFilterCriteria* GetCriteria() const;

 protected:
  // The condition's field name in expression texts.
  AnsiString ExpressionFieldName() const;

 private:
  TcxFilterCriteriaItem* FCriteriaItem;
};

using TcxFilterOperatorClass = TClassRef<TcxFilterOperator>;

#define CX_FILTER_OPERATOR(Name, Parent)             \
  class Name : public Parent {                       \
    ORV_CLASS(Name, Parent)                          \
   public:                                           \
    using Parent::Parent;

CX_FILTER_OPERATOR(TcxFilterEqualOperator, TcxFilterOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "="; }
  bool IsExpression() override;
};
CX_FILTER_OPERATOR(TcxFilterNotEqualOperator, TcxFilterEqualOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "<>"; }
};
CX_FILTER_OPERATOR(TcxFilterLessOperator, TcxFilterOperator)
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "<"; }
};
CX_FILTER_OPERATOR(TcxFilterLessEqualOperator, TcxFilterOperator)
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "<="; }
};
CX_FILTER_OPERATOR(TcxFilterGreaterOperator, TcxFilterOperator)
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return ">"; }
};
CX_FILTER_OPERATOR(TcxFilterGreaterEqualOperator, TcxFilterOperator)
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return ">="; }
};
CX_FILTER_OPERATOR(TcxFilterLikeOperator, TcxFilterOperator)
  void PrepareDisplayValue(AnsiString& ADisplayValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "LIKE"; }
};
CX_FILTER_OPERATOR(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "NOT LIKE"; }
  bool IsExpression() override;
};
CX_FILTER_OPERATOR(TcxFilterBetweenOperator, TcxFilterOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  AnsiString GetExpressionValue(const Variant& AValue) override;
  void PrepareDisplayValue(AnsiString& ADisplayValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "BETWEEN"; }
  bool IsDescription() override { return true; }
  bool IsExpression() override;
};
CX_FILTER_OPERATOR(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "NOT BETWEEN"; }
};
CX_FILTER_OPERATOR(TcxFilterInListOperator, TcxFilterOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  AnsiString GetExpressionValue(const Variant& AValue) override;
  void PrepareDisplayValue(AnsiString& ADisplayValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "IN"; }
  bool IsDescription() override { return true; }
  bool IsExpression() override;
};
CX_FILTER_OPERATOR(TcxFilterNotInListOperator, TcxFilterInListOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "NOT IN"; }
};
CX_FILTER_OPERATOR(TcxFilterNullOperator, TcxFilterEqualOperator)
  void PrepareDisplayValue(AnsiString& ADisplayValue) override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "="; }
  bool IsExpression() override { return false; }
  bool IsNullOperator() override { return true; }
};
CX_FILTER_OPERATOR(TcxFilterNotNullOperator, TcxFilterNullOperator)
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return "<>"; }
};

// A range of dates computed from today at Prepare; 0 leaves a side open.
CX_FILTER_OPERATOR(TcxFilterDateOperator, TcxFilterOperator)
  AnsiString GetExpressionFilterText(const Variant& AValue) override;
  void PrepareDisplayValue(AnsiString& ADisplayValue) override { ADisplayValue.clear(); }
  void Prepare() override;
  bool CompareValues(const Variant& AValue1, const Variant& AValue2) override;
  AnsiString DisplayText() override;
  AnsiString FilterText() override { return DisplayText(); }
  bool IsExpression() override { return true; }
  virtual TcxFilterOperatorKind Kind() const = 0;
  TDateTime GetStart() const { return FStart; }
  TDateTime GetEnd() const { return FEnd; }

 private:
  TDateTime FStart, FEnd;
};
CX_FILTER_OPERATOR(TcxFilterLastNDaysOperator, TcxFilterDateOperator)
  virtual Integer DayCount() const = 0;
};
CX_FILTER_OPERATOR(TcxFilterNextNDaysOperator, TcxFilterDateOperator)
  virtual Integer DayCount() const = 0;
};

#define CX_DATE_OPERATOR(Name, Parent, KindValue) \
  CX_FILTER_OPERATOR(Name, Parent)                \
  TcxFilterOperatorKind Kind() const override { return KindValue; }
#define CX_NDAYS_OPERATOR(Name, Parent, KindValue, Days) \
  CX_DATE_OPERATOR(Name, Parent, KindValue)              \
  Integer DayCount() const override { return Days; }

CX_DATE_OPERATOR(TcxFilterYesterdayOperator, TcxFilterDateOperator, foYesterday) };
CX_DATE_OPERATOR(TcxFilterTodayOperator, TcxFilterDateOperator, foToday) };
CX_DATE_OPERATOR(TcxFilterTomorrowOperator, TcxFilterDateOperator, foTomorrow) };
CX_NDAYS_OPERATOR(TcxFilterLast7DaysOperator, TcxFilterLastNDaysOperator, foLast7Days, 7) };
CX_DATE_OPERATOR(TcxFilterLastWeekOperator, TcxFilterDateOperator, foLastWeek) };
CX_NDAYS_OPERATOR(TcxFilterLast14DaysOperator, TcxFilterLastNDaysOperator, foLast14Days, 14) };
CX_DATE_OPERATOR(TcxFilterLastTwoWeeksOperator, TcxFilterDateOperator, foLastTwoWeeks) };
CX_NDAYS_OPERATOR(TcxFilterLast30DaysOperator, TcxFilterLastNDaysOperator, foLast30Days, 30) };
CX_DATE_OPERATOR(TcxFilterLastMonthOperator, TcxFilterDateOperator, foLastMonth) };
CX_DATE_OPERATOR(TcxFilterLastYearOperator, TcxFilterDateOperator, foLastYear) };
CX_DATE_OPERATOR(TcxFilterInPastOperator, TcxFilterDateOperator, foInPast) };
CX_DATE_OPERATOR(TcxFilterThisWeekOperator, TcxFilterDateOperator, foThisWeek) };
CX_DATE_OPERATOR(TcxFilterThisMonthOperator, TcxFilterDateOperator, foThisMonth) };
CX_DATE_OPERATOR(TcxFilterThisYearOperator, TcxFilterDateOperator, foThisYear) };
CX_NDAYS_OPERATOR(TcxFilterNext7DaysOperator, TcxFilterNextNDaysOperator, foNext7Days, 7) };
CX_DATE_OPERATOR(TcxFilterNextWeekOperator, TcxFilterDateOperator, foNextWeek) };
CX_NDAYS_OPERATOR(TcxFilterNext14DaysOperator, TcxFilterNextNDaysOperator, foNext14Days, 14) };
CX_DATE_OPERATOR(TcxFilterNextTwoWeeksOperator, TcxFilterDateOperator, foNextTwoWeeks) };
CX_NDAYS_OPERATOR(TcxFilterNext30DaysOperator, TcxFilterNextNDaysOperator, foNext30Days, 30) };
CX_DATE_OPERATOR(TcxFilterNextMonthOperator, TcxFilterDateOperator, foNextMonth) };
CX_DATE_OPERATOR(TcxFilterNextYearOperator, TcxFilterDateOperator, foNextYear) };
CX_DATE_OPERATOR(TcxFilterInFutureOperator, TcxFilterDateOperator, foInFuture) };

#undef CX_NDAYS_OPERATOR
#undef CX_DATE_OPERATOR
#undef CX_FILTER_OPERATOR

// The class of a kind.
TcxFilterOperatorClass cxFilterOperatorClassOf(TcxFilterOperatorKind AKind);
// The range [AStart, AEnd) a date kind covers on the given day; 0 leaves a
// side open. Other kinds give 0 and 0.
void cxFilterDateRange(TcxFilterOperatorKind AKind, TDateTime AToday, TDateTime& AStart, TDateTime& AEnd);
