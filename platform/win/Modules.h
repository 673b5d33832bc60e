// Libraries bound by name at run time. There are no shared libraries to
// open: a table of built-in pseudo-modules stands in for them, each with
// the exports the program looks up by name. Names are found without regard
// to case, with or without ".dll" ("user32", "UxTheme.dll").
//
// Built in: "USER32" (always loaded), "msimg32", "UxTheme", "Msftedit",
// "Riched20" and "Riched32". Tiers that build a module's functions add
// them with RegisterModuleExport; a module's load action (the rich edit
// libraries register their window classes) runs when LoadLibraryA takes it
// from unloaded to loaded.
#pragma once

#include <functional>

#include "platform/win/Handles.h"

namespace win {

using FARPROC = void (*)();

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// Counted: every successful call wants a FreeLibrary. Unknown names answer
// null with ERROR_MOD_NOT_FOUND.
HMODULE LoadLibraryA(LPCSTR name);
inline HMODULE LoadLibrary(LPCSTR name) { return LoadLibraryA(name); }
BOOL FreeLibrary(HMODULE module);
// null: the program's own instance. Otherwise a loaded module, or null.
HMODULE GetModuleHandleA(LPCSTR name);
inline HMODULE GetModuleHandle(LPCSTR name) { return GetModuleHandleA(name); }
// By name only (ordinals are not kept); null with ERROR_PROC_NOT_FOUND.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

// The program's instance (what GetModuleHandleA(nullptr) answers).
HINSTANCE ProgramInstance();

// Adds or replaces an export of a built-in module; false for a module
// that is not in the table.
bool RegisterModuleExport(LPCSTR module, LPCSTR name, FARPROC proc);
template <class R, class... A>
bool RegisterModuleExport(LPCSTR module, LPCSTR name, R (*proc)(A...)) {
  return RegisterModuleExport(module, name, reinterpret_cast<FARPROC>(proc));
}
// Runs each time the module goes from unloaded to loaded.
bool SetModuleLoadAction(LPCSTR module, std::function<void()> action);

namespace test {
// Environment knobs: the module cannot be loaded (already loaded handles
// keep working); a single export is not found.
void SetModuleAbsent(LPCSTR module, bool absent);
void SetExportMissing(LPCSTR module, LPCSTR name, bool missing);
}  // namespace test

namespace detail {
// Clears the switches and load counts; exports and load actions stay.
void ResetModules();
}  // namespace detail

}  // namespace win
