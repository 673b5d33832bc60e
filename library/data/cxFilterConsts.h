// Texts of the filter: operator captions, joining words and the fixed
// entries of filter drop-downs. Every caption passes through
// cxSFilterString, so an application can route them with
// cxFilterGetResourceStringFunc.
#pragma once

#include "platform/rtl/ResourceStrings.h"

#define CX_FILTER_TEXT(Name, Id) inline const TResStringRec Name{"cxFilterConsts", Id};
CX_FILTER_TEXT(cxSFilterOperatorIsNull, 65040)
CX_FILTER_TEXT(cxSFilterOperatorIsNotNull, 65041)
CX_FILTER_TEXT(cxSFilterOperatorBeginsWith, 65042)
CX_FILTER_TEXT(cxSFilterOperatorDoesNotBeginWith, 65043)
CX_FILTER_TEXT(cxSFilterOperatorEndsWith, 65044)
CX_FILTER_TEXT(cxSFilterOperatorDoesNotEndWith, 65045)
CX_FILTER_TEXT(cxSFilterOperatorContains, 65046)
CX_FILTER_TEXT(cxSFilterOperatorDoesNotContain, 65047)
CX_FILTER_TEXT(cxSFilterBoxAllCaption, 65048)
CX_FILTER_TEXT(cxSFilterBoxCustomCaption, 65049)
CX_FILTER_TEXT(cxSFilterBoxBlanksCaption, 65050)
CX_FILTER_TEXT(cxSFilterBoxNonBlanksCaption, 65051)
CX_FILTER_TEXT(cxSFilterOperatorPast, 65056)
CX_FILTER_TEXT(cxSFilterOperatorThisWeek, 65057)
CX_FILTER_TEXT(cxSFilterOperatorThisMonth, 65058)
CX_FILTER_TEXT(cxSFilterOperatorThisYear, 65059)
CX_FILTER_TEXT(cxSFilterOperatorNext7Days, 65060)
CX_FILTER_TEXT(cxSFilterOperatorNextWeek, 65061)
CX_FILTER_TEXT(cxSFilterOperatorNext14Days, 65062)
CX_FILTER_TEXT(cxSFilterOperatorNextTwoWeeks, 65063)
CX_FILTER_TEXT(cxSFilterOperatorNext30Days, 65064)
CX_FILTER_TEXT(cxSFilterOperatorNextMonth, 65065)
CX_FILTER_TEXT(cxSFilterOperatorNextYear, 65066)
CX_FILTER_TEXT(cxSFilterOperatorFuture, 65067)
CX_FILTER_TEXT(cxSFilterAndCaption, 65068)
CX_FILTER_TEXT(cxSFilterOrCaption, 65069)
CX_FILTER_TEXT(cxSFilterNotCaption, 65070)
CX_FILTER_TEXT(cxSFilterBlankCaption, 65071)
CX_FILTER_TEXT(cxSFilterOperatorLike, 65072)
CX_FILTER_TEXT(cxSFilterOperatorNotLike, 65073)
CX_FILTER_TEXT(cxSFilterOperatorBetween, 65074)
CX_FILTER_TEXT(cxSFilterOperatorNotBetween, 65075)
CX_FILTER_TEXT(cxSFilterOperatorInList, 65076)
CX_FILTER_TEXT(cxSFilterOperatorNotInList, 65077)
CX_FILTER_TEXT(cxSFilterOperatorYesterday, 65078)
CX_FILTER_TEXT(cxSFilterOperatorToday, 65079)
CX_FILTER_TEXT(cxSFilterOperatorTomorrow, 65080)
CX_FILTER_TEXT(cxSFilterOperatorLast7Days, 65081)
CX_FILTER_TEXT(cxSFilterOperatorLastWeek, 65082)
CX_FILTER_TEXT(cxSFilterOperatorLast14Days, 65083)
CX_FILTER_TEXT(cxSFilterOperatorLastTwoWeeks, 65084)
CX_FILTER_TEXT(cxSFilterOperatorLast30Days, 65085)
CX_FILTER_TEXT(cxSFilterOperatorLastMonth, 65086)
CX_FILTER_TEXT(cxSFilterOperatorLastYear, 65087)
CX_FILTER_TEXT(cxSFilterOperatorEqual, 65098)
CX_FILTER_TEXT(cxSFilterOperatorNotEqual, 65099)
CX_FILTER_TEXT(cxSFilterOperatorLess, 65100)
CX_FILTER_TEXT(cxSFilterOperatorLessEqual, 65101)
CX_FILTER_TEXT(cxSFilterOperatorGreater, 65102)
CX_FILTER_TEXT(cxSFilterOperatorGreaterEqual, 65103)
#undef CX_FILTER_TEXT

void cxFilterConsts_Initialize();

// The process-wide caption hook; unassigned, captions are used as they are.
using TcxFilterGetResourceStringFunc = AnsiString (*)(const AnsiString& S);
extern TcxFilterGetResourceStringFunc cxFilterGetResourceStringFunc;

// S through the hook.
AnsiString cxSFilterString(const AnsiString& S);
// The resource text through the hook.
AnsiString cxSFilterString(const TResStringRec& ARec);
