// The theme module as the window system's module table knows it: the
// theme library, whose exports programs bind by name at run time.
#pragma once

#include <array>

namespace win {

// Enters every export into the theme library's table (once; later calls
// do nothing). The program's start-up calls it before the first
// LoadLibrary of the theme library; without it the library loads but
// binds nothing, as a system without themes would.
void InstallThemeModule();

}  // namespace win

namespace win::theme {

constexpr const char* kModuleName = "UxTheme";

// The exports' names in the order programs bind them.
const std::array<const char*, 46>& ExportNames();

}  // namespace win::theme
