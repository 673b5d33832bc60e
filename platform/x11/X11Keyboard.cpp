// Key presses and releases. The virtual key comes from the key's symbol at
// the first level (so Shift+1 is still the key '1'); the character comes
// from the input method. When the layout types something other than what
// the standard layout's translation of that key would give (an 'ä' key, a
// Shift+7 that types '/'), the key enters as VK_PACKET carrying the 1252
// character, so the program reads what the user typed. Keys held down
// repeat as further presses without releases (detectable auto-repeat), and
// the window system's previous-state bit marks them.
#include "platform/x11/X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/rtl/CodePage.h"
#include "platform/win/Keyboard.h"
#include "platform/x11/X11Connection.h"

namespace win::x11 {
namespace {

struct KeyEntry {
  unsigned long sym;
  BYTE vk;
  bool extended;
};

constexpr KeyEntry kKeys[] = {
    {XK_BackSpace, VK_BACK, false},     {XK_Tab, VK_TAB, false},
    {XK_ISO_Left_Tab, VK_TAB, false},   {XK_Return, VK_RETURN, false},
    {XK_Escape, VK_ESCAPE, false},      {XK_space, VK_SPACE, false},
    {XK_Pause, VK_PAUSE, false},        {XK_Break, VK_CANCEL, true},
    {XK_Print, VK_SNAPSHOT, true},      {XK_Sys_Req, VK_SNAPSHOT, true},
    {XK_Insert, VK_INSERT, true},       {XK_Delete, VK_DELETE, true},
    {XK_Home, VK_HOME, true},           {XK_End, VK_END, true},
    {XK_Prior, VK_PRIOR, true},         {XK_Next, VK_NEXT, true},
    {XK_Left, VK_LEFT, true},           {XK_Up, VK_UP, true},
    {XK_Right, VK_RIGHT, true},         {XK_Down, VK_DOWN, true},
    {XK_Help, VK_HELP, false},          {XK_Menu, VK_APPS, true},
    {XK_Shift_L, VK_SHIFT, false},      {XK_Shift_R, VK_SHIFT, false},
    {XK_Control_L, VK_CONTROL, false},  {XK_Control_R, VK_CONTROL, true},
    {XK_Alt_L, VK_MENU, false},         {XK_Meta_L, VK_MENU, false},
    {XK_Alt_R, VK_MENU, true},          {XK_Meta_R, VK_MENU, true},
    {XK_ISO_Level3_Shift, VK_MENU, true},
    {XK_Super_L, VK_LWIN, true},        {XK_Super_R, VK_RWIN, true},
    {XK_Caps_Lock, VK_CAPITAL, false},  {XK_Num_Lock, VK_NUMLOCK, true},
    {XK_Scroll_Lock, VK_SCROLL, false},
    // The keypad: digits with Num Lock, the navigation keys without.
    {XK_KP_Multiply, VK_MULTIPLY, false}, {XK_KP_Add, VK_ADD, false},
    {XK_KP_Subtract, VK_SUBTRACT, false}, {XK_KP_Decimal, VK_DECIMAL, false},
    {XK_KP_Separator, VK_DECIMAL, false}, {XK_KP_Divide, VK_DIVIDE, true},
    {XK_KP_Enter, VK_RETURN, true},       {XK_KP_Home, VK_HOME, false},
    {XK_KP_End, VK_END, false},           {XK_KP_Prior, VK_PRIOR, false},
    {XK_KP_Next, VK_NEXT, false},         {XK_KP_Left, VK_LEFT, false},
    {XK_KP_Up, VK_UP, false},             {XK_KP_Right, VK_RIGHT, false},
    {XK_KP_Down, VK_DOWN, false},         {XK_KP_Insert, VK_INSERT, false},
    {XK_KP_Delete, VK_DELETE, false},     {XK_KP_Begin, VK_CLEAR, false},
    // Punctuation where the standard layout has it.
    {XK_semicolon, VK_OEM_1, false},    {XK_colon, VK_OEM_1, false},
    {XK_equal, VK_OEM_PLUS, false},     {XK_plus, VK_OEM_PLUS, false},
    {XK_comma, VK_OEM_COMMA, false},    {XK_minus, VK_OEM_MINUS, false},
    {XK_underscore, VK_OEM_MINUS, false}, {XK_period, VK_OEM_PERIOD, false},
    {XK_slash, VK_OEM_2, false},        {XK_question, VK_OEM_2, false},
    {XK_grave, VK_OEM_3, false},        {XK_asciitilde, VK_OEM_3, false},
    {XK_bracketleft, VK_OEM_4, false},  {XK_braceleft, VK_OEM_4, false},
    {XK_backslash, VK_OEM_5, false},    {XK_bar, VK_OEM_5, false},
    {XK_bracketright, VK_OEM_6, false}, {XK_braceright, VK_OEM_6, false},
    {XK_apostrophe, VK_OEM_7, false},   {XK_quotedbl, VK_OEM_7, false},
    {XK_less, VK_OEM_102, false},       {XK_greater, VK_OEM_102, false},
    // Dead keys where the standard layout has the character their accent
    // looks like.
    {XK_dead_grave, VK_OEM_3, false},   {XK_dead_acute, VK_OEM_7, false},
    {XK_dead_circumflex, '6', false},   {XK_dead_tilde, VK_OEM_3, false},
    {XK_dead_diaeresis, VK_OEM_7, false}, {XK_dead_cedilla, VK_OEM_COMMA, false},
};

// The accent a dead key shows, in 1252 (0: not a dead key, or one whose
// accent 1252 lacks).
char DeadAccent(unsigned long sym) {
  switch (sym) {
    case XK_dead_grave: return '`';
    case XK_dead_acute: return '\xB4';
    case XK_dead_circumflex: return '^';
    case XK_dead_tilde: return '~';
    case XK_dead_diaeresis: return '\xA8';
    case XK_dead_cedilla: return '\xB8';
    default: return 0;
  }
}

// UTF-8 text in 1252, without the characters 1252 lacks.
std::string TextIn1252(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    // One character's bytes: a lead byte and the continuation bytes after it.
    std::size_t len = 1;
    while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80) ++len;
    const int ch = Utf8CharTo1252(utf8.data() + i, static_cast<int>(len));
    i += len;
    if (ch >= 0x20) out += static_cast<char>(ch);
  }
  return out;
}

// The character the standard layout's translation gives for a key.
bool TranslationAgrees(BYTE vk, int ch, unsigned int state) {
  if (ch < 0x20 || ch == 0x7F) return true;  // named keys: Tab, Return, Escape...
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return ch == '0' + (vk - VK_NUMPAD0);
  switch (vk) {
    case VK_MULTIPLY: return ch == '*';
    case VK_ADD: return ch == '+';
    case VK_SUBTRACT: return ch == '-';
    case VK_DECIMAL: return ch == '.';
    case VK_DIVIDE: return ch == '/';
    default: break;
  }
  BYTE want = 0;
  bool shift = false;
  detail::KeyForChar(static_cast<char>(ch), want, shift);
  bool shifted = (state & ShiftMask) != 0;
  if (vk >= 'A' && vk <= 'Z') shifted = shifted != ((state & LockMask) != 0);
  return want == vk && shift == shifted;
}

void Push(X11BackEnd& be, SurfaceId surface, bool down, BYTE vk, BYTE scan, bool extended, char ch,
          bool dead = false, std::optional<std::string> text = std::nullopt) {
  BackEndEvent e;
  e.kind = down ? BackEndEvent::KeyDown : BackEndEvent::KeyUp;
  e.surface = surface;
  e.vk = vk;
  e.scan = vk == VK_PACKET ? static_cast<BYTE>(ch) : scan;
  e.extended = extended;
  e.ch = ch;
  e.dead = dead;
  e.text = std::move(text);
  be.pending.push_back(e);
}

// A key that types what the display's layout says: a key without a
// virtual key of its own types each character as one of no key.
void PushTyped(X11BackEnd& be, SurfaceId surface, bool known, BYTE vk, BYTE scan, bool extended, bool dead,
               const std::string& text) {
  if (known) {
    Push(be, surface, true, vk, scan, extended, 0, dead, text);
    return;
  }
  for (char c : text) {
    Push(be, surface, true, VK_PACKET, 0, false, c);
    Push(be, surface, false, VK_PACKET, 0, false, c);
  }
}

// The text the input context makes of a key event, in UTF-8: empty when
// it makes none. ALooked gets the key's symbol.
std::string LookupUtf8(void* AContext, XKeyEvent& AKey, KeySym& ALooked) {
  std::string text(32, '\0');
  Status status = 0;
  int n = Xutf8LookupString(static_cast<XIC>(AContext), &AKey, text.data(), static_cast<int>(text.size()), &ALooked,
                            &status);
  if (status == XBufferOverflow) {
    text.resize(static_cast<std::size_t>(n));
    n = Xutf8LookupString(static_cast<XIC>(AContext), &AKey, text.data(), n, &ALooked, &status);
  }
  if ((status != XLookupChars && status != XLookupBoth) || n <= 0) return {};
  text.resize(static_cast<std::size_t>(n));
  return text;
}

}  // namespace

bool KeysymToVirtualKey(unsigned long sym, BYTE& vk, bool& extended) {
  extended = false;
  if (sym >= XK_a && sym <= XK_z) {
    vk = static_cast<BYTE>('A' + (sym - XK_a));
    return true;
  }
  if ((sym >= XK_A && sym <= XK_Z) || (sym >= XK_0 && sym <= XK_9)) {
    vk = static_cast<BYTE>(sym);
    return true;
  }
  if (sym >= XK_F1 && sym <= XK_F24) {
    vk = static_cast<BYTE>(VK_F1 + (sym - XK_F1));
    return true;
  }
  if (sym >= XK_KP_0 && sym <= XK_KP_9) {
    vk = static_cast<BYTE>(VK_NUMPAD0 + (sym - XK_KP_0));
    return true;
  }
  for (const KeyEntry& k : kKeys) {
    if (k.sym == sym) {
      vk = k.vk;
      extended = k.extended;
      return true;
    }
  }
  return false;
}

char32_t KeysymToUnicode(unsigned long sym) {
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<char32_t>(sym);
  if ((sym & 0xFF000000UL) == 0x01000000UL) return static_cast<char32_t>(sym & 0x00FFFFFFUL);
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return U'0' + static_cast<char32_t>(sym - XK_KP_0);
  switch (sym) {
    case XK_EuroSign: return 0x20AC;
    case XK_BackSpace: return 0x08;
    case XK_Tab:
    case XK_ISO_Left_Tab: return 0x09;
    case XK_Return:
    case XK_KP_Enter: return 0x0D;
    case XK_Escape: return 0x1B;
    case XK_KP_Space: return U' ';
    case XK_KP_Multiply: return U'*';
    case XK_KP_Add: return U'+';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Divide: return U'/';
    default: return 0;
  }
}

int Utf8CharTo1252(const char* s, int n) {
  if (n <= 0) return -1;
  const auto* u = reinterpret_cast<const unsigned char*>(s);
  char32_t c;
  int len;
  if (u[0] < 0x80) c = u[0], len = 1;
  else if ((u[0] & 0xE0) == 0xC0) c = u[0] & 0x1F, len = 2;
  else if ((u[0] & 0xF0) == 0xE0) c = u[0] & 0x0F, len = 3;
  else if ((u[0] & 0xF8) == 0xF0) c = u[0] & 0x07, len = 4;
  else return -1;
  if (len != n) return -1;
  for (int i = 1; i < len; ++i) {
    if ((u[i] & 0xC0) != 0x80) return -1;
    c = (c << 6) | (u[i] & 0x3F);
  }
  return orv::cp1252::FromUnicode(c);
}

void X11BackEnd::OnKey(XEvent& e, bool taken) {
  XKeyEvent& k = e.xkey;
  MakeRepeatDetectable();
  lastTime = k.time;
  SurfaceId surface = SurfaceOfWindow(k.window);
  bool down = e.type == KeyPress;
  KeyCode code = static_cast<KeyCode>(k.keycode);
  KeySym sym = XkbKeycodeToKeysym(dpy, code, 0, 0);
  // Num Lock turns the keypad's navigation keys into digits, and Shift
  // turns one back for as long as it is held: it then reaches the program
  // as the navigation key with Shift let go before it and pressed again
  // after, so that it moves the caret rather than selecting.
  KeySym second = XkbKeycodeToKeysym(dpy, code, 0, 1);
  const bool numLocked = (k.state & Mod2Mask) && IsKeypadKey(second);
  const bool shiftedBack = down ? numLocked && (k.state & ShiftMask) && sym != second
                                : shiftedKeypadKeys.count(k.keycode) > 0;
  if (numLocked && !shiftedBack) sym = second;
  BYTE vk = 0;
  bool extended = false;
  bool known = KeysymToVirtualKey(sym, vk, extended);
  // Linux key codes are the standard scan codes of the main block.
  BYTE scan = k.keycode >= 8 && k.keycode < 8 + 0x80 ? static_cast<BYTE>(k.keycode - 8) : 0;

  // The input method composes after a dead key: the dead key is a key that
  // shows its accent, and the key after it types what the method made of
  // the two. Other keys it takes are its own (a longer sequence, text it
  // edits before it commits) and reach the window system as its text.
  if (taken && down) {
    KeySym looked = NoSymbol;
    XLookupString(&k, nullptr, 0, &looked, nullptr);
    if (deadAccent) {
      PushTyped(*this, surface, known, vk, scan, extended, false, TypedAfterDeadKey(looked));
    } else if (const char accent = DeadAccent(looked)) {
      deadAccent = accent;
      PushTyped(*this, surface, known, vk, scan, extended, true, std::string(1, accent));
    }
    return;
  }

  // The key that picks a layout's third level (AltGr) is the right Alt
  // with the left Control, as the window system knows it: the characters
  // typed with it are characters, not system keys, and it alone never
  // opens the menu bar.
  const bool level3 = sym == XK_ISO_Level3_Shift;
  if (level3 && down) Push(*this, surface, true, VK_CONTROL, 0, false, 0);

  if (shiftedBack && known) {
    if (down) {
      if (shiftedKeypadKeys.insert(k.keycode).second) Push(*this, surface, false, VK_SHIFT, 0, false, 0);
      Push(*this, surface, true, vk, scan, extended, 0);
    } else {
      Push(*this, surface, false, vk, scan, extended, 0);
      shiftedKeypadKeys.erase(k.keycode);
      if (k.state & ShiftMask) Push(*this, surface, true, VK_SHIFT, 0, false, 0);
    }
    return;
  }

  if (!down) {
    if (auto it = packetKeys.find(k.keycode); it != packetKeys.end()) {
      Push(*this, surface, false, VK_PACKET, 0, false, it->second);
      packetKeys.erase(it);
    } else if (known) {
      Push(*this, surface, false, vk, scan, extended, 0);
    }
    if (level3) Push(*this, surface, false, VK_CONTROL, 0, false, 0);
    return;
  }

  int ch = -1;
  std::string text;
  KeySym looked = NoSymbol;
  Surface* s = Find(surface);
  if (s && s->ic) {
    text = LookupUtf8(s->ic, k, looked);
    // A key event of no key: text the input method composed. A
    // composition begins for the window with the keyboard (a grid opens
    // its editor there), then each character arrives as typed.
    if (k.keycode == 0) {
      if (!text.empty()) PushComposedText(surface, text);
      return;
    }
  } else {
    XLookupString(&k, nullptr, 0, &looked, nullptr);
    if (char32_t u = KeysymToUnicode(looked)) {
      int b = orv::cp1252::FromUnicode(u);
      if (b >= 0) ch = b;
    }
  }
  // Characters 1252 lacks are dropped.
  if (!text.empty()) ch = Utf8CharTo1252(text.data(), static_cast<int>(text.size()));
  // A dead key the input method left alone (or with none) still shows its
  // accent rather than the standard layout's character of the key.
  if (text.empty() && known) {
    if (const char accent = DeadAccent(looked)) {
      Push(*this, surface, true, vk, scan, extended, 0, true, std::string(1, accent));
      return;
    }
  }

  bool shortcut = (k.state & (ControlMask | Mod1Mask)) != 0;
  if (known && (ch < 0 || shortcut || TranslationAgrees(vk, ch, k.state))) {
    Push(*this, surface, true, vk, scan, extended, 0);
  } else if (ch >= 0x20) {
    packetKeys[k.keycode] = static_cast<char>(ch);
    Push(*this, surface, true, VK_PACKET, 0, false, static_cast<char>(ch));
  } else if (known) {
    Push(*this, surface, true, vk, scan, extended, 0);
  }
}

void X11BackEnd::PushComposedText(SurfaceId surface, std::string_view utf8) {
  BackEndEvent start;
  start.kind = BackEndEvent::CompositionStart;
  start.surface = surface;
  pending.push_back(start);
  PushTyped(*this, surface, false, 0, 0, false, false, TextIn1252(utf8));
}

std::string X11BackEnd::TypedAfterDeadKey(unsigned long looked) {
  const char accent = deadAccent;
  deadAccent = 0;
  // What the method composed comes back at once, as a key event of no key.
  XEvent next;
  if (XEventsQueued(dpy, QueuedAlready) > 0) {
    XPeekEvent(dpy, &next);
    if (next.type == KeyPress && next.xkey.keycode == 0) {
      XNextEvent(dpy, &next);
      // The accent alone as the dead key showed it: compose tables differ
      // on which character a space makes of it.
      if (looked == XK_space) return std::string(1, accent);
      Surface* s = Find(SurfaceOfWindow(next.xkey.window));
      if (!s || !s->ic) return {};
      KeySym ignored = NoSymbol;
      return TextIn1252(LookupUtf8(s->ic, next.xkey, ignored));
    }
  }
  // The two make nothing: the accent, then the key's own character.
  std::string both(1, accent);
  if (const char32_t u = KeysymToUnicode(looked)) {
    const int b = orv::cp1252::FromUnicode(u);
    if (b >= 0) both += static_cast<char>(b);
  }
  return both;
}

void X11BackEnd::SyncHeldModifiers() {
  char keys[32] = {};
  XQueryKeymap(dpy, keys);
  bool held[256] = {};
  for (int code = 8; code < 256; ++code) {
    if (!(keys[code / 8] & (1 << (code % 8)))) continue;
    const KeySym sym = XkbKeycodeToKeysym(dpy, static_cast<KeyCode>(code), 0, 0);
    BYTE vk = 0;
    bool extended = false;
    if (KeysymToVirtualKey(sym, vk, extended)) held[vk] = true;
    if (sym == XK_ISO_Level3_Shift) held[VK_CONTROL] = true;
  }
  for (BYTE vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) detail::SyncKeyState(vk, held[vk]);
}

void X11BackEnd::SyncToggles(unsigned int locked) {
  BYTE table[256];
  GetKeyboardState(table);
  auto set = [&](BYTE vk, bool on) { table[vk] = static_cast<BYTE>((table[vk] & ~1) | (on ? 1 : 0)); };
  set(VK_CAPITAL, (locked & LockMask) != 0);
  set(VK_NUMLOCK, (locked & Mod2Mask) != 0);
  SetKeyboardState(table);
}

}  // namespace win::x11
