#include "library/foundation/cxLibraryStrs.h"

#include <mutex>

#include "library/foundation/cxClasses.h"

void cxLibraryStrs_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterResStrings("cxLibraryStrs", {
                                            {65248, "Can't create the registry key: \\%s"},
                                            {65249, "Invalid property element: %s"},
                                            {65250, "Can't create the Style Repository"},
                                        });
  });
}

AnsiString cxLibraryString(const TResStringRec& ARec) {
  cxLibraryStrs_Initialize();
  return cxGetResourceString(ARec);
}
