// Texts of the filter builder. The builder and the editors' filter helpers
// read them through the overridable resource-string lookup, so a
// translation can replace any of them by number.
#pragma once

#include "platform/rtl/ResourceStrings.h"

inline const TResStringRec cxSFilterDialogInvalidValue{"cxFilterControlStrs", 65132};

// Registers the texts above; idempotent. Lookups through
// cxFilterControlString run it, since a static library's initialisers may
// be dropped.
void cxFilterControlStrs_Initialize();

// The (possibly overridden) text of one of the texts above.
AnsiString cxFilterControlString(const TResStringRec& ARec);
