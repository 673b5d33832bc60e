#include "platform/win/WindowClass.h"

#include <algorithm>
#include <cstring>

#include "platform/win/Cursors.h"
#include "platform/win/ScrollBarControl.h"
#include "platform/win/Static.h"
#include "platform/win/WindowData.h"

namespace win {
namespace detail {
namespace {

// The classes the system provides, under their fixed atoms. Every fresh
// class table has them; an application's class of the same name hides one.
struct SystemClass {
  LPCSTR name;
  ATOM atom;
  UINT style;
  WNDPROC proc;
  int cbWndExtra;
  LPCSTR cursor = nullptr;  // the arrow unless given
};
const SystemClass kSystemClasses[] = {
    {"STATIC", 0x0082, CS_DBLCLKS | CS_PARENTDC, StaticProc, kStaticExtraBytes},
    {"SCROLLBAR", 0x0084, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_PARENTDC, ScrollBarControlProc, 0},
};

// Native controls of the tiers above, added once they start; like the
// window system's own they outlive every class table made afterwards.
std::vector<SystemClass>& AddedSystemClasses() {
  static auto* added = new std::vector<SystemClass>;
  return *added;
}

struct ClassTable {
  std::vector<std::unique_ptr<ClassData>> classes;
  ATOM nextAtom = 0xC000;

  ClassTable() {
    for (const SystemClass& sc : kSystemClasses) Add(sc);
    for (const SystemClass& sc : AddedSystemClasses()) Add(sc);
  }

  void Add(const SystemClass& sc) {
    auto cls = std::make_unique<ClassData>();
    cls->name = sc.name;
    cls->atom = sc.atom;
    cls->style = sc.style;
    cls->proc = sc.proc;
    cls->cbWndExtra = sc.cbWndExtra;
    cls->cursor = LoadCursorA(nullptr, sc.cursor ? sc.cursor : IDC_ARROW);
    cls->system = true;
    classes.push_back(std::move(cls));
  }
};

ClassTable& T() {
  static ClassTable t;
  return t;
}

bool IsAtomName(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

bool SameName(const std::string& a, LPCSTR b) {
  std::size_t n = std::strlen(b);
  if (n != a.size()) return false;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The class an application registered under a name or atom, or else the
// system's; nullptr when neither exists.
ClassData* Lookup(LPCSTR name, bool systemToo) {
  if (!name) return nullptr;
  ClassData* system = nullptr;
  for (auto& c : T().classes) {
    if (c->unregistered) continue;
    const bool match = IsAtomName(name) ? c->atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name))
                                        : SameName(c->name, name);
    if (!match) continue;
    if (!c->system) return c.get();
    if (!system) system = c.get();
  }
  return systemToo ? system : nullptr;
}

void Erase(ClassData* cls) {
  auto& v = T().classes;
  v.erase(std::remove_if(v.begin(), v.end(), [cls](const auto& p) { return p.get() == cls; }), v.end());
}

ATOM Register(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || IsAtomName(wc.lpszClassName) || !*wc.lpszClassName || !wc.lpfnWndProc ||
      wc.cbClsExtra < 0 || wc.cbWndExtra < 0 || wc.cbWndExtra > 40000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (Lookup(wc.lpszClassName, false)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_unique<ClassData>();
  cls->name = wc.lpszClassName;
  cls->atom = T().nextAtom++;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->cbClsExtra = wc.cbClsExtra;
  cls->cbWndExtra = wc.cbWndExtra;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->iconSmall = wc.hIconSm;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IsAtomName(wc.lpszMenuName)) cls->menuName = wc.lpszMenuName;
  ATOM atom = cls->atom;
  T().classes.push_back(std::move(cls));
  return atom;
}

void Fill(const ClassData& c, WNDCLASSEXA& wc) {
  wc.style = c.style;
  wc.lpfnWndProc = c.proc;
  wc.cbClsExtra = c.cbClsExtra;
  wc.cbWndExtra = c.cbWndExtra;
  wc.hInstance = c.instance;
  wc.hIcon = c.icon;
  wc.hCursor = c.cursor;
  wc.hbrBackground = c.background;
  wc.lpszMenuName = c.menuName.empty() ? nullptr : c.menuName.c_str();
  wc.lpszClassName = c.name.c_str();
  wc.hIconSm = c.iconSmall;
}

}  // namespace

ClassData* FindClass(LPCSTR name) { return Lookup(name, true); }

void ReleaseClass(ClassData* cls) {
  if (--cls->windowCount == 0 && cls->unregistered) Erase(cls);
}

void ResetClasses() { T() = ClassTable{}; }

}  // namespace detail

using namespace detail;

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance,
                 wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
  return Register(ex);
}

BOOL RegisterSystemClass(LPCSTR name, ATOM atom, UINT style, WNDPROC proc, int cbWndExtra, LPCSTR cursor) {
  if (!name || IsAtomName(name) || !*name || !proc || atom == 0 || atom >= 0xC000 || cbWndExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto& added = AddedSystemClasses();
  for (const SystemClass& sc : added)
    if (SameName(sc.name, name)) return sc.proc == proc;
  for (const SystemClass& sc : kSystemClasses)
    if (SameName(sc.name, name)) return FALSE;
  // The name is kept by the list: callers pass literals.
  added.push_back({name, atom, style, proc, cbWndExtra, cursor});
  T().Add(added.back());
  return TRUE;
}

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*wc);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  ClassData* cls = Lookup(className, false);  // the system's classes stay
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windowCount > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  Erase(cls);
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* wc) {
  ClassData* cls = FindClass(className);
  if (!cls || !wc) {
    SetLastError(cls ? ERROR_INVALID_PARAMETER : ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  wc->cbSize = sizeof(WNDCLASSEXA);
  Fill(*cls, *wc);
  return cls->atom;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* wc) {
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof ex;
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BOOL ok = GetClassInfoExA(instance, className, &ex);
  if (!ok) return FALSE;
  *wc = WNDCLASSA{ex.style, ex.lpfnWndProc, ex.cbClsExtra, ex.cbWndExtra, ex.hInstance,
                  ex.hIcon, ex.hCursor, ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
  return ok;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int maxCount) {
  Window* w = Find(hwnd);
  if (!w || !buffer || maxCount <= 0) return 0;
  int n = std::min<int>(static_cast<int>(w->cls->name.size()), maxCount - 1);
  std::memcpy(buffer, w->cls->name.data(), static_cast<std::size_t>(n));
  buffer[n] = 0;
  return n;
}

LONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  const ClassData& c = *w->cls;
  switch (index) {
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return c.cbWndExtra;
    case GCL_CBCLSEXTRA: return c.cbClsExtra;
    case GCLP_WNDPROC: return reinterpret_cast<LONG_PTR>(c.proc);
    case GCLP_HCURSOR: return reinterpret_cast<LONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<LONG_PTR>(c.icon);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<LONG_PTR>(c.background);
    case GCW_ATOM: return c.atom;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

}  // namespace win
