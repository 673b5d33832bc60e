#include "library/grid/filter/cxFilterControlStrs.h"

#include <mutex>

#include "library/foundation/cxClasses.h"

void cxFilterControlStrs_Initialize() {
  cxEditConsts_Initialize();
  static std::once_flag once;
  std::call_once(once, [] {
    static const std::pair<const TResStringRec*, const char*> texts[] = {
        {&cxSFilterBoolOperatorAnd, "AND"},
        {&cxSFilterBoolOperatorOr, "OR"},
        {&cxSFilterBoolOperatorNotAnd, "NOT AND"},
        {&cxSFilterBoolOperatorNotOr, "NOT OR"},
        {&cxSFilterRootButtonCaption, "Filter"},
        {&cxSFilterAddCondition, "Add &Condition"},
        {&cxSFilterAddGroup, "Add &Group"},
        {&cxSFilterRemoveRow, "&Remove Row"},
        {&cxSFilterClearAll, "Clear &All"},
        {&cxSFilterFooterAddCondition, "press the button to add a new condition"},
        {&cxSFilterGroupCaption, "applies to the following conditions"},
        {&cxSFilterRootGroupCaption, "<root>"},
        {&cxSFilterControlNullString, "<empty>"},
        {&cxSFilterErrorBuilding, "Can't build filter from source"},
        {&cxSFilterDialogCaption, "Custom Filter"},
        {&cxSFilterDialogUse, "Use"},
        {&cxSFilterDialogSingleCharacter, "to represent any single character"},
        {&cxSFilterDialogCharactersSeries, "to represent any series of characters"},
        {&cxSFilterDialogOperationAnd, "AND"},
        {&cxSFilterDialogOperationOr, "OR"},
        {&cxSFilterDialogRows, "Show rows where:"},
        {&cxSFilterControlDialogCaption, "Filter builder"},
        {&cxSFilterControlDialogNewFile, "untitled.flt"},
        {&cxSFilterControlDialogOpenDialogCaption, "Open an existing filter"},
        {&cxSFilterControlDialogSaveDialogCaption, "Save the active filter to file"},
        {&cxSFilterControlDialogActionSaveCaption, "&Save As..."},
        {&cxSFilterControlDialogActionOpenCaption, "&Open..."},
        {&cxSFilterControlDialogActionApplyCaption, "&Apply"},
        {&cxSFilterControlDialogActionOkCaption, "OK"},
        {&cxSFilterControlDialogActionCancelCaption, "Cancel"},
        {&cxSFilterControlDialogFileExt, "flt"},
        {&cxSFilterControlDialogFileFilter, "Filters (*.flt)|*.flt"},
    };
    AnsiString existing;
    for (const auto& [rec, text] : texts)
      if (!FindResString(rec->Module, rec->Identifier, existing)) RegisterResString(rec->Module, rec->Identifier, text);
  });
}

AnsiString cxFilterControlString(const TResStringRec& ARec) {
  cxFilterControlStrs_Initialize();
  return cxGetResourceString(ARec);
}
