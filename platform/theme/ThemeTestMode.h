// The theme module under test: a log of the calls painters make, and
// switches for the situations a program must survive (no module, themes
// off, exports missing) or that select other palettes (theme names).
#pragma once

#include <string>
#include <vector>

#include "platform/theme/ThemeApi.h"

namespace win::test {

// One call of an export: the function, the theme class its handle was
// opened for ("" without a handle), part, state, the rectangle it drew or
// measured, and its text in code page 1252.
struct ThemeCall {
  std::string Function;
  std::string Class;
  int Part = 0;
  int State = 0;
  RECT Rect{};
  std::string Text;
  // "Function Class part/state [l,t,r,b] "text"" (the text only when some).
  std::string ToString() const;
};

// Logging runs from Start until Stop; Start clears what was logged.
void StartThemeCallLog();
void StopThemeCallLog();
const std::vector<ThemeCall>& ThemeCalls();
// The calls as lines, one per call.
std::string ThemeCallLog();

// The binding finds no module (LoadLibrary of the theme library fails).
void SetThemeModuleAbsent(bool absent);
// GetProcAddress does not find this export of the theme library.
void SetThemeExportMissing(const char* name, bool missing);
// Answers of GetCurrentThemeName; a change is broadcast as a theme switch.
void SetThemeNames(const std::u16string& file, const std::u16string& color, const std::u16string& size);
// Live handles, for leak checks.
int OpenThemeCount();

// Everything back as at start-up: log off and empty, switches off, the
// setting from the environment, the module's names, no open handles.
void ResetThemeModule();

}  // namespace win::test

namespace win::theme {
// Called by every export; cheap when the log is off.
bool Logging();
void LogCall(const char* function, HTHEME theme, int part, int state, const RECT* rect, LPCWSTR text = nullptr,
             int count = -1);
}  // namespace win::theme
