#include "library/data/cxFilterConsts.h"

#include <mutex>

TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc = nullptr;

void cxFilterConsts_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterResStrings("cxFilterConsts", {
        {65040, "is blank"}, {65041, "is not blank"}, {65042, "begins with"}, {65043, "does not begin with"},
        {65044, "ends with"}, {65045, "does not end with"}, {65046, "contains"}, {65047, "does not contain"},
        {65048, "(All)"}, {65049, "(Custom...)"}, {65050, "(Blanks)"}, {65051, "(NonBlanks)"},
        {65056, "is past"}, {65057, "is this week"}, {65058, "is this month"}, {65059, "is this year"},
        {65060, "is next 7 days"}, {65061, "is next week"}, {65062, "is next 14 days"},
        {65063, "is next two weeks"}, {65064, "is next 30 days"}, {65065, "is next month"},
        {65066, "is next year"}, {65067, "is future"}, {65068, "and"}, {65069, "or"}, {65070, "not"},
        {65071, "blank"}, {65072, "like"}, {65073, "not like"}, {65074, "between"}, {65075, "not between"},
        {65076, "in"}, {65077, "not in"}, {65078, "is yesterday"}, {65079, "is today"}, {65080, "is tomorrow"},
        {65081, "is last 7 days"}, {65082, "is last week"}, {65083, "is last 14 days"},
        {65084, "is last two weeks"}, {65085, "is last 30 days"}, {65086, "is last month"},
        {65087, "is last year"}, {65098, "equals"}, {65099, "does not equal"}, {65100, "is less than"},
        {65101, "is less than or equal to"}, {65102, "is greater than"}, {65103, "is greater than or equal to"},
    });
  });
}

AnsiString cxSFilterString(const AnsiString& S) {
  return cxFilterGetResourceStringFunc ? cxFilterGetResourceStringFunc(S) : S;
}

AnsiString cxSFilterString(const TResStringRec& ARec) {
  cxFilterConsts_Initialize();
  return cxSFilterString(LoadResString(ARec));
}
