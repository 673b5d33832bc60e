// The theme module's functions, types and numbers (namespace win).
//
// Programs reach these through the window system's module table, by name
// from the theme library ("UxTheme"), so a missing module or export is
// something they can survive; calling them directly works too. Text is
// wide (UTF-16) as the platform passes it; the module converts it to code
// page 1252 at its edge.
//
// Functions that answer a result code give S_OK on success. Those the
// module does not implement answer E_NOTIMPL and zero every output; the
// implemented ones leave their outputs as they were when they fail, so a
// caller's starting value survives a refused query.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/ImageLists.h"
#include "platform/rtl/Object.h"

namespace win {

ORV_DECLARE_HANDLE(HTHEME)

// ---- Result codes ----
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_INSUFFICIENT_BUFFER_HR = static_cast<HRESULT>(0x8007007Au);
// A property, part or class the theme does not define.
constexpr HRESULT E_PROP_ID_UNSUPPORTED = static_cast<HRESULT>(0x80070490u);

// ---- Sizes and properties ----
enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// Colour properties every part answers.
constexpr int TMT_BORDERCOLOR = 3801;
constexpr int TMT_FILLCOLOR = 3802;
constexpr int TMT_TEXTCOLOR = 3803;
// The push button's face colour, which the button painters ask for by this
// number.
constexpr int TMT_FACECOLOR = 204;

// DrawThemeText's second flag word.
constexpr DWORD DTT_GRAYED = 0x00000001;

// HitTestThemeBackground options: which margins of the part count as
// sizing borders or caption; without any, inside is HTCLIENT.
constexpr DWORD HTTB_BACKGROUNDSEG = 0x0000;
constexpr DWORD HTTB_FIXEDBORDER = 0x0002;
constexpr DWORD HTTB_CAPTION = 0x0004;
constexpr DWORD HTTB_RESIZINGBORDER_LEFT = 0x0010;
constexpr DWORD HTTB_RESIZINGBORDER_TOP = 0x0020;
constexpr DWORD HTTB_RESIZINGBORDER_RIGHT = 0x0040;
constexpr DWORD HTTB_RESIZINGBORDER_BOTTOM = 0x0080;
constexpr DWORD HTTB_RESIZINGBORDER = 0x00F0;

struct MARGINS {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
};

constexpr int MAX_INTLIST_COUNT = 10;
struct INTLIST {
  int iValueCount;
  int iValues[MAX_INTLIST_COUNT];
};

enum PROPERTYORIGIN { PO_STATE = 0, PO_PART = 1, PO_CLASS = 2, PO_GLOBAL = 3, PO_NOTFOUND = 4 };

struct LOGFONTW {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char16_t lfFaceName[32];
};

struct TEXTMETRICW {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  char16_t tmFirstChar;
  char16_t tmLastChar;
  char16_t tmDefaultChar;
  char16_t tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};

// ---- Handles and state ----
// classList: class names separated by ';', the first the module knows is
// opened. Null when themes are off or no name is known.
HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
BOOL IsThemeActive();
BOOL IsAppThemed();
HRESULT GetCurrentThemeName(LPWSTR fileName, int maxFileChars, LPWSTR colorName, int maxColorChars, LPWSTR sizeName,
                            int maxSizeChars);

// ---- Drawing ----
HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                      DWORD textFlags2, const RECT* rect);
HRESULT DrawThemeEdge(HTHEME theme, HDC hdc, int part, int state, const RECT* dest, UINT edge, UINT flags,
                      RECT* content);
// Has the window's parent paint into hdc, under the window: WM_ERASEBKGND
// and then WM_PAINT, each with the DC in wParam, the DC's origin moved so
// that the parent's client coordinates land where they lie on screen and,
// with a rectangle (the window's client coordinates), clipped to it.
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect);

// ---- Measuring and asking ----
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state, const RECT* bounds, RECT* content);
// A new region the caller deletes, in the coordinates of rect.
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, HRGN* region);
HRESULT GetThemePartSize(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, THEMESIZE kind, SIZE* size);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* color);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
// region, when given, replaces the part's own shape.
HRESULT HitTestThemeBackground(HTHEME theme, HDC hdc, int part, int state, DWORD options, const RECT* rect, HRGN region,
                               POINT point, WORD* hitCode);

// ---- Not implemented: E_NOTIMPL (or zero), outputs zeroed ----
HRESULT DrawThemeIcon(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, HIMAGELIST images, int index);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);
DWORD GetThemeAppProperties();
HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC hdc, int part, int state, const RECT* content, RECT* extent);
HRESULT GetThemeBool(HTHEME theme, int part, int state, int prop, BOOL* value);
HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propName, LPWSTR value, int maxChars);
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemeFilename(HTHEME theme, int part, int state, int prop, LPWSTR fileName, int maxChars);
HRESULT GetThemeFont(HTHEME theme, HDC hdc, int part, int state, int prop, LOGFONTW* font);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemeIntList(HTHEME theme, int part, int state, int prop, INTLIST* list);
HRESULT GetThemeMargins(HTHEME theme, HDC hdc, int part, int state, int prop, RECT* rect, MARGINS* margins);
HRESULT GetThemeMetric(HTHEME theme, HDC hdc, int part, int state, int prop, int* value);
HRESULT GetThemePosition(HTHEME theme, int part, int state, int prop, POINT* point);
HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int prop, PROPERTYORIGIN* origin);
HRESULT GetThemeRect(HTHEME theme, int part, int state, int prop, RECT* rect);
HRESULT GetThemeString(HTHEME theme, int part, int state, int prop, LPWSTR buffer, int maxChars);
BOOL GetThemeSysBool(HTHEME theme, int boolId);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId);
HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTW* font);
HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value);
int GetThemeSysSize(HTHEME theme, int sizeId);
HRESULT GetThemeSysString(HTHEME theme, int stringId, LPWSTR buffer, int maxChars);
HRESULT GetThemeTextExtent(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int count, DWORD textFlags,
                           const RECT* bounding, RECT* extent);
HRESULT GetThemeTextMetrics(HTHEME theme, HDC hdc, int part, int state, TEXTMETRICW* metrics);
HTHEME GetWindowTheme(HWND hwnd);
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
void SetThemeAppProperties(DWORD flags);
HRESULT SetWindowTheme(HWND hwnd, LPCWSTR appName, LPCWSTR idList);

}  // namespace win
