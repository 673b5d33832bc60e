// Feeds arbitrary bytes to the variant's text conversions, the decimal
// reader and the 80-bit decoder: each must answer or raise its own error,
// never crash, and what the decimal reader accepts must read back to the
// same value from its own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/rtl/Bcd.h"
#include "platform/rtl/Extended80.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/Variant.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const Locale kLocales[2] = {Locale::Builtin("en-US"), Locale::Builtin("de-DE")};
  ScopedLocale locale(kLocales[data[0] & 1]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  TBcd b;
  if (TryStrToBcd(text, b)) {
    TBcd back;
    if (!TryStrToBcd(BcdToStr(b), back) || BcdCompare(b, back) != 0) std::abort();
    (void)BcdToDouble(b);
    (void)BcdToStrF(b, ffGeneral, 15, 0);
    (void)BcdToStrF(b, ffExponent, 18, 4);
  }

  const Word kinds[] = {varSmallint, varInteger, varSingle, varDouble, varCurrency, varDate, varOleStr,
                        varBoolean, varByte, varWord, varLongWord, varInt64, varFMTBcd, varSQLTimeStamp};
  Variant v{text};
  for (Word kind : kinds) {
    try {
      Variant r = VarAsType(v, kind);
      (void)VarToStr(r);
      (void)(r == v);
      (void)(r + Variant(1));
    } catch (const EVariantError&) {
    } catch (const EZeroDivide&) {
    } catch (const EConvertError&) {
    }
  }

  if (size >= 10) (void)Extended80ToDouble(data);
  return 0;
}
