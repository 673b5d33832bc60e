#include "library/editors/cxExtEditConsts.h"

#include <mutex>
#include <utility>

#include "library/foundation/cxClasses.h"

void cxExtEditConsts_Initialize() {
  // The description of the rich text editor kind comes with the editor
  // table.
  cxEditConsts_Initialize();
  static std::once_flag once;
  std::call_once(once, [] {
    static constexpr std::pair<Integer, const char*> kTexts[] = {
        {64993, "ColorComboBox |Represents a editor with color functionality"},
        {64994, "FontNameComboBox |Represents a editor with font functionality"},
        {64995, "Label|Represents a Label"},
        {64996, "ProgressBar|Represents a ProgressBar"},
        {64997, "TrackBar|Represents a TrackBar"},
        {64998, "SpinButton|Represents a SpinButton"},
        {64999, "CheckComboBox|Represents a CheckComboBox"},
        {65000, "ShellComboBox|Represents a combo box with a dropdown shell tree view"},
        {65001, "CheckGroup|Represents a group of check boxes"},
        {65002, " is already associated with "},
        {65003, "MediaPlayer9"},
        {65004, "MediaPlayer8"},
        {65005, "XPTaskBar"},
        {65006, "Simple"},
        {65007, "Loading ..."},
        {64976, ": "},
        {64977, "; "},
        {64978, "Checked"},
        {64979, "Grayed"},
        {64980, "Unchecked"},
        {64981, "cxCheckComboBox - CheckStates editor"},
        {64982, "cxCheckGroup - CheckStates editor"},
        {64983, "None selected"},
        {64984, "Color not selected"},
        {64985, "Cannot load a RichEdit library"},
        {64986, "RichEdit line insertion error"},
        {64987, "Failed to Load Stream"},
        {64988, "Failed to Save Stream"},
        {64990, "&Undo"},
        {64991, "&Redo"},
        {64960, "Cu&t"},
        {64961, "&Copy"},
        {64962, "&Paste"},
        {64963, "&Delete"},
        {64964, "Select &All"},
    };
    AnsiString existing;
    for (const auto& [id, text] : kTexts)
      if (!FindResString(cxEditResModule, id, existing)) RegisterResString(cxEditResModule, id, text);
  });
}

namespace {
Integer ExtEditConstsStartCount = 0;
}

void cxExtEditConstsInitialize() {
  if (ExtEditConstsStartCount++ == 0) cxExtEditConsts_Initialize();
}

void cxExtEditConstsFinalize() {
  if (ExtEditConstsStartCount > 0) --ExtEditConstsStartCount;
}

AnsiString cxExtEditResString(const TResStringRec& ARec) {
  cxExtEditConsts_Initialize();
  return cxGetResourceString(ARec);
}
