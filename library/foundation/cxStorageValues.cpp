#include "library/foundation/cxStorageValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/DateText.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/StrUtils.h"

namespace orv::storage {

std::vector<AnsiString> SplitPath(const AnsiString& APath) {
  std::vector<AnsiString> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = APath.find('/', start);
    pieces.push_back(APath.substr(start, slash == AnsiString::npos ? AnsiString::npos : slash - start));
    if (slash == AnsiString::npos) break;
    start = slash + 1;
  }
  return pieces;
}

ValueKind KindOf(const Variant& AValue) {
  switch (VarType(AValue)) {
    case varBoolean: return vkBoolean;
    case varByte: return vkByte;
    case varCurrency: return vkCurrency;
    case varDate: return vkDateTime;
    case varDouble: return vkFloat;
    case varShortInt:
    case varSmallint:
    case varInteger:
    case varWord:
    case varLongWord:
    case varInt64: return vkInteger;
    case varSingle: return vkSingle;
    case varString: return vkString;
    case varOleStr: return vkWideString;
    default: return vkNone;
  }
}

ValueForm FormOf(const Variant& AValue) {
  switch (KindOf(AValue)) {
    case vkBoolean: return ValueForm::Boolean;
    case vkByte:
    case vkInteger: return ValueForm::Whole;
    case vkCurrency:
    case vkFloat:
    case vkSingle: return ValueForm::Fraction;
    case vkDateTime: return ValueForm::DateTime;
    case vkString:
    case vkWideString: return ValueForm::Text;
    case vkNone: break;
  }
  return ValueForm::None;
}

AnsiString Quote(const AnsiString& AText) { return "\"" + AText + "\""; }

AnsiString FloatText(double AValue) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), AValue);
  AnsiString text(buffer, ec == std::errc() ? end : buffer);
  // "2.0", not "2": a whole number must not read back as an integer.
  if (std::isfinite(AValue) && text.find_first_of(".e") == AnsiString::npos) text += ".0";
  return text;
}

AnsiString DateTimeText(TDateTime AValue) {
  if (!std::isfinite(AValue.Value) || std::fabs(AValue.Value) > 2958465.0) return FloatText(AValue.Value);
  Word year, month, day, hour, minute, second, msec;
  DecodeDate(AValue, year, month, day);
  DecodeTime(AValue, hour, minute, second, msec);
  char buffer[64];
  int n = std::snprintf(buffer, sizeof(buffer), "%04u-%02u-%02u", unsigned(year), unsigned(month), unsigned(day));
  if (hour || minute || second || msec)
    n += std::snprintf(buffer + n, sizeof(buffer) - n, " %02u:%02u:%02u", unsigned(hour), unsigned(minute),
                       unsigned(second));
  if (msec) std::snprintf(buffer + n, sizeof(buffer) - n, ".%03u", unsigned(msec));
  return buffer;
}

Variant IntegerValue(Int64 AValue) {
  if (AValue >= INT32_MIN && AValue <= INT32_MAX) return Variant(static_cast<Integer>(AValue));
  return Variant(AValue);
}

namespace {

bool ParseDecimal(std::string_view AText, Int64& AValue) {
  if (AText.empty()) return false;
  const char* first = AText.data();
  const char* last = first + AText.size();
  if (*first == '+') return false;
  auto [end, ec] = std::from_chars(first, last, AValue);
  return ec == std::errc() && end == last;
}

bool ParseFloat(std::string_view AText, double& AValue) {
  if (AText.empty() || AText.front() == '+') return false;
  const char* first = AText.data();
  const char* last = first + AText.size();
  auto [end, ec] = std::from_chars(first, last, AValue, std::chars_format::general);
  return ec == std::errc() && end == last;
}

// Digits at AText[AAt, AAt + ACount), all of them.
bool Digits(std::string_view AText, std::size_t AAt, std::size_t ACount, Word& AValue) {
  if (AAt + ACount > AText.size()) return false;
  AValue = 0;
  for (std::size_t i = AAt; i < AAt + ACount; ++i) {
    if (AText[i] < '0' || AText[i] > '9') return false;
    AValue = static_cast<Word>(AValue * 10 + (AText[i] - '0'));
  }
  return true;
}

bool ParseDateTime(std::string_view AText, TDateTime& AValue) {
  Word year, month, day, hour = 0, minute = 0, second = 0, msec = 0;
  if (!Digits(AText, 0, 4, year) || AText.size() < 10 || AText[4] != '-' || !Digits(AText, 5, 2, month) ||
      AText[7] != '-' || !Digits(AText, 8, 2, day))
    return false;
  std::size_t at = 10;
  if (at < AText.size()) {
    if (AText[at] != ' ' || !Digits(AText, at + 1, 2, hour) || AText.size() < at + 9 || AText[at + 3] != ':' ||
        !Digits(AText, at + 4, 2, minute) || AText[at + 6] != ':' || !Digits(AText, at + 7, 2, second))
      return false;
    at += 9;
    if (at < AText.size()) {
      if (AText[at] != '.' || !Digits(AText, at + 1, 3, msec)) return false;
      at += 4;
    }
  }
  TDateTime date, time;
  if (at != AText.size() || !TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, msec, time))
    return false;
  // Before the epoch the time of day counts away from zero.
  AValue = TDateTime(date.Value < 0 ? date.Value - time.Value : date.Value + time.Value);
  return true;
}

}  // namespace

Variant TextToValue(const AnsiString& AText) {
  if (AText.size() >= 2 && AText.front() == '"' && AText.back() == '"')
    return Variant(AText.substr(1, AText.size() - 2));
  const AnsiString text = Trim(AText);
  Int64 integer;
  if (ParseDecimal(text, integer)) return IntegerValue(integer);
  double number;
  if (ParseFloat(text, number)) return Variant(number);
  Extended localNumber;
  if (TryStrToFloat(text, localNumber)) return Variant(static_cast<double>(localNumber));
  TDateTime date;
  if (ParseDateTime(text, date) || TryStrToDateTime(text, date)) return Variant(date);
  return Variant(AText);
}

}  // namespace orv::storage
