// Dates and times as text with the format settings, and back.
//
// FormatDateTime tokens (letters in any case):
//   c       short date, then a blank and the long time unless the time is 0
//   d dd    day; ddd dddd short / long day name; ddddd short date; dddddd long date
//   m mm    month (minutes right after an hour); mmm mmmm short / long month name
//   yy yyyy two- / four-digit year
//   h hh    hour (12-hour when an am/pm token follows); n nn minutes; s ss seconds
//   z zzz   milliseconds; t short time; tt long time
//   am/pm a/p  marker in the case written; ampm the settings' AM/PM strings
//   /  :    the date / time separator; "..." and '...' literal text
#pragma once

#include <string_view>

#include "platform/rtl/Types.h"

AnsiString FormatDateTime(std::string_view format, TDateTime value);
AnsiString DateToStr(TDateTime value);      // short date
AnsiString TimeToStr(TDateTime value);      // long time
AnsiString DateTimeToStr(TDateTime value);  // "c"

// Numbers separated by the date separator, in the order of the short date
// format; two numbers are month and day of the current year (day and month
// where the day comes first). A year written with one or two digits falls
// in the hundred years starting TwoDigitYearCenturyWindow years before
// the current year. Times: hour, then minutes, seconds and milliseconds
// after the time separator (and a '.'), with an optional AM/PM marker
// before or after; at least a separator or a marker must follow the hour.
// With a marker the hour runs from 1 to 12 (12 AM is midnight), and 0
// before AM is midnight too. Blanks around the parts are allowed, nothing
// else.
TDateTime StrToDate(std::string_view text);      // EConvertError "'%s' is not a valid date"
TDateTime StrToTime(std::string_view text);      // EConvertError "'%s' is not a valid time"
TDateTime StrToDateTime(std::string_view text);  // EConvertError "'%s' is not a valid date and time"
bool TryStrToDate(std::string_view text, TDateTime& value);
bool TryStrToTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value);
TDateTime StrToDateDef(std::string_view text, TDateTime def);
TDateTime StrToDateTimeDef(std::string_view text, TDateTime def);

// The lenient reading of text as a date, used when a text value is
// converted to a date:
//  - Parts are numbers, words and a time. Blanks, the date separator, '/',
//    '-', '.' and ',' only separate parts.
//  - A time is a number followed by the time separator (or ':'): hour,
//    minutes, optional seconds and '.' milliseconds; an AM/PM word (the
//    settings' strings, "AM", "PM", "A", "P", any case) may follow or
//    precede it, with the hours StrToTime takes with one.
//  - Words are month names (the settings' long and short names, then the
//    English ones, any case) and day names, which are ignored; any other
//    word makes the text invalid.
//  - With a month name: one number is the day of the current year; of two
//    numbers, one with three or more digits or above 31 is the year and
//    the other the day, otherwise they are day and year in the order of
//    the short date format.
//  - Without a month name: three numbers are year, month, day when the
//    first has three or more digits, otherwise they follow the short date
//    format's order; two numbers are month and day as in StrToDate.
//  - Text with only a time gives that time on day 0; empty text, a lone
//    number or more than three numbers are invalid.
//  - Two-digit years use the window of StrToDate.
bool TryTextToDateTime(std::string_view text, TDateTime& value);
