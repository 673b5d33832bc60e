#include "library/editors/core/cxEditConsts.h"

#include "library/foundation/cxClasses.h"

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
        {65142, "Regular expression errors:"},
        {65143, "The edit value is invalid"},
        {65144, "None"},
        {65145, "Illegal file format"},
        {65146, "The mask collection file is empty"},
        {65147, "Mask collection files"},
        {65148, "Invalid numeric value"},
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
        {65168, "ComboBox|Represents the combo box editor"},
        {65169, "CurrencyEdit|Represents an editor enabling editing currency data"},
        {65170, "DateEdit|Represents an edit control with a dropdown calendar"},
        {65171, "HyperLink|Represents a text editor with hyperlink functionality"},
        {65172, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"},
        {65173, "Image|Represents an image editor"},
        {65174, "LookupComboBox|Represents a lookup combo box control"},
        {65175, "MaskEdit|Represents a generic masked edit control."},
        {65176, "Memo|Represents an edit control that allows editing memo data"},
        {65177, "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window"},
        {65178, "PopupEdit|Represents an edit control with a dropdown list"},
        {65179, "SpinEdit|Represents a spin editor"},
        {65180, "RadioGroup|Represents a group of radio buttons"},
        {65181, "TextEdit|Represents a single line text editor"},
        {65182, "TimeEdit|Represents an editor displaying time values"},
        {65183, "Line"},
        {65184, "Next page"},
        {65185, "Last record"},
        {65186, "Insert record"},
        {65187, "Delete record"},
        {65188, "Edit record"},
        {65189, "Post edit"},
        {65190, "Cancel edit"},
        {65191, "Refresh data"},
        {65192, "Save Bookmark"},
        {65193, "Goto Bookmark"},
        {65194, "Filter data"},
        {65195, "Delete record?"},
        {65196, "BlobEdit|Represents the BLOB editor"},
        {65197, "ButtonEdit|Represents an edit control with embedded buttons"},
        {65198, "CalcEdit|Represents an edit control with a dropdown calculator window"},
        {65199, "CheckBox|Represents a check box control that allows selecting an option"},
        {65200, "second"},
        {65201, "third"},
        {65202, "fourth"},
        {65203, "fifth"},
        {65204, "sixth"},
        {65205, "seventh"},
        {65206, "bom"},
        {65207, "eom"},
        {65208, "now"},
        {65209, "Error"},
        {65210, "http://"},
        {65211, "//"},
        {65212, "First record"},
        {65213, "Prior record"},
        {65214, "Prior page"},
        {65215, "Next record"},
        {65216, "Clear"},
        {65217, "Now"},
        {65218, "OK"},
        {65219, "Today"},
        {65220, "Invalid Date"},
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
        {65232, ""},
        {65233, "True"},
        {65234, "False"},
        {65235, "&OK"},
        {65236, "&Cancel"},
        {65237, "&Close"},
        {65238, "(MEMO)"},
        {65239, "(memo)"},
        {65240, "(PICTURE)"},
        {65241, "(picture)"},
        {65242, "Cu&t"},
        {65243, "&Copy"},
        {65244, "&Paste"},
        {65245, "&Delete"},
        {65246, "&Load..."},
        {65247, "Save &As..."},
        {65251, "Cancel"},
        {65252, "OK"},
        {65253, "Could not convert to date"},
        {65254, "The repository item is not acceptable"},
        {65255, "Could not convert to numeric value"},
        {65256, "Circular referencing is not allowed"},
        {65257, "An error occured during posting edit value"},
        {65258, "Could not convert to time"},
        {65259, "Invalid input value. Use escape key to abandon changes"},
        {65260, "Value out of bounds"},
        {65261, "True"},
        {65262, ""},
        {65263, "False"},
        {64989, "RichEdit|RichEdit control"},
    });
    RegisterMissing(cxSFilterDialogInvalidValue.Module, {
        {cxSFilterDialogInvalidValue.Identifier, "Invalid value"},
    });
    RegisterMissing(cxEditLimitsResModule, {
        {1, "The parameter quantifier makes the expression too large (at most %d copies)"},
        {2, "The reference makes the expression too large"},
        {3, "The blocks are nested too deeply (at most %d levels)"},
    });
  });
}

namespace {
Integer StartCount = 0;
}  // namespace

void cxEditConstsStartUp() {
  if (StartCount++ == 0) cxEditConsts_Initialize();
}

void cxEditConstsShutDown() {
  if (StartCount > 0) --StartCount;
}

Integer cxEditConstsStartCount() { return StartCount; }

AnsiString cxEditResString(const TResStringRec& rec) {
  cxEditConsts_Initialize();
  return cxGetResourceString(rec);
}
