// Texts of the property storage and the style units.
#pragma once

#include "platform/rtl/ResourceStrings.h"

inline const TResStringRec scxCantCreateRegistryKey{"cxLibraryStrs", 65248};
inline const TResStringRec scxInvalidPropertyElement{"cxLibraryStrs", 65249};
inline const TResStringRec scxConverterCantCreateStyleRepository{"cxLibraryStrs", 65250};

// Registers the texts above; idempotent. Lookups through cxLibraryString
// run it, since a static library's initialisers may be dropped.
void cxLibraryStrs_Initialize();

// The (possibly overridden) text of one of the texts above.
AnsiString cxLibraryString(const TResStringRec& ARec);
