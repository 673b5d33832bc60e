// The system around the windows: metrics and parameters, the settings and
// colour broadcasts reaching hidden top-level windows, monitors from the
// back end's list, and the platform's identity.
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/PenBrush.h"
#include "platform/rtl/Locale.h"
#include "platform/win/Identity.h"
#include "platform/win/Metrics.h"
#include "platform/win/Monitors.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/TestHooks.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowStyles.h"
#include "platform/win/MessageLog.h"

using namespace win;
using namespace wintest;

namespace {

class System : public ::testing::Test {
 protected:
  test::Session session;
  Recorder rec;
  HWND shown = nullptr, hidden = nullptr, child = nullptr;
  void SetUp() override {
    RegisterRecorderClass();
    shown = CreateWindowExA(0, "Recorder", "Shown", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                            nullptr);
    hidden = CreateWindowExA(0, "Recorder", "Hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    child = CreateWindowExA(0, "Recorder", "Child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, shown, nullptr, nullptr,
                            nullptr);
    test::PumpUntilIdle();
    rec.ignored.push_back(WM_PAINT);
    rec.ignored.push_back(WM_ERASEBKGND);
    rec.ignored.push_back(WM_NCPAINT);
    rec.detailed = true;
    rec.Take();
  }
  std::vector<std::string> Received(UINT msg) {
    std::vector<std::string> out;
    for (auto& e : rec.Take())
      if (e.find(MessageName(msg)) != std::string::npos) out.push_back(e.substr(0, e.find(' ')));
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(System, MetricsHaveTheClassicValuesAndTestsMayChangeThem) {
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CYVTHUMB), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXHTHUMB), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), 32);
  EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
  EXPECT_EQ(GetSystemMetrics(SM_CYSIZE), 18);
  EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  test::SetSystemMetric(SM_CXVSCROLL, 20);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
  EXPECT_EQ(m.iScrollWidth, 20);  // follows the metric
}

TEST_F(System, ParametersAnswerWorkAreaFontsWheelAndKeyboard) {
  test::SetMonitors({MonitorInfo{{0, 0, 800, 600}, {0, 0, 800, 570}, true}});
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, (RECT{0, 0, 800, 570}));
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(lines, 3u);
  int delay = -1;
  DWORD speed = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0));
  EXPECT_EQ(delay, 1);
  EXPECT_EQ(speed, 31u);
  EXPECT_EQ(KeyboardDelayMs(), 500);
  EXPECT_EQ(KeyboardRepeatMs(), 33);

  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  for (const LOGFONTA* f : {&m.lfMenuFont, &m.lfMessageFont, &m.lfCaptionFont, &m.lfStatusFont}) {
    EXPECT_STREQ(f->lfFaceName, gui.lfFaceName);
    EXPECT_EQ(f->lfHeight, gui.lfHeight);
  }
  // A wrong structure size is refused, not overrun.
  m.cbSize = 100;
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 100, &m, 0));
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfoA(0x7777, 0, &work, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(System, SettingChangesReachEveryTopLevelWindowHiddenOnesIncluded) {
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  m.iMenuHeight = 25;
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof m, &m, 0));
  EXPECT_TRUE(Received(WM_SETTINGCHANGE).empty());  // stored quietly
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof m, &m, SPIF_SENDCHANGE));
  EXPECT_EQ(Received(WM_SETTINGCHANGE), Seq({"Hidden", "Shown"}));
  NONCLIENTMETRICSA back{};
  back.cbSize = sizeof back;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof back, &back, 0);
  EXPECT_EQ(back.iMenuHeight, 25);

  // A locale change arrives as section "intl".
  std::vector<std::string> sections;
  rec.handlers["Hidden"] = [&](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_SETTINGCHANGE) sections.push_back(l ? reinterpret_cast<const char*>(l) : "(null)");
    return std::nullopt;
  };
  {
    ScopedLocale german("de-DE");
    EXPECT_EQ(Received(WM_SETTINGCHANGE), Seq({"Hidden", "Shown"}));
  }
  EXPECT_EQ(sections, Seq({"intl", "intl"}));  // and again when it is put back
}

TEST_F(System, SetSysColorsChangesTheTableAndTheBrushesAndTellsEveryTopLevelWindow) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
  int index = COLOR_BTNFACE;
  COLORREF pink = RGB(255, 192, 203);
  ASSERT_TRUE(SetSysColors(1, &index, &pink));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pink);
  LOGBRUSH lb{};
  GetObjectA(GetSysColorBrush(COLOR_BTNFACE), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, pink);
  EXPECT_EQ(Received(WM_SYSCOLORCHANGE), Seq({"Hidden", "Shown"}));
}

TEST_F(System, MonitorsComeFromTheBackEndNearestPrimaryOrNull) {
  test::SetMonitors({MonitorInfo{{0, 0, 1024, 768}, {0, 0, 1024, 740}, true},
                     MonitorInfo{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}, false}});
  HMONITOR primary = MonitorFromPoint(POINT{5, 5}, MONITOR_DEFAULTTONULL);
  HMONITOR second = MonitorFromPoint(POINT{1100, 900}, MONITOR_DEFAULTTONULL);
  ASSERT_TRUE(primary && second);
  EXPECT_NE(primary, second);

  // Off every monitor: null, the primary, or the nearest one.
  POINT below{1500, 1500};
  EXPECT_EQ(MonitorFromPoint(below, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(below, MONITOR_DEFAULTTOPRIMARY), primary);
  EXPECT_EQ(MonitorFromPoint(below, MONITOR_DEFAULTTONEAREST), second);
  EXPECT_EQ(MonitorFromPoint(POINT{-50, 10}, MONITOR_DEFAULTTONEAREST), primary);

  // A rectangle goes to the monitor holding most of it.
  RECT straddle{900, 100, 1200, 200};
  EXPECT_EQ(MonitorFromRect(&straddle, MONITOR_DEFAULTTONULL), second);
  SetWindowPos(shown, nullptr, 1000, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(MonitorFromWindow(shown, MONITOR_DEFAULTTONULL), second);
  EXPECT_EQ(MonitorFromWindow(reinterpret_cast<HWND>(std::uintptr_t(0x4242)), MONITOR_DEFAULTTONEAREST), nullptr);

  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoA(primary, &info));
  EXPECT_EQ(info.rcWork, (RECT{0, 0, 1024, 740}));
  EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);
  MONITORINFOEXA ex{};
  ex.cbSize = sizeof ex;
  ASSERT_TRUE(GetMonitorInfoA(second, reinterpret_cast<MONITORINFO*>(&ex)));
  EXPECT_EQ(ex.rcMonitor, (RECT{1024, 0, 2304, 1024}));
  EXPECT_EQ(ex.dwFlags, 0u);
  EXPECT_STREQ(ex.szDevice, "\\\\.\\DISPLAY2");
  info.cbSize = 44;
  EXPECT_FALSE(GetMonitorInfoA(primary, &info));

  // A handle of a monitor that went away fails.
  test::SetMonitors({MonitorInfo{{0, 0, 800, 600}, {0, 0, 800, 600}, true}});
  info.cbSize = sizeof info;
  EXPECT_FALSE(GetMonitorInfoA(second, &info));
}

TEST_F(System, TheIdentityIsNt51) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(v.dwMajorVersion, 5u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(v.dwBuildNumber, 2600u);
  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex)));
  EXPECT_EQ(ex.dwMinorVersion, 1u);
  v.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&v));
  EXPECT_EQ(GetVersion() & 0xFFFF, 0x0105u);

  InitCommonControls();
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&icc));
  EXPECT_NE(GetCurrentThreadId(), 0u);
}

}  // namespace
