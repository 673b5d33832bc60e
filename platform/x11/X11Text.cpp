#include "platform/x11/X11Text.h"

#include "platform/rtl/CodePage.h"

namespace win::x11 {
namespace {

std::string WithoutCr(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
  return out;
}

// A lone LF becomes CR LF; a CR LF already there stays as it is.
std::string WithCr(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out.push_back('\r');
    out.push_back(s[i]);
  }
  return out;
}

}  // namespace

std::string TitleUtf8(const std::string& text1252) { return AnsiToUtf8(text1252); }

std::string TitleLatin1(const std::string& text1252) {
  std::string out;
  out.reserve(text1252.size());
  for (char c : text1252) {
    char16_t u = orv::cp1252::ToUnicode[static_cast<unsigned char>(c)];
    out.push_back(u < 0x80 || (u >= 0xA0 && u < 0x100) ? static_cast<char>(u) : '?');
  }
  return out;
}

std::string ClipboardToUtf8(const std::string& text1252) { return AnsiToUtf8(WithoutCr(text1252)); }

std::string ClipboardFromUtf8(const std::string& utf8) { return WithCr(Utf8ToAnsi(utf8)); }

std::string ClipboardToLatin1(const std::string& text1252) { return TitleLatin1(WithoutCr(text1252)); }

std::string ClipboardFromLatin1(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char c : latin1) {
    // Latin-1's C1 controls have no place in 1252 text: 0x80..0x9F are
    // other characters there.
    unsigned char b = static_cast<unsigned char>(c);
    out.push_back(b >= 0x80 && b < 0xA0 ? '?' : c);
  }
  return WithCr(out);
}

}  // namespace win::x11
