// Feeds arbitrary text to the number and date readers in both built-in
// locales: they must answer or raise EConvertError, never crash, and what
// they accept must format and read back to the same value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/DateText.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const Locale kLocales[2] = {Locale::Builtin("en-US"), Locale::Builtin("de-DE")};
  ScopedLocale locale(kLocales[data[0] & 1]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  double d;
  if (TryStrToFloat(text, d)) {
    if (!std::isfinite(d)) std::abort();
    double back;
    if (!TryStrToFloat(FloatToStrF(d, ffGeneral, 17, 0), back) || back != d) std::abort();
  }
  Integer i;
  if (TryStrToInt(text, i) && StrToInt(IntToStr(i)) != i) std::abort();
  Int64 i64;
  if (TryStrToInt64(text, i64) && StrToInt64(IntToStr(i64)) != i64) std::abort();
  Currency c;
  if (TryStrToCurr(text, c) && StrToCurr(CurrToStr(c)) != c) std::abort();

  TDateTime t;
  if (TryStrToDate(text, t)) {
    TDateTime back;
    if (!TryStrToDate(FormatDateTime("ddddd", t), back) || back.Value != t.Value) std::abort();
  }
  TryStrToDateTime(text, t);
  TryStrToTime(text, t);
  TryTextToDateTime(text, t);
  try {
    StrToFloat(text);
  } catch (const EConvertError&) {
  }
  try {
    StrToDateTime(text);
  } catch (const EConvertError&) {
  }
  return 0;
}
