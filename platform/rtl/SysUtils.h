// The run-time library's utility routines in one include: number, float,
// currency and date text, calendar arithmetic, rounding, string helpers,
// formatting and the format settings.
#pragma once

#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/NumberText.h"
#include "platform/rtl/StrUtils.h"
