#include "library/grid/vgrid/cxVGridConsts.h"

#include <mutex>

#include "library/foundation/cxClasses.h"

void cxVGridConsts_Initialize() {
  static std::once_flag once;
  std::call_once(once, [] {
    static constexpr std::pair<Integer, const char*> kTexts[] = {
        {65026, "Index error"},
        {65027, "Can't create row"},
        {65028, "Can't assign rows"},
        {65029, "Delete record?"},
        {65030, "Confirm"},
        {65031, "OK"},
        {65032, "Cancel"},
        {65033, "Customize"},
        {65034, "Categories"},
        {65035, "&Delete"},
        {65036, "&New..."},
        {65037, "Rows"},
        {65038, "New Category"},
        {65039, "&Category:"},
        {65008, "Layout editor"},
        {65009, "&Customize"},
        {65010, "(None)"},
        {65011, "(Unknown)"},
        {65012, "Can't export invisible control"},
        {65013, "Editing %s%s%s"},
        {65014, "&Add"},
        {65015, "Add New"},
        {65016, "&Delete"},
        {65017, "Delete Selected"},
        {65018, "&Select All"},
        {65019, "&Toolbar"},
        {65020, "Text &Labels"},
        {65021, "Move &Up"},
        {65022, "Move Selected Up"},
        {65023, "Move Dow&n"},
        {64992, "Move Selected Down"},
    };
    AnsiString existing;
    for (const auto& [id, text] : kTexts)
      if (!FindResString(cxVGridResModule, id, existing)) RegisterResString(cxVGridResModule, id, text);
  });
}

AnsiString cxVGridResString(const TResStringRec& ARec) {
  cxVGridConsts_Initialize();
  return cxGetResourceString(ARec);
}
