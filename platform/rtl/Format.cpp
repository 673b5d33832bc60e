#include "platform/rtl/Format.h"

#include <algorithm>
#include <cstdio>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatLayout.h"
#include "platform/rtl/FormatSettings.h"

namespace {

[[noreturn]] void BadFormat(std::string_view fmt) {
  throw EConvertError("Format '" + AnsiString(fmt) + "' invalid or incompatible with argument");
}

AnsiString Pad(AnsiString s, int width, bool left) {
  if (width > 0 && static_cast<int>(s.size()) < width) {
    AnsiString fill(width - s.size(), ' ');
    s = left ? s + fill : fill + s;
  }
  return s;
}

// Integer digits with a minimum count (the precision), sign in front.
AnsiString IntText(Int64 v, int prec) {
  bool neg = v < 0;
  UInt64 u = neg ? 0 - static_cast<UInt64>(v) : static_cast<UInt64>(v);
  AnsiString digits = std::to_string(u);
  if (prec > static_cast<int>(digits.size())) digits.insert(0, prec - digits.size(), '0');
  return neg ? "-" + digits : digits;
}

// The float conversions in their run-time shapes: %e 15 significant digits
// and a three-digit exponent, %f/%n fixed with 2 decimals, %g general with
// 15 digits, %m the currency form; the precision replaces the default.
// The fixed forms keep `digits` significant digits: 18 for a double, all
// 19 of a Currency, whose four decimals must show as they are.
AnsiString FloatText(char type, const TFloatRec& rec, int prec, int digits) {
  switch (type) {
    case 'e':
      return FormatDigits(rec, ffExponent, prec < 0 || prec > 18 ? 15 : prec, 3, 18);
    case 'f':
      return FormatDigits(rec, ffFixed, digits, prec < 0 || prec > 18 ? 2 : prec, digits);
    case 'n':
      return FormatDigits(rec, ffNumber, digits, prec < 0 || prec > 18 ? 2 : prec, digits);
    case 'm':
      return FormatDigits(rec, ffCurrency, digits, prec < 0 || prec > 18 ? FormatSettings().CurrencyDecimals : prec,
                          digits);
    default:  // 'g'
      return FormatDigits(rec, ffGeneral, prec <= 0 || prec > 18 ? 15 : prec, 0, 18);
  }
}

// Wide text narrowed to code page 1252; what it cannot hold becomes '?'.
AnsiString Narrow(const WideString& w) {
  static const char16_t k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  AnsiString out;
  out.reserve(w.size());
  for (char16_t c : w) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char b = '?';
    for (int i = 0; i < 32; ++i)
      if (k80[i] == c) b = static_cast<char>(0x80 + i);
    out += b;
  }
  return out;
}

}  // namespace

AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, args.begin(), static_cast<int>(args.size()));
}

AnsiString Format(std::string_view fmt, const TVarRec* args, int count) {
  AnsiString out;
  out.reserve(fmt.size() + 16);
  int next = 0;
  std::size_t i = 0;
  auto takeArg = [&]() -> const TVarRec& {
    if (next >= count) BadFormat(fmt);
    return args[next++];
  };
  while (i < fmt.size()) {
    char c = fmt[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i >= fmt.size()) BadFormat(fmt);
    if (fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // [index ":"] ["-"] [width] ["." prec] type
    // A width or precision beyond kMaxNumber is refused whether it is
    // written or taken from the arguments: it would only ask for that many
    // bytes of padding.
    constexpr int kMaxNumber = 100000;
    auto readNum = [&](int& n) -> bool {
      if (i < fmt.size() && fmt[i] == '*') {
        const TVarRec& a = takeArg();
        if (a.VType != TVarRec::vtInteger || a.VInt64 > kMaxNumber) BadFormat(fmt);
        n = static_cast<int>(a.VInt64);
        ++i;
        return true;
      }
      bool any = false;
      n = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        n = n * 10 + (fmt[i++] - '0');
        if (n > kMaxNumber) BadFormat(fmt);
        any = true;
      }
      return any;
    };
    int num = 0;
    bool left = false;
    int width = -1, prec = -1;
    // An index is a number (or '*') followed by ':'; otherwise the same
    // characters are the width, and a '*' must not have used an argument.
    const std::size_t save = i;
    const int saveNext = next;
    if (readNum(num) && i < fmt.size() && fmt[i] == ':') {
      ++i;
      if (num < 0 || num >= count) BadFormat(fmt);
      next = num;
    } else {
      i = save;
      next = saveNext;
    }
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    // A width written with a leading zero pads numbers with zeros, unless
    // the text is left-justified: zeros after a number would change it.
    const bool zeroPad = !left && i < fmt.size() && fmt[i] == '0';
    if (readNum(num)) width = num;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      prec = readNum(num) ? num : 0;
    }
    if (i >= fmt.size()) BadFormat(fmt);
    char type = static_cast<char>(fmt[i++] | 0x20);
    const TVarRec& a = takeArg();
    if (zeroPad && (type == 'd' || type == 'u' || type == 'x')) {
      const bool negative = type == 'd' && a.VInt64 < 0 &&
                            (a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtInt64);
      prec = std::max(prec, width - (negative ? 1 : 0));
    }
    AnsiString text;
    switch (type) {
      case 'd':
        if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtInt64) BadFormat(fmt);
        text = IntText(a.VInt64, prec);
        break;
      case 'u':
        if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtInt64) BadFormat(fmt);
        text = a.VType == TVarRec::vtInteger ? std::to_string(static_cast<std::uint32_t>(a.VInt64))
                                             : std::to_string(static_cast<UInt64>(a.VInt64));
        if (prec > static_cast<int>(text.size())) text.insert(0, prec - text.size(), '0');
        break;
      case 'x': {
        if (a.VType != TVarRec::vtInteger && a.VType != TVarRec::vtInt64) BadFormat(fmt);
        char buf[32];
        if (a.VType == TVarRec::vtInteger)
          std::snprintf(buf, sizeof buf, "%X", static_cast<std::uint32_t>(a.VInt64));
        else
          std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(a.VInt64));
        text = buf;
        if (prec > static_cast<int>(text.size())) text.insert(0, prec - text.size(), '0');
        break;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        TFloatRec rec;
        int digits = 18;
        if (a.VType == TVarRec::vtExtended) {
          rec = DecimalDigits(a.VExtended);
        } else if (a.VType == TVarRec::vtCurrency) {
          rec = DecimalDigits(a.VCurrency);
          digits = 19;
        } else {
          BadFormat(fmt);
        }
        text = FloatText(type, rec, prec, digits);
        break;
      }
      case 'p': {
        if (a.VType != TVarRec::vtPointer) BadFormat(fmt);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(a.VPointer)));
        text = buf;
        break;
      }
      case 's':
        if (a.VType == TVarRec::vtString)
          text = AnsiString(a.VString);
        else if (a.VType == TVarRec::vtChar)
          text = AnsiString(1, a.VChar);
        else if (a.VType == TVarRec::vtWideString)
          text = Narrow(*a.VWideString);
        else if (a.VType == TVarRec::vtWideChar)
          text = Narrow(WideString(1, a.VWideChar));
        else
          BadFormat(fmt);
        if (prec >= 0 && static_cast<int>(text.size()) > prec) text.resize(prec);
        break;
      default:
        BadFormat(fmt);
    }
    out += Pad(std::move(text), width, left);
  }
  return out;
}
