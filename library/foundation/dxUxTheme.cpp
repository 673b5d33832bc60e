#include "library/foundation/dxUxTheme.h"

#include <array>
#include <cstddef>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Identity.h"
#include "platform/win/Modules.h"

using namespace win;

namespace {

// Every export in binding order; the enumeration and the name table are
// both made from this one list.
#define DX_THEME_EXPORTS(X)                                                                                       \
  X(CloseThemeData)                                                                                               \
  X(DrawThemeBackground)                                                                                          \
  X(DrawThemeEdge)                                                                                                \
  X(DrawThemeIcon)                                                                                                \
  X(DrawThemeParentBackground)                                                                                    \
  X(DrawThemeText)                                                                                                \
  X(EnableThemeDialogTexture)                                                                                     \
  X(GetCurrentThemeName)                                                                                          \
  X(GetThemeAppProperties)                                                                                        \
  X(GetThemeBackgroundContentRect)                                                                                \
  X(GetThemeBackgroundRegion)                                                                                     \
  X(GetThemeBackgroundExtent)                                                                                     \
  X(GetThemeBool)                                                                                                 \
  X(GetThemeColor)                                                                                                \
  X(GetThemeDocumentationProperty)                                                                                \
  X(GetThemeEnumValue)                                                                                            \
  X(GetThemeFilename)                                                                                             \
  X(GetThemeFont)                                                                                                 \
  X(GetThemeInt)                                                                                                  \
  X(GetThemeIntList)                                                                                              \
  X(GetThemeMargins)                                                                                              \
  X(GetThemeMetric)                                                                                               \
  X(GetThemePartSize)                                                                                             \
  X(GetThemePosition)                                                                                             \
  X(GetThemePropertyOrigin)                                                                                       \
  X(GetThemeRect)                                                                                                 \
  X(GetThemeString)                                                                                               \
  X(GetThemeSysBool)                                                                                              \
  X(GetThemeSysColor)                                                                                             \
  X(GetThemeSysColorBrush)                                                                                        \
  X(GetThemeSysFont)                                                                                              \
  X(GetThemeSysInt)                                                                                               \
  X(GetThemeSysSize)                                                                                              \
  X(GetThemeSysString)                                                                                            \
  X(GetThemeTextExtent)                                                                                           \
  X(GetThemeTextMetrics)                                                                                          \
  X(GetWindowTheme)                                                                                               \
  X(HitTestThemeBackground)                                                                                       \
  X(IsAppThemed)                                                                                                  \
  X(IsThemeActive)                                                                                                \
  X(IsThemePartDefined)                                                                                           \
  X(IsThemeBackgroundPartiallyTransparent)                                                                        \
  X(IsThemeDialogTextureEnabled)                                                                                  \
  X(OpenThemeData)                                                                                                \
  X(SetThemeAppProperties)                                                                                        \
  X(SetWindowTheme)

enum class Export : std::size_t {
#define DX_ENUM(name) name,
  DX_THEME_EXPORTS(DX_ENUM)
#undef DX_ENUM
      Count
};

constexpr std::array<const char*, static_cast<std::size_t>(Export::Count)> kExportNames{
#define DX_NAME(name) #name,
    DX_THEME_EXPORTS(DX_NAME)
#undef DX_NAME
};
static_assert(kExportNames.size() == 46);

struct Binding {
  HMODULE Library = nullptr;
  bool XPOrLater = false;
  std::array<FARPROC, kExportNames.size()> Procs{};
};

Binding& B() {
  static Binding binding;
  return binding;
}

// The bound export with the module's own signature, or null.
template <class Fn>
Fn Bound(Export e) {
  return reinterpret_cast<Fn>(B().Procs[static_cast<std::size_t>(e)]);
}

}  // namespace

// Calls the bound export, or answers the given value when it is not bound.
#define DX_CALL(name, unbound, ...)                                        \
  do {                                                                     \
    if (auto proc = Bound<decltype(&win::name)>(Export::name)) return proc(__VA_ARGS__); \
    return unbound;                                                        \
  } while (false)

void dxUxThemeInitialize() {
  dxUxThemeFinalize();
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (GetVersionExA(&info))
    B().XPOrLater = info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion != 0);
  InitCommonControls();
  if (!B().XPOrLater) return;
  B().Library = LoadLibraryA("UxTheme.dll");
  if (!B().Library) return;
  for (std::size_t i = 0; i < kExportNames.size(); ++i) B().Procs[i] = GetProcAddress(B().Library, kExportNames[i]);
}

void dxUxThemeFinalize() {
  if (B().Library) FreeLibrary(B().Library);
  B() = Binding{};
}

bool IsThemeLibraryLoaded() { return B().Library != nullptr; }
bool IsWindowsXPOrLater() { return B().XPOrLater; }

HRESULT CloseThemeData(HTHEME hTheme) { DX_CALL(CloseThemeData, E_NOTIMPL, hTheme); }

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                            const RECT* pClipRect) {
  DX_CALL(DrawThemeBackground, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pRect, pClipRect);
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ARect,
                            const RECT* pClipRect) {
  return ::DrawThemeBackground(hTheme, hdc, iPartId, iStateId, &ARect, pClipRect);
}

HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ARect,
                            const TRect& AClipRect) {
  return ::DrawThemeBackground(hTheme, hdc, iPartId, iStateId, &ARect, &AClipRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect, UINT uEdge,
                      UINT uFlags, RECT* pContentRect) {
  DX_CALL(DrawThemeEdge, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pDestRect, uEdge, uFlags, pContentRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ADestRect, UINT uEdge,
                      UINT uFlags, TRect& AContentRect) {
  return ::DrawThemeEdge(hTheme, hdc, iPartId, iStateId, &ADestRect, uEdge, uFlags, &AContentRect);
}

HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ADestRect, UINT uEdge,
                      UINT uFlags) {
  TRect content{};
  return ::DrawThemeEdge(hTheme, hdc, iPartId, iStateId, &ADestRect, uEdge, uFlags, &content);
}

HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, HIMAGELIST himl,
                      int iImageIndex) {
  DX_CALL(DrawThemeIcon, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pRect, himl, iImageIndex);
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc) {
  auto proc = Bound<decltype(&win::DrawThemeParentBackground)>(Export::DrawThemeParentBackground);
  if (!proc) return E_NOTIMPL;
  HGDIOBJ font = GetCurrentObject(hdc, OBJ_FONT);
  HRESULT result = proc(hwnd, hdc, prc);
  if (font) SelectObject(hdc, font);
  return result;
}

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const WideString& AText, int iCharCount,
                      DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect) {
  DX_CALL(DrawThemeText, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, AText.c_str(), iCharCount, dwTextFlags,
          dwTextFlags2, pRect);
}

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const AnsiString& AText, int iCharCount,
                      DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect) {
  return ::DrawThemeText(hTheme, hdc, iPartId, iStateId, AnsiToWide(AText), iCharCount, dwTextFlags, dwTextFlags2,
                         pRect);
}

HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags) {
  DX_CALL(EnableThemeDialogTexture, E_NOTIMPL, hwnd, dwFlags);
}

HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff, int cchMaxColorChars,
                            LPWSTR pszSizeBuff, int cchMaxSizeChars) {
  DX_CALL(GetCurrentThemeName, E_NOTIMPL, pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars,
          pszSizeBuff, cchMaxSizeChars);
}

DWORD GetThemeAppProperties() { DX_CALL(GetThemeAppProperties, 0); }

HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pBoundingRect,
                                      RECT* pContentRect) {
  DX_CALL(GetThemeBackgroundContentRect, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pBoundingRect, pContentRect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ABoundingRect,
                                      TRect& AContentRect) {
  return ::GetThemeBackgroundContentRect(hTheme, hdc, iPartId, iStateId, &ABoundingRect, &AContentRect);
}

HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                 HRGN* pRegion) {
  DX_CALL(GetThemeBackgroundRegion, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pRect, pRegion);
}

HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pContentRect,
                                 RECT* pExtentRect) {
  DX_CALL(GetThemeBackgroundExtent, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pContentRect, pExtentRect);
}

HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal) {
  DX_CALL(GetThemeBool, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pfVal);
}

HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor) {
  DX_CALL(GetThemeColor, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pColor);
}

HRESULT GetThemeDocumentationProperty(LPCWSTR pszThemeName, LPCWSTR pszPropertyName, LPWSTR pszValueBuff,
                                      int cchMaxValChars) {
  DX_CALL(GetThemeDocumentationProperty, E_NOTIMPL, pszThemeName, pszPropertyName, pszValueBuff, cchMaxValChars);
}

HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal) {
  DX_CALL(GetThemeEnumValue, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszThemeFileName,
                         int cchMaxBuffChars) {
  DX_CALL(GetThemeFilename, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pszThemeFileName, cchMaxBuffChars);
}

HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LOGFONTW* pFont) {
  DX_CALL(GetThemeFont, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, iPropId, pFont);
}

HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal) {
  DX_CALL(GetThemeInt, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId, _INTLIST* pIntList) {
  DX_CALL(GetThemeIntList, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pIntList);
}

HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, RECT* prc,
                        _MARGINS* pMargins) {
  DX_CALL(GetThemeMargins, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, iPropId, prc, pMargins);
}

HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal) {
  DX_CALL(GetThemeMetric, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, iPropId, piVal);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* prc, THEMESIZE eSize,
                         SIZE* psz) {
  DX_CALL(GetThemePartSize, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, prc, eSize, psz);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const TRect& ARect, THEMESIZE eSize,
                         SIZE* psz) {
  return ::GetThemePartSize(hTheme, hdc, iPartId, iStateId, &ARect, eSize, psz);
}

HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, THEMESIZE eSize, SIZE* psz) {
  return ::GetThemePartSize(hTheme, hdc, iPartId, iStateId, static_cast<const RECT*>(nullptr), eSize, psz);
}

HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint) {
  DX_CALL(GetThemePosition, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pPoint);
}

HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId, int iPropId, PROPERTYORIGIN* pOrigin) {
  DX_CALL(GetThemePropertyOrigin, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pOrigin);
}

HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, RECT* pRect) {
  DX_CALL(GetThemeRect, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pRect);
}

HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff, int cchMaxBuffChars) {
  DX_CALL(GetThemeString, E_NOTIMPL, hTheme, iPartId, iStateId, iPropId, pszBuff, cchMaxBuffChars);
}

BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId) { DX_CALL(GetThemeSysBool, FALSE, hTheme, iBoolId); }

COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId) { DX_CALL(GetThemeSysColor, 0, hTheme, iColorId); }

HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId) {
  DX_CALL(GetThemeSysColorBrush, nullptr, hTheme, iColorId);
}

HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf) {
  DX_CALL(GetThemeSysFont, E_NOTIMPL, hTheme, iFontId, plf);
}

HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue) {
  DX_CALL(GetThemeSysInt, E_NOTIMPL, hTheme, iIntId, piValue);
}

int GetThemeSysSize(HTHEME hTheme, int iSizeId) { DX_CALL(GetThemeSysSize, 0, hTheme, iSizeId); }

HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff, int cchMaxStringChars) {
  DX_CALL(GetThemeSysString, E_NOTIMPL, hTheme, iStringId, pszStringBuff, cchMaxStringChars);
}

HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount,
                           DWORD dwTextFlags, const RECT* pBoundingRect, RECT* pExtentRect) {
  DX_CALL(GetThemeTextExtent, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, pszText, iCharCount, dwTextFlags,
          pBoundingRect, pExtentRect);
}

HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm) {
  DX_CALL(GetThemeTextMetrics, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, ptm);
}

HTHEME GetWindowTheme(HWND hwnd) { DX_CALL(GetWindowTheme, nullptr, hwnd); }

HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions, const RECT* pRect,
                               HRGN hrgn, const POINT& ptTest, WORD* pwHitTestCode) {
  DX_CALL(HitTestThemeBackground, E_NOTIMPL, hTheme, hdc, iPartId, iStateId, dwOptions, pRect, hrgn, ptTest,
          pwHitTestCode);
}

BOOL IsAppThemed() { DX_CALL(IsAppThemed, FALSE); }
BOOL IsThemeActive() { DX_CALL(IsThemeActive, FALSE); }

BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId) {
  DX_CALL(IsThemePartDefined, FALSE, hTheme, iPartId, iStateId);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId) {
  DX_CALL(IsThemeBackgroundPartiallyTransparent, FALSE, hTheme, iPartId, iStateId);
}

BOOL IsThemeDialogTextureEnabled(HWND hwnd) { DX_CALL(IsThemeDialogTextureEnabled, FALSE, hwnd); }

HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList) { DX_CALL(OpenThemeData, nullptr, hwnd, pszClassList); }

void SetThemeAppProperties(DWORD dwFlags) {
  if (auto proc = Bound<decltype(&win::SetThemeAppProperties)>(Export::SetThemeAppProperties)) proc(dwFlags);
}

HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList) {
  DX_CALL(SetWindowTheme, E_NOTIMPL, hwnd, pszSubAppName, pszSubIdList);
}
