// Texts of the data layer that reach the user through exceptions.
#pragma once

#include "platform/rtl/ResourceStrings.h"

inline const TResStringRec cxSDataReadError{"cxDataConsts", 65118};
inline const TResStringRec cxSDataWriteError{"cxDataConsts", 65119};
inline const TResStringRec cxSDataItemIndexError{"cxDataConsts", 65120};
inline const TResStringRec cxSDataRecordIndexError{"cxDataConsts", 65121};
inline const TResStringRec cxSDataRowIndexError{"cxDataConsts", 65122};
inline const TResStringRec cxSDataItemExistError{"cxDataConsts", 65123};
inline const TResStringRec cxSDataProviderModeError{"cxDataConsts", 65124};
inline const TResStringRec cxSDataInvalidStreamFormat{"cxDataConsts", 65125};
inline const TResStringRec cxSDataCustomDataSourceInvalidCompare{"cxDataConsts", 65126};

// Registers the texts above; idempotent and cheap after the first call.
// Every lookup below runs it, since a static library's initialisers may be
// dropped by the linker.
void cxDataConsts_Initialize();

// The text of one of the data layer's resource strings.
AnsiString cxDataResString(const TResStringRec& rec);

// Raise EReadError / EWriteError with "Stream read error" / "Stream write error".
[[noreturn]] void cxDataReadError();
[[noreturn]] void cxDataWriteError();
