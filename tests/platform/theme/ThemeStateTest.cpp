// The theme setting, handles, names, the call log, and the parent painting
// under a child: what the library's theme manager and painters rely on.
#include <cstdlib>

#include "ThemeFixture.h"
#include "platform/win/Messages.h"
#include "platform/win/Queue.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WindowDC.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowProc.h"

namespace {

using namespace themetest;

struct Heard {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  BOOL active;  // IsThemeActive() as the window saw it
};
std::vector<Heard> gHeard;

LRESULT ListeningProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_THEMECHANGED) gHeard.push_back({h, m, w, IsThemeActive()});
  return DefWindowProcA(h, m, w, l);
}

// A parent that paints red everywhere and a blue square at (30, 20) of its
// client area, into whatever DC wParam brings.
LRESULT ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if ((m == WM_ERASEBKGND || m == WM_PAINT) && w) {
    gHeard.push_back({h, m, w, TRUE});
    HDC dc = reinterpret_cast<HDC>(w);
    RECT r{30, 20, 40, 30};
    if (m == WM_ERASEBKGND) GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(m == WM_ERASEBKGND ? RGB(255, 0, 0) : RGB(0, 0, 255));
    FillRect(dc, &r, b);
    DeleteObject(b);
    return 1;
  }
  return DefWindowProcA(h, m, w, l);
}

class State : public ThemeTest {
 protected:
  void SetUp() override {
    ThemeTest::SetUp();
    gHeard.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ListeningProc;
    wc.lpszClassName = "Listening";
    RegisterClassA(&wc);
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "Parent";
    RegisterClassA(&wc);
  }
  HWND Make(const char* cls, DWORD style, RECT r, HWND parent = nullptr) {
    return CreateWindowExA(0, cls, "", style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr, nullptr,
                           nullptr);
  }
};

TEST_F(State, ThemesAreOnUnlessTheEnvironmentTurnsThemOff) {
  const char* saved = std::getenv("ORVANTA_THEMES");
  std::string keep = saved ? saved : "";
  auto fresh = [](const char* value) {
    if (value)
      setenv("ORVANTA_THEMES", value, 1);
    else
      unsetenv("ORVANTA_THEMES");
    test::ResetThemeModule();
    return ThemesActive();
  };
  EXPECT_TRUE(fresh(nullptr));
  EXPECT_FALSE(fresh("0"));
  EXPECT_EQ(IsThemeActive(), FALSE);
  EXPECT_TRUE(fresh("1"));
  EXPECT_TRUE(fresh("yes"));  // reported, and the default holds
  if (saved)
    setenv("ORVANTA_THEMES", keep.c_str(), 1);
  else
    unsetenv("ORVANTA_THEMES");
  test::ResetThemeModule();
}

TEST_F(State, SwitchingTellsEveryTopLevelWindowOnceAfterTheNewAnswerHolds) {
  HWND a = Make("Listening", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  HWND hidden = Make("Listening", WS_POPUP, {60, 0, 110, 50});
  HWND child = Make("Listening", WS_CHILD | WS_VISIBLE, {5, 5, 20, 20}, a);
  ASSERT_TRUE(a && hidden && child);

  SetThemesActive(false);
  ASSERT_EQ(gHeard.size(), 2u);
  for (const Heard& h : gHeard) {
    EXPECT_NE(h.hwnd, child);
    EXPECT_EQ(h.msg, 0x031Au);
    EXPECT_EQ(h.active, FALSE);
  }
  EXPECT_NE(gHeard[0].hwnd, gHeard[1].hwnd);

  gHeard.clear();
  SetThemesActive(false);  // no change, no news
  EXPECT_TRUE(gHeard.empty());
  SetThemesActive(true);
  ASSERT_EQ(gHeard.size(), 2u);
  EXPECT_EQ(gHeard[0].active, TRUE);

  // Other theme names are a theme switch too; the same names are not.
  gHeard.clear();
  test::SetThemeNames(u"/themes/Luna.msstyles", u"NormalColor", u"NormalSize");
  EXPECT_EQ(gHeard.size(), 2u);
  test::SetThemeNames(u"/themes/Luna.msstyles", u"NormalColor", u"NormalSize");
  EXPECT_EQ(gHeard.size(), 2u);
}

TEST_F(State, WhileThemesAreOffNothingOpensAndNoThemeIsCurrent) {
  Theme before(u"Button");
  ASSERT_NE(before.h, nullptr);
  SetThemesActive(false);
  EXPECT_EQ(IsThemeActive(), FALSE);
  EXPECT_EQ(IsAppThemed(), FALSE);
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), nullptr);
  char16_t file[64] = u"untouched";
  EXPECT_EQ(GetCurrentThemeName(file, 64, nullptr, 0, nullptr, 0), E_FAIL);
  EXPECT_EQ(std::u16string(file), u"untouched");
  // A handle opened before stays usable until its owner closes it, as the
  // library does when it hears of the change.
  RECT r{0, 0, 20, 20};
  EXPECT_EQ(DrawThemeBackground(before, dc, 1, 1, &r, nullptr), S_OK);
}

TEST_F(State, HandlesOpenForTheFirstKnownClassOfTheListAndCloseOnce) {
  test::StartThemeCallLog();
  HTHEME a = OpenThemeData(nullptr, u"button");
  HTHEME b = OpenThemeData(nullptr, u"Clock; NoSuch ;ScrollBar");
  HTHEME none = OpenThemeData(nullptr, u"Clock;NoSuch");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
  HTHEME again = OpenThemeData(nullptr, u"Button");
  EXPECT_NE(again, a);  // every open is its own handle
  EXPECT_EQ(test::OpenThemeCount(), 3);
  const auto& calls = test::ThemeCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0].Class, "Button");
  EXPECT_EQ(calls[1].Class, "ScrollBar");
  EXPECT_EQ(calls[1].Text, "Clock; NoSuch ;ScrollBar");
  EXPECT_EQ(calls[2].Class, "");

  EXPECT_EQ(CloseThemeData(a), S_OK);
  EXPECT_EQ(CloseThemeData(a), E_HANDLE);
  RECT r{0, 0, 20, 20};
  COLORREF c = 0x123456;
  EXPECT_EQ(DrawThemeBackground(a, dc, 1, 1, &r, nullptr), E_HANDLE);
  EXPECT_EQ(GetThemeColor(a, 1, 1, TMT_TEXTCOLOR, &c), E_HANDLE);
  EXPECT_EQ(c, 0x123456u);
  EXPECT_EQ(CloseThemeData(nullptr), E_HANDLE);
  CloseThemeData(b);
  CloseThemeData(again);
}

TEST_F(State, CurrentNamesAreTheModulesOwnUntilATestSetsOthers) {
  char16_t file[64] = {}, color[32] = {}, size[32] = {};
  ASSERT_EQ(GetCurrentThemeName(file, 64, color, 32, size, 32), S_OK);
  EXPECT_EQ(std::u16string(file), u"Orvanta.theme");
  EXPECT_EQ(std::u16string(color), u"Standard");
  EXPECT_EQ(std::u16string(size), u"Normal");

  test::SetThemeNames(u"C:\\Windows\\Themes\\luna.msstyles", u"Metallic", u"NormalSize");
  ASSERT_EQ(GetCurrentThemeName(file, 64, color, 32, nullptr, 0), S_OK);  // sizes not asked
  EXPECT_EQ(std::u16string(file), u"C:\\Windows\\Themes\\luna.msstyles");
  EXPECT_EQ(std::u16string(color), u"Metallic");

  // A buffer too small refuses the whole call and writes nothing.
  char16_t small[8] = u"keep";
  file[0] = u'x', file[1] = 0;
  EXPECT_EQ(GetCurrentThemeName(file, 64, small, 8, nullptr, 0), E_INSUFFICIENT_BUFFER_HR);  // "Metallic" needs 9
  EXPECT_EQ(std::u16string(small), u"keep");
  EXPECT_EQ(std::u16string(file), u"x");
}

TEST_F(State, TheCallLogRecordsWhatPaintersAskThroughTheBinding) {
  HMODULE module = LoadLibraryA("UxTheme.dll");
  auto open = reinterpret_cast<decltype(&OpenThemeData)>(GetProcAddress(module, "OpenThemeData"));
  auto draw = reinterpret_cast<decltype(&DrawThemeBackground)>(GetProcAddress(module, "DrawThemeBackground"));
  auto text = reinterpret_cast<decltype(&DrawThemeText)>(GetProcAddress(module, "DrawThemeText"));
  auto size = reinterpret_cast<decltype(&GetThemePartSize)>(GetProcAddress(module, "GetThemePartSize"));
  HTHEME button = open(nullptr, u"Button");
  test::StartThemeCallLog();
  RECT r{2, 3, 77, 26};
  draw(button, dc, 1, 5, &r, nullptr);
  text(button, dc, 1, 5, u"OK and more", 2, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r);
  SIZE s{};
  size(button, dc, 3, 5, nullptr, TS_TRUE, &s);
  test::StopThemeCallLog();
  draw(button, dc, 1, 1, &r, nullptr);  // not logged
  EXPECT_EQ(test::ThemeCallLog(),
            "DrawThemeBackground Button 1/5 [2,3,77,26]\n"
            "DrawThemeText Button 1/5 [2,3,77,26] \"OK\"\n"
            "GetThemePartSize Button 3/5 [0,0,0,0]\n");
  EXPECT_EQ(s, (SIZE{13, 13}));
  CloseThemeData(button);
  FreeLibrary(module);
}

TEST_F(State, TheParentPaintsUnderTheChildIntoTheChildsDC) {
  HWND parent = Make("Parent", WS_POPUP | WS_VISIBLE, {100, 100, 200, 180});
  HWND child = Make("Listening", WS_CHILD | WS_VISIBLE, {25, 15, 65, 45}, parent);
  HDC cdc = GetDC(child);
  RECT clip{0, 0, 12, 30};
  RECT mark{0, 0, 40, 30};
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(cdc, &mark, white);
  DeleteObject(white);
  gHeard.clear();
  EXPECT_EQ(DrawThemeParentBackground(child, cdc, &clip), S_OK);

  ASSERT_EQ(gHeard.size(), 2u);
  EXPECT_EQ(gHeard[0].msg, UINT(WM_ERASEBKGND));
  EXPECT_EQ(gHeard[1].msg, UINT(WM_PAINT));
  EXPECT_EQ(gHeard[0].wParam, reinterpret_cast<WPARAM>(cdc));
  EXPECT_EQ(gHeard[1].hwnd, parent);
  // The parent's (30, 20) lies at the child's (5, 5): blue there, red
  // around it inside the clip, and nothing outside the clip.
  EXPECT_EQ(GetPixel(cdc, 5, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(cdc, 11, 14), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(cdc, 4, 14), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(cdc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(cdc, 11, 29), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(cdc, 12, 5), RGB(255, 255, 255));
  POINT org{-1, -1};
  GetWindowOrgEx(cdc, &org);
  EXPECT_EQ(org, (POINT{0, 0}));  // the DC is as it was
  ReleaseDC(child, cdc);

  // A top-level window has nothing below it.
  gHeard.clear();
  HDC pdc = GetDC(parent);
  EXPECT_EQ(DrawThemeParentBackground(parent, pdc, nullptr), S_OK);
  EXPECT_TRUE(gHeard.empty());
  ReleaseDC(parent, pdc);
  EXPECT_EQ(DrawThemeParentBackground(nullptr, dc, nullptr), E_INVALIDARG);
}

}  // namespace
