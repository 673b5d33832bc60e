// What crosses the display's edge without a display: key symbols to
// virtual keys, characters to 1252, window names and clipboard text
// between 1252 (CR LF) and UTF-8 or Latin-1 (LF).
#include <gtest/gtest.h>

#include "platform/win/Keyboard.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Text.h"

using namespace win;
using namespace win::x11;

namespace {

struct Expect {
  unsigned long keysym;
  const char* name;
  BYTE vk;
  bool extended;
};

TEST(X11Keys, SymbolsNameTheVirtualKeysOfTheStandardLayout) {
  const Expect table[] = {
      {0x0061, "a", 'A', false},           {0x005A, "Z", 'Z', false},
      {0x0037, "7", '7', false},           {0xFFBE, "F1", VK_F1, false},
      {0xFFC9, "F12", VK_F12, false},      {0xFFD5, "F24", VK_F24, false},
      {0xFF0D, "Return", VK_RETURN, false}, {0xFF8D, "KP_Enter", VK_RETURN, true},
      {0xFF08, "BackSpace", VK_BACK, false}, {0xFF09, "Tab", VK_TAB, false},
      {0xFE20, "ISO_Left_Tab", VK_TAB, false}, {0xFF1B, "Escape", VK_ESCAPE, false},
      {0xFF51, "Left", VK_LEFT, true},     {0xFF96, "KP_Left", VK_LEFT, false},
      {0xFF50, "Home", VK_HOME, true},     {0xFF95, "KP_Home", VK_HOME, false},
      {0xFFFF, "Delete", VK_DELETE, true}, {0xFF9F, "KP_Delete", VK_DELETE, false},
      {0xFF55, "Prior", VK_PRIOR, true},   {0xFF56, "Next", VK_NEXT, true},
      {0xFFB0, "KP_0", VK_NUMPAD0, false}, {0xFFB9, "KP_9", VK_NUMPAD9, false},
      {0xFFAA, "KP_Multiply", VK_MULTIPLY, false}, {0xFFAF, "KP_Divide", VK_DIVIDE, true},
      {0xFFAE, "KP_Decimal", VK_DECIMAL, false},
      {0xFFE1, "Shift_L", VK_SHIFT, false}, {0xFFE2, "Shift_R", VK_SHIFT, false},
      {0xFFE3, "Control_L", VK_CONTROL, false}, {0xFFE4, "Control_R", VK_CONTROL, true},
      {0xFFE9, "Alt_L", VK_MENU, false},   {0xFFEA, "Alt_R", VK_MENU, true},
      {0xFE03, "ISO_Level3_Shift", VK_MENU, true},
      {0xFFE5, "Caps_Lock", VK_CAPITAL, false}, {0xFF7F, "Num_Lock", VK_NUMLOCK, true},
      {0xFFEB, "Super_L", VK_LWIN, true},  {0xFF67, "Menu", VK_APPS, true},
      {0x003B, "semicolon", VK_OEM_1, false}, {0x003D, "equal", VK_OEM_PLUS, false},
      {0x002C, "comma", VK_OEM_COMMA, false}, {0x002D, "minus", VK_OEM_MINUS, false},
      {0x002E, "period", VK_OEM_PERIOD, false}, {0x002F, "slash", VK_OEM_2, false},
      {0x0060, "grave", VK_OEM_3, false},  {0x005B, "bracketleft", VK_OEM_4, false},
      {0x005C, "backslash", VK_OEM_5, false}, {0x005D, "bracketright", VK_OEM_6, false},
      {0x0027, "apostrophe", VK_OEM_7, false}, {0x003C, "less", VK_OEM_102, false},
      // Dead keys where the standard layout has what their accents look like.
      {0xFE51, "dead_acute", VK_OEM_7, false}, {0xFE50, "dead_grave", VK_OEM_3, false},
  };
  for (const Expect& e : table) {
    BYTE vk = 0;
    bool extended = !e.extended;
    EXPECT_TRUE(KeysymToVirtualKey(e.keysym, vk, extended)) << e.name;
    EXPECT_EQ(vk, e.vk) << e.name;
    EXPECT_EQ(extended, e.extended) << e.name;
  }
  // Letters of other layouts have no key of their own: they arrive as the
  // characters they type.
  BYTE vk = 0;
  bool extended = false;
  EXPECT_FALSE(KeysymToVirtualKey(0x00E4 /* adiaeresis */, vk, extended));
  EXPECT_FALSE(KeysymToVirtualKey(0x0000, vk, extended));
}

TEST(X11Keys, CharactersEnterAs1252OrNotAtAll) {
  EXPECT_EQ(Utf8CharTo1252("a", 1), 'a');
  EXPECT_EQ(Utf8CharTo1252("\xC3\xA4", 2), 0xE4);      // ä
  EXPECT_EQ(Utf8CharTo1252("\xE2\x82\xAC", 3), 0x80);  // €
  EXPECT_EQ(Utf8CharTo1252("\xC5\x93", 2), 0x9C);      // œ
  EXPECT_EQ(Utf8CharTo1252("\xD0\x96", 2), -1);        // Cyrillic: not in 1252
  EXPECT_EQ(Utf8CharTo1252("\xF0\x9F\x98\x80", 4), -1);
  EXPECT_EQ(Utf8CharTo1252("ab", 2), -1);              // two characters are not one
  EXPECT_EQ(Utf8CharTo1252("\xC3", 1), -1);            // cut short
  EXPECT_EQ(Utf8CharTo1252("\xC3(", 2), -1);           // not a continuation
  EXPECT_EQ(Utf8CharTo1252("", 0), -1);

  EXPECT_EQ(KeysymToUnicode(0x00E9), U'\u00E9');
  EXPECT_EQ(KeysymToUnicode(0x20AC), U'\u20AC');        // EuroSign
  EXPECT_EQ(KeysymToUnicode(0x01000416), U'\u0416');    // a Unicode key symbol
  EXPECT_EQ(KeysymToUnicode(0xFFB5), U'5');             // KP_5
  EXPECT_EQ(KeysymToUnicode(0xFF0D), U'\r');
  EXPECT_EQ(KeysymToUnicode(0xFF51), 0u);               // Left types nothing
}

TEST(X11Text, WindowNamesInUtf8AndLatin1) {
  EXPECT_EQ(TitleUtf8("Caf\xE9 \x80 \x93x\x94"), "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
  // Latin-1 has é but neither the euro sign nor curly quotes.
  EXPECT_EQ(TitleLatin1("Caf\xE9 \x80 \x93x\x94"), "Caf\xE9 ? ?x?");
  EXPECT_EQ(TitleLatin1(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(X11Text, ClipboardTextRoundTripsWithLineEnds) {
  std::string inside = "Stra\xDF" "e\r\n\x80 5\r\nend";
  std::string utf8 = ClipboardToUtf8(inside);
  EXPECT_EQ(utf8, "Stra\xC3\x9F" "e\n\xE2\x82\xAC 5\nend");
  EXPECT_EQ(ClipboardFromUtf8(utf8), inside);
  // Line ends of every kind come in as CR LF; a CR alone stays.
  EXPECT_EQ(ClipboardFromUtf8("a\nb\r\nc\rd"), "a\r\nb\r\nc\rd");
  // Characters 1252 lacks become '?', one each, never a broken byte.
  EXPECT_EQ(ClipboardFromUtf8("\xD0\x96\xD0\x96!"), "?" "?!");

  EXPECT_EQ(ClipboardToLatin1(inside), "Stra\xDF" "e\n? 5\nend");
  // Latin-1's control range means other characters in 1252: dropped to '?'.
  EXPECT_EQ(ClipboardFromLatin1("caf\xE9\n\x85"), "caf\xE9\r\n?");
}

}  // namespace
