// Keys from X: a key's symbol at the first level names its virtual key
// (letters, digits, function keys, keypad, navigation, modifiers, the OEM
// punctuation of the standard layout, dead keys by their accents); the
// character it types comes from the input method and enters as 1252.
#pragma once

#include "platform/win/Handles.h"

namespace win::x11 {

// False for a symbol without a virtual key. extended marks the keys of the
// navigation block, the right-hand modifiers and keypad Enter and divide.
bool KeysymToVirtualKey(unsigned long keysym, BYTE& vk, bool& extended);
// The Unicode character of a key symbol (0: none), for servers without an
// input method.
char32_t KeysymToUnicode(unsigned long keysym);
// A UTF-8 sequence of one character as its 1252 byte; -1 when it is not a
// single character or 1252 has none.
int Utf8CharTo1252(const char* utf8, int length);

}  // namespace win::x11
