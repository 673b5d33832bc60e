// Texts of the filter builder and its dialog. The builder reads them
// through the overridable resource-string lookup, so a translation can
// replace any of them by number. "Invalid value"
// (cxSFilterDialogInvalidValue) is raised by the editors' filter helpers
// too; it is declared and registered with the editors' texts, in this
// unit's table.
#pragma once

#include "library/editors/core/cxEditConsts.h"
#include "platform/rtl/ResourceStrings.h"

#define CX_FILTER_CONTROL_TEXT(Name, Id) inline const TResStringRec Name{"cxFilterControlStrs", Id};
CX_FILTER_CONTROL_TEXT(cxSFilterBoolOperatorAnd, 65149)
CX_FILTER_CONTROL_TEXT(cxSFilterBoolOperatorOr, 65150)
CX_FILTER_CONTROL_TEXT(cxSFilterBoolOperatorNotAnd, 65151)
CX_FILTER_CONTROL_TEXT(cxSFilterBoolOperatorNotOr, 65120)
CX_FILTER_CONTROL_TEXT(cxSFilterRootButtonCaption, 65121)
CX_FILTER_CONTROL_TEXT(cxSFilterAddCondition, 65122)
CX_FILTER_CONTROL_TEXT(cxSFilterAddGroup, 65123)
CX_FILTER_CONTROL_TEXT(cxSFilterRemoveRow, 65124)
CX_FILTER_CONTROL_TEXT(cxSFilterClearAll, 65125)
CX_FILTER_CONTROL_TEXT(cxSFilterFooterAddCondition, 65126)
CX_FILTER_CONTROL_TEXT(cxSFilterGroupCaption, 65127)
CX_FILTER_CONTROL_TEXT(cxSFilterRootGroupCaption, 65128)
CX_FILTER_CONTROL_TEXT(cxSFilterControlNullString, 65129)
CX_FILTER_CONTROL_TEXT(cxSFilterErrorBuilding, 65130)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogCaption, 65131)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogUse, 65133)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogSingleCharacter, 65134)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogCharactersSeries, 65135)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogOperationAnd, 65104)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogOperationOr, 65105)
CX_FILTER_CONTROL_TEXT(cxSFilterDialogRows, 65106)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogCaption, 65107)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogNewFile, 65108)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogOpenDialogCaption, 65109)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogSaveDialogCaption, 65110)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogActionSaveCaption, 65111)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogActionOpenCaption, 65112)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogActionApplyCaption, 65113)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogActionOkCaption, 65114)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogActionCancelCaption, 65115)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogFileExt, 65116)
CX_FILTER_CONTROL_TEXT(cxSFilterControlDialogFileFilter, 65117)
#undef CX_FILTER_CONTROL_TEXT

// Registers the builder's texts where the table has none yet (a
// translation registered first stays); idempotent. Lookups through
// cxFilterControlString run it, since a static library's initialisers may
// be dropped.
void cxFilterControlStrs_Initialize();

// The (possibly overridden) text of one of the builder's texts.
AnsiString cxFilterControlString(const TResStringRec& ARec);
