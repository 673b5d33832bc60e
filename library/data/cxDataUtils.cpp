#include "library/data/cxDataUtils.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/ScopeExit.h"

ORV_REGISTER(TcxCustomDataBinding)

TcxCustomDataBinding::TcxCustomDataBinding(TComponent* AOwner, TComponent* ADataComponent)
    : FDataComponent(ADataComponent), FOwner(AOwner) {}

void TcxCustomDataBinding::DataChange() {
  if (OnDataChange) OnDataChange();
}

void TcxCustomDataBinding::DataSetChange() {
  if (OnDataSetChange) OnDataSetChange();
}

void TcxCustomDataBinding::UpdateData() {
  if (OnUpdateData) OnUpdateData();
}

void TcxCustomDataBinding::SetVisualControl(TComponent* Value) {
  if (FVisualControl == Value) return;
  FVisualControl = Value;
  VisualControlChanged();
}

Integer GetStartOfWeek() {
  Integer day = CurrentLocale().FirstDayOfWeek;  // 0 = Monday .. 6 = Sunday
  if (day < 0 || day > 6) day = 0;
  return (day + 1) % 7;
}

TDateTime GetStartDateOfWeek(TDateTime ADate) {
  const Integer s = GetStartOfWeek();
  const Integer w = DayOfWeek(ADate) - 1;
  const double date = DateOf(ADate).Value;
  return TDateTime(s <= w ? date - (w - s) : date - 7 + (s - w));
}

bool DataCompareText(std::string_view S1, std::string_view S2, bool APartial) {
  if (S2.empty()) return S1.empty();
  if (APartial) {
    if (S2.size() > S1.size()) return false;
    for (size_t i = 0; i < S2.size(); ++i)
      if (AnsiUpperChar(S1[i]) != AnsiUpperChar(S2[i])) return false;
    return true;
  }
  if (S1.size() != S2.size()) return false;
  for (size_t i = 0; i < S1.size(); ++i)
    if (AnsiUpperChar(S1[i]) != AnsiUpperChar(S2[i])) return false;
  return true;
}

AnsiString DefaultCurrencyDisplayFormat() {
  const Locale& locale = CurrentLocale();
  AnsiString format = ",0." + AnsiString(static_cast<size_t>(std::max(0, locale.CurrencyDecimals)), '0');
  AnsiString symbol;
  for (char c : locale.CurrencyString) {
    if (c == ',' || c == '.') {
      symbol += '\'';
      symbol += c;
      symbol += '\'';
    } else {
      symbol += c;
    }
  }
  if (symbol.empty()) return format;
  switch (locale.CurrencyFormat) {
    case 0: return symbol + format;
    case 1: return format + symbol;
    case 2: return symbol + " " + format;
    case 3: return format + " " + symbol;
    default: return format;
  }
}
