#include "platform/rtl/Collation.h"

#include <array>
#include <cstring>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Locale.h"

namespace {

using orv::cp1252::UpperTable;

// The collation order. Each group below is one primary weight; the bytes
// of a group are listed in accent order and give the secondary weight.
// Upper-case letters are not listed: they take the weights of their lower
// case and a tertiary weight of 1. Control characters and the five
// undefined bytes come first, then blanks, in byte order.
constexpr const char* kBlanks = "\x09\x0A\x0B\x0C\x0D\x20\xA0";

constexpr const char* kSymbols[] = {
    "_", "-", "\xAD", "\x96", "\x97",                  // _ - soft-hyphen – —
    ",", ";", ":", "!", "\xA1", "?", "\xBF",           // , ; : ! ¡ ? ¿
    ".", "\x85", "\xB7",                               // . … ·
    "'", "\x91", "\x92", "\x82", "\x8B", "\x9B",       // ' ‘ ’ ‚ ‹ ›
    "\"", "\x93", "\x94", "\x84", "\xAB", "\xBB",      // " “ ” „ « »
    "(", ")", "[", "]", "{", "}",                      //
    "\xA7", "\xB6", "@", "*", "/", "\\", "&", "#",     // § ¶ @ * / \ & #
    "%", "\x89", "\x86", "\x87", "\x95",               // % ‰ † ‡ •
    "`", "\xB4", "^", "\x88", "\xA8", "~", "\x98",     // ` ´ ^ ˆ ¨ ~ ˜
    "\xAF", "\xB8", "\xB0", "\xA9", "\xAE", "\x99",    // ¯ ¸ ° © ® ™
    "+", "\xB1", "\xF7", "\xD7", "<", "=", ">",        // + ± ÷ × < = >
    "\xAC", "|", "\xA6",                               // ¬ | ¦
    "\xA4", "\xA2", "$", "\xA3", "\xA5", "\x80",       // ¤ ¢ $ £ ¥ €
    "\xBC", "\xBD", "\xBE",                            // ¼ ½ ¾
};

constexpr const char* kDigitsAndLetters[] = {
    "0", "1\xB9", "2\xB2", "3\xB3", "4", "5", "6", "7", "8", "9",
    "a\xAA\xE1\xE0\xE2\xE4\xE3\xE5",  // a ª á à â ä ã å
    "\xE6",                           // æ
    "b", "c\xE7", "d\xF0",            // ç ð
    "e\xE9\xE8\xEA\xEB",              // é è ê ë
    "f\x83",                          // ƒ
    "g", "h",
    "i\xED\xEC\xEE\xEF",              // í ì î ï
    "j", "k", "l", "m",
    "n\xF1",                          // ñ
    "o\xBA\xF3\xF2\xF4\xF6\xF5\xF8",  // º ó ò ô ö õ ø
    "\x9C",                           // œ
    "p", "q", "r",
    "s\x9A",                          // š
    "\xDF",                           // ß
    "t",
    "u\xFA\xF9\xFB\xFC",              // ú ù û ü
    "v", "w", "x",
    "y\xFD\xFF",                      // ý ÿ
    "z\x9E",                          // ž
    "\xFE",                           // þ
    "\xB5",                           // µ
};

struct Weights {
  std::array<unsigned short, 256> Primary{};
  std::array<unsigned char, 256> Secondary{};
  std::array<unsigned char, 256> Tertiary{};
  bool Complete = false;  // every byte placed exactly once
};

constexpr bool IsControl(int b) {
  return b < 0x09 || (b > 0x0D && b < 0x20) || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 ||
         b == 0x9D;
}

constexpr Weights BuildWeights() {
  Weights w;
  std::array<int, 256> placed{};
  unsigned short next = 1;
  auto group = [&](const char* bytes) {
    unsigned char accent = 0;
    for (const char* p = bytes; *p; ++p) {
      auto b = static_cast<unsigned char>(*p);
      ++placed[b];
      w.Primary[b] = next;
      w.Secondary[b] = accent++;
    }
    ++next;
  };
  for (int b = 0; b < 256; ++b)
    if (IsControl(b)) {
      ++placed[b];
      w.Primary[b] = next++;
    }
  for (const char* p = kBlanks; *p; ++p) {
    char one[2] = {*p, 0};
    group(one);
  }
  for (const char* g : kSymbols) group(g);
  for (const char* g : kDigitsAndLetters) group(g);
  for (int b = 0; b < 256; ++b) {
    int lower = orv::cp1252::ToLower(static_cast<unsigned char>(b));
    if (lower != b) {
      ++placed[b];
      w.Primary[b] = w.Primary[lower];
      w.Secondary[b] = w.Secondary[lower];
      w.Tertiary[b] = 1;
    }
  }
  w.Complete = true;
  for (int n : placed)
    if (n != 1) w.Complete = false;
  return w;
}

constexpr Weights kWeights = BuildWeights();
static_assert(kWeights.Complete, "every byte needs exactly one place in the collation");

}  // namespace

namespace orv {

int CollateAnsi(std::string_view s1, std::string_view s2, bool ignoreCase) {
  auto* a = reinterpret_cast<const unsigned char*>(s1.data());
  auto* b = reinterpret_cast<const unsigned char*>(s2.data());
  std::size_t na = s1.size(), nb = s2.size();
  std::size_t n = na < nb ? na : nb;
  // Equal bytes weigh the same on every level, so the common prefix is
  // skipped once for all levels.
  std::size_t start = 0;
  while (start < n && a[start] == b[start]) ++start;
  if (start == n) return na == nb ? 0 : (na < nb ? -1 : 1);

  const auto& P = kWeights.Primary;
  for (std::size_t i = start; i < n; ++i)
    if (P[a[i]] != P[b[i]]) return P[a[i]] < P[b[i]] ? -1 : 1;
  if (na != nb) return na < nb ? -1 : 1;

  const auto& S = kWeights.Secondary;
  for (std::size_t i = start; i < n; ++i)
    if (S[a[i]] != S[b[i]]) return S[a[i]] < S[b[i]] ? -1 : 1;

  if (!ignoreCase) {
    const auto& T = kWeights.Tertiary;
    for (std::size_t i = start; i < n; ++i)
      if (T[a[i]] != T[b[i]]) return T[a[i]] < T[b[i]] ? -1 : 1;
    return a[start] < b[start] ? -1 : 1;
  }
  for (std::size_t i = start; i < n; ++i)
    if (UpperTable[a[i]] != UpperTable[b[i]]) return UpperTable[a[i]] < UpperTable[b[i]] ? -1 : 1;
  return 0;
}

}  // namespace orv

namespace win {

int CompareStringA(LCID, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2, int cchCount2) {
  if (dwCmpFlags & ~NORM_IGNORECASE) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if ((!lpString1 && cchCount1 != 0) || (!lpString2 && cchCount2 != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view s1 = !lpString1 ? std::string_view() : cchCount1 < 0 ? std::string_view(lpString1)
                                                                        : std::string_view(lpString1, cchCount1);
  std::string_view s2 = !lpString2 ? std::string_view() : cchCount2 < 0 ? std::string_view(lpString2)
                                                                        : std::string_view(lpString2, cchCount2);
  int r = orv::CollateAnsi(s1, s2, (dwCmpFlags & NORM_IGNORECASE) != 0);
  return r < 0 ? CSTR_LESS_THAN : r > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

}  // namespace win

Integer AnsiCompareStr(std::string_view S1, std::string_view S2) {
  int r = orv::CollateAnsi(S1, S2, false);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

Integer AnsiCompareText(std::string_view S1, std::string_view S2) {
  int r = orv::CollateAnsi(S1, S2, true);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

bool AnsiSameStr(std::string_view S1, std::string_view S2) { return S1 == S2; }

bool AnsiSameText(std::string_view S1, std::string_view S2) {
  if (S1.size() != S2.size()) return false;
  for (std::size_t i = 0; i < S1.size(); ++i)
    if (UpperTable[static_cast<unsigned char>(S1[i])] != UpperTable[static_cast<unsigned char>(S2[i])]) return false;
  return true;
}

AnsiString AnsiUpperCase(std::string_view S) {
  AnsiString r(S);
  for (char& c : r) c = AnsiUpperChar(c);
  return r;
}

AnsiString AnsiLowerCase(std::string_view S) {
  AnsiString r(S);
  for (char& c : r) c = AnsiLowerChar(c);
  return r;
}

namespace {
inline unsigned char AsciiUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
inline unsigned char AsciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
// Clamped, so that strings longer than 2 GiB cannot flip the sign.
Integer LengthDifference(std::string_view S1, std::string_view S2) {
  Int64 d = static_cast<Int64>(S1.size()) - static_cast<Int64>(S2.size());
  return d > INT32_MAX ? INT32_MAX : d < -INT32_MAX ? -INT32_MAX : static_cast<Integer>(d);
}
}  // namespace

Integer CompareStr(std::string_view S1, std::string_view S2) {
  std::size_t n = S1.size() < S2.size() ? S1.size() : S2.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto a = static_cast<unsigned char>(S1[i]), b = static_cast<unsigned char>(S2[i]);
    if (a != b) return Integer(a) - Integer(b);
  }
  return LengthDifference(S1, S2);
}

Integer CompareText(std::string_view S1, std::string_view S2) {
  std::size_t n = S1.size() < S2.size() ? S1.size() : S2.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto a = AsciiUpper(static_cast<unsigned char>(S1[i])), b = AsciiUpper(static_cast<unsigned char>(S2[i]));
    if (a != b) return Integer(a) - Integer(b);
  }
  return LengthDifference(S1, S2);
}

bool SameText(std::string_view S1, std::string_view S2) {
  if (S1.size() != S2.size()) return false;
  return CompareText(S1, S2) == 0;
}

AnsiString UpperCase(std::string_view S) {
  AnsiString r(S);
  for (char& c : r) c = static_cast<char>(AsciiUpper(static_cast<unsigned char>(c)));
  return r;
}

AnsiString LowerCase(std::string_view S) {
  AnsiString r(S);
  for (char& c : r) c = static_cast<char>(AsciiLower(static_cast<unsigned char>(c)));
  return r;
}
