// The visual-theme library, bound by name at run time so that the program
// also runs where it is missing, with one thin wrapper per export.
//
// Start-up (dxUxThemeInitialize) binds the 46 exports only on XP or later
// and only when the library loads. A wrapper whose export is not bound
// answers E_NOTIMPL (or zero, null or nothing where the export answers no
// result code) and leaves its outputs alone, so a caller's starting value
// survives, as it does when the theme refuses a query.
//
// The wrappers have the platform's names and arguments at global scope.
// The handle types live in namespace win, so an unqualified call would
// also find the module's own function by argument lookup: call them as
// ::DrawThemeBackground(...). The types below come from the module's
// header; nothing of the module is linked.
#pragma once

#include "platform/rtl/Types.h"
#include "platform/theme/ThemeApi.h"

using _MARGINS = win::MARGINS;
using _INTLIST = win::INTLIST;
using PROPERTYORIGIN = win::PROPERTYORIGIN;

// ---- Start-up and state ----
// The unit's start-up step (first of the library's): the version test,
// the common controls, loading the library and binding every export.
void dxUxThemeInitialize();
// The unit's shut-down step: unloads the library and forgets the exports.
void dxUxThemeFinalize();
bool IsThemeLibraryLoaded();
bool IsWindowsXPOrLater();

// ---- Wrappers, in binding order ----
win::HRESULT CloseThemeData(win::HTHEME hTheme);
win::HRESULT DrawThemeBackground(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const win::RECT* pRect,
                                 const win::RECT* pClipRect);
win::HRESULT DrawThemeBackground(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const TRect& ARect,
                                 const win::RECT* pClipRect = nullptr);
win::HRESULT DrawThemeBackground(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const TRect& ARect,
                                 const TRect& AClipRect);
win::HRESULT DrawThemeEdge(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const win::RECT* pDestRect,
                           win::UINT uEdge, win::UINT uFlags, win::RECT* pContentRect);
win::HRESULT DrawThemeEdge(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const TRect& ADestRect,
                           win::UINT uEdge, win::UINT uFlags, TRect& AContentRect);
// The content rectangle goes to a scratch rectangle.
win::HRESULT DrawThemeEdge(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const TRect& ADestRect,
                           win::UINT uEdge, win::UINT uFlags);
win::HRESULT DrawThemeIcon(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const win::RECT* pRect,
                           win::HIMAGELIST himl, int iImageIndex);
// Keeps the font selected into hdc: the parent's painting may select another.
win::HRESULT DrawThemeParentBackground(win::HWND hwnd, win::HDC hdc, const win::RECT* prc);
win::HRESULT DrawThemeText(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const WideString& AText,
                           int iCharCount, win::DWORD dwTextFlags, win::DWORD dwTextFlags2, const win::RECT* pRect);
// The 8-bit text is converted to wide text for the call.
win::HRESULT DrawThemeText(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const AnsiString& AText,
                           int iCharCount, win::DWORD dwTextFlags, win::DWORD dwTextFlags2, const win::RECT* pRect);
win::HRESULT EnableThemeDialogTexture(win::HWND hwnd, win::DWORD dwFlags);
win::HRESULT GetCurrentThemeName(win::LPWSTR pszThemeFileName, int cchMaxNameChars, win::LPWSTR pszColorBuff,
                                 int cchMaxColorChars, win::LPWSTR pszSizeBuff, int cchMaxSizeChars);
win::DWORD GetThemeAppProperties();
win::HRESULT GetThemeBackgroundContentRect(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId,
                                           const win::RECT* pBoundingRect, win::RECT* pContentRect);
win::HRESULT GetThemeBackgroundContentRect(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId,
                                           const TRect& ABoundingRect, TRect& AContentRect);
win::HRESULT GetThemeBackgroundRegion(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId,
                                      const win::RECT* pRect, win::HRGN* pRegion);
win::HRESULT GetThemeBackgroundExtent(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId,
                                      const win::RECT* pContentRect, win::RECT* pExtentRect);
win::HRESULT GetThemeBool(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, win::BOOL* pfVal);
win::HRESULT GetThemeColor(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);
win::HRESULT GetThemeDocumentationProperty(win::LPCWSTR pszThemeName, win::LPCWSTR pszPropertyName,
                                           win::LPWSTR pszValueBuff, int cchMaxValChars);
win::HRESULT GetThemeEnumValue(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
win::HRESULT GetThemeFilename(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                              win::LPWSTR pszThemeFileName, int cchMaxBuffChars);
win::HRESULT GetThemeFont(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, int iPropId,
                          win::LOGFONTW* pFont);
win::HRESULT GetThemeInt(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
win::HRESULT GetThemeIntList(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, _INTLIST* pIntList);
win::HRESULT GetThemeMargins(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, int iPropId,
                             win::RECT* prc, _MARGINS* pMargins);
win::HRESULT GetThemeMetric(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal);
win::HRESULT GetThemePartSize(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const win::RECT* prc,
                              win::THEMESIZE eSize, win::SIZE* psz);
win::HRESULT GetThemePartSize(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, const TRect& ARect,
                              win::THEMESIZE eSize, win::SIZE* psz);
// No rectangle: the part's own size.
win::HRESULT GetThemePartSize(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, win::THEMESIZE eSize,
                              win::SIZE* psz);
win::HRESULT GetThemePosition(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, win::POINT* pPoint);
win::HRESULT GetThemePropertyOrigin(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                    PROPERTYORIGIN* pOrigin);
win::HRESULT GetThemeRect(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, win::RECT* pRect);
win::HRESULT GetThemeString(win::HTHEME hTheme, int iPartId, int iStateId, int iPropId, win::LPWSTR pszBuff,
                            int cchMaxBuffChars);
win::BOOL GetThemeSysBool(win::HTHEME hTheme, int iBoolId);
COLORREF GetThemeSysColor(win::HTHEME hTheme, int iColorId);
win::HBRUSH GetThemeSysColorBrush(win::HTHEME hTheme, int iColorId);
win::HRESULT GetThemeSysFont(win::HTHEME hTheme, int iFontId, win::LOGFONTW* plf);
win::HRESULT GetThemeSysInt(win::HTHEME hTheme, int iIntId, int* piValue);
int GetThemeSysSize(win::HTHEME hTheme, int iSizeId);
win::HRESULT GetThemeSysString(win::HTHEME hTheme, int iStringId, win::LPWSTR pszStringBuff, int cchMaxStringChars);
win::HRESULT GetThemeTextExtent(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, win::LPCWSTR pszText,
                                int iCharCount, win::DWORD dwTextFlags, const win::RECT* pBoundingRect,
                                win::RECT* pExtentRect);
win::HRESULT GetThemeTextMetrics(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId,
                                 win::TEXTMETRICW* ptm);
win::HTHEME GetWindowTheme(win::HWND hwnd);
// The point is passed on by value.
win::HRESULT HitTestThemeBackground(win::HTHEME hTheme, win::HDC hdc, int iPartId, int iStateId, win::DWORD dwOptions,
                                    const win::RECT* pRect, win::HRGN hrgn, const win::POINT& ptTest,
                                    win::WORD* pwHitTestCode);
win::BOOL IsAppThemed();
win::BOOL IsThemeActive();
win::BOOL IsThemePartDefined(win::HTHEME hTheme, int iPartId, int iStateId);
win::BOOL IsThemeBackgroundPartiallyTransparent(win::HTHEME hTheme, int iPartId, int iStateId);
win::BOOL IsThemeDialogTextureEnabled(win::HWND hwnd);
win::HTHEME OpenThemeData(win::HWND hwnd, win::LPCWSTR pszClassList);
void SetThemeAppProperties(win::DWORD dwFlags);
win::HRESULT SetWindowTheme(win::HWND hwnd, win::LPCWSTR pszSubAppName, win::LPCWSTR pszSubIdList);
