// Horizontal text alignment, shared by controls, editors and settings.
#pragma once

#include "platform/rtl/TypeInfo.h"

ORV_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
