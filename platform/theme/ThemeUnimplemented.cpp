// The exports the module offers but does not implement: each answers
// E_NOTIMPL (or zero, FALSE or null where the platform's answer is not a
// result code) and zeroes every output it was given, so a caller never
// reads what happened to be in its buffer.
#include <cstring>

#include "platform/theme/ThemeApi.h"
#include "platform/theme/ThemeTestMode.h"

namespace win {
namespace {

template <class T>
void Zero(T* out) {
  if (out) std::memset(static_cast<void*>(out), 0, sizeof(T));
}

void ZeroText(LPWSTR buffer, int maxChars) {
  if (buffer && maxChars > 0) buffer[0] = 0;
}

HRESULT NotImplemented(const char* function, HTHEME theme = nullptr, int part = 0, int state = 0,
                       const RECT* rect = nullptr) {
  theme::LogCall(function, theme, part, state, rect);
  return E_NOTIMPL;
}

}  // namespace

HRESULT DrawThemeIcon(HTHEME theme, HDC, int part, int state, const RECT* rect, HIMAGELIST, int) {
  return NotImplemented("DrawThemeIcon", theme, part, state, rect);
}

HRESULT EnableThemeDialogTexture(HWND, DWORD) { return NotImplemented("EnableThemeDialogTexture"); }

DWORD GetThemeAppProperties() {
  NotImplemented("GetThemeAppProperties");
  return 0;
}

HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC, int part, int state, const RECT* content, RECT* extent) {
  Zero(extent);
  return NotImplemented("GetThemeBackgroundExtent", theme, part, state, content);
}

HRESULT GetThemeBool(HTHEME theme, int part, int state, int, BOOL* value) {
  Zero(value);
  return NotImplemented("GetThemeBool", theme, part, state);
}

HRESULT GetThemeDocumentationProperty(LPCWSTR, LPCWSTR, LPWSTR value, int maxChars) {
  ZeroText(value, maxChars);
  return NotImplemented("GetThemeDocumentationProperty");
}

HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int, int* value) {
  Zero(value);
  return NotImplemented("GetThemeEnumValue", theme, part, state);
}

HRESULT GetThemeFilename(HTHEME theme, int part, int state, int, LPWSTR fileName, int maxChars) {
  ZeroText(fileName, maxChars);
  return NotImplemented("GetThemeFilename", theme, part, state);
}

HRESULT GetThemeFont(HTHEME theme, HDC, int part, int state, int, LOGFONTW* font) {
  Zero(font);
  return NotImplemented("GetThemeFont", theme, part, state);
}

HRESULT GetThemeInt(HTHEME theme, int part, int state, int, int* value) {
  Zero(value);
  return NotImplemented("GetThemeInt", theme, part, state);
}

HRESULT GetThemeIntList(HTHEME theme, int part, int state, int, INTLIST* list) {
  Zero(list);
  return NotImplemented("GetThemeIntList", theme, part, state);
}

HRESULT GetThemeMargins(HTHEME theme, HDC, int part, int state, int, RECT* rect, MARGINS* margins) {
  Zero(margins);
  return NotImplemented("GetThemeMargins", theme, part, state, rect);
}

HRESULT GetThemeMetric(HTHEME theme, HDC, int part, int state, int, int* value) {
  Zero(value);
  return NotImplemented("GetThemeMetric", theme, part, state);
}

HRESULT GetThemePosition(HTHEME theme, int part, int state, int, POINT* point) {
  Zero(point);
  return NotImplemented("GetThemePosition", theme, part, state);
}

HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int, PROPERTYORIGIN* origin) {
  Zero(origin);
  return NotImplemented("GetThemePropertyOrigin", theme, part, state);
}

HRESULT GetThemeRect(HTHEME theme, int part, int state, int, RECT* rect) {
  Zero(rect);
  return NotImplemented("GetThemeRect", theme, part, state);
}

HRESULT GetThemeString(HTHEME theme, int part, int state, int, LPWSTR buffer, int maxChars) {
  ZeroText(buffer, maxChars);
  return NotImplemented("GetThemeString", theme, part, state);
}

BOOL GetThemeSysBool(HTHEME theme, int) {
  NotImplemented("GetThemeSysBool", theme);
  return FALSE;
}

COLORREF GetThemeSysColor(HTHEME theme, int) {
  NotImplemented("GetThemeSysColor", theme);
  return 0;
}

HBRUSH GetThemeSysColorBrush(HTHEME theme, int) {
  NotImplemented("GetThemeSysColorBrush", theme);
  return nullptr;
}

HRESULT GetThemeSysFont(HTHEME theme, int, LOGFONTW* font) {
  Zero(font);
  return NotImplemented("GetThemeSysFont", theme);
}

HRESULT GetThemeSysInt(HTHEME theme, int, int* value) {
  Zero(value);
  return NotImplemented("GetThemeSysInt", theme);
}

int GetThemeSysSize(HTHEME theme, int) {
  NotImplemented("GetThemeSysSize", theme);
  return 0;
}

HRESULT GetThemeSysString(HTHEME theme, int, LPWSTR buffer, int maxChars) {
  ZeroText(buffer, maxChars);
  return NotImplemented("GetThemeSysString", theme);
}

HRESULT GetThemeTextExtent(HTHEME theme, HDC, int part, int state, LPCWSTR, int, DWORD, const RECT* bounding,
                           RECT* extent) {
  Zero(extent);
  return NotImplemented("GetThemeTextExtent", theme, part, state, bounding);
}

HRESULT GetThemeTextMetrics(HTHEME theme, HDC, int part, int state, TEXTMETRICW* metrics) {
  Zero(metrics);
  return NotImplemented("GetThemeTextMetrics", theme, part, state);
}

HTHEME GetWindowTheme(HWND) {
  NotImplemented("GetWindowTheme");
  return nullptr;
}

BOOL IsThemePartDefined(HTHEME theme, int part, int state) {
  NotImplemented("IsThemePartDefined", theme, part, state);
  return FALSE;
}

BOOL IsThemeDialogTextureEnabled(HWND) {
  NotImplemented("IsThemeDialogTextureEnabled");
  return FALSE;
}

void SetThemeAppProperties(DWORD) { NotImplemented("SetThemeAppProperties"); }

HRESULT SetWindowTheme(HWND, LPCWSTR, LPCWSTR) { return NotImplemented("SetWindowTheme"); }

}  // namespace win
