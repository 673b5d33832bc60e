// System parameters: the work area, the non-client metrics and fonts, the
// wheel and keyboard settings, and the WM_SETTINGCHANGE broadcast that
// tells every top-level window (hidden listener windows included) when one
// of them or the locale changes.
#pragma once

#include "platform/gdi/Fonts.h"
#include "platform/win/Handles.h"

namespace win {

constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_SETNONCLIENTMETRICS = 0x002A;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;

constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
constexpr UINT SPIF_SENDCHANGE = 0x0002;
constexpr UINT SPIF_SENDWININICHANGE = SPIF_SENDCHANGE;

struct NONCLIENTMETRICSA {
  UINT cbSize;  // 340
  int iBorderWidth;
  int iScrollWidth;
  int iScrollHeight;
  int iCaptionWidth;
  int iCaptionHeight;
  LOGFONTA lfCaptionFont;
  int iSmCaptionWidth;
  int iSmCaptionHeight;
  LOGFONTA lfSmCaptionFont;
  int iMenuWidth;
  int iMenuHeight;
  LOGFONTA lfMenuFont;
  LOGFONTA lfStatusFont;
  LOGFONTA lfMessageFont;
};
static_assert(sizeof(NONCLIENTMETRICSA) == 340);
using NONCLIENTMETRICS = NONCLIENTMETRICSA;

// SPI_GETWORKAREA (RECT, the primary monitor's), SPI_GETNONCLIENTMETRICS
// and SPI_SETNONCLIENTMETRICS (cbSize and uiParam 340), SPI_GETWHEELSCROLLLINES
// (UINT, 3), SPI_GETKEYBOARDDELAY (int 0..3, 1 = 500 ms), SPI_GETKEYBOARDSPEED
// (DWORD 0..31, 31 = about 30 a second), SPI_GETDRAGFULLWINDOWS (BOOL).
// A change with SPIF_SENDCHANGE broadcasts WM_SETTINGCHANGE(action, 0).
BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni);
inline BOOL SystemParametersInfo(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni) {
  return SystemParametersInfoA(action, uiParam, pvParam, winIni);
}

// Sends WM_SETTINGCHANGE(wParam, section) to every top-level window, hidden
// ones included; section is null or a name such as "intl" (sent when the
// locale changes).
void BroadcastSettingChange(WPARAM wParam, LPCSTR section);

// The auto-repeat timing the keyboard settings stand for, in milliseconds.
int KeyboardDelayMs();
int KeyboardRepeatMs();

namespace detail {
// Puts the non-client metrics back to the defaults.
void ResetSystemParameters();
}  // namespace detail

}  // namespace win
