// The rich edit's text queries: the text and its length in the forms the
// extended messages ask for, and finding text.
#include <algorithm>
#include <cstring>

#include "platform/controls/RichEditState.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"

namespace win::rich {
namespace {

// The answer to a length asked in two contradicting ways.
constexpr LRESULT kInvalidArgument = static_cast<LRESULT>(static_cast<std::int32_t>(0x80070057u));

bool IsSelf(UINT codepage) { return codepage == CP_ACP || codepage == CP_1252; }

// The text with every CR LF as one CR, unless CR LF is asked for.
std::string WithBreaks(std::string_view text, bool crlf) {
  if (crlf) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

bool IsWordChar(char c) { return c == '_' || IsCharAlphaNumericA(c); }

}  // namespace

LRESULT GetTextLengthEx(HWND hwnd, const GETTEXTLENGTHEX* how) {
  const std::string_view text = detail::EditTextOf(hwnd);
  const DWORD flags = how ? how->flags : GTL_DEFAULT;
  const UINT codepage = how ? how->codepage : CP_ACP;
  if ((flags & GTL_PRECISE) && (flags & GTL_CLOSE)) return kInvalidArgument;
  if ((flags & GTL_NUMCHARS) && (flags & GTL_NUMBYTES)) return kInvalidArgument;
  // The count is exact whichever is asked: every character is one byte.
  auto length = static_cast<LRESULT>(text.size());
  if (!(flags & GTL_USECRLF)) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
      if (text[i] == '\r' && text[i + 1] == '\n') --length, ++i;
  }
  if ((flags & GTL_NUMBYTES) && codepage == CP_UTF16) length *= 2;
  return length;
}

LRESULT GetTextEx(HWND hwnd, const GETTEXTEX* how, char* buffer) {
  if (!how || !buffer || how->cb == 0) return 0;
  if (!IsSelf(how->codepage) && how->codepage != CP_UTF16) return 0;
  std::string_view text = detail::EditTextOf(hwnd);
  if (how->flags & GT_SELECTION) {
    DWORD a = 0, b = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    text = text.substr(std::min<std::size_t>(a, text.size()), b > a ? b - a : 0);
  }
  const std::string out = WithBreaks(text, (how->flags & GT_USECRLF) != 0);
  if (how->codepage == CP_UTF16) {
    // cb counts bytes; each character takes two, and so does the NUL.
    const std::size_t room = how->cb / 2;
    if (room == 0) return 0;
    const std::size_t n = std::min(out.size(), room - 1);
    for (std::size_t i = 0; i < n; ++i) {
      const char16_t unit = orv::cp1252::ToUnicode[static_cast<unsigned char>(out[i])];
      std::memcpy(buffer + 2 * i, &unit, sizeof unit);
    }
    std::memset(buffer + 2 * n, 0, 2);
    if (how->lpUsedDefChar) *how->lpUsedDefChar = FALSE;
    return static_cast<LRESULT>(n);
  }
  const std::size_t n = std::min<std::size_t>(out.size(), how->cb - 1);
  std::memcpy(buffer, out.data(), n);
  buffer[n] = '\0';
  if (how->lpUsedDefChar) *how->lpUsedDefChar = FALSE;
  return static_cast<LRESULT>(n);
}

// Searches chrg for the text: downwards from cpMin to cpMax (-1: the
// end), or, without FR_DOWN, upwards from cpMin back to cpMax (-1: the
// start). Answers where it was found, or -1.
LRESULT FindText(HWND hwnd, WPARAM flags, FINDTEXTEXA* find) {
  if (!find) return -1;
  find->chrgText = {-1, -1};
  if (!find->lpstrText || !*find->lpstrText) return -1;
  const std::string_view text = detail::EditTextOf(hwnd);
  const std::string_view needle(find->lpstrText);
  const auto len = static_cast<long long>(text.size());
  const auto n = static_cast<long long>(needle.size());
  const bool down = (flags & FR_DOWN) != 0;
  const bool matchCase = (flags & FR_MATCHCASE) != 0;
  const bool wholeWord = (flags & FR_WHOLEWORD) != 0;
  auto clampOr = [&](long long v, long long missing) { return v < 0 || v > len ? missing : v; };
  const long long a = clampOr(find->chrg.cpMin, len);
  const long long b = clampOr(find->chrg.cpMax, down ? len : 0);
  // Down: matches inside [cpMin, cpMax); up: inside [cpMax, cpMin).
  const long long lo = down ? a : b;
  const long long hi = down ? b : a;
  auto matchesAt = [&](long long p) {
    for (long long k = 0; k < n; ++k) {
      const char c = text[static_cast<std::size_t>(p + k)];
      const char d = needle[static_cast<std::size_t>(k)];
      if (matchCase ? c != d : AnsiUpperChar(c) != AnsiUpperChar(d)) return false;
    }
    if (!wholeWord) return true;
    const bool before = p > 0 && IsWordChar(text[static_cast<std::size_t>(p - 1)]);
    const bool after = p + n < len && IsWordChar(text[static_cast<std::size_t>(p + n)]);
    return !before && !after;
  };
  if (down) {
    for (long long p = lo; p + n <= hi; ++p)
      if (matchesAt(p)) {
        find->chrgText = {static_cast<LONG>(p), static_cast<LONG>(p + n)};
        return static_cast<LRESULT>(p);
      }
  } else {
    for (long long p = hi - n; p >= lo; --p)
      if (matchesAt(p)) {
        find->chrgText = {static_cast<LONG>(p), static_cast<LONG>(p + n)};
        return static_cast<LRESULT>(p);
      }
  }
  return -1;
}

}  // namespace win::rich
