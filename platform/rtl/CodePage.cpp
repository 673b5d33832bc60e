#include "platform/rtl/CodePage.h"

#include <array>
#include <climits>
#include <cstring>

#include "platform/rtl/Locale.h"

namespace orv::cp1252 {

namespace {

// 0x80..0x9F; the five undefined bytes keep their C1 value.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

constexpr std::array<char16_t, 256> MakeToUnicode() {
  std::array<char16_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char16_t>(i);
  for (int i = 0; i < 32; ++i) t[0x80 + i] = HighControls[i];
  return t;
}

enum : unsigned char { kAlpha = 1, kUpper = 2, kLower = 4, kDigit = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = kAlpha | kUpper;
  for (int c = 'a'; c <= 'z'; ++c) t[c] = kAlpha | kLower;
  for (int c = '0'; c <= '9'; ++c) t[c] = kDigit;
  for (int c = 0xC0; c <= 0xDE; ++c) t[c] = kAlpha | kUpper;  // À..Þ
  for (int c = 0xDF; c <= 0xFF; ++c) t[c] = kAlpha | kLower;  // ß..ÿ
  t[0xD7] = 0;                                                  // ×
  t[0xF7] = 0;                                                  // ÷
  for (int c : {0x8A, 0x8C, 0x8E, 0x9F}) t[c] = kAlpha | kUpper;  // Š Œ Ž Ÿ
  for (int c : {0x83, 0x9A, 0x9C, 0x9E, 0xB5}) t[c] = kAlpha | kLower;  // ƒ š œ ž µ
  for (int c : {0xAA, 0xBA}) t[c] = kAlpha;  // ª º: letters without case
  return t;
}

constexpr auto Classes = MakeClasses();

constexpr std::array<unsigned char, 256> MakeTable(unsigned char (*map)(unsigned char)) {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = map(static_cast<unsigned char>(i));
  return t;
}

}  // namespace

extern constexpr std::array<char16_t, 256> ToUnicode = MakeToUnicode();
extern constexpr std::array<unsigned char, 256> UpperTable = MakeTable(ToUpper);
extern constexpr std::array<unsigned char, 256> LowerTable = MakeTable(ToLower);

int FromUnicode(char32_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<int>(ch);
  for (int i = 0; i < 32; ++i)
    if (HighControls[i] == ch) return 0x80 + i;
  return -1;
}

}  // namespace orv::cp1252

namespace {

using namespace orv::cp1252;

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 character at p (p < end) and advances p. A malformed
// sequence answers kInvalid and consumes its longest well-formed prefix
// (at least one byte), so each bad sequence is reported once.
char32_t DecodeUtf8(const unsigned char*& p, const unsigned char* end) {
  unsigned b0 = *p++;
  if (b0 < 0x80) return b0;
  int more;
  unsigned lo = 0x80, hi = 0xBF;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    more = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    more = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;         // no overlong forms
    if (b0 == 0xED) hi = 0x9F;         // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    more = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;         // nothing above U+10FFFF
  } else {
    return kInvalid;
  }
  for (int i = 0; i < more; ++i) {
    if (p == end || *p < lo || *p > hi) return kInvalid;
    cp = cp << 6 | (*p++ & 0x3F);
    lo = 0x80;
    hi = 0xBF;
  }
  return cp;
}

// Decodes one code point of UTF-16; a lone surrogate answers kInvalid.
char32_t DecodeUtf16(const char16_t*& p, const char16_t* end) {
  char32_t u = *p++;
  if (u < 0xD800 || u > 0xDFFF) return u;
  if (u <= 0xDBFF && p != end && *p >= 0xDC00 && *p <= 0xDFFF) return 0x10000 + ((u - 0xD800) << 10) + (*p++ - 0xDC00);
  return kInvalid;
}

template <class Out>
void EncodeUtf8(char32_t cp, Out&& out) {
  if (cp < 0x80) {
    out(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out(static_cast<char>(0xC0 | cp >> 6));
    out(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out(static_cast<char>(0xE0 | cp >> 12));
    out(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out(static_cast<char>(0xF0 | cp >> 18));
    out(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsAnsiPage(win::UINT cp) { return cp == win::CP_ACP || cp == win::CP_1252; }

int Fail(win::DWORD code) {
  win::SetLastError(code);
  return 0;
}

// Collects output units into a caller's buffer, or only counts them when
// the buffer size is 0. Overflow of the buffer or of int is remembered.
template <class T>
struct Sink {
  T* Buf;
  int Cap;
  int Count = 0;
  bool Overflow = false;
  void operator()(T v) {
    if (Overflow) return;
    if (Cap) {
      if (Count >= Cap) {
        Overflow = true;
        return;
      }
      Buf[Count] = v;
    } else if (Count == INT_MAX) {
      Overflow = true;
      return;
    }
    ++Count;
  }
};

}  // namespace

namespace win {

UINT GetACP() { return CP_1252; }

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (!IsAnsiPage(CodePage) && CodePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr) ||
      static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
    return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowed = CodePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
  if (dwFlags & ~allowed) return Fail(ERROR_INVALID_FLAGS);

  std::size_t n = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  auto* p = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  auto* end = p + n;
  Sink<char16_t> out{lpWideCharStr, cchWideChar};
  if (CodePage == CP_UTF8) {
    while (p != end && !out.Overflow) {
      char32_t cp = DecodeUtf8(p, end);
      if (cp == kInvalid) {
        if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
        cp = kReplacement;
      }
      if (cp >= 0x10000) {
        out(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
      } else {
        out(static_cast<char16_t>(cp));
      }
    }
  } else {
    while (p != end && !out.Overflow) out(ToUnicode[*p++]);
  }
  if (out.Overflow) return Fail(cchWideChar ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER);
  return out.Count;
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar) {
  if (!IsAnsiPage(CodePage) && CodePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr) ||
      static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8) {
    if (dwFlags) return Fail(ERROR_INVALID_FLAGS);
    if (lpDefaultChar || lpUsedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
  } else if (dwFlags & ~WC_NO_BEST_FIT_CHARS) {
    return Fail(ERROR_INVALID_FLAGS);
  }

  std::size_t n = cchWideChar;
  if (cchWideChar == -1) {
    n = 0;
    while (lpWideCharStr[n]) ++n;
    ++n;
  }
  const char16_t* p = lpWideCharStr;
  const char16_t* end = p + n;
  Sink<char> out{lpMultiByteStr, cbMultiByte};
  bool usedDefault = false;
  char defaultChar = lpDefaultChar ? *lpDefaultChar : '?';
  while (p != end && !out.Overflow) {
    char32_t cp = DecodeUtf16(p, end);
    if (CodePage == CP_UTF8) {
      EncodeUtf8(cp == kInvalid ? kReplacement : cp, out);
    } else {
      int b = cp == kInvalid ? -1 : FromUnicode(cp);
      if (b < 0) {
        usedDefault = true;
        out(defaultChar);
      } else {
        out(static_cast<char>(b));
      }
    }
  }
  if (out.Overflow) return Fail(cbMultiByte ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  return out.Count;
}

DWORD CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = AnsiUpperChar(lpsz[i]);
  return cchLength;
}

DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = AnsiLowerChar(lpsz[i]);
  return cchLength;
}

namespace {
// Addresses below 64 KiB are never mapped, so such a value can only be a
// character in disguise.
bool IsCharInPointer(LPSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

LPSTR MapCharOrString(LPSTR p, const unsigned char* table) {
  if (IsCharInPointer(p)) {
    auto c = static_cast<unsigned char>(reinterpret_cast<std::uintptr_t>(p) & 0xFF);
    return reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(table[c]));
  }
  for (char* q = p; *q; ++q) *q = static_cast<char>(table[static_cast<unsigned char>(*q)]);
  return p;
}
}  // namespace

LPSTR CharUpperA(LPSTR lpsz) { return MapCharOrString(lpsz, UpperTable.data()); }
LPSTR CharLowerA(LPSTR lpsz) { return MapCharOrString(lpsz, LowerTable.data()); }

BOOL IsCharAlphaA(char ch) { return (Classes[static_cast<unsigned char>(ch)] & kAlpha) != 0; }
BOOL IsCharAlphaNumericA(char ch) { return (Classes[static_cast<unsigned char>(ch)] & (kAlpha | kDigit)) != 0; }
BOOL IsCharUpperA(char ch) { return (Classes[static_cast<unsigned char>(ch)] & kUpper) != 0; }
BOOL IsCharLowerA(char ch) { return (Classes[static_cast<unsigned char>(ch)] & kLower) != 0; }

LPSTR CharNextA(LPCSTR lpsz) {
  if (!lpsz) return nullptr;
  return const_cast<LPSTR>(*lpsz ? lpsz + 1 : lpsz);
}

BOOL IsDBCSLeadByte(BYTE) { return FALSE; }

}  // namespace win

WideString AnsiToWide(std::string_view s) {
  WideString w(s.size(), u'\0');
  for (std::size_t i = 0; i < s.size(); ++i) w[i] = ToUnicode[static_cast<unsigned char>(s[i])];
  return w;
}

AnsiString WideToAnsi(std::u16string_view s) {
  AnsiString a;
  a.reserve(s.size());
  const char16_t* p = s.data();
  const char16_t* end = p + s.size();
  while (p != end) {
    char32_t cp = DecodeUtf16(p, end);
    int b = cp == kInvalid ? -1 : FromUnicode(cp);
    a.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return a;
}

AnsiString Utf8ToAnsi(std::string_view s) {
  AnsiString a;
  a.reserve(s.size());
  auto* p = reinterpret_cast<const unsigned char*>(s.data());
  auto* end = p + s.size();
  while (p != end) {
    char32_t cp = DecodeUtf8(p, end);
    int b = cp == kInvalid ? -1 : FromUnicode(cp);
    a.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return a;
}

std::string AnsiToUtf8(std::string_view s) {
  std::string u;
  u.reserve(s.size() + s.size() / 4);
  for (char c : s) EncodeUtf8(ToUnicode[static_cast<unsigned char>(c)], [&](char b) { u.push_back(b); });
  return u;
}
