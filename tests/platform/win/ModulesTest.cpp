// Modules bound by name: finding the built-in modules in any spelling,
// load counts, exports by name, the load action, and the test switches for
// a missing module or export.
#include "platform/win/Modules.h"
#include "platform/win/Monitors.h"
#include "platform/win/ResourceLoading.h"
#include "platform/win/TestHooks.h"

using namespace win;

namespace {

int Answer42() { return 42; }

class Modules : public ::testing::Test {
 protected:
  test::Session session;
};

TEST_F(Modules, NamesAreFoundInAnyCaseWithOrWithoutTheExtension) {
  HMODULE a = LoadLibraryA("UxTheme.dll");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LoadLibraryA("uxtheme"), a);
  EXPECT_EQ(LoadLibraryA("UXTHEME.DLL"), a);
  EXPECT_GT(reinterpret_cast<std::uintptr_t>(a), 32u);
  for (const char* n : {"USER32", "msimg32.dll", "Msftedit.dll", "Riched20.dll", "Riched32.dll"})
    EXPECT_NE(LoadLibraryA(n), nullptr) << n;
  EXPECT_EQ(LoadLibraryA("kernel32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA("uxtheme.dll.dll"), nullptr);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(Modules, LoadsAreCountedAndTheLoadActionRunsOnEachFirstLoad) {
  int loads = 0;
  SetModuleLoadAction("Riched20.dll", [&] { ++loads; });
  EXPECT_EQ(GetModuleHandleA("riched20"), nullptr);
  HMODULE m = LoadLibraryA("RICHED20");
  LoadLibraryA("riched20.dll");
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(GetModuleHandleA("Riched20.dll"), m);
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_EQ(GetModuleHandleA("Riched20.dll"), m);
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_EQ(GetModuleHandleA("Riched20.dll"), nullptr);
  EXPECT_FALSE(FreeLibrary(m));
  EXPECT_EQ(GetProcAddress(m, "Anything"), nullptr);  // unloaded
  LoadLibraryA("riched20");
  EXPECT_EQ(loads, 2);
  SetModuleLoadAction("Riched20.dll", nullptr);

  // USER32 is there from the start and the program has its own instance.
  EXPECT_NE(GetModuleHandleA("user32.dll"), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), GetModuleHandleA("user32"));
  EXPECT_FALSE(FreeLibrary(GetModuleHandleA(nullptr)));
}

TEST_F(Modules, ExportsAreFoundByNameAndCallable) {
  HMODULE user = LoadLibraryA("User32");
  using MonitorFromPointFn = HMONITOR (*)(POINT, DWORD);
  auto mfp = reinterpret_cast<MonitorFromPointFn>(GetProcAddress(user, "MonitorFromPoint"));
  ASSERT_NE(mfp, nullptr);
  EXPECT_EQ(mfp(POINT{10, 10}, MONITOR_DEFAULTTONULL), MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL));
  EXPECT_NE(GetProcAddress(user, "GetMonitorInfoA"), nullptr);
  EXPECT_NE(GetProcAddress(user, "GetScrollBarInfo"), nullptr);
  EXPECT_NE(GetProcAddress(LoadLibraryA("msimg32"), "AlphaBlend"), nullptr);
  EXPECT_EQ(GetProcAddress(user, "GetMonitorInfoW"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(user, MAKEINTRESOURCEA(5)), nullptr);  // ordinals are not kept
  EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(std::uintptr_t(0x1234)), "X"), nullptr);

  // Later tiers add exports to a module by name.
  EXPECT_TRUE(RegisterModuleExport("UxTheme.dll", "IsAppThemed", &Answer42));
  EXPECT_FALSE(RegisterModuleExport("nosuch.dll", "IsAppThemed", &Answer42));
  auto fn = reinterpret_cast<int (*)()>(GetProcAddress(LoadLibraryA("uxtheme"), "IsAppThemed"));
  ASSERT_NE(fn, nullptr);
  EXPECT_EQ(fn(), 42);
}

TEST_F(Modules, SwitchesHideAModuleOrOneExportUntilTheSessionEnds) {
  RegisterModuleExport("UxTheme", "OpenThemeData", &Answer42);
  RegisterModuleExport("UxTheme", "CloseThemeData", &Answer42);
  {
    test::SetModuleAbsent("uxtheme.dll", true);
    EXPECT_EQ(LoadLibraryA("UxTheme.dll"), nullptr);
    test::SetModuleAbsent("USER32", true);
    EXPECT_EQ(GetModuleHandleA("user32"), nullptr);
    EXPECT_EQ(LoadLibraryA("user32"), nullptr);
    test::SetModuleAbsent("USER32", false);
    test::SetModuleAbsent("uxtheme.dll", false);

    HMODULE theme = LoadLibraryA("UxTheme.dll");
    test::SetExportMissing("UxTheme", "closethemedata", true);
    EXPECT_NE(GetProcAddress(theme, "OpenThemeData"), nullptr);
    EXPECT_EQ(GetProcAddress(theme, "CloseThemeData"), nullptr);
    // A module already loaded keeps working when it is switched absent.
    test::SetModuleAbsent("UxTheme", true);
    EXPECT_NE(GetProcAddress(theme, "OpenThemeData"), nullptr);
  }
  // A fresh session starts with every switch off and nothing loaded.
  test::Session fresh;
  EXPECT_EQ(GetModuleHandleA("UxTheme"), nullptr);
  HMODULE theme = LoadLibraryA("UxTheme.dll");
  ASSERT_NE(theme, nullptr);
  EXPECT_NE(GetProcAddress(theme, "CloseThemeData"), nullptr);
}

}  // namespace
