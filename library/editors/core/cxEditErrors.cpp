#include "library/editors/core/cxEditErrors.h"

#include "platform/rtl/TypeInfo.h"

ORV_REGISTER(EcxEditError)
ORV_REGISTER(EcxEditValidationError)
