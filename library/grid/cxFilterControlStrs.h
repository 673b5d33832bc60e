// Texts of the filter builder. The builder reads them through the
// overridable resource-string lookup, so a translation can replace any of
// them by number. "Invalid value" (cxSFilterDialogInvalidValue) is raised
// by the editors' filter helpers too; it is declared and registered with
// the editors' texts, in this unit's table.
#pragma once

#include "library/editors/core/cxEditConsts.h"
#include "platform/rtl/ResourceStrings.h"

// Registers the builder's texts; idempotent. Lookups through
// cxFilterControlString run it, since a static library's initialisers may
// be dropped.
void cxFilterControlStrs_Initialize();

// The (possibly overridden) text of one of the builder's texts.
AnsiString cxFilterControlString(const TResStringRec& ARec);
