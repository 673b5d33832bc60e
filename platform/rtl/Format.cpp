#include "platform/rtl/Format.h"

#include <cstdio>

#include "platform/rtl/Exceptions.h"

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

AnsiString FloatText(char type, double v, int prec) {
  char buf[512];
  switch (type) {
    case 'e': {
      if (prec < 0 || prec > 18) prec = 15;
      std::snprintf(buf, sizeof buf, "%.*E", prec > 0 ? prec - 1 : 0, v);
      // The exponent has at least three digits: 1.5E+000.
      AnsiString s = buf;
      auto e = s.find('E');
      if (e != AnsiString::npos && e + 2 <= s.size()) {
        AnsiString exp = s.substr(e + 2);
        while (exp.size() < 3) exp.insert(0, "0");
        s = s.substr(0, e + 2) + exp;
      }
      return s;
    }
    case 'f':
    case 'n':
    case 'm':
      if (prec < 0 || prec > 18) prec = 2;
      std::snprintf(buf, sizeof buf, "%.*f", prec, v);
      return buf;
    default:  // 'g'
      if (prec <= 0 || prec > 18) prec = 15;
      std::snprintf(buf, sizeof buf, "%.*G", prec, v);
      return buf;
  }
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
    auto readNum = [&](int& n) -> bool {
      if (i < fmt.size() && fmt[i] == '*') {
        const TVarRec& a = takeArg();
        if (a.VType != TVarRec::vtInteger) BadFormat(fmt);
        n = static_cast<int>(a.VInt64);
        ++i;
        return true;
      }
      bool any = false;
      n = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        n = n * 10 + (fmt[i++] - '0');
        if (n > 100000) BadFormat(fmt);
        any = true;
      }
      return any;
    };
    int num = 0;
    bool left = false;
    int width = -1, prec = -1;
    std::size_t save = i;
    if (readNum(num) && i < fmt.size() && fmt[i] == ':') {
      ++i;
      if (num >= count) BadFormat(fmt);
      next = num;
    } else {
      i = save;
    }
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    if (readNum(num)) width = num;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      prec = readNum(num) ? num : 0;
    }
    if (i >= fmt.size()) BadFormat(fmt);
    char type = static_cast<char>(fmt[i++] | 0x20);
    const TVarRec& a = takeArg();
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
        double v;
        if (a.VType == TVarRec::vtExtended)
          v = a.VExtended;
        else if (a.VType == TVarRec::vtCurrency)
          v = static_cast<double>(a.VCurrency.Value) / Currency::Scale;
        else
          BadFormat(fmt);
        text = FloatText(type, v, prec);
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
