#include "library/data/cxDataConsts.h"

#include <mutex>

#include "platform/rtl/Exceptions.h"

void cxDataConsts_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterResStrings("cxDataConsts", {
                                           {65118, "Stream read error"},
                                           {65119, "Stream write error"},
                                           {65120, "ItemIndex out of range"},
                                       });
  });
}

AnsiString cxDataResString(const TResStringRec& rec) {
  cxDataConsts_Initialize();
  return LoadResString(rec);
}

void cxDataReadError() { throw EReadError(cxDataResString(cxSDataReadError)); }
void cxDataWriteError() { throw EWriteError(cxDataResString(cxSDataWriteError)); }
