// Message texts of the editor engines (masks, regular expressions, smart
// date input). The texts live in the library's string table under their
// fixed numbers, so a translation can replace any of them by number.
//
// The table is registered by cxEditConsts_Initialize; cxEditResString runs
// it on first use, so callers never see an empty table.
#pragma once

#include "platform/rtl/ResourceStrings.h"

// The string-table module of the editor library.
inline constexpr const char* cxEditResModule = "editors";

// Regular-expression compiler and matcher.
inline const TResStringRec scxRegExprMissing{cxEditResModule, 65136};
inline const TResStringRec scxRegExprUnnecessary{cxEditResModule, 65137};
inline const TResStringRec scxRegExprIncorrectSpace{cxEditResModule, 65138};
inline const TResStringRec scxRegExprNotCompiled{cxEditResModule, 65139};
inline const TResStringRec scxRegExprIncorrectParameterQuantifier{cxEditResModule, 65140};
inline const TResStringRec scxRegExprCantUseParameterQuantifier{cxEditResModule, 65141};
inline const TResStringRec scxRegExprChar{cxEditResModule, 65152};
inline const TResStringRec scxRegExprNotAssignedSourceStream{cxEditResModule, 65153};
inline const TResStringRec scxRegExprEmptySourceStream{cxEditResModule, 65154};
inline const TResStringRec scxRegExprCantUsePlusQuantifier{cxEditResModule, 65155};
inline const TResStringRec scxRegExprCantUseStarQuantifier{cxEditResModule, 65156};
inline const TResStringRec scxRegExprCantCreateEmptyAlt{cxEditResModule, 65157};
inline const TResStringRec scxRegExprCantCreateEmptyBlock{cxEditResModule, 65158};
inline const TResStringRec scxRegExprIllegalSymbol{cxEditResModule, 65159};
inline const TResStringRec scxRegExprIllegalQuantifier{cxEditResModule, 65160};
inline const TResStringRec scxRegExprNotSupportQuantifier{cxEditResModule, 65161};
inline const TResStringRec scxRegExprIllegalIntegerValue{cxEditResModule, 65162};
inline const TResStringRec scxRegExprTooBigReferenceNumber{cxEditResModule, 65163};
inline const TResStringRec scxRegExprCantCreateEmptyEnum{cxEditResModule, 65164};
inline const TResStringRec scxRegExprSubrangeOrder{cxEditResModule, 65165};
inline const TResStringRec scxRegExprHexNumberExpected0{cxEditResModule, 65166};
inline const TResStringRec scxRegExprHexNumberExpected{cxEditResModule, 65167};
inline const TResStringRec scxRegExprLine{cxEditResModule, 65183};

// Limits of our own that keep a hostile or mistyped mask from exhausting
// memory or the stack; they sit in a table of their own so that they never
// collide with the numbered texts above.
inline constexpr const char* cxEditLimitsResModule = "editors.limits";
inline const TResStringRec scxRegExprTooLargeQuantifier{cxEditLimitsResModule, 1};
inline const TResStringRec scxRegExprTooLargeReference{cxEditLimitsResModule, 2};
inline const TResStringRec scxRegExprTooDeepNesting{cxEditLimitsResModule, 3};

// Smart date input words.
inline const TResStringRec cxSDateSecond{cxEditResModule, 65200};
inline const TResStringRec cxSDateThird{cxEditResModule, 65201};
inline const TResStringRec cxSDateFourth{cxEditResModule, 65202};
inline const TResStringRec cxSDateFifth{cxEditResModule, 65203};
inline const TResStringRec cxSDateSixth{cxEditResModule, 65204};
inline const TResStringRec cxSDateSeventh{cxEditResModule, 65205};
inline const TResStringRec cxSDateBOM{cxEditResModule, 65206};
inline const TResStringRec cxSDateEOM{cxEditResModule, 65207};
inline const TResStringRec cxSDateNow{cxEditResModule, 65208};
inline const TResStringRec cxSDateToday{cxEditResModule, 65221};
inline const TResStringRec cxSDateYesterday{cxEditResModule, 65222};
inline const TResStringRec cxSDateTomorrow{cxEditResModule, 65223};
inline const TResStringRec cxSDateSunday{cxEditResModule, 65224};
inline const TResStringRec cxSDateMonday{cxEditResModule, 65225};
inline const TResStringRec cxSDateTuesday{cxEditResModule, 65226};
inline const TResStringRec cxSDateWednesday{cxEditResModule, 65227};
inline const TResStringRec cxSDateThursday{cxEditResModule, 65228};
inline const TResStringRec cxSDateFriday{cxEditResModule, 65229};
inline const TResStringRec cxSDateSaturday{cxEditResModule, 65230};
inline const TResStringRec cxSDateFirst{cxEditResModule, 65231};

// Registers the texts above where the table has none yet, so a translation
// registered before or after stays in force.
void cxEditConsts_Initialize();

// The current text of one of the records above.
AnsiString cxEditResString(const TResStringRec& rec);
