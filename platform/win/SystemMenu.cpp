#include "platform/win/SystemMenu.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/win/BackEnd.h"
#include "platform/win/Messages.h"
#include "platform/win/NonClient.h"
#include "platform/win/Queue.h"
#include "platform/win/Seams.h"
#include "platform/win/Window.h"
#include "platform/win/WindowData.h"
#include "platform/win/WindowStyles.h"

namespace win {
namespace {

struct MenuItem {
  UINT id = 0;  // 0 for a separator
  std::string text;
  UINT state = MF_ENABLED;  // MF_GRAYED, MF_DISABLED; MF_SEPARATOR for a separator
};

struct Menu {
  HWND owner = nullptr;
  std::vector<MenuItem> items;
};

struct State {
  std::map<HMENU, Menu> menus;
  std::map<HWND, HMENU> ofWindow;
  // Handles are never given out twice, not even across sessions.
  std::uintptr_t next = 0x5E0000;
};

State& S() {
  static State s;
  return s;
}

std::vector<MenuItem> StandardItems() {
  return {{SC_RESTORE, "&Restore"},   {SC_MOVE, "&Move"},          {SC_SIZE, "&Size"},
          {SC_MINIMIZE, "Mi&nimize"}, {SC_MAXIMIZE, "Ma&ximize"},  {0, "", MF_SEPARATOR},
          {SC_CLOSE, "&Close\tAlt+F4"}};
}

Menu* Lookup(HMENU menu) {
  auto it = S().menus.find(menu);
  return it == S().menus.end() ? nullptr : &it->second;
}

// The item named by command or by position, or the end.
std::vector<MenuItem>::iterator Locate(Menu& m, UINT item, UINT flags) {
  if (flags & MF_BYPOSITION) return item < m.items.size() ? m.items.begin() + item : m.items.end();
  return std::find_if(m.items.begin(), m.items.end(),
                      [item](const MenuItem& i) { return !(i.state & MF_SEPARATOR) && i.id == item; });
}

void Drop(HMENU menu) {
  auto it = S().menus.find(menu);
  if (it == S().menus.end()) return;
  S().ofWindow.erase(it->second.owner);
  S().menus.erase(it);
}

void Set(Menu& m, UINT id, bool enabled) {
  auto it = Locate(m, id, MF_BYCOMMAND);
  if (it != m.items.end()) it->state = enabled ? MF_ENABLED : MF_GRAYED;
}

// What the window's styles and state allow, as the menu shows it; a Close
// greyed by the program stays greyed.
void GreyByState(Menu& m, DWORD style, UINT classStyle) {
  const bool minimized = (style & WS_MINIMIZE) != 0, maximized = (style & WS_MAXIMIZE) != 0;
  Set(m, SC_RESTORE, minimized || maximized);
  Set(m, SC_MOVE, !maximized);
  Set(m, SC_SIZE, (style & WS_THICKFRAME) && !minimized && !maximized);
  Set(m, SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !minimized);
  Set(m, SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !maximized);
  if (classStyle & CS_NOCLOSE) Set(m, SC_CLOSE, false);
}

}  // namespace

HMENU GetSystemMenu(HWND hwnd, BOOL bRevert) {
  if (!detail::Find(hwnd)) return nullptr;
  State& s = S();
  auto it = s.ofWindow.find(hwnd);
  if (bRevert) {
    if (it != s.ofWindow.end()) Drop(it->second);
    return nullptr;
  }
  if (it != s.ofWindow.end()) return it->second;
  auto menu = reinterpret_cast<HMENU>(s.next++);
  s.menus[menu] = Menu{hwnd, StandardItems()};
  s.ofWindow[hwnd] = menu;
  return menu;
}

BOOL IsMenu(HMENU menu) { return Lookup(menu) ? TRUE : FALSE; }

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  Menu* m = Lookup(menu);
  if (!m) return FALSE;
  auto it = Locate(*m, position, flags);
  if (it == m->items.end()) return FALSE;
  m->items.erase(it);
  return TRUE;
}

// No item here holds a submenu, so taking one out without destroying
// anything is the same as deleting it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return DeleteMenu(menu, position, flags); }

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  Menu* m = Lookup(menu);
  auto it = m ? Locate(*m, item, enable) : std::vector<MenuItem>::iterator();
  if (!m || it == m->items.end()) return -1;
  const UINT before = it->state & (MF_GRAYED | MF_DISABLED);
  if (!(it->state & MF_SEPARATOR)) it->state = enable & (MF_GRAYED | MF_DISABLED);
  return static_cast<BOOL>(before);
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = Lookup(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = Lookup(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return 0xFFFFFFFF;
  return m->items[static_cast<std::size_t>(position)].id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Menu* m = Lookup(menu);
  auto it = m ? Locate(*m, item, flags) : std::vector<MenuItem>::iterator();
  if (!m || it == m->items.end()) return 0xFFFFFFFF;
  return it->state;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR text, int maxCount, UINT flags) {
  Menu* m = Lookup(menu);
  auto it = m ? Locate(*m, item, flags) : std::vector<MenuItem>::iterator();
  if (!m || it == m->items.end()) return 0;
  if (!text) return static_cast<int>(it->text.size());
  if (maxCount <= 0) return 0;
  const std::size_t n = std::min(it->text.size(), static_cast<std::size_t>(maxCount - 1));
  std::memcpy(text, it->text.data(), n);
  text[n] = 0;
  return static_cast<int>(n);
}

namespace detail {

void TrackSystemMenu(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (!w || !(w->style & WS_SYSMENU)) return;
  // A window manager's frame shows its own menu; ours would come from
  // nowhere the user can see.
  Window* root = Root(w);
  if (root->surface && BackEnd().Decorated(root->surface)) return;
  // Under the small icon, or under the caption's left end without one.
  // A menu with no room under the caption (a minimised window at the
  // bottom of the screen) goes above the window, leaving it in sight.
  POINT at = WindowOrigin(w);
  const LONG over = at.Y;
  CaptionLayout caption;
  if (LayoutCaption(w, caption)) {
    const bool icon = caption.icon.Right > caption.icon.Left;
    at.X += icon ? caption.icon.Left : caption.band.Left;
    at.Y += caption.area.Bottom;
  }
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  SendMessageA(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  w = Peek(hwnd);
  Menu* m = Lookup(menu);
  if (!w || !m) return;
  GreyByState(*m, w->style, w->cls->style);
  SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
  if (!Peek(hwnd) || !Lookup(menu) || !Seams().trackMenu) return;
  const UINT command = Seams().trackMenu(menu, at, over, hwnd);
  if (command && Peek(hwnd)) PostOwed(hwnd, WM_SYSCOMMAND, command, 0);
}

bool SystemMenuCanClose(HWND hwnd) {
  Window* w = Peek(hwnd);
  if (!w || !(w->style & WS_SYSMENU) || (w->cls->style & CS_NOCLOSE)) return false;
  // Asking makes no menu: a window whose program never touched it has the
  // standard one, with Close.
  auto it = S().ofWindow.find(hwnd);
  if (it == S().ofWindow.end()) return true;
  Menu* m = Lookup(it->second);
  if (!m) return true;
  auto item = Locate(*m, SC_CLOSE, MF_BYCOMMAND);
  return item != m->items.end() && !(item->state & (MF_GRAYED | MF_DISABLED));
}

void SystemMenuWindowDestroyed(HWND hwnd) {
  auto it = S().ofWindow.find(hwnd);
  if (it != S().ofWindow.end()) Drop(it->second);
}

void ResetSystemMenus() {
  S().menus.clear();
  S().ofWindow.clear();
}

}  // namespace detail

}  // namespace win
