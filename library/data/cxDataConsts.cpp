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
                                           {65121, "RecordIndex out of range"},
                                           {65122, "RowIndex out of range"},
                                           {65123, "Item already exists"},
                                           {65124, "This operation is not supported in provider mode"},
                                           {65125, "Invalid stream format"},
                                           {65126, "GetInfoForCompare not implemented"},
                                       });
  });
}

AnsiString cxDataResString(const TResStringRec& rec) {
  cxDataConsts_Initialize();
  return LoadResString(rec);
}

void cxDataReadError() { throw EReadError(cxDataResString(cxSDataReadError)); }
void cxDataWriteError() { throw EWriteError(cxDataResString(cxSDataWriteError)); }
