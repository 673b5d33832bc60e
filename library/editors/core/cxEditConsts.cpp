#include "library/editors/core/cxEditConsts.h"

#include <mutex>
#include <utility>

namespace {

// A text already in the table (a translation registered first) is kept.
void RegisterMissing(const char* module, std::initializer_list<std::pair<Integer, const char*>> entries) {
  AnsiString existing;
  for (const auto& [id, text] : entries)
    if (!FindResString(module, id, existing)) RegisterResString(module, id, text);
}

}  // namespace

void cxEditConsts_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterMissing(cxEditResModule, {
        {65136, "Missing '%s'"},
        {65137, "Unnecessary '%s'"},
        {65138, "The space character is not allowed after '\\'"},
        {65139, "Regular expression is not compiled"},
        {65140, "Incorrect parameter quantifier"},
        {65141, "The parameter quantifier cannot be applied here"},
        {65152, "Char"},
        {65153, "The source stream is not assigned"},
        {65154, "The source stream is empty"},
        {65155, "The '+' quantifier cannot be applied here"},
        {65156, "The '*' quantifier cannot be applied here"},
        {65157, "The alternative should not be empty"},
        {65158, "The block should not be empty"},
        {65159, "Illegal '%s'"},
        {65160, "Illegal quantifier '%s'"},
        {65161, "The parameter quantifiers are not supported"},
        {65162, "Illegal integer value"},
        {65163, "Too big reference number"},
        {65164, "Can't create empty enumeration"},
        {65165, "The starting character of the subrange must be less than the finishing one"},
        {65166, "Hexadecimal number expected"},
        {65167, "Hexadecimal number expected but '%s' found"},
        {65183, "Line"},
        {65200, "second"},
        {65201, "third"},
        {65202, "fourth"},
        {65203, "fifth"},
        {65204, "sixth"},
        {65205, "seventh"},
        {65206, "bom"},
        {65207, "eom"},
        {65208, "now"},
        {65221, "today"},
        {65222, "yesterday"},
        {65223, "tomorrow"},
        {65224, "Sunday"},
        {65225, "Monday"},
        {65226, "Tuesday"},
        {65227, "Wednesday"},
        {65228, "Thursday"},
        {65229, "Friday"},
        {65230, "Saturday"},
        {65231, "first"},
    });
    RegisterMissing(cxEditLimitsResModule, {
        {1, "The parameter quantifier makes the expression too large (at most %d copies)"},
        {2, "The reference makes the expression too large"},
        {3, "The blocks are nested too deeply (at most %d levels)"},
    });
  });
}

AnsiString cxEditResString(const TResStringRec& rec) {
  cxEditConsts_Initialize();
  return LoadResString(rec);
}
