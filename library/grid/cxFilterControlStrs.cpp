#include "library/grid/cxFilterControlStrs.h"

#include "library/foundation/cxClasses.h"

void cxFilterControlStrs_Initialize() { cxEditConsts_Initialize(); }

AnsiString cxFilterControlString(const TResStringRec& ARec) {
  cxFilterControlStrs_Initialize();
  return cxGetResourceString(ARec);
}
