// Reading the embedded resources through the platform's resource calls.
//
// Resources live in one registry for the process (platform/rtl/Resources.h),
// filled at start-up by the registration functions the build generates
// from resource folders (cmake/EmbedResources.cmake). A resource is found
// by type and by name; an integer id (MAKEINTRESOURCE) is the name "#id".
// The module handle is accepted as given: every module of the program sees
// the same resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdi/SysBitmaps.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Handles.h"

namespace win {

ORV_DECLARE_HANDLE(HRSRC)
using HGLOBAL = HANDLE;

inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }

inline const LPCSTR RT_CURSOR = MAKEINTRESOURCEA(1);
inline const LPCSTR RT_BITMAP = MAKEINTRESOURCEA(2);
inline const LPCSTR RT_ICON = MAKEINTRESOURCEA(3);
inline const LPCSTR RT_STRING = MAKEINTRESOURCEA(6);
inline const LPCSTR RT_GROUP_CURSOR = MAKEINTRESOURCEA(12);
// RT_RCDATA is the run-time library's ("RCDATA", Resources.h); the
// integer form MAKEINTRESOURCEA(10) names the same type.

// The registry's spelling of a resource name: "#id" for an integer id,
// "#123" stays "#123", anything else as written.
std::string ResourceKey(LPCSTR name);
// The registry's type names: RT_CURSOR and RT_GROUP_CURSOR "CURSOR",
// RT_BITMAP "BITMAP", RT_ICON "ICON", RT_STRING "STRING", RT_RCDATA
// "RCDATA"; other ids "#id"; names as written.
std::string ResourceTypeKey(LPCSTR type);

// null (last error ERROR_RESOURCE_NAME_NOT_FOUND) when there is none.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
inline HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) { return FindResourceA(module, name, type); }
// The resource's bytes stay readable until the resource is replaced.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Resources are never unloaded; answers FALSE as the platform does.
BOOL FreeResource(HGLOBAL data);

// Copies string id (8-bit, 1252) into buffer, cut to size - 1 bytes and
// terminated; answers the bytes copied, 0 when there is no such string.
// With size 0 the buffer receives a read-only pointer to the text (not
// terminated) and the answer is its length.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
inline int LoadString(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  return LoadStringA(instance, id, buffer, size);
}

// Registers the strings of a string table text: one "<id> <text>" a line
// (the first blank or tab after the id separates); \n, \r, \t and a
// doubled backslash are escapes. Empty lines and lines starting with ';' are skipped. Each string
// becomes resource "#id" of type "STRING". Throws EParserError naming the
// line for anything else. The generated registration code calls it.
void RegisterStringTable(const void* data, std::size_t size);

}  // namespace win
