// The error class of the editor library: raised for invalid edit values,
// uncompiled or broken masks and other editor faults.
#pragma once

#include "platform/rtl/Exceptions.h"

ORV_EXCEPTION(EcxEditError, Exception)
// A value the editor's properties refused.
ORV_EXCEPTION(EcxEditValidationError, EcxEditError)
