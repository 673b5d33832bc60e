// The theme setting and the module's open theme handles.
//
// Themes are on unless ORVANTA_THEMES=0 says otherwise (read once, at
// first use; "1" turns them on, any other value is reported on stderr and
// the default holds). Switching the setting tells every top-level window
// with WM_THEMECHANGED, after the new answer holds, so a receiver that
// asks IsThemeActive hears it.
#pragma once

#include <string>

#include "platform/theme/ThemeApi.h"
#include "platform/theme/ThemeParts.h"

namespace win {

bool ThemesActive();
void SetThemesActive(bool active);

}  // namespace win

namespace win::theme {

// The names GetCurrentThemeName answers: the module's own theme file,
// colour scheme and size (none of them a standard file, so the library
// derives its palette from the system colours).
struct ThemeNames {
  std::u16string File = u"Orvanta.theme";
  std::u16string Color = u"Standard";
  std::u16string Size = u"Normal";
};
const ThemeNames& CurrentNames();
// Replaces the names; a change is a theme switch and is broadcast.
void SetNames(const ThemeNames& names);

// Handles are never reused: a closed handle stays invalid.
HTHEME OpenHandle(const ClassInfo& cls);
bool CloseHandle(HTHEME theme);
// The class of a live handle, or null.
const ClassInfo* HandleClass(HTHEME theme);
int OpenHandleCount();

// Back to the first-use state: the setting from the environment, the
// module's names, no open handles.
void ResetState();

}  // namespace win::theme
