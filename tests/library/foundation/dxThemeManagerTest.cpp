// The theme binding and the handle cache as painters see them: handles
// opened once per type and reopened with their last class after a switch,
// switch listeners in creation order, and a missing or partial theme
// library answered without a crash.
#include <string>
#include <vector>

#include "ThemeSession.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Text.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/Queue.h"
#include "platform/win/WindowDC.h"
#include "platform/rtl/Exceptions.h"
#include "platform/win/Messages.h"
#include "platform/win/Window.h"

using namespace win;

namespace {

using ThemeManager = ThemeSession;
using Lines = std::vector<std::string>;

TEST_F(ThemeManager, OpensEachTypeOnceAndReopensOnlyForAnotherClass) {
  test::StartThemeCallLog();
  TdxTheme button = OpenTheme(totButton);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(OpenTheme(totButton), button);

  TdxTheme edit = OpenTheme(totEdit);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(OpenTheme(totEdit, u"edit"), edit) << "class names compare without case";
  EXPECT_EQ(Calls("OpenThemeData"),
            (Lines{R"(OpenThemeData Button 0/0 [0,0,0,0] "Button")", R"(OpenThemeData Edit 0/0 [0,0,0,0] "Edit")"}));
  EXPECT_TRUE(Calls("CloseThemeData").empty());

  // Another class for the same type closes the old handle; later calls
  // without a name keep the new class.
  TdxTheme list = OpenTheme(totEdit, u"ListView");
  ASSERT_NE(list, nullptr);
  EXPECT_NE(list, edit);
  EXPECT_EQ(OpenTheme(totEdit), list);
  EXPECT_EQ(Calls("CloseThemeData"), Lines{"CloseThemeData Edit 0/0 [0,0,0,0]"});
  EXPECT_EQ(Calls("OpenThemeData").size(), 3u);

  EXPECT_EQ(CloseTheme(totEdit), S_OK);
  EXPECT_EQ(CloseTheme(totEdit), 0) << "nothing open";
  // An emptied entry opens its own class again.
  test::StartThemeCallLog();
  EXPECT_NE(OpenTheme(totEdit), nullptr);
  EXPECT_EQ(Calls("OpenThemeData"), Lines{R"(OpenThemeData Edit 0/0 [0,0,0,0] "Edit")"});
}

TEST_F(ThemeManager, AvailabilityOfSetsStopsAtTheFirstClassThatDoesNotOpen) {
  test::StartThemeCallLog();
  EXPECT_TRUE(AreVisualStylesAvailable()) << "themes on, no class opened yet";
  EXPECT_TRUE(Calls("OpenThemeData").empty());
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
  // The module draws no clock: tried in the enumeration's order, the set
  // fails there and the edit and the window are never asked for.
  EXPECT_FALSE(AreVisualStylesAvailable(TdxThemedObjectTypes{totEdit, totClock, totWindow}));
  EXPECT_EQ(Calls("OpenThemeData"),
            (Lines{R"(OpenThemeData Button 0/0 [0,0,0,0] "Button")", R"(OpenThemeData - 0/0 [0,0,0,0] "Clock")"}));
  EXPECT_EQ(OpenTheme(totClock), nullptr);
  EXPECT_TRUE(AreVisualStylesAvailable(TdxThemedObjectTypes{totButton, totEdit}));
}

struct Listener : TObject {
  std::vector<std::string>* Heard;
  std::string Name;
  bool Raise = false;
  void ThemeChanged() {
    // Every handle is closed before anyone hears of the switch.
    Heard->push_back(Name + (test::OpenThemeCount() == 0 ? "" : " (handles open)"));
    if (Raise) throw EInvalidOperation("theme listener failed");
  }
};

std::vector<std::string> gReported;
void RecordException(TObject*) {
  try {
    throw;
  } catch (const Exception& e) {
    gReported.push_back(e.GetMessage());
  }
}

TEST_F(ThemeManager, ASwitchClosesEveryHandleAndTellsListenersInCreationOrder) {
  ASSERT_NE(OpenTheme(totEdit, u"ListView"), nullptr);
  ASSERT_NE(OpenTheme(totButton), nullptr);
  std::vector<std::string> heard;
  Listener a, b, c;
  a.Heard = b.Heard = c.Heard = &heard;
  a.Name = "a", b.Name = "b", c.Name = "c";
  auto* nc = New<TdxThemeChangedNotificator>();
  auto* na = New<TdxThemeChangedNotificator>();
  auto* silent = New<TdxThemeChangedNotificator>();  // no handler: skipped
  auto* nb = New<TdxThemeChangedNotificator>();
  na->SetOnThemeChanged(TdxThemeChangedEvent::Bind<&Listener::ThemeChanged>(&a));
  nb->SetOnThemeChanged(TdxThemeChangedEvent::Bind<&Listener::ThemeChanged>(&b));
  nc->SetOnThemeChanged(TdxThemeChangedEvent::Bind<&Listener::ThemeChanged>(&c));

  test::SetThemeNames(u"/themes/luna.msstyles", u"Metallic", u"NormalSize");
  EXPECT_EQ(heard, (Lines{"c", "a", "b"}));
  EXPECT_EQ(test::OpenThemeCount(), 0);

  // Handles come back on use, each with the class it had.
  test::StartThemeCallLog();
  EXPECT_NE(OpenTheme(totEdit), nullptr);
  EXPECT_EQ(Calls("OpenThemeData"), Lines{R"(OpenThemeData ListView 0/0 [0,0,0,0] "ListView")"});

  // A listener that raises ends the walk; the exception goes to the
  // handler and the switch still counts as handled.
  dxSetThemeExceptionHandler(&RecordException);
  gReported.clear();
  heard.clear();
  a.Raise = true;
  test::SetThemeNames(u"/themes/royale.msstyles", u"NormalColor", u"NormalSize");
  EXPECT_EQ(heard, (Lines{"c", "a"}));
  EXPECT_EQ(gReported, Lines{"theme listener failed"});
  dxSetThemeExceptionHandler(nullptr);
  a.Raise = false;

  // A freed notificator is gone from the walk.
  heard.clear();
  nc->Free();
  test::SetThemeNames(u"Orvanta.theme", u"Standard", u"Normal");
  EXPECT_EQ(heard, (Lines{"a", "b"}));
  na->Free();
  nb->Free();
  silent->Free();
}

TEST_F(ThemeManager, ThemesSwitchedOffAnswerNoButListenersStillHear) {
  ASSERT_NE(OpenTheme(totButton), nullptr);
  std::vector<std::string> heard;
  Listener a;
  a.Heard = &heard;
  a.Name = "a";
  auto* n = New<TdxThemeChangedNotificator>();
  n->SetOnThemeChanged(TdxThemeChangedEvent::Bind<&Listener::ThemeChanged>(&a));

  SetThemesActive(false);
  EXPECT_EQ(heard, Lines{"a"});
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_FALSE(AreVisualStylesAvailable(totButton));
  EXPECT_EQ(OpenTheme(totButton), nullptr);
  EXPECT_EQ(CloseTheme(totButton), 1);
  EXPECT_FALSE(IsStandardTheme());

  SetThemesActive(true);
  EXPECT_EQ(heard, (Lines{"a", "a"}));
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
  n->Free();
}

TEST_F(ThemeManager, StandardThemeFilesAreKnownByNameInAnyDirectory) {
  EXPECT_FALSE(IsStandardTheme()) << "the module's own theme file";
  const std::pair<std::u16string, bool> cases[] = {
      {u"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", true},
      {u"/usr/share/themes/Royale.MSStyles", true},
      {u"luna.msstyles", true},
      {u"/themes/luna2.msstyles", false},
      {u"/themes/luna.msstyles.bak", false},
      {u"", false},
  };
  for (const auto& [file, standard] : cases) {
    test::SetThemeNames(file, u"NormalColor", u"NormalSize");
    EXPECT_EQ(IsStandardTheme(), standard) << WideToAnsi(file);
  }
}

TEST_F(ThemeManager, WithoutTheLibraryNothingOpensAndNoReceiverExists) {
  test::SetThemeModuleAbsent(true);
  Restart();
  EXPECT_FALSE(IsThemeLibraryLoaded());
  EXPECT_TRUE(IsWindowsXPOrLater());
  EXPECT_FALSE(AreVisualStylesAvailable());
  EXPECT_EQ(OpenTheme(totButton), nullptr);
  EXPECT_EQ(CloseTheme(totButton), 1);
  EXPECT_FALSE(IsStandardTheme());
  EXPECT_EQ(test::DumpTree().find("TdxThemeChangedEventReceiver"), std::string::npos);

  // Notificators are not registered, so a switch reaches nobody.
  std::vector<std::string> heard;
  Listener a;
  a.Heard = &heard;
  a.Name = "a";
  auto* n = New<TdxThemeChangedNotificator>();
  n->SetOnThemeChanged(TdxThemeChangedEvent::Bind<&Listener::ThemeChanged>(&a));
  SendMessageA(HWND_BROADCAST, WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(heard.empty());
  n->Free();

  // Every wrapper answers without a bound export.
  COLORREF color = 0x123456;
  EXPECT_EQ(::GetThemeColor(nullptr, 1, 1, TMT_TEXTCOLOR, &color), E_NOTIMPL);
  EXPECT_EQ(color, 0x123456u) << "the caller's value stays";
  EXPECT_EQ(::CloseThemeData(nullptr), E_NOTIMPL);
  EXPECT_EQ(::OpenThemeData(nullptr, u"Button"), nullptr);
  EXPECT_EQ(::IsThemeActive(), FALSE);
  EXPECT_EQ(::GetThemeSysSize(nullptr, 0), 0);
  ::SetThemeAppProperties(3);
}

TEST_F(ThemeManager, APartialLibraryAnswersNotImplementedForWhatIsMissing) {
  for (const char* name : {"GetCurrentThemeName", "DrawThemeParentBackground", "GetThemeColor", "DrawThemeText"})
    test::SetThemeExportMissing(name, true);
  Restart();
  ASSERT_TRUE(IsThemeLibraryLoaded());
  // Themes are on and classes open, but the theme's name cannot be asked.
  EXPECT_TRUE(AreVisualStylesAvailable(totButton));
  test::SetThemeNames(u"luna.msstyles", u"NormalColor", u"NormalSize");
  EXPECT_FALSE(IsStandardTheme());

  TdxTheme button = OpenTheme(totButton);
  COLORREF color = 0x123456;
  EXPECT_EQ(::GetThemeColor(button, 1, 1, TMT_TEXTCOLOR, &color), E_NOTIMPL);
  EXPECT_EQ(color, 0x123456u);
  EXPECT_EQ(::DrawThemeParentBackground(nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(::DrawThemeText(button, nullptr, 1, 1, AnsiString("OK"), -1, 0, 0, nullptr), E_NOTIMPL);
  // What is bound still works.
  SIZE size{-1, -1};
  EXPECT_EQ(::GetThemePartSize(button, nullptr, 3, 1, TS_DRAW, &size), S_OK);
  EXPECT_GT(size.cx, 0);
}

TEST_F(ThemeManager, EightBitTextReachesTheThemeAsWideText) {
  TdxTheme button = OpenTheme(totButton);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(80, 20, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, ToObj(bitmap));
  test::StartThemeCallLog();
  const TRect r{0, 0, 80, 20};
  EXPECT_EQ(::DrawThemeText(button, dc, 1, 1, AnsiString("Gr\xFC\xDF" "e \x80"), -1, DT_SINGLELINE, 0, &r), S_OK);
  EXPECT_EQ(Calls("DrawThemeText"), Lines{"DrawThemeText Button 1/1 [0,0,80,20] \"Gr\xFC\xDF" "e \x80\""});
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
