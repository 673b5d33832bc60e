// Text at the display's edge: the program keeps code page 1252, X speaks
// UTF-8 (window names, the clipboard's UTF8_STRING) and Latin-1 (WM_NAME,
// STRING). Clipboard text also changes line ends: CR LF inside, LF outside.
#pragma once

#include <string>

namespace win::x11 {

std::string TitleUtf8(const std::string& text1252);
// Characters Latin-1 lacks (the euro sign, curly quotes) become '?'.
std::string TitleLatin1(const std::string& text1252);

// CF_TEXT bytes (1252, CR LF) to UTF-8 with LF line ends, and back.
std::string ClipboardToUtf8(const std::string& text1252);
std::string ClipboardFromUtf8(const std::string& utf8);
// STRING targets are Latin-1 with LF line ends.
std::string ClipboardToLatin1(const std::string& text1252);
std::string ClipboardFromLatin1(const std::string& latin1);

}  // namespace win::x11
