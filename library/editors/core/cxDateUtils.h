// Date routines shared by the date editor, the calendar and the format
// controller: month arithmetic, week numbers by the locale's rules, start
// and end of months and years, dates as text, and typed text to a date
// including the "smart" words (today, tomorrow, Friday, eom, now, ... with
// an optional +N / -N days).
#pragma once

#include "platform/rtl/DateTime.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

class Variant;

enum TDay { dSunday, dMonday, dTuesday, dWednesday, dThursday, dFriday, dSaturday };
using TDays = Set<TDay>;
using TDayOfWeek = Integer;
enum TcxDateElement { deYear, deMonth, deDay };
enum TcxFirstWeekOfYear { fwySystem, fwyJan1, fwyFirstFullWeek, fwyFirstFourDays };

// The date that stands for "no date".
inline constexpr double NullDate = -700000.0;
inline constexpr double cxMaxDateTime = 2958465.99999;
// The smallest year a date editor accepts: 100, or 1 while the format
// controller uses the run-time library's formats.
extern Integer MinYear;
extern Integer MaxYear;
// Asked for text that holds no smart word; null by default.
using TcxSmartTextToDateFunc = bool (*)(const AnsiString& AText, TDateTime& ADate);
extern TcxSmartTextToDateFunc SmartTextToDateFunc;

void IncMonth(Word& AYear, Word& AMonth);
void DecMonth(Word& AYear, Word& AMonth);
void ChangeMonth(Word& AYear, Word& AMonth, Integer ADelta);
Integer GetMonthNumber(TDateTime ADate);
Integer GetDateElement(TDateTime ADate, TcxDateElement AElement);
Integer DaysPerMonth(Integer AYear, Integer AMonth);
Integer CheckDay(Integer AYear, Integer AMonth, Integer ADay);
// Days since the start of the week by the format controller's StartOfWeek.
Integer DayOfWeekOffset(TDateTime ADate);
TDateTime GetStartDateOfMonth(TDateTime ADate);
TDateTime GetStartDateOfYear(TDateTime ADate);
TDateTime GetEndDateOfMonth(TDateTime ADate, bool AIgnoreTime);
TDateTime GetEndDateOfYear(TDateTime ADate, bool AIgnoreTime);
Integer GetWeekNumber(TDateTime ADate, TDay AStartOfWeek, TcxFirstWeekOfYear AFirstWeekOfYear);

// The locale's formatting of a date (the format, or the locale default
// chosen by the flags when it is empty); false with an empty text when the
// platform cannot.
bool cxGetDateFormat(TDateTime ADate, AnsiString& AText, win::DWORD AFlags, const AnsiString& AFormat);
AnsiString DateToLongDateStr(TDateTime ADate);

// Smart words only: true when the text starts with one (followed by
// nothing but an optional day offset) or the hook understood it.
bool SmartTextToDate(const AnsiString& AText, TDateTime& ADate);
// Any typed date: smart words first, then the locale's lenient reading (or
// the run-time library's strict one).
bool TextToDateEx(AnsiString AText, TDateTime& ADate);
AnsiString DateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded = false);
AnsiString DateTimeToTextEx(TDateTime ADate, bool AIsMasked, bool AIsDateTimeEdit = false,
                            bool AFourDigitYearNeeded = false);
TDateTime cxMinDateTime();
bool cxStrToDateTime(AnsiString S, bool AUseOleDateFormat, TDateTime& ADate);
bool VarIsNullDate(const Variant& AValue);
// Lets a date mask also take the smart words with an optional offset.
void AddDateRegExprMaskSmartInput(AnsiString& AMask, bool ACanEnterTime);

// The smart words, index 0..19, as the string table has them now.
AnsiString cxGetSmartWord(int AIndex);
