#include "platform/win/Keyboard.h"

#include <cstring>

#include "platform/rtl/Clock.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Messages.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

struct KeyState {
  BYTE now[256]{};
  BYTE handled[256]{};
  bool alone = false;
  int beeps = 0;
  KeyInput typed;  // the latest key down retrieved with text of its own
};

KeyState& S() {
  static KeyState s;
  return s;
}

// The generic key a left or right key also moves.
BYTE Generic(BYTE vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return 0;
  }
}

void Apply(BYTE* table, BYTE vk, bool down) {
  auto set = [&](BYTE k) {
    if (down) {
      if (!(table[k] & 0x80)) table[k] ^= 0x01;
      table[k] |= 0x80;
    } else {
      table[k] &= static_cast<BYTE>(~0x80);
    }
  };
  set(vk);
  if (BYTE g = Generic(vk)) {
    // The generic key is down while either side is.
    if (down) set(g);
    else {
      BYTE l = g == VK_SHIFT ? VK_LSHIFT : g == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
      if (!(table[l] & 0x80) && !(table[l + 1] & 0x80)) set(g);
    }
  }
}

bool Down(const BYTE* t, BYTE vk) { return (t[vk] & 0x80) != 0; }

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

struct Oem {
  BYTE vk;
  char plain;
  char shifted;
};
constexpr Oem kOem[] = {{VK_OEM_1, ';', ':'},   {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
                        {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                        {VK_OEM_3, '`', '~'},   {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
                        {VK_OEM_6, ']', '}'},   {VK_OEM_7, '\'', '"'},     {VK_OEM_102, '\\', '|'}};

}  // namespace

QueuedKey AcceptKey(const KeyInput& key) {
  QueuedKey q;
  q.key = key;
  q.key.scan = key.vk == VK_PACKET ? static_cast<BYTE>(key.ch) : (key.scan ? key.scan : ScanCode(key.vk));
  q.wasDown = Down(S().now, key.vk);
  q.time = Clock::TickCount();
  Apply(S().now, key.vk, key.down);
  return q;
}

void RetrieveKey(const QueuedKey& q, UINT& message, LPARAM& lParam, bool apply) {
  KeyState& s = S();
  const KeyInput& k = q.key;
  BYTE table[256];
  std::memcpy(table, s.handled, sizeof table);
  Apply(table, k.vk, k.down);
  bool alt = Down(table, VK_MENU) || (!k.down && Generic(k.vk) == VK_MENU) || k.vk == VK_MENU;
  bool ctrl = Down(table, VK_CONTROL);
  bool isAltKey = k.vk == VK_MENU || Generic(k.vk) == VK_MENU;
  // Alt with Control is the alternate graphics shift, not a system key.
  bool sys = (alt && !ctrl) || k.vk == VK_F10 || (isAltKey && !ctrl);
  if (apply) std::memcpy(s.handled, table, sizeof table);
  if (apply && k.down) s.typed = k.text ? q.key : KeyInput{};
  if (apply && k.down) {
    // Alt pressed with Control held is the third-level shift (or a chord),
    // never Alt alone.
    if ((isAltKey && !ctrl) || k.vk == VK_F10) {
      if (!q.wasDown) s.alone = true;
    } else {
      s.alone = false;
    }
  }
  message = k.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  DWORD lp = 1u | (static_cast<DWORD>(k.scan) << 16);
  if (k.extended) lp |= 1u << 24;
  if (sys && alt && !ctrl) lp |= 1u << 29;
  if (!k.down || q.wasDown) lp |= 1u << 30;
  if (!k.down) lp |= 1u << 31;
  lParam = static_cast<LPARAM>(lp);
}

bool LastKeyWasAlone() { return S().alone; }

std::optional<std::string> TypedByKey(BYTE vk, BYTE scan, bool& dead) {
  const KeyInput& k = S().typed;
  dead = k.dead;
  if (!k.text || k.vk != vk || k.scan != scan) return std::nullopt;
  return k.text;
}

int CharFromKey(BYTE vk, BYTE scan) {
  const BYTE* t = S().handled;
  if (vk == VK_PACKET) return static_cast<unsigned char>(scan);
  bool shift = Down(t, VK_SHIFT), ctrl = Down(t, VK_CONTROL), alt = Down(t, VK_MENU);
  bool caps = (t[VK_CAPITAL] & 0x01) != 0;
  if (ctrl && alt) return -1;
  if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
    switch (vk) {
      case VK_OEM_4: return 0x1B;
      case VK_OEM_5: return 0x1C;
      case VK_OEM_6: return 0x1D;
      case VK_BACK: return 0x7F;
      case VK_RETURN: return 0x0A;
      case VK_SPACE: return ' ';
      default: return -1;
    }
  }
  if (vk >= 'A' && vk <= 'Z') return (shift != caps) ? vk : vk + 32;
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: break;
  }
  for (const Oem& o : kOem)
    if (o.vk == vk) return shift ? o.shifted : o.plain;
  return -1;
}

void KeyForChar(char c, BYTE& vk, bool& shift) {
  unsigned char ch = static_cast<unsigned char>(c);
  vk = 0;
  shift = false;
  if (ch >= 'a' && ch <= 'z') vk = static_cast<BYTE>(ch - 32);
  else if (ch >= 'A' && ch <= 'Z') vk = ch, shift = true;
  else if (ch >= '0' && ch <= '9') vk = ch;
  else if (ch == ' ') vk = VK_SPACE;
  else if (ch == '\r' || ch == '\n') vk = VK_RETURN;
  else if (ch == '\t') vk = VK_TAB;
  else if (ch == 0x08) vk = VK_BACK;
  else if (ch == 0x1B) vk = VK_ESCAPE;
  else {
    for (int i = 0; i < 10; ++i)
      if (kShiftedDigits[i] == c) {
        vk = static_cast<BYTE>('0' + i);
        shift = true;
        return;
      }
    for (const Oem& o : kOem) {
      if (o.vk == VK_OEM_102) continue;
      if (o.plain == c) vk = o.vk;
      else if (o.shifted == c) vk = o.vk, shift = true;
      if (vk) return;
    }
  }
}

BYTE ScanCode(BYTE vk) {
  static const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  static const BYTE starts[] = {16, 30, 44};
  if (vk >= 'A' && vk <= 'Z')
    for (int r = 0; r < 3; ++r)
      if (const char* p = std::strchr(rows[r], vk)) return static_cast<BYTE>(starts[r] + (p - rows[r]));
  if (vk >= '1' && vk <= '9') return static_cast<BYTE>(2 + vk - '1');
  if (vk >= VK_F1 && vk <= VK_F10) return static_cast<BYTE>(59 + vk - VK_F1);
  switch (vk) {
    case '0': return 11;
    case VK_ESCAPE: return 1;
    case VK_OEM_MINUS: return 12;
    case VK_OEM_PLUS: return 13;
    case VK_BACK: return 14;
    case VK_TAB: return 15;
    case VK_OEM_4: return 26;
    case VK_OEM_6: return 27;
    case VK_RETURN: return 28;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL: return 29;
    case VK_OEM_1: return 39;
    case VK_OEM_7: return 40;
    case VK_OEM_3: return 41;
    case VK_SHIFT:
    case VK_LSHIFT: return 42;
    case VK_OEM_5: return 43;
    case VK_OEM_COMMA: return 51;
    case VK_OEM_PERIOD: return 52;
    case VK_OEM_2: return 53;
    case VK_RSHIFT: return 54;
    case VK_MULTIPLY: return 55;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU: return 56;
    case VK_SPACE: return 57;
    case VK_CAPITAL: return 58;
    case VK_NUMLOCK: return 69;
    case VK_SCROLL: return 70;
    case VK_HOME: return 71;
    case VK_UP: return 72;
    case VK_PRIOR: return 73;
    case VK_SUBTRACT: return 74;
    case VK_LEFT: return 75;
    case VK_RIGHT: return 77;
    case VK_ADD: return 78;
    case VK_END: return 79;
    case VK_DOWN: return 80;
    case VK_NEXT: return 81;
    case VK_INSERT: return 82;
    case VK_DELETE: return 83;
    case VK_F11: return 87;
    case VK_F12: return 88;
    default: return 0;
  }
}

void SetButtonState(int vk, bool down, bool async) {
  Apply(async ? S().now : S().handled, static_cast<BYTE>(vk), down);
  // A click ends an Alt press alone.
  if (!async && down) S().alone = false;
}

void SyncKeyState(BYTE vk, bool down) {
  for (BYTE* table : {S().now, S().handled})
    if (Down(table, vk) != down) Apply(table, vk, down);
}

WPARAM MouseKeyFlags(bool async) {
  const BYTE* t = async ? S().now : S().handled;
  WPARAM f = 0;
  if (Down(t, VK_LBUTTON)) f |= MK_LBUTTON;
  if (Down(t, VK_RBUTTON)) f |= MK_RBUTTON;
  if (Down(t, VK_MBUTTON)) f |= MK_MBUTTON;
  if (Down(t, VK_SHIFT)) f |= MK_SHIFT;
  if (Down(t, VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

int BeepCount() { return S().beeps; }

void ResetKeyboard() { S() = KeyState{}; }

}  // namespace detail

using namespace detail;

SHORT GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  BYTE b = S().handled[vk];
  return static_cast<SHORT>(((b & 0x80) ? 0xFF80 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  return static_cast<SHORT>((S().now[vk] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(state, S().handled, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(S().handled, state, 256);
  return TRUE;
}

BOOL MessageBeep(UINT type) {
  ++S().beeps;
  BackEnd().Beep(type);
  return TRUE;
}

}  // namespace win
