#include "library/grid/cxFilterControlStrs.h"

#include <mutex>

#include "library/foundation/cxClasses.h"

void cxFilterControlStrs_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterResStrings("cxFilterControlStrs", {
                                                  {65132, "Invalid value"},
                                              });
  });
}

AnsiString cxFilterControlString(const TResStringRec& ARec) {
  cxFilterControlStrs_Initialize();
  return cxGetResourceString(ARec);
}
