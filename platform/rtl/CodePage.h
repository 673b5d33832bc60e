// Code page 1252: the one 8-bit character set of AnsiString, its conversion
// to and from UTF-16 and UTF-8, and its case and character-class tables.
//
// Text stays in 1252 inside the program and is converted only at the edges
// (glyph lookup, the display server, file names). The five bytes 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so every byte survives a round trip; a Unicode character outside
// 1252 becomes the default character '?'.
#pragma once

#include <array>
#include <string_view>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

namespace win {

constexpr UINT CP_ACP = 0;  // the process code page, which is 1252
constexpr UINT CP_1252 = 1252;
constexpr UINT CP_UTF8 = 65001;

// MultiByteToWideChar: fail on a malformed UTF-8 sequence instead of
// writing U+FFFD.
constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
// WideCharToMultiByte: accepted; conversion never substitutes look-alikes.
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

// ERROR_INVALID_FLAGS is declared with the locale queries (Locale.h).
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

UINT GetACP();

// Converts cbMultiByte bytes (-1: up to and including the terminating zero)
// into lpWideCharStr. With cchWideChar 0 the answer is the length needed.
// Answers the number of UTF-16 units written, or 0 with the last error set
// (ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER, ERROR_INVALID_FLAGS,
// ERROR_NO_UNICODE_TRANSLATION).
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);

// The reverse. For 1252 a character without a byte becomes lpDefaultChar's
// first byte ('?' when null) and sets *lpUsedDefaultChar; for UTF-8 both
// must be null, and a lone surrogate is written as U+FFFD.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar);

// Case mapping in place; answers the number of bytes processed.
DWORD CharUpperBuffA(LPSTR lpsz, DWORD cchLength);
DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength);
// Maps a zero-terminated string in place and answers it. A "pointer" whose
// high 16 bits are zero carries one character in its low byte instead; the
// mapped character comes back the same way.
LPSTR CharUpperA(LPSTR lpsz);
LPSTR CharLowerA(LPSTR lpsz);

BOOL IsCharAlphaA(char ch);
BOOL IsCharAlphaNumericA(char ch);
BOOL IsCharUpperA(char ch);
BOOL IsCharLowerA(char ch);

// Single-byte code page: the next character is the next byte, except at
// the terminating zero, which is its own successor.
LPSTR CharNextA(LPCSTR lpsz);
BOOL IsDBCSLeadByte(BYTE TestChar);

}  // namespace win

// The tables behind the functions above, for code that maps per character
// in a hot loop, and the rules they are built from.
namespace orv::cp1252 {
// à..þ <-> À..Þ except ÷ and ×; š Š, œ Œ, ž Ž, ÿ Ÿ. ß, µ, ƒ, ª and º
// have no other case in 1252.
constexpr unsigned char ToUpper(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}
constexpr unsigned char ToLower(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

extern const std::array<char16_t, 256> ToUnicode;
extern const std::array<unsigned char, 256> UpperTable;
extern const std::array<unsigned char, 256> LowerTable;

// The 1252 byte of a UTF-16 unit, or -1 when 1252 has none.
int FromUnicode(char32_t ch);
}  // namespace orv::cp1252

inline char AnsiUpperChar(char c) {
  return static_cast<char>(orv::cp1252::UpperTable[static_cast<unsigned char>(c)]);
}
inline char AnsiLowerChar(char c) {
  return static_cast<char>(orv::cp1252::LowerTable[static_cast<unsigned char>(c)]);
}

// Whole-string conversions at the edges. Unmappable characters become '?';
// malformed UTF-8 becomes U+FFFD (wide) or '?' (1252), one per bad sequence.
WideString AnsiToWide(std::string_view s);
AnsiString WideToAnsi(std::u16string_view s);
AnsiString Utf8ToAnsi(std::string_view s);
std::string AnsiToUtf8(std::string_view s);
