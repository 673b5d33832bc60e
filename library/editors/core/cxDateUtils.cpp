#include "library/editors/core/cxDateUtils.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "library/editors/core/cxEditConsts.h"
#include "library/editors/core/cxFormats.h"
#include "platform/rtl/Collation.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

Integer MinYear = 100;
Integer MaxYear = 9999;
TcxSmartTextToDateFunc SmartTextToDateFunc = nullptr;

namespace {

// Day numbers of the earliest and the latest date the calendar can name.
constexpr double kFirstCalendarDay = -693593.0;  // 1 January 0001
constexpr double kAfterLastCalendarDay = 2958466.0;  // 1 January 10000

bool InCalendar(double d) { return d >= kFirstCalendarDay && d < kAfterLastCalendarDay; }

Word YearOf(TDateTime d) {
  Word y, m, day;
  DecodeDate(d, y, m, day);
  return y;
}

// Sunday 0 .. Saturday 6.
int WeekDay(double d) { return DayOfWeek(TDateTime(d)) - 1; }

// The last moment of a day: its last millisecond, which lies before the
// day's number for the days before day 0 (their time counts down).
double LastMomentOf(double day) {
  const double time = EncodeTime(23, 59, 59, 999).Value;
  return day < 0 ? day - time : day + time;
}

double StartOfWeekContaining(double day, int startOfWeek) {
  int offset = WeekDay(day) - startOfWeek;
  if (offset < 0) offset += 7;
  return day - offset;
}

AnsiString LocaleInfo(win::LCTYPE type) {
  char buf[256];
  int n = win::GetLocaleInfoA(win::LOCALE_USER_DEFAULT, type, buf, sizeof buf);
  return n > 0 ? AnsiString(buf, static_cast<std::size_t>(n - 1)) : AnsiString();
}

const std::array<const TResStringRec*, 20> kSmartWords = {
    &cxSDateToday,  &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday,    &cxSDateMonday,
    &cxSDateTuesday, &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday,   &cxSDateSaturday,
    &cxSDateFirst,  &cxSDateSecond,    &cxSDateThird,    &cxSDateFourth,    &cxSDateFifth,
    &cxSDateSixth,  &cxSDateSeventh,   &cxSDateBOM,      &cxSDateEOM,       &cxSDateNow};

double KeywordDate(int index) {
  const double today = std::floor(Date().Value);
  if (index == 0) return today;
  if (index == 1) return today - 1;
  if (index == 2) return today + 1;
  if (index <= 9) return today + (index - 3 - WeekDay(today) + 7) % 7;
  if (index <= 16) return today - DayOfWeekOffset(today) + (index - 10);
  if (index == 17) return GetStartDateOfMonth(today);
  if (index == 18) return GetEndDateOfMonth(today, true);
  return Now();
}

// Replaces every run of characters below 33 by its first character.
AnsiString CollapseBlanks(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool blank = static_cast<unsigned char>(s[i]) < 33;
    if (blank && i > 0 && static_cast<unsigned char>(s[i - 1]) < 33) continue;
    out += s[i];
  }
  return out;
}

// Typed text made ready for the conversion: the literal words of the
// locale's formats become blanks, blanks are collapsed and, with the
// locale's rules, date separators become blanks too.
AnsiString NormalizeDateText(const AnsiString& text, bool useLocaleRules) {
  std::array<AnsiString, 4> kept;
  if (useLocaleRules) {
    kept = {LocaleInfo(win::LOCALE_SDATE), LocaleInfo(win::LOCALE_STIME), LocaleInfo(win::LOCALE_S1159),
            LocaleInfo(win::LOCALE_S2359)};
    if (kept[2].empty()) kept[2] = "am";
    if (kept[3].empty()) kept[3] = "pm";
  } else {
    const TFormatSettings& fs = FormatSettings();
    kept = {AnsiString(1, fs.DateSeparator), AnsiString(1, fs.TimeSeparator), fs.TimeAMString, fs.TimePMString};
  }
  for (auto& k : kept) k = AnsiUpperCase(Trim(k));
  AnsiString s = text;
  TcxFormatController* controller = cxFormatController();
  for (const TcxDateTimeFormatInfo* info : {&controller->GetDateFormatInfo(), &controller->GetTimeFormatInfo()}) {
    for (const auto& item : info->Items) {
      if (item.Kind != dtikString) continue;
      const AnsiString literal = AnsiUpperCase(Trim(item.Data));
      if (literal.empty() || std::find(kept.begin(), kept.end(), literal) != kept.end()) continue;
      s = StringReplace(s, literal, AnsiString(literal.size(), ' '), TReplaceFlags{rfReplaceAll, rfIgnoreCase});
    }
  }
  s = CollapseBlanks(Trim(s));
  if (useLocaleRules) {
    const AnsiString sep = LocaleInfo(win::LOCALE_SDATE);
    if (!sep.empty()) std::replace(s.begin(), s.end(), sep[0], ' ');
  }
  return s;
}

bool ConvertDateText(const AnsiString& text, bool useLocaleRules, TDateTime& date) {
  const AnsiString s = NormalizeDateText(text, useLocaleRules);
  return useLocaleRules ? TryTextToDateTime(s, date) : TryStrToDateTime(s, date);
}

// Whether a text the readers take for a time of day 0 is a time alone
// rather than a date on 30 December 1899. The strict reader reads a time
// alone as a time; the lenient one still reads it with a day written
// before it, where a text naming its own day would name one too many.
bool IsTimeAlone(const AnsiString& text, bool useLocaleRules) {
  const AnsiString s = NormalizeDateText(text, useLocaleRules);
  TDateTime time;
  return useLocaleRules ? TryTextToDateTime("January 1 2000 " + s, time) : TryStrToTime(s, time);
}

}  // namespace

void IncMonth(Word& AYear, Word& AMonth) {
  if (AMonth == 12) {
    AMonth = 1;
    ++AYear;
  } else {
    ++AMonth;
  }
}

void DecMonth(Word& AYear, Word& AMonth) {
  if (AMonth == 1) {
    AMonth = 12;
    --AYear;
  } else {
    --AMonth;
  }
}

void ChangeMonth(Word& AYear, Word& AMonth, Integer ADelta) {
  int year = AYear + ADelta / 12;
  int month = AMonth + ADelta % 12;
  if (month < 1) {
    month += 12;
    --year;
  } else if (month > 12) {
    month -= 12;
    ++year;
  }
  AYear = static_cast<Word>(year);
  AMonth = static_cast<Word>(month);
}

Integer GetMonthNumber(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return (y - 1) * 12 + m;
}

Integer GetDateElement(TDateTime ADate, TcxDateElement AElement) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return AElement == deYear ? y : AElement == deMonth ? m : d;
}

Integer DaysPerMonth(Integer AYear, Integer AMonth) {
  static constexpr Integer kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (AMonth < 1 || AMonth > 12) return 0;
  const bool leap = AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0);
  return AMonth == 2 && leap ? 29 : kDays[AMonth - 1];
}

Integer CheckDay(Integer AYear, Integer AMonth, Integer ADay) {
  return std::clamp(ADay, 1, std::max(1, DaysPerMonth(AYear, AMonth)));
}

Integer DayOfWeekOffset(TDateTime ADate) {
  int offset = WeekDay(ADate) - static_cast<int>(cxFormatController()->GetStartOfWeek());
  return offset < 0 ? offset + 7 : offset;
}

TDateTime GetStartDateOfMonth(TDateTime ADate) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  return EncodeDate(y, m, 1);
}

TDateTime GetStartDateOfYear(TDateTime ADate) { return EncodeDate(YearOf(ADate), 1, 1); }

TDateTime GetEndDateOfMonth(TDateTime ADate, bool AIgnoreTime) {
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  double end = EncodeDate(y, m, static_cast<Word>(DaysPerMonth(y, m)));
  return AIgnoreTime ? end : LastMomentOf(end);
}

TDateTime GetEndDateOfYear(TDateTime ADate, bool AIgnoreTime) {
  double end = EncodeDate(YearOf(ADate), 12, 31);
  return AIgnoreTime ? end : LastMomentOf(end);
}

Integer GetWeekNumber(TDateTime ADate, TDay AStartOfWeek, TcxFirstWeekOfYear AFirstWeekOfYear) {
  if (AFirstWeekOfYear == fwySystem) {
    const AnsiString rule = LocaleInfo(win::LOCALE_IFIRSTWEEKOFYEAR);
    const int r = !rule.empty() && rule[0] >= '0' && rule[0] <= '2' ? rule[0] - '0' : 0;
    AFirstWeekOfYear = static_cast<TcxFirstWeekOfYear>(r + 1);
  }
  const int start = static_cast<int>(AStartOfWeek);
  // The day a value falls on: its whole days, also before day 0.
  const double day = std::trunc(ADate.Value);
  Word y, m, d;
  DecodeDate(day, y, m, d);
  const double jan1 = EncodeDate(y, 1, 1);
  double s = StartOfWeekContaining(jan1, start);
  if (AFirstWeekOfYear == fwyFirstFullWeek && s < jan1) s += 7;
  if (AFirstWeekOfYear == fwyFirstFourDays && s + 3 < jan1) s += 7;
  Integer week = static_cast<Integer>(std::trunc((day - s) / 7)) + 1;
  if (m == 12) {
    const double w = StartOfWeekContaining(day, start);
    const double nextJan1 = jan1 + (IsLeapYear(y) ? 366 : 365);
    if (AFirstWeekOfYear == fwyJan1 && w + 6 >= nextJan1) week = 1;
    if (AFirstWeekOfYear == fwyFirstFourDays && w + 3 >= nextJan1) week = 1;
  }
  return week;
}

bool cxGetDateFormat(TDateTime ADate, AnsiString& AText, win::DWORD AFlags, const AnsiString& AFormat) {
  AText.clear();
  if (!InCalendar(ADate)) return false;
  win::SYSTEMTIME st{};
  Word y, m, d;
  DecodeDate(ADate, y, m, d);
  st.wYear = y;
  st.wMonth = m;
  st.wDay = d;
  st.wDayOfWeek = static_cast<Word>(WeekDay(ADate));
  char buf[256];
  int n = win::GetDateFormatA(win::GetThreadLocale(), AFlags, &st, AFormat.empty() ? nullptr : AFormat.c_str(), buf,
                              sizeof buf);
  if (n <= 0) return false;
  AText.assign(buf, static_cast<std::size_t>(n - 1));
  return true;
}

AnsiString DateToLongDateStr(TDateTime ADate) {
  AnsiString s;
  if (cxGetDateFormat(ADate, s, win::DATE_LONGDATE, "")) return s;
  return FormatDateTime("dddddd", ADate);
}

AnsiString cxGetSmartWord(int AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<int>(kSmartWords.size())) return "";
  return cxEditResString(*kSmartWords[static_cast<std::size_t>(AIndex)]);
}

bool SmartTextToDate(const AnsiString& AText, TDateTime& ADate) {
  const AnsiString text = Trim(AText);
  std::array<AnsiString, 20> words;
  std::array<int, 20> order;
  for (int i = 0; i < 20; ++i) {
    words[static_cast<std::size_t>(i)] = cxGetSmartWord(i);
    order[static_cast<std::size_t>(i)] = i;
  }
  // Longer words first, so that a word that begins another is tried last.
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const AnsiString& wa = words[static_cast<std::size_t>(a)];
    const AnsiString& wb = words[static_cast<std::size_t>(b)];
    if (wa.size() != wb.size()) return wa.size() > wb.size();
    return AnsiCompareText(wa, wb) > 0;
  });
  for (int index : order) {
    const AnsiString& word = words[static_cast<std::size_t>(index)];
    if (word.empty() || text.size() < word.size() || !AnsiSameText(std::string_view(text).substr(0, word.size()), word))
      continue;
    // The word must stand alone or be followed by a day offset: a date
    // written with a weekday name ("Friday, March 3, 2006") is no keyword.
    const AnsiString rest = Trim(std::string_view(text).substr(word.size()));
    if (!rest.empty() && rest[0] != '+' && rest[0] != '-') continue;
    double date = KeywordDate(index);
    if (rest.size() >= 2) {
      Integer days;
      // Negated as a day count, not as an integer: "-" before the lowest
      // integer has no integer to give.
      if (TryStrToInt(Trim(std::string_view(rest).substr(1)), days))
        date += rest[0] == '+' ? static_cast<double>(days) : -static_cast<double>(days);
    }
    ADate = date;
    return true;
  }
  return SmartTextToDateFunc ? SmartTextToDateFunc(text, ADate) : false;
}

bool TextToDateEx(AnsiString AText, TDateTime& ADate) {
  AText = Trim(AText);
  if (AText.empty()) return false;
  TDateTime date;
  const bool useLocaleRules = !cxFormatController()->GetUseRtlDateTimeFormats();
  const bool smart = SmartTextToDate(AText, date);
  if (!smart && !ConvertDateText(AText, useLocaleRules, date)) {
    ADate = 0.0;
    return false;
  }
  ADate = date;
  if (date.Value < -2147483648.0 || date.Value > 2147483647.0) return false;
  // A text that names no day (only a time) is no date; 30 December 1899,
  // day 0, written out is one.
  if (std::trunc(date.Value) == 0 && !smart && IsTimeAlone(AText, useLocaleRules)) return false;
  // Only a day of the calendar's years is a date: one before them ("today-
  // 800000", "12/31/0099") would be stored by an editor that cannot show it.
  return date.Value >= cxMinDateTime().Value && date.Value <= cxMaxDateTime && YearOf(date) <= MaxYear;
}

AnsiString DateTimeToText(TDateTime ADate, bool AFourDigitYearNeeded) {
  if (ADate.Value == NullDate) return "";
  const bool rtl = cxFormatController()->GetUseRtlDateTimeFormats();
  const bool hasTime = TimeOf(ADate).Value != 0;
  AnsiString format;
  if (rtl) {
    format = FormatSettings().ShortDateFormat;
    if (hasTime) format += " " + FormatSettings().LongTimeFormat;
  } else {
    format = LocaleInfo(win::LOCALE_SSHORTDATE);
  }
  if (AFourDigitYearNeeded) {
    const AnsiString lower = AnsiLowerCase(format);
    const std::size_t at = lower.find("yy");
    if (at != AnsiString::npos && lower.find("yyy") == AnsiString::npos) format.insert(at, 2, format[at]);
  }
  if (rtl) return FormatDateTime(format, ADate);
  AnsiString text;
  if (!cxGetDateFormat(ADate, text, 0, format) || text.size() > 99) return VarToStr(Variant(ADate));
  if (hasTime) {
    win::SYSTEMTIME st{};
    Word h, n, s, ms;
    DecodeTime(ADate, h, n, s, ms);
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = h;
    st.wMinute = n;
    st.wSecond = s;
    st.wMilliseconds = ms;
    char buf[256];
    int len = win::GetTimeFormatA(win::GetThreadLocale(), 0, &st, nullptr, buf, sizeof buf);
    if (len > 0) text += " " + AnsiString(buf, static_cast<std::size_t>(len - 1));
  }
  return text;
}

AnsiString DateTimeToTextEx(TDateTime ADate, bool AIsMasked, bool AIsDateTimeEdit, bool AFourDigitYearNeeded) {
  if (ADate.Value == NullDate) return "";
  if (!AIsMasked) return DateTimeToText(ADate, AFourDigitYearNeeded);
  TcxFormatController* c = cxFormatController();
  if (AIsDateTimeEdit) return FormatDateTime(c->GetMaskedDateTimeEditFormat(), ADate);
  return FormatDateTime(c->GetMaskedDateEditFormat(), DateOf(ADate));
}

TDateTime cxMinDateTime() { return EncodeDate(static_cast<Word>(MinYear), 1, 1); }

bool cxStrToDateTime(AnsiString S, bool AUseOleDateFormat, TDateTime& ADate) {
  ADate = NullDate;
  TDateTime date;
  if (!ConvertDateText(S, AUseOleDateFormat, date)) return false;
  ADate = date;
  return true;
}

bool VarIsNullDate(const Variant& AValue) {
  const Word type = VarType(AValue);
  if (type != varDate && !VarIsNumeric(AValue)) return false;
  return AValue.AsDouble() == NullDate;
}

void AddDateRegExprMaskSmartInput(AnsiString& AMask, bool ACanEnterTime) {
  AnsiString words;
  const int count = ACanEnterTime ? 20 : 19;
  for (int i = 0; i < count; ++i) {
    if (i) words += "|";
    const AnsiString w = cxGetSmartWord(i);
    // Runs without quotes are quoted; a quote itself is escaped.
    std::size_t k = 0;
    while (k < w.size()) {
      if (w[k] == '\'') {
        words += "\\'";
        ++k;
        continue;
      }
      std::size_t end = w.find('\'', k);
      if (end == AnsiString::npos) end = w.size();
      words += "'" + w.substr(k, end - k) + "'";
      k = end;
    }
  }
  AMask = "(" + AMask + ")|(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}
