#include "platform/win/SystemParameters.h"

#include <cstring>
#include <vector>

#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/Locale.h"
#include "platform/win/BackEnd.h"
#include "platform/win/Messages.h"
#include "platform/win/Metrics.h"
#include "platform/win/WindowData.h"

namespace win {
namespace {

constexpr int kKeyboardDelay = 1;   // (n + 1) * 250 ms
constexpr int kKeyboardSpeed = 31;  // 0 .. 31: about 2.5 .. 30 repeats a second
constexpr UINT kWheelLines = 3;

NONCLIENTMETRICSA Defaults() {
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  m.iBorderWidth = 1;
  m.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  m.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  m.iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
  m.iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
  m.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
  m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
  m.iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
  m.iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  m.lfCaptionFont = m.lfSmCaptionFont = m.lfMenuFont = m.lfStatusFont = m.lfMessageFont = gui;
  // Captions stand out in bold.
  m.lfCaptionFont.lfWeight = m.lfSmCaptionFont.lfWeight = FW_BOLD;
  return m;
}

struct State {
  bool customMetrics = false;
  NONCLIENTMETRICSA metrics{};
};

State& S() {
  static State s;
  return s;
}

template <class T>
BOOL Answer(LPVOID out, T value) {
  if (!out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *static_cast<T*>(out) = value;
  return TRUE;
}

const char kIntl[] = "intl";

// The locale service tells the window system of every change; the windows
// hear it as a settings change of section "intl".
const LocaleListenerId localeListener =
    AddLocaleListener([] { BroadcastSettingChange(0, kIntl); });

}  // namespace

BOOL SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT winIni) {
  switch (action) {
    case SPI_GETWORKAREA: return Answer(pvParam, PrimaryWorkArea());
    case SPI_GETWHEELSCROLLLINES: return Answer(pvParam, kWheelLines);
    case SPI_GETKEYBOARDDELAY: return Answer(pvParam, kKeyboardDelay);
    case SPI_GETKEYBOARDSPEED: return Answer(pvParam, DWORD(kKeyboardSpeed));
    case SPI_GETDRAGFULLWINDOWS: return Answer(pvParam, TRUE);
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (!m || m->cbSize != sizeof(NONCLIENTMETRICSA) || (uiParam && uiParam != sizeof(NONCLIENTMETRICSA))) break;
      *m = S().customMetrics ? S().metrics : Defaults();
      return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: {
      auto* m = static_cast<const NONCLIENTMETRICSA*>(pvParam);
      if (!m || m->cbSize != sizeof(NONCLIENTMETRICSA) || (uiParam && uiParam != sizeof(NONCLIENTMETRICSA))) break;
      S().metrics = *m;
      S().customMetrics = true;
      if (winIni & SPIF_SENDCHANGE) BroadcastSettingChange(SPI_SETNONCLIENTMETRICS, nullptr);
      return TRUE;
    }
    default: break;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

void BroadcastSettingChange(WPARAM wParam, LPCSTR section) {
  (void)localeListener;
  // A handler may destroy windows (its own or others): each is checked
  // again before it is told.
  std::vector<HWND> tops;
  for (detail::Window* t : detail::TopLevels()) tops.push_back(t->handle);
  for (HWND h : tops)
    if (detail::Window* t = detail::Peek(h))
      detail::Deliver(t, WM_SETTINGCHANGE, wParam, reinterpret_cast<LPARAM>(section), true);
}

int KeyboardDelayMs() { return (kKeyboardDelay + 1) * 250; }
int KeyboardRepeatMs() { return 1000 * 10 / (25 + kKeyboardSpeed * 275 / 31); }

namespace detail {

void ResetSystemParameters() { S() = State{}; }

}  // namespace detail

}  // namespace win
