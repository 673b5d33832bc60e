// Formatting into strings: Format with the class library's format
// specifiers, over an argument list of mixed types.
//
//   Format("%s = %s;", {key, value})
//   Format("Version: %d.%02d", {1, 4})
//
// Specifier: "%" [index ":"] ["-"] [width] ["." precision] type, where
// width and precision may be "*" (taken from the arguments) and type is one
// of d u x e f g n m p s (either case). Numbers use the decimal and
// thousands separators of the current format settings.
#pragma once

#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "platform/rtl/Types.h"

// One argument of Format ("array of const").
struct TVarRec {
  enum Kind { vtInteger, vtInt64, vtExtended, vtCurrency, vtChar, vtWideChar, vtString, vtWideString, vtPointer, vtBoolean };
  Kind VType;
  union {
    Int64 VInt64;
    Extended VExtended;
    Currency VCurrency;
    char VChar;
    char16_t VWideChar;
    const void* VPointer;
    bool VBoolean;
  };
  std::string_view VString;
  const WideString* VWideString = nullptr;

  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, char> &&
             !std::is_same_v<I, char16_t>)
  TVarRec(I v) : VType(sizeof(I) < 8 && (std::is_signed_v<I> || sizeof(I) < 4) ? vtInteger : vtInt64), VInt64(static_cast<Int64>(v)) {}
  template <class E>
    requires std::is_enum_v<E>
  TVarRec(E v) : VType(vtInteger), VInt64(static_cast<Int64>(v)) {}
  TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  TVarRec(char v) : VType(vtChar), VChar(v) {}
  TVarRec(char16_t v) : VType(vtWideChar), VWideChar(v) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(float v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(static_cast<double>(v)) {}
  TVarRec(TDateTime v) : VType(vtExtended), VExtended(v.Value) {}
  TVarRec(Currency v) : VType(vtCurrency), VCurrency(v) {}
  TVarRec(const char* v) : VType(vtString), VPointer(nullptr), VString(v ? v : "") {}
  TVarRec(const AnsiString& v) : VType(vtString), VPointer(nullptr), VString(v) {}
  TVarRec(std::string_view v) : VType(vtString), VPointer(nullptr), VString(v) {}
  TVarRec(const WideString& v) : VType(vtWideString), VPointer(nullptr), VWideString(&v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// Formats the arguments; a specifier that does not fit its argument, or a
// missing argument, raises EConvertError ("Format '%s' invalid or
// incompatible with argument").
AnsiString Format(std::string_view fmt, std::initializer_list<TVarRec> args);
AnsiString Format(std::string_view fmt, const TVarRec* args, int count);
