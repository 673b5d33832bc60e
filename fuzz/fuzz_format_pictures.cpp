// Feeds arbitrary pictures to the formatters: FormatFloat, FormatDateTime,
// Format and the editors' date-time format parser with the masks made from
// what it parses. Each must answer (Format may raise EConvertError), never
// crash, and the number and date pictures must give the same text twice.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "library/editors/core/cxFormats.h"
#include "platform/rtl/DateText.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FloatText.h"
#include "platform/rtl/Locale.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const Locale kLocales[2] = {Locale::Builtin("en-US"), Locale::Builtin("de-DE")};
  ScopedLocale locale(kLocales[data[0] & 1]);
  const std::string_view picture(reinterpret_cast<const char*>(data + 1), size - 1);

  static const double kNumbers[] = {0.0, -0.0, 1.0, -1.0, 0.5, -0.00001234, 1234567.891, -9.995, 1e-300, 1e300,
                                    5e-324, std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::infinity(), std::nan("")};
  for (double v : kNumbers)
    if (FormatFloat(picture, v) != FormatFloat(picture, v)) std::abort();

  static const double kDates[] = {0.0, 45657.999988426, -693593.0, 2958465.99999, -1.25, 36526.5};
  for (double d : kDates)
    if (FormatDateTime(picture, TDateTime{d}) != FormatDateTime(picture, TDateTime{d})) std::abort();

  const AnsiString text = "text";
  const TVarRec args[] = {TVarRec(42), TVarRec(Int64{-7}), TVarRec(3.25), TVarRec(text), TVarRec('c'),
                          TVarRec(true), TVarRec(nullptr)};
  const int count = data[0] >> 1 & 7;
  try {
    (void)Format(picture, args, count);
  } catch (const EConvertError&) {
  }

  TcxDateTimeFormatInfo info;
  if (TcxFormatController::ParseDateTimeFormat(AnsiString(picture), info)) {
    for (TcxDateTimeEditMaskKind kind : {dtmkDate, dtmkTime, dtmkDateTime}) {
      (void)TcxFormatController::GetStandardEditMask(info, kind);
      (void)TcxFormatController::GetRegExprEditMask(info, kind);
    }
    (void)TcxFormatController::GetMaskedEditFormat(info);
    const Integer length = TcxFormatController::GetDateTimeStandardMaskStringLength(info);
    if (length < 0) std::abort();
  }
  return 0;
}
