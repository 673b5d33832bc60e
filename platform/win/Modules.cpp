#include "platform/win/Modules.h"

#include <array>
#include <map>
#include <set>
#include <string>

#include "platform/gdi/Blits.h"
#include "platform/rtl/Collation.h"
#include "platform/win/Monitors.h"
#include "platform/win/ScrollBars.h"

namespace win {
namespace {

struct Module {
  Module(const char* n, bool r) : name(n), resident(r) {}
  const char* name;     // canonical spelling, without ".dll"
  bool resident;        // loaded from the start and never unloaded
  int loads = 0;
  bool absent = false;
  std::map<std::string, FARPROC> exports;  // upper-case names
  std::set<std::string> missing;
  std::function<void()> onLoad;
};

std::array<Module, 6>& Table() {
  static std::array<Module, 6> table = [] {
    std::array<Module, 6> t{Module{"USER32", true},   Module{"MSIMG32", false},  Module{"UXTHEME", false},
                            Module{"MSFTEDIT", false}, Module{"RICHED20", false}, Module{"RICHED32", false}};
    t[0].exports["MONITORFROMPOINT"] = reinterpret_cast<FARPROC>(&MonitorFromPoint);
    t[0].exports["MONITORFROMRECT"] = reinterpret_cast<FARPROC>(&MonitorFromRect);
    t[0].exports["MONITORFROMWINDOW"] = reinterpret_cast<FARPROC>(&MonitorFromWindow);
    t[0].exports["GETMONITORINFOA"] = reinterpret_cast<FARPROC>(&GetMonitorInfoA);
    t[0].exports["GETSCROLLBARINFO"] = reinterpret_cast<FARPROC>(&GetScrollBarInfo);
    t[1].exports["ALPHABLEND"] = reinterpret_cast<FARPROC>(&AlphaBlend);
    return t;
  }();
  return table;
}

Module* ByName(LPCSTR name) {
  if (!name) return nullptr;
  std::string n = UpperCase(name);
  if (n.size() > 4 && n.compare(n.size() - 4, 4, ".DLL") == 0) n.resize(n.size() - 4);
  for (Module& m : Table())
    if (n == m.name) return &m;
  return nullptr;
}

bool Loaded(const Module& m) { return (m.resident && !m.absent) || m.loads > 0; }

Module* ByHandle(HMODULE h) {
  for (Module& m : Table())
    if (reinterpret_cast<HMODULE>(&m) == h) return &m;
  return nullptr;
}

}  // namespace

HINSTANCE ProgramInstance() {
  static char instance;
  return reinterpret_cast<HINSTANCE>(&instance);
}

HMODULE LoadLibraryA(LPCSTR name) {
  Module* m = ByName(name);
  if (!m || m->absent) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  bool first = !Loaded(*m);
  ++m->loads;
  if (first && m->onLoad) m->onLoad();
  return reinterpret_cast<HMODULE>(m);
}

BOOL FreeLibrary(HMODULE module) {
  Module* m = ByHandle(module);
  if (!m || m->loads == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  --m->loads;
  return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  if (!name) return ProgramInstance();
  Module* m = ByName(name);
  if (!m || !Loaded(*m)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(m);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  Module* m = ByHandle(module);
  if (!m || !Loaded(*m)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // Ordinals (an integer in place of the name) are not kept.
  if (!name || (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  std::string n = UpperCase(name);
  auto it = m->exports.find(n);
  if (it == m->exports.end() || m->missing.count(n)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return it->second;
}

bool RegisterModuleExport(LPCSTR module, LPCSTR name, FARPROC proc) {
  Module* m = ByName(module);
  if (!m || !name || !proc) return false;
  m->exports[UpperCase(name)] = proc;
  return true;
}

bool SetModuleLoadAction(LPCSTR module, std::function<void()> action) {
  Module* m = ByName(module);
  if (!m) return false;
  m->onLoad = std::move(action);
  return true;
}

namespace test {

void SetModuleAbsent(LPCSTR module, bool absent) {
  if (Module* m = ByName(module)) m->absent = absent;
}

void SetExportMissing(LPCSTR module, LPCSTR name, bool missing) {
  Module* m = ByName(module);
  if (!m || !name) return;
  if (missing)
    m->missing.insert(UpperCase(name));
  else
    m->missing.erase(UpperCase(name));
}

}  // namespace test

namespace detail {

void ResetModules() {
  for (Module& m : Table()) {
    m.loads = 0;
    m.absent = false;
    m.missing.clear();
  }
}

}  // namespace detail

}  // namespace win
