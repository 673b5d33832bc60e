// Virtual keys and the key-state tables. Two tables are kept: the state
// as of the message being handled (GetKeyState: it changes only when a key
// message is retrieved) and the state now (GetAsyncKeyState: it changes as
// input arrives). The high bit of an entry means down, the low bit the
// toggle (Caps Lock on, for example). Letters and digits are their ASCII
// upper-case codes. VK_PACKET carries a character that has no key of its
// own in the scan-code field; TranslateMessage turns it into WM_CHAR.
#pragma once

#include <optional>
#include <string>

#include "platform/win/Handles.h"

namespace win {

constexpr BYTE VK_LBUTTON = 0x01;
constexpr BYTE VK_RBUTTON = 0x02;
constexpr BYTE VK_CANCEL = 0x03;
constexpr BYTE VK_MBUTTON = 0x04;
constexpr BYTE VK_XBUTTON1 = 0x05;
constexpr BYTE VK_XBUTTON2 = 0x06;
constexpr BYTE VK_BACK = 0x08;
constexpr BYTE VK_TAB = 0x09;
constexpr BYTE VK_CLEAR = 0x0C;
constexpr BYTE VK_RETURN = 0x0D;
constexpr BYTE VK_SHIFT = 0x10;
constexpr BYTE VK_CONTROL = 0x11;
constexpr BYTE VK_MENU = 0x12;
constexpr BYTE VK_PAUSE = 0x13;
constexpr BYTE VK_CAPITAL = 0x14;
constexpr BYTE VK_ESCAPE = 0x1B;
constexpr BYTE VK_SPACE = 0x20;
constexpr BYTE VK_PRIOR = 0x21;
constexpr BYTE VK_NEXT = 0x22;
constexpr BYTE VK_END = 0x23;
constexpr BYTE VK_HOME = 0x24;
constexpr BYTE VK_LEFT = 0x25;
constexpr BYTE VK_UP = 0x26;
constexpr BYTE VK_RIGHT = 0x27;
constexpr BYTE VK_DOWN = 0x28;
constexpr BYTE VK_SELECT = 0x29;
constexpr BYTE VK_PRINT = 0x2A;
constexpr BYTE VK_EXECUTE = 0x2B;
constexpr BYTE VK_SNAPSHOT = 0x2C;
constexpr BYTE VK_INSERT = 0x2D;
constexpr BYTE VK_DELETE = 0x2E;
constexpr BYTE VK_HELP = 0x2F;
constexpr BYTE VK_LWIN = 0x5B;
constexpr BYTE VK_RWIN = 0x5C;
constexpr BYTE VK_APPS = 0x5D;
constexpr BYTE VK_SLEEP = 0x5F;
constexpr BYTE VK_NUMPAD0 = 0x60;
constexpr BYTE VK_NUMPAD1 = 0x61;
constexpr BYTE VK_NUMPAD2 = 0x62;
constexpr BYTE VK_NUMPAD3 = 0x63;
constexpr BYTE VK_NUMPAD4 = 0x64;
constexpr BYTE VK_NUMPAD5 = 0x65;
constexpr BYTE VK_NUMPAD6 = 0x66;
constexpr BYTE VK_NUMPAD7 = 0x67;
constexpr BYTE VK_NUMPAD8 = 0x68;
constexpr BYTE VK_NUMPAD9 = 0x69;
constexpr BYTE VK_MULTIPLY = 0x6A;
constexpr BYTE VK_ADD = 0x6B;
constexpr BYTE VK_SEPARATOR = 0x6C;
constexpr BYTE VK_SUBTRACT = 0x6D;
constexpr BYTE VK_DECIMAL = 0x6E;
constexpr BYTE VK_DIVIDE = 0x6F;
constexpr BYTE VK_F1 = 0x70;
constexpr BYTE VK_F2 = 0x71;
constexpr BYTE VK_F3 = 0x72;
constexpr BYTE VK_F4 = 0x73;
constexpr BYTE VK_F5 = 0x74;
constexpr BYTE VK_F6 = 0x75;
constexpr BYTE VK_F7 = 0x76;
constexpr BYTE VK_F8 = 0x77;
constexpr BYTE VK_F9 = 0x78;
constexpr BYTE VK_F10 = 0x79;
constexpr BYTE VK_F11 = 0x7A;
constexpr BYTE VK_F12 = 0x7B;
constexpr BYTE VK_F13 = 0x7C;
constexpr BYTE VK_F14 = 0x7D;
constexpr BYTE VK_F15 = 0x7E;
constexpr BYTE VK_F16 = 0x7F;
constexpr BYTE VK_F17 = 0x80;
constexpr BYTE VK_F18 = 0x81;
constexpr BYTE VK_F19 = 0x82;
constexpr BYTE VK_F20 = 0x83;
constexpr BYTE VK_F21 = 0x84;
constexpr BYTE VK_F22 = 0x85;
constexpr BYTE VK_F23 = 0x86;
constexpr BYTE VK_F24 = 0x87;
constexpr BYTE VK_NUMLOCK = 0x90;
constexpr BYTE VK_SCROLL = 0x91;
constexpr BYTE VK_LSHIFT = 0xA0;
constexpr BYTE VK_RSHIFT = 0xA1;
constexpr BYTE VK_LCONTROL = 0xA2;
constexpr BYTE VK_RCONTROL = 0xA3;
constexpr BYTE VK_LMENU = 0xA4;
constexpr BYTE VK_RMENU = 0xA5;
constexpr BYTE VK_OEM_1 = 0xBA;
constexpr BYTE VK_OEM_PLUS = 0xBB;
constexpr BYTE VK_OEM_COMMA = 0xBC;
constexpr BYTE VK_OEM_MINUS = 0xBD;
constexpr BYTE VK_OEM_PERIOD = 0xBE;
constexpr BYTE VK_OEM_2 = 0xBF;
constexpr BYTE VK_OEM_3 = 0xC0;
constexpr BYTE VK_OEM_4 = 0xDB;
constexpr BYTE VK_OEM_5 = 0xDC;
constexpr BYTE VK_OEM_6 = 0xDD;
constexpr BYTE VK_OEM_7 = 0xDE;
constexpr BYTE VK_OEM_8 = 0xDF;
constexpr BYTE VK_OEM_102 = 0xE2;
constexpr BYTE VK_PROCESSKEY = 0xE5;
constexpr BYTE VK_PACKET = 0xE7;

SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);   // 256 entries
BOOL SetKeyboardState(const BYTE* state);
BOOL MessageBeep(UINT type);

namespace detail {

// A key as it enters the input queue.
struct KeyInput {
  BYTE vk = 0;
  BYTE scan = 0;
  bool extended = false;
  bool down = true;
  char ch = 0;  // VK_PACKET only
  // A key down that types what the display's layout says rather than what
  // the standard layout's translation would (none, for the accented letter
  // after a dead key, the letter with the accent); a dead key types its
  // accent as a dead character.
  bool dead = false;
  std::optional<std::string> text;
};

// Records a key in the state of now and answers its message parameters
// (without the final routing).
struct QueuedKey {
  KeyInput key;
  bool wasDown = false;  // previous state (bit 30)
  DWORD time = 0;
};
QueuedKey AcceptKey(const KeyInput& key);
// The message (WM_KEYDOWN...) and lParam of a queued key; with apply the
// key also enters the handled-message state (it is being retrieved).
void RetrieveKey(const QueuedKey& key, UINT& message, LPARAM& lParam, bool apply);
// The character a key down makes in the current state, or -1 for none.
int CharFromKey(BYTE vk, BYTE scan);
// The key (and whether Shift) that types a character on the standard
// layout; vk 0 when it has none.
void KeyForChar(char ch, BYTE& vk, bool& shift);
BYTE ScanCode(BYTE vk);
// What the latest key down retrieved types, when the display's layout said
// (KeyInput::text): TranslateMessage gives it for that key's message.
std::optional<std::string> TypedByKey(BYTE vk, BYTE scan, bool& dead);
// Whether the last key retrieved went down and up with no other key in
// between (Alt alone opens the menu bar).
bool LastKeyWasAlone();
// Mouse buttons join the tables too.
void SetButtonState(int vk, bool down, bool async);
// A key pressed or let go while another program had the keyboard: both
// tables take its state as it is now, without a message.
void SyncKeyState(BYTE vk, bool down);
WPARAM MouseKeyFlags(bool async);
int BeepCount();

}  // namespace detail

}  // namespace win
